#include "items/sort_count.h"

#include <gtest/gtest.h>

#include <string>

#include "items/gather.h"
#include "items/tests/count_fixture.h"
#include "platform/excel/memory/memory.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::items {
namespace {

using Texts = std::vector<Text>;

class SortCountTest : public CountFixture {};

TEST_F(SortCountTest, RunsAreJoinedIntoRanges) {
  const struct {
    Texts items;
    int rangeStyle;
    Texts side;
    const char16_t* count;
  } cases[] = {
      {{u"R1", u"R2", u"R3", u"R5"}, 1, {u"R1-3", u"R5"}, u"4"},
      {{u"R1", u"R2", u"R3", u"R5"}, 2, {u"R1-R3", u"R5"}, u"4"},
      {{u"R1-3", u"R4-6"}, 1, {u"R1-6"}, u"6"},
      {{u"R1-R3", u"R4-R6"}, 2, {u"R1-R6"}, u"6"},
      {{u"R1-R3", u"R4"}, 2, {u"R1-R4"}, u"4"},
      {{u"R1-3", u"R4"}, 1, {u"R1-4"}, u"4"},
      {{u"R5", u"R1-R2", u"R3"}, 2, {u"R1-R3", u"R5"}, u"4"},
      // Groups come in the order the distinct values were met; rows within by number.
      {{u"R5", u"R1", u"Door", u"R2"}, 1, {u"R1-2", u"R5", u"Door"}, u"4"},
      {{u"3", u"1", u"2", u"9"}, 1, {u"1-3", u"9"}, u"4"},
      // Groups are case-sensitive.
      {{u"r1", u"R2"}, 1, {u"r1", u"R2"}, u"2"},
      {{u"R1"}, 1, {u"R1"}, u"1"},
  };
  for (const auto& c : cases) {
    Begin(false);
    Indexed(c.items);
    b.state.items.RangeStyle = c.rangeStyle;
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(Column(kSideItem), c.side) << ToUtf8(c.items.front());
    EXPECT_EQ(b.state.items.ItemCountText, c.count) << ToUtf8(c.items.front());
    EXPECT_EQ(b.state.request.FaultMsg, u"");
  }
}

// Groups far longer than the rows the walk reads at a time, met in shuffled order: the
// runs join across the reads, and every single row followed by another in its group is
// marked.
TEST_F(SortCountTest, LongGroupsJoinAcrossTheRowsReadAtATime) {
  Begin(false);
  Texts items;
  for (long i = 0; i < 6000; ++i) {
    const long n = (i * 7919) % 6000 + 1;  // 1 to 6000, each once
    if (n != 4500) items.push_back(Text(u"R").append(FromUtf8(std::to_string(n))));
    if (i % 600 == 1) items.push_back(Text(u"C").append(FromUtf8(std::to_string(i / 600 + 1))));
  }
  items.push_back(u"C20-C25");
  Indexed(items);
  b.state.items.RangeStyle = 1;
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Column(kSideItem), (Texts{u"R1-4499", u"R4501-6000", u"C1-10", u"C20-C25"}));
  EXPECT_EQ(b.state.items.ItemCountText, u"6015");
  long marked = 0;
  for (long r = 1; r <= static_cast<long>(items.size()); ++r) marked += Cell(r, kIndexNum2).Value().IsEmpty() ? 0 : 1;
  EXPECT_EQ(marked, static_cast<long>(items.size()) - 1) << "all but the last single row of a group";
}

// More SideItems than one block of them holds: a full block is written, a row joins
// onto the SideItem written last before it, and the next block holds only its own.
TEST_F(SortCountTest, SideItemsOverSeveralBlocks) {
  Begin(false);
  Texts items, side;
  for (long k = 1; k <= 5000; ++k) {
    items.push_back(u"R" + Num(2 * k - 1));
    side.push_back(u"R" + Num(2 * k - 1));
  }
  // R8192 and R8193 join R8191, the 4096th SideItem, which went onto the sheet with its
  // full block; the next block starts at R8195.
  items.push_back(u"R8192");
  side[4095] = u"R8191-8193";
  side.erase(side.begin() + 4096);
  Indexed(items);
  b.state.items.RangeStyle = 1;
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Column(kSideItem), side);
  EXPECT_EQ(b.state.items.ItemCountText, u"5001");
}

