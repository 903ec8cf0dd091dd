#include "workbook/workbook_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "host/working_sheet.h"
#include "platform/system/memory/memory_system.h"
#include "workbook/failure.h"
#include "workbook/source_stamp.h"
#include "workbook/tests/round_trip.h"
#include "workbook/tests/temp_dir.h"

namespace quillary::workbook {
namespace {

namespace fs = std::filesystem;
using testing::AnyHidden;
using testing::Listing;
using testing::NotesSay;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;
using xl::memory::GridSize;

class WorkbookIo : public ::testing::Test {
 protected:
  std::unique_ptr<xl::memory::MemoryApplication> NewApp() { return xl::memory::CreateApplication(); }

  xl::Workbook& Load(xl::memory::MemoryApplication& into, const std::vector<fs::path>& paths) {
    return LoadWorkbook(into, paths, notes);
  }
  void Save(xl::Workbook& book, const fs::path& folder) { SaveWorkbook(book, folder, notes); }

  std::unique_ptr<xl::memory::MemoryApplication> app = NewApp();
  TempDir dir;
  Notes notes;
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
  Save(book, dir / "book");

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
  Save(book, dir / "book");

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

// Folders written when typing "(12)" gave a text hold such texts without a "'": they
// load as those texts, a side file's far cells too, and a save keeps them texts.
TEST_F(WorkbookIo, OlderFoldersKeepTheirTextsInParentheses) {
  const std::string csv = "(12),($5), (3),12\n";
  for (const std::string version : {"1", "2", "3"}) {
    SCOPED_TRACE("version " + version);
    const fs::path folder = dir / ("v" + version);
    const bool older = version != "3";
    WriteText(folder / kManifestFile, "quillary-workbook " + version + "\nsheet S S.csv -1\n" +
                                          (version == "1" ? "" : "layout S S.layout.txt\n"));
    if (version != "1") WriteText(folder / "S.layout.txt", "quillary-layout 1\ncell XFD1 \"(7)\"\n");
    WriteText(folder / "S.csv", csv);
    auto own = NewApp();
    xl::Worksheet& sheet = Load(*own, {folder}).ActiveSheet();
    EXPECT_EQ(sheet.CellValue(1, 1), older ? Variant(u"(12)") : Variant(-12));
    EXPECT_EQ(sheet.CellValue(1, 2), older ? Variant(u"($5)") : Variant(-5));
    EXPECT_EQ(sheet.CellValue(1, 3), older ? Variant(u" (3)") : Variant(-3));
    EXPECT_EQ(sheet.CellValue(1, 4), Variant(12));
    if (version != "1") {
      EXPECT_EQ(sheet.CellValue(1, 16384), older ? Variant(u"(7)") : Variant(-7));
    }
    if (!older) continue;
    Save(sheet.Parent(), dir / ("saved" + version));
    auto again = NewApp();
    xl::Worksheet& reloaded = Load(*again, {dir / ("saved" + version)}).ActiveSheet();
    EXPECT_EQ(reloaded.CellValue(1, 1), Variant(u"(12)"));
    EXPECT_EQ(reloaded.CellValue(1, 2), Variant(u"($5)"));
  }
}

// A sheet file longer than the loader's band of rows, with gaps, quoted fields and
// typed entries, loads cell for cell as typing each field would enter it.
TEST_F(WorkbookIo, LoadsLongFilesColumnByColumn) {
  constexpr long kRows = 70000;
  std::string csv;
  for (long r = 1; r <= kRows; ++r) {
    csv += std::string("R").append(std::to_string(r));
    if (r % 3 == 0) csv += std::string(",\"q\"\"").append(std::to_string(r)).append("\"");
    if (r % 7 == 0) csv += r % 3 == 0 ? ",#N/A" : ",,#N/A";
    csv += r % 2 == 0 ? "\r\n" : "\n";
  }
  WriteText(dir / "long.csv", csv);
  xl::Worksheet& sheet = Load(*app, {dir / "long.csv"}).ActiveSheet();
  for (long r = 1; r <= kRows; ++r) {
    ASSERT_EQ(sheet.CellValue(r, 1), Variant(FromUtf8(std::string("R").append(std::to_string(r))))) << r;
    ASSERT_EQ(sheet.CellValue(r, 2),
              r % 3 == 0 ? Variant(FromUtf8(std::string("q\"").append(std::to_string(r)))) : Variant())
        << r;
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
    std::string layout = {};  // the side file L.txt
  };
  const std::string head = "quillary-workbook 1\n";
  const std::string withLayout = "quillary-workbook 2\nsheet S S.csv -1\nlayout S L.txt\n";
  const std::string layoutHead = "quillary-layout 1\n";
  const Case cases[] = {
      {"file outside the folder", head + "sheet S ../S.csv -1\n", {}, "line 2: the sheet file must be a file name"},
      {"unknown entry", head + "sheet S S.csv -1\ncolour red\n", {}, "line 3: unknown entry 'colour'"},
      {"bad visibility", head + "sheet S S.csv 1\n", {}, "line 2: the visibility must be -1, 0 or 2"},
      {"name of an unknown sheet", head + "sheet S S.csv -1\nname T n =R1C1\n", {}, "line 3: no sheet 'T'"},
      {"no magic first", "sheet S S.csv -1\n", {}, "line 1: the first entry must be 'quillary-workbook 3'"},
      {"missing sheet file", head + "sheet S missing.csv -1\n", {}, "missing.csv' does not exist"},
      {"layout entry of version 1", head + "sheet S S.csv -1\nlayout S S.txt\n", {}, "unknown entry 'layout'"},
      {"bad side file",
       "quillary-workbook 2\nsheet S S.csv -1\nlayout S S.csv\n",
       {},
       "S.csv' line 1: the first entry must be 'quillary-layout 1'"},
      {"invalid sheet name", head + "sheet \"a:b\" S.csv -1\n", {}, "cannot name a sheet 'a:b'"},
      {"invalid defined name", head + "sheet S S.csv -1\nname S \"1bad\" =R1C1\n", {}, "cannot define the name '1bad'"},
      {"empty folder", "", {}, "holds neither workbook.txt nor any .csv file"},
      {"a path that does not exist", "", {"nothing.csv"}, "nothing.csv' does not exist"},
      {"side file: an area off the grid",
       withLayout,
       {},
       "L.txt' line 2: not an area of the sheet: 'A0'",
       layoutHead + "format A0 bold\n"},
      {"side file: unknown property",
       withLayout,
       {},
       "line 2: unknown format property 'shiny'",
       layoutHead + "format A1 shiny\n"},
      {"side file: bad escape",
       withLayout,
       {},
       "line 2: unknown escape '\\q'",
       layoutHead + "comment A1 \\q shown 1 2 3 4 5\n"},
      {"side file: band past the grid",
       withLayout,
       {},
       "line 2: not a band of the sheet: 1 16385",
       layoutHead + "hide-columns 1 16385\n"},
      {"side file: too many formatted cells",
       withLayout,
       {},
       "L.txt' holds format areas covering 33587232 cells, more than the 33554432",
       layoutHead + "format A1:B16400 bold\nformat 1:2048 wrap\n"},
      {"side file: a value of no type",
       withLayout,
       {},
       "line 2: a value is a number, text, boolean or error, not 'date'",
       layoutHead + "value A1 date 2024\n"},
      {"side file: a value for an empty cell",
       withLayout,
       {},
       "gives a value to $B$7, which is empty in the sheet's file",
       layoutHead + "value B7 number 0.30000000000000004\n"},
      {"side file: width the sheet refuses",
       withLayout,
       {},
       "sheet 'S': Unable to set the ColumnWidth property",
       layoutHead + "width 1 1 300\n"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path folder = dir / (std::string("case").append(std::to_string(++n)));
    fs::create_directories(folder);
    WriteText(folder / "S.csv", "1\n");
    if (c.manifest.empty()) fs::remove(folder / "S.csv");
    if (!c.manifest.empty()) WriteText(folder / kManifestFile, c.manifest);
    if (!c.layout.empty()) WriteText(folder / "L.txt", c.layout);
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
      Save(book, target);
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
  Save(book, dir / "empty/");
  EXPECT_TRUE(IsWorkbookFolder(dir / "empty"));
}

// A save over the files a workbook was read from stops, writing nothing, when another
// program changed them since: in a workbook folder any of its files, an xlsx file
// itself. A file written again with the same bytes is no change; a save to another
// name goes on; and a save is what the next save over the same files checks against.
TEST_F(WorkbookIo, ASaveOverFilesChangedSinceTheyWereReadStops) {
  struct Case {
    const char* target;   // the workbook's file or folder
    const char* changed;  // the file another program writes, in `target` or `target` itself
  };
  const Case cases[] = {{"book", "Sheet1.csv"}, {"book", kManifestFile}, {"book.xlsx", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " " + c.changed);
    TempDir here;
    const fs::path target = here / c.target;
    const fs::path changed = *c.changed ? target / c.changed : target;
    {
      xl::Workbook& made = app->AddWorkbook(GridSize::Small);
      made.ActiveSheet().Cells(1, 1).SetValue(u"one");
      Save(made, target);
    }
    // Files read an hour after they were written: their sizes and times are looked at first.
    const auto age = [&] {
      const auto then = fs::file_time_type::clock::now() - std::chrono::hours(1);
      if (fs::is_directory(target)) {
        for (const auto& f : fs::directory_iterator(target)) fs::last_write_time(f.path(), then);
      } else {
        fs::last_write_time(target, then);
      }
    };
    age();
    const std::string before = ReadText(changed);
    {
      auto other = NewApp();
      xl::Workbook& book = Load(*other, {target});
      book.ActiveSheet().Cells(2, 1).SetValue(u"mine");
      // The same bytes written again: no change.
      WriteText(changed, before);
      Save(book, target);
      // Saved: the next save checks the files against what this one wrote.
      Save(book, target);
    }
    age();
    auto other = NewApp();
    xl::Workbook& book = Load(*other, {target});
    book.ActiveSheet().Cells(2, 1).SetValue(u"mine");
    // Another program writes as many bytes, others (a manifest that still reads).
    std::string theirs = ReadText(changed);
    if (changed.filename() == kManifestFile) {
      theirs.replace(0, 2, "##");
    } else {
      theirs.back() = theirs.back() == 'x' ? 'y' : 'x';
    }
    WriteText(changed, theirs);
    const std::vector<std::string> listed = Listing(here.Path());
    const std::vector<std::string> inside = fs::is_directory(target) ? Listing(target) : listed;
    try {
      Save(book, target);
      ADD_FAILURE() << "saved over " << changed;
    } catch (const Failure& f) {
      const std::string message = f.what();
      EXPECT_NE(message.find(fs::weakly_canonical(changed).string() + "' changed since it was loaded"),
                std::string::npos)
          << message;
      EXPECT_NE(message.find("nothing was written"), std::string::npos) << message;
    }
    EXPECT_EQ(ReadText(changed), theirs);
    EXPECT_EQ(Listing(here.Path()), listed);
    EXPECT_EQ(fs::is_directory(target) ? Listing(target) : listed, inside);
    // Another name takes the workbook; its files are then the ones a save checks.
    const fs::path copy = here / (std::string("copy") + (fs::is_directory(target) ? "" : ".xlsx"));
    Save(book, copy);
    EXPECT_EQ(Load(*NewApp(), {copy}).ActiveSheet().Cells(2, 1).Value(), Variant(u"mine"));
    Save(book, copy);
    // A file the other program removed loses nothing: the save makes it again.
    fs::remove_all(copy);
    Save(book, copy);
    EXPECT_TRUE(fs::exists(copy));
  }
}

// A save to another name leaves the files the workbook was read from watched: another
// program's change to them is not written over by a later save there.
TEST_F(WorkbookIo, ASaveToAnotherNameKeepsTheLoadedFilesWatched) {
  struct Case {
    const char* target;   // the workbook's file or folder
    const char* changed;  // the file another program writes, in `target` or `target` itself
    const char* other;    // the name saved to in between
  };
  const Case cases[] = {
      {"book", "Sheet1.csv", "copy"}, {"book.xlsx", "", "copy.xlsx"}, {"book", "Sheet1.csv", "c.xlsx"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " " + c.other);
    TempDir here;
    const fs::path target = here / c.target;
    const fs::path changed = *c.changed ? target / c.changed : target;
    {
      xl::Workbook& made = app->AddWorkbook(GridSize::Small);
      made.ActiveSheet().Cells(1, 1).SetValue(u"one");
      Save(made, target);
    }
    auto other = NewApp();
    xl::Workbook& book = Load(*other, {target});
    Save(book, here / c.other);
    book.ActiveSheet().Cells(2, 1).SetValue(u"mine");
    std::string theirs = ReadText(changed);
    theirs.back() = theirs.back() == 'x' ? 'y' : 'x';
    WriteText(changed, theirs);
    EXPECT_THROW(Save(book, target), Failure);
    EXPECT_EQ(ReadText(changed), theirs);
    // The other name's files are those its last save wrote: saved over again, as they are.
    Save(book, here / c.other);
    EXPECT_EQ(Load(*NewApp(), {here / c.other}).ActiveSheet().Cells(2, 1).Value(), Variant(u"mine"));
  }
}

// A file put in the place of a stamped one is seen even when it keeps the stamped size
// and time of writing (as copies that keep times make it), and so is a link put in its
// place, even to a file of the same bytes or to none.
TEST_F(WorkbookIo, AFileReplacedUnderTheSameSizeAndTimeOrByALinkIsSeen) {
  const fs::path file = dir / "a.xlsx";
  const std::string mine = "the bytes the workbook read";
  WriteText(file, mine);
  const auto then = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(file, then);
  // The stamp of the file as read, made as if long after its last change.
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  FileStamp stamp = StampOf(file, mine);
  stamp.changed = then;
  stamp.entryChanged = std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  xl::Workbook& book = app->AddWorkbook(GridSize::Small);
  SetSource(book, {stamp});
  EXPECT_EQ(ChangedSinceRead(book, {file}), "");

  enum class Put { kSameSizeAndTime, kLinkToTheSameBytes, kLinkToOtherBytes, kLinkToNothing };
  for (const Put put : {Put::kSameSizeAndTime, Put::kLinkToTheSameBytes, Put::kLinkToOtherBytes, Put::kLinkToNothing}) {
    SCOPED_TRACE(static_cast<int>(put));
    const fs::path theirs = dir / "theirs.xlsx";
    std::string bytes = mine;
    if (put != Put::kLinkToTheSameBytes) bytes.back() = 'X';
    WriteText(theirs, bytes);
    fs::last_write_time(theirs, then);
    const fs::path kept = dir / "kept.xlsx";
    fs::copy_file(file, kept, fs::copy_options::overwrite_existing);
    if (put == Put::kSameSizeAndTime) {
      fs::rename(theirs, file);
    } else {
      fs::remove(file);
      fs::create_symlink(put == Put::kLinkToNothing ? dir / "nowhere.xlsx" : theirs, file);
    }
    EXPECT_NE(ChangedSinceRead(book, {file}).find("changed since it was loaded"), std::string::npos);
    // The file as it was, back in its place (a new one, with the same bytes): as read.
    fs::remove(file);
    fs::remove(theirs);
    fs::rename(kept, file);
    EXPECT_EQ(ChangedSinceRead(book, {file}), "");
  }
}

TEST_F(WorkbookIo, SaveReplacesAWorkbookFolderWhole) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Old");
  Save(book, dir / "book");
  book.ActiveSheet().SetName(u"New");
  book.ActiveSheet().Cells(1, 1).SetValue(u"v2");
  Save(book, dir / "book");
  EXPECT_FALSE(fs::exists(dir / "book" / "Old.csv"));
  EXPECT_EQ(ReadText(dir / "book" / "New.csv"), "v2\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A save that fails while writing (here: the file-size limit, as a full disk would)
// leaves the workbook folder it was to replace as it was, and no files beside it.
TEST_F(WorkbookIo, FailedSaveLeavesTheOldFolder) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"old");
  Save(book, dir / "book");
  const std::string before = ReadText(dir / "book" / "Sheet1.csv");
  for (long r = 1; r <= 2000; ++r) book.ActiveSheet().Cells(r, 1).SetValue(u"a longer text that fills the file");

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(Save(book, dir / "book"), Failure);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(ReadText(dir / "book" / "Sheet1.csv"), before);
  EXPECT_TRUE(IsWorkbookFolder(dir / "book"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A sheet name with a line break cannot be a manifest entry: the save says so and the
// folder keeps the workbook it held.
TEST_F(WorkbookIo, ASheetNameWithALineBreakIsRefusedNotWrittenBroken) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Small);
  book.ActiveSheet().Cells(1, 1).SetValue(u"old");
  Save(book, dir / "book");
  book.ActiveSheet().SetName(u"Parts\nlist");
  try {
    Save(book, dir / "book");
    ADD_FAILURE() << "saved";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("holds a line break, which a workbook file cannot keep"), std::string::npos)
        << f.what();
  }
  auto reloaded = NewApp();
  EXPECT_EQ(Load(*reloaded, {dir / "book"}).ActiveSheet().Name(), u"Sheet1");
}

// Everything a workbook holds comes back from a workbook folder. What the folder does
// not keep: the "'" a text was entered with when it needs none (only the cell's Formula
// shows it).
TEST_F(WorkbookIo, RoundTripKeepsEverything) {
  xl::memory::FileBook& rich = testing::BuildRichWorkbook(*app);
  rich.Protect(true, false);
  Save(rich, dir / "book");
  auto reloaded = NewApp();
  auto& back = dynamic_cast<xl::memory::FileBook&>(Load(*reloaded, {dir / "book"}));
  testing::ExpectSameWorkbook(rich, back);
  EXPECT_TRUE(back.ProtectStructure());
  EXPECT_FALSE(back.ProtectWindows());
  // Saved again, the files are the same.
  Save(back, dir / "again");
  const auto files = Listing(dir / "book");
  ASSERT_EQ(files, Listing(dir / "again"));
  for (const std::string& f : files) EXPECT_EQ(ReadText(dir / "book" / f), ReadText(dir / "again" / f)) << f;
  EXPECT_TRUE(std::find(files.begin(), files.end(), "Parts.csv.layout.txt") != files.end());
  EXPECT_TRUE(notes.empty());
}

// Saving visits what the sheet holds: a far cell goes to the side file rather than a
// million empty lines, and a list that starts low on the sheet stays in the CSV file.
TEST_F(WorkbookIo, FarCellsGoToTheSideFile) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  xl::Worksheet& sheet = book.ActiveSheet();
  sheet.Range(u"A1").SetValue(u"first");
  sheet.Range(u"XFD1048576").SetValue(u"'007");
  sheet.Range(u"C5000").SetValue(u"low");
  sheet.Range(u"C5001").SetValue(7);
  Save(book, dir / "book");
  const std::string csv = ReadText(dir / "book" / "Sheet1.csv");
  EXPECT_LT(csv.size(), 12000U);
  EXPECT_TRUE(csv.ends_with("\r\n,,low\r\n,,7\r\n"));
  EXPECT_NE(ReadText(dir / "book" / "Sheet1.csv.layout.txt").find("cell XFD1048576 '007\n"), std::string::npos);

  auto reloaded = NewApp();
  xl::Worksheet& back = Load(*reloaded, {dir / "book"}).ActiveSheet();
  EXPECT_EQ(back.CellValue(1, 1), Variant(u"first"));
  EXPECT_EQ(back.CellValue(1048576, 16384), Variant(u"007"));
  EXPECT_EQ(back.CellValue(5000, 3), Variant(u"low"));
  EXPECT_EQ(back.CellValue(5001, 3), Variant(7));
  EXPECT_EQ(back.End(1, 16384, xl::xlDown).row, 1048576);
}

// A save replaces the workbook's own files and keeps everything else in the folder: a
// sheet's new file takes another name than a file of the user's.
TEST_F(WorkbookIo, SaveKeepsWhatItDidNotWrite) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Old");
  book.ActiveSheet().SetFormat({1, 1, 1, 1}, xl::FormatKey::FontBold, true);
  Save(book, dir / "book");
  WriteText(dir / "book" / "notes.txt", "mine");
  WriteText(dir / "book" / "pictures" / "a.png", "png");
  WriteText(dir / "book" / "Report.csv", "my own report");
  book.ActiveSheet().SetName(u"Report");
  book.ActiveSheet().Cells(1, 1).SetValue(u"v2");
  Save(book, dir / "book");
  EXPECT_EQ(Listing(dir / "book"), (std::vector<std::string>{"Report-2.csv", "Report-2.csv.layout.txt", "Report.csv",
                                                             "notes.txt", "pictures", "workbook.txt"}));
  EXPECT_EQ(ReadText(dir / "book" / "Report.csv"), "my own report");
  EXPECT_EQ(ReadText(dir / "book" / "pictures" / "a.png"), "png");
  EXPECT_EQ(ReadText(dir / "book" / "Report-2.csv"), "v2\r\n");
}

// A folder whose manifest only begins like one is not a workbook folder: a save leaves
// it alone.
TEST_F(WorkbookIo, AManifestThatOnlyBeginsLikeOneIsNotOurs) {
  WriteText(dir / "book" / kManifestFile, "quillary-workbook 2\nthese are my notes\n");
  WriteText(dir / "book" / "data.csv", "keep");
  EXPECT_FALSE(IsWorkbookFolder(dir / "book"));
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  try {
    Save(book, dir / "book");
    ADD_FAILURE() << "saved";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find("neither empty nor a workbook folder (" +
                                         (dir / "book" / kManifestFile).string() + " line 2: unknown entry 'these'"),
              std::string::npos)
        << f.what();
  }
  EXPECT_EQ(Listing(dir / "book"), (std::vector<std::string>{"data.csv", "workbook.txt"}));
}

// A manifest that an editor saved with a UTF-8 byte order mark reads as without it.
TEST_F(WorkbookIo, AManifestWithAByteOrderMarkLoads) {
  WriteText(dir / "book" / kManifestFile, "\xEF\xBB\xBFquillary-workbook 2\nsheet S S.csv -1\n");
  WriteText(dir / "book" / "S.csv", "x\r\n");
  EXPECT_EQ(Load(*app, {dir / "book"}).ActiveSheet().CellValue(1, 1), Variant(u"x"));
  EXPECT_TRUE(IsWorkbookFolder(dir / "book"));
}

// "load ." and then a save to "." update the current folder in place.
TEST_F(WorkbookIo, SavingTheCurrentFolderKeepsIt) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"v1");
  Save(book, dir / "book");
  WriteText(dir / "book" / "notes.txt", "mine");
  const fs::path before = fs::current_path();
  fs::current_path(dir / "book");
  auto other = NewApp();
  xl::Workbook& loaded = Load(*other, {"."});
  loaded.ActiveSheet().Cells(1, 1).SetValue(u"v2");
  EXPECT_NO_THROW(Save(loaded, "."));
  EXPECT_NO_THROW(Save(loaded, "./"));
  fs::current_path(before);
  EXPECT_EQ(ReadText(dir / "book" / "Sheet1.csv"), "v2\r\n");
  EXPECT_EQ(ReadText(dir / "book" / "notes.txt"), "mine");
  EXPECT_FALSE(AnyHidden(dir / "book"));
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"book"});
}

