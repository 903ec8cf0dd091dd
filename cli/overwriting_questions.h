// The component's questions one of whose answers writes over, clears or deletes what
// the user's cells hold: a destination beside the selection that is not empty, a tag
// column, a worksheet that already holds data, a cell's comment. The host must know
// them: an unattended run never takes such an answer as a default, and the prompt at a
// terminal says which answer writes over cells.
//
// One question of the block engine goes on writing rather than writing over: whether to
// go on down the sheet past an empty block. Its OK writes a result beside the empty
// block and asks again at the next one, to the sheet's end; an unattended run answers
// Cancel instead, ending where the list ends, as the engine does when it runs unattended.
//
// The questions whose answers only rewrite the texts of the selected cells in the way
// the chosen action does (hard line-breaks or parentheses made commas) are not among
// them: they keep the Items. Nor is the status comment box's question when the comment
// it replaces is an earlier status comment (a Duplicates_Summary the component wrote).
#pragma once

#include <optional>
#include <string_view>

#include "platform/runtime/value.h"

namespace quillary::cli {

// The answer of a message that writes over cells, and what it does ("clears the cells
// right of the selection"), to follow the answer's word.
struct OverwritingAnswer {
  int code;
  std::string_view does;
  // The answer an unattended run takes where `code` is the default; 0: none, the run
  // stops at the question.
  int unattended = 0;
};

// The answer that writes over cells, when `prompt` is one of those questions and the
// buttons of `style` hold that answer. `activeComment` is the text of the comment of the
// cell the question is asked on (the active cell), if it has one.
std::optional<OverwritingAnswer> OverwritingAnswerOf(TextView prompt, long style,
                                                     const std::optional<Text>& activeComment);

}  // namespace quillary::cli
