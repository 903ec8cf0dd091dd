#include "platform/runtime/vba.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::vba {

namespace {

[[noreturn]] void InvalidCall() { Raise(err::kInvalidCall, "Invalid procedure call or argument"); }
[[noreturn]] void Overflow() { Raise(err::kOverflow, "Overflow"); }
[[noreturn]] void TypeMismatch() { Raise(err::kTypeMismatch, "Type mismatch"); }
[[noreturn]] void InvalidNull() { Raise(err::kInvalidNull, "Invalid use of Null"); }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

Text Ascii(std::string_view s) { return Text(s.begin(), s.end()); }

// The pieces of a decimal number as read from a text; the digits are ASCII.
struct DecimalParts {
  bool negative = false;
  std::string intDigits;
  std::string fracDigits;
  long exponent = 0;  // saturated far beyond the range of a Double
};

// The Double a set of decimal parts stands for; error 6 when it is too large.
double DecimalValue(const DecimalParts& p) {
  if (p.intDigits.empty() && p.fracDigits.empty()) return 0;
  std::string s = p.intDigits.empty() ? "0" : p.intDigits;
  if (!p.fracDigits.empty()) {
    s += '.';
    s += p.fracDigits;
  }
  s += 'e';
  s += std::to_string(p.exponent);
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small: tell them apart by the position of the first digit.
    const auto firstInt = p.intDigits.find_first_not_of('0');
    long magnitude = 0;
    if (firstInt != std::string::npos) {
      magnitude = static_cast<long>(p.intDigits.size() - firstInt) - 1;
    } else {
      const auto firstFrac = p.fracDigits.find_first_not_of('0');
      if (firstFrac == std::string::npos) return 0;
      magnitude = -static_cast<long>(firstFrac) - 1;
    }
    if (magnitude + p.exponent > 0) Overflow();
    return 0;
  }
  if (ec != std::errc() || end != s.data() + s.size()) TypeMismatch();
  if (value == 0) return 0;
  return p.negative ? -value : value;
}

constexpr long kExponentCap = 100000;

// Reads "&H..." or "&O..." at s[i] (i at the "&"); the value is that of a 16-bit
// integer for up to 16 bits, of a 32-bit integer for up to 32 bits (or when a "&"
// follows, as the host's Long suffix). Error 6 beyond 32 bits. `skip` says which
// characters may stand between the digits. Returns false when no radix prefix or no
// digit is there.
template <class Skip>
bool ReadRadix(TextView s, size_t& i, double& value, Skip skip) {
  if (i + 1 >= s.size() || s[i] != u'&') return false;
  const char16_t r = text_order::FoldChar(s[i + 1]);
  const int radix = r == u'h' ? 16 : r == u'o' ? 8 : 0;
  if (radix == 0) return false;
  size_t j = i + 2;
  std::uint64_t n = 0;
  int digits = 0;
  for (; j < s.size(); ++j) {
    if (skip(s[j])) continue;
    const int d = HexDigit(s[j]);
    if (d < 0 || d >= radix) break;
    n = n * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
    if (n > 0xFFFFFFFFu) Overflow();
    ++digits;
  }
  if (digits == 0) return false;
  bool asLong = n > 0xFFFFu;
  if (j < s.size() && s[j] == u'&') {
    asLong = true;
    ++j;
  }
  value = asLong ? static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(n)))
                 : static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(n)));
  i = j;
  return true;
}

