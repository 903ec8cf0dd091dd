#include "compare/compare_two.h"

#include <string>

#include "compare/internal/common.h"
#include "compare/internal/messages.h"
#include "host/callbacks.h"
#include "host/routines.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/fault_labels.h"
#include "items/limits.h"
#include "items/put_text.h"
#include "items/sort_count.h"
#include "items/subtract.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"
#include "services/swap_display.h"
#include "sheets/page_setup.h"
#include "sheets/report_view.h"
#include "sheets/result_sheets.h"
#include "sheets/selection_trim.h"

namespace quillary::compare {

namespace {

namespace cd = host::ctl::compdup;
namespace mn = host::ctl::main;
using host::State;

// How the action goes on: after the dialog, and after a comparison (kLeave: at once,
// without re-showing the main form).
enum class Road { kEnd, kUseNew, kUseCollected, kFinish, kLeave };

// The two windows' thresholds of the split layout: a divider left of kFarLeft is at the
// frame's left edge, one right of kFarRight is in the frame's middle.
constexpr double kFarLeft = 6;
constexpr double kFarRight = 196;

class CompareTwo {
 public:
  explicit CompareTwo(State& s) : s_(s), mode_(s.request.vbaMode.Text()) {}

  void Run() {
    if (s_.App().ActiveWorkbook() == nullptr || s_.request.progress.UserAbort) return;
    s_.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
    s_.compare.CompareStep = host::CompareStage::kIdle;
    ResetDialog();
    if (Selection(s_).AreasCount() > 2 && !KeepFirstAndLast()) {
      End();
      return;
    }
    const xl::Range selection = Selection(s_);
    if (selection.AreasCount() == 2) ProtectionChecks(selection);
    OptionConsistency();
    startWindow_ = s_.request.ActiveWndw;
    RefreshWindows();
    SplitLayout();
    Road road = ChooseRoad(selection);
    if (road == Road::kUseNew) road = UseNew();
    if (road == Road::kUseCollected) road = UseCollected() ? Road::kFinish : Road::kEnd;
    if (road == Road::kFinish) return Finish();
    if (road == Road::kEnd) End();
  }

 private:
  // The Item engine's options for the mode and the compare stage as they stand now.
  items::RequestOptions ItemOptions() const {
    return items::OptionsFor(s_.request.vbaMode.Traits(), s_.compare.CompareStep);
  }

  forms::Control& C(const host::ControlId& id) const { return s_.Control(id); }
  void Enable(const host::ControlId& id, bool enabled) const { C(id).SetEnabled(enabled); }
  bool Aborted() const { return s_.request.progress.UserAbort; }

  void ResetDialog() {
    Enable(cd::kSummaryYes, true);
    Enable(cd::kSummaryNo, true);
    C(cd::kColourFrame).SetCaption(msg::kColourUniques);
    C(cd::kUseCollected).SetVisible(true);
    Enable(cd::kUseCollected, false);
    C(cd::kUseNew).SetCaption(msg::kUseNewCaption);
    Enable(cd::kUseNew, false);
    Enable(cd::kIdComment, false);
    Enable(cd::kJoinCells, false);
    Enable(cd::kTagNames, false);
    Enable(cd::kColorLeftEnable, true);
    Enable(cd::kColorRightEnable, true);
    Enable(cd::kColorRightSelect, vba::EqualsTrue(C(cd::kColorRightEnable).Value()));
    Enable(cd::kDisableTags, true);
    Enable(cd::kListUniques, true);
    if (vba::EqualsTrue(C(cd::kListUniques).Value())) Enable(cd::kIdComment, true);
    Enable(cd::kLocatorLabel, true);
    Enable(cd::kTagAreaProtected, false);
  }

  // More than two areas: Yes keeps the first and the last, No goes on with them all,
  // Cancel ends. False when the action ends.
  bool KeepFirstAndLast() {
    const double answer =
        host::MsgBoxDLL(s_, msg::MoreThanTwoAreas(mode_), host::msgbox::kYesNoCancel + host::msgbox::kInformation);
    if (answer == host::msgbox::kAnswerCancel) return false;
    if (answer != host::msgbox::kAnswerYes) return true;
    const xl::Range selection = Selection(s_);
    sheets::SelectTogether(s_, selection.Areas(1), selection.Areas(selection.AreasCount()));
    return sheets::WholeColRow(s_) == host::Proceed::kGoOn;
  }

