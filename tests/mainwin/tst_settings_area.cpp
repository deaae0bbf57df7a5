// The settings area through its widgets: changes kept in the project file across project
// changes and restarts, and the output button's export.
#include "app/messages.h"
#include "export/cd_export.h"
#include "mainwin/export_progress_dialog.h"
#include "mainwin/main_window.h"
#include "mainwin/scoring_dialog.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/message_box_prompts.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// The check before the disc, as each export shows it: its lines as copied, then closed with
// its own buttons, and whether the progress window was still up beside it.
struct CheckLists {
    QStringList findings, closings;
    QList<bool> progressWithFindings;
    QTimer closer;
    explicit CheckLists(QWidget* main) {
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [this, main] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != "ListBox" || !window->isVisible())
                    continue;
                QTest::mouseClick(window->findChild<QPushButton*>("Copy"), Qt::LeftButton);
                findings << QApplication::clipboard()->text();
                auto* closing = window->findChild<QLabel*>("Closing");
                closings << (closing && closing->isVisible() ? closing->text() : QString());
                bool progress = false;
                for (auto* d : main->findChildren<QProgressDialog*>())
                    progress = progress || d->isVisible();
                progressWithFindings << progress;
                QTest::mouseClick(window->findChild<QPushButton*>("Close"), Qt::LeftButton);
            }
        });
        closer.start();
    }
};

// The output button as the user reaches it: the pointer over its rest picture.
void exportNow(QWidget* main) {
    auto* rest = control<QLabel>(main, "Picture14");
    const QPointF at(10, 10);
    QMouseEvent move(QEvent::MouseMove, at, rest->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(rest, &move);
    QTest::mouseClick(control<QLabel>(main, "Picture15"), Qt::LeftButton);
}

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

    // The progress window is gone before the closing message, with real message boxes (a
    // box's event loop gives a dialog's show timer its chance): on success, on failure, and
    // when cancelled.
    // The scoring dialog's refusal as a real message box (the test command also runs this under
    // Xvfb): over the dialog, right to left, and the dialog stays with the fraction to mend.
    void scoringRefusedOnADisplay() {
        MessageBoxPrompts boxes;
        LessonWindows g{LessonWindows::Projects{{"One"}, &boxes}};
        boxes.setOwner(g.main.get());
        clickRow(control<QListWidget>(g.main.get(), "ProjB"), 0);
        QString said;
        bool over = false, stayed = false;
        onModal<ScoringDialog>([&](ScoringDialog* d) {
            QVERIFY(QTest::qWaitForWindowExposed(d));
            auto* penalty = control<QComboBox>(d, "Penalty");
            penalty->setFocus();
            while (penalty->currentIndex() < 3)
                QTest::keyClick(penalty, Qt::Key_Down);
            auto* fraction = control<QLineEdit>(d, "PenaltyFraction");
            fraction->setFocus();
            typeText(fraction, "3/2");
            onModal<QMessageBox>([&](QMessageBox* box) {
                QVERIFY(QTest::qWaitForWindowExposed(box));
                over = box->isVisible() && box->layoutDirection() == Qt::RightToLeft &&
                       QApplication::activeModalWidget() == box;
                said = box->text();
                box->buttons().first()->click();
            });
            QTest::mouseClick(control<QPushButton>(d, "ScoringOk"), Qt::LeftButton);
            stayed = d->isVisible() && d->focusWidget() == fraction;
            QTest::mouseClick(control<QPushButton>(d, "ScoringCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(control<QPushButton>(g.main.get(), "Scoring"), Qt::LeftButton);
        QVERIFY(over);
        QVERIFY(stayed);
        QVERIFY2(said.startsWith(shownInWindows(u8("نمرهٔ منفی باید کسری از ۰ تا ۱ باشد"))),
                 qPrintable(said));
    }

    void exportEndsBeforeItsMessage() {
        MessageBoxPrompts boxes;
        LessonWindows g{LessonWindows::Projects{{"One", "Two"}, &boxes}};
        boxes.setOwner(g.main.get());
        clickRow(control<QListWidget>(g.main.get(), "ProjB"), 0);
        CheckLists lists(g.main.get());
        QList<bool> progressShownWithMessage;
        QStringList messages, titles;
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
            for (auto* d : g.main->findChildren<QProgressDialog*>())
                shown = shown || d->isVisible();
            progressShownWithMessage << shown;
            messages << box->text();
            titles << box->windowTitle();
            up.invalidate();
            box->buttons().first()->click();
        });
        answer.start();
        exportNow(g.main.get()); // no lesson made: asked; Yes is the first button
        QVERIFY(QFile::exists(g.p.path("Export/Export 1/index.html")));
        // A failure: a script entry without its arrow.
        writeBytes(g.p.path("Resources/Export.inf"),
                   "[ Make Folder ]\r\nData\r\n\r\n[ Copy Folder ]\r\nno arrow\r\n\r\n"
                   "[ Copy File ]\r\n\r\n[ End ]");
        exportNow(g.main.get());
        // The closing notice stood in the list window, not in a box after it.
        QCOMPARE(messages.size(), 3);
        QCOMPARE(lists.closings, QStringList{PayamText(kNoticeExportReady)});
        QVERIFY(messages[2].startsWith(shownInWindows(u8("بروز اشكال در گرفتن خروجي!"))));
        QCOMPARE(progressShownWithMessage, (QList<bool>{false, false, false}));
        // The program's boxes are titled in Persian, not with the code's own caption.
        QCOMPARE(titles, QStringList(3, u8("تورین")));
        // The list window of the check came up once, the progress window gone before it;
        // Copy gave its lines.
        QCOMPARE(lists.progressWithFindings, QList<bool>{false});
        QVERIFY(
            lists.findings.value(0).startsWith(u8("هشدار: Data/quizdata.js — لوح درسي ندارد\r\n")));

        // Cancelled from the dialog itself: it closes and does not come back.
        QFile::remove(g.p.path("Resources/Export.inf"));
        copyShippedResources(g.p.folder());
        for (const char* name : {"a.bin", "b.bin", "c.bin"})
            writeBytes(g.p.path("Project 1/BookTXT/") + name, QByteArray(24 << 20, 'x'));
        ExportProgressDialog dialog(g.main.get());
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
