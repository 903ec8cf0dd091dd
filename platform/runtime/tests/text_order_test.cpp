#include "platform/runtime/text_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace quillary::text_order {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// Ordered pairs: CompareValues(a, b, matchCase) must be `expected`, and the reverse
// pair its opposite.
struct OrderCase {
  Variant a;
  Variant b;
  bool matchCase;
  int expected;
};

const std::vector<OrderCase>& OrderCases() {
  static const std::vector<OrderCase> cases = {
      // Numbers by value, before texts, before FALSE, TRUE, error values, blanks.
      {Variant(-5), Variant(-1), false, -1},
      {Variant(2), Variant(10), false, -1},
      {Variant(0.0), Variant(-0.0), false, 0},
      {Variant(1e300), Variant(u"0"), false, -1},
      {Variant(1), Variant(u"1"), false, -1},
      {Variant(u"zzz"), Variant(false), false, -1},
      {Variant(u""), Variant(false), false, -1},
      {Variant(false), Variant(true), false, -1},
      {Variant(true), Variant(CellError::NA), false, -1},
      {Variant(CellError::Div0), Variant(CellError::NA), false, 0},
      {Variant(CellError::NA), Variant(), false, -1},
      {Variant(0), Variant(), true, -1},
      {Variant(u""), Variant(), false, -1},
      {Variant(), Variant(), false, 0},
      // Texts character by character: digits, then blank and punctuation, then letters,
      // then other characters.
      {Variant(u"10"), Variant(u"9"), false, -1},
      {Variant(u"9"), Variant(u" "), false, -1},
      {Variant(u" "), Variant(u"!"), false, -1},
      {Variant(u" a"), Variant(u"a"), false, -1},
      {Variant(u"/"), Variant(u":"), false, -1},
      {Variant(u"@"), Variant(u"["), false, -1},
      {Variant(u"~"), Variant(u"+"), false, -1},
      {Variant(u"+"), Variant(u"<"), false, -1},
      {Variant(u">"), Variant(u"a"), false, -1},
      {Variant(u"_"), Variant(u"A"), false, -1},
      {Variant(u"Z"), Variant(u"\u00DF"), false, -1},
      {Variant(u"Z"), Variant(u"\u20AC"), false, -1},
      {Variant(u"\t"), Variant(u"0"), false, -1},
      // Chr(127) sorts with the control characters: after Chr(31), before digits.
      {Variant(u"\x1F"), Variant(u"\x7F"), false, -1},
      {Variant(u"\x7F"), Variant(u"0"), false, -1},
      {Variant(u"\x7F"), Variant(u" "), false, -1},
      {Variant(u"a\x7F"), Variant(u"a!"), false, -1},
      {Variant(u"\x01"), Variant(u"\t"), false, -1},
      {Variant(u"\x01"), Variant(u"!"), false, -1},
      {Variant(u"\x01"), Variant(u" x"), false, -1},
      {Variant(u"a"), Variant(u"ab"), false, -1},
      {Variant(u"R10"), Variant(u"R9"), false, -1},
      // Case: equal without matchCase; with it, letters decide first, then lower case
      // first at the first position where the case differs.
      {Variant(u"abc"), Variant(u"ABC"), false, 0},
      {Variant(u"abc"), Variant(u"ABC"), true, -1},
      {Variant(u"aBc"), Variant(u"abC"), true, 1},
      {Variant(u"ABC"), Variant(u"abd"), true, -1},
      {Variant(u"abc"), Variant(u"abc"), true, 0},
      {Variant(u"\u00C9t\u00E9"), Variant(u"\u00E9T\u00C9"), false, 0},
      {Variant(u"\u00C9t\u00E9"), Variant(u"\u00E9T\u00C9"), true, 1},
      {Variant(u"\u03A9\u03BC\u03B5\u03B3\u03B1"), Variant(u"\u03C9\u039C\u0395\u0393\u0391"), false, 0},
      {Variant(u"\u0416"), Variant(u"\u0436"), true, 1},
      // Accented letters sort with their base letter: A=a < À=à < B=b; the accent
      // decides only between otherwise equal texts, position by position, a plain
      // letter first.
      {Variant(u"a"), Variant(u"\u00E0"), false, -1},
      {Variant(u"\u00C0"), Variant(u"\u00E0"), false, 0},
      {Variant(u"\u00C0"), Variant(u"\u00E0"), true, 1},
      {Variant(u"\u00E0"), Variant(u"b"), false, -1},
      {Variant(u"\u00E0"), Variant(u"B"), true, -1},
      {Variant(u"Dune"), Variant(u"\u00C9clair"), false, -1},
      {Variant(u"\u00C9clair"), Variant(u"Fig"), false, -1},
      {Variant(u"\u00C9clair"), Variant(u"Zeta"), false, -1},
      {Variant(u"eclair"), Variant(u"\u00E9clair"), false, -1},
      {Variant(u"\u00E9clair"), Variant(u"eclairs"), false, -1},
      {Variant(u"resum\u00E9"), Variant(u"r\u00E9sume"), false, -1},
      {Variant(u"cot\u00E9"), Variant(u"c\u00F4te"), false, -1},
      {Variant(u"\u00E9"), Variant(u"\u00E8"), false, 1},
      {Variant(u"Stra\u00DFe"), Variant(u"Strasse"), false, 1},
      {Variant(u"\u0141\u00F3d\u017A"), Variant(u"Lodz"), false, 1},
      {Variant(u"\u0141\u00F3d\u017A"), Variant(u"Lodzia"), false, -1},
      {Variant(u"\u00C7a"), Variant(u"Cb"), false, -1},
      {Variant(u"\u0131"), Variant(u"j"), false, -1},
      // Where a hyphen stands decides before the accents do.
      {Variant(u"c\u00F6op"), Variant(u"co-op"), false, -1},
      // Hyphens and apostrophes are passed over; a tie is decided position by position:
      // an ordinary character before an apostrophe before a hyphen, the shorter first.
      {Variant(u"ab"), Variant(u"a-b"), false, -1},
      {Variant(u"a-b"), Variant(u"ac"), false, -1},
      {Variant(u"co-op"), Variant(u"coop"), false, 1},
      {Variant(u"a'b"), Variant(u"a-b"), false, -1},
      {Variant(u"ab-"), Variant(u"a-b"), false, -1},
      {Variant(u"a-b"), Variant(u"a--b"), false, -1},
      {Variant(u""), Variant(u"-"), false, -1},
      {Variant(u"'"), Variant(u"a"), false, -1},
      {Variant(u"a-b"), Variant(u"A-B"), false, 0},
      {Variant(u"a-b"), Variant(u"A-B"), true, -1},
      {Variant(u"A-b"), Variant(u"a-B"), true, 1},
      {Variant(u"A-b"), Variant(u"ab"), true, 1},
  };
  return cases;
}

