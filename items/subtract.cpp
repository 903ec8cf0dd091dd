#include "items/subtract.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "items/gather.h"
#include "items/internal/grammar.h"
#include "items/limits.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

// Clears a list's three SideList columns down to the last filled SideItem (at least
// two rows).
void ClearSideList(const xl::Range& anchor) {
  const auto last = static_cast<long>(std::max<std::int64_t>(2, ColumnCount(anchor, kSideItem)));
  anchor.Parent().Range(anchor.Offset(1, kSideOrderNum), anchor.Offset(last, kSideItem)).ClearContents();
}

// A closed run of index numbers.
struct IndexSpan {
  double lo;
  double hi;
};

// What is left of lo..hi once the numbers of `covered` (sorted, disjoint, not touching)
// are taken out, from low to high.
std::vector<IndexSpan> CutOut(double lo, double hi, const std::vector<IndexSpan>& covered) {
  std::vector<IndexSpan> left;
  auto it = std::lower_bound(covered.begin(), covered.end(), lo,
                             [](const IndexSpan& span, double value) { return span.hi < value; });
  double next = lo;
  for (; it != covered.end() && it->lo <= hi; ++it) {
    if (it->lo > next) left.push_back({next, it->lo - 1});
    next = std::max(next, it->hi + 1);
    if (next > hi) return left;
  }
  left.push_back({next, hi});
  return left;
}

class Subtraction {
 public:
  Subtraction(host::State& s, const RequestOptions& o, const Text& listA, const Text& listB)
      : s_(s), o_(o), listA_(listA), a_(ListAnchor(s, listA)), b_(ListAnchor(s, listB)) {}

  // The subtraction up to the count text; answers as the routine's result stands before
  // the last step, and gives list A's count in `countA`.
  host::Proceed Run(std::int64_t& countA);

 private:
  void Prepare();
  bool Loop();
  bool Walk();
  void Finish(host::Proceed& result);

  // The Item at row i of list A, by its kind.
  // `key` is the ItemText value (in CountIndex# mode always its text), `keyText` its
  // text; a key that is not a text (a number) is written back as it is.
  void PlainItem(std::int64_t i, const Variant& key, const Text& keyText);
  void IndexedItem(std::int64_t i, const Text& prefix);

  // Rows [first, last) of list B whose ItemText equals `key`, in the order of the sort
  // that arranged list B.
  std::pair<std::int64_t, std::int64_t> EqualRows(const Variant& key);
  std::pair<std::int64_t, std::int64_t> EqualRowsByBisection(const Variant& key) const;
  // The value of list A's row i in column `col` (kDistinctItem to kPrefix2).
  const Variant& AValue(std::int64_t i, long col) { return aColumns_[static_cast<std::size_t>(col)].At(i); }
  // The index numbers that list B's indexed rows with this prefix cover.
  const std::vector<IndexSpan>* Covered(const Text& prefix);
  // The sheet row of the prefix in list A's distinct column, when it stands there.
  std::optional<long> DistinctRow(const Text& prefix);

  void WriteIndexedSurvivor(const Text& cellAddr, const Text& prefix, const Text& display);
  // A survivor's SideList row held in memory: its +6 value (null: the cell is left as it
  // is), +7 and +8, to be filled with the values as they are written. The rows' values
  // are used again from block to block, so that a text goes into a buffer already there.
  struct SurvivorSlots {
    Variant* order;
    Variant& cellAddr;
    Variant& item;
  };
  SurvivorSlots AddSurvivor(bool withOrder);
  // Writes the survivors' rows held in memory onto the side list.
  void FlushSurvivors();
  // The value of list B's row r in column `col` (kIndexNum1 or kIndexNum2): read a block
  // at a time while the walk goes down list B, else from its cell.
  Variant BValue(std::int64_t r, long col);
  void ClearSplitRows();

  host::State& s_;
  const RequestOptions& o_;
  const Text& listA_;
  xl::Range a_;
  xl::Range b_;

  bool ignoreIndex_ = false;
  // MatchCase of the sorts and searches: CheckBox5 in IgnoreIndex# mode; always in
  // CountIndex# mode, where Items are equal only when they are the same text.
  bool matchCase_ = true;
  bool compareTwo_ = false;

