#include "cli/workbook_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "cli/failure.h"
#include "cli/tests/temp_dir.h"
#include "host/working_sheet.h"

namespace quillary::cli {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;
using xl::memory::GridSize;

class WorkbookIo : public ::testing::Test {
 protected:
  std::unique_ptr<xl::memory::MemoryApplication> NewApp() { return xl::memory::CreateApplication(); }

  static xl::Workbook& Load(xl::memory::MemoryApplication& into, const std::vector<fs::path>& paths) {
    return LoadWorkbook(into, paths);
  }

  std::unique_ptr<xl::memory::MemoryApplication> app = NewApp();
  TempDir dir;
};

// Cells as a user types them, and the value and type each must keep through a save
// and a load.
struct TypedCell {
  const char* typed;
  Variant expected;
  bool formula = false;
};

const std::vector<TypedCell>& TypedCells() {
  static const std::vector<TypedCell> cells{
      {"42", 42},
      {"-0.25", -0.25},
      {"1E+20", 1e20},
      {"123456789012345", 123456789012345.0},
      {"'007", u"007"},
      {"'TRUE", u"TRUE"},
      {"TRUE", true},
      {"false", false},
      {"''quoted", u"'quoted"},
      {"'=not a formula", u"=not a formula"},
      {"=\"lit\"", u"lit", true},
      {"'#N/A", u"#N/A"},
      {"'1,000", u"1,000"},
      {"'12%", u"12%"},
      {"'$5", u"$5"},
      {"1,000", 1000},
      {"12%", 0.12},
      {"6-10", u"6-10"},
      {"a,b \"c\"\nd", u"a,b \"c\"\nd"},
      {" 12 x", u" 12 x"},
      {"'", u""},
      {"\xC3\xA9t\xC3\xA9 \xE6\x97\xA5", FromUtf8("\xC3\xA9t\xC3\xA9 \xE6\x97\xA5")},
  };
  return cells;
}

TEST_F(WorkbookIo, ValuesAndTypesSurviveSaveAndLoad) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Small);
  xl::Worksheet& sheet = book.ActiveSheet();
  const auto& cells = TypedCells();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    // Every other row stays empty, and column C is left out, so that gaps are kept.
    sheet.Cells(static_cast<long>(2 * i + 1), i % 2 == 0 ? 1 : 4).SetValue(Variant(FromUtf8(cells[i].typed)));
  }
  sheet.Cells(5, 2).SetValue(CellError::NA);
  sheet.Cells(7, 2).SetValue(CellError::Div0);
  SaveWorkbook(book, dir / "book");

  auto reloaded = NewApp();
  xl::Worksheet& back = Load(*reloaded, {dir / "book"}).ActiveSheet();
  EXPECT_EQ(back.Parent().RowsCount(), 65536);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const long row = static_cast<long>(2 * i + 1), col = i % 2 == 0 ? 1 : 4;
    EXPECT_EQ(back.CellValue(row, col), cells[i].expected) << cells[i].typed;
    EXPECT_EQ(back.CellHasFormula(row, col), cells[i].formula) << cells[i].typed;
    EXPECT_TRUE(back.CellValue(row + 1, col).IsEmpty());
  }
  EXPECT_EQ(back.CellValue(5, 2), Variant(CellError::NA));
  EXPECT_EQ(back.CellValue(7, 2), Variant(CellError::Div0));
  EXPECT_TRUE(back.CellValue(1, 3).IsEmpty());
}

