#include "blocks/block_engine.h"

#include <optional>
#include <utility>
#include <vector>

#include "blocks/internal/run.h"
#include "blocks/internal/writer.h"
#include "host/callbacks.h"
#include "host/routines.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/fault_labels.h"
#include "items/gather.h"
#include "items/limits.h"
#include "items/list_sheet.h"
#include "items/put_text.h"
#include "items/sort_count.h"
#include "items/subtract.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"

namespace quillary::blocks {

namespace {

using host::ModeId;
using host::Proceed;
using host::State;
using items::ItemFaultCode;

constexpr char16_t kCr[] = u"\r";

// The break key is polled, and the status bar rewritten, each time the block has
// travelled this many more rows.
constexpr long kPollEveryRows = 100;

long LastRow(const xl::Range& r) { return r.Row() + r.RowsCount() - 1; }

Text FormattedCount(const Text& count) { return count.empty() ? Text() : vba::Format(vba::Val(count), u"##,##0"); }

// The three ways out of a result too long for one cell: an advice for the end of the
// message and a hint for the main form's message line.
struct Advice {
  const char16_t* message;
  const char16_t* hint;
};

Advice OverflowAdvice(const State& s) {
  if (s.request.IgnoreIndexMode) return {kAdviceIgnoreIndex, kHintIgnoreIndex};
  if (s.Control(host::ctl::main::kExpandRanges).Enabled()) return {kAdviceExpandRanges, kHintExpandRanges};
  return {kAdviceCountIndex, kHintCountIndex};
}

class Engine {
 public:
  Engine(State& s, xl::Worksheet& work, BlockRun run)
      : s_(s), work_(work), run_(std::move(run)), block_(run_.BlockArea), rowLimit_(work.RowsCount() - 2) {}

  void Run() {
    if (StartChecks(s_, run_) == Proceed::kGoOn && BeforeFirstPass() && Passes()) AfterLoop();
    CleanUp();
  }

 private:
  // The Item engine's options for the mode and the compare stage as they stand now.
  items::RequestOptions ItemOptions() const {
    return items::OptionsFor(s_.request.vbaMode.Traits(), s_.compare.CompareStep);
  }

  const host::Mode& Mode() const { return s_.request.vbaMode; }
  bool Downward() const { return Mode().Traits().blocksDownward; }
  bool SubtractButton() const { return Mode().Is(ModeId::kSubtractButton); }
  bool Aborted() const { return s_.request.progress.UserAbort; }
  forms::Control& Control(const host::ControlId& id) const { return s_.Control(id); }
  forms::Control& Window() const { return *s_.request.ActiveWndw; }
  xl::Range Selection() const { return s_.App().ActiveWindow()->RangeSelection(); }

  // Inside the first block's rows, and its columns up to two beyond it.
  bool InsideBlockArea(const xl::Range& cell) const {
    const xl::Range& a = run_.BlockArea;
    return cell.Row() >= a.Row() && cell.Row() <= LastRow(a) && cell.Column() >= a.Column() &&
           cell.Column() <= a.Column() + a.ColumnsCount() + 1;
  }

  void SelectBlockArea() const {
    run_.BlockArea.Select();
    if (InsideBlockArea(run_.topLeft)) run_.topLeft.Activate();
  }

  Text CharacterLine(std::size_t length, TextView tail) const { return items::CharacterLine(s_, length, tail); }

  void ShowCount() {
    const Text count = FormattedCount(s_.items.ItemCountText);
    Control(host::ctl::main::kCountLabel).SetCaption(countPrefix_ + count);
    std::vector<Variant> args{Variant(u"Cnt= " + count)};
    host::RunAddinMacro(s_, u"!PutCbarCnt", args);
  }

  bool BeforeFirstPass() {
    const bool ignoreIndex = s_.request.IgnoreIndexMode;
    countPrefix_ = ignoreIndex ? u" IgnrIndex  Count = " : u"Count = ";
    Control(host::ctl::main::kCountLabel).SetTextAlign(ignoreIndex ? 1 : 2);
    Control(host::ctl::main::kMessageLabel).SetCaption(u"");
    // A row block is one row of the first area: the application widens the selected row
    // over a merged cell that reaches into the rows below, and a block that tall would
    // move past the selection's last row.
    block_ = Mode().Traits().blocksByRow ? run_.BlockArea.Rows(1) : Selection();
    if ((Downward() ? LastRow(block_) : block_.Row()) > rowLimit_) {
      host::ScreenOn(s_);
      block_.Activate();
      RowLimitMsg(s_, work_.RowsCount());
      return false;
    }
    return true;
  }

