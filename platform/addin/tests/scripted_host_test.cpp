#include "platform/addin/scripted_host.h"

#include <gtest/gtest.h>

#include <functional>

#include "host/controls.h"
#include "platform/forms/memory/memory_forms.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::addin {
namespace {

using check::ErrorOf;

class ScriptedHostTest : public ::testing::Test {
 protected:
  // Runs "Quillary.xlam!<macro>" and returns the arguments as the macro left them.
  std::vector<Variant> Run(const char16_t* macro, std::vector<Variant> args = {}) {
    host.Run(Text(u"Quillary.xlam!") + macro, args);
    return args;
  }
  Text Message(const char16_t* prompt, long style) {
    Run(u"ExcelMsgBox", {Variant(prompt), Variant(style)});
    return Response();
  }
  Text Response() { return forms.mailBox->Item(u"Response").Caption(); }

  forms::HostFormSet set{host::ctl::kAll};
  forms::HostForms forms = set.Forms();
  ScriptedHost host{forms, u"Quillary.xlam"};
};

TEST_F(ScriptedHostTest, UnansweredMessagesTakeTheStylesDefaultButton) {
  struct Case {
    long style;
    const char16_t* caption;
  };
  for (const Case& c :
       {Case{0, u"1"}, Case{64, u"1"}, Case{1, u"1"}, Case{65, u"1"}, Case{257, u"2"}, Case{4, u"6"}, Case{308, u"7"},
        Case{324, u"7"}, Case{67, u"6"}, Case{323, u"7"}, Case{304, u"1"}, Case{49, u"1"}}) {
    EXPECT_EQ(Message(u"question", c.style), c.caption) << "style " << c.style;
  }
  EXPECT_EQ(ErrorOf([&] { Message(u"q", 6); }), err::kInvalidCall);  // no such button set
}

TEST_F(ScriptedHostTest, QueuedMessageAnswersComeInOrderAndMustBeButtonsOfTheStyle) {
  host.QueueMessageAnswer(7);
  host.QueueMessageAnswer(2);
  host.QueueReply(Reply::Message, u"");
  EXPECT_EQ(host.Pending(Reply::Message), 3u);
  EXPECT_EQ(Message(u"a", 4), u"7");
  EXPECT_EQ(Message(u"b", 67), u"2");
  EXPECT_EQ(Message(u"c", 0), u"");   // raw captions are not checked
  EXPECT_EQ(Message(u"d", 4), u"6");  // queue empty: the default
  EXPECT_EQ(host.Pending(Reply::Message), 0u);

  host.QueueMessageAnswer(6);
  std::string description;
  EXPECT_EQ(ErrorOf([&] { Message(u"Only OK here", 64); }, &description), err::kApplication);
  EXPECT_NE(description.find("Only OK here"), std::string::npos);
}

TEST_F(ScriptedHostTest, StrictModeRaisesOnAnyQuestionNothingAnswers) {
  host.SetStrict(true);
  host.QueueMessageAnswer(1);
  EXPECT_EQ(Message(u"expected", 1), u"1");
  std::string description;
  EXPECT_EQ(ErrorOf([&] { Message(u"( Paste V ): UNEXPECTED", 64); }, &description), err::kApplication);
  EXPECT_NE(description.find("( Paste V ): UNEXPECTED"), std::string::npos);
  EXPECT_EQ(ErrorOf([&] { Run(u"ShowBigMsgForm"); }), err::kApplication);
  EXPECT_EQ(ErrorOf([&] { Run(u"ShowCompDupUserForm", {Variant(u"UseNew")}); }), err::kApplication);
  // The break key is polled, not asked: no answer still means no break.
  Run(u"vbaBreakKey");
  EXPECT_EQ(Response(), u"NoBreak");
}

TEST_F(ScriptedHostTest, BreakKeyRepliesFromTheQueueThenNoBreak) {
  host.QueueBreakAnswer(u"6");
  host.QueueBreakAnswer(u"7");
  for (const char16_t* expected : {u"6", u"7", u"NoBreak", u"NoBreak"}) {
    Run(u"vbaBreakKey");
    EXPECT_EQ(Response(), expected);
  }
}

TEST_F(ScriptedHostTest, BigMessageAnswerGoesToItsAnswerLabelWhileTheFormIsShownModally) {
  bool shownDuringHook = false;
  host.SetHook(u"ShowBigMsgForm", [&](std::span<Variant>) { shownDuringHook = host.IsShown(u"BigMsgForm"); });
  host.QueueBigMsgAnswer(3);
  Run(u"ShowBigMsgForm");
  EXPECT_EQ(forms.bigMsg->Item(u"Answer").Caption(), u"3");
  EXPECT_TRUE(shownDuringHook);
  EXPECT_FALSE(host.IsShown(u"BigMsgForm"));
  Run(u"ShowBigMsgForm");
  EXPECT_EQ(forms.bigMsg->Item(u"Answer").Caption(), u"1");  // OK_Button by default
}

TEST_F(ScriptedHostTest, CompareDialogAnswersWithTheDefaultButtonItWasGiven) {
  struct Case {
    const char16_t* button;
    const char16_t* answer;
  };
  for (const Case& c : {Case{u"UseNew", u"1"}, Case{u"UseCollected", u"2"}, Case{u"CloseButton", u"0"}}) {
    Run(u"ShowCompDupUserForm", {Variant(c.button)});
    EXPECT_EQ(forms.compDupUser->Item(u"Answer").Caption(), c.answer);
    EXPECT_TRUE(forms.compDupUser->Item(c.button).Default());
  }
  EXPECT_FALSE(forms.compDupUser->Item(u"UseNew").Default());
  host.QueueCompareAnswer(2);
  Run(u"ShowCompDupUserForm", {Variant(u"UseNew")});
  EXPECT_EQ(forms.compDupUser->Item(u"Answer").Caption(), u"2");
  EXPECT_EQ(ErrorOf([&] { Run(u"ShowCompDupUserForm", {Variant(u"NoButton")}); }), err::kNoSuchMember);
}

TEST_F(ScriptedHostTest, EndOfPassDialogTellsTheQueryFormWhichButtonClosedIt) {
  forms::Control& diffDups = forms.queryUser->Item(u"DiffDupsButton");
  forms::Control& different = forms.queryEndUser->Item(u"DifferentButton");
  auto showEnd = [&] {
    Run(u"QueryUserFormOffsetShow", {Variant(u"QueryEndUserForm"), Variant(74), Variant(9), Variant(1)});
  };
  // Unanswered, the dialog's default button closes it.
  different.SetDefault(true);
  showEnd();
  EXPECT_TRUE(diffDups.Default());
  forms.queryEndUser->Item(u"RepeatButton").SetDefault(true);
  showEnd();
  EXPECT_FALSE(diffDups.Default());
  EXPECT_FALSE(host.IsShown(u"QueryEndUserForm"));
  // Queued answers come first, whatever the default.
  host.QueueQueryEndAnswer(kQueryEndDifferent);
  showEnd();
  EXPECT_TRUE(diffDups.Default());
  host.QueueQueryEndAnswer(kQueryEndRepeat);
  showEnd();
  EXPECT_FALSE(diffDups.Default());
  // Strict, an unanswered dialog is an error.
  host.SetStrict(true);
  std::string description;
  EXPECT_EQ(ErrorOf(showEnd, &description), err::kApplication);
  EXPECT_NE(description.find("No answer for the end-of-pass dialog"), std::string::npos) << description;
}

TEST_F(ScriptedHostTest, AnswerProviderAnswersAfterTheQueueAndMayDefer) {
  std::vector<AnswerRequest> asked;
  host.SetAnswerProvider([&](const AnswerRequest& r) -> std::optional<Text> {
    asked.push_back(r);
    if (r.kind == Reply::Message && r.prompt == u"defer") return std::nullopt;
    return r.kind == Reply::BreakKey ? Text(u"NoBreak") : Text(u"7");
  });
  host.QueueMessageAnswer(1);
  EXPECT_EQ(Message(u"queued", 1), u"1");
  EXPECT_EQ(Message(u"asked", 4), u"7");
  EXPECT_EQ(Message(u"defer", 4), u"6");
  forms.compDupUser->Item(u"Textbox1").SetText(u"Use which list?");
  Run(u"ShowCompDupUserForm", {Variant(u"UseCollected")});
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].prompt, u"asked");
  EXPECT_EQ(asked[0].style, 4);
  EXPECT_EQ(asked[2].kind, Reply::Compare);
  EXPECT_EQ(asked[2].prompt, u"Use which list?");
  EXPECT_EQ(asked[2].defaultButton, u"UseCollected");
}

