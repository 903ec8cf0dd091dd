// REDUCE Rows to One and then EXPAND Row to Many on generated bills of materials: every
// reference designator comes back, once, in the order of the list, beside every other
// text of its part, whatever the style and however many rows of a part come before its
// first designators.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "actions/row_expand.h"
#include "actions/rows_reduce.h"
#include "actions/tests/row_fixture.h"
#include "host/callbacks.h"
#include "items/list_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/vba.h"
#include "testkit/bench.h"

namespace quillary::actions {

namespace {

using testing::Fill;
using testing::SheetStartingWith;
using testing::Table;
namespace msgbox = host::msgbox;

enum class Style { kIndented = 1, kNameChange = 2, kAfterEmptyCell = 3 };  // the style dialog's answers

// A bill of materials: part name, description, designators, value. Every part has
// `leadRows` rows before the row where its designators begin (the row of the bolded
// cell), which may hold a note in the designators' column, then one to four rows of
// one to three designators each.
struct Bom {
  Table rows;
  std::vector<Text> designators;    // in the order of the list
  std::vector<std::size_t> partOf;  // the part of each designator
  // Each part's other texts as one row of the result reads them, cell by cell from the
  // left and line by line: the lead rows' cells side by side, then the designator
  // rows' descriptions folded into one cell and their values into another.
  std::vector<std::vector<Text>> partTexts;
  long boldRow = 0;  // 1-based row of the first part's first designators
};

// The lines of cells, cell by cell, without empty ones.
std::vector<Text> Lines(const std::vector<Text>& cells) {
  std::vector<Text> lines;
  for (const Text& cell : cells) {
    std::size_t start = 0;
    for (std::size_t end; start <= cell.size(); start = end + 1) {
      end = std::min(cell.find(u'\n', start), cell.size());
      if (end > start) lines.push_back(cell.substr(start, end - start));
    }
  }
  return lines;
}

Text Num(long n) { return vba::IntegerText(n); }

Bom Generate(unsigned seed, Style style, long leadRows) {
  std::mt19937 random(seed);
  const auto between = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(random); };
  Bom bom;
  long designator = 0;
  const long parts = between(2, 12);
  for (long p = 1; p <= parts; ++p) {
    long rows = leadRows + between(1, 4);
    // A part of After Empty Cell ends at the next non-empty first cell that follows an
    // empty one: a one-row part would run into the next.
    if (style == Style::kAfterEmptyCell) rows = std::max(rows, 2L);
    std::vector<Text> texts{Text(u"P").append(Num(p))};
    std::vector<Text> descriptions, values;
    for (long r = 0; r < rows; ++r) {
      const Text name = r == 0 || style == Style::kNameChange ? u"P" + Num(p) : Text();
      const Text description = Text(u"part ").append(Num(p)).append(u" line ").append(Num(r));
      const Text value = Text(u"v").append(Num(p)).append(u".").append(Num(r));
      Text refs;
      if (r < leadRows) {
        if (between(0, 1) == 0) refs = Text(u"note ").append(Num(p)).append(u".").append(Num(r));
        texts.insert(texts.end(), {description, refs, value});
      } else {
        for (long k = between(1, 3); k > 0; --k) {
          ++designator;
          const Text ref = (designator % 2 == 0 ? u"C" : u"R") + Num(designator);
          if (!refs.empty()) refs += between(0, 1) == 0 ? u"," : u", ";
          refs += ref;
          bom.designators.push_back(ref);
          bom.partOf.push_back(static_cast<std::size_t>(p - 1));
        }
        descriptions.push_back(description);
        values.push_back(value);
      }
      if (p == 1 && r == leadRows) bom.boldRow = static_cast<long>(bom.rows.size()) + 1;
      bom.rows.push_back({name, description, refs, value});
    }
    texts.insert(texts.end(), descriptions.begin(), descriptions.end());
    texts.insert(texts.end(), values.begin(), values.end());
    bom.partTexts.push_back(Lines(texts));
  }
  return bom;
}

// The column of `sheet` whose heading in row 2 is the Items column's.
long ItemsColumn(xl::Worksheet& sheet) {
  for (long c = 1; c <= 64; ++c) {
    if (items::CellText(sheet.Cells(2, c)) == u"Reference") return c;
  }
  return 0;
}

TEST(ReduceThenExpand, GivesBackEveryDesignatorInOrder) {
  for (const Style style : {Style::kIndented, Style::kNameChange, Style::kAfterEmptyCell}) {
    for (long leadRows = 0; leadRows <= 2; ++leadRows) {
      for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(std::string("style ")
                         .append(std::to_string(static_cast<int>(style)))
                         .append(", lead rows ")
                         .append(std::to_string(leadRows)) +
                     ", seed " + std::to_string(seed));
        const Bom bom = Generate(seed, style, leadRows);
        testkit::Bench b;
        xl::Worksheet& source = b.book->ActiveSheet();
        source.SetName(u"Parts");
        Fill(source, 1, 1, bom.rows);
        b.Control(host::ctl::main::kIgnoreIndex).SetValue(true);
        b.Control(host::ctl::main::kSort).SetValue(false);

        b.BeginRequest(host::ModeId::kReduceRowsToOne);
        source.Range(source.Cells(1, 1), source.Cells(static_cast<long>(bom.rows.size()), 4)).Select();
        source.Cells(bom.boldRow, 3).Font().SetBold(true);
        b.addin.QueueBigMsgAnswer(static_cast<int>(style));
        b.addin.QueueMessageAnswer(msgbox::kAnswerNo);      // no sorting
        b.addin.QueueMessageAnswer(msgbox::kAnswerNo);      // no page set-up
        b.addin.QueueMessageAnswer(msgbox::kAnswerCancel);  // the windows as they are
        RowsReduce(b.state);
        xl::Worksheet* reduced = SheetStartingWith(b, u"Parts-Reduced1");
        ASSERT_NE(reduced, nullptr);
        const long joined = ItemsColumn(*reduced);
        ASSERT_GT(joined, 0);

        const xl::Range table = reduced->UsedRange();
        const long lastRow = table.Row() + table.RowsCount() - 1;
        const long lastCol = table.Column() + table.ColumnsCount() - 1;
        reduced->Activate();
        b.BeginRequest(host::ModeId::kExpandRowToMany);
        reduced->Range(reduced->Cells(3, 2), reduced->Cells(lastRow, lastCol)).Select();
        reduced->Cells(3, joined).Font().SetBold(true);
        b.addin.QueueBigMsgAnswer(1);
        b.addin.QueueMessageAnswer(msgbox::kAnswerNo);
        b.addin.QueueMessageAnswer(msgbox::kAnswerCancel);
        RowExpand(b.state);
        xl::Worksheet* expanded = SheetStartingWith(b, u"Parts-Reduced1-Expanded1");
        ASSERT_NE(expanded, nullptr);
        const long column = ItemsColumn(*expanded);
        ASSERT_GT(column, 0);

        std::vector<Text> back;
        const xl::Range out = expanded->UsedRange();
        for (long r = 3; !expanded->Cells(r, column).Value().IsEmpty(); ++r) {
          const std::size_t n = back.size();
          back.push_back(items::CellText(expanded->Cells(r, column)));
          if (n >= bom.designators.size()) continue;
          std::vector<Text> others;
          for (long c = 2; c < out.Column() + out.ColumnsCount(); ++c) {
            if (c != column) others.push_back(items::CellText(expanded->Cells(r, c)));
          }
          EXPECT_EQ(Lines(others), bom.partTexts[bom.partOf[n]]) << "row " << r;
        }
        EXPECT_EQ(back, bom.designators);
      }
    }
  }
}

}  // namespace

}  // namespace quillary::actions
