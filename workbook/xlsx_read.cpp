// Reading xlsx files: the parts are inflated one at a time (xlsx_zip.h) and parsed
// with liborcus's SAX parser; each sheet's cells are gathered by column and stored in
// bulk (FileSheet::StoreCells), its layout put on with ApplyLayout.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/runtime/error.h"
#include "platform/runtime/phases.h"
#include "workbook/cell_notes.h"
#include "workbook/failure.h"
#include "workbook/sheet_layout.h"
#include "workbook/source_stamp.h"
#include "workbook/xlsx.h"
#include "workbook/xlsx_common.h"
#include "workbook/xlsx_package.h"
#include "workbook/xlsx_xml.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook {

namespace fs = std::filesystem;
using namespace xlsx;

namespace {

constexpr std::string_view kRelOfficeDocument = "/officeDocument";
constexpr std::string_view kRelWorksheet = "/worksheet";
constexpr std::string_view kRelSharedStrings = "/sharedStrings";
constexpr std::string_view kRelStyles = "/styles";
constexpr std::string_view kRelComments = "/comments";
constexpr std::string_view kRelVml = "/vmlDrawing";
constexpr std::string_view kRelVbaProject = "/vbaProject";

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// UTF-8 appended as UTF-16 (decoded as FromUtf8 decodes it), the "_xHHHH_" escapes of
// the file format (characters XML cannot hold) decoded: "_x000D_" is a carriage return,
// "_x005F_" the underscore that keeps a text that reads as an escape as it is.
void AppendText(std::u16string& out, std::string_view s) {
  std::size_t from = 0;  // the first byte not yet appended
  for (std::size_t i = s.find('_'); i != std::string_view::npos && i + 6 < s.size(); i = s.find('_', i + 1)) {
    if (s[i + 1] != 'x' || s[i + 6] != '_') continue;
    unsigned v = 0;
    const auto [p, ec] = std::from_chars(s.data() + i + 2, s.data() + i + 6, v, 16);
    if (ec != std::errc() || p != s.data() + i + 6) continue;
    AppendFromUtf8(out, s.substr(from, i - from));
    out += static_cast<char16_t>(v);
    from = i + 7;
    i += 6;
  }
  AppendFromUtf8(out, s.substr(from));
}

Text ToText(std::string_view s) {
  std::u16string t;
  AppendText(t, s);
  return t;
}

long ToLong(std::string_view s, long otherwise = 0) {
  long v = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() ? v : otherwise;
}

std::optional<double> ToDouble(std::string_view s) {
  double v = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// The day number of an ISO 8601 date and time ("2024-01-01", "2024-01-01T06:00:00",
// fractions of a second and a final "Z" allowed) in the workbook's date system: days
// since 1899-12-30 (the 1900 system, which counts 1900-02-29, so that the days before
// 1900-03-01 are one less) or since 1904-01-01. Nothing for any other text.
std::optional<double> DateSerial(std::string_view iso, bool date1904) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  const auto number = [&](std::size_t at, std::size_t width, int& out) {
    if (iso.size() < at + width) return false;
    const auto [p, ec] = std::from_chars(iso.data() + at, iso.data() + at + width, out);
    return ec == std::errc() && p == iso.data() + at + width;
  };
  if (!number(0, 4, y) || iso.size() < 10 || iso[4] != '-' || iso[7] != '-' || !number(5, 2, mo) || !number(8, 2, d)) {
    return std::nullopt;
  }
  std::string_view rest = iso.substr(10);
  if (!rest.empty()) {
    if (rest.size() < 9 || rest[0] != 'T' || rest[3] != ':' || rest[6] != ':' || !number(11, 2, h) ||
        !number(14, 2, mi)) {
      return std::nullopt;
    }
    rest = rest.substr(7);
    if (rest.ends_with('Z')) rest.remove_suffix(1);
    const auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), s);
    if (ec != std::errc() || p != rest.data() + rest.size() || rest.front() == '-') return std::nullopt;
  }
  const std::chrono::year_month_day day{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(mo)),
                                        std::chrono::day(static_cast<unsigned>(d))};
  if (!day.ok() || h > 23 || mi > 59 || s >= 60) return std::nullopt;
  const std::chrono::year_month_day epoch =
      date1904 ? std::chrono::year(1904) / 1 / 1 : std::chrono::year(1899) / 12 / 30;
  long days = (std::chrono::sys_days(day) - std::chrono::sys_days(epoch)).count();
  if (!date1904 && days < 61) --days;
  if (days < 0) return std::nullopt;
  return static_cast<double>(days) + (h * 3600.0 + mi * 60.0 + s) / 86400.0;
}

std::uint32_t ToRgb(std::string_view argb) {
  unsigned v = 0;
  std::from_chars(argb.data(), argb.data() + argb.size(), v, 16);
  return v & 0xFFFFFF;
}

// What a reader does at an element's start and end, found by the element's local name
// in a table of them; either may be missing.
template <class Reader>
struct ElementHandler {
  std::string_view name;
  void (Reader::*start)(const Attributes&) = nullptr;
  void (Reader::*end)() = nullptr;
};

// The handler of `el` in `table` (searched in order, so the frequent elements come
// first); nullptr for an element the reader passes over.
template <class Reader, std::size_t N>
const ElementHandler<Reader>* HandlerOf(const ElementHandler<Reader> (&table)[N], std::string_view el) {
  for (const ElementHandler<Reader>& h : table) {
    if (h.name == el) return &h;
  }
  return nullptr;
}

template <class Reader, std::size_t N>
void StartElement(Reader& reader, const ElementHandler<Reader> (&table)[N], std::string_view el, const Attributes& a) {
  if (const auto* h = HandlerOf(table, el); h && h->start) (reader.*h->start)(a);
}

template <class Reader, std::size_t N>
void EndElement(Reader& reader, const ElementHandler<Reader> (&table)[N], std::string_view el) {
  if (const auto* h = HandlerOf(table, el); h && h->end) (reader.*h->end)();
}

// ----- the workbook part -----

struct SheetInfo {
  Text name;
  std::string part;
  long visible = xl::xlSheetVisible;
};

struct NameInfo {
  Text name;
  std::optional<long> localSheet;  // 0-based
  std::string formula;
  bool hidden = false;
};

struct BookInfo {
  std::vector<SheetInfo> sheets;
  std::vector<NameInfo> names;
  long activeTab = 0;
  bool lockStructure = false, lockWindows = false;
  bool date1904 = false;
};

class BookReader {
 public:
  BookReader(BookInfo& info, const std::map<std::string, Relation>& rels) : info_(info), rels_(rels) {}
  void Start(std::string_view el, const Attributes& a);
  void End(std::string_view el);
  void Characters(std::string_view t) {
    if (name_) name_->formula += t;
  }

 private:
  static const ElementHandler<BookReader> kElements[];

  void StartSheet(const Attributes& a);
  void StartWorkbookPr(const Attributes& a) { info_.date1904 = a.Flag("date1904"); }
  void StartWorkbookView(const Attributes& a) { info_.activeTab = ToLong(a.Get("activeTab"), 0); }
  void StartWorkbookProtection(const Attributes& a) {
    info_.lockStructure = a.Flag("lockStructure");
    info_.lockWindows = a.Flag("lockWindows");
  }
  void StartDefinedName(const Attributes& a);
  void EndDefinedName() { name_ = nullptr; }

  BookInfo& info_;
  const std::map<std::string, Relation>& rels_;
  NameInfo* name_ = nullptr;  // the defined name whose formula is read
};

const ElementHandler<BookReader> BookReader::kElements[] = {
    {"sheet", &BookReader::StartSheet},
    {"definedName", &BookReader::StartDefinedName, &BookReader::EndDefinedName},
    {"workbookPr", &BookReader::StartWorkbookPr},
    {"workbookView", &BookReader::StartWorkbookView},
    {"workbookProtection", &BookReader::StartWorkbookProtection},
};

void BookReader::Start(std::string_view el, const Attributes& a) { StartElement(*this, kElements, el, a); }

void BookReader::End(std::string_view el) { EndElement(*this, kElements, el); }

