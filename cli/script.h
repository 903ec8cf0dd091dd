// The script language of the command-line host: one command per line, in the word
// syntax of words.h ("#" comments, double quotes around words holding blanks). "${1}" to
// "${9}" stand for the script's arguments, "${1:-default}" for an argument or a
// default. A line beginning with kScriptEnd ends the script: what follows is not read
// (scenario files keep their expected results there). The commands and their forms are
// listed by CommandHelp().
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::cli {

class Session;

inline constexpr std::string_view kScriptEnd = "#### expected";

struct Command {
  long line = 0;
  std::vector<std::string> words;  // after argument substitution
  std::size_t spec = 0;            // index into the command table
};

// Reads a whole script and checks every command's name and argument count before any
// runs. Raises Failure "line N: ..." at the first fault.
std::vector<Command> ParseScript(std::string_view text, std::span<const std::string> args);

// Runs the commands; what `print` shows goes to `out`, errors and questions to `err`
// ("quillary: line N: ..."). Returns 0 when the script ran to its end, 1 when a command
// failed (the rest does not run).
int RunScript(std::span<const Command> commands, Session& session, std::ostream& out, std::ostream& err);

// The description of every command, for --help.
std::string CommandHelp();

}  // namespace quillary::cli
