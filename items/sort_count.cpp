// The count phase of ItemsSortCntDsply: sort the list, walk its groups, find duplicates,
// re-join or expand index ranges into the SideList and count the Items. The display
// phase (display.cpp) then renders what this phase hands over.
#include "items/sort_count.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "host/callbacks.h"
#include "items/internal/display.h"
#include "items/internal/grammar.h"
#include "items/internal/index_split.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {

namespace {

// How the count phase ended.
enum class Outcome {
  kDisplay,  // go on with the display phase
  kAbort,    // the break key: leave with 0, nothing shown
  kLimit,    // the ExpandRanges Item limit: leave with 2
};

// An index number read from a cell text as a whole number (index numbers have at most
// 15 digits, so the value is exact).
std::int64_t IndexValue(double value) {
  if (!(std::fabs(value) < 9.0e18)) Raise(err::kOverflow, "Overflow");
  return static_cast<std::int64_t>(value);
}

// Adds to the Item count; a count past the 64-bit range (only rows written directly can
// hold index numbers of more than 15 digits) stays at the largest count.
void AddToCount(std::int64_t& count, std::int64_t width) {
  if (width > 0 && count > std::numeric_limits<std::int64_t>::max() - width) {
    count = std::numeric_limits<std::int64_t>::max();
  } else {
    count += width;
  }
}

// One sort and count of a list.
class SortCount {
 public:
  SortCount(host::State& s, const RequestOptions& o, const Text& listName)
      : s_(s),
        o_(o),
        sheet_(WorkSheet(s)),
        anchor_(sheet_.Range(listName)),
        listName_(listName),
        quiet_(o.quietStatusBar),
        bar_(s, u" Sort-Count-Dups Progress: ") {
    lastRow_ = sheet_.RowsCount() - anchor_.Row();
  }

  Outcome Run(CountHandOver& h) {
    h.displayAnchor = Cell(0, kSideOrderNum);
    const xl::Range other = ListAnchor(s_, OtherList(listName_));
    forms::Control& tagBox = s_.Control(host::ctl::main::kTagDuplicates);
    h.tagDuplicates = s_.request.IgnoreIndexMode && tagBox.Enabled() && vba::EqualsTrue(tagBox.Value());
    rows_ = ColumnCount(anchor_, kItemText);
    const std::int64_t otherRows = ColumnCount(other, kItemText);
    h.listWasEmpty = rows_ == 0;

    // A fault left by the gathering is shown as it is: no sort, no count.
    if (!s_.request.FaultMsg.empty()) return Outcome::kDisplay;

    h.itemCount = 0;
    s_.request.DisplayText.clear();
    if (rows_ == 0) return Outcome::kDisplay;
    next_ = 1;
    if (s_.request.IgnoreIndexMode) return PlainItems(h, otherRows);
    const Outcome o = IndexedItems(h);
    FlushWrites();
    FlushSideItems();
    return o;
  }

 private:
  xl::Range Cell(long r, long c) const { return anchor_.Offset(r, c); }

