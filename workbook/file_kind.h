// What a file given as a workbook holds, told by its bytes rather than by its name: a
// file named .csv may be a zip package, and an .xlsm is as much a workbook as an .xlsx.
#pragma once

#include <string>
#include <string_view>

namespace quillary::workbook {

enum class FileKind {
  kText,          // read as CSV
  kPackage,       // a zip archive or an OLE compound file: the xlsx reader tells what it holds
  kOpenDocument,  // an OpenDocument file (.ods, .odt, ...)
  kUtf16Text,     // text in UTF-16, after its byte order mark
  kBinary,        // anything else that holds a NUL byte, which no text does
};

FileKind KindOfFile(std::string_view data);

// The message for a file of a kind that loads as no workbook, after the quoted `name`
// ("'x.ods' is an OpenDocument spreadsheet, ..."); "" for text and packages.
std::string NotAWorkbook(FileKind kind, std::string_view data, std::string_view name);

}  // namespace quillary::workbook
