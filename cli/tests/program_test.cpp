// The program end to end: scripts run in-process on workbook folders made by the tests.
#include "cli/program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "cli/connection.h"
#include "cli/tests/run_program.h"
#include "drivers/routines.h"
#include "host/connect.h"
#include "platform/system/memory/memory_system.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/workbook_io.h"

namespace quillary::cli {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::RunInProcess;
using workbook::testing::TempDir;
using workbook::testing::WriteText;

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "parts" / workbook::kManifestFile, "quillary-workbook 1\nsheet Parts Parts.csv -1\nactive Parts\n");
    WriteText(dir / "parts" / "Parts.csv",
              "RefDes,Name\r\n\"R1, R2, R5-R7\",Resistor\r\nC1-C4,Capacitor\r\nU1,Controller\r\nR2,Resistor\r\n");
  }

  // Runs a script written to a file, with ${1} the test's folder.
  Outcome RunScript(std::string_view script) {
    WriteText(dir / "test.qs", script);
    return RunInProcess({"run", (dir / "test.qs").string(), dir.Path().string()});
  }

  TempDir dir;
};

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST_F(Program, ScriptsFailWithTheLineAndTheError) {
  struct Case {
    const char* script;
    int status;
    std::string err;  // a part of standard error
    std::string out;  // all of standard output
  };
  const Case cases[] = {
      {"new\nprint sheets\nselct A1\n", 2, "quillary: line 3: unknown command 'selct'\n", ""},
      {"load ${1}/nowhere\n", 1, "line 1: ", ""},
      {"new\nsheet Nope\n", 1, "line 2: no sheet 'Nope'", ""},
      {"new\nset MainUserForm.Nope.Value 1\n", 2, "line 2: the form MainUserForm has no control 'Nope'", ""},
      {"new\nset Main.CheckBox1.Value 1\n", 2, "line 2: unknown form 'Main'", ""},
      {"new\nanswer message Maybe\n", 2, "line 2: 'Maybe' is no answer here", ""},
      {"print selection\n", 1, "line 1: no workbook is open", ""},
      {"new\nprotect workbook all\n", 2, "line 2: protect workbook takes 'structure' and 'windows', not 'all'", ""},
      {"new\nprotect sheet Sheet1 x allow-formatting\n", 2, "line 2: usage: protect sheet [SHEET]", ""},
      {"new\nhide rows nowhere\n", 1, "line 2: 'nowhere' is neither a range nor a defined name of the sheet Sheet1",
       ""},
      {"new\ncomment A1 x\ncomment A1 y\n", 1, "line 3: error 1004", ""},
      {"new\ncomment A1 x shown\n", 2, "line 2: comment takes 'visible' after the text, not 'shown'", ""},
      {"new\nvisibility Sheet1 1\n", 2, "line 2: visibility takes -1 (visible), 0 (hidden) or 2", ""},
      {"new\nclipboard fail many\n", 2, "line 2: clipboard fail takes a count, not 'many'", ""},
      {"new\nclipboard fail 2 paste\n", 2, "line 2: clipboard fail takes 'clear', 'set' or 'get', not 'paste'", ""},
      {"new\nset MainUserForm.TextBox1.Text a\\qb\n", 2, "line 2: 'a\\qb': a backslash begins", ""},
      {"new\ncell 1:1048576 x\n", 1,
       "line 2: cell 1:1048576 would fill 17,179,869,184 cells; cell fills at most 10,000,000 at once", ""},
      {"new\ncell text A:K x\n", 1, "line 2: cell text A:K would fill 11,534,336 cells;", ""},
  };
  for (const Case& c : cases) {
    const Outcome run = RunScript(c.script);
    EXPECT_EQ(run.status, c.status) << c.script << run.err;
    EXPECT_TRUE(Has(run.err, c.err)) << c.script << run.err;
    EXPECT_EQ(run.out, c.out) << c.script;
  }
}

