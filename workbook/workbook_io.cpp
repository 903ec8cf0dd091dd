#include "workbook/workbook_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <queue>
#include <set>
#include <sstream>
#include <tuple>

#include "platform/runtime/error.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "workbook/cell_notes.h"
#include "workbook/csv.h"
#include "workbook/csv_text.h"
#include "workbook/entries.h"
#include "workbook/failure.h"
#include "workbook/file_kind.h"
#include "workbook/layout_file.h"
#include "workbook/plain_file.h"
#include "workbook/save_transaction.h"
#include "workbook/sheet_layout.h"
#include "workbook/source_stamp.h"
#include "workbook/xlsx.h"

namespace quillary::workbook {

namespace fs = std::filesystem;
using xl::memory::GridSize;

namespace {

constexpr std::string_view kMagic = "quillary-workbook";
constexpr std::string_view kFormatVersion = "3";
// Folders of the first version (no side files, no workbook protection) load as well.
constexpr std::string_view kFirstVersion = "1";
// Folders of the first two versions were written when typing "(12)" gave a text, so
// such a field was written without a "'": there it stands for the text.
constexpr std::string_view kSecondVersion = "2";
constexpr std::string_view kWorkbookScope = "*";

// Runs `body`, turning an error of the application into a Failure that says what was
// being done.
template <class Body>
void InContext(const std::string& what, Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    throw Failure(what + ": " + e.Description());
  }
}

// ----- files -----

std::string ReadFile(const fs::path& path) { return ReadPlainFile(path); }

// Reads a file the manifest names: it must lie in the workbook folder, also when it is
// a symbolic link (a file that an interrupted save had not yet moved in is read from its
// staging folder, where it is a plain file). Its stamp goes to `read`, under its place in
// the folder.
std::string ReadWorkbookFile(const FolderView& view, const std::string& file, SourceFiles* read = nullptr) {
  const fs::path path = view.PathOf(file);
  if (path != view.Folder() / file) {
    std::string data = ReadPlainFile(path, Links::kRefuse);
    if (read != nullptr) {
      FileStamp stamp = StampOf(path, data);
      stamp.path = StampOf(view.Folder() / file, 0, 0).path;
      read->push_back(std::move(stamp));
    }
    return data;
  }
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path home = fs::canonical(view.Folder(), ec);
    const fs::path target = fs::weakly_canonical(path, ec);
    const auto [end, rest] = std::mismatch(home.begin(), home.end(), target.begin(), target.end());
    if (ec || end != home.end() || rest == target.end()) {
      throw Failure(QuotedPath(path) + " is a symbolic link leading outside the workbook folder");
    }
  }
  std::string data = ReadFile(path);
  if (read != nullptr) read->push_back(StampOf(path, data));
  return data;
}

// ----- the manifest -----

struct SheetEntry {
  Text name;
  std::string file;
  long visible = xl::xlSheetVisible;
  std::optional<Text> selection;
  Text activeCell;
  std::optional<std::string> layoutFile;
};

struct NameEntry {
  std::optional<Text> sheet;  // nothing: a workbook-level name
  Text name;
  Text refersToR1C1;
  bool visible = true;
};

struct Manifest {
  GridSize grid = GridSize::Large;
  std::vector<SheetEntry> sheets;
  std::optional<Text> active;
  std::vector<NameEntry> names;
  bool protectStructure = false, protectWindows = false;
  // False for folders whose fields were written when "(12)" typed a text.
  bool parenthesesTypeNumbers = true;

  // The files of the workbook in its folder, the manifest among them.
  std::vector<std::string> Files() const {
    std::vector<std::string> files{kManifestFile};
    for (const SheetEntry& s : sheets) {
      files.push_back(s.file);
      if (s.layoutFile) files.push_back(*s.layoutFile);
    }
    return files;
  }
};

long ParseVisibility(const std::string& word) {
  if (word == "-1") return xl::xlSheetVisible;
  if (word == "0") return xl::xlSheetHidden;
  if (word == "2") return xl::xlSheetVeryHidden;
  throw Failure("the visibility must be -1, 0 or 2, not '" + word + "'");
}

// A sheet file named in a manifest must lie in the workbook folder itself.
std::string CheckFileName(const std::string& file) {
  const fs::path p(file);
  if (file.empty() || p.has_parent_path() || p.is_absolute() || file == "." || file == "..") {
    throw Failure("the sheet file must be a file name in the workbook folder, not '" + file + "'");
  }
  return file;
}

SheetEntry& SheetOf(Manifest& m, const std::string& name) {
  const Text wanted = FromUtf8(name);
  for (SheetEntry& s : m.sheets) {
    if (text_order::EqualNoCase(s.name, wanted)) return s;
  }
  throw Failure("no sheet '" + name + "' is listed before this line");
}

