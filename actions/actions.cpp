#include "actions/actions.h"

#include "actions/internal/inline_actions.h"
#include "actions/internal/run.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "platform/runtime/error.h"

namespace quillary::actions {

namespace {

using host::ModeId;
using internal::ActionRun;

// One entry of the Action list: the action run inline, or the routine it is handed over
// to (behind the workbook-protection guard for the actions that add a worksheet).
struct ActionRow {
  ModeId mode;
  void (*inlineAction)(ActionRun&) = nullptr;
  host::Routines::Routine host::Routines::*routine = nullptr;
  const char* routineName = nullptr;
  bool addsSheet = false;
};

// The texts in the order they are tested ("Clear Active Window" is taken before the set-up).
constexpr ActionRow kActionList[] = {
    {ModeId::kCommentsRePosition, internal::CommentsRePosition},
    {ModeId::kWrapTextClear, internal::WrapTextClear},
    {ModeId::kPasteSafeToCursor, nullptr, &host::Routines::PasteToCurs, "PasteToCurs"},
    {ModeId::kPaintTableFormat, internal::PaintTableFormat},
    {ModeId::kCompare2, nullptr, &host::Routines::ActionCmprTwo, "ActionCmprTwo"},
    {ModeId::kPrefixSet, internal::PrefixAction},
    {ModeId::kPrefixClear, internal::PrefixAction},
    {ModeId::kPrefixAfterHyphenClear, internal::PrefixAction},
    {ModeId::kCommaSpaceClear, internal::CommaSpaceClear},
    {ModeId::kCommaSpaceSet, internal::CommaSpaceSet},
    {ModeId::kCaseUpper, internal::CaseAction},
    {ModeId::kCaseLower, internal::CaseAction},
    {ModeId::kCaseProper, internal::CaseAction},
    {ModeId::kNumberValues, internal::NumberValues},
    {ModeId::kHyperlinkExtract, internal::HyperlinkExtract},
    {ModeId::kHyperlinkReplaceWith, internal::HyperlinkReplaceWith},
    {ModeId::kColumnsJustifyRight, internal::JustifyColumns},
    {ModeId::kColumnsJustifyLeft, internal::JustifyColumns},
    {ModeId::kWrapTextFirmReveal, internal::WrapTextFirmReveal},
    {ModeId::kSubtractDisplayV, nullptr, &host::Routines::SubtractRtDwn, "SubtractRtDwn"},
    {ModeId::kSubtractDisplayRight, nullptr, &host::Routines::SubtractRtDwn, "SubtractRtDwn"},
    {ModeId::kLastWordFirst, nullptr, &host::Routines::ReverseOrder, "ReverseOrder"},
    {ModeId::kNetlistConvert, nullptr, &host::Routines::CnvrtNetTelesis, "CnvrtNetTelesis", true},
    {ModeId::kReduceRowsToOne, nullptr, &host::Routines::RowsReduce, "RowsReduce", true},
    {ModeId::kExpandRowToMany, nullptr, &host::Routines::RowExpand, "RowExpand", true},
};

const ActionRow* FindAction(const host::Mode& mode) {
  for (const ActionRow& row : kActionList) {
    if (mode.Is(row.mode)) return &row;
  }
  return nullptr;
}

}  // namespace

void Actions(host::State& s) {
  ErrorTrail("Actions", [&] {
    if (s.App().ActiveWorkbook() == nullptr || s.request.progress.UserAbort) return;
    if (host::WorkingSheetCheck(s) == host::Proceed::kStop) return;
    host::InitPlace(s, host::kList1);
    if (s.request.vbaMode.Is(ModeId::kClearActiveWindow)) {
      internal::ClearActiveWindow(s);
      return;
    }
    ActionRun run = internal::StartRun(s);
    // A run the host started asks its questions; a nested one keeps its caller's flag.
    if (s.Control(host::ctl::mail::kModeHold).Caption().empty()) {
      s.Control(host::ctl::mail::kSkipMenu).SetEnabled(false);
    }

    const ActionRow* row = FindAction(s.request.vbaMode);
    if (row == nullptr) return;
    if (row->inlineAction != nullptr) {
      row->inlineAction(run);
      return;
    }
    if (row->addsSheet && host::WorkbookProtectedCheck(s) == host::Proceed::kStop) return;
    host::RoutineOf(s, row->routine, row->routineName)(s);
  });
}

void RunNested(host::State& s, host::ModeId callee, const host::Routines::Routine& routine, SkipMenuAfter after) {
  forms::Control& skipMenu = s.Control(host::ctl::mail::kSkipMenu);
  forms::Control& modeHold = s.Control(host::ctl::mail::kModeHold);
  const bool skipBefore = skipMenu.Enabled();
  const Text holdBefore = modeHold.Caption();
  skipMenu.SetEnabled(true);
  modeHold.SetCaption(s.request.vbaMode.Text());
  s.request.vbaMode.Set(Text(host::ModeText(callee)));
  const auto restore = [&] {
    s.request.vbaMode.Set(modeHold.Caption());
    modeHold.SetCaption(holdBefore);
    if (after == SkipMenuAfter::kRestore) skipMenu.SetEnabled(skipBefore);
  };
  try {
    routine(s);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void RunActionNested(host::State& s, host::ModeId callee, SkipMenuAfter after) { RunNested(s, callee, Actions, after); }

void RunBlockEngineNested(host::State& s, SkipMenuAfter after) {
  RunNested(s, ModeId::kPasteRight, host::RoutineOf(s, &host::Routines::GetSortCntPasteTravel, "GetSortCntPasteTravel"),
            after);
}

}  // namespace quillary::actions
