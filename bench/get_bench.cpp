// The command-line host's benchmark: `quillary get` as a whole process, as a user runs it.
//
// Two workloads of N generated Items (bench/workloads.h), one Item per row down column
// A of a one-sheet workbook folder:
//   countindex   CountIndex# on reference designators that occur once each, shuffled:
//                quillary get DIR A1:A<N>
//   ignoreindex  IgnoreIndex# with the Sort option on names with many duplicates (N
//                Items drawn from N/20 names):
//                quillary get DIR A1:A<N> --ignore-index --sort
// Each run starts the program, which loads the workbook folder, gathers, sorts, counts
// and renders the Items and writes the Active Window text. Beside it runs
// `LC_ALL=C sort FILE | uniq -c` on the same Items written one per line (through
// /bin/sh; its figures cover the pipeline's processes).
//
// Beside both runs the floor of the job (bench/get_floor.cpp: read the CSV column, count,
// sort, print), the least a program doing it takes here.
//
// They are run in rounds, each starting with the next of them, so that none always runs
// first or last; a round's ratios are quillary's wall time over the pipeline's ("ratio")
// and over the floor's ("/floor"), and its processor time (user and system, of all the
// pipeline's processes) over the pipeline's ("cpu"). The row shows the median time of
// each and the median of the round ratios. "B/Item" is quillary's peak resident memory
// (the largest of its runs, from wait4) over N.
//
// Each quillary run's output (standard output, and standard error without the phase
// lines) is hashed; at the sizes listed in kReference the hash must be the one recorded
// from the program before its storage was reworked, so that a faster program that
// writes anything else fails the bench. Any run that does not exit 0 fails it too (exit
// status 1).
//
// One more run with QUILLARY_PHASES=1 gives the phase breakdown, from the times at which
// the program and its spreadsheet enter and leave their timed steps: load (reading the
// workbook), gather (from the loaded workbook to the first sort), sort (the sheet
// sorts), count+display (from the last sort to the staging paste: the count walk, the
// duplicates list and the display join), staging (the paste of the staged text onto
// the working sheet), rest (after it, to the end of the request), exit (the program's
// start and end outside the request).
//
// With --reference PATH another quillary program (an earlier build) runs in the same
// rounds, so that before and after are measured side by side under the same load; its
// row follows, marked "reference".
//
// Usage: quillary_get_bench [--quillary PATH] [--reference PATH] [--pairs K] [N ...]
//        (default: 5 pairs; N = 100000 1000000)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "bench/workloads.h"
#include "platform/runtime/value.h"
#include "workbook/csv.h"

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

// The output hashes of the program before the rework of the sheet's storage. Those of
// ignoreindex were taken again when Get/Try came to open the fault locator on a
// duplicate (two lines more on standard error) and the message printer to leave a
// message's empty lines empty, and again when the fault report came to name every
// duplicated Item with its cells and a message to show its first line when standard error
// is no terminal; the rest of the output is byte for byte the first.
struct Reference {
  const char* workload;
  std::int64_t n;
  std::uint64_t hash;
};
const Reference kReference[] = {
    {"countindex", 100000, 0x14099191e21a7adeULL},
    {"ignoreindex", 100000, 0x6aa382fe146bfccdULL},
    {"countindex", 1000000, 0xa3df15360e06921fULL},
    {"ignoreindex", 1000000, 0x543df0aa4a95f4baULL},
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

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return std::move(data).str();
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
  for (const Text& item : items) workbook::AppendCsvRecord(csv, std::span<const Text>(&item, 1));
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
  double cpuSeconds = 0;  // user and system time, with the children it waited for
  double peakBytes = 0;
};

// The environment for the children: this one without QUILLARY_PHASES, plus `extra`.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "QUILLARY_PHASES=", 16) != 0) env.emplace_back(*e);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

// Runs `argv` with standard output to `outPath` and standard error to `errorPath`;
// times it from spawn to exit and takes its peak resident memory (which covers the
// children it waited for).
ProcessFigures RunProcess(const std::vector<std::string>& argv, const fs::path& outPath, const fs::path& errorPath,
                          const std::vector<std::string>& extraEnv = {}) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> envText = ChildEnvironment(extraEnv);
  std::vector<char*> env;
  for (std::string& e : envText) env.push_back(e.data());
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ProcessFigures f;
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::system_error(spawned, std::generic_category(), "posix_spawn " + argv[0]);
  rusage usage{};
  while (wait4(child, &f.status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "wait4");
  }
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
  const auto secondsOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
  };
  f.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
  return f;
}

std::string ExitText(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("signal ") + strsignal(WTERMSIG(status));
  return "status " + std::to_string(status);
}