// A folder whose name is as long as a file name may be is saved (no name of the save
// is longer), again and again.
TEST_F(WorkbookIo, LongFolderNamesSave) {
  const fs::path target = dir / std::string(255, 'w');
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"v1");
  Save(book, target);
  book.ActiveSheet().Cells(1, 1).SetValue(u"v2");
  Save(book, target);
  auto other = NewApp();
  EXPECT_EQ(Load(*other, {target}).ActiveSheet().CellValue(1, 1), Variant(u"v2"));
}

// An old file of the workbook that is no longer a plain file is not removed: the save
// says so and leaves nothing of its own behind.
TEST_F(WorkbookIo, AnOldFileThatCannotBeRemovedIsNamed) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Old");
  Save(book, dir / "book");
  fs::remove(dir / "book" / "Old.csv");
  WriteText(dir / "book" / "Old.csv" / "inside.txt", "the user's");
  book.ActiveSheet().SetName(u"New");
  Save(book, dir / "book");
  EXPECT_TRUE(NotesSay(notes, "Old.csv' is no longer a plain file; it is left as it is"))
      << ::testing::PrintToString(notes);
  EXPECT_EQ(ReadText(dir / "book" / "Old.csv" / "inside.txt"), "the user's");
  EXPECT_FALSE(AnyHidden(dir / "book"));
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"book"});
  // A file of the new set is never put in the place of a folder.
  fs::remove(dir / "book" / "New.csv");
  WriteText(dir / "book" / "New.csv" / "x", "x");
  EXPECT_THROW(Save(book, dir / "book"), Failure);
  EXPECT_FALSE(AnyHidden(dir / "book"));
  EXPECT_EQ(ReadText(dir / "book" / "New.csv" / "x"), "x");
}

