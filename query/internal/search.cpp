#include "query/internal/search.h"

#include <algorithm>
#include <vector>

#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/match.h"
#include "query/messages.h"
#include "query/query.h"
#include "sheets/selection_trim.h"

namespace quillary::query {

namespace {

using host::State;
namespace ctl = host::ctl;
namespace st = search_state;

// Item numbers this long cannot be compared without rounding.
constexpr std::int64_t kBigNumDigits = 15;
constexpr char16_t kBigNumFault[] = u"BigNum >=15 digits";
// The walk polls the break key at every this many cells.
constexpr std::int64_t kPollEvery = 1000;
// Rows asked about at once whether any is hidden.
constexpr long kRowBlock = 1024;
// Empty stretches shorter than this are walked cell by cell.
constexpr long kLeastStretch = 4;

class SearchStep {
 public:
  explicit SearchStep(State& s) : s_(s), q_(MemoryOf(s)), item_(Text()) {}

  void Run() {
    if (Prepare()) Walk();
    s_.App().SetStatusBar(Variant(false));
  }

 private:
  enum class Visit { kNext, kReturn, kPassEnd };

  forms::Control& C(const host::ControlId& id) const { return s_.Control(id); }
  bool InDupsWalk() const { return q_.DupsWalkMode; }

  // The Item of this step, from the search text.
  bool Prepare() {
    q_.QueryItem = SearchText(C(ctl::query::kTextbox1).Text());
    s_.App().SetCursor(xl::xlWait);
    C(ctl::query::kLabel5).SetCaption(u"");
    visited_ = 0;
    item_ = SearchItem(q_.QueryItem);
    q_.PosInCell = item_.posInCell;
    if (!s_.request.IgnoreIndexMode && item_.TrailingDigits() >= kBigNumDigits) {
      C(ctl::query::kLabel1).SetCaption(kBigNumFault);
      TooBigNum_Srch(s_);
      return false;
    }
    return true;
  }

  // The searched range, taken afresh: the selection, or for one selected cell in the
  // Find Item mode the used part of the sheet. False when that part cannot be had.
  bool ChooseRange() {
    const xl::Range selection = Selection(s_);
    q_.QuerySearchArea = selection;
    const bool oneCell = selection.Count() == selection.Cells(1, 1).MergeArea().Count();
    if (!oneCell || !BeginsNoCase(C(ctl::query::kCaption).Caption(), kQueryItemCaption)) return true;

    xl::Application& app = s_.App();
    app.SetStatusBar(Variant(Text(u" Query: Preparing for whole worksheet search ...")));
    const Text activeAddress = ActiveCell(s_).Address();
    host::ScreenOff(s_);
    xl::Worksheet& sheet = s_.ActiveBook().ActiveSheet();
    sheet.Range(sheet.Cells(1, 1), sheet.Cells(sheet.RowsCount(), sheet.ColumnsCount())).Select();
    if (sheets::WholeColRow(s_) == host::Proceed::kStop) {
      // The user's cell is selected again: the selection must not stay the whole sheet.
      sheet.Range(activeAddress).Select();
      q_.SearchAbort = true;
      return false;
    }
    const xl::Range used = Selection(s_);
    q_.QuerySearchArea = used;
    sheet.Range(activeAddress).Select();
    host::ScreenRestore(s_);

    const xl::Area range = used.FirstArea();
    const xl::Area merge =
        sheet.MergedAreaAt(range.row1, range.col1).value_or(xl::Area{range.row1, range.col1, range.row1, range.col1});
    const xl::Range active = ActiveCell(s_);
    q_.Start = WholeSheetStart(range, merge, active.Row(), active.Column());
    q_.Cursor = q_.Start;
    return true;
  }

  // The Start cell within the range, so that a pass always comes back to it.
  void KeepStartInRange() {
    QueryPos& p = q_.Start;
    p.Area = std::clamp<long>(p.Area, 1, static_cast<long>(areas_.size()));
    const xl::Area& a = areas_[static_cast<size_t>(p.Area - 1)];
    p.Row = std::clamp<long>(p.Row, 1, a.Rows());
    p.Col = std::clamp<long>(p.Col, 1, a.Columns());
  }