// Reads a decimal number at s[i]: sign, digits (with "," among the whole digits when
// `commas`), one point, digits, and an exponent (E or D) that counts only when digits
// follow it. Characters for which `skip` is true are passed over. Returns false when
// there is no digit.
template <class Skip>
bool ReadDecimal(TextView s, size_t& i, DecimalParts& p, bool commas, Skip skip) {
  auto next = [&](size_t k) {
    while (k < s.size() && skip(s[k])) ++k;
    return k;
  };
  size_t k = next(i);
  if (k < s.size() && (s[k] == u'+' || s[k] == u'-')) {
    p.negative = s[k] == u'-';
    k = next(k + 1);
  }
  for (; k < s.size(); k = next(k + 1)) {
    if (IsDigit(s[k])) {
      p.intDigits.push_back(static_cast<char>(s[k]));
    } else if (!(commas && s[k] == u',' && !p.intDigits.empty())) {
      break;
    }
  }
  if (k < s.size() && s[k] == u'.') {
    for (k = next(k + 1); k < s.size() && IsDigit(s[k]); k = next(k + 1)) {
      p.fracDigits.push_back(static_cast<char>(s[k]));
    }
  }
  if (p.intDigits.empty() && p.fracDigits.empty()) return false;
  if (k < s.size()) {
    const char16_t e = text_order::FoldChar(s[k]);
    if (e == u'e' || e == u'd') {
      size_t m = next(k + 1);
      bool negExp = false;
      if (m < s.size() && (s[m] == u'+' || s[m] == u'-')) {
        negExp = s[m] == u'-';
        m = next(m + 1);
      }
      if (m < s.size() && IsDigit(s[m])) {
        long exp = 0;
        for (; m < s.size() && IsDigit(s[m]); m = next(m + 1)) exp = std::min(exp * 10 + (s[m] - u'0'), kExponentCap);
        p.exponent = negExp ? -exp : exp;
        k = m;
      }
    }
  }
  i = k;
  return true;
}

bool IsValBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsEdgeBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool NoSkip(char16_t) { return false; }

enum class NumericText { NotNumber, Number, TooLarge };

// Reads a whole text as a number, blanks around allowed, as the host converts a text
// to a Double.
NumericText ReadNumericText(TextView s, double& value) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsEdgeBlank(s[b])) ++b;
  while (e > b && IsEdgeBlank(s[e - 1])) --e;
  const TextView core = s.substr(b, e - b);
  if (core.empty()) return NumericText::NotNumber;
  size_t i = 0;
  try {
    if (!ReadRadix(core, i, value, NoSkip)) {
      DecimalParts parts;
      i = 0;
      if (!ReadDecimal(core, i, parts, true, NoSkip)) return NumericText::NotNumber;
      if (i != core.size()) return NumericText::NotNumber;
      value = DecimalValue(parts);
    }
  } catch (const Error& err) {
    if (err.Number() == err::kOverflow) return NumericText::TooLarge;
    throw;
  }
  return i == core.size() ? NumericText::Number : NumericText::NotNumber;
}

// Digits of a whole, non-negative number: exact below 1E+15, else its 15 significant
// digits followed by zeros, as the host shows large numbers.
std::string WholeDigits(double n) {
  char buf[400];
  if (n < 1e15) {
    const auto r = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, 0);
    return std::string(buf, r.ptr);
  }
  const auto r = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::scientific, 14);
  const std::string sci(buf, r.ptr);  // d.dddddddddddddde+XX
  const auto ePos = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, ePos - 2);
  const int exponent = std::stoi(sci.substr(ePos + 1));
  digits.resize(static_cast<size_t>(exponent) + 1, '0');
  return digits;
}

template <class Int>
Int RoundToInt(double n) {
  if (!std::isfinite(n)) Overflow();
  double r = std::round(n);  // half away from zero ...
  if (std::fabs(n - std::trunc(n)) == 0.5 && std::fmod(r, 2.0) != 0) r -= std::copysign(1.0, n);  // ... to even
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max())) {
    Overflow();
  }
  return static_cast<Int>(r);
}

std::int64_t Len(TextView s) { return static_cast<std::int64_t>(s.size()); }

}  // namespace