  // The walks read each cell of the Item columns (ItemText to Prefix2) several times as
  // they pass its row, so the rows around the one being walked are kept: read a window
  // of rows at a time (whole-area reads), a small one where a walk lands and twice the
  // last one, up to a block, while it goes on down. The IndexNum2 cells the walk writes
  // are kept in the window and held until the next read or the end of the walk
  // (FlushWrites), then written a run of rows at a time.
  static constexpr long kCachedColumns = kPrefix2 - kItemText + 1;
  static constexpr long kFirstWindow = 16;
  static bool Cached(long c) { return c >= kItemText && c <= kPrefix2; }
  struct ReadCell {
    Variant value;
    bool hasText = false;
    Text text;
  };
  ReadCell& Slot(long r, long c) const {
    if (r < from_ || r >= from_ + count_) ReadWindow(r);
    return window_[static_cast<std::size_t>((r - from_) * kCachedColumns + (c - kItemText))];
  }
  void ReadWindow(long r) const {
    FlushWrites();
    const bool onward = count_ > 0 && r == from_ + count_;
    const long first = onward ? r - 1 : r;
    const long length = onward ? std::min(2 * count_, kBlockRows) : kFirstWindow;
    const long last = std::max(r, std::min(first + length - 1, lastRow_));
    sheet_.Range(Cell(first, kItemText), Cell(last, kPrefix2)).Values(values_);
    window_.resize(values_.size());
    for (std::size_t i = 0; i < values_.size(); ++i) {
      // Swapped: the texts read next go into the buffers of the window's last ones.
      std::swap(window_[i].value, values_[i]);
      window_[i].hasText = false;
    }
    from_ = first;
    count_ = last - first + 1;
  }
  const ReadCell& Read(long r, long c) const {
    ReadCell& cell = Slot(r, c);
    if (!cell.hasText) {
      const Variant& v = cell.value;
      if (v.IsText()) {
        cell.text.assign(v.AsText());  // into the slot's own buffer
      } else if (IsWholeIndex(v)) {
        cell.text = vba::IntegerText(static_cast<std::int64_t>(v.AsNumber()));  // as CStr shows it
      } else {
        cell.text = v.IsError() ? CellErrorText(v.AsError()) : vba::CStr(v);
      }
      cell.hasText = true;
    }
    return cell;
  }
  bool Filled(long r, long c) const { return Cached(c) ? !Slot(r, c).value.IsEmpty() : !Cell(r, c).Value().IsEmpty(); }
  Text At(long r, long c) const { return Cached(c) ? Read(r, c).text : CellText(Cell(r, c)); }
  // vba::Trim of a cached cell's text, made from the text where it lies.
  Text TrimmedAt(long r, long c) const { return vba::Trim(Read(r, c).text); }
  // Val of the cell's text. A number that its text gives back exactly (a whole number of
  // up to 15 digits, as index numbers are) is taken as it is.
  double Number(long r, long c) const {
    const Variant& v = Slot(r, c).value;
    if (IsWholeIndex(v)) return v.AsNumber();
    return vba::Val(Read(r, c).text);
  }
  // A whole number of up to 15 digits, which its text (its digits) gives back exactly.
  static bool IsWholeIndex(const Variant& v) {
    if (!v.IsNumber()) return false;
    const double x = v.AsNumber();
    return std::fabs(x) < 1e15 && x == std::trunc(x);
  }
  // Writes IndexNum2 of row r (a text, or Empty to clear it), into the window at once.
  void WriteIndexNum2(long r, const Variant& value) {
    ReadCell& cell = Slot(r, kIndexNum2);
    cell.value = value.IsText() ? Variant(value.AsText().substr(1)) : Variant();
    cell.hasText = false;
    if (!writes_.empty() && writes_.back().first == r) {
      writes_.back().second = value;
    } else {
      writes_.emplace_back(r, value);
    }
  }
  void FlushWrites() const {
    std::size_t i = 0;
    std::vector<Variant> run;
    while (i < writes_.size()) {
      std::size_t j = i + 1;
      while (j < writes_.size() && writes_[j].first == writes_[j - 1].first + 1) ++j;
      run.clear();
      for (std::size_t k = i; k < j; ++k) run.push_back(std::move(writes_[k].second));
      sheet_.Range(Cell(writes_[i].first, kIndexNum2), Cell(writes_[j - 1].first, kIndexNum2)).SetValues(run);
      i = j;
    }
    writes_.clear();
  }
  void ForgetAll() {
    FlushWrites();
    count_ = 0;
  }
  long RowOffset(const xl::Range& cell) const { return cell.Row() - anchor_.Row(); }

  // The progress step of one Item row; false when the user asked to stop.
  bool Progress() {
    const bool ok = rows_ < 100 || bar_.Step(done_, rows_, !quiet_);
    ++done_;
    return ok;
  }

  // Sorting errors are passed over: the walk then runs on the rows as they stand.
  void Sort(const xl::Range& block, const xl::SortArgs& args) {
    ForgetAll();
    SortIgnoringErrors(block, args);
  }

  // ----- CountIndex# -----