  std::int64_t countA_ = 0;
  std::int64_t countB_ = 0;
  std::int64_t survivorRow_ = 1;
  // The survivors' SideList rows from survivorFrom_ on, not yet on the sheet: nothing
  // reads the side list before the walk ends. The first pendingRows_ of: their +6
  // values and whether each is written (not where the cell is left alone), and their +7
  // and +8 values, two a row.
  std::size_t pendingRows_ = 0;
  std::vector<Variant> pendingOrders_;
  std::vector<char> pendingHasOrder_;
  std::vector<Variant> pendingSurvivors_;
  std::int64_t survivorFrom_ = 1;
  std::int64_t splitsMade_ = 0;  // split rows written below list A

  // List A's Item columns, read a block at a time (the walk writes none of their rows).
  std::vector<ColumnReader> aColumns_;
  // Both lists stand sorted alike: list A's keys then come in list B's order, and one
  // walk down list B's ItemText column finds them all.
  bool listsSorted_ = false;
  std::optional<ColumnReader> bItems_;
  // List B's IndexNum1 and IndexNum2 columns, for the walk down list B; the walk writes
  // a row's IndexNum2 only after reading it, and reads no row twice.
  std::optional<ColumnReader> bNum1_;
  std::optional<ColumnReader> bNum2_;
  std::int64_t bReadTo_[2] = {0, 0};  // the last row each read
  std::int64_t walk_ = 1;             // list B's rows above this come before the last key walked to
  std::int64_t runEnd_ = 0;           // the end of the equal rows found last, which start at walk_
  bool walked_ = false;               // whether the walk has gone to any key yet
  Variant walkedKey_;                 // the key it went to last

  // The verdict of the last plain Item searched (repeated Items take it over).
  bool havePrevious_ = false;
  bool previousIsText_ = false;
  Text previousText_;
  bool previousRemoved_ = false;

  // List B's covered index numbers by the first row of their prefix in list B.
  std::unordered_map<std::int64_t, std::vector<IndexSpan>> covered_;

  // List A's DistinctItem column (CountIndex# mode, when it holds any); the
  // subtraction does not write it.
  std::optional<LongItemIndex> distinctItems_;
  // The last distinct-column search.
  bool haveDistinct_ = false;
  Text distinctPrefix_;
  std::optional<long> distinctRow_;
};

host::Proceed Subtraction::Run(std::int64_t& countA) {
  ignoreIndex_ = s_.request.IgnoreIndexMode;
  matchCase_ = ignoreIndex_ ? vba::EqualsTrue(s_.Control(host::ctl::main::kMatchCase).Value()) : true;
  compareTwo_ = o_.compareTwo;

  ClearSideList(a_);
  ClearSideList(b_);
  countB_ = ColumnCount(b_, kItemText);
  if (countB_ == 0 && (!compareTwo_ || o_.stage == host::CompareStage::kGatherRight)) return host::Proceed::kStop;

  Prepare();
  countA = countA_;
  if (countA_ < 1) return host::Proceed::kStop;

  if (!Loop()) {
    ClearSplitRows();
    return host::Proceed::kStop;
  }
  host::Proceed result = host::Proceed::kStop;
  Finish(result);
  return result;
}

void Subtraction::Prepare() {
  const xl::Range list1 = ListAnchor(s_, host::kList1);
  const xl::Range list2 = ListAnchor(s_, host::kList2);
  const bool sorted2 = SortItemRows(list2, ignoreIndex_, matchCase_);
  const bool sorted1 = SortItemRows(list1, ignoreIndex_, matchCase_);
  listsSorted_ = sorted1 && sorted2;
  if (const std::int64_t distinct = ignoreIndex_ ? 0 : ColumnCount(a_, kDistinctItem); distinct > 0) {
    distinctItems_.emplace(
        a_.Parent().Range(a_.Offset(1, kDistinctItem), a_.Offset(static_cast<long>(distinct), kDistinctItem)),
        matchCase_, s_.request.CompareMode);
  }
  countA_ = ColumnCount(a_, kItemText);
  for (long col = kDistinctItem; col <= kPrefix2; ++col) aColumns_.emplace_back(a_, col, countA_);
  bItems_.emplace(b_, kItemText, countB_);
  bNum1_.emplace(b_, kIndexNum1, countB_);
  bNum2_.emplace(b_, kIndexNum2, countB_);
}