TEST_F(ScriptedHostTest, MacroAndWorkbookNamesAreCheckedWithoutRegardToCase) {
  std::vector<Variant> none;
  host.Run(u"QUILLARY.xlam!vbabreakkey", none);
  EXPECT_EQ(Response(), u"NoBreak");
  EXPECT_EQ(host.Calls().back().macro, u"vbaBreakKey");

  for (const char16_t* bad : {u"Other.xlam!vbaBreakKey", u"Quillary.xlam!NoSuchMacro", u"vbaBreakKey", u""}) {
    std::string description;
    EXPECT_EQ(ErrorOf([&] { host.Run(bad, none); }, &description), err::kApplication) << ToUtf8(bad);
    EXPECT_EQ(description, "Cannot run the macro '" + ToUtf8(bad) +
                               "'. The macro may not be available in this workbook or all macros may be disabled.");
  }
  EXPECT_EQ(host.Calls().size(), 1u);
}

TEST_F(ScriptedHostTest, ArgumentsAreCountedAndTyped) {
  EXPECT_EQ(ErrorOf([&] { Run(u"ExcelMsgBox", {Variant(u"prompt")}); }), 450);
  EXPECT_EQ(ErrorOf([&] { Run(u"PutCbarCntNull", {Variant(1)}); }), 450);
  EXPECT_EQ(ErrorOf([&] { Run(u"ExcelMsgBox", {Variant(u"prompt"), Variant(u"64")}); }), err::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] {
              Run(u"MainUserFormHideOffsetShow", {Variant(u"QueryUserForm"), Variant(25), Variant(u"x"), Variant(1)});
            }),
            err::kTypeMismatch);
}

