#include "cli/get_command.h"

#include <ostream>

#include "cli/failure.h"
#include "cli/range_request.h"
#include "platform/runtime/phases.h"

namespace quillary::cli {

namespace {

constexpr RangeRequestForm kGetForm{
    .command = "get", .positionals = 2, .positionalWords = "a WORKBOOK and a RANGE", .modeOption = true};

// The count caption (or the fault), after the Active Window text.
void ReportCount(Session& session, ProgramIo& io) {
  io.err << ToUtf8(session.Control(host::ctl::main::kCountLabel).Caption()) << "\n";
}

}  // namespace

std::string GetHelp() {
  return "GET\n"
         "  quillary get WORKBOOK RANGE [OPTION...]\n"
         "      Opens WORKBOOK (a workbook folder, CSV files or an xlsx file as for \"load\"),\n"
         "      selects RANGE on its active sheet (or SHEET!RANGE; several areas separated by\n"
         "      commas) and presses Get/Try: the Active Window text goes to standard output,\n"
         "      the count caption (or the fault) and every message to standard error.\n" +
         RangeRequestOptionsHelp() +
         "  --mode MODE           the request's mode (default Null; expand_ref re-reads the\n"
         "                        Active Window text instead of the cells)\n"
         "  Every argument is taken as it is, as one word (a line feed or a quote in it is\n"
         "  part of it). Nothing is saved: the workbook is read, never written.\n"
         "  Exit status: 0 when Get/Try ended normally, also on a grammar fault it reported;\n"
         "  1 when the workbook cannot be read or the component failed; 2 for bad arguments:\n"
         "  an unknown option, a RANGE that is no range or not in the workbook (a sheet it\n"
         "  does not have, an undefined name), a control or value --set cannot set, an\n"
         "  answer --answer cannot give.\n"
         "  With QUILLARY_PHASES=1 in the environment, the time of each phase (load, sort,\n"
         "  paste, run) follows on standard error, one \"quillary: phase\" line each.\n";
}

int RunGet(std::span<const std::string> args, ProgramIo io) {
  RangeRequest request;
  std::vector<Command> commands;
  try {
    request = ParseRangeRequest(args, kGetForm);
    commands = RequestCommands(request, "GetSubtractSortCnt", request.mode.value_or("Null"),
                               {MakeCommand({"print", "window"})});
  } catch (const Failure& f) {
    io.err << "quillary get: " << f.what() << "\n";
    return kExitUsage;
  }
  int status = kExitOk;
  {
    const phases::Scope timed("run");
    status = RunRangeRequest(request, commands, io, ReportCount);
  }
  phases::Report(io.err);
  return status;
}

}  // namespace quillary::cli
