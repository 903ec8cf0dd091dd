#include "workbook/cell_notes.h"

#include <algorithm>

#include "platform/runtime/chars.h"

namespace quillary::workbook {

std::string CellName(xl::Worksheet& sheet, long row, long col) {
  return ToUtf8(sheet.Name()) + "!" + ToUtf8(xl::ColumnLetters(col)) + std::to_string(row);
}

TextView EnteredText(TextView entered) { return entered.substr(entered.starts_with(u'\'') ? 1 : 0); }

std::string CutTextNote(std::string_view where, TextView text) {
  const std::size_t kept = chars::FittingLength(text, xl::kCellTextLimit);
  if (kept == text.size()) return {};
  const std::string head = std::string(where) + ": the text of " + std::to_string(text.size()) + " characters was cut";
  if (kept == xl::kCellTextLimit) return head + " to the " + std::to_string(kept) + " a cell holds";
  return head + " to " + std::to_string(kept) + ", as a cell holds " + std::to_string(xl::kCellTextLimit) +
         " and the last would have split a character in two";
}

}  // namespace quillary::workbook