// The words of every line are checked before the first command runs: a script whose
// line 7 is bad prints, writes and saves nothing, and names line 7 and the word.
TEST_F(Program, ABadLineStopsTheScriptBeforeAnythingRuns) {
  const std::string start = "new\ncell A1 x\nprint cells A1\nsave ${1}/out\n# a comment\n\n";
  const struct {
    std::string line;
    std::string err;
  } cases[] = {
      {"answer message Yes Maybe", "'Maybe' is no answer here; use one of: "},
      {"answer compare UseOld", "'UseOld' is no answer here; use one of: "},
      {"select A0:B", "'A0:B' is not a range"},
      {"print cells Sheet1!", "'Sheet1!' is not a range"},
      {"select Sheet1!A1,Sheet2!A1", "'Sheet1!A1,Sheet2!A1' names a sheet after its first area"},
      {"set MainUserForm.CheckBox1.Value maybe", "MainUserForm.CheckBox1.Value takes True, False or Null, not 'maybe'"},
      {"set MainUserForm.TextBox1.Value Null", "MainUserForm.TextBox1.Value takes a text (a text box is never Null)"},
      {"set MainUserForm.CheckBox1.Enabled yes", "MainUserForm.CheckBox1.Enabled takes True or False, not 'yes'"},
      {"set MainUserForm.TextBox1.TextAlign 7", "MainUserForm.TextBox1.TextAlign does not take '7': "},
      {"set MainUserForm.Label2.Value x", "the control MainUserForm.Label2 has no property Value"},
      {"print control MainUserForm.Label2.Text", "the control MainUserForm.Label2 has no property Text"},
      {"list add MainUserForm.TextBox1 a", "MainUserForm.TextBox1 is no list box"},
      {"cell text A1 a\\qb", "'a\\qb': a backslash begins"},
      {"comment A1 x shown", "comment takes 'visible' after the text, not 'shown'"},
      {"visibility Sheet1 1", "visibility takes -1 (visible), 0 (hidden) or 2 (very hidden), not '1'"},
      {"clipboard fail many", "clipboard fail takes a count, not 'many'"},
      {"new huge", "new takes 'small' or 'large', not 'huge'"},
      {"protect workbook all", "protect workbook takes 'structure' and 'windows', not 'all'"},
      // A long word is cut in the message, with its length; a NUL byte does not end it.
      {"select A" + std::string(1'000'000, '1'),
       "'A" + std::string(59, '1') + "...' (1000001 characters) is not a range"},
      {std::string("set MainUserForm.CheckBox1.Value \"ma\0ybe\"", 41),
       "MainUserForm.CheckBox1.Value takes True, False or Null, not 'ma\\0ybe'\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = RunScript(start + c.line + "\n");
    EXPECT_EQ(run.status, kExitUsage) << c.line;
    EXPECT_EQ(run.out, "") << c.line;
    EXPECT_EQ(run.err.substr(0, 18 + c.err.size()), "quillary: line 7: " + c.err) << run.err;
    EXPECT_FALSE(fs::exists(dir / "out")) << c.line;
  }
}

// A script saved with a byte order mark runs as the same script without one.
TEST_F(Program, AScriptWithAByteOrderMarkRuns) {
  const Outcome run = RunScript("\xEF\xBB\xBFnew\ncell A1 x\nprint cells A1\nselct\n");
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(run.err, "quillary: line 4: unknown command 'selct'\n");
  EXPECT_EQ(RunScript("\xEF\xBB\xBFnew\ncell A1 x\nprint cells A1\n").out, "x\n");
}

// A text longer than a cell holds is cut, and the note names the cells.
TEST_F(Program, TextsCutToWhatACellHoldsAreNamed) {
  const Outcome run = RunScript("new\ncell A1 " + std::string(1'000'000, 'x') + "\ncell text B1:B2 " +
                                std::string(33'000, 'y') + "\ncell C1 '" + std::string(32'767, 'z') + "\n");
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.err,
            "quillary: line 2: note: Sheet1!A1: the text of 1000000 characters was cut to the 32767 a cell holds\n"
            "quillary: line 3: note: Sheet1!B1:B2: the text of 33000 characters was cut to the 32767 a cell holds\n");
}

TEST_F(Program, BadArgumentsGiveUsage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"frobnicate"},
                                               {"run"},
                                               {"run", "--loud", "x.qs"},
                                               {"run", "--interactive", "-"},
                                               {"run", "--through-com", "x.qs"}}) {
    const Outcome run = RunInProcess(args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(Has(run.err, "usage: quillary run")) << run.err;
  }
  EXPECT_EQ(RunInProcess({"run", (dir / "missing.qs").string()}).status, kExitUsage);
  const Outcome folder = RunInProcess({"run", dir.Path().string()});
  EXPECT_EQ(folder.status, kExitUsage);
  EXPECT_TRUE(Has(folder.err, "is a folder, not a script")) << folder.err;
  EXPECT_EQ(RunInProcess({"--help"}).status, kExitOk);
}

