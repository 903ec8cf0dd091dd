// What the xlsx reader and writer share: cell references, the colour palette, the
// built-in number formats and the mapping of the application's format constants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/runtime/value.h"

namespace quillary::workbook::xlsx {

// "B12" or "$B$12" -> row 12, column 2; nothing when it is not a cell reference.
std::optional<xl::CellPos> ParseCellRef(std::string_view ref);
// "A1:C3" or "B2" -> the area.
std::optional<xl::Area> ParseAreaRef(std::string_view ref);
std::string CellRef(long row, long col);
std::string AreaRef(const xl::Area& a);

// For each of `cells`, the index of the area in `areas` that holds it (kNoArea for
// none): one sweep down the rows, so many areas and cells cost a sort, not a search per
// cell. Areas should not overlap; where a file's do, a cell goes to one of them or none.
inline constexpr std::size_t kNoArea = static_cast<std::size_t>(-1);
std::vector<std::size_t> AreasHolding(const std::vector<xl::Area>& areas, const std::vector<xl::CellPos>& cells);

// The colour of a palette index 1..56 as 0xRRGGBB; the index of a colour, the first
// of equal ones (nothing when the palette lacks it).
std::uint32_t PaletteColor(long colorIndex);
std::optional<long> PaletteIndex(std::uint32_t rgb);
// OLE colours (0xBBGGRR) and 0xRRGGBB.
std::uint32_t OleToRgb(long ole);
long RgbToOle(std::uint32_t rgb);

// The format code of a built-in number format id; nothing when the id has none here.
std::optional<std::string_view> BuiltinNumberFormat(long id);

// Underline, border line and pattern names of the file format and the application's
// constants they stand for.
std::string_view UnderlineName(long underline);
long UnderlineOfName(std::string_view name);
std::string_view BorderStyleName(long lineStyle, long weight);
void BorderOfName(std::string_view name, long& lineStyle, long& weight);
std::string_view HorizontalName(long alignment);
long HorizontalOfName(std::string_view name);
std::string_view VerticalName(long alignment);
long VerticalOfName(std::string_view name);

// The formats of a sheet's areas by column, each area over those put before it: the
// columns' own formats and the runs of rows of each column, each a format's index.
struct FormatRuns {
  // Gives the area's cells the format `f`; an area of all `rows` rows makes it its
  // columns' own, over any runs of theirs.
  void Put(const xl::Area& area, long rows, std::size_t f);
  // The format of a cell; npos when it has the default one.
  std::size_t At(long row, long col) const;

  std::map<long, std::size_t> columns;                                // column -> its own format
  std::map<long, std::map<long, std::pair<long, std::size_t>>> runs;  // column -> first row -> (last row, format)
};

}  // namespace quillary::workbook::xlsx
