#include "actions/result_buffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "actions/internal/row_actions.h"
#include "actions/tests/row_fixture.h"
#include "host/callbacks.h"
#include "platform/excel/excel.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::actions {

namespace {

using testing::Begins;
using testing::Prompts;
using testing::Read;
using testing::Table;

// A run's batches written onto the active sheet (the result sheet): columns given by
// their buffer index and their texts per batch row.
struct Writer {
  explicit Writer(host::ModeId mode = host::ModeId::kExpandRowToMany) {
    b.BeginRequest(mode);
    b.state.actions.ResultRows = 0;
    b.state.actions.BatchStatus = host::BatchMark::kMore;
  }

  // Hands `rows` (each a text per buffer column 0..cols) to the writer as one batch.
  void Batch(const Table& rows, bool last = false) {
    buffer.EmptyRows();
    buffer.SetColumns(static_cast<long>(rows.front().size()) - 1);
    buffer.GrowRows(static_cast<long>(rows.size()));
    for (std::size_t k = 0; k < rows.size(); ++k) {
      for (std::size_t c = 0; c < rows[k].size(); ++c) {
        buffer.Cell(static_cast<long>(c), static_cast<long>(k) + 1) = rows[k][c];
      }
    }
    b.state.actions.ResultRows += static_cast<long>(rows.size());
    if (last) b.state.actions.BatchStatus = host::BatchMark::kLast;
    PrintToSheet(b.state, buffer, static_cast<long>(rows.size()));
    buffer.RowsFlushed = b.state.actions.ResultRows;
  }

  void Flag(std::initializer_list<long> cols) {
    for (long c : cols) buffer.MarkUsed(c);
  }

  xl::Worksheet& Sheet() { return b.book->ActiveSheet(); }

  testkit::Bench b;
  ResultBuffer buffer;
};

// A failed result sheet's name: "-Err" after it, the name cut to leave room within the
// longest sheet name (a character of two code units at the cut goes whole), numbered
// when the workbook has that name already.
TEST(ErrSheetName, FitsTheLongestSheetName) {
  const Text long31 = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ-Red1";
  const Text emoji = u"\U0001F600";
  const struct {
    Text name;
    std::vector<Text> existing;
    Text expected;
  } cases[] = {
      {u"Parts-Reduced1", {}, u"Parts-Reduced1-Err"},
      {long31, {}, long31.substr(0, 27) + u"-Err"},
      {long31, {long31.substr(0, 27) + u"-Err"}, long31.substr(0, 26) + u"-Err1"},
      {long31.substr(0, 26) + emoji + u"x", {}, long31.substr(0, 26) + u"-Err"},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    for (const Text& name : c.existing) b.book->Worksheets().Add({}).SetName(name);
    EXPECT_EQ(internal::ErrSheetName(*b.book, c.name), c.expected) << ToUtf8(c.expected);
  }
}

TEST(PrintToSheet, FlaggedColumnsSideBySideFromRowThreeAsText) {
  Writer w;
  w.Sheet().Range(u"B4").SetValue(u"old");
  w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  w.Flag({0, 2, 3});
  // Column 1 holds text but is not flagged: it is never written, and the columns
  // right of it move left.
  w.Batch({{u"R1", u"skip", u"007", u"=1+1"}, {u"R2", u"skip", u"", u"x\n"}});
  EXPECT_EQ(
      Read(w.Sheet(), 1, 1, 4, 4),
      (Table{{u"", u"", u"", u""}, {u"", u"", u"", u""}, {u"R1", u"007", u"=1+1", u""}, {u"R2", u"", u"x\n", u""}}));
  // Numbers and formulas arrive as texts; an empty text clears what the cell held.
  EXPECT_TRUE(w.Sheet().Range(u"B3").Value().IsText());
  EXPECT_FALSE(w.Sheet().Range(u"C3").HasFormula());
  EXPECT_TRUE(w.Sheet().Range(u"B4").Value().IsEmpty());
  EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kMore);
}

