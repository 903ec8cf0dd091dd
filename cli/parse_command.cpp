#include "cli/parse_command.h"

#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <vector>

#include "cli/controls.h"
#include "cli/failure.h"
#include "cli/request_options.h"
#include "cli/script.h"
#include "cli/session.h"
#include "host/controls.h"
#include "platform/excel/excel.h"

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
  std::string workbook;
  std::string range;
  Text script;
  std::string target;
  std::optional<std::string> save;
  RequestOptions request;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Failure("cannot read the script file '" + path + "'");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// A parsing script is one line: a file's line break at its end is not part of it.
Text ScriptText(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.find_first_of("\r\n") != std::string::npos) throw Failure("a parsing script is one line");
  return FromUtf8(text);
}

// The option buttons set for the delimiter `word`.
void SetDelimiter(const std::string& word, RequestOptions& request) {
  const Delimiter* chosen = nullptr;
  for (const Delimiter& d : kDelimiters) {
    if (word == d.word) chosen = &d;
  }
  if (chosen == nullptr) throw Failure("--delimiter takes comma, bar, semicolon or tab, not '" + word + "'");
  for (const Delimiter& d : kDelimiters) {
    if (d.option != nullptr) {
      request.lines.push_back(
          ScriptLine({"set", ControlSpec(*d.option, "Value"), d.option == chosen->option ? "True" : "False"}));
    }
  }
}

ParseOptions ParseArguments(std::span<const std::string> args) {
  ParseOptions o;
  std::optional<std::string> scriptFile;
  const std::vector<std::string> positional =
      WalkArguments(args, o.request, [&](const std::string& a, const OptionValue& value) {
        for (const Operand& op : kOperands) {
          if (a == op.option) {
            o.request.lines.push_back(ScriptLine({"set", ControlSpec(*op.control, "Value"), value()}));
            return true;
          }
        }
        if (a == "--delimiter") {
          SetDelimiter(value(), o.request);
        } else if (a == "--target") {
          o.target = value();
        } else if (a == "--script-file") {
          scriptFile = value();
        } else if (a == "--save") {
          o.save = value();
        } else {
          return false;
        }
        return true;
      });
  const std::size_t wanted = scriptFile ? 2 : 3;
  if (positional.size() != wanted) {
    throw Failure(scriptFile ? "parse --script-file takes a WORKBOOK and a RANGE"
                             : "parse takes a WORKBOOK, a RANGE and a SCRIPT");
  }
  o.workbook = positional[0];
  o.range = positional[1];
  o.script = ScriptText(scriptFile ? ReadFile(*scriptFile) : positional[2]);
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

int Run(const ParseOptions& o, ProgramIo io) {
  const bool interactive = o.request.interactive.value_or(io.inIsTerminal);
  auto session = std::make_unique<Session>(io.err, interactive ? &io.in : nullptr);
  int status = RunScript(ParseScript(OpenAndSelect(o.workbook, o.range, o.request), {}), *session, io.out, io.err);
  if (status != kExitOk) return status;

  // The host's part before it sends "Parser": the script, the source address and the
  // target choice.
  xl::Window* window = session->App().ActiveWindow();
  session->Control(ctl::parse::kScript).SetValue(o.script);
  session->Control(ctl::mail::kMessage).SetCaption(window->RangeSelection().Address());
  session->Control(ctl::mail::kResultSheet).SetCaption(FromUtf8(o.target));
  const std::set<Text> before = SheetNames(*session);
  status = RunScript(ParseScript(ScriptLine({"call", "Parser", o.request.mode}), {}), *session, io.out, io.err);
  if (status != kExitOk) return status;

  std::string after;
  if (const std::optional<Text> result = ResultSheet(*session, before, o.target)) {
    xl::Worksheet& sheet = session->Book().Worksheets().Item(*result);
    Text quoted = u"'";
    for (const char16_t c : sheet.Name()) quoted += c == u'\'' ? Text(u"''") : Text(1, c);
    quoted += u"'!";
    after += ScriptLine({"print", "cells", ToUtf8(quoted + sheet.UsedRange().Address())}) + "\n";
  }
  if (o.save) after += ScriptLine({"save", *o.save}) + "\n";
  status = RunScript(ParseScript(after, {}), *session, io.out, io.err);
  if (io.exitAfterRun) (void)session.release();
  return status;
}

}  // namespace

std::string ParseHelp() {
  return "PARSE\n"
         "  quillary parse WORKBOOK RANGE SCRIPT [OPTION...]\n"
         "  quillary parse WORKBOOK RANGE --script-file FILE [OPTION...]\n"
         "      Opens WORKBOOK, selects RANGE on its active sheet (or SHEET!RANGE; several\n"
         "      areas separated by commas) and sends \"Parser\" with SCRIPT as the parse\n"
         "      form's script (from FILE: one line, which may hold Chr(31)). The rows of the\n"
         "      sheet the lines went to are printed, cells separated by tabs, as \"print\n"
         "      cells\" prints them; every message goes to standard error.\n"
         "  --a TEXT, --b TEXT, --c TEXT, --d TEXT\n"
         "                        the texts of the operands a to d\n"
         "  --delimiter comma|bar|semicolon|tab\n"
         "                        the output delimiter (default comma)\n"
         "  --target SHEET        the lines go to that sheet (after asking when it holds\n"
         "                        data), or, when it is RANGE's own sheet, over the source\n"
         "                        cells; without it, to a new sheet SHEET-TxtToCol<n>\n"
         "  --save FOLDER         saves the workbook afterwards, as the \"save\" command\n" +
         RequestOptionsHelp("(default Null; it titles the messages)") +
         "  Exit status: 0 when the run ended normally, also when the parser stopped it with\n"
         "  a message; 1 when the workbook cannot be read or saved or the component failed;\n"
         "  2 for bad arguments.\n";
}

int RunParse(std::span<const std::string> args, ProgramIo io) {
  ParseOptions o;
  try {
    o = ParseArguments(args);
  } catch (const Failure& f) {
    io.err << "quillary: " << f.what() << "\n";
    return kExitUsage;
  }
  try {
    const int status = Run(o, io);
    io.out.flush();
    io.err.flush();
    return status;
  } catch (const std::exception& e) {
    io.err << "quillary: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace quillary::cli
