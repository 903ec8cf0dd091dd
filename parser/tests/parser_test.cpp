#include "parser/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "parser/messages.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::parser {
namespace {

namespace ctl = host::ctl;

// The condition mark, Chr(31), inside literals.
#define C "\x1f"

constexpr char16_t kResult[] = u"Sheet1-TxtToCol1";

// A desk for parser runs: rows typed into a sheet, the parse form and the mail box set
// as the host sets them before it sends "Parser".
class ParserTest : public ::testing::Test {
 protected:
  ParserTest() { Control(ctl::mail::kOnScreenX).SetEnabled(true); }

  forms::Control& Control(const host::ControlId& id) { return b.Control(id); }
  xl::Worksheet& Sheet(TextView name = u"Sheet1") { return b.book->Worksheets().Item(name); }

  // Types the rows into column A of `sheet` from `first` on and selects them (the sheet
  // becomes the active one, as the user goes back to it after a result).
  void Rows(std::initializer_list<const char16_t*> rows, TextView sheet = u"Sheet1", long first = 1) {
    long row = first;
    for (const char16_t* r : rows) Sheet(sheet).Cells(row++, 1).SetValue(Text(r));
    const Text address = u"$A$" + vba::IntegerText(first) + u":$A$" + vba::IntegerText(row - 1);
    Control(ctl::mail::kMessage).SetCaption(address);
    if (sheet == host::kHiddenWorkSht) return;
    Sheet(sheet).Activate();
    Sheet(sheet).Range(address).Select();
  }

  // One "Parser" request with the script and the target choice.
  void Run(TextView script, TextView target = u"") {
    Control(ctl::parse::kScript).SetValue(Text(script));
    Control(ctl::mail::kResultSheet).SetCaption(target);
    b.BeginRequest(u"Null");
    Parser(b.state);
  }

  // The answers to the finishing questions of a result sheet.
  void AnswerFinishing(int pageSetup = host::msgbox::kAnswerNo) {
    b.addin.QueueMessageAnswer(pageSetup);
    b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);  // the report view: as it is
  }

  // A sheet's cells as text, row by row, each row's cells joined by "/", for `rows`
  // rows and `cols` columns from A1.
  std::vector<std::string> Grid(TextView sheet, long rows, long cols) {
    std::vector<std::string> grid;
    for (long r = 1; r <= rows; ++r) {
      std::string line;
      for (long c = 1; c <= cols; ++c) {
        if (c > 1) line += "/";
        line += ToUtf8(vba::CStr(Sheet(sheet).Cells(r, c).Value()));
      }
      grid.push_back(line);
    }
    return grid;
  }

  std::vector<Text> Prompts() {
    std::vector<Text> prompts;
    for (const auto& m : b.addin.Messages()) prompts.push_back(m.prompt);
    return prompts;
  }
  bool Said(TextView part) {
    for (const auto& m : b.addin.Messages()) {
      if (m.prompt.find(part) != Text::npos) return true;
    }
    return false;
  }
  // The sheets of the workbook besides the working sheet.
  long SheetCount() {
    const long count = b.book->Worksheets().Count();
    return host::FindHiddenWorkSht(*b.book) != nullptr ? count - 1 : count;
  }

  testkit::Bench b;
};

TEST_F(ParserTest, NewSheetSplitIntoTextColumnsAndFinished) {
  Rows({u"a,b,c", u"d,007", u"f"});
  AnswerFinishing();
  Run(u",>o_");
  // The lines were split at "," (no option ticked) on a new sheet, every column as text;
  // the finishing numbered each line by its row in an inserted first column. No line is
  // a heading: nothing is frozen or filtered.
  EXPECT_EQ(Grid(kResult, 4, 4), (std::vector<std::string>{"1/a/b/c", "2/d/007/", "3/f//", "///"}));
  EXPECT_TRUE(Sheet(kResult).Cells(2, 3).Value().IsText()) << "a leading zero stays text";
  EXPECT_FALSE(Sheet(kResult).AutoFilterArea().has_value());
  for (long w = 1; w <= b.book->Windows().Count(); ++w) EXPECT_FALSE(b.book->Windows().Item(w).FreezePanes());
  // The remembered delimiters were reset after the split: the comma is not left for the
  // user's next paste, and Tab is as TabSplitPaste says.
  const xl::TextToColumnsSettings left = b.app->RememberedTextToColumns();
  EXPECT_FALSE(left.Comma || left.Other || left.Tab || left.Semicolon || left.Space);
  EXPECT_EQ(left.TextQualifier, xl::xlTextQualifierNone);
  EXPECT_FALSE(b.state.drivers.TabSplitPaste);
  // Two questions: the page set-up (No: the sheet keeps its own) and the report view.
  const std::vector<Text> prompts = Prompts();
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[0], host::Paragraphs({u"[Report Page Setup?](  ): Apply Quillary's default Printer Page_Setup?",
                                          Text(msg::kPageSetup3) + u"\r" + msg::kPageSetup4}));
  EXPECT_EQ(b.addin.Messages()[0].style, host::msgbox::kYesNo);
  EXPECT_EQ(Sheet(kResult).GetPageSetup().PrintArea, u"");
  EXPECT_EQ(prompts[1].rfind(u"[Report View?]", 0), 0u);
  EXPECT_EQ(Control(ctl::mail::kResultSheet).Caption(), u"") << "the finishing empties it";
  EXPECT_TRUE(Control(ctl::mail::kOnScreenX).Enabled());
  EXPECT_EQ(Control(ctl::parse::kBolded).Caption(), u"X");
}

