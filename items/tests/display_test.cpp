#include "items/internal/display.h"

#include <gtest/gtest.h>

#include "host/text_replace.h"
#include "items/internal/dup_report.h"
#include "items/internal/messages.h"
#include "items/sort_count.h"
#include "items/tests/count_fixture.h"

namespace quillary::items {
namespace {

using Texts = std::vector<Text>;

class DisplayTest : public CountFixture {
 protected:
  // Items "Ia", "Ib", ... (no digits).
  static Texts Names(int n, const Text& stem = u"I") {
    Texts items;
    for (int i = 0; i < n; ++i) {
      items.push_back(stem + static_cast<char16_t>(u'a' + i / 26) + static_cast<char16_t>(u'a' + i % 26));
    }
    return items;
  }
};

TEST_F(DisplayTest, SeparatorsFollowTheModeAndCheckBox9) {
  const struct {
    bool ignoreIndex;
    bool wide;
    Texts items;
    const char16_t* shown;
    const char16_t* count;  // a range counts as its width in CountIndex#
  } cases[] = {
      {false, true, {u"R1", u"R3-R5", u"X"}, u"R1, R3-R5, X", u"5"},
      {false, false, {u"R1", u"R3-R5", u"X"}, u"R1,R3-R5,X", u"5"},
      {true, true, {u"R1", u"R3-R5", u"X"}, u"R1,R3-R5,X", u"3"},
      {false, true, {u"R1"}, u"R1", u"1"},
      {true, false, {u"solo"}, u"solo", u"1"},
  };
  for (const auto& c : cases) {
    Begin(c.ignoreIndex);
    Main(u"CheckBox9").SetValue(c.wide);
    b.state.items.RangeStyle = 2;
    if (c.ignoreIndex) {
      Plain(c.items);
    } else {
      Indexed(c.items);
    }
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(b.state.request.DisplayText, c.shown);
    EXPECT_EQ(Window(), c.shown);
    EXPECT_EQ(b.state.items.ItemCountText, c.count);
  }
}

TEST_F(DisplayTest, CollectFaultReplacesTheList) {
  for (const bool ignoreIndex : {false, true}) {
    Begin(ignoreIndex);
    Indexed({u"R1", u"R2"});
    b.state.request.FaultMsg = u"First >= HyphenSecond";
    b.state.request.FaultItem = u"R5-R2";
    Count();
    EXPECT_EQ(b.state.request.DisplayText, ignoreIndex ? u"R5-R2" : u" Quilet> R5-R2 <Quilet");
  }
}

TEST_F(DisplayTest, FormulaStartGuard) {
  const struct {
    const char16_t* item;
    const char16_t* shown;
  } cases[] = {
      {u"=x", u" =x"}, {u"+x", u" +x"}, {u"-x", u" -x"}, {u"$x", u" $x"}, {u"%x", u" %x"},
      {u"@x", u" @x"}, {u"(x", u" (x"}, {u"#x", u"#x"},  {u"x=", u"x="},
  };
  for (const auto& c : cases) {
    Begin(true);
    Plain({c.item, u"y"});
    Count();
    EXPECT_EQ(b.state.request.DisplayText, Text(c.shown) + u",y");
    EXPECT_EQ(Window(), Text(c.shown) + u",y");
  }
}

TEST_F(DisplayTest, Placeholders) {
  Begin(true);
  Plain({u"it\u00B4s",
         u"a\x1F"
         u"b",
         u"c\u00A8d\u00AFe"});
  Count();
  EXPECT_EQ(Window(),
            u"it's,a\x1F"
            u"b,c\u00A8d\u00AFe")
      << "the window keeps the tab mark";
  EXPECT_EQ(b.state.request.DisplayText, u"it's,a\tb,c\u00A8d\u00AFe");
}

TEST_F(DisplayTest, CompareStepsDecideWhatIsShown) {
  const struct {
    int step;
    bool emptyList;
    bool shown;
  } cases[] = {
      {3, false, false}, {5, false, false}, {7, false, false},
      {4, false, true},  {6, false, true},  {3, true, true},  // an empty list clears the window
  };
  for (const auto& c : cases) {
    Begin(false, u"COMPARE 2/Uniques");
    b.state.compare.CompareStep = static_cast<host::CompareStage>(c.step);
    if (!c.emptyList) Indexed({u"R1", u"R2"});
    b.state.request.ActiveWndw->SetValue(u"old");
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(Window(), c.shown ? (c.emptyList ? u"" : u"R1-2") : u"old") << c.step;
    EXPECT_EQ(b.state.request.DisplayText, c.shown && !c.emptyList ? u"R1-2" : u"") << c.step;
  }
}

TEST_F(DisplayTest, CompareStepEightReadsTextbox1IntoTheSecondList) {
  Begin(false, u"COMPARE 2/Uniques");
  b.state.compare.CompareStep = host::CompareStage::kWindowUniques;
  Main(u"CheckBox9").SetValue(true);
  Indexed({u"R1", u"R2"});
  Main(u"Textbox1").SetValue(u"Q7, Q9");
  b.state.request.ActiveWndw = &Main(u"Textbox2");
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Column(ListAnchor(b.state, host::kList2), kItemText), (Texts{u"Q", u"Q"}));
  EXPECT_EQ(Window(), u"R1-2");
}

TEST_F(DisplayTest, DuplicateMarkersAfterTheList) {
  Begin(false);
  Main(u"CheckBox9").SetValue(false);
  Indexed({u"R1", u"R2", u"R2"});
  Count();
  EXPECT_EQ(b.state.request.DisplayText, u" Quilet> R1-2, R2 <Quilet") << "the appended separator is always \", \"";
  EXPECT_EQ(b.state.items.ItemCountText, u"2");
}

TEST_F(DisplayTest, ClosingFindLeavesTheSearchOptions) {
  Begin(false);
  Indexed({u"R1", u"R2"});
  WriteText(*anchor, u"kept");
  Count();
  const xl::FindSettings& f = b.app->RememberedFind();
  EXPECT_EQ(f.What, u"");
  EXPECT_EQ(f.LookIn, xl::xlValues);
  EXPECT_EQ(f.LookAt, xl::xlPart);
  EXPECT_EQ(f.SearchOrder, xl::xlByColumns);
  EXPECT_FALSE(f.MatchCase);
  EXPECT_EQ(anchor->Value(), Variant(u"kept"));
}

// IgnoreIndex# with the Sort option and duplicate tagging: the window shows a help text
// or the summary instead of the list.
class TagHelpTest : public DisplayTest {
 protected:
  void BeginTagging(TextView mode, bool duplicates) {
    Begin(true, mode);
    Main(u"CheckBox3").SetValue(true);
    Main(u"CheckBox4").SetValue(true);
    Main(u"CheckBox4").SetCaption(u"Tag Dups");
    Plain(duplicates ? Texts{u"b", u"a", u"A"} : Texts{u"b", u"a"});
  }
};

TEST_F(TagHelpTest, HelpTextsByModeAndPasteType) {
  using namespace msg;
  const Text lf = u"\n";
  const Text notPasted = kNotPasted + Text(u"\"Tag Dups\"\n") + kNotPasted2 + lf + lf;
  const Text pasteV = u"\"Tag Dups\" during \"Paste V\".\n";
  const Text pasteRight = u"\"Tag Dups\" during \"Paste >\".\n";
  const struct {
    const char16_t* caption6;
    const char16_t* mode;
    bool joinCells;
    bool duplicates;
    Text text;
  } cases[] = {
      {u"Items", u"Paste_V", false, true, pasteV + kShapeStatus + lf + lf + notPasted + kMarkedInShape},
      {u"Items", u"Paste_V", true, false,
       pasteV + kShapeStatus + lf + lf + kWholeRows + lf + lf + notPasted + kMarkedInShape},
      {u"Items", u"Paste_>", false, true, pasteRight + kRowStatus + lf + lf + notPasted + kMarkedOnRow},
      {u"Count", u"Paste_V", false, false, kCountItems + lf + lf + kCountStatus},
      {u"Count", u"Paste_V", true, false, kCountRows + lf + lf + kCountStatus},
      {u"Count", u"Paste_>", false, false, pasteRight + kRowStatus + lf + lf + kCountOnRow + lf + kLikeNonSort},
      {u"Items", u"Get_Try", false, false, kNoDuplicatesText},
  };
  for (const auto& c : cases) {
    BeginTagging(c.mode, c.duplicates);
    Main(u"CheckBox6").SetCaption(c.caption6);
    b.Control(host::ctl::compdup::kJoinCells).SetValue(c.joinCells);
    EXPECT_EQ(Run(), CountResult::kDone);
    EXPECT_EQ(Window(), c.text) << ToUtf8(c.caption6) << " " << ToUtf8(c.mode) << c.joinCells;
    EXPECT_EQ(b.state.request.DisplayText, u"") << "no list is built while tagging";
    EXPECT_EQ(b.state.items.ItemCountText, c.duplicates ? u"3" : u"2");
  }
}

TEST_F(TagHelpTest, SummaryIsReadyToPaste) {
  BeginTagging(u"Get_Try", true);
  EXPECT_EQ(Run(), CountResult::kDone);
  const Text summary = u"Duplicates_Summary  (ready to paste)\nDup\t     2\ta";
  EXPECT_EQ(Window(), summary);
  EXPECT_EQ(b.state.request.DisplayText, summary);
  EXPECT_EQ(b.state.request.FaultMsg, u" Duplicate");
  EXPECT_EQ(b.state.items.ItemCountText, u"3") << "set after the summary's own count";
}

TEST_F(TagHelpTest, WithoutTaggingTheListIsShownAndTheSummaryKept) {
  BeginTagging(u"Get_Try", true);
  Main(u"CheckBox4").SetValue(false);
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Window(), u"a,A,b");
  EXPECT_EQ(b.state.items.DupSummaryText, u"Duplicates_Summary\nDup\t     2\ta");
}

