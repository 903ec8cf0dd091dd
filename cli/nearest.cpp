#include "cli/nearest.h"

#include <algorithm>
#include <vector>

#include "platform/runtime/text_order.h"

namespace quillary::cli {

namespace {

// The edit distance of two texts, letters compared without regard to case; one row of
// the table at a time.
std::size_t Edits(TextView a, TextView b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = text_order::FoldChar(a[i - 1]) == text_order::FoldChar(b[j - 1]);
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<std::string> SameButCase(std::string_view word, std::span<const std::string> names) {
  std::vector<std::string> same;
  const Text text = FromUtf8(word);
  for (const std::string& name : names) {
    if (text_order::EqualNoCase(text, FromUtf8(name))) same.push_back(name);
  }
  return same;
}

std::optional<std::string> NearestName(std::string_view word, std::span<const std::string> names) {
  const Text text = FromUtf8(word);
  std::optional<std::string> best;
  std::size_t bestEdits = 0;
  bool tie = false;
  for (const std::string& name : names) {
    const Text candidate = FromUtf8(name);
    const std::size_t edits = Edits(text, candidate);
    if (edits * 3 > candidate.size()) continue;
    if (!best || edits < bestEdits) {
      best = name;
      bestEdits = edits;
      tie = false;
    } else if (edits == bestEdits) {
      tie = true;
    }
  }
  if (tie) return std::nullopt;
  return best;
}

}  // namespace quillary::cli
