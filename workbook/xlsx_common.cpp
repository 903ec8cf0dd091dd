#include "workbook/xlsx_common.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

#include "workbook/xlsx.h"

namespace quillary::workbook::xlsx {

namespace {

// The application's default palette, ColorIndex 1..56.
constexpr std::array<std::uint32_t, 56> kPalette{
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

struct Named {
  long value;
  std::string_view name;
};

constexpr Named kUnderlines[] = {
    {xl::xlUnderlineStyleSingle, "single"},
    {-4119, "double"},  // xlUnderlineStyleDouble
    {4, "singleAccounting"},
    {5, "doubleAccounting"},
};

constexpr Named kHorizontals[] = {
    {xl::xlLeft, "left"}, {xl::xlCenter, "center"}, {xl::xlRight, "right"}, {-4130, "justify"},
    {5, "fill"},          {7, "centerContinuous"},  {-4117, "distributed"}};
constexpr Named kVerticals[] = {
    {xl::xlTop, "top"}, {xl::xlCenter, "center"}, {-4130, "justify"}, {-4117, "distributed"}};

// The name of a constant in a table ("" when it has none), and the constant of a name.
template <std::size_t N>
std::string_view NameOf(const Named (&table)[N], long value) {
  for (const Named& n : table) {
    if (n.value == value) return n.name;
  }
  return {};
}

template <std::size_t N>
long ValueOf(const Named (&table)[N], std::string_view name, long otherwise) {
  for (const Named& n : table) {
    if (n.name == name) return n.value;
  }
  return otherwise;
}

}  // namespace

std::optional<xl::CellPos> ParseCellRef(std::string_view ref) {
  std::size_t i = 0;
  if (i < ref.size() && ref[i] == '$') ++i;
  long col = 0;
  const std::size_t letters = i;
  while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && i - letters < 3) col = col * 26 + (ref[i++] - 'A' + 1);
  if (i == letters) return std::nullopt;
  if (i < ref.size() && ref[i] == '$') ++i;
  long row = 0;
  const std::size_t digits = i;
  while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9' && i - digits < 7) row = row * 10 + (ref[i++] - '0');
  if (i == digits || i != ref.size() || row < 1 || row > xl::kLargeGridRows || col > xl::kLargeGridColumns) {
    return std::nullopt;
  }
  return xl::CellPos{row, col};
}

std::optional<xl::Area> ParseAreaRef(std::string_view ref) {
  const std::size_t colon = ref.find(':');
  const auto first = ParseCellRef(ref.substr(0, colon));
  if (!first) return std::nullopt;
  if (colon == std::string_view::npos) return xl::Area{first->row, first->col, first->row, first->col};
  const auto last = ParseCellRef(ref.substr(colon + 1));
  if (!last) return std::nullopt;
  return xl::Area{std::min(first->row, last->row), std::min(first->col, last->col), std::max(first->row, last->row),
                  std::max(first->col, last->col)};
}

std::vector<std::size_t> AreasHolding(const std::vector<xl::Area>& areas, const std::vector<xl::CellPos>& cells) {
  std::vector<std::size_t> byTop(areas.size()), order(cells.size());
  for (std::size_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::ranges::sort(byTop, {}, [&](std::size_t i) { return std::pair(areas[i].row1, areas[i].col1); });
  std::ranges::sort(order, {}, [&](std::size_t i) { return std::pair(cells[i].row, cells[i].col); });
  std::vector<std::size_t> owner(cells.size(), kNoArea);
  std::multimap<long, std::size_t> open;  // the areas begun above, by their first column
  std::size_t next = 0;
  for (const std::size_t i : order) {
    const long row = cells[i].row, col = cells[i].col;
    for (; next < byTop.size() && areas[byTop[next]].row1 <= row; ++next) {
      open.emplace(areas[byTop[next]].col1, byTop[next]);
    }
    for (auto it = open.upper_bound(col); it != open.begin();) {
      --it;
      const xl::Area& a = areas[it->second];
      if (a.row2 < row) {
        it = open.erase(it);  // ended above: no later cell lies in it
        continue;
      }
      if (a.col2 >= col) owner[i] = it->second;
      break;
    }
  }
  return owner;
}

std::string CellRef(long row, long col) {
  std::string letters;
  for (long c = col; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

std::string AreaRef(const xl::Area& a) {
  if (a.row1 == a.row2 && a.col1 == a.col2) return CellRef(a.row1, a.col1);
  return CellRef(a.row1, a.col1) + ":" + CellRef(a.row2, a.col2);
}

std::uint32_t PaletteColor(long colorIndex) {
  if (colorIndex < 1 || colorIndex > 56) return 0;
  return kPalette[static_cast<std::size_t>(colorIndex - 1)];
}

std::optional<long> PaletteIndex(std::uint32_t rgb) {
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    if (kPalette[i] == rgb) return static_cast<long>(i) + 1;
  }
  return std::nullopt;
}

std::uint32_t OleToRgb(long ole) {
  const auto v = static_cast<std::uint32_t>(ole);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

long RgbToOle(std::uint32_t rgb) {
  return static_cast<long>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

std::optional<std::string_view> BuiltinNumberFormat(long id) {
  switch (id) {
    case 0: return "General";
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 12: return "# ?/?";
    case 13: return "# ?\?/??";
    case 14: return "m/d/yyyy";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "m/d/yyyy h:mm";
    case 37: return "#,##0 ;(#,##0)";
    case 38: return "#,##0 ;[Red](#,##0)";
    case 39: return "#,##0.00;(#,##0.00)";
    case 40: return "#,##0.00;[Red](#,##0.00)";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mmss.0";
    case 48: return "##0.0E+0";
    case 49: return "@";
    default: return std::nullopt;
  }
}

std::string_view UnderlineName(long underline) { return NameOf(kUnderlines, underline); }

long UnderlineOfName(std::string_view name) {
  if (name.empty()) return xl::xlUnderlineStyleSingle;  // <u/> alone is a single underline
  return ValueOf(kUnderlines, name, xl::xlUnderlineStyleNone);
}

std::string_view BorderStyleName(long lineStyle, long weight) {
  if (lineStyle == xl::xlLineStyleNone) return {};
  if (lineStyle == -4115) return weight == xl::xlMedium ? "mediumDashed" : "dashed";  // xlDash
  if (lineStyle == -4118) return "dotted";                                            // xlDot
  if (lineStyle == -4119) return "double";                                            // xlDouble
  switch (weight) {
    case xl::xlHairline: return "hair";
    case xl::xlMedium: return "medium";
    case xl::xlThick: return "thick";
    default: return "thin";
  }
}

void BorderOfName(std::string_view name, long& lineStyle, long& weight) {
  lineStyle = xl::xlContinuous;
  weight = xl::xlThin;
  if (name.empty() || name == "none") {
    lineStyle = xl::xlLineStyleNone;
  } else if (name == "hair") {
    weight = xl::xlHairline;
  } else if (name == "medium") {
    weight = xl::xlMedium;
  } else if (name == "thick") {
    weight = xl::xlThick;
  } else if (name == "dashed") {
    lineStyle = -4115;
  } else if (name == "mediumDashed") {
    lineStyle = -4115;
    weight = xl::xlMedium;
  } else if (name == "dotted") {
    lineStyle = -4118;
  } else if (name == "double") {
    lineStyle = -4119;
    weight = xl::xlThick;
  }
}

std::string_view HorizontalName(long alignment) { return NameOf(kHorizontals, alignment); }

long HorizontalOfName(std::string_view name) { return ValueOf(kHorizontals, name, xl::xlGeneral); }

std::string_view VerticalName(long alignment) { return NameOf(kVerticals, alignment); }

long VerticalOfName(std::string_view name) { return ValueOf(kVerticals, name, xl::xlBottom); }

void FormatRuns::Put(const xl::Area& area, long rows, std::size_t f) {
  if (area.row1 == 1 && area.row2 == rows) {
    for (long c = area.col1; c <= area.col2; ++c) {
      columns[c] = f;
      runs.erase(c);
    }
    return;
  }
  for (long c = area.col1; c <= area.col2; ++c) {
    // Cut the runs that overlap the rows, keep their parts outside them.
    auto& column = runs[c];
    auto it = column.upper_bound(area.row1);
    if (it != column.begin() && std::prev(it)->second.first >= area.row1) --it;
    while (it != column.end() && it->first <= area.row2) {
      const long start = it->first, end = it->second.first;
      const std::size_t g = it->second.second;
      it = column.erase(it);
      if (start < area.row1) column.emplace(start, std::make_pair(area.row1 - 1, g));
      if (end > area.row2) column.emplace(area.row2 + 1, std::make_pair(end, g));
    }
    column.emplace(area.row1, std::make_pair(area.row2, f));
  }
}

std::size_t FormatRuns::At(long row, long col) const {
  if (const auto c = runs.find(col); c != runs.end()) {
    auto it = c->second.upper_bound(row);
    if (it != c->second.begin() && std::prev(it)->second.first >= row) return std::prev(it)->second.second;
  }
  if (const auto c = columns.find(col); c != columns.end()) return c->second;
  return std::string::npos;
}

}  // namespace quillary::workbook::xlsx

namespace quillary::workbook {

namespace {

std::string Extension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

}  // namespace

bool IsXlsxPath(const std::filesystem::path& path) { return Extension(path) == ".xlsx"; }

bool IsXlsmPath(const std::filesystem::path& path) { return Extension(path) == ".xlsm"; }

std::string MacroSaveRefusal(const std::filesystem::path& path) {
  return "cannot save to " + QuotedPath(path) +
         ": an .xlsm workbook holds macros, which quillary does not write (a save over one would lose them); save a "
         "copy as a .xlsx file instead";
}

}  // namespace quillary::workbook
