#include "items/gather.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/internal/grammar.h"
#include "items/internal/index_split.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "platform/excel/range.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {

namespace {

// The longest text a cell holds, and a joined row may hold.
constexpr std::size_t kCellTextLimit = 32767;
// Selections of at most this many cells show no progress.
constexpr std::int64_t kProgressThreshold = 20;

// Where the walk stands, for the error trail.
struct Position {
  long row = 0;  // within the area
  long col = 0;
};

// An Item row held in memory: the entries for +1 to +5, as WriteText and SetValue take
// them (Empty where nothing was written). A row is used again for a later Item row once
// its block is written: it keeps the buffers of its texts, and `written` tells which of
// its cells the new row filled.
struct PendingRow {
  std::array<Variant, kPrefix2> cells;
  unsigned written = 0;
  // The cell's value, or null when it is empty.
  const Variant* Filled(long col) const {
    const auto i = static_cast<std::size_t>(col - 1);
    return (written >> i & 1U) != 0 && !cells[i].IsEmpty() ? &cells[i] : nullptr;
  }
  void PutText(long col, TextView text) {
    const auto i = static_cast<std::size_t>(col - 1);
    PutTextEntry(cells[i], text);
    written |= 1U << i;
  }
  void Put(long col, Variant value) {
    const auto i = static_cast<std::size_t>(col - 1);
    cells[i] = std::move(value);
    written |= 1U << i;
  }
};

// The grammar's writes into a row held in memory.
class PendingRowCells final : public ItemRowCells {
 public:
  explicit PendingRowCells(PendingRow& row) : row_(row) {}
  void PutText(long col, TextView text) override { row_.PutText(col, text); }
  // The number the sheet would make of the digits, as a number (a run too long to be
  // kept exactly goes as its digits, for the sheet to make of it what it does).
  void PutDigits(long col, TextView digits) override {
    if (digits.empty()) {
      row_.Put(col, Variant());
    } else if (IsBigDigitRun(digits)) {
      row_.Put(col, Variant(Text(digits)));
    } else {
      row_.Put(col, Variant(IndexNumberValue(digits)));
    }
  }

 private:
  PendingRow& row_;
};

// One gathering: the per-call state and its steps.
class Gatherer {
 public:
  Gatherer(host::State& s, const RequestOptions& o, const Text& listName, const xl::Range& area, Position& at)
      : s_(s), o_(o), listName_(listName), area_(area), at_(at), bar_(s, u" Collect Progress: ") {}

  ItemFaultCode Run();

 private:
  enum class Flow { Next, Stop };

  std::vector<xl::Area> AreasToGather() const;
  Flow GatherCell(const xl::Range& cell, const Variant& value, bool hidden);
  bool EmptyCells(xl::Worksheet& source, const xl::Area& a, const xl::Area& cells,
                  const std::vector<bool>& hiddenColumns);
  // The value of a cell of the row being walked (valid until the next call, or the next
  // block of rows read).
  const Variant& CellValue(long r, long c);
  Flow Piece(const xl::Range& cell, TextView item);
  Flow JoinPiece(const xl::Range& cell, TextView item, std::size_t cellTextLength);
  Flow WriteRow(const xl::Range& cell, TextView item, bool withAddress);
  // The current Item row held in memory (buffered walks), added when it is new.
  PendingRow& CurrentRow();
  // Writes `text` as text into a cell of the current Item row.
  void Put(long col, TextView text);
  void Flush();
  // The break key: what the walk wrote so far goes onto the sheet as it stands.
  void Stop();
  Flow RowEnd();
  Flow Enter(TextView written);
  Flow Fail(ItemFaultCode code, const Text& faultItem = {});
  // The absolute address of a source cell, "$B$7" (valid until the next call).
  TextView Address(const xl::Range& cell);
  void Finish();

  xl::Range Col(long offset) const { return anchor_->Offset(static_cast<long>(itemRow_), offset); }

  host::State& s_;
  const RequestOptions& o_;
  const Text& listName_;
  const xl::Range& area_;
  Position& at_;
  host::ProgressBar bar_;

  xl::Worksheet* sheet_ = nullptr;  // the working sheet
  std::optional<xl::Range> anchor_;
  std::optional<DistinctColumn> distinct_;  // CountIndex# only
  bool countIndex_ = false;
  bool join_ = false;
  bool fromWorkSheet_ = false;
  bool showText_ = true;
  std::int64_t total_ = 0;
  std::int64_t cellsDone_ = 0;
  std::int64_t rowBound_ = 0;

