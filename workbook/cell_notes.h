// The notes that tell the user that what they gave a cell was changed on its way in: cut
// to what a cell holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/excel/excel.h"
#include "platform/runtime/value.h"

namespace quillary::workbook {

// A cell as a note names it: "Sheet1!B2".
std::string CellName(xl::Worksheet& sheet, long row, long col);

// The text of `entered` that a cell takes: all but a leading "'", which only marks a
// text.
TextView EnteredText(TextView entered);

// The note that `text`, given to `where` (a cell or an area) as the cell takes it, was
// cut to the xl::kCellTextLimit characters a cell holds, or to one less where the last
// of them would split a surrogate pair; "" when it fits.
std::string CutTextNote(std::string_view where, TextView text);

}  // namespace quillary::workbook
