// The in-memory stand-in of the platform exposed through IDispatch, as the real
// application, its forms and the host add-in reach an in-process server: the
// application with its workbooks, worksheets, ranges and windows, the host's forms with
// their controls, and the host macros through Application.Run. Members are found by
// name without regard to case, as the host language finds them; an error of the
// stand-in reaches the caller as the application's exception (number, source,
// description).
#pragma once

#include <oaidl.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/forms/forms.h"
#include "platform/runtime/value.h"

namespace quillary::com::testing {

// One member call on an adapter.
class Call {
 public:
  Call(WORD flags, DISPPARAMS* params, VARIANT* result);
  bool IsPut() const { return put_ != nullptr; }
  std::size_t Count() const { return args_.size(); }
  // Whether the argument is given (not left out).
  bool Has(std::size_t i) const;
  Variant Arg(std::size_t i) const;
  Variant PutValue() const;
  // An argument that is an object, or null.
  IDispatch* ObjectArg(std::size_t i) const;
  // The argument passed by reference (for macros that change their arguments), or null.
  VARIANT* RefArg(std::size_t i) const;
  const VARIANT* PutVariant() const { return put_; }
  // The argument as passed.
  const VARIANT* Raw(std::size_t i) const { return args_[i]; }
  void Return(const Variant& v);
  // Returns an object (taking over the one reference given).
  void ReturnObject(IDispatch* object);
  VARIANT* Result() { return result_; }

 private:
  std::vector<VARIANT*> args_;  // in the member's order
  VARIANT* put_ = nullptr;
  VARIANT* result_;
};

using Handler = std::function<void(Call&)>;

// IDispatch over a table of named members.
class Adapter : public IDispatch {
 public:
  Adapter() = default;
  virtual ~Adapter() = default;
  Adapter(const Adapter&) = delete;
  Adapter& operator=(const Adapter&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArg) override;

  // The member calls (Invoke) and the name look-ups (GetIDsOfNames) made on all
  // adapters so far, and the calls by member name (for the speed figures).
  static long CallCount();
  static long NameLookups();
  static const std::map<Text, long>& CallsByMember();

 protected:
  void Member(const char16_t* name, Handler handler);
  // A member not in the table (the controls of a form); null when there is none.
  virtual const Handler* Dynamic(const Text& /*foldedName*/) { return nullptr; }

 private:
  long references_ = 1;
  std::vector<Handler> handlers_;
  std::vector<Text> names_;     // of handlers_
  std::map<Text, DISPID> ids_;  // by folded name
  std::map<DISPID, Handler> dynamic_;
  std::map<DISPID, Text> dynamicNames_;
  std::map<Text, DISPID> dynamicIds_;
};

// The stand-in's objects as adapters, one adapter per object (so that identity holds).
class StandIn {
 public:
  // The application's Run runs the host macros (its macro runner).
  explicit StandIn(xl::Application& app);
  ~StandIn();
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  // New references (the caller releases them).
  IDispatch* Application();
  IDispatch* Form(forms::UserForm& form);

  // The adapters' objects.
  IDispatch* Of(xl::Workbook& book);
  IDispatch* Of(xl::Worksheet& sheet);
  IDispatch* Of(xl::Window& window);
  IDispatch* Of(xl::DefinedName& name);
  IDispatch* Of(forms::Control& control);
  // A new range adapter (ranges are values: a new object each time, as the
  // application's).
  IDispatch* Of(const xl::Range& range);
  // The range of an adapter the stand-in made; Error 13 for another object.
  xl::Range RangeOf(IDispatch* object);
  xl::Worksheet& SheetOf(IDispatch* object);

  xl::Application& App() { return app_; }

 private:
  template <class Key, class Make>
  IDispatch* Cached(Key* key, Make&& make);

  xl::Application& app_;
  std::map<const void*, IDispatch*> adapters_;
};

}  // namespace quillary::com::testing
