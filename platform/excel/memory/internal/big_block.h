// Large blocks of fresh memory for the sheet's arrays: mapped from the system in one
// piece (aligned to 2 MiB), and zero-filled by the system as they are first touched. A
// block reserves address space only; pages count against the process when they are
// written.
//
// Huge pages are asked for (MADV_HUGEPAGE) where the block is read out of order: the
// cells of a long column, which a sort of a million rows moves about. The text blocks,
// written and mostly read in order, take ordinary pages: measured at a million Items,
// huge pages there cost more in zeroing whole 2 MiB pages than they saved.
#pragma once

#include <cstddef>

namespace quillary::xl::memory::internal {

// Blocks at least this large are mapped; smaller arrays come from the heap.
inline constexpr std::size_t kBigBlockBytes = std::size_t{1} << 20;

// A zero-filled block of `bytes`, aligned to 2 MiB, on huge pages when asked;
// std::bad_alloc when the system refuses it.
void* MapBlock(std::size_t bytes, bool hugePages);
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace quillary::xl::memory::internal