TEST_F(Program, ScriptFromStandardInput) {
  const Outcome run = RunInProcess({"run", "-", (dir / "parts").string()}, "load ${1}\nprint cells B2:B3\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Resistor\nCapacitor\n");
}

// An unattended run never takes a default answer that writes over what cells hold: it
// stops at the question, runs and saves nothing after it, and names the answers that
// would answer it, which then let the same script run through.
TEST_F(Program, AnUnattendedRunStopsAtADefaultThatWritesOverCells) {
  const std::string tagging = "set MainUserForm.CheckBox1.Value True\nset MainUserForm.CheckBox3.Value True\n";
  const struct {
    std::string script;  // ends with the request that asks
    std::string does;
    std::string answers;  // what the stop says to give
  } cases[] = {
      {"new\ncell A1 R1\ncell B1 old\nselect A1\ncall PasteRight Paste_>\n",
       "OK, clears and writes over the cells beside the selection that hold data", "answer message OK"},
      {"new\ncell A1 http://x.invalid/\nselect A1\ncall Actions \"Hyperlink|| ReplaceWith\"\ncell B1 old\n"
       "call Actions \"Hyperlink|| Extract\"\n",
       "OK, clears and writes over the cells beside the selection that hold data", "answer message OK"},
      {"new\ncell A1 \"John Smith\"\ncell B1 old\nselect A1\ncall Actions \"LastWord First w/Filter\"\n",
       "OK, writes over the cells right of the selection", "answer message OK"},
      {"new\ncell A1:A2 b\ncell B1 old\nselect A1:A2\n" + tagging +
           "set MainUserForm.CheckBox4.Value True\nset CompDupUserForm.LocatorLabel.Value True\n"
           "call GetSubtractSortCnt\n",
       "Yes, clears the cells right of the selection", "answer message Yes"},
      {"new\ncell A1:A2 b\ncomment A1 mine\nselect A1:A2\n" + tagging + "call GetSubtractSortCnt\n",
       "OK, deletes the comment of the selection's top-left cell", "answer message OK"},
  };
  for (const auto& c : cases) {
    const Outcome stopped = RunScript(c.script + "print cells B1\nsave ${1}/out\n");
    EXPECT_EQ(stopped.status, kExitFailed) << c.script << stopped.err;
    EXPECT_EQ(stopped.out, "") << c.script;
    EXPECT_FALSE(fs::exists(dir / "out")) << c.script;
    const std::string stop = "stopped at the message \"";
    ASSERT_TRUE(Has(stopped.err, stop)) << stopped.err;
    EXPECT_TRUE(Has(stopped.err, "its default answer, " + c.does + ", which an unattended run does not do"))
        << stopped.err;
    const auto give = stopped.err.find("To answer it, give ");
    ASSERT_NE(give, std::string::npos) << stopped.err;
    EXPECT_EQ(stopped.err.substr(give + 19, c.answers.size() + 5), c.answers + " (or ") << stopped.err;

    const Outcome answered = RunScript(c.answers + "\n" + c.script);
    EXPECT_EQ(answered.status, kExitOk) << c.script << answered.err;
    EXPECT_FALSE(Has(answered.err, stop)) << answered.err;
  }

  // Defaults that write over nothing are taken: a second Get/Try replaces the status
  // comment of the first without asking anyone.
  const Outcome again = RunScript("new\ncell A1:A2 b\nselect A1:A2\n" + tagging +
                                  "call GetSubtractSortCnt\ncall GetSubtractSortCnt\nprint comments\n");
  EXPECT_EQ(again.status, kExitOk) << again.err;
  EXPECT_TRUE(Has(again.err,
                  "which will be removed so that the current results using IgnoreIndex# can be indicated.\n"
                  "  [2 more lines: --verbose shows the whole text]\nquillary: answered OK (default)"))
      << again.err;
}