  std::int64_t itemRow_ = 1;
  int indexStyle_ = index_style::kNone;
  ItemFaultCode result_ = fault::kNone;
  std::optional<xl::Range> current_;

  // Buffered writes (from another sheet): the Item rows from pendingFrom_ on, not yet
  // on the sheet (the first used_ of pending_; the last may be the row being filled),
  // and the values of a block as it is written, both kept from block to block.
  bool buffer_ = false;
  // The source is a column of the working sheet clear of the list's Item columns, read
  // in blocks with the column to its left (sourceValues_ then holds both).
  bool sideColumn_ = false;
  Text sideText_;  // what +2 of the row written last holds (sideColumn_)
  std::int64_t pendingFrom_ = 1;
  std::vector<PendingRow> pending_;
  std::size_t used_ = 0;
  std::vector<Variant> blockValues_;
  Text key_;  // what +2 of the row classified last holds
  // "$B$" of the column whose cells' addresses were taken last.
  long addressColumn_ = 0;
  Text addressPrefix_;
  Text address_;
  Text cellText_;      // the text of the cell being gathered
  Variant cellValue_;  // its value, read from the working sheet itself
  // The values of the source rows being walked (when the source is another sheet), and
  // whether any of those rows is hidden.
  std::vector<Variant> sourceValues_;
  long sourceFrom_ = 0;
  bool blockHasHidden_ = true;
  long readFrom_ = 0, readTo_ = 0;  // the columns of the area within the used range

