// The generated Item lists the benchmarks share.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/runtime/vba.h"

namespace quillary::bench {

// The prefixes of the generated reference designators.
inline constexpr const char16_t* kReferencePrefixes[] = {u"R", u"C", u"U", u"L", u"Q", u"D"};

inline Text Number(std::int64_t n) { return vba::NumberText(static_cast<double>(n)); }

// How ReferenceItems numbers its designators. Each prefix counts up on its own from
// `first`: a single number advances it by `singleStep`, a range `first`-`first +
// rangeWidth` by `rangeStep`. The Item at index i (counted over all prefixes) is a range
// when i % rangeEvery == rangeAt.
struct ReferenceLayout {
  std::int64_t first = 1;
  std::int64_t singleStep = 1;
  std::int64_t rangeEvery = 10;
  std::int64_t rangeAt = 9;
  std::int64_t rangeWidth = 2;
  std::int64_t rangeStep = 3;
  std::uint64_t seed = 20240611;
};

// N reference designators over six prefixes, laid out as `layout` says and shuffled
// with its seed. By default each index number is used once: single numbers, and every
// tenth Item a range of three numbers.
inline std::vector<Text> ReferenceItems(std::int64_t n, const ReferenceLayout& layout) {
  constexpr std::int64_t kPrefixCount = std::size(kReferencePrefixes);
  std::vector<std::int64_t> next(kPrefixCount, layout.first);
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    const auto p = static_cast<std::size_t>(i % kPrefixCount);
    const Text prefix = kReferencePrefixes[p];
    if (i % layout.rangeEvery == layout.rangeAt) {
      items.push_back(prefix + Number(next[p]) + u"-" + prefix + Number(next[p] + layout.rangeWidth));
      next[p] += layout.rangeStep;
    } else {
      items.push_back(prefix + Number(next[p]));
      next[p] += layout.singleStep;
    }
  }
  std::mt19937_64 rng(layout.seed);
  std::shuffle(items.begin(), items.end(), rng);
  return items;
}

inline std::vector<Text> ReferenceItems(std::int64_t n) { return ReferenceItems(n, ReferenceLayout{}); }

// N names drawn (with a fixed seed) from N/20 distinct ones.
inline std::vector<Text> DuplicateNames(std::int64_t n) {
  const std::int64_t distinct = std::max<std::int64_t>(1, n / 20);
  std::mt19937_64 rng(20240612);
  std::uniform_int_distribution<std::int64_t> pick(1, distinct);
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) items.push_back(u"Part_" + Number(pick(rng)) + u"_x");
  return items;
}

}  // namespace quillary::bench
