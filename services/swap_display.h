// The Active Window swap: after the host has switched which of the main form's two text
// windows is the Active Window, its text is turned between the two shapes a user pastes:
// one line of Items separated by commas (for one cell) and one Item per line (for a
// column of cells).
#pragma once

#include "host/state.h"

namespace quillary::services {

// Takes the Active Window anew and reshapes its text: lines are joined with ", " (in
// CountIndex# with the comma-space option, the lines' guard blanks going) or ","; a
// one-line comma list is split into lines (not in mode "expand_ref"), each line that
// would read as a formula getting a leading blank; a text without commas stays one line.
// The text goes back into the Active Window and, unless the mode is "PreExpand_Ref", is
// staged through the clipboard (also on a protected sheet: the working sheet is never
// protected) with a note on the main form of the paste it is ready for. Label11 gets
// the character count. The host sends it as "SwapDsply"; errors name it swapdsply.
void SwapActiveWindow(host::State& s);

}  // namespace quillary::services
