#include "drivers/get_try.h"

#include "compare/tag_settings.h"
#include "compare/tagging.h"
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
#include "platform/runtime/phases.h"
#include "platform/runtime/vba.h"
#include "query/query.h"
#include "services/clipboard_paste.h"
#include "services/status_comment.h"

namespace quillary::drivers {

namespace {

using host::State;

constexpr char16_t kReadyHeader[] = u"Duplicates_Summary  (ready to paste)\n";

xl::Range Selection(State& s) { return s.App().ActiveWindow()->RangeSelection(); }

// The Item count formatted "##,##0"; no count yet formats as nothing.
Text FormattedCount(const State& s) {
  return s.items.ItemCountText.empty() ? Text() : vba::Format(vba::Val(s.items.ItemCountText), u"##,##0");
}

// The run of one collecting path. Each step returns false when the break key stopped
// the run, which then goes straight to the clean-up.
class GetTry {
 public:
  explicit GetTry(State& s) : s_(s) {}

  void Run() {
    Reset();
    if (Collect()) {
      CountDisplay();
      if (FaultLocator()) {
        Output();
        StatusLines();
      }
    }
    // Clean-up, also after an early end. The texts give their room back (a cleared
    // string keeps it): the window and the clipboard hold a long list already.
    Text().swap(s_.request.DisplayText);
    Text().swap(s_.items.DupSummaryText);
    s_.request.FaultItem.clear();
  }

 private:
  // The Item engine's options for the mode and the compare stage as they stand now.
  items::RequestOptions ItemOptions() const {
    return items::OptionsFor(s_.request.vbaMode.Traits(), s_.compare.CompareStep);
  }

  void Reset() {
    s_.Control(host::ctl::main::kCharactersLabel).SetCaption(u"");
    s_.Control(host::ctl::main::kMessageLabel).SetCaption(u"");
    s_.items.DupSummaryText.clear();
    s_.request.FaultItem.clear();
    s_.request.FaultMsg.clear();
    countCaption_ = s_.request.IgnoreIndexMode ? u" IgnrIndex  Count = " : u"Count = ";
    s_.Control(host::ctl::main::kCountLabel).SetTextAlign(s_.request.IgnoreIndexMode ? 1 : 2);
  }

  bool Aborted() const { return s_.request.progress.UserAbort; }

  // A gathering; a limit code is explained at once and ends the collecting.
  bool Gather(const Text& list) {
    const phases::Scope timed("gather");
    const items::ItemFaultCode code = items::ItemsGather(s_, ItemOptions(), list, Selection(s_));
    if (Aborted()) return false;
    if (items::IsLimit(code)) {
      items::TooMuch_Gather(s_, code);
      limitStop_ = true;
    }
    return true;
  }

  bool Subtract(const Text& a, const Text& b) {
    const phases::Scope timed("subtract");
    subtracted_ = items::ItemsSubtract(s_, ItemOptions(), a, b);
    return !Aborted();
  }

  // The count of a list the subtraction left to count. Whether the ExpandRanges limit
  // stopped it makes no difference here: Get/Try shows what the count left.
  bool SortCount(const Text& list) {
    if (subtracted_ != host::Proceed::kGoOn) return true;
    const phases::Scope timed("count");
    static_cast<void>(items::ItemsSortCntDsply(s_, ItemOptions(), list));
    return !Aborted();
  }

  // Tags the list's Items on the worksheet.
  bool Tag(const Text& list) {
    const phases::Scope timed("tag");
    compare::CmprMark_Find(s_, list);
    return !Aborted();
  }

  // The second and third collecting steps of COMPARE 2: the left area gathered into
  // list 2, `survivors` less `subtracted`, tagged and shown. IgnoreIndex# tags before the
  // count, CountIndex# after it (whether or not the subtraction left a list to count).
  bool CompareAgainst(const Text& survivors, const Text& subtracted) {
    if (!Gather(host::kList2)) return false;
    if (limitStop_) return true;
    if (!Subtract(survivors, subtracted)) return false;
    if (s_.request.IgnoreIndexMode) return Tag(survivors) && SortCount(survivors);
    return SortCount(survivors) && Tag(survivors);
  }