TEST_F(SortCountTest, SingleRowsKeepTheirMarkOutsideCompare) {
  Begin(false);
  Indexed({u"R1", u"R3"});
  Count();
  EXPECT_EQ(CellText(Cell(1, kIndexNum2)), u"1") << "a single row followed by another reads as 1-1";
  EXPECT_TRUE(Cell(2, kIndexNum2).Value().IsEmpty());

  Begin(false, u"COMPARE 2/Uniques");
  b.state.compare.CompareStep = host::CompareStage::kLeftUniques;
  Indexed({u"R1", u"R3"});
  Count();
  EXPECT_TRUE(Cell(1, kIndexNum2).Value().IsEmpty()) << "COMPARE clears the mark again";
  EXPECT_EQ(Column(kSideItem), (Texts{u"R1", u"R3"}));
}

TEST_F(SortCountTest, ExpandRangesWritesEveryNumber) {
  const struct {
    Texts items;
    Texts side;
    const char16_t* count;
  } cases[] = {
      {{u"R2-R4"}, {u"R2", u"R3", u"R4"}, u"3"},
      {{u"R7", u"R2-4"}, {u"R2", u"R3", u"R4", u"R7"}, u"4"},
      {{u"R1", u"R3-R5", u"X"}, {u"R1", u"R3", u"R4", u"R5", u"X"}, u"5"},
      // Index numbers beyond single precision print as plain digits.
      {{u"R99999999999998-R100000000000000"}, {u"R99999999999998", u"R99999999999999", u"R100000000000000"}, u"3"},
      {{u"R16777215-R16777217"}, {u"R16777215", u"R16777216", u"R16777217"}, u"3"},
  };
  for (const auto& c : cases) {
    Begin(false);
    Main(u"checkbox2").SetValue(true);
    Indexed(c.items);
    b.state.items.RangeStyle = 2;
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(Column(kSideItem), c.side) << ToUtf8(c.items.front());
    EXPECT_EQ(b.state.items.ItemCountText, c.count) << ToUtf8(c.items.front());
  }
}

TEST_F(SortCountTest, WideRangesCountInSixtyFourBits) {
  Begin(false);
  Indexed({u"R1-R99999999999999"});
  Count();
  EXPECT_EQ(b.state.items.ItemCountText, u"99999999999999");
  EXPECT_EQ(Column(kSideItem), (Texts{u"R1-R99999999999999"}));
}

TEST_F(SortCountTest, ACountPastSixtyFourBitsStaysAtTheLargest) {
  // Only rows written directly hold such numbers: a gathering refuses them.
  Begin(false);
  Indexed({u"A1-A8000000000000000000", u"B1-B8000000000000000000"});
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(b.state.items.ItemCountText, u"9223372036854775807");
}

TEST_F(SortCountTest, DuplicatesAndPrefixFaultsStopTheWalk) {
  const struct {
    Texts items;
    const char16_t* faultMsg;
    const char16_t* faultItem;
    const char16_t* display;
  } cases[] = {
      {{u"R1-R5", u"R3"}, u" Duplicate", u"R3", u" Quilet> R1-R5, R3 <Quilet"},
      {{u"R3", u"R1-R5"}, u" Duplicate", u"R3", u" Quilet> R1-R5, R3 <Quilet"},
      {{u"R2", u"R2-R4"}, u" Duplicate", u"R2", u" Quilet> R2, R2 <Quilet"},
      {{u"R4", u"R2-R4"}, u" Duplicate", u"R4", u" Quilet> R2-R4, R4 <Quilet"},
      {{u"ABC", u"ABC"}, u" Duplicate", u"ABC", u" Quilet> ABC, ABC <Quilet"},
      {{u"7", u"7"}, u" Duplicate", u" 7", u" Quilet> 7, 7 <Quilet"},
      {{u"R1", u"R"}, u"Prefix with and without Index#", u"R", u" Quilet> R1, R <Quilet"},
      // The walk stops at the fault: the later group is not listed.
      {{u"R1", u"R1", u"X1"}, u" Duplicate", u"R1", u" Quilet> R1, R1 <Quilet"},
  };
  for (const auto& c : cases) {
    Begin(false);
    Main(u"CheckBox9").SetValue(true);
    Indexed(c.items);
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(b.state.request.FaultMsg, c.faultMsg) << ToUtf8(c.items.front());
    EXPECT_EQ(b.state.request.FaultItem, c.faultItem) << ToUtf8(c.items.front());
    EXPECT_EQ(b.state.request.DisplayText, c.display) << ToUtf8(c.items.front());
  }
  // The later group was never reached.
  EXPECT_EQ(Column(kSideItem), (Texts{u"R1"}));
}