double Val(TextView s) {
  // Digits alone, at most 15 of them (an index number as the lists write it), are a
  // whole number that adding them up makes exactly.
  if (!s.empty() && s.size() <= 15 && std::all_of(s.begin(), s.end(), IsDigit)) {
    double whole = 0;
    for (const char16_t c : s) whole = whole * 10 + (c - u'0');
    return whole;
  }
  size_t i = 0;
  while (i < s.size() && IsValBlank(s[i])) ++i;
  double value = 0;
  if (ReadRadix(s, i, value, IsValBlank)) return value;
  DecimalParts parts;
  if (!ReadDecimal(s, i, parts, false, IsValBlank)) return 0;
  return DecimalValue(parts);
}

Text NumberText(double n) {
  if (!std::isfinite(n)) Overflow();
  if (n == 0) return u"0";
  // A whole number of at most 15 digits shows all of them and nothing else: the
  // integer's own digits, without the general formatting's work.
  if (std::fabs(n) < 1e15 && n == std::trunc(n)) return IntegerText(static_cast<std::int64_t>(n));
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::general, 15);
  std::string s(buf, r.ptr);
  std::replace(s.begin(), s.end(), 'e', 'E');
  return Ascii(s);
}

Text Str(double n) {
  Text t = NumberText(n);
  return t[0] == u'-' ? t : u" " + t;
}

Text Format(double n, TextView pattern) {
  if (!std::isfinite(n)) Overflow();
  const auto last = pattern.find_last_of(u"#0");
  if (last == TextView::npos) InvalidCall();
  bool grouping = false;
  int scale = 0;
  int minDigits = 0;
  bool zeroSeen = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    if (c == u',') {
      if (i < last) {
        grouping = true;  // among the digit placeholders
      } else {
        ++scale;  // after the last one: thousands
      }
    } else if (c == u'0' || c == u'#') {
      zeroSeen = zeroSeen || c == u'0';
      if (zeroSeen) ++minDigits;
    } else {
      InvalidCall();
    }
  }
  for (int k = 0; k < scale; ++k) n /= 1000;
  const double r = std::round(n);  // half away from zero
  std::string digits = r == 0 ? std::string() : WholeDigits(std::fabs(r));
  if (digits.size() < static_cast<size_t>(minDigits))
    digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
  std::string out;
  if (r < 0) out.push_back('-');
  for (size_t i = 0; i < digits.size(); ++i) {
    if (grouping && i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return Ascii(out);
}

Text CStr(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return u"";
    case VarType::Null: InvalidNull();
    case VarType::Number: return NumberText(v.AsNumber());
    case VarType::String: return v.AsText();
    case VarType::Boolean: return v.AsBool() ? u"True" : u"False";
    case VarType::Error: TypeMismatch();
  }
  TypeMismatch();
}

bool CBool(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return false;
    case VarType::Null: InvalidNull();
    case VarType::Number: return v.AsNumber() != 0;
    case VarType::Boolean: return v.AsBool();
    case VarType::String: {
      TextView s = v.AsText();
      while (!s.empty() && IsEdgeBlank(s.front())) s.remove_prefix(1);
      while (!s.empty() && IsEdgeBlank(s.back())) s.remove_suffix(1);
      if (text_order::EqualNoCase(s, u"true")) return true;
      if (text_order::EqualNoCase(s, u"false")) return false;
      return CDbl(v) != 0;
    }
    case VarType::Error: TypeMismatch();
  }
  TypeMismatch();
}

double CDbl(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return 0;
    case VarType::Null: InvalidNull();
    case VarType::Number: return v.AsNumber();
    case VarType::Boolean: return v.AsBool() ? -1 : 0;
    case VarType::String: {
      double value = 0;
      switch (ReadNumericText(v.AsText(), value)) {
        case NumericText::Number: return value;
        case NumericText::TooLarge: Overflow();
        case NumericText::NotNumber: TypeMismatch();
      }
      TypeMismatch();
    }
    case VarType::Error: TypeMismatch();
  }
  TypeMismatch();
}

std::int32_t CLng(double n) { return RoundToInt<std::int32_t>(n); }
std::int16_t CInt(double n) { return RoundToInt<std::int16_t>(n); }

