#include "com/stand_in/server_connection.h"

#include <cstdio>
#include <string>

#include "platform/automation/dispatch.h"

namespace quillary::com::testing {

namespace {

// A BSTR argument passed by reference: made from a text, read back after the call.
class RefString {
 public:
  explicit RefString(TextView text) : bstr_(automation::ToBstr(text)) {}
  ~RefString() { SysFreeString(bstr_); }
  RefString(const RefString&) = delete;
  RefString& operator=(const RefString&) = delete;
  BSTR* Ref() { return &bstr_; }
  Text Value() const { return automation::FromBstr(bstr_); }

 private:
  BSTR bstr_;
};

}  // namespace

void Check(const char* what, HRESULT hr) {
  if (FAILED(hr)) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    throw Error(err::kApplication, "client", std::string(what) + " failed with " + text);
  }
}

void RaiseErrorOfCall(HRESULT hr) {
  const long number = HRESULT_FACILITY(hr) == FACILITY_CONTROL ? HRESULT_CODE(hr) : static_cast<long>(hr);
  std::string source, description;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    BSTR s = nullptr, d = nullptr;
    info->GetSource(&s);
    info->GetDescription(&d);
    source = ToUtf8(automation::FromBstr(s));
    description = ToUtf8(automation::FromBstr(d));
    SysFreeString(s);
    SysFreeString(d);
    info->Release();
  }
  throw Error(number, source, description);
}

ServerConnection::ServerConnection() {
  connect_ = Create<_ExcelConnect>(L"Quillary3.ExcelConnect", IID__ExcelConnect);
  try {
    query_ = Create<_ExcelQueryFormConnect>(L"Quillary3.ExcelQueryFormConnect", IID__ExcelQueryFormConnect);
  } catch (...) {
    connect_->Release();
    throw;
  }
}

ServerConnection::~ServerConnection() {
  query_->Release();
  connect_->Release();
}

void ServerConnection::SetExcelApp(IDispatch* application) {
  HRESULT hr = connect_->putref_ExcelApp(&application);
  if (FAILED(hr)) RaiseErrorOfCall(hr);
  hr = query_->putref_ExcelApp(&application);
  if (FAILED(hr)) RaiseErrorOfCall(hr);
}

void ServerConnection::QuillaryDLL(StandIn& standIn, const forms::HostForms& f, Text& mode, Text& routine) {
  forms::UserForm* all[10] = {f.bigMsg,       f.compDupUser, f.lastWordFirstFilter, f.mainUser,
                              f.queryEndUser, f.queryUser,   f.wrapTextFirm,        f.mailBox,
                              f.parse,        f.tools};
  IDispatch* d[10];
  for (int i = 0; i < 10; ++i) d[i] = standIn.Form(*all[i]);
  RefString m(mode), r(routine);
  const HRESULT hr =
      connect_->QuillaryDLL(&d[0], &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7], &d[8], &d[9], m.Ref(), r.Ref());
  for (IDispatch* form : d) form->Release();
  if (FAILED(hr)) RaiseErrorOfCall(hr);
  mode = m.Value();
  routine = r.Value();
}

void ServerConnection::QuillaryQueryFormDLL(Text& event) {
  RefString n(event);
  const HRESULT hr = query_->QuillaryQueryFormDLL(n.Ref());
  if (FAILED(hr)) RaiseErrorOfCall(hr);
  event = n.Value();
}

}  // namespace quillary::com::testing
