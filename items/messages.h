// The texts of the Item engine's messages that other modules' tests compose their
// expectations from (their words as the user reads them: tests/scenarios/items/limits.qs).
// None carries a title.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::items::msg {

// A gathering stopped at a limit. `capacity` is the list's Item capacity as digits,
// `mode` the request's mode text.
Text TooManyItemsText(bool ignoreIndex, TextView capacity);
Text LongCellText(TextView mode);
Text LongJoinText(TextView mode);
// The list outgrew the sheet while sorting and counting, with ExpandRanges on or in
// IgnoreIndex# mode.
Text SortLimitText(bool expandRanges, TextView capacity);

}  // namespace quillary::items::msg
