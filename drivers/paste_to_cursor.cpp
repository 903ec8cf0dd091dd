#include "drivers/paste_to_cursor.h"

#include <algorithm>
#include <vector>

#include "drivers/messages.h"
#include "host/callbacks.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"

namespace quillary::drivers {

namespace {

using host::Quoted;
using host::State;

constexpr char16_t kCr[] = u"\r";
constexpr char16_t kReadyHeader[] = u"Duplicates_Summary  (ready to paste)\r";

// The help text of the source question.
Text HelpText(const State& s) {
  const Text mode = Quoted(host::ReplaceItVal(s.request.vbaMode.Text(), u"|| ", u":"));
  const Text self = Quoted(u"Paste Safe To Cursor");
  const Text cr2 = host::kParagraph;
  const Text bar = u"_______________________" + Text(kCr);
  return mode + u" has been initiated.   OK To Paste to Worksheet?" + kCr + u"Excel's Undo will not revert this!" +
         cr2 +
         u"ACTIVE WINDOW: Text displayed in Quillary's active Window will be pasted at the top of your selection. " +
         kCr +
         u"Click Quillary's Cell^Col label to toggle the text in Quillary's Window back and forth between comma "
         u"delimited (single cell) and columar format (multiple cells in one column). " +
         cr2 +
         u"TEXT FROM CLIPBOARD: Text that has been copied into Windows Clipboard will be pasted at the top of your "
         u"selection. Use this to get text from other applications into the worksheet safely as text (without "
         u"undesireable interpretations by Excel that can happen during a normal Clipboard paste). Alternatively, you "
         u"can also try formating the destination cells in Excel as \"Text\" prior to pasting directly from the "
         u"Windows Clipboard. After pasting safely into the worksheet, use Quillary's \"Text Converter/Import\" (and "
         u"other features) to arrange it appropriately." +
         cr2 + kCr +
         u"This action is useful for assuring nothing is overwritten, and it assures everything will be pasted as "
         u"text instead of number values or unintentional formulas. For example: TRUE, FALSE, Date-like numbers, "
         u"Quotes (when TextToColums TextQualifier is set), etc., will all paste correctly as text." +
         cr2 +
         u"Also, when there is too much text for only a single cell to receive the paste, this action assures that "
         u"if an Item Name gets split spanning across cells, the cell will not unintentionally become a number value "
         u"nor a formula caused by an unexpected \"formula\" character becoming the first character of a cell. This "
         u"version of Quillary does NOT attempt to repair Item Names split across cells. Please submit a request for "
         u"a repair process to be added if it is essential. Use Quillary's \"Cell^Col\" to paste Items into mulitple "
         u"cells of a column while keeping Item names intact. Or use Quillary's \"Paste V\" to group multiple cells "
         u"of Items into single cells." +
         kCr + bar + u"\u00BB Pasting a Duplicates_Summary Report:" + cr2 +
         u"This action will correctly paste into three columns the Duplicate Items and their counts as listed in a "
         u"Quillary \"Summary_Report\" after using Quillary's " +
         Quoted(s.Control(host::ctl::main::kTagDuplicates).Caption()) + u" option." + cr2 +
         u"It is recommended that you use Quillary's " + self +
         u" for a Duplicates_Summary when you do not want Excel's Edit>Paste to paste Items improperly as number "
         u"values or as formulas. Be aware that, unlike Quillary's Paste methods, Excel's Edit>Paste can truncate "
         u"long formulas." +
         cr2 +
         u"If \"COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION\" was chosen when checking for Duplicates, then " +
         self +
         u" will place the \"Summary_Report\" into 3 columns as usual. However, to expand the reported duplicates "
         u"into the same amount of Items and columns as in the original selection, select the third column of the "
         u"summary, click Get/Test, switch to columnar display, and paste using \"PasteToCusor\". Note: If \"COMPARE "
         u"EACH ROW AS A SINGLE ITEM WITHIN SELECTION\" was chosen when checking for Duplicates, and if Quillary's "
         u"Window is set to columnar, Excel's Paste will paste comma delimited Items into the same amount of columns "
         u"as the original selection." +
         kCr + bar +
         u"\u00BB Pasting \"Compare2/Uniques\" Results when \"COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION\" "
         u"has been chosen." +
         cr2 +
         u"If you use Excel to paste comparison results, all will be pasted into a single column and there may be "
         u"special characters included that Quillary uses to join Items and Cells." +
         cr2 + u"However, if you use Quillary's " + self +
         u" , all will be pasted safely and correctly as text into the same arrangement of columns and cells as the "
         u"original selection (the special characters used to join Items and Cells will have been removed)." +
         cr2 +
         u"After pasting one of Quillary's Windows to the worksheet, click Quillary's other window to activate it, "
         u"and then use this action to also safely paste those results." +
         kCr + bar + u"NOTES:" + kCr + mode +
         u" only pastes Items shown in Quillary's Active Window and not their count - regardless of the Paste_Type "
         u"option setting." +
         cr2 +
         u"Often, it is safe to use Excel's Edit>Paste directly without the problem of unintentional formulas being "
         u"pasted. You can do that safely without any special steps if you are sure that Item names do not begin "
         u"with characters which Excel considers to be formula characters (eg. \" +-=$%@( \" ). You can provide even "
         u"more safety if you first select the destination area (e.g. a whole blank worksheet) and use Excel's menu "
         u"to Format>Cells>Number>Text. After pasting, you can change the format back to \"GENERAL\" (all cells "
         u"pasted as text will remain as text unless you edit their cell). This is not a solid work around. When in "
         u"doubt, it is best to use Quillary's Paste methods. Also, be aware that if Items do begin with a formula "
         u"character and if there are more characters in that cell than Excel's maximum formula size (255 long for "
         u"pre-Excel 2007), Excel will give a warning message.";
}

// The lines of a text: each ends at a carriage return, a line feed after it belongs to
// the break.
std::vector<TextView> Lines(TextView text) {
  std::vector<TextView> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t cr = text.find(u'\r', start);
    if (cr == TextView::npos) break;
    lines.push_back(text.substr(start, cr - start));
    start = cr + 1;
    if (start < text.size() && text[start] == u'\n') ++start;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// At most `count` fields of a line: split at Tabs, the last field keeping the rest of
// the line. A line with fewer Tabs gives fewer fields.
std::vector<TextView> Fields(TextView line, long count) {
  std::vector<TextView> fields;
  std::size_t start = 0;
  while (static_cast<long>(fields.size()) + 1 < count) {
    const std::size_t tab = line.find(u'\t', start);
    if (tab == TextView::npos) break;
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

enum class Layout { kPlain, kSummary, kJoined };

class PasteRun {
 public:
  explicit PasteRun(State& s) : s_(s), work_(host::HiddenWorkSht(s)) {}

  void Run() {
    const xl::Range cursor = s_.App().ActiveWindow()->RangeSelection().Areas(1).Cells(1, 1);
    cursorRow_ = cursor.Row();
    firstColumn_ = cursor.Column();
    if (s_.request.vbaMode.Is(host::ModeId::kPasteSafeToCursor) && Prepare()) Write();
    services::ExcelPasteClear(s_);
    host::ShowMainUserFormDLL(s_);
  }

 private:
  // "( " & mode & " ): " & text, the mode as it stands.
  Text Titled(TextView text) const { return host::TitledWith(s_.request.vbaMode.Text(), text); }
  void Info(const Text& text) { host::MsgBoxDLL(s_, text, host::msgbox::kInformation); }

  // The source, the text, its rows and columns, the destination and its checks; false
  // when the action ends before writing.
  bool Prepare() {
    const int answer = host::AskBigMsgForm(s_, HelpText(s_), u"Active Window", u"Text FromClipbrd");
    if (answer == 0) return false;
    fromWindow_ = answer == 1;
    services::TextToColSetting(s_, false);
    if (fromWindow_) services::Clipboard_Clear(s_);
    return ReadSource() && CountRows() && RowsFit(rows_) && LayoutFits() && Destination() && DestinationEmpty();
  }

  bool ReadSource() {
    if (fromWindow_) {
      text_ = host::ReplaceItVal(s_.request.ActiveWndw->Text(), TextView(&items::kTabMark, 1), u"\t");
      if (text_.empty()) {
        Info(Titled(msg::kNoWindowTextMsg));
        return false;
      }
      return true;
    }
    // The clipboard keeps the plain text alone.
    if (services::RetryClipboard([&] {
          text_ = s_.services.clipboard.GetText();
          s_.services.clipboard.Clear();
          if (!text_.empty()) s_.services.clipboard.SetText(text_);
        })) {
      return true;
    }
    return PasteFailed();
  }

  bool PasteFailed() {
    host::MsgBoxDLL(
        s_,
        host::Paragraphs({u"An error occurred when attempting to paste text from the clipboard.",
                          u"It might be that more rows are needed than are available in the worksheet (" +
                              vba::IntegerText(work_.RowsCount()) + u").",
                          u"Try first copying your text to a text editor such as Notepad and copy to the "
                          u"clipboard from there. And then try to apply \"Paste Safely to Cursor\" again."}),
        host::msgbox::kOk);
    return false;
  }

  // R: the lines of the Active Window text, or the rows the clipboard text took on the
  // working sheet (staged there as text, Tab splitting off).
  bool CountRows() {
    if (fromWindow_) {
      rows_ = static_cast<long>(std::count(text_.begin(), text_.end(), u'\r')) + 1;
      return true;
    }
    const xl::Range landing = work_.Range(host::kExcelPaste);
    const xl::Range column = work_.Range(landing, work_.Cells(work_.RowsCount(), landing.Column()));
    column.ClearContents();
    column.SetNumberFormat(u"@");
    if (Attempt([&] { work_.Paste(landing); })) return PasteFailed();
    rows_ = static_cast<long>(services::PastedRows(work_, landing));
    if (rows_ == 1 && items::CellText(landing).empty()) rows_ = 0;
    // A paste that split its lines at Tabs after all (the platform may ignore the Tab
    // setting) is read back over its whole width. It ran over the cells right of the
    // paste column, so those are cleared and the text pasted once more: the block then
    // holds nothing but the paste.
    const std::vector<xl::Area> pasted = work_.SelectionAreas();
    if (!pasted.empty() && pasted.front().col1 == landing.Column()) stagedWidth_ = pasted.front().Columns();
    staged_ = work_.Range(landing, landing.Offset(std::max(rows_, 1L) - 1, stagedWidth_ - 1));
    if (stagedWidth_ > 1) {
      work_.Range(landing.Offset(0, 1), staged_->Cells(staged_->RowsCount(), stagedWidth_)).ClearContents();
      if (Attempt([&] { work_.Paste(landing); })) return PasteFailed();
    }
    return true;
  }

  bool RowsFit(long rows) {
    if (cursorRow_ - 1 + rows <= work_.RowsCount()) return true;
    Info(Titled(msg::kTooManyRowsMsg));
    return false;
  }

  // The layout of the text and the columns it needs right of the cursor column.
  bool LayoutFits() {
    const long sheetColumns = work_.ColumnsCount();
    if (text_.starts_with(kReadyHeader)) {
      host::ReplaceItRef(text_, u"  (ready to paste)", u"", 1, 1);
      layout_ = Layout::kSummary;
      extra_ = 2;
      if (firstColumn_ + extra_ > sheetColumns) {
        Info(Titled(msg::kTooFewColumnsMsg));
        return false;
      }
    } else if (text_.find_first_of(u"\u00AF\u00A8") != Text::npos) {
      const std::size_t cr = text_.find(u'\r');
      if (cr != Text::npos) {
        extra_ = static_cast<long>(
            std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(cr) + 1, items::kJoinMark));
      } else if (text_.find(u',') != Text::npos) {
        host::ReplaceItRef(text_, u",", TextView(&items::kJoinMark, 1));
        extra_ = 0;
      } else {
        extra_ = static_cast<long>(std::count(text_.begin(), text_.end(), items::kJoinMark));
      }
      host::ReplaceItRef(text_, TextView(&items::kJoinMark, 1), u"\t");
      const bool commaSpace =
          vba::EqualsTrue(s_.Control(host::ctl::main::kCommaSpace).Value()) && !s_.request.IgnoreIndexMode;
      host::ReplaceItRef(text_, TextView(&items::kCommaMark, 1), commaSpace ? u", " : u",");
      layout_ = Layout::kJoined;
      if (firstColumn_ + extra_ > sheetColumns) {
        Info(Titled(
            host::Paragraphs({msg::kTooFewColumnsMsg, msg::kJoinedTooWideMsg2 +
                                                          Quoted(s_.Control(host::ctl::compdup::kJoinCells).Caption()) +
                                                          msg::kJoinedTooWideMsg3})));
        return false;
      }
    }
    return true;
  }

  // Selects the destination: a one-line Active Window text as the staging spreads it
  // (asking first when that is more than one cell), else the rows by the columns.
  bool Destination() {
    xl::Worksheet& sheet = s_.ActiveBook().ActiveSheet();
    if (fromWindow_ && rows_ <= 1 && extra_ <= 0) {
      static_cast<void>(services::Clipbrd_Into(s_, text_));
      const std::int64_t pasteRows = s_.request.PasteRowCount;
      longLine_ = pasteRows > 1;
      const long rows = longLine_ ? static_cast<long>(pasteRows) : rows_;
      if (longLine_ && !RowsFit(rows)) return false;
      dest_ = sheet.Range(sheet.Cells(cursorRow_, firstColumn_), sheet.Cells(cursorRow_ - 1 + rows, firstColumn_));
      dest_->Select();
      if (!longLine_) return true;
      const Text question =
          Titled(host::Paragraphs({msg::kLongLineMsg,
                                   u"There are " + vba::Format(static_cast<double>(text_.size()) - rows_, u"##,##0") +
                                       u" text characters to attempt to paste into a single cell. But they will use " +
                                       vba::Format(static_cast<double>(pasteRows), u"##,##0") + u" rows instead.",
                                   msg::kLongLineMsg3, msg::kLongLineMsg4, msg::kLongLineMsg5}));
      return host::MsgBoxDLL(s_, question, host::msgbox::kOkCancel + host::msgbox::kInformation) !=
             host::msgbox::kAnswerCancel;
    }
    // A clipboard text is written as wide as it landed, within the sheet.
    const long columns =
        std::min(std::max(extra_ + 1, fromWindow_ ? 1L : stagedWidth_), sheet.ColumnsCount() - firstColumn_ + 1);
    dest_ = sheet.Range(sheet.Cells(cursorRow_, firstColumn_),
                        sheet.Cells(cursorRow_ - 1 + std::max(rows_, 1L), firstColumn_ + columns - 1));
    dest_->Select();
    return true;
  }

  // Nothing is ever written over data.
  bool DestinationEmpty() {
    const double filled = s_.App().WorksheetFunction().CountA(*dest_);
    if (filled <= 0) return true;
    Info(Titled(host::Paragraphs({msg::kWillNotOverwriteMsg,
                                  u"There are " + vba::IntegerText(static_cast<std::int64_t>(filled)) +
                                      u" cells that have data which would be overwritten.",
                                  msg::kWillNotOverwriteMsg3})));
    return false;
  }

  // From here a worksheet fault stops the writing; what was written stays.
  void Write() {
    if (Attempt([&] { WriteCells(); })) {
      Info(Titled(msg::kWorksheetFaultMsg));
    }
  }

  void WriteCells() {
    const long alignment = vba::CInt(vba::CDbl(dest_->Cells(1, 1).HorizontalAlignment()));
    dest_->ClearFormats();
    if (longLine_) {
      // The pieces the staging made, one per row.
      const xl::Range landing = work_.Range(host::kExcelPaste);
      for (long i = 1; i <= dest_->RowsCount(); ++i) {
        items::WriteText(dest_->Cells(i, 1), items::CellText(landing.Offset(i - 1, 0)));
      }
      return;
    }
    s_.RestartClock();
    host::ProgressBar bar(s_, u" PasteText Progress: ");
    if (!fromWindow_) {
      if (rows_ <= 0) {
        Info(host::Paragraphs({msg::kNoClipboardTextMsg, msg::kNoClipboardTextMsg2, msg::kNoClipboardTextMsg3}));
      } else if (!WriteStaged(bar)) {
        return;
      }
    } else if (!WriteLines(bar)) {
      return;
    }
    dest_->SetVerticalAlignment(xl::xlTop);
    dest_->SetHorizontalAlignment(alignment);
  }

  // The staged cells, row by row, as text. False when the user stopped.
  bool WriteStaged(host::ProgressBar& bar) {
    for (long i = 1; i <= rows_; ++i) {
      if (!bar.Step(i, rows_)) return false;
      items::WriteText(dest_->Cells(i, 1), items::CellText(staged_->Cells(i, 1)));
      // The fields a split paste put beside the paste column; cells it left empty stay
      // empty.
      for (long j = 2; j <= stagedWidth_; ++j) {
        const Text field = items::CellText(staged_->Cells(i, j));
        if (!field.empty()) items::WriteText(dest_->Cells(i, j), field);
      }
    }
    return true;
  }

  // The Active Window's lines: one cell each, or split at Tabs into at most the
  // destination's columns (the last keeping the rest of its line); the summary's header
  // and its counts as they are. False when the user stopped.
  bool WriteLines(host::ProgressBar& bar) {
    if (layout_ != Layout::kPlain) services::TextToColSetting(s_, true);
    const std::vector<TextView> lines = Lines(text_);
    long first = 1;
    if (layout_ == Layout::kSummary) {
      dest_->Cells(1, 1).SetValue(Text(lines.front()));
      first = 2;
    }
    for (long i = first; i <= rows_; ++i) {
      if (!bar.Step(i, rows_)) return false;
      const std::vector<TextView> fields = Fields(lines[static_cast<std::size_t>(i - 1)], extra_ + 1);
      for (std::size_t j = 0; j < fields.size(); ++j) {
        const xl::Range cell = dest_->Cells(i, static_cast<long>(j) + 1);
        if (layout_ == Layout::kSummary && j == 1) {
          cell.SetValue(Text(fields[j]));
        } else {
          items::WriteText(cell, fields[j]);
        }
      }
    }
    return true;
  }

  State& s_;
  xl::Worksheet& work_;
  long cursorRow_ = 1;
  long firstColumn_ = 1;
  bool fromWindow_ = true;
  Text text_;
  long rows_ = 0;
  long extra_ = 0;
  Layout layout_ = Layout::kPlain;
  long stagedWidth_ = 1;
  std::optional<xl::Range> staged_;
  std::optional<xl::Range> dest_;
  bool longLine_ = false;
};

}  // namespace

void PasteToCurs(State& s) {
  ErrorTrail("PasteToCurs", [&] { PasteRun(s).Run(); });
}

}  // namespace quillary::drivers
