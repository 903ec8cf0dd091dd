#include "workbook/layout_file.h"

#include <array>
#include <charconv>

#include "workbook/entries.h"
#include "workbook/failure.h"

namespace quillary::workbook {

namespace {

constexpr std::string_view kMagic = "quillary-layout";
constexpr std::string_view kVersion = "1";

using xl::memory::BorderFormat;
using xl::memory::CellFormat;

// The cell borders by index - 5 (xlDiagonalDown ... xlEdgeRight), as CellFormat keeps them.
constexpr std::array<const char*, 6> kBorderNames{"border-diagonal-down", "border-diagonal-up", "border-left",
                                                  "border-top",           "border-bottom",      "border-right"};

// ----- words -----

std::string Escape(const Text& text) {
  std::string out;
  for (const char c : ToUtf8(text)) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

Text Unescape(std::string_view word) {
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '\\') {
      out += word[i];
      continue;
    }
    if (++i == word.size()) throw Failure("a backslash ends the word '" + std::string(word) + "'");
    switch (word[i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: throw Failure("unknown escape '\\" + std::string(1, word[i]) + "' in '" + std::string(word) + "'");
    }
  }
  return FromUtf8(out);
}

std::string Number(double d) {
  std::array<char, 32> buf{};
  const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), d).ptr;
  return std::string(buf.data(), end);
}

double ParseNumber(std::string_view word) {
  double d = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), d);
  if (ec != std::errc() || end != word.data() + word.size()) throw Failure("not a number: '" + std::string(word) + "'");
  return d;
}

long ParseLong(std::string_view word) {
  long n = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
  if (ec != std::errc() || end != word.data() + word.size()) {
    throw Failure("not a whole number: '" + std::string(word) + "'");
  }
  return n;
}

std::string Address(const xl::Area& area, long rows, long cols) {
  std::string out;
  for (const char c : ToUtf8(xl::AreaAddress(area, rows, cols))) {
    if (c != '$') out += c;
  }
  return out;
}

xl::Area ParseArea(const std::string& word, long rows, long cols) {
  const auto ref = xl::ParseA1(FromUtf8(word), rows, cols);
  if (!ref || ref->sheet || ref->areas.size() != 1) throw Failure("not an area of the sheet: '" + word + "'");
  return ref->areas.front();
}

xl::CellPos ParseCell(const std::string& word, long rows, long cols) {
  const xl::Area a = ParseArea(word, rows, cols);
  if (a.Cells() != 1) throw Failure("not a cell: '" + word + "'");
  return {a.row1, a.col1};
}

Band ParseBand(const std::string& first, const std::string& last, long limit) {
  const Band b{ParseLong(first), ParseLong(last)};
  if (b.first < 1 || b.first > b.last || b.last > limit)
    throw Failure("not a band of the sheet: " + first + " " + last);
  return b;
}

