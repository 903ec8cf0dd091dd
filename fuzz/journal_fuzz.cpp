// Workbook folders holding what a save may have left: the input is cut at its NUL
// bytes into a journal and the entries of a staging folder beside it in a workbook
// folder (".quillary-save-f"), or beside the folder (".quillary-new-f") when the input
// begins with "new\n". Each later part is "NAME\nCONTENT", a file of the staging folder,
// or "@NAME\nTARGET", a symbolic link to anywhere (NAME a plain name; "w/NAME" in the
// folder "w"). A load of the workbook folder must change nothing at all; a save into it
// must change nothing outside it, nor the file of the user's in it, and leave no
// staging folder beside it.
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/parts.h"
#include "platform/runtime/error.h"
#include "workbook/failure.h"
#include "workbook/workbook_io.h"

namespace {

namespace fs = std::filesystem;
using namespace quillary;

const fs::path& Root() {
  static const fs::path root = [] {
    // In memory where there is such a folder: each input is a folder tree made afresh.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    // libFuzzer ends without running exit handlers: the folders of ended runs go here.
    constexpr std::string_view kPrefix = "quillary-fuzz-journal-";
    for (const auto& e : fs::directory_iterator(base, ec)) {
      const std::string name = e.path().filename().string();
      if (name.starts_with(kPrefix) && ::kill(std::atoi(name.c_str() + kPrefix.size()), 0) != 0) {
        fs::remove_all(e.path(), ec);
      }
    }
    fs::path r = base / (std::string(kPrefix) + std::to_string(::getpid()));
    fs::remove_all(r);
    fs::create_directories(r / "outside" / "folder");
    std::ofstream(r / "outside" / "victim.txt") << "victim";
    std::ofstream(r / "outside" / "folder" / "inside.txt") << "inside";
    std::ofstream(r / ".profile") << "profile";
    auto app = xl::memory::CreateApplication();
    xl::Workbook& book = app->AddWorkbook(xl::memory::GridSize::Small);
    book.Sheets().Item(1).SetName(u"A");
    book.Sheets().Item(1).Cells(1, 1).SetValue(u"old");
    book.Sheets().Add({.After = &book.Sheets().Item(1)}).SetName(u"B");
    workbook::Notes notes;
    workbook::SaveWorkbook(book, r / "template", notes);
    std::ofstream(r / "template" / "notes.csv") << "the user's";
    return r;
  }();
  return root;
}

// Everything under `root`, links not followed, but what lies under `except`.
std::map<std::string, std::string> Snapshot(const fs::path& root, const fs::path& except = {}) {
  std::map<std::string, std::string> all;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (!except.empty() && it->path() == except) {
      it.disable_recursion_pending();
      continue;
    }
    const auto status = fs::symlink_status(it->path());
    std::string& held = all[it->path().lexically_relative(root).string()];
    if (fs::is_symlink(status)) {
      held = "link " + fs::read_symlink(it->path()).string();
    } else if (fs::is_regular_file(status)) {
      std::ifstream in(it->path(), std::ios::binary);
      held.assign(std::istreambuf_iterator<char>(in), {});
    } else {
      held = fs::is_directory(status) ? "folder" : "other";
    }
  }
  return all;
}

bool PlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// Makes the entry `part` describes in `staging`; entries that are no plain names are
// left out (the harness itself never writes outside the staging folder).
void MakeEntry(const fs::path& staging, std::string_view part) {
  const std::size_t cut = part.find('\n');
  std::string_view name = part.substr(0, cut);
  const std::string_view body = cut == std::string_view::npos ? std::string_view() : part.substr(cut + 1);
  const bool link = name.starts_with('@');
  if (link) name.remove_prefix(1);
  fs::path at = staging;
  if (name.starts_with("w/")) {
    at /= "w";
    name.remove_prefix(2);
  }
  if (!PlainName(name) || name.find('\0') != std::string_view::npos) return;
  std::error_code ec;
  fs::create_directories(at, ec);
  if (link) {
    if (!body.empty() && body.find('\0') == std::string_view::npos)
      fs::create_symlink(std::string(body), at / name, ec);
  } else {
    std::ofstream(at / name, std::ios::binary).write(body.data(), static_cast<std::streamsize>(body.size()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const fs::path& root = Root();
  const fs::path book = root / "book";
  std::error_code ec;
  fs::remove_all(book, ec);
  for (const auto& e : fs::directory_iterator(root)) {
    if (e.path().filename().string().starts_with(".quillary")) fs::remove_all(e.path(), ec);
  }
  fs::copy(root / "template", book, fs::copy_options::recursive);

  const bool beside = input.starts_with("new\n");
  if (beside) input.remove_prefix(4);
  const fs::path staging = beside ? root / ".quillary-new-f" : book / ".quillary-save-f";
  fs::create_directories(staging);
  const std::vector<std::string_view> parts = fuzz::PartsAtNul(input);
  std::ofstream(staging / ".journal", std::ios::binary)
      .write(parts[0].data(), static_cast<std::streamsize>(parts[0].size()));
  for (std::size_t i = 1; i < parts.size(); ++i) MakeEntry(staging, parts[i]);

  // A load changes nothing anywhere.
  const auto before = Snapshot(root);
  {
    auto app = xl::memory::CreateApplication();
    workbook::Notes notes;
    const std::vector<fs::path> paths{book};
    try {
      (void)workbook::LoadWorkbook(*app, paths, notes);
    } catch (const workbook::Failure&) {
    } catch (const Error&) {
    }
  }
  if (Snapshot(root) != before) __builtin_trap();

  // A save changes nothing outside the folder but its own staging folders, and keeps
  // the user's file in it.
  const auto outside = Snapshot(root, book);
  {
    auto app = xl::memory::CreateApplication();
    xl::Workbook& next = app->AddWorkbook(xl::memory::GridSize::Small);
    next.Sheets().Item(1).SetName(u"A");
    next.Sheets().Item(1).Cells(1, 1).SetValue(u"new");
    workbook::Notes notes;
    try {
      workbook::SaveWorkbook(next, book, notes);
    } catch (const workbook::Failure&) {
    }
  }
  auto after = Snapshot(root, book);
  std::erase_if(after, [](const auto& e) { return e.first.starts_with(".quillary-new-f"); });
  auto expected = outside;
  std::erase_if(expected, [](const auto& e) { return e.first.starts_with(".quillary-new-f"); });
  if (after != expected) __builtin_trap();
  std::ifstream notes(book / "notes.csv");
  if (std::string(std::istreambuf_iterator<char>(notes), {}) != "the user's") __builtin_trap();
  for (const auto& e : fs::directory_iterator(root)) {
    const std::string name = e.path().filename().string();
    // A staging folder of another target may stay; one of this folder's saves may not.
    if (name.starts_with(".quillary-new-") && name != ".quillary-new-f") __builtin_trap();
  }
  return 0;
}
