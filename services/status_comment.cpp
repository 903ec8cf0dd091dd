#include "services/status_comment.h"

#include <utility>

#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/messages.h"

namespace quillary::services {

void StatusComment(host::State& s, int rowOffset, int columnOffset, const xl::Range& area) {
  ErrorTrail("StatusComment", [&] {
    const Text pending = std::exchange(s.items.DupSummaryText, Text());
    if (!s.request.IgnoreIndexMode) return;

    const long indicator = s.connection.ExcelApp->DisplayCommentIndicator();
    bool leaveVisible = indicator != xl::xlNoIndicator && indicator != xl::xlCommentIndicatorOnly;
    // The boxes compared with True and False as the host language compares them, so a
    // box in its third state (Null) stops nothing here.
    if (vba::EqualsTrue(s.Control(host::ctl::main::kTagDuplicates).Value()) ||
        vba::EqualsFalse(s.Control(host::ctl::main::kSort).Value()))
      return;

    const xl::Range target = area.Cells(1, 1).Offset(rowOffset, columnOffset);
    if (target.Locked() == Variant(true) && s.ActiveBook().ActiveSheet().ProtectContents()) {
      host::InfoMsg(s, {msg::kProtectedCellMsg});
      return;
    }

    const std::optional<xl::Comment> old = target.Comment();
    if (old) {
      leaveVisible = old->Visible();
      old->SetVisible(true);
      const std::optional<xl::Range> active = s.connection.ExcelApp->ActiveCell();
      host::ScreenOn(s);
      target.Activate();
      const Text prompt = host::MsgTitle(
          s, host::Paragraphs({msg::kReplaceCommentMsg, msg::kReplaceCommentMsg2, msg::kReplaceCommentMsg3}));
      const double answer = host::MsgBoxDLL(s, prompt, host::msgbox::kOkCancel);
      if (active) active->Activate();
      if (answer == host::msgbox::kAnswerCancel) {
        old->SetVisible(leaveVisible);
        return;
      }
    }

    const bool noticesOn = s.request.vbaMode.Is(host::ModeId::kNull);
    if (!pending.empty()) {
      target.ClearComments();
      const xl::Comment comment = target.AddComment(pending);
      comment.SetVisible(true);
      s.Control(host::ctl::main::kMessageLabel).SetCaption(u"Duplicates were found. See comment box for list.");
      s.Control(host::ctl::main::kNotice).SetValue(true);
      comment.SetAutoSize(true);
      comment.SetVisible(leaveVisible);
      if (noticesOn && !old) {
        host::InfoMsg(s, {msg::kNewCommentMsg, msg::kNewCommentMsg2});
      }
    } else if (!old) {
      if (noticesOn) {
        host::InfoMsg(s, {msg::kNoNewCommentMsg});
      }
    } else {
      target.ClearComments();
      if (noticesOn) {
        host::InfoMsg(s, {Text(msg::kCommentDeletedMsg) + u" " + msg::kNoNewCommentMsg});
      }
    }
  });
}

}  // namespace quillary::services
