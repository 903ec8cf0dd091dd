// The in-process server: the two public classes over the component, their class
// factory and the four standard exports (and DllInstall for per-user registration).
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>
#include <string>
#include <vector>

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

Text TextOf(BSTR* text) { return text == nullptr ? Text() : automation::FromBstr(*text); }

// Writes a by-reference string argument back when the call changed it.
void WriteBack(BSTR* target, const Text& value) {
  if (target == nullptr || automation::FromBstr(*target) == value) return;
  SysFreeString(*target);
  *target = automation::ToBstr(value);
}

// Sets the thread's error object to one of ours: the source and the description.
void SetErrorObject(REFIID iid, const std::string& source, const std::string& description) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) {
    SetErrorInfo(0, nullptr);  // never leave another's error object as if it were ours
    return;
  }
  const Text source16 = FromUtf8(source);
  const std::wstring wideSource(source16.begin(), source16.end());
  const Text description16 = FromUtf8(description);
  const std::wstring wideDescription(description16.begin(), description16.end());
  create->SetGUID(iid);
  create->SetSource(const_cast<LPOLESTR>(wideSource.c_str()));
  create->SetDescription(const_cast<LPOLESTR>(wideDescription.c_str()));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  } else {
    SetErrorInfo(0, nullptr);
  }
  create->Release();
}

// The names of a member and of its parameters, as the type library gives them.
struct MemberNames {
  std::string member;
  std::vector<std::string> parameters;  // "" where the library names none

  std::string Parameter(UINT i) const {
    const std::string name = i < parameters.size() ? parameters[i] : std::string();
    return "argument " + std::to_string(i + 1) + " of " + member + (name.empty() ? "" : " (" + name + ")");
  }
};

MemberNames NamesOf(ITypeInfo* info, DISPID id, UINT count) {
  MemberNames out;
  BSTR names[16] = {};
  UINT found = 0;
  if (info != nullptr) info->GetNames(id, names, 16, &found);
  for (UINT i = 0; i < found; ++i) {
    const std::string name = ToUtf8(automation::FromBstr(names[i]));
    if (i == 0) {
      out.member = name;
    } else {
      out.parameters.push_back(name);
    }
    SysFreeString(names[i]);
  }
  out.parameters.resize(std::max<std::size_t>(out.parameters.size(), count));
  return out;
}

// The arguments of a late-bound call, in the member's order. Script hosts pass their
// variables by reference as VARIANTs (VT_BYREF | VT_VARIANT), the host language's
// compiled code passes typed references (VT_BYREF | VT_DISPATCH, VT_BYREF | VT_BSTR), and
// either may pass values: every form is taken. Arguments may come by name: a
// parameter's dispatch identifier is its place in the member's order.
//
// A call whose arguments do not fit is refused with the standard dispatch failure, the
// argument it concerns (its place in DISPPARAMS) and words that name the member, the
// argument and what it must be.
class Arguments {
 public:
  explicit Arguments(DISPPARAMS* params) : params_(params) {}

  // Places `count` arguments (a property's value last); false when they do not fit.
  bool Arrange(const MemberNames& names, UINT count, bool put) {
    names_ = names;
    slots_.assign(count, kNone);
    const UINT named = params_->cNamedArgs;
    if (params_->cArgs != count) {
      return Refuse(DISP_E_BADPARAMCOUNT, names_.member + " takes " + std::to_string(count) +
                                              (count == 1 ? " argument" : " arguments") + ", not " +
                                              std::to_string(params_->cArgs));
    }
    // Positional arguments are in reverse order after the named ones.
    for (UINT k = named; k < params_->cArgs; ++k) slots_[params_->cArgs - 1 - k] = k;
    for (UINT k = 0; k < named; ++k) {
      const DISPID id = params_->rgdispidNamedArgs[k];
      const bool value = put && id == DISPID_PROPERTYPUT;
      if (!value && (id < 0 || static_cast<UINT>(id) >= count)) return RefuseNamed(k, id);
      const UINT place = value ? count - 1 : static_cast<UINT>(id);
      if (slots_[place] != kNone) return RefuseNamed(k, id);
      slots_[place] = k;
    }
    for (UINT i = 0; i < count; ++i) {
      const VARIANT& v = Plain(At(i));
      if (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND) {
        return Refuse(DISP_E_PARAMNOTOPTIONAL, Capital(names_.Parameter(i)) + " is left out; it is required", i);
      }
    }
    return true;
  }

