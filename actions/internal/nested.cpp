#include "actions/internal/nested.h"

#include "host/routines.h"
#include "platform/runtime/error.h"

namespace quillary::actions::internal {

namespace {

// Puts the mode back from ModeHold when the nested call ends, however it ends.
class ModeFromHold {
 public:
  explicit ModeFromHold(host::State& s) : s_(s) {}
  ~ModeFromHold() {
    try {
      s_.request.vbaMode.Set(s_.Control(host::ctl::mail::kModeHold).Caption());
    } catch (const Error&) {
      // The forms are gone: the request is over and has no mode to restore.
    }
  }
  ModeFromHold(const ModeFromHold&) = delete;
  ModeFromHold& operator=(const ModeFromHold&) = delete;

 private:
  host::State& s_;
};

}  // namespace

void RunActionNested(host::State& s, host::ModeId callee) {
  s.Control(host::ctl::mail::kSkipMenu).SetEnabled(true);
  forms::Control& hold = s.Control(host::ctl::mail::kModeHold);
  hold.SetCaption(s.request.vbaMode.Text());
  {
    const ModeFromHold restore(s);
    s.request.vbaMode.Set(Text(host::ModeText(callee)));
    host::RoutineOf(s, &host::Routines::Actions, "Actions")(s);
  }
  hold.SetCaption(u"");
}

void RunPasteRightNested(host::State& s) {
  s.Control(host::ctl::mail::kModeHold).SetCaption(s.request.vbaMode.Text());
  const ModeFromHold restore(s);
  s.request.vbaMode.Set(Text(host::ModeText(host::ModeId::kPasteRight)));
  host::RoutineOf(s, &host::Routines::GetSortCntPasteTravel, "GetSortCntPasteTravel")(s);
}

}  // namespace quillary::actions::internal
