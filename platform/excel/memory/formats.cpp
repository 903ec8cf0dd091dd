#include "platform/excel/memory/formats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {

namespace {

BorderFormat& Edge(CellFormat& f, long edge) {
  if (edge < xlDiagonalDown || edge > xlEdgeRight) Raise(err::kApplication, "Unable to set the border");
  return f.borders[static_cast<std::size_t>(edge - xlDiagonalDown)];
}

const BorderFormat& Edge(const CellFormat& f, long edge) {
  if (edge < xlDiagonalDown || edge > xlEdgeRight) Raise(err::kApplication, "Unable to get the border");
  return f.borders[static_cast<std::size_t>(edge - xlDiagonalDown)];
}

long AsLong(const Variant& v) { return static_cast<long>(vba::CLng(vba::CDbl(v))); }

}  // namespace

Variant ReadFormat(const CellFormat& f, FormatKey key, long edge) {
  switch (key) {
    case FormatKey::FontBold: return f.bold;
    case FormatKey::FontColorIndex: return f.colorIndex;
    case FormatKey::FontUnderline: return f.underline;
    case FormatKey::InteriorColor: return f.interiorColor;
    case FormatKey::InteriorPattern: return f.pattern;
    case FormatKey::BorderLineStyle: return Edge(f, edge).lineStyle;
    case FormatKey::BorderWeight: return Edge(f, edge).weight;
    case FormatKey::HorizontalAlignment: return f.horizontalAlignment;
    case FormatKey::VerticalAlignment: return f.verticalAlignment;
    case FormatKey::NumberFormat: return f.numberFormat;
    case FormatKey::WrapText: return f.wrapText;
    case FormatKey::Locked: return f.locked;
  }
  return Variant();
}

void WriteFormat(CellFormat& f, FormatKey key, long edge, const Variant& v) {
  switch (key) {
    case FormatKey::FontBold: f.bold = vba::CBool(v); return;
    case FormatKey::FontColorIndex: f.colorIndex = AsLong(v); return;
    case FormatKey::FontUnderline: f.underline = AsLong(v); return;
    case FormatKey::InteriorColor:
      f.interiorColor = AsLong(v);
      if (f.pattern == xlNone) f.pattern = xlSolid;
      return;
    case FormatKey::InteriorPattern:
      f.pattern = AsLong(v);
      if (f.pattern == xlNone) f.interiorColor = 0xFFFFFF;
      return;
    case FormatKey::BorderLineStyle: Edge(f, edge).lineStyle = AsLong(v); return;
    case FormatKey::BorderWeight:
      Edge(f, edge).weight = AsLong(v);
      if (Edge(f, edge).lineStyle == xlLineStyleNone) Edge(f, edge).lineStyle = xlContinuous;
      return;
    case FormatKey::HorizontalAlignment: f.horizontalAlignment = AsLong(v); return;
    case FormatKey::VerticalAlignment: f.verticalAlignment = AsLong(v); return;
    case FormatKey::NumberFormat: f.numberFormat = vba::CStr(v); return;
    case FormatKey::WrapText: f.wrapText = vba::CBool(v); return;
    case FormatKey::Locked: f.locked = vba::CBool(v); return;
  }
}

std::uint32_t FormatTable::Intern(const CellFormat& f) {
  for (std::size_t i = 0; i < formats_.size(); ++i) {
    if (formats_[i] == f) return static_cast<std::uint32_t>(i);
  }
  formats_.push_back(f);
  text_.push_back(f.numberFormat == u"@");
  return static_cast<std::uint32_t>(formats_.size() - 1);
}

namespace {

// The number rounded to `decimals` places, with thousands separators when `grouped`.
Text FixedText(double number, int decimals, bool grouped) {
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fabs(number));
  std::string text(digits);
  const std::size_t point = std::min(text.find('.'), text.size());
  if (grouped) {
    for (std::size_t i = point; i > 3; i -= 3) text.insert(i - 3, 1, ',');
  }
  return FromUtf8(text);
}

}  // namespace

Text ShownNumber(double number, const CellFormat& f) {
  const Text& nf = f.numberFormat;
  // A negative number in parentheses; a positive one leaves a blank where the closing
  // parenthesis would stand.
  if (const auto section = nf.find(u"_);("); section != Text::npos && nf.ends_with(u")")) {
    CellFormat positive = f;
    positive.numberFormat = nf.substr(0, section);
    const Text digits = ShownNumber(std::fabs(number), positive);
    return number < 0 ? u"(" + digits + u")" : digits + u" ";
  }
  const bool negative = number < 0;
  const Text sign = negative ? u"-" : u"";
  if (nf == u"0%" || nf == u"0.00%") {
    const Text digits = FixedText(number * 100, nf == u"0%" ? 0 : 2, false);
    return (negative && digits.find_first_not_of(u"0.") != Text::npos ? sign : Text()) + digits + u"%";
  }
  if (nf == u"#,##0" || nf == u"#,##0.00" || nf == u"$#,##0" || nf == u"$#,##0.00") {
    const bool currency = nf.front() == u'$';
    const Text digits = FixedText(number, nf.ends_with(u".00") ? 2 : 0, true);
    const bool zero = digits.find_first_not_of(u"0.,") == Text::npos;
    return (negative && !zero ? sign : Text()) + (currency ? u"$" : u"") + digits;
  }
  return vba::NumberText(number);
}

}  // namespace quillary::xl::memory
