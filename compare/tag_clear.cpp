#include "compare/internal/common.h"
#include "compare/internal/messages.h"
#include "compare/tagging.h"
#include "host/callbacks.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "items/list_sheet.h"
#include "platform/runtime/vba.h"

namespace quillary::compare {

namespace {

namespace cd = host::ctl::compdup;
using host::State;

// One call of CmprMark_Clear, from the area of the list on.
class Clearer {
 public:
  Clearer(State& s, const Text& listName) : s_(s), listName_(listName) {}

  void Run() {
    const xl::Range selection = Selection(s_);
    compare_ = s_.request.vbaMode.Traits().compareTwo;
    twoAreas_ = selection.AreasCount() >= 2;
    int areaNo = 1;
    if (compare_ && twoAreas_)
      areaNo = AreaOfSide(selection, s_.compare.CompareStep != host::CompareStage::kClearRightTags);
    area_.emplace(selection.Areas(areaNo));
    host::ScreenOn(s_);
    area_->Activate();
    host::ScreenRestore(s_);

    if (!ListIsEmpty(selection)) return;
    const long lastCol = area_->Column() + area_->ColumnsCount() - 1;
    if (lastCol == area_->Parent().ColumnsCount()) {
      host::MsgBoxDLL(s_, NothingFound(u"\n\n") + msg::NothingToClearAtSheetEnd(label_), host::msgbox::kOk);
      return;
    }
    if (compare_ && selection.AreasCount() == 2 && listName_ != host::kList1 && Abutting(selection)) {
      host::MsgBoxDLL(s_, NothingFound(u"\n\n") + msg::WillNotClearAbutting(label_), host::msgbox::kOk);
      return;
    }
    AskAndClear();
  }

 private:
  // Whether the list has no results, and the label of the list.
  bool ListIsEmpty(const xl::Range& selection) {
    if (!compare_) {
      label_ = area_->Address();
      const xl::Range anchor = items::ListAnchor(s_, listName_);
      return anchor.Offset(1, items::kSideItem).Value().IsEmpty();
    }
    const bool leftSide = s_.compare.CompareStep == host::CompareStage::kClearLeftTags;
    const host::ControlId& window = leftSide ? host::ctl::main::kTextbox1 : host::ctl::main::kTextbox2;
    if (!s_.Control(window).Text().empty()) return false;
    const bool sameColumn = twoAreas_ && selection.Areas(1).Column() == selection.Areas(2).Column();
    s_.compare.TagText = TagLabel(s_, leftSide, sameColumn);
    label_ = s_.compare.TagText;
    return true;
  }

  // The two areas touch side by side and share a row.
  static bool Abutting(const xl::Range& selection) {
    const xl::Area a = selection.Areas(1).FirstArea();
    const xl::Area b = selection.Areas(2).FirstArea();
    const bool touching = b.col1 == a.col2 + 1 || a.col1 == b.col2 + 1;
    return touching && a.row1 <= b.row2 && b.row1 <= a.row2;
  }

  // The opening of every message: nothing was found in the list, and why that matters;
  // `lineBreak` separates its two sentences.
  Text NothingFound(TextView lineBreak) const {
    return host::MsgTitle(s_, u"") +
           msg::NothingFound(compare_, label_, s_.Control(host::ctl::main::kTagDuplicates).Caption(), lineBreak);
  }

  void AskAndClear() {
    const xl::Range topLeft = area_->Cells(1, 1);
    const xl::Range merged = topLeft.MergeArea();
    const long shift = area_->ColumnsCount() - merged.ColumnsCount() + 1;
    const long down = area_->RowsCount() - merged.RowsCount();
    xl::Worksheet& sheet = area_->Parent();
    const xl::Range clearing = sheet.Range(topLeft.Offset(0, shift), topLeft.Offset(down, shift));
    const long next = area_->ColumnsCount() + 1;
    const xl::Range commentColumn = sheet.Range(area_->Cells(1, next), area_->Cells(area_->RowsCount(), next));

    const bool filled = s_.App().WorksheetFunction().CountA(clearing) != 0;
    const bool commentsFound = compare_ && HasCommentBoxes(clearing);
    if (!filled && !commentsFound) return;

    const bool idComment = On(s_, cd::kIdComment);
    const Text prompt =
        NothingFound(u"\r\r") + u"\r\r" + msg::TagColumnQuestionTail(idComment, commentsFound, compare_);
    if (host::MsgBoxDLL(s_, prompt, host::msgbox::kYesNo) != host::msgbox::kAnswerYes) return;

    if (const std::optional<Error> e = Attempt([&] { clearing.ClearContents(); })) {
      const Text mode = s_.request.vbaMode.Text();
      const bool mergedCell = vba::InStr(1, FromUtf8(e->Description()), u"merged", vba::kTextCompare) > 0;
      host::MsgBoxDLL(s_, mergedCell ? msg::ClearMergedFault(mode) : msg::ClearFault(mode), host::msgbox::kInformation);
    }
    if (idComment) commentColumn.ClearComments();
    host::ScreenOn(s_);
    host::ScreenRestore(s_);
  }

  State& s_;
  const Text& listName_;
  bool compare_ = false;
  bool twoAreas_ = false;
  std::optional<xl::Range> area_;
  Text label_;
};

}  // namespace

void CmprMark_Clear(State& s, const Text& listName) {
  ErrorTrail("CmprMark_Clear", [&] {
    const bool compare = s.request.vbaMode.Traits().compareTwo;
    if (s.App().ActiveWorkbook() != nullptr && !s.request.progress.UserAbort &&
        (On(s, cd::kListUniques) || On(s, cd::kLocatorLabel)) && (compare || Selection(s).AreasCount() == 1)) {
      Clearer(s, listName).Run();
    }
    ResetFindSettings(s);
  });
}

}  // namespace quillary::compare
