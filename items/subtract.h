// List subtraction: removing from one Item list every Item that a second list holds.
#pragma once

#include "host/state.h"
#include "items/request_options.h"

namespace quillary::items {

// Removes from the list `listA` ("unique1" or "unique1_w") every Item that the list
// `listB` (the other one) holds, and leaves the Items that are left (the survivors) in
// list A's SideList columns (the SurvivorList), from which list A is rebuilt through
// ItemsGather (or emptied when nothing survives).
//
// Both lists are sorted first. Plain Items are removed by an equal ItemText in list B;
// indexed Items (CountIndex#: a prefix with an index number or range) lose every index
// number that an indexed row of list B with the same prefix covers, so that a range
// may leave one piece or several. In CountIndex# mode texts are matched exactly (case
// matters whatever CheckBox5 says); in IgnoreIndex# mode without regard to case.
//
// IgnoreIndex# mode keeps list A's rows in two cases: nothing was removed (outside the
// modes that always rebuild; the result is then 1), and, with the Sort option
// (CheckBox3) clear and the compare stage not kRightUniques, the survivors are only put back into the
// order of collection in the SurvivorList (which the display then reads).
//
// Answers kGoOn when list A is to be sorted, counted and displayed, kStop when it was
// left as it was or the break key stopped the loop (kGoOn in any case in the modes whose
// subtraction always goes on, and when list A is empty or was not counted: a pending
// fault, an empty list B). Sets ItemCountText to list A's count before the
// subtraction. A limit code of the rebuilding ItemsGather is reported through
// TooMuch_Gather. Errors are re-raised with "ItemsSubtract" in their source.
host::Proceed ItemsSubtract(host::State& s, const RequestOptions& o, const Text& listA, const Text& listB);

}  // namespace quillary::items