// Runs `save` in a child process that the file-size limit kills (SIGXFSZ) while it
// writes, as a kill or a crash would stop it.
void SaveKilled(const std::function<void()>& save) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit small{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &small);
    ::signal(SIGXFSZ, SIG_DFL);
    save();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not stopped";
}

// A save killed while it writes leaves the target as it was; a load reads it so and
// changes nothing, the next save removes what the killed one left.
TEST_F(WorkbookIo, AKilledSaveLeavesTheTargetAndIsCleanedUp) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().Cells(1, 1).SetValue(u"old");
  Save(book, dir / "book");
  const auto files = Listing(dir / "book");
  for (long r = 1; r <= 2000; ++r) book.ActiveSheet().Cells(r, 1).SetValue(u"a longer text that fills the file");
  SaveKilled([&] { Save(book, dir / "book"); });
  SaveKilled([&] { Save(book, dir / "new"); });
  EXPECT_TRUE(AnyHidden(dir / "book"));
  EXPECT_TRUE(AnyHidden(dir.Path()));
  EXPECT_FALSE(fs::exists(dir / "new"));

  auto other = NewApp();
  EXPECT_EQ(Load(*other, {dir / "book"}).ActiveSheet().CellValue(2, 1), Variant());
  EXPECT_TRUE(NotesSay(notes, "is not complete and is not read")) << ::testing::PrintToString(notes);
  EXPECT_TRUE(AnyHidden(dir / "book"));
  Save(book, dir / "book");
  EXPECT_TRUE(NotesSay(notes, "left by a save that was cut short")) << ::testing::PrintToString(notes);
  EXPECT_EQ(Listing(dir / "book"), files);
  Save(book, dir / "new");
  EXPECT_FALSE(AnyHidden(dir.Path()));
  EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"book", "new"}));
}

