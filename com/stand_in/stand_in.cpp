#include "com/stand_in/stand_in.h"

#include <oleauto.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "platform/automation/dispatch.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::com::testing {

using automation::FromVariant;
using automation::ToVariant;

namespace {

long calls = 0;
long lookups = 0;
std::map<Text, long> callsByMember;

Text TextOf(const Variant& v) { return vba::CStr(v); }
bool BoolOf(const Variant& v) { return vba::CBool(v); }
double DoubleOf(const Variant& v) { return vba::CDbl(v); }
long LongOf(const Variant& v) { return static_cast<long>(vba::CLng(vba::CDbl(v))); }

const VARIANT& Deref(const VARIANT& v) { return v.vt == (VT_BYREF | VT_VARIANT) ? *v.pvarVal : v; }

}  // namespace

// ---------------------------------------------------------------------------------------
// Call

Call::Call(WORD flags, DISPPARAMS* params, VARIANT* result) : result_(result) {
  const unsigned named = params->cNamedArgs;
  unsigned positional = params->cArgs;
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && named == 1 &&
      params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT) {
    put_ = &params->rgvarg[0];
    for (unsigned i = positional; i-- > 1;) args_.push_back(&params->rgvarg[i]);
    return;
  }
  if (named != 0) Raise(450, "Named arguments are not supported by the stand-in");
  for (unsigned i = positional; i-- > 0;) args_.push_back(&params->rgvarg[i]);
}

