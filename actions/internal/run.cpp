#include "actions/internal/run.h"

#include "actions/internal/messages.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::actions::internal {

namespace {

Text ProgressCaption(const host::State& s) { return s.request.vbaMode.Text() + u" Progress: "; }

long AlignmentOf(const xl::Range& cell) { return vba::CLng(vba::CDbl(cell.HorizontalAlignment())); }

}  // namespace

ActionRun StartRun(host::State& s) {
  xl::Window* window = s.App().ActiveWindow();
  if (window == nullptr) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  ActionRun run{.s = s, .selection = window->RangeSelection()};
  const std::optional<xl::Range> selected = s.App().Selection();
  run.SelCellCount = selected ? selected->Count() : run.selection.Count();
  run.EnterArea(run.selection.FirstArea());
  run.FormatProtected = host::SheetProtectedCheck(s);
  s.dialogs.BigMsgAnswer = 0;
  return run;
}

WalkProgress::WalkProgress(ActionRun& run) : run_(run), bar_(run.s, ProgressCaption(run.s)) {}

bool WalkProgress::Step() {
  if (run_.SelCellCount <= 20) return true;
  return bar_.Step(run_.ProgressCount++, run_.SelCellCount);
}

std::optional<Text> TextCellFilter(const xl::Range& cell) {
  const Variant value = cell.Value();
  if (!value.IsText() || cell.HasFormula()) return std::nullopt;
  Text text = value.AsText();
  host::RplcHspace(text);
  return vba::Trim(text);
}

Text TextEntry(TextView text) {
  Text entry;
  entry.reserve(text.size() + 1);
  entry += u'\'';
  entry += text;
  return entry;
}

void WriteTextCell(const xl::Range& cell, const Text& text, bool restoreAlignment) {
  const long alignment = AlignmentOf(cell);
  cell.SetValue(TextEntry(text));
  // A merged cell is cleared as a whole: the spreadsheet refuses to clear part of one.
  if (text.empty()) cell.MergeArea().ClearContents();
  if (restoreAlignment) cell.SetHorizontalAlignment(alignment);
}

void CellTextWriteBack(const ActionRun& run, const xl::Range& cell, const Text& text) {
  WriteTextCell(cell, text, !run.FormatProtected);
}

bool OverflowGuard(host::State& s, const xl::Range& cell, const Text& newText) {
  if (newText.size() <= kMaxActionText) return false;
  cell.Activate();
  const Text length = vba::Format(static_cast<double>(newText.size()), u"##,##0");
  host::MsgBoxDLL(
      s, ActionMessage(s, TitleForm::kRaw, msg::kOverflow, {msg::kOverflowCount + length + msg::kOverflowCount2}),
      host::msgbox::kInformation);
  return true;
}

Text ActionMessage(const host::State& s, TitleForm form, TextView headline,
                   std::initializer_list<TextView> paragraphs) {
  Text t = u"( ";
  switch (form) {
    case TitleForm::kRaw: t += s.request.vbaMode.Text(); break;
    case TitleForm::kColon: t += host::ReplaceItVal(s.request.vbaMode.Text(), u"|| ", u":"); break;
    case TitleForm::kClean: t += host::CleanMode(s); break;
  }
  t += u" ): ";
  t += headline;
  for (TextView p : paragraphs) {
    t += host::kParagraph;
    t += p;
  }
  return t;
}

}  // namespace quillary::actions::internal
