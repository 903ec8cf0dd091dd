#include "host/state.h"

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"

namespace quillary::host {

namespace {
[[noreturn]] void NotSet() { Raise(err::kObjectNotSet, "Object variable or With block variable not set"); }
}  // namespace

forms::Control& ActiveWindowOf(const forms::HostForms& forms) {
  forms::Control& box1 = ControlOf(forms, ctl::main::kTextbox1);
  return box1.BackColor() >= forms::kActiveWindowThreshold ? box1 : ControlOf(forms, ctl::main::kTextbox2);
}

xl::Application& State::App() const {
  if (connection.ExcelApp == nullptr) NotSet();
  return *connection.ExcelApp;
}

xl::Workbook& State::ActiveBook() const {
  xl::Workbook* book = App().ActiveWorkbook();
  if (book == nullptr) NotSet();
  return *book;
}

}  // namespace quillary::host
