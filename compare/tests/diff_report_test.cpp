#include <gtest/gtest.h>

#include "compare/internal/common.h"
#include "compare/tagging.h"
#include "compare/tests/desk.h"

namespace quillary::compare {
namespace {

constexpr char16_t kCompare[] = u"COMPARE 2/Uniques";

// The two tagging calls of a comparison with the report option on: the left side with
// Textbox1 active, then the right side with Textbox2 active.
struct Comparison {
  void Begin(TextView areas) {
    d.Select(areas);
    d.Begin(false, kCompare);
    d.Tick(u"SummaryYes");
  }
  void Left() {
    host::TextBox1Activate(d.b.state);
    CmprMark_Find(d.b.state, host::kList2);
  }
  void Right() {
    host::TextBox2Activate(d.b.state);
    CmprMark_Find(d.b.state, host::kList1);
  }
  Text ReportName() { return d.b.forms.mailBox.Item(u"shtDiffRpt").Caption(); }
  xl::Worksheet& Report() { return d.b.Sheet(ReportName()); }
  Variant R(TextView address) { return Report().Range(address).Value(); }
  long RFill(TextView address) { return static_cast<long>(vba::CDbl(Report().Range(address).Interior().Color())); }
  long RPattern(TextView address) { return static_cast<long>(vba::CDbl(Report().Range(address).Interior().Pattern())); }

  Desk d;
};

class DiffReportTest : public ::testing::Test, public Comparison {};

TEST_F(DiffReportTest, StackedAreasGiveOneRowPerWorksheetRowUnderTheHeaders) {
  // Left A1:C3, right A5:B7: both start in column A, so no reference column; the tag
  // column is 3 + 1 for both blocks.
  for (const char16_t* c : {u"A1", u"B1", u"C1", u"A2", u"A3", u"C3", u"A6", u"B6"}) d.Put(c, Text(c));
  Begin(u"A1:C3,A5:B7");
  d.Tick(u"ListUniques");
  d.Tick(u"ColorLeftEnable");
  d.Tick(u"ColorRightEnable");
  d.ItemRows(host::kList2, {{u"$C$1", u"z", 1}, {u"$A$3", u"x", 3}, {u"$A$1", u"x", 1}});
  d.ItemRows(host::kList1, {{u"$B$6", u"q", 6}});
  Left();
  ASSERT_EQ(ReportName(), u"Sheet1-DiffRpt1");
  EXPECT_EQ(d.b.book->ActiveSheet().Name(), u"Sheet1") << "the source sheet stays active";
  Right();

  const struct {
    const char16_t* cell;
    Variant value;
  } cells[] = {
      {u"A1", Variant()},
      {u"A2", Variant(u"Compared1")},
      {u"B2", Variant(u"Compared2")},
      {u"C2", Variant(u"Compared3")},
      {u"D2", Variant(u"Tag")},
      {u"A3", Variant(u"A1")},
      {u"B3", Variant(u"B1")},
      {u"C3", Variant(u"C1")},
      {u"D3", Variant(u"z1,x1")},
      {u"A4", Variant(u"A3")},
      {u"B4", Variant(u"")},
      {u"C4", Variant(u"C3")},
      {u"D4", Variant(u"x3")},
      {u"A5", Variant(u"A6")},
      {u"B5", Variant(u"B6")},
      {u"C5", Variant()},
      {u"D5", Variant(u"q6")},
      {u"A6", Variant()},
  };
  // Every copied cell is written as text, an empty one as the empty text.
  for (const auto& c : cells) EXPECT_EQ(R(c.cell), c.value) << ToUtf8(c.cell);
  EXPECT_EQ(Report().Range(u"A2:D2").Borders(xl::xlEdgeBottom).Weight(), Variant(xl::xlThick));
  EXPECT_EQ(Report().Range(u"A2:D2").Borders(xl::xlEdgeBottom).LineStyle(), Variant(xl::xlContinuous));
  EXPECT_EQ(RFill(u"A3"), kLeftColour);
  EXPECT_EQ(RFill(u"D4"), kLeftColour);
  EXPECT_EQ(RFill(u"A5"), kRightColour);
  EXPECT_EQ(RFill(u"D5"), kRightColour);
  EXPECT_EQ(RPattern(u"E3"), xl::xlNone);
  EXPECT_EQ(Report().Range(u"A1:D5").NumberFormat(), Variant(u"General"));
}

TEST_F(DiffReportTest, AreasRightOfColumnAGetAReferenceColumnUnlessTheyAreOneColumnApart) {
  const struct {
    const char16_t* areas;
    const char16_t* right;  // the right area's first cell
    bool refColumn;
  } cases[] = {
      {u"C1:C2,F1:F2", u"$F$1", true},
      {u"C1:C2,E1:E2", u"$E$1", false},  // one column apart: a warning, no reference column
      {u"C1:C2,D5:D6", u"$D$5", true},   // touching without a common row
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.areas));
    Comparison t;
    t.d.Put(u"B1", u"ref");
    t.d.Put(u"C1", u"left");
    t.Begin(c.areas);
    t.d.Tick(u"LocatorLabel");
    t.d.ItemRows(host::kList2, {{u"$C$1", u"left", 1}});
    t.d.ItemRows(host::kList1, {{c.right, u"right", 1}});
    if (!c.refColumn) t.d.Ok();
    t.Left();
    t.Right();
    if (c.refColumn) {
      EXPECT_EQ(t.R(u"A2"), Variant(u"RefOnly1"));
      EXPECT_EQ(t.R(u"B2"), Variant(u"Compared2"));
      EXPECT_EQ(t.R(u"C2"), Variant(u"Tag"));
      EXPECT_EQ(t.R(u"A3"), Variant(u"ref"));
      EXPECT_EQ(t.R(u"B3"), Variant(u"left"));
      EXPECT_EQ(t.R(u"C3"), Variant(u"inLftOnly(a)"));
    } else {
      EXPECT_EQ(t.R(u"A2"), Variant(u"Compared1"));
      EXPECT_EQ(t.R(u"B2"), Variant(u"Tag"));
      EXPECT_EQ(t.R(u"A3"), Variant(u"left"));
      ASSERT_EQ(t.d.Messages().size(), 1u);
      EXPECT_EQ(t.d.Messages()[0].prompt,
                u"( COMPARE 2/Uniques ): Because any Result Tags placed for the left selection would abut against the "
                u"selection at the right, to avoid confusion, the optional Summary Report will not include the extra "
                u"column to the left of each selected area.");
    }
  }
}

