// Cell storage of the in-memory worksheet: a 12-byte cell with no heap object of its
// own (a text lies in its column's TextArena), the value-entry rules, and a column
// (cells stored densely, the runs of non-empty cells for End, and a Find index of the
// folded value texts made on first use).
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/excel/memory/formats.h"
#include "platform/excel/memory/internal/big_block.h"
#include "platform/excel/memory/internal/text_arena.h"
#include "platform/excel/memory/memory.h"
#include "platform/runtime/chars.h"
#include "platform/runtime/value.h"

namespace quillary::xl::memory::internal {

using memory::FileCell;

enum class CellKind : std::uint8_t { Empty = 0, Number, Text, Boolean, Error, Formula };

// One cell: its content and the id of its format (an index into the workbook's table of
// distinct formats; 0 is the default format), in 12 bytes: the value, then the kind,
// the apostrophe prefix and the format id sharing one word. All zero is an empty cell
// of the default format. Copied as plain bytes: the text stays where it is in the
// column's arena.
#pragma pack(push, 4)
class Cell {
 public:
  CellKind Kind() const { return static_cast<CellKind>(bits_ >> kKindShift); }
  // A Text entered with a leading apostrophe.
  bool Prefixed() const { return ((bits_ >> kPrefixShift) & 1U) != 0; }
  std::uint32_t Format() const { return bits_ & kFormatMask; }
  void SetKind(CellKind k) { bits_ = (bits_ & ~(7U << kKindShift)) | (static_cast<std::uint32_t>(k) << kKindShift); }
  void SetPrefixed(bool p) {
    bits_ = (bits_ & ~(1U << kPrefixShift)) | (static_cast<std::uint32_t>(p) << kPrefixShift);
  }
  void SetFormat(std::uint32_t f) { bits_ = (bits_ & ~kFormatMask) | (f & kFormatMask); }

  // The largest format id a cell holds.
  static constexpr std::uint32_t kFormatMask = (1U << 28) - 1;

  union {
    double number;
    TextRef text;  // Text, and the source of a Formula
    bool boolean;
    CellError error;
  } u;

 private:
  static constexpr unsigned kKindShift = 29, kPrefixShift = 28;
  std::uint32_t bits_;
};
#pragma pack(pop)
static_assert(sizeof(Cell) == 12);

// What typing a text into a cell makes of it (the application's entry rules; see
// memory.h). `text` is the part of the typed text kept (a Text or a Formula source).
struct Typed {
  CellKind kind = CellKind::Empty;
  double number = 0;
  bool boolean = false;
  CellError error = CellError::NA;
  TextView text{};
  bool prefixed = false;
  // The number format the entry gives a cell whose format is General ("0%", "$#,##0"),
  // or null.
  const char16_t* numberFormat = nullptr;
};
Typed ReadTyped(TextView typed, bool textFormat);

// A formula cell's arena text is its source; a formula with a cached value (the cell
// Prefixed) holds the value after the source, its type in the last character.
Text JoinCachedFormula(TextView source, const FileCell& value);
struct FormulaParts {
  TextView source;
  Variant cached;  // Empty when the cell holds no cached value
};
FormulaParts SplitFormula(TextView stored, bool cached);

// The value of a formula: literal formulas (="text", =12, =-1.5, =TRUE) evaluate; any
// other formula gives #NAME?.
Variant EvaluateFormula(TextView source);

// Visits the pieces, of at most kCellTextLimit characters each, into which a text
// longer than a cell holds is entered, one cell below the other; no piece ends inside a
// surrogate pair. An empty text is one empty piece.
template <class Visit>
void ForEachCellPiece(TextView text, Visit&& visit) {
  do {
    const std::size_t n = chars::FittingLength(text, kCellTextLimit);
    visit(text.substr(0, n));
    text.remove_prefix(n);
  } while (!text.empty());
}

// The text Find compares for LookIn xlValues: texts as they are, numbers as CStr writes
// them, "TRUE"/"FALSE", error texts ("#N/A"); "" for an empty cell.
Text DisplayText(const Variant& value);

// Reads a typed number: blanks around, a sign, digits with at most one decimal point,
// an exponent. Digits past the fifteenth significant one become zeros, as the
// application keeps 15.
std::optional<double> ParseTypedNumber(TextView s);

// The Find-index key of an already folded text.
std::uint64_t IndexKey(TextView folded);

// The rows of one Find-index key, ascending: one row held in place, a sorted vector
// while rows come in order or few, turned into a set when a long one changes in the
// middle, so that many equal texts stay cheap to maintain.
class RowSet {
 public:
  void Insert(long row);
  void Erase(long row);
  bool Empty() const { return !big_ && small_.empty() && one_ == 0; }
  // Every row r becomes map(r); the rows are then put in order again.
  template <class Map>
  void Remap(Map&& map);
  // The first row >= lo (forward) or the last row <= hi (backward) within [lo, hi],
  // visiting candidates in that order until `accept` says yes.
  template <class Accept>
  std::optional<long> Search(long lo, long hi, bool forward, Accept&& accept) const;

