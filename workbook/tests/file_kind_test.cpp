#include "workbook/file_kind.h"

#include <gtest/gtest.h>

namespace quillary::workbook {
namespace {

// The beginning of an OpenDocument package of the media type: its stored "mimetype"
// entry.
std::string OpenDocument(std::string_view type) {
  return std::string("PK\x03\x04", 4) + std::string(26, '\x01') + "mimetype" + "application/vnd.oasis.opendocument." +
         std::string(type) + "PK\x03\x04";
}

TEST(FileKind, TheBytesTellTheKind) {
  const struct {
    const char* what;
    std::string data;
    FileKind kind;
    std::string message;  // after "'f': "
  } cases[] = {
      {"CSV", "a,b\r\n1,2\r\n", FileKind::kText, ""},
      {"Windows-1252 text", "caf\xE9\n", FileKind::kText, ""},
      {"nothing", "", FileKind::kText, ""},
      {"an xlsx or xlsm package", std::string("PK\x03\x04\x14\0\0\0", 8) + "[Content_Types].xml", FileKind::kPackage,
       ""},
      {"an empty zip archive", std::string("PK\x05\x06", 4) + std::string(18, '\0'), FileKind::kPackage, ""},
      {"an old binary workbook", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(8, '\0'),
       FileKind::kPackage, ""},
      {"an OpenDocument spreadsheet", OpenDocument("spreadsheet"), FileKind::kOpenDocument,
       "'f' is an OpenDocument spreadsheet (.ods), which quillary does not read: save it as .xlsx"},
      {"an OpenDocument text", OpenDocument("text"), FileKind::kOpenDocument,
       "'f' is an OpenDocument file (text), not a workbook"},
      {"UTF-16 text",
       std::string("\xFF\xFE"
                   "a\0,\0b\0",
                   8),
       FileKind::kUtf16Text,
       "'f' is text in UTF-16 (the spreadsheet's \"Unicode Text\"), which quillary does not read: save it as "
       "\"CSV UTF-8\""},
      {"a picture", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16), FileKind::kBinary,
       "'f' is a binary file, neither CSV text nor an xlsx workbook"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KindOfFile(c.data), c.kind) << c.what;
    EXPECT_EQ(NotAWorkbook(KindOfFile(c.data), c.data, "'f'"), c.message) << c.what;
  }
}

}  // namespace
}  // namespace quillary::workbook
