// The command-line host's benchmark: `quillary get` as a whole process.
//
// Two workloads of N generated Items (bench/workloads.h), one Item per row down column
// A of a one-sheet workbook folder:
//   countindex   CountIndex# on reference designators that occur once each, shuffled:
//                quillary get DIR A1:A<N>
//   ignoreindex  IgnoreIndex# with the Sort option on names with many duplicates (N
//                Items drawn from N/20 names):
//                quillary get DIR A1:A<N> --ignore-index --sort
// Each run starts the program, which loads the workbook folder, gathers, sorts, counts
// and renders the Items and writes the Active Window text (to /dev/null here). The
// bench times it from spawn to exit and takes its peak resident memory from wait4, and
// does the same for `LC_ALL=C sort FILE | uniq -c` on the same Items written one per
// line (run by /bin/sh, whose figures cover the pipeline's processes: the peak is that
// of the largest one); "ratio" is quillary's time over theirs. A run that does not exit 0
// is reported and makes the bench exit 1.
//
// Usage: quillary_get_bench [--quillary PATH] [N ...]   (default: 10000 100000 1000000)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "bench/workloads.h"
#include "cli/csv.h"
#include "platform/runtime/value.h"

extern char** environ;  // NOLINT: the process environment, handed to the children

namespace quillary {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Workload {
  const char* name;
  std::vector<Text> (*make)(std::int64_t);
  std::vector<std::string> options;  // quillary get's options after the range
};

const Workload kWorkloads[] = {
    {"countindex", &bench::ReferenceItems, {}},
    {"ignoreindex", &bench::DuplicateNames, {"--ignore-index", "--sort"}},
};

// A fresh folder under the temporary directory, removed with all it holds.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "quillary_get_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A workbook folder of one sheet, "Sheet1", holding the Items down column A. The
// generated Items never read as numbers, booleans, error values or formulas, so each
// is its own CSV field.
void WriteWorkbook(const fs::path& folder, const std::vector<Text>& items) {
  fs::create_directory(folder);
  WriteFile(folder / "workbook.txt",
            "quillary-workbook 1\n"
            "grid large\n"
            "sheet Sheet1 Sheet1.csv -1\n"
            "active Sheet1\n");
  std::string csv;
  for (const Text& item : items) cli::AppendCsvRecord(csv, std::span<const Text>(&item, 1));
  WriteFile(folder / "Sheet1.csv", csv);
}

void WriteLines(const fs::path& path, const std::vector<Text>& items) {
  std::string text;
  for (const Text& item : items) {
    text += ToUtf8(item);
    text += '\n';
  }
  WriteFile(path, text);
}

struct ProcessFigures {
  int status = 0;  // as wait4 gives it
  double seconds = 0;
  double peakMb = 0;
};

// Runs `argv` with standard output to /dev/null and standard error to `errorPath`;
// times it from spawn to exit and takes its peak resident memory (which covers the
// children it waited for).
ProcessFigures RunProcess(const std::vector<std::string>& argv, const fs::path& errorPath) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ProcessFigures f;
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::system_error(spawned, std::generic_category(), "posix_spawn " + argv[0]);
  rusage usage{};
  while (wait4(child, &f.status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "wait4");
  }
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
  return f;
}

std::string ExitText(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("signal ") + strsignal(WTERMSIG(status));
  return "status " + std::to_string(status);
}

bool Succeeded(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// What quillary wrote to standard error, for the check column: its last line (the
// main form's count caption, or the fault) and the number of messages shown.
std::string QuillaryCheck(const fs::path& errorPath) {
  std::ifstream in(errorPath);
  std::string line;
  std::string last;
  int messages = 0;
  while (std::getline(in, line)) {
    if (line.starts_with("quillary: message")) ++messages;
    last = line;
  }
  const auto first = last.find_first_not_of(' ');
  last.erase(0, first == std::string::npos ? last.size() : first);
  return "\"" + last + "\", " + std::to_string(messages) + (messages == 1 ? " message" : " messages");
}

void PrintHeader() {
  std::printf("%-12s %9s %12s %12s %13s %14s %8s  %s\n", "workload", "N", "quillary s", "quillary MB", "sort|uniq s",
              "sort|uniq MB", "ratio", "check (caption, messages)");
}

// Runs one workload at one size and prints its row; false when a process failed.
bool Run(const std::string& quillary, const Workload& w, std::int64_t n) {
  const TempDir dir;
  const std::vector<Text> items = w.make(n);
  const fs::path book = dir.path() / "book";
  const fs::path lines = dir.path() / "items.txt";
  const fs::path errors = dir.path() / "stderr.txt";
  WriteWorkbook(book, items);
  WriteLines(lines, items);

  std::vector<std::string> get = {quillary, "get", book.string(), "A1:A" + std::to_string(n)};
  get.insert(get.end(), w.options.begin(), w.options.end());
  const ProcessFigures q = RunProcess(get, errors);
  const std::string check = QuillaryCheck(errors);
  const ProcessFigures s =
      RunProcess({"/bin/sh", "-c", "LC_ALL=C sort \"$1\" | uniq -c", "sh", lines.string()}, errors);

  const bool ok = Succeeded(q.status) && Succeeded(s.status);
  std::printf("%-12s %9lld %12.3f %12.1f %13.3f %14.1f %8.2f  %s", w.name, static_cast<long long>(n), q.seconds,
              q.peakMb, s.seconds, s.peakMb, q.seconds / s.seconds, check.c_str());
  if (!Succeeded(q.status)) std::printf("; quillary FAILED (%s)", ExitText(q.status).c_str());
  if (!Succeeded(s.status)) std::printf("; sort|uniq FAILED (%s)", ExitText(s.status).c_str());
  std::printf("\n");
  std::fflush(stdout);
  return ok;
}

int Usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--quillary PATH] [N ...]   (N Items, 1 to 1048573; default 10000 100000 1000000)\n",
               program);
  return 2;
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  std::string quillary = QUILLARY_PROGRAM;
  std::vector<std::int64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--quillary") {
      if (i + 1 >= argc) return quillary::Usage(argv[0]);
      quillary = argv[++i];
      continue;
    }
    char* end = nullptr;
    const long long n = std::strtoll(argv[i], &end, 10);
    // One Item per row of column A: at most the working sheet's Item capacity.
    if (end == argv[i] || *end != '\0' || n < 1 || n > 1048573) return quillary::Usage(argv[0]);
    sizes.push_back(n);
  }
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  if (access(quillary.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "%s: cannot run %s (give its path with --quillary)\n", argv[0], quillary.c_str());
    return 2;
  }
  int code = 0;
  try {
    quillary::PrintHeader();
    for (const std::int64_t n : sizes) {
      for (const auto& w : quillary::kWorkloads) {
        if (!quillary::Run(quillary, w, n)) code = 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return code;
}
