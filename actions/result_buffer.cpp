#include "actions/result_buffer.h"

#include <algorithm>

#include "actions/actions.h"
#include "actions/internal/run.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "sheets/selection_trim.h"

namespace quillary::actions {

namespace {

using host::State;

constexpr char16_t kInProgress[] = u"TRANSLATION IN PROGRESS.";
constexpr char16_t kTryConsolidating[] =
    u"Try consolidating columns or rows containing data or include less columns and/or rows in your selection.";

// The Items column header, and the header that stands in the first column when the
// Items column was left out because it is empty.
constexpr char16_t kItemsHeader[] = u"Reference";
constexpr char16_t kNoItemsHeader[] = u"TitlesHere";

// The paste type the sort step sets: Items, in their colour.
constexpr char16_t kPasteItems[] = u"Items";
constexpr long kPasteItemsColour = 0xFFC0C0;

void Tell(State& s, const Text& text) { host::MsgBoxDLL(s, text, host::msgbox::kInformation); }

Text Message(const State& s, TextView headline, std::initializer_list<TextView> paragraphs) {
  return internal::ActionMessage(s, internal::TitleForm::kClean, headline, paragraphs);
}

void ColumnLimitMsg(State& s, const ResultBuffer& buffer) {
  Text body = u"Not enough columns to support the translation.\r";
  if (s.request.vbaMode.Is(host::ModeId::kReduceRowsToOne) && !buffer.BoldCellFound) {
    body += u"Bold the 1st occurrance of a cell containing a reference designator and try again. Improves speed also.";
    body += host::kParagraph;
  }
  body += kTryConsolidating;
  Tell(s, Message(s, kInProgress, {body}));
}

void RowLimitMsg(State& s) {
  Text body = u"Not enough rows to support the translation.\r";
  body += kTryConsolidating;
  Tell(s, Message(s, kInProgress, {body}));
}

bool OverwriteQuestion(State& s) {
  const Text text =
      Message(s, kInProgress,
              {u"If you select OK, some existing contents to the right of the selected area will be overwritten.",
               u"OK to continue and overwrite anyway?  Undo won't revert it!"});
  const double answer = host::MsgBoxDLL(s, text, host::msgbox::kOkCancel + host::msgbox::kDefaultButton2);
  return answer != host::msgbox::kAnswerCancel;
}

void OverwriteRefusedMsg(State& s) {
  Tell(s, Message(s, u"Translation aborted.",
                  {u"Output has been stopped before overwriting the contents at the cursor."}));
}

void WriteErrorMsg(State& s) {
  Tell(s, Message(s, u"Error writing to cell.",
                  {u"This is an unanticipated Fault that might be caused by low memory resources.",
                   u"If there are indications that resources are low, please save your work and close Excel. Save any "
                   u"open files for other applications as well and close them. You might want to reboot the computer. "
                   u"If resources are getting low, do not have other large applications open.",
                   u"The process has been ABORTED before completion."}));
}

void OverflowMsg(State& s, std::size_t length) {
  Text count = u"There are ";
  count += vba::Format(static_cast<double>(length), u"##,##0");
  count +=
      u" text characters to put in a single cell. This probably occcured due to an attempt to collapse down into a "
      u"single cell large amounts of text from multiple cells. There is no alternative method for combining this much "
      u"text into a single cell other than reducing the amount of text.";
  Tell(s, Message(s, u"Overflow >32,760 text characters. Excel's single cell text limit has been exceeded.",
                  {count, u"The conversion process has CANCELLED before completion."}));
}

void SortColumnLimitMsg(State& s) {
  Text body = u"Not enough columns to support the traslation.\r";
  body += kTryConsolidating;
  Tell(s, Message(s, u"Translation Aborted.", {body}));
}

// The length of what a cell shows as text (an error value by its text).
std::size_t ShownLength(const Variant& v) {
  if (v.IsError()) return CellErrorText(v.AsError()).size();
  if (v.IsNull()) return 0;
  return vba::CStr(v).size();
}

// A text without the line feeds at its end.
void DropTrailingLineFeeds(Text& text) {
  while (!text.empty() && text.back() == u'\n') text.pop_back();
}

// Writes "'" & text into the cell; false when the application refused the write.
bool WriteText(const xl::Range& cell, const Text& text) {
  try {
    cell.SetValue(u"'" + text);
    return true;
  } catch (const Error&) {
    return false;
  }
}

xl::Range WindowSelection(State& s) { return s.App().ActiveWindow()->RangeSelection(); }

class Writer {
 public:
  Writer(State& s, ResultBuffer& buffer, long batchRows)
      : s_(s), buffer_(buffer), batchRows_(batchRows), sheet_(s.ActiveBook().ActiveSheet()) {}

  void Run() {
    for (long k = 1; k <= batchRows_; ++k) {
      host::ScreenOff(s_);
      long outCol = 1;
      for (long c = 0; c <= buffer_.ResultCols(); ++c) {
        if (buffer_.Used(c)) {
          if (!WriteCell(c, k, outCol)) return Abort();
          ++outCol;
        }
        if (LastCellOfOutput(c, k) && !Finish()) return Abort();
      }
    }
    host::ScreenRestore(s_);
  }

 private:
  void Abort() {
    s_.actions.BatchStatus = host::BatchMark::kAbort;
    host::ScreenRestore(s_);
  }

  bool LastCellOfOutput(long c, long k) const {
    return s_.actions.BatchStatus == host::BatchMark::kLast && k == batchRows_ && c == buffer_.ResultCols() &&
           !s_.Control(host::ctl::mail::kSkipMenu).Enabled();
  }

