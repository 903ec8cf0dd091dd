// Files of entries - a workbook's manifest, a sheet's side file, a save's journal: one
// entry per line in the word syntax of words.h, the first entry naming the kind of file
// and its version.
#pragma once

#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::workbook {

// One entry as a line: its words, quoted where they must be, and a line feed.
std::string EntryLine(std::span<const std::string> words);
std::string EntryLine(std::initializer_list<std::string_view> words);

// Reads the entries of `text`, after a UTF-8 byte order mark if it has one. The first
// must be `kind` and one of `versions` (the first of them is the one a file is written
// with); the version found is returned, "" for a text without any entry. `entry` gets
// the version and the words of every later non-empty line.
// Raises Failure "line N: ..." for a wrong first entry, a quote left open or whatever
// `entry` raises.
std::string ReadEntries(std::string_view text, std::string_view kind, std::initializer_list<std::string_view> versions,
                        const std::function<void(std::string_view, std::vector<std::string>&)>& entry);

}  // namespace quillary::workbook
