// "PAINT TABLE Format" and the two column justify actions.
#include <vector>

#include "actions/internal/inline_actions.h"
#include "actions/internal/messages.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"

namespace quillary::actions::internal {

namespace {

// Column widths (characters): the widest a painted column gets, and an empty one.
constexpr double kWidestColumn = 60;
constexpr double kEmptyColumn = 1;

Text PaintConfirmation(const host::State& s) {
  const Text wrapClear = host::ReplaceItVal(Text(host::ModeText(host::ModeId::kWrapTextClear)), u"|| ", u":");
  Text t = u"\"" + s.request.vbaMode.Text() + u"\"" + msg::kPaintInitiated + host::kParagraph;
  for (const TextView line : msg::kPaintLines) {
    t += line;
    t += u'\r';
  }
  t += msg::kPaintUnwrapOtherwise + (u"\"" + wrapClear + u"\".");
  return t;
}

// A value with no characters: the empty cell, or an empty text.
bool IsBlankValue(const Variant& v) { return v.IsEmpty() || (v.IsText() && v.AsText().empty()); }

// Writes a moved value with its type: texts stay texts (no-break spaces become blanks),
// numbers, logical and error values stay what they are; a blank clears the cell.
void PutMoved(const xl::Range& cell, const Variant& value) {
  if (IsBlankValue(value)) {
    cell.ClearContents();
    return;
  }
  if (!value.IsText()) {
    cell.SetValue(value);
    return;
  }
  Text text = value.AsText();
  host::RplcHspace(text);
  cell.SetValue(TextEntry(text));
}

void MergedCellMessage(host::State& s, const xl::Range& cell) {
  cell.Activate();
  Text unmerge = msg::kUnmergeBy;
  unmerge += u'"';
  unmerge += host::ModeText(host::ModeId::kPaintTableFormat);
  unmerge += u'"';
  unmerge += msg::kUnmergeBy2;
  host::MsgBoxDLL(s, ActionMessage(s, TitleForm::kRaw, msg::kMergedCellMet, {msg::kActionAborted, unmerge}),
                  host::msgbox::kInformation);
}

// Justifies one row of the block: its n cells from column `first`. Every pass of the
// justification moves the whole row one column and takes up one blank cell at the
// justified end, until that end holds a value (at most n - 1 passes); the row is moved
// by that many columns at once. The moved cells are checked for merged cells before
// anything moves. kStop after the merged-cell message.
host::Proceed JustifyRow(ActionRun& run, long row, long first, long n, bool toRight) {
  std::vector<Variant> values;
  values.reserve(static_cast<std::size_t>(n));
  for (long j = 0; j < n; ++j) values.push_back(run.Cell(row, first + j).Value());

  long shift = 0;
  while (shift < n - 1 && IsBlankValue(values[static_cast<std::size_t>(toRight ? n - 1 - shift : shift)])) ++shift;
  if (shift == 0) return host::Proceed::kGoOn;

  // The cells that move: all but the last (right) or the first (left), nearest the
  // justified end first.
  for (long j = 1; j < n; ++j) {
    const xl::Range cell = run.Cell(row, toRight ? first + n - 1 - j : first + j);
    if (cell.MergeArea().Count() > 1) {
      MergedCellMessage(run.s, cell);
      return host::Proceed::kStop;
    }
  }
  for (long j = 0; j < n; ++j) {
    const long from = toRight ? j - shift : j + shift;
    const xl::Range cell = run.Cell(row, first + j);
    if (from < 0 || from >= n) {
      cell.ClearContents();
    } else {
      PutMoved(cell, values[static_cast<std::size_t>(from)]);
    }
  }
  return host::Proceed::kGoOn;
}

}  // namespace

void PaintTableFormat(ActionRun& run) {
  host::State& s = run.s;
  forms::Control& noWrap = s.Control(host::ctl::bigmsg::kOptionButton);
  noWrap.SetCaption(msg::kNoTextWrapButton);
  noWrap.SetVisible(true);
  host::ScreenOn(s);
  s.Control(host::ctl::bigmsg::kText).SetValue(PaintConfirmation(s));
  host::ShowBigMsgFormDLL(s);
  host::ScreenRestore(s);
  noWrap.SetCaption(u"");
  noWrap.SetVisible(false);
  const int answer = s.dialogs.BigMsgAnswer;
  if (answer == 0) return;

  // Widths and row heights follow the columns and rows of the first area; the other
  // formats cover every area.
  const xl::Range& selection = run.selection;
  const xl::Range block(run.Sheet(), selection.FirstArea());
  selection.SetMergeCells(false);
  block.SetColumnWidth(kWidestColumn);
  block.AutoFitColumns();
  block.AutoFitRows();
  selection.SetWrapText(answer != 2);
  block.AutoFitColumns();
  block.AutoFitRows();
  selection.SetVerticalAlignment(xl::xlTop);
  selection.Borders(xl::xlDiagonalDown).SetLineStyle(xl::xlLineStyleNone);
  selection.Borders(xl::xlDiagonalUp).SetLineStyle(xl::xlLineStyleNone);
  selection.Borders().SetLineStyle(xl::xlContinuous);

  // Rows are fitted again once after the columns cut back to the widest width: a column
  // found empty here holds nothing that could change a row's height.
  bool narrowed = false;
  for (long i = 1; i <= block.ColumnsCount(); ++i) {
    const xl::Range column = block.Columns(i);
    const Variant width = column.ColumnWidth();
    if (width.IsNumber() && width.AsNumber() > kWidestColumn) {
      column.SetColumnWidth(kWidestColumn);
      narrowed = true;
    }
    if (s.App().WorksheetFunction().CountA(column) == 0) column.SetColumnWidth(kEmptyColumn);
  }
  if (narrowed) block.AutoFitRows();
}

void JustifyColumns(ActionRun& run) {
  run.s.RestartClock();
  const bool toRight = run.s.request.vbaMode.Is(host::ModeId::kColumnsJustifyRight);
  WalkProgress progress(run);
  for (const xl::Area& area : run.selection.AreaList()) {
    run.EnterArea(area);
    for (long row = area.row1; row <= area.row2; ++row) {
      if (!progress.Step()) return;
      if (JustifyRow(run, row, area.col1, area.Columns(), toRight) == host::Proceed::kStop) return;
    }
  }
}

}  // namespace quillary::actions::internal
