#include "items/gather.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/list_sheet.h"
#include "items/tests/options_of.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

const Text kComma(1, kCommaMark);
const Text kJoin(1, kJoinMark);

class GatherTest : public ::testing::Test {
 protected:
  // Starts a request in the Item mode (CheckBox1 ticked: IgnoreIndex#).
  void Begin(bool ignoreIndex, TextView mode = u"Null") {
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(ignoreIndex);
    b.BeginRequest(mode);
  }
  xl::Worksheet& Sheet() { return b.book->ActiveSheet(); }
  void Put(TextView ref, const Variant& v) { b.Cell(ref).SetValue(v); }
  ItemFaultCode Gather(TextView ref, TextView list = host::kList1) {
    return ItemsGather(b.state, OptionsOf(b.state), Text(list), Sheet().Range(ref));
  }
  xl::Range Anchor(TextView list = host::kList1) { return ListAnchor(b.state, list); }
  // Column `col` of the Item rows (as many rows as +2 has).
  std::vector<Text> Rows(long col, TextView list = host::kList1) {
    std::vector<Text> out;
    const std::int64_t n = ColumnCount(Anchor(list), kItemText);
    for (long r = 1; r <= n; ++r) out.push_back(CellText(Anchor(list).Offset(r, col)));
    return out;
  }
  // The +0 column down to its first empty cell.
  std::vector<Text> Leading(TextView list = host::kList1) {
    std::vector<Text> out;
    for (long r = 1; !Anchor(list).Offset(r, 0).Value().IsEmpty(); ++r)
      out.push_back(CellText(Anchor(list).Offset(r, 0)));
    return out;
  }
  void TickJoinCells() {
    b.Control(host::ctl::compdup::kJoinCells).SetValue(true);
    b.Control(host::ctl::main::kTagDuplicates).SetValue(true);
  }

  testkit::Bench b;
};

using Texts = std::vector<Text>;

TEST_F(GatherTest, CountIndexRowsAndDistinctColumn) {
  Begin(false);
  Put(u"A1", u"R1");
  Put(u"A2", u"R2, Door");
  Put(u"A3", u"R3-R5");
  Put(u"A4", u"R007");
  EXPECT_EQ(Gather(u"A1:A4"), fault::kNone);
  EXPECT_EQ(Rows(kCellAddr), (Texts{u"$A$1", u"$A$2", u"$A$2", u"$A$3", u"$A$4"}));
  EXPECT_EQ(Rows(kItemText), (Texts{u"R", u"R", u"Door", u"R", u"R00"}));
  EXPECT_EQ(Rows(kIndexNum1), (Texts{u"1", u"2", u"", u"3", u"7"}));
  EXPECT_EQ(Rows(kIndexNum2), (Texts{u"", u"", u"", u"5", u""}));
  EXPECT_EQ(Rows(kPrefix2), (Texts{u"", u"", u"", u"R", u""}));
  EXPECT_EQ(Leading(), (Texts{u"R", u"Door", u"R00"}));
  EXPECT_EQ(b.state.items.RangeStyle, 2);
}

// More Items and names than one block of rows holds, each name met twice: every name
// keeps the row where it was first met, and the Item rows follow the cells.
TEST_F(GatherTest, ManyDistinctNamesOverSeveralBlocks) {
  Begin(false);
  constexpr long kNames = 5000;
  const auto name = [](long i) { return Text(u"N").append(FromUtf8(std::to_string(i))).append(u"x"); };
  for (long r = 1; r <= kNames; ++r)
    Put(Text(u"A").append(FromUtf8(std::to_string(r))), name(r) + u"," + name(kNames + 1 - r));
  EXPECT_EQ(Gather(Text(u"A1:A").append(FromUtf8(std::to_string(kNames)))), fault::kNone);
  const Texts leading = Leading();
  ASSERT_EQ(leading.size(), static_cast<std::size_t>(kNames));
  for (const long row : {1L, 2L, 4096L, 4097L, kNames}) {
    EXPECT_EQ(leading[static_cast<std::size_t>(row - 1)], name(row % 2 == 1 ? (row + 1) / 2 : kNames + 1 - row / 2))
        << row;
  }
  const Texts items = Rows(kItemText);
  ASSERT_EQ(items.size(), static_cast<std::size_t>(2 * kNames));
  EXPECT_EQ(items[8191], name(kNames + 1 - 4096));
  EXPECT_EQ(Rows(kCellAddr)[8192], u"$A$4097");
}

