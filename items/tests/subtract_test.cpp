#include "items/subtract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/working_sheet.h"
#include "items/gather.h"
#include "items/list_sheet.h"
#include "items/tests/options_of.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

using Texts = std::vector<Text>;

// One Item row written directly: +0 to +5 (Empty leaves a cell empty; texts are
// written as texts, numbers as numbers).
using RowCells = std::vector<Variant>;

class SubtractTest : public ::testing::Test {
 protected:
  struct Options {
    bool ignoreIndex = false;
    Text mode = u"SubtractButton";
    bool matchCase = true;   // CheckBox5
    bool sortOption = true;  // CheckBox3
    int compareStep = 0;
  };

  void Begin(const Options& o) {
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(o.ignoreIndex);
    b.Control(host::ctl::main::kMatchCase).SetValue(o.matchCase);
    b.Control(host::ctl::main::kSort).SetValue(o.sortOption);
    b.BeginRequest(o.mode);
    b.state.compare.CompareStep = static_cast<host::CompareStage>(o.compareStep);
    host::InitPlace(b.state, host::kList1);
    host::InitPlace(b.state, host::kList2);
  }

  // Gathers the texts, one per cell of a column of Sheet1, into the list.
  void Gather(const Text& list, const Texts& cells, long col) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      WriteText(b.Cell(u"A1").Offset(static_cast<long>(i), col), cells[i]);
    }
    const xl::Range area = b.Sheet(u"Sheet1").Range(b.Cell(u"A1").Offset(0, col),
                                                    b.Cell(u"A1").Offset(static_cast<long>(cells.size()) - 1, col));
    ASSERT_EQ(ItemsGather(b.state, OptionsOf(b.state), list, area), fault::kNone) << ToUtf8(b.state.request.FaultMsg);
  }
  // List B first, then list A (whose gathering sets RangeStyle), as a Get does.
  void GatherBoth(const Texts& a, const Texts& listB) {
    Gather(host::kList2, listB, 2);
    Gather(host::kList1, a, 0);
  }

  void WriteRows(const Text& list, const std::vector<RowCells>& rows) {
    const xl::Range anchor = ListAnchor(b.state, list);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        const Variant& v = rows[r][c];
        const xl::Range cell = anchor.Offset(static_cast<long>(r) + 1, static_cast<long>(c));
        if (v.IsText()) {
          WriteText(cell, v.AsText());
        } else if (!v.IsEmpty()) {
          cell.SetValue(v);
        }
      }
    }
  }

  int Subtract() { return static_cast<int>(ItemsSubtract(b.state, OptionsOf(b.state), host::kList1, host::kList2)); }

  xl::Range Anchor(const Text& list = host::kList1) { return ListAnchor(b.state, list); }

  // The Items of a list's rows as they read: the text, or in CountIndex# mode the
  // prefix, the numbers and the second prefix ("R1-R5", "R1-5", "7"), sorted.
  Texts ListItems(const Text& list = host::kList1) {
    const xl::Range anchor = Anchor(list);
    Texts items;
    for (long r = 1; r <= static_cast<long>(ColumnCount(anchor, kItemText)); ++r) {
      Text item = vba::Trim(CellText(anchor.Offset(r, kItemText))) + CellText(anchor.Offset(r, kIndexNum1));
      const Text second = CellText(anchor.Offset(r, kIndexNum2));
      if (!second.empty()) item += Text(u"-").append(vba::Trim(CellText(anchor.Offset(r, kPrefix2)))).append(second);
      items.push_back(item);
    }
    std::sort(items.begin(), items.end());
    return items;
  }

  // The SurvivorList's SideItems in their order.
  Texts SurvivorItems() {
    Texts items;
    for (long r = 1; r <= static_cast<long>(ColumnCount(Anchor(), kSideItem)); ++r) {
      items.push_back(CellText(Anchor().Offset(r, kSideItem)));
    }
    return items;
  }

  static Texts Sorted(Texts t) {
    std::sort(t.begin(), t.end());
    return t;
  }

  testkit::Bench b;
};