void Expect(const std::vector<std::string>& w, std::size_t least, std::size_t most, const char* form) {
  if (w.size() < least || w.size() > most) throw Failure(std::string("expected: ") + form);
}

void ReadEntry(Manifest& m, std::string_view version, const std::vector<std::string>& w) {
  const std::string& key = w[0];
  if (key == "grid") {
    Expect(w, 2, 2, "grid large|small");
    if (w[1] != "large" && w[1] != "small") throw Failure("the grid must be large or small");
    m.grid = w[1] == "small" ? GridSize::Small : GridSize::Large;
  } else if (key == "sheet") {
    Expect(w, 4, 4, "sheet NAME FILE VISIBLE");
    m.sheets.push_back({FromUtf8(w[1]), CheckFileName(w[2]), ParseVisibility(w[3]), std::nullopt, {}, std::nullopt});
  } else if (key == "select") {
    Expect(w, 4, 4, "select SHEET AREAS ACTIVECELL");
    SheetEntry& s = SheetOf(m, w[1]);
    s.selection = FromUtf8(w[2]);
    s.activeCell = FromUtf8(w[3]);
  } else if (key == "active") {
    Expect(w, 2, 2, "active SHEET");
    m.active = SheetOf(m, w[1]).name;
  } else if (key == "name") {
    Expect(w, 4, 5, "name SHEET|* NAME REFERS [hidden]");
    if (w.size() == 5 && w[4] != "hidden") throw Failure("the last word of a name entry may only be 'hidden'");
    std::optional<Text> scope;
    if (w[1] != kWorkbookScope) scope = SheetOf(m, w[1]).name;
    m.names.push_back({scope, FromUtf8(w[2]), FromUtf8(w[3]), w.size() == 4});
  } else if (key == "layout" && version != kFirstVersion) {
    Expect(w, 3, 3, "layout SHEET FILE");
    SheetOf(m, w[1]).layoutFile = CheckFileName(w[2]);
  } else if (key == "protect" && version != kFirstVersion) {
    Expect(w, 2, 3, "protect structure|windows...");
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (w[i] == "structure") {
        m.protectStructure = true;
      } else if (w[i] == "windows") {
        m.protectWindows = true;
      } else {
        throw Failure("a workbook protects its structure or windows, not '" + w[i] + "'");
      }
    }
  } else {
    throw Failure("unknown entry '" + key + "'");
  }
}

// The manifest `text`, read from `path`.
Manifest ManifestOfText(const std::string& text, const fs::path& path) {
  Manifest m;
  try {
    const std::string found = ReadEntries(
        text, kMagic, {kFormatVersion, kSecondVersion, kFirstVersion},
        [&](std::string_view version, const std::vector<std::string>& words) { ReadEntry(m, version, words); });
    m.parenthesesTypeNumbers = found == kFormatVersion;
  } catch (const Failure& f) {
    throw Failure(path.string() + " " + f.what());
  }
  if (m.sheets.empty()) throw Failure(path.string() + ": no sheet is listed");
  return m;
}

// The manifest at `path`.
Manifest ReadManifest(const fs::path& path) { return ManifestOfText(ReadFile(path), path); }

std::string Line(std::initializer_list<std::string_view> words) { return EntryLine(words); }

std::string ManifestText(const Manifest& m) {
  std::string out = "# A workbook of the Quillary command-line host: one CSV file per sheet and its side file.\n";
  out += Line({std::string(kMagic), std::string(kFormatVersion)});
  out += Line({"grid", m.grid == GridSize::Small ? "small" : "large"});
  for (const SheetEntry& s : m.sheets) {
    out += Line({"sheet", ToUtf8(s.name), s.file, std::to_string(s.visible)});
  }
  for (const SheetEntry& s : m.sheets) {
    if (s.selection) out += Line({"select", ToUtf8(s.name), ToUtf8(*s.selection), ToUtf8(s.activeCell)});
  }
  for (const SheetEntry& s : m.sheets) {
    if (s.layoutFile) out += Line({"layout", ToUtf8(s.name), *s.layoutFile});
  }
  if (m.active) out += Line({"active", ToUtf8(*m.active)});
  if (m.protectStructure && m.protectWindows) {
    out += Line({"protect", "structure", "windows"});
  } else if (m.protectStructure || m.protectWindows) {
    out += Line({"protect", m.protectStructure ? "structure" : "windows"});
  }
  for (const NameEntry& n : m.names) {
    const std::string scope = n.sheet ? ToUtf8(*n.sheet) : std::string(kWorkbookScope);
    if (n.visible) {
      out += Line({"name", scope, ToUtf8(n.name), ToUtf8(n.refersToR1C1)});
    } else {
      out += Line({"name", scope, ToUtf8(n.name), ToUtf8(n.refersToR1C1), "hidden"});
    }
  }
  return out;
}