TEST_F(SortCountTest, LongItemsAreFoundByTheirStartAndConfirmedWhole) {
  const Text one = Text(300, u'x') + u"a";
  const Text two = Text(300, u'x') + u"b";
  Begin(false);
  Indexed({u"a" + two, u"a" + one, u"a" + two});
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(b.state.request.FaultMsg, u" Duplicate");
  EXPECT_EQ(b.state.request.FaultItem, u"a" + two);
  EXPECT_EQ(Column(kSideItem), (Texts{u"a" + two}));
}

TEST_F(SortCountTest, LongPrefixesSharingTheirFirst254Characters) {
  // Equal in their first 290 characters; they differ after them, or only in case.
  // CheckBox5 sets the case of the search by the first characters only: the whole
  // prefix is confirmed case-sensitively either way.
  const Text p(290, u'p');
  const Text a = p + u"a", b2 = p + u"b", upper = p + u"A";
  const Text upperStart = Text(u"P").append(a.substr(1));
  for (bool matchCase : {false, true}) {
    SCOPED_TRACE(matchCase);
    Begin(false);
    Main(u"CheckBox5").SetValue(matchCase);
    Indexed({b2 + u"4", a + u"2", upperStart + u"1", a + u"1", upper + u"3", b2 + u"5", a + u"9"});
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(b.state.request.FaultMsg, u"");
    EXPECT_EQ(Column(kSideItem), (Texts{b2 + u"4-5", a + u"1-2", a + u"9", upperStart + u"1", upper + u"3"}));
    EXPECT_EQ(b.state.items.ItemCountText, u"7");
  }
}

TEST_F(SortCountTest, PendingFaultSkipsTheCount) {
  for (const bool ignoreIndex : {false, true}) {
    Begin(ignoreIndex);
    Indexed({u"R3", u"R1"});
    WriteText(Cell(1, kSideItem), u"old");
    b.state.request.FaultMsg = u"Has More Than 1 Hyphen";
    b.state.request.FaultItem = u"R1-2-3";
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(CellText(Cell(1, kItemText)), u"R");
    EXPECT_EQ(Cell(1, kIndexNum1).Value(), Variant(3.0)) << "not sorted";
    EXPECT_EQ(Column(kSideItem), (Texts{u"old"}));
    EXPECT_EQ(b.state.request.DisplayText, ignoreIndex ? u"R1-2-3" : u" Quilet> R1-2-3 <Quilet");
    EXPECT_EQ(b.state.request.FaultMsg, u"Has More Than 1 Hyphen");
  }
}

TEST_F(SortCountTest, EmptyList) {
  Begin(false);
  b.state.request.ActiveWndw->SetValue(u"old");
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(b.state.request.DisplayText, u"");
  EXPECT_EQ(Window(), u"");
  EXPECT_EQ(b.state.items.ItemCountText, u"0");
}

TEST_F(SortCountTest, IgnoreIndexSortCollectsTheDuplicates) {
  Begin(true);
  Main(u"CheckBox3").SetValue(true);
  Plain({u"b", u"A", u"a", u"c"});
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Column(kItemText), (Texts{u"A", u"a", u"b", u"c"}));
  EXPECT_EQ(Column(kSideOrderNum), (Texts{u"2", u"3"}));
  EXPECT_EQ(Column(kSideCellAddr), (Texts{u"$A$2", u"$A$3"}));
  EXPECT_EQ(Column(kSideItem), (Texts{u"A", u"a"}));
  EXPECT_EQ(b.state.request.FaultMsg, u" Duplicate");
  EXPECT_EQ(b.state.items.ItemCountText, u"4");
  EXPECT_EQ(b.state.request.DisplayText, u"A,a,b,c") << "no markers in IgnoreIndex#";
  EXPECT_EQ(Window(), u"A,a,b,c");
}

