#include "query/messages.h"

#include "platform/runtime/text_order.h"

namespace quillary::query::msg {

namespace {

constexpr char16_t kCr[] = u"\r";
constexpr char16_t kBlankLine[] = u"\r\r";

constexpr char16_t kOtherActions[] =
    u"Other Quillary Actions that might help are: \"CommaSpace: Set\" and \"Prefix: Set\".";
constexpr char16_t kCaseSensitive[] =
    u"CountIndex# Mode is enabled which causes Query to be Upper and Lower case sensitive.";

// "Choose", a button's caption in quotation marks, and what it does.
Text Choose(bool twoBlanks, TextView caption, TextView what) {
  Text t = twoBlanks ? u"Choose  \"" : u"Choose \"";
  t += caption;
  t += u"\"";
  t += what;
  return t;
}

}  // namespace

Text FaultPrefix(TextView label1) {
  if (text_order::EqualNoCase(label1, u"Find Item:")) return Text();
  Text t = u"FAULT: \"";
  t += label1;
  t += u"\"";
  t += kBlankLine;
  return t;
}

Text NotFoundText(bool ignoreIndex, TextView faultPrefix, bool wholeSheet) {
  const Text where = wholeSheet ? Text(u"on the current worksheet.") + kBlankLine +
                                      u"Because only one cell was selected, the whole worksheet was searched. To "
                                      u"limit the search area and shorten the search time, make a pre-selection."
                                : Text(u"WITHIN YOUR SELECTION.");
  if (ignoreIndex) {
    return Text(faultPrefix) + kBlankLine +
           u"IgnoreIndex# is enabled - Not searching inside ranges - Case insensitive." + kBlankLine +
           u"Query could not find a match for the specified Item " + where;
  }
  return u"Query could not find a match for the Item specified " + where + kBlankLine +
         u"Check that you have used proper syntax for your search term because Quillary's Query generally abides "
         u"by the rules which define Items." +
         kBlankLine + kCaseSensitive + u" " + kCr +
         u"For Query to be case insensitive, use IgnoreIndex# Mode or use Quillary's \"Case\" Actions to set cells "
         u"to the same Case." +
         kBlankLine + u"TRY USING QUILLARY'S \"CommaSpace: Clr\" Action or try using \"IgnoreIndex#\" Mode." +
         kBlankLine + kOtherActions;
}

Text CannotFindText(TextView faultPrefix, bool faultLocator, bool countIndex) {
  Text t = Text(faultPrefix) + u"The Item can not be found using Query" +
           (faultLocator ? u", but its cell is probably highlighted anyway." : u".") +
           u" Will now change from \"Quillary FAULT LOCATOR\" mode to \"Quillary Query Item  Ctrl+Q/Alt+Q\" mode so "
           u"that you can edit the search term.";
  if (faultLocator && countIndex) {
    t += kBlankLine;
    t += u"Because Quillary's Query generally locates Items based on the selected mode's rules, a specific Item "
         u"within the highlighted cell cannot be identified by Query due to a syntax problem.";
  }
  if (countIndex) {
    t += kBlankLine;
    t += kCaseSensitive;
    t += kCr;
    t += u"TRY USING QUILLARY'S \"CommaSpace: Clr\" Action or try using the \"IgnoreIndex#\" Mode.";
  }
  t += kBlankLine;
  t += u"Automatically locate faults/duplicates by closing Query dialogs and use GET/TRY.";
  t += kBlankLine;
  t += kOtherActions;
  return t;
}

Text JoinedCellsFaultText(TextView faultPrefix, TextView mode) {
  return Text(faultPrefix) + u"A Fault occurred while Joining Cells for \"" + Text(mode) + u"\"." + kBlankLine +
         u"A cell will be highlighted that is associated with the Fault." + kCr +
         u"Because cell content has been joined, a single offending cell might not be able to be located as the "
         u"cause of the Fault.";
}

Text BigNumText() {
  return Text(
             u"You are using \"CountIndex#\" Mode and a number with 15 digits or more was found within the name you "
             u"typed into the Query field \"Find Item\".") +
         kBlankLine + u"Excel cannot process this number without the possibility of introducing rounding errors." +
         kBlankLine + u"Use the \"IgnoreIndex#\" Mode to ignore number values.";
}

Text EndOfDuplicatesText(bool anotherName, TextView nextCaption, TextView differentCaption, bool spaced) {
  const TextView review = u" to review the other Duplicates with this same name.";
  if (anotherName) {
    return Text(u"This is the last different Duplicate name found within your selection.") + kBlankLine +
           Choose(false, nextCaption, review) + kBlankLine +
           Choose(spaced, differentCaption, u" to cycle back to the first Duplicate to review again.");
  }
  return Text(
             u"There is only one Duplicate name within your selection and this is the last Duplicate with that "
             u"name.") +
         kBlankLine + Choose(spaced, nextCaption, review);
}

Text SameTextText(bool hyphenAdvice) {
  Text t = Text(u"No change.") + kBlankLine + u"The replacement text specified ";
  if (!hyphenAdvice) return t + kCr + u"is the same as the original text.";
  return t + u"is the same as the original text." + kBlankLine +
         u"Attempts to modify hyphenated ranges of Index#'s might not be successful due to hyphen syntax checking." +
         kCr + u"Try using the IgnoreIndex# Mode.";
}

Text NoChangeText() {
  return Text(u"No change.") + kBlankLine + u"Could not modify original text with replacement text." + kCr +
         u"Possibly due to invisible unsupported characters in the original text.";
}

}  // namespace quillary::query::msg