  // The passes; false when the run ends at once (the break key, a cancelled fault).
  bool Passes() {
    const long end = s_.blocks.OnceFlag ? LastRow(run_.BlockArea) : work_.RowsCount();
    for (long pass = Selection().Areas(1).Row(); pass <= end; ++pass) {
      if (!SubtractButton() && !Progress()) return false;
      Reset();
      ItemFaultCode status = items::fault::kNone;
      if (!Collect(status) || !ListSteps(status) || !StatusDisplay()) return false;
      if (!SubtractButton()) Write();
      firstPass_ = false;
      if (SubtractButton() || stopped_ || (Downward() && s_.blocks.OnceFlag)) break;
      if (RowLimitReached()) break;
    }
    return true;
  }

  // The status bar appears after three seconds of work; from then on the break key is
  // polled and the bar rewritten whenever the block has travelled another 100 rows.
  bool Progress() {
    host::Progress& p = s_.request.progress;
    const double now = s_.services.clock.MonotonicSeconds();
    if (!p.ProgressShown) {
      if (now > p.ProgressTimer + 3) {
        p.ProgressShown = true;
        s_.App().SetDisplayStatusBar(true);
      }
      return true;
    }
    const long travelled = block_.Row() - run_.BlockArea.Row() + 1;
    if (travelled / kPollEveryRows <= polledHundreds_) return true;
    polledHundreds_ = travelled / kPollEveryRows;
    host::ChkBreakKey(s_);
    if (Aborted()) return false;
    s_.App().SetStatusBar(u" PasteDwn: " + Mode().Text() + u"   Progress: " + vba::IntegerText(travelled) + u" rows" +
                          u"    Press the Ctrl key to Abort.");
    return true;
  }

  // Each pass starts without the fault, the texts and the count of the last one.
  void Reset() {
    s_.request.FaultItem.clear();
    s_.request.FaultMsg.clear();
    s_.request.DisplayText.clear();
    s_.items.DupSummaryText.clear();
    s_.items.ItemCountText.clear();
    run_.topLeft = block_.Cells(1, 1);
  }

  // The Active Window's text, its Tab placeholders back to Tabs, into a list.
  bool WindowIntoList(const Text& listName) {
    Text text = host::ReplaceItVal(Window().Text(), TextView(&items::kTabMark, 1), u"\t");
    static_cast<void>(items::ItemsPutText(s_, ItemOptions(), text, listName));
    return !Aborted();
  }

  bool Collect(ItemFaultCode& status) {
    if (Mode().Traits().subtractDisplay && Control(host::ctl::mail::kSkipMenu).Enabled()) {
      // The Active Window's Items are subtracted from every block: read once.
      if (firstPass_) {
        savedWindow_ = Window().Text();
        windowSaved_ = true;
        if (!WindowIntoList(host::kList2)) return false;
      }
      status = items::ItemsGather(s_, ItemOptions(), host::kList1, block_);
    } else if (SubtractButton()) {
      if (firstPass_) {
        firstPass_ = false;
        if (!WindowIntoList(host::kList1)) return false;
      }
      status = items::ItemsGather(s_, ItemOptions(), host::kList2, block_);
    } else {
      status = items::ItemsGather(s_, ItemOptions(), host::kList1, block_);
    }
    return !Aborted();
  }

  bool ListSteps(ItemFaultCode status) {
    // The cell limits skip the subtraction and the count; the Item limit (100) goes on
    // and reaches the user through the fault.
    if (status > items::fault::kTooManyItems) {
      items::TooMuch_Gather(s_, status);
      return true;
    }
    const Proceed subtracted = items::ItemsSubtract(s_, ItemOptions(), host::kList1, host::kList2);
    if (Aborted()) return false;
    if (subtracted == Proceed::kGoOn) {
      static_cast<void>(items::ItemsSortCntDsply(s_, ItemOptions(), host::kList1));
      if (Aborted()) return false;
    }
    return true;
  }

