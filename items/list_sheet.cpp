#include "items/list_sheet.h"

#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "platform/runtime/error.h"
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

Text CellText(const xl::Range& cell) {
  const Variant v = cell.Value();
  if (v.IsError()) return CellErrorText(v.AsError());
  return vba::CStr(v);
}

void WriteText(const xl::Range& cell, TextView text) {
  Text value = u"'";
  value += text;
  cell.SetValue(value);
}

Text EscapeFindText(TextView text) {
  Text escaped(text);
  host::ReplaceItRef(escaped, u"~", u"~~");
  host::ReplaceItRef(escaped, u"*", u"~*");
  host::ReplaceItRef(escaped, u"?", u"~?");
  return escaped;
}

Text WildcardsIn(TextView text) {
  Text found;
  for (char16_t c : {u'~', u'*', u'?'}) {
    if (text.find(c) != TextView::npos) found.push_back(c);
  }
  return found;
}

std::optional<xl::Range> FindItem(const xl::Range& within, TextView item, bool matchCase, bool longMatchCase,
                                  int compareMode) {
  const Text escaped = EscapeFindText(item);
  if (escaped.size() <= kFindLimit) {
    return within.Find({.What = escaped,
                        .LookIn = xl::xlValues,
                        .LookAt = xl::xlWhole,
                        .SearchOrder = xl::xlByColumns,
                        .SearchDirection = xl::xlNext,
                        .MatchCase = matchCase});
  }
  // The first kFindLimit characters, less the "~" of an escape the cut would split
  // (alone at the end it would stand for a "~" of the cell).
  std::size_t cut = 0;
  while (cut < kFindLimit) {
    const std::size_t next = cut + (escaped[cut] == u'~' ? 2 : 1);
    if (next > kFindLimit) break;
    cut = next;
  }
  const std::optional<xl::Range> first = within.Find({.What = escaped.substr(0, cut),
                                                       .LookIn = xl::xlValues,
                                                       .LookAt = xl::xlPart,
                                                       .SearchOrder = xl::xlByColumns,
                                                       .SearchDirection = xl::xlNext,
                                                       .MatchCase = longMatchCase});
  if (!first) return std::nullopt;
  const Text firstAddress = first->Address();
  std::optional<xl::Range> hit = first;
  while (hit) {
    if (vba::StrComp(CellText(*hit), item, compareMode) == 0) return hit;
    hit = within.FindNext(&*hit);
    if (hit && hit->Address() == firstAddress) return std::nullopt;
  }
  return std::nullopt;
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
  if (saved.IsText()) {
    WriteText(anchor, saved.AsText());
  } else {
    anchor.SetValue(saved);
  }
}

}  // namespace quillary::items
