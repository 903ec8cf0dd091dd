#include "drivers/get_try.h"

#include <gtest/gtest.h>

#include <string>

#include "drivers/routines.h"
#include "host/working_sheet.h"
#include "items/limits.h"
#include "items/messages.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

// A desk for one Get/Try press: cells typed into Sheet1 from A1 down, selected, and
// the driver run as the host's request runs it.
class Desk {
 public:
  Desk() { b.routines = BuildRoutines(); }
  void Cells(std::initializer_list<const char16_t*> values) {
    long row = 1;
    for (const char16_t* v : values) Sheet().Cells(row++, 1).SetValue(Text(v));
    rows_ = row - 1;
  }
  void Press(const char16_t* mode = u"Null") {
    Sheet().Range(Sheet().Cells(1, 1), Sheet().Cells(rows_, 1)).Select();
    b.BeginRequest(mode);
    GetSubtractSortCnt(b.state);
  }
  void Tick(const char16_t* control, bool on = true) { b.forms.mainUser.Item(control).SetValue(on); }
  Text Caption(const char16_t* control) { return b.forms.mainUser.Item(control).Caption(); }
  Text Window() { return b.state.request.ActiveWndw->Text(); }
  // The command-bar macros run, in order.
  std::vector<std::string> CommandBar() {
    std::vector<std::string> names;
    for (const auto& call : b.addin.Calls()) {
      if (call.macro == u"PutCbarCnt" || call.macro == u"PutCbarCntNull") names.push_back(ToUtf8(call.macro));
    }
    return names;
  }
  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }

  testkit::Bench b;

 private:
  long rows_ = 0;
};

// What the labels, the window and the command bar show: tests/scenarios/get_try/faults_in_the_labels.qs.
TEST(GetTry, AFaultIsKeptForLaterRequests) {
  const struct {
    const char* what;
    std::initializer_list<const char16_t*> cells;
    const char16_t* fault;
  } cases[] = {
      {"a duplicate", {u"R1, R2", u"R2"}, u" Duplicate"},
      {"a grammar fault", {u"R1", u"R1-R2-R3"}, u"Has More Than 1 Hyphen"},
  };
  for (const auto& c : cases) {
    Desk d;
    d.Cells(c.cells);
    d.Press();
    EXPECT_EQ(d.b.state.request.FaultMsg, c.fault) << c.what;
  }
}

TEST(GetTry, ExpandRefReadsTheActiveWindowTextAgain) {
  Desk d;
  d.Cells({u"x"});
  d.b.Control(host::ctl::main::kTextbox1).SetValue(Text(u"R3,R1\x1F,R2, C7"));
  d.Press(u"expand_ref");
  EXPECT_EQ(d.Caption(u"Label2"), u"Count = 4");
  EXPECT_EQ(d.b.services.clipboard.Contents(), u"R1-3,C7");
  EXPECT_EQ(d.Window(), u"R1-3,C7");
}

// A window edited by hand may mix the two range styles; a range that others join keeps
// its own style, whichever style the last Get met ("R1-R2" sets 2).
TEST(GetTry, ExpandRefJoinsRangesOfEitherStyle) {
  const struct {
    int rangeStyle;
    const char16_t* window;
    const char16_t* shown;
    const char16_t* count;
  } cases[] = {
      {2, u"C1-3,C4-C6", u"C1-6", u"Count = 6"},
      {1, u"C1-3,C4-C6", u"C1-6", u"Count = 6"},
      {2, u"C1-C3,C4-6", u"C1-C6", u"Count = 6"},
      {2, u"C1-C3,C4,C5-7", u"C1-C7", u"Count = 7"},
  };
  for (const auto& c : cases) {
    Desk d;
    d.Cells({u"x"});
    d.b.state.items.RangeStyle = c.rangeStyle;
    d.b.Control(host::ctl::main::kTextbox1).SetValue(Text(c.window));
    d.Press(u"expand_ref");
    EXPECT_EQ(d.Window(), c.shown) << ToUtf8(c.window);
    EXPECT_EQ(d.Caption(u"Label2"), c.count) << ToUtf8(c.window);
  }
}

TEST(GetTry, Compare2WithoutACollectingStepTouchesNoList) {
  Desk d;
  d.Cells({u"R1"});
  d.b.state.items.ItemCountText = u"1234";
  d.b.state.compare.CompareStep = host::CompareStage::kIdle;
  d.Press(u"COMPARE 2/Uniques");
  EXPECT_EQ(d.Caption(u"Label2"), u"Count = 1,234");
  EXPECT_EQ(d.b.addin.CommandBarCount(), std::optional<Text>(u"Cnt= 1,234"));
}

TEST(GetTry, SubtractsList2) {
  // List 2 is emptied by a plain Get, so it subtracts nothing there; COMPARE 2 step 6
  // gathers the selection into list 2 and subtracts it from list 1.
  Desk d;
  d.Cells({u"R1-R5"});
  d.Press();
  ASSERT_EQ(d.Caption(u"Label2"), u"Count = 5");
  d.Cells({u"R2, R4"});
  d.b.state.compare.CompareStep = host::CompareStage::kRightUniques;
  d.Press(u"COMPARE 2/Uniques");
  EXPECT_EQ(d.Caption(u"Label2"), u"Count = 3");
  EXPECT_EQ(d.b.services.clipboard.Contents(), u"R1,R3,R5");
}

