#include "services/clipboard_paste.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/working_sheet.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::services {
namespace {

using Op = sys::MemoryClipboard::Operation;

constexpr long kPasteColumn = 10;  // J: ExcelPaste
constexpr long kList2Column = 11;  // K: the anchor of list 2

class ClipboardPasteTest : public ::testing::Test {
 protected:
  ClipboardPasteTest() {
    b.BeginRequest();
    host::InitPlace(b.state, host::kList2);
  }
  xl::Worksheet& Work() { return b.Sheet(host::kHiddenWorkSht); }
  Variant Cell(long row, long col = kPasteColumn) { return Work().Cells(row, col).Value(); }
  // The values of the paste column from J1 down to the last filled cell.
  std::vector<Variant> PasteColumn() {
    std::vector<Variant> out;
    const long last = Work().Cells(Work().RowsCount(), kPasteColumn).End(xl::xlUp).Row();
    for (long r = 1; r <= last; ++r) out.push_back(Cell(r));
    if (out.size() == 1 && out[0].IsEmpty()) out.clear();
    return out;
  }

  testkit::Bench b;
  sys::MemoryClipboard& clip = b.services.clipboard;
};

TEST_F(ClipboardPasteTest, StagesOneLineAsTextAndSeveralLinesAsGeneral) {
  const Text longCell = Text(32767, u'x') + u"tail";
  const struct {
    const char* name;
    Text text;
    bool joinCellsUsed;
    const char16_t* mode;
    Text clipboard;
    std::vector<Variant> column;
    std::int64_t pasteRowCount;  // 7: left as it was
    const char16_t* numberFormat;
  } cases[] = {
      {"one line", u"a, b,c", false, u"Null", u"a, b,c", {u"a, b,c"}, 1, u"@"},
      {"a number stays text", u"007", false, u"Null", u"007", {u"007"}, 1, u"@"},
      {"a Tab stays in the cell", u"a\tb", false, u"Null", u"a\tb", {u"a\tb"}, 1, u"@"},
      {"longer than a cell", longCell, false, u"Null", longCell, {Text(32767, u'x'), u"tail"}, 2, u"@"},
      {"lines become rows, converted",
       u"x\r\n12\r\nTRUE\r\ny",
       false,
       u"Null",
       u"x\r\n12\r\nTRUE\r\ny",
       {u"x", 12, true, u"y"},
       7,
       u"General"},
      // Whole passes: a run of quotes before a line break goes entirely.
      {"joined cells", u"a\t\"b\"\"\nc¨d¯e\"", true, u"Null", u"a\tb\nc,d\te", {u"a\tb", u"c,d\te"}, 7, u"General"},
      {"joined cells, one line", u"p¨q¯r\"", true, u"Null", u"p,q\tr", {u"p,q\tr"}, 1, u"@"},
      {"joined cells in COMPARE 2 keep their quotes",
       u"a\t\"b\"\nc¨d¯e\"",
       true,
       u"COMPARE 2/Uniques",
       u"a\t\"b\"\nc,d\te\"",
       {u"a\t\"b\"", u"c,d\te\""},
       7,
       u"General"},
      {"placeholders only count when cells were joined", u"p¨q¯r", false, u"Null", u"p¨q¯r", {u"p¨q¯r"}, 1, u"@"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    b.BeginRequest(c.mode);
    b.state.request.JoinCellsUsed = c.joinCellsUsed;
    b.state.request.PasteRowCount = 7;
    EXPECT_EQ(Clipbrd_Into(b.state, c.text), Staging::kStaged);
    EXPECT_EQ(clip.Contents(), c.clipboard);
    EXPECT_EQ(PasteColumn(), c.column);
    EXPECT_EQ(b.state.request.PasteRowCount, c.pasteRowCount);
    EXPECT_EQ(Work().Cells(1, kPasteColumn).NumberFormat(), Variant(c.numberFormat));
    EXPECT_TRUE(Cell(1, kList2Column).IsEmpty()) << "nothing reaches list 2";
  }
}

TEST_F(ClipboardPasteTest, AnEmptyTextOnlyEmptiesTheClipboard) {
  ASSERT_EQ(Clipbrd_Into(b.state, u"staged before"), Staging::kStaged);
  b.state.request.PasteRowCount = 5;
  EXPECT_EQ(Clipbrd_Into(b.state, u""), Staging::kCleared);
  EXPECT_EQ(clip.Contents(), u"");
  EXPECT_EQ(PasteColumn(), std::vector<Variant>{u"staged before"});
  EXPECT_EQ(b.state.request.PasteRowCount, 5);
}

TEST_F(ClipboardPasteTest, TriesTheClipboardAndThePasteUpTo49Times) {
  const struct {
    const char* name;
    Op failing;          // a clipboard operation that fails, or GetText for none
    int clipboardFails;  // failures of that operation
    int pasteFails;      // failures of the paste onto the working sheet
    Staging result;
    int setAttempts;
  } cases[] = {
      {"48 refusals of the text", Op::SetText, 48, 0, Staging::kStaged, 49},
      {"48 refusals to clear", Op::Clear, 48, 0, Staging::kStaged, 1},
      {"49 refusals of the text", Op::SetText, 49, 0, Staging::kClipboardFailed, 49},
      {"49 refusals to clear", Op::Clear, 49, 0, Staging::kClipboardFailed, 0},
      {"48 failed pastes", Op::GetText, 0, 48, Staging::kStaged, 1},
      {"49 failed pastes", Op::GetText, 0, 49, Staging::kPasteFailed, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The working sheet shows an earlier staging; the user has since copied other text.
    ASSERT_EQ(Clipbrd_Into(b.state, u"staged before"), Staging::kStaged);
    clip.SetText(u"the user's own text");
    b.state.request.PasteRowCount = 5;
    clip.ResetCounts();
    if (c.clipboardFails > 0) clip.FailNext(c.clipboardFails, c.failing);
    if (c.pasteFails > 0) b.app->InjectFailure("Worksheet.Paste", err::kApplication, "busy", 0, c.pasteFails);

    EXPECT_EQ(Clipbrd_Into(b.state, u"new text"), c.result);
    EXPECT_EQ(clip.Attempts(Op::SetText), c.setAttempts);
    switch (c.result) {
      case Staging::kStaged:
        EXPECT_EQ(clip.Contents(), u"new text");
        EXPECT_EQ(PasteColumn(), std::vector<Variant>{u"new text"});
        EXPECT_EQ(b.state.request.PasteRowCount, 1);
        break;
      case Staging::kClipboardFailed:
        // Nothing is pasted: neither the user's text nor anything measured from it.
        EXPECT_EQ(PasteColumn(), std::vector<Variant>{u"staged before"});
        EXPECT_EQ(b.state.request.PasteRowCount, 5);
        break;
      case Staging::kPasteFailed:
        EXPECT_EQ(clip.Contents(), u"new text");
        EXPECT_EQ(PasteColumn(), std::vector<Variant>{});
        EXPECT_EQ(b.state.request.PasteRowCount, 5);
        break;
      default: ADD_FAILURE();
    }
    b.app->ClearFailures();
  }
}

TEST_F(ClipboardPasteTest, AProtectedSheetIsLeftAloneEntirely) {
  clip.SetText(u"the user's own text");
  b.Control(host::ctl::mail::kOnScreenX).SetEnabled(false);
  b.app->SetScreenUpdating(true);
  b.book->ActiveSheet().Protect();
  EXPECT_EQ(Clipbrd_Into(b.state, u"new text"), Staging::kNotStaged);
  EXPECT_EQ(clip.Contents(), u"the user's own text");
  EXPECT_EQ(PasteColumn(), std::vector<Variant>{});
  EXPECT_TRUE(b.app->ScreenUpdating()) << "not even the screen is restored";

  b.book->ActiveSheet().Unprotect();
  EXPECT_EQ(Clipbrd_Into(b.state, u"new text"), Staging::kStaged);
  EXPECT_FALSE(b.app->ScreenUpdating()) << "the screen as the host wishes it";
  EXPECT_EQ(b.app->Cursor(), xl::xlWait);
}

TEST_F(ClipboardPasteTest, MakesTheWorkingSheetWhenTheWorkbookHasNone) {
  xl::Workbook& other = b.app->Workbooks().Add();
  ASSERT_EQ(host::FindHiddenWorkSht(other), nullptr);
  EXPECT_EQ(Clipbrd_Into(b.state, u"abc"), Staging::kStaged);
  xl::Worksheet* sheet = host::FindHiddenWorkSht(other);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->Range(host::kExcelPaste).Value(), Variant(u"abc"));
  EXPECT_EQ(sheet->Visible(), xl::xlSheetVeryHidden);
  EXPECT_EQ(other.ActiveSheet().Name(), u"Sheet1");
}

TEST_F(ClipboardPasteTest, PasteRowCountOverTheListsOfTheWorkingSheet) {
  // A one-line text's height is measured from J1 down, whatever the lists beside it
  // hold, up to lists that reach the sheet's last row.
  const long lastRow = Work().RowsCount();
  const struct {
    std::size_t length;
    long listRows;
    std::int64_t rows;
  } cases[] = {
      {10, 0, 1}, {10, 50, 1}, {70000, 0, 3}, {70000, 50, 3}, {10, lastRow, 1}, {70000, lastRow, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " characters, lists to row " << c.listRows);
    Work().Range(u"A:I").ClearContents();
    if (c.listRows > 0) Work().Cells(c.listRows, 3).SetValue(u"'item");
    EXPECT_EQ(Clipbrd_Into(b.state, Text(c.length, u'q')), Staging::kStaged);
    EXPECT_EQ(b.state.request.PasteRowCount, c.rows);
    EXPECT_EQ(PasteColumn().size(), static_cast<std::size_t>(c.rows));
  }
}

TEST_F(ClipboardPasteTest, AStagingOfSeveralRowsIsClearedAfterAnOkOnTheBigMessage) {
  const struct {
    const char16_t* mode;
    int bigMsgAnswer;
    std::size_t length;
    std::size_t rowsLeft;
  } cases[] = {
      {u"Null", 1, 40000, 0},
      {u"Null", 2, 40000, 2},
      {u"Null", 1, 10, 1},
      {u"Paste Safe To Cursor", 1, 40000, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << ToUtf8(c.mode) << " answer " << c.bigMsgAnswer << " length " << c.length);
    b.BeginRequest(c.mode);
    b.state.dialogs.BigMsgAnswer = c.bigMsgAnswer;
    Work().Cells(3, kList2Column).SetValue(u"'list 2");
    EXPECT_EQ(Clipbrd_Into(b.state, Text(c.length, u'q')), Staging::kStaged);
    EXPECT_EQ(PasteColumn().size(), c.rowsLeft);
    EXPECT_EQ(Cell(3, kList2Column), Variant(u"list 2")) << "only the paste column is cleared";
    EXPECT_EQ(clip.Contents(), Text(c.length, u'q')) << "the clipboard keeps the text";
  }
}

TEST_F(ClipboardPasteTest, LeavesTheTabSettingForTheUsersNextPaste) {
  xl::Worksheet& user = b.book->ActiveSheet();
  for (const bool tabs : {true, false}) {
    SCOPED_TRACE(tabs ? "Tabs split" : "Tabs kept");
    user.Range(u"A1:C1").ClearContents();
    b.state.drivers.TabSplitPaste = tabs;
    EXPECT_EQ(Clipbrd_Into(b.state, u"a\tb\tc"), Staging::kStaged);
    EXPECT_EQ(PasteColumn(), std::vector<Variant>{u"a\tb\tc"}) << "the staging itself never splits";
    EXPECT_EQ(b.app->RememberedTextToColumns().Tab, tabs);
    EXPECT_EQ(b.app->RememberedTextToColumns().TextQualifier, xl::xlTextQualifierNone);

    user.Paste(user.Range(u"A1"));
    if (tabs) {
      EXPECT_EQ(user.Range(u"A1").Value(), Variant(u"a"));
      EXPECT_EQ(user.Range(u"C1").Value(), Variant(u"c"));
    } else {
      EXPECT_EQ(user.Range(u"A1").Value(), Variant(u"a\tb\tc"));
      EXPECT_TRUE(user.Range(u"B1").Value().IsEmpty());
    }
  }
}

TEST_F(ClipboardPasteTest, UnicodeTextPassesWholeThroughTheStaging) {
  const Text smiley = u"\U0001F600";
  ASSERT_EQ(smiley.size(), 2u) << "a surrogate pair";
  const Text line = u"Grüße Ωμέγα Привет 漢字 " + smiley + u" ¨¯ end";
  const struct {
    const char* name;
    Text text;
    bool joinCellsUsed;
    Text clipboard;
    std::vector<Variant> column;
  } cases[] = {
      {"one line", line, false, line, {line}},
      {"several lines",
       line + u"\r\n" + smiley + u"\r\nЖ",
       false,
       line + u"\r\n" + smiley + u"\r\nЖ",
       {line, smiley, u"Ж"}},
      {"joined cells",
       smiley + u"¨" + smiley + u"¯€",
       true,
       smiley + u"," + smiley + u"\t€",
       {smiley + u"," + smiley + u"\t€"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    b.state.request.JoinCellsUsed = c.joinCellsUsed;
    EXPECT_EQ(Clipbrd_Into(b.state, c.text), Staging::kStaged);
    EXPECT_EQ(clip.Contents(), c.clipboard);
    EXPECT_EQ(PasteColumn(), c.column);
  }
}

TEST_F(ClipboardPasteTest, ClipboardRefusalsToEmptyAreRaisedWithTheTrail) {
  clip.FailNext(1, Op::Clear);
  check::ExpectRaises([&] { (void)Clipbrd_Into(b.state, u""); }, sys::MemoryClipboard::kClipboardErrorNumber,
                      "Clipbrd_Into: Clipboard_Clear: ");
}

class TextToColSettingTest : public ClipboardPasteTest {
 protected:
  xl::Range Landing() { return Work().Range(host::kExcelPaste); }
};

TEST_F(TextToColSettingTest, KeepsTheCellAndItsAlignment) {
  const struct {
    const char* name;
    Variant entry;  // typed into J1 ("" leaves it empty)
    bool tabOn;
    Variant value;
    bool formula;
  } cases[] = {
      {"empty", u"", true, Variant(), false},
      {"a number", 12.5, true, 12.5, false},
      {"a text that looks like a number", u"'007", false, u"007", false},
      {"a text", u"'abc", true, u"abc", false},
      {"a formula", u"=12", false, 12.0, true},
      {"an empty text", u"'", true, Variant(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Landing().ClearContents();
    Landing().SetValue(c.entry);
    Landing().SetHorizontalAlignment(xl::xlRight);
    Landing().SetVerticalAlignment(xl::xlTop);
    TextToColSetting(b.state, c.tabOn);
    EXPECT_EQ(Landing().Value(), c.value);
    EXPECT_EQ(Landing().HasFormula(), c.formula);
    EXPECT_EQ(Landing().HorizontalAlignment(), Variant(xl::xlRight));
    EXPECT_EQ(Landing().VerticalAlignment(), Variant(xl::xlTop));
    const xl::TextToColumnsSettings& remembered = b.app->RememberedTextToColumns();
    EXPECT_EQ(remembered.Tab, c.tabOn);
    EXPECT_FALSE(remembered.Semicolon || remembered.Comma || remembered.Space || remembered.Other);
    EXPECT_EQ(remembered.TextQualifier, xl::xlTextQualifierNone);
  }
}

TEST_F(TextToColSettingTest, ATabInTheCellDoesNotSpillIntoList2) {
  Landing().SetValue(u"'left\tmiddle\tright");
  TextToColSetting(b.state, true);
  EXPECT_EQ(Landing().Value(), Variant(u"left\tmiddle\tright"));
  EXPECT_TRUE(Cell(1, kList2Column).IsEmpty());
  EXPECT_TRUE(Cell(1, kList2Column + 1).IsEmpty());
  EXPECT_TRUE(b.app->RememberedTextToColumns().Tab);
}

TEST_F(TextToColSettingTest, DoesNothingInShutDownMode) {
  b.BeginRequest(u"ShutDown");
  TextToColSetting(b.state, true);
  TextToColSetting(b.state, false);
  EXPECT_TRUE(b.app->RememberedTextToColumns().Tab) << "the application's default stays";
  EXPECT_EQ(b.app->RememberedTextToColumns().TextQualifier, xl::xlTextQualifierDoubleQuote);
}

TEST_F(ClipboardPasteTest, ExcelPasteClearEmptiesOnlyThePasteColumn) {
  ASSERT_EQ(Clipbrd_Into(b.state, Text(70000, u'q')), Staging::kStaged);
  Work().Cells(2, kList2Column).SetValue(u"'list 2");
  Work().Cells(5, 1).SetValue(u"'list 1");
  ExcelPasteClear(b.state);
  EXPECT_EQ(PasteColumn(), std::vector<Variant>{});
  EXPECT_EQ(Cell(2, kList2Column), Variant(u"list 2"));
  EXPECT_EQ(Cell(5, 1), Variant(u"list 1"));
}

}  // namespace
}  // namespace quillary::services
