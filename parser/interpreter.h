// The interpreter: carries a Program (script.h) out over the text of one row and leaves
// the row's output, which FinishLine turns into the output line.
//
// Positions are 1-based, as the script language counts them. The row text is never
// changed: the output is built apart from it, from the copied source text and what the
// actions write.
//
// One row. The row condition picks the commands (script.h). A cycle reads the next
// command (its parts arm their operands; the last part's operand, when it has a
// count, is the target), disarms the operands "a" to "t" that no longer occur from one
// position before the current position on, and ends the row once an action other than
// "!" has been done: the first command that acts processes the row and no later
// command runs on it. Otherwise the command's search steps run: each armed operand of
// "a" to "t" other than the target is searched from the current position (the nearest
// wins; on one position the longer value; then the lower index); with a target, only a
// match that ends before the target's next position counts; when none is found the
// target acts at its position, and without a target the row's end is reached. The
// acting operand's action gives the text written for the match; the source text before
// the match is copied; the position moves behind the match. A target repeats at its
// next occurrence until its count runs out (with an occurrence number N only every
// N-th occurrence counts, the others are replaced by the first letter's value); the
// other operands repeat up to the target's position or the row's end. Cycles go on
// while the position lies within the row, or once more after an action.
//
// Actions: "!" writes the match as it is; ">" writes the mode's value instead ("^"
// writes its matched character); "-" the mode's value and then the match; "+" the
// match and then the mode's value; "x" as ">", and it cuts (below). The mode is looked
// up in "'~abcd,sto" ("'" the empty text) when the action runs: a mode outside it, or
// an action outside these, ends the run with "Error while running script.".
//
// The rules the language leaves to its implementation:
// - "^" as the target of a part with count N aims at the character N places after the
//   position where its search starts; past the end of the row its match is empty. It
//   acts once when its action completes the row (anything but "!"). With "!" its count
//   never runs down and it goes on to the character N places further each time: such
//   a walk reaches the end of the row, where its empty matches make no progress, and
//   the not-advancing guard ends the run.
// - "~" stands for a run of spaces (one, or the count after the letter). As a target it
//   aims at the next such run, matching its first space; when none follows, at the
//   position just after the row's text without its trailing spaces (an empty match
//   when the row has none). It captures nothing else: the text before its match is
//   copied as for any operand, and its value changes only by its count. It acts once
//   when its action completes the row; with "!" it walks on as "^" does, and the guards
//   end the walk (a row with trailing spaces brings it back to the same space again and
//   again until the step limit ends the run).
// - Spaces, when they are not kept: an action that writes the output delimiter ("o"
//   as the mode) makes a column edge, and a column neither ends nor begins with spaces:
//   where the delimiter comes before or in place of the match (">", "x", "-") the
//   spaces that end the output so far are dropped; where it comes after or in place of
//   the match (">", "x", "+") the spaces that follow the match in the row are passed
//   over. "-" also drops the match's leading spaces (and, when the match is nothing
//   but spaces, the spaces after it) and "+" its trailing ones. Every other action
//   keeps the spaces around its match. One delimiter is written per
//   action: insertions that meet do not multiply it.
// - The cut of "x": the target's "x" opens a cut where its match begins; the next "x"
//   match (of another operand that wins a step, or the target's own next one) closes
//   it, dropping everything written from the opening match up to that closing match.
//   The closing match itself is not consumed: the next step acts on it afresh (an "x"
//   operand then writes its value, the target opens a new cut there); the close counts
//   as progress for the guard below, as the output shrank. A cut still open
//   when the row ends drops the rest of the line, unless an "x" operand without a
//   count took part in the row (FinishLine).
//
// Guards. A row makes at most 2 * Len(row) + 2000 search steps; one more ends the run
// with "Error while running script.". An action that leaves the position where it was
// (an empty match) makes no progress; the fifth such action of "^" or "~", or the
// third of another operand, since a command was read ends the run with the
// not-advancing message. The output of a row is held to kMaxOutput characters.
#pragma once

#include <array>
#include <cstdint>

#include "parser/script.h"

namespace quillary::parser {

// The most a row's output may grow to; beyond it no cell can take the line.
inline constexpr std::int64_t kMaxOutput = 1 << 20;

// One operand's value and the fields of the command that uses it.
struct Operand {
  Text value;
  bool armed = false;
  char16_t action = u'\'';
  char16_t mode = 0;
  std::int64_t repeatLeft = 0;
  std::int64_t occurrence = 1;
  int pair = kCaret;
  std::int64_t occurrenceLeft = 1;
};

// What the interpreter keeps from one row to the next of a run: the operands (values
// that commands change, and the fields of the commands that last used them) and the
// text the row condition looks for.
struct RunMemory {
  std::array<Operand, kOperandCount> operands;
  Text conditionText;
};

// The memory at the start of a run, with the operands' values. Nothing when the row
// condition's letter is outside its alphabet ("Script code error.").
std::optional<RunMemory> StartRun(const Program& program, const OperandValues& values);

struct RowSettings {
  // Spaces around matches and at the ends of the line stay.
  bool keepSpaces = false;
  // Searches and the row condition compare without regard to case.
  bool ignoreCase = false;
};

enum class RowEnd {
  kLine,          // the row's output is ready for FinishLine
  kEndRun,        // the row has no command to start with: the run ends quietly
  kScriptError,   // "Error while running script.": the script cannot be run on it
  kNotAdvancing,  // the not-advancing guard stopped the run
  kTooLong,       // the output grew beyond kMaxOutput
};

struct RowResult {
  RowEnd end = RowEnd::kLine;
  // The output written so far and where the source not yet copied begins.
  Text output;
  std::int64_t segmentStart = 1;
  // An "x" cut open at the row's end, and the output length it goes back to; applied
  // only while no "x" operand without a count took part (cutArmed).
  bool cutArmed = false;
  bool cutPending = false;
  std::int64_t outputCut = 0;
  // The target operand of the last action, -1 for none.
  int target = -1;
  // A command aimed at "^" or "~" started at the first position of a row that begins
  // with a space.
  bool leadSpace = false;
  // Search steps made.
  std::int64_t steps = 0;
};

// Runs the commands over one row.
RowResult RunRow(const Program& program, RunMemory& memory, TextView row, const RowSettings& settings);

// The output line of a row that ended with kLine: the output and the rest of the row,
// cut when a cut is still open, without trailing spaces (and without leading ones after
// a command on "^" or "~" at a leading space) unless spaces are kept.
Text FinishLine(TextView row, const RowResult& result, bool keepSpaces);

}  // namespace quillary::parser
