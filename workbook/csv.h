// CSV as RFC 4180 has it: fields separated by commas (or the separator a file was found
// to use, csv_text.h), records by line breaks (CRLF or LF); a field in double quotes may
// hold separators, line breaks and doubled quotes. Text is UTF-8; a leading UTF-8 byte
// order mark is skipped.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::workbook {

// Reads the fields of CSV data one after another, as views of the data where they can
// be (a quoted field with doubled quotes is unescaped into the scanner's own buffer):
// nothing is copied for a plain field. The fields are separated by `separator` (a
// comma, or what csv_text.h found).
class CsvScanner {
 public:
  explicit CsvScanner(std::string_view data, char separator = ',');

  // The next field's UTF-8 bytes into `field` (valid until the next call) and whether
  // it is the last of its record; false at the end of the data. Raises Failure for a
  // quoted field left open at the end of the data, naming the line where it began.
  bool Next(std::string_view& field, bool& endsRecord);

 private:
  void ReadQuoted(std::string_view& field);

  std::string_view data_;
  char separator_;
  // The characters that end an unquoted field: the separator and the line breaks.
  std::array<char, 3> ends_;
  std::size_t pos_ = 0;
  long line_ = 1;
  std::string unescaped_;
};

// Calls `record` once per record, in order, with its fields (the vector may be reused
// between calls). A line break inside quotes stays in the field as it is written; a
// quote inside an unquoted field, or after a closing quote, is kept as a character.
// The line break after the last record is optional. Raises Failure for a quoted field
// left open at the end of the data, naming the line where it began.
void ReadCsv(std::string_view data, const std::function<void(std::vector<Text>&)>& record);

// Appends one field, quoted when it holds a comma, a double quote, a line break or a
// leading or trailing blank.
void AppendCsvField(std::string& out, TextView field);

// Appends one record and its CRLF terminator. A field is quoted when it holds a comma,
// a double quote, a line break or a leading or trailing blank.
void AppendCsvRecord(std::string& out, std::span<const Text> fields);

}  // namespace quillary::workbook
