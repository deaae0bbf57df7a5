#include "app/context.h"

#include "platform/paths.h"

#include <QDir>

namespace tavrin {

Context::Context(QString programFolder, QString secondLogPath, const Clock& clock, Prompts& prompts,
                 RandomSource& random)
    : programFolder_(std::move(programFolder)), secondLogPath_(std::move(secondLogPath)),
      clock_(clock), prompts_(prompts), random_(random), log_(*this) {}

QString Context::firstLogPath() const {
    return DoSlash(programFolder_) + QStringLiteral("Vonk.txt");
}

QString defaultSecondLogPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Vonk.log");
#else
    return QDir::homePath() + QStringLiteral("/Vonk.log");
#endif
}

} // namespace tavrin
