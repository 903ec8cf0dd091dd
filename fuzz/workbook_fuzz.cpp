// Workbook folders of the command-line host: the input is cut at its NUL bytes into a
// manifest (workbook.txt), a CSV file (Sheet1.csv) and the sheet's side file
// (Sheet1.csv.layout.txt), written into a folder of their own and loaded. A load either
// gives a workbook or raises the host's Failure (or the application's Error for a value
// it refuses); anything else is a finding. A workbook that loads is saved, loaded again
// and saved again: both saves must write the same files. The CSV part is also checked
// to read back the same after it is written out again.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/parts.h"
#include "platform/runtime/error.h"
#include "workbook/csv.h"
#include "workbook/failure.h"
#include "workbook/workbook_io.h"

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

// The files of a folder and what they hold.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Saves the active workbook of `app` into `folder` (made afresh) and returns its files.
std::map<std::string, std::string> Saved(quillary::xl::memory::MemoryApplication& app, const fs::path& folder) {
  fs::remove_all(folder);
  quillary::workbook::Notes notes;
  quillary::workbook::SaveWorkbook(*app.ActiveWorkbook(), folder, notes);
  return Files(folder);
}

std::vector<std::vector<quillary::Text>> Records(std::string_view csv) {
  std::vector<std::vector<quillary::Text>> records;
  quillary::workbook::ReadCsv(csv, [&](std::vector<quillary::Text>& fields) { records.push_back(fields); });
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // manifest NUL csv NUL side file; without a NUL the input is the CSV file of a sheet
  // that has a side file.
  std::vector<std::string_view> parts = fuzz::PartsAtNul(input);
  if (parts.size() == 1)
    parts.insert(parts.begin(),
                 "quillary-workbook 2\nsheet Sheet1 Sheet1.csv -1\nlayout Sheet1 Sheet1.csv.layout.txt\n");
  const std::string_view manifest = parts[0];
  const std::string_view csv = parts[1];
  const std::string_view side = parts.size() > 2 ? parts[2] : std::string_view("quillary-layout 1\n");

  // What ReadCsv reads, written out and read again, is the same records.
  try {
    const auto records = Records(csv);
    std::string written;
    for (const auto& r : records) workbook::AppendCsvRecord(written, r);
    if (Records(written) != records) __builtin_trap();
  } catch (const workbook::Failure&) {
    // Unterminated quotes: refused with the line they began on.
  }

  const fs::path book = Folder() / "book";
  fs::create_directories(book);
  Write(book / workbook::kManifestFile, manifest);
  Write(book / "Sheet1.csv", csv);
  Write(book / "Sheet1.csv.layout.txt", side);
  auto app = xl::memory::CreateApplication({});
  const std::vector<fs::path> paths{book};
  try {
    workbook::Notes notes;
    (void)workbook::LoadWorkbook(*app, paths, notes);
  } catch (const workbook::Failure&) {
    return 0;
  } catch (const Error&) {
    return 0;
  }
  // What loaded saves and loads again as it was.
  const auto first = Saved(*app, Folder() / "saved");
  auto again = xl::memory::CreateApplication({});
  workbook::Notes notes;
  const std::vector<fs::path> saved{Folder() / "saved"};
  (void)workbook::LoadWorkbook(*again, saved, notes);
  if (Saved(*again, Folder() / "saved-again") != first) __builtin_trap();
  return 0;
}
