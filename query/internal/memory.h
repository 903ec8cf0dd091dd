// What the Query keeps between the Query form's events and from one Query to the next.
#pragma once

#include <cstdint>
#include <optional>

#include "host/engine_memory.h"
#include "host/state.h"
#include "platform/excel/range.h"
#include "platform/runtime/value.h"

namespace quillary::query {

// A cell of the Query's searched range: the area's index, and the row and column within
// that area, all counted from 1.
struct QueryPos {
  long Area = 1;
  long Row = 1;
  long Col = 1;
  friend bool operator==(const QueryPos&, const QueryPos&) = default;
};

// The Query's memory: the search, the duplicates walk and Replace/Undo keep it from one
// Query form event to the next (the events arrive while the Query form is shown from
// inside a request) and from one Query to the next. The State holds it for the Query
// alone: MemoryOf is its only way in.
struct QueryMemory : host::EngineMemory {
  // The Item searched (the search text trimmed; ",," for the empty Item), and the Item
  // the last hit belongs to.
  Text QueryItem;
  Text QueryItemLast;
  // The replacement text; never the hint that Textbox2 may show.
  Text ReplaceText;
  // The range searched: the selection, or the used part of the sheet; nothing while
  // it is to be taken afresh. Only held while the Query form is open.
  std::optional<xl::Range> QuerySearchArea;
  // The search step's code: 0 new search, 1 resume, 2 pass under way, 3 restart,
  // 4 resume after a wrap, 6 one cell of the duplicates walk (which reads 0 to 3 with
  // meanings of its own).
  std::int16_t SearchState = 0;
  // The cell being visited; where a pass starts and ends; the last booked hit; the
  // resume position.
  QueryPos Cursor;
  QueryPos Start;
  QueryPos SavedStart;
  QueryPos LastHit;
  // Cells found in the current pass, and that count before the current cell.
  std::int64_t QueryHitCount = 0;
  std::int64_t QueryHitCountSaved = 0;
  // A pass ended: the next hit counts as 1 of a new pass.
  bool QueryPassEnded = false;
  // The next search step goes straight to the pass end (after a not-found report).
  bool SearchAbort = false;
  // The match in the visited cell's text (0 none), and that of the last booked hit.
  std::int64_t HitPos = 0;
  std::int64_t HitPosSaved = 0;
  // The text matched at the last booked hit, and the found-at text shown for it.
  Text HitText;
  Text FoundAtText;
  // The position in QueryItem of its trailing digits (its length + 1 when none).
  std::int64_t PosInCell = 0;
  // The cell of the last booked hit holds a value that is not a text.
  bool HitNotText = false;
  // Replace and Undo: the value before the last replacement, the cell it changed, the
  // note written into its comment and the text it searched for.
  Variant UndoValue;
  Text ReplacedCellAddr;
  Text ReplaceCommentText;
  Text LastReplaceText;
  // The duplicates walk: running; the first row of the duplicates list (on the
  // working sheet); the row the next step shows; the first row of the current name;
  // the end of the list was reported.
  bool DupsWalkMode = false;
  std::optional<xl::Range> DupsListAnchor;
  long DupsListRow = 0;
  long NameStartRow = 0;
  bool DupsListEnd = false;
};

// The Query's memory in the state, created empty on first use.
QueryMemory& MemoryOf(host::State& s);

}  // namespace quillary::query
