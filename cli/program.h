// The command line of `quillary`: argument parsing, help and the run of a script, kept
// apart from main() so that tests run the program in-process.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "cli/connection.h"
#include "cli/session.h"

namespace quillary::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The streams the program works with, and whether standard input is a terminal.
struct ProgramIo {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool inIsTerminal = false;
  // The process ends right after the run: the workbook in memory need not be freed
  // piece by piece (a million cells take a noticeable time to free).
  bool exitAfterRun = false;
  // Standard error is a terminal: questions show their whole texts to the person
  // answering there, and beeps are bell characters.
  bool errIsTerminal = false;
  // Makes the connection of `run --through-com` (the Windows build's in-process server);
  // empty where the build has none.
  ConnectionMaker throughCom = nullptr;
};

// Runs `quillary` with the arguments after the program name; returns the exit status.
int RunProgram(std::span<const std::string> args, ProgramIo io);

// The full --help text.
std::string HelpText();

// How a session of the program shows and answers questions: whole texts with --verbose
// or to a person answering at a terminal; beeps only on a terminal.
SessionOptions SessionOptionsFor(const ProgramIo& io, bool interactive, bool verbose, bool answersAsOptions);

}  // namespace quillary::cli
