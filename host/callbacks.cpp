#include "host/callbacks.h"

#include <cmath>
#include <vector>

#include "host/screen.h"
#include "host/text_replace.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::host {

namespace {

forms::Control& Response(State& s) { return s.Control(ctl::mail::kResponse); }

// The argument list of a macro call, built from values.
template <class... Args>
std::vector<Variant> ArgList(Args&&... args) {
  return std::vector<Variant>{Variant(std::forward<Args>(args))...};
}

// The two-macro show/hide pair of a Query form: the first shows the form modally and
// returns when it closes; the second runs after it with the offsets negated.
void ShowFormPair(State& s, TextView showMacro, TextView hideMacro, TextView formName, int offsetA, int offsetB) {
  s.connection.ExcelApp->SetCursor(xl::xlDefault);
  auto show = ArgList(Text(formName), offsetA, offsetB, 1);
  RunAddinMacro(s, showMacro, show);
  s.connection.ExcelApp->SetCursor(xl::xlDefault);
  const double a = show[1].IsNumber() ? show[1].AsNumber() : offsetA;
  const double b = show[2].IsNumber() ? show[2].AsNumber() : offsetB;
  auto hide = ArgList(Text(formName), vba::CInt(-a), vba::CInt(-b), 2);
  RunAddinMacro(s, hideMacro, hide);
  s.RestartClock();
}

}  // namespace

Variant RunAddinMacro(State& s, TextView macro, std::span<Variant> args) {
  Text qualified = s.connection.ExcelApp->ThisWorkbookName();
  qualified.append(macro);
  return s.connection.ExcelApp->Run(qualified, args);
}

double CaptionNumber(TextView caption) { return vba::Val(caption); }

Text CleanMode(const State& s) {
  Text mode = ReplaceItVal(s.request.vbaMode.Text(), u"_", u" ");
  mode = ReplaceItVal(mode, u"|| ", u":");
  return ReplaceItVal(mode, ModeText(ModeId::kNull), u"");
}

Text MsgTitle(const State& s, TextView headline) {
  Text t = u"( ";
  t += CleanMode(s);
  t += u" ): ";
  t += headline;
  return t;
}

Text TitledWith(TextView mode, TextView headline) {
  Text t = u"( ";
  t += mode;
  t += u" ): ";
  t += headline;
  return t;
}

Text Quoted(TextView text) {
  Text quoted;
  quoted.reserve(text.size() + 2);
  quoted += u'"';
  quoted += text;
  quoted += u'"';
  return quoted;
}

Text Paragraphs(std::initializer_list<TextView> paragraphs) {
  Text out;
  bool first = true;
  for (TextView p : paragraphs) {
    if (!first) out += kParagraph;
    out += p;
    first = false;
  }
  return out;
}

double MsgBoxDLL(State& s, const Text& prompt, long style) {
  return ErrorTrail("MsgBoxDLL", [&] {
    auto args = ArgList(prompt, style);
    RunAddinMacro(s, u"!ExcelMsgBox", args);
    const double answer = CaptionNumber(Response(s).Caption());
    s.RestartClock();
    ScreenRestore(s);
    return answer;
  });
}

void InfoMsg(State& s, std::initializer_list<TextView> paragraphs) {
  MsgBoxDLL(s, MsgTitle(s, Paragraphs(paragraphs)), msgbox::kInformation);
}

void ChkBreakKey(State& s) {
  ErrorTrail("ChkBreakKey", [&] {
    RunAddinMacro(s, u"!vbaBreakKey");
    forms::Control& reply = Response(s);
    if (reply.Caption() == u"NoBreak") return;
    s.MainForm().Repaint();
    if (CaptionNumber(reply.Caption()) == 6) {
      reply.SetCaption(u"Esc");
      s.request.progress.UserAbort = true;
    } else {
      reply.SetCaption(u"");
      s.request.progress.UserAbort = false;
    }
  });
}

void ShowBigMsgFormDLL(State& s) {
  ErrorTrail("ShowBigMsgFormDLL", [&] {
    RunAddinMacro(s, u"!ShowBigMsgForm");
    s.dialogs.BigMsgAnswer = vba::CInt(CaptionNumber(s.Control(ctl::bigmsg::kAnswer).Caption()));
  });
}

int AskBigMsgForm(State& s, const Text& text, TextView okCaption, TextView optionCaption) {
  forms::Control& ok = s.Control(ctl::bigmsg::kOkButton);
  forms::Control& option = s.Control(ctl::bigmsg::kOptionButton);
  ok.SetCaption(okCaption);
  option.SetCaption(optionCaption.empty() ? TextView(u"Option") : optionCaption);
  option.SetVisible(!optionCaption.empty());
  ScreenOn(s);
  s.Control(ctl::bigmsg::kText).SetValue(text);
  ShowBigMsgFormDLL(s);
  ScreenRestore(s);
  ok.SetCaption(u"OK");
  option.SetCaption(u"Option");
  option.SetVisible(false);
  return s.dialogs.BigMsgAnswer;
}

