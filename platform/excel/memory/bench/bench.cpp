// Times the operations the Item engine repeats on a list of a million rows: writes of
// single cells, whole-value Find, End and Sort.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "platform/excel/memory/memory.h"

namespace {

using quillary::Text;
using quillary::Variant;
using namespace quillary::xl;

Text Item(long n) {
  std::string s = "'R" + std::to_string(n) + "-X";
  return Text(s.begin(), s.end());
}

class Timer {
 public:
  explicit Timer(const char* what) : what_(what), start_(std::chrono::steady_clock::now()) {}
  ~Timer() {
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::printf("%-48s %8.3f s\n", what_, s);
  }

 private:
  const char* what_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

int main() {
  constexpr long kRows = 1000000;
  constexpr long kFinds = 100000;
  auto app = memory::CreateApplication();
  Worksheet& sheet = app->Workbooks().Add().ActiveSheet();
  std::mt19937 random(7);
  std::vector<long> order(kRows);
  for (long i = 0; i < kRows; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), random);

  {
    Timer t("write 1,000,000 texts (one cell at a time)");
    for (long r = 1; r <= kRows; ++r) {
      sheet.Cells(r, 1).SetValue(Item(order[static_cast<std::size_t>(r - 1)]));
      sheet.Cells(r, 2).SetValue(r);
    }
  }
  Range column = sheet.Range(u"A:A");
  {
    Timer t("first whole-value Find (builds the index)");
    column.Find({.What = u"R1-X", .LookIn = xlValues, .LookAt = xlWhole, .SearchOrder = xlByColumns});
  }
  long found = 0;
  {
    Timer t("100,000 whole-value Finds");
    for (long i = 0; i < kFinds; ++i) {
      Text what = Item(static_cast<long>(random() % kRows)).substr(1);
      if (column.Find({.What = what, .LookIn = xlValues, .LookAt = xlWhole, .SearchOrder = xlByColumns})) ++found;
    }
  }
  {
    Timer t("100,000 writes with the index kept up to date");
    for (long i = 0; i < kFinds; ++i) sheet.Cells(1 + static_cast<long>(random() % kRows), 1).SetValue(Item(kRows + i));
  }
  {
    Timer t("100,000 Finds after the writes");
    for (long i = 0; i < kFinds; ++i) {
      Text what = Item(kRows + static_cast<long>(random() % kFinds)).substr(1);
      if (column.Find({.What = what, .LookIn = xlValues, .LookAt = xlWhole, .SearchOrder = xlByColumns})) ++found;
    }
  }
  // Gaps every 100 rows in column C, then End from every row of a stretch.
  for (long r = 1; r <= 200000; ++r) {
    if (r % 100 != 0) sheet.Cells(r, 3).SetValue(r);
  }
  long sum = 0;
  {
    Timer t("End(xlDown) and End(xlUp) from 200,000 rows");
    for (long r = 1; r <= 200000; ++r) {
      sum += sheet.Cells(r, 3).End(xlDown).Row();
      sum += sheet.Cells(r, 3).End(xlUp).Row();
    }
  }
  {
    Timer t("Sort 1,000,000 rows x 2 columns by text");
    Range key = sheet.Cells(1, 1);
    sheet.Range(u"A1:B1000000").Sort({.Key1 = &key, .Order1 = xlAscending, .Header = xlNo, .MatchCase = false});
  }
  {
    Timer t("Sort 1,000,000 rows by number, descending");
    Range key = sheet.Cells(1, 2);
    sheet.Range(u"A1:B1000000").Sort({.Key1 = &key, .Order1 = xlDescending, .Header = xlNo, .MatchCase = true});
  }
  {
    Timer t("100,000 Finds after the sort (index kept)");
    for (long i = 0; i < kFinds; ++i) {
      Text what = Item(static_cast<long>(random() % kRows)).substr(1);
      if (column.Find({.What = what, .LookIn = xlValues, .LookAt = xlWhole, .SearchOrder = xlByColumns})) ++found;
    }
  }
  {
    Timer t("CountA and UsedRange");
    sum += static_cast<long>(app->WorksheetFunction().CountA(column));
    sum += sheet.UsedRange().RowsCount();
  }
  std::printf("(found %ld, checksum %ld)\n", found, sum);
  return 0;
}
