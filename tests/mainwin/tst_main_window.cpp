#include "dialogs/pickers.h"
#include "formatter/formatter_window.h"
#include "mainwin/main_window.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::readBytes;
using tavrin::test::TestProgram;
using tavrin::test::writeBytes;

namespace {

// First and last column holding a pixel of this colour.
std::pair<int, int> inkSpan(const QImage& image, QColor ink) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - ink.red()) < 60 && qAbs(c.green() - ink.green()) < 60 &&
                qAbs(c.blue() - ink.blue()) < 60) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

// The main window over an empty catalogue, its controls by name.
struct Window : test::LessonWindows {
    Window() : LessonWindows(Bare{}) {}
    template <typename T> T* find(const char* name) { return test::control<T>(main.get(), name); }
    QListWidget* list(const char* name) { return find<QListWidget>(name); }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { test::fileRows("mainwin", ".steps"); }
    // The author's ways through the main window, as step tables (tests/data/mainwin).
    void scenarios() {
        QFETCH(QString, name);
        test::LessonWindows t{test::LessonWindows::Bare{}};
        test::runSteps(t, "mainwin/" + name);
    }

    // The strip moves the window; the close mark ends the program.
    void titleStripMovesAndCloses() {
        Window t;
        auto* strip = t.find<QLabel>("Label21");
        auto* close = t.find<QLabel>("Label18");
        const QPoint before = t.main->pos();
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(100, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(130, 25), strip->mapToGlobal(QPointF(130, 25)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &move);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(130, 25));
        QCOMPARE(t.main->pos(), before + QPoint(30, 15));
        QVERIFY(!t.main->dragging());

        QTimer::singleShot(0, [close] { QTest::mouseClick(close, Qt::LeftButton); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(t.p.entries().last(), QStringLiteral("Moxaly ended."));
    }

    // ---- right-to-left text, title box, keyboard and stale lists ------------------------

    void persianTextsAreRightToLeftParagraphs() {
        Window t;
        auto* label20 = t.find<QLabel>("Label20");
        QVERIFY(tavrin::test::laidOutRightToLeft(label20));
        // "Tavrin" stands at the right end, where the reading starts.
        QImage strip(label20->size(), QImage::Format_RGB32);
        strip.fill(Qt::black);
        label20->render(&strip);
        QCOMPARE(inkSpan(strip, Qt::white).second > label20->width() - 16, true);
        // Headings sit at the right edge of their column.
        auto* label9 = t.find<QLabel>("Label9");
        QImage heading(label9->size(), QImage::Format_RGB32);
        heading.fill(Qt::white);
        label9->render(&heading);
        QVERIFY(inkSpan(heading, Qt::black).first > label9->width() / 2);

        FolderPicker folder({});
        FilePicker file({});
        for (QDialog* picker : std::initializer_list<QDialog*>{&folder, &file}) {
            picker->show();
            auto* btn = picker->findChild<QPushButton*>("btn");
            QVERIFY(tavrin::test::laidOutRightToLeft(btn));
            picker->hide();
        }
        // Yes/No and the text boxes' own menus speak Persian.
        std::unique_ptr<QMenu> menu(t.find<QLineEdit>("ExBox")->createStandardContextMenu());
        QVERIFY(holdsRightToLeft(menu->actions().first()->text()));
        QMessageBox box(QMessageBox::NoIcon, "Moxaly", "x", QMessageBox::Yes | QMessageBox::No);
        QVERIFY(holdsRightToLeft(box.button(QMessageBox::Yes)->text()));
        QVERIFY(holdsRightToLeft(box.button(QMessageBox::No)->text()));
    }

    // The lists show eight rows or more, the settings sit below them, the close and
    // minimise marks are easy to hit, and the window fits 1366x768 at 125%.
    void layoutFitsAndBreathes() {
        Window t;
        for (const char* name : {"ProjB", "ReshB", "DarsB"}) {
            QListWidget* list = t.list(name);
            list->clear();
            for (int i = 0; i < 12; ++i)
                list->addItem(QStringLiteral(u"درس %1").arg(i));
            QVERIFY2(list->viewport()->height() / list->sizeHintForRow(0) >= 8, name);
            QVERIFY(t.find<QLineEdit>("Mus1")->mapTo(t.main.get(), QPoint()).y() >
                    list->mapTo(t.main.get(), QPoint(0, list->height())).y());
        }
        for (const char* name : {"Label18", "Label19"}) {
            QVERIFY(t.find<QLabel>(name)->width() >= 24);
            QVERIFY(t.find<QLabel>(name)->height() >= 24);
        }
        QVERIFY(t.main->width() * 1.25 <= 1366);
        QVERIFY(t.main->height() * 1.25 <= 768 - 40); // a task bar
    }

    // Focus runs ChekSelect only; reading is for clicks, Enter and moved selections.

    // After the last project is deleted the field list is disabled: its panel goes and
    // its labels do nothing.
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
