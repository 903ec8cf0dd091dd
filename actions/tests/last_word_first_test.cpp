#include "actions/last_word_first.h"

#include <gtest/gtest.h>

#include <functional>
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
using testing::Table;
namespace msgbox = host::msgbox;

TEST(LastWordFirst, TurnsTheWordsOfACell) {
  const struct {
    const char16_t* filter;
    Text cell;
    Text expected;
  } cases[] = {
      // Without filter entries: the words only; periods and commas stay with them.
      {u",", u"a b c d", u"d c b a"},
      {u",", u"x, y.", u"y. x,"},
      {u",", u"a  b", u" b a"},
      {u",", u"a\u00A0b", u"b a"},
      {u",", u"Lee\nAnn", u"Lee,Ann"},
      {u",", u"", u""},
      // With a filter: titles go, "and" joins two people who share the surname.
      {u",mr,mrs,", u"Mr. John and Mrs. Mary Smith", u"Smith Mary, Smith John"},
      {u",mr,", u"Smith M.D", u"M.D Smith"},
      {u",mr,", u"Ph.D.", u"Ph.D"},
      {u",mr,", u"Lee, Ann", u"Ann, Lee"},
      {u",mr,", u"Mary, John Q. Smith", u"Smith Q John, Smith Mary"},
      {u",mr,", u"Lee\nAnn", u"Ann, Lee"},
      {u",mr,", u"John & Mary Smith", u"Smith Mary, Smith John"},
      {u",mr,", u"  Ann   Lee  ", u"Lee Ann"},
      // Titles and "and" are found without regard to case.
      {u",Mr,PhD,", u"mr John Smith PHD", u"Smith John"},
      {u",mr,", u"John AND Mary Smith", u"Smith Mary, Smith John"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LastWordFirst(c.cell, c.filter), c.expected) << ToUtf8(c.cell) << " / " << ToUtf8(c.filter);
  }
}

// Names in A1:B2 of "Names"; the output goes to C1:D2.
struct Names {
  Names() {
    b.book->ActiveSheet().SetName(u"Names");
    Fill(Sheet(), 1, 1, {{u"Mr. John and Mrs. Mary Smith", u"Lee, Ann"}, {u"a b", u""}});
    forms::Control& list = b.Control(host::ctl::lastword::kRemoveStringsList);
    for (const char16_t* title : {u"mr", u"mrs", u"dr"}) list.AddItem(title);
    b.BeginRequest(host::ModeId::kLastWordFirst);
    b.Cell(u"A1:B2").Select();
  }
  xl::Worksheet& Sheet() { return b.Sheet(u"Names"); }
  void Filter(std::initializer_list<long> entries) {
    for (long i : entries) b.Control(host::ctl::lastword::kRemoveStringsList).SetSelected(i, true);
  }
  void Turn() { ReverseOrder(b.state); }
  testkit::Bench b;
};

TEST(ReverseOrder, WritesTheTurnedBlockBesideTheSource) {
  Names f;
  f.Filter({0, 1});
  f.Sheet().Range(u"A2").SetHorizontalAlignment(xl::xlRight);
  f.b.addin.QueueBigMsgAnswer(1);
  f.Turn();
  EXPECT_EQ(Read(f.Sheet(), 1, 1, 2, 4),
            (Table{{u"Mr. John and Mrs. Mary Smith", u"Lee, Ann", u"Smith Mary, Smith John", u"Ann, Lee"},
                   {u"a b", u"", u"b a", u""}}));
  EXPECT_TRUE(f.Sheet().Range(u"D2").Value().IsEmpty());
  EXPECT_EQ(f.Sheet().Range(u"C2").HorizontalAlignment(), Variant(xl::xlRight));
  EXPECT_TRUE(f.b.addin.Messages().empty());
  // The dialog: its help text, then its buttons as they were.
  EXPECT_TRUE(Begins(f.b.Control(host::ctl::bigmsg::kText).Text(),
                     u"\"LastWord First w/Filter\" has been initiated.  OK To REVERSE the word order?  Excel's Undo "
                     u"will not revert this!\rThe output results will be pasted into same amount of cells to the right "
                     u"of your selection as there are in your selection.\r"));
  EXPECT_EQ(f.b.Control(host::ctl::bigmsg::kOptionButton).Caption(), u"Option");
  EXPECT_FALSE(f.b.Control(host::ctl::bigmsg::kOptionButton).Visible());
  EXPECT_EQ(f.b.Control(host::ctl::bigmsg::kOkButton).Caption(), u"OK");
  EXPECT_TRUE(f.b.addin.CallsOf(u"ShowMainUserForm").empty());
}