 private:
  void ToSet();
  void ToVector();

  long one_ = 0;  // the only row, while small_ is empty and there is no set
  std::vector<long> small_;
  std::unique_ptr<std::set<long>> big_;
};

// A column's cells, rows 1..Size(). Past kBigBlockBytes the whole height of the grid
// is reserved at once as one mapped block, so that a long column never moves.
class CellStore {
 public:
  explicit CellStore(long gridRows) : gridRows_(static_cast<std::size_t>(gridRows)) {}
  ~CellStore();
  CellStore(const CellStore&) = delete;
  CellStore& operator=(const CellStore&) = delete;

  std::size_t Size() const { return size_; }
  Cell* Data() { return data_; }
  const Cell* Data() const { return data_; }
  // Grows to `rows` cells, the new ones empty with `format`.
  void Resize(std::size_t rows, std::uint32_t format);

 private:
  void Reserve(std::size_t rows);
  Cell* data_ = nullptr;
  std::size_t size_ = 0, capacity_ = 0;
  std::size_t gridRows_;
  bool mapped_ = false;
};

// One column of a sheet. Rows past the stored ones are empty and carry the column's
// default format. Every content change goes through the column, so that the runs, the
// Find index and the texts' arena stay right, and is counted in `changes` (the sheet's
// count of its cells' changes).
class Column {
 public:
  Column(FormatTable& formats, long gridRows, std::uint32_t defaultFormat, std::uint64_t& changes)
      : formats_(formats), cells_(gridRows), defaultFormat_(defaultFormat), changes_(changes) {}
  ~Column() = default;
  Column(const Column&) = delete;
  Column& operator=(const Column&) = delete;

  long StoredRows() const { return static_cast<long>(cells_.Size()); }
  bool IsFilled(long row) const {
    const Cell* c = At(row);
    return c && c->Kind() != CellKind::Empty;
  }
  CellKind Kind(long row) const {
    const Cell* c = At(row);
    return c ? c->Kind() : CellKind::Empty;
  }
  std::uint32_t FormatAt(long row) const {
    const Cell* c = At(row);
    return c ? c->Format() : defaultFormat_;
  }
  void SetFormatAt(long row, std::uint32_t format);

  // The value as Value reads it (formulas evaluated).
  Variant Value(long row) const;
  // Values of rows [row1, row2] into out[0], out[stride], ...
  void ReadValues(long row1, long row2, Variant* out, std::size_t stride) const;
  // Formula: the formula source, or the constant as typed ("'" kept).
  Text FormulaText(long row) const;
  // True for a formula cell that holds the value a file gave it (StoreCells).
  bool HasCachedValue(long row) const {
    const Cell* c = At(row);
    return c && c->Kind() == CellKind::Formula && c->Prefixed();
  }
  // The text Find searches: LookIn xlValues the value shown (numbers in the cell's
  // number format), xlFormulas the formula (a text without its "'").
  Text SearchText(long row, long lookIn) const;
  // The same as a view: of the cell's own text where it has one, else of `scratch`.
  TextView SearchView(long row, long lookIn, Text& scratch) const;
  // Calls `use` with the text SearchView gives: a text cell's as the arena keeps it
  // (TextArena::WithStored), any other through `scratch`.
  template <class Use>
  decltype(auto) WithSearchChars(long row, long lookIn, Text& scratch, Use&& use) const {
    const Cell* c = At(row);
    if (c && c->Kind() == CellKind::Text && (lookIn == xlFormulas || lookIn == xlValues)) {
      return texts_.WithStored(c->u.text, use);
    }
    return use(SearchView(row, lookIn, scratch));
  }
  // The value as the cell shows it.
  Text Shown(long row) const;

  // Content changes.
  void Enter(long row, const Variant& value);
  void EnterTyped(long row, TextView typed);
  // Stores a file's cell as it is (`scratch` is working memory).
  void StoreFileCell(long row, const FileCell& cell, Text& scratch);
  void Clear(long row);
  // Clears the non-empty cells of [row1, row2].
  void ClearRows(long row1, long row2);

  std::uint32_t DefaultFormat() const { return defaultFormat_; }
  // Sets the default format for rows past the stored ones (an entire-column format).
  void SetDefaultFormat(std::uint32_t f) { defaultFormat_ = f; }

