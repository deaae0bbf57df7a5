#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

// "tavrin read-sheets --exam EXAM_FOLDER --out SHEETS.csv [--review REVIEW_FOLDER] [--force]
// SCAN…": answer sheets of a printed exam read back from scans (files or folders of PDF,
// PNG, JPEG, TIFF) into the sheets `score --exam` reads, every doubt a row of review.csv.
// Exit 0 when every page was read, 1 when a page was refused, 2 when a file cannot be read
// or written.
int readSheetsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                      std::FILE* err);

} // namespace tavrin
