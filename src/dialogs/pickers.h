#pragma once

#include <QDialog>
#include <functional>

namespace tavrin {

class DriveList;
class DirList;
class FileList;

// "Select folder" and "Select file". They return nothing: confirming calls the main
// window's dispatcher, which reads the choice out of the picker; closing delivers nothing.
class FolderPicker : public QDialog {
    Q_OBJECT
public:
    explicit FolderPicker(std::function<void()> upd, QWidget* parent = nullptr);
    // Opens the lists on a folder (its drive and the folder itself).
    void prime(const QString& folder);
    // The folder open in Dir1.
    QString choice() const;

protected:
    DriveList* drive1_;
    DirList* dir1_;
    std::function<void()> upd_;
    void confirm();
    // Asks a name and makes that folder inside the open one, which then opens.
    void newFolder();
};

class FilePicker : public QDialog {
    Q_OBJECT
public:
    explicit FilePicker(std::function<void()> upd, QWidget* parent = nullptr);
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
