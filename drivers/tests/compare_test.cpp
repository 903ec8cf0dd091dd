// Get/Try with the tagging, and COMPARE 2 from end to end, with every routine of this
// build wired as the host's requests wire them.
#include <gtest/gtest.h>

#include <string>

#include "drivers/routines.h"
#include "host/callbacks.h"
#include "host/routines.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

constexpr long kLeftColour = 0x80FFFF;
constexpr long kRightColour = 0xFFFF80;

struct Desk {
  Desk() { b.routines = BuildRoutines(); }

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  void Put(TextView address, const Variant& value) { Sheet().Range(address).SetValue(value); }
  Variant At(TextView address) { return Sheet().Range(address).Value(); }
  long Fill(TextView address) { return static_cast<long>(vba::CDbl(Sheet().Range(address).Interior().Color())); }
  bool Filled(TextView address) { return vba::CDbl(Sheet().Range(address).Interior().Pattern()) != xl::xlNone; }
  forms::Control& Main(TextView name) { return b.forms.mainUser.Item(name); }
  forms::Control& Dialog(TextView name) { return b.forms.compDupUser.Item(name); }
  // The user's choice in the dialog (its set-up decides whether the option is enabled).
  void Choose(TextView name, bool on = true) { Dialog(name).SetValue(on); }
  void Request(TextView routine, TextView mode) {
    b.BeginRequest(mode);
    host::Run(*host::FindRoutine(host::RequestRoutines(), routine), b.state, b.routines);
  }
  void Action(TextView mode) {
    b.BeginRequest(mode);
    host::RoutineOf(b.state, &host::Routines::ActionCmprTwo, "ActionCmprTwo")(b.state);
  }
  std::vector<addin::Message> Messages() { return b.addin.Messages(); }

  testkit::Bench b;
};

// Duplicates of one column in IgnoreIndex# with Sort and "Dups:Tag & Rprt": the TAG
// SETTINGS dialog, then tags listing each row's duplicates and the left colour.
TEST(GetTryTagging, DuplicatesAreTaggedBesideTheSelection) {
  Desk d;
  d.Put(u"A1", u"a");
  d.Put(u"A2", u"b, c");
  d.Put(u"A3", u"a");
  d.Put(u"A4", u"d");
  d.Put(u"A5", u"c");
  d.Sheet().Range(u"A1:A5").Select();
  d.Main(u"CheckBox1").SetValue(true);
  d.Main(u"CheckBox3").SetValue(true);
  d.Main(u"CheckBox4").SetValue(true);
  d.Choose(u"LocatorLabel");
  d.Choose(u"ColorLeftEnable");
  d.b.addin.QueueCompareAnswer(1);
  d.Request(u"GetSubtractSortCnt", u"Null");
  EXPECT_EQ(d.b.addin.CallsOf(u"ShowCompDupUserForm").size(), 1u);
  EXPECT_EQ(d.At(u"B1"), Variant(u"a"));
  EXPECT_EQ(d.At(u"B2"), Variant(u"c"));
  EXPECT_EQ(d.At(u"B3"), Variant(u"a"));
  EXPECT_EQ(d.At(u"B4"), Variant());
  EXPECT_EQ(d.At(u"B5"), Variant(u"c"));
  EXPECT_EQ(d.Fill(u"A1"), kLeftColour);
  EXPECT_EQ(d.Fill(u"B5"), kLeftColour);
  EXPECT_FALSE(d.Filled(u"A4"));
  EXPECT_EQ(d.Main(u"Label2").Caption(), u" Duplicate");
  EXPECT_TRUE(d.Messages().empty());
}

