#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

// "tavrin analyse --project FOLDER [--exam EXAM_FOLDER] --answers SHEETS.csv --out FOLDER
// [--force]": the item analysis of one exam's answer sheets (read as `score` reads them)
// into items.csv, test.csv, students.csv and report.pdf, and its figures remembered in the
// project. Needs the browser engine, never a display. Exit 0 when written, 1 on bad input, 2
// when a file cannot be read or written.
int analyseCommand(Context& context, const QStringList& arguments, std::FILE* out, std::FILE* err);

} // namespace tavrin
