// `quillary get`: one Get/Try on a workbook from the command line, in-process.
#include "cli/get_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/tests/run_program.h"
#include "cli/tests/temp_dir.h"
#include "cli/workbook_io.h"

namespace quillary::cli {
namespace {

using testing::Outcome;
using testing::RunInProcess;
using testing::TempDir;
using testing::WriteText;

class GetCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "parts" / kManifestFile,
              "quillary-workbook 1\nsheet Parts Parts.csv -1\nsheet Names Names.csv -1\nactive Parts\n");
    WriteText(dir / "parts" / "Parts.csv", "RefDes\r\n\"R3, R1\"\r\nR2\r\nC1-C4\r\n");
    WriteText(dir / "parts" / "Names.csv", "b\r\na\r\nb\r\n");
  }

  Outcome Get(std::vector<std::string> args) {
    args.insert(args.begin(), {"get", (dir / "parts").string()});
    return RunInProcess(args);
  }

  TempDir dir;
};

TEST_F(GetCommand, PrintsTheActiveWindowAndTheCount) {
  const Outcome run = Get({"A2:A4"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  // "C1-C4" sets the range style with the prefix repeated.
  EXPECT_EQ(run.out, "R1-R3,C1-C4\n");
  EXPECT_EQ(run.err, "Count = 7\n");
}

TEST_F(GetCommand, OptionsSetTheMainFormsBoxes) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"A2:A4", "--comma-space"}, "R1-R3, C1-C4\n"},
      {{"A2:A4", "--expand-ranges", "--comma-space"}, "R1, R2, R3, C1, C2, C3, C4\n"},
      {{"Names!A1:A3", "--ignore-index"}, "b,a,b\n"},
      {{"Names!A1:A3", "--ignore-index", "--sort"}, "a,b,b\n"},
      {{"A2:A4", "--set", "MainUserForm.CheckBox9.Value=True"}, "R1-R3, C1-C4\n"},
      {{"'Names'!A1:A2", "--ignore-index"}, "b,a\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = Get(c.args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[0] << " " << c.args.back();
  }
}

TEST_F(GetCommand, AGrammarFaultIsReportedWithStatusZero) {
  WriteText(dir / "parts" / "Parts.csv", "RefDes\r\nR1-R2-R3\r\n");
  const Outcome run = Get({"A2"});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.out, " Quilet> R1-R2-R3 <Quilet\n");
  // The fault locator shows the Query form on the offending cell first.
  EXPECT_EQ(run.err, "quillary: the Query form is shown\nquillary: the active cell is $A$2\nHas More Than 1 Hyphen\n");
}

TEST_F(GetCommand, BadArgumentsAndUnreadableWorkbooks) {
  EXPECT_EQ(Get({}).status, kExitUsage);
  EXPECT_EQ(Get({"A1", "--frobnicate"}).status, kExitUsage);
  EXPECT_EQ(Get({"A1", "--set", "nonsense"}).status, kExitUsage);
  const Outcome missing = Get({"A1"});
  ASSERT_EQ(missing.status, kExitOk) << missing.err;

  const Outcome gone = RunInProcess({"get", (dir / "no such folder").string(), "A1"});
  EXPECT_EQ(gone.status, kExitFailed);
  EXPECT_NE(gone.err.find("quillary: "), std::string::npos) << gone.err;
  EXPECT_EQ(Get({"not a range"}).status, kExitFailed);
}

}  // namespace
}  // namespace quillary::cli
