#include "cli/range_request.h"

#include <memory>
#include <ostream>
#include <string_view>

#include "cli/controls.h"
#include "cli/failure.h"
#include "cli/script.h"
#include "cli/words.h"
#include "host/controls.h"

namespace quillary::cli {

namespace {

// The session of a request that the process ends right after (see RunRangeRequest).
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

// "NAME=VALUE" split at the first "=".
std::pair<std::string, std::string> Assignment(const std::string& option, const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw Failure(option + " takes NAME=VALUE, not '" + text + "'");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

}  // namespace

std::string ScriptLine(std::initializer_list<std::string_view> words) {
  std::string line;
  for (std::string_view w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line;
}

RangeRequest ParseRangeRequest(std::span<const std::string> args, const RangeRequestForm& form) {
  RangeRequest o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Failure(a + " needs a value");
      return args[++i];
    };
    if (!a.starts_with("--")) {
      o.positional.push_back(a);
      continue;
    }
    bool matched = false;
    for (const Switch& sw : kSwitches) {
      if (a == sw.option) {
        o.lines.push_back(ScriptLine({"set", ControlSpec(sw.control, "Value"), "True"}));
        matched = true;
      }
    }
    if (matched) continue;
    if (a == "--set") {
      const auto [name, v] = Assignment(a, value());
      o.lines.push_back(ScriptLine({"set", name, v}));
    } else if (a == "--answer") {
      const auto [kind, v] = Assignment(a, value());
      o.lines.push_back(ScriptLine({"answer", kind, v}));
    } else if (a == "--mode" && form.modeOption) {
      o.mode = value();
    } else if (a == "--save" && form.saveOptions) {
      o.save = true;
    } else if (a == "--save-to" && form.saveOptions) {
      o.saveTo = value();
    } else if (a == "--interactive") {
      o.interactive = true;
    } else if (a == "--unattended") {
      o.interactive = false;
    } else {
      throw Failure("unknown option '" + a + "'");
    }
  }
  if (o.positional.size() != form.positionals) {
    throw Failure(std::string(form.command) + " takes " + form.positionalWords);
  }
  return o;
}

std::string RangeRequestScript(const RangeRequest& request, const std::string& routine, const std::string& mode,
                               const std::vector<std::string>& after) {
  std::string text = RangeSelectionScript(request);
  text += ScriptLine({"call", routine, mode}) + "\n";
  for (const std::string& line : after) text += line + "\n";
  return text + RangeSaveScript(request);
}

std::string RangeSelectionScript(const RangeRequest& request) {
  std::string text = ScriptLine({"load", request.positional[0]}) + "\n";
  for (const std::string& line : request.lines) text += line + "\n";
  std::string range = request.positional[1];
  if (const auto bang = range.rfind('!'); bang != std::string::npos) {
    std::string sheet = range.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
    text += ScriptLine({"sheet", sheet}) + "\n";
    range = range.substr(bang + 1);
  }
  text += ScriptLine({"select", range}) + "\n";
  return text;
}

std::string RangeSaveScript(const RangeRequest& request) {
  if (request.saveTo) return ScriptLine({"save", *request.saveTo}) + "\n";
  if (request.save) return ScriptLine({"save", request.positional[0]}) + "\n";
  return {};
}

int RunRangeRequest(const RangeRequest& request, const std::string& script, ProgramIo io,
                    void (*report)(Session&, ProgramIo&)) {
  return RunRangeRequest(request, io, [&](Session& session) {
    const int status = RunScript(ParseScript(script, {}), session, io.out, io.err);
    if (status == kExitOk && report != nullptr) report(session, io);
    return status;
  });
}

int RunRangeRequest(const RangeRequest& request, ProgramIo io, const std::function<int(Session&)>& steps) {
  try {
    const bool interactive = request.interactive.value_or(io.inIsTerminal);
    auto session = std::make_unique<Session>(io.err, interactive ? &io.in : nullptr);
    const int status = steps(*session);
    io.out.flush();
    io.err.flush();
    // When the process ends next, the system takes the memory back at once. The session
    // stays reachable from here, so that leak checkers do not report it.
    if (io.exitAfterRun) leftToTheSystem = session.release();
    return status;
  } catch (const std::exception& e) {
    io.err << "quillary: " << e.what() << "\n";
    return kExitFailed;
  }
}

std::string RangeRequestOptionsHelp() {
  std::string help;
  for (const Switch& sw : kSwitches) {
    help += "  " + std::string(sw.option);
    help += std::string(std::max<std::size_t>(2, 22 - sw.option.size()), ' ') + std::string(sw.help) + " (" +
            ToUtf8(sw.control.name) + ")\n";
  }
  help +=
      "  --set FORM.CONTROL.PROPERTY=VALUE\n"
      "                        sets any control's property, as the \"set\" command\n"
      "  --answer KIND=VALUE   queues an answer (message, break, bigmsg, compare)\n"
      "  --interactive, --unattended   as for \"run\"\n";
  return help;
}

}  // namespace quillary::cli
