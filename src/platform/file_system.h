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
// A folder and the folders above it that are missing (the output folder's default lies
// inside an export folder that may not exist yet), each made as makeFolder makes one.
void makeFolders(const QString& path);
void deleteFile(const QString& path);
// A file or folder given a new name, over a file of that name; FsError says why it was not.
void renameFile(const QString& from, const QString& to);
// Names (not paths) of the files in a folder matching the patterns, sorted by name.
QStringList fileNames(const QString& folder, const QStringList& patterns = {});

} // namespace tavrin
