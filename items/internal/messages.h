// The texts of the Item engine's messages, fault lines and Active Window texts that only
// the engine and its tests read. None carries a title.
#pragma once

#include <cstdint>

#include "platform/runtime/value.h"

namespace quillary::items::msg {

// The fault lines a gathering, the grammar and the count leave in FaultMsg.
inline constexpr char16_t kBigNum[] = u"BigNum >=15 digits";
inline constexpr char16_t kMissingNumberAfter[] = u"Missing Number After Hyphen";
inline constexpr char16_t kMixedHyphenPrefix[] = u"Mixed Prefix & NoPrefix after hyphen";
inline constexpr char16_t kMixedPlainNum[] = u"Mixed PlainNum & PrefixIndexNum";
inline constexpr char16_t kMissingNumberBefore[] = u"Missing Number Before Hyphen";
inline constexpr char16_t kFirstNotBelowSecond[] = u"First >= HyphenSecond";
inline constexpr char16_t kMissingFirstPrefix[] = u"Missing 1st Prefix but has 2nd Prefix";
inline constexpr char16_t kCellError[] = u"Error in Cell Formula";
inline constexpr char16_t kPrefixMismatch[] = u"1st Prefix/2nd Prefix Mismatch";
inline constexpr char16_t kManyHyphens[] = u"Has More Than 1 Hyphen";
inline constexpr char16_t kSpaceInSecondPrefix[] = u"Space found in 2nd Prefix";
inline constexpr char16_t kTabInSecondPrefix[] = u"Tab found in 2nd Prefix";
inline constexpr char16_t kSpaceInFirstPrefix[] = u"Space found in 1st Prefix";
inline constexpr char16_t kTabInFirstPrefix[] = u"Tab found in 1st Prefix";
inline constexpr char16_t kSpaceInItemName[] = u"Space found in Item Name";
inline constexpr char16_t kTooManyItems[] = u"Too Many Items";
inline constexpr char16_t kLongCell[] = u">32,767 Chars in Cell";
inline constexpr char16_t kLongJoin[] = u">32,767 Chars Joining Cells";
inline constexpr char16_t kTooManyExpanded[] = u"Too Many Items - ExpandRanges is ON";
inline constexpr char16_t kTooManyDescriptions[] = u"Too_Many_Item_Descriptions";
inline constexpr char16_t kDuplicate[] = u" Duplicate";
inline constexpr char16_t kPrefixWithAndWithout[] = u"Prefix with and without Index#";
// An Item longer than a search takes that holds wildcards: the wildcards found and the
// Item's length with them escaped.
Text LongWildcardFault(TextView wildcards, std::size_t escapedLength);

// The Item a cell whose formula gives an error is listed as.
inline constexpr char16_t kCellErrorItem[] = u"#Error in Cell Formula";

// The notice for an empty Item between commas (CountIndex# mode, once per run), after
// the title.
Text BlankItemText();
// An expanded list reached the sheet's `capacity` (digits).
Text ExpandedLimitText(TextView capacity);

// The characters line's note that the gathering passed hidden cells.
inline constexpr char16_t kHiddenCells[] = u" Hidden cells.";
// The characters line's tail after the Active Window's length.
inline constexpr char16_t kCharacters[] = u" Characters.";

// The Duplicates_Summary's title, and the 36-character header that opens it: the title
// padded with blanks.
inline constexpr char16_t kSummaryTitle[] = u"Duplicates_Summary";
inline constexpr char16_t kSummaryHeader[] = u"Duplicates_Summary                  ";
// Written over the header's blanks when the summary is shown for pasting.
inline constexpr char16_t kReadyToPaste[] = u"  (ready to paste)";
// Written over the header's blanks when the summary is too long for a comment box.
inline constexpr char16_t kCantDisplayAll[] = u"\nCAN'T DISPLAY ALL";
// The message on a summary too long for a comment box: `duplicates` rows found, a
// summary of `characters`, `tagCaption` the tag box's caption.
Text SummaryTooLongText(std::int64_t duplicates, std::int64_t characters, TextView tagCaption);

// What the Active Window says when duplicates are tagged instead of listed: where no
// duplicates were found, and the sentences of the help for the two paste modes.
inline constexpr char16_t kNoDuplicatesText[] = u"No Duplicates Were Found Within Your Selection";
inline constexpr char16_t kShapeStatus[] =
    u"Quillary's Status Message will indicate if a duplicate has been found only within the size/shape of your "
    u"original selection.";
inline constexpr char16_t kRowStatus[] =
    u"Quillary's Status Message will indicate if a duplicate has been found only within the selection on a single "
    u"row.";
// The tag box's caption in double quotes goes between the two.
inline constexpr char16_t kNotPasted[] = u"Items are not auto-Pasted when using ";
inline constexpr char16_t kNotPasted2[] = u"(only Counts or fault messages are pasted).";
inline constexpr char16_t kWholeRows[] =
    u"You were checking for duplicates of whole rows (each considered to be a single Item) within your selection "
    u"size/shape.";
inline constexpr char16_t kMarkedInShape[] =
    u"Any duplicates marked were found only within the size/shape of your original selection.";
inline constexpr char16_t kMarkedOnRow[] =
    u"Any duplicates marked were found only on the row which received the mark (within the selection).";
inline constexpr char16_t kCountRows[] =
    u"Each count pasted to the right of your selection indicates how many non-empty whole rows were within your "
    u"selection size/shape.";
inline constexpr char16_t kCountItems[] =
    u"Each count pasted to the right of your selection indicates how many Items were within your selection "
    u"size/shape (regardless of whether they might be duplicates).";
inline constexpr char16_t kCountStatus[] =
    u"Quillary's Status Message will indicate if a duplicate has been found only within the selection size/shape.";
inline constexpr char16_t kCountOnRow[] =
    u"Each count pasted to the right of your selection indicates how many Items were within your selection on the "
    u"same row as the count (regardless of whether they might be duplicates).";
inline constexpr char16_t kLikeNonSort[] = u"This is very similar to using a non-Sort mode.";

// The help for tagged duplicates: `tagCaption` the tag box's caption, `joinCells` whole
// rows taken as Items, `items` the paste type Items (not Count), and the paste direction;
// kNoDuplicatesText when neither direction is set.
Text TagHelpText(TextView tagCaption, bool joinCells, bool items, bool pasteDownward, bool pasteRight);

}  // namespace quillary::items::msg
