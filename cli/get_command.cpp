#include "cli/get_command.h"

#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/controls.h"
#include "cli/failure.h"
#include "cli/request_options.h"
#include "cli/script.h"
#include "cli/session.h"
#include "cli/words.h"
#include "host/controls.h"

namespace quillary::cli {

namespace {

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
  RequestOptions request;
};

GetOptions ParseGet(std::span<const std::string> args) {
  GetOptions o;
  const std::vector<std::string> positional =
      WalkArguments(args, o.request, [&](const std::string& a, const OptionValue&) {
        for (const Switch& sw : kSwitches) {
          if (a == sw.option) {
            o.request.lines.push_back(ScriptLine({"set", ControlSpec(sw.control, "Value"), "True"}));
            return true;
          }
        }
        return false;
      });
  if (positional.size() != 2) throw Failure("get takes a WORKBOOK and a RANGE");
  o.workbook = positional[0];
  o.range = positional[1];
  return o;
}

// The request as a script: open, set the options, select, press Get/Try, show.
std::string Script(const GetOptions& o) {
  std::string text = OpenAndSelect(o.workbook, o.range, o.request);
  text += ScriptLine({"call", "GetSubtractSortCnt", o.request.mode}) + "\n";
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
  help += RequestOptionsHelp(
      "(default Null; expand_ref re-reads the\n"
      "                        Active Window text instead of the cells)");
  help +=
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
    const bool interactive = o.request.interactive.value_or(io.inIsTerminal);
    auto session = std::make_unique<Session>(io.err, interactive ? &io.in : nullptr);
    const int status = RunScript(commands, *session, io.out, io.err);
    if (status == kExitOk) io.err << ToUtf8(session->Control(host::ctl::main::kCountLabel).Caption()) << "\n";
    io.out.flush();
    io.err.flush();
    // Nothing is saved by get: when the process ends next, the system takes the memory
    // back at once.
    if (io.exitAfterRun) (void)session.release();
    return status;
  } catch (const std::exception& e) {
    io.err << "quillary: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace quillary::cli
