#include "items/list_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  // One search of `within`, through an index made for it.
  static std::optional<xl::Range> Find(const xl::Range& within, TextView item, bool matchCase, bool longMatchCase,
                                       int compareMode) {
    LongItemIndex longItems(within, longMatchCase, compareMode);
    return FindItem(longItems, item, matchCase);
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
  const xl::Range within =
      anchor->Offset(0, kItemText).Parent().Range(anchor->Offset(0, kItemText), anchor->Offset(8, kItemText));
  auto row = [](const std::optional<xl::Range>& r) { return r ? r->Row() - 1 : -1L; };
  EXPECT_EQ(row(Find(within, u"R", true, true, 0)), 1) << "the topmost match";
  EXPECT_EQ(row(Find(within, u"r", true, true, 0)), 3);
  EXPECT_EQ(row(Find(within, u"r", false, false, 1)), 1);
  EXPECT_EQ(row(Find(within, u"a*b", true, true, 0)), 2) << "wildcards are taken literally";
  EXPECT_EQ(row(Find(within, u"ab", true, true, 0)), -1);
  EXPECT_EQ(row(Find(within, longItem, true, false, 0)), 7) << "confirmed whole, case-sensitively";
  EXPECT_EQ(row(Find(within, longItem, true, false, 1)), 6) << "text compare accepts other case";
  EXPECT_EQ(row(Find(within, Text(300, u'x') + u"3", true, true, 0)), -1);
}

// The long-Item index: rows written as texts down column +2 from row offset 1, searched
// over row offsets `from`..`to` of that column.
class LongItemIndexTest : public ListSheetTest {
 protected:
  void Cells(const std::vector<Text>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (!texts[i].empty()) WriteText(At(static_cast<long>(i) + 1), texts[i]);
    }
  }
  xl::Range At(long r) const { return anchor->Offset(r, kItemText); }
  xl::Range Within(long from, long to) const { return anchor->Parent().Range(At(from), At(to)); }
  // The row offset FindItem gives, or -1.
  long Found(const std::optional<xl::Range>& hit) const { return hit ? hit->Row() - anchor->Row() : -1L; }

  const Text L = Text(290, u'x');  // long texts share their first 290 characters
};

TEST_F(LongItemIndexTest, MatchesAsTheSearchCompares) {
  const Text upperStart = Text(u"X").append(L.substr(1));
  Cells({L + u"a", L + u"A", upperStart + u"a", L + u"b", L + u"a"});
  // Found rows for: the binary compare (either prefix case), the text compare with the
  // prefix without case, the text compare with the prefix with case.
  const struct {
    Text item;
    long binary, text, textPrefixCase;
  } cases[] = {
      {L + u"a", 1, 1, 1},           {L + u"A", 2, 1, 1},    {L + u"b", 4, 4, 4}, {upperStart + u"a", 3, 1, 3},
      {upperStart + u"A", -1, 1, 3}, {L + u"c", -1, -1, -1}, {L, -1, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.item.substr(285)));
    for (const bool prefixCase : {false, true}) {
      LongItemIndex binary(Within(0, 6), prefixCase, 0);
      EXPECT_EQ(Found(FindItem(binary, c.item, true)), c.binary);
    }
    LongItemIndex text(Within(0, 6), false, 1);
    EXPECT_EQ(Found(FindItem(text, c.item, true)), c.text);
    LongItemIndex textPrefixCase(Within(0, 6), true, 1);
    EXPECT_EQ(Found(FindItem(textPrefixCase, c.item, true)), c.textPrefixCase);
  }
  EXPECT_THROW(LongItemIndex(Within(0, 6), true, 2), Error);
}

TEST_F(LongItemIndexTest, FirstRowInFindsOrder) {
  // Find starts after the range's first cell and comes back to it last; long and short
  // Items are found alike.
  Cells({L, u"s", L, u"s", u"", L});
  const struct {
    long from, to;
    long longRow, shortRow;
  } cases[] = {{0, 6, 1, 2}, {1, 6, 3, 2}, {1, 2, 1, 2}, {2, 3, 3, 2}, {4, 6, 6, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + ".." + std::to_string(c.to));
    EXPECT_EQ(Found(Find(Within(c.from, c.to), L, true, true, 0)), c.longRow);
    EXPECT_EQ(Found(Find(Within(c.from, c.to), u"s", true, true, 0)), c.shortRow);
  }
  EXPECT_EQ(Found(Find(Within(1, 1), L, true, true, 0)), 1) << "a range of one cell";
}

