#include "sheets/result_sheets.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/excel/excel.h"
#include "platform/runtime/chars.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "sheets/messages.h"
#include "sheets/selection_trim.h"

namespace quillary::sheets {

namespace {

// The number a text begins with: its leading digits, of which at most 18 are read (a
// sheet name is too short for the rest to matter); 0 when it begins with none.
std::int64_t LeadingNumber(TextView text) {
  std::int64_t n = 0;
  for (std::size_t i = 0; i < text.size() && i < 18 && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    n = n * 10 + (text[i] - u'0');
  }
  return n;
}

bool StartsWithNoCase(TextView text, TextView start) {
  return text.size() >= start.size() && text_order::EqualNoCase(text.substr(0, start.size()), start);
}

// The first `k` characters of the base that leave room for suffix & number within the
// longest sheet name.
long BaseRoom(const Text& suffix, std::int64_t number) {
  return std::max<long>(0, kMaxSheetName - static_cast<long>(suffix.size() + vba::IntegerText(number).size()));
}

// baseName & suffix & number, the base cut when the whole would reach 31 characters.
Text Compose(const Text& base, const Text& suffix, std::int64_t number) {
  const Text digits = vba::IntegerText(number);
  Text name = base + suffix + digits;
  if (static_cast<long>(name.size()) < kMaxSheetName) return name;
  return base.substr(0, chars::FittingLength(base, static_cast<std::size_t>(BaseRoom(suffix, number)))) + suffix +
         digits;
}

// Empties the result-sheet caption however the finishing ends.
class ClearCaptionScope {
 public:
  explicit ClearCaptionScope(forms::Control& control) : control_(control) {}
  ~ClearCaptionScope() {
    try {
      control_.SetCaption(u"");
    } catch (const Error&) {
      // The form is gone; there is nothing left to clear.
    }
  }
  ClearCaptionScope(const ClearCaptionScope&) = delete;
  ClearCaptionScope& operator=(const ClearCaptionScope&) = delete;