TEST_F(ParserTest, LinesWithoutDelimitersStayOneTextColumn) {
  Rows({u"'007", u"'12345678901234567890"});
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(Grid(kResult, 2, 3), (std::vector<std::string>{"1/007/", "2/12345678901234567890/"}));
  EXPECT_TRUE(Sheet(kResult).Cells(1, 2).Value().IsText());
  EXPECT_TRUE(Sheet(kResult).Cells(2, 2).Value().IsText());
}

TEST_F(ParserTest, OutputDelimiterOptions) {
  struct Case {
    bool bar, semicolon, tab;
    const char16_t* line;
  };
  const Case cases[] = {
      {false, false, false, u"a,b"},
      {true, false, true, u"a|b"},
      {false, true, true, u"a;b"},
      {false, false, true, u"a\tb"},
  };
  host::InitPlace(b.state, host::kList1);
  for (const Case& c : cases) {
    Rows({u"a b"}, host::kHiddenWorkSht, 5);
    Control(ctl::parse::kBarOption).SetValue(c.bar);
    Control(ctl::parse::kSemicolonOption).SetValue(c.semicolon);
    Control(ctl::parse::kTabOption).SetValue(c.tab);
    Run(u"s>o_", host::kHiddenWorkSht);
    EXPECT_EQ(Sheet(host::kHiddenWorkSht).Cells(1, 1).Value(), Variant(Text(c.line)));
  }
  // The split takes "|" as its other character.
  Rows({u"a b"});
  Control(ctl::parse::kBarOption).SetValue(true);
  AnswerFinishing();
  Run(u"s>o_");
  EXPECT_EQ(Grid(kResult, 1, 3), (std::vector<std::string>{"1/a/b"}));
}

TEST_F(ParserTest, PreviewWritesTheWorkingSheetAndAsksNothing) {
  host::InitPlace(b.state, host::kList1);
  xl::Worksheet& work = Sheet(host::kHiddenWorkSht);
  work.Cells(3, 1).SetValue(u"old");
  Rows({u"  a , b  ", u"c,d", u"  "}, host::kHiddenWorkSht, 10);
  Control(ctl::parse::kHideSpaces).SetValue(false);
  Run(u",>o_", host::kHiddenWorkSht);
  // HideSpcs clear: the spaces stay, and the lines replace what column A held.
  EXPECT_EQ(Grid(host::kHiddenWorkSht, 3, 1), (std::vector<std::string>{"  a , b  ", "c,d", "  "}));
  // HideSpcs ticked: spaces at column edges and line ends go; an empty line clears its
  // cell.
  Control(ctl::parse::kHideSpaces).SetValue(true);
  Run(u",>o_", host::kHiddenWorkSht);
  EXPECT_EQ(Grid(host::kHiddenWorkSht, 3, 1), (std::vector<std::string>{"  a,b", "c,d", ""}));
  EXPECT_TRUE(work.Cells(3, 1).Value().IsEmpty());
  // Nothing asked, no break-key poll, no sheet added, the Bolded caption untouched.
  EXPECT_TRUE(b.addin.Messages().empty());
  EXPECT_TRUE(b.addin.CallsOf(u"vbaBreakKey").empty());
  EXPECT_EQ(Control(ctl::parse::kBolded).Caption(), u"");
  EXPECT_EQ(SheetCount(), 1);
}

