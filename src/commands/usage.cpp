#include "commands/usage.h"

#include <QCoreApplication>
#include <utility>

namespace tavrin {

namespace {

struct Verb {
    const char* name;
    const char* usage;
};

// One line a verb, then what it does; kept beside the README's account of each.
const Verb kVerbs[] = {
    {"check", "tavrin check EXPORT_FOLDER\n"
              "  The check before the disc, one finding a line; exit 0, 1 with errors, 2 when it "
              "cannot run."},
    {"image", "tavrin image EXPORT_FOLDER OUT.iso\n"
              "  The check, an ISO 9660 image with Joliet and Rock Ridge, and its read-back."},
    {"export-questions",
     "tavrin export-questions --project FOLDER [--field N [--lesson N]] --format "
     "gift|moodle|scorm\n"
     "                        --out PATH [--pass-mark PERCENT] [--one-sco] [--force]\n"
     "  The made questions of a lesson, a field or the project for learning platforms."},
    {"import-questions",
     "tavrin import-questions --project FOLDER --field N --lesson N --format gift|moodle\n"
     "                        [--replace] FILE\n"
     "  A GIFT or Moodle XML file's questions made into the lesson's quiz file."},
    {"score", "tavrin score --project FOLDER [--exam EXAM_FOLDER] --answers SHEETS.csv\n"
              "             [--penalty N/D] --out RESULT.csv [--force]\n"
              "  Answer sheets scored by the project's rule, a row a student and field."},
    {"read-sheets",
     "tavrin read-sheets --exam EXAM_FOLDER --out SHEETS.csv [--review REVIEW_FOLDER]\n"
     "                   [--force] SCAN...\n"
     "  Answer sheets read back from scans (PDF, PNG, JPEG, TIFF files or folders) into\n"
     "  the sheets score --exam reads; every doubt a row of REVIEW_FOLDER/review.csv."},
    {"print-exam",
     "tavrin print-exam --project FOLDER --out FOLDER [--versions 1-4] [--seed N]\n"
     "                  [--field N [--lesson N]] [--title T] [--school S] [--class C]\n"
     "                  [--teacher T] [--date 1405/9/17] [--minutes M] [--columns 1|2]\n"
     "                  [--font-size 9-16] [--keep-answer-order] [--html FOLDER] [--force]\n"
     "  An exam on paper: booklets, answer sheets, keys and explanations as PDF."},
    {"analyse", "tavrin analyse --project FOLDER [--exam EXAM_FOLDER] --answers SHEETS.csv\n"
                "               --out FOLDER [--force]\n"
                "  Item analysis of an exam's sheets: items.csv, test.csv, students.csv (with\n"
                "  taraz) and report.pdf; the figures are remembered in the project."},
};

} // namespace

QStringList verbNames() {
    QStringList names;
    for (const Verb& v : kVerbs)
        names.append(QLatin1String(v.name));
    return names;
}

QString verbUsage(const QString& verb) {
    for (const Verb& v : kVerbs)
        if (verb == QLatin1String(v.name))
            return QStringLiteral("usage: ") + QString::fromUtf8(v.usage) + u'\n';
    return {};
}

QString programUsage() {
    QString out = QStringLiteral("usage: tavrin            (the window; it needs a display)\n"
                                 "       tavrin --help | --version\n"
                                 "       tavrin VERB --help\n\n");
    for (const Verb& v : kVerbs)
        out += QString::fromUtf8(v.usage) + QStringLiteral("\n\n");
    out += QStringLiteral("Fields and lessons are numbered from 1. Exit 0 when done, 1 on bad "
                          "input with the reason, 2 when a file cannot be read or written.\n");
    return out;
}

QString programVersion() {
    return QStringLiteral("tavrin ") + QStringLiteral(TAVRIN_VERSION) + u'\n';
}

} // namespace tavrin
