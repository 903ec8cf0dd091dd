// "Hyperlink|| Extract" and "Hyperlink|| ReplaceWith".
#include "actions/internal/inline_actions.h"
#include "actions/internal/messages.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "platform/runtime/vba.h"

namespace quillary::actions::internal {

namespace {

using host::Proceed;

// The column right of `column` must lie on the sheet (the block engine's stop flag is
// set when it does not). kStop after telling the user.
Proceed ColumnCheck(ActionRun& run, long column) {
  const long columns = run.Sheet().ColumnsCount();
  if (column + 1 <= columns) return Proceed::kGoOn;
  host::MsgBoxDLL(
      run.s,
      ActionMessage(run.s, TitleForm::kClean, msg::kNoRoomRight + vba::IntegerText(columns) + msg::kNoRoomRight2),
      host::msgbox::kInformation);
  run.s.request.PasteStopped = true;
  return Proceed::kStop;
}

bool IsEmptyValue(const Variant& v) { return v.IsEmpty() || (v.IsText() && v.AsText().empty()); }

// The text a hyperlink is made of: the value as text, no-break spaces as blanks.
std::optional<Text> LinkTextOf(const Variant& value) {
  // An error value has no text to link to.
  if (value.IsError()) return std::nullopt;
  Text text = vba::CStr(value);
  host::RplcHspace(text);
  return text;
}

// Asks before a non-empty destination is overwritten; true for OK.
bool OverwriteAgreed(host::State& s, const xl::Range& destination) {
  host::ScreenOn(s);
  destination.Activate();
  const Text question = ActionMessage(s, TitleForm::kClean, msg::kDestinationFilled,
                                      {msg::kDestinationFilled2, msg::kDestinationFilled3, msg::kDestinationFilled4});
  return host::MsgBoxDLL(s, question, host::msgbox::kOkCancel) == host::msgbox::kAnswerOk;
}

// The row step of "Hyperlink|| Extract": the source's first hyperlink address into the
// destination. kStop when the action ends here.
Proceed ExtractRow(ActionRun& run, const xl::Range& source, const xl::Range& destination) {
  host::State& s = run.s;
  if (run.Sheet().ProtectContents() && !vba::EqualsFalse(destination.Locked())) {
    host::MsgBoxDLL(s, ActionMessage(s, TitleForm::kClean, msg::kDestinationProtected, {msg::kActionTerminated}),
                    host::msgbox::kInformation);
    return Proceed::kStop;
  }
  if (source.HyperlinksCount() == 0) return Proceed::kGoOn;
  Text address = source.Hyperlinks(1).Address;
  host::RplcHspace(address);
  if (!address.empty()) {
    if (!IsEmptyValue(destination.Value())) {
      const xl::Range saved = s.App().Selection().value_or(run.selection);
      if (!OverwriteAgreed(s, destination)) return Proceed::kStop;
      WriteTextCell(destination, address, !run.FormatProtected);
      saved.Select();
    } else {
      WriteTextCell(destination, address, !run.FormatProtected);
      if (!run.FormatProtected) destination.Font().SetColorIndex(xl::xlColorIndexAutomatic);
    }
  }
  if (!run.FormatProtected) destination.Font().SetUnderline(xl::xlUnderlineStyleNone);
  return Proceed::kGoOn;
}

}  // namespace

void HyperlinkExtract(ActionRun& run) {
  run.s.RestartClock();
  WalkProgress progress(run);
  for (const xl::Area& area : run.selection.AreaList()) {
    if (ColumnCheck(run, area.col1) == Proceed::kStop) return;
    run.EnterArea(area);
    for (long row = area.row1; row <= area.row2; ++row) {
      if (!progress.Step()) return;
      if (ExtractRow(run, run.Cell(row, area.col1), run.Cell(row, area.col1 + 1)) == Proceed::kStop) return;
    }
  }
}

void HyperlinkReplaceWith(ActionRun& run) {
  host::State& s = run.s;
  if (ColumnCheck(run, run.FirstColumn) == Proceed::kStop) return;
  bool noticeShown = false;
  s.RestartClock();
  (void)WalkCells(run, [&](const xl::Range& cell) {
    const std::optional<Text> text = LinkTextOf(cell.Value());
    if (!text || text->empty()) return Proceed::kGoOn;
    if (text->find(u'\n') == Text::npos) {
      run.Sheet().AddHyperlink(cell, *text);
      return Proceed::kGoOn;
    }
    if (!noticeShown) {
      host::ScreenOn(s);
      run.selection.Activate();
      (void)host::MsgBoxDLL(
          s,
          ActionMessage(s, TitleForm::kClean, msg::kLineBreaksFound,
                        {msg::kNoLinkWithLineBreaks, msg::kLineBreaksLookLikeSquares, msg::kNoticeOnce}),
          host::msgbox::kOkCancel);
      noticeShown = true;
    }
    return Proceed::kGoOn;
  });
}

}  // namespace quillary::actions::internal
