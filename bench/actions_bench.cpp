// The Action list's benchmark: inline actions over a selection of N cells.
//
// Each workload fills N cells of the bench's in-memory workbook (one column of N rows,
// or for the justify actions ten columns of N/10 rows), selects them and runs one
// "Actions" request. Beside them, in the same run, `reference` reads every cell and
// writes its text back through the same spreadsheet interface, the floor that any action
// visiting each cell stands on. Each run takes place in a child process of its own, so
// that its peak resident memory (getrusage ru_maxrss) is its own.
//
// Usage: quillary_actions_bench [N ...]    (default: 10000 100000 1000000)

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "bench/harness.h"
#include "bench/workloads.h"
#include "testkit/bench.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;

struct Workload {
  const char* name;
  // The mode of the request, or null for the reference loop.
  const char16_t* mode;
  // The columns of the block (its rows are N / columns).
  long columns;
  // The text of the cell at (row, column), both from 0.
  std::function<Text(std::int64_t row, long column)> cell;
};

Text Num(std::int64_t n) { return bench::Number(n); }

// The pieces appended in order.
Text Cat(std::initializer_list<TextView> pieces) {
  Text out;
  for (const TextView p : pieces) out.append(p);
  return out;
}

const Workload kWorkloads[] = {
    {"reference", nullptr, 1,
     [](std::int64_t r, long) {
       return Cat({u"text ", Num(r)});
     }},
    {"case-upper", u"Case||  Upper", 1,
     [](std::int64_t r, long) {
       return Cat({u"text ", Num(r)});
     }},
    {"prefix-set", u"Prefix||  Set", 1,
     [](std::int64_t r, long) {
       return Cat({u"R", Num(r), u", ", Num(r + 1), u", ", Num(r + 2), u"-", Num(r + 5)});
     }},
    {"comma-space", u"Comma Space||  Set", 1,
     [](std::int64_t r, long) {
       return Cat({u"R", Num(r), u" R", Num(r + 1), u",R2 ,  C", Num(r)});
     }},
    {"number-vals", u"NUMBER Values", 1,
     [](std::int64_t r, long) {
       return Cat({u"00", Num(r)});
     }},
    {"link-replace", u"Hyperlink|| ReplaceWith", 1,
     [](std::int64_t r, long) {
       return Cat({u"http://example.invalid/", Num(r)});
     }},
    {"firm-reveal", u"WrapTextFirm/ Reveal", 1,
     [](std::int64_t r, long) {
       return r % 100 == 0 ? Text(1001, u'x') : Cat({u"short ", Num(r)});
     }},
    {"justify-right", u"Columns|| Justify Right", 10,
     [](std::int64_t r, long c) {
       return c < 1 + r % 9 ? Cat({u"v", Num(r)}) : Text();
     }},
};

struct Figures {
  double seconds = 0;
  long peakMb = 0;
  std::size_t messages = 0;
};

Figures Run(const Workload& w, std::int64_t n) {
  testkit::Bench b;
  b.routines.Actions = actions::Actions;
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  const long rows = static_cast<long>(n / w.columns);
  for (long c = 0; c < w.columns; ++c) {
    std::vector<Variant> values;
    values.reserve(static_cast<std::size_t>(rows));
    for (long r = 0; r < rows; ++r) {
      const Text text = w.cell(r, c);
      values.emplace_back(text.empty() ? Variant() : Variant(Cat({u"'", text})));
    }
    sheet.Range(sheet.Cells(1, c + 1), sheet.Cells(rows, c + 1)).SetValues(values);
  }
  const xl::Range block = sheet.Range(sheet.Cells(1, 1), sheet.Cells(rows, w.columns));
  block.Select();

  Figures f;
  const auto start = Clock::now();
  if (w.mode == nullptr) {
    for (long c = 1; c <= w.columns; ++c) {
      for (long r = 1; r <= rows; ++r) {
        const xl::Range cell = sheet.Cells(r, c);
        const Variant v = cell.Value();
        if (v.IsText()) cell.SetValue(Cat({u"'", v.AsText()}));
      }
    }
  } else {
    b.BeginRequest(w.mode);
    actions::Actions(b.state);
  }
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.peakMb = bench::PeakMegabytes();
  f.messages = b.addin.Messages().size();
  return f;
}

void PrintRow(const Workload& w, std::int64_t n, const Figures& f) {
  std::printf("%-14s %9lld %10.3f %12.0f %9ld %9zu\n", w.name, static_cast<long long>(n), f.seconds,
              f.seconds * 1e9 / static_cast<double>(n), f.peakMb, f.messages);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  return quillary::bench::Main(
      argc, argv, {10, 1048576, "N cells"},
      [] {
        std::printf("%-14s %9s %10s %12s %9s %9s\n", "workload", "N cells", "seconds", "ns per cell", "peak MB",
                    "messages");
      },
      quillary::kWorkloads, [](const auto& w, std::int64_t n) { quillary::PrintRow(w, n, quillary::Run(w, n)); });
}
