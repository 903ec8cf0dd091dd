#include "drivers/paste_to_cursor.h"

#include <gtest/gtest.h>

#include "drivers/messages.h"
#include "drivers/routines.h"
#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

namespace ctl = host::ctl;
constexpr int kOk = host::msgbox::kAnswerOk;
constexpr int kCancel = host::msgbox::kAnswerCancel;
constexpr int kActiveWindow = 1;
constexpr int kClipboard = 2;

// The cursor at C3 of Sheet1.
class PasteToCursorTest : public ::testing::Test {
 protected:
  PasteToCursorTest() {
    b.routines = BuildRoutines();
    b.addin.SetHook(u"ShowBigMsgForm", [this](std::span<Variant>) {
      ok = b.forms.bigMsg.Item(u"OK_Button").Caption();
      option = b.forms.bigMsg.Item(u"Option_Button").Caption();
      help = b.forms.bigMsg.Item(u"Textbox1").Text();
    });
  }
  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  xl::Range At(TextView ref) { return Sheet().Range(ref); }
  Variant Value(TextView ref) { return At(ref).Value(); }
  void Window(const Text& text) { b.Control(ctl::main::kTextbox1).SetValue(text); }

  void Paste(int source, TextView cursor = u"C3:D9", const char16_t* mode = u"Paste Safe To Cursor") {
    At(cursor).Select();
    b.addin.QueueBigMsgAnswer(source);
    b.BeginRequest(mode);
    PasteToCurs(b.state);
  }
  std::vector<Text> Prompts() {
    std::vector<Text> out;
    for (const auto& m : b.addin.Messages()) out.push_back(m.prompt);
    return out;
  }
  Text Selection() { return b.app->Selection()->Address(); }
  static Text Titled(TextView text) { return Text(u"( Paste Safe To Cursor ): ").append(Text(text)); }
  // The closing steps ran: the staged text is gone and the main form is shown.
  void ExpectClosed() {
    EXPECT_TRUE(b.Sheet(host::kHiddenWorkSht).Cells(1, 10).Value().IsEmpty());
    EXPECT_EQ(b.addin.CallsOf(u"ShowMainUserForm").size(), 1u);
  }

  testkit::Bench b;
  Text ok, option, help;
};

TEST_F(PasteToCursorTest, CancellingTheSourceQuestionOnlyCloses) {
  Window(u"R1");
  Paste(0);
  EXPECT_EQ(ok, u"Active Window");
  EXPECT_EQ(option, u"Text FromClipbrd");
  EXPECT_TRUE(
      help.starts_with(u"\"Paste Safe To Cursor\" has been initiated.   OK To Paste to Worksheet?\rExcel's "
                       u"Undo will not revert this!\r\rACTIVE WINDOW: "));
  EXPECT_NE(help.find(u"\r\r\r"), Text::npos);
  EXPECT_TRUE(help.ends_with(u"Excel will give a warning message."));
  EXPECT_EQ(b.forms.bigMsg.Item(u"OK_Button").Caption(), u"OK");
  EXPECT_FALSE(b.forms.bigMsg.Item(u"Option_Button").Visible());
  EXPECT_TRUE(b.app->RememberedTextToColumns().Tab) << "the Tab setting is left alone";
  EXPECT_TRUE(Value(u"C3").IsEmpty());
  ExpectClosed();
}

TEST_F(PasteToCursorTest, AnotherModeOnlyCloses) {
  Window(u"R1");
  At(u"C3").Select();
  b.BeginRequest(u"Null");
  PasteToCurs(b.state);
  EXPECT_TRUE(b.addin.CallsOf(u"ShowBigMsgForm").empty());
  EXPECT_TRUE(Value(u"C3").IsEmpty());
  ExpectClosed();
}

