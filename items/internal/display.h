// The hand-over from the count phase of ItemsSortCntDsply to its display phase, which
// turns the counted list into the Active Window text. Internal to the Item engine.
#pragma once

#include <cstdint>
#include <optional>

#include "host/state.h"
#include "items/internal/dup_report.h"
#include "items/request_options.h"
#include "platform/excel/excel.h"

namespace quillary::items {

// The duplicate fault a sort and count found.
enum class FaultKind {
  kNone = 0,
  kDuplicate = 1,             // FaultMsg " Duplicate"
  kPrefixWithAndWithout = 2,  // FaultMsg "Prefix with and without Index#"
};

// What the count phase leaves for the display phase.
struct CountHandOver {
  // The cell whose column +2 holds the list to show (the SideList start, or in
  // IgnoreIndex# mode the list anchor itself).
  std::optional<xl::Range> displayAnchor;
  // IgnoreIndex# mode with CheckBox4 enabled and ticked.
  bool tagDuplicates = false;
  FaultKind faultKind = FaultKind::kNone;
  // CountIndex#: the index numbers the list covers (a range counts as its width);
  // IgnoreIndex#: set by the display phase to the rows shown.
  std::int64_t itemCount = 0;
  // The counted list had no Item rows.
  bool listWasEmpty = false;
  // At a fault of the count: the trimmed prefix and the first index number (as text)
  // of the row at which the walk stopped.
  Text faultPrefix;
  Text faultIndex;
  // IgnoreIndex# with the Sort option: the DupsList the walk wrote, kept in hand for the
  // summary (none when the walk met an Item it does not keep).
  std::optional<DupRuns> dupRuns;
};

// Builds DisplayText from the hand-over, shows it (or a help text, or the duplicates
// summary) in the Active Window and sets ItemCountText. On a user abort it returns at
// once without showing anything.
void DisplayCountedList(host::State& s, const RequestOptions& o, const Text& listName, CountHandOver& h);

}  // namespace quillary::items
