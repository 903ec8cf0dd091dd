// The side file of a sheet in a workbook folder: what the sheet holds beside the values
// of its CSV file, in the word syntax of words.h, one entry per line. Areas and cells
// are A1 references ("B2", "A1:D10", "A:A"); numbers are written so that they read back
// exactly; in text words "\n", "\r", "\t" and "\\" stand for a line feed, a carriage
// return, a tab and a backslash.
//
//   quillary-layout 1                     first entry: marks the file
//   format AREA PROPERTY...               cells sharing a format, each over those before it;
//                                         the properties that differ from a new cell's:
//                                         bold, font-color=N, underline=N, interior-color=N,
//                                         pattern=N, border-left=STYLE/WEIGHT (also -top,
//                                         -bottom, -right, -diagonal-down, -diagonal-up),
//                                         align=N, valign=N, number-format=TEXT, wrap,
//                                         unlocked (N: the application's constants)
//   width FIRST LAST WIDTH                columns FIRST..LAST (numbers) WIDTH characters wide
//   hide-columns FIRST LAST
//   height FIRST LAST HEIGHT              rows FIRST..LAST HEIGHT points high
//   hide-rows FIRST LAST
//   merge AREA
//   comment CELL TEXT shown|hidden FILL TOP LEFT WIDTH HEIGHT [auto-size]
//   link CELL ADDRESS SUBADDRESS DISPLAY  a hyperlink ("" for what it does not have)
//   filter AREA                           the auto-filter
//   page PROPERTY VALUE                   a page set-up property that differs from the
//                                         default, by its name (Zoom, PrintArea, ...);
//                                         Zoom, FitToPagesWide and FitToPagesTall take a
//                                         number or FALSE, the Center... ones TRUE
//   protect [allow-formatting]            the sheet's contents are protected
//   cell CELL FIELD                       a cell kept here rather than in the CSV file (a
//                                         far cell), FIELD as a CSV field reads
//   value CELL TYPE VALUE                 a cell's exact value where its CSV field cannot
//                                         say it: a formula's value from the file it came
//                                         from (the stand-in does not calculate it), a
//                                         number of more digits than typing keeps; TYPE
//                                         number, text, boolean (TRUE or FALSE) or error
//                                         (its text, "#N/A")
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/sheet_layout.h"

namespace quillary::workbook {

inline constexpr char kLayoutFileSuffix[] = ".layout.txt";

// A cell and its CSV field (what a user types to enter it).
struct FieldCell {
  xl::CellPos cell;
  Text field;
};

// A cell's exact value, where its CSV field cannot say it.
struct CachedValue {
  xl::CellPos cell;
  Variant value;
};

// The side file of a sheet of a grid of `rows` x `cols` cells: the layout (its
// selection apart, which the manifest keeps), the cells kept out of the CSV file and the
// values of formula cells.
std::string LayoutFileText(const SheetLayout& layout, const std::vector<FieldCell>& cells,
                           const std::vector<CachedValue>& values, long rows, long cols);

// True when the file holds nothing beyond its first entry.
bool LayoutFileEmpty(std::string_view text);

// The cells that the format areas of a side file may cover, whole columns apart (the
// sheet stores a format for each of them): 2^25, some 400 MB of cells.
inline constexpr std::int64_t kMostFormattedCells = std::int64_t{1} << 25;

// Reads a side file into `layout`, `cells` and `values`. Raises Failure naming the line,
// or the file when its format areas cover more than kMostFormattedCells.
void ReadLayoutFile(std::string_view text, long rows, long cols, SheetLayout& layout, std::vector<FieldCell>& cells,
                    std::vector<CachedValue>& values);

}  // namespace quillary::workbook
