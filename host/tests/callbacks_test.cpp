#include "host/callbacks.h"

#include <gtest/gtest.h>

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::host {
namespace {

class CallbacksTest : public ::testing::Test {
 protected:
  CallbacksTest() { b.BeginRequest(u"Paste_V"); }

  forms::Control& Response() { return b.Control(ctl::mail::kResponse); }

  testkit::Bench b;
  long cursorInMacro = 0;
};

TEST_F(CallbacksTest, MessageGoesThroughTheHostAndTheAnswerComesBackFromTheCaption) {
  b.addin.QueueMessageAnswer(msgbox::kAnswerYes);
  b.services.clock.Advance(10);
  b.app->SetScreenUpdating(true);
  b.Control(ctl::mail::kOnScreenX).SetEnabled(false);

  EXPECT_EQ(MsgBoxDLL(b.state, u"( Paste V ): Go on?", msgbox::kYesNo + msgbox::kInformation), 6);

  const auto messages = b.addin.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].prompt, u"( Paste V ): Go on?");
  EXPECT_EQ(messages[0].style, 68);
  EXPECT_EQ(b.state.request.progress.ProgressTimer, b.services.clock.MonotonicSeconds()) << "the clock restarts";
  EXPECT_FALSE(b.app->ScreenUpdating()) << "the screen follows the host's wish";
  EXPECT_EQ(b.app->Cursor(), xl::xlWait);
}

TEST_F(CallbacksTest, MessageAnswerThatIsNoNumberReadsAsZero) {
  b.addin.QueueReply(addin::Reply::Message, u"");
  EXPECT_EQ(MsgBoxDLL(b.state, u"x", msgbox::kOk), 0);
  b.addin.QueueReply(addin::Reply::Message, u" 2");
  EXPECT_EQ(MsgBoxDLL(b.state, u"x", msgbox::kOkCancel), 2);
}

TEST_F(CallbacksTest, BreakKeyAnswers) {
  const struct {
    const char16_t* reply;
    bool abortBefore;
    bool abortAfter;
    const char16_t* captionAfter;
    int repaints;
  } cases[] = {
      {u"NoBreak", false, false, u"NoBreak", 0},
      {u"NoBreak", true, true, u"NoBreak", 0},
      {u"6", false, true, u"Esc", 1},
      {u"6.0", false, true, u"Esc", 1},
      {u" 6", false, true, u"Esc", 1},
      {u"7", true, false, u"", 1},
      {u"anything", true, false, u"", 1},
  };
  for (const auto& c : cases) {
    const int repaintsBefore = b.forms.mainUser.RepaintCount();
    b.state.request.progress.UserAbort = c.abortBefore;
    b.addin.QueueBreakAnswer(c.reply);
    ChkBreakKey(b.state);
    EXPECT_EQ(b.state.request.progress.UserAbort, c.abortAfter) << ToUtf8(c.reply);
    EXPECT_EQ(Response().Caption(), c.captionAfter) << ToUtf8(c.reply);
    EXPECT_EQ(b.forms.mainUser.RepaintCount() - repaintsBefore, c.repaints) << ToUtf8(c.reply);
  }
}

TEST_F(CallbacksTest, FormAnswersLandInTheSharedState) {
  b.addin.QueueBigMsgAnswer(3);
  ShowBigMsgFormDLL(b.state);
  EXPECT_EQ(b.state.dialogs.BigMsgAnswer, 3);
  b.addin.QueueReply(addin::Reply::BigMsg, u"");
  ShowBigMsgFormDLL(b.state);
  EXPECT_EQ(b.state.dialogs.BigMsgAnswer, 0) << "an empty answer is a cancel";

  b.addin.QueueCompareAnswer(2);
  b.services.clock.Advance(5);
  EXPECT_EQ(ShowCompDupUserFormDLL(b.state, u"UseNew"), CompareAnswer::kUseCollected);
  EXPECT_EQ(b.state.request.progress.ProgressTimer, b.services.clock.MonotonicSeconds());
  const auto calls = b.addin.CallsOf(u"ShowCompDupUserForm");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, std::vector<Variant>{Variant(u"UseNew")});
}

