#include "cli/parse_command.h"

#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <vector>

#include "cli/controls.h"
#include "cli/range_request.h"
#include "cli/script.h"
#include "cli/session.h"
#include "host/controls.h"
#include "platform/excel/excel.h"
#include "workbook/failure.h"
#include "workbook/plain_file.h"
#include "workbook/words.h"

namespace quillary::cli {

namespace {

namespace ctl = host::ctl;

// The output delimiter choices, by the parse form's option buttons.
struct Delimiter {
  std::string_view word;
  const host::ControlId* option;  // null: none ticked (",")
};
constexpr Delimiter kDelimiters[] = {
    {"comma", nullptr},
    {"bar", &ctl::parse::kBarOption},
    {"semicolon", &ctl::parse::kSemicolonOption},
    {"tab", &ctl::parse::kTabOption},
};

// The operands' texts, by their letters.
struct Operand {
  std::string_view option;
  const host::ControlId* control;
};
constexpr Operand kOperands[] = {
    {"--a", &ctl::parse::kOperandA},
    {"--b", &ctl::parse::kOperandB},
    {"--c", &ctl::parse::kOperandC},
    {"--d", &ctl::parse::kOperandD},
};

struct ParseOptions {
  RangeRequest request;
  Text script;
  std::string target;
};

// A parsing script is one line: a file's line break at its end is not part of it.
Text ScriptText(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.find_first_of("\r\n") != std::string::npos) throw workbook::Failure("a parsing script is one line");
  return FromUtf8(text);
}

// The option buttons set for the delimiter `word`, as "--set" options.
void SetDelimiter(const std::string& word, std::vector<std::string>& shared) {
  const Delimiter* chosen = nullptr;
  for (const Delimiter& d : kDelimiters) {
    if (word == d.word) chosen = &d;
  }
  if (chosen == nullptr)
    throw workbook::Failure("--delimiter takes comma, bar, semicolon or tab, not " + workbook::Quoted(word));
  for (const Delimiter& d : kDelimiters) {
    if (d.option == nullptr) continue;
    shared.push_back("--set");
    shared.push_back(ControlSpec(*d.option, "Value") + "=" + (d.option == chosen->option ? "True" : "False"));
  }
}

// The parse form's own options are taken here (the operands and the delimiter as the
// controls they set); the others are the range requests' shared ones.
ParseOptions ParseArguments(std::span<const std::string> args) {
  ParseOptions o;
  std::optional<std::string> scriptFile;
  std::vector<std::string> shared;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw workbook::Failure(a + " needs a value");
      return args[++i];
    };
    bool operand = false;
    for (const Operand& op : kOperands) {
      if (a == op.option) {
        // An operand's text is taken as it is: set reads escapes, so they are written.
        shared.push_back("--set");
        shared.push_back(ControlSpec(*op.control, "Value") + "=" + Escaped(FromUtf8(value())));
        operand = true;
      }
    }
    if (operand) continue;
    if (a == "--delimiter") {
      SetDelimiter(value(), shared);
    } else if (a == "--target") {
      o.target = value();
    } else if (a == "--script-file") {
      scriptFile = value();
    } else {
      shared.push_back(a);
    }
  }
  const RangeRequestForm form{
      .command = "parse",
      .positionals = scriptFile ? 2u : 3u,
      .positionalWords = scriptFile ? "a WORKBOOK and a RANGE with --script-file" : "a WORKBOOK, a RANGE and a SCRIPT",
      .modeOption = true,
      .saveOptions = true};
  o.request = ParseRangeRequest(shared, form);
  o.script = ScriptText(scriptFile ? workbook::ReadScriptFile(*scriptFile) : o.request.positional[2]);
  return o;
}

// The visible sheets' names (the working sheet, which a run may add, is very hidden).
std::set<Text> SheetNames(Session& session) {
  std::set<Text> names;
  xl::Workbook& book = session.Book();
  for (long i = 1; i <= book.Worksheets().Count(); ++i) {
    const xl::Worksheet& sheet = book.Worksheets().Item(i);
    if (sheet.Visible() == xl::xlSheetVisible) names.insert(sheet.Name());
  }
  return names;
}

