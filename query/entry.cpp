// The Query's entry and its Next button.
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "query/internal/dups_walk.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/internal/search.h"
#include "query/query.h"

namespace quillary::query {

namespace {

using host::State;
namespace ctl = host::ctl;

// The Start cell (and the cursor) is the active cell, in the first selected area that
// holds it.
void SetStartCell(State& s) {
  MemoryOf(s).Start = Locate(Selection(s), ActiveCell(s));
  MemoryOf(s).Cursor = MemoryOf(s).Start;
}

// The Query form's controls as every Query opens with them.
void ResetForm(State& s) {
  QueryMemory& q = MemoryOf(s);
  forms::Control& box2 = s.Control(ctl::query::kTextbox2);
  q.ReplaceText = vba::Trim(box2.Text());
  box2.SetValue(q.ReplaceText);
  box2.SetEnabled(true);
  forms::Control& next = s.Control(ctl::query::kNextButton);
  next.SetDefault(true);
  next.SetEnabled(true);
  forms::Control& replace = s.Control(ctl::query::kReplaceButton);
  replace.SetEnabled(false);
  replace.SetDefault(false);
  replace.SetCaption(kReplaceCaption);
  q.FoundAtText.clear();
  forms::Control& different = s.Control(ctl::query::kDiffDupsButton);
  different.SetEnabled(false);
  s.Control(ctl::query::kLabel1).SetCaption(vba::Trim(s.request.FaultMsg));
  s.Control(ctl::query::kLabel2).SetCaption(kReplaceWithLabel);
  s.Control(ctl::query::kLamp).SetBackColor(kLampOff);
  s.Control(ctl::query::kLabel4).SetForeColor(kLabel4Plain);
  s.Control(ctl::query::kLabel5).SetCaption(u"");
  s.Control(ctl::query::kLabel7).SetCaption(u"");
  forms::Control& label6 = s.Control(ctl::query::kLabel6);
  label6.SetCaption(ModeText(s));
  label6.SetVisible(true);
  different.SetVisible(false);

  s.Control(ctl::queryend::kLabel2).SetCaption(ModeText(s));
  s.Control(ctl::queryend::kRepeatButton).SetCaption(u"Repeat");
}

bool DuplicatesWalkWanted(const State& s) {
  return vba::EqualsTrue(s.Control(ctl::main::kSort).Value()) && s.request.IgnoreIndexMode &&
         !s.request.vbaMode.Traits().compareTwo && Contains(s.request.FaultMsg, u"Duplicate");
}

void FaultLocator(State& s) {
  QueryMemory& q = MemoryOf(s);
  s.Control(ctl::query::kTextbox1).SetLocked(true);
  forms::Control& box2 = s.Control(ctl::query::kTextbox2);
  SelectAll(box2);
  if (box2.Enabled()) box2.SetFocus();
  if (Contains(s.request.FaultMsg, u"Duplicate")) s.Control(ctl::query::kDiffDupsButton).SetVisible(true);
  q.SearchState = search_state::kNew;
  SetStartCell(s);
  q.QueryItem = s.request.FaultItem;
  q.QueryItemLast = q.QueryItem;
  NextButtonSub(s);
  host::ScreenOn(s);
  host::ShowQueryUserForm(s);
}

void FindItem(State& s) {
  QueryMemory& q = MemoryOf(s);
  forms::Control& box1 = s.Control(ctl::query::kTextbox1);
  box1.SetLocked(false);
  box1.SetEnabled(true);
  SelectAllAndFocus(box1);
  s.Control(ctl::query::kLabel1).SetCaption(kFindItemLabel);
  q.SearchState = search_state::kNew;
  SetStartCell(s);
  q.QueryItem = s.request.FaultItem;
  q.QueryItemLast = q.QueryItem;
  host::ShowQueryUserForm(s);
}

}  // namespace

void GoQueryUserForm(State& s) {
  ErrorTrail("GoQueryUserForm", [&] {
    QueryMemory& q = MemoryOf(s);
    // The searched range is let go when the form closes, also when an error ends it.
    struct Release {
      QueryMemory& q;
      ~Release() { q.QuerySearchArea.reset(); }
    } release{q};

    const bool mainFormShown = host::RememberIfMainUserformVisibleDLL(s);
    forms::Control& box2 = s.Control(ctl::query::kTextbox2);
    if (!ShowsHint(box2)) q.ReplaceText = vba::Trim(box2.Text());
    box2.SetText(q.ReplaceText);
    q.SearchState = search_state::kRestart;
    q.DupsWalkMode = false;
    q.SearchAbort = false;
    q.QueryPassEnded = false;
    q.QueryHitCount = 0;
    q.QueryHitCountSaved = 0;
    q.QuerySearchArea.reset();
    s.App().SetStatusBar(Variant(Text()));
    ResetForm(s);

    if (DuplicatesWalkWanted(s)) {
      GoQueryUserFormDups(s, host::kList1);
    } else if (s.Control(ctl::query::kCaption).Caption() == kFaultLocatorCaption) {
      FaultLocator(s);
    } else {
      FindItem(s);
    }

    if (mainFormShown) host::ShowMainUserFormDLL(s);
    host::ScreenRestore(s);
    s.App().SetStatusBar(Variant(false));
    s.App().SetDisplayStatusBar(s.Control(ctl::mail::kOldStatusBar).Enabled());
  });
}

void NextButton_Click(State& s) {
  if (MemoryOf(s).DupsWalkMode) {
    nextbuttondupsmode2(s);
    NextButtonDupsMode(s);
  } else {
    NextButtonClick(s);
  }
}

void NextButtonClick(State& s) {
  ErrorTrail("NextButtonClick", [&] {
    QueryMemory& q = MemoryOf(s);
    forms::Control& box1 = s.Control(ctl::query::kTextbox1);
    if (q.DupsWalkMode) {
      box1.SetEnabled(true);
      SelectAllAndFocus(box1);
      s.Control(ctl::query::kNextButton).SetDefault(true);
      q.SearchState = search_state::kResume;
    } else {
      forms::Control& box2 = s.Control(ctl::query::kTextbox2);
      if (!ShowsHint(box2)) {
        box2.SetValue(q.ReplaceText);
        box2.SetEnabled(true);
        SelectAllAndFocus(box2);
      }
      s.Control(ctl::query::kNextButton).SetDefault(true);
      q.QueryItem = vba::Trim(box1.Text());
    }
    NextButtonSub(s);
    host::ScreenOn(s);
  });
}

}  // namespace quillary::query
