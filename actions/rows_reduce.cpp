#include "actions/rows_reduce.h"

#include <algorithm>
#include <optional>

#include "actions/internal/row_actions.h"
#include "actions/internal/run.h"
#include "actions/result_buffer.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "sheets/page_setup.h"
#include "sheets/report_view.h"
#include "sheets/result_sheets.h"

namespace quillary::actions {

namespace {

using host::State;
namespace msgbox = host::msgbox;

constexpr char16_t kReducedSuffix[] = u"-Reduced";
// The used-column flags are made for this many output columns at first and grow beyond.
constexpr long kInitialColumns = 500;
// Records per batch in IgnoreIndex# mode.
constexpr long kBatchRecords = 100;
// After the first batch, the screen is refreshed only while fewer records than this
// have been produced.
constexpr long kRefreshRecords = 150;

enum class Style { kIndented, kNameChange, kAfterEmptyCell };

// The spacing after commas of the Item mode: one blank after each comma in CountIndex#
// with the comma-space option, none otherwise; never a blank before a comma.
void CommaSpacing(const State& s, Text& text) {
  if (!s.request.IgnoreIndexMode && vba::EqualsTrue(s.Control(host::ctl::main::kCommaSpace).Value())) {
    host::ReplaceItRef(text, u",", u", ");
    host::ReplaceItRef(text, u",  ", u", ");
  } else {
    host::ReplaceItRef(text, u", ", u",");
  }
  host::ReplaceItRef(text, u" ,", u",");
}

// Where the rows of a record stand: before the bolded position (1), after it in the
// bold row (2), the bolded position being the last column (3), below the bold row (4).
enum class Phase { kBeforeBold = 1, kBoldRow = 2, kBoldLast = 3, kBelowBold = 4 };

Text Msg(const State& s, TextView headline, std::initializer_list<TextView> paragraphs) {
  return internal::ActionMessage(s, internal::TitleForm::kClean, headline, paragraphs);
}

constexpr char16_t kBoldAdvice[] =
    u"Either, bold one cell that is representative of all parts where the location of the first reference designator "
    u"will be found. Use any part in the list for Bolding. Or, bold any cell in a column which changes only once for "
    u"each part (e.g. the part number) to identify new parts and to remove redundant rows of text.";

Text StyleHelp(const State& s) {
  Text t = u"\"";
  t += host::ReplaceItVal(s.request.vbaMode.Text(), u"|| ", u":");
  t += u"\" has been initiated.   REDUCE ROWS based on WHICH STYLE?";
  for (TextView p : {
           TextView(u"The original list will remain intact and a new sheet will be added."),
           TextView(u"1) AFTER EMPTY CELL:  A new Part/Record begins at the first cell holding content following an "
                    u"empty cell in the first column. Every row up to the next empty first cell belongs to it."),
           TextView(u"2) NAME CHANGE:  A new Part/Record begins at a cell with changed content in the first column. "
                    u"Rows whose first cell repeats the one above belong to the same Part/Record."),
           TextView(u"3) INDENTED: A new Part/Record begins at a non-empty cell in the first column. Rows with an "
                    u"empty first cell below it belong to the same Part/Record."),
           TextView(u"|||||||||||||||||||||||"),
           TextView(u"GROUPING ITEMS INTO A SINGLE CELL and COLLAPSING LIST (Bold one Cell):"),
           TextView(
               u"Bold the cell of the first Part/Record that holds its first Items (e.g. Reference Designators). "
               u"The Items of that column are joined into a single comma delimited cell for each Part/Record, and "
               u"the other rows of each Part/Record are collapsed into the columns of the bolded row, one line per "
               u"row, leaving out text that repeats the row above."),
           TextView(u"_______________________"),
           TextView(u"COLLAPSE LIST ONLY (Bold one cell in first column):"),
           TextView(u"Bolding a cell in the first column collapses each Part/Record into a single row without joining "
                    u"Items: every column keeps one line per row."),
           TextView(u"To list only unique rows, sort the list first and use the NAME CHANGE style with the bolded "
                    u"cell in the first column."),
           TextView(u"A single cell can show about 30 collapsed lines; longer records are better split before they "
                    u"are reduced."),
           TextView(u"TIPS"),
           TextView(u"Without a bolded cell the rows of each Part/Record are put side by side on one row."),
           TextView(u"NOTE"),
           TextView(u"Entirely empty columns are omitted in the output result."),
       }) {
    t += host::kParagraph;
    t += p;
  }
  return t;
}

Text PageSetupQuestion() {
  Text t = u"[Report Page Setup?]( ";
  t += host::ModeText(host::ModeId::kReduceRowsToOne);
  t += u" ): Translation Complete. Apply default Printer Page_Setup?";
  const Text numberValues =
      u"All numbers in the output results table have been converted to Text Numbers. To convert "
      u"them to Number Values, use Quillary's " +
      Text(host::ModeText(host::ModeId::kNumberValues)) + u".";
  const Text commaSpace = u"To clean up commas and spaces to reduce fault messages, use Quillary's " +
                          Text(host::ModeText(host::ModeId::kCommaSpaceSet)) + u".";
  const Text prefixSet =
      u"To clean up missing prefixes for Items with Index Numbers (e.g. Reference Designators), use "
      u"Quillary's " +
      Text(host::ModeText(host::ModeId::kPrefixSet)) + u".";
  const Text prefixClear =
      u"To remove prefixes after processing, use Quillary's " + Text(host::ModeText(host::ModeId::kPrefixClear)) + u".";
  for (TextView p : {
           TextView(u"The new output results table is highlighted. The original source data is intact on its original "
                    u"sheet behind the new small window."),
           TextView(u"To join multiple columns of cells in the new table, first rearrange them to be grouped together "
                    u"if necessary. Then select the group on a single row and use Paste_V."),
           TextView(numberValues),
           TextView(commaSpace),
           TextView(prefixSet),
           TextView(prefixClear),
           TextView(u"Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer "
                    u"problems."),
       }) {
    t += host::kParagraph;
    t += p;
  }
  return t;
}

class Reduce {
 public:
  explicit Reduce(State& s) : s_(s), attended_(!s.Control(host::ctl::mail::kSkipMenu).Enabled()) {}

