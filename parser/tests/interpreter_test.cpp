#include "parser/interpreter.h"

#include <gtest/gtest.h>

#include <string>

namespace quillary::parser {
namespace {

#define C "\x1f"

// What a row needs besides the script: the parse form's texts, the output delimiter
// and the run's settings.
struct Setting {
  const char16_t* a = u"";
  const char16_t* b = u"";
  const char16_t* delimiter = u"|";
  bool keepSpaces = false;
  bool ignoreCase = false;
};

OperandValues Values(const Setting& s) {
  OperandValues v;
  v[kOperandA] = s.a;
  v[kOperandB] = s.b;
  v[kComma] = u",";
  v[kSpace] = u" ";
  v[kTab] = u"\t";
  v[kOutDelim] = s.delimiter;
  return v;
}

struct Outcome {
  RowEnd end;
  Text line;  // when kLine
  std::int64_t steps = 0;
};

Outcome Parse(TextView script, TextView row, const Setting& s = {}) {
  const Program program = ReadScript(script);
  std::optional<RunMemory> memory = StartRun(program, Values(s));
  if (!memory) ADD_FAILURE() << "Script code error for " << ToUtf8(script);
  const RowResult r = RunRow(program, *memory, row, {.keepSpaces = s.keepSpaces, .ignoreCase = s.ignoreCase});
  return {r.end, r.end == RowEnd::kLine ? FinishLine(row, r, s.keepSpaces) : Text(), r.steps};
}

struct LineCase {
  const char16_t* script;
  const char16_t* row;
  const char16_t* line;
  Setting setting = {};
};

void ExpectLines(std::initializer_list<LineCase> cases) {
  for (const LineCase& c : cases) {
    const Outcome o = Parse(c.script, c.row, c.setting);
    EXPECT_EQ(o.end, RowEnd::kLine) << ToUtf8(c.script) << " on '" << ToUtf8(c.row) << "'";
    EXPECT_EQ(o.line, c.line) << ToUtf8(c.script) << " on '" << ToUtf8(c.row) << "'";
  }
}

TEST(InterpreterTest, CommandsAndRepeatCounts) {
  ExpectLines({
      {u",>o_", u"a,b,c", u"a|b|c"},
      {u",>o_", u"abc", u"abc"},  // nothing acts: the whole row
      {u",>o_", u"", u""},
      {u"2,>o_", u"a,b,c,d", u"a|b|c,d"},
      {u"0a>o_", u"1,2,3", u"1|2|3", {.a = u","}},  // 0 on "a" is no limit
      {u"a>'_", u"x-y-z", u"xyz", {.a = u"-"}},
      {u"a+o_", u"k:v", u"k:|v", {.a = u":"}},
      {u"t>o_", u"a\tb", u"a|b"},
      {u",>t_", u"a,b", u"a\tb"},
      {u"1o>t_", u"a|b|c", u"a\tb|c"},
      // "!" keeps what it passes over; the first command that acts otherwise takes the
      // rest of the row.
      {u"3,!'\\,>o_", u"a,b,c,d,e", u"a,b,c,d|e"},
      // Other operands act only up to the target; the target repeats.
      {u",>'\\2b>o_", u"a,b;c,d;e,f;g", u"ab|cd|e,f;g", {.b = u";"}},
      // The two-letter form: every 2nd ",", the one before it replaced by "a".
      {u"1a2,>o_", u"w,x,y,z", u"w;x|y,z", {.a = u";"}},
      {u"2a2,>o_", u"1,2,3,4,5", u"1;2|3;4|5", {.a = u";"}},
      // ">" into the operand's own letter does nothing without a count.
      {u"a>a_", u"x,y", u"x,y", {.a = u","}},
      {u"1a>a_", u"x,y", u"x,y", {.a = u","}},
      // A mode "s" with a count writes that many spaces; without, nothing.
      {u",>s2_", u"a,b", u"a  b"},
      {u",>s_", u"a,b,c", u"abc"},
      // The compare mode.
      {u"a>o_", u"axbXc", u"a|b|c", {.a = u"X", .ignoreCase = true}},
      {u"a>o_", u"axbXc", u"axb|c", {.a = u"X"}},
  });
}

// The edge cases of the interpreter, each with the rule it shows.
TEST(InterpreterTest, SearchOrder) {
  ExpectLines({
      // Two armed operands at one position: the longer value wins...
      {u"b>o\\a>'_", u"xaby", u"xy", {.a = u"ab", .b = u"a"}},
      // ... and on equal length the lower index.
      {u"b>o\\a>'_", u"1x2", u"12", {.a = u"x", .b = u"x"}},
      // An operand with an empty value is never found and never acts.
      {u"a>o\\,>o_", u"x,y", u"x|y"},
      {u"1a>o_", u"x,y", u"x,y"},
  });
}

TEST(InterpreterTest, FirstCommandThatActsProcessesTheRow) {
  // "a>o" has no count, so it joins "3b>o" into one command: on a row with "a" (and no
  // "b") the "a" part acts and the row ends; on a row with only "b" the "b" part runs.
  const Setting s{.a = u";", .b = u"#"};
  ExpectLines({
      {u"a>o\\3b>o_", u"1;2;3", u"1|2|3", s},
      {u"a>o\\3b>o_", u"1#2#3#4#5", u"1|2|3|4#5", s},
  });
  // A command that only passes over the row ends it when it reaches the end; the next
  // command is read only while the row goes on.
  ExpectLines({{u"1,!'\\q>o_", u"a,", u"a,"}});
  EXPECT_EQ(Parse(u"1,!'\\q>o_", u"a,b").end, RowEnd::kScriptError);
}

TEST(InterpreterTest, RowCondition) {
  const Setting s{.a = u"#"};
  ExpectLines({
      // Rows that begin with "#" run section 1; the others section 2 (two commas to Tab).
      {u"by" C "a1\\,>o_2,>t_", u"#1,2,3", u"#1|2|3", s},
      {u"by" C "a1\\,>o_2,>t_", u"x,y,z,w", u"x\ty\tz,w", s},
      // An empty section 2 passes the other rows on as they are.
      {u"by" C "a1\\,>o__", u"#a,b", u"#a|b", s},
      {u"by" C "a1\\,>o__", u"c,d", u"c,d", s},
      // No "\" in section 1: the rows that hold the condition stay as they are.
      {u"by" C "a1_,>o_", u"#a,b", u"#a,b", s},
      {u"by" C "a1_,>o_", u"a,b", u"a|b", s},
      // A third section is cut off.
      {u"by" C "a1\\,>o_2,>t_,>'_", u"x,y", u"x\ty", s},
  });
  // Without command text for the other rows the run ends there.
  EXPECT_EQ(Parse(u"by" C "a1_  _", u"x,y", s).end, RowEnd::kEndRun);
}

TEST(InterpreterTest, ScriptErrors) {
  struct Case {
    const char16_t* script;
    const char16_t* row;
  };
  const Case cases[] = {
      {u"q>o_", u"a"},     // an operand letter outside "^~abcd,sto"
      {u"2a2_>o_", u"a"},  // "_" as the second letter
      {u",?o_", u"x,y"},   // an action outside ">x!-+'", when it acts
      {u",>q_", u"x,y"},   // a mode outside "'~abcd,sto", when it acts
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.script, c.row).end, RowEnd::kScriptError) << ToUtf8(c.script);
  // An action or mode that never runs is not looked at.
  ExpectLines({{u",?o_", u"xy", u"xy"}, {u",>q_", u"xy", u"xy"}});
}

TEST(InterpreterTest, CaretAimsAtAFixedWidth) {
  ExpectLines({
      {u"5^-o_", u"abcdefgh", u"abcde|fgh"},
      // Past the end of the row the match is empty: the delimiter ends the line.
      {u"5^-o_", u"abc", u"abc|"},
      {u"0^-o_", u"abc", u"|abc"},
      // ">" on "^" writes the matched character itself.
      {u"5^>o_", u"abcdefgh", u"abcdefgh"},
      // After a command on "^" at a row's leading space, the line loses its leading
      // spaces unless spaces are kept.
      {u"5^-o_", u"  abcdefg", u"abc|defg"},
      {u"5^-o_", u"  abcdefg", u"  abc|defg", {.keepSpaces = true}},
  });
}

TEST(InterpreterTest, TildeAimsAtARunOfSpaces) {
  ExpectLines({
      {u"1~3>o_", u"Name   Value  X", u"Name|Value  X"},
      {u"1~2-o_", u"Name   Value", u"Name|Value"},
      // No such run: the end of the text without its trailing spaces.
      {u"1~3>o_", u"ab cd", u"ab cd|"},
  });
}

TEST(InterpreterTest, SpacesAtColumnEdges) {
  const Setting keep{.keepSpaces = true};
  ExpectLines({
      {u",>o_", u"a , b ,c", u"a|b|c"},
      {u",>o_", u"a , b ,c", u"a | b |c", keep},
      {u",-o_", u"a , b", u"a|, b"},
      {u",-o_", u"a , b", u"a |, b", keep},
      {u",+o_", u"a , b", u"a ,|b"},
      {u",+o_", u"a , b", u"a ,| b", keep},
      {u"s>o_", u"a  b", u"a|b"},
      {u"s>o_", u"a  b", u"a||b", keep},
      {u"s3>o_", u"a   b c", u"a|b c"},
      // Other modes keep the spaces round the match; trailing spaces of the line go.
      {u",>t_", u"a , b  ", u"a \t b"},
      {u",>t_", u"a , b  ", u"a \t b  ", keep},
  });
}

TEST(InterpreterTest, CutOfX) {
  ExpectLines({
      // An open cut drops the rest of the line.
      {u"1ax'_", u"code # comment", u"code", {.a = u"#"}},
      // The next "x" match closes it: the text from the first mark up to the second
      // goes, the second stays.
      {u"2ax'_", u"a # b # c", u"a # c", {.a = u"#"}},
      // A closing operand: "(" opens, ")" closes and is then replaced by its value; the
      // last group stays open, and with an "x" operand without a count in the command
      // an open cut is not applied at the row's end.
      {u"bx'\\2ax'_", u"k (d1) m (d2) n", u"k  m d2) n", {.a = u"(", .b = u")"}},
      {u"bx'\\1ax'_", u"a # b", u"a  b", {.a = u"#", .b = u"!"}},
  });
}

TEST(InterpreterTest, Guards) {
  // A "^" walk with "!" reaches the row's end, where its matches are empty: the fifth
  // action that makes no progress stops the run.
  EXPECT_EQ(Parse(u"3^!'_", u"abcdef").end, RowEnd::kNotAdvancing);
  // A "~" walk with "!" on a row with trailing spaces comes back to the same space
  // again and again: a row of 10 characters gets 2020 search steps, the next one stops
  // the run.
  const Outcome looped = Parse(u"1~9!'_", u"abcdef    ");
  EXPECT_EQ(looped.end, RowEnd::kScriptError);
  EXPECT_EQ(looped.steps, 2021);
  // An output beyond what any cell can take stops the row.
  EXPECT_EQ(Parse(u",>s30000_", Text(40, u',')).end, RowEnd::kTooLong);
}

TEST(InterpreterTest, MemoryLastsFromRowToRow) {
  const Program program = ReadScript(u"s3>o_");
  std::optional<RunMemory> memory = StartRun(program, Values({}));
  ASSERT_TRUE(memory);
  const RowResult r = RunRow(program, *memory, u"a   b", {});
  EXPECT_EQ(FinishLine(u"a   b", r, false), u"a|b");
  // "s" stands for three spaces from then on, also for the commands of later rows.
  EXPECT_EQ(memory->operands[kSpace].value, u"   ");
  const Program later = ReadScript(u",>s_");
  ASSERT_EQ(RunRow(later, *memory, u"x", {}).end, RowEnd::kLine);
  EXPECT_EQ(memory->operands[kSpace].value, u"");
}

TEST(InterpreterTest, ScriptCodeErrorAtTheStart) {
  EXPECT_FALSE(StartRun(ReadScript(u"by" C "z1\\,>o_"), Values({})));
  EXPECT_TRUE(StartRun(ReadScript(u"by" C "z0\\,>o_"), Values({})));
}

#undef C

}  // namespace
}  // namespace quillary::parser