TEST(TextOrder, OrderedCases) {
  for (const OrderCase& c : OrderCases()) {
    EXPECT_EQ(CompareValues(c.a, c.b, c.matchCase), c.expected)
        << Describe(c.a) << " vs " << Describe(c.b) << (c.matchCase ? " (match case)" : "");
    EXPECT_EQ(CompareValues(c.b, c.a, c.matchCase), -c.expected)
        << Describe(c.b) << " vs " << Describe(c.a) << (c.matchCase ? " (match case)" : "");
  }
}

// Texts of the cases above plus some more, for checks over every pair.
std::vector<Text> SampleTexts() {
  std::vector<Text> texts = {u"",       u"-",      u"'",      u"--",     u"a",      u"A",          u"a-",
                             u"-a",     u"'a",     u"a'",     u"aa",     u"aA",     u"Aa",         u"AA",
                             u"a-a",    u"a'a",    u"A-a",    u"a--a",   u"1",      u"10",         u"9",
                             u" ",      u"\t",     u"~",      u"+",      u"R1-R5",  u"r1-r5",      u"R1",
                             u"\u00E9", u"\u00C9", u"\u01C4", u"\u01C5", u"\u01C6", u"\U0001F600", u"\uFF21",
                             u"\u00E0", u"\u00C0", u"b",      u"\x7F",   u"\u0131", u"\u00DF",     u"\u00E0-b"};
  for (const OrderCase& c : OrderCases()) {
    if (c.a.IsText()) texts.push_back(c.a.AsText());
    if (c.b.IsText()) texts.push_back(c.b.AsText());
  }
  return texts;
}