Text TypeName(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return u"Empty";
    case VarType::Null: return u"Null";
    case VarType::Number: return u"Double";
    case VarType::String: return u"String";
    case VarType::Boolean: return u"Boolean";
    case VarType::Error: return u"Error";
  }
  return u"Empty";
}

bool IsNumeric(const Variant& v) {
  if (v.IsNumber()) return true;
  if (!v.IsText()) return false;
  double value = 0;
  return ReadNumericText(v.AsText(), value) == NumericText::Number;
}

int StrComp(TextView a, TextView b, int compare) {
  if (compare == kTextCompare) return text_order::CompareText(a, b, false);
  if (compare != kBinaryCompare) InvalidCall();
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

std::int64_t InStr(std::int64_t start, TextView s, TextView find, int compare) {
  if (start < 1 || (compare != kBinaryCompare && compare != kTextCompare)) InvalidCall();
  if (start > Len(s) + 1) return 0;
  if (find.empty()) return start;
  const size_t from = static_cast<size_t>(start - 1);
  size_t pos = TextView::npos;
  if (compare == kBinaryCompare) {
    pos = s.find(find, from);
  } else {
    const Text fs = text_order::Fold(s);
    pos = fs.find(text_order::Fold(find), from);
  }
  return pos == TextView::npos ? 0 : static_cast<std::int64_t>(pos) + 1;
}

Text LTrim(TextView s) {
  const auto b = s.find_first_not_of(u' ');
  return b == TextView::npos ? Text() : Text(s.substr(b));
}

Text RTrim(TextView s) {
  const auto e = s.find_last_not_of(u' ');
  return e == TextView::npos ? Text() : Text(s.substr(0, e + 1));
}

TextView TrimmedView(TextView s) {
  const auto b = s.find_first_not_of(u' ');
  if (b == TextView::npos) return {};
  return s.substr(b, s.find_last_not_of(u' ') - b + 1);
}

Text Trim(TextView s) { return Text(TrimmedView(s)); }

Text Mid(TextView s, std::int64_t start, std::int64_t length) {
  if (start < 1 || length < -1) InvalidCall();
  if (start > Len(s)) return Text();
  const auto from = static_cast<size_t>(start - 1);
  return Text(s.substr(from, length == -1 ? TextView::npos : static_cast<size_t>(length)));
}

void MidAssign(Text& s, std::int64_t start, TextView replacement, std::int64_t length) {
  if (start < 1 || start > Len(s) || length < -1) InvalidCall();
  std::int64_t n = std::min(Len(replacement), Len(s) - start + 1);
  if (length != -1) n = std::min(n, length);
  std::copy_n(replacement.begin(), n, s.begin() + (start - 1));
}

Text Left(TextView s, std::int64_t length) {
  if (length < 0) InvalidCall();
  return Text(s.substr(0, static_cast<size_t>(std::min(length, Len(s)))));
}

Text Right(TextView s, std::int64_t length) {
  if (length < 0) InvalidCall();
  const auto n = std::min(length, Len(s));
  return Text(s.substr(static_cast<size_t>(Len(s) - n)));
}

Text Space(std::int64_t n) {
  if (n < 0) InvalidCall();
  return Text(static_cast<size_t>(n), u' ');
}

Text LCase(TextView s) { return text_order::Fold(s); }

Text UCase(TextView s) {
  Text out(s);
  for (char16_t& c : out) c = text_order::UpperChar(c);
  return out;
}

bool EqualsTrue(const Variant& v) {
  if (v.IsBoolean()) return v.AsBool();
  if (v.IsNumber()) return v.AsNumber() == -1;
  return false;
}

bool EqualsFalse(const Variant& v) {
  if (v.IsBoolean()) return !v.AsBool();
  if (v.IsNumber()) return v.AsNumber() == 0;
  return false;
}

Text IntegerText(std::int64_t n) {
  // Digits and a sign are ASCII: each char widens to its code unit.
  char digits[24];
  char* const end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
  return Text(std::begin(digits), end);
}

}  // namespace quillary::vba
