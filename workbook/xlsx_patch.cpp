// Writing xlsx packages by patching: the package the workbook was loaded from (or a
// small empty one for a workbook made otherwise) is copied part by part, each part the
// run did not change as its compressed bytes stand, and what changed is written into it:
//
// - a sheet whose cells, formats, row heights or hidden rows changed gets a new
//   sheetData (rows keep their other attributes, cells whose format is as it was keep
//   their style record); its columns, merged areas, auto-filter, protection and
//   selection are written anew only when they changed; every other element of the
//   sheet part stays as it stands (views and panes, conditional formats, validation,
//   drawings, tables, ...);
// - a sheet's comments, hyperlinks and page set-up are written when they changed: each
//   comment, note shape and link the run left as it was keeps its XML as written, and
//   the comments part, its drawing and their relationships come and go with the sheet's
//   comments (shapes of other kinds stay in the drawing);
// - a format a cell did not have gets a style record of its own, appended to the style
//   part and made from the record the cell had (its font, fill and border too, each
//   only where it changed), so that what the workbook does not model stays;
// - new sheets are added to the workbook part, its relationships and the content
//   types; deleted sheets go with every part only they led to; the workbook part's
//   sheet list, active sheet, protection and defined names are written when they
//   changed;
// - texts are the shared strings of the package where they are among them, inline
//   strings otherwise (no table to build, and no part to rewrite for them).
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <type_traits>
#include <unordered_map>

#include "platform/runtime/phases.h"
#include "workbook/failure.h"
#include "workbook/xlsx_common.h"
#include "workbook/xlsx_package.h"
#include "workbook/xlsx_xml.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook::xlsx {

using xl::memory::CellFormat;
using xl::memory::FileSheet;

namespace {

constexpr int kLevel = 1;  // fastest: the sheets are large and regular

constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kRelsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kWorksheetRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr std::string_view kWorksheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
constexpr std::string_view kBookType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr std::string_view kMacroBookType = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";

// ----- what the run changed -----

// Calls use(col, first, last, values) for each run of filled cells of rows row1..row2,
// column by column, down each column.
template <class Use>
void ForEachRun(FileSheet& sheet, long row1, long row2, std::vector<Variant>& values, Use&& use) {
  const long rows = sheet.RowsCount();
  for (long col = 1; col <= sheet.StoredColumns(); ++col) {
    std::optional<long> next = sheet.NextFilledRow(col, row1 - 1);
    while (next && *next <= row2) {
      const long first = *next;
      long last = first;
      if (first < rows && !sheet.CellValue(first + 1, col).IsEmpty()) last = sheet.End(first, col, xl::xlDown).row;
      last = std::min(last, row2);
      sheet.ReadValues({first, col, last, col}, values);
      use(col, first, last, values);
      next = last < rows ? sheet.NextFilledRow(col, last) : std::nullopt;
    }
  }
}

bool SameComments(const std::vector<CellComment>& a, const std::vector<CellComment>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CellComment& x, const CellComment& y) {
    const xl::CommentData &c = x.comment, &d = y.comment;
    return x.cell == y.cell && c.text == d.text && c.visible == d.visible && c.autoSize == d.autoSize &&
           c.fillColor == d.fillColor && c.top == d.top && c.left == d.left && c.width == d.width &&
           c.height == d.height;
  });
}

bool SameLinks(const std::vector<CellHyperlink>& a, const std::vector<CellHyperlink>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CellHyperlink& x, const CellHyperlink& y) {
    return x.cell == y.cell && x.link.Address == y.link.Address && x.link.SubAddress == y.link.SubAddress &&
           x.link.TextToDisplay == y.link.TextToDisplay;
  });
}

bool SamePage(const xl::PageSetup& p, const xl::PageSetup& q) {
  return p.PrintArea == q.PrintArea && p.CenterHeader == q.CenterHeader && p.LeftHeader == q.LeftHeader &&
         p.RightHeader == q.RightHeader && p.CenterFooter == q.CenterFooter && p.LeftFooter == q.LeftFooter &&
         p.RightFooter == q.RightFooter && p.HeaderMargin == q.HeaderMargin && p.FooterMargin == q.FooterMargin &&
         p.TopMargin == q.TopMargin && p.BottomMargin == q.BottomMargin && p.LeftMargin == q.LeftMargin &&
         p.RightMargin == q.RightMargin && p.Zoom == q.Zoom && p.FitToPagesWide == q.FitToPagesWide &&
         p.FitToPagesTall == q.FitToPagesTall && p.PrintTitleRows == q.PrintTitleRows &&
         p.PrintTitleColumns == q.PrintTitleColumns && p.CenterHorizontally == q.CenterHorizontally &&
         p.CenterVertically == q.CenterVertically;
}

// The page set-up a sheet part holds: print areas and titles are defined names of the
// workbook part, written with them.
xl::PageSetup PrintedPage(xl::PageSetup page) {
  page.PrintArea = page.PrintTitleRows = page.PrintTitleColumns = {};
  return page;
}

bool SameProtection(const std::optional<xl::Protection>& a, const std::optional<xl::Protection>& b) {
  return a.has_value() == b.has_value() && (!a || a->AllowFormattingCells == b->AllowFormattingCells);
}

// The formats of whole columns (and of the whole sheet) among the layout's formats.
std::vector<FormatArea> ColumnFormatAreas(const SheetLayout& layout, long rows) {
  std::vector<FormatArea> out;
  for (const FormatArea& f : layout.formats) {
    if (f.area.row1 == 1 && f.area.row2 == rows) out.push_back(f);
  }
  return out;
}

// ----- XML surgery -----

// An element of a part: [begin, end) of its text, its local name, where its content lies.
struct Element {
  std::size_t begin = 0, end = 0;
  std::string_view name;
  std::size_t contentBegin = 0, contentEnd = 0;  // equal for an empty element
};

[[noreturn]] void Unreadable(std::string_view part) {
  throw Failure("cannot write into the part '" + std::string(part) + "': its XML is not as expected");
}

// The end of the tag that starts at `at` ('<'), after its '>'; quotes are skipped.
std::size_t TagEnd(std::string_view xml, std::size_t at, std::string_view part) {
  char quote = 0;
  for (std::size_t i = at + 1; i < xml.size(); ++i) {
    const char c = xml[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  Unreadable(part);
}

std::string_view LocalName(std::string_view qname) {
  const std::size_t colon = qname.find(':');
  return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

// The next child element of the content [i, to) of an element, i moved past it;
// comments and processing instructions are passed over.
std::optional<Element> NextChild(std::string_view xml, std::size_t& i, std::size_t to, std::string_view part) {
  while (true) {
    i = xml.find('<', i);
    if (i == std::string_view::npos || i >= to) return std::nullopt;
    if (xml.compare(i, 4, "<!--") == 0) {
      const std::size_t e = xml.find("-->", i);
      if (e == std::string_view::npos) Unreadable(part);
      i = e + 3;
      continue;
    }
    if (xml.compare(i, 2, "<?") == 0 || xml.compare(i, 2, "<!") == 0) {
      i = TagEnd(xml, i, part);
      continue;
    }
    if (xml.compare(i, 2, "</") == 0) Unreadable(part);
    Element e;
    e.begin = i;
    std::size_t n = i + 1;
    while (n < xml.size() && xml[n] != ' ' && xml[n] != '>' && xml[n] != '/' && xml[n] != '\t' && xml[n] != '\n' &&
           xml[n] != '\r') {
      ++n;
    }
    const std::string_view qname = xml.substr(i + 1, n - i - 1);
    e.name = LocalName(qname);
    const std::size_t tagEnd = TagEnd(xml, i, part);
    if (xml[tagEnd - 2] == '/') {
      e.end = e.contentBegin = e.contentEnd = tagEnd;
    } else {
      // Its end tag, past the elements of the same name nested in it.
      e.contentBegin = tagEnd;
      int depth = 1;
      std::size_t j = tagEnd;
      const std::string open = "<" + std::string(qname), close = "</" + std::string(qname);
      while (depth > 0) {
        j = xml.find(qname, j);
        if (j == std::string_view::npos || j < 2) Unreadable(part);
        const bool isClose = xml.compare(j - 2, close.size(), close) == 0;
        const bool isOpen = !isClose && xml.compare(j - 1, open.size(), open) == 0;
        const std::size_t after = j + qname.size();
        const char next = after < xml.size() ? xml[after] : '\0';
        const bool whole = next == '>' || next == ' ' || next == '/' || next == '\t' || next == '\n' || next == '\r';
        if (whole && isClose) {
          if (--depth == 0) {
            e.contentEnd = j - 2;
            e.end = TagEnd(xml, j - 2, part);
          }
          j = after;
        } else if (whole && isOpen) {
          const std::size_t end = TagEnd(xml, j - 1, part);
          if (xml[end - 2] != '/') ++depth;
          j = end;
        } else {
          j = after;
        }
      }
    }
    i = e.end;
    return e;
  }
}

// The child elements of the content [from, to) of an element.
std::vector<Element> Children(std::string_view xml, std::size_t from, std::size_t to, std::string_view part) {
  std::vector<Element> out;
  std::size_t i = from;
  while (const std::optional<Element> e = NextChild(xml, i, to, part)) out.push_back(*e);
  return out;
}

// The root element of a part and its prefix ("x:" or "").
struct Root {
  Element element;
  std::string prefix;
};

Root RootOf(std::string_view xml, std::string_view part) {
  const std::vector<Element> top = Children(xml, 0, xml.size(), part);
  if (top.size() != 1) Unreadable(part);
  Root r{top.front(), {}};
  const std::string_view qname = xml.substr(r.element.begin + 1);
  const std::size_t colon = qname.find(':');
  const std::size_t space = qname.find_first_of(" >/\t\r\n");
  if (colon < space) r.prefix = std::string(qname.substr(0, colon + 1));
  return r;
}

// Where an attribute of a start tag lies: [nameBegin, valueEnd + 1) is the whole
// attribute, [valueBegin, valueEnd) its value (as written, between its quotes).
struct AttrSpan {
  std::size_t nameBegin = std::string_view::npos, valueBegin = 0, valueEnd = 0;
};

// Finds the attribute `name` of the start tag `tag` ("<x ...>" or "<x .../>") by
// walking the attributes in turn, so a name inside another attribute's value is
// never taken for one; whitespace of any kind may separate them and surround '=',
// and a value may be quoted with either ' or ". A prefixed name ("r:id") also
// matches its local name.
AttrSpan FindAttr(std::string_view tag, std::string_view name) {
  constexpr std::string_view kSpace = " \t\r\n";
  std::size_t at = tag.find_first_of(kSpace);
  while (at != std::string_view::npos) {
    at = tag.find_first_not_of(kSpace, at);
    if (at == std::string_view::npos || tag[at] == '>' || tag[at] == '/') break;
    const std::size_t nameEnd = tag.find_first_of(" \t\r\n=", at);
    if (nameEnd == std::string_view::npos) break;
    const std::size_t eq = tag.find_first_not_of(kSpace, nameEnd);
    if (eq == std::string_view::npos || tag[eq] != '=') break;
    const std::size_t quote = tag.find_first_not_of(kSpace, eq + 1);
    if (quote == std::string_view::npos || (tag[quote] != '"' && tag[quote] != '\'')) break;
    const std::size_t close = tag.find(tag[quote], quote + 1);
    if (close == std::string_view::npos) break;
    std::string_view found = tag.substr(at, nameEnd - at);
    if (const std::size_t colon = found.find(':'); colon != std::string_view::npos && name.find(':') == name.npos) {
      found = found.substr(colon + 1);
    }
    if (found == name) return {at, quote + 1, close};
    at = close + 1;
  }
  return {};
}

std::string Attr(std::string_view tag, std::string_view name) {
  const AttrSpan a = FindAttr(tag, name);
  if (a.nameBegin == std::string_view::npos) return {};
  return std::string(tag.substr(a.valueBegin, a.valueEnd - a.valueBegin));
}

// The tag `tag` ("<x ...>" or "<x .../>") with the attribute set to `value` (already
// escaped), or removed without one. An attribute the tag has is changed where it
// stands, so it is never written twice.
std::string SetAttr(std::string tag, std::string_view name, std::optional<std::string> value) {
  const AttrSpan a = FindAttr(tag, name);
  if (a.nameBegin != std::string::npos) {
    if (value) {
      // Written with '"' quotes: the escaped value never holds a raw '"'.
      tag.replace(a.valueBegin - 1, a.valueEnd + 2 - a.valueBegin, "\"" + *value + "\"");
    } else {
      std::size_t from = a.nameBegin;
      while (from > 0 &&
             (tag[from - 1] == ' ' || tag[from - 1] == '\t' || tag[from - 1] == '\r' || tag[from - 1] == '\n'))
        --from;
      tag.erase(from, a.valueEnd + 1 - from);
    }
    return tag;
  }
  if (value) tag.insert(tag.size() - (tag.ends_with("/>") ? 2 : 1), " " + std::string(name) + "=\"" + *value + "\"");
  return tag;
}

// The order of a worksheet's elements.
constexpr std::array<std::string_view, 38> kSheetOrder{"sheetPr",
                                                       "dimension",
                                                       "sheetViews",
                                                       "sheetFormatPr",
                                                       "cols",
                                                       "sheetData",
                                                       "sheetCalcPr",
                                                       "sheetProtection",
                                                       "protectedRanges",
                                                       "scenarios",
                                                       "autoFilter",
                                                       "sortState",
                                                       "dataConsolidate",
                                                       "customSheetViews",
                                                       "mergeCells",
                                                       "phoneticPr",
                                                       "conditionalFormatting",
                                                       "dataValidations",
                                                       "hyperlinks",
                                                       "printOptions",
                                                       "pageMargins",
                                                       "pageSetup",
                                                       "headerFooter",
                                                       "rowBreaks",
                                                       "colBreaks",
                                                       "customProperties",
                                                       "cellWatches",
                                                       "ignoredErrors",
                                                       "smartTags",
                                                       "drawing",
                                                       "legacyDrawing",
                                                       "legacyDrawingHF",
                                                       "drawingHF",
                                                       "picture",
                                                       "oleObjects",
                                                       "controls",
                                                       "webPublishItems",
                                                       "tableParts"};
constexpr std::array<std::string_view, 10> kBookOrder{
    "fileVersion", "fileSharing",    "workbookPr",         "workbookProtection", "bookViews",
    "sheets",      "functionGroups", "externalReferences", "definedNames",       "calcPr"};

template <std::size_t N>
std::size_t RankOf(const std::array<std::string_view, N>& order, std::string_view name) {
  const auto it = std::find(order.begin(), order.end(), name);
  return it == order.end() ? N : static_cast<std::size_t>(it - order.begin());  // extLst and the unknown: last
}

// Puts `text` in place of the root's child `name` (all of them when it repeats), where
// the order puts it when it has none; "" removes it.
template <std::size_t N>
void PutChild(std::string& xml, std::string_view part, const std::array<std::string_view, N>& order,
              std::string_view name, const std::string& text) {
  const Root root = RootOf(xml, part);
  const std::vector<Element> kids = Children(xml, root.element.contentBegin, root.element.contentEnd, part);
  std::vector<const Element*> same;
  for (const Element& k : kids) {
    if (k.name == name) same.push_back(&k);
  }
  if (!same.empty()) {
    for (std::size_t i = same.size(); i-- > 1;) xml.erase(same[i]->begin, same[i]->end - same[i]->begin);
    xml.replace(same[0]->begin, same[0]->end - same[0]->begin, text);
    return;
  }
  if (text.empty()) return;
  const std::size_t rank = RankOf(order, name);
  for (const Element& k : kids) {
    if (RankOf(order, k.name) > rank) {
      xml.insert(k.begin, text);
      return;
    }
  }
  xml.insert(root.element.contentEnd, text);
}

// ----- numbers and references -----

void AppendNumber(std::string& out, double d) {
  std::array<char, 32> buf{};
  const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), d).ptr;
  out.append(buf.data(), end);
}

void AppendInt(std::string& out, long long n) {
  std::array<char, 24> buf{};
  const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), n).ptr;
  out.append(buf.data(), end);
}

std::string Num(double d) {
  std::string s;
  AppendNumber(s, d);
  return s;
}