  void Run() {
    s_.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
    const xl::Range area = s_.App().ActiveWindow()->RangeSelection().Areas(1);
    sheet_ = &area.Parent();
    firstRow_ = area.Row();
    firstCol_ = area.Column();
    rows_ = area.RowsCount();
    lastCol_ = area.ColumnsCount() - 1;
    boldColOff_ = area.ColumnsCount();
    output_.emplace(s_, sheet_->Name(), kReducedSuffix);

    if (!Checks(area)) return Fail();
    boldRecOff_ = BoldRecordOffset();
    SetUp();
    if (!LayoutPass() || !FillPass()) return Fail();
    Close();
  }

 private:
  // ----- reading the source -----

  xl::Range CellAt(long r, long c) const { return sheet_->Cells(firstRow_ + r, firstCol_ + c); }
  Variant FirstValue(long r) const { return CellAt(r, 0).Value(); }
  Text FirstText(long r) const { return items::CellText(CellAt(r, 0)); }

  // The cell's text as the fill pass stores it: trimmed, with the comma spacing of the
  // Item mode.
  Text FillText(long r, long c) const {
    Text t = internal::TrimmedText(CellAt(r, c));
    CommaSpacing(s_, t);
    return t;
  }

  bool SameText(const Text& a, const Text& b) const { return vba::StrComp(a, b, s_.request.CompareMode) == 0; }

  // Whether row offset r begins a record.
  bool StartsRecord(long r) const {
    if (r == 0) return true;
    switch (style_) {
      case Style::kIndented: return !vba::Trim(FirstText(r)).empty();
      case Style::kNameChange: return !SameText(FirstText(r), FirstText(r - 1));
      case Style::kAfterEmptyCell: return !FirstValue(r).IsEmpty() && FirstValue(r - 1).IsEmpty();
    }
    return false;
  }

  bool AfterEmpty() const { return style_ == Style::kAfterEmptyCell; }
  // The bolded cell lies in the first column of an After Empty Cell list: its column is
  // folded with line feeds like the others and joins no Items.
  bool BoldFirstAfterEmpty() const { return AfterEmpty() && boldColOff_ == 0; }

