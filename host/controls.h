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

// One control: the form's place among the ten forms of a request, the control's name,
// its kind and its first caption.
using ControlId = forms::ControlRow;

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

using Kind = forms::ControlKind;

namespace main {
inline constexpr auto kForm = &forms::HostForms::mainUser;
// Ticked: IgnoreIndex# (Items are plain texts); clear: CountIndex#.
inline constexpr ControlId kIgnoreIndex{kForm, u"CheckBox1", Kind::CheckBox};
// ExpandRanges: one Item per index number of a range (compared with False).
inline constexpr ControlId kExpandRanges{kForm, u"checkbox2", Kind::CheckBox};
// Sort (in IgnoreIndex#): sort and list duplicates.
inline constexpr ControlId kSort{kForm, u"CheckBox3", Kind::CheckBox};
// Tag duplicates; its caption is quoted in messages, and it triggers JoinCells.
inline constexpr ControlId kTagDuplicates{kForm, u"CheckBox4", Kind::CheckBox, u"Dups:Tag & Rprt"};
// MatchCase for finding and sorting long Items.
inline constexpr ControlId kMatchCase{kForm, u"CheckBox5", Kind::CheckBox};
// The PasteType: its caption reads "Items" or "Count".
inline constexpr ControlId kPasteType{kForm, u"CheckBox6", Kind::CheckBox, u"Items"};
// A notice flag for the host: set True when a label below has something to say.
inline constexpr ControlId kNotice{kForm, u"CheckBox8", Kind::CheckBox};
// ", " between Items in CountIndex# (else ",").
inline constexpr ControlId kCommaSpace{kForm, u"CheckBox9", Kind::CheckBox};
// The two text windows; the Active Window is one of them.
inline constexpr ControlId kTextbox1{kForm, u"TextBox1", Kind::TextBox};
inline constexpr ControlId kTextbox2{kForm, u"TextBox2", Kind::TextBox};
// The count caption ("... = 1,234") or the fault text.
inline constexpr ControlId kCountLabel{kForm, u"Label2", Kind::Label};
// The message line and the character-count line below the windows.
inline constexpr ControlId kMessageLabel{kForm, u"label10", Kind::Label};
inline constexpr ControlId kCharactersLabel{kForm, u"Label11", Kind::Label};
// The divider between the two windows and the markers over them (split layouts).
inline constexpr ControlId kDivider{kForm, u"Label12", Kind::Label};
inline constexpr ControlId kLabel13{kForm, u"Label13", Kind::Label};
inline constexpr ControlId kLabel14{kForm, u"Label14", Kind::Label};
inline constexpr ControlId kLabel15{kForm, u"Label15", Kind::Label};
// The frame that holds the two windows.
inline constexpr ControlId kWindowsFrame{kForm, u"Frame2", Kind::Frame};
// The Action list.
inline constexpr ControlId kActionList{kForm, u"ComboBox1", Kind::ComboBox};
inline constexpr ControlId kGetTryButton{kForm, u"GetTry_Button", Kind::CommandButton, u"Get/Try"};
}  // namespace main

namespace mail {
inline constexpr auto kForm = &forms::HostForms::mailBox;
// The reply channel: message answers, the break key, "True"/"False", "0"/"1".
inline constexpr ControlId kResponse{kForm, u"Response", Kind::Label};
// Enabled: an unattended run (ask no questions).
inline constexpr ControlId kSkipMenu{kForm, u"SkipMenu", Kind::Label};
// Enabled: the screen-updating wish.
inline constexpr ControlId kOnScreenX{kForm, u"OnScreenX", Kind::Label};
// The mode to return to while one action runs another.
inline constexpr ControlId kModeHold{kForm, u"ModeHold", Kind::Label};
// The name of the result sheet being made.
inline constexpr ControlId kResultSheet{kForm, u"shtDiffRpt", Kind::Label};
inline constexpr ControlId kWindowsMatch{kForm, u"QuillaryWndwsMatch", Kind::Label};
inline constexpr ControlId kOldStatusBar{kForm, u"OldStatusBar", Kind::Label};
inline constexpr ControlId kMessage{kForm, u"Message", Kind::Label};
}  // namespace mail

