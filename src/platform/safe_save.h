#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// Replaces a file whole: the new bytes land under the name only when every byte is on
// disk; otherwise the old file stays as it was. Throws FsError on failure.
void saveWholeFile(const QString& path, const QByteArray& bytes);

} // namespace tavrin
