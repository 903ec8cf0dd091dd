#include <gtest/gtest.h>

#include <utility>

#include "compare/internal/common.h"
#include "compare/tagging.h"
#include "compare/tests/desk.h"
#include "platform/runtime/vba.h"

namespace quillary::compare {
namespace {

constexpr char16_t kCompare[] = u"COMPARE 2/Uniques";

// The closing sentences of the tag column question.
constexpr char16_t kQuestionBody[] =
    u"But cells in the area to the right of this selection are not all empty. Typically, if those cells hold Tags as "
    u"the result of a previous Duplicates Result, choose \"YES\" to remove them from this Duplicates Result. But if "
    u"they are not previously placed Tags, choose \"NO\" for now, and then insert an empty column to receive Tags "
    u"(Right-click the column identifier letter and \"Insert\").\r\rThere are no existing Comment Box Tags to the "
    u"right of your selection.";

class TagFindTest : public ::testing::Test {
 protected:
  // Duplicates of one column: "a,b" / "c" / "a" / "b" in A1:A4, selected, Sort ticked;
  // the duplicates list as IgnoreIndex# leaves it.
  void Duplicates() {
    d.Put(u"A1", u"a,b");
    d.Put(u"A2", u"c");
    d.Put(u"A3", u"a");
    d.Put(u"A4", u"b");
    d.Select(u"A1:A4");
    d.MainTick(u"CheckBox3");
    d.Begin(true);
    d.SideList(host::kList1, {{u"$A$1", u"a"}, {u"$A$3", u"a"}, {u"$A$1", u"b"}, {u"$A$4", u"b"}});
  }
  void Find(TextView list = host::kList1) { CmprMark_Find(d.b.state, Text(list)); }

