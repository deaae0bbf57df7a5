#include "undo/file_change.h"

#include "platform/file_journal.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace tavrin {
namespace {

namespace fs = std::filesystem;

const QString kTrash = QStringLiteral(".trash");
const QString kBefore = QStringLiteral("before");
const QString kAfter = QStringLiteral("after");

fs::path native(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

// The undo's own folders are never part of what it keeps.
bool ownFolder(const QString& relative) {
    const QString first = relative.section(u'/', 0, 0);
    return first == kTrash || first == QLatin1String(".switch");
}

} // namespace

FileStamp stampOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

QString FileChange::trashOf(const QString& root) {
    return QDir(root).absolutePath() + u'/' + kTrash;
}

FileChange FileChange::before(const QString& root, const QStringList& scope, const QString& name,
                              bool newFolders) {
    FileChange change;
    change.root_ = QDir(root).absolutePath() + u'/';
    change.entry_ = trashOf(root) + u'/' + name + u'/';
    change.scope_ = scope;
    change.newFolders_ = newFolders;
    std::error_code ec;
    fs::remove_all(native(change.entry_), ec);
    if (newFolders)
        change.topFolders_ = QDir(root).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    change.seen_ = change.walk(&change.foldersBefore_);
    for (auto it = change.seen_.cbegin(); it != change.seen_.cend(); ++it)
        change.keep(it.key(), kBefore);
    return change;
}

void FileChange::keep(const QString& relative, const QString& side) const {
    linkOrCopy(root_ + relative, entry_ + side + u'/' + relative);
}

QHash<QString, FileStamp> FileChange::walk(QStringList* folders) const {
    QHash<QString, FileStamp> files;
    const QDir root(root_);
    QStringList scope = scope_;
    if (newFolders_) {
        for (const QString& top :
             root.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (!topFolders_.contains(top) && !ownFolder(top))
                scope.append(top);
        }
    }
    for (const QString& item : scope) {
        const QString path = root_ + item;
        const QFileInfo info(path);
        if (!info.isDir() || info.isSymLink()) {
            if (const FileStamp s = stampOf(path); s.exists)
                files.insert(QDir::cleanPath(item), s);
            continue;
        }
        if (item != QLatin1String("."))
            folders->append(QDir::cleanPath(item));
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString found = it.next();
            const QString relative = root.relativeFilePath(found);
            if (ownFolder(relative))
                continue;
            if (it.fileInfo().isDir() && !it.fileInfo().isSymLink())
                folders->append(relative);
            else
                files.insert(relative, stampOf(found));
        }
    }
    return files;
}

bool FileChange::after() {
    QStringList foldersNow;
    const QHash<QString, FileStamp> now = walk(&foldersNow);
    QStringList paths = seen_.keys() + now.keys();
    paths.removeDuplicates();
    paths.sort();
    for (const QString& path : paths) {
        const FileStamp was = seen_.value(path), is = now.value(path);
        if (was == is) {
            QFile::remove(entry_ + kBefore + u'/' + path);
            continue;
        }
        files_.append({path, was, is});
        if (is.exists)
            keep(path, kAfter);
    }
    const QSet<QString> before(foldersBefore_.cbegin(), foldersBefore_.cend());
    const QSet<QString> after(foldersNow.cbegin(), foldersNow.cend());
    for (const QString& f : foldersNow)
        if (!before.contains(f))
            madeFolders_.append(f);
    for (const QString& f : foldersBefore_)
        if (!after.contains(f))
            gone_.append(f);
    seen_.clear();
    if (empty()) {
        discard();
        return false;
    }
    return true;
}

void FileChange::restore(bool toBefore) {
    for (const File& f : files_) {
        if (stampOf(root_ + f.path) != (toBefore ? f.after : f.before))
            throw StaleEdit(root_ + f.path);
    }
    const QString side = toBefore ? kBefore : kAfter;
    FileJournal journal(root_);
    journal.open();
    try {
        for (const File& f : files_) {
            if ((toBefore ? f.before : f.after).exists)
                journal.link(entry_ + side + u'/' + f.path, f.path);
            else
                journal.remove(f.path);
        }
        for (const QString& folder : toBefore ? madeFolders_ : gone_)
            journal.removeFolder(folder);
        for (const QString& folder : toBefore ? gone_ : madeFolders_)
            journal.makeFolder(folder);
    } catch (...) {
        journal.abandon();
        throw;
    }
    journal.commit();
    // What the next step in the other direction expects to find.
    for (File& f : files_)
        (toBefore ? f.before : f.after) = stampOf(root_ + f.path);
}

void FileChange::undo() {
    restore(true);
}

void FileChange::redo() {
    restore(false);
}

void FileChange::discard() {
    if (entry_.isEmpty())
        return;
    std::error_code ec;
    fs::remove_all(native(entry_), ec);
    // The trash itself goes with its last entry.
    fs::remove(native(trashOf(root_)), ec);
}

void FileChange::absorb(FileChange& later) {
    for (const File& l : later.files_) {
        auto it = std::find_if(files_.begin(), files_.end(),
                               [&](const File& f) { return f.path == l.path; });
        if (it == files_.end()) {
            if (l.before.exists)
                linkOrCopy(later.entry_ + kBefore + u'/' + l.path,
                           entry_ + kBefore + u'/' + l.path);
            files_.append(l);
            it = files_.end() - 1;
        } else {
            it->after = l.after;
        }
        QFile::remove(entry_ + kAfter + u'/' + l.path);
        if (l.after.exists)
            linkOrCopy(later.entry_ + kAfter + u'/' + l.path, entry_ + kAfter + u'/' + l.path);
    }
    madeFolders_ += later.madeFolders_;
    gone_ += later.gone_;
    later.discard();
}

QStringList FileChange::paths() const {
    QStringList out;
    for (const File& f : files_)
        out.append(f.path);
    return out;
}

} // namespace tavrin
