// Large blocks of fresh memory for the sheet's arrays: mapped from the system in one
// piece, asked to be backed by transparent huge pages, and zero-filled by the system as
// they are first touched. A block reserves address space only; pages count against the
// process when they are written.
#pragma once

#include <cstddef>

namespace quillary::xl::memory::internal {

// Blocks at least this large are mapped and asked for huge pages; smaller arrays come
// from the heap.
inline constexpr std::size_t kBigBlockBytes = std::size_t{1} << 20;

// A zero-filled block of `bytes`, aligned to 2 MiB; std::bad_alloc when the system
// refuses it.
void* MapBlock(std::size_t bytes);
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace quillary::xl::memory::internal
