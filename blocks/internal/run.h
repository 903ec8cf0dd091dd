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

// The paragraphs of the engine's messages, after the title "( mode ): ".
inline constexpr char16_t kOneAreaMsg[] = u"You have selected more than one area.";
inline constexpr char16_t kOneAreaMsg2[] = u"Only one selection is permitted for this process.";
inline constexpr char16_t kOneAreaMsg3[] = u"Please re-select only one area.";
inline constexpr char16_t kSingleRowNotice[] =
    u"SPECIAL MODE NOTICE: You have selected only a single row and you chose to compare whole rows within your "
    u"selected size/shape. Because you need two or more rows within your selection to make it possible to compare "
    u"rows, this is an invalid choice. Please select more than a single row to use this combination of options.";
// The three ways out of a result too long for one cell: the advice that ends the
// overflow message, and the hint on the main form's message line.
inline constexpr char16_t kAdviceExpandRanges[] =
    u"Try again without Expand Ranges enabled, or try using Quillary's Cell^Col, or try pasting to multiple cells "
    u"using Excel's Edit>Paste, or paste them to another application.";
inline constexpr char16_t kHintExpandRanges[] = u"Try w/o Expand Ranges and/or Cell^Col. Rmv spcs.";
inline constexpr char16_t kAdviceIgnoreIndex[] =
    u"Try using Quillary's Cell^Col, or try pasting them to multiple cells using Excel's Edit>Paste, or paste them to "
    u"another application.";
inline constexpr char16_t kHintIgnoreIndex[] = u"Try PasteDsplyToCursor and/or Cell^Col. Rmv spcs.";
inline constexpr char16_t kAdviceCountIndex[] =
    u"Try again with IgnoreIndex# enabled, or try using Quillary's Cell^Col, or try pasting to multiple cells using "
    u"Excel's Edit>Paste, or paste them to another application.";
inline constexpr char16_t kHintCountIndex[] = u"Try using IgnoreIndex# and/or Cell^Col. Rmv spcs.";

}  // namespace quillary::blocks
