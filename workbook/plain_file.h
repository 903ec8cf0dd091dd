// Reading files: a workbook's, which must be a plain file (a folder, a FIFO or a device
// is refused before anything is read, and opening a FIFO does not wait for a writer), and
// a script.
#pragma once

#include <filesystem>
#include <string>

namespace quillary::workbook {

enum class Links { kFollow, kRefuse };

// The whole file. Raises Failure naming the path when it does not exist, is not a plain
// file (or, with Links::kRefuse, is a symbolic link), or cannot be read.
std::string ReadPlainFile(const std::filesystem::path& path, Links links = Links::kFollow);

// A script's text: a file or anything read through like one (a pipe: "run <(...)"), but
// not a folder. Raises Failure naming the path.
std::string ReadScriptFile(const std::filesystem::path& path);

}  // namespace quillary::workbook
