#include "platform/forms/memory/memory_forms.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::forms {

namespace {

constexpr long kWindowWhite = 0xFFFFFF;      // back colour of text, combo and list boxes
constexpr long kButtonFace = 0xE0E0E0;       // back colour of every other control
constexpr long kInvalidPropertyValue = 380;  // Invalid property value
constexpr long kInvalidArrayIndex = 381;     // Invalid property array index

[[noreturn]] void NoSuchMember() { Raise(err::kNoSuchMember, "Object doesn't support this property or method"); }

// Properties beyond those every control has (Name, Enabled, Visible, colours, Left and
// Width), and the kinds that have them.
enum Feature : unsigned {
  kValue = 1u << 0,
  kText = 1u << 1,
  kCaption = 1u << 2,
  kLocked = 1u << 3,
  kTextAlign = 1u << 4,
  kDefault = 1u << 5,
  kSelection = 1u << 6,
  kList = 1u << 7,
  kFocus = 1u << 8,
};

unsigned FeaturesOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: return kValue | kCaption | kLocked | kTextAlign | kFocus;
    case ControlKind::TextBox: return kValue | kText | kLocked | kTextAlign | kSelection | kFocus;
    case ControlKind::ComboBox: return kValue | kText | kLocked | kTextAlign | kSelection | kList | kFocus;
    case ControlKind::ListBox: return kValue | kText | kLocked | kTextAlign | kList | kFocus;
    case ControlKind::Label: return kCaption | kTextAlign;
    case ControlKind::CommandButton: return kCaption | kLocked | kDefault | kFocus;
    case ControlKind::Frame: return kCaption | kFocus;
  }
  return 0;
}

}  // namespace

MemoryControl::MemoryControl(MemoryForm& form, quillary::Text name, ControlKind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {
  switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: value_ = false; break;
    case ControlKind::TextBox:
    case ControlKind::ComboBox: value_ = quillary::Text(); break;
    case ControlKind::ListBox: value_ = Variant::Null(); break;
    default: break;
  }
  const bool edit = kind == ControlKind::TextBox || kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
  backColor_ = edit ? kWindowWhite : kButtonFace;
}

void MemoryControl::Require(unsigned features) const {
  if ((FeaturesOf(kind_) & features) != features) NoSuchMember();
}

Variant MemoryControl::Value() const {
  Require(kValue);
  return value_;
}

void MemoryControl::SetValue(const Variant& value) {
  Require(kValue);
  switch (kind_) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: value_ = value.IsNull() ? value : Variant(vba::CBool(value)); break;
    case ControlKind::ComboBox:
    case ControlKind::ListBox: value_ = value.IsNull() ? value : Variant(vba::CStr(value)); break;
    default:
      value_ = vba::CStr(value);  // a text box holds text; Null raises error 94
      break;
  }
  selStart_ = selLength_ = 0;
}

quillary::Text MemoryControl::Text() const {
  Require(kText);
  return value_.IsNull() ? quillary::Text() : value_.AsText();
}

std::size_t MemoryControl::TextLength() const {
  Require(kText);
  return value_.IsNull() ? 0 : value_.AsText().size();
}

void MemoryControl::SetText(TextView text) {
  Require(kText);
  value_ = quillary::Text(text);
  selStart_ = selLength_ = 0;
}

quillary::Text MemoryControl::Caption() const {
  Require(kCaption);
  return caption_;
}

void MemoryControl::SetCaption(TextView caption) {
  Require(kCaption);
  caption_ = caption;
}

bool MemoryControl::Locked() const {
  Require(kLocked);
  return locked_;
}

void MemoryControl::SetLocked(bool locked) {
  Require(kLocked);
  locked_ = locked;
}

int MemoryControl::TextAlign() const {
  Require(kTextAlign);
  return textAlign_;
}

void MemoryControl::SetTextAlign(int align) {
  Require(kTextAlign);
  if (align < 1 || align > 3) Raise(kInvalidPropertyValue, "Invalid property value");
  textAlign_ = align;
}

