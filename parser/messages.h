// The texts of the parser's messages, defined once for the run and its tests. Texts
// whose first paragraph carries the mode are completed by the run ("( " & mode & " ): "
// before the headline).
#pragma once

namespace quillary::parser::msg {

// No command to run.
inline constexpr char16_t kNoCommands[] = u"No Parsing Commands have been defined.";
inline constexpr char16_t kNoCommands2[] = u"Please define how to parse the selected text.";
inline constexpr char16_t kNoCommands3[] =
    u"If your selection does not need to be further modified, you can create a new worksheet by defining an event "
    u"that does nothing (e.g. @n/a step_null).";

// The row condition names an operand letter outside its alphabet.
inline constexpr char16_t kScriptCode[] = u"Script code error.";
inline constexpr char16_t kScriptCode2[] =
    u"An invalid script has been submitted that is not compatible with this version of Quillary.";

// The interpreter cannot run the script (or a cell cannot be read).
inline constexpr char16_t kRunError[] = u"Error while running script.";
inline constexpr char16_t kRunError2[] =
    u"This might be caused by incompatible script syntax or by an anomaly within the worksheet.";

// The bold-lines question.
inline constexpr char16_t kBold[] = u"Bolded cells have been found within the selection.";
inline constexpr char16_t kBold2[] =
    u"Choose OK to insert your Output Delimiter choice at the beginning of Bolded lines. This will have the effect "
    u"of indenting a bolded line by one column in addition to any other parsing commands.";
inline constexpr char16_t kBold3[] = u"OK to indent Bolded Lines?";

// The not-advancing guard; the overwrite paragraph names the row in between.
inline constexpr char16_t kNotAdvancing[] =
    u"The command procedure you provided is not advancing through the source and therefore might be defining an "
    u"infinite loop condition.";
inline constexpr char16_t kNotAdvancingRow[] =
    u"You requested that the original source be overwritten. This process stopped at worksheet row# ";
inline constexpr char16_t kNotAdvancingRow2[] =
    u" without modifying it. If the reported row# is beyond the first row, consider replacing the current source "
    u"with another copy of your original source.";
inline constexpr char16_t kNotAdvancingPreview[] =
    u" It is recommended that to you use the Preview mode to more quickly find and improve the step that does not "
    u"advance in your commands.";
inline constexpr char16_t kNotAdvancingLast[] =
    u"Please make changes to your commands so that this message does not get displayed.";

// The column limit.
inline constexpr char16_t kTooManyColumns[] =
    u"Your parsing commands created too many columns to fit in this version of Excel.";
inline constexpr char16_t kTooManyColumns2[] =
    u"Use the preview window to determine the issue. The the current results will NOT be output to the worksheet.";

// The column warning before the split; the numbers go in between.
inline constexpr char16_t kColumnWarning[] = u"There are ";
inline constexpr char16_t kColumnWarning2[] =
    u" more Output Delimiter characters within one row than there are worksheet columns available.";
inline constexpr char16_t kColumnWarning3[] = u"You are attempting to use more columns than exist.";
inline constexpr char16_t kColumnWarning4[] =
    u"Please change your ConvertText commands so that the amount of Output Delimiters within a single row do not "
    u"exceed the column count - 2 (";

// The page set-up question.
inline constexpr char16_t kPageSetup[] = u"[Report Page Setup?]( ";
inline constexpr char16_t kPageSetup2[] = u" ): Apply Quillary's default Printer Page_Setup?";
inline constexpr char16_t kPageSetup3[] =
    u"While using the print preview, try changing Portrait/Landscape and Fit To Pages Width/Tall.";
inline constexpr char16_t kPageSetup4[] =
    u"Choose NO if the worksheet has printer problems -- possibly due to a non-Excel generated worksheet.";

// An existing target sheet that holds data.
inline constexpr char16_t kSheetInUse[] = u"The worksheet ";
inline constexpr char16_t kSheetInUse2[] = u" already holds data.";
inline constexpr char16_t kSheetInUse3[] =
    u"The output lines will be written into its first column from row 1 on, over what is there, and split into the "
    u"columns beside them.";
inline constexpr char16_t kSheetInUse4[] = u"OK to write into this worksheet?";

// The target is protected: nothing is written. The sheet's name goes in between; the
// second paragraph is the one for an existing target, or for the source overwritten.
inline constexpr char16_t kTargetProtected[] = u"The worksheet ";
inline constexpr char16_t kTargetProtected2[] = u" is protected.";
inline constexpr char16_t kTargetProtectedSheet[] =
    u"The output lines cannot be written into it and split into columns while it is protected.";
inline constexpr char16_t kTargetProtectedSource[] = u"Selected cells that the output lines would replace are locked.";
inline constexpr char16_t kTargetProtected3[] =
    u"Nothing has been written. Unprotect the worksheet, or choose another target, and try again.";

// An output line longer than a cell holds; the row goes in between.
inline constexpr char16_t kLineTooLong[] = u"An output line is too long for a cell.";
inline constexpr char16_t kLineTooLong2[] = u"The parsing commands made the line for worksheet row# ";
inline constexpr char16_t kLineTooLong3[] = u" longer than 32,767 characters.";
inline constexpr char16_t kLineTooLong4[] =
    u"Nothing more is written: the source and the lines written before stay as they are.";

// The split failed; the error and the sheet go in between.
inline constexpr char16_t kSplitFailed[] = u"The output lines could not be split into columns.";
inline constexpr char16_t kSplitFailed2[] = u"The split stopped with: ";
inline constexpr char16_t kSplitFailed3[] = u"The output lines stay unsplit in the first column of the worksheet ";

}  // namespace quillary::parser::msg
