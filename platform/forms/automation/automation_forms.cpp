#include "platform/forms/automation/automation_forms.h"

#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::forms::automation {

namespace {

quillary::Text TextOf(const Variant& v) { return vba::CStr(v); }
bool BoolOf(const Variant& v) { return vba::CBool(v); }
long LongOf(const Variant& v) { return static_cast<long>(vba::CLng(vba::CDbl(v))); }
double DoubleOf(const Variant& v) { return vba::CDbl(v); }

}  // namespace

quillary::Text AutomationControl::Name() const { return TextOf(d_.Value(u"Name")); }
Variant AutomationControl::Value() const { return d_.Value(u"Value"); }
void AutomationControl::SetValue(const Variant& value) { d_.Put(u"Value", value); }
quillary::Text AutomationControl::Text() const { return TextOf(d_.Value(u"Text")); }
void AutomationControl::SetText(TextView text) { d_.Put(u"Text", Variant(quillary::Text(text))); }
quillary::Text AutomationControl::Caption() const { return TextOf(d_.Value(u"Caption")); }
void AutomationControl::SetCaption(TextView caption) { d_.Put(u"Caption", Variant(quillary::Text(caption))); }
bool AutomationControl::Enabled() const { return BoolOf(d_.Value(u"Enabled")); }
void AutomationControl::SetEnabled(bool enabled) { d_.Put(u"Enabled", Variant(enabled)); }
bool AutomationControl::Visible() const { return BoolOf(d_.Value(u"Visible")); }
void AutomationControl::SetVisible(bool visible) { d_.Put(u"Visible", Variant(visible)); }
bool AutomationControl::Locked() const { return BoolOf(d_.Value(u"Locked")); }
void AutomationControl::SetLocked(bool locked) { d_.Put(u"Locked", Variant(locked)); }
long AutomationControl::BackColor() const { return LongOf(d_.Value(u"BackColor")); }
void AutomationControl::SetBackColor(long colour) { d_.Put(u"BackColor", Variant(colour)); }
long AutomationControl::ForeColor() const { return LongOf(d_.Value(u"ForeColor")); }
void AutomationControl::SetForeColor(long colour) { d_.Put(u"ForeColor", Variant(colour)); }
double AutomationControl::Left() const { return DoubleOf(d_.Value(u"Left")); }
void AutomationControl::SetLeft(double left) { d_.Put(u"Left", Variant(left)); }
double AutomationControl::Width() const { return DoubleOf(d_.Value(u"Width")); }
void AutomationControl::SetWidth(double width) { d_.Put(u"Width", Variant(width)); }
int AutomationControl::TextAlign() const { return static_cast<int>(LongOf(d_.Value(u"TextAlign"))); }
void AutomationControl::SetTextAlign(int align) { d_.Put(u"TextAlign", Variant(align)); }
bool AutomationControl::Default() const { return BoolOf(d_.Value(u"Default")); }
void AutomationControl::SetDefault(bool isDefault) { d_.Put(u"Default", Variant(isDefault)); }
long AutomationControl::SelStart() const { return LongOf(d_.Value(u"SelStart")); }
void AutomationControl::SetSelStart(long start) { d_.Put(u"SelStart", Variant(start)); }
long AutomationControl::SelLength() const { return LongOf(d_.Value(u"SelLength")); }
void AutomationControl::SetSelLength(long length) { d_.Put(u"SelLength", Variant(length)); }
void AutomationControl::SetFocus() { d_.Call(u"SetFocus"); }
long AutomationControl::ListCount() const { return LongOf(d_.Value(u"ListCount")); }
Variant AutomationControl::List(long index) const { return d_.Value(u"List", {Variant(index)}); }
bool AutomationControl::Selected(long index) const { return BoolOf(d_.Value(u"Selected", {Variant(index)})); }
void AutomationControl::SetSelected(long index, bool selected) {
  d_.Put(u"Selected", Variant(selected), {Variant(index)});
}
void AutomationControl::AddItem(TextView item) { d_.Call(u"AddItem", {Variant(quillary::Text(item))}); }

quillary::Text AutomationForm::Name() const { return TextOf(d_.Value(u"Name")); }

Control& AutomationForm::Item(TextView controlName) {
  const quillary::Text key = text_order::Fold(controlName);
  auto found = controls_.find(key);
  if (found == controls_.end()) {
    auto control = std::make_unique<AutomationControl>(d_.Object(controlName));
    found = controls_.emplace(key, std::move(control)).first;
  }
  return *found->second;
}

bool AutomationForm::Has(TextView controlName) const { return d_.Has(controlName); }

void AutomationForm::Repaint() { d_.Call(u"Repaint"); }

AutomationForms::AutomationForms(const std::array<quillary::automation::Dispatch, 10>& forms) {
  for (std::size_t i = 0; i < forms.size(); ++i) {
    if (!forms[i].IsNothing()) forms_[i] = std::make_unique<AutomationForm>(forms[i]);
  }
}

HostForms AutomationForms::Forms() {
  return HostForms{forms_[0].get(), forms_[1].get(), forms_[2].get(), forms_[3].get(), forms_[4].get(),
                   forms_[5].get(), forms_[6].get(), forms_[7].get(), forms_[8].get(), forms_[9].get()};
}

}  // namespace quillary::forms::automation
