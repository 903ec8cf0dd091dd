// The in-memory worksheet: identity, references, values, formats, comments, merged
// cells, selection and the column structure. End, Find and Sort are in
// memory_search.cpp; AutoFill, DataSeries, TextToColumns and Paste in memory_fill.cpp.
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "platform/excel/memory/internal/objects.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::xl::memory {

namespace {

Variant Combine(std::optional<Variant>& acc, const Variant& v) {
  if (!acc) {
    acc = v;
  } else if (!(*acc == v)) {
    acc = Variant::Null();
  }
  return *acc;
}

Area Bounding(const Area& a, const Area& b) {
  return {std::min(a.row1, b.row1), std::min(a.col1, b.col1), std::max(a.row2, b.row2), std::max(a.col2, b.col2)};
}

// The text of a value split into lines: the number of lines and the longest line (of
// either kind of stored characters).
template <class Chars>
std::pair<std::size_t, std::size_t> LineMeasure(Chars s) {
  std::size_t lines = 1, longest = 0, cur = 0;
  for (const auto c : s) {
    if (c == '\n') {
      ++lines;
      cur = 0;
    } else {
      longest = std::max(longest, ++cur);
    }
  }
  return {lines, longest};
}

// Calls visit(row) for each non-empty row of the column within [row1, row2], from the
// top, over the column's runs.
template <class Visit>
void ForEachFilled(const internal::Column& col, long row1, long row2, Visit&& visit) {
  const std::map<long, long>& runs = col.Runs();
  auto it = runs.upper_bound(row1);
  if (it != runs.begin() && std::prev(it)->second >= row1) --it;
  for (; it != runs.end() && it->first <= row2; ++it) {
    for (long r = std::max(it->first, row1), last = std::min(it->second, row2); r <= last; ++r) visit(r);
  }
}

}  // namespace

MemoryWorksheet::MemoryWorksheet(MemoryWorkbook& book, Text name)
    : book_(book),
      name_(std::move(name)),
      rows_(book.RowsCount()),
      cols_(book.ColumnsCount()),
      selection_{Area{1, 1, 1, 1}},
      names_(book, this) {}

MemoryWorksheet::~MemoryWorksheet() = default;

Workbook& MemoryWorksheet::Parent() { return book_; }

void MemoryWorksheet::Live() const {
  if (deleted_) Raise(424, "Object required");
}

Column* MemoryWorksheet::Col(long col) const {
  if (col < 1 || col > static_cast<long>(columns_.size())) return nullptr;
  return columns_[static_cast<std::size_t>(col - 1)].get();
}

Column& MemoryWorksheet::EnsureCol(long col) {
  if (static_cast<long>(columns_.size()) < col) columns_.resize(static_cast<std::size_t>(col));
  auto& p = columns_[static_cast<std::size_t>(col - 1)];
  if (!p) p = std::make_unique<Column>(book_.Formats(), rows_, sheetFormat_, cellChanges_);
  return *p;
}

void MemoryWorksheet::CheckCell(long row, long col) const {
  if (row < 1 || row > rows_ || col < 1 || col > cols_) {
    Raise(err::kApplication, "Application-defined or object-defined error");
  }
}

void MemoryWorksheet::CheckArea(const Area& a) const {
  CheckCell(a.row1, a.col1);
  CheckCell(a.row2, a.col2);
  if (a.row1 > a.row2 || a.col1 > a.col2) Raise(err::kApplication, "Application-defined or object-defined error");
}

void MemoryWorksheet::CheckWritable(const Area& a, const char* member) {
  if (!protected_) return;
  Variant locked = FormatOver(a, FormatKey::Locked, 0);
  if (!(locked.IsBoolean() && !locked.AsBool())) {
    Raise(err::kApplication,
          std::string(member) + ": The cell or chart you're trying to change is on a protected sheet.");
  }
}

void MemoryWorksheet::CheckFormattable(const char* member) {
  if (protected_ && !protection_.AllowFormattingCells) {
    Raise(err::kApplication, std::string("Unable to set the ") + member + " property: the sheet is protected.");
  }
}

// ----- identity -----

void MemoryWorksheet::SetName(TextView name) {
  Live();
  book_.App().CheckFailure("Worksheet.Name");
  bool ok = !name.empty() && name.size() <= 31 && name.front() != u'\'' && name.back() != u'\'';
  for (char16_t c : name) {
    if (c == u':' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'[' || c == u']') ok = false;
  }
  if (!ok) Raise(err::kApplication, "Application-defined or object-defined error (invalid sheet name)");
  MemoryWorksheet* other = book_.FindSheet(name);
  if (other && other != this) {
    Raise(err::kApplication, "That name is already taken. Try a different one.");
  }
  name_ = Text(name);
}

long MemoryWorksheet::Index() const { return book_.SheetIndex(*this); }

void MemoryWorksheet::SetVisible(long visible) {
  Live();
  if (visible != xlSheetVisible && visible != xlSheetHidden && visible != xlSheetVeryHidden) {
    Raise(err::kApplication, "Unable to set the Visible property of the Worksheet class");
  }
  if (visible != xlSheetVisible && visible_ == xlSheetVisible) {
    MemoryWorksheet* next = nullptr;
    for (auto& s : book_.SheetList()) {
      if (s.get() != this && s->Visible() == xlSheetVisible && !next) next = s.get();
    }
    if (!next) Raise(err::kApplication, "Unable to set the Visible property of the Worksheet class");
    if (&book_.ActiveMemorySheet() == this) book_.SetActiveSheet(*next);
  }
  visible_ = visible;
}

