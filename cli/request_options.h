// The options that the one-request commands (`get`, `parse`) share: setting any
// control, queueing answers, the request's mode and who answers its questions; and the
// script lines those commands are made of.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::cli {

struct RequestOptions {
  // Script lines run before the request ("set ...", "answer ...").
  std::vector<std::string> lines;
  std::string mode = "Null";
  std::optional<bool> interactive;
};

// One script line of the words, each quoted as the script syntax needs.
std::string ScriptLine(std::initializer_list<std::string_view> words);

// "NAME=VALUE" split at the first "="; Failure naming `option` otherwise.
std::pair<std::string, std::string> Assignment(const std::string& option, const std::string& text);

// Reads a value-taking option's value (the next argument; Failure when there is none).
using OptionValue = std::function<const std::string&()>;

// Walks a command's arguments: the words that do not begin with "--" are returned in
// order; each option goes to `own` (which takes it and answers true, reading a value
// through the reader when it has one), else to the shared ones. Failure for an option
// that neither takes.
std::vector<std::string> WalkArguments(std::span<const std::string> args, RequestOptions& options,
                                       const std::function<bool(const std::string&, const OptionValue&)>& own);

// Takes the option `option` when it is one of the shared ones (--set, --answer, --mode,
// --interactive, --unattended), reading its value through `value`; false for others.
bool TakeRequestOption(const std::string& option, const OptionValue& value,
                       RequestOptions& options);

// The script lines that open `workbook` (a workbook folder or CSV files), run the
// option lines and select `range` ("A1:B4", "SHEET!A1:B4", several areas separated by
// commas) on the sheet it names, which becomes the active sheet, as a user selects.
std::string OpenAndSelect(const std::string& workbook, const std::string& range, const RequestOptions& options);

// The shared options' part of --help; `modeHelp` tells what the mode does ("(default
// Null)" when it does nothing in particular).
std::string RequestOptionsHelp(std::string_view modeHelp);

}  // namespace quillary::cli
