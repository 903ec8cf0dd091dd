// EXPAND Row to Many: a table in which one column holds comma-delimited lists of Items
// becomes a new result sheet ("<source>-Expanded<n>") with one row per Item, each with
// a copy of the other cells of its source row. The column of the lists is the column of
// the one bolded cell of the selection's first area, or its first column when no cell is
// bolded; columns empty in every row are left out. The source sheet is not changed.
//
// An unattended run (the mail box's SkipMenu enabled) still shows its introduction and
// its no-bold question, but takes the first of several bolded cells and skips the page
// set-up question and the window arrangement.
#pragma once

#include <vector>

#include "host/state.h"

namespace quillary::actions {

// The action "EXPAND Row to Many". BatchStatus is kLast after a complete run and kAbort
// after any run that did not complete; a result sheet that such a run began keeps what
// was written and gets "-Err" at the end of its name.
void RowExpand(host::State& s);

// The Items of a list cell as the expansion splits them: line feeds count as commas,
// blanks after commas and empty Items between commas are dropped, and an empty list
// gives one empty Item. Each Item is trimmed of blanks.
std::vector<Text> ExpandItems(const Text& cellText);

}  // namespace quillary::actions
