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
  if (IsNarrow()) return Variant(Widened());
  return value_;
}

quillary::Text MemoryControl::Widened() const {
  quillary::Text wide(narrow_.size(), u' ');
  std::transform(narrow_.begin(), narrow_.end(), wide.begin(),
                 [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
  return wide;
}

void MemoryControl::SetValue(const Variant& value) {
  Require(kValue);
  // The new value is made first: a conversion that raises leaves the control as it was.
  Variant next;
  switch (kind_) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: next = value.IsNull() ? value : Variant(vba::CBool(value)); break;
    case ControlKind::ComboBox:
    case ControlKind::ListBox: next = value.IsNull() ? value : Variant(vba::CStr(value)); break;
    default:
      next = vba::CStr(value);  // a text box holds text; Null raises error 94
      break;
  }
  std::string().swap(narrow_);
  value_ = std::move(next);
  selStart_ = selLength_ = 0;
}

quillary::Text MemoryControl::Text() const {
  Require(kText);
  if (IsNarrow()) return Widened();
  return value_.IsNull() ? quillary::Text() : value_.AsText();
}

std::size_t MemoryControl::TextLength() const {
  Require(kText);
  if (IsNarrow()) return narrow_.size();
  return value_.IsNull() ? 0 : value_.AsText().size();
}

void MemoryControl::ViewText(const std::function<void(TextView)>& use) const {
  Require(kText);
  if (!IsNarrow()) {
    use(value_.IsNull() ? TextView() : TextView(value_.AsText()));
    return;
  }
  // Widened a piece at a time.
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  quillary::Text piece;
  for (std::size_t at = 0; at < narrow_.size(); at += kPiece) {
    const std::size_t n = std::min(kPiece, narrow_.size() - at);
    piece.resize(n);
    for (std::size_t i = 0; i < n; ++i) piece[i] = static_cast<unsigned char>(narrow_[at + i]);
    use(piece);
  }
}

void MemoryControl::SetText(TextView text) {
  Require(kText);
  // Texts shorter than this are kept as they are.
  constexpr std::size_t kNarrowFrom = 4096;
  if (text.size() >= kNarrowFrom && std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; })) {
    value_ = Variant();
    narrow_.resize(text.size());
    std::transform(text.begin(), text.end(), narrow_.begin(), [](char16_t c) { return static_cast<char>(c); });
  } else {
    std::string().swap(narrow_);
    value_ = quillary::Text(text);
  }
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

HostFormSet::HostFormSet(std::span<const ControlRow> controls)
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
  const HostForms all = Forms();
  for (const ControlRow& row : controls) {
    MemoryControl& control = static_cast<MemoryForm*>(all.*row.form)->Add(row.name, row.kind);
    if (*row.caption != u'\0') control.SetCaption(row.caption);
  }

  // The big message form: the two option buttons are hidden until a caller dresses them
  // for a question.
  bigMsg.Item(u"OK_Button").SetDefault(true);
  bigMsg.Item(u"Option_Button").SetVisible(false);
  bigMsg.Item(u"Option_Button2").SetVisible(false);

  // The compare dialog with the tag settings; the tag names are a drop-down of name
  // pairs, the left and the right name split by "/".
  compDupUser.Item(u"UseNew").SetDefault(true);
  compDupUser.Item(u"SummaryNo").SetValue(true);
  MemoryControl& tagNames = compDupUser.Item(u"TagNames");
  for (const char16_t* pair : {u"LftOnly/RtOnly", u"Old/New", u"List1/List2"}) tagNames.AddItem(pair);
  tagNames.SetValue(quillary::Text(u"LftOnly/RtOnly"));
  compDupUser.Item(u"ColorLeftSelect").SetBackColor(0x80FFFF);   // light yellow
  compDupUser.Item(u"ColorRightSelect").SetBackColor(0xFFFF80);  // light blue

  // The main form. Its two windows share Frame2 (400 points wide), split at the middle
  // by the divider Label12, with TextBox1 on the left and the Active Window.
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

  // The end-of-Query dialog and the Query form.
  queryEndUser.Item(u"RepeatButton").SetDefault(true);
  queryUser.Item(u"NextButton").SetDefault(true);
  queryUser.Item(u"Label3").SetBackColor(0x40C0);  // the lamp, off
  queryUser.Item(u"Label4").SetForeColor(0xC0C0C0);

  // The mail box: labels used as shared flags (Enabled) and texts (Caption).
  mailBox.Item(u"SkipMenu").SetEnabled(false);
  mailBox.Item(u"QuillaryWndwsMatch").SetEnabled(false);
}

HostForms HostFormSet::Forms() {
  return HostForms{&bigMsg,       &compDupUser, &lastWordFirstFilter, &mainUser,
                   &queryEndUser, &queryUser,   &wrapTextFirm,        &mailBox,
                   &parse,        &tools};
}

}  // namespace quillary::forms
