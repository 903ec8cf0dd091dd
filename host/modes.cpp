#include "host/modes.h"

#include <array>

namespace quillary::host {

namespace {

struct ModeEntry {
  ModeId id;
  const char16_t* text;
};

constexpr std::array kModes{
    ModeEntry{ModeId::kNull, u"Null"},
    ModeEntry{ModeId::kPasteV, u"Paste_V"},
    ModeEntry{ModeId::kPasteRight, u"Paste_>"},
    ModeEntry{ModeId::kSubtractButton, u"SubtractButton"},
    ModeEntry{ModeId::kExpandRef, u"expand_ref"},
    ModeEntry{ModeId::kPreExpandRef, u"PreExpand_Ref"},
    ModeEntry{ModeId::kShutDown, u"ShutDown"},
    ModeEntry{ModeId::kClearActiveWindow, u"Clear Active Window"},
    ModeEntry{ModeId::kCommentsRePosition, u"Comments: Re-Position"},
    ModeEntry{ModeId::kWrapTextClear, u"Wrap Text||  Clear"},
    ModeEntry{ModeId::kPasteSafeToCursor, u"Paste Safe To Cursor"},
    ModeEntry{ModeId::kPaintTableFormat, u"PAINT TABLE Format"},
    ModeEntry{ModeId::kCompare2, u"COMPARE 2/Uniques"},
    ModeEntry{ModeId::kPrefixSet, u"Prefix||  Set"},
    ModeEntry{ModeId::kPrefixClear, u"Prefix||  Clear"},
    ModeEntry{ModeId::kPrefixAfterHyphenClear, u"Prefix|| AfterHyphen Clr"},
    ModeEntry{ModeId::kCommaSpaceClear, u"Comma Space||  Clear"},
    ModeEntry{ModeId::kCommaSpaceSet, u"Comma Space||  Set"},
    ModeEntry{ModeId::kCaseUpper, u"Case||  Upper"},
    ModeEntry{ModeId::kCaseLower, u"Case||  Lower"},
    ModeEntry{ModeId::kCaseProper, u"Case||  Proper"},
    ModeEntry{ModeId::kNumberValues, u"NUMBER Values"},
    ModeEntry{ModeId::kHyperlinkExtract, u"Hyperlink|| Extract"},
    ModeEntry{ModeId::kHyperlinkReplaceWith, u"Hyperlink|| ReplaceWith"},
    ModeEntry{ModeId::kColumnsJustifyRight, u"Columns|| Justify Right"},
    ModeEntry{ModeId::kColumnsJustifyLeft, u"Columns|| Justify Left"},
    ModeEntry{ModeId::kWrapTextFirmReveal, u"WrapTextFirm/ Reveal"},
    ModeEntry{ModeId::kSubtractDisplayV, u"Subtract Display V"},
    ModeEntry{ModeId::kSubtractDisplayRight, u"Subtract Display >"},
    ModeEntry{ModeId::kLastWordFirst, u"LastWord First w/Filter"},
    ModeEntry{ModeId::kNetlistConvert, u"Netlist Cnvrt:Telesis"},
    ModeEntry{ModeId::kReduceRowsToOne, u"REDUCE Rows to One"},
    ModeEntry{ModeId::kExpandRowToMany, u"EXPAND Row to Many"},
    ModeEntry{ModeId::kTools, u"Tools"},
    ModeEntry{ModeId::kTextConverterImport, u"Text Converter/Import"},
    ModeEntry{ModeId::kAlignTopSet, u"AlignTop: Set"},
    ModeEntry{ModeId::kBordersClear, u"Borders||  Clear"},
    ModeEntry{ModeId::kBordersSet, u"Borders||  Set"},
    ModeEntry{ModeId::kWrapTextSet, u"Wrap Text||  Set"},
};

ModeTraits TraitsOf(ModeId id) {
  ModeTraits t;
  t.pasteDownward = id == ModeId::kPasteV;
  t.pasteRight = id == ModeId::kPasteRight;
  t.subtractDisplay = id == ModeId::kSubtractDisplayV || id == ModeId::kSubtractDisplayRight;
  t.blocksDownward = id == ModeId::kPasteV || id == ModeId::kSubtractDisplayV;
  t.blocksByRow = id == ModeId::kPasteRight || id == ModeId::kSubtractDisplayRight;
  t.quietStatusBar = t.pasteDownward || t.pasteRight || t.subtractDisplay;
  t.compareTwo = id == ModeId::kCompare2;
  t.rowAction = id == ModeId::kExpandRowToMany || id == ModeId::kReduceRowsToOne;
  t.subtractRebuildsList = t.compareTwo || t.subtractDisplay || id == ModeId::kReduceRowsToOne;
  t.subtractGoesOn = id == ModeId::kNull || t.pasteDownward || t.pasteRight;
  return t;
}

}  // namespace

TextView ModeText(ModeId id) {
  for (const ModeEntry& m : kModes) {
    if (m.id == id) return m.text;
  }
  return {};
}

ModeId ModeOf(TextView text) {
  for (const ModeEntry& m : kModes) {
    if (text == m.text) return m.id;
  }
  return ModeId::kOther;
}

void Mode::Set(quillary::Text text) {
  text_ = std::move(text);
  id_ = ModeOf(text_);
  traits_ = TraitsOf(id_);
}

}  // namespace quillary::host