// The count keeps the duplicates list it writes in hand for the summary: the summary must
// be the one the list on the sheet gives, whichever way the request compares Items.
TEST_F(DisplayTest, SummaryFromTheWalkIsTheSummaryOfTheListOnTheSheet) {
  // Thousands of rows of one Item in two spellings: as many runs as rows compared binary.
  Texts caseVariants;
  for (int i = 0; i < 5000; ++i) caseVariants.push_back(i % 2 == 0 ? u"a" : u"A");
  const struct {
    int compare;
    Texts items;
  } cases[] = {
      {host::kTextCompare, {u"b", u"a", u"A", u"B", u"a", u"c"}},
      {host::kBinaryCompare, {u"b", u"a", u"A", u"B", u"a", u"c"}},
      {host::kBinaryCompare, {u"x", u"X", u"y"}},
      {host::kTextCompare, {u"it\u00B4s", u"IT\u00B4S", u"q", u"q", u"q"}},
      {host::kBinaryCompare, caseVariants},
  };
  for (const auto& c : cases) {
    Begin(true);
    Main(u"CheckBox3").SetValue(true);
    Plain(c.items);
    b.state.request.CompareMode = c.compare;
    Count();
    const Text walked = b.state.items.DupSummaryText;
    DuplicateReport(b.state, host::kList1);
    Text read = b.state.items.DupSummaryText;
    host::ReplaceItRef(read, msg::kSummaryHeader, msg::kSummaryTitle, 1, 1, 0);
    EXPECT_EQ(walked, read) << c.compare << " " << ToUtf8(c.items.front());
    EXPECT_NE(walked.find(u"\nDup\t"), Text::npos) << c.compare;
  }
}

