// The Item grammar of the CountIndex# mode: a plain name (Door), a name with an index
// number (R7), a bare index number (7), or an index range (R1-R5, R1-5, 1-5), with the
// fault codes of Items that break it (fault_codes.h).
//
// All indexed Items of one gathering must write their index numbers one way, the index
// style. Plain names neither read nor change it. Styles 3 and 1 mix (R7 and R1-5 give 1),
// so do 3 and 2 (R7 and R1-R5 give 2); 1 and 2 do not, nor 4 with any other.
#pragma once

#include "host/state.h"
#include "items/fault_codes.h"
#include "platform/excel/excel.h"

namespace quillary::items {

namespace index_style {
inline constexpr int kNone = 0;            // no indexed Item met yet
inline constexpr int kBareSecond = 1;      // R1-5
inline constexpr int kRepeatedPrefix = 2;  // R1-R5
inline constexpr int kPrefixed = 3;        // R7
inline constexpr int kBare = 4;            // 7, 1-5
}  // namespace index_style

// The cells +2 to +5 of the ItemRow being classified, as the grammar writes them: on the
// sheet itself, or into a row held in memory that is written to the sheet later with the
// same entries.
class ItemRowCells {
 public:
  virtual ~ItemRowCells() = default;
  // "'" & text: the sheet keeps it as text.
  virtual void PutText(long col, TextView text) = 0;
  // A digit run as a value, which the sheet turns into a number; an empty run clears.
  virtual void PutDigits(long col, TextView digits) = 0;
};

// The cells of an ItemRow on the sheet, from its +0 cell.
class SheetItemRow final : public ItemRowCells {
 public:
  explicit SheetItemRow(const xl::Range& row) : row_(row) {}
  void PutText(long col, TextView text) override;
  void PutDigits(long col, TextView digits) override;

 private:
  xl::Range row_;
};

// Classifies one Item of a CountIndex# gathering and fills its ItemRow. +2 must already
// hold "'" & item (it still holds it at a fault, so the whole Item can be read back from
// it). `item` is not empty, has no blank at either end and no comma. The grammar reads
// nothing back from the row: an index number is known from its digits (at most 15
// significant ones pass, which a number keeps exactly).
//
// On success: a plain name stays in +2 (an Item holding a Tab has the characters below
// code 33 stripped from both ends first); an indexed Item gets IndexNum1 in +3 (a
// number), for a range IndexNum2 in +4 (text) and Prefix2 in +5, and last Prefix1 in +2
// (" " for none). `indexStyle` (0 at the start of a gathering) is updated; returns 0.
// `key` is then what +2 holds: the text the distinct column takes.
//
// At a fault: returns the fault code, sets s.request.FaultMsg, and leaves the cells written so
// far (+3 to +5) as they are.
//
// An Item with a Tab and no hyphen is stripped of the characters below code 33 at both
// ends before it is classified, so "R5" Tab is the indexed R5 and "Door" Tab the plain
// name Door; one that strips to nothing faults with code 2.
ItemFaultCode ClassifyItem(host::State& s, ItemRowCells& row, TextView item, int& indexStyle, Text& key);
// The same on the sheet's row whose +0 cell is `row`.
ItemFaultCode ClassifyItem(host::State& s, const xl::Range& row, TextView item, int& indexStyle);

}  // namespace quillary::items