void BookReader::StartSheet(const Attributes& a) {
  const auto rel = rels_.find(std::string(a.Get("id")));
  if (rel == rels_.end()) throw Failure("the sheet '" + std::string(a.Get("name")) + "' has no part");
  if (!EndsWith(rel->second.type, kRelWorksheet)) {
    throw Failure("the sheet '" + std::string(a.Get("name")) +
                  "' is not a worksheet (a chart or dialog sheet), which this program cannot hold");
  }
  const std::string_view state = a.Get("state");
  info_.sheets.push_back({ToText(a.Get("name")), rel->second.target,
                          state == "veryHidden" ? xl::xlSheetVeryHidden
                          : state == "hidden"   ? xl::xlSheetHidden
                                                : xl::xlSheetVisible});
}

void BookReader::StartDefinedName(const Attributes& a) {
  NameInfo& n = info_.names.emplace_back();
  n.name = ToText(a.Get("name"));
  if (a.Has("localSheetId")) n.localSheet = ToLong(a.Get("localSheetId"), -1);
  n.hidden = a.Flag("hidden");
  name_ = &n;
}

BookInfo ReadBook(const ZipArchive& zip, const std::string& part) {
  const auto rels = ReadRels(zip, part);
  BookInfo info;
  BookReader reader(info, rels);
  ParseXml(zip.Read(part), part, reader);
  if (info.sheets.empty()) throw Failure("the workbook lists no sheet");
  return info;
}

// ----- shared strings -----

struct SharedStrings {
  std::u16string chars;
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  TextView At(std::size_t i) const { return TextView(chars).substr(spans[i].first, spans[i].second); }
};

SharedStrings ReadSharedStrings(const ZipArchive& zip, const std::string& part) {
  SharedStrings s;
  if (part.empty()) return s;
  struct H {
    SharedStrings& s;
    std::size_t partSize;
    int phonetic = 0;
    bool inT = false;
    std::size_t start = 0;
    void Start(std::string_view el, const Attributes& a) {
      if (el == "si") start = s.chars.size();
      if (el == "sst" && a.Has("uniqueCount")) {
        // Room for the strings the part says it holds, within what its size allows.
        const auto count = static_cast<std::size_t>(std::max(0L, ToLong(a.Get("uniqueCount"))));
        s.spans.reserve(std::min(count, partSize / 8));
        s.chars.reserve(partSize / 4);
      }
      if (el == "rPh") ++phonetic;
      if (el == "t" && phonetic == 0) inT = true;
    }
    void End(std::string_view el) {
      if (el == "t") inT = false;
      if (el == "rPh") --phonetic;
      if (el == "si") s.spans.emplace_back(start, s.chars.size() - start);
    }
    void Characters(std::string_view t) {
      if (inT) AppendText(s.chars, t);
    }
  } h{s, zip.Size(part)};
  XmlReader<H>(part, h).Pieces(zip, "<si>");
  return s;
}

// ----- styles -----

struct Styles {
  std::vector<xl::memory::CellFormat> xfs;  // cellXfs
};

// The style part's lists, each by the handler of its section (the top-level element).
class StylesReader {
 public:
  explicit StylesReader(Styles& styles) : styles_(styles) {}
  void Start(std::string_view el, const Attributes& a);
  void End(std::string_view) { --depth_; }
  void Characters(std::string_view) {}

 private:
  struct Font {
    bool bold = false;
    long colorIndex = xl::xlColorIndexAutomatic;
    long underline = xl::xlUnderlineStyleNone;
  };
  struct Fill {
    long pattern = xl::xlNone;
    long color = 0xFFFFFF;
  };
  using Border = std::array<xl::memory::BorderFormat, 6>;

  void NumFmtsElement(std::string_view el, const Attributes& a);
  void FontsElement(std::string_view el, const Attributes& a);
  void FillsElement(std::string_view el, const Attributes& a);
  void BordersElement(std::string_view el, const Attributes& a);
  void CellXfsElement(std::string_view el, const Attributes& a);
  // The format of an xf element: its number format, font, fill and border.
  xl::memory::CellFormat XfFormat(const Attributes& a) const;

  Styles& styles_;
  std::map<long, Text> numFmts_;
  std::vector<Font> fonts_;
  std::vector<Fill> fills_;
  std::vector<Border> borders_;
  std::string section_;  // fonts, fills, borders, cellXfs, ... (the top-level list)
  int depth_ = 0;
};

void StylesReader::Start(std::string_view el, const Attributes& a) {
  if (++depth_ == 2) section_ = el;
  if (section_ == "numFmts") {
    NumFmtsElement(el, a);
  } else if (section_ == "fonts") {
    FontsElement(el, a);
  } else if (section_ == "fills") {
    FillsElement(el, a);
  } else if (section_ == "borders") {
    BordersElement(el, a);
  } else if (section_ == "cellXfs") {
    CellXfsElement(el, a);
  }
}

void StylesReader::NumFmtsElement(std::string_view el, const Attributes& a) {
  if (el == "numFmt") numFmts_[ToLong(a.Get("numFmtId"))] = ToText(a.Get("formatCode"));
}

void StylesReader::FontsElement(std::string_view el, const Attributes& a) {
  if (el == "font") fonts_.emplace_back();
  if (fonts_.empty()) return;
  Font& f = fonts_.back();
  if (el == "b") f.bold = a.Flag("val", true);
  if (el == "u") f.underline = UnderlineOfName(a.Get("val"));
  if (el == "color") {
    if (a.Has("rgb")) f.colorIndex = PaletteIndex(ToRgb(a.Get("rgb"))).value_or(xl::xlColorIndexAutomatic);
    if (a.Has("indexed")) {
      const long i = ToLong(a.Get("indexed"), -1) - 7;  // indexed 8.. are ColorIndex 1..
      if (i >= 1 && i <= 56) f.colorIndex = i;
    }
  }
}

void StylesReader::FillsElement(std::string_view el, const Attributes& a) {
  if (el == "fill") fills_.emplace_back();
  if (fills_.empty()) return;
  Fill& f = fills_.back();
  if (el == "patternFill") {
    const std::string_view p = a.Get("patternType", "none");
    f.pattern = p == "solid" ? xl::xlSolid : p == "gray125" ? xl::xlPatternGray16 : p == "none" ? xl::xlNone : 1;
    if (f.pattern != xl::xlNone && f.pattern != xl::xlSolid && f.pattern != xl::xlPatternGray16) {
      f.pattern = xl::xlSolid;
    }
  }
  if (el == "fgColor" && a.Has("rgb")) f.color = RgbToOle(ToRgb(a.Get("rgb")));
}

// A border's edges: 0 and 1 the diagonals (down, up), then left, top, bottom, right.
void StylesReader::BordersElement(std::string_view el, const Attributes& a) {
  if (el == "border") {
    Border& b = borders_.emplace_back();
    b[0].lineStyle = a.Flag("diagonalDown") ? xl::xlContinuous : xl::xlLineStyleNone;
    b[1].lineStyle = a.Flag("diagonalUp") ? xl::xlContinuous : xl::xlLineStyleNone;
    return;
  }
  if (borders_.empty()) return;
  Border& b = borders_.back();
  long style = 0, weight = 0;
  const auto put = [&](std::size_t i) {
    BorderOfName(a.Get("style"), style, weight);
    b[i] = {style, weight};
  };
  if (el == "left" || el == "start") put(2);
  if (el == "top") put(3);
  if (el == "bottom") put(4);
  if (el == "right" || el == "end") put(5);
  if (el == "diagonal") {
    // The diagonals the border element turned on take the diagonal's line.
    BorderOfName(a.Get("style"), style, weight);
    for (std::size_t i = 0; i < 2; ++i) {
      b[i] =
          b[i].lineStyle == xl::xlLineStyleNone ? xl::memory::BorderFormat{} : xl::memory::BorderFormat{style, weight};
    }
  }
}

void StylesReader::CellXfsElement(std::string_view el, const Attributes& a) {
  if (el == "xf") {
    styles_.xfs.push_back(XfFormat(a));
    return;
  }
  if (styles_.xfs.empty()) return;
  xl::memory::CellFormat& f = styles_.xfs.back();
  if (el == "alignment") {
    f.horizontalAlignment = HorizontalOfName(a.Get("horizontal"));
    f.verticalAlignment = VerticalOfName(a.Get("vertical", "bottom"));
    f.wrapText = a.Flag("wrapText");
  }
  if (el == "protection") f.locked = a.Flag("locked", true);
}

