// The Duplicates_Summary text, built from the duplicates list.
#pragma once

#include <cstdint>

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

// The text of its message on a summary too long for a comment box (without the title):
// `duplicates` rows found, a summary of `characters`, `tagCaption` the tag box's caption.
Text SummaryTooLongText(std::int64_t duplicates, std::int64_t characters, TextView tagCaption);

}  // namespace quillary::items