Variant Subtraction::BValue(std::int64_t r, long col) {
  // The block reader goes down list B only; a row above the last one read (a search by
  // bisection jumps about) is read from its cell.
  std::int64_t& readTo = bReadTo_[col == kIndexNum1 ? 0 : 1];
  if (!listsSorted_ || r < readTo) return b_.Offset(static_cast<long>(r), col).Value();
  readTo = r;
  return (col == kIndexNum1 ? bNum1_ : bNum2_)->At(r);
}

Subtraction::SurvivorSlots Subtraction::AddSurvivor(bool withOrder) {
  if (pendingRows_ >= static_cast<std::size_t>(kBlockRows)) FlushSurvivors();
  const std::size_t k = pendingRows_++;
  if (k == pendingOrders_.size()) {
    pendingOrders_.emplace_back();
    pendingHasOrder_.push_back(0);
    pendingSurvivors_.resize(pendingSurvivors_.size() + 2);
  }
  pendingHasOrder_[k] = withOrder ? 1 : 0;
  ++survivorRow_;
  return {withOrder ? &pendingOrders_[k] : nullptr, pendingSurvivors_[2 * k], pendingSurvivors_[2 * k + 1]};
}

void Subtraction::FlushSurvivors() {
  const std::size_t rows = pendingRows_;
  if (rows == 0) return;
  xl::Worksheet& sheet = a_.Parent();
  const auto first = static_cast<long>(survivorFrom_);
  const auto last = static_cast<long>(survivorRow_ - 1);
  // +6 over each run of rows that write it, then +7 and +8.
  for (std::size_t k = 0; k < rows;) {
    if (!pendingHasOrder_[k]) {
      ++k;
      continue;
    }
    const std::size_t from = k;
    while (k < rows && pendingHasOrder_[k]) ++k;
    sheet
        .Range(a_.Offset(first + static_cast<long>(from), kSideOrderNum),
               a_.Offset(first + static_cast<long>(k - 1), kSideOrderNum))
        .SetValues(std::span<const Variant>(pendingOrders_.data() + from, k - from));
  }
  sheet.Range(a_.Offset(first, kSideCellAddr), a_.Offset(last, kSideItem))
      .SetValues(std::span<const Variant>(pendingSurvivors_.data(), 2 * rows));
  pendingRows_ = 0;
  survivorFrom_ = survivorRow_;
}

bool Subtraction::Loop() {
  try {
    const bool done = Walk();
    FlushSurvivors();
    return done;
  } catch (...) {
    // What the walk found so far stays on the side list, as written cell by cell.
    try {
      FlushSurvivors();
    } catch (...) {
      // The first failure is the one reported.
    }
    throw;
  }
}

bool Subtraction::Walk() {
  host::ProgressBar bar(s_, u" Subtract Progress: ");
  const bool showText = !o_.quietStatusBar;
  for (std::int64_t i = 1; i <= countA_; ++i) {
    if (countA_ > 100 && !bar.Step(i, countA_, showText)) return false;
    if (ignoreIndex_) {
      const Variant value = AValue(i, kItemText);
      PlainItem(i, value, ValueText(value));
      continue;
    }
    const Text prefix = ValueText(AValue(i, kItemText));
    if (!AValue(i, kIndexNum2).IsEmpty() || !AValue(i, kIndexNum1).IsEmpty()) {
      IndexedItem(i, prefix);
    } else {
      PlainItem(i, Variant(prefix), prefix);
    }
  }
  return true;
}

