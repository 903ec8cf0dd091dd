#include "sheets/report_view.h"

#include "host/callbacks.h"
#include "platform/excel/excel.h"
#include "platform/runtime/vba.h"

namespace quillary::sheets {

namespace {

// The version from which windows can be compared side by side with synchronized
// scrolling.
constexpr double kSideBySideVersion = 11;

}  // namespace

Text ReportViewQuestion(const Text& mode, bool oldVersion) {
  Text q = u"[Report View?]( ";
  q += mode;
  q += u" ): How would you like to arrange the Original Input List and the Output Results List for viewing?";
  q += host::kParagraph;
  q += u"Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without "
       u"displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.";
  q += host::kParagraph;
  q += u"Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both "
       u"the original sheet and the output results sheet ";
  if (oldVersion) q += u"(synchronized scrolling support added in Excel 2003).";
  q += host::kParagraph;
  q += u"Maximize: Maximizes the new smaller Excel window. ";
  q += u'\r';
  q += u"Keep Small Window: To leave the windows as presently displayed.";
  if (oldVersion) {
    q += host::kParagraph;
    q += u"If you choose to Compare Side-by-Side, use Excel's related toolbar to control how to synchronize both "
         u"windows as you scroll through one window.";
  }
  q += host::kParagraph;
  q += u"If you already have multiple Excel windows open, you might want to minimize some of them and then use "
       u"Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.";
  return q;
}

void ReportViewArrange(host::State& s, const Text& inputWindow) {
  xl::Application& app = s.App();
  const Text resultWindow = app.ActiveWindow()->Caption();
  const Text resultSheet = s.ActiveBook().ActiveSheet().Name();
  HideMainUserForm(s);

  const Text held = s.Control(host::ctl::mail::kModeHold).Caption();
  const Text mode = host::ModeOf(held) == host::ModeId::kNetlistConvert ? held : s.request.vbaMode.Text();
  const double version = vba::Val(app.Version());
  const double answer = MsgBoxDLL(s, ReportViewQuestion(mode, version < kSideBySideVersion),
                                  host::msgbox::kYesNoCancel + host::msgbox::kDefaultButton2);

  if (answer == host::msgbox::kAnswerYes) {
    if (version >= kSideBySideVersion) {
      app.Windows().CompareSideBySideWith(inputWindow);
      app.Windows().SetSyncScrollingSideBySide(true);
    }
    app.Windows().Arrange(xl::xlArrangeStyleVertical, true);
  } else if (answer == host::msgbox::kAnswerNo) {
    xl::Workbook& book = s.ActiveBook();
    // Closing a workbook's only window would close the workbook itself: the result
    // window is closed only while another window shows the workbook.
    if (book.Windows().Count() > 1) book.Windows().Item(resultWindow).Close();
    book.Worksheets().Item(resultSheet).Activate();
    book.Windows().Item(app.ActiveWindow()->Caption()).SetWindowState(xl::xlMaximized);
  }
}

}  // namespace quillary::sheets
