// Sorting, range expansion, duplicate counting and the Active Window text of a list.
#pragma once

#include "host/state.h"

namespace quillary::items {

// The result of ItemsSortCntDsply when the ExpandRanges Item limit stopped it.
inline constexpr int kExpandLimitStop = 2;

// Sorts and counts the list `listName`, finds its duplicates, rewrites its SideList
// (CountIndex#: the re-joined or expanded result list; IgnoreIndex# with Sort: the
// duplicates list), then builds DisplayText, shows it (or a help text, or the
// duplicates summary) in the Active Window and sets ItemCountText. Returns
// kExpandLimitStop when the ExpandRanges Item limit stopped it, else 0; the break key
// ends it at once with 0 and no display.
int ItemsSortCntDsply(host::State& s, const Text& listName);

}  // namespace quillary::items
