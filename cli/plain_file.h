// Reading a file that must be a plain file: a folder, a FIFO or a device is refused
// before anything is read (opening a FIFO does not wait for a writer).
#pragma once

#include <filesystem>
#include <string>

namespace quillary::cli {

enum class Links { kFollow, kRefuse };

// The whole file. Raises Failure naming the path when it does not exist, is not a plain
// file (or, with Links::kRefuse, is a symbolic link), or cannot be read.
std::string ReadPlainFile(const std::filesystem::path& path, Links links = Links::kFollow);

}  // namespace quillary::cli