TEST_F(CallbacksTest, CompareDialogAnswerIsReadFromItsCaptionNumber) {
  const struct {
    int caption;
    CompareAnswer answer;
  } cases[] = {{0, CompareAnswer::kCancel},
               {1, CompareAnswer::kUseNew},
               {2, CompareAnswer::kUseCollected},
               {3, CompareAnswer::kUseNew}};
  for (const auto& c : cases) {
    b.addin.QueueCompareAnswer(c.caption);
    EXPECT_EQ(ShowCompDupUserFormDLL(b.state, u"UseNew"), c.answer) << c.caption;
    EXPECT_EQ(b.state.compare.CompareStep, CompareStage::kIdle) << "the answer is no stage";
  }
}

TEST_F(CallbacksTest, QueryFormPairPassesTheOffsetsBackNegated) {
  ShowQueryUserForm(b.state);
  auto shows = b.addin.CallsOf(u"MainUserFormHideOffsetShow");
  auto hides = b.addin.CallsOf(u"MainUserFormShowOffsetHide");
  ASSERT_EQ(shows.size(), 1u);
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(shows[0].args, (std::vector<Variant>{Variant(u"QueryUserForm"), 25, -10, 1}));
  EXPECT_EQ(hides[0].args, (std::vector<Variant>{Variant(u"QueryUserForm"), -25, 10, 2}));

  // The host may move the form: the second macro gets the values it left, negated.
  b.addin.ClearLog();
  b.addin.SetHook(u"QueryUserFormOffsetShow", [](std::span<Variant> args) {
    args[1] = 80;
    args[2] = 3;
  });
  b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  ShowQueryEndUserForm(b.state);
  hides = b.addin.CallsOf(u"QueryUserFormOffsetHide");
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(hides[0].args, (std::vector<Variant>{Variant(u"QueryEndUserForm"), -80, -3, 2}));
  EXPECT_EQ(b.app->Cursor(), xl::xlDefault);
}

TEST_F(CallbacksTest, MainFormVisibilityIsTrueOnlyForTheExactCaption) {
  b.addin.SetShown(u"MainUserForm", true);
  EXPECT_TRUE(RememberIfMainUserformVisibleDLL(b.state));
  b.addin.SetShown(u"MainUserForm", false);
  EXPECT_FALSE(RememberIfMainUserformVisibleDLL(b.state));
  // A host that answers in another letter case is not read as visible.
  b.app->SetMacroRunner([this](TextView, std::span<Variant>) {
    Response().SetCaption(u"true");
    return Variant();
  });
  EXPECT_FALSE(RememberIfMainUserformVisibleDLL(b.state));
}

TEST_F(CallbacksTest, MainFormShowAndHide) {
  b.app->SetCursor(xl::xlWait);
  b.addin.SetHook(u"ShowMainUserForm", [this](std::span<Variant>) { cursorInMacro = b.app->Cursor(); });
  ShowMainUserFormDLL(b.state);
  EXPECT_EQ(cursorInMacro, xl::xlDefault) << "the default cursor before the form shows";
  EXPECT_TRUE(b.addin.IsShown(u"MainUserForm"));

  b.services.clock.Advance(9);
  HideMainUserForm(b.state);
  const auto hides = b.addin.CallsOf(u"UserformHide");
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(hides[0].args, std::vector<Variant>{Variant(u"MainUserForm")});
  EXPECT_FALSE(b.addin.IsShown(u"MainUserForm"));
  EXPECT_EQ(b.state.request.progress.ProgressTimer, b.services.clock.MonotonicSeconds());
}

