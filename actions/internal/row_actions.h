// What the result-sheet actions share: reading cells as they read them, the bolding
// advice of the two row actions, the writing of a batch onto the result sheet, and the
// marking of a result sheet that a run began but did not complete.
#pragma once

#include "actions/result_buffer.h"
#include "host/state.h"

namespace quillary::xl {
class Range;
class Workbook;
}  // namespace quillary::xl

namespace quillary::actions::internal {

// The cell's value as text (an error value as its display text), no-break spaces turned
// into blanks and the blanks at both ends removed.
Text TrimmedText(const xl::Range& cell);

// "Shortcut to bold one cell: ..." naming the running mode.
Text BoldShortcut(const host::State& s);

// The name a result sheet takes when its run did not complete: its name & "-Err", the
// name cut so that the whole stays within the longest sheet name and numbered when the
// workbook already has a sheet of that name.
Text ErrSheetName(xl::Workbook& book, const Text& name);
// Renames the sheet `name` of the active workbook to ErrSheetName and returns the new
// name.
Text MarkSheetFailed(host::State& s, const Text& name);

// The result sheet of a row action being written batch by batch. The first batch makes
// the sheet (named after the source sheet with `suffix`); each batch is written there by
// PrintToSheet, the screen refreshed once when the run has been long, and the source
// sheet made active again.
class ResultSheet {
 public:
  ResultSheet(host::State& s, Text sourceSheet, Text suffix)
      : s_(s), source_(std::move(sourceSheet)), suffix_(std::move(suffix)) {}

  // Writes batch rows 1 to `rows`; false when the writer refused the batch (BatchStatus
  // kAbort). `refresh` asks for the screen refresh of a long run after the batch.
  bool WriteBatch(ResultBuffer& buffer, long rows, bool refresh);

  // The name of the sheet this run made, "" before its first batch.
  const Text& Made() const { return made_; }
  // Marks a sheet this run made as failed (ErrSheetName) and keeps the new name in the
  // mail box's shtDiffRpt caption.
  void MarkFailed();

 private:
  host::State& s_;
  Text source_;
  Text suffix_;
  Text made_;
};

}  // namespace quillary::actions::internal

namespace quillary::actions::internal {

// The two option messages that the joining of Items into one cell gives (REDUCE Rows to
// One and the netlist conversion, which joins through it), titled with that action.
Text IgnoreIndexRequiredMsg();
Text TagDuplicatesRefusedMsg(const host::State& s);

}  // namespace quillary::actions::internal
