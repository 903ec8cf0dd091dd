// The in-process server: the two public classes over the component, their class
// factory and the four standard exports (and DllInstall for per-user registration).
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include <atomic>
#include <new>
#include <string>

#include "com/component.h"
#include "com/dispids.h"
#include "com/quillary3.h"
#include "com/registration.h"
#include "host/connect.h"
#include "platform/automation/dispatch.h"
#include "platform/forms/automation/automation_forms.h"

namespace quillary::com {

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

// The type information of an interface, from the type library in this DLL.
HRESULT TypeInfoOf(REFIID iid, ITypeInfo** info) {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(iid, info);
  library->Release();
  return hr;
}

// Reports an error of the component to the automation caller: the number, the source
// (the chain of routine names) and the description, through the error object.
HRESULT Report(const Error& e, REFIID iid) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    const Text source16 = FromUtf8(e.Source());
    const std::wstring source(source16.begin(), source16.end());
    const Text description16 = FromUtf8(e.Description());
    const std::wstring description(description16.begin(), description16.end());
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source.c_str()));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return automation::FailureOf(e);
}

// Runs a member's body: an Error (or any exception) leaves as a failed HRESULT with the
// error object set, never as an exception across the interface.
template <class Body>
HRESULT Guard(REFIID iid, Body&& body) {
  try {
    body();
    return S_OK;
  } catch (const Error& e) {
    return Report(e, iid);
  } catch (const std::bad_alloc&) {
    return Report(Error(err::kOutOfMemory, "Quillary", "Out of memory"), iid);
  } catch (const std::exception& ex) {
    return Report(Error(err::kApplication, "Quillary", ex.what()), iid);
  }
}

Text TextOf(BSTR* text) { return text == nullptr ? Text() : automation::FromBstr(*text); }

// Writes a by-reference string argument back when the call changed it.
void WriteBack(BSTR* target, const Text& value) {
  if (target == nullptr || automation::FromBstr(*target) == value) return;
  SysFreeString(*target);
  *target = automation::ToBstr(value);
}

// The arguments of a late-bound call, in the member's order. Script hosts pass their
// variables by reference as VARIANTs (VT_BYREF | VT_VARIANT), the host language's
// compiled code passes typed references (VT_BYREF | VT_DISPATCH, VT_BYREF | VT_BSTR), and
// either may pass values: every form is taken.
class Arguments {
 public:
  explicit Arguments(DISPPARAMS* params) : params_(params) {}
  UINT Count() const { return params_->cArgs; }

  // An object argument (Nothing is null); false when the argument is not an object.
  bool Object(UINT i, IDispatch*& out) const {
    const VARIANT& v = Plain(At(i));
    if (v.vt == VT_DISPATCH) {
      out = v.pdispVal;
    } else if (v.vt == (VT_DISPATCH | VT_BYREF)) {
      out = *v.ppdispVal;
    } else if (v.vt == VT_EMPTY || v.vt == VT_NULL) {
      out = nullptr;
    } else {
      return false;
    }
    return true;
  }

  // A string argument, converted as the host language converts a value to a String.
  bool String(UINT i, Text& out) const {
    const VARIANT& v = Plain(At(i));
    if (v.vt == VT_BSTR) {
      out = automation::FromBstr(v.bstrVal);
      return true;
    }
    if (v.vt == (VT_BSTR | VT_BYREF)) {
      out = automation::FromBstr(*v.pbstrVal);
      return true;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR))) return false;
    out = automation::FromBstr(converted.bstrVal);
    VariantClear(&converted);
    return true;
  }

  // Writes a string back into an argument passed by reference.
  void SetString(UINT i, const Text& value) const {
    VARIANT& v = At(i);
    if (v.vt == (VT_BSTR | VT_BYREF)) {
      SysFreeString(*v.pbstrVal);
      *v.pbstrVal = automation::ToBstr(value);
    } else if (v.vt == (VT_VARIANT | VT_BYREF)) {
      VariantClear(v.pvarVal);
      v.pvarVal->vt = VT_BSTR;
      v.pvarVal->bstrVal = automation::ToBstr(value);
    }
  }

 private:
  VARIANT& At(UINT i) const { return params_->rgvarg[params_->cArgs - 1 - i]; }
  static const VARIANT& Plain(const VARIANT& v) { return v.vt == (VT_VARIANT | VT_BYREF) ? *v.pvarVal : v; }

  DISPPARAMS* params_;
};

// Fills the caller's exception record from the error object a member left.
HRESULT AsException(HRESULT hr, EXCEPINFO* exception) {
  if (SUCCEEDED(hr) || exception == nullptr) return hr;
  *exception = EXCEPINFO{};
  exception->scode = hr;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
    info->Release();
  }
  return DISP_E_EXCEPTION;
}