  // The count, or the fault: in the labels, to the fault locator (unless duplicates),
  // and in CountIndex# a question whether to go on.
  bool StatusDisplay() {
    const Text& fault = s_.request.FaultMsg;
    if (fault.empty()) {
      ShowCount();
      return true;
    }
    block_.Select();
    s_.App().SetCursor(xl::xlDefault);
    items::ShowFaultInLabels(s_);
    if (s_.blocks.OnceFlag) SelectBlockArea();

    const bool duplicate = fault.find(u"Duplicate") != Text::npos;
    if (duplicate) {
      duplicateSeen_ = true;
    } else {
      host::ScreenOn(s_);
      s_.App().ActiveWindow()->ActiveCell().Activate();
      Control(host::ctl::query::kCaption).SetCaption(u"Quillary FAULT LOCATOR");
      host::QueryUserFormCaptionDLL(s_);
      Control(host::ctl::query::kLabel1).SetCaption(vba::Trim(fault));
      Control(host::ctl::query::kTextbox1).SetValue(s_.request.FaultItem);
      Control(host::ctl::query::kTextbox2).SetValue(s_.request.FaultItem);
      s_.services.beeper.Beep();
      host::RoutineOf(s_, &host::Routines::GoQueryUserForm, "GoQueryUserForm")(s_);
      Control(host::ctl::query::kDiffDupsButton).SetVisible(false);
      if (Aborted()) return false;
      s_.App().SetCursor(xl::xlWait);
      if (!s_.request.IgnoreIndexMode) {
        host::ScreenOn(s_);
        s_.App().ActiveWindow()->ActiveCell().Activate();
        const Text prompt = host::MsgTitle(
            s_, u"Fault: " + s_.request.FaultMsg + host::kParagraph + u"Choose OK to continue or CANCEL to abort.");
        if (host::MsgBoxDLL(s_, prompt, host::msgbox::kOkCancel + host::msgbox::kInformation) ==
            host::msgbox::kAnswerCancel) {
          return false;
        }
      }
    }
    if (s_.request.DisplayText.empty()) s_.request.DisplayText = u" Quilet> " + s_.request.FaultMsg;
    return true;
  }

  // The count when counts are wanted and it is good; otherwise the Items (or the fault
  // text), always as text.
  void Write() {
    const bool count = Control(host::ctl::main::kPasteType).Caption() == u"Count" &&
                       (s_.request.IgnoreIndexMode || s_.request.FaultMsg.empty());
    const Text result = count ? s_.items.ItemCountText : s_.request.DisplayText;
    Written written = PasteDownWard(s_, block_, result, count ? ResultKind::kCount : ResultKind::kText, firstPass_);
    stopped_ = written.next == Proceed::kStop;
    if (written.cut && !cut_) cut_ = std::move(written.cut);
  }

  // After the writer moved the block: a downward block past the row limit (or handed
  // back taller, the writer's sign of it), or a row block at the limit within the first
  // block, ends the loop.
  bool RowLimitReached() {
    if (Downward()) {
      if (LastRow(block_) <= rowLimit_ && block_.RowsCount() <= run_.BlockArea.RowsCount()) return false;
      block_ = block_.Parent().Range(block_.Cells(1, 1),
                                     block_.Cells(run_.BlockArea.RowsCount(), run_.BlockArea.ColumnsCount()));
      host::ScreenOn(s_);
      block_.Select();
    } else {
      if (block_.Row() <= rowLimit_ || block_.Row() > LastRow(run_.BlockArea)) return false;
      host::ScreenOn(s_);
      block_.Activate();
    }
    RowLimitMsg(s_, work_.RowsCount());
    return true;
  }

  void AfterLoop() {
    if (s_.request.IgnoreIndexMode) {
      Selection().Areas(1).Activate();
      if (!Mode().Traits().compareTwo && vba::EqualsTrue(Control(host::ctl::main::kSort).Value()) &&
          vba::EqualsTrue(Control(host::ctl::main::kTagDuplicates).Value())) {
        s_.request.DisplayText = Window().Text();
      }
    }
    if (SubtractButton()) {
      // How the staging went shows in PasteRowCount, which the report reads.
      static_cast<void>(services::Clipbrd_Into(s_, s_.request.DisplayText));
    }
    if (Mode().Traits().subtractDisplay) {
      if (windowSaved_) Window().SetValue(savedWindow_);
      Control(host::ctl::main::kCountLabel).SetCaption(u"Count= N/A (PasteSubtract)");
      host::RunAddinMacro(s_, u"!PutCbarCntNull");
    } else {
      ShowCount();
    }
    ResultSize();
    if (run_.specialMode && duplicateSeen_) Control(host::ctl::main::kMessageLabel).SetCaption(u"Duplicate");
    if (s_.blocks.OnceFlag && !SubtractButton()) SelectBlockArea();
  }

