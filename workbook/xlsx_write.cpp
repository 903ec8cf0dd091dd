// Writing xlsx files with libxlsxwriter, then, where the library has no call for it,
// the written parts amended (xlsx_zip.h RewriteZip): very hidden sheets, workbook
// protection and the 1904 date system in the workbook part; error values, formulas
// whose value is a boolean or an error value or that have no value from the file,
// numbers that need all 17 digits, and selections of several areas or with the active
// cell elsewhere in the sheet parts. The library writes such cells as text results
// marked with kMark...kMarkEnd, which the amending turns into the cells the format means.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "workbook/failure.h"
#include "workbook/sheet_layout.h"
#include "workbook/source_stamp.h"
#include "workbook/xlsx.h"
#include "workbook/xlsx_common.h"
#include "workbook/xlsx_package.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook {

namespace fs = std::filesystem;
using namespace xlsx;
using xl::memory::CellFormat;

namespace {

constexpr std::string_view kMark = "\xE2\x81\xA0quillary:";  // a word joiner before it
constexpr std::string_view kMarkEnd = ":quillary\xE2\x81\xA0";

constexpr std::size_t kUrlLimit = 2079;  // characters of a hyperlink's address

std::string U8(TextView t) { return ToUtf8(t); }

// The library writes numbers with 16 significant digits; a number that needs all 17 to
// read back the same is written through a mark (below) in its shortest exact form.
bool NeedsAllDigits(double d) {
  std::array<char, 40> buf{};
  std::snprintf(buf.data(), buf.size(), "%.16G", d);
  return std::strtod(buf.data(), nullptr) != d;
}

std::string ExactNumber(double d) {
  std::array<char, 40> buf{};
  const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), d).ptr;
  return std::string(buf.data(), end);
}

void Check(lxw_error e, const std::string& what) {
  if (e != LXW_NO_ERROR) throw Failure(what + ": " + lxw_strerror(e));
}

// The sheet's formats by column: the rows of each column given one format (an index
// into the formats list), the later areas over the earlier ones.
class FormatMap {
 public:
  FormatMap(const SheetLayout& layout, long rows) {
    for (const FormatArea& fa : layout.formats) {
      const std::size_t f = Index(fa.format);
      if (fa.area.row1 == 1 && fa.area.row2 == rows) {
        // A format of entire columns: the column's own, over any cell format before it.
        for (long c = fa.area.col1; c <= fa.area.col2; ++c) {
          columnFormat_[c] = f;
          cells_.erase(c);
        }
        continue;
      }
      for (long c = fa.area.col1; c <= fa.area.col2; ++c) Paint(cells_[c], fa.area.row1, fa.area.row2, f);
    }
  }

  const std::vector<CellFormat>& Formats() const { return formats_; }
  const std::map<long, std::size_t>& ColumnFormats() const { return columnFormat_; }
  // Per column: first row -> (last row, format).
  const std::map<long, std::map<long, std::pair<long, std::size_t>>>& Cells() const { return cells_; }
  // The format of a cell; npos when it has the default one.
  std::size_t At(long row, long col) const {
    if (const auto c = cells_.find(col); c != cells_.end()) {
      auto it = c->second.upper_bound(row);
      if (it != c->second.begin() && std::prev(it)->second.first >= row) return std::prev(it)->second.second;
    }
    if (const auto c = columnFormat_.find(col); c != columnFormat_.end()) return c->second;
    return std::string::npos;
  }

 private:
  std::size_t Index(const CellFormat& f) {
    for (std::size_t i = 0; i < formats_.size(); ++i) {
      if (formats_[i] == f) return i;
    }
    formats_.push_back(f);
    return formats_.size() - 1;
  }
  static void Paint(std::map<long, std::pair<long, std::size_t>>& runs, long r1, long r2, std::size_t f) {
    // Cut the runs that overlap [r1, r2], keep their parts outside it.
    auto it = runs.upper_bound(r1);
    if (it != runs.begin() && std::prev(it)->second.first >= r1) --it;
    while (it != runs.end() && it->first <= r2) {
      const long start = it->first, end = it->second.first;
      const std::size_t g = it->second.second;
      it = runs.erase(it);
      if (start < r1) runs.emplace(start, std::make_pair(r1 - 1, g));
      if (end > r2) runs.emplace(r2 + 1, std::make_pair(end, g));
    }
    runs.emplace(r1, std::make_pair(r2, f));
  }

  std::vector<CellFormat> formats_;
  std::map<long, std::size_t> columnFormat_;
  std::map<long, std::map<long, std::pair<long, std::size_t>>> cells_;
};

lxw_color_t Color(std::uint32_t rgb) { return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb; }

std::uint8_t BorderStyle(const xl::memory::BorderFormat& b) {
  const std::string_view name = BorderStyleName(b.lineStyle, b.weight);
  if (name.empty()) return LXW_BORDER_NONE;
  if (name == "hair") return LXW_BORDER_HAIR;
  if (name == "medium") return LXW_BORDER_MEDIUM;
  if (name == "thick") return LXW_BORDER_THICK;
  if (name == "dashed") return LXW_BORDER_DASHED;
  if (name == "mediumDashed") return LXW_BORDER_MEDIUM_DASHED;
  if (name == "dotted") return LXW_BORDER_DOTTED;
  if (name == "double") return LXW_BORDER_DOUBLE;
  return LXW_BORDER_THIN;
}