// ----- from files into the workbook -----

// UTF-8 to UTF-16 into `out`, without a new string for the common all-ASCII field.
void AppendUtf16(std::u16string& out, std::string_view utf8) {
  for (const char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      out += FromUtf8(utf8);
      return;
    }
  }
  const std::size_t at = out.size();
  out.resize(at + utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) out[at + i] = static_cast<char16_t>(utf8[i]);
}

// A note when a cell cannot hold all of a field: the entry rules keep its first
// kCellTextLimit characters (after a leading "'").
void NoteCutField(xl::Worksheet& sheet, long row, long col, TextView field, Notes& notes) {
  if (std::string note = CutTextNote(CellName(sheet, row, col), EnteredText(field)); !note.empty()) {
    notes.push_back(std::move(note));
  }
}

// True for a field that a folder of the first two versions holds for a text and that
// typing now reads as a number in parentheses ("(12)").
bool LegacyParenthesisedText(TextView field) {
  const std::size_t first = field.find_first_not_of(u' ');
  return first != TextView::npos && field[first] == u'(' && xl::memory::EnteredValue(field).IsNumber();
}

// Enters `typed` down column `col` from `row1`; with `parenthesesTypeNumbers` false, a
// field such as "(12)" is stored as the text it was written for.
void EnterFields(xl::memory::FileSheet& sheet, long row1, long col, std::span<const TextView> typed,
                 bool parenthesesTypeNumbers) {
  sheet.EnterTexts(row1, col, typed);
  if (parenthesesTypeNumbers) return;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (!LegacyParenthesisedText(typed[i])) continue;
    const Variant text{Text(typed[i])};
    const xl::memory::FileCell cell = xl::memory::FileCellOf(text);
    sheet.StoreCells(row1 + static_cast<long>(i), col, std::span(&cell, 1));
  }
}

// The fields of one column for a band of rows, kept as one text and the spans of it,
// then entered into the sheet in one call.
struct ColumnBatch {
  long firstRow = 0;  // 0 while the band has no field for the column
  std::u16string chars;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // (start, length) a row from firstRow
};

// Loads a sheet file: its fields are read as views of the file's data, gathered by
// column over bands of rows, and each band of a column is entered with one call.
void FillSheet(xl::Worksheet& sheet, const fs::path& file, const CsvText& text, Notes& notes,
               bool parenthesesTypeNumbers = true) {
  constexpr long kBand = 1 << 16;
  auto& cells = dynamic_cast<xl::memory::FileSheet&>(sheet);
  const long rows = sheet.RowsCount(), cols = sheet.ColumnsCount();
  std::vector<ColumnBatch> batches;
  std::vector<TextView> views;
  long row = 1;
  const auto flush = [&] {
    for (std::size_t c = 0; c < batches.size(); ++c) {
      ColumnBatch& b = batches[c];
      if (b.firstRow == 0) continue;
      views.clear();
      for (const auto& [start, length] : b.spans) views.push_back(TextView(b.chars).substr(start, length));
      EnterFields(cells, b.firstRow, static_cast<long>(c) + 1, views, parenthesesTypeNumbers);
      b.firstRow = 0;
      b.chars.clear();
      b.spans.clear();
    }
  };
  try {
    CsvScanner scanner(text.utf8, text.separator);
    std::string_view field;
    bool endsRecord = false;
    long col = 0;
    while (scanner.Next(field, endsRecord)) {
      ++col;
      if (!field.empty()) {
        if (row > rows || col > cols) {
          throw Failure("the data does not fit the sheet's " + std::to_string(rows) + " x " + std::to_string(cols) +
                        " cells");
        }
        if (batches.size() < static_cast<std::size_t>(col)) batches.resize(static_cast<std::size_t>(col));
        ColumnBatch& b = batches[static_cast<std::size_t>(col - 1)];
        if (b.firstRow == 0) b.firstRow = row;
        // Rows of the band without a field for this column stay as they are.
        while (b.firstRow + static_cast<long>(b.spans.size()) < row) b.spans.emplace_back(b.chars.size(), 0);
        const std::size_t start = b.chars.size();
        AppendUtf16(b.chars, field);
        b.spans.emplace_back(start, b.chars.size() - start);
        if (b.chars.size() - start > xl::kCellTextLimit) {
          NoteCutField(sheet, row, col, TextView(b.chars).substr(start), notes);
        }
      }
      if (endsRecord) {
        col = 0;
        if (row % kBand == 0) flush();
        ++row;
      }
    }
    flush();
  } catch (const Failure& f) {
    throw Failure(QuotedPath(file) + ": " + f.what());
  } catch (const Error& e) {
    throw Failure(QuotedPath(file) + " record " + std::to_string(row) + ": " + e.Description());
  }
}

