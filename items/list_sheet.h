// The Item lists on the working sheet: the layout of their rows and the helpers every
// Item routine shares (the anchors, the count rule of a column, the Find of an Item in a
// column, and the closing Find that leaves the application's search options in a known
// state).
//
// A list hangs under an anchor cell in row 1 of the working sheet ("unique1" at A1,
// "unique1_w" at K1). Its rows start at row offset 1, one Item per row (ItemRow), and
// beside them three columns (SideList). Column offsets from the anchor:
//
//   +0 DistinctItem (CountIndex#) or OrderNum (IgnoreIndex#)   +1 CellAddr
//   +2 ItemText or Prefix1   +3 IndexNum1 (a number)   +4 IndexNum2 (text)   +5 Prefix2
//   +6 SideOrderNum          +7 SideCellAddr           +8 SideItem
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "host/state.h"
#include "items/fault_codes.h"
#include "platform/excel/excel.h"

namespace quillary::items {

// Column offsets of an ItemRow and of the SideList beside it.
inline constexpr long kDistinctItem = 0;
inline constexpr long kOrderNum = 0;
inline constexpr long kCellAddr = 1;
inline constexpr long kItemText = 2;
inline constexpr long kIndexNum1 = 3;
inline constexpr long kIndexNum2 = 4;
inline constexpr long kPrefix2 = 5;
inline constexpr long kSideOrderNum = 6;
inline constexpr long kSideCellAddr = 7;
inline constexpr long kSideItem = 8;

// Placeholders that Item texts carry for characters the lists cannot hold as they are.
inline constexpr char16_t kApostropheMark = u'\u00B4';  // an apostrophe of the cell
inline constexpr char16_t kCommaMark = u'\u00A8';       // a comma inside a joined cell
inline constexpr char16_t kJoinMark = u'\u00AF';        // between the cells of a joined row
inline constexpr char16_t kTabMark = u'\x1F';           // a Tab in the Active Window
// The prefix of an Item that has none.
inline constexpr char16_t kNoPrefix[] = u" ";

// Search texts handed to Find are at most this long; an Item whose escaped text is longer
// is found through a LongItemIndex.
inline constexpr std::size_t kFindLimit = 254;

// The working sheet of the active workbook; Error 9 when it has none.
xl::Worksheet& WorkSheet(host::State& s);
// The anchor cell of a list ("unique1" or "unique1_w").
xl::Range ListAnchor(host::State& s, TextView listName);
// The other list's name: "unique1_w" for "unique1", else "unique1".
Text OtherList(TextView listName);

// The rows of a column under an anchor: 0 when row offset 1 is empty, 1 when row
// offset 2 is empty, else the row End(xlDown) reaches from row offset 1, less 1 (the
// anchors stand in row 1). Gaps end the count.
std::int64_t ColumnCount(const xl::Range& anchor, long colOffset);

// Sorts `block`. A sort error is passed over: the caller then works on the rows as they
// stand. True when the block was sorted.
bool SortIgnoringErrors(const xl::Range& block, const xl::SortArgs& args);

// Sorts a list's Item rows by ItemText, then IndexNum1 (from the CellAddr column in
// CountIndex#, whose DistinctItem column is not an Item column and keeps its order; from
// OrderNum in IgnoreIndex#). A list of fewer than two rows is left alone; a sort error
// is passed over. True when the rows stand sorted.
bool SortItemRows(const xl::Range& anchor, bool ignoreIndex, bool matchCase);

// A cell value as text, as the lists read them (error values as their display text).
Text CellText(const xl::Range& cell);
Text ValueText(const Variant& value);

// The values of one column under an anchor, from row offset 1 to `rows`, read a block
// of rows at a time (whole-area reads), for a walk down a column that none of its steps
// writes.
// The long walks over the working sheet read and write it this many rows at a time.
inline constexpr long kBlockRows = 4096;

class ColumnReader {
 public:
  ColumnReader(const xl::Range& anchor, long colOffset, std::int64_t rows);
  // The value at row offset i (1 to rows).
  const Variant& At(std::int64_t i);

