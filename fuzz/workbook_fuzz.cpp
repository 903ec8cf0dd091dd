// Workbook folders of the command-line host: the input is cut at its first NUL byte
// into a manifest (workbook.txt) and a CSV file (Sheet1.csv), written into a folder of
// their own and loaded. A load either gives a workbook or raises the host's Failure (or
// the application's Error for a value it refuses); anything else is a finding. The CSV
// part is also checked to read back the same after it is written out again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/csv.h"
#include "cli/failure.h"
#include "cli/workbook_io.h"
#include "platform/runtime/error.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("quillary-fuzz-workbook-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

void Write(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::vector<quillary::Text>> Records(std::string_view csv) {
  std::vector<std::vector<quillary::Text>> records;
  quillary::cli::ReadCsv(csv, [&](std::vector<quillary::Text>& fields) { records.push_back(fields); });
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  const std::string_view manifest =
      cut == std::string_view::npos ? std::string_view("quillary-workbook 1\n") : input.substr(0, cut);
  const std::string_view csv = cut == std::string_view::npos ? input : input.substr(cut + 1);

  // What ReadCsv reads, written out and read again, is the same records.
  try {
    const auto records = Records(csv);
    std::string written;
    for (const auto& r : records) cli::AppendCsvRecord(written, r);
    if (Records(written) != records) __builtin_trap();
  } catch (const cli::Failure&) {
    // Unterminated quotes: refused with the line they began on.
  }

  Write(Folder() / cli::kManifestFile, manifest);
  Write(Folder() / "Sheet1.csv", csv);
  auto app = xl::memory::CreateApplication({});
  const std::vector<fs::path> paths{Folder()};
  try {
    cli::Notes notes;
    (void)cli::LoadWorkbook(*app, paths, notes);
  } catch (const cli::Failure&) {
  } catch (const Error&) {
  }
  return 0;
}
