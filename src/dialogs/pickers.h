#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;

namespace tavrin {

class DriveList;
class DirList;
class FileList;

// "Select folder" and "Select file", opened on a folder. choose() shows one modally and
// gives what was confirmed, or nothing when it was closed; the caller decides what to do
// with it. A callback given to the constructor runs on each confirm.
class FolderPicker : public QDialog {
    Q_OBJECT
public:
    explicit FolderPicker(std::function<void()> upd, QWidget* parent = nullptr);
    static std::optional<QString> choose(QWidget* parent, const QString& folder);
    // Opens the lists on a folder (its drive and the folder itself).
    void prime(const QString& folder);
    // The folder highlighted in Dir1 (the open one until another row is clicked), or the
    // folder typed in FolderPath.
    QString choice() const;

protected:
    DriveList* drive1_;
    DirList* dir1_;
    QLineEdit* typed_;
    std::function<void()> upd_;
    void confirm();
    QString typedFolder() const;
    // Asks a name and makes that folder inside the open one, which then opens.
    void newFolder();
};

class FilePicker : public QDialog {
    Q_OBJECT
public:
    explicit FilePicker(std::function<void()> upd, QWidget* parent = nullptr);
    static std::optional<QString> choose(QWidget* parent, const QString& folder,
                                         const QString& pattern);
    void prime(const QString& folder);
    void setPattern(const QString& pattern);
    // The folder of File1 with a trailing separator, then the selected file's name.
    QString choice() const;

private:
    void confirm();
    std::function<void()> upd_;
    DriveList* drive1_;
    DirList* dir1_;
    FileList* file1_;
};

} // namespace tavrin
