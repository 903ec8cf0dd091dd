#include "cli/script.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/session.h"
#include "host/controls.h"
#include "workbook/failure.h"
#include "workbook/words.h"

namespace quillary::cli {
namespace {

using Words = std::vector<std::string>;

TEST(Words, QuotingAndComments) {
  struct Case {
    std::string_view line;
    Words expected;
  };
  const Case cases[] = {
      {"cell A1 5", {"cell", "A1", "5"}},
      {"  cell\tA1   5  ", {"cell", "A1", "5"}},
      {"cell A1 \"two words\"", {"cell", "A1", "two words"}},
      {"cell A1 \"say \"\"hi\"\"\"", {"cell", "A1", "say \"hi\""}},
      {"cell A1 \"\"", {"cell", "A1", ""}},
      {"cell A1 x # a comment", {"cell", "A1", "x"}},
      {"# only a comment", {}},
      {"cell A1 a#b", {"cell", "A1", "a#b"}},
      {"cell A1 \"#1\"", {"cell", "A1", "#1"}},
      {"set A.B.Caption pre\"fix and\"post", {"set", "A.B.Caption", "prefix andpost"}},
      {"line\r", {"line"}},
  };
  for (const Case& c : cases) EXPECT_EQ(workbook::SplitWords(c.line), c.expected) << c.line;
}

TEST(Words, QuoteWordReadsBack) {
  for (const std::string word : {"plain", "two words", "", "#hash", "a\"b", "tab\there", "'quote"}) {
    EXPECT_EQ(workbook::SplitWords(workbook::QuoteWord(word)), Words{word}) << word;
  }
}

std::string ParseError(std::string_view script, const Words& args = {}) {
  try {
    ParseScript(script, args);
  } catch (const workbook::Failure& f) {
    return f.what();
  }
  return "(no error)";
}

TEST(ScriptParse, ReportsTheFirstFaultWithItsLine) {
  struct Case {
    std::string_view script;
    std::string expected;
  };
  const Case cases[] = {
      {"new\nselct A1\n", "line 2: unknown command 'selct'"},
      {"load\n", "line 1: usage: load PATH..."},
      {"new\n\n# comment\ncell A1\n", "line 4: usage: cell RANGE VALUE"},
      {"new small large\n", "line 1: usage: new [small]"},
      {"print\n",
       "line 1: 'print': print takes one of: window, status, cells, sheets, names, count, messages, control"},
      {"print foo\n", "line 1: 'print foo' is unknown"},
      {"answer maybe Yes\n", "line 1: 'answer maybe' is unknown"},
      {"cell A1 \"open\n", "line 1: a quoted word is not closed"},
      {"save ${2}\n", "line 1: the script has no argument ${2}"},
      {"save ${x}\n", "line 1: expected ${N} or ${N:-default}"},
  };
  for (const Case& c : cases) {
    const std::string error = ParseError(c.script, {"one"});
    EXPECT_EQ(error.substr(0, c.expected.size()), c.expected) << c.script;
  }
}

TEST(ScriptParse, CommandsKeepTheirLinesAndArguments) {
  const auto commands = ParseScript("# heading\nload \"my book\"\n\nprint cells A1:B2 # trailing\n", {});
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].line, 2);
  EXPECT_EQ(commands[0].words, (Words{"load", "my book"}));
  EXPECT_EQ(commands[1].line, 4);
  EXPECT_EQ(commands[1].words, (Words{"print", "cells", "A1:B2"}));
}

TEST(ScriptParse, TheExpectedResultsOfAScenarioEndTheScript) {
  const auto commands =
      ParseScript("new\n#### heading comment\nprint sheets\n#### expected output\nnot a command\n", {});
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].words, (Words{"print", "sheets"}));
}