  // The output columns one row of a record takes: every column, except the first in
  // the later rows of Indented and Name Change records, which do not read it. The rows
  // above the bold row stand side by side, so the bold row begins after this many
  // columns for each of them.
  long RowWidth() const { return AfterEmpty() ? lastCol_ + 1 : lastCol_; }

  // The output column of column offset c in the bold row, into which the rows below it
  // fold.
  long FoldedColumn(long c) const { return RowWidth() * boldRecOff_ + c + 1; }

  // ----- questions and checks before anything is written -----

  bool Ask(const Text& text, long style, int stopAnswer) { return host::MsgBoxDLL(s_, text, style) != stopAnswer; }
  void Tell(const Text& text, long style = msgbox::kInformation) { host::MsgBoxDLL(s_, text, style); }

  bool Checks(const xl::Range& area) {
    if (!BottomRowFree(area)) return false;
    // The one-column check comes before anything reads the column to the right, which
    // lies beyond the sheet when the column is the last one.
    if (lastCol_ == 0) {
      Tell(Msg(s_, u"Only one column is selected.",
               {u"This action's usefulness is very limited when only one column is selected. Select at least two "
                u"columns (even if the second one is empty).",
                u"With the Indented style a new part starts at each non-empty cell of the first column; with the "
                u"Name Change style a new part starts at each cell of the first column that differs from the one "
                u"above it.",
                u"Columns to the right of the first one should hold information about each part. Multiple rows can "
                u"be used per part.",
                u"Please make another Selection which includes multiple columns."}));
      return false;
    }
    if (attended_ && SecondColumnEmpty(area) &&
        !Ask(Msg(s_, u"The second column within your selection is completely empty.",
                 {u"Data in the first column might appear as though it is in other columns if you did not finish "
                  u"importing it.",
                  u"After bringing text into Excel, select the column of text to be spread out into multiple columns "
                  u"and choose TextToColumns from Quillary's drop-down action list.",
                  u"You can continue if you are converting multiple columns of data that happen to be missing the "
                  u"second column. Entirely empty columns will be omitted in the output result.",
                  u"OK to Continue?"}),
             msgbox::kOkCancel + msgbox::kExclamation, msgbox::kAnswerCancel)) {
      return false;
    }
    if (!FindBoldCell(area)) return false;
    if (buffer_.BoldCellFound) {
      if (!s_.request.IgnoreIndexMode) {
        Tell(internal::IgnoreIndexRequiredMsg());
        return false;
      }
      forms::Control& tag = s_.Control(host::ctl::main::kTagDuplicates);
      if (tag.Enabled() && vba::EqualsTrue(tag.Value())) {
        Tell(internal::TagDuplicatesRefusedMsg(s_));
        return false;
      }
    } else if (!Ask(Msg(s_, u"NO CELL IS BOLDED.",
                        {u"A bolded cell was NOT found in the selection. Bolding a cell indicates which column has "
                         u"cells with Items to be joined into a single cell for each part, and which rows of text are "
                         u"redundant.",
                         u"Please refer to Quillary's HELP about bolding a cell to direct the translation process. ",
                         internal::BoldShortcut(s_), u"Choose NO to cancel. Then bold one cell.",
                         u"Choose YES to continue without joining Items or removing redundant text (only if bolding "
                         u"doesn't work well)."}),
                    msgbox::kYesNo + msgbox::kExclamation + msgbox::kDefaultButton2, msgbox::kAnswerNo)) {
      return false;
    }
    if (attended_ && !ChooseStyle()) return false;
    if (attended_ && style_ == Style::kIndented && items::CellText(CellAt(0, 0)).empty()) {
      Tell(Msg(s_, u"You have chosen to reduce rows which have an Indented format.",
               {u"With an Indented format the top cell in the first column selected must not be empty: the first row "
                u"can not be indented.",
                u"Please make a new selection."}));
      return false;
    }
    return !attended_ || SortingQuestion();
  }

