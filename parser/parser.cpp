#include "parser/parser.h"

#include <algorithm>
#include <optional>
#include <string>

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "parser/interpreter.h"
#include "parser/messages.h"
#include "parser/script.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"
#include "sheets/page_setup.h"
#include "sheets/report_view.h"
#include "sheets/result_sheets.h"

namespace quillary::parser {

namespace {

using host::State;
namespace ctl = host::ctl;
namespace mb = host::msgbox;

// The most characters a cell holds.
constexpr std::size_t kCellLimit = 32767;

// The version from which the application compares windows side by side.
constexpr double kSideBySideVersion = 11;

// Whether the run goes on after a step.
enum class [[nodiscard]] Step{kGoOn, kEnd};

class ParserRun {
 public:
  explicit ParserRun(State& s) : s_(s), book_(s.ActiveBook()) {}

  void Go() {
    if (SetUp() == Step::kEnd) return;
    if (Rows() == Step::kEnd) return;
    Split();
  }

 private:
  forms::Control& Control(const host::ControlId& id) { return s_.Control(id); }

  // "( " & mode & " ): " & headline: the mode as the host sent it.
  Text Titled(TextView headline) const { return host::TitledWith(s_.request.vbaMode.Text(), headline); }

  double Message(const Text& prompt, long style) { return host::MsgBoxDLL(s_, prompt, style); }

  void TextToColSetting() { services::TextToColSetting(s_, s_.drivers.TabSplitPaste); }

  // ----- set-up -----

  Step SetUp() {
    sourceSheetName_ = book_.ActiveSheet().Name();
    sourceAddress_ = Control(ctl::mail::kMessage).Caption();
    const Text choice = Control(ctl::mail::kResultSheet).Caption();
    preview_ = choice == host::kHiddenWorkSht;
    if (preview_) {
      keepSpaces_ = vba::EqualsFalse(Control(ctl::parse::kHideSpaces).Value());
      source_ = &book_.Worksheets().Item(host::kHiddenWorkSht);
      target_ = source_;
    } else {
      source_ = &book_.ActiveSheet();
      if (!choice.empty()) target_ = &book_.Worksheets().Item(choice);
    }
    overwrite_ = choice == sourceSheetName_;
    if (overwrite_) keepSpaces_ = true;
    columnsCount_ = book_.ActiveSheet().ColumnsCount();
    s_.drivers.TabSplitPaste = false;

    const Text script = vba::CStr(Control(ctl::parse::kScript).Value());
    program_ = ReadScript(script);
    if (IsEmptyScript(script) || !program_.HasCommands()) {
      Message(host::Paragraphs({Titled(msg::kNoCommands), msg::kNoCommands2, msg::kNoCommands3}), mb::kOk);
      return Step::kEnd;
    }
    s_.App().SetCursor(xl::xlWait);
    TextToColSetting();
    s_.RestartClock();

    memory_ = StartRun(program_, FormValues());
    if (!memory_) {
      Message(host::Paragraphs({msg::kScriptCode, msg::kScriptCode2}), mb::kOk);
      return Step::kEnd;
    }
    // Nothing is written into a target that refuses it: a new sheet needs a workbook
    // whose structure may change, an existing sheet an unprotected one.
    if (choice.empty()) {
      if (host::WorkbookProtectedCheck(s_) == host::Proceed::kStop) return Step::kEnd;
      sheets::MakeNewSheet(s_, sourceSheetName_, kResultSuffix);
      target_ = &book_.Worksheets().Item(Control(ctl::mail::kResultSheet).Caption());
    } else if (!preview_) {
      if (TargetProtected() == Step::kEnd) return Step::kEnd;
      if (!overwrite_ && SheetInUse(*target_) == Step::kEnd) return Step::kEnd;
    }
    book_.Worksheets().Item(sourceSheetName_).Activate();
    BoldQuestion();
    return Step::kGoOn;
  }

