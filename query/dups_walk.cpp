// The duplicates walk: Next steps through every listed cell of every duplicated name,
// the end-of-pass dialog between two names lets the user repeat the name or go on,
// and the different-name button jumps to the next name.
#include "query/internal/dups_walk.h"

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/internal/search.h"
#include "query/messages.h"
#include "query/query.h"

namespace quillary::query {

namespace {

using host::State;
namespace ctl = host::ctl;

// The walk's steps as the Next button finds them (the search step's codes read
// otherwise here).
namespace walk {
inline constexpr std::int16_t kStartName = 0;
inline constexpr std::int16_t kNextCell = 1;
inline constexpr std::int16_t kJumpToNextName = 2;
inline constexpr std::int16_t kListDone = 3;
}  // namespace walk

// The duplicates list on the working sheet: row r (from 0) holds the address of a
// listed cell and its duplicated name; the list ends at the first row without an
// address. The listed addresses carry no sheet: they are cells of the active sheet.
class DupsList {
 public:
  explicit DupsList(State& s) : s_(s) {
    if (!MemoryOf(s).DupsListAnchor) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
    anchor_ = &*MemoryOf(s).DupsListAnchor;
  }

  Text Address(long r) const { return CellString(anchor_->Offset(r, 1).Value()); }
  Text Name(long r) const { return CellString(anchor_->Offset(r, 2).Value()); }
  bool HasAddress(long r) const { return !Address(r).empty(); }
  bool SameName(long a, long b) const { return vba::StrComp(Name(a), Name(b), s_.request.CompareMode) == 0; }
  bool SameAddress(long a, long b) const { return vba::StrComp(Address(a), Address(b), s_.request.CompareMode) == 0; }

  // The listed cell is made the active cell.
  void ShowCell(long r) const { s_.ActiveBook().ActiveSheet().Range(Address(r)).Activate(); }

  // The listed name goes into the search box (commas of joined cells restored), and
  // into an empty replacement box, where it is the replacement text from then on (as an
  // edit of the box would make it).
  void ShowName(long r) const {
    Text name = Name(r);
    const forms::Control& join = s_.Control(ctl::compdup::kJoinCells);
    if (s_.request.IgnoreIndexMode && join.Enabled() && vba::EqualsTrue(join.Value())) {
      host::ReplaceItRef(name, TextView(&items::kCommaMark, 1), u",", 1, -1, 0);
    }
    forms::Control& box1 = s_.Control(ctl::query::kTextbox1);
    box1.SetValue(name);
    forms::Control& box2 = s_.Control(ctl::query::kTextbox2);
    if (box2.Text().empty()) {
      box2.SetValue(box1.Text());
      if (box2.Enabled()) MemoryOf(s_).ReplaceText = vba::Trim(box2.Text());
    }
    SelectAll(box2);
    if (box2.Enabled()) box2.SetFocus();
  }