  // The row below the area is where a record ends: the sheet's last row must stay free.
  bool BottomRowFree(const xl::Range& area) {
    if (firstRow_ + rows_ - 1 != sheet_->RowsCount()) return true;
    for (long c = 0; c <= lastCol_; ++c) {
      if (area.Cells(rows_, c + 1).Value().IsEmpty()) continue;
      Tell(Msg(s_, u"THE BOTTOM-MOST ROW OF THE WORKSHEET IS SELECTED AND HAS CONTENT.",
               {u"A requirement of this action is that the bottom-most row of the worksheet can not be used.",
                u"Please make a selection which does not include the content presently in bottom-most row of the "
                u"worksheet. "}),
           msgbox::kOk + msgbox::kExclamation + msgbox::kDefaultButton2);
      return false;
    }
    return true;
  }

  bool SecondColumnEmpty(const xl::Range& area) {
    xl::Application& app = s_.App();
    const xl::Range second = sheet_->Range(area.Cells(1, 2), area.Cells(rows_, 2));
    return app.WorksheetFunction().CountA(second) == 0 &&
           app.Intersect(app.ActiveWindow()->RangeSelection(), area.Cells(rows_, 2)).has_value();
  }

  // The bolded cell: the first in row-major order whose font is bold (or partly bold).
  // False when the run stops (a second bolded cell in an attended run, or the break key).
  bool FindBoldCell(const xl::Range& area) {
    const Variant bold = area.Font().Bold();
    if (!bold.IsNull() && !vba::EqualsTrue(bold)) return true;
    host::ProgressBar progress(s_, u" Bolded Cell Search Progress: ");
    for (long r = 0; r < rows_; ++r) {
      if (!progress.Step(r, rows_)) return false;
      for (long c = 0; c <= lastCol_; ++c) {
        const Variant b = CellAt(r, c).Font().Bold();
        if (!b.IsNull() && !vba::EqualsTrue(b)) continue;
        if (!buffer_.BoldCellFound) {
          buffer_.BoldCellFound = true;
          boldRow_ = r;
          boldColOff_ = c;
          // Unattended, a further bolded cell changes nothing.
          if (!attended_) return true;
          continue;
        }
        Tell(Msg(s_, u"MORE THAN ONE CELL IS BOLDED.",
                 {u"More than one bolded cell was found in your selected area (possibly in empty cells).", kBoldAdvice,
                  internal::BoldShortcut(s_)}));
        return false;
      }
    }
    return true;
  }

  bool ChooseStyle() {
    forms::Control& ok = s_.Control(host::ctl::bigmsg::kOkButton);
    forms::Control& option = s_.Control(host::ctl::bigmsg::kOptionButton);
    forms::Control& option2 = s_.Control(host::ctl::bigmsg::kOptionButton2);
    ok.SetCaption(u"Indented");
    option.SetCaption(u"Name Change");
    option.SetVisible(true);
    option2.SetCaption(u"After Empty Cell");
    option2.SetVisible(true);
    s_.Control(host::ctl::bigmsg::kText).SetValue(StyleHelp(s_));
    host::ScreenOn(s_);
    host::ShowBigMsgFormDLL(s_);
    host::ScreenRestore(s_);
    // The answer is this run's own: the compare step of COMPARE 2 is not touched.
    const int answer = s_.dialogs.BigMsgAnswer;
    ok.SetCaption(u"OK");
    option.SetCaption(u"");
    option.SetVisible(false);
    option2.SetVisible(false);
    if (answer == 2) style_ = Style::kNameChange;
    if (answer == 3) style_ = Style::kAfterEmptyCell;
    return answer != 0;
  }

  bool SortingQuestion() {
    forms::Control& sort = s_.Control(host::ctl::main::kSort);
    if (!s_.request.IgnoreIndexMode || !buffer_.BoldCellFound || !vba::EqualsFalse(sort.Value())) return true;
    const double answer = host::MsgBoxDLL(
        s_,
        Msg(s_,
            u"You have chosen to collapse your selection and combine Items into a single cell. But SORTING has not "
            u"been enabled.",
            {u"To sort, use Quillary's IgnoreIndex# Mode along with the Sort option set.",
             u"If the combined Items need sorting, it would be best to choose YES now (or else it would take a few "
             u"extra steps later).",
             u"Choose YES if you want to use Quillary's Sort Mode to combined Items within their single cells.",
             u"Choose NO if you want to proceed without sorting combined Items.",
             u"Choose CANCEL if you want to Abort this action."}),
        msgbox::kYesNoCancel + msgbox::kInformation + msgbox::kDefaultButton2);
    if (answer == msgbox::kAnswerCancel) return false;
    if (answer == msgbox::kAnswerYes) {
      sort.SetValue(true);
      forms::Control& tag = s_.Control(host::ctl::main::kTagDuplicates);
      tag.SetEnabled(true);
      tag.SetValue(false);
    }
    return true;
  }

