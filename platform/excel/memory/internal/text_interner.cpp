#include "platform/excel/memory/internal/text_interner.h"

#include <functional>

namespace quillary::xl::memory::internal {
namespace {

constexpr std::uint64_t kFree = ~std::uint64_t{0};
constexpr std::uint64_t kHighHalf = 0xFFFFFFFF00000000ULL;
// The table's first size: never below this, and for a long list of expected texts not
// above the second, from where it grows only as distinct texts come.
constexpr std::size_t kLeastSlots = 1024;
constexpr std::size_t kMostFirstSlots = std::size_t{1} << 16;

}  // namespace

TextInterner::TextInterner(std::size_t expected) {
  std::size_t slots = kLeastSlots;
  while (slots < 2 * expected && slots < kMostFirstSlots) slots *= 2;
  slots_.assign(slots, kFree);
}

void TextInterner::Place(std::uint64_t hash, std::uint32_t k) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i] != kFree) i = (i + 1) & mask;
  slots_[i] = (hash & kHighHalf) | k;
}

std::uint32_t TextInterner::Intern(TextView text) {
  const std::uint64_t hash = std::hash<TextView>{}(text);
  const std::uint64_t high = hash & kHighHalf;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask; slots_[i] != kFree; i = (i + 1) & mask) {
    const auto k = static_cast<std::uint32_t>(slots_[i]);
    if ((slots_[i] & kHighHalf) == high && At(k) == text) return k;
  }
  const auto k = static_cast<std::uint32_t>(hashes_.size());
  hashes_.push_back(hash);
  texts_ += text;
  starts_.push_back(texts_.size());
  if (hashes_.size() * 2 > slots_.size()) {
    slots_.assign(slots_.size() * 2, kFree);
    for (std::uint32_t j = 0; j < hashes_.size(); ++j) Place(hashes_[j], j);
  } else {
    Place(hash, k);
  }
  return k;
}

}  // namespace quillary::xl::memory::internal
