// Distinct texts, each kept once and numbered in the order it was first met.
//
// The texts lie side by side in pieces of a fixed size (a text longer than a piece has
// one of its own), which never move once taken: no text is copied again as more come.
// An open-addressing table of their numbers finds a text again. A slot holds the high half of the text's hash beside
// its number, so that a probe looks at a text only when the halves agree. The table grows with the distinct texts (at
// most half full), so that many equal texts probe a table small enough to stay in the cache.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/excel/memory/internal/big_block.h"
#include "platform/runtime/value.h"

namespace quillary::xl::memory::internal {

class TextInterner {
 public:
  // `expected` texts are to come (the table starts no larger than they need).
  explicit TextInterner(std::size_t expected = 0);

  // The number of `text`: its own when it was met before, else the next one.
  std::uint32_t Intern(TextView text);

  // How many distinct texts there are, and the one numbered `k`.
  std::size_t Count() const { return hashes_.size(); }
  TextView At(std::uint32_t k) const { return texts_[k]; }

 private:
  void Place(std::uint64_t hash, std::uint32_t k);
  // A lasting copy of `text`.
  TextView Keep(TextView text);

  std::vector<std::unique_ptr<char16_t[]>> pieces_;
  char16_t* fill_ = nullptr;  // where the piece being filled has room
  std::size_t fillLeft_ = 0;
  BigVector<TextView> texts_;
  BigVector<std::uint64_t> hashes_;
  BigVector<std::uint64_t> slots_;
};

}  // namespace quillary::xl::memory::internal
