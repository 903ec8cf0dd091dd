#include "actions/netlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/tests/row_fixture.h"
#include "host/callbacks.h"
#include "platform/excel/excel.h"
#include "sheets/result_sheets.h"
#include "testkit/bench.h"

namespace quillary::actions {

namespace {

using testing::Begins;
using testing::Fill;
using testing::Prompts;
using testing::Read;
using testing::SheetStartingWith;
using testing::Table;
namespace msgbox = host::msgbox;

TEST(CleanNetlistLine, LeavesANameASemicolonAndCommaJoinedNodes) {
  const struct {
    std::size_t indent;
    Text line;
    Text expected;
  } cases[] = {
      {0, u"NAME_A; ITEMa1, ITEMa2", u"NAME_A;ITEMa1,ITEMa2"},
      {0, u";ITEMa3, ITEMa4", u";ITEMa3,ITEMa4"},
      // Deeper than the first line: a continuation; as deep: a net line of its own.
      {2, u"   ITEMa5  ITEMa6", u";ITEMa5,ITEMa6"},
      {2, u"  NAME_B; X", u"NAME_B;X"},
      {2, u"\u00A0\u00A0\u00A0X", u";X"},
      {0, u"NAME;; a", u"NAME;a"},
      {0, u"N; a  ", u"N;a,"},
      {0, u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanNetlistLine(c.line, c.indent), c.expected) << ToUtf8(c.line);
  EXPECT_EQ(NetlistIndent(u"  N; a"), 2u);
  EXPECT_EQ(NetlistIndent(u"\u00A0N; a"), 1u);
}

// A netlist on sheet "Nets" from A1, selected; IgnoreIndex# with node sorting.
struct Netlist {
  explicit Netlist(const std::vector<Text>& lines) {
    b.book->ActiveSheet().SetName(u"Nets");
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].empty()) items::WriteText(Source().Cells(static_cast<long>(i) + 1, 1), lines[i]);
    }
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(true);
    b.Control(host::ctl::main::kSort).SetValue(true);
    b.BeginRequest(host::ModeId::kNetlistConvert);
    Source().Range(Source().Cells(1, 1), Source().Cells(static_cast<long>(lines.size()), 1)).Select();
    b.routines.Actions = Actions;
    b.routines.RowsReduce = RowsReduce;
    b.routines.GetSortCntPasteTravel = testing::FakePasteRight{&engine};
  }
  xl::Worksheet& Source() { return b.Sheet(u"Nets"); }
  void QueueClosing() {
    b.addin.QueueMessageAnswer(msgbox::kAnswerNo);      // page set-up
    b.addin.QueueMessageAnswer(msgbox::kAnswerCancel);  // window arrangement
  }
  void Convert() { CnvrtNetTelesis(b.state); }
  xl::Worksheet* Result() { return SheetStartingWith(b, u"Nets-NetCnvrtd1"); }
  // Net name, nodes and count of the result rows, right of the numbering column.
  Table Nets(long rows) { return Read(*Result(), 3, 2, rows, 3); }

  // After every run, however it ended.
  void ExpectEndOfRun() {
    EXPECT_EQ(b.Control(host::ctl::main::kActionList).Value(), Variant(u"Netlist Cnvrt:Telesis"));
    EXPECT_EQ(b.state.request.vbaMode.Text(), u"Netlist Cnvrt:Telesis");
    EXPECT_EQ(b.state.request.ActiveWndw->Text(), u"");
    EXPECT_FALSE(b.Control(host::ctl::mail::kSkipMenu).Enabled());
    EXPECT_EQ(b.Control(host::ctl::mail::kModeHold).Caption(), u"");
    EXPECT_EQ(b.Control(host::ctl::mail::kResultSheet).Caption(), u"");
  }

  testkit::Bench b;
  std::vector<testing::FakePasteRight::Call> engine;
};

const std::vector<Text> kNetlist = {
    u"NAME_B; b2, b1", u"NAME_A; a3 a1", u"    a2", u";a0", u"NAME_C; c1", u"      007",
};

