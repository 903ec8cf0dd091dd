// The parsing script: the small language in which the parse form tells how each
// selected row is split into columns. This header reads a script into a Program; the
// interpreter (interpreter.h) carries a Program out over one row's text.
//
// A script is one string. It is cut after its second "_" (after its first when it has
// only one; a script without "_" is cut to nothing), and everything behind the cut is
// ignored. Section 1 is the text before the first "_", section 2 the text between the
// two.
//
// Row condition. When the third character is Chr(31) the script begins with a
// condition: characters 1 and 2 are its code ("by" begins with, "bn" does not begin
// with, "ey"/"en" the end test, "cy" contains, "cn" does not contain), character 4 an
// operand letter of "'~abcd,sto" and then a number N up to the first "\" or "_": the
// text looked for is that operand's value written N times. Rows whose condition holds
// run the commands of section 1 after its first "\" (none: they stay as they are);
// every other row runs the commands of section 2. Without a condition every row runs
// the commands that begin at the first character that is none of "_", " ", "\", "{".
//
// Commands. A command part is, in this order:
//   [count] letter [digits letter2 | digits] action mode [digits]
// count: decimal digits, the repeat count (none: 65536; 0 on an operand of index 2 or
//   more: 65536 too). letter: one of "^~abcd,sto" (operand index 0 to 9). When digits
//   and then a second letter of "~abcd,sto" follow, the command aims at every N-th
//   occurrence of the second letter's operand, N being the digits, and the occurrences
//   before it are replaced by the first letter's value. Digits after the operand letter
//   are a space count for "s" and "~" (that many spaces from now on; none or 0: one
//   space) and are passed over for the other letters. action: ">", "x", "!", "-", "+"
//   ("'": none). mode: the operand letter of "'~abcd,sto" whose value the action writes;
//   digits after a mode "s" set the value of "s" to that many spaces (none or 0: the
//   empty text). The character after a part is passed over (normally the "\" of the
//   next part); a part without a count joins the next part into one command unless that
//   character is "_"; a part with a count ends its command, and its operand is the
//   command's target. ">" whose mode is its own operand letter, in a part without a
//   count, does nothing and takes no part in the command.
//
// Reading a script never fails: what the interpreter cannot run (a letter outside its
// alphabet) is kept where it stands, and the run reports it when a row reaches it, as
// a script read afresh for each row would.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::parser {

// The operands by index, in the order of their letters.
inline constexpr int kOperandCount = 10;
inline constexpr int kCaret = 0;     // "^" in commands, "'" (the empty text) elsewhere
inline constexpr int kTilde = 1;     // "~": a run of spaces
inline constexpr int kOperandA = 2;  // "a" to "d": the parse form's four texts
inline constexpr int kOperandB = 3;
inline constexpr int kOperandC = 4;
inline constexpr int kOperandD = 5;
inline constexpr int kComma = 6;     // ","
inline constexpr int kSpace = 7;     // "s": one space unless a command says more
inline constexpr int kTab = 8;       // "t"
inline constexpr int kOutDelim = 9;  // "o": the output delimiter

// The three spellings of the operand alphabet: for the row condition and the modes,
// for the letters of a command, and for a command's second letter.
inline constexpr char16_t kValueLetters[] = u"'~abcd,sto";
inline constexpr char16_t kCommandLetters[] = u"^~abcd,sto";
inline constexpr char16_t kSecondLetters[] = u"_~abcd,sto";

// Marks a row condition as the script's third character.
inline constexpr char16_t kConditionMark = u'\x1f';

// The repeat count of a part without one.
inline constexpr std::int64_t kUnlimited = 65536;

// The longest run of spaces a count makes: one more than a cell holds, so that such a
// value is never found in a row and never fits a cell, whatever larger count was asked.
inline constexpr std::int64_t kMaxSpaces = 32768;

// The values of the ten operands, by index.
using OperandValues = std::array<Text, kOperandCount>;

// What reading one command part sets.
struct Part {
  bool hasCount = false;
  // The repeat count as the operand takes it (RepeatLeft).
  std::int64_t repeat = kUnlimited;
  int operand = 0;
  // The occurrence aimed at, and the first letter's operand in the two-letter form.
  std::int64_t occurrence = 1;
  int pair = kCaret;
  // "s" or "~" with a space count: the operand's new value is that many spaces.
  std::optional<std::int64_t> operandSpaces;
  // The action and the mode; 0 where the script ended first.
  char16_t action = 0;
  char16_t mode = 0;
  // A mode "s" with a count: the new value of "s" (0: the empty text).
  std::optional<std::int64_t> modeSpaces;
  // The operand takes part in the command.
  bool arms = false;
};

// One command: its parts, the last of which names the target when it has a count. A
// command whose reading fails has the parts read before the failure and `unreadable`:
// the run stops with "Error while running script." when a row reads it.
struct Command {
  std::vector<Part> parts;
  bool unreadable = false;
};

// Where the commands of a row begin.
enum class Start {
  kCommands,   // at the first of `commands`
  kUnchanged,  // nowhere: the row is written as it is
  kEndRun,     // beyond the end of the script: the run ends at such a row
};

struct Section {
  Start start = Start::kEndRun;
  std::vector<Command> commands;
};

struct Program {
  // The script after the cut.
  Text script;
  // The row condition: its code (the first two characters), its operand letter and N.
  bool hasCondition = false;
  Text conditionCode;
  char16_t conditionLetter = 0;
  double conditionCount = 0;
  // The commands of the rows whose condition holds, and of every other row.
  Section matching;
  Section other;

  // False when every row without a holding condition would end the run before any
  // command: the script defines nothing to do.
  bool HasCommands() const { return other.start != Start::kEndRun; }
};

// The run's first test on the script as the form holds it (not yet cut): empty, or a
// row condition with neither a "\" nor a second "_" more than one character after the
// first.
bool IsEmptyScript(TextView script);

// Reads a script.
Program ReadScript(TextView script);

// The text the row condition looks for: its operand's value written N times (N read
// as a number; below 1 none). Held to kMaxSpaces characters, beyond which no row can
// hold it. Nothing when N is at least 1 and the letter is outside "'~abcd,sto" (the
// run's "Script code error.").
std::optional<Text> ConditionText(const Program& program, const OperandValues& values);

// The row condition on one row: the first occurrence P of `conditionText` (without
// regard to case when `ignoreCase`) tested as the code says. "ey" holds when P equals
// Len(row) - Len(conditionText), the position before a text that ends the row, as
// stored scripts are written against it; "en" is its opposite. An unknown code or an
// empty text never holds.
bool ConditionHolds(const Program& program, TextView conditionText, TextView row, bool ignoreCase);

}  // namespace quillary::parser
