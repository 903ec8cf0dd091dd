#include "sheets/report_view.h"

#include <gtest/gtest.h>

#include "platform/excel/excel.h"
#include "testkit/bench.h"

namespace quillary::sheets {

namespace {

// The state after a result sheet was finished: the source sheet "Parts" in window 1,
// the result sheet in a second window, which is active.
struct Arranged {
  explicit Arranged(bool secondWindow = true) {
    b.book->ActiveSheet().SetName(u"Parts");
    if (secondWindow) b.app->ActiveWindow()->NewWindow();
    xl::SheetCollection& sheets = b.book->Worksheets();
    sheets.Add({.Before = nullptr, .After = &sheets.Item(1), .Count = 1}).SetName(u"Parts-Reduced1");
  }
  testkit::Bench b;
};

TEST(ReportViewArrange, TheQuestionAndTheArrangementByVersionAndAnswer) {
  const struct {
    const char16_t* version;
    bool oldVersion;  // below 11: the notes on side-by-side support
    int answer;
    bool sideBySide;  // compared with the input window, scrolling in step
    bool arranged;    // arranged vertically
    long windowsAfter;
  } cases[] = {
      {u"10.0", true, 6, false, true, 2}, {u"9.0", true, 6, false, true, 2},    {u"11.0", false, 6, true, true, 2},
      {u"16.0", false, 6, true, true, 2}, {u"16.0", false, 2, false, false, 2}, {u"10.0", true, 7, false, false, 1},
  };
  for (const auto& c : cases) {
    Arranged a;
    testkit::Bench& b = a.b;
    b.app->SetVersion(c.version);
    b.BeginRequest(u"REDUCE_Rows to One");
    b.addin.QueueMessageAnswer(c.answer);
    ReportViewArrange(b.state, u"Book1:1");

    const auto messages = b.addin.Messages();
    ASSERT_EQ(messages.size(), 1u);
    // The mode as it stands, not cleaned.
    EXPECT_EQ(messages[0].prompt, ReportViewQuestion(u"REDUCE_Rows to One", c.oldVersion)) << ToUtf8(c.version);
    EXPECT_EQ(messages[0].style, 259);
    EXPECT_FALSE(b.addin.IsShown(u"MainUserForm"));

    EXPECT_EQ(b.app->SideBySideWith(), c.sideBySide ? u"Book1:1" : u"") << ToUtf8(c.version) << c.answer;
    EXPECT_EQ(b.app->Windows().SyncScrollingSideBySide(), c.sideBySide);
    EXPECT_EQ(b.app->ArrangeStyle(), c.arranged ? xl::xlArrangeStyleVertical : 0);
    EXPECT_EQ(b.book->Windows().Count(), c.windowsAfter);
    EXPECT_EQ(b.book->ActiveSheet().Name(), u"Parts-Reduced1");
    const long state = b.app->ActiveWindow()->WindowState();
    EXPECT_EQ(state == xl::xlMaximized, c.answer == 7);
  }
}

TEST(ReportViewArrange, TheNetlistConversionIsNamedWhileItRuns) {
  Arranged a;
  testkit::Bench& b = a.b;
  b.Control(host::ctl::mail::kModeHold).SetCaption(u"Netlist Cnvrt:Telesis");
  b.BeginRequest(u"REDUCE Rows to One");
  b.addin.QueueMessageAnswer(2);
  ReportViewArrange(b.state, u"Book1:1");
  ASSERT_EQ(b.addin.Messages().size(), 1u);
  EXPECT_EQ(b.addin.Messages()[0].prompt.rfind(u"[Report View?]( Netlist Cnvrt:Telesis ): How would", 0), 0u);
}

// Maximizing closes the result's window only while another window shows the workbook:
// closing its only window would close the workbook.
TEST(ReportViewArrange, MaximizeNeverClosesTheWorkbook) {
  Arranged a(false);
  testkit::Bench& b = a.b;
  b.BeginRequest(u"REDUCE Rows to One");
  b.addin.QueueMessageAnswer(7);
  ReportViewArrange(b.state, u"Book1");
  ASSERT_EQ(b.app->ActiveWorkbook(), b.book);
  EXPECT_EQ(b.book->Windows().Count(), 1);
  EXPECT_EQ(b.app->ActiveWindow()->WindowState(), xl::xlMaximized);
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Parts-Reduced1");
}

}  // namespace
}  // namespace quillary::sheets
