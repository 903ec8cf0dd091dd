#include <algorithm>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

#include "compare/internal/common.h"
#include "compare/internal/messages.h"
#include "compare/internal/tag_run.h"
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

// Sort keys of worksheet positions: the row, then the column (a column number is below
// this factor), exact in a double for every cell of the grid.
constexpr double kRowFactor = 100000;

// One call of CmprMark_Find: the set-up, the walk over the list rows and the report.
class Tagger {
 public:
  explicit Tagger(TagRun& run) : r_(run), s_(run.s) {}

  void Run() {
    if (SetUp()) {
      if (WalkWanted()) {
        r_.tagArea = TagColumn();
        if (!Walk()) return;
        if (!s_.request.IgnoreIndexMode) SortListByPosition();
      }
      if (r_.listRows > 0 && On(s_, cd::kSummaryYes)) static_cast<void>(WriteDiffReport(r_));
    }
  }

 private:
  bool Compare() const { return s_.request.vbaMode.Traits().compareTwo; }

  // Settles the list, the area, the label and the blocks. False when this selection is
  // not tagged at all.
  bool SetUp() {
    xl::Worksheet& work = items::WorkSheet(s_);
    r_.listAnchor = work.Range(r_.listName);
    const xl::Range& anchor = *r_.listAnchor;
    const bool ignore = s_.request.IgnoreIndexMode;
    r_.listRows = items::ColumnCount(anchor, ignore ? items::kSideItem : items::kItemText);
    if (!ignore) {
      const long used = work.UsedRange().RowsCount();
      work.Range(anchor.Offset(0, items::kSideOrderNum), anchor.Offset(used, items::kSideItem)).ClearContents();
    }
    r_.sideB = r_.listName == host::kList1;
    r_.tagsOff = !(On(s_, cd::kListUniques) || On(s_, cd::kLocatorLabel));

    const xl::Range selection = Selection(s_);
    int areaNo = 1;
    if (selection.AreasCount() == 2) {
      r_.twoAreas = true;
      const bool leftSide = !r_.sideB;
      const bool sameColumn = selection.Areas(1).Column() == selection.Areas(2).Column();
      s_.compare.TagText = TagLabel(s_, leftSide, sameColumn);
      r_.label = s_.compare.TagText;
      areaNo = AreaOfSide(selection, leftSide);
    } else {
      if (!vba::EqualsTrue(s_.Control(host::ctl::main::kSort).Value())) return false;
      r_.label = selection.Areas(1).Address();
    }
    r_.taggedArea = selection.Areas(areaNo);
    r_.topLeftMergeCols = r_.taggedArea->Cells(1, 1).MergeArea().ColumnsCount();
    if (r_.twoAreas && Compare()) AdjacencyChecks(selection);
    SheetEndCheck();
    return true;
  }

  // Two areas side by side that share a row: the left one's tags would stand against the
  // right one (touching), or the report's extra left columns would (one column apart).
  void AdjacencyChecks(const xl::Range& selection) {
    const xl::Area a1 = selection.Areas(1).FirstArea();
    const xl::Area a2 = selection.Areas(2).FirstArea();
    const long c1 = a1.col1, c2 = a2.col1, w1 = a1.Columns(), w2 = a2.Columns();
    const bool shareRow = a1.row1 <= a2.row2 && a2.row1 <= a1.row2;
    const bool warnable = !r_.sideB && !r_.tagsOff && r_.listRows >= 1;
    const bool touching = c2 == c1 + w1 || c1 == c2 + w2;
    if (touching) {
      if (shareRow) {
        r_.areasAdjacent = true;
        if (warnable) {
          WarnNoTags(msg::kLeftAbutsRight);
          r_.tagsBlockedByNeighbour = true;
        }
      }
    } else if (c1 > 1 && c2 > 1 && On(s_, cd::kSummaryYes)) {
      const bool oneApart = c2 - 1 == c1 + w1 || c1 - 1 == c2 + w2;
      if (oneApart && shareRow) {
        r_.areasAdjacent = true;
        if (warnable) {
          Warn(msg::kReportNoLeftColumn);
          r_.reportNoLeftColumn = true;
        }
      }
    }
    r_.reportLeftColumn = !r_.areasAdjacent && !r_.reportNoLeftColumn && c1 > 1 && c2 > 1;
  }

