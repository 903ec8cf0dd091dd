// The merged areas of a sheet, found by the cells they cover without looking at every
// one: each area is filed under the bands of 64 rows it spans, an area spanning more
// than 64 bands (a merged whole column, say) in a short list of its own. Merged areas
// never overlap, so a cell lies in at most one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/excel/excel.h"

namespace quillary::xl::memory::internal {

class MergeIndex {
 public:
  void Add(const Area& area);
  void Remove(const Area& area);
  void Clear();
  // Every merged area, in the order they were added.
  std::vector<Area> All() const;
  bool Empty() const { return order_.empty(); }

  // Calls visit(area) once for each merged area overlapping `within`.
  template <class Visit>
  void ForEachOverlapping(const Area& within, Visit&& visit) const {
    for (const Area& m : tall_) {
      if (m.Overlaps(within)) visit(m);
    }
    if (bands_.empty()) return;
    const long first = Band(within.row1), last = Band(within.row2);
    if (static_cast<std::size_t>(last - first) >= bands_.size()) {
      // Fewer filed bands than the area spans: look at each filed band.
      for (const auto& [band, areas] : bands_) {
        if (band < first || band > last) continue;
        for (const Area& m : areas) {
          if (m.Overlaps(within) && Band(std::max(m.row1, within.row1)) == band) visit(m);
        }
      }
      return;
    }
    for (long band = first; band <= last; ++band) {
      const auto it = bands_.find(band);
      if (it == bands_.end()) continue;
      for (const Area& m : it->second) {
        // An area spanning several bands is visited in the first band both share.
        if (m.Overlaps(within) && Band(std::max(m.row1, within.row1)) == band) visit(m);
      }
    }
  }

 private:
  static constexpr int kBandShift = 6;
  static constexpr long kMostBands = 64;
  static long Band(long row) { return (row - 1) >> kBandShift; }

  std::unordered_map<long, std::vector<Area>> bands_;
  std::vector<Area> tall_;
  // Every area by the order it was added, and that order by its top left cell.
  std::map<std::uint64_t, Area> order_;
  std::map<std::pair<long, long>, std::uint64_t> added_;
  std::uint64_t next_ = 0;
};

}  // namespace quillary::xl::memory::internal