TEST(CnvrtNetTelesis, NetsSortedByNameWithTheirSortedNodesAndCounts) {
  Netlist f(kNetlist);
  f.b.addin.QueueBigMsgAnswer(1);
  f.QueueClosing();
  f.Convert();

  ASSERT_NE(f.Result(), nullptr);
  EXPECT_EQ(f.Result()->Name(), u"Nets-NetCnvrtd1");
  EXPECT_EQ(f.Nets(4), (Table{{u"NAME_A", u"a0,a1,a2,a3", u"4"},
                              {u"NAME_B", u"b1,b2", u"2"},
                              {u"NAME_C", u"007,c1", u"2"},
                              {u"", u"", u""}}));
  // The work sheet is gone; the source is as it was.
  EXPECT_EQ(SheetStartingWith(f.b, u"Nets-NetCnvrtd1-"), nullptr);
  EXPECT_EQ(items::CellText(f.Source().Range(u"A2")), u"NAME_A; a3 a1");
  EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);

  // The block engine ran twice as a nested step: the nodes sorted, then counted.
  ASSERT_EQ(f.engine.size(), 2u);
  for (const auto& call : f.engine) {
    EXPECT_EQ(call.mode, u"Paste_>");
    EXPECT_EQ(call.modeHold, u"Netlist Cnvrt:Telesis");
    EXPECT_TRUE(call.skipMenu);
    EXPECT_EQ(call.selection, (xl::Area{3, 2, 5, 2}));
  }
  EXPECT_EQ(f.engine[0].pasteType, u"Items");
  EXPECT_EQ(f.engine[1].pasteType, u"Count");
  EXPECT_EQ(f.b.Control(host::ctl::main::kPasteType).ForeColor(), 0xC0FFC0);
  // The conversion's own split at semicolons is not left remembered for the user's pastes.
  const xl::TextToColumnsSettings remembered = f.b.app->RememberedTextToColumns();
  EXPECT_FALSE(remembered.Semicolon || remembered.Tab);

  const std::vector<Text> prompts = Prompts(f.b);
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(
      prompts[0],
      u"[Report Page Setup?]( Netlist Cnvrt:Telesis ): Apply Quillary's default Printer Page_Setup?\r\rWhile "
      u"using the print preview, try changing Portrait/Landscape and Fit To Pages Width/Tall.\r\rChoose NO if the "
      u"worksheet has printer problems -- possibly due to a non-Excel generated worksheet.");
  EXPECT_TRUE(Begins(f.b.Control(host::ctl::bigmsg::kText).Text(),
                     u"\"Netlist Cnvrt:Telesis\" has been initiated.   OK To Convert Netlist?\r\rThe original list "
                     u"will remain intact and a new sheet will be added."));
  f.ExpectEndOfRun();
}

TEST(CnvrtNetTelesis, WithoutNodeSortingTheCountsStayWithTheirNets) {
  Netlist f(kNetlist);
  f.b.Control(host::ctl::main::kSort).SetValue(false);
  f.b.addin.QueueBigMsgAnswer(1);
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerNo);  // go on without node sorting
  f.QueueClosing();
  f.Convert();
  EXPECT_EQ(f.Nets(3),
            (Table{{u"NAME_A", u"a3,a1,a2,a0", u"4"}, {u"NAME_B", u"b2,b1", u"2"}, {u"NAME_C", u"c1,007", u"2"}}));
  ASSERT_EQ(f.engine.size(), 1u);
  EXPECT_EQ(f.engine[0].pasteType, u"Count");
  EXPECT_TRUE(Begins(Prompts(f.b).at(0),
                     u"( Netlist Cnvrt:Telesis ): It is often best to sort the NODES of a netlist so that they can be "
                     u"compared later. But NODE sorting has not been enabled.\r\r"));
  EXPECT_EQ(f.b.addin.Messages()[0].style, 67);
  f.ExpectEndOfRun();
}

