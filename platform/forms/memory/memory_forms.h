// In-memory forms: the stand-in for the host add-in's user forms, and the set of the
// ten forms built from a list of their controls.
//
// Each control has a kind, and supports the properties that kind has in the host
// (a label has a Caption but no Value, a text box a Value and a Text but no Caption);
// any other property raises Error 438. Programmatic writes raise no events.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/forms/forms.h"

namespace quillary::forms {

class MemoryForm;

class MemoryControl final : public Control {
 public:
  MemoryControl(MemoryForm& form, quillary::Text name, ControlKind kind);
  MemoryControl(const MemoryControl&) = delete;
  MemoryControl& operator=(const MemoryControl&) = delete;

  ControlKind Kind() const { return kind_; }

  quillary::Text Name() const override { return name_; }
  Variant Value() const override;
  void SetValue(const Variant& value) override;
  quillary::Text Text() const override;
  std::size_t TextLength() const override;
  void ViewText(const std::function<void(TextView)>& use) const override;
  void SetText(TextView text) override;
  quillary::Text Caption() const override;
  void SetCaption(TextView caption) override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Locked() const override;
  void SetLocked(bool locked) override;
  long BackColor() const override { return backColor_; }
  void SetBackColor(long colour) override { backColor_ = colour; }
  long ForeColor() const override { return foreColor_; }
  void SetForeColor(long colour) override { foreColor_ = colour; }
  double Left() const override { return left_; }
  void SetLeft(double left) override { left_ = left; }
  double Width() const override { return width_; }
  void SetWidth(double width) override { width_ = width; }
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
  friend class MemoryForm;
  void Require(unsigned features) const;
  void CheckIndex(long index) const;
  long Length() const { return static_cast<long>(TextLength()); }

  // A long text set through SetText whose characters all lie below U+0100 (an Active
  // Window list of a million Items is most often such a text) is kept in one byte a
  // character, in narrow_, and value_ is then Empty.
  bool IsNarrow() const { return value_.IsEmpty() && !narrow_.empty(); }
  quillary::Text Widened() const;

  MemoryForm& form_;
  quillary::Text name_;
  ControlKind kind_;
  Variant value_;
  std::string narrow_;
  quillary::Text caption_;
  bool enabled_ = true;
  bool visible_ = true;
  bool locked_ = false;
  bool default_ = false;
  long backColor_;
  long foreColor_ = 0x000000;
  double left_ = 0;
  double width_ = 72;
  int textAlign_ = 1;
  long selStart_ = 0;
  long selLength_ = 0;
  std::vector<quillary::Text> list_;
  std::vector<bool> selected_;
};

class MemoryForm final : public UserForm {
 public:
  explicit MemoryForm(quillary::Text name);
  MemoryForm(const MemoryForm&) = delete;
  MemoryForm& operator=(const MemoryForm&) = delete;

  // Adds a control; a name already on the form (without regard to case) raises
  // Error 5, as the host's names are unique per form.
  MemoryControl& Add(TextView controlName, ControlKind kind);

  quillary::Text Name() const override { return name_; }
  MemoryControl& Item(TextView controlName) override;
  bool Has(TextView controlName) const override;
  void Repaint() override { ++repaints_; }

  int RepaintCount() const { return repaints_; }
  // The name of the control that last received SetFocus ("" when none has).
  const quillary::Text& FocusedControl() const { return focused_; }
  // The controls in the order they were added.
  const std::vector<std::unique_ptr<MemoryControl>>& Controls() const { return controls_; }

 private:
  friend class MemoryControl;
  quillary::Text name_;
  std::vector<std::unique_ptr<MemoryControl>> controls_;
  std::unordered_map<quillary::Text, MemoryControl*> byFoldedName_;
  int repaints_ = 0;
  quillary::Text focused_;
};

// The ten forms of the host add-in, built with the controls of `controls` (in that
// order, each with its kind and first caption; whoever builds the set gives the list)
// and the host's defaults: check boxes False, texts "", every control enabled and
// visible; the main form's TextBox1 white (&HFFFFFF: the Active Window) and TextBox2
// grey (&HE0E0E0); the mail box's OnScreenX enabled and SkipMenu disabled; the main
// form's two windows split at the middle of Frame2. The defaults name their controls,
// which `controls` must hold.
//
// The forms' names: "BigMsgForm", "CompDupUserForm", "LastWordFirstFilterForm",
// "MainUserForm", "QueryEndUserForm", "QueryUserForm", "WrapTextFirmForm",
// "MailBoxForm", "ParseForm", "ToolsForm".
struct HostFormSet {
  explicit HostFormSet(std::span<const ControlRow> controls);
  HostFormSet(const HostFormSet&) = delete;
  HostFormSet& operator=(const HostFormSet&) = delete;

  // The ten forms as the component receives them.
  HostForms Forms();

  MemoryForm bigMsg;
  MemoryForm compDupUser;
  MemoryForm lastWordFirstFilter;
  MemoryForm mainUser;
  MemoryForm queryEndUser;
  MemoryForm queryUser;
  MemoryForm wrapTextFirm;
  MemoryForm mailBox;
  MemoryForm parse;
  MemoryForm tools;
};

}  // namespace quillary::forms
