#include "items/internal/messages.h"

#include <initializer_list>

#include "host/callbacks.h"
#include "platform/runtime/vba.h"

namespace quillary::items::msg {

Text LongWildcardFault(TextView wildcards, std::size_t escapedLength) {
  return u"w/WildCard>254chrs: w/ " + Text(wildcards) + u" =" +
         vba::Format(static_cast<double>(escapedLength), u"##,##0");
}

Text BlankItemText() {
  Text m = u" CountIndex# Mode: ";
  m += host::kParagraph;
  m += u"There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma "
       u"(or hard line-break) at the beginning or ending of a cell.";
  m += host::kParagraph;
  m += u"The count will NOT increment for this blank entry nor for any other blank entry found.";
  m += u"\r";
  m += u"This message will not be re-displayed unless the process is re-run from the start again.";
  m += host::kParagraph;
  m += u"Use Quillary's \"CommaSpace_Clear\" or \"CommaSpace_Set\" to clean the selection, or paste (auto-paste or "
       u"manual) Quillary's Window for a cleaned results list.";
  m += host::kParagraph;
  m += u"IngoreIndex# Mode does not report empty Items between commas.";
  return m;
}

Text ExpandedLimitText(TextView capacity) {
  return u"The maximum Item count of " + Text(capacity) + u" has been exceeded." + host::kParagraph +
         u"Try processing smaller amounts of Items or turn off the \"ExpandRanges\" option.";
}

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

Text TagHelpText(TextView tagCaption, bool joinCells, bool items, bool pasteDownward, bool pasteRight) {
  const Text lf = u"\n";
  const Text dq = u"\"";
  const Text cap4(tagCaption);
  const Text notPasted = kNotPasted + dq + cap4 + dq + lf + kNotPasted2 + lf + lf;
  const Text during = dq + cap4 + dq + u" during " + dq;

  if (pasteDownward) {
    if (items) {
      Text t = during + u"Paste V" + dq + u"." + lf + kShapeStatus + lf + lf;
      if (joinCells) t += kWholeRows + lf + lf;
      return t + notPasted + kMarkedInShape;
    }
    return (joinCells ? kCountRows : kCountItems) + lf + lf + kCountStatus;
  }
  if (pasteRight) {
    const Text t = during + u"Paste >" + dq + u"." + lf + kRowStatus + lf + lf;
    if (items) return t + notPasted + kMarkedOnRow;
    return t + kCountOnRow + lf + kLikeNonSort;
  }
  return kNoDuplicatesText;
}

}  // namespace quillary::items::msg