TEST_F(CallbacksTest, TextBoxActivationMovesTheActiveWindow) {
  TextBox2Activate(b.state);
  EXPECT_EQ(b.state.request.ActiveWndw->Name(), u"TextBox2");
  TextBox1Activate(b.state);
  EXPECT_EQ(b.state.request.ActiveWndw->Name(), u"TextBox1");
}

TEST_F(CallbacksTest, AMissingMacroFailsWithTheTrail) {
  b.app->SetMacroRunner([](TextView, std::span<Variant>) -> Variant {
    Raise(err::kApplication, "Cannot run the macro", "Quillary.xlam");
  });
  const Error e = check::ExpectRaises([&] { QueryUserFormCaptionDLL(b.state); }, err::kApplication);
  EXPECT_EQ(e.Source(), "QueryUserFormCaptionDLL: Quillary.xlam");
}

TEST(MessageTitles, CleanModeAndTitle) {
  testkit::Bench b;
  const struct {
    const char16_t* mode;
    const char16_t* title;
  } cases[] = {
      {u"Null", u"(  ): Headline"},
      {u"Paste_V", u"( Paste V ): Headline"},
      {u"Hyperlink|| Extract", u"( Hyperlink:Extract ): Headline"},
      {u"REDUCE Rows to One", u"( REDUCE Rows to One ): Headline"},
      {u"Null_Mode", u"(  Mode ): Headline"},
  };
  for (const auto& c : cases) {
    b.BeginRequest(c.mode);
    EXPECT_EQ(MsgTitle(b.state, u"Headline"), c.title) << ToUtf8(c.mode);
  }
}

TEST(ProgressPosition, WindowMovesFrom22To2) {
  const struct {
    std::int64_t done, total;
    int position;
  } cases[] = {{0, 100, 22},  {4, 100, 22}, {5, 100, 21},
               {50, 100, 12}, {99, 100, 3}, {100, 100, 2},
               {150, 100, 2}, {1, 0, 2},    {3'000'000'000LL, 4'000'000'000LL, 7}};
  for (const auto& c : cases) EXPECT_EQ(ProgressBar::Position(c.done, c.total), c.position) << c.done << "/" << c.total;
  EXPECT_EQ(ProgressBar::BarText(u" Collect Progress: ", 22),
            u" Collect Progress: O@@@@@@@@@@@@@@@@@@@    Press the Ctrl key to Abort.");
  EXPECT_EQ(ProgressBar::BarText(u" X: ", 12), u" X: OOOOOOOOOOO@@@@@@@@@    Press the Ctrl key to Abort.");
  EXPECT_EQ(ProgressBar::BarText(u" X: ", 2), u" X: OOOOOOOOOOOOOOOOOOOO    Press the Ctrl key to Abort.");
}

class ProgressTest : public CallbacksTest {
 protected:
  // Runs a loop of `total` elements taking `seconds` in all; returns the elements done.
  int Loop(int total, double seconds, const char16_t* caption = u" Collect Progress: ") {
    ProgressBar bar(b.state, caption);
    for (int i = 0; i < total; ++i) {
      if (!bar.Step(i, total)) return i;
      statusTexts.push_back(b.app->StatusBar().IsText() ? b.app->StatusBar().AsText() : Text());
      b.services.clock.Advance(seconds / total);
    }
    return total;
  }
  std::vector<Text> statusTexts;
};

TEST_F(ProgressTest, BarAppearsOnlyAfterThreeSecondsOfWork) {
  b.app->SetDisplayStatusBar(false);
  EXPECT_EQ(Loop(100, 5), 100);
  // 3 seconds are 60 elements; the bar is switched on at the next poll after that and
  // written from the next window move on.
  for (int i = 0; i <= 60; ++i) EXPECT_EQ(statusTexts[i], u"") << i;
  EXPECT_TRUE(b.state.request.progress.ProgressShown);
  EXPECT_TRUE(b.app->DisplayStatusBar());
  EXPECT_EQ(statusTexts.back(), u" Collect Progress: OOOOOOOOOOOOOOOOOOOO    Press the Ctrl key to Abort.");
  // Each window position polled the break key once (22 down to 3), and one refresh came
  // from a second passing while the window stood still.
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 21u);
}

