// The Duplicates_Summary text, built from the duplicates list.
#pragma once

#include "host/state.h"

namespace quillary::items {

// The summary's title, and the 36-character header that opens DupSummaryText: the title
// padded with blanks.
inline constexpr char16_t kSummaryTitle[] = u"Duplicates_Summary";
inline constexpr char16_t kSummaryHeader[] = u"Duplicates_Summary                  ";

// Builds DupSummaryText from the duplicates list beside `listName` (IgnoreIndex# mode
// with the Sort option only; otherwise nothing happens) and sets ItemCountText to the
// number of duplicate rows.
void DuplicateReport(host::State& s, const Text& listName);

}  // namespace quillary::items
