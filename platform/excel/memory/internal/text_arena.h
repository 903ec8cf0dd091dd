// The texts of one column's cells, side by side in large blocks.
//
// A cell holds a TextRef: where its text lies and how long it is; no cell has a heap
// object of its own. Writing a text appends it; a text overwritten or cleared is only
// counted as dead, and the column has its live texts moved together (Compact) once the
// dead characters outweigh the live ones.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::xl::memory::internal {

// Block (16 bits), position in the block (32 bits) and length (16 bits: a cell holds at
// most 32,767 characters).
using TextRef = std::uint64_t;

class TextArena {
 public:
  TextArena() = default;
  ~TextArena();
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  TextRef Add(TextView text);
  // The text is no longer held by a cell.
  void Drop(TextRef ref) {
    const std::size_t n = Length(ref);
    live_ -= n;
    dead_ += n;
  }
  TextView View(TextRef ref) const {
    return TextView(blocks_[ref >> 48].data + ((ref >> 16) & 0xFFFFFFFFU), Length(ref));
  }
  static std::size_t Length(TextRef ref) { return static_cast<std::size_t>(ref & 0xFFFF); }

  // True when moving the live texts together would give back enough to be worth it.
  bool WantsCompact() const;
  // Moves the live texts into fresh blocks: `forEachRef` is called with a function that
  // the caller applies to every ref it holds (each exactly once), and which returns the
  // ref's new value.
  template <class ForEachRef>
  void Compact(ForEachRef&& forEachRef);

  std::size_t LiveChars() const { return live_; }
  // Characters of the blocks held.
  std::size_t HeldChars() const {
    std::size_t n = 0;
    for (const Block& b : blocks_) n += b.capacity;
    return n;
  }

 private:
  struct Block {
    char16_t* data = nullptr;
    std::uint32_t used = 0;
    std::uint32_t capacity = 0;
  };
  void NewBlock(std::size_t atLeast);
  static void FreeBlock(Block& b);

  std::vector<Block> blocks_;
  std::size_t live_ = 0;
  std::size_t dead_ = 0;
};

template <class ForEachRef>
void TextArena::Compact(ForEachRef&& forEachRef) {
  std::vector<Block> old;
  old.swap(blocks_);
  // One block that the live texts fill.
  if (live_ > 0) NewBlock(std::min(live_, std::size_t{1} << 30));
  live_ = 0;
  dead_ = 0;
  forEachRef([&](TextRef ref) {
    const Block& from = old[ref >> 48];
    return Add(TextView(from.data + ((ref >> 16) & 0xFFFFFFFFU), Length(ref)));
  });
  for (Block& b : old) FreeBlock(b);
}

}  // namespace quillary::xl::memory::internal
