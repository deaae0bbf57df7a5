#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

// "tavrin export-questions --project FOLDER [--field N [--lesson N]]
// --format gift|moodle|scorm --out PATH [--pass-mark P] [--one-sco]": the made questions of
// the project, a field or a lesson (numbers 1-based) as a GIFT file, a Moodle XML file or a
// SCORM 1.2 package. Exit 0 when written, 1 on bad input (the reason on err), 2 when a file
// cannot be read or written.
int exportQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err);

// "tavrin import-questions --project FOLDER --field N --lesson N --format gift|moodle
// [--replace] FILE": the file's questions made into the lesson's quiz file as the formatter
// makes it; a lesson that has a quiz file (or unmade work) is refused without --replace.
// Skipped questions are listed on err. Exit codes as above.
int importQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err);

} // namespace tavrin