lxw_format* MakeFormat(lxw_workbook* wb, const CellFormat& f) {
  lxw_format* x = workbook_add_format(wb);
  if (f.bold) format_set_bold(x);
  if (f.colorIndex >= 1 && f.colorIndex <= 56) format_set_font_color(x, Color(PaletteColor(f.colorIndex)));
  const std::string_view underline = UnderlineName(f.underline);
  if (underline == "single") format_set_underline(x, LXW_UNDERLINE_SINGLE);
  if (underline == "double") format_set_underline(x, LXW_UNDERLINE_DOUBLE);
  if (underline == "singleAccounting") format_set_underline(x, LXW_UNDERLINE_SINGLE_ACCOUNTING);
  if (underline == "doubleAccounting") format_set_underline(x, LXW_UNDERLINE_DOUBLE_ACCOUNTING);
  if (f.pattern == xl::xlSolid) {
    format_set_pattern(x, LXW_PATTERN_SOLID);
    format_set_bg_color(x, Color(OleToRgb(f.interiorColor)));
  } else if (f.pattern == xl::xlPatternGray16) {
    format_set_pattern(x, LXW_PATTERN_GRAY_125);
    format_set_fg_color(x, Color(OleToRgb(f.interiorColor)));
  }
  format_set_left(x, BorderStyle(f.borders[2]));
  format_set_top(x, BorderStyle(f.borders[3]));
  format_set_bottom(x, BorderStyle(f.borders[4]));
  format_set_right(x, BorderStyle(f.borders[5]));
  const bool down = f.borders[0].lineStyle != xl::xlLineStyleNone, up = f.borders[1].lineStyle != xl::xlLineStyleNone;
  if (down || up) {
    format_set_diag_type(x, down && up ? LXW_DIAGONAL_BORDER_UP_DOWN
                            : down     ? LXW_DIAGONAL_BORDER_DOWN
                                       : LXW_DIAGONAL_BORDER_UP);
    format_set_diag_border(x, BorderStyle(f.borders[down ? 0 : 1]));
  }
  static const std::map<std::string_view, std::uint8_t> kHorizontal{{"left", LXW_ALIGN_LEFT},
                                                                    {"center", LXW_ALIGN_CENTER},
                                                                    {"right", LXW_ALIGN_RIGHT},
                                                                    {"fill", LXW_ALIGN_FILL},
                                                                    {"justify", LXW_ALIGN_JUSTIFY},
                                                                    {"centerContinuous", LXW_ALIGN_CENTER_ACROSS},
                                                                    {"distributed", LXW_ALIGN_DISTRIBUTED}};
  static const std::map<std::string_view, std::uint8_t> kVertical{{"top", LXW_ALIGN_VERTICAL_TOP},
                                                                  {"center", LXW_ALIGN_VERTICAL_CENTER},
                                                                  {"justify", LXW_ALIGN_VERTICAL_JUSTIFY},
                                                                  {"distributed", LXW_ALIGN_VERTICAL_DISTRIBUTED}};
  if (const auto h = kHorizontal.find(HorizontalName(f.horizontalAlignment)); h != kHorizontal.end()) {
    format_set_align(x, h->second);
  }
  if (const auto v = kVertical.find(VerticalName(f.verticalAlignment)); v != kVertical.end()) {
    format_set_align(x, v->second);
  }
  if (f.numberFormat != u"General") format_set_num_format(x, U8(f.numberFormat).c_str());
  if (f.wrapText) format_set_text_wrap(x);
  if (!f.locked) format_set_unlocked(x);
  return x;
}

// What the amending of a sheet part has to do.
struct SheetAmends {
  bool marks = false;                         // cells written with a mark
  std::string selection;                      // a <selection> element to put in place of the library's
  std::map<long, double> widths;              // column -> width in characters
  std::map<std::string, std::string> shown;   // hyperlink cell ("D2") -> the text shown ("": none)
  std::set<std::pair<long, long>> autoSized;  // comments (row, column) that fit their text
  bool Any() const { return marks || !selection.empty() || !widths.empty() || !shown.empty() || !autoSized.empty(); }
};

class SheetWriter {
 public:
  SheetWriter(lxw_workbook* wb, lxw_worksheet* ws, xl::memory::FileSheet& sheet, Notes& notes)
      : wb_(wb),
        ws_(ws),
        sheet_(sheet),
        notes_(notes),
        layout_(ReadLayout(sheet)),
        formats_(layout_, sheet.RowsCount()) {
    std::set<long> told;
    for (const CellFormat& f : formats_.Formats()) {
      made_.push_back(f == CellFormat{} ? nullptr : MakeFormat(wb, f));
      const auto first = PaletteIndex(PaletteColor(f.colorIndex));
      if (f.colorIndex >= 1 && first && *first != f.colorIndex && told.insert(f.colorIndex).second) {
        notes_.push_back("sheet '" + U8(sheet.Name()) + "': the font colour index " + std::to_string(f.colorIndex) +
                         " is saved as its colour, which reads back as the index " + std::to_string(*first) +
                         " of the same colour");
      }
    }
  }

  SheetAmends Write();

 private:
  lxw_format* FormatAt(long row, long col) const {
    const std::size_t f = formats_.At(row, col);
    return f == std::string::npos ? nullptr : made_[f];
  }
  void WriteColumns();
  void WriteRows();
  void WriteValues();
  void WriteCell(long row, long col, const Variant& value);
  void WriteExtras();
  std::string Where(long row, long col) const { return "cell " + CellRef(row, col); }

  lxw_workbook* wb_;
  lxw_worksheet* ws_;
  xl::memory::FileSheet& sheet_;
  Notes& notes_;
  SheetLayout layout_;
  FormatMap formats_;
  std::vector<lxw_format*> made_;
  lxw_format* plain_ = nullptr;
  SheetAmends amends_;
};

void SheetWriter::WriteColumns() {
  // Widths, hidden columns and the columns' own formats, band by band of equal settings.
  std::map<long, double> widths;
  std::map<long, bool> hidden;
  for (const ColumnWidth& w : layout_.columnWidths) {
    for (long c = w.columns.first; c <= w.columns.last; ++c) widths[c] = w.width;
  }
  // The library rounds widths to whole pixels and writes hidden columns 0 wide: the
  // widths are put in exactly when the part is amended.
  amends_.widths = widths;
  for (const Band& b : layout_.hiddenColumns) {
    for (long c = b.first; c <= b.last; ++c) hidden[c] = true;
  }
  std::set<long> cols;
  for (const auto& [c, w] : widths) cols.insert(c);
  for (const auto& [c, h] : hidden) cols.insert(c);
  for (const auto& [c, f] : formats_.ColumnFormats()) cols.insert(c);
  for (const long c : cols) {
    const auto w = widths.find(c);
    const auto f = formats_.ColumnFormats().find(c);
    lxw_row_col_options options{};
    options.hidden = hidden.contains(c) ? 1 : 0;
    Check(worksheet_set_column_opt(ws_, static_cast<lxw_col_t>(c - 1), static_cast<lxw_col_t>(c - 1),
                                   w == widths.end() ? LXW_DEF_COL_WIDTH : w->second,
                                   f == formats_.ColumnFormats().end() ? nullptr : made_[f->second], &options),
          "column " + std::to_string(c));
  }
}

void SheetWriter::WriteRows() {
  std::map<long, double> heights;
  for (const RowHeight& h : layout_.rowHeights) {
    for (long r = h.rows.first; r <= h.rows.last; ++r) heights[r] = h.height;
  }
  std::set<long> hidden;
  for (const Band& b : layout_.hiddenRows) {
    for (long r = b.first; r <= b.last; ++r) hidden.insert(r);
  }
  std::set<long> rows(hidden);
  for (const auto& [r, h] : heights) rows.insert(r);
  for (const long r : rows) {
    const auto h = heights.find(r);
    lxw_row_col_options options{};
    options.hidden = hidden.contains(r) ? 1 : 0;
    Check(worksheet_set_row_opt(ws_, static_cast<lxw_row_t>(r - 1), h == heights.end() ? LXW_DEF_ROW_HEIGHT : h->second,
                                nullptr, &options),
          "row " + std::to_string(r));
  }
}