void MemoryWorksheet::Activate() {
  Live();
  // The application cannot activate a hidden sheet.
  if (visible_ != xlSheetVisible) Raise(err::kApplication, "Activate method of Worksheet class failed");
  book_.Activate();
  book_.SetActiveSheet(*this);
}

void MemoryWorksheet::Select() { Activate(); }

void MemoryWorksheet::Delete() {
  Live();
  book_.DeleteSheet(*this);
}

// ----- references -----

xl::Range MemoryWorksheet::Resolve(TextView reference) {
  Live();
  auto fail = [] { Raise(err::kApplication, "Method 'Range' of object '_Worksheet' failed"); };
  auto onThisSheet = [&](const std::optional<Text>& sheet) {
    if (sheet && !text_order::EqualNoCase(*sheet, name_)) fail();
  };
  if (auto ref = ParseA1(reference, rows_, cols_)) {
    onThisSheet(ref->sheet);
    return xl::Range(*this, std::move(ref->areas));
  }
  std::vector<Area> areas;
  std::size_t start = 0;
  while (start <= reference.size()) {
    std::size_t comma = reference.find(u',', start);
    if (comma == TextView::npos) comma = reference.size();
    TextView part = reference.substr(start, comma - start);
    while (!part.empty() && part.front() == u' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == u' ') part.remove_suffix(1);
    if (auto ref = ParseA1(part, rows_, cols_)) {
      onThisSheet(ref->sheet);
      areas.insert(areas.end(), ref->areas.begin(), ref->areas.end());
    } else {
      MemoryName* n = names_.Lookup(part);
      if (!n) n = book_.BookNames().Lookup(part);
      if (!n || n->Target() != this) fail();
      areas.insert(areas.end(), n->Areas().begin(), n->Areas().end());
    }
    start = comma + 1;
  }
  if (areas.empty()) fail();
  return xl::Range(*this, std::move(areas));
}

xl::Range MemoryWorksheet::Range(TextView reference) { return Resolve(reference); }

xl::Range MemoryWorksheet::Range(const xl::Range& cell1, const xl::Range& cell2) {
  Live();
  if (&cell1.Parent() != this || &cell2.Parent() != this) {
    Raise(err::kApplication, "Method 'Range' of object '_Worksheet' failed");
  }
  return xl::Range(*this, Bounding(cell1.FirstArea(), cell2.FirstArea()));
}

xl::Range MemoryWorksheet::Range(TextView cell1, TextView cell2) { return Range(Resolve(cell1), Resolve(cell2)); }

xl::Range MemoryWorksheet::Cells(long row, long col) {
  Live();
  CheckCell(row, col);
  return xl::Range(*this, Area{row, col, row, col});
}

xl::Range MemoryWorksheet::Rows(long row) {
  CheckCell(row, 1);
  return xl::Range(*this, Area{row, 1, row, cols_});
}

xl::Range MemoryWorksheet::Columns(long col) {
  CheckCell(1, col);
  return xl::Range(*this, Area{1, col, rows_, col});
}

xl::Range MemoryWorksheet::UsedRange() {
  Live();
  std::optional<Area> box = formatBox_;
  auto add = [&](const Area& a) { box = box ? Bounding(*box, a) : a; };
  for (long c = 1; c <= static_cast<long>(columns_.size()); ++c) {
    Column* col = Col(c);
    if (!col) continue;
    if (auto first = col->FirstFilled()) add({*first, c, *col->LastFilled(), c});
  }
  for (const auto& [pos, data] : comments_) add({pos.first, pos.second, pos.first, pos.second});
  // Merging is a format of the cells.
  for (const Area& m : merges_.All()) add(m);
  return xl::Range(*this, box ? *box : Area{1, 1, 1, 1});
}

void MemoryWorksheet::Protect(const xl::Protection& options) {
  Live();
  protected_ = true;
  protection_ = options;
}

void MemoryWorksheet::Unprotect() {
  protected_ = false;
  protection_ = {};
}

std::vector<xl::Range> MemoryWorksheet::Comments() {
  std::vector<xl::Range> out;
  for (const auto& [pos, data] : comments_) out.emplace_back(*this, Area{pos.first, pos.second, pos.first, pos.second});
  return out;
}

void MemoryWorksheet::AddHyperlink(const xl::Range& anchor, TextView address, TextView subAddress,
                                   TextView textToDisplay) {
  Live();
  if (&anchor.Parent() != this) Raise(err::kApplication, "Method 'Add' of object 'Hyperlinks' failed");
  const long r = anchor.Row(), c = anchor.Column();
  CheckWritable({r, c, r, c}, "Hyperlinks.Add");
  links_[{r, c}] = {Hyperlink{Text(address), Text(subAddress), Text(textToDisplay)}};
  if (!textToDisplay.empty()) {
    EnterCell(r, c, Variant(Text(textToDisplay)));
  } else if (!Col(c) || !Col(c)->IsFilled(r)) {
    EnterCell(r, c, Variant(Text(address.empty() ? subAddress : address)));
  }
}

// ----- values -----

Variant MemoryWorksheet::CellValue(long row, long col) {
  Live();
  CheckCell(row, col);
  const Column* c = Col(col);
  return c ? c->Value(row) : Variant();
}

void MemoryWorksheet::ReadValues(const Area& area, std::vector<Variant>& out) {
  Live();
  CheckArea(area);
  const auto cols = static_cast<std::size_t>(area.Columns());
  out.resize(static_cast<std::size_t>(area.Cells()));
  for (long c = area.col1; c <= area.col2; ++c) {
    Variant* first = out.data() + (c - area.col1);
    if (const Column* col = Col(c)) {
      col->ReadValues(area.row1, area.row2, first, cols);
    } else {
      for (long r = area.row1; r <= area.row2; ++r, first += cols) *first = Variant();
    }
  }
}

void MemoryWorksheet::WriteValues(const Area& area, std::span<const Variant> values) {
  Live();
  CheckArea(area);
  if (static_cast<std::int64_t>(values.size()) != area.Cells()) {
    Raise(err::kApplication, "The number of values does not match the range");
  }
  book_.App().CheckFailure("Range.Value");
  CheckWritable(area, "Range.Value");
  const auto cols = static_cast<std::size_t>(area.Columns());
  for (long c = area.col1; c <= area.col2; ++c) {
    Column& col = EnsureCol(c);
    const Variant* v = values.data() + (c - area.col1);
    for (long r = area.row1; r <= area.row2; ++r, v += cols) col.Enter(r, *v);
  }
}

std::size_t MemoryWorksheet::HeldTextBytes(long col) const {
  const Column* c = Col(col);
  return c ? c->HeldTextBytes() : 0;
}

Column* MemoryWorksheet::EntryColumn(long row1, long col, std::size_t count) {
  Live();
  if (count == 0) return nullptr;
  const long row2 = row1 + static_cast<long>(count) - 1;
  CheckArea({row1, col, row2, col});
  CheckWritable({row1, col, row2, col}, "Range.Value");
  return &EnsureCol(col);
}

void MemoryWorksheet::EnterTexts(long row1, long col, std::span<const TextView> typed) {
  Column* c = EntryColumn(row1, col, typed.size());
  long r = row1;
  for (const TextView t : typed) c->EnterTyped(r++, t);
}

void MemoryWorksheet::StoreCells(long row1, long col, std::span<const FileCell> cells) {
  Column* c = EntryColumn(row1, col, cells.size());
  Text scratch;
  long r = row1;
  for (const FileCell& cell : cells) c->StoreFileCell(r++, cell, scratch);
}

void MemoryWorksheet::EnterCell(long row, long col, const Variant& value) {
  CheckCell(row, col);
  EnsureCol(col).Enter(row, value);
}

void MemoryWorksheet::ClearCells(std::span<const Area> areas) {
  for (const Area& a : areas) {
    for (long c = a.col1; c <= std::min<long>(a.col2, static_cast<long>(columns_.size())); ++c) {
      if (Column* col = Col(c)) col->ClearRows(a.row1, a.row2);
    }
  }
}

void MemoryWorksheet::SetValue(const Area& area, const Variant& value) {
  Live();
  CheckArea(area);
  book_.App().CheckFailure("Range.Value");
  CheckWritable(area, "Range.Value");
  const bool clears = value.IsEmpty() || value.IsNull() || (value.IsText() && value.AsText().empty());
  if (clears) {
    ClearCells(std::span<const Area>(&area, 1));
    return;
  }
  for (long c = area.col1; c <= area.col2; ++c) {
    Column& col = EnsureCol(c);
    for (long r = area.row1; r <= area.row2; ++r) col.Enter(r, value);
  }
}

Text MemoryWorksheet::CellFormula(long row, long col) {
  Live();
  CheckCell(row, col);
  const Column* c = Col(col);
  return c ? c->FormulaText(row) : Text();
}

bool MemoryWorksheet::CellHasFormula(long row, long col) {
  Live();
  CheckCell(row, col);
  const Column* c = Col(col);
  return c && c->Kind(row) == internal::CellKind::Formula;
}

FileCell FileCellOf(const Variant& value, TextView formula) {
  FileCell cell{.type = value.Type(), .formula = formula};
  switch (value.Type()) {
    case VarType::Number: cell.number = value.AsNumber(); break;
    case VarType::Boolean: cell.boolean = value.AsBool(); break;
    case VarType::Error: cell.error = value.AsError(); break;
    case VarType::String: cell.text = value.AsText(); break;
    case VarType::Empty:
    case VarType::Null: cell.type = VarType::Empty; break;
  }
  return cell;
}

bool MemoryWorksheet::CellHasCachedValue(long row, long col) {
  Live();
  CheckCell(row, col);
  const Column* c = Col(col);
  return c && c->HasCachedValue(row);
}

void MemoryWorksheet::ClearContents(std::span<const Area> areas) {
  Live();
  book_.App().CheckFailure("Range.ClearContents");
  for (const Area& a : areas) {
    CheckArea(a);
    merges_.ForEachOverlapping(a, [&](const Area& m) {
      if (!a.Contains(m)) Raise(err::kApplication, "Cannot change part of a merged cell.");
    });
    CheckWritable(a, "Range.ClearContents");
  }
  ClearCells(areas);
}

std::int64_t MemoryWorksheet::CountFilled(const Area& area) {
  Live();
  std::int64_t n = 0;
  for (long c = area.col1; c <= std::min<long>(area.col2, static_cast<long>(columns_.size())); ++c) {
    if (Column* col = Col(c)) n += col->CountFilled(area.row1, area.row2);
  }
  return n;
}

// ----- formats -----

namespace {

// The sub-areas and cell edges that a border index of an area stands for.
std::vector<std::pair<Area, long>> BorderParts(const Area& a, long index) {
  std::vector<std::pair<Area, long>> parts;
  switch (index) {
    case 0:
      for (long e : {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight}) parts.push_back({a, e});
      break;
    case xlDiagonalDown:
    case xlDiagonalUp: parts.push_back({a, index}); break;
    case xlEdgeLeft: parts.push_back({{a.row1, a.col1, a.row2, a.col1}, xlEdgeLeft}); break;
    case xlEdgeRight: parts.push_back({{a.row1, a.col2, a.row2, a.col2}, xlEdgeRight}); break;
    case xlEdgeTop: parts.push_back({{a.row1, a.col1, a.row1, a.col2}, xlEdgeTop}); break;
    case xlEdgeBottom: parts.push_back({{a.row2, a.col1, a.row2, a.col2}, xlEdgeBottom}); break;
    case xlInsideVertical:
      if (a.col1 < a.col2) {
        parts.push_back({{a.row1, a.col1, a.row2, a.col2 - 1}, xlEdgeRight});
        parts.push_back({{a.row1, a.col1 + 1, a.row2, a.col2}, xlEdgeLeft});
      }
      break;
    case xlInsideHorizontal:
      if (a.row1 < a.row2) {
        parts.push_back({{a.row1, a.col1, a.row2 - 1, a.col2}, xlEdgeBottom});
        parts.push_back({{a.row1 + 1, a.col1, a.row2, a.col2}, xlEdgeTop});
      }
      break;
    default: Raise(err::kApplication, "Unable to get the Item property of the Borders class");
  }
  return parts;
}

bool IsBorderKey(FormatKey key) { return key == FormatKey::BorderLineStyle || key == FormatKey::BorderWeight; }

}  // namespace

Variant MemoryWorksheet::FormatOver(const Area& area, FormatKey key, long edge) {
  std::optional<Variant> acc;
  std::optional<std::uint32_t> lastId;
  const FormatTable& table = book_.Formats();
  auto visit = [&](std::uint32_t id) {
    if (lastId && *lastId == id) return;
    lastId = id;
    Combine(acc, ReadFormat(table.Get(id), key, edge));
  };
  for (long c = area.col1; c <= area.col2; ++c) {
    const Column* col = Col(c);
    if (!col) {
      visit(sheetFormat_);
    } else {
      const long stored = std::min(area.row2, col->StoredRows());
      for (long r = area.row1; r <= stored; ++r) visit(col->FormatAt(r));
      if (area.row2 > col->StoredRows()) visit(col->DefaultFormat());
    }
    if (acc && acc->IsNull()) break;
  }
  return *acc;
}

Variant MemoryWorksheet::GetFormat(const Area& area, FormatKey key, long index) {
  Live();
  CheckArea(area);
  if (!IsBorderKey(key)) return FormatOver(area, key, 0);
  std::optional<Variant> acc;
  for (const auto& [part, edge] : BorderParts(area, index)) Combine(acc, FormatOver(part, key, edge));
  return acc ? *acc : Variant::Null();
}

template <class Change>
void MemoryWorksheet::Reformat(const Area& area, Change&& change) {
  const bool allRows = area.row1 == 1 && area.row2 == rows_;
  const bool allCols = area.col1 == 1 && area.col2 == cols_;
  if (allRows && allCols) sheetFormat_ = change(sheetFormat_);
  for (long c = area.col1; c <= area.col2; ++c) {
    if (allRows && allCols && !Col(c)) continue;
    Column& col = EnsureCol(c);
    if (allRows) {
      col.SetDefaultFormat(change(col.DefaultFormat()));
      for (long r = 1; r <= col.StoredRows(); ++r) col.SetFormatAt(r, change(col.FormatAt(r)));
    } else {
      for (long r = area.row1; r <= area.row2; ++r) col.SetFormatAt(r, change(col.FormatAt(r)));
    }
  }
  if (!allRows) formatBox_ = formatBox_ ? Bounding(*formatBox_, area) : area;
}

void MemoryWorksheet::FormatCells(const Area& area, FormatKey key, long edge, const Variant& value) {
  FormatTable& table = book_.Formats();
  // Each format met is changed once; neighbouring cells mostly share theirs.
  std::unordered_map<std::uint32_t, std::uint32_t> memo;
  std::optional<std::pair<std::uint32_t, std::uint32_t>> last;
  Reformat(area, [&](std::uint32_t id) {
    if (last && last->first == id) return last->second;
    auto it = memo.find(id);
    if (it == memo.end()) {
      CellFormat f = table.Get(id);
      WriteFormat(f, key, edge, value);
      it = memo.emplace(id, table.Intern(f)).first;
    }
    last.emplace(id, it->second);
    return it->second;
  });
}

void MemoryWorksheet::PutFormat(const Area& area, const CellFormat& f) {
  Live();
  CheckArea(area);
  CheckFormattable("format");
  const std::uint32_t id = book_.Formats().Intern(f);
  Reformat(area, [id](std::uint32_t) { return id; });
}

namespace {

// Joins equal runs (first row, last row, format) of neighbouring columns into areas.
class RunJoiner {
 public:
  explicit RunJoiner(const std::function<void(const Area&, std::uint32_t)>& emit) : emit_(emit) {}
  // The runs of the next column, `col`, top to bottom.
  void Column(long col, const std::vector<std::array<std::uint32_t, 3>>& runs) {
    std::map<std::array<std::uint32_t, 3>, Area> next;
    for (const auto& run : runs) {
      auto it = open_.find(run);
      if (it != open_.end() && it->second.col2 == col - 1) {
        it->second.col2 = col;
        next.insert(open_.extract(it));
      } else {
        next.emplace(run, Area{static_cast<long>(run[0]), col, static_cast<long>(run[1]), col});
      }
    }
    Flush();
    open_ = std::move(next);
  }
  void Flush() {
    for (const auto& [run, area] : open_) emit_(area, run[2]);
    open_.clear();
  }

 private:
  const std::function<void(const Area&, std::uint32_t)>& emit_;
  std::map<std::array<std::uint32_t, 3>, Area> open_;
};

}  // namespace

void MemoryWorksheet::VisitFormats(const std::function<void(const Area&, const CellFormat&)>& visit) const {
  const FormatTable& table = book_.Formats();
  if (sheetFormat_ != 0) visit({1, 1, rows_, cols_}, table.Get(sheetFormat_));
  const std::function<void(const Area&, std::uint32_t)> emit = [&](const Area& a, std::uint32_t id) {
    visit(a, table.Get(id));
  };
  const auto rows = static_cast<std::uint32_t>(rows_);
  std::vector<std::array<std::uint32_t, 3>> runs;
  // The columns' own formats.
  RunJoiner columns(emit);
  for (long c = 1; c <= StoredColumns(); ++c) {
    runs.clear();
    const Column* col = Col(c);
    if (col && col->DefaultFormat() != sheetFormat_) runs.push_back({1, rows, col->DefaultFormat()});
    columns.Column(c, runs);
  }
  columns.Flush();
  // The stored cells that differ from their column.
  RunJoiner cells(emit);
  for (long c = 1; c <= StoredColumns(); ++c) {
    runs.clear();
    if (const Column* col = Col(c)) {
      const std::uint32_t base = col->DefaultFormat();
      const internal::Cell* stored = col->CellAt(1);
      for (long r = 0; r < col->StoredRows(); ++r) {
        const std::uint32_t id = stored[r].Format();
        if (id == base) continue;
        if (!runs.empty() && runs.back()[1] == static_cast<std::uint32_t>(r) && runs.back()[2] == id) {
          runs.back()[1] = static_cast<std::uint32_t>(r + 1);
        } else {
          runs.push_back({static_cast<std::uint32_t>(r + 1), static_cast<std::uint32_t>(r + 1), id});
        }
      }
    }
    cells.Column(c, runs);
  }
  cells.Flush();
}

std::optional<long> MemoryWorksheet::NextFilledRow(long col, long row) const {
  const Column* c = Col(col);
  return c ? c->NextFilled(row) : std::nullopt;
}

std::vector<std::pair<long, long>> MemoryWorksheet::HiddenRowBands() const {
  std::vector<std::pair<long, long>> bands;
  const long size = static_cast<long>(rowHidden_.size());
  for (long r = 1; r < size; ++r) {
    if (!rowHidden_[static_cast<std::size_t>(r)]) continue;
    if (!bands.empty() && bands.back().second == r - 1) {
      bands.back().second = r;
    } else {
      bands.emplace_back(r, r);
    }
  }
  return bands;
}

std::vector<std::pair<CellPos, Hyperlink>> MemoryWorksheet::HyperlinkCells() const {
  std::vector<std::pair<CellPos, Hyperlink>> out;
  for (const auto& [pos, links] : links_) {
    for (const Hyperlink& link : links) out.emplace_back(CellPos{pos.first, pos.second}, link);
  }
  return out;
}

void MemoryWorksheet::SetFormat(const Area& area, FormatKey key, const Variant& value, long index) {
  Live();
  CheckArea(area);
  if (key == FormatKey::Locked && protected_) {
    Raise(err::kApplication, "Unable to set the Locked property of the Range class");
  }
  CheckFormattable("format");
  if (!IsBorderKey(key)) {
    FormatCells(area, key, 0, value);
    return;
  }
  if (index == 0) {
    // Borders without an index: every edge of every cell, the diagonals left alone.
    for (long e : {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight}) FormatCells(area, key, e, value);
    return;
  }
  for (const auto& [part, edge] : BorderParts(area, index)) FormatCells(part, key, edge, value);
}

void MemoryWorksheet::ClearFormats(std::span<const Area> areas) {
  Live();
  CheckFormattable("format");
  for (const Area& a : areas) {
    CheckArea(a);
    const bool allRows = a.row1 == 1 && a.row2 == rows_;
    if (allRows && a.col1 == 1 && a.col2 == cols_) sheetFormat_ = 0;
    for (long c = a.col1; c <= std::min<long>(a.col2, static_cast<long>(columns_.size())); ++c) {
      Column* col = Col(c);
      if (!col) continue;
      if (allRows) col->SetDefaultFormat(0);
      for (long r = a.row1; r <= std::min(a.row2, col->StoredRows()); ++r) col->SetFormatAt(r, 0);
    }
  }
  // Recompute the box of formatted cells.
  formatBox_.reset();
  for (long c = 1; c <= static_cast<long>(columns_.size()); ++c) {
    Column* col = Col(c);
    if (!col) continue;
    for (long r = 1; r <= col->StoredRows(); ++r) {
      if (col->FormatAt(r) != col->DefaultFormat()) {
        Area cell{r, c, r, c};
        formatBox_ = formatBox_ ? Bounding(*formatBox_, cell) : cell;
      }
    }
  }
}

// ----- rows and columns -----

Variant MemoryWorksheet::RowsHidden(long row1, long row2) {
  Live();
  CheckArea({row1, 1, row2, 1});
  std::optional<Variant> acc;
  for (long r = row1; r <= row2; ++r) {
    const bool h = static_cast<std::size_t>(r) < rowHidden_.size() && rowHidden_[static_cast<std::size_t>(r)];
    Combine(acc, h);
    if (acc->IsNull()) break;
  }
  return *acc;
}

void MemoryWorksheet::SetRowsHidden(long row1, long row2, bool hidden) {
  Live();
  CheckArea({row1, 1, row2, 1});
  if (rowHidden_.size() <= static_cast<std::size_t>(row2)) {
    if (!hidden) return;
    rowHidden_.resize(static_cast<std::size_t>(rows_) + 1, 0);
  }
  std::fill(rowHidden_.begin() + row1, rowHidden_.begin() + row2 + 1, hidden ? 1 : 0);
}

Variant MemoryWorksheet::ColumnsHidden(long col1, long col2) {
  Live();
  CheckArea({1, col1, 1, col2});
  std::optional<Variant> acc;
  for (long c = col1; c <= col2; ++c) {
    const Column* col = Col(c);
    Combine(acc, col ? col->hidden : false);
  }
  return *acc;
}

void MemoryWorksheet::SetColumnsHidden(long col1, long col2, bool hidden) {
  Live();
  CheckArea({1, col1, 1, col2});
  for (long c = col1; c <= col2; ++c) {
    if (hidden || Col(c)) EnsureCol(c).hidden = hidden;
  }
}

Variant MemoryWorksheet::ColumnWidth(long col1, long col2) {
  Live();
  CheckArea({1, col1, 1, col2});
  std::optional<Variant> acc;
  for (long c = col1; c <= col2; ++c) {
    const Column* col = Col(c);
    Combine(acc, col ? col->width : kDefaultColumnWidth);
  }
  return *acc;
}

void MemoryWorksheet::SetColumnWidth(long col1, long col2, double width) {
  Live();
  CheckArea({1, col1, 1, col2});
  if (width < 0 || width > 255) Raise(err::kApplication, "Unable to set the ColumnWidth property of the Range class");
  for (long c = col1; c <= col2; ++c) {
    Column& col = EnsureCol(c);
    col.width = width;
    col.widthSet = true;
  }
}

Variant MemoryWorksheet::RowHeight(long row1, long row2) {
  Live();
  CheckArea({row1, 1, row2, 1});
  std::optional<Variant> acc;
  // Rows without their own height share the default; only the rows listed can differ.
  auto it = rowHeight_.lower_bound(row1);
  const long listed = static_cast<long>(std::distance(it, rowHeight_.upper_bound(row2)));
  if (listed < row2 - row1 + 1) Combine(acc, kDefaultRowHeight);
  for (; it != rowHeight_.end() && it->first <= row2; ++it) Combine(acc, it->second);
  return *acc;
}

void MemoryWorksheet::SetRowHeight(long row1, long row2, double height) {
  Live();
  CheckArea({row1, 1, row2, 1});
  if (height < 0 || height > 409) Raise(err::kApplication, "Unable to set the RowHeight property of the Range class");
  for (long r = row1; r <= row2; ++r) {
    if (height == kDefaultRowHeight) {
      rowHeight_.erase(r);
    } else {
      rowHeight_[r] = height;
    }
  }
}

void MemoryWorksheet::AutoFitColumns(const Area& area) {
  Live();
  CheckArea(area);
  for (long c = area.col1; c <= area.col2; ++c) {
    Column* col = Col(c);
    if (!col) continue;
    std::size_t longest = 0;
    bool any = false;
    Text scratch;
    ForEachFilled(*col, area.row1, area.row2, [&](long r) {
      longest =
          std::max(longest, col->WithSearchChars(r, xlValues, scratch, [](auto s) { return LineMeasure(s).second; }));
      any = true;
    });
    if (any) {
      col->width = std::min(255.0, static_cast<double>(longest) + 0.71);
      col->widthSet = true;
    }
  }
}

void MemoryWorksheet::AutoFitRows(const Area& area) {
  Live();
  CheckArea(area);
  // The rows whose shown text runs over more than one line, and their most lines.
  std::map<long, std::size_t> lines;
  Text scratch;
  for (long c = area.col1; c <= std::min<long>(area.col2, static_cast<long>(columns_.size())); ++c) {
    Column* col = Col(c);
    if (!col) continue;
    // A number shows on more lines only through a line break in its format; a boolean
    // or an error value never does.
    std::optional<std::pair<std::uint32_t, bool>> formatBreaks;
    const auto mayBreak = [&](long r) {
      switch (col->Kind(r)) {
        case internal::CellKind::Text:
        case internal::CellKind::Formula: return true;
        case internal::CellKind::Number: {
          const std::uint32_t format = col->FormatAt(r);
          if (!formatBreaks || formatBreaks->first != format) {
            formatBreaks.emplace(format, book_.Formats().Get(format).numberFormat.find(u'\n') != Text::npos);
          }
          return formatBreaks->second;
        }
        default: return false;
      }
    };
    ForEachFilled(*col, area.row1, area.row2, [&](long r) {
      if (!mayBreak(r)) return;
      const std::size_t n = col->WithSearchChars(r, xlValues, scratch, [](auto s) { return LineMeasure(s).first; });
      if (n > 1) lines[r] = std::max(lines[r], n);
    });
  }
  // Rows of the area without text go back to the default height.
  for (auto it = rowHeight_.lower_bound(area.row1); it != rowHeight_.end() && it->first <= area.row2;) {
    it = rowHeight_.erase(it);
  }
  for (const auto& [r, n] : lines) rowHeight_[r] = std::min(409.0, kDefaultRowHeight * static_cast<double>(n));
}

double MemoryWorksheet::CellLeft(long col) {
  Live();
  CheckCell(1, col);
  double left = 0;
  for (long c = 1; c < col; ++c) left += CellWidth(c);
  return left;
}

double MemoryWorksheet::CellWidth(long col) {
  Live();
  CheckCell(1, col);
  const Column* p = Col(col);
  if (p && p->hidden) return 0;
  const double chars = p ? p->width : kDefaultColumnWidth;
  return chars <= 0 ? 0 : (std::floor(chars * 7 + 0.5) + 5) * 0.75;
}

double MemoryWorksheet::CellTop(long row) {
  Live();
  CheckCell(row, 1);
  double top = kDefaultRowHeight * static_cast<double>(row - 1);
  for (auto it = rowHeight_.begin(); it != rowHeight_.end() && it->first < row; ++it) {
    top += it->second - kDefaultRowHeight;
  }
  const long hiddenUpTo = std::min<long>(row, static_cast<long>(rowHidden_.size()));
  for (long r = 1; r < hiddenUpTo; ++r) {
    if (rowHidden_[static_cast<std::size_t>(r)]) {
      auto h = rowHeight_.find(r);
      top -= h == rowHeight_.end() ? kDefaultRowHeight : h->second;
    }
  }
  return top;
}

// ----- comments and hyperlinks -----

std::optional<CommentData> MemoryWorksheet::CellComment(long row, long col) {
  Live();
  CheckCell(row, col);
  auto it = comments_.find({row, col});
  if (it == comments_.end()) return std::nullopt;
  return it->second;
}

void MemoryWorksheet::SetCellComment(long row, long col, std::optional<CommentData> comment) {
  Live();
  CheckCell(row, col);
  auto it = comments_.find({row, col});
  if (comment && it == comments_.end()) {
    book_.App().CheckFailure("Range.AddComment");
    CheckWritable({row, col, row, col}, "Range.AddComment");
    comment->left = CellLeft(col) + 60;
    comment->top = CellTop(row);
  }
  if (comment) {
    comments_[{row, col}] = *comment;
  } else if (it != comments_.end()) {
    CheckWritable({row, col, row, col}, "Comment.Delete");
    comments_.erase(it);
  }
}

void MemoryWorksheet::ClearComments(std::span<const Area> areas) {
  Live();
  // Every comment may go before any does.
  for (const Area& a : areas) {
    CheckArea(a);
    for (const auto& [cell, comment] : comments_) {
      if (a.Contains(cell.first, cell.second)) {
        CheckWritable({cell.first, cell.second, cell.first, cell.second}, "Range.ClearComments");
      }
    }
  }
  for (const Area& a : areas) {
    std::erase_if(comments_, [&](const auto& entry) { return a.Contains(entry.first.first, entry.first.second); });
  }
}

std::vector<Hyperlink> MemoryWorksheet::CellHyperlinks(const Area& area) {
  Live();
  std::vector<Hyperlink> out;
  // Row by row through the links ordered by (row, column): each row costs one look-up.
  for (auto it = links_.lower_bound({area.row1, area.col1}); it != links_.end() && it->first.first <= area.row2;) {
    const auto [row, col] = it->first;
    if (col < area.col1) {
      it = links_.lower_bound({row, area.col1});
    } else if (col > area.col2) {
      it = links_.lower_bound({row + 1, area.col1});
    } else {
      out.insert(out.end(), it->second.begin(), it->second.end());
      ++it;
    }
  }
  return out;
}

// ----- merged cells and selection -----

std::optional<Area> MemoryWorksheet::MergedAreaAt(long row, long col) {
  Live();
  std::optional<Area> found;
  merges_.ForEachOverlapping({row, col, row, col}, [&](const Area& m) { found = m; });
  return found;
}

void MemoryWorksheet::Merge(const Area& area) {
  Live();
  CheckArea(area);
  if (area.row1 == area.row2 && area.col1 == area.col2) return;
  CheckWritable(area, "Range.Merge");
  // Merged areas that the new one covers are absorbed; partly covered ones grow it.
  const Area merged = WidenToMerges({area}).front();
  std::vector<Area> absorbed;
  merges_.ForEachOverlapping(merged, [&](const Area& m) { absorbed.push_back(m); });
  for (const Area& m : absorbed) merges_.Remove(m);
  // The merged cell keeps the value of its upper-left cell.
  std::vector<Area> others;
  if (merged.col2 > merged.col1) others.push_back({merged.row1, merged.col1 + 1, merged.row2, merged.col2});
  if (merged.row2 > merged.row1) others.push_back({merged.row1 + 1, merged.col1, merged.row2, merged.col1});
  ClearCells(others);
  merges_.Add(merged);
}

void MemoryWorksheet::UnMerge(const Area& area) {
  Live();
  std::vector<Area> parted;
  merges_.ForEachOverlapping(area, [&](const Area& m) { parted.push_back(m); });
  for (const Area& m : parted) merges_.Remove(m);
}

std::vector<Area> MemoryWorksheet::WidenToMerges(std::vector<Area> areas) const {
  for (Area& a : areas) {
    // Each merged area the area takes in part widens it, until none is left in part.
    for (bool grew = true; grew;) {
      Area wider = a;
      merges_.ForEachOverlapping(a, [&](const Area& m) { wider = Bounding(wider, m); });
      grew = !(wider == a);
      a = wider;
    }
  }
  return areas;
}

void MemoryWorksheet::Select(std::span<const Area> areas) {
  Live();
  book_.App().CheckFailure("Range.Select");
  for (const Area& a : areas) CheckArea(a);
  selection_ = WidenToMerges(std::vector<Area>(areas.begin(), areas.end()));
  active_ = {selection_.front().row1, selection_.front().col1};
}

void MemoryWorksheet::Activate(const Area& area) {
  Live();
  CheckArea(area);
  for (const Area& a : selection_) {
    if (a.Contains(area)) {
      active_ = {area.row1, area.col1};
      return;
    }
  }
  selection_ = WidenToMerges({area});
  auto m = MergedAreaAt(area.row1, area.col1);
  active_ = m ? CellPos{m->row1, m->col1} : CellPos{area.row1, area.col1};
}

// ----- column structure -----

void MemoryWorksheet::ShiftColumns(long from, long by) {
  columnsMoved_ = true;
  // Moves everything at or right of `from` by `by` columns; with by < 0 the columns
  // [from + by, from - 1] have gone and what lay in them is dropped.
  auto moveCol = [&](long c) -> std::optional<long> {
    if (c < from) return (by < 0 && c >= from + by) ? std::nullopt : std::optional<long>(c);
    long n = c + by;
    if (n > cols_) return std::nullopt;
    return n;
  };
  std::map<std::pair<long, long>, CommentData> comments;
  for (auto& [pos, d] : comments_) {
    if (auto c = moveCol(pos.second)) comments[{pos.first, *c}] = d;
  }
  comments_ = std::move(comments);
  std::map<std::pair<long, long>, std::vector<Hyperlink>> links;
  for (auto& [pos, d] : links_) {
    if (auto c = moveCol(pos.second)) links[{pos.first, *c}] = d;
  }
  links_ = std::move(links);
  const std::vector<Area> merges = merges_.All();
  merges_.Clear();
  for (const Area& m : merges) {
    auto c1 = moveCol(m.col1), c2 = moveCol(m.col2);
    if (c1 && c2) merges_.Add({m.row1, *c1, m.row2, *c2});
  }
}

void MemoryWorksheet::InsertColumns(long col1, long col2) {
  Live();
  CheckArea({1, col1, 1, col2});
  book_.App().CheckFailure("Range.Insert");
  if (protected_) Raise(err::kApplication, "Insert method of Range class failed");
  const long n = col2 - col1 + 1;
  for (long c = cols_ - n + 1; c <= cols_; ++c) {
    Column* col = Col(c);
    if (col && col->FirstFilled()) {
      Raise(err::kApplication, "To prevent possible loss of data, cells cannot be shifted off the worksheet.");
    }
  }
  if (static_cast<long>(columns_.size()) >= col1) {
    std::vector<std::unique_ptr<Column>> fresh(static_cast<std::size_t>(n));
    columns_.insert(columns_.begin() + (col1 - 1), std::make_move_iterator(fresh.begin()),
                    std::make_move_iterator(fresh.end()));
    if (static_cast<long>(columns_.size()) > cols_) columns_.resize(static_cast<std::size_t>(cols_));
    ++cellChanges_;
  }
  ShiftColumns(col1, n);
}

void MemoryWorksheet::DeleteColumns(long col1, long col2) {
  Live();
  CheckArea({1, col1, 1, col2});
  if (protected_) Raise(err::kApplication, "Delete method of Range class failed");
  const long size = static_cast<long>(columns_.size());
  if (size >= col1) {
    columns_.erase(columns_.begin() + (col1 - 1), columns_.begin() + std::min(col2, size));
    ++cellChanges_;
  }
  ShiftColumns(col2 + 1, -(col2 - col1 + 1));
}

void MemoryWorksheet::AutoFilter(const Area& area) {
  Live();
  CheckArea(area);
  if (filter_) {
    filter_.reset();
  } else {
    filter_ = area;
  }
}

}  // namespace quillary::xl::memory
