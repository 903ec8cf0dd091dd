#include "platform/excel/memory/internal/big_block.h"

#include <sys/mman.h>

#include <new>

namespace quillary::xl::memory::internal {

void* MapBlock(std::size_t bytes) {
  void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return block;
}

void UnmapBlock(void* block, std::size_t bytes) {
  if (block != nullptr) ::munmap(block, bytes);
}

}  // namespace quillary::xl::memory::internal
