#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// Plain file-system steps. The tests never throw; the others throw FsError with a
// readable description.

bool fileExists(const QString& path);
bool folderExists(const QString& path);

// Makes one folder level; the parent must exist.
void makeFolder(const QString& path);
void deleteFile(const QString& path);
// Names (not paths) of the files in a folder matching the patterns, sorted by name.
QStringList fileNames(const QString& folder, const QStringList& patterns = {});

} // namespace tavrin