bool MemoryControl::Default() const {
  Require(kDefault);
  return default_;
}

void MemoryControl::SetDefault(bool isDefault) {
  Require(kDefault);
  if (isDefault) {
    for (const auto& other : form_.controls_) other->default_ = false;
  }
  default_ = isDefault;
}

long MemoryControl::SelStart() const {
  Require(kSelection);
  return std::min(selStart_, Length());
}

void MemoryControl::SetSelStart(long start) {
  Require(kSelection);
  if (start < 0) Raise(kInvalidPropertyValue, "Invalid property value");
  selStart_ = std::min(start, Length());
  selLength_ = 0;
}

long MemoryControl::SelLength() const {
  Require(kSelection);
  return std::min(selLength_, Length() - SelStart());
}

void MemoryControl::SetSelLength(long length) {
  Require(kSelection);
  if (length < 0) Raise(kInvalidPropertyValue, "Invalid property value");
  selLength_ = std::min(length, Length() - SelStart());
}

void MemoryControl::SetFocus() {
  Require(kFocus);
  form_.focused_ = name_;
}

long MemoryControl::ListCount() const {
  Require(kList);
  return static_cast<long>(list_.size());
}

void MemoryControl::CheckIndex(long index) const {
  if (index < 0 || index >= static_cast<long>(list_.size())) {
    Raise(kInvalidArrayIndex, "Could not get the property. Invalid property array index.");
  }
}

Variant MemoryControl::List(long index) const {
  Require(kList);
  CheckIndex(index);
  return list_[static_cast<std::size_t>(index)];
}

bool MemoryControl::Selected(long index) const {
  Require(kList);
  CheckIndex(index);
  return selected_[static_cast<std::size_t>(index)];
}

void MemoryControl::SetSelected(long index, bool selected) {
  Require(kList);
  CheckIndex(index);
  selected_[static_cast<std::size_t>(index)] = selected;
}

void MemoryControl::AddItem(TextView item) {
  Require(kList);
  list_.emplace_back(item);
  selected_.push_back(false);
}

MemoryForm::MemoryForm(quillary::Text name) : name_(std::move(name)) {}

MemoryControl& MemoryForm::Add(TextView controlName, ControlKind kind) {
  auto key = text_order::Fold(controlName);
  if (byFoldedName_.contains(key)) {
    Raise(err::kInvalidCall, "Invalid procedure call or argument");
  }
  auto& control = *controls_.emplace_back(std::make_unique<MemoryControl>(*this, quillary::Text(controlName), kind));
  byFoldedName_.emplace(std::move(key), &control);
  return control;
}

MemoryControl& MemoryForm::Item(TextView controlName) {
  auto it = byFoldedName_.find(text_order::Fold(controlName));
  if (it == byFoldedName_.end()) NoSuchMember();
  return *it->second;
}

bool MemoryForm::Has(TextView controlName) const { return byFoldedName_.contains(text_order::Fold(controlName)); }

namespace {

void AddAll(MemoryForm& form, ControlKind kind, std::initializer_list<const char16_t*> names) {
  for (const char16_t* name : names) form.Add(name, kind);
}

}  // namespace

