// A memory application with one workbook for the tests of this folder.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/excel/memory/memory.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary {
// Readable values in test failure messages.
inline void PrintTo(const Variant& v, std::ostream* os) { *os << Describe(v); }
}  // namespace quillary

namespace quillary::xl::memory {

using check::ErrorOf;

class SheetTest : public ::testing::Test {
 protected:
  explicit SheetTest(GridSize grid = GridSize::Large)
      : app(CreateApplication()), book(&app->AddWorkbook(grid)), sheet(&book->ActiveMemorySheet()) {}

  xl::Range R(const char* reference) { return sheet->Range(T(reference)); }
  // Writes a column of values from the given cell down.
  void Fill(const char* top, std::initializer_list<Variant> values) {
    xl::Range cell = R(top);
    long i = 0;
    for (const Variant& v : values) cell.Offset(i++, 0).SetValue(v);
  }
  std::unique_ptr<MemoryApplication> app;
  MemoryWorkbook* book;
  MemoryWorksheet* sheet;
};

}  // namespace quillary::xl::memory
