// The main window's reading of answer sheets, worked as a teacher works it: the button beside
// the paper exam's, the scans named, each doubtful row settled by a key or a click on its
// crop's choices, and the class's table; the settled answers reach the sheets file, and its
// scores are byte for byte what `tavrin score --exam` writes of it.

#include "exam/paper_record.h"
#include "mainwin/main_window.h"
#include "mainwin/read_sheets_dialog.h"
#include "omr/sheets_output.h"
#include "paper/paper_exam.h"
#include "platform/csv.h"
#include "sheet_batch.h"
#include "support/documents.h"
#include "support/lesson_windows.h"
#include "support/paper_project.h"
#include "widgets/message_box_prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// A sheet of one version filled as given: option per question (0 blank), the questions
// marked twice, the number's digits (a digit of -1 marked with two bubbles).
struct Filling {
    int version = 1;
    QList<int> number;
    QList<int> twice; // questions with options 1 and 2 both dark
};

cv::Mat filled(const QString& exam, const QJsonObject& record, const Filling& f,
               std::mt19937& random) {
    cv::Mat page = drawnSheet(exam + QStringLiteral("/sheet-%1.pdf").arg(f.version), 1, 300);
    const double px = page.cols / 210.0;
    const SheetLayout layout = layoutOf(record, f.version);
    const QList<int> options = optionsOf(record, f.version);
    for (const SheetBubble& b : layout.pages[0].bubbles) {
        const int chosen = 1 + b.question % options[b.question - 1];
        const bool mark = f.twice.contains(b.question) ? b.option <= 2 : b.option == chosen;
        if (mark)
            fillBubble(page, px, b.at, b.r, Fill::Dark, random);
    }
    for (const NumberBubble& b : layout.pages[0].number) {
        const int d = f.number.value(b.digit, -2);
        if (d == b.value || (d == -1 && b.value <= 1))
            fillBubble(page, px, b.at, b.r, Fill::Dark, random);
    }
    return passed(page, Passage::Scan300, random);
}

} // namespace

class SheetsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aReadingIsSettledAndScored() {
        MessageBoxPrompts boxes;
        const bool display = QGuiApplication::platformName() == QLatin1String("xcb");
        LessonWindows g{LessonWindows::Projects{{"Paper"}, display ? &boxes : nullptr}};
        boxes.setOwner(g.main.get());
        const QString project = g.p.path(QStringLiteral("Project 1"));
        makePaperProject(g.p.context(), project, 20);
        // Printed where the window looks for it: the output folder's paper exam.
        const QString exam = g.p.path(QStringLiteral("Export/paper-Project 1"));
        PaperChoices c;
        c.versions = 2;
        c.seed = 5;
        c.scope = {PaperScope::Kind::Field, 0, 0};
        writePaperExam(g.p.context(), project, QStringLiteral("Project 1"), exam, c);
        const QJsonObject record = QJsonDocument::fromJson(checkedExamRecord(exam)).object();

        std::mt19937 random(9);
        const QString scans = g.p.path(QStringLiteral("scans"));
        QDir().mkpath(scans);
        // A double mark at question 2; a digit marked twice; a clean sheet.
        const QList<Filling> class_ = {{1, {1, 2, 3, 4, 5, 6, 7, 8}, {2}},
                                       {2, {8, 7, -1, 5, 4, 3, 2, 1}, {}},
                                       {1, {2, 2, 2, 2, 3, 3, 3, 3}, {}}};
        for (int s = 0; s < class_.size(); ++s)
            writeImage(scans + QStringLiteral("/%1.png").arg(s + 1),
                       filled(exam, record, class_[s], random));

        auto* button = control<QToolButton>(g.main.get(), "ReadSheets");
        QCOMPARE(button->text(), u8("خواندن پاسخ‌برگ‌ها…"));
        QCOMPARE(button->layoutDirection(), Qt::RightToLeft);
        QVERIFY(button->isVisible());
        QCOMPARE(overlapped(button), QStringList());
        auto* projects = control<QListWidget>(g.main.get(), "ProjB");
        QTest::mouseClick(projects->viewport(), Qt::LeftButton, {},
                          projects->visualItemRect(projects->item(0)).center());

