#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/internal/run.h"
#include "actions/tests/desk.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"

namespace quillary::actions {
namespace {

using host::ModeId;

// Recording fakes for every routine the Action list hands over to.
struct HandOvers {
  struct Call {
    std::string routine;
    Text mode;
  };
  explicit HandOvers(Desk& d) {
    const auto record = [this](const char* name) {
      return [this, name](host::State& s) { calls.push_back({name, s.request.vbaMode.Text()}); };
    };
    d.b.routines.PasteToCurs = record("PasteToCurs");
    d.b.routines.SubtractRtDwn = record("SubtractRtDwn");
    d.b.routines.ActionCmprTwo = record("ActionCmprTwo");
    d.b.routines.ReverseOrder = record("ReverseOrder");
    d.b.routines.CnvrtNetTelesis = record("CnvrtNetTelesis");
    d.b.routines.RowsReduce = record("RowsReduce");
    d.b.routines.RowExpand = record("RowExpand");
  }
  std::vector<Call> calls;
};

TEST(Dispatcher, EachHandedOverEntryRunsItsRoutineOnceWithTheModeAsSent) {
  const struct {
    ModeId mode;
    const char* routine;
  } rows[] = {
      {ModeId::kPasteSafeToCursor, "PasteToCurs"},  {ModeId::kCompare2, "ActionCmprTwo"},
      {ModeId::kSubtractDisplayV, "SubtractRtDwn"}, {ModeId::kSubtractDisplayRight, "SubtractRtDwn"},
      {ModeId::kLastWordFirst, "ReverseOrder"},     {ModeId::kNetlistConvert, "CnvrtNetTelesis"},
      {ModeId::kReduceRowsToOne, "RowsReduce"},     {ModeId::kExpandRowToMany, "RowExpand"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(host::ModeText(row.mode)));
    Desk d;
    HandOvers h(d);
    d.Run(row.mode, u"A1:B2");
    ASSERT_EQ(h.calls.size(), 1u);
    EXPECT_EQ(h.calls[0].routine, row.routine);
    EXPECT_EQ(h.calls[0].mode, host::ModeText(row.mode));
    EXPECT_TRUE(d.Messages().empty());
  }
}

TEST(Dispatcher, AHandOverThatIsNotBuiltFailsSayingSo) {
  Desk d;
  const Error e = check::ExpectRaises([&] { d.Run(ModeId::kCompare2, u"A1"); }, err::kNoSuchMember, "Actions: ");
  EXPECT_NE(std::string(e.Description()).find("\"ActionCmprTwo\" is not part of this build"), std::string::npos)
      << e.Description();
}

TEST(Dispatcher, OnlyTheActionsThatAddASheetAreStoppedByAProtectedWorkbook) {
  Desk d;
  HandOvers h(d);
  // The working sheet is there from an earlier request: a protected workbook gets none.
  d.b.BeginRequest();
  host::InitPlace(d.b.state, host::kList1);
  d.b.book->Protect(true, false);
  for (ModeId mode : {ModeId::kNetlistConvert, ModeId::kReduceRowsToOne, ModeId::kExpandRowToMany}) {
    d.b.addin.ClearLog();
    d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    d.Run(mode, u"A1");
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].prompt,
              u"( " + Text(host::ModeText(mode)) + u" ): " +
                  host::Paragraphs({host::kWorkbookProtectedMsg, host::kWorkbookProtectedMsg2}));
  }
  EXPECT_TRUE(h.calls.empty());
  d.Run(ModeId::kLastWordFirst, u"A1");
  ASSERT_EQ(h.calls.size(), 1u);
  EXPECT_EQ(h.calls[0].routine, "ReverseOrder");
}