// A queued answer that is no button of its message stops the run, in the user's words:
// the message, its buttons and the answer that did not fit.
TEST_F(Program, AQueuedAnswerThatFitsNoButtonStopsTheRun) {
  const Outcome run = RunScript(
      "new\ncell A1 R1\ncell B1 old\nselect A1\nanswer message Yes\n"
      "call Paste_V Paste_V\nsave ${1}/out\n");
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_TRUE(Has(run.err,
                  "quillary: line 6: the queued answer Yes (answer 1 of the messages) is no button of the "
                  "message \"( Paste V ): Destination is not empty.\", whose buttons are OK, Cancel; the "
                  "run stops here"))
      << run.err;
  EXPECT_FALSE(Has(run.err, "error 1004")) << run.err;
  EXPECT_FALSE(fs::exists(dir / "out"));
}

// Without a person at a terminal a message shows its first line (--verbose: all of
// it), and the component's beeps are bell characters only on a terminal.
TEST_F(Program, MessagesShowTheirFirstLineUnlessVerboseAndBeepOnlyOnATerminal) {
  WriteText(dir / "test.qs",
            "new\ncell A1 R1-R2-R3\nselect A1\ncall GetSubtractSortCnt\n"
            "cell C1 x\nselect C:C\ncall WholeColRow Null\nselect D:D\ncall WholeColRow Null\n");
  const auto run = [&](std::vector<std::string> options, bool errIsTerminal) {
    std::istringstream in;
    std::ostringstream out, err;
    std::vector<std::string> args{"run"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back((dir / "test.qs").string());
    ProgramIo io{in, out, err};
    io.errIsTerminal = errIsTerminal;
    EXPECT_EQ(RunProgram(args, io), kExitOk) << err.str();
    return err.str();
  };
  const std::string message =
      "quillary: message (information) [OK]\n  (  ): All cells are empty within an entire selected column or row.\n";
  const std::string brief = run({}, false);
  EXPECT_TRUE(Has(brief, message + "  [1 more line: --verbose shows the whole text]\nquillary: answered OK")) << brief;
  EXPECT_EQ(brief.find('\a'), std::string::npos);
  EXPECT_TRUE(Has(run({"--verbose"}, false), message + "\n  Please make another selection.\nquillary: answered OK"));
  const std::string terminal = run({"--unattended"}, true);
  EXPECT_TRUE(Has(terminal, "\a")) << terminal;
  EXPECT_TRUE(Has(terminal, "[1 more line: --verbose shows the whole text]")) << terminal;
}

// At the terminal the dialog's default stays Enter's, and the prompt says which answer
// writes over cells, also where the default writes nothing.
TEST_F(Program, ThePromptSaysWhichAnswerWritesOverCells) {
  WriteText(dir / "test.qs", "new\ncell A1 R1\ncell B1 old\nselect A1\ncall PasteRight Paste_>\nprint cells B1\n");
  std::istringstream in("\n");
  std::ostringstream out, err;
  ProgramIo io{in, out, err, true};
  io.errIsTerminal = true;
  EXPECT_EQ(RunProgram(std::vector<std::string>{"run", (dir / "test.qs").string()}, io), kExitOk) << err.str();
  EXPECT_TRUE(Has(err.str(), "Undo won't revert it!\n")) << err.str();  // the whole text
  EXPECT_TRUE(Has(err.str(),
                  "quillary: answer (Enter for OK; OK clears and writes over the cells beside the selection that hold "
                  "data): "))
      << err.str();
  EXPECT_EQ(out.str(), "R1\n");
}

// Each command answers --help with its own part of the text: its options and an example.
TEST_F(Program, EachCommandHasItsOwnHelp) {
  const struct {
    std::string command;
    std::vector<std::string> parts;
  } cases[] = {
      {"get", {"GET\n", "--save-to PATH", "Examples:", "\" Quilet> \" and \" <Quilet\"", "EXIT STATUS"}},
      {"action", {"ACTION\n", "\"Case||  Proper\"", "Examples:", "EXIT STATUS"}},
      {"parse", {"PARSE\n", "--delimiter", "Example", "EXIT STATUS"}},
      {"run", {"RUN\n", "--verbose", "Example", "COMMANDS\n", "ROUTINES\n", "EXIT STATUS"}},
  };
  for (const auto& c : cases) {
    const Outcome help = RunInProcess({c.command, "--help"});
    EXPECT_EQ(help.status, kExitOk);
    for (const std::string& part : c.parts) EXPECT_TRUE(Has(help.out, part)) << c.command << ": " << part;
    EXPECT_FALSE(Has(help.out, "WORKBOOK FOLDERS")) << c.command;
  }
}

// One rule for every command: 2 when nothing ran for a bad argument (a bad script line
// among them), 1 when the run stopped part-way, 0 when it went to its end.
TEST_F(Program, OneExitStatusRuleForEveryCommand) {
  const std::string book = (dir / "parts").string();
  WriteText(dir / "bad.qs", "new\nselct A1\n");
  WriteText(dir / "fails.qs", "new\nprint cells A1\nsheet Nope\nprint cells A1\n");
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"run", (dir / "bad.qs").string()}, kExitUsage},
      {{"run", (dir / "missing.qs").string()}, kExitUsage},
      {{"get", book, "A0"}, kExitUsage},
      {{"action", book, "A2", "Nope"}, kExitUsage},
      {{"parse", book, "A2", ",>o_", "--delimiter", "pipe"}, kExitUsage},
      {{"get", (dir / "missing").string(), "A2"}, kExitUsage},
      {{"run", (dir / "fails.qs").string()}, kExitFailed},
      {{"get", book, "A2:A5"}, kExitOk},
  };
  for (const auto& c : cases) {
    const Outcome run = RunInProcess(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[1] << "\n" << run.err;
    if (c.status == kExitUsage) {
      EXPECT_EQ(run.out, "") << c.args[1];
    }
  }
}