// A save stopped after its journal was committed: a load reads the workbook as the
// journal says and changes nothing; the next save finishes it.
TEST_F(WorkbookIo, ASaveStoppedAfterItsJournalIsFinished) {
  xl::Workbook& book = app->AddWorkbook(GridSize::Large);
  book.ActiveSheet().SetName(u"Old");
  Save(book, dir / "book");
  const fs::path staging = dir / "book" / ".quillary-save-abc123";
  WriteText(staging / "New.csv", "new\r\n");
  WriteText(staging / kManifestFile, "quillary-workbook 2\nsheet New New.csv -1\n");
  WriteText(staging / ".journal", "quillary-save 1\ncommitted\nmove New.csv\nmove workbook.txt\nremove Old.csv\n");
  const auto before = Listing(dir / "book");
  auto other = NewApp();
  xl::Workbook& loaded = Load(*other, {dir / "book"});
  EXPECT_EQ(loaded.ActiveSheet().Name(), u"New");
  EXPECT_EQ(loaded.ActiveSheet().CellValue(1, 1), Variant(u"new"));
  EXPECT_TRUE(NotesSay(notes, "was interrupted after it was complete")) << ::testing::PrintToString(notes);
  EXPECT_EQ(Listing(dir / "book"), before);
  EXPECT_TRUE(IsWorkbookFolder(dir / "book"));
  Save(loaded, dir / "book");
  EXPECT_TRUE(NotesSay(notes, "finished a save into")) << ::testing::PrintToString(notes);
  EXPECT_EQ(Listing(dir / "book"), (std::vector<std::string>{"New.csv", "workbook.txt"}));
}

