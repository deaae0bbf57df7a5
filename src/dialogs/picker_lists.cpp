#include "dialogs/picker_lists.h"

#include "platform/file_system.h"
#include "platform/fs_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tavrin {
namespace {

constexpr int PathRole = Qt::UserRole + 1;

QString cleanFolder(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString root = itemData(index).toString();
        if (!QDir(root).isReadable()) {
            // A drive that is not ready: keep the lists as they were.
            setCurrentIndex(shown_);
            return;
        }
        shown_ = index;
        emit driveChosen(root);
    });
}

void DriveList::refresh() {
    clear();
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives())
        roots.append(drive.absoluteFilePath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    for (const QString& root : roots)
        addItem(QDir::toNativeSeparators(root), root);
}

void DriveList::showDriveOf(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (absolute.startsWith(root, Qt::CaseInsensitive) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) {
        setCurrentIndex(best);
        shown_ = best;
    }
}

QString DriveList::drive() const {
    return currentData().toString();
}

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { setPath(item->data(PathRole).toString()); });
}

bool DirList::setPath(const QString& path) {
    const QString folder = cleanFolder(path);
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return false;
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                               QDir::Name | QDir::IgnoreCase);
    clear();
    // Ancestors from the root down, each indented one step deeper.
    QStringList chain;
    for (QDir up(folder);;) {
        chain.prepend(up.absolutePath());
        if (!up.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& step : chain) {
        const QString name = QFileInfo(step).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) +
                                         (name.isEmpty() ? QDir::toNativeSeparators(step) : name));
        item->setData(PathRole, step);
        addItem(item);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + child);
        item->setData(PathRole, dir.absoluteFilePath(child));
        addItem(item);
    }
    path_ = folder;
    emit pathChanged(path_);
    return true;
}

QString DirList::highlighted() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(PathRole).toString() : path_;
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

bool FileList::setPath(const QString& path) {
    return refresh(cleanFolder(path));
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    if (!path_.isEmpty())
        refresh(path_);
}

QString FileList::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

bool FileList::refresh(const QString& path) {
    QStringList names;
    try {
        names = fileNames(path, pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    } catch (const FsError&) {
        return false;
    }
    clear();
    addItems(names);
    path_ = path;
    return true;
}

} // namespace tavrin
