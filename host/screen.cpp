#include "host/screen.h"

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/vba.h"

namespace quillary::host {

void ScreenOn(State& s) {
  s.connection.ExcelApp->SetScreenUpdating(true);
  s.connection.ExcelApp->SetCursor(xl::xlDefault);
}

void ScreenOff(State& s) {
  s.connection.ExcelApp->SetScreenUpdating(false);
  s.connection.ExcelApp->SetCursor(xl::xlWait);
}

void ScreenRestore(State& s) {
  const bool wish = s.Control(ctl::mail::kOnScreenX).Enabled();
  s.connection.ExcelApp->SetScreenUpdating(wish);
  s.connection.ExcelApp->SetCursor(wish ? xl::xlDefault : xl::xlWait);
}

Proceed WorkbookProtectedCheck(State& s) {
  xl::Workbook& book = s.ActiveBook();
  if (!book.ProtectStructure() && !book.ProtectWindows()) return Proceed::kGoOn;
  InfoMsg(s, {kWorkbookProtectedMsg, kWorkbookProtectedMsg2});
  return Proceed::kStop;
}

Proceed WorkingSheetCheck(State& s) {
  xl::Workbook& book = s.ActiveBook();
  if (!book.ProtectStructure() || FindHiddenWorkSht(book) != nullptr) return Proceed::kGoOn;
  InfoMsg(s, {kWorkbookProtectedMsg, kWorkbookProtectedMsg2});
  return Proceed::kStop;
}

bool SheetProtectedCheck(State& s) {
  xl::Worksheet& sheet = s.ActiveBook().ActiveSheet();
  if (!sheet.ProtectContents()) return false;
  if (vba::Val(s.connection.ExcelApp->Version()) < 10) return true;
  return !sheet.Protection().AllowFormattingCells;
}

}  // namespace quillary::host
