// The Duplicates_Summary text, built from the duplicates list.
#pragma once

#include "host/state.h"

namespace quillary::items {

// Builds DupSummaryText from the duplicates list beside `listName` (IgnoreIndex# mode
// with the Sort option only; otherwise nothing happens) and sets ItemCountText to the
// number of duplicate rows.
void DuplicateReport(host::State& s, const Text& listName);

}  // namespace quillary::items