std::pair<std::int64_t, std::int64_t> Subtraction::EqualRows(const Variant& key) {
  // In CountIndex# mode equal means the same text, in IgnoreIndex# mode equal without
  // regard to case; either order refines into the order of list B's sort, so the equal
  // rows stand together. The walk goes on down list B from where it stopped, when every
  // row above that comes before `key`; the total walk is then one pass of list B.
  const bool exact = !ignoreIndex_;
  auto compare = [&](std::int64_t r) { return text_order::CompareValues(bItems_->At(r), key, exact); };
  if (!listsSorted_) return EqualRowsByBisection(key);
  if (walked_) {
    // The rows above walk_ come before the key walked to last, the rows from walk_ to
    // runEnd_ equal it and the row at runEnd_ comes after it: a key equal to it has its
    // rows, and a later one begins its walk at runEnd_, without comparing those rows
    // again. An earlier one is searched for by bisection unless the rows above walk_
    // come before it too.
    const int order = text_order::CompareValues(key, walkedKey_, exact);
    if (order == 0) return {walk_, runEnd_};
    if (order < 0 && walk_ > 1 && compare(walk_ - 1) >= 0) return EqualRowsByBisection(key);
    if (order > 0) walk_ = runEnd_;
  }
  int atWalk = 1;  // how row walk_ compares with `key`
  while (walk_ <= countB_ && (atWalk = compare(walk_)) < 0) ++walk_;
  runEnd_ = walk_;
  if (runEnd_ <= countB_ && atWalk == 0) {
    ++runEnd_;
    while (runEnd_ <= countB_ && compare(runEnd_) == 0) ++runEnd_;
  }
  walked_ = true;
  walkedKey_ = key;
  return {walk_, runEnd_};
}