  // The collecting steps of COMPARE 2.
  bool CompareStep() {
    switch (s_.compare.CompareStep) {
      case host::CompareStage::kGatherRight:
        host::InitPlace(s_, host::kList2);
        if (!Gather(host::kList1)) return false;
        if (limitStop_) return true;
        return Subtract(host::kList1, host::kList2) && SortCount(host::kList1);
      case host::CompareStage::kLeftUniques: return CompareAgainst(host::kList2, host::kList1);
      case host::CompareStage::kRightUniques: return CompareAgainst(host::kList1, host::kList2);
      default: return true;
    }
  }

  bool ExpandRef() {
    host::InitPlace(s_, host::kList2);
    Text text = s_.request.ActiveWndw->Text();
    host::ReplaceItRef(text, TextView(&items::kTabMark, 1), u"\t", 1, -1, 0);
    // A text that cleans to nothing reads as status 0: the empty list is then counted
    // and shown as such.
    const items::ItemFaultCode code =
        items::ItemsPutText(s_, ItemOptions(), text, host::kList1).value_or(items::fault::kNone);
    if (Aborted()) return false;
    if (code == items::fault::kNone) {
      static_cast<void>(items::ItemsSortCntDsply(s_, ItemOptions(), host::kList1));
      if (Aborted()) return false;
    }
    if (code == items::fault::kTooManyItems) items::TooMuch_Sort(s_, code);
    return true;
  }

  bool TagDuplicates() const {
    const forms::Control& box4 = s_.Control(host::ctl::main::kTagDuplicates);
    return box4.Enabled() && vba::EqualsTrue(box4.Value());
  }

  bool PlainGet() {
    host::InitPlace(s_, host::kList2);
    s_.request.ActiveWndw->SetValue(Text());
    // The TAG SETTINGS dialog first; a cancel ends the run before anything is gathered.
    if (TagDuplicates() && compare::DuplicatesFormShow(s_) == host::Proceed::kStop) return false;
    if (!Gather(host::kList1)) return false;
    if (limitStop_) return true;
    if (!Subtract(host::kList1, host::kList2) || !SortCount(host::kList1)) return false;
    // The duplicates are tagged beside a selection of one area only.
    if (TagDuplicates() && Selection(s_).AreasCount() == 1) {
      if (!Tag(host::kList1)) return false;
      compare::CmprMark_Clear(s_, host::kList1);
      if (Aborted()) return false;
    }
    return true;
  }

  bool Collect() {
    if (s_.request.vbaMode.Traits().compareTwo) return CompareStep();
    if (s_.request.vbaMode.Is(host::ModeId::kExpandRef)) return ExpandRef();
    return PlainGet();
  }

  // The character line: the Active Window's length and a tail.
  Text CharacterLine(TextView tail) const {
    return items::CharacterLine(s_, s_.request.ActiveWndw->TextLength(), tail);
  }

  void CountDisplay() {
    if (s_.request.FaultMsg.empty()) {
      s_.Control(host::ctl::main::kCountLabel).SetCaption(countCaption_ + FormattedCount(s_));
      std::vector<Variant> args{Variant(Text(u"Cnt= ") + FormattedCount(s_))};
      host::RunAddinMacro(s_, u"!PutCbarCnt", args);
    } else {
      items::ShowFaultInLabels(s_);
    }
  }

  // The offending Item of a fault is shown on the Query form, on its cell (or the
  // duplicates are walked). False when the break key stopped the run there.
  bool FaultLocator() {
    if (s_.request.FaultMsg.empty() || s_.request.vbaMode.Is(host::ModeId::kExpandRef)) return true;
    if (s_.request.vbaMode.Traits().compareTwo && s_.compare.CompareStep == host::CompareStage::kRightUniques)
      return true;
    host::ScreenOn(s_);
    if (std::optional<xl::Range> cell = s_.App().ActiveCell()) cell->Activate();
    s_.App().SetCursor(xl::xlDefault);
    s_.Control(host::ctl::query::kCaption).SetCaption(query::kFaultLocatorCaption);
    host::QueryUserFormCaptionDLL(s_);
    s_.Control(host::ctl::query::kLabel1).SetCaption(vba::Trim(s_.request.FaultMsg));
    s_.Control(host::ctl::query::kTextbox1).SetValue(s_.request.FaultItem);
    s_.Control(host::ctl::query::kTextbox2).SetValue(s_.request.FaultItem);
    s_.services.beeper.Beep();
    host::RoutineOf(s_, &host::Routines::GoQueryUserForm, "GoQueryUserForm")(s_);
    s_.Control(host::ctl::query::kDiffDupsButton).SetVisible(false);
    return !Aborted();
  }

