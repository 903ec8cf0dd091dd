// Subtract Display: the Action list's "Subtract Display V" and "Subtract Display >".
#pragma once

#include "host/state.h"

namespace quillary::drivers {

// Builds, right of the selection, a list that omits every Item shown in the Active
// Window: after a confirmation on the big message form ("Subtract Display V" offers
// ONCE and TRAVEL, "Subtract Display >" only OK), the block engine runs unattended in
// the current mode on the first selected area with the PasteType "Items". Refused while
// duplicate tagging is on in IgnoreIndex# (the mode then stays as it was) and while the
// Active Window shows a fault. The mail box's SkipMenu is put back as it was after the
// run; the mode ends as "Null".
void SubtractRtDwn(host::State& s);

}  // namespace quillary::drivers
