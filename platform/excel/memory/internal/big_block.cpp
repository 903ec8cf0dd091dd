#include "platform/excel/memory/internal/big_block.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace quillary::xl::memory::internal {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

void* MapBlock(std::size_t bytes, bool hugePages) {
  // Mapped with a huge page of slack, then trimmed to a 2 MiB boundary, so that every
  // huge page of the block can be a real one.
  const std::size_t span = bytes + kHugePage;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + span;
  if (end > aligned + bytes) ::munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  if (hugePages) ::madvise(block, bytes, MADV_HUGEPAGE);
#endif
  return block;
}

void UnmapBlock(void* block, std::size_t bytes) {
  if (block != nullptr) ::munmap(block, bytes);
}

}  // namespace quillary::xl::memory::internal
