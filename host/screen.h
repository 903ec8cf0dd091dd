// Screen updating and cursor switching, and the protection guards that actions consult
// before they add sheets or format cells. None of these traps errors: a failure goes to
// the caller's trail.
#pragma once

#include "host/state.h"

namespace quillary::host {

// Screen updating on, default cursor.
void ScreenOn(State& s);
// Screen updating off, wait cursor.
void ScreenOff(State& s);
// Screen updating as the host wishes it (the mail box's OnScreenX flag); the wait cursor
// while updating stays off.
void ScreenRestore(State& s);

// kStop (after telling the user) when the active workbook's structure or windows are
// protected, so that no sheet can be added; otherwise kGoOn.
Proceed WorkbookProtectedCheck(State& s);
// The paragraphs of its message.
inline constexpr char16_t kWorkbookProtectedMsg[] =
    u"This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.";
inline constexpr char16_t kWorkbookProtectedMsg2[] = u"This Action will NOT execute.";

// kStop (after the same message) when the active workbook has no working sheet yet and
// its structure is protected, so that the sheet the Item lists live on cannot be
// added; otherwise kGoOn. The requests that keep lists there ask it before they change
// anything.
Proceed WorkingSheetCheck(State& s);

// True when the active sheet's contents are protected and formatting is not allowed (an
// application before version 10 cannot allow it). No message.
[[nodiscard]] bool SheetProtectedCheck(State& s);

}  // namespace quillary::host