TEST_F(PasteToCursorTest, LinesOfTheActiveWindowGoDownTheColumnAsText) {
  Window(u"a\r\n007\r\nTRUE\r\n=1+1\r\n");
  At(u"C3").SetHorizontalAlignment(xl::xlRight);
  At(u"C5").Font().SetBold(true);
  Paste(kActiveWindow);
  EXPECT_EQ(At(u"C3:C7").Values(),
            (std::vector<Variant>{Variant(u"a"), Variant(u"007"), Variant(u"TRUE"), Variant(u"=1+1"), Variant(u"")}));
  EXPECT_FALSE(At(u"C6").HasFormula());
  EXPECT_EQ(At(u"C3:C7").HorizontalAlignment(), Variant(xl::xlRight));
  EXPECT_EQ(At(u"C3:C7").VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(At(u"C5").Font().Bold(), Variant(false)) << "the destination's formats were cleared";
  EXPECT_EQ(Selection(), u"$C$3:$C$7");
  EXPECT_EQ(b.services.clipboard.Contents(), u"") << "emptied, and not used for several lines";
  ExpectClosed();
}

TEST_F(PasteToCursorTest, OneLineIsStagedAndWrittenIntoTheCursorCell) {
  Window(u"=SUM(1),12");
  Paste(kActiveWindow);
  EXPECT_EQ(Value(u"C3"), Variant(u"=SUM(1),12"));
  EXPECT_TRUE(Value(u"C4").IsEmpty());
  EXPECT_EQ(b.services.clipboard.Contents(), u"=SUM(1),12");
  ExpectClosed();
}

TEST_F(PasteToCursorTest, AOneLineTextLongerThanACellAsksAndGoesDownInPieces) {
  const Text text = Text(32767, u'x') + u"=tail";
  for (const int answer : {kCancel, kOk}) {
    SCOPED_TRACE(answer);
    b.addin.ClearLog();
    Window(text);
    b.addin.QueueMessageAnswer(answer);
    Paste(kActiveWindow);
    const Text question = Prompts().at(0);
    EXPECT_EQ(question, Titled(host::Paragraphs({msg::kLongLineMsg,
                                                 u"There are 32,771 text characters to attempt to paste into a single "
                                                 u"cell. But they will use 2 rows instead.",
                                                 msg::kLongLineMsg3, msg::kLongLineMsg4, msg::kLongLineMsg5})));
    EXPECT_EQ(b.addin.Messages()[0].style, 65);
    EXPECT_EQ(Selection(), u"$C$3:$C$4");
    if (answer == kOk) {
      EXPECT_EQ(Value(u"C3"), Variant(Text(32767, u'x')));
      EXPECT_EQ(Value(u"C4"), Variant(u"=tail"));
    } else {
      EXPECT_TRUE(Value(u"C3").IsEmpty());
    }
  }
}

TEST_F(PasteToCursorTest, ADuplicatesSummaryFillsThreeColumns) {
  Window(u"Duplicates_Summary  (ready to paste)\r\nDup\t     2\tR1\r\nDup\t    13\t007");
  Paste(kActiveWindow);
  EXPECT_EQ(Value(u"C3"), Variant(u"Duplicates_Summary"));
  EXPECT_EQ(At(u"C4:E5").Values(), (std::vector<Variant>{Variant(u"Dup"), Variant(2.0), Variant(u"R1"), Variant(u"Dup"),
                                                         Variant(13.0), Variant(u"007")}));
  EXPECT_EQ(Selection(), u"$C$3:$E$5");
  EXPECT_TRUE(b.app->RememberedTextToColumns().Tab) << "left on after a summary";
}

TEST_F(PasteToCursorTest, TheSummaryHeaderCountsOnlyAtTheStart) {
  Window(u"x\r\nDuplicates_Summary  (ready to paste)\r\nDup\t2\ty");
  Paste(kActiveWindow);
  EXPECT_EQ(
      At(u"C3:C5").Values(),
      (std::vector<Variant>{Variant(u"x"), Variant(u"Duplicates_Summary  (ready to paste)"), Variant(u"Dup\t2\ty")}));
}

TEST_F(PasteToCursorTest, JoinedRowsComeBackAsColumns) {
  for (const bool commaSpace : {false, true}) {
    SCOPED_TRACE(commaSpace);
    At(u"C3:E5").ClearContents();
    b.Control(ctl::main::kCommaSpace).SetValue(commaSpace);
    // The second line has fewer cells than the first: its missing cells stay empty and
    // the lines after it keep their places.
    Window(u"a\u00AFb\u00AFc\r\nd\r\ng\u00AFh\u00A8i\u00AFj");
    Paste(kActiveWindow);
    EXPECT_EQ(At(u"C3:E5").Values(),
              (std::vector<Variant>{Variant(u"a"), Variant(u"b"), Variant(u"c"), Variant(u"d"), Variant(), Variant(),
                                    Variant(u"g"), Variant(commaSpace ? u"h, i" : u"h,i"), Variant(u"j")}));
  }
}

TEST_F(PasteToCursorTest, AOneLineJoinedTextWithCommasStaysInOneCell) {
  Window(u"a\u00AFb,c");
  Paste(kActiveWindow);
  EXPECT_EQ(Value(u"C3"), Variant(u"a\tb\tc"));
  EXPECT_TRUE(Value(u"D3").IsEmpty());
}

TEST_F(PasteToCursorTest, ClipboardTextIsWrittenAsItLandedOnTheWorkingSheet) {
  b.services.clipboard.SetText(u"a\u00AFb\tc\r\n12\r\nx");
  Paste(kClipboard);
  EXPECT_EQ(At(u"C3:C5").Values(), (std::vector<Variant>{Variant(u"a\u00AFb\tc"), Variant(u"12"), Variant(u"x")}));
  EXPECT_TRUE(Value(u"D3").IsEmpty()) << "the clipboard's text is written into the cursor column only";
  EXPECT_EQ(Selection(), u"$C$3:$D$5") << "a joined text widens the destination that is checked";
  EXPECT_EQ(b.services.clipboard.Contents(), u"a\u00AFb\tc\r\n12\r\nx");
  ExpectClosed();
}

TEST_F(PasteToCursorTest, AClipboardPasteSplitAtTabsIsReadOverItsWholeWidth) {
  // A platform that splits pasted text at Tabs whatever the remembered setting says.
  b.app->SetClipboardReader([this] {
    xl::TextToColumnsSettings splitAtTabs = b.app->RememberedTextToColumns();
    splitAtTabs.Tab = true;
    b.app->SetRememberedTextToColumns(splitAtTabs);
    return b.services.clipboard.Contents();
  });
  host::InitPlace(b.state, host::kList2);
  b.Sheet(host::kHiddenWorkSht).Range(u"K2").SetValue(u"list 2");
  b.services.clipboard.SetText(u"a\tb\r\n12");
  Paste(kClipboard);
  EXPECT_EQ(At(u"C3:D4").Values(), (std::vector<Variant>{Variant(u"a"), Variant(u"b"), Variant(u"12"), Variant()}));
}

TEST_F(PasteToCursorTest, AnEmptySourceIsReported) {
  Window(u"");
  b.addin.QueueMessageAnswer(kOk);
  Paste(kActiveWindow);
  EXPECT_EQ(Prompts(), std::vector<Text>{Titled(msg::kNoWindowTextMsg)});
  ExpectClosed();

  b.addin.ClearLog();
  b.services.clipboard.Clear();
  b.addin.QueueMessageAnswer(kOk);
  Paste(kClipboard);
  EXPECT_EQ(Prompts().at(0),
            host::Paragraphs({msg::kPasteErrorMsg, Text(msg::kPasteErrorMsg2) + u"1048576).", msg::kPasteErrorMsg3}));
  EXPECT_EQ(b.addin.Messages()[0].style, 0);
}

TEST_F(PasteToCursorTest, NothingIsWrittenOverData) {
  Window(u"a\r\nb\r\nc");
  At(u"C5").SetValue(u"mine");
  At(u"C4").SetValue(u"=\"\"");
  b.addin.QueueMessageAnswer(kOk);
  Paste(kActiveWindow);
  EXPECT_EQ(Prompts(), std::vector<Text>{Titled(host::Paragraphs(
                           {msg::kWillNotOverwriteMsg, u"There are 2 cells that have data which would be overwritten.",
                            msg::kWillNotOverwriteMsg3}))});
  EXPECT_TRUE(Value(u"C3").IsEmpty());
  EXPECT_EQ(Selection(), u"$C$3:$C$5") << "left selected for the Delete key";
  ExpectClosed();
}

TEST_F(PasteToCursorTest, TextsThatDoNotFitTheSheetAreRefused) {
  const long rows = Sheet().RowsCount();
  const struct {
    const char* what;
    Text text;
    Text cursor;
    Text prompt;
  } cases[] = {
      {"two lines at the last row", u"a\r\nb", Text(u"A").append(vba::IntegerText(rows)), Titled(msg::kTooManyRowsMsg)},
      {"a summary at the last column but one", u"Duplicates_Summary  (ready to paste)\r\nDup\t2\tx", u"XFC1",
       Titled(msg::kTooFewColumnsMsg)},
      {"a joined text too wide", u"a\u00AFb\r\nc", u"XFD1",
       Titled(host::Paragraphs(
           {msg::kTooFewColumnsMsg, Text(msg::kJoinedTooWideMsg2) + u"\"Join\"" + msg::kJoinedTooWideMsg3}))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    b.addin.ClearLog();
    b.Control(ctl::compdup::kJoinCells).SetCaption(u"Join");
    Window(c.text);
    b.addin.QueueMessageAnswer(kOk);
    Paste(kActiveWindow, c.cursor);
    EXPECT_EQ(Prompts(), std::vector<Text>{c.prompt});
    ExpectClosed();
  }
}

TEST_F(PasteToCursorTest, AWorksheetFaultDuringTheWriteStopsIt) {
  At(u"C3:C4").SetLocked(false);
  Sheet().Protect();
  Window(u"a\r\nb");
  b.addin.QueueMessageAnswer(kOk);
  Paste(kActiveWindow);
  EXPECT_EQ(Prompts(), std::vector<Text>{Titled(msg::kWorksheetFaultMsg)});
  ExpectClosed();
}

TEST_F(PasteToCursorTest, TheBreakKeyStopsTheWrite) {
  Text text;
  for (int i = 0; i < 100; ++i) text += u"line\r\n";
  Window(text + u"end");
  b.addin.QueueBreakAnswer(u"6");
  Paste(kActiveWindow);
  EXPECT_TRUE(b.state.request.progress.UserAbort);
  EXPECT_TRUE(Value(u"C3").IsEmpty());
  ExpectClosed();
}

TEST_F(PasteToCursorTest, AnEmptyClipboardThatPastesShowsTheNoTextMessage) {
  // A clipboard whose text lands as one empty cell.
  b.app->SetClipboardReader([] { return Text(u"\r\n"); });
  b.addin.QueueMessageAnswer(kOk);
  Paste(kClipboard);
  EXPECT_EQ(Prompts().at(0),
            host::Paragraphs({msg::kNoClipboardTextMsg, msg::kNoClipboardTextMsg2, msg::kNoClipboardTextMsg3}));
  EXPECT_EQ(Selection(), u"$C$3");
  ExpectClosed();
}

}  // namespace
}  // namespace quillary::drivers
