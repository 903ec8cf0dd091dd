#include <gtest/gtest.h>

#include <string>

#include "actions/internal/messages.h"
#include "actions/tests/desk.h"
#include "platform/runtime/tests/expect_error.h"
#include "platform/runtime/vba.h"

namespace quillary::actions {
namespace {

using host::ModeId;

// The messages' words as the user reads them: tests/scenarios/actions/prefixes.qs and comma_space.qs.

constexpr char16_t kNbsp = u'\u00A0';

TEST(CellTextActions, OnlyTextConstantsAreTouched) {
  Desk d;
  d.Column(u"A1", {5.0, true, u"=\"formula text\"", Variant(CellError::NA), u"'", u"plain"});
  d.Run(ModeId::kCaseUpper, u"A1:A7");
  EXPECT_EQ(d.Values(u"A1:A7"),
            (std::vector<Variant>{5.0, true, u"formula text", Variant(CellError::NA), Variant(), u"PLAIN", Variant()}));
  EXPECT_TRUE(d.Cell(u"A3").HasFormula());
  EXPECT_TRUE(d.Cell(u"A5").Value().IsEmpty()) << "an empty text is cleared";
}

TEST(CellTextActions, TheCaseActionsTrimAndTurnNoBreakSpacesIntoBlanks) {
  const struct {
    ModeId mode;
    Text text;
    Variant expected;
  } cases[] = {
      {ModeId::kCaseProper, u"  mc donald-smith o'neil  ", u"Mc Donald-Smith O'Neil"},
      {ModeId::kCaseUpper, Text(3, kNbsp), Variant()},
      {ModeId::kCaseLower, Text(u"AB").append(Text(1, kNbsp)).append(u"CD "), u"ab cd"},
      {ModeId::kCaseUpper, u"r1, r2", u"R1, R2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    Desk d;
    d.Cell(u"B2").SetValue(u"'" + c.text);
    d.Run(c.mode, u"B2");
    EXPECT_EQ(d.Value(u"B2"), c.expected);
    if (c.expected.IsText()) {
      EXPECT_EQ(d.Cell(u"B2").Formula(), Text(u"'").append(c.expected.AsText())) << "kept as text";
    }
  }
}

TEST(CellTextActions, MergedCellsAndTextsAtTheCellLimitAreRewrittenWhole) {
  Desk d;
  d.Cell(u"A1").SetValue(Text(u"'").append(Text(3, kNbsp)));
  d.Cell(u"A1:B1").Merge();
  d.Cell(u"A2").SetValue(Text(u"'").append(Text(32766, u'a')).append(u"b"));
  d.Cell(u"C1").SetValue(u"'abc");
  d.Cell(u"C1:C2").Merge();
  d.Run(ModeId::kCaseUpper, u"A1:C2");
  EXPECT_TRUE(d.Value(u"A1").IsEmpty());
  EXPECT_TRUE(d.Cell(u"A1").MergeCells());
  EXPECT_EQ(d.Value(u"A2"), Variant(Text(32766, u'A') + u"B"));
  EXPECT_EQ(d.Value(u"C1"), Variant(u"ABC"));
}

TEST(CellTextActions, TextsAreWrittenOnASheetThatRefusesFormatsWithoutTheAlignment) {
  Desk d;
  d.Column(u"A1", {u"abc", u"def"});
  d.Cell(u"A1:A2").SetLocked(false);
  d.Cell(u"A1").SetHorizontalAlignment(xl::xlRight);
  d.Sheet().Protect();
  d.Run(ModeId::kCaseUpper, u"A1:A2");
  EXPECT_EQ(d.Values(u"A1:A2"), (std::vector<Variant>{u"ABC", u"DEF"}));
  EXPECT_EQ(d.Cell(u"A1").HorizontalAlignment(), Variant(xl::xlRight));
}

TEST(CellTextActions, APrefixFaultAsksWhetherToGoOnAndLeavesTheCell) {
  const Text firstItemFault =
      Text(u"( Prefix||  Set ): ")
          .append(host::Paragraphs({msg::kFirstItemFault, msg::kFirstItemFault2, msg::kContinueWithOthers}));
  const Text mixedFault =
      Text(u"( Prefix||  Set ): ")
          .append(host::Paragraphs({msg::kMixedPrefixFault, msg::kMixedPrefixFault2, msg::kContinueWithOthers}));
  for (const int answer : {host::msgbox::kAnswerOk, host::msgbox::kAnswerCancel}) {
    SCOPED_TRACE(answer);
    Desk d;
    d.Control(host::ctl::main::kCommaSpace).SetValue(true);
    d.Column(u"A1", {u"R1,2", u"5, R6", u"R1, C2", u"C3,4"});
    d.b.addin.QueueMessageAnswer(answer);
    if (answer == host::msgbox::kAnswerOk) d.b.addin.QueueMessageAnswer(answer);
    d.Run(ModeId::kPrefixSet, u"A1:A4");
    const auto messages = d.Messages();
    ASSERT_EQ(messages.size(), answer == host::msgbox::kAnswerOk ? 2u : 1u);
    EXPECT_EQ(messages[0].prompt, firstItemFault);
    EXPECT_EQ(messages[0].style, host::msgbox::kOkCancel);
    if (answer == host::msgbox::kAnswerOk) {
      EXPECT_EQ(messages[1].prompt, mixedFault);
      EXPECT_EQ(d.Values(u"A1:A4"), (std::vector<Variant>{u"R1, R2", u"5, R6", u"R1, C2", u"C3, C4"}));
      EXPECT_EQ(d.b.app->ActiveCell()->Address(), u"$A$3");
    } else {
      EXPECT_EQ(d.Values(u"A1:A4"), (std::vector<Variant>{u"R1, R2", u"5, R6", u"R1, C2", u"C3,4"}));
      EXPECT_EQ(d.b.app->ActiveCell()->Address(), u"$A$2");
    }
  }
}

TEST(CellTextActions, TheSeparatorFollowsTheCommaSpaceBoxInCountIndexOnly) {
  const struct {
    bool commaSpace, ignoreIndex;
    const char16_t* expected;
  } cases[] = {{true, false, u"R1, R2"}, {false, false, u"R1,R2"}, {true, true, u"R1,R2"}};
  for (const auto& c : cases) {
    Desk d;
    d.Control(host::ctl::main::kCommaSpace).SetValue(c.commaSpace);
    d.Control(host::ctl::main::kIgnoreIndex).SetValue(c.ignoreIndex);
    d.Column(u"A1", {u"R1 , 2"});
    d.Run(ModeId::kPrefixSet, u"A1");
    EXPECT_EQ(d.Value(u"A1"), Variant(c.expected));
  }
}

TEST(CellTextActions, ATextOverTheActionLimitIsRefusedAndTheWalkGoesOn) {
  Desk d;
  // "R1" and 10,920 times ",2": each later Item gains its prefix, 32,762 characters.
  Text longText = u"R1";
  for (int i = 0; i < 10920; ++i) longText += u",2";
  d.Column(u"A1", {u"'" + longText, u"R7,8"});
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Run(ModeId::kPrefixSet, u"A1:A2");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      Text(u"( Prefix||  Set ): ")
          .append(host::Paragraphs({msg::kOverflow, msg::kOverflowCount + Text(u"32,762") + msg::kOverflowCount2})));
  EXPECT_EQ(d.Messages()[0].style, host::msgbox::kInformation);
  EXPECT_EQ(d.Value(u"A1"), Variant(longText));
  EXPECT_EQ(d.Value(u"A2"), Variant(u"R7,R8"));
}

TEST(CellTextActions, CommaSpaceSetAsksAboutParenthesesOnceAtTheFirstCellHoldingOne) {
  const Text question =
      Text(u"( Comma Space||  Set ): ").append(host::Paragraphs({msg::kParentheses, msg::kParentheses2}));
  for (const int answer : {host::msgbox::kAnswerYes, host::msgbox::kAnswerNo}) {
    SCOPED_TRACE(answer);
    Desk d;
    d.Column(u"A1", {u"R1 R2", u"C1(C2)", u"D1 (D2)", u"   "});
    d.b.addin.QueueMessageAnswer(answer);
    d.Run(ModeId::kCommaSpaceSet, u"A1:A4");
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].prompt, question);
    EXPECT_EQ(d.Messages()[0].style, host::msgbox::kYesNo + host::msgbox::kInformation);
    const bool yes = answer == host::msgbox::kAnswerYes;
    EXPECT_EQ(d.Values(u"A1:A4"),
              (std::vector<Variant>{u"R1, R2", yes ? u"C1, C2" : u"C1(C2)", yes ? u"D1, D2" : u"D1, (D2)", Variant()}));
  }
  Desk quiet;
  quiet.Column(u"A1", {u"R1 R2"});
  quiet.Run(ModeId::kCommaSpaceSet, u"A1");
  EXPECT_TRUE(quiet.Messages().empty());
}

