// The working sheet: a very hidden worksheet of the user's active workbook that holds
// every Item list. It is made on first use with three sheet-level names: the anchors of
// list 1 ("unique1", A1) and list 2 ("unique1_w", K1) and the landing cell of pasted
// text ("ExcelPaste", J1). It persists with the workbook between requests.
#pragma once

#include "host/state.h"

namespace quillary::xl {
class Workbook;
class Worksheet;
}  // namespace quillary::xl

namespace quillary::host {

inline constexpr char16_t kHiddenWorkSht[] = u"Quillary3016000000";
inline constexpr char16_t kList1[] = u"unique1";
inline constexpr char16_t kList2[] = u"unique1_w";
inline constexpr char16_t kExcelPaste[] = u"ExcelPaste";

// The working sheet of the workbook (its name matched without regard to case), or null.
xl::Worksheet* FindHiddenWorkSht(xl::Workbook& book);

// The working sheet of the active workbook, made first (through InitPlace, which leaves
// the new sheet's lists empty) when the workbook has none yet. Error 91 without an
// active workbook.
xl::Worksheet& HiddenWorkSht(State& s);

// Makes sure the active workbook has the working sheet (very hidden, with its names;
// the user's active sheet stays active) and clears the six Item columns under the
// anchor `listName` ("unique1" or "unique1_w") over the sheet's used height. Does
// nothing without an active workbook.
void InitPlace(State& s, const Text& listName);

}  // namespace quillary::host
