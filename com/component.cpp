#include "com/component.h"

#include <windows.h>

#include <filesystem>

#include "com/registration.h"
#include "drivers/routines.h"
#include "platform/excel/automation/automation_excel.h"

namespace quillary::com {

std::string ModuleFolder() {
  const std::u8string folder = std::filesystem::path(ModulePath()).parent_path().u8string();
  return std::string(folder.begin(), folder.end());
}

Component& Component::OfThisThread() {
  // Made once per thread and kept for the thread's life: a thread-local object with a
  // destructor would run after the DLL may have been unloaded.
  thread_local Component* component = nullptr;
  if (component == nullptr) component = new Component();
  return *component;
}

Component::Component()
    : directories_(ModuleFolder()),
      state_(sys::Services{clock_, beeper_, clipboard_, directories_}),
      routines_(drivers::BuildRoutines()) {}

std::unique_ptr<xl::Application> Component::Wrap(const automation::Dispatch& application) {
  if (application.IsNothing()) return nullptr;
  return xl::automation::MakeApplication(application);
}

}  // namespace quillary::com
