#include "workbook/file_kind.h"

namespace quillary::workbook {

namespace {

constexpr std::string_view kZipLocalHeader = "PK\x03\x04";
constexpr std::string_view kZipEmpty = "PK\x05\x06";
constexpr std::string_view kCompoundFile = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// An OpenDocument package starts with its "mimetype" entry, stored: the name at byte 30
// of the local header, the media type right after it.
constexpr std::size_t kMimetypeName = 30;
constexpr std::string_view kMimetype = "mimetype";
constexpr std::string_view kOpenDocumentType = "application/vnd.oasis.opendocument.";

std::string_view OpenDocumentType(std::string_view data) {
  if (data.size() < kMimetypeName || data.substr(kMimetypeName, kMimetype.size()) != kMimetype) return {};
  const std::string_view type = data.substr(kMimetypeName + kMimetype.size());
  if (!type.starts_with(kOpenDocumentType)) return {};
  const std::string_view sub = type.substr(kOpenDocumentType.size());
  std::size_t end = 0;
  while (end < sub.size() && ((sub[end] >= 'a' && sub[end] <= 'z') || sub[end] == '-')) ++end;
  return sub.substr(0, end);
}

}  // namespace

FileKind KindOfFile(std::string_view data) {
  if (data.starts_with(kZipLocalHeader)) {
    return OpenDocumentType(data).empty() ? FileKind::kPackage : FileKind::kOpenDocument;
  }
  if (data.starts_with(kZipEmpty) || data.starts_with(kCompoundFile)) return FileKind::kPackage;
  if (data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF")) return FileKind::kUtf16Text;
  if (data.find('\0') != std::string_view::npos) return FileKind::kBinary;
  return FileKind::kText;
}

std::string NotAWorkbook(FileKind kind, std::string_view data, std::string_view name) {
  const std::string file(name);
  switch (kind) {
    case FileKind::kOpenDocument: {
      const std::string_view type = OpenDocumentType(data);
      if (type == "spreadsheet") {
        return file + " is an OpenDocument spreadsheet (.ods), which quillary does not read: save it as .xlsx";
      }
      return file + " is an OpenDocument file (" + std::string(type) + "), not a workbook";
    }
    case FileKind::kUtf16Text:
      return file +
             " is text in UTF-16 (the spreadsheet's \"Unicode Text\"), which quillary does not read: save it as "
             "\"CSV UTF-8\"";
    case FileKind::kBinary: return file + " is a binary file, neither CSV text nor an xlsx workbook";
    case FileKind::kText:
    case FileKind::kPackage: break;
  }
  return {};
}

}  // namespace quillary::workbook
