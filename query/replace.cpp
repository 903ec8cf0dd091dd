// Replace in the found cell, noted in the cell's comment, and Undo.
#include <functional>
#include <optional>

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/text_replace.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/internal/search.h"
#include "query/messages.h"
#include "query/query.h"

namespace quillary::query {

namespace {

using host::State;
namespace ctl = host::ctl;

// The note a replacement leaves in the cell's comment.
Text ReplacementNote(TextView find, TextView replacement) {
  Text note = u"repl'd: \"";
  note += find;
  note += u"\" \"";
  note += replacement;
  note += u"\"";
  return note;
}

// Writes a text so that the sheet keeps it as text; nothing left clears the cell.
void WriteTextOrClear(const xl::Range& cell, TextView text) {
  items::WriteText(cell, text);
  if (CellString(cell.Value()).empty()) cell.ClearContents();
}

// The alignment a write may have changed, put back unless the sheet forbids formatting
// its cells: the write into an unlocked cell of such a sheet stands without it.
void RestoreAlignment(State& s, const xl::Range& cell, const Variant& alignment) {
  if (alignment.IsNumber() && !host::SheetProtectedCheck(s)) {
    cell.SetHorizontalAlignment(static_cast<long>(alignment.AsNumber()));
  }
}

// What a replacement or its Undo may change in the cell (its value and its comment),
// taken before the first write, so that a change the sheet refuses part-way (a
// protection that allows the value but not the comment) is taken back whole rather than
// left half done.
class CellBefore {
 public:
  explicit CellBefore(const xl::Range& cell) : cell_(cell), value_(cell.Value()) {
    if (const std::optional<xl::Comment> comment = cell.Comment()) {
      comment_ = Note{comment->Text(), comment->AutoSize(), comment->Width(), comment->Height()};
    }
  }

  // Puts back what differs; a part the sheet refuses again stays as it is, and the
  // error that stopped the change is the one reported.
  void PutBack() const {
    Attempt([&] {
      if (cell_.Value() == value_) return;
      items::WriteValue(cell_, value_);
      if (value_.IsEmpty() || CellString(cell_.Value()).empty()) cell_.ClearContents();
    });
    Attempt([&] {
      const std::optional<xl::Comment> now = cell_.Comment();
      if (!comment_) {
        if (now) now->Delete();
        return;
      }
      const xl::Comment note = now ? *now : cell_.AddComment(comment_->text);
      if (note.Text() != comment_->text) note.SetText(comment_->text);
      if (note.AutoSize() != comment_->autoSize) note.SetAutoSize(comment_->autoSize);
      if (note.Width() != comment_->width) note.SetWidth(comment_->width);
      if (note.Height() != comment_->height) note.SetHeight(comment_->height);
    });
  }

 private:
  struct Note {
    Text text;
    bool autoSize = false;
    double width = 0, height = 0;
  };
  static void Attempt(const std::function<void()>& step) {
    try {
      step();
    } catch (const Error&) {
      // Refused again: left as the sheet holds it.
    }
  }

  xl::Range cell_;
  Variant value_;
  std::optional<Note> comment_;
};

class Replacing {
 public:
  explicit Replacing(State& s) : s_(s), q_(MemoryOf(s)) {}

  void Press() {
    q_.HitPos = q_.HitPosSaved;
    q_.Cursor = q_.SavedStart;
    q_.QueryPassEnded = false;
    forms::Control& box2 = C(ctl::query::kTextbox2);
    if (!ShowsHint(box2)) q_.ReplaceText = vba::Trim(box2.Text());
    box2.SetValue(q_.ReplaceText);

    const Text searchText = vba::Trim(C(ctl::query::kTextbox1).Text());
    forms::Control& replace = C(ctl::query::kReplaceButton);
    if (vba::StrComp(searchText, q_.QueryItemLast, s_.request.CompareMode) != 0) {
      // The search text was edited since the search: search again first.
      forms::Control& next = C(ctl::query::kNextButton);
      next.SetFocus();
      next.SetDefault(true);
      ForgetHit();
      q_.SearchState = search_state::kRestart;
    } else if (q_.HitPos >= 1 && replace.Caption() == kReplaceCaption) {
      Whole(&Replacing::Replace);
    } else if (replace.Caption() == kUndoCaption && ActiveCell(s_).Address() == q_.ReplacedCellAddr) {
      Whole(&Replacing::Undo);
    } else if (q_.HitPos == 0) {
      C(ctl::query::kNextButton).SetDefault(true);
      ForgetHit();
    }
    host::ScreenOn(s_);
  }

 private:
  forms::Control& C(const host::ControlId& id) const { return s_.Control(id); }

  // A change of the active cell done whole or not at all: an error on the way puts the
  // cell back as it was before it is passed on.
  void Whole(void (Replacing::*change)()) {
    const CellBefore before(ActiveCell(s_));
    try {
      (this->*change)();
    } catch (const Error&) {
      before.PutBack();
      throw;
    }
  }

  void ForgetHit() {
    q_.QueryHitCount = 0;
    q_.QueryHitCountSaved = 0;
    q_.QueryItem = vba::Trim(C(ctl::query::kTextbox1).Text());
    q_.QueryItemLast = q_.QueryItem;
    C(ctl::query::kLamp).SetBackColor(kLampOff);
    C(ctl::query::kReplaceButton).SetEnabled(false);
  }

