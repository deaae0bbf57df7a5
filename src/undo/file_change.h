#pragma once

#include "platform/fs_error.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin {

// A file as an undo finds it: the same inode, size and time as when it was kept, or gone.
struct FileStamp {
    bool exists = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0, modified = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path);

// An undo or a redo refused: a file the edit wrote has been changed since (by another window,
// a verb or a hand), so going back would lose that work.
class StaleEdit : public FsError {
public:
    explicit StaleEdit(const QString& path)
        : FsError(FsError::at(QStringLiteral("Changed since"), path)), path_(path) {}
    const QString& path() const { return path_; }

private:
    QString path_;
};

// What one edit did to the files under a folder, so that it can be taken back and done again
// byte for byte: each file it changed, made or removed is kept as it was before and after in
// a trash entry under the folder (".trash/NAME/before", ".trash/NAME/after"), as hard links
// where the file system has them. Folders the edit made or removed follow too. The trash is
// never part of a project's files: the export, the lessons and the checks do not look there.
class FileChange {
public:
    // Before the edit: every file of the scope (relative paths; a folder holds everything
    // under it) kept in the trash entry. With newFolders, folders the edit makes directly in
    // the root join the change too (a new project's folder beside the catalogue). Throws
    // FsError.
    static FileChange before(const QString& root, const QStringList& scope, const QString& name,
                             bool newFolders = false);
    FileChange() = default;

    // After the edit: what is the same is let go, what changed is kept as it is now too.
    // False when the edit changed nothing (the trash entry is gone then). Throws FsError.
    bool after();
    // The files as they were before, or after, again; one step a kill cannot leave half done
    // (FileJournal). Throws StaleEdit when a file is no longer as the edit (or the last undo)
    // left it, before anything changed; FsError when a file cannot be written.
    void undo();
    void redo();
    // The trash entry goes.
    void discard();
    // A later change of the same files taken into this one: one step from this one's before
    // to the later one's after (each keystroke of a number box is one change). The later
    // one's entry goes.
    void absorb(FileChange& later);

    // The changed files, relative to the root.
    QStringList paths() const;
    const QString& root() const { return root_; }
    bool empty() const { return files_.isEmpty() && madeFolders_.isEmpty() && gone_.isEmpty(); }

    // "<root>/.trash": every entry of a run that ended without emptying it.
    static QString trashOf(const QString& root);

private:
    struct File {
        QString path;
        FileStamp before, after;
    };
    void keep(const QString& relative, const QString& side) const;
    QHash<QString, FileStamp> walk(QStringList* folders) const;
    void restore(bool toBefore);

    QString root_, entry_;
    QStringList scope_;
    bool newFolders_ = false;
    QStringList topFolders_;
    QHash<QString, FileStamp> seen_; // before the edit, every file of the scope
    QStringList foldersBefore_;
    QList<File> files_;
    QStringList madeFolders_, gone_; // folders the edit made, and removed
};

} // namespace tavrin
