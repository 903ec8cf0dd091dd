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

// N reference designators, each index number used once: single numbers, and every
// tenth Item a range of three numbers, over six prefixes; shuffled with a fixed seed.
inline std::vector<Text> ReferenceItems(std::int64_t n) {
  constexpr std::int64_t kPrefixCount = std::size(kReferencePrefixes);
  std::vector<std::int64_t> next(kPrefixCount, 1);
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    const auto p = static_cast<std::size_t>(i % kPrefixCount);
    const Text prefix = kReferencePrefixes[p];
    if (i % 10 == 9) {
      items.push_back(prefix + Number(next[p]) + u"-" + prefix + Number(next[p] + 2));
      next[p] += 3;
    } else {
      items.push_back(prefix + Number(next[p]));
      next[p] += 1;
    }
  }
  std::mt19937_64 rng(20240611);
  std::shuffle(items.begin(), items.end(), rng);
  return items;
}

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
