#include "actions/row_expand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/tests/row_fixture.h"
#include "host/callbacks.h"
#include "platform/excel/excel.h"
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

TEST(ExpandItems, SplitsAtCommasAndLineBreaksWithoutEmptyItems) {
  const struct {
    Text cell;
    std::vector<Text> items;
  } cases[] = {
      {u"R1, R2,R3", {u"R1", u"R2", u"R3"}},
      {u"C1\nC2", {u"C1", u"C2"}},
      {u",A,,B,", {u"A", u"B"}},
      {u"A , B", {u"A", u"B"}},
      {u"R1-R3", {u"R1-R3"}},
      // An empty list, or commas and blanks only, still gives one (empty) Item.
      {u"", {u""}},
      {u", ,", {u""}},
      // No-break spaces are not blanks here.
      {u"A,\u00A0B", {u"A", u"\u00A0B"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandItems(c.cell), c.items) << ToUtf8(c.cell);
}

// A parts list on sheet "Parts": part name, reference list, an empty column.
struct PartsList {
  PartsList() {
    b.book->ActiveSheet().SetName(u"Parts");
    Fill(Source(), 2, 1, {{u"P1", u"R1, R2,R3"}, {u"0047", u"C1\nC2"}, {u"P3", u""}});
    b.BeginRequest(host::ModeId::kExpandRowToMany);
    b.Cell(u"A2:C4").Select();
  }
  xl::Worksheet& Source() { return b.Sheet(u"Parts"); }
  void Unattended() { b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true); }
  void ExpandRows() { RowExpand(b.state); }

  testkit::Bench b;
};

struct Expand : ::testing::Test, PartsList {};

TEST_F(Expand, EachItemOnARowOfItsOwnWithTheOtherCellsCopied) {
  b.Cell(u"B2").Font().SetBold(true);
  b.addin.QueueBigMsgAnswer(1);
  b.addin.QueueMessageAnswer(msgbox::kAnswerNo);      // page set-up
  b.addin.QueueMessageAnswer(msgbox::kAnswerCancel);  // window arrangement
  ExpandRows();

  xl::Worksheet* result = SheetStartingWith(b, u"Parts-Expanded1");
  ASSERT_NE(result, nullptr);
  // Column A numbers the rows; the empty third column is left out; the header stands
  // over the Items column.
  EXPECT_EQ(Read(*result, 2, 1, 7, 4), (Table{{u"", u"", u"Reference", u""},
                                              {u"1", u"P1", u"R1", u""},
                                              {u"2", u"P1", u"R2", u""},
                                              {u"3", u"P1", u"R3", u""},
                                              {u"4", u"0047", u"C1", u""},
                                              {u"5", u"0047", u"C2", u""},
                                              {u"6", u"P3", u"", u""}}));
  EXPECT_TRUE(result->Range(u"B6").Value().IsText());
  EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kLast);
  EXPECT_EQ(b.state.actions.ResultRows, 6);
  EXPECT_EQ(b.Control(host::ctl::mail::kResultSheet).Caption(), u"");
  EXPECT_EQ(Read(Source(), 2, 1, 1, 2), (Table{{u"P1", u"R1, R2,R3"}}));

  const std::vector<Text> prompts = Prompts(b);
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_TRUE(Begins(prompts[0],
                     u"[Report Page Setup?]( EXPAND Row to Many ): Translation Complete. Apply default Printer "
                     u"Page_Setup?\r\rThe new output results table is highlighted. The original input list is intact"));
  EXPECT_TRUE(Begins(prompts[1], u"[Report View?]( EXPAND Row to Many ): "));
  EXPECT_TRUE(Begins(b.Control(host::ctl::bigmsg::kText).Text(),
                     u"\"EXPAND Row to Many\" has been initiated.   OK To EXPAND Rows?\rThe original list will remain "
                     u"intact and a new sheet will be added.\r\r"));
}