TEST(PrintToSheet, TrailingLineFeedsAreDroppedOnlyInReduce) {
  const struct {
    host::ModeId mode;
    Text expected;
  } cases[] = {{host::ModeId::kReduceRowsToOne, u"a\nb"}, {host::ModeId::kExpandRowToMany, u"a\nb\n\n"}};
  for (const auto& c : cases) {
    Writer w(c.mode);
    w.Flag({1});
    w.Batch({{u"", u"a\nb\n\n"}, {u"", u"\n\n"}});
    EXPECT_EQ(items::CellText(w.Sheet().Range(u"A3")), c.expected);
    // Line feeds only: nothing is left in Reduce, the line feeds in Expand.
    EXPECT_EQ(w.Sheet().Range(u"A4").Value().IsEmpty(), c.mode == host::ModeId::kReduceRowsToOne);
  }
}

TEST(PrintToSheet, OverwriteIsAskedOnceInTheRunAndCancelStopsAtThatCell) {
  {
    Writer w;
    w.Sheet().Range(u"A3").SetValue(u"old");
    w.Sheet().Range(u"B5").SetValue(u"older");
    w.Flag({0, 1});
    w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    w.Batch({{u"a", u"b"}, {u"c", u"d"}});
    w.Batch({{u"e", u"f"}}, true);
    ASSERT_EQ(w.b.addin.Messages().size(), 1u);
    EXPECT_EQ(w.b.addin.Messages()[0].prompt,
              u"( EXPAND Row to Many ): TRANSLATION IN PROGRESS.\r\rIf you select OK, some existing contents to the "
              u"right of the selected area will be overwritten.\r\rOK to continue and overwrite anyway?  Undo won't "
              u"revert it!");
    EXPECT_EQ(w.b.addin.Messages()[0].style, 257);
    EXPECT_EQ(Read(w.Sheet(), 3, 1, 3, 2), (Table{{u"a", u"b"}, {u"c", u"d"}, {u"e", u"f"}}));
  }
  {
    Writer w;
    w.Sheet().Range(u"B4").SetValue(u"keep");
    w.Flag({0, 1});
    w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);
    w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    w.Batch({{u"a", u"b"}, {u"c", u"d"}});
    EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kAbort);
    EXPECT_EQ(Prompts(w.b).back(),
              u"( EXPAND Row to Many ): Translation aborted.\r\rOutput has been stopped before overwriting the "
              u"contents at the cursor.");
    EXPECT_EQ(Read(w.Sheet(), 3, 1, 2, 2), (Table{{u"a", u"b"}, {u"c", u"keep"}}));
    EXPECT_EQ(w.b.app->ActiveWindow()->RangeSelection().Address(), u"$B$4");
  }
}

TEST(PrintToSheet, NoRoomForTheCellAbortsWithItsMessage) {
  const struct {
    const char* what;
    host::ModeId mode;
    long flaggedCols;  // flagged buffer columns 0..n-1
    long resultRowsBefore;
    Text expected;
  } cases[] = {
      {"rows", host::ModeId::kExpandRowToMany, 1, 1048575,
       u"( EXPAND Row to Many ): TRANSLATION IN PROGRESS.\r\rNot enough rows to support the translation.\rTry "
       u"consolidating columns or rows containing data or include less columns and/or rows in your selection."},
      {"columns", host::ModeId::kExpandRowToMany, 16385, 0,
       u"( EXPAND Row to Many ): TRANSLATION IN PROGRESS.\r\rNot enough columns to support the translation.\rTry "
       u"consolidating columns or rows containing data or include less columns and/or rows in your selection."},
      {"columns, Reduce without a bolded cell", host::ModeId::kReduceRowsToOne, 16385, 0,
       u"( REDUCE Rows to One ): TRANSLATION IN PROGRESS.\r\rNot enough columns to support the translation.\rBold "
       u"the 1st occurrance of a cell containing a reference designator and try again. Improves speed also.\r\rTry "
       u"consolidating columns or rows containing data or include less columns and/or rows in your selection."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Writer w(c.mode);
    for (long i = 0; i < c.flaggedCols; ++i) w.buffer.MarkUsed(i);
    w.b.state.actions.ResultRows = c.resultRowsBefore;
    w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    w.Batch({Table::value_type(static_cast<std::size_t>(c.flaggedCols), u"x")});
    EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kAbort);
    ASSERT_EQ(w.b.addin.Messages().size(), 1u);
    EXPECT_EQ(w.b.addin.Messages()[0].prompt, c.expected);
    EXPECT_EQ(w.b.addin.Messages()[0].style, 64);
    EXPECT_TRUE(w.b.app->ScreenUpdating());
  }
}

