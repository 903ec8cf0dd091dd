// The host forms' controls that the component reads or writes, each named once: the
// form it sits on and its name as the host spells it. Routines reach a control through
// State::Control(ctl::...), never by spelling its name.
//
// The host finds controls by name without regard to case; the names below keep the
// host's own spelling ("checkbox2", "label10"), which is what a control's Name answers.
#pragma once

#include <optional>

#include "platform/forms/forms.h"
#include "platform/runtime/error.h"

namespace quillary::host {

// One control: the form's place among the ten forms of a request, and the control's name.
struct ControlId {
  forms::UserForm* forms::HostForms::*form;
  const char16_t* name;
};

// The control among `forms`. Error 91 when the form is not held (no request is
// running: a Query form event that arrives outside one).
inline forms::Control& ControlOf(const forms::HostForms& forms, const ControlId& id) {
  forms::UserForm* form = forms.*id.form;
  if (form == nullptr) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  return form->Item(id.name);
}

// Puts a control's Enabled flag back as it was when the scope began, however the scope
// ends; with `enabled`, sets it to that for the scope.
class EnabledScope {
 public:
  explicit EnabledScope(forms::Control& control, std::optional<bool> enabled = std::nullopt)
      : control_(control), before_(control.Enabled()) {
    if (enabled) control_.SetEnabled(*enabled);
  }
  ~EnabledScope() {
    try {
      control_.SetEnabled(before_);
    } catch (const Error&) {
      // The form is gone; there is nothing left to restore.
    }
  }
  EnabledScope(const EnabledScope&) = delete;
  EnabledScope& operator=(const EnabledScope&) = delete;