TEST(TextOrder, SortKeyAgreesWithCompareTextOnEveryPair) {
  const std::vector<Text> texts = SampleTexts();
  for (bool matchCase : {false, true}) {
    std::vector<Text> keys;
    for (const Text& t : texts) keys.push_back(SortKey(t, matchCase));
    for (size_t i = 0; i < texts.size(); ++i) {
      for (size_t j = 0; j < texts.size(); ++j) {
        const int byCompare = CompareText(texts[i], texts[j], matchCase);
        ASSERT_EQ(Sign(keys[i].compare(keys[j])), byCompare)
            << ToUtf8(texts[i]) << " vs " << ToUtf8(texts[j]) << (matchCase ? " (match case)" : "");
        ASSERT_EQ(CompareText(texts[j], texts[i], matchCase), -byCompare);
        // 0 means equal without regard to case, or equal code unit by code unit.
        ASSERT_EQ(byCompare == 0, matchCase ? texts[i] == texts[j] : EqualNoCase(texts[i], texts[j]))
            << ToUtf8(texts[i]) << " vs " << ToUtf8(texts[j]);
      }
    }
  }
}

// Every text of up to three characters drawn from letters in both cases, a digit, a
// hyphen, an apostrophe and an accented letter in both cases, against every other:
// texts equal but for case, for a hyphen or an apostrophe, or for an accent, texts that
// begin another, and texts parting after a shared hyphen or accented letter. CompareText
// walks most of them in one pass; the sort key weighs every level in full.
TEST(TextOrder, CompareTextAgreesWithTheFullKeyOnShortTexts) {
  constexpr std::u16string_view kChars = u"aAbB1-'\u00E9\u00C9";
  std::vector<Text> texts = {Text()};
  for (std::size_t from = 0, length = 1; length <= 3; ++length) {
    const std::size_t to = texts.size();
    for (std::size_t k = from; k < to; ++k) {
      for (const char16_t c : kChars) texts.push_back(texts[k] + c);
    }
    from = to;
  }
  for (const TextView t : {u"Part_10_x", u"PART_10_X", u"Part_10_X", u"part_1_x", u"Part_100_x", u"PART_9_X"}) {
    texts.emplace_back(t);
  }
  for (bool matchCase : {false, true}) {
    std::vector<Text> keys;
    for (const Text& t : texts) keys.push_back(SortKey(t, matchCase));
    for (size_t i = 0; i < texts.size(); ++i) {
      for (size_t j = 0; j < texts.size(); ++j) {
        ASSERT_EQ(CompareText(texts[i], texts[j], matchCase), Sign(keys[i].compare(keys[j])))
            << ToUtf8(texts[i]) << " vs " << ToUtf8(texts[j]) << (matchCase ? " (match case)" : "");
      }
    }
  }
}

// The byte keys order as the texts: the whole key for every text, the plain key among
// the plain texts (which leave out hyphens, apostrophes and all but ASCII).
TEST(TextOrder, ByteKeysAgreeWithCompareText) {
  std::vector<Text> texts = SampleTexts();
  for (const TextView t : {u"Part_10_x", u"PART_10_X", u"part_1_x", u"Part_9", u"a b", u"ab", u"a_b", u"\x01"}) {
    texts.emplace_back(t);
  }
  for (bool matchCase : {false, true}) {
    for (size_t i = 0; i < texts.size(); ++i) {
      std::string bytesI;
      AppendSortKeyBytes(texts[i], matchCase, bytesI);
      std::string plainI;
      if (IsPlain(texts[i])) AppendPlainSortKey(texts[i], matchCase, plainI);
      for (size_t j = 0; j < texts.size(); ++j) {
        const int byCompare = CompareText(texts[i], texts[j], matchCase);
        std::string where = ToUtf8(texts[i]);
        where += " vs ";
        where += ToUtf8(texts[j]);
        if (matchCase) where += " (match case)";
        std::string bytesJ;
        AppendSortKeyBytes(texts[j], matchCase, bytesJ);
        ASSERT_EQ(Sign(bytesI.compare(bytesJ)), byCompare) << where;
        if (!IsPlain(texts[i]) || !IsPlain(texts[j])) continue;
        std::string plainJ;
        AppendPlainSortKey(texts[j], matchCase, plainJ);
        ASSERT_EQ(Sign(plainI.compare(plainJ)), byCompare) << where;
      }
    }
  }
  for (const TextView t : {u"a-b", u"it's", u"\u00E9", u"\U0001F600"}) EXPECT_FALSE(IsPlain(t)) << ToUtf8(t);
  for (const TextView t : {u"", u"R1", u"Part_10_x", u"\t~"}) EXPECT_TRUE(IsPlain(t)) << ToUtf8(t);
}

