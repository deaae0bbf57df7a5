#include "platform/web_module.h"

#include "platform/fs_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin {

namespace {
const QString kModule = QStringLiteral("libtavrin_web.so");

// The engine's own helper processes among the program's children.
QList<pid_t> helpers() {
    QList<pid_t> out;
    for (const QString& task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& pid : children.readAll().simplified().split(' ')) {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(pid)));
            if (!pid.isEmpty() && comm.open(QIODevice::ReadOnly) &&
                comm.readAll().startsWith("QtWebEngineProc"))
                out.append(pid_t(pid.toInt()));
        }
    }
    return out;
}

void reapHelpers() {
    QList<pid_t> left = helpers();
    for (int i = 0; i < 50 && !left.isEmpty(); ++i) {
        for (qsizetype k = left.size() - 1; k >= 0; --k) {
            int status = 0;
            if (::waitpid(left[k], &status, WNOHANG) != 0)
                left.removeAt(k);
        }
        if (!left.isEmpty())
            ::usleep(20000);
    }
}

} // namespace

QString webModulePath() {
    QStringList candidates;
    if (const QString given = qEnvironmentVariable("TAVRIN_WEB_MODULE"); !given.isEmpty())
        candidates.append(given);
    const QString here = QCoreApplication::applicationDirPath();
    candidates.append(here + u'/' + kModule);
    candidates.append(here + QStringLiteral("/../lib/tavrin/") + kModule);
#ifdef TAVRIN_WEB_MODULE_BUILT
    candidates.append(QStringLiteral(TAVRIN_WEB_MODULE_BUILT));
#endif
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile())
            return QFileInfo(c).canonicalFilePath();
    return {};
}

WebModuleEntry webModuleEntry(const char* name) {
    const QString path = webModulePath();
    if (path.isEmpty())
        throw FsError(QStringLiteral("The browser engine's module (%1) is not installed beside "
                                     "the program")
                          .arg(kModule));
    // A library already loaded is found again, not loaded twice; it is never unloaded.
    QLibrary module(path);
    module.setLoadHints(QLibrary::ExportExternalSymbolsHint);
    if (!module.load())
        throw FsError::at(module.errorString(), path);
    const auto entry = reinterpret_cast<WebModuleEntry>(module.resolve(name));
    if (!entry)
        throw FsError::at(
            QStringLiteral("The browser engine's module has no %1").arg(QLatin1String(name)), path);
    return entry;
}

void reapWebHelpers() {
    reapHelpers();
}

} // namespace tavrin
