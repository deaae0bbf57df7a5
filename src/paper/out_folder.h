#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The folder a printing writes into (an exam, a report) and what guards it.

// A folder and the folders above it that are missing (the output folder's default lies
// inside an export folder that may not exist yet), each made as makeFolder makes one.
void makeFolders(const QString& path);

// The names the printing writes are never links: a link's target (outside the folder,
// perhaps) would be replaced or removed through it. `what` names the writing ("exam").
void refuseLinks(const QString& out, const QStringList& names, const char* what);

// What an earlier printing left unfinished (a kill, a full disk) is removed first.
void removeWorkingFolder(const QString& folder, const char* what);

} // namespace tavrin