void SheetWriter::WriteCell(long row, long col, const Variant& value) {
  const auto r = static_cast<lxw_row_t>(row - 1);
  const auto c = static_cast<lxw_col_t>(col - 1);
  lxw_format* f = FormatAt(row, col);
  const std::string where = Where(row, col);
  if (sheet_.CellHasFormula(row, col)) {
    std::string source = U8(sheet_.CellFormula(row, col));
    if (!sheet_.CellHasCachedValue(row, col)) {
      // A value the file did not hold is the stand-in's own (#NAME? for most formulas):
      // none is written, and the application calculates the formula when it opens it.
      const std::string mark = std::string(kMark) + "f:" + std::string(kMarkEnd);
      Check(worksheet_write_formula_str(ws_, r, c, source.c_str(), f, mark.c_str()), where);
      amends_.marks = true;
      return;
    }
    switch (value.Type()) {
      case VarType::Number:
        if (NeedsAllDigits(value.AsNumber())) {
          const std::string mark = std::string(kMark) + "n:" + ExactNumber(value.AsNumber()) + std::string(kMarkEnd);
          Check(worksheet_write_formula_str(ws_, r, c, source.c_str(), f, mark.c_str()), where);
          amends_.marks = true;
          return;
        }
        Check(worksheet_write_formula_num(ws_, r, c, source.c_str(), f, value.AsNumber()), where);
        return;
      case VarType::String:
        Check(worksheet_write_formula_str(ws_, r, c, source.c_str(), f, U8(value.AsText()).c_str()), where);
        return;
      case VarType::Boolean:
      case VarType::Error: {
        const std::string mark =
            std::string(kMark) + (value.IsBoolean() ? "b:" : "e:") +
            (value.IsBoolean() ? (value.AsBool() ? "1" : "0") : U8(CellErrorText(value.AsError()))) +
            std::string(kMarkEnd);
        Check(worksheet_write_formula_str(ws_, r, c, source.c_str(), f, mark.c_str()), where);
        amends_.marks = true;
        return;
      }
      default: Check(worksheet_write_formula(ws_, r, c, source.c_str(), f), where); return;
    }
  }
  switch (value.Type()) {
    case VarType::Number:
      if (NeedsAllDigits(value.AsNumber())) {
        const std::string mark = std::string(kMark) + "N:" + ExactNumber(value.AsNumber()) + std::string(kMarkEnd);
        Check(worksheet_write_formula_str(ws_, r, c, "0", f, mark.c_str()), where);
        amends_.marks = true;
        return;
      }
      Check(worksheet_write_number(ws_, r, c, value.AsNumber(), f), where);
      return;
    case VarType::String:
      if (value.AsText().empty()) {
        // The library writes no cell for an empty text.
        const std::string mark = std::string(kMark) + "S:" + std::string(kMarkEnd);
        Check(worksheet_write_formula_str(ws_, r, c, "0", f, mark.c_str()), where);
        amends_.marks = true;
        return;
      }
      Check(worksheet_write_string(ws_, r, c, U8(value.AsText()).c_str(), f), where);
      return;
    case VarType::Boolean: Check(worksheet_write_boolean(ws_, r, c, value.AsBool() ? 1 : 0, f), where); return;
    case VarType::Error: {
      const std::string mark = std::string(kMark) + "E:" + U8(CellErrorText(value.AsError())) + std::string(kMarkEnd);
      Check(worksheet_write_formula_str(ws_, r, c, "0", f, mark.c_str()), where);
      amends_.marks = true;
      return;
    }
    default: return;
  }
}

void SheetWriter::WriteValues() {
  // The cells of a format alone, then the values (with their formats) over them.
  for (const auto& [col, runs] : formats_.Cells()) {
    for (const auto& [row1, run] : runs) {
      if (made_[run.second] == nullptr) continue;
      for (long r = row1; r <= run.first; ++r) {
        Check(worksheet_write_blank(ws_, static_cast<lxw_row_t>(r - 1), static_cast<lxw_col_t>(col - 1),
                                    made_[run.second]),
              Where(r, col));
      }
    }
  }
  std::vector<Variant> values;
  const long rows = sheet_.RowsCount();
  for (long col = 1; col <= sheet_.StoredColumns(); ++col) {
    std::optional<long> next = sheet_.NextFilledRow(col, 0);
    while (next) {
      const long first = *next;
      long last = first;
      if (first < rows && !sheet_.CellValue(first + 1, col).IsEmpty()) last = sheet_.End(first, col, xl::xlDown).row;
      // A lone "'" cell reads as "" but is not empty: End stops on it as on any value.
      sheet_.ReadValues({first, col, last, col}, values);
      for (long r = first; r <= last; ++r) WriteCell(r, col, values[static_cast<std::size_t>(r - first)]);
      next = last < rows ? sheet_.NextFilledRow(col, last) : std::nullopt;
    }
  }
}

// A selection element as the file format has it: the active cell and the areas.
std::string SelectionElement(const std::vector<xl::Area>& areas, xl::CellPos active) {
  std::string sqref;
  for (const xl::Area& a : areas) sqref += (sqref.empty() ? "" : " ") + AreaRef(a);
  return "<selection activeCell=\"" + CellRef(active.row, active.col) + "\" sqref=\"" + sqref + "\"/>";
}

// "&L" + left + "&C" + center + "&R" + right, the empty parts left out.
std::string HeaderFooter(const Text& left, const Text& center, const Text& right) {
  std::string out;
  if (!left.empty()) out += "&L" + U8(left);
  if (!center.empty()) out += "&C" + U8(center);
  if (!right.empty()) out += "&R" + U8(right);
  return out;
}

std::optional<xl::Area> BandOf(const xl::Worksheet& sheet, const Text& address) {
  auto ref = xl::ParseA1(address, sheet.RowsCount(), sheet.ColumnsCount());
  if (!ref || ref->sheet || ref->areas.size() != 1) return std::nullopt;
  return ref->areas.front();
}