TEST_F(ParserTest, OverwriteReplacesEachSourceCell) {
  Rows({u"  a,b ", u"12,5", u"=\"x,y\"", u"c"}, u"Sheet1", 4);
  Run(u",>o_", u"Sheet1");
  // Spaces kept, a number comes back as text, a formula cell is left alone.
  EXPECT_EQ(Grid(u"Sheet1", 7, 2), (std::vector<std::string>{"/", "/", "/", "  a,b /", "12,5/", "x,y/", "c/"}));
  EXPECT_TRUE(Sheet().Cells(5, 1).Value().IsText());
  EXPECT_TRUE(Sheet().Cells(6, 1).HasFormula());
  // Nothing split, nothing asked, no sheet added.
  EXPECT_TRUE(b.addin.Messages().empty());
  EXPECT_EQ(SheetCount(), 1);
  EXPECT_EQ(Control(ctl::parse::kBolded).Caption(), u"X");
}

TEST_F(ParserTest, ExistingTargetSheet) {
  b.book->Worksheets().Add({.After = &Sheet()}).SetName(u"Out");
  xl::Worksheet& full = b.book->Worksheets().Add({.After = &Sheet(u"Out")});
  full.SetName(u"Full");
  full.Cells(5, 6).SetValue(u"keep,me");
  full.Cells(9, 1).SetValue(u"x,y");
  Sheet().Activate();
  Rows({u"a,b", u"c,d"});
  // An empty sheet is written without a question.
  AnswerFinishing();
  Run(u",>o_", u"Out");
  EXPECT_EQ(Grid(u"Out", 2, 3), (std::vector<std::string>{"1/a/b", "2/c/d"}));
  EXPECT_EQ(b.addin.Messages().size(), 2u);

  // One that holds data is asked for; No leaves it as it is.
  b.addin.ClearLog();
  Sheet().Activate();
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerNo);
  Run(u",>o_", u"Full");
  ASSERT_EQ(b.addin.Messages().size(), 1u);
  EXPECT_EQ(b.addin.Messages()[0].prompt, host::Paragraphs({u"( Null ): The worksheet Full already holds data.",
                                                            msg::kSheetInUse3, msg::kSheetInUse4}));
  EXPECT_EQ(b.addin.Messages()[0].style, host::msgbox::kYesNo + host::msgbox::kDefaultButton2);
  EXPECT_TRUE(full.Cells(1, 1).Value().IsEmpty());

  // Yes: the lines go into column A from row 1, and only the rows written are split.
  Sheet().Activate();
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  AnswerFinishing();
  Run(u",>o_", u"Full");
  EXPECT_EQ(Grid(u"Full", 2, 3), (std::vector<std::string>{"1/a/b", "2/c/d"}));
  EXPECT_EQ(full.Cells(9, 2).Value(), Variant(u"x,y")) << "below the lines written: not split";
  EXPECT_EQ(full.Cells(5, 7).Value(), Variant(u"keep,me"));
}

TEST_F(ParserTest, ScriptsWithoutCommands) {
  Rows({u"a,b"});
  const Text message =
      host::Paragraphs({u"( Null ): No Parsing Commands have been defined.", msg::kNoCommands2, msg::kNoCommands3});
  for (const char16_t* script : {u"", u"by" C "a1_", u"by" C "a1_x_", u",>o", u" _", u"by" C "a1_  _"}) {
    b.addin.ClearLog();
    b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    Run(script);
    EXPECT_EQ(Prompts(), std::vector<Text>{message}) << ToUtf8(script);
    EXPECT_EQ(SheetCount(), 1) << "no sheet made for " << ToUtf8(script);
  }
  EXPECT_EQ(b.app->RememberedTextToColumns(), xl::TextToColumnsSettings{}) << "the remembered delimiters are untouched";
  EXPECT_TRUE(Control(ctl::mail::kOnScreenX).Enabled());
}

TEST_F(ParserTest, ScriptCodeErrorBeforeAnySheet) {
  Rows({u"#a,b"});
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u"by" C "z1\\,>o_");
  EXPECT_EQ(Prompts(), std::vector<Text>{host::Paragraphs({msg::kScriptCode, msg::kScriptCode2})});
  EXPECT_EQ(SheetCount(), 1);
}

TEST_F(ParserTest, ErrorWhileRunningKeepsTheLinesWritten) {
  Rows({u"a,b", u"", u"c,d"});
  Sheet().Cells(2, 1).SetValue(Variant(CellError::NA));
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Control(ctl::mail::kOnScreenX).SetEnabled(false);
  Run(u",>o_");
  EXPECT_EQ(Prompts(), std::vector<Text>{host::Paragraphs({msg::kRunError, msg::kRunError2})});
  EXPECT_EQ(b.addin.Messages()[0].style, host::msgbox::kOk);
  // The cell that could not be read is the active cell; the line before it stays,
  // unsplit.
  EXPECT_EQ(Sheet().ActiveCellPos(), (xl::CellPos{2, 1}));
  EXPECT_EQ(Grid(kResult, 2, 2), (std::vector<std::string>{"a,b/", "/"}));
  EXPECT_FALSE(Control(ctl::mail::kOnScreenX).Enabled()) << "the wish as it was";
}