bool Call::Has(std::size_t i) const {
  if (i >= args_.size()) return false;
  const VARIANT& v = Deref(*args_[i]);
  return !(v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
}

Variant Call::Arg(std::size_t i) const {
  if (!Has(i)) Raise(449, "Argument not optional");
  return ToVariant(*args_[i]);
}

Variant Call::PutValue() const { return ToVariant(*put_); }

IDispatch* Call::ObjectArg(std::size_t i) const {
  if (!Has(i)) return nullptr;
  const VARIANT& v = Deref(*args_[i]);
  if (v.vt == VT_DISPATCH) return v.pdispVal;
  if (v.vt == (VT_DISPATCH | VT_BYREF)) return *v.ppdispVal;
  return nullptr;
}

VARIANT* Call::RefArg(std::size_t i) const {
  if (i >= args_.size()) return nullptr;
  return args_[i]->vt == (VT_BYREF | VT_VARIANT) ? args_[i]->pvarVal : nullptr;
}

void Call::Return(const Variant& v) {
  if (result_ == nullptr) return;
  VariantClear(result_);
  FromVariant(v, *result_);
}

void Call::ReturnObject(IDispatch* object) {
  if (result_ == nullptr) {
    if (object != nullptr) object->Release();
    return;
  }
  VariantClear(result_);
  result_->vt = VT_DISPATCH;
  result_->pdispVal = object;
}

// ---------------------------------------------------------------------------------------
// Adapter

HRESULT Adapter::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG Adapter::Release() {
  const long left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT Adapter::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT Adapter::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

void Adapter::Member(const char16_t* name, Handler handler) {
  handlers_.push_back(std::move(handler));
  names_.emplace_back(name);
  ids_[text_order::Fold(name)] = static_cast<DISPID>(handlers_.size());
}

HRESULT Adapter::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  ++lookups;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (count != 1) return DISP_E_UNKNOWNNAME;
  const Text folded = text_order::Fold(Text(reinterpret_cast<const char16_t*>(names[0])));
  if (auto found = ids_.find(folded); found != ids_.end()) {
    ids[0] = found->second;
    return S_OK;
  }
  if (auto found = dynamicIds_.find(folded); found != dynamicIds_.end()) {
    ids[0] = found->second;
    return S_OK;
  }
  if (const Handler* handler = Dynamic(folded)) {
    const DISPID id = 100000 + static_cast<DISPID>(dynamic_.size());
    dynamic_[id] = *handler;
    dynamicNames_[id] = Text(reinterpret_cast<const char16_t*>(names[0]));
    dynamicIds_[folded] = id;
    ids[0] = id;
    return S_OK;
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT Adapter::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT*) {
  ++calls;
  const Handler* handler = nullptr;
  if (id >= 1 && static_cast<std::size_t>(id) <= handlers_.size()) {
    handler = &handlers_[static_cast<std::size_t>(id - 1)];
    ++callsByMember[names_[static_cast<std::size_t>(id - 1)]];
  }
  if (auto found = dynamic_.find(id); found != dynamic_.end()) {
    handler = &found->second;
    ++callsByMember[dynamicNames_[id]];
  }
  if (handler == nullptr) return DISP_E_MEMBERNOTFOUND;
  try {
    try {
      Call call(flags, params, result);
      (*handler)(call);
      return S_OK;
    } catch (const Error&) {
      throw;
    } catch (const std::exception& e) {
      throw Error(err::kApplication, "stand-in", e.what());
    }
  } catch (const Error& e) {
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = automation::FailureOf(e);
      exception->bstrSource = automation::ToBstr(FromUtf8(e.Source()));
      exception->bstrDescription = automation::ToBstr(FromUtf8(e.Description()));
    }
    return DISP_E_EXCEPTION;
  }
}

long Adapter::CallCount() { return calls; }
long Adapter::NameLookups() { return lookups; }
const std::map<Text, long>& Adapter::CallsByMember() { return callsByMember; }

namespace {

// Adapters with the helpers their tables share.
class Base : public Adapter {
 protected:
  explicit Base(StandIn& s) : s_(s) {}

  template <class Get, class Set>
  void Prop(const char16_t* name, Get get, Set set) {
    Member(name, [get, set](Call& c) {
      if (c.IsPut()) {
        set(c.PutValue());
      } else {
        c.Return(get());
      }
    });
  }
  template <class Get>
  void ReadOnly(const char16_t* name, Get get) {
    Member(name, [get, name](Call& c) {
      if (c.IsPut()) Raise(err::kApplication, "Unable to set the " + ToUtf8(name) + " property");
      c.Return(get());
    });
  }
  template <class Get>
  void Object(const char16_t* name, Get get) {
    Member(name, [get](Call& c) { c.ReturnObject(get(c)); });
  }
  template <class Do>
  void Method(const char16_t* name, Do act) {
    Member(name, [act](Call& c) { act(c); });
  }

  StandIn& s_;
};

// An array of arrays of two numbers (TextToColumns' FieldInfo).
std::vector<std::pair<long, long>> PairsOf(const VARIANT& in) {
  const VARIANT& v = Deref(in);
  if (v.vt != (VT_ARRAY | VT_VARIANT) || SafeArrayGetDim(v.parray) != 1) Raise(err::kTypeMismatch, "Type mismatch");
  LONG low = 0, high = -1;
  SafeArrayGetLBound(v.parray, 1, &low);
  SafeArrayGetUBound(v.parray, 1, &high);
  std::vector<std::pair<long, long>> out;
  for (LONG i = low; i <= high; ++i) {
    VARIANT item;
    VariantInit(&item);
    SafeArrayGetElement(v.parray, &i, &item);
    if (item.vt != (VT_ARRAY | VT_VARIANT) || SafeArrayGetDim(item.parray) != 1) {
      VariantClear(&item);
      Raise(err::kTypeMismatch, "Type mismatch");
    }
    LONG first = 0;
    SafeArrayGetLBound(item.parray, 1, &first);
    long values[2] = {};
    for (LONG k = 0; k < 2; ++k) {
      LONG index = first + k;
      VARIANT number;
      VariantInit(&number);
      SafeArrayGetElement(item.parray, &index, &number);
      values[k] = LongOf(ToVariant(number));
      VariantClear(&number);
    }
    VariantClear(&item);
    out.emplace_back(values[0], values[1]);
  }
  return out;
}

class FontAdapter final : public Base {
 public:
  FontAdapter(StandIn& s, const xl::Range& r) : Base(s), f_(r) {
    Prop(
        u"Bold", [this] { return f_.Bold(); }, [this](const Variant& v) { f_.SetBold(BoolOf(v)); });
    Prop(
        u"ColorIndex", [this] { return f_.ColorIndex(); }, [this](const Variant& v) { f_.SetColorIndex(LongOf(v)); });
    Prop(
        u"Underline", [this] { return f_.Underline(); }, [this](const Variant& v) { f_.SetUnderline(LongOf(v)); });
  }

 private:
  xl::Font f_;
};

class InteriorAdapter final : public Base {
 public:
  InteriorAdapter(StandIn& s, const xl::Range& r) : Base(s), i_(r) {
    Prop(
        u"Color", [this] { return i_.Color(); }, [this](const Variant& v) { i_.SetColor(LongOf(v)); });
    Prop(
        u"Pattern", [this] { return i_.Pattern(); }, [this](const Variant& v) { i_.SetPattern(LongOf(v)); });
  }

 private:
  xl::Interior i_;
};

class BordersAdapter final : public Base {
 public:
  BordersAdapter(StandIn& s, const xl::Range& r, long index) : Base(s), b_(r, index) {
    Prop(
        u"LineStyle", [this] { return b_.LineStyle(); }, [this](const Variant& v) { b_.SetLineStyle(LongOf(v)); });
    Prop(
        u"Weight", [this] { return b_.Weight(); }, [this](const Variant& v) { b_.SetWeight(LongOf(v)); });
  }

 private:
  xl::Borders b_;
};

// The 0-based position of a collection's 1-based Item index; Error 9 outside it.
std::size_t Index(const Variant& index, std::size_t count) {
  const long i = LongOf(index);
  if (i < 1 || static_cast<std::size_t>(i) > count) Raise(err::kSubscript, "Subscript out of range");
  return static_cast<std::size_t>(i - 1);
}

// The application's limit on references: Range refuses a text longer than this, and the
// Address of a range whose areas' addresses together are longer holds only the areas
// that fit.
constexpr std::size_t kReferenceLimit = 255;

Text AddressWithinLimit(const xl::Range& range) {
  Text out;
  for (const xl::Area& a : range.AreaList()) {
    const Text one = xl::AreaAddress(a, range.Parent().RowsCount(), range.Parent().ColumnsCount());
    if (out.size() + (out.empty() ? 0 : 1) + one.size() > kReferenceLimit) break;
    if (!out.empty()) out += u',';
    out += one;
  }
  return out;
}

// A plain object of a few values (Protection, a hyperlink, counts).
class ValuesAdapter final : public Base {
 public:
  ValuesAdapter(StandIn& s, std::vector<std::pair<const char16_t*, Variant>> values) : Base(s) {
    for (auto& [name, value] : values) {
      const Variant v = value;
      ReadOnly(name, [v] { return v; });
    }
  }
};

class CommentAdapter final : public Base {
 public:
  CommentAdapter(StandIn& s, const xl::Comment& c) : Base(s), c_(c) {
    Member(u"Text", [this](Call& call) {
      if (call.Has(0)) c_.SetText(TextOf(call.Arg(0)));
      call.Return(c_.Text());
    });
    Prop(
        u"Visible", [this] { return Variant(c_.Visible()); }, [this](const Variant& v) { c_.SetVisible(BoolOf(v)); });
    Method(u"Delete", [this](Call&) { c_.Delete(); });
    Object(u"Parent", [this](Call&) { return s_.Of(c_.Parent()); });
    Object(u"Shape", [this](Call&) { return new ShapeAdapter(s_, c_); });
  }

 private:
  class ShapeAdapter final : public Base {
   public:
    ShapeAdapter(StandIn& s, const xl::Comment& c) : Base(s), c_(c) {
      Prop(
          u"Top", [this] { return Variant(c_.Top()); }, [this](const Variant& v) { c_.SetTop(DoubleOf(v)); });
      Prop(
          u"Left", [this] { return Variant(c_.Left()); }, [this](const Variant& v) { c_.SetLeft(DoubleOf(v)); });
      Prop(
          u"Width", [this] { return Variant(c_.Width()); }, [this](const Variant& v) { c_.SetWidth(DoubleOf(v)); });
      Prop(
          u"Height", [this] { return Variant(c_.Height()); }, [this](const Variant& v) { c_.SetHeight(DoubleOf(v)); });
      Object(u"TextFrame", [this](Call&) { return new Part(s_, c_, true); });
      Object(u"Fill", [this](Call&) { return new Part(s_, c_, false); });
    }

   private:
    // TextFrame (AutoSize) and Fill (ForeColor.RGB).
    class Part final : public Base {
     public:
      Part(StandIn& s, const xl::Comment& c, bool frame) : Base(s), c_(c) {
        if (frame) {
          Prop(
              u"AutoSize", [this] { return Variant(c_.AutoSize()); },
              [this](const Variant& v) { c_.SetAutoSize(BoolOf(v)); });
        } else {
          Object(u"ForeColor", [this](Call&) { return new Colour(s_, c_); });
        }
      }

     private:
      class Colour final : public Base {
       public:
        Colour(StandIn& s, const xl::Comment& c) : Base(s), c_(c) {
          Prop(
              u"RGB", [this] { return Variant(c_.FillColor()); },
              [this](const Variant& v) { c_.SetFillColor(LongOf(v)); });
        }

       private:
        xl::Comment c_;
      };
      xl::Comment c_;
    };
    xl::Comment c_;
  };
  xl::Comment c_;
};

// Worksheet.Hyperlinks and Range.Hyperlinks: the links of the cells of the areas (the
// whole sheet, or the range) as they were when the collection was asked for, each a
// plain object, and Add.
class HyperlinksAdapter final : public Base {
 public:
  HyperlinksAdapter(StandIn& s, xl::Worksheet& w, std::span<const xl::Area> areas) : Base(s), w_(w) {
    for (const xl::Area& a : areas) {
      std::vector<xl::Hyperlink> more = w_.CellHyperlinks(a);
      links_.insert(links_.end(), more.begin(), more.end());
    }
    ReadOnly(u"Count", [this] { return Variant(static_cast<long>(links_.size())); });
    Object(u"Item", [this](Call& c) -> IDispatch* {
      const xl::Hyperlink& link = links_[Index(c.Arg(0), links_.size())];
      return new ValuesAdapter(s_, {{u"Address", Variant(link.Address)},
                                    {u"SubAddress", Variant(link.SubAddress)},
                                    {u"TextToDisplay", Variant(link.TextToDisplay)}});
    });
    // Add(Anchor, Address, SubAddress, ScreenTip, TextToDisplay)
    Object(u"Add", [this](Call& c) -> IDispatch* {
      w_.AddHyperlink(s_.RangeOf(c.ObjectArg(0)), TextOf(c.Arg(1)), c.Has(2) ? TextOf(c.Arg(2)) : Text(),
                      c.Has(4) ? TextOf(c.Arg(4)) : Text());
      return nullptr;
    });
  }

 private:
  xl::Worksheet& w_;
  std::vector<xl::Hyperlink> links_;
};

// Worksheet.Comments: the cells holding a comment, in the sheet's order, as they were
// when the collection was asked for.
class CommentsAdapter final : public Base {
 public:
  CommentsAdapter(StandIn& s, xl::Worksheet& w) : Base(s), cells_(w.Comments()) {
    ReadOnly(u"Count", [this] { return Variant(static_cast<long>(cells_.size())); });
    Object(u"Item", [this](Call& c) -> IDispatch* {
      return new CommentAdapter(s_, *cells_[Index(c.Arg(0), cells_.size())].Comment());
    });
  }

 private:
  std::vector<xl::Range> cells_;
};

// Range.MergeCells as the application answers it: True when every cell of the range is
// merged, False when none is, else Null.
Variant MergeCellsOf(const xl::Range& range) {
  const std::vector<xl::Area> merges = range.Parent().MergedAreas();
  std::int64_t cells = 0, merged = 0;
  for (const xl::Area& a : range.AreaList()) {
    cells += a.Cells();
    for (const xl::Area& m : merges) {
      if (!m.Overlaps(a)) continue;
      merged += xl::Area{std::max(a.row1, m.row1), std::max(a.col1, m.col1), std::min(a.row2, m.row2),
                         std::min(a.col2, m.col2)}
                    .Cells();
    }
  }
  if (merged == 0) return Variant(false);
  return merged == cells ? Variant(true) : Variant::Null();
}

// Range.Areas: Count and Item(i).
class AreasAdapter final : public Base {
 public:
  AreasAdapter(StandIn& s, const xl::Range& r) : Base(s), r_(r) {
    ReadOnly(u"Count", [this] { return Variant(r_.AreasCount()); });
    Object(u"Item", [this](Call& c) { return s_.Of(r_.Areas(LongOf(c.Arg(0)))); });
  }

 private:
  xl::Range r_;
};

class RangeAdapter final : public Base {
 public:
  RangeAdapter(StandIn& s, const xl::Range& r) : Base(s), r_(r) {
    Member(u"Value", [this](Call& c) {
      if (c.IsPut()) {
        PutValue(c);
        return;
      }
      if (r_.FirstArea().Cells() == 1) {
        c.Return(r_.Value());
        return;
      }
      ReturnArray(c);
    });
    Prop(
        u"Formula", [this] { return Variant(r_.Formula()); }, [this](const Variant& v) { r_.SetFormula(TextOf(v)); });
    ReadOnly(u"HasFormula", [this] { return Variant(r_.HasFormula()); });
    Member(u"Address", [this](Call& c) { c.Return(AddressWithinLimit(r_)); });
    Object(u"Areas", [this](Call&) { return new AreasAdapter(s_, r_); });
    ReadOnly(u"Row", [this] { return Variant(r_.Row()); });
    ReadOnly(u"Column", [this] { return Variant(r_.Column()); });
    ReadOnly(u"Count", [this] { return Variant(static_cast<double>(r_.Count())); });
    Object(u"Cells", [this](Call& c) { return s_.Of(r_.Cells(LongOf(c.Arg(0)), LongOf(c.Arg(1)))); });
    Object(u"End", [this](Call& c) { return s_.Of(r_.End(LongOf(c.Arg(0)))); });
    Object(u"Find", [this](Call& c) { return Find(c); });
    Object(u"FindNext", [this](Call& c) {
      std::optional<xl::Range> after;
      if (IDispatch* a = c.ObjectArg(0)) after = s_.RangeOf(a);
      std::optional<xl::Range> found = r_.FindNext(after ? &*after : nullptr);
      return found ? s_.Of(*found) : nullptr;
    });
    Method(u"Sort", [this](Call& c) { Sort(c); });
    Prop(
        u"MergeCells", [this] { return MergeCellsOf(r_); }, [this](const Variant& v) { r_.SetMergeCells(BoolOf(v)); });
    Object(u"MergeArea", [this](Call&) { return s_.Of(r_.MergeArea()); });
    Method(u"Merge", [this](Call&) { r_.Merge(); });
    Method(u"UnMerge", [this](Call&) { r_.UnMerge(); });
    Method(u"Select", [this](Call&) { r_.Select(); });
    Method(u"Activate", [this](Call&) { r_.Activate(); });
    Object(u"Font", [this](Call&) { return new FontAdapter(s_, r_); });
    Object(u"Interior", [this](Call&) { return new InteriorAdapter(s_, r_); });
    Object(u"Borders", [this](Call& c) { return new BordersAdapter(s_, r_, c.Has(0) ? LongOf(c.Arg(0)) : 0); });
    Prop(
        u"HorizontalAlignment", [this] { return r_.HorizontalAlignment(); },
        [this](const Variant& v) { r_.SetHorizontalAlignment(LongOf(v)); });
    Prop(
        u"VerticalAlignment", [this] { return r_.VerticalAlignment(); },
        [this](const Variant& v) { r_.SetVerticalAlignment(LongOf(v)); });
    Prop(
        u"NumberFormat", [this] { return r_.NumberFormat(); },
        [this](const Variant& v) { r_.SetNumberFormat(TextOf(v)); });
    Prop(
        u"WrapText", [this] { return r_.WrapText(); }, [this](const Variant& v) { r_.SetWrapText(BoolOf(v)); });
    Prop(
        u"Locked", [this] { return r_.Locked(); }, [this](const Variant& v) { r_.SetLocked(BoolOf(v)); });
    Prop(
        u"Hidden", [this] { return r_.Hidden(); }, [this](const Variant& v) { r_.SetHidden(BoolOf(v)); });
    Prop(
        u"ColumnWidth", [this] { return r_.ColumnWidth(); },
        [this](const Variant& v) { r_.SetColumnWidth(DoubleOf(v)); });
    Prop(
        u"RowHeight", [this] { return r_.RowHeight(); }, [this](const Variant& v) { r_.SetRowHeight(DoubleOf(v)); });
    Object(u"EntireRow", [this](Call&) { return s_.Of(r_.EntireRow()); });
    Object(u"EntireColumn", [this](Call&) { return s_.Of(r_.EntireColumn()); });
    Object(u"Columns", [this](Call&) { return new Lines(s_, r_, true); });
    Object(u"Rows", [this](Call&) { return new Lines(s_, r_, false); });
    Object(u"Hyperlinks", [this](Call&) { return new HyperlinksAdapter(s_, r_.Parent(), r_.AreaList()); });
    Object(u"Comment", [this](Call&) -> IDispatch* {
      std::optional<xl::Comment> comment = r_.Comment();
      return comment ? new CommentAdapter(s_, *comment) : nullptr;
    });
    Object(u"AddComment", [this](Call& c) { return new CommentAdapter(s_, r_.AddComment(TextOf(c.Arg(0)))); });
    Method(u"ClearComments", [this](Call&) { r_.ClearComments(); });
    Method(u"ClearContents", [this](Call&) { r_.ClearContents(); });
    Method(u"ClearFormats", [this](Call&) { r_.ClearFormats(); });
    Object(u"Worksheet", [this](Call&) { return s_.Of(r_.Parent()); });
    Object(u"Parent", [this](Call&) { return s_.Of(r_.Parent()); });
    Method(u"Insert", [this](Call&) { r_.Insert(); });
    Method(u"Delete", [this](Call&) { r_.Delete(); });
    Method(u"AutoFilter", [this](Call&) { r_.AutoFilter(); });
    Method(u"AutoFill", [this](Call& c) { r_.AutoFill(s_.RangeOf(c.ObjectArg(0))); });
    Method(u"TextToColumns", [this](Call& c) {
      xl::TextToColumnsArgs args;
      if (c.Has(1)) args.DataType = LongOf(c.Arg(1));
      if (c.Has(2)) args.TextQualifier = LongOf(c.Arg(2));
      if (c.Has(3)) args.ConsecutiveDelimiter = BoolOf(c.Arg(3));
      if (c.Has(4)) args.Tab = BoolOf(c.Arg(4));
      if (c.Has(5)) args.Semicolon = BoolOf(c.Arg(5));
      if (c.Has(6)) args.Comma = BoolOf(c.Arg(6));
      if (c.Has(7)) args.Space = BoolOf(c.Arg(7));
      if (c.Has(8)) args.Other = BoolOf(c.Arg(8));
      if (c.Has(9)) args.OtherChar = TextOf(c.Arg(9));
      if (c.Has(10)) args.FieldInfo = PairsOf(*c.Raw(10));
      r_.TextToColumns(args);
    });
    Method(u"DataSeries", [this](Call& c) {
      xl::DataSeriesArgs args;
      if (c.Has(0)) args.Rowcol = LongOf(c.Arg(0));
      if (c.Has(1)) args.Type = LongOf(c.Arg(1));
      if (c.Has(2)) args.Date = LongOf(c.Arg(2));
      if (c.Has(3)) args.Step = DoubleOf(c.Arg(3));
      if (c.Has(4)) args.Stop = DoubleOf(c.Arg(4));
      if (c.Has(5)) args.Trend = BoolOf(c.Arg(5));
      r_.DataSeries(args);
    });
    ReadOnly(u"Left", [this] { return Variant(r_.Left()); });
    ReadOnly(u"Top", [this] { return Variant(r_.Top()); });
    ReadOnly(u"Width", [this] { return Variant(r_.Width()); });
  }

  const xl::Range& Range() const { return r_; }

 private:
  // Columns or Rows of a range: their count and AutoFit.
  class Lines final : public Base {
   public:
    Lines(StandIn& s, const xl::Range& r, bool columns) : Base(s), r_(r) {
      ReadOnly(u"Count", [this, columns] { return Variant(columns ? r_.ColumnsCount() : r_.RowsCount()); });
      Method(u"AutoFit", [this, columns](Call&) {
        if (columns) {
          r_.AutoFitColumns();
        } else {
          r_.AutoFitRows();
        }
      });
    }

   private:
    xl::Range r_;
  };

  void PutValue(Call& c) {
    const VARIANT& v = Deref(*c.PutVariant());
    if (!(v.vt & VT_ARRAY)) {
      r_.SetValue(c.PutValue());
      return;
    }
    std::vector<Variant> values;
    long rows = 0, columns = 0;
    automation::ReadArray((v.vt & VT_BYREF) ? *v.pparray : v.parray, rows, columns, values);
    if (rows != r_.RowsCount() || columns != r_.ColumnsCount()) Raise(err::kApplication, "The array does not fit");
    r_.SetValues(values);
  }

  void ReturnArray(Call& c) {
    std::vector<Variant> values;
    r_.Values(values);
    SAFEARRAY* array = automation::MakeArray(r_.RowsCount(), r_.ColumnsCount(), values);
    VARIANT* result = c.Result();
    if (result == nullptr) {
      SafeArrayDestroy(array);
      return;
    }
    VariantClear(result);
    result->vt = VT_ARRAY | VT_VARIANT;
    result->parray = array;
  }

  IDispatch* Find(Call& c) {
    xl::FindArgs args;
    args.What = TextOf(c.Arg(0));
    std::optional<xl::Range> after;
    if (IDispatch* a = c.ObjectArg(1)) after = s_.RangeOf(a);
    args.After = after ? &*after : nullptr;
    if (c.Has(2)) args.LookIn = LongOf(c.Arg(2));
    if (c.Has(3)) args.LookAt = LongOf(c.Arg(3));
    if (c.Has(4)) args.SearchOrder = LongOf(c.Arg(4));
    if (c.Has(5)) args.SearchDirection = LongOf(c.Arg(5));
    if (c.Has(6)) args.MatchCase = BoolOf(c.Arg(6));
    if (c.Has(7)) args.MatchByte = BoolOf(c.Arg(7));
    std::optional<xl::Range> found = r_.Find(args);
    return found ? s_.Of(*found) : nullptr;
  }

  void Sort(Call& c) {
    std::optional<xl::Range> keys[3];
    const std::size_t keyArgs[3] = {0, 2, 5};
    for (int k = 0; k < 3; ++k) {
      if (IDispatch* key = c.ObjectArg(keyArgs[k])) keys[k] = s_.RangeOf(key);
    }
    xl::SortArgs args;
    args.Key1 = keys[0] ? &*keys[0] : nullptr;
    args.Key2 = keys[1] ? &*keys[1] : nullptr;
    args.Key3 = keys[2] ? &*keys[2] : nullptr;
    if (c.Has(1)) args.Order1 = LongOf(c.Arg(1));
    if (c.Has(4)) args.Order2 = LongOf(c.Arg(4));
    if (c.Has(6)) args.Order3 = LongOf(c.Arg(6));
    if (c.Has(7)) args.Header = LongOf(c.Arg(7));
    if (c.Has(9)) args.MatchCase = BoolOf(c.Arg(9));
    if (c.Has(10)) args.Orientation = LongOf(c.Arg(10));
    r_.Sort(args);
  }

  xl::Range r_;
};

class NameAdapter final : public Base {
 public:
  NameAdapter(StandIn& s, xl::DefinedName& n) : Base(s), n_(n) {
    ReadOnly(u"Name", [this] { return Variant(n_.Name()); });
    ReadOnly(u"RefersTo", [this] { return Variant(n_.RefersTo()); });
    ReadOnly(u"RefersToR1C1", [this] { return Variant(n_.RefersToR1C1()); });
    Object(u"RefersToRange", [this](Call&) { return s_.Of(n_.RefersToRange()); });
    Prop(
        u"Visible", [this] { return Variant(n_.Visible()); }, [this](const Variant& v) { n_.SetVisible(BoolOf(v)); });
    Method(u"Delete", [this](Call&) { n_.Delete(); });
  }

 private:
  xl::DefinedName& n_;
};

class NamesAdapter final : public Base {
 public:
  NamesAdapter(StandIn& s, xl::NameCollection& n) : Base(s), n_(n) {
    ReadOnly(u"Count", [this] { return Variant(n_.Count()); });
    Object(u"Item", [this](Call& c) {
      const Variant key = c.Arg(0);
      return s_.Of(key.IsText() ? n_.Item(key.AsText()) : n_.Item(LongOf(key)));
    });
    Object(u"Add", [this](Call& c) {
      const Text name = TextOf(c.Arg(0));
      const bool visible = c.Has(2) ? BoolOf(c.Arg(2)) : true;
      if (IDispatch* target = c.ObjectArg(1)) return s_.Of(n_.Add(name, s_.RangeOf(target), visible));
      return s_.Of(n_.AddR1C1(name, TextOf(c.Arg(9)), visible));
    });
  }

 private:
  xl::NameCollection& n_;
};

class WindowAdapter final : public Base {
 public:
  WindowAdapter(StandIn& s, xl::Window& w) : Base(s), w_(w) {
    Object(u"Parent", [this](Call&) { return s_.Of(w_.Parent()); });
    Prop(
        u"Caption", [this] { return Variant(w_.Caption()); }, [this](const Variant& v) { w_.SetCaption(TextOf(v)); });
    ReadOnly(u"Index", [this] { return Variant(w_.Index()); });
    Object(u"RangeSelection", [this](Call&) { return s_.Of(w_.RangeSelection()); });
    Object(u"ActiveCell", [this](Call&) { return s_.Of(w_.ActiveCell()); });
    Prop(
        u"WindowState", [this] { return Variant(w_.WindowState()); },
        [this](const Variant& v) { w_.SetWindowState(LongOf(v)); });
    Prop(
        u"Top", [this] { return Variant(w_.Top()); }, [this](const Variant& v) { w_.SetTop(DoubleOf(v)); });
    Prop(
        u"Left", [this] { return Variant(w_.Left()); }, [this](const Variant& v) { w_.SetLeft(DoubleOf(v)); });
    Prop(
        u"Height", [this] { return Variant(w_.Height()); }, [this](const Variant& v) { w_.SetHeight(DoubleOf(v)); });
    Prop(
        u"Width", [this] { return Variant(w_.Width()); }, [this](const Variant& v) { w_.SetWidth(DoubleOf(v)); });
    Prop(
        u"FreezePanes", [this] { return Variant(w_.FreezePanes()); },
        [this](const Variant& v) { w_.SetFreezePanes(BoolOf(v)); });
    Method(u"Activate", [this](Call&) { w_.Activate(); });
    Object(u"NewWindow", [this](Call&) { return s_.Of(w_.NewWindow()); });
    Method(u"Close", [this](Call&) { w_.Close(); });
  }

 private:
  xl::Window& w_;
};

class WindowsAdapter final : public Base {
 public:
  WindowsAdapter(StandIn& s, xl::WindowCollection& w) : Base(s), w_(w) {
    ReadOnly(u"Count", [this] { return Variant(w_.Count()); });
    Object(u"Item", [this](Call& c) {
      const Variant key = c.Arg(0);
      return s_.Of(key.IsText() ? w_.Item(key.AsText()) : w_.Item(LongOf(key)));
    });
    Method(u"Arrange", [this](Call& c) {
      w_.Arrange(c.Has(0) ? LongOf(c.Arg(0)) : xl::xlArrangeStyleTiled, c.Has(1) && BoolOf(c.Arg(1)));
    });
    Method(u"CompareSideBySideWith", [this](Call& c) { w_.CompareSideBySideWith(TextOf(c.Arg(0))); });
    Prop(
        u"SyncScrollingSideBySide", [this] { return Variant(w_.SyncScrollingSideBySide()); },
        [this](const Variant& v) { w_.SetSyncScrollingSideBySide(BoolOf(v)); });
    Method(u"BreakSideBySide", [this](Call&) { w_.BreakSideBySide(); });
  }

 private:
  xl::WindowCollection& w_;
};

// Worksheet.PageSetup: each property read from the sheet's page set-up and written
// back into it.
class PageSetupAdapter final : public Base {
 public:
  PageSetupAdapter(StandIn& s, xl::Worksheet& w) : Base(s), w_(w) {
    auto text = [](const Variant& v) { return TextOf(v); };
    auto number = [](const Variant& v) { return DoubleOf(v); };
    auto flag = [](const Variant& v) { return BoolOf(v); };
    auto value = [](const Variant& v) { return v; };
    Field(u"PrintArea", &xl::PageSetup::PrintArea, text);
    Field(u"CenterHeader", &xl::PageSetup::CenterHeader, text);
    Field(u"LeftHeader", &xl::PageSetup::LeftHeader, text);
    Field(u"RightHeader", &xl::PageSetup::RightHeader, text);
    Field(u"CenterFooter", &xl::PageSetup::CenterFooter, text);
    Field(u"LeftFooter", &xl::PageSetup::LeftFooter, text);
    Field(u"RightFooter", &xl::PageSetup::RightFooter, text);
    Field(u"PrintTitleRows", &xl::PageSetup::PrintTitleRows, text);
    Field(u"PrintTitleColumns", &xl::PageSetup::PrintTitleColumns, text);
    Field(u"HeaderMargin", &xl::PageSetup::HeaderMargin, number);
    Field(u"FooterMargin", &xl::PageSetup::FooterMargin, number);
    Field(u"TopMargin", &xl::PageSetup::TopMargin, number);
    Field(u"BottomMargin", &xl::PageSetup::BottomMargin, number);
    Field(u"LeftMargin", &xl::PageSetup::LeftMargin, number);
    Field(u"RightMargin", &xl::PageSetup::RightMargin, number);
    Field(u"Zoom", &xl::PageSetup::Zoom, value);
    Field(u"FitToPagesWide", &xl::PageSetup::FitToPagesWide, value);
    Field(u"FitToPagesTall", &xl::PageSetup::FitToPagesTall, value);
    Field(u"CenterHorizontally", &xl::PageSetup::CenterHorizontally, flag);
    Field(u"CenterVertically", &xl::PageSetup::CenterVertically, flag);
  }

 private:
  template <class T, class From>
  void Field(const char16_t* name, T xl::PageSetup::*field, From from) {
    Prop(
        name, [this, field] { return Variant(w_.GetPageSetup().*field); },
        [this, field, from](const Variant& v) {
          xl::PageSetup page = w_.GetPageSetup();
          page.*field = from(v);
          w_.SetPageSetup(page);
        });
  }

  xl::Worksheet& w_;
};

class SheetAdapter final : public Base {
 public:
  SheetAdapter(StandIn& s, xl::Worksheet& w) : Base(s), w_(w) {
    Prop(
        u"Name", [this] { return Variant(w_.Name()); }, [this](const Variant& v) { w_.SetName(TextOf(v)); });
    ReadOnly(u"Index", [this] { return Variant(w_.Index()); });
    Prop(
        u"Visible", [this] { return Variant(w_.Visible()); }, [this](const Variant& v) { w_.SetVisible(LongOf(v)); });
    Method(u"Activate", [this](Call&) { w_.Activate(); });
    Method(u"Select", [this](Call&) { w_.Select(); });
    Method(u"Delete", [this](Call&) { w_.Delete(); });
    Object(u"Names", [this](Call&) { return new NamesAdapter(s_, w_.Names()); });
    Object(u"Parent", [this](Call&) { return s_.Of(w_.Parent()); });
    Object(u"Rows", [this](Call& c) -> IDispatch* {
      if (c.Has(0)) return s_.Of(w_.Rows(LongOf(c.Arg(0))));
      return new ValuesAdapter(s_, {{u"Count", Variant(w_.RowsCount())}});
    });
    Object(u"Columns", [this](Call& c) -> IDispatch* {
      if (c.Has(0)) return s_.Of(w_.Columns(LongOf(c.Arg(0))));
      return new ValuesAdapter(s_, {{u"Count", Variant(w_.ColumnsCount())}});
    });
    Object(u"Range", [this](Call& c) {
      if (c.Has(1)) {
        if (c.ObjectArg(0) != nullptr) return s_.Of(w_.Range(s_.RangeOf(c.ObjectArg(0)), s_.RangeOf(c.ObjectArg(1))));
        return s_.Of(w_.Range(TextOf(c.Arg(0)), TextOf(c.Arg(1))));
      }
      const Text reference = TextOf(c.Arg(0));
      if (reference.size() > kReferenceLimit) Raise(err::kApplication, "Method 'Range' of object '_Worksheet' failed");
      return s_.Of(w_.Range(reference));
    });
    Object(u"Cells", [this](Call& c) { return s_.Of(w_.Cells(LongOf(c.Arg(0)), LongOf(c.Arg(1)))); });
    Object(u"UsedRange", [this](Call&) { return s_.Of(w_.UsedRange()); });
    ReadOnly(u"ProtectContents", [this] { return Variant(w_.ProtectContents()); });
    Method(u"Protect", [this](Call& c) { w_.Protect(xl::Protection{c.Has(5) && BoolOf(c.Arg(5))}); });
    Method(u"Unprotect", [this](Call&) { w_.Unprotect(); });
    Object(u"Protection", [this](Call&) {
      return new ValuesAdapter(s_, {{u"AllowFormattingCells", Variant(w_.Protection().AllowFormattingCells)}});
    });
    Method(u"Paste", [this](Call& c) { w_.Paste(s_.RangeOf(c.ObjectArg(0))); });
    Object(u"PageSetup", [this](Call&) { return new PageSetupAdapter(s_, w_); });
    Object(u"Hyperlinks", [this](Call&) {
      const xl::Area sheet{1, 1, w_.RowsCount(), w_.ColumnsCount()};
      return new HyperlinksAdapter(s_, w_, std::span<const xl::Area>(&sheet, 1));
    });
    Object(u"Comments", [this](Call&) { return new CommentsAdapter(s_, w_); });
    ReadOnly(u"AutoFilterMode", [this] { return Variant(w_.AutoFilterArea().has_value()); });
  }

 private:
  xl::Worksheet& w_;
};

class SheetsAdapter final : public Base {
 public:
  SheetsAdapter(StandIn& s, xl::SheetCollection& w) : Base(s), w_(w) {
    ReadOnly(u"Count", [this] { return Variant(w_.Count()); });
    Object(u"Item", [this](Call& c) {
      const Variant key = c.Arg(0);
      return s_.Of(key.IsText() ? w_.Item(key.AsText()) : w_.Item(LongOf(key)));
    });
    Object(u"Add", [this](Call& c) {
      xl::SheetAddArgs args;
      if (IDispatch* before = c.ObjectArg(0)) args.Before = &s_.SheetOf(before);
      if (IDispatch* after = c.ObjectArg(1)) args.After = &s_.SheetOf(after);
      if (c.Has(2)) args.Count = LongOf(c.Arg(2));
      return s_.Of(w_.Add(args));
    });
  }

 private:
  xl::SheetCollection& w_;
};

class WorkbookAdapter final : public Base {
 public:
  WorkbookAdapter(StandIn& s, xl::Workbook& b) : Base(s), b_(b) {
    ReadOnly(u"Name", [this] { return Variant(b_.Name()); });
    Object(u"Worksheets", [this](Call&) { return new SheetsAdapter(s_, b_.Worksheets()); });
    Object(u"Sheets", [this](Call&) { return new SheetsAdapter(s_, b_.Sheets()); });
    Object(u"ActiveSheet", [this](Call&) { return s_.Of(b_.ActiveSheet()); });
    Object(u"Names", [this](Call&) { return new NamesAdapter(s_, b_.Names()); });
    Object(u"Windows", [this](Call&) { return new WindowsAdapter(s_, b_.Windows()); });
    ReadOnly(u"ProtectStructure", [this] { return Variant(b_.ProtectStructure()); });
    ReadOnly(u"ProtectWindows", [this] { return Variant(b_.ProtectWindows()); });
    Method(u"Protect", [this](Call& c) { b_.Protect(c.Has(1) && BoolOf(c.Arg(1)), c.Has(2) && BoolOf(c.Arg(2))); });
    Method(u"Unprotect", [this](Call&) { b_.Unprotect(); });
    Method(u"Activate", [this](Call&) { b_.Activate(); });
  }

 private:
  xl::Workbook& b_;
};

class WorkbooksAdapter final : public Base {
 public:
  WorkbooksAdapter(StandIn& s, xl::WorkbookCollection& b) : Base(s), b_(b) {
    ReadOnly(u"Count", [this] { return Variant(b_.Count()); });
    Object(u"Item", [this](Call& c) {
      const Variant key = c.Arg(0);
      return s_.Of(key.IsText() ? b_.Item(key.AsText()) : b_.Item(LongOf(key)));
    });
    Object(u"Add", [this](Call&) { return s_.Of(b_.Add()); });
  }

 private:
  xl::WorkbookCollection& b_;
};

class FunctionsAdapter final : public Base {
 public:
  FunctionsAdapter(StandIn& s, xl::WorksheetFunction& f) : Base(s), f_(f) {
    Member(u"CountA", [this](Call& c) { c.Return(f_.CountA(s_.RangeOf(c.ObjectArg(0)))); });
    Member(u"Proper", [this](Call& c) { c.Return(f_.Proper(TextOf(c.Arg(0)))); });
    Member(u"Lookup", [this](Call& c) {
      const std::vector<Variant> lookup = VectorOf(c, 1), result = VectorOf(c, 2);
      c.Return(f_.Lookup(c.Arg(0), lookup, result));
    });
  }

 private:
  // A vector argument: an array of values or a range.
  std::vector<Variant> VectorOf(Call& c, std::size_t i) {
    std::vector<Variant> values;
    if (IDispatch* range = c.ObjectArg(i)) {
      s_.RangeOf(range).Values(values);
      return values;
    }
    const VARIANT* v = c.Raw(i);
    if (v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
    if (!(v->vt & VT_ARRAY)) Raise(err::kTypeMismatch, "Type mismatch: Lookup takes arrays or ranges");
    long rows = 0, columns = 0;
    automation::ReadArray((v->vt & VT_BYREF) ? *v->pparray : v->parray, rows, columns, values);
    return values;
  }

  xl::WorksheetFunction& f_;
};

class ApplicationAdapter final : public Base {
 public:
  ApplicationAdapter(StandIn& s, xl::Application& a) : Base(s), a_(a) {
    Object(u"Application", [this](Call&) {
      AddRef();
      return static_cast<IDispatch*>(this);
    });
    Object(u"ActiveWorkbook", [this](Call&) -> IDispatch* {
      xl::Workbook* book = a_.ActiveWorkbook();
      return book == nullptr ? nullptr : s_.Of(*book);
    });
    Object(u"ActiveSheet", [this](Call&) -> IDispatch* {
      xl::Worksheet* sheet = a_.ActiveSheet();
      return sheet == nullptr ? nullptr : s_.Of(*sheet);
    });
    Object(u"ActiveWindow", [this](Call&) -> IDispatch* {
      xl::Window* window = a_.ActiveWindow();
      return window == nullptr ? nullptr : s_.Of(*window);
    });
    Object(u"ActiveCell", [this](Call&) -> IDispatch* {
      std::optional<xl::Range> cell = a_.ActiveCell();
      return cell ? s_.Of(*cell) : nullptr;
    });
    Object(u"Selection", [this](Call&) -> IDispatch* {
      std::optional<xl::Range> selection = a_.Selection();
      return selection ? s_.Of(*selection) : nullptr;
    });
    Object(u"Workbooks", [this](Call&) { return new WorkbooksAdapter(s_, a_.Workbooks()); });
    Object(u"Windows", [this](Call&) { return new WindowsAdapter(s_, a_.Windows()); });
    Object(u"WorksheetFunction", [this](Call&) { return new FunctionsAdapter(s_, a_.WorksheetFunction()); });
    Object(u"ThisWorkbook", [this](Call&) {
      return new ValuesAdapter(s_, {{u"Name", Variant(a_.ThisWorkbookName())}});
    });
    Member(u"Run", [this](Call& c) { Run(c); });
    Prop(
        u"ScreenUpdating", [this] { return Variant(a_.ScreenUpdating()); },
        [this](const Variant& v) { a_.SetScreenUpdating(BoolOf(v)); });
    Prop(
        u"Cursor", [this] { return Variant(a_.Cursor()); }, [this](const Variant& v) { a_.SetCursor(LongOf(v)); });
    Prop(
        u"StatusBar", [this] { return a_.StatusBar(); }, [this](const Variant& v) { a_.SetStatusBar(v); });
    Prop(
        u"DisplayStatusBar", [this] { return Variant(a_.DisplayStatusBar()); },
        [this](const Variant& v) { a_.SetDisplayStatusBar(BoolOf(v)); });
    Prop(
        u"DisplayAlerts", [this] { return Variant(a_.DisplayAlerts()); },
        [this](const Variant& v) { a_.SetDisplayAlerts(BoolOf(v)); });
    Prop(
        u"DisplayCommentIndicator", [this] { return Variant(a_.DisplayCommentIndicator()); },
        [this](const Variant& v) { a_.SetDisplayCommentIndicator(LongOf(v)); });
    ReadOnly(u"Version", [this] { return Variant(a_.Version()); });
    ReadOnly(u"UsableHeight", [this] { return Variant(a_.UsableHeight()); });
    ReadOnly(u"UsableWidth", [this] { return Variant(a_.UsableWidth()); });
    Member(u"InchesToPoints", [this](Call& c) { c.Return(a_.InchesToPoints(DoubleOf(c.Arg(0)))); });
    Object(u"Intersect", [this](Call& c) -> IDispatch* {
      std::optional<xl::Range> both = a_.Intersect(s_.RangeOf(c.ObjectArg(0)), s_.RangeOf(c.ObjectArg(1)));
      return both ? s_.Of(*both) : nullptr;
    });
    // Union(Arg1, Arg2, ... Arg30).
    Object(u"Union", [this](Call& c) {
      if (c.Count() > 30) Raise(450, "Wrong number of arguments or invalid property assignment");
      xl::Range all = a_.Union(s_.RangeOf(c.ObjectArg(0)), s_.RangeOf(c.ObjectArg(1)));
      for (std::size_t i = 2; i < c.Count(); ++i) all = a_.Union(all, s_.RangeOf(c.ObjectArg(i)));
      return s_.Of(all);
    });
    Method(u"Goto", [this](Call& c) { a_.GoTo(s_.RangeOf(c.ObjectArg(0))); });
  }

 private:
  // Run(macro, arguments...): the arguments passed by reference come back changed.
  void Run(Call& c) {
    const Text macro = TextOf(c.Arg(0));
    std::vector<Variant> args;
    for (std::size_t i = 1; i < c.Count(); ++i) args.push_back(c.Arg(i));
    const Variant result = a_.Run(macro, args);
    for (std::size_t i = 1; i < c.Count(); ++i) {
      if (VARIANT* ref = c.RefArg(i)) {
        VariantClear(ref);
        FromVariant(args[i - 1], *ref);
      }
    }
    c.Return(result);
  }

  xl::Application& a_;
};

class ControlAdapter final : public Base {
 public:
  ControlAdapter(StandIn& s, forms::Control& control) : Base(s), c_(control) {
    ReadOnly(u"Name", [this] { return Variant(c_.Name()); });
    Prop(
        u"Value", [this] { return c_.Value(); }, [this](const Variant& v) { c_.SetValue(v); });
    Prop(
        u"Text", [this] { return Variant(c_.Text()); }, [this](const Variant& v) { c_.SetText(TextOf(v)); });
    Prop(
        u"Caption", [this] { return Variant(c_.Caption()); }, [this](const Variant& v) { c_.SetCaption(TextOf(v)); });
    Prop(
        u"Enabled", [this] { return Variant(c_.Enabled()); }, [this](const Variant& v) { c_.SetEnabled(BoolOf(v)); });
    Prop(
        u"Visible", [this] { return Variant(c_.Visible()); }, [this](const Variant& v) { c_.SetVisible(BoolOf(v)); });
    Prop(
        u"Locked", [this] { return Variant(c_.Locked()); }, [this](const Variant& v) { c_.SetLocked(BoolOf(v)); });
    Prop(
        u"BackColor", [this] { return Variant(c_.BackColor()); },
        [this](const Variant& v) { c_.SetBackColor(LongOf(v)); });
    Prop(
        u"ForeColor", [this] { return Variant(c_.ForeColor()); },
        [this](const Variant& v) { c_.SetForeColor(LongOf(v)); });
    Prop(
        u"Left", [this] { return Variant(c_.Left()); }, [this](const Variant& v) { c_.SetLeft(DoubleOf(v)); });
    Prop(
        u"Width", [this] { return Variant(c_.Width()); }, [this](const Variant& v) { c_.SetWidth(DoubleOf(v)); });
    Prop(
        u"TextAlign", [this] { return Variant(c_.TextAlign()); },
        [this](const Variant& v) { c_.SetTextAlign(static_cast<int>(LongOf(v))); });
    Prop(
        u"Default", [this] { return Variant(c_.Default()); }, [this](const Variant& v) { c_.SetDefault(BoolOf(v)); });
    Prop(
        u"SelStart", [this] { return Variant(c_.SelStart()); },
        [this](const Variant& v) { c_.SetSelStart(LongOf(v)); });
    Prop(
        u"SelLength", [this] { return Variant(c_.SelLength()); },
        [this](const Variant& v) { c_.SetSelLength(LongOf(v)); });
    Method(u"SetFocus", [this](Call&) { c_.SetFocus(); });
    ReadOnly(u"ListCount", [this] { return Variant(c_.ListCount()); });
    Member(u"List", [this](Call& c) { c.Return(c_.List(LongOf(c.Arg(0)))); });
    Member(u"Selected", [this](Call& c) {
      if (c.IsPut()) {
        c_.SetSelected(LongOf(c.Arg(0)), BoolOf(c.PutValue()));
      } else {
        c.Return(c_.Selected(LongOf(c.Arg(0))));
      }
    });
    Method(u"AddItem", [this](Call& c) { c_.AddItem(TextOf(c.Arg(0))); });
  }

 private:
  forms::Control& c_;
};

// A form: its name, Repaint, and its controls as members of their own names.
class FormAdapter final : public Base {
 public:
  FormAdapter(StandIn& s, forms::UserForm& f) : Base(s), f_(f) {
    ReadOnly(u"Name", [this] { return Variant(f_.Name()); });
    Method(u"Repaint", [this](Call&) { f_.Repaint(); });
  }

 protected:
  const Handler* Dynamic(const Text& foldedName) override {
    if (!f_.Has(foldedName)) return nullptr;
    forms::Control* control = &f_.Item(foldedName);
    controls_.push_back([this, control](Call& c) { c.ReturnObject(s_.Of(*control)); });
    return &controls_.back();
  }

 private:
  forms::UserForm& f_;
  std::vector<Handler> controls_;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// StandIn

StandIn::StandIn(xl::Application& app) : app_(app) {}

StandIn::~StandIn() {
  for (auto& [key, adapter] : adapters_) adapter->Release();
}

template <class Key, class Make>
IDispatch* StandIn::Cached(Key* key, Make&& make) {
  auto found = adapters_.find(key);
  if (found == adapters_.end()) found = adapters_.emplace(key, make()).first;
  found->second->AddRef();
  return found->second;
}

IDispatch* StandIn::Application() {
  return Cached(&app_, [&] { return new ApplicationAdapter(*this, app_); });
}
IDispatch* StandIn::Form(forms::UserForm& form) {
  return Cached(&form, [&] { return new FormAdapter(*this, form); });
}
IDispatch* StandIn::Of(xl::Workbook& book) {
  return Cached(&book, [&] { return new WorkbookAdapter(*this, book); });
}
IDispatch* StandIn::Of(xl::Worksheet& sheet) {
  return Cached(&sheet, [&] { return new SheetAdapter(*this, sheet); });
}
IDispatch* StandIn::Of(xl::Window& window) {
  return Cached(&window, [&] { return new WindowAdapter(*this, window); });
}
IDispatch* StandIn::Of(xl::DefinedName& name) {
  return Cached(&name, [&] { return new NameAdapter(*this, name); });
}
IDispatch* StandIn::Of(forms::Control& control) {
  return Cached(&control, [&] { return new ControlAdapter(*this, control); });
}
IDispatch* StandIn::Of(const xl::Range& range) { return new RangeAdapter(*this, range); }

xl::Range StandIn::RangeOf(IDispatch* object) {
  auto* adapter = dynamic_cast<RangeAdapter*>(static_cast<Adapter*>(object));
  if (adapter == nullptr) Raise(err::kTypeMismatch, "Type mismatch: not a range of this application");
  return adapter->Range();
}

xl::Worksheet& StandIn::SheetOf(IDispatch* object) {
  for (auto& [key, adapter] : adapters_) {
    if (adapter == object && dynamic_cast<SheetAdapter*>(static_cast<Adapter*>(adapter)) != nullptr) {
      return *static_cast<xl::Worksheet*>(const_cast<void*>(key));
    }
  }
  Raise(err::kTypeMismatch, "Type mismatch: not a worksheet of this application");
}

}  // namespace quillary::com::testing
