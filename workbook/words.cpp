#include "workbook/words.h"

#include "workbook/failure.h"

namespace quillary::workbook {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads a quoted word from `pos` (on the opening quote) up to the closing quote.
std::string ReadQuoted(std::string_view line, std::size_t& pos) {
  std::string word;
  for (++pos;; ++pos) {
    if (pos >= line.size()) throw Failure("a quoted word is not closed");
    if (line[pos] != '"') {
      word += line[pos];
    } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
      word += '"';
      ++pos;
    } else {
      ++pos;
      return word;
    }
  }
}

}  // namespace

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] == '#') return words;
    std::string word;
    while (pos < line.size() && !IsBlank(line[pos])) {
      if (line[pos] == '"') {
        word += ReadQuoted(line, pos);
      } else {
        word += line[pos++];
      }
    }
    words.push_back(std::move(word));
  }
}

std::string QuoteWord(std::string_view word) {
  const bool plain = !word.empty() && word.front() != '#' && word.find_first_of(" \t\r\"") == std::string_view::npos;
  if (plain) return std::string(word);
  std::string out = "\"";
  for (const char c : word) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string Quoted(std::string_view word) {
  // Longer words show their first 60 bytes, cut before a character that they split.
  constexpr std::size_t kShown = 200, kKept = 60;
  std::string out = "'";
  if (word.size() <= kShown) return out.append(word).append("'");
  std::size_t kept = kKept;
  while (kept > 0 && (static_cast<unsigned char>(word[kept]) & 0xC0) == 0x80) --kept;
  return out.append(word.substr(0, kept)).append("...' (").append(std::to_string(word.size())).append(" characters)");
}

}  // namespace quillary::workbook
