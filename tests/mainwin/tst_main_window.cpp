#include "app/messages.h"
#include "dialogs/pickers.h"
#include "formatter/formatter_window.h"
#include "mainwin/main_window.h"
#include "platform/text_codec.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::readBytes;
using tavrin::test::TestProgram;
using tavrin::test::writeBytes;

namespace {

const QString kCatalogue = QStringLiteral("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n");

// A pointer move over a widget, as the window system delivers it.
void hover(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

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

int greyOf(QWidget* w) {
    return w->palette().color(QPalette::WindowText).red();
}

// Records the frame's text colour each time it changes.
class GreyRecorder : public QObject {
public:
    QList<int> levels;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::PaletteChange)
            levels.append(greyOf(static_cast<QWidget*>(o)));
        return false;
    }
};

struct Window {
    TestProgram p;
    std::unique_ptr<MainWindow> w;
    explicit Window(const QString& catalogue = kCatalogue) {
        writeBytes(p.path("Projects.xml"), encodeUtf16Le(catalogue));
        w = std::make_unique<MainWindow>(p.context());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    template <typename T> T* find(const char* name) {
        return tavrin::test::control<T>(w.get(), name);
    }
    QListWidget* list(const char* name) { return find<QListWidget>(name); }
    QTimer* timer(const char* name) { return w->findChild<QTimer*>(QLatin1String(name)); }
    // The panel's delay (Timer2) runs out, then the fade runs its steps to the end.
    void letPanelFadeIn() {
        if (timer("Timer2")->isActive()) // not when the panel stands open already
            test::fire(timer("Timer2"));
        while (timer("FadeTimer")->isActive())
            test::fire(timer("FadeTimer"));
    }
    // Opens an action panel the way a user does: rest on the list, then its time passes.
    void openPanel(const char* list, const char* frame) {
        hover(find<QListWidget>(list)->viewport());
        letPanelFadeIn();
        QVERIFY(find<QFrame>(frame)->isVisible());
        QCOMPARE(greyOf(find<QFrame>(frame)), 135);
    }
    // Clicks an action label that opens the New title box and types the title into it.
    void createWithTitle(const char* list, const char* frame, const char* label,
                         const QString& title) {
        openPanel(list, frame);
        QTimer::singleShot(0, [title] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            tavrin::test::typeText(box->findChild<QLineEdit*>("jadid"), title);
            QTest::mouseClick(box->findChild<QPushButton*>("btn"), Qt::LeftButton);
        });
        QTest::mouseClick(find<QLabel>(label), Qt::LeftButton);
    }
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

    void panelFadesInAfterItsDelay() {
        Window t;
        auto* frame = t.find<QFrame>("Frame7");
        auto* label6 = t.find<QLabel>("Label6");
        GreyRecorder recorder;
        frame->installEventFilter(&recorder);
        hover(t.list("ProjB")->viewport());
        QCOMPARE(t.w->popupPanel(), 1);
        // Hidden until the delay of 700 ms runs out.
        QTimer* delay = t.timer("Timer2");
        QVERIFY(delay->isActive());
        QCOMPARE(delay->interval(), 700);
        QVERIFY(!frame->isVisible());
        test::fire(delay);
        QVERIFY(frame->isVisible());
        // Mid-fade the labels do not highlight.
        test::fire(t.timer("FadeTimer"));
        hover(label6);
        QVERIFY(greyOf(label6) != 100);
        QCOMPARE(t.timer("FadeTimer")->interval(), 20);
        while (t.timer("FadeTimer")->isActive())
            test::fire(t.timer("FadeTimer"));
        QCOMPARE(greyOf(frame), 135);
        QCOMPARE(recorder.levels, (QList<int>{235, 221, 207, 193, 179, 165, 151, 137, 135}));
        QCOMPARE(greyOf(t.find<QFrame>("Shape1")), 135);

        hover(label6);
        QCOMPARE(greyOf(label6), 100);
        QCOMPARE(greyOf(t.find<QLabel>("Label4")), 135);
        hover(t.find<QLabel>("Label4"));
        QCOMPARE(greyOf(label6), 135);
        QCOMPARE(greyOf(t.find<QLabel>("Label4")), 100);
        // Back on the list: no label stays highlighted.
        hover(t.list("ProjB")->viewport());
        QCOMPARE(greyOf(t.find<QLabel>("Label4")), 135);
        // The heading closes it.
        hover(t.find<QLabel>("ProjHeading"));
        QVERIFY(!frame->isVisible());
        QVERIFY(!t.find<QFrame>("Shape1")->isVisible());
    }

    void frame1CancelsButTheHeadingDoesNot() {
        Window t;
        hover(t.list("ReshB")->viewport()); // disabled list: no events reach it in use,
        hover(t.list("ProjB")->viewport());
        hover(t.find<QWidget>("Frame1"));
        // The delay is stopped: the panel will not come.
        QVERIFY(!t.timer("Timer2")->isActive());
        QVERIFY(!t.find<QFrame>("Frame7")->isVisible());

        hover(t.list("ProjB")->viewport());
        hover(t.find<QLabel>("ProjHeading"));
        t.letPanelFadeIn();
        QVERIFY(t.find<QFrame>("Frame7")->isVisible());
        hover(t.find<QLabel>("Picture12"));
        QVERIFY(t.find<QLabel>("Picture17")->isVisible());
        hover(t.find<QWidget>("Frame1"));
        QVERIFY(!t.find<QFrame>("Frame7")->isVisible());
        QVERIFY(!t.find<QLabel>("Picture17")->isVisible());
    }

    void titleStripMovesAndColours() {
        Window t;
        auto* strip = t.find<QLabel>("Label21");
        auto* close = t.find<QLabel>("Label18");
        const QPoint before = t.w->pos();
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(100, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(130, 25), strip->mapToGlobal(QPointF(130, 25)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &move);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(130, 25));
        QCOMPARE(t.w->pos(), before + QPoint(30, 15));
        QVERIFY(!t.w->dragging());

        QCOMPARE(close->palette().color(QPalette::WindowText), QColor(255, 128, 128));
        hover(close);
        QCOMPARE(close->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        hover(t.find<QLabel>("Label19"));
        QCOMPARE(t.find<QLabel>("Label19")->palette().color(QPalette::WindowText),
                 QColor(0, 0, 255));
        hover(strip);
        QCOMPARE(close->palette().color(QPalette::WindowText), QColor(255, 128, 128));
        QCOMPARE(t.find<QLabel>("Label19")->palette().color(QPalette::WindowText),
                 QColor(128, 128, 255));

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
            QVERIFY(t.find<QLineEdit>("Mus1")->mapTo(t.w.get(), QPoint()).y() >
                    list->mapTo(t.w.get(), QPoint(0, list->height())).y());
        }
        for (const char* name : {"Label18", "Label19"}) {
            QVERIFY(t.find<QLabel>(name)->width() >= 24);
            QVERIFY(t.find<QLabel>(name)->height() >= 24);
        }
        QVERIFY(t.w->width() * 1.25 <= 1366);
        QVERIFY(t.w->height() * 1.25 <= 768 - 40); // a task bar
    }

    // Focus runs ChekSelect only; reading is for clicks, Enter and moved selections.

    // After the last project is deleted the field list is disabled: its panel goes and
    // its labels do nothing.
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
