#include "platform/automation/dispatch.h"

#include <dispex.h>
#include <oleauto.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>

namespace quillary::automation {

namespace {

// The host language's numbers for the standard automation failures.
long NumberOf(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return err::kNoSuchMember;
    case DISP_E_TYPEMISMATCH: return err::kTypeMismatch;
    case DISP_E_BADINDEX: return err::kSubscript;
    case DISP_E_OVERFLOW: return err::kOverflow;
    case E_OUTOFMEMORY: return err::kOutOfMemory;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL: return 450;  // Wrong number of arguments or invalid property assignment
    default: break;
  }
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return HRESULT_CODE(hr);
  return static_cast<long>(hr);
}

std::string DescriptionOf(HRESULT hr) {
  switch (NumberOf(hr)) {
    case err::kNoSuchMember: return "Object doesn't support this property or method";
    case err::kTypeMismatch: return "Type mismatch";
    case err::kSubscript: return "Subscript out of range";
    case err::kOverflow: return "Overflow";
    case err::kOutOfMemory: return "Out of memory";
    case 450: return "Wrong number of arguments or invalid property assignment";
    default: return "Automation error";
  }
}

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// Owns an array of VARIANTs for one call.
class VariantArray {
 public:
  explicit VariantArray(std::size_t n) : items_(n) {
    for (VARIANT& v : items_) VariantInit(&v);
  }
  ~VariantArray() {
    for (VARIANT& v : items_) VariantClear(&v);
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  VARIANT* Data() { return items_.data(); }
  VARIANT& operator[](std::size_t i) { return items_[i]; }
  std::size_t Size() const { return items_.size(); }

 private:
  std::vector<VARIANT> items_;
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&v_); }
  ~ScopedVariant() { VariantClear(&v_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* operator&() { return &v_; }
  const VARIANT& operator*() const { return v_; }

 private:
  VARIANT v_;
};

// A one-dimensional array of VARIANTs, owned by the caller.
SAFEARRAY* VectorOf(std::size_t n) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(n), 0};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  if (array == nullptr) throw std::bad_alloc();
  return array;
}

void FromArg(const Arg& arg, VARIANT& out) {
  if (arg.IsPairs()) {
    const auto& pairs = arg.PairList();
    SAFEARRAY* outer = VectorOf(pairs.size());
    VARIANT* items = nullptr;
    SafeArrayAccessData(outer, reinterpret_cast<void**>(&items));
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      SAFEARRAY* inner = VectorOf(2);
      VARIANT* two = nullptr;
      SafeArrayAccessData(inner, reinterpret_cast<void**>(&two));
      FromVariant(Variant(pairs[i].first), two[0]);
      FromVariant(Variant(pairs[i].second), two[1]);
      SafeArrayUnaccessData(inner);
      items[i].vt = VT_ARRAY | VT_VARIANT;
      items[i].parray = inner;
    }
    SafeArrayUnaccessData(outer);
    out.vt = VT_ARRAY | VT_VARIANT;
    out.parray = outer;
    return;
  }
  if (arg.IsColumn()) {
    const auto& values = arg.ColumnValues();
    out.vt = VT_ARRAY | VT_VARIANT;
    out.parray = MakeArray(static_cast<long>(values.size()), 1, values);
    return;
  }
  if (arg.IsMissing()) {
    out.vt = VT_ERROR;
    out.scode = DISP_E_PARAMNOTFOUND;
    return;
  }
  if (arg.Object() != nullptr) {
    out.vt = VT_DISPATCH;
    out.pdispVal = arg.Object();
    out.pdispVal->AddRef();
    return;
  }
  FromVariant(arg.Value(), out);
}

