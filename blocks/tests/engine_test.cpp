#include <gtest/gtest.h>

#include <string>

#include "blocks/internal/run.h"
#include "blocks/internal/writer.h"
#include "blocks/tests/desk.h"
#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"

namespace quillary::blocks {
namespace {

using host::ModeId;
namespace ctl = host::ctl;
constexpr int kOk = host::msgbox::kAnswerOk;
constexpr int kCancel = host::msgbox::kAnswerCancel;
constexpr int kYes = host::msgbox::kAnswerYes;
constexpr int kNo = host::msgbox::kAnswerNo;

TEST(BlockEngine, PasteVTravelsDownOneRowBlocksWritingCounts) {
  Desk d;
  d.Column(u"A1", {u"R2, R1", u"C1,C2,C3", u"U5"});
  d.PasteType(u"Count");
  d.b.addin.QueueMessageAnswer(kCancel);  // at the empty block below the list
  d.Run(ModeId::kPasteV, u"A1");

  EXPECT_EQ(d.Value(u"B1"), Variant(2.0));
  EXPECT_EQ(d.Value(u"B2"), Variant(3.0));
  EXPECT_EQ(d.Value(u"B3"), Variant(1.0));
  EXPECT_TRUE(d.Value(u"B4").IsEmpty());
  EXPECT_EQ(d.Prompts(), std::vector<Text>{u"( Paste V ): OK to continue processing downward?"});
  EXPECT_EQ(d.Selection(), u"$A$4") << "the empty block is shown";
  EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Count = 1");
  EXPECT_EQ(d.b.addin.CommandBarCount(), std::optional<Text>(u"Cnt= 1"));
  EXPECT_TRUE(d.Comments().empty()) << "in CountIndex# no status comment";
  EXPECT_EQ(d.Caption(ctl::main::kCharactersLabel), u"     2 Characters.");
  EXPECT_TRUE(d.b.state.blocks.OnceFlag == false);
  EXPECT_EQ(d.b.state.request.DisplayText, u"") << "cleaned up";
}

TEST(BlockEngine, TheEmptyBlockQuestionAnsweredOkGoesOnWithTheEmptyBlock) {
  Desk d;
  d.Column(u"A1", {u"R1", u"", u"R7"});
  d.b.addin.QueueMessageAnswer(kOk);      // A2 is empty: go on
  d.b.addin.QueueMessageAnswer(kOk);      // the Item engine's notice of a blank Item
  d.b.addin.QueueMessageAnswer(kCancel);  // A4
  d.Run(ModeId::kPasteV, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
  EXPECT_TRUE(d.Value(u"B2").IsEmpty()) << "an empty block leaves an empty cell";
  EXPECT_EQ(d.Value(u"B3"), Variant(u"R7"));
  EXPECT_EQ(d.b.addin.Messages().size(), 3u);
}

TEST(BlockEngine, PasteRightInOnceMakesOnePassPerRowOfTheBlock) {
  Desk d;
  d.Column(u"A1", {u"R3", u"C2", u"U1"});
  d.Column(u"B1", {u"R1", u"C1", u"U2"});
  d.Run(ModeId::kPasteRight, u"A1:B3");
  EXPECT_EQ(d.Value(u"C1"), Variant(u"R1,R3"));
  EXPECT_EQ(d.Value(u"C2"), Variant(u"C1-2"));
  EXPECT_EQ(d.Value(u"C3"), Variant(u"U1-2"));
  EXPECT_TRUE(d.b.state.blocks.OnceFlag) << "attended runs start in ONCE";
  EXPECT_EQ(d.Selection(), u"$A$1:$B$3") << "the first block is selected again";
  EXPECT_EQ(d.ActiveCell(), u"$A$3") << "at the last pass's top-left cell";
  EXPECT_TRUE(d.b.addin.Messages().empty());
}

TEST(BlockEngine, AnUnattendedPasteRightTravelsAndStopsSilentlyAtAnEmptyRow) {
  Desk d;
  d.Column(u"A1", {u"R3", u"C2", u"U1"});
  d.Unattended(false);
  d.Run(ModeId::kPasteRight, u"A1");
  EXPECT_EQ(d.Value(u"B3"), Variant(u"U1"));
  EXPECT_TRUE(d.b.addin.Messages().empty());
}

TEST(BlockEngine, PasteVOnSeveralRowsAsksOnceOrTravel) {
  const struct {
    const char* what;
    int answer;
    bool b1, b3, once;
  } cases[] = {
      {"Once: the selected block only", 1, true, false, true},
      {"Travel: block after block", 2, true, true, false},
      {"Cancel: nothing", 0, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk d;
    d.Column(u"A1", {u"R1", u"R2", u"R5", u"R6"});
    d.b.addin.QueueBigMsgAnswer(c.answer);
    if (c.answer == 2) d.b.addin.QueueMessageAnswer(kCancel);  // the empty block at A5:A6
    d.Run(ModeId::kPasteV, u"A1:A2");
    EXPECT_EQ(d.Value(u"B1") == Variant(u"R1-2"), c.b1);
    EXPECT_EQ(d.Value(u"B3") == Variant(u"R5-6"), c.b3);
    EXPECT_EQ(d.b.state.blocks.OnceFlag, c.once);
    const auto shown = d.b.addin.CallsOf(u"ShowBigMsgForm");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(d.b.forms.bigMsg.Item(u"OK_Button").Caption(), u"OK");
    EXPECT_EQ(d.b.forms.bigMsg.Item(u"Option_Button").Caption(), u"Option");
    EXPECT_FALSE(d.b.forms.bigMsg.Item(u"Option_Button").Visible());
    EXPECT_EQ(d.b.forms.bigMsg.Item(u"Textbox1").Text().substr(0, 46),
              u"You have selected more than one row for \"Paste");
  }
}

TEST(BlockEngine, TheQuestionShowsOnceAndTravelOnTheBigMessageForm) {
  Desk d;
  d.Column(u"A1", {u"R1", u"R2"});
  Text ok, option;
  bool visible = false;
  d.b.addin.QueueHook(u"ShowBigMsgForm", [&](std::span<Variant>) {
    ok = d.b.forms.bigMsg.Item(u"OK_Button").Caption();
    option = d.b.forms.bigMsg.Item(u"Option_Button").Caption();
    visible = d.b.forms.bigMsg.Item(u"Option_Button").Visible();
  });
  d.b.addin.QueueBigMsgAnswer(0);
  d.Run(ModeId::kPasteV, u"A1:A2");
  EXPECT_EQ(ok, u"Once");
  EXPECT_EQ(option, u"Travel");
  EXPECT_TRUE(visible);
  EXPECT_EQ(d.b.services.beeper.Count(), 1);
}

TEST(BlockEngine, APasteModeTakesOneAreaOnly) {
  Desk d;
  d.Column(u"A1", {u"R1", u"R2"});
  d.b.addin.QueueMessageAnswer(kOk);
  d.Run(ModeId::kPasteRight, u"A1,A2");
  EXPECT_EQ(
      d.Prompts(),
      std::vector<Text>{Text(u"( Paste > ): ").append(host::Paragraphs({kOneAreaMsg, kOneAreaMsg2, kOneAreaMsg3}))});
  EXPECT_TRUE(d.Value(u"B1").IsEmpty());
  EXPECT_TRUE(d.Value(u"B2").IsEmpty());
}

TEST(BlockEngine, TheSubtractButtonSubtractsEveryAreaFromTheActiveWindowInOnePass) {
  Desk d;
  d.Column(u"A1", {u"R2", u"C1"});
  d.Column(u"C1", {u"R3"});
  d.SetWindow(u"R1-4,C1-2");
  d.b.Control(ctl::main::kActionList).SetText(u"Subtract Display V");
  d.b.addin.QueueMessageAnswer(kOk);  // the Action list notice
  d.Run(ModeId::kSubtractButton, u"A1:A2,C1");
  EXPECT_EQ(d.Window(), u"R1,R4,C2");
  EXPECT_EQ(d.Staged(), u"R1,R4,C2");
  EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Count = 3");
  EXPECT_TRUE(d.Value(u"B1").IsEmpty()) << "nothing is written beside the selection";
  EXPECT_TRUE(d.Comments().empty());
  const Text notice = d.Prompts().at(0);
  EXPECT_EQ(notice.substr(0, 40), u"NOTICE: You have clicked \"SubtractButton");
  EXPECT_TRUE(
      notice.ends_with(u"If you intended to  use the \"SubtractButton\" to Subtract your selection from "
                       u"Quillary's active window, Choose OK."));
}

TEST(BlockEngine, TheActionListNoticeCancelledEndsTheRun) {
  Desk d;
  d.Column(u"A1", {u"R1"});
  d.b.Control(ctl::main::kActionList).SetText(u"Subtract Display >");
  d.b.addin.QueueMessageAnswer(kCancel);
  d.Run(ModeId::kPasteRight, u"A1");
  EXPECT_TRUE(d.Value(u"B1").IsEmpty());
  EXPECT_TRUE(d.Prompts().at(0).ends_with(u"If you intended to use \"Paste >\" WITHOUT subtracting, Choose OK."));
}

TEST(BlockEngine, SubtractDisplayRemovesTheWindowsItemsFromEveryBlockAndGivesTheWindowBack) {
  Desk d;
  d.Column(u"A1", {u"R1, R2, R3", u"R2, R4", u"U1"});
  d.Column(u"B3", {u"x"});  // the third destination holds data
  d.SetWindow(u"R2,U1");
  d.Unattended(false);
  d.b.addin.QueueMessageAnswer(kCancel);  // "Destination is not empty." at B3
  d.Run(ModeId::kSubtractDisplayV, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1,R3"));
  EXPECT_EQ(d.Value(u"B2"), Variant(u"R4"));
  EXPECT_EQ(d.Value(u"B3"), Variant(u"x"));
  EXPECT_EQ(d.Window(), u"R2,U1");
  EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Count= N/A (PasteSubtract)");
  EXPECT_EQ(d.b.addin.CommandBarCount(), std::nullopt);
  ASSERT_EQ(d.Prompts().size(), 1u);
  EXPECT_TRUE(d.Prompts()[0].starts_with(host::MsgTitle(d.b.state, kNotEmptyMsg)));
}

// A fault (R5-R2: the first number is not below the second) in CountIndex#.
class FaultTest : public ::testing::Test {
 protected:
  FaultTest() { d.Column(u"A1", {u"R1", u"R5-R2", u"R9"}); }
  Desk d;
};

TEST_F(FaultTest, GoesToTheFaultLocatorAndAsksWhetherToGoOn) {
  d.PasteType(u"Count");
  d.b.addin.QueueMessageAnswer(kOk);      // the fault question
  d.b.addin.QueueMessageAnswer(kCancel);  // the empty block
  d.Run(ModeId::kPasteV, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(1.0));
  const Variant faulty = d.Value(u"B2");
  ASSERT_TRUE(faulty.IsText()) << "a faulty block gets its display text, not the count";
  EXPECT_NE(faulty.AsText().find(u"Quilet>"), Text::npos);
  EXPECT_EQ(d.Value(u"B3"), Variant(1.0));
  EXPECT_EQ(d.located, std::vector<Text>{u"R5-R2"});
  EXPECT_EQ(d.b.forms.queryUser.Item(u"CaptionLabel").Caption(), u"Quillary FAULT LOCATOR");
  EXPECT_FALSE(d.b.forms.queryUser.Item(u"DiffDupsButton").Visible());
  EXPECT_EQ(d.b.services.beeper.Count(), 1);
  const Text question = d.Prompts().at(0);
  EXPECT_TRUE(question.starts_with(u"( Paste V ): Fault: ")) << ToUtf8(question);
  EXPECT_TRUE(question.ends_with(u"\r\rChoose OK to continue or CANCEL to abort."));
  EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Count = 1") << "the last block's count";
}

TEST_F(FaultTest, CancelEndsTheRunAtTheFaultyBlock) {
  d.b.addin.QueueMessageAnswer(kCancel);
  d.Run(ModeId::kPasteV, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
  EXPECT_TRUE(d.Value(u"B2").IsEmpty());
  EXPECT_NE(d.Caption(ctl::main::kCountLabel).find(u"First"), Text::npos) << "the fault stays shown";
  EXPECT_TRUE(vba::EqualsTrue(d.b.Control(ctl::main::kNotice).Value()));
}

TEST_F(FaultTest, SubtractDisplayGivesTheWindowBackAfterACancel) {
  d.SetWindow(u"R9");
  d.Unattended(false);
  d.b.addin.QueueMessageAnswer(kCancel);
  d.Run(ModeId::kSubtractDisplayV, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
  EXPECT_EQ(d.Window(), u"R9") << "the user's list survives the early end";
}

TEST(BlockEngine, ADuplicateIsWrittenWithoutTheFaultLocatorOrAQuestion) {
  Desk d;
  d.Column(u"A1", {u"R1, R1", u"R7"});
  d.b.addin.QueueMessageAnswer(kCancel);  // the empty block
  d.Run(ModeId::kPasteV, u"A1");
  EXPECT_TRUE(d.located.empty());
  EXPECT_EQ(d.b.addin.Messages().size(), 1u);
  EXPECT_NE(d.Value(u"B1").AsText().find(u"Quilet>"), Text::npos);
  EXPECT_EQ(d.Value(u"B2"), Variant(u"R7"));
}

// A row too long to join stops its collect at the limit: the block gets its own fault
// text, not the result of the block before it. Only CountIndex# asks whether to go on.
TEST(BlockEngine, ABlockStoppedAtACollectLimitGetsItsOwnFault) {
  for (const bool ignoreIndex : {false, true}) {
    SCOPED_TRACE(ignoreIndex);
    Desk d;
    d.Column(u"A1", {u"R1", Text(20000, u'x')});
    d.Column(u"B1", {u"R2", Text(20000, u'y')});
    d.Tick(ctl::main::kIgnoreIndex, ignoreIndex);
    d.Tick(ctl::main::kTagDuplicates);
    d.b.Control(ctl::compdup::kJoinCells).SetEnabled(true);
    d.Tick(ctl::compdup::kJoinCells);
    d.b.addin.QueueMessageAnswer(kOk);                    // the limit message
    if (!ignoreIndex) d.b.addin.QueueMessageAnswer(kOk);  // the fault question
    d.Run(ModeId::kPasteRight, u"A1:B2");
    // (Items are not pasted while duplicates are tagged in IgnoreIndex#.)
    EXPECT_EQ(d.Value(u"C1"), ignoreIndex ? Variant() : Variant(u"R1\u00AFR2"));
    EXPECT_EQ(d.Value(u"C2"), Variant(u" Quilet> " + d.b.state.request.FaultMsg));
    EXPECT_NE(d.Prompts().at(0).find(u"Too much Text to Join Cells"), Text::npos);
    EXPECT_EQ(d.Prompts().size(), ignoreIndex ? 1u : 2u);
    EXPECT_EQ(d.located.size(), 1u);
  }
}

TEST(BlockEngine, TheSpecialModeNoticeOfPasteV) {
  const struct {
    const char* what;
    const char16_t* pasteType;
    std::vector<int> answers;  // the notices, then the empty block's question
    bool twoRows;              // A1:A2, run ONCE
    std::size_t notices;
    bool written;
    bool joinCells;  // JoinCells.Value afterwards
  } cases[] = {
      {"Yes on one row: the second notice, then on", u"Count", {kYes, kNo, kCancel}, false, 2, true, false},
      {"Yes on one row, Cancel on the second notice", u"Count", {kYes, kCancel}, false, 2, false, false},
      {"Yes on two rows: whole rows compared", u"Count", {kYes}, true, 1, true, true},
      {"No: Items one by one", u"Items", {kNo, kCancel}, false, 1, false, false},
      {"Cancel", u"Count", {kCancel}, false, 1, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk d;
    d.Column(u"A1", {u"a", u"b"});
    d.Tick(ctl::main::kIgnoreIndex);
    d.Tick(ctl::main::kSort);
    d.Tick(ctl::main::kTagDuplicates);
    d.PasteType(c.pasteType);
    for (int a : c.answers) d.b.addin.QueueMessageAnswer(a);
    if (c.twoRows) d.b.addin.QueueBigMsgAnswer(1);
    d.Run(ModeId::kPasteV, c.twoRows ? u"A1:A2" : u"A1");
    const auto prompts = d.Prompts();
    ASSERT_GE(prompts.size(), c.notices);
    EXPECT_TRUE(prompts[0].starts_with(u"SPECIAL MODE NOTICE: The option \"")) << ToUtf8(prompts[0]);
    EXPECT_EQ(prompts[0].find(u"AND the PasteType is set to paste Counts") != Text::npos,
              Text(c.pasteType) == u"Count");
    if (c.notices == 2) {
      EXPECT_TRUE(prompts[1].starts_with(u"SPECIAL MODE NOTICE: You have selected only"));
    }
    if (Text(c.pasteType) == u"Count") {
      EXPECT_EQ(!d.Value(u"B1").IsEmpty(), c.written);
    }
    EXPECT_EQ(vba::EqualsTrue(d.b.Control(ctl::compdup::kJoinCells).Value()), c.joinCells);
  }
}

TEST(BlockEngine, OtherModesRunTheSpecialModeWithJoinCellsDisabledForTheRun) {
  Desk d;
  d.Column(u"A1", {u"a"});
  d.Tick(ctl::main::kIgnoreIndex);
  d.Tick(ctl::main::kSort);
  d.Tick(ctl::main::kTagDuplicates);
  forms::Control& join = d.b.Control(ctl::compdup::kJoinCells);
  join.SetEnabled(true);
  bool enabledDuringRun = true;
  d.b.addin.SetHook(u"PutCbarCnt", [&](std::span<Variant>) { enabledDuringRun = join.Enabled(); });
  d.Run(ModeId::kPasteRight, u"A1");
  EXPECT_FALSE(enabledDuringRun);
  EXPECT_TRUE(join.Enabled()) << "as it was at the start";
  EXPECT_TRUE(d.b.addin.Messages().empty());
}

TEST(BlockEngine, ADownwardSelectionAtTheRowLimitHaltsBeforeTheFirstPass) {
  Desk d;
  const long last = d.Sheet().RowsCount();
  d.Sheet().Cells(last - 1, 1).SetValue(u"R1");
  d.b.addin.QueueBigMsgAnswer(2);  // Travel
  d.b.addin.QueueMessageAnswer(kOk);
  d.Run(ModeId::kPasteV,
        Text(u"A").append(vba::IntegerText(last - 2)).append(u":A").append(vba::IntegerText(last - 1)));
  EXPECT_EQ(d.Prompts(), std::vector<Text>{u"( Paste V ): Halted. Reached the 1048574 Row limit."});
  EXPECT_TRUE(d.Sheet().Cells(last - 1, 2).Value().IsEmpty());
}

TEST(BlockEngine, TravellingBlocksStopAtTheRowLimitWithAMessage) {
  const struct {
    const char* what;
    ModeId mode;
    long firstRow;  // from the sheet's end
    long lastWritten;
  } cases[] = {
      // The writer hands the block back one row taller at the limit in both downward modes.
      {"Paste_V", ModeId::kPasteV, 3, 2},
      {"Subtract Display V", ModeId::kSubtractDisplayV, 3, 2},
      // A row block travels to the sheet's last row and stops where it cannot move on.
      {"Paste_>", ModeId::kPasteRight, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk d;
    const long rows = d.Sheet().RowsCount();
    for (long r = rows - c.firstRow; r <= rows; ++r)
      d.Sheet().Cells(r, 1).SetValue(Text(u"R").append(vba::IntegerText(r % 7)));
    d.Unattended(false);
    d.b.addin.QueueMessageAnswer(kOk);
    d.Run(c.mode, Text(u"A").append(vba::IntegerText(rows - c.firstRow)));
    EXPECT_EQ(
        d.Prompts(),
        std::vector<Text>{
            Text(u"( ").append(host::CleanMode(d.b.state)).append(u" ): Halted. Reached the 1048574 Row limit.")});
    EXPECT_FALSE(d.Sheet().Cells(rows - c.lastWritten, 2).Value().IsEmpty());
    if (c.lastWritten > 0) {
      EXPECT_TRUE(d.Sheet().Cells(rows - c.lastWritten + 1, 2).Value().IsEmpty());
    }
  }
}

TEST(BlockEngine, AResultCutShortByTheCellLimitIsReportedAsSuch) {
  Desk d;
  Text many;
  Text other;
  for (int i = 0; i < 2000; ++i) {
    many += Text(u",PARTNUMBER").append(vba::IntegerText(1000 + i));
    other += Text(u",PARTNUMBER").append(vba::IntegerText(5000 + i));
  }
  d.Column(u"A1", {many.substr(1), other.substr(1)});
  d.Tick(ctl::main::kIgnoreIndex);
  d.b.addin.QueueBigMsgAnswer(1);     // Once
  d.b.addin.QueueMessageAnswer(kOk);  // the report
  d.Run(ModeId::kPasteV, u"A1:A2");
  EXPECT_EQ(d.Value(u"B1").AsText().size(), 32767u);
  EXPECT_EQ(d.b.state.request.PasteRowCount, 100000);
  const Text report = d.Prompts().at(0);
  EXPECT_TRUE(
      report.starts_with(u"( Paste V ): Single Cell Pasting Overflow. The \"Paste V\" Action stopped at cell "
                         u"$B$1: its result of "))
      << ToUtf8(report);
  EXPECT_EQ(report.find(u"completed successfully"), Text::npos);
  EXPECT_TRUE(report.ends_with(Text(u"\r") + kAdviceIgnoreIndex));
  EXPECT_EQ(d.Caption(ctl::main::kMessageLabel), kHintIgnoreIndex);
  EXPECT_TRUE(d.Caption(ctl::main::kCharactersLabel).ends_with(u" Chars. Can't single cell paste."));
}

// A staged result that took more than one row: the overflow message ends with the advice
// that fits the options.
TEST(BlockEngine, AStagedResultTooLongForOneCellGetsTheOverflowMessage) {
  const struct {
    const char* what;
    bool ignoreIndex, expandRangesEnabled;
    const char16_t* advice;
    const char16_t* hint;
  } cases[] = {
      {"IgnoreIndex#", true, true, kAdviceIgnoreIndex, kHintIgnoreIndex},
      {"CountIndex# with ExpandRanges at hand", false, true, kAdviceExpandRanges, kHintExpandRanges},
      {"CountIndex# without", false, false, kAdviceCountIndex, kHintCountIndex},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk d;
    // Odd numbers, so that no ranges condense: the result runs over 32767 characters.
    Text window = u"R1";
    for (int i = 0; i < 3000; ++i) window += Text(u",PARTNUMBER").append(vba::IntegerText(1001 + 2 * i));
    d.Column(u"A1", {u"R1"});
    d.SetWindow(window);
    d.Tick(ctl::main::kIgnoreIndex, c.ignoreIndex);
    d.b.Control(ctl::main::kExpandRanges).SetEnabled(c.expandRangesEnabled);
    d.b.addin.QueueMessageAnswer(kOk);
    d.Run(ModeId::kSubtractButton, u"A1");
    const Text report = d.Prompts().at(0);
    EXPECT_TRUE(
        report.starts_with(u"( SubtractButton ): Single Cell Pasting Overflow. The \"SubtractButton\" Action "
                           u"completed successfully.\r\rHowever, there are "))
        << ToUtf8(report);
    EXPECT_TRUE(report.ends_with(Text(u"\r") + c.advice));
    EXPECT_EQ(d.Caption(ctl::main::kMessageLabel), c.hint);
    EXPECT_TRUE(vba::EqualsTrue(d.b.Control(ctl::main::kNotice).Value()));
  }
}

// Long travels: the status bar after three seconds, then the break key every 100 rows
// travelled, whatever the block's height.
TEST(BlockEngine, LongTravelsPollTheBreakKeyEveryHundredRows) {
  for (const long height : {1L, 2L}) {
    SCOPED_TRACE(height);
    Desk d;
    for (long r = 1; r <= 300; ++r) d.Sheet().Cells(r, 1).SetValue(Text(u"R").append(vba::IntegerText(r)));
    d.Unattended(false);
    // Every pass costs a second.
    d.b.addin.SetHook(u"PutCbarCnt", [&](std::span<Variant>) { d.b.services.clock.Advance(1); });
    d.b.addin.QueueBreakAnswer(u"NoBreak");
    d.b.addin.QueueBreakAnswer(u"6");
    if (height > 1) d.b.addin.QueueBigMsgAnswer(2);  // Travel
    d.Run(ModeId::kPasteV, Text(u"A1:A").append(vba::IntegerText(height)));
    EXPECT_TRUE(d.b.state.request.progress.UserAbort);
    EXPECT_EQ(d.b.addin.CallsOf(u"vbaBreakKey").size(), 2u);
    // Polled at the blocks that reached 100 and 200 rows travelled; the second stopped
    // the run before its block was written.
    const long stoppedAt = height == 1 ? 200 : 201;
    EXPECT_TRUE(d.Sheet().Cells(stoppedAt, 2).Value().IsEmpty());
    EXPECT_FALSE(d.Sheet().Cells(stoppedAt - height, 2).Value().IsEmpty());
    EXPECT_EQ(d.b.app->StatusBar(),
              Variant(Text(u" PasteDwn: Paste_V   Progress: ").append(vba::IntegerText(height == 1 ? 100 : 101)) +
                      u" rows    Press the Ctrl key to Abort."));
  }
}

TEST(BlockEngine, TheFirstRequestInANewWorkbookMakesTheWorkingSheet) {
  Desk d;
  d.Column(u"A1", {u"R1"});
  ASSERT_EQ(host::FindHiddenWorkSht(*d.b.book), nullptr);
  d.Run(ModeId::kPasteRight, u"A1");
  EXPECT_NE(host::FindHiddenWorkSht(*d.b.book), nullptr);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
}

TEST(BlockEngine, WithoutTheFaultLocatorInTheBuildTheRunSaysWhatIsMissing) {
  Desk d;
  d.Column(u"A1", {u"R5-R2"});
  d.b.routines.GoQueryUserForm = nullptr;
  d.PasteType(u"Count");
  const Error e =
      check::ExpectRaises([&] { d.Run(ModeId::kPasteV, u"A1"); }, err::kNoSuchMember, "GetSortCntPasteTravel: ");
  EXPECT_NE(std::string(e.what()).find("GoQueryUserForm"), std::string::npos) << e.what();
}

}  // namespace
}  // namespace quillary::blocks
