// The clipboard staging: a result text is put on the clipboard (Unicode text, ready for
// the user to paste) and pasted at the working sheet's landing cell "ExcelPaste" (J1),
// which shows how the spreadsheet takes it: one cell, or several rows.
//
// Line breaks (Chr(10)) start new rows. Whether Tabs split columns follows the
// delimiter settings the application remembers from its last TextToColumns: the staging
// switches Tabs off before its own paste, so that the paste stays in column J and never
// reaches list 2 in column K, and afterwards leaves them as `State::TabSplitPaste` asks
// for the user's next paste. A one-line text is pasted into "@" (text) cells and its
// height goes to `State::PasteRowCount` (a text longer than a cell holds continues in
// the cells below, so a height of 2 or more means it does not fit one cell); a text of
// several lines is pasted into "General" cells and leaves PasteRowCount alone.
//
// The clipboard is shared with other programs and may refuse a call: setting the text
// and pasting it are each tried at most kClipboardTries times.
#pragma once

#include <cstdint>

#include "host/state.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"

namespace quillary::services {

// Attempts at setting the clipboard, and at pasting it, before the staging gives up.
inline constexpr int kClipboardTries = 49;

// Runs `step` until it raises no Error, at most kClipboardTries times; false when every
// try failed (the clipboard stayed busy).
template <class Step>
bool RetryClipboard(Step&& step) {
  for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
    if (!Attempt(step)) return true;
  }
  return false;
}

// What a staging did. Callers that report "ready for pasting" must test for kStaged.
enum class Staging {
  // The text is on the clipboard and pasted at ExcelPaste (PasteRowCount measured for
  // a one-line text).
  kStaged,
  // The text was empty: the clipboard was emptied; the working sheet is untouched.
  kCleared,
  // No active workbook, or the active sheet's contents are protected: nothing was done
  // (the caller reports the protection).
  kNotStaged,
  // The clipboard refused the text kClipboardTries times: nothing was pasted, the paste
  // column and PasteRowCount are as they were, and the clipboard may hold anything (the
  // earlier text, or nothing). The caller must report that the clipboard could not be
  // set.
  kClipboardFailed,
  // The text is on the clipboard, but the paste onto the working sheet failed
  // kClipboardTries times: the paste column does not show the text, and PasteRowCount
  // is as it was.
  kPasteFailed,
};

// Whether a staging honours the protection of the user's active sheet.
enum class OnProtectedSheet {
  // Nothing is staged (the calling driver reports the protection).
  kLeaveAlone,
  // Staged all the same: the working sheet itself is never protected.
  kStage,
};

// Stages `text`. With State::JoinCellsUsed the placeholders of joined cells are turned
// back first (outside "COMPARE 2/Uniques" also the double quotes the join put around
// cells). Afterwards the staged paste is cleared again when it took two rows or more
// and the big message form was last answered with its OK button (not in "Paste Safe To
// Cursor"), and the remembered Tab setting is left as State::TabSplitPaste.
[[nodiscard]] Staging Clipbrd_Into(host::State& s, const Text& text,
                                   OnProtectedSheet onProtected = OnProtectedSheet::kLeaveAlone);
// The same for a text the caller gives away: the clipboard takes it over rather than a
// copy of it (a list of millions of characters is then held once less).
[[nodiscard]] Staging Clipbrd_Into(host::State& s, Text&& text,
                                   OnProtectedSheet onProtected = OnProtectedSheet::kLeaveAlone);

// The rows a one-line paste at `landing` (ExcelPaste) took: the landing cell alone on a
// sheet used over one row, else down to the last filled cell of its column.
std::int64_t PastedRows(xl::Worksheet& sheet, const xl::Range& landing);

// Empties the clipboard (not retried: a refusal is raised to the caller).
void Clipboard_Clear(host::State& s);

// Clears the staged paste: ExcelPaste and the cells below it over the working sheet's
// used height.
void ExcelPasteClear(host::State& s);

// Leaves the application's remembered TextToColumns settings at "delimited, no text
// qualifier, only Tab as delimiter, and only when tabOn": a TextToColumns on the
// ExcelPaste cell, whose content, formats and neighbours are left as they were. Does
// nothing without an active workbook or in mode "ShutDown".
void TextToColSetting(host::State& s, bool tabOn);

}  // namespace quillary::services
