#include "platform/excel/memory/cells.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {

// ----- Cell -----

Cell::Cell(Cell&& other) noexcept
    : u_(other.u_), kind_(other.kind_), prefixed_(other.prefixed_), format_(other.format_) {
  other.kind_ = CellKind::Empty;
  other.prefixed_ = false;
}

Cell& Cell::operator=(Cell&& other) noexcept {
  if (this != &other) {
    Release();
    u_ = other.u_;
    kind_ = other.kind_;
    prefixed_ = other.prefixed_;
    format_ = other.format_;
    other.kind_ = CellKind::Empty;
    other.prefixed_ = false;
  }
  return *this;
}

void Cell::Release() {
  if (kind_ == CellKind::Text || kind_ == CellKind::Formula) delete u_.text;
  kind_ = CellKind::Empty;
  prefixed_ = false;
}

void Cell::Clear() { Release(); }

void Cell::SetNumber(double n) {
  Release();
  u_.number = n;
  kind_ = CellKind::Number;
}

void Cell::SetBoolean(bool b) {
  Release();
  u_.boolean = b;
  kind_ = CellKind::Boolean;
}

void Cell::SetError(CellError e) {
  Release();
  u_.error = e;
  kind_ = CellKind::Error;
}

void Cell::SetText(Text s, bool prefixed) {
  Text* p = new Text(std::move(s));
  Release();
  u_.text = p;
  kind_ = CellKind::Text;
  prefixed_ = prefixed;
}

void Cell::SetFormula(Text source) {
  Text* p = new Text(std::move(source));
  Release();
  u_.text = p;
  kind_ = CellKind::Formula;
}

Variant Cell::Value() const {
  switch (kind_) {
    case CellKind::Empty: return Variant();
    case CellKind::Number: return Variant(u_.number);
    case CellKind::Text: return Variant(*u_.text);
    case CellKind::Boolean: return Variant(u_.boolean);
    case CellKind::Error: return Variant(u_.error);
    case CellKind::Formula: return EvaluateFormula(*u_.text);
  }
  return Variant();
}

Text Cell::FormulaText() const {
  switch (kind_) {
    case CellKind::Text: return prefixed_ ? u"'" + *u_.text : *u_.text;
    case CellKind::Formula: return *u_.text;
    default: return DisplayText(Value());
  }
}

// ----- entry rules -----

namespace {

bool IsBlank(char16_t c) { return c == u' '; }

TextView TrimBlanks(TextView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsAsciiNoCase(TextView s, std::string_view upper) {
  if (s.size() != upper.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    if (c != static_cast<char16_t>(upper[i])) return false;
  }
  return true;
}

Text Cut(Text s) {
  if (s.size() > kMaxCellText) s.resize(kMaxCellText);
  return s;
}

}  // namespace

std::optional<double> ParseTypedNumber(TextView s) {
  s = TrimBlanks(s);
  std::string ascii;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') ascii += '-';
    ++i;
  }
  int significant = 0;
  bool anyDigit = false, point = false, seenNonZero = false;
  for (; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= u'0' && c <= u'9') {
      anyDigit = true;
      if (c != u'0') seenNonZero = true;
      char d = static_cast<char>(c);
      if (seenNonZero) {
        if (++significant > 15) d = '0';
      }
      ascii += d;
    } else if (c == u'.' && !point) {
      point = true;
      ascii += '.';
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
    ascii += 'e';
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    bool expDigit = false;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && ascii.size() < 40) {
      ascii += static_cast<char>(s[i++]);
      expDigit = true;
    }
    if (!expDigit) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  double v = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  if (v == 0) v = 0;  // no negative zero
  return v;
}

Variant EvaluateFormula(TextView source) {
  TextView body = source;
  if (!body.empty() && body.front() == u'=') body.remove_prefix(1);
  body = TrimBlanks(body);
  if (body.size() >= 2 && body.front() == u'"' && body.back() == u'"') {
    Text out;
    TextView inner = body.substr(1, body.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
      if (inner[i] == u'"') {
        if (i + 1 < inner.size() && inner[i + 1] == u'"') {
          out += u'"';
          ++i;
          continue;
        }
        return Variant(CellError::Name);
      }
      out += inner[i];
    }
    return Variant(Cut(std::move(out)));
  }
  if (auto n = ParseTypedNumber(body)) return Variant(*n);
  if (EqualsAsciiNoCase(body, "TRUE")) return Variant(true);
  if (EqualsAsciiNoCase(body, "FALSE")) return Variant(false);
  return Variant(CellError::Name);
}

Text DisplayText(const Variant& v) {
  switch (v.Type()) {
    case VarType::Number: return vba::NumberText(v.AsNumber());
    case VarType::String: return v.AsText();
    case VarType::Boolean: return v.AsBool() ? u"TRUE" : u"FALSE";
    case VarType::Error: return CellErrorText(v.AsError());
    default: return Text();
  }
}

