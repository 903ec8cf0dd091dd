#include "actions/netlist.h"

#include <algorithm>
#include <set>

#include "actions/actions.h"
#include "actions/internal/row_actions.h"
#include "actions/internal/run.h"
#include "actions/result_buffer.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"
#include "sheets/page_setup.h"
#include "sheets/report_view.h"
#include "sheets/result_sheets.h"
#include "sheets/selection_trim.h"

namespace quillary::actions {

namespace {

using host::State;
namespace msgbox = host::msgbox;

constexpr char16_t kWorkSuffix[] = u"-NetCnvrtd";
// The paste types of the block engine and their colours.
constexpr char16_t kPasteItems[] = u"Items";
constexpr long kPasteItemsColour = 0xFFC0C0;
constexpr char16_t kPasteCount[] = u"Count";
constexpr long kPasteCountColour = 0xC0FFC0;
// Result rows start below the two heading rows.
constexpr long kFirstResultRow = 3;

Text Msg(const State& s, TextView headline, std::initializer_list<TextView> paragraphs) {
  return internal::ActionMessage(s, internal::TitleForm::kClean, headline, paragraphs);
}

Text Introduction(const State& s) {
  Text t = u"\"";
  t += host::ReplaceItVal(s.request.vbaMode.Text(), u"|| ", u":");
  t += u"\" has been initiated.   OK To Convert Netlist?";
  const Text sorted = u"NET_NAMES are always sorted when \"" + s.request.vbaMode.Text() + u"\" is used.";
  const Text otherStyles =
      u"For netlists that are not in this style, Excel's Find and Replace can often bring them into it, or Quillary's "
      u"\"" +
      Text(host::ModeText(host::ModeId::kTextConverterImport)) + u"\" can split them into columns.";
  const Text split =
      u"Or split the lines into a net name column and node columns with TextToColumns, bold the first "
      u"node cell and use \"" +
      Text(host::ModeText(host::ModeId::kReduceRowsToOne)) + u"\" to gather each net onto one row.";
  for (TextView p : {
           TextView(u"The original list will remain intact and a new sheet will be added."),
           TextView(u"This will auto-convert a Telesis style netlist which has a format such that a line begins with a "
                    u"Name (called a Netname), followed by a semicolon and then at least one Item belonging to that "
                    u"Name (called a Node). Any additional rows of Items (Nodes) belonging to that same Name (Netname) "
                    u"must have more spaces at the beginning than the top-most row or else they must begin with a "
                    u"semicolon."),
           TextView(u"Example of Telesis style netlist showing locations of semicolons and commas (and/or delimiting "
                    u"spaces). Words can be anything:\rNAME_A; ITEMa1, ITEMa2\r;ITEMa3, ITEMa4\rNAME_B; ITEMb1, "
                    u"ITEMb2\rNAME_C; ITEMc1"),
           TextView(u"Select only the cells that should be sorted together (e.g. include all nets, exclude other "
                    u"statements). Convert dissimilar sections separately if necessary."),
           TextView(u"To sort nodes (for comparison purposes, for example), use Quillary's IgnoreIndex# Mode along "
                    u"with the Sort option set."),
           TextView(sorted),
           TextView(otherStyles),
           TextView(split),
       }) {
    t += host::kParagraph;
    t += p;
  }
  return t;
}

class Convert {
 public:
  explicit Convert(State& s) : s_(s) {}

  void Run() {
    if (s_.request.vbaMode.Is(host::ModeId::kNetlistConvert)) Conversion();
    EndOfRun();
  }

 private:
  forms::Control& Report() { return s_.Control(host::ctl::mail::kResultSheet); }
  xl::Workbook& Book() { return s_.ActiveBook(); }
  xl::Range Selection() { return s_.App().ActiveWindow()->RangeSelection(); }

  void Conversion() {
    Report().SetCaption(u"");
    const xl::Range area = Selection().Areas(1);
    source_ = area.Parent().Name();
    matchCase_ = vba::EqualsTrue(s_.Control(host::ctl::main::kMatchCase).Value());
    if (!Questions(area)) return host::ShowMainUserFormDLL(s_);
    s_.actions.ActionStartTime = s_.services.clock.MonotonicSeconds();

    if (!Prepare(area)) return host::ShowMainUserFormDLL(s_);
    if (Reduce()) CountAndSort();
    s_.Control(host::ctl::mail::kModeHold).SetCaption(u"");
    if (!result_.empty()) Finish();
  }

  // ----- the questions before any sheet is added -----