  // What the code asks for when the walk starts; `first` for the step's own start (the
  // walk resumes from the first cell of area 1 after a wrap, not from the resume
  // position again).
  void EntryRule(bool first) {
    switch (q_.SearchState) {
      case st::kResume:
        if (first) q_.Cursor = q_.LastHit;
        break;
      case st::kResumeAfterWrap:
        q_.Cursor = q_.LastHit;
        q_.SearchState = st::kUnderWay;
        break;
      case st::kRestart:
        q_.Cursor = q_.Start;
        q_.SavedStart = q_.Start;
        q_.QueryHitCount = 0;
        q_.QueryHitCountSaved = 0;
        q_.SearchState = st::kNew;
        break;
      default: break;
    }
  }

  void Walk() {
    if (q_.SearchState == st::kNew || q_.SearchState == st::kDuplicateCell || !q_.QuerySearchArea) {
      if (!ChooseRange()) {
        PassEnd(false);
        return;
      }
    }
    range_ = *q_.QuerySearchArea;
    const std::span<const xl::Area> list = range_->AreaList();
    areas_.assign(list.begin(), list.end());
    sheet_ = &range_->Parent();
    multiCellSelection_ = Selection(s_).Count() > 1;
    KeepStartInRange();

    bool first = true;
    for (;;) {
      colHidden_.clear();
      hiddenRow_ = 0;
      visibleRows_ = {1, 0};
      rowByRow_ = {1, 0};
      nextFilled_ = {0, 0};
      q_.QueryItemLast = q_.QueryItem;
      EntryRule(first);
      first = false;
      if (q_.SearchAbort) {
        PassEnd(false);
        return;
      }
      bool restart = false;
      while (!restart && q_.Cursor.Area <= static_cast<long>(areas_.size())) {
        const xl::Area& a = areas_[static_cast<size_t>(q_.Cursor.Area - 1)];
        while (!restart && q_.Cursor.Row <= a.Rows()) {
          while (q_.Cursor.Col <= a.Columns()) {
            const Visit v = VisitCell(a);
            if (v == Visit::kReturn) return;
            if (v == Visit::kPassEnd) {
              if (!PassEnd(true)) return;
              restart = true;
              break;
            }
            if (emptyCell_) PassEmptyStretch(a);
            ++q_.Cursor.Col;
          }
          if (!restart) {
            q_.Cursor.Col = 1;
            ++q_.Cursor.Row;
          }
        }
        if (!restart) {
          q_.Cursor.Row = 1;
          ++q_.Cursor.Area;
        }
      }
      if (!restart) q_.Cursor.Area = 1;
    }
  }

  // A cell shared with an earlier area was visited there.
  bool InEarlierArea(long row, long col) const {
    for (long k = q_.Cursor.Area - 1; k >= 1; --k) {
      if (areas_[static_cast<size_t>(k - 1)].Contains(row, col)) return true;
    }
    return false;
  }

  Visit VisitCell(const xl::Area& a) {
    if (!Poll()) return Visit::kReturn;
    q_.QueryHitCountSaved = q_.QueryHitCount;
    if (q_.SearchState != st::kDuplicateCell) {
      q_.LastHit = q_.Cursor;
      if (q_.SearchState != st::kNew && q_.Cursor == q_.Start) return Visit::kPassEnd;
    }
    const long row = a.row1 + q_.Cursor.Row - 1;
    const long col = a.col1 + q_.Cursor.Col - 1;
    const Variant value = sheet_->CellValue(row, col);
    emptyCell_ = value.IsEmpty();
    const TextView text = ValueText(value);
    const bool passOver = (q_.Cursor.Area > 1 && multiCellSelection_ && InEarlierArea(row, col)) || value.IsError() ||
                          text.empty() || ColumnHidden(col) || RowHidden(row);
    if (!passOver) {
      CellMatch m = MatchInCell(text, item_, s_.request.IgnoreIndexMode, s_.request.CompareMode, folded_);
      // In the duplicates walk the listed cell is a hit whatever its text; the Item is
      // looked for in it so that Replace knows where it stands (nowhere: Replace then
      // changes nothing).
      if (InDupsWalk() || m.IsHit()) Book(m);
      if (q_.QueryHitCount > q_.QueryHitCountSaved) {
        HitHandling();
        return Visit::kReturn;
      }
    }
    if (InDupsWalk()) return Visit::kReturn;
    if (q_.SearchState == st::kNew) q_.SearchState = st::kUnderWay;
    if (q_.QueryPassEnded) {
      q_.QueryHitCount = 0;
      q_.QueryPassEnded = false;
    }
    return Visit::kNext;
  }

