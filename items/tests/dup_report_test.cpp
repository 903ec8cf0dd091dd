#include "items/internal/dup_report.h"

#include <gtest/gtest.h>

#include "items/internal/messages.h"
#include "items/tests/count_fixture.h"

namespace quillary::items {
namespace {

using Texts = std::vector<Text>;

const Text kHeader = u"Duplicates_Summary" + Text(18, u' ');

Text Entry(TextView count, TextView item) { return u"\nDup\t" + Text(count) + u"\t" + Text(item); }

class DupReportTest : public CountFixture {
 protected:
  void SetUp() override {
    Begin(true);
    Main(u"CheckBox3").SetValue(true);
  }
  // Writes the duplicates list beside list 1.
  void Dups(const Texts& items) {
    long r = 1;
    for (const Text& t : items) WriteText(Cell(r++, kSideItem), t);
  }
  // `rows` copies of one Item, written in one go.
  void SameDups(long rows, TextView item) {
    WorkSheet(b.state).Range(Cell(1, kSideItem), Cell(rows, kSideItem)).SetValue(u"'" + Text(item));
  }
  void Report() { DuplicateReport(b.state, host::kList1); }
};

TEST_F(DupReportTest, OneEntryPerRunWithItsCount) {
  const struct {
    Texts dups;
    Text summary;
    const char16_t* count;
  } cases[] = {
      {{u"ab", u"AB", u"ab", u"cd", u"cd"}, kHeader + Entry(u"     3", u"ab") + Entry(u"     2", u"cd"), u"5"},
      {{u"x"}, kHeader + Entry(u"     1", u"x"), u"1"},
      {{u"it\u00B4s", u"IT\u00B4S"}, kHeader + Entry(u"     2", u"it's"), u"2"},
      {{u"a\u00A8b", u"A\u00A8B", u"c"}, kHeader + Entry(u"     2", u"a\u00A8b") + Entry(u"     1", u"c"), u"3"},
  };
  for (const auto& c : cases) {
    SetUp();
    Dups(c.dups);
    Report();
    EXPECT_EQ(b.state.items.DupSummaryText, c.summary) << ToUtf8(c.dups.front());
    EXPECT_EQ(b.state.items.ItemCountText, c.count);
  }
}

TEST_F(DupReportTest, NothingHappensOutsideTheSortedIgnoreIndexMode) {
  const struct {
    bool ignoreIndex;
    bool sortOption;
    bool empty;
  } cases[] = {{false, true, false}, {true, false, false}, {true, true, true}};
  for (const auto& c : cases) {
    Begin(c.ignoreIndex);
    Main(u"CheckBox3").SetValue(c.sortOption);
    if (!c.empty) Dups({u"a", u"a"});
    b.state.items.DupSummaryText = u"kept";
    b.state.items.ItemCountText = u"kept";
    Report();
    EXPECT_EQ(b.state.items.DupSummaryText, u"kept");
    EXPECT_EQ(b.state.items.ItemCountText, u"kept");
  }
}

TEST_F(DupReportTest, CountFieldCapsAt99999) {
  const struct {
    long rows;
    const char16_t* field;
  } cases[] = {{99998, u" 99998"}, {99999, u">99999"}, {100001, u">99999"}};
  for (const auto& c : cases) {
    SetUp();
    SameDups(c.rows, u"z");
    Report();
    EXPECT_EQ(b.state.items.DupSummaryText, kHeader + Entry(c.field, u"z"));
    EXPECT_EQ(b.state.items.ItemCountText, Num(c.rows));
  }
}

TEST_F(DupReportTest, CommentBoxWarningFromThirtyTwoThousandSevenHundredSixtyEight) {
  // The header (36) and one entry (12 + the Item) make the summary.
  const Text tail = u"\nCAN'T DISPLAY ALL";
  const struct {
    std::size_t itemLength;
    bool tagOption;
    bool warned;
  } cases[] = {{32720, true, true}, {32719, true, false}, {32720, false, false}};
  for (const auto& c : cases) {
    SetUp();
    Main(u"CheckBox4").SetValue(c.tagOption);
    Main(u"CheckBox4").SetCaption(u"Tag Dups");
    const Text item(c.itemLength, u'q');
    Dups({item, item});
    b.addin.ClearLog();
    if (c.warned) b.addin.QueueMessageAnswer(1);
    Report();
    const Text entry = Entry(u"     2", item);
    if (c.warned) {
      ASSERT_EQ(b.addin.Messages().size(), 1u);
      EXPECT_EQ(b.addin.Messages()[0].prompt, u"(  ): " + msg::SummaryTooLongText(2, 32732, u"Tag Dups"));
      EXPECT_EQ(b.addin.Messages()[0].style, 64);
      EXPECT_EQ(b.state.items.DupSummaryText, u"Duplicates_Summary" + tail + entry) << "built in full all the same";
    } else {
      EXPECT_TRUE(b.addin.Messages().empty());
      EXPECT_EQ(b.state.items.DupSummaryText, kHeader + entry);
    }
  }
}

TEST_F(DupReportTest, ProgressFromFiftyOneRows) {
  const struct {
    long rows;
    const char16_t* modeHold;
    bool captionsShown;
  } cases[] = {{50, u"", false}, {51, u"", true}, {51, u"Netlist Cnvrt:Telesis", false}};
  for (const auto& c : cases) {
    SetUp();
    b.Control(host::ctl::mail::kModeHold).SetCaption(c.modeHold);
    SameDups(c.rows, u"z");
    captions.clear();
    polls = 0;
    b.app->SetStatusBar(false);
    WatchProgress();
    Report();
    Record();
    EXPECT_EQ(polls > 0, c.rows == 51) << c.rows;
    EXPECT_EQ(captions.count(u" DupsReport Progress: "), c.captionsShown ? 1u : 0u) << c.rows;
    EXPECT_EQ(captions.count(u" ToCommentBox Progress: "), c.captionsShown ? 1u : 0u) << c.rows;
  }
}

TEST_F(DupReportTest, BreakKeyLeavesThePreviousSummary) {
  SameDups(80, u"z");
  b.state.items.DupSummaryText = u"previous";
  b.addin.QueueBreakAnswer(u"6");
  Report();
  EXPECT_TRUE(b.state.request.progress.UserAbort);
  EXPECT_EQ(b.state.items.DupSummaryText, u"previous");
}

TEST_F(DupReportTest, AValueInTheAnchorCellClearsTheItemRows) {
  for (const long rows : {1L, 3L}) {
    SetUp();
    Plain(Texts(static_cast<std::size_t>(rows), u"a"));
    WriteText(*anchor, u"mark");
    Dups({u"a", u"a"});
    Report();
    EXPECT_TRUE(anchor->Value().IsEmpty());
    EXPECT_EQ(ColumnCount(*anchor, kItemText), 0) << rows;
    EXPECT_EQ(b.state.items.DupSummaryText, kHeader + Entry(u"     2", u"a"));
  }
}

}  // namespace
}  // namespace quillary::items
