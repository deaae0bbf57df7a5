#pragma once

#include "app/activity_log.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_source.h"

#include <QDateTime>
#include <QString>

namespace tavrin {

// What every window and core service is handed instead of globals: the program folder,
// the log and its two files, the clock, the prompts and the random source.
class Context {
public:
    Context(QString programFolder, QString secondLogPath, const Clock& clock, Prompts& prompts,
            RandomSource& random);
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    const QString& programFolder() const { return programFolder_; }
    // Built afresh from the program folder, as the log asks for it on every entry.
    QString firstLogPath() const;
    const QString& secondLogPath() const { return secondLogPath_; }

    QDateTime now() const { return clock_.now(); }
    Prompts& prompts() const { return prompts_; }
    RandomSource& random() const { return random_; }
    ActivityLog& log() { return log_; }

private:
    QString programFolder_;
    QString secondLogPath_;
    const Clock& clock_;
    Prompts& prompts_;
    RandomSource& random_;
    ActivityLog log_;
};

// "C:\Vonk.log" on Windows; elsewhere "Vonk.log" in the user's home folder.
QString defaultSecondLogPath();

} // namespace tavrin
