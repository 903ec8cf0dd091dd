#include "cli/workbook_io.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <process.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "cli/csv.h"
#include "cli/failure.h"
#include "cli/words.h"
#include "platform/runtime/error.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::cli {

namespace fs = std::filesystem;
using xl::memory::GridSize;

namespace {

constexpr std::string_view kMagic = "quillary-workbook";
constexpr std::string_view kFormatVersion = "1";
constexpr std::string_view kWorkbookScope = "*";

constexpr std::array kCellErrors{CellError::Null, CellError::Div0, CellError::Value, CellError::Ref,
                                 CellError::Name, CellError::Num,  CellError::NA};

std::optional<CellError> ErrorOfText(const Text& text) {
  for (const CellError e : kCellErrors) {
    if (CellErrorText(e) == text) return e;
  }
  return std::nullopt;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

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

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + Quoted(path) + ": " + std::strerror(errno));
  std::ostringstream data;
  data << in.rdbuf();
  if (in.bad()) throw Failure("cannot read " + Quoted(path));
  return std::move(data).str();
}

void WriteFile(const fs::path& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw Failure("cannot write " + Quoted(path) + ": " + std::strerror(errno));
}

// ----- the manifest -----

struct SheetEntry {
  Text name;
  std::string file;
  long visible = xl::xlSheetVisible;
  std::optional<Text> selection;
  Text activeCell;
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

void ReadEntry(Manifest& m, const std::vector<std::string>& w) {
  const std::string& key = w[0];
  if (key == "grid") {
    Expect(w, 2, 2, "grid large|small");
    if (w[1] != "large" && w[1] != "small") throw Failure("the grid must be large or small");
    m.grid = w[1] == "small" ? GridSize::Small : GridSize::Large;
  } else if (key == "sheet") {
    Expect(w, 4, 4, "sheet NAME FILE VISIBLE");
    m.sheets.push_back({FromUtf8(w[1]), CheckFileName(w[2]), ParseVisibility(w[3]), std::nullopt, {}});
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
  } else {
    throw Failure("unknown entry '" + key + "'");
  }
}

Manifest ReadManifest(const fs::path& folder) {
  const fs::path path = folder / kManifestFile;
  std::istringstream in(ReadFile(path));
  Manifest m;
  bool started = false;
  long lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    try {
      const auto words = SplitWords(line);
      if (words.empty()) continue;
      if (!started) {
        if (words.size() != 2 || words[0] != kMagic || words[1] != kFormatVersion) {
          throw Failure("the first entry must be '" + std::string(kMagic) + " " + std::string(kFormatVersion) + "'");
        }
        started = true;
        continue;
      }
      ReadEntry(m, words);
    } catch (const Failure& f) {
      throw Failure(path.string() + " line " + std::to_string(lineNo) + ": " + f.what());
    }
  }
  if (m.sheets.empty()) throw Failure(path.string() + ": no sheet is listed");
  return m;
}

std::string Line(std::initializer_list<std::string> words) {
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line + "\n";
}

std::string ManifestText(const Manifest& m) {
  std::string out = "# A workbook of the Quillary command-line host: one CSV file per sheet.\n";
  out += Line({std::string(kMagic), std::string(kFormatVersion)});
  out += Line({"grid", m.grid == GridSize::Small ? "small" : "large"});
  for (const SheetEntry& s : m.sheets) {
    out += Line({"sheet", ToUtf8(s.name), s.file, std::to_string(s.visible)});
  }
  for (const SheetEntry& s : m.sheets) {
    if (s.selection) out += Line({"select", ToUtf8(s.name), ToUtf8(*s.selection), ToUtf8(s.activeCell)});
  }
  if (m.active) out += Line({"active", ToUtf8(*m.active)});
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

// The fields of one column for a band of rows, kept as one text and the spans of it,
// then entered into the sheet in one call.
struct ColumnBatch {
  long firstRow = 0;  // 0 while the band has no field for the column
  std::u16string chars;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // (start, length) a row from firstRow
};

// Loads a sheet file: its fields are read as views of the file's data, gathered by
// column over bands of rows, and each band of a column is entered with one call.
void FillSheet(xl::Worksheet& sheet, const fs::path& file) {
  constexpr long kBand = 1 << 16;
  auto& cells = dynamic_cast<xl::memory::MemoryWorksheet&>(sheet);
  const std::string data = ReadFile(file);
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
      cells.EnterTexts(b.firstRow, static_cast<long>(c) + 1, views);
      b.firstRow = 0;
      b.chars.clear();
      b.spans.clear();
    }
  };
  try {
    CsvScanner scanner(data);
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
      }
      if (endsRecord) {
        col = 0;
        if (row % kBand == 0) flush();
        ++row;
      }
    }
    flush();
  } catch (const Failure& f) {
    throw Failure(Quoted(file) + ": " + f.what());
  } catch (const Error& e) {
    throw Failure(Quoted(file) + " record " + std::to_string(row) + ": " + e.Description());
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
  sheet.Activate(active.front().row1, active.front().col1);
}