namespace bigmsg {
inline constexpr auto kForm = &forms::HostForms::bigMsg;
inline constexpr ControlId kText{kForm, u"Textbox1", Kind::TextBox};
inline constexpr ControlId kOkButton{kForm, u"OK_Button", Kind::CommandButton, u"OK"};
inline constexpr ControlId kOptionButton{kForm, u"Option_Button", Kind::CommandButton, u"Option"};
inline constexpr ControlId kOptionButton2{kForm, u"Option_Button2", Kind::CommandButton};
// 0 cancelled, 1 OK_Button, 2 Option_Button, 3 Option_Button2.
inline constexpr ControlId kAnswer{kForm, u"Answer", Kind::Label};
}  // namespace bigmsg

namespace compdup {
inline constexpr auto kForm = &forms::HostForms::compDupUser;
// 0 cancel, 1 use new, 2 use collected.
inline constexpr ControlId kAnswer{kForm, u"Answer", Kind::Label};
inline constexpr ControlId kUseNew{kForm, u"UseNew", Kind::CommandButton, u"OK"};
inline constexpr ControlId kUseCollected{kForm, u"UseCollected", Kind::CommandButton, u"Use Collected"};
inline constexpr ControlId kCloseButton{kForm, u"CloseButton", Kind::CommandButton, u"Close"};
inline constexpr ControlId kText{kForm, u"Textbox1", Kind::TextBox};
inline constexpr ControlId kColourFrame{kForm, u"Frame1", Kind::Frame};
// JoinCells: the cells of an area are joined into one text before gathering.
inline constexpr ControlId kJoinCells{kForm, u"JoinCells", Kind::CheckBox, u"Compare Each Row as a Single Item"};
inline constexpr ControlId kSummaryYes{kForm, u"SummaryYes", Kind::OptionButton, u"Yes"};
inline constexpr ControlId kSummaryNo{kForm, u"SummaryNo", Kind::OptionButton, u"No"};
inline constexpr ControlId kDisableTags{kForm, u"DisableTags", Kind::CheckBox, u"Disable Tags"};
inline constexpr ControlId kTagAreaProtected{kForm, u"TagAreaProtected", Kind::CheckBox};
inline constexpr ControlId kTagNames{kForm, u"TagNames", Kind::ComboBox};
inline constexpr ControlId kLocatorLabel{kForm, u"LocatorLabel", Kind::CheckBox, u"Locator Label"};
inline constexpr ControlId kListUniques{kForm, u"ListUniques", Kind::CheckBox, u"List All Unique Items"};
inline constexpr ControlId kIdComment{kForm, u"IDcomment", Kind::CheckBox, u"ID Comment"};
inline constexpr ControlId kColorLeftEnable{kForm, u"ColorLeftEnable", Kind::CheckBox};
inline constexpr ControlId kColorRightEnable{kForm, u"ColorRightEnable", Kind::CheckBox};
inline constexpr ControlId kColorLeftSelect{kForm, u"ColorLeftSelect", Kind::Label};
inline constexpr ControlId kColorRightSelect{kForm, u"ColorRightSelect", Kind::Label};
}  // namespace compdup

namespace query {
inline constexpr auto kForm = &forms::HostForms::queryUser;
inline constexpr ControlId kCaption{kForm, u"CaptionLabel", Kind::Label, u"Quillary Query Item"};
inline constexpr ControlId kLabel1{kForm, u"Label1", Kind::Label};
inline constexpr ControlId kLabel2{kForm, u"Label2", Kind::Label};
inline constexpr ControlId kLamp{kForm, u"Label3", Kind::Label};
inline constexpr ControlId kLabel4{kForm, u"Label4", Kind::Label};
inline constexpr ControlId kLabel5{kForm, u"Label5", Kind::Label};
inline constexpr ControlId kLabel6{kForm, u"Label6", Kind::Label};
inline constexpr ControlId kLabel7{kForm, u"Label7", Kind::Label};
inline constexpr ControlId kTextbox1{kForm, u"Textbox1", Kind::TextBox};
inline constexpr ControlId kTextbox2{kForm, u"Textbox2", Kind::TextBox};
inline constexpr ControlId kNextButton{kForm, u"NextButton", Kind::CommandButton, u"Next"};
inline constexpr ControlId kReplaceButton{kForm, u"ReplaceButton", Kind::CommandButton, u"Replace"};
inline constexpr ControlId kDiffDupsButton{kForm, u"DiffDupsButton", Kind::CommandButton, u"Different Name"};
// The frame round kBookmark.
inline constexpr ControlId kBookmarkFrame{kForm, u"Frame1", Kind::Frame};
// Ticked: a bookmark is placed at each hit.
inline constexpr ControlId kBookmark{kForm, u"CheckBox1", Kind::CheckBox};
}  // namespace query

