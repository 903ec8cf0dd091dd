// The host's user forms reached through automation: each form is the dispatch object the
// host passes, and each control is found on it late-bound by its name, as the host
// language finds `vbaMainUserForm.CheckBox1`; every property is read and written by its
// name on the control.
#pragma once

#include <array>
#include <map>
#include <memory>

#include "platform/automation/dispatch.h"
#include "platform/forms/forms.h"

namespace quillary::forms::automation {

class AutomationControl final : public Control {
 public:
  explicit AutomationControl(quillary::automation::Dispatch control) : d_(std::move(control)) {}

  quillary::Text Name() const override;
  Variant Value() const override;
  void SetValue(const Variant& value) override;
  quillary::Text Text() const override;
  void SetText(TextView text) override;
  quillary::Text Caption() const override;
  void SetCaption(TextView caption) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  bool Locked() const override;
  void SetLocked(bool locked) override;
  long BackColor() const override;
  void SetBackColor(long colour) override;
  long ForeColor() const override;
  void SetForeColor(long colour) override;
  double Left() const override;
  void SetLeft(double left) override;
  double Width() const override;
  void SetWidth(double width) override;
  int TextAlign() const override;
  void SetTextAlign(int align) override;
  bool Default() const override;
  void SetDefault(bool isDefault) override;
  long SelStart() const override;
  void SetSelStart(long start) override;
  long SelLength() const override;
  void SetSelLength(long length) override;
  void SetFocus() override;
  long ListCount() const override;
  Variant List(long index) const override;
  bool Selected(long index) const override;
  void SetSelected(long index, bool selected) override;
  void AddItem(TextView item) override;

 private:
  quillary::automation::Dispatch d_;
};

class AutomationForm final : public UserForm {
 public:
  explicit AutomationForm(quillary::automation::Dispatch form) : d_(std::move(form)) {}

  quillary::Text Name() const override;
  // The control the form answers for that name; one object per control for the form's
  // life, so that a control held by the component stays the same.
  Control& Item(TextView controlName) override;
  bool Has(TextView controlName) const override;
  void Repaint() override;

 private:
  quillary::automation::Dispatch d_;
  std::map<quillary::Text, std::unique_ptr<AutomationControl>> controls_;  // by folded name
};

// The ten forms of one request, from the dispatch objects the host passed, in the
// host's parameter order. A form the host passed as Nothing stays null.
class AutomationForms {
 public:
  explicit AutomationForms(const std::array<quillary::automation::Dispatch, 10>& forms);
  HostForms Forms();

 private:
  std::array<std::unique_ptr<AutomationForm>, 10> forms_;
};

}  // namespace quillary::forms::automation
