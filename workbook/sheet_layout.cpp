#include "workbook/sheet_layout.h"

namespace quillary::workbook {

namespace {

// Appends `band` to `bands`, joined to the last one when it follows it with an equal
// value.
template <class Entry, class Same>
void AddBand(std::vector<Entry>& bands, Band Entry::*band, Entry entry, Same&& same) {
  if (!bands.empty() && (bands.back().*band).last + 1 == (entry.*band).first && same(bands.back(), entry)) {
    (bands.back().*band).last = (entry.*band).last;
  } else {
    bands.push_back(std::move(entry));
  }
}

void AddPlainBand(std::vector<Band>& bands, Band band) {
  if (!bands.empty() && bands.back().last + 1 == band.first) {
    bands.back().last = band.last;
  } else {
    bands.push_back(band);
  }
}

// What gives the cell its content again when entered: a formula's source, a text as it
// was typed ("'" kept), any other value as it is (Empty for an empty cell).
Variant Content(xl::Worksheet& sheet, const xl::CellPos& cell) {
  const Variant value = sheet.CellValue(cell.row, cell.col);
  if (sheet.CellHasFormula(cell.row, cell.col) || value.IsText()) return sheet.CellFormula(cell.row, cell.col);
  return value;
}

}  // namespace

SheetLayout ReadLayout(xl::memory::FileSheet& sheet) {
  SheetLayout layout;
  sheet.VisitFormats([&](const xl::Area& area, const xl::memory::CellFormat& f) {
    layout.formats.push_back({area, f});
  });
  for (long c = 1; c <= sheet.StoredColumns(); ++c) {
    const double width = sheet.ColumnWidth(c, c).AsNumber();
    if (width != xl::kDefaultColumnWidth) {
      AddBand(layout.columnWidths, &ColumnWidth::columns, ColumnWidth{{c, c}, width},
              [](const ColumnWidth& a, const ColumnWidth& b) { return a.width == b.width; });
    }
    if (sheet.ColumnsHidden(c, c).AsBool()) AddPlainBand(layout.hiddenColumns, {c, c});
  }
  for (const auto& [row, height] : sheet.RowHeights()) {
    AddBand(layout.rowHeights, &RowHeight::rows, RowHeight{{row, row}, height},
            [](const RowHeight& a, const RowHeight& b) { return a.height == b.height; });
  }
  for (const auto& [first, last] : sheet.HiddenRowBands()) layout.hiddenRows.push_back({first, last});
  layout.merges = sheet.MergedAreas();
  for (const xl::Range& cell : sheet.Comments()) {
    const xl::CellPos pos{cell.Row(), cell.Column()};
    layout.comments.push_back({pos, *sheet.CellComment(pos.row, pos.col)});
  }
  for (auto& [pos, link] : sheet.HyperlinkCells()) layout.hyperlinks.push_back({pos, std::move(link)});
  layout.autoFilter = sheet.AutoFilterArea();
  if (sheet.ProtectContents()) layout.protection = sheet.Protection();
  layout.pageSetup = sheet.GetPageSetup();
  layout.selection = sheet.SelectionAreas();
  layout.activeCell = sheet.ActiveCellPos();
  return layout;
}

void ApplyLayout(xl::memory::FileSheet& sheet, const SheetLayout& layout, const std::function<void()>& enterValues) {
  for (const xl::Area& m : layout.merges) sheet.Merge(m);
  if (enterValues) enterValues();
  for (const FormatArea& f : layout.formats) sheet.PutFormat(f.area, f.format);
  for (const ColumnWidth& w : layout.columnWidths) sheet.SetColumnWidth(w.columns.first, w.columns.last, w.width);
  for (const Band& b : layout.hiddenColumns) sheet.SetColumnsHidden(b.first, b.last, true);
  for (const RowHeight& h : layout.rowHeights) sheet.SetRowHeight(h.rows.first, h.rows.last, h.height);
  for (const Band& b : layout.hiddenRows) sheet.SetRowsHidden(b.first, b.last, true);
  for (const CellHyperlink& h : layout.hyperlinks) {
    // Adding a link may write its text into the cell: the cell keeps the value it has.
    const Variant before = Content(sheet, h.cell);
    sheet.AddHyperlink(sheet.Cells(h.cell.row, h.cell.col), h.link.Address, h.link.SubAddress, h.link.TextToDisplay);
    if (!(Content(sheet, h.cell) == before)) {
      const xl::Area cell{h.cell.row, h.cell.col, h.cell.row, h.cell.col};
      if (before.IsEmpty()) {
        sheet.ClearContents(std::span(&cell, 1));
      } else {
        sheet.SetValue(cell, before);
      }
    }
  }
  for (const CellComment& c : layout.comments) sheet.SetCellComment(c.cell.row, c.cell.col, c.comment);
  if (layout.autoFilter && sheet.AutoFilterArea() != layout.autoFilter) {
    if (sheet.AutoFilterArea()) sheet.AutoFilter(*sheet.AutoFilterArea());
    sheet.AutoFilter(*layout.autoFilter);
  }
  sheet.SetPageSetup(layout.pageSetup);
  if (!layout.selection.empty()) {
    sheet.Select(layout.selection);
    const auto [row, col] = layout.activeCell;
    sheet.Activate(xl::Area{row, col, row, col});
  }
  if (layout.protection) sheet.Protect(*layout.protection);
}

}  // namespace quillary::workbook
