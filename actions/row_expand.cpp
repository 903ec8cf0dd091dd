#include "actions/row_expand.h"

#include <optional>

#include "actions/internal/row_actions.h"
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

constexpr char16_t kExpandedSuffix[] = u"-Expanded";
// Output rows per batch.
constexpr long kBatchRows = 100;
// Inside the pass, the screen is refreshed after the first batch only.
constexpr long kRefreshRows = 150;

// "( " & the mode & headline, the headline beginning " ): ".
Text Titled(const State& s, TextView headline) {
  Text t = u"( ";
  t += s.request.vbaMode.Text();
  t += headline;
  return t;
}

Text Introduction(const State& s) {
  const Text mode = s.request.vbaMode.Text();
  Text t = host::Quoted(host::ReplaceItVal(mode, u"|| ", u":"));
  t += u" has been initiated.   OK To EXPAND Rows?\r";
  t += u"The original list will remain intact and a new sheet will be added.\r\r";
  t += u"This will put each comma delimited Item into a row of its own together with any other information in the "
       u"original row within the selection. This is nearly the reverse of Quillary's ";
  t += host::ModeText(host::ModeId::kReduceRowsToOne);
  t += u".\r\r";
  t +=
      u"If there is NO BOLDED cell within the selection, multiple Items within cells of the FIRST SELECTED COLUMN WILL "
      u"BE EXPANDED into their own row. The expanded Items will be in the first column of the resulting output "
      u"table.\r\r";
  t += u"If there is a SINGLE BOLDED cell within the selection, multiple Items within cells of THAT COLUMN WILL BE "
       u"EXPANDED into their own row. The expanded Items will be in the same relative column in the resulting output "
       u"table as in the original input list.\r";
  t += u"|||||||||||||||||||||||\rNOTE\r";
  t +=
      u"To properly expand hyphenated Indexed Items into multiple rows, you must first expand the Indexed Items within "
      u"their respective cells. Insert a column next to them and use the paste buttons Paste > or Paste V to make a "
      u"column of single Index Items without hyphens, then expand that column.\r";
  t += u"_______________________\rTIPS\r";
  t += u"Consider whether there might be advantages to re-arranging the columns prior to applying this action.\r";
  t += u"To rearrange columns (in the original input or in the output results), Right-click the column identifier, "
       u"choose Cut, then Right-click the column identifier where it should go and choose Insert Cut Cells.\r\r";
  t += u"FOR NETLISTS: If you bold a cell containing the Nodes of a NetName and select the NetName and Node columns, "
       u"you can use ";
  t += host::Quoted(mode);
  t += u" to put each node on it's own row along with its NetName. Do this for two netlist revisions and then use "
       u"Quillary's ";
  t += host::Quoted(host::ModeText(host::ModeId::kCompare2));
  t += u" Action to identify precisely which nodes have been modified between revisions. Nets can also be compared "
       u"whole, one row per net, after using Quillary's ";
  t += host::Quoted(host::ModeText(host::ModeId::kNetlistConvert));
  t += u" without Expanding them. A quick Summary Report can be generated highlighting all modified nets. ";
  t += u"After you sort the Summary Report primarily on the NetName and secondarily on the Tag, the old and new lines "
       u"appear one over the other. When the changed nodes of a net are hard to see, expand the Nodes and compare "
       u"again.";
  return t;
}

Text PageSetupQuestion(const State& s) {
  Text t = u"[Report Page Setup?]( ";
  t += s.request.vbaMode.Text();
  t += u" ): Translation Complete. Apply default Printer Page_Setup?\r\r";
  t += u"The new output results table is highlighted. The original input list is intact on its original sheet behind "
       u"the new small window.\r\r";
  t += u"To join multiple columns of cells in the new table, first rearrange them to be grouped together if necessary. "
       u"Then select the group on a single row and use Paste_V.\r\r";
  t += u"All numbers in the output results table have been converted to Text Numbers. To convert them to Number "
       u"Values, use Quillary's ";
  t += host::ModeText(host::ModeId::kNumberValues);
  t += u".\rTo clean up commas and spaces to reduce fault messages, use Quillary's ";
  t += host::ModeText(host::ModeId::kCommaSpaceSet);
  t += u".\rTo clean up missing prefixes for reference designators, use Quillary's ";
  t += host::ModeText(host::ModeId::kPrefixSet);
  t += u".\rTo remove prefixes after processing, use Quillary's ";
  t += host::ModeText(host::ModeId::kPrefixClear);
  t += u".\r\rChoose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.";
  return t;
}

class Expand {
 public:
  explicit Expand(State& s) : s_(s) {}

