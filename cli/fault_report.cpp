#include "cli/fault_report.h"

#include <algorithm>
#include <ostream>
#include <span>
#include <string_view>
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

// Calls `row(item, address)` for each row of the duplicates list, in its order, up to
// the first row without an address (views valid during the call). The list's address
// and Item columns are read a block of rows at a time, a small block first and larger
// ones while the list goes on.
template <class Row>
void ForEachDuplicateRow(Session& session, Row&& row) {
  xl::Worksheet& work = session.Book().Worksheets().Item(host::kHiddenWorkSht);
  const xl::Range anchor = work.Range(host::kList1);
  // A value as text: a view of the value itself when it is one.
  const auto text = [](const Variant& v, Text& scratch) -> TextView {
    if (v.IsText()) return v.AsText();
    scratch = items::ValueText(v);
    return scratch;
  };
  const long addressColumn = anchor.Column() + items::kSideCellAddr;
  const long itemColumn = anchor.Column() + items::kSideItem;
  const long width = itemColumn - addressColumn + 1;
  std::vector<Variant> block;
  Text addressScratch, itemScratch;
  long rows = 64;
  for (long from = anchor.Row() + 1; from <= work.RowsCount(); from += rows, rows = std::min(2 * rows, 8192L)) {
    const long to = std::min(work.RowsCount(), from + rows - 1);
    work.Range(work.Cells(from, addressColumn), work.Cells(to, itemColumn)).Values(block);
    for (long r = 0; r <= to - from; ++r) {
      const auto at = static_cast<std::size_t>(r * width);
      const TextView address = text(block[at], addressScratch);
      if (address.empty()) return;
      row(text(block[at + static_cast<std::size_t>(width - 1)], itemScratch), address);
    }
  }
}

// Writes the duplicates list after `lead`: `head` with the number of duplicated Items,
// then each duplicated Item with the cells it is in, in the list's order (sorted by
// Item). The Items are counted first, so that the lines, which may run to many
// megabytes, go out as they are made, a megabyte at a time. False, with nothing
// written, when the list holds no Item.
bool WriteDuplicatesList(Session& session, const host::Request& request, const std::string& head, std::ostream& out,
                         std::string_view lead) {
  constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
  // Each row whose Item differs from the row before it opens the lines of an Item.
  long items = 0;
  Text current;
  ForEachDuplicateRow(session, [&](TextView item, TextView) {
    if (items == 0 || vba::StrComp(item, current, request.CompareMode) != 0) {
      ++items;
      current.assign(item);
    }
  });
  if (items == 0) return false;

  std::string lines(lead);
  lines += head;
  lines += ", ";
  lines += std::to_string(items);
  lines += items == 1 ? " Item is" : " Items are";
  lines += " each in more than one cell of ";
  lines += ToUtf8(session.Book().ActiveSheet().Name());
  lines += ":\n";
  std::string cells;
  const auto flush = [&] {
    if (cells.empty()) return;
    if (lines.size() >= kPieceBytes) {
      out << lines;
      lines.clear();
    }
    lines += "  ";
    lines += Shown(current);
    lines += '\t';
    lines += cells;
    lines += '\n';
    cells.clear();
  };
  ForEachDuplicateRow(session, [&](TextView item, TextView address) {
    if (cells.empty() || vba::StrComp(item, current, request.CompareMode) != 0) {
      flush();
      current.assign(item);
    }
    if (!cells.empty()) cells += ", ";
    // A cell's name, without its "$" signs; most are plain ASCII, their own UTF-8.
    if (std::all_of(address.begin(), address.end(), [](char16_t c) { return c < 0x80; })) {
      for (const char16_t c : address) {
        if (c != u'$') cells += static_cast<char>(c);
      }
    } else {
      for (const char c : ToUtf8(address)) {
        if (c != '$') cells += c;
      }
    }
  });
  flush();
  out << lines;
  return true;
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

bool WriteFaultReport(Session& session, const xl::Range& selection, std::ostream& out, std::string_view lead) {
  const host::Request& request = session.State().request;
  const Text fault = vba::Trim(request.FaultMsg);
  if (fault.empty()) return false;
  const std::string head = "fault: " + ToUtf8(fault);
  const bool duplicatesWalk = request.IgnoreIndexMode && fault.find(u"Duplicate") != Text::npos &&
                              vba::EqualsTrue(session.Control(host::ctl::main::kSort).Value());
  if (duplicatesWalk && WriteDuplicatesList(session, request, head, out, lead)) return true;
  const Text item = query::SearchText(session.ShownQueryItem());
  std::string report = head;
  if (session.ShownQueryItem().empty()) {
    report += "\n";
  } else if (const std::string cells = CellsHolding(selection, item, request); cells.empty()) {
    report += ", the Item " + Shown(item) + "\n";
  } else {
    report += ", the Item " + Shown(item) + ", in these cells of " + ToUtf8(selection.Parent().Name()) + ":\n" + cells;
  }
  out << lead << report;
  return true;
}

}  // namespace quillary::cli
