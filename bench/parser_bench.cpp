// The script-driven parser's benchmark.
//
// N generated report lines, one per row down column A of the bench's in-memory
// workbook (a part, its value, its package and a description: "U17, 4.7k ,0805,
// Resistor 1/8W thin film"), split at their commas by the script ",>o_" (spaces at the
// column edges dropped) onto a new "-TxtToCol" sheet. Timed:
//   interpret  the script reader and the interpreter alone over the N texts (RunRow and
//              FinishLine), without a sheet
//   run        the whole "Parser" request: reading the cells, interpreting, writing the
//              lines, the split into text columns and the result sheet's finishing
//   sed        `sed 's/ *, */|/g'` on the same lines written one per line to a temporary
//              file, beside them: the same text work done by a stream editor
// Each size runs in a child process of its own, so that its peak resident memory
// (getrusage ru_maxrss) is its own; the figures of one size beside another show whether
// the work stays linear in the text. The check column gives the result sheet's rows and
// columns and the interpreter's output characters.
//
// Usage: quillary_parser_bench [N ...]   (default: 50000 100000 200000)
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "bench/workloads.h"
#include "host/controls.h"
#include "parser/interpreter.h"
#include "parser/parser.h"
#include "parser/script.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

constexpr char16_t kScript[] = u",>o_";

// N report lines with a fixed seed.
std::vector<Text> ReportLines(std::int64_t n) {
  static constexpr const char16_t* kValues[] = {u"10k", u" 4.7k ", u"100n", u"1u", u"0R", u"22p ", u"BAV99"};
  static constexpr const char16_t* kPackages[] = {u"0603", u"0805", u" SOT-23", u"0402", u"SOIC-8 "};
  static constexpr const char16_t* kWords[] = {u"Resistor",  u"Capacitor", u"1/8W",  u"X7R",
                                               u"thin film", u"50V",       u"diode", u"5%"};
  std::mt19937_64 rng(20240615);
  std::vector<Text> lines;
  lines.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    Text line = bench::kReferencePrefixes[rng() % std::size(bench::kReferencePrefixes)];
    line += bench::Number(static_cast<std::int64_t>(rng() % 9999) + 1);
    line += u", ";
    line += kValues[rng() % std::size(kValues)];
    line += u",";
    line += kPackages[rng() % std::size(kPackages)];
    line += u", ";
    for (std::uint64_t w = rng() % 4 + 1; w > 0; --w) {
      line += kWords[rng() % std::size(kWords)];
      if (w > 1) line += u' ';
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

struct Figures {
  double interpret = 0;
  std::int64_t outputChars = 0;
  double run = 0;
  double sed = -1;
  long peakMb = 0;
  long rows = 0;
  long columns = 0;
};

// Times `sed 's/ *, */|/g'` on the lines written one per line.
double Sed(const std::vector<Text>& lines) {
  char path[] = "/tmp/quillary_parser_bench_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  {
    std::ofstream out(path, std::ios::binary);
    for (const Text& line : lines) out << ToUtf8(line) << '\n';
  }
  const std::string command = std::string("LC_ALL=C sed 's/ *, */|/g' ") + path + " > /dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double elapsed = Seconds(start, Clock::now());
  std::remove(path);
  return status == 0 ? elapsed : -1;
}

Figures Run(std::int64_t n) {
  Figures f;
  const std::vector<Text> lines = ReportLines(n);

  // The language and the interpreter alone.
  {
    const auto start = Clock::now();
    const parser::Program program = parser::ReadScript(kScript);
    // "'", "~", "a" to "d" empty; ",", "s", "t"; "o" is "|".
    const parser::OperandValues values{u"", u"", u"", u"", u"", u"", u",", u" ", u"\t", u"|"};
    std::optional<parser::RunMemory> memory = parser::StartRun(program, values);
    for (const Text& line : lines) {
      const parser::RowResult r = parser::RunRow(program, *memory, line, {});
      f.outputChars += static_cast<std::int64_t>(parser::FinishLine(line, r, false).size());
    }
    f.interpret = Seconds(start, Clock::now());
  }

  // The whole request on a sheet.
  testkit::Bench b;
  b.addin.SetStrict(false);  // every question answered with its default button
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  const xl::Range column = sheet.Range(sheet.Cells(1, 1), sheet.Cells(static_cast<long>(n), 1));
  std::vector<Variant> cells;
  cells.reserve(lines.size());
  for (const Text& line : lines) cells.emplace_back(u"'" + line);
  column.SetValues(cells);
  column.Select();
  b.Control(host::ctl::parse::kScript).SetValue(Text(kScript));
  b.Control(host::ctl::mail::kMessage).SetCaption(column.Address());
  b.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
  b.BeginRequest(u"Null");
  const auto start = Clock::now();
  parser::Parser(b.state);
  f.run = Seconds(start, Clock::now());

  f.peakMb = bench::PeakMegabytes();
  const xl::Range used = b.Sheet(Text(u"Sheet1") + parser::kResultSuffix + u"1").UsedRange();
  f.rows = used.RowsCount();
  f.columns = used.ColumnsCount();
  f.sed = Sed(lines);
  return f;
}

void PrintHeader() {
  std::printf("%9s %12s %12s %9s %9s  %s\n", "N", "interpret s", "run s", "peak MB", "sed s",
              "check (result rows x columns, output chars)");
}

void PrintRow(std::int64_t n, const Figures& f) {
  std::printf("%9lld %12.3f %12.3f %9ld %9.3f  %ld x %ld, %lld\n", static_cast<long long>(n), f.interpret, f.run,
              f.peakMb, f.sed, f.rows, f.columns, static_cast<long long>(f.outputChars));
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  const quillary::bench::Single parser[] = {{"parser"}};
  return quillary::bench::Main(argc, argv, {1, 1048576, "N lines", {50000, 100000, 200000}}, quillary::PrintHeader,
                               parser, [](const auto&, std::int64_t n) { quillary::PrintRow(n, quillary::Run(n)); });
}
