// CSV as RFC 4180 has it: fields separated by commas, records by line breaks (CRLF or
// LF); a field in double quotes may hold commas, line breaks and doubled quotes. Text
// is UTF-8; a leading UTF-8 byte order mark is skipped.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::cli {

// Calls `record` once per record, in order, with its fields (the vector may be reused
// between calls). A line break inside quotes stays in the field as it is written; a
// quote inside an unquoted field, or after a closing quote, is kept as a character.
// The line break after the last record is optional. Raises Failure for a quoted field
// left open at the end of the data, naming the line where it began.
void ReadCsv(std::string_view data, const std::function<void(std::vector<Text>&)>& record);

// Appends one record and its CRLF terminator. A field is quoted when it holds a comma,
// a double quote, a line break or a leading or trailing blank.
void AppendCsvRecord(std::string& out, std::span<const Text> fields);

}  // namespace quillary::cli
