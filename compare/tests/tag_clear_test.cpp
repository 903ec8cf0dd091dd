#include <gtest/gtest.h>

#include "compare/tagging.h"
#include "compare/tests/desk.h"

namespace quillary::compare {
namespace {

constexpr char16_t kCompare[] = u"COMPARE 2/Uniques";

constexpr char16_t kDuplicatesQuestion[] =
    u"(  ): NO DUPLICATES WERE FOUND in list $A$1:$A$3.\r\rYou have chosen \"Dups:Tag & Rprt\" for a single selection "
    u"and that selection has NO Duplicate Items.\r\rBut cells in the area to the right of this selection are not all "
    u"empty. Typically, if those cells hold Tags as the result of a previous Duplicates Result, choose \"YES\" to "
    u"remove them from this Duplicates Result. But if they are not previously placed Tags, choose \"NO\" for now, and "
    u"then insert an empty column to receive Tags (Right-click the column identifier letter and \"Insert\").\r\rThere "
    u"are no existing Comment Box Tags to the right of your selection.";

class TagClearTest : public ::testing::Test {
 protected:
  // Duplicates of A1:A3 with an empty result list, tags wanted.
  void Duplicates() {
    d.Select(u"A1:A3");
    d.Begin(true);
    d.Tick(u"LocatorLabel");
  }
  void Clear(TextView list = host::kList1) { CmprMark_Clear(d.b.state, Text(list)); }

