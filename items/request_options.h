// What the caller of the Item engine's entries tells them about the run they belong to.
#pragma once

#include "host/modes.h"
#include "host/state.h"

namespace quillary::items {

struct RequestOptions {
  // The status bar belongs to the caller: progress polls the break key but writes no
  // text.
  bool quietStatusBar = false;
  // A comparison of two selections or two collected lists.
  bool compareTwo = false;
  // The block engine writes beside each block downward, or to the right: the tag help
  // text says so.
  bool pasteDownward = false;
  bool pasteRight = false;
  // A subtraction rebuilds the list from its survivors even when it removed nothing from
  // a plain list.
  bool subtractRebuildsList = false;
  // A subtraction always answers "go on", whatever it left.
  bool subtractGoesOn = false;
  // The comparison's stage.
  host::CompareStage stage = host::CompareStage::kIdle;
};

// The options of a run in a mode with `traits` at compare stage `stage`.
RequestOptions OptionsFor(const host::ModeTraits& traits, host::CompareStage stage);

}  // namespace quillary::items
