#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace tavrin {

// Copies a file in large pieces and tells after each piece how many bytes it wrote; the
// callback answers false to stop. The copy is written under a working name beside the
// target, flushed, and only then renamed over it: a failure, a stop or a kill leaves the
// old target as it was. A source that is the target itself is refused. True when the whole
// file was copied. Throws FsError.
bool copyFileInPieces(const QString& from, const QString& to,
                      const std::function<bool(qint64 bytes)>& piece);

// The same, whole, without progress.
void copyFileSafely(const QString& from, const QString& to);

// Copies into a folder that is itself a working one, made for this work and renamed only
// once whole and flushed (an export being built): the target is written under its own name
// and not flushed, as the folder, not the file, is what must appear whole. A stop or a
// failure removes the target. True when the whole file was copied. Throws FsError.
bool copyIntoWorkingFolder(const QString& from, const QString& to,
                           const std::function<bool(qint64 bytes)>& piece);

// New files written under working names beside their targets first, and put in place
// together only when all of them are on disk: a failure before place() (or the end of the
// object) removes them and changes nothing. Later files for one target replace earlier
// ones.
class StagedFiles {
public:
    StagedFiles() = default;
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    ~StagedFiles();
    void copy(const QString& from, const QString& to);
    void write(const QByteArray& bytes, const QString& to);
    // In the order they were staged. Throws FsError.
    void place();

private:
    QList<QPair<QString, QString>> staged_; // working name, target
};

// A working name of this tool's: a copy, or a safe save, not yet in place. Such files are
// never copied to a CD and are removed when a project is opened.
bool isWorkingName(const QString& fileName);

// Removes the working files a kill left in a folder (not below it); their names are
// returned for the log.
QStringList removeWorkingFiles(const QString& folder);

// True when both paths name one file (links, hard links and other spellings included).
bool sameFile(const QString& a, const QString& b);

// The mode a new file gets under the user's umask (0644 under 0022): what the copies and the
// files this tool writes for others to read are given once whole.
unsigned ordinaryFileMode();

// The disk that holds a folder, watched from now on: one flush of everything written to it
// at the end, instead of one per file.
class DiskFlush {
public:
    explicit DiskFlush(const QString& folder);
    DiskFlush(const DiskFlush&) = delete;
    DiskFlush& operator=(const DiskFlush&) = delete;
    ~DiskFlush();
    // Throws FsError when the disk says a write since the start failed.
    void flush();

private:
    QString folder_;
    int fd_ = -1;
};

// The folder holding path flushed, so that a name just given there survives a power cut.
// Throws FsError when the disk says it did not.
void flushFolderEntry(const QString& path);

} // namespace tavrin