 private:
  State& s_;
  const xl::Range* anchor_ = nullptr;
};

// The cursor is the active cell.
void LocateActiveCell(State& s) { MemoryOf(s).Cursor = Locate(Selection(s), ActiveCell(s)); }

// The replacement text is selected for typing, or else the search text. At the end of
// the list the search box takes the focus only while the replacement box is enabled.
void SelectQueryText(State& s, bool listDone = false) {
  forms::Control& box2 = s.Control(ctl::query::kTextbox2);
  if (!box2.Text().empty()) {
    SelectAll(box2);
    if (box2.Enabled()) box2.SetFocus();
    return;
  }
  forms::Control& box1 = s.Control(ctl::query::kTextbox1);
  SelectAll(box1);
  if (!listDone || box2.Enabled()) box1.SetFocus();
}

// Shows and marks the listed cell of DupsListRow through the search step.
void SearchListedCell(State& s, const DupsList& list) {
  QueryMemory& q = MemoryOf(s);
  list.ShowCell(q.DupsListRow);
  LocateActiveCell(s);
  ++q.DupsListRow;
  s.Control(ctl::query::kReplaceButton).SetEnabled(true);
  q.SearchState = search_state::kDuplicateCell;
  NextButtonSub(s);
  q.SearchState = walk::kNextCell;
}

// The message at the end of the list; `spaced` for the different-name button's own.
Text EndOfListMessage(State& s, bool spaced) {
  const forms::Control& different = s.Control(ctl::query::kDiffDupsButton);
  return msg::EndOfDuplicatesText(different.Enabled(), s.Control(ctl::query::kNextButton).Caption(),
                                  different.Caption(), spaced);
}

void StartName(State& s, const DupsList& list) {
  QueryMemory& q = MemoryOf(s);
  s.Control(ctl::query::kLabel7).SetCaption(kBeginningNote);
  q.DupsListRow = q.NameStartRow;
  list.ShowCell(q.DupsListRow);
  list.ShowName(q.DupsListRow);
  LocateActiveCell(s);
  ++q.DupsListRow;
  s.Control(ctl::query::kReplaceButton).SetEnabled(true);
  q.SearchState = search_state::kDuplicateCell;
  q.QueryHitCount = 0;
  NextButtonSub(s);
  SelectQueryText(s);
  q.SearchState = list.HasAddress(q.DupsListRow) ? walk::kNextCell : walk::kListDone;
}

void NextCell(State& s, const DupsList& list) {
  QueryMemory& q = MemoryOf(s);
  forms::Control& label7 = s.Control(ctl::query::kLabel7);
  if (list.SameName(q.DupsListRow, q.DupsListRow - 1)) {
    const bool sameCell = list.SameAddress(q.DupsListRow, q.DupsListRow - 1) || q.DupsListRow == q.NameStartRow;
    label7.SetCaption(sameCell ? kSameCellNote : u"");
    SearchListedCell(s, list);
    SelectQueryText(s);
    if (!list.HasAddress(q.DupsListRow)) q.SearchState = walk::kListDone;
    return;
  }
  // The name's cells are done: repeat the name, or go on to the next.
  s.services.beeper.Beep();
  host::ScreenOn(s);
  host::ShowQueryEndUserForm(s);
  if (s.Control(ctl::query::kDiffDupsButton).Default()) {
    s.Control(ctl::query::kNextButton).SetDefault(true);
    if (list.HasAddress(q.DupsListRow)) {
      q.NameStartRow = q.DupsListRow;
      list.ShowName(q.DupsListRow);
      label7.SetCaption(kBeginningNote);
      SearchListedCell(s, list);
      if (!list.HasAddress(q.DupsListRow)) q.SearchState = walk::kListDone;
    } else {
      q.SearchState = walk::kListDone;
      q.DupsListRow = q.NameStartRow + 1;
      SelectQueryText(s);
    }
  } else {
    q.SearchState = walk::kStartName;
    SelectQueryText(s);
  }
}

void JumpToNextName(State& s, const DupsList& list) {
  QueryMemory& q = MemoryOf(s);
  if (!list.HasAddress(q.DupsListRow)) {
    q.SearchState = walk::kListDone;
    q.DupsListRow = q.NameStartRow;
    SelectQueryText(s);
  } else {
    q.NameStartRow = q.DupsListRow;
    list.ShowCell(q.DupsListRow);
    list.ShowName(q.DupsListRow);
    LocateActiveCell(s);
    q.SearchState = walk::kStartName;
  }
  ++q.DupsListRow;
}

void ListDone(State& s) {
  QueryMemory& q = MemoryOf(s);
  host::MsgBoxDLL(s, EndOfListMessage(s, false), host::msgbox::kInformation);
  host::ScreenOn(s);
  q.DupsListEnd = true;
  q.DupsListRow = q.NameStartRow;
  q.SearchState = walk::kStartName;
  s.Control(ctl::query::kDiffDupsButton).SetDefault(false);
  forms::Control& next = s.Control(ctl::query::kNextButton);
  next.SetEnabled(true);
  next.SetDefault(true);
  SelectQueryText(s, true);
}

}  // namespace

void GoQueryUserFormDups(State& s, const Text& listName) {
  ErrorTrail("GoQueryUserFormDups", [&] {
    QueryMemory& q = MemoryOf(s);
    // The walk lasts as long as the form is shown, also when an error ends it.
    struct Leave {
      QueryMemory& q;
      ~Leave() {
        q.DupsWalkMode = false;
        q.DupsListAnchor.reset();
      }
    } leave{q};

    if (s.App().ActiveWorkbook() != nullptr && !s.request.progress.UserAbort) {
      q.DupsListAnchor = items::ListAnchor(s, listName).Offset(1, 6);
      q.SearchState = walk::kStartName;
      q.DupsWalkMode = true;
      q.DupsListEnd = false;
      s.Control(ctl::query::kNextButton).SetDefault(true);
      forms::Control& different = s.Control(ctl::query::kDiffDupsButton);
      different.SetVisible(true);
      s.Control(ctl::query::kLabel1).SetCaption(kDuplicateItemLabel);
      s.Control(ctl::queryend::kRepeatButton).SetCaption(u"Repeat Same Name");
      forms::Control& endDifferent = s.Control(ctl::queryend::kDifferentButton);
      endDifferent.SetVisible(true);
      endDifferent.SetDefault(true);
      endDifferent.SetFocus();

      const DupsList list(s);
      long k = 0;
      while (list.HasAddress(k) && list.SameName(k, 0)) ++k;
      if (list.HasAddress(k)) different.SetEnabled(true);

      if (list.HasAddress(0)) {
        list.ShowCell(0);
        q.Cursor.Area = Locate(Selection(s), ActiveCell(s)).Area;
        q.Start.Row = 1;
        q.NameStartRow = 0;
        q.QueryItem = s.request.FaultItem;
        q.QueryItemLast = q.QueryItem;
        NextButtonDupsMode(s);
        host::ShowQueryUserForm(s);
      }
    }
    s.App().SetStatusBar(Variant(false));
    s.App().SetDisplayStatusBar(s.Control(ctl::mail::kOldStatusBar).Enabled());
    q.QuerySearchArea.reset();
  });
}

void NextButtonDupsMode(State& s) {
  ErrorTrail("NextButtonDupsMode", [&] {
    if (s.App().ActiveWorkbook() == nullptr || s.request.progress.UserAbort) return;
    s.Control(ctl::query::kLamp).SetBackColor(kLampOn);
    const DupsList list(s);
    switch (MemoryOf(s).SearchState) {
      case walk::kStartName: StartName(s, list); break;
      case walk::kNextCell: NextCell(s, list); break;
      case walk::kJumpToNextName: JumpToNextName(s, list); break;
      case walk::kListDone: ListDone(s); break;
      default: break;
    }
    host::ScreenOn(s);
  });
}

void nextbuttondupsmode2(State& s) {
  ErrorTrail("nextbuttondupsmode2", [&] {
    QueryMemory& q = MemoryOf(s);
    if (q.DupsListEnd) {
      q.DupsListEnd = false;
      if (DupsList(s).Name(q.DupsListRow).empty()) q.SearchState = walk::kStartName;
    }
    s.Control(ctl::query::kNextButton).SetDefault(true);
  });
}

void diffdupsButtonClick(State& s) {
  ErrorTrail("diffdupsButtonClick", [&] {
    QueryMemory& q = MemoryOf(s);
    s.Control(ctl::query::kLabel2).SetCaption(kReplaceWithLabel);
    forms::Control& box2 = s.Control(ctl::query::kTextbox2);
    box2.SetValue(q.ReplaceText);
    box2.SetEnabled(!ShowsHint(box2));
    forms::Control& replace = s.Control(ctl::query::kReplaceButton);
    replace.SetEnabled(true);
    s.Control(ctl::query::kLabel4).SetForeColor(kLabel4Plain);
    replace.SetCaption(kReplaceCaption);
    if (q.ReplaceText == kSubtractHint) q.ReplaceText.clear();
    q.QueryItemLast = vba::Trim(s.Control(ctl::query::kTextbox1).Text());

    forms::Control& different = s.Control(ctl::query::kDiffDupsButton);
    forms::Control& next = s.Control(ctl::query::kNextButton);
    auto nextIsDefault = [&] {
      different.SetDefault(false);
      next.SetEnabled(true);
      next.SetDefault(true);
    };
    if (!q.DupsWalkMode) {
      q.SearchState = walk::kStartName;
      std::vector<Variant> args{Variant(Text(u"QueryUserForm"))};
      host::RunAddinMacro(s, u"!UserformHide", args);
    } else if (q.DupsListEnd) {
      // Back to the top of the list.
      q.DupsListEnd = false;
      q.SearchState = walk::kStartName;
      nextIsDefault();
      q.NameStartRow = 0;
      NextButtonDupsMode(s);
    } else {
      const DupsList list(s);
      long r = q.DupsListRow;
      if (list.HasAddress(r)) {
        while (list.HasAddress(r) && list.SameName(r, q.NameStartRow)) ++r;
      } else if (q.DupsListRow > 0) {
        q.DupsListRow = 0;
      }
      if (!list.HasAddress(r)) {
        host::MsgBoxDLL(s, EndOfListMessage(s, true), host::msgbox::kInformation);
        host::ScreenOn(s);
        q.DupsListEnd = true;
      } else {
        q.DupsListEnd = false;
        q.SearchState = walk::kStartName;
        q.DupsListRow = r;
        q.NameStartRow = r;
        NextButtonDupsMode(s);
      }
      nextIsDefault();
    }
    host::ScreenOn(s);
  });
}

}  // namespace quillary::query
