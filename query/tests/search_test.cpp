// The Query's entry, its search walk and the ends of a pass.
#include "query/internal/search.h"

#include <gtest/gtest.h>

#include "query/internal/memory.h"
#include "query/messages.h"
#include "query/tests/desk.h"

namespace quillary::query {
namespace {

using testing::Desk;
using testing::ItemMode;
namespace ctl = host::ctl;

TEST(QuerySearch, NextWalksRowByRowAndEndsEachPassWithTheDialog) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"B1", u"x");
  d.Type(u"A2", u"C1, R5");
  d.Type(u"B2", u"R5");
  d.Type(u"B3", u"R1-R9");
  d.Select(u"A1:B3");
  d.Search(u"R5");
  std::vector<Text> seen, label7, label5;
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    for (int i = 0; i < 5; ++i) {
      seen.push_back(d.Next());
      label7.push_back(d.Caption(ctl::query::kLabel7));
      label5.push_back(d.Caption(ctl::query::kLabel5));
    }
  });
  EXPECT_EQ(seen, (std::vector<Text>{u"$A$1", u"$A$2", u"$B$2", u"$B$3", u"$A$1"}));
  EXPECT_EQ(label7, (std::vector<Text>{u"Beginning of cells found having this Item.", u"", u"", u"",
                                       u"Beginning of cells found having this Item."}));
  EXPECT_EQ(label5, (std::vector<Text>{u"R5", u" R5", u"R5", u"", u"R5"}));
  EXPECT_EQ(d.Beeps(), 1);
  EXPECT_EQ(d.b.addin.CallsOf(u"QueryUserFormOffsetShow").size(), 1u);
  EXPECT_FALSE(d.C(ctl::queryend::kDifferentButton).Visible());
  EXPECT_TRUE(d.C(ctl::queryend::kRepeatButton).Default());
}

TEST(QuerySearch, AHitInsideARangeOffersNoReplaceEvenAfterTheEndDialog) {
  Desk d;
  d.Type(u"A1", u"R1-R9");
  d.Type(u"A2", u"x");
  d.Select(u"A1:A2");
  d.Search(u"R5");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Caption(ctl::query::kLabel2), u"Inside range>R1-R9<");
    EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), u"To remove, try Quillary Subtract.");
    EXPECT_FALSE(d.C(ctl::query::kTextbox2).Enabled());
    EXPECT_EQ(d.C(ctl::query::kLabel4).ForeColor(), 0xC0FFC0);
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
  });
}

TEST(QuerySearch, ASingleFoundCellIsShownAgainAfterTheEndOfEachPass) {
  Desk d;
  d.Type(u"A2", u"R5");
  d.Type(u"A3", u"R6");
  d.Select(u"A1:A3");
  d.Search(u"R5");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(d.Next(), u"$A$2") << i;
      EXPECT_EQ(d.Caption(ctl::query::kLabel7), u"Beginning of cells found having this Item.") << i;
      EXPECT_EQ(d.Lamp(), u"on") << i;
      EXPECT_TRUE(d.C(ctl::query::kReplaceButton).Enabled()) << i;
    }
  });
  EXPECT_EQ(d.Beeps(), 2);
}

TEST(QuerySearch, CellsPassedOver) {
  Desk d;
  d.Type(u"A1", Variant(CellError::NA));
  d.Type(u"B1", u"'#N/A");
  d.Type(u"A2", u"#N/A, R1");
  d.Sheet().Rows(2).SetHidden(true);
  d.Type(u"C1", u"#N/A");
  d.Sheet().Columns(3).SetHidden(true);
  // The second area overlaps the first at B1.
  d.Select(u"A1:C2,B1:B3");
  d.Type(u"B3", u"'#N/A");
  d.Search(u"#N/A");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    // Error values, hidden rows and columns are never found; B1 once, in area 1.
    EXPECT_EQ(d.Next(), u"$B$1");
    EXPECT_EQ(d.Next(), u"$B$3");
    EXPECT_EQ(d.Next(), u"$B$1");
  });
  EXPECT_EQ(d.Beeps(), 1);
}

