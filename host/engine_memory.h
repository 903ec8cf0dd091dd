// What an engine keeps from one request to the next, held by the State without the State
// naming its type. An engine defines its memory in its own folder as a class derived from
// EngineMemory and reaches it through a getter of its own, which finds it under a key only
// that engine knows (the address of a variable of its own) and creates it on first use:
//
//   QueryMemory& MemoryOf(host::State& s) {
//     static constexpr char kKey = 0;
//     return host::MemoryOf<QueryMemory>(s.memories, &kKey);
//   }
//
// So no other folder can read or change it, and adding an engine's memory touches no file
// of host/.
#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace quillary::host {

// The base of every engine's memory; destroyed with the State.
class EngineMemory {
 public:
  EngineMemory() = default;
  EngineMemory(const EngineMemory&) = delete;
  EngineMemory& operator=(const EngineMemory&) = delete;
  virtual ~EngineMemory() = default;
};

// The engines' memories by key. A handful of engines keep memory, so a short list searched
// in order serves better than a map.
class EngineMemories {
 public:
  // The memory held under `key`, or null.
  EngineMemory* Find(const void* key) const {
    for (const auto& [slotKey, memory] : slots_) {
      if (slotKey == key) return memory.get();
    }
    return nullptr;
  }
  // Holds `memory` under `key` (which holds nothing yet) and returns it.
  EngineMemory& Add(const void* key, std::unique_ptr<EngineMemory> memory) {
    slots_.emplace_back(key, std::move(memory));
    return *slots_.back().second;
  }

 private:
  std::vector<std::pair<const void*, std::unique_ptr<EngineMemory>>> slots_;
};

// The memory of type T held under `key`, created empty on first use. Every use of a key
// must name the same T: the engine's getter is the one place that does.
template <class T>
T& MemoryOf(EngineMemories& memories, const void* key) {
  if (EngineMemory* found = memories.Find(key)) return static_cast<T&>(*found);
  return static_cast<T&>(memories.Add(key, std::make_unique<T>()));
}

}  // namespace quillary::host
