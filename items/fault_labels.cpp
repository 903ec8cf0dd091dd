#include "items/fault_labels.h"

#include "host/callbacks.h"
#include "items/internal/messages.h"
#include "platform/runtime/vba.h"

namespace quillary::items {

Text CharacterLine(const host::State& s, std::size_t length, TextView tail) {
  Text line = u"     " + vba::Format(static_cast<double>(length), u"##,##0");
  line += tail;
  if (s.request.HiddenCellsSkipped) line += msg::kHiddenCells;
  return line;
}

void ShowFaultInLabels(host::State& s) {
  namespace mn = host::ctl::main;
  s.Control(mn::kCountLabel).SetCaption(s.request.FaultMsg);
  host::RunAddinMacro(s, u"!PutCbarCntNull");
  s.Control(mn::kMessageLabel).SetCaption(s.request.FaultMsg);
  s.Control(mn::kCharactersLabel).SetCaption(CharacterLine(s, s.request.ActiveWndw->TextLength(), msg::kCharacters));
  s.Control(mn::kNotice).SetValue(true);
}

}  // namespace quillary::items
