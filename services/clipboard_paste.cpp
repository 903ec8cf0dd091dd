#include "services/clipboard_paste.h"

#include <algorithm>

#include "host/screen.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::services {

namespace {

// Turns the placeholders of joined cells back into the characters they stand for.
void RestorePlaceholders(const host::State& s, Text& text) {
  if (!s.request.vbaMode.Traits().compareTwo) {
    // The double quotes the join put around cells that held line breaks.
    host::ReplaceItRef(text, u"\t\"", u"\t");
    host::ReplaceItRef(text, u"\"\n", u"\n");
    if (!text.empty() && text.back() == u'"') text.pop_back();
  }
  host::ReplaceItRef(text, TextView(&items::kCommaMark, 1), u",");
  host::ReplaceItRef(text, TextView(&items::kJoinMark, 1), u"\t");
}

// Puts a non-empty text on the clipboard, which takes it over, and pastes it at the
// landing cell.
Staging StageText(host::State& s, xl::Worksheet& sheet, Text&& text) {
  const bool oneLine = text.find(u'\n') == Text::npos;
  // A failed attempt leaves the text as it was for the next.
  const bool onClipboard = RetryClipboard([&] {
    s.services.clipboard.Clear();
    s.services.clipboard.GiveText(std::move(text));
  });
  // Pasting now would stage whatever the clipboard held before.
  if (!onClipboard) return Staging::kClipboardFailed;

  const xl::Range landing = sheet.Range(host::kExcelPaste);
  const xl::Range column = sheet.Range(landing, sheet.Cells(sheet.RowsCount(), landing.Column()));
  column.ClearContents();
  column.SetNumberFormat(oneLine ? u"@" : u"General");
  const bool pasted = RetryClipboard([&] { sheet.Paste(landing); });
  if (oneLine) {
    if (!pasted) return Staging::kPasteFailed;
    s.request.PasteRowCount = PastedRows(sheet, landing);
    return Staging::kStaged;
  }
  host::ScreenRestore(s);
  return pasted ? Staging::kStaged : Staging::kPasteFailed;
}

}  // namespace

std::int64_t PastedRows(xl::Worksheet& sheet, const xl::Range& landing) {
  const long usedRows = sheet.UsedRange().RowsCount();
  if (usedRows == 1) return 1;
  const long lastRow = sheet.RowsCount();
  if (usedRows == lastRow && !sheet.Cells(lastRow, landing.Column()).Value().IsEmpty()) {
    return lastRow - landing.Row() + 1;
  }
  // Up from the first row below the used height, which is at most the sheet's last row.
  const long below = std::min<long>(landing.Row() + usedRows, lastRow);
  return sheet.Cells(below, landing.Column()).End(xl::xlUp).Row() - landing.Row() + 1;
}

Staging Clipbrd_Into(host::State& s, const Text& text, OnProtectedSheet onProtected) {
  return Clipbrd_Into(s, Text(text), onProtected);
}

Staging Clipbrd_Into(host::State& s, Text&& text, OnProtectedSheet onProtected) {
  return ErrorTrail("Clipbrd_Into", [&] {
    xl::Workbook* book = s.App().ActiveWorkbook();
    if (book == nullptr) return Staging::kNotStaged;
    if (onProtected == OnProtectedSheet::kLeaveAlone && book->ActiveSheet().ProtectContents()) {
      return Staging::kNotStaged;
    }
    host::ScreenOff(s);
    xl::Worksheet& sheet = host::HiddenWorkSht(s);

    Staging result = Staging::kCleared;
    if (text.empty()) {
      Clipboard_Clear(s);
    } else {
      TextToColSetting(s, false);
      if (s.request.JoinCellsUsed) RestorePlaceholders(s, text);
      result = StageText(s, sheet, std::move(text));
      if (!s.request.vbaMode.Is(host::ModeId::kPasteSafeToCursor) && s.request.PasteRowCount >= 2 &&
          s.dialogs.BigMsgAnswer == 1)
        ExcelPasteClear(s);
    }
    TextToColSetting(s, s.drivers.TabSplitPaste);
    host::ScreenRestore(s);
    return result;
  });
}

void Clipboard_Clear(host::State& s) {
  ErrorTrail("Clipboard_Clear", [&] { s.services.clipboard.Clear(); });
}

void ExcelPasteClear(host::State& s) {
  ErrorTrail("ExcelPasteClear", [&] {
    xl::Workbook* book = s.App().ActiveWorkbook();
    if (book == nullptr) return;
    xl::Worksheet& sheet = host::HiddenWorkSht(s);
    const xl::Range landing = sheet.Range(host::kExcelPaste);
    // Over the used height, stopping at the sheet's edge.
    const long below = std::min<long>(sheet.UsedRange().RowsCount(), sheet.RowsCount() - landing.Row());
    sheet.Range(landing, landing.Offset(below, 0)).ClearContents();
  });
}

void TextToColSetting(host::State& s, bool tabOn) {
  ErrorTrail("TextToColSetting", [&] {
    xl::Workbook* book = s.App().ActiveWorkbook();
    if (book == nullptr || s.request.vbaMode.Is(host::ModeId::kShutDown)) return;
    const xl::Range cell = host::HiddenWorkSht(s).Range(host::kExcelPaste);
    const Variant horizontal = cell.HorizontalAlignment();
    const Variant vertical = cell.VerticalAlignment();

    // The content, kept by its formula when it is not a plain text.
    enum class Kept { Nothing, Formula, Text } kept = Kept::Nothing;
    Text content;
    const Variant value = cell.Value();
    if (value.IsEmpty()) {
      kept = Kept::Nothing;
    } else if (!value.IsText() || cell.HasFormula()) {
      kept = Kept::Formula;
      content = cell.Formula();
    } else {
      kept = Kept::Text;
      content = value.AsText();
    }

    // The split runs on a single blank: a Tab in the kept text would spread it over the
    // cells to the right, where K1 anchors list 2.
    cell.SetValue(u" ");
    cell.TextToColumns({.DataType = xl::xlDelimited,
                        .TextQualifier = xl::xlTextQualifierNone,
                        .ConsecutiveDelimiter = false,
                        .Tab = tabOn,
                        .Semicolon = false,
                        .Comma = false,
                        .Space = false,
                        .Other = false});

    if (kept == Kept::Nothing || content.empty()) {
      cell.ClearContents();
    } else if (kept == Kept::Formula) {
      cell.SetFormula(content);
    } else {
      cell.SetValue(u"'" + content);
    }
    cell.SetHorizontalAlignment(vba::CLng(vba::CDbl(horizontal)));
    cell.SetVerticalAlignment(vba::CLng(vba::CDbl(vertical)));
  });
}

}  // namespace quillary::services
