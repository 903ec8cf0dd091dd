#include "parser/script.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::parser {

namespace {

constexpr std::size_t kNone = TextView::npos;

// Counts beyond this many mean the same as any larger one: more than a row can hold.
constexpr std::int64_t kCountCeiling = 1'000'000'000;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The index of `c` in an alphabet, -1 when it is not there (or is the terminator).
int IndexIn(const char16_t* alphabet, char16_t c) {
  const TextView letters(alphabet);
  const auto at = letters.find(c);
  return at == kNone ? -1 : static_cast<int>(at);
}

// The run of digits at `at` (moved past it), as a number held to kCountCeiling;
// nothing when there is none.
std::optional<std::int64_t> ReadDigits(TextView text, std::size_t& at) {
  if (at >= text.size() || !IsDigit(text[at])) return std::nullopt;
  std::int64_t n = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) n = std::min(kCountCeiling, n * 10 + (text[at] - u'0'));
  return n;
}

std::size_t FindFrom(TextView text, char16_t c, std::size_t from) {
  return from >= text.size() ? kNone : text.find(c, from);
}

// Reads the script's commands from `at`, as the interpreter reads them row by row.
class CommandReader {
 public:
  explicit CommandReader(TextView script) : s_(script) {
    // The next "_" and "\" at or after each position, so that finding where the next
    // command begins stays linear in the script.
    nextUnderscore_.assign(s_.size() + 1, kNone);
    nextBackslash_.assign(s_.size() + 1, kNone);
    for (std::size_t i = s_.size(); i-- > 0;) {
      nextUnderscore_[i] = s_[i] == u'_' ? i : nextUnderscore_[i + 1];
      nextBackslash_[i] = s_[i] == u'\\' ? i : nextBackslash_[i + 1];
    }
  }

  std::vector<Command> Commands(std::size_t at) const {
    std::vector<Command> commands;
    for (;;) {
      Command command;
      std::size_t after = 0;  // the character after the last part read
      for (;;) {
        std::optional<Part> part = ReadPart(at, after);
        if (!part) {
          command.unreadable = true;
          commands.push_back(std::move(command));
          return commands;
        }
        command.parts.push_back(*part);
        // A part without a count gathers the next one, unless a "_" follows it.
        if (part->hasCount || (after < s_.size() && s_[after] == u'_')) break;
        at = after + 1;
      }
      commands.push_back(std::move(command));
      // The next command begins after the next "\", when one comes before the next "_".
      const std::size_t backslash = Next(nextBackslash_, after);
      const std::size_t underscore = Next(nextUnderscore_, after);
      if (backslash == kNone || underscore == kNone || backslash > underscore) return commands;
      at = backslash + 1;
    }
  }

 private:
  static std::size_t Next(const std::vector<std::size_t>& table, std::size_t from) {
    return from < table.size() ? table[from] : kNone;
  }

  char16_t At(std::size_t i) const { return i < s_.size() ? s_[i] : char16_t{0}; }

  // One part from `at`; `after` is left on the character after it. Nothing when its
  // operand letter has no index.
  std::optional<Part> ReadPart(std::size_t at, std::size_t& after) const {
    Part part;
    const std::optional<std::int64_t> count = ReadDigits(s_, at);
    const int first = IndexIn(kCommandLetters, At(at));
    if (first < 0) return std::nullopt;
    char16_t letter = At(at++);
    part.operand = first;
    std::optional<std::int64_t> digits = ReadDigits(s_, at);
    // The two-letter form: digits and then a second letter.
    if (digits && IndexIn(kSecondLetters, At(at)) >= 0) {
      const int second = IndexIn(kCommandLetters, At(at));
      if (second < 0) return std::nullopt;  // a "_" there has no index
      letter = At(at++);
      part.pair = first;
      part.operand = second;
      part.occurrence = *digits;
      digits = ReadDigits(s_, at);
    }
    if (part.operand == kSpace || part.operand == kTilde) {
      part.operandSpaces = std::clamp<std::int64_t>(digits.value_or(1), 1, kMaxSpaces);
    }
    part.hasCount = count.has_value();
    part.repeat = count.value_or(kUnlimited);
    if (part.repeat == 0 && part.operand >= kOperandA) part.repeat = kUnlimited;
    part.action = At(at++);
    part.mode = At(at++);
    if (part.mode == u's') {
      // The cut script ends with "_", so these digits always end before the script.
      if (const auto spaces = ReadDigits(s_, at))
        part.modeSpaces = std::min(*spaces, kMaxSpaces);
      else
        part.modeSpaces = 0;
    }
    if (part.action == u'>' && part.mode == letter && !part.hasCount) part.action = u'\'';
    part.arms = part.action != u'\'';
    after = at;
    return part;
  }