TEST_F(WorkbookIo, WorkingSheetNamesVisibilityAndSelectionSurvive) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Parts list");
  book.ActiveSheet().Cells(2, 1).SetValue(u"R1, R2");
  book.ActiveSheet().Range(u"A2:A5,C3").Select();
  xl::Worksheet& hidden = book.Sheets().Add({.After = &book.ActiveSheet()});
  hidden.SetName(u"Notes");
  hidden.SetVisible(xl::xlSheetHidden);
  book.Names().AddR1C1(u"Refs", u"='Parts list'!R2C1:R5C1", false);
  // The working sheet as the component makes it.
  sys::StandInServices services;
  host::State state(services.services);
  state.connection.ExcelApp = app.get();
  book.Sheets().Item(u"Parts list").Activate();
  host::InitPlace(state, host::kList2);
  book.Sheets().Item(u"Quillary3016000000").Cells(2, 3).SetValue(u"'R1");
  SaveWorkbook(book, dir / "book");

  auto reloaded = NewApp();
  xl::Workbook& back = Load(*reloaded, {dir / "book"});
  ASSERT_EQ(back.Sheets().Count(), 3);
  EXPECT_EQ(back.Sheets().Item(1).Name(), u"Quillary3016000000");
  EXPECT_EQ(back.ActiveSheet().Name(), u"Parts list");
  xl::Worksheet* work = host::FindHiddenWorkSht(back);
  ASSERT_NE(work, nullptr);
  EXPECT_EQ(work->Visible(), xl::xlSheetVeryHidden);
  EXPECT_EQ(back.Sheets().Item(u"Notes").Visible(), xl::xlSheetHidden);
  EXPECT_EQ(work->CellValue(2, 3), Variant(u"R1"));
  ASSERT_EQ(work->Names().Count(), 3);
  EXPECT_EQ(work->Names().Item(u"unique1").RefersTo(), u"=Quillary3016000000!$A$1");
  EXPECT_EQ(work->Names().Item(u"ExcelPaste").RefersTo(), u"=Quillary3016000000!$J$1");
  EXPECT_EQ(work->Names().Item(u"unique1_w").RefersTo(), u"=Quillary3016000000!$K$1");
  EXPECT_EQ(back.Names().Item(u"Refs").RefersTo(), u"='Parts list'!$A$2:$A$5");
  EXPECT_FALSE(back.Names().Item(u"Refs").Visible());
  xl::Worksheet& parts = back.Sheets().Item(u"Parts list");
  EXPECT_EQ(xl::Range(parts, parts.SelectionAreas()).Address(), u"$A$2:$A$5,$C$3");
  EXPECT_EQ(parts.ActiveCellPos(), (xl::CellPos{2, 1}));
}

TEST_F(WorkbookIo, LoadsPlainCsvFilesAndFoldersWithoutManifest) {
  WriteText(dir / "csv" / "b.csv", "x\n");
  WriteText(dir / "csv" / "a.csv",
            "\xEF\xBB\xBF"
            "1,\"two, three\"\n");
  WriteText(dir / "csv" / "notes.txt", "ignored");
  xl::Workbook& folder = Load(*app, {dir / "csv"});
  ASSERT_EQ(folder.Sheets().Count(), 2);
  EXPECT_EQ(folder.Sheets().Item(1).Name(), u"a");
  EXPECT_EQ(folder.Sheets().Item(1).CellValue(1, 1), Variant(1));
  EXPECT_EQ(folder.Sheets().Item(1).CellValue(1, 2), Variant(u"two, three"));
  EXPECT_EQ(folder.ActiveSheet().Name(), u"a");

  auto other = NewApp();
  xl::Workbook& files = Load(*other, {dir / "csv" / "b.csv", dir / "csv" / "a.csv"});
  EXPECT_EQ(files.Sheets().Item(1).Name(), u"b");
  EXPECT_EQ(files.Sheets().Item(2).Name(), u"a");
}

// A sheet file longer than the loader's band of rows, with gaps, quoted fields and
// typed entries, loads cell for cell as typing each field would enter it.
TEST_F(WorkbookIo, LoadsLongFilesColumnByColumn) {
  constexpr long kRows = 70000;
  std::string csv;
  for (long r = 1; r <= kRows; ++r) {
    csv += "R" + std::to_string(r);
    if (r % 3 == 0) csv += ",\"q\"\"" + std::to_string(r) + "\"";
    if (r % 7 == 0) csv += r % 3 == 0 ? ",#N/A" : ",,#N/A";
    csv += r % 2 == 0 ? "\r\n" : "\n";
  }
  WriteText(dir / "long.csv", csv);
  xl::Worksheet& sheet = Load(*app, {dir / "long.csv"}).ActiveSheet();
  for (long r = 1; r <= kRows; ++r) {
    ASSERT_EQ(sheet.CellValue(r, 1), Variant(FromUtf8("R" + std::to_string(r)))) << r;
    ASSERT_EQ(sheet.CellValue(r, 2), r % 3 == 0 ? Variant(FromUtf8("q\"" + std::to_string(r))) : Variant()) << r;
    ASSERT_EQ(sheet.CellValue(r, 3), r % 7 == 0 ? Variant(CellError::NA) : Variant()) << r;
  }
  EXPECT_TRUE(sheet.CellValue(kRows + 1, 1).IsEmpty());
  EXPECT_EQ(sheet.End(1, 3, xl::xlDown).row, 7);
}

