// Sorting, range expansion, duplicate counting and the Active Window text of a list.
#pragma once

#include "host/state.h"
#include "items/request_options.h"

namespace quillary::items {

// How a sort and count ended: shown (or stopped by the break key), or stopped by the
// ExpandRanges Item limit.
enum class [[nodiscard]] CountResult{kDone = 0, kExpandLimitStop = 2};

// Sorts and counts the list `listName`, finds its duplicates, rewrites its SideList
// (CountIndex#: the re-joined or expanded result list; IgnoreIndex# with Sort: the
// duplicates list), then builds DisplayText, shows it (or a help text, or the
// duplicates summary) in the Active Window and sets ItemCountText. The break key ends it
// at once, kDone and no display.
CountResult ItemsSortCntDsply(host::State& s, const RequestOptions& o, const Text& listName);

}  // namespace quillary::items
