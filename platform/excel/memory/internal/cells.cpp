#include "platform/excel/memory/internal/cells.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/excel/memory/internal/big_block.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory::internal {

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

// A text cut to what a cell holds; a pair that would be split there is left out whole.
TextView Cut(TextView s) { return s.substr(0, chars::FittingLength(s, kCellTextLimit)); }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// An error value's text typed in any case ("#N/A", "#div/0!").
std::optional<CellError> TypedError(TextView s) {
  if (s.size() < 4 || s.size() > 7 || s.front() != u'#') return std::nullopt;
  for (const CellError e : kCellErrorValues) {
    const Text name = CellErrorText(e);
    if (name.size() == s.size() && text_order::EqualNoCase(name, s)) return e;
  }
  return std::nullopt;
}

// A number typed with thousands separators ("1,000"), as a percentage ("12%") or as
// currency ("$5", "-$1,234.50"), as the application reads them in its en-US settings,
// with the number format it gives the cell. Plain numbers go through ParseTypedNumber.
struct StyledNumber {
  double value;
  const char16_t* numberFormat;
};

std::optional<StyledNumber> ParseStyledNumber(TextView s) {
  s = TrimBlanks(s);
  const bool percent = !s.empty() && s.back() == u'%';
  if (percent) s.remove_suffix(1);
  bool negative = false, currency = false;
  for (int i = 0; i < 2 && !s.empty(); ++i) {
    if ((s.front() == u'-' || s.front() == u'+') && !negative) {
      negative = s.front() == u'-';
      s.remove_prefix(1);
    } else if (s.front() == u'$' && !currency) {
      currency = true;
      s.remove_prefix(1);
    }
  }
  if (s.empty() || (currency && percent)) return std::nullopt;
  // Digits in groups of three after the first group of one to three, then decimals.
  std::u16string plain;
  std::size_t i = 0, group = 0;
  bool separators = false, decimals = false;
  for (; i < s.size() && (IsDigit(s[i]) || s[i] == u','); ++i) {
    if (s[i] == u',') {
      if (group == 0 || (separators && group != 3) || (!separators && group > 3)) return std::nullopt;
      separators = true;
      group = 0;
      continue;
    }
    ++group;
    plain += s[i];
  }
  if (separators && group != 3) return std::nullopt;
  if (i < s.size() && s[i] == u'.') {
    decimals = true;
    plain += s[i++];
    while (i < s.size() && IsDigit(s[i])) plain += s[i++];
  }
  // Exponents only on plain numbers and percentages.
  if (i < s.size() && (separators || currency)) return std::nullopt;
  plain += s.substr(i);
  if (!separators && !currency && !percent) return std::nullopt;
  auto v = ParseTypedNumber(plain);
  if (!v) return std::nullopt;
  double value = negative ? -*v : *v;
  if (percent) value /= 100;
  if (value == 0) value = 0;
  const char16_t* format = percent    ? (decimals ? u"0.00%" : u"0%")
                           : currency ? (decimals ? u"$#,##0.00" : u"$#,##0")
                                      : (decimals ? u"#,##0.00" : u"#,##0");
  return StyledNumber{value, format};
}

// A number typed in parentheses, as accounting writes a negative one: "(12)" is -12,
// "(1,234.5)" -1234.5 and "($12)" -12, a plain number keeping the General format and
// the others taking the application's format that shows a negative number so. Signs,
// percentages and blanks inside the parentheses make no number.
std::optional<StyledNumber> ParseParenthesisedNumber(TextView s) {
  s = TrimBlanks(s);
  if (s.size() < 3 || s.front() != u'(' || s.back() != u')') return std::nullopt;
  const TextView inner = s.substr(1, s.size() - 2);
  const char16_t first = inner.front(), last = inner.back();
  if (first == u'-' || first == u'+' || first == u' ' || last == u' ' || last == u'%') return std::nullopt;
  if (auto v = ParseTypedNumber(inner)) return StyledNumber{*v == 0 ? 0 : -*v, nullptr};
  const auto styled = ParseStyledNumber(inner);
  if (!styled) return std::nullopt;
  const Text format(styled->numberFormat);
  const char16_t* negative = format == u"$#,##0.00"  ? u"$#,##0.00_);($#,##0.00)"
                             : format == u"$#,##0"   ? u"$#,##0_);($#,##0)"
                             : format == u"#,##0.00" ? u"#,##0.00_);(#,##0.00)"
                                                     : u"#,##0_);(#,##0)";
  return StyledNumber{styled->value == 0 ? 0 : -styled->value, negative};
}

}  // namespace

