// The Item engine's options as its callers build them for the request a bench holds:
// from the mode's traits and the compare stage.
#pragma once

#include "host/state.h"
#include "items/request_options.h"

namespace quillary::items {

inline RequestOptions OptionsOf(const host::State& s) {
  return OptionsFor(s.request.vbaMode.Traits(), s.compare.CompareStep);
}

}  // namespace quillary::items
