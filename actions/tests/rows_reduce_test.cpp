#include "actions/rows_reduce.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(CleanRefDes, TidiesJoinedItems) {
  const struct {
    bool ignoreIndex;
    bool commaSpace;
    Text text;
    Text expected;
  } cases[] = {
      // IgnoreIndex#: never a blank after a comma, whatever CheckBox9 says.
      {true, true, u"R1, R2 ,R3", u"R1,R2,R3"},
      {true, false, u"R1,\u00A0R2", u"R1,R2"},
      // CountIndex# with the comma-space option: one blank after every comma.
      {false, true, u"R1,R2,  R3 ,R4", u"R1, R2, R3, R4"},
      {false, false, u"R1, R2", u"R1,R2"},
      // Doubled, leading and trailing commas.
      {true, false, u",R1,,R2,", u"R1,R2"},
      // Only one trailing comma goes.
      {true, false, u"R1, ,", u"R1,"},
      // Bar separators present on entry become commas; those made of Chr(31) stay.
      {true, false, u"R1 | R2", u"R1,R2"},
      {true, false, u"R1\x1FR2", u"R1 | R2"},
      {true, false, u"", u""},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(c.ignoreIndex);
    b.Control(host::ctl::main::kCommaSpace).SetValue(c.commaSpace);
    b.BeginRequest(host::ModeId::kReduceRowsToOne);
    Text text = c.text;
    Clean_RefDes(b.state, text);
    EXPECT_EQ(text, c.expected) << ToUtf8(c.text);
  }
}

// A list on sheet "Parts" from A1, selected; IgnoreIndex# unless said otherwise.
struct List {
  explicit List(const Table& rows, bool ignoreIndex = true) {
    b.book->ActiveSheet().SetName(u"Parts");
    Fill(Source(), 1, 1, rows);
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(ignoreIndex);
    b.BeginRequest(host::ModeId::kReduceRowsToOne);
    const long cols = static_cast<long>(rows.front().size());
    Source().Range(Source().Cells(1, 1), Source().Cells(static_cast<long>(rows.size()), cols)).Select();
  }
  xl::Worksheet& Source() { return b.Sheet(u"Parts"); }
  void Bold(const char16_t* cell) { Source().Range(cell).Font().SetBold(true); }
  void Unattended() { b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true); }
  // The page set-up question and the window arrangement of an attended run.
  void QueueClosing() {
    b.addin.QueueMessageAnswer(msgbox::kAnswerNo);
    b.addin.QueueMessageAnswer(msgbox::kAnswerCancel);
  }
  void Reduce() { RowsReduce(b.state); }
  xl::Worksheet* Result() { return SheetStartingWith(b, u"Parts-Reduced1"); }
  // The result rows from row 3, right of the numbering column.
  Table Rows(long rows, long cols) { return Read(*Result(), 3, 2, rows, cols); }

  testkit::Bench b;
};