  void SheetEndCheck() {
    const xl::Range& area = *r_.taggedArea;
    if (area.Column() + area.ColumnsCount() - 1 != items::WorkSheet(s_).ColumnsCount()) return;
    WarnNoTags(msg::AbutsSheetEnd(r_.label));
    r_.tagsBlockedBySheetEnd = true;
  }

  void Warn(TextView headline) { host::MsgBoxDLL(s_, host::MsgTitle(s_, headline), host::msgbox::kInformation); }

  // The warning that no tags can go beside the area, after the reason why.
  void WarnNoTags(TextView reason) { Warn(msg::NoTagsWarning(reason, r_.label)); }

  // The walk runs when a colour or a tag label is wanted (a comment box alone does not
  // start it).
  bool WalkWanted() const {
    return On(s_, cd::kColorLeftEnable) || On(s_, cd::kColorRightEnable) || On(s_, cd::kListUniques) ||
           On(s_, cd::kLocatorLabel);
  }

  // The column just right of the area, over its rows; none at the sheet's right end.
  std::optional<xl::Range> TagColumn() const {
    if (r_.tagsBlockedBySheetEnd) return std::nullopt;
    const xl::Range& area = *r_.taggedArea;
    const long next = area.ColumnsCount() + 1;
    return area.Parent().Range(area.Cells(1, next), area.Cells(area.RowsCount(), next));
  }

  // The values of `rows` list rows from list row `first` (0 the first), of the list's
  // column `offset` and the `width` - 1 columns after it, row by row, into `out`.
  void ListRows(long offset, long width, std::int64_t first, std::int64_t rows, std::vector<Variant>& out) const {
    const xl::Range& anchor = *r_.listAnchor;
    anchor.Parent()
        .Range(anchor.Offset(static_cast<long>(first + 1), offset),
               anchor.Offset(static_cast<long>(first + rows), offset + width - 1))
        .Values(out);
  }