void EnterValue(Cell& cell, const Variant& value, bool textFormat) {
  switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null: cell.Clear(); return;
    case VarType::Number: cell.SetNumber(value.AsNumber()); return;
    case VarType::Boolean: cell.SetBoolean(value.AsBool()); return;
    case VarType::Error: cell.SetError(value.AsError()); return;
    case VarType::String: break;
  }
  const Text& s = value.AsText();
  if (s.empty()) {
    cell.Clear();
  } else if (s.front() == u'\'') {
    cell.SetText(Cut(s.substr(1)), true);
  } else if (textFormat) {
    cell.SetText(Cut(s), false);
  } else if (s.front() == u'=' && s.size() > 1) {
    cell.SetFormula(Cut(s));
  } else if (EqualsAsciiNoCase(s, "TRUE")) {
    cell.SetBoolean(true);
  } else if (EqualsAsciiNoCase(s, "FALSE")) {
    cell.SetBoolean(false);
  } else if (auto n = ParseTypedNumber(s)) {
    cell.SetNumber(*n);
  } else {
    cell.SetText(Cut(s), false);
  }
}

// ----- RowSet -----

namespace {
constexpr std::size_t kSmallRowSet = 64;
}

// Rows added in ascending order (as an index is built, or a column filled downwards)
// are appended to the vector however many there are; the first change elsewhere in a
// long vector turns it into a set for good.
void RowSet::Insert(long row) {
  if (big_) {
    big_->insert(row);
    return;
  }
  if (small_.empty() || row > small_.back()) {
    small_.push_back(row);
    return;
  }
  auto it = std::lower_bound(small_.begin(), small_.end(), row);
  if (*it == row) return;
  if (small_.size() >= kSmallRowSet) {
    ToSet();
    big_->insert(row);
    return;
  }
  small_.insert(it, row);
}

void RowSet::Erase(long row) {
  if (big_) {
    big_->erase(row);
    return;
  }
  if (small_.empty()) return;
  if (row == small_.back()) {
    small_.pop_back();
    return;
  }
  auto it = std::lower_bound(small_.begin(), small_.end(), row);
  if (it == small_.end() || *it != row) return;
  if (small_.size() > kSmallRowSet) {
    ToSet();
    big_->erase(row);
    return;
  }
  small_.erase(it);
}

void RowSet::ToSet() {
  big_ = std::make_unique<std::set<long>>(small_.begin(), small_.end());
  small_.clear();
  small_.shrink_to_fit();
}

// ----- Column -----

std::uint64_t IndexKey(TextView folded) { return std::hash<TextView>{}(folded); }

Cell& Column::Touch(long row) {
  const auto need = static_cast<std::size_t>(row);
  if (cells_.size() < need) {
    if (cells_.capacity() < need) cells_.reserve(std::max(need, cells_.capacity() * 2));
    while (cells_.size() < need) cells_.emplace_back(defaultFormat_);
  }
  return cells_[need - 1];
}

void Column::Enter(long row, const Variant& value, bool textFormat) {
  const bool clears = value.IsEmpty() || value.IsNull() || (value.IsText() && value.AsText().empty());
  if (clears) {
    Clear(row);
    return;
  }
  Cell& cell = Touch(row);
  const bool was = !cell.IsEmpty();
  if (was) IndexRemove(row);
  EnterValue(cell, value, textFormat);
  if (!was) MarkFilled(row);
  IndexAdd(row);
}

void Column::Clear(long row) {
  if (!IsFilled(row)) return;
  IndexRemove(row);
  cells_[static_cast<std::size_t>(row - 1)].Clear();
  MarkEmpty(row);
}

void Column::MarkFilled(long row) {
  auto next = runs_.upper_bound(row);
  auto prev = next;
  bool joinPrev = false;
  if (next != runs_.begin()) {
    prev = std::prev(next);
    if (prev->second >= row) return;
    joinPrev = prev->second == row - 1;
  }
  const bool joinNext = next != runs_.end() && next->first == row + 1;
  if (joinPrev && joinNext) {
    prev->second = next->second;
    runs_.erase(next);
  } else if (joinPrev) {
    prev->second = row;
  } else if (joinNext) {
    long end = next->second;
    auto hint = runs_.erase(next);
    runs_.emplace_hint(hint, row, end);
  } else {
    runs_.emplace_hint(next, row, row);
  }
}

void Column::MarkEmpty(long row) {
  auto it = runs_.upper_bound(row);
  if (it == runs_.begin()) return;
  --it;
  if (it->second < row) return;
  const long start = it->first, end = it->second;
  if (start == end) {
    runs_.erase(it);
  } else if (row == start) {
    auto hint = runs_.erase(it);
    runs_.emplace_hint(hint, row + 1, end);
  } else if (row == end) {
    it->second = row - 1;
  } else {
    it->second = row - 1;
    runs_.emplace_hint(std::next(it), row + 1, end);
  }
}

