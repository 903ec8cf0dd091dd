// The values one run of the block engine shares between its steps: taken at entry,
// read by the start checks, the passes and the end of the run.
#pragma once

#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::blocks {

struct BlockRun {
  // The selection's first area at entry: the shape of every block. Never moved.
  xl::Range BlockArea;
  // The active cell at entry; afterwards the top-left cell of the last pass.
  xl::Range topLeft;
  // The Action list's text at entry.
  Text actionList;
  // JoinCells.Enabled at entry, put back when the run ends.
  bool joinCellsEnabled = false;
  // Sort and duplicate tagging were both on in IgnoreIndex# (set by the start checks).
  bool specialMode = false;
};

// The checks, notices and the TRAVEL/ONCE question before the first block: one area
// only in the paste modes, the SPECIAL MODE notice, the Action list notice, and the
// block geometry (the first row of the block in the row-by-row modes; in "Paste_V"
// TRAVEL, or ONCE when the user chooses it for a block of several rows). kStop ends the
// run; the sheet is untouched then.
host::Proceed StartChecks(host::State& s, BlockRun& run);

}  // namespace quillary::blocks
