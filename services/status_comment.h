// The status comment box: in IgnoreIndex# mode, with Sort on and duplicate tagging off,
// the pending Duplicates_Summary goes into a comment on a cell of the user's sheet, so
// that the list of duplicates travels with the selection.
#pragma once

#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::services {

// Puts State::DupSummaryText into a comment on area.Cells(1, 1).Offset(rowOffset,
// columnOffset). A comment already there is shown and replaced only when the user
// agrees; with no pending text an agreed-to old comment is just removed. The comment is
// sized to its text and left visible or hidden as the application's comment indicator
// setting (or the replaced comment) had it. A locked cell on a protected sheet is
// refused with a message. The closing notices appear only in mode "Null".
//
// The pending text is used at most once: DupSummaryText is empty afterwards, whatever
// happened (also in CountIndex# mode, or when nothing was written).
void StatusComment(host::State& s, int rowOffset, int columnOffset, const xl::Range& area);

// The paragraphs of its messages.
inline constexpr char16_t kProtectedCellMsg[] = u"PROTECTED CELL - Can not use comment box for status.";
inline constexpr char16_t kReplaceCommentMsg[] =
    u"There is a comment box in the top-left corner cell of the selection which will be removed so that the current "
    u"results using IgnoreIndex# can be indicated.";
inline constexpr char16_t kReplaceCommentMsg2[] =
    u"You can Right-click the Cell of the comment box and use Quillary's \"Copy Comment Text\" to copy the text into "
    u"the clipboard for pasting.";
inline constexpr char16_t kReplaceCommentMsg3[] = u"OK to replace the existing comment box?";
inline constexpr char16_t kNewCommentMsg[] =
    u"A new Comment Box has been placed in the top-left cell of the first area of your selection.";
inline constexpr char16_t kNewCommentMsg2[] =
    u"You can Right-click the cell of the comment box and use Quillary's \"Copy Comment Text\" to copy the text into "
    u"the clipboard for pasting.";
inline constexpr char16_t kNoNewCommentMsg[] =
    u"No new comment box was created because there are no new messages to display.";
// Followed by kNoNewCommentMsg in the same paragraph.
inline constexpr char16_t kCommentDeletedMsg[] =
    u"The previous comment box in the top-left cell of the first area of your selection was deleted.";

}  // namespace quillary::services
