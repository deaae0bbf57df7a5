#pragma once

#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "store/store_view.h"

#include <QString>
#include <optional>

namespace tavrin {

class Context;

// The exam the CD offers: on unless the project says "0"; minutes a lesson (0: no limit) and
// questions an exam draws (0: all), read as 0 when missing or not a number in range.
struct ExamSettings {
    bool on = true;
    int minutes = 0;
    int count = 0;
};
ExamSettings examSettings(const ProjectSettings& settings);
constexpr int kMostExamMinutes = 600;
constexpr int kMostExamQuestions = kQuizEntries;

// Writes one changed setting back to the project file's Settings block: "Music",
// "Olgoo", "Printable", "ExamOn", "ExamMinutes" and "ExamCount" hold text, "Music1", "Music2",
// "BackPic", "Export" and "Import" a Path. A missing element is added; the rest of the file stays
// byte for byte. A path that would damage the file is refused with its own notice; a file that
// cannot be written (a full disk, a read-only project) is logged and said in why.
struct KeptSetting {
    enum class Outcome { Kept, Refused, Failed };
    Outcome outcome = Outcome::Kept;
    QString why;
    bool kept() const { return outcome == Outcome::Kept; }
};
KeptSetting KeepSetting(Context& context, const QString& projectPath, const QString& tag,
                        const QString& value);
// Several settings changed together (a dialog's OK): one reading and one safe write of the
// file for all of them; any value that would damage it refuses the whole change.
KeptSetting KeepSettings(Context& context, const QString& projectPath,
                         const QList<std::pair<QString, QString>>& values);

// The comprehensive exam's budget and the fields' weights in a project file's text after a
// delete: the removed lesson's (or field's) go, the later ones follow their new ids.
QString renumberedScoring(const QString& projectText, const Renumbering& renumbering);

// The settings the project's file holds now; nothing when the file does not read.
std::optional<ProjectSettings> storedSettings(Context& context, const QString& projectPath);

} // namespace tavrin
