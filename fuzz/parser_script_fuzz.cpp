// Fuzzes the parsing script: any bytes as a script and as row texts, through the
// script reader, the interpreter and the line finishing.
//
// Input: one byte of settings (bit 0 keep spaces, bit 1 compare without regard to case,
// bits 2-3 the output delimiter), then NUL-separated fields: the script, the values of
// the operands "a" and "b", and any number of rows, run one after the other on one
// run's memory. Each byte is one character (so Chr(31), the no-break space and the
// accented letters of Latin-1 are reachable).
//
// Checked beyond the sanitizers: a row never makes more search steps than its limit
// allows, and its output never passes the limit on its length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "parser/interpreter.h"
#include "parser/script.h"

namespace {

using quillary::Text;
using namespace quillary::parser;

std::vector<Text> Fields(const std::uint8_t* data, std::size_t size) {
  std::vector<Text> fields(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      fields.emplace_back();
    } else {
      fields.back() += static_cast<char16_t>(data[i]);
    }
  }
  return fields;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::vector<Text> fields = Fields(data + 1, size - 1);
  const Text& script = fields[0];

  static_cast<void>(IsEmptyScript(script));
  const Program program = ReadScript(script);

  OperandValues values;
  values[kOperandA] = fields.size() > 1 ? fields[1] : Text(u",");
  values[kOperandB] = fields.size() > 2 ? fields[2] : Text(u" ");
  values[kComma] = u",";
  values[kSpace] = u" ";
  values[kTab] = u"\t";
  static constexpr const char16_t* kDelimiters[] = {u",", u"|", u";", u"\t"};
  values[kOutDelim] = kDelimiters[(flags >> 2) & 3];
  std::optional<RunMemory> memory = StartRun(program, values);
  if (!memory) return 0;

  const RowSettings settings{.keepSpaces = (flags & 1) != 0, .ignoreCase = (flags & 2) != 0};
  for (std::size_t i = 3; i < fields.size() || i == 3; ++i) {
    const Text row = i < fields.size() ? fields[i] : Text();
    const RowResult result = RunRow(program, *memory, row, settings);
    Check(result.steps <= 2 * static_cast<std::int64_t>(row.size()) + 2001);
    // The output stops growing at the first action that takes it past its limit.
    const auto mostWritten =
        static_cast<std::int64_t>(row.size() + std::max(values[kOperandA].size(), values[kOperandB].size())) +
        kMaxSpaces;
    Check(static_cast<std::int64_t>(result.output.size()) <= kMaxOutput + mostWritten);
    if (result.end != RowEnd::kLine) break;
    const Text line = FinishLine(row, result, settings.keepSpaces);
    Check(line.size() <= result.output.size() + row.size());
  }
  return 0;
}
