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

// The title of its messages, whichever of the two modes runs, and their paragraphs.
inline constexpr char16_t kSubtractDisplayTitle[] = u"( SubtractDisplay ): ";
// Between them the tagging option's caption between quotation marks.
inline constexpr char16_t kTaggingOnMsg[] = u"The ";
inline constexpr char16_t kTaggingOnMsgEnd[] = u" option is active.";
inline constexpr char16_t kTaggingOnMsg2[] = u"You can not use the SubtractDisplay action with that option active.";
// Followed by the tagging option's caption between quotation marks.
inline constexpr char16_t kTaggingOnMsg3[] = u"After you release this message, please uncheck ";
inline constexpr char16_t kFaultShownMsg[] = u"There is a fault message displayed within Quillary's Active Window.";
inline constexpr char16_t kFaultShownMsg2[] =
    u"Subtracting the faulty Active Window from your worksheet selection is not permitted.";
inline constexpr char16_t kFaultShownMsg3[] = u"Please try again using Items which have no faults.";

}  // namespace quillary::drivers
