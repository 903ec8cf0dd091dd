#include "parser/interpreter.h"

#include <algorithm>

#include "platform/runtime/chars.h"
#include "platform/runtime/text_order.h"

namespace quillary::parser {

namespace {

using Pos = std::int64_t;

Text Spaces(std::int64_t n) { return Text(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)), u' '); }

void TrimRight(Text& t) {
  const auto e = t.find_last_not_of(u' ');
  t.erase(e == Text::npos ? 0 : e + 1);
}

Text TrimLeft(TextView t) {
  const auto b = t.find_first_not_of(u' ');
  return b == TextView::npos ? Text() : Text(t.substr(b));
}

Text TrimmedRight(TextView t) {
  Text out(t);
  TrimRight(out);
  return out;
}

// Mid(text, start, length), 1-based; nothing outside the text.
TextView Mid(TextView text, Pos start, Pos length) {
  if (start < 1 || length <= 0 || start > static_cast<Pos>(text.size())) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

// The next occurrence of each operand's value, remembered from one search to the next:
// the row's text does not change, so an occurrence found from one position is the next
// one from every later position up to it.
class Finder {
 public:
  Finder(TextView row, bool ignoreCase) : ignoreCase_(ignoreCase) {
    if (ignoreCase) folded_ = text_order::Fold(row);
    row_ = ignoreCase ? TextView(folded_) : row;
  }

  // The operand's value changed.
  void Forget(int operand) { memo_[static_cast<std::size_t>(operand)].valid = false; }

  // The first occurrence of `value` (operand `operand`'s) at or after `from`, 0 when none.
  Pos Find(int operand, const Text& value, Pos from) {
    if (value.empty() || from > static_cast<Pos>(row_.size())) return 0;
    from = std::max<Pos>(from, 1);
    Memo& m = memo_[static_cast<std::size_t>(operand)];
    if (!m.valid) {
      m.needle = ignoreCase_ ? text_order::Fold(value) : value;
    } else if (m.from <= from && (m.at == 0 || m.at >= from)) {
      return m.at;
    }
    // Searching from an earlier position needs only the text up to the one remembered.
    TextView hay = row_;
    Pos known = 0;
    if (m.valid && from < m.from) {
      const auto end = static_cast<std::size_t>(m.from - 1) + m.needle.size() - 1;
      if (end < hay.size()) hay = hay.substr(0, end);
      known = m.at;
    }
    const auto found = hay.find(m.needle, static_cast<std::size_t>(from - 1));
    m.at = found == TextView::npos ? known : static_cast<Pos>(found) + 1;
    m.from = from;
    m.valid = true;
    return m.at;
  }

  // The value stands at `at`.
  bool At(const Text& value, Pos at) const {
    if (value.empty() || at < 1 || at - 1 + static_cast<Pos>(value.size()) > static_cast<Pos>(row_.size())) {
      return false;
    }
    const TextView here = row_.substr(static_cast<std::size_t>(at - 1), value.size());
    return ignoreCase_ ? here == TextView(text_order::Fold(value)) : here == TextView(value);
  }

 private:
  struct Memo {
    bool valid = false;
    Text needle;
    Pos from = 0;
    Pos at = 0;
  };
  bool ignoreCase_;
  Text folded_;
  TextView row_;
  std::array<Memo, kOperandCount> memo_;
};

class RowRun {
 public:
  RowRun(const Program& program, RunMemory& memory, TextView row, const RowSettings& settings)
      : program_(program),
        ops_(memory.operands),
        conditionText_(memory.conditionText),
        row_(row),
        len_(static_cast<Pos>(row.size())),
        settings_(settings),
        finder_(row, settings.ignoreCase) {}

  RowResult Run() {
    for (int i = kTilde; i <= kTab; ++i) {
      Op(i).armed = false;
      Op(i).action = u'\'';
    }
    const bool holds = ConditionHolds(program_, conditionText_, row_, settings_.ignoreCase);
    const Section& section = holds ? program_.matching : program_.other;
    if (section.start == Start::kEndRun) return End(RowEnd::kEndRun);
    commands_ = &section.commands;
    commandsEnded_ = section.start == Start::kUnchanged;
    const RowEnd end = Cycles();
    return End(end);
  }

 private:
  Operand& Op(int i) { return ops_[static_cast<std::size_t>(i)]; }

  RowResult End(RowEnd end) {
    RowResult r;
    r.end = end;
    r.output = std::move(output_);
    r.segmentStart = segmentStart_;
    r.cutArmed = cutArmed_;
    r.cutPending = cutPending_;
    r.outputCut = outputCut_;
    r.target = lastTarget_;
    r.leadSpace = leadSpace_;
    r.steps = steps_;
    return r;
  }

  // The command cycle, until the row ends (kLine) or the run does.
  RowEnd Cycles() {
    do {
      int operand = -1;
      bool counted = false;
      if (!commandsEnded_) {
        if (nextCommand_ >= commands_->size()) {
          commandsEnded_ = true;
        } else {
          const Command& command = (*commands_)[nextCommand_++];
          stalls_ = 0;
          for (const Part& part : command.parts) Read(part);
          if (command.unreadable) return RowEnd::kScriptError;
          operand = command.parts.back().operand;
          counted = command.parts.back().hasCount;
        }
      }
      ArmedCheck();
      if (actionDone_) break;
      LocateTarget(operand, counted);
      if (const RowEnd end = SearchSteps(); end != RowEnd::kLine) return end;
    } while (pos_ <= len_ || actionDone_);
    return RowEnd::kLine;
  }

  void Read(const Part& part) {
    Operand& op = Op(part.operand);
    if (part.operandSpaces) SetValue(part.operand, Spaces(*part.operandSpaces));
    op.repeatLeft = part.repeat;
    op.occurrence = part.occurrence;
    op.occurrenceLeft = part.occurrence;
    op.pair = part.pair;
    op.action = part.action;
    op.mode = part.mode;
    if (part.modeSpaces) SetValue(kSpace, Spaces(*part.modeSpaces));
    op.armed = part.arms;
  }

  void SetValue(int operand, Text value) {
    Op(operand).value = std::move(value);
    finder_.Forget(operand);
  }

  Pos Find(int i, Pos from) { return finder_.Find(i, Op(i).value, from); }

  // The operand occurs at `from` or after.
  bool OccursFrom(int i, Pos from) { return Op(i).value.empty() || Find(i, from) > 0; }

  void ArmedCheck() {
    for (int i = kOperandA; i <= kTab; ++i) {
      if (Op(i).armed && !OccursFrom(i, std::max<Pos>(1, pos_ - 1))) Op(i).armed = false;
    }
    cutArmed_ = true;
    for (const Operand& op : ops_) {
      if (op.repeatLeft >= kUnlimited && op.action == u'x') {
        cutArmed_ = false;
        cutPending_ = false;
      }
    }
  }

  // Position `p` moved on to the end of the surrogate pair whose second unit it is:
  // nothing cuts a character of two code units in two.
  Pos WholeCharacter(Pos p) const {
    return p >= 1 && chars::SplitsPair(row_, static_cast<std::size_t>(p - 1)) ? p + 1 : p;
  }

  // Where the target operand `i` acts next, searching from `from`; 0 when nowhere.
  Pos TargetPosition(int i, Pos from) {
    if (i == kCaret) return WholeCharacter(from + Op(i).repeatLeft);
    if (i == kTilde) {
      const Pos run = Find(i, from);
      return run > 0 ? run : static_cast<Pos>(TrimmedRight(row_).size()) + 1;
    }
    return Find(i, from);
  }

  void LocateTarget(int operand, bool counted) {
    target_ = -1;
    targetNext_ = len_ + 1;
    if (operand < 0 || !counted || !Op(operand).armed) return;
    const Pos at = TargetPosition(operand, pos_);
    if (at <= 0) return;
    target_ = operand;
    targetNext_ = at;
    cutPending_ = false;
    if (operand <= kTilde && pos_ < 2 && !row_.empty() && row_[0] == u' ') leadSpace_ = true;
  }

  // The search steps of one command.
  RowEnd SearchSteps() {
    for (;;) {
      if (++steps_ > 2 * len_ + 2000) return RowEnd::kScriptError;
      // A step that starts where the last one did moves on by one character.
      if (steps_ > 1 && pos_ == lastStepPos_ && !closedCut_) pos_ = WholeCharacter(pos_ + 1);
      lastStepPos_ = pos_;
      closedCut_ = false;

      int acting = Nearest();
      if (acting >= 0) {
        pos_ = nearestAt_;
      } else if (target_ >= 0) {
        acting = target_;
        pos_ = targetNext_;
      } else {
        pos_ = len_ + 1;
        return RowEnd::kLine;
      }
      const bool byTarget = acting == target_;
      bool replaced = false;
      if (const RowEnd end = Act(acting, byTarget, replaced); end != RowEnd::kLine) return end;

      if (byTarget) {
        Operand& op = Op(acting);
        if (acting >= kOperandA && !replaced) --op.repeatLeft;
        const Pos next = TargetPosition(acting, pos_);
        if (next > 0) {
          targetNext_ = next;
        } else {
          op.repeatLeft = 0;
        }
        if (acting <= kTilde && actionDone_) return RowEnd::kLine;
        if (op.repeatLeft <= 0) return RowEnd::kLine;
      } else if (pos_ > (target_ >= 0 ? targetNext_ : len_)) {
        return RowEnd::kLine;
      }
    }
  }

  // The armed operand of "a" to "t" (not the target) whose match comes first, or -1.
  int Nearest() {
    int best = -1;
    Pos bestLength = 0;
    for (int i = kOperandA; i <= kTab; ++i) {
      Operand& op = Op(i);
      if (i == target_ || !op.armed || op.value.empty()) continue;
      const Pos at = Find(i, pos_);
      if (at == 0) {
        if (!finder_.At(op.value, pos_ - 1)) op.armed = false;
        continue;
      }
      const auto length = static_cast<Pos>(op.value.size());
      if (target_ >= 0 && at + length - 1 >= targetNext_) continue;
      if (best < 0 || at < nearestAt_ || (at == nearestAt_ && length > bestLength)) {
        best = i;
        nearestAt_ = at;
        bestLength = length;
      }
    }
    return best;
  }

  // The value a mode names, or nothing for a mode outside "'~abcd,sto".
  const Text* ModeValue(char16_t mode) {
    const auto i = TextView(kValueLetters).find(mode);
    if (mode == 0 || i == TextView::npos) return nullptr;
    return &Op(static_cast<int>(i)).value;
  }

  // One action of `acting` at the current position.
  RowEnd Act(int acting, bool byTarget, bool& replaced) {
    Operand& op = Op(acting);
    // "^" matches one character, which may take two code units.
    const Pos matchLength = acting <= kTilde ? WholeCharacter(pos_ + 1) - pos_ : static_cast<Pos>(op.value.size());
    TextView match = Mid(row_, pos_, matchLength);
    const Pos matchEnd = pos_ + static_cast<Pos>(match.size());

    if (byTarget && op.occurrence > 1) {
      if (--op.occurrenceLeft >= 1) {
        replaced = true;
      } else {
        op.occurrenceLeft = op.occurrence;
      }
    }
    Text pending;
    bool delimiterBefore = false;
    bool delimiterAfter = false;
    bool openCut = false;
    if (replaced) {
      pending = Op(op.pair).value;
      actionDone_ = true;
    } else {
      const bool toDelimiter = op.mode == u'o' && !settings_.keepSpaces;
      switch (op.action) {
        case u'!': pending = Text(match); break;
        case u'>':
        case u'x':
          actionDone_ = true;
          if (op.action == u'x' && cutOpen_) return CloseCut(acting);
          openCut = op.action == u'x' && byTarget;
          if (acting == kCaret) {
            pending = Text(match);
          } else {
            const Text* value = ModeValue(op.mode);
            if (value == nullptr) return RowEnd::kScriptError;
            pending = *value;
            delimiterBefore = delimiterAfter = toDelimiter;
          }
          break;
        case u'-': {
          const Text* value = ModeValue(op.mode);
          if (value == nullptr) return RowEnd::kScriptError;
          actionDone_ = true;
          const Text kept = toDelimiter ? TrimLeft(match) : Text(match);
          pending = *value + kept;
          delimiterBefore = toDelimiter;
          // A match of spaces only leaves the new column to begin after them.
          delimiterAfter = toDelimiter && kept.empty();
          break;
        }
        case u'+': {
          const Text* value = ModeValue(op.mode);
          if (value == nullptr) return RowEnd::kScriptError;
          actionDone_ = true;
          pending = (toDelimiter ? TrimmedRight(match) : Text(match)) + *value;
          delimiterAfter = toDelimiter;
          break;
        }
        default: return RowEnd::kScriptError;
      }
    }

    const Pos before = pos_;
    if (pos_ > segmentStart_) output_ += Mid(row_, segmentStart_, pos_ - segmentStart_);
    if (delimiterBefore) TrimRight(output_);
    if (openCut) {
      cutOpen_ = true;
      cutPending_ = true;
      outputCut_ = static_cast<Pos>(output_.size());
    }
    output_ += pending;
    pos_ = matchEnd;
    if (delimiterAfter) {
      while (pos_ <= len_ && row_[static_cast<std::size_t>(pos_ - 1)] == u' ') ++pos_;
    }
    // The source already copied is never copied again, even when a "~" target lay
    // behind the position.
    segmentStart_ = std::max(segmentStart_, pos_);
    if (static_cast<Pos>(output_.size()) > kMaxOutput) return RowEnd::kTooLong;
    return AfterAction(acting, pos_ > before);
  }

  // An "x" match while a cut is open: the output goes back to where the cut opened and
  // the position stays on the closing match, which the next step acts on afresh.
  RowEnd CloseCut(int acting) {
    if (static_cast<Pos>(output_.size()) > outputCut_) output_.resize(static_cast<std::size_t>(outputCut_));
    segmentStart_ = pos_;
    cutOpen_ = false;
    cutPending_ = false;
    closedCut_ = true;
    return AfterAction(acting, true);
  }

  // The not-advancing guard.
  RowEnd AfterAction(int acting, bool advanced) {
    if (!advanced) {
      if (stalls_ >= (acting <= kTilde ? 4 : 2)) return RowEnd::kNotAdvancing;
      ++stalls_;
    }
    pos_ = std::max<Pos>(pos_, 1);
    lastTarget_ = target_;
    return RowEnd::kLine;
  }

  const Program& program_;
  std::array<Operand, kOperandCount>& ops_;
  const Text& conditionText_;
  TextView row_;
  Pos len_;
  RowSettings settings_;
  Finder finder_;

  const std::vector<Command>* commands_ = nullptr;
  std::size_t nextCommand_ = 0;
  bool commandsEnded_ = false;

  Text output_;
  Pos pos_ = 1;
  Pos segmentStart_ = 1;
  int target_ = -1;
  Pos targetNext_ = 0;
  Pos nearestAt_ = 0;
  bool actionDone_ = false;
  bool cutOpen_ = false;
  bool cutPending_ = false;
  bool cutArmed_ = false;
  Pos outputCut_ = 0;
  std::int64_t steps_ = 0;
  int stalls_ = 0;
  Pos lastStepPos_ = 0;
  bool closedCut_ = false;
  bool leadSpace_ = false;
  int lastTarget_ = -1;
};

}  // namespace

