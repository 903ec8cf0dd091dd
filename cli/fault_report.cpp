#include "cli/fault_report.h"

#include <algorithm>
#include <span>
#include <vector>

#include "cli/script.h"
#include "cli/session.h"
#include "host/controls.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/excel/range.h"
#include "platform/runtime/vba.h"
#include "query/match.h"

namespace quillary::cli {

namespace {

// A cell's name without "$" signs.
std::string CellName(long row, long col) { return ToUtf8(xl::ColumnLetters(col)) + std::to_string(row); }

// An Item as the Active Window shows it: the list's placeholders as the characters
// they stand for.
std::string Shown(Text item) {
  for (char16_t& c : item) {
    if (c == items::kApostropheMark) c = u'\'';
    if (c == items::kCommaMark) c = u',';
  }
  return Escaped(item);
}

// The duplicates list: each duplicated Item with the cells it is in, in the list's
// order (sorted by Item), after `head`, which goes first once the Items are counted.
// The lines are kept in pieces of about a megabyte, so that a list of a million cells
// is neither copied as it grows nor once more when it is done.
std::vector<std::string> DuplicatesList(Session& session, const host::Request& request, const std::string& head) {
  constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
  xl::Worksheet& work = session.Book().Worksheets().Item(host::kHiddenWorkSht);
  const xl::Range anchor = work.Range(host::kList1);
  std::vector<std::string> pieces(1);  // the first for the head
  std::string lines;
  long items = 0;
  Text current;
  std::string cells;
  const auto flush = [&] {
    if (cells.empty()) return;
    if (lines.size() >= kPieceBytes) {
      pieces.push_back(std::move(lines));
      lines = std::string();
    }
    lines += "  ";
    lines += Shown(current);
    lines += '\t';
    lines += cells;
    lines += '\n';
    ++items;
    cells.clear();
  };
  // A value as text: a view of the value itself when it is one.
  Text scratch;
  const auto text = [&scratch](const Variant& v) -> TextView {
    if (v.IsText()) return v.AsText();
    scratch = items::ValueText(v);
    return scratch;
  };
  // The list's address and Item columns are read a block of rows at a time, a small
  // block first and larger ones while the list goes on.
  const long addressColumn = anchor.Column() + items::kSideCellAddr;
  const long itemColumn = anchor.Column() + items::kSideItem;
  const long width = itemColumn - addressColumn + 1;
  std::vector<Variant> block;
  long rows = 64;
  bool done = false;
  for (long from = anchor.Row() + 1; !done && from <= work.RowsCount();
       from += rows, rows = std::min(2 * rows, 8192L)) {
    const long to = std::min(work.RowsCount(), from + rows - 1);
    work.Range(work.Cells(from, addressColumn), work.Cells(to, itemColumn)).Values(block);
    for (long r = 0; r <= to - from; ++r) {
      const auto at = static_cast<std::size_t>(r * width);
      std::string name = ToUtf8(text(block[at]));
      if (name.empty()) {
        done = true;
        break;
      }
      const TextView item = text(block[at + static_cast<std::size_t>(width - 1)]);
      if (cells.empty() || vba::StrComp(item, current, request.CompareMode) != 0) {
        flush();
        current.assign(item);
      }
      std::erase(name, '$');
      if (!cells.empty()) cells += ", ";
      cells += name;
    }
  }
  flush();
  if (items == 0) return {};
  std::string before = head;
  before += ", ";
  before += std::to_string(items);
  before += items == 1 ? " Item is" : " Items are";
  before += " each in more than one cell of ";
  before += ToUtf8(session.Book().ActiveSheet().Name());
  before += ":\n";
  pieces.front() = std::move(before);
  pieces.push_back(std::move(lines));
  return pieces;
}

// The cells of the selection that hold `item`, as the fault locator finds them: each
// cell once, hidden rows and columns and error values passed over.
std::string CellsHolding(const xl::Range& selection, const Text& item, const host::Request& request) {
  const query::SearchItem searched(item);
  xl::Worksheet& sheet = selection.Parent();
  const std::span<const xl::Area> areas = selection.AreaList();
  std::string lines;
  for (std::size_t k = 0; k < areas.size(); ++k) {
    const xl::Area& a = areas[k];
    for (long row = a.row1; row <= a.row2; ++row) {
      for (long col = a.col1; col <= a.col2; ++col) {
        const auto earlier = [&](const xl::Area& e) { return e.Contains(row, col); };
        if (std::any_of(areas.begin(), areas.begin() + static_cast<std::ptrdiff_t>(k), earlier)) continue;
        const Variant value = sheet.CellValue(row, col);
        if (value.IsEmpty() || value.IsError() || value.IsNull()) continue;
        const Text text = vba::CStr(value);
        if (!query::MatchInCell(text, searched, request.IgnoreIndexMode, request.CompareMode).IsHit()) continue;
        if (vba::EqualsTrue(sheet.RowsHidden(row, row)) || vba::EqualsTrue(sheet.ColumnsHidden(col, col))) continue;
        lines += "  " + CellName(row, col) + "\t" + Escaped(text) + "\n";
      }
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> FaultReport(Session& session, const xl::Range& selection) {
  const host::Request& request = session.State().request;
  const Text fault = vba::Trim(request.FaultMsg);
  if (fault.empty()) return {};
  const std::string head = "fault: " + ToUtf8(fault);
  const bool duplicatesWalk = request.IgnoreIndexMode && fault.find(u"Duplicate") != Text::npos &&
                              vba::EqualsTrue(session.Control(host::ctl::main::kSort).Value());
  if (duplicatesWalk) {
    if (auto report = DuplicatesList(session, request, head); !report.empty()) return report;
  }
  const Text item = query::SearchText(session.ShownQueryItem());
  if (session.ShownQueryItem().empty()) return {head + "\n"};
  const std::string cells = CellsHolding(selection, item, request);
  if (cells.empty()) return {head + ", the Item " + Shown(item) + "\n"};
  return {head + ", the Item " + Shown(item) + ", in these cells of " + ToUtf8(selection.Parent().Name()) + ":\n" +
          cells};
}

}  // namespace quillary::cli