  // An object argument (Nothing is null); refused when it is not an object.
  bool Object(UINT i, IDispatch*& out, const char* what) {
    const VARIANT& v = Plain(At(i));
    if (v.vt == VT_DISPATCH) {
      out = v.pdispVal;
    } else if (v.vt == (VT_DISPATCH | VT_BYREF)) {
      out = *v.ppdispVal;
    } else if (v.vt == VT_EMPTY || v.vt == VT_NULL) {
      out = nullptr;
    } else {
      return Refuse(DISP_E_TYPEMISMATCH, Capital(names_.Parameter(i)) + " must be " + what + " or Nothing", i);
    }
    return true;
  }

  // A string argument, converted as the host language converts a value to a String;
  // refused when it has no text (an object, an array).
  bool String(UINT i, Text& out) {
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
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN || (v.vt & VT_ARRAY) ||
        FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR))) {
      return Refuse(DISP_E_TYPEMISMATCH, Capital(names_.Parameter(i)) + " must be a String", i);
    }
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

  // Refuses the call; `parameter` is the place of the argument it concerns.
  bool Refuse(HRESULT code, std::string description, std::optional<UINT> parameter = std::nullopt) {
    refusal_ = code;
    description_ = std::move(description);
    if (parameter && *parameter < slots_.size()) argument_ = slots_[*parameter];
    return false;
  }

  bool Refused() const { return FAILED(refusal_); }
  HRESULT Refusal() const { return refusal_; }
  const std::string& Description() const { return description_; }
  // The refused argument's place in DISPPARAMS, when the refusal concerns one.
  std::optional<UINT> Argument() const { return argument_; }

 private:
  static constexpr UINT kNone = ~0u;

  bool RefuseNamed(UINT k, DISPID id) {
    Refuse(DISP_E_PARAMNOTFOUND, names_.member + " has no parameter with the dispatch identifier " +
                                     std::to_string(id) + " (argument " + std::to_string(k + 1) +
                                     " of the call, passed by name), or it is given twice");
    argument_ = k;
    return false;
  }
  static std::string Capital(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
  }
  VARIANT& At(UINT i) const { return params_->rgvarg[slots_[i]]; }
  static const VARIANT& Plain(const VARIANT& v) { return v.vt == (VT_VARIANT | VT_BYREF) ? *v.pvarVal : v; }

  DISPPARAMS* params_;
  MemberNames names_;
  std::vector<UINT> slots_;  // each parameter's place in rgvarg
  HRESULT refusal_ = S_OK;
  std::string description_;
  std::optional<UINT> argument_;
};

// IUnknown, IDispatch and ISupportErrorInfo for one dual interface; Derived implements
// the interface's own members, and Call, which runs them late-bound.
template <class Interface, const IID* Iid>
class DualObject : public Interface, public ISupportErrorInfo {
 public:
  virtual ~DualObject() {
    if (info_ != nullptr) info_->Release();
    --liveObjects;
  }
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
    if (result != nullptr) VariantInit(result);
    failure_.reset();
    Arguments args(params);
    const HRESULT hr = Call(id, flags, args);
    if (args.Refused()) {
      if (badArg != nullptr && args.Argument()) *badArg = *args.Argument();
      SetErrorObject(*Iid, progId_, args.Description());
      return args.Refusal();
    }
    if (SUCCEEDED(hr) || exception == nullptr || !failure_) return hr;
    // The member's own error, never an error object another left on the thread.
    *exception = EXCEPINFO{};
    exception->scode = hr;
    exception->bstrSource = automation::ToBstr(FromUtf8(failure_->Source()));
    exception->bstrDescription = automation::ToBstr(FromUtf8(failure_->Description()));
    return DISP_E_EXCEPTION;
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, *Iid) ? S_OK : S_FALSE;
  }

 protected:
  explicit DualObject(const char* progId) : progId_(progId) { ++liveObjects; }

  Component& component_ = Component::OfThisThread();

  // Runs member `id` late-bound; arguments that do not fit are refused through `args`.
  virtual HRESULT Call(DISPID id, WORD flags, Arguments& args) = 0;

  // Runs a member's body: an Error (or any exception) leaves as a failed HRESULT with
  // the error object set, never as an exception across the interface.
  template <class Body>
  HRESULT Guard(Body&& body) {
    try {
      body();
      return S_OK;
    } catch (const Error& e) {
      return Report(e);
    } catch (const std::bad_alloc&) {
      return Report(Error(err::kOutOfMemory, "Quillary", "Out of memory"));
    } catch (const std::exception& ex) {
      return Report(Error(err::kApplication, "Quillary", ex.what()));
    }
  }

  // The names of member `id` and its parameters.
  MemberNames Names(DISPID id, UINT count) { return NamesOf(SUCCEEDED(Info()) ? info_ : nullptr, id, count); }

  // A member that is not there, or not with these flags.
  HRESULT NoMember(DISPID id, Arguments& args, const std::string& why) {
    const MemberNames names = Names(id, 0);
    args.Refuse(DISP_E_MEMBERNOTFOUND,
                names.member.empty() ? progId_ + " has no member with the dispatch identifier " + std::to_string(id)
                                     : names.member + " " + why);
    return DISP_E_MEMBERNOTFOUND;
  }

  // ExcelApp, alike in both classes: one object, set by reference.
  HRESULT CallExcelApp(WORD flags, Arguments& args) {
    if (!(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
      return NoMember(QUILLARY_DISPID_EXCELAPP, args, "can only be set (Set ... = the application)");
    }
    if (!args.Arrange(Names(QUILLARY_DISPID_EXCELAPP, 1), 1, true)) return args.Refusal();
    IDispatch* application = nullptr;
    if (!args.Object(0, application, "the application object")) return args.Refusal();
    return static_cast<Interface*>(this)->putref_ExcelApp(&application);
  }

 private:
  HRESULT Info() {
    if (info_ != nullptr) return S_OK;
    return TypeInfoOf(*Iid, &info_);
  }

  // Reports an error of the component to the automation caller: the number, the
  // source (the chain of routine names) and the description, through the error object.
  HRESULT Report(const Error& e) {
    failure_ = e;
    SetErrorObject(*Iid, e.Source(), e.Description());
    return automation::FailureOf(e);
  }

  std::atomic<long> references_{1};
  ITypeInfo* info_ = nullptr;
  std::string progId_;
  std::optional<Error> failure_;  // the error of the member running late-bound
};