bool Succeeded(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

bool IsPhaseLine(const std::string& line) { return line.starts_with("quillary: phase "); }

// FNV-1a, 64 bits.
void Hash(std::uint64_t& h, std::string_view data) {
  for (const char c : data) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
}

// What one quillary run wrote: the hash of its output, its last line on standard error
// (the main form's count caption, or the fault), the number of messages it showed, and
// its phase lines.
struct Output {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  std::string caption;
  int messages = 0;
  std::map<std::string, std::vector<double>> phases;  // name -> seconds, calls, first, last
};

Output ReadOutput(const fs::path& outPath, const fs::path& errorPath) {
  Output o;
  Hash(o.hash, ReadFile(outPath));
  Hash(o.hash, std::string_view("\0", 1));
  std::istringstream err(ReadFile(errorPath));
  for (std::string line; std::getline(err, line);) {
    if (IsPhaseLine(line)) {
      std::istringstream words(line.substr(16));
      std::string name, calls, first, last;
      double seconds = 0;
      words >> name >> seconds >> calls >> first >> last;
      const auto value = [](const std::string& w) { return std::strtod(w.substr(w.find('=') + 1).c_str(), nullptr); };
      o.phases[name] = {seconds, value(calls), value(first), value(last)};
      continue;
    }
    Hash(o.hash, line);
    Hash(o.hash, "\n");
    if (line.starts_with("quillary: message")) ++o.messages;
    o.caption = line;
  }
  const auto first = o.caption.find_first_not_of(' ');
  o.caption.erase(0, first == std::string::npos ? o.caption.size() : first);
  return o;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void PrintHeader() {
  std::printf("%-12s %8s %11s %12s %7s %6s %8s %7s %7s  %-22s %s\n", "workload", "N", "quillary s", "sort|uniq s",
              "ratio", "cpu", "floor s", "/floor", "B/Item", "output hash", "check (caption, messages)");
}

// Runs one workload at one size and prints its row; false when a run failed or the
// output differs from the reference.
// One quillary program's figures over the runs of a workload.
struct ProgramRuns {
  std::string path;
  std::vector<double> times, ratios, cpuRatios, floorRatios;
  double peak = 0;
  std::optional<Output> first;
  bool steady = true;
  std::string failure;
};

bool Run(const std::string& quillary, const std::string& reference, const std::string& floor, const Workload& w,
         std::int64_t n, int pairs, std::vector<std::string>& phaseRows) {
  const TempDir dir;
  const std::vector<Text> items = w.make(n);
  const fs::path book = dir.path() / "book";
  const fs::path lines = dir.path() / "items.txt";
  const fs::path out = dir.path() / "stdout.txt";
  const fs::path errors = dir.path() / "stderr.txt";
  WriteWorkbook(book, items);
  WriteLines(lines, items);

  const auto command = [&](const std::string& program) {
    std::vector<std::string> get = {program, "get", book.string(), "A1:A" + std::to_string(n)};
    get.insert(get.end(), w.options.begin(), w.options.end());
    return get;
  };
  const std::vector<std::string> pipeline = {"/bin/sh", "-c", "LC_ALL=C sort \"$1\" | uniq -c", "sh", lines.string()};
  const std::vector<std::string> floorRun = {floor, (book / "Sheet1.csv").string()};

  std::vector<ProgramRuns> programs(1);
  programs[0].path = quillary;
  if (!reference.empty()) {
    programs.emplace_back();
    programs[1].path = reference;
  }
  bool ok = true;
  std::string failure;
  std::vector<double> sTimes, fTimes;
  const auto runQuillary = [&](ProgramRuns& pr, const std::vector<std::string>& env) {
    const ProcessFigures q = RunProcess(command(pr.path), out, errors, env);
    if (!Succeeded(q.status)) {
      ok = false;
      pr.failure += "; FAILED (" + ExitText(q.status) + ")";
    }
    Output o = ReadOutput(out, errors);
    if (pr.first && o.hash != pr.first->hash) pr.steady = false;
    if (!pr.first) pr.first = o;
    pr.peak = std::max(pr.peak, q.peakBytes);
    return std::pair{q, std::move(o)};
  };
  // Each round runs every program and the pipeline once, each round starting with the
  // next of them, so that none always runs first or last.
  // The programs, then the pipeline, then the floor.
  const std::size_t pipelineAt = programs.size(), floorAt = programs.size() + 1;
  for (int p = 0; p < pairs; ++p) {
    const std::size_t count = programs.size() + 2;
    std::vector<ProcessFigures> figures(count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t who = (k + static_cast<std::size_t>(p)) % count;
      if (who >= pipelineAt) {
        const bool isFloor = who == floorAt;
        figures[who] = RunProcess(isFloor ? floorRun : pipeline, "/dev/null", errors);
        if (!Succeeded(figures[who].status)) {
          ok = false;
          failure +=
              std::string("; ") + (isFloor ? "floor" : "sort|uniq") + " FAILED (" + ExitText(figures[who].status) + ")";
        }
      } else {
        figures[who] = runQuillary(programs[who], {}).first;
      }
    }
    const ProcessFigures& sortUniq = figures[pipelineAt];
    const ProcessFigures& floorFigures = figures[floorAt];
    sTimes.push_back(sortUniq.seconds);
    fTimes.push_back(floorFigures.seconds);
    for (std::size_t k = 0; k < programs.size(); ++k) {
      programs[k].times.push_back(figures[k].seconds);
      programs[k].ratios.push_back(figures[k].seconds / sortUniq.seconds);
      programs[k].cpuRatios.push_back(figures[k].cpuSeconds / sortUniq.cpuSeconds);
      programs[k].floorRatios.push_back(figures[k].seconds / floorFigures.seconds);
    }
  }
  const auto [timed, phased] = runQuillary(programs[0], {"QUILLARY_PHASES=1"});

  for (std::size_t k = 0; k < programs.size(); ++k) {
    ProgramRuns& pr = programs[k];
    char hashText[40];
    std::snprintf(hashText, sizeof hashText, "%016llx", static_cast<unsigned long long>(pr.first->hash));
    std::string verdict = "(no reference)";
    for (const Reference& r : kReference) {
      if (r.n == n && std::strcmp(r.workload, w.name) == 0) {
        verdict = r.hash == pr.first->hash ? "same" : "DIFFERS";
        if (r.hash != pr.first->hash) ok = false;
      }
    }
    if (!pr.steady) {
      verdict = "UNSTEADY";
      ok = false;
    }
    if (!pr.failure.empty()) ok = false;
    const std::string name = k == 0 ? std::string(w.name) : "  reference";
    std::printf("%-12s %8lld %11.3f %12.3f %7.2f %6.2f %8.3f %7.2f %7.0f  %s %-5s \"%s\", %d %s%s%s\n", name.c_str(),
                static_cast<long long>(n), Median(pr.times), Median(sTimes), Median(pr.ratios), Median(pr.cpuRatios),
                Median(fTimes), Median(pr.floorRatios), pr.peak / static_cast<double>(n), hashText, verdict.c_str(),
                pr.first->caption.c_str(), pr.first->messages, pr.first->messages == 1 ? "message" : "messages",
                pr.failure.c_str(), k == 0 ? failure.c_str() : "");
  }
  std::fflush(stdout);

  const auto phase = [&](const char* name, std::size_t field) {
    const auto it = phased.phases.find(name);
    return it == phased.phases.end() ? 0.0 : it->second[field];
  };
  const double loadEnd = phase("load", 3), runEnd = phase("run", 3), runStart = phase("run", 2);
  const bool sorted = phased.phases.contains("sort"), pasted = phased.phases.contains("paste");
  const double sortStart = sorted ? phase("sort", 2) : runEnd, sortEnd = sorted ? phase("sort", 3) : loadEnd;
  const double pasteStart = pasted ? phase("paste", 2) : runEnd, pasteEnd = pasted ? phase("paste", 3) : runEnd;
  char row[256];
  std::snprintf(row, sizeof row, "%-12s %8lld %8.3f %8.3f %8.3f %8.3f %14.3f %8.3f %8.3f %8.3f", w.name,
                static_cast<long long>(n), timed.seconds, phase("load", 0), sortStart - loadEnd, phase("sort", 0),
                pasteStart - sortEnd, phase("paste", 0), runEnd - pasteEnd, timed.seconds - (runEnd - runStart));
  phaseRows.emplace_back(row);
  return ok;
}

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--quillary PATH] [--reference PATH] [--pairs K] [N ...]   (N Items, 1 to 1048573; "
               "default 5 pairs, N = 100000 1000000)\n",
               program);
  return 2;
}

}  // namespace
}  // namespace quillary