// IUnknown, IDispatch and ISupportErrorInfo for one dual interface; Derived implements
// the interface's own members, and Call, which runs them late-bound.
template <class Interface, const IID* Iid>
class DualObject : public Interface, public ISupportErrorInfo {
 public:
  DualObject() { ++liveObjects; }
  virtual ~DualObject() { --liveObjects; }
  DualObject(const DualObject&) = delete;
  DualObject& operator=(const DualObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, *Iid)) {
      *out = static_cast<Interface*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    info_->AddRef();
    *info = info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArg) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (params == nullptr) return E_INVALIDARG;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (params->cNamedArgs > (put ? 1u : 0u)) return DISP_E_NONAMEDARGS;
    if (result != nullptr) VariantInit(result);
    UINT bad = 0;
    const HRESULT hr = Call(id, flags, Arguments(params), bad);
    if (hr == DISP_E_TYPEMISMATCH && badArg != nullptr) *badArg = params->cArgs - 1 - bad;
    return AsException(hr, exception);
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, *Iid) ? S_OK : S_FALSE;
  }

 protected:
  Component& component_ = Component::OfThisThread();

  // Runs member `id` with `args`; a wrong argument's index goes to `bad`.
  virtual HRESULT Call(DISPID id, WORD flags, const Arguments& args, UINT& bad) = 0;

  // ExcelApp, alike in both classes: one object, by reference.
  HRESULT CallExcelApp(WORD flags, const Arguments& args, UINT& bad) {
    if (!(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) return DISP_E_MEMBERNOTFOUND;
    if (args.Count() != 1) return DISP_E_BADPARAMCOUNT;
    IDispatch* application = nullptr;
    if (!args.Object(0, application)) {
      bad = 0;
      return DISP_E_TYPEMISMATCH;
    }
    return static_cast<Interface*>(this)->putref_ExcelApp(&application);
  }

 private:
  HRESULT Info() {
    if (info_ != nullptr) return S_OK;
    return TypeInfoOf(*Iid, &info_);
  }

  std::atomic<long> references_{1};
  ITypeInfo* info_ = nullptr;
};

class ExcelConnectObject final : public DualObject<_ExcelConnect, &IID__ExcelConnect> {
 public:
  ~ExcelConnectObject() override {
    connect_.reset();
    component_.Tidy();
  }

  HRESULT STDMETHODCALLTYPE putref_ExcelApp(IDispatch** application) override {
    return Guard(IID__ExcelConnect, [&] {
      const automation::Dispatch app(application == nullptr ? nullptr : *application);
      component_.HandOver(app, [&](xl::Application* wrapped) { connect_->SetExcelApp(wrapped); });
    });
  }

  HRESULT STDMETHODCALLTYPE QuillaryDLL(IDispatch** vbaBigMsgForm, IDispatch** vbaCompDupUserForm,
                                        IDispatch** vbaLastWordFirstFilterForm, IDispatch** vbaMainUserForm,
                                        IDispatch** vbaQueryEndUserForm, IDispatch** vbaQueryUserForm,
                                        IDispatch** vbaWrapTextFirmForm, IDispatch** vbaMailBoxForm,
                                        IDispatch** vbaParseForm, IDispatch** vbaToolsForm, BSTR* vbaMode,
                                        BSTR* GotoRoutine) override {
    return Guard(IID__ExcelConnect, [&] {
      auto form = [](IDispatch** f) { return automation::Dispatch(f == nullptr ? nullptr : *f); };
      forms::automation::AutomationForms forms(
          {form(vbaBigMsgForm), form(vbaCompDupUserForm), form(vbaLastWordFirstFilterForm), form(vbaMainUserForm),
           form(vbaQueryEndUserForm), form(vbaQueryUserForm), form(vbaWrapTextFirmForm), form(vbaMailBoxForm),
           form(vbaParseForm), form(vbaToolsForm)});
      Text mode = TextOf(vbaMode);
      Text routine = TextOf(GotoRoutine);
      connect_->QuillaryDLL(forms.Forms(), mode, routine);
      WriteBack(vbaMode, mode);
      WriteBack(GotoRoutine, routine);
    });
  }

