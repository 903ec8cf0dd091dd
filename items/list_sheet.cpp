#include "items/list_sheet.h"

#include <algorithm>
#include <utility>

#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/internal/messages.h"
#include "platform/runtime/chars.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::items {

xl::Worksheet& WorkSheet(host::State& s) {
  xl::Workbook& active = s.ActiveBook();
  return s.App().Workbooks().Item(active.Name()).Worksheets().Item(host::kHiddenWorkSht);
}

xl::Range ListAnchor(host::State& s, TextView listName) { return WorkSheet(s).Range(listName); }

Text OtherList(TextView listName) { return listName == host::kList1 ? Text(host::kList2) : Text(host::kList1); }

std::int64_t ColumnCount(const xl::Range& anchor, long colOffset) {
  const xl::Range first = anchor.Offset(1, colOffset);
  if (first.Value().IsEmpty()) return 0;
  if (first.Offset(1, 0).Value().IsEmpty()) return 1;
  return first.End(xl::xlDown).Row() - 1;
}

bool SortIgnoringErrors(const xl::Range& block, const xl::SortArgs& args) {
  try {
    block.Sort(args);
  } catch (const Error&) {
    return false;
  }
  return true;
}

bool SortItemRows(const xl::Range& anchor, bool ignoreIndex, bool matchCase) {
  if (anchor.Offset(2, kItemText).Value().IsEmpty()) return true;
  const auto last = static_cast<long>(ColumnCount(anchor, kItemText));
  const xl::Range block =
      anchor.Parent().Range(anchor.Offset(1, ignoreIndex ? kOrderNum : kCellAddr), anchor.Offset(last, kPrefix2));
  const xl::Range key1 = anchor.Offset(1, kItemText);
  const xl::Range key2 = anchor.Offset(1, kIndexNum1);
  return SortIgnoringErrors(block, {.Key1 = &key1,
                                    .Order1 = xl::xlAscending,
                                    .Key2 = &key2,
                                    .Order2 = xl::xlAscending,
                                    .Header = xl::xlNo,
                                    .MatchCase = matchCase,
                                    .Orientation = xl::xlTopToBottom});
}

Text CellText(const xl::Range& cell) { return ValueText(cell.Value()); }

Text ValueText(const Variant& value) {
  if (value.IsError()) return CellErrorText(value.AsError());
  return vba::CStr(value);
}

ColumnReader::ColumnReader(const xl::Range& anchor, long colOffset, std::int64_t rows)
    : anchor_(anchor), col_(colOffset), rows_(rows) {}

const Variant& ColumnReader::At(std::int64_t i) {
  if (from_ == 0 || i < from_ || i >= from_ + kBlockRows) {
    from_ = i;
    const std::int64_t last = std::min(rows_, i + kBlockRows - 1);
    anchor_.Parent()
        .Range(anchor_.Offset(static_cast<long>(i), col_), anchor_.Offset(static_cast<long>(last), col_))
        .Values(block_);
  }
  return block_[static_cast<std::size_t>(i - from_)];
}

Variant TextEntry(TextView text) {
  Text value;
  value.reserve(text.size() + 1);
  value += u'\'';
  value += text;
  return Variant(std::move(value));
}

void PutTextEntry(Variant& value, TextView text) {
  Text& entry = value.ResetText();
  entry += u'\'';
  entry += text;
}

void WriteText(const xl::Range& cell, TextView text) { cell.SetValue(TextEntry(text)); }

void WriteValue(const xl::Range& cell, const Variant& value) {
  if (value.IsText()) {
    WriteText(cell, value.AsText());
  } else {
    cell.SetValue(value);
  }
}

std::int64_t ItemCapacity(const xl::Worksheet& sheet) { return std::int64_t{sheet.RowsCount()} - 3; }

namespace {

bool IsFindWildcard(char16_t c) { return c == u'~' || c == u'*' || c == u'?'; }

}  // namespace

