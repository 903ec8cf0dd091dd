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

std::string PartDir(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string ResolveTarget(std::string_view fromPart, std::string_view target) {
  if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
  std::string path = PartDir(fromPart);
  for (std::string_view t = target; !t.empty();) {
    const std::size_t slash = t.find('/');
    const std::string_view seg = t.substr(0, slash);
    if (seg == "..") {
      if (!path.empty()) path.pop_back();
      const std::size_t up = path.rfind('/');
      path = up == std::string::npos ? std::string() : path.substr(0, up + 1);
    } else if (seg != "." && !seg.empty()) {
      path += seg;
      if (slash != std::string_view::npos) path += '/';
    }
    t = slash == std::string_view::npos ? std::string_view() : t.substr(slash + 1);
  }
  return path;
}

std::string RelsPartOf(std::string_view part) {
  const std::string dir = PartDir(part);
  return dir + "_rels/" + std::string(part.substr(dir.size())) + ".rels";
}

std::map<std::string, Relation> ReadRels(const ZipArchive& zip, std::string_view part) {
  const std::string relsPart = RelsPartOf(part);
  std::map<std::string, Relation> rels;
  struct H {
    std::map<std::string, Relation>& rels;
    std::string_view part;
    void Start(std::string_view name, const Attributes& a) {
      if (name != "Relationship") return;
      const bool external = a.Get("TargetMode") == "External";
      const std::string_view target = a.Get("Target");
      rels[std::string(a.Get("Id"))] = {std::string(a.Get("Type")),
                                        external ? std::string(target) : ResolveTarget(part, target), external};
    }
    void End(std::string_view) {}
    void Characters(std::string_view) {}
  } h{rels, part};
  if (zip.Has(relsPart)) ParseXml(zip.Read(relsPart), relsPart, h);
  return rels;
}

std::string RelOfType(const std::map<std::string, Relation>& rels, std::string_view type) {
  for (const auto& [id, r] : rels) {
    if (r.type.size() >= type.size() && std::string_view(r.type).substr(r.type.size() - type.size()) == type) {
      return r.target;
    }
  }
  return {};
}

void AppendEscaped(std::string& out, std::string_view s, bool attribute) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::size_t plain = 0;
  const auto flush = [&](std::size_t i) {
    out.append(s.data() + plain, i - plain);
    plain = i + 1;
  };
  const auto escape = [&](unsigned code) {
    out += "_x";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
    out += '_';
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are no XML characters.
      if (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
          (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE) {
        flush(i);
        escape(static_cast<unsigned char>(s[i + 2]) == 0xBE ? 0xFFFE : 0xFFFF);
        plain = i + 3;
        i += 2;
      }
      continue;
    }
    if (c > '>' && c != '_') continue;
    switch (c) {
      case '&': flush(i), out += "&amp;"; break;
      case '<': flush(i), out += "&lt;"; break;
      case '>': flush(i), out += "&gt;"; break;
      case '"':
        if (attribute) flush(i), out += "&quot;";
        break;
      case '\n':
      case '\t':
        if (attribute) flush(i), out += c == '\n' ? "&#10;" : "&#9;";
        break;
      case '\r':
        // A raw CR reads back as a line feed.
        flush(i), out += attribute ? "&#13;" : "_x000D_";
        break;
      case '_':
        // "_x0041_" in a text would read as the escape of "A".
        if (i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_' && IsHexDigit(s[i + 2]) && IsHexDigit(s[i + 3]) &&
            IsHexDigit(s[i + 4]) && IsHexDigit(s[i + 5])) {
          flush(i), out += "_x005F_";
        }
        break;
      default:
        if (c < 0x20) flush(i), escape(c);
    }
  }
  out.append(s.data() + plain, s.size() - plain);
}

}  // namespace quillary::workbook::xlsx
