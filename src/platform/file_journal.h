#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace tavrin {

// A second name for a file (its parent folders made): a hard link where the file system has
// them, else a copy. Throws FsError.
void linkOrCopy(const QString& from, const QString& to);

// Changes to several files under one folder made as one step that a kill cannot leave half
// done: every new file is made first in a staging folder beside the others (".switch"), then
// a plan is committed, then the plan is carried out; after a kill, finish() carries out a
// committed plan or throws away one that was not. Paths are relative to the root.
class FileJournal {
public:
    explicit FileJournal(const QString& root);

    // The staging folder made empty; what a kill left there before goes.
    void open();
    // Target gets these bytes.
    void write(const QByteArray& contents, const QString& target);
    // Target gets the file at an absolute path: a hard link where the file system has them,
    // else a copy. Throws FsError.
    void link(const QString& fromAbsolute, const QString& target);
    void remove(const QString& target);
    // A folder made (with its parents), or removed when it is left empty.
    void makeFolder(const QString& target);
    void removeFolder(const QString& target);
    // The plan saved, then carried out. Throws FsError; before the plan is saved nothing changed.
    void commit();
    // What was staged goes, nothing changed.
    void abandon();

    QString staging() const;
    const QString& root() const { return root_; }

    // Carries out a committed plan a kill cut short, or throws away one that was not. True
    // when there was one; committed says which.
    static bool finish(const QString& root, bool* committed = nullptr);

private:
    QString root_;
    QStringList removes_;
    QList<QPair<QString, QString>> moves_;
    QStringList makeFolders_, removeFolders_;
};

} // namespace tavrin