TEST_F(SortCountTest, DupsListKeepsTheTypeOfEachCopiedCell) {
  Begin(true);
  Main(u"CheckBox3").SetValue(true);
  Plain({u"x", u"7", u"y", u"x", u"x"});
  Cell(2, kItemText).SetValue(7.0);
  WriteText(Cell(6, kItemText), u"7");
  Cell(6, kOrderNum).SetValue(6.0);
  WriteText(Cell(1, kSideItem), u"stale");
  WriteText(Cell(9, kSideItem), u"stale beyond a gap");
  Count();
  // Numbers sort before texts: 7, '7, x, x, x, y.
  EXPECT_EQ(Column(kSideItem), (Texts{u"7", u"7", u"x", u"x", u"x"}));
  EXPECT_TRUE(Cell(1, kSideItem).Value().IsNumber());
  EXPECT_TRUE(Cell(2, kSideItem).Value().IsText());
  EXPECT_EQ(Column(kSideOrderNum), (Texts{u"2", u"6", u"1", u"4", u"5"}));
}

TEST_F(SortCountTest, IgnoreIndexWithoutSortShowsTheListOrTheSideList) {
  const struct {
    const char16_t* mode;
    bool sortOption;
    bool otherListFilled;
    const char16_t* shown;
    const char16_t* count;
  } cases[] = {
      {u"Null", false, false, u"b,A,a", u"3"},
      {u"Null", false, true, u"s1,s2", u"2"},
      {u"COMPARE 2/Uniques", true, false, u"b,A,a", u"3"},
      {u"COMPARE 2/Uniques", true, true, u"s1,s2", u"2"},
  };
  for (const auto& c : cases) {
    Begin(true, c.mode);
    b.state.compare.CompareStep = host::CompareStage::kLeftUniques;
    Main(u"CheckBox3").SetValue(c.sortOption);
    Plain({u"b", u"A", u"a"});
    WriteText(Cell(1, kSideItem), u"s1");
    WriteText(Cell(2, kSideItem), u"s2");
    if (c.otherListFilled) WriteText(ListAnchor(b.state, host::kList2).Offset(1, kItemText), u"other");
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(b.state.request.DisplayText, c.shown) << ToUtf8(c.mode) << c.otherListFilled;
    EXPECT_EQ(b.state.items.ItemCountText, c.count);
    EXPECT_EQ(Column(kItemText), (Texts{u"b", u"A", u"a"})) << "not sorted";
    EXPECT_EQ(b.state.request.FaultMsg, u"");
  }
}

TEST_F(SortCountTest, SortFailureIsPassedOver) {
  Begin(false);
  Indexed({u"R2", u"R1"});
  b.app->InjectFailure("Range.Sort", 1004, "Sort method of Range class failed");
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Column(kSideItem), (Texts{u"R2", u"R1"})) << "the walk runs on the unsorted rows";
}

// The Item limit of ExpandRanges, on a sheet of 65,536 rows.
class ExpandLimitTest : public CountFixture {
 protected:
  void BeginSmall() {
    xl::Workbook& small = b.app->AddWorkbook(xl::memory::GridSize::Small);
    small.Activate();
    Begin(false, u"Get_Try");
    Main(u"checkbox2").SetValue(true);
    b.state.request.ActiveWndw->SetValue(u"old");
  }
  // The message's words: tests/scenarios/items/limits.qs.
  static bool IsLimitMessage(const Text& prompt) {
    return prompt.starts_with(u"( Get Try ): The maximum Item count of 65533 has been exceeded.\r\r");
  }
};

TEST_F(ExpandLimitTest, ExpansionStopsAtTheLastRowsOfTheSheet) {
  const struct {
    Texts items;
    const char16_t* faultItem;
  } cases[] = {
      {{u"R1-R70000"}, u"R65534"},
      // Single Items written after an expansion count towards the limit too.
      {{u"R1-R65530", u"X1", u"X3", u"X5", u"X7", u"X9", u"X11"}, u"X7"},
  };
  for (const auto& c : cases) {
    BeginSmall();
    ASSERT_EQ(WorkSheet(b.state).RowsCount(), 65536);
    Indexed(c.items);
    b.addin.ClearLog();
    b.addin.QueueMessageAnswer(1);
    EXPECT_EQ(Run(), CountResult::kExpandLimitStop);
    ASSERT_EQ(b.addin.Messages().size(), 1u);
    EXPECT_TRUE(IsLimitMessage(b.addin.Messages()[0].prompt)) << ToUtf8(b.addin.Messages()[0].prompt);
    EXPECT_EQ(b.addin.Messages()[0].style, 64);
    EXPECT_EQ(b.state.request.FaultMsg, u"Too Many Items - ExpandRanges is ON");
    EXPECT_EQ(b.state.request.FaultItem, c.faultItem);
    EXPECT_EQ(ColumnCount(*anchor, kSideItem), 65534);
    EXPECT_EQ(Window(), u"old") << "no display";
  }
}