// A field longer than a cell holds is cut, and the load says which cell and to how many
// characters: one less than a cell holds where the cut would split a surrogate pair.
TEST_F(WorkbookIo, AFieldCutToFitACellIsNamed) {
  WriteText(dir / "book" / kManifestFile, "quillary-workbook 2\nsheet \"My list\" S.csv -1\n");
  WriteText(
      dir / "book" / "S.csv",
      std::string("a,b\nc,").append(std::string(40000, 'x')).append(",'").append(std::string(32767, 'y')).append(",") +
          std::string(32766, 'z') + "\xF0\x9F\x98\x80\n");
  xl::Worksheet& sheet = Load(*app, {dir / "book"}).ActiveSheet();
  EXPECT_EQ(notes, (Notes{"My list!B2: the text of 40000 characters was cut to the 32767 a cell holds",
                          "My list!D2: the text of 32768 characters was cut to 32766, as a cell holds 32767 and the "
                          "last would have split a character in two"}));
  EXPECT_EQ(sheet.CellValue(2, 2).AsText().size(), xl::kCellTextLimit);
  EXPECT_EQ(sheet.CellValue(2, 3).AsText().size(), xl::kCellTextLimit);
  EXPECT_EQ(sheet.CellValue(2, 4).AsText(), Text(32766, u'z'));
}

