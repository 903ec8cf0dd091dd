#include "items/list_sheet.h"

#include <gtest/gtest.h>

#include "host/working_sheet.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

class ListSheetTest : public ::testing::Test {
 protected:
  ListSheetTest() {
    b.BeginRequest();
    host::InitPlace(b.state, host::kList1);
    anchor.emplace(ListAnchor(b.state, host::kList1));
  }
  // Writes texts down column +2 from row offset 1 ("" leaves a cell empty).
  void Column(std::initializer_list<const char16_t*> texts, long col = kItemText) {
    long r = 1;
    for (const char16_t* t : texts) {
      if (*t) WriteText(anchor->Offset(r, col), t);
      ++r;
    }
  }
  testkit::Bench b;
  std::optional<xl::Range> anchor;
};

TEST_F(ListSheetTest, AnchorsAndTheOtherList) {
  EXPECT_EQ(anchor->Address(), u"$A$1");
  EXPECT_EQ(ListAnchor(b.state, host::kList2).Address(), u"$K$1");
  EXPECT_EQ(OtherList(host::kList1), host::kList2);
  EXPECT_EQ(OtherList(host::kList2), host::kList1);
}

TEST_F(ListSheetTest, ColumnCountRule) {
  EXPECT_EQ(ColumnCount(*anchor, kItemText), 0);
  Column({u"a"});
  EXPECT_EQ(ColumnCount(*anchor, kItemText), 1);
  Column({u"a", u"b", u"c"});
  EXPECT_EQ(ColumnCount(*anchor, kItemText), 3);
  // A gap ends the list; an empty text is not a gap.
  Column({u"a", u"b", u"c", u"", u"e"}, kSideItem);
  EXPECT_EQ(ColumnCount(*anchor, kSideItem), 3);
  anchor->Offset(4, kSideItem).SetValue(u"'");
  EXPECT_EQ(ColumnCount(*anchor, kSideItem), 5);
}

TEST_F(ListSheetTest, EscapesAndWildcards) {
  const struct {
    const char16_t* text;
    const char16_t* escaped;
    const char16_t* wildcards;
  } cases[] = {
      {u"plain", u"plain", u""},
      {u"a*b?c~d", u"a~*b~?c~~d", u"~*?"},
      {u"~*", u"~~~*", u"~*"},
      {u"??", u"~?~?", u"?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeFindText(c.text), c.escaped) << ToUtf8(c.text);
    EXPECT_EQ(WildcardsIn(c.text), c.wildcards) << ToUtf8(c.text);
  }
}

TEST_F(ListSheetTest, FindItemWholeAndLong) {
  const Text longItem = Text(300, u'x') + u"1";
  const Text longOther = Text(300, u'x') + u"2";
  Column({u"R", u"a*b", u"r", u"R"});
  WriteText(anchor->Offset(5, kItemText), longOther);
  WriteText(anchor->Offset(6, kItemText), Text(300, u'X') + u"1");
  WriteText(anchor->Offset(7, kItemText), longItem);
  const xl::Range within = anchor->Offset(0, kItemText).Parent().Range(anchor->Offset(0, kItemText),
                                                                     anchor->Offset(8, kItemText));
  auto row = [](const std::optional<xl::Range>& r) { return r ? r->Row() - 1 : -1L; };
  EXPECT_EQ(row(FindItem(within, u"R", true, true, 0)), 1) << "the topmost match";
  EXPECT_EQ(row(FindItem(within, u"r", true, true, 0)), 3);
  EXPECT_EQ(row(FindItem(within, u"r", false, false, 1)), 1);
  EXPECT_EQ(row(FindItem(within, u"a*b", true, true, 0)), 2) << "wildcards are taken literally";
  EXPECT_EQ(row(FindItem(within, u"ab", true, true, 0)), -1);
  EXPECT_EQ(row(FindItem(within, longItem, true, false, 0)), 7) << "confirmed whole, case-sensitively";
  EXPECT_EQ(row(FindItem(within, longItem, true, false, 1)), 6) << "text compare accepts other case";
  EXPECT_EQ(row(FindItem(within, Text(300, u'x') + u"3", true, true, 0)), -1);
}

TEST_F(ListSheetTest, ResetFindOptionsKeepsTheAnchorValue) {
  for (const Variant& value : {Variant(u"'title"), Variant(7), Variant()}) {
    anchor->SetValue(value);
    const Variant before = anchor->Value();
    anchor->Find({.What = u"zz", .LookIn = xl::xlFormulas, .LookAt = xl::xlWhole, .SearchOrder = xl::xlByRows,
                  .MatchCase = true});
    ResetFindOptions(*anchor);
    EXPECT_EQ(anchor->Value(), before);
    const xl::FindSettings& remembered = b.app->RememberedFind();
    EXPECT_EQ(remembered.LookIn, xl::xlValues);
    EXPECT_EQ(remembered.LookAt, xl::xlPart);
    EXPECT_EQ(remembered.SearchOrder, xl::xlByColumns);
    EXPECT_FALSE(remembered.MatchCase);
  }
}

}  // namespace
}  // namespace quillary::items