TEST(GetTryTagging, ACancelledDialogGathersNothing) {
  Desk d;
  d.Put(u"A1", u"a");
  d.Put(u"A2", u"a");
  d.Sheet().Range(u"A1:A2").Select();
  d.Main(u"CheckBox1").SetValue(true);
  d.Main(u"CheckBox3").SetValue(true);
  d.Main(u"CheckBox4").SetValue(true);
  d.Main(u"TextBox1").SetValue(Text(u"earlier"));
  d.Main(u"Label2").SetCaption(u"before");
  d.b.addin.QueueCompareAnswer(0);
  d.Request(u"GetSubtractSortCnt", u"Null");
  EXPECT_EQ(d.Main(u"TextBox1").Text(), u"") << "the Active Window was emptied first";
  EXPECT_EQ(d.Main(u"Label2").Caption(), u"before") << "no count display";
  EXPECT_EQ(d.At(u"B1"), Variant());
}

TEST(GetTryTagging, OldTagsBesideAListWithoutDuplicatesAreOfferedForClearing) {
  Desk d;
  d.Put(u"A1", u"a");
  d.Put(u"A2", u"b");
  d.Put(u"B2", u"a");
  d.Sheet().Range(u"A1:A2").Select();
  d.Main(u"CheckBox1").SetValue(true);
  d.Main(u"CheckBox3").SetValue(true);
  d.Main(u"CheckBox4").SetValue(true);
  d.Choose(u"LocatorLabel");
  d.b.addin.QueueCompareAnswer(1);
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerYes);
  d.Request(u"GetSubtractSortCnt", u"Null");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt.rfind(u"(  ): NO DUPLICATES WERE FOUND in list $A$1:$A$2.", 0), 0u);
  EXPECT_EQ(d.At(u"B2"), Variant());
}

// COMPARE 2 with USE NEW on two columns of CountIndex# Items, with tags listing the
// uniques, both colours and the difference report.
TEST(Compare2, UseNewShowsTagsAndReportsTheUniquesOfBothSides) {
  Desk d;
  d.Put(u"A1", u"R1");
  d.Put(u"A2", u"R2, C1");
  d.Put(u"A3", u"R5");
  d.Put(u"C1", u"R2");
  d.Put(u"C2", u"C1");
  d.Put(u"C3", u"X9");
  d.Sheet().Range(u"C1:C3,A1:A3").Select();
  d.Choose(u"ListUniques");
  d.Choose(u"ColorLeftEnable");
  d.Choose(u"ColorRightEnable");
  d.Choose(u"SummaryYes");
  d.b.addin.QueueCompareAnswer(1);
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerNo);      // no page set-up
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerCancel);  // windows as they are
  d.Action(u"COMPARE 2/Uniques");

  EXPECT_EQ(d.Main(u"TextBox1").Text(), u"R1,R5");
  EXPECT_EQ(d.Main(u"TextBox2").Text(), u"X9");
  EXPECT_EQ(d.At(u"B1"), Variant(u"R1"));
  EXPECT_EQ(d.At(u"B2"), Variant());
  EXPECT_EQ(d.At(u"B3"), Variant(u"R5"));
  EXPECT_EQ(d.At(u"D3"), Variant(u"X9"));
  EXPECT_EQ(d.Fill(u"A1"), kLeftColour);
  EXPECT_FALSE(d.Filled(u"A2"));
  EXPECT_EQ(d.Fill(u"C3"), kRightColour);
  EXPECT_EQ(d.Fill(u"D3"), kRightColour);

  // The report: finished with its "#" column, the left side's rows, then the right one's.
  xl::Worksheet& report = d.b.Sheet(u"Sheet1-DiffRpt1");
  const struct {
    const char16_t* cell;
    Variant value;
  } cells[] = {
      {u"A2", Variant(u"#")},  {u"B2", Variant(u"Compared1")}, {u"C2", Variant(u"Tag")}, {u"A3", Variant(1)},
      {u"B3", Variant(u"R1")}, {u"C3", Variant(u"R1")},        {u"A4", Variant(2)},      {u"B4", Variant(u"R5")},
      {u"C4", Variant(u"R5")}, {u"B5", Variant(u"X9")},        {u"C5", Variant(u"X9")},  {u"B6", Variant()},
  };
  for (const auto& c : cells) EXPECT_EQ(report.Range(c.cell).Value(), c.value) << ToUtf8(c.cell);
  ASSERT_EQ(d.Messages().size(), 2u);
  EXPECT_EQ(d.Messages()[0].prompt.rfind(u"[Report Page Setup?]( COMPARE 2/Uniques ): Comparison is Complete.", 0), 0u);
  EXPECT_FALSE(d.b.addin.IsShown(u"MainUserForm")) << "the report stays in view";
  EXPECT_EQ(d.b.state.compare.CompareStep, host::CompareStage::kIdle);
}

