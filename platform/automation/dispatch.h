// Late-bound calls on automation objects (IDispatch), as the component makes them on the
// spreadsheet application and the host's forms: a member found by its name
// (GetIDsOfNames), then called (Invoke) with Variants.
//
// Each name is looked up once per kind of object: an object keeps the dispatch
// identifiers it was told, and shares them with every object of the same kind reached
// the same way: returned by the same member of objects of one kind, and made by the
// same code (the same interface table), as every Range a sheet's Range returns, every
// Font of such a Range. Should a kept identifier be refused as no member, the name is
// looked up again and the call made once more.
//
// Values cross as the platform's Variant: numbers, texts (BSTR <-> UTF-16 Text),
// Booleans, errors of cells, Empty and Null; an object travels as a Dispatch. A whole
// area's values travel as a two-dimensional SAFEARRAY of VARIANTs. An error raised by
// the object (its EXCEPINFO, or a failed HRESULT) becomes a quillary::Error with the
// object's number, source and description, as the host language reports it.
//
// Windows only: this folder is built when cross-building for Windows.
#pragma once

#include <oaidl.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

namespace quillary::automation {

class Dispatch;

// The dispatch identifiers of one kind of object's members, by name, and the kinds of
// the objects its members return (by member and interface table).
class IdCache {
 public:
  std::optional<DISPID> Find(std::u16string_view member) const;
  void Remember(std::u16string_view member, DISPID id);
  void Forget(std::u16string_view member);
  const std::shared_ptr<IdCache>& Returned(std::u16string_view member, const void* table);

 private:
  std::map<Text, DISPID, std::less<>> ids_;
  std::map<std::pair<Text, const void*>, std::shared_ptr<IdCache>> returned_;
};

// An argument or result of a late-bound call: a plain value or an object.
class Arg {
 public:
  Arg(Variant v) : value_(std::move(v)) {}                    // NOLINT: implicit on purpose
  Arg(const char16_t* text) : value_(Variant(Text(text))) {}  // NOLINT
  Arg(const Dispatch& object);                                // NOLINT
  Arg(const Arg& other);
  Arg& operator=(const Arg&);
  ~Arg();

  // An optional argument left out.
  static Arg Missing() {
    Arg a{Variant()};
    a.missing_ = true;
    return a;
  }
  // An array of arrays of two numbers (TextToColumns' FieldInfo: column and format).
  static Arg Pairs(std::span<const std::pair<long, long>> pairs);
  // A column of values: a rows x 1 array, as a one-column range's Value (the vectors of
  // WorksheetFunction.Lookup).
  static Arg Column(std::span<const Variant> values);

  const Variant& Value() const { return value_; }
  IDispatch* Object() const { return object_; }
  bool IsMissing() const { return missing_; }
  const std::vector<std::pair<long, long>>& PairList() const { return pairs_; }
  bool IsPairs() const { return isPairs_; }
  const std::vector<Variant>& ColumnValues() const { return column_; }
  bool IsColumn() const { return isColumn_; }

 private:
  Variant value_;
  IDispatch* object_ = nullptr;
  bool missing_ = false;
  std::vector<std::pair<long, long>> pairs_;
  bool isPairs_ = false;
  std::vector<Variant> column_;
  bool isColumn_ = false;
};

// An owned reference to an automation object; an empty one is Nothing.
class Dispatch {
 public:
  Dispatch() = default;
  // Takes a reference of its own (AddRef); the object's identifiers are kept in `ids`
  // (a new cache when none is given).
  explicit Dispatch(IDispatch* object, std::shared_ptr<IdCache> ids = nullptr);
  Dispatch(const Dispatch& other);
  Dispatch(Dispatch&& other) noexcept;
  Dispatch& operator=(Dispatch other) noexcept;
  ~Dispatch();

  IDispatch* Get() const { return object_; }
  bool IsNothing() const { return object_ == nullptr; }
  // The object's identity (its IUnknown), for telling whether two references are one
  // object.
  const void* Identity() const;

  // Property get (with arguments: an indexed property or a method's result).
  Variant Value(std::u16string_view member, std::initializer_list<Arg> args = {}) const;
  Dispatch Object(std::u16string_view member, std::initializer_list<Arg> args = {}) const;
  Dispatch Object(std::u16string_view member, std::span<const Arg> args) const;
  // Property put; the value is the last argument.
  void Put(std::u16string_view member, const Arg& value, std::initializer_list<Arg> args = {}) const;
  // Method call; the result when there is one.
  Variant Call(std::u16string_view member, std::initializer_list<Arg> args = {}) const;
  // Method call with arguments passed by reference: the callee may change them.
  Variant CallByRef(std::u16string_view member, std::span<Variant> args) const;
  // Whether the object has a member of that name.
  bool Has(std::u16string_view member) const;
  // A property's whole array (Range.Value of an area) row by row into `out`; a single
  // value comes as one element.
  void Values(std::u16string_view member, std::vector<Variant>& out) const;
  // Puts a rows x columns array (row by row in `values`).
  void PutValues(std::u16string_view member, long rows, long columns, std::span<const Variant> values) const;

 private:
  // The member's identifier; `kept` says whether it came from the cache.
  DISPID IdOf(std::u16string_view member, bool& kept) const;
  // Invoke with `count` VARIANTs in `args` (in the member's order); the result in `result`.
  void Invoke(std::u16string_view member, WORD flags, VARIANT* args, unsigned count, VARIANT* result) const;
  // An object result of `member`, sharing the identifiers of its kind.
  Dispatch Returned(std::u16string_view member, IDispatch* object) const;

  IDispatch* object_ = nullptr;
  std::shared_ptr<IdCache> ids_;
};

// Conversions between VARIANT and Variant. ToVariant raises Error 13 for a VARIANT the
// platform's values cannot hold (an object or an array).
Variant ToVariant(const VARIANT& v);
// Fills `out` (which must be VariantInit'ed or cleared) with the value.
void FromVariant(const Variant& value, VARIANT& out);
// A two-dimensional SAFEARRAY of VARIANTs (an area's values, rows by columns, the first
// dimension varying fastest in memory) <-> the values row by row. ReadArray raises
// Error 13 for another kind of array; MakeArray's array belongs to the caller.
void ReadArray(SAFEARRAY* array, long& rows, long& columns, std::vector<Variant>& out);
SAFEARRAY* MakeArray(long rows, long columns, std::span<const Variant> values);
// BSTR <-> Text. FromBstr of a null BSTR is "".
Text FromBstr(BSTR text);
BSTR ToBstr(TextView text);

// A raise of the error that an automation call returned: the number is the host
// language's (the low word of a control-facility HRESULT, else the HRESULT itself).
[[noreturn]] void RaiseFailure(HRESULT hr, const EXCEPINFO* info, std::u16string_view member);

// The HRESULT that reports a quillary::Error to an automation caller (the number in the
// control facility, as the host language raises it).
HRESULT FailureOf(const Error& e);

}  // namespace quillary::automation
