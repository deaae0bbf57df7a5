#pragma once

#include <QComboBox>
#include <QListWidget>

namespace tavrin {

// The drive list: drive letters where there are any, else the file-system roots and the
// mounted volumes.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);
    // Selects the drive holding the path (without signalling).
    void showDriveOf(const QString& path);
    QString drive() const;

signals:
    void driveChosen(const QString& root);

private:
    void refresh();
    int shown_ = -1;
};

// The folder list: the open folder's ancestors, the folder itself, then its subfolders.
// A double click opens the entry.
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);
    // Opens a folder; one that cannot be read leaves the list as it was and gives false.
    bool setPath(const QString& path);
    const QString& path() const { return path_; }
    // The folder of the highlighted row (one click), else the open folder.
    QString highlighted() const;

signals:
    void pathChanged(const QString& path);

private:
    QString path_;
};

// The file list: the files of one folder that match a pattern such as "*.gif;*.jpg".
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);
    bool setPath(const QString& path);
    void setPattern(const QString& pattern);
    const QString& path() const { return path_; }
    const QString& pattern() const { return pattern_; }
    // The selected file's name, empty when none.
    QString fileName() const;

private:
    bool refresh(const QString& path);
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
};

} // namespace tavrin
