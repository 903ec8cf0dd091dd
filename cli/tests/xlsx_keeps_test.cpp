// A workbook that another program made, tagged by `quillary get` and saved: every
// feature the file held is still there afterwards, read back by openpyxl (a reader of
// its own), and the parts of the package the run did not change are the same bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli/program.h"
#include "cli/tests/run_program.h"
#include "workbook/tests/run_python.h"
#include "workbook/tests/temp_dir.h"

namespace quillary::cli {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::RunInProcess;
using workbook::testing::PythonHas;
using workbook::testing::ReadText;
using workbook::testing::RunPython;
using workbook::testing::TempDir;

// Runs cli/tests/xlsx_features.py with `args` in `folder` (see there): book.xlsx made
// with openpyxl, what openpyxl reads of each of its features, the parts a save changed.
std::string XlsxFeatures(const fs::path& folder, const std::string& args) {
  return RunPython(folder, "import runpy, sys\nsys.argv = ['xlsx_features.py', " + args + "]\nrunpy.run_path('" +
                               QUILLARY_CLI_TESTS_DIR + "/xlsx_features.py', run_name='__main__')\n");
}

// Each feature of book.xlsx and what openpyxl reads of it once the names are tagged.
const struct Feature {
  const char* name;
  const char* value;
} kFeatures[] = {
    {"names", "['Name', 'R1', 'C2', 'R1', 'U3', 'C2', 'D4', 'Q5', 'U3']"},
    {"tags", "['Tag', 'R1', 'C2', 'R1', 'U3', 'C2', None, None, 'U3']"},
    {"frozen pane", "A2"},
    {"zoom", "150"},
    {"hidden gridlines", "False"},
    {"table", "[('PartList', 'A1:D9')]"},
    {"chart", "[\"'Parts'!$C$2:$C$9\"]"},
    {"picture", "[(4, 4)]"},
    {"data validation", "[('whole', 'between', 'C2:C9', '0', '100')]"},
    {"conditional format", "[('C2:C9', 'cellIs', 'greaterThan', ['4'], '00FF0000')]"},
    {"font", "('Courier New', 14.0, True, True)"},
    {"outline levels", "(1, 1)"},
    {"tab colour", "001072BA"},
    {"theme fill", "('solid', 4, 0.4)"},
    {"comments", "('Counts from stock', 'A note elsewhere')"},
    {"hidden sheet", "('hidden', 'secret')"},
    {"defined names", "[('Counts', 'Parts!$C$2:$C$9')]"},
    {"merged cells", "['F1:G1']"},
    {"number formats", "('0.00', 'yyyy-mm-dd')"},
    {"dates", "['2024-01-01', '2024-01-08']"},
    {"column width", "30.0"},
    {"column style", "True"},
    {"array formula", "('=C2:C3*2', {'t': 'array', 'ref': 'K2:K3'})"},
};

// What openpyxl reads of each feature of `file`, by the feature's name; when it cannot
// read the file, what it printed under "openpyxl".
std::map<std::string, std::string> ReadFeatures(const fs::path& folder, const std::string& file) {
  const std::string out = XlsxFeatures(folder, "'read', '" + file + "'");
  std::map<std::string, std::string> values;
  for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = out.substr(at, end - at);
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) values[line.substr(0, tab)] = line.substr(tab + 1);
  }
  if (values.empty()) values["openpyxl"] = out;
  return values;
}

