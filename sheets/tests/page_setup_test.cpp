#include "sheets/page_setup.h"

#include <gtest/gtest.h>

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::sheets {

namespace {

TEST(SetUpPrinter, TheDefaultPageSetUp) {
  const struct {
    const char16_t* selection;
    const char16_t* printArea;
  } cases[] = {
      {u"B5:D20", u"$B$5:$D$20"},
      // Every area of the selection; the title row is row 1 all the same.
      {u"C10:C12,E3:F4", u"$C$10:$C$12,$E$3:$F$4"},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    b.Cell(c.selection).Select();
    b.Control(host::ctl::mail::kOnScreenX).SetEnabled(false);
    b.BeginRequest(u"Paste_V");
    SetUpPrinter(b.state);
    const xl::PageSetup page = b.book->ActiveSheet().GetPageSetup();
    EXPECT_EQ(page.PrintArea, c.printArea);
    EXPECT_EQ(page.CenterHeader, u"&F");
    EXPECT_EQ(page.RightHeader, u"&D Page &P of &N");
    EXPECT_DOUBLE_EQ(page.HeaderMargin, 36);
    EXPECT_DOUBLE_EQ(page.TopMargin, 54);
    EXPECT_DOUBLE_EQ(page.BottomMargin, 36);
    EXPECT_DOUBLE_EQ(page.FooterMargin, 36);
    EXPECT_DOUBLE_EQ(page.LeftMargin, 54);
    EXPECT_DOUBLE_EQ(page.RightMargin, 36);
    EXPECT_EQ(page.Zoom, Variant(false));
    EXPECT_EQ(page.FitToPagesWide, Variant(1));
    EXPECT_EQ(page.FitToPagesTall, Variant(200));
    EXPECT_EQ(page.PrintTitleRows, u"$1:$1");
    EXPECT_TRUE(page.CenterHorizontally);
    // The screen is left as the host wishes it.
    EXPECT_FALSE(b.app->ScreenUpdating());
    EXPECT_TRUE(b.addin.Messages().empty());
  }
}

TEST(SetUpPrinter, AnErrorNamesTheModeInItsTrail) {
  testkit::Bench b;
  b.BeginRequest(u"REDUCE Rows to One");
  b.app->ActiveWindow()->Close();  // no workbook left to set up
  const Error e = check::ExpectRaises([&] { SetUpPrinter(b.state); }, err::kObjectNotSet);
  EXPECT_EQ(e.Source(), "SetUpPrinter;REDUCE Rows to One: Quillary");
}

}  // namespace
}  // namespace quillary::sheets