TEST(TextOrder, FoldAndUpperAreLocaleFreeLetterPairs) {
  struct Case {
    char16_t upper;
    char16_t lower;
  };
  const std::vector<Case> pairs = {
      {u'A', u'a'},     {u'Z', u'z'},     {0x00C0, 0x00E0}, {0x00DE, 0x00FE}, {0x0178, 0x00FF}, {0x0100, 0x0101},
      {0x0139, 0x013A}, {0x017D, 0x017E}, {0x01CD, 0x01CE}, {0x0391, 0x03B1}, {0x03A3, 0x03C3}, {0x0386, 0x03AC},
      {0x038F, 0x03CE}, {0x0401, 0x0451}, {0x0410, 0x0430}, {0x042F, 0x044F}, {0x0460, 0x0461}, {0x04C0, 0x04CF},
      {0x04C1, 0x04C2}, {0x0531, 0x0561}, {0x1E00, 0x1E01}, {0x1EA0, 0x1EA1}, {0xFF21, 0xFF41},
  };
  for (const Case& c : pairs) {
    EXPECT_EQ(FoldChar(c.upper), c.lower) << std::hex << int{c.upper};
    EXPECT_EQ(FoldChar(c.lower), c.lower) << std::hex << int{c.lower};
    EXPECT_EQ(UpperChar(c.lower), c.upper) << std::hex << int{c.lower};
  }
  // Characters without a pair stay as they are.
  for (char16_t c :
       {u'1', u'-', char16_t{0x00D7}, char16_t{0x00F7}, char16_t{0x00DF}, char16_t{0x4E00}, char16_t{0xD83D}}) {
    EXPECT_EQ(FoldChar(c), c) << std::hex << int{c};
    EXPECT_EQ(UpperChar(c), c) << std::hex << int{c};
  }
  EXPECT_EQ(FoldChar(0x0130), u'i');
  EXPECT_EQ(FoldChar(0x1E9E), 0x00DF);
  EXPECT_EQ(FoldChar(0x01C5), 0x01C6);

  // Over every code unit: folding is idempotent, the upper-case partner of a character
  // folds back to it, and every letter folded has an upper-case partner (but the sharp s,
  // which stays as it is in upper case).
  for (unsigned u = 0; u <= 0xFFFF; ++u) {
    const auto c = static_cast<char16_t>(u);
    const char16_t f = FoldChar(c);
    ASSERT_EQ(FoldChar(f), f) << std::hex << u;
    if (UpperChar(c) != c) {
      ASSERT_EQ(FoldChar(UpperChar(c)), c) << std::hex << u;
    }
    if (f != c && f != 0x00DF) {
      ASSERT_NE(UpperChar(f), f) << std::hex << u;
    }
  }
}

TEST(TextOrder, FoldAndEqualNoCase) {
  EXPECT_EQ(Fold(u"AbC-\u00C9\u03A3\u0416"), u"abc-\u00E9\u03C3\u0436");
  EXPECT_TRUE(EqualNoCase(u"R1-R5", u"r1-r5"));
  EXPECT_FALSE(EqualNoCase(u"R1-R5", u"R1R5"));
  EXPECT_FALSE(EqualNoCase(u"a", u"a "));
}

}  // namespace
}  // namespace quillary::text_order
