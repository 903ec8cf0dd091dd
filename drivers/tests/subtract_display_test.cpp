#include "drivers/subtract_display.h"

#include <gtest/gtest.h>

#include "drivers/messages.h"
#include "drivers/routines.h"
#include "host/callbacks.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

namespace ctl = host::ctl;
constexpr int kOk = host::msgbox::kAnswerOk;
constexpr int kCancel = host::msgbox::kAnswerCancel;

// A master list in column A, the Items to drop in the Active Window.
class SubtractDisplayTest : public ::testing::Test {
 protected:
  SubtractDisplayTest() {
    b.routines = BuildRoutines();
    const char16_t* cells[] = {u"R1-R4, C1", u"R2, U1", u"C1, U2"};
    for (long r = 1; r <= 3; ++r) Sheet().Cells(r, 1).SetValue(Text(cells[r - 1]));
    b.Control(ctl::main::kTextbox1).SetValue(u"R2-3,C1");
    // The dialog's buttons as the host shows them.
    b.addin.SetHook(u"ShowBigMsgForm", [this](std::span<Variant>) {
      ok = b.forms.bigMsg.Item(u"OK_Button").Caption();
      option = b.forms.bigMsg.Item(u"Option_Button").Caption();
      optionShown = b.forms.bigMsg.Item(u"Option_Button").Visible();
      dialog = b.forms.bigMsg.Item(u"Textbox1").Text();
    });
  }
  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  Variant Value(TextView ref) { return Sheet().Range(ref).Value(); }
  void Run(const char16_t* mode, TextView selection) {
    Sheet().Range(selection).Select();
    b.BeginRequest(mode);
    SubtractRtDwn(b.state);
  }

  testkit::Bench b;
  Text ok, option, dialog;
  bool optionShown = false;
};

TEST_F(SubtractDisplayTest, VerticalTravelWritesEachBlockWithoutTheWindowsItems) {
  b.addin.QueueBigMsgAnswer(2);         // Travel
  b.addin.QueueMessageAnswer(kCancel);  // the empty block below the list
  Run(u"Subtract Display V", u"A1");
  EXPECT_EQ(Value(u"B1"), Variant(u"R1,R4"));
  EXPECT_EQ(Value(u"B2"), Variant(u"U1"));
  EXPECT_EQ(Value(u"B3"), Variant(u"U2"));
  EXPECT_EQ(b.Control(ctl::main::kTextbox1).Text(), u"R2-3,C1") << "the window shows its own Items again";
  EXPECT_FALSE(b.state.blocks.OnceFlag);
  EXPECT_EQ(ok, u"Once");
  EXPECT_EQ(option, u"Travel");
  EXPECT_TRUE(optionShown);
  EXPECT_EQ(b.Control(ctl::main::kPasteType).Caption(), u"Items");
  EXPECT_EQ(b.Control(ctl::main::kPasteType).ForeColor(), 0xC0FFC0);
  EXPECT_FALSE(b.Control(ctl::mail::kSkipMenu).Enabled()) << "later presses are attended again";
  EXPECT_EQ(b.Control(ctl::main::kMessageLabel).Caption(), u"Paste last result. For window Items, change PasteType.");
  EXPECT_TRUE(vba::EqualsTrue(b.Control(ctl::main::kNotice).Value()));
  EXPECT_EQ(b.state.request.vbaMode.Text(), u"Null");
  EXPECT_EQ(b.Control(ctl::main::kCountLabel).Caption(), u"Count= N/A (PasteSubtract)");
  // The big form is back as it was.
  EXPECT_EQ(b.forms.bigMsg.Item(u"OK_Button").Caption(), u"OK");
  EXPECT_FALSE(b.forms.bigMsg.Item(u"Option_Button").Visible());
}

TEST_F(SubtractDisplayTest, TheDialogTellsWhatHappensAndAdvisesOnOneRow) {
  b.addin.QueueBigMsgAnswer(0);
  Run(u"Subtract Display V", u"A1");
  EXPECT_TRUE(
      dialog.starts_with(u"\"Subtract Display V\" has been initiated.  OK To Subtract Items in Quillary's "
                         u"Active Window from the selection?\rExcel's Undo will not revert this!\r\rA new "
                         u"list will be created"));
  EXPECT_NE(dialog.find(u"\r\r|||||||||||||||||||||||\rYou have selected one row.\rConsider selecting all rows of "
                        u"interest and then use the \"Subtract >\" Action instead for simpler performance.\r\r"),
            Text::npos);
  EXPECT_NE(dialog.find(u"After the \"Subtract Display V\" process completes"), Text::npos);
  EXPECT_NE(dialog.find(u"\r\rCountIndex# Mode is enabled. Items will be sorted before being placed into a single "
                        u"cell to the right of your selection.\r_______________________\rNOTES\rPrior to"),
            Text::npos);
  EXPECT_TRUE(dialog.ends_with(u"are the identical Items which were specified to be removed."));
}

