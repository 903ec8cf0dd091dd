#include "cli/get_command.h"

#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/controls.h"
#include "cli/failure.h"
#include "cli/script.h"
#include "cli/session.h"
#include "cli/words.h"
#include "host/controls.h"

namespace quillary::cli {

namespace {

// The session of a get that the process ends right after (see RunGet).
Session* leftToTheSystem = nullptr;

// The main form's check boxes, by their meaning.
struct Switch {
  std::string_view option;
  host::ControlId control;
  std::string_view help;
};
constexpr Switch kSwitches[] = {
    {"--ignore-index", host::ctl::main::kIgnoreIndex, "IgnoreIndex# mode: Items are plain texts"},
    {"--expand-ranges", host::ctl::main::kExpandRanges, "ExpandRanges: one Item per index number"},
    {"--sort", host::ctl::main::kSort, "Sort (IgnoreIndex#): sort and list duplicates"},
    {"--tag-duplicates", host::ctl::main::kTagDuplicates, "tag duplicates"},
    {"--match-case", host::ctl::main::kMatchCase, "MatchCase"},
    {"--comma-space", host::ctl::main::kCommaSpace, "\", \" between Items in CountIndex# mode"},
};

struct GetOptions {
  std::string workbook;
  std::string range;
  std::string mode = "Null";
  std::vector<std::string> lines;  // script lines set before the request
  std::optional<bool> interactive;
};

std::string Line(std::initializer_list<std::string_view> words) {
  std::string line;
  for (std::string_view w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line;
}

// "NAME=VALUE" split at the first "=".
std::pair<std::string, std::string> Assignment(const std::string& option, const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw Failure(option + " takes NAME=VALUE, not '" + text + "'");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

GetOptions ParseGet(std::span<const std::string> args) {
  GetOptions o;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Failure(a + " needs a value");
      return args[++i];
    };
    if (!a.starts_with("--")) {
      positional.push_back(a);
      continue;
    }
    bool matched = false;
    for (const Switch& sw : kSwitches) {
      if (a == sw.option) {
        o.lines.push_back(Line({"set", ControlSpec(sw.control, "Value"), "True"}));
        matched = true;
      }
    }
    if (matched) continue;
    if (a == "--set") {
      const auto [name, v] = Assignment(a, value());
      o.lines.push_back(Line({"set", name, v}));
    } else if (a == "--answer") {
      const auto [kind, v] = Assignment(a, value());
      o.lines.push_back(Line({"answer", kind, v}));
    } else if (a == "--mode") {
      o.mode = value();
    } else if (a == "--interactive") {
      o.interactive = true;
    } else if (a == "--unattended") {
      o.interactive = false;
    } else {
      throw Failure("unknown option '" + a + "'");
    }
  }
  if (positional.size() != 2) throw Failure("get takes a WORKBOOK and a RANGE");
  o.workbook = positional[0];
  o.range = positional[1];
  return o;
}

// The request as a script: open, set the options, select (on the sheet the range
// names, which becomes the active sheet, as a user selects), press Get/Try, show.
std::string Script(const GetOptions& o) {
  std::string text = Line({"load", o.workbook}) + "\n";
  for (const std::string& line : o.lines) text += line + "\n";
  std::string range = o.range;
  if (const auto bang = range.rfind('!'); bang != std::string::npos) {
    std::string sheet = range.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
    text += Line({"sheet", sheet}) + "\n";
    range = range.substr(bang + 1);
  }
  text += Line({"select", range}) + "\n";
  text += Line({"call", "GetSubtractSortCnt", o.mode}) + "\n";
  text += "print window\n";
  return text;
}

}  // namespace

std::string GetHelp() {
  std::string help =
      "GET\n"
      "  quillary get WORKBOOK RANGE [OPTION...]\n"
      "      Opens WORKBOOK (a workbook folder or CSV files as for \"load\"), selects RANGE\n"
      "      on its active sheet (or SHEET!RANGE; several areas separated by commas) and\n"
      "      presses Get/Try: the Active Window text goes to standard output, the count\n"
      "      caption (or the fault) and every message to standard error.\n";
  for (const Switch& sw : kSwitches) {
    help += "  " + std::string(sw.option);
    help += std::string(std::max<std::size_t>(2, 22 - sw.option.size()), ' ') + std::string(sw.help) + " (" +
            ToUtf8(sw.control.name) + ")\n";
  }
  help +=
      "  --set FORM.CONTROL.PROPERTY=VALUE\n"
      "                        sets any control's property, as the \"set\" command\n"
      "  --answer KIND=VALUE   queues an answer (message, break, bigmsg, compare)\n"
      "  --mode MODE           the request's mode (default Null; expand_ref re-reads the\n"
      "                        Active Window text instead of the cells)\n"
      "  --interactive, --unattended   as for \"run\"\n"
      "  Exit status: 0 when Get/Try ended normally, also on a grammar fault it reported;\n"
      "  1 when the workbook cannot be read or the component failed; 2 for bad arguments.\n";
  return help;
}

int RunGet(std::span<const std::string> args, ProgramIo io) {
  GetOptions o;
  try {
    o = ParseGet(args);
  } catch (const Failure& f) {
    io.err << "quillary: " << f.what() << "\n";
    return kExitUsage;
  }
  try {
    const auto commands = ParseScript(Script(o), {});
    const bool interactive = o.interactive.value_or(io.inIsTerminal);
    auto session = std::make_unique<Session>(io.err, interactive ? &io.in : nullptr);
    const int status = RunScript(commands, *session, io.out, io.err);
    if (status == kExitOk) io.err << ToUtf8(session->Control(host::ctl::main::kCountLabel).Caption()) << "\n";
    io.out.flush();
    io.err.flush();
    // Nothing is saved by get: when the process ends next, the system takes the memory
    // back at once. The session stays reachable from here, so that leak checkers do not
    // report it.
    if (io.exitAfterRun) leftToTheSystem = session.release();
    return status;
  } catch (const std::exception& e) {
    io.err << "quillary: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace quillary::cli
