// `quillary get`: one Get/Try on a workbook from the command line, in-process.
#include "cli/get_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/tests/run_program.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/tests/xlsx_fixture.h"
#include "workbook/workbook_io.h"
#include "workbook/xlsx_zip.h"

namespace quillary::cli {
namespace {

using testing::Outcome;
using testing::RunInProcess;
using workbook::testing::ReadText;
using workbook::testing::TempDir;
using workbook::testing::WriteText;

class GetCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir / "parts" / workbook::kManifestFile,
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

// A fault ends the run normally; standard error names the fault, the Item and every
// cell it is in: both cells of a duplicate, and in IgnoreIndex# mode with Sort every
// duplicated Item of the duplicates list.
TEST_F(GetCommand, AFaultNamesItsItemAndEveryCellInvolved) {
  WriteText(dir / "parts" / "Parts.csv", "RefDes\r\nR1-R2-R3\r\n\"R1, R5-R7\"\r\nC1\r\nR6\r\n");
  WriteText(dir / "parts" / "Names.csv", "b\r\na\r\nb\r\nc\r\na\r\nd\r\n");
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string report;  // the end of standard error
  } cases[] = {
      {{"A2"},
       " Quilet> R1-R2-R3 <Quilet\n",
       "quillary get: fault: Has More Than 1 Hyphen, the Item R1-R2-R3, in these cells of Parts:\n  A2\tR1-R2-R3\n"},
      {{"A3:A5"},
       " Quilet> R1,R5-R7, R6 <Quilet\n",
       "quillary get: fault: Duplicate, the Item R6, in these cells of Parts:\n  A3\tR1, R5-R7\n  A5\tR6\n"},
      {{"Names!A1:A6", "--ignore-index", "--sort"},
       "a,a,b,b,c,d\n",
       "quillary get: fault: Duplicate, 2 Items are each in more than one cell of Names:\n  a\tA2, A5\n  b\tA1, A3\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = Get(c.args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[0];
    EXPECT_TRUE(run.err.ends_with(c.report)) << run.err;
  }
}

// A duplicates list longer than the blocks it is read in: each Item's cells still come
// together on its one line, across the blocks' edges.
TEST_F(GetCommand, ALongDuplicatesListIsReportedWhole) {
  constexpr int kItems = 70;
  const auto item = [](std::string& out, int k) {
    out += 'k';
    if (k < 10) out += '0';
    out += std::to_string(k);
  };
  std::string names, report;
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < kItems; ++k) {
      item(names, k);
      names += "\r\n";
    }
  }
  report += "70 Items are each in more than one cell of Names:\n";
  for (int k = 0; k < kItems; ++k) {
    report += "  ";
    item(report, k);
    report += "\tA";
    report += std::to_string(k + 1);
    report += ", A";
    report += std::to_string(k + 1 + kItems);
    report += '\n';
  }
  WriteText(dir / "parts" / "Names.csv", names);
  std::string range = "Names!A1:A";
  range += std::to_string(2 * kItems);
  const Outcome run = Get({range, "--ignore-index", "--sort"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_TRUE(run.err.ends_with(report)) << run.err;
}

// A whole column is cut to what the sheet holds before Get/Try, as the host add-in
// does: no blank Items from the empty rows below the list, and an empty column stops
// with the component's message.
TEST_F(GetCommand, WholeColumnsAreCutToWhatTheyHold) {
  const Outcome column = Get({"A:A"});
  EXPECT_EQ(column.status, kExitOk) << column.err;
  EXPECT_EQ(column.out, "RefDes,R1-R3,C1-C4\n");
  EXPECT_EQ(column.err, "Count = 8\n");
  const Outcome empty = Get({"D:D"});
  EXPECT_EQ(empty.status, kExitOk) << empty.err;
  EXPECT_EQ(empty.out, "");
  EXPECT_NE(empty.err.find("All cells are empty within an entire selected column or row."), std::string::npos)
      << empty.err;
}

// Tagging writes cells: get saves as action does, into a copy or back, and a place it
// cannot save to is refused before anything runs.
TEST_F(GetCommand, SavesWithSaveOrSaveTo) {
  const std::vector<std::string> tag = {"Names!A1:A3", "--ignore-index",
                                        "--sort",      "--tag-duplicates",
                                        "--set",       "CompDupUserForm.LocatorLabel.Value=True"};
  std::vector<std::string> args = tag;
  args.insert(args.end(), {"--save-to", (dir / "copy").string()});
  Outcome run = Get(args);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(ReadText(dir / "copy" / "Names.csv").find("b,"), std::string::npos);
  EXPECT_EQ(ReadText(dir / "parts" / "Names.csv"), "b\r\na\r\nb\r\n");

  args = tag;
  args.push_back("--save");
  run = Get(args);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(ReadText(dir / "parts" / "Names.csv"), "b\r\na\r\nb\r\n");

  WriteText(dir / "list.csv", "b\r\na\r\nb\r\n");
  WriteText(dir / "taken" / "notes.txt", "mine");
  const std::string rich = workbook::testing::XlsxWithATableAndAFrozenPane();
  WriteText(dir / "rich.xlsx", rich);
  const struct {
    std::vector<std::string> args;
    std::string err;
  } refused[] = {
      {{"get", (dir / "list.csv").string(), "A1:A3", "--save"}, "--save writes back to WORKBOOK, and "},
      {{"get", (dir / "parts").string(), "A2", "--save-to", (dir / "taken").string()},
       "the folder is neither empty nor a workbook folder"},
      {{"get", (dir / "parts").string(), "A2", "--save-to", (dir / "no" / "such" / "x.xlsx").string()},
       "does not exist"},
      {{"get", (dir / "parts").string(), "A2", "--save-to", (dir / "rich.xlsx").string()}, "would lose: tables"},
  };
  for (const auto& r : refused) {
    const Outcome bad = RunInProcess(r.args);
    EXPECT_EQ(bad.status, kExitUsage) << bad.err;
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find(r.err), std::string::npos) << bad.err;
  }
  EXPECT_EQ(ReadText(dir / "list.csv"), "b\r\na\r\nb\r\n");
  EXPECT_EQ(ReadText(dir / "taken" / "notes.txt"), "mine");
  EXPECT_EQ(ReadText(dir / "rich.xlsx"), rich);
  // Saved over itself, an xlsx file keeps what the workbook does not model.
  const Outcome over = RunInProcess({"get", (dir / "rich.xlsx").string(), "A1", "--save"});
  EXPECT_EQ(over.status, kExitOk) << over.err;
  const std::string savedBytes = ReadText(dir / "rich.xlsx");
  const workbook::xlsx::ZipArchive saved(savedBytes);
  EXPECT_TRUE(saved.Has("xl/tables/table1.xml"));
  EXPECT_NE(saved.Read("xl/worksheets/sheet1.xml").find("<pane ySplit=\"1\" state=\"frozen\"/>"), std::string::npos);
}

TEST_F(GetCommand, BadArgumentsAndUnreadableWorkbooks) {
  EXPECT_EQ(Get({}).status, kExitUsage);
  EXPECT_EQ(Get({"A1", "--frobnicate"}).status, kExitUsage);
  EXPECT_EQ(Get({"A1", "--set", "nonsense"}).status, kExitUsage);
  const Outcome missing = Get({"A1"});
  ASSERT_EQ(missing.status, kExitOk) << missing.err;

  const Outcome gone = RunInProcess({"get", (dir / "no such folder").string(), "A1"});
  EXPECT_EQ(gone.status, kExitUsage);
  EXPECT_NE(gone.err.find("quillary get: "), std::string::npos) << gone.err;
}

// An xlsm workbook made from the xlsx `xlsx`: a macros part, with its relationship and
// content types, as the spreadsheet saves one.
std::string WithMacros(const std::string& xlsx) {
  const workbook::xlsx::ZipArchive zip(xlsx);
  std::vector<std::pair<std::string, std::string>> parts;
  const auto replace = [](std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  for (const workbook::xlsx::ZipEntry& e : zip.Entries()) {
    std::string data = zip.Read(e.name);
    if (e.name == "[Content_Types].xml") {
      replace(data, "spreadsheetml.sheet.main+xml", "ms-excel.sheet.macroEnabled.main+xml");
      replace(data, "</Types>",
              R"(<Default Extension="bin" ContentType="application/vnd.ms-office.vbaProject"/></Types>)");
    }
    if (e.name == "xl/_rels/workbook.xml.rels") {
      replace(data, "</Relationships>",
              R"(<Relationship Id="rIdVba" Type="http://schemas.microsoft.com/office/2006/relationships/vbaProject" )"
              R"(Target="vbaProject.bin"/></Relationships>)");
    }
    parts.emplace_back(e.name, std::move(data));
  }
  parts.emplace_back("xl/vbaProject.bin", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "Sub Macro1()");
  return workbook::xlsx::MakeZip(parts);
}

// A workbook file is told by what it holds, not by its name: an xlsx package loads as a
// workbook whatever it is called (an .xlsm too, whose save keeps its macros), and an
// OpenDocument file, an old binary workbook, UTF-16 text or any other binary file is a
// bad argument that names what it is; nothing is written.
TEST_F(GetCommand, FilesAreToldByWhatTheyHold) {
  const Outcome saved = RunInProcess({"run", "-", dir.Path().string()}, "load ${1}/parts\nsave ${1}/book.xlsx\n");
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  const std::string xlsx = ReadText(dir / "book.xlsx");
  const std::string xlsm = WithMacros(xlsx);
  WriteText(dir / "book.xlsm", xlsm);
  WriteText(dir / "package.csv", xlsx);

  for (const char* name : {"book.xlsm", "package.csv"}) {
    const Outcome run = RunInProcess({"get", (dir / name).string(), "A2:A4"});
    EXPECT_EQ(run.status, kExitOk) << name << run.err;
    EXPECT_EQ(run.out, "R1-R3,C1-C4\n") << name;
  }
  const Outcome copied =
      RunInProcess({"get", (dir / "book.xlsm").string(), "A2:A4", "--save-to", (dir / "copy.xlsx").string()});
  EXPECT_EQ(copied.status, kExitOk) << copied.err;
  EXPECT_NE(copied.err.find("holds macros ('xl/vbaProject.bin'): a save to an .xlsm file keeps them, a save to a "
                            ".xlsx file leaves them out"),
            std::string::npos)
      << copied.err;
  EXPECT_NE(copied.err.find("it is saved without the macros of the workbook it was loaded from ('xl/vbaProject.bin')"),
            std::string::npos)
      << copied.err;
  EXPECT_EQ(RunInProcess({"get", (dir / "copy.xlsx").string(), "A2:A4"}).out, "R1-R3,C1-C4\n");
  {
    const std::string bytes = ReadText(dir / "copy.xlsx");
    const workbook::xlsx::ZipArchive copy(bytes);
    EXPECT_FALSE(copy.Has("xl/vbaProject.bin"));
    EXPECT_EQ(copy.Read("[Content_Types].xml").find("macroEnabled"), std::string::npos);
  }

  const std::string ods = std::string("PK\x03\x04\x14\0\0\0\0\0", 10) + std::string(20, '\0') + "mimetype" +
                          "application/vnd.oasis.opendocument.spreadsheet" + std::string("PK\x01\x02", 4);
  const struct {
    std::string name;
    std::string bytes;
    std::vector<std::string> args;  // after the file's path
    std::string err;
  } refused[] = {
      {"book.xlsm", xlsm, {"A2", "--save-to", (dir / "out.xlsm").string()}, "cannot save to '"},
      {"sheet.ods", ods, {"A1", "--save-to", (dir / "out").string()}, "is an OpenDocument spreadsheet (.ods)"},
      {"old.xls",
       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
       {"A1", "--save-to", (dir / "out").string()},
       "the old .xls format"},
      {"unicode.csv",
       std::string("\xFF\xFE"
                   "a\0\r\0\n\0",
                   8),
       {"A1", "--save-to", (dir / "out").string()},
       "is text in UTF-16"},
      {"picture.csv",
       std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16),
       {"A1", "--save-to", (dir / "out").string()},
       "is a binary file, neither CSV text nor an xlsx workbook"},
  };
  for (const auto& r : refused) {
    WriteText(dir / r.name, r.bytes);
    std::vector<std::string> args{"get", (dir / r.name).string()};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const Outcome bad = RunInProcess(args);
    EXPECT_EQ(bad.status, kExitUsage) << r.name << bad.err;
    EXPECT_EQ(bad.out, "") << r.name;
    EXPECT_NE(bad.err.find(r.err), std::string::npos) << bad.err;
    EXPECT_EQ(ReadText(dir / r.name), r.bytes) << r.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << r.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.xlsm")) << r.name;
  }

  // Saved over itself, by a run or a script, an .xlsm keeps its macros.
  const Outcome over = RunInProcess({"get", (dir / "book.xlsm").string(), "A2:A4", "--save"});
  EXPECT_EQ(over.status, kExitOk) << over.err;
  const Outcome script = RunInProcess({"run", "-", dir.Path().string()}, "load ${1}/book.xlsm\nsave\n");
  EXPECT_EQ(script.status, kExitOk) << script.err;
  const std::string savedXlsm = ReadText(dir / "book.xlsm");
  const workbook::xlsx::ZipArchive was(xlsm), is(savedXlsm);
  EXPECT_EQ(is.Read("xl/vbaProject.bin"), was.Read("xl/vbaProject.bin"));
  for (const char* type : {"ms-excel.sheet.macroEnabled.main+xml", "application/vnd.ms-office.vbaProject"}) {
    EXPECT_NE(is.Read("[Content_Types].xml").find(type), std::string::npos) << type;
  }
}

// A range, a sheet, a control value or an answer the user typed wrongly is a bad
// argument, named as typed; nothing runs.
TEST_F(GetCommand, BadRangesSheetsAndValuesAreBadArgumentsNamedAsTyped) {
  const std::string book = (dir / "parts").string();
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"Shet1!A1:A3"}, "no sheet 'Shet1' in " + book + " (its sheets: Parts, Names)"},
      {{"'My list'!A1"}, "no sheet 'My list' in " + book + " (its sheets: Parts, Names)"},
      {{"A0:B"}, "'A0:B' is not a range"},
      {{"Names!A1:"}, "'Names!A1:' is not a range"},
      {{"not a range"}, "'not a range' is not a range"},
      // Areas on two sheets, or one sheet named twice: the sheet goes once, first.
      {{"Parts!A2:A5,Names!A1"},
       "'Parts!A2:A5,Names!A1' names a sheet after its first area, but a selection lies "
       "on one sheet: name the sheet once, before the first area (Sheet!A2:A5,C2:C5)"},
      {{"'Parts'!A2,'Parts'!A1"}, "''Parts'!A2,'Parts'!A1' names a sheet after its first area"},
      {{"A2:A5,Parts!B2"}, "'A2:A5,Parts!B2' names a sheet after its first area"},
      {{"'Parts,Names'!A1"}, "no sheet 'Parts,Names' in "},
      {{"Parts"}, "'Parts' is neither a range nor a defined name of the sheet Parts"},
      {{"A1", "--set", "MainUserForm.CheckBox1.Value=maybe"},
       "--set MainUserForm.CheckBox1.Value=maybe: MainUserForm.CheckBox1.Value takes True, False or Null, not "
       "'maybe'"},
      {{"A1", "--set", "MainUserForm.Label2.Value=x"},
       "--set MainUserForm.Label2.Value=x: the control MainUserForm.Label2 has no property Value"},
      {{"A1", "--answer", "message=Maybe"}, "--answer message=Maybe: 'Maybe' is no answer here; use one of: "},
  };
  for (const auto& c : cases) {
    const Outcome run = Get(c.args);
    EXPECT_EQ(run.status, kExitUsage) << c.args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, 14 + c.err.size()), "quillary get: " + c.err) << run.err;
    EXPECT_EQ(run.err.find("line"), std::string::npos) << run.err;
  }
}

