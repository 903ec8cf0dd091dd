#include "workbook/csv_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::workbook {

namespace {

// How many records of the beginning of a file tell its separator.
constexpr std::size_t kSampleRecords = 1000;

// The characters of bytes 0x80 to 0x9F in Windows-1252; 0xA0 to 0xFF are U+00A0 to
// U+00FF.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// The number of fields of each record of the beginning of `data` split at `separator`
// (a separator or line break inside a quoted field is the field's), up to `limit`
// records; empty lines are left out.
std::vector<std::size_t> FieldCounts(std::string_view data, char separator, std::size_t limit) {
  std::vector<std::size_t> counts;
  std::size_t fields = 1;
  bool fieldStart = true, emptyLine = true, quoted = false;
  for (std::size_t i = 0; i < data.size() && counts.size() < limit; ++i) {
    const char c = data[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < data.size() && data[i + 1] == '"') {
          ++i;
        } else {
          quoted = false;
        }
      }
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (!emptyLine) counts.push_back(fields);
      if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
      fields = 1;
      fieldStart = emptyLine = true;
      continue;
    }
    emptyLine = false;
    if (c == separator) {
      ++fields;
      fieldStart = true;
      continue;
    }
    quoted = fieldStart && c == '"';
    fieldStart = false;
  }
  if (!emptyLine && counts.size() < limit) counts.push_back(fields);
  return counts;
}

// "line N (byte 0xE9)" for the byte at `offset`.
std::string Whereabouts(std::string_view data, std::size_t offset) {
  const auto line = std::count(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(offset), '\n') + 1;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(data[offset]));
  return "line " + std::to_string(line) + ", byte " + byte;
}

}  // namespace

std::optional<std::size_t> FirstNotUtf8(std::string_view data) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t n = data.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    // The length of the sequence and the range of its second byte, which rules out
    // overlong forms, surrogates and values past U+10FFFF.
    std::size_t len = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    if (n - i < len || bytes[i + 1] < low || bytes[i + 1] > high) return i;
    for (std::size_t k = 2; k < len; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return i;
    }
    i += len;
  }
  return std::nullopt;
}

std::string Windows1252ToUtf8(std::string_view data) {
  std::string out;
  out.reserve(data.size() + data.size() / 8);
  for (const char ch : data) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      AppendUtf8(out, b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char16_t>(b));
    }
  }
  return out;
}

char CsvSeparator(std::string_view data) {
  for (const char separator : {',', '\t', ';'}) {
    const std::vector<std::size_t> counts = FieldCounts(data, separator, kSampleRecords);
    if (!counts.empty() && counts.front() >= 2 &&
        std::all_of(counts.begin(), counts.end(), [&](std::size_t n) { return n == counts.front(); })) {
      return separator;
    }
  }
  return ',';
}

CsvText ReadCsvText(std::string data, std::string_view name, bool detectSeparator, Notes& notes) {
  CsvText text;
  if (const auto bad = FirstNotUtf8(data)) {
    notes.push_back(std::string(name) + " is not UTF-8 (" + Whereabouts(data, *bad) +
                    "): read as Windows-1252, the spreadsheet's CSV on Windows");
    text.utf8 = Windows1252ToUtf8(data);
  } else {
    text.utf8 = std::move(data);
  }
  if (detectSeparator) text.separator = CsvSeparator(text.utf8);
  if (text.separator != ',') {
    notes.push_back(std::string(name) + ": read with " + (text.separator == ';' ? "semicolons" : "tabs") +
                    " between fields, as each of its lines has the same number of them");
  }
  return text;
}

}  // namespace quillary::workbook
