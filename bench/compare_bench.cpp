// The COMPARE 2 benchmark: two columns of N Items each compared with USE NEW, the
// uniques of both sides tagged (the Items listed beside each row, both colours) and
// written onto the difference report, as a user runs "COMPARE 2/Uniques".
//
// Workloads:
//   compare-ci  CountIndex#: reference designators (each number used once, shuffled)
//               against a second set whose numbers overlap about half of the first's.
//   compare-ii  IgnoreIndex#: N distinct part names against N names of which half are
//               the first column's (in other letter case) and half new.
// For each it times the whole action in a child process of its own (peak resident
// memory and page faults by getrusage) and, as the references, `LC_ALL=C sort` of both
// columns written one Item per line and `comm -3` of the two sorted files, and a plain
// read of every cell of both columns and a write of as many cells through the same
// spreadsheet interface; it prints the ratio of the action's time to each.
//
// Usage: quillary_compare_bench [N ...]    (default: 10000 100000 500000)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "bench/workloads.h"
#include "drivers/routines.h"
#include "host/routines.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The minor page faults of this process so far: each the first touch of a fresh page.
long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// N designators numbered from about half way up the first set's numbers.
std::vector<Text> OtherReferenceItems(std::int64_t n) {
  const std::int64_t perPrefix = n / static_cast<std::int64_t>(std::size(bench::kReferencePrefixes));
  return bench::ReferenceItems(n, {.first = 1 + perPrefix / 2, .seed = 20240615});
}

// N distinct names, shuffled.
std::vector<Text> DistinctNames(std::int64_t n) {
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 1; i <= n; ++i) items.push_back(u"Part_" + bench::Number(i) + u"_x");
  std::mt19937_64 rng(20240616);
  std::shuffle(items.begin(), items.end(), rng);
  return items;
}

// Half of the first column's names in upper case, half new ones.
std::vector<Text> OtherNames(std::int64_t n) {
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 1; i <= n; ++i) {
    items.push_back(i % 2 == 0 ? u"PART_" + bench::Number(i) + u"_X" : u"Part_" + bench::Number(n + i) + u"_x");
  }
  std::mt19937_64 rng(20240617);
  std::shuffle(items.begin(), items.end(), rng);
  return items;
}

struct Workload {
  const char* name;
  bool ignoreIndex;
  std::vector<Text> (*left)(std::int64_t);
  std::vector<Text> (*right)(std::int64_t);
};

std::vector<Text> Designators(std::int64_t n) { return bench::ReferenceItems(n); }

constexpr Workload kWorkloads[] = {
    {"compare-ci", false, &Designators, &OtherReferenceItems},
    {"compare-ii", true, &DistinctNames, &OtherNames},
};

struct Figures {
  double compare = 0;
  double reference = -1;
  double readWrite = 0;
  long faults = 0;
  long peakMb = 0;
  std::size_t leftChars = 0;
  std::size_t rightChars = 0;
  long reportRows = 0;
  std::size_t messages = 0;
};

// `LC_ALL=C sort` of both lists and `comm -3` of the sorted files.
double SortComm(const std::vector<Text>& left, const std::vector<Text>& right) {
  char a[] = "/tmp/quillary_compare_bench_XXXXXX";
  char b[] = "/tmp/quillary_compare_bench_XXXXXX";
  const int fa = mkstemp(a);
  const int fb = mkstemp(b);
  if (fa < 0 || fb < 0) return -1;
  close(fa);
  close(fb);
  for (const auto& [path, items] : {std::pair{a, &left}, std::pair{b, &right}}) {
    std::ofstream out(path, std::ios::binary);
    for (const Text& item : *items) out << ToUtf8(item) << '\n';
  }
  const std::string sa = std::string(a) + ".s";
  const std::string sb = std::string(b) + ".s";
  const std::string command = std::string("LC_ALL=C sort ") + a + " > " + sa + " && LC_ALL=C sort " + b + " > " + sb +
                              " && LC_ALL=C comm -3 " + sa + " " + sb + " > /dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double elapsed = Seconds(start, Clock::now());
  for (const std::string& path : {std::string(a), std::string(b), sa, sb}) std::remove(path.c_str());
  return status == 0 ? elapsed : -1;
}

