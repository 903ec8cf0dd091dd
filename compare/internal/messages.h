// The words of COMPARE 2 and of the TAG SETTINGS dialog: the six texts of the compare
// dialog with its help text, the action's messages and captions, the TAG SETTINGS help
// text and its several-areas message, and the tagging's messages. Lines are joined with
// carriage returns; "»" is U+00BB.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::compare::msg {

inline constexpr char16_t kCr[] = u"\r";

// How many of the main form's two windows hold a list.
enum class Lists { kNone, kOne, kTwo };

// The compare dialog's text for two selected areas (dialog texts 1 to 3, each followed
// by the help text).
Text TwoAreasDialog(Lists lists);
// The compare dialog's text for one area or more than two (dialog texts 4 to 6); they
// name which of the two it is.
Text OtherAreasDialog(Lists lists, bool oneArea);

// The action's messages; `mode` is the mode as it stands (titles are not cleaned).
Text MoreThanTwoAreas(TextView mode);
Text UnequalWidths(TextView mode, TextView joinCellsCaption);
Text WindowsNotSameMode();
Text CountIndexFormatFault(TextView mode);
Text ReportPageSetup(TextView mode);
Text NoUniquesReportChosen(TextView mode);
Text NoUniques(TextView mode);

// The TAG SETTINGS set-up: the headline (after the title) of the message for several
// different areas, and the dialog's help text. `tagCaption` is the main form's CheckBox4
// caption, `joinCaption` the dialog's JoinCells caption, `getTryCaption` the Get/Try
// button's caption.
Text SeveralAreas();
struct HelpFacts {
  bool oneArea = true;          // one area (else the same area twice)
  bool severalColumns = false;  // one area of more than one column
};
Text TagSettingsHelp(const HelpFacts& facts, TextView tagCaption, TextView joinCaption, TextView getTryCaption);

// The protection warning, sentence by sentence: each sentence after the first begins
// "Also, this WorkSheet ...", the first names what `initiator` started. The workbook
// sentence, when there is one, always comes first.
void AddWorkbookProtected(Text& warning, TextView initiator);
void AddTagAreaLocked(Text& warning, TextView initiator);
void AddNoFormatting(Text& warning, TextView initiator);

// The captions the compare dialog is set up with, for COMPARE 2 and for duplicates
// tagging, and the status line when the uniques are shown.
inline constexpr char16_t kColourUniques[] = u"Color for Marking Uniques";
inline constexpr char16_t kColourDuplicates[] = u"Color for Marking Duplicates";
inline constexpr char16_t kUseNewCaption[] = u"Use New";
inline constexpr char16_t kOkCaption[] = u"OK";
inline constexpr char16_t kUniquesShown[] = u"Items unique to each list are now displayed.";
// The count label's caption before the count.
inline constexpr char16_t kIgnoreIndexCount[] = u" IgnrIndex  Count = ";
inline constexpr char16_t kCount[] = u"Count = ";

// The paragraphs of the question about a tag column that is not empty, from "But cells
// in the area ...": `compare` for a comparison's results, else duplicates'; the closing
// sentence says what happens to comment boxes.
Text TagColumnQuestionTail(bool idComment, bool commentsFound, bool compare);

// Clearing the tags of a list with no results: the opening of each message (after the
// title), `lineBreak` between its two sentences, `label` the list's label and
// `tagCaption` the main form's CheckBox4 caption; then what follows it when the tag
// column is at the sheet's right end or beside the other selection.
Text NothingFound(bool compare, TextView label, TextView tagCaption, TextView lineBreak);
Text NothingToClearAtSheetEnd(TextView label);
Text WillNotClearAbutting(TextView label);
// The tag column could not be cleared: a merged cell in it, or another fault; titled
// with `mode` as it stands.
Text ClearMergedFault(TextView mode);
Text ClearFault(TextView mode);

// Tagging: the tags cannot go beside the area (after the reason why, `label` quoted);
// the reasons; the report that leaves out the column left of each area.
Text NoTagsWarning(TextView reason, TextView label);
inline constexpr char16_t kLeftAbutsRight[] =
    u"Because the left selection abuts against the selection at the right (without an unselected column between "
    u"them)";
Text AbutsSheetEnd(TextView label);
inline constexpr char16_t kReportNoLeftColumn[] =
    u"Because any Result Tags placed for the left selection would abut against the selection at the right, to avoid "
    u"confusion, the optional Summary Report will not include the extra column to the left of each selected area.";
// The question before clearing a filled tag column (headline after the title, then the
// body; `label` is the selection's label).
Text TagsFoundHeadline(bool compare, TextView label);
Text TagColumnQuestion(bool compare, TextView label, bool idComment, bool commentsFound);
// The tag column could not be cleared for tagging; titled with `mode` as it stands.
Text TagMergedFault(TextView mode);
Text TagFault(TextView mode);

// The summary report reached the sheet's last row (`rows`), after the title.
Text ReportHalted(long rows);

}  // namespace quillary::compare::msg
