// Distinct texts, each kept once and numbered in the order it was first met.
//
// The texts lie side by side in one string; an open-addressing table of their numbers
// finds a text again. A slot holds the high half of the text's hash beside its number,
// so that a probe looks at a text only when the halves agree. The table grows with the
// distinct texts (at most half full), so that many equal texts probe a table small
// enough to stay in the cache.
#pragma once

#include <cstdint>
#include <vector>

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
  TextView At(std::uint32_t k) const { return TextView(texts_).substr(starts_[k], starts_[k + 1] - starts_[k]); }

 private:
  void Place(std::uint64_t hash, std::uint32_t k);

  Text texts_;
  std::vector<std::size_t> starts_{0};
  std::vector<std::uint64_t> hashes_;
  std::vector<std::uint64_t> slots_;
};

}  // namespace quillary::xl::memory::internal
