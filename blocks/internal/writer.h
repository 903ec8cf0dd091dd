// The destination writer of the block engine: one block's result into the cell right of
// the block, then the block moved on to the next one below.
#pragma once

#include <cstddef>
#include <optional>

#include "blocks/messages.h"
#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::blocks {

// How the result is written: a count as it is (the cell takes it as a number), anything
// else as text ("'" before it), so that a fault text such as "1-5" stays what it says.
enum class ResultKind { kCount, kText };

// A destination cell that kept fewer characters than the result had (a cell holds at
// most 32,767).
struct CutCell {
  Text address;
  std::size_t length = 0;  // of the result
  std::size_t kept = 0;    // characters the cell holds
};

// What the writer did with one block's result.
struct [[nodiscard]] Written {
  // kStop: the run ends after this block (the writer may not, or must not, go on).
  host::Proceed next = host::Proceed::kGoOn;
  // Set when the write was cut short.
  std::optional<CutCell> cut;
};

// Writes `resultText` into the first cell of the destination, the column directly right
// of `block` over the block's rows, of the active sheet, after guarding it: the column
// must exist, must not be hidden (tested on the run's first pass only), must not be
// locked on a protected sheet, its first cell must not be merged, and it must be empty
// unless the run is unattended (not Subtract Display) or the user agrees to erase the
// whole destination. Then `block` becomes the block of the same shape directly below
// (in "Paste_V" and "Subtract Display V", when that block would end past the sheet's
// rows less 2, the same block one row taller: the engine's sign that the row limit is
// reached; in the other modes, when it would pass the sheet's last row, the writer stops
// with the row-limit message). In TRAVEL an empty next block stops an unattended run
// and makes the writer ask in any other. State::request.PasteStopped tells the same as
// the answer's `next`.
Written PasteDownWard(host::State& s, xl::Range& block, const Text& resultText, ResultKind kind, bool firstPass);

// The message that a run has reached the row limit, the sheet's rows less 2.
void RowLimitMsg(host::State& s, long sheetRows);

// The paragraphs of the writer's messages, after the title "( mode ): ".
inline constexpr char16_t kHiddenColumnMsg[] = u"The Destination column is hidden.";
// After the mode (with blanks for "_") between quotation marks.
inline constexpr char16_t kHiddenColumnMsg2[] =
    u" will not paste results into a hidden Destination Column (although Results CAN be pasted into hidden Rows).";
inline constexpr char16_t kHiddenColumnMsg3[] =
    u"Please unhide the Destination column to the right of the selection and try again.";
inline constexpr char16_t kHiddenColumnMsg4[] =
    u"To unhide a column, Left-click a column identifier letter and drag to select multiple columns that border both "
    u"side of the hidden column(s). Right-click one of those column identifier letters and \"Unhide\".";
inline constexpr char16_t kProtectedMsg[] = u"Destination is PROTECTED - Can not write.";
inline constexpr char16_t kMergedMsg[] = u"Destination is a Merged Cell - Can not write.";
inline constexpr char16_t kTerminatedMsg[] = u"This Action has been terminated.";
inline constexpr char16_t kNotEmptyMsg[] = u"Destination is not empty.";
inline constexpr char16_t kNotEmptyMsg2[] = u"Clicking OK erases the selection before writing. Undo won't revert it!";
inline constexpr char16_t kNotEmptyMsg3[] =
    u"To avoid overwriting any data, Cancel and then Right-click the column identifier letter and \"Insert\" a new "
    u"column.";
inline constexpr char16_t kNotEmptyMsg4[] =
    u"To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then "
    u"either Left-click the column identifier letter and press the \"Delete\" key, or Right-click the column "
    u"identifier letter and click \"ClearContents\".";
inline constexpr char16_t kMergedEraseMsg[] =
    u"MERGED CELL in the destination area next to your selection - Can not erase or write.";
inline constexpr char16_t kMergedEraseMsg2[] =
    u"The results for this current selection size/shape have not been updated. This Action has been terminated.";

}  // namespace quillary::blocks
