// REDUCE Rows to One: a list in which one part or record spans several rows becomes a
// list with one row per record on a new result sheet ("<source>-Reduced<n>"); the
// source list stays as it is.
//
// Where a record starts is decided by the first column of the selection's first area,
// in one of three list styles: Indented (a non-empty first cell), Name Change (a first
// cell that differs from the one above) and After Empty Cell (a first cell with content
// below an empty one). Without a bolded cell a record's rows stand side by side on its
// output row. One bolded cell switches on the collapsed layout: the Items of the bolded
// column are joined into one comma-delimited cell per record (cleaned by Clean_RefDes)
// and the rows below the bolded one are folded into the columns of the bolded row, one
// line per row, text repeated down a column dropped.
//
// An unattended run (the mail box's SkipMenu enabled, as when the netlist conversion
// runs it) asks only the no-bold question and uses the Indented style.
#pragma once

#include "host/state.h"

namespace quillary::actions {

// The action "REDUCE Rows to One". BatchStatus is kLast after a complete run and kAbort
// after any run that did not complete; a result sheet that such a run began keeps what
// was written and gets "-Err" at the end of its name.
void RowsReduce(host::State& s);

// Tidies a text of Items joined with commas: separator debris removed, no-break spaces
// turned into blanks, one leading and one trailing comma dropped, and the spacing after
// commas set by the comma-space option (CheckBox9, CountIndex# only).
void Clean_RefDes(const host::State& s, Text& text);

}  // namespace quillary::actions
