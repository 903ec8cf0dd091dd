#include "items/limits.h"

#include "host/callbacks.h"
#include "items/fault_codes.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "items/messages.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

// The Item capacity of a list on the working sheet, as plain digits.
Text Capacity(host::State& s) { return vba::IntegerText(ItemCapacity(WorkSheet(s))); }

}  // namespace

void TooMuch_Gather(host::State& s, ItemFaultCode code) {
  ErrorTrail("TooMuch_Gather", [&] {
    const Text n = Capacity(s);
    switch (code) {
      case fault::kTooManyItems: host::InfoMsg(s, {msg::TooManyItemsText(s.request.IgnoreIndexMode, n)}); break;
      case fault::kLongCell: host::InfoMsg(s, {msg::LongCellText(s.request.vbaMode.Text())}); break;
      case fault::kLongJoin: host::InfoMsg(s, {msg::LongJoinText(s.request.vbaMode.Text())}); break;
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
      host::InfoMsg(s, {msg::SortLimitText(true, n)});
    } else if (s.request.IgnoreIndexMode) {
      host::InfoMsg(s, {msg::SortLimitText(false, n)});
    }
    s.request.FaultMsg = msg::kTooManyDescriptions;
  });
}

}  // namespace quillary::items
