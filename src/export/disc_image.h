#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tavrin {

// The volume label of a disc made for a project: its title in the characters every disc
// system reads (A-Z, 0-9 and "_"), other runs as one "_", at most 32; "TAVRIN_CD" when
// nothing of the title is left (a Persian title, say).
QString volumeLabel(const QString& projectTitle);

enum class ImageOutcome { Made, Cancelled, Failed };

struct ImageResult {
    ImageOutcome outcome = ImageOutcome::Failed;
    QString description; // why it failed, or what the read-back found
    int files = 0;       // files in the image
    bool readBackMatched = false;
    QStringList leftoversRemoved; // working files of earlier images a kill left, removed
};

// The first entry below a folder that is neither a regular file nor a folder (a pipe, a
// device, a socket, a link): a disc holds none, and reading one back could block. Empty
// when there is none.
QString firstSpecialFile(const QString& folder);

// Makes an ISO 9660 image of an export folder (refused when it holds a special file, or when
// the image would be a folder or inside the folder) with libisofs: Joliet (long names, so 103
// characters) and Rock Ridge (names as they are, in UTF-8), ISO level 3 when a file or the
// whole is beyond 4 GB. Written under a working name beside the target and renamed at the
// end; a cancel (progress answering false) or a failure leaves no file. Then the image is
// read back with libisofs and every file's SHA-256 compared with the folder's (unless
// readBack is false: a benchmark times the making alone).
ImageResult makeDiscImage(const QString& exportFolder, const QString& isoPath, const QString& label,
                          const std::function<bool(qint64 done, qint64 total)>& progress = {},
                          bool readBack = true);

// Reads an image back and compares it with the folder: the same files, names, sizes and
// SHA-256. An empty text when they match, else the first difference.
QString compareImage(const QString& isoPath, const QString& folder, int* files = nullptr);

} // namespace tavrin