void SheetWriter::WriteExtras() {
  for (const xl::Area& m : layout_.merges) {
    Check(worksheet_merge_range(ws_, static_cast<lxw_row_t>(m.row1 - 1), static_cast<lxw_col_t>(m.col1 - 1),
                                static_cast<lxw_row_t>(m.row2 - 1), static_cast<lxw_col_t>(m.col2 - 1), "",
                                FormatAt(m.row1, m.col1)),
          "merged area " + AreaRef(m));
    // The library writes an empty text into the merged area's first cell: a blank
    // of its format takes its place unless a value comes.
    if (sheet_.CellValue(m.row1, m.col1).IsEmpty()) {
      lxw_format* f = FormatAt(m.row1, m.col1);
      if (f == nullptr) {
        if (plain_ == nullptr) plain_ = workbook_add_format(wb_);
        f = plain_;
      }
      worksheet_write_blank(ws_, static_cast<lxw_row_t>(m.row1 - 1), static_cast<lxw_col_t>(m.col1 - 1), f);
    }
  }
  for (const CellHyperlink& h : layout_.hyperlinks) {
    const auto r = static_cast<lxw_row_t>(h.cell.row - 1);
    const auto c = static_cast<lxw_col_t>(h.cell.col - 1);
    std::string url = h.link.Address.empty() ? "internal:" + U8(h.link.SubAddress) : U8(h.link.Address);
    if (!h.link.Address.empty() && !h.link.SubAddress.empty()) url += "#" + U8(h.link.SubAddress);
    const std::string shown = U8(h.link.TextToDisplay);
    if (url.size() > kUrlLimit) {
      throw Failure("the hyperlink of " + Where(h.cell.row, h.cell.col) + " is longer than the " +
                    std::to_string(kUrlLimit) + " characters a link of an xlsx file holds");
    }
    Check(worksheet_write_url_opt(ws_, r, c, url.c_str(), FormatAt(h.cell.row, h.cell.col),
                                  shown.empty() ? nullptr : shown.c_str(), nullptr),
          "the hyperlink of " + Where(h.cell.row, h.cell.col));
    // The library writes the text shown for links within the workbook only, as the
    // link when there is none.
    amends_.shown[CellRef(h.cell.row, h.cell.col)] = shown;
  }
  for (const CellComment& cc : layout_.comments) {
    lxw_comment_options options{};
    options.visible = cc.comment.visible ? LXW_COMMENT_DISPLAY_VISIBLE : LXW_COMMENT_DISPLAY_HIDDEN;
    options.width = static_cast<std::uint16_t>(std::lround(cc.comment.width * 4 / 3));
    options.height = static_cast<std::uint16_t>(std::lround(cc.comment.height * 4 / 3));
    options.color = Color(OleToRgb(cc.comment.fillColor));
    if (cc.comment.autoSize) amends_.autoSized.insert({cc.cell.row, cc.cell.col});
    Check(worksheet_write_comment_opt(ws_, static_cast<lxw_row_t>(cc.cell.row - 1),
                                      static_cast<lxw_col_t>(cc.cell.col - 1), U8(cc.comment.text).c_str(), &options),
          "the comment of " + Where(cc.cell.row, cc.cell.col));
  }
  if (layout_.autoFilter) {
    const xl::Area& a = *layout_.autoFilter;
    Check(worksheet_autofilter(ws_, static_cast<lxw_row_t>(a.row1 - 1), static_cast<lxw_col_t>(a.col1 - 1),
                               static_cast<lxw_row_t>(a.row2 - 1), static_cast<lxw_col_t>(a.col2 - 1)),
          "the auto-filter");
  }
  const xl::PageSetup& p = layout_.pageSetup;
  worksheet_set_margins(ws_, p.LeftMargin / 72, p.RightMargin / 72, p.TopMargin / 72, p.BottomMargin / 72);
  lxw_header_footer_options header{p.HeaderMargin / 72, nullptr, nullptr, nullptr};
  lxw_header_footer_options footer{p.FooterMargin / 72, nullptr, nullptr, nullptr};
  // The margins of header and footer are written with them: an empty one keeps its margin.
  Check(worksheet_set_header_opt(ws_, HeaderFooter(p.LeftHeader, p.CenterHeader, p.RightHeader).c_str(), &header),
        "the page header");
  Check(worksheet_set_footer_opt(ws_, HeaderFooter(p.LeftFooter, p.CenterFooter, p.RightFooter).c_str(), &footer),
        "the page footer");
  if (p.CenterHorizontally) worksheet_center_horizontally(ws_);
  if (p.CenterVertically) worksheet_center_vertically(ws_);
  const auto pages = [](const Variant& v) -> std::uint16_t {
    if (v.IsBoolean()) return 0;
    return static_cast<std::uint16_t>(vba::CLng(vba::CDbl(v)));
  };
  if (p.Zoom.IsBoolean()) {
    worksheet_fit_to_pages(ws_, pages(p.FitToPagesWide), pages(p.FitToPagesTall));
  } else if (vba::CLng(vba::CDbl(p.Zoom)) != 100) {
    worksheet_set_print_scale(ws_, static_cast<std::uint16_t>(vba::CLng(vba::CDbl(p.Zoom))));
  }
  if (!p.PrintArea.empty()) {
    auto a = BandOf(sheet_, p.PrintArea);
    if (!a) {
      const auto ref = xl::ParseA1(p.PrintArea, sheet_.RowsCount(), sheet_.ColumnsCount());
      if (!ref || ref->areas.empty()) throw Failure("the print area '" + U8(p.PrintArea) + "' is not a reference");
      a = ref->areas.front();
      notes_.push_back("sheet '" + U8(sheet_.Name()) + "': the print area " + U8(p.PrintArea) +
                       " has several areas; the xlsx file keeps the first, " + AreaRef(*a));
    }
    Check(worksheet_print_area(ws_, static_cast<lxw_row_t>(a->row1 - 1), static_cast<lxw_col_t>(a->col1 - 1),
                               static_cast<lxw_row_t>(a->row2 - 1), static_cast<lxw_col_t>(a->col2 - 1)),
          "the print area");
  }
  if (const auto a = BandOf(sheet_, p.PrintTitleRows)) {
    Check(worksheet_repeat_rows(ws_, static_cast<lxw_row_t>(a->row1 - 1), static_cast<lxw_row_t>(a->row2 - 1)),
          "the print title rows");
  }
  if (const auto a = BandOf(sheet_, p.PrintTitleColumns)) {
    Check(worksheet_repeat_columns(ws_, static_cast<lxw_col_t>(a->col1 - 1), static_cast<lxw_col_t>(a->col2 - 1)),
          "the print title columns");
  }
  if (layout_.protection) {
    lxw_protection options{};
    options.format_cells = layout_.protection->AllowFormattingCells ? 1 : 0;
    worksheet_protect(ws_, nullptr, &options);
  }
  // The selection: the library writes one area with its first cell active; others are
  // put in when the part is amended.
  if (!layout_.selection.empty()) {
    const xl::Area& a = layout_.selection.front();
    worksheet_set_selection(ws_, static_cast<lxw_row_t>(a.row1 - 1), static_cast<lxw_col_t>(a.col1 - 1),
                            static_cast<lxw_row_t>(a.row2 - 1), static_cast<lxw_col_t>(a.col2 - 1));
    if (layout_.selection.size() > 1 || layout_.activeCell != xl::CellPos{a.row1, a.col1}) {
      amends_.selection = SelectionElement(layout_.selection, layout_.activeCell);
    }
  }
}