// Enters the cells a side file keeps.
void EnterFieldCells(xl::memory::FileSheet& sheet, const std::vector<FieldCell>& cells, Notes& notes,
                     bool parenthesesTypeNumbers) {
  for (const FieldCell& c : cells) {
    NoteCutField(sheet, c.cell.row, c.cell.col, c.field, notes);
    const TextView field = c.field;
    EnterFields(sheet, c.cell.row, c.cell.col, std::span(&field, 1), parenthesesTypeNumbers);
  }
}

// Gives cells the exact values the side file keeps for them: formula cells the values
// their file gave them, number cells the digits typing would not keep. An entry for a
// cell that is empty is refused: the files do not belong together.
void StoreCachedValues(xl::memory::FileSheet& sheet, const std::vector<CachedValue>& values) {
  for (const CachedValue& v : values) {
    const xl::CellPos at = v.cell;
    if (sheet.CellValue(at.row, at.col).IsEmpty()) {
      throw Failure("the side file gives a value to " + ToUtf8(sheet.Cells(at.row, at.col).Address()) +
                    ", which is empty in the sheet's file");
    }
    const Text source = sheet.CellHasFormula(at.row, at.col) ? sheet.CellFormula(at.row, at.col) : Text();
    const xl::memory::FileCell cell = xl::memory::FileCellOf(v.value, source);
    sheet.StoreCells(at.row, at.col, std::span(&cell, 1));
  }
}

// Makes the workbook's sheets, named in order: the first is the sheet a new workbook
// has, each other one is added after the last. Every earlier sheet already has its
// final name, so the default name of an added sheet never stands in the way.
std::vector<xl::Worksheet*> MakeSheets(xl::Workbook& book, const std::vector<Text>& names) {
  std::vector<xl::Worksheet*> sheets;
  for (const Text& name : names) {
    xl::Worksheet& sheet = sheets.empty() ? book.Sheets().Item(1) : book.Sheets().Add({.After = sheets.back()});
    InContext("cannot name a sheet '" + ToUtf8(name) + "'", [&] { sheet.SetName(name); });
    sheets.push_back(&sheet);
  }
  return sheets;
}

std::vector<xl::Area> ParseAreas(const xl::Worksheet& sheet, const Text& text) {
  auto ref = xl::ParseA1(text, sheet.RowsCount(), sheet.ColumnsCount());
  if (!ref || ref->sheet || ref->areas.empty()) throw Failure("not a cell reference: '" + ToUtf8(text) + "'");
  return ref->areas;
}

void ApplySelection(xl::Worksheet& sheet, const SheetEntry& entry) {
  if (!entry.selection) return;
  const auto areas = ParseAreas(sheet, *entry.selection);
  const auto active = ParseAreas(sheet, entry.activeCell);
  sheet.Select(areas);
  const xl::Area& cell = active.front();
  sheet.Activate(xl::Area{cell.row1, cell.col1, cell.row1, cell.col1});
}

void ApplyNames(xl::Workbook& book, const std::vector<NameEntry>& names) {
  for (const NameEntry& n : names) {
    xl::NameCollection& owner = n.sheet ? book.Sheets().Item(*n.sheet).Names() : book.Names();
    InContext("cannot define the name '" + ToUtf8(n.name) + "'",
              [&] { owner.AddR1C1(n.name, n.refersToR1C1, n.visible); });
  }
}

// A sheet of a workbook folder: its side file's layout put on, its CSV file's values
// and the side file's cells entered in between.
void LoadSheet(xl::memory::FileSheet& sheet, const FolderView& view, const SheetEntry& entry,
               bool parenthesesTypeNumbers, SourceFiles& read, Notes& notes) {
  SheetLayout layout;
  std::vector<FieldCell> cells;
  std::vector<CachedValue> values;
  if (entry.layoutFile) {
    const std::string text = ReadWorkbookFile(view, *entry.layoutFile, &read);
    try {
      ReadLayoutFile(text, sheet.RowsCount(), sheet.ColumnsCount(), layout, cells, values);
    } catch (const Failure& f) {
      throw Failure(QuotedPath(view.PathOf(*entry.layoutFile)) + " " + f.what());
    }
  }
  // The workbook's own CSV files separate their fields with commas.
  const CsvText text =
      ReadCsvText(ReadWorkbookFile(view, entry.file, &read), QuotedPath(view.PathOf(entry.file)), false, notes);
  InContext("sheet '" + ToUtf8(entry.name) + "'", [&] {
    ApplyLayout(sheet, layout, [&] {
      FillSheet(sheet, view.PathOf(entry.file), text, notes, parenthesesTypeNumbers);
      EnterFieldCells(sheet, cells, notes, parenthesesTypeNumbers);
      StoreCachedValues(sheet, values);
    });
  });
  InContext("the selection of sheet '" + ToUtf8(entry.name) + "'", [&] { ApplySelection(sheet, entry); });
}