  // The text of a cell's value as the search reads it: a text as it is, a number or a
  // truth value as CStr writes it, nothing for an error.
  TextView ValueText(const Variant& value) {
    if (value.IsText()) return value.AsText();
    if (value.IsEmpty()) return {};
    valueText_ = CellString(value);
    return valueText_;
  }

  // Whether a column is hidden, asked of the sheet once per column (as rows below are
  // asked once): nothing the walk does between two cells hides or shows one. Only the
  // columns up to the last one visited are held: a pass over one column touches no
  // room for all the sheet's.
  bool ColumnHidden(long col) {
    if (colHidden_.size() <= static_cast<std::size_t>(col))
      colHidden_.resize(static_cast<std::size_t>(col) + 1, kUnknown);
    std::int8_t& known = colHidden_[static_cast<std::size_t>(col)];
    if (known == kUnknown) known = vba::EqualsTrue(sheet_->ColumnsHidden(col, col)) ? 1 : 0;
    return known == 1;
  }
  // Rows are asked about a block at a time: when none of the block is hidden, none of
  // its rows needs asking again; a block with a hidden row in it is asked about row by
  // row.
  bool RowHidden(long row) {
    if (row >= visibleRows_.first && row <= visibleRows_.second) return false;
    if (row != hiddenRow_) {
      if (row < rowByRow_.first || row > rowByRow_.second) {
        const long last = std::min<long>(row + kRowBlock - 1, sheet_->RowsCount());
        if (const Variant block = sheet_->RowsHidden(row, last); block.IsBoolean() && !block.AsBool()) {
          visibleRows_ = {row, last};
          return false;
        }
        rowByRow_ = {row, last};
      }
      hiddenRow_ = row;
      rowHidden_ = vba::EqualsTrue(sheet_->RowsHidden(row, row));
    }
    return rowHidden_;
  }

  // After an empty cell, the cells up to the next non-empty one of its row are passed
  // over together, as visiting each would (each counts as visited and becomes the
  // resume position), rather than read one by one. The stretch ends before the area's
  // edge, the Start cell (where a pass ends) and the next cell at which the walk polls,
  // which the walk then visits as any other.
  void PassEmptyStretch(const xl::Area& a) {
    if (q_.SearchState == st::kDuplicateCell || InDupsWalk()) return;
    long last = a.Columns();
    if (q_.Cursor.Row == q_.Start.Row && q_.Cursor.Area == q_.Start.Area && q_.Start.Col > q_.Cursor.Col) {
      last = std::min(last, q_.Start.Col - 1);
    }
    last = std::min<long>(last, q_.Cursor.Col + static_cast<long>(NextPollAt() - visited_) - 1);
    if (last - q_.Cursor.Col < kLeastStretch) return;
    const long row = a.row1 + q_.Cursor.Row - 1;
    const long col = a.col1 + q_.Cursor.Col - 1;
    // End steps over a run of cells from a filled one: only from a cell that holds
    // nothing at all does it lead to the next filled one.
    if (sheet_->CellHasFormula(row, col)) return;
    if (nextFilled_.row != row || nextFilled_.col <= col) nextFilled_ = sheet_->End(row, col, xl::xlToRight);
    if (nextFilled_.row == row) last = std::min(last, nextFilled_.col - a.col1);
    if (last <= q_.Cursor.Col) return;
    visited_ += last - q_.Cursor.Col;
    q_.Cursor.Col = last;
    q_.LastHit = q_.Cursor;
  }

  // The count of visited cells at which the walk next polls.
  std::int64_t NextPollAt() const { return visited_ < 2 ? 2 : (visited_ / kPollEvery + 1) * kPollEvery; }

  Text ProgressText() const {
    Text t = u" Query Progress: ";
    t += vba::IntegerText(visited_);
    t += u" cells    Press the Ctrl key to Abort.";
    return t;
  }

  // Progress and the break key, at the second cell and at every thousandth: the clock is
  // read only then. False when the user asked to stop.
  bool Poll() {
    ++visited_;
    if (visited_ != 2 && visited_ % kPollEvery != 0) return true;
    host::Progress& progress = s_.request.progress;
    auto now = [&] { return s_.services.clock.MonotonicSeconds(); };
    host::ChkBreakKey(s_);
    if (progress.UserAbort) return false;
    if (progress.ProgressShown) {
      progress.ProgressTimer = now();
      s_.App().SetStatusBar(Variant(ProgressText()));
    } else if (now() > progress.ProgressTimer + 3) {
      progress.ProgressShown = true;
      host::ScreenOn(s_);
      s_.App().SetDisplayStatusBar(true);
      host::ScreenRestore(s_);
    }
    return true;
  }

