#include "cli/request_options.h"

#include "cli/failure.h"
#include "cli/words.h"

namespace quillary::cli {

std::string ScriptLine(std::initializer_list<std::string_view> words) {
  std::string line;
  for (std::string_view w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line;
}

std::pair<std::string, std::string> Assignment(const std::string& option, const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw Failure(option + " takes NAME=VALUE, not '" + text + "'");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

bool TakeRequestOption(const std::string& option, const OptionValue& value, RequestOptions& options) {
  if (option == "--set") {
    const auto [name, v] = Assignment(option, value());
    options.lines.push_back(ScriptLine({"set", name, v}));
  } else if (option == "--answer") {
    const auto [kind, v] = Assignment(option, value());
    options.lines.push_back(ScriptLine({"answer", kind, v}));
  } else if (option == "--mode") {
    options.mode = value();
  } else if (option == "--interactive") {
    options.interactive = true;
  } else if (option == "--unattended") {
    options.interactive = false;
  } else {
    return false;
  }
  return true;
}

std::vector<std::string> WalkArguments(std::span<const std::string> args, RequestOptions& options,
                                       const std::function<bool(const std::string&, const OptionValue&)>& own) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const OptionValue value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Failure(a + " needs a value");
      return args[++i];
    };
    if (!a.starts_with("--")) {
      positional.push_back(a);
    } else if (!own(a, value) && !TakeRequestOption(a, value, options)) {
      throw Failure("unknown option '" + a + "'");
    }
  }
  return positional;
}

std::string OpenAndSelect(const std::string& workbook, const std::string& range, const RequestOptions& options) {
  std::string text = ScriptLine({"load", workbook}) + "\n";
  for (const std::string& line : options.lines) text += line + "\n";
  std::string cells = range;
  if (const auto bang = cells.rfind('!'); bang != std::string::npos) {
    std::string sheet = cells.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
    text += ScriptLine({"sheet", sheet}) + "\n";
    cells = cells.substr(bang + 1);
  }
  text += ScriptLine({"select", cells}) + "\n";
  return text;
}

std::string RequestOptionsHelp(std::string_view modeHelp) {
  return "  --set FORM.CONTROL.PROPERTY=VALUE\n"
         "                        sets any control's property, as the \"set\" command\n"
         "  --answer KIND=VALUE   queues an answer (message, break, bigmsg, compare)\n"
         "  --mode MODE           the request's mode " +
         std::string(modeHelp) +
         "\n"
         "  --interactive, --unattended   as for \"run\"\n";
}

}  // namespace quillary::cli
