#include "items/put_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/internal/display.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "items/tests/options_of.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

constexpr char16_t kAcute = kApostropheMark;

TEST(PutTextClean, EachStepInOrder) {
  const struct {
    Text text;
    Text cleaned;
  } cases[] = {
      {u"can't", Text(u"can") + kAcute + u"t"},
      // The summary header goes with the carriage return after it; the line feed that
      // follows then ends an empty first line.
      {u"Duplicates_Summary  (ready to paste)\r\nR1 (2)\r\nR2 (3)", u"R1 (2),R2 (3)"},
      {u"Duplicates_Summary  (ready to paste)\nR1", u"Duplicates_Summary  (ready to paste),R1"},
      {u"R1\r\n\r\n\r\n\r\nR2\r\nR3\nR4", u"R1,R2,R3,R4"},
      {u"R1\rR2", u"R1\rR2"},
      {u"R1," + Text(msg::kNoDuplicatesText) + u",R2", u"R1,R2"},
      {msg::kNoDuplicatesText + Text(u"\r\n"), u""},
      {u"a,,,,,b", u"a,b"},
      {u"R1, Quilet> R2-R3-R4 <Quilet, R5", u"R1,R2-R3-R4, R5"},
      {u"Quilet> R2 <Quilet", u"Quilet> R2"},
      {u",a,", u"a"},
      {u",,,\r\n\r\n,\n", u""},
      {u",-5", u" -5"},
      {u"=A1,b", u" =A1,b"},
      {u"+", u" +"},
      {u"$1", u" $1"},
      {u"%x", u" %x"},
      {u"@x", u" @x"},
      {u"(x)", u" (x)"},
      {u"x=1", u"x=1"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    Text text = c.text;
    PutText_Clean(text);
    EXPECT_EQ(text, c.cleaned) << ToUtf8(c.text);
  }
}

// The cells of one Item row, +2 to +5, as the sheet gives them back.
using RowValues = std::array<Variant, 4>;

class PutTextTest : public ::testing::Test {
 protected:
  void Begin(bool ignoreIndex, TextView mode = u"Null") {
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(ignoreIndex);
    b.BeginRequest(mode);
  }
  std::optional<ItemFaultCode> Put(Text text) { return ItemsPutText(b.state, OptionsOf(b.state), text, host::kList1); }
  xl::Range Anchor() { return ListAnchor(b.state, host::kList1); }
  Variant At(long row, long col) { return Anchor().Offset(row, col).Value(); }

  // Leaves something in every column of the list's first rows, which a new reading
  // must clear.
  void Prefill(long rows = 4) {
    host::InitPlace(b.state, host::kList1);
    for (long r = 1; r <= rows; ++r) {
      for (long c = 0; c <= kPrefix2; ++c) Anchor().Offset(r, c).SetValue(u"old");
    }
  }

  // The rows and the distinct column of a CountIndex# list, and nothing below them.
  void ExpectCountList(const std::vector<RowValues>& rows, const std::vector<Text>& distinct,
                       const std::string& context) {
    const long depth = static_cast<long>(std::max<std::size_t>({rows.size(), distinct.size(), 4})) + 1;
    for (long r = 1; r <= depth; ++r) {
      const auto i = static_cast<std::size_t>(r - 1);
      EXPECT_EQ(At(r, kCellAddr), Variant()) << context << " row " << r;
      for (long c = kItemText; c <= kPrefix2; ++c) {
        const Variant expected = i < rows.size() ? rows[i][static_cast<std::size_t>(c - kItemText)] : Variant();
        EXPECT_EQ(At(r, c), expected) << context << " row " << r << " col +" << c;
      }
      const Variant expectedDistinct = i < distinct.size() ? Variant(distinct[i]) : Variant();
      EXPECT_EQ(At(r, kDistinctItem), expectedDistinct) << context << " distinct row " << r;
    }
  }

  // "prefix1, prefix2, ..., prefixN" for N Items.
  static Text Numbered(TextView prefix, long count, TextView separator = u",") {
    Text text;
    text.reserve(static_cast<std::size_t>(count) * (prefix.size() + 8));
    for (long i = 1; i <= count; ++i) {
      if (i > 1) text += separator;
      text += prefix;
      text += vba::NumberText(static_cast<double>(i));
    }
    return text;
  }

  testkit::Bench b;
};

TEST_F(PutTextTest, TextThatCleansToNothingLeavesTheListCleared) {
  for (bool ignoreIndex : {false, true}) {
    for (const Text& text :
         {Text(), Text(u",,,\r\n\r\n,\n"), Text(u" Quilet>  <Quilet"), msg::kNoDuplicatesText + Text(u"\r\n")}) {
      Begin(ignoreIndex);
      Prefill();
      Text t = text;
      EXPECT_EQ(ItemsPutText(b.state, OptionsOf(b.state), t, host::kList1), std::nullopt) << ToUtf8(text);
      EXPECT_EQ(t, u"") << "the caller's text is cleaned in place";
      ExpectCountList({}, {}, ToUtf8(text));
    }
  }
}

TEST_F(PutTextTest, CountIndexRowsAndDistinctColumn) {
  const Variant E;
  const struct {
    Text text;
    std::vector<RowValues> rows;
    std::vector<Text> distinct;
  } cases[] = {
      {u"a, ,b", {{u"a", E, E, E}, {u"b", E, E, E}}, {u"a", u"b"}},
      {u",R1,,R2,", {{u"R", 1, E, E}, {u"R", 2, E, E}}, {u"R"}},
      {u"R1\r\nR2", {{u"R", 1, E, E}, {u"R", 2, E, E}}, {u"R"}},
      {u"R1\r\n\r\nR2", {{u"R", 1, E, E}, {u"R", 2, E, E}}, {u"R"}},
      {u"can't", {{Text(u"can") + kAcute + u"t", E, E, E}}, {Text(u"can") + kAcute + u"t"}},
      {u"R007", {{u"R00", 7, E, E}}, {u"R00"}},
      {u"123", {{u" ", 123, E, E}}, {u" "}},
      {u"007", {{u"00", 7, E, E}}, {u"00"}},
      {u"R1-R5", {{u"R", 1, u"5", u"R"}}, {u"R"}},
      {u"R1-5", {{u"R", 1, u"5", u" "}}, {u"R"}},
      {u"R1 - R5", {{u"R", 1, u"5", u"R"}}, {u"R"}},
      {u"1-5", {{u" ", 1, u"5", u" "}}, {u" "}},
      // Each range on its own: the two styles may stand side by side.
      {u"C1-3, C4-C6", {{u"C", 1, u"3", u" "}, {u"C", 4, u"6", u"C"}}, {u"C"}},
      // The Tab form strips Tabs and other control characters around the parts.
      {u"R1\t-\tR5", {{u"R", 1, u"5", u"R"}}, {u"R"}},
      {u"R1\t- \t5", {{u"R", 1, u"5", u" "}}, {u"R"}},
      {u"\tDoor", {{u"Door", E, E, E}}, {u"Door"}},
      {u"A\tB", {{u"A\tB", E, E, E}}, {u"A\tB"}},
      {u"\tR7", {{u"R", 7, E, E}}, {u"R"}},
      {u"R7\t", {{u"R", 7, E, E}}, {u"R"}},
      {u"Door\t", {{u"Door", E, E, E}}, {u"Door"}},
      // Each name or first prefix once, in the order first met; a repeated last name
      // leaves no entry behind.
      {u"R1, S1, R2", {{u"R", 1, E, E}, {u"S", 1, E, E}, {u"R", 2, E, E}}, {u"R", u"S"}},
      {u"Door, R1, R2, Door, R3-R5, Door",
       {{u"Door", E, E, E},
        {u"R", 1, E, E},
        {u"R", 2, E, E},
        {u"Door", E, E, E},
        {u"R", 3, u"5", u"R"},
        {u"Door", E, E, E}},
       {u"Door", u"R"}},
      {u"a*b, axb, a*b, a?, ab",
       {{u"a*b", E, E, E}, {u"axb", E, E, E}, {u"a*b", E, E, E}, {u"a?", E, E, E}, {u"ab", E, E, E}},
       {u"a*b", u"axb", u"a?", u"ab"}},
      // A first number too long to be stored exactly keeps the Item whole.
      {u"R1234567890123456, R123456789012345",
       {{u"R1234567890123456", E, E, E}, {u"R", 123456789012345.0, E, E}},
       {u"R1234567890123456", u"R"}},
      {u"R1234567890123456-R1234567890123457",
       {{u"R1234567890123456-R1234567890123457", E, E, E}},
       {u"R1234567890123456-R1234567890123457"}},
      // However long: a run of 400 digits is no number either.
      {u"R" + Text(400, u'9'), {{u"R" + Text(400, u'9'), E, E, E}}, {u"R" + Text(400, u'9')}},
      {u"R1-R" + Text(400, u'9'), {{u"R1-R" + Text(400, u'9'), E, E, E}}, {u"R1-R" + Text(400, u'9')}},
  };
  for (const auto& c : cases) {
    Begin(false);
    Prefill();
    EXPECT_EQ(Put(c.text), fault::kNone) << ToUtf8(c.text);
    ExpectCountList(c.rows, c.distinct, ToUtf8(c.text));
    EXPECT_EQ(b.state.request.FaultMsg, u"");
    EXPECT_EQ(b.state.request.FaultItem, u"");
  }
}

TEST_F(PutTextTest, DistinctColumnIsCaseSensitiveWhateverCheckBox5Says) {
  const Variant E;
  for (bool matchCase : {false, true}) {
    b.Control(host::ctl::main::kMatchCase).SetValue(matchCase);
    Begin(false);
    EXPECT_EQ(Put(u"r1, R2, r3"), fault::kNone);
    ExpectCountList({{u"r", 1, E, E}, {u"R", 2, E, E}, {u"r", 3, E, E}}, {u"r", u"R"}, matchCase ? "on" : "off");
  }
}

TEST_F(PutTextTest, LongNamesAreFoundWhole) {
  const Text x300(300, u'x');
  const Text y300 = x300 + u"y";
  Begin(false);
  EXPECT_EQ(Put(x300 + u"," + y300 + u"," + x300 + u"," + Text(300, u'X')), fault::kNone);
  ExpectCountList({{x300, Variant(), Variant(), Variant()},
                   {y300, Variant(), Variant(), Variant()},
                   {x300, Variant(), Variant(), Variant()},
                   {Text(300, u'X'), Variant(), Variant(), Variant()}},
                  {x300, y300, Text(300, u'X')}, "long");
  // The closing search leaves the remembered options at values, part, by columns, no case.
  const xl::FindSettings& remembered = b.app->RememberedFind();
  EXPECT_EQ(remembered.LookAt, xl::xlPart);
  EXPECT_EQ(remembered.LookIn, xl::xlValues);
  EXPECT_EQ(remembered.SearchOrder, xl::xlByColumns);
  EXPECT_FALSE(remembered.MatchCase);
}

TEST_F(PutTextTest, LongNamesSharingTheirFirst254Characters) {
  // Equal in their first 290 characters; they differ after them, or only in case.
  const Variant E;
  const Text p(290, u'p');
  const Text a = p + u"a", b2 = p + u"b", upper = p + u"A";
  const Text upperStart = u"P" + a.substr(1);
  for (bool matchCase : {false, true}) {
    b.Control(host::ctl::main::kMatchCase).SetValue(matchCase);
    Begin(false);
    EXPECT_EQ(Put(a + u"," + b2 + u"," + a + u"7," + upper + u"," + upperStart + u"," + b2), fault::kNone);
    ExpectCountList({{a, E, E, E}, {b2, E, E, E}, {a, 7, E, E}, {upper, E, E, E}, {upperStart, E, E, E}, {b2, E, E, E}},
                    {a, b2, upper, upperStart}, matchCase ? "on" : "off");
  }
}

TEST_F(PutTextTest, FaultsStopTheReading) {
  const Variant E;
  const Text stars = Text(1000, u'x') + u"*";
  const struct {
    Text text;
    ItemFaultCode result;
    Text faultMsg;
    Text faultItem;
    std::vector<RowValues> rows;
    std::vector<Text> distinct;
  } cases[] = {
      {u"R1-R2-R3", fault::kManyHyphens, u"Has More Than 1 Hyphen", u"R1-R2-R3", {{u"R1-R2-R3", E, E, E}}, {}},
      {u"R1\t-R2-R3", fault::kManyHyphens, u"Has More Than 1 Hyphen", u"R1\t-R2-R3", {{u"R1\t-R2-R3", E, E, E}}, {}},
      {u"R1, Quilet> S1-S2-S3 <Quilet, T1",
       fault::kManyHyphens,
       u"Has More Than 1 Hyphen",
       u"S1-S2-S3",
       {{u"R", 1, E, E}, {u"S1-S2-S3", E, E, E}},
       {u"R"}},
      {u"a, " + stars + u", b",
       fault::kLongWildcard,
       u"w/WildCard>254chrs: w/ * =1,002",
       stars,
       {{u"a", E, E, E}, {stars, E, E, E}},
       // The faulting name was written after the last search found "a": the end of the
       // reading takes it for a repeat and clears it.
       {u"a"}},
      // The first prefix is what is searched for.
      {Text(300, u'~') + u"?7",
       fault::kLongWildcard,
       u"w/WildCard>254chrs: w/ ~? =602",
       Text(300, u'~') + u"?",
       {{Text(300, u'~') + u"?", 7, E, E}},
       {Text(300, u'~') + u"?"}},
      // An Item longer than a cell holds is not cut to fit its row.
      {u"a, " + Text(32768, u'q') + u", b",
       fault::kLongCell,
       u">32,767 Chars in Cell",
       Text(32768, u'q'),
       {{u"a", E, E, E}},
       {u"a"}},
      {Text(32767, u'q'), fault::kNone, u"", u"", {{Text(32767, u'q'), E, E, E}}, {Text(32767, u'q')}},
      // 254 characters after escaping are searched whole.
      {Text(252, u'x') + u"*, " + Text(252, u'x') + u"*",
       fault::kNone,
       u"",
       u"",
       {{Text(252, u'x') + u"*", E, E, E}, {Text(252, u'x') + u"*", E, E, E}},
       {Text(252, u'x') + u"*"}},
  };
  for (const auto& c : cases) {
    Begin(false);
    Prefill();
    EXPECT_EQ(Put(c.text), c.result) << ToUtf8(c.text);
    EXPECT_EQ(b.state.request.FaultMsg, c.faultMsg) << ToUtf8(c.text);
    EXPECT_EQ(b.state.request.FaultItem, c.faultItem) << ToUtf8(c.text);
    ExpectCountList(c.rows, c.distinct, ToUtf8(c.text));
  }
}

// A range goes through the Item grammar as in a gathering from cells: a reversed or
// broken one is refused with the fault a cell holding it gets, and the reading stops.
TEST_F(PutTextTest, ReversedOrBrokenRangesAreRefusedAsInAGathering) {
  const struct {
    const char16_t* text;
    ItemFaultCode result;
    const char16_t* faultMsg;
    const char16_t* faultItem;
  } cases[] = {
      {u"R1, R5-R2", fault::kFirstNotBelowSecond, u"First >= HyphenSecond", u"R5-R2"},
      {u"R3-R3", fault::kFirstNotBelowSecond, u"First >= HyphenSecond", u"R3-R3"},
      {u"R-5", fault::kMissingNumberBefore, u"Missing Number Before Hyphen", u"R-5"},
      {u"R1-", fault::kMissingNumberAfter, u"Missing Number After Hyphen", u"R1-"},
      {u"S1-T5", fault::kPrefixMismatch, u"1st Prefix/2nd Prefix Mismatch", u"S1-T5"},
      {u"1-R5", fault::kMissingFirstPrefix, u"Missing 1st Prefix but has 2nd Prefix", u"1-R5"},
      {u"R1-R 5", fault::kBlankInSecondPrefix, u"Space found in 2nd Prefix", u"R1-R 5"},
  };
  for (const auto& c : cases) {
    Begin(false);
    EXPECT_EQ(Put(c.text), c.result) << ToUtf8(c.text);
    EXPECT_EQ(b.state.request.FaultMsg, c.faultMsg) << ToUtf8(c.text);
    EXPECT_EQ(b.state.request.FaultItem, c.faultItem) << ToUtf8(c.text);
  }
}

TEST_F(PutTextTest, AFaultItemAlreadySetIsKept) {
  Begin(false);
  b.state.request.FaultItem = u"earlier";
  EXPECT_EQ(Put(u"R1-R2-R3"), fault::kManyHyphens);
  EXPECT_EQ(b.state.request.FaultItem, u"earlier");
}

TEST_F(PutTextTest, IgnoreIndexRowsAndOrderNumbers) {
  const struct {
    Text text;
    std::vector<Text> items;
  } cases[] = {
      {u"R1-R2-R3", {u"R1-R2-R3"}},
      {u"b, a", {u"b", u"a"}},
      {u"e,d, ,c,b,a", {u"e", u"d", u"c", u"b", u"a"}},
      {u" , ", {}},
      {u"can't, R007, r7", {Text(u"can") + kAcute + u"t", u"R007", u"r7"}},
  };
  for (const auto& c : cases) {
    Begin(true);
    Prefill();
    EXPECT_EQ(Put(c.text), fault::kNone) << ToUtf8(c.text);
    const auto n = static_cast<long>(c.items.size());
    for (long r = 1; r <= 6; ++r) {
      const bool item = r <= n;
      EXPECT_EQ(At(r, kItemText), item ? Variant(c.items[static_cast<std::size_t>(r - 1)]) : Variant())
          << ToUtf8(c.text) << " row " << r;
      // Order number 1 is written even when no Item was read.
      EXPECT_EQ(At(r, kOrderNum), item || r == 1 ? Variant(static_cast<double>(r)) : Variant())
          << ToUtf8(c.text) << " row " << r;
      for (long col : {kCellAddr, kIndexNum1, kIndexNum2, kPrefix2}) {
        EXPECT_EQ(At(r, col), Variant()) << ToUtf8(c.text) << " row " << r << " col +" << col;
      }
    }
  }
}

TEST_F(PutTextTest, TooManyItemsOnASmallGrid) {
  b.app->AddWorkbook(xl::memory::GridSize::Small).Activate();
  Begin(false);
  // 65,536 rows: room for 65,533 Items.
  EXPECT_EQ(Put(Numbered(u"R", 65534) + u",R65535"), fault::kTooManyItems);
  EXPECT_EQ(b.state.request.FaultMsg, u"Too Many Items");
  EXPECT_EQ(b.state.request.FaultItem, u"R65534");
  EXPECT_EQ(At(65533, kItemText), Variant(u"R"));
  EXPECT_EQ(At(65533, kIndexNum1), Variant(65533));
  EXPECT_EQ(At(65534, kItemText), Variant());
  EXPECT_EQ(At(1, kDistinctItem), Variant(u"R"));
  EXPECT_EQ(At(2, kDistinctItem), Variant());

  Begin(true);
  EXPECT_EQ(Put(Numbered(u"a", 65534)), fault::kTooManyItems);
  EXPECT_EQ(b.state.request.FaultItem, u"a65534");
  EXPECT_EQ(At(65533, kOrderNum), Variant(65533));
  EXPECT_EQ(At(65533, kItemText), Variant(u"a65533"));
  EXPECT_EQ(At(65534, kItemText), Variant());
}

// The progress total decides where the break key is polled: at the first piece, then
// each time another twentieth of the total is done. The host answers the first poll
// with no break and the second with the break key, so the rows read tell the total.
TEST_F(PutTextTest, ProgressTotalFromLabel2) {
  const struct {
    Text caption;
    Text activeWindow;
    long rowsRead;  // -1: no second poll, all 200 read
    std::size_t polls;
  } cases[] = {
      {u"Count = 1,234", u"a,b", 62, 2},
      {u"Items Found =   1,000 (sorted)", u"", 50, 2},
      {u"Count = 25", u"", 2, 2},
      // A caption without "=", or with 0 after it: the commas of the Active Window.
      {u"Ready", Text(40, u','), 2, 2},
      {u"Count = 0", Text(100, u','), 5, 2},
      // No commas either: the sheet's row count, so only the first poll comes.
      {u"Ready", u"no commas", -1, 1},
      {u"Count = 1E30", u"", -1, 1},
      // A number too large for a count is none.
      {u"Count = 1e400", u"", -1, 1},
      // A total of 20 or less shows nothing and never polls.
      {u"Count = 15", u"", -1, 0},
      {u"Count = 20", u"", -1, 0},
  };
  for (const auto& c : cases) {
    b.Control(host::ctl::main::kCountLabel).SetCaption(c.caption);
    Begin(false);
    b.state.request.ActiveWndw->SetText(c.activeWindow);
    b.addin.ClearLog();
    b.addin.QueueBreakAnswer(u"NoBreak");
    b.addin.QueueBreakAnswer(u"6");
    EXPECT_EQ(Put(Numbered(u"R", 200)), fault::kNone) << ToUtf8(c.caption);
    const long rows = c.rowsRead < 0 ? 200 : c.rowsRead;
    EXPECT_EQ(ColumnCount(Anchor(), kItemText), rows) << ToUtf8(c.caption);
    EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), c.polls) << ToUtf8(c.caption);
    EXPECT_EQ(b.state.request.progress.UserAbort, c.rowsRead >= 0);
    // Drop what was not asked for.
    while (b.addin.Pending(addin::Reply::BreakKey) > 0) {
      b.BeginRequest();
      host::ChkBreakKey(b.state);
    }
  }
}

