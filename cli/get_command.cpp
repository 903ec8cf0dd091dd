#include "cli/get_command.h"

#include <ostream>

#include "cli/fault_report.h"
#include "cli/range_request.h"
#include "platform/runtime/phases.h"
#include "workbook/failure.h"

namespace quillary::cli {

namespace {

constexpr RangeRequestForm kGetForm{.command = "get",
                                    .positionals = 2,
                                    .positionalWords = "a WORKBOOK and a RANGE",
                                    .modeOption = true,
                                    .saveOptions = true};

// Get/Try on the selection, the Active Window text, then the count caption or the fault
// with its cells, then the save the options ask for.
int Steps(const RangeRequest& request, Session& session, ProgramIo& io) {
  if (const std::optional<int> end = OpenAndSelect(request, session, io)) return *end;
  const xl::Range selection = session.App().ActiveWindow()->RangeSelection();
  const int status =
      RunScript(std::vector{RequestCommand(request, "GetSubtractSortCnt"), MakeCommand({"print", "window"})}, session,
                io.out, io.err, request.program);
  if (status != kExitOk) return status;
  if (!WriteFaultReport(session, selection, io.err, request.program + ": ")) {
    io.err << ToUtf8(session.Control(host::ctl::main::kCountLabel).Caption()) << "\n";
  }
  return RunScript(SaveCommands(request), session, io.out, io.err, request.program);
}

}  // namespace

std::string GetHelp() {
  return "GET\n"
         "  quillary get WORKBOOK RANGE [OPTION...]\n"
         "      Opens WORKBOOK (a workbook folder, CSV files or an xlsx file as for \"load\"),\n"
         "      selects RANGE on its active sheet (or SHEET!RANGE; several areas separated by\n"
         "      commas; whole columns and rows are cut to what they hold, as the host add-in\n"
         "      does) and presses Get/Try: the Active Window text goes to standard output,\n"
         "      the count caption (or the fault) and every message to standard error.\n"
         "      In CountIndex# mode a fault is marked in the Active Window text between\n"
         "      \" Quilet> \" and \" <Quilet\": the Items read so far and the duplicated Item\n"
         "      after them (\" Quilet> R1-R2, R2 <Quilet\"), or the Item that broke the grammar\n"
         "      alone (\" Quilet> R1-R2-R3 <Quilet\"). The fault follows on standard error:\n"
         "      \"quillary get: fault: WORDS, the Item ITEM, in these cells of SHEET:\" and a\n"
         "      line for each cell that holds the Item (its name, a tab, its text); in\n"
         "      IgnoreIndex# mode with --sort, every duplicated Item, a tab, the cells it is in.\n" +
         RangeRequestOptionsHelp(true) +
         "  --mode MODE           the request's mode (default Null; expand_ref re-reads the\n"
         "                        Active Window text instead of the cells)\n"
         "  Every argument is taken as it is, as one word (a line feed or a quote in it is\n"
         "  part of it). Nothing is saved without --save or --save-to (tagging writes cells).\n"
         "  With QUILLARY_PHASES=1 in the environment, the time of each phase (load, sort,\n"
         "  paste, run) follows on standard error, one \"quillary: phase\" line each.\n"
         "  Examples:\n"
         "    quillary get samples/parts 'Parts!A2:A6'            condense a column\n"
         "    quillary get samples/parts 'Parts!A2:A12'           a duplicate and its two cells\n"
         "    quillary get samples/parts 'Parts!B:B' --ignore-index --sort\n"
         "                                                        every duplicated name\n"
         "    quillary get samples/revisions 'Names!A2:A9' --ignore-index --sort \\\n"
         "      --tag-duplicates --set CompDupUserForm.LocatorLabel.Value=True --save-to tagged\n"
         "                                                        tag them, save a copy\n";
}

int RunGet(std::span<const std::string> args, ProgramIo io) {
  RangeRequest request;
  try {
    request = ParseRangeRequest(args, kGetForm);
  } catch (const workbook::Failure& f) {
    io.err << "quillary get: " << f.what() << "\n";
    return kExitUsage;
  }
  int status = kExitOk;
  {
    const phases::Scope timed("run");
    status = RunRangeRequest(request, io, [&](Session& session) { return Steps(request, session, io); });
  }
  phases::Report(io.err);
  return status;
}

}  // namespace quillary::cli