TEST_F(DisplayTest, ProgressFromFiftyOneRows) {
  for (const int rows : {50, 51}) {
    Begin(true);
    Plain(Names(rows));
    captions.clear();
    polls = 0;
    b.app->SetStatusBar(false);
    WatchProgress();
    Count();
    Record();
    EXPECT_EQ(polls > 0, rows == 51) << rows;
    EXPECT_EQ(captions.count(u" ToDisplay Progress: "), rows == 51 ? 1u : 0u) << rows;
  }
}

TEST_F(DisplayTest, LongListIsJoinedWhole) {
  Begin(true);
  const Texts items = Names(600, u"Item");
  Plain(items);
  Count();
  Text expected;
  for (const Text& t : items) expected += (expected.empty() ? u"" : u",") + t;
  EXPECT_EQ(b.state.request.DisplayText, expected);
  EXPECT_EQ(b.state.items.ItemCountText, u"600");
}

// A list long enough for the join to size its text from its first rows.
TEST_F(DisplayTest, ListOfThousandsIsJoinedWhole) {
  Begin(true);
  Texts items;
  Text expected;
  for (int i = 0; i < 5000; ++i) {
    Text item = u"Item";
    item += Num(100000 + i);
    if (!expected.empty()) expected += u',';
    expected += item;
    items.push_back(std::move(item));
  }
  Plain(items);
  Count();
  EXPECT_EQ(b.state.request.DisplayText, expected);
  EXPECT_EQ(b.state.items.ItemCountText, u"5000");
}

TEST_F(DisplayTest, BreakKeyDuringTheDisplayShowsNothing) {
  Begin(true);
  Plain(Names(60));
  b.state.request.ActiveWndw->SetValue(u"old");
  b.state.items.ItemCountText = u"old count";
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_EQ(Window(), u"old");
  EXPECT_EQ(b.state.items.ItemCountText, u"old count");
}

TEST_F(TagHelpTest, BreakKeyInTheSummaryShowsNothing) {
  // 60 rows of one Item: the count has no progress, the summary has.
  Begin(true);
  Main(u"CheckBox3").SetValue(true);
  Main(u"CheckBox4").SetValue(true);
  Plain(Texts(60, u"same"));
  b.state.items.DupSummaryText = u"stale summary";
  b.state.request.ActiveWndw->SetValue(u"old");
  b.state.items.ItemCountText = u"old count";
  b.addin.QueueBreakAnswer(u"6");
  EXPECT_EQ(Run(), CountResult::kDone);
  EXPECT_TRUE(b.state.request.progress.UserAbort);
  EXPECT_EQ(Window(), u"old");
  EXPECT_EQ(b.state.request.DisplayText, u"");
  EXPECT_EQ(b.state.items.DupSummaryText, u"stale summary");
  EXPECT_EQ(b.state.items.ItemCountText, u"old count");
}

}  // namespace
}  // namespace quillary::items
