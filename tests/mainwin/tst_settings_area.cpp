// The settings area through its widgets: changes kept in the project file across project
// changes and restarts, and the output button's export.
#include "app/messages.h"
#include "export/cd_export.h"
#include "mainwin/export_progress_dialog.h"
#include "mainwin/main_window.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "support/full_disk.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/message_box_prompts.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

QByteArray utf16(const QString& text) {
    return encodeUtf16Le(text);
}

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// A program folder with two projects and the shipped Resources.
struct Program {
    TestProgram p;
    std::unique_ptr<MainWindow> w;
    // The check before the disc, as each export shows it: its lines as copied, then closed
    // with its own buttons, and whether the progress window was still up beside it.
    QStringList findings, closings;
    QList<bool> progressWithFindings;
    QTimer closer;
    explicit Program(Prompts* real = nullptr) : p(real) {
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != "ListBox" || !window->isVisible())
                    continue;
                QTest::mouseClick(window->findChild<QPushButton*>("Copy"), Qt::LeftButton);
                findings << QApplication::clipboard()->text();
                auto* closing = window->findChild<QLabel*>("Closing");
                closings << (closing && closing->isVisible() ? closing->text() : QString());
                bool progress = false;
                for (auto* d : w->findChildren<QProgressDialog*>())
                    progress = progress || d->isVisible();
                progressWithFindings << progress;
                QTest::mouseClick(window->findChild<QPushButton*>("Close"), Qt::LeftButton);
            }
        });
        closer.start();
        copyShippedResources(p.folder());
        writeBytes(p.path("Projects.xml"),
                   utf16("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
        start();
        NewProj(p.context(), *w, "One");
        NewProj(p.context(), *w, "Two");
    }
    void start() {
        w = std::make_unique<MainWindow>(p.context());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    template <typename T> T* find(const char* name) {
        return tavrin::test::control<T>(w.get(), name);
    }
    void select(int row) { clickRow(find<QListWidget>("ProjB"), row); }
    void type(const char* box, const QString& text) {
        auto* edit = find<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // The output button as the user reaches it: the pointer over its rest picture.
    void exportNow() {
        const QPointF at(10, 10);
        QMouseEvent move(QEvent::MouseMove, at, find<QLabel>("Picture14")->mapToGlobal(at),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(find<QLabel>("Picture14"), &move);
        QTest::mouseClick(find<QLabel>("Picture15"), Qt::LeftButton);
    }
};

} // namespace

class SettingsAreaTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("settings", ".steps"); }
    // The settings area as the author works it, as step tables (tests/data/settings).
    void scenarios() {
        QFETCH(QString, name);
        LessonWindows t{LessonWindows::Projects{{"One", "Two"}}};
        runSteps(t, "settings/" + name);
    }

    // A setting the disk does not take (the file may grow no more: a full disk, for root
    // too) is said in Persian, and the box shows the value the project still holds.
    void aSettingTheDiskRefuses() {
        Program g;
        g.start();
        g.select(0);
        const QString file = g.p.path("Project 1/Project.xml");
        const QByteArray before = readBytes(file);
        auto* minutes = g.find<QSpinBox>("ExamMinutes");
        QCOMPARE(minutes->value(), 0);
        minutes->setFocus();
        withFileSizeLimit(64, [&] { QTest::keyClick(minutes, Qt::Key_Up); });
        QCOMPARE(readBytes(file), before);
        QCOMPARE(minutes->value(), 0);
        QVERIFY(!g.p.prompts.shown.isEmpty());
        const QString said = g.p.prompts.shown.last().text;
        QVERIFY2(said.startsWith(PayamText(kNoticeSettingNotKept)), qPrintable(said));
        QVERIFY2(said.contains(u8("علت: فضاي ديسك پر است")), qPrintable(said));
    }

    // The progress window is gone before the closing message, with real message boxes (a
    // box's event loop gives a dialog's show timer its chance): on success, on failure, and
    // when cancelled.
    void exportEndsBeforeItsMessage() {
        MessageBoxPrompts boxes;
        Program g(&boxes);
        boxes.setOwner(g.w.get());
        g.select(0);
        QList<bool> progressShownWithMessage;
        QStringList messages;
        // Each box is left up long enough for a show timer to fire, then answered.
        QTimer answer;
        answer.setInterval(20);
        QElapsedTimer up;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QMessageBox* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                box = box ? box : qobject_cast<QMessageBox*>(w->isVisible() ? w : nullptr);
            if (!box) {
                up.invalidate();
                return;
            }
            if (!up.isValid())
                up.start();
            if (up.elapsed() < 700)
                return;
            bool shown = false;
            for (auto* d : g.w->findChildren<QProgressDialog*>())
                shown = shown || d->isVisible();
            progressShownWithMessage << shown;
            messages << box->text();
            up.invalidate();
            box->buttons().first()->click();
        });
        answer.start();
        g.exportNow(); // no lesson made: asked; Yes is the first button
        QVERIFY(QFile::exists(g.p.path("Export/Export 1/index.html")));
        // A failure: a script entry without its arrow.
        writeBytes(g.p.path("Resources/Export.inf"),
                   "[ Make Folder ]\r\nData\r\n\r\n[ Copy Folder ]\r\nno arrow\r\n\r\n"
                   "[ Copy File ]\r\n\r\n[ End ]");
        g.exportNow();
        // The closing notice stood in the list window, not in a box after it.
        QCOMPARE(messages.size(), 3);
        QCOMPARE(g.closings, QStringList{PayamText(kNoticeExportReady)});
        QVERIFY(messages[2].startsWith(shownInWindows(u8("بروز اشكال در گرفتن خروجي!"))));
        QCOMPARE(progressShownWithMessage, (QList<bool>{false, false, false}));
        // The list window of the check came up once, the progress window gone before it;
        // Copy gave its lines.
        QCOMPARE(g.progressWithFindings, QList<bool>{false});
        QVERIFY(g.findings.value(0).startsWith(u8("هشدار: Data/quizdata.js — لوح درسي ندارد\r\n")));

        // Cancelled from the dialog itself: it closes and does not come back.
        QFile::remove(g.p.path("Resources/Export.inf"));
        copyShippedResources(g.p.folder());
        for (const char* name : {"a.bin", "b.bin", "c.bin"})
            writeBytes(g.p.path("Project 1/BookTXT/") + name, QByteArray(24 << 20, 'x'));
        ExportProgressDialog dialog(g.w.get());
        dialog.setMinimumDuration(0);
        // The dialog's own Cancel button, clicked once a file is copied.
        struct ClickCancel final : ExportProgress {
            ExportProgressDialog& d;
            explicit ClickCancel(ExportProgressDialog& dialog) : d(dialog) {}
            bool advance(const QString& f, qint64 b, qint64 bt, int done, int total) override {
                const bool go = d.advance(f, b, bt, done, total);
                if (done >= 1 && d.isVisible() && !d.wasCanceled())
                    d.findChild<QPushButton*>()->click();
                return go && !d.wasCanceled();
            }
            void flushing() override { d.flushing(); }
            void finished() override { d.finished(); }
        } clicking(dialog);
        ExportRequest request;
        request.target = g.p.path("Export");
        request.projectPath = g.p.path("Project 1");
        QCOMPARE(ExportAll(g.p.context(), request, &clicking).outcome, ExportOutcome::Cancelled);
        answer.stop();
        QVERIFY(!dialog.isVisible());
        // Nothing is left to show it again later: none of its timers runs.
        for (const QTimer* timer : dialog.findChildren<QTimer*>())
            QVERIFY(!timer->isActive());
    }
};

QTEST_MAIN(SettingsAreaTest)
#include "tst_settings_area.moc"
