// One run of the Action list: the values the dispatcher sets up once and the inline
// actions read and update, the walk over the selection's cells with its progress and
// break key, and the pieces the cell-text actions share (which cells they touch, how a
// new text goes back into a cell, the length guard and the forms of message titles).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "host/callbacks.h"
#include "host/proceed.h"
#include "host/state.h"
#include "platform/excel/excel.h"

namespace quillary::actions::internal {

// The most characters an action puts into one cell.
inline constexpr std::size_t kMaxActionText = 32760;

// The values of one run, taken when the dispatcher starts it.
struct ActionRun {
  host::State& s;
  // The selection of the active window, every area.
  xl::Range selection;
  // The cells of the selection (overlapping areas counted once per area): the progress
  // total. 64 bits: a whole sheet has more cells than 32 bits count.
  std::int64_t SelCellCount = 0;
  // Cells (or rows) visited so far, from 1, across all areas.
  std::int64_t ProgressCount = 1;
  // The first row and column of the area being walked.
  long AreaTopRow = 1;
  long FirstColumn = 1;
  // The active sheet's cells may not be formatted: the cell-text actions leave out
  // their formatting writes.
  bool FormatProtected = false;

  xl::Worksheet& Sheet() const { return selection.Parent(); }
  xl::Range Cell(long row, long col) const { return Sheet().Cells(row, col); }
  // Makes `area` the one being walked.
  void EnterArea(const xl::Area& area) {
    AreaTopRow = area.row1;
    FirstColumn = area.col1;
  }
};

// The values of a run, from the selection of the active window; BigMsgAnswer is 0.
ActionRun StartRun(host::State& s);

// The progress of one walking action: a step per cell (or row). Selections of 20 cells
// or fewer show nothing and never poll the break key.
class WalkProgress {
 public:
  explicit WalkProgress(ActionRun& run);
  // False when the user broke off: the action stops where it is.
  bool Step();

 private:
  ActionRun& run_;
  host::ProgressBar bar_;
};

// Walks every cell of every area of the selection, area by area, column by column and,
// within a column, top to bottom (hidden cells too; cells of overlapping areas once per
// area), with a progress step before each cell. `step(cell)` answers kStop to end the
// walk. Answers kStop when the walk ended early (break key or step).
template <class Step>
host::Proceed WalkCells(ActionRun& run, Step&& step) {
  WalkProgress progress(run);
  for (const xl::Area& area : run.selection.AreaList()) {
    run.EnterArea(area);
    for (long col = area.col1; col <= area.col2; ++col) {
      for (long row = area.row1; row <= area.row2; ++row) {
        if (!progress.Step()) return host::Proceed::kStop;
        if (step(run.Cell(row, col)) == host::Proceed::kStop) return host::Proceed::kStop;
      }
    }
  }
  return host::Proceed::kGoOn;
}

// The text a cell-text action works on: set only for a text constant (a value of type
// String without a formula); its text with no-break spaces as blanks, trimmed of
// blanks.
std::optional<Text> TextCellFilter(const xl::Range& cell);

// "'" & text: what makes the spreadsheet keep a text as a text when it is written.
Text TextEntry(TextView text);

// Writes `text` into the cell as text ("'" & text; an empty text clears the cell) and,
// when `restoreAlignment`, puts the cell's horizontal alignment back afterwards.
void WriteTextCell(const xl::Range& cell, const Text& text, bool restoreAlignment);
// WriteTextCell keeping the alignment unless the sheet's formats are protected.
void CellTextWriteBack(const ActionRun& run, const xl::Range& cell, const Text& text);

// True after refusing a text over kMaxActionText characters for `cell`: the cell is
// activated and the user told; the cell keeps its content.
bool OverflowGuard(host::State& s, const xl::Range& cell, const Text& newText);

// How a message title shows the mode.
enum class TitleForm {
  kRaw,    // the mode as it is
  kColon,  // "|| " shown as ":"
  kClean,  // CleanMode: "_" as " ", "|| " as ":", "Null" removed
};

// "( " & the mode in `form` & " ): " & headline, then each paragraph after two carriage
// returns.
Text ActionMessage(const host::State& s, TitleForm form, TextView headline,
                   std::initializer_list<TextView> paragraphs = {});

}  // namespace quillary::actions::internal