  Outcome IndexedItems(CountHandOver& h) {
    expandRanges_ = !vba::EqualsFalse(s_.Control(host::ctl::main::kExpandRanges).Value());
    const xl::Range first = Cell(1, kItemText);
    const bool several = Filled(2, kItemText);
    if (several) {
      ForgetAll();
      SortItemRows(anchor_, false, true);
    }
    // From the anchor row, so that the first hit (the search starts after the range's
    // first cell) is the topmost row of the value.
    const xl::Range within = several ? sheet_.Range(Cell(0, kItemText), first.End(xl::xlDown).Offset(1, 0)) : first;

    const std::int64_t distinct = ColumnCount(anchor_, kDistinctItem);
    sheet_.Range(Cell(1, kSideOrderNum), Cell(1, kSideItem).End(xl::xlDown)).ClearContents();
    s_.request.DisplayText.clear();
    const bool longMatchCase = vba::EqualsTrue(s_.Control(host::ctl::main::kMatchCase).Value());
    // The walk writes no ItemText: the index of the column stays valid throughout.
    LongItemIndex items(within, longMatchCase, s_.request.CompareMode);

    ColumnReader distinctColumn(anchor_, kDistinctItem, distinct);
    for (long d = 1; d <= distinct && h.faultKind == FaultKind::kNone; ++d) {
      const Text value = ValueText(distinctColumn.At(d));
      const std::optional<xl::Range> hit = FindItem(items, value, true);
      if (!hit) continue;
      const Outcome o = Group(h, RowOffset(*hit), value);
      if (o != Outcome::kDisplay) return o;
    }
    return Outcome::kDisplay;
  }

  // The rows of one distinct value, from its topmost row r.
  Outcome Group(CountHandOver& h, long r, const Text& value) {
    if (!Progress()) return Outcome::kAbort;
    const Text p = vba::Trim(At(r, kItemText));
    const bool range = Filled(r, kIndexNum2);
    const Text n1 = At(r, kIndexNum1);
    const Text n2 = At(r, kIndexNum2);
    Text f = p + n1;
    if (range) f += u"-" + vba::Trim(At(r, kPrefix2)) + n2;
    if (f.empty()) return Outcome::kDisplay;

    Outcome o = Outcome::kDisplay;
    if (expandRanges_ && range) {
      o = Expand(p, Number(r, kIndexNum1), Number(r, kIndexNum2), true);
    } else {
      o = Write(f);
    }
    if (o != Outcome::kDisplay) return o;
    AddToCount(h.itemCount, range ? IndexValue(Number(r, kIndexNum2)) - IndexValue(Number(r, kIndexNum1)) + 1 : 1);

    if (vba::StrComp(At(r + 1, kItemText), value, s_.request.CompareMode) != 0) return Outcome::kDisplay;
    do {
      ++r;
      if (!Progress()) return Outcome::kAbort;
      o = FurtherRow(h, r, p);
      if (o != Outcome::kDisplay || h.faultKind != FaultKind::kNone) return o;
    } while (Filled(r + 1, kItemText) &&
             vba::StrComp(vba::TrimmedView(Read(r + 1, kItemText).text), p, s_.request.CompareMode) == 0);
    return Outcome::kDisplay;
  }

  // A row that follows another of the same group: test the pair for overlap, mark a
  // single previous row as a range n-n, and join a consecutive run into the last
  // SideItem or write the row (expanded when ExpandRanges is on).
  Outcome FurtherRow(CountHandOver& h, long r, const Text& p) {
    const long prev = r - 1;
    const Text n1 = At(r, kIndexNum1);
    const Text q = TrimmedAt(r, kPrefix2);
    Text n2 = At(r, kIndexNum2);
    const bool hasN2 = !n2.empty();
    const bool range = Filled(r, kIndexNum2);
    // The row's Item as the list shows it, made only where it is written or reported:
    // most rows of a run are joined to the SideItem before them instead.
    const auto shownItem = [&] {
      Text t;
      t.reserve(p.size() + n1.size() + (hasN2 ? 1 + q.size() + n2.size() : 0));
      t.append(p).append(n1);
      if (hasN2) t.append(u"-").append(q).append(n2);
      return t;
    };
    if (!hasN2) n2 = n1;

    auto fault = [&](FaultKind kind, Text item) {
      h.faultKind = kind;
      s_.request.FaultItem = std::move(item);
      h.faultPrefix = p;
      h.faultIndex = n1;
      return Outcome::kDisplay;
    };

    if (Filled(prev, kIndexNum1) && n1.empty()) return fault(FaultKind::kPrefixWithAndWithout, shownItem());
    const Text prev3 = At(prev, kIndexNum1);
    // The prefix a join to the SideItem before puts after its hyphen.
    const Text* joinPrefix = &q;
    const double first = Number(prev, kIndexNum1);
    const double from = Number(r, kIndexNum1);
    const double to = hasN2 ? Number(r, kIndexNum2) : from;
    double last = first;
    if (Filled(prev, kIndexNum2)) {
      last = Number(prev, kIndexNum2);
      if (first <= from && last >= from) return fault(FaultKind::kDuplicate, p + n1);
      if (first >= from && first <= to) return fault(FaultKind::kDuplicate, At(prev, kItemText) + prev3);
    } else {
      // The stored prefix is reported untrimmed: a number without prefix shows the blank.
      if (first >= from && first <= to) return fault(FaultKind::kDuplicate, At(prev, kItemText) + prev3);
      WriteIndexNum2(prev, TextEntry(prev3));
      if (s_.items.RangeStyle == index_style::kRepeatedPrefix) joinPrefix = &p;
    }

    Outcome o = Outcome::kDisplay;
    if (!expandRanges_) {
      if (last + 1 == from) {
        JoinToLast(*joinPrefix, n2);
      } else {
        o = Write(shownItem());
      }
    } else if (range) {
      o = Expand(p, from, to, false);
    } else {
      o = Write(shownItem());
    }
    if (o != Outcome::kDisplay) return o;
    AddToCount(h.itemCount, IndexValue(to) - IndexValue(from) + 1);

    if (o_.compareTwo && Filled(prev, kIndexNum2) && Number(prev, kIndexNum1) == Number(prev, kIndexNum2)) {
      WriteIndexNum2(prev, Variant());
    }
    return Outcome::kDisplay;
  }

