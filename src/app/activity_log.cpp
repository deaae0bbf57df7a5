#include "app/activity_log.h"

#include "app/context.h"
#include "app/identity.h"
#include "platform/calendar.h"
#include "platform/file_system.h"
#include "platform/text_file.h"

namespace tavrin {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

void ActivityLog::LogMe(const QString& message) {
    DoLog(message, context_.firstLogPath());
    DoLog(message, context_.secondLogPath());
}

void ActivityLog::DoLog(const QString& message, const QString& path) {
    try {
        if (!fileExists(path)) {
            const QString header = QStringLiteral("In the Name of Allah") + kCrLf + kCrLf +
                                   QStringLiteral("This is a log file for ") + kAppTitle +
                                   QStringLiteral(" software") + kCrLf + kCrLf +
                                   QStringLiteral("Created in ") + ShamsiDate(context_.now()) +
                                   kCrLf + QString(22, QLatin1Char('=')) + kCrLf + kCrLf;
            saveAnsiFile(path, header);
        }
    } catch (...) {
        // A log that cannot be created is skipped; the entry below then fails too.
    }
    try {
        appendAnsiFile(path, ShamsiDate(context_.now()) + QStringLiteral(": ") + message + kCrLf);
    } catch (...) {
    }
}

void ActivityLog::LogErr(int code) {
    LogMe(QStringLiteral("Error occurred => Error number is %1 (%2)").arg(code).arg(errText_));
    errText_ = QStringLiteral("not set");
}

} // namespace tavrin