xl::Workbook& LoadManifestFolder(xl::memory::MemoryApplication& app, const FolderView& view, SourceFiles& read,
                                 Notes& notes) {
  const fs::path manifest = view.PathOf(kManifestFile);
  const std::string text = ReadFile(manifest);
  read.push_back(StampOf(manifest, text));
  read.back().path = StampOf(view.Folder() / kManifestFile, 0, 0).path;
  const Manifest m = ManifestOfText(text, manifest);
  xl::memory::FileBook& book = app.AddWorkbook(m.grid);
  std::vector<Text> names;
  for (const SheetEntry& s : m.sheets) names.push_back(s.name);
  const auto sheets = MakeSheets(book, names);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    LoadSheet(dynamic_cast<xl::memory::FileSheet&>(*sheets[i]), view, m.sheets[i], m.parenthesesTypeNumbers, read,
              notes);
  }
  ApplyNames(book, m.names);
  (m.active ? book.Sheets().Item(*m.active) : *sheets.front()).Activate();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    InContext("cannot set the visibility of sheet '" + ToUtf8(m.sheets[i].name) + "'",
              [&] { sheets[i]->SetVisible(m.sheets[i].visible); });
  }
  if (m.protectStructure || m.protectWindows) book.Protect(m.protectStructure, m.protectWindows);
  return book;
}

// The text of a CSV file given to load; Failure for a file that holds no text.
CsvText CsvFileText(const fs::path& file, std::string data, Notes& notes) {
  const FileKind kind = KindOfFile(data);
  if (kind == FileKind::kPackage) {
    throw Failure(QuotedPath(file) + " is a zip archive or a compound file, not CSV text: a workbook loads on its own");
  }
  if (kind != FileKind::kText) throw Failure(NotAWorkbook(kind, data, QuotedPath(file)));
  return ReadCsvText(std::move(data), QuotedPath(file), true, notes);
}

// The CSV files as the sheets of a new workbook; `first` holds the first file's data
// when it is read already.
xl::Workbook& LoadCsvFiles(xl::memory::MemoryApplication& app, const std::vector<fs::path>& files, SourceFiles& read,
                           Notes& notes, std::optional<std::string> first = std::nullopt) {
  xl::Workbook& book = app.AddWorkbook(GridSize::Large);
  std::vector<Text> names;
  for (const fs::path& f : files) names.push_back(FromUtf8(f.stem().string()));
  const auto sheets = MakeSheets(book, names);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    std::string data = i == 0 && first ? std::move(*first) : ReadFile(files[i]);
    read.push_back(StampOf(files[i], data));
    FillSheet(*sheets[i], files[i], CsvFileText(files[i], std::move(data), notes), notes);
  }
  sheets.front()->Activate();
  return book;
}

// The *.csv files of a folder without a manifest, in name order; each must be a plain
// file in the folder (a symbolic link may lead only to one in the folder).
std::vector<fs::path> CsvFilesOf(const FolderView& view) {
  const fs::path& folder = view.Folder();
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".csv") continue;
    (void)ReadWorkbookFile(view, entry.path().filename().string()).size();
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) throw Failure(QuotedPath(folder) + " holds neither " + kManifestFile + " nor any .csv file");
  return files;
}

// ----- from the workbook into files -----

// Empty lines and empty fields a CSV file may hold to keep cells in their places: 64 KiB
// and as many as the fields written so far take. A cell that would need more (one far
// from the others, such as the grid's last cell) goes to the side file.
constexpr std::size_t kPaddingAllowance = 64 * 1024;

struct SheetFiles {
  std::string csv;
  std::vector<FieldCell> farCells;
  std::vector<CachedValue> values;  // of formula cells that hold a file's value
};

// False for a number cell whose field, typed again, gives another number: typing keeps
// 15 significant digits, a number may need 17.
bool ReadsBackExactly(xl::Worksheet& sheet, long row, long col, const Text& field) {
  if (sheet.CellHasFormula(row, col)) return true;
  const Variant v = sheet.CellValue(row, col);
  return !v.IsNumber() || xl::memory::EnteredValue(field) == v;
}

