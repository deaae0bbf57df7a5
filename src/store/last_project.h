#pragma once

#include <QString>

namespace tavrin {

// The project the author chose last, by its catalogue name, kept beside the catalogue so the
// next start chooses it again. Empty when none was kept or the file does not read.
QString lastProjectName(const QString& programFolder);
// A safe save; throws FsError.
void keepLastProjectName(const QString& programFolder, const QString& name);

} // namespace tavrin
