#include "drivers/subtract_display.h"

#include "blocks/block_engine.h"
#include "drivers/messages.h"
#include "host/callbacks.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::drivers {

namespace {

using host::Quoted;
using host::State;

constexpr long kPasteTypeGreen = 0xC0FFC0;

// The notes on TRAVEL and ONCE of "Subtract Display V", which depend on the rows of the
// first area.
Text TravelNotes(const State& s, long rows) {
  const Text mode = Quoted(s.request.vbaMode.Text());
  Text t = host::kParagraph;
  t += u"TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is "
       u"encountered.";
  t += u"\rONCE: Processes only the current selection.\rCANCEL: To abort.\r\rUse the Ctrl key to Abort during "
       u"processing.\r\r|||||||||||||||||||||||\r";
  t += u"You have selected ";
  t += rows > 1 ? u"more than one row."
                : u"one row.\rConsider selecting all rows of interest and then use the \"Subtract >\" Action instead "
                  u"for simpler performance.";
  t += host::kParagraph;
  t += u"This process evaluates an area the size of your initial selection, puts the result to its right, and steps "
       u"downward to an area of the same size and checks whether it is all-empty. When an all-empty area is "
       u"encountered, you will be asked if the process should continue. You can prevent the process from pausing to "
       u"ask that question before reaching the end of the list by copying a unique string of characters into the "
       u"clipboard, select the area of interest, use Excel's Edit>GoTo>Special>BLANKS to limit the selection to only "
       u"empty cells, and then paste the unique string of characters. After the ";
  t += mode + u" process completes, use Excel's Find and Replace to remove that unique string.";
  return t;
}

Text DialogText(const State& s, const Text& notes) {
  const Text mode = Quoted(s.request.vbaMode.Text());
  Text t = mode + u" has been initiated.  OK To Subtract Items in Quillary's Active Window from the selection?";
  t += u"\rExcel's Undo will not revert this!";
  t += host::kParagraph;
  t += u"A new list will be created to the right of your selection which will OMIT all Items presently shown in "
       u"Quillary's Active Window. If the column to the right of your selection is not empty, insert an empty column "
       u"there to receive the new resulting list (Right-click the column identifier letter and \"Insert\").";
  t += host::kParagraph;
  t += u"This eliminates error prone hand editing, and eliminates having to spend time manually looking for each Item "
       u"that needs edits. For example, use this to create accurate \"Assembly Option Lists\". To do this, first "
       u"provide Quillary with a copy of a Master List that includes all possible components. Then from that list, in "
       u"a single pass, automatically Subtract all Items not belonging to a particular assembly. When Subtracting "
       u"from Items which have been defined using hyphenated Index ranges, be sure to use the CountIndex# Mode so that "
       u"Items within hyphenated ranges can be removed.";
  t += host::kParagraph;
  t += u"To generate new counts of remaining Items, select the newly created list and use Quillary's \"Paste >\" "
       u"after setting \"PasteType\" to \"Count\".";
  t += notes;
  t += u"\r_______________________\rNOTES\r";
  t += u"Prior to initiating this Action, put one or more Item names into a spare cell or select an existing cell "
       u"which contains Items to be removed from the list. Use Get/Test to bring the Items into Quillary's Window. "
       u"When this Action is applied, a new list is generated that does not include the Items originally loaded into "
       u"Quillary's active window.";
  t += host::kParagraph;
  t += u"Select only the columns which might contain the Item(s) of interest since all results will be placed into a "
       u"single column to the right. When the processing has completed, you can copy the results along with any "
       u"other related columns of interest to another area of the same worksheet or to another worksheet.";
  t += host::kParagraph;
  t += u"Input Verification: It is recommended to verify the integrity of the original input list prior to using "
       u"this Action. Do this by selecting all of the Items of interest and either use Quillary's IgnoreIndex# Mode "
       u"with the Sort/Duplicates option enabled, or use the CountIndex# Mode. It is usually best to remedy any "
       u"reported problems before proceeding.";
  t += host::kParagraph;
  t += u"Output Result Confirmation: There are different methods to confirm that the results are as expected. You "
       u"can select the Original Input Items of interest and then make an additional selecton of the Output Result "
       u"Items (use the Ctrl key). Then use Quillary's ";
  t += Quoted(u"COMPARE 2/Uniques");
  t += u" Action. Or use Quillary's \"Subtract\" button to subtract the Output Result Items from the Original Input "
       u"Items to see that the Items remaining in Quillary's Window are the identical Items which were specified to "
       u"be removed.";
  return t;
}

// Duplicate tagging on in IgnoreIndex#: refused with a message.
bool RefusedWhileTagging(State& s) {
  const forms::Control& tagBox = s.Control(host::ctl::main::kTagDuplicates);
  if (!(vba::EqualsTrue(tagBox.Value()) && tagBox.Enabled() && s.request.IgnoreIndexMode)) return false;
  const Text tag = Quoted(tagBox.Caption());
  host::MsgBoxDLL(s,
                  msg::kSubtractDisplayTitle + host::Paragraphs({msg::kTaggingOnMsg + tag + msg::kTaggingOnMsgEnd,
                                                                 msg::kTaggingOnMsg2, msg::kTaggingOnMsg3 + tag}),
                  host::msgbox::kInformation);
  return true;
}

// The Active Window begins with the fault marker: refused with a message.
bool RefusedOnFault(State& s) {
  if (vba::Left(s.request.ActiveWndw->Text(), 8) != u" Quilet>") return false;
  host::MsgBoxDLL(
      s,
      msg::kSubtractDisplayTitle + host::Paragraphs({msg::kFaultShownMsg, msg::kFaultShownMsg2, msg::kFaultShownMsg3}),
      host::msgbox::kInformation);
  return true;
}

// The confirmation (with ONCE or TRAVEL for "Subtract Display V"), then the engine's run
// on the first area.
void ConfirmAndRun(State& s) {
  const xl::Range area = s.App().ActiveWindow()->RangeSelection().Areas(1);
  area.Select();
  const bool downward = s.request.vbaMode.Is(host::ModeId::kSubtractDisplayV);
  Text notes = downward ? TravelNotes(s, area.RowsCount()) : Text();
  notes += host::kParagraph;
  notes += s.request.IgnoreIndexMode
               ? u"IgnoreIndex# is enabled. Make the appropriate selections for Sorting to get the results that you "
                 u"expect."
               : u"CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the "
                 u"right of your selection.";
  if (downward) s.blocks.OnceFlag = false;
  const int answer = host::AskBigMsgForm(s, DialogText(s, notes), downward ? u"Once" : u"OK",
                                         downward ? TextView(u"Travel") : TextView());
  if (answer == 0) return;
  s.blocks.OnceFlag = answer == 1;

  forms::Control& pasteType = s.Control(host::ctl::main::kPasteType);
  pasteType.SetCaption(u"Items");
  pasteType.SetForeColor(kPasteTypeGreen);
  // The engine runs unattended; presses after it are attended again.
  forms::Control& skipMenu = s.Control(host::ctl::mail::kSkipMenu);
  const bool skipMenuWas = skipMenu.Enabled();
  skipMenu.SetEnabled(true);
  blocks::GetSortCntPasteTravel(s);
  skipMenu.SetEnabled(skipMenuWas);
  s.Control(host::ctl::main::kMessageLabel).SetCaption(u"Paste last result. For window Items, change PasteType.");
  s.Control(host::ctl::main::kNotice).SetValue(true);
}

}  // namespace

void SubtractRtDwn(State& s) {
  ErrorTrail("SubtractRtDwn", [&] {
    s.Control(host::ctl::bigmsg::kOptionButton).SetVisible(false);
    // The mode stays as it was after this refusal only.
    if (RefusedWhileTagging(s)) return;
    if (!RefusedOnFault(s)) ConfirmAndRun(s);
    s.request.vbaMode.Set(Text(host::ModeText(host::ModeId::kNull)));
  });
}

}  // namespace quillary::drivers
