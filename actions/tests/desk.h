// A desk for the Action list's tests: the bench, cells typed into Sheet1, a selection,
// and an "Actions" request run as the host sends it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/actions.h"
#include "host/callbacks.h"
#include "testkit/bench.h"

namespace quillary::actions {

class Desk {
 public:
  Desk() { b.routines.Actions = Actions; }

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  xl::Range Cell(const char16_t* reference) { return Sheet().Range(reference); }
  // Types values down a column from `top`.
  void Column(const char16_t* top, std::initializer_list<Variant> values) {
    xl::Range cell = Cell(top);
    long i = 0;
    for (const Variant& v : values) cell.Offset(i++, 0).SetValue(v);
  }
  // Runs the Action list entry `mode` on the selection `selection`.
  void Run(TextView mode, const char16_t* selection) {
    Cell(selection).Select();
    Run(mode);
  }
  void Run(TextView mode) {
    b.BeginRequest(mode);
    Actions(b.state);
  }
  void Run(host::ModeId mode, const char16_t* selection) { Run(host::ModeText(mode), selection); }
  void Run(host::ModeId mode) { Run(host::ModeText(mode)); }

  Variant Value(const char16_t* reference) { return Cell(reference).Value(); }
  std::vector<Variant> Values(const char16_t* reference) { return Cell(reference).Values(); }
  std::vector<addin::Message> Messages() { return b.addin.Messages(); }
  // How many times the host was asked about the break key.
  std::size_t BreakPolls() { return b.addin.CallsOf(u"vbaBreakKey").size(); }
  forms::Control& Control(const host::ControlId& id) { return b.Control(id); }

  testkit::Bench b;
};

}  // namespace quillary::actions
