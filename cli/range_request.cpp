#include "cli/range_request.h"

#include <memory>
#include <ostream>
#include <string_view>

#include "cli/controls.h"
#include "cli/script.h"
#include "host/controls.h"
#include "platform/runtime/error.h"
#include "workbook/failure.h"
#include "workbook/save_transaction.h"
#include "workbook/words.h"
#include "workbook/workbook_io.h"
#include "workbook/xlsx.h"

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
  if (eq == std::string::npos || eq == 0)
    throw workbook::Failure(option + " takes NAME=VALUE, not " + workbook::Quoted(text));
  return {text.substr(0, eq), text.substr(eq + 1)};
}

}  // namespace

RangeRequest ParseRangeRequest(std::span<const std::string> args, const RangeRequestForm& form) {
  RangeRequest o;
  o.program = std::string("quillary ") + form.command;
  // A command of these words; a fault names the option and its value.
  const auto command = [](std::vector<std::string> words, const std::string& option, const std::string& text) {
    try {
      return MakeCommand(std::move(words));
    } catch (const workbook::Failure& f) {
      throw workbook::Failure(option + " " + text + ": " + f.what());
    }
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw workbook::Failure(a + " needs a value");
      return args[++i];
    };
    if (!a.starts_with("--")) {
      o.positional.push_back(a);
      continue;
    }
    bool matched = false;
    for (const Switch& sw : kSwitches) {
      if (a == sw.option) {
        o.settings.push_back(MakeCommand({"set", ControlSpec(sw.control, "Value"), "True"}));
        matched = true;
      }
    }
    if (matched) continue;
    if (a == "--set") {
      const std::string& text = value();
      const auto [name, v] = Assignment(a, text);
      o.settings.push_back(command({"set", name, v}, a, text));
    } else if (a == "--answer") {
      const std::string& text = value();
      const auto [kind, v] = Assignment(a, text);
      o.settings.push_back(command({"answer", kind, v}, a, text));
    } else if (a == "--mode" && form.modeOption) {
      o.mode = value();
    } else if (a == "--save" && form.saveOptions) {
      o.save = true;
    } else if (a == "--save-to" && form.saveOptions) {
      o.saveTo = value();
    } else if (a == "--verbose") {
      o.verbose = true;
    } else if (a == "--interactive") {
      o.interactive = true;
    } else if (a == "--unattended") {
      o.interactive = false;
    } else {
      throw workbook::Failure("unknown option " + workbook::Quoted(a));
    }
  }
  if (o.positional.size() != form.positionals) {
    throw workbook::Failure(std::string(form.command) + " takes " + form.positionalWords);
  }
  CheckRangeWord(o.positional[1]);
  // The place to save to is checked before anything runs: a run is not to end in a
  // save that cannot be made.
  if (o.save && !workbook::IsWorkbookFolder(o.positional[0]) && !workbook::IsXlsxPath(o.positional[0]) &&
      !workbook::IsXlsmPath(o.positional[0])) {
    throw workbook::Failure("--save writes back to WORKBOOK, and " + workbook::QuotedPath(o.positional[0]) +
                            " is no workbook folder or xlsx file: give --save-to FOLDER (or FILE.xlsx) to save a copy");
  }
  if (o.saveTo) workbook::CheckSaveTarget(*o.saveTo);
  if (o.save && (workbook::IsXlsxPath(o.positional[0]) || workbook::IsXlsmPath(o.positional[0]))) {
    workbook::CheckSaveTarget(o.positional[0], /*overItsSource=*/true);
  }
  return o;
}

std::optional<int> OpenAndSelect(const RangeRequest& request, Session& session, ProgramIo& io) {
  const std::string& book = request.positional[0];
  const std::string& word = request.positional[1];
  // A workbook that cannot be read is a bad argument: nothing ran.
  if (RunScript(std::vector{MakeCommand({"load", book})}, session, io.out, io.err, request.program) != kExitOk) {
    return kExitUsage;
  }
  if (const int status = RunScript(request.settings, session, io.out, io.err, request.program); status != kExitOk) {
    return status;
  }

  // RANGE is the user's word: a sheet or cells the workbook lacks are bad arguments.
  const RangeWord range = SplitRangeWord(word);
  xl::Worksheet* sheet = range.sheet ? FindSheet(session.Book(), *range.sheet) : &session.Book().ActiveSheet();
  std::string fault;
  if (sheet == nullptr) {
    fault = NoSuchSheet(*range.sheet, session.Book(), book);
  } else {
    try {
      sheet->Range(range.reference);
    } catch (const Error&) {
      fault = NotARange(word, *sheet);
    }
  }
  if (!fault.empty()) {
    io.out.flush();
    io.err << request.program << ": " << fault << "\n";
    return kExitUsage;
  }
  std::vector<Command> select;
  if (range.sheet) select.push_back(MakeCommand({"sheet", ToUtf8(*range.sheet)}));
  select.push_back(MakeCommand({"select", word}));
  select.push_back(MakeCommand({"call", "WholeColRow", request.mode.value_or("Null")}));
  if (const int status = RunScript(select, session, io.out, io.err, request.program); status != kExitOk) return status;
  // "1": the trimming stopped, after telling the user why.
  if (session.Control(host::ctl::mail::kResponse).Caption() != u"0") return kExitOk;
  return std::nullopt;
}

Command RequestCommand(const RangeRequest& request, const std::string& routine) {
  return MakeCommand({"call", routine, request.mode.value_or("Null")});
}

std::vector<Command> SaveCommands(const RangeRequest& request) {
  if (request.saveTo) return {MakeCommand({"save", *request.saveTo})};
  if (request.save) return {MakeCommand({"save", request.positional[0]})};
  return {};
}

int RunRangeRequest(const RangeRequest& request, ProgramIo io, const std::function<int(Session&)>& steps) {
  try {
    const bool interactive = request.interactive.value_or(io.inIsTerminal);
    auto session = std::make_unique<Session>(io.err, SessionOptionsFor(io, interactive, request.verbose, true));
    const int status = steps(*session);
    io.out.flush();
    io.err.flush();
    // When the process ends next, the system takes the memory back at once. The session
    // stays reachable from here, so that leak checkers do not report it.
    if (io.exitAfterRun) leftToTheSystem = session.release();
    return status;
  } catch (const std::exception& e) {
    io.err << request.program << ": " << e.what() << "\n";
    return kExitFailed;
  }
}

std::string RangeRequestOptionsHelp(bool saveOptions) {
  std::string help;
  for (const Switch& sw : kSwitches) {
    help += "  " + std::string(sw.option);
    help += std::string(std::max<std::size_t>(2, 22 - sw.option.size()), ' ') + std::string(sw.help) + " (" +
            ToUtf8(sw.control.name) + ")\n";
  }
  help +=
      "  --set FORM.CONTROL.PROPERTY=VALUE\n"
      "                        sets any control's property, as the \"set\" command\n"
      "  --answer KIND=VALUE   queues an answer (message, break, bigmsg, compare), as the\n"
      "                        \"answer\" command; give it once for each question, in order\n"
      "  --interactive, --unattended, --verbose   as for \"run\"\n";
  if (saveOptions) {
    help +=
        "  --save                saves the workbook back to WORKBOOK afterwards (a workbook\n"
        "                        folder or xlsx file)\n"
        "  --save-to PATH        saves it to PATH instead: a workbook folder (absent, empty\n"
        "                        or a workbook folder), or an xlsx file when PATH ends in\n"
        "                        .xlsx; WORKBOOK stays as it was\n";
  }
  return help;
}

}  // namespace quillary::cli