  bool Questions(const xl::Range& area) {
    host::ScreenOn(s_);
    s_.Control(host::ctl::bigmsg::kOptionButton).SetVisible(false);
    s_.Control(host::ctl::bigmsg::kText).SetValue(Introduction(s_));
    host::ShowBigMsgFormDLL(s_);
    host::ScreenRestore(s_);
    if (s_.dialogs.BigMsgAnswer == 0) return false;
    s_.App().SetCursor(xl::xlWait);

    if (!s_.request.IgnoreIndexMode) {
      host::MsgBoxDLL(s_, internal::IgnoreIndexRequiredMsg(), msgbox::kInformation);
      return false;
    }
    forms::Control& tag = s_.Control(host::ctl::main::kTagDuplicates);
    if (tag.Enabled() && vba::EqualsTrue(tag.Value())) {
      host::MsgBoxDLL(s_, internal::TagDuplicatesRefusedMsg(s_), msgbox::kInformation);
      return false;
    }
    forms::Control& sort = s_.Control(host::ctl::main::kSort);
    if (!vba::EqualsTrue(sort.Value())) {
      const double answer = host::MsgBoxDLL(
          s_,
          Msg(s_,
              u"It is often best to sort the NODES of a netlist so that they can be compared later. But NODE sorting "
              u"has not been enabled.",
              {u"To sort NODES use Quillary's IgnoreIndex# Mode along with the Sort option set.",
               u"NET_NAMES are always sorted with this action.",
               u"Choose YES if you want to use Quillary's Sort Mode to sort NODES.",
               u"Choose NO if you want to proceed without sorting the NODES.",
               u"Choose CANCEL if you want to Abort this action."}),
          msgbox::kYesNoCancel + msgbox::kInformation);
      if (answer == msgbox::kAnswerCancel) return false;
      if (answer == msgbox::kAnswerYes) sort.SetValue(true);
    }
    return HasNetlistLines(area);
  }

  // A first column without a line to convert is refused before a sheet is added.
  bool HasNetlistLines(const xl::Range& area) {
    xl::Worksheet& sheet = area.Parent();
    for (long r = area.Row(); r < area.Row() + area.RowsCount(); ++r) {
      Text line = items::CellText(sheet.Cells(r, area.Column()));
      host::RplcHspace(line);
      if (!vba::Trim(line).empty()) return true;
    }
    host::MsgBoxDLL(s_,
                    Msg(s_, u"The first column of the selection holds no netlist lines.",
                        {u"Select the cells of the netlist, beginning with its first net line.",
                         u"The conversion process has CANCELLED before completion."}),
                    msgbox::kInformation);
    return false;
  }

  // ----- the work sheet: copy, clean and split -----

  bool Prepare(const xl::Range& area) {
    sheets::MakeNewSheet(s_, source_, kWorkSuffix);
    work_ = Report().Caption();
    xl::Worksheet& work = Book().Worksheets().Item(work_);
    work.Activate();
    CopyValues(area, work);

    work.Range(work.Cells(1, 1), work.Cells(work.RowsCount(), 1)).Select();
    if (sheets::WholeColRow(s_) != host::Proceed::kGoOn) {
      DeleteWorkSheet();
      return false;
    }
    const xl::Range lines = Selection();
    firstLine_ = lines.Row();
    lineCount_ = lines.RowsCount();
    std::size_t indent = 0;
    for (long r = firstLine_; r < firstLine_ + lineCount_; ++r) {
      const xl::Range cell = work.Cells(r, 1);
      const Text line = items::CellText(cell);
      if (r == firstLine_) indent = NetlistIndent(line);
      const Variant alignment = cell.HorizontalAlignment();
      const Text cleaned = CleanNetlistLine(line, indent);
      items::WriteText(cell, cleaned);
      if (cleaned.empty()) cell.ClearContents();
      cell.SetHorizontalAlignment(vba::CLng(vba::CDbl(alignment)));
    }

    xl::Application& app = s_.App();
    app.SetDisplayAlerts(false);
    lines.TextToColumns({.DataType = xl::xlDelimited,
                         .TextQualifier = xl::xlTextQualifierNone,
                         .ConsecutiveDelimiter = false,
                         .Tab = false,
                         .Semicolon = true,
                         .Comma = false,
                         .Space = false,
                         .Other = false,
                         .FieldInfo = {{1, xl::xlTextFormat}, {2, xl::xlTextFormat}}});
    app.SetDisplayAlerts(true);
    services::TextToColSetting(s_, s_.drivers.TabSplitPaste);
    return true;
  }

