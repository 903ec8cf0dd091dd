// The difference report: the worksheet rows that hold a comparison's unique Items, copied
// onto the "-DiffRpt" sheet, the left side's block first and the right side's below it.

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "compare/internal/common.h"
#include "compare/internal/messages.h"
#include "compare/internal/tag_run.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "items/list_sheet.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/vba.h"
#include "sheets/result_sheets.h"

namespace quillary::compare {

namespace {

namespace cd = host::ctl::compdup;

Text Number(long n) { return FromUtf8(std::to_string(n)); }

// A header of row 2, underlined thick.
void Header(xl::Worksheet& report, long col, const Text& text) {
  const xl::Range cell = report.Cells(2, col);
  cell.SetValue(text);
  const xl::Borders bottom = cell.Borders(xl::xlEdgeBottom);
  bottom.SetLineStyle(xl::xlContinuous);
  bottom.SetWeight(xl::xlThick);
}

}  // namespace

bool WriteDiffReport(TagRun& r) {
  const phases::Scope timed("diff-report");
  host::State& s = r.s;
  xl::Workbook& book = s.ActiveBook();
  const Text sourceName = book.ActiveSheet().Name();
  forms::Control& reportName = s.Control(host::ctl::mail::kResultSheet);
  if (reportName.Caption().empty()) sheets::MakeNewSheet(s, sourceName, u"-DiffRpt");
  xl::Worksheet& source = book.Worksheets().Item(sourceName);
  source.Activate();
  xl::Worksheet& report = book.Worksheets().Item(reportName.Caption());

  const xl::Range& area = *r.taggedArea;
  const long reportCols = area.ColumnsCount();
  const long left = r.reportLeftColumn ? 1 : 0;
  const xl::Range selection = Selection(s);
  long widest = 0;
  for (long i = 1; i <= std::min(2L, selection.AreasCount()); ++i) {
    widest = std::max(widest, selection.Areas(i).ColumnsCount());
  }
  const long tagCol = widest + 1 + left;
  const bool tagsReported = r.TagsPlaced();

  // Row 2's header of report column k: the area columns under the merged top-left cell,
  // but its first, are marked as such.
  const auto headerOf = [&](long k) {
    return (k > left + 1 && k <= left + r.topLeftMergeCols ? Text(u"Comprd(MergedTopLft)") : Text(u"Compared")) +
           Number(k);
  };
  long blockTop = report.UsedRange().RowsCount() + 1;
  long reportRow = blockTop;
  if (reportRow < 3) {
    reportRow = 3;
    blockTop = 2;
    if (left == 1) Header(report, 1, u"RefOnly1");
    for (long k = left + 1; k <= left + reportCols; ++k) Header(report, k, headerOf(k));
    if (tagsReported) Header(report, tagCol, u"Tag");
  } else {
    // Below the first block; a column headed otherwise gets this side's header too.
    ++reportRow;
    for (long k = left + 1; k <= left + reportCols; ++k) {
      const xl::Range cell = report.Cells(2, k);
      const Text header = headerOf(k);
      const Text current = items::CellText(cell);
      if (current != header) cell.SetValue(current + u"\n" + header);
    }
  }

  // The list in worksheet order, so that the Items of one worksheet row give one report
  // row.
  std::vector<xl::CellPos> read;
  const std::vector<xl::CellPos>& sources = KeptPositions(r, read);
  std::vector<std::size_t> order(sources.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const xl::CellPos& x = sources[a];
    const xl::CellPos& y = sources[b];
    return x.row != y.row ? x.row < y.row : x.col < y.col;
  });

  const long firstCol = area.Column() - left;
  const long lastCopyCol = area.Column() + reportCols - (tagsReported ? 0 : 1);
  host::ProgressBar bar(s, u" ReportWksht Progress: ");
  const auto n = static_cast<std::int64_t>(order.size());
  std::optional<long> lastRow;
  // Each cell's "'" + text is made in the same Variant, over the buffer it held.
  Variant entry;
  Text shown;
  for (std::int64_t i = 0; i < n; ++i) {
    if (!bar.Step(i + 1, n)) return false;
    const long row = sources[order[static_cast<std::size_t>(i)]].row;
    if (lastRow == row) continue;
    lastRow = row;
    long col = 1;
    for (long w = firstCol; w <= lastCopyCol; ++w, ++col) {
      // Error values are copied as their text.
      const Variant value = source.Cells(row, w).Value();
      items::PutTextEntry(entry, value.IsText() ? TextView(value.AsText()) : TextView(shown = items::ValueText(value)));
      report.Cells(reportRow, w == lastCopyCol && tagsReported ? tagCol : col).SetValue(entry);
    }
    r.reportWrote = true;
    if (reportRow == report.RowsCount()) {
      host::ScreenOn(s);
      if (const std::optional<xl::Range> active = s.App().ActiveCell()) active->Activate();
      host::MsgBoxDLL(s, host::MsgTitle(s, msg::ReportHalted(report.RowsCount())), host::msgbox::kInformation);
      ++reportRow;
      break;
    }
    ++reportRow;
  }

  // The block in the colour of its side's window.
  --reportRow;
  ++blockTop;
  const long skipped = r.tagsOff || r.tagAreaState == TagAreaState::kNotCleared ? 1 : 0;
  const Text window = s.request.ActiveWndw != nullptr ? s.request.ActiveWndw->Name() : Text();
  std::optional<long> colour;
  if (window == host::ctl::main::kTextbox1.name) colour = s.Control(cd::kColorLeftSelect).BackColor();
  if (window == host::ctl::main::kTextbox2.name) colour = s.Control(cd::kColorRightSelect).BackColor();
  if (colour && blockTop <= reportRow) {
    const xl::Range block = report.Range(report.Cells(blockTop, 1), report.Cells(reportRow, tagCol - skipped));
    if (*colour == kNoColour) {
      block.Interior().SetPattern(xl::xlNone);
    } else {
      block.Interior().SetColor(*colour);
    }
  }
  return true;
}

}  // namespace quillary::compare
