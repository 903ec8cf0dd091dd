// The component inside the in-process server: one per thread, as every module value
// of the component exists once per thread (the classes are apartment-threaded). It
// holds the shared state, the routines of this build, the process services and the
// application that a public class was handed.
#pragma once

#include <memory>
#include <string>

#include "host/routines.h"
#include "host/state.h"
#include "platform/automation/dispatch.h"
#include "platform/excel/excel.h"
#include "platform/system/system.h"

namespace quillary::com {

class Component {
 public:
  // The component of the calling thread, made on first use.
  static Component& OfThisThread();

  host::State& State() { return state_; }
  const host::Routines& Routines() const { return routines_; }

  // Hands the host's application (or Nothing) to a public class through `set`, which
  // may hold it or ignore it; the wrapper lives as long as the state holds it.
  template <class Set>
  void HandOver(const automation::Dispatch& application, Set&& set) {
    std::unique_ptr<xl::Application> wrapped = Wrap(application);
    set(wrapped.get());
    if (wrapped != nullptr && state_.connection.ExcelApp == wrapped.get()) held_ = std::move(wrapped);
    Tidy();
  }
  // Lets go of the application when the state no longer holds it.
  void Tidy() {
    if (held_ != nullptr && state_.connection.ExcelApp != held_.get()) held_.reset();
  }

 private:
  Component();

  sys::SystemClock clock_;
  sys::MessageBeeper beeper_;
  sys::WindowsClipboard clipboard_;
  sys::ProcessDirectories directories_;
  host::State state_;
  host::Routines routines_;
  static std::unique_ptr<xl::Application> Wrap(const automation::Dispatch& application);

  std::unique_ptr<xl::Application> held_;  // the application the state holds
};

// The folder the DLL was loaded from (UTF-8).
std::string ModuleFolder();

}  // namespace quillary::com