  Desk d;
};

TEST_F(TagClearTest, OldTagsBesideAnAreaWithoutDuplicatesGoOnlyOnYes) {
  for (const int answer : {host::msgbox::kAnswerYes, host::msgbox::kAnswerNo}) {
    SCOPED_TRACE(answer);
    Desk t;
    t.Put(u"B2", u"old");
    t.Put(u"C2", u"beyond");
    t.Select(u"A1:A3");
    t.Begin(true);
    t.Tick(u"LocatorLabel");
    t.b.addin.QueueMessageAnswer(answer);
    CmprMark_Clear(t.b.state, host::kList1);
    ASSERT_EQ(t.Messages().size(), 1u);
    EXPECT_EQ(t.Messages()[0].prompt, kDuplicatesQuestion);
    EXPECT_EQ(t.Messages()[0].style, 4);
    EXPECT_EQ(t.At(u"B2"), answer == host::msgbox::kAnswerYes ? Variant() : Variant(u"old"));
    EXPECT_EQ(t.At(u"C2"), Variant(u"beyond"));
  }
}

TEST_F(TagClearTest, NothingToDoEndsSilently) {
  const struct {
    const char* what;
    bool listHasItems;
    bool tagsWanted;
    bool filled;   // the tag column holds a value
    bool comment;  // a comment box alone in the tag column
    const char16_t* areas;
  } cases[] = {
      {"duplicates were found", true, true, true, false, u"A1:A3"},
      {"no tag wanted", false, false, true, false, u"A1:A3"},
      {"an empty tag column", false, true, false, false, u"A1:A3"},
      {"a comment box alone (duplicates count values only)", false, true, false, true, u"A1:A3"},
      {"several areas", false, true, true, false, u"A1:A3,D1:D3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk t;
    if (c.filled) t.Put(u"B1", u"old");
    if (c.comment) t.Cell(u"B1").AddComment(u"old");
    t.Select(c.areas);
    t.Begin(true);
    if (c.listHasItems) t.SideList(host::kList1, {{u"$A$1", u"a"}});
    if (c.tagsWanted) t.Tick(u"LocatorLabel");
    CmprMark_Clear(t.b.state, host::kList1);
    EXPECT_TRUE(t.Messages().empty());
    EXPECT_EQ(t.At(u"B1"), c.filled ? Variant(u"old") : Variant());
    EXPECT_EQ(t.Cell(u"B1").Comment().has_value(), c.comment);
  }
}

TEST_F(TagClearTest, AComparisonSideWithoutUniquesClearsItsCommentBoxes) {
  // Step 5 is the left side (Textbox1 empty), step 7 the right one.
  for (const int step : {5, 7}) {
    SCOPED_TRACE(step);
    Desk t;
    t.Cell(u"B2").AddComment(u"inLeft(a)");
    t.Cell(u"E2").AddComment(u"inRight(b)");
    t.Select(u"D1:D3,A1:A3");
    t.Begin(false, kCompare);
    t.b.state.compare.CompareStep = static_cast<host::CompareStage>(step);
    t.Dialog(u"TagNames").SetValue(Text(u" Left / Right "));
    t.Tick(u"LocatorLabel");
    t.Tick(u"IDcomment");
    t.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
    CmprMark_Clear(t.b.state, step == 5 ? host::kList2 : host::kList1);
    const Text label = step == 5 ? u"inLeft(a)" : u"inRight(b)";
    EXPECT_EQ(t.b.state.compare.TagText, label);
    ASSERT_EQ(t.Messages().size(), 1u);
    const Text prompt = t.Messages()[0].prompt;
    EXPECT_EQ(prompt.rfind(u"( COMPARE 2/Uniques ): NO UNIQUE ITEMS WERE FOUND in list " + label +
                               u".\r\rYou have chosen to compare two selections and the selection \"" + label +
                               u"\" has NO unique Items.\r\rBut cells in the area to the right of this selection are "
                               u"not all empty (and/or they have Comment Boxes). Typically, if those cells hold Tags "
                               u"as the result of a previous Comparison Result",
                           0),
              0u);
    EXPECT_EQ(t.Cell(u"B2").Comment().has_value(), step != 5);
    EXPECT_EQ(t.Cell(u"E2").Comment().has_value(), step != 7);
  }
}

TEST_F(TagClearTest, AreasThatCannotHoldTagsAreNamedInsteadOfCleared) {
  const struct {
    const char* what;
    const char16_t* areas;
    bool compare;
    const char16_t* notice;
  } cases[] = {
      {"duplicates at the sheet's end", u"XFD1:XFD2", false,
       u"(  ): NO DUPLICATES WERE FOUND in list $XFD$1:$XFD$2.\n\nYou have chosen \"Dups:Tag & Rprt\" for a single "
       u"selection and that selection has NO Duplicate Items.\r\rThere are NO PREVIOUS TAG RESULTS to clear in the "
       u"column to the right because selection \"$XFD$1:$XFD$2\" abuts against the right end of the worksheet."},
      {"a left side touching the right one", u"A1:B3,C2:C9", true,
       u"( COMPARE 2/Uniques ): NO UNIQUE ITEMS WERE FOUND in list inLftOnly(a).\n\nYou have chosen to compare two "
       u"selections and the selection \"inLftOnly(a)\" has NO unique Items.\r\rWILL NOT CLEAR any previous Tag "
       u"results in the column to the right because selection \"inLftOnly(a)\" either abuts the other selection to "
       u"the right or it abuts against the right end of the worksheet."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk t;
    t.Select(c.areas);
    t.Begin(true, c.compare ? kCompare : u"Null");
    t.b.state.compare.CompareStep = host::CompareStage::kClearLeftTags;
    t.Tick(u"LocatorLabel");
    t.Put(u"C1", u"old");
    t.Ok();
    CmprMark_Clear(t.b.state, host::kList2);
    ASSERT_EQ(t.Messages().size(), 1u);
    EXPECT_EQ(t.Messages()[0].prompt, c.notice);
    EXPECT_EQ(t.Messages()[0].style, 0);
    EXPECT_EQ(t.At(u"C1"), Variant(u"old"));
  }
}

TEST_F(TagClearTest, AMergedTopLeftBlockShiftsTheClearingColumnButNotTheCommentColumn) {
  // A1:C4 with A1:B2 merged: the column cleared is C1:C3; comments go in D1:D4.
  for (const char16_t* c : {u"C1", u"C3", u"C4", u"D1"}) d.Put(c, u"old");
  d.Cell(u"D4").AddComment(u"old");
  d.Cell(u"A1:B2").Merge();
  d.Select(u"A1:C4");
  d.Begin(true);
  d.Tick(u"LocatorLabel");
  d.Tick(u"IDcomment");
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  Clear();
  EXPECT_EQ(d.At(u"C1"), Variant());
  EXPECT_EQ(d.At(u"C3"), Variant());
  EXPECT_EQ(d.At(u"C4"), Variant(u"old"));
  EXPECT_EQ(d.At(u"D1"), Variant(u"old"));
  EXPECT_FALSE(d.Cell(u"D4").Comment().has_value());
}

TEST_F(TagClearTest, AMergedCellInTheClearingColumnIsReported) {
  d.Put(u"B1", u"old");
  d.Cell(u"B3:B4").Merge();
  Duplicates();
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  d.Ok();
  Clear();
  ASSERT_EQ(d.Messages().size(), 2u);
  EXPECT_EQ(d.Messages()[1].prompt,
            u"( Null ): There is a MERGED CELL in the TAG destination area. Any previous existing content could not be "
            u"cleared in the TAG destination area.\r\rTAGGING is INCOMPLETE. Processing will continue, but do NOT "
            u"depend on the resulting TAGS to represent the complete final results.\r\rPlease unmerge the offending "
            u"cell. Consider umerging all cells. Quillary's \"Paint Table Format\" will unmerge cells.\r\r");
  EXPECT_EQ(d.At(u"B1"), Variant(u"old"));
}

}  // namespace
}  // namespace quillary::compare