  // The walk over the list rows; false when the break key stopped it.
  bool Walk() {
    const bool ignore = s_.request.IgnoreIndexMode;
    xl::Worksheet& sheet = s_.ActiveBook().ActiveSheet();
    std::vector<xl::CellPos> read = SourcePositions(r_);
    // Tags on another sheet leave the list's rows as they are: their positions are kept
    // for the steps after the walk.
    if (&sheet != &r_.listAnchor->Parent()) r_.positions = std::move(read);
    const std::vector<xl::CellPos>& sources = r_.positions ? *r_.positions : read;
    const xl::Range& area = *r_.taggedArea;
    // The Items, for tags listing them: +8 in IgnoreIndex#, +2 to +5 in CountIndex#,
    // read a block of list rows at a time; all before the first tag when the tags go
    // onto the working sheet itself.
    const long partsWidth = ignore ? 1 : 4;
    const std::int64_t partsBlock =
        &sheet == &r_.listAnchor->Parent() ? std::max<std::int64_t>(1, r_.listRows) : items::kBlockRows;
    std::vector<Variant> itemParts;
    std::int64_t partsFrom = -1;
    const auto partsOf = [&](std::int64_t i) -> const Variant* {
      if (partsFrom < 0 || i < partsFrom || i >= partsFrom + partsBlock) {
        partsFrom = i;
        ListRows(ignore ? items::kSideItem : items::kItemText, partsWidth, i, std::min(partsBlock, r_.listRows - i),
                 itemParts);
      }
      return &itemParts[static_cast<std::size_t>((i - partsFrom) * partsWidth)];
    };
    if (partsBlock > items::kBlockRows && r_.listRows > 0) static_cast<void>(partsOf(0));
    const long lastCol = area.Column() + area.ColumnsCount() - 1;
    const long firstColourCol = lastCol + r_.topLeftMergeCols - area.ColumnsCount();

    const Text window = s_.request.ActiveWndw != nullptr ? s_.request.ActiveWndw->Name() : Text();
    const bool leftColour = On(s_, cd::kColorLeftEnable) && (window == host::ctl::main::kTextbox1.name || !Compare());
    const bool rightColour = On(s_, cd::kColorRightEnable) && window == host::ctl::main::kTextbox2.name;
    const long leftBack = s_.Control(cd::kColorLeftSelect).BackColor();
    const long rightBack = s_.Control(cd::kColorRightSelect).BackColor();
    const bool listMode = (!Compare() && Selection(s_).AreasCount() == 1) || On(s_, cd::kListUniques);
    const bool locatorLabel = On(s_, cd::kLocatorLabel);
    forms::Control& idComment = s_.Control(cd::kIdComment);

    // The colours and the tags go onto the sheet once the walk ends (or stops), over
    // runs of neighbouring rows from the top: the list's rows name the worksheet's rows
    // in any order, and writes and colours in row order keep each column's runs whole
    // instead of splicing a row into them at a time. A tag is joined in memory (the tag
    // column was cleared before the first one); a row whose tag outgrows a cell is
    // written cell by cell.
    bool cleared = false;
    std::vector<long> colourRows;
    std::vector<long> tagRows;
    // The tags of the block's rows, found by their row's place among the rows the list
    // names; a row whose tag was written in an earlier block goes on from the cell.
    long topRow = 0;
    long bottomRow = -1;
    for (const xl::CellPos& p : sources) {
      topRow = bottomRow < topRow ? p.row : std::min(topRow, p.row);
      bottomRow = std::max(bottomRow, p.row);
    }
    constexpr std::uint32_t kNoTag = ~std::uint32_t{0};
    constexpr std::uint32_t kWritten = kNoTag - 1;
    std::vector<std::uint32_t> tagOfRow(static_cast<std::size_t>(bottomRow - topRow + 1), kNoTag);
    std::vector<Text> tagTexts;
    const auto tagAt = [&](long row) -> Text& {
      std::uint32_t& k = tagOfRow[static_cast<std::size_t>(row - topRow)];
      if (k == kNoTag || k == kWritten) {
        tagTexts.push_back(k == kWritten ? items::CellText(sheet.Cells(row, lastCol + 1)) : Text());
        k = static_cast<std::uint32_t>(tagTexts.size() - 1);
      }
      return tagTexts[k];
    };
    std::unordered_set<long> cellByCell;
    // The tag column's values of one run, kept from run to run: each "'" + tag is made in
    // the buffer of the value that stood in its place.
    std::vector<Variant> runValues;
    const auto flush = [&] {
      const long colourEnd = cleared ? lastCol + 1 : lastCol;
      for (const auto& side : {std::pair{leftColour, leftBack}, std::pair{rightColour, rightBack}}) {
        if (!side.first) continue;
        const auto back = side.second;
        ForEachRun(colourRows, [&](long first, long last) {
          const xl::Range marked = sheet.Range(sheet.Cells(first, firstColourCol), sheet.Cells(last, colourEnd));
          if (back == kNoColour) {
            marked.Interior().SetPattern(xl::xlNone);
          } else {
            marked.Interior().SetColor(back);
          }
        });
      }
      ForEachRun(tagRows, [&](long first, long last) {
        const auto count = static_cast<std::size_t>(last - first + 1);
        if (runValues.size() < count) runValues.resize(count);
        for (std::size_t k = 0; k < count; ++k) items::PutTextEntry(runValues[k], tagAt(first + static_cast<long>(k)));
        sheet.Range(sheet.Cells(first, lastCol + 1), sheet.Cells(last, lastCol + 1))
            .SetValues(std::span<const Variant>(runValues.data(), count));
      });
      for (const long row : tagRows) tagOfRow[static_cast<std::size_t>(row - topRow)] = kWritten;
      colourRows.clear();
      tagRows.clear();
      tagTexts.clear();
    };

    host::ProgressBar bar(s_, u" Tagging Progress: ");
    const std::int64_t n = r_.listRows;
    try {
      for (std::int64_t i = 0; i < n; ++i) {
        if (!bar.Step(i + 1, n)) {
          flush();
          return false;
        }
        const long row = sources[static_cast<std::size_t>(i)].row;
        if (r_.tagAreaState == TagAreaState::kUndecided && !r_.tagsOff && !r_.tagsBlockedByNeighbour &&
            !r_.tagsBlockedBySheetEnd) {
          CheckTagColumn();
        }
        cleared = r_.tagAreaState == TagAreaState::kCleared;
        if (leftColour || rightColour) colourRows.push_back(row);
        if (!cleared) continue;
        const xl::Range tagCell = sheet.Cells(row, lastCol + 1);
        if (listMode || locatorLabel) {
          const Text item = !listMode ? s_.compare.TagText
                            : ignore  ? vba::CStr(*partsOf(i))
                                      : CountIndexItem(partsOf(i));
          if (!cellByCell.contains(row)) {
            Text& tag = tagAt(row);
            if ((listMode && !tag.empty() ? tag.size() + 1 : 0) + item.size() <= xl::kCellTextLimit) {
              if (listMode && !tag.empty()) {
                tag += u',';
                tag += item;
              } else {
                tag = item;
              }
              tagRows.push_back(row);
            } else {
              // What the row holds so far goes onto the sheet; the sheet's own cell limit
              // decides from here on.
              flush();
              tagOfRow[static_cast<std::size_t>(row - topRow)] = kWritten;
              cellByCell.insert(row);
            }
          }
          if (cellByCell.contains(row)) {
            const Text current = items::CellText(tagCell);
            items::WriteText(tagCell, listMode && !current.empty() ? current + u',' + item : item);
          }
        }
        if (idComment.Enabled() && vba::EqualsTrue(idComment.Value()) && !tagCell.Comment()) {
          tagCell.AddComment(s_.compare.TagText).SetAutoSize(true);
        }
      }
    } catch (...) {
      flush();
      throw;
    }
    flush();
    return true;
  }