  // What a protected workbook or sheet forbids is switched off before the dialog: the
  // report (no sheet can be added), the tags (a locked tag column), the colour marks (no
  // formatting). One warning, for the first area that meets a limit.
  void ProtectionChecks(const xl::Range& selection) {
    if (s_.request.IgnoreIndexMode) Enable(cd::kJoinCells, true);
    xl::Workbook& book = s_.ActiveBook();
    xl::Worksheet& sheet = book.ActiveSheet();
    const bool bookLocked = book.ProtectStructure() || book.ProtectWindows();
    if (!sheet.ProtectContents() && !bookLocked) return;
    for (long a = 1; a <= 2; ++a) {
      Text warning;
      if (bookLocked) {
        Enable(cd::kSummaryYes, false);
        msg::AddWorkbookProtected(warning, mode_);
      }
      if (sheet.ProtectContents()) ProtectedSheetLimits(s_, selection.Areas(a), mode_, warning);
      if (!warning.empty()) {
        host::MsgBoxDLL(s_, warning, host::msgbox::kInformation);
        return;
      }
    }
  }

  void OptionConsistency() {
    if (On(s_, cd::kLocatorLabel)) Enable(cd::kTagNames, true);
    if (C(cd::kTagAreaProtected).Enabled() || On(s_, cd::kJoinCells)) {
      Enable(cd::kListUniques, false);
      Enable(cd::kIdComment, false);
    } else {
      Enable(cd::kListUniques, true);
      if (vba::EqualsTrue(C(cd::kListUniques).Value())) Enable(cd::kIdComment, true);
    }
  }

  bool StartedOnLeft() const {
    return startWindow_ != nullptr && startWindow_->Name() == host::ctl::main::kTextbox1.name;
  }

  // Activates the other window and then the starting one again.
  void RefreshWindows() {
    if (StartedOnLeft()) {
      host::TextBox2Activate(s_);
      host::TextBox1Activate(s_);
    } else {
      host::TextBox1Activate(s_);
      host::TextBox2Activate(s_);
    }
  }

  // The two windows side by side in Frame2, split in the middle by whichever divider
  // stands there (Label12 with Textbox1 on the left, Label13 with Textbox2 on the left).
  void SplitLayout() {
    forms::Control& box1 = C(mn::kTextbox1);
    forms::Control& box2 = C(mn::kTextbox2);
    forms::Control& l12 = C(mn::kDivider);
    forms::Control& l13 = C(mn::kLabel13);
    forms::Control& l14 = C(mn::kLabel14);
    forms::Control& l15 = C(mn::kLabel15);
    const double width = C(mn::kWindowsFrame).Width();
    const bool bothEmpty = box1.Text().empty() && box2.Text().empty();
    forms::Control* divider = nullptr;
    forms::Control* other = nullptr;
    forms::Control* leftBox = nullptr;
    forms::Control* rightBox = nullptr;
    if ((l12.Left() > kFarRight && l13.Left() < kFarLeft) || bothEmpty) {
      divider = &l12, other = &l13, leftBox = &box1, rightBox = &box2;
    } else if (l12.Left() < kFarLeft && l13.Left() > kFarRight) {
      divider = &l13, other = &l12, leftBox = &box2, rightBox = &box1;
    } else {
      return;
    }
    divider->SetLeft(width / 2 - divider->Width() + 1);
    divider->SetEnabled(true);
    divider->SetVisible(true);
    other->SetLeft(0);
    other->SetEnabled(false);
    other->SetVisible(false);
    l14.SetLeft(l13.Left() + 4);
    l14.SetVisible(true);
    l15.SetLeft(l12.Left() + 4);
    l15.SetVisible(true);
    leftBox->SetLeft(0);
    leftBox->SetWidth(divider->Left() + 1.5);
    rightBox->SetLeft(divider->Left() + 1.5);
    rightBox->SetWidth((width - 2) - (divider->Left() + 1.5));
  }

  // The dialog's text into its text box, and the dialog shown with `defaultButton`.
  host::CompareAnswer ShowDialog(const Text& text, const host::ControlId& defaultButton) {
    C(cd::kText).SetValue(text);
    return AskCompareDialog(s_, defaultButton);
  }

