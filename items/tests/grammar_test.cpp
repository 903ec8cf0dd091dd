#include "items/internal/grammar.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/internal/index_split.h"
#include "items/list_sheet.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

constexpr double kNoNumber = -1;

class GrammarTest : public ::testing::Test {
 protected:
  GrammarTest() {
    b.BeginRequest();
    host::InitPlace(b.state, host::kList1);
    anchor.emplace(ListAnchor(b.state, host::kList1));
  }
  // Classifies `item` on the next free row, as a gathering does: "'" & item in +2 first.
  ItemFaultCode Classify(TextView item, int& style) {
    row = anchor->Offset(++rowIndex, 0);
    WriteText(row->Offset(0, kItemText), item);
    return ClassifyItem(b.state, *row, item, style);
  }
  Text At(long col) const { return CellText(row->Offset(0, col)); }

  testkit::Bench b;
  std::optional<xl::Range> anchor;
  std::optional<xl::Range> row;
  long rowIndex = 0;
};

// One Item classified after `before` (which must pass) set up the index style.
struct GrammarCase {
  std::vector<const char16_t*> before;
  const char16_t* item;
  ItemFaultCode code;
  const char16_t* faultMsg;  // "" when code is 0
  // The row after a pass (+2 Prefix1 or the name, +3 IndexNum1, +4, +5); at a fault +2
  // still holds the whole Item.
  const char16_t* prefix1;
  double indexNum1;
  const char16_t* indexNum2;
  const char16_t* prefix2;
  int styleAfter;  // checked after a pass
};