SheetAmends SheetWriter::Write() {
  WriteColumns();
  WriteRows();
  WriteExtras();
  WriteValues();
  return amends_;
}

// ----- amending the written parts -----

std::string Attr(std::string_view tag, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t at = tag.find(key);
  if (at == std::string_view::npos) return {};
  const std::size_t from = at + key.size();
  return std::string(tag.substr(from, tag.find('"', from) - from));
}

// The marked cells of a sheet part made the cells they stand for.
std::string AmendMarks(const std::string& xml) {
  std::string out;
  out.reserve(xml.size());
  std::size_t copied = 0;
  for (std::size_t at = xml.find(kMark); at != std::string::npos; at = xml.find(kMark, at + 1)) {
    const std::size_t cellStart = xml.rfind("<c ", at);
    const std::size_t tagEnd = xml.find('>', cellStart);
    const std::size_t cellEnd = xml.find("</c>", at);
    const std::size_t markEnd = xml.find(kMarkEnd, at);
    if (cellStart == std::string::npos || cellStart < copied || cellEnd == std::string::npos || markEnd > cellEnd) {
      throw Failure("cannot amend a written sheet part");
    }
    const std::string_view tag(xml.data() + cellStart, tagEnd - cellStart);
    const std::string body(xml.substr(
        at + kMark.size(), markEnd - at - kMark.size()));  // "b:1", "e:#N/A", "E:#N/A", "n:0.30000000000000004"
    const char kind = body.front();
    const std::string value = body.substr(2);
    std::string cell = "<c r=\"" + Attr(tag, "r") + "\"";
    if (const std::string s = Attr(tag, "s"); !s.empty()) cell += " s=\"" + s + "\"";
    if (kind == 'S') {
      out.append(xml, copied, cellStart - copied);
      out += cell + " t=\"inlineStr\"><is><t></t></is></c>";
      copied = cellEnd + 4;
      at = copied - 1;
      continue;
    }
    cell += kind == 'b' ? " t=\"b\">" : kind == 'n' || kind == 'N' || kind == 'f' ? ">" : " t=\"e\">";
    if (kind == 'b' || kind == 'e' || kind == 'n' || kind == 'f') {
      const std::size_t f = xml.find("<f>", tagEnd);
      const std::size_t fEnd = xml.find("</f>", tagEnd);
      if (f < cellEnd && fEnd < cellEnd) cell += xml.substr(f, fEnd + 4 - f);
    }
    cell += kind == 'f' ? "</c>" : "<v>" + value + "</v></c>";
    out.append(xml, copied, cellStart - copied);
    out += cell;
    copied = cellEnd + 4;
    at = copied - 1;
  }
  out.append(xml, copied);
  return out;
}

std::string AmendSelection(std::string xml, const std::string& selection) {
  const std::size_t at = xml.find("<selection ");
  if (at == std::string::npos) throw Failure("cannot amend a written sheet part's selection");
  const std::size_t end = xml.find("/>", at);
  xml.replace(at, end + 2 - at, selection);
  return xml;
}

// Calls `edit` with each start tag "<name ...>" found between `from` and `to` and puts
// what it returns in its place; returns where `to` has moved.
template <class Edit>
std::size_t EditTags(std::string& xml, std::string_view name, std::size_t from, std::size_t to, Edit&& edit) {
  const std::string open = "<" + std::string(name) + " ";
  for (std::size_t at = xml.find(open, from); at != std::string::npos && at < to; at = xml.find(open, at + 1)) {
    const std::size_t end = xml.find('>', at);
    if (end == std::string::npos) break;
    const std::string tag = xml.substr(at, end + 1 - at);
    const std::string edited = edit(tag);
    xml.replace(at, tag.size(), edited);
    to = to + edited.size() - tag.size();
    at += edited.size() - 1;
  }
  return to;
}

// An attribute of a tag set (or, with nothing, removed).
std::string SetAttr(std::string tag, std::string_view name, std::optional<std::string> value) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t at = tag.find(key);
  if (at != std::string::npos) tag.erase(at, tag.find('"', at + key.size()) + 1 - at);
  if (value) {
    const std::size_t end = tag.size() - (tag.ends_with("/>") ? 2 : 1);
    tag.insert(end, key + *value + "\"");
  }
  return tag;
}

std::string XmlEscaped(std::string_view s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string AmendLayout(std::string xml, const SheetAmends& a) {
  std::size_t data = xml.find("<sheetData");
  if (data == std::string::npos) throw Failure("cannot amend a written sheet part");
  data = EditTags(xml, "col", 0, data, [&](const std::string& tag) {
    const auto w = a.widths.find(std::atol(Attr(tag, "min").c_str()));
    if (w == a.widths.end()) return tag;
    // The file's width holds the cell padding, 5 pixels of a 7-pixel character.
    std::ostringstream width;
    width.precision(17);
    width << w->second + 5.0 / 7.0;
    return SetAttr(tag, "width", width.str());
  });
  const std::size_t after = xml.find("</sheetData>", data) == std::string::npos ? data : xml.find("</sheetData>", data);
  EditTags(xml, "hyperlink", after, xml.size(), [&](const std::string& tag) {
    const auto shown = a.shown.find(Attr(tag, "ref"));
    if (shown == a.shown.end()) return tag;
    return SetAttr(tag, "display",
                   shown->second.empty() ? std::nullopt : std::optional<std::string>(XmlEscaped(shown->second)));
  });
  return xml;
}

// The comments that fit their text marked so in the drawing part.
std::string AmendDrawing(std::string vml, const std::set<std::pair<long, long>>& autoSized) {
  for (std::size_t at = vml.find("<v:shape "); at != std::string::npos; at = vml.find("<v:shape ", at + 1)) {
    const std::size_t end = vml.find("</v:shape>", at);
    if (end == std::string::npos) break;
    const auto number = [&](std::string_view el) {
      const std::string open = "<x:" + std::string(el) + ">";
      const std::size_t p = vml.find(open, at);
      return p < end ? std::atol(vml.c_str() + p + open.size()) : -1L;
    };
    if (!autoSized.contains({number("Row") + 1, number("Column") + 1})) continue;
    const std::string key = "<v:textbox style=\"";
    const std::size_t box = vml.find(key, at);
    if (box < end) vml.insert(box + key.size(), "mso-fit-shape-to-text:t;");
  }
  return vml;
}

std::string AmendWorkbook(std::string xml, xl::Workbook& book) {
  if (dynamic_cast<xl::memory::FileBook&>(book).Date1904()) {
    const std::size_t at = xml.find("<workbookPr");
    if (at == std::string::npos) throw Failure("cannot amend the written workbook part");
    xml.insert(at + 11, " date1904=\"1\"");
  }
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    if (book.Sheets().Item(i).Visible() != xl::xlSheetVeryHidden) continue;
    const std::string from = " sheetId=\"" + std::to_string(i) + "\" state=\"hidden\"";
    const std::size_t at = xml.find(from);
    if (at == std::string::npos) throw Failure("cannot amend the written workbook part");
    xml.replace(at, from.size(), " sheetId=\"" + std::to_string(i) + "\" state=\"veryHidden\"");
  }
  if (book.ProtectStructure() || book.ProtectWindows()) {
    const std::size_t at = xml.find("<bookViews>");
    if (at == std::string::npos) throw Failure("cannot amend the written workbook part");
    std::string protection = "<workbookProtection";
    if (book.ProtectStructure()) protection += " lockStructure=\"1\"";
    if (book.ProtectWindows()) protection += " lockWindows=\"1\"";
    xml.insert(at, protection + "/>");
  }
  return xml;
}

