#include "items/request_options.h"

namespace quillary::items {

RequestOptions OptionsFor(const host::ModeTraits& traits, host::CompareStage stage) {
  return {.quietStatusBar = traits.quietStatusBar,
          .compareTwo = traits.compareTwo,
          .pasteDownward = traits.pasteDownward,
          .pasteRight = traits.pasteRight,
          .subtractRebuildsList = traits.subtractRebuildsList,
          .subtractGoesOn = traits.subtractGoesOn,
          .stage = stage};
}

}  // namespace quillary::items