  void Run() {
    s_.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
    const xl::Range area = s_.App().ActiveWindow()->RangeSelection().Areas(1);
    sheet_ = &area.Parent();
    firstRow_ = area.Row();
    firstCol_ = area.Column();
    buffer_.BoldCellFound = false;
    s_.drivers.TabSplitPaste = false;
    output_.emplace(s_, sheet_->Name(), kExpandedSuffix);

    if (!Introduce() || !SecondColumnCheck() || !FindBoldCell(area)) return Fail();
    SetUp(area);
    if (!ScanPass() || !ExpansionPass()) return Fail();
    Close();
  }

 private:
  xl::Range CellAt(long r, long c) const { return sheet_->Cells(firstRow_ + r, firstCol_ + c); }
  bool Attended() const { return !s_.Control(host::ctl::mail::kSkipMenu).Enabled(); }

  bool Introduce() {
    host::ScreenOn(s_);
    s_.Control(host::ctl::bigmsg::kText).SetValue(Introduction(s_));
    host::ShowBigMsgFormDLL(s_);
    host::ScreenRestore(s_);
    return s_.dialogs.BigMsgAnswer != 0;
  }

  bool SecondColumnCheck() {
    xl::Application& app = s_.App();
    const xl::Range selection = app.ActiveWindow()->RangeSelection();
    if (selection.Column() >= sheet_->ColumnsCount() - 1) return true;
    const long rows = selection.RowsCount();
    const xl::Range second = sheet_->Range(selection.Cells(1, 2), selection.Cells(rows, 2));
    if (app.WorksheetFunction().CountA(second) != 0 || !app.Intersect(selection, selection.Cells(rows, 2))) {
      return true;
    }
    Text t = Titled(s_, u" ): Note that the second column selected is completely empty.");
    t += u"\rData in the first column might appear as though it is in other columns if you did not finish importing "
         u"it.\r";
    t += u"After bringing text into Excel, select the column of text to be spread out into multiple columns and choose "
         u"TextToColumns from Quillary's drop-down action list.\r\r";
    t += u"It is NOT REQUIRED to select multiple columns to apply this action -- a single column can be Expanded if "
         u"there are multiple Items within single cells. Entirely empty columns will be omitted in the output "
         u"result.\r\r";
    t += u"OK to Continue?";
    return host::MsgBoxDLL(s_, t, msgbox::kOkCancel + msgbox::kExclamation) != msgbox::kAnswerCancel;
  }

  bool FindBoldCell(const xl::Range& area) {
    const long rows = area.RowsCount();
    const long cols = area.ColumnsCount();
    for (long r = 0; r < rows; ++r) {
      for (long c = 0; c < cols; ++c) {
        if (!vba::EqualsTrue(CellAt(r, c).Font().Bold())) continue;
        if (!buffer_.BoldCellFound) {
          buffer_.BoldCellFound = true;
          boldColOff_ = c;
          // Unattended, the first bolded cell wins whatever follows.
          if (!Attended()) return true;
          continue;
        }
        Text t = Titled(s_, u" ): MORE THAN ONE BOLDED cell.");
        t += u"\r\rMore than one bolded cell was found in your selected area (possibly in empty cells).\r";
        t += u"Either, bold one cell that is representative of all parts where the location of the first reference "
             u"designator will be found. Use any part in the list for Bolding. Or, bold any cell in a column which "
             u"changes only once for each part (e.g. the part number) to identify new parts and to remove redundant "
             u"rows of text.\r\r";
        t += internal::BoldShortcut(s_);
        host::MsgBoxDLL(s_, t, msgbox::kInformation);
        return false;
      }
    }
    if (buffer_.BoldCellFound) return true;
    boldColOff_ = 0;
    Text t = Titled(s_, u" ): NO CELL IS BOLDED.");
    t +=
        u"\r\rA bolded cell was NOT found in the selection. Bolding a cell indicates which column has cells with lists "
        u"of Items to be expanded into separate rows for each.\r\r";
    t += u"If a bolded cell is not found, the first column will be used and that column will be put in the first "
         u"column of the resulting output table. \r\r";
    t += internal::BoldShortcut(s_);
    t += u"\r\rChoose NO to cancel. Then bold one cell.\r";
    t += u"Choose YES to continue without bolding a cell if the first column has comma separated lists.";
    return host::MsgBoxDLL(s_, t, msgbox::kYesNo + msgbox::kInformation + msgbox::kDefaultButton2) != msgbox::kAnswerNo;
  }

  void SetUp(const xl::Range& area) {
    s_.actions.ResultRows = 0;
    buffer_.RowsFlushed = 0;
    lastCol_ = area.ColumnsCount() - 1;
    rows_ = area.RowsCount();
    buffer_.SetColumns(0);
    buffer_.TrimFlags(s_.App().ActiveWindow()->RangeSelection().ColumnsCount());
    s_.actions.BatchStatus = host::BatchMark::kMore;
    buffer_.OverwriteAsked = false;
    s_.RestartClock();
    buffer_.BoldColumn = boldColOff_;
  }

