// One order of texts and values, shared by the spreadsheet's Sort, its Find without
// regard to case, WorksheetFunction.Lookup and StrComp in text mode, so that what one
// of them calls equal or smaller every other agrees with.
//
// Texts are ordered as the spreadsheet application sorts them: without regard to case,
// control characters (such as Tab, and Chr(127)) first, then digits, then blank and
// punctuation, then letters, then other characters; Chr(1) so sorts at or before every
// text. An accented Latin letter sorts with its base letter (A=a < À=à < B=b ...; "Éclair"
// between "Dune" and "Fig"); the accent decides only between texts otherwise equal, a
// plain letter first. Letters of their own (ß, æ, œ, þ) sort after "z". Hyphens and
// apostrophes are passed over, except that two texts equal but for them are ordered by
// them (the one with the hyphen last). When case matters, a tie that differs only in
// case puts lower case first. Values: numbers (by value) before texts before FALSE
// before TRUE before error values; Empty (a blank cell) after everything.
#pragma once

#include <string>

#include "platform/runtime/value.h"

namespace quillary::text_order {

// Case folding used by every comparison without regard to case.
char16_t FoldChar(char16_t c);
Text Fold(TextView s);

// The upper-case partner of a letter (the converse of FoldChar over the same letters);
// other characters are returned as they are.
char16_t UpperChar(char16_t c);

// True when the two texts are equal without regard to case.
bool EqualNoCase(TextView a, TextView b);

// -1, 0 or 1 in the shared text order. Without matchCase, 0 means EqualNoCase.
// With matchCase, 0 means equal code unit by code unit.
int CompareText(TextView a, TextView b, bool matchCase);

// A key whose plain code-unit comparison gives the same order as CompareText, for
// sorting many rows without recomputing the weights at each comparison.
Text SortKey(TextView s, bool matchCase);
// The same key appended to `out`, for keying many texts into one buffer.
void AppendSortKey(TextView s, bool matchCase, Text& out);

// The same key as bytes, each code unit high byte first, appended to `out`: bytes
// compared as unsigned (memcmp, the shorter first where one begins the other) order as
// CompareText does.
void AppendSortKeyBytes(TextView s, bool matchCase, std::string& out);

// True when `s` is plain: ASCII without a hyphen or an apostrophe. Plain texts of equal
// weights are of one length and differ at most in case, so that among plain texts a
// shorter key orders as the whole one: AppendPlainSortKey appends a byte for each
// character's weight and, with matchCase, a separator and a byte for each case mark.
// Such keys are to be compared only with keys of other plain texts.
bool IsPlain(TextView s);
void AppendPlainSortKey(TextView s, bool matchCase, std::string& out);

// -1, 0 or 1 for two cell values in ascending sort order (see above).
int CompareValues(const Variant& a, const Variant& b, bool matchCase);

}  // namespace quillary::text_order