  // Extends the last SideItem X by the row: "R1" becomes "R1-" & Q & N2; a range keeps
  // the style it was written in ("R1-R3" and "R1-3"; a window edited by hand may hold
  // both) and has the number after its one hyphen replaced by N2.
  void JoinToLast(const Text& q, const Text& n2) {
    const bool pending = sideUsed_ > 0;
    const xl::Range last = Cell(next_ - 1, kSideItem);
    Text x = pending ? Text(TextView(sideItems_[sideUsed_ - 1].AsText()).substr(1)) : CellText(last);
    const std::size_t hyphen = x.find(u'-');
    if (hyphen == Text::npos) {
      x += u'-';
      x += q;
    } else {
      const std::size_t number = TrailingDigits(TextView(x).substr(hyphen + 1)).size();
      x.resize(x.size() - number);
    }
    x += n2;
    if (pending) {
      PutTextEntry(sideItems_[sideUsed_ - 1], x);
    } else {
      WriteText(last, x);
    }
  }

  // Writes the next SideItem. With ExpandRanges on, the list may outgrow the sheet.
  Outcome Write(const Text& item) {
    AddSideItem(item);
    return expandRanges_ && LimitReached() ? Outcome::kLimit : Outcome::kDisplay;
  }

  // One SideItem per index number from `from` to `to`.
  Outcome Expand(const Text& p, double from, double to, bool withProgress) {
    const std::int64_t first = IndexValue(from);
    const std::int64_t last = IndexValue(to);
    const std::int64_t span = last - first;
    const bool show = withProgress && span >= 100;
    host::ProgressBar bar(s_, u" ExpandRange Progress: ");
    std::int64_t i = 0;
    for (std::int64_t n = first; n <= last; ++n, ++i) {
      if (show && !bar.Step(i, span, !quiet_)) return Outcome::kAbort;
      AddSideItem(p + vba::IntegerText(n));
      if (LimitReached()) return Outcome::kLimit;
    }
    return Outcome::kDisplay;
  }

  // The Item limit of an expanded list: the message, FaultItem and FaultMsg.
  bool LimitReached() {
    const long rowsCount = sheet_.RowsCount();
    if (next_ < rowsCount - 1) return false;
    FlushSideItems();
    s_.request.FaultItem = At(next_ - 1, kSideItem);
    const Text headline = msg::ExpandedLimitText(vba::IntegerText(ItemCapacity(sheet_)));
    host::MsgBoxDLL(s_, host::MsgTitle(s_, headline), host::msgbox::kInformation);
    s_.request.FaultMsg = msg::kTooManyExpanded;
    return true;
  }

  // The next SideItem. The walk reads no SideItem but the last (JoinToLast, and
  // LimitReached after a flush), so they are written a block at a time.
  void AddSideItem(TextView item) {
    if (sideUsed_ == 0) sideFrom_ = next_;
    // The block's values are filled again from block to block, in their texts' buffers.
    if (sideItems_.size() == sideUsed_) sideItems_.emplace_back();
    PutTextEntry(sideItems_[sideUsed_++], item);
    ++next_;
    if (sideUsed_ >= static_cast<std::size_t>(kBlockRows)) FlushSideItems();
  }

