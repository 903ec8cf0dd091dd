// The script language of the command-line host: one command per line, in the word
// syntax of words.h ("#" comments, double quotes around words holding blanks). "${1}" to
// "${9}" stand for the script's arguments, "${1:-default}" for an argument or a
// default. A line beginning with kScriptEnd ends the script: what follows is not read
// (scenario files keep their expected results there). The commands and their forms are
// listed by CommandHelp().
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/excel/excel.h"

namespace quillary::cli {

class Session;

inline constexpr std::string_view kScriptEnd = "#### expected";

// `cell` fills at most this many cells at once (its value is stored in each; clearing
// has no limit).
inline constexpr long long kCellCommandLimit = 10'000'000;

struct Command {
  long line = 0;                   // 0: built from a program's arguments, not read
  std::vector<std::string> words;  // after argument substitution
  std::size_t spec = 0;            // index into the command table
};

// Reads a whole script and checks every command before any runs: its name, its
// argument count and each argument that can be checked without the workbook (ranges,
// control properties and their values, answer words, counts and keywords). Raises
// Failure "line N: ..." at the first fault. A UTF-8 byte order mark at the start is
// skipped.
std::vector<Command> ParseScript(std::string_view text, std::span<const std::string> args);

// One command of these words, checked as ParseScript checks a line; the words are taken
// as they are (no quotes, comments or ${N} are read in them). Raises Failure.
Command MakeCommand(std::vector<std::string> words);

// Runs the commands; what `print` shows goes to `out`, errors, notes and questions to
// `err` ("PROGRAM: line N: ...", without the line for commands built by MakeCommand).
// Returns 0 when the script ran to its end, 1 when a command failed (the rest does not
// run).
int RunScript(std::span<const Command> commands, Session& session, std::ostream& out, std::ostream& err,
              std::string_view program = "quillary");

// A RANGE word ("A1:B4", "Sheet!A1", "'My sheet'!A1,C3", a defined name) split into the
// sheet it names, quotes undone, and the reference. Only the first area names a sheet:
// Failure on a word whose later areas name one (a selection lies on one sheet).
struct RangeWord {
  std::optional<Text> sheet;
  Text reference;
};
RangeWord SplitRangeWord(const std::string& word);
// Raises Failure "'WORD' is not a range" when the word is no A1 reference or list of
// references and names on any sheet; whether its sheet and names exist is known only
// on the workbook.
void CheckRangeWord(const std::string& word);
// The message for a word that CheckRangeWord passed but the sheet does not resolve.
std::string NotARange(const std::string& word, xl::Worksheet& sheet);
// The sheet of that name (without regard to case), or null.
xl::Worksheet* FindSheet(xl::Workbook& book, const Text& name);
// "no sheet 'NAME' in WHERE (its sheets: ...)".
std::string NoSuchSheet(const Text& name, xl::Workbook& book, std::string_view where);

// A text with backslashes, tabs, line feeds and carriage returns written as \\, \t, \n
// and \r: as the print commands show texts, and as set, cell text and comment read them.
std::string Escaped(const Text& text);

// The description of every command, for --help.
std::string CommandHelp();

}  // namespace quillary::cli