TEST(ReverseOrder, OnlyTheFirstAreaAndAnEmptySourceClearsItsOutput) {
  Names f;
  f.b.Cell(u"A2,A1").Select();
  f.Sheet().Range(u"B2").SetValue(u"old");
  f.b.addin.QueueBigMsgAnswer(1);
  f.b.addin.QueueMessageAnswer(msgbox::kAnswerOk);  // overwrite
  f.Sheet().Range(u"A2").ClearContents();
  f.Turn();
  EXPECT_TRUE(f.Sheet().Range(u"B2").Value().IsEmpty());
  EXPECT_TRUE(f.Sheet().Range(u"B1").Value() == Variant(u"Lee, Ann"));
  EXPECT_EQ(f.b.app->ActiveWindow()->RangeSelection().Address(), u"$A$2");
  EXPECT_EQ(Prompts(f.b).at(0),
            u"( LastWord First w/Filter ): The output results would be pasted into same amount of cells to the right "
            u"of your selection as there are in your selection.\r\rBut there some cells to the right that are not "
            u"empty and will be overwritten if you select OK.\r\rChoose OK to overwrite, or choose CANCEL to abort.");
  EXPECT_EQ(f.b.addin.Messages()[0].style, 65);
}

// Refusals: a message (or none), the main form shown again, and no cell written.
TEST(ReverseOrder, RefusalsWriteNothing) {
  struct Case {
    const char* what;
    std::function<void(Names&)> arrange;
    std::vector<int> bigMsg;
    std::vector<int> messages;
    Text expected;  // the message, "" for none
  };
  const std::vector<Case> cases = {
      {"dialog cancelled", [](Names&) {}, {0}, {}, u""},
      {"overwrite cancelled",
       [](Names& f) { f.Sheet().Range(u"D2").SetValue(u"keep"); },
       {1},
       {msgbox::kAnswerCancel},
       u"( LastWord First w/Filter ): The output results would be pasted"},
      // Checked before a cell is written, wherever in the output it lies.
      {"merged output cell",
       [](Names& f) { f.Sheet().Range(u"D2:E2").Merge(); },
       {1},
       {msgbox::kAnswerOk},
       u"( LastWord First w/Filter ): There is a merged cell in the destination area. This process will not place "
       u"results into merged cells.\r\rThis action has aborted.\r\rPlease unmerge the offending cell. Consider "
       u"umerging all cells."},
      {"locked output on a protected sheet",
       [](Names& f) { f.Sheet().Protect(); },
       {},
       {msgbox::kAnswerOk},
       u"( LastWord First w/Filter ): The Worksheet is Protected and there are cells in the area to the right of this "
       u"selection which are Locked.\r\rThis Action will NOT execute."},
      // The room is checked first: the block beyond the sheet is never read.
      {"the sheet's last column",
       [](Names& f) {
         xl::Worksheet& sheet = f.Sheet();
         sheet.Protect();
         sheet.Range(sheet.Cells(1, sheet.ColumnsCount() - 1), sheet.Cells(1, sheet.ColumnsCount())).Select();
       },
       {},
       {msgbox::kAnswerOk},
       u"( LastWord First w/Filter ): The output results would be pasted into the same amount of empty cells to the "
       u"right of your selection as there are in your selection.\r\rBut there are only 16384 columns in the worksheet "
       u"and this action would try to use out to 16386 columns. This is not possible."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Names f;
    c.arrange(f);
    for (int a : c.bigMsg) f.b.addin.QueueBigMsgAnswer(a);
    for (int a : c.messages) f.b.addin.QueueMessageAnswer(a);
    f.Turn();
    EXPECT_TRUE(f.Sheet().Range(u"C1").Value().IsEmpty());
    EXPECT_EQ(f.b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
    const std::vector<Text> prompts = Prompts(f.b);
    if (c.expected.empty()) {
      EXPECT_TRUE(prompts.empty());
    } else {
      ASSERT_EQ(prompts.size(), 1u);
      EXPECT_TRUE(Begins(prompts[0], c.expected)) << ToUtf8(prompts[0]);
    }
  }
}

TEST(ReverseOrder, AProtectedSheetWithUnlockedOutputIsWrittenWithoutFormats) {
  Names f;
  f.Sheet().Range(u"C1:D2").SetLocked(false);
  f.Sheet().Range(u"A1").SetHorizontalAlignment(xl::xlRight);
  f.Sheet().Protect();
  f.b.addin.QueueBigMsgAnswer(1);
  f.Turn();
  EXPECT_EQ(items::CellText(f.Sheet().Range(u"C2")), u"b a");
  EXPECT_NE(f.Sheet().Range(u"C1").HorizontalAlignment(), Variant(xl::xlRight));
}

TEST(ReverseOrder, TheBreakKeyStopsBetweenCells) {
  Names f;
  f.b.addin.QueueBigMsgAnswer(1);
  f.b.addin.QueueBreakAnswer(u"0");  // the first cell's poll
  f.b.addin.QueueBreakAnswer(u"6");  // the second's
  f.Turn();
  EXPECT_EQ(items::CellText(f.Sheet().Range(u"C1")), u"Smith Mary Mrs. and John Mr.");
  EXPECT_TRUE(f.Sheet().Range(u"C2").Value().IsEmpty());
  EXPECT_EQ(f.b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
}

}  // namespace

}  // namespace quillary::actions