TEST(PrintToSheet, TextsAtTheCellLimit) {
  // 32,761 to 32,767 characters fit the cell whole and pass; a longer text is cut by
  // the cell and stops the run, the shortened text staying.
  {
    Writer w;
    w.Flag({0});
    w.Batch({{Text(32761, u'a')}, {Text(32767, u'b')}}, false);
    EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kMore);
    EXPECT_EQ(items::CellText(w.Sheet().Range(u"A4")).size(), 32767u);
  }
  {
    Writer w;
    w.Flag({0});
    w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    w.Batch({{Text(40000, u'a')}, {u"next"}});
    EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kAbort);
    EXPECT_EQ(Prompts(w.b).at(0),
              u"( EXPAND Row to Many ): Overflow >32,760 text characters. Excel's single cell text limit has been "
              u"exceeded.\r\rThere are 40,000 text characters to put in a single cell. This probably occcured due to "
              u"an attempt to collapse down into a single cell large amounts of text from multiple cells. There is no "
              u"alternative method for combining this much text into a single cell other than reducing the amount of "
              u"text.\r\rThe conversion process has CANCELLED before completion.");
    EXPECT_EQ(items::CellText(w.Sheet().Range(u"A3")).size(), 32767u);
    EXPECT_TRUE(w.Sheet().Range(u"A4").Value().IsEmpty());
  }
}

TEST(PrintToSheet, ARefusedWriteAbortsWithTheWriteErrorMessage) {
  Writer w;
  w.Flag({0});
  w.b.app->InjectFailure("Range.Value", 1004, "Application-defined or object-defined error", 1);
  w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  w.Batch({{u"a"}, {u"b"}, {u"c"}});
  EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kAbort);
  ASSERT_EQ(w.b.addin.Messages().size(), 1u);
  EXPECT_TRUE(Begins(w.b.addin.Messages()[0].prompt,
                     u"( EXPAND Row to Many ): Error writing to cell.\r\rThis is an unanticipated Fault"));
  EXPECT_EQ(Read(w.Sheet(), 3, 1, 3, 1), (Table{{u"a"}, {u""}, {u""}}));
}

// The finishing steps after the last batch of an attended run: the Items column gets
// its header over the column as placed on the sheet.
TEST(PrintToSheet, FinishingWritesTheHeaderOverTheItemsColumn) {
  const struct {
    const char* what;
    bool bold;
    bool skipMenu;
    std::initializer_list<long> flags;
    long boldColumn;
    Text row2;  // row 2, columns A to C
    long boldColumnAfter;
  } cases[] = {
      {"no bolded cell", false, false, {0, 1, 2}, 0, u"||", 0},
      // Column 1 is left out, so the Items column (buffer 2) is the sheet's second.
      {"bold, a column left out before it", true, false, {0, 2}, 2, u"|Reference|", 1},
      {"bold, Items column empty", true, false, {0, 2}, 1, u"TitlesHere||", 1},
      {"unattended", true, true, {0, 2}, 2, u"||", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Writer w;
    w.b.Control(host::ctl::mail::kSkipMenu).SetEnabled(c.skipMenu);
    w.Flag(c.flags);
    w.buffer.BoldCellFound = c.bold;
    w.buffer.BoldColumn = c.boldColumn;
    w.Batch({{u"n1", u"", u"R1"}, {u"n2", u"", u"R2"}}, true);
    const Table row2 = Read(w.Sheet(), 2, 1, 1, 3);
    EXPECT_EQ(row2[0][0] + u"|" + row2[0][1] + u"|" + row2[0][2], c.row2);
    EXPECT_EQ(w.buffer.BoldColumn, c.boldColumnAfter);
    EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kLast);
    // An attended run leaves the used area selected.
    EXPECT_EQ(w.b.app->ActiveWindow()->RangeSelection().Row(), c.skipMenu ? 1 : 3);
  }
}

