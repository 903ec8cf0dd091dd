#include "compare/compare_two.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compare/internal/common.h"
#include "compare/tagging.h"
#include "compare/tests/desk.h"

namespace quillary::compare {
namespace {

constexpr char16_t kCompare[] = u"COMPARE 2/Uniques";

constexpr char16_t kIntro[] =
    u"\"COMPARE 2/Uniques\" has been initiated.\r\rDisplays all Items listed within one selection that are not listed "
    u"within the other selection (\"Uniques\" or \"Differences\").\r\r";
constexpr char16_t kSelectMore[] =
    u"|||||||||||||||||||||||\rTo select more than one area; Method#1) Make your first selection, then hold the Ctrl "
    u"Key and Left-click on a column's IDENTIFIER letter or on a row's IDENTIFIER number -- drag to include more "
    u"columns or rows if needed. Method#2) Make your first selection, then hold the Ctrl Key and Left-click on a CELL "
    u"at the start of a new selection. Then expand the selection by dragging the mouse (or to expand, RELEASE THE "
    u"CTRL KEY and HOLD THE SHIFT KEY, and then use either the Arrow Keys with the End Key or else click a cell that "
    u"you want to become the opposite corner of your selection).";
constexpr char16_t kUseCollectedLine[] =
    u"\u00BB USE COLLECTED: Compares the two previously collected lists already in Quillary's Window. The worksheet "
    u"selections will be ignored. No Tags or Color Marking will be applied to the worksheet. No Summary Report will "
    u"be generated (instead, paste Quillary's Split Windows for a listing). NOTE: Because only delimited Items are "
    u"held within Quillary's Windows, it is not possible to compare whole cell contents if there are commas present. "
    u"Multiple columns can not be compared. You must choose USE NEW to ignore commas and column boundaries. ";
constexpr char16_t kCancelLine[] =
    u"\u00BB CANCEL: To abort. Then either select two worksheet areas to be compared, or use Quillary's GET/TRY to "
    u"bring two lists into Quillary's Window to be compared.";

// One run of the action with the collecting steps, the staging's services and the
// tag clearing of the other subsystems recorded (or the real tag clearing).
struct Action {
  struct Step {
    int compareStep;
    Text window;
    friend bool operator==(const Step&, const Step&) = default;
  };

  Action() {
    auto& r = d.b.routines;
    r.GetSubtractSortCnt = [this](host::State& s) {
      getTry.push_back({host::StageNumber(s.compare.CompareStep), s.request.ActiveWndw->Name()});
      if (faultAtStep == host::StageNumber(s.compare.CompareStep)) s.request.FaultMsg = u"Has More Than 1 Hyphen";
    };
    r.CmprMark_Clear = [this](host::State& s, const Text& list) {
      clears.push_back({host::StageNumber(s.compare.CompareStep), list});
      if (breakAtClear) s.request.progress.UserAbort = true;
    };
  }

  // Selects `areas`, fills the two windows and runs the action in the Item mode.
  void Press(TextView areas, TextView window1 = u"", TextView window2 = u"", bool ignoreIndex = false) {
    d.Select(areas);
    d.b.forms.mainUser.Item(u"TextBox1").SetValue(Text(window1));
    d.b.forms.mainUser.Item(u"TextBox2").SetValue(Text(window2));
    d.b.forms.mainUser.Item(u"CheckBox1").SetValue(ignoreIndex);
    d.b.BeginRequest(kCompare);
    ActionCmprTwo(d.b.state);
  }
  Text DialogText() { return d.Dialog(u"Textbox1").Text(); }
  Text DefaultButton() {
    const auto calls = d.b.addin.CallsOf(u"ShowCompDupUserForm");
    return calls.empty() ? Text() : calls.back().args[0].AsText();
  }
  bool MainFormShown() { return !d.b.addin.CallsOf(u"ShowMainUserForm").empty(); }
  Text Window(TextView name) { return d.b.forms.mainUser.Item(name).Text(); }

