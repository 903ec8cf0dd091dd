// Tagging on the user's worksheet: the cells whose Items stand in a result list of the
// working sheet (the duplicates of one selection, or the Items only one of two compared
// selections holds) get colour marks, tag labels and comment tags, and a comparison can
// write the difference report worksheet; a list without results offers to clear the
// tags an earlier run left.
#pragma once

#include "host/state.h"

namespace quillary::compare {

// Marks the source cells of the list `listName` ("unique1", or "unique1_w" for the left
// side of a comparison) on the active sheet, as the dialog's options ask: the colour
// over the row's part of the area, a tag in the column right of the area (the Items of
// the row, or the side's label), a comment box holding the label. A tag column that is
// not empty is cleared only when the user agrees. Warns when tags cannot go beside the
// area (it touches the other area, or ends in the sheet's last column). With the report
// option it writes the list's rows onto the "-DiffRpt" report sheet, made in the first
// call of a comparison.
//
// A selection of two areas is a comparison (the list's side picks the area and the tag
// label, which goes to CompareMemory::TagText); one area is tagged only when the main
// form's Sort is ticked. In CountIndex# the list is left in worksheet order. The break
// key stops it with the marks written so far.
void CmprMark_Find(host::State& s, const Text& listName);

// For a list without results: when the column right of the list's area holds tags or
// comment boxes of an earlier run, asks whether to clear them; says why when that column
// cannot hold tags. In a comparison the stage kClearLeftTags is the left side, kClearRightTags the right one
// (each with its label in TagText); otherwise the list is the duplicates of one area.
void CmprMark_Clear(host::State& s, const Text& listName);

}  // namespace quillary::compare
