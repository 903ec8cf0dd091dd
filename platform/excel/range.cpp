#include "platform/excel/range.h"

#include <algorithm>
#include <limits>

#include "platform/runtime/error.h"

namespace quillary::xl {

namespace {

[[noreturn]] void RaiseRange(const char* what) {
  Raise(err::kApplication, std::string("Application-defined or object-defined error (") + what + ")");
}

void CheckInSheet(const Worksheet& sheet, const Area& a) {
  if (a.row1 < 1 || a.col1 < 1 || a.row2 > sheet.RowsCount() || a.col2 > sheet.ColumnsCount() || a.row1 > a.row2 ||
      a.col1 > a.col2) {
    RaiseRange("outside the sheet");
  }
}

Variant Combine(const Variant& a, const Variant& b) { return a == b ? a : Variant::Null(); }

}  // namespace

// ----- construction and geometry -----

Range::Range(Worksheet& sheet, const Area& area) : sheet_(&sheet), first_(area) {}

Range::Range(Worksheet& sheet, std::vector<Area> areas) : sheet_(&sheet) {
  if (areas.empty()) Raise(err::kApplication, "A range needs at least one area");
  first_ = areas.front();
  if (areas.size() > 1) all_ = std::move(areas);
}

std::span<const Area> Range::AreaList() const {
  if (all_.empty()) return {&first_, 1};
  return all_;
}

std::int64_t Range::Count() const {
  std::int64_t n = 0;
  for (const Area& a : AreaList()) n += a.Cells();
  return n;
}

long Range::AreasCount() const { return static_cast<long>(AreaList().size()); }

Range Range::Areas(long index) const {
  auto list = AreaList();
  if (index < 1 || index > static_cast<long>(list.size())) {
    Raise(err::kApplication, "Unable to get the Item property of the Areas class");
  }
  return Range(*sheet_, list[static_cast<std::size_t>(index - 1)]);
}

Range Range::Offset(long rows, long cols) const {
  if (all_.empty()) {
    Area a{first_.row1 + rows, first_.col1 + cols, first_.row2 + rows, first_.col2 + cols};
    CheckInSheet(*sheet_, a);
    return Range(*sheet_, a);
  }
  std::vector<Area> moved;
  for (Area a : AreaList()) {
    a.row1 += rows;
    a.row2 += rows;
    a.col1 += cols;
    a.col2 += cols;
    CheckInSheet(*sheet_, a);
    moved.push_back(a);
  }
  return Range(*sheet_, std::move(moved));
}

Range Range::Cells(long row, long col) const {
  const long r = first_.row1 + row - 1;
  const long c = first_.col1 + col - 1;
  Area a{r, c, r, c};
  CheckInSheet(*sheet_, a);
  return Range(*sheet_, a);
}

Range Range::Rows(long index) const {
  const long r = first_.row1 + index - 1;
  Area a{r, first_.col1, r, first_.col2};
  CheckInSheet(*sheet_, a);
  return Range(*sheet_, a);
}

Range Range::Columns(long index) const {
  const long c = first_.col1 + index - 1;
  Area a{first_.row1, c, first_.row2, c};
  CheckInSheet(*sheet_, a);
  return Range(*sheet_, a);
}

Range Range::EntireRow() const {
  std::vector<Area> out;
  for (const Area& a : AreaList()) out.push_back({a.row1, 1, a.row2, sheet_->ColumnsCount()});
  return Range(*sheet_, std::move(out));
}

Range Range::EntireColumn() const {
  std::vector<Area> out;
  for (const Area& a : AreaList()) out.push_back({1, a.col1, sheet_->RowsCount(), a.col2});
  return Range(*sheet_, std::move(out));
}

bool Range::IsEntireColumns() const {
  for (const Area& a : AreaList()) {
    if (a.row1 != 1 || a.row2 != sheet_->RowsCount()) return false;
  }
  return true;
}

bool Range::IsEntireRows() const {
  for (const Area& a : AreaList()) {
    if (a.col1 != 1 || a.col2 != sheet_->ColumnsCount()) return false;
  }
  return true;
}

Text Range::Address() const {
  Text out;
  for (const Area& a : AreaList()) {
    if (!out.empty()) out += u',';
    out += AreaAddress(a, sheet_->RowsCount(), sheet_->ColumnsCount());
  }
  return out;
}

bool operator==(const Range& a, const Range& b) {
  if (a.sheet_ != b.sheet_) return false;
  auto la = a.AreaList();
  auto lb = b.AreaList();
  return std::equal(la.begin(), la.end(), lb.begin(), lb.end());
}

// ----- values -----

Variant Range::Value() const { return sheet_->CellValue(first_.row1, first_.col1); }

void Range::SetValue(const Variant& value) const {
  for (const Area& a : AreaList()) sheet_->SetValue(a, value);
}

std::vector<Variant> Range::Values() const {
  std::vector<Variant> out;
  Values(out);
  return out;
}

void Range::Values(std::vector<Variant>& out) const { sheet_->ReadValues(first_, out); }

void Range::SetValues(std::span<const Variant> values) const { sheet_->WriteValues(first_, values); }

Text Range::Formula() const { return sheet_->CellFormula(first_.row1, first_.col1); }

void Range::SetFormula(TextView formula) const { SetValue(Variant(Text(formula))); }

bool Range::HasFormula() const {
  for (const Area& a : AreaList()) {
    for (long c = a.col1; c <= a.col2; ++c) {
      for (long r = a.row1; r <= a.row2; ++r) {
        if (!sheet_->CellHasFormula(r, c)) return false;
      }
    }
  }
  return true;
}

void Range::ClearContents() const { sheet_->ClearContents(AreaList()); }
void Range::ClearFormats() const { sheet_->ClearFormats(AreaList()); }
void Range::ClearComments() const { sheet_->ClearComments(AreaList()); }

// ----- navigation and search -----

Range Range::End(long direction) const {
  CellPos p = sheet_->End(first_.row1, first_.col1, direction);
  return Range(*sheet_, Area{p.row, p.col, p.row, p.col});
}

std::optional<Range> Range::Find(const FindArgs& args) const {
  auto hit = sheet_->Find(AreaList(), args);
  if (!hit) return std::nullopt;
  return Range(*sheet_, Area{hit->row, hit->col, hit->row, hit->col});
}

std::optional<Range> Range::FindNext(const Range* after) const {
  std::optional<CellPos> from;
  if (after) from = CellPos{after->Row(), after->Column()};
  auto hit = sheet_->FindNext(AreaList(), from);
  if (!hit) return std::nullopt;
  return Range(*sheet_, Area{hit->row, hit->col, hit->row, hit->col});
}

void Range::Sort(const SortArgs& args) const { sheet_->Sort(first_, args); }

// ----- merged cells, selection -----

Range Range::MergeArea() const {
  auto m = sheet_->MergedAreaAt(first_.row1, first_.col1);
  return Range(*sheet_, m ? *m : Area{first_.row1, first_.col1, first_.row1, first_.col1});
}

bool Range::MergeCells() const { return sheet_->MergedAreaAt(first_.row1, first_.col1).has_value(); }

void Range::SetMergeCells(bool merged) const {
  for (const Area& a : AreaList()) {
    if (merged) {
      sheet_->Merge(a);
    } else {
      sheet_->UnMerge(a);
    }
  }
}

void Range::Merge() const { SetMergeCells(true); }
void Range::UnMerge() const { SetMergeCells(false); }

void Range::Select() const { sheet_->Select(AreaList()); }

void Range::Activate() const { sheet_->Activate(first_); }

// ----- protection and visibility -----

Variant Range::Locked() const {
  std::optional<Variant> v;
  for (const Area& a : AreaList()) {
    Variant x = sheet_->GetFormat(a, FormatKey::Locked);
    v = v ? Combine(*v, x) : x;
  }
  return *v;
}

void Range::SetLocked(bool locked) const {
  for (const Area& a : AreaList()) sheet_->SetFormat(a, FormatKey::Locked, locked);
}

Variant Range::Hidden() const {
  std::optional<Variant> v;
  const bool rows = IsEntireRows();
  if (!rows && !IsEntireColumns()) {
    Raise(err::kApplication, "Unable to get the Hidden property of the Range class");
  }
  for (const Area& a : AreaList()) {
    Variant x = rows ? sheet_->RowsHidden(a.row1, a.row2) : sheet_->ColumnsHidden(a.col1, a.col2);
    v = v ? Combine(*v, x) : x;
  }
  return *v;
}

void Range::SetHidden(bool hidden) const {
  const bool rows = IsEntireRows();
  if (!rows && !IsEntireColumns()) {
    Raise(err::kApplication, "Unable to set the Hidden property of the Range class");
  }
  for (const Area& a : AreaList()) {
    if (rows) {
      sheet_->SetRowsHidden(a.row1, a.row2, hidden);
    } else {
      sheet_->SetColumnsHidden(a.col1, a.col2, hidden);
    }
  }
}

// ----- formats -----

namespace {

Variant GetOver(const Range& r, FormatKey key, long index = 0) {
  std::optional<Variant> v;
  for (const Area& a : r.AreaList()) {
    Variant x = r.Parent().GetFormat(a, key, index);
    v = v ? Combine(*v, x) : x;
  }
  return *v;
}

void SetOver(const Range& r, FormatKey key, const Variant& value, long index = 0) {
  for (const Area& a : r.AreaList()) r.Parent().SetFormat(a, key, value, index);
}

}  // namespace

xl::Font Range::Font() const { return xl::Font(*this); }
xl::Interior Range::Interior() const { return xl::Interior(*this); }
xl::Borders Range::Borders(long index) const { return xl::Borders(*this, index); }

Variant Range::HorizontalAlignment() const { return GetOver(*this, FormatKey::HorizontalAlignment); }
void Range::SetHorizontalAlignment(long alignment) const { SetOver(*this, FormatKey::HorizontalAlignment, alignment); }
Variant Range::VerticalAlignment() const { return GetOver(*this, FormatKey::VerticalAlignment); }
void Range::SetVerticalAlignment(long alignment) const { SetOver(*this, FormatKey::VerticalAlignment, alignment); }
Variant Range::NumberFormat() const { return GetOver(*this, FormatKey::NumberFormat); }
void Range::SetNumberFormat(TextView format) const { SetOver(*this, FormatKey::NumberFormat, Variant(Text(format))); }
Variant Range::WrapText() const { return GetOver(*this, FormatKey::WrapText); }
void Range::SetWrapText(bool wrap) const { SetOver(*this, FormatKey::WrapText, wrap); }

Variant Range::ColumnWidth() const { return sheet_->ColumnWidth(first_.col1, first_.col2); }
void Range::SetColumnWidth(double width) const {
  for (const Area& a : AreaList()) sheet_->SetColumnWidth(a.col1, a.col2, width);
}
Variant Range::RowHeight() const { return sheet_->RowHeight(first_.row1, first_.row2); }
void Range::SetRowHeight(double height) const {
  for (const Area& a : AreaList()) sheet_->SetRowHeight(a.row1, a.row2, height);
}
void Range::AutoFitColumns() const { sheet_->AutoFitColumns(first_); }
void Range::AutoFitRows() const { sheet_->AutoFitRows(first_); }
double Range::Left() const { return sheet_->CellLeft(first_.col1); }
double Range::Top() const { return sheet_->CellTop(first_.row1); }
double Range::Width() const {
  double width = 0;
  for (long c = first_.col1; c <= first_.col2; ++c) width += sheet_->CellWidth(c);
  return width;
}

Variant Font::Bold() const { return GetOver(range_, FormatKey::FontBold); }
void Font::SetBold(bool bold) const { SetOver(range_, FormatKey::FontBold, bold); }
Variant Font::ColorIndex() const { return GetOver(range_, FormatKey::FontColorIndex); }
void Font::SetColorIndex(long index) const { SetOver(range_, FormatKey::FontColorIndex, index); }
Variant Font::Underline() const { return GetOver(range_, FormatKey::FontUnderline); }
void Font::SetUnderline(long style) const { SetOver(range_, FormatKey::FontUnderline, style); }

Variant Interior::Color() const { return GetOver(range_, FormatKey::InteriorColor); }
void Interior::SetColor(long color) const { SetOver(range_, FormatKey::InteriorColor, color); }
Variant Interior::Pattern() const { return GetOver(range_, FormatKey::InteriorPattern); }
void Interior::SetPattern(long pattern) const { SetOver(range_, FormatKey::InteriorPattern, pattern); }

Variant Borders::LineStyle() const { return GetOver(range_, FormatKey::BorderLineStyle, index_); }
void Borders::SetLineStyle(long style) const { SetOver(range_, FormatKey::BorderLineStyle, style, index_); }
Variant Borders::Weight() const { return GetOver(range_, FormatKey::BorderWeight, index_); }
void Borders::SetWeight(long weight) const { SetOver(range_, FormatKey::BorderWeight, weight, index_); }

// ----- comments and hyperlinks -----

std::optional<Comment> Range::Comment() const {
  if (!sheet_->CellComment(first_.row1, first_.col1)) return std::nullopt;
  return xl::Comment(Cells(1, 1));
}

Comment Range::AddComment(TextView text) const {
  if (sheet_->CellComment(first_.row1, first_.col1)) {
    Raise(err::kApplication, "Application-defined or object-defined error (the cell has a comment)");
  }
  CommentData data;
  data.text = Text(text);
  sheet_->SetCellComment(first_.row1, first_.col1, data);
  return xl::Comment(Cells(1, 1));
}

long Range::HyperlinksCount() const {
  long n = 0;
  for (const Area& a : AreaList()) n += static_cast<long>(sheet_->CellHyperlinks(a).size());
  return n;
}

Hyperlink Range::Hyperlinks(long index) const {
  std::vector<Hyperlink> all;
  for (const Area& a : AreaList()) {
    auto h = sheet_->CellHyperlinks(a);
    all.insert(all.end(), h.begin(), h.end());
  }
  if (index < 1 || index > static_cast<long>(all.size())) Raise(err::kSubscript, "Subscript out of range");
  return all[static_cast<std::size_t>(index - 1)];
}

CommentData Comment::Data() const {
  auto c = cell_.Parent().CellComment(cell_.Row(), cell_.Column());
  if (!c) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  return *c;
}

void Comment::Store(const CommentData& data) const { cell_.Parent().SetCellComment(cell_.Row(), cell_.Column(), data); }

quillary::Text Comment::Text() const { return Data().text; }
void Comment::SetText(TextView text) const {
  auto d = Data();
  d.text = quillary::Text(text);
  Store(d);
}
bool Comment::Visible() const { return Data().visible; }
void Comment::SetVisible(bool visible) const {
  auto d = Data();
  d.visible = visible;
  Store(d);
}
bool Comment::AutoSize() const { return Data().autoSize; }
void Comment::SetAutoSize(bool on) const {
  auto d = Data();
  d.autoSize = on;
  if (on) {
    // A deterministic fit: 6 points per character of the longest line, 12 per line.
    std::size_t longest = 0, lines = 1, cur = 0;
    for (char16_t ch : d.text) {
      if (ch == u'\n') {
        ++lines;
        cur = 0;
      } else {
        longest = std::max(longest, ++cur);
      }
    }
    d.width = 6.0 * static_cast<double>(std::max<std::size_t>(longest, 1)) + 6;
    d.height = 12.0 * static_cast<double>(lines) + 6;
  }
  Store(d);
}
long Comment::FillColor() const { return Data().fillColor; }
void Comment::SetFillColor(long color) const {
  auto d = Data();
  d.fillColor = color;
  Store(d);
}
double Comment::Top() const { return Data().top; }
void Comment::SetTop(double v) const {
  auto d = Data();
  d.top = v;
  Store(d);
}
double Comment::Left() const { return Data().left; }
void Comment::SetLeft(double v) const {
  auto d = Data();
  d.left = v;
  Store(d);
}
double Comment::Width() const { return Data().width; }
void Comment::SetWidth(double v) const {
  auto d = Data();
  d.width = v;
  Store(d);
}
double Comment::Height() const { return Data().height; }
void Comment::SetHeight(double v) const {
  auto d = Data();
  d.height = v;
  Store(d);
}
void Comment::Delete() const {
  Data();
  cell_.Parent().SetCellComment(cell_.Row(), cell_.Column(), std::nullopt);
}

// ----- fill and structure -----

void Range::AutoFill(const Range& destination) const {
  if (&destination.Parent() != sheet_) Raise(err::kApplication, "AutoFill method of Range class failed");
  sheet_->AutoFill(first_, destination.FirstArea());
}

void Range::DataSeries(const DataSeriesArgs& args) const { sheet_->DataSeries(first_, args); }
void Range::AutoFilter() const { sheet_->AutoFilter(first_); }

void Range::Insert() const {
  // Columns are inserted from the right so that earlier positions stay valid.
  auto list = AreaList();
  std::vector<Area> areas(list.begin(), list.end());
  std::sort(areas.begin(), areas.end(), [](const Area& a, const Area& b) { return a.col1 > b.col1; });
  for (const Area& a : areas) sheet_->InsertColumns(a.col1, a.col2);
}

void Range::Delete() const {
  auto list = AreaList();
  std::vector<Area> areas(list.begin(), list.end());
  std::sort(areas.begin(), areas.end(), [](const Area& a, const Area& b) { return a.col1 > b.col1; });
  for (const Area& a : areas) sheet_->DeleteColumns(a.col1, a.col2);
}

void Range::TextToColumns(const TextToColumnsArgs& args) const {
  if (AreasCount() != 1 || first_.col1 != first_.col2) {
    Raise(err::kApplication, "TextToColumns can only convert one column at a time");
  }
  sheet_->TextToColumns(first_, args);
}

// ---------------------------------------------------------------------------------------
// Addresses
// ---------------------------------------------------------------------------------------

Text ColumnLetters(long col) {
  Text out;
  while (col > 0) {
    const long d = (col - 1) % 26;
    out.insert(out.begin(), static_cast<char16_t>(u'A' + d));
    col = (col - 1) / 26;
  }
  return out;
}

namespace {

Text Num(long n) {
  Text out;
  std::string s = std::to_string(n);
  out.assign(s.begin(), s.end());
  return out;
}

}  // namespace

Text AreaAddress(const Area& a, long rowsCount, long colsCount) {
  const bool allRows = a.row1 == 1 && a.row2 == rowsCount;
  const bool allCols = a.col1 == 1 && a.col2 == colsCount;
  if (allRows && !allCols) {
    return u"$" + ColumnLetters(a.col1) + u":$" + ColumnLetters(a.col2);
  }
  if (allCols) return u"$" + Num(a.row1) + u":$" + Num(a.row2);
  Text out = u"$" + ColumnLetters(a.col1) + u"$" + Num(a.row1);
  if (a.row1 != a.row2 || a.col1 != a.col2) {
    out += u":$" + ColumnLetters(a.col2) + u"$" + Num(a.row2);
  }
  return out;
}

Text AreaAddressR1C1(const Area& a, long rowsCount, long colsCount) {
  const bool allRows = a.row1 == 1 && a.row2 == rowsCount;
  const bool allCols = a.col1 == 1 && a.col2 == colsCount;
  if (allRows && !allCols) {
    Text out = u"C" + Num(a.col1);
    if (a.col2 != a.col1) out += u":C" + Num(a.col2);
    return out;
  }
  if (allCols) {
    Text out = u"R" + Num(a.row1);
    if (a.row2 != a.row1) out += u":R" + Num(a.row2);
    return out;
  }
  Text out = u"R" + Num(a.row1) + u"C" + Num(a.col1);
  if (a.row1 != a.row2 || a.col1 != a.col2) out += u":R" + Num(a.row2) + u"C" + Num(a.col2);
  return out;
}

Text SheetPrefix(TextView sheetName) {
  bool plain = !sheetName.empty() && !(sheetName[0] >= u'0' && sheetName[0] <= u'9');
  for (char16_t c : sheetName) {
    const bool word = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' ||
                      c == u'.' || c > 0x7F;
    if (!word) plain = false;
  }
  if (plain) return Text(sheetName) + u"!";
  Text out = u"'";
  for (char16_t c : sheetName) {
    out += c;
    if (c == u'\'') out += u'\'';
  }
  return out + u"'!";
}

namespace {

// A small cursor over the reference text.
struct Cursor {
  TextView s;
  std::size_t i = 0;
  bool AtEnd() const { return i >= s.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : s[i]; }
  bool Eat(char16_t c) {
    if (Peek() != c) return false;
    ++i;
    return true;
  }
  bool EatNoCase(char16_t upper) {
    if (Peek() == upper || Peek() == upper + 32) {
      ++i;
      return true;
    }
    return false;
  }
  void SkipBlanks() {
    while (Peek() == u' ') ++i;
  }
  // Digits as a number (at most 9 digits); nullopt when there are none.
  std::optional<long> Number() {
    std::size_t start = i;
    long n = 0;
    while (Peek() >= u'0' && Peek() <= u'9') {
      if (i - start >= 9) return std::nullopt;
      n = n * 10 + (Peek() - u'0');
      ++i;
    }
    if (i == start) return std::nullopt;
    return n;
  }
  std::optional<long> Letters() {
    std::size_t start = i;
    long n = 0;
    while (true) {
      char16_t c = Peek();
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
      if (c < u'A' || c > u'Z') break;
      if (i - start >= 3) return std::nullopt;
      n = n * 26 + (c - u'A' + 1);
      ++i;
    }
    if (i == start) return std::nullopt;
    return n;
  }
};

// Reads an optional "=" and "Sheet!" / "'Sheet'!" prefix.
std::optional<Text> ReadPrefix(Cursor& cur) {
  cur.Eat(u'=');
  if (cur.Peek() == u'\'') {
    Text name;
    ++cur.i;
    while (true) {
      if (cur.AtEnd()) return std::nullopt;
      char16_t c = cur.s[cur.i++];
      if (c == u'\'') {
        if (cur.Eat(u'\'')) {
          name += u'\'';
          continue;
        }
        break;
      }
      name += c;
    }
    if (!cur.Eat(u'!')) {
      cur.i = cur.s.size() + 1;  // invalid
      return std::nullopt;
    }
    return name;
  }
  auto bang = cur.s.find(u'!', cur.i);
  if (bang == TextView::npos) return std::nullopt;
  Text name(cur.s.substr(cur.i, bang - cur.i));
  cur.i = bang + 1;
  return name;
}

// One A1 area: "A1", "$A$1", "A1:B2", "A:C", "3:5".
std::optional<Area> ReadA1Area(Cursor& cur, long rowsCount, long colsCount) {
  struct Part {
    std::optional<long> col, row;
  };
  auto readPart = [&]() -> std::optional<Part> {
    Part p;
    cur.Eat(u'$');
    std::size_t save = cur.i;
    p.col = cur.Letters();
    if (p.col) {
      std::size_t afterCol = cur.i;
      cur.Eat(u'$');
      p.row = cur.Number();
      if (!p.row) cur.i = afterCol;
    } else {
      cur.i = save;
      p.row = cur.Number();
    }
    if (!p.col && !p.row) return std::nullopt;
    return p;
  };
  auto a = readPart();
  if (!a) return std::nullopt;
  std::optional<Part> b;
  if (cur.Eat(u':')) {
    b = readPart();
    if (!b) return std::nullopt;
  }
  Area out;
  if (a->col && a->row) {
    Part second = b ? *b : *a;
    if (!second.col || !second.row) return std::nullopt;
    out = {std::min(*a->row, *second.row), std::min(*a->col, *second.col), std::max(*a->row, *second.row),
           std::max(*a->col, *second.col)};
  } else if (a->col) {  // whole columns: both parts letters only
    if (!b || !b->col || b->row) return std::nullopt;
    out = {1, std::min(*a->col, *b->col), rowsCount, std::max(*a->col, *b->col)};
  } else {  // whole rows
    if (!b || b->col || !b->row) return std::nullopt;
    out = {std::min(*a->row, *b->row), 1, std::max(*a->row, *b->row), colsCount};
  }
  if (out.row1 < 1 || out.col1 < 1 || out.row2 > rowsCount || out.col2 > colsCount) return std::nullopt;
  return out;
}

// One absolute R1C1 area: "R1C1", "R1C1:R2C3", "R3", "R3:R5", "C2", "C2:C4".
std::optional<Area> ReadR1C1Area(Cursor& cur, long rowsCount, long colsCount) {
  struct Part {
    std::optional<long> row, col;
  };
  auto readPart = [&]() -> std::optional<Part> {
    Part p;
    if (cur.EatNoCase(u'R')) {
      p.row = cur.Number();
      if (!p.row) return std::nullopt;
    }
    if (cur.EatNoCase(u'C')) {
      p.col = cur.Number();
      if (!p.col) return std::nullopt;
    }
    if (!p.row && !p.col) return std::nullopt;
    return p;
  };
  auto a = readPart();
  if (!a) return std::nullopt;
  Part b = *a;
  if (cur.Eat(u':')) {
    auto second = readPart();
    if (!second) return std::nullopt;
    b = *second;
  }
  if (a->row.has_value() != b.row.has_value() || a->col.has_value() != b.col.has_value()) return std::nullopt;
  Area out;
  out.row1 = a->row ? std::min(*a->row, *b.row) : 1;
  out.row2 = a->row ? std::max(*a->row, *b.row) : rowsCount;
  out.col1 = a->col ? std::min(*a->col, *b.col) : 1;
  out.col2 = a->col ? std::max(*a->col, *b.col) : colsCount;
  if (out.row1 < 1 || out.col1 < 1 || out.row2 > rowsCount || out.col2 > colsCount) return std::nullopt;
  return out;
}

template <class ReadArea>
std::optional<Reference> ParseList(TextView text, ReadArea readArea) {
  Cursor cur{text};
  Reference ref;
  cur.SkipBlanks();
  ref.sheet = ReadPrefix(cur);
  if (cur.i > text.size()) return std::nullopt;
  while (true) {
    cur.SkipBlanks();
    auto a = readArea(cur);
    if (!a) return std::nullopt;
    ref.areas.push_back(*a);
    cur.SkipBlanks();
    if (cur.AtEnd()) break;
    if (!cur.Eat(u',')) return std::nullopt;
  }
  return ref;
}

}  // namespace

std::optional<Reference> ParseA1(TextView text, long rowsCount, long colsCount) {
  return ParseList(text, [&](Cursor& c) { return ReadA1Area(c, rowsCount, colsCount); });
}

std::optional<Reference> ParseR1C1(TextView text, long rowsCount, long colsCount) {
  return ParseList(text, [&](Cursor& c) { return ReadR1C1Area(c, rowsCount, colsCount); });
}

bool IsValidName(TextView name) {
  const auto start = [](char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u'\\' || c > 0x7F;
  };
  const auto inner = [&](char16_t c) { return start(c) || (c >= u'0' && c <= u'9') || c == u'.' || c == u'?'; };
  if (name.empty() || name.size() > 255 || !start(name[0]) || !std::all_of(name.begin(), name.end(), inner)) {
    return false;
  }
  const auto single = [&](char16_t letter) { return name.size() == 1 && (name[0] | 0x20) == letter; };
  return !ParseA1(name, kLargeGridRows, kLargeGridColumns) && !ParseR1C1(name, kLargeGridRows, kLargeGridColumns) &&
         !single(u'r') && !single(u'c');
}

}  // namespace quillary::xl