  OperandValues FormValues() {
    parser::OperandValues v;
    v[kOperandA] = vba::CStr(Control(ctl::parse::kOperandA).Value());
    v[kOperandB] = vba::CStr(Control(ctl::parse::kOperandB).Value());
    v[kOperandC] = vba::CStr(Control(ctl::parse::kOperandC).Value());
    v[kOperandD] = vba::CStr(Control(ctl::parse::kOperandD).Value());
    v[kComma] = u",";
    v[kSpace] = u" ";
    v[kTab] = u"\t";
    if (vba::EqualsTrue(Control(ctl::parse::kBarOption).Value())) {
      v[kOutDelim] = u"|";
    } else if (vba::EqualsTrue(Control(ctl::parse::kSemicolonOption).Value())) {
      v[kOutDelim] = u";";
    } else if (vba::EqualsTrue(Control(ctl::parse::kTabOption).Value())) {
      v[kOutDelim] = u"\t";
    } else {
      v[kOutDelim] = u",";
    }
    delimiter_ = v[kOutDelim];
    return v;
  }

  // A protected target: an existing sheet is not written into at all (the split and
  // the finishing change its cells and columns); the source is overwritten only where
  // its cells are unlocked.
  Step TargetProtected() {
    if (!target_->ProtectContents()) return Step::kGoOn;
    if (overwrite_) {
      const xl::Range range = source_->Range(sourceAddress_);
      bool locked = false;
      for (long a = 1; a <= range.AreasCount() && !locked; ++a) {
        const xl::Range area = range.Areas(a);
        const Variant l = area.Columns(1).Locked();
        locked = !(l.IsBoolean() && !l.AsBool());
      }
      if (!locked) return Step::kGoOn;
    }
    Text headline = msg::kTargetProtected;
    headline += target_->Name();
    headline += msg::kTargetProtected2;
    Message(host::Paragraphs({Titled(headline), overwrite_ ? msg::kTargetProtectedSource : msg::kTargetProtectedSheet,
                              msg::kTargetProtected3}),
            mb::kOk + mb::kExclamation);
    return Step::kEnd;
  }

  // An existing target sheet that holds anything is written into only when the user
  // agrees.
  Step SheetInUse(xl::Worksheet& sheet) {
    if (s_.App().WorksheetFunction().CountA(sheet.UsedRange()) == 0) return Step::kGoOn;
    Text headline = msg::kSheetInUse;
    headline += sheet.Name();
    headline += msg::kSheetInUse2;
    const double answer = Message(host::Paragraphs({Titled(headline), msg::kSheetInUse3, msg::kSheetInUse4}),
                                  mb::kYesNo + mb::kDefaultButton2);
    return answer == mb::kAnswerYes ? Step::kGoOn : Step::kEnd;
  }

  void BoldQuestion() {
    forms::Control& bolded = Control(ctl::parse::kBolded);
    if (preview_ || !bolded.Caption().empty()) return;
    const Variant bold = s_.App().ActiveWindow()->RangeSelection().Areas(1).Font().Bold();
    if (bold.IsNull() || vba::EqualsTrue(bold)) {
      indentBold_ =
          Message(host::Paragraphs({Titled(msg::kBold), msg::kBold2, msg::kBold3}), mb::kYesNo) == mb::kAnswerYes;
    }
    bolded.SetCaption(u"X");
  }

  // ----- the rows -----

  Step Rows() {
    const xl::Range range = source_->Range(sourceAddress_);
    const std::int64_t total = range.Count();
    std::int64_t done = 0;
    host::ProgressBar progress(s_, u" TextToColumnsSpecial Progress: ");
    for (long a = 1; a <= range.AreasCount(); ++a) {
      const xl::Range area = range.Areas(a);
      const long first = area.Row();
      const long column = area.Column();
      // The rows a merged first cell covers hold nothing of their own.
      const xl::Range merged = source_->Cells(first, column).MergeArea();
      const long covered = merged.Row() + merged.RowsCount() - 1;
      for (long row = first; row < first + area.RowsCount(); ++row) {
        if (row > first && row <= covered) continue;
        if (!preview_) {
          if (!progress.Step(done, total)) return Step::kEnd;
          ++done;
        }
        if (OneRow(row, column) == Step::kEnd) return Step::kEnd;
      }
    }
    return Step::kGoOn;
  }

