// The bench a fuzz target's runs share: made once (the runs are many), with every question
// of the component taking its default answer.
#pragma once

#include "testkit/bench.h"

namespace quillary::fuzz {

inline testkit::Bench& SharedBench() {
  static testkit::Bench* bench = [] {
    auto* b = new testkit::Bench;
    b->addin.SetStrict(false);
    return b;
  }();
  return *bench;
}

}  // namespace quillary::fuzz
