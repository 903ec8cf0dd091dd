#include "blocks/internal/writer.h"

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/status_comment.h"

namespace quillary::blocks {

namespace {

using host::Proceed;
using host::State;

// Seconds between screen refreshes while an action runs the engine nested.
constexpr double kRefreshSeconds = 45;

// A long run shows where it stands when its block starts on a multiple of this row.
constexpr long kRefreshEveryRows = 200;

bool Unattended(const State& s) { return s.Control(host::ctl::mail::kSkipMenu).Enabled(); }

// The screen shows the block for a moment on long runs: always, or at most once per 45
// seconds while the netlist conversion or a row action drives the engine.
void RefreshOnLongRuns(State& s, const xl::Range& block) {
  if (block.Row() % kRefreshEveryRows != 0) return;
  const double now = s.services.clock.MonotonicSeconds();
  switch (host::ModeOf(s.Control(host::ctl::mail::kModeHold).Caption())) {
    case host::ModeId::kNetlistConvert:
      if (now <= s.actions.ActionStartTime + kRefreshSeconds) return;
      break;
    case host::ModeId::kReduceRowsToOne:
    case host::ModeId::kExpandRowToMany:
      if (now <= s.request.progress.ProgressTimer + kRefreshSeconds) return;
      break;
    default: break;
  }
  host::ScreenOn(s);
  block.Activate();
  host::ScreenRestore(s);
}

void HiddenColumnMsg(State& s) {
  const Text mode = host::Quoted(host::ReplaceItVal(s.request.vbaMode.Text(), u"_", u" "));
  host::InfoMsg(s, {kHiddenColumnMsg, mode + kHiddenColumnMsg2, kHiddenColumnMsg3, kHiddenColumnMsg4});
}

double AskNotEmpty(State& s) {
  const Text prompt = host::MsgTitle(s, host::Paragraphs({kNotEmptyMsg, kNotEmptyMsg2, kNotEmptyMsg3, kNotEmptyMsg4}));
  return host::MsgBoxDLL(s, prompt, host::msgbox::kOkCancel);
}

// One write into the destination cell; Excel's own cut of an over-long text is noted.
class CellWrite {
 public:
  CellWrite(const xl::Range& cell, const Text& text, ResultKind kind) {
    cell.SetValue(kind == ResultKind::kText ? u"'" + text : text);
    // An empty or blank result leaves an empty cell, not a lone apostrophe.
    const Text stored = items::CellText(cell);
    if (vba::Trim(stored).empty()) {
      cell.ClearContents();
      return;
    }
    if (stored.size() < text.size()) cut_ = CutCell{cell.Address(), text.size(), stored.size()};
  }
  const std::optional<CutCell>& Cut() const { return cut_; }

 private:
  std::optional<CutCell> cut_;
};

class Writer {
 public:
  Writer(State& s, xl::Range& block, const Text& text, ResultKind kind, bool firstPass)
      : s_(s),
        block_(block),
        text_(text),
        kind_(kind),
        firstPass_(firstPass),
        sheet_(block.Parent()),
        rows_(block.RowsCount()),
        cols_(block.ColumnsCount()) {}

  Written Run() {
    if (block_.Column() + cols_ > sheet_.ColumnsCount()) {
      host::InfoMsg(s_, {u"Cannot Paste beyond " + vba::IntegerText(sheet_.ColumnsCount()) + u" columns."});
      return Stop();
    }
    RefreshOnLongRuns(s_, block_);
    const xl::Range dest = sheet_.Range(block_.Cells(1, cols_ + 1), block_.Cells(rows_, cols_ + 1));
    const xl::Range cell = dest.Cells(1, 1);
    // Results may go into hidden rows, but never into a hidden column.
    if (firstPass_ && cell.EntireColumn().Hidden() == Variant(true)) {
      host::ScreenOn(s_);
      block_.Activate();
      HiddenColumnMsg(s_);
      return Stop();
    }
    if (sheet_.ProtectContents() && dest.Locked() != Variant(false)) {
      host::InfoMsg(s_, {kProtectedMsg, kTerminatedMsg});
      return Stop();
    }
    if (cell.MergeArea().Count() > 1) {
      host::ScreenOn(s_);
      cell.Activate();
      host::InfoMsg(s_, {kMergedMsg, kTerminatedMsg});
      return Stop();
    }
    const long alignment = vba::CLng(vba::CDbl(cell.HorizontalAlignment()));

    const bool subtractDisplay = s_.request.vbaMode.Traits().subtractDisplay;
    if (s_.App().WorksheetFunction().CountA(dest) == 0 || (Unattended(s_) && !subtractDisplay)) {
      Write(cell, cell, alignment);
      return MoveAndLookAhead();
    }

    host::ScreenOn(s_);
    dest.Activate();
    if (AskNotEmpty(s_) != host::msgbox::kAnswerOk) {
      // Nothing written, but the block moves on all the same.
      static_cast<void>(Move());
      return Stop();
    }
    if (Attempt([&] { dest.ClearContents(); })) {
      // The application refuses to clear part of a merged area reaching into the
      // destination.
      host::ScreenOn(s_);
      block_.Activate();
      host::InfoMsg(s_, {kMergedEraseMsg, kMergedEraseMsg2});
      return Stop();
    }
    Write(cell, dest, alignment);
    return MoveAndLookAhead();
  }

