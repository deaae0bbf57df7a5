// The settings area kept in the project file, and the output button's export.
#include "app/context.h"
#include "app/messages.h"
#include "export/cd_export.h"
#include "export/output_folders.h"
#include "mainwin/export_progress_dialog.h"
#include "mainwin/main_window.h"
#include "platform/busy_cursor.h"
#include "platform/file_system.h"
#include "platform/paths.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

namespace tavrin {

SettingsChoice MainWindow::settingsChoice() const {
    SettingsChoice c;
    c.musicOn = bMus_[0]->isChecked();
    c.firstTemplate = olgoo_[0]->isChecked();
    c.print = pcheck_->checkState();
    c.music1 = mus1_->text();
    c.music2 = mus2_->text();
    c.back = back_->text();
    c.exportPath = exBox_->text();
    return c;
}

QString MainWindow::settingTagOf(const QLineEdit* box) const {
    if (box == mus1_)
        return QStringLiteral("Music1");
    if (box == mus2_)
        return QStringLiteral("Music2");
    if (box == back_)
        return QStringLiteral("BackPic");
    return QStringLiteral("Export");
}

// Only what the author changes is written: filling the controls from a project is not.
void MainWindow::connectSettingsKeeping() {
    for (QRadioButton* b : bMus_)
        connect(b, &QRadioButton::clicked, this,
                [this] { keepSetting(QStringLiteral("Music"), SettingCode(settingsChoice(), 0)); });
    for (QRadioButton* b : olgoo_)
        connect(b, &QRadioButton::clicked, this,
                [this] { keepSetting(QStringLiteral("Olgoo"), SettingCode(settingsChoice(), 1)); });
    connect(pcheck_, &QCheckBox::clicked, this, [this] {
        keepSetting(QStringLiteral("Printable"), pcheck_->checkState() == Qt::Checked
                                                     ? QStringLiteral("1")
                                                     : QStringLiteral("0"));
    });
    for (QLineEdit* box : {mus1_, mus2_, back_, exBox_}) {
        connect(box, &QLineEdit::textEdited, this, [box] { box->setModified(true); });
        connect(box, &QLineEdit::editingFinished, this, [this, box] {
            if (!box->isModified())
                return;
            box->setModified(false);
            keepSetting(settingTagOf(box), box->text());
        });
    }
}

void MainWindow::pathChosen(QLineEdit* box, const QString& path) {
    box->setText(path);
    keepSetting(settingTagOf(box), path);
}

void MainWindow::keepSetting(const QString& tag, const QString& value) {
    if (selectedIndex(StoreList::Projects) < 0 || filling_)
        return;
    KeepSetting(context_, session_.projectPath, tag, value);
}

void MainWindow::exportCommand() {
    const QString app = DoSlash(context_.programFolder());
    const QString defaultTarget = app + QStringLiteral("Export");
    // The bare word and the program folder's own Export folder (a new project's box holds
    // it whole) are made on first use; any other target must exist.
    if ((exBox_->text() == QLatin1String("Export") ||
         QDir::cleanPath(fromStoredPath(exBox_->text())) == QDir::cleanPath(defaultTarget)) &&
        !folderExists(defaultTarget))
        makeFolder(defaultTarget);
    if (!isAbsolutePath(exBox_->text()))
        exBox_->setText(app + exBox_->text());
    if (!isAbsolutePath(session_.projectPath))
        session_.projectPath = app + session_.projectPath;
    const QString target = fromStoredPath(exBox_->text());
    if (!folderExists(target)) {
        bepayam(context_, 26);
        return;
    }
    if (!folderExists(session_.projectPath)) {
        bepayam(context_, 10);
        return;
    }
    const BusyCursor busy;
    // A project never opened for data entry still gets its settings and media onto the CD;
    // settings that cannot be written stop the export, which would carry the old ones.
    MakeDirs(context_, session_.projectPath, BookTxtDir, XmlDir);
    if (!SaveThings(context_, settingsChoice(), session_.projectPath, BookTxtDir))
        return;
    if (!confirmExportWithoutLessons(context_, session_.projectPath))
        return;
    ExportProgressDialog progress(this);
    ExportRequest request;
    request.target = target;
    request.projectPath = session_.projectPath;
    request.printable = pcheck_->checkState() == Qt::Checked;
    request.runFile = [this](const QString& path) { RunFile(path); };
    ExportAll(context_, request, &progress);
}

} // namespace tavrin
