// The column storage against a plain model: random writes, clears, whole-area writes
// and sorts on a short column, after each of which End, CountA and whole-value Find must
// tell what a cell-by-cell reading of the model tells.
#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "platform/excel/memory/tests/fixture.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {
namespace {

class Storage : public SheetTest {};

TEST_F(Storage, RunsCountsAndTheIndexFollowEveryChange) {
  constexpr long kRows = 60;
  std::vector<std::optional<Text>> model(kRows + 1);  // row -> text, nothing when empty
  std::mt19937 rng(7);
  const auto pick = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(rng); };
  const auto name = [&] { return Text(u"t").append(vba::NumberText(static_cast<double>(pick(0, 9)))); };
  R("A1:A60").Find({.What = u"t0", .LookIn = xlValues, .LookAt = xlWhole});  // the index, from the start
  for (int step = 0; step < 400; ++step) {
    const long r = pick(1, kRows), r2 = std::min(kRows, r + pick(0, 8));
    switch (pick(0, 4)) {
      case 0:
      case 1: {
        const Text t = name();
        sheet->Cells(r, 1).SetValue(t);
        model[static_cast<std::size_t>(r)] = t;
        break;
      }
      case 2:
        sheet->Range(sheet->Cells(r, 1), sheet->Cells(r2, 1)).ClearContents();
        for (long k = r; k <= r2; ++k) model[static_cast<std::size_t>(k)].reset();
        break;
      case 3: {
        std::vector<Variant> values;
        for (long k = r; k <= r2; ++k) {
          const bool empty = pick(0, 2) == 0;
          const Text t = name();
          values.push_back(empty ? Variant() : Variant(t));
          model[static_cast<std::size_t>(k)] = empty ? std::nullopt : std::optional<Text>(t);
        }
        sheet->Range(sheet->Cells(r, 1), sheet->Cells(r2, 1)).SetValues(values);
        break;
      }
      default: {
        const bool descending = pick(0, 1) == 1;
        xl::Range key = R("A1");
        R("A1:A60").Sort({.Key1 = &key, .Order1 = descending ? xlDescending : xlAscending});
        // The model sorts the same way ("t0" .. "t9" in code order), empty cells last.
        std::vector<Text> texts;
        for (long k = 1; k <= kRows; ++k) {
          if (model[static_cast<std::size_t>(k)]) texts.push_back(*model[static_cast<std::size_t>(k)]);
        }
        std::sort(texts.begin(), texts.end());
        if (descending) std::reverse(texts.begin(), texts.end());
        for (long k = 1; k <= kRows; ++k) {
          const auto i = static_cast<std::size_t>(k - 1);
          model[static_cast<std::size_t>(k)] = i < texts.size() ? std::optional<Text>(texts[i]) : std::nullopt;
        }
        break;
      }
    }
    // Every cell, End down from each cell, CountA, and the first row of each name.
    for (long k = 1; k <= kRows; ++k) {
      const auto& m = model[static_cast<std::size_t>(k)];
      ASSERT_EQ(sheet->CellValue(k, 1), m ? Variant(*m) : Variant()) << "step " << step << " row " << k;
      long next = k + 1;
      const bool here = m.has_value(), below = k < kRows && model[static_cast<std::size_t>(k + 1)].has_value();
      if (here && below) {
        while (next < kRows && model[static_cast<std::size_t>(next + 1)]) ++next;
      } else {
        while (next <= kRows && !model[static_cast<std::size_t>(next)]) ++next;
        if (next > kRows) next = sheet->RowsCount();
      }
      ASSERT_EQ(sheet->End(k, 1, xlDown).row, next) << "step " << step << " row " << k;
    }
    const auto filled = std::count_if(model.begin(), model.end(), [](const auto& m) { return m.has_value(); });
    ASSERT_EQ(app->WorksheetFunction().CountA(R("A1:A60")), static_cast<double>(filled)) << "step " << step;
    for (int t = 0; t < 10; ++t) {
      const Text what = Text(u"t").append(vba::NumberText(t));
      long first = 0;
      for (long k = 1; k <= kRows && first == 0; ++k) {
        if (model[static_cast<std::size_t>(k)] == what) first = k;
      }
      // Searching from the last cell starts at the top.
      const xl::Range last = R("A60");
      const auto hit = R("A1:A60").Find({.What = what, .After = &last, .LookIn = xlValues, .LookAt = xlWhole});
      ASSERT_EQ(hit ? hit->Row() : 0, first) << "step " << step << " " << ToUtf8(what);
    }
  }
}

}  // namespace
}  // namespace quillary::xl::memory
