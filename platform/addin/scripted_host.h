// A scripted stand-in for the host add-in's public macros.
//
// The component reaches the host only through the spreadsheet application's Run with
// "<host workbook>!<macro>" and the macro's arguments, some passed by reference; the
// host answers by writing label captions on its forms. ScriptedHost implements every
// macro the component runs, against the host's forms:
//
//   ExcelMsgBox(prompt, style)        next message answer -> mailBox Response.Caption
//   vbaBreakKey()                     next break answer, else "NoBreak" -> Response.Caption
//   ShowBigMsgForm()                  modal; next big-message answer -> bigMsg Answer.Caption
//   ShowCompDupUserForm(button)       modal; makes `button` the default button; next
//                                     compare answer -> compDupUser Answer.Caption
//   ShowMainUserForm()                shows the main form
//   UserformHide(form)                hides the named form
//   MainUserFormHideOffsetShow(form, a, b, step)  hides the main form, shows `form` modally
//   MainUserFormShowOffsetHide(form, a, b, step)  shows the main form again
//   QueryUserFormOffsetShow(form, a, b, step)     shows `form` modally over the Query form;
//                                     for the end-of-pass dialog (QueryEndUserForm) the
//                                     next query-end answer: Repeat leaves the Query form's
//                                     DiffDupsButton not the default, Different makes it so
//   QueryUserFormOffsetHide(form, a, b, step)     after that form has closed
//   QueryUserFormCaption()            retitles the Query form (nothing to do here)
//   RememberIfMainUserformVisible()   "True"/"False" -> Response.Caption
//   TextBox1_Activate() / TextBox2_Activate()     makes that main-form box the Active
//                                     Window (white BackColor, the other one grey)
//   PutCbarCnt(text) / PutCbarCntNull()           sets / clears the command-bar count
//   Split_ab_SameSetting()            host-side layout (nothing to do here)
//
// Macro and workbook names are matched without regard to case. A call with the wrong
// number of arguments raises Error 450, an argument of the wrong type Error 13.
//
// Answers come, in this order, from the FIFO queue of their kind, from the answer
// provider (when one is set and it gives one), and otherwise from the default: for a
// message the style's default button, for the big message form 1 (OK_Button), for the
// compare dialog the answer of the default button passed to the macro (UseNew 1,
// UseCollected 2, otherwise 0), for the end-of-pass dialog its default button (Repeat
// 1, Different 2), and for the break key "NoBreak". In strict mode an answer other than
// the break key's that nothing supplied raises an Error instead (1004) of taking the
// default, so that a test notices a question it did not expect.
//
// Hooks: a script can run inside any macro, before the macro writes its answer; for the
// modal show macros that is while the form is open, which is where a test or the
// command-line host sends the Query form's events back into the component. A hook may
// change the by-reference arguments (the form offsets) and may itself call Run.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/runtime/value.h"

namespace quillary::addin {

// The signature of the spreadsheet application's macro runner.
using MacroRunner = std::function<Variant(TextView qualifiedMacro, std::span<Variant> args)>;

// The kinds of answer the host gives.
enum class Reply { Message, BreakKey, BigMsg, Compare, QueryEnd };

// The buttons of the end-of-pass dialog (QueryEndUserForm), as query-end answers.
inline constexpr int kQueryEndRepeat = 1;
inline constexpr int kQueryEndDifferent = 2;

// One macro run, as the component called it: the macro's own name as the host spells it
// ("ExcelMsgBox") and a copy of the arguments as they were passed in.
struct MacroCall {
  Text macro;
  std::vector<Variant> args;
};

// One "ExcelMsgBox" call.
struct Message {
  Text prompt;
  long style = 0;
};

// What the answer provider is asked. `prompt` is the message text (Message), the big
// message form's Textbox1 text (BigMsg), the compare dialog's Textbox1 text (Compare) or
// the Query form's search text (QueryEnd); `style` is the message style; `defaultButton`
// is the control name passed to "ShowCompDupUserForm", or the end-of-pass dialog's
// default button ("RepeatButton" or "DifferentButton").
struct AnswerRequest {
  Reply kind = Reply::Message;
  Text prompt;
  long style = 0;
  Text defaultButton;
};

// Gives the caption to write for a request, or nothing to fall back on the default.
using AnswerProvider = std::function<std::optional<Text>(const AnswerRequest&)>;

// Runs inside a macro; `args` are the macro's arguments, changeable when by reference.
using Hook = std::function<void(std::span<Variant> args)>;

class ScriptedHost {
 public:
  // `forms` must name all ten forms (else Error 91) and stay valid while the host is used.
  ScriptedHost(forms::HostForms forms, Text workbookName);
  ScriptedHost(const ScriptedHost&) = delete;
  ScriptedHost& operator=(const ScriptedHost&) = delete;

