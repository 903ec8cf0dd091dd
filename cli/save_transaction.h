// Saving a set of files into a folder as one change, beside whatever else the folder
// holds.
//
// The files are written into a hidden staging folder first: inside the target folder
// when it exists (".quillary-save-XXXXXX"), beside it when it does not
// (".quillary-new-XXXXXX", which then becomes the target in one rename). Committing an
// existing folder writes a journal into the staging folder (".journal": the files to
// move in and the old files to remove) and then carries it out; the target's other
// files and folders are never touched.
//
// A save cut short (the process killed) before its journal is written leaves the target
// as it was; one cut short after is finished by the next run. RecoverFolder, called by
// every load and save of a folder, finishes or removes what such a save left.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::cli {

// A path as the messages of loading and saving name it: in single quotes.
std::string QuotedPath(const std::filesystem::path& path);

// What a load or a save tells the user beside its result, one line each.
using Notes = std::vector<std::string>;

class SaveTransaction {
 public:
  // Begins a save into `target` (absent, or a folder whose own files of the format are
  // `oldFiles`: names in it). Raises Failure when no staging folder can be made.
  SaveTransaction(std::filesystem::path target, std::vector<std::string> oldFiles);
  // Removes the staging folder unless the save was committed.
  ~SaveTransaction();
  SaveTransaction(const SaveTransaction&) = delete;
  SaveTransaction& operator=(const SaveTransaction&) = delete;

  // Writes a file of the new set (a plain name). Raises Failure.
  void Write(const std::string& name, std::string_view data);
  // Puts the new files in place (`last` after the others) and removes the old files the
  // new set does not hold. An old file that cannot be removed is left with a note.
  void Commit(const std::string& last, Notes& notes);

 private:
  std::filesystem::path target_;
  std::vector<std::string> oldFiles_;
  std::filesystem::path staging_;
  bool inPlace_ = false;
  bool committed_ = false;
  std::vector<std::string> written_;
};

// Finishes or removes what a save into `folder` that was cut short left, in the folder
// and beside it, with a note for each. Raises Failure when a save that had committed
// cannot be finished.
void RecoverFolder(const std::filesystem::path& folder, Notes& notes);

}  // namespace quillary::cli
