// Saving xlsx files: the package the workbook was loaded from (or a small empty one)
// with what the run changed written into it (xlsx_patch.cpp), into a new file beside
// the target that then takes its place; and what a file holds that a save would lose.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "workbook/failure.h"
#include "workbook/source_stamp.h"
#include "workbook/xlsx.h"
#include "workbook/xlsx_package.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook {

namespace fs = std::filesystem;
using namespace xlsx;

namespace {

std::string U8(TextView t) { return ToUtf8(t); }

std::string Attr(std::string_view tag, std::string_view name) {
  std::string key(" ");
  key.append(name).append("=\"");
  const std::size_t at = tag.find(key);
  if (at == std::string_view::npos) return {};
  const std::size_t from = at + key.size();
  return std::string(tag.substr(from, tag.find('"', from) - from));
}

// ----- what a save cannot write -----

// The text between `open` and the next `close` after it, from `from` on; "" without one.
std::string_view Between(std::string_view xml, std::string_view open, std::string_view close, std::size_t from = 0) {
  const std::size_t at = xml.find(open, from);
  if (at == std::string_view::npos) return {};
  const std::size_t end = xml.find(close, at);
  return xml.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

// The sheets of a package by part name ("xl/worksheets/sheet1.xml") with their names.
std::vector<std::pair<std::string, std::string>> SheetParts(const ZipArchive& zip) {
  const std::string book = zip.Read("xl/workbook.xml", false);
  const std::string rels = zip.Read("xl/_rels/workbook.xml.rels", false);
  std::vector<std::pair<std::string, std::string>> parts;
  for (std::size_t at = book.find("<sheet "); at != std::string::npos; at = book.find("<sheet ", at + 1)) {
    const std::string_view tag = Between(book, "<sheet ", ">", at);
    const std::string name = Attr(tag, "name");
    std::string id = Attr(tag, "r:id");
    if (id.empty()) id = Attr(tag, "id");
    const std::size_t idAt = rels.find(" Id=\"" + id + "\"");
    const std::size_t relAt = idAt == std::string::npos ? std::string::npos : rels.rfind("<Relationship ", idAt);
    std::string target =
        relAt == std::string::npos ? std::string() : Attr(Between(rels, "<Relationship ", ">", relAt), "Target");
    if (target.starts_with('/')) {
      target.erase(0, 1);
    } else if (!target.empty()) {
      target = "xl/" + target;
    }
    if (!target.empty()) parts.emplace_back(target, name);
  }
  return parts;
}

// What the xlsx package holds that this writer cannot write, each named for the user
// ("conditional formats (sheet 'Parts')"): a save over it would lose them.
std::vector<std::string> UnwrittenOf(const ZipArchive& zip) {
  std::vector<std::string> found;
  const auto partsUnder = [&](std::string_view folder) {
    return std::any_of(zip.Entries().begin(), zip.Entries().end(),
                       [&](const ZipEntry& e) { return e.name.starts_with(folder); });
  };
  const std::pair<const char*, const char*> packageParts[] = {
      {"xl/charts/", "charts"},
      {"xl/drawings/drawing", "pictures, shapes and charts (drawings)"},
      {"xl/tables/", "tables"},
      {"xl/pivotTables/", "pivot tables"},
      {"xl/vbaProject.bin", "macros"},
      {"xl/externalLinks/", "links to other workbooks"},
      {"xl/threadedComments/", "threaded comments"},
      {"xl/slicers/", "slicers"},
  };
  for (const auto& [folder, what] : packageParts) {
    if (partsUnder(folder)) found.emplace_back(what);
  }
  const std::string styles = zip.Read("xl/styles.xml", false);
  if (Between(styles, "<fills", "</fills>").find("theme=") != std::string_view::npos) {
    found.emplace_back("theme colours of fills");
  }
  const std::string_view fonts = Between(styles, "<fonts", "</fonts>");
  if (fonts.find("<i/>") != std::string_view::npos || fonts.find("<i val=\"1\"") != std::string_view::npos ||
      fonts.find("<strike") != std::string_view::npos) {
    found.emplace_back("italic and struck-through fonts");
  }
  // Each text found in a sheet part, unless it is an attribute whose value is the one
  // that changes nothing (programs write zoomScale="100" and outlineLevel="0").
  struct SheetElement {
    std::string_view text;
    const char* what;
    std::string_view plainValue;
  };
  const SheetElement sheetElements[] = {
      {"<pane ", "frozen or split panes", {}},
      {"<conditionalFormatting", "conditional formats", {}},
      {"<dataValidation ", "data validation", {}},
      {"<tabColor", "the tab colour", {}},
      {" outlineLevel=\"", "outline levels (grouped rows or columns)", "0"},
      {" zoomScale=\"", "the zoom", "100"},
      {"showGridLines=\"0\"", "hidden gridlines", {}},
      {"<x14:sparkline", "sparklines", {}},
  };
  const auto holds = [](std::string_view xml, const SheetElement& e) {
    for (std::size_t at = xml.find(e.text); at != std::string_view::npos; at = xml.find(e.text, at + 1)) {
      const std::size_t from = at + e.text.size();
      if (e.plainValue.empty() || xml.substr(from, xml.find('"', from) - from) != e.plainValue) return true;
    }
    return false;
  };
  for (const auto& [part, name] : SheetParts(zip)) {
    if (!zip.Has(part)) continue;
    const std::string xml = zip.Read(part);
    for (const SheetElement& e : sheetElements) {
      if (holds(xml, e)) found.push_back(std::string(e.what) + " (sheet '" + name + "')");
    }
  }
  return found;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return std::move(data).str();
}

std::string Listed(const std::vector<std::string>& things) {
  std::string list;
  for (const std::string& what : things) list += (list.empty() ? "" : "; ") + what;
  return list;
}

}  // namespace

void RefuseToLoseWhatTheFileHolds(const fs::path& target) {
  const std::vector<std::string> lost = UnwrittenIn(target);
  if (lost.empty()) return;
  throw Failure("cannot save over '" + target.string() + "': it holds what this program cannot write, which the save " +
                "would lose: " + Listed(lost) + ". Save to another name");
}

std::vector<std::string> UnwrittenIn(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return {};
  const std::string bytes = ReadFile(file);
  try {
    return UnwrittenOf(ZipArchive(bytes));
  } catch (const Failure&) {
    return {};  // not a package that anything could be kept of
  }
}

std::string UnwrittenNote(const fs::path& source, const fs::path& saved) {
  const std::vector<std::string> missing = UnwrittenIn(source);
  if (missing.empty()) return {};
  return std::string("'")
      .append(saved.string())
      .append("' lacks what '")
      .append(source.string())
      .append("' holds and this program cannot write (that file keeps it): ")
      .append(Listed(missing));
}

void SaveXlsx(xl::Workbook& book, const fs::path& file, Notes& notes) {
  fs::path target = fs::absolute(file).lexically_normal();
  std::error_code ec;
  // A link is followed: the file it leads to is saved, and the link stays a link.
  if (fs::is_symlink(target, ec)) {
    const fs::path linked = fs::canonical(target, ec);
    if (ec) throw Failure("cannot save to '" + target.string() + "': it is a link that leads to no file");
    target = linked;
  }
  if (fs::is_directory(target, ec)) throw Failure("cannot save to '" + target.string() + "': it is a folder");
  if (!fs::is_directory(target.parent_path(), ec)) {
    throw Failure("cannot save to '" + target.string() + "': the folder '" + target.parent_path().string() +
                  "' does not exist");
  }
  // The file the workbook was read from (or last saved to) is written over only as it was
  // then: what another program wrote there since is not lost.
  if (std::string why = ChangedSinceRead(book, {target}); !why.empty()) {
    throw Failure("cannot save to '" + target.string() + "': " + why);
  }
  // The package the workbook came from, with what the run changed written into it;
  // written anew (below) only when the run changed what cannot be written into it.
  const LoadedPackage* origin = OriginOf(book);
  const bool macros = IsXlsmPath(target);
  if (macros && (origin == nullptr || origin->macros.empty())) throw Failure(MacroSaveRefusal(target));
  // Sheets of the file whose columns the run inserted or deleted: the file's style
  // records, tables, conditional formats, validation and chart references on them stay
  // where they were and no longer line up with the cells.
  std::vector<std::string> moved;
  for (long i = 1; origin != nullptr && i <= book.Sheets().Count(); ++i) {
    const auto& sheet = dynamic_cast<const xl::memory::FileSheet&>(book.Sheets().Item(i));
    const bool fromFile = std::any_of(origin->sheets.begin(), origin->sheets.end(),
                                      [&](const LoadedSheet& l) { return l.sheet == &sheet; });
    if (fromFile && sheet.ColumnsMoved()) moved.push_back(std::string("'").append(U8(sheet.Name())).append("'"));
  }
  const std::string movedWhy =
      moved.empty() ? std::string()
                    : "the columns of sheet " + Listed(moved) +
                          " were inserted or deleted, and what the file holds of them beside their cells (style "
                          "records, tables, conditional formats, data validation, chart references) would stay where "
                          "it was";
  if (!moved.empty() && fs::exists(target, ec)) {
    throw Failure("cannot save over '" + target.string() + "': " + movedWhy + ". Save to another name");
  }
  // A file there that the workbook was not loaded from (or that changed since) holds
  // what the workbook does not: it is not written over when it holds what would be lost.
  if (fs::exists(target, ec) &&
      (origin == nullptr || fs::file_size(target, ec) != origin->bytes.size() || ReadFile(target) != origin->bytes)) {
    RefuseToLoseWhatTheFileHolds(target);
  }
  Notes found;
  if (!moved.empty()) found.push_back(movedWhy + ": check them in the saved file");
  // What the rewritten parts of sheets the run changed cannot keep of them (rich text
  // runs in a sheetData, outline levels in a cols element): a file holding it is not
  // written over; a save to another name goes on, and says what the new file lacks.
  std::vector<std::string> lost;
  std::optional<std::vector<std::string>> patched;
  try {
    patched = PatchedPackage(book, macros, found, lost, /*evenLosing=*/!fs::exists(target, ec));
  } catch (const Failure& f) {
    throw Failure("cannot save to '" + target.string() + "': " + f.what());
  }
  if (!patched) {
    throw Failure("cannot save over '" + target.string() +
                  "': the run changed cells or columns whose part, written again, would lose what the file holds "
                  "beside them: " +
                  Listed(lost) + ". Save to another name");
  }
  if (!lost.empty()) {
    found.push_back("it lacks what the workbook's file holds beside the cells or columns the run changed: " +
                    Listed(lost));
  }
  // What a save that was killed left beside the target goes first; the file of a save
  // under way in another process is locked by it and stays.
  const std::string stale = std::string(".").append(target.filename().string()).append(".saving-");
  for (const auto& entry : fs::directory_iterator(target.parent_path(), ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(stale) || name.size() != stale.size() + 6 + 5 || !name.ends_with(".xlsx")) continue;
    const int other = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(other);
      continue;
    }
    fs::remove(entry.path(), ec);
    if (other >= 0) ::close(other);
  }
  std::string pattern = (target.parent_path() / (stale + "XXXXXX.xlsx")).string();
  const int fd = ::mkstemps(pattern.data(), 5);
  if (fd < 0) {
    throw Failure("cannot save to '" + target.string() + "': cannot make a file beside it: " + std::strerror(errno));
  }
  // Held until the file has taken the target's place or is removed.
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } held{fd};
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  const fs::path temp = pattern;
  try {
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      for (const std::string& piece : *patched) out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      out.close();
      if (!out) throw Failure(std::string("cannot write the file: ") + std::strerror(errno));
    }
    // mkstemps makes the file private: the saved workbook keeps the permissions of the
    // file it replaces, or gets the usual ones.
    struct stat replaced {};
    if (::stat(target.c_str(), &replaced) == 0) {
      ::fchmod(fd, replaced.st_mode & 07777);
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
    // On the disk before it takes the target's place, so that a crash leaves the old
    // file or the new one, never an empty one.
    if (::fsync(fd) != 0) throw Failure(std::string("cannot write the file: ") + std::strerror(errno));
    // What the file holds once saved: the next save over it checks it against this.
    std::uintmax_t size = 0;
    for (const std::string& piece : *patched) size += piece.size();
    const std::uint64_t digest = ContentDigest(*patched);
    // Once more, as late as it can be: making the package took time.
    if (std::string why = ChangedSinceRead(book, {target}); !why.empty()) throw Failure(why);
    if (::rename(temp.c_str(), target.c_str()) != 0) throw Failure(std::strerror(errno));
    RecordSaved(book, {StampOf(target, size, digest)});
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
    for (std::string& n : found) notes.push_back(std::string("'").append(target.string()).append("': ").append(n));
  } catch (const Failure& f) {
    fs::remove(temp, ec);
    throw Failure("cannot save to '" + target.string() + "': " + f.what());
  } catch (...) {
    fs::remove(temp, ec);
    throw;
  }
}

}  // namespace quillary::workbook