class Writer {
 public:
  void Entry(std::initializer_list<std::string_view> words) { out_ += EntryLine(words); }
  void Entry(const std::vector<std::string>& words) { out_ += EntryLine(words); }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// ----- formats -----

std::vector<std::string> FormatWords(const CellFormat& f) {
  const CellFormat d;
  std::vector<std::string> words;
  if (f.bold) words.push_back("bold");
  if (f.colorIndex != d.colorIndex) words.push_back("font-color=" + std::to_string(f.colorIndex));
  if (f.underline != d.underline) words.push_back("underline=" + std::to_string(f.underline));
  if (f.interiorColor != d.interiorColor) words.push_back("interior-color=" + std::to_string(f.interiorColor));
  if (f.pattern != d.pattern) words.push_back("pattern=" + std::to_string(f.pattern));
  for (std::size_t i = 0; i < f.borders.size(); ++i) {
    if (f.borders[i] == d.borders[i]) continue;
    words.push_back(std::string(kBorderNames[i]) + "=" + std::to_string(f.borders[i].lineStyle) + "/" +
                    std::to_string(f.borders[i].weight));
  }
  if (f.horizontalAlignment != d.horizontalAlignment) words.push_back("align=" + std::to_string(f.horizontalAlignment));
  if (f.verticalAlignment != d.verticalAlignment) words.push_back("valign=" + std::to_string(f.verticalAlignment));
  if (f.numberFormat != d.numberFormat) words.push_back("number-format=" + Escape(f.numberFormat));
  if (f.wrapText) words.push_back("wrap");
  if (!f.locked) words.push_back("unlocked");
  return words;
}

void ReadFormatWord(CellFormat& f, const std::string& word) {
  const std::size_t eq = word.find('=');
  const std::string key = word.substr(0, eq);
  const std::string value = eq == std::string::npos ? std::string() : word.substr(eq + 1);
  const bool flag = eq == std::string::npos;
  auto number = [&] {
    if (flag) throw Failure("'" + key + "' needs a value ('" + key + "=...')");
    return ParseLong(value);
  };
  if (key == "bold" && flag) {
    f.bold = true;
  } else if (key == "wrap" && flag) {
    f.wrapText = true;
  } else if (key == "unlocked" && flag) {
    f.locked = false;
  } else if (key == "font-color") {
    f.colorIndex = number();
  } else if (key == "underline") {
    f.underline = number();
  } else if (key == "interior-color") {
    f.interiorColor = number();
  } else if (key == "pattern") {
    f.pattern = number();
  } else if (key == "align") {
    f.horizontalAlignment = number();
  } else if (key == "valign") {
    f.verticalAlignment = number();
  } else if (key == "number-format" && !flag) {
    f.numberFormat = Unescape(value);
  } else {
    for (std::size_t i = 0; i < kBorderNames.size(); ++i) {
      if (key != kBorderNames[i]) continue;
      const std::size_t slash = value.find('/');
      if (flag || slash == std::string::npos) throw Failure("'" + key + "' needs STYLE/WEIGHT");
      f.borders[i] = BorderFormat{ParseLong(value.substr(0, slash)), ParseLong(value.substr(slash + 1))};
      return;
    }
    throw Failure("unknown format property '" + word + "'");
  }
}

// ----- the page set-up -----

template <class T>
struct PageField {
  const char* name;
  T xl::PageSetup::*field;
};
constexpr PageField<Text> kPageTexts[] = {{"PrintArea", &xl::PageSetup::PrintArea},
                                          {"CenterHeader", &xl::PageSetup::CenterHeader},
                                          {"LeftHeader", &xl::PageSetup::LeftHeader},
                                          {"RightHeader", &xl::PageSetup::RightHeader},
                                          {"CenterFooter", &xl::PageSetup::CenterFooter},
                                          {"LeftFooter", &xl::PageSetup::LeftFooter},
                                          {"RightFooter", &xl::PageSetup::RightFooter},
                                          {"PrintTitleRows", &xl::PageSetup::PrintTitleRows},
                                          {"PrintTitleColumns", &xl::PageSetup::PrintTitleColumns}};
constexpr PageField<double> kPageNumbers[] = {
    {"HeaderMargin", &xl::PageSetup::HeaderMargin}, {"FooterMargin", &xl::PageSetup::FooterMargin},
    {"TopMargin", &xl::PageSetup::TopMargin},       {"BottomMargin", &xl::PageSetup::BottomMargin},
    {"LeftMargin", &xl::PageSetup::LeftMargin},     {"RightMargin", &xl::PageSetup::RightMargin}};
constexpr PageField<Variant> kPageValues[] = {{"Zoom", &xl::PageSetup::Zoom},
                                              {"FitToPagesWide", &xl::PageSetup::FitToPagesWide},
                                              {"FitToPagesTall", &xl::PageSetup::FitToPagesTall}};
constexpr PageField<bool> kPageFlags[] = {{"CenterHorizontally", &xl::PageSetup::CenterHorizontally},
                                          {"CenterVertically", &xl::PageSetup::CenterVertically}};

void WritePageSetup(Writer& w, const xl::PageSetup& p) {
  const xl::PageSetup d;
  for (const auto& f : kPageTexts) {
    if (p.*f.field != d.*f.field) w.Entry({"page", f.name, Escape(p.*f.field)});
  }
  for (const auto& f : kPageNumbers) {
    if (p.*f.field != d.*f.field) w.Entry({"page", f.name, Number(p.*f.field)});
  }
  for (const auto& f : kPageValues) {
    const Variant& v = p.*f.field;
    if (v == d.*f.field) continue;
    if (v.IsBoolean()) {
      w.Entry({"page", f.name, v.AsBool() ? "TRUE" : "FALSE"});
    } else if (v.IsNumber()) {
      w.Entry({"page", f.name, Number(v.AsNumber())});
    }
  }
  for (const auto& f : kPageFlags) {
    if (p.*f.field != d.*f.field) w.Entry({"page", f.name, p.*f.field ? "TRUE" : "FALSE"});
  }
}

bool ParseFlag(const std::string& word) {
  if (word == "TRUE") return true;
  if (word == "FALSE") return false;
  throw Failure("expected TRUE or FALSE, not '" + word + "'");
}

void ReadPageEntry(xl::PageSetup& p, const std::string& name, const std::string& value) {
  for (const auto& f : kPageTexts) {
    if (name == f.name) return void(p.*f.field = Unescape(value));
  }
  for (const auto& f : kPageNumbers) {
    if (name == f.name) return void(p.*f.field = ParseNumber(value));
  }
  for (const auto& f : kPageValues) {
    if (name != f.name) continue;
    if (value == "TRUE" || value == "FALSE") return void(p.*f.field = Variant(value == "TRUE"));
    return void(p.*f.field = Variant(ParseNumber(value)));
  }
  for (const auto& f : kPageFlags) {
    if (name == f.name) return void(p.*f.field = ParseFlag(value));
  }
  throw Failure("unknown page set-up property '" + name + "'");
}

void Expect(const std::vector<std::string>& w, std::size_t least, std::size_t most, const char* form) {
  if (w.size() < least || w.size() > most) throw Failure(std::string("expected: ") + form);
}

// The type word and the value word of a formula's value.
std::pair<std::string, std::string> CachedValueWords(const Variant& v) {
  switch (v.Type()) {
    case VarType::Number: return {"number", Number(v.AsNumber())};
    case VarType::Boolean: return {"boolean", v.AsBool() ? "TRUE" : "FALSE"};
    case VarType::Error: return {"error", ToUtf8(CellErrorText(v.AsError()))};
    case VarType::String: return {"text", Escape(v.AsText())};
    case VarType::Empty:
    case VarType::Null: break;
  }
  return {"text", ""};
}

Variant ParseCachedValue(const std::string& type, const std::string& word) {
  if (type == "number") return Variant(ParseNumber(word));
  if (type == "text") return Variant(Unescape(word));
  if (type == "boolean" && (word == "TRUE" || word == "FALSE")) return Variant(word == "TRUE");
  if (type == "error") {
    if (const std::optional<CellError> e = CellErrorOfText(FromUtf8(word))) return Variant(*e);
    throw Failure("not an error value: '" + word + "'");
  }
  if (type == "boolean") throw Failure("a boolean is TRUE or FALSE, not '" + word + "'");
  throw Failure("a value is a number, text, boolean or error, not '" + type + "'");
}

void ReadLayoutEntry(const std::vector<std::string>& w, long rows, long cols, SheetLayout& l,
                     std::vector<FieldCell>& cells, std::vector<CachedValue>& values) {
  const std::string& key = w[0];
  if (key == "format") {
    Expect(w, 2, 64, "format AREA PROPERTY...");
    FormatArea f{ParseArea(w[1], rows, cols), {}};
    for (std::size_t i = 2; i < w.size(); ++i) ReadFormatWord(f.format, w[i]);
    l.formats.push_back(std::move(f));
  } else if (key == "width") {
    Expect(w, 4, 4, "width FIRST LAST WIDTH");
    l.columnWidths.push_back({ParseBand(w[1], w[2], cols), ParseNumber(w[3])});
  } else if (key == "hide-columns") {
    Expect(w, 3, 3, "hide-columns FIRST LAST");
    l.hiddenColumns.push_back(ParseBand(w[1], w[2], cols));
  } else if (key == "height") {
    Expect(w, 4, 4, "height FIRST LAST HEIGHT");
    l.rowHeights.push_back({ParseBand(w[1], w[2], rows), ParseNumber(w[3])});
  } else if (key == "hide-rows") {
    Expect(w, 3, 3, "hide-rows FIRST LAST");
    l.hiddenRows.push_back(ParseBand(w[1], w[2], rows));
  } else if (key == "merge") {
    Expect(w, 2, 2, "merge AREA");
    l.merges.push_back(ParseArea(w[1], rows, cols));
  } else if (key == "comment") {
    Expect(w, 9, 10, "comment CELL TEXT shown|hidden FILL TOP LEFT WIDTH HEIGHT [auto-size]");
    if (w[3] != "shown" && w[3] != "hidden") throw Failure("a comment is shown or hidden, not '" + w[3] + "'");
    if (w.size() == 10 && w[9] != "auto-size") throw Failure("the last word of a comment may only be 'auto-size'");
    l.comments.push_back({ParseCell(w[1], rows, cols),
                          xl::CommentData{Unescape(w[2]), w[3] == "shown", w.size() == 10, ParseLong(w[4]),
                                          ParseNumber(w[5]), ParseNumber(w[6]), ParseNumber(w[7]), ParseNumber(w[8])}});
  } else if (key == "link") {
    Expect(w, 5, 5, "link CELL ADDRESS SUBADDRESS DISPLAY");
    l.hyperlinks.push_back(
        {ParseCell(w[1], rows, cols), xl::Hyperlink{Unescape(w[2]), Unescape(w[3]), Unescape(w[4])}});
  } else if (key == "filter") {
    Expect(w, 2, 2, "filter AREA");
    l.autoFilter = ParseArea(w[1], rows, cols);
  } else if (key == "page") {
    Expect(w, 3, 3, "page PROPERTY VALUE");
    ReadPageEntry(l.pageSetup, w[1], w[2]);
  } else if (key == "protect") {
    Expect(w, 1, 2, "protect [allow-formatting]");
    if (w.size() == 2 && w[1] != "allow-formatting") throw Failure("protect takes only 'allow-formatting'");
    l.protection = xl::Protection{.AllowFormattingCells = w.size() == 2};
  } else if (key == "cell") {
    Expect(w, 3, 3, "cell CELL FIELD");
    cells.push_back({ParseCell(w[1], rows, cols), Unescape(w[2])});
  } else if (key == "value") {
    Expect(w, 4, 4, "value CELL number|text|boolean|error VALUE");
    values.push_back({ParseCell(w[1], rows, cols), ParseCachedValue(w[2], w[3])});
  } else {
    throw Failure("unknown entry '" + key + "'");
  }
}

}  // namespace