std::pair<std::int64_t, std::int64_t> Subtraction::EqualRowsByBisection(const Variant& key) const {
  const bool exact = !ignoreIndex_;
  auto compare = [&](std::int64_t r) {
    return text_order::CompareValues(b_.Offset(static_cast<long>(r), kItemText).Value(), key, exact);
  };
  std::int64_t lo = 1;
  std::int64_t hi = countB_ + 1;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (compare(mid) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  const std::int64_t first = lo;
  hi = countB_ + 1;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (compare(mid) <= 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return {first, lo};
}

void Subtraction::PlainItem(std::int64_t i, const Variant& key, const Text& keyText) {
  bool removed = false;
  if (havePrevious_ && previousIsText_ == key.IsText() &&
      vba::StrComp(previousText_, keyText, s_.request.CompareMode) == 0) {
    removed = previousRemoved_;
  } else if (countB_ > 0) {
    havePrevious_ = true;
    previousIsText_ = key.IsText();
    previousText_ = keyText;
    const auto [first, last] = EqualRows(key);
    // A plain Item of CountIndex# mode is not an index range of the same name: only a
    // plain row of list B removes it (those follow the indexed rows of their name).
    removed = first < last && (ignoreIndex_ || BValue(last - 1, kIndexNum1).IsEmpty());
    previousRemoved_ = removed;
  }
  if (removed) return;

  const Variant& order = AValue(i, kOrderNum);
  const Variant& cellAddr = AValue(i, kCellAddr);
  // A text is written as text; any other value (a key that is not a text is the row's
  // ItemText value) as it is.
  const auto putEntry = [](Variant& slot, const Variant& value) {
    if (value.IsText()) {
      PutTextEntry(slot, value.AsText());
    } else {
      slot = value;
    }
  };
  const auto putText = [](Variant& slot, const Variant& value) {
    if (value.IsText()) {
      PutTextEntry(slot, value.AsText());
    } else {
      PutTextEntry(slot, ValueText(value));
    }
  };
  const SurvivorSlots row = AddSurvivor(true);
  if (ignoreIndex_) {
    putEntry(*row.order, order);
  } else {
    putText(*row.order, order);
  }
  putText(row.cellAddr, cellAddr);
  putEntry(row.item, key);
}

const std::vector<IndexSpan>* Subtraction::Covered(const Text& prefix) {
  if (countB_ <= 0) return nullptr;
  const auto [first, last] = EqualRows(Variant(prefix));
  if (first == last) return nullptr;
  if (auto it = covered_.find(first); it != covered_.end()) return &it->second;

  std::vector<IndexSpan> spans;
  for (std::int64_t r = first; r < last; ++r) {
    const Variant n1Value = BValue(r, kIndexNum1);
    if (n1Value.IsEmpty()) continue;  // the plain Item of that name
    const Text n1Text = ValueText(n1Value);
    const double b1 = vba::Val(n1Text);
    double b2 = b1;
    const xl::Range n2 = b_.Offset(static_cast<long>(r), kIndexNum2);
    const Variant n2Value = BValue(r, kIndexNum2);
    if (n2Value.IsEmpty()) {
      // A single number reads as the range n..n; COMPARE 2/Uniques leaves list B's
      // singles as they were, as it subtracts the lists both ways.
      if (!compareTwo_) WriteText(n2, n1Text);
    } else {
      b2 = vba::Val(ValueText(n2Value));
      if (compareTwo_ && b2 == b1) n2.ClearContents();
    }
    if (b2 >= b1) spans.push_back({b1, b2});
  }
  std::sort(spans.begin(), spans.end(), [](const IndexSpan& x, const IndexSpan& y) { return x.lo < y.lo; });
  std::vector<IndexSpan> merged;
  for (const IndexSpan& span : spans) {
    if (!merged.empty() && span.lo <= merged.back().hi + 1) {
      merged.back().hi = std::max(merged.back().hi, span.hi);
    } else {
      merged.push_back(span);
    }
  }
  return &covered_.emplace(first, std::move(merged)).first->second;
}

std::optional<long> Subtraction::DistinctRow(const Text& prefix) {
  if (haveDistinct_ && distinctPrefix_ == prefix) return distinctRow_;
  haveDistinct_ = true;
  distinctPrefix_ = prefix;
  distinctRow_.reset();
  if (distinctItems_) {
    if (auto hit = FindItem(*distinctItems_, prefix, matchCase_)) distinctRow_ = hit->Row();
  }
  return distinctRow_;
}

void Subtraction::WriteIndexedSurvivor(const Text& cellAddr, const Text& prefix, const Text& display) {
  const std::optional<long> distinct = DistinctRow(prefix);
  const SurvivorSlots row = AddSurvivor(distinct.has_value());
  if (distinct) *row.order = Variant(static_cast<double>(*distinct));
  PutTextEntry(row.cellAddr, cellAddr);
  PutTextEntry(row.item, display);
}

void Subtraction::IndexedItem(std::int64_t i, const Text& prefix) {
  const Text first = ValueText(AValue(i, kIndexNum1));
  Text second = ValueText(AValue(i, kIndexNum2));
  const double a1 = vba::Val(first);
  double a2 = second.empty() ? a1 : vba::Val(second);
  // A range from n to n (a mark a sort and count leaves) is the single number n.
  if (a2 == a1) second.clear();
  if (a2 < a1) a2 = a1;
  const Text cellAddr = ValueText(AValue(i, kCellAddr));

  // The Item's own index style: a range written "R1-R5" repeats its prefix after the
  // hyphen, one written "R1-5" does not. Its pieces keep that style, so that the
  // survivors of one list (which the gathering admits in one style only) stay in one.
  const Text prefix2 = vba::Trim(ValueText(AValue(i, kPrefix2)));
  const bool repeatsPrefix = !prefix2.empty();

  const std::vector<IndexSpan>* covered = Covered(prefix);
  const std::vector<IndexSpan> left = covered ? CutOut(a1, a2, *covered) : std::vector<IndexSpan>{{a1, a2}};
  if (left.size() == 1 && left[0].lo == a1 && left[0].hi == a2) {
    // Untouched: the Item as it was written.
    Text display = vba::Trim(prefix) + first;
    if (!second.empty()) {
      display += u"-";
      display += prefix2;
      display += second;
    }
    WriteIndexedSurvivor(cellAddr, prefix, display);
    return;
  }

  auto boundText = [&](double n) {
    if (n == a1) return first;
    if (n == a2 && !second.empty()) return second;
    return vba::NumberText(n);
  };
  // A part rebuilt as the sort and count writes Items: the prefix without the blank
  // that stands for none.
  const Text shownPrefix = vba::Trim(prefix);
  auto partText = [&](const Text& lo, const Text& hi) {
    Text display = shownPrefix + lo;
    if (!hi.empty() && hi != lo) {
      display += u"-";
      if (repeatsPrefix) display += shownPrefix;
      display += hi;
    }
    return display;
  };
  for (std::size_t k = 0; k < left.size(); ++k) {
    const Text lo = boundText(left[k].lo);
    const Text hi = left[k].hi == left[k].lo ? Text() : boundText(left[k].hi);
    if (k == 0) {
      WriteIndexedSurvivor(cellAddr, prefix, partText(lo, hi));
      continue;
    }
    // Each further piece is written to a split row below list A, and survives as it was
    // written there.
    const auto split = static_cast<long>(countA_ + ++splitsMade_);
    WriteText(a_.Offset(split, kItemText), prefix);
    WriteText(a_.Offset(split, kIndexNum1), lo);
    if (!hi.empty()) WriteText(a_.Offset(split, kIndexNum2), hi);
    WriteText(a_.Offset(split, kCellAddr), cellAddr);
    WriteIndexedSurvivor(cellAddr, prefix, partText(lo, hi));
  }
}

void Subtraction::ClearSplitRows() {
  // A stopped subtraction leaves list A as it was: without the split rows below it.
  if (splitsMade_ == 0) return;
  a_.Parent()
      .Range(a_.Offset(static_cast<long>(countA_ + 1), kDistinctItem),
             a_.Offset(static_cast<long>(countA_ + splitsMade_), kPrefix2))
      .ClearContents();
}

void Subtraction::Finish(host::Proceed& result) {
  const std::int64_t survivors = survivorRow_ - 1;

  // 1: nothing removed from a plain list: list A stays, the result stays kStop.
  if (ignoreIndex_ && survivors == countA_ && !o_.subtractRebuildsList) {
    return;
  }

  // 2: the application's remembered search options.
  ResetFindOptions(a_);

  auto sortSurvivors = [&](bool byItemToo) {
    if (survivors < 2) return;
    const auto last = static_cast<long>(survivors);
    const xl::Range block = a_.Parent().Range(a_.Offset(1, kSideOrderNum), a_.Offset(last, kSideItem));
    const xl::Range key1 = a_.Offset(1, kSideOrderNum);
    const xl::Range key2 = a_.Offset(1, kSideItem);
    SortIgnoringErrors(block, {.Key1 = &key1,
                               .Order1 = xl::xlAscending,
                               .Key2 = byItemToo ? &key2 : nullptr,
                               .Order2 = xl::xlAscending,
                               .Header = xl::xlNo,
                               .MatchCase = matchCase_,
                               .Orientation = xl::xlTopToBottom});
  };

  result = host::Proceed::kGoOn;
  const bool sortOption = vba::EqualsTrue(s_.Control(host::ctl::main::kSort).Value());
  // 3: plain Items without the Sort option: the survivors, back in the order in which
  // they were collected, are the result; list A's rows stay.
  if (ignoreIndex_ && !sortOption && o_.stage != host::CompareStage::kRightUniques) {
    sortSurvivors(false);
    return;
  }
  // 4: nothing survives.
  if (survivors == 0) {
    host::InitPlace(s_, listA_);
    return;
  }
  // 5: list A is rebuilt from the survivors (plain Items with the Sort option too, so
  // that the sort and count that follows does not show the removed Items again). Plain
  // Items with the Sort option keep list A's sorted order, which the survivors were
  // found in; the others go back into the order of their collection first.
  if (!(ignoreIndex_ && sortOption)) sortSurvivors(true);
  const xl::Range survivorCells =
      a_.Parent().Range(a_.Offset(1, kSideItem), a_.Offset(static_cast<long>(survivors), kSideItem));
  if (const ItemFaultCode code = ItemsGather(s_, o_, listA_, survivorCells); code != fault::kNone)
    TooMuch_Gather(s_, code);
}

}  // namespace

host::Proceed ItemsSubtract(host::State& s, const RequestOptions& o, const Text& listA, const Text& listB) {
  return ErrorTrail("ItemsSubtract", [&] {
    std::int64_t countA = 0;
    // Nothing is done while a fault or limit text of the gathering is pending.
    host::Proceed result =
        s.request.FaultMsg.empty() ? Subtraction(s, o, listA, listB).Run(countA) : host::Proceed::kStop;
    s.items.ItemCountText = vba::IntegerText(countA);
    if (o.subtractGoesOn || countA == 0) result = host::Proceed::kGoOn;
    return result;
  });
}

}  // namespace quillary::items
