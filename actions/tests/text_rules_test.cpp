#include "actions/internal/text_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace quillary::actions::internal {
namespace {

std::string Show(const PrefixRewrite& r) {
  switch (r.fault) {
    case PrefixFault::kFirstItem: return "first-Item fault";
    case PrefixFault::kMixedPrefix: return "mixed-prefix fault";
    case PrefixFault::kNone: break;
  }
  return ToUtf8(r.text);
}

TEST(PrefixRewrite, LaterItemsTakeTheFirstItemsPrefixAsTheModeSays) {
  const struct {
    const char16_t* text;
    PrefixMode mode;
    const char16_t* separator;
    std::string expected;
  } cases[] = {
      {u"R1, 2, 3-5", PrefixMode::kSet, u", ", "R1, R2, R3-R5"},
      {u"R1, R2, R3-R5", PrefixMode::kClear, u", ", "R1, 2, 3-5"},
      {u"R1, 2, R3-R5", PrefixMode::kAfterHyphenClear, u", ", "R1, R2, R3-5"},
      {u"R1 , R2 -  R4", PrefixMode::kSet, u", ", "R1, R2-R4"},
      {u"R1, R2,", PrefixMode::kSet, u", ", "R1, R2,"},
      {u"R1, R2, R3-R5", PrefixMode::kSet, u",", "R1,R2,R3-R5"},
      {u"R1,2,3-5", PrefixMode::kSet, u",", "R1,R2,R3-R5"},
      {u"R1", PrefixMode::kClear, u", ", "R1"},
      // An Item that is the prefix alone stays the prefix when cleared.
      {u"R1, R", PrefixMode::kClear, u", ", "R1, R"},
      // The far end of a hyphen range is a later Item.
      {u"R1-5, 7", PrefixMode::kSet, u", ", "R1-R5, R7"},
      {u"IC10-IC12", PrefixMode::kAfterHyphenClear, u", ", "IC10-12"},
      // A run of n blanks inside an Item keeps n - 1 of them.
      {u"AB  C1, 2", PrefixMode::kSet, u", ", "AB C1, AB C2"},
      // A doubled comma becomes part of the next Item, whose prefix is then ",R".
      {u"R1,,R1", PrefixMode::kSet, u", ", "mixed-prefix fault"},
      {u"5, R6", PrefixMode::kSet, u", ", "first-Item fault"},
      {u"R, R6", PrefixMode::kSet, u", ", "first-Item fault"},
      {u"R1, C2", PrefixMode::kSet, u", ", "mixed-prefix fault"},
      {u"R1, r2", PrefixMode::kClear, u", ", "mixed-prefix fault"},
      {u"R1, R2 R3", PrefixMode::kSet, u", ", "mixed-prefix fault"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(Show(RewritePrefixes(c.text, c.mode, c.separator)), c.expected);
  }
}

TEST(CommaSpace, SetMakesEverySeparatorACommaAndABlank) {
  const struct {
    const char16_t* text;
    bool parentheses;
    const char16_t* expected;
  } cases[] = {
      {u"R1 R2,R3 ,  R4", false, u"R1, R2, R3, R4"},
      {u"R1 - R5  R7", false, u"R1-R5, R7"},
      {u", R1,", false, u"R1"},
      {u"A\nB\tC", false, u"A, B, C"},
      {u"A\r\nB\rC", false, u"A, B, C"},
      {u"C1(C2)", true, u"C1, C2"},
      {u"C1(C2)", false, u"C1(C2)"},
      {u"R1\x1FR2", false, u"R1, R2"},
      {u",,,", false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(CommaSpaceSetText(c.text, c.parentheses), c.expected);
  }
}

TEST(CommaSpace, ClearTakesBlanksFromAroundCommasOrCollapsesBlanks) {
  const struct {
    const char16_t* text;
    bool collapse;
    const char16_t* expected;
  } cases[] = {
      {u"R1, R2 , R3,  R4", false, u"R1,R2,R3,R4"},
      {u"R1,\nR2\n,R3", false, u"R1\nR2\nR3"},
      {u"R1,  R2\tR3", true, u"R1, R2 R3"},
      {u"a    b", true, u"a b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(CommaSpaceClearText(c.text, c.collapse), c.expected);
  }
}

}  // namespace
}  // namespace quillary::actions::internal
