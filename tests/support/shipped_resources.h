#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <utility>

namespace tavrin::test {

// Copies the Resources the tool ships (from the source tree's resources/) into a program
// folder as the build lays them out: the player's files at the top of Resources too.
inline void copyResourcesFrom(const QString& sourceRoot, const QString& programFolder) {
    const QDir target(programFolder);
    const std::pair<const char*, const char*> folders[] = {
        {"resources", "Resources"},
        {"resources/player", "Resources"},
        {"resources/player/fonts", "Resources/fonts"},
        {"resources/player/katex", "Resources/katex"},
        {"resources/player/katex/fonts", "Resources/katex/fonts"},
        {"resources/scorm12", "Resources/scorm12"}};
    for (const auto& [from, to] : folders) {
        const QString shipped = sourceRoot + u'/' + QLatin1String(from);
        target.mkpath(QLatin1String(to));
        for (const QString& name : QDir(shipped).entryList(QDir::Files))
            QFile::copy(shipped + u'/' + name, target.filePath(QLatin1String(to) + u'/' + name));
    }
}

} // namespace tavrin::test