class ExcelConnectObject final : public DualObject<_ExcelConnect, &IID__ExcelConnect> {
 public:
  ExcelConnectObject() : DualObject("Quillary3.ExcelConnect") {}
  ~ExcelConnectObject() override {
    connect_.reset();
    component_.Tidy();
  }

  HRESULT STDMETHODCALLTYPE putref_ExcelApp(IDispatch** application) override {
    return Guard([&] {
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
    return Guard([&] {
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
  HRESULT Call(DISPID id, WORD flags, Arguments& args) override {
    if (id == QUILLARY_DISPID_EXCELAPP) return CallExcelApp(flags, args);
    if (id != QUILLARY_DISPID_QUILLARYDLL) return NoMember(id, args, "");
    if (!(flags & DISPATCH_METHOD)) return NoMember(id, args, "is a method: it cannot be read or set");
    if (!args.Arrange(Names(id, 12), 12, false)) return args.Refusal();
    IDispatch* forms[10] = {};
    for (UINT i = 0; i < 10; ++i) {
      if (!args.Object(i, forms[i], "a form (an object)")) return args.Refusal();
    }
    Text texts[2];
    for (UINT i = 0; i < 2; ++i) {
      if (!args.String(10 + i, texts[i])) return args.Refusal();
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
  ExcelQueryFormConnectObject() : DualObject("Quillary3.ExcelQueryFormConnect") {}
  ~ExcelQueryFormConnectObject() override {
    connect_.reset();
    component_.Tidy();
  }

  HRESULT STDMETHODCALLTYPE putref_ExcelApp(IDispatch** application) override {
    return Guard([&] {
      const automation::Dispatch app(application == nullptr ? nullptr : *application);
      component_.HandOver(app, [&](xl::Application* wrapped) { connect_->SetExcelApp(wrapped); });
    });
  }

  HRESULT STDMETHODCALLTYPE QuillaryQueryFormDLL(BSTR* GotoRoutine) override {
    return Guard([&] {
      Text event = TextOf(GotoRoutine);
      connect_->QuillaryQueryFormDLL(event);
      WriteBack(GotoRoutine, event);
    });
  }

 private:
  HRESULT Call(DISPID id, WORD flags, Arguments& args) override {
    if (id == QUILLARY_DISPID_EXCELAPP) return CallExcelApp(flags, args);
    if (id != QUILLARY_DISPID_QUILLARYQUERYFORMDLL) return NoMember(id, args, "");
    if (!(flags & DISPATCH_METHOD)) return NoMember(id, args, "is a method: it cannot be read or set");
    if (!args.Arrange(Names(id, 1), 1, false)) return args.Refusal();
    Text event;
    if (!args.String(0, event)) return args.Refusal();
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
