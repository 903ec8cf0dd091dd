#include "host/text_replace.h"

#include <algorithm>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::host {

void ReplaceItRef(Text& text, TextView find, TextView replacement, std::int64_t start, std::int64_t count,
                  int compare) {
  ErrorTrail("ReplaceItRef", [&] {
    if (start < 1) Raise(err::kInvalidCall, "Invalid procedure call or argument");
    // The result begins at `start`, whether `find` occurs there or not: a caller that
    // puts the first start - 1 characters back in front must not get them twice.
    if (start > 1) {
      text.erase(0, std::min(static_cast<size_t>(start - 1), text.size()));
      start = 1;
    }
    if (find.empty()) return;
    // Without regard to case both sides are searched folded; folding maps one code unit
    // to one, so positions in the folded text are positions in the text. An exact search
    // reads the text and `find` where they are.
    const Text foldedFind = compare ? text_order::Fold(find) : Text();
    const TextView key = compare ? TextView(foldedFind) : find;
    Text foldedText;
    // The text searched in this pass: the text itself, or its folding.
    const auto haystack = [&]() -> TextView {
      if (!compare) return text;
      foldedText = text_order::Fold(text);
      return foldedText;
    };
    bool onePassOnly = false;
    std::int64_t tally = 0;
    for (int pass = 0;; ++pass) {
      if (pass > 0 && onePassOnly) return;
      if (count >= 0 && tally >= count) return;
      const TextView hay = haystack();
      size_t hit = hay.find(key);
      if (hit == TextView::npos) return;
      // Asked only once there is something to replace: a text without `find` costs one
      // search and nothing more.
      if (pass == 0) {
        const Text foldedReplacement = compare ? text_order::Fold(replacement) : Text();
        onePassOnly = (compare ? TextView(foldedReplacement) : replacement).find(key) != TextView::npos;
      }

      Text out;
      out.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 2 : 0));
      size_t read = 0;
      while (hit != TextView::npos) {
        out.append(text, read, hit - read);
        out.append(replacement);
        read = hit + find.size();
        ++tally;
        if (count >= 0 && tally >= count) break;
        hit = hay.find(key, read);
      }
      out.append(text, read, Text::npos);
      text = std::move(out);
    }
  });
}

Text ReplaceItVal(Text text, TextView find, TextView replacement, std::int64_t start, std::int64_t count, int compare) {
  return ErrorTrail("ReplaceItVal", [&] {
    ReplaceItRef(text, find, replacement, start, count, compare);
    return text;
  });
}

Text RplcHspace(Text& text) {
  return ErrorTrail("RplcHspace", [&] {
    ReplaceItRef(text, u"\u00A0", u" ", 1, -1, 0);
    return text;
  });
}

}  // namespace quillary::host