// The bolded cell in the first row, third column, of an Indented list: the rows below
// fold into the columns of the first row, the bolded column joins the Items of all
// rows, and the Items are sorted through the block engine.
TEST(RowsReduce, IndentedListCollapsedOnTheBoldedColumn) {
  List f({{u"P1", u"Res", u"R2, R1", u"10k"},
          {u"", u"Res2", u"R4", u"10k"},
          {u"", u"", u"R3", u""},
          {u"P2", u"Cap", u"C1", u"1u"}});
  f.Bold(u"C1");
  std::vector<testing::FakePasteRight::Call> calls;
  f.b.routines.GetSortCntPasteTravel = testing::FakePasteRight{&calls};
  f.b.state.compare.CompareStep = host::CompareStage::kClearLeftTags;
  f.b.addin.QueueBigMsgAnswer(1);                    // Indented
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerYes);  // sort the joined Items
  f.QueueClosing();
  f.Reduce();

  ASSERT_NE(f.Result(), nullptr);
  EXPECT_EQ(f.Rows(2, 4), (Table{{u"P1", u"Res\nRes2", u"R1,R2,R3,R4", u"10k"}, {u"P2", u"Cap", u"C1", u"1u"}}));
  EXPECT_EQ(items::CellText(f.Result()->Range(u"D2")), u"Reference");
  EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);
  EXPECT_EQ(f.b.state.actions.ResultRows, 2);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].pasteType, u"Items");
  // The style answer stays the run's own; the sorting answer leaves Sort ticked and
  // the tagging option enabled and clear.
  EXPECT_EQ(f.b.state.compare.CompareStep, host::CompareStage::kClearLeftTags);
  EXPECT_TRUE(vba::EqualsTrue(f.b.Control(host::ctl::main::kSort).Value()));
  EXPECT_TRUE(f.b.Control(host::ctl::main::kTagDuplicates).Enabled());
  EXPECT_FALSE(vba::EqualsTrue(f.b.Control(host::ctl::main::kTagDuplicates).Value()));
  EXPECT_EQ(f.b.Control(host::ctl::mail::kResultSheet).Caption(), u"");
  EXPECT_EQ(f.b.Control(host::ctl::bigmsg::kOkButton).Caption(), u"OK");
  EXPECT_FALSE(f.b.Control(host::ctl::bigmsg::kOptionButton2).Visible());

  const std::vector<Text> prompts = Prompts(f.b);
  ASSERT_EQ(prompts.size(), 3u);
  EXPECT_TRUE(Begins(prompts[0],
                     u"( REDUCE Rows to One ): You have chosen to collapse your selection and combine Items into a "
                     u"single cell. But SORTING has not been enabled.\r\r"));
  EXPECT_EQ(f.b.addin.Messages()[0].style, 323);
  EXPECT_TRUE(
      Begins(prompts[1],
             u"[Report Page Setup?]( REDUCE Rows to One ): Translation Complete. Apply default Printer "
             u"Page_Setup?\r\rThe new output results table is highlighted. The original source data is intact"));
  EXPECT_TRUE(Begins(f.b.Control(host::ctl::bigmsg::kText).Text(),
                     u"\"REDUCE Rows to One\" has been initiated.   REDUCE ROWS based on WHICH STYLE?"));
}