void ApplyNames(xl::Workbook& book, const std::vector<NameEntry>& names) {
  for (const NameEntry& n : names) {
    xl::NameCollection& owner = n.sheet ? book.Sheets().Item(*n.sheet).Names() : book.Names();
    InContext("cannot define the name '" + ToUtf8(n.name) + "'",
              [&] { owner.AddR1C1(n.name, n.refersToR1C1, n.visible); });
  }
}

xl::Workbook& LoadManifestFolder(xl::memory::MemoryApplication& app, const fs::path& folder) {
  const Manifest m = ReadManifest(folder);
  xl::Workbook& book = app.AddWorkbook(m.grid);
  std::vector<Text> names;
  for (const SheetEntry& s : m.sheets) names.push_back(s.name);
  const auto sheets = MakeSheets(book, names);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    FillSheet(*sheets[i], folder / m.sheets[i].file);
    InContext("the selection of sheet '" + ToUtf8(m.sheets[i].name) + "'",
              [&] { ApplySelection(*sheets[i], m.sheets[i]); });
  }
  ApplyNames(book, m.names);
  (m.active ? book.Sheets().Item(*m.active) : *sheets.front()).Activate();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    InContext("cannot set the visibility of sheet '" + ToUtf8(m.sheets[i].name) + "'",
              [&] { sheets[i]->SetVisible(m.sheets[i].visible); });
  }
  return book;
}

xl::Workbook& LoadCsvFiles(xl::memory::MemoryApplication& app, const std::vector<fs::path>& files) {
  xl::Workbook& book = app.AddWorkbook(GridSize::Large);
  std::vector<Text> names;
  for (const fs::path& f : files) names.push_back(FromUtf8(f.stem().string()));
  const auto sheets = MakeSheets(book, names);
  for (std::size_t i = 0; i < sheets.size(); ++i) FillSheet(*sheets[i], files[i]);
  sheets.front()->Activate();
  return book;
}

std::vector<fs::path> CsvFilesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".csv") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) throw Failure(Quoted(folder) + " holds neither " + kManifestFile + " nor any .csv file");
  return files;
}

// ----- from the workbook into files -----

// The last row of column `col` holding a value at or above `bottom`, 0 when none.
long LastFilledRow(xl::Worksheet& sheet, long col, long bottom) {
  if (!sheet.CellValue(bottom, col).IsEmpty()) return bottom;
  const long row = sheet.End(bottom, col, xl::xlUp).row;
  return sheet.CellValue(row, col).IsEmpty() ? 0 : row;
}

std::string SheetCsv(xl::Worksheet& sheet) {
  const xl::Area used = sheet.UsedRange().FirstArea();
  long lastRow = 0, lastCol = 0;
  for (long c = 1; c <= used.col2; ++c) {
    const long r = LastFilledRow(sheet, c, used.row2);
    if (r > 0) lastCol = c;
    lastRow = std::max(lastRow, r);
  }
  std::string out;
  std::vector<Text> fields;
  for (long r = 1; r <= lastRow; ++r) {
    fields.clear();
    for (long c = 1; c <= lastCol; ++c) fields.push_back(CellField(sheet, r, c));
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    AppendCsvRecord(out, fields);
  }
  return out;
}

// A file name for each sheet: the sheet's name with the characters that file systems
// refuse replaced, made unique without regard to case.
std::vector<std::string> SheetFileNames(xl::Workbook& book) {
  std::vector<std::string> files;
  std::set<Text> taken;
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    std::string base = ToUtf8(book.Sheets().Item(i).Name());
    for (char& c : base) {
      if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr) c = '_';
    }
    if (base.front() == '.') base.front() = '_';
    std::string file = base + ".csv";
    for (int n = 2; taken.contains(text_order::Fold(FromUtf8(file))); ++n)
      file = base + "-" + std::to_string(n) + ".csv";
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
    SheetEntry entry{sheet.Name(), files[static_cast<std::size_t>(i - 1)], sheet.Visible(), std::nullopt, {}};
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
  return m;
}

void WriteWorkbookFiles(xl::Workbook& book, const fs::path& folder) {
  const auto files = SheetFileNames(book);
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    WriteFile(folder / files[static_cast<std::size_t>(i - 1)], SheetCsv(book.Sheets().Item(i)));
  }
  WriteFile(folder / kManifestFile, ManifestText(ManifestOf(book, files)));
}

// ----- replacing the target folder -----

fs::path TargetPath(const fs::path& folder) {
  fs::path target = fs::absolute(folder).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  std::error_code ec;
  if (fs::is_symlink(target, ec)) target = fs::canonical(target);
  return target;
}

