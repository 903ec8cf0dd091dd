#include "services/swap_display.h"

#include <gtest/gtest.h>

#include "host/working_sheet.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"
#include "testkit/bench.h"

namespace quillary::services {
namespace {

namespace ctl = host::ctl;

class SwapTest : public ::testing::Test {
 protected:
  void Swap(const Text& text, const char16_t* mode = u"Null") {
    b.Control(ctl::main::kTextbox1).SetValue(text);
    b.BeginRequest(mode);
    SwapActiveWindow(b.state);
  }
  Text Window() { return b.Control(ctl::main::kTextbox1).Text(); }
  Text Caption(const host::ControlId& id) { return b.Control(id).Caption(); }
  bool Notice() { return vba::EqualsTrue(b.Control(ctl::main::kNotice).Value()); }
  Variant Staged(long row = 1) { return b.Sheet(host::kHiddenWorkSht).Cells(row, 10).Value(); }

  testkit::Bench b;
};

TEST_F(SwapTest, TurnsTheTextBetweenOneLineAndOneItemPerLine) {
  const struct {
    const char* what;
    Text text;
    bool commaSpace, ignoreIndex;
    const char16_t* mode;
    Text result;
    const char16_t* ready;
  } cases[] = {
      {"a comma list becomes lines", u"R1, C2,U3", false, false, u"Null", u"R1\r\nC2\r\nU3",
       u"Ready for multiple cell pasting (columnar)."},
      {"lines join with a comma and a blank", u"R1\r\nC2\r\nU3", true, false, u"Null", u"R1, C2, U3",
       u"Ready for single cell pasting."},
      {"lines join with a bare comma", u"R1\r\nC2\r\nU3", false, false, u"Null", u"R1,C2,U3",
       u"Ready for single cell pasting."},
      {"IgnoreIndex# joins with a bare comma", u"a\r\nb, c", true, true, u"Null", u"a,b,c",
       u"Ready for single cell pasting."},
      {"every line that would be a formula is guarded", u"-1,=x,(12),$5,%a,@b,+c", false, false, u"Null",
       u" -1\r\n =x\r\n (12)\r\n $5\r\n %a\r\n @b\r\n +c", u"Ready for multiple cell pasting (columnar)."},
      {"the guards go when the lines are joined again", u" -1\r\n =x\r\n (12)", true, false, u"Null", u" -1, =x, (12)",
       u"Ready for single cell pasting."},
      {"one Item stays, guarded", u"=R1", false, false, u"Null", u" =R1", u"Ready for single cell pasting."},
      {"expand_ref keeps a comma list on one line", u"R1,R2", false, false, u"expand_ref", u"R1,R2",
       u"Ready for single cell pasting."},
      {"line feeds alone are no line breaks", u"a\nb", false, false, u"Null", u"a\nb",
       u"Ready for single cell pasting."},
      {"an empty window", u"", false, false, u"Null", u"", u"Ready for single cell pasting."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    b.Control(ctl::main::kCommaSpace).SetValue(c.commaSpace);
    b.Control(ctl::main::kIgnoreIndex).SetValue(c.ignoreIndex);
    b.Control(ctl::main::kMessageLabel).SetCaption(u"");
    Swap(c.text, c.mode);
    EXPECT_EQ(Window(), c.result);
    EXPECT_EQ(Caption(ctl::main::kMessageLabel), c.ready);
    EXPECT_TRUE(Notice());
    EXPECT_EQ(b.services.clipboard.Contents(), c.result) << "staged for pasting";
    EXPECT_EQ(Caption(ctl::main::kCharactersLabel),
              u"     " + vba::Format(static_cast<double>(c.result.size()), u"##,##0") + u" Characters.");
  }
}

TEST_F(SwapTest, PreExpandRefReshapesButStagesNothing) {
  b.Control(ctl::main::kMessageLabel).SetCaption(u"as it was");
  Swap(u"a,b", u"PreExpand_Ref");
  EXPECT_EQ(Window(), u"a\r\nb");
  EXPECT_EQ(Caption(ctl::main::kMessageLabel), u"as it was");
  EXPECT_EQ(b.services.clipboard.Contents(), u"");
  EXPECT_EQ(Caption(ctl::main::kCharactersLabel), u"     4 Characters.");
}

TEST_F(SwapTest, TheActiveWindowIsTakenAnewByItsColour) {
  b.Control(ctl::main::kTextbox1).SetBackColor(forms::kInactiveWindowColour);
  b.Control(ctl::main::kTextbox2).SetBackColor(forms::kActiveWindowColour);
  b.Control(ctl::main::kTextbox2).SetValue(u"x,y");
  Swap(u"left alone");
  EXPECT_EQ(Window(), u"left alone");
  EXPECT_EQ(b.Control(ctl::main::kTextbox2).Text(), u"x\r\ny");
  EXPECT_EQ(b.state.request.ActiveWndw, &b.Control(ctl::main::kTextbox2));
}

TEST_F(SwapTest, AProtectedSheetDoesNotStopTheStaging) {
  b.book->ActiveSheet().Protect();
  Swap(u"R1,R2");
  EXPECT_EQ(b.services.clipboard.Contents(), u"R1\r\nR2");
  EXPECT_EQ(Staged(2), Variant(u"R2"));
  EXPECT_EQ(Caption(ctl::main::kMessageLabel), u"Ready for multiple cell pasting (columnar).");
}

TEST_F(SwapTest, ALineTooLongForOneCellIsNotedWithTheHiddenCells) {
  const Text text = Text(20000, u'a') + u" " + Text(20000, u'b');
  b.BeginRequest();
  b.Control(ctl::main::kTextbox1).SetValue(text);
  b.state.request.HiddenCellsSkipped = true;
  SwapActiveWindow(b.state);
  EXPECT_EQ(b.state.request.PasteRowCount, 2);
  EXPECT_EQ(Caption(ctl::main::kCharactersLabel), u"     40,001 Chars. Can't single cell paste. Hidden cells.");
  EXPECT_TRUE(Notice());
}

TEST_F(SwapTest, ABusyClipboardIsNotReportedAsReady) {
  b.services.clipboard.FailNext(kClipboardTries, sys::MemoryClipboard::Operation::SetText);
  Swap(u"R1,R2");
  EXPECT_EQ(Window(), u"R1\r\nR2");
  EXPECT_EQ(Caption(ctl::main::kMessageLabel), u"ClipBrd busy: text NOT copied.");
}

}  // namespace
}  // namespace quillary::services