TEST_F(GatherTest, DistinctColumnKeepsCaseWhateverMatchCaseSays) {
  for (bool matchCase : {false, true}) {
    SCOPED_TRACE(matchCase);
    b.Control(host::ctl::main::kMatchCase).SetValue(matchCase);
    Begin(false);
    Put(u"A1", u"r1, R2, r3, Door, door, DOOR, Door");
    EXPECT_EQ(Gather(u"A1"), fault::kNone);
    EXPECT_EQ(Leading(), (Texts{u"r", u"R", u"Door", u"door", u"DOOR"})) << "the repeated last entry is cleared";
  }
}

TEST_F(GatherTest, IgnoreIndexOrderNumbers) {
  for (int n : {0, 1, 2, 3, 5}) {
    SCOPED_TRACE(n);
    Begin(true);
    Sheet().Range(u"A1:A5").ClearContents();
    for (int i = 1; i <= n; ++i) Put(Text(u"A").append(FromUtf8(std::to_string(i))), u"R1-R2-R3");
    EXPECT_EQ(Gather(u"A1:A5"), fault::kNone);
    Texts expected;
    for (int i = 1; i <= std::max(n, 1); ++i) expected.push_back(FromUtf8(std::to_string(i)));
    EXPECT_EQ(Leading(), expected);
    EXPECT_EQ(Rows(kItemText), Texts(static_cast<std::size_t>(n), u"R1-R2-R3")) << "no grammar";
    EXPECT_EQ(Rows(kIndexNum1), Texts(static_cast<std::size_t>(n), u""));
  }
}

TEST_F(GatherTest, CellTextCleaningAndPieces) {
  const struct {
    Variant value;
    Texts items;
  } cases[] = {
      {Variant(u"a,,b"), {u"a", u"b"}},
      {Variant(u"a\nb"), {u"a", u"b"}},
      {Variant(u"a\r\nb ,  c"), {u"a", u"b", u"c"}},
      {Variant(u",a,"), {u"a"}},
      {Variant(u"can't"), {u"can\u00B4t"}},
      {Variant(u"x\u00A0y"), {u"x y"}},
      {Variant(u"  spaced  "), {u"spaced"}},
      {Variant(u"\u00A0a"), {u"a"}},
      {Variant(7.5), {u"7.5"}},
      {Variant(true), {u"True"}},
      {Variant(), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Describe(c.value));
    Begin(true);
    Put(u"A1", c.value);
    EXPECT_EQ(Gather(u"A1"), fault::kNone);
    EXPECT_EQ(Rows(kItemText), c.items);
  }
  EXPECT_TRUE(b.addin.Messages().empty()) << "IgnoreIndex# reports no empty Item";
}

