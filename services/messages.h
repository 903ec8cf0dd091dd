// The texts of the services' messages, for the code and its tests.
#pragma once

namespace quillary::services::msg {

// StatusComment: the paragraphs of its messages.
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

}  // namespace quillary::services::msg
