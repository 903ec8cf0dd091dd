// The main form's status labels after an Item list was collected with a fault.
#pragma once

#include <cstddef>

#include "host/state.h"

namespace quillary::items {

// "     1,234" (the length formatted "##,##0") & tail, and " Hidden cells." after it when
// the gathering passed hidden cells.
Text CharacterLine(const host::State& s, std::size_t length, TextView tail);

// FaultMsg shown as every road that collects Items shows it: in the count label (the
// host's command-bar count cleared) and the message line, the Active Window's length
// in the characters line, and the notice flag set.
void ShowFaultInLabels(host::State& s);

}  // namespace quillary::items