 private:
  forms::Control& control_;
  bool before_;
};

namespace ctl {

namespace main {
inline constexpr auto kForm = &forms::HostForms::mainUser;
// Ticked: IgnoreIndex# (Items are plain texts); clear: CountIndex#.
inline constexpr ControlId kIgnoreIndex{kForm, u"CheckBox1"};
// ExpandRanges: one Item per index number of a range (compared with False).
inline constexpr ControlId kExpandRanges{kForm, u"checkbox2"};
// Sort (in IgnoreIndex#): sort and list duplicates.
inline constexpr ControlId kSort{kForm, u"CheckBox3"};
// Tag duplicates; its caption is quoted in messages, and it triggers JoinCells.
inline constexpr ControlId kTagDuplicates{kForm, u"CheckBox4"};
// MatchCase for finding and sorting long Items.
inline constexpr ControlId kMatchCase{kForm, u"CheckBox5"};
// The PasteType: its caption reads "Items" or "Count".
inline constexpr ControlId kPasteType{kForm, u"CheckBox6"};
// A notice flag for the host: set True when a label below has something to say.
inline constexpr ControlId kNotice{kForm, u"CheckBox8"};
// ", " between Items in CountIndex# (else ",").
inline constexpr ControlId kCommaSpace{kForm, u"CheckBox9"};
// The two text windows; the Active Window is one of them.
inline constexpr ControlId kTextbox1{kForm, u"TextBox1"};
inline constexpr ControlId kTextbox2{kForm, u"TextBox2"};
// The count caption ("... = 1,234") or the fault text.
inline constexpr ControlId kCountLabel{kForm, u"Label2"};
// The message line and the character-count line below the windows.
inline constexpr ControlId kMessageLabel{kForm, u"label10"};
inline constexpr ControlId kCharactersLabel{kForm, u"Label11"};
// The divider between the two windows and the markers over them (split layouts).
inline constexpr ControlId kDivider{kForm, u"Label12"};
inline constexpr ControlId kLabel13{kForm, u"Label13"};
inline constexpr ControlId kLabel14{kForm, u"Label14"};
inline constexpr ControlId kLabel15{kForm, u"Label15"};
// The frame that holds the two windows.
inline constexpr ControlId kWindowsFrame{kForm, u"Frame2"};
// The Action list.
inline constexpr ControlId kActionList{kForm, u"ComboBox1"};
inline constexpr ControlId kGetTryButton{kForm, u"GetTry_Button"};
}  // namespace main

namespace mail {
inline constexpr auto kForm = &forms::HostForms::mailBox;
// The reply channel: message answers, the break key, "True"/"False", "0"/"1".
inline constexpr ControlId kResponse{kForm, u"Response"};
// Enabled: an unattended run (ask no questions).
inline constexpr ControlId kSkipMenu{kForm, u"SkipMenu"};
// Enabled: the screen-updating wish.
inline constexpr ControlId kOnScreenX{kForm, u"OnScreenX"};
// The mode to return to while one action runs another.
inline constexpr ControlId kModeHold{kForm, u"ModeHold"};
// The name of the result sheet being made.
inline constexpr ControlId kResultSheet{kForm, u"shtDiffRpt"};
inline constexpr ControlId kWindowsMatch{kForm, u"QuillaryWndwsMatch"};
inline constexpr ControlId kOldStatusBar{kForm, u"OldStatusBar"};
inline constexpr ControlId kMessage{kForm, u"Message"};
}  // namespace mail

namespace bigmsg {
inline constexpr auto kForm = &forms::HostForms::bigMsg;
inline constexpr ControlId kText{kForm, u"Textbox1"};
inline constexpr ControlId kOkButton{kForm, u"OK_Button"};
inline constexpr ControlId kOptionButton{kForm, u"Option_Button"};
inline constexpr ControlId kOptionButton2{kForm, u"Option_Button2"};
// 0 cancelled, 1 OK_Button, 2 Option_Button, 3 Option_Button2.
inline constexpr ControlId kAnswer{kForm, u"Answer"};
}  // namespace bigmsg

namespace compdup {
inline constexpr auto kForm = &forms::HostForms::compDupUser;
// 0 cancel, 1 use new, 2 use collected.
inline constexpr ControlId kAnswer{kForm, u"Answer"};
inline constexpr ControlId kUseNew{kForm, u"UseNew"};
inline constexpr ControlId kUseCollected{kForm, u"UseCollected"};
inline constexpr ControlId kCloseButton{kForm, u"CloseButton"};
inline constexpr ControlId kText{kForm, u"Textbox1"};
inline constexpr ControlId kColourFrame{kForm, u"Frame1"};
// JoinCells: the cells of an area are joined into one text before gathering.
inline constexpr ControlId kJoinCells{kForm, u"JoinCells"};
inline constexpr ControlId kSummaryYes{kForm, u"SummaryYes"};
inline constexpr ControlId kSummaryNo{kForm, u"SummaryNo"};
inline constexpr ControlId kDisableTags{kForm, u"DisableTags"};
inline constexpr ControlId kTagAreaProtected{kForm, u"TagAreaProtected"};
inline constexpr ControlId kTagNames{kForm, u"TagNames"};
inline constexpr ControlId kLocatorLabel{kForm, u"LocatorLabel"};
inline constexpr ControlId kListUniques{kForm, u"ListUniques"};
inline constexpr ControlId kIdComment{kForm, u"IDcomment"};
inline constexpr ControlId kColorLeftEnable{kForm, u"ColorLeftEnable"};
inline constexpr ControlId kColorRightEnable{kForm, u"ColorRightEnable"};
inline constexpr ControlId kColorLeftSelect{kForm, u"ColorLeftSelect"};
inline constexpr ControlId kColorRightSelect{kForm, u"ColorRightSelect"};
}  // namespace compdup

namespace query {
inline constexpr auto kForm = &forms::HostForms::queryUser;
inline constexpr ControlId kCaption{kForm, u"CaptionLabel"};
inline constexpr ControlId kLabel1{kForm, u"Label1"};
inline constexpr ControlId kLabel2{kForm, u"Label2"};
inline constexpr ControlId kLamp{kForm, u"Label3"};
inline constexpr ControlId kLabel4{kForm, u"Label4"};
inline constexpr ControlId kLabel5{kForm, u"Label5"};
inline constexpr ControlId kLabel6{kForm, u"Label6"};
inline constexpr ControlId kLabel7{kForm, u"Label7"};
inline constexpr ControlId kTextbox1{kForm, u"Textbox1"};
inline constexpr ControlId kTextbox2{kForm, u"Textbox2"};
inline constexpr ControlId kNextButton{kForm, u"NextButton"};
inline constexpr ControlId kReplaceButton{kForm, u"ReplaceButton"};
inline constexpr ControlId kDiffDupsButton{kForm, u"DiffDupsButton"};
// Ticked: a bookmark is placed at each hit.
inline constexpr ControlId kBookmark{kForm, u"CheckBox1"};
}  // namespace query

namespace queryend {
inline constexpr auto kForm = &forms::HostForms::queryEndUser;
inline constexpr ControlId kLabel2{kForm, u"Label2"};
inline constexpr ControlId kRepeatButton{kForm, u"RepeatButton"};
inline constexpr ControlId kDifferentButton{kForm, u"DifferentButton"};
}  // namespace queryend

namespace lastword {
inline constexpr auto kForm = &forms::HostForms::lastWordFirstFilter;
inline constexpr ControlId kRemoveStringsList{kForm, u"RemoveStringsList"};
}  // namespace lastword

namespace parse {
inline constexpr auto kForm = &forms::HostForms::parse;
inline constexpr ControlId kScript{kForm, u"ParsingCtrlText"};
inline constexpr ControlId kOperandA{kForm, u"atext"};
inline constexpr ControlId kOperandB{kForm, u"btext"};
inline constexpr ControlId kOperandC{kForm, u"ctext"};
inline constexpr ControlId kOperandD{kForm, u"dtext"};
inline constexpr ControlId kBarOption{kForm, u"BarOpt"};
inline constexpr ControlId kSemicolonOption{kForm, u"SemicolonOpt"};
inline constexpr ControlId kTabOption{kForm, u"TabOpt"};
inline constexpr ControlId kHideSpaces{kForm, u"HideSpcs"};
inline constexpr ControlId kBolded{kForm, u"Bolded"};
}  // namespace parse

}  // namespace ctl

}  // namespace quillary::host
