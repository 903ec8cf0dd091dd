// The display phase of ItemsSortCntDsply: the counted list joined into the Active
// Window text, with the fault markers, the formula guard and the placeholders, shown in
// the Active Window (or a help text, or the duplicates summary instead).
#include "items/internal/display.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/internal/dup_report.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "items/put_text.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

constexpr char16_t kMarkerOpen[] = u" Quilet> ";
constexpr char16_t kMarkerClose[] = u" <Quilet";
// A text starting with one of these would be taken for a formula.
constexpr char16_t kFormulaStarts[] = u"+-=$%@(";

bool CompareShows(host::CompareStage stage) {
  return stage == host::CompareStage::kLeftUniques || stage == host::CompareStage::kRightUniques ||
         stage == host::CompareStage::kWindowUniques;
}

// Every apostrophe placeholder back to an apostrophe.
void ApostrophesBack(Text& text) { host::ReplaceItRef(text, TextView(&kApostropheMark, 1), u"'"); }

// Joins the n Items under `shown` (its column +2) into DisplayText with separators of
// `sep` characters (", " or ","), in one pass straight into DisplayText: once the first
// rows show the Items' usual length, room for the whole list is taken at once, so the
// text is seldom moved as it grows. The bar's second half, where the text was once
// filled, still steps and still hears the break key. False when the user stopped.
bool JoinItems(host::State& s, bool quiet, const xl::Range& shown, std::int64_t n, std::size_t sep) {
  const bool progress = 2 * n > 100;
  host::ProgressBar bar(s, u" ToDisplay Progress: ", false);
  constexpr std::int64_t kSampleRows = 4096;
  constexpr double kMostReserved = 1 << 25;  // characters
  const TextView separator = TextView(u", ").substr(0, sep);

  Text& text = s.request.DisplayText;
  text.clear();
  ColumnReader column(shown, kItemText, n);
  Text scratch;
  for (std::int64_t i = 1; i <= n; ++i) {
    if (progress && !bar.Step(i, 2 * n, !quiet)) return false;
    if (i == kSampleRows + 1) {
      // A quarter more than the rows so far make likely, up to a cap: a sorted list may
      // open with long Items, and past the cap the text grows as it needs.
      const auto estimate = static_cast<double>(text.size()) / kSampleRows * static_cast<double>(n) * 1.25;
      text.reserve(static_cast<std::size_t>(std::min(estimate, kMostReserved)));
    }
    const Variant& v = column.At(i);
    if (i > 1) text.append(separator);
    if (v.IsText()) {
      text.append(v.AsText());
    } else {
      scratch = ValueText(v);
      text.append(scratch);
    }
  }
  for (std::int64_t i = 1; progress && i <= n; ++i) {
    if (!bar.Step(n + i, 2 * n, !quiet)) return false;
  }
  return true;
}

// The list text between the fault markers, with the offending Item after it.
void MarkFault(host::State& s, const CountHandOver& h) {
  const bool indexed = !s.request.IgnoreIndexMode;
  const TextView open = indexed ? TextView(kMarkerOpen) : TextView();
  const TextView close = indexed ? TextView(kMarkerClose) : TextView();
  TextView list = s.request.DisplayText;
  if (!list.empty() && list.front() == u',') list.remove_prefix(1);

  Text marked;
  switch (h.faultKind) {
    case FaultKind::kPrefixWithAndWithout:
      marked.reserve(open.size() + list.size() + 2 + h.faultPrefix.size() + close.size());
      marked.append(open).append(list).append(u", ").append(h.faultPrefix).append(close);
      break;
    case FaultKind::kDuplicate:
      if (!indexed) return;
      marked.reserve(open.size() + list.size() + 2 + h.faultPrefix.size() + h.faultIndex.size() + close.size());
      marked.append(open).append(list).append(u", ").append(h.faultPrefix).append(h.faultIndex).append(close);
      break;
    case FaultKind::kNone:
      marked.reserve(open.size() + s.request.FaultItem.size() + close.size());
      marked.append(open).append(s.request.FaultItem).append(close);
      break;
  }
  s.request.DisplayText = std::move(marked);
}

