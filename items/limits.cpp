#include "items/limits.h"

#include <initializer_list>

#include "host/callbacks.h"
#include "items/fault_codes.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

// The Item capacity of a list on the working sheet, as plain digits.
Text Capacity(host::State& s) { return vba::IntegerText(ItemCapacity(WorkSheet(s))); }

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

void TooMuch_Gather(host::State& s, ItemFaultCode code) {
  ErrorTrail("TooMuch_Gather", [&] {
    const Text n = Capacity(s);
    switch (code) {
      case fault::kTooManyItems: host::InfoMsg(s, {TooManyItemsText(s.request.IgnoreIndexMode, n)}); break;
      case fault::kLongCell: host::InfoMsg(s, {LongCellText(s.request.vbaMode.Text())}); break;
      case fault::kLongJoin: host::InfoMsg(s, {LongJoinText(s.request.vbaMode.Text())}); break;
      default: break;
    }
  });
}

void TooMuch_Sort(host::State& s, ItemFaultCode /*code*/) {
  ErrorTrail("TooMuch_Sort", [&] {
    const Text n = Capacity(s);
    forms::Control& expandRanges = s.Control(host::ctl::main::kExpandRanges);
    const Variant expand = expandRanges.Value();
    if (expandRanges.Enabled() && vba::EqualsTrue(expand)) {
      host::InfoMsg(s, {SortLimitText(true, n)});
    } else if (s.request.IgnoreIndexMode) {
      host::InfoMsg(s, {SortLimitText(false, n)});
    }
    s.request.FaultMsg = u"Too_Many_Item_Descriptions";
  });
}

}  // namespace quillary::items
