// The report view question: after a result sheet has been opened in a second, smaller
// window beside the source sheet, the user chooses how the two windows are arranged.
#pragma once

#include "host/state.h"

namespace quillary::sheets {

// Asks (with the main form hidden) how to arrange the source window, named by
// `inputWindow` ("Book1:1"), and the active result window: Yes side by side (compared
// with synchronized scrolling from version 11 on, arranged vertically in every
// version), No the result alone and maximized, anything else as they are. The question
// names "Netlist Cnvrt:Telesis" while the mail box's ModeHold holds it, else the mode
// as it stands. Traps nothing.
void ReportViewArrange(host::State& s, const Text& inputWindow);

// The question, naming `mode`; an application older than version 11 (`oldVersion`)
// gets the notes on comparing windows side by side without synchronized scrolling.
Text ReportViewQuestion(const Text& mode, bool oldVersion);

}  // namespace quillary::sheets