 private:
  xl::Range anchor_;
  long col_;
  std::int64_t rows_;
  std::vector<Variant> block_;
  std::int64_t from_ = 0;  // the row offset of block_'s first value; 0 before the first read
};
// The value that makes the sheet keep a text as text: "'" & text (for whole-area writes).
Variant TextEntry(TextView text);
// Makes `value` the TextEntry of `text`, in the buffer of the text it held (for blocks
// of values filled again and again).
void PutTextEntry(Variant& value, TextView text);
// Writes a text so that the sheet keeps it as text: "'" & text.
void WriteText(const xl::Range& cell, TextView text);
// Writes a value as it stands: a text through WriteText, anything else as itself.
void WriteValue(const xl::Range& cell, const Variant& value);

// The Item capacity of a list on `sheet`: its rows less 3.
std::int64_t ItemCapacity(const xl::Worksheet& sheet);

// Find's wildcards escaped: "~" to "~~", then "*" to "~*", then "?" to "~?".
Text EscapeFindText(TextView text);
// The length of EscapeFindText(text), without building it.
std::size_t EscapedLength(TextView text);
// The wildcard characters a text holds, each once, in the order "~", "*", "?".
Text WildcardsIn(TextView text);

// The rows of one column range whose values are too long for a whole-value Find (their
// escaped text is longer than kFindLimit), by their whole text, so that FindItem finds a
// long Item in O(log n) rather than by walking every cell that shares its first
// characters. A routine that searches a column many times keeps one index for it: the
// index reads the column once, at its first search of a long Item, and the routine then
// tells it of every cell of the column it writes or clears (Refresh).
//
// A long Item matches a value whose first characters - as many as a part-match Find of
// the Item's first kFindLimit escaped characters takes - are equal with
// `prefixMatchCase`, and whose whole text StrComp calls equal under `compareMode`
// (StrComp's text compare calls two texts equal exactly when their case-folded forms
// are). With the binary compare the whole text decides alone.
class LongItemIndex {
 public:
  // `within` is one column of one area.
  LongItemIndex(const xl::Range& within, bool prefixMatchCase, int compareMode);

  const xl::Range& Within() const { return within_; }
  bool PrefixMatchCase() const { return prefixMatchCase_; }

  // The row of the first matching cell in Find's order - from the range's second cell
  // down, then its first cell - for an Item whose escaped text is longer than
  // kFindLimit.
  std::optional<long> FirstRow(TextView item);

  // Re-reads `cell`, a cell of the range, after the caller wrote or cleared it.
  void Refresh(const xl::Range& cell);

 private:
  Text Key(TextView text) const;
  void Build();
  void Add(long row, TextView text);
  void Remove(long row);

  xl::Range within_;
  bool prefixMatchCase_;
  int compareMode_;
  bool built_ = false;
  std::unordered_map<Text, std::set<long>> rowsByKey_;
  std::unordered_map<long, const Text*> keyOfRow_;  // into rowsByKey_, whose keys stay put
};

// Finds a cell of `longItems`' range whose whole value is `item`, searching by columns
// from the top as Find does (the range's first cell last). An escaped text of up to
// kFindLimit characters is found by a whole-value Find with `matchCase`; a longer one
// through the index, after a part-match Find of its first kFindLimit escaped characters
// on the range's first cell alone, which leaves the application's remembered search
// options as a search of the whole column would.
std::optional<xl::Range> FindItem(LongItemIndex& longItems, TextView item, bool matchCase);

// The DistinctItem column (+0) of a CountIndex# list while its Items are written: each
// Item's name or Prefix1 is entered at the distinct row and looked for in the column
// (case-sensitively: the grouping that reads the column tells "r" from "R"). A name met
// for the first time keeps its row; a repeated one is overwritten by the next name, and
// cleared at the end. The column is kept in memory, the names in a hash, and written to
// the sheet when the walk ends (Write).
class DistinctColumn {
 public:
  // The column under `anchor` (the list's anchor).
  DistinctColumn(host::State& s, const xl::Range& anchor);

  // Before each piece of the text being read (empty ones too): when the name entered
  // last was new, the next one goes below it.
  void Advance();
  // Enters `name` at the distinct row. Returns 0, or fault::kLongWildcard with FaultMsg
  // set when the escaped name is longer than kFindLimit and holds a wildcard (such a
  // name cannot be searched by its start); the name is entered all the same.
  ItemFaultCode Add(TextView name);
  // Writes the column, a block of rows at a time, from row offset 1 (the anchor's row
  // is left alone). `dropRepeated`: the entry made last is left out when it repeated an
  // earlier one, as at the end of a walk; a walk stopped by the break key keeps it.
  void Write(bool dropRepeated);

 private:
  host::State& s_;
  xl::Range anchor_;
  // The names kept (row offsets 1, 2, ...), each also a key of rowOf_.
  std::unordered_map<Text, long> rowOf_;
  std::vector<const Text*> kept_;
  Text last_;  // the name at row_ when it repeated an earlier one
  bool lastEntered_ = false;
  long row_ = 1;        // row offset of the next entry
  long lastFound_ = 0;  // row offset where the last name entered was first met
};

// Numbers the OrderNum column (+0) of an IgnoreIndex# list of `written` Items: 1 (also
// when none was written), 2, then the pair AutoFilled down to the row of the last Item
// (End(xlDown) from +2 of row offset 1).
void NumberOrderColumn(const xl::Range& anchor, std::int64_t written);

// Leaves the application's remembered search options at LookIn values, LookAt part, by
// columns, next, without case: a Find for an empty text on the emptied anchor cell,
// whose value is then written back.
void ResetFindOptions(const xl::Range& anchor);

}  // namespace quillary::items
