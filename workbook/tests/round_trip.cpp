#include "workbook/tests/round_trip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "host/working_sheet.h"
#include "workbook/sheet_layout.h"

namespace quillary::workbook::testing {

namespace {

using xl::memory::FileSheet;

FileSheet& Memory(xl::Worksheet& sheet) { return dynamic_cast<FileSheet&>(sheet); }

xl::Area At(xl::Worksheet& sheet, const char* reference) { return sheet.Range(FromUtf8(reference)).FirstArea(); }

void Type(xl::Worksheet& sheet, const char* cell, const char* typed) {
  sheet.Range(FromUtf8(cell)).SetValue(FromUtf8(typed));
}

void BuildParts(xl::Worksheet& s) {
  // A header row: bold, centred, on a solid yellow, a thick line below, thin around.
  const char* header[] = {"Part", "Qty", "Note", "Link"};
  for (int c = 0; c < 4; ++c) s.Cells(1, c + 1).SetValue(FromUtf8(header[c]));
  const xl::Area head = At(s, "A1:D1");
  s.SetFormat(head, xl::FormatKey::FontBold, true);
  s.SetFormat(head, xl::FormatKey::HorizontalAlignment, xl::xlCenter);
  s.SetFormat(head, xl::FormatKey::InteriorColor, 0x00FFFF);
  s.SetFormat(head, xl::FormatKey::InteriorPattern, xl::xlSolid);
  s.SetFormat(head, xl::FormatKey::BorderLineStyle, xl::xlContinuous);
  s.SetFormat(head, xl::FormatKey::BorderWeight, xl::xlThin);
  s.SetFormat(head, xl::FormatKey::BorderWeight, xl::xlThick, xl::xlEdgeBottom);
  // A column of texts, one of them under the text format "@".
  s.SetFormat(At(s, "A4"), xl::FormatKey::NumberFormat, u"@");
  Type(s, "A2", "R1");
  Type(s, "A3", "'007");
  Type(s, "A4", "007");
  Type(s, "A5", "TRUE");
  Type(s, "A6", "#N/A");
  Type(s, "A7", "'");
  Type(s, "A8", "=\"lit\"");
  Type(s, "A9", "'=not a formula");
  Type(s, "A10", "'12%");
  // Numbers, some of them with the number format typing gave them.
  Type(s, "B2", "42");
  Type(s, "B3", "-0.25");
  Type(s, "B4", "1E+20");
  Type(s, "B5", "12%");
  Type(s, "B6", "1,000");
  Type(s, "B7", "=12");
  Type(s, "B8", "3.14159");
  s.SetFormat(At(s, "B8"), xl::FormatKey::NumberFormat, u"0.00");
  Type(s, "B9", "#DIV/0!");
  Type(s, "B10", "=B2*2");
  s.SetFormat(At(s, "B2:B10"), xl::FormatKey::Locked, false);
  // Texts that need quoting, wrapping and other scripts.
  Type(s, "C2", "a,b \"c\"\nd");
  s.SetFormat(At(s, "C2"), xl::FormatKey::WrapText, true);
  s.SetFormat(At(s, "C2"), xl::FormatKey::VerticalAlignment, xl::xlTop);
  Type(s, "C3", "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5");
  Type(s, "C4", " 12 x");
  Type(s, "C5", "FALSE");
  // A number and a formula that were there before their cells took the text format.
  Type(s, "C6", "5");
  Type(s, "C7", "=12");
  s.SetFormat(At(s, "C6:C7"), xl::FormatKey::NumberFormat, u"@");
  s.SetFormat(At(s, "C1"), xl::FormatKey::InteriorPattern, xl::xlPatternGray16);
  s.SetFormat(At(s, "A2"), xl::FormatKey::FontColorIndex, 3);
  s.SetFormat(At(s, "C3:C5"), xl::FormatKey::HorizontalAlignment, xl::xlRight);
  s.SetFormat(At(s, "C4"), xl::FormatKey::BorderLineStyle, xl::xlContinuous, xl::xlDiagonalUp);
  // Hyperlinks out of the workbook and into it.
  s.AddHyperlink(s.Range(u"D2"), u"https://example.com/parts", {}, u"catalogue");
  s.AddHyperlink(s.Range(u"D3"), {}, u"Report!A1");
  // A link whose text is no longer the cell's value.
  s.AddHyperlink(s.Range(u"D4"), u"mailto:parts@example.com", {}, u"mail us");
  Type(s, "D4", "17");
  s.SetFormat(At(s, "D2"), xl::FormatKey::FontUnderline, xl::xlUnderlineStyleSingle);
  // A merged area, widths, heights, hidden rows and columns.
  Type(s, "F1", "Merged");
  s.Merge(At(s, "F1:G2"));
  s.SetColumnWidth(2, 2, 20);
  s.SetColumnWidth(3, 4, 12.5);
  s.SetColumnsHidden(5, 5, true);
  s.SetRowHeight(3, 3, 30);
  s.SetRowsHidden(6, 7, true);
  // Comments: one shown, with its own colour and place; one hidden and sized to fit.
  s.SetCellComment(2, 1, xl::CommentData{u"first part", true, false, 0xCCFFCC, 12, 100, 120, 60});
  s.SetCellComment(3, 2, xl::CommentData{u"Qty\nchecked", false, true, 0xE1FFFF, 40, 200, 96, 55.5});
  s.AutoFilter(At(s, "A1:D10"));
  xl::PageSetup page;
  page.PrintArea = u"$A$1:$D$10";
  page.CenterHeader = u"Parts";
  page.LeftFooter = u"&P of &N";
  page.TopMargin = 36;
  page.LeftMargin = 18;
  page.Zoom = false;
  page.FitToPagesWide = 1;
  page.FitToPagesTall = false;
  page.PrintTitleRows = u"$1:$1";
  page.CenterHorizontally = true;
  s.SetPageSetup(page);
  const std::vector<xl::Area> selection{At(s, "A2:B3"), At(s, "D5")};
  s.Select(selection);
  s.Activate(xl::Area{3, 2, 3, 2});
  s.Protect(xl::Protection{.AllowFormattingCells = true});
}

}  // namespace

xl::memory::FileBook& BuildRichWorkbook(xl::memory::MemoryApplication& app) {
  xl::memory::FileBook& book = app.AddWorkbook(xl::memory::GridSize::Large);
  xl::Worksheet& parts = book.Sheets().Item(1);
  parts.SetName(u"Parts");
  xl::Worksheet& report = book.Sheets().Add({.After = &parts});
  report.SetName(u"Report");
  xl::Worksheet& archive = book.Sheets().Add({.After = &report});
  archive.SetName(u"Archive");
  xl::Worksheet& work = book.Sheets().Add({.After = &archive});
  work.SetName(host::kHiddenWorkSht);

  BuildParts(parts);
  Type(report, "A1", "Report");
  Type(report, "XFD1048576", "last cell");
  report.SetFormat(At(report, "A:A"), xl::FormatKey::FontBold, true);
  // Formulas the stand-in does not calculate, with the values a file gave them.
  const std::vector<xl::memory::FileCell> calculated = {
      {.type = VarType::Number, .number = 0.1 + 0.2, .formula = u"=SUM(Parts!B2:B4)"},
      {.type = VarType::String, .text = u"R1 \"x\"", .formula = u"=Parts!A2&\" \"\"x\"\"\""},
      {.type = VarType::Boolean, .boolean = true, .formula = u"=B1>0"},
      {.type = VarType::Error, .error = CellError::NA, .formula = u"=VLOOKUP(1,A:A,2,FALSE)"},
  };
  dynamic_cast<xl::memory::FileSheet&>(report).StoreCells(1, 2, calculated);
  // A number that needs all 17 digits to read back the same.
  report.Cells(5, 2).SetValue(0.1 + 0.2);
  Type(archive, "B2", "old");
  Type(work, "A1", "R1,R2");

  book.Names().AddR1C1(u"Items", u"=Parts!R2C1:R10C1");
  book.Names().AddR1C1(u"Secret", u"=Report!R1C1", false);
  parts.Names().AddR1C1(u"Local", u"=Parts!R2C2");
  work.Names().AddR1C1(host::kList1, FromUtf8(std::string("=").append(ToUtf8(host::kHiddenWorkSht)).append("!R1C1")),
                       false);

  report.Activate();
  archive.SetVisible(xl::xlSheetHidden);
  work.SetVisible(xl::xlSheetVeryHidden);
  return book;
}

namespace {

std::string Where(xl::Worksheet& sheet, long row, long col) {
  return ToUtf8(sheet.Name()) + "!" + ToUtf8(sheet.Cells(row, col).Address());
}

// Every cell holding a value in either sheet: value, type and formula.
void ExpectSameCells(FileSheet& a, FileSheet& b) {
  const long cols = std::max(a.StoredColumns(), b.StoredColumns());
  for (long c = 1; c <= cols; ++c) {
    std::set<long> rows;
    for (FileSheet* s : {&a, &b}) {
      for (auto r = s->NextFilledRow(c, 0); r; r = s->NextFilledRow(c, *r)) rows.insert(*r);
    }
    for (const long r : rows) {
      const Variant va = a.CellValue(r, c), vb = b.CellValue(r, c);
      EXPECT_TRUE(va == vb) << Where(a, r, c) << ": " << Describe(va) << " became " << Describe(vb);
      EXPECT_EQ(a.CellHasFormula(r, c), b.CellHasFormula(r, c)) << Where(a, r, c) << " (has a formula)";
      if (a.CellHasFormula(r, c)) {
        EXPECT_EQ(ToUtf8(a.CellFormula(r, c)), ToUtf8(b.CellFormula(r, c))) << Where(a, r, c) << " (formula)";
      }
    }
  }
}

struct KeyAndEdge {
  xl::FormatKey key;
  long edge;
  const char* name;
};

constexpr KeyAndEdge kFormatKeys[] = {
    {xl::FormatKey::FontBold, 0, "bold"},
    {xl::FormatKey::FontColorIndex, 0, "font colour"},
    {xl::FormatKey::FontUnderline, 0, "underline"},
    {xl::FormatKey::InteriorColor, 0, "interior colour"},
    {xl::FormatKey::InteriorPattern, 0, "interior pattern"},
    {xl::FormatKey::HorizontalAlignment, 0, "horizontal alignment"},
    {xl::FormatKey::VerticalAlignment, 0, "vertical alignment"},
    {xl::FormatKey::NumberFormat, 0, "number format"},
    {xl::FormatKey::WrapText, 0, "wrap"},
    {xl::FormatKey::Locked, 0, "locked"},
    {xl::FormatKey::BorderLineStyle, xl::xlEdgeLeft, "left border"},
    {xl::FormatKey::BorderWeight, xl::xlEdgeLeft, "left border weight"},
    {xl::FormatKey::BorderLineStyle, xl::xlEdgeTop, "top border"},
    {xl::FormatKey::BorderWeight, xl::xlEdgeTop, "top border weight"},
    {xl::FormatKey::BorderLineStyle, xl::xlEdgeBottom, "bottom border"},
    {xl::FormatKey::BorderWeight, xl::xlEdgeBottom, "bottom border weight"},
    {xl::FormatKey::BorderLineStyle, xl::xlEdgeRight, "right border"},
    {xl::FormatKey::BorderWeight, xl::xlEdgeRight, "right border weight"},
    {xl::FormatKey::BorderLineStyle, xl::xlDiagonalDown, "diagonal down"},
    {xl::FormatKey::BorderLineStyle, xl::xlDiagonalUp, "diagonal up"},
};

// Every cell's format: the edges of the format areas of both sheets cut the grid into
// rectangles in which neither sheet's format changes; one cell of each stands for it.
void ExpectSameFormats(FileSheet& a, FileSheet& b, const SheetLayout& la, const SheetLayout& lb) {
  std::set<long> rowEdges{1}, colEdges{1};
  for (const SheetLayout* l : {&la, &lb}) {
    for (const FormatArea& f : l->formats) {
      rowEdges.insert({f.area.row1, f.area.row2 + 1});
      colEdges.insert({f.area.col1, f.area.col2 + 1});
    }
  }
  for (const long r : rowEdges) {
    if (r > a.RowsCount()) continue;
    for (const long c : colEdges) {
      if (c > a.ColumnsCount()) continue;
      const xl::Area cell{r, c, r, c};
      for (const auto& [key, edge, name] : kFormatKeys) {
        const Variant fa = a.GetFormat(cell, key, edge), fb = b.GetFormat(cell, key, edge);
        EXPECT_TRUE(fa == fb) << Where(a, r, c) << " " << name << ": " << Describe(fa) << " became " << Describe(fb);
      }
    }
  }
}

template <class T, class Show>
void ExpectSameList(const std::vector<T>& a, const std::vector<T>& b, const std::string& what, Show&& show) {
  EXPECT_EQ(a.size(), b.size()) << what << ": how many";
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    EXPECT_EQ(show(a[i]), show(b[i])) << what << " #" << i + 1;
  }
}

std::string Num(double d) {
  std::ostringstream out;
  out << d;
  return out.str();
}

std::string ShowArea(const xl::Area& a) {
  return std::string("R")
             .append(std::to_string(a.row1))
             .append("C")
             .append(std::to_string(a.col1))
             .append(":R")
             .append(std::to_string(a.row2))
             .append("C") +
         std::to_string(a.col2);
}

std::string ShowPageSetup(const xl::PageSetup& p) {
  std::string out;
  for (const Text* t : {&p.PrintArea, &p.CenterHeader, &p.LeftHeader, &p.RightHeader, &p.CenterFooter, &p.LeftFooter,
                        &p.RightFooter, &p.PrintTitleRows, &p.PrintTitleColumns}) {
    out += std::string("[").append(ToUtf8(*t)).append("]");
  }
  for (const double d : {p.HeaderMargin, p.FooterMargin, p.TopMargin, p.BottomMargin, p.LeftMargin, p.RightMargin}) {
    out += std::string(" ").append(Num(d));
  }
  for (const Variant* v : {&p.Zoom, &p.FitToPagesWide, &p.FitToPagesTall}) out += std::string(" ").append(Describe(*v));
  out += p.CenterHorizontally ? " centred across" : "";
  out += p.CenterVertically ? " centred down" : "";
  return out;
}

void ExpectSameLayout(FileSheet& a, FileSheet& b) {
  const SheetLayout la = ReadLayout(a), lb = ReadLayout(b);
  const std::string sheet = ToUtf8(a.Name()) + ": ";
  ExpectSameFormats(a, b, la, lb);
  ExpectSameList(la.columnWidths, lb.columnWidths, sheet + "column widths", [](const ColumnWidth& w) {
    return std::to_string(w.columns.first) + "-" + std::to_string(w.columns.last) + " " + Num(w.width);
  });
  ExpectSameList(la.rowHeights, lb.rowHeights, sheet + "row heights", [](const RowHeight& h) {
    return std::to_string(h.rows.first) + "-" + std::to_string(h.rows.last) + " " + Num(h.height);
  });
  const auto band = [](const Band& x) { return std::to_string(x.first) + "-" + std::to_string(x.last); };
  ExpectSameList(la.hiddenColumns, lb.hiddenColumns, sheet + "hidden columns", band);
  ExpectSameList(la.hiddenRows, lb.hiddenRows, sheet + "hidden rows", band);
  auto sorted = [](std::vector<xl::Area> v) {
    std::sort(v.begin(), v.end(), [](const xl::Area& x, const xl::Area& y) {
      return std::tie(x.row1, x.col1, x.row2, x.col2) < std::tie(y.row1, y.col1, y.row2, y.col2);
    });
    return v;
  };
  ExpectSameList(sorted(la.merges), sorted(lb.merges), sheet + "merged areas", ShowArea);
  ExpectSameList(la.comments, lb.comments, sheet + "comments", [&](const CellComment& c) {
    const xl::CommentData& d = c.comment;
    return Where(a, c.cell.row, c.cell.col) + " [" + ToUtf8(d.text) + "]" + (d.visible ? " shown" : " hidden") +
           (d.autoSize ? " auto-size" : "") + " fill " + std::to_string(d.fillColor) + " at " + Num(d.top) + "," +
           Num(d.left) + " size " + Num(d.width) + "x" + Num(d.height);
  });
  ExpectSameList(la.hyperlinks, lb.hyperlinks, sheet + "hyperlinks", [&](const CellHyperlink& h) {
    return Where(a, h.cell.row, h.cell.col) + " [" + ToUtf8(h.link.Address) + "] [" + ToUtf8(h.link.SubAddress) +
           "] [" + ToUtf8(h.link.TextToDisplay) + "]";
  });
  EXPECT_EQ(la.autoFilter ? ShowArea(*la.autoFilter) : "none", lb.autoFilter ? ShowArea(*lb.autoFilter) : "none")
      << sheet << "auto-filter";
  const auto protection = [](const std::optional<xl::Protection>& p) {
    return !p ? std::string("unprotected") : p->AllowFormattingCells ? "protected, formatting allowed" : "protected";
  };
  EXPECT_EQ(protection(la.protection), protection(lb.protection)) << sheet << "protection";
  EXPECT_EQ(ShowPageSetup(la.pageSetup), ShowPageSetup(lb.pageSetup)) << sheet << "page set-up";
  ExpectSameList(la.selection, lb.selection, sheet + "selection", ShowArea);
  EXPECT_EQ(Where(a, la.activeCell.row, la.activeCell.col), Where(a, lb.activeCell.row, lb.activeCell.col))
      << sheet << "active cell";
}

std::vector<std::string> Names(xl::NameCollection& names) {
  std::vector<std::string> out;
  for (long i = 1; i <= names.Count(); ++i) {
    xl::DefinedName& n = names.Item(i);
    out.push_back(ToUtf8(n.Name()) + " " + ToUtf8(n.RefersToR1C1()) + (n.Visible() ? "" : " hidden"));
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

void ExpectSameWorkbook(xl::memory::FileBook& a, xl::memory::FileBook& b) {
  EXPECT_EQ(a.RowsCount(), b.RowsCount()) << "the grid's rows";
  EXPECT_EQ(a.ColumnsCount(), b.ColumnsCount()) << "the grid's columns";
  ASSERT_EQ(a.Sheets().Count(), b.Sheets().Count()) << "how many sheets";
  for (long i = 1; i <= a.Sheets().Count(); ++i) {
    FileSheet& sa = Memory(a.Sheets().Item(i));
    FileSheet& sb = Memory(b.Sheets().Item(i));
    ASSERT_EQ(ToUtf8(sa.Name()), ToUtf8(sb.Name())) << "sheet " << i;
    EXPECT_EQ(sa.Visible(), sb.Visible()) << ToUtf8(sa.Name()) << ": visibility";
    ExpectSameCells(sa, sb);
    ExpectSameLayout(sa, sb);
    EXPECT_EQ(Names(sa.Names()), Names(sb.Names())) << ToUtf8(sa.Name()) << ": sheet-level names";
  }
  EXPECT_EQ(Names(a.Names()), Names(b.Names())) << "workbook-level names";
  EXPECT_EQ(ToUtf8(a.ActiveSheet().Name()), ToUtf8(b.ActiveSheet().Name())) << "the active sheet";
}

}  // namespace quillary::workbook::testing
