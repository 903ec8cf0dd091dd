#include "host/text_replace.h"

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::host {

void ReplaceItRef(Text& text, TextView find, TextView replacement, std::int64_t start, std::int64_t count,
                  int compare) {
  ErrorTrail("ReplaceItRef", [&] {
    if (start < 1) Raise(err::kInvalidCall, "Invalid procedure call or argument");
    if (find.empty()) return;
    // Without regard to case both sides are searched folded; folding maps one code unit
    // to one, so positions in the folded text are positions in the text.
    const Text key = compare ? text_order::Fold(find) : Text(find);
    const auto contains = [&](TextView s) {
      return (compare ? text_order::Fold(s) : Text(s)).find(key) != Text::npos;
    };
    const bool onePassOnly = contains(replacement);
    std::int64_t tally = 0;
    for (int pass = 0;; ++pass) {
      if (pass > 0 && onePassOnly) return;
      if (count >= 0 && tally >= count) return;
      const size_t from = static_cast<size_t>(start - 1);
      if (from > text.size()) return;
      const Text folded = compare ? text_order::Fold(text) : Text();
      const Text& hay = compare ? folded : text;
      size_t hit = hay.find(key, from);
      if (hit == Text::npos) return;

      Text out;
      out.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 2 : 0));
      size_t read = from;
      while (hit != Text::npos) {
        out.append(text, read, hit - read);
        out.append(replacement);
        read = hit + find.size();
        ++tally;
        if (count >= 0 && tally >= count) break;
        hit = hay.find(key, read);
      }
      out.append(text, read, Text::npos);
      text = std::move(out);
      // The pass result begins at `start`: what came before it is dropped.
      start = 1;
    }
  });
}

Text ReplaceItVal(Text text, TextView find, TextView replacement, std::int64_t start, std::int64_t count,
                  int compare) {
  return ErrorTrail("ReplaceItVal", [&] {
    ReplaceItRef(text, find, replacement, start, count, compare);
    return text;
  });
}

Text RplcHspace(Text& text) {
  return ErrorTrail("RplcHspace", [&] {
    if (text.find(u'\u00A0') != Text::npos) ReplaceItRef(text, u"\u00A0", u" ", 1, -1, 0);
    return text;
  });
}

}  // namespace quillary::host
