// The texts of one column's cells, side by side in large blocks.
//
// A cell holds a TextRef: where its text lies and how long it is; no cell has a heap
// object of its own. A text whose characters are all below U+0100 (most are) is kept
// in one byte a character, any other in two. Writing a text appends it, unless it is
// the text written last, whose bytes it then shares (a sorted column, or a list copied
// from one, holds its equal texts one after another); a text overwritten or cleared is
// only counted as dead, and the column has its live texts moved together (Compact) once
// the dead bytes outweigh the live ones. Live and dead bytes count each cell's text in
// full, shared or not.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::xl::memory::internal {

// Block (16 bits), byte position in the block (32 bits), one byte a character (1 bit)
// and length (15 bits: a cell holds at most 32,767 characters).
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
    const std::size_t n = Bytes(ref);
    live_ -= n;
    dead_ += n;
  }
  static std::size_t Length(TextRef ref) { return static_cast<std::size_t>(ref & 0x7FFF); }

  // The text as a new string.
  Text Copy(TextRef ref) const {
    Text out;
    AppendTo(ref, out);
    return out;
  }
  void AppendTo(TextRef ref, Text& out) const;
  // A view of the text: of the arena itself for a two-byte text, else of `scratch`,
  // which receives the text.
  TextView View(TextRef ref, Text& scratch) const;
  // Calls `use` with a view of the text, made on the stack for a short one-byte text.
  template <class Use>
  decltype(auto) WithView(TextRef ref, Use&& use) const;
  // Calls `use` with a view of the text as the arena keeps it, without a copy: of
  // one-byte characters (each the code of its character) or of two-byte ones.
  template <class Use>
  decltype(auto) WithStored(TextRef ref, Use&& use) const {
    const std::size_t n = Length(ref);
    const char* data = Data(ref);
    if (Narrow(ref)) return use(std::basic_string_view<unsigned char>(reinterpret_cast<const unsigned char*>(data), n));
    return use(TextView(reinterpret_cast<const char16_t*>(data), n));
  }

  // True when moving the live texts together would give back enough to be worth it.
  bool WantsCompact() const;
  // Moves the live texts into fresh blocks: `forEachRef` is called with a function that
  // the caller applies to every ref it holds (each exactly once), and which returns the
  // ref's new value.
  template <class ForEachRef>
  void Compact(ForEachRef&& forEachRef);

  // Bytes of the live texts, and of the blocks held.
  std::size_t LiveBytes() const { return live_; }
  std::size_t HeldBytes() const {
    std::size_t n = 0;
    for (const Block& b : blocks_) n += b.capacity;
    return n;
  }

 private:
  struct Block {
    char* data = nullptr;
    std::uint32_t used = 0;
    std::uint32_t capacity = 0;
  };
  static constexpr TextRef kNarrow = TextRef{1} << 15;
  static bool Narrow(TextRef ref) { return (ref & kNarrow) != 0; }
  static std::size_t Bytes(TextRef ref) { return Length(ref) * (Narrow(ref) ? 1 : 2); }
  const char* Data(TextRef ref) const { return blocks_[ref >> 48].data + ((ref >> 16) & 0xFFFFFFFFU); }
  TextRef Place(const void* bytes, std::size_t size, std::size_t length, bool narrow);
  void NewBlock(std::size_t atLeast);
  static void FreeBlock(Block& b);

  std::vector<Block> blocks_;
  // The text placed last, while there is one in the blocks.
  TextRef last_ = 0;
  bool hasLast_ = false;
  std::size_t live_ = 0;
  std::size_t dead_ = 0;
};

template <class Use>
decltype(auto) TextArena::WithView(TextRef ref, Use&& use) const {
  const std::size_t n = Length(ref);
  const char* data = Data(ref);
  if (!Narrow(ref)) return use(TextView(reinterpret_cast<const char16_t*>(data), n));
  constexpr std::size_t kShort = 128;
  if (n <= kShort) {
    char16_t wide[kShort];
    for (std::size_t i = 0; i < n; ++i) wide[i] = static_cast<unsigned char>(data[i]);
    return use(TextView(wide, n));
  }
  const Text wide = Copy(ref);
  return use(TextView(wide));
}

template <class ForEachRef>
void TextArena::Compact(ForEachRef&& forEachRef) {
  std::vector<Block> old;
  old.swap(blocks_);
  hasLast_ = false;
  // One block that the live texts fill: no more than the old blocks held, as equal
  // texts share their bytes.
  std::size_t held = 0;
  for (const Block& b : old) held += b.used;
  if (live_ > 0) NewBlock(std::min({live_, held, std::size_t{1} << 30}));
  live_ = 0;
  dead_ = 0;
  forEachRef([&](TextRef ref) {
    const Block& from = old[ref >> 48];
    return Place(from.data + ((ref >> 16) & 0xFFFFFFFFU), Bytes(ref), Length(ref), Narrow(ref));
  });
  for (Block& b : old) FreeBlock(b);
}

}  // namespace quillary::xl::memory::internal
