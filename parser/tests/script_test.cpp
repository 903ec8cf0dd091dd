#include "parser/script.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace quillary::parser {
namespace {

// The condition mark, Chr(31), inside literals.
#define C "\x1f"

TEST(ScriptTest, EmptyScriptTest) {
  struct Case {
    const char16_t* script;
    bool empty;
  };
  const Case cases[] = {
      {u"", true},
      {u",>o_", false},
      {u"by" C "a1_", true},        // a condition, no "\" and no second "_"
      {u"by" C "a1_x_", true},      // the second "_" one character after the first
      {u"by" C "a1_xy_", false},    // two characters: a section 2 to run
      {u"by" C "a1\\,>o_", false},  // a "\": section 1 has commands
      {u"b" C "a1_", false},        // the mark is not the third character
  };
  for (const Case& c : cases) EXPECT_EQ(IsEmptyScript(c.script), c.empty) << ToUtf8(c.script);
}

TEST(ScriptTest, CutAndCommandStart) {
  EXPECT_EQ(ReadScript(u",>o_a>o_,>'_x").script, u",>o_a>o_");
  EXPECT_EQ(ReadScript(u",>o_ a>o").script, u",>o_");
  struct Case {
    const char16_t* script;
    Start matching;
    Start other;
  };
  const Case cases[] = {
      // Without "_" the script is cut to nothing: no row has a command.
      {u",>o", Start::kEndRun, Start::kEndRun},
      {u" {\\_", Start::kEndRun, Start::kEndRun},
      // Without a condition the commands begin at the first character that is none of
      // "_", " ", "\", "{", also in section 2.
      {u"{ \\,>o_", Start::kEndRun, Start::kCommands},
      {u"_,>o_", Start::kEndRun, Start::kCommands},
      // With a condition: section 1 after its first "\" for the rows that hold it,
      // section 2 for the others.
      {u"by" C "a1\\,>o_;_", Start::kCommands, Start::kCommands},
      // An empty section 2 passes the other rows on unchanged when section 1 has a "\".
      {u"by" C "a1\\,>o__", Start::kCommands, Start::kUnchanged},
      // No "\" in section 1: the rows that hold the condition stay as they are...
      {u"by" C "a1_,>o_", Start::kUnchanged, Start::kCommands},
      // ... and with nothing in section 2 either, the other rows would end the run.
      {u"by" C "a1_  _", Start::kUnchanged, Start::kEndRun},
  };
  for (const Case& c : cases) {
    const Program p = ReadScript(c.script);
    EXPECT_EQ(p.matching.start, c.matching) << ToUtf8(c.script);
    EXPECT_EQ(p.other.start, c.other) << ToUtf8(c.script);
    EXPECT_EQ(p.HasCommands(), c.other != Start::kEndRun) << ToUtf8(c.script);
  }
}

TEST(ScriptTest, ConditionFields) {
  struct Case {
    const char16_t* script;
    const char16_t* code;
    char16_t letter;
    double count;
  };
  const Case cases[] = {
      {u"by" C "a12\\,>o_", u"by", u'a', 12},
      // A number too large to read (found by the fuzzer) counts as more than any row.
      {u"by" C "a99999999999999999999D9999\\,>o_", u"by", u'a', std::numeric_limits<double>::infinity()},
      {u"by" C "a-9D9999\\,>o_", u"by", u'a', 0},
      {u"cn" C "s2_,>o_", u"cn", u's', 2},    // the number ends at the "_" without a "\"
      {u"ey" C "b\\,>o_", u"ey", u'b', 0},    // no number: 0
      {u"by" C "t3x\\,>o_", u"by", u't', 3},  // read as a number value
      {u"by" C "a1_,\\>o_", u"by", u'a', 1},  // a "\" after the "_" does not end it
  };
  for (const Case& c : cases) {
    const Program p = ReadScript(c.script);
    EXPECT_TRUE(p.hasCondition);
    EXPECT_EQ(p.conditionCode, c.code) << ToUtf8(c.script);
    EXPECT_EQ(p.conditionLetter, c.letter) << ToUtf8(c.script);
    EXPECT_EQ(p.conditionCount, c.count) << ToUtf8(c.script);
  }
  EXPECT_FALSE(ReadScript(u"by,>o_").hasCondition);
}

TEST(ScriptTest, CommandParts) {
  struct Case {
    const char16_t* script;
    Part part;  // the first part of the first command
  };
  auto part = [](bool hasCount, std::int64_t repeat, int operand, char16_t action, char16_t mode) {
    Part p;
    p.hasCount = hasCount;
    p.repeat = repeat;
    p.operand = operand;
    p.action = action;
    p.mode = mode;
    p.arms = action != u'\'';
    return p;
  };
  auto with = [](Part p, auto change) {
    change(p);
    return p;
  };
  const Case cases[] = {
      {u"3,>o_", part(true, 3, kComma, u'>', u'o')},
      {u"a>o_", part(false, kUnlimited, kOperandA, u'>', u'o')},
      // A count of 0 means no limit on "a" to "o", and stays 0 on "^".
      {u"0a>o_", part(true, kUnlimited, kOperandA, u'>', u'o')},
      {u"0^-o_", part(true, 0, kCaret, u'-', u'o')},
      {u"12o+t_", part(true, 12, kOutDelim, u'+', u't')},
      // Space counts after "s" and "~": none or 0 give one space.
      {u"s3>o_", with(part(false, kUnlimited, kSpace, u'>', u'o'), [](Part& p) { p.operandSpaces = 3; })},
      {u"s>o_", with(part(false, kUnlimited, kSpace, u'>', u'o'), [](Part& p) { p.operandSpaces = 1; })},
      {u"s0>o_", with(part(false, kUnlimited, kSpace, u'>', u'o'), [](Part& p) { p.operandSpaces = 1; })},
      {u"1~2!'_", with(part(true, 1, kTilde, u'!', u'\''), [](Part& p) { p.operandSpaces = 2; })},
      {u"s99999999>o_",
       with(part(false, kUnlimited, kSpace, u'>', u'o'), [](Part& p) { p.operandSpaces = kMaxSpaces; })},
      // Digits after another letter are passed over.
      {u"a3>o_", part(false, kUnlimited, kOperandA, u'>', u'o')},
      // The two-letter form: every 3rd ",", the ones before it replaced by "a".
      {u"2a3,>o_", with(part(true, 2, kComma, u'>', u'o'),
                        [](Part& p) {
                          p.occurrence = 3;
                          p.pair = kOperandA;
                        })},
      {u"a2s>o_", with(part(false, kUnlimited, kSpace, u'>', u'o'),
                       [](Part& p) {
                         p.occurrence = 2;
                         p.pair = kOperandA;
                         p.operandSpaces = 1;
                       })},
      // A mode "s" with digits sets "s"; none or 0 make it empty.
      {u",>s2_", with(part(false, kUnlimited, kComma, u'>', u's'), [](Part& p) { p.modeSpaces = 2; })},
      {u",>s_", with(part(false, kUnlimited, kComma, u'>', u's'), [](Part& p) { p.modeSpaces = 0; })},
      // ">" into its own letter without a count does nothing; with a count it acts.
      {u"a>a_", part(false, kUnlimited, kOperandA, u'\'', u'a')},
      {u"1a>a_", part(true, 1, kOperandA, u'>', u'a')},
      // "'" takes no part.
      {u",'o_", part(false, kUnlimited, kComma, u'\'', u'o')},
      // The script ends with the part: "_" as the action, no mode.
      {u"a_", part(false, kUnlimited, kOperandA, u'_', 0)},
  };
  for (const Case& c : cases) {
    const Program p = ReadScript(c.script);
    ASSERT_EQ(p.other.start, Start::kCommands) << ToUtf8(c.script);
    ASSERT_FALSE(p.other.commands.empty());
    const Command& command = p.other.commands[0];
    ASSERT_FALSE(command.parts.empty()) << ToUtf8(c.script);
    const Part& got = command.parts[0];
    const Part& want = c.part;
    const std::string s = ToUtf8(c.script);
    EXPECT_EQ(got.hasCount, want.hasCount) << s;
    EXPECT_EQ(got.repeat, want.repeat) << s;
    EXPECT_EQ(got.operand, want.operand) << s;
    EXPECT_EQ(got.occurrence, want.occurrence) << s;
    if (want.occurrence > 1) {
      EXPECT_EQ(got.pair, want.pair) << s;
    }
    EXPECT_EQ(got.operandSpaces, want.operandSpaces) << s;
    EXPECT_EQ(got.action, want.action) << s;
    EXPECT_EQ(got.mode, want.mode) << s;
    EXPECT_EQ(got.modeSpaces, want.modeSpaces) << s;
    EXPECT_EQ(got.arms, want.arms) << s;
  }
}

// The commands as the operands of their parts, with "!" after an unreadable one.
std::vector<std::string> Shape(const Section& section) {
  std::vector<std::string> shape;
  for (const Command& c : section.commands) {
    std::string s;
    for (const Part& p : c.parts) s += static_cast<char>(kCommandLetters[p.operand]);
    if (c.unreadable) s += '!';
    shape.push_back(s);
  }
  return shape;
}

TEST(ScriptTest, PartsGatherIntoCommands) {
  struct Case {
    const char16_t* script;
    std::vector<std::string> commands;
  };
  const Case cases[] = {
      // Parts without a count gather up to the one with a count or the "_".
      {u"a>'\\,>o\\2b>o\\c>o_", {"a,b", "c"}},
      {u"2a>o\\,>o_", {"a", ","}},
      {u"a>o\\b>o_", {"ab"}},
      // The next command begins after a "\" that comes before the "_".
      {u"2a>o \\,>o_", {"a", ","}},
      {u"2a>o_\\,>o_", {"a"}},
      // The character after a part is passed over whatever it is.
      {u"a>o b>o_", {"ab"}},
      // Reading stops at a letter without an index; the parts read before stay.
      {u"q>o_", {"!"}},
      {u"2,>o\\q>o_", {",", "!"}},
      {u"a>o\\q>o_", {"a!"}},
      {u"2a2_>o_", {"!"}},  // "_" as the second letter has no index
      {u",>o b", {}},       // cut to nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shape(ReadScript(c.script).other), c.commands) << ToUtf8(c.script);
  }
}

TEST(ScriptTest, ConditionText) {
  OperandValues values;
  values[kOperandA] = u"#";
  values[kOperandB] = u"ab";
  values[kSpace] = u" ";
  struct Case {
    const char16_t* script;
    std::optional<Text> text;
  };
  const Case cases[] = {
      {u"by" C "a1\\,>o_", u"#"},         {u"by" C "b3\\,>o_", u"ababab"}, {u"cn" C "s2\\,>o_", u"  "},
      {u"by" C "'5\\,>o_", u""},           // "'" is the empty text
      {u"by" C "~2\\,>o_", u""},           // "~" has no value before a command gives one
      {u"by" C "z0\\,>o_", u""},           // N = 0: the letter is never looked up
      {u"by" C "z1\\,>o_", std::nullopt},  // "Script code error."
      {u"by" C "a0.5\\,>o_", u""},        {u"by" C "a2.9\\,>o_", u"##"},   {u",>o_", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ConditionText(ReadScript(c.script), values), c.text) << ToUtf8(c.script);
  // A huge N stops where no row can hold the text any more.
  for (const char16_t* script : {u"by" C "a99999999999\\,>o_", u"by" C "a9D999\\,>o_"}) {
    const auto huge = ConditionText(ReadScript(script), values);
    ASSERT_TRUE(huge);
    EXPECT_GT(huge->size(), 32767u);
    EXPECT_LE(huge->size(), 32769u);
  }
}

TEST(ScriptTest, ConditionHolds) {
  struct Case {
    const char16_t* code;
    const char16_t* text;
    const char16_t* row;
    bool ignoreCase;
    bool holds;
  };
  const Case cases[] = {
      {u"by", u"  ", u"  ab", false, true},
      {u"by", u"  ", u" ab", false, false},
      {u"bn", u"  ", u" ab", false, true},
      {u"cy", u"  ", u"a  b", false, true},
      {u"cn", u"  ", u"a b", false, true},
      {u"cn", u"  ", u"a  b", false, false},
      // "ey" tests the position Len(row) - Len(text), not one further.
      {u"ey", u"ab", u"xab", false, false},   // P = 2, test value 1
      {u"ey", u"ab", u"abab", false, false},  // P = 1, test value 2
      {u"ey", u"ab", u"xaby", false, true},   // P = 2, test value 2
      {u"en", u"ab", u"xab", false, true},
      {u"ey", u"ab", u"xy", false, true},  // not found (0) on a row as long as the text
      // The compare mode of the request.
      {u"by", u"AB", u"abc", true, true},
      {u"by", u"AB", u"abc", false, false},
      // Unknown codes and an empty text never hold.
      {u"zz", u"a", u"abc", false, false},
      {u"by", u"", u"abc", false, false},
  };
  for (const Case& c : cases) {
    Program p;
    p.hasCondition = true;
    p.conditionCode = c.code;
    EXPECT_EQ(ConditionHolds(p, c.text, c.row, c.ignoreCase), c.holds)
        << ToUtf8(c.code) << " '" << ToUtf8(c.text) << "' in '" << ToUtf8(c.row) << "'";
  }
}

#undef C

}  // namespace
}  // namespace quillary::parser
