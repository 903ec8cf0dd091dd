// Replace in the found cell, its note in the cell's comment, and Undo.
#include <gtest/gtest.h>

#include "platform/runtime/tests/expect_error.h"
#include "query/internal/memory.h"
#include "query/messages.h"
#include "query/tests/desk.h"

namespace quillary::query {
namespace {

using testing::Desk;
using testing::ItemMode;
namespace ctl = host::ctl;

// Finds `search` in A1 (beside an empty A2) and presses Replace with `replacement`,
// running `afterReplace` while the form is still shown.
void FindAndReplace(Desk& d, const Variant& cell, TextView search, TextView replacement,
                    const std::function<void()>& afterReplace = {}) {
  d.Type(u"A1", cell);
  d.Select(u"A1:A2");
  d.Search(search);
  d.Replacement(replacement);
  d.Open([&] {
    ASSERT_EQ(d.Next(), u"$A$1");
    d.Event(u"ReplaceButtonClick");
    if (afterReplace) afterReplace();
  });
}

TEST(QueryReplace, OnlyTheOccurrenceFoundChanges) {
  const struct {
    const char* what;
    ItemMode mode;
    Variant cell;
    const char16_t* search;
    const char16_t* replacement;
    Variant result;
  } cases[] = {
      {"the bounded occurrence in the middle", ItemMode::kIgnoreIndex, u"xab, ab, ab", u"ab", u"cd", u"xab, cd, ab"},
      {"removal in IgnoreIndex# takes out the Item", ItemMode::kIgnoreIndex, u"pear, apple", u"apple", u"", u"pear,"},
      {"the high end of a range, without its hyphen", ItemMode::kCountIndex, u"R1-R10, C5", u"R10", u"R12",
       u"R1-R12, C5"},
      {"removing a high end takes its hyphen with it", ItemMode::kCountIndex, u"R1-R10, C5", u"R10", u"", u"R1, C5"},
      {"a token after a blank", ItemMode::kCountIndex, u"R1 R05 R5", u"R5", u"R6", u"R1 R6 R5"},
      {"a number cell stays a number", ItemMode::kIgnoreIndex, 12, u"12", u"1.5E3", 1500},
      {"a number cell with a letter becomes text", ItemMode::kIgnoreIndex, 12, u"12", u"13a", u"13a"},
      {"a number cell and a number with a thousands separator", ItemMode::kIgnoreIndex, 12, u"12", u"1,234", 1234},
      {"removing the whole text empties the cell", ItemMode::kIgnoreIndex, u"apple", u"apple", u"", Variant()},
  };
  for (const auto& c : cases) {
    Desk d(c.mode);
    FindAndReplace(d, c.cell, c.search, c.replacement);
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), c.result) << c.what;
    EXPECT_EQ(d.Caption(ctl::query::kReplaceButton), u"Undo") << c.what;
    EXPECT_FALSE(d.C(ctl::query::kTextbox2).Enabled()) << c.what;
    EXPECT_EQ(d.Lamp(), u"off") << c.what;
  }
}

TEST(QueryReplace, TheNoteGoesIntoTheCommentAndUndoTakesItOut) {
  for (const bool olderComment : {false, true}) {
    Desk d(ItemMode::kIgnoreIndex);
    if (olderComment) d.Sheet().Range(u"A1").AddComment(u"checked");
    Variant replaced, undone;
    std::optional<Text> note;
    FindAndReplace(d, u"x, old, y", u"old", u"new", [&] {
      replaced = d.Sheet().Range(u"A1").Value();
      note = d.Sheet().Range(u"A1").Comment()->Text();
      d.Event(u"ReplaceButtonClick");
      undone = d.Sheet().Range(u"A1").Value();
      EXPECT_EQ(d.Caption(ctl::query::kReplaceButton), u"Replace");
      EXPECT_EQ(d.Lamp(), u"on");
      EXPECT_TRUE(d.C(ctl::query::kTextbox2).Enabled());
    });
    EXPECT_EQ(replaced, Variant(u"x, new, y"));
    EXPECT_EQ(undone, Variant(u"x, old, y"));
    const Text line = u"repl'd: \"old\" \"new\"";
    EXPECT_EQ(note, olderComment ? Text(u"checked\n") + line : line);
    const auto comment = d.Sheet().Range(u"A1").Comment();
    if (olderComment) {
      ASSERT_TRUE(comment.has_value());
      EXPECT_EQ(comment->Text(), u"checked");
    } else {
      EXPECT_FALSE(comment.has_value()) << "a comment of the note alone goes";
    }
  }
}

