// The two ways the test client and the benchmark play the host add-in on a stand-in of
// its own (an application with a workbook, the ten forms, the scripted macros): the
// component linked in, as the command-line host runs it, and the in-process server
// created by its ProgID and reached through its type library's interfaces, with the
// stand-in exposed through IDispatch.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "com/stand_in/server_connection.h"
#include "com/stand_in/stand_in.h"
#include "drivers/routines.h"
#include "host/connect.h"
#include "host/controls.h"
#include "platform/addin/scripted_host.h"
#include "platform/automation/dispatch.h"
#include "platform/excel/memory/memory.h"
#include "platform/forms/memory/memory_forms.h"
#include "platform/system/memory/memory_system.h"
#include "platform/system/system.h"

namespace quillary::com::testing {

// Runs a request or event: "" when it succeeded, else its error as
// "number|source|description".
template <class Body>
std::string ErrorOf(Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    return std::to_string(e.Number()) + "|" + e.Source() + "|" + e.Description();
  }
  return "";
}

// ---------------------------------------------------------------------------------------
// One host with its stand-in: the application with a workbook, the forms, the macros.

class Side {
 public:
  Side() {
    app_ = xl::memory::CreateApplication({.thisWorkbookName = u"Quillary.xlam", .runner = addin.Runner()});
    app_->AddWorkbook(xl::memory::GridSize::Large);
    addin.SetStrict(true);
  }
  virtual ~Side() = default;
  Side(const Side&) = delete;
  Side& operator=(const Side&) = delete;

  // A request, and a Query form event; the error of a failed one as "number|source|...".
  virtual std::string Call(const Text& routine, const Text& mode) = 0;
  virtual std::string Event(const Text& name) = 0;
  virtual Text Clipboard() = 0;

  xl::memory::MemoryApplication& App() { return *app_; }
  xl::Worksheet& Sheet() { return app_->ActiveWorkbook()->ActiveSheet(); }
  forms::Control& Control(const host::ControlId& id) { return host::ControlOf(forms.Forms(), id); }

  forms::HostFormSet forms{host::ctl::kAll};
  addin::ScriptedHost addin{forms.Forms(), u"Quillary.xlam"};

 protected:
  std::unique_ptr<xl::memory::MemoryApplication> app_;
};

// The component linked in, as the command-line host runs it.
class InProcess final : public Side {
 public:
  InProcess() {
    app_->SetClipboardReader([this] { return clipboard_.Contents(); });
    connect_.SetExcelApp(app_.get());
    query_.SetExcelApp(app_.get());
  }
  std::string Call(const Text& routine, const Text& mode) override {
    Text m = mode, r = routine;
    return ErrorOf([&] { connect_.QuillaryDLL(forms.Forms(), m, r); });
  }
  std::string Event(const Text& name) override {
    Text n = name;
    return ErrorOf([&] { query_.QuillaryQueryFormDLL(n); });
  }
  Text Clipboard() override { return clipboard_.Contents(); }

 private:
  sys::SystemClock clock_;
  sys::CountingBeeper beeper_;
  sys::MemoryClipboard clipboard_;
  sys::MemoryDirectories directories_;
  host::State state_{sys::Services{clock_, beeper_, clipboard_, directories_}};
  host::ExcelConnect connect_{state_, drivers::BuildRoutines()};
  host::ExcelQueryFormConnect query_{state_, drivers::BuildRoutines()};
};

// The in-process server, reached through its type library's interfaces.
class ThroughCom final : public Side {
 public:
  ThroughCom() : standIn_(*app_) {
    // The system's clipboard outlives a host: each starts with it empty, as the stand-in's.
    clipboard_.Clear();
    app_->SetClipboardReader([this] { return clipboard_.GetText(); });
    IDispatch* application = standIn_.Application();
    server_.SetExcelApp(application);
    application->Release();
  }

  std::string Call(const Text& routine, const Text& mode) override {
    Text m = mode, r = routine;
    return ErrorOf([&] { server_.QuillaryDLL(standIn_, forms.Forms(), m, r); });
  }
  std::string Event(const Text& name) override {
    Text n = name;
    return ErrorOf([&] { server_.QuillaryQueryFormDLL(n); });
  }
  Text Clipboard() override { return clipboard_.GetText(); }

 private:
  StandIn standIn_;
  sys::WindowsClipboard clipboard_;
  ServerConnection server_;
};

// Writes texts into cells of the active sheet.
inline void Cells(Side& side, std::initializer_list<std::pair<const char16_t*, const char16_t*>> cells) {
  for (auto& [address, value] : cells) side.Sheet().Range(address).SetValue(Variant(Text(value)));
}

}  // namespace quillary::com::testing
