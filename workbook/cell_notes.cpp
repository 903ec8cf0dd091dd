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

bool ReplacedBytes(std::string_view utf8, TextView text) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::size_t given = 0;
  for (std::size_t at = utf8.find(kReplacement); at != std::string_view::npos; at = utf8.find(kReplacement, at + 3)) {
    ++given;
  }
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\uFFFD')) > given;
}

std::string NotUtf8Note(std::string_view file, long count, std::string_view first) {
  return std::string(file) + ": " + (count == 1 ? "a field holds" : std::to_string(count) + " fields hold") +
         " bytes that are not UTF-8, each read as the character U+FFFD (the first in " + std::string(first) +
         "); save the file as UTF-8 to keep its characters";
}

}  // namespace quillary::workbook
