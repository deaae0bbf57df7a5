#include "platform/paths.h"

#include "platform/fs_error.h"

#include <QDir>

namespace tavrin {

QChar nativeSeparator() {
    return QDir::separator();
}

QString DoSlash(const QString& path) {
    if (path.size() > 1 && !path.endsWith(nativeSeparator()))
        return path + nativeSeparator();
    return path;
}

QString DoSlashStrict(const QString& path) {
    if (path.isEmpty())
        throw FsError(QStringLiteral("Bad file name or number"));
    return path.endsWith(nativeSeparator()) ? path : path + nativeSeparator();
}

QString fromStoredPath(const QString& path) {
    QString out = path;
    out.replace(QLatin1Char('\\'), nativeSeparator());
    out.replace(QLatin1Char('/'), nativeSeparator());
    return out;
}

bool isAbsolutePath(const QString& path) {
    return !path.isEmpty() && QDir::isAbsolutePath(path);
}

} // namespace tavrin
