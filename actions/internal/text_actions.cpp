// The actions that rewrite the text of the selected cells in place: prefixes, comma
// spacing, letter case and "NUMBER Values".
#include "actions/internal/inline_actions.h"
#include "actions/internal/messages.h"
#include "actions/internal/text_rules.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::actions::internal {

namespace {

using host::ModeId;
using host::Proceed;

PrefixMode PrefixModeOf(const host::Mode& mode) {
  if (mode.Is(ModeId::kPrefixClear)) return PrefixMode::kClear;
  if (mode.Is(ModeId::kPrefixAfterHyphenClear)) return PrefixMode::kAfterHyphenClear;
  return PrefixMode::kSet;
}

// "," and, in CountIndex# with the comma-space box ticked, a blank.
Text ItemSeparator(const host::State& s) {
  const bool blank = vba::EqualsTrue(s.Control(host::ctl::main::kCommaSpace).Value()) && !s.request.IgnoreIndexMode;
  return blank ? u", " : u",";
}

Text PrefixFaultMessage(const host::State& s, PrefixFault fault) {
  if (fault == PrefixFault::kFirstItem) {
    return ActionMessage(s, TitleForm::kRaw, msg::kFirstItemFault, {msg::kFirstItemFault2, msg::kContinueWithOthers});
  }
  return ActionMessage(s, TitleForm::kRaw, msg::kMixedPrefixFault, {msg::kMixedPrefixFault2, msg::kContinueWithOthers});
}

// A text that the spreadsheet would take as a formula when typed: it begins with "=",
// or with "+", "-" or "@" and is not a number.
bool TypesAsFormula(const Text& text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case u'=': return true;
    case u'+':
    case u'-':
    case u'@': return !vba::IsNumeric(Variant(text));
    default: return false;
  }
}

}  // namespace

void PrefixAction(ActionRun& run) {
  host::State& s = run.s;
  s.RestartClock();
  const PrefixMode mode = PrefixModeOf(s.request.vbaMode);
  const Text separator = ItemSeparator(s);
  (void)WalkCells(run, [&](const xl::Range& cell) {
    const std::optional<Text> text = TextCellFilter(cell);
    if (!text || text->empty()) return Proceed::kGoOn;
    const PrefixRewrite rewrite = RewritePrefixes(*text, mode, separator);
    if (rewrite.fault != PrefixFault::kNone) {
      host::ScreenOn(s);
      cell.Activate();
      const double answer = host::MsgBoxDLL(s, PrefixFaultMessage(s, rewrite.fault), host::msgbox::kOkCancel);
      return answer == host::msgbox::kAnswerCancel ? Proceed::kStop : Proceed::kGoOn;
    }
    if (!OverflowGuard(s, cell, rewrite.text)) CellTextWriteBack(run, cell, rewrite.text);
    return Proceed::kGoOn;
  });
}

void CommaSpaceSet(ActionRun& run) {
  host::State& s = run.s;
  s.RestartClock();
  enum class Parentheses { kNotAsked, kCommas, kKeep };
  Parentheses parentheses = Parentheses::kNotAsked;
  (void)WalkCells(run, [&](const xl::Range& cell) {
    std::optional<Text> text = TextCellFilter(cell);
    if (!text) return Proceed::kGoOn;
    if (!text->empty()) {
      if (parentheses == Parentheses::kNotAsked && text->find_first_of(u"()") != Text::npos) {
        host::ScreenOn(s);
        cell.Activate();
        const Text question = ActionMessage(s, TitleForm::kRaw, msg::kParentheses, {msg::kParentheses2});
        parentheses =
            host::MsgBoxDLL(s, question, host::msgbox::kYesNo + host::msgbox::kInformation) == host::msgbox::kAnswerYes
                ? Parentheses::kCommas
                : Parentheses::kKeep;
      }
      *text = CommaSpaceSetText(std::move(*text), parentheses == Parentheses::kCommas);
      if (OverflowGuard(s, cell, *text)) return Proceed::kGoOn;
    }
    CellTextWriteBack(run, cell, *text);
    return Proceed::kGoOn;
  });
}

void CommaSpaceClear(ActionRun& run) {
  host::State& s = run.s;
  // The host leaves the variant in the big message form's answer before it sends the
  // request: 2 collapses blanks, anything else takes the blanks from around commas.
  s.dialogs.BigMsgAnswer = vba::CInt(host::CaptionNumber(s.Control(host::ctl::bigmsg::kAnswer).Caption()));
  s.RestartClock();
  const bool collapseBlanks = s.dialogs.BigMsgAnswer == 2;
  (void)WalkCells(run, [&](const xl::Range& cell) {
    if (const std::optional<Text> text = TextCellFilter(cell)) {
      CellTextWriteBack(run, cell, CommaSpaceClearText(*text, collapseBlanks));
    }
    return Proceed::kGoOn;
  });
}

void CaseAction(ActionRun& run) {
  host::State& s = run.s;
  s.RestartClock();
  const ModeId mode = s.request.vbaMode.Id();
  (void)WalkCells(run, [&](const xl::Range& cell) {
    const std::optional<Text> text = TextCellFilter(cell);
    if (!text) return Proceed::kGoOn;
    Text changed;
    switch (mode) {
      case ModeId::kCaseUpper: changed = vba::UCase(*text); break;
      case ModeId::kCaseLower: changed = vba::LCase(*text); break;
      default: changed = s.App().WorksheetFunction().Proper(*text); break;
    }
    CellTextWriteBack(run, cell, changed);
    return Proceed::kGoOn;
  });
}

void NumberValues(ActionRun& run) {
  host::State& s = run.s;
  s.RestartClock();
  (void)WalkCells(run, [&](const xl::Range& cell) {
    const std::optional<Text> text = TextCellFilter(cell);
    if (!text) return Proceed::kGoOn;
    // On a sheet whose formats are protected the text format stays (changing it would
    // fail), and the text with it.
    if (!run.FormatProtected && cell.NumberFormat() == Variant(u"@")) cell.SetNumberFormat(u"General");
    const Variant alignment = cell.HorizontalAlignment();
    const Text asText = TextEntry(*text);
    if (TypesAsFormula(*text)) {
      cell.SetValue(asText);
    } else {
      // What the spreadsheet refuses to take as typed input stays text.
      try {
        cell.SetValue(*text);
      } catch (const Error&) {
        cell.SetValue(asText);
      }
    }
    if (cell.Value().IsText() && !run.FormatProtected) {
      cell.SetHorizontalAlignment(vba::CLng(vba::CDbl(alignment)));
    }
    return Proceed::kGoOn;
  });
}

}  // namespace quillary::actions::internal
