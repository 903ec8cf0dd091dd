#include "items/messages.h"

#include <initializer_list>

#include "host/callbacks.h"

namespace quillary::items::msg {
namespace {

constexpr char16_t kSmallerSelections[] =
    u"Try making smaller selections to be operated on and then combine the results.";
constexpr char16_t kReduceText[] =
    u"Please either reduce the amount of text within that cell or exclude that cell from your selection.";
// Follows the paragraph before it after one carriage return only.
constexpr char16_t kCutPasteTip[] =
    u"\rTIP: Cut & Paste whole columns to rearrange (Right-click a column identifier, \"Cut\", Right-click where to "
    u"insert it, \"Insert Cut Cells\".";

}  // namespace

Text TooManyItemsText(bool ignoreIndex, TextView capacity) {
  if (ignoreIndex) {
    return host::Paragraphs({u"You are using \"IgnoreIndex#\" Mode and the limit of " + Text(capacity) +
                                 u" Item descriptions has been exceeded.",
                             u"Changing to the \"CountIndex#\" Mode will not reduce your Item description count unless "
                             u"you can condense your lists using hypenated ranges (a single description can contain "
                             u"thousands of Items).",
                             kSmallerSelections});
  }
  return host::Paragraphs({u"You are using \"CountIndex#\" Mode and the limit of " + Text(capacity) +
                               u" Item descriptions has been exceeded.",
                           u"Changing to the \"IgnoreIndex#\" Mode will not reduce your Item description count.",
                           kSmallerSelections});
}

Text LongCellText(TextView mode) {
  return host::Paragraphs({u"Too much Text within Cell ( >32,767 ) during \"" + Text(mode) + u"\".",
                           u"The result of a cell's formula produces text which reaches Excel's limit for amount of "
                           u"cell characters allowed.",
                           Text(kReduceText) + kCutPasteTip});
}

Text LongJoinText(TextView mode) {
  return host::Paragraphs({u"Too much Text to Join Cells ( >32,767 ) during \"" + Text(mode) + u"\".",
                           u"It is not possible to treat the row within your selection as a single Item for comparison "
                           u"purposes because there would be more characters to fit within a cell than Excel allows.",
                           Text(kReduceText) + kCutPasteTip});
}

Text SortLimitText(bool expandRanges, TextView capacity) {
  if (expandRanges) {
    return host::Paragraphs({u"You are using \"CountIndex#\" Mode with \"ExpandRanges\" option set.",
                             u"This mode uses one of " + Text(capacity) + u" resources per single Item.",
                             u"Try turning off the \"ExpandRanges\" option."});
  }
  return host::Paragraphs({u"You are using \"IgnoreIndex#\" Mode and the limit of " + Text(capacity) +
                               u" Item descriptions has been exceeded.",
                           u"If there are Items with trailing numbers within your seletion, try the Mode "
                           u"\"CountIndex#\" without the \"ExpandRanges\" option.",
                           u"\"CountIndex#\" Mode can condense Item lists into hyphenated ranges.",
                           u"Otherwise, try multiple smaller selections."});
}

}  // namespace quillary::items::msg