TEST(ScriptParse, SubstitutesArguments) {
  struct Case {
    std::string_view word;
    Words args;
    std::string expected;
  };
  const Case cases[] = {
      {"${1}", {"x"}, "x"},
      {"${1:-out}", {}, "out"},
      {"${1:-out}", {"given"}, "given"},
      {"${2:-}", {"a"}, ""},
      {"${1}/${2}.csv", {"a", "b"}, "a/b.csv"},
      {"$1", {"x"}, "$1"},
      {"$A$1:$B$2", {"x"}, "$A$1:$B$2"},
      {"\"${1} with blank\"", {"arg"}, "arg with blank"},
  };
  for (const Case& c : cases) {
    const auto commands = ParseScript("save " + std::string(c.word), c.args);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].words.at(1), c.expected) << c.word;
  }
}

// What the component formats, print formats shows: only what differs from a new cell.
TEST(ScriptRun, PrintFormatsNamesWhatDiffersFromANewCell) {
  std::ostringstream out, err;
  Session session(err);
  session.New(xl::memory::GridSize::Small);
  xl::Worksheet& sheet = session.Book().ActiveSheet();
  sheet.Range(u"A1").SetNumberFormat(u"0.00");
  sheet.Range(u"A1").Font().SetBold(true);
  sheet.Range(u"A1").Font().SetColorIndex(3);
  sheet.Range(u"B2").Interior().SetColor(0x00FFFF);
  sheet.Range(u"B2").Interior().SetPattern(xl::xlSolid);
  sheet.Range(u"B2").SetHorizontalAlignment(xl::xlCenter);
  sheet.Range(u"B2").SetVerticalAlignment(xl::xlTop);
  sheet.Range(u"B2").SetWrapText(true);
  sheet.Range(u"B2").SetLocked(false);
  sheet.Range(u"B2").Borders(xl::xlEdgeBottom).SetLineStyle(xl::xlContinuous);
  sheet.Range(u"B2").Borders(xl::xlEdgeBottom).SetWeight(xl::xlThick);
  sheet.Range(u"C3").Font().SetUnderline(xl::xlUnderlineStyleSingle);
  const auto commands = ParseScript("print formats A1:C3\nprint formats D:D\n", {});
  EXPECT_EQ(RunScript(commands, session, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "A1\tformat=0.00 bold font-color=3\n"
            "B2\tinterior=&HFFFF pattern=solid align=center valign=top wrap unlocked border-bottom=thick\n"
            "C3\tunderline\n");
}

// Texts with line breaks go into cells with the escapes of set; links and widths show.
TEST(ScriptRun, TextCellsHyperlinksAndWidths) {
  std::ostringstream out, err;
  Session session(err);
  session.New(xl::memory::GridSize::Small);
  xl::Worksheet& sheet = session.Book().ActiveSheet();
  sheet.AddHyperlink(sheet.Range(u"B2"), u"http://x.invalid/");
  sheet.AddHyperlink(sheet.Range(u"C5"), u"", u"Sheet1!A1");
  sheet.Range(u"B1").SetColumnWidth(20);
  const auto commands = ParseScript(
      "cell text A1:A2 \"12\\r\\nx\"\nprint cells A1:A2\nprint hyperlinks A:C\nprint widths A1:B1,D1\n", {});
  EXPECT_EQ(RunScript(commands, session, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "12\\r\\nx\n12\\r\\nx\n"
            "B2\thttp://x.invalid/\t\n"
            "C5\t\tSheet1!A1\n"
            "A\t8.43\nB\t20\nD\t8.43\n");
}

// The window is written out in pieces: a pair of surrogates across the place where one
// piece would end stays one character, and nothing is lost or doubled at the seams.
TEST(ScriptRun, PrintWindowKeepsSurrogatePairsAcrossPieces) {
  const Text pair = u"\U0001F600";
  for (const std::size_t before : {std::size_t{65535}, std::size_t{65534}, std::size_t{131071}}) {
    std::ostringstream out, err;
    Session session(err);
    session.New(xl::memory::GridSize::Small);
    const Text text = Text(before, u'a') + pair + u"z\u00E9";
    session.Control(host::ctl::main::kTextbox1).SetText(text);
    EXPECT_EQ(RunScript(ParseScript("print window\n", {}), session, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), ToUtf8(text) + "\n") << before;
  }
}

}  // namespace
}  // namespace quillary::cli
