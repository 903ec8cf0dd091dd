// The column storage against a plain model: random writes, clears, whole-area writes
// and sorts on a short column, after each of which End, CountA and whole-value Find must
// tell what a cell-by-cell reading of the model tells.
#include <algorithm>
#include <functional>
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

// Every entry point that changes a cell's value or formula moves the sheet's count of
// changes; one that changes none leaves it where it stood. Each case starts from the
// same sheet: A1:A3 3, 1, 2; B1:B2 "x", "y"; C1 "a,b"; D1:D2 1, 2.
TEST(CellChanges, EveryChangeOfACellMovesTheCount) {
  const FileCell stored{.type = VarType::Number, .number = 4};
  const TextView typed[] = {u"7"};
  const Variant values[] = {Variant(1.0), Variant(2.0)};
  const Area first[] = {{1, 1, 1, 1}}, empty[] = {{20, 1, 29, 3}};
  const struct {
    const char* what;
    std::function<void(MemoryWorksheet&)> act;
    bool changes;
  } cases[] = {
      {"a value",
       [](MemoryWorksheet& s) {
         s.SetValue({5, 1, 5, 1}, Variant(1.0));
       },
       true},
      {"a formula", [](MemoryWorksheet& s) { s.Cells(5, 2).SetFormula(u"=1+1"); }, true},
      {"an area's values",
       [&](MemoryWorksheet& s) {
         s.WriteValues({9, 1, 9, 2}, values);
       },
       true},
      {"typed texts", [&](MemoryWorksheet& s) { s.EnterTexts(8, 1, typed); }, true},
      {"a file's cells", [&](MemoryWorksheet& s) { s.StoreCells(7, 1, std::span(&stored, 1)); }, true},
      {"a cleared cell", [&](MemoryWorksheet& s) { s.ClearContents(first); }, true},
      {"an emptied value",
       [](MemoryWorksheet& s) {
         s.SetValue({1, 2, 1, 2}, Variant());
       },
       true},
      {"rows a sort moves",
       [](MemoryWorksheet& s) {
         const xl::Range key = s.Cells(1, 1);
         s.Sort({1, 1, 3, 2}, {.Key1 = &key});
       },
       true},
      {"inserted columns", [](MemoryWorksheet& s) { s.InsertColumns(1, 1); }, true},
      {"deleted columns", [](MemoryWorksheet& s) { s.DeleteColumns(2, 2); }, true},
      {"a paste", [](MemoryWorksheet& s) { s.Paste(s.Cells(10, 1)); }, true},
      {"a fill",
       [](MemoryWorksheet& s) {
         s.AutoFill({1, 4, 2, 4}, {1, 4, 5, 4});
       },
       true},
      {"a series",
       [](MemoryWorksheet& s) {
         s.DataSeries({2, 4, 2, 4}, {.Stop = 5});
       },
       true},
      {"texts split into columns",
       [](MemoryWorksheet& s) {
         s.TextToColumns({1, 3, 1, 3}, {.Comma = true});
       },
       true},
      {"a merge over a filled cell",
       [](MemoryWorksheet& s) {
         s.Merge({1, 2, 2, 2});
       },
       true},
      // Nothing of a cell changes.
      {"clearing empty cells", [&](MemoryWorksheet& s) { s.ClearContents(empty); }, false},
      {"a sort of rows in order",
       [](MemoryWorksheet& s) {
         const xl::Range key = s.Cells(1, 4);
         s.Sort({1, 4, 2, 4}, {.Key1 = &key});
       },
       false},
      {"a format",
       [](MemoryWorksheet& s) {
         s.SetFormat({1, 1, 3, 1}, FormatKey::FontBold, Variant(true));
       },
       false},
      {"a merge over empty cells",
       [](MemoryWorksheet& s) {
         s.Merge({20, 1, 21, 2});
       },
       false},
      {"reading and finding",
       [](MemoryWorksheet& s) {
         std::vector<Variant> out;
         s.ReadValues({1, 1, 3, 4}, out);
         const Area all[] = {{1, 1, 3, 4}};
         EXPECT_TRUE(s.Find(all, {.What = u"x"}));
       },
       false},
  };
  for (const auto& c : cases) {
    auto app = NewApplication();
    app->SetClipboardReader([] { return Text(u"p\tq\r\n"); });
    MemoryWorksheet& s = app->AddWorkbook(GridSize::Large).ActiveMemorySheet();
    const Variant column[] = {Variant(3.0), Variant(1.0), Variant(2.0)};
    s.WriteValues({1, 1, 3, 1}, column);
    s.SetValue({1, 2, 1, 2}, Variant(u"x"));
    s.SetValue({2, 2, 2, 2}, Variant(u"y"));
    s.SetValue({1, 3, 1, 3}, Variant(u"a,b"));
    s.SetValue({1, 4, 1, 4}, Variant(1.0));
    s.SetValue({2, 4, 2, 4}, Variant(2.0));
    const std::uint64_t before = s.CellChanges();
    c.act(s);
    EXPECT_EQ(s.CellChanges() != before, c.changes) << c.what;
  }
}

}  // namespace
}  // namespace quillary::xl::memory
