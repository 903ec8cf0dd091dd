// The routines the host reaches by name: the GotoRoutine values of a request and the
// Query form's events, in one table that serves the dispatch of the two public classes,
// the command-line host and its help.
//
// The table says what each name runs; the Routines bundle says which routine of which
// subsystem is behind it in this build (drivers::BuildRoutines wires them). A name whose
// routine is not part of the build raises an error saying so.
#pragma once

#include <functional>
#include <span>

#include "host/state.h"

namespace quillary::host {

// The routines of the subsystems that the names dispatch to.
struct Routines {
  using Routine = std::function<void(State&)>;

  // Requests.
  Routine SwapActiveWindow;
  std::function<Proceed(State&)> WholeColRow;
  Routine SetUpPrinter;
  Routine GetSubtractSortCnt;
  Routine GetSortCntPasteTravel;
  Routine Actions;
  Routine GoQueryUserForm;
  Routine Parser;

  // Routines a module runs of one it may not include (through RoutineOf): besides the
  // requests above that are run so (the block engine run nested by the actions, the
  // Query form opened by the block engine and Get/Try, Get/Try run by COMPARE 2 for each
  // collecting step), the Action list's hand-overs to the drivers and to COMPARE 2.
  Routine PasteToCurs;
  Routine SubtractRtDwn;
  Routine ActionCmprTwo;
  // Routines an engine runs of its own through a slot, so that its tests can stand in for
  // them: the Action list's row actions, and the clearing of old tags between COMPARE 2's
  // steps.
  Routine ReverseOrder;
  Routine CnvrtNetTelesis;
  Routine RowsReduce;
  Routine RowExpand;
  std::function<void(State&, const Text&)> CmprMark_Clear;

  // Query form events.
  Routine NextButton_Click;
  Routine NextButtonClick;
  Routine ReplaceButtonClick;
  Routine NextButtonDupsMode;
  Routine nextbuttondupsmode2;
  Routine TextBox1Change;
  Routine TextBox2Change;
  Routine RemoveBookmark;
  std::function<void(State&, bool&)> PlaceBookmark;
  Routine diffdupsButtonClick;
};

// One name the host sends.
struct RoutineName {
  // As the host sends it; compared exactly, case and all.
  const char16_t* name;
  // One line on what it does, for the command-line host's help.
  const char* help;
  // The routine it runs, and that routine's name for the error raised when it is not
  // part of this build; or, for the names that do more than run one routine, `run`.
  Routines::Routine Routines::*slot = nullptr;
  const char* routine = nullptr;
  void (*run)(State&, const Routines&) = nullptr;
};

// Runs what the name runs with the routines of this build.
void Run(const RoutineName& name, State& s, const Routines& routines);

// Raises the error for a routine that is not part of this build.
[[noreturn]] void NotInThisBuild(const char* name);

// The routine of `slot` in the routines of the running call, for one subsystem to run
// another's (an action running the block engine, Get/Try the tagging); an error naming
// `name` when it is not part of this build.
template <class Fn>
const Fn& RoutineOf(const State& s, Fn Routines::*slot, const char* name) {
  if (s.connection.routines == nullptr || !(s.connection.routines->*slot)) NotInThisBuild(name);
  return s.connection.routines->*slot;
}

// The GotoRoutine values of QuillaryDLL; any other value runs nothing.
std::span<const RoutineName> RequestRoutines();
// The event names of QuillaryQueryFormDLL; any other name runs nothing.
std::span<const RoutineName> QueryEvents();
// The entry of that name in `table`, or null.
const RoutineName* FindRoutine(std::span<const RoutineName> table, TextView name);

}  // namespace quillary::host