TEST(GetTry, Compare2Steps3And4LeaveTheUniquesOfTheLeftArea) {
  Desk d;
  d.Sheet().Range(u"A1").SetValue(u"R1-R5");
  d.Sheet().Range(u"A2").SetValue(u"X");
  d.Sheet().Range(u"C1").SetValue(u"R2, R4, X");
  d.Sheet().Range(u"A1:A2,C1").Select();
  for (const host::CompareStage stage : {host::CompareStage::kGatherRight, host::CompareStage::kLeftUniques}) {
    d.b.BeginRequest(u"COMPARE 2/Uniques");
    d.b.state.compare.CompareStep = stage;
    GetSubtractSortCnt(d.b.state);
  }
  EXPECT_EQ(d.Window(), u"R1,R3,R5");
  EXPECT_EQ(d.Caption(u"Label2"), u"Count = 3");
}

TEST(GetTry, ALimitOfTheGatheringIsExplainedAndStopsTheRun) {
  Desk d;
  xl::Workbook& small = d.b.app->AddWorkbook(xl::memory::GridSize::Small);
  d.b.book = &small;
  Text cell;
  for (int i = 0; i < 16383; ++i) cell += i ? u",x" : u"x";
  xl::Worksheet& sheet = small.ActiveSheet();
  for (long row = 1; row <= 5; ++row) sheet.Cells(row, 1).SetValue(cell);
  sheet.Range(u"A1:A5").Select();
  d.Tick(u"CheckBox1");
  d.b.addin.QueueMessageAnswer(1);
  d.b.BeginRequest();
  GetSubtractSortCnt(d.b.state);
  const auto messages = d.b.addin.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].prompt, u"(  ): " + items::msg::TooManyItemsText(true, u"65533"));
  EXPECT_EQ(d.Caption(u"Label2"), u"Too Many Items");
  EXPECT_EQ(d.CommandBar(), std::vector<std::string>{"PutCbarCntNull"});
}

// The summary on the clipboard and the caption: tests/scenarios/get_try/duplicates_summary.qs.
TEST(GetTry, ADuplicatesSummaryIsPastedSplitAtTabs) {
  Desk d;
  d.Cells({u"a", u"b", u"a"});
  d.Tick(u"CheckBox1");
  d.Tick(u"CheckBox3");
  d.Tick(u"CheckBox4");
  d.b.addin.QueueCompareAnswer(1);  // the TAG SETTINGS dialog: OK
  d.Press();
  EXPECT_TRUE(d.b.state.drivers.TabSplitPaste);
  EXPECT_TRUE(d.b.app->RememberedTextToColumns().Tab);
}

TEST(GetTry, ATextTooLongForOneCellGetsTheAdviceOfItsMode) {
  const auto names = [] {
    std::vector<Text> out;
    for (int i = 0; i < 1200; ++i) {
      out.push_back(Text(30, static_cast<char16_t>(u'a' + i % 26)) + Text(1, static_cast<char16_t>(u'a' + i / 26)));
    }
    return out;
  }();
  const struct {
    const char* what;
    bool ignoreIndex;
    bool expand;
    const char16_t* advice;
  } cases[] = {
      {"IgnoreIndex#", true, false, u"Try PasteDsplyToCursor and/or Cell^Col. Rmv spcs."},
      {"CountIndex#", false, false, u"Try using IgnoreIndex# and/or Cell^Col. Rmv spcs."},
      {"ExpandRanges", false, true, u"Try w/o Expand Ranges and/or Cell^Col. Rmv spcs."},
  };
  for (const auto& c : cases) {
    Desk d;
    long row = 1;
    if (c.expand) {
      d.Sheet().Cells(row++, 1).SetValue(u"R1-R9000");
    } else {
      for (const Text& n : names) d.Sheet().Cells(row++, 1).SetValue(n);
    }
    d.Tick(u"CheckBox1", c.ignoreIndex);
    d.Tick(u"checkbox2", c.expand);
    d.Sheet().Range(d.Sheet().Cells(1, 1), d.Sheet().Cells(row - 1, 1)).Select();
    d.b.BeginRequest();
    GetSubtractSortCnt(d.b.state);
    EXPECT_GE(d.b.state.request.PasteRowCount, 2) << c.what;
    EXPECT_NE(d.Caption(u"Label11").find(u" Chars. Can't single cell paste."), Text::npos) << c.what;
    EXPECT_EQ(d.Caption(u"label10"), c.advice) << c.what;
    EXPECT_EQ(d.b.Control(host::ctl::main::kNotice).Value(), Variant(true)) << c.what;
  }
}

TEST(GetTry, TheBreakKeyEndsTheRunWithoutDisplay) {
  Desk d;
  for (int i = 1; i <= 40; ++i) d.Sheet().Cells(i, 1).SetValue(Text(u"R") + T(std::to_string(i)));
  d.Sheet().Range(u"A1:A40").Select();
  d.b.addin.QueueBreakAnswer(u"6");
  d.b.BeginRequest();
  GetSubtractSortCnt(d.b.state);
  // The labels, the window and the command bar: tests/scenarios/get_try/break_key.qs.
  EXPECT_TRUE(d.b.state.request.progress.UserAbort);
  EXPECT_EQ(d.b.state.request.DisplayText, u"");
}

}  // namespace
}  // namespace quillary::drivers