std::string Show(const Texts& texts) {
  std::string out;
  for (const Text& t : texts) out += ToUtf8(t) + "|";
  return out;
}

// CountIndex# mode: index ranges cut numerically, plain Items matched exactly. The
// list is rebuilt from what is left; its count before is the count text.
TEST_F(SubtractTest, CountIndexItems) {
  const struct {
    const char* name;
    Texts a;
    Texts listB;
    Texts left;
  } cases[] = {
      {"whole removal", {u"R1-R3", u"R5", u"Door", u"Q5"}, {u"R1-R7", u"Door"}, {u"Q5"}},
      {"adjoining ranges of B cover together", {u"R1-R10", u"S1"}, {u"R1-R4", u"R5-R10"}, {u"S1"}},
      {"a cut in the middle leaves two pieces", {u"R1-R10"}, {u"R3-R4"}, {u"R1-R2", u"R5-R10"}},
      {"the same with a bare second number", {u"R1-10"}, {u"R3-4"}, {u"R1-2", u"R5-10"}},
      {"R4-R6", {u"R1-R10"}, {u"R4-R6"}, {u"R1-R3", u"R7-R10"}},
      {"the second number", {u"R1-R10"}, {u"R2"}, {u"R1", u"R3-R10"}},
      {"the last but one", {u"R1-R10"}, {u"R9"}, {u"R1-R8", u"R10"}},
      {"all but the last", {u"R1-R10"}, {u"R1-R9"}, {u"R10"}},
      {"all but the first", {u"R1-R10"}, {u"R2-R10"}, {u"R1"}},
      {"two rows of B in turn", {u"R3-R8"}, {u"R1-R5", u"R7"}, {u"R6", u"R8"}},
      {"three cuts", {u"R1-R20"}, {u"R3", u"R6-R8", u"R15-R25"}, {u"R1-R2", u"R4-R5", u"R9-R14"}},
      {"a single inside a range of B", {u"R5", u"R6"}, {u"R3-R5"}, {u"R6"}},
      {"another prefix is untouched", {u"R5", u"S2"}, {u"Q5", u"S1"}, {u"R5", u"S2"}},
      {"bare numbers", {u"1-10", u"12"}, {u"3", u"12"}, {u"1-2", u"4-10"}},
      {"overlapping Items of A are each cut", {u"R1-R10", u"R3", u"S1"}, {u"R1-R5", u"R6-R10"}, {u"S1"}},
      {"prefixes match with case", {u"r5", u"R5", u"R6"}, {u"R1-R5"}, {u"R6", u"r5"}},
      {"plain Items match with case", {u"abc", u"ABC", u"Door"}, {u"abc"}, {u"ABC", u"Door"}},
      {"a plain name is not an index range", {u"R", u"Q1"}, {u"R5", u"Q"}, {u"Q1", u"R"}},
      {"wildcards are characters", {u"a*b", u"axb", u"a?c1"}, {u"a*b", u"abc1-5"}, {u"a?c1", u"axb"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Begin({});
    GatherBoth(c.a, c.listB);
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(b.state.items.ItemCountText, vba::NumberText(static_cast<double>(c.a.size())));
    EXPECT_EQ(Show(ListItems()), Show(Sorted(c.left)));
    EXPECT_EQ(Show(Sorted(SurvivorItems())), Show(Sorted(c.left)));
    host::InitPlace(b.state, host::kList2);
    b.Sheet(u"Sheet1").Range(u"A1:C100").ClearContents();
  }
}

// The survivors keep list A's own range style whatever style the list gathered last
// was written in (COMPARE 2 gathers the subtracted list last in its third step): the
// pieces of "R1-10" are "R1-3" and "R7-10", beside the untouched "R12-15", and the list
// rebuilt from them gathers without a fault.
TEST_F(SubtractTest, PiecesKeepTheStyleOfTheirItem) {
  const struct {
    Texts a;
    Texts listB;
    Texts left;
  } cases[] = {
      {{u"R1-10, R12-15"}, {u"R4-R6"}, {u"R1-3", u"R12-15", u"R7-10"}},
      {{u"R1-R10, R12-R15"}, {u"R4-6"}, {u"R1-R3", u"R12-R15", u"R7-R10"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.a[0]));
    Begin({.mode = u"COMPARE 2/Uniques", .compareStep = 6});
    Gather(host::kList1, c.a, 0);
    Gather(host::kList2, c.listB, 2);
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(b.state.request.FaultMsg, u"");
    EXPECT_EQ(Show(ListItems()), Show(Sorted(c.left)));
    b.Sheet(u"Sheet1").Range(u"A1:C100").ClearContents();
  }
}

TEST_F(SubtractTest, NothingSurvives) {
  Begin({});
  GatherBoth({u"R1-R3", u"Door"}, {u"R0-R11", u"Door"});
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(ColumnCount(Anchor(), kItemText), 0);
  EXPECT_TRUE(SurvivorItems().empty());
  EXPECT_EQ(b.state.items.ItemCountText, u"2");
}

TEST_F(SubtractTest, CaseMattersInCountIndexModeWhateverCheckBox5Says) {
  // Without CheckBox5 the lists would be sorted one way and searched another: a
  // lower-case prefix would lose numbers to an upper-case one, and case variants of
  // plain Items would be missed.
  Begin({.matchCase = false});
  GatherBoth({u"r5", u"R7", u"abc", u"Abc", u"ABC", u"B2"}, {u"ABC", u"R1-R10", u"abc", u"b1-b5"});
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(Show(ListItems()), Show(Sorted({u"r5", u"Abc", u"B2"})));
}

TEST_F(SubtractTest, SinglesOfListBBecomeRangesExceptInCompareTwo) {
  const struct {
    const char16_t* mode;
    Variant single;  // +4 of list B's R5 row afterwards
  } cases[] = {{u"SubtractButton", Variant(u"5")}, {u"COMPARE 2/Uniques", Variant()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.mode));
    Begin({.mode = c.mode, .compareStep = 4});
    GatherBoth({u"R1-R10"}, {u"R5", u"R7-R8"});
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(Show(ListItems()), Show(Sorted({u"R1-R4", u"R6", u"R9-R10"})));
    for (long r = 1; r <= 3; ++r) {
      EXPECT_EQ(Anchor().Offset(r, kCellAddr).Value(), Variant(u"$A$1")) << "every piece keeps the Item's cell";
    }
    const xl::Range listB = Anchor(host::kList2);
    EXPECT_EQ(listB.Offset(1, kIndexNum1).Value(), Variant(5));
    EXPECT_EQ(listB.Offset(1, kIndexNum2).Value(), c.single);
    EXPECT_EQ(listB.Offset(2, kIndexNum2).Value(), Variant(u"8"));
  }
}

TEST_F(SubtractTest, EmptyListB) {
  // Nothing to subtract: list A stays and is sorted and counted as gathered; in
  // COMPARE 2/Uniques (past its first step) the Items all survive as they are.
  const struct {
    const char16_t* mode;
    int step;
    Texts survivors;
  } cases[] = {
      {u"SubtractButton", 0, {}},
      {u"COMPARE 2/Uniques", 3, {}},
      {u"COMPARE 2/Uniques", 4, {u"R1-R3", u"R5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.mode) + std::to_string(c.step));
    Begin({.mode = c.mode, .compareStep = c.step});
    Gather(host::kList1, {u"R5", u"R1-R3"}, 0);
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(Show(SurvivorItems()), Show(c.survivors));
    EXPECT_EQ(Show(ListItems()), Show(Sorted({u"R1-R3", u"R5"})));
    EXPECT_EQ(b.state.items.ItemCountText, c.survivors.empty() ? u"0" : u"2");
  }
}

TEST_F(SubtractTest, PendingFaultDoesNothing) {
  Begin({});
  GatherBoth({u"R1-R3"}, {u"R1-R3"});
  b.state.request.FaultMsg = u" Duplicate";
  b.state.items.ItemCountText = u"99";
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(Show(ListItems()), Show({u"R1-R3"}));
  EXPECT_EQ(b.state.items.ItemCountText, u"0");
}

// IgnoreIndex# mode: whole texts without regard to case.
TEST_F(SubtractTest, PlainItemsIgnoringIndexNumbers) {
  const struct {
    const char* name;
    Text mode;
    bool sortOption;
    int compareStep;
    bool rebuilt;
    Texts listA;  // list A's rows afterwards, in order
  } cases[] = {
      // With the Sort option list A itself is rebuilt, in its sorted order, so that the
      // sort and count that follows shows what is left, sorted.
      {"sort option", u"SubtractButton", true, 0, true, {u"pear", u"plum", u"R5"}},
      // Without it the survivors, in the order of collection, are the result; list A
      // keeps its (sorted) rows.
      {"no sort option", u"SubtractButton", false, 0, false, {u"apple", u"APPLE", u"fig", u"pear", u"plum", u"R5"}},
      {"no sort option, step 6", u"SubtractButton", false, 6, true, {u"plum", u"pear", u"R5"}},
      {"sort option, COMPARE 2", u"COMPARE 2/Uniques", true, 4, true, {u"pear", u"plum", u"R5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Begin({.ignoreIndex = true, .mode = c.mode, .sortOption = c.sortOption, .compareStep = c.compareStep});
    GatherBoth({u"plum", u"apple", u"pear", u"fig", u"APPLE", u"R5"}, {u"FIG", u"Apple", u"R1-R9"});
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(b.state.items.ItemCountText, u"6");
    Texts rows;
    for (long r = 1; r <= static_cast<long>(ColumnCount(Anchor(), kItemText)); ++r) {
      rows.push_back(CellText(Anchor().Offset(r, kItemText)));
      if (c.rebuilt) {
        EXPECT_EQ(Anchor().Offset(r, kOrderNum).Value(), Variant(r)) << r;
      }
    }
    EXPECT_EQ(Show(rows), Show(c.listA));
    EXPECT_EQ(Show(SurvivorItems()),
              Show(c.sortOption ? Texts{u"pear", u"plum", u"R5"} : Texts{u"plum", u"pear", u"R5"}));
  }
}

TEST_F(SubtractTest, NothingRemovedLeavesPlainListAsItWas) {
  const struct {
    const char16_t* mode;
    int result;
  } cases[] = {{u"SubtractButton", 1}, {u"Paste_V", 0}, {u"Subtract Display V", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.mode));
    Begin({.ignoreIndex = true, .mode = c.mode});
    GatherBoth({u"b", u"a", u"c"}, {u"d"});
    EXPECT_EQ(Subtract(), c.result);
    EXPECT_EQ(b.state.items.ItemCountText, u"3");
    EXPECT_EQ(Show(ListItems()), Show({u"a", u"b", u"c"}));
  }
}

TEST_F(SubtractTest, NumbersOfAnySizeAsPlainItems) {
  // Cells holding numbers (not texts), some far below -1; a number never equals a text.
  Begin({.ignoreIndex = true, .sortOption = false});
  WriteRows(host::kList1, {{1, u"$A$1", -5},
                           {2, u"$A$2", -2.5},
                           {3, u"$A$3", 3},
                           {4, u"$A$4", u"x"},
                           {5, u"$A$5", -1e12},
                           {6, u"$A$6", -2.5}});
  WriteRows(host::kList2,
            {{1, u"$C$1", -1e12}, {2, u"$C$2", u"-2.5"}, {3, u"$C$3", 3}, {4, u"$C$4", -1000}, {5, u"$C$5", -5}});
  EXPECT_EQ(Subtract(), 0);
  std::vector<Variant> survivors;
  for (long r = 1; r <= 4; ++r) survivors.push_back(Anchor().Offset(r, kSideItem).Value());
  EXPECT_EQ(survivors, (std::vector<Variant>{-2.5, u"x", -2.5, Variant()}));
  EXPECT_EQ(Anchor().Offset(1, kSideCellAddr).Value(), Variant(u"$A$2"));
  EXPECT_EQ(Anchor().Offset(3, kSideOrderNum).Value(), Variant(6));
}

TEST_F(SubtractTest, LongPlainItems) {
  const Text x300(300, u'x');
  const Text x300upper(300, u'X');
  // Equal but for where the hyphen stands: ordered by the whole texts, the one with
  // the later hyphen comes first, although its first 254 characters sort last.
  const Text early = Text(u"a-").append(Text(300, u'b'));
  const Text late = Text(u"a").append(Text(300, u'b')).append(u"-");
  const Text wild = Text(u"*?~").append(Text(300, u'y'));
  const struct {
    const char* name;
    Texts a;
    Texts listB;
    Texts left;
  } cases[] = {
      {"differing only in character 280",
       {x300 + u"1", x300.substr(0, 279) + u"z" + x300.substr(280) + u"1"},
       {x300upper + u"1"},
       {x300.substr(0, 279) + u"z" + x300.substr(280) + u"1"}},
      {"hyphens in long texts", {early, u"k"}, {early, late}, {u"k"}},
      {"hyphens, the other one", {late, u"k"}, {early, late}, {u"k"}},
      {"wildcards", {wild, u"x" + wild, u"xyz"}, {wild, u"x*"}, {u"x" + wild, u"xyz"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Begin({.ignoreIndex = true});
    GatherBoth(c.a, c.listB);
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(Show(ListItems()), Show(Sorted(c.left)));
    b.Sheet(u"Sheet1").Range(u"A1:C100").ClearContents();
  }
}

TEST_F(SubtractTest, LongPrefixes) {
  const Text p(300, u'p');
  const Text q = p.substr(0, 279) + u"q" + p.substr(280);
  Begin({});
  GatherBoth({p + u"5", p + u"7", q + u"5"}, {p + u"1-" + p + u"6"});
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(Show(ListItems()), Show(Sorted({p + u"7", q + u"5"})));
}

TEST_F(SubtractTest, LongPrefixesSharingTheirFirst254Characters) {
  // Equal in their first 290 characters; they differ after them, or only in case. Each
  // survivor carries the sheet row of its prefix's distinct entry, which the search
  // must tell apart whatever CheckBox5 says.
  const Text p(290, u'p');
  const Text a = p + u"a", b2 = p + u"b", upper = p + u"A";
  const Text upperStart = Text(u"P").append(a.substr(1));
  for (bool matchCase : {false, true}) {
    SCOPED_TRACE(matchCase);
    Begin({.matchCase = matchCase});
    GatherBoth({a + u"1-" + a + u"9", b2 + u"5", upper + u"5", upperStart + u"5", a + u"12", b2 + u"7"},
               {a + u"2-" + a + u"8", b2 + u"7", upper + u"1"});
    EXPECT_EQ(Subtract(), 0);
    EXPECT_EQ(Show(ListItems()),
              Show(Sorted({a + u"1", a + u"9", a + u"12", b2 + u"5", upper + u"5", upperStart + u"5"})));
    std::vector<std::pair<double, Text>> survivors;
    for (long r = 1; r <= 6; ++r) {
      survivors.emplace_back(Anchor().Offset(r, kSideOrderNum).Value().AsNumber(),
                             CellText(Anchor().Offset(r, kSideItem)));
    }
    EXPECT_EQ(
        survivors,
        (std::vector<std::pair<double, Text>>{
            {2, a + u"1"}, {2, a + u"12"}, {2, a + u"9"}, {3, b2 + u"5"}, {4, upper + u"5"}, {5, upperStart + u"5"}}));
    b.Sheet(u"Sheet1").Range(u"A1:C100").ClearContents();
  }
}

TEST_F(SubtractTest, PrefixWhoseEscapedTextPassesTheSearchLimit) {
  // 200 characters, 300 once its wildcards are escaped for a search. (A gathering
  // refuses such a name, so the rows are written directly.)
  Text z;
  for (int i = 0; i < 100; ++i) z += u"a*";
  Begin({});
  WriteRows(host::kList1, {{z, u"$A$1", z, 5}, {Variant(), u"$A$2", z, 20}, {Variant(), u"$A$3", z, 1, u"3"}});
  WriteRows(host::kList2, {{z, u"$C$1", z, 1, u"9"}, {Variant(), u"$C$2", z + u"*", 20}});
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(b.state.items.ItemCountText, u"3");
  ASSERT_EQ(Show(SurvivorItems()), Show({z + u"20"}));
  EXPECT_EQ(Anchor().Offset(1, kSideOrderNum).Value(), Variant(2)) << "the distinct entry's sheet row";
  EXPECT_EQ(Anchor().Offset(1, kSideCellAddr).Value(), Variant(u"$A$2"));
}

TEST_F(SubtractTest, BreakKeyLeavesListAAsItWas) {
  Begin({});
  Texts a = {u"R1-R10"};
  for (int i = 1; i <= 100; ++i) a.push_back(Text(u"S").append(vba::NumberText(i)));
  GatherBoth(a, {u"R3-R4"});
  const Texts before = ListItems();
  // The first poll (row 1) lets it go on; the next one (row 6, where the bar moves)
  // stops it, after row 1 was cut in two.
  b.addin.QueueBreakAnswer(u"NoBreak");
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Subtract(), 1);
  EXPECT_TRUE(b.state.request.progress.UserAbort);
  EXPECT_EQ(b.state.items.ItemCountText, u"101");
  EXPECT_EQ(Show(ListItems()), Show(before));
  EXPECT_TRUE(Anchor().Offset(102, kItemText).Value().IsEmpty()) << "no split row left below list A";
  EXPECT_EQ(Show(SurvivorItems()), Show({u"R1-R2", u"R5-R10", u"S1", u"S2", u"S3", u"S4"}));
}

TEST_F(SubtractTest, BreakKeyInPasteModeStillGivesZero) {
  Begin({.ignoreIndex = true, .mode = u"Paste_V"});
  Texts a;
  for (int i = 1; i <= 101; ++i) a.push_back(Text(u"i").append(vba::NumberText(i)));
  GatherBoth(a, {u"i5"});
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Subtract(), 0);
  EXPECT_EQ(ColumnCount(Anchor(), kItemText), 101);
  EXPECT_EQ(b.state.items.ItemCountText, u"101");
}

TEST_F(SubtractTest, LeavesTheSearchOptionsAtTheirDefaults) {
  Begin({.ignoreIndex = true, .sortOption = false});
  GatherBoth({u"a", u"b"}, {u"a"});
  Anchor().Find(
      {.What = u"zz", .LookIn = xl::xlFormulas, .LookAt = xl::xlWhole, .SearchOrder = xl::xlByRows, .MatchCase = true});
  EXPECT_EQ(Subtract(), 0);
  const xl::FindSettings& remembered = b.app->RememberedFind();
  EXPECT_EQ(remembered.LookIn, xl::xlValues);
  EXPECT_EQ(remembered.LookAt, xl::xlPart);
  EXPECT_EQ(remembered.SearchOrder, xl::xlByColumns);
  EXPECT_FALSE(remembered.MatchCase);
}

TEST_F(SubtractTest, ErrorsNameTheRoutine) {
  Begin({});
  GatherBoth({u"R1-R10"}, {u"R3"});
  b.app->InjectFailure("Range.Value", 1004, "Application-defined or object-defined error", 0, -1);
  check::ExpectRaises([&] { Subtract(); }, 1004, "ItemsSubtract: ");
}

}  // namespace
}  // namespace quillary::items