TEST_F(GrammarTest, ItemsTable) {
  using namespace fault;
  const GrammarCase cases[] = {
      // Plain names and single numbers.
      {{}, u"Door", kNone, u"", u"Door", kNoNumber, u"", u"", 0},
      {{}, u"Item Name", kBlankInFirstPrefix, u"Space found in Item Name", u"", kNoNumber, u"", u"", 0},
      {{}, u"Item Name7", kBlankInFirstPrefix, u"Space found in 1st Prefix", u"", 7, u"", u"", 0},
      {{}, u"R7", kNone, u"", u"R", 7, u"", u"", 3},
      {{}, u"7", kNone, u"", u" ", 7, u"", u"", 4},
      {{}, u"R007", kNone, u"", u"R00", 7, u"", u"", 3},
      {{}, u"007", kNone, u"", u"00", 7, u"", u"", 3},
      {{}, u"R0", kNone, u"", u"R", 0, u"", u"", 3},
      {{}, u"R123456789012345", kNone, u"", u"R", 123456789012345.0, u"", u"", 3},
      {{}, u"R1234567890123456", kBigNum, u"BigNum >=15 digits", u"", 1234567890123450.0, u"", u"", 0},
      {{}, u"R0000000000000001", kNone, u"", u"R000000000000000", 1, u"", u"", 3},
      // Ranges.
      {{}, u"R1-R5", kNone, u"", u"R", 1, u"5", u"R", 2},
      {{}, u"R1-5", kNone, u"", u"R", 1, u"5", u" ", 1},
      {{}, u"1-5", kNone, u"", u" ", 1, u"5", u" ", 4},
      {{}, u"R1 - R5", kNone, u"", u"R", 1, u"5", u"R", 2},
      {{}, u"R007-009", kNone, u"", u"R00", 7, u"009", u" ", 1},
      {{}, u"R007-R009", kPrefixMismatch, u"1st Prefix/2nd Prefix Mismatch", u"", 7, u"009", u"R", 0},
      {{}, u"R1-S5", kPrefixMismatch, u"1st Prefix/2nd Prefix Mismatch", u"", 1, u"5", u"S", 0},
      {{}, u"R1-r5", kPrefixMismatch, u"1st Prefix/2nd Prefix Mismatch", u"", 1, u"5", u"r", 0},
      {{}, u"R1-", kMissingNumberAfter, u"Missing Number After Hyphen", u"", kNoNumber, u"", u"", 0},
      {{}, u"-5", kMissingNumberBefore, u"Missing Number Before Hyphen", u"", kNoNumber, u"5", u" ", 0},
      {{}, u"R-5", kMissingNumberBefore, u"Missing Number Before Hyphen", u"", kNoNumber, u"5", u" ", 0},
      {{}, u"R5-R5", kFirstNotBelowSecond, u"First >= HyphenSecond", u"", 5, u"5", u"R", 0},
      {{}, u"R5-R3", kFirstNotBelowSecond, u"First >= HyphenSecond", u"", 5, u"3", u"R", 0},
      {{}, u"R9-R10", kNone, u"", u"R", 9, u"10", u"R", 2},
      {{}, u"R1-R2-R3", kManyHyphens, u"Has More Than 1 Hyphen", u"", kNoNumber, u"", u"", 0},
      {{}, u"1-R5", kMissingFirstPrefix, u"Missing 1st Prefix but has 2nd Prefix", u"", 1, u"5", u"R", 0},
      {{}, u"R 1-R 5", kBlankInSecondPrefix, u"Space found in 2nd Prefix", u"", kNoNumber, u"5", u"", 0},
      {{}, u"R 1-5", kBlankInFirstPrefix, u"Space found in 1st Prefix", u"", 1, u"5", u" ", 0},
      // The second number is refused past 15 significant digits, as the first is.
      {{}, u"R1-R123456789012345", kNone, u"", u"R", 1, u"123456789012345", u"R", 2},
      {{}, u"R1-R000123456789012345", kNone, u"", u"R", 1, u"000123456789012345", u"R", 2},
      {{}, u"R1-R1234567890123456", kBigNum, u"BigNum >=15 digits", u"", kNoNumber, u"1234567890123456", u"", 0},
      {{}, u"R1234567890123456-R2", kBigNum, u"BigNum >=15 digits", u"", 1234567890123450.0, u"2", u"R", 0},
      // Mixing index styles; plain names neither read nor change the style.
      {{u"R7"}, u"R1-5", kNone, u"", u"R", 1, u"5", u" ", 1},
      {{u"R7"}, u"R1-R5", kNone, u"", u"R", 1, u"5", u"R", 2},
      {{u"R1-5"}, u"R7", kNone, u"", u"R", 7, u"", u"", 1},
      {{u"R1-R5"}, u"R7", kNone, u"", u"R", 7, u"", u"", 2},
      {{u"R7", u"R1-5"}, u"R1-R5", kPrefixAfterHyphen, u"Mixed Prefix & NoPrefix after hyphen", u"", 1, u"5", u"R", 0},
      {{u"R1-R5"}, u"R1-5", kNoPrefixAfterHyphen, u"Mixed Prefix & NoPrefix after hyphen", u"", 1, u"5", u" ", 0},
      {{u"1-5"}, u"R1-5", kPrefixAmongPlain, u"Mixed PlainNum & PrefixIndexNum", u"", 1, u"5", u" ", 0},
      {{u"1-5"}, u"R7", kPrefixAmongPlain, u"Mixed PlainNum & PrefixIndexNum", u"", 7, u"", u"", 0},
      {{u"1-5"}, u"R1-R5", kPrefixAmongPlain, u"Mixed PlainNum & PrefixIndexNum", u"", 1, u"5", u"R", 0},
      {{u"7"}, u"1-R5", kPrefixAmongPlain, u"Mixed PlainNum & PrefixIndexNum", u"", 1, u"5", u"R", 0},
      {{u"7"}, u"2-5", kNone, u"", u" ", 2, u"5", u" ", 4},
      {{u"R7"}, u"7", kPlainAmongPrefix, u"Mixed PlainNum & PrefixIndexNum", u"", 7, u"", u"", 0},
      {{u"R7"}, u"1-5", kPlainAmongPrefix, u"Mixed PlainNum & PrefixIndexNum", u"", 1, u"5", u" ", 0},
      {{u"R1-R5"}, u"7", kPlainAmongPrefix, u"Mixed PlainNum & PrefixIndexNum", u"", 7, u"", u"", 0},
      {{u"R7", u"Door"}, u"R8", kNone, u"", u"R", 8, u"", u"", 3},
      {{u"7"}, u"Door", kNone, u"", u"Door", kNoNumber, u"", u"", 4},
      // The Tab form: characters below code 33 stripped around the parts.
      {{}, u"A\tB", kBlankInFirstPrefix, u"Tab found in 1st Prefix", u"", kNoNumber, u"", u"", 0},
      {{}, u"\tDoor", kNone, u"", u"Door", kNoNumber, u"", u"", 0},
      {{}, u"Door\t", kNone, u"", u"Door", kNoNumber, u"", u"", 0},
      {{}, u"A B\t", kBlankInFirstPrefix, u"Space found in Item Name", u"", kNoNumber, u"", u"", 0},
      {{}, u"R5\t", kNone, u"", u"R", 5, u"", u"", 3},
      {{}, u"\t", kMissingNumberAfter, u"Missing Number After Hyphen", u"", kNoNumber, u"", u"", 0},
      {{}, u"R\t5", kBlankInFirstPrefix, u"Tab found in 1st Prefix", u"", 5, u"", u"", 0},
      {{u"R7"}, u"\t5", kPlainAmongPrefix, u"Mixed PlainNum & PrefixIndexNum", u"", 5, u"", u"", 0},
      {{}, u"R1\t-\tR5\t", kNone, u"", u"R", 1, u"5", u"R", 2},
      {{}, u"R1-R\t5", kBlankInSecondPrefix, u"Tab found in 2nd Prefix", u"", kNoNumber, u"5", u"", 0},
      {{}, u"R\t1-5", kBlankInFirstPrefix, u"Tab found in 1st Prefix", u"", 1, u"5", u" ", 0},
      {{}, u"R1\t-R2-R3", kManyHyphens, u"Has More Than 1 Hyphen", u"", kNoNumber, u"", u"", 0},
  };
  for (const GrammarCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.item));
    b.state.request.FaultMsg.clear();
    int style = index_style::kNone;
    for (const char16_t* earlier : c.before) ASSERT_EQ(Classify(earlier, style), kNone) << ToUtf8(earlier);
    EXPECT_EQ(Classify(c.item, style), c.code);
    EXPECT_EQ(b.state.request.FaultMsg, c.faultMsg);
    if (c.code == kNone) {
      EXPECT_EQ(At(kItemText), c.prefix1);
      EXPECT_EQ(style, c.styleAfter);
    } else {
      EXPECT_EQ(At(kItemText), c.item) << "the whole Item stays in +2 at a fault";
    }
    const Variant n1 = row->Offset(0, kIndexNum1).Value();
    if (c.indexNum1 == kNoNumber) {
      EXPECT_TRUE(n1.IsEmpty());
    } else {
      ASSERT_TRUE(n1.IsNumber());
      EXPECT_EQ(n1.AsNumber(), c.indexNum1);
    }
    const Variant n2 = row->Offset(0, kIndexNum2).Value();
    EXPECT_TRUE(n2.IsEmpty() || n2.IsText()) << "IndexNum2 is stored as text";
    EXPECT_EQ(At(kIndexNum2), c.indexNum2);
    EXPECT_EQ(At(kPrefix2), c.prefix2);
  }
}

