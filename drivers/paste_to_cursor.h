// Paste Safe To Cursor: a text written into the active sheet at the cursor cell by cell,
// every piece as text, and never over cells that hold data.
#pragma once

#include "host/state.h"

namespace quillary::drivers {

// The Action list's "Paste Safe To Cursor" (any other mode only runs the closing
// steps). The user picks the source on the big message form: the Active Window or the
// clipboard. The text lands at the top-left cell of the selection's first area:
//   - plain lines, one row each in the cursor's column;
//   - a Duplicates_Summary made ready for pasting: its header, then "Dup", the count as
//     a number and the Item in three columns;
//   - joined-row results: the cells of a joined row side by side again.
// A clipboard text is staged on the working sheet first and written as it landed there;
// a one-line Active Window text longer than a cell holds goes down the column in the
// pieces the staging made of it, after a question. The whole destination must be empty;
// it is left selected. Every orderly end clears the staged text and shows the main form
// again.
void PasteToCurs(host::State& s);

}  // namespace quillary::drivers
