// The component's own text replacement.
//
// Replacement works in whole passes: each pass replaces every occurrence of `find`
// (from `start`, up to the count still allowed), and passes repeat until `find` no longer
// occurs. So "  " -> " " collapses any run of blanks to one. When the replacement itself
// contains `find` (say "," -> ", "), exactly one pass runs. The result is the text from
// `start` on, whether `find` occurs there or not: the first start - 1 characters are
// dropped. Every pass is linear in the length of the text.
#pragma once

#include <cstdint>

#include "platform/runtime/value.h"

namespace quillary::host {

// Replaces in `text` itself. `count` is the most replacements in all (negative: no
// limit); `compare` is 0 for exact, 1 for comparison without regard to case. An empty
// `find` leaves the text unchanged. A `start` below 1 raises error 5. A text in which
// `find` does not occur costs one search (without a copy when exact, over one folding
// of the text otherwise) and is left as it is, so callers need not look for it first.
void ReplaceItRef(Text& text, TextView find, TextView replacement, std::int64_t start = 1, std::int64_t count = -1,
                  int compare = 0);

// The same on a copy; the caller's text is unchanged.
Text ReplaceItVal(Text text, TextView find, TextView replacement, std::int64_t start = 1, std::int64_t count = -1,
                  int compare = 0);

// Turns every no-break space (U+00A0) into a blank, in place; returns the text.
Text RplcHspace(Text& text);

}  // namespace quillary::host
