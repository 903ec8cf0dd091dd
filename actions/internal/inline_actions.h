// The actions the dispatcher runs itself on the selection of the active window. Each
// reads the mode it was chosen by (the modes that share an action tell it what to do)
// and the run's values, and ends the request when it returns.
#pragma once

#include "actions/internal/run.h"
#include "host/state.h"

namespace quillary::actions::internal {

// "Clear Active Window": empties the Active Window; the window that was active is
// active again at the end. Runs before the run's values are set up.
void ClearActiveWindow(host::State& s);

// "Comments: Re-Position": the comment boxes of the selected cells go beside their cells.
void CommentsRePosition(ActionRun& run);
// "Wrap Text||  Clear": unwraps the selection and, when the user agrees, turns the hard
// line breaks inside its texts into commas.
void WrapTextClear(ActionRun& run);
// "WrapTextFirm/ Reveal": marks the cells holding more than 1000 characters.
void WrapTextFirmReveal(ActionRun& run);
// "PAINT TABLE Format": the selection becomes a plain bordered table.
void PaintTableFormat(ActionRun& run);
// "Columns|| Justify Right" and "Columns|| Justify Left".
void JustifyColumns(ActionRun& run);

// "Prefix||  Set", "Prefix||  Clear" and "Prefix|| AfterHyphen Clr".
void PrefixAction(ActionRun& run);
// "Comma Space||  Set" and "Comma Space||  Clear".
void CommaSpaceSet(ActionRun& run);
void CommaSpaceClear(ActionRun& run);
// "Case||  Upper", "Case||  Lower" and "Case||  Proper".
void CaseAction(ActionRun& run);
// "NUMBER Values".
void NumberValues(ActionRun& run);
// "Hyperlink|| Extract" and "Hyperlink|| ReplaceWith".
void HyperlinkExtract(ActionRun& run);
void HyperlinkReplaceWith(ActionRun& run);

}  // namespace quillary::actions::internal
