// The modes: every mode text the host sends (or an action sets) as vbaMode, defined
// once, and the traits the routines test on the mode, worked out once whenever the mode
// is set.
//
// The host sends the Action list's texts as they appear in its list and its buttons'
// modes ("Null" for a plain press of a main-form button). Texts are compared exactly and
// case-sensitively: "Wrap Text||  Clear" has two blanks after "||", "Columns|| Justify
// Right" one, and a text with another number of blanks is no mode of the component.
#pragma once

#include <cstdint>

#include "platform/runtime/value.h"

namespace quillary::host {

enum class ModeId : std::uint8_t {
  kOther,  // a text the component does not know (it runs nothing on it)

  // The buttons' modes and those the drivers set for themselves.
  kNull,            // "Null": a plain press of a main-form button
  kPasteV,          // "Paste_V": the block engine, results written downward
  kPasteRight,      // "Paste_>": the block engine, results written to the right
  kSubtractButton,  // "SubtractButton"
  kExpandRef,       // "expand_ref": Get/Try expands the Active Window's references
  kPreExpandRef,    // "PreExpand_Ref"
  kShutDown,        // "ShutDown": the host is closing

  // The Action list, in the order of the list.
  kClearActiveWindow,
  kCommentsRePosition,
  kWrapTextClear,
  kPasteSafeToCursor,
  kPaintTableFormat,
  kCompare2,
  kPrefixSet,
  kPrefixClear,
  kPrefixAfterHyphenClear,
  kCommaSpaceClear,
  kCommaSpaceSet,
  kCaseUpper,
  kCaseLower,
  kCaseProper,
  kNumberValues,
  kHyperlinkExtract,
  kHyperlinkReplaceWith,
  kColumnsJustifyRight,
  kColumnsJustifyLeft,
  kWrapTextFirmReveal,
  kSubtractDisplayV,
  kSubtractDisplayRight,
  kLastWordFirst,
  kNetlistConvert,
  kReduceRowsToOne,
  kExpandRowToMany,
  // Texts of the Action list's vocabulary that no action is bound to.
  kTools,
  kTextConverterImport,
  kAlignTopSet,
  kBordersClear,
  kBordersSet,
  kWrapTextSet,
};

// The text of a mode ("Paste_V", "COMPARE 2/Uniques"); "" for kOther.
TextView ModeText(ModeId id);
// The mode of a text; kOther when the text is none of the modes.
ModeId ModeOf(TextView text);

// What the routines ask of the mode.
struct ModeTraits {
  // The block engine writes beside each block: downward ("Paste_V") or to the right
  // ("Paste_>").
  bool pasteDownward = false;
  bool pasteRight = false;
  // "Subtract Display V" or "Subtract Display >".
  bool subtractDisplay = false;
  // The block engine's geometry: a block the size of the selection's first area that
  // steps down by its own height ("Paste_V", "Subtract Display V"), or one row of that
  // area at a time ("Paste_>", "Subtract Display >"). Other modes take the whole
  // selection as one block.
  bool blocksDownward = false;
  bool blocksByRow = false;
  // The status bar belongs to the drivers (the two paste modes and Subtract Display):
  // the Item routines' progress polls the break key there but writes no text.
  bool quietStatusBar = false;
  // "COMPARE 2/Uniques": two selections or two collected lists compared.
  bool compareTwo = false;
  // "EXPAND Row to Many" and "REDUCE Rows to One": the row actions that read a bold
  // marker cell from a second selection area.
  bool rowAction = false;
  // A subtraction rebuilds the list from its survivors even when it removed nothing
  // from a plain list (COMPARE 2, Subtract Display, REDUCE Rows to One).
  bool subtractRebuildsList = false;
  // A subtraction always answers "go on", whatever it left (plain presses and the two
  // paste modes).
  bool subtractGoesOn = false;
};

// The mode of the running request (vbaMode): its text as the host or an action set it,
// which mode it is, and its traits.
class Mode {
 public:
  // No mode yet: the empty text.
  Mode() = default;
  explicit Mode(quillary::Text text) { Set(std::move(text)); }

  void Set(quillary::Text text);

  const quillary::Text& Text() const { return text_; }
  ModeId Id() const { return id_; }
  bool Is(ModeId id) const { return id_ == id; }
  const ModeTraits& Traits() const { return traits_; }

 private:
  quillary::Text text_;
  ModeId id_ = ModeId::kOther;
  ModeTraits traits_;
};

}  // namespace quillary::host
