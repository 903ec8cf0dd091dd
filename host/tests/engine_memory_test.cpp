#include "host/engine_memory.h"

#include <gtest/gtest.h>

namespace quillary::host {
namespace {

// A memory that counts its own destruction.
struct Counted : EngineMemory {
  int value = 0;
  int* destroyed = nullptr;
  ~Counted() override {
    if (destroyed != nullptr) ++*destroyed;
  }
};

struct Other : EngineMemory {
  int value = 7;
};

TEST(EngineMemories, AMemoryIsCreatedOnFirstUseKeptUnderItsKeyAndDestroyedWithTheHolder) {
  static constexpr char kFirst = 0;
  static constexpr char kSecond = 0;
  int destroyed = 0;
  {
    EngineMemories memories;
    EXPECT_EQ(memories.Find(&kFirst), nullptr);
    Counted& first = MemoryOf<Counted>(memories, &kFirst);
    first.value = 5;
    first.destroyed = &destroyed;
    EXPECT_EQ(&MemoryOf<Counted>(memories, &kFirst), &first) << "the same memory on every later use";

    Other& second = MemoryOf<Other>(memories, &kSecond);
    EXPECT_EQ(second.value, 7) << "another key holds a memory of its own, created empty";
    EXPECT_EQ(MemoryOf<Counted>(memories, &kFirst).value, 5);
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace quillary::host
