#include "platform/addin/scripted_host.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::addin {

namespace {

constexpr long kWrongArgumentCount = 450;  // Wrong number of arguments or invalid property assignment
constexpr TextView kMainForm = u"MainUserForm";

Text NumberCaption(int n) { return T(std::to_string(n)); }

// The buttons of a message style's button set (style & 15), by their answer codes.
std::span<const int> ButtonsOf(long style) {
  static constexpr std::array<int, 1> kOk{1};
  static constexpr std::array<int, 2> kOkCancel{1, 2};
  static constexpr std::array<int, 3> kAbortRetryIgnore{3, 4, 5};
  static constexpr std::array<int, 3> kYesNoCancel{6, 7, 2};
  static constexpr std::array<int, 2> kYesNo{6, 7};
  static constexpr std::array<int, 2> kRetryCancel{4, 2};
  switch (style & 15) {
    case 0: return kOk;
    case 1: return kOkCancel;
    case 2: return kAbortRetryIgnore;
    case 3: return kYesNoCancel;
    case 4: return kYesNo;
    case 5: return kRetryCancel;
    default: Raise(err::kInvalidCall, "Invalid procedure call or argument");
  }
}

}  // namespace

// One host macro: its name as the host spells it, its parameters ('s' a String, 'n' a
// number) and what it does before and after its hook runs (either may be missing).
struct ScriptedHost::Macro {
  TextView name;
  std::string_view params;
  void (ScriptedHost::*before)(std::span<Variant>);
  void (ScriptedHost::*after)(std::span<Variant>);
};

const ScriptedHost::Macro* ScriptedHost::FindMacro(TextView name) {
  using H = ScriptedHost;
  static const std::array<Macro, 17> kMacros{{
      {u"ExcelMsgBox", "sn", nullptr, &H::MessageAnswer},
      {u"vbaBreakKey", "", nullptr, &H::BreakAnswer},
      {u"ShowBigMsgForm", "", &H::OpenBigMsg, &H::BigMsgAnswer},
      {u"ShowCompDupUserForm", "s", &H::OpenCompare, &H::CompareAnswer},
      {u"ShowMainUserForm", "", nullptr, &H::ShowMainForm},
      {u"UserformHide", "s", nullptr, &H::HideForm},
      {u"MainUserFormHideOffsetShow", "snnn", &H::HideMainShowForm, &H::HideForm},
      {u"MainUserFormShowOffsetHide", "snnn", nullptr, &H::ShowMainForm},
      {u"QueryUserFormOffsetShow", "snnn", &H::ShowForm, &H::CloseShownForm},
      {u"QueryUserFormOffsetHide", "snnn", nullptr, nullptr},
      {u"QueryUserFormCaption", "", nullptr, nullptr},
      {u"RememberIfMainUserformVisible", "", nullptr, &H::RememberMainFormVisible},
      {u"TextBox1_Activate", "", nullptr, &H::ActivateTextBox1},
      {u"TextBox2_Activate", "", nullptr, &H::ActivateTextBox2},
      {u"PutCbarCnt", "s", nullptr, &H::PutCount},
      {u"PutCbarCntNull", "", nullptr, &H::ClearCount},
      {u"Split_ab_SameSetting", "", nullptr, nullptr},
  }};
  auto it = std::find_if(kMacros.begin(), kMacros.end(),
                         [&](const Macro& m) { return text_order::EqualNoCase(m.name, name); });
  return it == kMacros.end() ? nullptr : &*it;
}

ScriptedHost::ScriptedHost(forms::HostForms forms, Text workbookName)
    : forms_(forms), workbookName_(std::move(workbookName)), shown_{Text(kMainForm)} {
  for (const forms::UserForm* form : AllForms()) {
    if (form == nullptr) Raise(err::kObjectNotSet, "Object variable not set");
  }
}

std::array<const forms::UserForm*, 10> ScriptedHost::AllForms() const {
  return {forms_.bigMsg,       forms_.compDupUser, forms_.lastWordFirstFilter, forms_.mainUser,
          forms_.queryEndUser, forms_.queryUser,   forms_.wrapTextFirm,        forms_.mailBox,
          forms_.parse,        forms_.tools};
}

Variant ScriptedHost::Run(TextView qualifiedMacro, std::span<Variant> args) {
  const auto bang = qualifiedMacro.rfind(u'!');
  const Macro* macro = nullptr;
  if (bang != TextView::npos && text_order::EqualNoCase(qualifiedMacro.substr(0, bang), workbookName_)) {
    macro = FindMacro(qualifiedMacro.substr(bang + 1));
  }
  if (macro == nullptr) {
    Raise(err::kApplication, "Cannot run the macro '" + ToUtf8(qualifiedMacro) +
                                 "'. The macro may not be available in this workbook or all macros may be disabled.");
  }
  if (args.size() != macro->params.size()) {
    Raise(kWrongArgumentCount, "Wrong number of arguments or invalid property assignment");
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (macro->params[i] == 's' ? !args[i].IsText() : !args[i].IsNumber()) {
      Raise(err::kTypeMismatch, "Type mismatch");
    }
  }
  calls_.push_back({Text(macro->name), std::vector<Variant>(args.begin(), args.end())});
  if (macro->before != nullptr) (this->*macro->before)(args);
  RunHook(*macro, args);
  if (macro->after != nullptr) (this->*macro->after)(args);
  return Variant();
}

