// Gathering Items from the cells of a range into an Item list on the working sheet.
#pragma once

#include "host/state.h"
#include "items/fault_codes.h"
#include "items/request_options.h"
#include "platform/excel/excel.h"

namespace quillary::items {

// Turns the cells of `area` (one or more areas) into Item rows under the list
// `listName` ("unique1" or "unique1_w"): cleaned, split at commas, classified by the
// Item grammar in CountIndex# mode, with the distinct column (CountIndex#) or the order
// numbers (IgnoreIndex#). Returns 0, or the fault code of the first Item that broke the
// grammar or a limit (fault_codes.h), with FaultMsg and FaultItem set and the offending
// cell active. The break key ends it at once with 0 and a partial list.
//
// The distinct column (+0 in CountIndex#) is built case-sensitively whatever the main
// form's CheckBox5 (MatchCase) says, as the grouping that reads it is. With JoinCells the
// cells of a row are joined first; in CountIndex# the whole joined Item is classified
// and entered in the distinct column once, at the row's end. An error raised inside
// names "ItemsGather" and ends its source with "," & row & "," & column (within the
// area) & "," & the number of the compare stage.
ItemFaultCode ItemsGather(host::State& s, const RequestOptions& o, const Text& listName, const xl::Range& area);

}  // namespace quillary::items