  // JoinCells: the row's joined Item so far, and whether the row's first cell is done.
  Text joined_;
  bool rowStarted_ = false;
  long areaColumns_ = 0;
};

ItemFaultCode Gatherer::Run() {
  countIndex_ = !s_.request.IgnoreIndexMode;
  const long areaCount = area_.AreasCount();
  s_.request.JoinCellsUsed = false;
  forms::Control& joinCells = s_.Control(host::ctl::compdup::kJoinCells);
  if (joinCells.Enabled() && vba::EqualsTrue(joinCells.Value())) {
    forms::Control& box4 = s_.Control(host::ctl::main::kTagDuplicates);
    const bool oneArea = areaCount == 1 || (areaCount == 2 && area_.Areas(1).Address() == area_.Areas(2).Address());
    if (o_.compareTwo || (box4.Enabled() && vba::EqualsTrue(box4.Value()) && oneArea)) {
      s_.request.JoinCellsUsed = true;
    }
  }
  join_ = s_.request.JoinCellsUsed;

  host::InitPlace(s_, listName_);
  sheet_ = &WorkSheet(s_);
  anchor_.emplace(sheet_->Range(listName_));
  rowBound_ = ItemCapacity(*sheet_);
  if (countIndex_) distinct_.emplace(s_, *anchor_);
  fromWorkSheet_ = &area_.Parent() == sheet_;
  showText_ = !o_.quietStatusBar;

  const std::vector<xl::Area> areas = AreasToGather();
  if (o_.compareTwo && areaCount == 2) {
    total_ = areas.front().Cells();
  } else {
    total_ = area_.Count();
  }

  // Nothing reads the Item rows before the walk ends or stops: they are classified in
  // memory and written a block at a time. A source on another sheet is read in blocks
  // of rows (the walk writes only to the working sheet); one on the working sheet
  // itself is read and written cell by cell, as its cells may be Item rows - unless it
  // is one column that, with the column to its left (which gives each row's address),
  // stands clear of the list's Item columns, as a subtraction's survivors do: read in
  // blocks too then.
  if (fromWorkSheet_ && !join_ && areas.size() == 1) {
    const xl::Area& a = areas.front();
    const long first = anchor_->Column(), last = first + kPrefix2;
    sideColumn_ = a.col1 == a.col2 && a.col1 >= 2 && (a.col1 < first || a.col1 - 1 > last);
  }
  buffer_ = !fromWorkSheet_ || sideColumn_;
  if (buffer_) pending_.reserve(kBlockRows);

  xl::Worksheet& source = area_.Parent();
  // Cells outside the sheet's used range hold nothing: they are never read (a whole
  // sheet has 17 billion), and a run of them counts as one empty cell (EmptyCells).
  const xl::Area used = source.UsedRange().AreaList().front();
  for (const xl::Area& a : areas) {
    sourceFrom_ = 0;
    areaColumns_ = a.Columns();
    // The columns read; with JoinCells the row's other cells still join as empty ones.
    readFrom_ = std::max(a.col1, used.col1);
    readTo_ = std::min(a.col2, used.col2);
    const long walkFrom = join_ ? a.col1 : readFrom_, walkTo = join_ ? a.col2 : readTo_;
    std::vector<bool> hiddenColumns(static_cast<std::size_t>(a.Columns()));
    for (long c = a.col1; c <= a.col2; ++c) {
      const Variant h = source.ColumnsHidden(c, c);
      hiddenColumns[static_cast<std::size_t>(c - a.col1)] = h.IsBoolean() && h.AsBool();
    }
    for (long r = a.row1; r <= a.row2; ++r) {
      if (r < used.row1 || r > used.row2 || readFrom_ > readTo_) {
        const long last = r < used.row1 && readFrom_ <= readTo_ ? std::min(a.row2, used.row1 - 1) : a.row2;
        if (!EmptyCells(source, a, {r, a.col1, last, a.col2}, hiddenColumns)) {
          Stop();
          return fault::kNone;
        }
        r = last;
        continue;
      }
      at_.row = r - a.row1 + 1;
      if (buffer_ && (sourceFrom_ == 0 || r >= sourceFrom_ + kBlockRows)) {
        sourceFrom_ = r;
        const long last = std::min({a.row2, used.row2, r + kBlockRows - 1});
        source.Range(source.Cells(r, readFrom_ - (sideColumn_ ? 1 : 0)), source.Cells(last, readTo_))
            .Values(sourceValues_);
        const Variant anyHidden = source.RowsHidden(r, last);
        blockHasHidden_ = !(anyHidden.IsBoolean() && !anyHidden.AsBool());
      }
      bool rowHidden = false;
      if ((fromWorkSheet_ && !sideColumn_) || blockHasHidden_) {
        const Variant rh = source.RowsHidden(r, r);
        rowHidden = rh.IsBoolean() && rh.AsBool();
      }
      joined_.clear();
      rowStarted_ = false;
      if (!join_ && a.col1 < readFrom_ && !EmptyCells(source, a, {r, a.col1, r, readFrom_ - 1}, hiddenColumns)) {
        Stop();
        return fault::kNone;
      }
      for (long c = walkFrom; c <= walkTo; ++c) {
        at_.col = c - a.col1 + 1;
        if (total_ > kProgressThreshold && !bar_.Step(cellsDone_, total_, showText_)) {
          Stop();
          return fault::kNone;
        }
        ++cellsDone_;
        current_.emplace(source.Cells(r, c));
        if (GatherCell(*current_, CellValue(r, c), rowHidden || hiddenColumns[static_cast<std::size_t>(c - a.col1)]) ==
            Flow::Stop) {
          Finish();
          return result_;
        }
      }
      if (!join_ && readTo_ < a.col2 && !EmptyCells(source, a, {r, readTo_ + 1, r, a.col2}, hiddenColumns)) {
        Stop();
        return fault::kNone;
      }
      if (join_ && RowEnd() == Flow::Stop) {
        Finish();
        return result_;
      }
    }
  }
  Finish();
  return result_;
}

const Variant& Gatherer::CellValue(long r, long c) {
  if (fromWorkSheet_ && !sideColumn_) {
    cellValue_ = current_->Value();
    return cellValue_;
  }
  static const Variant kNothing;
  // With the side column the block also holds the column to the left of readFrom_.
  const long left = sideColumn_ ? 1 : 0;
  if (c < readFrom_ - left || c > readTo_) return kNothing;
  return sourceValues_[static_cast<std::size_t>(r - sourceFrom_) *
                           static_cast<std::size_t>(readTo_ - readFrom_ + 1 + left) +
                       static_cast<std::size_t>(c - readFrom_ + left)];
}

// Cells of `a` outside the used range, which hold nothing: whole rows of the area, or
// a run of one row; in walk order they follow one another. Without JoinCells the first
// is gathered as any empty cell (its blank Item may show the notice, once a run) and
// the others would add nothing more; with JoinCells they are whole rows, which join to
// nothing and are dropped. Each counts for progress, a hidden one for the hidden-cells
// flag. False when the break key stopped the walk.
bool Gatherer::EmptyCells(xl::Worksheet& source, const xl::Area& a, const xl::Area& cells,
                          const std::vector<bool>& hiddenColumns) {
  if (total_ > kProgressThreshold && !bar_.Step(cellsDone_, total_, showText_)) return false;
  cellsDone_ += cells.Cells();
  const Variant rows = source.RowsHidden(cells.row1, cells.row2);
  const auto columns = hiddenColumns.begin() + (cells.col1 - a.col1);
  const bool hidden = !(rows.IsBoolean() && !rows.AsBool()) ||
                      std::find(columns, columns + cells.Columns(), true) != columns + cells.Columns();
  at_.row = cells.row1 - a.row1 + 1;
  at_.col = cells.col1 - a.col1 + 1;
  if (join_) {
    if (hidden) s_.request.HiddenCellsSkipped = true;
    return true;
  }
  current_.emplace(source.Cells(cells.row1, cells.col1));
  static_cast<void>(GatherCell(*current_, Variant(), hidden));
  return true;
}

std::vector<xl::Area> Gatherer::AreasToGather() const {
  std::vector<xl::Area> areas(area_.AreaList().begin(), area_.AreaList().end());
  if (o_.compareTwo && areas.size() == 2) {
    // The earlier area is the one further left, or in the same column the upper one.
    const auto earlier = [](const xl::Area& x, const xl::Area& y) {
      return x.col1 != y.col1 ? x.col1 < y.col1 : x.row1 < y.row1;
    };
    const bool firstIsEarlier = !earlier(areas[1], areas[0]);
    const bool takeLater = o_.stage == host::CompareStage::kGatherRight;
    const xl::Area chosen = (firstIsEarlier != takeLater) ? areas[0] : areas[1];
    return {chosen};
  }
  return areas;
}

Gatherer::Flow Gatherer::GatherCell(const xl::Range& cell, const Variant& value, bool hidden) {
  if (hidden) s_.request.HiddenCellsSkipped = true;
  // The cell's text, in a buffer kept from cell to cell.
  Text& text = cellText_;
  text.clear();
  if (value.IsError()) {
    if (countIndex_) {
      Put(kItemText, msg::kCellErrorItem);
      Put(kCellAddr, Address(cell));
      s_.request.FaultMsg = msg::kCellError;
      return Fail(fault::kMissingFirstPrefix);
    }
  } else {
    if (value.IsText()) {
      text.assign(vba::TrimmedView(value.AsText()));
    } else {
      text = vba::Trim(vba::CStr(value));
    }
    // Most cells hold none of the characters replaced: one look instead of four.
    if (text.find_first_of(u"\u00A0\n\r'") != Text::npos) {
      host::ReplaceItRef(text, u"\u00A0", u" ");
      host::ReplaceItRef(text, u"\n", u",");
      host::ReplaceItRef(text, u"\r", u",");
      host::ReplaceItRef(text, u"'", TextView(&kApostropheMark, 1));
    }
  }
  if (text.size() == kCellTextLimit && cell.HasFormula()) {
    s_.request.FaultMsg = msg::kLongCell;
    return Fail(fault::kLongCell, text);
  }
  if (join_) {
    host::ReplaceItRef(text, u",", TextView(&kCommaMark, 1));
    const Text markBlank = Text(1, kCommaMark) + u" ";
    host::ReplaceItRef(text, markBlank, TextView(&kCommaMark, 1));
    return JoinPiece(cell, vba::Trim(text), text.size());
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(u',', start);
    const TextView piece = TextView(text).substr(start, comma == Text::npos ? Text::npos : comma - start);
    if (Piece(cell, vba::TrimmedView(piece)) == Flow::Stop) return Flow::Stop;
    if (comma == Text::npos) return Flow::Next;
    start = comma + 1;
  }
}

Gatherer::Flow Gatherer::Piece(const xl::Range& cell, TextView item) {
  if (countIndex_) distinct_->Advance();
  if (item.empty()) {
    if (countIndex_ && !s_.request.BlankItemMsgShown) {
      cell.Activate();
      host::MsgBoxDLL(s_, host::MsgTitle(s_, msg::BlankItemText()), host::msgbox::kInformation);
      s_.request.BlankItemMsgShown = true;
    }
    return Flow::Next;
  }
  if (WriteRow(cell, item, true) == Flow::Stop || Enter(item) == Flow::Stop) return Flow::Stop;
  ++itemRow_;
  return Flow::Next;
}

// With JoinCells each cell is one piece, added to the row's joined Item; the row is
// classified once, whole, at its end (RowEnd).
Gatherer::Flow Gatherer::JoinPiece(const xl::Range& cell, TextView item, std::size_t cellTextLength) {
  if (joined_.size() + cellTextLength >= kCellTextLimit) {
    s_.request.FaultMsg = msg::kLongJoin;
    return Fail(fault::kLongJoin, Text(item));
  }
  const bool first = !rowStarted_;
  if (first) {
    joined_.assign(item);
  } else {
    joined_.push_back(kJoinMark);
    joined_.append(item);
  }
  rowStarted_ = true;
  return WriteRow(cell, joined_, first);
}

// The row bound, then the current Item row's +2 and +1: from a cell of the working sheet
// itself its value and the value to its left; else `item` and, when `withAddress`, the
// cell's address (with JoinCells only the row's first cell gives it).
Gatherer::Flow Gatherer::WriteRow(const xl::Range& cell, TextView item, bool withAddress) {
  if (itemRow_ > rowBound_) {
    s_.request.FaultMsg = msg::kTooManyItems;
    return Fail(fault::kTooManyItems, Text(item));
  }
  if (sideColumn_) {
    // As cell by cell below, from the values read.
    Put(kCellAddr, ValueText(CellValue(cell.Row(), cell.Column() - 1)));
    sideText_ = ValueText(CellValue(cell.Row(), cell.Column()));
    Put(kItemText, sideText_);
  } else if (fromWorkSheet_) {
    WriteText(Col(kCellAddr), CellText(cell.Offset(0, -1)));
    WriteText(Col(kItemText), CellText(cell));
  } else {
    Put(kItemText, item);
    if (withAddress) Put(kCellAddr, Address(cell));
  }
  return Flow::Next;
}

TextView Gatherer::Address(const xl::Range& cell) {
  // A cell is a whole column or row only on a grid one cell wide or high.
  const xl::Worksheet& sheet = cell.Parent();
  if (sheet.RowsCount() < 2 || sheet.ColumnsCount() < 2) {
    address_ = cell.Address();
    return address_;
  }
  if (cell.Column() != addressColumn_) {
    addressColumn_ = cell.Column();
    addressPrefix_ = u"$" + xl::ColumnLetters(addressColumn_) + u"$";
  }
  address_.assign(addressPrefix_);
  address_ += vba::IntegerText(cell.Row());
  return address_;
}

PendingRow& Gatherer::CurrentRow() {
  if (itemRow_ >= pendingFrom_ + static_cast<std::int64_t>(used_)) {
    // The rows before it are done: a full block of them goes onto the sheet.
    if (used_ >= static_cast<std::size_t>(kBlockRows)) Flush();
    if (used_ == pending_.size()) pending_.emplace_back();
    pending_[used_].written = 0;
    ++used_;
  }
  return pending_[used_ - 1];
}

void Gatherer::Put(long col, TextView text) {
  if (buffer_) {
    CurrentRow().PutText(col, text);
  } else {
    WriteText(Col(col), text);
  }
}

// Writes the Item rows held in memory, over the columns from +1 to the last any of
// them wrote (their other cells are empty, as the list's place was cleared).
void Gatherer::Flush() {
  if (used_ == 0) return;
  const std::span<PendingRow> rowsHeld(pending_.data(), used_);
  long width = 0;
  for (const PendingRow& row : rowsHeld) {
    for (long c = kPrefix2; c > width; --c) {
      if (row.Filled(c) != nullptr) {
        width = c;
        break;
      }
    }
  }
  const auto rows = static_cast<long>(used_);
  const auto from = static_cast<long>(pendingFrom_);
  if (width > 0) {
    // The values change places with the rows' cells, which the rows fill again: the
    // texts' buffers go round rather than being made anew for every block.
    blockValues_.resize(static_cast<std::size_t>(rows * width));
    auto value = blockValues_.begin();
    for (PendingRow& row : rowsHeld) {
      for (long c = 1; c <= width; ++c, ++value) {
        if (row.Filled(c) != nullptr) {
          std::swap(*value, row.cells[static_cast<std::size_t>(c - 1)]);
        } else if (!value->IsEmpty()) {
          *value = Variant();
        }
      }
    }
    sheet_->Range(anchor_->Offset(from, kCellAddr), anchor_->Offset(from + rows - 1, width)).SetValues(blockValues_);
  }
  used_ = 0;
  pendingFrom_ = from + rows;
}

void Gatherer::Stop() {
  Flush();
  if (countIndex_) distinct_->Write(false);
}

Gatherer::Flow Gatherer::RowEnd() {
  const bool allEmpty = joined_.size() == static_cast<std::size_t>(areaColumns_ - 1) &&
                        std::all_of(joined_.begin(), joined_.end(), [](char16_t c) { return c == kJoinMark; });
  if (allEmpty) {
    // The distinct column holds nothing at this row yet: only the row's cells go.
    if (buffer_) {
      if (itemRow_ < pendingFrom_ + static_cast<std::int64_t>(used_)) pending_[used_ - 1].written = 0;
    } else {
      sheet_->Range(Col(kDistinctItem), Col(kItemText)).ClearContents();
    }
    return Flow::Next;
  }
  if (countIndex_) distinct_->Advance();
  if (Enter(joined_) == Flow::Stop) return Flow::Stop;
  ++itemRow_;
  return Flow::Next;
}

// The grammar and the distinct column for the Item now in +2 (CountIndex# only), which
// WriteRow wrote from `written` (a text as a cell keeps it) unless it copied a cell of
// the working sheet.
Gatherer::Flow Gatherer::Enter(TextView written) {
  if (!countIndex_) return Flow::Next;
  // The grammar may cut +2 to the Item's first prefix: the distinct column takes what
  // +2 holds then. A row in memory holds `written` as the sheet would (no Item is
  // longer than a cell keeps).
  if (buffer_) {
    PendingRowCells cells(CurrentRow());
    // From the working sheet +2 holds the cell's whole text, whatever the piece.
    const TextView item = sideColumn_ ? TextView(sideText_) : written;
    if (const ItemFaultCode code = ClassifyItem(s_, cells, item, indexStyle_, key_); code != fault::kNone) {
      return Fail(code);
    }
  } else {
    const Text item = CellText(Col(kItemText));
    if (const ItemFaultCode code = ClassifyItem(s_, Col(kDistinctItem), item, indexStyle_); code != fault::kNone) {
      return Fail(code);
    }
    key_ = CellText(Col(kItemText));
  }
  if (const ItemFaultCode code = distinct_->Add(key_); code != fault::kNone) return Fail(code);
  return Flow::Next;
}

// The limits name their Item directly; the grammar's faults leave it to Finish, which
// reads it back from +2.
Gatherer::Flow Gatherer::Fail(ItemFaultCode code, const Text& faultItem) {
  result_ = code;
  if (!faultItem.empty()) s_.request.FaultItem = faultItem;
  return Flow::Stop;
}

void Gatherer::Finish() {
  Flush();
  if (result_ != fault::kNone) {
    if (s_.request.FaultItem.empty()) s_.request.FaultItem = CellText(Col(kItemText));
    if (current_ && &current_->Parent() != sheet_) current_->Activate();
  }
  if (countIndex_) {
    distinct_->Write(true);
    ResetFindOptions(*anchor_);
    if (indexStyle_ == index_style::kBareSecond || indexStyle_ == index_style::kRepeatedPrefix) {
      s_.items.RangeStyle = indexStyle_;
    }
    return;
  }
  NumberOrderColumn(*anchor_, itemRow_ - 1);
}

}  // namespace

ItemFaultCode ItemsGather(host::State& s, const RequestOptions& o, const Text& listName, const xl::Range& area) {
  Position at;
  return ErrorTrail(
      "ItemsGather",
      [&] {
        std::string where;
        for (const long n : {at.row, at.col, static_cast<long>(host::StageNumber(o.stage))}) {
          where += ',';
          where += std::to_string(n);
        }
        return where;
      },
      [&] {
        Gatherer g(s, o, listName, area, at);
        return g.Run();
      });
}

}  // namespace quillary::items