std::optional<double> ParseTypedNumber(TextView s) {
  s = TrimBlanks(s);
  char ascii[64];
  std::size_t n = 0;
  const auto put = [&](char c) {
    if (n + 1 >= sizeof ascii) return false;
    ascii[n++] = c;
    return true;
  };
  std::size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') put('-');
    ++i;
  }
  int significant = 0;
  bool anyDigit = false, point = false, seenNonZero = false;
  std::string longDigits;  // digits past the buffer, for very long inputs
  for (; i < s.size(); ++i) {
    char16_t c = s[i];
    if (IsDigit(c)) {
      anyDigit = true;
      if (c != u'0') seenNonZero = true;
      char d = static_cast<char>(c);
      if (seenNonZero && ++significant > 15) d = '0';
      if (!put(d)) longDigits += d;
    } else if (c == u'.' && !point) {
      point = true;
      if (!put('.')) longDigits += '.';
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  std::string text(ascii, n);
  text += longDigits;
  if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
    text += 'e';
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) text += static_cast<char>(s[i++]);
    bool expDigit = false;
    while (i < s.size() && IsDigit(s[i]) && text.size() < 40) {
      text += static_cast<char>(s[i++]);
      expDigit = true;
    }
    if (!expDigit) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  if (v == 0) v = 0;  // no negative zero
  return v;
}

Typed ReadTyped(TextView s, bool textFormat) {
  Typed t;
  if (s.empty()) return t;
  if (s.front() == u'\'') {
    t.kind = CellKind::Text;
    t.text = Cut(s.substr(1));
    t.prefixed = true;
    return t;
  }
  t.kind = CellKind::Text;
  t.text = Cut(s);
  if (textFormat) return t;
  const char16_t first = s.front();
  if (first == u'=' && s.size() > 1) {
    t.kind = CellKind::Formula;
    return t;
  }
  // Only texts that begin as a number, a boolean or an error value can be one.
  const bool maybe = IsDigit(first) || first == u' ' || first == u'+' || first == u'-' || first == u'.' ||
                     first == u'$' || first == u'#' || first == u't' || first == u'T' || first == u'f' ||
                     first == u'F' || first == u'(';
  if (!maybe) return t;
  if (EqualsAsciiNoCase(s, "TRUE") || EqualsAsciiNoCase(s, "FALSE")) {
    t.kind = CellKind::Boolean;
    t.boolean = s.size() == 4;
  } else if (auto e = TypedError(s)) {
    t.kind = CellKind::Error;
    t.error = *e;
  } else if (auto n = ParseTypedNumber(s)) {
    t.kind = CellKind::Number;
    t.number = *n;
  } else if (auto styled = ParseStyledNumber(s)) {
    t.kind = CellKind::Number;
    t.number = styled->value;
    t.numberFormat = styled->numberFormat;
  } else if (auto negative = ParseParenthesisedNumber(s)) {
    t.kind = CellKind::Number;
    t.number = negative->value;
    t.numberFormat = negative->numberFormat;
  }
  return t;
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
    return Variant(Text(Cut(out)));
  }
  if (auto n = ParseTypedNumber(body)) return Variant(*n);
  if (EqualsAsciiNoCase(body, "TRUE")) return Variant(true);
  if (EqualsAsciiNoCase(body, "FALSE")) return Variant(false);
  return Variant(CellError::Name);
}

namespace {
constexpr char16_t kCachedNumber = u'n', kCachedText = u't', kCachedBoolean = u'b', kCachedError = u'e';
}  // namespace

Text JoinCachedFormula(TextView source, const FileCell& value) {
  Text out(source);
  switch (value.type) {
    case VarType::Number: {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &value.number, sizeof bits);
      for (int i = 0; i < 4; ++i) out += static_cast<char16_t>((bits >> (16 * i)) & 0xFFFF);
      out += kCachedNumber;
      break;
    }
    case VarType::String: {
      const TextView text = Cut(value.text);
      out += text;
      out += static_cast<char16_t>(text.size());
      out += kCachedText;
      break;
    }
    case VarType::Boolean:
      out += static_cast<char16_t>(value.boolean ? 1 : 0);
      out += kCachedBoolean;
      break;
    case VarType::Error:
      out += static_cast<char16_t>(value.error);
      out += kCachedError;
      break;
    default: break;  // no cached value
  }
  return out;
}

