#include "query/match.h"

#include <gtest/gtest.h>

#include <string>

namespace quillary::query {
namespace {

constexpr bool kCountIndex = false;
constexpr bool kIgnoreIndex = true;

CellMatch Match(TextView cell, const char16_t* item, bool ignoreIndex) {
  return MatchInCell(cell, SearchItem(SearchText(item)), ignoreIndex, ignoreIndex ? 1 : 0);
}

TEST(SearchText, BlanksGoAndCommaOnlyTextsAreTheEmptyItem) {
  EXPECT_EQ(SearchText(u"  R5 "), u"R5");
  EXPECT_EQ(SearchText(u""), u",,");
  EXPECT_EQ(SearchText(u"   "), u",,");
  EXPECT_EQ(SearchText(u" , , "), u",,");
  EXPECT_EQ(SearchText(u"a,b"), u"a,b");
  EXPECT_EQ(SearchText(u"\tR5"), u"\tR5") << "only blanks are trimmed";
}

TEST(SearchItem, TrailingDigits) {
  EXPECT_EQ(SearchItem(u"R15").posInCell, 2);
  EXPECT_EQ(SearchItem(u"R15").Prefix(), u"R");
  EXPECT_EQ(SearchItem(u"abc").posInCell, 4);
  EXPECT_EQ(SearchItem(u"abc").TrailingDigits(), 0);
  EXPECT_EQ(SearchItem(u"250").posInCell, 1);
  EXPECT_EQ(SearchItem(u"250").Prefix(), u"");
}

struct Case {
  const char* what;
  const char16_t* cell;
  const char16_t* item;
  bool ignoreIndex;
  HitKind kind;
  std::int64_t pos;
  const char16_t* matched;
  const char16_t* foundAt;
};

TEST(MatchInCell, TableOfCases) {
  const Case cases[] = {
      // Direct matches.
      {"whole text", u"R1", u"R1", kCountIndex, HitKind::kDirect, 1, u"R1", u"R1"},
      {"first of a list", u"R1,R2", u"R1", kCountIndex, HitKind::kDirect, 1, u"R1", u"R1"},
      {"after a line break", u"C4\nR1", u"R1", kCountIndex, HitKind::kDirect, 4, u"R1", u"R1"},
      {"a number is not the start of a longer one", u"R10", u"R1", kCountIndex, HitKind::kNone, 0, u"", u""},
      {"the later bounded occurrence", u"R10,R1", u"R1", kCountIndex, HitKind::kDirect, 5, u"R1", u"R1"},
      {"plain text between blanks", u"x abc y", u"abc", kIgnoreIndex, HitKind::kDirect, 3, u"abc", u"abc"},
      {"without regard to case", u"ABC", u"abc", kIgnoreIndex, HitKind::kDirect, 1, u"abc", u"abc"},
      {"never inside a longer word", u"abcd", u"abc", kIgnoreIndex, HitKind::kNone, 0, u"", u""},
      {"a later occurrence bounded by no-break spaces", u"xab\u00A0ab\u00A0z", u"ab", kIgnoreIndex, HitKind::kDirect, 5,
       u"ab", u"ab"},
      {"case counts in CountIndex#", u"R5", u"r5", kCountIndex, HitKind::kNone, 0, u"", u""},
      // The token search.
      {"a token after a blank", u"R1 R2", u"R2", kCountIndex, HitKind::kHighEnd, 3, u"R2", u" R2"},
      {"the first token, before a blank", u"R1 R2", u"R1", kCountIndex, HitKind::kHighEnd, 1, u"R1", u"R1 "},
      {"the same number by value", u"R05", u"R5", kCountIndex, HitKind::kHighEnd, 1, u"R05", u"R05"},
      {"a token after a comma and blank", u"C1, R05", u"R5", kCountIndex, HitKind::kHighEnd, 4, u"R05", u" R05"},
      {"the low end of a range", u"R1-R10", u"R1", kCountIndex, HitKind::kLowEnd, 1, u"R1-", u"R1-"},
      {"the high end of a range", u"R1-R10", u"R10", kCountIndex, HitKind::kHighEnd, 3, u"-R10", u"-R10"},
      {"a high end with blanks around the hyphen", u"R1 - R5, C2", u"R5", kCountIndex, HitKind::kHighEnd, 4, u"- R5",
       u"-R5,"},
      {"a low end after a comma", u"R1-R4, R5-R8", u"R5", kCountIndex, HitKind::kLowEnd, 8, u"R5-", u" R5-"},
      {"inside a range", u"R1-R10", u"R5", kCountIndex, HitKind::kInsideRange, 0, u"", u""},
      {"inside a range whose high end has no prefix", u"R1-10", u"R5", kCountIndex, HitKind::kInsideRange, 0, u"", u""},
      {"a digits-only high end takes the low end's prefix", u"R1-10", u"R10", kCountIndex, HitKind::kHighEnd, 3, u"-10",
       u"-10"},
      {"ends are not inside", u"R5-R8", u"R8", kCountIndex, HitKind::kHighEnd, 3, u"-R8", u"-R8"},
      {"another prefix's range", u"C1-C10", u"R5", kCountIndex, HitKind::kNone, 0, u"", u""},
      {"mixed prefixes are no range", u"R1-C10", u"R5", kCountIndex, HitKind::kNone, 0, u"", u""},
      {"an all-digit Item inside a plain range", u"3-7", u"5", kCountIndex, HitKind::kInsideRange, 0, u"", u""},
      {"an end of 15 digits is passed over", u"R1-R123456789012345", u"R5", kCountIndex, HitKind::kNone, 0, u"", u""},
      {"no token search in IgnoreIndex#", u"R1-R10", u"R5", kIgnoreIndex, HitKind::kNone, 0, u"", u""},
      {"no token search for an Item without digits", u"ab cd", u"ab", kCountIndex, HitKind::kDirect, 1, u"ab", u"ab"},
      // The empty Item.
      {"two commas with blanks and tabs between", u"a, \t,b", u"", kCountIndex, HitKind::kEmptyItem, 2, u",,", u",,"},
      {"a comma before a line break", u"a,\nb", u"", kIgnoreIndex, HitKind::kEmptyItem, 2, u",\n", u",\n"},
      {"a line break before a comma", u"a\n,b", u"", kIgnoreIndex, HitKind::kEmptyItem, 2, u"\n,", u"\n,"},
      {"no empty Item", u"a,b", u"", kCountIndex, HitKind::kNone, 0, u"", u""},
  };
  for (const Case& c : cases) {
    const CellMatch m = Match(c.cell, c.item, c.ignoreIndex);
    EXPECT_EQ(m.kind, c.kind) << c.what;
    EXPECT_EQ(m.pos, c.pos) << c.what;
    EXPECT_EQ(m.matched, c.matched) << c.what;
    EXPECT_EQ(m.foundAt, c.foundAt) << c.what;
  }
}

TEST(MatchInCell, InsideARangeNamesItsEnds) {
  CellMatch m = Match(u"C7, R1-R10", u"R5", kCountIndex);
  EXPECT_EQ(m.rangeLow, u"R1");
  EXPECT_EQ(m.rangeHigh, u"R10");
  m = Match(u"R1 -\t10", u"R5", kCountIndex);
  EXPECT_EQ(m.kind, HitKind::kInsideRange);
  EXPECT_EQ(m.rangeLow, u"R1");
  EXPECT_EQ(m.rangeHigh, u"10");
}

}  // namespace
}  // namespace quillary::query