  // Runs of non-empty cells: first row -> last row.
  const std::map<long, long>& Runs() const { return runs_; }
  std::optional<long> FirstFilled() const;
  std::optional<long> LastFilled() const;
  // The first non-empty row after `row`, or the last non-empty row before it.
  std::optional<long> NextFilled(long row) const;
  std::optional<long> PrevFilled(long row) const;
  // The last (first) row of the run holding row; row must be non-empty.
  long RunEnd(long row) const;
  long RunStart(long row) const;
  // Non-empty cells in [row1, row2].
  std::int64_t CountFilled(long row1, long row2) const;

  // The rows whose value text folds to the same key as `foldedKey` (already folded);
  // builds the index on first use.
  const RowSet* IndexRows(TextView foldedKey);
  // The stored cell of a row (nullptr past the stored rows), for reading many in a row.
  const Cell* CellAt(long row) const { return At(row); }
  // A sort's reordering of rows [row1, row1 + order.size()), in two steps. MoveRows
  // moves the cells so that new row row1+i holds old row row1 + order[i] (`scratch` is
  // its working memory, one cell a row; an order that moves no row changes nothing);
  // SettleMovedRows then makes the runs again, lays
  // the texts out in the new row order and moves the Find index's rows with them
  // (`newRow`: old row offset -> new offset) rather than making it again. Columns can
  // settle at the same time as one another.
  void MoveRows(long row1, std::span<const std::uint32_t> order, BigVector<Cell>& scratch);
  void SettleMovedRows(long row1, std::span<const std::uint32_t> newRow);

  std::size_t HeldTextBytes() const { return texts_.HeldBytes(); }
  // Calls `use` with a view of the text of a Text or Formula cell.
  template <class Use>
  decltype(auto) WithText(const Cell& c, Use&& use) const {
    return texts_.WithView(c.u.text, std::forward<Use>(use));
  }

  // Column properties.
  double width = kDefaultColumnWidth;
  bool widthSet = false;
  bool hidden = false;

 private:
  const Cell* At(long row) const {
    return row >= 1 && row <= StoredRows() ? &cells_.Data()[static_cast<std::size_t>(row - 1)] : nullptr;
  }
  Cell& Touch(long row);
  void Store(long row, const Typed& t);
  void Put(long row, const Cell& content);
  void Drop(Cell& c);
  // Gives back the room of dead texts when they outweigh the live ones.
  void Tidy();
  void CompactTexts();
  void MarkFilled(long row);
  void MarkEmpty(long row);
  void IndexRemove(long row);
  void IndexAdd(long row);
  std::uint64_t CellIndexKey(const Cell& c) const;
  void RebuildRuns(long row1, long row2);
  bool TextFormat(std::uint32_t format) const { return formats_.IsText(format); }

  FormatTable& formats_;
  TextArena texts_;
  CellStore cells_;
  std::uint32_t defaultFormat_;
  std::uint64_t& changes_;
  std::map<long, long> runs_;
  std::unique_ptr<std::unordered_map<std::uint64_t, RowSet>> index_;
};

template <class Map>
void RowSet::Remap(Map&& map) {
  if (big_) {
    std::vector<long> rows;
    rows.reserve(big_->size());
    for (long r : *big_) rows.push_back(map(r));
    std::sort(rows.begin(), rows.end());
    big_.reset();
    small_ = std::move(rows);
  } else if (!small_.empty()) {
    for (long& r : small_) r = map(r);
    std::sort(small_.begin(), small_.end());
  } else if (one_ != 0) {
    one_ = map(one_);
  }
}

template <class Accept>
std::optional<long> RowSet::Search(long lo, long hi, bool forward, Accept&& accept) const {
  if (lo > hi) return std::nullopt;
  if (big_) {
    if (forward) {
      for (auto it = big_->lower_bound(lo); it != big_->end() && *it <= hi; ++it) {
        if (accept(*it)) return *it;
      }
    } else {
      auto it = big_->upper_bound(hi);
      while (it != big_->begin()) {
        --it;
        if (*it < lo) break;
        if (accept(*it)) return *it;
      }
    }
    return std::nullopt;
  }
  if (small_.empty()) {
    if (one_ != 0 && one_ >= lo && one_ <= hi && accept(one_)) return one_;
    return std::nullopt;
  }
  if (forward) {
    for (auto it = std::lower_bound(small_.begin(), small_.end(), lo); it != small_.end() && *it <= hi; ++it) {
      if (accept(*it)) return *it;
    }
  } else {
    auto it = std::upper_bound(small_.begin(), small_.end(), hi);
    while (it != small_.begin()) {
      --it;
      if (*it < lo) break;
      if (accept(*it)) return *it;
    }
  }
  return std::nullopt;
}

}  // namespace quillary::xl::memory::internal
