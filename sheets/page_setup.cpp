#include "sheets/page_setup.h"

#include <string>

#include "host/screen.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"

namespace quillary::sheets {

namespace {

void PageSetUp(host::State& s, bool titleRow) {
  // This routine's trail names the mode it ran in as well.
  const std::string trailName = "SetUpPrinter;" + ToUtf8(s.request.vbaMode.Text());
  ErrorTrail(trailName, [&] {
    xl::Application& app = s.App();
    xl::Worksheet& sheet = s.ActiveBook().ActiveSheet();
    xl::PageSetup page = sheet.GetPageSetup();

    ScreenOn(s);
    page.PrintArea = app.ActiveWindow()->RangeSelection().Address();
    ScreenRestore(s);

    page.CenterHeader = u"&F";
    page.RightHeader = u"&D Page &P of &N";
    page.HeaderMargin = app.InchesToPoints(0.5);
    page.TopMargin = app.InchesToPoints(0.75);
    page.BottomMargin = app.InchesToPoints(0.5);
    page.FooterMargin = app.InchesToPoints(0.5);
    page.LeftMargin = app.InchesToPoints(0.75);
    page.RightMargin = app.InchesToPoints(0.5);
    page.Zoom = false;
    page.FitToPagesWide = 1;
    page.FitToPagesTall = 200;
    if (titleRow) page.PrintTitleRows = sheet.Rows(1).Address();
    page.CenterHorizontally = true;
    sheet.SetPageSetup(page);
  });
}

}  // namespace

void SetUpPrinter(host::State& s) { PageSetUp(s, true); }

void SetUpPrinterWithoutTitles(host::State& s) { PageSetUp(s, false); }

}  // namespace quillary::sheets
