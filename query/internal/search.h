// The Query's search step: the walk over the searched range cell by cell, from the
// cursor to the next cell that holds the Item, and what happens when a pass ends.
#pragma once

#include <cstdint>

#include "host/state.h"
#include "platform/excel/excel.h"
#include "query/internal/memory.h"

namespace quillary::query {

// The codes of QueryMemory::SearchState as the search step reads them when it starts.
namespace search_state {
inline constexpr std::int16_t kNew = 0;              // take the range afresh, start at the Start cell
inline constexpr std::int16_t kResume = 1;           // go on from the resume position
inline constexpr std::int16_t kUnderWay = 2;         // a pass is under way: it ends at the Start cell
inline constexpr std::int16_t kRestart = 3;          // back to the Start cell, hit counts 0
inline constexpr std::int16_t kResumeAfterWrap = 4;  // go on from the resume position, pass under way
inline constexpr std::int16_t kDuplicateCell = 6;    // examine the one listed cell of the duplicates walk
}  // namespace search_state

// One step of the search: walks from the cursor to the next cell that holds the Item
// (Textbox1's text), shows it and updates the Query form, or reports the end of a pass:
// with hits the end-of-pass dialog, after which the walk starts over from the pass's
// first hit; without hits a message saying why nothing was found. In the duplicates
// walk it examines the one cell at the cursor. Polls the break key and shows progress.
void NextButtonSub(host::State& s);

// The notice for an Item whose trailing number has 15 or more digits in CountIndex#.
void TooBigNum_Srch(host::State& s);

// The Start cell of a search over the used part of the sheet, `range`, for the active
// cell at (activeRow, activeCol): the active cell's place when it lies inside the range,
// else the nearest cell of the range on its row or column (the first cell when it lies
// above). `firstMerge` is the merged area holding the range's first cell (that cell
// alone when it is not merged). Always a cell of the range.
QueryPos WholeSheetStart(const xl::Area& range, const xl::Area& firstMerge, long activeRow, long activeCol);

}  // namespace quillary::query
