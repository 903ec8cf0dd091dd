#include "actions/last_word_first.h"

#include <optional>
#include <vector>

#include "actions/internal/run.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::actions {

namespace {

using host::State;
namespace msgbox = host::msgbox;

// Stands in for the period of "M.D" and "PH.D" while the other periods get a blank.
constexpr char16_t kPeriodMark = u'\x1F';

bool Contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

bool EndsWith(TextView text, TextView end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

Text RawTitled(const State& s, TextView headline, std::initializer_list<TextView> paragraphs) {
  return internal::ActionMessage(s, internal::TitleForm::kRaw, headline, paragraphs);
}

Text HelpText(const State& s) {
  const Text mode = u"\"" + s.request.vbaMode.Text() + u"\"";
  const Text and1 =
      u"When the word \"and\" or the character \"&\" stands between two people (e.g. a husband and wife), "
      u"both people are given the same surname. Applying " +
      mode + u" again to such a result gives each person first name then surname, separated by a comma.";
  const std::vector<Text> paragraphs = {
      mode + u" has been initiated.  OK To REVERSE the word order?  Excel's Undo will not revert this!",
      u"The output results will be pasted into same amount of cells to the right of your selection as there are in "
      u"your selection.",
      u"When no Filter items have been selected, this action reverses the order of all space delimited words WITHIN "
      u"each cell (last word will become first word, and first word will become last word). ",
      u"When any Filter item has been selected (used for names of people), this action reverses the order of all space "
      u"delimited AND comma delimited words WITHIN each cell (e.g., puts last name in front of first name). ",
      u"This Action is especially useful for adjusting lists of people's names that have both first and last name "
      u"within the same cell.",
      u"|||||||||||||||||||||||",
      u"EXAMPLES: \"Mr. John and Mrs. Mary Smith\" becomes \"Smith Mary, Smith John\".  \"a b c d\" becomes "
      u"\"d c b a\".",
      u"WHEN THE FILTER IS USED:",
      u"Click the Filter Button to choose which typical name titles and suffix should be removed (hold the Ctrl Key to "
      u"select individually). The result can then be sorted by first name or by last name, and full names can be "
      u"checked for duplicates.",
      u"Extra spaces and extraneous periods are removed. Hard line-breaks are considered to be the same as commas. "
      u"Cells "
      u"with formulas will not be modified.",
      and1,
      u"After using this action on peoples names, Quillary will be able to identify \"Smith John\" and \"John Smith\" "
      u"as duplicates when both name orders are present in a list.",
      u"As in the above example, when the word \"and\" is found without a comma before or after it, it is removed.",
      u"If there are three or more words in a cell but only the first word is followed by a comma, the last word of "
      u"the "
      u"cell is copied and given to the first word as well. \"Mary, John Q. Smith\" becomes \"Smith Q John, Smith "
      u"Mary\".",
      u"_______________________",
      u"NOTES",
      u"When multiple columns are selected, the cell order is not reversed -- only the order of words within each cell "
      u"is reversed.",
      u"To set the mode so that it reverses names of people properly, be sure to select at least one item to be "
      u"filtered even if it is not present within your selection.",
      u"_______________________",
      u"TIPS",
      u"It is often useful to preserve the unfiltered information within the original cells.",
      u"This action can be useful in conjunction with Quillary's Text Converter/Importer, which splits names and "
      u"addresses into columns first.",
      u"FOR ADDRESS LISTS: HIGHLIGHTING CELLS WHICH SOMEWHAT MATCH THE CELL ABOVE OR BELOW:",
      u"» Select whole columns by clicking the identifier letter at the top of a column (drag to select multiple "
      u"columns). Press Enter once to activate the cell in the second row. Click Excel's menu Insert>Conditional "
      u"Format.",
      u"» Use the following formula as condition_1 or 2:  =LEFT(A2,4)=LEFT(A3,4)",
      u"» Use the following formula as condition_2 or 3:  =LEFT(A2,4)=LEFT(A1,4)",
      u"» Click on each of those formulas, press F2, and change the column letter to that of the active cell and the "
      u"count of characters compared as needed.",
      u"» Click the Format button for the first condition and choose a background Pattern color (e.g. light yellow).",
      u"» Click the Format button for the second condition and choose a different background Pattern color (e.g. light "
      u"green).",
      u"» Sort the whole list of records and any cell which somewhat matches the cell beneath it will be highlighted "
      u"light yellow. The last cell which somewhat matches the cell above it will be highlighted light green.",
      u"» Visually examine other fields (columns) along the same records (rows) that have been highlighted to see if "
      u"they are in fact duplicates with only slight differences in spelling.",
      u"To highlight exact matches, for condition_1 or 2 use: =A2=A3.  For condition_2 or 3 use: =A2=A1.",
      u"NOTE: To copy these instructions, click to the far right of this box. Drag or use arrow keys to select text. "
      u"Copy (Ctrl+C) and Paste into Notepad or any application.",
  };
  Text t;
  for (const Text& p : paragraphs) {
    if (!t.empty()) t += u'\r';
    t += p;
  }
  return t;
}

// "," & each selected entry of the filter list & ",".
Text TitleFilterOf(const State& s) {
  forms::Control& list = s.Control(host::ctl::lastword::kRemoveStringsList);
  Text filter = u",";
  for (long i = 0, n = list.ListCount(); i < n; ++i) {
    if (!list.Selected(i)) continue;
    filter += vba::CStr(list.List(i));
    filter += u',';
  }
  return filter;
}

class Turn {
 public:
  explicit Turn(State& s) : s_(s) {}

  void Run() {
    const xl::Range area = s_.App().ActiveWindow()->RangeSelection().Areas(1);
    area.Select();
    if (!s_.request.vbaMode.Is(host::ModeId::kLastWordFirst)) return;
    const bool formatProtected = host::SheetProtectedCheck(s_);
    xl::Worksheet& sheet = area.Parent();
    const long firstRow = area.Row();
    const long firstCol = area.Column();
    const long rows = area.RowsCount();
    const long cols = area.ColumnsCount();

    // Room first: the output block is read only once it is known to lie on the sheet.
    if (firstCol - 1 + 2 * cols > sheet.ColumnsCount()) {
      Text tail = u"But there are only " + vba::IntegerText(sheet.ColumnsCount()) +
                  u" columns in the worksheet and this action would try to use out to " +
                  vba::IntegerText(firstCol + 2 * cols - 1) + u" columns. This is not possible.";
      return Refuse(RawTitled(s_,
                              u"The output results would be pasted into the same amount of empty cells to the right of "
                              u"your selection as there are in your selection.",
                              {tail}));
    }
    const xl::Range output =
        sheet.Range(sheet.Cells(firstRow, firstCol + cols), sheet.Cells(firstRow + rows - 1, firstCol + 2 * cols - 1));
    if (sheet.ProtectContents()) {
      const Variant locked = output.Locked();
      if (locked.IsNull() || vba::EqualsTrue(locked)) {
        return Refuse(RawTitled(s_,
                                u"The Worksheet is Protected and there are cells in the area to the right of this "
                                u"selection which are Locked.",
                                {u"This Action will NOT execute."}));
      }
    }

    if (!Dialog()) return host::ShowMainUserFormDLL(s_);
    const Text filter = TitleFilterOf(s_);

    // A merged cell anywhere in the output stops the run before any cell is written.
    if (HasMergedCell(sheet, output.FirstArea())) {
      return Refuse(RawTitled(
          s_, u"There is a merged cell in the destination area. This process will not place results into merged cells.",
          {u"This action has aborted.",
           u"Please unmerge the offending cell. Consider umerging all cells. Quillary's \"" +
               Text(host::ModeText(host::ModeId::kPaintTableFormat)) +
               u"\" action unmerges the cells of a selection and paints it as a table."}));
    }
    if (s_.App().WorksheetFunction().CountA(output) > 0) {
      const double answer = host::MsgBoxDLL(
          s_,
          RawTitled(s_,
                    u"The output results would be pasted into same amount of cells to the right of your selection as "
                    u"there are in your selection.",
                    {u"But there some cells to the right that are not empty and will be overwritten if you select OK.",
                     u"Choose OK to overwrite, or choose CANCEL to abort."}),
          msgbox::kOkCancel + msgbox::kInformation);
      if (answer == msgbox::kAnswerCancel) return host::ShowMainUserFormDLL(s_);
    }

    s_.RestartClock();
    host::ProgressBar progress(s_, u" LastWordFirst Progress: ");
    const std::int64_t total = area.Count();
    std::int64_t counter = 0;
    for (long c = 0; c < cols; ++c) {
      for (long r = 0; r < rows; ++r) {
        if (!progress.Step(counter++, total)) return host::ShowMainUserFormDLL(s_);
        const xl::Range source = sheet.Cells(firstRow + r, firstCol + c);
        const xl::Range target = sheet.Cells(firstRow + r, firstCol + cols + c);
        const Text turned = LastWordFirst(items::CellText(source), filter);
        items::WriteText(target, turned);
        if (turned.empty()) target.ClearContents();
        if (!formatProtected) target.SetHorizontalAlignment(vba::CLng(vba::CDbl(source.HorizontalAlignment())));
      }
    }
  }

 private:
  void Refuse(const Text& message) {
    host::MsgBoxDLL(s_, message, msgbox::kInformation);
    host::ShowMainUserFormDLL(s_);
  }

  bool Dialog() {
    forms::Control& option = s_.Control(host::ctl::bigmsg::kOptionButton);
    option.SetCaption(u"Filter");
    option.SetVisible(true);
    s_.Control(host::ctl::bigmsg::kText).SetValue(HelpText(s_));
    host::ScreenOn(s_);
    host::ShowBigMsgFormDLL(s_);
    host::ScreenRestore(s_);
    option.SetCaption(u"Option");
    option.SetVisible(false);
    s_.Control(host::ctl::bigmsg::kOkButton).SetCaption(u"OK");
    return s_.dialogs.BigMsgAnswer != 0;
  }

  static bool HasMergedCell(xl::Worksheet& sheet, const xl::Area& block) {
    for (long c = block.col1; c <= block.col2; ++c) {
      for (long r = block.row1; r <= block.row2; ++r) {
        const std::optional<xl::Area> merged = sheet.MergedAreaAt(r, c);
        if (merged && merged->Cells() > 1) return true;
      }
    }
    return false;
  }

  State& s_;
};

}  // namespace

Text LastWordFirst(Text source, TextView titleFilter) {
  const bool filterOn = titleFilter.size() > 1;
  const Text filter = text_order::Fold(titleFilter);
  host::RplcHspace(source);

  // Periods get a blank after them, except inside "M.D" and "PH.D" (in any case).
  if (filterOn && Contains(source, u".")) {
    const Text upper = vba::UCase(source);
    for (TextView mark : {TextView(u"M.D"), TextView(u"PH.D")}) {
      for (std::size_t p = upper.find(mark); p != Text::npos; p = upper.find(mark, p + 1)) {
        source[p + mark.size() - 2] = kPeriodMark;
      }
    }
    host::ReplaceItRef(source, u".", u". ");
    host::ReplaceItRef(source, TextView(&kPeriodMark, 1), u".");
  }
  source = vba::Trim(source) + u" ";
  host::ReplaceItRef(source, u"\n", u",");
  if (filterOn) {
    if (Contains(source, u" ,")) host::ReplaceItRef(source, u",", u", ");
    if (Contains(source, u",")) host::ReplaceItRef(source, u",", u", ");
    host::ReplaceItRef(source, u"  ", u" ");
  }

  // The words, last first, each ending where the one before began: right to left in a
  // text of blanks as long as the source.
  const std::size_t length = source.size();
  Text turned(length, u' ');
  std::size_t end = length;  // the free end (exclusive)
  std::size_t pos = 0;
  while (pos < length) {
    std::size_t blank = source.find(u' ', pos);
    if (blank == Text::npos) blank = length;
    TextView word = TextView(source).substr(pos, blank - pos);
    pos = blank + 1;
    if (word.empty()) continue;
    bool comma = false;
    if (filterOn) {
      while (!word.empty() && (word.front() == u'.' || word.front() == u',')) word.remove_prefix(1);
      while (!word.empty() && (word.back() == u'.' || word.back() == u',')) {
        if (word.back() == u',') comma = true;
        word.remove_suffix(1);
      }
    }
    if (word.empty()) continue;
    Text key = u",";
    key += text_order::Fold(word);
    key += u',';
    if (Contains(filter, key)) continue;
    const std::size_t size = word.size() + (comma ? 1 : 0);
    std::size_t at = end - size;
    if (comma) turned[at++] = u',';
    turned.replace(at, word.size(), word);
    end -= std::min(end, size + 1);
  }
  if (!turned.empty() && turned.front() == u' ') turned.erase(0, 1);
  if (!filterOn) return turned;

  turned = vba::Trim(turned);
  const Text lower = vba::LCase(turned);
  if (EndsWith(lower, u" and")) turned.resize(turned.size() - 4);
  if (EndsWith(lower, u" &")) turned.resize(turned.size() - 2);
  if (!lower.empty() && lower.front() == u',') turned.erase(0, 1);
  if (Contains(lower, u" and ")) host::ReplaceItRef(turned, u" and ", u", ", 1, -1, vba::kTextCompare);
  if (Contains(lower, u" & ")) host::ReplaceItRef(turned, u" & ", u", ");
  if (Contains(turned, u",")) {
    host::ReplaceItRef(turned, u", ,", u", ");
    host::ReplaceItRef(turned, u" ,", u", ");
    // A second person given by a first name only takes the first person's surname.
    const std::size_t pair = turned.find(u", ");
    const std::size_t firstBlank = turned.find(u' ');
    if (pair != Text::npos && pair > firstBlank) {
      const Text rest = turned.substr(pair + 2);
      if (!rest.empty() && !Contains(rest, u" ")) {
        turned = turned.substr(0, pair + 2) + turned.substr(0, firstBlank + 1) + rest;
      }
    }
  }
  return turned;
}

void ReverseOrder(State& s) {
  ErrorTrail("ReverseOrder", [&] { Turn(s).Run(); });
}

}  // namespace quillary::actions
