// Selection trimming: a selection of entire columns or entire rows is cut down to the
// rectangle that really holds content and selected again, with a check that the
// application did not widen the new selection over merged cells. For the two row
// actions, a second selection area inside the list becomes the bold marker cell that
// those actions read.
#pragma once

#include "host/state.h"

namespace quillary::xl {
class Range;
}

namespace quillary::sheets {

// The temporary workbook names through which two areas are selected together; they
// exist only for the moment of that selection.
inline constexpr char16_t kTempNameA[] = u"quillary_91827364a";
inline constexpr char16_t kTempNameB[] = u"quillary_91827364b";

// Trims the active window's selection (its first area and its second, or in the row
// actions its last) and answers 0 to go on with the (possibly new) selection or 1 to
// abort. The mail box's Response caption holds "1" while it works and "0" once it
// succeeds.
//
// An area of entire columns or rows is replaced by its content rectangle within the
// sheet's used range. An area without content aborts: with a message, unless the mail
// box's SkipMenu is enabled (an unattended run), then quietly. In the row actions with
// a second area inside the first, the first area is selected alone, loses its bold
// font, and the second area's first cell is made bold (unless that area is exactly one
// merged cell and SkipMenu is not enabled: a message and 1). A new selection that the
// application widened over merged cells is reported and answers 1 (with SkipMenu too);
// the wider selection stays selected. Three or more areas outside the row actions, and
// the mode "Clear Active Window", answer 0 without touching anything. Unless the mode
// is "SubtractButton" or "Null", the window is scrolled to the selection at the end.
// Creates the working sheet when the workbook has none.
host::Proceed WholeColRow(host::State& s);
// Selects two areas of the active sheet together through the two temporary workbook
// names, which are deleted again whatever happens.
void SelectTogether(host::State& s, const xl::Range& first, const xl::Range& second);

// Compares area `areaNo` (1 or 2) of the current selection with the user's `area` as
// it was before trimming; when the new one reaches beyond it on any side, tells the
// user which sides and answers 1, else 0.
host::Proceed WholeColRowMergeCheck(host::State& s, const xl::Range& area, int areaNo);

}  // namespace quillary::sheets
