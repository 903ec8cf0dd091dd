// The Item engine's benchmark.
//
// Two workloads of N generated Items, one Item per cell down column A of the bench's
// in-memory workbook:
//   countindex   CountIndex# on reference designators that occur once each (R1, C7, U12,
//                and ranges such as R10-R12 over numbers not used otherwise), shuffled:
//                the sort-and-condense job, which joins them back into ranges.
//   ignoreindex  IgnoreIndex# with the Sort option on names with many duplicates (N
//                Items drawn from N/20 names): the sort, duplicates list and summary.
//   subtract-ci  CountIndex#: list 2 (a second set of N designators, whose numbers
//                overlap about half of the first set's, its ranges cutting ranges of
//                the first in two) subtracted from the countindex Items (ItemsSubtract).
//   subtract-ii  IgnoreIndex# with the Sort option: N names subtracted from the
//                ignoreindex Items, half of the names shared.
// For each it times the gathering (ItemsGather over the column; for the subtractions
// both lists), the subtraction, the sort, count and render (ItemsSortCntDsply), and
// `LC_ALL=C sort | uniq -c` on the same Items written one per line to a temporary file. Each run takes place in a child
// process of its own, so that its peak resident memory (getrusage ru_maxrss) is its own.
//
// Usage: quillary_items_bench [N ...]    (default: 10000 100000 1000000)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "bench/workloads.h"
#include "host/state.h"
#include "host/working_sheet.h"
#include "items/gather.h"
#include "items/sort_count.h"
#include "items/subtract.h"
#include "platform/runtime/error.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

using bench::DuplicateNames;
using bench::Number;
using bench::ReferenceItems;

// N reference designators as ReferenceItems makes them, but numbered from about half
// way up each prefix's numbers, with ranges of five at other places.
std::vector<Text> OverlappingReferenceItems(std::int64_t n) {
  const std::int64_t perPrefix = n / static_cast<std::int64_t>(std::size(bench::kReferencePrefixes));
  return ReferenceItems(n, {.first = 1 + perPrefix / 2,
                            .singleStep = 2,
                            .rangeEvery = 7,
                            .rangeAt = 3,
                            .rangeWidth = 4,
                            .rangeStep = 5,
                            .seed = 20240613});
}

// N names drawn from N/20 distinct ones, half of them those of DuplicateNames, in
// other letter case.
std::vector<Text> OverlappingNames(std::int64_t n) {
  const std::int64_t distinct = std::max<std::int64_t>(1, n / 20);
  std::mt19937_64 rng(20240614);
  std::uniform_int_distribution<std::int64_t> pick(1 + distinct / 2, distinct + distinct / 2);
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) items.push_back(u"PART_" + Number(pick(rng)) + u"_X");
  return items;
}

struct Workload {
  const char* name;
  bool ignoreIndex;
  std::vector<Text> (*make)(std::int64_t);
  // The Items subtracted (list 2), or none.
  std::vector<Text> (*subtrahend)(std::int64_t) = nullptr;
};

constexpr Workload kWorkloads[] = {
    {"countindex", false, &ReferenceItems},
    {"ignoreindex", true, &DuplicateNames},
    {"subtract-ci", false, &ReferenceItems, &OverlappingReferenceItems},
    {"subtract-ii", true, &DuplicateNames, &OverlappingNames},
};

struct Figures {
  double gather = 0;
  double sortCount = 0;
  double subtract = -1;
  int subtractResult = 0;
  double sortUniq = -1;
  long peakMb = 0;
  int gatherResult = 0;
  int sortResult = 0;
  Text countText;
  std::size_t displayLength = 0;
  std::size_t messages = 0;
};

// Times `LC_ALL=C sort | uniq -c` on the Items written one per line.
double SortUniq(const std::vector<Text>& items) {
  char path[] = "/tmp/quillary_items_bench_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  {
    std::ofstream out(path, std::ios::binary);
    for (const Text& item : items) out << ToUtf8(item) << '\n';
  }
  const std::string command = std::string("LC_ALL=C sort ") + path + " | uniq -c > /dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double elapsed = Seconds(start, Clock::now());
  std::remove(path);
  return status == 0 ? elapsed : -1;
}