  // The values of the area onto the work sheet from A2; texts stay texts as they are
  // (a line that reads as a number keeps its digits).
  static void CopyValues(const xl::Range& area, xl::Worksheet& work) {
    xl::Worksheet& sheet = area.Parent();
    for (long c = 0; c < area.ColumnsCount(); ++c) {
      for (long r = 0; r < area.RowsCount(); ++r) {
        const Variant v = sheet.Cells(area.Row() + r, area.Column() + c).Value();
        if (v.IsEmpty()) continue;
        const xl::Range target = work.Cells(r + 2, c + 1);
        if (v.IsText()) {
          items::WriteText(target, v.AsText());
        } else {
          target.SetValue(v);
        }
      }
    }
  }

  void DeleteWorkSheet() {
    xl::Application& app = s_.App();
    app.SetDisplayAlerts(false);
    Book().Worksheets().Item(work_).Delete();
    app.SetDisplayAlerts(true);
  }

  // ----- the reduction to one row per net -----

  bool Reduce() {
    xl::Worksheet& work = Book().Worksheets().Item(work_);
    work.Range(work.Cells(firstLine_, 1), work.Cells(firstLine_ + lineCount_, 2)).Select();
    work.Cells(firstLine_, 2).Font().SetBold(true);

    std::set<Text> before;
    xl::SheetCollection& sheets = Book().Worksheets();
    for (long i = 1, n = sheets.Count(); i <= n; ++i) before.insert(text_order::Fold(sheets.Item(i).Name()));

    s_.request.IgnoreIndexMode = true;
    s_.actions.BatchStatus = host::BatchMark::kAbort;
    RunActionNested(s_, host::ModeId::kReduceRowsToOne, SkipMenuAfter::kLeaveOn);

    // The sheet the reduction made, found among the sheets that were not there before:
    // no other sheet is renamed, whatever the reduction left active.
    Text made;
    for (long i = 1, n = sheets.Count(); i <= n; ++i) {
      const Text name = sheets.Item(i).Name();
      if (before.count(text_order::Fold(name)) == 0) made = name;
    }
    DeleteWorkSheet();
    if (!made.empty()) {
      xl::Worksheet& sheet = sheets.Item(made);
      sheet.SetName(work_);
      sheet.Activate();
      result_ = work_;
      Report().SetCaption(result_);
    }
    if (s_.actions.BatchStatus == host::BatchMark::kLast && !made.empty()) return true;

    MarkFailed();
    host::MsgBoxDLL(s_,
                    Msg(s_,
                        u"Error. An unexpected error occurred which is usually related to attempting to overwrite "
                        u"existing cell content.",
                        {u"But since the Report Sheet is a new worksheet of all empty cells, this error should not "
                         u"have occurred.",
                         u"The conversion process has CANCELLED before completion."}),
                    msgbox::kInformation);
    return false;
  }

  void MarkFailed() {
    if (result_.empty()) return;
    result_ = internal::MarkSheetFailed(s_, result_);
    Report().SetCaption(result_);
  }

  // ----- counting and sorting -----

  long LastResultRow() const { return s_.actions.ResultRows + kFirstResultRow - 1; }

  // One run of the block engine on the net rows: the cells right of column B get the
  // nodes of each net sorted ("Items") or counted ("Count").
  void EngineRun(TextView pasteType, long colour) {
    xl::Worksheet& sheet = Book().ActiveSheet();
    sheet.Range(sheet.Cells(1, 1), sheet.Cells(sheet.RowsCount(), 1)).Select();
    if (sheets::WholeColRow(s_) != host::Proceed::kGoOn) return;
    Selection().Offset(0, 1).Select();
    forms::Control& paste = s_.Control(host::ctl::main::kPasteType);
    paste.SetCaption(pasteType);
    paste.SetForeColor(colour);
    s_.blocks.OnceFlag = true;
    RunBlockEngineNested(s_, SkipMenuAfter::kLeaveOn);
  }

  // Every net row's text in `col` must fit a cell; false after telling the user.
  bool LengthCheck(long col, bool engineText) {
    xl::Worksheet& sheet = Book().ActiveSheet();
    std::size_t longest = engineText ? s_.request.DisplayText.size() : 0;
    for (long r = kFirstResultRow; r <= LastResultRow(); ++r) {
      longest = std::max(longest, items::CellText(sheet.Cells(r, col)).size());
    }
    if (longest <= internal::kMaxActionText) return true;
    MarkFailed();
    Text count = u"There are ";
    count += vba::Format(static_cast<double>(longest), u"##,##0");
    count +=
        u" text characters to put in a single cell. This probably occcured due to an attempt to merge down into a "
        u"single cell large amounts of text from multiple cells. There is no alternative method for merging this much "
        u"text into a single cell other than reducing the amount of text.";
    host::MsgBoxDLL(s_,
                    Msg(s_, u"Overflow >32,760 text characters. Excel's single cell text limit has been exceeded.",
                        {count, u"The conversion process has CANCELLED before completion."}),
                    msgbox::kInformation);
    return false;
  }