CompareAnswer ShowCompDupUserFormDLL(State& s, const Text& defaultControl) {
  return ErrorTrail("ShowCompDupUserFormDLL", [&] {
    auto args = ArgList(defaultControl);
    RunAddinMacro(s, u"!ShowCompDupUserForm", args);
    s.RestartClock();
    switch (vba::CInt(CaptionNumber(s.Control(ctl::compdup::kAnswer).Caption()))) {
      case 0: return CompareAnswer::kCancel;
      case 2: return CompareAnswer::kUseCollected;
      default: return CompareAnswer::kUseNew;
    }
  });
}

void ShowMainUserFormDLL(State& s) {
  ErrorTrail("ShowMainUserFormDLL", [&] {
    s.connection.ExcelApp->SetCursor(xl::xlDefault);
    RunAddinMacro(s, u"!ShowMainUserForm");
  });
}

void HideMainUserForm(State& s) {
  ErrorTrail("HideMainUserForm", [&] {
    auto args = ArgList(Text(u"MainUserForm"));
    RunAddinMacro(s, u"!UserformHide", args);
    s.RestartClock();
  });
}

void ShowQueryUserForm(State& s) {
  ErrorTrail("ShowQueryUserForm", [&] {
    ShowFormPair(s, u"!MainUserFormHideOffsetShow", u"!MainUserFormShowOffsetHide", u"QueryUserForm", 25, -10);
  });
}

void ShowQueryEndUserForm(State& s) {
  ErrorTrail("ShowQueryEndUserForm", [&] {
    ShowFormPair(s, u"!QueryUserFormOffsetShow", u"!QueryUserFormOffsetHide", u"QueryEndUserForm", 74, 9);
  });
}

void QueryUserFormCaptionDLL(State& s) {
  ErrorTrail("QueryUserFormCaptionDLL", [&] {
    RunAddinMacro(s, u"!QueryUserFormCaption");
    s.RestartClock();
  });
}

bool RememberIfMainUserformVisibleDLL(State& s) {
  return ErrorTrail("RememberIfMainUserformVisibleDLL", [&] {
    RunAddinMacro(s, u"!RememberIfMainUserformVisible");
    return Response(s).Caption() == u"True";
  });
}

void TextBox1Activate(State& s) {
  RunAddinMacro(s, u"!TextBox1_Activate");
  s.request.ActiveWndw = &s.Control(ctl::main::kTextbox1);
}

void TextBox2Activate(State& s) {
  RunAddinMacro(s, u"!TextBox2_Activate");
  s.request.ActiveWndw = &s.Control(ctl::main::kTextbox2);
}

int ProgressBar::Position(std::int64_t done, std::int64_t total) {
  // A total that has gone stale (fewer than the elements done) or is empty would move
  // the window off the bar; keep it on the bar.
  if (total <= 0 || done >= total) return 2;
  if (done <= 0) return 22;
  const auto twentieths = static_cast<int>(std::floor(static_cast<double>(done) / static_cast<double>(total) * 20));
  return 22 - twentieths;
}

Text ProgressBar::BarText(TextView caption, int position) {
  static constexpr char16_t kBar[] = u"OOOOOOOOOOOOOOOOOOOOOO@@@@@@@@@@@@@@@@@@@@@";
  Text t(caption);
  t.append(TextView(kBar).substr(static_cast<size_t>(position - 1), 20));
  t.append(u"    Press the Ctrl key to Abort.");
  return t;
}

bool ProgressBar::Moved(std::int64_t done, std::int64_t total, bool showText) {
  return ErrorTrail("ProgressBar", [&] {
    const bool inRun = total == runTotal_ && done >= runFrom_ && done < runUntil_;
    const int position = inRun ? runPosition_ : Position(done, total);
    // The steps from `done` on that stand at the same position, while no bar is shown:
    // the position falls as the steps go on, so the first that differs is found by
    // halving.
    if (!inRun && !s_.request.progress.ProgressShown && done > 0 && done < total) {
      std::int64_t low = done, high = total;  // Position(low) == position; high is past the run
      while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        (Position(middle, total) == position ? low : high) = middle;
      }
      runTotal_ = total;
      runFrom_ = done;
      runUntil_ = high;
      runPosition_ = position;
    }
    if (position == lastPosition_ && !(s_.request.progress.ProgressShown &&
                                       s_.services.clock.MonotonicSeconds() > s_.request.progress.ProgressTimer + 1)) {
      return true;
    }
    lastPosition_ = position;
    ChkBreakKey(s_);
    if (s_.request.progress.UserAbort) return false;
    if (s_.request.progress.ProgressShown) {
      s_.request.progress.ProgressTimer = s_.services.clock.MonotonicSeconds();
      if (showText) s_.connection.ExcelApp->SetStatusBar(BarText(caption_, position));
    } else if (s_.services.clock.MonotonicSeconds() > s_.request.progress.ProgressTimer + 3) {
      s_.request.progress.ProgressShown = true;
      if (screenAtFirstShow_) ScreenOn(s_);
      s_.connection.ExcelApp->SetDisplayStatusBar(true);
      if (screenAtFirstShow_) ScreenRestore(s_);
    }
    return true;
  });
}

}  // namespace quillary::host
