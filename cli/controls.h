// The host forms' controls as a script names them: "FORM.CONTROL.PROPERTY", the form by
// its name ("MainUserForm", also "vbaMainUserForm"), the control and the property by
// theirs, all without regard to case.
#pragma once

#include <string>
#include <string_view>

#include "host/controls.h"
#include "platform/forms/memory/memory_forms.h"

namespace quillary::cli {

struct ControlProperty {
  forms::MemoryControl* control;
  std::string property;  // as the property table spells it
  std::string spec;      // as the script names it
};

// Resolves "FORM.CONTROL"; raises Failure naming what is missing.
forms::MemoryControl& FindControl(forms::HostFormSet& forms, std::string_view spec);

// Resolves "FORM.CONTROL.PROPERTY"; raises Failure naming what is missing, also a
// property the control's kind does not have (a label's Value).
ControlProperty FindControlProperty(forms::HostFormSet& forms, std::string_view spec);

// Sets the property from a script word: True/False for the switches, a number (or
// &H hex) for colours, positions and sizes, the word itself for texts; for Value,
// True, False and Null stand for those values and any other word is a text. A word
// the control does not take (a check box's Value "maybe", a text box's Value Null, a
// TextAlign of 7) raises Failure naming the property and the word; the control is left
// as it was.
void SetProperty(const ControlProperty& target, const std::string& word);

// "FORM.CONTROL.PROPERTY" for a control of the component's vocabulary.
std::string ControlSpec(const host::ControlId& id, std::string_view property);

// The property's value as text: True/False, numbers as the host writes them, Null.
std::string GetProperty(const ControlProperty& target);

}  // namespace quillary::cli
