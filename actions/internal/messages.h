// The texts of the inline actions' messages: headlines (after the title with the mode)
// and paragraphs, each written once here for the code and its tests. Their words as the
// user reads them: tests/scenarios/actions/.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::actions::msg {

// Hard line breaks ("Wrap Text||  Clear", "Hyperlink|| ReplaceWith").
inline constexpr char16_t kLineBreaksFound[] = u"HARD LINE-BREAKS have been found within the selected cells.";
inline constexpr char16_t kLineBreaksLookLikeSquares[] =
    u"Hard Line-Breaks appear as small squares within the text when the text is NOT wrapped.";
inline constexpr char16_t kUnwrapKeepsLineBreaks[] = u"Excel's UnWrap does not remove hard line-breaks.";
inline constexpr char16_t kLineBreaksToCommas[] =
    u"Choose YES if you would like Quillary to use a COMMA (Quillary's Item delimiter) as a replacement for EVERY "
    u"hard line-break found within your WHOLE selection.";
inline constexpr char16_t kLineBreaksKept[] = u"Choose NO to leave hard line-breaks unaltered.";
inline constexpr char16_t kNoLinkWithLineBreaks[] =
    u"A Hyperlink can NOT be created for a cell containing Hard Line-Breaks. Even if the Hard Line-Breaks are "
    u"removed, the resulting text might not be useful as a hyperlink.";
inline constexpr char16_t kNoticeOnce[] =
    u"Click OK to continue. This message will not be displayed again until after this action finishes.";

// "PAINT TABLE Format": the confirmation on the big message form, a line each after its
// opening (which follows the mode in double quotes).
inline constexpr char16_t kPaintInitiated[] =
    u" has been initiated.   OK To PAINT Formatting?    Excel's Undo will not revert this!";
inline constexpr const char16_t* kPaintLines[] = {
    u"For each cell selected, this Action will; paint Borders around, Align text to the Top, auto-Size.",
    u"OK: the selected cells will auto-Wrap their text.",
    u"OK NoTextWrap: the selected cells will NOT wrap their text.",
    u"",
    u"Row Heights will be auto-sized to fit tallest cell of the row.",
    u"Column Widths will be auto-sized to fit the longest text within the selection.",
    u"Column widths will be reduced to 60 if wider.",
    u"Merged cells within the selection will be unmerged.",
};
// Followed by the "Wrap Text||  Clear" action's name (with ":") in double quotes and ".".
inline constexpr char16_t kPaintUnwrapOtherwise[] = u"Text can also be unwrapped with the Action ";
// The caption of the big message form's option button while it asks.
inline constexpr char16_t kNoTextWrapButton[] = u"OK NoTextWrap";

// The justify actions.
inline constexpr char16_t kMergedCellMet[] =
    u"There is a merged cell within your selection. This process will not shift merged cells.";
inline constexpr char16_t kActionAborted[] = u"This action has aborted.";
// Followed by the paint-table action's name in double quotes and kUnmergeBy2.
inline constexpr char16_t kUnmergeBy[] = u"Please unmerge the offending cell. Consider umerging all cells. Quillary's ";
inline constexpr char16_t kUnmergeBy2[] = u" action will unmerge cells.";

// A new text too long for a cell.
inline constexpr char16_t kOverflow[] =
    u"Overflow >32,760 text characters. Excel's text length limit has been exceeded.";
// kOverflowCount, the length ("##,##0"), kOverflowCount2.
inline constexpr char16_t kOverflowCount[] = u"There would be ";
inline constexpr char16_t kOverflowCount2[] =
    u" text characters to be put into the cell being processed. This cell's prior content will not be modified.";

// The prefix actions' faults.
inline constexpr char16_t kFirstItemFault[] =
    u"The first Item name in each selected cell must consist of an alpha prefix and an index number.";
inline constexpr char16_t kFirstItemFault2[] =
    u"If necessary, manually edit the first Item name so that it has an alpha prefix and an index number (e.g. R1) "
    u"and re-apply this action.";
inline constexpr char16_t kMixedPrefixFault[] = u"RefDes prefixes within one cell must all be the same.";
inline constexpr char16_t kMixedPrefixFault2[] =
    u"Manually correct any unintentional extra spaces within Item names and correct any missing commas between "
    u"Items.";
inline constexpr char16_t kContinueWithOthers[] = u"OK to Continue with other cells selected?";

// "Comma Space||  Set": the parentheses question.
inline constexpr char16_t kParentheses[] =
    u"There are Parenthesis within the selected content which might be used as delimiters. ";
inline constexpr char16_t kParentheses2[] =
    u"Would you like Quillary to replace ALL parenthesis found within your selection with a comma (Quillary's "
    u"delimiter)?";

// The hyperlink actions. kNoRoomRight, the sheet's column count, kNoRoomRight2.
inline constexpr char16_t kNoRoomRight[] = u"Cannot put result beyond ";
inline constexpr char16_t kNoRoomRight2[] = u" columns.";
inline constexpr char16_t kDestinationProtected[] = u"Destination is PROTECTED - Can not write.";
inline constexpr char16_t kActionTerminated[] = u"This Action has been terminated.";
inline constexpr char16_t kDestinationFilled[] = u"Destination is not empty.";
inline constexpr char16_t kDestinationFilled2[] =
    u"Clicking OK erases the selection before writing. Undo won't revert it!";
inline constexpr char16_t kDestinationFilled3[] =
    u"To avoid overwriting any data, Cancel and then Right-click the column identifier letter and choose "
    u"\"Insert\" to put an empty column in its place.";
inline constexpr char16_t kDestinationFilled4[] =
    u"To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then "
    u"either Left-click the column identifier letter and press the \"Delete\" key, or Right-click it and choose "
    u"\"ClearContents\".";

}  // namespace quillary::actions::msg