MacroRunner ScriptedHost::Runner() {
  return [this](TextView qualifiedMacro, std::span<Variant> args) { return Run(qualifiedMacro, args); };
}

void ScriptedHost::QueueMessageAnswer(int buttonCode) {
  replies_[Reply::Message].push_back({NumberCaption(buttonCode), buttonCode});
}
void ScriptedHost::QueueBreakAnswer(Text reply) { QueueReply(Reply::BreakKey, std::move(reply)); }
void ScriptedHost::QueueBigMsgAnswer(int answer) { QueueReply(Reply::BigMsg, NumberCaption(answer)); }
void ScriptedHost::QueueCompareAnswer(int answer) { QueueReply(Reply::Compare, NumberCaption(answer)); }
void ScriptedHost::QueueQueryEndAnswer(int answer) { QueueReply(Reply::QueryEnd, NumberCaption(answer)); }
void ScriptedHost::QueueReply(Reply kind, Text caption) {
  replies_[kind].push_back({std::move(caption), std::nullopt});
}

std::size_t ScriptedHost::Pending(Reply kind) const {
  auto it = replies_.find(kind);
  return it == replies_.end() ? 0 : it->second.size();
}

void ScriptedHost::QueueHook(TextView macro, Hook hook) {
  const Macro* m = FindMacro(macro);
  if (m == nullptr) Raise(err::kInvalidCall, "No host macro " + ToUtf8(macro));
  queuedHooks_[text_order::Fold(m->name)].push_back(std::move(hook));
}

void ScriptedHost::SetHook(TextView macro, Hook hook) {
  const Macro* m = FindMacro(macro);
  if (m == nullptr) Raise(err::kInvalidCall, "No host macro " + ToUtf8(macro));
  hooks_[text_order::Fold(m->name)] = std::move(hook);
}

void ScriptedHost::RunHook(const Macro& macro, std::span<Variant> args) {
  // The hook is taken out (or copied) before it runs: it may call Run again, or queue
  // and replace hooks.
  const Text key = text_order::Fold(macro.name);
  Hook hook;
  if (auto q = queuedHooks_.find(key); q != queuedHooks_.end() && !q->second.empty()) {
    hook = std::move(q->second.front());
    q->second.pop_front();
  } else if (auto h = hooks_.find(key); h != hooks_.end()) {
    hook = h->second;
  }
  if (hook) hook(args);
}

void ScriptedHost::CheckFormName(TextView formName) const {
  for (const forms::UserForm* form : AllForms()) {
    if (form->Name() == formName) return;
  }
  Raise(err::kInvalidCall, "No host form " + ToUtf8(formName));
}

bool ScriptedHost::IsShown(TextView formName) const { return shown_.contains(Text(formName)); }

void ScriptedHost::SetShown(TextView formName, bool shown) {
  CheckFormName(formName);
  if (shown) {
    shown_.emplace(formName);
  } else {
    shown_.erase(Text(formName));
  }
}

std::vector<MacroCall> ScriptedHost::CallsOf(TextView macro) const {
  std::vector<MacroCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
               [&](const MacroCall& c) { return text_order::EqualNoCase(c.macro, macro); });
  return out;
}

std::vector<Message> ScriptedHost::Messages() const {
  std::vector<Message> out;
  for (const MacroCall& c : CallsOf(u"ExcelMsgBox")) {
    out.push_back({c.args[0].AsText(), static_cast<long>(c.args[1].AsNumber())});
  }
  return out;
}

int ScriptedHost::DefaultButton(long style) {
  const auto buttons = ButtonsOf(style);
  const auto index = static_cast<std::size_t>((style >> 8) & 3);
  return index < buttons.size() ? buttons[index] : buttons[0];
}

Text ScriptedHost::TakeAnswer(const AnswerRequest& request, Text fallback) {
  if (auto q = replies_.find(request.kind); q != replies_.end() && !q->second.empty()) {
    QueuedReply reply = std::move(q->second.front());
    q->second.pop_front();
    if (reply.button) {
      const auto buttons = ButtonsOf(request.style);
      if (std::find(buttons.begin(), buttons.end(), *reply.button) == buttons.end()) {
        Raise(err::kApplication, "Answer " + std::to_string(*reply.button) + " is no button of message style " +
                                     std::to_string(request.style) + ": " + ToUtf8(request.prompt));
      }
    }
    return std::move(reply.caption);
  }
  if (provider_) {
    if (auto answer = provider_(request)) return std::move(*answer);
  }
  if (strict_ && request.kind != Reply::BreakKey) {
    static constexpr std::array<const char*, 5> kWhat{"message", "break key", "big message", "compare dialog",
                                                      "end-of-pass dialog"};
    Raise(err::kApplication, std::string("No answer for the ") + kWhat[static_cast<std::size_t>(request.kind)] +
                                 " (style " + std::to_string(request.style) + "): " + ToUtf8(request.prompt));
  }
  return fallback;
}