  // Books a hit: the count, the match and the form's replace controls.
  void Book(const CellMatch& m) {
    ++q_.QueryHitCount;
    q_.HitPos = m.pos;
    matched_ = m.matched;
    if (m.kind == HitKind::kInsideRange) {
      C(ctl::query::kNextButton).SetDefault(true);
      C(ctl::query::kReplaceButton).SetEnabled(false);
      Text notice = u"Inside range>";
      notice += m.rangeLow;
      notice += u"-";
      notice += m.rangeHigh;
      notice += u"<";
      C(ctl::query::kLabel2).SetCaption(notice);
      C(ctl::query::kLabel4).SetForeColor(kLabel4InsideRange);
      C(ctl::query::kTextbox2).SetEnabled(false);
      C(ctl::query::kTextbox2).SetValue(Text(kSubtractHint));
      return;
    }
    if (m.kind == HitKind::kEmptyItem) C(ctl::query::kTextbox1).SetValue(q_.QueryItem);
    C(ctl::query::kLabel5).SetCaption(InDupsWalk() ? Text() : m.foundAt);
    C(ctl::query::kLabel2).SetCaption(kReplaceWithLabel);
    C(ctl::query::kLabel4).SetForeColor(kLabel4Plain);
    forms::Control& replace = C(ctl::query::kReplaceButton);
    replace.SetEnabled(!item_.IsEmptyItem());
    replace.SetCaption(kReplaceCaption);
    forms::Control& box2 = C(ctl::query::kTextbox2);
    box2.SetValue(q_.ReplaceText);
    box2.SetEnabled(!ShowsHint(box2));
  }

  static QueryPos Advanced(QueryPos p, const std::vector<xl::Area>& areas) {
    const xl::Area& a = areas[static_cast<size_t>(p.Area - 1)];
    if (++p.Col <= a.Columns()) return p;
    p.Col = 1;
    if (++p.Row <= a.Rows()) return p;
    p.Row = 1;
    if (++p.Area > static_cast<long>(areas.size())) p.Area = 1;
    return p;
  }

  void HitHandling() {
    CellAt(*range_, q_.Cursor).Activate();
    const xl::Range active = ActiveCell(s_);
    const bool protectedCell = vba::EqualsTrue(active.Locked()) && active.Parent().ProtectContents();
    if (protectedCell || active.HasFormula()) {
      C(ctl::query::kReplaceButton).SetEnabled(false);
      C(ctl::query::kTextbox2).SetEnabled(false);
      C(ctl::query::kLabel2)
          .SetCaption(protectedCell ? u"PROTECTED CELL - CAN NOT REPLACE" : u"CELL HAS FORMULA - CAN NOT REPLACE");
    } else {
      q_.HitNotText = vba::TypeName(active.Value()) != u"String";
    }
    C(ctl::query::kLamp).SetBackColor(kLampOn);
    s_.App().SetCursor(xl::xlDefault);
    if (!protectedCell && vba::EqualsTrue(C(ctl::query::kBookmark).Value())) {
      bool toggle = false;
      PlaceBookmark(s_, toggle);
    }
    forms::Control& label7 = C(ctl::query::kLabel7);
    if (q_.QueryHitCount > 1 && q_.SavedStart == q_.Cursor) label7.SetCaption(kSameCellNote);
    q_.HitPosSaved = q_.HitPos;
    q_.HitText = matched_;
    q_.FoundAtText = C(ctl::query::kLabel5).Caption();
    q_.SavedStart = q_.Cursor;
    if (q_.QueryPassEnded) {
      q_.QueryHitCount = 1;
      q_.QueryPassEnded = false;
    }
    if (q_.QueryHitCount == 1 && !InDupsWalk()) {
      q_.Start = q_.SavedStart;
      q_.SearchState = st::kResumeAfterWrap;
    }
    if (InDupsWalk()) return;

    q_.LastHit = Advanced(q_.LastHit, areas_);
    if (q_.LastHit == q_.Start) {
      if (q_.QueryHitCount != 1) {
        label7.SetCaption(u"");
      } else {
        label7.SetCaption(kBeginningNote);
        const std::int16_t state = q_.SearchState;
        if (state == st::kResume || state == st::kRestart || state == st::kResumeAfterWrap) {
          q_.SearchState = state == st::kRestart ? st::kResume : st::kResumeAfterWrap;
          q_.LastHit = q_.SavedStart;
          q_.Cursor = q_.SavedStart;
          if (q_.SearchState == st::kResume) return;
        }
      }
    } else {
      q_.QueryHitCountSaved = q_.QueryHitCount;
      label7.SetCaption(q_.QueryHitCount == 1 ? kBeginningNote : u"");
    }
    q_.Cursor = q_.LastHit;
    if (q_.SearchState == st::kNew) q_.SearchState = st::kUnderWay;
  }