TEST_F(ScriptedHostTest, QueryFormPairRunsEventsWhileModalAndHandsOffsetsBack) {
  std::vector<bool> seen;  // during the modal show: query form shown, main form shown
  host.QueueHook(u"MainUserFormHideOffsetShow", [&](std::span<Variant> args) {
    seen = {host.IsShown(u"QueryUserForm"), host.IsShown(u"MainUserForm")};
    // A Query event that asks a question: the host is re-entered.
    host.QueueMessageAnswer(6);
    Run(u"ExcelMsgBox", {Variant(u"inside"), Variant(4)});
    args[1] = Variant(30);
    args[2] = Variant(-12);
  });
  auto args = Run(u"MainUserFormHideOffsetShow", {Variant(u"QueryUserForm"), Variant(25), Variant(-10), Variant(1)});
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_EQ(args[1], Variant(30));
  EXPECT_EQ(args[2], Variant(-12));
  EXPECT_FALSE(host.IsShown(u"QueryUserForm"));
  EXPECT_FALSE(host.IsShown(u"MainUserForm"));
  EXPECT_EQ(Response(), u"6");

  Run(u"MainUserFormShowOffsetHide", {Variant(u"QueryUserForm"), Variant(-30), Variant(12), Variant(2)});
  EXPECT_TRUE(host.IsShown(u"MainUserForm"));

  // The queued hook ran once; the log holds the outer call before the one made inside it,
  // each with the arguments as passed in.
  Run(u"MainUserFormHideOffsetShow", {Variant(u"QueryUserForm"), Variant(25), Variant(-10), Variant(1)});
  const auto& calls = host.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].macro, u"MainUserFormHideOffsetShow");
  EXPECT_EQ(calls[0].args, (std::vector<Variant>{Variant(u"QueryUserForm"), Variant(25), Variant(-10), Variant(1)}));
  EXPECT_EQ(calls[1].macro, u"ExcelMsgBox");
  EXPECT_EQ(calls[2].args[1], Variant(-30));
  EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(ScriptedHostTest, StandingHookRunsWhenNoneIsQueued) {
  std::vector<int> order;
  host.SetHook(u"QueryUserFormOffsetShow", [&](std::span<Variant>) { order.push_back(0); });
  host.QueueHook(u"queryuserformoffsetshow", [&](std::span<Variant>) { order.push_back(1); });
  for (int i = 0; i < 2; ++i) {
    Run(u"QueryUserFormOffsetShow", {Variant(u"QueryEndUserForm"), Variant(74), Variant(9), Variant(1)});
  }
  EXPECT_EQ(order, (std::vector<int>{1, 0}));
  EXPECT_EQ(ErrorOf([&] { host.SetHook(u"NoSuchMacro", {}); }), err::kInvalidCall);
}