TEST(QuerySearch, WholeSheetStartTable) {
  const xl::Area range{2, 2, 5, 4};  // B2:D5
  const xl::Area plain{2, 2, 2, 2};
  const xl::Area merged{2, 2, 3, 3};  // B2:C3
  const struct {
    const char* what;
    xl::Area merge;
    long row, col;
    QueryPos start;
  } cases[] = {
      {"the first cell", plain, 2, 2, {1, 1, 1}},
      {"inside", plain, 4, 3, {1, 3, 2}},
      {"left of the range", plain, 3, 1, {1, 2, 1}},
      {"right of the range", plain, 3, 6, {1, 2, 3}},
      {"above", plain, 1, 3, {1, 1, 1}},
      {"below", plain, 9, 3, {1, 4, 2}},
      {"below and left", plain, 9, 1, {1, 4, 1}},
      {"below and right", plain, 9, 6, {1, 4, 3}},
      {"inside a merged first cell", merged, 3, 3, {1, 1, 1}},
      {"beside a merged first cell: kept inside the range", merged, 3, 2, {1, 1, 1}},
      {"inside, after a merged first cell", merged, 5, 4, {1, 3, 2}},
      {"left, on a merged first cell's rows", merged, 2, 1, {1, 1, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WholeSheetStart(range, c.merge, c.row, c.col), c.start) << c.what;
  }
  EXPECT_EQ(WholeSheetStart({1, 1, 1, 1}, {1, 1, 1, 1}, 9, 6), (QueryPos{1, 1, 1})) << "a one-cell range";
}

TEST(QuerySearch, OneSelectedCellSearchesTheUsedSheetFromTheActiveCell) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"C3", u"R5");
  d.Type(u"B2", u"x");
  // E2 lies right of the used range A1:C3: the search starts on row 2 at its last column.
  d.Select(u"E2");
  d.Search(u"R5");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    EXPECT_EQ(d.Next(), u"$C$3");
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Next(), u"$C$3");
  });
  EXPECT_EQ(d.Beeps(), 1);
}

TEST(QuerySearch, TheFaultLocatorSearchesOnlyTheSelectedCellAndOpensOnIt) {
  Desk d;
  d.Type(u"A1", u"R1-R2-R3");
  d.Type(u"A2", u"R1-R2-R3");
  d.Select(u"A2");
  d.C(ctl::query::kCaption).SetCaption(kFaultLocatorCaption);
  d.b.state.request.FaultMsg = u"Has More Than 1 Hyphen";
  d.b.state.request.FaultItem = u"R1-R2-R3";
  d.Search(u"R1-R2-R3");
  Text activeWhenShown, lampWhenShown;
  d.Open([&] {
    activeWhenShown = d.Active();
    lampWhenShown = d.Lamp();
  });
  EXPECT_EQ(activeWhenShown, u"$A$2");
  EXPECT_EQ(lampWhenShown, u"on");
  EXPECT_TRUE(d.C(ctl::query::kTextbox1).Locked());
  EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Has More Than 1 Hyphen");
}

TEST(QuerySearch, FindItemSearchesNothingBeforeNextAndTheFormOpensAndClosesCleanly) {
  Desk d(ItemMode::kIgnoreIndex);
  d.Type(u"C2", u"abc");
  d.Select(u"A1,B1,C1:C3", u"C3");
  d.Search(u"abc");
  d.C(ctl::query::kTextbox2).SetValue(Text(u"  new "));
  d.C(ctl::mail::kOldStatusBar).SetEnabled(false);
  d.b.addin.SetShown(u"MainUserForm", true);
  d.b.app->SetStatusBar(Variant(Text(u"old text")));
  Text activeWhenShown;
  d.Open([&] {
    activeWhenShown = d.Active();
    EXPECT_EQ(MemoryOf(d.b.state).Start, (QueryPos{3, 3, 1})) << "the active cell in the third area";
    EXPECT_EQ(d.Lamp(), u"off");
    EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Find Item:");
    EXPECT_EQ(d.Caption(ctl::query::kLabel6), u"Mode is IgnoreIndex-#");
    EXPECT_EQ(d.Caption(ctl::queryend::kLabel2), u"Mode is IgnoreIndex-#");
    EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), u"new");
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
    EXPECT_FALSE(d.C(ctl::query::kDiffDupsButton).Visible());
    EXPECT_FALSE(d.C(ctl::query::kTextbox1).Locked());
    EXPECT_EQ(d.Next(), u"$C$2") << "the walk wraps from the start cell in area 3";
  });
  EXPECT_EQ(activeWhenShown, u"$C$3");
  EXPECT_EQ(d.b.app->StatusBar(), Variant(false));
  EXPECT_FALSE(d.b.app->DisplayStatusBar());
  EXPECT_TRUE(d.b.addin.IsShown(u"MainUserForm"));
  EXPECT_EQ(d.b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
  EXPECT_FALSE(MemoryOf(d.b.state).QuerySearchArea.has_value());
}

