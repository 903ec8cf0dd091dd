// The Query and fault locator: the Query form's cell-by-cell search for an Item over
// the selection (or the used part of the sheet), the walk over the duplicates Get/Try
// listed, the fault locator that opens on the cell of an Item that broke the grammar,
// Replace with Undo in the found cell, and bookmarks as lines of cell comments.
//
// GoQueryUserForm opens the Query form, which the host shows modally; while it is
// open, each press and edit on it comes back as one of the event routines below, run on
// the state of the request still in progress. What the Query keeps between events and
// between Queries is its memory in the state (internal/memory.h).
#pragma once

#include "host/state.h"

namespace quillary::query {

// CaptionLabel of the Query form in the fault locator; Get/Try sets it before it hands
// a fault over.
inline constexpr char16_t kFaultLocatorCaption[] = u"Quillary FAULT LOCATOR";

// Opens the Query form: the duplicates walk when Get/Try listed duplicates (IgnoreIndex#
// with Sort, FaultMsg "Duplicate", not COMPARE 2), the fault locator when CaptionLabel
// says so (it searches for the offending Item before the form shows), else Find Item.
// Returns when the user closes the form.
void GoQueryUserForm(host::State& s);

// The Query form's events.
// Next: the duplicates walk's step, or one search step.
void NextButton_Click(host::State& s);
// Next in the search: one search step for the Item in Textbox1.
void NextButtonClick(host::State& s);
// Replace the found text by Textbox2's text (noted in the cell's comment), or Undo the
// last replacement.
void ReplaceButtonClick(host::State& s);
// One step of the duplicates walk, and the step that leaves its end-of-list state.
void NextButtonDupsMode(host::State& s);
void nextbuttondupsmode2(host::State& s);
// To the next different duplicated name (outside the walk: closes the Query form).
void diffdupsButtonClick(host::State& s);
// The search text or the replacement text was edited.
void TextBox1Change(host::State& s);
void TextBox2Change(host::State& s);
// Places the bookmark line in the found cell's comment; with `toggle` True, a second
// placement toggles the comment's colour.
void PlaceBookmark(host::State& s, bool& toggle);
// Takes the bookmark line out of the found cell's comment.
void RemoveBookmark(host::State& s);

}  // namespace quillary::query