TEST_F(ParserTest, ColumnLimitOfTheSheet) {
  xl::Workbook& small = b.app->AddWorkbook(xl::memory::GridSize::Small);
  b.book = &small;
  // 254 delimiters fit a sheet of 256 columns (with the numbering column); the split
  // is warned about and goes on.
  const Text fits = Text(254, u',');
  const Text over = Text(255, u',');
  Rows({u"a", fits.c_str()});
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);  // the warning: only informs
  AnswerFinishing();
  Run(u",>o_");
  ASSERT_EQ(b.addin.Messages().size(), 3u);
  EXPECT_EQ(b.addin.Messages()[0].prompt,
            host::Paragraphs({u"( Null ): There are 0 more Output Delimiter characters within one row than there are "
                              u"worksheet columns available.",
                              msg::kColumnWarning3,
                              u"Please change your ConvertText commands so that the amount of Output Delimiters "
                              u"within a single row do not exceed the column count - 2 (254)."}));
  EXPECT_EQ(b.addin.Messages()[0].style, host::msgbox::kOkCancel);

  // 255 end the run at that row: it is not written, the one before stays unsplit.
  b.addin.ClearLog();
  Rows({u"x,y", over.c_str(), u"z"});
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u",>o_");
  EXPECT_EQ(Prompts(), std::vector<Text>{host::Paragraphs({msg::kTooManyColumns, msg::kTooManyColumns2})});
  EXPECT_EQ(Grid(u"Sheet1-TxtToCol2", 3, 2), (std::vector<std::string>{"x,y/", "/", "/"}));
}

TEST_F(ParserTest, BoldedLinesIndentedOnceAsked) {
  Rows({u"Head", u"a,b", u""});
  Sheet().Cells(1, 1).Font().SetBold(true);
  Sheet().Cells(3, 1).Font().SetBold(true);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(
      b.addin.Messages()[0].prompt,
      host::Paragraphs({u"( Null ): Bolded cells have been found within the selection.", msg::kBold2, msg::kBold3}));
  EXPECT_EQ(b.addin.Messages()[0].style, host::msgbox::kYesNo);
  // The bolded line moves one column right; the bolded empty line stays empty.
  EXPECT_EQ(Grid(kResult, 3, 3), (std::vector<std::string>{"1//Head", "2/a/b", "3//"}));
  EXPECT_EQ(Control(ctl::parse::kBolded).Caption(), u"X");

  // Not asked again while Bolded shows "X", and then not indented.
  b.addin.ClearLog();
  Sheet().Activate();
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(b.addin.Messages().size(), 2u);
  EXPECT_EQ(Grid(u"Sheet1-TxtToCol2", 1, 2), (std::vector<std::string>{"1/Head"}));
}

TEST_F(ParserTest, MergedFirstCellPassesOverTheRowsItCovers) {
  Rows({u"m,1", u"", u"", u"r4,4", u"r5,5", u"r6,6"});
  Sheet().Range(u"A1:A3").Merge();
  Control(ctl::mail::kMessage).SetCaption(u"$A$1:$A$6");
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(Grid(kResult, 5, 3), (std::vector<std::string>{"1/m/1", "2/r4/4", "3/r5/5", "4/r6/6", "//"}));
}

TEST_F(ParserTest, NotAdvancingNamesTheRowWhenOverwriting) {
  Rows({u"abcdef", u"ghijkl"}, u"Sheet1", 5);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u"3^!'_", u"Sheet1");
  Text expected = msg::kNotAdvancing;
  expected += u"\r\rYou requested that the original source be overwritten. This process stopped at worksheet row# 5";
  expected += msg::kNotAdvancingRow2;
  expected += u"\r\r";
  expected += msg::kNotAdvancingPreview;
  expected += u"\r\r";
  expected += msg::kNotAdvancingLast;
  EXPECT_EQ(Prompts(), std::vector<Text>{expected});
  EXPECT_EQ(Sheet().Cells(5, 1).Value(), Variant(u"abcdef")) << "the row in hand is not written";

  // On a new sheet the message has no row.
  b.addin.ClearLog();
  Sheet().Activate();
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u"3^!'_");
  ASSERT_EQ(b.addin.Messages().size(), 1u);
  EXPECT_EQ(Prompts()[0].find(u"row#"), Text::npos);
}

