// The text rewrites of the cell-text actions, on the text alone: the prefix actions'
// rewrite of a cell's reference designators and the two comma-space rewrites.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::actions::internal {

// What the prefix actions do with the prefix of the Items after a cell's first Item.
enum class PrefixMode {
  kSet,               // "Prefix||  Set": the first Item's prefix before every index number
  kClear,             // "Prefix||  Clear": the index numbers alone
  kAfterHyphenClear,  // "Prefix|| AfterHyphen Clr": alone after a hyphen, prefixed elsewhere
};

enum class PrefixFault {
  kNone,
  kFirstItem,    // the first Item lacks a prefix or an index number
  kMixedPrefix,  // a later Item has another prefix (compared with case)
};

struct PrefixRewrite {
  PrefixFault fault = PrefixFault::kNone;
  Text text;  // the new text when there is no fault
};

// Rewrites a cell text (trimmed, not empty) of Items separated by "," and "-": the first
// Item is copied as it is and fixes the prefix (the characters before its trailing
// digits); every later Item keeps its index number and gets the prefix as `mode` says.
// Separators become `separator` ("," or ", "), a hyphen keeps no blanks around it, a
// single blank inside an Item is dropped (a run of n keeps n - 1), and one trailing
// comma of the text survives.
PrefixRewrite RewritePrefixes(TextView cellText, PrefixMode mode, TextView separator);

// "Comma Space||  Set": every run of blanks, tabs, line breaks (line feeds and carriage
// returns), commas and the work mark Chr(31) becomes one ", ", except next to a hyphen,
// where it goes; a leading and a trailing separator go. With `parenthesesAreCommas`,
// parentheses count as commas.
Text CommaSpaceSetText(Text text, bool parenthesesAreCommas);

// "Comma Space||  Clear": with `collapseBlanks`, tabs become blanks and runs of blanks
// one blank; otherwise the blanks around commas go, and a comma next to a line feed.
Text CommaSpaceClearText(Text text, bool collapseBlanks);

}  // namespace quillary::actions::internal