namespace queryend {
inline constexpr auto kForm = &forms::HostForms::queryEndUser;
inline constexpr ControlId kLabel2{kForm, u"Label2", Kind::Label};
inline constexpr ControlId kRepeatButton{kForm, u"RepeatButton", Kind::CommandButton, u"Repeat"};
inline constexpr ControlId kDifferentButton{kForm, u"DifferentButton", Kind::CommandButton, u"Different Name"};
}  // namespace queryend

namespace lastword {
inline constexpr auto kForm = &forms::HostForms::lastWordFirstFilter;
inline constexpr ControlId kRemoveStringsList{kForm, u"RemoveStringsList", Kind::ListBox};
}  // namespace lastword

namespace parse {
inline constexpr auto kForm = &forms::HostForms::parse;
inline constexpr ControlId kScript{kForm, u"ParsingCtrlText", Kind::TextBox};
inline constexpr ControlId kOperandA{kForm, u"atext", Kind::TextBox};
inline constexpr ControlId kOperandB{kForm, u"btext", Kind::TextBox};
inline constexpr ControlId kOperandC{kForm, u"ctext", Kind::TextBox};
inline constexpr ControlId kOperandD{kForm, u"dtext", Kind::TextBox};
inline constexpr ControlId kBarOption{kForm, u"BarOpt", Kind::OptionButton};
inline constexpr ControlId kSemicolonOption{kForm, u"SemicolonOpt", Kind::OptionButton};
inline constexpr ControlId kTabOption{kForm, u"TabOpt", Kind::OptionButton};
inline constexpr ControlId kHideSpaces{kForm, u"HideSpcs", Kind::CheckBox};
inline constexpr ControlId kBolded{kForm, u"Bolded", Kind::Label};
}  // namespace parse

// Every control above, form by form: the list the host's forms are built from.
inline constexpr ControlId kAll[] = {
    bigmsg::kText,
    bigmsg::kOkButton,
    bigmsg::kOptionButton,
    bigmsg::kOptionButton2,
    bigmsg::kAnswer,
    compdup::kAnswer,
    compdup::kUseNew,
    compdup::kUseCollected,
    compdup::kCloseButton,
    compdup::kText,
    compdup::kColourFrame,
    compdup::kJoinCells,
    compdup::kDisableTags,
    compdup::kTagAreaProtected,
    compdup::kLocatorLabel,
    compdup::kListUniques,
    compdup::kIdComment,
    compdup::kColorLeftEnable,
    compdup::kColorRightEnable,
    compdup::kSummaryYes,
    compdup::kSummaryNo,
    compdup::kColorLeftSelect,
    compdup::kColorRightSelect,
    compdup::kTagNames,
    lastword::kRemoveStringsList,
    main::kIgnoreIndex,
    main::kExpandRanges,
    main::kSort,
    main::kTagDuplicates,
    main::kMatchCase,
    main::kPasteType,
    main::kNotice,
    main::kCommaSpace,
    main::kTextbox1,
    main::kTextbox2,
    main::kCountLabel,
    main::kMessageLabel,
    main::kCharactersLabel,
    main::kDivider,
    main::kLabel13,
    main::kLabel14,
    main::kLabel15,
    main::kWindowsFrame,
    main::kActionList,
    main::kGetTryButton,
    queryend::kLabel2,
    queryend::kRepeatButton,
    queryend::kDifferentButton,
    query::kCaption,
    query::kLabel1,
    query::kLabel2,
    query::kLamp,
    query::kLabel4,
    query::kLabel5,
    query::kLabel6,
    query::kLabel7,
    query::kTextbox1,
    query::kTextbox2,
    query::kNextButton,
    query::kReplaceButton,
    query::kDiffDupsButton,
    query::kBookmarkFrame,
    query::kBookmark,
    mail::kResponse,
    mail::kSkipMenu,
    mail::kOnScreenX,
    mail::kModeHold,
    mail::kResultSheet,
    mail::kWindowsMatch,
    mail::kOldStatusBar,
    mail::kMessage,
    parse::kScript,
    parse::kOperandA,
    parse::kOperandB,
    parse::kOperandC,
    parse::kOperandD,
    parse::kBarOption,
    parse::kSemicolonOption,
    parse::kTabOption,
    parse::kHideSpaces,
    parse::kBolded,
};

}  // namespace ctl

}  // namespace quillary::host
