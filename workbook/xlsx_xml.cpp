#include "workbook/xlsx_xml.h"

namespace quillary::workbook::xlsx {

namespace {

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A character XML allows.
bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of the reference that begins at xml[at] ('&'): "&name;", "&#digits;" or
// "&#xhex;" naming a character XML allows; 0 when there is none.
std::size_t ReferenceLength(std::string_view xml, std::size_t at) {
  std::size_t i = at + 1;
  if (i < xml.size() && xml[i] == '#') {
    ++i;
    const bool hex = i < xml.size() && xml[i] == 'x';
    if (hex) ++i;
    std::uint32_t code = 0;
    const std::size_t digits = i;
    for (; i < xml.size() && (hex ? IsHexDigit(xml[i]) : (xml[i] >= '0' && xml[i] <= '9')); ++i) {
      const char d = xml[i];
      code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10);
      if (code > 0x10FFFF) return 0;
    }
    if (i == digits || !IsXmlChar(code)) return 0;
  } else {
    if (i >= xml.size() || !IsNameStart(xml[i])) return 0;
    while (i < xml.size() && IsNameChar(xml[i])) ++i;
  }
  return i < xml.size() && xml[i] == ';' ? i + 1 - at : 0;
}

[[noreturn]] void Refuse(std::string_view part, const std::string& why) {
  throw Failure("the part '" + std::string(part) + "' is not well-formed XML: " + why);
}

}  // namespace

void EndForParser(std::string& xml, std::string_view part) {
  const std::string_view x(xml);
  const auto checkReference = [&](std::size_t at) {
    const std::size_t n = ReferenceLength(x, at);
    if (n == 0) Refuse(part, "a '&' begins no entity or character reference (it is written '&amp;')");
    return at + n;
  };
  std::size_t i = 0;
  while (i < x.size()) {
    // Character data, up to markup.
    i = x.find_first_of("<&", i);
    if (i == std::string_view::npos) break;
    if (x[i] == '&') {
      i = checkReference(i);
      continue;
    }
    const std::string_view rest = x.substr(i);
    if (rest.starts_with("<!--") || rest.starts_with("<![CDATA[")) {
      const bool comment = rest[2] == '-';
      const std::size_t open = comment ? 4 : 9;
      // The parser does not find the end of an empty one.
      if (rest.substr(open).starts_with(comment ? "-->" : "]]>")) {
        Refuse(part, comment ? "it holds an empty comment" : "it holds an empty CDATA section");
      }
      const std::size_t end = x.find(comment ? "-->" : "]]>", i + open);
      if (end == std::string_view::npos) {
        Refuse(part, comment ? "it ends inside a comment (is it cut short?)"
                             : "it ends inside a CDATA section (is it cut short?)");
      }
      i = end + 3;
      continue;
    }
    if (rest.starts_with("<!")) Refuse(part, "it holds a document type declaration, which an xlsx part may not");
    // A tag (or a declaration), up to its '>' outside quoted values.
    for (++i;; ++i) {
      i = x.find_first_of("\"'>", i);
      if (i == std::string_view::npos) Refuse(part, "it ends inside a tag (is it cut short?)");
      if (x[i] == '>') break;
      const char quote = x[i];
      for (++i;; ++i) {
        i = x.find_first_of(quote == '"' ? "\"&" : "'&", i);
        if (i == std::string_view::npos) Refuse(part, "it ends inside an attribute's value (is it cut short?)");
        if (x[i] == quote) break;
        i = checkReference(i) - 1;
      }
    }
    ++i;
  }
  xml += kEndOfPiece;
}

}  // namespace quillary::workbook::xlsx
