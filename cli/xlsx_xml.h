// The XML parts of xlsx files read with liborcus's SAX parser: elements by local name
// with their attributes, and the text inside them.
#pragma once

#include <deque>
#include <orcus/sax_parser.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/failure.h"

namespace quillary::cli::xlsx {

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

  void Clear() {
    list_.clear();
    kept_.clear();
  }
  void Add(std::string_view name, std::string_view value, bool transient) {
    if (transient) value = kept_.emplace_back(value);
    list_.emplace_back(name, value);
  }

 private:
  std::vector<std::pair<std::string_view, std::string_view>> list_;
  std::deque<std::string> kept_;
};

// Parses `xml`, calling handler.Start(name, attributes), handler.Characters(text) (the text
// directly inside the open element, possibly in pieces) and handler.End(name). Raises
// Failure naming `part` when the XML is not well-formed.
template <class Handler>
void ParseXml(std::string_view xml, std::string_view part, Handler& handler) {
  struct Sax {
    Handler& h;
    Attributes attrs;
    std::vector<std::string_view> open;  // the names of the open elements
    void doctype(const orcus::sax::doctype_declaration&) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) { attrs.Clear(); }
    void start_element(const orcus::sax::parser_element& e) {
      open.push_back(e.name);
      h.Start(e.name, attrs);
      attrs.Clear();
    }
    void end_element(const orcus::sax::parser_element& e) {
      if (open.empty() || open.back() != e.name) {
        throw Failure("the part '" + std::string(part) + "' is not well-formed XML: the element '" +
                      std::string(e.name) + "' ends where it did not begin");
      }
      open.pop_back();
      h.End(e.name);
    }
    void characters(std::string_view text, bool) { h.Characters(text); }
    void attribute(const orcus::sax::parser_attribute& a) { attrs.Add(a.name, a.value, a.transient); }
    std::string_view part;
  } sax{handler, {}, {}, part};
  try {
    orcus::sax_parser<Sax> parser(xml.data(), xml.size(), sax);
    parser.parse();
    if (!sax.open.empty()) {
      throw Failure("the part '" + std::string(part) + "' is not well-formed XML: it ends inside the element '" +
                    std::string(sax.open.back()) + "' (is it cut short?)");
    }
  } catch (const Failure&) {
    throw;
  } catch (const std::exception& e) {
    throw Failure("the part '" + std::string(part) + "' is not well-formed XML: " + e.what());
  }
}

}  // namespace quillary::cli::xlsx
