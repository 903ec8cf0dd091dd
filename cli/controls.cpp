#include "cli/controls.h"

#include <array>
#include <charconv>
#include <functional>
#include <optional>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "workbook/failure.h"
#include "workbook/words.h"

namespace quillary::cli {

namespace {

enum class Kind { Value, Text, Switch, Number };

struct Property {
  std::string_view name;
  Kind kind;
  std::function<Variant(const forms::Control&)> get;
  std::function<void(forms::Control&, const Variant&)> set;
};

const std::vector<Property>& Properties() {
  using C = forms::Control;
  static const std::vector<Property> kProperties{
      {"Value", Kind::Value, [](const C& c) { return c.Value(); }, [](C& c, const Variant& v) { c.SetValue(v); }},
      {"Text", Kind::Text, [](const C& c) { return Variant(c.Text()); },
       [](C& c, const Variant& v) { c.SetText(v.AsText()); }},
      {"Caption", Kind::Text, [](const C& c) { return Variant(c.Caption()); },
       [](C& c, const Variant& v) { c.SetCaption(v.AsText()); }},
      {"Enabled", Kind::Switch, [](const C& c) { return Variant(c.Enabled()); },
       [](C& c, const Variant& v) { c.SetEnabled(v.AsBool()); }},
      {"Visible", Kind::Switch, [](const C& c) { return Variant(c.Visible()); },
       [](C& c, const Variant& v) { c.SetVisible(v.AsBool()); }},
      {"Locked", Kind::Switch, [](const C& c) { return Variant(c.Locked()); },
       [](C& c, const Variant& v) { c.SetLocked(v.AsBool()); }},
      {"Default", Kind::Switch, [](const C& c) { return Variant(c.Default()); },
       [](C& c, const Variant& v) { c.SetDefault(v.AsBool()); }},
      {"BackColor", Kind::Number, [](const C& c) { return Variant(c.BackColor()); },
       [](C& c, const Variant& v) { c.SetBackColor(vba::CLng(v.AsNumber())); }},
      {"ForeColor", Kind::Number, [](const C& c) { return Variant(c.ForeColor()); },
       [](C& c, const Variant& v) { c.SetForeColor(vba::CLng(v.AsNumber())); }},
      {"Left", Kind::Number, [](const C& c) { return Variant(c.Left()); },
       [](C& c, const Variant& v) { c.SetLeft(v.AsNumber()); }},
      {"Width", Kind::Number, [](const C& c) { return Variant(c.Width()); },
       [](C& c, const Variant& v) { c.SetWidth(v.AsNumber()); }},
      {"TextAlign", Kind::Number, [](const C& c) { return Variant(c.TextAlign()); },
       [](C& c, const Variant& v) { c.SetTextAlign(vba::CInt(v.AsNumber())); }},
      {"SelStart", Kind::Number, [](const C& c) { return Variant(c.SelStart()); },
       [](C& c, const Variant& v) { c.SetSelStart(vba::CLng(v.AsNumber())); }},
      {"SelLength", Kind::Number, [](const C& c) { return Variant(c.SelLength()); },
       [](C& c, const Variant& v) { c.SetSelLength(vba::CLng(v.AsNumber())); }},
  };
  return kProperties;
}

const Property& PropertyOf(std::string_view name) {
  for (const Property& p : Properties()) {
    if (text_order::EqualNoCase(FromUtf8(p.name), FromUtf8(name))) return p;
  }
  std::string known;
  for (const Property& p : Properties()) known += std::string(known.empty() ? "" : ", ") + std::string(p.name);
  throw workbook::Failure("unknown control property " + workbook::Quoted(name) + " (known: " + known + ")");
}

forms::MemoryForm& FormOf(forms::HostFormSet& set, std::string_view name) {
  Text wanted = FromUtf8(name);
  if (wanted.size() > 3 && text_order::EqualNoCase(wanted.substr(0, 3), u"vba")) wanted.erase(0, 3);
  for (forms::MemoryForm* form :
       {&set.bigMsg, &set.compDupUser, &set.lastWordFirstFilter, &set.mainUser, &set.queryEndUser, &set.queryUser,
        &set.wrapTextFirm, &set.mailBox, &set.parse, &set.tools}) {
    if (text_order::EqualNoCase(form->Name(), wanted)) return *form;
  }
  throw workbook::Failure("unknown form " + workbook::Quoted(name));
}

std::optional<double> ParseNumber(const std::string& word) {
  if (word.size() > 2 && (word.starts_with("&H") || word.starts_with("&h"))) {
    long n = 0;
    const auto [end, ec] = std::from_chars(word.data() + 2, word.data() + word.size(), n, 16);
    if (ec == std::errc() && end == word.data() + word.size()) return static_cast<double>(n);
    return std::nullopt;
  }
  double n = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
  if (ec == std::errc() && end == word.data() + word.size()) return n;
  return std::nullopt;
}

std::optional<bool> ParseSwitch(const std::string& word) {
  if (text_order::EqualNoCase(FromUtf8(word), u"True")) return true;
  if (text_order::EqualNoCase(FromUtf8(word), u"False")) return false;
  return std::nullopt;
}

// What a word sets a property of the control to; Failure when the control's kind takes
// no such value.
Variant ParseValue(const forms::MemoryControl& control, Kind kind, const std::string& word) {
  switch (kind) {
    case Kind::Text: return FromUtf8(word);
    case Kind::Switch:
      if (auto b = ParseSwitch(word)) return *b;
      throw workbook::Failure("takes True or False");
    case Kind::Number:
      if (auto n = ParseNumber(word)) return *n;
      throw workbook::Failure("takes a number");
    case Kind::Value: break;
  }
  const bool null = text_order::EqualNoCase(FromUtf8(word), u"Null");
  switch (control.Kind()) {
    case forms::ControlKind::CheckBox:
    case forms::ControlKind::OptionButton:
      if (null) return Variant::Null();
      if (auto b = ParseSwitch(word)) return *b;
      throw workbook::Failure("takes True, False or Null");
    case forms::ControlKind::TextBox:
      if (null) throw workbook::Failure("takes a text (a text box is never Null)");
      return FromUtf8(word);
    default: break;
  }
  if (null) return Variant::Null();
  return FromUtf8(word);
}

}  // namespace

forms::MemoryControl& FindControl(forms::HostFormSet& forms, std::string_view spec) {
  const auto dot = spec.find('.');
  if (dot == std::string_view::npos || spec.find('.', dot + 1) != std::string_view::npos) {
    throw workbook::Failure("expected FORM.CONTROL, not " + workbook::Quoted(spec));
  }
  forms::MemoryForm& form = FormOf(forms, spec.substr(0, dot));
  const Text control = FromUtf8(spec.substr(dot + 1));
  if (!form.Has(control))
    throw workbook::Failure("the form " + ToUtf8(form.Name()) + " has no control " + workbook::Quoted(ToUtf8(control)));
  return form.Item(control);
}

ControlProperty FindControlProperty(forms::HostFormSet& forms, std::string_view spec) {
  const auto dot = spec.rfind('.');
  if (dot == std::string_view::npos || spec.find('.') == dot) {
    throw workbook::Failure("expected FORM.CONTROL.PROPERTY, not " + workbook::Quoted(spec));
  }
  forms::MemoryControl& control = FindControl(forms, spec.substr(0, dot));
  const Property& p = PropertyOf(spec.substr(dot + 1));
  try {
    p.get(control);
  } catch (const Error&) {
    throw workbook::Failure("the control " + std::string(spec.substr(0, dot)) + " has no property " +
                            std::string(p.name));
  }
  return {&control, std::string(p.name), std::string(spec)};
}

void SetProperty(const ControlProperty& target, const std::string& word) {
  const Property& p = PropertyOf(target.property);
  try {
    p.set(*target.control, ParseValue(*target.control, p.kind, word));
  } catch (const workbook::Failure& f) {
    throw workbook::Failure(target.spec + " " + f.what() + ", not " + workbook::Quoted(word));
  } catch (const Error& e) {
    // Ranges the control checks itself (TextAlign 1 to 3, sizes that overflow).
    throw workbook::Failure(target.spec + " does not take " + workbook::Quoted(word) + ": " + e.Description());
  }
}

std::string ControlSpec(const host::ControlId& id, std::string_view property) {
  static forms::HostFormSet forms(host::ctl::kAll);
  const forms::HostForms all = forms.Forms();
  return ToUtf8((all.*id.form)->Name()) + "." + ToUtf8(id.name) + "." + std::string(property);
}

std::string GetProperty(const ControlProperty& target) {
  const Variant v = PropertyOf(target.property).get(*target.control);
  return v.IsNull() ? "Null" : ToUtf8(vba::CStr(v));
}

}  // namespace quillary::cli