  // The bolded cell's row offset from the first row of its record.
  long BoldRecordOffset() const {
    if (!buffer_.BoldCellFound) return 0;
    if (boldColOff_ == 0 && !AfterEmpty()) return 0;
    long start = boldRow_;
    while (!StartsRecord(start)) --start;
    return boldRow_ - start;
  }

  void SetUp() {
    s_.actions.ResultRows = 0;
    buffer_.RowsFlushed = 0;
    buffer_.SetColumns(0);
    buffer_.TrimFlags(kInitialColumns);
    s_.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
    s_.actions.BatchStatus = host::BatchMark::kMore;
    buffer_.OverwriteAsked = false;
    s_.RestartClock();
    buffer_.BoldColumn = FoldedColumn(boldColOff_);
  }

  // ----- the two passes -----

  // The columns a row reads: a record's first row all of them; its later rows leave out
  // the first column except in After Empty Cell.
  long FirstColumnRead(long r) const { return r == recordStart_ || AfterEmpty() ? 0 : 1; }

  bool AtBoldPosition(long r, long c) const {
    return phase_ == Phase::kBeforeBold && r - recordStart_ == boldRecOff_ && c == boldColOff_;
  }

  void BeginRow() {
    if (phase_ != Phase::kBeforeBold) phase_ = Phase::kBelowBold;
  }

  // Flags an output column for the layout; false when the output needs more columns than
  // the sheet has.
  bool MarkCounted(long col) {
    if (!buffer_.MarkUsed(col)) return true;
    ++usedCount_;
    if (usedCount_ < sheet_->ColumnsCount()) return true;
    s_.actions.BatchStatus = host::BatchMark::kAbort;
    const Text needed = vba::IntegerText(usedCount_ + 1);
    Text needs = u"The format of your input selection requires " + needed +
                 u" columns be used in the output. But there are only " + vba::IntegerText(sheet_->ColumnsCount()) +
                 u" maximum columns in this version of Excel.";
    Text examine =
        u"Examine your selection, and if possible, make modifications to decrease the output columns "
        u"required by " +
        needed + u".";
    Tell(
        Msg(s_, u"TRANSLATION IN PROGRESS.",
            {needs, examine,
             buffer_.BoldCellFound
                 ? u"Also, you might be able to use less columns if you bold a different cell to consolidate Items "
                   u"differently."
                 : u"Also, you would probably use less columns if you consolidate Items by bolding an appropriate "
                   u"cell. Bolding joins many cells of Items (e.g. Reference Designators) into a single cell per part.",
             u"Try combining columns or rows containing data. Or try selecting less columns or rows."}));
    return false;
  }

  bool LayoutPass() {
    host::ProgressBar progress(s_, u" ReduceRows Progress: ");
    long resultCols = 0;
    long outCol = 1;
    for (long r = 0; r < rows_; ++r) {
      if (!progress.Step(r, 2 * std::int64_t{rows_})) return false;
      BeginRow();
      if (StartsRecord(r)) {
        ++s_.actions.ResultRows;
        recordStart_ = r;
        outCol = 1;
        resultCols = std::max(resultCols, 1L);
        phase_ = Phase::kBeforeBold;
      }
      for (long c = FirstColumnRead(r); c <= lastCol_; ++c) {
        const bool filled = !internal::TrimmedText(CellAt(r, c)).empty();
        if (AtBoldPosition(r, c)) {
          // The joined Items go to BoldColumn, which is the column flagged for them.
          if (filled && !MarkCounted(buffer_.BoldColumn)) return false;
          resultCols = std::max(resultCols, outCol);
          if (c == lastCol_) {
            phase_ = Phase::kBoldLast;
            continue;
          }
          phase_ = Phase::kBoldRow;
          ++outCol;
          continue;
        }
        if (phase_ == Phase::kBelowBold) {
          if (filled) buffer_.MarkUsed(FoldedColumn(c));
          continue;
        }
        if (filled && !MarkCounted(outCol)) return false;
        resultCols = std::max(resultCols, outCol);
        ++outCol;
      }
    }
    s_.actions.ResultRows = 0;
    buffer_.RowsFlushed = 0;
    buffer_.SetColumns(resultCols);
    buffer_.TrimFlags(std::max(resultCols, buffer_.BoldColumn));
    phase_ = Phase::kBeforeBold;
    return true;
  }

