#include "workbook/entries.h"

#include <algorithm>

#include "workbook/failure.h"
#include "workbook/words.h"

namespace quillary::workbook {

namespace {

template <class Words>
std::string Join(const Words& words) {
  std::string line;
  for (const auto& w : words) {
    // An entry is one line: a word may hold anything but a line break.
    if (std::string_view(w).find('\n') != std::string_view::npos) {
      throw Failure("'" + std::string(w) + "' holds a line break, which a workbook file cannot keep");
    }
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line + "\n";
}

}  // namespace

std::string EntryLine(std::span<const std::string> words) { return Join(words); }

std::string EntryLine(std::initializer_list<std::string_view> words) { return Join(words); }

std::string ReadEntries(std::string_view text, std::string_view kind, std::initializer_list<std::string_view> versions,
                        const std::function<void(std::string_view, std::vector<std::string>&)>& entry) {
  std::string version;
  long lineNo = 0;
  // A UTF-8 byte order mark, as editors may put before the first entry.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    try {
      auto words = SplitWords(line);
      if (words.empty()) continue;
      if (version.empty()) {
        if (words.size() != 2 || words[0] != kind ||
            std::find(versions.begin(), versions.end(), words[1]) == versions.end()) {
          throw Failure("the first entry must be '" + std::string(kind) + " " + std::string(*versions.begin()) + "'");
        }
        version = words[1];
        continue;
      }
      entry(version, words);
    } catch (const Failure& f) {
      throw Failure("line " + std::to_string(lineNo) + ": " + f.what());
    }
  }
  return version;
}

}  // namespace quillary::workbook
