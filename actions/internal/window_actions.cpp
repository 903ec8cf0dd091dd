// "Clear Active Window", "Comments: Re-Position", "Wrap Text||  Clear" and
// "WrapTextFirm/ Reveal".
#include <vector>

#include "actions/internal/inline_actions.h"
#include "actions/internal/messages.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"

namespace quillary::actions::internal {

namespace {

// Comment boxes are placed this far (points) below the cell's top and right of its
// right edge; a box narrower or lower than kSmallBox is fitted to its text once.
constexpr double kCommentGap = 5;
constexpr double kSmallBox = 12;

// A cell whose value is longer than this is marked by "WrapTextFirm/ Reveal".
constexpr std::size_t kFirmTextLength = 1000;

bool HoldsLineBreak(const Text& text) { return text.find_first_of(u"\r\n") != Text::npos; }

}  // namespace

void ClearActiveWindow(host::State& s) {
  forms::Control& window = *s.request.ActiveWndw;
  window.SetValue(Text());
  // Activating the other box and then this one again makes the host show the empty
  // text in the box that stays active.
  if (&window == &s.Control(host::ctl::main::kTextbox1)) {
    host::TextBox2Activate(s);
    host::TextBox1Activate(s);
  } else {
    host::TextBox1Activate(s);
    host::TextBox2Activate(s);
  }
}

void CommentsRePosition(ActionRun& run) {
  xl::Application& app = run.s.App();
  for (const xl::Range& cell : run.Sheet().Comments()) {
    if (!app.Intersect(cell, run.selection)) continue;
    const xl::Comment comment = *cell.Comment();
    comment.SetTop(cell.Top() + kCommentGap);
    // Beside the cell's right edge, measured from the cell itself: the sheet's last
    // column has no neighbour to measure from.
    comment.SetLeft(cell.Left() + cell.Width() + kCommentGap);
    if (comment.Width() < kSmallBox || comment.Height() < kSmallBox) {
      comment.SetAutoSize(true);
      comment.SetAutoSize(false);
    }
  }
}

void WrapTextClear(ActionRun& run) {
  host::State& s = run.s;
  s.RestartClock();
  run.selection.SetWrapText(false);
  run.selection.AutoFitRows();

  enum class Answer { kNotAsked, kReplace, kLeave };
  Answer answer = Answer::kNotAsked;
  (void)WalkCells(run, [&](const xl::Range& cell) {
    const Variant value = cell.Value();
    if (!value.IsText() || cell.HasFormula()) return host::Proceed::kGoOn;
    Text text = value.AsText();
    if (answer == Answer::kNotAsked && HoldsLineBreak(text)) {
      host::ScreenOn(s);
      cell.Activate();
      const Text question = ActionMessage(s, TitleForm::kColon, msg::kLineBreaksFound,
                                          {Text(msg::kLineBreaksLookLikeSquares) + u" " + msg::kUnwrapKeepsLineBreaks,
                                           msg::kLineBreaksToCommas, msg::kLineBreaksKept});
      answer = host::MsgBoxDLL(s, question, host::msgbox::kYesNo) == host::msgbox::kAnswerYes ? Answer::kReplace
                                                                                              : Answer::kLeave;
    }
    if (answer == Answer::kNotAsked) return host::Proceed::kGoOn;
    if (answer == Answer::kLeave) return host::Proceed::kStop;
    if (HoldsLineBreak(text)) {
      host::ReplaceItRef(text, u"\r\n", u",");
      host::ReplaceItRef(text, u"\n", u",");
      WriteTextCell(cell, text, true);
    }
    return host::Proceed::kGoOn;
  });
}

void WrapTextFirmReveal(ActionRun& run) {
  run.s.RestartClock();
  // The marked cells, as runs of cells down a column (the walk goes down each column).
  std::vector<xl::Area> marked;
  const host::Proceed walked = WalkCells(run, [&](const xl::Range& cell) {
    const Variant value = cell.Value();
    if (!value.IsText() || value.AsText().size() <= kFirmTextLength) return host::Proceed::kGoOn;
    const long row = cell.Row(), col = cell.Column();
    if (!marked.empty() && marked.back().col1 == col && marked.back().row2 + 1 == row) {
      marked.back().row2 = row;
    } else {
      marked.push_back({row, col, row, col});
    }
    return host::Proceed::kGoOn;
  });
  if (walked == host::Proceed::kStop || marked.empty()) return;
  xl::Range(run.Sheet(), std::move(marked)).Interior().SetPattern(xl::xlPatternGray16);
}

}  // namespace quillary::actions::internal
