// What the compare and tagging routines share: the dialog's options as the routines
// test them, the dialog's question, which of two areas is the left one, the tag labels, the tag column right of
// an area, the question about a tag column that is not empty, and the search that leaves
// the application's remembered Find settings at values.
#pragma once

#include <optional>

#include "host/callbacks.h"
#include "host/state.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"

namespace quillary::compare {

// The no-colour value of a colour chooser: marks painted with it remove the fill.
inline constexpr long kNoColour = 0xFEFEFE;

// An option of the dialog is on when it is enabled and ticked.
bool On(const host::State& s, const host::ControlId& id);

// The compare dialog shown with `defaultButton` as its default button, the screen on
// while it is shown and restored afterwards; its answer.
host::CompareAnswer AskCompareDialog(host::State& s, const host::ControlId& defaultButton);

// The selection of the active window.
xl::Range Selection(host::State& s);

// Of two areas, the left one has the smaller first column, or in the same column the
// smaller first row (two areas starting in the same cell: the second one).
bool FirstIsLeft(const xl::Area& first, const xl::Area& second);
// The selection area (1 or 2) of the left side, or of the right side, of two areas.
int AreaOfSide(const xl::Range& selection, bool leftSide);

// The tag labels of the dialog's TagNames text: "in" & the left name & "(a)" and "in" &
// the right name & "(b)"; a text with "/" gives the two names around its first "/",
// trimmed; any other text is the one name of both, as it stands. The default pair
// "LftOnly/RtOnly" reads "TopOnly"/"BotOnly" when the areas start in the same column.
Text TagLabel(const host::State& s, bool leftSide, bool sameColumn);

// The column right of an area where its tags go, shifted by the merged block of the
// area's top-left cell: from (0, columns - merged columns + 1) to (rows - merged rows,
// the same column) counted from that cell; the column just right of the area when the
// top-left cell is not merged. Nothing when the area ends in the sheet's last column (no
// tag can go there).
std::optional<xl::Range> ShiftedTagColumn(const xl::Range& area);

// On a sheet that protects its contents, switches off what it forbids for `area`: the
// tags, the uniques list, the comment tags and the locator label when the tag column is
// locked (or partly locked), the colour marks when formatting cells is not allowed. Each
// limit adds its sentence to `warning`, naming what `initiator` started.
void ProtectedSheetLimits(host::State& s, const xl::Range& area, TextView initiator, Text& warning);

// True when a cell of `range` has a comment with at least one character: a Find of "?"
// in comments from the range's first cell.
bool HasCommentBoxes(const xl::Range& range);

// A Find of "?" on the active cell by values, part, by columns, without case, whose
// result is dropped: the application then remembers those settings for the user's next
// search. Errors are passed over.
void ResetFindSettings(host::State& s);

}  // namespace quillary::compare
