#include "compare/internal/messages.h"

#include <span>
#include <string>

#include "host/callbacks.h"

namespace quillary::compare::msg {

namespace {

// clang-format off
// The opening lines of every dialog text.
constexpr const char16_t* kIntro[] = {
    u"\"COMPARE 2/Uniques\" has been initiated.",
    u"",
    u"Displays all Items listed within one selection that are not listed within the other selection (\"Uniques\" or \"Differences\").",
    u"",
};

// Dialog text 1: two areas, no list in the windows.
constexpr const char16_t* kDialog1[] = {
    u"What do you want to compare?",
    u"(Two worksheet areas are selected, and no list is in Quillary's Window).",
    u"",
    u"\u00BB USE NEW: Compares the two worksheet areas selected.",
    u"",
    u"\u00BB CANCEL: To abort. Then either select two new worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.",
};

// Dialog text 2: two areas, one list in the windows.
constexpr const char16_t* kDialog2[] = {
    u"What do you want to compare?",
    u"(Two worksheet areas are selected, and only one list is in Quillary's Window).",
    u"",
    u"\u00BB USE NEW: Compares the two worksheet areas selected. This will overwrite the previously collected list in Quillary's Window.",
    u"",
    u"\u00BB CANCEL: To abort. Then either select two new worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.",
};

// Dialog text 3: two areas, two lists in the windows.
constexpr const char16_t* kDialog3[] = {
    u"What do you want to compare?",
    u"(Two worksheet areas are selected, and two lists are in Quillary's Window).",
    u"",
    (u"\u00BB USE COLLECTED: Compares the two lists already collected in Quillary's Window. The worksheet selections will be ignored. " u"No Tags or Color Marking will be applied to the worksheet. No Summary Report will be generated (instead, paste Quillary's Split Windows for a listing). " u"NOTE: Because only delimited Items are held within Quillary's Windows, it is not possible to compare whole cell contents if there are commas present. Multiple columns can not be compared. You must choose USE NEW to ignore commas and column boundaries. "),
    u"",
    u"\u00BB USE NEW: Compares the two worksheet areas selected. This will overwrite the list previously collected in Quillary's Window.",
    u"",
    u"\u00BB CANCEL: To abort. Then either select two new worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.",
};

// Dialog texts 4 to 6: one area or more than two. The line before the alternative and
// what follows it, then the lines after it.
constexpr const char16_t* kNoListsHead = u"Two lists have not been made available for comparison.";
constexpr const char16_t* kDialog6Head = u"What do you want to compare?";
constexpr const char16_t* kDialog4Tail = u", and no list is in Quillary's Window).";
constexpr const char16_t* kDialog5Tail = u", and only one list is in Quillary's Window).";
constexpr const char16_t* kDialog6Tail = u", and two lists are in Quillary's Window).";
constexpr const char16_t* kDialog6UseCollected =
    u"\u00BB USE COLLECTED: Compares the two previously collected lists already in Quillary's Window. The worksheet selections will be ignored. " u"No Tags or Color Marking will be applied to the worksheet. No Summary Report will be generated (instead, paste Quillary's Split Windows for a listing). " u"NOTE: Because only delimited Items are held within Quillary's Windows, it is not possible to compare whole cell contents if there are commas present. Multiple columns can not be compared. You must choose USE NEW to ignore commas and column boundaries. ";
constexpr const char16_t* kCancelOtherAreas =
    u"\u00BB CANCEL: To abort. Then either select two worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.";
// The closing lines of dialog texts 4 to 6: how to select more than one area.
constexpr const char16_t* kSelectMore[] = {
    u"|||||||||||||||||||||||",
    u"To select more than one area; Method#1) Make your first selection, then hold the Ctrl Key and Left-click on a column's IDENTIFIER letter or on a row's IDENTIFIER number -- drag to include more columns or rows if needed. Method#2) Make your first selection, then hold the Ctrl Key and Left-click on a CELL at the start of a new selection. Then expand the selection by dragging the mouse (or to expand, RELEASE THE CTRL KEY and HOLD THE SHIFT KEY, and then use either the Arrow Keys with the End Key or else click a cell that you want to become the opposite corner of your selection).",
};

// The help text after dialog texts 1 to 3.
constexpr const char16_t* kHelp[] = {
    u"|||||||||||||||||||||||",
    u"DISABLE TAGS",
    u"Tags will NOT be placed next to your selections, and they will NOT be put in a Summary Report.",
    u"",
    u"LIST ALL UNIQUE ITEMS",
    u"Text Tags will be placed to the right of each row that has a unique Item. This Tag lists all of the unique Items found on each row within your selection. This is not available when you compare all cells on a row as though they are a single Item.",
    u"",
    u"ID COMMENT",
    u"Comment Tags will be placed to the right of each row that contains a unique Item. Use this Tag to identify the selection containing the unique Item when LIST ALL UNIQUE ITEMS is used as the text tag.",
    u"",
    u"LOCATOR LABEL",
    u"Text Tags will be placed to the right of each row that contains a unique Item. Use this Tag to identify the selection containing the unique Item.",
    u"",
    u"LOCATOR LABEL NAME BOX",
    u"Choose Text Tag names from the drop-down box. To modify the drop-down list, see \"MORE ABOUT\" below.",
    u"",
    u"COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION",
    u"All content on each row within your selection will treated as though it is only one \"long\" Item being compared. Use this to determine if anything on the row is different than a row in another selection. This action will not pre-sort Items in cells before comparison. So consider using one of Quillary's sorting functions prior to comparing depending on whether Item order should, or should not, be a factor in determining differences between two selections. Read more in \"MORE ABOUT\" below.",
    u"",
    u"COLOR FOR MARKING UNIQUES",
    u"ENABLE a color to use as the background color for each row within the selection that contains unique Items (differences). When a color is ENABLED, you can click the color to change it.",
    u"",
    u"SUMMARY WRKSHEET/REPORT",
    u"YES: A new worksheet containing the Summary Report will be created. NO: The results will be shown within Quillary's Window only.",
    u"",
    u"The Summary Report will include a new row for each row within your selection that contains a unique Item. So if the same unique Item is repeated on multiple rows of your selection, those multiple rows will also appear in the Summary Report. A specific row will be listed in the Summary Report only once, even if a row within the selection contains multiple unique Items. To see a list of all Items that are unique on a row, use the \"List All Unique Items option\". The purpose of this Action is to identify Uniques (differences). Please use Quillary's \"Dups:Tag & Rprt\" or \"CountIndex#\" to locate duplicates within a selection.",
    u"",
    u"When the \"List All Unique Items\" is chosen, all unique Items will be listed as the Tag in the rightmost column of the Summary Report. That Tag column can appear to be similar (or even identical) to one of the original columns being compared. This might be confusing at first. So remember that if you allow Tags to be written on the original sheet next to the columns being compared, those same Tags will be copied to the Summary Report into the rightmost column.",
    u"",
    u"The Summary Report will not contain informative Tags unless you enable them AND (if asked) allow them to overwrite any previous Tags in the column to the right of the columns being compared. Tags can be useful for sorting and for jumping to differences by first pressing and releasing the End key and then press either the DownArrow or the UpArrow key when the cursor is in the Tag column. Also, use Excel's Data>Filter>AutoFilter on Quillary's Tag column to display only tagged rows within the original lists.",
    u"",
    u"Whenever possible, for reference purposes, the Summary Report will include one additional column to the left outside your selection. That column will not be compared. Move a column or insert a column into this position to use for sorting the results Summary Report. It your selections are up against the left edge of the worksheet or are within two columns along side each other, the extra column is not included. If included, it will be the first column to the left in the Summary Report.",
    u"_______________________",
    u"MORE ABOUT: CUSTOM LOCATOR LABEL NAMES",
    u"You can use Excel's Find and Replace to change the resulting TAG names to any other name which might be more useful for your purpose.",
    u"",
    u"You can type your own Locator Label TAG Names into the dropdown box. If you want to use a different TAG name for each of the two compare selections, separate the two names with a forward slash \"/\". Otherwise, enter one name and Quillary will append an \"(a)\" and a \"(b)\" to identify the Left and Right selections. The new name will be preceeded by \"in\". For example, when an existing name is fully highlighted in the dropdown box, press the Backspace Key, don't type any characters but press Enter. A blank entry is added to the dropdown list and the new TAG will be applied as; \"in(a)\" and \"in(b)\".",
    u"",
    u"You can also paste a list of your own Locator Label TAG Names into the dropdown box (up to 15 additions). First clear the dropdown box by selecting one of Quillary's default names to fully highlight it and then press the Delete Key (default names can not be deleted but added names can). Copy (Ctrl+C) and Paste (Ctrl+V) a short list that has each Tag name on a separate line/row. Press Enter and they will be included in the dropdown list. Your pasted names are NOT retained when Quillary is re-started.",
    u"_______________________",
    u"MORE ABOUT: COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION",
    u"You can use this option to compare a column of counts generated by Quillary to an existing column of counts. Insert a column of Row#'s or Item#'s next to both columns of counts and include them in your selection before using this Action. Quillary will indicate where the counts differ on the same rows.",
    u"",
    u"Another way to use this option to compare a column of counts generated by Quillary to an existing column of counts is to copy and insert the original QTY column to both sides of Quillary's QTY column. One selection should include Quillary's QTY column along with the inserted original QTY column to its left . The other selection should include Quillary's QTY column along with the inserted original QTY column to its right. Quillary will indicate where the counts differ on the same rows.",
    u"",
    u"You can use this option creatively to remove empty rows for consolidation while copying to a new location. To do this, select an area with content for the first selection, then hold the Ctrl Key and click an empty cell to make the second selection. After you generate a Summary Report (which will have no empty rows), you can use that in-place or copy and paste it elsewhere. To retain the original sort order, be sure Quillary's Sort options are cleared.",
    u"",
    u"When this option is chosen, \"TextToColumns\" delimiters will be cleared and Quillary's pasting mode will be set to be columnar so that pasted results will go into many rows in a single column. Click Quillary's \"Cell^Col\" label to switch between pasting columnar (many rows) or into a single cell. Be careful not to overwrite exisiting content since no warning is given when pasting (however, Excel's Undo will revert the paste). It is often best to use Quillary's \"PasteDisplayToCursor\" action to be warned about overwriting and it will also auto-parse into multiple columns.",
    u"",
    (u"You can quickly rearrange column order if needed, and then return back to the original order. If there are no empty rows above your data, insert a couple. Mark the original column order by putting a single incrementing number into each column in a row above the content of interest (from left to right; 1,2,3, etc.). Then, in the row above that one, put a number in each column which indicates your preferred arrangement order. Now select all content in those columns and go to Excel's menu Data>Sort>Options and select \"Sort Left to Right\". Click OK. Then, for \"Sort by\", choose one of the rows that holds your recently added number sequences. Click OK. " u"To save number sequences, copy them to a text file. To paste them back into a worksheet from the file, use Excel's menu Data>TextToColumns>Delimited: enable TAB, and Cancel. Insert empty rows above your data as needed, and then paste the column numbering sequence from the clipboard. Afterward, to prevent Excel from continuing to split pasted text into columns automatically, clear Excel's delimiter setting by simply reopening Quillary's Window."),
    u"_______________________",
    u"NOTES",
    u"You can readily spot differences between two similar cells marked as different by selecting one cell and then the other while watching the formual bar.",
    u"If you make more than two selections, you will have the option to use only the first and last selection. So, if you make a mistake selecting the second area, you can keep trying until you get it right.",
    u"",
    u"Normally, you will notice this Action processes fairly quickly (even with tens of thousands of records). But, depending on your computer's resources, if your worksheet is very large or if other applications are running, this Action might perform relatively slowly due to hard drive access. If this happens, try closing other applications. Also, try saving your workbook and re-opening it. If this Action still seems slower than you want to wait, copy only the pertinent portion of the list to another worksheet, close the larger worksheet, and apply this Action. You can insert the result back into the original worksheet.",
};

// Message 1 (its first line follows the title).
constexpr const char16_t* kMoreThanTwoAreas[] = {
    u"There are more than two areas selected on the worksheet.",
    u"",
    u"Would you like to compare the first selection you made against the last selection you made?",
    u"",
    u"YES: All other selected areas will be deselected except for the first and last.",
    u"NO: Your selections will not be cleared and if there is content within both of Quillary's windows, you will be able to compare them.",
    u"CANCEL: Your selections will not be cleared and this action will be aborted.",
};

// Message 2, around the JoinCells caption in its fifth line.
constexpr const char16_t* kUnequalWidthsHead[] = {
    u"There are two areas selected on the worksheet.",
    u"",
    u"More columns are selected in one of the selected areas than are selected in the other.",
    u"",
};
constexpr const char16_t kUnequalWidthsOption[] = u"If you were to select the option \"";
constexpr const char16_t kUnequalWidthsOptionEnd[] =
    u"\" in the next dialog box, everything in both selections would be found to be unique and the reporting would be of little value.";
constexpr const char16_t* kUnequalWidthsTail[] = {
    u"",
    u"However, using this creatively, you can REMOVE EMPTY ROWS for consolidation while copying to a new location. To do this, select an area with content for the first selection, then hold the Ctrl Key and click an empty cell to make the second selection. After you generate a Summary Report (which will have no empty rows), you can use that in-place or copy and paste it elsewhere. To retain the original sort order, be sure Quillary's Sort options are cleared.",
};

// Message 3.
constexpr const char16_t* kWindowsNotSameMode[] = {
    u"The \"COMPARE 2/Uniques\" action has been chosen but a comparison cannot be made when Quillary's two windows are not set to the same mode.",
    u"",
    u"Please click on Quillary's two windows to view and modify their major mode setting.",
    u"",
    u"They must both be either IgnoreIndex# or CountIndex#. The other options need not be identical (the active settings will be applied to both windows).",
    u"",
    u"Your current selection on the worksheet will be retained if you do NOT click on the worksheet.",
};

// Message 4.
constexpr const char16_t* kFormatFault[] = {
    u"A format fault was found while collecting Items using CountIndex# Mode.",
    u"",
    u"When using the CountIndex# Mode, all format faults must be remedied before comparisons can be made.",
    u"",
    u"After closing this message, use GET/TRY to identify and correct any formatting faults.",
    u"",
    u"Alternatively, change the Mode to IgnoreIndex# and apply \"COMPARE 2/Uniques\" again.",
};

// Message 5.
constexpr const char16_t* kReportPageSetup[] = {
    u"Comparison is Complete. Apply default Printer Page_Setup?",
    u"",
    u"The new output results table is highlighted. The original input list is intact on its original sheet behind the new small window.",
    u"",
    u"Excel's AutoFilter is ON for the result worksheet. To sort or to filter, use its dropdown boxes in top row of results. Sort Ascending/Descending choices are at the top in the dropdown boxes (scroll upward to find them). To sort using priorities, sort columns starting from your least significant consideration through to your most significant. Include a column of numbered rows to return to the original sort order. Do not use AutoFilter when there are empty columns between content or you will lose relationships.",
    u"",
    u"Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.",
};

// Message 6.
constexpr const char16_t* kNoUniquesReport[] = {
    u"NO UNIQUE ITEMS WERE FOUND IN EITHER OF THE TWO SELECTIONS when compared against one another.",
    u"",
    u"A Summary Report worksheet will NOT be created because there are no unique Items to list.",
};

// Message 7.
constexpr const char16_t* kNoUniques[] = {
    u"NO UNIQUE ITEMS WERE FOUND IN EITHER OF THE TWO SELECTIONS when compared against one another.",
};
// clang-format on

// Appends the lines, each after a carriage return (none before the text's first).
void AppendLines(Text& out, std::span<const char16_t* const> lines) {
  for (const char16_t* line : lines) {
    if (!out.empty()) out += kCr;
    out += line;
  }
}

void AppendLine(Text& out, TextView line) {
  if (!out.empty()) out += kCr;
  out += line;
}

// "( " & mode & " ): " & the first line, then the other lines.
Text Titled(TextView mode, std::span<const char16_t* const> lines) {
  Text out = host::TitledWith(mode, lines.front());
  for (const char16_t* line : lines.subspan(1)) {
    out += kCr;
    out += line;
  }
  return out;
}

}  // namespace

Text TwoAreasDialog(Lists lists) {
  Text out;
  AppendLines(out, kIntro);
  switch (lists) {
    case Lists::kNone: AppendLines(out, kDialog1); break;
    case Lists::kOne: AppendLines(out, kDialog2); break;
    case Lists::kTwo: AppendLines(out, kDialog3); break;
  }
  // One empty line, then the help text.
  out += kCr;
  AppendLines(out, kHelp);
  return out;
}

Text OtherAreasDialog(Lists lists, bool oneArea) {
  Text out;
  AppendLines(out, kIntro);
  const char16_t* tail = lists == Lists::kNone ? kDialog4Tail : lists == Lists::kOne ? kDialog5Tail : kDialog6Tail;
  AppendLine(out, lists == Lists::kTwo ? kDialog6Head : kNoListsHead);
  // The alternative: which selection there is (an opening parenthesis for one area, and
  // for more than two areas in dialog text 6 only).
  Text alternative;
  if (oneArea) {
    alternative = u"(Only one worksheet area is selected";
  } else {
    alternative = lists == Lists::kTwo ? u"(More than two worksheet areas are selected"
                                       : u"More than two worksheet areas are selected";
  }
  AppendLine(out, alternative + tail);
  if (lists == Lists::kTwo) {
    AppendLine(out, u"");
    AppendLine(out, kDialog6UseCollected);
  }
  AppendLine(out, u"");
  AppendLine(out, kCancelOtherAreas);
  AppendLine(out, u"");
  AppendLines(out, kSelectMore);
  return out;
}

Text MoreThanTwoAreas(TextView mode) { return Titled(mode, kMoreThanTwoAreas); }

Text UnequalWidths(TextView mode, TextView joinCellsCaption) {
  Text out = Titled(mode, kUnequalWidthsHead);
  out += kCr;
  out += kUnequalWidthsOption;
  out += joinCellsCaption;
  out += kUnequalWidthsOptionEnd;
  AppendLines(out, kUnequalWidthsTail);
  return out;
}

Text WindowsNotSameMode() {
  Text out;
  AppendLines(out, kWindowsNotSameMode);
  return out;
}

Text CountIndexFormatFault(TextView mode) { return Titled(mode, kFormatFault); }

Text ReportPageSetup(TextView mode) { return u"[Report Page Setup?]" + Titled(mode, kReportPageSetup); }

Text NoUniquesReportChosen(TextView mode) { return Titled(mode, kNoUniquesReport); }

Text NoUniques(TextView mode) { return Titled(mode, kNoUniques); }

Text SeveralAreas() {
  Text out =
      u"IgnoreIndex# Mode is active and you have chosen to Sort and Tag duplicates, and to have a Duplicates Summary "
      u"put into the clipboard for pasting.";
  for (const char16_t* paragraph : {
           u"Because more than one different areas have been selected, Quillary's \"TAG SETTINGS\" dialog box will "
           u"not be displayed. No Result Tags will be placed within cells to the right of your selections (if you had "
           u"selected only a single area, a column of Tags placed to the right could be used to \"Sort By\"). Also, "
           u"Quillary's \"Compare Each Selected Row as a Single Item\" option will not be available.",
           u"Instead, you will be given the option to visit each Duplicate to place a Comment Tag. Hold down the "
           u"\"ENTER\" key to quickly run through each Duplicate. This process will be similar to merely selecting the "
           u"basic \"Sort/Duplicates\" option, except this process puts a Duplicates Summary into the clipboard "
           u"whereas "
           u"the other does not.",
           u"If you do NOT want the present clipboard to be replaced with a new \"Duplicates Summary\", choose CANCEL "
           u"to Abort.",
       }) {
    out += u"\r\r";
    out += paragraph;
  }
  out += u"\r\r";
  return out;
}

Text TagSettingsHelp(const HelpFacts& facts, TextView tagCaption, TextView joinCaption, TextView getTryCaption) {
  using host::Quoted;
  const Text c4 = Quoted(tagCaption);
  const Text jc = Quoted(joinCaption);
  const Text ps = Quoted(u"Paste Safe To Cursor");
  Text out = c4 + u" has been initiated by using the " + Quoted(getTryCaption) + u" button.";
  if (facts.oneArea && facts.severalColumns) {
    out +=
        u"\r\rBecause multiple Columns have been selected, you will only be able to have TAGS placed to the right if " +
        jc + u" is chosen.";
  }
  out += u"\r\r";
  out += facts.oneArea ? u"A single area has been selected." : u"The identical area has been selected twice.";
  out +=
      u" A Duplicates Summary will be placed in the clipboard and in Quillary's active window if you choose \"OK\" "
      u"(regardless of your settings for Tagging and/or Highlighting Duplicates).";
  out +=
      u"\r\rWhen only one column has been selected, you can have TAGS placed to the right without needing to join all "
      u"Items on the same row.";
  out +=
      u"\r\rWhen you make a single selection including multiple columns, you will only be able to have TAGS placed to "
      u"the right if " +
      jc + u" is chosen.";
  out += u"\r\rTo compare each whole row against all other whole rows within the selection, turn on the " + jc +
         u" option.";
  out +=
      u"\r\rIf TAGS are enabled, then any duplicate Item found will be copied into the column to the right to become "
      u"the TAG.";
  out +=
      u"\r\rWhen multiple different areas are selected, this process will be similar to merely selecting the basic "
      u"\"Sort/Duplicates\" option. The difference is that the \"Sort/Duplicates\" option places a Duplicates Summary "
      u"inside a Comment Tag, whereas " +
      c4 +
      u" places a Duplicates Summary inside Quillary's Active Window and it will be immediately ready in the "
      u"clipboard for pasting. And you have the option of placing Tags to the right when your Selection is a single "
      u"Area. For multiple Selection Areas, placing Text Tags is not practical.";
  out +=
      u"\r\r\u00BB TO LIST UNIQUE ITEMS ONLY ONCE (REMOVING DUPLICATES):\rUse the following method to create a sorted "
      u"list of all unique Items listed only once.\r\rSelect the same area two times (hold the Ctrl key to make the "
      u"second selection over the first selection). Turn on the " +
      c4 +
      u" option and click Quillary's \"Get/Try\". To compare each whole row against all other whole rows within the "
      u"selection, turn on the " +
      jc +
      u" option. Every Item selected will be listed only once in the Duplicates Report (and the duplicates count will "
      u"be doubled). Paste the Report to the worksheet. Read " +
      Quoted(Text(joinCaption) + u":") + u" under NOTES below.";
  out +=
      u"\r_______________________\rNOTES:\rTo Compare two selections for Uniques Items (not Duplicates), choose "
      u"\"COMPARE 2/Uniques\" from Quillary's dropdown Action menu (can be used to quickly remove blank rows).";
  out +=
      u"\r\r\u00BB PASTING THE DUPLICATES SUMMARY REPORT:\rBecause a Duplicates Summary Report can be pasted after "
      u"completion, the option to generate an additional Summary Report sheet is not available.\rBecause Excel's "
      u"Edit>Paste can incorrectly paste Items as number values or as formulas, and it can overwrite existing content "
      u"without warning, it is recommended that you use Quillary's " +
      ps +
      u" to correctly paste the Duplicates Summary Report into THREE COLUMNS. Exisiting content will not be "
      u"overwritten.";
  out += u"\r\r\u00BB " + jc +
         u":\rIf you select this option, then when you use Excel's Edit>Paste to put the Duplicates Summary into a "
         u"worksheet, the Summary will use AS MANY COLUMNS AS THE ORIGINAL content. Be sure not to overwrite existing "
         u"content. No other warning will be given (Excel's Undo will revert the paste). However, the recommended "
         u"method for pasting the Duplicates Report to the worksheet is to use Quillary's " +
         ps +
         u" Action. Initially, it will paste into only three columns. But then turn off Quillary's Sort option, select "
         u"the column of Items in the report (not their counts) and click Quillary's \"Get/Try\" to bring them into "
         u"Quillary's active window. Click Quillary's \"Cell^Col\" label to change to columnar, and then use "
         u"Quillary's " +
         ps + u" to safely paste correct text into the worksheet using AS MANY COLUMNS AS THE ORIGINAL selection.";
  out += u"\r\rQuillary sets the \"TAB\" delimiter in the TextToColumns dialog box when this option is chosen.";
  return out;
}

namespace {

// The joint before a sentence of the protection warning: "Also, t" after an earlier
// sentence, else the opening that names what was started, ending in "T".
void Joint(Text& warning, TextView initiator) {
  if (!warning.empty()) {
    warning += u"\r\rAlso, t";
  } else {
    warning = u"ATTENTION:\r\"" + Text(initiator) + u"\" has been initiated. T";
  }
}

}  // namespace

void AddWorkbookProtected(Text& warning, TextView initiator) {
  warning = u"ATTENTION: \"" + Text(initiator) +
            u"\" has been initiated. This WorkBook is Protected -- adding a new worksheet is not allowed.\r"
            u"Quillary's option for adding a Summary Report WorkSheet will be disabled.";
}

void AddTagAreaLocked(Text& warning, TextView initiator) {
  Joint(warning, initiator);
  warning +=
      u"his WorkSheet is Protected and there are cells in the area to the right of this selection which are "
      u"Locked.\rYou will not be able to have TAGS placed.";
}

void AddNoFormatting(Text& warning, TextView initiator) {
  Joint(warning, initiator);
  warning +=
      u"his WorkSheet is Protected. \"Format Cells\" is not allowed per the Protection Option settings.\rYou will "
      u"not be able to use Quillary's \"Color Marking\" option.";
}

namespace {

constexpr char16_t kCr2[] = u"\r\r";

}  // namespace

Text TagColumnQuestionTail(bool idComment, bool commentsFound, bool compare) {
  const TextView results = compare ? u"Comparison" : u"Duplicates";
  Text out = u"But cells in the area to the right of this selection are not all empty";
  if (idComment && commentsFound) out += u" (and/or they have Comment Boxes)";
  out += u". Typically, if those cells hold Tags as the result of a previous ";
  out += results;
  out += u" Result, choose \"YES\" to remove them from this ";
  out += results;
  out +=
      u" Result. But if they are not previously placed Tags, choose \"NO\" for now, and then insert an empty column to "
      u"receive Tags (Right-click the column identifier letter and \"Insert\").";
  out += kCr2;
  if (idComment) {
    out += commentsFound
               ? u"Because you have chosen to place Comment Box Tags, the existing Comment Boxes Tags WILL be "
                 u"erased if you choose YES now."
               : u"Comment Boxes Tags will be added as needed.";
  } else {
    out += commentsFound ? u"Note: Because you have NOT chosen to place Comment Box Tags, the existing Comment Boxes "
                           u"Tags will be NOT be erased if you choose YES now."
                         : u"There are no existing Comment Box Tags to the right of your selection.";
  }
  return out;
}

Text NothingFound(bool compare, TextView label, TextView tagCaption, TextView lineBreak) {
  Text out;
  if (compare) {
    out += u"NO UNIQUE ITEMS WERE FOUND in list " + Text(label) + u".";
    out += lineBreak;
    out += u"You have chosen to compare two selections and the selection " + host::Quoted(label) +
           u" has NO unique Items.";
  } else {
    out += u"NO DUPLICATES WERE FOUND in list " + Text(label) + u".";
    out += lineBreak;
    out += u"You have chosen " + host::Quoted(tagCaption) +
           u" for a single selection and that selection has NO Duplicate Items.";
  }
  return out;
}

Text NothingToClearAtSheetEnd(TextView label) {
  return u"\r\rThere are NO PREVIOUS TAG RESULTS to clear in the column to the right because selection " +
         host::Quoted(label) + u" abuts against the right end of the worksheet.";
}

Text WillNotClearAbutting(TextView label) {
  return u"\r\rWILL NOT CLEAR any previous Tag results in the column to the right because selection " +
         host::Quoted(label) +
         u" either abuts the other selection to the right or it abuts against the right end of the worksheet.";
}

Text ClearMergedFault(TextView mode) {
  return u"( " + Text(mode) +
         u" ): There is a MERGED CELL in the TAG destination area. Any previous existing content could not be cleared "
         u"in the TAG destination area.\r\rTAGGING is INCOMPLETE. Processing will continue, but do NOT depend on the "
         u"resulting TAGS to represent the complete final results.\r\rPlease unmerge the offending cell. Consider "
         u"umerging all cells. Quillary's \"Paint Table Format\" will unmerge cells.\r\r";
}

Text ClearFault(TextView mode) {
  return u"( " + Text(mode) +
         u" ): This process will not place all TAGS due to an unanticipated FAULT.\r\rTAGGING is INCOMPLETE. Any "
         u"previously existing content in the TAG destination area could not be cleared. Processing will continue, "
         u"but do NOT depend on the resulting TAGS to represent the complete final results.\r\r";
}

Text NoTagsWarning(TextView reason, TextView label) {
  const Text quoted = host::Quoted(label);
  return Text(reason) + u", you will not be able to place Result Tags for the " + quoted + u" selection." + kCr2 +
         u"The optional Summary Report will also NOT show Tags next to listed Items for the " + quoted +
         u" selection. However, you can place your own Tags into the Summary Report.";
}

Text AbutsSheetEnd(TextView label) {
  return u"Because the " + host::Quoted(label) + u" selection abuts against the right end of the worksheet";
}

Text TagsFoundHeadline(bool compare, TextView label) {
  return (compare ? u"UNIQUE ITEMS HAVE BEEN FOUND " : u"DUPLICATES HAVE BEEN FOUND ") + host::Quoted(label) +
         u" worksheet selection.";
}

Text TagColumnQuestion(bool compare, TextView label, bool idComment, bool commentsFound) {
  Text out = kCr2;
  out += compare ? u"You have chosen to put Tag Labels in the area to the right of your " + host::Quoted(label) +
                       u" worksheet selection."
                 : Text(u"You have chosen to put Tag Labels in the area to the right of your worksheet selection.");
  out += kCr2;
  out += TagColumnQuestionTail(idComment, commentsFound, compare);
  return out;
}

Text TagMergedFault(TextView mode) {
  return u"( " + Text(mode) +
         u" ): There is a merged cell in the TAG destination area. This process will not place TAGS into merged "
         u"cells.\r\rTAGGING is INCOMPLETE. Any previously existing content in the TAG destination area could not be "
         u"cleared. Processing will continue, but do NOT depend on the resulting TAGS to represent the complete final "
         u"results.\r\rPlease unmerge the offending cell. Consider umerging all cells. Quillary's \"Paint Table "
         u"Format\" will unmerge cells.\r\r";
}

Text TagFault(TextView mode) {
  return u"( " + Text(mode) +
         u" ): This process will not place all TAGS due to an unanticipated FAULT.\r\rTAGGING is INCOMPLETE. "
         u"Previous content in the TAG destination area could not be cleared. Processing will continue, but do NOT "
         u"depend on the resulting TAGS to represent the complete final results.\r\r";
}

Text ReportHalted(long rows) {
  return u"Halted Report Worksheet creation. Reached the " + FromUtf8(std::to_string(rows)) + u" Row limit.";
}

}  // namespace quillary::compare::msg