Figures Run(const Workload& w, std::int64_t n) {
  Figures f;
  const std::vector<Text> items = w.make(n);

  testkit::Bench b;
  // Any message the engine shows is answered with its default button and counted.
  b.addin.SetStrict(false);
  b.Control(host::ctl::main::kIgnoreIndex).SetValue(w.ignoreIndex);
  b.Control(host::ctl::main::kSort).SetValue(w.ignoreIndex);   // the Sort option
  b.Control(host::ctl::main::kExpandRanges).SetValue(false);   // ExpandRanges off
  b.Control(host::ctl::main::kTagDuplicates).SetValue(false);  // no duplicate tagging
  b.BeginRequest(u"Null");

  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  auto fillColumn = [&](long col, const std::vector<Text>& texts) {
    const xl::Range column = sheet.Range(sheet.Cells(1, col), sheet.Cells(static_cast<long>(n), col));
    std::vector<Variant> values;
    values.reserve(texts.size());
    for (const Text& item : texts) values.emplace_back(u"'" + item);
    column.SetValues(values);
    return column;
  };
  const xl::Range column = fillColumn(1, items);

  const items::RequestOptions itemOptions =
      items::OptionsFor(b.state.request.vbaMode.Traits(), b.state.compare.CompareStep);
  auto start = Clock::now();
  if (w.subtrahend) {
    // List 2 first, as a Subtract Display collects it before list 1.
    const xl::Range second = fillColumn(3, w.subtrahend(n));
    start = Clock::now();
    f.gatherResult = static_cast<int>(items::ItemsGather(b.state, itemOptions, host::kList2, second));
  }
  if (f.gatherResult == 0)
    f.gatherResult = static_cast<int>(items::ItemsGather(b.state, itemOptions, host::kList1, column));
  auto gathered = Clock::now();
  f.gather = Seconds(start, gathered);
  if (w.subtrahend) {
    f.subtractResult = static_cast<int>(items::ItemsSubtract(b.state, itemOptions, host::kList1, host::kList2));
    const auto subtracted = Clock::now();
    f.subtract = Seconds(gathered, subtracted);
    gathered = subtracted;
  }
  f.sortResult = static_cast<int>(items::ItemsSortCntDsply(b.state, itemOptions, host::kList1));
  const auto counted = Clock::now();
  f.sortCount = Seconds(gathered, counted);

  f.peakMb = bench::PeakMegabytes();
  f.countText = b.state.items.ItemCountText;
  f.displayLength = b.state.request.DisplayText.size();
  f.messages = b.addin.Messages().size();
  f.sortUniq = SortUniq(items);
  return f;
}

void PrintHeader() {
  std::printf("%-12s %9s %10s %11s %12s %10s %9s %13s  %s\n", "workload", "N", "gather s", "subtract s", "sort+show s",
              "total s", "peak MB", "sort|uniq s", "check (codes, count, display chars, messages)");
}

void PrintRow(const Workload& w, std::int64_t n, const Figures& f) {
  char subtract[16] = "-";
  if (f.subtract >= 0) std::snprintf(subtract, sizeof subtract, "%.3f", f.subtract);
  char codes[32];
  if (w.subtrahend) {
    std::snprintf(codes, sizeof codes, "%d/%d/%d", f.gatherResult, f.subtractResult, f.sortResult);
  } else {
    std::snprintf(codes, sizeof codes, "%d/%d", f.gatherResult, f.sortResult);
  }
  const double total = f.gather + std::max(0.0, f.subtract) + f.sortCount;
  std::printf("%-12s %9lld %10.3f %11s %12.3f %10.3f %9ld %13.3f  %s, %s, %zu, %zu\n", w.name,
              static_cast<long long>(n), f.gather, subtract, f.sortCount, total, f.peakMb, f.sortUniq, codes,
              ToUtf8(f.countText).c_str(), f.displayLength, f.messages);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  // One Item per row of column A: at most the working sheet's Item capacity.
  return quillary::bench::Main(argc, argv, {1, 1048573, "N Items"}, quillary::PrintHeader, quillary::kWorkloads,
                               [](const auto& w, std::int64_t n) { quillary::PrintRow(w, n, quillary::Run(w, n)); });
}
