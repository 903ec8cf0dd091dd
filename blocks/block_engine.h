// The block engine: the selected block of cells run through the Item engine (gather,
// subtract, sort and count), and its result, the Item count or the Items themselves,
// written into the column right of the block; then the same for the block of the same
// shape below, down the sheet (TRAVEL), or for the selection only (ONCE).
//
// The mode says what a block is and where its Items go:
//   "Paste_V", "Subtract Display V"  the first selected area is the block; it steps down
//                                    by its own height (one pass in ONCE)
//   "Paste_>", "Subtract Display >"  one row of the first area per pass
//   "SubtractButton"                 one pass over the whole selection: the Active
//                                    Window's Items less the selection's, shown and staged
//                                    through the clipboard, nothing written beside it
//   any other mode                   the whole first area as the block
// In the Subtract Display modes (run with the mail box's SkipMenu enabled) the Active
// Window's Items are subtracted from every block; the Active Window gets back its text
// at the end, however the run ends.
#pragma once

#include "host/state.h"

namespace quillary::blocks {

// One run of the block engine on the active sheet's selection. Attended (SkipMenu not
// enabled) it starts in ONCE; "Paste_V" asks TRAVEL or ONCE for a block of more rows.
// Unattended it keeps State::blocks.OnceFlag as the caller set it. It checks the
// selection and the options first, then processes block after block until the writer
// stops (a destination it must not write, the user's refusal, an empty block), a row
// limit, a fault the user cancels, or the break key, and reports the count or the result
// size at the end. It runs the fault locator (GoQueryUserForm), the clipboard staging
// and the status comment box of the routines of the running call.
void GetSortCntPasteTravel(host::State& s);

}  // namespace quillary::blocks