  long BatchRow() const { return s_.actions.ResultRows - buffer_.RowsFlushed; }

  Text& Out(long col) {
    if (col > buffer_.ResultCols()) buffer_.SetColumns(col);
    return buffer_.Cell(col, BatchRow());
  }

  void OverflowMsg() {
    host::ScreenOn(s_);
    Text headline = u"Overflow >32,760 text characters. Because Excel's text length limit has been exceeded, \"";
    headline += s_.request.vbaMode.Text();
    headline += u"\" has been aborted.";
    Tell(Msg(s_, headline,
             {u"It will not be possible to reduce all rows of every record into single row records.",
              u"The process has CANCELLED."}));
  }

  // Stores the record's joined Items, cleaned, in its Items column; false on an
  // overflow.
  bool StoreJoined() {
    Clean_RefDes(s_, joined_);
    if (BoldFirstAfterEmpty()) return true;
    if (buffer_.BoldCellFound && joined_.size() > internal::kMaxActionText) {
      OverflowMsg();
      return false;
    }
    Out(buffer_.BoldColumn) = vba::RTrim(joined_);
    return true;
  }

  bool FillRow(long r) {
    bool content = false;
    for (long c = FirstColumnRead(r); c <= lastCol_; ++c) {
      if (AtBoldPosition(r, c)) {
        joined_ = internal::TrimmedText(CellAt(r, c));
        if (joined_.size() > internal::kMaxActionText) {
          OverflowMsg();
          return false;
        }
        if (BoldFirstAfterEmpty()) Out(FoldedColumn(0)) = vba::RTrim(joined_);
        if (c != lastCol_) {
          phase_ = Phase::kBoldRow;
          if (lastCol_ > 0) ++outCol_;
          continue;
        }
        // The last column: the same cell is read again and stored below.
        phase_ = Phase::kBoldLast;
      }
      Text text = FillText(r, c);
      switch (phase_) {
        case Phase::kBeforeBold:
        case Phase::kBoldRow: {
          // Rows of the record above the bold row drop what repeats the row above.
          const bool repeated = buffer_.BoldCellFound && r > recordStart_ && r - recordStart_ < boldRecOff_ &&
                                SameText(text, FillText(r - 1, c));
          if (!text.empty() && !repeated) Out(outCol_) = std::move(text);
          ++outCol_;
          break;
        }
        case Phase::kBoldLast:
          Out(outCol_) = std::move(text);
          ++outCol_;
          break;
        case Phase::kBelowBold:
          if (c == boldColOff_ && boldColOff_ != 0) {
            if (text.empty()) break;
            if (joined_.empty() || joined_.back() != u',') joined_ += u',';
            joined_ += text;
            if (joined_.size() > internal::kMaxActionText) {
              OverflowMsg();
              return false;
            }
            break;
          }
          if (SameText(text, FillText(r - 1, c))) text.clear();
          {
            Text& folded = Out(FoldedColumn(c));
            folded += u'\n';
            folded += text;
            if (!text.empty()) content = true;
            if (folded.size() > internal::kMaxActionText) {
              OverflowMsg();
              return false;
            }
          }
          break;
      }
    }
    // A row below the bold row that added nothing leaves no empty line.
    if (phase_ == Phase::kBelowBold && !content) {
      for (long c = AfterEmpty() ? 0 : 1; c <= lastCol_; ++c) {
        if (c == boldColOff_ && !BoldFirstAfterEmpty()) continue;
        Text& folded = Out(FoldedColumn(c));
        if (!folded.empty()) folded.pop_back();
      }
    }
    return true;
  }

