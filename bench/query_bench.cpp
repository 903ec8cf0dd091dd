// The Query's benchmark: one pass of a search over the used part of a sheet.
//
// The used range holds N cells, laid out as one column of N rows ("column"), as a
// square of about sqrt(N) x sqrt(N) cells ("square"), each cell a generated reference
// designator (single ones and ranges), or as rows as wide as the sheet ("wide") whose
// first cell alone holds a designator, the used range reaching the last column through
// one more cell at the end of the first row. One cell is selected, so the Query searches
// the whole used range; the Item searched has a prefix that every third designator holds
// but a number that none does, so every cell is visited and most designators go through
// the token search, and the pass ends in the not-found report. The walk runs as it does
// after its first three seconds, with the status bar showing. Beside it, in the same
// run: reading every cell of the same range once as text through the same spreadsheet
// interface, the least a search that visits every cell must do, and the ratio of the
// two.
//
// Each run takes place in a child process of its own, so that its peak resident memory
// is its own.
//
// Usage: quillary_query_bench [N ...]    (default: 10000 100000 1000000; the column of
// more than 1,048,576 cells does not fit the sheet)
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/harness.h"
#include "bench/workloads.h"
#include "platform/runtime/vba.h"
#include "query/query.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

struct Shape {
  const char* name;
  long (*columns)(std::int64_t n);
  // Only the first cell of each row holds a designator.
  bool firstCellsOnly = false;
};

constexpr long kSheetColumns = 16384;

constexpr Shape kShapes[] = {
    {"column", [](std::int64_t) { return 1L; }},
    {"square", [](std::int64_t n) { return std::max(1L, static_cast<long>(std::sqrt(static_cast<double>(n)))); }},
    {"wide", [](std::int64_t) { return kSheetColumns; }, true},
};

struct Figures {
  double walk = 0;
  double read = 0;
  std::int64_t cells = 0;
  std::size_t messages = 0;
  std::size_t polls = 0;
  long peakMb = 0;
};

Figures Run(const Shape& shape, std::int64_t n) {
  testkit::Bench b;
  b.addin.SetStrict(false);  // the not-found report is answered with its default button
  b.BeginRequest(u"Null");
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");

  const long cols = shape.columns(n);
  const long rows = static_cast<long>((n + cols - 1) / cols);
  const long filledCols = shape.firstCellsOnly ? 1 : cols;
  const std::vector<Text> items = bench::ReferenceItems(rows * static_cast<std::int64_t>(filledCols), {});
  for (long c = 1; c <= filledCols; ++c) {
    std::vector<Variant> values;
    values.reserve(static_cast<std::size_t>(rows));
    for (long r = 0; r < rows; ++r) {
      values.emplace_back(u"'" + items[static_cast<std::size_t>(r) * filledCols + (c - 1)]);
    }
    sheet.Range(sheet.Cells(1, c), sheet.Cells(rows, c)).SetValues(values);
  }
  if (filledCols < cols) sheet.Cells(1, cols).SetValue(Variant(Text(u"end")));

  Figures f;
  f.cells = static_cast<std::int64_t>(rows) * cols;
  sheet.Range(u"A1").Select();
  b.Control(host::ctl::query::kTextbox1).SetValue(Text(u"R999999999"));
  b.state.request.progress.ProgressShown = true;
  b.addin.QueueHook(u"MainUserFormHideOffsetShow", [&](std::span<Variant>) {
    const auto start = Clock::now();
    query::NextButtonClick(b.state);
    f.walk = Seconds(start, Clock::now());
  });
  query::GoQueryUserForm(b.state);
  f.messages = b.addin.Messages().size();
  f.polls = b.addin.CallsOf(u"vbaBreakKey").size();

  const auto start = Clock::now();
  std::size_t characters = 0;
  for (long r = 1; r <= rows; ++r) {
    for (long c = 1; c <= cols; ++c) characters += vba::CStr(sheet.CellValue(r, c)).size();
  }
  f.read = Seconds(start, Clock::now());
  if (characters == 0) std::printf("(no text read)\n");
  f.peakMb = bench::PeakMegabytes();
  return f;
}

void PrintRow(const Shape& shape, const Figures& f) {
  const double perCell = 1e9 / static_cast<double>(std::max<std::int64_t>(1, f.cells));
  std::printf("%-14s %11lld %10.3f %10.3f %12.1f %12.1f %7.2f %9ld  %zu, %zu\n", shape.name,
              static_cast<long long>(f.cells), f.walk, f.read, f.walk * perCell, f.read * perCell,
              f.walk / std::max(f.read, 1e-9), f.peakMb, f.messages, f.polls);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  return quillary::bench::Main(
      argc, argv, {10, 1048576LL * quillary::kSheetColumns, "N cells"},
      [] {
        std::printf("%-14s %11s %10s %10s %12s %12s %7s %9s  %s\n", "shape", "cells", "search s", "read s",
                    "search ns/c", "read ns/c", "ratio", "peak MB", "check (messages, break-key polls)");
      },
      quillary::kShapes,
      [](const quillary::Shape& shape, std::int64_t n) { quillary::PrintRow(shape, quillary::Run(shape, n)); });
}
