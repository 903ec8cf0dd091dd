// The answer of a check or step that callers must act on: go on, or stop (the user was
// told why, or asked to stop). The compiler refuses a call whose answer is dropped.
#pragma once

namespace quillary::host {

enum class [[nodiscard]] Proceed{kGoOn = 0, kStop = 1};

}  // namespace quillary::host