forms::Control& ScriptedHost::Response() { return forms_.mailBox->Item(u"Response"); }

void ScriptedHost::MessageAnswer(std::span<Variant> args) {
  const long style = static_cast<long>(args[1].AsNumber());
  const AnswerRequest request{Reply::Message, args[0].AsText(), style, {}};
  Response().SetCaption(TakeAnswer(request, NumberCaption(DefaultButton(style))));
}

void ScriptedHost::BreakAnswer(std::span<Variant>) {
  Response().SetCaption(TakeAnswer(AnswerRequest{Reply::BreakKey, {}, 0, {}}, u"NoBreak"));
}

void ScriptedHost::OpenBigMsg(std::span<Variant>) { SetShown(forms_.bigMsg->Name(), true); }

void ScriptedHost::BigMsgAnswer(std::span<Variant>) {
  const AnswerRequest request{Reply::BigMsg, forms_.bigMsg->Item(u"Textbox1").Text(), 0, {}};
  forms_.bigMsg->Item(u"Answer").SetCaption(TakeAnswer(request, u"1"));
  SetShown(forms_.bigMsg->Name(), false);
}

void ScriptedHost::OpenCompare(std::span<Variant> args) {
  forms_.compDupUser->Item(args[0].AsText()).SetDefault(true);
  SetShown(forms_.compDupUser->Name(), true);
}

void ScriptedHost::CompareAnswer(std::span<Variant> args) {
  const Text& button = args[0].AsText();
  const AnswerRequest request{Reply::Compare, forms_.compDupUser->Item(u"Textbox1").Text(), 0, button};
  const Text fallback = text_order::EqualNoCase(button, u"UseNew")         ? u"1"
                        : text_order::EqualNoCase(button, u"UseCollected") ? u"2"
                                                                           : u"0";
  forms_.compDupUser->Item(u"Answer").SetCaption(TakeAnswer(request, fallback));
  SetShown(forms_.compDupUser->Name(), false);
}

void ScriptedHost::ShowMainForm(std::span<Variant>) { SetShown(kMainForm, true); }

void ScriptedHost::HideForm(std::span<Variant> args) { SetShown(args[0].AsText(), false); }

void ScriptedHost::HideMainShowForm(std::span<Variant> args) {
  SetShown(kMainForm, false);
  SetShown(args[0].AsText(), true);
}

void ScriptedHost::ShowForm(std::span<Variant> args) { SetShown(args[0].AsText(), true); }

// The end-of-pass dialog tells the Query form which button closed it: the Query form's
// DiffDupsButton is its default button after Different, and not after Repeat.
void ScriptedHost::CloseShownForm(std::span<Variant> args) {
  if (args[0].AsText() == forms_.queryEndUser->Name()) {
    const bool differentIsDefault = forms_.queryEndUser->Item(u"DifferentButton").Default();
    const AnswerRequest request{Reply::QueryEnd, forms_.queryUser->Item(u"Textbox1").Text(), 0,
                                differentIsDefault ? u"DifferentButton" : u"RepeatButton"};
    const Text fallback = NumberCaption(differentIsDefault ? kQueryEndDifferent : kQueryEndRepeat);
    const bool different = TakeAnswer(request, fallback) == NumberCaption(kQueryEndDifferent);
    forms_.queryUser->Item(u"DiffDupsButton").SetDefault(different);
  }
  HideForm(args);
}

void ScriptedHost::RememberMainFormVisible(std::span<Variant>) {
  Response().SetCaption(IsShown(kMainForm) ? u"True" : u"False");
}

void ScriptedHost::ActivateTextBox1(std::span<Variant>) {
  forms_.mainUser->Item(u"TextBox1").SetBackColor(forms::kActiveWindowColour);
  forms_.mainUser->Item(u"TextBox2").SetBackColor(forms::kInactiveWindowColour);
}

void ScriptedHost::ActivateTextBox2(std::span<Variant>) {
  forms_.mainUser->Item(u"TextBox2").SetBackColor(forms::kActiveWindowColour);
  forms_.mainUser->Item(u"TextBox1").SetBackColor(forms::kInactiveWindowColour);
}

void ScriptedHost::PutCount(std::span<Variant> args) { commandBarCount_ = args[0].AsText(); }

void ScriptedHost::ClearCount(std::span<Variant>) { commandBarCount_.reset(); }

}  // namespace quillary::addin