xl::memory::CellFormat StylesReader::XfFormat(const Attributes& a) const {
  xl::memory::CellFormat f;
  const long numFmt = ToLong(a.Get("numFmtId"));
  if (const auto it = numFmts_.find(numFmt); it != numFmts_.end()) {
    f.numberFormat = it->second;
  } else if (const auto code = BuiltinNumberFormat(numFmt)) {
    f.numberFormat = ToText(*code);
  }
  const auto font = static_cast<std::size_t>(ToLong(a.Get("fontId")));
  if (font < fonts_.size()) {
    f.bold = fonts_[font].bold;
    f.colorIndex = fonts_[font].colorIndex;
    f.underline = fonts_[font].underline;
  }
  const auto fill = static_cast<std::size_t>(ToLong(a.Get("fillId")));
  if (fill < fills_.size()) {
    f.pattern = fills_[fill].pattern;
    f.interiorColor = f.pattern == xl::xlNone ? 0xFFFFFF : fills_[fill].color;
  }
  const auto border = static_cast<std::size_t>(ToLong(a.Get("borderId")));
  if (border < borders_.size()) f.borders = borders_[border];
  return f;
}

Styles ReadStyles(const ZipArchive& zip, const std::string& part) {
  Styles styles;
  if (part.empty()) return styles;
  StylesReader reader(styles);
  ParseXml(zip.Read(part), part, reader);
  return styles;
}

// ----- formulas -----