  // The result too long for one cell: a cell the writer found cut short, or a staged
  // result that took more than one row.
  void ResultSize() {
    if (cut_) {
      ReportCut();
      return;
    }
    const std::size_t length = Window().Text().size();
    if (Mode().Is(ModeId::kReduceRowsToOne) || s_.request.PasteRowCount <= 1) {
      const bool protectedSheet = s_.ActiveBook().ActiveSheet().ProtectContents();
      if (protectedSheet) {
        Control(host::ctl::main::kMessageLabel).SetCaption(u"Worksheet is Protected. ClipBrd and Actions are Limited.");
      }
      Control(host::ctl::main::kCharactersLabel).SetCaption(CharacterLine(length, u" Characters."));
      if (protectedSheet || s_.request.HiddenCellsSkipped) Control(host::ctl::main::kNotice).SetValue(true);
      return;
    }
    const Text body =
        u"Single Cell Pasting Overflow. The " + ModeQuoted() + u" Action completed successfully." + host::kParagraph +
        u"However, there are " + vba::Format(static_cast<double>(length), u"##,##0") +
        u" characters to put into the clipboard for pasting. It will not be possible paste this text into a single "
        u"cell if you try to paste. You will be able to paste all of the text, but it will use more than one cell." +
        host::kParagraph +
        u"If you choose to paste from the clipboard, take care not to overwrite existing content since no other "
        u"warning will be given (however, Excel's Undo will revert the paste).";
    ReportOverflow(length, body);
  }

  // A written cell kept fewer characters than its result: the run stopped there.
  void ReportCut() {
    const Text body = u"Single Cell Pasting Overflow. The " + ModeQuoted() + u" Action stopped at cell " +
                      cut_->address + u": its result of " + vba::Format(static_cast<double>(cut_->length), u"##,##0") +
                      u" characters is more than a single cell can hold, and the cell kept only the first " +
                      vba::Format(static_cast<double>(cut_->kept), u"##,##0") + u"." + host::kParagraph +
                      u"Processing stopped after that cell.";
    ReportOverflow(cut_->length, body);
  }

  void ReportOverflow(std::size_t length, const Text& body) {
    const Advice advice = OverflowAdvice(s_);
    Control(host::ctl::main::kCharactersLabel).SetCaption(CharacterLine(length, u" Chars. Can't single cell paste."));
    Control(host::ctl::main::kMessageLabel).SetCaption(advice.hint);
    Control(host::ctl::main::kNotice).SetValue(true);
    host::MsgBoxDLL(s_, host::MsgTitle(s_, body + kCr + advice.message), host::msgbox::kInformation);
  }

  Text ModeQuoted() const { return host::Quoted(host::ReplaceItVal(Mode().Text(), u"_", u" ")); }

  // Every way out: JoinCells as it was, the Active Window's own text back after a
  // Subtract Display run, and the texts of the run emptied.
  void CleanUp() {
    Control(host::ctl::compdup::kJoinCells).SetEnabled(run_.joinCellsEnabled);
    if (windowSaved_) Window().SetValue(savedWindow_);
    s_.request.DisplayText.clear();
    s_.items.DupSummaryText.clear();
    s_.request.FaultItem.clear();
    savedWindow_.clear();
  }

  State& s_;
  xl::Worksheet& work_;
  BlockRun run_;
  xl::Range block_;
  long rowLimit_;
  Text countPrefix_;
  bool firstPass_ = true;
  bool stopped_ = false;
  bool duplicateSeen_ = false;
  long polledHundreds_ = 0;
  Text savedWindow_;
  bool windowSaved_ = false;
  std::optional<CutCell> cut_;
};

}  // namespace

void GetSortCntPasteTravel(State& s) {
  ErrorTrail("GetSortCntPasteTravel", [&] {
    if (s.App().ActiveWorkbook() == nullptr || s.request.progress.UserAbort) return;
    if (host::WorkingSheetCheck(s) == host::Proceed::kStop) return;
    // The first request in a workbook makes the working sheet.
    xl::Worksheet& work = host::HiddenWorkSht(s);
    if (!s.Control(host::ctl::mail::kSkipMenu).Enabled()) s.blocks.OnceFlag = true;
    xl::Window& window = *s.App().ActiveWindow();
    BlockRun run{.BlockArea = window.RangeSelection().Areas(1),
                 .topLeft = window.ActiveCell(),
                 .actionList = s.Control(host::ctl::main::kActionList).Text(),
                 .joinCellsEnabled = s.Control(host::ctl::compdup::kJoinCells).Enabled()};
    Engine(s, work, std::move(run)).Run();
  });
}

}  // namespace quillary::blocks
