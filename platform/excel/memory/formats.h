// Cell formats of the in-memory workbook: a format value and a table that interns the
// distinct formats, so that a cell keeps only a 32-bit id.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/runtime/value.h"

namespace quillary::xl::memory {

struct BorderFormat {
  long lineStyle = xlLineStyleNone;
  long weight = xlThin;
  friend bool operator==(const BorderFormat&, const BorderFormat&) = default;
};

struct CellFormat {
  bool bold = false;
  long colorIndex = xlColorIndexAutomatic;
  long underline = xlUnderlineStyleNone;
  long interiorColor = 0xFFFFFF;
  long pattern = xlNone;
  // The cell's own edges and diagonals, by border index - 5: xlDiagonalDown,
  // xlDiagonalUp, xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight.
  std::array<BorderFormat, 6> borders{};
  long horizontalAlignment = xlGeneral;
  long verticalAlignment = xlBottom;
  Text numberFormat = u"General";
  bool wrapText = false;
  bool locked = true;
  friend bool operator==(const CellFormat&, const CellFormat&) = default;
};

// Reads one property; `edge` is a cell border index (5..10) for the border keys.
Variant ReadFormat(const CellFormat& f, FormatKey key, long edge);
// Writes one property (the value converted as the property needs; Error 13 when it
// cannot be).
void WriteFormat(CellFormat& f, FormatKey key, long edge, const Variant& value);

// A number as a cell of format `f` shows it: the formats that typed entries give
// ("0%", "0.00%", "#,##0", "#,##0.00", "$#,##0", "$#,##0.00", and those with a
// negative section in parentheses, "#,##0_);(#,##0)" and the like) are applied, any
// other shows the number as CStr writes it.
Text ShownNumber(double number, const CellFormat& f);

class FormatTable {
 public:
  FormatTable() {
    formats_.emplace_back();
    text_.push_back(false);
  }
  const CellFormat& Get(std::uint32_t id) const { return formats_[id]; }
  std::uint32_t Intern(const CellFormat& f);
  // NumberFormat "@": every typed entry stays a text.
  bool IsText(std::uint32_t id) const { return text_[id]; }

 private:
  std::vector<CellFormat> formats_;
  std::vector<bool> text_;
};

}  // namespace quillary::xl::memory