// A shared formula's source moved from its first cell by (dr, dc): the relative parts
// of its A1 references move, the absolute ones ($) stay; texts in quotes are left alone.
std::string ShiftFormula(std::string_view f, long dr, long dc) {
  std::string out;
  const auto isName = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
  };
  for (std::size_t i = 0; i < f.size();) {
    const char c = f[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = f.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? f.size() : close + 1;
      out += f.substr(i, end - i);
      i = end;
      continue;
    }
    if ((c == '$' || (c >= 'A' && c <= 'Z')) && (i == 0 || !isName(f[i - 1]))) {
      std::size_t j = i;
      const bool colAbs = f[j] == '$';
      if (colAbs) ++j;
      const std::size_t letters = j;
      while (j < f.size() && f[j] >= 'A' && f[j] <= 'Z' && j - letters < 3) ++j;
      const std::size_t lettersEnd = j;
      const bool rowAbs = j < f.size() && f[j] == '$';
      if (rowAbs) ++j;
      const std::size_t digits = j;
      while (j < f.size() && f[j] >= '0' && f[j] <= '9') ++j;
      const bool isRef = lettersEnd > letters && j > digits && (j == f.size() || (!isName(f[j]) && f[j] != '('));
      if (isRef) {
        long col = 0;
        for (std::size_t k = letters; k < lettersEnd; ++k) col = col * 26 + (f[k] - 'A' + 1);
        long row = ToLong(f.substr(digits, j - digits));
        if (!colAbs) col += dc;
        if (!rowAbs) row += dr;
        if (col < 1 || row < 1) {
          out += "#REF!";
        } else {
          const std::string ref = CellRef(row, col);
          const std::size_t split = ref.find_first_of("0123456789");
          out += (colAbs ? "$" : "") + ref.substr(0, split) + (rowAbs ? "$" : "") + ref.substr(split);
        }
        i = j;
        continue;
      }
      out += f.substr(i, lettersEnd > i ? lettersEnd - i : 1);
      i = lettersEnd > i ? lettersEnd : i + 1;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

// ----- a sheet -----

// A cell read from the sheet part, waiting to be stored with its column.
struct Pending {
  std::int32_t row = 0;
  VarType type = VarType::Empty;
  bool boolean = false;
  bool hasFormula = false;
  bool shared = false;  // the text is the shared string `text`
  CellError error = CellError::NA;
  std::uint32_t text = 0, textLength = 0;  // the column's own characters, or a shared string's index
  std::uint32_t formula = 0, formulaLength = 0;
  double number = 0;
};

struct ColumnCells {
  std::vector<Pending> cells;
  std::u16string chars;  // the column's own texts and formulas
};

constexpr long kBand = 1 << 16;  // rows gathered before they are stored

struct FormatRun {
  long row1, row2;
  std::size_t xf;
};

// "&LLeft&CCenter&RRight" into its three parts ("&&" is an ampersand).
void SplitHeaderFooter(const Text& text, Text& left, Text& center, Text& right) {
  Text* part = &center;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    const char16_t next = text[i + 1];
    if (next == u'&') {
      ++i;
      continue;
    }
    if (next == u'L' || next == u'C' || next == u'R') {
      *part += text.substr(start, i - start);
      part = next == u'L' ? &left : next == u'C' ? &center : &right;
      start = i + 2;
      ++i;
    }
  }
  *part += text.substr(start);
}

class SheetReader {
 public:
  void Start(std::string_view el, const Attributes& a);
  void End(std::string_view el);
  void Characters(std::string_view t) {
    if (collecting_) collected_ += t;
  }

  // The reader stores the cells into `sheet` as it reads them, with their formats, a
  // band of rows at a time; the rest of the sheet's layout is gathered in Layout().
  // A text cut to what a cell holds is named in `notes`.
  SheetReader(const SharedStrings& strings, const Styles& styles, xl::memory::FileSheet& sheet, Notes& notes,
              LoadedSheet& loaded)
      : SheetReader(strings, styles, sheet.RowsCount(), sheet.ColumnsCount()) {
    sheet_ = &sheet;
    notes_ = &notes;
    loaded_ = &loaded;
    date1904_ = dynamic_cast<xl::memory::FileBook&>(sheet.Parent()).Date1904();
  }
  // Stores what is left, and the rows' heights and hidden state.
  void EndCells();
  SheetLayout& Layout() { return layout_; }
  std::string legacyDrawing;                                  // the drawing's relationship id
  std::vector<std::pair<std::size_t, std::string>> linkRels;  // a hyperlink (its place) and its relationship id
  std::vector<xl::Area> linkAreas;                            // the area each hyperlink is held over
  bool fitToPage = false;

 private:
  // The elements inside a cell (c) and those outside, the cells' first.
  static const ElementHandler<SheetReader> kCellElements[];
  static const ElementHandler<SheetReader> kSheetElements[];

  // Inside a cell.
  void StartValue(const Attributes&);  // v
  void EndValue();
  void StartFormula(const Attributes& a);  // f
  void EndFormula();
  void StartInline(const Attributes&);  // is
  void EndInline() { inInline_ = false; }
  void StartInlineText(const Attributes&);  // t
  void EndInlineText();
  void StartRun(const Attributes&);                             // r
  void StartPhonetic(const Attributes&) { inInline_ = false; }  // rPh: phonetic runs are not part of the text
  void EndCell();                                               // c

  // The sheet's elements.
  void StartSheetData(const Attributes&);
  void EndSheetData() { inSheetData_ = false; }
  void StartRow(const Attributes& a);
  void KeepRowTag(const Attributes& a);
  void StartCell(const Attributes& a);  // c
  void KeepCellFormat(std::size_t xf);
  void StartCol(const Attributes& a);
  void StartMergeCell(const Attributes& a);
  void StartSelection(const Attributes& a);
  void StartSheetProtection(const Attributes& a);
  void StartAutoFilter(const Attributes& a);
  void StartHyperlink(const Attributes& a);
  void StartPageMargins(const Attributes& a);
  void StartPageSetUpPr(const Attributes& a) { fitToPage = a.Flag("fitToPage"); }
  void StartPageSetup(const Attributes& a);
  void StartPrintOptions(const Attributes& a);
  void StartHeaderFooter(const Attributes&) { Collect(); }  // oddHeader, oddFooter
  void EndOddHeader();
  void EndOddFooter();
  void StartLegacyDrawing(const Attributes& a) { legacyDrawing = a.Get("id"); }

  // Gathers the text of the element that starts.
  void Collect() {
    collecting_ = true;
    collected_.clear();
  }
  // Resolves a shared formula: its first cell gives the source, the others move it.
  void ResolveSharedFormula();
  // The pending cell's value of the cell's type and texts; false for a cell that holds
  // nothing to store.
  bool PendingValue(Pending& p, ColumnCells& column);
  // Gives the cells gathered so far their formats and values.
  void Flush();
  [[noreturn]] void Bad(const std::string& what) const { throw Failure("cell " + CellRef(row_, col_) + ": " + what); }

  SheetReader(const SharedStrings& strings, const Styles& styles, long rows, long cols)
      : strings_(strings), styles_(styles), rows_(rows), cols_(cols) {}

  const SharedStrings& strings_;
  const Styles& styles_;
  long rows_, cols_;
  std::vector<ColumnCells> columns_;
  std::vector<std::vector<FormatRun>> formats_;
  std::vector<std::pair<Band, std::size_t>> columnStyles_;
  std::vector<bool> styledColumns_;  // by column: whether it has a style record of its own
  SheetLayout layout_;

  xl::memory::FileSheet* sheet_ = nullptr;
  Notes* notes_ = nullptr;
  LoadedSheet* loaded_ = nullptr;  // what the save keeps of the part
  long bandEnd_ = 0;               // the first row of the next band
  std::vector<xl::memory::FileCell> run_;
  long row_ = 0, col_ = 0;
  bool inSheetData_ = false, inCell_ = false, inInline_ = false;
  bool date1904_ = false;  // the workbook's date system, for the cells that hold a date
  char type_ = 'n';        // the cell's type: s, inlineStr (i), str (r), b, e, d or n
  bool collecting_ = false;
  std::string collected_, value_, formula_, inline_;
  bool hasValue_ = false, hasFormula_ = false, inlineText_ = false;
  bool keepCell_ = false;  // the cell's element holds what the workbook does not model
  // Shared formulas: index -> the first cell and its source.
  struct SharedFormula {
    long row, col;
    std::string source;
  };
  std::map<long, SharedFormula> sharedFormulas_;
  long sharedIndex_ = -1;
};

const ElementHandler<SheetReader> SheetReader::kCellElements[] = {
    {"v", &SheetReader::StartValue, &SheetReader::EndValue},
    {"is", &SheetReader::StartInline, &SheetReader::EndInline},
    {"t", &SheetReader::StartInlineText, &SheetReader::EndInlineText},
    {"c", nullptr, &SheetReader::EndCell},
    {"f", &SheetReader::StartFormula, &SheetReader::EndFormula},
    {"r", &SheetReader::StartRun},
    {"rPh", &SheetReader::StartPhonetic},
};

const ElementHandler<SheetReader> SheetReader::kSheetElements[] = {
    {"row", &SheetReader::StartRow},
    {"c", &SheetReader::StartCell},
    {"sheetData", &SheetReader::StartSheetData, &SheetReader::EndSheetData},
    {"col", &SheetReader::StartCol},
    {"mergeCell", &SheetReader::StartMergeCell},
    {"hyperlink", &SheetReader::StartHyperlink},
    {"selection", &SheetReader::StartSelection},
    {"sheetProtection", &SheetReader::StartSheetProtection},
    {"autoFilter", &SheetReader::StartAutoFilter},
    {"pageMargins", &SheetReader::StartPageMargins},
    {"pageSetUpPr", &SheetReader::StartPageSetUpPr},
    {"pageSetup", &SheetReader::StartPageSetup},
    {"printOptions", &SheetReader::StartPrintOptions},
    {"oddHeader", &SheetReader::StartHeaderFooter, &SheetReader::EndOddHeader},
    {"oddFooter", &SheetReader::StartHeaderFooter, &SheetReader::EndOddFooter},
    {"legacyDrawing", &SheetReader::StartLegacyDrawing},
};

void SheetReader::Start(std::string_view el, const Attributes& a) {
  if (inCell_) {
    StartElement(*this, kCellElements, el, a);
  } else {
    StartElement(*this, kSheetElements, el, a);
  }
}

void SheetReader::End(std::string_view el) {
  if (inCell_) {
    EndElement(*this, kCellElements, el);
  } else {
    EndElement(*this, kSheetElements, el);
  }
}

// ----- inside a cell -----

void SheetReader::StartValue(const Attributes&) { Collect(); }

void SheetReader::EndValue() {
  std::swap(value_, collected_);
  hasValue_ = true;
  collecting_ = false;
}

void SheetReader::StartFormula(const Attributes& a) {
  Collect();
  hasFormula_ = true;
  const std::string_view type = a.Get("t");
  sharedIndex_ = type == "shared" && a.Has("si") ? ToLong(a.Get("si"), -1) : -1;
  if (type == "array" || type == "dataTable") {
    keepCell_ = true;
    const auto area = ParseAreaRef(a.Get("ref"));
    loaded_->heldAreas.push_back({area.value_or(xl::Area{row_, col_, row_, col_}), type == "dataTable"});
  }
  if (a.Flag("ca")) {
    keepCell_ = true;
  }
}

void SheetReader::EndFormula() {
  std::swap(formula_, collected_);
  collecting_ = false;
}

void SheetReader::StartInline(const Attributes&) {
  inInline_ = true;
  inline_.clear();
}

void SheetReader::StartInlineText(const Attributes&) {
  if (inInline_) Collect();
}

void SheetReader::EndInlineText() {
  if (!inInline_) return;
  inline_ += collected_;
  inlineText_ = true;
  collecting_ = false;
}

void SheetReader::StartRun(const Attributes&) {
  if (!inInline_) return;
  keepCell_ = true;
}

void SheetReader::EndCell() {
  inCell_ = false;
  if (keepCell_) loaded_->keptCells.push_back({static_cast<std::int32_t>(row_), static_cast<std::int32_t>(col_)});
  if (hasFormula_) {
    if (sharedIndex_ >= 0) ResolveSharedFormula();
    if (formula_.empty()) hasFormula_ = false;
  }
  if (!hasValue_ && !hasFormula_ && !inlineText_) return;  // a cell of a format alone
  if (columns_.size() < static_cast<std::size_t>(col_)) columns_.resize(static_cast<std::size_t>(col_));
  ColumnCells& column = columns_[static_cast<std::size_t>(col_ - 1)];
  if (!column.cells.empty() && column.cells.back().row >= row_) Bad("it comes after a cell below it");
  Pending p;
  p.row = static_cast<std::int32_t>(row_);
  if (!PendingValue(p, column)) return;
  if (hasFormula_) {
    p.hasFormula = true;
    p.formula = static_cast<std::uint32_t>(column.chars.size());
    column.chars += u'=';
    AppendText(column.chars, formula_);
    p.formulaLength = static_cast<std::uint32_t>(column.chars.size() - p.formula);
  }
  column.cells.push_back(p);
}

void SheetReader::ResolveSharedFormula() {
  if (!formula_.empty()) {
    sharedFormulas_[sharedIndex_] = {row_, col_, formula_};
  } else if (const auto it = sharedFormulas_.find(sharedIndex_); it != sharedFormulas_.end()) {
    formula_ = ShiftFormula(it->second.source, row_ - it->second.row, col_ - it->second.col);
  }
}

bool SheetReader::PendingValue(Pending& p, ColumnCells& column) {
  const auto ownText = [&](std::string_view utf8) {
    p.type = VarType::String;
    p.text = static_cast<std::uint32_t>(column.chars.size());
    AppendText(column.chars, utf8);
    p.textLength = static_cast<std::uint32_t>(column.chars.size() - p.text);
  };
  if (type_ == 's') {
    const long index = ToLong(value_, -1);
    if (index < 0 || static_cast<std::size_t>(index) >= strings_.spans.size()) {
      Bad("its shared string " + value_ + " does not exist");
    }
    p.type = VarType::String;
    p.shared = true;
    p.text = static_cast<std::uint32_t>(index);
  } else if (type_ == 'i') {
    ownText(inline_);
  } else if (const auto day = type_ == 'd' && hasValue_ ? DateSerial(value_, date1904_) : std::nullopt; day) {
    p.type = VarType::Number;
    p.number = *day;
  } else if (type_ == 'r' || type_ == 'd') {
    if (hasValue_) ownText(value_);
    // A formula's text result that is an error value's text stands for that error.
    if (hasFormula_ && hasValue_ && value_.starts_with('#')) {
      if (const auto e = CellErrorOfText(FromUtf8(value_))) {
        p.type = VarType::Error;
        p.error = *e;
      }
    }
  } else if (type_ == 'b') {
    if (hasValue_) {
      p.type = VarType::Boolean;
      p.boolean = value_ == "1" || value_ == "true";
    }
  } else if (type_ == 'e') {
    if (!hasValue_) return hasFormula_;  // an error cell without its error holds nothing
    p.type = VarType::Error;
    p.error = CellErrorOfText(FromUtf8(value_)).value_or(CellError::NA);
  } else if (hasValue_ && !value_.empty()) {
    const auto v = ToDouble(value_);
    if (!v) Bad("'" + value_ + "' is not a number");
    p.type = VarType::Number;
    p.number = *v;
  }
  return true;
}

// ----- the sheet's elements -----

void SheetReader::StartSheetData(const Attributes&) {
  inSheetData_ = true;
  // The columns' own formats (they come before the cells), so that the cells' values
  // come under them.
  for (const auto& [cols, xf] : columnStyles_) {
    sheet_->PutFormat({1, cols.first, rows_, cols.last}, styles_.xfs[xf]);
    if (styledColumns_.size() <= static_cast<std::size_t>(cols.last)) {
      styledColumns_.resize(static_cast<std::size_t>(cols.last) + 1, false);
    }
    std::fill(styledColumns_.begin() + cols.first, styledColumns_.begin() + cols.last + 1, true);
  }
}

void SheetReader::StartRow(const Attributes& a) {
  if (!inSheetData_) return;
  row_ = a.Has("r") ? ToLong(a.Get("r"), -1) : row_ + 1;
  if (row_ < 1 || row_ > rows_) throw Failure("row " + std::string(a.Get("r")) + " lies outside the sheet");
  if (row_ >= bandEnd_) {
    Flush();
    bandEnd_ = row_ + kBand;
  }
  col_ = 0;
  KeepRowTag(a);
  if (a.Flag("hidden")) {
    if (!layout_.hiddenRows.empty() && layout_.hiddenRows.back().last == row_ - 1) {
      layout_.hiddenRows.back().last = row_;
    } else {
      layout_.hiddenRows.push_back({row_, row_});
    }
  }
  if (a.Flag("customHeight") && a.Has("ht")) {
    const double h = ToDouble(a.Get("ht")).value_or(xl::kDefaultRowHeight);
    if (!layout_.rowHeights.empty() && layout_.rowHeights.back().rows.last == row_ - 1 &&
        layout_.rowHeights.back().height == h) {
      layout_.rowHeights.back().rows.last = row_;
    } else {
      layout_.rowHeights.push_back({{row_, row_}, h});
    }
  }
}

// The row's tag, kept for the save: what the sheet does not hold as it stands, and its
// height and hidden state as written, for a save that leaves them as they are.
void SheetReader::KeepRowTag(const Attributes& a) {
  LoadedSheet::RowTag tag;
  a.ForEach([&](std::string_view prefix, std::string_view name, std::string_view value) {
    if (prefix.empty() && (name == "r" || name == "spans")) return;  // the save writes them
    const bool modelled = prefix.empty() && (name == "ht" || name == "customHeight" || name == "hidden");
    std::string& to = modelled ? tag.modelled : tag.other;
    to += ' ';
    if (!prefix.empty()) to += std::string(prefix) + ':';
    to += std::string(name) + "=\"" + EscapedAttribute(value) + '"';
  });
  if (tag.other.empty() && tag.modelled.empty()) return;
  if (a.Flag("customHeight") && a.Has("ht")) tag.height = ToDouble(a.Get("ht")).value_or(xl::kDefaultRowHeight);
  tag.hidden = a.Flag("hidden");
  loaded_->rowAttributes[static_cast<std::int32_t>(row_)] = std::move(tag);
}

void SheetReader::StartCell(const Attributes& a) {
  if (!inSheetData_) return;
  if (a.Has("r")) {
    const auto pos = ParseCellRef(a.Get("r"));
    if (!pos) throw Failure("'" + std::string(a.Get("r")) + "' is not a cell reference");
    if (pos->row != row_ && row_ != 0) throw Failure("cell " + std::string(a.Get("r")) + " lies outside its row");
    row_ = pos->row;
    col_ = pos->col;
  } else {
    ++col_;
  }
  if (row_ < 1 || col_ > cols_) Bad("it lies outside the sheet");
  inCell_ = true;
  const std::string_view t = a.Get("t", "n");
  type_ = t == "inlineStr" ? 'i' : t == "str" ? 'r' : t.empty() ? 'n' : t.front();
  keepCell_ = false;
  if (a.Has("cm") || a.Has("vm")) {
    keepCell_ = true;
  }
  if (a.Flag("ph")) {
    keepCell_ = true;
  }
  hasValue_ = hasFormula_ = inlineText_ = false;
  value_.clear();
  formula_.clear();
  sharedIndex_ = -1;
  const auto xf = static_cast<std::size_t>(ToLong(a.Get("s"), 0));
  if (xf != 0 && xf < styles_.xfs.size()) {
    KeepCellFormat(xf);
  } else if (static_cast<std::size_t>(col_) < styledColumns_.size() && styledColumns_[static_cast<std::size_t>(col_)]) {
    // A cell of the file has its own style record, the first one where it names none:
    // its column's style is only for the cells the file does not have.
    KeepCellFormat(0);
  }
}

// The cell's format: its index kept for the save, and the format itself put on the
// cell with the band unless it is the default one.
void SheetReader::KeepCellFormat(std::size_t xf) {
  auto& kept = loaded_->xfs;
  if (kept.size() < static_cast<std::size_t>(col_)) kept.resize(static_cast<std::size_t>(col_));
  auto& keptRuns = kept[static_cast<std::size_t>(col_ - 1)];
  if (!keptRuns.empty() && keptRuns.back().xf == xf && keptRuns.back().row2 == row_ - 1) {
    keptRuns.back().row2 = static_cast<std::int32_t>(row_);
  } else {
    keptRuns.push_back(
        {static_cast<std::int32_t>(row_), static_cast<std::int32_t>(row_), static_cast<std::uint32_t>(xf)});
  }
  if (styles_.xfs[xf] == xl::memory::CellFormat{} &&
      (static_cast<std::size_t>(col_) >= styledColumns_.size() || !styledColumns_[static_cast<std::size_t>(col_)])) {
    return;
  }
  if (formats_.size() < static_cast<std::size_t>(col_)) formats_.resize(static_cast<std::size_t>(col_));
  auto& runs = formats_[static_cast<std::size_t>(col_ - 1)];
  if (!runs.empty() && runs.back().xf == xf && runs.back().row2 == row_ - 1) {
    runs.back().row2 = row_;
  } else {
    runs.push_back({row_, row_, xf});
  }
}

void SheetReader::StartCol(const Attributes& a) {
  const long c1 = ToLong(a.Get("min"), 0), c2 = std::min(ToLong(a.Get("max"), 0), cols_);
  if (c1 < 1 || c2 < c1) return;
  if (a.Flag("customWidth") && a.Has("width")) {
    // The file's width holds the cell padding: 5 pixels of a 7-pixel character.
    const double w = ToDouble(a.Get("width")).value_or(0);
    const double chars = w * 7 <= 12 ? w * 7 / 12 : std::round((w * 7 - 5) / 7 * 100) / 100;
    // A hidden column of no width keeps the width it is shown with again.
    if (w > 0 || !a.Flag("hidden")) layout_.columnWidths.push_back({{c1, c2}, chars});
  }
  if (a.Flag("hidden")) layout_.hiddenColumns.push_back({c1, c2});
  const auto xf = static_cast<std::size_t>(ToLong(a.Get("style"), 0));
  if (xf != 0 && xf < styles_.xfs.size()) columnStyles_.push_back({{c1, c2}, xf});
  LoadedSheet::ColTag tag{static_cast<std::int32_t>(c1),
                          static_cast<std::int32_t>(c2),
                          {},
                          xf < styles_.xfs.size() ? static_cast<std::uint32_t>(xf) : 0};
  a.ForEach([&](std::string_view prefix, std::string_view name, std::string_view value) {
    if (prefix.empty() && (name == "min" || name == "max")) return;  // the save writes them
    tag.attributes += ' ';
    if (!prefix.empty()) tag.attributes.append(prefix).append(":");
    tag.attributes.append(name).append("=\"").append(EscapedAttribute(value)).append("\"");
  });
  loaded_->cols.push_back(std::move(tag));
}

void SheetReader::StartMergeCell(const Attributes& a) {
  if (const auto area = ParseAreaRef(a.Get("ref"))) layout_.merges.push_back(*area);
}

void SheetReader::StartSelection(const Attributes& a) {
  std::vector<xl::Area> areas;
  std::string_view sq = a.Get("sqref");
  while (!sq.empty()) {
    const std::size_t blank = sq.find(' ');
    if (const auto area = ParseAreaRef(sq.substr(0, blank))) areas.push_back(*area);
    sq = blank == std::string_view::npos ? std::string_view() : sq.substr(blank + 1);
  }
  if (!areas.empty()) layout_.selection = areas;
  if (const auto active = ParseCellRef(a.Get("activeCell"))) layout_.activeCell = *active;
}

void SheetReader::StartSheetProtection(const Attributes& a) {
  if (a.Flag("sheet")) layout_.protection = xl::Protection{.AllowFormattingCells = !a.Flag("formatCells", true)};
}

void SheetReader::StartAutoFilter(const Attributes& a) {
  if (const auto area = ParseAreaRef(a.Get("ref"))) layout_.autoFilter = *area;
}

void SheetReader::StartHyperlink(const Attributes& a) {
  const auto area = ParseAreaRef(a.Get("ref"));
  if (!area) return;
  CellHyperlink link{{area->row1, area->col1}, {{}, ToText(a.Get("location")), ToText(a.Get("display"))}};
  if (a.Has("id")) linkRels.emplace_back(layout_.hyperlinks.size(), std::string(a.Get("id")));
  layout_.hyperlinks.push_back(link);
  linkAreas.push_back(*area);
}

void SheetReader::StartPageMargins(const Attributes& a) {
  xl::PageSetup& p = layout_.pageSetup;
  const auto points = [&](std::string_view name, double& into) {
    if (const auto v = ToDouble(a.Get(name))) into = *v * 72;
  };
  points("left", p.LeftMargin);
  points("right", p.RightMargin);
  points("top", p.TopMargin);
  points("bottom", p.BottomMargin);
  points("header", p.HeaderMargin);
  points("footer", p.FooterMargin);
}

void SheetReader::StartPageSetup(const Attributes& a) {
  xl::PageSetup& p = layout_.pageSetup;
  if (a.Has("scale")) p.Zoom = static_cast<double>(ToLong(a.Get("scale"), 100));
  const auto pages = [&](std::string_view name, Variant& into) {
    if (!a.Has(name)) return;
    const long n = ToLong(a.Get(name), 1);
    into = n == 0 ? Variant(false) : Variant(static_cast<double>(n));
  };
  pages("fitToWidth", p.FitToPagesWide);
  pages("fitToHeight", p.FitToPagesTall);
}

void SheetReader::StartPrintOptions(const Attributes& a) {
  layout_.pageSetup.CenterHorizontally = a.Flag("horizontalCentered");
  layout_.pageSetup.CenterVertically = a.Flag("verticalCentered");
}

void SheetReader::EndOddHeader() {
  collecting_ = false;
  xl::PageSetup& p = layout_.pageSetup;
  SplitHeaderFooter(ToText(collected_), p.LeftHeader, p.CenterHeader, p.RightHeader);
}

void SheetReader::EndOddFooter() {
  collecting_ = false;
  xl::PageSetup& p = layout_.pageSetup;
  SplitHeaderFooter(ToText(collected_), p.LeftFooter, p.CenterFooter, p.RightFooter);
}

void SheetReader::Flush() {
  // The cells' own formats first, so that the values come under them.
  for (std::size_t c = 0; c < formats_.size(); ++c) {
    const long col = static_cast<long>(c) + 1;
    for (const FormatRun& r : formats_[c]) sheet_->PutFormat({r.row1, col, r.row2, col}, styles_.xfs[r.xf]);
    formats_[c].clear();
  }
  constexpr long kGap = 16;  // empty rows stored with a run of cells rather than splitting it
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    ColumnCells& column = columns_[c];
    const TextView chars(column.chars);
    long first = 0;
    const auto store = [&] {
      if (!run_.empty()) sheet_->StoreCells(first, static_cast<long>(c) + 1, run_);
      run_.clear();
    };
    for (const Pending& p : column.cells) {
      if (!run_.empty() && p.row - (first + static_cast<long>(run_.size())) > kGap) store();
      if (run_.empty()) first = p.row;
      while (first + static_cast<long>(run_.size()) < p.row) run_.emplace_back();
      xl::memory::FileCell& cell = run_.emplace_back();
      cell.type = p.type;
      cell.number = p.number;
      cell.boolean = p.boolean;
      cell.error = p.error;
      if (p.type == VarType::String) {
        cell.text = p.shared ? strings_.At(p.text) : chars.substr(p.text, p.textLength);
        if (cell.text.size() > xl::kCellTextLimit) {
          notes_->push_back(CutTextNote(CellName(*sheet_, p.row, static_cast<long>(c) + 1), cell.text));
        }
      }
      if (p.hasFormula) cell.formula = chars.substr(p.formula, p.formulaLength);
    }
    store();
    column.cells.clear();
    column.chars.clear();
  }
}

