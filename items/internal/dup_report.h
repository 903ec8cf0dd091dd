// The Duplicates_Summary text, built from the duplicates list.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/state.h"

namespace quillary::items {

// The duplicates list as the count walk wrote it, kept in hand: its runs of rows whose
// Items compare equal (as the request compares) each to the row before, each run with
// its first row's Item and its number of rows.
struct DupRuns {
  // The runs' Items one after another; each run's end in `items` and its rows.
  Text items;
  std::vector<std::pair<std::size_t, std::int64_t>> runs;
  std::int64_t rows = 0;

  // Adds a row: one opening a run with `item`, or one more row of the last run.
  void Add(TextView item, bool opensRun) {
    if (opensRun || runs.empty()) {
      items.append(item);
      runs.emplace_back(items.size(), 0);
    }
    ++runs.back().second;
    ++rows;
  }
  // The Item of run k.
  TextView Item(std::size_t k) const {
    const std::size_t from = k == 0 ? 0 : runs[k - 1].first;
    return TextView(items).substr(from, runs[k].first - from);
  }
};

// Builds DupSummaryText from the duplicates list beside `listName` (IgnoreIndex# mode
// with the Sort option only; otherwise nothing happens) and sets ItemCountText to the
// number of duplicate rows. With `inHand` holding as many rows as the list on the sheet,
// the list is taken from it rather than read back.
void DuplicateReport(host::State& s, const Text& listName, const DupRuns* inHand = nullptr);
}  // namespace quillary::items