int main(int argc, char** argv) {
  std::string quillary = QUILLARY_PROGRAM;
  const std::string floor = QUILLARY_FLOOR;
  std::string reference;
  std::vector<std::int64_t> sizes;
  int pairs = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--quillary" || a == "--pairs" || a == "--reference") {
      if (i + 1 >= argc) return quillary::Usage(argv[0]);
      if (a == "--quillary") {
        quillary = argv[++i];
      } else if (a == "--reference") {
        reference = argv[++i];
      } else {
        pairs = std::atoi(argv[++i]);
        if (pairs < 1) return quillary::Usage(argv[0]);
      }
      continue;
    }
    char* end = nullptr;
    const long long n = std::strtoll(argv[i], &end, 10);
    // One Item per row of column A: at most the working sheet's Item capacity.
    if (end == argv[i] || *end != '\0' || n < 1 || n > 1048573) return quillary::Usage(argv[0]);
    sizes.push_back(n);
  }
  if (sizes.empty()) sizes = {100000, 1000000};
  for (const std::string& program : {quillary, reference, floor}) {
    if (!program.empty() && access(program.c_str(), X_OK) != 0) {
      std::fprintf(stderr, "%s: cannot run %s\n", argv[0], program.c_str());
      return 2;
    }
  }
  int code = 0;
  std::vector<std::string> phaseRows;
  try {
    quillary::PrintHeader();
    for (const std::int64_t n : sizes) {
      for (const auto& w : quillary::kWorkloads) {
        if (!quillary::Run(quillary, reference, floor, w, n, pairs, phaseRows)) code = 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  std::printf("\nphases of one run with QUILLARY_PHASES=1 (seconds):\n");
  std::printf("%-12s %8s %8s %8s %8s %8s %14s %8s %8s %8s\n", "workload", "N", "wall", "load", "gather", "sort",
              "count+display", "staging", "rest", "exit");
  for (const std::string& row : phaseRows) std::printf("%s\n", row.c_str());
  return code;
}
