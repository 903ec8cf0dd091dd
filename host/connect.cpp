#include "host/connect.h"

#include <string>

#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::host {

namespace {

// The routine, or an error naming it when it is not part of this build.
template <class Fn>
const Fn& Require(const Fn& routine, const char* name) {
  if (!routine) {
    Raise(err::kNoSuchMember, std::string("The routine \"") + name + "\" is not part of this build of the component.");
  }
  return routine;
}

// The Query form's events and their handlers, in dispatch order.
struct QueryEvent {
  const char16_t* event;
  Routines::Routine Routines::*handler;
  const char* name;
};
constexpr QueryEvent kQueryEvents[] = {
    {u"NextButton_Click", &Routines::NextButton_Click, "NextButton_Click"},
    {u"NextButtonClick", &Routines::NextButtonClick, "NextButtonClick"},
    {u"ReplaceButtonClick", &Routines::ReplaceButtonClick, "ReplaceButtonClick"},
    {u"NextButtonDupsMode", &Routines::NextButtonDupsMode, "NextButtonDupsMode"},
    {u"nextbuttondupsmode2", &Routines::nextbuttondupsmode2, "nextbuttondupsmode2"},
    {u"TextBox1Change", &Routines::TextBox1Change, "TextBox1Change"},
    {u"TextBox2Change", &Routines::TextBox2Change, "TextBox2Change"},
    {u"RemoveBookmark", &Routines::RemoveBookmark, "RemoveBookmark"},
    {u"diffdupsButtonClick", &Routines::diffdupsButtonClick, "diffdupsButtonClick"},
};

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

ExcelConnect::~ExcelConnect() { s_.connection.ExcelApp = nullptr; }

void ExcelConnect::SetExcelApp(xl::Application* app) { s_.connection.ExcelApp = app; }

void ExcelConnect::QuillaryDLL(forms::UserForm* vbaBigMsgForm, forms::UserForm* vbaCompDupUserForm,
                               forms::UserForm* vbaLastWordFirstFilterForm, forms::UserForm* vbaMainUserForm,
                               forms::UserForm* vbaQueryEndUserForm, forms::UserForm* vbaQueryUserForm,
                               forms::UserForm* vbaWrapTextFirmForm, forms::UserForm* vbaMailBoxForm,
                               forms::UserForm* vbaParseForm, forms::UserForm* vbaToolsForm, Text& vbaMode,
                               Text& GotoRoutine) {
  const forms::HostForms forms{vbaBigMsgForm,      vbaCompDupUserForm, vbaLastWordFirstFilterForm,
                               vbaMainUserForm,    vbaQueryEndUserForm, vbaQueryUserForm,
                               vbaWrapTextFirmForm, vbaMailBoxForm,     vbaParseForm,
                               vbaToolsForm};
  QuillaryDLL(forms, vbaMode, GotoRoutine);
}

void ExcelConnect::QuillaryDLL(const forms::HostForms& forms, Text& vbaMode, Text& GotoRoutine) {
  xl::Workbook* active = s_.App().ActiveWorkbook();
  if (active == nullptr) return;
  RehideWorkingSheet(s_, *active);

  RequestScope scope(s_);
  StartRequest(s_, forms, vbaMode);
  scope.ChangeToComponentFolder();
  Dispatch(GotoRoutine);
}

void ExcelConnect::Dispatch(const Text& name) {
  State& s = s_;
  const Routines& r = routines_;
  if (name == u"SwapDsply") {
    Require(r.swapdsply, "swapdsply")(s);
  } else if (name == u"GetSubtractSortCnt") {
    Require(r.GetSubtractSortCnt, "GetSubtractSortCnt")(s);
  } else if (name == u"GetSubtractSortCntPasteTravel" || name == u"Paste_V" || name == u"PasteRight") {
    Require(r.GetSortCntPasteTravel, "GetSortCntPasteTravel")(s);
  } else if (name == u"Actions") {
    Require(r.Actions, "Actions")(s);
  } else if (name == u"GoQueryUserForm") {
    Require(r.GoQueryUserForm, "GoQueryUserForm")(s);
  } else if (name == u"WholeColRow") {
    const int result = Require(r.WholeColRow, "WholeColRow")(s);
    s.Control(ctl::mail::kResponse).SetCaption(result == 0 ? u"0" : u"1");
  } else if (name == u"InitPlace") {
    InitPlace(s, kList2);
  } else if (name == u"SetUpPrinter") {
    Require(r.SetUpPrinter, "SetUpPrinter")(s);
  } else if (name == u"Parser") {
    Require(r.Parser, "Parser")(s);
  }
}

ExcelQueryFormConnect::~ExcelQueryFormConnect() {
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

  for (const QueryEvent& e : kQueryEvents) {
    if (GotoRoutine == e.event) {
      Require(routines_.*e.handler, e.name)(s_);
      return;
    }
  }
  if (GotoRoutine == u"PlaceBookmark_True") {
    bool place = true;
    Require(routines_.PlaceBookmark, "PlaceBookmark")(s_, place);
  }
}

}  // namespace quillary::host
