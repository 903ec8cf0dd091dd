// The texts of the worksheet services' messages, for the code and its tests.
#pragma once

namespace quillary::sheets::msg {

// WholeColRow: an empty area, and a marker at a merged cell.
inline constexpr char16_t kEmptyAreaMsg[] = u"All cells are empty within an entire selected column or row.";
inline constexpr char16_t kEmptyAreaMsg2[] = u"Please make another selection.";

inline constexpr char16_t kMergedMarkerMsg[] = u"Your second selection area is at a merged cell.";
inline constexpr char16_t kMergedMarkerMsg2[] =
    u"This action has been aborted because your second selection is no larger than the merged cell at that "
    u"selection. You might have intended to select only a single cell, but could not.";
inline constexpr char16_t kMergedMarkerMsg3[] =
    u"It is recommended that you use Quillary's \"Paint Table Format\" on your selected areas to remove all "
    u"merged cells. Otherwise, either bold a different cell that is not merged, or unmerge the cells in your "
    u"second selection and then bold only one of those cells.";

// WholeColRowMergeCheck: a selection that merged cells widened, and the sides that
// moved.
inline constexpr char16_t kWidenedMsg1[] = u"Your selection #";
inline constexpr char16_t kWidenedMsg1b[] =
    u" was expanded by the presence of a MERGED CELL when you used Quillary's \"Entire Column or Entire Row\" "
    u"selection method.";
inline constexpr char16_t kWidenedMsg2[] =
    u"Quillary only reduces your first TWO \"Entire Column or Entire Row\" selections to fit actual content and "
    u"examines them for expansion caused by a Merged Cell.";
inline constexpr char16_t kWidenedMsg3[] =
    u"Quillary's process will be aborted. However, if you are satisfied with the new selection, run a process "
    u"now using this selection.";
inline constexpr char16_t kWidenedMsg4[] =
    u"Please take steps to be sure your selections are not persuaded to expand unexpectedly due to Merged Cells.";

inline constexpr char16_t kPushedTop[] =
    u"The top row of your selection was pushed further up than your original selection.";
inline constexpr char16_t kPushedBottom[] =
    u"The bottom row of your selection was pushed further down than your original selection.";
inline constexpr char16_t kPushedLeft[] =
    u"The left column of your selection was pushed further to the left than your original selection.";
inline constexpr char16_t kPushedRight[] =
    u"The right column of your selection was pushed further to the right than your original selection.";

// A result sheet that came out empty.
inline constexpr char16_t kNoContentMsg[] = u"The newly created worksheet has no content.";
inline constexpr char16_t kNoContentMsg2[] =
    u"Please change your original selection to include content that will carry over to a new worksheet for the "
    u"process you have applied.";

}  // namespace quillary::sheets::msg