// ----- the workbook -----

// Quotes a sheet name for a reference when it needs it.
std::string SheetRef(const Text& name) {
  bool plain = !name.empty();
  for (const char16_t c : name) {
    if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'.'))
      plain = false;
  }
  if (plain && !(name.front() >= u'0' && name.front() <= u'9')) return U8(name);
  std::string quoted = "'";
  for (const char c : U8(name)) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

void DefineNames(lxw_workbook* wb, xl::Workbook& book) {
  struct Defined {
    std::string name;
    int16_t index;
  };
  std::vector<Defined> hidden;
  const auto define = [&](const xl::DefinedName& n, const xl::Worksheet* owner) {
    const Text refers = n.RefersTo();
    if (refers.find(u"#REF!") != Text::npos) return;  // its sheet was deleted
    const std::string name = owner ? SheetRef(owner->Name()) + "!" + U8(n.Name()) : U8(n.Name());
    Check(workbook_define_name(wb, name.c_str(), U8(refers).c_str()), "the name '" + U8(n.Name()) + "'");
    if (!n.Visible()) hidden.push_back({U8(n.Name()), owner ? static_cast<int16_t>(owner->Index() - 1) : int16_t{-1}});
  };
  for (long i = 1; i <= book.Names().Count(); ++i) define(book.Names().Item(i), nullptr);
  for (long s = 1; s <= book.Sheets().Count(); ++s) {
    xl::Worksheet& sheet = book.Sheets().Item(s);
    for (long i = 1; i <= sheet.Names().Count(); ++i) define(sheet.Names().Item(i), &sheet);
  }
  // The library defines every name visible; the hidden ones are marked in its list.
  for (const Defined& d : hidden) {
    lxw_defined_name* n = nullptr;
    TAILQ_FOREACH(n, wb->defined_names, list_pointers) {
      if (n->index == d.index && text_order::EqualNoCase(FromUtf8(n->name), FromUtf8(d.name))) n->hidden = 1;
    }
  }
}

void WriteBook(xl::Workbook& book, const fs::path& file, Notes& notes) {
  lxw_workbook_options options{};
  options.use_zip64 = 1;
  lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
  if (wb == nullptr) throw Failure("cannot make a workbook file");
  std::map<std::string, SheetAmends> amends;
  try {
    for (long i = 1; i <= book.Sheets().Count(); ++i) {
      auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(i));
      lxw_worksheet* ws = workbook_add_worksheet(wb, U8(sheet.Name()).c_str());
      if (ws == nullptr) throw Failure("cannot add the sheet '" + U8(sheet.Name()) + "'");
      try {
        const SheetAmends a = SheetWriter(wb, ws, sheet, notes).Write();
        if (a.Any()) amends["xl/worksheets/sheet" + std::to_string(i) + ".xml"] = a;
      } catch (const Failure& f) {
        throw Failure("sheet '" + U8(sheet.Name()) + "': " + f.what());
      }
      if (sheet.Visible() != xl::xlSheetVisible) worksheet_hide(ws);
      if (&sheet == &book.ActiveSheet()) worksheet_activate(ws);
    }
    DefineNames(wb, book);
  } catch (...) {
    workbook_close(wb);
    throw;
  }
  Check(workbook_close(wb), "cannot write the workbook");
  // The parts the library cannot write as they must be.
  std::map<std::string, std::string> replaced;
  {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    const std::string bytes = std::move(data).str();
    const ZipArchive zip(bytes, UINT64_MAX, UINT64_MAX);
    const std::string bookXml = zip.Read("xl/workbook.xml");
    const std::string amended = AmendWorkbook(bookXml, book);
    if (amended != bookXml) replaced["xl/workbook.xml"] = amended;
    for (const auto& [part, a] : amends) {
      if (a.marks || !a.selection.empty() || !a.widths.empty() || !a.shown.empty()) {
        std::string xml = zip.Read(part);
        if (a.marks) xml = AmendMarks(xml);
        if (!a.selection.empty()) xml = AmendSelection(std::move(xml), a.selection);
        replaced[part] = AmendLayout(std::move(xml), a);
      }
      if (!a.autoSized.empty()) {
        // The sheet's drawing, as its relationships name it.
        const std::string dir = part.substr(0, part.rfind('/') + 1);
        const std::string rels = zip.Read(dir + "_rels/" + part.substr(dir.size()) + ".rels");
        const std::size_t at = rels.find("../drawings/vmlDrawing");
        if (at == std::string::npos) throw Failure("cannot amend the comments of a written sheet");
        const std::string vml = "xl/drawings/" + rels.substr(at + 12, rels.find('"', at) - at - 12);
        replaced[vml] = AmendDrawing(zip.Read(vml), a.autoSized);
      }
    }
  }
  if (!replaced.empty()) RewriteZip(file, file, replaced);
}

// ----- what a save cannot write -----