 private:
  Written Stop() {
    written_.next = Proceed::kStop;
    return std::move(written_);
  }

  // The result into `cell`, the alignments over `aligned`, then the status comment on
  // the block's top-left cell.
  void Write(const xl::Range& cell, const xl::Range& aligned, long alignment) {
    const CellWrite write(cell, text_, kind_);
    // Unlocked cells of a protected sheet take the result, but not a new format.
    if (!host::SheetProtectedCheck(s_)) {
      aligned.SetHorizontalAlignment(alignment);
      aligned.SetVerticalAlignment(xl::xlTop);
    }
    if (write.Cut()) {
      s_.request.PasteRowCount = 100000;
      written_.next = Proceed::kStop;
      written_.cut = write.Cut();
    }
    services::StatusComment(s_, 0, -static_cast<int>(cols_), cell);
  }

  // The block of the same shape directly below; in the downward modes near the row
  // limit the same block one row taller, which the engine reads as the limit reached.
  Proceed Move() {
    const long sheetRows = sheet_.RowsCount();
    const long nextLast = block_.Row() + 2 * rows_ - 1;
    if (s_.request.vbaMode.Traits().blocksDownward && nextLast > sheetRows - 2) {
      block_ = sheet_.Range(block_.Cells(1, 1), block_.Cells(rows_ + 1, cols_));
      return Proceed::kGoOn;
    }
    if (nextLast > sheetRows) {
      host::ScreenOn(s_);
      block_.Activate();
      RowLimitMsg(s_, sheetRows);
      return Proceed::kStop;
    }
    block_ = sheet_.Range(block_.Cells(rows_ + 1, 1), block_.Cells(2 * rows_, cols_));
    return Proceed::kGoOn;
  }

  // After a write: the move, then in TRAVEL a look at the next block.
  Written MoveAndLookAhead() {
    if (Move() == Proceed::kStop) return Stop();
    if (s_.blocks.OnceFlag || s_.App().WorksheetFunction().CountA(block_) != 0) return std::move(written_);
    if (Unattended(s_) && !s_.request.vbaMode.Traits().subtractDisplay) return Stop();
    host::ScreenOn(s_);
    block_.Activate();
    const double answer = host::MsgBoxDLL(s_, host::MsgTitle(s_, msg::kContinueDownward), host::msgbox::kOkCancel);
    if (answer == host::msgbox::kAnswerCancel) return Stop();
    return std::move(written_);
  }

  State& s_;
  xl::Range& block_;
  const Text& text_;
  ResultKind kind_;
  bool firstPass_;
  xl::Worksheet& sheet_;
  long rows_;
  long cols_;
  Written written_;
};

}  // namespace

Written PasteDownWard(State& s, xl::Range& block, const Text& resultText, ResultKind kind, bool firstPass) {
  return ErrorTrail("PasteDownWard", [&] {
    s.request.PasteStopped = false;
    Written written = Writer(s, block, resultText, kind, firstPass).Run();
    s.request.PasteStopped = written.next == Proceed::kStop;
    return written;
  });
}

void RowLimitMsg(State& s, long sheetRows) {
  host::InfoMsg(s, {u"Halted. Reached the " + vba::IntegerText(sheetRows - 2) + u" Row limit."});
}

}  // namespace quillary::blocks
