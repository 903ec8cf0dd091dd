// Everything a sheet holds other than its cell values, as plain data: what a workbook
// file keeps beside the values so that a sheet comes back as it was saved.
//
// ReadLayout visits only what the sheet stores (never the rectangle from A1 to its
// last cell): formats come as areas of one format each, so that a formatted column of
// a million rows is one entry. Workbook-level things (sheet order and visibility,
// defined names, the active sheet, workbook protection, the grid) are not part of it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/excel/memory/formats.h"
#include "platform/excel/memory/memory.h"

namespace quillary::workbook {

// An area whose cells share one format.
struct FormatArea {
  xl::Area area;
  xl::memory::CellFormat format;
  friend bool operator==(const FormatArea&, const FormatArea&) = default;
};

// A band of rows or columns, first to last.
struct Band {
  long first = 1, last = 1;
  friend bool operator==(const Band&, const Band&) = default;
};

struct ColumnWidth {
  Band columns;
  double width = xl::kDefaultColumnWidth;  // characters
  friend bool operator==(const ColumnWidth&, const ColumnWidth&) = default;
};

struct RowHeight {
  Band rows;
  double height = xl::kDefaultRowHeight;  // points
  friend bool operator==(const RowHeight&, const RowHeight&) = default;
};

struct CellComment {
  xl::CellPos cell;
  xl::CommentData comment;
};

struct CellHyperlink {
  xl::CellPos cell;
  xl::Hyperlink link;
};

struct SheetLayout {
  // Put on in order, each over those before it (a cell's own format after its column's).
  std::vector<FormatArea> formats;
  // Only what differs from the defaults.
  std::vector<ColumnWidth> columnWidths;
  std::vector<Band> hiddenColumns;
  std::vector<RowHeight> rowHeights;
  std::vector<Band> hiddenRows;
  std::vector<xl::Area> merges;
  std::vector<CellComment> comments;      // row by row
  std::vector<CellHyperlink> hyperlinks;  // row by row
  std::optional<xl::Area> autoFilter;
  // The sheet's contents protected, with its options; nothing when unprotected.
  std::optional<xl::Protection> protection;
  xl::PageSetup pageSetup;
  std::vector<xl::Area> selection;  // empty: as a new sheet has it
  xl::CellPos activeCell;
};

SheetLayout ReadLayout(xl::memory::FileSheet& sheet);

// Puts the layout on a sheet that holds nothing yet, with the values entered by
// `enterValues` in between: the merged areas first (so that merging clears no value),
// then the values, then the formats (so that the values are entered as they are typed
// into cells of the General format, and a number in a cell of the text format "@" stays
// a number), widths, heights, hidden rows and columns, hyperlinks (keeping the cells'
// values), comments, the auto-filter, page set-up and selection, and the protection
// last. Raises quillary::Error when the sheet refuses a part (an area off the grid, a
// width out of range).
void ApplyLayout(xl::memory::FileSheet& sheet, const SheetLayout& layout,
                 const std::function<void()>& enterValues = {});

}  // namespace quillary::workbook