  bool FillPass() {
    host::ProgressBar progress(s_, u" ReduceRows Progress: ");
    const bool batches = s_.request.IgnoreIndexMode;
    for (long r = 0; r < rows_; ++r) {
      if (!progress.Step(std::int64_t{rows_} + r, 2 * std::int64_t{rows_})) return false;
      BeginRow();
      if (StartsRecord(r)) {
        // The record before is complete (unless a batch took it already).
        if (phase_ != Phase::kBeforeBold && BatchRow() > 0 && !StoreJoined()) return false;
        joined_.clear();
        ++s_.actions.ResultRows;
        buffer_.GrowRows(BatchRow());
        outCol_ = 1;
        phase_ = Phase::kBeforeBold;
        recordStart_ = r;
      }
      if (!FillRow(r)) return false;

      const bool last = r == rows_ - 1;
      if (batches && (last || StartsRecord(r + 1)) && s_.actions.ResultRows % kBatchRecords == 0) {
        if (phase_ != Phase::kBeforeBold && !StoreJoined()) return false;
        if (last) s_.actions.BatchStatus = host::BatchMark::kLast;
        if (!output_->WriteBatch(buffer_, kBatchRecords, s_.actions.ResultRows < kRefreshRecords)) return false;
        buffer_.RowsFlushed += kBatchRecords;
        buffer_.EmptyRows();
      }
    }
    if (buffer_.RowsFlushed < s_.actions.ResultRows) {
      if (phase_ != Phase::kBeforeBold && !StoreJoined()) return false;
      s_.actions.BatchStatus = host::BatchMark::kLast;
      if (!output_->WriteBatch(buffer_, BatchRow(), true)) return false;
    }
    return true;
  }

  // ----- the end of the run -----

  void Close() {
    xl::Application& app = s_.App();
    app.SetStatusBar(Text());
    s_.ActiveBook().Worksheets().Item(sheet_->Name()).Activate();
    forms::Control& report = s_.Control(host::ctl::mail::kResultSheet);
    const bool netlist =
        host::ModeOf(s_.Control(host::ctl::mail::kModeHold).Caption()) == host::ModeId::kNetlistConvert;
    if (!netlist) {
      sheets::WindowSmallPaintTbl(s_);
      report.SetCaption(u"");
    }
    if (attended_ && host::MsgBoxDLL(s_, PageSetupQuestion(), msgbox::kYesNo) == msgbox::kAnswerYes) {
      sheets::SetUpPrinter(s_);
    }
    buffer_.Release();
    report.SetCaption(u"");
    if (attended_) {
      xl::Window& window = *app.ActiveWindow();
      sheets::ReportViewArrange(s_, window.Parent().Name() + u":" + vba::IntegerText(window.Index()));
    }
  }

  // Every exit that does not complete: the status says so, a result sheet begun by this
  // run is marked as failed, and the main form comes back.
  void Fail() {
    s_.actions.BatchStatus = host::BatchMark::kAbort;
    if (output_) output_->MarkFailed();
    host::ShowMainUserFormDLL(s_);
  }

  State& s_;
  const bool attended_;
  xl::Worksheet* sheet_ = nullptr;
  long firstRow_ = 1;
  long firstCol_ = 1;
  long rows_ = 0;
  long lastCol_ = 0;
  long boldRow_ = 0;
  long boldColOff_ = 0;
  long boldRecOff_ = 0;
  Style style_ = Style::kIndented;
  ResultBuffer buffer_;
  std::optional<internal::ResultSheet> output_;

  // The passes.
  long usedCount_ = 0;
  long recordStart_ = 0;
  long outCol_ = 1;
  Phase phase_ = Phase::kBeforeBold;
  Text joined_;
};

}  // namespace

void RowsReduce(State& s) {
  ErrorTrail("RowsReduce", [&] { Reduce(s).Run(); });
}

void Clean_RefDes(const State& s, Text& text) {
  ErrorTrail("Clean_RefDes", [&] {
    host::ReplaceItRef(text, u" | ,", u",");
    host::ReplaceItRef(text, u", | ", u",");
    host::ReplaceItRef(text, u" | ", u",");
    host::ReplaceItRef(text, u"\x1F", u" | ");
    host::ReplaceItRef(text, u",,", u",");
    host::ReplaceItRef(text, u"\u00A0", u" ");
    if (!text.empty() && text.back() == u',') text.pop_back();
    if (!text.empty() && text.front() == u',') text.erase(0, 1);
    CommaSpacing(s, text);
  });
}

}  // namespace quillary::actions