TEST_F(GrammarTest, AnIndexNumberPastFifteenDigitsIsBigNumHoweverLong) {
  for (const std::size_t digits : {16, 308, 309, 400}) {
    SCOPED_TRACE(digits);
    b.state.request.FaultMsg.clear();
    int style = index_style::kNone;
    const Text run(digits, u'9');
    EXPECT_EQ(Classify(u"R" + run, style), fault::kBigNum);
    EXPECT_EQ(Classify(run + u"-" + run + u"9", style), fault::kBigNum);
    EXPECT_EQ(b.state.request.FaultMsg, u"BigNum >=15 digits");
  }
}

TEST(IndexSplitTest, Pieces) {
  EXPECT_EQ(TrailingDigits(u"R007"), u"007");
  EXPECT_EQ(TrailingDigits(u"R7a"), u"");
  EXPECT_EQ(TrailingDigits(u"123"), u"123");
  EXPECT_EQ(CountHyphens(u"a-b-c"), 2);
  EXPECT_EQ(StripLow(u"\t a\tb \x01"), u"a\tb");
  EXPECT_EQ(CutPrefix(u"R007", u"7"), u"R00");
  EXPECT_EQ(CutPrefix(u"7", u"1.2E+15"), u"");
  EXPECT_TRUE(IsBigNum(u"1.23456789012346E+15"));
  EXPECT_FALSE(IsBigNum(u"123456789012345"));
  const struct {
    const char16_t* item;
    bool tab;
    const char16_t* before;
    const char16_t* after;
  } splits[] = {
      {u"R1 - R5", false, u"R1", u"R5"},
      {u"R1\t - R5", false, u"R1\t", u"R5"},
      {u"\tR1\t -  \tR5\t", true, u"R1", u"R5"},
      {u"R1-", true, u"R1", u""},
  };
  for (const auto& c : splits) {
    const HyphenParts p = SplitAtHyphen(c.item, c.tab);
    EXPECT_EQ(p.before, c.before) << ToUtf8(c.item);
    EXPECT_EQ(p.after, c.after) << ToUtf8(c.item);
  }
}

}  // namespace
}  // namespace quillary::items
