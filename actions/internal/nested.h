// One action running another unattended: the mode to return to is kept in the mail
// box's ModeHold caption, SkipMenu tells the callee to ask nothing, and the mode is put
// back from ModeHold when the callee returns (also when it raises an error).
#pragma once

#include "host/state.h"

namespace quillary::actions::internal {

// Runs the Action-list action `callee` through the Action list dispatcher: SkipMenu
// enabled, ModeHold the running mode, the mode `callee`; afterwards the mode comes back
// from ModeHold and ModeHold is emptied. SkipMenu stays enabled for the caller to clear
// at the end of its run.
void RunActionNested(host::State& s, host::ModeId callee);

// Runs the block engine with "Paste_>" on the current selection (once): ModeHold the
// running mode; afterwards the mode comes back from ModeHold, which keeps its text.
// SkipMenu is the caller's to set around the call.
void RunPasteRightNested(host::State& s);

}  // namespace quillary::actions::internal
