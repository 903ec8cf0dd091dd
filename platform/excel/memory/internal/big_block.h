// Large blocks of fresh memory for the sheet's arrays: mapped from the system in one
// piece, and zero-filled by the system as they are first touched. A block reserves
// address space only; pages count against the process when they are written.
//
// The blocks ask for transparent huge pages (MADV_HUGEPAGE): one fault then brings in
// 2 MiB instead of 4 KiB. Measured on `quillary get` of a million rows (a folder's CSV)
// with and without, on a busy machine: page faults 46k -> 26k with unique designators
// and 103k -> 68k with many duplicates, processor time (user + system) some 10-20 %
// less, peak memory 4-7 MB more. An earlier measurement on a quiet machine found them
// some 5 % slower: the system zeroes (and may first compact memory for) a whole 2 MiB
// page on its first touch, so where faults are cheap they gain little.
#pragma once

#include <cstddef>

namespace quillary::xl::memory::internal {

// Blocks at least this large are mapped; smaller arrays come from the heap.
inline constexpr std::size_t kBigBlockBytes = std::size_t{1} << 20;

// A zero-filled block of `bytes`; std::bad_alloc when the system refuses it.
void* MapBlock(std::size_t bytes);
void UnmapBlock(void* block, std::size_t bytes);

}  // namespace quillary::xl::memory::internal