// The three styles tell records apart by the first column; without a bolded cell a
// record's rows stand side by side.
TEST(RowsReduce, RecordsOfEachStyle) {
  const struct {
    const char* what;
    int styleAnswer;
    Table rows;
    Table expected;
  } cases[] = {
      // Equal names that are not adjacent are not merged.
      {"name change",
       2,
       {{u"a", u"1"}, {u"a", u"2"}, {u"b", u"3"}, {u"a", u"4"}},
       {{u"a", u"1", u"2"}, {u"b", u"3", u""}, {u"a", u"4", u""}}},
      // A first cell of blanks only continues the record; later rows leave out the
      // first column.
      {"indented", 1, {{u"a", u"1"}, {u"   ", u"2"}, {u"b", u"3"}}, {{u"a", u"1", u"2"}, {u"b", u"3", u""}}},
      // Every row is read whole; a formula showing an empty text is content.
      {"after empty cell",
       3,
       {{u"X", u"1"}, {u"", u"2"}, {u"=\"\"", u"3"}, {u"Y", u"4"}},
       {{u"X", u"1", u"", u"2"}, {u"", u"3", u"Y", u"4"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    List f(c.rows);
    if (c.styleAnswer == 3) f.Source().Range(u"A3").SetFormula(u"=\"\"");
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerYes);  // no bolded cell: go on
    f.b.addin.QueueBigMsgAnswer(c.styleAnswer);
    f.QueueClosing();
    f.Reduce();
    ASSERT_NE(f.Result(), nullptr);
    const long cols = static_cast<long>(c.expected.front().size());
    EXPECT_EQ(f.Rows(static_cast<long>(c.expected.size()) + 1, cols), [&] {
      Table t = c.expected;
      t.emplace_back(static_cast<std::size_t>(cols), Text());
      return t;
    }());
    EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);
  }
}

TEST(RowsReduce, BoldInTheFirstColumnFoldsEveryColumnWithoutJoining) {
  List f({{u"P1", u"a", u"x"}, {u"", u"b", u"x"}, {u"", u"", u""}, {u"P2", u"c", u"y"}});
  f.Bold(u"A1");
  f.Unattended();
  f.Reduce();
  EXPECT_TRUE(f.b.addin.Messages().empty());
  EXPECT_EQ(f.Rows(2, 3), (Table{{u"P1", u"a\nb", u"x"}, {u"P2", u"c", u"y"}}));
}

// The bolded cell below the first row of an Indented record: the first row keeps its
// cells, the bold row's cells follow them (without the first column, which later rows
// of an Indented record do not read) and its Items column takes the joined Items.
TEST(RowsReduce, BoldBelowTheFirstRowOfItsRecordKeepsTheItems) {
  List f(
      {{u"P1", u"d1", u"", u"q1"}, {u"", u"d2", u"R1", u"q2"}, {u"P2", u"e1", u"", u"q3"}, {u"", u"e2", u"C1", u"q4"}});
  f.Bold(u"C2");
  f.Unattended();
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
  f.Reduce();
  EXPECT_EQ(f.Rows(2, 6),
            (Table{{u"P1", u"d1", u"q1", u"d2", u"R1", u"q2"}, {u"P2", u"e1", u"q3", u"e2", u"C1", u"q4"}}));
}

// Every refusal before the output: its message, the main form shown again, nothing
// written, and a failure status whatever the previous run left.
TEST(RowsReduce, RefusalsLeaveAFailureStatusAndNoSheet) {
  struct Case {
    const char* what;
    Table rows;
    const char16_t* bold;
    bool ignoreIndex;
    bool tagDuplicates;
    std::vector<int> messageAnswers;
    std::vector<int> bigMsgAnswers;
    Text expectedStart;  // of the last message, "" for none
    long style;
  };
  const Table two = {{u"P1", u"R1"}, {u"", u"R2"}};
  const std::vector<Case> cases = {
      {"one column",
       {{u"P1"}, {u"P2"}},
       nullptr,
       true,
       false,
       {msgbox::kAnswerOk},
       {},
       u"( REDUCE Rows to One ): Only one column is selected.\r\rThis action's usefulness is very limited",
       64},
      {"second column empty, Cancel",
       {{u"P1", u""}, {u"P2", u""}},
       nullptr,
       true,
       false,
       {msgbox::kAnswerCancel},
       {},
       u"( REDUCE Rows to One ): The second column within your selection is completely empty.\r\rData in the first",
       49},
      {"bold in CountIndex#",
       two,
       u"B1",
       false,
       false,
       {msgbox::kAnswerOk},
       {},
       u"( REDUCE Rows to One ): This action must use IgnoreIndex# Mode because the conversion would most likely be "
       u"aborted if CountIndex# Mode were used (due to very specific rules being applied in CountIndex# Mode).\r\r"
       u"Please make the appropriate choice for that option.",
       64},
      {"bold with tagging",
       two,
       u"B1",
       true,
       true,
       {msgbox::kAnswerOk},
       {},
       u"( REDUCE Rows to One ): This action must use IgnoreIndex# Mode *without* the \"",
       64},
      {"no bold, No",
       two,
       nullptr,
       true,
       false,
       {msgbox::kAnswerNo},
       {},
       u"( REDUCE Rows to One ): NO CELL IS BOLDED.\r\r",
       308},
      {"style dialog cancelled", two, u"B1", true, false, {}, {0}, u"", 0},
      {"indented with an empty top cell",
       {{u"", u"R1"}, {u"P1", u"R2"}},
       u"B1",
       true,
       false,
       {msgbox::kAnswerOk},
       {1},
       u"( REDUCE Rows to One ): You have chosen to reduce rows which have an Indented format.",
       64},
      {"sorting question, Cancel",
       two,
       u"B1",
       true,
       false,
       {msgbox::kAnswerCancel},
       {1},
       u"( REDUCE Rows to One ): You have chosen to collapse your selection",
       323},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    List f(c.rows, c.ignoreIndex);
    if (c.bold != nullptr) f.Bold(c.bold);
    f.b.Control(host::ctl::main::kTagDuplicates).SetEnabled(true);
    f.b.Control(host::ctl::main::kTagDuplicates).SetValue(c.tagDuplicates);
    f.b.Control(host::ctl::main::kSort).SetValue(false);
    for (int a : c.messageAnswers) f.b.addin.QueueMessageAnswer(a);
    for (int a : c.bigMsgAnswers) f.b.addin.QueueBigMsgAnswer(a);
    f.b.state.actions.BatchStatus = host::BatchMark::kLast;
    const long sheets = f.b.book->Worksheets().Count();
    f.Reduce();
    EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kAbort);
    EXPECT_EQ(f.b.book->Worksheets().Count(), sheets);
    EXPECT_EQ(f.b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
    const auto messages = f.b.addin.Messages();
    if (c.expectedStart.empty()) {
      EXPECT_TRUE(messages.empty());
      continue;
    }
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(Begins(messages.back().prompt, c.expectedStart)) << ToUtf8(messages.back().prompt);
    EXPECT_EQ(messages.back().style, c.style);
  }
}

TEST(RowsReduce, MoreThanOneBoldedCell) {
  {
    SCOPED_TRACE("attended: refused");
    List f({{u"P1", u"R1"}, {u"", u"R2"}});
    f.Bold(u"A1:B2");
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.Reduce();
    EXPECT_TRUE(Begins(Prompts(f.b).at(0),
                       u"( REDUCE Rows to One ): MORE THAN ONE CELL IS BOLDED.\r\rMore than one bolded cell was found "
                       u"in your selected area (possibly in empty cells)."));
    EXPECT_EQ(f.Result(), nullptr);
    EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kAbort);
  }
  {
    SCOPED_TRACE("unattended: the top-left cell is the bolded one");
    List f({{u"P1", u"R1"}, {u"", u"R2"}, {u"P2", u"R3"}});
    f.Bold(u"A1:B3");
    f.Unattended();
    f.Reduce();
    EXPECT_TRUE(f.b.addin.Messages().empty());
    EXPECT_EQ(f.Rows(2, 2), (Table{{u"P1", u"R1\nR2"}, {u"P2", u"R3"}}));
  }
}

