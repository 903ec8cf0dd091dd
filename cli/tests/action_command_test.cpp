// `quillary action`: one Action list entry on a range of a workbook, in-process.
#include "cli/action_command.h"

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

class ActionCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "parts" / workbook::kManifestFile,
              "quillary-workbook 1\nsheet Parts Parts.csv -1\nsheet Names Names.csv -1\nactive Parts\n");
    WriteText(dir / "parts" / "Parts.csv", "RefDes\r\n\"R1 ,2,  3-5\"\r\nC(1) C2\r\n");
    WriteText(dir / "parts" / "Names.csv", "mc donald\r\n");
  }

  Outcome Action(std::vector<std::string> args) {
    args.insert(args.begin(), {"action", (dir / "parts").string()});
    return RunInProcess(args);
  }

  TempDir dir;
};

TEST_F(ActionCommand, RunsTheEntryOnTheRangeAndPrintsItsCells) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"A2", "Prefix||  Set", "--comma-space"}, "R1, R2, R3-R5\n"},
      {{"A2", "Prefix||  Set"}, "R1,R2,R3-R5\n"},
      {{"Names!A1", "Case||  Proper"}, "Mc Donald\n"},
      {{"Names!A1", "case||  PROPER"}, "Mc Donald\n"},
      {{"A2:A3", "Comma Space||  Set", "--answer", "message=Yes"}, "R1, 2, 3-5\nC, 1, C2\n"},
      {{"A2:A3", "Comma Space||  Set", "--answer", "message=No"}, "R1, 2, 3-5\nC(1), C2\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = Action(c.args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[0] << " " << c.args[1];
  }
  // Nothing is saved without --save.
  EXPECT_NE(ReadText(dir / "parts" / "Parts.csv").find("R1 ,2"), std::string::npos);
}

TEST_F(ActionCommand, SavesBackOrElsewhereWhenAsked) {
  Outcome run = Action({"A2", "Prefix||  Clear", "--save-to", (dir / "copy").string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(ReadText(dir / "copy" / "Parts.csv").find("\"R1,2,3-5\""), std::string::npos);
  EXPECT_NE(ReadText(dir / "parts" / "Parts.csv").find("R1 ,2"), std::string::npos);

  run = Action({"A2", "Prefix||  Set", "--save"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(ReadText(dir / "parts" / "Parts.csv").find("\"R1,R2,R3-R5\""), std::string::npos);
}

// "COMPARE 2/Uniques" shows the two windows' lists of uniques, left then right.
TEST_F(ActionCommand, CompareTwoPrintsBothListsOfUniques) {
  WriteText(dir / "parts" / "Parts.csv", "R1,,R1\r\n\"R2, C1\",,C2\r\n");
  const Outcome run = Action({"A1:A2,C1:C2", "COMPARE 2/Uniques"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "R2,C1\nC2\n");
}

// A whole column is cut to the rows that hold something before the action, as the host
// add-in does: the counts go beside those rows only, not down the whole sheet.
TEST_F(ActionCommand, WholeColumnsAreCutToWhatTheyHold) {
  WriteText(dir / "parts" / "Parts.csv", "R1\r\n\"R2, R3\"\r\n");
  const Outcome run = Action({"A:A", "Subtract Display >", "--save-to", (dir / "copy").string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "R1\nR2, R3\n");
  EXPECT_EQ(ReadText(dir / "copy" / "Parts.csv"), "R1,R1\r\n\"R2, R3\",R2-3\r\n");
}

TEST_F(ActionCommand, RefusesTextsThatAreNoEntryAndBadArguments) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"A2", "Prefix|| Set"},
                                             {"A2", "Tools"},
                                             {"A2"},
                                             {"A2", "Case||  Upper", "--mode", "x"},
                                             {"Nope!A2", "Case||  Upper"},
                                             {"A2:", "Case||  Upper"}}) {
    const Outcome run = Action(args);
    EXPECT_EQ(run.status, kExitUsage) << args.back();
    EXPECT_TRUE(run.err.starts_with("quillary action: ")) << run.err;
  }
  // A text near one entry names it; one that is near none points to the list.
  EXPECT_NE(Action({"A2", "Prefix|| Set"}).err.find("did you mean \"Prefix||  Set\"?"), std::string::npos);
  EXPECT_NE(Action({"A2", "Tools"}).err.find("(quillary action --help lists them)"), std::string::npos);
  EXPECT_EQ(RunInProcess({"action"}).status, kExitUsage);
  EXPECT_EQ(RunInProcess({"action", (dir / "gone").string(), "A1", "Case||  Upper"}).status, kExitUsage);
}

}  // namespace
}  // namespace quillary::cli
