// The settings area kept in the project file, and the output button's export.
#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "app/texts.h"
#include "export/cd_export.h"
#include "export/disc_image.h"
#include "export/export_command.h"
#include "export/export_freshness.h"
#include "export/output_folders.h"
#include "export/quiz_data.h"
#include "mainwin/export_progress_dialog.h"
#include "mainwin/main_window.h"
#include "mainwin/paper_dialog.h"
#include "mainwin/questions_dialog.h"
#include "mainwin/scoring_dialog.h"
#include "paper/paper_exam.h"
#include "paper/paper_memory.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/project_settings.h"
#include "store/quiz_file.h"
#include "store/store_common.h"
#include "undo/edit_names.h"
#include "widgets/busy_cursor.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

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
    connect(examOn_, &QCheckBox::clicked, this, [this](bool on) {
        keepSetting(QStringLiteral("ExamOn"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(examMinutes_, &QSpinBox::valueChanged, this,
            [this](int v) { keepSetting(QStringLiteral("ExamMinutes"), QString::number(v)); });
    connect(examCount_, &QSpinBox::valueChanged, this,
            [this](int v) { keepSetting(QStringLiteral("ExamCount"), QString::number(v)); });
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
    KeptSetting kept;
    // A number typed into its box is one step, not one a keystroke.
    const bool typed = tag == QLatin1String("ExamMinutes") || tag == QLatin1String("ExamCount");
    recordEdit(
        settingName(tag), Touches::ProjectFile,
        [&] { kept = KeepSetting(context_, session_.projectPath, tag, value); },
        typed ? tag : QString());
    if (kept.kept())
        return;
    // Not written: the boxes show what the project still holds (as they are when the file
    // does not read), then the author hears why (a refused path has said so already).
    if (const auto stored = storedSettings(context_, session_.projectPath)) {
        filling_ = true;
        showSettings(*stored);
        filling_ = false;
    }
    if (kept.outcome == KeptSetting::Outcome::Failed)
        bepayamBecause(context_, kNoticeSettingNotKept, kept.why);
}

bool MainWindow::exportCommand(bool startPlayer) {
    ExportCommand command{exBox_->text(),   session_.projectPath,
                          settingsChoice(), BookTxtDir,
                          XmlDir,           pcheck_->checkState() == Qt::Checked};
    std::optional<ExportRequest> request;
    {
        const BusyCursor busy;
        request = prepareExport(context_, command);
    }
    // Shown absolute from now on, as the export made them.
    exBox_->setText(command.exportBox);
    session_.projectPath = command.projectPath;
    if (!request)
        return false;
    if (startPlayer)
        request->runFile = [this](const QString& path) { RunFile(path); };
    ExportProgressDialog progress(this);
    const BusyCursor busy;
    return ExportAll(context_, *request, &progress).outcome == ExportOutcome::Exported;
}

// An export older than the project is made again first when the author says so (the
// question starts there); No makes the image of the export as it is. False on Cancel, or
// when the export asked for was not made.
bool MainWindow::freshExport(const QString& last) {
    if (session_.projectPath.isEmpty())
        return true;
    QStringList changed;
    {
        const BusyCursor busy;
        changed = exportChanges(context_, last, session_.projectPath);
    }
    if (changed.isEmpty())
        return true;
    constexpr int kNamed = 10;
    const qsizetype count = changed.size();
    context_.log().LogMe(
        QStringLiteral("The project changed after %1: %2")
            .arg(QDir::toNativeSeparators(last), changed.join(QStringLiteral(", "))));
    if (count > kNamed) {
        changed = changed.mid(0, kNamed);
        changed.append(texts::kAndMoreFiles.arg(count - kNamed));
    }
    const QString shown = changed.join(QStringLiteral("\u200F\r\n"));
    switch (context_.prompts().askYesNoCancel(
        kMainCaption, texts::kAskExportBeforeImage.arg(QFileInfo(last).fileName(), shown),
        Answer::Yes)) {
    case Answer::Yes:
        return exportCommand(false);
    case Answer::No:
        context_.log().LogMe(QStringLiteral("The image is made of the earlier export, as asked."));
        return true;
    case Answer::Cancel:
        break;
    }
    context_.log().LogMe(QStringLiteral("Aborted by user!"));
    return false;
}

void MainWindow::imageCommand() {
    context_.log().LogMe(QStringLiteral("Making the disc image..."));
    const QString target = fromStoredPath(exBox_->text());
    QString last = lastExportFolder(target);
    if (last.isEmpty()) {
        bepayam(context_, kNoticeNoExportYet);
        return;
    }
    if (!freshExport(last))
        return;
    last = lastExportFolder(target);
    if (!confirmImageDespiteCheck(context_, last))
        return;
    const QString iso = last + QStringLiteral(".iso");
    const QListWidgetItem* project = projB_->currentItem();
    ExportProgressDialog progress(this);
    const QString name = QFileInfo(iso).fileName();
    ImageResult image;
    {
        const BusyCursor busy;
        const QString title = exportTitle(last);
        image = makeDiscImage(
            last, iso,
            volumeLabel(!title.isEmpty() ? title
                        : project        ? project->text()
                                         : QString()),
            [&](qint64 done, qint64 total) { return progress.advance(name, done, total, 0, 1); });
        progress.finished();
    }
    for (const QString& left : image.leftoversRemoved)
        context_.log().LogMe(QStringLiteral("A killed image's working file removed: %1")
                                 .arg(QDir::toNativeSeparators(left)));
    if (image.outcome == ImageOutcome::Cancelled) {
        context_.log().LogMe(QStringLiteral("Disc image cancelled by user."));
        return;
    }
    if (image.outcome == ImageOutcome::Made && image.readBackMatched) {
        context_.log().LogMe(QStringLiteral("Disc image made and read back the same: %1 (%2 files)")
                                 .arg(QDir::toNativeSeparators(iso))
                                 .arg(image.files));
        bepayamWithLine(context_, kNoticeImageMade, QDir::toNativeSeparators(iso));
        return;
    }
    reportFailure(context_, kFailDiscImage, image.description);
    bepayamBecause(context_, kNoticeImageNotMade, image.description);
}

void MainWindow::scoringCommand() {
    context_.log().LogMe(QStringLiteral("Exams and scoring..."));
    if (selectedIndex(StoreList::Projects) < 0 || session_.projectPath.isEmpty()) {
        bepayam(context_, kNoticeChooseAProject);
        return;
    }
    const auto stored = storedSettings(context_, session_.projectPath);
    if (!stored) {
        bepayamBecause(context_, kNoticeSettingNotKept,
                       QStringLiteral("File not found: ") +
                           store::projectFilePath(session_.projectPath));
        return;
    }
    const auto chosen =
        ScoringDialog::ask(this, context_.prompts(), scoringSettings(*stored),
                           budgetFields(readQuestionBank(context_, session_.projectPath)));
    if (!chosen)
        return;
    // What changed, in one safe write; nothing at all when nothing did.
    const auto changes = scoringChanges(*stored, *chosen);
    if (changes.isEmpty())
        return;
    KeptSetting kept;
    recordEdit(edits::kScoring, Touches::ProjectFile,
               [&] { kept = KeepSettings(context_, session_.projectPath, changes); });
    if (kept.outcome == KeptSetting::Outcome::Failed)
        bepayamBecause(context_, kNoticeSettingNotKept, kept.why);
    else if (kept.kept())
        context_.log().LogMe(QStringLiteral("Exams and scoring kept."));
}

void MainWindow::questionsCommand() {
    context_.log().LogMe(QStringLiteral("Questions for learning platforms..."));
    const Session& chosen = session();
    if (chosen.projectPath.isEmpty()) {
        bepayam(context_, kNoticeChooseAProject);
        return;
    }
    const TravelScope selected{chosen.fieldIndex, chosen.lessonIndex};
    // The file is named for what it holds: the lesson, else the field, else the project.
    const QListWidgetItem* named = chosen.lessonIndex >= 0  ? darsB_->currentItem()
                                   : chosen.fieldIndex >= 0 ? reshB_->currentItem()
                                                            : projB_->currentItem();
    QuestionsOut first = rememberedQuestionsOut(
        chosen.projectPath,
        defaultQuestionsOut(chosen.projectPath, selected, fromStoredPath(exBox_->text()),
                            named ? named->text() : QString()),
        selected);
    // The project's own pass mark, where the author set one, is the package's first offer.
    if (const auto stored = storedSettings(context_, chosen.projectPath))
        if (const ScoringSettings scoring = scoringSettings(*stored); scoring.passMarkSet)
            first.passMark = scoring.passMark;
    const auto request = QuestionsDialog::ask(this, first, selected);
    if (request) {
        try {
            rememberQuestionsOut(chosen.projectPath, *request);
        } catch (const FsError& e) {
            context_.log().LogMe(QStringLiteral("The questions' choices not kept: ") +
                                 e.description());
        }
    }
    // A file of an earlier export is replaced only when the author says so.
    if (!request ||
        (fileExists(request->out) &&
         !context_.prompts().askYesNo(
             kMainCaption,
             QStringLiteral(u"فايلي با نام\r\n") + pathInLine(request->out) +
                 QStringLiteral(u"\r\nدر حال حاضر موجود است.\r\n\r\nآيا جايگزين شود؟\u200F"),
             Default::No))) {
        context_.log().LogMe(QStringLiteral("Aborted by user!"));
        return;
    }
    QString why;
    try {
        const BusyCursor busy;
        const QuestionsWritten written = writeQuestions(context_, *request);
        QString line = pathInLine(request->out);
        if (written.leftOut)
            line +=
                QStringLiteral(u"\r\nتصوير و پيوست %1 سؤال در GIFT جا نگرفت.").arg(written.leftOut);
        bepayamWithLine(context_, kNoticeQuestionsWritten, line);
        return;
    } catch (const std::invalid_argument&) {
        why = QStringLiteral(
            u"در اين انتخاب درسي با فايل آزمون ساخته‌شده "
            u"نيست.");
    } catch (const UnreadableQuiz& e) {
        why = QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name());
    } catch (const FsError& e) {
        why = e.description();
    }
    reportFailure(context_, kFailQuestionsOut, why);
    bepayamBecause(context_, kNoticeQuestionsNotWritten, why);
}

void MainWindow::paperCommand() {
    context_.log().LogMe(QStringLiteral("Exam on paper..."));
    const Session& chosen = session();
    if (chosen.projectPath.isEmpty()) {
        bepayam(context_, kNoticeChooseAProject);
        return;
    }
    const auto stored = storedSettings(context_, chosen.projectPath);
    const ScoringSettings scoring = stored ? scoringSettings(*stored) : ScoringSettings{};
    PaperChoices first =
        defaultPaperChoices(context_, scoring, chosen.fieldIndex, chosen.lessonIndex);
    first.seed = 1 + context_.random().bounded(999999);
    if (first.title.isEmpty())
        if (const QListWidgetItem* project = projB_->currentItem())
            first.title = project->text();
    const QString projectName = QFileInfo(QDir::cleanPath(chosen.projectPath)).fileName();
    const QString folder =
        QDir(fromStoredPath(exBox_->text())).filePath(QStringLiteral("paper-") + projectName);
    // The header, versions, layout and folder this project's exam was last made with.
    const RememberedPaper kept = rememberedPaper(chosen.projectPath, first, folder);
    const auto request = PaperDialog::ask(
        this, kept.choices, kept.folder, scoring.fullExam && !scoring.budget.isEmpty(),
        chosen.fieldIndex, chosen.lessonIndex, questionHistory(chosen.projectPath));
    if (request) {
        try {
            rememberPaper(chosen.projectPath, request->choices, request->folder);
        } catch (const FsError& e) {
            context_.log().LogMe(QStringLiteral("The paper exam's choices not kept: ") +
                                 e.description());
        }
    }
    // An earlier exam in the folder is replaced only when the author says so.
    if (!request ||
        (!paperExamFilesIn(request->folder).isEmpty() &&
         !context_.prompts().askYesNo(
             kMainCaption,
             QStringLiteral(u"در پوشهٔ\r\n") + pathInLine(request->folder) +
                 QStringLiteral(u"\r\nآزمون کاغذی دیگری هست.\r\n\r\nآیا جایگزین شود؟\u200F"),
             Default::No))) {
        context_.log().LogMe(QStringLiteral("Aborted by user!"));
        return;
    }
    QString why, shownWhy;
    try {
        // Modal while the pages print: nothing else can be started meanwhile.
        QProgressDialog progress(QStringLiteral(u"ساختن PDF آزمون کاغذی…"), QString(), 0, 1, this);
        progress.setObjectName(QStringLiteral("PaperProgress"));
        progress.setWindowTitle(kShownCaption);
        progress.setCancelButton(nullptr);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setLayoutDirection(Qt::RightToLeft);
        progress.setValue(0);
        const BusyCursor busy;
        const PaperWritten written =
            writePaperExam(context_, chosen.projectPath, projectName, request->folder,
                           request->choices, {}, [&progress](int done, int total) {
                               progress.setMaximum(total);
                               progress.setValue(done);
                           });
        progress.close();
        QString line = pathInLine(request->folder);
        if (!written.labelsTaken.isEmpty())
            line += QStringLiteral("\u200F\r\n") +
                    texts::kOwnLabelsTaken.arg(written.labelsTaken.size()) +
                    QStringLiteral("\u200F\r\n") +
                    written.labelsTaken.join(QStringLiteral("\u200F\r\n"));
        bepayamWithLine(context_, kNoticePaperWritten, line);
        return;
    } catch (const NothingToPrint& nothing) {
        why = nothing.why();
        shownWhy = nothing.persian();
    } catch (const UnreadableQuiz& e) {
        why = QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name());
    } catch (const FsError& e) {
        why = e.description();
    }
    reportFailure(context_, kFailPaperExam, why);
    bepayamWithLine(context_, kNoticePaperNotWritten,
                    shownWhy.isEmpty() ? persianCause(why) : shownWhy);
}

} // namespace tavrin