TEST_F(WorkbookIo, RefusesBadInput) {
  struct Case {
    const char* what;
    std::string manifest;  // "" : no manifest
    std::vector<std::string> paths;
    std::string expected;
  };
  const std::string head = "quillary-workbook 1\n";
  const Case cases[] = {
      {"file outside the folder", head + "sheet S ../S.csv -1\n", {}, "line 2: the sheet file must be a file name"},
      {"unknown entry", head + "sheet S S.csv -1\ncolour red\n", {}, "line 3: unknown entry 'colour'"},
      {"bad visibility", head + "sheet S S.csv 1\n", {}, "line 2: the visibility must be -1, 0 or 2"},
      {"name of an unknown sheet", head + "sheet S S.csv -1\nname T n =R1C1\n", {}, "line 3: no sheet 'T'"},
      {"no magic first", "sheet S S.csv -1\n", {}, "line 1: the first entry must be 'quillary-workbook 1'"},
      {"missing sheet file", head + "sheet S missing.csv -1\n", {}, "cannot read"},
      {"invalid sheet name", head + "sheet \"a:b\" S.csv -1\n", {}, "cannot name a sheet 'a:b'"},
      {"invalid defined name", head + "sheet S S.csv -1\nname S \"1bad\" =R1C1\n", {}, "cannot define the name '1bad'"},
      {"empty folder", "", {}, "holds neither workbook.txt nor any .csv file"},
      {"a path that is no CSV file", "", {"nothing.csv"}, "is not a CSV file"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path folder = dir / ("case" + std::to_string(++n));
    fs::create_directories(folder);
    WriteText(folder / "S.csv", "1\n");
    if (c.manifest.empty()) fs::remove(folder / "S.csv");
    if (!c.manifest.empty()) WriteText(folder / kManifestFile, c.manifest);
    std::vector<fs::path> paths{folder};
    if (!c.paths.empty()) paths = {folder / c.paths[0]};
    try {
      Load(*app, paths);
      ADD_FAILURE() << c.what << ": loaded";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find(c.expected), std::string::npos) << c.what << ": " << f.what();
    }
  }
}

TEST_F(WorkbookIo, CellsBeyondTheGridAreRefused) {
  std::string wide(300, ',');
  WriteText(dir / "wide" / kManifestFile, "quillary-workbook 1\ngrid small\nsheet S S.csv -1\n");
  WriteText(dir / "wide" / "S.csv", "a" + wide + "x\n");
  EXPECT_THROW(Load(*app, {dir / "wide"}), Failure);
  // Empty fields past the edge are no cells.
  WriteText(dir / "wide" / "S.csv", "a" + wide + "\n");
  EXPECT_EQ(Load(*app, {dir / "wide"}).ActiveSheet().CellValue(1, 1), Variant(u"a"));
}

// The target of a save: what stands there before, and whether the save must refuse it.
TEST_F(WorkbookIo, SaveRefusesTargetsItWouldDestroy) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"new");
  WriteText(dir / "file", "a file");
  WriteText(dir / "other" / "keep.txt", "keep");
  WriteText(dir / "notes" / kManifestFile, "my own notes");
  const std::vector<std::pair<fs::path, std::string>> refused{
      {dir / "file", "it is a file"},
      {dir / "other", "the folder is neither empty nor a workbook folder"},
      {dir / "notes", "the folder is neither empty nor a workbook folder"},
      {dir / "missing" / "book", "does not exist"},
  };
  for (const auto& [target, message] : refused) {
    try {
      SaveWorkbook(book, target);
      ADD_FAILURE() << target << " replaced";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find(message), std::string::npos) << f.what();
    }
  }
  EXPECT_EQ(ReadText(dir / "file"), "a file");
  EXPECT_EQ(ReadText(dir / "other" / "keep.txt"), "keep");
  EXPECT_EQ(ReadText(dir / "notes" / kManifestFile), "my own notes");
  // Nothing is left beside the targets.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);

  fs::create_directories(dir / "empty");
  SaveWorkbook(book, dir / "empty/");
  EXPECT_TRUE(IsWorkbookFolder(dir / "empty"));
}

TEST_F(WorkbookIo, SaveReplacesAWorkbookFolderWhole) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Old");
  SaveWorkbook(book, dir / "book");
  book.ActiveSheet().SetName(u"New");
  book.ActiveSheet().Cells(1, 1).SetValue(u"v2");
  SaveWorkbook(book, dir / "book");
  EXPECT_FALSE(fs::exists(dir / "book" / "Old.csv"));
  EXPECT_EQ(ReadText(dir / "book" / "New.csv"), "v2\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A save that fails while writing (here: the file-size limit, as a full disk would)
// leaves the workbook folder it was to replace as it was, and no files beside it.
TEST_F(WorkbookIo, FailedSaveLeavesTheOldFolder) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"old");
  SaveWorkbook(book, dir / "book");
  const std::string before = ReadText(dir / "book" / "Sheet1.csv");
  for (long r = 1; r <= 2000; ++r) book.ActiveSheet().Cells(r, 1).SetValue(u"a longer text that fills the file");

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(SaveWorkbook(book, dir / "book"), Failure);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(ReadText(dir / "book" / "Sheet1.csv"), before);
  EXPECT_TRUE(IsWorkbookFolder(dir / "book"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace quillary::cli
