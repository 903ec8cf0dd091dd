// The words of COMPARE 2 and of the TAG SETTINGS dialog: the six texts of the compare
// dialog with its help text, the action's messages, and the TAG SETTINGS help text and
// its several-areas message. Lines are joined with carriage returns; "»" is U+00BB.
#pragma once

#include "platform/runtime/value.h"

namespace quillary::compare::texts {

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

}  // namespace quillary::compare::texts
