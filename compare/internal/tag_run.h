// One tagging call: what the set-up settles before the walk over the list rows, and
// what the walk leaves for the difference report.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::compare {

// The tag column's state in one call: not decided yet, cleared (tags may be written),
// or not cleared (the user said No, or the clearing failed).
enum class TagAreaState { kUndecided, kCleared, kNotCleared };

struct TagRun {
  explicit TagRun(host::State& state, Text list) : s(state), listName(std::move(list)) {}

  host::State& s;
  Text listName;
  // The list's anchor on the working sheet and its rows.
  std::optional<xl::Range> listAnchor;
  std::int64_t listRows = 0;
  // Side b is the right (or lower) area, list "unique1"; side a the other.
  bool sideB = false;
  // No tag label of any kind is wanted.
  bool tagsOff = false;
  // The selection had two areas (a comparison).
  bool twoAreas = false;
  // The area whose cells the list rows come from, and the width of its top-left merged
  // block.
  std::optional<xl::Range> taggedArea;
  long topLeftMergeCols = 1;
  // Comparison only: the areas sit side by side (touching, or one column apart with the
  // report wanted) and share a row.
  bool areasAdjacent = false;
  bool tagsBlockedByNeighbour = false;
  bool reportNoLeftColumn = false;
  bool reportLeftColumn = false;
  bool tagsBlockedBySheetEnd = false;
  // The column just right of the area, over its rows; none when the area ends in the
  // sheet's last column.
  std::optional<xl::Range> tagArea;
  TagAreaState tagAreaState = TagAreaState::kUndecided;
  // The report stage wrote rows onto the report sheet in this call.
  bool reportWrote = false;
  // The source positions of the list's rows as the walk read them, when its tags went
  // onto another sheet than the list's: the list's sort by position then only reorders
  // them, and the report takes them in worksheet order.
  std::optional<std::vector<xl::CellPos>> positions;
  // The label the messages quote: the side's tag label in a comparison, the area's
  // address for one area.
  Text label;

  // Tags (labels, comment boxes) may go beside the area in this call.
  bool TagsPlaced() const {
    return !tagsOff && !tagsBlockedByNeighbour && !tagsBlockedBySheetEnd && tagAreaState == TagAreaState::kCleared;
  }
};

// The source cell of each list row (column +7 in IgnoreIndex#, +1 in CountIndex#), as
// its worksheet position.
std::vector<xl::CellPos> SourcePositions(const TagRun& run);
// The same, as the walk kept them when it could (`read` holds them otherwise).
const std::vector<xl::CellPos>& KeptPositions(const TagRun& run, std::vector<xl::CellPos>& read);

// The difference report stage: the rows of the worksheet that hold the list's Items are
// copied onto the report sheet, one report row per worksheet row (the list is read in
// worksheet order), below a header row, and coloured as the side's window. Returns false
// when the break key stopped it.
bool WriteDiffReport(TagRun& run);

}  // namespace quillary::compare
