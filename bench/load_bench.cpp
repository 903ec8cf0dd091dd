// Loading a workbook beside the rest of a Get/Try: a column of N Items (unique
// reference designators, bench/workloads.h) saved as a workbook folder (one CSV file)
// and as an xlsx file, then
//   save     the time SaveWorkbook takes to write each (in this process),
//   load     the median time of K loads of each into a new application (in this process),
//   get      one `quillary get FILE A1:AN` of the program of this build on each, as a
//            whole process: its wall time, and of it the load phase and the rest (the
//            gathering, sorting, counting and rendering of the Get/Try, and the exit),
//            from QUILLARY_PHASES=1.
// The CSV row is the reference the xlsx row is read beside. Exits 1 when a run fails.
//
// Usage: quillary_load_bench [--quillary PATH] [--loads K] [N ...]   (default: K 3, N 1000000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/workloads.h"
#include "platform/excel/memory/memory.h"
#include "workbook/failure.h"
#include "workbook/workbook_io.h"

namespace {

using namespace quillary;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct GetRun {
  double wall = 0, load = 0;
};

GetRun RunGet(const std::string& quillary, const fs::path& workbook, std::int64_t n, const fs::path& scratch) {
  const fs::path err = scratch / "get.err";
  const std::string command = "QUILLARY_PHASES=1 '" + quillary + "' get '" + workbook.string() + "' A1:A" +
                              std::to_string(n) + " > /dev/null 2> '" + err.string() + "'";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  GetRun run{Seconds(start), 0};
  if (status != 0) throw std::runtime_error("quillary get " + workbook.string() + " failed");
  std::ifstream in(err);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string who, phase, name;
    double seconds = 0;
    if (words >> who >> phase >> name >> seconds && phase == "phase" && name == "load") run.load = seconds;
  }
  return run;
}

double MedianLoad(const fs::path& workbook, int loads) {
  std::vector<double> times;
  for (int i = 0; i < loads; ++i) {
    auto app = xl::memory::CreateApplication();
    const std::vector<fs::path> paths{workbook};
    const auto start = Clock::now();
    workbook::Notes notes;
    workbook::LoadWorkbook(*app, paths, notes);
    times.push_back(Seconds(start));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string quillary = QUILLARY_PROGRAM;
  int loads = 3;
  std::vector<std::int64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quillary" && i + 1 < argc) {
      quillary = argv[++i];
    } else if (arg == "--loads" && i + 1 < argc) {
      loads = std::max(1, std::atoi(argv[++i]));
    } else {
      sizes.push_back(std::atoll(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {1000000};
  const fs::path scratch = fs::temp_directory_path() / ("quillary-load-bench-" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  int status = 0;
  try {
    std::printf("%9s  %-6s %9s %9s %10s %9s %9s %11s\n", "N", "format", "bytes", "save s", "load s", "get s",
                "get load", "get rest s");
    for (const std::int64_t n : sizes) {
      auto app = xl::memory::CreateApplication();
      xl::Workbook& book = app->AddWorkbook(xl::memory::GridSize::Large);
      std::vector<Variant> values;
      for (Text& t : bench::ReferenceItems(n)) values.emplace_back(std::move(t));
      book.Sheets().Item(1).WriteValues({1, 1, static_cast<long>(n), 1}, values);
      values.clear();
      for (const char* format : {"csv", "xlsx"}) {
        const fs::path target = scratch / (std::string("book") + (format == std::string("xlsx") ? ".xlsx" : ""));
        auto start = Clock::now();
        workbook::Notes notes;
        workbook::SaveWorkbook(book, target, notes);
        const double save = Seconds(start);
        const auto bytes = fs::is_directory(target) ? fs::file_size(target / "Sheet1.csv") : fs::file_size(target);
        const double load = MedianLoad(target, loads);
        const GetRun get = RunGet(quillary, target, n, scratch);
        std::printf("%9lld  %-6s %9llu %9.3f %10.3f %9.3f %9.3f %11.3f\n", static_cast<long long>(n), format,
                    static_cast<unsigned long long>(bytes), save, load, get.wall, get.load, get.wall - get.load);
        std::fflush(stdout);
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillary_load_bench: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  if (std::getenv("QUILLARY_BENCH_KEEP") == nullptr) fs::remove_all(scratch, ec);
  return status;
}