std::string LayoutFileText(const SheetLayout& l, const std::vector<FieldCell>& cells,
                           const std::vector<CachedValue>& values, long rows, long cols) {
  Writer w;
  w.Entry({std::string(kMagic), std::string(kVersion)});
  const auto area = [&](const xl::Area& a) { return Address(a, rows, cols); };
  const auto cell = [&](const xl::CellPos& c) { return Address({c.row, c.col, c.row, c.col}, rows, cols); };
  for (const FormatArea& f : l.formats) {
    std::vector<std::string> words{"format", area(f.area)};
    for (std::string& p : FormatWords(f.format)) words.push_back(std::move(p));
    w.Entry(words);
  }
  for (const ColumnWidth& c : l.columnWidths) {
    w.Entry({"width", std::to_string(c.columns.first), std::to_string(c.columns.last), Number(c.width)});
  }
  for (const Band& b : l.hiddenColumns) w.Entry({"hide-columns", std::to_string(b.first), std::to_string(b.last)});
  for (const RowHeight& h : l.rowHeights) {
    w.Entry({"height", std::to_string(h.rows.first), std::to_string(h.rows.last), Number(h.height)});
  }
  for (const Band& b : l.hiddenRows) w.Entry({"hide-rows", std::to_string(b.first), std::to_string(b.last)});
  for (const xl::Area& m : l.merges) w.Entry({"merge", area(m)});
  for (const CellComment& c : l.comments) {
    const xl::CommentData& d = c.comment;
    std::vector<std::string> words{"comment",
                                   cell(c.cell),
                                   Escape(d.text),
                                   d.visible ? "shown" : "hidden",
                                   std::to_string(d.fillColor),
                                   Number(d.top),
                                   Number(d.left),
                                   Number(d.width),
                                   Number(d.height)};
    if (d.autoSize) words.emplace_back("auto-size");
    w.Entry(words);
  }
  for (const CellHyperlink& h : l.hyperlinks) {
    w.Entry({"link", cell(h.cell), Escape(h.link.Address), Escape(h.link.SubAddress), Escape(h.link.TextToDisplay)});
  }
  if (l.autoFilter) w.Entry({"filter", area(*l.autoFilter)});
  WritePageSetup(w, l.pageSetup);
  if (l.protection) {
    if (l.protection->AllowFormattingCells) {
      w.Entry({"protect", "allow-formatting"});
    } else {
      w.Entry({"protect"});
    }
  }
  for (const FieldCell& c : cells) w.Entry({"cell", cell(c.cell), Escape(c.field)});
  for (const CachedValue& v : values) {
    auto [type, word] = CachedValueWords(v.value);
    w.Entry({"value", cell(v.cell), std::move(type), std::move(word)});
  }
  return w.Take();
}

bool LayoutFileEmpty(std::string_view text) {
  std::size_t lines = 0;
  for (const char c : text) lines += c == '\n';
  return lines <= 1;
}

void ReadLayoutFile(std::string_view text, long rows, long cols, SheetLayout& l, std::vector<FieldCell>& cells,
                    std::vector<CachedValue>& values) {
  const std::string version = ReadEntries(text, kMagic, {kVersion}, [&](std::string_view, std::vector<std::string>& w) {
    ReadLayoutEntry(w, rows, cols, l, cells, values);
  });
  if (version.empty()) throw Failure("the file is empty");
  // The sheet stores a format for each cell of an area that is not whole columns.
  std::int64_t formatted = 0;
  for (const FormatArea& f : l.formats) {
    if (f.area.row1 != 1 || f.area.row2 != rows) formatted += f.area.Cells();
  }
  if (formatted > kMostFormattedCells) {
    throw Failure("holds format areas covering " + std::to_string(formatted) + " cells, more than the " +
                  std::to_string(kMostFormattedCells) + " a sheet is given formats for");
  }
}

}  // namespace quillary::workbook