// A connection to a component of its own (its own state and clipboard), as the
// in-process server is one; it counts what it carries.
class OtherComponent final : public Connection {
 public:
  explicit OtherComponent(int& carried) : carried_(carried) {}
  void SetApplication(xl::Application& app) override {
    connect_.SetExcelApp(&app);
    query_.SetExcelApp(&app);
  }
  void Call(const forms::HostForms& forms, Text& mode, Text& routine) override {
    ++carried_;
    connect_.QuillaryDLL(forms, mode, routine);
  }
  void Event(Text& name) override {
    ++carried_;
    query_.QuillaryQueryFormDLL(name);
  }
  sys::Clipboard& Clipboard() override { return services_.clipboard; }

 private:
  int& carried_;
  sys::StandInServices services_;
  host::State state_{services_.services};
  host::ExcelConnect connect_{state_, drivers::BuildRoutines()};
  host::ExcelQueryFormConnect query_{state_, drivers::BuildRoutines()};
};

// Requests, Query events from inside the modal form, the clipboard and the workbook
// made anew all go through the connection and give what the component linked in gives.
// Standard input that runs `meanwhile` when the program first reads from it (to answer
// a question), then gives `text`: what another program does while a run waits.
class InputAfter : public std::streambuf {
 public:
  InputAfter(std::function<void()> meanwhile, std::string text)
      : meanwhile_(std::move(meanwhile)), text_(std::move(text)) {}