TEST(CnvrtNetTelesis, NetNamesSortWithTheMatchCaseWish) {
  for (const bool matchCase : {false, true}) {
    SCOPED_TRACE(matchCase);
    Netlist f({u"net; x", u"NET; y", u"a; z"});
    f.b.Control(host::ctl::main::kMatchCase).SetValue(matchCase);
    f.b.addin.QueueBigMsgAnswer(1);
    f.QueueClosing();
    f.Convert();
    const Table nets = f.Nets(3);
    EXPECT_EQ(nets[0][0], u"a");
    // Without regard to case the two keep their order; with it they sort apart.
    const bool lowerFirst = !matchCase || text_order::CompareText(u"net", u"NET", true) < 0;
    EXPECT_EQ(nets[1][0], lowerFirst ? u"net" : u"NET");
    EXPECT_EQ(nets[1][1], lowerFirst ? u"x" : u"y");
  }
}

// Every early end: no sheet added, the main form back, and the end-of-run state.
TEST(CnvrtNetTelesis, EarlyEndsAddNoSheet) {
  struct Case {
    const char* what;
    bool ignoreIndex;
    bool tagDuplicates;
    bool sort;
    std::vector<Text> lines;
    int bigMsg;
    std::vector<int> messages;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"cancelled", true, false, true, kNetlist, 0, {}, u""},
      {"CountIndex#",
       false,
       false,
       true,
       kNetlist,
       1,
       {msgbox::kAnswerOk},
       u"( REDUCE Rows to One ): This action must use IgnoreIndex# Mode because the conversion would most likely be "
       u"aborted if CountIndex# Mode were used (due to very specific rules being applied in CountIndex# Mode).\r\r"
       u"Please make the appropriate choice for that option."},
      {"tagging",
       true,
       true,
       true,
       kNetlist,
       1,
       {msgbox::kAnswerOk},
       u"( REDUCE Rows to One ): This action must use IgnoreIndex# Mode *without* the \""},
      {"node sorting cancelled",
       true,
       false,
       false,
       kNetlist,
       1,
       {msgbox::kAnswerCancel},
       u"( Netlist Cnvrt:Telesis ): It is often best to sort the NODES"},
      {"nothing to convert",
       true,
       false,
       true,
       {u"   ", u""},
       1,
       {msgbox::kAnswerOk},
       u"( Netlist Cnvrt:Telesis ): The first column of the selection holds no netlist lines."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Netlist f(c.lines);
    f.b.Control(host::ctl::main::kIgnoreIndex).SetValue(c.ignoreIndex);
    f.b.state.request.IgnoreIndexMode = c.ignoreIndex;
    f.b.Control(host::ctl::main::kTagDuplicates).SetEnabled(true);
    f.b.Control(host::ctl::main::kTagDuplicates).SetValue(c.tagDuplicates);
    f.b.Control(host::ctl::main::kSort).SetValue(c.sort);
    f.b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
    f.b.state.request.ActiveWndw->SetValue(u"left over");
    f.b.addin.QueueBigMsgAnswer(c.bigMsg);
    for (int a : c.messages) f.b.addin.QueueMessageAnswer(a);
    const long sheets = f.b.book->Worksheets().Count();
    f.Convert();
    EXPECT_EQ(f.b.book->Worksheets().Count(), sheets);
    EXPECT_EQ(f.b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
    const std::vector<Text> prompts = Prompts(f.b);
    if (c.expected.empty()) {
      EXPECT_TRUE(prompts.empty());
    } else {
      ASSERT_EQ(prompts.size(), 1u);
      EXPECT_TRUE(Begins(prompts[0], c.expected)) << ToUtf8(prompts[0]);
    }
    f.ExpectEndOfRun();
  }
}

// The reduction refused the nodes of a net (too long for one cell) before it made a
// sheet: the user's own sheets keep their names.
TEST(CnvrtNetTelesis, AFailedReductionRenamesNoSheetOfTheUser) {
  Netlist f({u"N; " + Text(20000, u'a'), u";" + Text(13000, u'b')});
  f.b.addin.QueueBigMsgAnswer(1);
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);  // the reduction's overflow
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);  // the conversion's error
  f.Convert();
  const std::vector<Text> prompts = Prompts(f.b);
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_TRUE(Begins(prompts[0], u"( REDUCE Rows to One ): Overflow >32,760 text characters."));
  EXPECT_EQ(prompts[1],
            u"( Netlist Cnvrt:Telesis ): Error. An unexpected error occurred which is usually related to attempting to "
            u"overwrite existing cell content.\r\rBut since the Report Sheet is a new worksheet of all empty cells, "
            u"this error should not have occurred.\r\rThe conversion process has CANCELLED before completion.");
  EXPECT_EQ(testing::VisibleSheets(f.b), std::vector<Text>{u"Nets"});
  f.ExpectEndOfRun();
}

