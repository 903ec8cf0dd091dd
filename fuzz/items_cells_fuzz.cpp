// Items from cells: any bytes (UTF-8, invalid sequences replaced) split into cell texts
// at line feeds, typed down column A and gathered as Get/Try gathers a selection (the
// Item grammar of CountIndex#, or plain texts), then subtracted from a second list
// gathered from column C, sorted, counted and shown; the text shown is read back as an
// edited Active Window is. The first byte picks the Item mode and the options. Faults
// and limits are answers, not errors: an Error raised by the component is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/shared_bench.h"
#include "host/controls.h"
#include "host/working_sheet.h"
#include "items/gather.h"
#include "items/list_sheet.h"
#include "items/put_text.h"
#include "items/sort_count.h"
#include "items/subtract.h"

namespace {

// The texts of the cells: the input split at line feeds, at most 64 of them.
std::vector<quillary::Text> CellTexts(std::string_view input) {
  std::vector<quillary::Text> cells;
  std::size_t start = 0;
  while (start <= input.size() && cells.size() < 64) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    cells.push_back(quillary::FromUtf8(input.substr(start, end - start)));
    start = end + 1;
  }
  return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  testkit::Bench& b = fuzz::SharedBench();
  const std::uint8_t options = data[0];
  const bool twoLists = (options & 16) != 0;
  b.Control(host::ctl::main::kIgnoreIndex).SetValue((options & 1) != 0);
  b.Control(host::ctl::main::kExpandRanges).SetValue((options & 2) != 0);
  b.Control(host::ctl::main::kSort).SetValue((options & 4) != 0);
  b.Control(host::ctl::main::kCommaSpace).SetValue((options & 8) != 0);
  b.Control(host::ctl::compdup::kJoinCells).SetValue((options & 32) != 0);
  b.BeginRequest(twoLists ? u"SubtractButton" : u"Null");
  host::InitPlace(b.state, host::kList1);
  host::InitPlace(b.state, host::kList2);
  const items::RequestOptions itemOptions =
      items::OptionsFor(b.state.request.vbaMode.Traits(), b.state.compare.CompareStep);

  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  sheet.Range(u"A1:C64").ClearContents();
  const std::vector<Text> cells = CellTexts(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const std::size_t left = twoLists ? (cells.size() + 1) / 2 : cells.size();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool second = i >= left;
    const long row = static_cast<long>(second ? i - left : i) + 1;
    items::WriteText(sheet.Cells(row, second ? 3 : 1), cells[i]);
  }
  const auto column = [&](long col, std::size_t rows) {
    return sheet.Range(sheet.Cells(1, col), sheet.Cells(static_cast<long>(rows == 0 ? 1 : rows), col));
  };

  if (twoLists && cells.size() > left) {
    if (items::IsLimit(items::ItemsGather(b.state, itemOptions, host::kList2, column(3, cells.size() - left))))
      return 0;
  }
  if (items::IsLimit(items::ItemsGather(b.state, itemOptions, host::kList1, column(1, left)))) return 0;
  if (items::ItemsSubtract(b.state, itemOptions, host::kList1, host::kList2) == host::Proceed::kGoOn) {
    (void)items::ItemsSortCntDsply(b.state, itemOptions, host::kList1);
  }
  // The text shown, read back as an edited Active Window.
  if (b.state.request.FaultMsg.empty()) {
    Text shown = b.state.request.ActiveWndw->Text();
    b.state.request.FaultMsg.clear();
    const auto fault = items::ItemsPutText(b.state, itemOptions, shown, host::kList1);
    if (!fault || *fault == items::fault::kNone) (void)items::ItemsSortCntDsply(b.state, itemOptions, host::kList1);
  }
  return 0;
}
