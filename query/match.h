// Whether a cell's text holds the searched Item as an Item of its own, and where.
//
// Three tests, tried in turn:
//   - the empty Item (",,"): two commas with only blanks or tabs between them, or a
//     comma next to a line feed;
//   - the direct match: the Item's text, compared by the compare mode, bounded on both
//     sides by a delimiter or an end of the text;
//   - in CountIndex# only, for an Item that ends in digits: the cell read as tokens (a
//     prefix followed by digits) and hyphenated ranges of them, compared by prefix
//     (exactly) and by the value of the number, so that R5 matches R05, the end R5 of
//     R1-R5, and lies inside R1-R10 and R1-10.
#pragma once

#include <cstdint>

#include "platform/runtime/value.h"

namespace quillary::query {

// The searched Item and what the tests need of it.
struct SearchItem {
  // The Item; ",," for the empty Item.
  Text item;
  // The position (from 1) of its trailing digits: its length + 1 when it has none, 1
  // when it is all digits.
  std::int64_t posInCell = 1;
  // The Item folded, for the comparison without regard to case.
  Text folded;
  // The value of the trailing digits (0 without any).
  double number = 0;

  explicit SearchItem(Text text);

  bool IsEmptyItem() const { return item == u",,"; }
  // The characters before the trailing digits.
  TextView Prefix() const { return TextView(item).substr(0, static_cast<size_t>(posInCell - 1)); }
  std::int64_t TrailingDigits() const { return static_cast<std::int64_t>(item.size()) + 1 - posInCell; }
};

// The search text as the search takes it: blanks around it dropped; an empty text, or
// one that is ",," once its blanks are removed, is the empty Item ",,".
Text SearchText(TextView typed);

enum class HitKind {
  kNone,
  kDirect,       // the Item's text itself
  kEmptyItem,    // ",,", "," before a line feed or a line feed before ","
  kHighEnd,      // a token after a hyphen or another separator, or the first token
  kLowEnd,       // the token before a hyphen
  kInsideRange,  // the Item's number lies strictly between the two ends of a range
};

struct CellMatch {
  HitKind kind = HitKind::kNone;
  // The position (from 1) of the match: the occurrence of the Item; the separator
  // before a high end (1 for the first token); the first character of a low end. 0 for
  // no match and for a hit inside a range, which has no text to replace.
  std::int64_t pos = 0;
  // The text matched (what Replace replaces): the Item; ",," or the comma and line
  // feed; a low end up to and including its hyphen; a high end from its hyphen to its
  // last character, or the token after another separator. Empty inside a range.
  Text matched;
  // The found-at text shown on the Query form: the matched text; for a high end the
  // separator, the end and the delimiter after it; for a low end the delimiter before
  // it, the end and "-". Empty inside a range.
  Text foundAt;
  // The two ends of the range the Item lies inside, as written.
  Text rangeLow;
  Text rangeHigh;

  bool IsHit() const { return kind != HitKind::kNone; }
};

// The first match of `item` in `cell`. `ignoreIndex` is the Item mode (IgnoreIndex#:
// plain text, no token search); `compareMode` 0 compares exactly, 1 without regard to
// case.
CellMatch MatchInCell(TextView cell, const SearchItem& item, bool ignoreIndex, int compareMode);
// The same, with `scratch` as working memory, so that a walk over many cells folds each
// into the same buffer.
CellMatch MatchInCell(TextView cell, const SearchItem& item, bool ignoreIndex, int compareMode, Text& scratch);

}  // namespace quillary::query