FormulaParts SplitFormula(TextView stored, bool cached) {
  if (!cached || stored.empty()) return {stored, Variant()};
  const char16_t tag = stored.back();
  stored.remove_suffix(1);
  const auto take = [&](std::size_t n) {
    const TextView tail = stored.substr(stored.size() - n);
    stored.remove_suffix(n);
    return tail;
  };
  switch (tag) {
    case kCachedNumber: {
      const TextView t = take(4);
      std::uint64_t bits = 0;
      for (int i = 0; i < 4; ++i) bits |= std::uint64_t{t[static_cast<std::size_t>(i)]} << (16 * i);
      double number = 0;
      std::memcpy(&number, &bits, sizeof number);
      return {stored, Variant(number)};
    }
    case kCachedText: {
      const std::size_t length = take(1).front();
      const Text text(take(length));
      return {stored, Variant(text)};
    }
    case kCachedBoolean: {
      const bool b = take(1).front() != 0;
      return {stored, Variant(b)};
    }
    case kCachedError: {
      const auto e = static_cast<CellError>(take(1).front());
      return {stored, Variant(e)};
    }
  }
  return {stored, Variant()};
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

std::uint64_t IndexKey(TextView folded) {
  const std::uint64_t h = std::hash<TextView>{}(folded);
  return h == 0 ? 1 : h;
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
  if (small_.empty()) {
    if (one_ == 0 || one_ == row) {
      one_ = row;
      return;
    }
    ToVector();
  }
  if (row > small_.back()) {
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
  if (small_.empty()) {
    if (one_ == row) one_ = 0;
    return;
  }
  if (row == small_.back()) {
    small_.pop_back();
  } else {
    auto it = std::lower_bound(small_.begin(), small_.end(), row);
    if (it == small_.end() || *it != row) return;
    if (small_.size() > kSmallRowSet) {
      ToSet();
      big_->erase(row);
      return;
    }
    small_.erase(it);
  }
  if (small_.size() == 1) {
    one_ = small_.front();
    std::vector<long>().swap(small_);
  }
}

void RowSet::ToVector() {
  small_.reserve(4);
  small_.push_back(one_);
  one_ = 0;
}

void RowSet::ToSet() {
  big_ = std::make_unique<std::set<long>>(small_.begin(), small_.end());
  std::vector<long>().swap(small_);
}

// ----- CellStore -----

CellStore::~CellStore() {
  if (mapped_) {
    UnmapBlock(data_, capacity_ * sizeof(Cell));
  } else {
    std::free(data_);
  }
}

void CellStore::Reserve(std::size_t rows) {
  if (rows <= capacity_) return;
  if (rows * sizeof(Cell) >= kBigBlockBytes && gridRows_ >= rows) {
    // Once long, the column is given the grid's whole height: it never moves again,
    // and only the pages written are ever backed by memory.
    auto* block = static_cast<Cell*>(MapBlock(gridRows_ * sizeof(Cell)));
    if (size_ > 0) std::memcpy(static_cast<void*>(block), data_, size_ * sizeof(Cell));
    std::free(data_);
    data_ = block;
    capacity_ = gridRows_;
    mapped_ = true;
    return;
  }
  const std::size_t grown = std::max<std::size_t>({rows, capacity_ * 2, 16});
  void* more = std::realloc(static_cast<void*>(data_), grown * sizeof(Cell));
  if (more == nullptr) throw std::bad_alloc();
  data_ = static_cast<Cell*>(more);
  capacity_ = grown;
}

void CellStore::Resize(std::size_t rows, std::uint32_t format) {
  if (rows <= size_) return;
  Reserve(rows);
  // Mapped pages not yet written are zero, which is an empty cell of format 0.
  if (!mapped_ || format != 0) {
    Cell empty{};
    empty.SetFormat(format);
    std::fill(data_ + size_, data_ + rows, empty);
  }
  size_ = rows;
}

// ----- Column -----

Cell& Column::Touch(long row) {
  const auto need = static_cast<std::size_t>(row);
  if (cells_.Size() < need) cells_.Resize(need, defaultFormat_);
  return cells_.Data()[need - 1];
}

void Column::SetFormatAt(long row, std::uint32_t format) {
  Cell& c = Touch(row);
  if (c.Format() == format) return;
  // A number shows (and is found) by its format.
  const bool shownChanges = index_ && c.Kind() != CellKind::Empty && c.Kind() != CellKind::Text;
  if (shownChanges) IndexRemove(row);
  c.SetFormat(format);
  if (shownChanges) IndexAdd(row);
}

void Column::Drop(Cell& c) {
  if (c.Kind() == CellKind::Text || c.Kind() == CellKind::Formula) texts_.Drop(c.u.text);
  c.SetKind(CellKind::Empty);
  c.SetPrefixed(false);
  c.u.number = 0;
}

void Column::Tidy() {
  if (texts_.WantsCompact()) CompactTexts();
}

// Moves the live texts together in row order.
void Column::CompactTexts() {
  texts_.Compact([&](auto&& move) {
    for (const auto& [start, end] : runs_) {
      for (long r = start; r <= end; ++r) {
        Cell& c = cells_.Data()[r - 1];
        if (c.Kind() == CellKind::Text || c.Kind() == CellKind::Formula) c.u.text = move(c.u.text);
      }
    }
  });
}

Variant Column::Value(long row) const {
  const Cell* c = At(row);
  if (!c) return Variant();
  switch (c->Kind()) {
    case CellKind::Empty: return Variant();
    case CellKind::Number: return Variant(c->u.number);
    case CellKind::Text: return Variant(texts_.Copy(c->u.text));
    case CellKind::Boolean: return Variant(c->u.boolean);
    case CellKind::Error: return Variant(c->u.error);
    case CellKind::Formula:
      return texts_.WithView(c->u.text, [&](TextView stored) {
        if (c->Prefixed()) return SplitFormula(stored, true).cached;
        return EvaluateFormula(stored);
      });
  }
  return Variant();
}

void Column::ReadValues(long row1, long row2, Variant* out, std::size_t stride) const {
  const long stored = std::min(row2, StoredRows());
  long r = row1;
  // A text goes into the text the value already holds, whose buffer is kept (unless it
  // is much larger than the text): a block read again and again takes no new memory.
  constexpr std::size_t kKeptSlack = 1024;
  for (; r <= stored; ++r, out += stride) {
    const Cell* c = At(r);
    if (c != nullptr && c->Kind() == CellKind::Text) {
      const std::size_t n = TextArena::Length(c->u.text);
      if (out->IsText() && out->AsText().capacity() > 4 * n + kKeptSlack) *out = Variant();
      texts_.AppendTo(c->u.text, out->ResetText());
    } else {
      *out = Value(r);
    }
  }
  for (; r <= row2; ++r, out += stride) *out = Variant();
}

Text Column::FormulaText(long row) const {
  const Cell* c = At(row);
  if (!c) return Text();
  switch (c->Kind()) {
    case CellKind::Text: {
      Text t = c->Prefixed() ? Text(u"'") : Text();
      texts_.AppendTo(c->u.text, t);
      return t;
    }
    case CellKind::Formula:
      return texts_.WithView(c->u.text,
                             [&](TextView stored) { return Text(SplitFormula(stored, c->Prefixed()).source); });
    default: return DisplayText(Value(row));  // a number as typed, not as shown
  }
}

Text Column::Shown(long row) const {
  const Cell* c = At(row);
  if (!c) return Text();
  if (c->Kind() == CellKind::Number) return ShownNumber(c->u.number, formats_.Get(c->Format()));
  if (c->Kind() == CellKind::Text) return texts_.Copy(c->u.text);
  return DisplayText(Value(row));
}

Text Column::SearchText(long row, long lookIn) const {
  const Cell* c = At(row);
  if (c && lookIn == xlFormulas && c->Kind() == CellKind::Text) return texts_.Copy(c->u.text);
  return lookIn == xlFormulas ? FormulaText(row) : Shown(row);
}

TextView Column::SearchView(long row, long lookIn, Text& scratch) const {
  const Cell* c = At(row);
  if (c && c->Kind() == CellKind::Text && (lookIn == xlFormulas || lookIn == xlValues)) {
    return texts_.View(c->u.text, scratch);
  }
  scratch = SearchText(row, lookIn);
  return scratch;
}

void Column::Enter(long row, const Variant& value) {
  Typed t;
  switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null: Clear(row); return;
    case VarType::Number:
      t.kind = CellKind::Number;
      t.number = value.AsNumber();
      break;
    case VarType::Boolean:
      t.kind = CellKind::Boolean;
      t.boolean = value.AsBool();
      break;
    case VarType::Error:
      t.kind = CellKind::Error;
      t.error = value.AsError();
      break;
    case VarType::String: EnterTyped(row, value.AsText()); return;
  }
  Store(row, t);
}

void Column::EnterTyped(long row, TextView typed) {
  const Typed t = ReadTyped(typed, TextFormat(FormatAt(row)));
  if (t.kind == CellKind::Empty) {
    Clear(row);
  } else {
    Store(row, t);
  }
}

void Column::StoreFileCell(long row, const FileCell& cell, Text& scratch) {
  Typed t;
  if (!cell.formula.empty()) {
    t.kind = CellKind::Formula;
    t.prefixed = cell.type != VarType::Empty && cell.type != VarType::Null;
    scratch = JoinCachedFormula(cell.formula, cell);
    t.text = scratch;
  } else {
    switch (cell.type) {
      case VarType::Empty:
      case VarType::Null: Clear(row); return;
      case VarType::Number:
        t.kind = CellKind::Number;
        t.number = cell.number;
        break;
      case VarType::Boolean:
        t.kind = CellKind::Boolean;
        t.boolean = cell.boolean;
        break;
      case VarType::Error:
        t.kind = CellKind::Error;
        t.error = cell.error;
        break;
      case VarType::String: {
        t.kind = CellKind::Text;
        t.text = Cut(cell.text);
        // Prefixed as when typed with a "'": typing the text would make anything else
        // (under the text format "@" nothing is made of it).
        if (!TextFormat(FormatAt(row))) {
          const Typed typed = ReadTyped(t.text, false);
          t.prefixed = typed.kind != CellKind::Text || typed.text.size() != t.text.size();
        }
        break;
      }
    }
  }
  Store(row, t);
}

void Column::Store(long row, const Typed& t) {
  Cell content{};
  content.SetKind(t.kind);
  content.SetPrefixed(t.prefixed);
  switch (t.kind) {
    case CellKind::Number: content.u.number = t.number; break;
    case CellKind::Boolean: content.u.boolean = t.boolean; break;
    case CellKind::Error: content.u.error = t.error; break;
    case CellKind::Text:
    case CellKind::Formula: content.u.text = texts_.Add(t.text); break;
    case CellKind::Empty: break;
  }
  Cell& c = Touch(row);
  const bool was = c.Kind() != CellKind::Empty;
  if (was) {
    IndexRemove(row);
    Drop(c);
  }
  ++changes_;
  c.u = content.u;
  c.SetKind(content.Kind());
  c.SetPrefixed(content.Prefixed());
  if (t.numberFormat && formats_.Get(c.Format()).numberFormat == u"General") {
    CellFormat f = formats_.Get(c.Format());
    f.numberFormat = t.numberFormat;
    c.SetFormat(formats_.Intern(f));
  }
  if (!was) MarkFilled(row);
  IndexAdd(row);
  if (was) Tidy();
}

void Column::Clear(long row) {
  if (!IsFilled(row)) return;
  ++changes_;
  IndexRemove(row);
  Drop(cells_.Data()[row - 1]);
  MarkEmpty(row);
  Tidy();
}

void Column::ClearRows(long row1, long row2) {
  auto it = runs_.upper_bound(row1);
  if (it != runs_.begin() && std::prev(it)->second >= row1) --it;
  while (it != runs_.end() && it->first <= row2) {
    const long start = it->first, end = it->second;
    const long lo = std::max(start, row1), hi = std::min(end, row2);
    ++changes_;
    for (long r = lo; r <= hi; ++r) {
      IndexRemove(r);
      Drop(cells_.Data()[r - 1]);
    }
    it = runs_.erase(it);
    if (start < lo) runs_.emplace_hint(it, start, lo - 1);
    if (end > hi) it = std::next(runs_.emplace_hint(it, hi + 1, end));
  }
  Tidy();
}

void Column::MarkFilled(long row) {
  // A column filled downwards grows its last run.
  if (!runs_.empty() && runs_.rbegin()->second == row - 1) {
    runs_.rbegin()->second = row;
    return;
  }
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

// Makes the runs over [row1, row2] again from the cells, joining them to the runs
// that touch the band.
void Column::RebuildRuns(long row1, long row2) {
  auto it = runs_.upper_bound(row1);
  if (it != runs_.begin() && std::prev(it)->second >= row1 - 1) --it;
  long lo = row1, hi = row2;
  while (it != runs_.end() && it->first <= row2 + 1) {
    lo = std::min(lo, it->first);
    hi = std::max(hi, it->second);
    it = runs_.erase(it);
  }
  long start = 0;
  const Cell* cells = cells_.Data();
  for (long r = lo; r <= hi; ++r) {
    const bool filled = r <= StoredRows() && cells[r - 1].Kind() != CellKind::Empty;
    if (filled && start == 0) start = r;
    if (!filled && start != 0) {
      runs_.emplace_hint(it, start, r - 1);
      start = 0;
    }
  }
  if (start != 0) runs_.emplace_hint(it, start, hi);
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

}  // namespace

// The Find-index key of a non-empty cell: its value text folded (a text cell's own text,
// without copying it first).
std::uint64_t Column::CellIndexKey(const Cell& c) const {
  if (c.Kind() == CellKind::Text) return texts_.WithView(c.u.text, [](TextView t) { return FoldedIndexKey(t); });
  const long row = static_cast<long>(&c - cells_.Data()) + 1;
  return FoldedIndexKey(Shown(row));
}

void Column::IndexRemove(long row) {
  if (!index_) return;
  const Cell& c = cells_.Data()[row - 1];
  if (c.Kind() == CellKind::Empty) return;
  auto it = index_->find(CellIndexKey(c));
  if (it == index_->end()) return;
  it->second.Erase(row);
  if (it->second.Empty()) index_->erase(it);
}

void Column::IndexAdd(long row) {
  if (!index_) return;
  const Cell& c = cells_.Data()[row - 1];
  if (c.Kind() == CellKind::Empty) return;
  (*index_)[CellIndexKey(c)].Insert(row);
}

const RowSet* Column::IndexRows(TextView foldedKey) {
  if (!index_) {
    index_ = std::make_unique<std::unordered_map<std::uint64_t, RowSet>>();
    index_->reserve(static_cast<std::size_t>(CountFilled(1, StoredRows())));
    for (const auto& [start, end] : runs_) {
      for (long r = start; r <= end; ++r) IndexAdd(r);
    }
  }
  auto it = index_->find(IndexKey(foldedKey));
  return it == index_->end() ? nullptr : &it->second;
}

void Column::MoveRows(long row1, std::span<const std::uint32_t> order, BigVector<Cell>& scratch) {
  if (order.empty()) return;
  if (!std::is_sorted(order.begin(), order.end())) ++changes_;  // the order moves a row
  const long last = row1 + static_cast<long>(order.size()) - 1;
  // Past the stored rows every cell is empty: store the block in full so that it can move.
  if (StoredRows() < last) Touch(last);
  Cell* cells = cells_.Data() + (row1 - 1);
  // Gathered into the scratch in the new order (reads that do not wait on one another),
  // then copied back in one sweep.
  scratch.resize(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) scratch[i] = cells[order[i]];
  std::copy(scratch.begin(), scratch.end(), cells);
}

void Column::SettleMovedRows(long row1, std::span<const std::uint32_t> newRow) {
  if (newRow.empty()) return;
  const long last = row1 + static_cast<long>(newRow.size()) - 1;
  RebuildRuns(row1, last);
  // The texts are laid out again in the new row order, so that the walks down the
  // sorted rows that usually follow read them one after another.
  CompactTexts();
  if (index_) {
    for (auto& [key, rows] : *index_) {
      rows.Remap([&](long r) { return r >= row1 && r <= last ? row1 + static_cast<long>(newRow[r - row1]) : r; });
    }
  }
}

}  // namespace quillary::xl::memory::internal