TEST(QueryReplace, OnAProtectedSheetTheReplacementCompletesOrChangesNothing) {
  const struct {
    const char* what;
    bool locked;        // A1 locked on the protected sheet
    bool commentFails;  // the application refuses the note's comment
    bool replaced;      // the replacement is booked
    long error;         // the error Replace ends with, 0 none
  } cases[] = {
      {"an unlocked cell where formatting is not allowed", false, false, true, 0},
      {"a locked cell, where the search offers no Replace", true, false, false, 0},
      {"a comment the application refuses", false, true, false, 1004},
  };
  for (const auto& c : cases) {
    Desk d;
    const xl::Range cell = d.Sheet().Range(u"A1");
    d.Type(u"A1", u"R1, R5");
    cell.SetHorizontalAlignment(xl::xlRight);
    cell.SetLocked(c.locked);
    d.Sheet().Protect({.AllowFormattingCells = false});
    if (c.commentFails) d.b.app->InjectFailure("Range.AddComment", 1004, "comments are protected");
    d.Select(u"A1:A2");
    d.Search(u"R5");
    d.Replacement(u"R6");
    long error = -1;
    Variant value;
    std::optional<Text> note;
    Text caption;
    d.Open([&] {
      ASSERT_EQ(d.Next(), u"$A$1");
      error = check::ErrorOf([&] { d.Event(u"ReplaceButtonClick"); });
      value = cell.Value();
      if (const auto comment = cell.Comment()) note = comment->Text();
      caption = d.Caption(ctl::query::kReplaceButton);
      if (c.replaced) d.Event(u"ReplaceButtonClick");  // Undo
    });
    EXPECT_EQ(error, c.error) << c.what;
    if (c.replaced) {
      EXPECT_EQ(value, Variant(u"R1, R6")) << c.what;
      EXPECT_EQ(note, Text(u"repl'd: \"R5\" \"R6\"")) << c.what;
      EXPECT_EQ(caption, u"Undo") << c.what;
    } else {
      EXPECT_EQ(value, Variant(u"R1, R5")) << c.what;
      EXPECT_FALSE(note.has_value()) << c.what;
      EXPECT_EQ(caption, u"Replace") << c.what;
    }
    // Undone, or never changed: the cell as it was.
    EXPECT_EQ(cell.Value(), Variant(u"R1, R5")) << c.what;
    EXPECT_FALSE(cell.Comment().has_value()) << c.what;
    EXPECT_EQ(cell.HorizontalAlignment(), Variant(xl::xlRight)) << c.what;
  }
}

TEST(QueryReplace, AChangeOfCaseInIgnoreIndexIsBookedAndCanBeUndone) {
  Desk d(ItemMode::kIgnoreIndex);
  FindAndReplace(d, u"ABC, x", u"abc", u"abc", [&] {
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), Variant(u"abc, x"));
    EXPECT_EQ(d.Caption(ctl::query::kReplaceButton), u"Undo");
    d.Event(u"ReplaceButtonClick");
  });
  EXPECT_EQ(d.Sheet().Range(u"A1").Value(), Variant(u"ABC, x"));
  EXPECT_TRUE(d.Messages().empty());
}

TEST(QueryReplace, NoChangeMessages) {
  const struct {
    const char* what;
    ItemMode mode;
    Variant cell;
    const char16_t* search;
    const char16_t* replacement;
    Text message;
  } cases[] = {
      {"the same text", ItemMode::kIgnoreIndex, u"abc", u"abc", u"abc", msg::SameTextText(false)},
      {"the same range end in CountIndex#", ItemMode::kCountIndex, u"R1-R10", u"R10", u"R10", msg::SameTextText(true)},
      {"a number written as another text of the same number", ItemMode::kIgnoreIndex, 12, u"12", u"12.0",
       msg::NoChangeText()},
  };
  for (const auto& c : cases) {
    Desk d(c.mode);
    d.b.addin.QueueMessageAnswer(1);
    FindAndReplace(d, c.cell, c.search, c.replacement);
    EXPECT_EQ(d.Messages(), std::vector<Text>{c.message}) << c.what;
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), c.cell) << c.what;
    EXPECT_FALSE(d.Sheet().Range(u"A1").Comment().has_value()) << c.what;
    EXPECT_EQ(d.Caption(ctl::query::kReplaceButton), u"Replace") << c.what;
  }
}

TEST(QueryReplace, AnEditedSearchTextOrADisabledButtonChangesNothing) {
  Desk d;
  FindAndReplace(d, u"R5, R6", u"R5", u"R7", [&] {
    d.Event(u"ReplaceButtonClick");  // Undo
    d.Search(u"R6");
    d.Event(u"ReplaceButtonClick");
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), Variant(u"R5, R6"));
    EXPECT_FALSE(d.C(ctl::query::kReplaceButton).Enabled());
    EXPECT_EQ(d.Lamp(), u"off");
    EXPECT_EQ(MemoryOf(d.b.state).SearchState, 3);
    // The host sends no press of a disabled button; one that comes anyway does nothing.
    d.Search(u"R5");
    d.Event(u"ReplaceButtonClick");
    EXPECT_EQ(d.Sheet().Range(u"A1").Value(), Variant(u"R5, R6"));
    // The next Next finds R6 afresh, from the start cell.
    d.Search(u"R6");
    EXPECT_EQ(d.Next(), u"$A$1");
    EXPECT_EQ(d.Caption(ctl::query::kLabel5), u" R6");
  });
}

}  // namespace
}  // namespace quillary::query
