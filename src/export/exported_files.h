#pragma once

#include <QList>
#include <QString>

namespace tavrin {

// A file of a project folder that goes onto the CD; a link may lead anywhere and is checked
// on its own, a plain file lies where its folder does.
struct ExportedFile {
    QString name;
    bool link = false;
};

// The files of a project folder that go onto the CD, by name: not the tool's working files.
// A name this system cannot spell is a failure, not a file silently left off the CD (throws
// FsError, as for a folder that is not there).
QList<ExportedFile> exportedFiles(const QString& folder);

} // namespace tavrin
