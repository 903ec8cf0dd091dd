// The text of a CSV file before its fields are read: the encoding of its characters and
// the character between its fields, which differ with the program and the place that
// wrote it.
//
// Data that is all UTF-8 is read as UTF-8. Any other is read as Windows-1252, what a
// spreadsheet on Windows writes as "CSV": every byte of it is a character, so nothing
// is lost or replaced. The separator is the comma, a tab or a semicolon (the spreadsheet
// writes semicolons where the comma is the decimal mark): the first of these, in that
// order, that splits every line of the file's beginning into the same number of fields,
// two or more, outside quoted fields; the comma when none does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "workbook/save_transaction.h"

namespace quillary::workbook {

// The offset of the first byte of `data` that is no part of UTF-8 text (a byte that
// cannot start a character, a sequence cut short, overlong or encoding a surrogate or a
// value past U+10FFFF), or nothing when all of it is UTF-8.
std::optional<std::size_t> FirstNotUtf8(std::string_view data);

// `data` read as Windows-1252, written as UTF-8. The five bytes that code page leaves
// without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the control characters of
// the same numbers, as web browsers read them.
std::string Windows1252ToUtf8(std::string_view data);

// The separator of CSV data (UTF-8 or any ASCII-compatible encoding), as above.
char CsvSeparator(std::string_view data);

// A CSV file's data as UTF-8, and its separator.
struct CsvText {
  std::string utf8;
  char separator = ',';
};

// The data of the CSV file `name` (as messages quote it) made UTF-8, and its separator
// when `detectSeparator` (else the comma). Adds to `notes` that the file was read as
// Windows-1252, naming the line and the first byte that is not UTF-8, and that its
// separator is not the comma.
CsvText ReadCsvText(std::string data, std::string_view name, bool detectSeparator, Notes& notes);

}  // namespace quillary::workbook