  Desk d;
  std::vector<Step> getTry;
  std::vector<std::pair<int, Text>> clears;
  int faultAtStep = -1;
  bool breakAtClear = false;
};

class CompareTwoTest : public ::testing::Test, public Action {};

TEST_F(CompareTwoTest, TheDialogVariantFollowsTheAreasAndTheWindows) {
  const struct {
    const char* what;
    const char16_t* areas;
    const char16_t* window1;
    const char16_t* window2;
    const char16_t* line;  // the line naming the situation
    bool useNew;
    bool useCollected;
    const char16_t* defaultButton;
    bool help;
  } cases[] = {
      {"two areas, no list", u"A1:A2,C1:C2", u"", u"",
       u"(Two worksheet areas are selected, and no list is in Quillary's Window).", true, false, u"UseNew", true},
      {"two areas, one list", u"A1:A2,C1:C2", u"", u"x",
       u"(Two worksheet areas are selected, and only one list is in Quillary's Window).", true, false, u"UseNew", true},
      {"two areas, two lists", u"A1:A2,C1:C2", u"x", u"y",
       u"(Two worksheet areas are selected, and two lists are in Quillary's Window).", true, true, u"UseNew", true},
      {"one area, no list", u"A1:A2", u"", u"",
       u"(Only one worksheet area is selected, and no list is in Quillary's Window).", false, false, u"CloseButton",
       false},
      {"one area, one list", u"A1:A2", u"x", u"",
       u"(Only one worksheet area is selected, and only one list is in Quillary's Window).", false, false,
       u"CloseButton", false},
      {"one area, two lists", u"A1:A2", u"x", u"y",
       u"(Only one worksheet area is selected, and two lists are in Quillary's Window).", false, true, u"UseCollected",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Action t;
    t.d.b.addin.QueueCompareAnswer(0);
    t.Press(c.areas, c.window1, c.window2);
    const Text text = t.DialogText();
    EXPECT_EQ(text.rfind(kIntro, 0), 0u);
    EXPECT_NE(text.find(Text(u"\r") + c.line + u"\r"), Text::npos);
    EXPECT_EQ(text.find(u"\r\r|||||||||||||||||||||||\rDISABLE TAGS\rTags will NOT be placed next to your "
                        u"selections, and they will NOT be put in a Summary Report.\r\rLIST ALL UNIQUE ITEMS\r") !=
                  Text::npos,
              c.help);
    EXPECT_EQ(t.d.Dialog(u"UseNew").Enabled(), c.useNew);
    EXPECT_EQ(t.d.Dialog(u"UseCollected").Enabled(), c.useCollected);
    EXPECT_EQ(t.DefaultButton(), c.defaultButton);
    EXPECT_TRUE(t.MainFormShown()) << "a cancel re-shows the main form";
    EXPECT_EQ(t.d.b.state.compare.CompareStep, host::CompareStage::kIdle);
    EXPECT_TRUE(t.getTry.empty());
  }
}

TEST_F(CompareTwoTest, TheOneAreaTextsWordForWord) {
  d.b.addin.QueueCompareAnswer(0);
  Press(u"A1:A2", u"x", u"y");
  EXPECT_EQ(DialogText(), Text(kIntro) +
                              u"What do you want to compare?\r(Only one worksheet area is selected, and two lists are "
                              u"in Quillary's Window).\r\r" +
                              kUseCollectedLine + u"\r\r" + kCancelLine + u"\r\r" + kSelectMore);
  EXPECT_FALSE(d.Dialog(u"ColorLeftEnable").Enabled());
  EXPECT_FALSE(d.Dialog(u"JoinCells").Enabled());
  EXPECT_FALSE(d.Dialog(u"SummaryYes").Enabled());
}

TEST_F(CompareTwoTest, MoreThanTwoAreasAreCutToTheFirstAndTheLastOnYes) {
  const struct {
    int answer;
    const char16_t* selectionAfter;
    bool dialog;
  } cases[] = {
      {host::msgbox::kAnswerYes, u"$A$1:$A$2,$E$1:$E$2", true},
      {host::msgbox::kAnswerNo, u"$A$1:$A$2,$C$1:$C$2,$E$1:$E$2", true},
      {host::msgbox::kAnswerCancel, u"$A$1:$A$2,$C$1:$C$2,$E$1:$E$2", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    Action t;
    t.d.b.addin.QueueMessageAnswer(c.answer);
    if (c.dialog) t.d.b.addin.QueueCompareAnswer(0);
    t.Press(u"A1:A2,C1:C2,E1:E2");
    ASSERT_GE(t.d.Messages().size(), 1u);
    EXPECT_EQ(t.d.Messages()[0].prompt,
              u"( COMPARE 2/Uniques ): There are more than two areas selected on the worksheet.\r\rWould you like to "
              u"compare the first selection you made against the last selection you made?\r\rYES: All other selected "
              u"areas will be deselected except for the first and last.\rNO: Your selections will not be cleared and "
              u"if there is content within both of Quillary's windows, you will be able to compare them.\rCANCEL: "
              u"Your selections will not be cleared and this action will be aborted.");
    EXPECT_EQ(t.d.Messages()[0].style, 67);
    EXPECT_EQ(Selection(t.d.b.state).Address(), c.selectionAfter);
    EXPECT_EQ(t.d.b.book->Names().Count(), 0) << "the temporary names are gone";
    EXPECT_EQ(!t.d.b.addin.CallsOf(u"ShowCompDupUserForm").empty(), c.dialog);
    EXPECT_TRUE(t.MainFormShown());
    if (c.answer == host::msgbox::kAnswerNo) {
      EXPECT_EQ(t.DialogText(), Text(kIntro) +
                                    u"Two lists have not been made available for comparison.\rMore than two worksheet "
                                    u"areas are selected, and no list is in Quillary's Window).\r\r"
                                    u"\u00BB CANCEL: To abort. Then either select two worksheet areas to be compared, "
                                    u"or use Quillary's GET/TRY to bring two lists into Quillary's Window to be "
                                    u"compared.\r\r" +
                                    kSelectMore);
    }
  }
}

TEST_F(CompareTwoTest, AreasOfUnequalWidthAreNoted) {
  d.Ok();
  d.b.addin.QueueCompareAnswer(0);
  Press(u"A1:B2,D1:D2");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      u"( COMPARE 2/Uniques ): There are two areas selected on the worksheet.\r\rMore columns are selected in one "
      u"of the selected areas than are selected in the other.\r\rIf you were to select the option \"Compare Each "
      u"Row as a Single Item\" in the next dialog box, everything in both selections would be found to be unique "
      u"and the reporting would be of little value.\r\rHowever, using this creatively, you can REMOVE EMPTY ROWS "
      u"for consolidation while copying to a new location. To do this, select an area with content for the first "
      u"selection, then hold the Ctrl Key and click an empty cell to make the second selection. After you "
      u"generate a Summary Report (which will have no empty rows), you can use that in-place or copy and paste "
      u"it elsewhere. To retain the original sort order, be sure Quillary's Sort options are cleared.");
  EXPECT_EQ(d.Messages()[0].style, 64);
}

TEST_F(CompareTwoTest, ProtectionSwitchesOptionsOffWithOneWarning) {
  const Text workbook =
      u"ATTENTION: \"COMPARE 2/Uniques\" has been initiated. This WorkBook is Protected -- adding a new worksheet is "
      u"not allowed.\rQuillary's option for adding a Summary Report WorkSheet will be disabled.";
  const Text locked =
      u"his WorkSheet is Protected and there are cells in the area to the right of this selection which are "
      u"Locked.\rYou will not be able to have TAGS placed.";
  const Text format =
      u"his WorkSheet is Protected. \"Format Cells\" is not allowed per the Protection Option settings.\rYou will not "
      u"be able to use Quillary's \"Color Marking\" option.";
  const Text opening = u"ATTENTION:\r\"COMPARE 2/Uniques\" has been initiated. T";
  const struct {
    const char* what;
    bool book;
    bool sheet;
    const char16_t* unlocked;  // cells unlocked before protecting
    bool formatting;
    Text warning;
  } cases[] = {
      {"workbook", true, false, u"B1:B2", true, workbook},
      {"sheet, first tag column locked, no formatting", false, true, u"D1:D2", false,
       opening + locked + u"\r\rAlso, t" + format},
      {"sheet, second tag column locked", false, true, u"B1:B2", true, opening + locked},
      {"workbook and sheet", true, true, u"B1:B2,D1:D2", false, workbook + u"\r\rAlso, t" + format},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Action t;
    t.d.Cell(c.unlocked).SetLocked(false);
    if (c.sheet) t.d.Sheet().Protect({.AllowFormattingCells = c.formatting});
    if (c.book) t.d.b.book->Protect(true, false);
    t.d.Ok();
    t.d.b.addin.QueueCompareAnswer(0);
    t.Press(u"A1:A2,C1:C2");
    ASSERT_EQ(t.d.Messages().size(), 1u);
    EXPECT_EQ(t.d.Messages()[0].prompt, c.warning);
    EXPECT_EQ(t.d.Messages()[0].style, 64);
    EXPECT_EQ(t.d.Dialog(u"SummaryYes").Enabled(), !c.book);
    const bool tagsLocked = c.warning.find(u"Locked.") != Text::npos;
    EXPECT_EQ(t.d.Dialog(u"TagAreaProtected").Enabled(), tagsLocked);
    EXPECT_EQ(t.d.Dialog(u"ListUniques").Enabled(), !tagsLocked);
    EXPECT_EQ(t.d.Dialog(u"ColorRightEnable").Enabled(), c.formatting);
  }
}

TEST_F(CompareTwoTest, TheWindowsAreSplitAtTheDividerThatStandsInTheMiddle) {
  forms::UserForm& main = d.b.forms.mainUser;
  const auto place = [&](TextView name) { return std::pair{main.Item(name).Left(), main.Item(name).Width()}; };
  // Label13 in the middle and Label12 at the left edge: Textbox2 becomes the left window.
  main.Item(u"Label12").SetLeft(0);
  main.Item(u"Label13").SetLeft(250);
  d.b.addin.QueueCompareAnswer(0);
  Press(u"A1:A2,C1:C2", u"x", u"y");
  EXPECT_EQ(main.Item(u"Label13").Left(), 198);
  EXPECT_TRUE(main.Item(u"Label13").Visible());
  EXPECT_FALSE(main.Item(u"Label12").Visible());
  EXPECT_EQ(main.Item(u"Label14").Left(), 202);
  EXPECT_EQ(main.Item(u"Label15").Left(), 4);
  EXPECT_EQ(place(u"TextBox2"), (std::pair{0.0, 199.5}));
  EXPECT_EQ(place(u"TextBox1"), (std::pair{199.5, 198.5}));

  // Neither divider in its place, and lists in the windows: the layout stays.
  Action t;
  forms::UserForm& other = t.d.b.forms.mainUser;
  other.Item(u"Label12").SetLeft(100);
  other.Item(u"TextBox1").SetWidth(50);
  t.d.b.addin.QueueCompareAnswer(0);
  t.Press(u"A1:A2,C1:C2", u"x", u"y");
  EXPECT_EQ(other.Item(u"Label12").Left(), 100);
  EXPECT_EQ(other.Item(u"TextBox1").Width(), 50);
}

TEST_F(CompareTwoTest, UseNewRunsTheStepsInOrder) {
  d.b.addin.QueueCompareAnswer(1);
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);  // no uniques at all
  d.b.state.drivers.TabSplitPaste = true;
  Press(u"C1:C2,A1:A2", u"old", u"");
  EXPECT_EQ(getTry, (std::vector<Step>{{3, u"TextBox2"}, {4, u"TextBox1"}, {6, u"TextBox2"}}));
  EXPECT_EQ(clears, (std::vector<std::pair<int, Text>>{{5, u"unique1_w"}, {7, u"unique1"}}));
  EXPECT_EQ(d.b.services.clipboard.Attempts(sys::MemoryClipboard::Operation::Clear), 2);
  EXPECT_FALSE(d.b.app->RememberedTextToColumns().Tab) << "Tabs no longer split the user's pastes";
  EXPECT_FALSE(d.b.state.drivers.TabSplitPaste);
  EXPECT_EQ(d.b.addin.CallsOf(u"Split_ab_SameSetting").size(), 1u);
  EXPECT_EQ(Window(u"TextBox1"), u"") << "emptied before the steps";
  // The finishing: the status line, the starting window active again, no uniques.
  EXPECT_EQ(d.b.forms.mainUser.Item(u"label10").Caption(), u"Items unique to each list are now displayed.");
  EXPECT_EQ(d.b.forms.mainUser.Item(u"CheckBox8").Value(), Variant(true));
  EXPECT_EQ(d.b.state.request.ActiveWndw->Name(), u"TextBox1");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt,
            u"( COMPARE 2/Uniques ): NO UNIQUE ITEMS WERE FOUND IN EITHER OF THE TWO SELECTIONS when compared against "
            u"one another.");
  EXPECT_EQ(d.Messages()[0].style, 0);
  EXPECT_TRUE(MainFormShown());
  EXPECT_EQ(d.b.state.compare.CompareStep, host::CompareStage::kIdle);
}

TEST_F(CompareTwoTest, AFaultOfTheFirstStepsStopsTheComparison) {
  const struct {
    int step;
    bool ignoreIndex;
    bool message;
  } cases[] = {{3, false, true}, {4, false, true}, {3, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    Action t;
    t.faultAtStep = c.step;
    t.d.b.addin.QueueCompareAnswer(1);
    if (c.message) t.d.Ok();
    t.Press(u"A1:A2,C1:C2", u"", u"", c.ignoreIndex);
    EXPECT_EQ(static_cast<int>(t.getTry.size()), c.step == 3 ? 1 : 2);
    ASSERT_EQ(t.d.Messages().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(t.d.Messages()[0].prompt,
                u"( COMPARE 2/Uniques ): A format fault was found while collecting Items using CountIndex# "
                u"Mode.\r\rWhen using the CountIndex# Mode, all format faults must be remedied before comparisons can "
                u"be made.\r\rAfter closing this message, use GET/TRY to identify and correct any formatting "
                u"faults.\r\rAlternatively, change the Mode to IgnoreIndex# and apply \"COMPARE 2/Uniques\" again.");
    }
    EXPECT_FALSE(t.MainFormShown());
    EXPECT_EQ(host::StageNumber(t.d.b.state.compare.CompareStep), c.step == 3 ? 3 : 5) << "the step is kept";
  }
}

TEST_F(CompareTwoTest, TheBreakKeyEndsTheComparisonAfterATagClearing) {
  breakAtClear = true;
  d.b.addin.QueueCompareAnswer(1);
  Press(u"A1:A2,C1:C2");
  EXPECT_EQ(getTry.size(), 2u) << "step 6 is not reached";
  EXPECT_TRUE(MainFormShown());
  EXPECT_EQ(d.b.state.compare.CompareStep, host::CompareStage::kIdle);
}

TEST_F(CompareTwoTest, UseCollectedComparesTheTwoWindowsLists) {
  d.b.forms.mailBox.Item(u"QuillaryWndwsMatch").SetEnabled(true);
  d.b.addin.QueueCompareAnswer(2);
  Press(u"A1:A2,C1:C2", u"a,b,c", u"c,a,d", true);
  EXPECT_EQ(Window(u"TextBox1"), u"b");
  EXPECT_EQ(Window(u"TextBox2"), u"d") << "less the whole of the left list";
  EXPECT_EQ(d.b.forms.mainUser.Item(u"Label2").Caption(), u" IgnrIndex  Count = 1");
  EXPECT_EQ(d.b.addin.CallsOf(u"PutCbarCntNull").size(), 2u);
  EXPECT_TRUE(getTry.empty()) << "nothing is gathered from the sheet";
  EXPECT_TRUE(clears.empty()) << "nor tagged";
  EXPECT_TRUE(d.Messages().empty());
  EXPECT_TRUE(MainFormShown());
}

TEST_F(CompareTwoTest, UseCollectedNeedsBothWindowsInTheSameModeWithTwoAreas) {
  d.b.addin.QueueCompareAnswer(2);
  d.Ok();
  Press(u"A1:A2,C1:C2", u"a,b", u"b");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt.rfind(u"The \"COMPARE 2/Uniques\" action has been chosen but a comparison cannot "
                                         u"be made when Quillary's two windows are not set to the same mode.\r\r",
                                         0),
            0u);
  EXPECT_EQ(Window(u"TextBox1"), u"a,b");

  // With one area the test is not made.
  Action t;
  t.d.b.addin.QueueCompareAnswer(2);
  t.Press(u"A1:A2", u"a,b", u"b", true);
  EXPECT_EQ(t.Window(u"TextBox1"), u"a");
}

TEST_F(CompareTwoTest, JoinedRowsAreSwappedIntoBothWindowsAtTheEnd) {
  // Each collecting step leaves a comma list in the window it collected into.
  d.b.routines.GetSubtractSortCnt = [](host::State& s) { s.request.ActiveWndw->SetValue(u"x,y"); };
  d.Tick(u"JoinCells");
  d.b.addin.QueueCompareAnswer(1);
  d.Ok();
  Press(u"A1:A2,C1:C2", u"", u"", true);
  EXPECT_EQ(Window(u"TextBox1"), u"x\r\ny");
  EXPECT_EQ(Window(u"TextBox2"), u"x\r\ny");
}

TEST_F(CompareTwoTest, TheReportOptionWithoutAReportSaysSo) {
  d.Tick(u"SummaryYes");
  d.b.addin.QueueCompareAnswer(1);
  d.Ok();
  Press(u"A1:A2,C1:C2");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt,
            u"( COMPARE 2/Uniques ): NO UNIQUE ITEMS WERE FOUND IN EITHER OF THE TWO SELECTIONS when compared against "
            u"one another.\r\rA Summary Report worksheet will NOT be created because there are no unique Items to "
            u"list.");
  EXPECT_TRUE(MainFormShown());
}

}  // namespace
}  // namespace quillary::compare
