// What a workbook remembers of the files it was read from or last saved to, so that a
// save over them does not write over what another program put there since.
//
// Each file is stamped as it was read or written: its size, its times of last change (of
// its bytes and of its entry), the file it is on its device, and a digest of its bytes.
// A file whose size, times and identity are as stamped is taken as it was (a cheap look
// at it); one where any of them differs (a file put in its place that kept its size and
// time of writing does not keep the others), or whose times were too recent when stamped
// to tell a change made in the same instant, is read again, and it is the same only when
// its bytes give the same digest (a file touched but not changed). A name that was a file
// when stamped and is now a link has changed, whatever the link leads to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/excel/excel.h"

namespace quillary::workbook {

struct FileStamp {
  std::filesystem::path path;  // absolute, as a save names the file it replaces
  std::uintmax_t size = 0;
  std::filesystem::file_time_type changed{};  // the epoch: to be read again at a save
  std::int64_t entryChanged = 0;              // the entry's time of change (st_ctim), in ns
  std::uintmax_t device = 0, inode = 0;
  std::uint64_t digest = 0;
};

using SourceFiles = std::vector<FileStamp>;

// A digest of `data`, eight bytes a step.
std::uint64_t ContentDigest(std::string_view data);
// The digest of the data given in pieces laid end to end.
std::uint64_t ContentDigest(std::span<const std::string> pieces);

// The stamp of the file at `path` whose bytes `data` were just read from it or written
// to it: its size and time as they stand now. A file changed in between keeps a stamp
// whose digest is not that of its bytes, and so reads as changed.
FileStamp StampOf(const std::filesystem::path& path, std::string_view data);
// The same of a file of `size` bytes whose digest is `digest`.
FileStamp StampOf(const std::filesystem::path& path, std::uintmax_t size, std::uint64_t digest);

// The files `book` was read from or last saved to; empty for a workbook made otherwise.
const SourceFiles& SourceOf(xl::Workbook& book);
void SetSource(xl::Workbook& book, SourceFiles files);
// After a save: the stamps of the files it wrote (`saved`) take the place of those of
// the same files; the stamps of the other files stay, so that a later save over a file
// the workbook was read from still finds what it was. `folder`, when the save wrote a
// workbook folder: the files in it the save did not write are no longer the workbook's.
void RecordSaved(xl::Workbook& book, const SourceFiles& saved, const std::filesystem::path& folder = {});

// When one of `replaced` (the files a save is about to write over) is a file `book` was
// read from or last saved to and is no longer what it was then: why the save must not
// write over it, naming the file and saying that it changed since it was loaded; else
// "". A file that no longer exists is not refused: nothing of it is lost.
std::string ChangedSinceRead(xl::Workbook& book, const std::vector<std::filesystem::path>& replaced);

}  // namespace quillary::workbook
