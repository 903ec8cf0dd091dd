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

// How the rows of a result sheet are laid out, which decides how it is numbered.
struct ResultLayout {
  // A table under a title (row 1) and its headings (row 2), as the report and the row
  // actions write it; otherwise lines written from row 1 without any heading, as the
  // parser writes them.
  bool headed = true;
  // The lines written from row 1 (without headings only).
  long lines = 0;

  static ResultLayout Lines(long count) { return {.headed = false, .lines = count}; }
};

// Finishes the result sheet named in shtDiffRpt. A numbering column is inserted at A:
// in a headed table rows 3 on are numbered 1, 2, 3, ... under the heading "#", the
// panes are frozen below row 2 and the headings filtered; lines without headings are
// each numbered by their own row (line k holds k) and nothing is frozen or filtered.
// Then the table is trimmed to its content, top-aligned, fitted (columns at most 60
// wide, empty ones 1), wrapped only in "REDUCE Rows to One", and bordered, and a new
// window on the workbook shows the result at the right while the source sheet's window
// takes the left. The "#" heading is cleared again except in "COMPARE 2/Uniques".
//
// A result that cannot be trimmed is reported to the user and sets UserAbort. Any error
// (also one while the windows are arranged) reaches the caller. shtDiffRpt is empty
// afterwards in every case.
void WindowSmallPaintTbl(host::State& s, const ResultLayout& layout = {});

}  // namespace quillary::sheets