TEST_F(ExpandLimitTest, ExactlyBelowTheLimitRunsThrough) {
  BeginSmall();
  Indexed({u"R1-R65533"});
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(b.state.items.ItemCountText, u"65533");
  EXPECT_EQ(b.state.request.FaultMsg, u"");
}

TEST_F(SortCountTest, ProgressCaptionsAndThresholds) {
  const struct {
    int rows;
    Texts items;
    const char16_t* mode;
    bool sortCountShown;
    bool expandShown;
  } cases[] = {
      {99, {}, u"Null", false, false},         {100, {}, u"Null", true, false},
      {100, {}, u"Paste_V", false, false},     {0, {u"R1-R100"}, u"Null", false, false},
      {0, {u"R1-R101"}, u"Null", false, true}, {0, {u"R1-R101"}, u"Subtract Display >", false, false},
  };
  for (const auto& c : cases) {
    Begin(false, c.mode);
    Main(u"checkbox2").SetValue(!c.items.empty());
    Texts items = c.items;
    // Distinct plain Items: "Ia", "Ib", ... (no digits, so no runs).
    for (int i = 0; i < c.rows; ++i) {
      items.push_back(Text(u"I") + static_cast<char16_t>(u'a' + i / 26) + static_cast<char16_t>(u'a' + i % 26));
    }
    Indexed(items);
    captions.clear();
    polls = 0;
    b.app->SetStatusBar(false);
    WatchProgress();
    EXPECT_EQ(Run(), CountResult::kDone);
    Record();
    EXPECT_EQ(captions.count(u" Sort-Count-Dups Progress: "), c.sortCountShown ? 1u : 0u) << c.rows;
    EXPECT_EQ(captions.count(u" ExpandRange Progress: "), c.expandShown ? 1u : 0u) << c.rows;
    if (Text(c.mode) != u"Null") {
      EXPECT_GT(polls, 0) << "the quiet modes still poll the break key";
    }
  }
}

TEST_F(SortCountTest, BreakKeyLeavesWithoutDisplay) {
  for (const bool ignoreIndex : {false, true}) {
    Begin(ignoreIndex);
    Main(u"CheckBox3").SetValue(true);
    Texts items;
    for (int i = 0; i < 150; ++i) {
      items.push_back(Text(u"I") + static_cast<char16_t>(u'a' + i / 26) + static_cast<char16_t>(u'a' + i % 26));
    }
    if (ignoreIndex) {
      Plain(items);
    } else {
      Indexed(items);
    }
    b.state.request.ActiveWndw->SetValue(u"old");
    b.state.items.ItemCountText = u"old count";
    b.addin.QueueBreakAnswer(u"6");
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_TRUE(b.state.request.progress.UserAbort);
    EXPECT_EQ(Window(), u"old");
    EXPECT_EQ(b.state.request.DisplayText, u"");
    EXPECT_EQ(b.state.items.ItemCountText, u"old count");
  }
}

TEST_F(SortCountTest, ErrorsCarryTheRoutineName) {
  Begin(false);
  Indexed({u"R1", u"R2"});
  b.app->InjectFailure("Range.Find", 1004, "boom");
  check::ExpectRaises([&] { Count(); }, 1004, "ItemsSortCntDsply: ");
}

TEST_F(SortCountTest, GatheredCellsEndToEnd) {
  const struct {
    bool ignoreIndex;
    const char16_t* cell;
    const char16_t* shown;
    const char16_t* count;
  } cases[] = {
      {false, u"R4-R6, Door, R1-R3", u"R1-R6, Door", u"7"},
      {false, u"R2, R1, R7, R3", u"R1-3, R7", u"4"},
      {true, u"b, A, a, c", u"A,a,b,c", u"4"},
  };
  for (const auto& c : cases) {
    Begin(c.ignoreIndex);
    Main(u"CheckBox3").SetValue(true);
    Main(u"CheckBox9").SetValue(true);
    b.Cell(u"B2").SetValue(c.cell);
    b.state.items.RangeStyle = 0;  // single Items leave the range style as it was
    ASSERT_EQ(ItemsGather(b.state, OptionsOf(b.state), host::kList1, b.Cell(u"B2")), fault::kNone) << ToUtf8(c.cell);
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(b.state.request.DisplayText, c.shown);
    EXPECT_EQ(b.state.items.ItemCountText, c.count);
  }
}

}  // namespace
}  // namespace quillary::items
