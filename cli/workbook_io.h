// Workbook files of the command-line host.
//
// A workbook is a folder holding one CSV file per sheet (csv.h) and a manifest,
// "workbook.txt", in the word syntax of words.h, one entry per line:
//
//   quillary-workbook 1                   first entry: marks the folder as a workbook
//   grid large|small                      1,048,576 x 16,384 or 65,536 x 256 cells
//   sheet NAME FILE VISIBLE               in sheet order; VISIBLE -1, 0 or 2 (very hidden)
//   select SHEET AREAS ACTIVECELL         a sheet's selection ("$A$1:$B$4,$D$2") and active cell
//   active SHEET                          the active sheet
//   name SHEET|* NAME REFERS [hidden]     a sheet-level name (or "*": workbook-level) and its
//                                         reference in R1C1 form ("=Sheet1!R1C1:R4C2")
//
// A cell's CSV field is what a user types to enter its value: numbers as the
// application writes them, TRUE and FALSE, an error value's text ("#N/A"), a formula's
// source, and a text with a "'" before it when typing it would make anything else of it
// (xl::memory::EnteredValue: a number such as "1,000" or "12%", an error value, ...) or
// lose its leading "'". Dates are not read from typed texts ("6-10" stays a text). Only
// the cells up to the last used row and column are written; a sheet's cells always
// start at A1.
//
// A path ending in ".xlsx" is an xlsx workbook instead (xlsx.h), for loading and for
// saving.
//
// Loading also takes plain CSV files (one sheet each, named after the file) or a folder
// without a manifest (each of its *.csv files, in name order).
#pragma once

#include <filesystem>
#include <span>

#include "platform/excel/excel.h"
#include "platform/excel/memory/memory.h"

namespace quillary::cli {

inline constexpr char kManifestFile[] = "workbook.txt";

// True when `folder` holds a manifest of this format (its first entry says so).
bool IsWorkbookFolder(const std::filesystem::path& folder);

// Opens a new workbook of `app` (it becomes the active one) from a workbook folder, a
// folder of CSV files, or CSV files (a large grid for these). Raises Failure, naming
// the file or manifest line, when a file cannot be read, does not fit the grid or
// holds what the application refuses (a sheet name, a defined name).
xl::Workbook& LoadWorkbook(xl::memory::MemoryApplication& app, std::span<const std::filesystem::path> paths);

// Saves the workbook as a workbook folder. The files are written into a new folder
// beside `folder`, which then takes its place in one step; when anything fails, what
// was at `folder` stays as it was and Failure is raised. `folder` must be absent, an
// empty folder or a workbook folder: anything else is refused.
void SaveWorkbook(xl::Workbook& book, const std::filesystem::path& folder);

// The value entered for a CSV field: an error value's text becomes that error value,
// anything else is the text (which the entry rules then read).
Variant FieldValue(const Text& field);

// The CSV field of a cell (see above).
Text CellField(xl::Worksheet& sheet, long row, long col);

}  // namespace quillary::cli
