// Cell texts against search texts, as the Query matches them: any bytes (UTF-8, invalid
// sequences replaced) are split at the first zero byte into a search text and a cell
// text; the first byte picks the Item mode. Every match must lie within the cell text
// and a hit must say where; an Error or a crash is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "query/match.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  const bool ignoreIndex = (data[0] & 1) != 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t zero = rest.find('\0');
  const Text search = FromUtf8(rest.substr(0, zero));
  const Text cell = zero == std::string_view::npos ? Text() : FromUtf8(rest.substr(zero + 1));
  const query::SearchItem item(query::SearchText(search));
  const query::CellMatch m = query::MatchInCell(cell, item, ignoreIndex, ignoreIndex ? 1 : 0);
  const bool placed = m.kind == query::HitKind::kInsideRange
                          ? m.pos == 0
                          : m.pos >= 0 && static_cast<std::size_t>(m.pos) + m.matched.size() <= cell.size() + 1;
  if (!placed || (m.IsHit() && m.kind != query::HitKind::kInsideRange && m.pos < 1)) std::abort();
  return 0;
}
