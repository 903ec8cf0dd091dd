// The XML parts of xlsx files read with liborcus's SAX parser: elements by local name
// with their attributes, and the text inside them.
#pragma once

#include <deque>
#include <map>
#include <orcus/sax_parser.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "workbook/failure.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook::xlsx {

// An element's attributes (local names; values with entities decoded).
class Attributes {
 public:
  std::string_view Get(std::string_view name, std::string_view otherwise = {}) const {
    for (const auto& [n, v] : list_) {
      if (n == name) return v;
    }
    return otherwise;
  }
  bool Has(std::string_view name) const {
    for (const auto& a : list_) {
      if (a.first == name) return true;
    }
    return false;
  }
  // An xsd:boolean attribute: "1" or "true"; `otherwise` when it is absent.
  bool Flag(std::string_view name, bool otherwise = false) const {
    if (!Has(name)) return otherwise;
    const std::string_view v = Get(name);
    return v == "1" || v == "true";
  }

  // Calls use(prefix, name, value) for each attribute in the order of the tag.
  template <class Use>
  void ForEach(Use&& use) const {
    for (std::size_t i = 0; i < list_.size(); ++i) use(prefixes_[i], list_[i].first, list_[i].second);
  }

  void Clear() {
    list_.clear();
    prefixes_.clear();
    kept_.clear();
  }
  void Add(std::string_view prefix, std::string_view name, std::string_view value, bool transient) {
    if (transient) value = kept_.emplace_back(value);
    list_.emplace_back(name, value);
    prefixes_.push_back(prefix);
  }

 private:
  std::vector<std::pair<std::string_view, std::string_view>> list_;
  std::vector<std::string_view> prefixes_;
  std::deque<std::string> kept_;
};

// An element that ends each document given to the parser, which no handler sees.
inline constexpr char kEndOfPiece[] = "<quillary-piece/>";

// Makes `xml` a document that liborcus 0.17's SAX parser cannot read beyond: that
// parser reads past the end of its buffer when the document ends inside markup, right
// after a reference, or in an empty comment, and it stops at an assertion for a
// character reference beyond Unicode. So the document must not end inside a tag, a
// quoted value, a comment or a CDATA section; every '&' must begin a well-formed
// reference to a character XML allows; it may hold no document type declaration (which
// xlsx parts may not) nor an empty comment or CDATA section; and it gets an element of
// its own at its end (kEndOfPiece), after which the parser finds nothing more to read.
// Raises Failure naming `part` for a document that breaks these rules.
void EndForParser(std::string& xml, std::string_view part);

// Parses XML, calling handler.Start(name, attributes), handler.Characters(text) (the
// text directly inside the open element, possibly in pieces) and handler.End(name).
// Raises Failure naming `part` when the XML is not well-formed.
//
// A large part is parsed a piece at a time as it is inflated (Pieces): cut before the
// last start tag of a unit (a row, a shared string) that has come, each piece is parsed
// as a document of its own, the elements open at the cut carried over: the piece after
// it starts inside as many wrapper elements (which reach no handler), and a piece may
// end inside elements.
template <class Handler>
class XmlReader {
 public:
  XmlReader(std::string_view part, Handler& handler) : part_(part), sax_{handler, {}, {}, part_} {}

  void Parse(std::string xml) {
    Run(xml);
    Finish();
  }

  void Pieces(const ZipArchive& zip, std::string_view unit, std::size_t pieceSize = std::size_t{4} << 20) {
    std::string pending, doc;
    const auto cutAndParse = [&](bool last) {
      std::size_t cut = pending.size();
      if (!last) {
        cut = pending.rfind(unit);
        if (cut == std::string::npos || cut == 0) return;
      }
      doc.clear();
      for (std::size_t i = 0; i < sax_.open.size(); ++i) doc += "<quillary-piece>";
      doc.append(pending, 0, cut);
      Run(doc);
      pending.erase(0, cut);
    };
    zip.ReadPieces(part_, pieceSize, [&](std::string_view piece) {
      pending.append(piece);
      if (pending.size() >= pieceSize) cutAndParse(false);
    });
    cutAndParse(true);
    Finish();
  }

 private:
  struct Sax {
    Handler& h;
    Attributes attrs;
    std::vector<std::string> open;  // the names of the open elements
    std::string_view part;
    void doctype(const orcus::sax::doctype_declaration&) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) { attrs.Clear(); }
    // The wrappers of a piece and the element at its end (kEndOfPiece).
    void start_element(const orcus::sax::parser_element& e) {
      if (e.name == "quillary-piece") {
        attrs.Clear();
        return;
      }
      open.emplace_back(e.name);
      h.Start(e.name, attrs);
      attrs.Clear();
    }
    void end_element(const orcus::sax::parser_element& e) {
      if (e.name == "quillary-piece") return;
      if (open.empty() || open.back() != e.name) {
        throw Failure("the part '" + std::string(part) + "' is not well-formed XML: the element '" +
                      std::string(e.name) + "' ends where it did not begin");
      }
      open.pop_back();
      h.End(e.name);
    }
    void characters(std::string_view text, bool) { h.Characters(text); }
    void attribute(const orcus::sax::parser_attribute& a) { attrs.Add(a.ns, a.name, a.value, a.transient); }
  };

  void Run(std::string& xml) {
    EndForParser(xml, part_);
    try {
      orcus::sax_parser<Sax> parser(xml.data(), xml.size(), sax_);
      parser.parse();
    } catch (const Failure&) {
      throw;
    } catch (const std::exception& e) {
      throw Failure("the part '" + std::string(part_) + "' is not well-formed XML: " + e.what());
    }
  }

  void Finish() {
    if (!sax_.open.empty()) {
      throw Failure("the part '" + std::string(part_) + "' is not well-formed XML: it ends inside the element '" +
                    sax_.open.back() + "' (is it cut short?)");
    }
  }

  std::string part_;
  Sax sax_;
};

template <class Handler>
void ParseXml(std::string xml, std::string_view part, Handler& handler) {
  XmlReader<Handler>(part, handler).Parse(std::move(xml));
}

// ----- relationships -----

// "xl/worksheets/" of "xl/worksheets/sheet1.xml".
std::string PartDir(std::string_view part);
// The part a relationship of `fromPart` targets ("../drawings/d1.xml" -> "xl/drawings/d1.xml").
std::string ResolveTarget(std::string_view fromPart, std::string_view target);
// "xl/worksheets/_rels/sheet1.xml.rels" of "xl/worksheets/sheet1.xml" ("_rels/.rels" of "").
std::string RelsPartOf(std::string_view part);

struct Relation {
  std::string type, target;  // the target resolved to a part name unless external
  bool external = false;
};

// The relationships of a part by id.
std::map<std::string, Relation> ReadRels(const ZipArchive& zip, std::string_view part);
// The target of the first relationship whose type ends in `type` ("/styles"); "" without one.
std::string RelOfType(const std::map<std::string, Relation>& rels, std::string_view type);

// ----- writing -----

// Appends UTF-8 text escaped for XML content (or, with `attribute`, an attribute's
// quoted value); characters XML does not allow are written as the file format's
// "_xHHHH_" escapes, as is the "_" of a text that would read as one.
void AppendEscaped(std::string& out, std::string_view utf8, bool attribute = false);
inline std::string EscapedAttribute(std::string_view utf8) {
  std::string out;
  AppendEscaped(out, utf8, true);
  return out;
}

}  // namespace quillary::workbook::xlsx