 private:
  forms::Control& control_;
};

xl::Range WindowSelection(host::State& s) { return s.App().ActiveWindow()->RangeSelection(); }

// Selects the whole sheet and trims the selection to its content.
host::Proceed TrimWholeSheet(host::State& s, xl::Worksheet& sheet) {
  sheet.Range(sheet.Cells(1, 1), sheet.Cells(sheet.RowsCount(), sheet.ColumnsCount())).Select();
  return WholeColRow(s);
}

// The table's formats, in the order the spreadsheet needs them: fitting after the
// widths and wrapping are set, the width caps after the last column fit. Only a table
// with headings is filtered: the filter's buttons sit on its first row.
void PaintTable(host::State& s, const xl::Range& table, bool headed) {
  if (headed) table.AutoFilter();
  table.SetNumberFormat(u"General");
  table.SetVerticalAlignment(xl::xlTop);
  table.SetColumnWidth(60);
  table.AutoFitColumns();
  table.AutoFitRows();
  table.SetWrapText(s.request.vbaMode.Is(host::ModeId::kReduceRowsToOne));
  table.AutoFitColumns();
  for (long c = 1; c <= table.ColumnsCount(); ++c) {
    const xl::Range column = table.Columns(c);
    const Variant width = column.ColumnWidth();
    if (width.IsNumber() && width.AsNumber() > 60) column.SetColumnWidth(60);
    if (s.App().WorksheetFunction().CountA(column) == 0) column.SetColumnWidth(1);
  }
  table.AutoFitRows();
  table.Borders().SetLineStyle(xl::xlContinuous);
}

}  // namespace

Text ResultSheetName(xl::Workbook& book, const Text& baseName, const Text& suffix) {
  std::vector<Text> names;
  xl::SheetCollection& sheets = book.Worksheets();
  for (long i = 1, n = sheets.Count(); i <= n; ++i) names.push_back(sheets.Item(i).Name());

  std::int64_t number = 1;
  const Text stem = baseName + suffix;
  // One above the highest number in use after base & suffix.
  if (static_cast<long>(stem.size()) + 1 <= kMaxSheetName) {
    for (const Text& name : names) {
      if (!StartsWithNoCase(name, stem)) continue;
      const std::int64_t used = LeadingNumber(TextView(name).substr(stem.size()));
      if (used >= number) number = used + 1;
    }
  }
  // A long name keeps only the first characters of the base: the names that share them
  // count by the number at their end. The second pass catches a number that gained a
  // digit in the first.
  for (int pass = 0; pass < 2; ++pass) {
    if (static_cast<long>(stem.size() + vba::IntegerText(number).size()) < kMaxSheetName) break;
    for (const Text& name : names) {
      const auto k = static_cast<std::size_t>(BaseRoom(suffix, number));
      const std::size_t digits = vba::IntegerText(number).size();
      if (name.size() < k || !text_order::EqualNoCase(TextView(name).substr(0, k), TextView(baseName).substr(0, k))) {
        continue;
      }
      const std::int64_t used = LeadingNumber(TextView(name).substr(name.size() - std::min(digits, name.size())));
      if (used >= number) number = used + 1;
    }
  }
  // The rules above read numbers by position; a name they missed is stepped over here.
  Text name = Compose(baseName, suffix, number);
  auto taken = [&](const Text& candidate) {
    return std::any_of(names.begin(), names.end(),
                       [&](const Text& n) { return text_order::EqualNoCase(n, candidate); });
  };
  while (taken(name)) name = Compose(baseName, suffix, ++number);
  return name;
}

void MakeNewSheet(host::State& s, const Text& baseName, const Text& suffix) {
  ErrorTrail("MakeNewSheet", [&] {
    xl::Workbook* book = s.App().ActiveWorkbook();
    if (book == nullptr) return;
    const Text name = ResultSheetName(*book, baseName, suffix);
    const Text activeBefore = book->ActiveSheet().Name();
    xl::SheetCollection& sheets = book->Sheets();
    xl::Worksheet& sheet =
        book->Worksheets().Add({.Before = nullptr, .After = &sheets.Item(sheets.Count()), .Count = 1});
    try {
      sheet.SetName(name);
    } catch (const Error&) {
      // No stray sheet under a default name: the workbook is left as it was.
      try {
        sheet.Delete();
        sheets.Item(activeBefore).Activate();
      } catch (const Error&) {
        // The naming error is the one to report.
      }
      throw;
    }
    s.Control(host::ctl::mail::kResultSheet).SetCaption(name);
  });
}

namespace {

// Numbers down from the selected cell, which holds 1, up to `last`.
void NumberDown(host::State& s, long last) {
  WindowSelection(s).DataSeries({.Rowcol = xl::xlColumns,
                                 .Type = xl::xlLinear,
                                 .Date = xl::xlDay,
                                 .Step = 1,
                                 .Stop = static_cast<double>(last),
                                 .Trend = false});
}

// The numbering column of a table under its title and headings: "#" in A2, 1, 2, 3,
// ... from A3 to the last used row, and rows 1 and 2 kept in view.
void NumberHeadedTable(host::State& s, xl::Worksheet& sheet) {
  sheet.Range(u"A3").Select();
  WindowSelection(s).EntireColumn().Insert();
  sheet.Range(u"A3").SetValue(1);
  const xl::Range used = sheet.UsedRange();
  NumberDown(s, used.Row() + used.RowsCount() - 3);
  const xl::Range heading = sheet.Range(u"A2");
  heading.SetValue(u"#");
  heading.SetHorizontalAlignment(xl::xlLeft);

  ScreenOn(s);
  sheet.Range(u"A3").Select();
  sheet.Range(u"A1").Select();
  sheet.Range(u"A3").Select();
  s.App().ActiveWindow()->SetFreezePanes(true);
  ScreenRestore(s);
}

// The numbering column of lines written from row 1: line k numbered k, no heading.
void NumberLines(host::State& s, xl::Worksheet& sheet, long lines) {
  sheet.Range(u"A1").Select();
  WindowSelection(s).EntireColumn().Insert();
  if (lines < 1) return;
  sheet.Range(u"A1").SetValue(1);
  NumberDown(s, lines);
}

}  // namespace

void WindowSmallPaintTbl(host::State& s, const ResultLayout& layout) {
  ErrorTrail("WindowSmallPaintTbl", [&] {
    forms::Control& report = s.Control(host::ctl::mail::kResultSheet);
    const ClearCaptionScope clearReport(report);
    xl::Application& app = s.App();
    xl::Workbook& book = s.ActiveBook();
    const Text sourceName = book.ActiveSheet().Name();
    xl::Worksheet& sheet = book.Worksheets().Item(report.Caption());
    sheet.Activate();

    if (layout.headed) {
      NumberHeadedTable(s, sheet);
    } else {
      NumberLines(s, sheet, layout.lines);
    }

    host::Proceed trimmed = host::Proceed::kGoOn;
    {
      const host::EnabledScope unattended(s.Control(host::ctl::mail::kSkipMenu), true);
      trimmed = TrimWholeSheet(s, sheet);
    }
    if (trimmed != host::Proceed::kGoOn) {
      InfoMsg(s, {msg::kNoContentMsg, msg::kNoContentMsg2});
      s.request.progress.UserAbort = true;
      return;
    }

    const xl::Range table = WindowSelection(s);
    PaintTable(s, table, layout.headed);
    if (table.Column() == 2) {
      sheet.Range(sheet.Cells(table.Row(), 1), sheet.Cells(table.Row() + table.RowsCount() - 1, 1))
          .Interior()
          .SetPattern(xl::xlNone);
    }

    // The source sheet in a large window on the left, the result in a new, smaller one
    // on the right, which stays the active one.
    book.Worksheets().Item(sourceName).Activate();
    xl::Window& source = *app.ActiveWindow();
    xl::Window& small = source.NewWindow();
    const double h = app.UsableHeight();
    const double w = app.UsableWidth();
    small.SetWindowState(xl::xlNormal);
    small.SetTop(0.15 * h);
    small.SetHeight(0.7 * h);
    small.SetLeft(0.6 * w);
    small.SetWidth(0.4 * w);
    source.SetWindowState(xl::xlNormal);
    source.SetTop(1);
    source.SetLeft(1);
    source.SetHeight(h);
    source.SetWidth(0.7 * w);

    sheet.Activate();
    // The table was found above: this trim only selects it again on the sheet.
    static_cast<void>(TrimWholeSheet(s, sheet));
    if (layout.headed && !s.request.vbaMode.Traits().compareTwo) sheet.Range(u"A2").ClearContents();
  });
}

}  // namespace quillary::sheets
