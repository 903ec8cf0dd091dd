// The Windows build of quillary is made without the xlsx libraries (liborcus and
// libdeflate are Debian's, not mingw-w64's): its workbooks are folders, and an xlsx
// path gets this answer.
#include "workbook/failure.h"
#include "workbook/xlsx.h"

namespace quillary::workbook {

namespace {

[[noreturn]] void NoXlsx(const std::string& name) {
  throw Failure("'" + name + "': this build of quillary reads and writes no xlsx workbooks; use a workbook folder");
}

}  // namespace

xl::Workbook& LoadXlsx(xl::memory::MemoryApplication&, const std::filesystem::path& file, Notes&) {
  NoXlsx(file.string());
}

xl::Workbook& LoadXlsxData(xl::memory::MemoryApplication&, std::string_view, const std::string& name, Notes&) {
  NoXlsx(name);
}

void SaveXlsx(xl::Workbook&, const std::filesystem::path& file, Notes&) { NoXlsx(file.string()); }

std::vector<std::string> UnwrittenIn(const std::filesystem::path&) { return {}; }

void RefuseToLoseWhatTheFileHolds(const std::filesystem::path&) {}

std::string UnwrittenNote(const std::filesystem::path&, const std::filesystem::path&) { return {}; }

}  // namespace quillary::workbook
