#include <gtest/gtest.h>

#include "actions/internal/messages.h"
#include "actions/tests/desk.h"

namespace quillary::actions {
namespace {

using host::ModeId;

TEST(CommentsRePosition, TheSelectedCellsBoxesGoBesideTheirCellsAndTinyBoxesFitTheirText) {
  Desk d;
  d.Cell(u"B2").AddComment(u"ab").SetWidth(10);
  const xl::Comment square = d.Cell(u"B4").AddComment(u"a longer note");
  square.SetWidth(12);
  square.SetHeight(12);
  const xl::Comment outside = d.Cell(u"D5").AddComment(u"away");
  const double outsideLeft = outside.Left(), outsideTop = outside.Top();
  d.Cell(u"XFD3").AddComment(u"edge");
  d.Cell(u"C1").SetColumnWidth(20);  // the neighbour's width plays no part

  d.Sheet().Range(u"A1:B4,XFD1:XFD9").Select();
  d.Run(ModeId::kCommentsRePosition);

  const struct {
    const char16_t* cell;
    double width, height;
  } placed[] = {{u"B2", 6.0 * 2 + 6, 12.0 + 6}, {u"B4", 12, 12}, {u"XFD3", 96, 55.5}};
  for (const auto& p : placed) {
    SCOPED_TRACE(ToUtf8(p.cell));
    const xl::Range cell = d.Cell(p.cell);
    const xl::Comment c = *cell.Comment();
    EXPECT_EQ(c.Top(), cell.Top() + 5);
    EXPECT_EQ(c.Left(), cell.Left() + cell.Width() + 5);
    EXPECT_EQ(c.Width(), p.width);
    EXPECT_EQ(c.Height(), p.height);
    EXPECT_FALSE(c.AutoSize()) << "left resizable";
  }
  EXPECT_EQ(d.Cell(u"B2").Comment()->Left(), 48.0 + 48.0 + 5);
  EXPECT_EQ(outside.Left(), outsideLeft);
  EXPECT_EQ(outside.Top(), outsideTop);
  EXPECT_TRUE(d.Messages().empty());
}

// The question's words as the user reads them: tests/scenarios/actions/wrap_text.qs.
const Text kBreaksQuestion =
    u"( Wrap Text: Clear ): " +
    host::Paragraphs({msg::kLineBreaksFound, Text(msg::kLineBreaksLookLikeSquares) + u" " + msg::kUnwrapKeepsLineBreaks,
                      msg::kLineBreaksToCommas, msg::kLineBreaksKept});

class WrapTextClear : public ::testing::Test {
 protected:
  WrapTextClear() {
    d.Column(u"A1", {u"=\"p\nq\"", u"plain", u"one\r\ntwo\nthree", u"a\rb", 7.0, u"x\ny"});
    d.Cell(u"A1:A6").SetWrapText(true);
    d.Cell(u"A3").SetHorizontalAlignment(xl::xlCenter);
  }
  Desk d;
};

TEST_F(WrapTextClear, YesTurnsLineBreaksIntoCommasInTextCellsOnly) {
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  d.Run(ModeId::kWrapTextClear, u"A1:A6");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt, kBreaksQuestion);
  EXPECT_EQ(d.Messages()[0].style, host::msgbox::kYesNo);
  EXPECT_EQ(d.Values(u"A1:A6"), (std::vector<Variant>{u"p\nq", u"plain", u"one,two,three", u"a\rb", 7.0, u"x,y"}));
  EXPECT_TRUE(d.Cell(u"A1").HasFormula());
  EXPECT_EQ(d.Cell(u"A3").Formula(), u"'one,two,three");
  EXPECT_EQ(d.Cell(u"A3").HorizontalAlignment(), Variant(xl::xlCenter));
  EXPECT_EQ(d.Cell(u"A1:A6").WrapText(), Variant(false));
}

TEST_F(WrapTextClear, NoUnwrapsAndChangesNoText) {
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerNo);
  d.Run(ModeId::kWrapTextClear, u"A1:A6");
  EXPECT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.b.app->ActiveCell()->Address(), u"$A$3") << "asked at the first text cell with a break";
  EXPECT_EQ(d.Value(u"A3"), Variant(u"one\r\ntwo\nthree"));
  EXPECT_EQ(d.Value(u"A6"), Variant(u"x\ny"));
  EXPECT_EQ(d.Cell(u"A1:A6").WrapText(), Variant(false));
}

TEST_F(WrapTextClear, WithoutBreaksItUnwrapsAndFitsTheRowsAndAsksNothing) {
  d.Cell(u"C1").SetValue(u"=\"two\nlines\"");  // a formula's breaks are not asked about
  d.Cell(u"C1").SetRowHeight(80);
  d.Run(ModeId::kWrapTextClear, u"B1:C2");
  EXPECT_TRUE(d.Messages().empty());
  EXPECT_EQ(d.Cell(u"C1").RowHeight(), Variant(30.0));
  EXPECT_EQ(d.Cell(u"B1:C2").WrapText(), Variant(false));
  EXPECT_EQ(d.Cell(u"A1").WrapText(), Variant(true));
}

TEST(WrapTextFirmReveal, CellsOfMoreThan1000CharactersAreMarked) {
  Desk d;
  const Text thousand(1000, u'x');
  d.Column(u"A1", {thousand, thousand + u"y", u"=\"" + thousand + u"z\"", 5.0});
  d.Column(u"B1", {thousand + u"b"});
  d.Sheet().Range(u"A1:A4,B1").Select();
  d.Run(ModeId::kWrapTextFirmReveal);
  const struct {
    const char16_t* cell;
    long pattern;
  } expected[] = {{u"A1", xl::xlNone}, {u"A2", xl::xlPatternGray16}, {u"A3", xl::xlPatternGray16},
                  {u"A4", xl::xlNone}, {u"B1", xl::xlPatternGray16}, {u"B2", xl::xlNone}};
  for (const auto& e : expected) {
    EXPECT_EQ(d.Cell(e.cell).Interior().Pattern(), Variant(e.pattern)) << ToUtf8(e.cell);
  }
  EXPECT_TRUE(d.Messages().empty());
}

TEST(WrapTextFirmReveal, TheBreakKeyMarksNothing) {
  Desk d;
  for (long r = 1; r <= 30; ++r) d.Sheet().Cells(r, 1).SetValue(Text(1001, u'x'));
  d.b.addin.QueueBreakAnswer(u"NoBreak");
  d.b.addin.QueueBreakAnswer(u"6");
  d.Run(ModeId::kWrapTextFirmReveal, u"A1:A30");
  EXPECT_EQ(d.Cell(u"A1:A30").Interior().Pattern(), Variant(xl::xlNone));
}

}  // namespace
}  // namespace quillary::actions