TEST(QueryNotFound, FindItemOverTheWholeSheetSaysSoAndRepeatsWithoutWalking) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"B2", u"R7");
  d.Select(u"B1");
  d.Search(u"R9");
  d.b.addin.QueueMessageAnswer(1);
  d.b.addin.QueueMessageAnswer(1);
  d.Open([&] {
    d.Next();
    d.Next();
  });
  const Text expected = msg::NotFoundText(false, u"", true);
  EXPECT_EQ(d.Messages(), (std::vector<Text>{expected, expected}));
  EXPECT_EQ(d.b.addin.CallsOf(u"vbaBreakKey").size(), 1u) << "only the first Next walked the cells";
  EXPECT_EQ(d.Active(), u"$B$1");
  EXPECT_EQ(d.Sheet().SelectionAreas().size(), 1u);
  EXPECT_EQ(d.Sheet().SelectionAreas()[0], (xl::Area{1, 2, 1, 2})) << "the user's cell is selected again";
  EXPECT_TRUE(MemoryOf(d.b.state).SearchAbort);
}

TEST(QueryNotFound, IgnoreIndexWithinASelection) {
  Desk d(ItemMode::kIgnoreIndex);
  d.Type(u"A1", u"abcd");
  d.Select(u"A1:A2");
  d.Search(u"abc");
  d.b.addin.QueueMessageAnswer(1);
  d.Open([&] { d.Next(); });
  EXPECT_EQ(d.Messages(), std::vector<Text>{msg::NotFoundText(true, u"", false)});
  EXPECT_EQ(d.Lamp(), u"off");
}

TEST(QueryNotFound, AFaultLocatorThatCannotFindItsItemTurnsIntoFindItem) {
  Desk d;
  d.Type(u"A1", u"R1-R2-R3,");
  d.Select(u"A1");
  d.C(ctl::query::kCaption).SetCaption(kFaultLocatorCaption);
  d.b.state.request.FaultMsg = u" Has More Than 1 Hyphen";
  d.Search(u"R1-R2-R3x");
  d.b.addin.QueueMessageAnswer(1);
  bool lockedWhenShown = true;
  d.Open([&] { lockedWhenShown = d.C(ctl::query::kTextbox1).Locked(); });
  const Text expected = msg::CannotFindText(msg::FaultPrefix(u"Has More Than 1 Hyphen"), true, true);
  EXPECT_EQ(d.Messages(), std::vector<Text>{expected});
  EXPECT_FALSE(lockedWhenShown);
  EXPECT_EQ(d.Caption(ctl::query::kCaption), u"Quillary Query Item  Ctrl+Q/Alt+Q");
  EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Find Item:");
  EXPECT_EQ(d.b.addin.CallsOf(u"QueryUserFormCaption").size(), 1u);
}

TEST(QueryNotFound, JoinedCellsFault) {
  Desk d(ItemMode::kIgnoreIndex);
  d.Type(u"A1", u"a");
  d.Select(u"A1:B1");
  for (const host::ControlId& id : {ctl::compdup::kJoinCells, ctl::main::kTagDuplicates}) {
    d.C(id).SetEnabled(true);
    d.C(id).SetValue(true);
  }
  d.C(ctl::query::kCaption).SetCaption(kFaultLocatorCaption);
  d.b.state.request.FaultMsg = u"Too Many Items";
  d.Search(u"a\u00AFb");
  d.b.addin.QueueMessageAnswer(1);
  d.Open();
  EXPECT_EQ(d.Messages(), std::vector<Text>{msg::JoinedCellsFaultText(msg::FaultPrefix(u"Too Many Items"), u"Null")});
  EXPECT_EQ(d.Caption(ctl::query::kCaption), kFaultLocatorCaption) << "the mode stays";
}

TEST(QuerySearch, AFifteenDigitNumberIsRefusedInCountIndex) {
  Desk d;
  d.Type(u"A1", u"R123456789012345");
  d.Select(u"A1:A2", u"A2");
  d.Search(u"R123456789012345");
  d.b.addin.QueueMessageAnswer(1);
  d.Open([&] { EXPECT_EQ(d.Next(), u"$A$2"); });
  EXPECT_EQ(d.Messages(), std::vector<Text>{u"(  ): " + msg::BigNumText()});
  EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"BigNum >=15 digits");
  EXPECT_EQ(d.b.state.request.FaultMsg, u"BigNum >=15 digits");
  EXPECT_EQ(d.b.app->StatusBar(), Variant(false));
}

