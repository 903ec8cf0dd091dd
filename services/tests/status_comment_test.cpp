#include "services/status_comment.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "host/callbacks.h"
#include "platform/runtime/tests/expect_error.h"
#include "services/messages.h"
#include "testkit/bench.h"

namespace quillary::services {
namespace {

constexpr char16_t kSummary[] = u"Duplicates_Summary\r\nabc   2";
// The messages' words as the user reads them: tests/scenarios/get_try/status_comment.qs.
const Text kReplaceQuestion =
    u"(  ): " + host::Paragraphs({msg::kReplaceCommentMsg, msg::kReplaceCommentMsg2, msg::kReplaceCommentMsg3});

// IgnoreIndex# with Sort on and tagging off: the state in which the comment is written.
class StatusCommentTest : public ::testing::Test {
 protected:
  StatusCommentTest() { Begin(); }
  void Begin(const char16_t* mode = u"Null", bool ignoreIndex = true, bool sort = true, bool tag = false) {
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(ignoreIndex);
    b.Control(host::ctl::main::kSort).SetValue(sort);
    b.Control(host::ctl::main::kTagDuplicates).SetValue(tag);
    b.BeginRequest(mode);
    b.state.items.DupSummaryText = kSummary;
  }
  std::optional<xl::Comment> CommentAt(const char16_t* cell) { return b.Cell(cell).Comment(); }
  std::vector<addin::Message> Messages() { return b.addin.Messages(); }

  testkit::Bench b;
  xl::Range area = b.Cell(u"B2:C4");
};

TEST_F(StatusCommentTest, OnlyIgnoreIndexWithSortOnAndTaggingOffWrites) {
  const struct {
    const char* name;
    bool ignoreIndex, sort, tag;
  } cases[] = {
      {"CountIndex#", false, true, false},
      {"Sort off", true, false, false},
      {"tagging on", true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Begin(u"Null", c.ignoreIndex, c.sort, c.tag);
    StatusComment(b.state, 0, 0, area);
    EXPECT_FALSE(CommentAt(u"B2").has_value());
    EXPECT_EQ(b.state.items.DupSummaryText, u"") << "the pending text is dropped";
    EXPECT_TRUE(Messages().empty());
  }
}

TEST_F(StatusCommentTest, ANewCommentIsSizedAndLeftAsTheIndicatorSettingShows) {
  const struct {
    long indicator;
    const char16_t* mode;
    bool visible;
    bool notice;
  } cases[] = {
      {xl::xlNoIndicator, u"Null", false, true},
      {xl::xlCommentIndicatorOnly, u"Null", false, true},
      {xl::xlCommentAndIndicator, u"Null", true, true},
      {xl::xlCommentAndIndicator, u"Paste_V", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "indicator " << c.indicator << ", mode " << ToUtf8(c.mode));
    b.Cell(u"B2").ClearComments();
    b.addin.ClearLog();
    b.app->SetDisplayCommentIndicator(c.indicator);
    b.Control(host::ctl::main::kMessageLabel).SetCaption(u"");
    b.Control(host::ctl::main::kNotice).SetValue(false);
    Begin(c.mode);
    if (c.notice) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);

    StatusComment(b.state, 0, 0, area);
    const std::optional<xl::Comment> comment = CommentAt(u"B2");
    ASSERT_TRUE(comment.has_value());
    EXPECT_EQ(comment->Text(), kSummary);
    EXPECT_TRUE(comment->AutoSize());
    EXPECT_EQ(comment->Visible(), c.visible);
    EXPECT_EQ(b.Control(host::ctl::main::kMessageLabel).Caption(), u"Duplicates were found. See comment box for list.");
    EXPECT_EQ(b.Control(host::ctl::main::kNotice).Value(), Variant(true));
    EXPECT_EQ(b.state.items.DupSummaryText, u"");
    if (c.notice) {
      const Text expected = u"(  ): " + host::Paragraphs({msg::kNewCommentMsg, msg::kNewCommentMsg2});
      ASSERT_EQ(Messages().size(), 1u);
      EXPECT_EQ(Messages()[0].prompt, expected);
      EXPECT_EQ(Messages()[0].style, host::msgbox::kInformation);
    } else {
      EXPECT_TRUE(Messages().empty());
    }
  }
}

TEST_F(StatusCommentTest, TheTargetCellIsOffsetFromTheAreasFirstCell) {
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  StatusComment(b.state, 2, -1, area);
  EXPECT_TRUE(CommentAt(u"A4").has_value());
  EXPECT_FALSE(CommentAt(u"B2").has_value());
}

TEST_F(StatusCommentTest, AnExistingCommentIsReplacedOnlyWithTheUsersConsent) {
  const struct {
    const char* name;
    const char16_t* pending;
    int answer;
    std::optional<Text> text;    // the comment left on the cell
    std::optional<Text> notice;  // the closing notice
  } cases[] = {
      {"OK replaces it", kSummary, host::msgbox::kAnswerOk, Text(kSummary), std::nullopt},
      {"Cancel keeps it", kSummary, host::msgbox::kAnswerCancel, Text(u"old note"), std::nullopt},
      {"OK with nothing pending removes it", u"", host::msgbox::kAnswerOk, std::nullopt,
       u"(  ): " + Text(msg::kCommentDeletedMsg) + u" " + msg::kNoNewCommentMsg},
      {"Cancel with nothing pending keeps it", u"", host::msgbox::kAnswerCancel, Text(u"old note"), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    b.Cell(u"B2").ClearComments();
    b.Cell(u"B2").AddComment(u"old note").SetVisible(false);
    b.app->SetDisplayCommentIndicator(xl::xlCommentAndIndicator);
    b.Cell(u"E7").Select();
    b.addin.ClearLog();
    Begin();
    b.state.items.DupSummaryText = c.pending;

    // While the question is asked, the old comment shows on the active target cell.
    std::optional<bool> shownDuringQuestion;
    std::optional<Text> activeDuringQuestion;
    b.addin.QueueHook(u"ExcelMsgBox", [&](std::span<Variant>) {
      shownDuringQuestion = CommentAt(u"B2")->Visible();
      activeDuringQuestion = b.app->ActiveCell()->Address();
    });
    b.addin.QueueMessageAnswer(c.answer);
    if (c.notice) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);

    StatusComment(b.state, 0, 0, area);
    EXPECT_EQ(shownDuringQuestion, std::optional<bool>(true));
    EXPECT_EQ(activeDuringQuestion, std::optional<Text>(u"$B$2"));
    EXPECT_EQ(b.app->ActiveCell()->Address(), u"$E$7") << "the user's cell is active again";
    const std::optional<xl::Comment> comment = CommentAt(u"B2");
    EXPECT_EQ(comment ? std::optional<Text>(comment->Text()) : std::nullopt, c.text);
    if (comment) {
      EXPECT_FALSE(comment->Visible()) << "left as the old comment was";
    }
    EXPECT_EQ(b.state.items.DupSummaryText, u"");

    const std::vector<addin::Message> shown = Messages();
    ASSERT_EQ(shown.size(), c.notice ? 2u : 1u);
    EXPECT_EQ(shown[0].prompt, kReplaceQuestion);
    EXPECT_EQ(shown[0].style, host::msgbox::kOkCancel);
    if (c.notice) {
      EXPECT_EQ(shown[1].prompt, *c.notice);
      EXPECT_EQ(shown[1].style, host::msgbox::kInformation);
    }
  }
}

TEST_F(StatusCommentTest, NothingPendingAndNoCommentOnlyTellsTheUser) {
  b.state.items.DupSummaryText.clear();
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  StatusComment(b.state, 0, 0, area);
  EXPECT_FALSE(CommentAt(u"B2").has_value());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].prompt, u"(  ): " + Text(msg::kNoNewCommentMsg));

