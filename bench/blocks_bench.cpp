// The block engine's benchmark: TRAVEL runs over N blocks of one row down column A of
// the bench's in-memory workbook, the result of each written beside it.
//
//   paste-v      "Paste_V" with the PasteType "Count", attended: N one-row blocks of
//                reference designators ("R7, C7-C9"), a count written beside each; the
//                run ends at the empty block below the list (its question answered
//                Cancel).
//   paste-right  "Paste_>" unattended (as an action runs it), Items: N rows of two
//                cells, the condensed Items beside each row; it stops silently at the
//                empty row.
//   subtract-v   "Subtract Display V" unattended: the 50 Items of the Active Window
//                subtracted from each of the N blocks.
//   cells only   the reference: the same N cells read and a value written beside each
//                through the spreadsheet interface, with the emptiness test the writer
//                makes, and nothing else: what a pass cannot do without.
// For each it prints the time, the time per block (which stays flat as N grows when a
// run is linear in its blocks) and the peak resident memory of a child process of its
// own (getrusage ru_maxrss).
//
// Usage: quillary_blocks_bench [N ...]    (default: 10000 100000 1000000)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "bench/harness.h"
#include "blocks/block_engine.h"
#include "drivers/routines.h"
#include "host/callbacks.h"
#include "host/state.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

Text Number(std::int64_t n) { return vba::IntegerText(n); }

struct Workload {
  const char* name;
  host::ModeId mode;  // kOther: the reference
  bool unattended;
  bool twoColumns;
  bool window;  // Items in the Active Window to subtract
};

constexpr Workload kWorkloads[] = {
    {"paste-v", host::ModeId::kPasteV, false, false, false},
    {"paste-right", host::ModeId::kPasteRight, true, true, false},
    {"subtract-v", host::ModeId::kSubtractDisplayV, true, false, true},
    {"cells only", host::ModeId::kOther, false, false, false},
};

struct Figures {
  double seconds = 0;
  long peakMb = 0;
  Text lastResult;
  std::size_t messages = 0;
};

Figures Run(const Workload& w, std::int64_t n) {
  testkit::Bench b;
  b.routines = drivers::BuildRoutines();
  b.addin.SetStrict(false);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);  // the empty block below the list
  b.Control(host::ctl::main::kPasteType).SetCaption(w.mode == host::ModeId::kPasteV ? u"Count" : u"Items");
  if (w.unattended) {
    b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
    b.state.blocks.OnceFlag = false;
  }
  if (w.window) {
    Text items;
    for (int i = 1; i <= 50; ++i) {
      if (i > 1) items += u",";
      items += u"R";
      items += Number(4 * i);
    }
    b.Control(host::ctl::main::kTextbox1).SetValue(items);
  }

  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  const long rows = static_cast<long>(n);
  std::vector<Variant> values;
  values.reserve(static_cast<std::size_t>(n));
  for (long r = 1; r <= rows; ++r) {
    Text cell = u"R";
    cell += Number(r);
    cell += u", C";
    cell += Number(r);
    cell += u"-C";
    cell += Number(r + 2);
    values.emplace_back(std::move(cell));
  }
  sheet.Range(sheet.Cells(1, 1), sheet.Cells(rows, 1)).SetValues(values);
  if (w.twoColumns) {
    for (auto& v : values) {
      Text cell = u"U";
      cell += TextView(v.AsText()).substr(1, v.AsText().find(u',') - 1);
      v = Variant(std::move(cell));
    }
    sheet.Range(sheet.Cells(1, 2), sheet.Cells(rows, 2)).SetValues(values);
  }
  const long resultColumn = w.twoColumns ? 3 : 2;

  Figures f;
  const auto start = Clock::now();
  if (w.mode == host::ModeId::kOther) {
    xl::WorksheetFunction& function = b.app->WorksheetFunction();
    for (long r = 1; r <= rows; ++r) {
      const Text text = vba::CStr(sheet.Cells(r, 1).Value());
      const xl::Range cell = sheet.Cells(r, 2);
      if (function.CountA(cell) == 0) cell.SetValue(Number(static_cast<std::int64_t>(text.size())));
      static_cast<void>(function.CountA(sheet.Cells(r + 1, 1)));
    }
  } else {
    sheet.Range(w.twoColumns ? u"A1:B1" : u"A1").Select();
    b.BeginRequest(w.mode);
    blocks::GetSortCntPasteTravel(b.state);
  }
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();

  f.peakMb = bench::PeakMegabytes();
  f.lastResult = vba::CStr(sheet.Cells(rows, resultColumn).Value());
  f.messages = b.addin.Messages().size();
  return f;
}

void PrintHeader() {
  std::printf("%-12s %9s %10s %14s %9s  %s\n", "workload", "N", "time s", "us per block", "peak MB",
              "check (last result, messages)");
}

void PrintRow(const Workload& w, std::int64_t n, const Figures& f) {
  std::printf("%-12s %9lld %10.3f %14.2f %9ld  %s, %zu\n", w.name, static_cast<long long>(n), f.seconds,
              f.seconds * 1e6 / static_cast<double>(n), f.peakMb, ToUtf8(f.lastResult).c_str(), f.messages);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  return quillary::bench::Main(argc, argv, {1, 1000000, "N blocks"}, quillary::PrintHeader, quillary::kWorkloads,
                               [](const auto& w, std::int64_t n) { quillary::PrintRow(w, n, quillary::Run(w, n)); });
}
