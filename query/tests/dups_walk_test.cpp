// The duplicates walk over the list Get/Try leaves beside list 1.
#include <gtest/gtest.h>

#include "query/internal/memory.h"
#include "query/messages.h"
#include "query/tests/desk.h"

namespace quillary::query {
namespace {

using testing::Desk;
using testing::ItemMode;
namespace ctl = host::ctl;

constexpr char16_t kBeginning[] = u"Beginning of cells found having this Item.";

// A desk in IgnoreIndex# with Sort ticked after a Get/Try that found duplicates.
class DupsDesk : public Desk {
 public:
  DupsDesk() : Desk(ItemMode::kIgnoreIndex) {
    C(ctl::main::kSort).SetValue(true);
    b.state.request.FaultMsg = u" Duplicate";
    b.state.request.FaultItem = u"apple";
  }
};

TEST(DupsWalk, OneNameInThreeCells) {
  DupsDesk d;
  for (const char16_t* cell : {u"A1", u"A2", u"A3"}) d.Type(cell, u"apple");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$2", u"apple"}, {u"$A$3", u"apple"}});
  d.Select(u"A1:A3");
  d.b.addin.QueueMessageAnswer(1);
  std::vector<Text> seen;
  d.Open([&] {
    seen.push_back(d.Active());
    EXPECT_EQ(d.Caption(ctl::query::kLabel1), u"Duplicate Item:");
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), kBeginning);
    EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), u"apple");
    EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), u"apple") << "an empty replacement takes the name";
    EXPECT_EQ(d.Lamp(), u"on");
    EXPECT_TRUE(d.C(ctl::query::kDiffDupsButton).Visible());
    EXPECT_FALSE(d.C(ctl::query::kDiffDupsButton).Enabled()) << "no second name";
    for (int i = 0; i < 4; ++i) seen.push_back(d.Next());
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), kBeginning);
  });
  EXPECT_EQ(seen, (std::vector<Text>{u"$A$1", u"$A$2", u"$A$3", u"$A$3", u"$A$1"}));
  EXPECT_EQ(d.Messages(), std::vector<Text>{msg::EndOfDuplicatesText(false, u"Next", u"Different Name", false)});
  EXPECT_FALSE(MemoryOf(d.b.state).DupsWalkMode) << "the walk ends when the form closes";
}

TEST(DupsWalk, TheEndOfANameAsksToRepeatItOrGoOn) {
  DupsDesk d;
  d.Type(u"A1", u"apple");
  d.Type(u"A2", u"apple");
  d.Type(u"A3", u"pear");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$2", u"apple"}, {u"$A$3", u"pear"}});
  d.Select(u"A1:A3");
  d.Replacement(u"fruit");
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndDifferent);
  d.b.addin.QueueMessageAnswer(1);
  d.Open([&] {
    EXPECT_TRUE(d.C(ctl::query::kDiffDupsButton).Enabled());
    EXPECT_EQ(d.Next(), u"$A$2");
    // The name's cells are done: Repeat starts the name again on the next press.
    EXPECT_EQ(d.Next(), u"$A$2");
    EXPECT_EQ(d.Beeps(), 1);
    EXPECT_EQ(d.Caption(ctl::queryend::kRepeatButton), u"Repeat Same Name");
    EXPECT_TRUE(d.C(ctl::queryend::kDifferentButton).Visible());
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), kBeginning);
    EXPECT_EQ(d.Next(), u"$A$2");
    // This time: the different name.
    EXPECT_EQ(d.Next(), u"$A$3");
    EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), u"pear");
    EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), u"fruit") << "a replacement text stays";
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), kBeginning);
    EXPECT_EQ(d.Next(), u"$A$3");
  });
  EXPECT_EQ(d.Messages(), std::vector<Text>{msg::EndOfDuplicatesText(true, u"Next", u"Different Name", false)});
}

TEST(DupsWalk, ANameTwiceInOneCell) {
  DupsDesk d;
  d.Type(u"A1", u"apple, apple");
  d.Type(u"A2", u"apple");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$1", u"apple"}, {u"$A$2", u"apple"}});
  d.Select(u"A1:A2");
  d.Open([&] {
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), u"Found within same cell as previous.");
    EXPECT_EQ(d.Next(), u"$A$2");
    EXPECT_EQ(d.Caption(ctl::query::kLabel7), u"");
  });
}