// The text between `open` and the next `close` after it, from `from` on; "" without one.
std::string_view Between(std::string_view xml, std::string_view open, std::string_view close, std::size_t from = 0) {
  const std::size_t at = xml.find(open, from);
  if (at == std::string_view::npos) return {};
  const std::size_t end = xml.find(close, at);
  return xml.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

// The sheets of a package by part name ("xl/worksheets/sheet1.xml") with their names.
std::vector<std::pair<std::string, std::string>> SheetParts(const ZipArchive& zip) {
  const std::string book = zip.Read("xl/workbook.xml", false);
  const std::string rels = zip.Read("xl/_rels/workbook.xml.rels", false);
  std::vector<std::pair<std::string, std::string>> parts;
  for (std::size_t at = book.find("<sheet "); at != std::string::npos; at = book.find("<sheet ", at + 1)) {
    const std::string_view tag = Between(book, "<sheet ", ">", at);
    const std::string name = Attr(tag, "name");
    std::string id = Attr(tag, "r:id");
    if (id.empty()) id = Attr(tag, "id");
    const std::size_t idAt = rels.find(" Id=\"" + id + "\"");
    const std::size_t relAt = idAt == std::string::npos ? std::string::npos : rels.rfind("<Relationship ", idAt);
    std::string target =
        relAt == std::string::npos ? std::string() : Attr(Between(rels, "<Relationship ", ">", relAt), "Target");
    if (target.starts_with('/')) {
      target.erase(0, 1);
    } else if (!target.empty()) {
      target = "xl/" + target;
    }
    if (!target.empty()) parts.emplace_back(target, name);
  }
  return parts;
}

// What the xlsx package holds that this writer cannot write, each named for the user
// ("conditional formats (sheet 'Parts')"): a save over it would lose them.
std::vector<std::string> UnwrittenOf(const ZipArchive& zip) {
  std::vector<std::string> found;
  const auto partsUnder = [&](std::string_view folder) {
    return std::any_of(zip.Entries().begin(), zip.Entries().end(),
                       [&](const ZipEntry& e) { return e.name.starts_with(folder); });
  };
  const std::pair<const char*, const char*> packageParts[] = {
      {"xl/charts/", "charts"},
      {"xl/drawings/drawing", "pictures, shapes and charts (drawings)"},
      {"xl/tables/", "tables"},
      {"xl/pivotTables/", "pivot tables"},
      {"xl/vbaProject.bin", "macros"},
      {"xl/externalLinks/", "links to other workbooks"},
      {"xl/threadedComments/", "threaded comments"},
      {"xl/slicers/", "slicers"},
  };
  for (const auto& [folder, what] : packageParts) {
    if (partsUnder(folder)) found.emplace_back(what);
  }
  const std::string styles = zip.Read("xl/styles.xml", false);
  if (Between(styles, "<fills", "</fills>").find("theme=") != std::string_view::npos) {
    found.emplace_back("theme colours of fills");
  }
  const std::string_view fonts = Between(styles, "<fonts", "</fonts>");
  if (fonts.find("<i/>") != std::string_view::npos || fonts.find("<i val=\"1\"") != std::string_view::npos ||
      fonts.find("<strike") != std::string_view::npos) {
    found.emplace_back("italic and struck-through fonts");
  }
  // Each text found in a sheet part, unless it is an attribute whose value is the one
  // that changes nothing (programs write zoomScale="100" and outlineLevel="0").
  struct SheetElement {
    std::string_view text;
    const char* what;
    std::string_view plainValue;
  };
  const SheetElement sheetElements[] = {
      {"<pane ", "frozen or split panes", {}},
      {"<conditionalFormatting", "conditional formats", {}},
      {"<dataValidation ", "data validation", {}},
      {"<tabColor", "the tab colour", {}},
      {" outlineLevel=\"", "outline levels (grouped rows or columns)", "0"},
      {" zoomScale=\"", "the zoom", "100"},
      {"showGridLines=\"0\"", "hidden gridlines", {}},
      {"<x14:sparkline", "sparklines", {}},
  };
  const auto holds = [](std::string_view xml, const SheetElement& e) {
    for (std::size_t at = xml.find(e.text); at != std::string_view::npos; at = xml.find(e.text, at + 1)) {
      const std::size_t from = at + e.text.size();
      if (e.plainValue.empty() || xml.substr(from, xml.find('"', from) - from) != e.plainValue) return true;
    }
    return false;
  };
  for (const auto& [part, name] : SheetParts(zip)) {
    if (!zip.Has(part)) continue;
    const std::string xml = zip.Read(part);
    for (const SheetElement& e : sheetElements) {
      if (holds(xml, e)) found.push_back(std::string(e.what) + " (sheet '" + name + "')");
    }
  }
  return found;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return std::move(data).str();
}

std::string Listed(const std::vector<std::string>& things) {
  std::string list;
  for (const std::string& what : things) list += (list.empty() ? "" : "; ") + what;
  return list;
}

}  // namespace

void RefuseToLoseWhatTheFileHolds(const fs::path& target) {
  const std::vector<std::string> lost = UnwrittenIn(target);
  if (lost.empty()) return;
  throw Failure("cannot save over '" + target.string() + "': it holds what this program cannot write, which the save " +
                "would lose: " + Listed(lost) + ". Save to another name");
}

std::vector<std::string> UnwrittenIn(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return {};
  const std::string bytes = ReadFile(file);
  try {
    return UnwrittenOf(ZipArchive(bytes));
  } catch (const Failure&) {
    return {};  // not a package that anything could be kept of
  }
}

std::string UnwrittenNote(const fs::path& source, const fs::path& saved) {
  const std::vector<std::string> missing = UnwrittenIn(source);
  if (missing.empty()) return {};
  return "'" + saved.string() + "' lacks what '" + source.string() +
         "' holds and this program cannot write (that file keeps it): " + Listed(missing);
}

