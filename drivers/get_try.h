// Get/Try: the main road of the component.
#pragma once

#include "host/state.h"

namespace quillary::drivers {

// One Get/Try run: gathers the selection (or, in mode "expand_ref", the Active Window
// text) into list 1, subtracts list 2, sorts, counts and renders the list into the
// Active Window, shows the count (or the fault) in the main form and on the host's
// command bar, and stages the rendered text on the working sheet through the clipboard.
// In mode "COMPARE 2/Uniques" it runs the collecting step that the compare stage names
// (kGatherRight, kLeftUniques or kRightUniques).
void GetSubtractSortCnt(host::State& s);

}  // namespace quillary::drivers