  // Calls use(first, last) for each run of neighbouring rows among `rows`, from the top.
  template <class Use>
  static void ForEachRun(std::vector<long>& rows, Use&& use) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (std::size_t k = 0; k < rows.size();) {
      std::size_t end = k + 1;
      while (end < rows.size() && rows[end] == rows[end - 1] + 1) ++end;
      use(rows[k], rows[end - 1]);
      k = end;
    }
  }

  // A CountIndex# Item as a tag, from its row's +2 to +5: the prefix without its
  // no-prefix blank and the number, and for a range "-" with the second prefix and number.
  static Text CountIndexItem(const Variant* parts) {
    const auto at = [&](long k) { return vba::CStr(parts[k]); };
    Text item = vba::LTrim(at(0)) + at(1);
    const Text second = at(2);
    if (!second.empty()) {
      item += u'-';
      item += vba::LTrim(at(3));
      item += second;
    }
    return item;
  }

  // Before the first tag: a tag column that holds anything (in a comparison, also a
  // comment box) is cleared only when the user agrees.
  void CheckTagColumn() {
    const xl::Range& tagArea = *r_.tagArea;
    const bool compare = Compare();
    const bool idComment = On(s_, cd::kIdComment);
    const double filled = s_.App().WorksheetFunction().CountA(tagArea);
    bool commentsFound = false;
    bool ask = filled != 0;
    if (compare) {
      commentsFound = HasCommentBoxes(tagArea);
      ask = ask || commentsFound;
    }
    if (ask) {
      host::ScreenOn(s_);
      const xl::Range& area = *r_.taggedArea;
      area.Cells(1, area.ColumnsCount()).Activate();
      const Text prompt = host::MsgTitle(s_, msg::TagsFoundHeadline(compare, r_.label)) +
                          msg::TagColumnQuestion(compare, r_.label, idComment, commentsFound);
      if (host::MsgBoxDLL(s_, prompt, host::msgbox::kYesNo) != host::msgbox::kAnswerYes) {
        r_.tagAreaState = TagAreaState::kNotCleared;
        return;
      }
    }
    r_.tagAreaState = TagAreaState::kCleared;
    if (const std::optional<Error> e = Attempt([&] { tagArea.ClearContents(); })) {
      const Text mode = s_.request.vbaMode.Text();
      const bool merged = vba::InStr(1, FromUtf8(e->Description()), u"merged", vba::kTextCompare) > 0;
      host::MsgBoxDLL(s_, merged ? msg::TagMergedFault(mode) : msg::TagFault(mode), host::msgbox::kInformation);
      r_.tagAreaState = TagAreaState::kNotCleared;
    }
    // A sheet that forbids formatting keeps the column's formats.
    if (!host::SheetProtectedCheck(s_)) {
      tagArea.SetWrapText(false);
      tagArea.SetVerticalAlignment(xl::xlTop);
    }
    if (idComment) {
      const xl::Range& area = *r_.taggedArea;
      const long next = area.ColumnsCount() + 1;
      area.Parent().Range(area.Cells(1, next), area.Cells(area.RowsCount(), next)).ClearComments();
    }
    host::ScreenOn(s_);
    if (const std::optional<xl::Range> active = s_.App().ActiveCell()) active->Activate();
    host::ScreenRestore(s_);
  }

  // CountIndex#: the list rows in worksheet order (row, then column; the rows of one cell
  // by Item), so that the report meets the Items of one worksheet row together. The key
  // column +6 is scratch and empty again afterwards.
  void SortListByPosition() {
    const xl::Range& anchor = *r_.listAnchor;
    xl::Worksheet& work = anchor.Parent();
    const auto n = static_cast<long>(r_.listRows);
    if (n >= 1) {
      std::vector<xl::CellPos> read;
      const std::vector<xl::CellPos>& sources = KeptPositions(r_, read);
      std::vector<Variant> keys;
      keys.reserve(sources.size());
      for (const xl::CellPos& p : sources) keys.emplace_back(static_cast<double>(p.row) * kRowFactor + p.col);
      work.Range(anchor.Offset(1, items::kSideOrderNum), anchor.Offset(n, items::kSideOrderNum)).SetValues(keys);
      const xl::Range key1 = anchor.Offset(1, items::kSideOrderNum);
      const xl::Range key2 = anchor.Offset(1, items::kItemText);
      const xl::Range key3 = anchor.Offset(1, items::kIndexNum1);
      items::SortIgnoringErrors(work.Range(anchor.Offset(1, items::kCellAddr), anchor.Offset(n, items::kSideOrderNum)),
                                {.Key1 = &key1,
                                 .Order1 = xl::xlAscending,
                                 .Key2 = &key2,
                                 .Order2 = xl::xlAscending,
                                 .Key3 = &key3,
                                 .Order3 = xl::xlAscending,
                                 .Header = xl::xlNo,
                                 .MatchCase = true,
                                 .Orientation = xl::xlTopToBottom});
    }
    const long used = work.UsedRange().RowsCount();
    work.Range(anchor.Offset(0, items::kSideOrderNum), anchor.Offset(used, items::kSideOrderNum)).ClearContents();
  }

  TagRun& r_;
  State& s_;
};

}  // namespace

