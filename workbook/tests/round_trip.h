// A workbook holding everything a saved workbook keeps, and a checker that compares two
// workbooks thing by thing: the round-trip tests of the workbook formats.
#pragma once

#include "platform/excel/memory/memory.h"

namespace quillary::workbook::testing {

// A new workbook of `app` (the active one) holding typed values (texts that look like
// numbers, an empty text, error values, booleans, formulas), number formats, bold,
// font colours and underline, interior colours and patterns, borders, alignment and
// wrap, column widths, row heights, hidden rows and columns, a merged area, comments
// shown and hidden, hyperlinks in and out of the workbook, an auto-filter, unlocked
// cells on a protected sheet, a page set-up, selections, a hidden and a very hidden
// sheet, defined names of the workbook and of a sheet (one hidden), another active
// sheet, and a value in the grid's last cell.
xl::memory::FileBook& BuildRichWorkbook(xl::memory::MemoryApplication& app);

// Expects (gtest) that `b` holds what `a` holds: the grid, the sheets in order with
// their names and visibility, every cell's value, type and formula (not the "'" a text
// was entered with, which only its Formula shows), every cell's
// format, widths, heights, hidden rows and columns, merged areas, comments, hyperlinks,
// the auto-filter, protection, page set-up, selection and active cell, the defined
// names and the active sheet. Each difference fails with the sheet and cell it is in.
// Visits only what the sheets store.
void ExpectSameWorkbook(xl::memory::FileBook& a, xl::memory::FileBook& b);

}  // namespace quillary::workbook::testing