// Every argument is one word of one command: a line feed in it makes no second
// command, and get saves nothing without --save or --save-to.
TEST_F(GetCommand, ArgumentsAreDataAndNothingIsSaved) {
  // LF line ends: a save would write CRLF.
  WriteText(dir / "parts" / "Parts.csv", "RefDes\nR2\nR1\n");
  const std::string manifest = ReadText(dir / "parts" / workbook::kManifestFile);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"A2:A3", "--mode", "Null\nsave"},
           {"A2:A3", "--mode", std::string("Null\nprint sheets\nsave ").append((dir / "elsewhere").string())},
           {"A2:A3", "--set", "MainUserForm.TextBox2.Text=x\nsave"},
           {"A2:A3\nsave", "--comma-space"},
       }) {
    const Outcome run = Get(args);
    EXPECT_EQ(run.out.find("Parts\t"), std::string::npos) << run.out;
    EXPECT_EQ(ReadText(dir / "parts" / "Parts.csv"), "RefDes\nR2\nR1\n");
    EXPECT_EQ(ReadText(dir / "parts" / workbook::kManifestFile), manifest);
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere"));
    if (args[0] == "A2:A3") {
      EXPECT_EQ(run.status, kExitOk) << run.err;
      EXPECT_EQ(run.out, "R1-2\n");
    } else {
      EXPECT_EQ(run.status, kExitUsage);
    }
  }
}

}  // namespace
}  // namespace quillary::cli