std::optional<RunMemory> StartRun(const Program& program, const OperandValues& values) {
  RunMemory memory;
  for (std::size_t i = 0; i < values.size(); ++i) memory.operands[i].value = values[i];
  std::optional<Text> condition = ConditionText(program, values);
  if (!condition) return std::nullopt;
  memory.conditionText = std::move(*condition);
  return memory;
}

RowResult RunRow(const Program& program, RunMemory& memory, TextView row, const RowSettings& settings) {
  return RowRun(program, memory, row, settings).Run();
}

Text FinishLine(TextView row, const RowResult& result, bool keepSpaces) {
  Text line = result.output;
  line += Mid(row, std::max<Pos>(result.segmentStart, 1), static_cast<Pos>(row.size()));
  if (result.cutArmed && result.cutPending) {
    const Pos cut = std::max<Pos>(result.outputCut, 0);
    if (static_cast<Pos>(line.size()) > cut) line.resize(static_cast<std::size_t>(cut));
    if (cut > 0 && result.target == kSpace && keepSpaces && static_cast<Pos>(line.size()) == cut &&
        line.back() == u' ') {
      line.pop_back();
    }
  }
  if (!keepSpaces) TrimRight(line);
  if (result.leadSpace && !keepSpaces) line = TrimLeft(line);
  return line;
}

}  // namespace quillary::parser