TEST(Dispatcher, TextsWithoutAnActionClearList1AndTheUnattendedFlagAndDoNothingElse) {
  // The vocabulary's texts without an action, and listed texts spelled otherwise.
  const Text texts[] = {u"Tools",
                        u"Text Converter/Import",
                        u"AlignTop: Set",
                        u"Borders||  Clear",
                        u"Borders||  Set",
                        u"Wrap Text||  Set",
                        u"Wrap Text|| Clear",
                        u"Columns||  Justify Right",
                        u"case||  upper",
                        u"Null"};
  for (const Text& text : texts) {
    SCOPED_TRACE(ToUtf8(text));
    Desk d;
    HandOvers h(d);
    d.b.BeginRequest();
    host::InitPlace(d.b.state, host::kList1);
    xl::Worksheet& work = d.b.Sheet(host::kHiddenWorkSht);
    work.Range(u"B2").SetValue(u"'$A$1");
    d.Column(u"A1", {u"r1, 2"});
    d.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
    d.Run(text, u"A1");
    EXPECT_TRUE(work.Range(u"B2").Value().IsEmpty());
    EXPECT_FALSE(d.Control(host::ctl::mail::kSkipMenu).Enabled());
    EXPECT_EQ(d.Value(u"A1"), Variant(u"r1, 2"));
    EXPECT_TRUE(h.calls.empty());
    EXPECT_TRUE(d.Messages().empty());
  }
}

TEST(Dispatcher, ANestedRunKeepsItsCallersUnattendedFlag) {
  Desk d;
  d.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
  d.Control(host::ctl::mail::kModeHold).SetCaption(host::ModeText(ModeId::kNetlistConvert));
  d.Run(u"Tools", u"A1");
  EXPECT_TRUE(d.Control(host::ctl::mail::kSkipMenu).Enabled());
}

TEST(Dispatcher, ClearActiveWindowEmptiesTheActiveBoxKeepsItActiveAndLeavesTheUnattendedFlag) {
  for (const host::ControlId box : {host::ctl::main::kTextbox1, host::ctl::main::kTextbox2}) {
    SCOPED_TRACE(ToUtf8(box.name));
    Desk d;
    const host::ControlId other =
        box.name == host::ctl::main::kTextbox1.name ? host::ctl::main::kTextbox2 : host::ctl::main::kTextbox1;
    d.Control(box).SetBackColor(forms::kActiveWindowColour);
    d.Control(other).SetBackColor(forms::kInactiveWindowColour);
    d.Control(box).SetValue(u"R1-R5");
    d.Control(other).SetValue(u"C1");
    d.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
    d.Run(ModeId::kClearActiveWindow, u"A1");
    EXPECT_EQ(d.Control(box).Text(), u"");
    EXPECT_EQ(d.Control(other).Text(), u"C1");
    EXPECT_EQ(d.b.state.request.ActiveWndw, &d.Control(box));
    EXPECT_GE(d.Control(box).BackColor(), forms::kActiveWindowThreshold);
    EXPECT_TRUE(d.Control(host::ctl::mail::kSkipMenu).Enabled());
    EXPECT_NE(host::FindHiddenWorkSht(*d.b.book), nullptr);
  }
}

TEST(Dispatcher, NothingRunsWithABreakPendingOrWithoutAWorkbook) {
  Desk d;
  HandOvers h(d);
  d.Cell(u"A1").Select();
  d.b.BeginRequest(ModeId::kPasteSafeToCursor);
  d.b.state.request.progress.UserAbort = true;
  Actions(d.b.state);
  EXPECT_EQ(host::FindHiddenWorkSht(*d.b.book), nullptr);

  d.b.state.request.progress.UserAbort = false;
  d.b.book->Windows().Item(1).Close();
  ASSERT_EQ(d.b.app->ActiveWorkbook(), nullptr);
  Actions(d.b.state);
  EXPECT_TRUE(h.calls.empty());
}

TEST(Dispatcher, TheRunCountsTheSelectionsCellsIn64Bits) {
  Desk d;
  d.Sheet().Range(u"A:XFD").Select();
  d.b.BeginRequest(ModeId::kCaseUpper);
  const internal::ActionRun run = internal::StartRun(d.b.state);
  EXPECT_EQ(run.SelCellCount, std::int64_t{1048576} * 16384);
  EXPECT_EQ(run.ProgressCount, 1);
  EXPECT_FALSE(run.FormatProtected);
}