TEST_F(PutTextTest, BreakKeyReturnsAtOnceLeavingTheRowsRead) {
  b.Control(host::ctl::main::kCountLabel).SetCaption(u"Count = 40");
  for (bool ignoreIndex : {false, true}) {
    Begin(ignoreIndex);
    b.addin.QueueBreakAnswer(u"NoBreak");
    b.addin.QueueBreakAnswer(u"6");
    EXPECT_EQ(Put(Numbered(u"R", 40)), fault::kNone);
    EXPECT_TRUE(b.state.request.progress.UserAbort);
    EXPECT_EQ(ColumnCount(Anchor(), kItemText), 2);
    // The end of the reading did not run: no order numbers.
    EXPECT_EQ(At(1, kOrderNum), ignoreIndex ? Variant() : Variant(u"R"));
  }
}

// A stale total far below the pieces read keeps the bar at its end and reads on.
TEST_F(PutTextTest, StaleTotalKeepsTheBarOnTheStatusBar) {
  const Text fullBar = host::ProgressBar::BarText(u" TextToPut Progress: ", 2);
  ASSERT_EQ(fullBar, u" TextToPut Progress: OOOOOOOOOOOOOOOOOOOO    Press the Ctrl key to Abort.");
  const struct {
    Text mode;
    bool written;
  } cases[] = {
      {u"Null", true},     {u"expand_ref", true},          {u"Paste_>", false},
      {u"Paste_V", false}, {u"Subtract Display V", false}, {u"Subtract Display >", false},
  };
  b.Control(host::ctl::main::kCountLabel).SetCaption(u"Count = 21");
  for (const auto& c : cases) {
    Begin(false, c.mode);
    b.app->SetStatusBar(false);
    b.services.clock.Advance(4);
    EXPECT_EQ(Put(Numbered(u"R", 500)), fault::kNone) << ToUtf8(c.mode);
    EXPECT_EQ(ColumnCount(Anchor(), kItemText), 500) << ToUtf8(c.mode);
    EXPECT_TRUE(b.state.request.progress.ProgressShown);
    EXPECT_EQ(b.app->StatusBar(), c.written ? Variant(fullBar) : Variant(false)) << ToUtf8(c.mode);
  }
}

TEST_F(PutTextTest, EitherListKeepsTheOther) {
  Begin(false);
  EXPECT_EQ(Put(u"R1, R2"), fault::kNone);
  Text text = u"S1-S3";
  EXPECT_EQ(ItemsPutText(b.state, OptionsOf(b.state), text, host::kList2), fault::kNone);
  const xl::Range second = ListAnchor(b.state, host::kList2);
  EXPECT_EQ(second.Offset(1, kItemText).Value(), Variant(u"S"));
  EXPECT_EQ(second.Offset(1, kIndexNum2).Value(), Variant(u"3"));
  EXPECT_EQ(second.Offset(1, kDistinctItem).Value(), Variant(u"S"));
  EXPECT_EQ(ColumnCount(Anchor(), kItemText), 2);
  EXPECT_EQ(At(1, kDistinctItem), Variant(u"R"));
}

}  // namespace
}  // namespace quillary::items