  void Output() {
    bool tabSplit = false;
    if (s_.request.IgnoreIndexMode) {
      services::StatusComment(s_, 0, 0, Selection(s_).Areas(1));
      tabSplit = !s_.request.vbaMode.Traits().compareTwo &&
                 vba::EqualsTrue(s_.Control(host::ctl::main::kSort).Value()) &&
                 vba::EqualsTrue(s_.Control(host::ctl::main::kTagDuplicates).Value());
      if (tabSplit && s_.request.DisplayText.find(kReadyHeader) != Text::npos) {
        host::ReplaceItRef(s_.request.DisplayText, u"  (ready to paste)", u"", 1, 1, 0);
      }
    }
    // Nothing reads the list text after it is staged: the clipboard takes it over.
    staging_ = services::Clipbrd_Into(s_, std::move(s_.request.DisplayText));
    // Only now: the staging reads TabSplitPaste as it stood before.
    if (tabSplit) {
      s_.drivers.TabSplitPaste = true;
      services::TextToColSetting(s_, true);
    }
  }

  void StatusLines() {
    if (staging_ == services::Staging::kClipboardFailed) {
      // The result could not be copied: say so instead of offering it for pasting.
      s_.Control(host::ctl::main::kMessageLabel).SetCaption(u"ClipBrd busy: result NOT copied. Try Get/Try again.");
      s_.Control(host::ctl::main::kCharactersLabel).SetCaption(CharacterLine(u" Characters."));
      s_.Control(host::ctl::main::kNotice).SetValue(true);
      return;
    }
    if (s_.request.PasteRowCount >= 2) {
      s_.Control(host::ctl::main::kCharactersLabel).SetCaption(CharacterLine(u" Chars. Can't single cell paste."));
      const forms::Control& expand = s_.Control(host::ctl::main::kExpandRanges);
      if (expand.Enabled() && vba::EqualsTrue(expand.Value())) {
        s_.Control(host::ctl::main::kMessageLabel).SetCaption(u"Try w/o Expand Ranges and/or Cell^Col. Rmv spcs.");
      } else if (s_.request.IgnoreIndexMode) {
        s_.Control(host::ctl::main::kMessageLabel).SetCaption(u"Try PasteDsplyToCursor and/or Cell^Col. Rmv spcs.");
      } else {
        s_.Control(host::ctl::main::kMessageLabel).SetCaption(u"Try using IgnoreIndex# and/or Cell^Col. Rmv spcs.");
      }
      s_.Control(host::ctl::main::kNotice).SetValue(true);
      return;
    }
    const bool protectedSheet = s_.ActiveBook().ActiveSheet().ProtectContents();
    if (protectedSheet)
      s_.Control(host::ctl::main::kMessageLabel)
          .SetCaption(u"Worksheet is Protected. ClipBrd and Actions are Limited.");
    s_.Control(host::ctl::main::kCharactersLabel).SetCaption(CharacterLine(u" Characters."));
    if (s_.request.HiddenCellsSkipped || protectedSheet) s_.Control(host::ctl::main::kNotice).SetValue(true);
  }

  State& s_;
  Text countCaption_;
  host::Proceed subtracted_ = host::Proceed::kGoOn;
  bool limitStop_ = false;
  services::Staging staging_ = services::Staging::kNotStaged;
};

}  // namespace

void GetSubtractSortCnt(State& s) {
  ErrorTrail("GetSubtractSortCnt", [&] {
    if (host::WorkingSheetCheck(s) == host::Proceed::kStop) return;
    GetTry(s).Run();
  });
}

}  // namespace quillary::drivers