  TextView s_;
  std::vector<std::size_t> nextUnderscore_;
  std::vector<std::size_t> nextBackslash_;
};

// The row condition's N as the language reads a number (Val). A number too large to
// read stands for more repetitions than any row can hold (a negative one for none).
double CountValue(TextView text) {
  try {
    return vba::Val(text);
  } catch (const Error& e) {
    if (e.Number() != err::kOverflow) throw;
    const auto first = text.find_first_not_of(u" \t\n");
    return first != kNone && text[first] == u'-' ? 0 : std::numeric_limits<double>::infinity();
  }
}

bool IsSeparator(char16_t c) { return c == u'_' || c == u' ' || c == u'\\' || c == u'{'; }

}  // namespace

bool IsEmptyScript(TextView script) {
  if (script.empty()) return true;
  const std::size_t backslash = script.find(u'\\');
  const std::size_t first = script.find(u'_');
  const std::size_t second = first == kNone ? kNone : FindFrom(script, u'_', first + 1);
  return backslash == kNone && (second == kNone || second == first + 2) && script.size() >= 3 &&
         script[2] == kConditionMark;
}

Program ReadScript(TextView script) {
  Program p;
  const std::size_t first = script.find(u'_');
  if (first != kNone) {
    const std::size_t second = FindFrom(script, u'_', first + 1);
    p.script = Text(script.substr(0, (second == kNone ? first : second) + 1));
  }
  const TextView s = p.script;
  const CommandReader reader(s);
  const std::size_t underscore = s.find(u'_');
  const std::size_t backslash = s.find(u'\\');
  const bool backslashInSection1 = backslash != kNone && backslash < underscore;

  p.hasCondition = s.size() >= 3 && s[2] == kConditionMark;
  if (p.hasCondition) {
    p.conditionCode = Text(s.substr(0, 2));
    // N runs from two characters after the mark up to the first "\" of section 1, or
    // up to the "_".
    const std::size_t mark = s.find(kConditionMark);
    const std::size_t end = backslashInSection1 ? backslash : underscore;
    p.conditionLetter = mark + 1 < s.size() ? s[mark + 1] : char16_t{0};
    p.conditionCount = end > mark + 2 ? CountValue(s.substr(mark + 2, end - mark - 2)) : 0;
    if (backslashInSection1) {
      p.matching = {Start::kCommands, reader.Commands(backslash + 1)};
    } else {
      p.matching.start = Start::kUnchanged;
    }
  }

  std::size_t at = p.hasCondition ? underscore + 1 : 0;
  while (at < s.size() && IsSeparator(s[at])) ++at;
  if (at < s.size()) {
    p.other = {Start::kCommands, reader.Commands(at)};
  } else {
    p.other.start = p.hasCondition && backslashInSection1 ? Start::kUnchanged : Start::kEndRun;
  }
  return p;
}

std::optional<Text> ConditionText(const Program& program, const OperandValues& values) {
  if (!program.hasCondition) return Text();
  const double n = program.conditionCount;
  if (!(n >= 1)) return Text();
  const int index = IndexIn(kValueLetters, program.conditionLetter);
  if (index < 0) return std::nullopt;
  const Text& value = values[static_cast<std::size_t>(index)];
  Text text;
  if (value.empty()) return text;
  const auto most = static_cast<double>(kMaxSpaces / static_cast<std::int64_t>(value.size()) + 1);
  for (auto times = static_cast<std::int64_t>(std::min(std::floor(n), most)); times > 0; --times) text += value;
  return text;
}

bool ConditionHolds(const Program& program, TextView conditionText, TextView row, bool ignoreCase) {
  if (!program.hasCondition || conditionText.empty()) return false;
  const auto p = vba::InStr(1, row, conditionText, ignoreCase ? vba::kTextCompare : vba::kBinaryCompare);
  const auto endTest = static_cast<std::int64_t>(row.size()) - static_cast<std::int64_t>(conditionText.size());
  const TextView code = program.conditionCode;
  if (code == u"by") return p == 1;
  if (code == u"bn") return p != 1;
  if (code == u"ey") return p == endTest;
  if (code == u"en") return p != endTest;
  if (code == u"cy") return p > 0;
  if (code == u"cn") return p < 1;
  return false;
}

}  // namespace quillary::parser