// The sheet's last row is read as the end of the list: it may be selected only while
// it is empty; the one-column check comes before any cell right of the selection is
// read, so the sheet's last column gives its message and no error.
TEST(RowsReduce, TheSheetsEdges) {
  {
    List f(Table{{u"P1", u"R1"}});
    xl::Worksheet& sheet = f.Source();
    const long last = sheet.RowsCount();
    items::WriteText(sheet.Cells(last, 1), u"bottom");
    sheet.Range(sheet.Cells(last - 1, 1), sheet.Cells(last, 2)).Select();
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.Reduce();
    EXPECT_EQ(Prompts(f.b).at(0),
              u"( REDUCE Rows to One ): THE BOTTOM-MOST ROW OF THE WORKSHEET IS SELECTED AND HAS CONTENT.\r\rA "
              u"requirement of this action is that the bottom-most row of the worksheet can not be used.\r\rPlease "
              u"make a selection which does not include the content presently in bottom-most row of the worksheet. ");
    EXPECT_EQ(f.b.addin.Messages()[0].style, 304);
  }
  {
    List f(Table{{u"P1", u"R1"}});
    xl::Worksheet& sheet = f.Source();
    const long last = sheet.RowsCount();
    items::WriteText(sheet.Cells(last - 1, 1), u"P9");
    items::WriteText(sheet.Cells(last - 1, 2), u"R9");
    sheet.Range(sheet.Cells(last - 1, 1), sheet.Cells(last, 2)).Select();
    f.Unattended();
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerYes);  // no bolded cell
    f.Reduce();
    EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);
    EXPECT_EQ(f.Rows(1, 2), (Table{{u"P9", u"R9"}}));
  }
  {
    List f(Table{{u"P1"}});
    xl::Worksheet& sheet = f.Source();
    const long last = sheet.ColumnsCount();
    items::WriteText(sheet.Cells(1, last), u"P1");
    sheet.Range(sheet.Cells(1, last), sheet.Cells(2, last)).Select();
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.Reduce();
    EXPECT_TRUE(Begins(Prompts(f.b).at(0), u"( REDUCE Rows to One ): Only one column is selected."));
  }
}