// A CSV file as spreadsheets export it: a file that is not UTF-8 reads as Windows-1252
// and one separated by semicolons or tabs with that separator, each with a note; a
// U+FFFD that a UTF-8 file holds is its own character. The workbook's own files keep
// the comma.
TEST_F(WorkbookIo, CsvFilesReadInTheirEncodingAndWithTheirSeparator) {
  const std::string latin = " is not UTF-8 (line 2, byte 0xE9): read as Windows-1252, the spreadsheet's CSV on Windows";
  const std::string semicolons =
      ": read with semicolons between fields, as each of its lines has the same number of them";
  const struct {
    const char* what;
    std::string data;
    std::vector<std::vector<Variant>> cells;  // from A1
    std::vector<std::string> notes;           // after the file's quoted path
  } cases[] = {
      {"UTF-8 with commas",
       "caf\xC3\xA9,\xEF\xBF\xBD\r\n\xC3\xBC,2\r\n",
       {{u"caf\u00E9", u"\uFFFD"}, {u"\u00FC", 2.0}},
       {}},
      {"Windows-1252 with commas", "x,y\r\ncaf\xE9,\x80 5\r\n", {{u"x", u"y"}, {u"caf\u00E9", u"\u20AC 5"}}, {latin}},
      {"Windows-1252 with semicolons",
       "Part;Price\r\nR\xE9sistance;\"1,5\"\r\n",
       {{u"Part", u"Price"}, {u"R\u00E9sistance", u"1,5"}},
       {latin, semicolons}},
      {"tabs",
       "a\tb\n\"c\td\"\te\n",
       {{u"a", u"b"}, {u"c\td", u"e"}},
       {": read with tabs between fields, as each of its lines has the same number of them"}},
      {"semicolons inside fields of a comma file", "a;b,c\n", {{u"a;b", u"c"}}, {}},
  };
  for (const auto& c : cases) {
    WriteText(dir / "S.csv", c.data);
    notes.clear();
    auto into = NewApp();
    xl::Worksheet& sheet = Load(*into, {dir / "S.csv"}).ActiveSheet();
    for (std::size_t r = 0; r < c.cells.size(); ++r) {
      for (std::size_t col = 0; col < c.cells[r].size(); ++col) {
        EXPECT_EQ(sheet.CellValue(static_cast<long>(r) + 1, static_cast<long>(col) + 1), c.cells[r][col])
            << c.what << " " << r << "," << col;
      }
    }
    Notes expected;
    for (const std::string& n : c.notes) expected.push_back(QuotedPath(dir / "S.csv") + n);
    EXPECT_EQ(notes, expected) << c.what;
  }

  // A sheet file of a workbook folder that a spreadsheet saved as Windows-1252.
  WriteText(dir / "book" / kManifestFile, "quillary-workbook 2\nsheet S S.csv -1\n");
  WriteText(dir / "book" / "S.csv", "a;b\r\nc;d\xE9\r\n");
  notes.clear();
  xl::Worksheet& own = Load(*app, {dir / "book"}).ActiveSheet();
  EXPECT_EQ(own.CellValue(2, 1), Variant(u"c;d\u00E9"));
  EXPECT_EQ(notes, Notes{QuotedPath(dir / "book" / "S.csv") + latin});
}