// Each wildcard gets one "~" before it: the same as replacing "~", then "*", then "?",
// as the "~" a replacement adds is none of the characters replaced after it.
Text EscapeFindText(TextView text) {
  Text escaped;
  escaped.reserve(EscapedLength(text));
  for (const char16_t c : text) {
    if (IsFindWildcard(c)) escaped.push_back(u'~');
    escaped.push_back(c);
  }
  return escaped;
}

std::size_t EscapedLength(TextView text) {
  return text.size() + static_cast<std::size_t>(std::count_if(text.begin(), text.end(), IsFindWildcard));
}

Text WildcardsIn(TextView text) {
  Text found;
  for (char16_t c : {u'~', u'*', u'?'}) {
    if (text.find(c) != TextView::npos) found.push_back(c);
  }
  return found;
}

namespace {

// How many characters of a long text its part-match search takes: those whose escaped
// form fits in kFindLimit characters (an escape is not split: a "~" alone at the end
// would stand for a "~" of the cell; nor is a surrogate pair).
std::size_t SearchedPrefixLength(TextView text) {
  std::size_t length = 0;
  std::size_t escaped = 0;
  while (length < text.size()) {
    escaped += IsFindWildcard(text[length]) ? 2 : 1;
    if (escaped > kFindLimit) break;
    ++length;
  }
  return chars::SplitsPair(text, length) ? length - 1 : length;
}

}  // namespace

LongItemIndex::LongItemIndex(const xl::Range& within, bool prefixMatchCase, int compareMode)
    : within_(within), prefixMatchCase_(prefixMatchCase), compareMode_(compareMode) {
  if (compareMode != host::kBinaryCompare && compareMode != host::kTextCompare) {
    Raise(err::kInvalidCall, "Invalid procedure call or argument");
  }
}

// Texts that match have the same key: the text itself for the binary compare; for the
// text compare the text case-folded, or with its searched prefix kept as it is when the
// prefix is matched with case.
Text LongItemIndex::Key(TextView text) const {
  if (compareMode_ == host::kBinaryCompare) return Text(text);
  if (!prefixMatchCase_) return text_order::Fold(text);
  const std::size_t prefix = SearchedPrefixLength(text);
  Text key(text.substr(0, prefix));
  key += text_order::Fold(text.substr(prefix));
  return key;
}

void LongItemIndex::Add(long row, TextView text) {
  if (EscapedLength(text) <= kFindLimit) return;
  const auto entry = rowsByKey_.try_emplace(Key(text)).first;
  entry->second.insert(row);
  keyOfRow_[row] = &entry->first;
}

void LongItemIndex::Remove(long row) {
  const auto held = keyOfRow_.find(row);
  if (held == keyOfRow_.end()) return;
  const auto entry = rowsByKey_.find(*held->second);
  keyOfRow_.erase(held);
  entry->second.erase(row);
  if (entry->second.empty()) rowsByKey_.erase(entry);
}

// Visits the filled cells of the column only, hopping over gaps with End(xlDown).
void LongItemIndex::Build() {
  built_ = true;
  const xl::Area& area = within_.FirstArea();
  xl::Worksheet& sheet = within_.Parent();
  long row = area.row1;
  while (row <= area.row2) {
    const xl::Range cell = sheet.Cells(row, area.col1);
    if (!cell.Value().IsEmpty()) Add(row, CellText(cell));
    if (row == area.row2) break;
    const xl::Range below = cell.Offset(1, 0);
    row = below.Value().IsEmpty() ? below.End(xl::xlDown).Row() : row + 1;
  }
}

std::optional<long> LongItemIndex::FirstRow(TextView item) {
  if (!built_) Build();
  const auto entry = rowsByKey_.find(Key(item));
  if (entry == rowsByKey_.end()) return std::nullopt;
  const std::set<long>& rows = entry->second;
  const auto below = rows.upper_bound(within_.Row());
  return below != rows.end() ? *below : *rows.begin();
}

void LongItemIndex::Refresh(const xl::Range& cell) {
  if (!built_) return;
  Remove(cell.Row());
  if (!cell.Value().IsEmpty()) Add(cell.Row(), CellText(cell));
}

