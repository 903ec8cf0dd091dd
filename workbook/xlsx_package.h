// What a workbook loaded from an xlsx file keeps of that file for its save: the package
// as it was read, where each sheet's part lies, the style record each cell had, and how
// each sheet and the workbook stood once loaded. The save (xlsx_patch.cpp) copies every
// part the run did not change as it stands and writes only what changed into the rest.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/excel/memory/memory.h"
#include "workbook/save_transaction.h"
#include "workbook/sheet_layout.h"

namespace quillary::workbook::xlsx {

// Rows row1..row2 of a column whose cells had the style record `xf` (never 0).
struct XfRun {
  std::int32_t row1 = 0, row2 = 0;
  std::uint32_t xf = 0;
};

struct LoadedSheet {
  const xl::memory::FileSheet* sheet = nullptr;
  std::string part;
  // By column (index col - 1): the cells' style records, runs down the column (record 0
  // only in a column with a style record of its own).
  std::vector<std::vector<XfRun>> xfs;
  // A row's tag as the file has it, beside its number and the spans of its cells.
  struct RowTag {
    std::string other;     // the attributes the sheet does not hold (outlineLevel="1" ...)
    std::string modelled;  // its ht, customHeight and hidden attributes
    double height = 0;     // its height as the sheet holds it (0: none of its own)
    bool hidden = false;
  };
  std::map<std::int32_t, RowTag> rowAttributes;
  // The cells whose element holds what the workbook does not model (rich text, array
  // formulas, cell metadata, ...), by row then column, with a digest of their value and
  // formula once loaded (CellDigest): a save writes such a cell that the run did not
  // change as the file has it.
  struct KeptCell {
    std::int32_t row = 0, col = 0;
    std::uint64_t digest = 0;
  };
  std::vector<KeptCell> keptCells;
  // The areas of its array formulas and data tables, with a digest of their cells once
  // loaded (AreaDigest): a cell of one cannot be written alone.
  struct HeldArea {
    xl::Area area;
    bool dataTable = false;
    std::uint64_t digest = 0;
  };
  std::vector<HeldArea> heldAreas;
  // Its col elements as the file has them, for a save that writes the columns again.
  struct ColTag {
    std::int32_t min = 0, max = 0;
    std::string attributes;  // all but min and max, in the tag's order (' width="9.5" ...')
    std::uint32_t xf = 0;    // its style record
  };
  std::vector<ColTag> cols;
  std::uint64_t cells = 0;  // the sheet's CellChanges once loaded
  SheetLayout layout;       // ReadLayout once loaded
};

struct LoadedPackage {
  std::string bytes;  // the file
  std::string bookPart, stylesPart, stringsPart;
  std::string macros;                       // the macros part ("xl/vbaProject.bin"), "" without one
  std::vector<xl::memory::CellFormat> xfs;  // the style records (cellXfs) as the workbook reads them
  // The shared strings as the cells read them.
  std::u16string chars;
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  std::vector<LoadedSheet> sheets;  // in the workbook's order
  std::string book;                 // BookFingerprint once loaded
};

// A digest of one cell's value and formula, and of the cells of an area: equal when
// they are as they were.
std::uint64_t CellDigest(xl::memory::FileSheet& sheet, long row, long col);
std::uint64_t AreaDigest(xl::memory::FileSheet& sheet, const xl::Area& area);
// What the workbook part holds, as one text: the sheets, their order, names and
// visibility, the defined names, the active sheet and the workbook's protection. Equal
// when they are as they were.
std::string BookFingerprint(xl::Workbook& book);

// The package the workbook was loaded from; nullptr for one made otherwise.
const LoadedPackage* OriginOf(xl::Workbook& book);
void SetOrigin(xl::Workbook& book, std::shared_ptr<const LoadedPackage> package);

// Writes the workbook as an xlsx package: the package it was loaded from (or, for a
// workbook made otherwise, a small empty one) with what changed written into it.
// `lost` names what the parts it writes again cannot keep of the file (the rich text of
// a sheet whose cells changed, say, with its sheet); then, unless `evenLosing`, nothing
// is written. The package comes in pieces laid end to end: a large sheet part's data,
// deflated as it was made, is not copied into one buffer with the rest.
std::optional<std::vector<std::string>> PatchedPackage(xl::Workbook& book, bool withMacros, Notes& notes,
                                                       std::vector<std::string>& lost, bool evenLosing);

}  // namespace quillary::workbook::xlsx