TEST_F(GatherTest, AreasAndTheirOrder) {
  for (TextView ref : {u"A1", u"B1", u"C1", u"A2", u"B2", u"C2", u"A5", u"A6"}) Put(ref, Text(ref).substr(0, 2));
  const struct {
    const char16_t* mode;
    int compareStep;
    const char16_t* selection;
    Texts items;
  } cases[] = {
      {u"Null", 0, u"A1:B2", {u"A1", u"B1", u"A2", u"B2"}},
      {u"Null", 0, u"C1:C2,A1:A2", {u"C1", u"C2", u"A1", u"A2"}},
      {u"COMPARE 2/Uniques", 0, u"C1:C2,A1:A2", {u"A1", u"A2"}},
      {u"COMPARE 2/Uniques", 3, u"C1:C2,A1:A2", {u"C1", u"C2"}},
      {u"COMPARE 2/Uniques", 0, u"A5:A6,A1:A2", {u"A1", u"A2"}},
      {u"COMPARE 2/Uniques", 3, u"A1:A2,A5:A6", {u"A5", u"A6"}},
      {u"COMPARE 2/Uniques", 3, u"A1,B1,C1", {u"A1", u"B1", u"C1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.selection));
    Begin(true, c.mode);
    b.state.compare.CompareStep = static_cast<host::CompareStage>(c.compareStep);
    EXPECT_EQ(Gather(c.selection), fault::kNone);
    EXPECT_EQ(Rows(kItemText), c.items);
    EXPECT_EQ(Rows(kCellAddr).size(), c.items.size());
  }
}

TEST_F(GatherTest, MergedAndHiddenCells) {
  Put(u"A1", u"m");
  Sheet().Range(u"A1:B1").Merge();
  Put(u"B2", u"n");
  Put(u"A3", u"h");
  Sheet().Range(u"A3").EntireRow().SetHidden(true);
  Sheet().Range(u"C1").EntireColumn().SetHidden(true);
  Put(u"C2", u"c");
  Begin(true);
  EXPECT_EQ(Gather(u"A1:B2"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), (Texts{u"m", u"n"})) << "a merged area reads as its top-left cell";
  EXPECT_FALSE(b.state.request.HiddenCellsSkipped);
  const struct {
    const char16_t* selection;
    Texts items;
  } hidden[] = {{u"A1:B3", {u"m", u"n", u"h"}}, {u"B2:C2", {u"n", u"c"}}};
  for (const auto& c : hidden) {
    SCOPED_TRACE(ToUtf8(c.selection));
    Begin(true);
    EXPECT_EQ(Gather(c.selection), fault::kNone);
    EXPECT_EQ(Rows(kItemText), c.items) << "hidden cells are gathered";
    EXPECT_TRUE(b.state.request.HiddenCellsSkipped);
  }
}

// A long column is read a block of rows at a time: the Items and their order are those
// of its cells taken one by one, and the first fault is met at its cell in a later block,
// with the Item rows before it written.
// The rows of a block are filled again for the next one: a row keeps nothing of the
// Item it held before (ranges, then single numbers, then names without a number).
TEST_F(GatherTest, ALaterBlockKeepsNothingOfAnEarlierOne) {
  constexpr long kRanges = 4096, kSingles = 50, kNames = 50;
  std::vector<Variant> values;
  for (long r = 1; r <= kRanges; ++r) {
    values.push_back(Variant(Text(u"R") + vba::IntegerText(3 * r) + u"-R" + vba::IntegerText(3 * r + 2)));
  }
  for (long r = 1; r <= kSingles; ++r) values.push_back(Variant(Text(u"C") + vba::IntegerText(r)));
  for (long r = 1; r <= kNames; ++r) values.push_back(Variant(Text(u"Door") + vba::IntegerText(r) + u"x"));
  const long rows = kRanges + kSingles + kNames;
  const Text area = Text(u"A1:A") + vba::IntegerText(rows);
  Sheet().Range(area).SetValues(values);
  Begin(false);
  EXPECT_EQ(Gather(area), fault::kNone);
  const Texts n1 = Rows(kIndexNum1), n2 = Rows(kIndexNum2), p2 = Rows(kPrefix2);
  ASSERT_EQ(n1.size(), static_cast<std::size_t>(rows));
  for (const long r : {1L, kRanges, kRanges + 1, kRanges + kSingles, kRanges + kSingles + 1, rows}) {
    const auto i = static_cast<std::size_t>(r - 1);
    const bool range = r <= kRanges, single = !range && r <= kRanges + kSingles;
    EXPECT_EQ(n1[i], range ? vba::IntegerText(3 * r) : single ? vba::IntegerText(r - kRanges) : Text()) << r;
    EXPECT_EQ(n2[i], range ? vba::IntegerText(3 * r + 2) : Text()) << r;
    EXPECT_EQ(p2[i], range ? Text(u"R") : Text()) << r;
  }
}

TEST_F(GatherTest, ALongColumnGathersAsItsCellsOneByOne) {
  const std::vector<std::pair<Variant, Texts>> kinds = {
      {Variant(u"a\r\nb ,  c"), {u"a", u"b", u"c"}},
      {Variant(u"can't"), {u"can\u00B4t"}},
      {Variant(u"x\u00A0y"), {u"x y"}},
      {Variant(7.5), {u"7.5"}},
      {Variant(true), {u"True"}},
      {Variant(), {}},
      {Variant(CellError::Div0), {}},
      {Variant(u"  spaced  "), {u"spaced"}},
  };
  constexpr long kRows = 5000;
  std::vector<Variant> values;
  Texts expected;
  for (long r = 0; r < kRows; ++r) {
    const auto& [value, items] = kinds[static_cast<std::size_t>(r) % kinds.size()];
    values.push_back(value);
    expected.insert(expected.end(), items.begin(), items.end());
  }
  Sheet().Range(u"A1:A5000").SetValues(values);
  Begin(true);
  EXPECT_EQ(Gather(u"A1:A5000"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), expected);

  values.clear();
  for (long r = 1; r <= kRows; ++r) {
    Text item(1, u'R');
    item.append(vba::IntegerText(r));
    values.push_back(Variant(std::move(item)));
  }
  values[4499] = Variant(CellError::Div0);
  Sheet().Range(u"A1:A5000").SetValues(values);
  Begin(false);
  EXPECT_EQ(Gather(u"A1:A5000"), fault::kMissingFirstPrefix);
  EXPECT_EQ(b.state.request.FaultItem, u"#Error in Cell Formula");
  const Texts addresses = Rows(kCellAddr);
  ASSERT_EQ(addresses.size(), 4500u);
  EXPECT_EQ(addresses.back(), u"$A$4500");
}

TEST_F(GatherTest, ErrorValues) {
  Put(u"A1", u"a");
  Put(u"A2", Variant(CellError::Div0));
  Put(u"A3", u"=nonsense");
  Put(u"A4", u"c");
  Put(u"D9", u"x");
  b.Cell(u"D9").Select();
  Begin(true);
  EXPECT_EQ(Gather(u"A1:A4"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), (Texts{u"a", u"c"})) << "IgnoreIndex# skips error cells";
  EXPECT_TRUE(b.state.request.FaultMsg.empty());

  Begin(false);
  EXPECT_EQ(Gather(u"A1:A4"), fault::kMissingFirstPrefix);
  EXPECT_EQ(b.state.request.FaultMsg, u"Error in Cell Formula");
  EXPECT_EQ(b.state.request.FaultItem, u"#Error in Cell Formula");
  EXPECT_EQ(Rows(kItemText), (Texts{u"a", u"#Error in Cell Formula"}));
  EXPECT_EQ(Rows(kCellAddr), (Texts{u"$A$1", u"$A$2"}));
  EXPECT_EQ(Sheet().ActiveCellPos(), (xl::CellPos{2, 1})) << "the offending cell is active";
}

TEST_F(GatherTest, GrammarFaultEndsTheGathering) {
  Put(u"A1", u"R1");
  Put(u"B1", u"Door");
  Put(u"A2", u"S1, R1-R2-R3, R9");
  Put(u"B2", u"R4");
  b.state.items.RangeStyle = 2;
  Begin(false);
  b.state.request.FaultItem.clear();
  EXPECT_EQ(Gather(u"A1:B2"), fault::kManyHyphens);
  EXPECT_EQ(b.state.request.FaultMsg, u"Has More Than 1 Hyphen");
  EXPECT_EQ(b.state.request.FaultItem, u"R1-R2-R3");
  EXPECT_EQ(Rows(kItemText), (Texts{u"R", u"Door", u"S", u"R1-R2-R3"})) << "earlier rows stay";
  EXPECT_EQ(Leading(), (Texts{u"R", u"Door", u"S"}));
  EXPECT_EQ(Sheet().ActiveCellPos(), (xl::CellPos{2, 1}));
  EXPECT_EQ(b.state.items.RangeStyle, 2) << "style 3 leaves RangeStyle as it was";
}

TEST_F(GatherTest, RangeStyleAfterAGathering) {
  const struct {
    const char16_t* items;
    int before;
    int after;
  } cases[] = {
      {u"R1-5, R7", 0, 1}, {u"R7, R1-R5", 1, 2}, {u"R7", 1, 1},
      {u"1-5", 2, 2},      {u"Door", 2, 2},      {u"R1-5, R1-R5", 0, 1},  // a fault keeps the style reached before it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.items));
    Begin(false);
    b.state.items.RangeStyle = c.before;
    Put(u"A1", c.items);
    static_cast<void>(Gather(u"A1"));
    EXPECT_EQ(b.state.items.RangeStyle, c.after);
  }
}

TEST_F(GatherTest, LongItemsAndWildcards) {
  const Text longStar = Text(150, u'x') + u"*" + Text(149, u'y');
  const Text longPlain = Text(300, u'z');
  Begin(false);
  Put(u"A1", longPlain);
  Put(u"A2", Text(300, u'Z'));
  Put(u"A3", longPlain);
  EXPECT_EQ(Gather(u"A1:A3"), fault::kNone);
  EXPECT_EQ(Leading(), (Texts{longPlain, Text(300, u'Z')})) << "confirmed whole and case-sensitively";

  Begin(false);
  Put(u"A4", longStar);
  EXPECT_EQ(Gather(u"A1:A4"), fault::kLongWildcard);
  EXPECT_EQ(b.state.request.FaultMsg, u"w/WildCard>254chrs: w/ * =301");
  EXPECT_EQ(b.state.request.FaultItem, longStar);
  EXPECT_EQ(Leading(), (Texts{longPlain, Text(300, u'Z')})) << "the faulted entry is not left behind";

  // In the escaped length: 254 characters and one "?" escape to 256.
  Begin(false);
  Put(u"A1", Text(254, u'q') + u"?");
  EXPECT_EQ(Gather(u"A1"), fault::kLongWildcard);
  EXPECT_EQ(b.state.request.FaultMsg, u"w/WildCard>254chrs: w/ ? =256");
  Begin(false);
  Put(u"A1", Text(252, u'q') + u"~");
  EXPECT_EQ(Gather(u"A1"), fault::kNone) << "254 escaped characters are searched whole";
}

TEST_F(GatherTest, LongItemsSharingTheirFirst254Characters) {
  // Equal in their first 290 characters; they differ after them, or only in case.
  const Text p(290, u'p');
  const Text a = p + u"a", b2 = p + u"b", upper = p + u"A";
  const Text upperStart = Text(u"P").append(a.substr(1));
  for (bool matchCase : {false, true}) {
    SCOPED_TRACE(matchCase);
    b.Control(host::ctl::main::kMatchCase).SetValue(matchCase);
    Begin(false);
    Put(u"A1", a + u"," + b2 + u"," + a + u"," + upper + u"," + upperStart + u"," + b2 + u"," + upper);
    EXPECT_EQ(Gather(u"A1"), fault::kNone);
    EXPECT_EQ(Leading(), (Texts{a, b2, upper, upperStart})) << "case-sensitive, the repeated last entry cleared";
    EXPECT_EQ(Rows(kItemText), (Texts{a, b2, a, upper, upperStart, b2, upper}));
  }
}

TEST_F(GatherTest, BlankItemMessageOncePerRun) {
  Put(u"A1", u"a,,b");
  Put(u"A2", u",c");
  Put(u"A3", u"d");
  b.state.request.BlankItemMsgShown = false;
  Begin(false, u"Get_Try");
  b.addin.QueueMessageAnswer(1);
  EXPECT_EQ(Gather(u"A1:A3"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), (Texts{u"a", u"b", u"c", u"d"}));
  ASSERT_EQ(b.addin.Messages().size(), 1u);
  // Its words: tests/scenarios/get_try/blank_items.qs.
  EXPECT_EQ(b.addin.Messages()[0].prompt.rfind(u"( Get Try ):  CountIndex# Mode: \r\r", 0), 0u);
  EXPECT_EQ(b.addin.Messages()[0].style, 64);
  EXPECT_EQ(Sheet().ActiveCellPos(), (xl::CellPos{1, 1})) << "the cell of the empty Item is shown";
  EXPECT_TRUE(b.state.request.BlankItemMsgShown);
  EXPECT_EQ(Gather(u"A1:A3", host::kList2), fault::kNone);
  EXPECT_EQ(b.addin.Messages().size(), 1u) << "not again in the same run";
}

TEST_F(GatherTest, ClosingFindOptions) {
  Begin(false);
  Put(u"A1", u"R1, r2");
  EXPECT_EQ(Gather(u"A1"), fault::kNone);
  const xl::FindSettings expected{.What = Text(),
                                  .LookIn = xl::xlValues,
                                  .LookAt = xl::xlPart,
                                  .SearchOrder = xl::xlByColumns,
                                  .SearchDirection = xl::xlNext,
                                  .MatchCase = false};
  EXPECT_EQ(b.app->RememberedFind(), expected);
  EXPECT_TRUE(Anchor().Value().IsEmpty());
}

TEST_F(GatherTest, JoinCellsDecisionAndRows) {
  Put(u"A1", u"a, b,c");
  Put(u"B1", u"d");
  Put(u"A3", u"e");
  Put(u"D1", u"x");
  const struct {
    const char16_t* mode;
    bool joinTicked;
    bool box4;
    const char16_t* selection;
    bool joined;
  } decisions[] = {
      {u"Null", true, true, u"A1:B3", true},       {u"Null", true, false, u"A1:B3", false},
      {u"Null", false, true, u"A1:B3", false},     {u"COMPARE 2/Uniques", true, false, u"A1:B3", true},
      {u"Null", true, true, u"A1:B3,A1:B3", true}, {u"Null", true, true, u"A1:B3,D1", false},
  };
  for (const auto& d : decisions) {
    SCOPED_TRACE(ToUtf8(d.mode) + " " + ToUtf8(d.selection));
    b.Control(host::ctl::compdup::kJoinCells).SetValue(d.joinTicked);
    b.Control(host::ctl::main::kTagDuplicates).SetValue(d.box4);
    Begin(true, d.mode);
    EXPECT_EQ(Gather(d.selection), fault::kNone);
    EXPECT_EQ(b.state.request.JoinCellsUsed, d.joined);
    if (d.joined && Text(d.selection) == u"A1:B3") {
      EXPECT_EQ(Rows(kItemText), (Texts{u"a" + kComma + u"b" + kComma + u"c" + kJoin + u"d", u"e" + kJoin}))
          << "the empty row 2 takes no row";
      EXPECT_EQ(Rows(kCellAddr), (Texts{u"$A$1", u"$A$3"}));
      EXPECT_EQ(Leading(), (Texts{u"1", u"2"}));
    }
  }
}

// What a gathering leaves that the user or a later step sees.
struct Outcome {
  ItemFaultCode code;
  std::vector<Text> items, addresses;
  std::size_t notices;
  xl::CellPos active;
  bool hidden;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Cells outside the sheet's used range are never read (a whole sheet has 17 billion),
// yet they gather as the empty cells they are: each case runs once on its sheet and once
// with the used range widened to the whole selection by two formatted corner cells, so
// that every cell is read; both runs must leave the same list, notices, active cell and
// hidden-cells flag.
TEST(GatherOutsideTheUsedRange, GathersAsIfEveryCellWereRead) {
  const struct Case {
    const char* what;
    std::vector<std::pair<const char16_t*, const char16_t*>> cells;
    const char16_t* selection;
    const char16_t* corners;  // the selection's bounding cells
    bool ignoreIndex = false, join = false;
    const char16_t* hide = nullptr;  // rows or columns hidden outside the used range
  } cases[] = {
      {"empty cells right of and below the Items", {{u"A1", u"a"}, {u"A2", u"b,c"}}, u"A1:C6", u"A1,C6"},
      {"a selection that holds nothing", {{u"A1", u"a"}, {u"B2", u"b"}}, u"D5:F9", u"D5,F9"},
      {"empty cells on every side", {{u"C3", u"R1"}, {u"D4", u"R2"}}, u"A1:F7", u"A1,F7"},
      {"IgnoreIndex#", {{u"B2", u"x, y"}, {u"C3", u"z"}}, u"A1:E5", u"A1,E5", true},
      {"two areas", {{u"A1", u"a"}, {u"A2", u"b"}}, u"A1:A4,C1:C3", u"A1,C4"},
      {"JoinCells", {{u"B2", u"a"}, {u"C2", u"b"}, {u"B3", u"c"}}, u"A1:E6", u"A1,E6", true, true},
      {"JoinCells and a hidden row", {{u"B2", u"a"}, {u"C2", u"b"}}, u"A1:E6", u"A1,E6", true, true, u"5:5"},
      {"a hidden row below the Items", {{u"A1", u"a"}}, u"A1:B9", u"A1,B9", true, false, u"7:7"},
      {"a hidden column right of the Items", {{u"A1", u"a"}}, u"A1:D3", u"A1,D3", true, false, u"C:C"},
  };
  const auto run = [](const Case& c, bool widen) {
    testkit::Bench b;
    xl::Worksheet& sheet = b.book->ActiveSheet();
    for (const auto& [ref, value] : c.cells) sheet.Range(ref).SetValue(Text(value));
    if (c.hide) sheet.Range(c.hide).SetHidden(true);
    if (widen) {
      sheet.Range(c.corners).Font().SetBold(true);
      const xl::Area used = sheet.UsedRange().AreaList().front();
      const xl::Range selection = sheet.Range(c.selection);
      for (const xl::Area& a : selection.AreaList()) EXPECT_TRUE(used.Contains(a));
    }
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(c.ignoreIndex);
    b.Control(host::ctl::compdup::kJoinCells).SetValue(c.join);
    b.Control(host::ctl::main::kTagDuplicates).SetValue(c.join);
    b.BeginRequest(u"Get_Try");
    b.state.request.BlankItemMsgShown = false;
    b.addin.QueueMessageAnswer(1);
    Outcome o{
        ItemsGather(b.state, OptionsOf(b.state), Text(host::kList1), sheet.Range(c.selection)), {}, {}, 0, {}, false};
    const xl::Range anchor = ListAnchor(b.state, host::kList1);
    for (long r = 1; r <= ColumnCount(anchor, kItemText); ++r) {
      o.items.push_back(CellText(anchor.Offset(r, kItemText)));
      o.addresses.push_back(CellText(anchor.Offset(r, kCellAddr)));
    }
    o.notices = b.addin.Messages().size();
    o.active = sheet.ActiveCellPos();
    o.hidden = b.state.request.HiddenCellsSkipped;
    return o;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome trimmed = run(c, false), read = run(c, true);
    EXPECT_EQ(trimmed, read) << ::testing::PrintToString(trimmed.items) << " / "
                             << ::testing::PrintToString(read.items);
  }
}

TEST_F(GatherTest, JoinCellsInCountIndexClassifiesTheWholeRow) {
  TickJoinCells();
  Put(u"A1", u"R");
  Put(u"B1", u"7");
  Put(u"A2", u"Door");
  Put(u"A3", u"R");
  Put(u"B3", u"8");
  Begin(false);
  EXPECT_EQ(Gather(u"A1:B3"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), (Texts{u"R" + kJoin, u"Door" + kJoin, u"R" + kJoin}));
  EXPECT_EQ(Rows(kIndexNum1), (Texts{u"7", u"", u"8"}));
  EXPECT_EQ(Leading(), (Texts{u"R" + kJoin, u"Door" + kJoin})) << "no partial joins in the distinct column";
}

TEST_F(GatherTest, CellTextLimits) {
  const Text half(20000, u'h');
  const struct {
    Text a, b;
    ItemFaultCode code;
  } cases[] = {
      {Text(16000, u'a'), Text(16766, u'b'), fault::kNone},
      {half, half, fault::kLongJoin},
      {Text(32767, u'a'), Text(), fault::kLongJoin},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a.size() + c.b.size());
    TickJoinCells();
    Begin(true);
    Put(u"A1", c.a);
    Put(u"B1", c.b);
    b.state.request.FaultItem.clear();
    EXPECT_EQ(Gather(u"A1:B1"), c.code);
    if (c.code == fault::kLongJoin) {
      EXPECT_EQ(b.state.request.FaultMsg, u">32,767 Chars Joining Cells");
      EXPECT_EQ(b.state.request.FaultItem, c.b.empty() ? c.a : c.b);
    } else {
      EXPECT_EQ(Rows(kItemText), (Texts{c.a + kJoin + c.b}));
    }
  }
  // Without JoinCells a full-length constant is an ordinary Item.
  b.Control(host::ctl::compdup::kJoinCells).SetValue(false);
  Begin(true);
  Put(u"A1", Text(32767, u'a'));
  EXPECT_EQ(Gather(u"A1"), fault::kNone);
  EXPECT_EQ(Rows(kItemText), (Texts{Text(32767, u'a')}));
}

TEST_F(GatherTest, ItemCapacityOfTheSheet) {
  xl::Workbook& small = b.app->AddWorkbook(xl::memory::GridSize::Small);
  small.Activate();
  // 65,536 rows hold 65,533 Items; five cells of 16,383 Items each offer 81,915.
  Text cell;
  for (int i = 0; i < 16383; ++i) cell += u"a,";
  cell.pop_back();
  for (TextView mode : {u"IgnoreIndex", u"CountIndex"}) {
    SCOPED_TRACE(ToUtf8(mode));
    Begin(mode == u"IgnoreIndex");
    for (long r = 1; r <= 5; ++r) small.ActiveSheet().Cells(r, 1).SetValue(cell);
    b.state.request.FaultItem.clear();
    EXPECT_EQ(ItemsGather(b.state, OptionsOf(b.state), host::kList1, small.ActiveSheet().Range(u"A1:A5")),
              fault::kTooManyItems);
    EXPECT_EQ(b.state.request.FaultMsg, u"Too Many Items");
    EXPECT_EQ(b.state.request.FaultItem, u"a");
    EXPECT_EQ(ColumnCount(Anchor(), kItemText), 65533);
    EXPECT_EQ(small.ActiveSheet().ActiveCellPos(), (xl::CellPos{5, 1})) << "the cell of the first Item without a row";
  }
}

TEST_F(GatherTest, BreakKeyLeavesAPartialList) {
  for (long r = 1; r <= 100; ++r) b.Cell(Text(u"A").append(FromUtf8(std::to_string(r)))).SetValue(u"R1-5");
  Begin(false);
  b.state.items.RangeStyle = 2;
  b.addin.QueueBreakAnswer(u"NoBreak");
  b.addin.QueueBreakAnswer(u"NoBreak");
  b.addin.QueueBreakAnswer(u"6");
  // Search options left by an earlier search, which the end of a walk would reset.
  Sheet().Range(u"A1:A2").Find({.What = u"R1-5", .LookAt = xl::xlWhole});
  EXPECT_EQ(Gather(u"A1:A100"), fault::kNone);
  EXPECT_TRUE(b.state.request.progress.UserAbort);
  EXPECT_EQ(ColumnCount(Anchor(), kItemText), 10) << "polled as the bar moves, every 5 of 100 cells";
  EXPECT_EQ(b.state.items.RangeStyle, 2) << "an abort leaves RangeStyle alone";
  EXPECT_NE(b.app->RememberedFind().LookAt, xl::xlPart) << "nor are the Find options reset";

  // 20 cells or fewer never poll.
  Begin(false);
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Gather(u"A1:A20"), fault::kNone);
  EXPECT_EQ(ColumnCount(Anchor(), kItemText), 20);
  EXPECT_EQ(b.addin.Pending(addin::Reply::BreakKey), 1u);
  EXPECT_EQ(b.state.items.RangeStyle, 1);
}

TEST_F(GatherTest, ProgressOnTheStatusBar) {
  for (long r = 1; r <= 40; ++r) b.Cell(Text(u"A").append(FromUtf8(std::to_string(r)))).SetValue(u"x");
  b.addin.SetHook(u"vbaBreakKey", [&](std::span<Variant>) { b.services.clock.Advance(2); });
  const struct {
    const char16_t* mode;
    bool text;
  } cases[] = {{u"Null", true},
               {u"Paste_V", false},
               {u"Paste_>", false},
               {u"Subtract Display V", false},
               {u"Subtract Display >", false},
               {u"SubtractButton", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.mode));
    Begin(true, c.mode);
    b.app->SetStatusBar(false);
    EXPECT_EQ(Gather(u"A1:A40"), fault::kNone);
    EXPECT_EQ(ColumnCount(Anchor(), kItemText), 40);
    const Variant bar = b.app->StatusBar();
    if (c.text) {
      ASSERT_TRUE(bar.IsText());
      EXPECT_EQ(bar.AsText().rfind(u" Collect Progress: ", 0), 0u);
    } else {
      EXPECT_FALSE(bar.IsText());
    }
  }
}