void SaveXlsx(xl::Workbook& book, const fs::path& file, Notes& notes) {
  fs::path target = fs::absolute(file).lexically_normal();
  std::error_code ec;
  // A link is followed: the file it leads to is saved, and the link stays a link.
  if (fs::is_symlink(target, ec)) {
    const fs::path linked = fs::canonical(target, ec);
    if (ec) throw Failure("cannot save to '" + target.string() + "': it is a link that leads to no file");
    target = linked;
  }
  if (fs::is_directory(target, ec)) throw Failure("cannot save to '" + target.string() + "': it is a folder");
  if (!fs::is_directory(target.parent_path(), ec)) {
    throw Failure("cannot save to '" + target.string() + "': the folder '" + target.parent_path().string() +
                  "' does not exist");
  }
  // The file the workbook was read from (or last saved to) is written over only as it was
  // then: what another program wrote there since is not lost.
  if (std::string why = ChangedSinceRead(book, {target}); !why.empty()) {
    throw Failure("cannot save to '" + target.string() + "': " + why);
  }
  // The package the workbook came from, with what the run changed written into it;
  // written anew (below) only when the run changed what cannot be written into it.
  const LoadedPackage* origin = OriginOf(book);
  const bool macros = IsXlsmPath(target);
  if (macros && (origin == nullptr || origin->macros.empty())) throw Failure(MacroSaveRefusal(target));
  // Sheets of the file whose columns the run inserted or deleted: the file's style
  // records, tables, conditional formats, validation and chart references on them stay
  // where they were and no longer line up with the cells.
  std::vector<std::string> moved;
  for (long i = 1; origin != nullptr && i <= book.Sheets().Count(); ++i) {
    const auto& sheet = dynamic_cast<const xl::memory::FileSheet&>(book.Sheets().Item(i));
    const bool fromFile = std::any_of(origin->sheets.begin(), origin->sheets.end(),
                                      [&](const LoadedSheet& l) { return l.sheet == &sheet; });
    if (fromFile && sheet.ColumnsMoved()) moved.push_back("'" + U8(sheet.Name()) + "'");
  }
  const std::string movedWhy =
      moved.empty() ? std::string()
                    : "the columns of sheet " + Listed(moved) +
                          " were inserted or deleted, and what the file holds of them beside their cells (style "
                          "records, tables, conditional formats, data validation, chart references) would stay where "
                          "it was";
  if (!moved.empty() && fs::exists(target, ec)) {
    throw Failure("cannot save over '" + target.string() + "': " + movedWhy + ". Save to another name");
  }
  // A file there that the workbook was not loaded from (or that changed since) holds
  // what the workbook does not: it is not written over when it holds what would be lost.
  if (fs::exists(target, ec) &&
      (origin == nullptr || fs::file_size(target, ec) != origin->bytes.size() || ReadFile(target) != origin->bytes)) {
    RefuseToLoseWhatTheFileHolds(target);
  }
  Notes found;
  if (!moved.empty()) found.push_back(movedWhy + ": check them in the saved file");
  std::vector<std::string> cannot;
  std::optional<std::string> patched;
  try {
    patched = PatchedPackage(book, macros, found, cannot);
  } catch (const Failure& f) {
    throw Failure("cannot save to '" + target.string() + "': " + f.what());
  }
  if (!patched) {
    const std::string why = Listed(cannot) + ": this program writes such a workbook anew";
    if (macros) throw Failure("cannot save to '" + target.string() + "': " + why + ", and without its macros");
    std::vector<std::string> lost = UnwrittenIn(target);
    // Written anew, the cells lose what the model does not hold of them.
    std::vector<std::string> cellsLose;
    for (long i = 1; origin != nullptr && i <= book.Sheets().Count(); ++i) {
      const xl::Worksheet& sheet = book.Sheets().Item(i);
      for (const LoadedSheet& l : origin->sheets) {
        if (l.sheet != &sheet) continue;
        for (const std::string& u : l.unmodelled) cellsLose.push_back(u + " (sheet '" + ToUtf8(sheet.Name()) + "')");
        for (const std::string& u : l.columnsHold) cellsLose.push_back(u + " (sheet '" + ToUtf8(sheet.Name()) + "')");
      }
    }
    if (fs::exists(target, ec)) lost.insert(lost.end(), cellsLose.begin(), cellsLose.end());
    if (!lost.empty()) {
      throw Failure("cannot save over '" + target.string() + "': " + why +
                    ", which would lose what the file holds: " + Listed(lost) + ". Save to another name");
    }
    if (origin != nullptr) {
      std::vector<std::string> missing = UnwrittenOf(ZipArchive(origin->bytes, UINT64_MAX, UINT64_MAX));
      missing.insert(missing.end(), cellsLose.begin(), cellsLose.end());
      if (!missing.empty())
        found.push_back("it is written anew (" + why +
                        ") and lacks what the workbook's file holds: " + Listed(missing));
    }
  }
  // What a save that was killed left beside the target goes first; the file of a save
  // under way in another process is locked by it and stays.
  const std::string stale = "." + target.filename().string() + ".saving-";
  for (const auto& entry : fs::directory_iterator(target.parent_path(), ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(stale) || name.size() != stale.size() + 6 + 5 || !name.ends_with(".xlsx")) continue;
    const int other = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(other);
      continue;
    }
    fs::remove(entry.path(), ec);
    if (other >= 0) ::close(other);
  }
  std::string pattern = (target.parent_path() / (stale + "XXXXXX.xlsx")).string();
  const int fd = ::mkstemps(pattern.data(), 5);
  if (fd < 0) {
    throw Failure("cannot save to '" + target.string() + "': cannot make a file beside it: " + std::strerror(errno));
  }
  // Held until the file has taken the target's place or is removed.
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } held{fd};
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  const fs::path temp = pattern;
  try {
    if (patched) {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out.write(patched->data(), static_cast<std::streamsize>(patched->size()));
      out.close();
      if (!out) throw Failure(std::string("cannot write the file: ") + std::strerror(errno));
    } else {
      WriteBook(book, temp, found);
    }
    // mkstemps makes the file private: the saved workbook keeps the permissions of the
    // file it replaces, or gets the usual ones.
    struct stat replaced {};
    if (::stat(target.c_str(), &replaced) == 0) {
      ::fchmod(fd, replaced.st_mode & 07777);
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
    // On the disk before it takes the target's place, so that a crash leaves the old
    // file or the new one, never an empty one.
    if (::fsync(fd) != 0) throw Failure(std::string("cannot write the file: ") + std::strerror(errno));
    // What the file holds once saved: the next save over it checks it against this.
    const std::string anew = patched ? std::string() : ReadFile(temp);
    const std::string_view saved = patched ? std::string_view(*patched) : std::string_view(anew);
    const std::uint64_t digest = ContentDigest(saved);
    // Once more, as late as it can be: making the package took time.
    if (std::string why = ChangedSinceRead(book, {target}); !why.empty()) throw Failure(why);
    if (::rename(temp.c_str(), target.c_str()) != 0) throw Failure(std::strerror(errno));
    RecordSaved(book, {StampOf(target, saved.size(), digest)});
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
    for (std::string& n : found) notes.push_back("'" + target.string() + "': " + std::move(n));
  } catch (const Failure& f) {
    fs::remove(temp, ec);
    throw Failure("cannot save to '" + target.string() + "': " + f.what());
  } catch (...) {
    fs::remove(temp, ec);
    throw;
  }
}

}  // namespace quillary::workbook
