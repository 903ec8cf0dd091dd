#include "host/connect.h"

#include <string>

#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::host {

namespace {

// Step 2 of a request: a working sheet that the user made visible is very hidden again,
// and the user's active sheet stays active. When the working sheet itself was the
// active sheet, hiding it has made another sheet active, and that one stays: the
// working sheet cannot be active while hidden.
void RehideWorkingSheet(State& s, xl::Workbook& active) {
  const Text activeSheet = active.ActiveSheet().Name();
  xl::Workbook& book = s.App().Workbooks().Item(active.Name());
  if (xl::Worksheet* sheet = FindHiddenWorkSht(book)) {
    sheet->SetVisible(xl::xlSheetVeryHidden);
    if (!text_order::EqualNoCase(activeSheet, sheet->Name())) active.Sheets().Item(activeSheet).Activate();
  }
}

// Restores the current directory and releases the forms when a request ends, whether
// it ends normally or by an error.
class RequestScope {
 public:
  explicit RequestScope(State& s) : s_(s) {}
  ~RequestScope() {
    if (changedFrom_) {
      try {
        s_.services.directories.Change(*changedFrom_);
      } catch (const Error&) {
        // The directory noted at the start is gone; nothing better to go back to.
      }
    }
    s_.request.forms = {};
  }
  RequestScope(const RequestScope&) = delete;
  RequestScope& operator=(const RequestScope&) = delete;

  void ChangeToComponentFolder() {
    const std::string before = s_.services.directories.Current();
    s_.services.directories.Change(s_.services.directories.ComponentFolder());
    changedFrom_ = before;
  }

 private:
  State& s_;
  std::optional<std::string> changedFrom_;
};

}  // namespace

void StartRequest(State& s, const forms::HostForms& forms, const Text& vbaMode) {
  Request request;
  request.forms = forms;
  request.vbaMode.Set(vbaMode);
  s.request = std::move(request);
  // CBool, not a comparison with True: a check box in its third state (Null) cannot
  // tell the Item mode, and the request fails at once with error 94.
  s.request.IgnoreIndexMode = vba::CBool(s.Control(ctl::main::kIgnoreIndex).Value());
  s.request.CompareMode = s.request.IgnoreIndexMode ? kTextCompare : kBinaryCompare;
  s.request.ActiveWndw = &ActiveWindowOf(forms);
  s.ResetProgress();
}

ExcelConnect::~ExcelConnect() {
  s_.connection.ExcelApp = nullptr;
  if (s_.connection.routines == &routines_) s_.connection.routines = nullptr;
}

void ExcelConnect::SetExcelApp(xl::Application* app) { s_.connection.ExcelApp = app; }

void ExcelConnect::QuillaryDLL(forms::UserForm* vbaBigMsgForm, forms::UserForm* vbaCompDupUserForm,
                               forms::UserForm* vbaLastWordFirstFilterForm, forms::UserForm* vbaMainUserForm,
                               forms::UserForm* vbaQueryEndUserForm, forms::UserForm* vbaQueryUserForm,
                               forms::UserForm* vbaWrapTextFirmForm, forms::UserForm* vbaMailBoxForm,
                               forms::UserForm* vbaParseForm, forms::UserForm* vbaToolsForm, Text& vbaMode,
                               Text& GotoRoutine) {
  const forms::HostForms forms{vbaBigMsgForm,       vbaCompDupUserForm, vbaLastWordFirstFilterForm, vbaMainUserForm,
                               vbaQueryEndUserForm, vbaQueryUserForm,   vbaWrapTextFirmForm,        vbaMailBoxForm,
                               vbaParseForm,        vbaToolsForm};
  QuillaryDLL(forms, vbaMode, GotoRoutine);
}

void ExcelConnect::QuillaryDLL(const forms::HostForms& forms, Text& vbaMode, Text& GotoRoutine) {
  xl::Workbook* active = s_.App().ActiveWorkbook();
  if (active == nullptr) return;
  RehideWorkingSheet(s_, *active);

  RequestScope scope(s_);
  StartRequest(s_, forms, vbaMode);
  scope.ChangeToComponentFolder();
  s_.connection.routines = &routines_;
  if (const RoutineName* routine = FindRoutine(RequestRoutines(), GotoRoutine)) Run(*routine, s_, routines_);
}

ExcelQueryFormConnect::~ExcelQueryFormConnect() {
  if (s_.connection.routines == &routines_) s_.connection.routines = nullptr;
  if (s_.connection.AppSetByQueryConnect) {
    s_.connection.AppSetByQueryConnect = false;
    s_.connection.ExcelApp = nullptr;
  }
}

void ExcelQueryFormConnect::SetExcelApp(xl::Application* app) {
  if (s_.connection.ExcelApp != nullptr) return;
  s_.connection.ExcelApp = app;
  s_.connection.AppSetByQueryConnect = true;
}

void ExcelQueryFormConnect::QuillaryQueryFormDLL(Text& GotoRoutine) {
  if (s_.App().ActiveWorkbook() == nullptr) return;
  s_.ResetProgress();
  s_.connection.routines = &routines_;
  if (const RoutineName* event = FindRoutine(QueryEvents(), GotoRoutine)) Run(*event, s_, routines_);
}

}  // namespace quillary::host
