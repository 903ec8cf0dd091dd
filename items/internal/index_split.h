// The pieces of splitting an indexed Item into its prefixes and index numbers, shared by
// the Item grammar of a gathering from cells and by the re-reading of the Active Window
// text.
//
// An indexed Item is a prefix followed by an index number (R7, 7), or a range of two
// such joined by one hyphen (R1-R5, R1-5, 1-5). The first number goes into +3 of its
// ItemRow as a bare value, so the sheet stores it as a number; the first prefix is then
// the text less as many trailing characters as that number's text has when read back, so
// the zeros leading an index number stay with the prefix (R007: prefix "R00", number 7).
// The second number goes into +4 as text, and the second prefix is the after-part less
// its whole digit run.
//
// An Item that holds a Tab is split in its Tab form, which also strips the characters
// below code 33 (blank, Tab and the other control characters) around its parts.
#pragma once

#include <cstdint>

#include "platform/excel/excel.h"
#include "platform/runtime/value.h"

namespace quillary::items {

// A character 0 to 9.
bool IsDigit(char16_t c);

// The longest run of digits at the end of `text` (possibly empty).
TextView TrailingDigits(TextView text);

// The number of "-" characters in `item`.
std::int64_t CountHyphens(TextView item);

// Characters below code 33 (blank, Tab, control characters) removed at both ends.
TextView StripLow(TextView text);

// Writes `digits` into `cell` as its value, so that the sheet turns it into a number
// (leading zeros vanish, digits past the fifteenth significant one become zeros), and
// returns that value read back as text in the general number format: "7" for "007",
// "1.23456789012345E+15" for a 16-digit run, "" when `digits` is empty (the cell is
// then cleared).
Text WriteIndexNum1(const xl::Range& cell, TextView digits);

// True when a number read back by WriteIndexNum1 is shown in exponent form (an "e" in
// either case): the run had 16 or more significant digits and no longer fits exactly.
bool IsBigNum(TextView indexNum1Text);

// True when a digit run (as +4 holds it, leading zeros kept) has more significant digits
// than a number keeps exactly (15), as IsBigNum says of the first number.
bool IsBigDigitRun(TextView digits);

// The value of a digit run of at most 15 significant digits (not IsBigDigitRun), as the
// sheet turns it into a number: exact.
double IndexNumberValue(TextView digits);
// The length of that number's text in the general number format, which is what
// WriteIndexNum1 reads back: the run without its leading zeros ("0" for zeros only).
std::size_t IndexNumberLength(TextView digits);

// `part` less as many characters at its end as `indexNum1Text` has (none left when that
// text is as long as `part` or longer). With the text WriteIndexNum1 returned for the
// trailing digit run of `part`, this is the first prefix.
TextView CutPrefix(TextView part, TextView indexNum1Text);

// The two sides of an Item holding exactly one hyphen, trimmed for splitting.
struct HyphenParts {
  // Before the hyphen. Plain form: blanks removed at its right end. Tab form:
  // characters below code 33 removed at its right end, then blanks at its right end,
  // then characters below code 33 at its left end.
  TextView before;
  // After the hyphen. Plain form: blanks removed at its left end. Tab form: the Item's
  // characters below code 33 removed at its right end first; then blanks and then
  // characters below code 33 removed at the part's left end.
  TextView after;
};

// Splits `item` at its first hyphen (the caller has made sure it holds exactly one).
// `tabForm` chooses the Tab form's trimming. The views point into `item`.
HyphenParts SplitAtHyphen(TextView item, bool tabForm);

}  // namespace quillary::items
