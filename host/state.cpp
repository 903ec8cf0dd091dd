#include "host/state.h"

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"

namespace quillary::host {

namespace {
[[noreturn]] void NotSet() { Raise(err::kObjectNotSet, "Object variable or With block variable not set"); }
}  // namespace

xl::Application& State::App() const {
  if (ExcelApp == nullptr) NotSet();
  return *ExcelApp;
}

xl::Workbook& State::ActiveBook() const {
  xl::Workbook* book = App().ActiveWorkbook();
  if (book == nullptr) NotSet();
  return *book;
}

}  // namespace quillary::host
