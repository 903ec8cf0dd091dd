// The word syntax shared by script lines and workbook manifests: words separated by
// blanks or tabs; a word in double quotes may hold blanks, and a doubled quote inside
// it stands for one quote; a "#" at the start of a word (outside quotes) begins a
// comment that runs to the end of the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillary::workbook {

// The words of one line. Raises Failure for a quote left open.
std::vector<std::string> SplitWords(std::string_view line);

// A word as SplitWords reads it back: quoted when it is empty or holds a blank, a tab,
// a quote or a leading "#".
std::string QuoteWord(std::string_view word);

// A word the user gave, as a message quotes it: in single quotes, and a long word cut
// to its beginning, with its length ("'aaaa...' (1048576 characters)").
std::string Quoted(std::string_view word);

}  // namespace quillary::workbook
