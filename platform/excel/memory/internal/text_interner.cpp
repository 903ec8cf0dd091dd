#include "platform/excel/memory/internal/text_interner.h"

#include <algorithm>
#include <functional>

namespace quillary::xl::memory::internal {
namespace {

constexpr std::uint64_t kFree = ~std::uint64_t{0};
constexpr std::uint64_t kHighHalf = 0xFFFFFFFF00000000ULL;
// The table's first size: never below this, and for a long list of expected texts not
// above the second, from where it grows only as distinct texts come.
constexpr std::size_t kLeastSlots = 1024;
constexpr std::size_t kMostFirstSlots = std::size_t{1} << 16;
// The characters of a piece of the texts' room: small enough to come from the heap
// (and its room to be used again by the next sort), large enough to hold many texts.
constexpr std::size_t kPieceChars = std::size_t{1} << 14;

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

TextView TextInterner::Keep(TextView text) {
  if (text.size() > fillLeft_) {
    // A text longer than a piece gets one of its own; the piece being filled stays so.
    const bool own = text.size() > kPieceChars;
    pieces_.push_back(std::make_unique_for_overwrite<char16_t[]>(own ? text.size() : kPieceChars));
    if (own) {
      std::copy(text.begin(), text.end(), pieces_.back().get());
      return {pieces_.back().get(), text.size()};
    }
    fill_ = pieces_.back().get();
    fillLeft_ = kPieceChars;
  }
  char16_t* at = fill_;
  std::copy(text.begin(), text.end(), at);
  fill_ += text.size();
  fillLeft_ -= text.size();
  return {at, text.size()};
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
  texts_.push_back(Keep(text));
  if (hashes_.size() * 2 > slots_.size()) {
    // Four times as large: fewer passes over the texts met so far as many more come.
    slots_.assign(slots_.size() * 4, kFree);
    for (std::uint32_t j = 0; j < hashes_.size(); ++j) Place(hashes_[j], j);
  } else {
    Place(hash, k);
  }
  return k;
}

}  // namespace quillary::xl::memory::internal