TEST_F(SubtractDisplayTest, CancelOnTheDialogRunsNothing) {
  b.Control(ctl::main::kPasteType).SetCaption(u"Count");
  b.addin.QueueBigMsgAnswer(0);
  Run(u"Subtract Display V", u"A1:A2");
  EXPECT_TRUE(Value(u"B1").IsEmpty());
  EXPECT_EQ(b.Control(ctl::main::kPasteType).Caption(), u"Count");
  EXPECT_FALSE(b.Control(ctl::mail::kSkipMenu).Enabled());
  EXPECT_EQ(b.state.request.vbaMode.Text(), u"Null");
  EXPECT_NE(dialog.find(u"You have selected more than one row.\r\r"), Text::npos);
}

TEST_F(SubtractDisplayTest, RowByRowOffersOnlyOkAndRunsOncePerRowOfTheFirstArea) {
  b.addin.QueueBigMsgAnswer(1);
  Run(u"Subtract Display >", u"A1:A2,A3");
  EXPECT_EQ(Value(u"B1"), Variant(u"R1,R4"));
  EXPECT_EQ(Value(u"B2"), Variant(u"U1"));
  EXPECT_TRUE(Value(u"B3").IsEmpty()) << "only the first area is processed";
  EXPECT_TRUE(b.state.blocks.OnceFlag);
  EXPECT_EQ(ok, u"OK");
  EXPECT_FALSE(optionShown);
  EXPECT_EQ(dialog.find(u"TRAVEL:"), Text::npos);
}

TEST_F(SubtractDisplayTest, RefusedWhileTaggingDuplicatesInIgnoreIndex) {
  b.Control(ctl::main::kTagDuplicates).SetCaption(u"Tag Dups");
  b.Control(ctl::main::kTagDuplicates).SetValue(true);
  b.Control(ctl::main::kIgnoreIndex).SetValue(true);
  b.addin.QueueMessageAnswer(kOk);
  Run(u"Subtract Display V", u"A1");
  EXPECT_EQ(b.addin.Messages().at(0).prompt,
            msg::kSubtractDisplayTitle +
                host::Paragraphs({msg::kTaggingOnMsg + Text(u"\"Tag Dups\"") + msg::kTaggingOnMsgEnd,
                                  msg::kTaggingOnMsg2, msg::kTaggingOnMsg3 + Text(u"\"Tag Dups\"")}));
  EXPECT_EQ(b.state.request.vbaMode.Text(), u"Subtract Display V") << "the mode stays on this refusal";
  EXPECT_TRUE(b.addin.CallsOf(u"ShowBigMsgForm").empty());
}

TEST_F(SubtractDisplayTest, TaggingIsNoObstacleInCountIndex) {
  b.Control(ctl::main::kTagDuplicates).SetValue(true);
  b.addin.QueueBigMsgAnswer(1);
  Run(u"Subtract Display V", u"A1");
  EXPECT_EQ(Value(u"B1"), Variant(u"R1,R4"));
}

TEST_F(SubtractDisplayTest, AFaultShownInTheWindowIsRefused) {
  const struct {
    const char* what;
    const char16_t* window;
    bool refused;
  } cases[] = {
      {"a fault at the start", u" Quilet> R5-R2 <Quilet", true},
      {"a fault marker further on", u"R1, Quilet> R5-R2 <Quilet", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    b.addin.ClearLog();
    b.Control(ctl::main::kTextbox1).SetValue(c.window);
    if (c.refused) {
      b.addin.QueueMessageAnswer(kOk);
    } else {
      b.addin.QueueBigMsgAnswer(0);
    }
    Run(u"Subtract Display V", u"A1");
    EXPECT_EQ(b.addin.CallsOf(u"ShowBigMsgForm").empty(), c.refused);
    if (c.refused) {
      EXPECT_EQ(b.addin.Messages().at(0).prompt,
                msg::kSubtractDisplayTitle +
                    host::Paragraphs({msg::kFaultShownMsg, msg::kFaultShownMsg2, msg::kFaultShownMsg3}));
    }
    EXPECT_EQ(b.state.request.vbaMode.Text(), u"Null");
  }
}

TEST_F(SubtractDisplayTest, TheActionListReachesItThroughTheRoutines) {
  b.addin.QueueBigMsgAnswer(1);
  Sheet().Range(u"A1").Select();
  b.BeginRequest(u"Subtract Display V");
  host::RoutineOf(b.state, &host::Routines::SubtractRtDwn, "SubtractRtDwn")(b.state);
  EXPECT_EQ(Value(u"B1"), Variant(u"R1,R4"));
}

}  // namespace
}  // namespace quillary::drivers
