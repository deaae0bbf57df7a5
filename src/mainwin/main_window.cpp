#include "mainwin/main_window.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/run_log.h"
#include "dialogs/help_window.h"
#include "dialogs/pickers.h"
#include "editor/question_editor.h"
#include "export/output_folders.h"
#include "formatter/formatter_window.h"
#include "platform/file_copy.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/last_project.h"
#include "store/lessons.h"
#include "undo/edit_names.h"
#include "widgets/hover_picture.h"
#include "widgets/new_title_box.h"
#include "widgets/widget_colours.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QUrl>

namespace tavrin {

using namespace colours;

MainWindow::MainWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
    buildWindow();
    load();
}

MainWindow::~MainWindow() {
    // The history goes with the window: what it says as it empties is for nobody.
    history_.stack().disconnect(this);
}

FormatterWindow* MainWindow::formatter() {
    if (!formatter_)
        formatter_ =
            std::make_unique<FormatterWindow>(context_, static_cast<FormatterHost&>(*this));
    return formatter_.get();
}

void MainWindow::fadeInPanel(int panel) {
    PopupPanel = panel;
    if (!timer2_.isActive())
        timer2_.start();
}

void MainWindow::fadeInInputPanel() {
    fadeInPanel(kInputPathPanel);
}

void MainWindow::stopPanelFade() {
    timer2_.stop();
}

void MainWindow::minimiseWithFormatter() {
    showMinimized();
    timer1_.start();
}

Session& MainWindow::session() {
    // The lists are where the selection lives; the session is read from them when asked.
    session_.fieldIndex = selectedIndex(StoreList::Fields);
    session_.lessonIndex = selectedIndex(StoreList::Lessons);
    session_.fieldTitle = selectedText(StoreList::Fields);
    session_.lessonTitle = selectedText(StoreList::Lessons);
    return session_;
}

// ---- load and unload ---------------------------------------------------------------

void MainWindow::load() {
    // Our file functions need no object created first; the log opens the run.
    logRunStart(context_);
    bookConfig_ = LoadBookConfig();
    runTrapped(context_, kFailMainLoad, [this] {
        BookTxtDir = folders::kBookTxt;
        XmlDir = folders::kXml;
        NormalGrey = 135;
        HoverGrey = 100;
        FadeStartGrey = 235;
        // A catalogue save that a kill cut short leaves its working file beside it.
        for (const QString& removed : removeWorkingFiles(context_.programFolder()))
            context_.log().LogMe(QStringLiteral("Unfinished file removed: ") +
                                 QDir::toNativeSeparators(removed));
        // What a killed run left in the catalogue's trash (none of this run's is there yet).
        history_.forgetLeftovers(context_.programFolder());
        ReadProj(context_, *this);
        selectLastProject();
        ChekSelect();
        showHowToStart();
    });
}

// A catalogue without a project: its panel ("new", "delete", "add") is shown from the start,
// as it is when the pointer rests on the list, so the first step is in sight.
void MainWindow::showHowToStart() {
    for (int row = 0; row < projB_->count(); ++row)
        if (!projB_->item(row)->text().isEmpty())
            return;
    PopupPanel = kProjectsPanel;
    panels_[0].fade.fadeIn(NormalGrey); // at rest at once: nothing to fade in from
    panels_[0].fade.stopFade();
}

// The project the author worked in last is chosen again at the start; its name is kept
// beside the catalogue whenever another is chosen.
void MainWindow::selectLastProject() {
    const QString name = lastProjectName(context_.programFolder());
    if (name.isEmpty())
        return;
    for (int row = 0; row < projB_->count(); ++row)
        if (projB_->item(row)->text() == name) {
            projB_->setCurrentRow(row);
            listClicked(StoreList::Projects);
            context_.log().LogMe(QStringLiteral("The last project chosen again: %1").arg(name));
            return;
        }
}

void MainWindow::keepLastProject() {
    const QListWidgetItem* item = projB_->currentItem();
    const QString name = item && item->isSelected() ? item->text() : QString();
    if (name.isEmpty() || name == keptProject_)
        return;
    try {
        keepLastProjectName(context_.programFolder(), name);
        keptProject_ = name;
    } catch (const FsError& e) {
        // Only a convenience: the next start has nothing chosen.
        context_.log().LogMe(QStringLiteral("The last project not kept: ") + e.description());
    }
}

void MainWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    // The trash of the edits goes with the window.
    history_.stack().clear();
    logRunEnd(context_);
    // Every other window goes with the main one; nothing is saved here.
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Filed entries not yet made into a quiz file are not thrown away without a word.
    if (!unloaded_ && formatter_ && !formatter_->settleUnmadeEntries()) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

