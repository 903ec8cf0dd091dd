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

#include "com/quillary3.h"
#include "com/stand_in/stand_in.h"
#include "drivers/routines.h"
#include "host/connect.h"
#include "host/controls.h"
#include "platform/addin/scripted_host.h"
#include "platform/automation/dispatch.h"
#include "platform/excel/memory/memory.h"
#include "platform/forms/memory_forms.h"
#include "platform/system/system.h"

namespace quillary::com::testing {

// Raises an Error naming the step when a COM call failed.
inline void Check(const char* what, HRESULT hr) {
  if (FAILED(hr)) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    throw Error(err::kApplication, "client", std::string(what) + " failed with " + text);
  }
}

// The COM error of a failed call: "number|source|description".
inline std::string ErrorOfCall(HRESULT hr) {
  std::string out = std::to_string(HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : hr);
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    BSTR source = nullptr, description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    out += "|" + ToUtf8(automation::FromBstr(source)) + "|" + ToUtf8(automation::FromBstr(description));
    SysFreeString(source);
    SysFreeString(description);
    info->Release();
  }
  return out;
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

  forms::HostFormSet forms;
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
    try {
      connect_.QuillaryDLL(forms.Forms(), m, r);
    } catch (const Error& e) {
      return std::to_string(e.Number()) + "|" + e.Source() + "|" + e.Description();
    }
    return "";
  }
  std::string Event(const Text& name) override {
    Text n = name;
    try {
      query_.QuillaryQueryFormDLL(n);
    } catch (const Error& e) {
      return std::to_string(e.Number()) + "|" + e.Source() + "|" + e.Description();
    }
    return "";
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

template <class Interface>
Interface* Create(const wchar_t* progId, REFIID iid) {
  CLSID clsid{};
  Check("CLSIDFromProgID", CLSIDFromProgID(progId, &clsid));
  Interface* object = nullptr;
  Check("CoCreateInstance",
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object)));
  return object;
}

// The in-process server, reached through its type library's interfaces.
class ThroughCom final : public Side {
 public:
  ThroughCom() : standIn_(*app_) {
    // The system's clipboard outlives a host: each starts with it empty, as the stand-in's.
    clipboard_.Clear();
    app_->SetClipboardReader([this] { return clipboard_.GetText(); });
    connect_ = Create<_ExcelConnect>(L"Quillary3.ExcelConnect", IID__ExcelConnect);
    query_ = Create<_ExcelQueryFormConnect>(L"Quillary3.ExcelQueryFormConnect", IID__ExcelQueryFormConnect);
    IDispatch* application = standIn_.Application();
    Check("ExcelApp", connect_->putref_ExcelApp(&application));
    Check("ExcelApp of the Query connection", query_->putref_ExcelApp(&application));
    application->Release();
  }
  ~ThroughCom() override {
    query_->Release();
    connect_->Release();
  }

  std::string Call(const Text& routine, const Text& mode) override {
    forms::HostForms f = forms.Forms();
    forms::UserForm* all[10] = {f.bigMsg,       f.compDupUser, f.lastWordFirstFilter, f.mainUser,
                                f.queryEndUser, f.queryUser,   f.wrapTextFirm,        f.mailBox,
                                f.parse,        f.tools};
    IDispatch* d[10];
    for (int i = 0; i < 10; ++i) d[i] = standIn_.Form(*all[i]);
    BSTR m = automation::ToBstr(mode), r = automation::ToBstr(routine);
    const HRESULT hr =
        connect_->QuillaryDLL(&d[0], &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7], &d[8], &d[9], &m, &r);
    SysFreeString(m);
    SysFreeString(r);
    for (IDispatch* form : d) form->Release();
    return FAILED(hr) ? ErrorOfCall(hr) : "";
  }
  std::string Event(const Text& name) override {
    BSTR n = automation::ToBstr(name);
    const HRESULT hr = query_->QuillaryQueryFormDLL(&n);
    SysFreeString(n);
    return FAILED(hr) ? ErrorOfCall(hr) : "";
  }
  Text Clipboard() override { return clipboard_.GetText(); }

 private:
  StandIn standIn_;
  sys::WindowsClipboard clipboard_;
  _ExcelConnect* connect_ = nullptr;
  _ExcelQueryFormConnect* query_ = nullptr;
};

// Writes texts into cells of the active sheet.
inline void Cells(Side& side, std::initializer_list<std::pair<const char16_t*, const char16_t*>> cells) {
  for (auto& [address, value] : cells) side.Sheet().Range(address).SetValue(Variant(Text(value)));
}

}  // namespace quillary::com::testing