// In IgnoreIndex# mode records are written in batches of 100 while the list is read;
// in CountIndex# mode all of them at the end. A run stopped after a batch leaves its
// sheet marked as failed.
TEST(RowsReduce, BatchesOfAHundredRecordsInIgnoreIndexMode) {
  for (const bool ignoreIndex : {true, false}) {
    SCOPED_TRACE(ignoreIndex ? "IgnoreIndex#" : "CountIndex#");
    Table rows;
    for (int i = 1; i <= 250; ++i)
      rows.push_back({Text(u"P").append(vba::IntegerText(i)), Text(u"R").append(vba::IntegerText(i))});
    List f(rows, ignoreIndex);
    f.Unattended();
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerYes);  // no bolded cell
    // The break key is pressed once a result sheet exists.
    f.b.addin.SetAnswerProvider([&](const addin::AnswerRequest& r) -> std::optional<Text> {
      if (r.kind == addin::Reply::BreakKey && SheetStartingWith(f.b, u"Parts-Reduced1") != nullptr) return u"6";
      return std::nullopt;
    });
    f.Reduce();
    if (ignoreIndex) {
      EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kAbort);
      xl::Worksheet* result = SheetStartingWith(f.b, u"Parts-Reduced1");
      ASSERT_NE(result, nullptr);
      EXPECT_EQ(result->Name(), u"Parts-Reduced1-Err");
      EXPECT_EQ(items::CellText(result->Range(u"A102")), u"P100");
      EXPECT_TRUE(result->Range(u"A103").Value().IsEmpty());
    } else {
      EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);
      EXPECT_EQ(f.Rows(250, 2).back(), (std::vector<Text>{u"P250", u"R250"}));
    }
  }
}

TEST(RowsReduce, JoinedItemsOverTheCellLimit) {
  for (const std::size_t second : {12759u, 12760u}) {
    SCOPED_TRACE(second);
    List f({{u"P1", Text(20000, u'a')}, {u"", Text(second, u'b')}});
    f.Bold(u"B1");
    f.Unattended();
    f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
    f.Reduce();
    if (second == 12759u) {
      EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kLast);
      EXPECT_EQ(items::CellText(f.Result()->Range(u"C3")).size(), 32760u);
      continue;
    }
    EXPECT_EQ(f.b.state.actions.BatchStatus, host::BatchMark::kAbort);
    EXPECT_EQ(Prompts(f.b).at(0),
              u"( REDUCE Rows to One ): Overflow >32,760 text characters. Because Excel's text length limit has been "
              u"exceeded, \"REDUCE Rows to One\" has been aborted.\r\rIt will not be possible to reduce all rows of "
              u"every record into single row records.\r\rThe process has CANCELLED.");
    EXPECT_EQ(f.Result(), nullptr);
  }
}

TEST(RowsReduce, MoreOutputColumnsThanTheSheetHas) {
  testkit::Bench b;
  xl::Worksheet& sheet = b.book->ActiveSheet();
  const long cols = sheet.ColumnsCount();
  // One record whose rows stand side by side: 2 + (rows - 1) output columns.
  items::WriteText(sheet.Cells(1, 1), u"P1");
  for (long r = 1; r <= cols - 1; ++r) items::WriteText(sheet.Cells(r, 2), u"x");
  b.BeginRequest(host::ModeId::kReduceRowsToOne);
  sheet.Range(sheet.Cells(1, 1), sheet.Cells(cols - 1, 2)).Select();
  b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
  b.addin.QueueMessageAnswer(msgbox::kAnswerYes);  // no bolded cell
  b.addin.QueueMessageAnswer(msgbox::kAnswerOk);
  const long sheets = b.book->Worksheets().Count();
  RowsReduce(b.state);
  EXPECT_EQ(b.state.actions.BatchStatus, host::BatchMark::kAbort);
  EXPECT_EQ(Prompts(b).at(1),
            u"( REDUCE Rows to One ): TRANSLATION IN PROGRESS.\r\rThe format of your input selection requires 16385 "
            u"columns be used in the output. But there are only 16384 maximum columns in this version of Excel.\r\r"
            u"Examine your selection, and if possible, make modifications to decrease the output columns required by "
            u"16385.\r\rAlso, you would probably use less columns if you consolidate Items by bolding an appropriate "
            u"cell. Bolding joins many cells of Items (e.g. Reference Designators) into a single cell per part.\r\rTry "
            u"combining columns or rows containing data. Or try selecting less columns or rows.");
  EXPECT_EQ(b.book->Worksheets().Count(), sheets);
}

}  // namespace

}  // namespace quillary::actions
