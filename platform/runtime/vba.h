// The language run-time behaviour the component relies on: conversions between numbers
// and text, string functions with their exact edge behaviour, and the numeric types'
// overflow rules. Positions are 1-based and lengths count UTF-16 code units, as the
// host language's are.
#pragma once

#include <cstdint>

#include "platform/runtime/value.h"

namespace quillary::vba {

// Comparison modes of StrComp and InStr.
inline constexpr int kBinaryCompare = 0;
inline constexpr int kTextCompare = 1;

// The leading number of a text: blanks, tabs and line feeds are skipped anywhere in
// the number, a sign, digits, one decimal point and an exponent (E or D) are read, as
// are "&H" and "&O" prefixes; 0 when the text does not begin with a number.
double Val(TextView s);

// A number as text with at most 15 significant digits: "7", "0.5", "-12.25",
// "1E+15", "1.23456789012346E+15", "1E-07". The exponent form is used from 1E+15 up and
// below 1E-04; negative zero is "0". Infinities and NaN (which no host value holds)
// raise error 6.
Text NumberText(double n);

// Str: NumberText with a leading blank for numbers that are not negative.
Text Str(double n);

// Format of a number with a digit pattern of "#", "0" and "," grouping (such as
// "##,##0" or "###,##0"): rounded half away from zero to a whole number. As many digits
// are shown as there are placeholders from the first "0" on (so 0 shows "" under "#");
// a comma among the placeholders groups the digits by three, each comma after the last
// placeholder divides by 1000. A number that rounds to 0 shows no sign. Any other
// character in the pattern raises error 5.
Text Format(double n, TextView pattern);

// CStr: Empty -> "", numbers by NumberText, booleans "True"/"False"; Null raises error
// 94, an error value raises error 13.
Text CStr(const Variant& v);

// CBool: numbers are True when not 0, texts "True"/"False" in any case or numeric
// texts; Empty is False; Null raises error 94, other texts and error values error 13.
bool CBool(const Variant& v);

// CDbl: numbers, numeric texts, booleans (-1/0), Empty (0); Null raises error 94, a
// numeric text too large for a Double error 6, anything else error 13.
double CDbl(const Variant& v);

// Rounding conversions with half-to-even rounding; error 6 when out of range of the
// 32-bit (CLng) or 16-bit (CInt) integer.
std::int32_t CLng(double n);
std::int16_t CInt(double n);

// A value compared with True / False as the language compares it: a Boolean, or a
// number (-1 True, 0 False); anything else (Null, Empty, texts) equals neither.
bool EqualsTrue(const Variant& v);
bool EqualsFalse(const Variant& v);

// A whole number as plain decimal digits ("-12", "1048573"), whatever its size.
Text IntegerText(std::int64_t n);

// TypeName of a value: "Empty", "Null", "Double", "String", "Boolean", "Error".
Text TypeName(const Variant& v);

// IsNumeric: numbers, and texts that read wholly as a number (blanks around allowed).
bool IsNumeric(const Variant& v);

// -1, 0 or 1: binary compares code units; text compares in the shared text order
// without regard to case (see text_order.h).
int StrComp(TextView a, TextView b, int compare);

// Position (from 1) of `find` in `s` at or after `start`, 0 when absent; `start`
// beyond the end gives 0; an empty `find` gives `start` (when start <= Len + 1).
// A `start` below 1 raises error 5.
std::int64_t InStr(std::int64_t start, TextView s, TextView find, int compare);

// Trimming removes the blank (U+0020) only: not tabs, not no-break spaces.
Text Trim(TextView s);
// What Trim returns, as a view into `s`.
TextView TrimmedView(TextView s);
Text LTrim(TextView s);
Text RTrim(TextView s);

// Mid function: `length` characters from `start` (1-based); length -1 means to the end.
// A start below 1 or a length below -1 raises error 5.
Text Mid(TextView s, std::int64_t start, std::int64_t length = -1);

// Mid statement: overwrites `s` in place from `start` with at most `length` characters
// of `replacement` (all of it when length is -1). Never changes the length of `s`:
// what would run past its end is dropped. A start below 1 or beyond Len(s) raises
// error 5.
void MidAssign(Text& s, std::int64_t start, TextView replacement, std::int64_t length = -1);

Text Left(TextView s, std::int64_t length);
Text Right(TextView s, std::int64_t length);
Text Space(std::int64_t n);
Text LCase(TextView s);
Text UCase(TextView s);

}  // namespace quillary::vba
