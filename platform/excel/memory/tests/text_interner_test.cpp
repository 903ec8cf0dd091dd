// The interner numbers each distinct text once, in the order first met, and gives it back.
#include "platform/excel/memory/internal/text_interner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillary::xl::memory::internal {
namespace {

TEST(TextInterner, NumbersEachDistinctTextOnceInTheOrderFirstMet) {
  // Texts that are empty, prefixes of one another, or differ in letter case or a
  // character past one byte are distinct; only the same characters are the same text.
  const std::vector<Text> texts = {u"R1", u"", u"R", u"r1", u"R1", u"R10", u"", u"Ω1", u"R1", u"r1", u"Ω1", u"R"};
  const std::vector<std::uint32_t> expected = {0, 1, 2, 3, 0, 4, 1, 5, 0, 3, 5, 2};
  TextInterner interner;
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(interner.Intern(texts[i]), expected[i]) << i;
  ASSERT_EQ(interner.Count(), 6U);
  const std::vector<Text> distinct = {u"R1", u"", u"R", u"r1", u"R10", u"Ω1"};
  for (std::uint32_t k = 0; k < distinct.size(); ++k) EXPECT_EQ(interner.At(k), distinct[k]);
}

TEST(TextInterner, KeepsFindingTextsAsItsTableGrows) {
  // More distinct texts than the table first holds, whether it was told how many to
  // expect or not, each met again after all the others and given back whole.
  constexpr std::uint32_t kDistinct = 150000;
  for (const std::size_t expected : {std::size_t{0}, std::size_t{kDistinct}}) {
    TextInterner interner(expected);
    // Now and then a text longer than the room the short ones share.
    const auto text = [](std::uint32_t k) {
      const std::string digits = std::to_string(k);
      Text t(digits.begin(), digits.end());
      if (k % 50000 == 7) t.append(40000, u'x');
      return t;
    };
    for (std::uint32_t k = 0; k < kDistinct; ++k) ASSERT_EQ(interner.Intern(text(k)), k);
    for (std::uint32_t k = kDistinct; k-- > 0;) ASSERT_EQ(interner.Intern(text(k)), k);
    ASSERT_EQ(interner.Count(), kDistinct);
    EXPECT_EQ(interner.At(0), u"0");
    EXPECT_EQ(interner.At(kDistinct - 1), text(kDistinct - 1));
    for (const std::uint32_t k : {6U, 7U, 8U, 50007U}) EXPECT_EQ(interner.At(k), text(k)) << k;
  }
}

}  // namespace
}  // namespace quillary::xl::memory::internal
