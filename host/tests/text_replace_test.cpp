#include "host/text_replace.h"

#include <gtest/gtest.h>

#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::host {
namespace {

struct ReplaceCase {
  const char* what;
  Text text, find, replacement;
  std::int64_t start, count;
  int compare;
  Text expected;
};

TEST(ReplaceIt, TableOfCases) {
  const ReplaceCase cases[] = {
      {"runs of blanks collapse over passes", u"a    b  c", u"  ", u" ", 1, -1, 0, u"a b c"},
      {"a replacement holding find runs one pass", u"a,b,,c", u",", u", ", 1, -1, 0, u"a, b, , c"},
      {"count 1 replaces the first only", u"a,b,c", u",", u";", 1, 1, 0, u"a;b,c"},
      {"count 0 changes nothing", u"a,b,c", u",", u";", 1, 0, 0, u"a,b,c"},
      {"count spans passes", u"a        b", u"  ", u" ", 1, 5, 0, u"a   b"},
      {"start drops the text before it", u"abXdeX", u"X", u"Y", 3, -1, 0, u"YdeY"},
      {"text compare ignores case", u"xNULLy null", u"Null", u"", 1, -1, 1, u"xy "},
      {"binary compare keeps other cases", u"xNULLy Null", u"Null", u"", 1, -1, 0, u"xNULLy "},
      {"absent find leaves the text", u"abc", u"z", u"y", 1, -1, 0, u"abc"},
      {"absent find still drops the text before start", u"abXde", u"z", u"y", 3, -1, 0, u"Xde"},
      {"find only before start gives the tail unchanged", u"Xab", u"X", u"Y", 2, -1, 0, u"ab"},
      {"empty find gives the tail", u"abc", u"", u"y", 2, -1, 0, u"bc"},
      {"start past the end gives nothing", u"abc", u"c", u"y", 5, -1, 0, u""},
      {"absent find in text compare leaves the text", u"aBc", u"z", u"y", 1, -1, 1, u"aBc"},
      {"a replacement holding find in another case runs one pass", u"axb", u"x", u"X-", 1, -1, 1, u"aX-b"},
      {"empty find leaves the text", u"abc", u"", u"y", 1, -1, 0, u"abc"},
      {"removal that re-forms find is repeated", u"aabb", u"ab", u"", 1, -1, 0, u""},
      {"growing replacement in a long run", u"xxxxxxxxxx", u"x", u"xy", 1, -1, 0, u"xyxyxyxyxyxyxyxyxyxy"},
  };
  for (const auto& c : cases) {
    Text text = c.text;
    ReplaceItRef(text, c.find, c.replacement, c.start, c.count, c.compare);
    EXPECT_EQ(text, c.expected) << c.what;
    EXPECT_EQ(ReplaceItVal(c.text, c.find, c.replacement, c.start, c.count, c.compare), c.expected) << c.what;
  }
}

TEST(ReplaceIt, ValLeavesTheCallersTextAlone) {
  const Text original = u"a_b";
  const Text result = ReplaceItVal(original, u"_", u" ");
  EXPECT_EQ(original, u"a_b");
  EXPECT_EQ(result, u"a b");
}

TEST(ReplaceIt, BadStartRaisesWithTheTrail) {
  Text text = u"abc";
  check::ExpectRaises([&] { ReplaceItRef(text, u"a", u"b", 0, -1, 0); }, err::kInvalidCall, "ReplaceItRef: ");
}

TEST(ReplaceIt, LongTextWithManyOccurrences) {
  // A cell-sized text of comma-separated Items: every comma gains a blank in one pass.
  Text text;
  for (int i = 0; i < 20000; ++i) text += u"R1,";
  ReplaceItRef(text, u",", u", ");
  EXPECT_EQ(text.size(), 20000u * 4);
  EXPECT_EQ(text.substr(0, 8), u"R1, R1, ");
}

TEST(RplcHspace, TurnsNoBreakSpacesIntoBlanks) {
  Text text = u"a\u00A0b\u00A0\u00A0c";
  EXPECT_EQ(RplcHspace(text), u"a b  c");
  EXPECT_EQ(text, u"a b  c");
  Text plain = u"abc";
  EXPECT_EQ(RplcHspace(plain), u"abc");
}

}  // namespace
}  // namespace quillary::host
