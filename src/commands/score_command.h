#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

// "tavrin score --project FOLDER --answers FILE [--penalty N/D] --out FILE [--force]": answer
// sheets taken on paper (UTF-8 CSV, "name,F-L-Q,…" then a row a student) scored by the
// project's rule, or by --penalty ("0", "1/3", "1/4", …), into a CSV of a row per student and
// field and a row per student "overall". Exit 0 when written, 1 on bad input (the reason and
// the line on err), 2 when a file cannot be read or written. With --exam FOLDER (a paper
// exam's output) the rows are "name,version,printed answers…" mapped through its exam.json.
int scoreCommand(Context& context, const QStringList& arguments, std::FILE* out, std::FILE* err);

} // namespace tavrin
