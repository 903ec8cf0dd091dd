// The status comment box: in IgnoreIndex# mode, with Sort on and duplicate tagging off,
// the pending Duplicates_Summary goes into a comment on a cell of the user's sheet, so
// that the list of duplicates travels with the selection.
#pragma once

#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::services {

// Puts State::DupSummaryText into a comment on area.Cells(1, 1).Offset(rowOffset,
// columnOffset). A comment already there is shown and replaced only when the user
// agrees; with no pending text an agreed-to old comment is just removed. The comment is
// sized to its text and left visible or hidden as the application's comment indicator
// setting (or the replaced comment) had it. A locked cell on a protected sheet is
// refused with a message. The closing notices appear only in mode "Null".
//
// The pending text is used at most once: DupSummaryText is empty afterwards, whatever
// happened (also in CountIndex# mode, or when nothing was written).
void StatusComment(host::State& s, int rowOffset, int columnOffset, const xl::Range& area);

}  // namespace quillary::services
