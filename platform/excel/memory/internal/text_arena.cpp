#include "platform/excel/memory/internal/text_arena.h"

#include <algorithm>
#include <cstring>

#include "platform/excel/memory/internal/big_block.h"

namespace quillary::xl::memory::internal {

namespace {

constexpr std::size_t kFirstBlockChars = std::size_t{1} << 10;
constexpr std::size_t kLargestBlockChars = std::size_t{1} << 20;  // 2 MiB
// Dead characters are not worth moving the live texts for below this.
constexpr std::size_t kCompactFloor = std::size_t{1} << 18;

}  // namespace

TextArena::~TextArena() {
  for (Block& b : blocks_) FreeBlock(b);
}

void TextArena::FreeBlock(Block& b) {
  const std::size_t bytes = std::size_t{b.capacity} * sizeof(char16_t);
  if (bytes >= kBigBlockBytes) {
    UnmapBlock(b.data, bytes);
  } else {
    delete[] b.data;
  }
  b = Block{};
}

void TextArena::NewBlock(std::size_t atLeast) {
  // Blocks double from small to 2 MiB, so that a short column stays small.
  const std::size_t grown = blocks_.empty() ? kFirstBlockChars : std::min(kLargestBlockChars, std::size_t{blocks_.back().capacity} * 2);
  const std::size_t chars = std::max(atLeast, grown);
  Block b;
  const std::size_t bytes = chars * sizeof(char16_t);
  b.data = bytes >= kBigBlockBytes ? static_cast<char16_t*>(MapBlock(bytes, false)) : new char16_t[chars];
  b.capacity = static_cast<std::uint32_t>(chars);
  blocks_.push_back(b);
}

TextRef TextArena::Add(TextView text) {
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < text.size()) NewBlock(text.size());
  Block& b = blocks_.back();
  const TextRef ref = (TextRef{blocks_.size() - 1} << 48) | (TextRef{b.used} << 16) | TextRef{text.size()};
  if (!text.empty()) std::memcpy(b.data + b.used, text.data(), text.size() * sizeof(char16_t));
  b.used += static_cast<std::uint32_t>(text.size());
  live_ += text.size();
  return ref;
}

bool TextArena::WantsCompact() const { return dead_ > kCompactFloor && dead_ > live_; }

}  // namespace quillary::xl::memory::internal
