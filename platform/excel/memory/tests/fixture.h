// A memory application with one workbook for the tests of this folder.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/excel/memory/internal/objects.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary {
// Readable values in test failure messages.
inline void PrintTo(const Variant& v, std::ostream* os) { *os << Describe(v); }
}  // namespace quillary

namespace quillary::xl::memory {

using check::ErrorOf;

// An application of this backend with its objects' own members in reach.
inline std::unique_ptr<MemoryApplicationImpl> NewApplication(ApplicationOptions options = {}) {
  return std::make_unique<MemoryApplicationImpl>(std::move(options));
}

class SheetTest : public ::testing::Test {
 protected:
  explicit SheetTest(GridSize grid = GridSize::Large)
      : app(NewApplication()), book(&app->AddWorkbook(grid)), sheet(&book->ActiveMemorySheet()) {}

  xl::Range R(const char* reference) { return sheet->Range(T(reference)); }
  // Writes a column of values from the given cell down.
  void Fill(const char* top, std::initializer_list<Variant> values) {
    xl::Range cell = R(top);
    long i = 0;
    for (const Variant& v : values) cell.Offset(i++, 0).SetValue(v);
  }
  std::unique_ptr<MemoryApplicationImpl> app;
  MemoryWorkbook* book;
  MemoryWorksheet* sheet;
};

}  // namespace quillary::xl::memory