  void NetNameSort() {
    xl::Worksheet& sheet = Book().ActiveSheet();
    const xl::Range key = sheet.Cells(kFirstResultRow, 1);
    items::SortIgnoringErrors(sheet.Range(key, sheet.Cells(LastResultRow(), 2)), {.Key1 = &key,
                                                                                  .Order1 = xl::xlAscending,
                                                                                  .Header = xl::xlNo,
                                                                                  .MatchCase = matchCase_,
                                                                                  .Orientation = xl::xlTopToBottom});
  }

  // With node sorting the sorted nodes replace the joined ones before the nets are
  // sorted; the counts are written last, so each stands on its own net's row.
  void CountAndSort() {
    xl::Worksheet& sheet = Book().ActiveSheet();
    if (vba::EqualsTrue(s_.Control(host::ctl::main::kSort).Value())) {
      EngineRun(kPasteItems, kPasteItemsColour);
      if (!LengthCheck(3, true)) return;
      sheet.Columns(2).Delete();
      NetNameSort();
      EngineRun(kPasteCount, kPasteCountColour);
      return;
    }
    NetNameSort();
    EngineRun(kPasteCount, kPasteCountColour);
    static_cast<void>(LengthCheck(2, false));
  }

  // ----- the end -----

  void Finish() {
    xl::Application& app = s_.App();
    Book().Worksheets().Item(source_).Activate();
    xl::Window& window = *app.ActiveWindow();
    const Text windowName = window.Parent().Name() + u":" + vba::IntegerText(window.Index());
    sheets::WindowSmallPaintTbl(s_);
    Text question = u"[Report Page Setup?]( ";
    question += host::CleanMode(s_);
    question += u" ): Apply Quillary's default Printer Page_Setup?";
    question += host::kParagraph;
    question += u"While using the print preview, try changing Portrait/Landscape and Fit To Pages Width/Tall.";
    question += host::kParagraph;
    question += u"Choose NO if the worksheet has printer problems -- possibly due to a non-Excel generated worksheet.";
    if (host::MsgBoxDLL(s_, question, msgbox::kYesNo) == msgbox::kAnswerYes) sheets::SetUpPrinter(s_);
    sheets::ReportViewArrange(s_, windowName);
  }

  // Reached on every path, also when the run ended at its first question.
  void EndOfRun() {
    const Text mode(host::ModeText(host::ModeId::kNetlistConvert));
    if (s_.request.ActiveWndw != nullptr) s_.request.ActiveWndw->SetValue(Text());
    s_.Control(host::ctl::main::kActionList).SetValue(mode);
    s_.request.vbaMode.Set(mode);
    s_.Control(host::ctl::mail::kSkipMenu).SetEnabled(false);
    s_.Control(host::ctl::mail::kModeHold).SetCaption(u"");
    Report().SetCaption(u"");
  }

  State& s_;
  Text source_;
  bool matchCase_ = false;
  // The work sheet's name, which the result sheet takes over.
  Text work_;
  long firstLine_ = 2;
  long lineCount_ = 0;
  // The result sheet's name once the reduction made it.
  Text result_;
};

}  // namespace

std::size_t NetlistIndent(Text firstLine) {
  host::RplcHspace(firstLine);
  return firstLine.size() - vba::LTrim(firstLine).size();
}

Text CleanNetlistLine(Text line, std::size_t indent) {
  host::RplcHspace(line);
  const bool continuation = line.size() >= indent + 1 && line.find_first_not_of(u' ') >= indent + 1;
  Text text = continuation ? Text(u";") : Text();
  text += vba::LTrim(line);
  host::ReplaceItRef(text, u", ", u",");
  host::ReplaceItRef(text, u" ", u",");
  host::ReplaceItRef(text, u";;", u";");
  host::ReplaceItRef(text, u",,", u",");
  host::ReplaceItRef(text, u";,", u";");
  return text;
}

void CnvrtNetTelesis(State& s) {
  ErrorTrail("CnvrtNetTelesis", [&] { Convert(s).Run(); });
}

}  // namespace quillary::actions