 private:
  HRESULT Call(DISPID id, WORD flags, const Arguments& args, UINT& bad) override {
    if (id == QUILLARY_DISPID_EXCELAPP) return CallExcelApp(flags, args, bad);
    if (id != QUILLARY_DISPID_QUILLARYDLL || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (args.Count() != 12) return DISP_E_BADPARAMCOUNT;
    IDispatch* forms[10] = {};
    for (UINT i = 0; i < 10; ++i) {
      if (!args.Object(i, forms[i])) {
        bad = i;
        return DISP_E_TYPEMISMATCH;
      }
    }
    Text texts[2];
    for (UINT i = 0; i < 2; ++i) {
      if (!args.String(10 + i, texts[i])) {
        bad = 10 + i;
        return DISP_E_TYPEMISMATCH;
      }
    }
    BSTR mode = automation::ToBstr(texts[0]);
    BSTR routine = automation::ToBstr(texts[1]);
    const HRESULT hr = QuillaryDLL(&forms[0], &forms[1], &forms[2], &forms[3], &forms[4], &forms[5], &forms[6],
                                   &forms[7], &forms[8], &forms[9], &mode, &routine);
    args.SetString(10, automation::FromBstr(mode));
    args.SetString(11, automation::FromBstr(routine));
    SysFreeString(mode);
    SysFreeString(routine);
    return hr;
  }

  std::unique_ptr<host::ExcelConnect> connect_ =
      std::make_unique<host::ExcelConnect>(component_.State(), component_.Routines());
};

class ExcelQueryFormConnectObject final : public DualObject<_ExcelQueryFormConnect, &IID__ExcelQueryFormConnect> {
 public:
  ~ExcelQueryFormConnectObject() override {
    connect_.reset();
    component_.Tidy();
  }

  HRESULT STDMETHODCALLTYPE putref_ExcelApp(IDispatch** application) override {
    return Guard(IID__ExcelQueryFormConnect, [&] {
      const automation::Dispatch app(application == nullptr ? nullptr : *application);
      component_.HandOver(app, [&](xl::Application* wrapped) { connect_->SetExcelApp(wrapped); });
    });
  }

  HRESULT STDMETHODCALLTYPE QuillaryQueryFormDLL(BSTR* GotoRoutine) override {
    return Guard(IID__ExcelQueryFormConnect, [&] {
      Text event = TextOf(GotoRoutine);
      connect_->QuillaryQueryFormDLL(event);
      WriteBack(GotoRoutine, event);
    });
  }

 private:
  HRESULT Call(DISPID id, WORD flags, const Arguments& args, UINT& bad) override {
    if (id == QUILLARY_DISPID_EXCELAPP) return CallExcelApp(flags, args, bad);
    if (id != QUILLARY_DISPID_QUILLARYQUERYFORMDLL || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (args.Count() != 1) return DISP_E_BADPARAMCOUNT;
    Text event;
    if (!args.String(0, event)) {
      bad = 0;
      return DISP_E_TYPEMISMATCH;
    }
    BSTR name = automation::ToBstr(event);
    const HRESULT hr = QuillaryQueryFormDLL(&name);
    args.SetString(0, automation::FromBstr(name));
    SysFreeString(name);
    return hr;
  }

  std::unique_ptr<host::ExcelQueryFormConnect> connect_ =
      std::make_unique<host::ExcelQueryFormConnect>(component_.State(), component_.Routines());
};

template <class Object>
class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The factories are static: they live as long as the DLL.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Object* object = new (std::nothrow) Object();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++serverLocks;
    } else {
      --serverLocks;
    }
    return S_OK;
  }
};

ClassFactory<ExcelConnectObject> excelConnectFactory;
ClassFactory<ExcelQueryFormConnectObject> excelQueryFormConnectFactory;

}  // namespace

}  // namespace quillary::com

using quillary::com::excelConnectFactory;
using quillary::com::excelQueryFormConnectFactory;

extern "C" {

STDAPI DllInstall(BOOL install, LPCWSTR commandLine);

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsEqualCLSID(clsid, CLSID_ExcelConnect)) return excelConnectFactory.QueryInterface(iid, out);
  if (IsEqualCLSID(clsid, CLSID_ExcelQueryFormConnect)) return excelQueryFormConnectFactory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return quillary::com::liveObjects == 0 && quillary::com::serverLocks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return quillary::com::Register(quillary::com::Scope::kMachine); }

STDAPI DllUnregisterServer() { return quillary::com::Unregister(quillary::com::Scope::kMachine); }

// regsvr32 /n /i:user registers for the current user only (regsvr32 /u /n /i:user
// removes it again); /i alone, or any other text, is the machine-wide registration.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  const bool user = commandLine != nullptr && lstrcmpiW(commandLine, L"user") == 0;
  const quillary::com::Scope scope = user ? quillary::com::Scope::kUser : quillary::com::Scope::kMachine;
  return install ? quillary::com::Register(scope) : quillary::com::Unregister(scope);
}

}  // extern "C"