TEST_F(Expand, WithoutABoldedCellTheQuestionDecides) {
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    PartsList f;
    f.Unattended();  // the question is asked all the same
    f.b.addin.QueueBigMsgAnswer(1);
    f.b.addin.QueueMessageAnswer(yes ? msgbox::kAnswerYes : msgbox::kAnswerNo);
    f.ExpandRows();
    const auto messages = f.b.addin.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(Begins(messages[0].prompt,
                       u"( EXPAND Row to Many ): NO CELL IS BOLDED.\r\rA bolded cell was NOT found in the selection."));
    EXPECT_NE(messages[0].prompt.find(u"\"EXPAND Row to Many\" will unbold the first area"), Text::npos);
    EXPECT_EQ(messages[0].style, 324);
    xl::Worksheet* result = SheetStartingWith(f.b, u"Parts-Expanded");
    if (!yes) {
      EXPECT_EQ(result, nullptr);
      EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kAbort);
      continue;
    }
    // The first column is expanded: each part name is one Item.
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Read(*result, 3, 2, 3, 2), (Table{{u"P1", u"R1, R2,R3"}, {u"0047", u"C1\nC2"}, {u"P3", u""}}));
  }
}

TEST_F(Expand, TwoBoldedCells) {
  b.Cell(u"B3").Font().SetBold(true);
  b.Cell(u"A4").Font().SetBold(true);
  {
    SCOPED_TRACE("attended: refused");
    b.addin.QueueBigMsgAnswer(1);
    b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    ExpandRows();
    ASSERT_EQ(b.addin.Messages().size(), 1u);
    EXPECT_TRUE(Begins(b.addin.Messages()[0].prompt,
                       u"( EXPAND Row to Many ): MORE THAN ONE BOLDED cell.\r\rMore than one bolded cell was found in "
                       u"your selected area (possibly in empty cells).\rEither, bold one cell"));
    EXPECT_EQ(SheetStartingWith(b, u"Parts-Expanded"), nullptr);
    EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kAbort);
  }
  {
    SCOPED_TRACE("unattended: the first in row-major order");
    b.addin.ClearLog();
    Unattended();
    b.addin.QueueBigMsgAnswer(1);
    ExpandRows();
    EXPECT_TRUE(b.addin.Messages().empty());
    xl::Worksheet* result = SheetStartingWith(b, u"Parts-Expanded");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(
        Read(*result, 3, 2, 6, 2),
        (Table{{u"P1", u"R1"}, {u"P1", u"R2"}, {u"P1", u"R3"}, {u"0047", u"C1"}, {u"0047", u"C2"}, {u"P3", u""}}));
    // Unattended: no header, no page set-up, no window arrangement.
    EXPECT_EQ(result->Range(u"C2").Value(), Variant());
    EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kLast);
  }
}