// Fills `out` (in the callee's reverse order) from args given in the member's order.
void FillArgs(std::span<const Arg> args, VariantArray& out, std::size_t offset = 0) {
  std::size_t i = out.Size() - offset;
  for (const Arg& a : args) FromArg(a, out[--i]);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Values

Text FromBstr(BSTR text) {
  if (text == nullptr) return Text();
  return Text(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

BSTR ToBstr(TextView text) {
  BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (b == nullptr) throw std::bad_alloc();
  return b;
}

Variant ToVariant(const VARIANT& in) {
  if (in.vt & VT_BYREF) {
    ScopedVariant copy;
    const HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&in));
    if (FAILED(hr)) RaiseFailure(hr, nullptr, u"");
    return ToVariant(*copy);
  }
  switch (in.vt) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::Null();
    case VT_BSTR: return Variant(FromBstr(in.bstrVal));
    case VT_BOOL: return Variant(in.boolVal != VARIANT_FALSE);
    case VT_ERROR: return Variant(static_cast<CellError>(HRESULT_CODE(in.scode)));
    case VT_R8: return Variant(in.dblVal);
    case VT_I4: return Variant(static_cast<double>(in.lVal));
    case VT_DISPATCH:
    case VT_UNKNOWN: Raise(err::kTypeMismatch, "Type mismatch: an object where a value was expected");
    default: break;
  }
  if (in.vt & VT_ARRAY) Raise(err::kTypeMismatch, "Type mismatch: an array where a value was expected");
  ScopedVariant number;
  const HRESULT hr = VariantChangeType(&number, const_cast<VARIANT*>(&in), 0, VT_R8);
  if (FAILED(hr)) Raise(err::kTypeMismatch, "Type mismatch");
  return Variant((*number).dblVal);
}

void FromVariant(const Variant& value, VARIANT& out) {
  switch (value.Type()) {
    case VarType::Empty: out.vt = VT_EMPTY; return;
    case VarType::Null: out.vt = VT_NULL; return;
    case VarType::Number: {
      const double n = value.AsNumber();
      if (std::floor(n) == n && n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(n);
      } else {
        out.vt = VT_R8;
        out.dblVal = n;
      }
      return;
    }
    case VarType::String:
      out.vt = VT_BSTR;
      out.bstrVal = ToBstr(value.AsText());
      return;
    case VarType::Boolean:
      out.vt = VT_BOOL;
      out.boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case VarType::Error:
      out.vt = VT_ERROR;
      out.scode = MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<int>(value.AsError()));
      return;
  }
}

// ---------------------------------------------------------------------------------------
// Errors

void RaiseFailure(HRESULT hr, const EXCEPINFO* info, std::u16string_view member) {
  if (hr == DISP_E_EXCEPTION && info != nullptr) {
    EXCEPINFO filled = *info;
    if (filled.pfnDeferredFillIn != nullptr) filled.pfnDeferredFillIn(&filled);
    const HRESULT code =
        filled.scode != 0 ? filled.scode : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, filled.wCode);
    const long number = filled.wCode != 0 ? filled.wCode : NumberOf(code);
    std::string source = ToUtf8(FromBstr(filled.bstrSource));
    std::string description = ToUtf8(FromBstr(filled.bstrDescription));
    SysFreeString(filled.bstrSource);
    SysFreeString(filled.bstrDescription);
    SysFreeString(filled.bstrHelpFile);
    if (description.empty()) description = DescriptionOf(code);
    throw Error(number, source.empty() ? "Quillary" : source, description);
  }
  std::string description = DescriptionOf(hr);
  if (!member.empty()) description += " (" + ToUtf8(Text(member)) + ")";
  throw Error(NumberOf(hr), "Quillary", description);
}

HRESULT FailureOf(const Error& e) {
  const long n = e.Number();
  if (n > 0 && n <= 0xFFFF) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, n);
  return n < 0 ? static_cast<HRESULT>(n) : E_FAIL;
}

// ---------------------------------------------------------------------------------------
// Arg

Arg::Arg(const Dispatch& object) : object_(object.Get()) {
  if (object_ != nullptr) object_->AddRef();
}