  bool WriteCell(long c, long k, long outCol) {
    if (outCol > sheet_.ColumnsCount()) {
      ColumnLimitMsg(s_, buffer_);
      return false;
    }
    const long row = s_.actions.ResultRows - batchRows_ + 2 + k;
    if (row > sheet_.RowsCount()) {
      RowLimitMsg(s_);
      return false;
    }
    const xl::Range cell = sheet_.Cells(row, outCol);
    if (!buffer_.OverwriteAsked && ShownLength(cell.Value()) > 0) {
      buffer_.OverwriteAsked = true;
      if (!OverwriteQuestion(s_)) {
        OverwriteRefusedMsg(s_);
        cell.Select();
        return false;
      }
    }
    Text text = buffer_.Cell(c, k);
    if (s_.request.vbaMode.Is(host::ModeId::kReduceRowsToOne)) DropTrailingLineFeeds(text);
    if (!WriteText(cell, text)) {
      WriteErrorMsg(s_);
      return false;
    }
    if (text.size() > internal::kMaxActionText && ShownLength(cell.Value()) < text.size()) {
      OverflowMsg(s_, text.size());
      return false;
    }
    if (text.empty()) cell.ClearContents();
    return true;
  }

  // The finishing of the output after its last cell: the used area selected and the
  // header written; false when the sort step failed.
  bool Finish() {
    sheet_.Range(sheet_.Cells(1, 1), sheet_.Cells(sheet_.RowsCount(), sheet_.ColumnsCount())).Select();
    static_cast<void>(sheets::WholeColRow(s_));
    if (!buffer_.BoldCellFound) return true;
    if (!buffer_.Used(buffer_.BoldColumn)) {
      sheet_.Cells(2, WindowSelection(s_).Column()).SetValue(kNoItemsHeader);
      return true;
    }
    const long bound = buffer_.BoldColumn;
    for (long i = 0; i < bound; ++i) {
      if (!buffer_.Used(i)) --buffer_.BoldColumn;
    }
    sheet_.Cells(2, WindowSelection(s_).Column() + buffer_.BoldColumn).SetValue(kItemsHeader);
    if (s_.request.vbaMode.Is(host::ModeId::kReduceRowsToOne) && s_.request.IgnoreIndexMode &&
        vba::EqualsTrue(s_.Control(host::ctl::main::kSort).Value())) {
      return SortItems();
    }
    return true;
  }

  // The sort step: a sorted copy of the Items column is pasted beside it by the block
  // engine and takes its place.
  bool SortItems() {
    if (WindowSelection(s_).ColumnsCount() + 1 > sheet_.ColumnsCount()) {
      SortColumnLimitMsg(s_);
      return false;
    }
    const long itemsCol = buffer_.BoldColumn + 1;
    sheet_.Columns(itemsCol).Select();
    WindowSelection(s_).Offset(0, 1).Insert();

    forms::Control& pasteType = s_.Control(host::ctl::main::kPasteType);
    pasteType.SetCaption(kPasteItems);
    pasteType.SetForeColor(kPasteItemsColour);
    static_cast<void>(sheets::WholeColRow(s_));
    const xl::Area items = WindowSelection(s_).FirstArea();
    s_.blocks.OnceFlag = true;
    RunBlockEngineNested(s_, SkipMenuAfter::kRestore);

    // Every sorted cell is checked, not only the last result: a cell that reached the
    // limit (or was cut at the cell's own limit) stops the output.
    std::size_t longest = s_.request.DisplayText.size();
    for (long r = items.row1; r <= items.row2; ++r) {
      longest = std::max(longest, ShownLength(sheet_.Cells(r, itemsCol + 1).Value()));
    }
    if (longest > internal::kMaxActionText) {
      sheet_.Columns(itemsCol + 1).Delete();
      OverflowMsg(s_, longest);
      return false;
    }
    sheet_.Columns(itemsCol).Delete();
    return true;
  }

  State& s_;
  ResultBuffer& buffer_;
  long batchRows_;
  xl::Worksheet& sheet_;
};

}  // namespace

void ResultBuffer::SetColumns(long cols) {
  resultCols_ = cols;
  for (auto& row : rows_) row.resize(static_cast<std::size_t>(cols) + 1);
  if (static_cast<long>(used_.size()) < cols + 1) used_.resize(static_cast<std::size_t>(cols) + 1, 0);
}

Text& ResultBuffer::Cell(long col, long batchRow) {
  return rows_.at(static_cast<std::size_t>(batchRow - 1)).at(static_cast<std::size_t>(col));
}

const Text& ResultBuffer::Cell(long col, long batchRow) const {
  return rows_.at(static_cast<std::size_t>(batchRow - 1)).at(static_cast<std::size_t>(col));
}

void ResultBuffer::GrowRows(long rows) {
  while (static_cast<long>(rows_.size()) < rows) rows_.emplace_back(static_cast<std::size_t>(resultCols_) + 1);
}

bool ResultBuffer::Used(long col) const {
  return col >= 0 && col < static_cast<long>(used_.size()) && used_[static_cast<std::size_t>(col)] != 0;
}

bool ResultBuffer::MarkUsed(long col) {
  if (col >= static_cast<long>(used_.size())) used_.resize(static_cast<std::size_t>(col) + 1, 0);
  char& flag = used_.at(static_cast<std::size_t>(col));
  if (flag != 0) return false;
  flag = 1;
  return true;
}

void ResultBuffer::TrimFlags(long cols) { used_.resize(static_cast<std::size_t>(cols) + 1, 0); }

void ResultBuffer::Release() {
  rows_.clear();
  rows_.shrink_to_fit();
  used_.assign(1, 0);
  used_.shrink_to_fit();
}

void PrintToSheet(State& s, ResultBuffer& buffer, long batchRows) {
  ErrorTrail("PrintToSheet", [&] { Writer(s, buffer, batchRows).Run(); });
}

}  // namespace quillary::actions