TEST_F(LongItemIndexTest, FollowsTheCellsItIsToldOf) {
  const Text a = L + u"a";
  const Text b2 = L + u"b";
  LongItemIndex index(Within(0, 9), true, 0);
  Cells({a, u"", a});
  EXPECT_EQ(Found(FindItem(index, a, true)), 1) << "the column is read at the first search";
  EXPECT_EQ(Found(FindItem(index, b2, true)), -1);

  WriteText(At(2), b2);
  index.Refresh(At(2));
  EXPECT_EQ(Found(FindItem(index, b2, true)), 2) << "a new entry";
  WriteText(At(1), b2);
  index.Refresh(At(1));
  EXPECT_EQ(Found(FindItem(index, a, true)), 3) << "an entry overwritten";
  EXPECT_EQ(Found(FindItem(index, b2, true)), 1);
  At(1).ClearContents();
  index.Refresh(At(1));
  EXPECT_EQ(Found(FindItem(index, b2, true)), 2) << "an entry cleared";
  WriteText(At(2), u"short now");
  index.Refresh(At(2));
  EXPECT_EQ(Found(FindItem(index, b2, true)), -1) << "an entry shortened";
  EXPECT_EQ(Found(FindItem(index, u"short now", true)), 2);
}

TEST_F(LongItemIndexTest, SearchLimitCountsEscapedCharacters) {
  // matchCase off, the long compare binary: a whole-value Find ignores case, the
  // index does not, which tells the two paths apart.
  const struct {
    Text item;
    bool searchedWhole;
  } cases[] = {
      {Text(254, u'x'), true},
      {Text(255, u'x'), false},
      {Text(u"*").append(Text(252, u'x')), true},
      {Text(u"*").append(Text(253, u'x')), false},
      {Text(u"~").append(Text(250, u'x')).append(u"?"), true},
      {Text(u"~").append(Text(251, u'x')).append(u"?"), false},
  };
  long r = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.item.substr(0, 2)) + std::to_string(c.item.size()));
    Text upper = c.item;
    for (char16_t& ch : upper) ch = ch == u'x' ? u'X' : ch;
    WriteText(At(r), upper);
    WriteText(At(r + 1), c.item);
    EXPECT_EQ(Found(Find(Within(0, r + 1), c.item, false, true, 0)), c.searchedWhole ? r : r + 1);
    r += 2;
  }
}

TEST_F(LongItemIndexTest, WildcardsInLongTexts) {
  Cells({u"a" + L, u"*" + L, u"?" + L, u"~" + L, L + u"*"});
  const struct {
    Text item;
    long row;
  } cases[] = {
      {u"*" + L, 2}, {u"?" + L, 3}, {u"~" + L, 4}, {u"~*" + L, -1}, {L + u"*", 5}, {L + u"?", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Found(Find(Within(0, 6), c.item, true, true, 0)), c.row) << ToUtf8(c.item.substr(0, 3));
  }
}

TEST_F(LongItemIndexTest, SearchedPrefixStopsBeforeAnEscapeItWouldSplit) {
  // With the text compare and the prefix matched with case, a difference of case counts
  // within the searched prefix only: 252 characters and "*" (254 escaped) reach it,
  // 253 characters and "*" leave the "*" out.
  const Text rest = Text(50, u'z');
  const struct {
    Text item;
    Text other;  // the item with another case after the star
    long row;
    Text what;  // the remembered search text
  } cases[] = {
      {Text(252, u'x') + u"*Q" + rest, Text(252, u'x') + u"*q" + rest, 1, Text(252, u'x') + u"~*"},
      {Text(253, u'x') + u"*Q" + rest, Text(253, u'x') + u"*q" + rest, 1, Text(253, u'x')},
      {Text(253, u'x') + u"Q" + rest, Text(253, u'x') + u"q" + rest, -1, Text(253, u'x') + u"Q"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item.size());
    At(1).ClearContents();
    WriteText(At(1), c.other);
    EXPECT_EQ(Found(Find(Within(0, 2), c.item, true, true, 1)), c.row);
    const xl::FindSettings& remembered = b.app->RememberedFind();
    EXPECT_EQ(remembered.What, c.what);
    EXPECT_EQ(remembered.LookAt, xl::xlPart);
    EXPECT_TRUE(remembered.MatchCase);
  }
}

TEST_F(ListSheetTest, ResetFindOptionsKeepsTheAnchorValue) {
  for (const Variant& value : {Variant(u"'title"), Variant(7), Variant()}) {
    anchor->SetValue(value);
    const Variant before = anchor->Value();
    anchor->Find({.What = u"zz",
                  .LookIn = xl::xlFormulas,
                  .LookAt = xl::xlWhole,
                  .SearchOrder = xl::xlByRows,
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
