#include "platform/web_module.h"

#include "platform/program_module.h"

#include <QDir>
#include <QFile>
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
#ifdef TAVRIN_WEB_MODULE_BUILT
    const QString built = QStringLiteral(TAVRIN_WEB_MODULE_BUILT);
#else
    const QString built;
#endif
    return programModulePath(kModule, "TAVRIN_WEB_MODULE", built);
}

WebModuleEntry webModuleEntry(const char* name) {
    QString path = webModulePath();
    if (path.isEmpty())
        path = kModule;
    return programModuleEntry(path, name, QStringLiteral("The browser engine's module"));
}

void reapWebHelpers() {
    reapHelpers();
}

} // namespace tavrin