// The sheet's cells row by row (each row's cells left to right), visiting only the
// cells that hold values.
template <class Visit>
void VisitFilledRows(xl::memory::FileSheet& sheet, Visit&& visit) {
  using Next = std::pair<long, long>;  // (row, column)
  std::priority_queue<Next, std::vector<Next>, std::greater<>> next;
  for (long c = 1; c <= sheet.StoredColumns(); ++c) {
    if (auto r = sheet.NextFilledRow(c, 0)) next.emplace(*r, c);
  }
  std::vector<long> cols;
  while (!next.empty()) {
    const long row = next.top().first;
    cols.clear();
    while (!next.empty() && next.top().first == row) {
      const long c = next.top().second;
      next.pop();
      cols.push_back(c);
      if (auto r = sheet.NextFilledRow(c, row)) next.emplace(*r, c);
    }
    visit(row, cols);
  }
}

SheetFiles SheetData(xl::memory::FileSheet& sheet) {
  SheetFiles files;
  std::string& out = files.csv;
  long lines = 0;  // records written
  std::size_t padding = 0, fieldBytes = 0;
  VisitFilledRows(sheet, [&](long row, const std::vector<long>& cols) {
    long last = 0;  // the last column written of this row, 0 before the first
    for (const long c : cols) {
      const Text field = CellField(sheet, row, c);
      if (sheet.CellHasCachedValue(row, c) || !ReadsBackExactly(sheet, row, c, field)) {
        files.values.push_back({{row, c}, sheet.CellValue(row, c)});
      }
      const std::size_t gap = last == 0
                                  ? static_cast<std::size_t>(row - lines - 1) * 2 + static_cast<std::size_t>(c - 1)
                                  : static_cast<std::size_t>(c - last - 1);
      fieldBytes += field.size();
      if (padding + gap > kPaddingAllowance + fieldBytes) {
        files.farCells.push_back({{row, c}, field});
        continue;
      }
      padding += gap;
      if (last == 0) {
        for (long r = lines + 1; r < row; ++r) out += "\r\n";
        out.append(static_cast<std::size_t>(c - 1), ',');
      } else {
        out.append(static_cast<std::size_t>(c - last), ',');
      }
      AppendCsvField(out, field);
      last = c;
    }
    if (last != 0) {
      out += "\r\n";
      lines = row;
    }
  });
  return files;
}

// A file name for each sheet: the sheet's name with the characters that file systems
// refuse replaced, made unique without regard to case, and different from the names in
// `taken` (files of the folder that are not the workbook's).
std::vector<std::string> SheetFileNames(xl::Workbook& book, std::set<Text> taken) {
  std::vector<std::string> files;
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    std::string base = ToUtf8(book.Sheets().Item(i).Name());
    for (char& c : base) {
      if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr) c = '_';
    }
    if (base.front() == '.') base.front() = '_';
    const auto isFree = [&](const std::string& file) {
      return !taken.contains(text_order::Fold(FromUtf8(file))) &&
             !taken.contains(text_order::Fold(FromUtf8(file + kLayoutFileSuffix)));
    };
    std::string file = base + ".csv";
    for (int n = 2; !isFree(file); ++n) file = base + "-" + std::to_string(n) + ".csv";
    taken.insert(text_order::Fold(FromUtf8(file)));
    files.push_back(file);
  }
  return files;
}

Manifest ManifestOf(xl::Workbook& book, const std::vector<std::string>& files) {
  Manifest m;
  m.grid = book.RowsCount() == 65536 ? GridSize::Small : GridSize::Large;
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    xl::Worksheet& sheet = book.Sheets().Item(i);
    const auto selection = sheet.SelectionAreas();
    const xl::CellPos active = sheet.ActiveCellPos();
    SheetEntry entry{sheet.Name(), files[static_cast<std::size_t>(i - 1)], sheet.Visible(), std::nullopt, {},
                     std::nullopt};
    if (!selection.empty()) {
      entry.selection = xl::Range(sheet, selection).Address();
      entry.activeCell = sheet.Cells(active.row, active.col).Address();
    }
    m.sheets.push_back(std::move(entry));
    for (long k = 1; k <= sheet.Names().Count(); ++k) {
      const xl::DefinedName& n = sheet.Names().Item(k);
      m.names.push_back({sheet.Name(), n.Name(), n.RefersToR1C1(), n.Visible()});
    }
  }
  m.active = book.ActiveSheet().Name();
  for (long k = 1; k <= book.Names().Count(); ++k) {
    const xl::DefinedName& n = book.Names().Item(k);
    m.names.push_back({std::nullopt, n.Name(), n.RefersToR1C1(), n.Visible()});
  }
  // A name whose sheet was deleted refers to nothing that can be restored.
  std::erase_if(m.names, [](const NameEntry& n) { return n.refersToR1C1 == u"=#REF!"; });
  m.protectStructure = book.ProtectStructure();
  m.protectWindows = book.ProtectWindows();
  return m;
}

