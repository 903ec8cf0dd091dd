// Helpers of the result-sheet actions' tests: tables written into and read from sheets,
// the block engine's work as the result writers drive it, and the Action list's
// hand-over to REDUCE Rows to One as the netlist conversion drives it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actions/rows_reduce.h"
#include "host/callbacks.h"
#include "host/modes.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::actions::testing {

using Table = std::vector<std::vector<Text>>;

// Writes the rows of texts from (row, col) on; "" leaves a cell empty. Texts are
// written as texts ("'" & text).
inline void Fill(xl::Worksheet& sheet, long row, long col, const Table& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (rows[r][c].empty()) continue;
      items::WriteText(sheet.Cells(row + static_cast<long>(r), col + static_cast<long>(c)), rows[r][c]);
    }
  }
}

// The texts of `rows` x `cols` cells from (row, col) on ("" for an empty cell).
inline Table Read(xl::Worksheet& sheet, long row, long col, long rows, long cols) {
  Table t(static_cast<std::size_t>(rows));
  for (long r = 0; r < rows; ++r) {
    for (long c = 0; c < cols; ++c)
      t[static_cast<std::size_t>(r)].push_back(items::CellText(sheet.Cells(row + r, col + c)));
  }
  return t;
}

// The sheet of the active workbook whose name begins with `prefix` (the result sheets
// carry a number), or null.
inline xl::Worksheet* SheetStartingWith(testkit::Bench& b, TextView prefix) {
  xl::SheetCollection& sheets = b.book->Worksheets();
  for (long i = 1; i <= sheets.Count(); ++i) {
    if (sheets.Item(i).Name().rfind(prefix, 0) == 0) return &sheets.Item(i);
  }
  return nullptr;
}

// The names of the active workbook's visible sheets, in order.
inline std::vector<Text> VisibleSheets(testkit::Bench& b) {
  std::vector<Text> names;
  xl::SheetCollection& sheets = b.book->Worksheets();
  for (long i = 1; i <= sheets.Count(); ++i) {
    if (sheets.Item(i).Visible() == xl::xlSheetVisible) names.push_back(sheets.Item(i).Name());
  }
  return names;
}

// The Items of a cell sorted, joined with ",".
inline Text SortedItems(TextView cell) {
  std::vector<Text> items;
  std::size_t p = 0;
  while (p <= cell.size()) {
    std::size_t comma = cell.find(u',', p);
    if (comma == TextView::npos) comma = cell.size();
    Text item = vba::Trim(cell.substr(p, comma - p));
    if (!item.empty()) items.push_back(std::move(item));
    p = comma + 1;
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const Text& a, const Text& b) { return text_order::CompareText(a, b, false) < 0; });
  Text joined;
  for (const Text& i : items) {
    if (!joined.empty()) joined += u',';
    joined += i;
  }
  return joined;
}

// What the block engine does for the result writers: for each row of the selection,
// the cell's Items sorted ("Items") or counted ("Count", by CheckBox6's caption) into
// the cell to its right; DisplayText the last result. It records how it was called.
struct FakePasteRight {
  struct Call {
    Text mode;
    Text modeHold;
    bool skipMenu = false;
    Text pasteType;
    xl::Area selection;
  };

  void operator()(host::State& s) const {
    const xl::Range sel = s.App().ActiveWindow()->RangeSelection();
    calls->push_back({s.request.vbaMode.Text(), s.Control(host::ctl::mail::kModeHold).Caption(),
                      s.Control(host::ctl::mail::kSkipMenu).Enabled(), s.Control(host::ctl::main::kPasteType).Caption(),
                      sel.FirstArea()});
    const bool count = s.Control(host::ctl::main::kPasteType).Caption() == u"Count";
    xl::Worksheet& sheet = sel.Parent();
    for (long r = sel.Row(); r < sel.Row() + sel.RowsCount(); ++r) {
      const Text items = SortedItems(items::CellText(sheet.Cells(r, sel.Column())));
      Text result = items;
      if (count)
        result = items.empty() ? Text(u"0") : vba::IntegerText(std::count(items.begin(), items.end(), u',') + 1);
      items::WriteText(sheet.Cells(r, sel.Column() + 1), result);
      s.request.DisplayText = result;
    }
  }

  std::vector<Call>* calls;
};

// The Action list's hand-over to REDUCE Rows to One, as the netlist conversion uses it.
inline void ReduceDispatch(host::State& s) {
  if (s.request.vbaMode.Is(host::ModeId::kReduceRowsToOne)) RowsReduce(s);
}

// The prompts of the messages shown so far.
inline std::vector<Text> Prompts(testkit::Bench& b) {
  std::vector<Text> out;
  for (const auto& m : b.addin.Messages()) out.push_back(m.prompt);
  return out;
}

inline bool Begins(const Text& text, TextView start) { return text.rfind(start, 0) == 0; }

}  // namespace quillary::actions::testing
