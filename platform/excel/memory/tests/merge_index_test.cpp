// The index of merged areas answers as a look at every area would.
#include "platform/excel/memory/internal/merge_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace quillary::xl::memory::internal {
namespace {

bool Less(const Area& a, const Area& b) {
  return std::tie(a.row1, a.col1, a.row2, a.col2) < std::tie(b.row1, b.col1, b.row2, b.col2);
}

std::vector<Area> Found(const MergeIndex& index, const Area& within) {
  std::vector<Area> found;
  index.ForEachOverlapping(within, [&](const Area& m) { found.push_back(m); });
  std::sort(found.begin(), found.end(), Less);
  return found;
}

std::vector<Area> Expected(const std::vector<Area>& all, const Area& within) {
  std::vector<Area> found;
  for (const Area& m : all) {
    if (m.Overlaps(within)) found.push_back(m);
  }
  std::sort(found.begin(), found.end(), Less);
  return found;
}

TEST(MergeIndex, FindsWhatOverlapsOnceEachAsAFullLookWould) {
  // Areas of one cell row, of several bands and of whole columns (more bands than the
  // index files), side by side without overlapping; some removed again.
  std::vector<Area> all;
  for (long c = 1; c <= 60; c += 3) {
    const long height = c % 2 == 0 ? 1 : c * 40;
    for (long r = 1; r + height - 1 <= 5000; r += height + 7) all.push_back({r, c, r + height - 1, c + 1});
  }
  all.push_back({1, 70, 1048576, 70});
  MergeIndex index;
  for (const Area& m : all) index.Add(m);
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) {
    const std::size_t gone = random() % all.size();
    index.Remove(all[gone]);
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(gone));
  }
  EXPECT_EQ(index.All().size(), all.size());
  std::vector<Area> queries = {{1, 1, 1048576, 16384}, {1, 70, 1, 70}, {4999, 1, 5000, 80}, {65, 1, 64 * 70, 40}};
  for (int i = 0; i < 500; ++i) {
    const long r = 1 + static_cast<long>(random() % 6000), c = 1 + static_cast<long>(random() % 75);
    queries.push_back({r, c, r + static_cast<long>(random() % 300), c + static_cast<long>(random() % 5)});
  }
  for (const Area& q : queries) {
    EXPECT_EQ(Found(index, q), Expected(all, q)) << q.row1 << "," << q.col1 << ":" << q.row2 << "," << q.col2;
  }
  index.Clear();
  EXPECT_TRUE(index.Empty());
  EXPECT_TRUE(Found(index, {1, 1, 1048576, 16384}).empty());
}

TEST(MergeIndex, KeepsTheOrderAreasWereAddedIn) {
  MergeIndex index;
  const std::vector<Area> areas = {{9, 1, 10, 2}, {1, 1, 2, 2}, {1, 5, 900, 5}};
  for (const Area& m : areas) index.Add(m);
  EXPECT_EQ(index.All(), areas);
  index.Remove(areas[1]);
  EXPECT_EQ(index.All(), (std::vector<Area>{areas[0], areas[2]}));
}

}  // namespace
}  // namespace quillary::xl::memory::internal