// IgnoreIndex# with Sort: each side's uniques are shown sorted, as a Get shows a list,
// and tagged beside their rows.
TEST(Compare2, IgnoreIndexUniquesAreShownSortedWithSort) {
  Desk d;
  for (const auto& [cell, value] : {std::pair{u"A1", u"d"},
                                    {u"A2", u"a"},
                                    {u"A3", u"c"},
                                    {u"A4", u"x"},
                                    {u"C1", u"X"},
                                    {u"C2", u"b"},
                                    {u"C3", u"e"}}) {
    d.Put(cell, Text(value));
  }
  d.Sheet().Range(u"A1:A4,C1:C3").Select();
  d.Main(u"CheckBox1").SetValue(true);
  d.Main(u"CheckBox3").SetValue(true);
  d.Choose(u"LocatorLabel");
  d.b.addin.QueueCompareAnswer(1);
  d.Action(u"COMPARE 2/Uniques");
  EXPECT_EQ(d.Main(u"TextBox1").Text(), u"a,c,d");
  EXPECT_EQ(d.Main(u"TextBox2").Text(), u"b,e");
  EXPECT_EQ(d.At(u"B1"), Variant(u"inLftOnly(a)"));
  EXPECT_EQ(d.At(u"B4"), Variant()) << "x is in both, whatever its case";
  EXPECT_EQ(d.At(u"D2"), Variant(u"inRtOnly(b)"));
  EXPECT_EQ(d.At(u"D1"), Variant());
}

// The right side's ranges cut by a left side written in the other range style: the
// pieces keep the style of the right side's Items.
TEST(Compare2, RangesCutByTheOtherSideKeepTheirStyle) {
  Desk d;
  d.Put(u"A1", u"R4-R6");
  d.Put(u"C1", u"R1-10, R12-15");
  d.Sheet().Range(u"A1,C1").Select();
  d.b.addin.QueueCompareAnswer(1);
  d.Action(u"COMPARE 2/Uniques");
  EXPECT_EQ(d.Main(u"TextBox1").Text(), u"");
  EXPECT_TRUE(d.Messages().empty());
  EXPECT_EQ(d.Main(u"TextBox2").Text(), u"R1-3,R7-10,R12-15");
  EXPECT_EQ(d.Main(u"Label2").Caption(), u"Count = 11");
}

TEST(Compare2, AGrammarFaultOnTheRightStopsTheComparisonInCountIndex) {
  Desk d;
  d.Put(u"A1", u"R1");
  d.Put(u"C1", u"R1-R2-R3");
  d.Sheet().Range(u"A1,C1").Select();
  d.Choose(u"ListUniques");
  d.b.addin.QueueCompareAnswer(1);
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Action(u"COMPARE 2/Uniques");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(d.Messages()[0].prompt.rfind(u"( COMPARE 2/Uniques ): A format fault was found", 0), 0u);
  EXPECT_EQ(d.Main(u"Label2").Caption(), u"Has More Than 1 Hyphen");
  EXPECT_EQ(d.Main(u"TextBox1").Text(), u"") << "the left area is not compared";
  EXPECT_EQ(d.At(u"B1"), Variant());
}

}  // namespace
}  // namespace quillary::drivers
