#include "actions/internal/row_actions.h"

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/chars.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "sheets/result_sheets.h"

namespace quillary::actions::internal {

namespace {

// A long run shows its first result rows: the screen is refreshed after a batch once
// this many seconds have passed.
constexpr double kRefreshSeconds = 45;

constexpr char16_t kErrSuffix[] = u"-Err";

bool SheetExists(xl::Workbook& book, const Text& name) {
  xl::SheetCollection& sheets = book.Worksheets();
  for (long i = 1, n = sheets.Count(); i <= n; ++i) {
    if (text_order::EqualNoCase(sheets.Item(i).Name(), name)) return true;
  }
  return false;
}

}  // namespace

Text TrimmedText(const xl::Range& cell) {
  Text text = items::CellText(cell);
  host::RplcHspace(text);
  return vba::Trim(text);
}

Text BoldShortcut(const host::State& s) {
  Text t =
      u"Shortcut to bold one cell: First select all cells to be processed. Then hold the Ctrl key and click only one "
      u"cell within that selection which you would like to bold. If you select more than one cell to be bolded, hold "
      u"Ctrl and click only one cell again. \"";
  t += s.request.vbaMode.Text();
  t += u"\" will unbold the first area and then bold the last cell selected automatically when started.";
  return t;
}

Text ErrSheetName(xl::Workbook& book, const Text& name) {
  for (long n = 0;; ++n) {
    const Text tail = n == 0 ? Text(kErrSuffix) : Text(kErrSuffix) + vba::IntegerText(n);
    const auto room = static_cast<std::size_t>(sheets::kMaxSheetName) - tail.size();
    Text candidate = name.substr(0, chars::FittingLength(name, room)) + tail;
    if (!SheetExists(book, candidate)) return candidate;
  }
}

Text MarkSheetFailed(host::State& s, const Text& name) {
  xl::Workbook& book = s.ActiveBook();
  const Text failed = ErrSheetName(book, name);
  book.Worksheets().Item(name).SetName(failed);
  return failed;
}

bool ResultSheet::WriteBatch(ResultBuffer& buffer, long rows, bool refresh) {
  forms::Control& report = s_.Control(host::ctl::mail::kResultSheet);
  xl::Workbook& book = s_.ActiveBook();
  if (report.Caption().empty()) {
    sheets::MakeNewSheet(s_, source_, suffix_);
    made_ = report.Caption();
  } else {
    book.Worksheets().Item(report.Caption()).Activate();
  }
  PrintToSheet(s_, buffer, rows);

  if (refresh) {
    const bool netlist =
        host::ModeOf(s_.Control(host::ctl::mail::kModeHold).Caption()) == host::ModeId::kNetlistConvert;
    const double since = netlist ? s_.actions.ActionStartTime : s_.request.progress.ProgressTimer;
    if (s_.services.clock.MonotonicSeconds() > since + kRefreshSeconds) {
      host::ScreenOn(s_);
      s_.App().ActiveWindow()->ActiveCell().Activate();
      host::ScreenRestore(s_);
    }
  }
  if (s_.actions.BatchStatus == host::BatchMark::kAbort) return false;
  book.Worksheets().Item(source_).Activate();
  return true;
}

void ResultSheet::MarkFailed() {
  if (made_.empty()) return;
  made_ = MarkSheetFailed(s_, made_);
  s_.Control(host::ctl::mail::kResultSheet).SetCaption(made_);
}

}  // namespace quillary::actions::internal

namespace quillary::actions::internal {

namespace {

Text ReduceTitle(TextView headline) {
  return host::TitledWith(host::ModeText(host::ModeId::kReduceRowsToOne), headline);
}

}  // namespace

Text IgnoreIndexRequiredMsg() {
  Text t = ReduceTitle(
      u"This action must use IgnoreIndex# Mode because the conversion would most likely be aborted if CountIndex# Mode "
      u"were used (due to very specific rules being applied in CountIndex# Mode).");
  t += host::kParagraph;
  t += u"Please make the appropriate choice for that option.";
  return t;
}

Text TagDuplicatesRefusedMsg(const host::State& s) {
  Text t = ReduceTitle(u"This action must use IgnoreIndex# Mode *without* the \"");
  t += s.Control(host::ctl::main::kTagDuplicates).Caption();
  t += u"\" option. But the current option settings do not satisfy this requirement. Please change accordingly.";
  t += host::kParagraph;
  t += u"Be aware that the \"";
  t += s.Control(host::ctl::main::kSort).Caption();
  t += u"\" option will be considered for the cells being grouped into one cell. Please make the appropriate choice "
       u"for that option.";
  return t;
}

}  // namespace quillary::actions::internal