  // Runs "Book!Macro". A wrong workbook or an unknown macro raises Error 1004.
  // Returns Empty (every host macro is a procedure).
  Variant Run(TextView qualifiedMacro, std::span<Variant> args);

  // A runner that calls Run on this host (which must outlive it).
  MacroRunner Runner();

  const Text& WorkbookName() const { return workbookName_; }

  // Answers. The int forms write the number as the caption; QueueMessageAnswer also
  // checks, when it is used, that the code is a button of the message's style.
  void QueueMessageAnswer(int buttonCode);
  void QueueBreakAnswer(Text reply);
  void QueueBigMsgAnswer(int answer);
  void QueueCompareAnswer(int answer);
  // kQueryEndRepeat or kQueryEndDifferent.
  void QueueQueryEndAnswer(int answer);
  // Any caption, unchecked ("" or "6.0" for a message, say).
  void QueueReply(Reply kind, Text caption);
  std::size_t Pending(Reply kind) const;

  void SetAnswerProvider(AnswerProvider provider) { provider_ = std::move(provider); }
  void SetStrict(bool strict) { strict_ = strict; }

  // Hooks by macro name (without regard to case): queued ones run once each, in order;
  // the standing one runs when none is queued.
  void QueueHook(TextView macro, Hook hook);
  void SetHook(TextView macro, Hook hook);

  // Which of the host's forms are shown, by form name. At first only "MainUserForm".
  bool IsShown(TextView formName) const;
  void SetShown(TextView formName, bool shown);

  // The count text of "PutCbarCnt"; nothing after "PutCbarCntNull" or before any.
  const std::optional<Text>& CommandBarCount() const { return commandBarCount_; }

  // The call log, in the order the calls began (an outer modal call before the calls
  // made inside it).
  const std::vector<MacroCall>& Calls() const { return calls_; }
  std::vector<MacroCall> CallsOf(TextView macro) const;
  std::vector<Message> Messages() const;
  void ClearLog() { calls_.clear(); }

  // The default answer of a message style: the code of its default button.
  static int DefaultButton(long style);

 private:
  struct QueuedReply {
    Text caption;
    std::optional<int> button;  // a message answer to check against the style's buttons
  };
  struct Macro;
  static const Macro* FindMacro(TextView name);

  Text TakeAnswer(const AnswerRequest& request, Text fallback);
  void RunHook(const Macro& macro, std::span<Variant> args);
  std::array<const forms::UserForm*, 10> AllForms() const;
  void CheckFormName(TextView formName) const;
  forms::Control& Response();

  // The parts of the macros: what a macro does before its hook runs (opening its
  // form) and after (answering, closing its form).
  void MessageAnswer(std::span<Variant> args);
  void BreakAnswer(std::span<Variant> args);
  void OpenBigMsg(std::span<Variant> args);
  void BigMsgAnswer(std::span<Variant> args);
  void OpenCompare(std::span<Variant> args);
  void CompareAnswer(std::span<Variant> args);
  void ShowMainForm(std::span<Variant> args);
  void HideForm(std::span<Variant> args);
  void HideMainShowForm(std::span<Variant> args);
  void ShowForm(std::span<Variant> args);
  void CloseShownForm(std::span<Variant> args);
  void RememberMainFormVisible(std::span<Variant> args);
  void ActivateTextBox1(std::span<Variant> args);
  void ActivateTextBox2(std::span<Variant> args);
  void PutCount(std::span<Variant> args);
  void ClearCount(std::span<Variant> args);

  forms::HostForms forms_;
  Text workbookName_;
  std::map<Reply, std::deque<QueuedReply>> replies_;
  AnswerProvider provider_;
  bool strict_ = false;
  std::map<Text, std::deque<Hook>> queuedHooks_;  // by folded macro name
  std::map<Text, Hook> hooks_;                    // by folded macro name
  std::set<Text> shown_;
  std::optional<Text> commandBarCount_;
  std::vector<MacroCall> calls_;
};

}  // namespace quillary::addin
