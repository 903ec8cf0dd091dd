// `quillary parse`: the script-driven parser on a workbook from the command line,
// in-process.
#include "cli/parse_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/tests/run_program.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/workbook_io.h"

namespace quillary::cli {
namespace {

using testing::Outcome;
using testing::RunInProcess;
using workbook::testing::ReadText;
using workbook::testing::TempDir;
using workbook::testing::WriteText;

class ParseCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "report" / workbook::kManifestFile,
              "quillary-workbook 1\nsheet Report Report.csv -1\nactive Report\n");
    WriteText(dir / "report" / "Report.csv", "\"R1, 10k, 0603\"\r\n\"C1,100n ,0402\"\r\n# spare\r\n");
  }

  Outcome Parse(std::vector<std::string> args) {
    args.insert(args.begin(), {"parse", (dir / "report").string()});
    args.push_back("--unattended");
    return RunInProcess(args);
  }

  TempDir dir;
};

TEST_F(ParseCommand, PrintsTheNewSheetsRows) {
  const Outcome run = Parse({"A1:A3", ",>o_"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  // The finished result sheet: numbered from its third row on, split at ",".
  EXPECT_EQ(run.out, "1\tR1\t10k\t0603\n2\tC1\t100n\t0402\n3\t# spare\t\t\n");
  EXPECT_NE(run.err.find("[Report Page Setup?]"), std::string::npos) << run.err;
}

TEST_F(ParseCommand, OptionsOfTheParseForm) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      // Over the source cells, spaces kept, with "|" as the delimiter.
      {{"A1:A2", ",>o_", "--delimiter", "bar", "--target", "Report"}, "R1| 10k| 0603\nC1|100n |0402\n# spare\n"},
      // An operand's text.
      {{"Report!A1:A3", "a>o_", "--a", "0", "--delimiter", "semicolon", "--target", "Report"},
       "R1, 1;k, ;6;3\nC1,1;;n ,;4;2\n# spare\n"},
      {{"A1:A3", ",>o_", "--set", "ParseForm.TabOpt.Value=True", "--target", "Report"},
       "R1\\t 10k\\t 0603\nC1\\t100n \\t0402\n# spare\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    const Outcome run = Parse(c.args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[0] << " " << c.args[1];
  }
}

TEST_F(ParseCommand, ScriptFromAFileAndSaving) {
  // Rows that begin with "#" are left as they are; the others lose their first comma.
  WriteText(dir / "script.txt",
            "by\x1f"
            "a1_1,>'_\n");
  const Outcome run = Parse({"A1:A3", "--script-file", (dir / "script.txt").string(), "--a", "#", "--target", "Report",
                             "--save-to", (dir / "saved").string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "R1 10k, 0603\nC1100n ,0402\n# spare\n");
  EXPECT_EQ(ReadText(dir / "saved" / "Report.csv"), "\"R1 10k, 0603\"\r\n\"C1100n ,0402\"\r\n# spare\r\n");
}

TEST_F(ParseCommand, MessagesAndBadArguments) {
  const Outcome empty = Parse({"A1", "_"});
  EXPECT_EQ(empty.status, kExitOk);
  EXPECT_EQ(empty.out, "");
  EXPECT_NE(empty.err.find("No Parsing Commands have been defined."), std::string::npos) << empty.err;

  EXPECT_EQ(Parse({"A1"}).status, kExitUsage);
  EXPECT_EQ(Parse({"A1", ",>o_", "--delimiter", "pipe"}).status, kExitUsage);
  WriteText(dir / "two.txt", ",>o_\n,>t_\n");
  EXPECT_EQ(Parse({"A1", "--script-file", (dir / "two.txt").string()}).status, kExitUsage);
  EXPECT_EQ(Parse({"A1", "--script-file", (dir / "none.txt").string()}).status, kExitUsage);
  const Outcome noSheet = Parse({"Nope!A1", ",>o_"});
  EXPECT_EQ(noSheet.status, kExitUsage);
  EXPECT_TRUE(noSheet.err.starts_with("quillary parse: no sheet 'Nope' in ")) << noSheet.err;
  // An operand is its text as typed: a backslash in it is no escape.
  const Outcome backslash = Parse({"A1", "_", "--a", "C:\\q"});
  EXPECT_EQ(backslash.status, kExitOk) << backslash.err;
  EXPECT_EQ(RunInProcess({"parse"}).status, kExitUsage);
  EXPECT_EQ(RunInProcess({"parse", (dir / "nowhere").string(), "A1", ",>o_"}).status, kExitUsage);
}

#ifdef QUILLARY_SAMPLES_DIR
// The sample report splits as the README shows it.
TEST_F(ParseCommand, SampleReport) {
  const std::string samples = QUILLARY_SAMPLES_DIR;
  const Outcome run = RunInProcess(
      {"parse", samples + "/report", "A1:A9", "--script-file", samples + "/report.parse", "--a", "#", "--unattended"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "1\t# Board A: power supply\t\t\t\n"
            "2\tR1\t10k\t0603\tResistor 1/10W\n"
            "3\tC1\t100n\t0402\tCapacitor X7R 16V\n"
            "4\tU1\tLM317\tTO-220\tRegulator\n"
            "5\t# Board B: interface\t\t\t\n"
            "6\tR7\t4.7k\t0603\tResistor 1/10W\n"
            "7\tD1\tBAV99\tSOT-23\tDiode\n"
            "8\tJ1\tUSB-B\t\tConnector\n"
            "9\tR8\t0R\t0603\tJumper\n");
}
#endif

}  // namespace
}  // namespace quillary::cli
