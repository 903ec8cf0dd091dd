// Large blocks of fresh memory for the sheet's arrays: mapped from the system in one
// piece, and zero-filled by the system as they are first touched. A block reserves
// address space only; pages count against the process when they are written.
//
// The blocks take ordinary pages. Transparent huge pages (MADV_HUGEPAGE) were measured
// on them at a million Items, paired with the same build without, in the same rounds of
// the get bench: on the cells of long columns they made Get/Try some 5 % slower and no
// run faster, and on the text blocks slower still - the system zeroes (and may first
// compact memory for) a whole 2 MiB page on its first touch, while these arrays are
// mostly walked in order, where small pages cost little.
#pragma once

#include <cstddef>

namespace quillary::xl::memory::internal {

// Blocks at least this large are mapped; smaller arrays come from the heap.
inline constexpr std::size_t kBigBlockBytes = std::size_t{1} << 20;

// A zero-filled block of `bytes`; std::bad_alloc when the system refuses it.
void* MapBlock(std::size_t bytes);
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace quillary::xl::memory::internal
