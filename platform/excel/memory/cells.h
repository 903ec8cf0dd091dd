// Cell storage of the in-memory worksheet: a 16-byte cell, the value-entry rules, and a
// column (a dense vector of cells, the runs of non-empty cells for End, and a lazily
// built Find index).
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::xl::memory {

// The longest text a cell holds.
inline constexpr std::size_t kMaxCellText = 32767;

enum class CellKind : std::uint8_t { Empty, Number, Text, Boolean, Error, Formula };

// One cell: its content and the id of its format (an index into the workbook's table of
// distinct formats; 0 is the default format).
class Cell {
 public:
  Cell() = default;
  explicit Cell(std::uint32_t format) : format_(format) {}
  Cell(const Cell&) = delete;
  Cell& operator=(const Cell&) = delete;
  Cell(Cell&& other) noexcept;
  Cell& operator=(Cell&& other) noexcept;
  ~Cell() { Release(); }

  CellKind Kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == CellKind::Empty; }
  // Entered with a leading apostrophe (kept for Formula).
  bool Prefixed() const { return prefixed_; }
  std::uint32_t Format() const { return format_; }
  void SetFormat(std::uint32_t f) { format_ = f; }

  double Number() const { return u_.number; }
  bool Boolean() const { return u_.boolean; }
  CellError Error() const { return u_.error; }
  // The text of a Text cell, or the formula source of a Formula cell.
  const Text& TextRef() const { return *u_.text; }

  void Clear();
  void SetNumber(double n);
  void SetBoolean(bool b);
  void SetError(CellError e);
  void SetText(Text s, bool prefixed);
  void SetFormula(Text source);

  // The value as the cell shows it to Value (formulas evaluated).
  Variant Value() const;
  // Formula: the formula source, or the constant as typed ("'" kept).
  Text FormulaText() const;

 private:
  void Release();
  union Payload {
    double number;
    bool boolean;
    CellError error;
    Text* text;
  } u_{0.0};
  CellKind kind_ = CellKind::Empty;
  bool prefixed_ = false;
  std::uint32_t format_ = 0;
};

// The value of a formula: literal formulas (="text", =12, =-1.5, =TRUE) evaluate; any
// other formula gives #NAME?.
Variant EvaluateFormula(TextView source);

// The text Find compares for LookIn xlValues: texts as they are, numbers as CStr writes
// them, "TRUE"/"FALSE", error texts ("#N/A"); "" for an empty cell.
Text DisplayText(const Variant& value);

// Reads a typed number: blanks around, a sign, digits with at most one decimal point,
// an exponent. Digits past the fifteenth significant one become zeros, as the
// application keeps 15.
std::optional<double> ParseTypedNumber(TextView s);

// Stores a value into a cell with the entry rules. `textFormat` is true when the cell's
// NumberFormat is "@".
void EnterValue(Cell& cell, const Variant& value, bool textFormat);

// The rows of one Find-index key, ascending: a sorted vector while rows come in order or
// few, turned into a set when a long one changes in the middle, so that many equal texts
// stay cheap to maintain.
class RowSet {
 public:
  void Insert(long row);
  void Erase(long row);
  bool Empty() const { return big_ ? big_->empty() : small_.empty(); }
  // The first row >= lo (forward) or the last row <= hi (backward) within [lo, hi],
  // visiting candidates in that order until `accept` says yes.
  template <class Accept>
  std::optional<long> Search(long lo, long hi, bool forward, Accept&& accept) const;

 private:
  void ToSet();

  std::vector<long> small_;
  std::unique_ptr<std::set<long>> big_;
};

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

// One column of a sheet. Rows past the end of `cells` are empty and carry the column's
// default format.
class Column {
 public:
  explicit Column(std::uint32_t defaultFormat) : defaultFormat_(defaultFormat) {}

  long StoredRows() const { return static_cast<long>(cells_.size()); }
  // The cell at row (1-based), or nullptr past the stored rows.
  const Cell* Find(long row) const {
    return row >= 1 && row <= StoredRows() ? &cells_[static_cast<std::size_t>(row - 1)] : nullptr;
  }
  bool IsFilled(long row) const {
    const Cell* c = Find(row);
    return c && !c->IsEmpty();
  }
  std::uint32_t FormatAt(long row) const {
    const Cell* c = Find(row);
    return c ? c->Format() : defaultFormat_;
  }
  // Grows the stored rows to `row` and returns the cell for writing formats.
  Cell& Touch(long row);

  // Content changes go through these so that runs and the Find index stay right.
  void Enter(long row, const Variant& value, bool textFormat);
  void Clear(long row);

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

  // The rows whose value text folds to the same key as `key` (already folded); builds
  // the index on first use.
  const RowSet* IndexRows(TextView foldedKey);
  // Reorders rows [row1, row1 + order.size()) so that new row row1+i holds old row
  // row1 + order[i]; the cells beyond the stored ones are empty.
  void Permute(long row1, const std::vector<long>& order);

  // Column properties.
  double width = 8.43;
  bool widthSet = false;
  bool hidden = false;

 private:
  void MarkFilled(long row);
  void MarkEmpty(long row);
  void IndexRemove(long row);
  void IndexAdd(long row);
  void RebuildRuns();

  std::vector<Cell> cells_;
  std::uint32_t defaultFormat_;
  std::map<long, long> runs_;
  std::unique_ptr<std::unordered_map<std::uint64_t, RowSet>> index_;
};

// The Find-index key of a text: a hash of its folded form.
std::uint64_t IndexKey(TextView folded);

}  // namespace quillary::xl::memory
