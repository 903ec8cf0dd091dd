// The in-process server as the host add-in reaches it: Quillary3.ExcelConnect and
// Quillary3.ExcelQueryFormConnect created by their ProgIDs and called through the type
// library's interfaces, with the stand-in's application and forms passed as IDispatch
// (stand_in.h). A failed call raises the error the server reported: its number, source
// (the chain of routine names) and description, as the host language sees them.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "com/quillary3.h"
#include "com/stand_in/stand_in.h"
#include "platform/forms/forms.h"
#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

namespace quillary::com::testing {

// Raises an Error naming the step when a COM call failed.
void Check(const char* what, HRESULT hr);

// Raises the error of a failed call of the server (from the thread's error object).
[[noreturn]] void RaiseErrorOfCall(HRESULT hr);

template <class Interface>
Interface* Create(const wchar_t* progId, REFIID iid) {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(progId, &clsid))) {
    throw Error(
        err::kApplication, "client",
        ToUtf8(reinterpret_cast<const char16_t*>(progId)) + " is not registered (regsvr32 quillary3.dll registers it)");
  }
  Interface* object = nullptr;
  Check("CoCreateInstance",
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object)));
  return object;
}

class ServerConnection {
 public:
  // Creates both classes by their ProgIDs; Error when the server is not registered.
  ServerConnection();
  ~ServerConnection();
  ServerConnection(const ServerConnection&) = delete;
  ServerConnection& operator=(const ServerConnection&) = delete;

  // Hands the application (null: Nothing) to both classes.
  void SetExcelApp(IDispatch* application);
  // A request with the stand-in's ten forms; the mode and routine come back as the
  // server left them.
  void QuillaryDLL(StandIn& standIn, const forms::HostForms& forms, Text& mode, Text& routine);
  void QuillaryQueryFormDLL(Text& event);

 private:
  _ExcelConnect* connect_ = nullptr;
  _ExcelQueryFormConnect* query_ = nullptr;
};

}  // namespace quillary::com::testing
