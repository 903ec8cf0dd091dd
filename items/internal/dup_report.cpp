// The Duplicates_Summary text: a 36-character header, then one entry per run of equal
// Items of the duplicates list, "\nDup\t" & the count in six characters & "\t" & Item.
#include "items/internal/dup_report.h"

#include <algorithm>

#include "host/callbacks.h"
#include "host/text_replace.h"
#include "items/internal/display.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

constexpr std::size_t kHeaderLength = 36;
static_assert(std::size(kSummaryHeader) - 1 == kHeaderLength);
constexpr std::size_t kEntryOverhead = 12;  // "\nDup\t" + six-character count + "\t"
constexpr std::size_t kCountWidth = 6;
// A summary this long no longer fits into a comment box.
constexpr std::size_t kCommentLimit = 32768;

}  // namespace

Text SummaryTooLongText(std::int64_t duplicates, std::int64_t characters, TextView tagCaption) {
  return host::Paragraphs({vba::Format(static_cast<double>(duplicates), u"###,##0") +
                               u" Duplicates have been found and the Summary Report is " +
                               vba::Format(static_cast<double>(characters), u"###,##0") +
                               u" characters. This Summary Report will not fit inside a Comment box.",
                           u"If a Summary Report is needed, use Quillary's \"" + Text(tagCaption) +
                               u"\" option and one will be ready in the clipboard for pasting. You will have the "
                               u"choice of turning off Tagging and Color Marking if you are only interested in the "
                               u"Summary Report.",
                           u""});
}

void DuplicateReport(host::State& s, const Text& listName) {
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
    ColumnReader column(dups, kItemText, n);
    // Item i as text: a view of the value read, or of `scratch` holding its text.
    Text scratch;
    auto item = [&](std::int64_t i) -> TextView {
      const Variant& v = column.At(i);
      if (v.IsText()) return v.AsText();
      scratch = ValueText(v);
      return scratch;
    };

    const bool progress = 2 * n > 100;
    const bool showText =
        host::ModeOf(s.Control(host::ctl::mail::kModeHold).Caption()) != host::ModeId::kNetlistConvert;

    std::int64_t total = 0;
    {
      host::ProgressBar bar(s, u" DupsReport Progress: ");
      Text previous;
      for (std::int64_t i = 1; i <= n; ++i) {
        if (progress && !bar.Step(i, 2 * n, showText)) return;
        const TextView current = item(i);
        if (vba::StrComp(current, previous, s.request.CompareMode) != 0) {
          total += static_cast<std::int64_t>(current.size() + kEntryOverhead);
        }
        previous.assign(current);
      }
    }

    Text& summary = s.items.DupSummaryText;
    summary.assign(kHeaderLength + static_cast<std::size_t>(total), u' ');
    summary.replace(0, kHeaderLength, kSummaryHeader);

    if (summary.size() >= kCommentLimit && vba::EqualsTrue(s.Control(host::ctl::main::kTagDuplicates).Value())) {
      host::InfoMsg(s, {SummaryTooLongText(n, total, s.Control(host::ctl::main::kTagDuplicates).Caption())});
      summary.replace(18, 18, u"\nCAN'T DISPLAY ALL");
    }

    // Each new Item opens an entry counting 1; a repeat rewrites the entry's count field
    // in place, right-aligned. Counts from 99999 on show as ">99999".
    host::ProgressBar bar(s, u" ToCommentBox Progress: ");
    std::size_t p = kHeaderLength;  // the end of what is written
    std::size_t runLength = 0;      // the length of the open entry's Item
    std::int64_t runCount = 0;      // the open entry's count
    Text previous;
    static constexpr TextView kNewEntry = u"\nDup\t     1\t";
    for (std::int64_t i = 1; i <= n; ++i) {
      if (progress && !bar.Step(n + i, 2 * n, showText)) return;
      const TextView current = item(i);
      if (vba::StrComp(current, previous, s.request.CompareMode) != 0) {
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
      previous.assign(current);
    }

    host::ReplaceItRef(summary, TextView(&kApostropheMark, 1), u"'");
    s.items.ItemCountText = vba::IntegerText(n);
  });
}

}  // namespace quillary::items