  Road ChooseRoad(const xl::Range& selection) {
    const int filled = (C(mn::kTextbox1).Text().empty() ? 0 : 1) + (C(mn::kTextbox2).Text().empty() ? 0 : 1);
    const msg::Lists lists = filled == 0 ? msg::Lists::kNone : filled == 1 ? msg::Lists::kOne : msg::Lists::kTwo;
    const long areas = selection.AreasCount();
    if (areas == 2) {
      if (selection.Areas(1).ColumnsCount() != selection.Areas(2).ColumnsCount()) {
        host::MsgBoxDLL(s_, msg::UnequalWidths(mode_, C(cd::kJoinCells).Caption()), host::msgbox::kInformation);
      }
      Enable(cd::kUseNew, true);
      Enable(cd::kUseCollected, lists == msg::Lists::kTwo);
      const host::CompareAnswer answer = ShowDialog(msg::TwoAreasDialog(lists), cd::kUseNew);
      if (answer == host::CompareAnswer::kCancel) return Road::kEnd;
      if (answer == host::CompareAnswer::kUseCollected && lists == msg::Lists::kTwo) {
        if (!C(host::ctl::mail::kWindowsMatch).Enabled()) {
          host::MsgBoxDLL(s_, msg::WindowsNotSameMode(), host::msgbox::kInformation);
          return Road::kEnd;
        }
        return Road::kUseCollected;
      }
      return Road::kUseNew;
    }
    Enable(cd::kSummaryYes, false);
    Enable(cd::kSummaryNo, false);
    for (const host::ControlId& id : {cd::kColorLeftEnable, cd::kColorRightEnable, cd::kDisableTags, cd::kListUniques,
                                      cd::kIdComment, cd::kLocatorLabel, cd::kJoinCells, cd::kTagNames, cd::kUseNew}) {
      Enable(id, false);
    }
    const bool oneArea = areas == 1;
    if (lists == msg::Lists::kTwo) {
      Enable(cd::kUseCollected, true);
      C(cd::kText).SetFocus();
      const host::CompareAnswer answer = ShowDialog(msg::OtherAreasDialog(lists, oneArea), cd::kUseCollected);
      if (answer == host::CompareAnswer::kCancel) return Road::kEnd;
      return answer == host::CompareAnswer::kUseCollected ? Road::kUseCollected : Road::kFinish;
    }
    Enable(cd::kUseCollected, false);
    if (lists == msg::Lists::kOne) C(cd::kText).SetFocus();
    static_cast<void>(ShowDialog(msg::OtherAreasDialog(lists, oneArea), cd::kCloseButton));
    return Road::kEnd;
  }

  void GetTry() { host::RoutineOf(s_, &host::Routines::GetSubtractSortCnt, "GetSubtractSortCnt")(s_); }
  void ClipboardClear() { services::Clipboard_Clear(s_); }
  void TabsOff() {
    s_.drivers.TabSplitPaste = false;
    services::TextToColSetting(s_, false);
  }
  void ActivateActiveCell() {
    if (const std::optional<xl::Range> cell = s_.App().ActiveCell()) cell->Activate();
  }

  // Two worksheet areas: the right one into list 1, the left one's uniques against it
  // (tagged, shown in Textbox1), then the right one's uniques against the left one
  // (tagged, shown in Textbox2). Then the finishing; the end after the break key; and at
  // once after a fault of the first two steps.
  Road UseNew() {
    TabsOff();
    s_.compare.CompareStep = host::CompareStage::kGatherRight;
    C(mn::kTextbox1).SetValue(Text());
    C(mn::kTextbox2).SetValue(Text());
    host::RunAddinMacro(s_, u"!Split_ab_SameSetting");
    RefreshWindows();
    host::TextBox2Activate(s_);
    host::ScreenRestore(s_);
    GetTry();
    ClipboardClear();
    if (s_.request.FaultMsg.empty()) {
      s_.compare.CompareStep = host::CompareStage::kLeftUniques;
      host::TextBox1Activate(s_);
      GetTry();
      ClipboardClear();
      s_.compare.CompareStep = host::CompareStage::kClearLeftTags;
      CmprMark_Clear(host::kList2);
      if (Aborted()) return Road::kEnd;
      ActivateActiveCell();
      if (s_.request.FaultMsg.empty()) {
        s_.compare.CompareStep = host::CompareStage::kRightUniques;
        host::TextBox2Activate(s_);
        ActivateActiveCell();
        GetTry();
        s_.compare.CompareStep = host::CompareStage::kClearRightTags;
        CmprMark_Clear(host::kList1);
        if (Aborted()) return Road::kEnd;
        ActivateActiveCell();
        s_.compare.CompareStep = host::CompareStage::kIdle;
        return Road::kFinish;
      }
    }
    // A fault stops the comparison; Get/Try has shown it already.
    if (!s_.request.IgnoreIndexMode) {
      host::MsgBoxDLL(s_, msg::CountIndexFormatFault(mode_), host::msgbox::kInformation);
    }
    return Road::kLeave;
  }

  void CmprMark_Clear(const Text& list) {
    const phases::Scope timed("tag-clear");
    host::RoutineOf(s_, &host::Routines::CmprMark_Clear, "CmprMark_Clear")(s_, list);
  }

  // The count of the list just shown.
  void ShowCount(const Text& caption) {
    const Text count =
        s_.items.ItemCountText.empty() ? Text() : vba::Format(vba::Val(s_.items.ItemCountText), u"##,##0");
    C(mn::kCountLabel).SetCaption(caption + count);
    host::RunAddinMacro(s_, u"!PutCbarCntNull");
  }

