// The component's shared state: one object that every routine receives.
//
// It holds the spreadsheet application, the ten host forms of the running request, the
// per-call state that each request resets, the progress clock and break flag, and the
// values that later requests read again (the compare step, the big-message answer, the
// Item texts). Both public classes work on the same State, as the host sees one
// component.
#pragma once

#include <cstdint>

#include "platform/forms/forms.h"
#include "platform/runtime/value.h"
#include "platform/system/system.h"

namespace quillary::xl {
class Application;
class Workbook;
}

namespace quillary::host {

// The compare modes that follow the Item mode (CheckBox1 at each request): binary in
// CountIndex# (prefix and index number, exact), text in IgnoreIndex# (plain text, without
// regard to case). The same values as vba::kBinaryCompare and vba::kTextCompare.
inline constexpr int kBinaryCompare = 0;
inline constexpr int kTextCompare = 1;

// The mode of the action that compares two selections; many routines branch on it.
inline constexpr char16_t kModeCompare2[] = u"COMPARE 2/Uniques";

struct State {
  explicit State(sys::Services serviceSet) : services(serviceSet) {}

  // Process services: clocks, beep, clipboard, directories.
  sys::Services services;

  // The spreadsheet application handed over by the host; null until it is set.
  xl::Application* ExcelApp = nullptr;
  // True when the Query connection supplied ExcelApp.
  bool AppSetByQueryConnect = false;

  // The ten forms, held only for the length of one request (all null between requests).
  forms::HostForms forms;

  // Per-call state, set at the start of every request of the main connection (the
  // Query form's requests leave it as it is).
  Text vbaMode;
  bool IgnoreIndexMode = false;
  int CompareMode = kBinaryCompare;
  bool JoinCellsUsed = false;
  bool HiddenCellsSkipped = false;
  std::int64_t PasteRowCount = 0;
  Text DisplayText;
  Text FaultItem;
  Text FaultMsg;
  // The Active Window: the main form's Textbox1 or Textbox2.
  forms::Control* ActiveWndw = nullptr;

  // Progress clock (monotonic seconds: elapsed time survives midnight), whether the
  // progress display has turned the status bar on in this request, and the break flag.
  // Every request starts them afresh (ResetProgress).
  double ProgressTimer = 0;
  bool ProgressShown = false;
  bool UserAbort = false;

  // Kept from one request to the next until a routine overwrites them.
  int BigMsgAnswer = 0;
  int CompareStep = 0;

  // The Item engine's texts and settings, kept between requests.
  // The index style of the ranges a gathering from cells last met: 0 none yet, 1
  // "R1-5", 2 "R1-R5". A CountIndex# gathering sets it only when its style is 1 or 2,
  // so other gatherings leave the last one in place.
  int RangeStyle = 0;
  // The blank-Item notice was shown in this run (Get/Try clears it at a run's start).
  bool BlankItemMsgShown = false;
  // The Item count of the last list, as text ("1234").
  Text ItemCountText;
  // The Duplicates_Summary text.
  Text DupSummaryText;
  // The Tab setting the clipboard staging leaves remembered for later pastes of text
  // (Tabs split columns when True); Get/Try sets it after staging a Duplicates_Summary.
  bool TabSplitPaste = false;

  // Convenience accessors for the forms of the running request.
  forms::UserForm& MainForm() const { return *forms.mainUser; }
  forms::Control& Main(TextView control) const { return forms.mainUser->Item(control); }
  forms::Control& Mail(TextView control) const { return forms.mailBox->Item(control); }

  // Restarts the progress clock (after a host callback, or at an entry).
  void RestartClock() { ProgressTimer = services.clock.MonotonicSeconds(); }

  // The start of a request: the clock restarts, no progress is shown and no break is
  // pending.
  void ResetProgress() {
    RestartClock();
    ProgressShown = false;
    UserAbort = false;
  }

  // The application and its active workbook; Error 91 when there is none.
  xl::Application& App() const;
  xl::Workbook& ActiveBook() const;
};

}  // namespace quillary::host