  // The end of a pass: reached by the walk coming back to the Start cell, or at once
  // when the search was aborted or its range could not be had. True when the walk goes
  // on (a pass with hits starts over from its first hit).
  bool PassEnd(bool fromWalk) {
    xl::Application& app = s_.App();
    if (fromWalk) {
      app.SetCursor(xl::xlDefault);
      if (visited_ >= 1 && s_.request.progress.ProgressShown) app.SetStatusBar(Variant(ProgressText()));
      q_.LastHit = q_.Cursor;
    }
    app.SetCursor(xl::xlDefault);
    // Only a walk can start over: without one there is nothing to come back to.
    if (fromWalk && q_.QueryHitCount >= 1) {
      EndOfPassWithHits();
      return true;
    }
    NotFound();
    return false;
  }

  void EndOfPassWithHits() {
    forms::Control& replace = C(ctl::query::kReplaceButton);
    replace.SetEnabled(false);
    C(ctl::query::kLamp).SetBackColor(kLampOff);
    forms::Control& different = C(ctl::queryend::kDifferentButton);
    if (s_.request.IgnoreIndexMode && ContainsNoCase(C(ctl::query::kLabel1).Caption(), u"Duplicate")) {
      different.SetVisible(true);
    } else {
      different.SetVisible(false);
      C(ctl::queryend::kRepeatButton).SetDefault(true);
    }
    C(ctl::query::kLabel7).SetCaption(q_.QueryHitCount == 1 ? kBeginningNote : u"");
    s_.services.beeper.Beep();
    host::ShowQueryEndUserForm(s_);
    s_.App().SetCursor(xl::xlDefault);
    q_.QueryPassEnded = true;
    if (!BeginsNoCase(C(ctl::query::kLabel2).Caption(), u"Inside") && !item_.IsEmptyItem()) replace.SetEnabled(true);
    if (!text_order::EqualNoCase(replace.Caption(), kUndoCaption)) {
      C(ctl::query::kLamp).SetBackColor(kLampOn);
      C(ctl::query::kLabel5).SetCaption(q_.FoundAtText);
    }
    if (q_.LastHit == q_.Start || q_.Cursor == q_.Start) q_.SearchState = st::kNew;
    q_.Cursor = q_.Start;
  }

  bool OneCellSelected() {
    const xl::Range selection = Selection(s_);
    return selection.Count() == selection.Cells(1, 1).MergeArea().Count();
  }

  void NotFound() {
    const bool queryItemCaption = BeginsNoCase(C(ctl::query::kCaption).Caption(), kQueryItemCaption);
    const Text prefix = msg::FaultPrefix(C(ctl::query::kLabel1).Caption());
    if (queryItemCaption && (!InDupsWalk() || q_.SearchState >= st::kResume)) {
      const bool wholeSheet = !InDupsWalk() && OneCellSelected();
      host::ScreenOn(s_);
      ActiveCell(s_).Activate();
      host::MsgBoxDLL(s_, msg::NotFoundText(s_.request.IgnoreIndexMode, prefix, wholeSheet),
                      host::msgbox::kInformation);
      host::ScreenOn(s_);
      q_.SearchState = st::kNew;
    } else {
      C(ctl::query::kReplaceButton).SetEnabled(false);
      host::ScreenOn(s_);
      ActiveCell(s_).Activate();
      if (JoinedCellsFault()) {
        host::MsgBoxDLL(s_, msg::JoinedCellsFaultText(prefix, s_.request.vbaMode.Text()), host::msgbox::kInformation);
        host::ScreenOn(s_);
      } else {
        const bool faultLocator = C(ctl::query::kCaption).Caption() == kFaultLocatorCaption;
        host::MsgBoxDLL(s_, msg::CannotFindText(prefix, faultLocator, !s_.request.IgnoreIndexMode),
                        host::msgbox::kInformation);
        host::ScreenOn(s_);
        C(ctl::query::kTextbox1).SetLocked(false);
        C(ctl::query::kLabel1).SetCaption(kFindItemLabel);
        C(ctl::query::kCaption).SetCaption(kQueryItemHotkeyCaption);
        host::QueryUserFormCaptionDLL(s_);
      }
    }
    q_.Cursor = q_.Start;
    q_.SearchAbort = true;
    C(ctl::query::kLamp).SetBackColor(kLampOff);
    C(ctl::query::kReplaceButton).SetEnabled(false);
    q_.QueryHitCount = 0;
    q_.QueryHitCountSaved = 0;
    if (!q_.QuerySearchArea || q_.LastHit.Area > q_.QuerySearchArea->AreasCount()) q_.LastHit.Area = 1;
    q_.SearchState = st::kNew;
  }

