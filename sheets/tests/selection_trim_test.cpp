#include "sheets/selection_trim.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "sheets/messages.h"
#include "testkit/bench.h"

namespace quillary::sheets {

namespace {

// A bench with helpers to fill cells, select and trim.
struct Trim {
  // Writes a text into each cell.
  void Fill(std::initializer_list<const char16_t*> cells) {
    for (const char16_t* c : cells) b.Cell(c).SetValue(u"x");
  }
  void Select(const char16_t* reference) { b.Cell(reference).Select(); }
  Text Selected() { return b.app->ActiveWindow()->RangeSelection().Address(); }
  int Trimmed(TextView mode) {
    b.BeginRequest(mode);
    return static_cast<int>(WholeColRow(b.state));
  }
  int Trimmed(host::ModeId mode) { return Trimmed(host::ModeText(mode)); }
  Text Reply() { return b.Control(host::ctl::mail::kResponse).Caption(); }
  void SkipMenu(bool on) { b.Control(host::ctl::mail::kSkipMenu).SetEnabled(on); }
  bool Bold(const char16_t* cell) { return b.Cell(cell).Font().Bold().AsBool(); }

  testkit::Bench b;
};

class WholeColRowTest : public ::testing::Test, public Trim {};

TEST_F(WholeColRowTest, EntireColumnsAndRowsAreCutToTheirContent) {
  const struct {
    std::initializer_list<const char16_t*> filled;
    const char16_t* selection;
    const char16_t* trimmed;
  } cases[] = {
      // A column whose content ends above the used range's last row (set by another column).
      {{u"B5", u"B20", u"B40", u"C100"}, u"B:B", u"$B$5:$B$40"},
      // The empty last column of the selection is dropped.
      {{u"A2", u"A10", u"B1", u"B5"}, u"A:C", u"$A$1:$B$10"},
      // Content from the first cell on.
      {{u"A1", u"A2", u"A3"}, u"A:A", u"$A$1:$A$3"},
      // Entire rows, scanned row by row (wider than tall).
      {{u"C4", u"F5", u"Z9"}, u"3:6", u"$C$4:$F$5"},
      // Entire rows taller than the content is wide: scanned column by column.
      {{u"B2", u"C90", u"B50"}, u"1:100", u"$B$2:$C$90"},
      // Content left of the selected columns does not count.
      {{u"A1", u"A10", u"D7"}, u"C:D", u"$D$7"},
      // Rows far below the reach of a 16-bit counter, scanned row by row.
      {{u"D40005", u"E40007", u"Z1"}, u"40000:40010", u"$D$40005:$E$40007"},
      {{u"B70000", u"C70001"}, u"B:C", u"$B$70000:$C$70001"},
  };
  for (const auto& c : cases) {
    Trim t;
    t.Fill(c.filled);
    t.Select(c.selection);
    EXPECT_EQ(t.Trimmed(u"Paste_V"), 0) << ToUtf8(c.selection);
    EXPECT_EQ(t.Selected(), c.trimmed) << ToUtf8(c.selection);
    EXPECT_EQ(t.Reply(), u"0");
    EXPECT_TRUE(t.b.addin.Messages().empty());
  }
}

TEST_F(WholeColRowTest, AnOrdinaryRangeStaysAsItIs) {
  Fill({u"B2", u"C3", u"Z50"});
  Select(u"B2:D9");
  EXPECT_EQ(Trimmed(u"Paste_V"), 0);
  EXPECT_EQ(Selected(), u"$B$2:$D$9");
}

TEST_F(WholeColRowTest, TheWorkingSheetIsMadeWhenMissing) {
  Fill({u"A1"});
  Select(u"A:A");
  ASSERT_EQ(host::FindHiddenWorkSht(*b.book), nullptr);
  EXPECT_EQ(Trimmed(u"Paste_V"), 0);
  EXPECT_NE(host::FindHiddenWorkSht(*b.book), nullptr);
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Sheet1");
}

TEST_F(WholeColRowTest, AnEmptyAreaAbortsWithAMessageOrQuietlyWhenUnattended) {
  const struct {
    const char16_t* selection;
    bool skipMenu;
  } cases[] = {
      {u"E:E", false},
      {u"E:E", true},
      // Rows below the used range.
      {u"30:40", false},
      // The first area is empty: the second is not examined.
      {u"E:E,A:A", false},
      // The second area is empty.
      {u"A:A,E:E", false},
      {u"A:A,E:E", true},
  };
  for (const auto& c : cases) {
    Trim t;
    t.Fill({u"A1", u"A20"});
    t.SkipMenu(c.skipMenu);
    t.Select(c.selection);
    const Text before = t.Selected();
    if (!c.skipMenu) t.b.addin.QueueMessageAnswer(1);
    EXPECT_EQ(t.Trimmed(u"COMPARE_2/Uniques"), 1) << ToUtf8(c.selection);
    EXPECT_EQ(t.Reply(), u"1");
    EXPECT_EQ(t.Selected(), before);
    const auto messages = t.b.addin.Messages();
    if (c.skipMenu) {
      EXPECT_TRUE(messages.empty());
      continue;
    }
    ASSERT_EQ(messages.size(), 1u) << ToUtf8(c.selection);
    EXPECT_EQ(messages[0].prompt,
              u"( COMPARE 2/Uniques ): " + host::Paragraphs({msg::kEmptyAreaMsg, msg::kEmptyAreaMsg2}));
    EXPECT_EQ(messages[0].style, 64);
  }
}

TEST_F(WholeColRowTest, ClearActiveWindowAndThreeAreasOutsideTheRowActionsTouchNothing) {
  const struct {
    const char16_t* mode;
    const char16_t* selection;
  } cases[] = {
      {u"Clear Active Window", u"E:E"},
      {u"COMPARE 2/Uniques", u"A:A,C:C,E:E"},
  };
  for (const auto& c : cases) {
    Fill({u"A1", u"C2"});
    Select(c.selection);
    const Text before = Selected();
    EXPECT_EQ(Trimmed(c.mode), 0);
    EXPECT_EQ(Reply(), u"0");
    EXPECT_EQ(Selected(), before);
  }
  EXPECT_TRUE(b.addin.Messages().empty());
}

TEST_F(WholeColRowTest, TwoAreasAreSelectedTogetherThroughTemporaryNames) {
  Fill({u"A1", u"A3", u"C2", u"C5"});
  Select(u"A:A,C:C");
  const long names = b.book->Names().Count();
  EXPECT_EQ(Trimmed(u"COMPARE 2/Uniques"), 0);
  EXPECT_EQ(Selected(), u"$A$1:$A$3,$C$2:$C$5");
  EXPECT_EQ(b.book->Names().Count(), names);
  EXPECT_THROW(b.book->Names().Item(kTempNameA), Error);
  EXPECT_THROW(b.book->Names().Item(kTempNameB), Error);
}

TEST_F(WholeColRowTest, TheRowActionsUseTheFirstAndLastArea) {
  Fill({u"A1", u"A3", u"E2"});
  Select(u"A:A,C1,E2");
  EXPECT_EQ(Trimmed(host::ModeId::kExpandRowToMany), 0);
  EXPECT_EQ(Selected(), u"$A$1:$A$3,$E$2");
}

TEST_F(WholeColRowTest, TheRowActionsTurnASecondAreaInsideTheListIntoTheBoldMarker) {
  Fill({u"A1", u"A5"});
  b.Cell(u"A1").Font().SetBold(true);
  b.Cell(u"A3").Font().SetBold(true);
  Select(u"A:A,A2");
  EXPECT_EQ(Trimmed(host::ModeId::kReduceRowsToOne), 0);
  EXPECT_EQ(Selected(), u"$A$1:$A$5");
  EXPECT_TRUE(Bold(u"A2"));
  EXPECT_FALSE(Bold(u"A1"));
  EXPECT_FALSE(Bold(u"A3"));
}

TEST_F(WholeColRowTest, AMergedMarkerCellAbortsUnlessUnattended) {
  for (const bool skipMenu : {false, true}) {
    Trim t;
    auto& bench = t.b;
    t.Fill({u"C1", u"D6"});
    bench.Cell(u"C3:D3").Merge();
    bench.Cell(u"C1").Font().SetBold(true);
    t.SkipMenu(skipMenu);
    t.Select(u"C1:D6,C3");
    if (!skipMenu) bench.addin.QueueMessageAnswer(1);
    const int result = t.Trimmed(host::ModeId::kReduceRowsToOne);
    if (!skipMenu) {
      EXPECT_EQ(result, 1);
      EXPECT_FALSE(t.Bold(u"C3"));
      const auto messages = bench.addin.Messages();
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].prompt,
                u"( REDUCE Rows to One ): " +
                    host::Paragraphs({msg::kMergedMarkerMsg, msg::kMergedMarkerMsg2, msg::kMergedMarkerMsg3}));
      EXPECT_EQ(messages[0].style, 64);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(t.Selected(), u"$C$1:$D$6");
      EXPECT_TRUE(t.Bold(u"C3"));
      EXPECT_FALSE(t.Bold(u"C1"));
      EXPECT_TRUE(bench.addin.Messages().empty());
    }
  }
}

// A merged cell that pushes the trimmed selection outwards:
// tests/scenarios/sheets/merged_cells_widen_the_selection.qs.

TEST_F(WholeColRowTest, TheWindowScrollsToTheSelectionExceptInSubtractAndNull) {
  const struct {
    const char16_t* mode;
    bool scrolls;
  } cases[] = {{u"Paste_V", true}, {u"COMPARE 2/Uniques", true}, {u"SubtractButton", false}, {u"Null", false}};
  for (const auto& c : cases) {
    Select(u"B2");
    // Scrolling selects the selection again, which this failure makes observable.
    b.app->InjectFailure("Range.Select", 1004, "scrolled");
    b.BeginRequest(c.mode);
    if (c.scrolls) {
      SCOPED_TRACE(ToUtf8(c.mode));
      check::ExpectRaises([&] { (void)WholeColRow(b.state); }, 1004, "WholeColRow: ");
      EXPECT_EQ(Reply(), u"1");
    } else {
      EXPECT_EQ(WholeColRow(b.state), host::Proceed::kGoOn) << ToUtf8(c.mode);
    }
    b.app->ClearFailures();
  }
}

}  // namespace
}  // namespace quillary::sheets