TEST_F(DiffReportTest, MergedTopLeftColumnsAreHeadedAsSuchAndAppendedHeadersJoinALineFeed) {
  d.Cell(u"A1:C1").Merge();
  Begin(u"A1:D2,A4:D5");
  d.ItemRows(host::kList2, {{u"$D$2", u"l", 1}});
  d.ItemRows(host::kList1, {{u"$A$4", u"r", 1}});
  Left();
  Right();
  EXPECT_EQ(R(u"A2"), Variant(u"Compared1"));
  EXPECT_EQ(R(u"B2"), Variant(u"Comprd(MergedTopLft)2\nCompared2"));
  EXPECT_EQ(R(u"C2"), Variant(u"Comprd(MergedTopLft)3\nCompared3"));
  EXPECT_EQ(R(u"D2"), Variant(u"Compared4"));
  EXPECT_EQ(R(u"E2"), Variant()) << "no tags, no Tag header";
}

TEST_F(DiffReportTest, ErrorValuesAreCopiedAsTheirText) {
  d.Put(u"A1", Variant(CellError::NA));
  d.Put(u"B1", 12.5);
  Begin(u"A1:B1,D1:E1");
  d.ItemRows(host::kList2, {{u"$B$1", u"x", 1}});
  Left();
  EXPECT_EQ(R(u"A3"), Variant(u"#N/A"));
  EXPECT_EQ(R(u"B3"), Variant(u"12.5")) << "copied as text";
}

TEST_F(DiffReportTest, TagsNotPlacedAreNeitherCopiedNorColoured) {
  d.Put(u"A1", u"a");
  d.Put(u"B1", u"old");
  Begin(u"A1:A2,D1:D2");
  d.Tick(u"LocatorLabel");
  d.Tick(u"ColorLeftEnable");
  d.ItemRows(host::kList2, {{u"$A$1", u"a", 1}});
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerNo);
  Left();
  EXPECT_EQ(R(u"A2"), Variant(u"Compared1"));
  EXPECT_EQ(R(u"B2"), Variant());
  EXPECT_EQ(R(u"A3"), Variant(u"a"));
  EXPECT_EQ(R(u"B3"), Variant());
  EXPECT_EQ(RFill(u"A3"), kLeftColour);
  EXPECT_EQ(RPattern(u"B3"), xl::xlNone);
}

TEST_F(DiffReportTest, ALeftColourOfNoColourLeavesTheBlockUnfilled) {
  Begin(u"A1:A2,D1:D2");
  d.Dialog(u"ColorLeftSelect").SetBackColor(kNoColour);
  d.ItemRows(host::kList2, {{u"$A$1", u"a", 1}});
  Left();
  EXPECT_EQ(RPattern(u"A3"), xl::xlNone);
}

TEST_F(DiffReportTest, TheReportStopsAtTheSheetsLastRow) {
  xl::Workbook& small = d.b.app->AddWorkbook(xl::memory::GridSize::Small);
  small.Activate();
  d.b.book = &small;
  d.Put(u"D1", u"b");
  Begin(u"A1:A2,D1:D2");
  d.ItemRows(host::kList2, {{u"$A$1", u"a", 1}});
  d.ItemRows(host::kList1, {{u"$D$1", u"b", 1}, {u"$D$2", u"c", 1}});
  Left();
  // A first block that reached the row before the last.
  Report().Range(u"A65535").SetValue(u"filler");
  d.Ok();
  Right();
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt,
            u"( COMPARE 2/Uniques ): Halted Report Worksheet creation. Reached the 65536 Row limit.");
  EXPECT_EQ(R(u"A65536"), Variant(u"b")) << "the last row is written, no row after it";
  EXPECT_EQ(RFill(u"A65536"), kRightColour);
}

}  // namespace
}  // namespace quillary::compare
