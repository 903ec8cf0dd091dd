// A desk for the block engine's tests: the bench with cells typed into Sheet1, the
// Active Window's text, and a recording stand-in for the fault locator, which the engine
// runs of another subsystem.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "blocks/block_engine.h"
#include "host/routines.h"
#include "testkit/bench.h"

namespace quillary::blocks {

class Desk {
 public:
  Desk() {
    b.routines.GoQueryUserForm = [this](host::State& s) {
      located.push_back(s.Control(host::ctl::query::kTextbox1).Text());
    };
  }

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  xl::Range At(TextView reference) { return Sheet().Range(reference); }
  Variant Value(TextView reference) { return At(reference).Value(); }

  // Types the values into the cells from `first` down.
  void Column(TextView first, std::initializer_list<Text> values) {
    long row = 0;
    for (const Text& v : values) At(first).Offset(row++, 0).SetValue(v);
  }

  void PasteType(const char16_t* caption) { b.forms.mainUser.Item(u"CheckBox6").SetCaption(caption); }
  void Tick(const host::ControlId& box, bool on = true) { b.Control(box).SetValue(on); }
  // Unattended, as an action runs the engine: SkipMenu enabled, TRAVEL or ONCE preset.
  void Unattended(bool once) {
    b.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
    b.state.blocks.OnceFlag = once;
  }
  void SetWindow(const Text& text) { b.Control(host::ctl::main::kTextbox1).SetValue(text); }
  Text Window() { return b.Control(host::ctl::main::kTextbox1).Text(); }
  Text Caption(const host::ControlId& id) { return b.Control(id).Caption(); }

  // A request in `mode` on the selection `reference`, as the host sends it.
  void Run(host::ModeId mode, TextView reference) {
    Sheet().Range(reference).Select();
    b.BeginRequest(mode);
    GetSortCntPasteTravel(b.state);
  }

  // The messages shown, their prompts only.
  std::vector<Text> Prompts() {
    std::vector<Text> out;
    for (const auto& m : b.addin.Messages()) out.push_back(m.prompt);
    return out;
  }
  // The cells of Sheet1 holding a comment.
  std::vector<Text> Comments() {
    std::vector<Text> out;
    for (const xl::Range& cell : Sheet().Comments()) out.push_back(cell.Address());
    return out;
  }
  // The status comment box writes in IgnoreIndex# with Sort on and tagging off, when the
  // gathering left a Duplicates_Summary: ticks the boxes and leaves `summary` pending.
  void PendingSummary(const Text& summary) {
    Tick(host::ctl::main::kIgnoreIndex);
    Tick(host::ctl::main::kSort);
    Tick(host::ctl::main::kTagDuplicates, false);
    b.state.items.DupSummaryText = summary;
  }
  // What the clipboard staging left on the clipboard.
  Text Staged() { return b.services.clipboard.Contents(); }
  Text Selection() { return b.app->Selection()->Address(); }
  Text ActiveCell() { return b.app->ActiveCell()->Address(); }

  testkit::Bench b;
  std::vector<Text> located;  // the Items handed to the fault locator
};

}  // namespace quillary::blocks