  // The text the replacement looks for: the Item itself in IgnoreIndex#; in CountIndex#
  // the text found, without the hyphens, blanks and tabs at its ends when something
  // replaces it.
  Text FindText(const Text& replacement) const {
    Text find = q_.HitText;
    if (C(ctl::query::kTextbox1).Text() == u",,") return find;
    if (s_.request.IgnoreIndexMode) return q_.QueryItem;
    if (replacement.empty()) return find;
    auto edge = [](char16_t c) { return c == u'-' || c == u' ' || c == u'\t'; };
    while (!find.empty() && edge(find.back())) find.pop_back();
    size_t first = 0;
    while (first < find.size() && edge(find[first])) ++first;
    return find.substr(first);
  }

  // The value written for a new text: a number again in a cell that held one, when the
  // text reads as a number as a whole (by the same reading that accepted it); else the
  // text.
  void WriteNewText(const xl::Range& cell, const Text& text) const {
    if (q_.HitNotText && vba::IsNumeric(Variant(text))) {
      cell.SetValue(Variant(vba::CDbl(Variant(text))));
    } else {
      items::WriteText(cell, text);
    }
    if (CellString(cell.Value()).empty()) cell.ClearContents();
  }

  void Replace() {
    const xl::Range cell = ActiveCell(s_);
    q_.UndoValue = cell.Value();
    const Text replacement = vba::Trim(C(ctl::query::kTextbox2).Text());
    const Text find = FindText(replacement);
    const std::int64_t start = q_.HitPos;
    q_.LastReplaceText = find;
    const Variant alignment = cell.HorizontalAlignment();

    // Only the one occurrence at or after the hit changes.
    const Text value = CellString(q_.UndoValue);
    Text replaced = start > 1 ? vba::Left(value, start - 1) : Text();
    replaced += host::ReplaceItVal(value, find, replacement, start, 1, s_.request.CompareMode);
    WriteNewText(cell, replaced);
    RestoreAlignment(s_, cell, alignment);

    if (cell.Value() == q_.UndoValue) {
      if (vba::StrComp(replacement, find, s_.request.CompareMode) != 0) {
        host::MsgBoxDLL(s_, msg::NoChangeText(), host::msgbox::kInformation);
        host::ScreenOn(s_);
        C(ctl::query::kLamp).SetBackColor(kLampOff);
        C(ctl::query::kReplaceButton).SetEnabled(false);
      } else {
        const bool hyphenAdvice = !s_.request.IgnoreIndexMode && Contains(replacement + q_.HitText, u"-");
        host::MsgBoxDLL(s_, msg::SameTextText(hyphenAdvice), host::msgbox::kInformation);
        host::ScreenOn(s_);
      }
      return;
    }
    // Every change is booked, a change of case in IgnoreIndex# too: it gets its note
    // and can be undone.
    BookReplacement(cell, find, replacement);
  }

  void BookReplacement(const xl::Range& cell, const Text& find, const Text& replacement) {
    C(ctl::query::kLamp).SetBackColor(kLampOff);
    q_.ReplaceCommentText = ReplacementNote(find, replacement);
    q_.ReplacedCellAddr = cell.Address();
    if (std::optional<xl::Comment> comment = cell.Comment()) {
      comment->SetText(comment->Text() + u"\n" + q_.ReplaceCommentText);
    } else {
      cell.AddComment(q_.ReplaceCommentText);
    }
    // The box is fitted once and keeps that size.
    xl::Comment note = *cell.Comment();
    note.SetAutoSize(true);
    note.SetAutoSize(false);

    forms::Control& box2 = C(ctl::query::kTextbox2);
    if (!ShowsHint(box2)) q_.ReplaceText = vba::Trim(box2.Text());
    const Variant alignment = cell.HorizontalAlignment();
    if (!q_.HitNotText) WriteTextOrClear(cell, vba::Trim(CellString(cell.Value())));
    RestoreAlignment(s_, cell, alignment);

    forms::Control& replace = C(ctl::query::kReplaceButton);
    replace.SetCaption(kUndoCaption);
    box2.SetValue(q_.ReplaceText);
    replace.SetEnabled(true);
    box2.SetEnabled(false);

    --q_.QueryHitCount;
    q_.LastHit = q_.Cursor;
    // A search that replaced at its start begins anew. The duplicates walk goes on to
    // the next listed cell: its state 0 would show the name's first cell again.
    if (q_.LastHit == q_.Start && !q_.DupsWalkMode) q_.SearchState = search_state::kNew;
  }

  void Undo() {
    const xl::Range cell = ActiveCell(s_);
    if (q_.HitNotText) {
      cell.SetValue(q_.UndoValue);
    } else {
      items::WriteText(cell, CellString(q_.UndoValue));
    }
    if (CellString(cell.Value()).empty()) cell.ClearContents();
    q_.Cursor = q_.LastHit;

    if (std::optional<xl::Comment> comment = cell.Comment()) {
      const Text text = comment->Text();
      const Text noteLine = u"\n" + q_.ReplaceCommentText;
      if (text == q_.ReplaceCommentText) {
        comment->Delete();
      } else if (text.ends_with(noteLine)) {
        comment->SetText(TextView(text).substr(0, text.size() - noteLine.size()));
      }
    }

    C(ctl::query::kLamp).SetBackColor(kLampOn);
    C(ctl::query::kReplaceButton).SetCaption(kReplaceCaption);
    forms::Control& box2 = C(ctl::query::kTextbox2);
    if (!ShowsHint(box2)) box2.SetEnabled(true);
    if (box2.Enabled()) box2.SetFocus();
  }

  State& s_;
  QueryMemory& q_;
};

}  // namespace

void ReplaceButtonClick(State& s) {
  ErrorTrail("ReplaceButtonClick", [&] {
    // A disabled button is not pressed: nothing the user did not confirm changes.
    if (!s.Control(ctl::query::kReplaceButton).Enabled()) return;
    Replacing(s).Press();
  });
}

}  // namespace quillary::query