  // The two windows' lists: Textbox1 less Textbox2 into Textbox1, then Textbox2 less the
  // whole of Textbox1 into Textbox2. False when a fault or the break key stopped it.
  bool UseCollected() {
    TabsOff();
    const Text caption = s_.request.IgnoreIndexMode ? msg::kIgnoreIndexCount : msg::kCount;
    C(mn::kCountLabel).SetTextAlign(s_.request.IgnoreIndexMode ? 1 : 2);
    Enable(cd::kSummaryYes, false);
    s_.compare.CompareStep = host::CompareStage::kWindowUniques;
    host::TextBox2Activate(s_);
    if (!WindowIntoList(host::kList1)) return false;
    host::TextBox1Activate(s_);
    if (!WindowIntoList(host::kList2)) return false;
    if (!ShowUniques(host::kList2, host::kList1, caption)) return false;
    ClipboardClear();
    s_.compare.CompareStep = host::CompareStage::kLeftUniques;
    host::TextBox2Activate(s_);
    if (!ShowUniques(host::kList1, host::kList2, caption)) return false;
    s_.compare.CompareStep = host::CompareStage::kIdle;
    return true;
  }

  // The Active Window's list read into `list`. An Item that breaks the grammar, or a
  // list too long for the working sheet, is reported as Get/Try reports a fault in the
  // window's text, and nothing is compared: both windows keep their texts. False then,
  // and when the break key stopped it.
  bool WindowIntoList(const Text& list) {
    Text text = s_.request.ActiveWndw->Text();
    const items::ItemFaultCode code = items::ItemsPutText(s_, ItemOptions(), text, list).value_or(items::fault::kNone);
    if (Aborted()) return false;
    if (code == items::fault::kNone) return true;
    if (code == items::fault::kTooManyItems) items::TooMuch_Sort(s_, code);
    items::ShowFaultInLabels(s_);
    return false;
  }

  // `survivors` less `subtracted`, shown in the Active Window with its count. False when
  // the break key stopped it.
  bool ShowUniques(const Text& survivors, const Text& subtracted, const Text& caption) {
    static_cast<void>(items::ItemsSubtract(s_, ItemOptions(), survivors, subtracted));
    if (Aborted()) return false;
    static_cast<void>(items::ItemsSortCntDsply(s_, ItemOptions(), survivors));
    if (Aborted()) return false;
    ShowCount(caption);
    return true;
  }

  void Status() { C(mn::kMessageLabel).SetCaption(msg::kUniquesShown); }

  void Activate(bool left) {
    if (left) {
      host::TextBox1Activate(s_);
    } else {
      host::TextBox2Activate(s_);
    }
  }

  void Finish() {
    const phases::Scope timed("finish");
    C(mn::kNotice).SetValue(true);
    Status();
    const bool leftFirst = StartedOnLeft();
    s_.request.ActiveWndw = &C(leftFirst ? mn::kTextbox1 : mn::kTextbox2);
    const bool joined = On(s_, cd::kJoinCells);
    for (const bool left : {!leftFirst, leftFirst}) {
      Status();
      Activate(left);
      if (joined) services::SwapActiveWindow(s_);
    }
    Status();
    if (On(s_, cd::kSummaryYes)) {
      if (!C(host::ctl::mail::kResultSheet).Caption().empty()) {
        xl::Window& window = *s_.App().ActiveWindow();
        const Text inputWindow = window.Parent().Name() + u":" + FromUtf8(std::to_string(window.Index()));
        sheets::WindowSmallPaintTbl(s_);
        host::ScreenOn(s_);
        host::HideMainUserForm(s_);
        if (host::MsgBoxDLL(s_, msg::ReportPageSetup(mode_), host::msgbox::kYesNo) == host::msgbox::kAnswerYes) {
          sheets::SetUpPrinter(s_);
        }
        sheets::ReportViewArrange(s_, inputWindow);
        // The report stays in view; the main form is not shown again.
        s_.compare.CompareStep = host::CompareStage::kIdle;
        return;
      }
      host::MsgBoxDLL(s_, msg::NoUniquesReportChosen(mode_), host::msgbox::kOk);
    } else if (C(mn::kTextbox1).Text().empty() && C(mn::kTextbox2).Text().empty()) {
      host::MsgBoxDLL(s_, msg::NoUniques(mode_), host::msgbox::kOk);
    }
    End();
  }

  void End() {
    host::ShowMainUserFormDLL(s_);
    s_.compare.CompareStep = host::CompareStage::kIdle;
  }

  State& s_;
  Text mode_;
  forms::Control* startWindow_ = nullptr;
};

}  // namespace

void ActionCmprTwo(State& s) {
  ErrorTrail("ActionCmprTwo", [&] { CompareTwo(s).Run(); });
}

}  // namespace quillary::compare