Arg Arg::Pairs(std::span<const std::pair<long, long>> pairs) {
  Arg a{Variant()};
  a.pairs_.assign(pairs.begin(), pairs.end());
  a.isPairs_ = true;
  return a;
}

Arg Arg::Column(std::span<const Variant> values) {
  Arg a{Variant()};
  a.column_.assign(values.begin(), values.end());
  a.isColumn_ = true;
  return a;
}

Arg::Arg(const Arg& other)
    : value_(other.value_),
      object_(other.object_),
      missing_(other.missing_),
      pairs_(other.pairs_),
      isPairs_(other.isPairs_),
      column_(other.column_),
      isColumn_(other.isColumn_) {
  if (object_ != nullptr) object_->AddRef();
}

Arg& Arg::operator=(const Arg& other) {
  if (this != &other) {
    if (other.object_ != nullptr) other.object_->AddRef();
    if (object_ != nullptr) object_->Release();
    value_ = other.value_;
    object_ = other.object_;
    missing_ = other.missing_;
    pairs_ = other.pairs_;
    isPairs_ = other.isPairs_;
    column_ = other.column_;
    isColumn_ = other.isColumn_;
  }
  return *this;
}

Arg::~Arg() {
  if (object_ != nullptr) object_->Release();
}

// ---------------------------------------------------------------------------------------
// IdCache

std::optional<DISPID> IdCache::Find(std::u16string_view member) const {
  const auto found = ids_.find(member);
  if (found == ids_.end()) return std::nullopt;
  return found->second;
}

void IdCache::Remember(std::u16string_view member, DISPID id) { ids_.insert_or_assign(Text(member), id); }

void IdCache::Forget(std::u16string_view member) {
  if (const auto found = ids_.find(member); found != ids_.end()) ids_.erase(found);
}

const std::shared_ptr<IdCache>& IdCache::Returned(std::u16string_view member, const void* table) {
  std::shared_ptr<IdCache>& cache = returned_[{Text(member), table}];
  if (cache == nullptr) cache = std::make_shared<IdCache>();
  return cache;
}

// ---------------------------------------------------------------------------------------
// Dispatch

Dispatch::Dispatch(IDispatch* object, std::shared_ptr<IdCache> ids) : object_(object), ids_(std::move(ids)) {
  if (object_ != nullptr) object_->AddRef();
  if (ids_ == nullptr) ids_ = std::make_shared<IdCache>();
}

Dispatch::Dispatch(const Dispatch& other) : object_(other.object_), ids_(other.ids_) {
  if (object_ != nullptr) object_->AddRef();
}

Dispatch::Dispatch(Dispatch&& other) noexcept
    : object_(std::exchange(other.object_, nullptr)), ids_(std::move(other.ids_)) {}

Dispatch& Dispatch::operator=(Dispatch other) noexcept {
  std::swap(object_, other.object_);
  std::swap(ids_, other.ids_);
  return *this;
}

Dispatch::~Dispatch() {
  if (object_ != nullptr) object_->Release();
}

const void* Dispatch::Identity() const {
  if (object_ == nullptr) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(object_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)))) return object_;
  unknown->Release();  // the object holds it while we hold the object
  return unknown;
}

namespace {

// The member's identifier. Script objects that answer names only through IDispatchEx
// (some script engines' class instances) are asked there when GetIDsOfNames is not
// implemented.
HRESULT FindId(IDispatch* object, std::u16string_view member, DISPID& id) {
  std::wstring name = Wide(member);
  LPOLESTR names[1] = {name.data()};
  id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (hr != E_NOTIMPL) return hr;
  IDispatchEx* ex = nullptr;
  if (FAILED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&ex)))) return hr;
  BSTR text = ToBstr(member);
  hr = ex->GetDispID(text, fdexNameCaseInsensitive, &id);
  SysFreeString(text);
  ex->Release();
  return hr;
}

}  // namespace

