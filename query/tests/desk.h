// A desk for the Query's tests: Sheet1 of the bench's workbook, a request holding the
// forms (in CountIndex# or IgnoreIndex#), and the Query form opened with the presses
// made while it is shown, as the host sends them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/connect.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "query/query.h"
#include "testkit/bench.h"

namespace quillary::query::testing {

enum class ItemMode { kCountIndex, kIgnoreIndex };

class Desk {
 public:
  explicit Desk(ItemMode mode = ItemMode::kCountIndex, TextView vbaMode = u"Null") : events_(b.state, QueryRoutines()) {
    b.forms.mainUser.Item(u"CheckBox1").SetValue(mode == ItemMode::kIgnoreIndex);
    b.BeginRequest(vbaMode);
    b.routines.GoQueryUserForm = GoQueryUserForm;
  }

  // The Query form's events, as the host sends them back while the form is shown.
  static host::Routines QueryRoutines() {
    host::Routines r;
    r.NextButton_Click = NextButton_Click;
    r.NextButtonClick = NextButtonClick;
    r.ReplaceButtonClick = ReplaceButtonClick;
    r.NextButtonDupsMode = NextButtonDupsMode;
    r.nextbuttondupsmode2 = nextbuttondupsmode2;
    r.TextBox1Change = TextBox1Change;
    r.TextBox2Change = TextBox2Change;
    r.RemoveBookmark = RemoveBookmark;
    r.PlaceBookmark = PlaceBookmark;
    r.diffdupsButtonClick = diffdupsButtonClick;
    return r;
  }

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  // Types a value into a cell as a user types it.
  void Type(TextView ref, const Variant& value) { Sheet().Range(ref).SetValue(value); }
  // Selects `ref` with the active cell at `active` (the selection's first cell when
  // none is named).
  void Select(TextView ref, TextView active = {}) {
    Sheet().Range(ref).Select();
    if (!active.empty()) Sheet().Range(active).Activate();
  }

  forms::Control& C(const host::ControlId& id) { return b.Control(id); }
  Text Caption(const host::ControlId& id) { return C(id).Caption(); }
  // The search text and the replacement text, as the user types them.
  void Search(TextView text) { C(host::ctl::query::kTextbox1).SetValue(Text(text)); }
  void Replacement(TextView text) { C(host::ctl::query::kTextbox2).SetValue(Text(text)); }

  // Opens the Query form; `whileShown` runs while the host shows it (the user's
  // presses).
  void Open(std::function<void()> whileShown = {}) {
    b.addin.QueueHook(u"MainUserFormHideOffsetShow", [whileShown](std::span<Variant>) {
      if (whileShown) whileShown();
    });
    GoQueryUserForm(b.state);
  }

  // One Query form event (QuillaryQueryFormDLL).
  void Event(TextView name) {
    Text event(name);
    events_.QuillaryQueryFormDLL(event);
  }
  // One press of Next; the active cell's address afterwards.
  Text Next() {
    Event(u"NextButton_Click");
    return Active();
  }
  Text Active() { return b.app->ActiveCell()->Address(); }
  Text Lamp() { return C(host::ctl::query::kLamp).BackColor() == 0xC0FFC0 ? u"on" : u"off"; }
  int Beeps() const { return b.services.beeper.Count(); }

  // The prompts of the messages shown so far.
  std::vector<Text> Messages() {
    std::vector<Text> out;
    for (const auto& m : b.addin.Messages()) out.push_back(m.prompt);
    return out;
  }

  // Lists duplicates as Get/Try leaves them beside list 1 on the working sheet: the
  // address and the name of each listed cell, from list row 1.
  void ListDuplicates(std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows) {
    host::InitPlace(b.state, host::kList1);
    const xl::Range anchor = items::ListAnchor(b.state, host::kList1);
    long r = 1;
    for (const auto& [address, name] : rows) {
      items::WriteText(anchor.Offset(r, items::kSideCellAddr), address);
      items::WriteText(anchor.Offset(r, items::kSideItem), name);
      ++r;
    }
  }

  testkit::Bench b;

 private:
  host::ExcelQueryFormConnect events_;
};

}  // namespace quillary::query::testing