TEST_F(ScriptedHostTest, MainFormVisibilityIsRemembered) {
  Run(u"RememberIfMainUserformVisible");
  EXPECT_EQ(Response(), u"True");
  Run(u"UserformHide", {Variant(u"MainUserForm")});
  Run(u"RememberIfMainUserformVisible");
  EXPECT_EQ(Response(), u"False");
  Run(u"ShowMainUserForm");
  Run(u"RememberIfMainUserformVisible");
  EXPECT_EQ(Response(), u"True");
  EXPECT_EQ(ErrorOf([&] { Run(u"UserformHide", {Variant(u"MainForm")}); }), err::kInvalidCall);
}

TEST_F(ScriptedHostTest, TextBoxActivationMovesTheActiveWindow) {
  auto active = [&](const char16_t* box) {
    return forms.mainUser->Item(box).BackColor() >= forms::kActiveWindowThreshold;
  };
  Run(u"TextBox2_Activate");
  EXPECT_TRUE(active(u"TextBox2"));
  EXPECT_FALSE(active(u"TextBox1"));
  Run(u"TextBox1_Activate");
  EXPECT_TRUE(active(u"TextBox1"));
  EXPECT_FALSE(active(u"TextBox2"));
}

TEST_F(ScriptedHostTest, CommandBarCountIsSetAndCleared) {
  EXPECT_FALSE(host.CommandBarCount().has_value());
  Run(u"PutCbarCnt", {Variant(u"Cnt= 1,234")});
  EXPECT_EQ(host.CommandBarCount(), Text(u"Cnt= 1,234"));
  Run(u"PutCbarCntNull");
  EXPECT_FALSE(host.CommandBarCount().has_value());
}

TEST_F(ScriptedHostTest, NeedsAllTenForms) {
  forms::HostForms partial = forms;
  partial.tools = nullptr;
  EXPECT_EQ(ErrorOf([&] { ScriptedHost incomplete(partial, u"Quillary.xlam"); }), err::kObjectNotSet);
}

TEST_F(ScriptedHostTest, RunnerPlugsIntoAMacroCaller) {
  MacroRunner runner = host.Runner();
  std::vector<Variant> args{Variant(u"Done."), Variant(64)};
  EXPECT_TRUE(runner(u"Quillary.xlam!ExcelMsgBox", args).IsEmpty());
  Run(u"Split_ab_SameSetting");
  Run(u"QueryUserFormCaption");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].prompt, u"Done.");
  EXPECT_EQ(host.Messages()[0].style, 64);
  EXPECT_EQ(host.CallsOf(u"Split_ab_SameSetting").size(), 1u);
  host.ClearLog();
  EXPECT_TRUE(host.Calls().empty());
}

}  // namespace
}  // namespace quillary::addin
