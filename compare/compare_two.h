// COMPARE 2/Uniques: the Items that only one of two lists holds, each side's shown in
// its own window of the main form.
#pragma once

#include "host/state.h"

namespace quillary::compare {

// The action "COMPARE 2/Uniques". The host's compare dialog offers, by the selection
// and the two windows' contents: USE NEW, which compares two areas of the worksheet
// (the left one's uniques into Textbox1, the right one's into Textbox2; tags, colour
// marks and the difference report as the dialog's options ask), and USE COLLECTED,
// which compares the two lists already in the windows (display only). Three or more
// areas can be cut to the first and the last. A protected workbook or sheet switches
// off what cannot work before the dialog, with one warning.
//
// Runs Get/Try for its collecting steps and the block of the clipboard staging through
// the routines of the running call.
void ActionCmprTwo(host::State& s);

}  // namespace quillary::compare