TEST_F(ProgressTest, ShortWorkShowsNothing) {
  EXPECT_EQ(Loop(1000, 2.5), 1000);
  EXPECT_FALSE(b.state.request.progress.ProgressShown);
  EXPECT_FALSE(b.app->StatusBar().IsText());
}

TEST_F(ProgressTest, BreakKeyStopsTheLoopAtOnce) {
  // No break at the first poll, a break at the second.
  b.addin.QueueBreakAnswer(u"NoBreak");
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Loop(100, 1), 5);
  EXPECT_TRUE(b.state.request.progress.UserAbort);
}

// Each move of the window polls the break key once, whether the steps go forward, go
// back or are counted against another total.
TEST_F(ProgressTest, EveryMoveOfTheWindowPollsOnce) {
  ProgressBar bar(b.state, u" X: ");
  b.addin.ClearLog();
  for (int i = 0; i < 1000; ++i) bar.Step(i, 1000);  // 22 down to 3
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 20u);
  bar.Step(0, 1000);   // back to 22
  bar.Step(10, 100);   // 20
  bar.Step(10, 1000);  // 22 again
  bar.Step(11, 1000);
  bar.Step(999, 1000);   // 3
  bar.Step(1000, 1000);  // 2, the end
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 25u);
}

TEST_F(ProgressTest, OnceShownTheBarIsRefreshedEverySecondAndPolls) {
  ProgressBar bar(b.state, u" Slow: ");
  b.services.clock.Advance(4);
  bar.Step(0, 1000);  // first poll, turns the display on
  ASSERT_TRUE(b.state.request.progress.ProgressShown);
  b.addin.ClearLog();
  // The window stays at 22 for the first 50 elements; a step more than one second after
  // the last refresh refreshes and polls again: with a step each half second, every
  // third step (elements 1, 4, ..., 37).
  for (int i = 1; i < 40; ++i) {
    b.services.clock.Advance(0.5);
    bar.Step(i, 1000);
  }
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 13u);
  EXPECT_EQ(b.app->StatusBar(), Variant(ProgressBar::BarText(u" Slow: ", 22)));
}

TEST_F(ProgressTest, WithoutTextTheBarStillPollsAndTimes) {
  b.app->SetStatusBar(u"someone else's");
  ProgressBar bar(b.state, u" Quiet: ");
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(bar.Step(i, 100, false));
    b.services.clock.Advance(0.05);
  }
  EXPECT_TRUE(b.state.request.progress.ProgressShown);
  EXPECT_EQ(b.app->StatusBar(), Variant(u"someone else's"));
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 21u);
}

TEST_F(ProgressTest, AnErrorOfTheHostCarriesTheTrail) {
  b.app->SetMacroRunner([](TextView, std::span<Variant>) -> Variant { Raise(err::kApplication, "gone", "Host"); });
  ProgressBar bar(b.state, u" X: ");
  const Error e = check::ExpectRaises([&] { bar.Step(0, 10); }, err::kApplication);
  EXPECT_EQ(e.Source(), "ProgressBar: ChkBreakKey: Host");
}

TEST_F(ProgressTest, ProgressGoesOnAcrossMidnight) {
  b.services.clock.SetSecondsSinceMidnight(86398);
  b.BeginRequest();
  ProgressBar bar(b.state, u" Night: ");
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(bar.Step(i, 100));
    b.services.clock.Advance(0.1);  // wraps past midnight after 20 elements
  }
  EXPECT_TRUE(b.state.request.progress.ProgressShown);
  EXPECT_TRUE(b.app->StatusBar().IsText());
}

}  // namespace
}  // namespace quillary::host