std::vector<xl::CellPos> SourcePositions(const TagRun& run) {
  std::vector<xl::CellPos> out;
  if (run.listRows == 0) return out;
  const xl::Range& anchor = *run.listAnchor;
  const long col = run.s.request.IgnoreIndexMode ? items::kSideCellAddr : items::kCellAddr;
  // Read a block at a time; an address is parsed where it stands, not copied out.
  items::ColumnReader addresses(anchor, col, run.listRows);
  xl::Worksheet& sheet = run.s.ActiveBook().ActiveSheet();
  out.reserve(static_cast<std::size_t>(run.listRows));
  Text other;
  for (std::int64_t i = 1; i <= run.listRows; ++i) {
    const Variant& a = addresses.At(i);
    const TextView text = a.IsText() ? TextView(a.AsText()) : TextView(other = vba::CStr(a));
    const std::optional<xl::Reference> ref = xl::ParseA1(text, sheet.RowsCount(), sheet.ColumnsCount());
    if (!ref || ref->areas.empty() || ref->sheet) {
      Raise(err::kApplication, "Method 'Range' of object '_Worksheet' failed");
    }
    out.push_back({ref->areas.front().row1, ref->areas.front().col1});
  }
  return out;
}

const std::vector<xl::CellPos>& KeptPositions(const TagRun& run, std::vector<xl::CellPos>& read) {
  if (run.positions) return *run.positions;
  read = SourcePositions(run);
  return read;
}

void CmprMark_Find(State& s, const Text& listName) {
  ErrorTrail("CmprMark_Find", [&] {
    if (s.App().ActiveWorkbook() == nullptr || s.request.progress.UserAbort) return;
    TagRun run(s, listName);
    Tagger(run).Run();
    // The report sheet gets the General number format when this call wrote rows on it.
    if (run.reportWrote) {
      const Text name = s.Control(host::ctl::mail::kResultSheet).Caption();
      xl::Workbook& book = s.ActiveBook();
      for (long i = 1; i <= book.Worksheets().Count(); ++i) {
        xl::Worksheet& sheet = book.Worksheets().Item(i);
        if (vba::StrComp(sheet.Name(), name, vba::kTextCompare) == 0) {
          sheet.Range(sheet.Cells(1, 1), sheet.Cells(sheet.RowsCount(), sheet.ColumnsCount()))
              .SetNumberFormat(u"General");
          break;
        }
      }
    }
    ResetFindSettings(s);
  });
}

}  // namespace quillary::compare
