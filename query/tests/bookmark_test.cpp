// Bookmarks: the line in the found cell's comment.
#include <gtest/gtest.h>

#include "query/messages.h"
#include "query/tests/desk.h"

namespace quillary::query {
namespace {

using testing::Desk;
using testing::ItemMode;
namespace ctl = host::ctl;

constexpr long kPlain = 0xE1FFFF;
constexpr long kToggled = 0xFFFFCC;

// Finds R5 in A1 and runs `whileShown` with the found cell active.
void OnFoundCell(Desk& d, const std::function<void()>& whileShown) {
  d.Type(u"A1", u"R5");
  d.Select(u"A1:A2");
  d.Search(u"R5");
  d.Open([&] {
    ASSERT_EQ(d.Next(), u"$A$1");
    whileShown();
  });
}

std::optional<xl::CommentData> CommentOf(Desk& d) { return d.Sheet().CellComment(1, 1); }

TEST(Bookmarks, PlacingTwiceTogglesTheColourAndAddsNoSecondLine) {
  Desk d;
  std::vector<long> colours;
  OnFoundCell(d, [&] {
    for (int i = 0; i < 3; ++i) {
      d.Event(u"PlaceBookmark_True");
      colours.push_back(CommentOf(d)->fillColor);
    }
  });
  EXPECT_EQ(colours, (std::vector<long>{kPlain, kToggled, kPlain}));
  EXPECT_EQ(CommentOf(d)->text, u"Query:\t\"R5\"");
  EXPECT_TRUE(CommentOf(d)->autoSize);
}

TEST(Bookmarks, AnOlderCommentKeepsItsTextAndARemovedLineLeavesItAsItWas) {
  Desk d;
  d.Sheet().Range(u"A1").AddComment(u"first\nsecond");
  OnFoundCell(d, [&] {
    d.Event(u"PlaceBookmark_True");
    EXPECT_EQ(CommentOf(d)->text, u"first\nsecond\nQuery:\t\"R5\"");
    d.Event(u"RemoveBookmark");
  });
  EXPECT_EQ(CommentOf(d)->text, u"first\nsecond");
}

TEST(Bookmarks, ACommentOfTheLineAloneIsDeleted) {
  Desk d;
  OnFoundCell(d, [&] {
    d.Event(u"PlaceBookmark_True");
    d.Event(u"RemoveBookmark");
  });
  EXPECT_FALSE(CommentOf(d).has_value());
}

TEST(Bookmarks, TheTagFollowsTheMode) {
  const struct {
    const char* what;
    const char16_t* caption;
    const char16_t* label1;
    const char16_t* line;
  } cases[] = {
      {"Find Item", u"Quillary Query Item", u"Find Item:", u"Query:\t\"R5\""},
      {"the fault locator: the fault text", u"Quillary FAULT LOCATOR", u"Has More Than 1 Hyphen",
       u"Has More Than 1 Hyphen\"R5\""},
      {"a duplicate, whatever the case", u"Quillary FAULT LOCATOR", u"a duplicate", u"Dup:\t\"R5\""},
  };
  for (const auto& c : cases) {
    Desk d;
    OnFoundCell(d, [&] {
      d.C(ctl::query::kCaption).SetCaption(c.caption);
      d.C(ctl::query::kLabel1).SetCaption(c.label1);
      d.Event(u"PlaceBookmark_True");
    });
    EXPECT_EQ(CommentOf(d)->text, c.line) << c.what;
  }
}

TEST(Bookmarks, OnlyTheFoundCellTakesThem) {
  Desk d;
  d.Type(u"A2", u"x");
  OnFoundCell(d, [&] {
    d.Sheet().Range(u"A2").Activate();
    d.C(ctl::query::kLamp).SetBackColor(0x40C0);
    d.Event(u"PlaceBookmark_True");
  });
  EXPECT_FALSE(d.Sheet().CellComment(2, 1).has_value());
  EXPECT_FALSE(CommentOf(d).has_value());
}

TEST(Bookmarks, ALockedCellOnAProtectedSheetTakesNone) {
  Desk d;
  d.b.addin.QueueMessageAnswer(1);
  d.b.addin.QueueMessageAnswer(1);
  OnFoundCell(d, [&] {
    d.Sheet().Range(u"A1").AddComment(u"Query:\t\"R5\"");
    d.Sheet().Protect();
    d.Event(u"PlaceBookmark_True");
    d.Event(u"RemoveBookmark");
  });
  EXPECT_EQ(d.Messages(), std::vector<Text>(2, Text(u"(  ): ") + msg::kProtectedCommentMsg));
  EXPECT_EQ(CommentOf(d)->text, u"Query:\t\"R5\"");
  EXPECT_EQ(CommentOf(d)->fillColor, kPlain);
}

TEST(Bookmarks, TheSearchPlacesOneAtEachHitWhenAskedTo) {
  Desk d;
  d.Type(u"A1", u"R5");
  d.Type(u"A3", u"R1-R5");
  d.Select(u"A1:A3");
  d.Search(u"R5");
  d.C(ctl::query::kBookmark).SetValue(true);
  d.b.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
  d.Open([&] {
    d.Next();
    d.Event(u"PlaceBookmark_True");
    EXPECT_EQ(CommentOf(d)->fillColor, kToggled);
    d.Next();
    d.Next();  // the end of the pass, and A1 again: its bookmark turns plain
  });
  EXPECT_EQ(CommentOf(d)->text, u"Query:\t\"R5\"");
  EXPECT_EQ(CommentOf(d)->fillColor, kPlain);
  EXPECT_EQ(d.Sheet().CellComment(3, 1)->text, u"Query:\t\"R5\"");
  EXPECT_FALSE(d.Sheet().CellComment(2, 1).has_value());
}

}  // namespace
}  // namespace quillary::query