TEST_F(GatherTest, FromTheWorkingSheetItself) {
  Begin(true);
  host::InitPlace(b.state, host::kList1);
  xl::Range side = Anchor().Offset(1, kSideItem);
  WriteText(Anchor().Offset(1, kSideCellAddr), u"$B$7");
  WriteText(side, u"a,b");
  WriteText(Anchor().Offset(2, kSideCellAddr), u"$C$9");
  WriteText(side.Offset(1, 0), u"can\u00B4t");
  EXPECT_EQ(ItemsGather(b.state, OptionsOf(b.state), host::kList2, WorkSheet(b.state).Range(side, side.Offset(1, 0))),
            fault::kNone);
  EXPECT_EQ(Rows(kItemText, host::kList2), (Texts{u"a,b", u"a,b", u"can\u00B4t"}));
  EXPECT_EQ(Rows(kCellAddr, host::kList2), (Texts{u"$B$7", u"$B$7", u"$C$9"}));
}

TEST_F(GatherTest, ErrorsCarryTheGatheringPosition) {
  Put(u"A1", u"R1");
  Put(u"B2", u"R2");
  Begin(false);
  b.state.compare.CompareStep = host::CompareStage::kClearLeftTags;
  b.state.request.BlankItemMsgShown = true;
  // The Item rows are written when the walk ends, at its last cell.
  b.app->InjectFailure("Range.Value", 1004, "Write failed", 0);
  const Error e = check::ExpectRaises([&] { static_cast<void>(Gather(u"A1:B2")); }, 1004, "ItemsGather: ");
  EXPECT_EQ(e.Description(), "Write failed");
  EXPECT_TRUE(e.Source().ends_with(",2,2,5")) << e.Source();
}

}  // namespace
}  // namespace quillary::items
