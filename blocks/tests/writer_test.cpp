#include "blocks/internal/writer.h"

#include <gtest/gtest.h>

#include <string>

#include "blocks/tests/desk.h"
#include "host/callbacks.h"
#include "platform/runtime/vba.h"

namespace quillary::blocks {
namespace {

using host::ModeId;
using host::Proceed;
namespace ctl = host::ctl;
constexpr int kOk = host::msgbox::kAnswerOk;
constexpr int kCancel = host::msgbox::kAnswerCancel;

// One writer call on a block of Sheet1, in a request of `mode` (ONCE unless told).
class WriterTest : public ::testing::Test {
 protected:
  WriterTest() { d.b.state.blocks.OnceFlag = true; }

  Written Write(TextView blockRef, const Text& text, ResultKind kind = ResultKind::kText, ModeId mode = ModeId::kPasteV,
                bool firstPass = true) {
    d.b.BeginRequest(mode);
    block = d.At(blockRef);
    return PasteDownWard(d.b.state, block, text, kind, firstPass);
  }

  Desk d;
  xl::Range block = d.At(u"A1");
};

TEST_F(WriterTest, WritesTheResultBesideTheBlockAndMovesTheBlockDown) {
  d.At(u"B1").SetHorizontalAlignment(xl::xlRight);
  d.PendingSummary(u"Duplicates_Summary\nDup\t     2\tR1");
  const Written w = Write(u"A1:A3", u"R1-3");
  EXPECT_EQ(w.next, Proceed::kGoOn);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1-3"));
  EXPECT_EQ(d.At(u"B1").HorizontalAlignment(), Variant(xl::xlRight));
  EXPECT_EQ(d.At(u"B1").VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(block.Address(), u"$A$4:$A$6");
  EXPECT_EQ(d.Comments(), std::vector<Text>{u"$A$1"}) << "the status comment goes on the block's top-left cell";
  EXPECT_EQ(d.At(u"A1").Comment()->Text(), u"Duplicates_Summary\nDup\t     2\tR1");
  EXPECT_TRUE(d.b.addin.Messages().empty());
}

TEST_F(WriterTest, ACountIsWrittenAsANumberAndEverythingElseAsText) {
  const struct {
    const char* what;
    Text text;
    ResultKind kind;
    Variant cell;
  } cases[] = {
      {"a count", u"12", ResultKind::kCount, Variant(12.0)},
      {"Items that look like a number", u"007", ResultKind::kText, Variant(u"007")},
      {"a fault text that looks like a formula", u"=R1", ResultKind::kText, Variant(u"=R1")},
      {"no Items: an empty cell, not an apostrophe", u"", ResultKind::kText, Variant()},
      {"a blank result", u"  ", ResultKind::kText, Variant()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    d.At(u"B1").ClearContents();
    const Written w = Write(u"A1", c.text, c.kind);
    EXPECT_EQ(d.Value(u"B1"), c.cell);
    EXPECT_FALSE(w.cut);
    EXPECT_EQ(w.next, Proceed::kGoOn);
  }
}

TEST(Writer, DestinationsItMustNotWriteStopTheRun) {
  const struct {
    const char* what;
    std::function<void(Desk&)> arrange;
    const char16_t* blockRef;
    bool firstPass;
    Text prompt;  // "" when it writes after all
  } cases[] = {
      {"beyond the last column", [](Desk&) {}, u"XFD1", true, u"( Paste V ): Cannot Paste beyond 16384 columns."},
      {"a hidden column on the first pass", [](Desk& desk) { desk.At(u"B:B").SetHidden(true); }, u"A1", true,
       u"( Paste V ): " + host::Paragraphs({kHiddenColumnMsg, Text(u"\"Paste V\"") + kHiddenColumnMsg2,
                                            kHiddenColumnMsg3, kHiddenColumnMsg4})},
      {"a hidden column after the first pass", [](Desk& desk) { desk.At(u"B:B").SetHidden(true); }, u"A1", false, u""},
      {"a hidden row", [](Desk& desk) { desk.At(u"1:1").SetHidden(true); }, u"A1", true, u""},
      {"one locked cell on a protected sheet",
       [](Desk& desk) {
         desk.At(u"B1").SetLocked(false);
         desk.Sheet().Protect();
       },
       u"A1:A2", true, u"( Paste V ): " + host::Paragraphs({kProtectedMsg, kTerminatedMsg})},
      {"unlocked cells on a protected sheet",
       [](Desk& desk) {
         desk.At(u"B1:B2").SetLocked(false);
         desk.Sheet().Protect();
       },
       u"A1:A2", true, u""},
      {"a merged first cell", [](Desk& desk) { desk.At(u"B1:C1").Merge(); }, u"A1", true,
       u"( Paste V ): " + host::Paragraphs({kMergedMsg, kTerminatedMsg})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk fresh;
    c.arrange(fresh);
    fresh.b.state.blocks.OnceFlag = true;
    if (!c.prompt.empty()) {
      fresh.PendingSummary(u"summary");
      fresh.b.addin.QueueMessageAnswer(kOk);
    }
    fresh.b.BeginRequest(ModeId::kPasteV);
    xl::Range b = fresh.At(c.blockRef);
    const Written w = PasteDownWard(fresh.b.state, b, u"R1", ResultKind::kText, c.firstPass);
    if (c.prompt.empty()) {
      EXPECT_EQ(w.next, Proceed::kGoOn);
      EXPECT_TRUE(fresh.b.addin.Messages().empty());
      EXPECT_EQ(b.Parent().Range(c.blockRef).Offset(0, 1).Value(), Variant(u"R1"));
    } else {
      EXPECT_EQ(w.next, Proceed::kStop);
      EXPECT_EQ(fresh.Prompts(), std::vector<Text>{c.prompt});
      EXPECT_EQ(b.Address(), fresh.At(c.blockRef).Address()) << "the block stays";
      EXPECT_TRUE(fresh.Comments().empty());
    }
  }
}

TEST_F(WriterTest, ANonEmptyDestinationIsErasedOnlyWhenTheUserAgrees) {
  d.Column(u"B1", {u"old", u"", u"older"});
  d.At(u"A1").SetHorizontalAlignment(xl::xlCenter);
  d.At(u"B1").SetHorizontalAlignment(xl::xlCenter);
  d.b.addin.QueueMessageAnswer(kOk);
  const Written w = Write(u"A1:A3", u"R1");
  EXPECT_EQ(w.next, Proceed::kGoOn);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
  EXPECT_TRUE(d.Value(u"B3").IsEmpty()) << "the whole destination was erased";
  EXPECT_EQ(d.At(u"B1:B3").HorizontalAlignment(), Variant(xl::xlCenter));
  EXPECT_EQ(d.At(u"B1:B3").VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(d.Prompts().at(0),
            u"( Paste V ): " + host::Paragraphs({kNotEmptyMsg, kNotEmptyMsg2, kNotEmptyMsg3, kNotEmptyMsg4}));
  EXPECT_EQ(d.b.addin.Messages()[0].style, host::msgbox::kOkCancel);
}

TEST_F(WriterTest, CancelAtANonEmptyDestinationWritesNothingButMovesTheBlock) {
  d.Column(u"B2", {u"old"});
  d.b.addin.QueueMessageAnswer(kCancel);
  const Written w = Write(u"A1:A2", u"R1");
  EXPECT_EQ(w.next, Proceed::kStop);
  EXPECT_TRUE(d.b.state.request.PasteStopped);
  EXPECT_TRUE(d.Value(u"B1").IsEmpty());
  EXPECT_EQ(d.Value(u"B2"), Variant(u"old"));
  EXPECT_EQ(block.Address(), u"$A$3:$A$4");
}

TEST_F(WriterTest, AMergedAreaReachingIntoTheDestinationCannotBeErased) {
  d.At(u"B2:C2").Merge();
  d.Column(u"B2", {u"old"});
  d.b.addin.QueueMessageAnswer(kOk);
  d.b.addin.QueueMessageAnswer(kOk);
  const Written w = Write(u"A1:A2", u"R1");
  EXPECT_EQ(w.next, Proceed::kStop);
  EXPECT_EQ(d.Value(u"B2"), Variant(u"old"));
  EXPECT_EQ(d.Prompts().at(1), u"( Paste V ): " + host::Paragraphs({kMergedEraseMsg, kMergedEraseMsg2}));
}

TEST_F(WriterTest, AnUnattendedRunOverwritesTheDestinationCellWithoutAsking) {
  d.Column(u"B1", {u"old", u"keep"});
  d.Unattended(true);
  const Written w = Write(u"A1:A2", u"R1", ResultKind::kText, ModeId::kPasteRight);
  EXPECT_EQ(w.next, Proceed::kGoOn);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"R1"));
  EXPECT_EQ(d.Value(u"B2"), Variant(u"keep"));
  EXPECT_TRUE(d.b.addin.Messages().empty());
}

TEST_F(WriterTest, SubtractDisplayAsksEvenUnattended) {
  d.Column(u"B1", {u"old"});
  d.Unattended(true);
  d.b.addin.QueueMessageAnswer(kCancel);
  const Written w = Write(u"A1", u"R1", ResultKind::kText, ModeId::kSubtractDisplayV);
  EXPECT_EQ(w.next, Proceed::kStop);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"old"));
}

TEST_F(WriterTest, AResultLongerThanACellHoldsIsCutAndStopsTheRun) {
  d.PendingSummary(u"summary");
  const Written w = Write(u"A1", Text(40000, u'x'));
  EXPECT_EQ(w.next, Proceed::kStop);
  ASSERT_TRUE(w.cut);
  EXPECT_EQ(w.cut->address, u"$B$1");
  EXPECT_EQ(w.cut->length, 40000u);
  EXPECT_EQ(w.cut->kept, 32767u);
  EXPECT_EQ(d.b.state.request.PasteRowCount, 100000);
  EXPECT_EQ(block.Address(), u"$A$2") << "moved all the same";
  EXPECT_EQ(d.Comments(), std::vector<Text>{u"$A$1"});
}

TEST_F(WriterTest, NearTheRowLimitADownwardBlockComesBackOneRowTaller) {
  const long limit = d.Sheet().RowsCount() - 2;
  for (const ModeId mode : {ModeId::kPasteV, ModeId::kSubtractDisplayV}) {
    d.Sheet().Columns(2).ClearContents();
    const Text first = u"A" + vba::IntegerText(limit - 8);
    const Written w = Write(first + u":A" + vba::IntegerText(limit - 4), u"R1", ResultKind::kText, mode);
    EXPECT_EQ(w.next, Proceed::kGoOn);
    EXPECT_EQ(block.Address(), u"$A$" + vba::IntegerText(limit - 8) + u":$A$" + vba::IntegerText(limit - 3));
  }
  // Ending exactly at the limit is still a move.
  d.Sheet().Columns(2).ClearContents();
  static_cast<void>(Write(u"A" + vba::IntegerText(limit - 9) + u":A" + vba::IntegerText(limit - 5), u"R1"));
  EXPECT_EQ(block.Row(), limit - 4);
  EXPECT_EQ(block.RowsCount(), 5);
}

TEST(Writer, TheEmptyNextBlockOfATravel) {
  const struct {
    const char* what;
    ModeId mode;
    bool unattended;
    std::optional<int> answer;  // the question's answer; nothing when none is asked
    Proceed next;
  } cases[] = {
      {"attended: OK goes on", ModeId::kPasteV, false, kOk, Proceed::kGoOn},
      {"attended: Cancel stops", ModeId::kPasteV, false, kCancel, Proceed::kStop},
      {"unattended Paste_V stops without asking", ModeId::kPasteV, true, std::nullopt, Proceed::kStop},
      {"Subtract Display asks all the same", ModeId::kSubtractDisplayV, true, kOk, Proceed::kGoOn},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk fresh;
    fresh.Column(u"A1", {u"R1"});
    fresh.b.state.blocks.OnceFlag = false;
    fresh.b.Control(ctl::mail::kSkipMenu).SetEnabled(c.unattended);
    if (c.answer) fresh.b.addin.QueueMessageAnswer(*c.answer);
    fresh.b.BeginRequest(c.mode);
    xl::Range b = fresh.At(u"A1");
    const Written w = PasteDownWard(fresh.b.state, b, u"R1", ResultKind::kText, true);
    EXPECT_EQ(w.next, c.next);
    EXPECT_EQ(fresh.b.addin.Messages().size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(fresh.Prompts()[0],
                u"( " + host::CleanMode(fresh.b.state) + u" ): OK to continue processing downward?");
      EXPECT_EQ(fresh.Selection(), u"$A$2") << "the empty block is shown";
    }
  }
}

// On long runs the block is shown at every 200th row, at most once per 45 seconds while
// the netlist conversion or a row action drives the engine.
TEST(Writer, TheScreenFollowsLongRuns) {
  const struct {
    const char* what;
    const char16_t* outer;  // ModeHold
    const char16_t* blockRef;
    double actionStarted, progressTimer;
    bool shown;
  } cases[] = {
      {"row 200", u"", u"A200", 0, 0, true},
      {"row 201", u"", u"A201", 0, 0, false},
      {"netlist conversion under 45 seconds", u"Netlist Cnvrt:Telesis", u"A400", 970, 0, false},
      {"netlist conversion past 45 seconds", u"Netlist Cnvrt:Telesis", u"A400", 950, 990, true},
      {"row action under 45 seconds", u"EXPAND Row to Many", u"A400", 0, 970, false},
      {"row action past 45 seconds", u"REDUCE Rows to One", u"A400", 990, 950, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk fresh;
    fresh.b.services.clock.Advance(1000);
    fresh.b.BeginRequest(ModeId::kPasteRight);
    fresh.b.Control(ctl::mail::kModeHold).SetCaption(c.outer);
    fresh.b.state.actions.ActionStartTime = c.actionStarted;
    fresh.b.state.request.progress.ProgressTimer = c.progressTimer;
    fresh.b.state.blocks.OnceFlag = true;
    fresh.At(u"Z1").Select();
    xl::Range b = fresh.At(c.blockRef);
    static_cast<void>(PasteDownWard(fresh.b.state, b, u"R1", ResultKind::kText, true));
    EXPECT_EQ(fresh.Selection() == fresh.At(c.blockRef).Address(), c.shown);
  }
}

}  // namespace
}  // namespace quillary::blocks
