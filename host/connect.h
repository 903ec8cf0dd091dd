// The component's two public classes, as the host add-in reaches them.
//
// ExcelConnect receives the spreadsheet application and, for every button press or menu
// choice of the host, one QuillaryDLL request carrying the ten host forms, the current
// mode and the name of the routine to run. ExcelQueryFormConnect receives the events of
// the host's Query form while that form is shown modally from inside a running request,
// and runs the matching Query handler on the state of that request.
//
// Neither class traps errors: an error raised by a routine reaches the host with the
// chain of routine names in its source. Whatever way a request ends, the current
// directory is restored and the forms are released.
#pragma once

#include "host/routines.h"
#include "host/state.h"

namespace quillary::xl {
class Application;
}

namespace quillary::host {

// Steps of a request before its routine runs: holds the forms and sets the per-call
// state (mode, Item mode, cleared texts, Active Window, progress clock, break flag).
void StartRequest(State& s, const forms::HostForms& forms, const Text& vbaMode);

class ExcelConnect {
 public:
  ExcelConnect(State& state, Routines routines) : s_(state), routines_(std::move(routines)) {}
  // Releasing the instance lets go of the application, whoever supplied it.
  ~ExcelConnect();
  ExcelConnect(const ExcelConnect&) = delete;
  ExcelConnect& operator=(const ExcelConnect&) = delete;

  // Holds the application (replacing any held before).
  void SetExcelApp(xl::Application* app);

  // Runs one host request. Returns at once when the application has no active workbook.
  void QuillaryDLL(forms::UserForm* vbaBigMsgForm, forms::UserForm* vbaCompDupUserForm,
                   forms::UserForm* vbaLastWordFirstFilterForm, forms::UserForm* vbaMainUserForm,
                   forms::UserForm* vbaQueryEndUserForm, forms::UserForm* vbaQueryUserForm,
                   forms::UserForm* vbaWrapTextFirmForm, forms::UserForm* vbaMailBoxForm, forms::UserForm* vbaParseForm,
                   forms::UserForm* vbaToolsForm, Text& vbaMode, Text& GotoRoutine);
  // The same with the forms in one bundle.
  void QuillaryDLL(const forms::HostForms& forms, Text& vbaMode, Text& GotoRoutine);

 private:
  State& s_;
  Routines routines_;
};

class ExcelQueryFormConnect {
 public:
  ExcelQueryFormConnect(State& state, Routines routines) : s_(state), routines_(std::move(routines)) {}
  // Lets go of the application only when this connection supplied it.
  ~ExcelQueryFormConnect();
  ExcelQueryFormConnect(const ExcelQueryFormConnect&) = delete;
  ExcelQueryFormConnect& operator=(const ExcelQueryFormConnect&) = delete;

  // Holds the application only when none is held yet.
  void SetExcelApp(xl::Application* app);

  // Runs one Query form event on the state of the request underneath.
  void QuillaryQueryFormDLL(Text& GotoRoutine);

 private:
  State& s_;
  Routines routines_;
};

}  // namespace quillary::host
