#include "cli/overwriting_questions.h"

#include <algorithm>

#include "blocks/messages.h"
#include "cli/answers.h"
#include "host/callbacks.h"
#include "parser/messages.h"
#include "services/messages.h"
#include "services/status_comment.h"

namespace quillary::cli {

namespace {

namespace mb = host::msgbox;

// A comment that the status comment box wrote: the Duplicates_Summary of a run.
bool StatusCommentBox(const std::optional<Text>& comment) {
  return comment && comment->starts_with(u"Duplicates_Summary");
}

// Each question by words only its text holds, the answer that writes and what it does,
// and when that loses nothing of the user's after all.
struct Question {
  TextView words;
  int code;
  std::string_view does;
  bool (*harmless)(const std::optional<Text>& activeComment) = nullptr;
  int unattended = 0;
};

constexpr Question kQuestions[] = {
    // The block engine's destination and the hyperlink actions' destination.
    {u"Clicking OK erases the selection before writing.", mb::kAnswerOk,
     "clears and writes over the cells beside the selection that hold data"},
    // The tag column of the tagging and of clearing old tags.
    {u"But cells in the area to the right of this selection are not all empty", mb::kAnswerYes,
     "clears the cells right of the selection"},
    // LastWord First's output beside the selection.
    {u"cells to the right that are not empty and will be overwritten if you select OK", mb::kAnswerOk,
     "writes over the cells right of the selection"},
    // The result-sheet actions' rows written at the cursor.
    {u"some existing contents to the right of the selected area will be overwritten", mb::kAnswerOk,
     "writes over the cells right of the selection"},
    // The status comment box over a comment of the user's.
    {services::msg::kReplaceCommentMsg3, mb::kAnswerOk, "deletes the comment of the selection's top-left cell",
     &StatusCommentBox},
    // The parser's target sheet.
    {parser::msg::kSheetInUse4, mb::kAnswerYes, "writes over the cells of that worksheet"},
    // TRAVEL past the end of the list.
    {blocks::msg::kContinueDownward, mb::kAnswerOk, "writes a result beside the empty block below and goes on down",
     nullptr, mb::kAnswerCancel},
};

}  // namespace

std::optional<OverwritingAnswer> OverwritingAnswerOf(TextView prompt, long style,
                                                     const std::optional<Text>& activeComment) {
  const std::vector<Choice> buttons = MessageChoices(style);
  for (const Question& q : kQuestions) {
    if (prompt.find(q.words) == TextView::npos) continue;
    if (std::none_of(buttons.begin(), buttons.end(), [&](const Choice& c) { return c.code == q.code; })) continue;
    if (q.harmless != nullptr && q.harmless(activeComment)) continue;
    return OverwritingAnswer{q.code, q.does, q.unattended};
  }
  return std::nullopt;
}

}  // namespace quillary::cli
