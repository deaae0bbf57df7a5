#pragma once

#include <QString>
#include <functional>

namespace tavrin {

// Copies a file in large pieces, replacing the target, and tells after each piece how many
// bytes it wrote; the callback answers false to stop. A copy that fails or is stopped is
// removed, never left in part. True when the whole file was copied. Throws FsError.
bool copyFileInPieces(const QString& from, const QString& to,
                      const std::function<bool(qint64 bytes)>& piece);

// One flush of what was written to the disk that holds this folder, instead of one per
// file.
void flushToDisk(const QString& folder);

} // namespace tavrin
