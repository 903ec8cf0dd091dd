#include "compare/tag_settings.h"

#include "compare/internal/common.h"
#include "compare/internal/messages.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/runtime/vba.h"

namespace quillary::compare {

namespace {

namespace cd = host::ctl::compdup;

void Enable(host::State& s, const host::ControlId& id, bool enabled) { s.Control(id).SetEnabled(enabled); }

// The controls as a duplicates tagging starts: no report, "OK" as the default button,
// the left colour only, tags as the Items themselves (no names, no comment boxes).
void ResetDialog(host::State& s) {
  Enable(s, cd::kSummaryYes, false);
  Enable(s, cd::kSummaryNo, false);
  s.Control(cd::kColourFrame).SetCaption(msg::kColourDuplicates);
  s.Control(cd::kUseNew).SetCaption(msg::kOkCaption);
  Enable(s, cd::kUseNew, true);
  s.Control(cd::kUseNew).SetDefault(true);
  s.Control(cd::kUseCollected).SetVisible(false);
  Enable(s, cd::kIdComment, false);
  Enable(s, cd::kTagNames, false);
  Enable(s, cd::kColorLeftEnable, true);
  Enable(s, cd::kColorRightEnable, false);
  Enable(s, cd::kColorRightSelect, false);
  Enable(s, cd::kDisableTags, true);
  Enable(s, cd::kListUniques, false);
  Enable(s, cd::kTagAreaProtected, false);
  Enable(s, cd::kJoinCells, true);
}

}  // namespace

host::Proceed DuplicatesFormShow(host::State& s) {
  return ErrorTrail("DuplicatesFormShow", [&] {
    const xl::Range selection = Selection(s);
    const long areas = selection.AreasCount();
    const bool sameAreaTwice = areas == 2 && selection.Areas(1).Address() == selection.Areas(2).Address();
    if (areas > 1 && !sameAreaTwice) {
      const double answer = host::MsgBoxDLL(s, host::MsgTitle(s, msg::SeveralAreas()),
                                            host::msgbox::kOkCancel + host::msgbox::kInformation);
      return answer == host::msgbox::kAnswerCancel ? host::Proceed::kStop : host::Proceed::kGoOn;
    }

    ResetDialog(s);
    const xl::Range area = selection.Areas(1);
    if (s.ActiveBook().ActiveSheet().ProtectContents()) {
      // One warning names what the protection switches off.
      Text warning;
      ProtectedSheetLimits(s, area, s.Control(host::ctl::main::kTagDuplicates).Caption(), warning);
      if (!warning.empty()) host::MsgBoxDLL(s, warning, host::msgbox::kInformation);
    } else {
      const bool joinCells = vba::EqualsTrue(s.Control(cd::kJoinCells).Value());
      Enable(s, cd::kLocatorLabel, !((!joinCells && area.ColumnsCount() > 1) || areas > 1));
    }

    msg::HelpFacts facts;
    facts.oneArea = areas == 1;
    facts.severalColumns = area.ColumnsCount() > 1;
    s.Control(cd::kText).SetValue(msg::TagSettingsHelp(facts, s.Control(host::ctl::main::kTagDuplicates).Caption(),
                                                       s.Control(cd::kJoinCells).Caption(),
                                                       s.Control(host::ctl::main::kGetTryButton).Caption()));

    host::HideMainUserForm(s);
    const host::CompareAnswer answer = AskCompareDialog(s, cd::kUseNew);
    // The run that follows is no comparison: no stage of an earlier one stays.
    s.compare.CompareStep = host::CompareStage::kIdle;
    return answer == host::CompareAnswer::kCancel ? host::Proceed::kStop : host::Proceed::kGoOn;
  });
}

}  // namespace quillary::compare