TEST(DupsWalk, TheDifferentNameButtonJumpsAndCyclesBack) {
  DupsDesk d;
  d.Type(u"A1", u"apple");
  d.Type(u"A2", u"apple");
  d.Type(u"A3", u"pear");
  d.Type(u"A4", u"pear");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$2", u"apple"}, {u"$A$3", u"pear"}, {u"$A$4", u"pear"}});
  d.Select(u"A1:A4");
  d.b.addin.QueueMessageAnswer(1);
  d.Open([&] {
    d.Event(u"diffdupsButtonClick");
    EXPECT_EQ(d.Active(), u"$A$3");
    EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), u"pear");
    d.Event(u"diffdupsButtonClick");
    EXPECT_EQ(d.Active(), u"$A$3") << "the last name: the end-of-list message";
    d.Event(u"diffdupsButtonClick");
    EXPECT_EQ(d.Active(), u"$A$1");
    EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), u"apple");
    EXPECT_TRUE(d.C(ctl::query::kNextButton).Default());
  });
  EXPECT_EQ(d.Messages(), std::vector<Text>{msg::EndOfDuplicatesText(true, u"Next", u"Different Name", true)});
}

TEST(DupsWalk, JoinedCellsShowTheirCommasAndReplaceFindsTheNameInTheCell) {
  DupsDesk d;
  for (const host::ControlId& id : {ctl::compdup::kJoinCells}) {
    d.C(id).SetEnabled(true);
    d.C(id).SetValue(true);
  }
  d.Type(u"A1", u"x, apple, y");
  d.Type(u"A2", u"apple");
  d.Type(u"A3", u"a,b");
  d.Type(u"A4", u"a,b");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$2", u"apple"}, {u"$A$3", u"a\u00A8b"}, {u"$A$4", u"a\u00A8b"}});
  d.Select(u"A1:A4");
  d.Replacement(u"pear");
  d.Open([&] {
    // Replace changes the name where it stands in the listed cell.
    d.Event(u"ReplaceButtonClick");
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), Variant(u"x, pear, y"));
    d.Event(u"diffdupsButtonClick");
    EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), u"a,b");
  });
}

TEST(DupsWalk, OnlyIgnoreIndexWithSortAndADuplicateStartsTheWalk) {
  const struct {
    const char* what;
    ItemMode mode;
    const char16_t* vbaMode;
    bool sort;
    bool walks;
  } cases[] = {
      {"IgnoreIndex# with Sort", ItemMode::kIgnoreIndex, u"Null", true, true},
      {"without Sort", ItemMode::kIgnoreIndex, u"Null", false, false},
      {"CountIndex#", ItemMode::kCountIndex, u"Null", true, false},
      {"COMPARE 2", ItemMode::kIgnoreIndex, u"COMPARE 2/Uniques", true, false},
  };
  for (const auto& c : cases) {
    Desk d(c.mode, c.vbaMode);
    d.C(ctl::main::kSort).SetValue(c.sort);
    d.b.state.request.FaultMsg = u" Duplicate";
    d.Type(u"A1", u"apple");
    d.ListDuplicates({{u"$A$1", u"apple"}});
    d.Select(u"A1:A2");
    bool walking = false;
    d.Open([&] { walking = MemoryOf(d.b.state).DupsWalkMode; });
    EXPECT_EQ(walking, c.walks) << c.what;
  }
}

TEST(DupsWalk, AnEmptyListShowsNoForm) {
  DupsDesk d;
  d.ListDuplicates({});
  d.Select(u"A1:A2");
  GoQueryUserForm(d.b.state);
  EXPECT_TRUE(d.b.addin.CallsOf(u"MainUserFormHideOffsetShow").empty());
  EXPECT_FALSE(MemoryOf(d.b.state).DupsWalkMode);
}

TEST(DupsWalk, TheDifferentNameButtonOutsideTheWalkClosesTheForm) {
  Desk d;
  d.Select(u"A1:A2");
  d.Open([&] { d.Event(u"diffdupsButtonClick"); });
  const auto hides = d.b.addin.CallsOf(u"UserformHide");
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(hides[0].args, std::vector<Variant>{Variant(u"QueryUserForm")});
}

}  // namespace
}  // namespace quillary::query
