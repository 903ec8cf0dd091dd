// The Duplicates_Summary text: a 36-character header, then one entry per run of equal
// Items of the duplicates list, "\nDup\t" & the count in six characters & "\t" & Item.
#include "items/internal/dup_report.h"

#include <algorithm>

#include "host/callbacks.h"
#include "host/text_replace.h"
#include "items/internal/display.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

constexpr std::size_t kHeaderLength = 36;
static_assert(std::size(msg::kSummaryHeader) - 1 == kHeaderLength);
constexpr std::size_t kEntryOverhead = 12;  // "\nDup\t" + six-character count + "\t"
constexpr std::size_t kCountWidth = 6;
// A summary this long no longer fits into a comment box.
constexpr std::size_t kCommentLimit = 32768;

// The rows of the duplicates list one after another, from the sheet or from the runs
// kept in hand: each row's Item, and whether it opens an entry (its Item differs from
// the row before it).
class DupRows {
 public:
  DupRows(const host::State& s, const xl::Range& dups, std::int64_t n, const DupRuns* inHand)
      : s_(s), column_(dups, kItemText, n), inHand_(inHand) {}

  // The next row's Item; valid until the next call.
  TextView Next(bool& opensEntry) {
    if (inHand_ != nullptr) {
      const TextView item = inHand_->Item(run_);
      opensEntry = taken_ == 0;
      if (++taken_ == inHand_->runs[run_].second) {
        ++run_;
        taken_ = 0;
      }
      return item;
    }
    const Variant& v = column_.At(++row_);
    TextView current = v.IsText() ? TextView(v.AsText()) : TextView(scratch_ = ValueText(v));
    opensEntry = vba::StrComp(current, previous_, s_.request.CompareMode) != 0;
    previous_.assign(current);
    return current;
  }

 private:
  const host::State& s_;
  ColumnReader column_;
  const DupRuns* inHand_;
  std::size_t run_ = 0;
  std::int64_t taken_ = 0;
  std::int64_t row_ = 0;
  Text scratch_, previous_;
};

}  // namespace

void DuplicateReport(host::State& s, const Text& listName, const DupRuns* inHand) {
  ErrorTrail("DuplicateReport", [&] {
    if (!(vba::EqualsTrue(s.Control(host::ctl::main::kSort).Value()) && s.request.IgnoreIndexMode)) return;
    const xl::Range list = ListAnchor(s, listName);
    const xl::Range dups = list.Offset(0, kSideOrderNum);
    xl::Worksheet& sheet = list.Parent();

    // A value in the anchor cell: the Item rows are cleared (to their last row).
    if (!list.Value().IsEmpty()) {
      const long rows = static_cast<long>(std::max<std::int64_t>(ColumnCount(list, kItemText), 1));
      sheet.Range(list, list.Offset(rows, kPrefix2)).ClearContents();
    }

    const std::int64_t n = ColumnCount(dups, kItemText);
    if (n == 0) return;
    if (inHand != nullptr && inHand->rows != n) inHand = nullptr;

    const bool progress = 2 * n > 100;
    const bool showText =
        host::ModeOf(s.Control(host::ctl::mail::kModeHold).Caption()) != host::ModeId::kNetlistConvert;

    std::int64_t total = 0;
    {
      host::ProgressBar bar(s, u" DupsReport Progress: ");
      DupRows rows(s, dups, n, inHand);
      for (std::int64_t i = 1; i <= n; ++i) {
        if (progress && !bar.Step(i, 2 * n, showText)) return;
        bool opens = false;
        const TextView current = rows.Next(opens);
        if (opens) total += static_cast<std::int64_t>(current.size() + kEntryOverhead);
      }
    }

    Text& summary = s.items.DupSummaryText;
    summary.assign(kHeaderLength + static_cast<std::size_t>(total), u' ');
    summary.replace(0, kHeaderLength, msg::kSummaryHeader);

    if (summary.size() >= kCommentLimit && vba::EqualsTrue(s.Control(host::ctl::main::kTagDuplicates).Value())) {
      host::InfoMsg(s, {msg::SummaryTooLongText(n, total, s.Control(host::ctl::main::kTagDuplicates).Caption())});
      summary.replace(18, 18, msg::kCantDisplayAll);
    }

    // Each new Item opens an entry counting 1; a repeat rewrites the entry's count field
    // in place, right-aligned. Counts from 99999 on show as ">99999".
    host::ProgressBar bar(s, u" ToCommentBox Progress: ");
    std::size_t p = kHeaderLength;  // the end of what is written
    std::size_t runLength = 0;      // the length of the open entry's Item
    std::int64_t runCount = 0;      // the open entry's count
    static constexpr TextView kNewEntry = u"\nDup\t     1\t";
    DupRows rows(s, dups, n, inHand);
    for (std::int64_t i = 1; i <= n; ++i) {
      if (progress && !bar.Step(n + i, 2 * n, showText)) return;
      bool opens = false;
      const TextView current = rows.Next(opens);
      if (opens) {
        summary.replace(p, kNewEntry.size(), kNewEntry);
        p += kNewEntry.size();
        summary.replace(p, current.size(), current);
        p += current.size();
        runLength = current.size();
        runCount = 1;
      } else {
        const std::size_t field = p - runLength - 1 - kCountWidth;
        ++runCount;
        // The count right-aligned in its six characters.
        char16_t shown[kCountWidth];
        if (runCount < 99999) {
          std::int64_t rest = runCount;
          for (std::size_t k = kCountWidth; k-- > 0;) {
            shown[k] = rest > 0 || k == kCountWidth - 1 ? static_cast<char16_t>(u'0' + rest % 10) : u' ';
            rest /= 10;
          }
        } else {
          const TextView over = u">99999";
          std::copy(over.begin(), over.end(), shown);
        }
        summary.replace(field, kCountWidth, shown, kCountWidth);
      }
    }

    host::ReplaceItRef(summary, TextView(&kApostropheMark, 1), u"'");
    s.items.ItemCountText = vba::IntegerText(n);
  });
}

}  // namespace quillary::items