DISPID Dispatch::IdOf(std::u16string_view member, bool& kept) const {
  if (object_ == nullptr) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  if (const std::optional<DISPID> known = ids_->Find(member)) {
    kept = true;
    return *known;
  }
  kept = false;
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = FindId(object_, member, id);
  if (FAILED(hr)) RaiseFailure(hr, nullptr, member);
  ids_->Remember(member, id);
  return id;
}

Dispatch Dispatch::Returned(std::u16string_view member, IDispatch* object) const {
  // A COM object begins with its interface table: objects made by the same code share it.
  const void* table = *reinterpret_cast<void* const*>(object);
  return Dispatch(object, ids_->Returned(member, table));
}

bool Dispatch::Has(std::u16string_view member) const {
  if (object_ == nullptr) return false;
  DISPID id = DISPID_UNKNOWN;
  return SUCCEEDED(FindId(object_, member, id));
}

void Dispatch::Invoke(std::u16string_view member, WORD flags, VARIANT* args, unsigned count, VARIANT* result) const {
  bool kept = false;
  DISPID id = IdOf(member, kept);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{args, nullptr, count, 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  UINT badArg = 0;
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &badArg);
  if (kept && (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME)) {
    // A kept identifier this object does not know: its own, and the call once more.
    ids_->Forget(member);
    const DISPID fresh = IdOf(member, kept);
    if (fresh != id) hr = object_->Invoke(fresh, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &badArg);
  }
  if (FAILED(hr)) RaiseFailure(hr, &info, member);
}

Variant Dispatch::Value(std::u16string_view member, std::initializer_list<Arg> args) const {
  VariantArray in(args.size());
  FillArgs(args, in);
  ScopedVariant result;
  Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, in.Data(), static_cast<unsigned>(in.Size()), &result);
  return ToVariant(*result);
}

Dispatch Dispatch::Object(std::u16string_view member, std::initializer_list<Arg> args) const {
  return Object(member, std::span<const Arg>(args.begin(), args.size()));
}

Dispatch Dispatch::Object(std::u16string_view member, std::span<const Arg> args) const {
  VariantArray in(args.size());
  FillArgs(args, in);
  ScopedVariant result;
  Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, in.Data(), static_cast<unsigned>(in.Size()), &result);
  const VARIANT& r = *result;
  if (r.vt == VT_DISPATCH) return r.pdispVal == nullptr ? Dispatch() : Returned(member, r.pdispVal);
  if (r.vt == (VT_DISPATCH | VT_BYREF)) return *r.ppdispVal == nullptr ? Dispatch() : Returned(member, *r.ppdispVal);
  if (r.vt == VT_EMPTY || r.vt == VT_NULL) return Dispatch();
  if (r.vt == VT_UNKNOWN && r.punkVal == nullptr) return Dispatch();
  if (r.vt == VT_UNKNOWN) {
    IDispatch* d = nullptr;
    if (SUCCEEDED(r.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)))) {
      Dispatch out = Returned(member, d);
      d->Release();
      return out;
    }
  }
  throw Error(err::kTypeMismatch, "Quillary", "Type mismatch: " + ToUtf8(Text(member)) + " is not an object");
}

void Dispatch::Put(std::u16string_view member, const Arg& value, std::initializer_list<Arg> args) const {
  VariantArray in(args.size() + 1);
  FromArg(value, in[0]);
  FillArgs(args, in);
  const WORD flags = value.Object() != nullptr ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  Invoke(member, flags, in.Data(), static_cast<unsigned>(in.Size()), nullptr);
}

Variant Dispatch::Call(std::u16string_view member, std::initializer_list<Arg> args) const {
  VariantArray in(args.size());
  FillArgs(args, in);
  ScopedVariant result;
  Invoke(member, DISPATCH_METHOD, in.Data(), static_cast<unsigned>(in.Size()), &result);
  const VARIANT& r = *result;
  if (r.vt == VT_DISPATCH || r.vt == VT_UNKNOWN) return Variant();  // an object result nobody asked for
  return ToVariant(r);
}

