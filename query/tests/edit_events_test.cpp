// The Query form's edits of its two text boxes.
#include <gtest/gtest.h>

#include "query/internal/memory.h"
#include "query/tests/desk.h"

namespace quillary::query {
namespace {

using testing::Desk;
using testing::ItemMode;
namespace ctl = host::ctl;

TEST(QueryEdits, ANewSearchTextStartsAFreshSearchAtTheActiveCell) {
  for (const ItemMode mode : {ItemMode::kCountIndex, ItemMode::kIgnoreIndex}) {
    const bool countIndex = mode == ItemMode::kCountIndex;
    Desk d(mode);
    d.Type(u"A1", u"r5");
    d.Type(u"A2", u"R5");
    d.Type(u"A3", u"r5");
    d.Select(u"A1:A3");
    d.Search(u"r5");
    d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
    d.Open([&] {
      EXPECT_EQ(d.Next(), u"$A$1");
      // A pasted text with a line break at its end.
      d.Search(u" R5 \r\n");
      d.Event(u"TextBox1Change");
      EXPECT_EQ(d.C(ctl::query::kTextbox1).Text(), countIndex ? u"R5" : u" R5 ");
      EXPECT_EQ(d.Lamp(), u"off");
      EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
      EXPECT_EQ(MemoryOf(d.b.state).QueryHitCount, 0);
      // The search starts at the active cell A1: in CountIndex# A2 is the one hit.
      EXPECT_EQ(d.Next(), countIndex ? u"$A$2" : u"$A$1");
      EXPECT_EQ(d.Next(), countIndex ? u"$A$2" : u"$A$2");
    });
  }
}

TEST(QueryEdits, InTheDuplicatesWalkTheSearchStartStays) {
  Desk d(ItemMode::kIgnoreIndex);
  d.C(ctl::main::kSort).SetValue(true);
  d.b.state.request.FaultMsg = u" Duplicate";
  d.Type(u"A1", u"apple");
  d.Type(u"A2", u"apple");
  d.ListDuplicates({{u"$A$1", u"apple"}, {u"$A$2", u"apple"}});
  d.Select(u"A1:A2", u"A2");
  d.Open([&] {
    const QueryPos start = MemoryOf(d.b.state).Start;
    d.Search(u"other");
    d.Event(u"TextBox1Change");
    EXPECT_EQ(MemoryOf(d.b.state).Start, start);
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
    EXPECT_EQ(d.Lamp(), u"on") << "the active cell A1 still holds the next listed name";
  });
}

TEST(QueryEdits, TheReplacementTextIsCleaned) {
  const struct {
    const char16_t* typed;
    const char16_t* kept;
  } cases[] = {
      {u"  new  ", u"new"},
      {u",new", u"new"},
      {u",,new", u",new"},
      {u"new\r\n", u"new"},
  };
  for (const auto& c : cases) {
    Desk d;
    d.Open([&] {
      d.C(ctl::query::kReplaceButton).SetEnabled(true);
      d.Replacement(c.typed);
      d.Event(u"TextBox2Change");
      EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), c.kept);
      EXPECT_EQ(MemoryOf(d.b.state).ReplaceText, c.kept);
      EXPECT_TRUE(d.C(ctl::query::kReplaceButton).Default());
    });
  }
  // A disabled box (after a replacement) is left alone.
  Desk d;
  d.Open([&] {
    d.C(ctl::query::kTextbox2).SetEnabled(false);
    d.Replacement(u",typed");
    d.Event(u"TextBox2Change");
    EXPECT_EQ(d.C(ctl::query::kTextbox2).Text(), u",typed");
    EXPECT_EQ(MemoryOf(d.b.state).ReplaceText, u"");
  });
}

}  // namespace
}  // namespace quillary::query
