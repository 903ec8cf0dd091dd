#include <gtest/gtest.h>

#include "platform/excel/range.h"

namespace quillary::xl {
namespace {

constexpr long kRows = 1048576, kCols = 16384;

TEST(ColumnLetters, SpellsColumnsAsTheSheetHeadersDo) {
  struct Case {
    long col;
    const char* letters;
  } cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
  for (const auto& c : cases) EXPECT_EQ(ColumnLetters(c.col), T(c.letters)) << c.col;
}

TEST(AreaAddress, FormatsCellsBlocksAndWholeColumnsAndRows) {
  struct Case {
    Area area;
    long rows, cols;
    const char* a1;
    const char* r1c1;
  } cases[] = {
      {{7, 2, 7, 2}, kRows, kCols, "$B$7", "R7C2"},
      {{1, 1, 9, 3}, kRows, kCols, "$A$1:$C$9", "R1C1:R9C3"},
      {{1, 1, kRows, 3}, kRows, kCols, "$A:$C", "C1:C3"},
      {{1, 4, kRows, 4}, kRows, kCols, "$D:$D", "C4"},
      {{3, 1, 5, kCols}, kRows, kCols, "$3:$5", "R3:R5"},
      {{1, 1, kRows, kCols}, kRows, kCols, "$1:$1048576", "R1:R1048576"},
      // The grid decides what "whole" means: 65,536 rows on a small sheet.
      {{1, 1, 65536, 1}, 65536, 256, "$A:$A", "C1"},
      {{1, 1, 65536, 1}, kRows, kCols, "$A$1:$A$65536", "R1C1:R65536C1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AreaAddress(c.area, c.rows, c.cols), T(c.a1));
    EXPECT_EQ(AreaAddressR1C1(c.area, c.rows, c.cols), T(c.r1c1));
  }
}

TEST(ParseA1, ReadsWhatAddressWritesAndTheUsualShortForms) {
  struct Case {
    const char* text;
    std::vector<Area> areas;
  } cases[] = {
      {"A1", {{1, 1, 1, 1}}},
      {"$B$7", {{7, 2, 7, 2}}},
      {"b7", {{7, 2, 7, 2}}},
      {"C9:A1", {{1, 1, 9, 3}}},
      {"$A:$C", {{1, 1, kRows, 3}}},
      {"D:D", {{1, 4, kRows, 4}}},
      {"$3:$5", {{3, 1, 5, kCols}}},
      {"A1,B2:C3", {{1, 1, 1, 1}, {2, 2, 3, 3}}},
      {" A1 , $K$1 ", {{1, 1, 1, 1}, {1, 11, 1, 11}}},
      {"$XFD$1048576", {{kRows, kCols, kRows, kCols}}},
  };
  for (const auto& c : cases) {
    auto ref = ParseA1(T(c.text), kRows, kCols);
    ASSERT_TRUE(ref) << c.text;
    EXPECT_FALSE(ref->sheet);
    EXPECT_EQ(ref->areas, c.areas) << c.text;
  }
}

TEST(ParseA1, RejectsNamesAndReferencesOffTheGrid) {
  for (const char* text : {"", "unique1", "ExcelPaste", "A", "1", "A0", "XFE1", "A1048577", "A1:", "A1,,B2",
                           "quillary_91827364a", "A1 B2", "$$A1"}) {
    EXPECT_FALSE(ParseA1(T(text), kRows, kCols)) << text;
  }
  EXPECT_FALSE(ParseA1(u"IW1", 65536, 256));
  EXPECT_FALSE(ParseA1(u"A65537", 65536, 256));
}

TEST(ParseA1, ReadsSheetPrefixesAndRoundTripsSheetPrefix) {
  auto ref = ParseA1(u"=Sheet1!$A$1:$B$2", kRows, kCols);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->sheet, Text(u"Sheet1"));
  EXPECT_EQ(ref->areas, (std::vector<Area>{{1, 1, 2, 2}}));

  for (const char* name : {"Sheet1", "My list", "O'Neil", "2024", "a-b"}) {
    Text text = SheetPrefix(T(name)) + u"$C$3";
    auto r = ParseA1(text, kRows, kCols);
    ASSERT_TRUE(r) << ToUtf8(text);
    EXPECT_EQ(r->sheet, T(name));
    EXPECT_EQ(r->areas, (std::vector<Area>{{3, 3, 3, 3}}));
  }
  EXPECT_EQ(SheetPrefix(u"Sheet1"), u"Sheet1!");
  EXPECT_EQ(SheetPrefix(u"O'Neil"), u"'O''Neil'!");
}

TEST(ParseR1C1, ReadsAbsoluteReferences) {
  struct Case {
    const char* text;
    std::vector<Area> areas;
  } cases[] = {
      {"=R1C1", {{1, 1, 1, 1}}},  {"=R1C10", {{1, 10, 1, 10}}},  {"r2c3:R5C1", {{2, 1, 5, 3}}},
      {"R3", {{3, 1, 3, kCols}}}, {"C2:C4", {{1, 2, kRows, 4}}}, {"R1C1,R2C2", {{1, 1, 1, 1}, {2, 2, 2, 2}}},
  };
  for (const auto& c : cases) {
    auto ref = ParseR1C1(T(c.text), kRows, kCols);
    ASSERT_TRUE(ref) << c.text;
    EXPECT_EQ(ref->areas, c.areas) << c.text;
  }
  for (const char* text : {"R1C", "RC", "R0C1", "R1C1:C2", "A1", "R[1]C1"}) {
    EXPECT_FALSE(ParseR1C1(T(text), kRows, kCols)) << text;
  }
}

}  // namespace
}  // namespace quillary::xl