// What the Active Window says instead of the list when duplicates are tagged and no
// summary is shown.
Text TagHelpText(const host::State& s, const RequestOptions& o) {
  const bool joinCells = vba::EqualsTrue(s.Control(host::ctl::compdup::kJoinCells).Value());
  const bool items = s.Control(host::ctl::main::kPasteType).Caption() == u"Items";
  return msg::TagHelpText(s.Control(host::ctl::main::kTagDuplicates).Caption(), joinCells, items, o.pasteDownward,
                          o.pasteRight);
}

// Puts a text into the Active Window through its Text, which for a text box is its
// Value: a list of millions of characters goes in with one copy rather than two.
void ShowInWindow(host::State& s, TextView text) { s.request.ActiveWndw->SetText(text); }

// The DupsList kept in hand by the walk, when the summary is of the list it walked.
const DupRuns* DupsInHand(const Text& listName, const CountHandOver& h) {
  return listName == host::kList1 && h.dupRuns ? &*h.dupRuns : nullptr;
}

}  // namespace

void DisplayCountedList(host::State& s, const RequestOptions& o, const Text& listName, CountHandOver& h) {
  const xl::Range shown = *h.displayAnchor;
  const std::int64_t n = ColumnCount(shown, kItemText);
  if (s.request.IgnoreIndexMode) h.itemCount = n;
  const std::size_t sep =
      vba::EqualsTrue(s.Control(host::ctl::main::kCommaSpace).Value()) && !s.request.IgnoreIndexMode ? 2 : 1;
  const bool compare = o.compareTwo;
  const bool compareShows = CompareShows(o.stage);

  if (s.request.DisplayText.empty() && n >= 1 && (compare || !h.tagDuplicates) && (!compare || compareShows)) {
    if (!JoinItems(s, o.quietStatusBar, shown, n, sep)) return;
  }

  if (!(compare && !compareShows) && !h.tagDuplicates && !s.request.FaultMsg.empty()) MarkFault(s, h);

  if (!s.request.DisplayText.empty() &&
      TextView(kFormulaStarts).find(s.request.DisplayText.front()) != TextView::npos) {
    s.request.DisplayText.insert(s.request.DisplayText.begin(), u' ');
  }

  if (o.stage == host::CompareStage::kWindowUniques) {
    Text window = vba::CStr(s.Control(host::ctl::main::kTextbox1).Value());
    ItemsPutText(s, o, window, host::kList2);
  }

  if (!(compare && !compareShows && !h.listWasEmpty)) {
    if (compareShows || !(s.request.IgnoreIndexMode && vba::EqualsTrue(s.Control(host::ctl::main::kSort).Value()))) {
      ApostrophesBack(s.request.DisplayText);
      ShowInWindow(s, s.request.DisplayText);
    } else if (h.tagDuplicates) {
      if (h.faultKind != FaultKind::kNone && !o.pasteDownward && !o.pasteRight) {
        DuplicateReport(s, host::kList1, DupsInHand(listName, h));
        // A summary cut short by the break key is not shown.
        if (s.request.progress.UserAbort) return;
        if (s.items.DupSummaryText.size() >= TextView(msg::kSummaryHeader).size()) {
          vba::MidAssign(s.items.DupSummaryText, 19, msg::kReadyToPaste, 18);
        }
        s.request.DisplayText = s.items.DupSummaryText;
        ShowInWindow(s, s.request.DisplayText);
      } else {
        s.request.ActiveWndw->SetValue(TagHelpText(s, o));
      }
    } else {
      ApostrophesBack(s.request.DisplayText);
      ShowInWindow(s, s.request.DisplayText);
      DuplicateReport(s, host::kList1, DupsInHand(listName, h));
      if (s.request.progress.UserAbort) return;
      host::ReplaceItRef(s.items.DupSummaryText, msg::kSummaryHeader, msg::kSummaryTitle, 1, 1, 0);
    }
  }

  host::ReplaceItRef(s.request.DisplayText, TextView(&kTabMark, 1), u"\t");

  if (!s.request.IgnoreIndexMode) ResetFindOptions(ListAnchor(s, listName));
  s.items.ItemCountText = vba::IntegerText(h.itemCount);
}

}  // namespace quillary::items