  void FlushSideItems() {
    if (sideUsed_ == 0) return;
    sheet_.Range(Cell(sideFrom_, kSideItem), Cell(next_ - 1, kSideItem))
        .SetValues(std::span<const Variant>(sideItems_.data(), sideUsed_));
    sideUsed_ = 0;
  }

  // ----- IgnoreIndex# -----

  Outcome PlainItems(CountHandOver& h, std::int64_t otherRows) {
    const bool compare = o_.compareTwo;
    if (!compare && !vba::EqualsFalse(s_.Control(host::ctl::main::kSort).Value())) {
      if (Filled(2, kOrderNum)) {
        const xl::Range key1 = Cell(1, kItemText);
        Sort(sheet_.Range(key1, Cell(1, kOrderNum).End(xl::xlDown)), {.Key1 = &key1,
                                                                      .Order1 = xl::xlAscending,
                                                                      .Header = xl::xlNo,
                                                                      .MatchCase = false,
                                                                      .Orientation = xl::xlTopToBottom});
      }
      const xl::Range sideEnd = Filled(2, kSideItem) ? Cell(1, kSideItem).End(xl::xlDown) : Cell(2, kSideItem);
      sheet_.Range(Cell(1, kSideOrderNum), sideEnd).ClearContents();

      // Every row of an Item met more than once is copied: a row when its follower
      // matches it, the last row of the group when the group closes. The walk reads the
      // sorted rows (OrderNum to ItemText) a block at a time and writes the DupsList
      // (which no step of the walk reads) a block at a time.
      rowsRead_ = 0;
      kept_.emplace();
      Text previous, scratch;
      bool open = false;
      for (long i = 1; i <= rows_; ++i) {
        if (!Progress()) {
          FlushDupsList();
          return Outcome::kAbort;
        }
        const Variant* row = SortedRow(i);
        const Variant& value = row[kItemText];
        if (!value.IsText()) scratch = ValueText(value);
        const TextView item = value.IsText() ? TextView(value.AsText()) : TextView(scratch);
        const bool same = vba::StrComp(item, previous, host::kTextCompare) == 0;
        if (i >= 2 && open) {
          if (!same) CopyToDupsList(SortedRow(i - 1));
          open = false;
        }
        if (!item.empty() && same) {
          h.faultKind = FaultKind::kDuplicate;
          open = true;
          CopyToDupsList(SortedRow(i - 1));
        }
        previous.assign(item);
      }
      if (open) CopyToDupsList(SortedRow(static_cast<long>(rows_)));
      FlushDupsList();
      h.dupRuns = std::move(kept_);
      // The display reads the sorted list itself.
      h.displayAnchor = anchor_;
    } else if (otherRows == 0) {
      h.displayAnchor = anchor_;
    }
    return Outcome::kDisplay;
  }

  // The values OrderNum to ItemText of sorted Item row i, which is the current row of the
  // walk or the one before it.
  const Variant* SortedRow(long i) {
    constexpr long kWidth = kItemText - kOrderNum + 1;
    if (i < rowsFrom_ || i >= rowsFrom_ + rowsRead_) {
      // A new block starts with the row before i, which the walk may still copy.
      rowsFrom_ = std::max(1L, i - 1);
      const long last = static_cast<long>(std::min<std::int64_t>(rows_, rowsFrom_ + kBlockRows - 1));
      sheet_.Range(Cell(rowsFrom_, kOrderNum), Cell(last, kItemText)).Values(sorted_);
      rowsRead_ = last - rowsFrom_ + 1;
    }
    return &sorted_[static_cast<std::size_t>((i - rowsFrom_) * kWidth)];
  }