// ----- the target folder -----

// A folder's path as messages name it: absolute, without "." or "..", without a
// separator at its end.
fs::path FolderPath(const fs::path& folder) {
  fs::path path = fs::absolute(folder).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  return path;
}

fs::path TargetPath(const fs::path& folder) {
  fs::path target = FolderPath(folder);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) target = fs::canonical(target);
  return target;
}

// The workbook's own files at `target` that a save replaces: none when it is absent or
// an empty folder, those its manifest names when it is a workbook folder. Anything else
// is refused.
std::vector<std::string> OwnFiles(const fs::path& target) {
  std::error_code ec;
  const auto status = fs::status(target, ec);
  if (!fs::exists(status)) {
    if (!fs::is_directory(target.parent_path(), ec)) {
      throw Failure("cannot save to " + QuotedPath(target) + ": the folder " + QuotedPath(target.parent_path()) +
                    " does not exist");
    }
    return {};
  }
  if (!fs::is_directory(status)) throw Failure("cannot save to " + QuotedPath(target) + ": it is a file, not a folder");
  const auto isEmpty = [&] {
    for (const auto& entry : fs::directory_iterator(target, ec)) {
      if (!IsSaveEntry(entry.path().filename().string())) return false;
    }
    return !ec;
  };
  if (isEmpty()) return {};
  std::string why;
  try {
    return ReadManifest(target / kManifestFile).Files();
  } catch (const Failure& f) {
    if (fs::exists(fs::symlink_status(target / kManifestFile, ec))) why = " (" + std::string(f.what()) + ")";
  }
  throw Failure("cannot save to " + QuotedPath(target) + ": the folder is neither empty nor a workbook folder" + why +
                "; it is left as it is");
}

// The names in the folder that are not the workbook's own files.
std::set<Text> OtherFiles(const fs::path& folder, const std::vector<std::string>& own) {
  std::set<Text> names;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return names;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (std::find(own.begin(), own.end(), name) == own.end()) names.insert(text_order::Fold(FromUtf8(name)));
  }
  return names;
}

// What the saves of workbook folders write.
FolderFormat WorkbookFolderFormat() {
  return {kManifestFile, [](const fs::path& path) -> std::optional<std::vector<std::string>> {
            try {
              return ReadManifest(path).Files();
            } catch (const Failure&) {
              return std::nullopt;
            }
          }};
}

}  // namespace

bool IsWorkbookFolder(const fs::path& folder) {
  Notes notes;
  try {
    const FolderView view(folder, WorkbookFolderFormat(), notes);
    (void)ReadManifest(view.PathOf(kManifestFile));
    return true;
  } catch (const Failure&) {
    return false;
  }
}

Variant FieldValue(const Text& field) {
  if (auto e = CellErrorOfText(field)) return *e;
  return field;
}

Text CellField(xl::Worksheet& sheet, long row, long col) {
  if (sheet.CellHasFormula(row, col)) return sheet.CellFormula(row, col);
  const Variant v = sheet.CellValue(row, col);
  switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Number: return vba::NumberText(v.AsNumber());
    case VarType::Boolean: return v.AsBool() ? u"TRUE" : u"FALSE";
    case VarType::Error: return CellErrorText(v.AsError());
    case VarType::String: break;
  }
  // A text as it is when typing it gives it back, else with a "'" before it.
  const Text& text = v.AsText();
  const Variant entered = xl::memory::EnteredValue(text);
  const bool readsBack = entered.IsText() && entered.AsText() == text;
  return readsBack ? text : u"'" + text;
}

