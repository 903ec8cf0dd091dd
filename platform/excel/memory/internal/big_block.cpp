#include "platform/excel/memory/internal/big_block.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <new>

namespace quillary::xl::memory::internal {

#ifdef _WIN32
// Windows commits the block at once (it counts against the commit limit) but, as with a
// mapping elsewhere, gives a page its zero-filled memory only when it is first touched.
void* MapBlock(std::size_t bytes) {
  void* block = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void UnmapBlock(void* block, std::size_t /*bytes*/) {
  if (block != nullptr) ::VirtualFree(block, 0, MEM_RELEASE);
}
#else
void* MapBlock(std::size_t bytes) {
  void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Advice only: where the system has no huge page to give, the block keeps small ones.
  ::madvise(block, bytes, MADV_HUGEPAGE);
#endif
  return block;
}

void UnmapBlock(void* block, std::size_t bytes) {
  if (block != nullptr) ::munmap(block, bytes);
}
#endif

}  // namespace quillary::xl::memory::internal