TEST(Dispatcher, TheRunTakesTheFirstAreaAndTheSheetsFormatProtection) {
  Desk d;
  d.Sheet().Range(u"C3:D4,A1").Select();
  d.Sheet().Protect();
  d.b.BeginRequest(ModeId::kCaseUpper);
  d.b.state.dialogs.BigMsgAnswer = 2;
  const internal::ActionRun run = internal::StartRun(d.b.state);
  EXPECT_EQ(run.SelCellCount, 5);
  EXPECT_EQ(run.AreaTopRow, 3);
  EXPECT_EQ(run.FirstColumn, 3);
  EXPECT_TRUE(run.FormatProtected);
  EXPECT_EQ(d.b.state.dialogs.BigMsgAnswer, 0);
}

// ----- the nested-action protocol -----

struct Seen {
  Text mode;
  bool skipMenu = false;
  Text modeHold;
};

Seen Look(host::State& s) {
  return {s.request.vbaMode.Text(), s.Control(host::ctl::mail::kSkipMenu).Enabled(),
          s.Control(host::ctl::mail::kModeHold).Caption()};
}

TEST(NestedRun, AnActionRunsUnattendedThroughTheDispatcherAndTheCallersModeComesBack) {
  Desk d;
  std::vector<Seen> seen;
  d.b.routines.RowsReduce = [&](host::State& s) { seen.push_back(Look(s)); };
  d.Cell(u"A1:B3").Select();
  d.b.BeginRequest(ModeId::kNetlistConvert);
  RunActionNested(d.b.state, ModeId::kReduceRowsToOne, SkipMenuAfter::kLeaveOn);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].mode, u"REDUCE Rows to One");
  EXPECT_TRUE(seen[0].skipMenu) << "the dispatcher keeps the caller's flag";
  EXPECT_EQ(seen[0].modeHold, u"Netlist Cnvrt:Telesis");
  const Seen after = Look(d.b.state);
  EXPECT_EQ(after.mode, u"Netlist Cnvrt:Telesis");
  EXPECT_TRUE(d.b.state.request.vbaMode.Is(ModeId::kNetlistConvert));
  EXPECT_TRUE(after.skipMenu);
  EXPECT_EQ(after.modeHold, u"");
}

TEST(NestedRun, TheBlockEngineRunsInPasteRightThroughItsSlotAndTheFlagCanBePutBack) {
  Desk d;
  std::vector<Seen> seen;
  d.b.routines.GetSortCntPasteTravel = [&](host::State& s) { seen.push_back(Look(s)); };
  d.b.BeginRequest(ModeId::kExpandRowToMany);
  RunBlockEngineNested(d.b.state, SkipMenuAfter::kRestore);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].mode, u"Paste_>");
  EXPECT_TRUE(seen[0].skipMenu);
  EXPECT_EQ(seen[0].modeHold, u"EXPAND Row to Many");
  const Seen after = Look(d.b.state);
  EXPECT_EQ(after.mode, u"EXPAND Row to Many");
  EXPECT_FALSE(after.skipMenu);
  EXPECT_EQ(after.modeHold, u"");

  d.b.routines.GetSortCntPasteTravel = nullptr;
  check::ExpectRaises([&] { RunBlockEngineNested(d.b.state, SkipMenuAfter::kRestore); }, err::kNoSuchMember);
  EXPECT_EQ(Look(d.b.state).mode, u"EXPAND Row to Many");
}

TEST(NestedRun, ARunInsideANestedRunGivesModeHoldBackToItsCaller) {
  Desk d;
  Seen inner;
  d.b.routines.GetSortCntPasteTravel = [&](host::State& s) { inner = Look(s); };
  d.b.routines.RowsReduce = [&](host::State& s) {
    RunBlockEngineNested(s, SkipMenuAfter::kRestore);
    EXPECT_EQ(Look(s).modeHold, u"Netlist Cnvrt:Telesis");
    EXPECT_EQ(Look(s).mode, u"REDUCE Rows to One");
  };
  d.b.BeginRequest(ModeId::kNetlistConvert);
  RunActionNested(d.b.state, ModeId::kReduceRowsToOne, SkipMenuAfter::kLeaveOn);
  EXPECT_EQ(inner.modeHold, u"REDUCE Rows to One");
  EXPECT_EQ(Look(d.b.state).mode, u"Netlist Cnvrt:Telesis");
  EXPECT_EQ(Look(d.b.state).modeHold, u"");
}

