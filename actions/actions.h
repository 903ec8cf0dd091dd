// The Action list of the host's main form: the dispatcher that runs the entry the host
// chose (its text arrives as the mode of an "Actions" request), and the protocol by
// which one action runs another unattended.
//
// Exactly one action runs per request. The dispatcher empties list 1 of the working
// sheet, then tests the mode against the Action list's texts in their fixed order: the
// first match runs, inline on the selected cells or handed over to the routine of the
// subsystem that owns it; a text that matches nothing does nothing more.
#pragma once

#include "host/routines.h"
#include "host/state.h"

namespace quillary::actions {

// Runs the Action list entry that the mode names. Returns at once without an active
// workbook or with a break pending. Errors reach the caller with "Actions" in their
// trail; cells an inline action changed before the error stay changed.
void Actions(host::State& s);

// What an unattended nested run leaves in the mail box's SkipMenu flag afterwards.
enum class SkipMenuAfter {
  kLeaveOn,  // still set: the caller clears it at the very end of its own run
  kRestore,  // as it was before the nested run
};

// The nested-action protocol, the one way an action runs another: SkipMenu is set (the
// callee asks no questions), the caller's mode is kept in the mail box's ModeHold
// caption, the mode becomes `callee`, `routine` runs, and then the mode is set back
// from ModeHold and ModeHold gets back what it held before (empty when the caller was
// started by the host). Mode and ModeHold are put back also when the routine fails, so
// that the next request of the host is not run unattended.
void RunNested(host::State& s, host::ModeId callee, const host::Routines::Routine& routine, SkipMenuAfter after);

// An Action list entry run unattended through the dispatcher.
void RunActionNested(host::State& s, host::ModeId callee, SkipMenuAfter after);

// The block engine (GetSortCntPasteTravel) run unattended in the "Paste_>" mode on the
// current selection: for each row, the sorted Items or their count into the cell to its
// right.
void RunBlockEngineNested(host::State& s, SkipMenuAfter after);

}  // namespace quillary::actions
