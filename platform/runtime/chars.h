// Characters of UTF-16 text. A character outside the Basic Multilingual Plane (an
// emoji, say) takes two code units, a surrogate pair; positions and lengths count code
// units, as the spreadsheet does, but no text is ever cut between the two units of a
// pair: such a cut would leave two halves that are no characters at all.
#pragma once

#include <cstddef>

#include "platform/runtime/value.h"

namespace quillary::chars {

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when a cut before code unit `pos` (0-based) falls between the two units of a
// surrogate pair.
constexpr bool SplitsPair(TextView text, std::size_t pos) {
  return pos > 0 && pos < text.size() && IsHighSurrogate(text[pos - 1]) && IsLowSurrogate(text[pos]);
}

// A cut at `pos` moved to the end of the pair it would split.
constexpr std::size_t CutForward(TextView text, std::size_t pos) { return SplitsPair(text, pos) ? pos + 1 : pos; }

// The length of the longest beginning of `text` that has at most `limit` code units and
// ends on a whole character: the whole text when it fits, else `limit`, or one less
// when that would split a pair (the pair goes whole to what follows).
constexpr std::size_t FittingLength(TextView text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  return SplitsPair(text, limit) ? limit - 1 : limit;
}

// True for a letter of any script, with or without an upper- and lower-case form (ß,
// the ligatures, the letters of scripts without case), as the system's character
// classification has it. Each code unit is taken on its own, as the spreadsheet's text
// functions take them: the halves of a surrogate pair are no letters.
bool IsLetter(char16_t c);

}  // namespace quillary::chars