// Only text loads as a CSV file: a package among several files, a binary file in a
// folder of CSV files and text named .xlsx are refused, naming the file.
TEST_F(WorkbookIo, OnlyTextLoadsAsCsv) {
  WriteText(dir / "a.csv", "a\n");
  WriteText(dir / "b.csv", std::string("PK\x03\x04\x14\0", 6));
  WriteText(dir / "text.xlsx", "a,b\n");
  WriteText(dir / "csvs" / "a.csv", "a\n");
  WriteText(dir / "csvs" / "b.csv", std::string("GIF89a\x01\0\x01\0", 10));
  const struct {
    std::vector<fs::path> paths;
    std::string message;
  } cases[] = {
      {{dir / "a.csv", dir / "b.csv"},
       QuotedPath(dir / "b.csv") + " is a zip archive or a compound file, not CSV text: a workbook loads on its own"},
      {{dir / "csvs"}, QuotedPath(dir / "csvs" / "b.csv") + " is a binary file, neither CSV text nor an xlsx workbook"},
      {{dir / "text.xlsx"}, "it is not an xlsx workbook (not a zip archive)"},
  };
  for (const auto& c : cases) {
    try {
      Load(*app, c.paths);
      ADD_FAILURE() << c.message << ": loaded";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find(c.message), std::string::npos) << f.what();
    }
  }
}

