#include "workbook/csv.h"

#include <gtest/gtest.h>

#include "workbook/failure.h"

namespace quillary::workbook {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records Read(std::string_view data) {
  Records out;
  ReadCsv(data, [&](std::vector<Text>& fields) {
    std::vector<std::string> record;
    for (const Text& f : fields) record.push_back(ToUtf8(f));
    out.push_back(record);
  });
  return out;
}

struct ReadCase {
  const char* what;
  std::string_view data;
  Records expected;
};

TEST(CsvRead, TrickyInputs) {
  const ReadCase cases[] = {
      {"CRLF records", "a,b,c\r\nd,e,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"LF records, no final line break", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"comma inside quotes", "\"x, y\",z\n", {{"x, y", "z"}}},
      {"doubled quotes", "\"say \"\"hi\"\"\"\n", {{"say \"hi\""}}},
      {"doubled quotes, then text after the closing quote", "\"a\"\"b\"\"\"c,d\n", {{"a\"b\"c", "d"}}},
      {"comma at the very end", "a,", {{"a", ""}}},
      {"LF inside quotes", "\"line1\nline2\",b\r\nc\r\n", {{"line1\nline2", "b"}, {"c"}}},
      {"CRLF inside quotes kept", "\"l1\r\nl2\"\r\n", {{"l1\r\nl2"}}},
      {"byte order mark skipped",
       "\xEF\xBB\xBF"
       "a,b\n",
       {{"a", "b"}}},
      {"empty fields", ",,\n", {{"", "", ""}}},
      {"trailing empty field", "a,\n", {{"a", ""}}},
      {"empty lines are records", "\n\n", {{""}, {""}}},
      {"nothing", "", {}},
      {"non-ASCII",
       "\xC3\x9C"
       "ber,\xE6\x97\xA5\xE6\x9C\xAC\n",
       {{"\xC3\x9C"
         "ber",
         "\xE6\x97\xA5\xE6\x9C\xAC"}}},
      {"quote inside an unquoted field", "ab\"c,d\n", {{"ab\"c", "d"}}},
      {"text after a closing quote", "\"ab\"c,d\n", {{"abc", "d"}}},
      {"quoted empty field", "\"\",x\n", {{"", "x"}}},
  };
  for (const ReadCase& c : cases) EXPECT_EQ(Read(c.data), c.expected) << c.what;
}

TEST(CsvRead, UnclosedQuoteNamesTheLineWhereItOpened) {
  try {
    Read("a\nb,\"open\nstill open");
    FAIL() << "no Failure";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("line 2"), std::string::npos) << f.what();
  }
}

struct WriteCase {
  std::vector<std::string> fields;
  std::string_view expected;
};

TEST(CsvWrite, QuotesOnlyWhatNeedsIt) {
  const WriteCase cases[] = {
      {{"a", "b"}, "a,b\r\n"},
      {{"x, y"}, "\"x, y\"\r\n"},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
      {{"l1\nl2", "z"}, "\"l1\nl2\",z\r\n"},
      {{" lead", "trail "}, "\" lead\",\"trail \"\r\n"},
      {{"", "", "x"}, ",,x\r\n"},
      {{}, "\r\n"},
      {{"\xE6\x97\xA5"}, "\xE6\x97\xA5\r\n"},
  };
  for (const WriteCase& c : cases) {
    std::vector<Text> fields;
    for (const std::string& f : c.fields) fields.push_back(FromUtf8(f));
    std::string out;
    AppendCsvRecord(out, fields);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(CsvWrite, ReadsBackWhatItWrote) {
  const Records records = {{"plain", "with, comma", "\"quoted\""},
                           {"multi\nline", "cr\r\nlf", ""},
                           {"", "", ""},
                           {"\xEF\xBB\xBF"
                            "bom-like first field"},
                           {"\xC3\xA9t\xC3\xA9", " spaced "}};
  std::string data;
  for (const auto& r : records) {
    std::vector<Text> fields;
    for (const std::string& f : r) fields.push_back(FromUtf8(f));
    AppendCsvRecord(data, fields);
  }
  Records swapped = records;
  std::swap(swapped[0], swapped[3]);
  EXPECT_EQ(Read(data), records);
  // A field beginning with a byte order mark survives in the first record too.
  std::string first;
  for (const auto& r : swapped) {
    std::vector<Text> fields;
    for (const std::string& f : r) fields.push_back(FromUtf8(f));
    AppendCsvRecord(first, fields);
  }
  EXPECT_EQ(Read(first), swapped);
}

}  // namespace
}  // namespace quillary::workbook