std::string ColumnName(long col) {
  std::string s;
  for (long c = col; c > 0; c = (c - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
  return s;
}

// ----- styles -----

// The style part with records appended: each format a cell did not have becomes a
// record made from the one it had.
class Styles {
 public:
  Styles(std::string xml, const std::vector<CellFormat>& xfs, std::string part)
      : xml_(std::move(xml)), part_(std::move(part)), xfs_(xfs) {
    const Root root = RootOf(xml_, part_);
    for (const Element& e : Children(xml_, root.element.contentBegin, root.element.contentEnd, part_)) {
      if (e.name == "numFmts") {
        for (const Element& n : Children(xml_, e.contentBegin, e.contentEnd, part_)) {
          const std::string_view tag = std::string_view(xml_).substr(n.begin, n.end - n.begin);
          const long id = std::atol(Attr(tag, "numFmtId").c_str());
          numFmts_[id] = Attr(tag, "formatCode");
          nextNumFmt_ = std::max(nextNumFmt_, id + 1);
        }
      }
      const auto list = [&](std::vector<std::string>& into) {
        for (const Element& n : Children(xml_, e.contentBegin, e.contentEnd, part_)) {
          into.emplace_back(xml_.substr(n.begin, n.end - n.begin));
        }
      };
      if (e.name == "fonts") list(fonts_);
      if (e.name == "fills") list(fills_);
      if (e.name == "borders") list(borders_);
      if (e.name == "cellXfs") list(cellXfs_);
    }
    prefix_ = root.prefix;
    original_ = {numFmtsAdded_.size(), fonts_.size(), fills_.size(), borders_.size(), cellXfs_.size()};
  }

  // The record for a cell that had record `xf` and has format `f`.
  std::uint32_t For(std::uint32_t xf, const CellFormat& f) {
    const CellFormat& old = xf < xfs_.size() ? xfs_[xf] : kDefault;
    if (old == f && xf < cellXfs_.size()) return xf;
    for (const auto& [key, index] : made_) {
      if (key.first == xf && key.second == f) return index;
    }
    const std::uint32_t index = Make(xf < cellXfs_.size() ? xf : 0, old, f);
    made_.emplace_back(std::make_pair(xf, f), index);
    return index;
  }

  bool Changed() const { return cellXfs_.size() != original_[4]; }

  // The part with the new records appended to its lists.
  std::string Xml() {
    AppendTo("numFmts", numFmtsAdded_, 0, "numFmt");
    AppendTo("fonts", fonts_, original_[1], "font");
    AppendTo("fills", fills_, original_[2], "fill");
    AppendTo("borders", borders_, original_[3], "border");
    AppendTo("cellXfs", cellXfs_, original_[4], "xf");
    return std::move(xml_);
  }

 private:
  static inline const CellFormat kDefault{};

  std::string El(std::string_view name) const { return prefix_ + std::string(name); }

  std::uint32_t Make(std::uint32_t from, const CellFormat& old, const CellFormat& f) {
    std::string xf = cellXfs_.empty() ? "<" + El("xf") + " numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
                                      : cellXfs_[from];
    const std::size_t tagEnd = TagEnd(xf, 0, part_);
    std::string tag = xf.substr(0, tagEnd);
    std::string body = xf.substr(tagEnd);
    if (f.numberFormat != old.numberFormat) {
      tag = SetAttr(tag, "numFmtId", std::to_string(NumFmt(f.numberFormat)));
      tag = SetAttr(tag, "applyNumberFormat", "1");
    }
    if (f.bold != old.bold || f.colorIndex != old.colorIndex || f.underline != old.underline) {
      const auto id = static_cast<std::size_t>(std::atol(Attr(tag, "fontId").c_str()));
      fonts_.push_back(Font(id < fonts_.size() ? fonts_[id] : "<" + El("font") + "/>", old, f));
      tag = SetAttr(tag, "fontId", std::to_string(fonts_.size() - 1));
      tag = SetAttr(tag, "applyFont", "1");
    }
    if (f.pattern != old.pattern || f.interiorColor != old.interiorColor) {
      fills_.push_back(Fill(f));
      tag = SetAttr(tag, "fillId", std::to_string(fills_.size() - 1));
      tag = SetAttr(tag, "applyFill", "1");
    }
    if (f.borders != old.borders) {
      borders_.push_back(Border(f));
      tag = SetAttr(tag, "borderId", std::to_string(borders_.size() - 1));
      tag = SetAttr(tag, "applyBorder", "1");
    }
    const bool align = f.horizontalAlignment != old.horizontalAlignment ||
                       f.verticalAlignment != old.verticalAlignment || f.wrapText != old.wrapText;
    const bool protect = f.locked != old.locked;
    if (align || protect) {
      // The record's children: its alignment and protection, edited where they changed.
      if (tag.ends_with("/>")) {
        tag.erase(tag.size() - 2);
        tag += ">";
        body = "</" + El("xf") + ">";
      }
      if (align) {
        tag = SetAttr(tag, "applyAlignment", "1");
        body = Child(body, "alignment", [&](std::string t) {
          const std::string_view h = HorizontalName(f.horizontalAlignment);
          const std::string_view v = VerticalName(f.verticalAlignment);
          t = SetAttr(t, "horizontal", h.empty() || h == "general" ? std::nullopt : std::optional(std::string(h)));
          t = SetAttr(t, "vertical", v.empty() || v == "bottom" ? std::nullopt : std::optional(std::string(v)));
          return SetAttr(t, "wrapText", f.wrapText ? std::optional<std::string>("1") : std::nullopt);
        });
      }
      if (protect) {
        tag = SetAttr(tag, "applyProtection", "1");
        body = Child(body, "protection", [&](std::string t) {
          return SetAttr(t, "locked", f.locked ? std::optional<std::string>() : std::optional<std::string>("0"));
        });
      }
    }
    cellXfs_.push_back(tag + body);
    return static_cast<std::uint32_t>(cellXfs_.size() - 1);
  }

  // `body` (the record's content and end tag) with its child `name` edited (made, in
  // its place, when it has none: alignment first, protection after it).
  template <class Edit>
  std::string Child(std::string body, std::string_view name, Edit&& edit) const {
    std::size_t insertAt = 0;
    for (const Element& k : Children(body, 0, body.rfind("</"), part_)) {
      if (k.name == name) {
        const std::size_t end = TagEnd(body, k.begin, part_);
        body.replace(k.begin, end - k.begin, edit(body.substr(k.begin, end - k.begin)));
        return body;
      }
      if (name == "protection" && k.name == "alignment") insertAt = k.end;
    }
    body.insert(insertAt, edit("<" + El(name) + "/>"));
    return body;
  }

  std::string Font(const std::string& from, const CellFormat& old, const CellFormat& f) const {
    // Only the properties that changed (bold, underline, colour) are put in place of the
    // old ones; the rest (size, name, italic, a theme colour that stayed, ...) stays as
    // the part had it.
    const bool bold = f.bold != old.bold, underline = f.underline != old.underline,
               color = f.colorIndex != old.colorIndex;
    std::string font = from;
    const std::size_t tagEnd = TagEnd(font, 0, part_);
    std::string tag = font.substr(0, tagEnd), body = font.substr(tagEnd);
    if (tag.ends_with("/>")) {
      tag.erase(tag.size() - 2);
      tag += ">";
      body = "</" + El("font") + ">";
    }
    const std::vector<Element> kids = Children(body, 0, body.rfind("</"), part_);
    std::string kept;
    for (const Element& k : kids) {
      const bool replaced = (bold && k.name == "b") || (underline && k.name == "u") || (color && k.name == "color");
      if (!replaced) kept += body.substr(k.begin, k.end - k.begin);
    }
    std::string own;
    if (bold && f.bold) own += "<" + El("b") + "/>";
    if (const std::string_view u = UnderlineName(f.underline); underline && !u.empty() && u != "none") {
      own += "<" + El("u") + (u == "single" ? std::string() : " val=\"" + std::string(u) + "\"") + "/>";
    }
    if (color && f.colorIndex >= 1 && f.colorIndex <= 56)
      own += "<" + El("color") + " rgb=\"FF" + Hex(PaletteColor(f.colorIndex)) + "\"/>";
    return tag + own + kept + "</" + El("font") + ">";
  }

  static std::string Hex(std::uint32_t rgb) {
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "%06X", rgb & 0xFFFFFF);
    return buf.data();
  }

  std::string Fill(const CellFormat& f) const {
    const std::string p = El("patternFill");
    if (f.pattern == xl::xlNone) return "<" + El("fill") + "><" + p + " patternType=\"none\"/></" + El("fill") + ">";
    const std::string type = f.pattern == xl::xlPatternGray16 ? "gray125" : "solid";
    return "<" + El("fill") + "><" + p + " patternType=\"" + type + "\"><" + El("fgColor") + " rgb=\"FF" +
           Hex(OleToRgb(f.interiorColor)) + "\"/><" + El("bgColor") + " indexed=\"64\"/></" + p + "></" + El("fill") +
           ">";
  }

  std::string Border(const CellFormat& f) const {
    std::string b = "<" + El("border");
    const bool down = f.borders[0].lineStyle != xl::xlLineStyleNone, up = f.borders[1].lineStyle != xl::xlLineStyleNone;
    if (up) b += " diagonalUp=\"1\"";
    if (down) b += " diagonalDown=\"1\"";
    b += ">";
    const auto edge = [&](std::string_view name, const xl::memory::BorderFormat& e) {
      const std::string_view style = BorderStyleName(e.lineStyle, e.weight);
      b += '<';
      b += El(name);
      if (!style.empty()) {
        b += " style=\"";
        b += style;
        b += '"';
      }
      b += "/>";
    };
    edge("left", f.borders[2]);
    edge("right", f.borders[5]);
    edge("top", f.borders[3]);
    edge("bottom", f.borders[4]);
    edge("diagonal", f.borders[down ? 0 : 1]);
    return b + "</" + El("border") + ">";
  }

  long NumFmt(const Text& code) {
    const std::string utf8 = ToUtf8(code);
    for (long id = 0; id < 164; ++id) {
      if (BuiltinNumberFormat(id) == std::optional<std::string_view>(utf8)) return id;
    }
    for (const auto& [id, c] : numFmts_) {
      if (c == EscapedAttribute(utf8)) return id;
    }
    const long id = std::max(nextNumFmt_, 164L);
    nextNumFmt_ = id + 1;
    numFmts_[id] = EscapedAttribute(utf8);
    numFmtsAdded_.push_back("<" + El("numFmt") + " numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" +
                            EscapedAttribute(utf8) + "\"/>");
    return id;
  }

  // Appends the records made after the first `kept` of `list` to the part's list
  // element `name` (made when the part has none), and sets its count.
  void AppendTo(std::string_view name, const std::vector<std::string>& list, std::size_t kept, std::string_view item) {
    if (list.size() <= kept) return;
    std::string added;
    for (std::size_t i = kept; i < list.size(); ++i) added += list[i];
    const Root root = RootOf(xml_, part_);
    for (const Element& e : Children(xml_, root.element.contentBegin, root.element.contentEnd, part_)) {
      if (e.name != name) continue;
      const std::string count =
          std::to_string(Children(xml_, e.contentBegin, e.contentEnd, part_).size() + list.size() - kept);
      std::string tag = xml_.substr(e.begin, TagEnd(xml_, e.begin, part_) - e.begin);
      const bool empty = tag.ends_with("/>");
      if (empty) tag = tag.substr(0, tag.size() - 2) + ">";
      tag = SetAttr(tag, "count", count);
      if (empty) {
        xml_.replace(e.begin, e.end - e.begin, tag + added + "</" + El(name) + ">");
      } else {
        xml_.insert(e.contentEnd, added);
        xml_.replace(e.begin, TagEnd(xml_, e.begin, part_) - e.begin, tag);
      }
      return;
    }
    static_cast<void>(item);
    // Made before the first child that comes after it in a style part's order.
    static constexpr std::array<std::string_view, 11> kOrder{"numFmts",      "fonts",   "fills",      "borders",
                                                             "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                                             "tableStyles",  "colors",  "extLst"};
    const auto rank = [](std::string_view n) { return std::find(kOrder.begin(), kOrder.end(), n) - kOrder.begin(); };
    std::size_t at = root.element.contentEnd;
    for (const Element& e : Children(xml_, root.element.contentBegin, root.element.contentEnd, part_)) {
      if (rank(e.name) > rank(name)) {
        at = e.begin;
        break;
      }
    }
    xml_.insert(
        at, "<" + El(name) + " count=\"" + std::to_string(list.size() - kept) + "\">" + added + "</" + El(name) + ">");
  }

  std::string xml_, part_, prefix_;
  const std::vector<CellFormat>& xfs_;
  std::map<long, std::string> numFmts_;  // id -> code as the part has it (escaped)
  long nextNumFmt_ = 164;
  std::vector<std::string> numFmtsAdded_, fonts_, fills_, borders_, cellXfs_;
  std::array<std::size_t, 5> original_{};
  std::vector<std::pair<std::pair<std::uint32_t, CellFormat>, std::uint32_t>> made_;
};

// ----- the package -----

// The parts of the package being written: those of the original, some replaced or
// removed, and new ones.
class Parts {
 public:
  explicit Parts(const ZipArchive& zip) : zip_(zip) {
    for (const ZipEntry& e : zip_.Entries()) ++folded_[Folded(e.name)];
  }
  // Whether the package holds the part, or one whose name differs only in case: part
  // names compare case-insensitively, so a new part must differ from both.
  bool Has(const std::string& part) const { return folded_.contains(Folded(part)); }
  std::string Read(const std::string& part) const {
    if (const auto it = replaced_.find(part); it != replaced_.end()) return it->second;
    if (const auto it = deflated_.find(part); it != deflated_.end()) return Inflated(it->second);
    if (removed_.contains(part)) return {};
    return zip_.Read(part, false);
  }
  void Put(const std::string& part, std::string data) {
    Putting(part);
    deflated_.erase(part);
    replaced_[part] = std::move(data);
  }
  // A part deflated as it was made.
  void Put(const std::string& part, DeflatedPart data) {
    Putting(part);
    replaced_.erase(part);
    deflated_.insert_or_assign(part, std::move(data));
  }
  void Remove(const std::string& part) {
    if (Holds(part)) {
      if (const auto it = folded_.find(Folded(part)); --it->second == 0) folded_.erase(it);
    }
    replaced_.erase(part);
    deflated_.erase(part);
    std::erase(added_, part);
    removed_.insert(part);
  }
  // The package in pieces laid end to end: the blocks of a part deflated as it was made
  // are moved among them, not copied (so this is the last use of the parts).
  std::vector<std::string> Zip() {
    ZipWriter w;
    std::size_t bytes = 0;
    for (const ZipEntry& e : zip_.Entries()) bytes += e.compressedSize + e.name.size() + 128;
    for (const auto& [part, data] : replaced_) bytes += data.size() / 4 + part.size() + 128;
    w.Reserve(bytes);
    const auto add = [&](const std::string& part) {
      if (const auto it = deflated_.find(part); it != deflated_.end()) {
        w.Add(it->second.entry, std::move(it->second.blocks));
      } else {
        w.AddDeflated(part, replaced_.at(part), kLevel);
      }
    };
    for (const ZipEntry& e : zip_.Entries()) {
      if (removed_.contains(e.name)) continue;
      if (replaced_.contains(e.name) || deflated_.contains(e.name)) {
        add(e.name);
      } else {
        w.Add(e, zip_.RawData(e));
      }
    }
    for (const std::string& part : added_) add(part);
    return w.FinishPieces();
  }

  // Every part the relationships lead to from the package's own.
  std::set<std::string> Reachable() const {
    std::set<std::string> seen;
    std::vector<std::string> todo{""};
    while (!todo.empty()) {
      const std::string part = todo.back();
      todo.pop_back();
      for (const std::string& t : Targets(part)) {
        if (seen.insert(t).second) todo.push_back(t);
      }
    }
    return seen;
  }

 private:
  // Whether the package holds the part under exactly this name.
  bool Holds(const std::string& part) const {
    return replaced_.contains(part) || deflated_.contains(part) || (zip_.Has(part) && !removed_.contains(part));
  }
  void Putting(const std::string& part) {
    if (!Holds(part)) ++folded_[Folded(part)];
    removed_.erase(part);
    if (!zip_.Has(part) && !replaced_.contains(part) && !deflated_.contains(part)) added_.push_back(part);
  }
  static std::string Inflated(const DeflatedPart& part) {
    std::string raw;
    for (const std::string& b : part.blocks) raw += b;
    ZipWriter one;
    one.Add(part.entry, raw);
    const std::string archive = one.Finish();
    return ZipArchive(archive).Read(part.entry.name);
  }
  static std::string Folded(std::string_view part) {
    std::string out(part);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  }

  std::vector<std::string> Targets(const std::string& part) const {
    const std::string rels = RelsPartOf(part);
    std::vector<std::string> out;
    if (!Holds(rels)) return out;
    struct H {
      std::vector<std::string>& out;
      const std::string& part;
      void Start(std::string_view name, const Attributes& a) {
        if (name == "Relationship" && a.Get("TargetMode") != "External") {
          out.push_back(ResolveTarget(part, a.Get("Target")));
        }
      }
      void End(std::string_view) {}
      void Characters(std::string_view) {}
    } h{out, part};
    ParseXml(Read(rels), rels, h);
    return out;
  }

  const ZipArchive& zip_;
  std::map<std::string, std::string> replaced_;
  std::map<std::string, DeflatedPart> deflated_;
  std::set<std::string> removed_;
  std::vector<std::string> added_;
  std::map<std::string, int> folded_;  // the names held, case folded -> how many
};

// The target of a relationship of `fromPart` to `part`: relative when it lies below it.
std::string TargetFrom(std::string_view fromPart, const std::string& part) {
  const std::string dir = PartDir(fromPart);
  return part.starts_with(dir) ? part.substr(dir.size()) : "/" + part;
}

// A relationships part with the relationships of the given ids removed.
std::string WithoutRels(std::string xml, const std::set<std::string>& ids, std::string_view part) {
  if (ids.empty()) return xml;
  const Root root = RootOf(xml, part);
  const std::vector<Element> kids = Children(xml, root.element.contentBegin, root.element.contentEnd, part);
  // Copied once, without them: many removed one by one would move the rest each time.
  std::string out;
  out.reserve(xml.size());
  std::size_t from = 0;
  for (const Element& k : kids) {
    const std::string_view tag = std::string_view(xml).substr(k.begin, k.end - k.begin);
    if (!ids.contains(Attr(tag, "Id"))) continue;
    out.append(xml, from, k.begin - from);
    from = k.end;
  }
  out.append(xml, from);
  return out;
}

std::string WithChildAtEnd(std::string xml, const std::string& child, std::string_view part) {
  const Root root = RootOf(xml, part);
  if (root.element.contentBegin == root.element.end) {
    // An empty root element.
    const std::size_t slash = xml.rfind("/>", root.element.end);
    const std::string name = std::string(xml.substr(root.element.begin + 1, slash - root.element.begin - 1));
    const std::string qname = name.substr(0, name.find_first_of(" \t\r\n"));
    xml.replace(slash, 2, ">" + child + "</" + qname + ">");
    return xml;
  }
  xml.insert(root.element.contentEnd, child);
  return xml;
}

// The content types with the overrides of the given parts removed.
std::string WithoutOverrides(std::string xml, const std::set<std::string>& parts) {
  const std::string_view part = "[Content_Types].xml";
  const Root root = RootOf(xml, part);
  const std::vector<Element> kids = Children(xml, root.element.contentBegin, root.element.contentEnd, part);
  for (std::size_t i = kids.size(); i-- > 0;) {
    const std::string_view tag = std::string_view(xml).substr(kids[i].begin, kids[i].end - kids[i].begin);
    const std::string name = Attr(tag, "PartName");
    if (kids[i].name == "Override" && name.starts_with('/') && parts.contains(name.substr(1))) {
      xml.erase(kids[i].begin, kids[i].end - kids[i].begin);
    }
  }
  return xml;
}

// ----- a sheet part -----

std::string NewSheetXml() {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") +
         std::string(kMainNs) + "\" xmlns:r=\"" + std::string(kRelNs) +
         "\"><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>"
         "<sheetData/><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
         "footer=\"0.3\"/></worksheet>";
}

// The original shared strings by text.
class SharedIndex {
 public:
  explicit SharedIndex(const LoadedPackage& p) : p_(p) {}
  std::optional<std::uint32_t> Find(TextView t) {
    if (p_.spans.empty()) return std::nullopt;
    if (map_.empty()) {
      map_.reserve(p_.spans.size());
      for (std::size_t i = 0; i < p_.spans.size(); ++i) {
        map_.emplace(TextView(p_.chars).substr(p_.spans[i].first, p_.spans[i].second), static_cast<std::uint32_t>(i));
      }
    }
    const auto it = map_.find(t);
    return it == map_.end() ? std::nullopt : std::optional(it->second);
  }

 private:
  const LoadedPackage& p_;
  std::unordered_map<TextView, std::uint32_t> map_;
};

// A cell's element as the sheet part has it.
struct OriginalCell {
  long row = 0, col = 0;
  std::string text;
};

// The elements of the kept cells (by row, then column) that the run left as they were,
// from the sheet part `xml`, in the same order.
std::vector<OriginalCell> OriginalCells(std::string_view xml, std::string_view part, FileSheet& sheet,
                                        const std::vector<LoadedSheet::KeptCell>& kept) {
  std::vector<OriginalCell> out;
  std::vector<LoadedSheet::KeptCell> wanted;
  for (const LoadedSheet::KeptCell& k : kept) {
    if (CellDigest(sheet, k.row, k.col) == k.digest) wanted.push_back(k);
  }
  if (wanted.empty()) return out;
  const Root root = RootOf(xml, part);
  std::size_t at = root.element.contentBegin;
  std::optional<Element> data;
  while ((data = NextChild(xml, at, root.element.contentEnd, part)) && data->name != "sheetData") {
  }
  if (!data) return out;
  auto next = wanted.begin();
  std::set<std::string> keptMasters;  // the shared formulas whose master is kept
  long row = 0;
  std::size_t i = data->contentBegin;
  while (next != wanted.end()) {
    const std::optional<Element> r = NextChild(xml, i, data->contentEnd, part);
    if (!r) break;
    if (r->name != "row") continue;
    const std::string_view rowTag = xml.substr(r->begin, TagEnd(xml, r->begin, part) - r->begin);
    const std::string number = Attr(rowTag, "r");
    row = number.empty() ? row + 1 : std::atol(number.c_str());
    while (next != wanted.end() && next->row < row) ++next;
    if (next == wanted.end() || next->row != row) continue;
    long col = 0;
    std::size_t j = r->contentBegin;
    while (const std::optional<Element> c = NextChild(xml, j, r->contentEnd, part)) {
      if (c->name != "c") continue;
      const std::string_view text = xml.substr(c->begin, c->end - c->begin);
      const std::string ref = Attr(text.substr(0, TagEnd(text, 0, part)), "r");
      const std::optional<xl::CellPos> pos = ref.empty() ? std::nullopt : ParseCellRef(ref);
      col = pos ? pos->col : col + 1;
      while (next != wanted.end() && next->row == row && next->col < col) ++next;
      if (next != wanted.end() && next->row == row && next->col == col) {
        ++next;
        // A cell of a shared formula that only names its group is kept only where the
        // group's master is kept too; otherwise it is written with its own formula.
        std::size_t k = c->contentBegin;
        std::optional<Element> f;
        while ((f = NextChild(xml, k, c->contentEnd, part)) && f->name != "f") {
        }
        if (f) {
          const std::string_view fTag = xml.substr(f->begin, TagEnd(xml, f->begin, part) - f->begin);
          if (Attr(fTag, "t") == "shared") {
            const std::string si = Attr(fTag, "si");
            if (f->contentEnd > f->contentBegin) {
              keptMasters.insert(si);
            } else if (!keptMasters.contains(si)) {
              continue;
            }
          }
        }
        out.push_back({row, col, std::string(text)});
      }
    }
  }
  return out;
}

class SheetWriter {
 public:
  SheetWriter(FileSheet& sheet, const LoadedSheet* loaded, const SheetLayout& layout, Styles& styles,
              SharedIndex& strings, std::string prefix)
      : sheet_(sheet),
        loaded_(loaded),
        layout_(layout),
        styles_(styles),
        strings_(strings),
        p_(std::move(prefix)),
        rows_(sheet.RowsCount()) {
    // The layout's formats by column: whole columns, and runs of cells.
    for (std::size_t i = 0; i < layout_.formats.size(); ++i) formats_.Put(layout_.formats[i].area, rows_, i);
  }

  // The cells written as the file has them (OriginalCells), with the style the run gave them.
  void KeepCells(std::vector<OriginalCell> cells) { originals_ = std::move(cells); }
  // Appends the sheet's new sheetData to the part, a piece at a time.
  void SheetData(PartDeflater& part);
  std::string Cols();

 private:
  // The style record of a cell (row, col) of format index `f` (npos: the default) that
  // had the record `xf`.
  std::uint32_t StyleOf(std::size_t f, std::uint32_t xf) {
    if (f == std::string::npos && xf == 0) return 0;
    const auto [it, added] = styleCache_.try_emplace({f, xf}, 0);
    if (added) it->second = styles_.For(xf, f == std::string::npos ? kDefault : layout_.formats[f].format);
    return it->second;
  }
  std::size_t FormatAt(long row, long col) const { return formats_.At(row, col); }
  void Cell(std::string& out, long row, long col, const Variant* value, std::uint32_t style);

  static inline const CellFormat kDefault{};
  FileSheet& sheet_;
  const LoadedSheet* loaded_;
  const SheetLayout& layout_;
  Styles& styles_;
  SharedIndex& strings_;
  std::string p_;
  long rows_;
  FormatRuns formats_;  // the layout's formats by column, as indexes into layout_.formats
  std::vector<std::string> columnNames_;
  std::string scratch_;
  std::map<std::pair<std::size_t, std::uint32_t>, std::uint32_t> styleCache_;
  std::vector<OriginalCell> originals_;
  // The tags of a cell, with the part's prefix.
  struct Tags {
    explicit Tags(const std::string& p)
        : c("<" + p + "c r=\""),
          cEnd("</" + p + "c>"),
          f("><" + p + "f>"),
          fEnd("</" + p + "f>"),
          v("<" + p + "v>"),
          vEnd("</" + p + "v>"),
          inlineText(" t=\"inlineStr\"><" + p + "is><" + p + "t>"),
          inlineKept(" t=\"inlineStr\"><" + p + "is><" + p + "t xml:space=\"preserve\">"),
          inlineEnd("</" + p + "t></" + p + "is></" + p + "c>"),
          row("<" + p + "row r=\""),
          rowEnd("</" + p + "row>") {}
    std::string c, cEnd, f, fEnd, v, vEnd, inlineText, inlineKept, inlineEnd, row, rowEnd;
  } t_{p_};
};

void SheetWriter::Cell(std::string& out, long row, long col, const Variant* value, std::uint32_t style) {
  if (columnNames_.size() <= static_cast<std::size_t>(col)) columnNames_.resize(static_cast<std::size_t>(col) + 1);
  std::string& name = columnNames_[static_cast<std::size_t>(col)];
  if (name.empty()) name = ColumnName(col);
  out += t_.c;
  out += name;
  AppendInt(out, row);
  out += '"';
  if (style != 0) {
    out += " s=\"";
    AppendInt(out, style);
    out += '"';
  }
  const auto text = [&](TextView t) {
    // Printable ASCII without a character to escape, as most texts are, goes in as it is.
    const std::size_t at = out.size();
    out.resize(at + t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
      const char16_t c = t[i];
      if (c < 0x20 || c >= 0x80 || c == u'&' || c == u'<' || c == u'>' || c == u'_') {
        out.resize(at);
        scratch_ = ToUtf8(t);
        AppendEscaped(out, scratch_);
        return;
      }
      out[at + i] = static_cast<char>(c);
    }
  };
  if (value == nullptr || value->IsEmpty()) {
    out += "/>";
    return;
  }
  if (sheet_.CellHasFormula(row, col)) {
    const bool cached = sheet_.CellHasCachedValue(row, col);
    const Text source = sheet_.CellFormula(row, col);
    if (cached) {
      switch (value->Type()) {
        case VarType::String: out += " t=\"str\""; break;
        case VarType::Boolean: out += " t=\"b\""; break;
        case VarType::Error: out += " t=\"e\""; break;
        default: break;
      }
    }
    out += t_.f;
    text(TextView(source).substr(source.starts_with(u'=') ? 1 : 0));
    out += t_.fEnd;
    if (cached) {
      out += t_.v;
      switch (value->Type()) {
        case VarType::Number: AppendNumber(out, value->AsNumber()); break;
        case VarType::String: text(value->AsText()); break;
        case VarType::Boolean: out += value->AsBool() ? "1" : "0"; break;
        case VarType::Error: text(CellErrorText(value->AsError())); break;
        default: break;
      }
      out += t_.vEnd;
    }
    out += t_.cEnd;
    return;
  }
  switch (value->Type()) {
    case VarType::Number:
      out += '>';
      out += t_.v;
      AppendNumber(out, value->AsNumber());
      break;
    case VarType::String: {
      const TextView t = value->AsText();
      if (const auto shared = strings_.Find(t)) {
        out += " t=\"s\">";
        out += t_.v;
        AppendInt(out, *shared);
        break;
      }
      const bool keepBlanks = !t.empty() && (t.front() == u' ' || t.back() == u' ' || t.front() == u'\t' ||
                                             t.back() == u'\t' || t.front() == u'\n' || t.back() == u'\n');
      out += keepBlanks ? t_.inlineKept : t_.inlineText;
      text(t);
      out += t_.inlineEnd;
      return;
    }
    case VarType::Boolean:
      out += " t=\"b\">";
      out += t_.v;
      out += value->AsBool() ? "1" : "0";
      break;
    case VarType::Error:
      out += " t=\"e\">";
      out += t_.v;
      text(CellErrorText(value->AsError()));
      break;
    default: out += "/>"; return;
  }
  out += t_.vEnd;
  out += t_.cEnd;
}

void SheetWriter::SheetData(PartDeflater& part) {
  // Rows gathered at once: few enough that what a band is gathered into stays in the
  // processor's cache, used again band after band.
  constexpr long kBand = 1 << 12;
  std::string& out = part.Piece();
  // What a row holds besides its cells.
  std::map<long, double> heights;
  for (const RowHeight& h : layout_.rowHeights) {
    for (long r = h.rows.first; r <= h.rows.last; ++r) heights[r] = h.height;
  }
  std::set<long> hidden;
  for (const Band& b : layout_.hiddenRows) {
    for (long r = b.first; r <= b.last; ++r) hidden.insert(r);
  }
  static const std::map<std::int32_t, LoadedSheet::RowTag> kNoAttributes;
  const auto& rowAttributes = loaded_ ? loaded_->rowAttributes : kNoAttributes;
  // The last row that anything but a value lies in.
  long lastOther = 0;
  for (const auto& [c, runs] : formats_.runs) {
    if (!runs.empty()) lastOther = std::max(lastOther, std::prev(runs.end())->second.first);
  }
  if (loaded_) {
    for (const auto& runs : loaded_->xfs) {
      if (!runs.empty()) lastOther = std::max<long>(lastOther, runs.back().row2);
    }
    if (!rowAttributes.empty()) lastOther = std::max<long>(lastOther, std::prev(rowAttributes.end())->first);
  }
  if (!heights.empty()) lastOther = std::max(lastOther, std::prev(heights.end())->first);
  if (!hidden.empty()) lastOther = std::max(lastOther, *hidden.rbegin());
  const auto valuesFrom = [&](long row) {
    for (long col = 1; col <= sheet_.StoredColumns(); ++col) {
      if (sheet_.NextFilledRow(col, row - 1)) return true;
    }
    return false;
  };

  const std::size_t start = out.size();
  bool anyRow = false;
  out.append("<").append(p_).append("sheetData>");
  struct Entry {
    std::int32_t row, col, value;  // value: index into the band's values, -1 for none
  };
  std::vector<Entry> entries, sorted;
  std::vector<Variant> values, run;
  std::vector<std::uint32_t> count;
  std::vector<std::size_t> cursor(loaded_ ? loaded_->xfs.size() : 0, 0);
  // By column, the first style run a band can reach, when the column's runs go down it
  // in order (as the file's rows do); without that order every run is looked at.
  std::vector<std::size_t> xfFrom(cursor.size(), 0);
  std::vector<bool> xfInOrder(cursor.size(), true);
  for (std::size_t c = 0; c < cursor.size(); ++c) {
    const std::vector<XfRun>& runs = loaded_->xfs[c];
    xfInOrder[c] = std::adjacent_find(runs.begin(), runs.end(),
                                      [](const XfRun& a, const XfRun& b) { return b.row1 <= a.row2; }) == runs.end();
  }
  auto original = originals_.begin();
  // The style records of the file's columns, by column.
  std::vector<std::uint32_t> columnXf;
  if (loaded_) {
    for (const LoadedSheet::ColTag& t : loaded_->cols) {
      if (t.xf == 0) continue;
      if (columnXf.size() <= static_cast<std::size_t>(t.max)) columnXf.resize(static_cast<std::size_t>(t.max) + 1);
      std::fill(columnXf.begin() + t.min, columnXf.begin() + t.max + 1, t.xf);
    }
  }
  for (long band = 1; band <= rows_ && (band <= lastOther || valuesFrom(band)); band += kBand) {
    const long bandEnd = std::min(rows_, band + kBand - 1);
    entries.clear();
    values.clear();
    const long columns =
        std::max<long>({sheet_.StoredColumns(), formats_.runs.empty() ? 0L : std::prev(formats_.runs.end())->first,
                        static_cast<long>(cursor.size())});
    // Column by column: the values, the cells of a format, the cells that had a style.
    std::map<long, std::vector<Entry>> byColumn;
    ForEachRun(sheet_, band, bandEnd, run, [&](long col, long first, long last, std::vector<Variant>& got) {
      auto& list = byColumn[col];
      for (long r = first; r <= last; ++r) {
        list.push_back(
            {static_cast<std::int32_t>(r), static_cast<std::int32_t>(col), static_cast<std::int32_t>(values.size())});
        values.push_back(std::move(got[static_cast<std::size_t>(r - first)]));
      }
    });
    for (long col = 1; col <= columns; ++col) {
      const auto own = byColumn.find(col);
      if (own != byColumn.end()) entries.insert(entries.end(), own->second.begin(), own->second.end());
      if (const auto runs = formats_.runs.find(col); runs != formats_.runs.end()) {
        // The runs do not overlap: the first to reach the band begins at or before it.
        auto from = runs->second.upper_bound(band);
        if (from != runs->second.begin() && std::prev(from)->second.first >= band) --from;
        for (auto it = from; it != runs->second.end() && it->first <= bandEnd; ++it) {
          if (layout_.formats[it->second.second].format == kDefault) continue;
          for (long r = std::max(band, it->first); r <= std::min(bandEnd, it->second.first); ++r) {
            entries.push_back({static_cast<std::int32_t>(r), static_cast<std::int32_t>(col), -1});
          }
        }
      }
      if (static_cast<std::size_t>(col) <= cursor.size()) {
        const std::size_t c = static_cast<std::size_t>(col - 1);
        const std::vector<XfRun>& runs = loaded_->xfs[c];
        std::size_t i = 0;
        if (xfInOrder[c]) {
          while (xfFrom[c] < runs.size() && runs[xfFrom[c]].row2 < band) ++xfFrom[c];
          i = xfFrom[c];
        }
        for (; i < runs.size(); ++i) {
          const XfRun& x = runs[i];
          if (xfInOrder[c] && x.row1 > bandEnd) break;
          if (x.row2 < band || x.row1 > bandEnd) continue;
          for (long r = std::max<long>(band, x.row1); r <= std::min<long>(bandEnd, x.row2); ++r) {
            entries.push_back({static_cast<std::int32_t>(r), static_cast<std::int32_t>(col), -1});
          }
        }
      }
    }
    // Row by row (a stable counting sort keeps each row's cells in column order).
    count.assign(static_cast<std::size_t>(bandEnd - band + 2), 0);
    for (const Entry& e : entries) ++count[static_cast<std::size_t>(e.row - band + 1)];
    for (std::size_t i = 1; i < count.size(); ++i) count[i] += count[i - 1];
    sorted.resize(entries.size());
    {
      std::vector<std::uint32_t> at(count.begin(), count.end() - 1);
      for (const Entry& e : entries) sorted[at[static_cast<std::size_t>(e.row - band)]++] = e;
    }
    std::size_t next = 0;
    auto h = heights.lower_bound(band);
    auto hiddenAt = hidden.lower_bound(band);
    auto attrs = rowAttributes.lower_bound(static_cast<std::int32_t>(band));
    for (long r = band; r <= bandEnd; ++r) {
      const std::size_t end = count[static_cast<std::size_t>(r - band + 1)];
      if (h != heights.end() && h->first < r) ++h;
      if (hiddenAt != hidden.end() && *hiddenAt < r) ++hiddenAt;
      if (attrs != rowAttributes.end() && attrs->first < r) ++attrs;
      const bool hasHeight = h != heights.end() && h->first == r;
      const bool isHidden = hiddenAt != hidden.end() && *hiddenAt == r;
      const bool hasAttrs = attrs != rowAttributes.end() && attrs->first == r;
      if (next == end && !hasHeight && !isHidden && !hasAttrs) continue;
      part.FlushIfFull();
      anyRow = true;
      out += t_.row;
      AppendInt(out, r);
      out += '"';
      if (hasAttrs) out += attrs->second.other;
      if (hasAttrs && attrs->second.hidden == isHidden && attrs->second.height == (hasHeight ? h->second : 0)) {
        out += attrs->second.modelled;  // the height and hidden state as the file had them
      } else {
        if (hasHeight) {
          out += " ht=\"";
          AppendNumber(out, h->second);
          out += "\" customHeight=\"1\"";
        }
        if (isHidden) out += " hidden=\"1\"";
      }
      if (next == end) {
        out += "/>";
        continue;
      }
      out += '>';
      int rowStyled = -1;  // whether the row has a style record of its own; -1: not yet looked at
      while (next < end) {
        const Entry& e = sorted[next];
        int value = e.value;
        std::size_t last = next;
        while (last + 1 < end && sorted[last + 1].col == e.col) {
          if (sorted[last + 1].value >= 0) value = sorted[last + 1].value;
          ++last;
        }
        std::uint32_t xf = 0;
        bool inFile = false;  // the file has the cell (with the record xf)
        if (static_cast<std::size_t>(e.col) <= cursor.size()) {
          const auto& runs = loaded_->xfs[static_cast<std::size_t>(e.col - 1)];
          std::size_t& c = cursor[static_cast<std::size_t>(e.col - 1)];
          while (c < runs.size() && runs[c].row2 < r) ++c;
          if (c < runs.size() && runs[c].row1 <= r) {
            xf = runs[c].xf;
            inFile = true;
          }
        }
        // A cell the file does not have, in a column with a style record of its own and a
        // row without one, starts from the column's record (as the application does).
        if (!inFile && static_cast<std::size_t>(e.col) < columnXf.size() &&
            columnXf[static_cast<std::size_t>(e.col)] != 0) {
          if (rowStyled < 0) {
            rowStyled = 0;
            if (hasAttrs) {
              const std::string v = Attr("<row" + attrs->second.other + "/>", "customFormat");
              rowStyled = v == "1" || v == "true" ? 1 : 0;
            }
          }
          if (rowStyled == 0) xf = columnXf[static_cast<std::size_t>(e.col)];
        }
        const std::uint32_t style = StyleOf(FormatAt(r, e.col), xf);
        while (original != originals_.end() && std::pair(original->row, original->col) < std::pair(r, long{e.col})) {
          ++original;
        }
        if (original != originals_.end() && original->row == r && original->col == e.col) {
          // As the file has it (its value and formula are as loaded): its style record keeps
          // its number (records are only appended) or takes the one of the format the run
          // gave it, and its reference is written where it has none.
          std::string& text = original->text;
          const std::size_t tagEnd = TagEnd(text, 0, "sheetData");
          if (Attr(std::string_view(text).substr(0, tagEnd), "r").empty()) {
            text.replace(0, tagEnd, SetAttr(text.substr(0, tagEnd), "r", CellRef(r, e.col)));
          }
          if (style != xf) {
            const std::size_t startEnd = TagEnd(text, 0, "sheetData");
            text.replace(0, startEnd,
                         SetAttr(text.substr(0, startEnd), "s",
                                 style == 0 ? std::nullopt : std::optional<std::string>(std::to_string(style))));
          }
          out += text;
        } else {
          Cell(out, r, e.col, value >= 0 ? &values[static_cast<std::size_t>(value)] : nullptr, style);
        }
        next = last + 1;
      }
      out += t_.rowEnd;
    }
  }
  if (!anyRow) {
    out.resize(start);
    out.append("<").append(p_).append("sheetData/>");
    return;
  }
  out.append("</").append(p_).append("sheetData>");
}

// The columns: each col element of the file keeps the attributes the workbook does not
// model (outline levels, collapsed groups, bestFit, phonetic, prefixed ones) and, where
// the run left them, its width (as written), hidden state and style record; a range the
// run changed part of is split, and equal neighbours of one element are written as one.
std::string SheetWriter::Cols() {
  const long rows = rows_;
  std::map<long, double> widths, widthsWas;
  std::set<long> hidden, hiddenWas, cols;
  for (const ColumnWidth& w : layout_.columnWidths) {
    for (long c = w.columns.first; c <= w.columns.last; ++c) widths[c] = w.width;
  }
  for (const Band& b : layout_.hiddenColumns) {
    for (long c = b.first; c <= b.last; ++c) hidden.insert(c);
  }
  // The columns' formats as loaded.
  std::map<long, const CellFormat*> formatWas;
  static const std::vector<LoadedSheet::ColTag> kNoTags;
  const auto& tags = loaded_ ? loaded_->cols : kNoTags;
  if (loaded_) {
    for (const ColumnWidth& w : loaded_->layout.columnWidths) {
      for (long c = w.columns.first; c <= w.columns.last; ++c) widthsWas[c] = w.width;
    }
    for (const Band& b : loaded_->layout.hiddenColumns) {
      for (long c = b.first; c <= b.last; ++c) hiddenWas.insert(c);
    }
    for (const FormatArea& f : loaded_->layout.formats) {
      if (f.area.row1 != 1 || f.area.row2 != rows) continue;
      for (long c = f.area.col1; c <= f.area.col2; ++c) formatWas[c] = &f.format;
    }
  }
  for (const auto& [c, w] : widths) cols.insert(c);
  cols.insert(hidden.begin(), hidden.end());
  for (const auto& [c, f] : formats_.columns) cols.insert(c);
  // The element of the file each column lies in (the last, as a reader takes it).
  std::map<long, std::size_t> tagAt;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    for (long c = tags[i].min; c <= tags[i].max; ++c) {
      tagAt[c] = i;
      cols.insert(c);
    }
  }
  if (cols.empty()) return {};
  // What is written of a column: the file's element where the run left it as it was.
  struct Col {
    long tag = -1;
    bool keepWidth = false, keepHidden = false, keepStyle = false;
    double width = -1;  // the workbook's width, -1: none of its own
    bool hidden = false;
    std::uint32_t style = 0;
    bool operator==(const Col&) const = default;
  };
  const auto describe = [&](long c) {
    Col d;
    const auto w = widths.find(c), ww = widthsWas.find(c);
    d.width = w == widths.end() ? -1 : w->second;
    d.hidden = hidden.contains(c);
    const auto f = formats_.columns.find(c);
    const CellFormat* now = f == formats_.columns.end() ? nullptr : &layout_.formats[f->second].format;
    const auto t = tagAt.find(c);
    std::uint32_t xf = 0;
    if (t != tagAt.end()) {
      d.tag = static_cast<long>(t->second);
      xf = tags[t->second].xf;
      const auto fw = formatWas.find(c);
      const CellFormat* was = fw == formatWas.end() ? nullptr : fw->second;
      d.keepWidth = d.width == (ww == widthsWas.end() ? -1 : ww->second);
      d.keepHidden = d.hidden == hiddenWas.contains(c);
      d.keepStyle = now == was || (now && was && *now == *was);
      // A column shown again keeps no width of nothing.
      if (d.keepWidth && !d.keepHidden && !d.hidden) {
        const std::string text = Attr("<col" + tags[t->second].attributes + "/>", "width");
        if (!text.empty() && std::atof(text.c_str()) == 0) d.keepWidth = false;
      }
    }
    if (d.keepWidth) d.width = -1;
    if (d.keepHidden) d.hidden = false;
    if (!d.keepStyle) d.style = now ? StyleOf(f->second, xf) : 0;
    return d;
  };
  const auto fileWidth = [](double chars) {
    // The file's width holds the cell padding, 5 pixels of a 7-pixel character.
    return chars < 1 ? chars * 12 / 7 : chars + 5.0 / 7.0;
  };
  std::string out = "<" + p_ + "cols>";
  for (auto it = cols.begin(); it != cols.end();) {
    const long first = *it;
    const Col d = describe(first);
    long last = first;
    for (++it; it != cols.end() && *it == last + 1 && describe(*it) == d; ++it) last = *it;
    std::string tag = "<" + p_ + "col min=\"" + std::to_string(first) + "\" max=\"" + std::to_string(last) + "\"";
    if (d.tag >= 0) {
      tag += tags[static_cast<std::size_t>(d.tag)].attributes;
      tag += "/>";
      if (!d.keepWidth) {
        tag = SetAttr(std::move(tag), "width", Num(fileWidth(d.width < 0 ? xl::kDefaultColumnWidth : d.width)));
        tag = SetAttr(std::move(tag), "customWidth", d.width < 0 ? std::nullopt : std::optional<std::string>("1"));
      }
      if (!d.keepHidden) {
        tag = SetAttr(std::move(tag), "hidden", d.hidden ? std::optional<std::string>("1") : std::nullopt);
      }
      if (!d.keepStyle) {
        tag = SetAttr(std::move(tag), "style", d.style ? std::optional(std::to_string(d.style)) : std::nullopt);
      }
      out += tag;
      continue;
    }
    tag += " width=\"" + Num(fileWidth(d.width < 0 ? xl::kDefaultColumnWidth : d.width)) + "\"";
    if (d.style != 0) tag += " style=\"" + std::to_string(d.style) + "\"";
    if (d.width >= 0) tag += " customWidth=\"1\"";
    if (d.hidden) tag += " hidden=\"1\"";
    out += tag + "/>";
  }
  return out + "</" + p_ + "cols>";
}

// The selection of a sheet view: the active cell and the areas.
std::string SelectionTag(const std::string& p, const SheetLayout& layout, const std::string& pane) {
  std::string sqref;
  for (const xl::Area& a : layout.selection) {
    if (!sqref.empty()) sqref += ' ';
    sqref += AreaRef(a);
  }
  std::string tag = "<";
  tag += p;
  tag += "selection";
  if (!pane.empty()) tag.append(" pane=\"").append(pane).append("\"");
  tag.append(" activeCell=\"").append(CellRef(layout.activeCell.row, layout.activeCell.col));
  return tag.append("\" sqref=\"").append(sqref).append("\"/>");
}

// The first sheet view with its selection (that of its active pane) and its tab's
// selected state set.
void PutView(std::string& xml, std::string_view part, const std::string& p, const SheetLayout* selection,
             std::optional<bool> tabSelected) {
  const Root root = RootOf(xml, part);
  for (const Element& views : Children(xml, root.element.contentBegin, root.element.contentEnd, part)) {
    if (views.name != "sheetViews") continue;
    const std::vector<Element> list = Children(xml, views.contentBegin, views.contentEnd, part);
    if (list.empty()) return;
    const Element view = list.front();
    std::string text = xml.substr(view.begin, view.end - view.begin);
    if (selection && !selection->selection.empty()) {
      std::string pane;
      std::size_t at = std::string::npos, end = 0;
      const std::size_t content = TagEnd(text, 0, part);
      const std::size_t contentEnd = text.ends_with("/>") ? content : text.rfind("</");
      for (const Element& k : Children(text, content, contentEnd, part)) {
        const std::string_view tag = std::string_view(text).substr(k.begin, k.end - k.begin);
        if (k.name == "pane") pane = Attr(tag, "activePane").empty() ? "bottomRight" : Attr(tag, "activePane");
        if (k.name == "selection" && (at == std::string::npos || Attr(tag, "pane") == pane)) {
          at = k.begin;
          end = k.end;
        }
      }
      if (!pane.empty() && at != std::string::npos) {
        const std::string_view tag = std::string_view(text).substr(at, end - at);
        if (Attr(tag, "pane") != pane) at = std::string::npos;
      }
      const std::string made = SelectionTag(p, *selection, pane);
      if (at != std::string::npos) {
        text.replace(at, end - at, made);
      } else if (text.ends_with("/>")) {
        text = text.substr(0, text.size() - 2) + ">" + made + "</" + p + "sheetView>";
      } else {
        text.insert(text.rfind("</"), made);
      }
    }
    if (tabSelected) {
      const std::size_t tagEnd = TagEnd(text, 0, part);
      text.replace(0, tagEnd,
                   SetAttr(text.substr(0, tagEnd), "tabSelected",
                           *tabSelected ? std::optional<std::string>("1") : std::nullopt));
    }
    xml.replace(view.begin, view.end - view.begin, text);
    return;
  }
  if ((selection && !selection->selection.empty()) || tabSelected.value_or(false)) {
    PutChild(xml, part, kSheetOrder, "sheetViews",
             "<" + p + "sheetViews><" + p + "sheetView workbookViewId=\"0\"/></" + p + "sheetViews>");
    PutView(xml, part, p, selection, tabSelected);
  }
}

// ----- hyperlinks -----

constexpr std::string_view kHyperlinkRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";

// The prefix the root element binds to the relationships' namespace ("r:"); one is
// bound on the root when it binds none.
std::string RelPrefix(std::string& xml, std::string_view part) {
  const Root root = RootOf(xml, part);
  const std::size_t tagEnd = TagEnd(xml, root.element.begin, part);
  const std::string tag = xml.substr(root.element.begin, tagEnd - root.element.begin);
  const std::string bound = "\"" + std::string(kRelNs) + "\"";
  for (std::size_t at = tag.find("xmlns:"); at != std::string::npos; at = tag.find("xmlns:", at + 1)) {
    const std::size_t eq = tag.find('=', at);
    if (eq != std::string::npos && tag.compare(eq + 1, bound.size(), bound) == 0) {
      return tag.substr(at + 6, eq - at - 6) + ":";
    }
  }
  std::string prefix = "r";
  while (FindAttr(tag, "xmlns:" + prefix).nameBegin != std::string::npos) prefix += "q";
  xml.replace(root.element.begin, tagEnd - root.element.begin, SetAttr(tag, "xmlns:" + prefix, std::string(kRelNs)));
  return prefix + ":";
}

// The start tag of an element's text, made empty ("<x a='1'/>").
std::string EmptyTag(std::string_view element, std::string_view part) {
  std::string tag(element.substr(0, TagEnd(element, 0, part)));
  if (!tag.ends_with("/>")) tag.insert(tag.size() - 1, "/");
  return tag;
}

// A relationship id that `rels` does not use yet.
std::string FreeRelId(const std::string& rels, long& next) {
  while (rels.find("Id=\"rIdQ" + std::to_string(next) + "\"") != std::string::npos) ++next;
  return "rIdQ" + std::to_string(next++);
}

// `area` without `holes` (cells inside it, sorted by row, then column), as rectangles:
// whole bands of rows between the holes' rows, and the runs of a hole's row between them.
std::vector<xl::Area> AreaWithout(const xl::Area& area, const std::vector<xl::CellPos>& holes) {
  std::vector<xl::Area> out;
  long row = area.row1;
  for (std::size_t i = 0; i < holes.size();) {
    const long r = holes[i].row;
    if (r > row) out.push_back({row, area.col1, r - 1, area.col2});
    long col = area.col1;
    for (; i < holes.size() && holes[i].row == r; ++i) {
      if (holes[i].col > col) out.push_back({r, col, r, holes[i].col - 1});
      col = std::max(col, holes[i].col + 1);
    }
    if (col <= area.col2) out.push_back({r, col, r, area.col2});
    row = r + 1;
  }
  if (row <= area.row2) out.push_back({row, area.col1, area.row2, area.col2});
  return out;
}

// Writes the sheet's hyperlinks element for `links` (its loaded ones `was`) into the
// sheet part `xml`, and their relationships into `rels` (the sheet's relationships
// part; "" when it has none). The element the part holds for links that did not change
// stays as written (its relationship, tooltip and every other attribute). An element
// held over an area whose cells changed in part keeps the rest of its area, as
// rectangles that each repeat it; a changed link keeps its element's attributes beside
// those set. A link out of the workbook has a relationship of its own; those of links
// that went (or changed address) go.
void PutHyperlinks(std::string& xml, const std::string& part, const std::string& sp,
                   const std::vector<CellHyperlink>& links, const std::vector<CellHyperlink>& was, std::string& rels) {
  constexpr std::size_t npos = kNoArea;
  const std::string relsPart = RelsPartOf(part);
  // The part's hyperlink elements and the areas they are held over, as written.
  std::vector<std::string> held;
  std::vector<xl::Area> heldAreas;
  std::set<std::string> heldIds;
  {
    const Root root = RootOf(xml, part);
    for (const Element& e : Children(xml, root.element.contentBegin, root.element.contentEnd, part)) {
      if (e.name != "hyperlinks") continue;
      for (const Element& h : Children(xml, e.contentBegin, e.contentEnd, part)) {
        if (h.name != "hyperlink") continue;
        std::string text = xml.substr(h.begin, h.end - h.begin);
        const std::string_view tag = std::string_view(text).substr(0, TagEnd(text, 0, part));
        if (const std::string id = Attr(tag, "id"); !id.empty()) heldIds.insert(id);
        if (const auto area = ParseAreaRef(Attr(tag, "ref"))) {
          heldAreas.push_back(*area);
          held.push_back(std::move(text));
        }
      }
    }
  }
  std::map<std::pair<long, long>, const xl::Hyperlink*> loaded;
  for (const CellHyperlink& w : was) loaded.emplace(std::pair(w.cell.row, w.cell.col), &w.link);
  const auto unchanged = [&](const CellHyperlink& l) {
    const auto it = loaded.find(std::pair(l.cell.row, l.cell.col));
    if (it == loaded.end()) return false;
    const xl::Hyperlink& before = *it->second;
    return before.Address == l.link.Address && before.SubAddress == l.link.SubAddress &&
           before.TextToDisplay == l.link.TextToDisplay;
  };
  // Each element's cells whose link went or changed (or came), and whether it is written.
  const auto positions = [](const std::vector<CellHyperlink>& cells) {
    std::vector<xl::CellPos> out;
    out.reserve(cells.size());
    for (const CellHyperlink& c : cells) out.push_back(c.cell);
    return out;
  };
  const std::vector<std::size_t> ownerOf = AreasHolding(heldAreas, positions(links));
  const std::vector<std::size_t> wasOwner = AreasHolding(heldAreas, positions(was));
  std::vector<std::vector<xl::CellPos>> changed(held.size());
  std::set<std::pair<long, long>> kept;
  for (std::size_t i = 0; i < links.size(); ++i) {
    if (ownerOf[i] == npos) continue;
    if (unchanged(links[i])) {
      kept.emplace(links[i].cell.row, links[i].cell.col);
    } else {
      changed[ownerOf[i]].push_back(links[i].cell);
    }
  }
  for (std::size_t i = 0; i < was.size(); ++i) {
    if (wasOwner[i] != npos && !kept.contains(std::pair(was[i].cell.row, was[i].cell.col))) {
      changed[wasOwner[i]].push_back(was[i].cell);
    }
  }
  // The relationships' ids, and those of the links' new relationships, added at the end.
  std::set<std::string> relIds;
  if (!rels.empty()) {
    const Root root = RootOf(rels, relsPart);
    for (const Element& k : Children(rels, root.element.contentBegin, root.element.contentEnd, relsPart)) {
      relIds.insert(Attr(std::string_view(rels).substr(k.begin, k.end - k.begin), "Id"));
    }
  }
  std::string addedRels;
  long nextRel = 1;
  std::string r;  // the prefix of the relationships' namespace, once needed
  std::set<std::string> usedIds;
  std::string out;
  std::vector<bool> written(held.size(), false);
  // An element's links that stay: the element as it stands, or the rest of its area.
  const auto putHeld = [&](std::size_t e) {
    if (written[e]) return;
    written[e] = true;
    const std::string tag = held[e].substr(0, TagEnd(held[e], 0, part));
    if (changed[e].empty()) {
      out += held[e];
    } else {
      std::ranges::sort(changed[e], {}, [](const xl::CellPos& p) { return std::pair(p.row, p.col); });
      const std::vector<xl::Area> rest = AreaWithout(heldAreas[e], changed[e]);
      for (const xl::Area& a : rest) out += SetAttr(EmptyTag(held[e], part), "ref", AreaRef(a));
      if (rest.empty()) return;
    }
    if (const std::string id = Attr(tag, "id"); !id.empty()) usedIds.insert(id);
  };
  for (std::size_t i = 0; i < links.size(); ++i) {
    const CellHyperlink& l = links[i];
    // The file format holds links of at most 2,079 characters (an address with its place).
    constexpr std::size_t kLimit = 2079;
    const std::size_t length = l.link.Address.size() + l.link.SubAddress.size() +
                               (l.link.Address.empty() || l.link.SubAddress.empty() ? 0 : 1);
    if (length > kLimit) {
      throw Failure("the hyperlink of cell " + CellRef(l.cell.row, l.cell.col) + " is longer than the " +
                    std::to_string(kLimit) + " characters a link of an xlsx file holds");
    }
    const std::size_t owner = ownerOf[i];
    if (owner != npos) putHeld(owner);
    if (owner != npos && unchanged(l)) continue;
    const auto was1 = loaded.find(std::pair(l.cell.row, l.cell.col));
    const xl::Hyperlink* before = was1 == loaded.end() ? nullptr : was1->second;
    std::string tag = "<" + sp + "hyperlink ref=\"" + CellRef(l.cell.row, l.cell.col) + "\"/>";
    if (owner != npos) tag = SetAttr(EmptyTag(held[owner], part), "ref", CellRef(l.cell.row, l.cell.col));
    std::optional<std::string> id;
    if (!l.link.Address.empty()) {
      const std::string oldId = Attr(tag, "id");
      if (!oldId.empty() && before != nullptr && before->Address == l.link.Address) {
        id = oldId;
      } else {
        while (relIds.contains("rIdQ" + std::to_string(nextRel))) ++nextRel;
        id = "rIdQ" + std::to_string(nextRel++);
        relIds.insert(*id);
        addedRels.append("<Relationship Id=\"").append(*id).append("\" Type=\"").append(kHyperlinkRel);
        addedRels.append("\" Target=\"").append(EscapedAttribute(ToUtf8(l.link.Address)));
        addedRels.append("\" TargetMode=\"External\"/>");
      }
      usedIds.insert(*id);
    }
    if (FindAttr(tag, "id").nameBegin != std::string::npos) {
      tag = SetAttr(std::move(tag), "id", id);
    } else if (id) {
      if (r.empty()) r = RelPrefix(xml, part);
      tag = SetAttr(std::move(tag), r + "id", id);
    }
    const auto text = [](const Text& t) {
      return t.empty() ? std::nullopt : std::optional<std::string>(EscapedAttribute(ToUtf8(t)));
    };
    tag = SetAttr(std::move(tag), "location", text(l.link.SubAddress));
    tag = SetAttr(std::move(tag), "display", text(l.link.TextToDisplay));
    out += tag;
  }
  // Elements none of whose cells holds a link any more keep what lies outside the cells
  // the sheet holds.
  for (std::size_t e = 0; e < held.size(); ++e) putHeld(e);
  // The relationships of the links that went, unless another element still uses them.
  std::set<std::string> gone;
  for (const std::string& id : heldIds) {
    if (!usedIds.contains(id)) gone.insert(id);
  }
  if (!gone.empty() && !rels.empty()) {
    const Root root = RootOf(rels, relsPart);
    std::set<std::string> ofLinks;
    for (const Element& k : Children(rels, root.element.contentBegin, root.element.contentEnd, relsPart)) {
      const std::string_view tag = std::string_view(rels).substr(k.begin, k.end - k.begin);
      if (gone.contains(Attr(tag, "Id")) && Attr(tag, "Type") == kHyperlinkRel) ofLinks.insert(Attr(tag, "Id"));
    }
    rels = WithoutRels(std::move(rels), ofLinks, relsPart);
  }
  if (!addedRels.empty()) {
    if (rels.empty()) {
      rels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"" +
             std::string(kRelsNs) + "\"></Relationships>";
    }
    rels = WithChildAtEnd(std::move(rels), addedRels, relsPart);
  }
  PutChild(xml, part, kSheetOrder, "hyperlinks",
           out.empty() ? std::string() : "<" + sp + "hyperlinks>" + out + "</" + sp + "hyperlinks>");
}

// ----- the page set-up -----

// Margins in inches, as the file holds them, from points: to a millionth of an inch,
// so that 50.4 points are written 0.7.
std::optional<std::string> Inches(double points) { return Num(std::round(points / 72 * 1e6) / 1e6); }

// A fit to pages: "0" for none (False), the count otherwise; nothing for 1, the default.
std::optional<std::string> Pages(const Variant& v) {
  if (v.IsBoolean()) return std::optional<std::string>("0");
  if (v.IsNumber() && v.AsNumber() != 1) return Num(v.AsNumber());
  return std::nullopt;
}

// The child `name` of the root as written ("" without one).
std::string ChildText(const std::string& xml, std::string_view part, std::string_view name) {
  const Root root = RootOf(xml, part);
  for (const Element& e : Children(xml, root.element.contentBegin, root.element.contentEnd, part)) {
    if (e.name == name) return xml.substr(e.begin, e.end - e.begin);
  }
  return {};
}

// "&L...&C...&R..." of the three parts of a header or footer; their texts hold their own
// codes ("&P", "&&") as the file had them.
std::string HeaderFooterText(const Text& left, const Text& center, const Text& right) {
  std::string out;
  if (!left.empty()) out += "&L" + ToUtf8(left);
  if (!center.empty()) out += "&C" + ToUtf8(center);
  if (!right.empty()) out += "&R" + ToUtf8(right);
  return out;
}

// Writes what changed of the page set-up into the sheet part: the margins, the page
// set-up's scale and fit to pages (and sheetPr's fitToPage), the centring and the first
// header and footer. Each element keeps the attributes and children it has beside those
// (the paper, the orientation, the printer settings' relationship, gridlines, the even
// and first page's headers).
void PutPageSetup(std::string& xml, const std::string& part, const std::string& sp, const xl::PageSetup& page,
                  const xl::PageSetup& was) {
  if (page.LeftMargin != was.LeftMargin || page.RightMargin != was.RightMargin || page.TopMargin != was.TopMargin ||
      page.BottomMargin != was.BottomMargin || page.HeaderMargin != was.HeaderMargin ||
      page.FooterMargin != was.FooterMargin) {
    std::string tag = ChildText(xml, part, "pageMargins");
    tag = tag.empty() ? "<" + sp + "pageMargins/>" : EmptyTag(tag, part);
    tag = SetAttr(std::move(tag), "left", Inches(page.LeftMargin));
    tag = SetAttr(std::move(tag), "right", Inches(page.RightMargin));
    tag = SetAttr(std::move(tag), "top", Inches(page.TopMargin));
    tag = SetAttr(std::move(tag), "bottom", Inches(page.BottomMargin));
    tag = SetAttr(std::move(tag), "header", Inches(page.HeaderMargin));
    tag = SetAttr(std::move(tag), "footer", Inches(page.FooterMargin));
    PutChild(xml, part, kSheetOrder, "pageMargins", tag);
  }
  const bool fit = page.Zoom.IsBoolean(), wasFit = was.Zoom.IsBoolean();
  if (!(page.Zoom == was.Zoom) || !(page.FitToPagesWide == was.FitToPagesWide) ||
      !(page.FitToPagesTall == was.FitToPagesTall)) {
    const std::string had = ChildText(xml, part, "pageSetup");
    std::string tag = had.empty() ? "<" + sp + "pageSetup/>" : had;
    const std::size_t tagEnd = TagEnd(tag, 0, part);
    std::string start = tag.substr(0, tagEnd);
    start = SetAttr(std::move(start), "scale",
                    !fit && page.Zoom.IsNumber() && page.Zoom.AsNumber() != 100
                        ? std::optional<std::string>(Num(page.Zoom.AsNumber()))
                        : std::nullopt);
    start = SetAttr(std::move(start), "fitToWidth", Pages(page.FitToPagesWide));
    start = SetAttr(std::move(start), "fitToHeight", Pages(page.FitToPagesTall));
    PutChild(xml, part, kSheetOrder, "pageSetup", start + tag.substr(tagEnd));
  }
  if (fit != wasFit) {
    // The fit to pages is sheetPr's pageSetUpPr, its last child.
    const std::string had = ChildText(xml, part, "sheetPr");
    const std::optional<std::string> flag = fit ? std::optional<std::string>("1") : std::nullopt;
    std::string pr = had.empty() ? "<" + sp + "sheetPr/>" : had;
    const std::size_t prEnd = TagEnd(pr, 0, part);
    const bool empty = pr.ends_with("/>") && prEnd == pr.size();
    std::size_t at = std::string::npos, end = 0;
    if (!empty) {
      for (const Element& k : Children(pr, prEnd, pr.rfind("</"), part)) {
        if (k.name == "pageSetUpPr") {
          at = k.begin;
          end = k.end;
        }
      }
    }
    if (at != std::string::npos) {
      pr.replace(at, end - at, SetAttr(EmptyTag(std::string_view(pr).substr(at, end - at), part), "fitToPage", flag));
    } else if (fit) {
      const std::string made = "<" + sp + "pageSetUpPr fitToPage=\"1\"/>";
      if (empty) {
        pr = pr.substr(0, pr.size() - 2) + ">" + made + "</" + sp + "sheetPr>";
      } else {
        pr.insert(pr.rfind("</"), made);
      }
    }
    if (!had.empty() || fit) PutChild(xml, part, kSheetOrder, "sheetPr", pr);
  }
  if (page.CenterHorizontally != was.CenterHorizontally || page.CenterVertically != was.CenterVertically) {
    const std::string had = ChildText(xml, part, "printOptions");
    std::string tag = had.empty() ? "<" + sp + "printOptions/>" : EmptyTag(had, part);
    const auto flag = [](bool on) { return on ? std::optional<std::string>("1") : std::nullopt; };
    tag = SetAttr(std::move(tag), "horizontalCentered", flag(page.CenterHorizontally));
    tag = SetAttr(std::move(tag), "verticalCentered", flag(page.CenterVertically));
    // An element left without attributes says nothing.
    PutChild(xml, part, kSheetOrder, "printOptions", tag.find('=') == std::string::npos ? std::string() : tag);
  }
  const bool header =
      page.LeftHeader != was.LeftHeader || page.CenterHeader != was.CenterHeader || page.RightHeader != was.RightHeader;
  const bool footer =
      page.LeftFooter != was.LeftFooter || page.CenterFooter != was.CenterFooter || page.RightFooter != was.RightFooter;
  if (header || footer) {
    std::string hf = ChildText(xml, part, "headerFooter");
    if (hf.empty() || hf.ends_with("/>")) {
      hf = (hf.empty() ? "<" + sp + "headerFooter>" : hf.substr(0, hf.size() - 2) + ">") + "</" + sp + "headerFooter>";
    }
    const std::size_t start = TagEnd(hf, 0, part);
    // Its children but the first page's header and footer, which go first, in that order.
    std::string kept, oddHeader, oddFooter;
    for (const Element& k : Children(hf, start, hf.rfind("</"), part)) {
      const std::string text = hf.substr(k.begin, k.end - k.begin);
      if (k.name == "oddHeader") {
        oddHeader = text;
      } else if (k.name == "oddFooter") {
        oddFooter = text;
      } else {
        kept += text;
      }
    }
    const auto element = [&](const char* name, const std::string& text) {
      if (text.empty()) return std::string();
      std::string out = "<" + sp + name + ">";
      AppendEscaped(out, text);
      return out + "</" + sp + name + ">";
    };
    if (header)
      oddHeader = element("oddHeader", HeaderFooterText(page.LeftHeader, page.CenterHeader, page.RightHeader));
    if (footer)
      oddFooter = element("oddFooter", HeaderFooterText(page.LeftFooter, page.CenterFooter, page.RightFooter));
    const std::string body = oddHeader + oddFooter + kept;
    const std::string open = hf.substr(0, start);
    PutChild(
        xml, part, kSheetOrder, "headerFooter",
        body.empty() && open.find('=') == std::string::npos ? std::string() : open + body + hf.substr(hf.rfind("</")));
  }
}

// ----- comments -----

constexpr std::string_view kCommentsRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
constexpr std::string_view kVmlRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing";
constexpr std::string_view kCommentsType = "application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml";
constexpr std::string_view kVmlType = "application/vnd.openxmlformats-officedocument.vmlDrawing";
constexpr std::array<std::string_view, 3> kCommentsOrder{"authors", "commentList", "extLst"};

std::string_view ContentOf(std::string_view xml, const Element& e) {
  return xml.substr(e.contentBegin, e.contentEnd - e.contentBegin);
}

// The children of the element whose whole text is `element`.
std::vector<Element> ChildrenOf(std::string_view element, std::string_view part) {
  const std::size_t start = TagEnd(element, 0, part);
  if (start == element.size()) return {};  // an empty element
  return Children(element, start, element.rfind("</"), part);
}

// The cell (row, column; 1-based) of a drawing's note shape; nothing for a shape of
// another kind (a form control, say).
std::optional<std::pair<long, long>> NoteCell(std::string_view shape, std::string_view part) {
  for (const Element& k : ChildrenOf(shape, part)) {
    if (k.name != "ClientData") continue;
    if (Attr(shape.substr(k.begin, TagEnd(shape, k.begin, part) - k.begin), "ObjectType") != "Note") break;
    long row = -1, col = -1;
    for (const Element& f : Children(shape, k.contentBegin, k.contentEnd, part)) {
      const std::string text(ContentOf(shape, f));
      if (f.name == "Row") row = text.empty() ? -1 : std::atol(text.c_str());
      if (f.name == "Column") col = text.empty() ? -1 : std::atol(text.c_str());
    }
    if (row >= 0 && col >= 0) return std::pair(row + 1, col + 1);
    break;
  }
  return std::nullopt;
}

// The text of a child of a shape's ClientData ("Anchor"); "" without one.
std::string ClientField(std::string_view shape, std::string_view name, std::string_view part) {
  for (const Element& k : ChildrenOf(shape, part)) {
    if (k.name != "ClientData") continue;
    for (const Element& f : Children(shape, k.contentBegin, k.contentEnd, part)) {
      if (f.name == name) return std::string(ContentOf(shape, f));
    }
  }
  return {};
}

std::string HexColor(std::uint32_t rgb) {
  std::array<char, 8> buf{};
  std::snprintf(buf.data(), buf.size(), "#%06x", rgb & 0xFFFFFF);
  return buf.data();
}

// A note shape for the comment of a cell, placed by `anchor` (the cell's default place
// when "").
std::string NoteShape(const std::string& id, long row, long col, const xl::CommentData& c, std::string anchor) {
  if (anchor.empty()) {
    // Beside the cell, two columns wide and four rows high, as the application puts a new one.
    const long top = std::max(row - 2, 0L);
    anchor = std::to_string(col) + ", 15, " + std::to_string(top) + ", " + (row == 1 ? "2" : "10") + ", " +
             std::to_string(col + 2) + ", 15, " + std::to_string(top + 4) + ", " + (row == 1 ? "16" : "4");
  }
  const std::string fill = HexColor(OleToRgb(c.fillColor));
  std::string s = "<v:shape id=\"" + id + "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:";
  s += Num(c.left);
  s += "pt;margin-top:";
  s += Num(c.top);
  s += "pt;width:";
  s += Num(c.width);
  s += "pt;height:";
  s += Num(c.height);
  s += "pt;z-index:1;visibility:";
  s += c.visible ? "visible" : "hidden";
  s += "\" fillcolor=\"" + fill + "\" o:insetmode=\"auto\"><v:fill color2=\"" + fill +
       "\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/><v:path o:connecttype=\"none\"/><v:textbox "
       "style=\"mso-direction-alt:auto";
  s += c.autoSize ? ";mso-fit-shape-to-text:t" : "";
  s += "\"><div style=\"text-align:left\"></div></v:textbox><x:ClientData ObjectType=\"Note\"><x:MoveWithCells/>"
       "<x:SizeWithCells/><x:Anchor>";
  AppendEscaped(s, anchor);
  s += "</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>" + std::to_string(row - 1) + "</x:Row><x:Column>" +
       std::to_string(col - 1) + "</x:Column>";
  s += c.visible ? "<x:Visible/>" : "";
  return s + "</x:ClientData></v:shape>";
}

constexpr std::string_view kNoteType =
    "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" path=\"m,l,21600r21600,l21600,xe\">"
    "<v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" o:connecttype=\"rect\"/></v:shapetype>";

// A new drawing part for the notes of a sheet; `block` numbers its shapes' ids.
std::string NewVml(long block) {
  return "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
         "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" "
         "data=\"" +
         std::to_string(block) + "\"/></o:shapelayout>" + std::string(kNoteType) + "</xml>";
}

// The comments part and the drawing part of a sheet's notes for `comments` (as loaded:
// `was`). A comment the run left as it was keeps its element (its author, its rich text)
// and its shape as written; a changed one gets new ones, its shape keeping its place;
// shapes of other kinds (form controls) stay. `commentsXml` or `vml` is "" for a part
// that is not there, and comes back "" when the sheet no longer needs it.
void PutComments(std::string& commentsXml, const std::string& commentsPart, std::string& vml,
                 const std::string& vmlPart, const std::vector<CellComment>& comments,
                 const std::vector<CellComment>& was, long block) {
  std::map<std::pair<long, long>, const xl::CommentData*> loaded;
  for (const CellComment& w : was) loaded.emplace(std::pair(w.cell.row, w.cell.col), &w.comment);
  const auto wasAt = [&](const xl::CellPos& cell) -> const xl::CommentData* {
    const auto it = loaded.find(std::pair(cell.row, cell.col));
    return it == loaded.end() ? nullptr : it->second;
  };
  // The comments part: the list in the workbook's order.
  if (comments.empty()) {
    commentsXml.clear();
  } else {
    if (commentsXml.empty()) {
      commentsXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<comments xmlns=\"" +
                    std::string(kMainNs) + "\"><authors><author></author></authors><commentList/></comments>";
    }
    const Root root = RootOf(commentsXml, commentsPart);
    const std::string& p = root.prefix;
    std::map<std::pair<long, long>, std::string> held;
    bool authors = false;
    for (const Element& e : Children(commentsXml, root.element.contentBegin, root.element.contentEnd, commentsPart)) {
      if (e.name == "authors")
        authors = !ChildrenOf(commentsXml.substr(e.begin, e.end - e.begin), commentsPart).empty();
      if (e.name != "commentList") continue;
      for (const Element& c : Children(commentsXml, e.contentBegin, e.contentEnd, commentsPart)) {
        const std::string text = commentsXml.substr(c.begin, c.end - c.begin);
        if (const auto cell = ParseCellRef(Attr(text.substr(0, TagEnd(text, 0, commentsPart)), "ref"))) {
          held.emplace(std::pair(cell->row, cell->col), text);
        }
      }
    }
    std::string list = "<" + p + "commentList>";
    for (const CellComment& c : comments) {
      const auto it = held.find(std::pair(c.cell.row, c.cell.col));
      const xl::CommentData* before = wasAt(c.cell);
      if (it != held.end() && before != nullptr && before->text == c.comment.text) {
        list += it->second;
        continue;
      }
      std::string author = "0";
      if (it != held.end()) {
        if (const std::string a = Attr(it->second.substr(0, TagEnd(it->second, 0, commentsPart)), "authorId");
            !a.empty())
          author = a;
      }
      list += "<" + p + "comment ref=\"" + CellRef(c.cell.row, c.cell.col) + "\" authorId=\"" + author + "\"><" + p +
              "text><" + p + "t xml:space=\"preserve\">";
      AppendEscaped(list, ToUtf8(c.comment.text));
      list += "</" + p + "t></" + p + "text></" + p + "comment>";
    }
    list += "</" + p + "commentList>";
    if (!authors) {
      PutChild(commentsXml, commentsPart, kCommentsOrder, "authors",
               "<" + p + "authors><" + p + "author></" + p + "author></" + p + "authors>");
    }
    PutChild(commentsXml, commentsPart, kCommentsOrder, "commentList", list);
  }

  // The drawing: its note shapes, in the workbook's order after every other child.
  if (vml.empty() && comments.empty()) return;
  if (vml.empty()) vml = NewVml(block);
  const Root root = RootOf(vml, vmlPart);
  std::map<std::pair<long, long>, std::string> shapes;
  std::string kept;  // what is not a note shape, in its order
  // New shapes take unused ids in the blocks of 1024 the drawing's idmap declares
  // (block N holds N*1024 .. N*1024+1023), past them only when those are full.
  std::vector<long> blocks;
  if (const std::size_t idmap = vml.find("idmap"); idmap != std::string::npos) {
    const std::size_t lt = vml.rfind('<', idmap);
    const std::string data = Attr(std::string_view(vml).substr(lt, TagEnd(vml, lt, vmlPart) - lt), "data");
    for (std::size_t at = 0; at < data.size();) {
      const std::size_t comma = std::min(data.find(',', at), data.size());
      if (const long b = std::atol(data.substr(at, comma - at).c_str()); b > 0) blocks.push_back(b);
      at = comma + 1;
    }
  }
  std::set<long> used;
  for (const Element& e : Children(vml, root.element.contentBegin, root.element.contentEnd, vmlPart)) {
    const std::string text = vml.substr(e.begin, e.end - e.begin);
    const std::string head = text.substr(0, TagEnd(text, 0, vmlPart));
    const std::string id = Attr(head, "id");
    for (const std::string& name : {id, Attr(head, "o:spid")}) {
      if (name.starts_with("_x0000_s")) used.insert(std::atol(name.c_str() + 8));
    }
    const auto cell = e.name == "shape" ? NoteCell(text, vmlPart) : std::nullopt;
    if (cell) {
      shapes.emplace(*cell, text);
    } else {
      kept += text;
    }
  }
  std::size_t blockAt = 0;
  long nextId = blocks.empty() ? block * 1024 + 1 : blocks.front() * 1024 + 1;
  const auto NextShapeId = [&] {
    for (;;) {
      while (blockAt < blocks.size() && nextId >= (blocks[blockAt] + 1) * 1024) {
        if (++blockAt < blocks.size()) nextId = blocks[blockAt] * 1024 + 1;
      }
      if (blockAt >= blocks.size()) {
        // The declared blocks are full: past every id the drawing holds.
        nextId = std::max({nextId, block * 1024 + 1, used.empty() ? 0 : *used.rbegin() + 1});
      }
      if (used.insert(nextId).second) return nextId++;
      ++nextId;
    }
  };
  std::string notes;
  for (const CellComment& c : comments) {
    const auto it = shapes.find(std::pair(c.cell.row, c.cell.col));
    const xl::CommentData* before = wasAt(c.cell);
    if (it != shapes.end() && before != nullptr && before->visible == c.comment.visible &&
        before->autoSize == c.comment.autoSize && before->fillColor == c.comment.fillColor &&
        before->top == c.comment.top && before->left == c.comment.left && before->width == c.comment.width &&
        before->height == c.comment.height) {
      notes += it->second;
      continue;
    }
    std::string id, anchor;
    if (it != shapes.end()) {
      id = Attr(it->second.substr(0, TagEnd(it->second, 0, vmlPart)), "id");
      anchor = ClientField(it->second, "Anchor", vmlPart);
    }
    if (id.empty()) id = "_x0000_s" + std::to_string(NextShapeId());
    notes += NoteShape(id, c.cell.row, c.cell.col, c.comment, anchor);
  }
  if (notes.empty()) {
    // Nothing but the shape types and the layout left: the drawing goes.
    bool others = false;
    for (const Element& e : Children(kept, 0, kept.size(), vmlPart)) others = others || e.name == "shape";
    if (!others) {
      vml.clear();
      return;
    }
  }
  if (!notes.empty() && kept.find("_x0000_t202") == std::string::npos) notes.insert(0, kNoteType);
  std::string tag = vml.substr(root.element.begin, TagEnd(vml, root.element.begin, vmlPart) - root.element.begin);
  for (const auto& [prefix, ns] : {std::pair("xmlns:v", "urn:schemas-microsoft-com:vml"),
                                   std::pair("xmlns:o", "urn:schemas-microsoft-com:office:office"),
                                   std::pair("xmlns:x", "urn:schemas-microsoft-com:office:excel")}) {
    if (FindAttr(tag, prefix).nameBegin == std::string::npos) tag = SetAttr(std::move(tag), prefix, ns);
  }
  if (tag.ends_with("/>")) tag.erase(tag.size() - 2, 1);
  const std::string qname = tag.substr(1, tag.find_first_of(" \t\r\n>") - 1);
  vml = vml.substr(0, root.element.begin) + tag + kept + notes + "</" + qname + ">" + vml.substr(root.element.end);
}

// ----- the workbook part -----

struct NameEntry {
  std::string name;           // as the workbook part has it ("_xlnm.Print_Area")
  std::optional<long> local;  // the sheet's position (0-based)
  std::string refersTo;       // without "="
  bool hidden = false;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A defined name as one line: its name, scope (the sheet's position or "*"), reference
// and whether it is hidden.
std::string NameLine(const NameEntry& n, std::optional<long> local) {
  return n.name + ' ' + (local ? std::to_string(*local) : "*") + ' ' + n.refersTo + (n.hidden ? " h" : "");
}

// "Sheet 1" -> "'Sheet 1'"; "Parts" as it is.
std::string SheetRef(const Text& name) {
  bool plain = !name.empty() && !(name.front() >= u'0' && name.front() <= u'9');
  for (const char16_t c : name) {
    if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'.'))
      plain = false;
  }
  if (plain) return ToUtf8(name);
  std::string quoted = "'";
  for (const char c : ToUtf8(name)) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

// "$A$1:$B$2,$D$4" of sheet `s` -> "Parts!$A$1:$B$2,Parts!$D$4".
std::string OnSheet(const Text& sheet, const Text& address) {
  std::string out;
  const std::string ref = SheetRef(sheet);
  const std::string all = ToUtf8(address);
  std::string_view rest = all;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (!out.empty()) out += ',';
    out.append(ref).append("!").append(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return out;
}

std::vector<NameEntry> ModelNames(xl::Workbook& book) {
  std::vector<NameEntry> out;
  const auto add = [&](xl::DefinedName& n, std::optional<long> local) {
    const Text refers = n.RefersTo();
    if (refers.find(u"#REF!") != Text::npos) return;  // its sheet was deleted
    out.push_back(
        {ToUtf8(n.Name()), local, ToUtf8(TextView(refers).substr(refers.starts_with(u'=') ? 1 : 0)), !n.Visible()});
  };
  for (long i = 1; i <= book.Names().Count(); ++i) add(book.Names().Item(i), std::nullopt);
  for (long s = 1; s <= book.Sheets().Count(); ++s) {
    xl::Worksheet& sheet = book.Sheets().Item(s);
    for (long i = 1; i <= sheet.Names().Count(); ++i) add(sheet.Names().Item(i), s - 1);
    const xl::PageSetup page = sheet.GetPageSetup();
    if (!page.PrintArea.empty()) out.push_back({"_xlnm.Print_Area", s - 1, OnSheet(sheet.Name(), page.PrintArea)});
    std::string titles;
    if (!page.PrintTitleColumns.empty()) titles = OnSheet(sheet.Name(), page.PrintTitleColumns);
    if (!page.PrintTitleRows.empty()) {
      if (!titles.empty()) titles += ',';
      titles += OnSheet(sheet.Name(), page.PrintTitleRows);
    }
    if (!titles.empty()) out.push_back({"_xlnm.Print_Titles", s - 1, titles});
  }
  return out;
}

}  // namespace

// ----- what the run changed -----

namespace {

// FNV-1a over what it is given.
struct Digest {
  std::uint64_t h = 1469598103934665603ULL;
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ULL;
  }
  // Plain values only: a class's bytes (a string's pointer and buffer) say nothing of
  // its contents, and would differ between two equal texts.
  template <class T>
  requires std::is_arithmetic_v<T> || std::is_enum_v<T>
  void Of(const T& v) { Bytes(&v, sizeof v); }
  void Of(TextView t) {
    Of(t.size());
    Bytes(t.data(), t.size() * sizeof(char16_t));
  }
};

// Adds a cell's value and formula to the digest.
void DigestCell(Digest& d, FileSheet& sheet, long row, long col, const Variant& x) {
  d.Of(x.Type());
  switch (x.Type()) {
    case VarType::Number: d.Of(x.AsNumber()); break;
    case VarType::String: d.Of(TextView(x.AsText())); break;
    case VarType::Boolean: d.Of(x.AsBool()); break;
    case VarType::Error: d.Of(x.AsError()); break;
    default: break;
  }
  if (sheet.CellHasFormula(row, col)) {
    d.Of(TextView(sheet.CellFormula(row, col)));
    d.Of(sheet.CellHasCachedValue(row, col));
  }
}

}  // namespace

std::uint64_t CellDigest(FileSheet& sheet, long row, long col) {
  Digest d;
  DigestCell(d, sheet, row, col, sheet.CellValue(row, col));
  return d.h;
}

std::uint64_t AreaDigest(FileSheet& sheet, const xl::Area& area) {
  Digest d;
  for (long col = area.col1; col <= area.col2; ++col) {
    for (std::optional<long> r = sheet.NextFilledRow(col, area.row1 - 1); r && *r <= area.row2;
         r = *r < sheet.RowsCount() ? sheet.NextFilledRow(col, *r) : std::nullopt) {
      d.Of(col);
      d.Of(*r);
      DigestCell(d, sheet, *r, col, sheet.CellValue(*r, col));
    }
  }
  return d.h;
}

std::string BookFingerprint(xl::Workbook& book) {
  std::string out;
  const auto text = [&](TextView t) { out += ToUtf8(t) + '\x1F'; };
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    xl::Worksheet& s = book.Sheets().Item(i);
    out += std::to_string(reinterpret_cast<std::uintptr_t>(&s)) + ' ' + std::to_string(s.Visible()) + ' ';
    text(s.Name());
  }
  out += "active " + std::to_string(book.ActiveSheet().Index()) + ' ' + std::to_string(book.ProtectStructure()) +
         std::to_string(book.ProtectWindows());
  if (auto* m = dynamic_cast<xl::memory::FileBook*>(&book)) out += m->Date1904() ? " 1904" : " 1900";
  for (const NameEntry& n : ModelNames(book)) out += '\n' + NameLine(n, n.local);
  return out;
}