// REDUCE with sorting: the block engine pastes the sorted Items beside the Items
// column, which is then deleted.
TEST(PrintToSheet, SortStepReplacesTheItemsColumnBySortedItems) {
  Writer w(host::ModeId::kReduceRowsToOne);
  w.b.state.request.IgnoreIndexMode = true;
  w.b.Control(host::ctl::main::kSort).SetValue(true);
  std::vector<testing::FakePasteRight::Call> calls;
  w.b.routines.GetSortCntPasteTravel = testing::FakePasteRight{&calls};
  w.Sheet().Range(u"D3").SetValue(u"beside");
  w.Flag({1, 2});
  w.buffer.BoldCellFound = true;
  w.buffer.BoldColumn = 2;
  w.Batch({{u"", u"P1", u"R3,R1,R2"}, {u"", u"P2", u"C2,C1"}}, true);

  EXPECT_EQ(Read(w.Sheet(), 2, 1, 3, 4),
            (Table{{u"", u"Reference", u"", u""}, {u"P1", u"R1,R2,R3", u"", u"beside"}, {u"P2", u"C1,C2", u"", u""}}));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].mode, u"Paste_>");
  EXPECT_EQ(calls[0].modeHold, u"REDUCE Rows to One");
  EXPECT_TRUE(calls[0].skipMenu);
  EXPECT_EQ(calls[0].pasteType, u"Items");
  // The engine ran over the used cells of the Items column, header included.
  EXPECT_EQ(calls[0].selection, (xl::Area{2, 2, 4, 2}));
  EXPECT_EQ(w.b.state.request.vbaMode.Text(), u"REDUCE Rows to One");
  EXPECT_EQ(w.b.Control(host::ctl::mail::kModeHold).Caption(), u"");
  EXPECT_FALSE(w.b.Control(host::ctl::mail::kSkipMenu).Enabled());
  EXPECT_EQ(w.b.Control(host::ctl::main::kPasteType).ForeColor(), 0xFFC0C0);
  EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kLast);
}

// Every sorted cell is checked, not only the last one: an overlong one stops the run
// and the inserted column goes again.
TEST(PrintToSheet, SortStepOverflowInAnyRowAbortsAndRemovesTheInsertedColumn) {
  Writer w(host::ModeId::kReduceRowsToOne);
  w.b.state.request.IgnoreIndexMode = true;
  w.b.Control(host::ctl::main::kSort).SetValue(true);
  w.b.routines.GetSortCntPasteTravel = [](host::State& s) {
    const xl::Range sel = s.App().ActiveWindow()->RangeSelection();
    xl::Worksheet& sheet = sel.Parent();
    for (long r = sel.Row(); r < sel.Row() + sel.RowsCount(); ++r) {
      items::WriteText(sheet.Cells(r, sel.Column() + 1), r == 3 ? Text(32765, u'x') : Text(u"short"));
    }
    s.request.DisplayText = u"short";
  };
  w.Sheet().Range(u"C3").SetValue(u"beside");
  w.Flag({0, 1});
  w.buffer.BoldCellFound = true;
  w.buffer.BoldColumn = 1;
  w.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  w.Batch({{u"P1", u"R2,R1"}, {u"P2", u"C1"}}, true);

  EXPECT_EQ(w.b.state.actions.BatchStatus, host::BatchMark::kAbort);
  ASSERT_EQ(w.b.addin.Messages().size(), 1u);
  EXPECT_NE(w.b.addin.Messages()[0].prompt.find(u"There are 32,765 text characters"), Text::npos);
  EXPECT_EQ(Read(w.Sheet(), 2, 1, 3, 3),
            (Table{{u"", u"Reference", u""}, {u"P1", u"R2,R1", u"beside"}, {u"P2", u"C1", u""}}));
}

}  // namespace

}  // namespace quillary::actions
