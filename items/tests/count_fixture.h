// A bench for the sort, count and display tests: a list written straight onto the
// working sheet as the gathering leaves it, and a record of the progress captions.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "items/sort_count.h"
#include "items/tests/options_of.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::items {

class CountFixture : public ::testing::Test {
 protected:
  forms::Control& Main(TextView name) { return b.forms.mainUser.Item(name); }

  // Starts a request in the Item mode and prepares list 1 (and list 2, empty).
  void Begin(bool ignoreIndex, TextView mode = u"Null") {
    Main(u"CheckBox1").SetValue(ignoreIndex);
    b.BeginRequest(mode);
    host::InitPlace(b.state, host::kList1);
    host::InitPlace(b.state, host::kList2);
    WorkSheet(b.state).UsedRange().ClearContents();
    anchor.emplace(ListAnchor(b.state, host::kList1));
  }

  xl::Range Cell(long r, long c) const { return anchor->Offset(r, c); }

  // CountIndex# rows from Item notation: "R1", "R1-R3", "R1-3", "7", "ABC"; the
  // distinct column gets each first prefix once, in the order met.
  void Indexed(const std::vector<Text>& items) {
    std::vector<Text> distinct;
    long r = 1;
    for (const Text& item : items) {
      const auto hyphen = item.find(u'-');
      const auto [p1, n1] = Split(TextView(item).substr(0, hyphen));
      WriteText(Cell(r, kCellAddr), u"$A$" + Num(r));
      WriteText(Cell(r, kItemText), p1);
      if (!n1.empty()) Cell(r, kIndexNum1).SetValue(vba::Val(n1));
      if (hyphen != Text::npos) {
        const auto [p2, n2] = Split(TextView(item).substr(hyphen + 1));
        WriteText(Cell(r, kIndexNum2), n2);
        WriteText(Cell(r, kPrefix2), p2);
      }
      if (std::find(distinct.begin(), distinct.end(), p1) == distinct.end()) distinct.push_back(p1);
      ++r;
    }
    for (std::size_t d = 0; d < distinct.size(); ++d) {
      WriteText(Cell(static_cast<long>(d + 1), kDistinctItem), distinct[d]);
    }
  }

  // IgnoreIndex# rows: order numbers, addresses and the texts.
  void Plain(const std::vector<Text>& items) {
    long r = 1;
    for (const Text& item : items) {
      Cell(r, kOrderNum).SetValue(static_cast<double>(r));
      WriteText(Cell(r, kCellAddr), u"$A$" + Num(r));
      WriteText(Cell(r, kItemText), item);
      ++r;
    }
  }

  // The texts of a column under an anchor, by the column count rule.
  static std::vector<Text> Column(const xl::Range& at, long col) {
    std::vector<Text> texts;
    const std::int64_t n = ColumnCount(at, col);
    for (long r = 1; r <= n; ++r) texts.push_back(CellText(at.Offset(r, col)));
    return texts;
  }
  std::vector<Text> Column(long col) const { return Column(*anchor, col); }

  CountResult Run(TextView listName = host::kList1) {
    return ItemsSortCntDsply(b.state, OptionsOf(b.state), Text(listName));
  }
  // A count whose result the test does not look at.
  void Count(TextView listName = host::kList1) { static_cast<void>(Run(listName)); }
  Text Window() const { return vba::CStr(b.state.request.ActiveWndw->Value()); }

  // Each break-key poll moves the clock on two seconds, so that the progress bar is
  // shown from the second poll on; the captions of the status bar texts are recorded.
  void WatchProgress() {
    b.addin.SetHook(u"vbaBreakKey", [this](std::span<Variant>) {
      ++polls;
      Record();
      b.services.clock.Advance(2);
    });
  }
  void Record() {
    const Variant bar = b.app->StatusBar();
    if (bar.IsText()) {
      const Text& t = bar.AsText();
      captions.insert(t.substr(0, t.find(u"Progress: ") + 10));
    }
  }

  static Text Num(std::int64_t n) {
    const std::string s = std::to_string(n);
    return Text(s.begin(), s.end());
  }

  testkit::Bench b;
  std::optional<xl::Range> anchor;
  int polls = 0;
  std::set<Text> captions;

 private:
  // "R12" -> {"R", "12"}; "12" -> {" ", "12"}; "ABC" -> {"ABC", ""}.
  static std::pair<Text, Text> Split(TextView t) {
    std::size_t k = t.size();
    while (k > 0 && t[k - 1] >= u'0' && t[k - 1] <= u'9') --k;
    if (k == t.size()) return {Text(t), Text()};
    return {k == 0 ? Text(kNoPrefix) : Text(t.substr(0, k)), Text(t.substr(k))};
  }
};

}  // namespace quillary::items
