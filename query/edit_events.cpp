// The Query form's text edits: a new search text starts a fresh search from the active
// cell; a new replacement text is cleaned and kept.
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/internal/search.h"
#include "query/query.h"

namespace quillary::query {

using host::State;
namespace ctl = host::ctl;

void TextBox1Change(State& s) {
  ErrorTrail("TextBox1Change", [&] {
    QueryMemory& q = MemoryOf(s);
    forms::Control& lamp = s.Control(ctl::query::kLamp);
    if (q.DupsWalkMode) {
      // The lamp stays on while the active cell holds the listed name.
      if (!q.DupsListAnchor) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
      const Text listed = CellString(q.DupsListAnchor->Offset(q.DupsListRow, 2).Value());
      if (CellString(ActiveCell(s).Value()) == listed) lamp.SetBackColor(kLampOn);
    } else {
      lamp.SetBackColor(kLampOff);
    }
    s.Control(ctl::query::kReplaceButton).SetEnabled(false);
    forms::Control& box1 = s.Control(ctl::query::kTextbox1);
    if (!q.DupsWalkMode) {
      const Text text = box1.Text();
      if (text.ends_with(u"\r\n")) box1.SetValue(WithoutTrailingLineBreak(text));
      const xl::Range areas = q.QuerySearchArea ? *q.QuerySearchArea : Selection(s);
      q.Start = Locate(areas, ActiveCell(s));
      q.Cursor = q.Start;
      q.SearchState = search_state::kNew;
    }
    q.SearchAbort = false;
    q.QueryPassEnded = false;
    q.QueryHitCount = 0;
    q.QueryHitCountSaved = 0;
    if (!s.request.IgnoreIndexMode) box1.SetValue(vba::Trim(box1.Text()));
    s.Control(ctl::query::kLabel5).SetCaption(u"");
  });
}

void TextBox2Change(State& s) {
  ErrorTrail("TextBox2Change", [&] {
    forms::Control& box2 = s.Control(ctl::query::kTextbox2);
    if (!box2.Enabled()) return;
    QueryMemory& q = MemoryOf(s);
    q.ReplaceText = vba::Trim(WithoutTrailingLineBreak(box2.Text()));
    if (q.ReplaceText.starts_with(u',')) q.ReplaceText.erase(0, 1);
    box2.SetValue(q.ReplaceText);
    forms::Control& replace = s.Control(ctl::query::kReplaceButton);
    if (replace.Enabled()) replace.SetDefault(true);
  });
}

}  // namespace quillary::query
