// The formatter window for real: opened from the main window, a lesson text loaded, the
// capture commands by button and function key, groups, the quiz file, the layout rules.
#include "dialogs/pickers.h"
#include "editor/question_editor.h"
#include "formatter/formatter_window.h"
#include "lesson/text_procedures.h"
#include "mainwin/main_window.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/busy_cursor.h"
#include "widgets/message_box_prompts.h"
#include "widgets/rich_text_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>
#include <future>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString CRLF = QStringLiteral("\r\n");

using Formatter = LessonWindows;

} // namespace

class FormatterWindowTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("formatter", ".steps"); }
    // The author's ways through the formatter, as step tables (tests/data/formatter).
    void scenarios() {
        QFETCH(QString, name);
        Formatter t;
        runSteps(t, "formatter/" + name);
    }

    // Filing from far down the lesson box leaves the box where it was, not at the top.
    void filingKeepsTheBoxsPlace() {
        Formatter t;
        t.f->resize(t.f->width(), 420);
        t.load("02-Joghrafia-Iran.txt");
        QScrollBar* bar = t.matn->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const QString text = t.matn->text();
        const QString last = text.trimmed().section("\r\n", -1).trimmed();
        t.matn->setSelection(int(text.lastIndexOf(last)), int(last.size()));
        bar->setValue(bar->maximum());
        t.click(2);
        QCOMPARE(t.f->table().SoalText[0], last);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->maximum() > 0);
    }

    // Long work shows the busy cursor while the windows go on painting (the work holds until
    // the window has been asked to paint); then the cursor goes. A long load is such work.
    void busyWhileLoading() {
        Formatter t;
        std::promise<void> painted;
        bool busy = false;
        struct PaintSpy : QObject {
            std::function<void()> seen;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint && seen)
                    std::exchange(seen, nullptr)();
                return false;
            }
        } spy;
        spy.seen = [&] {
            busy = QGuiApplication::overrideCursor() &&
                   QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            painted.set_value();
        };
        t.f->installEventFilter(&spy);
        t.f->update();
        QCOMPARE(whileBusy([&] {
                     painted.get_future().wait();
                     return 7;
                 }),
                 7);
        QVERIFY(busy);
        QVERIFY(!QGuiApplication::overrideCursor());
        QByteArray big;
        while (big.size() < (6 << 20))
            big += readBytes(sourceFile("dist/Zar/02-Joghrafia-Iran.txt"));
        writeBytes(t.p.path("Zar/big.txt"), big);
        t.f->FileList();
        t.load("big.txt");
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(t.matn->text().size() > 1000000);
    }

    // A message box belongs to the window the author is in: the formatter, or the question
    // editor over it; never the main window, which would come to the front.
    void boxesBelongToTheirWindow() {
        MessageBoxPrompts boxes;
        Formatter t(&boxes);
        boxes.setOwner(t.main.get());
        t.f->activateWindow();
        QTRY_VERIFY(t.f->isActiveWindow());
        QList<QWidget*> owners;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    owners << box->parentWidget();
                    box->buttons().first()->click();
                }
            }
        });
        answer.start();
        t.matn->setText("a");
        t.matn->selectAll();
        t.click(3); // answers before a question: notice 31
        QCOMPARE(owners, QList<QWidget*>{t.f});
        t.click(2);
        t.matn->setText("b");
        t.matn->selectAll();
        t.click(0);
        bool asked = false;
        test::onModal<QuestionEditor>([&](QuestionEditor* editor) {
            QTest::mouseClick(control<QPushButton>(editor, "Dokme0"), Qt::LeftButton);
            QTRY_COMPARE(owners.size(), 2);
            QCOMPARE(owners.last(), editor);
            asked = true;
            editor->close();
        });
        QTest::mouseClick(t.bindex->viewport(), Qt::LeftButton, {},
                          t.bindex->visualItemRect(t.bindex->item(0)).center());
        QTRY_VERIFY(asked);
        answer.stop();
    }

    void layoutRules() {
        Formatter t;
        auto* books = t.books();
        auto* com4 = control<QPushButton>(t.f, "Com4");
        auto* com11 = control<QPushButton>(t.f, "Com11");
        const QRect booksAt = books->geometry(), matnAt = t.matn->geometry();
        const QRect c4 = com4->geometry(), c11 = com11->geometry();
        const QSize opened = t.f->size();
        // Widened by 600 twips (40 pixels): books moves, matn widens, 4 and 11 stay.
        t.f->resize(opened.width() + 40, opened.height() + 20);
        QCOMPARE(books->geometry().left(), booksAt.left() + 40);
        QCOMPARE(t.matn->width(), matnAt.width() + 40);
        QCOMPARE(t.matn->height(), matnAt.height() + 20);
        QCOMPARE(com4->geometry(), c4);
        QCOMPARE(com11->geometry(), c11);
        QCOMPARE(books->geometry().left(), 641 + 40); // 9615 twips
        // Smaller than it opened: snapped back.
        t.f->resize(opened.width() - 100, opened.height() - 100);
        QTRY_COMPARE(t.f->size(), opened);
    }

    // Minimised together, restored together.
    void minimiseLink() {
        Formatter t;
        t.f->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(t.main->isMinimized(), 2000);
        t.main->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!t.f->isMinimized(), 2000);
        QVERIFY(t.f->isVisible());
        t.f->close();
        QCOMPARE(t.p.entries().last(), QStringLiteral("Format ended."));
    }
};

QTEST_MAIN(FormatterWindowTest)
#include "tst_formatter_window.moc"