// ---- lists -------------------------------------------------------------------------

QListWidget* MainWindow::listOf(StoreList list) const {
    switch (list) {
    case StoreList::Projects:
        return projB_;
    case StoreList::Fields:
        return reshB_;
    case StoreList::Lessons:
        break;
    }
    return darsB_;
}

void MainWindow::setEntries(StoreList list, const QStringList& entries) {
    QListWidget* l = listOf(list);
    filling_ = true;
    l->clear();
    l->addItems(entries);
    filling_ = false;
}

void MainWindow::selectEntry(StoreList list, int index) {
    QListWidget* l = listOf(list);
    filling_ = true;
    l->setCurrentRow(index);
    filling_ = false;
    listClicked(list);
}

int MainWindow::selectedIndex(StoreList list) const {
    const QListWidget* l = listOf(list);
    const QList<QListWidgetItem*> items = l->selectedItems();
    return items.isEmpty() ? -1 : l->row(items.first());
}

QString MainWindow::selectedText(StoreList list) const {
    const QList<QListWidgetItem*> items = listOf(list)->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void MainWindow::listClicked(StoreList list) {
    QListWidget* l = listOf(list);
    const QList<QListWidgetItem*> items = l->selectedItems();
    if (!items.isEmpty() && items.first()->text().isEmpty()) {
        filling_ = true;
        l->clearSelection();
        l->setCurrentRow(-1);
        filling_ = false;
    }
    if (list == StoreList::Projects) {
        ReadResh(context_, *this);
        // Read the first time this run: its trash is a killed run's, no step's of this one.
        history_.forgetLeftovers(session_.projectPath);
        keepLastProject();
    } else if (list == StoreList::Fields)
        ReadDars(context_, *this);
    ChekSelect();
}

void MainWindow::ChekSelect() {
    runTrapped(context_, kFailChekSelect, [this] {
        const bool p = selectedIndex(StoreList::Projects) >= 0;
        const bool f = selectedIndex(StoreList::Fields) >= 0;
        const bool l = selectedIndex(StoreList::Lessons) >= 0;
        if (exBox_->isEnabled() != p) {
            const QList<QWidget*> area{
                reshB_,     bMus_[0],   bMus_[1],        olgoo_[0],        olgoo_[1],  mus1_,
                mus2_,      back_,      exBox_,          pcheck_,          browse_[0], browse_[1],
                browse_[2], browse_[3], output_->rest(), output_->hover(), examGroup_};
            for (QWidget* w : area)
                w->setEnabled(p);
            if (p)
                musicOptionChanged();
        }
        darsB_->setEnabled(f);
        setBase(darsB_, f ? Qt::white : kDisabledList);
        reshB_->setEnabled(p);
        setBase(reshB_, p ? Qt::white : kDisabledList);
        dataEntry_->setEnabled(l);
        // A disabled list has no actions: its panel goes, shown, fading or waiting.
        for (Panel& panel : panels_) {
            if (panel.list->isEnabled())
                continue;
            if (PopupPanel == panel.number)
                timer2_.stop();
            panel.fade.stopFade();
            closePanel(panel);
        }
    });
}

void MainWindow::showSettings(const ProjectSettings& s) {
    mus1_->setText(s.music1);
    mus2_->setText(s.music2);
    back_->setText(s.backPic);
    exBox_->setText(s.exportPath);
    // At rest the boxes show the start of their paths.
    for (QLineEdit* box : {mus1_, mus2_, back_, exBox_})
        box->setCursorPosition(0);
    olgoo_[s.olgoo == QLatin1String("1") ? 0 : 1]->setChecked(true);
    bMus_[s.music == QLatin1String("1") ? 0 : 1]->setChecked(true);
    pcheck_->setCheckState(s.printable == QLatin1String("1") ? Qt::Checked : Qt::Unchecked);
    // Shown, not changed: nothing is written back.
    const ExamSettings exam = examSettings(s);
    const QSignalBlocker on(examOn_), minutes(examMinutes_), count(examCount_);
    examOn_->setChecked(exam.on);
    examMinutes_->setValue(exam.minutes);
    examCount_->setValue(exam.count);
}

void MainWindow::musicOptionChanged() {
    runTrapped(context_, kFailMusicOption, [this] {
        const bool on = bMus_[0]->isChecked();
        for (QWidget* w : {static_cast<QWidget*>(mus1_), static_cast<QWidget*>(mus2_),
                           static_cast<QWidget*>(label1_), static_cast<QWidget*>(label10_)})
            w->setEnabled(on);
    });
}

// ---- title box and pickers ---------------------------------------------------------

void MainWindow::askTitle(const QString& mode) {
    TitleMode = mode;
    titleBox_->exec();
    titleBox_->clearTitle();
}

bool MainWindow::tupd() {
    bool taken = true;
    runTrapped(context_, kFailTitleBox, [&] {
        const QString title = titleBox_->title();
        if (TitleMode == QLatin1String("newproj"))
            recordEdit(edits::kNewProject + quoted(title), Touches::Catalogue,
                       [&] { taken = NewProj(context_, *this, title); });
        else if (TitleMode == QLatin1String("newresh"))
            recordEdit(edits::kNewField + quoted(title), Touches::Numbering,
                       [&] { taken = NewResh(context_, *this, title); });
        else if (TitleMode == QLatin1String("newdars"))
            recordEdit(edits::kNewLesson + quoted(title), Touches::Numbering,
                       [&] { taken = NewDars(context_, *this, title); });
    });
    return taken;
}

// The pickers open where the last one was confirmed (the program folder at first), over the
// window the author is in.
QString MainWindow::pickerStart() const {
    return !lastPicked_.isEmpty() && QFileInfo(lastPicked_).isDir() ? lastPicked_
                                                                    : context_.programFolder();
}

std::optional<QString> MainWindow::pickFolder(const QString& purpose) {
    PickPurpose = purpose;
    QWidget* over = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    const auto folder = FolderPicker::choose(over, pickerStart());
    if (folder)
        lastPicked_ = *folder;
    return folder;
}

std::optional<QString> MainWindow::pickFile(const QString& purpose, const QString& pattern) {
    PickPurpose = purpose;
    QWidget* over = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    const auto file = FilePicker::choose(over, pickerStart(), pattern);
    if (file)
        lastPicked_ = QFileInfo(*file).absolutePath();
    return file;
}

// A file for a music or picture box (the music boxes take one only while music is on).
void MainWindow::pickInto(QLineEdit* box, const QString& purpose, const QString& pattern) {
    const auto file = pickFile(purpose, pattern);
    if (file && (box == back_ || bMus_[0]->isChecked()))
        pathChosen(box, *file);
}

void MainWindow::RunFile(const QString& path) {
    const QFileInfo info(path);
    if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void MainWindow::pictureClicked(QObject* picture) {
    if (picture == help_) {
        runTrapped(context_, kFailHelpButton, [this] {
            HelpWindow help(context_, this);
            help.exec();
        });
    } else if (picture == dataEntry_) {
        runTrapped(context_, kFailDataEntryButton, [this] {
            MakeDirs(context_, session_.projectPath, BookTxtDir, XmlDir);
            formatter()->Doit();
        });
    } else if (picture == output_) {
        runTrapped(context_, kFailOutputButton, [this] { exportCommand(); });
    } else if (picture == discImage_) {
        runTrapped(context_, kFailDiscImage, [this] { imageCommand(); });
    } else if (picture == questionsOut_) {
        runTrapped(context_, kFailQuestionsOut, [this] { questionsCommand(); });
    } else if (picture == paperExam_) {
        runTrapped(context_, kFailPaperExam, [this] { paperCommand(); });
    } else if (picture == readSheets_) {
        runTrapped(context_, kFailReadSheets, [this] { readSheetsCommand(); });
    } else if (picture == analysis_) {
        runTrapped(context_, kFailAnalysis, [this] { analysisCommand(); });
    } else if (picture == browse_[1]) {
        runTrapped(context_, kFailBrowseMusic1, [this] {
            pickInto(mus1_, QStringLiteral("Command6"), QStringLiteral("*.mp3"));
        });
    } else if (picture == browse_[2]) {
        runTrapped(context_, kFailBrowseMusic2, [this] {
            pickInto(mus2_, QStringLiteral("Command7"), QStringLiteral("*.mp3"));
        });
    } else if (picture == browse_[0]) {
        runTrapped(context_, kFailBrowseBackPicture, [this] {
            pickInto(back_, QStringLiteral("Command8"), QStringLiteral("*.jpg"));
        });
    } else if (picture == browse_[3]) {
        runTrapped(context_, kFailBrowseExportFolder, [this] {
            if (const auto folder = pickFolder(QStringLiteral("ExBox")))
                pathChosen(exBox_, *folder);
        });
    }
}

} // namespace tavrin