        QStringList seen; // the review rows' questions as shown
        int tableRows = -1;
        QString firstName, firstVersion, crossedName;
        bool laidOut = false, cropShown = true;
        onModal<ReadSheetsDialog>([&](ReadSheetsDialog* d) {
            QVERIFY(QTest::qWaitForWindowExposed(d));
            auto* pages = control<QStackedWidget>(d, "SheetsPages");
            QCOMPARE(control<QLineEdit>(d, "SExam")->text().remove(QChar(0x200E)),
                     QDir::toNativeSeparators(exam));
            auto* box = control<QLineEdit>(d, "SScans");
            box->setFocus();
            typeText(box, scans);
            QTest::mouseClick(control<QPushButton>(d, "SRead"), Qt::LeftButton);
            QCOMPARE(pages->currentIndex(), 1);
            laidOut = d->layoutDirection() == Qt::RightToLeft &&
                      control<QLabel>(d, "ReviewWhy")->text().isRightToLeft();
            // Each row as the teacher settles it: the double mark by its key, the number
            // typed, anything else kept by Enter.
            for (int guard = 0; pages->currentIndex() == 1 && guard < 200; ++guard) {
                auto* number = control<QLineEdit>(d, "ReviewNumber");
                const QString where = control<QLabel>(d, "ReviewWhere")->text();
                cropShown = cropShown && !control<QLabel>(d, "ReviewCrop")->pixmap().isNull();
                if (number->isVisible()) {
                    seen.append(QStringLiteral("number"));
                    QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
                    typeText(number, u8("۸۷۹۵۴۳۲۱"));
                    QTest::keyClick(number, Qt::Key_Return);
                } else if (where.endsWith(u8("سؤال ۲")) &&
                           control<QLabel>(d, "ReviewWhy")->text().contains(u8("چند گزینه"))) {
                    seen.append(QStringLiteral("2"));
                    QVERIFY(control<QPushButton>(d, "ReviewChoice2")->isVisible());
                    // A slip of the key onto the number's row, whose box has the keys: there
                    // Backspace edits the number, and the back button shows the row again.
                    const auto back = [d] {
                        QTest::mouseClick(control<QPushButton>(d, "ReviewBack"), Qt::LeftButton);
                    };
                    QTest::keyClick(d, Qt::Key_3);
                    QVERIFY(number->isVisible());
                    const QString slipped = control<QLabel>(d, "ReviewWhere")->text();
                    const QString typed = number->text();
                    // Where a key goes in the active dialog: the number's box.
                    QVERIFY(QTest::qWaitForWindowActive(d));
                    QCOMPARE(QApplication::focusWidget(), number);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
                    QCOMPARE(number->text(), typed.chopped(1));
                    QCOMPARE(control<QLabel>(d, "ReviewWhere")->text(), slipped);
                    back();
                    QCOMPARE(control<QLabel>(d, "ReviewWhere")->text(), where);
                    const auto why = [d] { return control<QLabel>(d, "ReviewWhy")->text(); };
                    QVERIFY2(why().endsWith(u8("خوانده: ۳")), qPrintable(why()));
                    // Enter keeps the row as first read, undoing the slip; seen again after
                    // another step back, then settled by its key.
                    QTest::keyClick(d, Qt::Key_Return);
                    back();
                    QVERIFY2(why().contains(u8("چند گزینه")), qPrintable(why()));
                    QTest::keyClick(d, Qt::Key_2);
                } else {
                    seen.append(where);
                    QTest::keyClick(d, Qt::Key_Return);
                }
            }
            QCOMPARE(pages->currentIndex(), 2);
            auto* table = control<QTableView>(d, "SClass");
            tableRows = table->model()->rowCount();
            table->sortByColumn(1, Qt::AscendingOrder);
            firstName = table->model()->index(0, 0).data().toString();
            firstVersion = table->model()->index(0, 2).data().toString();
            crossedName = table->model()->index(2, 1).data().toString();
            QTest::mouseClick(control<QPushButton>(d, "SClose"), Qt::LeftButton);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(seen.contains(QStringLiteral("2")), qPrintable(seen.join(u'|')));
        QVERIFY2(seen.contains(QStringLiteral("number")), qPrintable(seen.join(u'|')));
        QVERIFY(laidOut);
        QVERIFY(cropShown);
        QCOMPARE(tableRows, 3);
        QCOMPARE(firstName, u8("۱۲۳۴۵۶۷۸"));
        QCOMPARE(firstVersion, u8("الف")); // as its sheet names it
        QCOMPARE(crossedName, u8("۸۷۹۵۴۳۲۱"));

        // The settled answer and number are in the sheets; the scores are the verb's.
        const QString out = g.p.path(QStringLiteral("Export/sheets-Project 1"));
        const QList<QStringList> rows =
            csvRows(QString::fromUtf8(readBytes(out + QStringLiteral("/sheets.csv"))));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[1].mid(0, 4), (QStringList{QStringLiteral("12345678"), QStringLiteral("1"),
                                                 QStringLiteral("2"), QStringLiteral("2")}));
        QCOMPARE(rows[2][0], QStringLiteral("87954321"));
        QCOMPARE(rows[3][0], QStringLiteral("22223333"));
        QVERIFY(g.p.entries().contains(QStringLiteral("Answer sheets scored: 3 students into %1")
                                           .arg(QDir::toNativeSeparators(out))));
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY names the program");
        QProcess score;
        const QString verb = g.p.path(QStringLiteral("verb.csv"));
        score.start(binary, {QStringLiteral("score"), QStringLiteral("--project"), project,
                             QStringLiteral("--exam"), exam, QStringLiteral("--answers"),
                             out + QStringLiteral("/sheets.csv"), QStringLiteral("--out"), verb});
        QVERIFY(score.waitForFinished(60000));
        QVERIFY2(score.exitCode() == 0, score.readAllStandardError().constData());
        QCOMPARE(readBytes(out + QStringLiteral("/scores.csv")), readBytes(verb));
    }
};

QTEST_MAIN(SheetsWindowTest)
#include "tst_sheets_window.moc"
