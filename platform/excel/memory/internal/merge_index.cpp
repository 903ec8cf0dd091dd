#include "platform/excel/memory/internal/merge_index.h"

namespace quillary::xl::memory::internal {

namespace {

template <class Fn>
void ForEachBand(long first, long last, Fn&& fn) {
  for (long band = first; band <= last; ++band) fn(band);
}

}  // namespace

void MergeIndex::Add(const Area& area) {
  const long first = Band(area.row1), last = Band(area.row2);
  if (last - first >= kMostBands) {
    tall_.push_back(area);
  } else {
    ForEachBand(first, last, [&](long band) { bands_[band].push_back(area); });
  }
  added_[{area.row1, area.col1}] = next_;
  order_[next_++] = area;
}

void MergeIndex::Remove(const Area& area) {
  const auto at = added_.find({area.row1, area.col1});
  if (at == added_.end()) return;
  const auto stored = order_.find(at->second);
  if (stored == order_.end() || stored->second != area) return;
  order_.erase(at->second);
  added_.erase(at);
  const long first = Band(area.row1), last = Band(area.row2);
  const auto drop = [&](std::vector<Area>& areas) {
    if (const auto found = std::find(areas.begin(), areas.end(), area); found != areas.end()) areas.erase(found);
  };
  if (last - first >= kMostBands) {
    drop(tall_);
    return;
  }
  ForEachBand(first, last, [&](long band) {
    const auto it = bands_.find(band);
    if (it == bands_.end()) return;
    drop(it->second);
    if (it->second.empty()) bands_.erase(it);
  });
}

void MergeIndex::Clear() {
  bands_.clear();
  tall_.clear();
  order_.clear();
  added_.clear();
}

std::vector<Area> MergeIndex::All() const {
  std::vector<Area> all;
  all.reserve(order_.size());
  for (const auto& [seq, area] : order_) all.push_back(area);
  return all;
}

}  // namespace quillary::xl::memory::internal
