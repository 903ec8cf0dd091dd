// The messages that explain why an Item list stopped at a limit.
#pragma once

#include "host/state.h"
#include "items/fault_codes.h"

namespace quillary::items {

// The texts of both: items/messages.h.
// Explains the limit codes 100, 101 and 102 of a gathering; any other code shows nothing.
void TooMuch_Gather(host::State& s, ItemFaultCode code);
// Explains that the list outgrew the working sheet while sorting and counting, and sets
// FaultMsg to "Too_Many_Item_Descriptions". `code` is the caller's limit code; the
// message does not depend on it, so it is not read.
void TooMuch_Sort(host::State& s, ItemFaultCode code);

}  // namespace quillary::items
