// The workbook folder's benchmark: saving and loading a workbook whose sheet holds one
// column of N texts (part numbers with a description, the first one bold, the others
// in the text format), beside a plain write and a plain read of the same CSV bytes.
//
// Each size runs in a child process of its own, so that its peak resident memory is
// its own; the folder is written under the system's temporary folder and removed.
//
// Usage: quillary_folder_bench [N ...]    (default: 10000 100000 1000000)
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "bench/workloads.h"
#include "workbook/workbook_io.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string data;
  data.resize(static_cast<std::size_t>(fs::file_size(file)));
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  return data;
}

void Run(std::int64_t n) {
  std::string pattern = (fs::temp_directory_path() / "quillary-folder-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  const fs::path dir = pattern;

  auto app = xl::memory::CreateApplication();
  xl::Workbook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  xl::Worksheet& sheet = book.ActiveSheet();
  std::vector<Variant> values;
  values.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    Text cell = u"P-";
    cell += bench::Number(100000 + i);
    cell += u" resistor 10k, 0603";
    values.emplace_back(std::move(cell));
  }
  const long rows = static_cast<long>(n);
  sheet.WriteValues({1, 1, rows, 1}, values);
  sheet.SetFormat({1, 1, 1, 1}, xl::FormatKey::FontBold, true);
  sheet.SetFormat({2, 1, rows, 1}, xl::FormatKey::NumberFormat, u"@");

  workbook::Notes notes;
  const auto s0 = Clock::now();
  workbook::SaveWorkbook(book, dir / "book", notes);
  const auto s1 = Clock::now();

  auto other = xl::memory::CreateApplication();
  const std::vector<fs::path> paths{dir / "book"};
  const auto l0 = Clock::now();
  xl::Workbook& loaded = workbook::LoadWorkbook(*other, paths, notes);
  const auto l1 = Clock::now();
  if (loaded.ActiveSheet().CellValue(rows, 1) != values.back()) throw std::runtime_error("the last cell differs");

  // The same bytes read and written plainly.
  const fs::path csv = dir / "book" / "Sheet1.csv";
  const auto r0 = Clock::now();
  const std::string data = ReadAll(csv);
  std::int64_t lines = 0;
  for (const char c : data) lines += c == '\n';
  const auto r1 = Clock::now();
  const auto w0 = Clock::now();
  {
    std::ofstream out(dir / "copy.csv", std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  const auto w1 = Clock::now();
  if (lines != n) throw std::runtime_error("the CSV file has " + std::to_string(lines) + " lines");

  std::printf("%9lld %9.3f %9.3f %9.3f %9.3f %8.1f %8ld\n", static_cast<long long>(n), Seconds(s0, s1), Seconds(w0, w1),
              Seconds(l0, l1), Seconds(r0, r1), static_cast<double>(data.size()) / 1e6, bench::PeakMegabytes());
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  const quillary::bench::Single folder[] = {{"folder"}};
  return quillary::bench::Main(
      argc, argv, {2, 1048576, "N rows"},
      [] {
        std::printf("%9s %9s %9s %9s %9s %8s %8s\n", "rows", "save s", "write s", "load s", "read s", "CSV MB",
                    "peak MB");
      },
      folder, [](const auto&, std::int64_t n) { quillary::Run(n); });
}