TEST(NestedRun, AFailingCalleeLeavesModeAndModeHoldAsTheyWere) {
  Desk d;
  d.b.routines.RowsReduce = [](host::State&) { Raise(err::kApplication, "refused"); };
  d.b.BeginRequest(ModeId::kNetlistConvert);
  check::ExpectRaises([&] { RunActionNested(d.b.state, ModeId::kReduceRowsToOne, SkipMenuAfter::kRestore); },
                      err::kApplication, "Actions: ");
  const Seen after = Look(d.b.state);
  EXPECT_EQ(after.mode, u"Netlist Cnvrt:Telesis");
  EXPECT_EQ(after.modeHold, u"");
  EXPECT_FALSE(after.skipMenu);
}

// ----- the walk -----

TEST(Walk, AreasThenColumnsThenRowsWithTheAreasFirstCell) {
  Desk d;
  d.Sheet().Range(u"C2:D3,A5:A6").Select();
  d.b.BeginRequest(ModeId::kCaseUpper);
  internal::ActionRun run = internal::StartRun(d.b.state);
  std::vector<Text> visited;
  std::vector<long> firstColumns;
  const host::Proceed walked = internal::WalkCells(run, [&](const xl::Range& cell) {
    visited.push_back(cell.Address());
    firstColumns.push_back(run.FirstColumn);
    return host::Proceed::kGoOn;
  });
  EXPECT_EQ(walked, host::Proceed::kGoOn);
  EXPECT_EQ(visited, (std::vector<Text>{u"$C$2", u"$C$3", u"$D$2", u"$D$3", u"$A$5", u"$A$6"}));
  EXPECT_EQ(firstColumns, (std::vector<long>{3, 3, 3, 3, 1, 1}));
  EXPECT_EQ(run.AreaTopRow, 5);
  EXPECT_EQ(run.FirstColumn, 1);
}

TEST(Walk, ProgressAndTheBreakKeyOnlyAbove20Cells) {
  for (const long rows : {20L, 21L}) {
    SCOPED_TRACE(rows);
    Desk d;
    for (long r = 1; r <= rows; ++r) d.Sheet().Cells(r, 1).SetValue(u"x");
    d.Run(ModeId::kCaseUpper, (u"A1:A" + vba::IntegerText(rows)).c_str());
    EXPECT_EQ(d.BreakPolls() > 0, rows == 21);
    EXPECT_EQ(d.Value(u"A20"), Variant(u"X"));
  }
}

TEST(Walk, TheBreakKeyStopsBetweenTwoCellsAndKeepsWhatWasWritten) {
  Desk d;
  for (long r = 1; r <= 40; ++r) d.Sheet().Cells(r, 1).SetValue(u"x");
  // The first poll (cell 1) answers no break; the second (cell 2, the bar has moved) the break.
  d.b.addin.QueueBreakAnswer(u"NoBreak");
  d.b.addin.QueueBreakAnswer(u"6");
  d.Run(ModeId::kCaseUpper, u"A1:A40");
  EXPECT_EQ(d.Value(u"A1"), Variant(u"X"));
  EXPECT_EQ(d.Value(u"A2"), Variant(u"x"));
  EXPECT_TRUE(d.b.state.request.progress.UserAbort);
}

TEST(Walk, ProgressShowsOnTheStatusBarAfterThreeSecondsWithTheModeAsCaption) {
  Desk d;
  for (long r = 1; r <= 40; ++r) d.Sheet().Cells(r, 1).SetValue(u"x");
  // Each poll of the break key takes two seconds.
  d.b.addin.SetHook(u"vbaBreakKey", [&](std::span<Variant>) { d.b.services.clock.Advance(2); });
  d.Run(ModeId::kCaseUpper, u"A1:A40");
  EXPECT_TRUE(d.b.state.request.progress.ProgressShown);
  EXPECT_TRUE(d.b.app->DisplayStatusBar());
  const Variant bar = d.b.app->StatusBar();
  ASSERT_TRUE(bar.IsText());
  EXPECT_TRUE(bar.AsText().starts_with(u"Case||  Upper Progress: ")) << ToUtf8(bar.AsText());
  EXPECT_TRUE(bar.AsText().ends_with(u"    Press the Ctrl key to Abort."));
}

}  // namespace
}  // namespace quillary::actions
