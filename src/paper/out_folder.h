#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The folder a printing writes into (an exam, a report) and what guards it.

// The names the printing writes are never links: a link's target (outside the folder,
// perhaps) would be replaced or removed through it. `what` names the writing ("exam").
void refuseLinks(const QString& out, const QStringList& names, const char* what);

// What an earlier printing left unfinished (a kill, a full disk) is removed first.
void removeWorkingFolder(const QString& folder, const char* what);

} // namespace tavrin
