// Items from a text in the Active Window format, back into an Item list.
#pragma once

#include <optional>

#include "host/state.h"
#include "items/fault_codes.h"
#include "items/request_options.h"

namespace quillary::items {

// Strips what the display puts around the Items (fault markers, the summary header and
// its notice, line breaks) and turns apostrophes into the apostrophe placeholder, so
// that only Items and commas remain. Changes `text` in place.
void PutText_Clean(Text& text);

// Reads `text` (cleaned in place first) into Item rows under `listName`. Returns
// nothing when the cleaned text is empty; else 0 (every Item read, or the user
// aborted), or a fault code with FaultMsg and FaultItem set: 13 for more than one
// hyphen, a range's grammar fault (2, 6, 7, 10, 12, 15, 16: each range is read as a
// gathering from cells reads it, though the two range styles may stand side by side),
// 17, or 100.
std::optional<ItemFaultCode> ItemsPutText(host::State& s, const RequestOptions& o, Text& text, const Text& listName);

}  // namespace quillary::items