Variant Dispatch::CallByRef(std::u16string_view member, std::span<Variant> args) const {
  VariantArray values(args.size());
  VariantArray refs(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::size_t slot = args.size() - 1 - i;
    FromVariant(args[i], values[slot]);
    refs[slot].vt = VT_BYREF | VT_VARIANT;
    refs[slot].pvarVal = &values[slot];
  }
  ScopedVariant result;
  Invoke(member, DISPATCH_METHOD, refs.Data(), static_cast<unsigned>(refs.Size()), &result);
  for (std::size_t i = 0; i < args.size(); ++i) args[i] = ToVariant(values[args.size() - 1 - i]);
  const VARIANT& r = *result;
  if (r.vt == VT_DISPATCH || r.vt == VT_UNKNOWN) return Variant();
  return ToVariant(r);
}

void Dispatch::Values(std::u16string_view member, std::vector<Variant>& out) const {
  ScopedVariant result;
  VARIANT none;
  Invoke(member, DISPATCH_PROPERTYGET, &none, 0, &result);
  const VARIANT& r = *result;
  out.clear();
  if (!(r.vt & VT_ARRAY)) {
    out.push_back(ToVariant(r));
    return;
  }
  if ((r.vt & VT_TYPEMASK) != VT_VARIANT) Raise(err::kTypeMismatch, "Type mismatch: not an array of values");
  long rows = 0, columns = 0;
  ReadArray((r.vt & VT_BYREF) ? *r.pparray : r.parray, rows, columns, out);
}

void Dispatch::PutValues(std::u16string_view member, long rows, long columns, std::span<const Variant> values) const {
  VARIANT in[1];
  in[0].vt = VT_ARRAY | VT_VARIANT;
  in[0].parray = MakeArray(rows, columns, values);
  try {
    Invoke(member, DISPATCH_PROPERTYPUT, in, 1, nullptr);
  } catch (...) {
    SafeArrayDestroy(in[0].parray);
    throw;
  }
  SafeArrayDestroy(in[0].parray);
}

// ---------------------------------------------------------------------------------------
// Arrays

void ReadArray(SAFEARRAY* array, long& rows, long& columns, std::vector<Variant>& out) {
  if (array == nullptr || SafeArrayGetDim(array) != 2) {
    Raise(err::kTypeMismatch, "Type mismatch: not a two-dimensional array of values");
  }
  LONG lowRow = 0, highRow = 0, lowCol = 0, highCol = 0;
  SafeArrayGetLBound(array, 1, &lowRow);
  SafeArrayGetUBound(array, 1, &highRow);
  SafeArrayGetLBound(array, 2, &lowCol);
  SafeArrayGetUBound(array, 2, &highCol);
  rows = highRow - lowRow + 1;
  columns = highCol - lowCol + 1;
  VARIANT* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) Raise(err::kTypeMismatch, "Type mismatch");
  out.clear();
  out.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  try {
    for (long row = 0; row < rows; ++row) {
      for (long col = 0; col < columns; ++col) out.push_back(ToVariant(data[row + col * rows]));
    }
  } catch (...) {
    SafeArrayUnaccessData(array);
    throw;
  }
  SafeArrayUnaccessData(array);
}

SAFEARRAY* MakeArray(long rows, long columns, std::span<const Variant> values) {
  if (static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns) != values.size()) {
    Raise(err::kApplication, "The values do not fill the area");
  }
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (array == nullptr) throw std::bad_alloc();
  VARIANT* data = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  for (long row = 0; row < rows; ++row) {
    for (long col = 0; col < columns; ++col) {
      FromVariant(
          values[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(col)],
          data[row + col * rows]);
    }
  }
  SafeArrayUnaccessData(array);
  return array;
}

}  // namespace quillary::automation