xl::Workbook& LoadWorkbook(xl::memory::MemoryApplication& app, std::span<const fs::path> paths, Notes& notes) {
  if (paths.empty()) throw Failure("nothing to load");
  const phases::Scope timed("load");
  std::error_code ec;
  for (const fs::path& p : paths) {
    if (!fs::exists(p, ec)) throw Failure(QuotedPath(p) + " does not exist");
  }
  // The files as read, for a save over them to tell whether another program changed them.
  SourceFiles read;
  const auto stamped = [&](xl::Workbook& book) -> xl::Workbook& {
    SetSource(book, std::move(read));
    return book;
  };
  if (paths.size() == 1 && fs::is_directory(paths.front(), ec)) {
    // The folder as the last save left it; nothing in it is changed.
    const FolderView view(FolderPath(paths.front()), WorkbookFolderFormat(), notes);
    if (fs::exists(fs::symlink_status(view.PathOf(kManifestFile), ec))) {
      return stamped(LoadManifestFolder(app, view, read, notes));
    }
    return stamped(LoadCsvFiles(app, CsvFilesOf(view), read, notes));
  }
  for (const fs::path& p : paths) {
    if (!fs::is_regular_file(p, ec)) {
      if (paths.size() == 1 && IsXlsxPath(p)) return LoadXlsx(app, p, notes);  // names what it is
      throw Failure(QuotedPath(p) + " is not a CSV file (give one folder or CSV files)");
    }
  }
  // A file is told by what it holds: a package (an xlsx or xlsm workbook, whatever its
  // name) or CSV text; a file named .xlsx is no CSV file.
  const std::vector<fs::path> files(paths.begin(), paths.end());
  if (files.size() > 1) return stamped(LoadCsvFiles(app, files, read, notes));
  std::string data = ReadFile(files.front());
  if (IsXlsxPath(files.front()) || KindOfFile(data) == FileKind::kPackage) {
    read.push_back(StampOf(files.front(), data));
    return stamped(LoadXlsxData(app, data, files.front().string(), notes));
  }
  return stamped(LoadCsvFiles(app, files, read, notes, std::move(data)));
}

void CheckSaveTarget(const fs::path& path, bool overItsSource) {
  if (IsXlsmPath(path) && !overItsSource) throw Failure(MacroSaveRefusal(path));
  try {
    if (!IsXlsxPath(path) && !IsXlsmPath(path)) {
      static_cast<void>(OwnFiles(TargetPath(path)));
      return;
    }
    const fs::path file = fs::absolute(path).lexically_normal();
    std::error_code ec;
    if (fs::is_directory(file, ec))
      throw Failure("cannot save to " + QuotedPath(path) + ": it is a folder, not a file");
    if (!fs::is_directory(file.parent_path(), ec)) {
      throw Failure("cannot save to " + QuotedPath(path) + ": the folder " + QuotedPath(file.parent_path()) +
                    " does not exist");
    }
    if (!overItsSource) RefuseToLoseWhatTheFileHolds(file);
  } catch (const fs::filesystem_error& e) {
    throw Failure("cannot save to " + QuotedPath(path) + ": " + e.code().message());
  }
}

void SaveWorkbook(xl::Workbook& book, const fs::path& folder, Notes& notes) {
  if (IsXlsxPath(folder) || IsXlsmPath(folder)) {
    SaveXlsx(book, folder, notes);
    return;
  }
  const fs::path target = TargetPath(folder);
  // Under the folder's lock, once what earlier saves left is dealt with.
  SaveTransaction save(target, WorkbookFolderFormat(), notes);
  const std::vector<std::string> own = OwnFiles(target);
  // The workbook's own files there, when it was read from them, are as it read them.
  std::vector<fs::path> replaced;
  for (const std::string& file : own) replaced.push_back(target / file);
  const auto refuseIfChanged = [&] {
    if (std::string why = ChangedSinceRead(book, replaced); !why.empty()) {
      throw Failure("cannot save to " + QuotedPath(target) + ": " + why);
    }
  };
  refuseIfChanged();
  // What the files hold once written: the next save over them checks them against it.
  std::vector<std::tuple<std::string, std::size_t, std::uint64_t>> written;
  const auto write = [&](const std::string& file, std::string_view data) {
    written.emplace_back(file, data.size(), ContentDigest(data));
    save.Write(file, data);
  };
  const std::vector<std::string> files = SheetFileNames(book, OtherFiles(target, own));
  Manifest manifest = ManifestOf(book, files);
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(i));
    SheetEntry& entry = manifest.sheets[static_cast<std::size_t>(i - 1)];
    SheetFiles data = SheetData(sheet);
    write(entry.file, data.csv);
    data.csv = {};
    SheetLayout layout = ReadLayout(sheet);
    layout.selection.clear();  // the manifest keeps it
    const std::string side =
        LayoutFileText(layout, data.farCells, data.values, sheet.RowsCount(), sheet.ColumnsCount());
    if (!LayoutFileEmpty(side)) {
      entry.layoutFile = entry.file + kLayoutFileSuffix;
      write(*entry.layoutFile, side);
    }
  }
  write(kManifestFile, ManifestText(manifest));
  refuseIfChanged();  // once more, as late as it can be: writing the files took time
  save.Commit(own, notes);
  SourceFiles saved;
  for (const auto& [file, size, digest] : written) saved.push_back(StampOf(target / file, size, digest));
  RecordSaved(book, saved, target);
}

}  // namespace quillary::workbook
