#include <gtest/gtest.h>

#include "actions/internal/messages.h"
#include "actions/tests/desk.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::actions {
namespace {

using host::ModeId;

// The messages' words as the user reads them: tests/scenarios/actions/paint_and_justify.qs.

class PaintTable : public ::testing::Test {
 protected:
  PaintTable() {
    d.Column(u"A1", {u"short", Text(100, u'w'), u"two\nlines"});
    d.Column(u"B1", {u"b"});
    d.Cell(u"C9").SetValue(u"outside the selection");
    d.Cell(u"B2:C2").Merge();
    d.Cell(u"A1:C3").Borders(xl::xlDiagonalUp).SetLineStyle(xl::xlContinuous);
  }
  void Paint(int answer, const char16_t* selection = u"A1:C3") {
    d.b.addin.QueueBigMsgAnswer(answer);
    d.Run(ModeId::kPaintTableFormat, selection);
  }
  Desk d;
};

TEST_F(PaintTable, TheConfirmationOffersBothWrapsAndCancelChangesNothing) {
  Paint(0);
  const Text text = d.Control(host::ctl::bigmsg::kText).Text();
  Text expected = u"\"PAINT TABLE Format\"" + Text(msg::kPaintInitiated) + u"\r\r";
  for (const TextView line : msg::kPaintLines) expected += Text(line) + u"\r";
  expected += msg::kPaintUnwrapOtherwise + Text(u"\"Wrap Text: Clear\".");
  EXPECT_EQ(text, expected);
  EXPECT_EQ(d.Control(host::ctl::bigmsg::kOptionButton).Caption(), u"");
  EXPECT_FALSE(d.Control(host::ctl::bigmsg::kOptionButton).Visible());
  EXPECT_TRUE(d.Cell(u"B2").MergeCells());
  EXPECT_EQ(d.Cell(u"A1").ColumnWidth(), Variant(8.43));
  EXPECT_EQ(d.Cell(u"A1").VerticalAlignment(), Variant(xl::xlBottom));
}

TEST_F(PaintTable, OkPaintsABorderedWrappedTopAlignedTableOfFittedColumns) {
  d.b.addin.SetHook(u"ShowBigMsgForm", [&](std::span<Variant>) {
    EXPECT_EQ(d.Control(host::ctl::bigmsg::kOptionButton).Caption(), u"OK NoTextWrap");
    EXPECT_TRUE(d.Control(host::ctl::bigmsg::kOptionButton).Visible());
  });
  Paint(1);
  const xl::Range table = d.Cell(u"A1:C3");
  EXPECT_FALSE(d.Cell(u"B2").MergeCells());
  EXPECT_EQ(table.WrapText(), Variant(true));
  EXPECT_EQ(table.VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(table.Borders().LineStyle(), Variant(xl::xlContinuous));
  EXPECT_EQ(table.Borders(xl::xlDiagonalUp).LineStyle(), Variant(xl::xlLineStyleNone));
  EXPECT_EQ(d.Cell(u"A1").ColumnWidth(), Variant(60.0)) << "fitted to 100 characters, then cut back";
  EXPECT_EQ(d.Cell(u"B1").ColumnWidth(), Variant(1.71));
  EXPECT_EQ(d.Cell(u"C1").ColumnWidth(), Variant(1.0)) << "empty within the selection";
  EXPECT_EQ(d.Cell(u"A3").RowHeight(), Variant(30.0));
  EXPECT_EQ(d.Cell(u"D1").ColumnWidth(), Variant(8.43));
  EXPECT_EQ(d.Cell(u"D1").Borders().LineStyle(), Variant(xl::xlLineStyleNone));
}

TEST_F(PaintTable, OkNoTextWrapPaintsWithoutWrapping) {
  d.Cell(u"A1:C3").SetWrapText(true);
  Paint(2);
  EXPECT_EQ(d.Cell(u"A1:C3").WrapText(), Variant(false));
  EXPECT_EQ(d.Cell(u"A1:C3").Borders().LineStyle(), Variant(xl::xlContinuous));
  EXPECT_EQ(d.Cell(u"A1").ColumnWidth(), Variant(60.0));
}

TEST_F(PaintTable, SeveralAreasArePaintedAsOneAndTheFirstAreasColumnsAreFitted) {
  Paint(1, u"A1:A3,E5:F6");
  EXPECT_EQ(d.Cell(u"E5:F6").Borders().LineStyle(), Variant(xl::xlContinuous));
  EXPECT_EQ(d.Cell(u"E5:F6").VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(d.Cell(u"A1").ColumnWidth(), Variant(60.0));
  EXPECT_EQ(d.Cell(u"E1").ColumnWidth(), Variant(8.43));
}

TEST_F(PaintTable, AProtectedSheetRefusesTheFormatsAndTheErrorReachesTheHost) {
  d.Sheet().Protect();
  check::ExpectRaises([&] { Paint(1); }, err::kApplication, "Actions: ");
  EXPECT_EQ(d.Cell(u"A1:C3").VerticalAlignment(), Variant(xl::xlBottom));
}

// ----- justify -----

class Justify : public ::testing::Test {
 protected:
  // Row r of A:E from the values.
  void Row(long r, std::initializer_list<Variant> values) {
    long c = 1;
    for (const Variant& v : values) d.Sheet().Cells(r, c++).SetValue(v);
  }
  std::vector<Variant> RowValues(long r) {
    return d.Sheet().Range(d.Sheet().Cells(r, 1), d.Sheet().Cells(r, 5)).Values();
  }
  Desk d;
};

TEST_F(Justify, RowsMoveToTheJustifiedEndWithTheirGaps) {
  const Variant e;
  Row(1, {u"A", e, u"B", e, e});
  Row(2, {u"A", e, e, e, u"Z"});
  Row(3, {e, e, e, e, e});
  Row(4, {e, u"x", e, u"y", e});
  d.Run(ModeId::kColumnsJustifyRight, u"A1:E4");
  EXPECT_EQ(RowValues(1), (std::vector<Variant>{e, e, u"A", e, u"B"}));
  EXPECT_EQ(RowValues(2), (std::vector<Variant>{u"A", e, e, e, u"Z"}));
  EXPECT_EQ(RowValues(3), (std::vector<Variant>{e, e, e, e, e}));
  EXPECT_EQ(RowValues(4), (std::vector<Variant>{e, e, u"x", e, u"y"}));

  d.Run(ModeId::kColumnsJustifyLeft, u"A1:E4");
  EXPECT_EQ(RowValues(1), (std::vector<Variant>{u"A", e, u"B", e, e}));
  EXPECT_EQ(RowValues(2), (std::vector<Variant>{u"A", e, e, e, u"Z"}));
  EXPECT_EQ(RowValues(4), (std::vector<Variant>{u"x", e, u"y", e, e}));
  EXPECT_TRUE(d.Messages().empty());
}

TEST_F(Justify, ValuesMoveWithTheirTypeAndFormulasLeaveTheirResults) {
  const Variant e;
  Row(1, {u"'007", 7.0, u"'=1+2", u"=\"calc\"", e});
  Row(2, {true, Variant(CellError::NA), u"'a" + Text(1, u'\u00A0') + u"b", u"'", e});
  d.Run(ModeId::kColumnsJustifyRight, u"A1:E2");
  EXPECT_EQ(RowValues(1), (std::vector<Variant>{e, u"007", 7.0, u"=1+2", u"calc"}));
  EXPECT_EQ(d.Cell(u"B1").Formula(), u"'007");
  EXPECT_EQ(d.Cell(u"D1").Formula(), u"'=1+2");
  EXPECT_FALSE(d.Cell(u"E1").HasFormula());
  // The empty text at the end counts as blank: the row moves by two.
  EXPECT_EQ(RowValues(2), (std::vector<Variant>{e, e, true, Variant(CellError::NA), u"a b"}));
}

TEST_F(Justify, AMergedCellInARowThatMustMoveStopsBeforeTheRowMoves) {
  const Variant e;
  Row(1, {u"a", e, e, e, e});
  Row(2, {u"b", u"c", e, e, e});
  Row(3, {u"d", e, e, e, e});
  d.Cell(u"B2:C2").Merge();
  d.Cell(u"B5:C5").Merge();  // in a row that needs no move
  Row(5, {e, u"m", e, e, u"full"});
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Run(ModeId::kColumnsJustifyRight, u"A1:E3,A5:E5");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt,
            u"( Columns|| Justify Right ): " +
                host::Paragraphs({msg::kMergedCellMet, msg::kActionAborted,
                                  msg::kUnmergeBy + (u"\"PAINT TABLE Format\"" + Text(msg::kUnmergeBy2))}));
  EXPECT_EQ(d.Messages()[0].style, host::msgbox::kInformation);
  EXPECT_EQ(d.b.app->ActiveCell()->Address(), u"$C$2") << "the merged cell nearest the justified end";
  EXPECT_EQ(RowValues(1), (std::vector<Variant>{e, e, e, e, u"a"}));
  EXPECT_EQ(RowValues(2), (std::vector<Variant>{u"b", u"c", e, e, e}));
  EXPECT_EQ(RowValues(3), (std::vector<Variant>{u"d", e, e, e, e}));

  // Without the merged row, the row that needs no move is never looked at.
  d.b.addin.ClearLog();
  d.Run(ModeId::kColumnsJustifyRight, u"A5:E5");
  EXPECT_TRUE(d.Messages().empty());
}

TEST_F(Justify, ABlockOfOneColumnNeverChanges) {
  d.Column(u"B1", {Variant(), u"x"});
  d.Run(ModeId::kColumnsJustifyRight, u"B1:B2");
  d.Run(ModeId::kColumnsJustifyLeft, u"B1:B2");
  EXPECT_EQ(d.Values(u"B1:B2"), (std::vector<Variant>{Variant(), u"x"}));
}

}  // namespace
}  // namespace quillary::actions