// A sheet file that is a FIFO, a folder or a link leading out of the workbook folder is
// refused with what it is, before anything is read.
TEST_F(WorkbookIo, SheetFilesMustBePlainFilesInTheFolder) {
  WriteText(dir / "outside.csv", "secret");
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    std::string message;
  };
  const Case cases[] = {
      {"a FIFO", [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }, "S.csv' is a FIFO, not a file"},
      {"a folder", [](const fs::path& f) { fs::create_directories(f); }, "S.csv' is a folder, not a file"},
      {"a link out", [&](const fs::path& f) { fs::create_symlink(dir / "outside.csv", f); },
       "S.csv' is a symbolic link leading outside the workbook folder"},
      {"a link to a folder above", [&](const fs::path& f) { fs::create_symlink("..", f); },
       "S.csv' is a symbolic link leading outside the workbook folder"},
  };
  int n = 0;
  for (const Case& c : cases) {
    for (const bool manifest : {true, false}) {
      const fs::path folder = dir / (std::string("case").append(std::to_string(++n)));
      fs::create_directories(folder);
      if (manifest) WriteText(folder / kManifestFile, "quillary-workbook 2\nsheet S S.csv -1\n");
      c.make(folder / "S.csv");
      const auto before = Listing(folder);
      try {
        Load(*app, {folder});
        ADD_FAILURE() << c.what << ": loaded";
      } catch (const Failure& f) {
        EXPECT_NE(std::string(f.what()).find(c.message), std::string::npos) << c.what << ": " << f.what();
      }
      EXPECT_EQ(Listing(folder), before) << c.what;
    }
  }
  // A link to a file in the folder is fine.
  WriteText(dir / "inside" / "data.txt", "1,2\n");
  WriteText(dir / "inside" / kManifestFile, "quillary-workbook 2\nsheet S S.csv -1\n");
  fs::create_symlink("data.txt", dir / "inside" / "S.csv");
  EXPECT_EQ(Load(*app, {dir / "inside"}).ActiveSheet().CellValue(1, 2), Variant(2));
}

}  // namespace
}  // namespace quillary::workbook
