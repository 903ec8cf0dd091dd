// The messages that explain why an Item list stopped at a limit.
#pragma once

#include "host/state.h"
#include "items/fault_codes.h"

namespace quillary::items {

// Explains the limit codes 100, 101 and 102 of a gathering; any other code shows nothing.
void TooMuch_Gather(host::State& s, ItemFaultCode code);
// Explains that the list outgrew the working sheet while sorting and counting, and sets
// FaultMsg to "Too_Many_Item_Descriptions". `code` is the caller's limit code; the
// message does not depend on it, so it is not read.
void TooMuch_Sort(host::State& s, ItemFaultCode code);

// The texts of those messages without their titles, for the code and its tests (their
// words as the user reads them: tests/scenarios/items/limits.qs). `capacity` is the
// list's Item capacity as digits, `mode` the request's mode text.
Text TooManyItemsText(bool ignoreIndex, TextView capacity);
Text LongCellText(TextView mode);
Text LongJoinText(TextView mode);
// The list outgrew the sheet with ExpandRanges on, or in IgnoreIndex# mode.
Text SortLimitText(bool expandRanges, TextView capacity);

}  // namespace quillary::items