void SheetReader::EndCells() {
  Flush();
  for (const RowHeight& h : layout_.rowHeights) sheet_->SetRowHeight(h.rows.first, h.rows.last, h.height);
  for (const Band& b : layout_.hiddenRows) sheet_->SetRowsHidden(b.first, b.last, true);
}

// The texts of a comments part by cell.
std::map<std::pair<long, long>, xl::CommentData> ReadCommentTexts(const ZipArchive& zip, const std::string& part) {
  std::map<std::pair<long, long>, xl::CommentData> comments;
  struct H {
    std::map<std::pair<long, long>, xl::CommentData>& comments;
    xl::CommentData* current = nullptr;
    bool inT = false;
    int phonetic = 0;
    std::u16string text;
    void Start(std::string_view el, const Attributes& a) {
      if (el == "comment") {
        const auto pos = ParseCellRef(a.Get("ref"));
        current = pos ? &comments[{pos->row, pos->col}] : nullptr;
        text.clear();
      }
      if (el == "rPh") ++phonetic;
      if (el == "t" && current && phonetic == 0) inT = true;
    }
    void End(std::string_view el) {
      if (el == "t") inT = false;
      if (el == "rPh") --phonetic;
      if (el == "comment" && current) current->text = text, current = nullptr;
    }
    void Characters(std::string_view t) {
      if (inT) AppendText(text, t);
    }
  } h{comments, nullptr, false, 0, {}};
  ParseXml(zip.Read(part), part, h);
  return comments;
}