std::optional<xl::Range> FindItem(LongItemIndex& longItems, TextView item, bool matchCase) {
  const xl::Range& within = longItems.Within();
  if (EscapedLength(item) <= kFindLimit) {
    return within.Find({.What = EscapeFindText(item),
                        .LookIn = xl::xlValues,
                        .LookAt = xl::xlWhole,
                        .SearchOrder = xl::xlByColumns,
                        .SearchDirection = xl::xlNext,
                        .MatchCase = matchCase});
  }
  // The search by the first characters, on one cell: it leaves the remembered options
  // (and meets any failure of Find) as the search of the whole column did.
  within.Cells(1, 1).Find({.What = EscapeFindText(item.substr(0, SearchedPrefixLength(item))),
                           .LookIn = xl::xlValues,
                           .LookAt = xl::xlPart,
                           .SearchOrder = xl::xlByColumns,
                           .SearchDirection = xl::xlNext,
                           .MatchCase = longItems.PrefixMatchCase()});
  const std::optional<long> row = longItems.FirstRow(item);
  if (!row) return std::nullopt;
  return within.Parent().Cells(*row, within.Column());
}

DistinctColumn::DistinctColumn(host::State& s, const xl::Range& anchor) : s_(s), anchor_(anchor) {}

void DistinctColumn::Advance() {
  if (lastFound_ >= row_) {
    ++row_;
    lastEntered_ = false;
  }
}

ItemFaultCode DistinctColumn::Add(TextView name) {
  if (const std::size_t escapedLength = EscapedLength(name); escapedLength > kFindLimit) {
    if (const Text wildcards = WildcardsIn(name); !wildcards.empty()) {
      last_.assign(name);
      lastEntered_ = true;
      s_.request.FaultMsg = msg::LongWildcardFault(wildcards, escapedLength);
      return fault::kLongWildcard;
    }
  }
  const auto [entry, added] = rowOf_.try_emplace(Text(name), row_);
  if (added) {
    kept_.push_back(&entry->first);
    lastEntered_ = false;
  } else {
    last_.assign(name);
    lastEntered_ = true;
  }
  lastFound_ = entry->second;
  return fault::kNone;
}

void DistinctColumn::Write(bool dropRepeated) {
  const bool withLast = lastEntered_ && !dropRepeated;
  const std::size_t rows = kept_.size() + (withLast ? 1 : 0);
  xl::Worksheet& sheet = anchor_.Parent();
  std::vector<Variant> block;
  for (std::size_t from = 0; from < rows; from += static_cast<std::size_t>(kBlockRows)) {
    const std::size_t to = std::min(rows, from + static_cast<std::size_t>(kBlockRows));
    block.clear();
    for (std::size_t i = from; i < to; ++i) block.push_back(TextEntry(i < kept_.size() ? *kept_[i] : last_));
    sheet
        .Range(anchor_.Offset(static_cast<long>(from) + 1, kDistinctItem),
               anchor_.Offset(static_cast<long>(to), kDistinctItem))
        .SetValues(block);
  }
}

void NumberOrderColumn(const xl::Range& anchor, std::int64_t written) {
  xl::Worksheet& sheet = anchor.Parent();
  const xl::Range first = anchor.Offset(1, kOrderNum);
  first.SetValue(1.0);
  if (written >= 2) anchor.Offset(2, kOrderNum).SetValue(2.0);
  if (written >= 3) {
    const long last = anchor.Offset(1, kItemText).End(xl::xlDown).Row();
    sheet.Range(first, anchor.Offset(2, kOrderNum)).AutoFill(sheet.Range(first, sheet.Cells(last, first.Column())));
  }
}

void ResetFindOptions(const xl::Range& anchor) {
  const Variant saved = anchor.Value();
  anchor.SetValue(Text());
  anchor.Find({.What = Text(),
               .LookIn = xl::xlValues,
               .LookAt = xl::xlPart,
               .SearchOrder = xl::xlByColumns,
               .SearchDirection = xl::xlNext,
               .MatchCase = false});
  WriteValue(anchor, saved);
}

}  // namespace quillary::items