HostFormSet::HostFormSet()
    : bigMsg(u"BigMsgForm"),
      compDupUser(u"CompDupUserForm"),
      lastWordFirstFilter(u"LastWordFirstFilterForm"),
      mainUser(u"MainUserForm"),
      queryEndUser(u"QueryEndUserForm"),
      queryUser(u"QueryUserForm"),
      wrapTextFirm(u"WrapTextFirmForm"),
      mailBox(u"MailBoxForm"),
      parse(u"ParseForm"),
      tools(u"ToolsForm") {
  using K = ControlKind;

  // The big message form: its message, three answer buttons and the answer label. The
  // two option buttons are hidden until a caller dresses them for a question.
  bigMsg.Add(u"Textbox1", K::TextBox);
  AddAll(bigMsg, K::CommandButton, {u"OK_Button", u"Option_Button", u"Option_Button2"});
  bigMsg.Add(u"Answer", K::Label);
  bigMsg.Item(u"OK_Button").SetCaption(u"OK");
  bigMsg.Item(u"OK_Button").SetDefault(true);
  bigMsg.Item(u"Option_Button").SetCaption(u"Option");
  bigMsg.Item(u"Option_Button").SetVisible(false);
  bigMsg.Item(u"Option_Button2").SetVisible(false);

  // The compare dialog with the tag settings.
  compDupUser.Add(u"Answer", K::Label);
  AddAll(compDupUser, K::CommandButton, {u"UseNew", u"UseCollected", u"CloseButton"});
  compDupUser.Add(u"Textbox1", K::TextBox);
  compDupUser.Add(u"Frame1", K::Frame);
  AddAll(compDupUser, K::CheckBox,
         {u"JoinCells", u"DisableTags", u"TagAreaProtected", u"LocatorLabel", u"ListUniques", u"IDcomment",
          u"ColorLeftEnable", u"ColorRightEnable"});
  AddAll(compDupUser, K::OptionButton, {u"SummaryYes", u"SummaryNo"});
  AddAll(compDupUser, K::Label, {u"ColorLeftSelect", u"ColorRightSelect"});
  compDupUser.Item(u"UseNew").SetCaption(u"OK");
  compDupUser.Item(u"UseNew").SetDefault(true);
  compDupUser.Item(u"UseCollected").SetCaption(u"Use Collected");
  compDupUser.Item(u"CloseButton").SetCaption(u"Close");
  compDupUser.Item(u"JoinCells").SetCaption(u"Compare Each Row as a Single Item");
  compDupUser.Item(u"DisableTags").SetCaption(u"Disable Tags");
  compDupUser.Item(u"LocatorLabel").SetCaption(u"Locator Label");
  compDupUser.Item(u"ListUniques").SetCaption(u"List All Unique Items");
  compDupUser.Item(u"IDcomment").SetCaption(u"ID Comment");
  compDupUser.Item(u"SummaryYes").SetCaption(u"Yes");
  compDupUser.Item(u"SummaryNo").SetCaption(u"No");
  compDupUser.Item(u"SummaryNo").SetValue(true);
  // The tag names: a drop-down of name pairs, the left and the right name split by "/".
  MemoryControl& tagNames = compDupUser.Add(u"TagNames", K::ComboBox);
  for (const char16_t* pair : {u"LftOnly/RtOnly", u"Old/New", u"List1/List2"}) tagNames.AddItem(pair);
  tagNames.SetValue(quillary::Text(u"LftOnly/RtOnly"));
  compDupUser.Item(u"ColorLeftSelect").SetBackColor(0x80FFFF);   // light yellow
  compDupUser.Item(u"ColorRightSelect").SetBackColor(0xFFFF80);  // light blue

  // The last-word-first filter: the titles and suffixes to remove.
  lastWordFirstFilter.Add(u"RemoveStringsList", K::ListBox);

  // The main form. Its two windows share Frame2 (400 points wide), split at the middle
  // by the divider Label12, with TextBox1 on the left and the Active Window.
  mainUser.Add(u"CheckBox1", K::CheckBox);
  mainUser.Add(u"checkbox2", K::CheckBox);
  AddAll(mainUser, K::CheckBox, {u"CheckBox3", u"CheckBox4", u"CheckBox5", u"CheckBox6", u"CheckBox8", u"CheckBox9"});
  AddAll(mainUser, K::TextBox, {u"TextBox1", u"TextBox2"});
  AddAll(mainUser, K::Label, {u"Label2", u"label10", u"Label11", u"Label12", u"Label13", u"Label14", u"Label15"});
  mainUser.Add(u"Frame2", K::Frame);
  mainUser.Add(u"ComboBox1", K::ComboBox);
  mainUser.Add(u"GetTry_Button", K::CommandButton);
  mainUser.Item(u"CheckBox4").SetCaption(u"Dups:Tag & Rprt");
  mainUser.Item(u"CheckBox6").SetCaption(u"Items");
  mainUser.Item(u"GetTry_Button").SetCaption(u"Get/Try");
  mainUser.Item(u"GetTry_Button").SetDefault(true);
  mainUser.Item(u"Label2").SetTextAlign(2);
  mainUser.Item(u"TextBox2").SetBackColor(kInactiveWindowColour);
  struct Place {
    const char16_t* name;
    double left;
    double width;
  };
  for (const Place& p :
       {Place{u"Frame2", 0, 400}, Place{u"TextBox1", 0, 199.5}, Place{u"TextBox2", 199.5, 198.5},
        Place{u"Label12", 198, 3}, Place{u"Label13", 0, 3}, Place{u"Label14", 4, 3}, Place{u"Label15", 202, 3}}) {
    mainUser.Item(p.name).SetLeft(p.left);
    mainUser.Item(p.name).SetWidth(p.width);
  }
  mainUser.Item(u"Label13").SetEnabled(false);
  mainUser.Item(u"Label13").SetVisible(false);

  // The end-of-Query dialog.
  queryEndUser.Add(u"Label2", K::Label);
  AddAll(queryEndUser, K::CommandButton, {u"RepeatButton", u"DifferentButton"});
  queryEndUser.Item(u"RepeatButton").SetCaption(u"Repeat");
  queryEndUser.Item(u"RepeatButton").SetDefault(true);
  queryEndUser.Item(u"DifferentButton").SetCaption(u"Different Name");

  // The Query form; CheckBox1 (place a bookmark at each hit) sits inside Frame1.
  AddAll(queryUser, K::Label,
         {u"CaptionLabel", u"Label1", u"Label2", u"Label3", u"Label4", u"Label5", u"Label6", u"Label7"});
  AddAll(queryUser, K::TextBox, {u"Textbox1", u"Textbox2"});
  AddAll(queryUser, K::CommandButton, {u"NextButton", u"ReplaceButton", u"DiffDupsButton"});
  queryUser.Add(u"Frame1", K::Frame);
  queryUser.Add(u"CheckBox1", K::CheckBox);
  queryUser.Item(u"NextButton").SetCaption(u"Next");
  queryUser.Item(u"NextButton").SetDefault(true);
  queryUser.Item(u"ReplaceButton").SetCaption(u"Replace");
  queryUser.Item(u"DiffDupsButton").SetCaption(u"Different Name");
  queryUser.Item(u"CaptionLabel").SetCaption(u"Quillary Query Item");
  queryUser.Item(u"Label3").SetBackColor(0x40C0);  // the lamp, off
  queryUser.Item(u"Label4").SetForeColor(0xC0C0C0);

  // The mail box: labels used as shared flags (Enabled) and texts (Caption).
  AddAll(mailBox, K::Label,
         {u"Response", u"SkipMenu", u"OnScreenX", u"ModeHold", u"shtDiffRpt", u"QuillaryWndwsMatch", u"OldStatusBar",
          u"Message"});
  mailBox.Item(u"SkipMenu").SetEnabled(false);
  mailBox.Item(u"QuillaryWndwsMatch").SetEnabled(false);

  // The parse form: the script, its operands, the output delimiter and the options.
  AddAll(parse, K::TextBox, {u"ParsingCtrlText", u"atext", u"btext", u"ctext", u"dtext"});
  AddAll(parse, K::OptionButton, {u"BarOpt", u"SemicolonOpt", u"TabOpt"});
  parse.Add(u"HideSpcs", K::CheckBox);
  parse.Add(u"Bolded", K::Label);
}

HostForms HostFormSet::Forms() {
  return HostForms{&bigMsg,       &compDupUser, &lastWordFirstFilter, &mainUser,
                   &queryEndUser, &queryUser,   &wrapTextFirm,        &mailBox,
                   &parse,        &tools};
}

}  // namespace quillary::forms
