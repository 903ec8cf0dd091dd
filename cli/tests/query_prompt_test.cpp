// The Query form at the terminal, opened by Get/Try's fault locator in an interactive
// session.
#include "cli/query_prompt.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/session.h"

namespace quillary::cli {
namespace {

struct Run {
  std::string err;
  Session* session;
};

// Presses Get/Try on A1:A4 (a name with a blank in it twice: the fault locator opens on
// A2) and types `input` at the terminal.
class QueryAtTerminal : public ::testing::Test {
 protected:
  void Press(const std::string& input) {
    in.str(input);
    session.New(xl::memory::GridSize::Small);
    xl::Worksheet& sheet = session.Book().ActiveSheet();
    const char16_t* cells[] = {u"R1", u"Resistor 10k", u"C1", u"Resistor 10k"};
    for (long r = 1; r <= 4; ++r) sheet.Cells(r, 1).SetValue(cells[r - 1]);
    sheet.Range(u"A1:A4").Select();
    session.Call(u"GetSubtractSortCnt", u"Null");
  }
  Text Cell(long row) { return session.Book().ActiveSheet().Cells(row, 1).Value().AsText(); }
  bool Has(std::string_view part) const { return err.str().find(part) != std::string::npos; }

  std::istringstream in;
  std::ostringstream err;
  Session session{err, {.answers = {.ask = &in}}};
};

TEST_F(QueryAtTerminal, ShowsTheFormAndPressesItsButtonsByName) {
  // Go on to the next cell, bookmark it and take the bookmark out again, replace the
  // Item there and undo it; words the form has no button for are answered, not sent.
  Press("n\nb\nx\nr R9\nundo\nu\nd\nfoo\nc\n");
  EXPECT_EQ(Cell(2), u"Resistor 10k");
  EXPECT_EQ(Cell(4), u"Resistor 10k");
  EXPECT_FALSE(session.Book().ActiveSheet().Cells(4, 1).Comment().has_value());
  for (std::string_view line : {
           "quillary: Query form: Quillary FAULT LOCATOR\n  Space found in Item Name\n",
           "  cell $A$2: Resistor 10k\n  buttons: Next, Replace, Close\nquery> ",
           // after Next and Bookmark
           "  cell $A$4: Resistor 10k\n  comment: Space found in Item Name\"Resistor 10k\"\n",
           // after Replace with R9
           "  Replace with: R9\n  cell $A$4: R9\n  comment: repl'd: \"Resistor 10k\" \"R9\"\n  buttons: Next, Undo, "
           "Close\n",
           "quillary: the button says Replace\n",
           "quillary: the form has no Different name button now\n",
           "quillary: no such button 'foo'; the commands are:\n",
       }) {
    EXPECT_TRUE(Has(line)) << line << "\n---\n" << err.str();
  }
}

TEST_F(QueryAtTerminal, TheEndOfTheInputClosesTheForm) {
  Press("r R9\n");
  EXPECT_EQ(Cell(2), u"R9");
  EXPECT_TRUE(Has("quillary: the input ended: the Query form is closed\n")) << err.str();
}

TEST_F(QueryAtTerminal, QueuedEventsGoInInsteadOfThePrompt) {
  session.QueueQueryEvents({u"NextButton_Click"});
  Press("c\n");
  EXPECT_FALSE(Has("query> ")) << err.str();
  EXPECT_TRUE(Has("quillary: Query event NextButton_Click\n")) << err.str();
}

}  // namespace
}  // namespace quillary::cli
