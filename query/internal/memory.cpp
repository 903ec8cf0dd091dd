#include "query/internal/memory.h"

namespace quillary::query {

QueryMemory& MemoryOf(host::State& s) {
  static constexpr char kKey = 0;
  return host::MemoryOf<QueryMemory>(s.memories, &kKey);
}

}  // namespace quillary::query
