// A bench for the component's tests: an in-memory spreadsheet with one workbook, the ten
// host forms, the scripted host add-in (strict: a question that no answer was queued for
// fails the test) and stand-in services, all wired to one component State.
#pragma once

#include <memory>
#include <ostream>

#include "host/connect.h"
#include "host/controls.h"
#include "host/routines.h"
#include "host/state.h"
#include "platform/addin/scripted_host.h"
#include "platform/excel/memory/memory.h"
#include "platform/forms/memory/memory_forms.h"
#include "platform/system/memory/memory_system.h"

namespace quillary {
// Readable values in test failure messages.
inline void PrintTo(const Variant& v, std::ostream* os) { *os << Describe(v); }
}  // namespace quillary

namespace quillary::testkit {

class Bench {
 public:
  Bench();
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  // Starts a request as the host's call would (forms held, per-call state set) without
  // running a routine, for tests that call routines directly.
  void BeginRequest(TextView mode);
  void BeginRequest(host::ModeId mode = host::ModeId::kNull) { BeginRequest(host::ModeText(mode)); }

  // The active workbook's sheet of that name.
  xl::Worksheet& Sheet(TextView name);
  xl::Range Cell(TextView reference) { return book->ActiveSheet().Range(reference); }
  // A control of the bench's forms, as the component names it.
  forms::Control& Control(const host::ControlId& id) { return host::ControlOf(forms.Forms(), id); }

  sys::StandInServices services;
  forms::HostFormSet forms{host::ctl::kAll};
  addin::ScriptedHost addin;
  std::unique_ptr<xl::memory::MemoryApplication> app;
  xl::Workbook* book = nullptr;
  // The routines one subsystem may run of another (RoutineOf); empty until a test sets
  // the ones it needs (drivers::BuildRoutines() gives all of this build).
  host::Routines routines;
  host::State state;
};

}  // namespace quillary::testkit