TEST(CellTextActions, CommaSpaceClearTakesItsVariantFromTheBigMessageAnswer) {
  const struct {
    const char16_t* caption;
    const char16_t* expected;
  } cases[] = {{u"2", u"R1, R2 R3"}, {u"", u"R1,R2\tR3"}, {u"1", u"R1,R2\tR3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.caption));
    Desk d;
    d.Control(host::ctl::bigmsg::kAnswer).SetCaption(c.caption);
    d.Column(u"A1", {u"R1,  R2\tR3"});
    d.Run(ModeId::kCommaSpaceClear, u"A1");
    EXPECT_EQ(d.Value(u"A1"), Variant(c.expected));
    EXPECT_EQ(d.b.state.dialogs.BigMsgAnswer, c.caption == Text(u"2") ? 2 : vba::CInt(vba::Val(c.caption)));
  }
}

TEST(NumberValues, TextsAreReadAgainAsTypedButNeverBecomeFormulas) {
  const struct {
    const char16_t* text;
    const char16_t* format;
    Variant value;
    const char16_t* formula;  // how the cell holds it
  } cases[] = {
      {u"0042", u"@", 42.0, u"42"},
      {u" 7 ", u"General", 7.0, u"7"},
      {u"1.5E3", u"General", 1500.0, u"1500"},
      {u"-5", u"General", -5.0, u"-5"},
      {u"+5", u"General", 5.0, u"5"},
      {u"12 apples", u"General", u"12 apples", u"12 apples"},
      {u"=1+2", u"General", u"=1+2", u"'=1+2"},
      {u"-abc", u"General", u"-abc", u"'-abc"},
      {u"@abc", u"General", u"@abc", u"'@abc"},
      {u"+", u"General", u"+", u"'+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    Desk d;
    d.Cell(u"A1").SetNumberFormat(c.format);
    d.Cell(u"A1").SetValue(Text(u"'").append(Text(c.text)));
    d.Run(ModeId::kNumberValues, u"A1");
    EXPECT_EQ(d.Value(u"A1"), c.value);
    EXPECT_EQ(d.Cell(u"A1").Formula(), c.formula);
    EXPECT_FALSE(d.Cell(u"A1").HasFormula());
    EXPECT_EQ(d.Cell(u"A1").NumberFormat(), Variant(u"General"));
  }
}

TEST(NumberValues, NumbersFormulasAndRefusedWritesStayAsTheyWere) {
  Desk d;
  d.Column(u"A1", {12.0, u"=\"34\"", u"'56"});
  d.b.app->InjectFailure("Range.Value", 1004, "refused");
  d.Run(ModeId::kNumberValues, u"A1:A3");
  EXPECT_EQ(d.Values(u"A1:A3"), (std::vector<Variant>{12.0, u"34", u"56"}));
  EXPECT_TRUE(d.Cell(u"A2").HasFormula());
  EXPECT_EQ(d.Cell(u"A3").Formula(), u"'56");
}

TEST(NumberValues, OnASheetThatRefusesFormatsTheTextFormatStaysAndSoDoesTheText) {
  Desk d;
  d.Cell(u"A1:A2").SetNumberFormat(u"@");
  d.Column(u"A1", {u"0042"});
  d.Column(u"A2", {u"'9"});
  d.Cell(u"A2").SetNumberFormat(u"General");
  d.Cell(u"A1:A2").SetLocked(false);
  d.Sheet().Protect();
  d.Run(ModeId::kNumberValues, u"A1:A2");
  EXPECT_EQ(d.Value(u"A1"), Variant(u"0042"));
  EXPECT_EQ(d.Cell(u"A1").NumberFormat(), Variant(u"@"));
  EXPECT_EQ(d.Value(u"A2"), Variant(9.0));
}

}  // namespace
}  // namespace quillary::actions