 protected:
  int_type underflow() override {
    if (meanwhile_) {
      std::exchange(meanwhile_, nullptr)();
      setg(text_.data(), text_.data(), text_.data() + text_.size());
    }
    return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
  }

 private:
  std::function<void()> meanwhile_;
  std::string text_;
};

// A workbook file another program writes while the run waits for an answer is not
// written over by the run's save: the run stops with status 1, naming the file, which
// keeps what the other program wrote. A save to another name goes on, and does not let
// a later save over the loaded file through.
TEST_F(Program, ASaveOverAFileChangedWhileTheRunWaitedStops) {
  struct Case {
    const char* book;     // as the first script saves it
    const char* changed;  // the file the other program writes, under the test's folder
    const char* save;     // the second script's save command
    int status;
  };
  const Case cases[] = {
      {"book.xlsx", "book.xlsx", "save", 1},
      {"book", "book/Sheet1.csv", "save", 1},
      {"book.xlsx", "book.xlsx", "save ${1}/copy.xlsx", 0},
      // Saved to another name first: the loaded file is still not written over.
      {"book.xlsx", "book.xlsx", "save ${1}/copy.xlsx\nsave ${1}/book.xlsx", 1},
      {"book", "book/Sheet1.csv", "save ${1}/copy\nsave ${1}/book", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.book) + " " + c.save);
    TempDir here;
    WriteText(here / "make.qs", std::string("new\ncell A1 R1\ncell A2 \"Resistor 10k\"\ncell A3 C1\ncell A4 \"Resistor "
                                            "10k\"\nsave ${1}/") +
                                    c.book + "\n");
    ASSERT_EQ(RunInProcess({"run", (here / "make.qs").string(), here.Path().string()}).status, 0);
    // Get/Try finds a blank in a name and shows the Query form, which waits for the person.
    WriteText(here / "run.qs",
              std::string("load ${1}/") + c.book + "\nselect A1:A4\ncall GetSubtractSortCnt\n" + c.save + "\n");
    const std::string theirs = "Resistor,by another program\r\n";
    InputAfter typed([&] { WriteText(here / c.changed, theirs); }, "c\n");
    std::istream in(&typed);
    std::ostringstream out, err;
    const std::vector<std::string> args{"run", "--interactive", (here / "run.qs").string(), here.Path().string()};
    const int status = RunProgram(args, {in, out, err, false});
    EXPECT_EQ(status, c.status) << err.str();
    EXPECT_EQ(workbook::testing::ReadText(here / c.changed), theirs);
    if (c.status == 1) {
      EXPECT_TRUE(Has(err.str(), "Sheet1.csv' changed since it was loaded") ||
                  Has(err.str(), "book.xlsx' changed since it was loaded"))
          << err.str();
      EXPECT_TRUE(Has(err.str(), "nothing was written")) << err.str();
    } else {
      EXPECT_TRUE(fs::exists(here / "copy.xlsx"));
    }
  }
}

