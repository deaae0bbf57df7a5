#include "platform/paths.h"

#include "platform/fs_error.h"

#include <QDir>
#include <QFile>
#include <filesystem>

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

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.startsWith(u'.') && !name.contains(QChar(0));
}

namespace {

std::filesystem::path resolvedPath(const QString& path) {
    std::error_code error;
    const auto native = std::filesystem::path(QFile::encodeName(path).toStdString());
    auto resolved = std::filesystem::weakly_canonical(native, error);
    if (error)
        resolved = std::filesystem::absolute(native).lexically_normal();
    return resolved;
}

} // namespace

bool isInside(const QString& path, const QString& folder) {
    const auto root = resolvedPath(folder);
    const auto inner = resolvedPath(path);
    const auto relative = inner.lexically_relative(root);
    if (relative.empty())
        return false;
    const std::string first = relative.begin()->string();
    return first != "..";
}

} // namespace tavrin
