#include "compare/tag_settings.h"

#include <gtest/gtest.h>

#include "compare/tests/desk.h"

namespace quillary::compare {
namespace {

using host::Proceed;

constexpr char16_t kSeveralAreas[] =
    u"(  ): IgnoreIndex# Mode is active and you have chosen to Sort and Tag duplicates, and to have a Duplicates "
    u"Summary put into the clipboard for pasting.\r\rBecause more than one different areas have been selected, "
    u"Quillary's \"TAG SETTINGS\" dialog box will not be displayed. No Result Tags will be placed within cells to the "
    u"right of your selections (if you had selected only a single area, a column of Tags placed to the right could be "
    u"used to \"Sort By\"). Also, Quillary's \"Compare Each Selected Row as a Single Item\" option will not be "
    u"available.\r\rInstead, you will be given the option to visit each Duplicate to place a Comment Tag. Hold down "
    u"the \"ENTER\" key to quickly run through each Duplicate. This process will be similar to merely selecting the "
    u"basic \"Sort/Duplicates\" option, except this process puts a Duplicates Summary into the clipboard whereas the "
    u"other does not.\r\rIf you do NOT want the present clipboard to be replaced with a new \"Duplicates Summary\", "
    u"choose CANCEL to Abort.\r\r";

// The help text for one area of one column, with the bench's captions.
constexpr char16_t kHelpOneColumn[] =
    u"\"Dups:Tag & Rprt\" has been initiated by using the \"Get/Try\" button.\r\rA single area has been selected. A "
    u"Duplicates Summary will be placed in the clipboard and in Quillary's active window if you choose \"OK\" "
    u"(regardless of your settings for Tagging and/or Highlighting Duplicates).\r\rWhen only one column has been "
    u"selected, you can have TAGS placed to the right without needing to join all Items on the same row.\r\rWhen you "
    u"make a single selection including multiple columns, you will only be able to have TAGS placed to the right if "
    u"\"Compare Each Row as a Single Item\" is chosen.\r\rTo compare each whole row against all other whole rows "
    u"within the selection, turn on the \"Compare Each Row as a Single Item\" option.\r\rIf TAGS are enabled, then "
    u"any duplicate Item found will be copied into the column to the right to become the TAG.\r\rWhen multiple "
    u"different areas are selected, this process will be similar to merely selecting the basic \"Sort/Duplicates\" "
    u"option. The difference is that the \"Sort/Duplicates\" option places a Duplicates Summary inside a Comment Tag, "
    u"whereas \"Dups:Tag & Rprt\" places a Duplicates Summary inside Quillary's Active Window and it will be "
    u"immediately ready in the clipboard for pasting. And you have the option of placing Tags to the right when your "
    u"Selection is a single Area. For multiple Selection Areas, placing Text Tags is not practical.\r\r\u00BB TO LIST "
    u"UNIQUE ITEMS ONLY ONCE (REMOVING DUPLICATES):\rUse the following method to create a sorted list of all unique "
    u"Items listed only once.\r\rSelect the same area two times (hold the Ctrl key to make the second selection over "
    u"the first selection). Turn on the \"Dups:Tag & Rprt\" option and click Quillary's \"Get/Try\". To compare each "
    u"whole row against all other whole rows within the selection, turn on the \"Compare Each Row as a Single Item\" "
    u"option. Every Item selected will be listed only once in the Duplicates Report (and the duplicates count will be "
    u"doubled). Paste the Report to the worksheet. Read \"Compare Each Row as a Single Item:\" under NOTES "
    u"below.\r_______________________\rNOTES:\rTo Compare two selections for Uniques Items (not Duplicates), choose "
    u"\"COMPARE 2/Uniques\" from Quillary's dropdown Action menu (can be used to quickly remove blank rows).\r\r\u00BB "
    u"PASTING THE DUPLICATES SUMMARY REPORT:\rBecause a Duplicates Summary Report can be pasted after completion, the "
    u"option to generate an additional Summary Report sheet is not available.\rBecause Excel's Edit>Paste can "
    u"incorrectly paste Items as number values or as formulas, and it can overwrite existing content without "
    u"warning, it is recommended that you use Quillary's \"Paste Safe To Cursor\" to correctly paste the Duplicates "
    u"Summary Report into THREE COLUMNS. Exisiting content will not be overwritten.\r\r\u00BB \"Compare Each Row as a "
    u"Single Item\":\rIf you select this option, then when you use Excel's Edit>Paste to put the Duplicates Summary "
    u"into a worksheet, the Summary will use AS MANY COLUMNS AS THE ORIGINAL content. Be sure not to overwrite "
    u"existing content. No other warning will be given (Excel's Undo will revert the paste). However, the "
    u"recommended method for pasting the Duplicates Report to the worksheet is to use Quillary's \"Paste Safe To "
    u"Cursor\" Action. Initially, it will paste into only three columns. But then turn off Quillary's Sort option, "
    u"select the column of Items in the report (not their counts) and click Quillary's \"Get/Try\" to bring them into "
    u"Quillary's active window. Click Quillary's \"Cell^Col\" label to change to columnar, and then use Quillary's "
    u"\"Paste Safe To Cursor\" to safely paste correct text into the worksheet using AS MANY COLUMNS AS THE ORIGINAL "
    u"selection.\r\rQuillary sets the \"TAB\" delimiter in the TextToColumns dialog box when this option is chosen.";

constexpr char16_t kLockedWarning[] =
    u"ATTENTION:\r\"Dups:Tag & Rprt\" has been initiated. This WorkSheet is Protected and there are cells in the area "
    u"to the right of this selection which are Locked.\rYou will not be able to have TAGS placed.";
constexpr char16_t kNoFormattingAlso[] =
    u"\r\rAlso, this WorkSheet is Protected. \"Format Cells\" is not allowed per the Protection Option "
    u"settings.\rYou will not be able to use Quillary's \"Color Marking\" option.";
constexpr char16_t kNoFormattingAlone[] =
    u"ATTENTION:\r\"Dups:Tag & Rprt\" has been initiated. This WorkSheet is Protected. \"Format Cells\" is not "
    u"allowed per the Protection Option settings.\rYou will not be able to use Quillary's \"Color Marking\" option.";

class TagSettingsTest : public ::testing::Test {
 protected:
  Proceed Show(TextView selection) {
    d.Select(selection);
    d.Begin(true);
    return DuplicatesFormShow(d.b.state);
  }
  bool Enabled(TextView name) { return d.Dialog(name).Enabled(); }