// The sheet the lines went to: the one the run added, else the one the target names.
std::optional<Text> ResultSheet(Session& session, const std::set<Text>& before, const std::string& target) {
  for (const Text& name : SheetNames(session)) {
    if (!before.contains(name)) return name;
  }
  if (!target.empty()) return FromUtf8(target);
  return std::nullopt;
}

// "print cells" of the sheet's used range.
Command PrintSheet(xl::Worksheet& sheet) {
  Text quoted = u"'";
  for (const char16_t c : sheet.Name()) quoted += c == u'\'' ? Text(u"''") : Text(1, c);
  quoted += u"'!";
  return MakeCommand({"print", "cells", ToUtf8(quoted + sheet.UsedRange().Address())});
}

int Steps(const ParseOptions& o, Session& session, ProgramIo& io) {
  if (const std::optional<int> end = OpenAndSelect(o.request, session, io)) return *end;

  // The host's part before it sends "Parser": the script, the source address and the
  // target choice.
  session.Control(ctl::parse::kScript).SetValue(o.script);
  session.Control(ctl::mail::kMessage).SetCaption(session.App().ActiveWindow()->RangeSelection().Address());
  session.Control(ctl::mail::kResultSheet).SetCaption(FromUtf8(o.target));
  const std::set<Text> before = SheetNames(session);
  const int status =
      RunScript(std::vector{RequestCommand(o.request, "Parser")}, session, io.out, io.err, o.request.program);
  if (status != kExitOk) return status;

  std::vector<Command> after;
  if (const std::optional<Text> result = ResultSheet(session, before, o.target)) {
    after.push_back(PrintSheet(session.Book().Worksheets().Item(*result)));
  }
  for (Command& save : SaveCommands(o.request)) after.push_back(std::move(save));
  return RunScript(after, session, io.out, io.err, o.request.program);
}

}  // namespace

std::string ParseHelp() {
  return "PARSE\n"
         "  quillary parse WORKBOOK RANGE SCRIPT [OPTION...]\n"
         "  quillary parse WORKBOOK RANGE --script-file FILE [OPTION...]\n"
         "      Opens WORKBOOK, selects RANGE as for \"get\" and sends \"Parser\" with SCRIPT\n"
         "      as the parse form's script (from FILE: one line, which may hold the Chr(31) of\n"
         "      a row condition). The rows of the sheet the lines went to are printed, cells\n"
         "      separated by tabs, as \"print cells\" prints them; every message goes to\n"
         "      standard error.\n"
         "  --a TEXT, --b TEXT, --c TEXT, --d TEXT\n"
         "                        the texts of the operands a to d, as they are (a\n"
         "                        backslash is a backslash)\n"
         "  --delimiter comma|bar|semicolon|tab\n"
         "                        the output delimiter (default comma)\n"
         "  --target SHEET        the lines go to that sheet (after asking when it holds\n"
         "                        data), or, when it is RANGE's own sheet, over the source\n"
         "                        cells; without it, to a new sheet SHEET-TxtToCol<n>\n" +
         RangeRequestOptionsHelp(true) +
         "  --mode MODE           the request's mode (default Null; it titles the messages)\n"
         "  Example (each line split at its commas into tab-separated columns):\n"
         "    quillary parse samples/report A1:A9 ',>o_' --delimiter tab\n";
}

int RunParse(std::span<const std::string> args, ProgramIo io) {
  ParseOptions o;
  try {
    o = ParseArguments(args);
  } catch (const workbook::Failure& f) {
    io.err << "quillary parse: " << f.what() << "\n";
    return kExitUsage;
  }
  return RunRangeRequest(o.request, io, [&](Session& session) { return Steps(o, session, io); });
}

}  // namespace quillary::cli