  // Outside mode "Null" nothing is said.
  Begin(u"Paste_V");
  b.state.items.DupSummaryText.clear();
  b.addin.ClearLog();
  StatusComment(b.state, 0, 0, area);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(StatusCommentTest, ALockedCellOnAProtectedSheetIsRefused) {
  b.Cell(u"C3").SetLocked(false);
  b.book->ActiveSheet().Protect();
  const struct {
    const char16_t* mode;
    int rowOffset, columnOffset;
    bool written;
  } cases[] = {
      {u"Null", 0, 0, false},     // B2: locked
      {u"Paste_V", 0, 0, false},  // the refusal is shown in every mode
      {u"Paste_V", 1, 1, true},   // C3: unlocked
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << ToUtf8(c.mode) << " " << c.rowOffset << "," << c.columnOffset);
    b.addin.ClearLog();
    Begin(c.mode);
    if (!c.written) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    StatusComment(b.state, c.rowOffset, c.columnOffset, area);
    const xl::Range target = area.Cells(1, 1).Offset(c.rowOffset, c.columnOffset);
    EXPECT_EQ(target.Comment().has_value(), c.written);
    EXPECT_EQ(b.state.items.DupSummaryText, u"");
    if (!c.written) {
      ASSERT_EQ(Messages().size(), 1u);
      const Text title = c.mode == Text(u"Null") ? u"(  ): " : u"( Paste V ): ";
      EXPECT_EQ(Messages()[0].prompt, title + msg::kProtectedCellMsg);
      EXPECT_EQ(Messages()[0].style, host::msgbox::kInformation);
    } else {
      EXPECT_TRUE(Messages().empty());
    }
  }
}

TEST_F(StatusCommentTest, ThePendingTextIsDroppedWhenWritingFails) {
  b.app->InjectFailure("Range.AddComment", err::kApplication, "no room");
  check::ExpectRaises([&] { StatusComment(b.state, 0, 0, area); }, err::kApplication, "StatusComment: ");
  EXPECT_EQ(b.state.items.DupSummaryText, u"");
}

}  // namespace
}  // namespace quillary::services