void Column::RebuildRuns() {
  runs_.clear();
  long start = 0;
  for (long r = 1; r <= StoredRows(); ++r) {
    const bool filled = !cells_[static_cast<std::size_t>(r - 1)].IsEmpty();
    if (filled && start == 0) start = r;
    if (!filled && start != 0) {
      runs_.emplace_hint(runs_.end(), start, r - 1);
      start = 0;
    }
  }
  if (start != 0) runs_.emplace_hint(runs_.end(), start, StoredRows());
}

std::optional<long> Column::FirstFilled() const {
  if (runs_.empty()) return std::nullopt;
  return runs_.begin()->first;
}

std::optional<long> Column::LastFilled() const {
  if (runs_.empty()) return std::nullopt;
  return runs_.rbegin()->second;
}

std::optional<long> Column::NextFilled(long row) const {
  auto it = runs_.upper_bound(row);
  if (it != runs_.begin()) {
    auto p = std::prev(it);
    if (p->second > row) return row + 1;
  }
  if (it == runs_.end()) return std::nullopt;
  return it->first;
}

std::optional<long> Column::PrevFilled(long row) const {
  auto it = runs_.upper_bound(row);
  if (it == runs_.begin()) return std::nullopt;
  --it;
  if (it->second >= row) {
    if (it->first < row) return row - 1;
    if (it == runs_.begin()) return std::nullopt;
    --it;
  }
  return it->second;
}

long Column::RunEnd(long row) const { return std::prev(runs_.upper_bound(row))->second; }
long Column::RunStart(long row) const { return std::prev(runs_.upper_bound(row))->first; }

std::int64_t Column::CountFilled(long row1, long row2) const {
  std::int64_t n = 0;
  auto it = runs_.upper_bound(row1);
  if (it != runs_.begin() && std::prev(it)->second >= row1) --it;
  for (; it != runs_.end() && it->first <= row2; ++it) {
    n += std::min(it->second, row2) - std::max(it->first, row1) + 1;
  }
  return n;
}

namespace {

// The Find-index key of a text: short texts are folded on the stack.
std::uint64_t FoldedIndexKey(TextView text) {
  constexpr std::size_t kShort = 64;
  if (text.size() > kShort) return IndexKey(text_order::Fold(text));
  char16_t folded[kShort];
  for (std::size_t i = 0; i < text.size(); ++i) folded[i] = text_order::FoldChar(text[i]);
  return IndexKey(TextView(folded, text.size()));
}

// The Find-index key of a non-empty cell: its value text folded (a text cell's own text,
// without copying it into a value first).
std::uint64_t CellIndexKey(const Cell& c) {
  if (c.Kind() == CellKind::Text) return FoldedIndexKey(c.TextRef());
  return FoldedIndexKey(DisplayText(c.Value()));
}

}  // namespace

void Column::IndexRemove(long row) {
  if (!index_) return;
  const Cell& c = cells_[static_cast<std::size_t>(row - 1)];
  if (c.IsEmpty()) return;
  auto key = CellIndexKey(c);
  auto it = index_->find(key);
  if (it == index_->end()) return;
  it->second.Erase(row);
  if (it->second.Empty()) index_->erase(it);
}

void Column::IndexAdd(long row) {
  if (!index_) return;
  const Cell& c = cells_[static_cast<std::size_t>(row - 1)];
  if (c.IsEmpty()) return;
  (*index_)[CellIndexKey(c)].Insert(row);
}

const RowSet* Column::IndexRows(TextView foldedKey) {
  if (!index_) {
    index_ = std::make_unique<std::unordered_map<std::uint64_t, RowSet>>();
    for (const auto& [start, end] : runs_) {
      for (long r = start; r <= end; ++r) IndexAdd(r);
    }
  }
  auto it = index_->find(IndexKey(foldedKey));
  return it == index_->end() ? nullptr : &it->second;
}

void Column::Permute(long row1, const std::vector<long>& order) {
  if (order.empty()) return;
  const long last = row1 + static_cast<long>(order.size()) - 1;
  if (StoredRows() < last) {
    // Only the stored part can move: past it every cell is empty and keeps its place
    // only if the order leaves it there, so store the block in full.
    Touch(last);
  }
  std::vector<Cell> moved;
  moved.reserve(order.size());
  for (long src : order) moved.push_back(std::move(cells_[static_cast<std::size_t>(row1 + src - 1)]));
  for (std::size_t i = 0; i < moved.size(); ++i) {
    cells_[static_cast<std::size_t>(row1 - 1) + i] = std::move(moved[i]);
  }
  RebuildRuns();
  index_.reset();
}

}  // namespace quillary::xl::memory