void CheckReplaceable(const fs::path& target) {
  std::error_code ec;
  const auto status = fs::status(target, ec);
  if (!fs::exists(status)) {
    if (!fs::is_directory(target.parent_path())) {
      throw Failure("cannot save to " + Quoted(target) + ": the folder " + Quoted(target.parent_path()) +
                    " does not exist");
    }
    return;
  }
  if (!fs::is_directory(status)) throw Failure("cannot save to " + Quoted(target) + ": it is a file, not a folder");
  if (!IsWorkbookFolder(target) && !fs::is_empty(target)) {
    throw Failure("cannot save to " + Quoted(target) +
                  ": the folder is neither empty nor a workbook folder; it is "
                  "left as it is");
  }
}

fs::path MakeTempFolder(const fs::path& target) {
  const std::string prefix = "." + target.filename().string() + ".saving-";
#ifdef _WIN32
  // A name of this process's own, made with the usual permissions.
  for (int attempt = 0;; ++attempt) {
    const fs::path folder =
        target.parent_path() / (prefix + std::to_string(::_getpid()) + "-" + std::to_string(attempt));
    std::error_code ec;
    if (fs::create_directory(folder, ec)) return folder;
    if (ec || attempt == 1000) {
      throw Failure("cannot save to " + Quoted(target) +
                    ": cannot make a folder beside it: " + (ec ? ec.message() : "every name is taken"));
    }
  }
#else
  std::string pattern = (target.parent_path() / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw Failure("cannot save to " + Quoted(target) + ": cannot make a folder beside it: " + std::strerror(errno));
  }
  // mkdtemp makes the folder private; the saved workbook gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(pattern.c_str(), 0777 & ~mask);
  return pattern;
#endif
}

// Renames `from` to `to`; false with the reason in `why` when it cannot.
bool Move(const fs::path& from, const fs::path& to, std::string& why) {
#ifdef _WIN32
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) why = ec.message();
  return !ec;
#else
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  why = std::strerror(errno);
  return false;
#endif
}

// Puts the folder `fresh` in the place of `target`: one exchange of the two when the
// target exists, so that no moment passes without a complete folder at `target`.
void ReplaceFolder(const fs::path& fresh, const fs::path& target) {
  std::error_code ec;
  std::string why;
  if (!fs::exists(target, ec)) {
    if (!Move(fresh, target, why)) throw Failure("cannot save to " + Quoted(target) + ": " + why);
    return;
  }
#ifndef _WIN32
  if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    fs::remove_all(fresh, ec);  // now the old folder
    return;
  }
  if (errno != EINVAL && errno != ENOSYS)
    throw Failure("cannot save to " + Quoted(target) + ": " + std::strerror(errno));
#endif
  // The file system cannot exchange: move the old folder aside, then the new one in.
  const fs::path old = fresh.string() + ".old";
  if (!Move(target, old, why)) throw Failure("cannot save to " + Quoted(target) + ": " + why);
  if (!Move(fresh, target, why)) {
    std::string ignored;
    Move(old, target, ignored);
    throw Failure("cannot save to " + Quoted(target) + ": " + why);
  }
  fs::remove_all(old, ec);
}

}  // namespace

bool IsWorkbookFolder(const fs::path& folder) {
  std::ifstream in(folder / kManifestFile, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    const auto words = SplitWords(line);
    if (!words.empty()) return words[0] == kMagic;
  }
  return false;
}

Variant FieldValue(const Text& field) {
  if (auto e = ErrorOfText(field)) return *e;
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
  const Text& text = v.AsText();
  // A text that typing would turn into anything else (or lose a leading "'" of) is
  // written with a "'" before it.
  const Variant typed = xl::memory::EnteredValue(text);
  const bool readsBack = typed.IsText() && typed.AsText() == text;
  return readsBack ? text : u"'" + text;
}

xl::Workbook& LoadWorkbook(xl::memory::MemoryApplication& app, std::span<const fs::path> paths) {
  if (paths.empty()) throw Failure("nothing to load");
  const phases::Scope timed("load");
  std::error_code ec;
  if (paths.size() == 1 && fs::is_directory(paths.front(), ec)) {
    if (fs::exists(paths.front() / kManifestFile, ec)) return LoadManifestFolder(app, paths.front());
    return LoadCsvFiles(app, CsvFilesOf(paths.front()));
  }
  for (const fs::path& p : paths) {
    if (!fs::is_regular_file(p, ec)) throw Failure(Quoted(p) + " is not a CSV file (give one folder or CSV files)");
  }
  return LoadCsvFiles(app, std::vector<fs::path>(paths.begin(), paths.end()));
}

void SaveWorkbook(xl::Workbook& book, const fs::path& folder) {
  const fs::path target = TargetPath(folder);
  CheckReplaceable(target);
  const fs::path fresh = MakeTempFolder(target);
  try {
    WriteWorkbookFiles(book, fresh);
    ReplaceFolder(fresh, target);
  } catch (...) {
    std::error_code ec;
    fs::remove_all(fresh, ec);
    throw;
  }
}

}  // namespace quillary::cli