const LoadedPackage* OriginOf(xl::Workbook& book) {
  auto* memory = dynamic_cast<xl::memory::FileBook*>(&book);
  if (memory == nullptr) return nullptr;
  const auto* held = std::any_cast<std::shared_ptr<const LoadedPackage>>(&memory->Origin());
  return held ? held->get() : nullptr;
}

void SetOrigin(xl::Workbook& book, std::shared_ptr<const LoadedPackage> package) {
  dynamic_cast<xl::memory::FileBook&>(book).Origin() = std::move(package);
}

namespace {

// The small package a workbook made otherwise is written into.
const LoadedPackage& EmptyPackage() {
  static const LoadedPackage package = [] {
    LoadedPackage p;
    const std::string rels = "<Relationships xmlns=\"" + std::string(kRelsNs) + "\">";
    const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    p.bytes = MakeZip({
        {"[Content_Types].xml",
         decl +
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
             std::string(kBookType) +
             "\"/><Override PartName=\"/xl/styles.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>"},
        {"_rels/.rels", decl + rels +
                            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                            "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", decl + "<workbook xmlns=\"" + std::string(kMainNs) + "\" xmlns:r=\"" + std::string(kRelNs) +
                                "\"><workbookPr/><bookViews><workbookView/></bookViews><sheets/></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         decl + rels +
             "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
             "styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/styles.xml",
         decl + "<styleSheet xmlns=\"" + std::string(kMainNs) +
             "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
             "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
             "patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border><left/><right/><top/><bottom/>"
             "<diagonal/></border></borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\" xfId=\"0\"/></cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
             "builtinId=\"0\"/></cellStyles></styleSheet>"},
    });
    p.bookPart = "xl/workbook.xml";
    p.stylesPart = "xl/styles.xml";
    p.xfs = {CellFormat{}};
    return p;
  }();
  return package;
}

}  // namespace