// A comment's shape in the drawing part: its cell, visibility, size and colour.
struct CommentShape {
  bool visible = false;
  bool autoSize = false;
  long row = -1, col = -1;  // 0-based
  std::optional<long> fill;
  std::string style;
};

// The comments' shapes of a drawing part. Drawings of other programs are not always
// well-formed: the comments keep their texts then, shown as a new comment is.
std::vector<CommentShape> ReadCommentShapes(const ZipArchive& zip, const std::string& part) {
  struct V {
    std::vector<CommentShape> shapes;
    bool inShape = false;
    std::string_view field;
    std::string collected;
    void Start(std::string_view el, const Attributes& a) {
      if (el == "shape") {
        inShape = true;
        CommentShape& s = shapes.emplace_back();
        s.style = a.Get("style");
        const std::string_view fill = a.Get("fillcolor");
        if (fill.size() == 7 && fill.front() == '#') s.fill = RgbToOle(ToRgb(fill.substr(1)));
      }
      if (!inShape) return;
      if (el == "Visible") shapes.back().visible = true;
      if (el == "textbox" && a.Get("style").find("mso-fit-shape-to-text:t") != std::string_view::npos) {
        shapes.back().autoSize = true;
      }
      if (el == "Row" || el == "Column") {
        field = el == "Row" ? "Row" : "Column";
        collected.clear();
      }
    }
    void End(std::string_view el) {
      if (el == "shape") inShape = false;
      if (inShape && (el == "Row" || el == "Column")) {
        (el == "Row" ? shapes.back().row : shapes.back().col) = ToLong(collected, -1);
        field = {};
      }
    }
    void Characters(std::string_view t) {
      if (!field.empty()) collected += t;
    }
  } v;
  try {
    ParseXml(zip.Read(part), part, v);
  } catch (const Failure&) {
    v.shapes.clear();
  }
  return std::move(v.shapes);
}

// The shape's visibility, size, place and colour put on its comment.
void ApplyShape(const CommentShape& s, xl::CommentData& c) {
  c.visible = s.visible;
  c.autoSize = s.autoSize;
  if (s.fill) c.fillColor = *s.fill;
  const auto points = [&](std::string_view key, double& into) {
    const std::size_t at = s.style.find(std::string(key) + ":");
    if (at == std::string::npos) return;
    const std::size_t from = at + key.size() + 1, end = s.style.find(';', from);
    std::string_view value = std::string_view(s.style).substr(from, end == std::string::npos ? end : end - from);
    if (!EndsWith(value, "pt")) return;
    if (const auto d = ToDouble(value.substr(0, value.size() - 2))) into = *d;
  };
  points("margin-left", c.left);
  points("margin-top", c.top);
  points("width", c.width);
  points("height", c.height);
}

