#pragma once

// The steps of a table that any program folder takes, with or without windows: its files (a
// project's by their path there, the program folder's as "@/..."), the prompts' answers and
// what they showed, the log and the clock.
#include "support/test_program.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>

namespace tavrin::test {

class ProgramSteps {
public:
    // project gives the folder that plain relative paths are in.
    ProgramSteps(TestProgram& p, std::function<QString()> project);
    ~ProgramSteps();
    // One step; known is false when the verb is none of these.
    void take(const QString& verb, const QString& a, const QString& b, const QString& c,
              const QString& where, bool& known);
    // A project's file by its path there, the program folder's ("@/..."), or any by its
    // absolute path.
    QString at(const QString& path) const;

private:
    TestProgram& p_;
    std::function<QString()> project_;
    QMap<QString, QByteArray> kept_; // files kept aside by "keep", compared by "unchanged"
    QMap<QString, QMap<QString, QByteArray>> keptFiles_; // folders' files, by "keep-files"
    qsizetype mark_ = 0;                                 // the prompts shown when "mark" was said
    qsizetype logMark_ = 0;                              // the log's length at "mark-log"
    std::optional<mode_t> umaskBefore_;                  // put back when the steps end
};

// A step: its verb, its arguments, where it stands, and its row's index (a block of rows moves
// it past its end).
using Step = std::function<void(const QString& verb, const QString& a, const QString& b,
                                const QString& c, const QString& where, qsizetype& r)>;
// A step of the caller's own; known is false when it does not know the verb.
using OwnStep =
    std::function<void(const QString& verb, const QString& a, const QString& b, const QString& c,
                       const QString& where, qsizetype& r, bool& known)>;

// The rows as steps, each a check of its own: a failed step ends the run and names itself.
// Each row is (verb, arguments a, b, c with "@program" standing for the program folder);
// "inside" names the block the rows are in.
void eachStep(TestProgram& p, const QList<QStringList>& rows, const QString& name,
              const QString& inside, const Step& step);

// The table tests/data/<relative> over a program folder: each row a step of `own` or else of
// ProgramSteps; an unknown verb fails. Each of the names (as "@away") stands for its folder in
// the steps' arguments.
void runProgramSteps(TestProgram& p, const QString& relative,
                     const std::function<QString()>& project, const OwnStep& own,
                     const QMap<QString, QString>& names = {});

} // namespace tavrin::test
