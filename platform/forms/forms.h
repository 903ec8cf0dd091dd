// The host add-in's user forms as the component sees them: forms whose controls are
// read and written late-bound, by name.
//
// A control is found by its name without regard to case, as the host language finds
// it: Item(u"Textbox1") returns the control whose Name is "TextBox1", and Name() then
// answers "TextBox1", spelled as the host spells it. Asking a form for a control it
// lacks, or a control for a property its kind lacks (the Value of a label, the Caption
// of a text box), raises Error 438 "Object doesn't support this property or method".
//
// Writes made through this interface raise no events on the host's side.
#pragma once

#include <functional>

#include "platform/runtime/value.h"

namespace quillary::forms {

// The host marks the Active Window, one of the main form's two text boxes, by its
// BackColor: a box whose BackColor is at least kActiveWindowThreshold is the Active
// Window. The host paints the active box kActiveWindowColour, the other
// kInactiveWindowColour.
inline constexpr long kActiveWindowThreshold = 0xFFFFF4;
inline constexpr long kActiveWindowColour = 0xFFFFFF;
inline constexpr long kInactiveWindowColour = 0xE0E0E0;

// One control of a form. Colours are OLE colours (&HBBGGRR); positions and sizes are in
// points. Property names are the host's.
class Control {
 public:
  virtual ~Control() = default;

  // The control's name exactly as the host spells it ("TextBox1", "checkbox2").
  virtual quillary::Text Name() const = 0;

  // Value: a Boolean for check boxes and option buttons (Null in the triple state), the
  // text for text and combo boxes. For a text box, Value and Text are the same text.
  virtual Variant Value() const = 0;
  virtual void SetValue(const Variant& value) = 0;
  virtual quillary::Text Text() const = 0;
  // The length of Text, without a copy of it where the backend can.
  virtual std::size_t TextLength() const { return Text().size(); }
  // Calls `use` with Text, viewed where the control holds it when the backend can (the
  // view is valid during the call). A backend may hand a long text over in pieces, one
  // call each, in order: what the calls see, joined, is Text.
  virtual void ViewText(const std::function<void(TextView)>& use) const {
    const quillary::Text text = Text();
    use(text);
  }
  virtual void SetText(TextView text) = 0;

  virtual quillary::Text Caption() const = 0;
  virtual void SetCaption(TextView caption) = 0;

  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Locked() const = 0;
  virtual void SetLocked(bool locked) = 0;

  virtual long BackColor() const = 0;
  virtual void SetBackColor(long colour) = 0;
  virtual long ForeColor() const = 0;
  virtual void SetForeColor(long colour) = 0;

  virtual double Left() const = 0;
  virtual void SetLeft(double left) = 0;
  virtual double Width() const = 0;
  virtual void SetWidth(double width) = 0;

  // 1 left, 2 centre, 3 right.
  virtual int TextAlign() const = 0;
  virtual void SetTextAlign(int align) = 0;

  // The default button of its form: setting it on one button clears it on the others.
  virtual bool Default() const = 0;
  virtual void SetDefault(bool isDefault) = 0;

  // Selection inside the text, counted in UTF-16 units from 0.
  virtual long SelStart() const = 0;
  virtual void SetSelStart(long start) = 0;
  virtual long SelLength() const = 0;
  virtual void SetSelLength(long length) = 0;

  virtual void SetFocus() = 0;

  // List and combo boxes: the rows, indexed from 0, and their selection flags.
  virtual long ListCount() const = 0;
  virtual Variant List(long index) const = 0;
  virtual bool Selected(long index) const = 0;
  virtual void SetSelected(long index, bool selected) = 0;
  virtual void AddItem(TextView item) = 0;
};

// One user form of the host.
class UserForm {
 public:
  virtual ~UserForm() = default;

  // The form's name in the host ("MainUserForm", "QueryUserForm", ...).
  virtual quillary::Text Name() const = 0;

  // The control of that name, found without regard to case; Error 438 when missing.
  virtual Control& Item(TextView controlName) = 0;
  virtual bool Has(TextView controlName) const = 0;

  // Lets the form redraw (called while polling the break key).
  virtual void Repaint() = 0;
};

// The ten forms handed over with every request, in the host's parameter order. The
// forms are borrowed: the host owns them.
struct HostForms {
  UserForm* bigMsg = nullptr;               // vbaBigMsgForm
  UserForm* compDupUser = nullptr;          // vbaCompDupUserForm
  UserForm* lastWordFirstFilter = nullptr;  // vbaLastWordFirstFilterForm
  UserForm* mainUser = nullptr;             // vbaMainUserForm
  UserForm* queryEndUser = nullptr;         // vbaQueryEndUserForm
  UserForm* queryUser = nullptr;            // vbaQueryUserForm
  UserForm* wrapTextFirm = nullptr;         // vbaWrapTextFirmForm
  UserForm* mailBox = nullptr;              // vbaMailBoxForm
  UserForm* parse = nullptr;                // vbaParseForm
  UserForm* tools = nullptr;                // vbaToolsForm
};

// The kinds of control on the host's forms.
enum class ControlKind { CheckBox, TextBox, Label, CommandButton, ComboBox, ListBox, Frame, OptionButton };

// One control of the host's forms: the form it sits on (its place among HostForms), its
// name as the host spells it, its kind and the caption it starts with (none: "").
struct ControlRow {
  UserForm* HostForms::*form;
  const char16_t* name;
  ControlKind kind;
  const char16_t* caption = u"";
};

}  // namespace quillary::forms
