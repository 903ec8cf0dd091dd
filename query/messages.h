// The texts of the Query's messages, for the code and its tests (their words as the user
// reads them: tests/scenarios/query/). None carries a title unless it says so.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::query::msg {

// The search found nothing in the Find Item mode. `faultPrefix` is the fault line that
// leads it ("" in the Find Item mode itself, see FaultPrefix); `wholeSheet` says that one
// selected cell made the search cover the whole sheet.
Text NotFoundText(bool ignoreIndex, TextView faultPrefix, bool wholeSheet);
// The fault locator (or a duplicate) found nothing: the Query changes to Find Item.
Text CannotFindText(TextView faultPrefix, bool faultLocator, bool countIndex);
// The fault lies in cells that were joined into one Item, so no one cell holds it.
Text JoinedCellsFaultText(TextView faultPrefix, TextView mode);
// "FAULT: " and the fault text in quotation marks, then a blank line; "" for the Find
// Item mode's "Find Item:".
Text FaultPrefix(TextView label1);
// The search text's trailing number has 15 digits or more (in CountIndex#); titled by
// the caller.
Text BigNumText();

// The end of the duplicates list. `anotherName` when the list holds more than one name;
// `spaced` for the different-name button's own message, which puts two blanks after
// "Choose" in the paragraph of that button.
Text EndOfDuplicatesText(bool anotherName, TextView nextCaption, TextView differentCaption, bool spaced);

// Replace changed nothing: the replacement equals the text found (with the hyphen
// advice in CountIndex# when a range is involved), or the cell would not take it.
Text SameTextText(bool hyphenAdvice);
Text NoChangeText();

// The bookmark of a locked cell on a protected sheet; titled by the caller.
inline constexpr char16_t kProtectedCommentMsg[] = u"PROTECTED CELL - Can not modify or place/remove comments.";

}  // namespace quillary::query::msg
