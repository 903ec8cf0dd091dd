// The row actions' benchmark: EXPAND Row to Many and REDUCE Rows to One over lists of N
// source rows on the bench's in-memory workbook, each writing its result sheet.
//
//   expand          N rows of a part name, three designators in the bolded column and a
//                   quantity: 3N output rows, written in batches of 100 (unattended).
//   reduce          N rows in records of four (Indented): the first row of a record
//                   holds the part, each row one designator in the bolded column and a
//                   line of description; N/4 output rows, the designators joined, then
//                   sorted through the block engine (attended, Sort ticked).
//   reduce nosort   the same, unattended: no sort step.
//   cells only      the reference: the same N x 4 cells read one by one and as many
//                   written onto a new sheet, through the spreadsheet interface, and
//                   nothing else.
// For each it prints the time, the time per source row (which stays nearly flat as N
// grows when a run grows as n log n or less) and the peak resident memory of a child
// process of its own (getrusage ru_maxrss).
//
// Usage: quillary_result_sheets_bench [N ...]    (default: 20000 200000)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "actions/row_expand.h"
#include "actions/rows_reduce.h"
#include "bench/harness.h"
#include "drivers/routines.h"
#include "host/callbacks.h"
#include "host/state.h"
#include "items/list_sheet.h"
#include "platform/runtime/vba.h"
#include "sheets/result_sheets.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

enum class Kind { kExpand, kReduce, kReduceUnsorted, kCells };

struct Workload {
  const char* name;
  Kind kind;
};

constexpr Workload kWorkloads[] = {
    {"expand", Kind::kExpand},
    {"reduce", Kind::kReduce},
    {"reduce nosort", Kind::kReduceUnsorted},
    {"cells only", Kind::kCells},
};

// prefix & n, as "R12".
Text Tagged(const char16_t* prefix, std::int64_t n) {
  Text t = prefix;
  t += vba::IntegerText(n);
  return t;
}

// The list of N rows in A1:D<N> of the active sheet.
void WriteList(xl::Worksheet& sheet, Kind kind, std::int64_t n) {
  for (std::int64_t i = 0; i < n; ++i) {
    const auto row = static_cast<long>(i + 1);
    if (kind == Kind::kExpand) {
      Text list = Tagged(u"R", 3 * i);
      list += Tagged(u", C", 3 * i + 1);
      list += Tagged(u",U", 3 * i + 2);
      items::WriteText(sheet.Cells(row, 1), Tagged(u"P", i));
      items::WriteText(sheet.Cells(row, 2), list);
      items::WriteText(sheet.Cells(row, 3), u"3");
      continue;
    }
    // Records of four rows, their designators out of order.
    if (i % 4 == 0) {
      items::WriteText(sheet.Cells(row, 1), Tagged(u"P", i / 4));
      items::WriteText(sheet.Cells(row, 4), u"4");
    }
    items::WriteText(sheet.Cells(row, 2), Tagged(u"line ", i % 4));
    items::WriteText(sheet.Cells(row, 3), Tagged(u"R", n - i));
  }
}

struct Figures {
  double seconds = 0;
  long peakMb = 0;
  long resultRows = 0;
};

Figures Run(const Workload& w, std::int64_t n) {
  testkit::Bench b;
  b.routines = drivers::BuildRoutines();
  b.addin.SetStrict(false);
  xl::Worksheet& source = b.book->ActiveSheet();
  source.SetName(u"List");
  WriteList(source, w.kind, n);
  const long cols = w.kind == Kind::kExpand ? 3 : 4;
  const auto rows = static_cast<long>(n);
  source.Cells(1, w.kind == Kind::kExpand ? 2 : 3).Font().SetBold(true);

  const bool reduce = w.kind == Kind::kReduce || w.kind == Kind::kReduceUnsorted;
  b.Control(host::ctl::main::kIgnoreIndex).SetValue(true);
  b.Control(host::ctl::main::kSort).SetValue(true);
  b.BeginRequest(reduce ? host::ModeId::kReduceRowsToOne : host::ModeId::kExpandRowToMany);
  b.Control(host::ctl::mail::kSkipMenu).SetEnabled(w.kind != Kind::kReduce);
  if (w.kind == Kind::kReduce) {
    b.addin.QueueMessageAnswer(host::msgbox::kAnswerNo);      // page set-up
    b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);  // window arrangement
  }
  source.Range(source.Cells(1, 1), source.Cells(rows, cols)).Select();

  const auto start = Clock::now();
  switch (w.kind) {
    case Kind::kExpand: actions::RowExpand(b.state); break;
    case Kind::kReduce:
    case Kind::kReduceUnsorted: actions::RowsReduce(b.state); break;
    case Kind::kCells: {
      sheets::MakeNewSheet(b.state, u"List", u"-Copy");
      xl::Worksheet& copy = b.book->ActiveSheet();
      for (long r = 1; r <= rows; ++r) {
        for (long c = 1; c <= cols; ++c) items::WriteText(copy.Cells(r + 2, c), items::CellText(source.Cells(r, c)));
      }
      b.state.actions.ResultRows = rows;
      b.state.actions.BatchStatus = host::BatchMark::kLast;
      break;
    }
  }
  Figures f;
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.peakMb = bench::PeakMegabytes();
  f.resultRows = b.state.actions.BatchStatus == host::BatchMark::kLast ? b.state.actions.ResultRows : -1;
  return f;
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  using namespace quillary;
  return bench::Main(
      argc, argv, {1, 1000000, "N source rows", {20000, 200000}},
      [] {
        std::printf("%-14s %9s %10s %12s %9s %11s\n", "workload", "N", "seconds", "us/row", "peak MB", "result rows");
      },
      kWorkloads,
      [](const Workload& w, std::int64_t n) {
        const Figures f = Run(w, n);
        std::printf("%-14s %9lld %10.3f %12.2f %9ld %11ld\n", w.name, static_cast<long long>(n), f.seconds,
                    f.seconds * 1e6 / static_cast<double>(n), f.peakMb, f.resultRows);
      });
}
