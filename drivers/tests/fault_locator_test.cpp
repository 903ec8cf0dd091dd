// Get/Try hands a fault or the duplicates over to the Query form: end to end through the
// component's two public classes, the Query form's events sent while the host shows it.
#include <gtest/gtest.h>

#include <functional>

#include "drivers/routines.h"
#include "host/connect.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

namespace ctl = host::ctl;

class FaultLocatorDesk {
 public:
  FaultLocatorDesk() : connect_(b.state, BuildRoutines()), queryConnect_(b.state, BuildRoutines()) {}

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  void Cells(std::initializer_list<const char16_t*> values) {
    long row = 1;
    for (const char16_t* v : values) Sheet().Cells(row++, 1).SetValue(Text(v));
    Sheet().Range(Sheet().Cells(1, 1), Sheet().Cells(row - 1, 1)).Select();
  }
  void Tick(const host::ControlId& id) { b.Control(id).SetValue(true); }

  // One Get/Try press; `whileShown` runs while the Query form is shown.
  void GetTry(std::function<void()> whileShown = {}, const char16_t* mode = u"Null") {
    b.addin.QueueHook(u"MainUserFormHideOffsetShow", [this, whileShown](std::span<Variant>) {
      queryShown = true;
      if (whileShown) whileShown();
    });
    Text vbaMode = mode;
    Text routine = u"GetSubtractSortCnt";
    connect_.QuillaryDLL(b.forms.Forms(), vbaMode, routine);
  }
  void Event(const char16_t* name) {
    Text event = name;
    queryConnect_.QuillaryQueryFormDLL(event);
  }
  Text Active() { return b.app->ActiveCell()->Address(); }
  Text Caption(const host::ControlId& id) { return b.Control(id).Caption(); }

  testkit::Bench b;
  bool queryShown = false;

 private:
  host::ExcelConnect connect_;
  host::ExcelQueryFormConnect queryConnect_;
};

TEST(FaultLocator, AGrammarFaultOpensTheQueryOnItsCellAndReplaceMendsIt) {
  FaultLocatorDesk d;
  d.Cells({u"R1", u"R1-R2-R3, C4", u"C7"});
  d.b.Control(ctl::query::kTextbox2).SetValue(Text(u"old replacement"));
  Text activeWhenShown, lamp;
  d.GetTry([&] {
    activeWhenShown = d.Active();
    lamp = d.b.Control(ctl::query::kLamp).BackColor() == 0xC0FFC0 ? u"on" : u"off";
    EXPECT_EQ(d.Caption(ctl::query::kCaption), u"Quillary FAULT LOCATOR");
    EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Has More Than 1 Hyphen");
    EXPECT_EQ(d.b.Control(ctl::query::kTextbox1).Text(), u"R1-R2-R3");
    EXPECT_EQ(d.b.Control(ctl::query::kTextbox2).Text(), u"R1-R2-R3") << "the Item, ready to be edited";
    EXPECT_TRUE(d.b.Control(ctl::query::kTextbox1).Locked());
    EXPECT_EQ(d.b.services.beeper.Count(), 1);
    // The user mends the Item in place.
    d.b.Control(ctl::query::kTextbox2).SetValue(Text(u"R1-R3"));
    d.Event(u"TextBox2Change");
    d.Event(u"ReplaceButtonClick");
  });
  EXPECT_TRUE(d.queryShown);
  EXPECT_EQ(activeWhenShown, u"$A$2");
  EXPECT_EQ(lamp, u"on");
  EXPECT_EQ(d.Sheet().Range(u"A2").Value(), Variant(u"R1-R3, C4"));
  EXPECT_EQ(d.Sheet().Range(u"A2").Comment()->Text(), u"repl'd: \"R1-R2-R3\" \"R1-R3\"");
  EXPECT_FALSE(d.b.Control(ctl::query::kDiffDupsButton).Visible());
  // The title was refreshed before the form showed; the run went on to its output.
  std::vector<Text> order;
  for (const auto& call : d.b.addin.Calls()) {
    if (call.macro == u"QueryUserFormCaption" || call.macro == u"MainUserFormHideOffsetShow")
      order.push_back(call.macro);
  }
  EXPECT_EQ(order, (std::vector<Text>{u"QueryUserFormCaption", u"MainUserFormHideOffsetShow"}));
  EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Has More Than 1 Hyphen");
  EXPECT_FALSE(d.b.services.clipboard.Contents().empty()) << "the output was staged";
}

TEST(FaultLocator, DuplicatesInIgnoreIndexAreWalked) {
  FaultLocatorDesk d;
  d.Cells({u"apple", u"pear", u"Apple", u"kiwi", u"pear"});
  d.Tick(ctl::main::kIgnoreIndex);
  d.Tick(ctl::main::kSort);
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndDifferent);
  d.b.addin.QueueMessageAnswer(1);
  std::vector<Text> seen;
  d.GetTry([&] {
    seen.push_back(d.Active());
    EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Duplicate Item:");
    for (int i = 0; i < 3; ++i) {
      d.Event(u"NextButton_Click");
      seen.push_back(d.Active());
    }
  });
  EXPECT_EQ(seen, (std::vector<Text>{u"$A$1", u"$A$3", u"$A$2", u"$A$5"}));
  EXPECT_EQ(d.b.services.beeper.Count(), 2) << "the hand-over and the end of the first name";
  EXPECT_EQ(d.b.addin.Messages().size(), 1u) << "only the status comment's notice, after the walk";
  EXPECT_FALSE(d.b.Control(ctl::query::kDiffDupsButton).Visible());
}

TEST(FaultLocator, NotInExpandRefNorInTheLastCompareStep) {
  for (const char16_t* mode : {u"expand_ref", u"COMPARE 2/Uniques"}) {
    FaultLocatorDesk d;
    d.Cells({u"R1-R2-R3"});
    d.b.Control(ctl::main::kTextbox1).SetValue(Text(u"R1-R2-R3"));
    d.b.state.compare.CompareStep = host::CompareStage::kRightUniques;
    d.GetTry({}, mode);
    EXPECT_FALSE(d.queryShown) << ToUtf8(mode);
    EXPECT_EQ(d.b.services.beeper.Count(), 0) << ToUtf8(mode);
    EXPECT_EQ(d.Caption(ctl::main::kCountLabel), u"Has More Than 1 Hyphen") << ToUtf8(mode);
  }
}

TEST(FaultLocator, TheBreakKeyWhileTheQueryIsShownEndsTheRun) {
  FaultLocatorDesk d;
  d.Cells({u"R1-R2-R3"});
  d.GetTry([&] { d.b.state.request.progress.UserAbort = true; });
  EXPECT_TRUE(d.queryShown);
  EXPECT_EQ(d.b.services.clipboard.Contents(), u"") << "no output after the break";
}

}  // namespace
}  // namespace quillary::drivers
