// The program end to end: scripts run in-process on workbook folders made by the tests.
#include "cli/program.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/tests/run_program.h"
#include "cli/tests/temp_dir.h"
#include "cli/workbook_io.h"
#include "host/working_sheet.h"

namespace quillary::cli {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::RunInProcess;
using testing::TempDir;
using testing::WriteText;

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "parts" / kManifestFile,
              "quillary-workbook 1\nsheet Parts Parts.csv -1\nactive Parts\n");
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

TEST_F(Program, InitPlaceMakesTheWorkingSheetThatSurvivesSaveAndLoad) {
  const Outcome run = RunScript(
      "load ${1}/parts\n"
      "select A2:A5\n"
      "call InitPlace\n"
      "print sheets\n"
      "save ${1}/saved\n"
      "load ${1}/saved\n"
      "print sheets\n"
      "print names\n"
      "print cells Parts!A2:B2\n");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string sheets = "Quillary3016000000\t2 (very hidden)\nParts\t-1 (visible)\tactive\n";
  EXPECT_EQ(run.out, sheets + sheets +
                         "Quillary3016000000!unique1\t=Quillary3016000000!$A$1\n"
                         "Quillary3016000000!ExcelPaste\t=Quillary3016000000!$J$1\n"
                         "Quillary3016000000!unique1_w\t=Quillary3016000000!$K$1\n"
                         "R1, R2, R5-R7\tResistor\n");

  auto app = xl::memory::CreateApplication();
  const std::vector<fs::path> saved{dir / "saved"};
  xl::Workbook& book = LoadWorkbook(*app, saved);
  xl::Worksheet& parts = book.Sheets().Item(u"Parts");
  EXPECT_EQ(xl::Range(parts, parts.SelectionAreas()).Address(), u"$A$2:$A$5");
}

TEST_F(Program, WholeColRowAndSetUpPrinterAreWiredIn) {
  const Outcome run = RunScript(
      "new\n"
      "cell B3 x\n"
      "cell B7 y\n"
      "select B:B\n"
      "call WholeColRow Paste_V\n"
      "print control MailBoxForm.Response.Caption\n"
      "select C:C\n"
      "answer message OK\n"
      "call WholeColRow Paste_V\n"
      "print control MailBoxForm.Response.Caption\n"
      "select B3:B7\n"
      "call SetUpPrinter\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0\n1\n");
}

TEST_F(Program, ScriptsFailWithTheLineAndTheError) {
  struct Case {
    const char* script;
    int status;
    std::string err;  // a part of standard error
    std::string out;  // all of standard output
  };
  const Case cases[] = {
      {"new\nprint sheets\nselct A1\n", 1, "quillary: line 3: unknown command 'selct'\n", ""},
      {"new\ncall Foo\nprint sheets\n", 0, "", "Sheet1\t-1 (visible)\tactive\n"},
      {"new\ncall SwapDsply\nprint sheets\n", 1,
       "quillary: line 2: error 438 in Quillary: The routine \"swapdsply\" is not part of this build", ""},
      {"new\non-error continue\ncall SwapDsply\nprint sheets\n", 0, "error 438", "Sheet1\t-1 (visible)\tactive\n"},
      {"call InitPlace\nprint window\n", 0, "", "\n"},
      {"load ${1}/nowhere\n", 1, "line 1: ", ""},
      {"new\nsheet Nope\n", 1, "line 2: no sheet 'Nope'", ""},
      {"new\nset MainUserForm.Nope.Value 1\n", 1, "line 2: the form MainUserForm has no control 'Nope'", ""},
      {"new\nset Main.CheckBox1.Value 1\n", 1, "line 2: unknown form 'Main'", ""},
      {"new\nanswer message Maybe\n", 1, "line 2: 'Maybe' is no answer here", ""},
  };
  for (const Case& c : cases) {
    const Outcome run = RunScript(c.script);
    EXPECT_EQ(run.status, c.status) << c.script << run.err;
    EXPECT_TRUE(Has(run.err, c.err)) << c.script << run.err;
    EXPECT_EQ(run.out, c.out) << c.script;
  }
}

TEST_F(Program, CellsAndControlsAsTheUserSetsThem) {
  const Outcome run = RunScript(
      "new small\n"
      "cell A1:B2 '007\n"
      "cell C1 12.50\n"
      "cell A3 \"tab\\here\"\n"
      "set vbaMainUserForm.checkbox1.Value True\n"
      "print control MainUserForm.CheckBox1.Value\n"
      "set MainUserForm.TextBox1.BackColor &HE0E0E0\n"
      "set MainUserForm.TextBox2.Text 007\n"
      "print window\n"
      "print cells A1:C3\n"
      "print control MailBoxForm.SkipMenu.Enabled\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "True\n"
            "007\n"
            "007\t007\t12.5\n"
            "007\t007\t\n"
            "tab\\\\here\t\t\n"
            "False\n");
}

TEST_F(Program, BadArgumentsGiveUsage) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"frobnicate"}, {"run"}, {"run", "--loud", "x.qs"}, {"run", "--interactive", "-"}}) {
    const Outcome run = RunInProcess(args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(Has(run.err, "usage: quillary run")) << run.err;
  }
  EXPECT_EQ(RunInProcess({"run", (dir / "missing.qs").string()}).status, kExitFailed);
  EXPECT_EQ(RunInProcess({"--help"}).status, kExitOk);
}

TEST_F(Program, ScriptFromStandardInput) {
  const Outcome run = RunInProcess({"run", "-", (dir / "parts").string()}, "load ${1}\nprint cells B2:B3\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Resistor\nCapacitor\n");
}

#ifdef QUILLARY_SAMPLES_DIR
// The sample script runs as the README shows it, from the project folder.
TEST_F(Program, SampleScriptRuns) {
  const fs::path project = fs::path(QUILLARY_SAMPLES_DIR).parent_path();
  const fs::path before = fs::current_path();
  fs::current_path(project);
  const Outcome run = RunInProcess({"run", "samples/initplace.qs", (dir / "out").string()});
  fs::current_path(before);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "Quillary3016000000\t2 (very hidden)\n")) << run.out;
  EXPECT_TRUE(IsWorkbookFolder(dir / "out"));
}
#endif

}  // namespace
}  // namespace quillary::cli
