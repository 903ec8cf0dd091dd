// The texts of the drivers' messages, for the code and its tests.
#pragma once

namespace quillary::drivers::msg {

// PasteToCurs: the paragraphs of its messages; a titled message follows "( mode ): ".
inline constexpr char16_t kNoWindowTextMsg[] = u"There is no Text in Quillary's Active Window for pasting. ";
inline constexpr char16_t kPasteErrorMsg[] = u"An error occurred when attempting to paste text from the clipboard.";
// Followed by the working sheet's rows and ").".
inline constexpr char16_t kPasteErrorMsg2[] =
    u"It might be that more rows are needed than are available in the worksheet (";
inline constexpr char16_t kPasteErrorMsg3[] =
    u"Try first copying your text to a text editor such as Notepad and copy to the clipboard from there. And then "
    u"try to apply \"Paste Safely to Cursor\" again.";
inline constexpr char16_t kTooManyRowsMsg[] =
    u"There are not enough rows to put all of the gathered cells and delimited Items into one column starting at the "
    u"top of your selection.";
inline constexpr char16_t kTooFewColumnsMsg[] =
    u"There are not enough columns to put all of the gathered cells and delimited Items into three columns starting "
    u"at the left side of your selection.";
// Around the JoinCells option's caption between quotation marks.
inline constexpr char16_t kJoinedTooWideMsg2[] =
    u"If you are attempting to paste the results after using either the Compare or Duplicates Actions when the ";
inline constexpr char16_t kJoinedTooWideMsg3[] =
    u" option was used, be sure to use columnar pasting. If necessary, click Quillary's \"Cell^Col\" label to "
    u"switch to columnar.";
inline constexpr char16_t kLongLineMsg[] =
    u"Can't paste into a single cell. Excel's single cell text limit of approximately 32,760 has been exceeded.";
inline constexpr char16_t kLongLineMsg3[] =
    u"Instead of attempting to fit all Items into a single cell, you might prefer to paste Items individually into "
    u"cells down a column (columnar). To change to columnar, click Quillary's \"Cell^Col\" label.";
inline constexpr char16_t kLongLineMsg4[] =
    u"If you choose OK, Quillary will verify that the full destination is empty prior to pasting.";
inline constexpr char16_t kLongLineMsg5[] = u"Choose OK to proceed. Choose CANCEL to abort before pasting.";
inline constexpr char16_t kWillNotOverwriteMsg[] =
    u"Will not overwrite. You must manually clear the cells that will be used before they can be written to.";
inline constexpr char16_t kWillNotOverwriteMsg3[] =
    u"The process has CANCELLED. Close the dialog box and then press the delete key if it is OK to clear the area "
    u"needed.";
inline constexpr char16_t kWorksheetFaultMsg[] =
    u"Pasting was aborted before completion due to a worksheet fault. Please examine the destination area for the "
    u"cause of this fault.";
inline constexpr char16_t kNoClipboardTextMsg[] =
    u"There was no text in the clipboard to paste. Be sure to copy the source to the clipboard and try again.";
inline constexpr char16_t kNoClipboardTextMsg2[] =
    u"If you cannot copy & paste your data into a text editor such as Notepad, then it also can't be pasted as text "
    u"into Excel.";
inline constexpr char16_t kNoClipboardTextMsg3[] =
    u"An alternative to try is to format the destination cells as \"Text\" and use Excel's Paste.";

// SubtractRtDwn: the title of its messages, whichever of the two modes runs, and their
// paragraphs.
inline constexpr char16_t kSubtractDisplayTitle[] = u"( SubtractDisplay ): ";
// Between them the tagging option's caption between quotation marks.
inline constexpr char16_t kTaggingOnMsg[] = u"The ";
inline constexpr char16_t kTaggingOnMsgEnd[] = u" option is active.";
inline constexpr char16_t kTaggingOnMsg2[] = u"You can not use the SubtractDisplay action with that option active.";
// Followed by the tagging option's caption between quotation marks.
inline constexpr char16_t kTaggingOnMsg3[] = u"After you release this message, please uncheck ";
inline constexpr char16_t kFaultShownMsg[] = u"There is a fault message displayed within Quillary's Active Window.";
inline constexpr char16_t kFaultShownMsg2[] =
    u"Subtracting the faulty Active Window from your worksheet selection is not permitted.";
inline constexpr char16_t kFaultShownMsg3[] = u"Please try again using Items which have no faults.";

}  // namespace quillary::drivers::msg