TEST_F(ParserTest, BreakKeyEndsTheRun) {
  for (long r = 1; r <= 40; ++r) Sheet().Cells(r, 1).SetValue(u"a,b");
  Control(ctl::mail::kMessage).SetCaption(u"$A$1:$A$40");
  // Polled when the bar moves: at the first row and after every second one.
  b.addin.QueueBreakAnswer(u"NoBreak");
  b.addin.QueueBreakAnswer(u"6");
  Run(u",>o_");
  EXPECT_EQ(b.addin.CallsOf(u"vbaBreakKey").size(), 2u);
  EXPECT_EQ(Grid(kResult, 3, 2), (std::vector<std::string>{"a,b/", "a,b/", "/"})) << "two rows, unsplit";
  EXPECT_TRUE(b.addin.Messages().empty());
  EXPECT_TRUE(Control(ctl::mail::kOnScreenX).Enabled());
}

TEST_F(ParserTest, FailedSplitIsReportedAndNotFinished) {
  Rows({u"a,b"});
  // The split is the second TextToColumns: the reset of the remembered delimiters runs first.
  b.app->InjectFailure("Range.TextToColumns", 1004, "TextToColumns method of Range class failed", 1);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u",>o_");
  EXPECT_EQ(Prompts(), std::vector<Text>{host::Paragraphs(
                           {u"( Null ): The output lines could not be split into columns.",
                            u"The split stopped with: TextToColumns method of Range class failed",
                            u"The output lines stay unsplit in the first column of the worksheet Sheet1-TxtToCol1."})});
  EXPECT_EQ(Grid(kResult, 1, 2), (std::vector<std::string>{"a,b/"}));
  EXPECT_EQ(b.app->Windows().Count(), 1) << "no result window";
  EXPECT_EQ(Control(ctl::mail::kResultSheet).Caption(), u"");
  const xl::TextToColumnsSettings left = b.app->RememberedTextToColumns();
  EXPECT_TRUE(!left.Tab && left.TextQualifier == xl::xlTextQualifierNone)
      << "the remembered delimiters are reset all the same";
  EXPECT_TRUE(Control(ctl::mail::kOnScreenX).Enabled());
}

TEST_F(ParserTest, LineTooLongForACellLeavesTheSource) {
  Rows({u"x", u"a,b,c"}, u"Sheet1", 2);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  Run(u",>s20000_", u"Sheet1");
  EXPECT_EQ(Prompts(), std::vector<Text>{host::Paragraphs(
                           {u"( Null ): An output line is too long for a cell.",
                            u"The parsing commands made the line for worksheet row# 3 longer than 32,767 characters.",
                            msg::kLineTooLong4})});
  EXPECT_EQ(Sheet().Cells(3, 1).Value(), Variant(u"a,b,c"));
}

TEST_F(ParserTest, FormulaValuesAreParsedOnANewSheet) {
  Rows({u"=\"x,y\""});
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(Grid(kResult, 1, 3), (std::vector<std::string>{"1/x/y"}));
}

TEST_F(ParserTest, AreasFollowEachOtherWithoutAGap) {
  Rows({u"a,1", u"b,2"});
  Sheet().Cells(5, 3).SetValue(u"c,3");
  Sheet().Cells(6, 3).SetValue(u"d,4");
  Control(ctl::mail::kMessage).SetCaption(u"$A$1:$A$2,$C$5:$C$6");
  AnswerFinishing();
  Run(u",>o_");
  EXPECT_EQ(Grid(kResult, 4, 3), (std::vector<std::string>{"1/a/1", "2/b/2", "3/c/3", "4/d/4"}));
}

TEST_F(ParserTest, PageSetupOnYes) {
  Rows({u"a,b"});
  AnswerFinishing(host::msgbox::kAnswerYes);
  Run(u",>o_");
  EXPECT_NE(Sheet(kResult).GetPageSetup().PrintArea, u"");
  EXPECT_EQ(Sheet(kResult).GetPageSetup().PrintTitleRows, u"") << "no heading repeats on every page";
}

TEST_F(ParserTest, ErrorsCarryTheRunAndTheMode) {
  Rows({u"a,b"});
  check::ExpectRaises([&] { Run(u",>o_", u"NoSuchSheet"); }, err::kSubscript, "Parser;Null: ");
  EXPECT_TRUE(Control(ctl::mail::kOnScreenX).Enabled());
}

#undef C

}  // namespace
}  // namespace quillary::parser