// Comments: their texts from the comments part, their visibility, size and colour
// from the drawing part.
void ReadComments(const ZipArchive& zip, const std::string& commentsPart, const std::string& vmlPart,
                  SheetLayout& layout) {
  auto comments = ReadCommentTexts(zip, commentsPart);
  if (!vmlPart.empty() && zip.Has(vmlPart)) {
    for (const CommentShape& s : ReadCommentShapes(zip, vmlPart)) {
      const auto it = comments.find({s.row + 1, s.col + 1});
      if (it != comments.end()) ApplyShape(s, it->second);
    }
  }
  for (auto& [pos, c] : comments) layout.comments.push_back({{pos.first, pos.second}, std::move(c)});
}

// A cell's content as it is held, to be stored again.
struct HeldCell {
  long row, col;
  Variant value;
  Text formula;
};

// A link held over an area is the link of each of its cells: of those that hold a value,
// beside its first cell, which has it already (`links`, one a link element, and the
// areas they are held over). An area over whole columns stays as many links as the
// cells it holds; the save writes the element as it stands while its cells keep it.
void SpreadLinks(const xl::memory::FileSheet& sheet, const std::vector<xl::Area>& areas,
                 std::vector<CellHyperlink>& links) {
  // How many areas of more than one cell begin (+) and end (-) at each column: their
  // running sum tells the columns some area lies over, in one pass however many there are.
  std::vector<long> edges;
  long top = sheet.RowsCount(), bottom = 0;  // the rows they lie over
  for (const xl::Area& a : areas) {
    if (a.Cells() == 1) continue;
    const long last = std::min(a.col2, sheet.ColumnsCount());
    if (a.col1 > last) continue;
    top = std::min(top, a.row1);
    bottom = std::max(bottom, a.row2);
    if (edges.size() < static_cast<std::size_t>(last) + 1) edges.resize(static_cast<std::size_t>(last) + 1, 0);
    ++edges[static_cast<std::size_t>(a.col1 - 1)];
    --edges[static_cast<std::size_t>(last)];
  }
  if (edges.empty()) return;
  std::vector<xl::CellPos> filled;
  long over = 0;
  for (long c = 1; c < static_cast<long>(edges.size()); ++c) {
    over += edges[static_cast<std::size_t>(c - 1)];
    if (over == 0) continue;
    for (std::optional<long> r = sheet.NextFilledRow(c, top - 1); r && *r <= bottom; r = sheet.NextFilledRow(c, *r)) {
      filled.push_back({*r, c});
    }
  }
  std::set<std::pair<long, long>> firsts;  // the cells that have a link already
  for (const xl::Area& a : areas) firsts.emplace(a.row1, a.col1);
  const std::vector<std::size_t> owner = AreasHolding(areas, filled);
  for (std::size_t i = 0; i < filled.size(); ++i) {
    if (owner[i] == kNoArea || firsts.contains(std::pair(filled[i].row, filled[i].col))) continue;
    xl::Hyperlink link = links[owner[i]].link;
    links.push_back({filled[i], std::move(link)});
  }
  std::ranges::stable_sort(links, {}, [](const CellHyperlink& l) { return std::pair(l.cell.row, l.cell.col); });
}

// The sheet part is read as it is inflated, its cells stored a band of rows at a time;
// then the rest of its layout is put on. Merging clears the cells of a merged area but
// the first: the values a file holds there are stored again after the merges.
void ReadSheet(const ZipArchive& zip, const std::string& part, const SharedStrings& strings, const Styles& styles,
               xl::memory::FileSheet& sheet, Notes& notes, LoadedSheet& loaded) {
  loaded.sheet = &sheet;
  loaded.part = part;
  SheetReader reader(strings, styles, sheet, notes, loaded);
  {
    const phases::Scope timed("load xlsx cells");
    XmlReader<SheetReader>(part, reader).Pieces(zip, "<row ");
    reader.EndCells();
  }
  SheetLayout& layout = reader.Layout();
  if (reader.fitToPage) layout.pageSetup.Zoom = false;
  const auto rels = ReadRels(zip, part);
  for (auto& [at, id] : reader.linkRels) {
    if (const auto it = rels.find(id); it != rels.end()) layout.hyperlinks[at].link.Address = ToText(it->second.target);
  }
  SpreadLinks(sheet, reader.linkAreas, layout.hyperlinks);
  const std::string commentsPart = RelOfType(rels, kRelComments);
  if (!commentsPart.empty()) {
    std::string vml;
    if (const auto it = rels.find(reader.legacyDrawing); it != rels.end()) vml = it->second.target;
    if (vml.empty()) vml = RelOfType(rels, kRelVml);
    ReadComments(zip, commentsPart, vml, layout);
  }
  std::vector<HeldCell> held;
  for (const xl::Area& m : layout.merges) {
    for (long c = m.col1; c <= m.col2; ++c) {
      for (std::optional<long> r = sheet.NextFilledRow(c, m.row1 - 1); r && *r <= m.row2;
           r = sheet.NextFilledRow(c, *r)) {
        if (*r == m.row1 && c == m.col1) continue;
        held.push_back(
            {*r, c, sheet.CellValue(*r, c), sheet.CellHasFormula(*r, c) ? sheet.CellFormula(*r, c) : Text()});
      }
    }
  }
  ApplyLayout(sheet, layout, [&] {
    for (const HeldCell& h : held) {
      xl::memory::FileCell cell;
      const Text text = h.value.IsText() ? h.value.AsText() : Text();
      cell.type = h.value.Type();
      if (h.value.IsNumber()) cell.number = h.value.AsNumber();
      if (h.value.IsBoolean()) cell.boolean = h.value.AsBool();
      if (h.value.IsError()) cell.error = h.value.AsError();
      cell.text = text;
      cell.formula = h.formula;
      sheet.StoreCells(h.row, h.col, std::span(&cell, 1));
    }
  });
}

// ----- defined names -----

// "Sheet1!$A$1:$B$2,'My list'!$C$3" -> the sheet and its areas' address.
bool SplitReference(std::string_view formula, Text& sheetName, Text& address) {
  std::string addr;
  std::string sheet;
  while (!formula.empty()) {
    std::string part;
    std::string name;
    std::size_t i = 0;
    if (formula.front() == '\'') {
      for (i = 1; i < formula.size(); ++i) {
        if (formula[i] == '\'') {
          if (i + 1 < formula.size() && formula[i + 1] == '\'') {
            name += '\'';
            ++i;
            continue;
          }
          break;
        }
        name += formula[i];
      }
      ++i;
    } else {
      while (i < formula.size() && formula[i] != '!') name += formula[i++];
    }
    if (i >= formula.size() || formula[i] != '!') return false;
    ++i;
    const std::size_t comma = formula.find(',', i);
    part = formula.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i);
    if (!sheet.empty() && sheet != name) return false;
    sheet = name;
    if (!addr.empty()) addr += ',';
    addr += part;
    formula = comma == std::string_view::npos ? std::string_view() : formula.substr(comma + 1);
  }
  sheetName = ToText(sheet);
  address = ToText(addr);
  return !addr.empty();
}

