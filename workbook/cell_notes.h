// The notes that tell the user that what they gave a cell was changed on its way in: cut
// to what a cell holds, or bytes that are not text replaced.
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

// True when `text`, read from `utf8`, holds a U+FFFD in the place of bytes that are not
// UTF-8.
bool ReplacedBytes(std::string_view utf8, TextView text);

// The note that `count` fields of `file` held bytes that are not UTF-8, read as U+FFFD,
// the first of them in the cell `first`.
std::string NotUtf8Note(std::string_view file, long count, std::string_view first);

}  // namespace quillary::workbook
