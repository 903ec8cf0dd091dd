// The texts of the block engine's questions that a host must know by their words.
#pragma once

namespace quillary::blocks::msg {

// The writer's question in TRAVEL when the block below the one just written is empty
// (after the title "( mode ): "): OK goes on down the sheet, Cancel ends the run there.
inline constexpr char16_t kContinueDownward[] = u"OK to continue processing downward?";

}  // namespace quillary::blocks::msg