void ApplyNames(xl::Workbook& book, const BookInfo& info, const std::vector<xl::memory::FileSheet*>& sheets,
                Notes& notes) {
  for (const NameInfo& n : info.names) {
    const std::string name = ToUtf8(n.name);
    if (n.localSheet && (*n.localSheet < 0 || static_cast<std::size_t>(*n.localSheet) >= sheets.size())) {
      throw Failure("the name '" + name + "' belongs to a sheet that does not exist");
    }
    xl::memory::FileSheet* owner = n.localSheet ? sheets[static_cast<std::size_t>(*n.localSheet)] : nullptr;
    Text sheetName, address;
    const bool isRef = SplitReference(n.formula, sheetName, address);
    if (name == "_xlnm.Print_Area" && owner && isRef) {
      xl::PageSetup page = owner->GetPageSetup();
      page.PrintArea = address;
      owner->SetPageSetup(page);
      continue;
    }
    if (name == "_xlnm.Print_Titles" && owner && isRef) {
      xl::PageSetup page = owner->GetPageSetup();
      for (std::size_t start = 0; start <= address.size();) {
        const std::size_t comma = std::min(address.find(u',', start), address.size());
        const Text part = address.substr(start, comma - start);
        // Rows are told by their first character after an optional `$`: `$1:$1`, `1:1`
        // and `10:12` are rows, `$A:$B` and `A:B` columns.
        const std::size_t first = !part.empty() && part[0] == u'$' ? 1 : 0;
        const bool rows = first < part.size() && part[first] >= u'0' && part[first] <= u'9';
        (rows ? page.PrintTitleRows : page.PrintTitleColumns) = part;
        start = comma + 1;
      }
      owner->SetPageSetup(page);
      continue;
    }
    if (name.starts_with("_xlnm.")) continue;  // the filter's own name comes with the filter
    if (!isRef) {
      notes.push_back("the name '" + name + "' refers to '" + n.formula +
                      "', not to cells of one sheet: the workbook cannot hold it and leaves it out");
      continue;
    }
    try {
      xl::Worksheet& target = book.Sheets().Item(sheetName);
      const xl::Range range = target.Range(address);
      xl::NameCollection& names = owner ? owner->Names() : book.Names();
      names.Add(n.name, range, !n.hidden);
    } catch (const Error& e) {
      throw Failure("cannot define the name '" + name + "' (" + n.formula + "): " + e.Description());
    }
  }
}

// Raises Failure for a file that is no zip archive, naming what it is when its first
// bytes tell.
void CheckIsZip(std::string_view data) {
  if (data.size() >= 8 && data.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
    throw Failure(
        "it is an OLE compound file, not an xlsx workbook: a password-protected (encrypted) workbook or one in the "
        "old .xls format; save it without a password as .xlsx");
  }
  if (data.size() < 4 || data.substr(0, 2) != "PK") throw Failure("it is not an xlsx workbook (not a zip archive)");
}

// The package's workbook part and the parts it relates to; a note for its macros.
std::shared_ptr<LoadedPackage> PackageParts(const ZipArchive& zip, Notes& notes) {
  auto package = std::make_shared<LoadedPackage>();
  package->bookPart = RelOfType(ReadRels(zip, ""), kRelOfficeDocument);
  if (package->bookPart.empty()) package->bookPart = "xl/workbook.xml";
  if (!zip.Has(package->bookPart)) throw Failure("it holds no workbook part ('" + package->bookPart + "')");
  const auto bookRels = ReadRels(zip, package->bookPart);
  package->macros = RelOfType(bookRels, kRelVbaProject);
  if (!package->macros.empty()) {
    notes.push_back("it holds macros ('" + package->macros +
                    "'): a save to an .xlsm file keeps them, a save to a .xlsx file leaves them out");
  }
  package->stringsPart = RelOfType(bookRels, kRelSharedStrings);
  package->stylesPart = RelOfType(bookRels, kRelStyles);
  return package;
}

// The workbook's sheets, added and named in the file's order.
std::vector<xl::memory::FileSheet*> AddSheets(xl::memory::FileBook& book, const BookInfo& info) {
  std::vector<xl::memory::FileSheet*> sheets;
  for (const SheetInfo& s : info.sheets) {
    xl::Worksheet& sheet = sheets.empty() ? book.Sheets().Item(1) : book.Sheets().Add({.After = sheets.back()});
    try {
      sheet.SetName(s.name);
    } catch (const Error& e) {
      throw Failure("cannot name a sheet '" + ToUtf8(s.name) + "': " + e.Description());
    }
    sheets.push_back(&dynamic_cast<xl::memory::FileSheet&>(sheet));
  }
  return sheets;
}

// What the workbook part says once the sheets are read: the names, the active sheet,
// the sheets' visibility and the workbook's protection.
void ApplyBook(xl::memory::FileBook& book, const BookInfo& info, const std::vector<xl::memory::FileSheet*>& sheets,
               Notes& notes) {
  ApplyNames(book, info, sheets, notes);
  const auto active =
      static_cast<std::size_t>(std::clamp<long>(info.activeTab, 0, static_cast<long>(sheets.size()) - 1));
  sheets[active]->Activate();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    try {
      sheets[i]->SetVisible(info.sheets[i].visible);
    } catch (const Error& e) {
      throw Failure("cannot set the visibility of sheet '" + ToUtf8(info.sheets[i].name) + "': " + e.Description());
    }
  }
  if (info.lockStructure || info.lockWindows) book.Protect(info.lockStructure, info.lockWindows);
}

// How the workbook stands as loaded, for the save to tell what the run changed.
void KeepLoaded(LoadedPackage& package, xl::memory::FileBook& book, const std::vector<xl::memory::FileSheet*>& sheets,
                Styles& styles, SharedStrings& strings, std::string_view data) {
  const phases::Scope timed("load xlsx keep package");
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    package.sheets[i].cells = sheets[i]->CellChanges();
    auto& kept = package.sheets[i].keptCells;
    std::sort(kept.begin(), kept.end(),
              [](const auto& a, const auto& b) { return std::pair(a.row, a.col) < std::pair(b.row, b.col); });
    for (LoadedSheet::KeptCell& k : kept) k.digest = CellDigest(*sheets[i], k.row, k.col);
    for (LoadedSheet::HeldArea& h : package.sheets[i].heldAreas) h.digest = AreaDigest(*sheets[i], h.area);
    package.sheets[i].layout = ReadLayout(*sheets[i]);
  }
  package.book = BookFingerprint(book);
  package.xfs = std::move(styles.xfs);
  package.chars = std::move(strings.chars);
  package.spans = std::move(strings.spans);
  package.bytes = std::string(data);
}

xl::Workbook& Load(xl::memory::MemoryApplication& app, std::string_view data, Notes& notes) {
  CheckIsZip(data);
  const ZipArchive zip(data);
  auto package = PackageParts(zip, notes);
  const BookInfo info = ReadBook(zip, package->bookPart);
  SharedStrings strings = ReadSharedStrings(zip, package->stringsPart);
  Styles styles = ReadStyles(zip, package->stylesPart);
  package->sheets.resize(info.sheets.size());

  xl::memory::FileBook& book = app.AddWorkbook(xl::memory::GridSize::Large);
  book.SetDate1904(info.date1904);
  try {
    const std::vector<xl::memory::FileSheet*> sheets = AddSheets(book, info);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      try {
        ReadSheet(zip, info.sheets[i].part, strings, styles, *sheets[i], notes, package->sheets[i]);
      } catch (const Failure& f) {
        throw Failure("sheet '" + ToUtf8(info.sheets[i].name) + "': " + f.what());
      } catch (const Error& e) {
        throw Failure("sheet '" + ToUtf8(info.sheets[i].name) + "': " + e.Description());
      }
    }
    ApplyBook(book, info, sheets, notes);
    KeepLoaded(*package, book, sheets, styles, strings, data);
    SetOrigin(book, std::move(package));
  } catch (...) {
    while (!book.Closed() && book.Windows().Count() > 0) book.Windows().Item(1).Close();
    throw;
  }
  return book;
}

}  // namespace

xl::Workbook& LoadXlsxData(xl::memory::MemoryApplication& app, std::string_view data, const std::string& name,
                           Notes& notes) {
  Notes found;
  try {
    xl::Workbook& book = Load(app, data, found);
    for (std::string& n : found) notes.push_back("'" + name + "': " + std::move(n));
    return book;
  } catch (const Failure& f) {
    throw Failure("'" + name + "': " + f.what());
  } catch (const Error& e) {
    throw Failure("'" + name + "': " + e.Description());
  }
}

xl::Workbook& LoadXlsx(xl::memory::MemoryApplication& app, const fs::path& file, Notes& notes) {
  std::error_code ec;
  if (!fs::exists(file, ec)) throw Failure("'" + file.string() + "' does not exist");
  if (!fs::is_regular_file(file, ec)) throw Failure("'" + file.string() + "' is not a file");
  std::ifstream in(file, std::ios::binary);
  std::string data(static_cast<std::size_t>(fs::file_size(file, ec)), '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  if (!in || ec) throw Failure("cannot read '" + file.string() + "'");
  xl::Workbook& book = LoadXlsxData(app, data, file.string(), notes);
  SetSource(book, {StampOf(file, data)});
  return book;
}

}  // namespace quillary::workbook