  Step OneRow(long row, long column) {
    const xl::Range cell = source_->Cells(row, column);
    const long targetRow = overwrite_ ? row : outRow_;
    if (overwrite_ && cell.HasFormula()) {
      ++outRow_;
      return Step::kGoOn;
    }
    const Variant value = cell.Value();
    if (value.IsError()) {
      cell.Activate();
      return RunError();
    }
    Text text = vba::CStr(value);
    host::RplcHspace(text);

    const RowSettings settings{.keepSpaces = keepSpaces_, .ignoreCase = s_.request.CompareMode == host::kTextCompare};
    const RowResult result = RunRow(program_, *memory_, text, settings);
    switch (result.end) {
      case RowEnd::kLine: break;
      case RowEnd::kEndRun: return Step::kEnd;
      case RowEnd::kScriptError: return RunError();
      case RowEnd::kNotAdvancing: return NotAdvancing(targetRow);
      case RowEnd::kTooLong: return LineTooLong(targetRow);
    }
    Text line = FinishLine(text, result, keepSpaces_);

    const auto delimiters = static_cast<std::int64_t>(std::count(line.begin(), line.end(), delimiter_[0]));
    maxDelims_ = std::max(maxDelims_, delimiters);
    if (maxDelims_ + 1 >= columnsCount_) {
      Message(host::Paragraphs({msg::kTooManyColumns, msg::kTooManyColumns2}), mb::kOk);
      return Step::kEnd;
    }
    if (indentBold_ && !line.empty()) {
      const Variant bold = cell.Font().Bold();
      if (bold.IsNull() || vba::EqualsTrue(bold)) line = delimiter_ + line;
    }
    if (line.size() > kCellLimit) return LineTooLong(targetRow);

    const xl::Range out = overwrite_ ? cell : target_->Cells(outRow_, 1);
    if (line.empty()) {
      out.ClearContents();
    } else {
      out.SetValue(u"'" + line);
      ++written_;
    }
    ++outRow_;
    return Step::kGoOn;
  }

  Step RunError() {
    Message(host::Paragraphs({msg::kRunError, msg::kRunError2}), mb::kOk);
    return Step::kEnd;
  }

  Step NotAdvancing(long targetRow) {
    Text prompt = msg::kNotAdvancing;
    if (overwrite_) {
      prompt += host::kParagraph;
      prompt += msg::kNotAdvancingRow;
      prompt += vba::IntegerText(targetRow);
      prompt += msg::kNotAdvancingRow2;
    }
    prompt += host::kParagraph;
    prompt += msg::kNotAdvancingPreview;
    prompt += host::kParagraph;
    prompt += msg::kNotAdvancingLast;
    Message(prompt, mb::kOk);
    return Step::kEnd;
  }

  Step LineTooLong(long targetRow) {
    Text row = msg::kLineTooLong2;
    row += vba::IntegerText(targetRow);
    row += msg::kLineTooLong3;
    Message(host::Paragraphs({Titled(msg::kLineTooLong), row, msg::kLineTooLong4}), mb::kOk);
    return Step::kEnd;
  }

  // ----- the split and the finishing -----