TEST(QuerySearch, ProtectedAndFormulaCellsAreShownButNotOfferedForReplacing) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"A2", u"=\"R5\"");
  d.Type(u"A3", u"R5");
  d.Sheet().Range(u"A2:A3").SetLocked(false);
  d.Sheet().Protect();
  d.Select(u"A1:A3");
  d.Search(u"R5");
  d.Open([&] {
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Caption(ctl::query::kLabel2), u"PROTECTED CELL - CAN NOT REPLACE");
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
    EXPECT_FALSE(d.C(ctl::query::kTextbox2).Enabled());
    EXPECT_EQ(d.Next(), u"$A$2");
    EXPECT_EQ(d.Caption(ctl::query::kLabel2), u"CELL HAS FORMULA - CAN NOT REPLACE");
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
    EXPECT_EQ(d.Next(), u"$A$3");
    EXPECT_EQ(d.Caption(ctl::query::kLabel2), u"Replace with:");
    EXPECT_TRUE(d.C(ctl::query::kReplaceButton).Enabled());
  });
}

TEST(QuerySearch, ProgressShowsAfterThreeSecondsAndTheBreakKeyStopsTheWalkWhereItIs) {
  Desk d;
  d.Sheet().Range(u"A1:A4999").SetValue(u"x");
  d.Type(u"A5000", u"R5");
  d.Select(u"A1:A5000");
  d.Search(u"R5");
  // Each poll of the break key takes two seconds; the statuses seen at each poll.
  std::vector<Variant> status;
  d.b.addin.SetHook(u"vbaBreakKey", [&](std::span<Variant>) {
    status.push_back(d.b.app->StatusBar());
    d.b.services.clock.Advance(2);
  });
  // Polls, by count of cells only, at cells 2 and 1000 (past three seconds: the status
  // bar is turned on), at 2000 (the first progress text), at 3000, and at 4000 the user
  // stops.
  for (int i = 0; i < 4; ++i) d.b.addin.QueueBreakAnswer(u"NoBreak");
  d.b.addin.QueueBreakAnswer(u"6");
  d.Open([&] {
    EXPECT_EQ(d.Next(), u"$A$1") << "stopped before anything was found";
    EXPECT_EQ(d.b.app->StatusBar(), Variant(false));
    ASSERT_EQ(status.size(), 5u);
    EXPECT_EQ(status[2], Variant(Text())) << "no progress in the first three seconds";
    EXPECT_EQ(status[3], Variant(Text(u" Query Progress: 2000 cells    Press the Ctrl key to Abort.")));
    EXPECT_EQ(status[4], Variant(Text(u" Query Progress: 3000 cells    Press the Ctrl key to Abort.")));
    EXPECT_TRUE(d.b.app->DisplayStatusBar());
    // The next Next goes on from where the walk stopped.
    EXPECT_EQ(d.Next(), u"$A$5000");
  });
}

TEST(QuerySearch, AWideSparseRangeIsWalkedAsEveryCellWouldBe) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"BZ1", u"R5");
  d.Type(u"CV30", u"x");  // the used range is A1:CV30, 3000 cells
  d.Type(u"C2", u"R5");
  d.Type(u"D3", u"R5");  // hidden, as B4 below
  d.Sheet().SetColumnsHidden(4, 4, true);
  d.Type(u"B4", u"R5");
  d.Sheet().SetRowsHidden(4, 4, true);
  d.Type(u"AZ3", u"=\"R5\"");
  // A formula showing nothing is a filled cell: what follows it is walked as it is.
  d.Type(u"BB3", u"=\"\"");
  d.Type(u"BC3", u"R5");
  d.Type(u"BD3", u"y");
  d.Select(u"K2");  // inside the empty stretch after C2: where the pass starts and ends
  d.Search(u"R5");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  std::vector<Text> seen;
  d.Open([&] {
    for (int i = 0; i < 6; ++i) seen.push_back(d.Next());
  });
  EXPECT_EQ(seen, (std::vector<Text>{u"$AZ$3", u"$BC$3", u"$A$1", u"$BZ$1", u"$C$2", u"$AZ$3"}));
  EXPECT_EQ(d.Beeps(), 1) << "one end of the pass";

  // Not found: all 3000 cells are visited, and the break key is polled at the second
  // cell and at every thousandth, as when each cell is read.
  Desk n;
  n.Type(u"A1", u"R5");
  n.Type(u"CV30", u"x");
  n.Select(u"B1");
  n.Search(u"R9");
  n.b.addin.QueueMessageAnswer(1);
  n.Open([&] { n.Next(); });
  EXPECT_EQ(n.b.addin.CallsOf(u"vbaBreakKey").size(), 4u);
  EXPECT_EQ(n.Messages(), std::vector<Text>{msg::NotFoundText(false, u"", true)});
}

}  // namespace
}  // namespace quillary::query
