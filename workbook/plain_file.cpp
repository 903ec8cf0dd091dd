#include "workbook/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "workbook/failure.h"
#include "workbook/save_transaction.h"

namespace quillary::workbook {

namespace fs = std::filesystem;

std::string ReadPlainFile(const fs::path& path, Links links) {
#ifdef _WIN32
  std::error_code ec;
  const auto status = links == Links::kFollow ? fs::status(path, ec) : fs::symlink_status(path, ec);
  if (!fs::exists(status)) throw Failure(QuotedPath(path) + " does not exist");
  if (fs::is_directory(status)) throw Failure(QuotedPath(path) + " is a folder, not a file");
  if (!fs::is_regular_file(status)) throw Failure(QuotedPath(path) + " is not a plain file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + QuotedPath(path));
  std::ostringstream text;
  // Copying an empty file's stream copies nothing, which the stream counts as failing.
  if (fs::file_size(path, ec) != 0 && !(text << in.rdbuf())) throw Failure("cannot read " + QuotedPath(path));
  return std::move(text).str();
#else
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::kRefuse ? O_NOFOLLOW : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    if (errno == ENOENT) throw Failure(QuotedPath(path) + " does not exist");
    if (errno == ELOOP && links == Links::kRefuse) throw Failure(QuotedPath(path) + " is a symbolic link");
    throw Failure("cannot read " + QuotedPath(path) + ": " + std::strerror(errno));
  }
  std::string data;
  try {
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw Failure("cannot read " + QuotedPath(path) + ": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode)) throw Failure(QuotedPath(path) + " is a folder, not a file");
    if (S_ISFIFO(st.st_mode)) throw Failure(QuotedPath(path) + " is a FIFO, not a file");
    if (!S_ISREG(st.st_mode)) throw Failure(QuotedPath(path) + " is not a plain file");
    // One byte more than the file holds, so that the read that finds its end needs no
    // more room.
    data.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
      if (got == data.size()) data.resize(data.size() + 65536);
      const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw Failure("cannot read " + QuotedPath(path) + ": " + std::strerror(errno));
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    data.resize(got);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  return data;
#endif
}

std::string ReadScriptFile(const fs::path& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw Failure(QuotedPath(path) + " is a folder, not a script");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Failure("cannot read the script " + QuotedPath(path));
  std::ostringstream text;
  text << file.rdbuf();
  return std::move(text).str();
}

}  // namespace quillary::workbook
