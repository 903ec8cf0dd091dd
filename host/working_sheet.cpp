#include "host/working_sheet.h"

#include <algorithm>

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::host {

xl::Worksheet* FindHiddenWorkSht(xl::Workbook& book) {
  xl::SheetCollection& sheets = book.Worksheets();
  const long count = sheets.Count();
  for (long i = 1; i <= count; ++i) {
    xl::Worksheet& sheet = sheets.Item(i);
    if (text_order::EqualNoCase(sheet.Name(), kHiddenWorkSht)) return &sheet;
  }
  return nullptr;
}

xl::Worksheet& HiddenWorkSht(State& s) {
  if (xl::Worksheet* sheet = FindHiddenWorkSht(s.ActiveBook())) return *sheet;
  InitPlace(s, kList2);
  return s.ActiveBook().Worksheets().Item(kHiddenWorkSht);
}

void InitPlace(State& s, const Text& listName) {
  ErrorTrail("InitPlace", [&] {
    xl::Workbook* active = s.App().ActiveWorkbook();
    if (active == nullptr) return;
    xl::Workbook& book = s.App().Workbooks().Item(active->Name());
    xl::Worksheet* sheet = FindHiddenWorkSht(book);
    if (sheet == nullptr) {
      const Text activeSheet = active->ActiveSheet().Name();
      const Text activeBook = active->Name();
      book.Worksheets().Add({.Before = &book.Sheets().Item(1), .After = nullptr, .Count = 1});
      sheet = &book.Worksheets().Item(1);
      sheet->SetName(kHiddenWorkSht);
      sheet->Names().AddR1C1(kList1, u"=R1C1");
      sheet->Names().AddR1C1(kExcelPaste, u"=R1C10");
      sheet->Names().AddR1C1(kList2, u"=R1C11");
      sheet->SetVisible(xl::xlSheetVeryHidden);
      s.App().Workbooks().Item(activeBook).Sheets().Item(activeSheet).Activate();
    }
    const xl::Range anchor = sheet->Range(listName);
    // The block runs to the used height below the anchor; on a sheet used to its last
    // row it stops at the sheet's edge.
    const long usedRows = sheet->UsedRange().RowsCount();
    const long below = std::min<long>(usedRows, sheet->RowsCount() - anchor.Row());
    sheet->Range(anchor, anchor.Offset(below, 5)).ClearContents();
  });
}

}  // namespace quillary::host
