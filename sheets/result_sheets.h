// Result sheets: the new worksheets on which the report and list-restructuring actions
// write their output, and their finishing as a numbered, filtered table shown in a
// second, smaller window beside the source sheet.
//
// The mail box's shtDiffRpt caption names the result sheet being made: MakeNewSheet
// fills it, WindowSmallPaintTbl empties it whichever way it ends, so that the next
// action never writes into an old result sheet.
#pragma once

#include "host/state.h"

namespace quillary::sheets {

// The longest sheet name the spreadsheet accepts.
inline constexpr long kMaxSheetName = 31;

// The name a new result sheet of `baseName` (the source sheet's name) and `suffix`
// ("-Expanded", "-DiffRpt", ...) gets in `book`: baseName & suffix & a number one above
// the highest in use for them (1 when none), compared without regard to case as sheet
// names are. A name that would reach 31 characters keeps only the first characters of
// the base. The name is never one the workbook holds already.
Text ResultSheetName(xl::Workbook& book, const Text& baseName, const Text& suffix);

// Adds a worksheet after the last sheet of the active workbook (it becomes the active
// sheet), named by ResultSheetName, and leaves the name in the mail box's shtDiffRpt
// caption. When the sheet cannot be added or named, no sheet is left behind and the
// error reaches the caller. Does nothing without an active workbook.
void MakeNewSheet(host::State& s, const Text& baseName, const Text& suffix);

// Finishes the result sheet named in shtDiffRpt: a numbering column "#" inserted at A
// (rows 3 on numbered 1, 2, 3, ...), panes frozen below row 2, and the table trimmed to
// its content, filtered, top-aligned, fitted (columns at most 60 wide, empty ones 1),
// wrapped only in "REDUCE Rows to One", and bordered. Then a new window on the workbook
// shows the result at the right while the source sheet's window takes the left, and the
// "#" heading is cleared again except in "COMPARE 2/Uniques".
//
// A result that cannot be trimmed is reported to the user and sets UserAbort. Any error
// (also one while the windows are arranged) reaches the caller. shtDiffRpt is empty
// afterwards in every case.
void WindowSmallPaintTbl(host::State& s);

}  // namespace quillary::sheets