std::optional<std::vector<std::string>> PatchedPackage(xl::Workbook& book, bool withMacros, Notes& notes,
                                                       std::vector<std::string>& lost, bool evenLosing) {
  const LoadedPackage* origin = OriginOf(book);
  const LoadedPackage& from = origin ? *origin : EmptyPackage();
  const phases::Scope timed("save xlsx");
  // Each sheet as it stands beside how it was loaded.
  struct Plan {
    FileSheet* sheet;
    const LoadedSheet* loaded;
    SheetLayout layout;
    const SheetLayout* was;
    bool cells = false, cols = false, merges = false, filter = false, protection = false, selection = false;
    bool links = false, page = false, comments = false;
  };
  std::vector<Plan> plans;
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    auto& sheet = dynamic_cast<FileSheet&>(book.Sheets().Item(i));
    const LoadedSheet* loaded = nullptr;
    for (const LoadedSheet& l : from.sheets) {
      if (l.sheet == &sheet) loaded = &l;
    }
    static const SheetLayout kNew = [] {
      SheetLayout l;
      return l;
    }();
    const SheetLayout& was = loaded ? loaded->layout : kNew;
    Plan p{&sheet, loaded, ReadLayout(sheet), &was};
    const std::string where = " (sheet '" + ToUtf8(sheet.Name()) + "')";
    p.comments = !SameComments(p.layout.comments, was.comments);
    p.links = !SameLinks(p.layout.hyperlinks, was.hyperlinks);
    p.page = !SamePage(PrintedPage(p.layout.pageSetup), PrintedPage(was.pageSetup));
    const long rows = sheet.RowsCount();
    p.cells = !loaded || sheet.CellChanges() != loaded->cells || p.layout.formats != was.formats ||
              p.layout.rowHeights != was.rowHeights || p.layout.hiddenRows != was.hiddenRows;
    if (p.cells && loaded) {
      // A cell of an array formula or a data table is written with the rest of its area.
      for (const LoadedSheet::HeldArea& h : loaded->heldAreas) {
        if (AreaDigest(sheet, h.area) == h.digest) continue;
        std::string what = "cells changed by the run in the ";
        what += h.dataTable ? "data table " : "array formula ";
        what += AreaRef(h.area);
        what += where;
        lost.push_back(std::move(what));
      }
    }
    p.cols = !loaded || p.layout.columnWidths != was.columnWidths || p.layout.hiddenColumns != was.hiddenColumns ||
             ColumnFormatAreas(p.layout, rows) != ColumnFormatAreas(was, rows);
    p.merges = !loaded || p.layout.merges != was.merges;
    p.filter = !loaded || p.layout.autoFilter != was.autoFilter;
    p.protection = !loaded || !SameProtection(p.layout.protection, was.protection);
    p.selection = !loaded || p.layout.selection != was.selection || p.layout.activeCell != was.activeCell;
    plans.push_back(std::move(p));
  }
  if (!lost.empty() && !evenLosing) return std::nullopt;

  const ZipArchive zip(from.bytes, UINT64_MAX, UINT64_MAX);
  Parts parts(zip);
  const std::set<std::string> reachableBefore = parts.Reachable();
  // A package without a style part gets one when a cell needs a record of its own.
  std::string stylesPart = from.stylesPart;
  if (stylesPart.empty()) {
    stylesPart = "xl/styles.xml";
    for (int n = 2; parts.Has(stylesPart); ++n) stylesPart = "xl/styles" + std::to_string(n) + ".xml";
  }
  Styles styles(
      from.stylesPart.empty() ? ZipArchive(EmptyPackage().bytes).Read("xl/styles.xml") : parts.Read(from.stylesPart),
      from.xfs, stylesPart);
  SharedIndex strings(from);
  std::string contentTypes = parts.Read("[Content_Types].xml");
  if (contentTypes.empty()) {
    // A package without its content types (which readers need) gets them.
    const auto type = [](const std::string& part, std::string_view t) {
      return part.empty() ? std::string()
                          : "<Override PartName=\"/" + part + "\" ContentType=\"" + std::string(t) + "\"/>";
    };
    contentTypes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
        type(from.bookPart, from.macros.empty() ? kBookType : kMacroBookType) +
        type(from.stylesPart, "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml") +
        type(from.stringsPart, "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
    for (const LoadedSheet& l : from.sheets) contentTypes += type(l.part, kWorksheetType);
    contentTypes += "</Types>";
  }
  const std::string bookRelsPart = RelsPartOf(from.bookPart);
  std::string bookRels = parts.Read(bookRelsPart);
  std::string bookXml = parts.Read(from.bookPart);
  const Root bookRoot = RootOf(bookXml, from.bookPart);
  const std::string bp = bookRoot.prefix;

  // The original sheet list of the workbook part, in order: the <sheet> tags.
  std::vector<std::string> sheetTags;
  for (const Element& e :
       Children(bookXml, bookRoot.element.contentBegin, bookRoot.element.contentEnd, from.bookPart)) {
    if (e.name != "sheets") continue;
    for (const Element& s : Children(bookXml, e.contentBegin, e.contentEnd, from.bookPart)) {
      if (s.name == "sheet") sheetTags.push_back(bookXml.substr(s.begin, s.end - s.begin));
    }
  }
  if (sheetTags.size() != from.sheets.size()) Unreadable(from.bookPart);
  const auto tagOf = [&](const LoadedSheet* l) -> const std::string& {
    return sheetTags[static_cast<std::size_t>(l - from.sheets.data())];
  };
  const auto relIdOf = [&](const std::string& tag) {
    std::string id = Attr(tag, "id");
    return id;
  };

  bool anyCells = false;
  long nextSheetId = 1;
  for (const std::string& t : sheetTags) nextSheetId = std::max(nextSheetId, std::atol(Attr(t, "sheetId").c_str()) + 1);
  long nextPart = 1, nextRel = 1;
  const auto freeRel = [&] {
    while (bookRels.find("Id=\"rIdQ" + std::to_string(nextRel) + "\"") != std::string::npos) ++nextRel;
    return "rIdQ" + std::to_string(nextRel++);
  };
  const long active = book.ActiveSheet().Index();
  std::string sheetsXml = "<" + bp + "sheets>";
  for (std::size_t i = 0; i < plans.size(); ++i) {
    Plan& p = plans[i];
    std::string part;
    std::string tag;
    const std::string name = EscapedAttribute(ToUtf8(p.sheet->Name()));
    const long visible = p.sheet->Visible();
    const std::optional<std::string> state = visible == xl::xlSheetVeryHidden ? std::optional<std::string>("veryHidden")
                                             : visible == xl::xlSheetVisible  ? std::nullopt
                                                                              : std::optional<std::string>("hidden");
    if (p.loaded) {
      part = p.loaded->part;
      tag = SetAttr(SetAttr(tagOf(p.loaded), "name", name), "state", state);
    } else {
      while (parts.Has("xl/worksheets/sheet" + std::to_string(nextPart) + ".xml")) ++nextPart;
      part = "xl/worksheets/sheet" + std::to_string(nextPart++) + ".xml";
      const std::string id = freeRel();
      bookRels = WithChildAtEnd(bookRels,
                                "<Relationship Id=\"" + id + "\" Type=\"" + std::string(kWorksheetRel) +
                                    "\" Target=\"" + TargetFrom(from.bookPart, part) + "\"/>",
                                bookRelsPart);
      if (!contentTypes.empty()) {
        contentTypes = WithChildAtEnd(
            contentTypes, "<Override PartName=\"/" + part + "\" ContentType=\"" + std::string(kWorksheetType) + "\"/>",
            "[Content_Types].xml");
      }
      tag = "<" + bp + "sheet name=\"" + name + "\" sheetId=\"" + std::to_string(nextSheetId++) + "\"" +
            (state ? " state=\"" + *state + "\"" : "") + " xmlns:r=\"" + std::string(kRelNs) + "\" r:id=\"" + id +
            "\"/>";
      parts.Put(part, NewSheetXml());
    }
    sheetsXml += tag;
    // The tab selected: the active sheet's alone.
    const bool selected = static_cast<long>(i) + 1 == active;
    std::string xml = parts.Read(part);
    const Root root = RootOf(xml, part);
    bool wasSelected = false;
    for (const Element& e : Children(xml, root.element.contentBegin, root.element.contentEnd, part)) {
      if (e.name != "sheetViews") continue;
      const auto views = Children(xml, e.contentBegin, e.contentEnd, part);
      if (!views.empty()) {
        const std::string_view vt = std::string_view(xml).substr(views[0].begin, views[0].end - views[0].begin);
        const std::string v = Attr(vt.substr(0, TagEnd(vt, 0, part)), "tabSelected");
        wasSelected = v == "1" || v == "true";
      }
    }
    const bool anything = p.cells || p.cols || p.merges || p.filter || p.protection || p.selection || p.links ||
                          p.page || p.comments || selected != wasSelected;
    if (!anything) continue;
    const std::string& sp = root.prefix;
    std::optional<DeflatedPart> made;
    try {
      SheetWriter writer(*p.sheet, p.loaded, p.layout, styles, strings, sp);
      // The new sheetData goes in last, in place of a mark: the part is edited while small.
      // The mark is a sheetData element, so that the elements put in before then take
      // their places on either side of it.
      const std::string mark = "<" + sp + "sheetData>\x01</" + sp + "sheetData>";
      if (p.cells) {
        anyCells = true;
        if (p.loaded && !p.loaded->keptCells.empty()) {
          writer.KeepCells(OriginalCells(xml, part, *p.sheet, p.loaded->keptCells));
        }
        PutChild(xml, part, kSheetOrder, "sheetData", mark);
        PutChild(xml, part, kSheetOrder, "dimension", "");
      }
      if (p.cols) PutChild(xml, part, kSheetOrder, "cols", writer.Cols());
      if (p.merges) {
        std::string m;
        for (const xl::Area& a : p.layout.merges) m += "<" + sp + "mergeCell ref=\"" + AreaRef(a) + "\"/>";
        PutChild(xml, part, kSheetOrder, "mergeCells",
                 m.empty() ? std::string()
                           : "<" + sp + "mergeCells count=\"" + std::to_string(p.layout.merges.size()) + "\">" + m +
                                 "</" + sp + "mergeCells>");
      }
      if (p.filter) {
        PutChild(xml, part, kSheetOrder, "autoFilter",
                 p.layout.autoFilter ? "<" + sp + "autoFilter ref=\"" + AreaRef(*p.layout.autoFilter) + "\"/>"
                                     : std::string());
      }
      if (p.protection) {
        // The part's own element keeps what is not modelled here (password, hash, the other
        // options); only whether the sheet is protected and formatCells are set.
        std::string was = "<" + sp + "sheetProtection sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
        const Root r = RootOf(xml, part);
        for (const Element& k : Children(xml, r.element.contentBegin, r.element.contentEnd, part)) {
          if (k.name != "sheetProtection") continue;
          was = xml.substr(k.begin, TagEnd(xml, k.begin, part) - k.begin);
          if (!was.ends_with("/>")) was.insert(was.size() - 1, "/");
        }
        std::string text;
        if (p.layout.protection) {
          text = SetAttr(std::move(was), "sheet", "1");
          text = SetAttr(std::move(text), "formatCells",
                         p.layout.protection->AllowFormattingCells ? std::optional<std::string>("0") : std::nullopt);
        }
        PutChild(xml, part, kSheetOrder, "sheetProtection", text);
      }
      if (p.links) {
        const std::string relsPart = RelsPartOf(part);
        std::string rels = parts.Read(relsPart);
        const std::string had = rels;
        PutHyperlinks(xml, part, sp, p.layout.hyperlinks, p.was->hyperlinks, rels);
        if (rels != had) parts.Put(relsPart, std::move(rels));
      }
      if (p.comments) {
        const std::string relsPart = RelsPartOf(part);
        std::string rels = parts.Read(relsPart);
        const std::string had = rels;
        // The sheet's comments part and its drawing (the one legacyDrawing names).
        const std::string drawingId = Attr(ChildText(xml, part, "legacyDrawing"), "id");
        std::string commentsId, commentsPart, vmlId, vmlPart;
        if (!rels.empty()) {
          const Root r = RootOf(rels, relsPart);
          for (const Element& k : Children(rels, r.element.contentBegin, r.element.contentEnd, relsPart)) {
            const std::string_view rel = std::string_view(rels).substr(k.begin, k.end - k.begin);
            const std::string type = Attr(rel, "Type"), id = Attr(rel, "Id");
            if (Attr(rel, "TargetMode") == "External") continue;
            if (type.ends_with("/comments") && commentsId.empty()) {
              commentsId = id;
              commentsPart = ResolveTarget(part, Attr(rel, "Target"));
            }
            // Only the drawing legacyDrawing names holds notes: another one (the header and
            // footer pictures legacyDrawingHF names) is never written into.
            if (type.ends_with("/vmlDrawing") && !drawingId.empty() && id == drawingId) {
              vmlId = id;
              vmlPart = ResolveTarget(part, Attr(rel, "Target"));
            }
          }
        }
        std::string commentsXml = commentsPart.empty() ? std::string() : parts.Read(commentsPart);
        std::string vml = vmlPart.empty() ? std::string() : parts.Read(vmlPart);
        const bool hadComments = !commentsPart.empty(), hadVml = !vmlPart.empty();
        long n = 1;
        if (!hadComments) {
          while (parts.Has("xl/comments" + std::to_string(n) + ".xml")) ++n;
          commentsPart = "xl/comments" + std::to_string(n) + ".xml";
        }
        if (!hadVml) {
          for (n = 1; parts.Has("xl/drawings/vmlDrawing" + std::to_string(n) + ".vml");) ++n;
          vmlPart = "xl/drawings/vmlDrawing" + std::to_string(n) + ".vml";
        }
        PutComments(commentsXml, commentsPart, vml, vmlPart, p.layout.comments, p.was->comments,
                    100 + static_cast<long>(i));
        if (rels.empty() && (!commentsXml.empty() || !vml.empty())) {
          rels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"" +
                 std::string(kRelsNs) + "\"></Relationships>";
        }
        long nextId = 1;
        std::set<std::string> goneIds;
        if (commentsXml.empty()) {
          if (hadComments) goneIds.insert(commentsId);
        } else {
          if (!hadComments) {
            rels =
                WithChildAtEnd(rels,
                               "<Relationship Id=\"" + FreeRelId(rels, nextId) + "\" Type=\"" +
                                   std::string(kCommentsRel) + "\" Target=\"" + TargetFrom(part, commentsPart) + "\"/>",
                               relsPart);
            if (!contentTypes.empty()) {
              contentTypes = WithChildAtEnd(
                  contentTypes,
                  "<Override PartName=\"/" + commentsPart + "\" ContentType=\"" + std::string(kCommentsType) + "\"/>",
                  "[Content_Types].xml");
            }
          }
          parts.Put(commentsPart, std::move(commentsXml));
        }
        if (vml.empty()) {
          if (hadVml) {
            goneIds.insert(vmlId);
            PutChild(xml, part, kSheetOrder, "legacyDrawing", "");
          }
        } else {
          if (!hadVml) {
            const std::string id = FreeRelId(rels, nextId);
            rels = WithChildAtEnd(rels,
                                  "<Relationship Id=\"" + id + "\" Type=\"" + std::string(kVmlRel) + "\" Target=\"" +
                                      TargetFrom(part, vmlPart) + "\"/>",
                                  relsPart);
            const std::string r = RelPrefix(xml, part);
            PutChild(xml, part, kSheetOrder, "legacyDrawing", "<" + sp + "legacyDrawing " + r + "id=\"" + id + "\"/>");
            std::string folded = contentTypes;
            for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (!contentTypes.empty() && folded.find("extension=\"vml\"") == std::string::npos) {
              contentTypes = WithChildAtEnd(
                  contentTypes, "<Default Extension=\"vml\" ContentType=\"" + std::string(kVmlType) + "\"/>",
                  "[Content_Types].xml");
            }
          }
          parts.Put(vmlPart, std::move(vml));
        }
        if (!goneIds.empty()) rels = WithoutRels(std::move(rels), goneIds, relsPart);
        if (rels != had) parts.Put(relsPart, std::move(rels));
      }
      if (p.page) PutPageSetup(xml, part, sp, PrintedPage(p.layout.pageSetup), PrintedPage(p.was->pageSetup));
      PutView(xml, part, sp, p.selection ? &p.layout : nullptr,
              selected != wasSelected ? std::optional<bool>(selected) : std::nullopt);
      if (p.cells) {
        // Deflated as it is made: the part is never held whole.
        const std::size_t at = xml.find(mark);
        PartDeflater deflater(kLevel);
        deflater.Piece().append(xml, 0, at);
        writer.SheetData(deflater);
        deflater.Piece().append(xml, at + mark.size());
        made = deflater.Finish(part);
      }
    } catch (const Failure& f) {
      throw Failure("sheet '" + ToUtf8(p.sheet->Name()) + "': " + f.what());
    }
    if (made) {
      parts.Put(part, std::move(*made));
    } else {
      parts.Put(part, std::move(xml));
    }
  }
  sheetsXml += "</" + bp + "sheets>";

  // The sheets deleted: their relationships go, and with them every part only they led to.
  std::set<std::string> goneRels;
  for (const LoadedSheet& l : from.sheets) {
    if (std::none_of(plans.begin(), plans.end(), [&](const Plan& p) { return p.loaded == &l; })) {
      goneRels.insert(relIdOf(tagOf(&l)));
    }
  }
  // A calculation chain names formula cells; the application makes a new one.
  const auto bookRelMap = ReadRels(zip, from.bookPart);
  for (const auto& [id, rel] : bookRelMap) {
    if (anyCells && rel.type.ends_with("/calcChain")) goneRels.insert(id);
    if (!withMacros && rel.type.ends_with("/vbaProject")) {
      goneRels.insert(id);
      notes.push_back("it is saved without the macros of the workbook it was loaded from ('" + rel.target +
                      "'): a .xlsx file holds none");
    }
  }
  if (!goneRels.empty()) bookRels = WithoutRels(bookRels, goneRels, bookRelsPart);
  if (!withMacros && !from.macros.empty() && !contentTypes.empty()) {
    // The workbook part is typed as one without macros.
    const std::string_view part = "[Content_Types].xml";
    const Root root = RootOf(contentTypes, part);
    for (const Element& k : Children(contentTypes, root.element.contentBegin, root.element.contentEnd, part)) {
      const std::string tag = contentTypes.substr(k.begin, k.end - k.begin);
      if (k.name == "Override" && Attr(tag, "PartName") == "/" + from.bookPart) {
        contentTypes.replace(k.begin, k.end - k.begin, SetAttr(tag, "ContentType", std::string(kBookType)));
        break;
      }
    }
  }

  // The workbook part, when what it holds changed.
  if (BookFingerprint(book) != from.book || !goneRels.empty()) {
    PutChild(bookXml, from.bookPart, kBookOrder, "sheets", sheetsXml);
    std::string wbPr;
    for (const Element& e : Children(bookXml, RootOf(bookXml, from.bookPart).element.contentBegin,
                                     RootOf(bookXml, from.bookPart).element.contentEnd, from.bookPart)) {
      if (e.name == "workbookPr") wbPr = bookXml.substr(e.begin, e.end - e.begin);
      if (e.name == "bookViews") {
        const auto views = Children(bookXml, e.contentBegin, e.contentEnd, from.bookPart);
        if (!views.empty()) {
          const std::size_t tagEnd = TagEnd(bookXml, views[0].begin, from.bookPart);
          std::string tag = bookXml.substr(views[0].begin, tagEnd - views[0].begin);
          tag = SetAttr(tag, "activeTab", active > 1 ? std::optional(std::to_string(active - 1)) : std::nullopt);
          tag = SetAttr(tag, "firstSheet", std::nullopt);
          bookXml.replace(views[0].begin, tagEnd - views[0].begin, tag);
        }
      }
    }
    const bool date1904 = dynamic_cast<xl::memory::FileBook&>(book).Date1904();
    if (wbPr.empty()) wbPr = "<" + bp + "workbookPr/>";
    PutChild(bookXml, from.bookPart, kBookOrder, "workbookPr",
             SetAttr(wbPr, "date1904", date1904 ? std::optional<std::string>("1") : std::nullopt));
    std::string protection;
    if (book.ProtectStructure() || book.ProtectWindows()) {
      protection = "<" + bp + "workbookProtection" + (book.ProtectStructure() ? " lockStructure=\"1\"" : "") +
                   (book.ProtectWindows() ? " lockWindows=\"1\"" : "") + "/>";
    }
    PutChild(bookXml, from.bookPart, kBookOrder, "workbookProtection", protection);
    // The defined names, in the part's order: a name the run did not change is written
    // as the part had it (every attribute, the reference's own text); one the workbook
    // does not hold (constants, formulas, #REF!, external references, the filter's own)
    // stays as it stood unless the run made or deleted a name of that name and scope.
    std::string names;
    const auto put = [&](const NameEntry& n) {
      names += "<" + bp + "definedName name=\"" + EscapedAttribute(n.name) + "\"" +
               (n.local ? " localSheetId=\"" + std::to_string(*n.local) + "\"" : "") +
               (n.hidden ? " hidden=\"1\"" : "") + ">";
      AppendEscaped(names, n.refersTo);
      names += "</" + bp + "definedName>";
    };
    std::set<std::string> loadedLines, loadedNames;  // as loaded; names as "name scope"
    for (std::size_t at = from.book.find('\n'); at != std::string::npos;) {
      const std::size_t end = from.book.find('\n', at + 1);
      const std::string line = from.book.substr(at + 1, end == std::string::npos ? end : end - at - 1);
      loadedLines.insert(line);
      loadedNames.insert(Lower(line.substr(0, line.find(' ', line.find(' ') + 1))));
      at = end;
    }
    const std::vector<NameEntry> model = ModelNames(book);
    std::vector<bool> written(model.size());
    std::map<std::pair<std::string, long>, std::size_t> byName;  // (lower-case name, scope or -1)
    for (std::size_t m = 0; m < model.size(); ++m)
      byName.emplace(std::pair(Lower(model[m].name), model[m].local.value_or(-1)), m);
    for (const Element& e : Children(bookXml, RootOf(bookXml, from.bookPart).element.contentBegin,
                                     RootOf(bookXml, from.bookPart).element.contentEnd, from.bookPart)) {
      if (e.name != "definedNames") continue;
      for (const Element& d : Children(bookXml, e.contentBegin, e.contentEnd, from.bookPart)) {
        const std::string_view text = std::string_view(bookXml).substr(d.begin, d.end - d.begin);
        const std::string_view tag = text.substr(0, TagEnd(text, 0, from.bookPart));
        const std::string name = Attr(tag, "name");
        std::string kept(text);
        std::optional<long> loadedLocal, local;
        if (const std::string l = Attr(tag, "localSheetId"); !l.empty()) {
          const auto at = static_cast<std::size_t>(std::atol(l.c_str()));
          if (at >= from.sheets.size()) continue;
          const auto p =
              std::find_if(plans.begin(), plans.end(), [&](const Plan& x) { return x.loaded == &from.sheets[at]; });
          if (p == plans.end()) continue;  // its sheet was deleted
          loadedLocal = static_cast<long>(at);
          local = static_cast<long>(p - plans.begin());
          if (*local != *loadedLocal) {
            kept = SetAttr(std::string(tag), "localSheetId", std::to_string(*local)) +
                   std::string(text.substr(tag.size()));
          }
        }
        const auto found = byName.find(std::pair(Lower(name), local.value_or(-1)));
        if (found != byName.end() && !written[found->second]) {
          const std::size_t m = found->second;
          written[m] = true;
          if (loadedLines.contains(NameLine(model[m], loadedLocal))) {
            names += kept;
          } else {
            put(model[m]);
          }
        } else if (!loadedNames.contains(Lower(name + ' ' + (loadedLocal ? std::to_string(*loadedLocal) : "*")))) {
          names += kept;  // never the workbook's: as it stood
        }
      }
    }
    // Names the part did not hold, sorted by name as the application writes them (a
    // built-in name among the others by its own name), each workbook-level one first.
    std::vector<std::size_t> added;
    for (std::size_t m = 0; m < model.size(); ++m) {
      if (!written[m]) added.push_back(m);
    }
    const auto key = [&](std::size_t m) {
      std::string name = Lower(model[m].name);
      if (name.starts_with("_xlnm.")) name.erase(0, 6);
      return std::pair(std::move(name), model[m].local.value_or(-1));
    };
    std::stable_sort(added.begin(), added.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    for (const std::size_t m : added) put(model[m]);
    PutChild(bookXml, from.bookPart, kBookOrder, "definedNames",
             names.empty() ? std::string() : "<" + bp + "definedNames>" + names + "</" + bp + "definedNames>");
    parts.Put(from.bookPart, std::move(bookXml));
  }
  if (styles.Changed()) {
    parts.Put(stylesPart, styles.Xml());
    if (from.stylesPart.empty()) {
      bookRels = WithChildAtEnd(bookRels,
                                "<Relationship Id=\"" + freeRel() +
                                    "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                                    "styles\" Target=\"" +
                                    TargetFrom(from.bookPart, stylesPart) + "\"/>",
                                bookRelsPart);
      if (!contentTypes.empty()) {
        contentTypes = WithChildAtEnd(contentTypes,
                                      "<Override PartName=\"/" + stylesPart +
                                          "\" ContentType=\"application/"
                                          "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>",
                                      "[Content_Types].xml");
      }
    }
  }
  if (bookRels != parts.Read(bookRelsPart)) parts.Put(bookRelsPart, std::move(bookRels));
  // Parts no relationship leads to any more.
  std::set<std::string> gone;
  const std::set<std::string> reachable = parts.Reachable();
  for (const std::string& part : reachableBefore) {
    if (!reachable.contains(part) && parts.Has(part)) gone.insert(part);
  }
  for (const std::string& part : gone) {
    parts.Remove(part);
    if (parts.Has(RelsPartOf(part))) parts.Remove(RelsPartOf(part));
  }
  if (!contentTypes.empty()) contentTypes = WithoutOverrides(std::move(contentTypes), gone);
  if (contentTypes != parts.Read("[Content_Types].xml")) parts.Put("[Content_Types].xml", std::move(contentTypes));
  return parts.Zip();
}

}  // namespace quillary::workbook::xlsx