class XlsxKeeps : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PythonHas("openpyxl, PIL")) GTEST_SKIP() << "no python3-openpyxl or python3-pil";
    ASSERT_EQ(XlsxFeatures(dir.Path(), "'make', 'book.xlsx'"), "");
    fs::copy_file(dir / "book.xlsx", dir / "original.xlsx");
  }

  // Tags the duplicated names of `names` in book.xlsx into the column to their right,
  // then saves as `save` says.
  Outcome Tag(const std::string& names, const std::vector<std::string>& save) {
    std::vector<std::string> args = {"get",      (dir / "book.xlsx").string(),
                                     names,      "--ignore-index",
                                     "--sort",   "--tag-duplicates",
                                     "--set",    "CompDupUserForm.LocatorLabel.Value=True",
                                     "--answer", "compare=UseNew"};
    args.insert(args.end(), save.begin(), save.end());
    return RunInProcess(args);
  }

  // Tags book.xlsx and saves it over its file, then, from the file as it was, to a new
  // name (where the original must stay as it was); `check` takes the saved file's name.
  void SaveEachWay(const std::function<void(const std::string& saved)>& check) {
    const struct {
      const char* how;
      std::vector<std::string> save;
      const char* saved;
    } ways[] = {
        {"over its file", {"--save"}, "book.xlsx"},
        {"to a new name", {"--save-to", (dir / "copy.xlsx").string()}, "copy.xlsx"},
    };
    for (const auto& w : ways) {
      SCOPED_TRACE(w.how);
      fs::copy_file(dir / "original.xlsx", dir / "book.xlsx", fs::copy_options::overwrite_existing);
      const Outcome run = Tag("Parts!A2:A9", w.save);
      EXPECT_EQ(run.status, kExitOk) << run.err;
      if (run.status != kExitOk) continue;
      check(w.saved);
      if (w.save.size() > 1) {
        EXPECT_TRUE(ReadText(dir / "book.xlsx") == ReadText(dir / "original.xlsx")) << "the original changed";
      }
    }
  }

  TempDir dir;
};

// Saved over its own file or to a new name, the tagged workbook keeps every feature;
// the parts of the package other than sheets that the run did not change (the
// comments, the drawings, the chart, the picture, the table, the theme, the
// relationships of the sheets and drawings) are the same bytes.
TEST_F(XlsxKeeps, ATaggedWorkbookKeepsEveryFeature) {
  SaveEachWay([&](const std::string& saved) {
    const std::map<std::string, std::string> read = ReadFeatures(dir.Path(), saved);
    for (const Feature& f : kFeatures) {
      const auto it = read.find(f.name);
      const std::string got = it != read.end() ? it->second : "(unread) " + (read.empty() ? "" : read.begin()->second);
      EXPECT_EQ(got, f.value) << f.name << " in " << saved;
    }
    EXPECT_EQ(XlsxFeatures(dir.Path(), "'changed', 'original.xlsx', '" + saved +
                                           "', 'xl/worksheets/sheet2.xml', 'xl/worksheets/sheet3.xml'"),
              "[]\n");
  });
}

// The sheets the run did not change, "Notes" and "Hidden", are the same bytes too.
TEST_F(XlsxKeeps, PartsTheRunDidNotChangeAreTheSameBytes) {
  SaveEachWay([&](const std::string& saved) {
    EXPECT_EQ(XlsxFeatures(dir.Path(), "'changed', 'original.xlsx', '" + saved + "'"), "[]\n");
  });
}

// A workbook of the 1904 date system keeps it through a tagging save over its file:
// its dates stay the days they were.
TEST_F(XlsxKeeps, TheDateSystemOfATaggedWorkbookIsKept) {
  ASSERT_EQ(RunPython(dir.Path(), R"py(
import datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
ws = wb.active
ws.title = "Parts"
ws.append(["Name", "Tag", "Due"])
for i, name in enumerate(["R1", "C2", "R1"]):
    ws.append([name, None, datetime.date(2024, 1, 1 + i)])
    ws.cell(i + 2, 3).number_format = "yyyy-mm-dd"
wb.save("book.xlsx")
)py"),
            "");
  const Outcome run = Tag("A2:A4", {"--save"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(RunPython(dir.Path(), R"py(
import openpyxl
wb = openpyxl.load_workbook("book.xlsx")
ws = wb["Parts"]
print(wb.epoch.year, [ws.cell(r, 2).value for r in range(2, 5)], [ws.cell(r, 3).value.date().isoformat() for r in range(2, 5)])
)py"),
            "1904 ['R1', None, 'R1'] ['2024-01-01', '2024-01-02', '2024-01-03']\n");
}

}  // namespace
}  // namespace quillary::cli