  void Split() {
    if (overwrite_ || preview_) return;
    xl::Application& app = s_.App();
    Control(ctl::mail::kOnScreenX).SetEnabled(false);
    if (vba::Val(app.Version()) >= kSideBySideVersion) book_.Windows().BreakSideBySide();

    // Only the rows written are split: an existing sheet's other cells stay as they are.
    target_->Activate();
    const xl::Range lines = target_->Range(target_->Cells(1, 1), target_->Cells(std::max(outRow_ - 1, 1L), 1));
    lines.Select();
    const long sheetColumns = source_->ColumnsCount();
    if (maxDelims_ + 2 >= sheetColumns) ColumnWarning(sheetColumns);
    host::ScreenOn(s_);

    std::optional<Error> failed;
    if (written_ > 0) {
      try {
        lines.TextToColumns(SplitArgs(maxDelims_ + 1));
      } catch (const Error& e) {
        failed = e;
      }
    }
    host::ScreenRestore(s_);
    if (failed) {
      TextToColSetting();
      book_.Worksheets().Item(sourceSheetName_).Activate();
      SplitFailed(*failed);
      return;
    }
    host::HideMainUserForm(s_);
    TextToColSetting();

    book_.Worksheets().Item(sourceSheetName_).Activate();
    xl::Window& window = *app.ActiveWindow();
    const Text windowId = window.Parent().Name() + u":" + vba::IntegerText(window.Index());
    sheets::WindowSmallPaintTbl(s_, sheets::ResultLayout::Lines(outRow_ - 1));
    PageSetupQuestion();
    sheets::ReportViewArrange(s_, windowId);
  }

  xl::TextToColumnsArgs SplitArgs(std::int64_t columns) const {
    xl::TextToColumnsArgs args{.DataType = xl::xlDelimited,
                               .TextQualifier = xl::xlTextQualifierNone,
                               .ConsecutiveDelimiter = false,
                               .Tab = delimiter_ == u"\t",
                               .Semicolon = delimiter_ == u";",
                               .Comma = delimiter_ == u",",
                               .Space = delimiter_ == u" ",
                               .Other = delimiter_ == u"|",
                               .OtherChar = delimiter_ == u"|" ? Text(u"|") : Text()};
    for (long c = 1; c <= columns; ++c) args.FieldInfo.emplace_back(c, xl::xlTextFormat);
    return args;
  }

  void ColumnWarning(long sheetColumns) {
    Text first = msg::kColumnWarning;
    first += vba::IntegerText(maxDelims_ + 2 - sheetColumns);
    first += msg::kColumnWarning2;
    Text last = msg::kColumnWarning4;
    last += vba::IntegerText(sheetColumns - 2);
    last += u").";
    // Only informs: the run goes on whatever the answer.
    Message(host::Paragraphs({Titled(first), msg::kColumnWarning3, last}), mb::kOkCancel);
  }

  void SplitFailed(const Error& e) {
    Text reason = msg::kSplitFailed2;
    reason += FromUtf8(e.Description());
    Text where = msg::kSplitFailed3;
    where += target_->Name();
    where += u".";
    Message(host::Paragraphs({Titled(msg::kSplitFailed), reason, where}), mb::kOk);
    // Unfinished, the sheet is no result sheet for the next action to write into.
    Control(ctl::mail::kResultSheet).SetCaption(u"");
  }

  void PageSetupQuestion() {
    Text prompt = msg::kPageSetup;
    prompt += host::CleanMode(s_);
    prompt += msg::kPageSetup2;
    prompt += host::kParagraph;
    prompt += msg::kPageSetup3;
    prompt += u'\r';
    prompt += msg::kPageSetup4;
    if (Message(prompt, mb::kYesNo) == mb::kAnswerYes) sheets::SetUpPrinterWithoutTitles(s_);
  }

  State& s_;
  xl::Workbook& book_;
  Text sourceSheetName_;
  Text sourceAddress_;
  bool preview_ = false;
  bool overwrite_ = false;
  bool keepSpaces_ = false;
  xl::Worksheet* source_ = nullptr;
  xl::Worksheet* target_ = nullptr;
  long columnsCount_ = 0;
  Program program_;
  std::optional<RunMemory> memory_;
  Text delimiter_;
  bool indentBold_ = false;
  long outRow_ = 1;
  std::int64_t maxDelims_ = 0;
  std::int64_t written_ = 0;
};

}  // namespace

void Parser(State& s) {
  ErrorTrail("Parser;" + ToUtf8(s.request.vbaMode.Text()), [&] {
    // The screen-updating wish is the same after the run as before, however it ends.
    const host::EnabledScope wish(s.Control(ctl::mail::kOnScreenX));
    ParserRun(s).Go();
  });
}

}  // namespace quillary::parser
