#include "platform/runtime/value.h"

#include <cmath>
#include <cstdio>

namespace quillary {

Text FromUtf8(std::string_view in) {
  Text out;
  out.reserve(in.size());
  AppendFromUtf8(out, in);
  return out;
}

void AppendFromUtf8(Text& out, std::string_view in) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const auto* end = p + in.size();
  while (p < end) {
    const auto* ascii = p;  // a run of ASCII goes in whole
    while (ascii < end && *ascii < 0x80) ++ascii;
    out.append(p, ascii);
    p = ascii;
    if (p == end) break;
    char32_t cp = 0xFFFD;
    const unsigned char b = *p;
    int len = 1;
    if (b < 0x80) {
      cp = b;
    } else if ((b >> 5) == 0x6) {
      len = 2;
    } else if ((b >> 4) == 0xE) {
      len = 3;
    } else if ((b >> 3) == 0x1E) {
      len = 4;
    }
    if (len > 1) {
      if (end - p < len) {
        len = 1;
      } else {
        char32_t c = b & (0x7F >> len);
        bool ok = true;
        for (int i = 1; i < len; ++i) {
          if ((p[i] & 0xC0) != 0x80) {
            ok = false;
            break;
          }
          c = (c << 6) | (p[i] & 0x3F);
        }
        const bool overlong = (len == 2 && c < 0x80) || (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
        if (ok && !overlong && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF)) {
          cp = c;
        } else {
          len = 1;
        }
      }
    }
    p += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string ToUtf8(TextView in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    char32_t c = in[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = '?';
    }
    AppendUtf8(out, c);
  }
  return out;
}

Text CellErrorText(CellError e) {
  switch (e) {
    case CellError::Null: return u"#NULL!";
    case CellError::Div0: return u"#DIV/0!";
    case CellError::Value: return u"#VALUE!";
    case CellError::Ref: return u"#REF!";
    case CellError::Name: return u"#NAME?";
    case CellError::Num: return u"#NUM!";
    case CellError::NA: return u"#N/A";
  }
  return u"#VALUE!";
}

std::optional<CellError> CellErrorOfText(TextView text) {
  for (const CellError e : kCellErrorValues) {
    if (CellErrorText(e) == text) return e;
  }
  return std::nullopt;
}

std::string Describe(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Number: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", v.AsNumber());
      return buf;
    }
    case VarType::String: {
      std::string quoted = "\"";
      quoted += ToUtf8(v.AsText());
      quoted += '"';
      return quoted;
    }
    case VarType::Boolean: return v.AsBool() ? "True" : "False";
    case VarType::Error: return ToUtf8(CellErrorText(v.AsError()));
  }
  return "?";
}

}  // namespace quillary
