#include "blocks/internal/run.h"
#include "host/callbacks.h"
#include "host/text_replace.h"
#include "platform/runtime/vba.h"

namespace quillary::blocks {

namespace {

using host::ModeId;
using host::Proceed;
using host::Quoted;
using host::State;

constexpr char16_t kCr[] = u"\r";

xl::Range Selection(const State& s) { return s.App().ActiveWindow()->RangeSelection(); }

// The mode with "_" shown as a blank ("Paste V").
Text ModeShown(const State& s) { return host::ReplaceItVal(s.request.vbaMode.Text(), u"_", u" "); }

// The SPECIAL MODE notice of "Paste_V": what a Sort-and-tag run pastes depends on the
// answer.
Text SpecialModeNotice(const State& s) {
  const Text c4 = Quoted(s.Control(host::ctl::main::kTagDuplicates).Caption());
  const Text m = ModeShown(s);
  Text t = u"SPECIAL MODE NOTICE: The option " + c4 + u" is ON and you clicked " + Quoted(m) + u"." + host::kParagraph +
           u"Normally, when " + c4 + u" is ON and " + Quoted(u"Get/Try") +
           u" has been clicked, a full duplicates report of the selected area would be generated. But because " + m;
  if (s.Control(host::ctl::main::kPasteType).Caption() == u"Count") {
    return t +
           u" has been chosen, AND the PasteType is set to paste Counts, the count pasted will depend on your answer "
           u"to the following." +
           host::kParagraph + u"Do you want to count how many rows within your selection size/shape are NOT empty?" +
           host::kParagraph +
           u"Choose YES to show a count of how many non-empty rows are included within each selection size/shape." +
           kCr +
           u"Choose NO to count how many individual Items are within your selection size/shape (this is identical to "
           u"using the non-Sort mode)." +
           kCr + u"Choose CANCEL to abort this process now.";
  }
  return t + u" has been chosen, AND the PasteType is set to paste Items, the " + Quoted(u"mini-report") +
         u" pasted will depend on your answer to the following." + host::kParagraph + u"Do you want to " +
         Quoted(s.Control(host::ctl::compdup::kJoinCells).Caption()) +
         u" for duplicates, or compare each Item individually?" + host::kParagraph +
         u"Choose YES to report where there are any duplicate whole rows within your selection size/shape." + kCr +
         u"Choose NO to report if there are any duplicates of individual Item within your selection size/shape." + kCr +
         u"Choose CANCEL to abort this process now.";
}

// Sort and duplicate tagging both on in IgnoreIndex#, where Get/Try would make a full
// duplicates report: the JoinCells option decides what a block reports.
Proceed SpecialMode(State& s, BlockRun& run) {
  run.specialMode = true;
  forms::Control& joinCells = s.Control(host::ctl::compdup::kJoinCells);
  if (!s.request.vbaMode.Is(ModeId::kPasteV)) {
    joinCells.SetEnabled(false);
    return Proceed::kGoOn;
  }
  switch (static_cast<int>(
      host::MsgBoxDLL(s, SpecialModeNotice(s), host::msgbox::kYesNoCancel + host::msgbox::kInformation))) {
    case host::msgbox::kAnswerYes:
      if (Selection(s).RowsCount() == 1) {
        // Whole rows cannot be compared within one row. The notice asks Yes/No/Cancel:
        // Cancel ends the run, the other answers go on as they were.
        const double answer =
            host::MsgBoxDLL(s, kSingleRowNotice, host::msgbox::kYesNoCancel + host::msgbox::kInformation);
        return answer == host::msgbox::kAnswerCancel ? Proceed::kStop : Proceed::kGoOn;
      }
      joinCells.SetEnabled(true);
      joinCells.SetValue(true);
      return Proceed::kGoOn;
    case host::msgbox::kAnswerNo:
      joinCells.SetEnabled(true);
      joinCells.SetValue(false);
      return Proceed::kGoOn;
    case host::msgbox::kAnswerCancel: return Proceed::kStop;
    default: return Proceed::kGoOn;
  }
}

// A button pressed while the Action list shows a Subtract Display action: maybe APPLY
// was meant.
Proceed ActionListCheck(State& s, const BlockRun& run) {
  const auto& mode = s.request.vbaMode;
  const bool button = mode.Is(ModeId::kPasteV) || mode.Is(ModeId::kPasteRight) || mode.Is(ModeId::kSubtractButton);
  const ModeId shown = host::ModeOf(run.actionList);
  if (!button || (shown != ModeId::kSubtractDisplayV && shown != ModeId::kSubtractDisplayRight)) {
    return Proceed::kGoOn;
  }
  const Text m = ModeShown(s);
  const Text intended =
      mode.Is(ModeId::kSubtractButton)
          ? u" use the " + Quoted(u"SubtractButton") + u" to Subtract your selection from Quillary's active window"
          : u"use " + Quoted(m) + u" WITHOUT subtracting";
  const Text notice = u"NOTICE: You have clicked " + Quoted(m) + u"." + host::kParagraph + u"But because " +
                      Quoted(run.actionList) + u" is showing in the Action list, you might have meant to click APPLY." +
                      host::kParagraph +
                      u"This message only pops up if SubtractDisplay Actions are showing when a Paste button or the "
                      u"Subtract button is clicked." +
                      host::kParagraph +
                      u"If you want to subtract the display from the cell selected, click CANCEL and use the APPLY "
                      u"button instead." +
                      host::kParagraph + u"If you intended to " + intended + u", Choose OK.";
  const double answer = host::MsgBoxDLL(s, notice, host::msgbox::kOkCancel + host::msgbox::kInformation);
  return answer == host::msgbox::kAnswerCancel ? Proceed::kStop : Proceed::kGoOn;
}

// "Paste_V" on a block of several rows: TRAVEL or ONCE.
Proceed TravelOrOnce(State& s) {
  s.blocks.OnceFlag = false;
  if (Selection(s).Areas(1).RowsCount() <= 1) return Proceed::kGoOn;
  s.services.beeper.Beep();
  const Text itemMode =
      s.request.IgnoreIndexMode
          ? u"IgnoreIndex# is enabled. Make the appropriate selections for Sort and GoToDuplicates to get the "
            u"results that you expect."
          : u"CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right "
            u"of your selection.";
  const Text question =
      u"You have selected more than one row for " + Quoted(ModeShown(s)) + u"." + host::kParagraph + itemMode +
      host::kParagraph +
      u"TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is "
      u"encountered." +
      kCr + u"ONCE: Processes only the current selection." + kCr + u"CANCEL: To abort." + host::kParagraph +
      u"Use the Ctrl key to Abort during processing.";
  switch (host::AskBigMsgForm(s, question, u"Once", u"Travel")) {
    case 0: return Proceed::kStop;
    case 1: s.blocks.OnceFlag = true; return Proceed::kGoOn;
    default: return Proceed::kGoOn;
  }
}

}  // namespace

Proceed StartChecks(State& s, BlockRun& run) {
  const auto& mode = s.request.vbaMode;
  const bool pasteMode = mode.Traits().blocksDownward || mode.Traits().blocksByRow;
  if (pasteMode && Selection(s).AreasCount() > 1) {
    host::InfoMsg(s, {kOneAreaMsg, kOneAreaMsg2, kOneAreaMsg3});
    return Proceed::kStop;
  }
  if (!mode.Is(ModeId::kSubtractButton)) Selection(s).Areas(1).Select();

  if (s.request.IgnoreIndexMode && vba::EqualsTrue(s.Control(host::ctl::main::kSort).Value()) &&
      vba::EqualsTrue(s.Control(host::ctl::main::kTagDuplicates).Value()) && SpecialMode(s, run) == Proceed::kStop) {
    return Proceed::kStop;
  }
  if (ActionListCheck(s, run) == Proceed::kStop) return Proceed::kStop;

  if (mode.Is(ModeId::kPasteV)) return TravelOrOnce(s);
  if (mode.Traits().blocksByRow) {
    const xl::Range& area = run.BlockArea;
    area.Parent().Range(area.Cells(1, 1), area.Cells(1, area.ColumnsCount())).Select();
  }
  return Proceed::kGoOn;
}

}  // namespace quillary::blocks
