// A desk for the tagging and compare tests: the user's Sheet1, result lists written
// straight onto the working sheet as the Item engine leaves them, the dialog's options,
// and readers of the marks and the messages.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::compare {

// A colour the tests paint with, and the choosers' colours of the bench's dialog.
inline constexpr long kLeftColour = 0x80FFFF;
inline constexpr long kRightColour = 0xFFFF80;

struct Desk {
  // Starts a request in the Item mode (IgnoreIndex# when `ignoreIndex`) and mode.
  void Begin(bool ignoreIndex, TextView mode = u"Null") {
    b.forms.mainUser.Item(u"CheckBox1").SetValue(ignoreIndex);
    b.BeginRequest(mode);
    host::InitPlace(b.state, host::kList1);
    host::InitPlace(b.state, host::kList2);
  }

  xl::Worksheet& Sheet() { return b.Sheet(u"Sheet1"); }
  xl::Range Cell(TextView address) { return Sheet().Range(address); }
  void Put(TextView address, const Variant& value) { Cell(address).SetValue(value); }
  Variant At(TextView address) { return Cell(address).Value(); }
  void Select(TextView areas) { Sheet().Range(areas).Select(); }

  // An IgnoreIndex# result list (the SideList): one (address, Item) pair per row.
  void SideList(TextView list, const std::vector<std::pair<Text, Text>>& rows) {
    const xl::Range anchor = items::ListAnchor(b.state, list);
    long r = 1;
    for (const auto& [address, item] : rows) {
      anchor.Offset(r, items::kSideOrderNum).SetValue(static_cast<double>(r));
      items::WriteText(anchor.Offset(r, items::kSideCellAddr), address);
      items::WriteText(anchor.Offset(r, items::kSideItem), item);
      ++r;
    }
  }

  // One CountIndex# Item row: the source cell, Prefix1, IndexNum1, and for a range
  // IndexNum2 and Prefix2 (" " for none).
  struct Indexed {
    Text address;
    Text prefix;
    double number = 0;
    Text number2{};
    Text prefix2{};
  };
  void ItemRows(TextView list, const std::vector<Indexed>& rows) {
    const xl::Range anchor = items::ListAnchor(b.state, list);
    long r = 1;
    for (const Indexed& row : rows) {
      items::WriteText(anchor.Offset(r, items::kCellAddr), row.address);
      items::WriteText(anchor.Offset(r, items::kItemText), row.prefix);
      anchor.Offset(r, items::kIndexNum1).SetValue(row.number);
      if (!row.number2.empty()) {
        items::WriteText(anchor.Offset(r, items::kIndexNum2), row.number2);
        items::WriteText(anchor.Offset(r, items::kPrefix2), row.prefix2);
      }
      ++r;
    }
  }
  Variant ListCell(TextView list, long row, long col) {
    return items::ListAnchor(b.state, list).Offset(row, col).Value();
  }

  forms::Control& Dialog(TextView name) { return b.forms.compDupUser.Item(name); }
  // Ticks an option of the dialog and enables it.
  void Tick(TextView name, bool on = true) {
    Dialog(name).SetEnabled(true);
    Dialog(name).SetValue(on);
  }
  void MainTick(TextView name, bool on = true) { b.forms.mainUser.Item(name).SetValue(on); }

  // The messages shown, in order.
  std::vector<addin::Message> Messages() { return b.addin.Messages(); }
  // Queues `n` OK answers (information messages).
  void Ok(int n = 1) {
    for (int i = 0; i < n; ++i) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  }

  long Fill(TextView address) { return static_cast<long>(vba::CDbl(Cell(address).Interior().Color())); }
  long Pattern(TextView address) { return static_cast<long>(vba::CDbl(Cell(address).Interior().Pattern())); }

  testkit::Bench b;
};

}  // namespace quillary::compare