Figures Run(const Workload& w, std::int64_t n) {
  Figures f;
  const std::vector<Text> left = w.left(n);
  const std::vector<Text> right = w.right(n);

  testkit::Bench b;
  b.routines = drivers::BuildRoutines();
  // Messages and the dialog take their default buttons; the report is finished as is.
  b.addin.SetStrict(false);
  b.Control(host::ctl::main::kIgnoreIndex).SetValue(w.ignoreIndex);
  b.Control(host::ctl::main::kSort).SetValue(true);
  for (const host::ControlId& id : {host::ctl::compdup::kListUniques, host::ctl::compdup::kColorLeftEnable,
                                    host::ctl::compdup::kColorRightEnable, host::ctl::compdup::kSummaryYes}) {
    b.Control(id).SetValue(true);
  }
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  const auto fill = [&](long col, const std::vector<Text>& texts) {
    std::vector<Variant> values;
    values.reserve(texts.size());
    for (const Text& item : texts) values.emplace_back(u"'" + item);
    sheet.Range(sheet.Cells(1, col), sheet.Cells(static_cast<long>(n), col)).SetValues(values);
  };
  fill(1, left);
  fill(3, right);
  sheet.Range(u"A1:A" + bench::Number(n) + u",C1:C" + bench::Number(n)).Select();

  // Every cell of both columns read as text and written into two other columns, one
  // cell at a time.
  {
    const auto begin = Clock::now();
    std::size_t characters = 0;
    for (const long col : {1L, 3L}) {
      for (long r = 1; r <= static_cast<long>(n); ++r) {
        Text t = vba::CStr(sheet.CellValue(r, col));
        characters += t.size();
        sheet.Cells(r, col + 20).SetValue(Variant(std::move(t)));
      }
    }
    f.readWrite = Seconds(begin, Clock::now());
    if (characters == 0) std::printf("(no text read)\n");
    sheet.Range(sheet.Cells(1, 21), sheet.Cells(static_cast<long>(n), 23)).ClearContents();
  }

  const long faultsBefore = MinorFaults();
  const auto start = Clock::now();
  b.BeginRequest(host::ModeId::kCompare2);
  host::RoutineOf(b.state, &host::Routines::ActionCmprTwo, "ActionCmprTwo")(b.state);
  f.compare = Seconds(start, Clock::now());
  phases::Report(std::cerr);
  f.faults = MinorFaults() - faultsBefore;

  f.peakMb = bench::PeakMegabytes();
  f.leftChars = b.Control(host::ctl::main::kTextbox1).Text().size();
  f.rightChars = b.Control(host::ctl::main::kTextbox2).Text().size();
  xl::Workbook& book = *b.book;
  for (long i = 1; i <= book.Worksheets().Count(); ++i) {
    xl::Worksheet& s = book.Worksheets().Item(i);
    if (s.Name().ends_with(u"-DiffRpt1")) f.reportRows = s.UsedRange().RowsCount();
  }
  f.messages = b.addin.Messages().size();
  f.reference = SortComm(left, right);
  return f;
}

void PrintHeader() {
  std::printf("%-11s %9s %10s %12s %8s %12s %8s %8s %9s  %s\n", "workload", "N", "compare s", "sort+comm s", "ratio",
              "read+write s", "ratio", "peak MB", "faults", "check (window chars left/right, report rows, messages)");
}

void PrintRow(const Workload& w, std::int64_t n, const Figures& f) {
  std::printf("%-11s %9lld %10.3f %12.3f %8.2f %12.3f %8.2f %8ld %9ld  %zu/%zu, %ld, %zu\n", w.name,
              static_cast<long long>(n), f.compare, f.reference, f.reference > 0 ? f.compare / f.reference : 0.0,
              f.readWrite, f.compare / std::max(f.readWrite, 1e-9), f.peakMb, f.faults, f.leftChars, f.rightChars,
              f.reportRows, f.messages);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  return quillary::bench::Main(argc, argv, {1, 1048573, "N Items a side", {10000, 100000, 500000}},
                               quillary::PrintHeader, quillary::kWorkloads,
                               [](const auto& w, std::int64_t n) { quillary::PrintRow(w, n, quillary::Run(w, n)); });
}
