// The Query form's texts and colours, and the small steps on the form and the sheet
// that every Query routine shares.
#pragma once

#include <cstdint>

#include "host/state.h"
#include "platform/excel/excel.h"
#include "query/internal/memory.h"

namespace quillary::query {

// The hint Textbox2 shows for a hit inside a range; never taken as a replacement.
inline constexpr char16_t kSubtractHint[] = u"To remove, try Quillary Subtract.";
// CaptionLabel: the Find Item mode (the short caption begins the long one).
inline constexpr char16_t kQueryItemCaption[] = u"Quillary Query Item";
inline constexpr char16_t kQueryItemHotkeyCaption[] = u"Quillary Query Item  Ctrl+Q/Alt+Q";
// Label1 of the Find Item mode and of the duplicates walk.
inline constexpr char16_t kFindItemLabel[] = u"Find Item:";
inline constexpr char16_t kDuplicateItemLabel[] = u"Duplicate Item:";
inline constexpr char16_t kReplaceWithLabel[] = u"Replace with:";
// Label7's notes.
inline constexpr char16_t kBeginningNote[] = u"Beginning of cells found having this Item.";
inline constexpr char16_t kSameCellNote[] = u"Found within same cell as previous.";
// ReplaceButton's two captions.
inline constexpr char16_t kReplaceCaption[] = u"Replace";
inline constexpr char16_t kUndoCaption[] = u"Undo";

// Label3, the lamp: off (not found, or changed) and on (the active cell is the found
// cell). Label4's fore colour: plain, and for a hit inside a range.
inline constexpr long kLampOff = 0x40C0;
inline constexpr long kLampOn = 0xC0FFC0;
inline constexpr long kLabel4Plain = 0xC0C0C0;
inline constexpr long kLabel4InsideRange = 0xC0FFC0;

inline constexpr char16_t kQuote = u'"';

// A cell value as the Query reads it: its text, a number as the language writes it;
// error values and empty cells read as "".
Text CellString(const Variant& value);

// `text` contains `part` (exactly) / begins with `prefix` without regard to case.
bool Contains(TextView text, TextView part);
bool ContainsNoCase(TextView text, TextView part);
bool BeginsNoCase(TextView text, TextView prefix);

// Textbox2 shows the Subtract hint.
bool ShowsHint(const forms::Control& box);
// Selects all of a text box's text.
void SelectAll(forms::Control& box);
// Selects all of a text box's text and gives it the focus.
void SelectAllAndFocus(forms::Control& box);
// A text's last two characters, when they are a carriage return and a line feed, go.
Text WithoutTrailingLineBreak(Text text);

// The window's selection and active cell; Error 91 when there is none.
xl::Range Selection(host::State& s);
xl::Range ActiveCell(host::State& s);

// The position of `cell` in `areas`: the first area that holds it, and its row and
// column there. A cell that no area holds is placed on the nearest cell of area 1.
QueryPos Locate(const xl::Range& areas, const xl::Range& cell);

// The cell at `p` of `areas`.
xl::Range CellAt(const xl::Range& areas, const QueryPos& p);

// The Item mode's text on the Query form and the end dialog.
Text ModeText(const host::State& s);

}  // namespace quillary::query
