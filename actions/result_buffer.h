// The result buffer of the row actions and its batch writer.
//
// EXPAND Row to Many and REDUCE Rows to One build a new result sheet row by row. They
// do not write cells as they go: they fill a ResultBuffer, a table of texts, and hand it
// in batches to PrintToSheet, which writes a batch onto the active sheet (the result
// sheet the producer made), checks that the sheet has room, asks once per run before
// overwriting a cell that holds something, guards the cell text limit and, after the
// last batch, finishes the output: the used area selected, the header in row 2 and, in
// REDUCE Rows to One with sorting, the Items column sorted through the block engine.
//
// Output row n of a run (counted from 1 over all batches) goes to sheet row n + 2. The
// buffer columns flagged as used go to sheet columns 1, 2, 3, ... in their order; an
// unflagged column leaves no gap. Every text is written as "'" & text, so the sheet
// keeps it as text; an empty text leaves its cell cleared.
//
// How the batch went is left in State::actions: BatchStatus (kMore while more batches
// follow, kLast for the last one, kAbort when the writer refused it) and ResultRows (the
// output rows of the run, this batch included), which the producer keeps up to date.
#pragma once

#include <vector>

#include "host/state.h"

namespace quillary::actions {

class ResultBuffer {
 public:
  // Buffer columns 0 to `cols` (ResultCols), no rows, and the used flags grown to cover
  // them at least.
  void SetColumns(long cols);
  long ResultCols() const { return resultCols_; }

  // The text at buffer column `col` and batch row `batchRow` (from 1); rows must have
  // been grown to it. An element never filled is "".
  Text& Cell(long col, long batchRow);
  const Text& Cell(long col, long batchRow) const;
  // Makes batch rows 1 to `rows` exist, keeping their texts.
  void GrowRows(long rows);
  long Rows() const { return static_cast<long>(rows_.size()); }
  // Drops every row (after a batch has been written); the columns stay.
  void EmptyRows() { rows_.clear(); }

  // The used flags (ResultColUsed): a flagged column holds text in some row of the run.
  // Marking a column beyond the flags grows them.
  bool Used(long col) const;
  // True when the flag was newly set.
  bool MarkUsed(long col);
  // The flags of columns 0 to `cols` and no more, keeping those.
  void TrimFlags(long cols);
  // Releases the rows and the flags at the end of a run.
  void Release();

  // Output rows already handed to the writer; the current batch holds ResultRows -
  // RowsFlushed rows.
  long RowsFlushed = 0;
  // A bolded cell of the selection chose the Items column.
  bool BoldCellFound = false;
  // The buffer column of the Items column; after the finishing of the output its 0-based
  // offset on the result sheet.
  long BoldColumn = 0;
  // The overwrite question has been asked in this run.
  bool OverwriteAsked = false;

 private:
  long resultCols_ = 0;
  std::vector<std::vector<Text>> rows_;  // rows_[batchRow - 1][col]
  std::vector<char> used_;
};

// Writes batch rows 1 to `batchRows` of `buffer` onto the active sheet, and finishes the
// output after the last batch (BatchStatus kLast) of an attended run. Sets BatchStatus
// to kAbort after telling the user why, when the sheet has no room for a cell, the user
// refuses to overwrite, a write fails, a text does not fit its cell or the sort step
// fails; cells already written stay written.
void PrintToSheet(host::State& s, ResultBuffer& buffer, long batchRows);

}  // namespace quillary::actions