  // Copies an Item row (its OrderNum to ItemText values) into the next DupsList row. A
  // text is written as text; any other value is written as its text without the
  // apostrophe, which the sheet reads as it reads a typed entry (a number becomes a
  // number again).
  void CopyToDupsList(const Variant* row) {
    if (dupsUsed_ == 0) dupsFrom_ = next_;
    // The block's values are filled again from block to block, in the buffers of their
    // texts.
    if (dups_.size() < dupsUsed_ + 3) dups_.resize(dupsUsed_ + 3);
    Variant* out = &dups_[dupsUsed_];
    dupsUsed_ += 3;
    out[0] = row[kOrderNum];
    const Variant& address = row[kCellAddr];
    PutTextEntry(out[1], address.IsText() ? TextView(address.AsText()) : TextView(ValueText(address)));
    const Variant& item = row[kItemText];
    if (item.IsText()) {
      PutTextEntry(out[2], item.AsText());
    } else {
      out[2] = Variant(ValueText(item));
    }
    KeepDup(item);
    ++next_;
    if (next_ - dupsFrom_ >= kBlockRows) FlushDupsList();
  }

  // Adds a DupsList row's Item to the runs kept in hand. An Item the sheet may not give
  // back as written (no text, an empty one, one longer than a cell keeps) ends the
  // keeping, and so do runs of mostly single rows (Items that differ only as the request
  // compares them), which would make the runs as large as the list: the summary then
  // reads the list from the sheet.
  void KeepDup(const Variant& item) {
    if (!kept_) return;
    if (!item.IsText() || item.AsText().empty() || item.AsText().size() > xl::kCellTextLimit ||
        (kept_->rows >= kBlockRows && 2 * static_cast<std::int64_t>(kept_->runs.size()) > kept_->rows + 1)) {
      kept_.reset();
      return;
    }
    const Text& text = item.AsText();
    kept_->Add(text, vba::StrComp(text, lastKept_, s_.request.CompareMode) != 0);
    lastKept_.assign(text);
  }

  // Writes the DupsList rows copied since the last flush (SideOrderNum to SideItem).
  void FlushDupsList() {
    if (dupsUsed_ == 0) return;
    sheet_.Range(Cell(dupsFrom_, kSideOrderNum), Cell(next_ - 1, kSideItem))
        .SetValues(std::span<const Variant>(dups_.data(), dupsUsed_));
    dupsUsed_ = 0;
  }

  host::State& s_;
  const RequestOptions& o_;
  xl::Worksheet& sheet_;
  xl::Range anchor_;
  Text listName_;
  bool quiet_;
  host::ProgressBar bar_;
  bool expandRanges_ = false;
  std::int64_t rows_ = 0;
  std::int64_t done_ = 0;
  long next_ = 1;  // the next free SideList row
  // IgnoreIndex#: the block of sorted rows read (rowsRead_ rows from rowsFrom_), and the
  // DupsList rows not yet written (from dupsFrom_).
  std::vector<Variant> sorted_;
  long rowsFrom_ = 0;
  long rowsRead_ = 0;
  std::vector<Variant> dups_;
  std::size_t dupsUsed_ = 0;
  long dupsFrom_ = 1;
  std::optional<DupRuns> kept_;  // the DupsList's runs, while they are kept
  Text lastKept_;                // the Item of the last row kept (none before the first)
  // CountIndex#: the SideItems not yet written (from sideFrom_).
  std::vector<Variant> sideItems_;
  std::size_t sideUsed_ = 0;
  long sideFrom_ = 1;
  // The window of Item rows read (count_ rows from from_; none when count_ is 0), the
  // last row a window takes (the sheet's last), and the IndexNum2 writes not yet made.
  mutable std::vector<ReadCell> window_;
  mutable std::vector<Variant> values_;
  mutable long from_ = 0;
  mutable long count_ = 0;
  long lastRow_ = 0;
  mutable std::vector<std::pair<long, Variant>> writes_;
};

}  // namespace

CountResult ItemsSortCntDsply(host::State& s, const RequestOptions& o, const Text& listName) {
  return ErrorTrail("ItemsSortCntDsply", [&] {
    CountHandOver h;
    SortCount count(s, o, listName);
    switch (count.Run(h)) {
      case Outcome::kAbort: return CountResult::kDone;
      case Outcome::kLimit: return CountResult::kExpandLimitStop;
      case Outcome::kDisplay: break;
    }
    if (h.faultKind == FaultKind::kDuplicate) s.request.FaultMsg = msg::kDuplicate;
    if (h.faultKind == FaultKind::kPrefixWithAndWithout) s.request.FaultMsg = msg::kPrefixWithAndWithout;
    DisplayCountedList(s, o, listName, h);
    return CountResult::kDone;
  });
}

}  // namespace quillary::items