TEST_F(Program, ScriptsRunThroughAConnectionAsLinkedIn) {
  const std::string script =
      "new\ncell A1 R1\ncell A2 \"C4, R1-R2-R3\"\nselect A1:A2\nanswer queryend Repeat\n"
      "query-events NextButton_Click\ncall GetSubtractSortCnt\nprint window\n"
      "print control QueryUserForm.CaptionLabel.Caption\nload ${1}/parts\nselect A2:A5\n"
      "call GetSubtractSortCnt\nprint window\ncall GetSubtractSortCnt Null\nprint clipboard\n";
  WriteText(dir / "test.qs", script);
  const std::vector<std::string> args = {"run", (dir / "test.qs").string(), dir.Path().string()};
  const Outcome linked = RunInProcess(args);
  ASSERT_EQ(linked.status, 0) << linked.err;
  ASSERT_TRUE(Has(linked.out, "FAULT LOCATOR")) << linked.out;

  int carried = 0;
  std::istringstream in;
  std::ostringstream out, err;
  ProgramIo io{in, out, err};
  io.throughCom = [&carried] { return std::make_unique<OtherComponent>(carried); };
  std::vector<std::string> through = args;
  through.insert(through.begin() + 1, "--through-com");
  EXPECT_EQ(RunProgram(through, io), 0) << err.str();
  EXPECT_EQ(out.str(), linked.out);
  EXPECT_EQ(err.str(), linked.err);
  EXPECT_EQ(carried, 4);

  // The session's own clipboard cannot stand for the connection's.
  WriteText(dir / "fail.qs", "new\nclipboard fail 1\n");
  std::ostringstream out2, err2;
  ProgramIo io2{in, out2, err2};
  io2.throughCom = io.throughCom;
  EXPECT_EQ(RunProgram(std::vector<std::string>{"run", "--through-com", (dir / "fail.qs").string()}, io2), kExitFailed);
  EXPECT_TRUE(Has(err2.str(), "line 2: the system's clipboard cannot be made to fail")) << err2.str();
}

#ifdef QUILLARY_SAMPLES_DIR
// A sample script run as the README shows it, from the project folder, saving into `out`.
Outcome RunSample(const char* script, const fs::path& out) {
  const fs::path project = fs::path(QUILLARY_SAMPLES_DIR).parent_path();
  const fs::path before = fs::current_path();
  fs::current_path(project);
  const Outcome run = RunInProcess({"run", script, out.string()});
  fs::current_path(before);
  return run;
}

TEST_F(Program, SampleScriptRuns) {
  const Outcome run = RunSample("samples/initplace.qs", dir / "out");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "Quillary3016000000\t2 (very hidden)\n")) << run.out;
  EXPECT_TRUE(workbook::IsWorkbookFolder(dir / "out"));
}

TEST_F(Program, SampleActionsScriptRuns) {
  const Outcome run = RunSample("samples/actions.qs", dir / "out");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "R1, 2, 5-7\nC1-4\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "Resistor 10K\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n42\n")) << run.out;
  EXPECT_TRUE(workbook::IsWorkbookFolder(dir / "out"));
}

// The block engine's sample counts the parts of each board beside its rows.
TEST_F(Program, BoardCountsSampleRuns) {
  const Outcome run = RunSample("samples/board_counts.qs", dir / "out");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "R1, R2, R5-R7\t10\tMain board\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "R3, R4\t5\tPower board\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "D1, D2\t6\tLED board\n")) << run.out;
  EXPECT_TRUE(workbook::IsWorkbookFolder(dir / "out"));
}

// The result-sheet samples: the netlist converted into a table of nets, the bill of
// materials reduced to one row per part and expanded back.
TEST_F(Program, ResultSheetSamplesRun) {
  const Outcome netlist = RunSample("samples/netlist.qs", dir / "netlist");
  EXPECT_EQ(netlist.status, 0) << netlist.err;
  EXPECT_TRUE(Has(netlist.out, "A_LED\tD1-1,R4-2\t2\nCLK\tR2-2,U1-3\t2\n")) << netlist.out;
  EXPECT_TRUE(workbook::IsWorkbookFolder(dir / "netlist"));
  const Outcome bom = RunSample("samples/bom.qs", dir / "bom");
  EXPECT_EQ(bom.status, 0) << bom.err;
  EXPECT_TRUE(Has(bom.out, "P200\tCapacitor 100nF\tC1,C2,C3,C4\t4\n")) << bom.out;
  EXPECT_TRUE(Has(bom.out, "P400\tLED red\\nSMD 0805\tD2\t2\n")) << bom.out;
  EXPECT_TRUE(workbook::IsWorkbookFolder(dir / "bom"));
}
#endif

}  // namespace
}  // namespace quillary::cli