TEST_F(Expand, TheEmptySecondColumnQuestion) {
  const struct {
    const char* what;
    int answer;  // 0: a one-column selection, not asked
    bool expanded;
  } cases[] = {
      {"asked, OK", msgbox::kAnswerOk, true},
      {"asked, Cancel", msgbox::kAnswerCancel, false},
      {"one column: never asked", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PartsList f;
    f.Source().Range(u"B2:B4").ClearContents();
    f.b.Cell(c.answer == 0 ? u"A2:A4" : u"A2:B4").Select();
    f.b.Cell(u"A2").Font().SetBold(true);
    f.Unattended();
    f.b.addin.QueueBigMsgAnswer(1);
    if (c.answer != 0) f.b.addin.QueueMessageAnswer(c.answer);
    f.ExpandRows();
    const std::vector<Text> prompts = Prompts(f.b);
    ASSERT_EQ(prompts.size(), c.answer == 0 ? 0u : 1u);
    if (c.answer != 0) {
      EXPECT_TRUE(Begins(prompts[0],
                         u"( EXPAND Row to Many ): Note that the second column selected is completely empty.\rData in "
                         u"the first column"));
      EXPECT_EQ(f.b.addin.Messages()[0].style, 49);
    }
    EXPECT_EQ(SheetStartingWith(f.b, u"Parts-Expanded") != nullptr, c.expanded);
  }
}

TEST_F(Expand, ASelectionInTheLastTwoColumnsIsNotAskedAboutItsSecondColumn) {
  xl::Worksheet& sheet = Source();
  const long last = sheet.ColumnsCount();
  items::WriteText(sheet.Cells(2, last - 1), u"A,B");
  sheet.Cells(2, last - 1).Font().SetBold(true);
  sheet.Range(sheet.Cells(2, last - 1), sheet.Cells(2, last)).Select();
  Unattended();
  b.addin.QueueBigMsgAnswer(1);
  ExpandRows();
  EXPECT_TRUE(b.addin.Messages().empty());
  ASSERT_NE(SheetStartingWith(b, u"Parts-Expanded"), nullptr);
}

// Rows are handed over in batches of 100; the batch that holds the last Item of the
// last row is the last one, whether it is written in the pass or after it.
TEST_F(Expand, BatchesOfAHundredAndTheLastOneMarked) {
  for (const int items : {100, 250}) {
    SCOPED_TRACE(items);
    testkit::Bench bench;
    bench.book->ActiveSheet().SetName(u"Parts");
    xl::Worksheet& sheet = bench.book->ActiveSheet();
    // Rows of ten Items each.
    for (int r = 0; r < items / 10; ++r) {
      Text list;
      for (int i = 0; i < 10; ++i) list.append(i ? u"," : u"").append(u"R").append(vba::IntegerText(r * 10 + i + 1));
      Fill(sheet, r + 1, 1, {{vba::IntegerText(r + 1) + u"x", list}});
    }
    sheet.Cells(1, 2).Font().SetBold(true);
    bench.BeginRequest(host::ModeId::kExpandRowToMany);
    sheet.Range(sheet.Cells(1, 1), sheet.Cells(items / 10, 2)).Select();
    bench.addin.QueueBigMsgAnswer(1);
    bench.addin.QueueMessageAnswer(msgbox::kAnswerNo);
    bench.addin.QueueMessageAnswer(msgbox::kAnswerCancel);
    RowExpand(bench.state);
    xl::Worksheet* result = SheetStartingWith(bench, u"Parts-Expanded1");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(bench.state.actions.BatchStatus, host::BatchMark::kLast);
    EXPECT_EQ(items::CellText(result->Range(u"C2")), u"Reference");
    for (int n = 1; n <= items; ++n) {
      ASSERT_EQ(items::CellText(result->Cells(n + 2, 3)), Text(u"R").append(vba::IntegerText(n)));
    }
    EXPECT_TRUE(result->Cells(items + 3, 3).Value().IsEmpty());
  }
}

TEST_F(Expand, AFailedBatchLeavesItsSheetMarkedAsFailed) {
  Text list;
  for (int i = 1; i <= 150; ++i) list.append(i > 1 ? u"," : u"").append(u"R").append(vba::IntegerText(i));
  Fill(Source(), 2, 2, {{list}});
  b.Cell(u"B2").Font().SetBold(true);
  Unattended();
  b.addin.QueueBigMsgAnswer(1);
  b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
  // The first batch writes 200 cells; the second fails at its first.
  b.app->InjectFailure("Range.Value", 1004, "refused", 200);
  ExpandRows();
  EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kAbort);
  EXPECT_EQ(SheetStartingWith(b, u"Parts-Expanded1")->Name(), u"Parts-Expanded1-Err");
  EXPECT_EQ(b.Control(host::ctl::mail::kResultSheet).Caption(), u"Parts-Expanded1-Err");
  EXPECT_TRUE(Begins(Prompts(b).at(0), u"( EXPAND Row to Many ): Error writing to cell."));
}

TEST_F(Expand, CancelAndTheBreakKeyWriteNothing) {
  b.Cell(u"B2").Font().SetBold(true);
  {
    SCOPED_TRACE("introduction cancelled");
    b.addin.QueueBigMsgAnswer(0);
    ExpandRows();
  }
  {
    SCOPED_TRACE("break key in the scan");
    b.addin.QueueBigMsgAnswer(1);
    b.addin.QueueBreakAnswer(u"6");
    ExpandRows();
  }
  EXPECT_EQ(SheetStartingWith(b, u"Parts-Expanded"), nullptr);
  EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kAbort);
  EXPECT_TRUE(b.addin.Messages().empty());
  EXPECT_EQ(b.addin.CallsOf(u"ShowMainUserForm").size(), 2u);
}

}  // namespace

}  // namespace quillary::actions