  // The Items were joined from the cells of a row, so no single cell holds the fault.
  bool JoinedCellsFault() {
    const forms::Control& join = C(ctl::compdup::kJoinCells);
    if (!(vba::EqualsTrue(join.Value()) && join.Enabled())) return false;
    const forms::Control& tag = C(ctl::main::kTagDuplicates);
    const bool tagging = vba::EqualsTrue(tag.Value()) && tag.Enabled() && Selection(s_).AreasCount() == 1;
    return tagging || s_.request.vbaMode.Traits().compareTwo;
  }

  State& s_;
  QueryMemory& q_;
  SearchItem item_;
  // The text matched in the visited cell.
  Text matched_;
  // The walk's range and its areas, and whether the window's selection has several
  // cells (only then can areas overlap).
  std::optional<xl::Range> range_;
  std::vector<xl::Area> areas_;
  xl::Worksheet* sheet_ = nullptr;
  bool multiCellSelection_ = false;
  // Cells visited in this step.
  std::int64_t visited_ = 0;
  // The cell last visited was empty.
  bool emptyCell_ = false;
  // The text of a visited value that is not a text, and the folded cell text.
  Text valueText_;
  Text folded_;
  // Whether each column up to the last one visited is hidden (kUnknown until asked),
  // and the row last asked about.
  static constexpr std::int8_t kUnknown = -1;
  std::vector<std::int8_t> colHidden_;
  long hiddenRow_ = 0;
  bool rowHidden_ = false;
  // Rows known to be visible, and rows to be asked about one by one, first to last.
  std::pair<long, long> visibleRows_{1, 0};
  std::pair<long, long> rowByRow_{1, 0};
  // The filled cell that ends the empty stretch last passed over.
  xl::CellPos nextFilled_{0, 0};
};

}  // namespace

void NextButtonSub(State& s) {
  ErrorTrail("NextButtonSub", [&] { SearchStep(s).Run(); });
}

void TooBigNum_Srch(State& s) {
  ErrorTrail("TooBigNum_Srch", [&] {
    host::MsgBoxDLL(s, host::MsgTitle(s, msg::BigNumText()), host::msgbox::kInformation);
    s.request.FaultMsg = kBigNumFault;
  });
}

QueryPos WholeSheetStart(const xl::Area& range, const xl::Area& firstMerge, long activeRow, long activeCol) {
  const bool merged = firstMerge.Cells() > 1;
  const long r0 = range.row1, r1 = range.row2, c0 = range.col1, c1 = range.col2;
  const long mR = firstMerge.row2, mC = firstMerge.col2;
  const long aR = activeRow, aC = activeCol;
  long row = 1;
  long col = 1;
  if (aR < r0) {
    row = 1;
    col = 1;
  } else if (aR <= r1) {
    if (aC >= c0 && aC <= c1) {
      if (aR != r0 || aC != c0) {
        row = aR - mR + 1;
        col = aC - mC + 1;
      }
    } else if (aC < c0) {
      row = aR <= mR ? 1 : aR - mR + 1;
    } else {
      row = aR <= mR && merged ? 1 : aR - mR + 1;
      col = c1 - mC + 1;
    }
  } else if (aC >= c0 && aC <= c1) {
    row = r1 - mR + 1;
    col = aC <= mC && merged ? 1 : aC - mC + 1;
  } else if (aC < c0) {
    row = r1 == mR ? 1 : r1 - r0 + 1;
  } else if (r1 != mR || mC != c1) {
    row = r1 - mR + 1;
    col = c1 - c0 + 1;
  }
  // Within a merged first cell the offsets above fall before the range: such a start
  // is kept inside it, else the pass would never come back to it.
  return {1, std::clamp(row, 1L, range.Rows()), std::clamp(col, 1L, range.Columns())};
}

}  // namespace quillary::query
