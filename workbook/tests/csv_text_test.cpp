#include "workbook/csv_text.h"

#include <gtest/gtest.h>

namespace quillary::workbook {
namespace {

TEST(CsvText, FirstByteThatIsNotUtf8) {
  const struct {
    std::string_view data;
    std::optional<std::size_t> bad;
  } cases[] = {
      {"plain, ASCII\r\n", std::nullopt},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", std::nullopt},  // 2, 3 and 4 bytes
      {"caf\xE9,x", 3},                                             // Windows-1252 e acute
      {"ab\xE2\x82", 2},                                            // cut short at the end
      {"a\xE2\x82z", 1},                                            // cut short inside
      {"\xC0\x80", 0},                                              // overlong NUL
      {"\xE0\x9F\xBF", 0},                                          // overlong three bytes
      {"\xED\xA0\x80", 0},                                          // a surrogate
      {"\xF4\x90\x80\x80", 0},                                      // past U+10FFFF
      {"x\x80", 1},                                                 // a lone continuation byte
  };
  for (const auto& c : cases) EXPECT_EQ(FirstNotUtf8(c.data), c.bad) << c.data;
}

TEST(CsvText, Windows1252KeepsEveryByteAsACharacter) {
  EXPECT_EQ(Windows1252ToUtf8("Caf\xE9 \x80 \x93x\x94 \xFF \x81"),
            "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC3\xBF \xC2\x81");
  EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
}

TEST(CsvText, TheSeparatorSplitsEveryLineAlike) {
  const struct {
    const char* what;
    std::string_view data;
    char separator;
  } cases[] = {
      {"commas", "a,b,c\r\n1,2,3\r\n", ','},
      {"semicolons, decimal commas", "Name;Price\r\nR1;1,50\r\nR2;12,5\r\n", ';'},
      {"tabs", "a\tb\nc\td\n", '\t'},
      {"semicolons inside quoted fields", "\"a;b\",c\n\"d;e\",f\n", ','},
      {"a line break inside a quoted field", "x;\"1\n2,3\"\ny;z\n", ';'},
      {"commas and semicolons alike: the comma", "a,b;c\nd,e;f\n", ','},
      {"one column", "a\nb\n", ','},
      {"no line alike", "a;b\nc;d;e\n", ','},
      {"empty lines left out", "a;b\n\n\r\nc;d", ';'},
      {"nothing", "", ','},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvSeparator(c.data), c.separator) << c.what;
}

TEST(CsvText, ReadingSaysWhatItTookTheFileFor) {
  Notes notes;
  const CsvText latin = ReadCsvText("Name;Price\r\nR\xE9sistance;1,50\r\n", "'p.csv'", true, notes);
  EXPECT_EQ(latin.utf8, "Name;Price\r\nR\xC3\xA9sistance;1,50\r\n");
  EXPECT_EQ(latin.separator, ';');
  EXPECT_EQ(notes, (Notes{"'p.csv' is not UTF-8 (line 2, byte 0xE9): read as Windows-1252, the spreadsheet's CSV on "
                          "Windows",
                          "'p.csv': read with semicolons between fields, as each of its lines has the same number of "
                          "them"}));

  notes.clear();
  const CsvText own = ReadCsvText("a;b\nc;d\n", "'S.csv'", false, notes);
  EXPECT_EQ(own.separator, ',');
  EXPECT_EQ(own.utf8, "a;b\nc;d\n");
  EXPECT_EQ(notes, Notes{});
}

}  // namespace
}  // namespace quillary::workbook