// Text over 32,760 characters in any net's row stops the conversion; the sheet stays,
// marked, and is still finished and shown.
TEST(CnvrtNetTelesis, TheLengthCheckReadsEveryRow) {
  {
    SCOPED_TRACE("sorted nodes");
    Netlist f(kNetlist);
    f.b.routines.GetSortCntPasteTravel = [](host::State& s) {
      const xl::Range sel = s.App().ActiveWindow()->RangeSelection();
      for (long r = sel.Row(); r < sel.Row() + sel.RowsCount(); ++r) {
        items::WriteText(sel.Parent().Cells(r, sel.Column() + 1), r == sel.Row() ? Text(32765, u'n') : Text(u"ok"));
      }
      s.request.DisplayText = u"ok";
    };
    f.b.addin.QueueBigMsgAnswer(1);
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.QueueClosing();
    f.Convert();
    const std::vector<Text> prompts = Prompts(f.b);
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0],
              u"( Netlist Cnvrt:Telesis ): Overflow >32,760 text characters. Excel's single cell text limit has been "
              u"exceeded.\r\rThere are 32,765 text characters to put in a single cell. This probably occcured due to "
              u"an attempt to merge down into a single cell large amounts of text from multiple cells. There is no "
              u"alternative method for merging this much text into a single cell other than reducing the amount of "
              u"text.\r\rThe conversion process has CANCELLED before completion.");
    ASSERT_NE(f.Result(), nullptr);
    EXPECT_EQ(f.Result()->Name(), u"Nets-NetCnvrtd1-Err");
    f.ExpectEndOfRun();
  }
  {
    SCOPED_TRACE("nodes as the reduction left them");
    Netlist f(kNetlist);
    f.b.Control(host::ctl::main::kSort).SetValue(false);
    // A reduction whose nodes reach the cell's own limit in its first net.
    f.b.routines.RowsReduce = [](host::State& s) {
      s.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
      const Text source = s.ActiveBook().ActiveSheet().Name();
      sheets::MakeNewSheet(s, source, u"-Reduced");
      xl::Worksheet& sheet = s.ActiveBook().ActiveSheet();
      items::WriteText(sheet.Range(u"A3"), u"N1");
      items::WriteText(sheet.Range(u"B3"), Text(32765, u'n'));
      items::WriteText(sheet.Range(u"A4"), u"N2");
      items::WriteText(sheet.Range(u"B4"), u"x");
      s.actions.ResultRows = 2;
      s.actions.BatchStatus = host::BatchMark::kLast;
    };
    f.b.addin.QueueBigMsgAnswer(1);
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerNo);  // no node sorting
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.QueueClosing();
    f.Convert();
    EXPECT_TRUE(Begins(Prompts(f.b).at(1), u"( Netlist Cnvrt:Telesis ): Overflow >32,760 text characters."));
    EXPECT_NE(SheetStartingWith(f.b, u"Nets-NetCnvrtd1-Err"), nullptr);
  }
}

}  // namespace

}  // namespace quillary::actions