  Desk d;
};

TEST_F(TagSettingsTest, SeveralDifferentAreasAskInsteadOfShowingTheDialog) {
  for (const char16_t* areas : {u"A1:A3,C1:C3", u"A1:A3,A1:A3,A1:A3"}) {
    for (const int answer : {host::msgbox::kAnswerCancel, host::msgbox::kAnswerOk}) {
      SCOPED_TRACE(ToUtf8(areas));
      Desk fresh;
      fresh.b.state.compare.CompareStep = host::CompareStage::kClearRightTags;
      fresh.b.addin.QueueMessageAnswer(answer);
      fresh.Select(areas);
      fresh.Begin(true);
      EXPECT_EQ(DuplicatesFormShow(fresh.b.state), answer == host::msgbox::kAnswerOk ? Proceed::kGoOn : Proceed::kStop);
      ASSERT_EQ(fresh.Messages().size(), 1u);
      EXPECT_EQ(fresh.Messages()[0].prompt, kSeveralAreas);
      EXPECT_EQ(fresh.Messages()[0].style, 65);
      // Nothing else: the dialog is untouched and not shown, the step is kept.
      EXPECT_EQ(fresh.Dialog(u"Frame1").Caption(), u"");
      EXPECT_TRUE(fresh.Dialog(u"UseCollected").Visible());
      EXPECT_TRUE(fresh.b.addin.CallsOf(u"ShowCompDupUserForm").empty());
      EXPECT_EQ(fresh.b.state.compare.CompareStep, host::CompareStage::kClearRightTags);
    }
  }
}

TEST_F(TagSettingsTest, TheDialogIsResetForDuplicatesAndItsAnswerDecides) {
  d.b.state.compare.CompareStep = host::CompareStage::kClearLeftTags;
  d.Dialog(u"TagAreaProtected").SetEnabled(true);
  d.Dialog(u"ColorRightEnable").SetEnabled(true);
  d.b.addin.QueueCompareAnswer(1);
  EXPECT_EQ(Show(u"A1:A3"), Proceed::kGoOn);
  EXPECT_EQ(d.b.state.compare.CompareStep, host::CompareStage::kIdle);

  const struct {
    const char16_t* control;
    bool enabled;
  } states[] = {
      {u"SummaryYes", false},       {u"SummaryNo", false},        {u"UseNew", true},
      {u"IDcomment", false},        {u"TagNames", false},         {u"ColorLeftEnable", true},
      {u"ColorRightEnable", false}, {u"ColorRightSelect", false}, {u"DisableTags", true},
      {u"ListUniques", false},      {u"TagAreaProtected", false}, {u"JoinCells", true},
      {u"LocatorLabel", true},
  };
  for (const auto& st : states) EXPECT_EQ(Enabled(st.control), st.enabled) << ToUtf8(st.control);
  EXPECT_EQ(d.Dialog(u"Frame1").Caption(), u"Color for Marking Duplicates");
  EXPECT_EQ(d.Dialog(u"UseNew").Caption(), u"OK");
  EXPECT_TRUE(d.Dialog(u"UseNew").Default());
  EXPECT_FALSE(d.Dialog(u"UseCollected").Visible());
  EXPECT_EQ(d.Dialog(u"Textbox1").Text(), kHelpOneColumn);
  // The main form is hidden, the dialog shown with OK as its default button.
  ASSERT_EQ(d.b.addin.CallsOf(u"UserformHide").size(), 1u);
  EXPECT_EQ(d.b.addin.CallsOf(u"UserformHide")[0].args[0], Variant(u"MainUserForm"));
  ASSERT_EQ(d.b.addin.CallsOf(u"ShowCompDupUserForm").size(), 1u);
  EXPECT_EQ(d.b.addin.CallsOf(u"ShowCompDupUserForm")[0].args[0], Variant(u"UseNew"));
  EXPECT_TRUE(d.Messages().empty());

  Desk cancelled;
  cancelled.b.addin.QueueCompareAnswer(0);
  cancelled.Select(u"A1:A3");
  cancelled.Begin(true);
  EXPECT_EQ(DuplicatesFormShow(cancelled.b.state), Proceed::kStop);
  EXPECT_EQ(cancelled.b.state.compare.CompareStep, host::CompareStage::kIdle);
}

TEST_F(TagSettingsTest, TheHelpTextAndTheLocatorLabelFollowTheSelection) {
  const struct {
    const char16_t* selection;
    bool joinCells;
    bool locatorEnabled;
    const char16_t* sentence;  // a sentence the help text holds
    bool severalColumnsSentence;
  } cases[] = {
      {u"A1:A3", false, true, u"A single area has been selected.", false},
      {u"A1:B3", false, false, u"A single area has been selected.", true},
      {u"A1:B3", true, true, u"A single area has been selected.", true},
      {u"A1:A3,A1:A3", true, false, u"The identical area has been selected twice.", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.selection));
    Desk t;
    t.Dialog(u"JoinCells").SetValue(c.joinCells);
    t.b.addin.QueueCompareAnswer(1);
    t.Select(c.selection);
    t.Begin(true);
    EXPECT_EQ(DuplicatesFormShow(t.b.state), Proceed::kGoOn);
    EXPECT_EQ(t.Dialog(u"LocatorLabel").Enabled(), c.locatorEnabled);
    const Text help = t.Dialog(u"Textbox1").Text();
    EXPECT_NE(help.find(c.sentence), Text::npos);
    EXPECT_EQ(help.find(u"Because multiple Columns have been selected, you will only be able to have TAGS placed to "
                        u"the right if \"Compare Each Row as a Single Item\" is chosen.") != Text::npos,
              c.severalColumnsSentence);
  }
}

TEST_F(TagSettingsTest, AProtectedSheetSwitchesOffWhatItForbidsWithOneWarning) {
  const struct {
    const char* what;
    bool tagColumnLocked;
    bool mixed;  // one cell of the tag column locked
    bool formatting;
    Text warning;  // "" for none
  } cases[] = {
      {"unlocked, formatting allowed", false, false, true, u""},
      {"locked, formatting allowed", true, false, true, kLockedWarning},
      {"mixed, formatting allowed", false, true, true, kLockedWarning},
      {"unlocked, no formatting", false, false, false, kNoFormattingAlone},
      {"locked, no formatting", true, false, false, Text(kLockedWarning) + kNoFormattingAlso},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Desk t;
    if (!c.tagColumnLocked) t.Cell(u"B1:B3").SetLocked(false);
    if (c.mixed) t.Cell(u"B2").SetLocked(true);
    t.Sheet().Protect({.AllowFormattingCells = c.formatting});
    // The locator label keeps its state on a protected sheet unless the tags are locked.
    t.Dialog(u"LocatorLabel").SetEnabled(false);
    if (!c.warning.empty()) t.Ok();
    t.b.addin.QueueCompareAnswer(1);
    t.Select(u"A1:A3");
    t.Begin(true);
    EXPECT_EQ(DuplicatesFormShow(t.b.state), Proceed::kGoOn);
    const bool locked = c.tagColumnLocked || c.mixed;
    if (c.warning.empty()) {
      EXPECT_TRUE(t.Messages().empty());
    } else {
      ASSERT_EQ(t.Messages().size(), 1u);
      EXPECT_EQ(t.Messages()[0].prompt, c.warning);
      EXPECT_EQ(t.Messages()[0].style, 64);
    }
    EXPECT_EQ(t.Dialog(u"TagAreaProtected").Enabled(), locked);
    EXPECT_EQ(t.Dialog(u"ColorLeftEnable").Enabled(), c.formatting);
    EXPECT_FALSE(t.Dialog(u"LocatorLabel").Enabled());
    if (locked) {
      EXPECT_FALSE(t.Dialog(u"ListUniques").Enabled());
      EXPECT_FALSE(t.Dialog(u"IDcomment").Enabled());
    }
  }
}

TEST_F(TagSettingsTest, TheTagAreaIsShiftedByAMergedTopLeftCell) {
  // A1:C4 with A1:B3 merged: the tag area runs from C1 down to C2 (one column further
  // left and two rows shorter than D1:D4).
  const struct {
    const char16_t* unlocked;
    bool warned;
  } cases[] = {{u"D1:D4", true}, {u"C1:C2", false}};
  for (const auto& c : cases) {
    Desk t;
    t.Cell(u"A1:B3").Merge();
    t.Cell(c.unlocked).SetLocked(false);
    t.Sheet().Protect({.AllowFormattingCells = true});
    if (c.warned) t.Ok();
    t.b.addin.QueueCompareAnswer(1);
    t.Select(u"A1:C4");
    t.Begin(true);
    EXPECT_EQ(DuplicatesFormShow(t.b.state), Proceed::kGoOn);
    EXPECT_EQ(t.Dialog(u"TagAreaProtected").Enabled(), c.warned) << ToUtf8(c.unlocked);
  }
}

TEST_F(TagSettingsTest, AnAreaAtTheSheetsRightEndHasNoTagColumnToLock) {
  d.Sheet().Protect({.AllowFormattingCells = true});
  d.b.addin.QueueCompareAnswer(1);
  EXPECT_EQ(Show(u"XFD1:XFD3"), Proceed::kGoOn);
  EXPECT_TRUE(d.Messages().empty());
  EXPECT_FALSE(Enabled(u"TagAreaProtected"));
}

}  // namespace
}  // namespace quillary::compare