  bool ScanPass() {
    host::ProgressBar progress(s_, u" ExpandRowsScan Progress: ");
    for (long r = 0; r < rows_; ++r) {
      if (!progress.Step(r, rows_)) return false;
      for (long c = 0; c <= lastCol_; ++c) {
        if (!internal::TrimmedText(CellAt(r, c)).empty()) buffer_.MarkUsed(c);
      }
    }
    buffer_.SetColumns(lastCol_);
    return true;
  }

  bool ExpansionPass() {
    host::ProgressBar progress(s_, u" ExpandRows Progress: ");
    s_.actions.ResultRows = 0;
    buffer_.RowsFlushed = 0;
    std::vector<Text> others(static_cast<std::size_t>(lastCol_) + 1);
    for (long r = 0; r < rows_; ++r) {
      if (!progress.Step(r, rows_)) return false;
      const std::vector<Text> list = ExpandItems(vba::Trim(items::CellText(CellAt(r, boldColOff_))));
      for (long c = 0; c <= lastCol_; ++c) {
        others[static_cast<std::size_t>(c)] = c == boldColOff_ ? Text() : internal::TrimmedText(CellAt(r, c));
      }
      for (std::size_t i = 0; i < list.size(); ++i) {
        const long row = ++s_.actions.ResultRows - buffer_.RowsFlushed;
        buffer_.GrowRows(row);
        for (long c = 0; c <= lastCol_; ++c) {
          if (c != boldColOff_ && !others[static_cast<std::size_t>(c)].empty()) {
            buffer_.Cell(c, row) = others[static_cast<std::size_t>(c)];
          }
        }
        buffer_.Cell(boldColOff_, row) = list[i];
        if (s_.actions.ResultRows % kBatchRows != 0) continue;
        // The batch that holds the last Item of the last row is the last one.
        if (r == rows_ - 1 && i + 1 == list.size()) s_.actions.BatchStatus = host::BatchMark::kLast;
        if (!output_->WriteBatch(buffer_, kBatchRows, s_.actions.ResultRows < kRefreshRows)) return false;
        buffer_.RowsFlushed += kBatchRows;
        buffer_.EmptyRows();
      }
    }
    if (buffer_.RowsFlushed < s_.actions.ResultRows) {
      s_.actions.BatchStatus = host::BatchMark::kLast;
      if (!output_->WriteBatch(buffer_, s_.actions.ResultRows - buffer_.RowsFlushed, true)) return false;
    }
    return true;
  }

  void Close() {
    xl::Application& app = s_.App();
    app.SetStatusBar(Text());
    sheet_->Activate();
    sheets::WindowSmallPaintTbl(s_);
    if (Attended() && host::MsgBoxDLL(s_, PageSetupQuestion(s_), msgbox::kYesNo) == msgbox::kAnswerYes) {
      sheets::SetUpPrinter(s_);
    }
    buffer_.Release();
    s_.Control(host::ctl::mail::kResultSheet).SetCaption(u"");
    xl::Window& window = *app.ActiveWindow();
    const Text windowName = window.Parent().Name() + u":" + vba::IntegerText(window.Index());
    if (Attended()) sheets::ReportViewArrange(s_, windowName);
  }

  // Every exit that does not complete: the status says so, a result sheet begun by this
  // run is marked as failed, and the main form comes back.
  void Fail() {
    s_.actions.BatchStatus = host::BatchMark::kAbort;
    if (output_) output_->MarkFailed();
    host::ShowMainUserFormDLL(s_);
  }

  State& s_;
  xl::Worksheet* sheet_ = nullptr;
  long firstRow_ = 1;
  long firstCol_ = 1;
  long boldColOff_ = 0;
  long lastCol_ = 0;
  long rows_ = 0;
  ResultBuffer buffer_;
  std::optional<internal::ResultSheet> output_;
};

}  // namespace

std::vector<Text> ExpandItems(const Text& cellText) {
  Text text = cellText;
  host::ReplaceItRef(text, u"\n", u",");
  host::ReplaceItRef(text, u", ", u",");
  host::ReplaceItRef(text, u",,", u",");
  if (!text.empty() && text.front() == u',') text.erase(0, 1);
  if (text.empty()) text = u" ";

  std::vector<Text> list;
  const std::size_t length = text.size();
  std::size_t p = 0;  // 0-based reading position
  while (p < length) {
    const std::size_t comma = text.find(u',', p);
    if (comma == Text::npos) {
      list.push_back(vba::Trim(TextView(text).substr(p)));
      break;
    }
    list.push_back(vba::Trim(TextView(text).substr(p, comma - p)));
    p = comma + 1;
  }
  return list;
}

void RowExpand(State& s) {
  ErrorTrail("RowExpand", [&] { Expand(s).Run(); });
}

}  // namespace quillary::actions