  Desk d;
};

TEST_F(TagFindTest, DuplicatesAreTaggedWithTheItemsOfTheirRowAndColoured) {
  d.b.state.compare.TagText = u"inOld(a)";
  Duplicates();
  d.Tick(u"LocatorLabel");
  d.Tick(u"ColorLeftEnable");
  Find();
  EXPECT_EQ(d.At(u"B1"), Variant(u"a,b"));
  EXPECT_EQ(d.At(u"B2"), Variant());
  EXPECT_EQ(d.At(u"B3"), Variant(u"a"));
  EXPECT_EQ(d.At(u"B4"), Variant(u"b"));
  for (const char16_t* cell : {u"A1", u"B1", u"A3", u"B3", u"A4", u"B4"}) {
    EXPECT_EQ(d.Fill(cell), kLeftColour) << ToUtf8(cell);
    EXPECT_EQ(d.Pattern(cell), xl::xlSolid) << ToUtf8(cell);
  }
  EXPECT_EQ(d.Pattern(u"A2"), xl::xlNone);
  EXPECT_EQ(d.Cell(u"B1:B4").WrapText(), Variant(false));
  EXPECT_EQ(d.Cell(u"B1:B4").VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_TRUE(d.Messages().empty()) << "an empty tag column is not asked about";
  EXPECT_EQ(d.b.state.compare.TagText, u"inOld(a)") << "one area keeps the label of the last comparison";
}

TEST_F(TagFindTest, NothingIsWantedOrTheSortIsClear) {
  {
    SCOPED_TRACE("no option: no walk");
    Duplicates();
    Find();
    EXPECT_EQ(d.At(u"B1"), Variant());
    EXPECT_EQ(d.Pattern(u"A1"), xl::xlNone);
  }
  {
    SCOPED_TRACE("one area with Sort clear: nothing, but CountIndex# empties its scratch columns");
    Desk t;
    t.Put(u"A1", u"R1");
    t.Select(u"A1");
    t.Begin(false);
    t.ItemRows(host::kList1, {{u"$A$1", u"R", 1}});
    t.SideList(host::kList1, {{u"$A$1", u"R1"}});
    t.Tick(u"LocatorLabel");
    t.Tick(u"ColorLeftEnable");
    CmprMark_Find(t.b.state, host::kList1);
    EXPECT_EQ(t.At(u"B1"), Variant());
    EXPECT_EQ(t.Pattern(u"A1"), xl::xlNone);
    EXPECT_EQ(t.ListCell(host::kList1, 1, items::kSideCellAddr), Variant());
    EXPECT_EQ(t.ListCell(host::kList1, 1, items::kItemText), Variant(u"R")) << "the Item rows stay";
  }
}

TEST(TagLabel, TheNamesAroundTheFirstSlash) {
  const struct {
    const char16_t* names;
    bool sameColumn;
    const char16_t* a;
    const char16_t* b;
  } cases[] = {
      {u"LftOnly/RtOnly", false, u"inLftOnly(a)", u"inRtOnly(b)"},
      {u"LftOnly/RtOnly", true, u"inTopOnly(a)", u"inBotOnly(b)"},
      {u"Old/New", true, u"inOld(a)", u"inNew(b)"},
      {u" Old / New ", false, u"inOld(a)", u"inNew(b)"},
      {u"A/B/C", false, u"inA(a)", u"inB/C(b)"},
      {u" X", false, u"in X(a)", u"in X(b)"},
      {u"", false, u"in(a)", u"in(b)"},
  };
  for (const auto& c : cases) {
    Desk d;
    d.Begin(false);
    d.Dialog(u"TagNames").SetValue(Text(c.names));
    EXPECT_EQ(TagLabel(d.b.state, true, c.sameColumn), c.a) << ToUtf8(c.names);
    EXPECT_EQ(TagLabel(d.b.state, false, c.sameColumn), c.b) << ToUtf8(c.names);
  }
}

TEST_F(TagFindTest, EachSideOfAComparisonTagsItsOwnAreaWithItsLabelAndColour) {
  // The right area selected first: the left one is still side a (list 2, Textbox1).
  d.Select(u"C1:C3,A1:A3");
  d.Begin(false, kCompare);
  d.ItemRows(host::kList2, {{u"$A$2", u"L", 1}});
  d.ItemRows(host::kList1, {{u"$C$3", u"R", 9}});
  d.Tick(u"LocatorLabel");
  d.Tick(u"ColorLeftEnable");
  d.Tick(u"ColorRightEnable");
  host::TextBox1Activate(d.b.state);
  Find(host::kList2);
  EXPECT_EQ(d.b.state.compare.TagText, u"inLftOnly(a)");
  host::TextBox2Activate(d.b.state);
  Find(host::kList1);
  EXPECT_EQ(d.b.state.compare.TagText, u"inRtOnly(b)");
  EXPECT_EQ(d.At(u"B2"), Variant(u"inLftOnly(a)"));
  EXPECT_EQ(d.At(u"D3"), Variant(u"inRtOnly(b)"));
  EXPECT_EQ(d.Fill(u"A2"), kLeftColour);
  EXPECT_EQ(d.Fill(u"B2"), kLeftColour);
  EXPECT_EQ(d.Fill(u"C3"), kRightColour);
  EXPECT_EQ(d.Fill(u"D3"), kRightColour);
  EXPECT_EQ(d.Pattern(u"C2"), xl::xlNone);
}

TEST_F(TagFindTest, ListedItemsOfOneRowGoIntoOneTagInListOrder) {
  // CountIndex#: the prefix without its no-prefix blank, a range with its second prefix
  // as stored.
  d.Put(u"A1", u"x");
  d.Select(u"A1:A2,C1:C2");
  d.Begin(false, kCompare);
  d.ItemRows(host::kList2, {{u"$A$1", u"R", 1, u"5", u"R"}, {u"$A$1", u"C", 1, u"5", u" "}, {u"$A$2", u" ", 7}});
  d.Tick(u"ListUniques");
  host::TextBox1Activate(d.b.state);
  Find(host::kList2);
  EXPECT_EQ(d.At(u"B1"), Variant(u"R1-R5,C1-5"));
  EXPECT_EQ(d.At(u"B2"), Variant(u"7"));
}

TEST_F(TagFindTest, ALongListTagsAndColoursEveryRowAndJoinsATagAcrossBlocks) {
  // More list rows than one block of writes; row 1's Items stand first and last in the
  // list, row 2's two Items together outgrow a cell, which keeps what fits.
  constexpr long kRows = 5000;
  const Text longItem(20000, u'z');
  std::vector<std::pair<Text, Text>> list;
  list.emplace_back(u"$A$1", u"first");
  list.emplace_back(u"$A$2", longItem);
  list.emplace_back(u"$A$2", longItem);
  for (long r = 3; r <= kRows; ++r) {
    Text address(u"$A$");
    address += vba::NumberText(r);
    Text item(u"i");
    item += vba::NumberText(r);
    list.emplace_back(std::move(address), std::move(item));
  }
  list.emplace_back(u"$A$1", u"last");
  d.Put(u"A1", u"x");
  Text selection(u"A1:A");
  selection += vba::NumberText(kRows);
  d.Select(selection);
  d.MainTick(u"CheckBox3");
  d.Begin(true);
  d.SideList(host::kList1, list);
  d.Tick(u"ListUniques");
  d.Tick(u"ColorLeftEnable");
  Find();
  EXPECT_EQ(d.At(u"B1"), Variant(u"first,last"));
  EXPECT_EQ(d.At(u"B2"), Variant((longItem + u',' + longItem).substr(0, xl::kCellTextLimit)));
  EXPECT_EQ(d.At(u"B4097"), Variant(u"i4097"));
  EXPECT_EQ(d.At(u"B5000"), Variant(u"i5000"));
  for (const char16_t* cell : {u"A1", u"B2", u"A4096", u"B4097", u"A5000"}) {
    EXPECT_EQ(d.Fill(cell), kLeftColour) << ToUtf8(cell);
  }
}

TEST_F(TagFindTest, CountIndexListsEndInWorksheetOrderByRowThenColumn) {
  // Row 12 column 3 and row 1 column 23 must not tie: row 1 comes first.
  d.Select(u"A1:W12");
  d.MainTick(u"CheckBox3");
  d.Begin(false);
  d.ItemRows(host::kList1, {{u"$C$12", u"R", 1}, {u"$W$1", u"R", 2}, {u"$B$1", u"R", 3}});
  d.Tick(u"LocatorLabel");
  Find();
  EXPECT_EQ(d.ListCell(host::kList1, 1, items::kCellAddr), Variant(u"$B$1"));
  EXPECT_EQ(d.ListCell(host::kList1, 2, items::kCellAddr), Variant(u"$W$1"));
  EXPECT_EQ(d.ListCell(host::kList1, 3, items::kCellAddr), Variant(u"$C$12"));
  EXPECT_EQ(d.ListCell(host::kList1, 3, items::kIndexNum1), Variant(1)) << "rows move whole";
  for (long r = 0; r <= 3; ++r) EXPECT_EQ(d.ListCell(host::kList1, r, items::kSideOrderNum), Variant()) << r;
  // The tags of one-area duplicates list the Items.
  EXPECT_EQ(d.At(u"X1"), Variant(u"R2,R3"));
  EXPECT_EQ(d.At(u"X12"), Variant(u"R1"));
}

TEST_F(TagFindTest, ATagColumnThatIsNotEmptyIsClearedOnlyOnYes) {
  for (const int answer : {host::msgbox::kAnswerYes, host::msgbox::kAnswerNo}) {
    SCOPED_TRACE(answer);
    Desk t;
    t.Put(u"A1", u"a");
    t.Put(u"A2", u"a");
    t.Put(u"B2", u"old");
    t.Select(u"A1:A2");
    t.MainTick(u"CheckBox3");
    t.Begin(true);
    t.SideList(host::kList1, {{u"$A$1", u"a"}, {u"$A$2", u"a"}});
    t.Tick(u"LocatorLabel");
    t.Tick(u"ColorLeftEnable");
    t.b.addin.QueueMessageAnswer(answer);
    CmprMark_Find(t.b.state, host::kList1);
    ASSERT_EQ(t.Messages().size(), 1u);
    EXPECT_EQ(t.Messages()[0].prompt, Text(u"(  ): DUPLICATES HAVE BEEN FOUND \"$A$1:$A$2\" worksheet selection.\r\r"
                                           u"You have chosen to put Tag Labels in the area to the right of your "
                                           u"worksheet selection.\r\r") +
                                          kQuestionBody);
    EXPECT_EQ(t.Messages()[0].style, 4);
    if (answer == host::msgbox::kAnswerYes) {
      EXPECT_EQ(t.At(u"B1"), Variant(u"a"));
      EXPECT_EQ(t.At(u"B2"), Variant(u"a"));
      EXPECT_EQ(t.Fill(u"B2"), kLeftColour);
    } else {
      EXPECT_EQ(t.At(u"B1"), Variant());
      EXPECT_EQ(t.At(u"B2"), Variant(u"old"));
      EXPECT_EQ(t.Fill(u"A2"), kLeftColour) << "colours up to the area's last column";
      EXPECT_EQ(t.Pattern(u"B2"), xl::xlNone);
    }
  }
}

TEST_F(TagFindTest, InAComparisonCommentBoxesAloneRaiseTheQuestion) {
  for (const bool idComment : {true, false}) {
    SCOPED_TRACE(idComment);
    Desk t;
    t.Cell(u"B3").AddComment(u"inOld(a)");
    t.Select(u"A1:A3,D1:D3");
    t.Begin(false, kCompare);
    t.ItemRows(host::kList2, {{u"$A$1", u"a", 1}, {u"$A$1", u"b", 1}, {u"$A$2", u"c", 1}});
    t.Tick(u"LocatorLabel");
    t.Tick(u"IDcomment", idComment);
    t.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
    host::TextBox1Activate(t.b.state);
    CmprMark_Find(t.b.state, host::kList2);
    ASSERT_EQ(t.Messages().size(), 1u);
    const Text prompt = t.Messages()[0].prompt;
    EXPECT_EQ(prompt.rfind(u"( COMPARE 2/Uniques ): UNIQUE ITEMS HAVE BEEN FOUND \"inLftOnly(a)\" worksheet "
                           u"selection.\r\rYou have chosen to put Tag Labels in the area to the right of your "
                           u"\"inLftOnly(a)\" worksheet selection.\r\rBut cells in the area to the right of this "
                           u"selection are not all empty",
                           0),
              0u);
    EXPECT_EQ(prompt.find(u" (and/or they have Comment Boxes). Typically") != Text::npos, idComment);
    const Text closing = idComment ? u"Because you have chosen to place Comment Box Tags, the existing Comment Boxes "
                                     u"Tags WILL be erased if you choose YES now."
                                   : u"Note: Because you have NOT chosen to place Comment Box Tags, the existing "
                                     u"Comment Boxes Tags will be NOT be erased if you choose YES now.";
    EXPECT_EQ(prompt.substr(prompt.size() - closing.size()), closing);
    // The old comment goes only when comment tags are wanted; then each tagged cell gets
    // one comment holding the label, sized to its text.
    EXPECT_EQ(t.Cell(u"B3").Comment().has_value(), !idComment);
    EXPECT_EQ(t.Cell(u"B1").Comment().has_value(), idComment);
    if (idComment) {
      EXPECT_EQ(t.Cell(u"B1").Comment()->Text(), u"inLftOnly(a)");
      EXPECT_TRUE(t.Cell(u"B1").Comment()->AutoSize());
      EXPECT_EQ(t.Sheet().Comments().size(), 2u) << "B1 and B2, one each";
    }
  }
}

TEST_F(TagFindTest, AMergedCellInTheTagColumnStopsTheTagsButNotTheColours) {
  Duplicates();
  d.Cell(u"B4:B5").Merge();
  d.Tick(u"LocatorLabel");
  d.Tick(u"ColorLeftEnable");
  d.Ok();
  Find();
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      u"( Null ): There is a merged cell in the TAG destination area. This process will not place TAGS into "
      u"merged cells.\r\rTAGGING is INCOMPLETE. Any previously existing content in the TAG destination area could "
      u"not be cleared. Processing will continue, but do NOT depend on the resulting TAGS to represent the "
      u"complete final results.\r\rPlease unmerge the offending cell. Consider umerging all cells. Quillary's "
      u"\"Paint Table Format\" will unmerge cells.\r\r");
  EXPECT_EQ(d.Messages()[0].style, 64);
  EXPECT_EQ(d.At(u"B1"), Variant());
  EXPECT_EQ(d.Fill(u"A1"), kLeftColour);
  EXPECT_EQ(d.Pattern(u"B1"), xl::xlNone);
}

TEST_F(TagFindTest, TheNoColourChoiceRemovesTheFill) {
  Duplicates();
  d.Cell(u"A1:A4").Interior().SetColor(0x00FF00);
  d.Dialog(u"ColorLeftSelect").SetBackColor(kNoColour);
  d.Tick(u"ColorLeftEnable");
  Find();
  EXPECT_EQ(d.Pattern(u"A1"), xl::xlNone);
  EXPECT_EQ(d.Pattern(u"A2"), xl::xlSolid) << "a row without duplicates keeps its fill";
}

TEST_F(TagFindTest, TheBreakKeyKeepsTheMarksWrittenSoFar) {
  Duplicates();
  d.Tick(u"LocatorLabel");
  d.b.addin.QueueBreakAnswer(u"NoBreak");
  d.b.addin.QueueBreakAnswer(u"6");
  Find();
  EXPECT_TRUE(d.b.state.request.progress.UserAbort);
  EXPECT_EQ(d.At(u"B1"), Variant(u"a")) << "row 1 of the list";
  EXPECT_EQ(d.At(u"B3"), Variant()) << "row 2 of the list is not reached";
}

TEST_F(TagFindTest, WarningsOfTheSheetEndAndOfNeighbouringAreas) {
  const struct {
    const char* what;
    const char16_t* areas;
    bool summary;
    const char16_t* warning;  // the one warning of the two calls, after the title
  } cases[] = {
      {"touching, sharing rows", u"C1:D9,E3:F5", false,
       u"Because the left selection abuts against the selection at the right (without an unselected column between "
       u"them), you will not be able to place Result Tags for the \"inLftOnly(a)\" selection.\r\rThe optional Summary "
       u"Report will also NOT show Tags next to listed Items for the \"inLftOnly(a)\" selection. However, you can "
       u"place your own Tags into the Summary Report."},
      {"touching, no common row", u"C1:D9,E20:F25", false, nullptr},
      {"one column apart, no report", u"C1:D9,F1:G9", false, nullptr},
      {"at the sheet's end", u"XFA1:XFD2,A1:A2", false,
       u"Because the \"inRtOnly(b)\" selection abuts against the right end of the worksheet, you will not be able to "
       u"place Result Tags for the \"inRtOnly(b)\" selection.\r\rThe optional Summary Report will also NOT show Tags "
       u"next to listed Items for the \"inRtOnly(b)\" selection. However, you can place your own Tags into the "
       u"Summary Report."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk t;
    t.Select(c.areas);
    t.Begin(false, kCompare);
    const xl::Range sel = Selection(t.b.state);
    const Text left = sel.Areas(AreaOfSide(sel, true)).Cells(1, 1).Address();
    const Text right = sel.Areas(AreaOfSide(sel, false)).Cells(1, 1).Address();
    t.ItemRows(host::kList2, {{left, u"a", 1}});
    t.ItemRows(host::kList1, {{right, u"b", 1}});
    t.Tick(u"LocatorLabel");
    if (c.warning) t.Ok();
    host::TextBox1Activate(t.b.state);
    CmprMark_Find(t.b.state, host::kList2);
    host::TextBox2Activate(t.b.state);
    CmprMark_Find(t.b.state, host::kList1);
    ASSERT_EQ(t.Messages().size(), c.warning ? 1u : 0u);
    if (c.warning) {
      EXPECT_EQ(t.Messages()[0].prompt, Text(u"( COMPARE 2/Uniques ): ") + c.warning);
      EXPECT_EQ(t.Messages()[0].style, 64);
    }
  }
}

TEST_F(TagFindTest, TheSheetEndWarningComesWithoutListRowsToo) {
  d.Select(u"XFD1:XFD3");
  d.MainTick(u"CheckBox3");
  d.Begin(true);
  d.Ok();
  Find();
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt.rfind(u"(  ): Because the \"$XFD$1:$XFD$3\" selection abuts against the right end "
                                         u"of the worksheet",
                                         0),
            0u);
}

TEST_F(TagFindTest, ARemberedReportNameOfAMissingSheetIsNoError) {
  Duplicates();
  d.Tick(u"LocatorLabel");
  d.b.forms.mailBox.Item(u"shtDiffRpt").SetCaption(u"Gone-Expanded1");
  EXPECT_NO_THROW(Find());
  EXPECT_EQ(d.At(u"B1"), Variant(u"a,b"));
}

}  // namespace
}  // namespace quillary::compare
