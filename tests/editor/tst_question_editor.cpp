// The question editor on the real windows: opening an entry from the outline, editing and
// saving it, the attachment markers, removing entries, the pop-up menu, the file check,
// the image and correct-answer marks through to the quiz file.
#include "app/identity.h"
#include "app/messages.h"
#include "app/texts.h"
#include "editor/formula_preview.h"
#include "editor/question_editor.h"
#include "export/output_folders.h"
#include "formatter/formatter_window.h"
#include "lesson/question_check.h"
#include "lesson/quiz_book.h"
#include "mainwin/main_window.h"
#include "mainwin/questions_dialog.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "store/quiz_file.h"
#include "support/docx_fixture.h"
#include "support/drawn_text.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/message_box_prompts.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The lesson windows of project "P", field "F", lesson "L".
struct Editing : LessonWindows {
    explicit Editing(Prompts* real = nullptr) : LessonWindows(real, "F", "L") {
        MakeDirs(p.context(), main->session().projectPath, "BookTXT", "_xml");
    }
};

} // namespace

class QuestionEditorTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("editor", ".steps"); }
    // The author's ways through the question editor, as step tables (tests/data/editor).
    void scenarios() {
        QFETCH(QString, name);
        Editing t;
        runSteps(t, "editor/" + name);
    }

    // Every text the windows draw is read in Persian letters, with Persian digits in Persian
    // text: the main window with its lists, the formatter with its outline, the editor and its
    // menu, a message box and a list box. What is kept (the lists' entries, the texts of the
    // code, the stored data) keeps the author's letters.
    void everyWindowSpeaksPersian() {
        MessageBoxPrompts boxes;
        Editing t(&boxes);
        NewResh(t.p.context(), *t.main, u8("رياضي يك"));
        QVERIFY(
            control<QListWidget>(t.main.get(), "ReshB")->item(1)->text().contains(QChar(0x064A)));
        t.fileQuestion(u8("كدام عدد بزرگتر است؟"), "60" + CRLF + "120" + CRLF + "240" + CRLF + "30",
                       u8("زيرا 240 از همه بيشتر است"));
        QStringList drawn = drawnTexts(t.main.get()) + drawnTexts(t.f);
        t.open(0, [&](QuestionEditor* e) {
            drawn += drawnTexts(e);
            e->popM()->popup(e->mapToGlobal(QPoint(10, 10)));
            QVERIFY(QTest::qWaitForWindowExposed(e->popM()));
            drawn += drawnTexts(e->popM());
            e->popM()->close();
        });
        onModal<QMessageBox>([&](QMessageBox* box) {
            drawn += drawnTexts(box);
            box->accept();
        });
        boxes.notice(kMainCaption, PayamText(kNoticeMoreThanFour));
        QuestionsDialog questions(
            defaultQuestionsOut(t.main->session().projectPath, {0, 0}, t.p.folder(), "P"), {0, 0});
        questions.show();
        QVERIFY(QTest::qWaitForWindowExposed(&questions));
        drawn += drawnTexts(&questions);
        onModal<QDialog>([&](QDialog* list) {
            drawn += drawnTexts(list);
            list->accept();
        });
        boxes.showList(kMainCaption, texts::kCheckWarnings,
                       {{Prompts::Mark::Warning, u8("درس «رياضي يك»، سؤال 2 — بدون توضيح")}},
                       PayamText(kNoticeExportReady));
        QVERIFY2(notPersian(drawn).isEmpty(), qPrintable(notPersian(drawn).join('\n')));
        // Not vacuous: the mapped letters and digits were drawn.
        const QString all = drawn.join(' ');
        QVERIFY(drawn.size() > 60);
        for (const QString& shown : {u8("رشته‌های تحصیلی"), u8("انتخاب پاسخ صحیح"),
                                     u8("۲۴۰"), u8("ریاضی یک"), u8("پیش‌زمینه")})
            QVERIFY2(all.contains(shown), qPrintable(shown));
    }

    // The same with real message boxes, as on a display (the test command also runs this under
    // Xvfb): the editor's question over the editor, starting on Cancel; the formatter's
    // notice that it stays on its lesson. TAVRIN_SHOTS names a folder for screenshots.
    void realBoxesOnADisplay() {
        MessageBoxPrompts boxes;
        Editing t(&boxes);
        const auto shot = [](QWidget* box, const QString& name) {
            QVERIFY(QTest::qWaitForWindowExposed(box));
            const QString folder = qEnvironmentVariable("TAVRIN_SHOTS");
            if (folder.isEmpty())
                return;
            QTest::qWait(200);
            QGuiApplication::primaryScreen()->grabWindow(0).save(folder + '/' + name + ".png");
        };
        const auto answer = [&](QMessageBox::StandardButton which, const QString& name,
                                QWidget* over) {
            onModal<QMessageBox>([=](QMessageBox* box) {
                QVERIFY(box->isVisible() && box->parentWidget() == over);
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
                QCOMPARE(box->layoutDirection(), Qt::RightToLeft);
                shot(box, name);
                box->button(which)->click();
            });
        };
        t.fileQuestion(u8("كدام عدد بزرگتر است؟"), "60" + CRLF + "120", u8("چون"));
        t.open(0, [&](QuestionEditor* e) {
            e->Soal()->setText(u8("متن تازه"));
            answer(QMessageBox::Cancel, "editor-asks", e);
            QTest::keyClick(e, Qt::Key_Escape);
            QVERIFY(e->isVisible());
            answer(QMessageBox::No, "editor-discards", e);
            QTest::keyClick(e, Qt::Key_Escape);
            QVERIFY(!e->isVisible());
        });
        QCOMPARE(t.f->table().SoalText[0], u8("كدام عدد بزرگتر است؟"));

        NewDars(t.p.context(), *t.main, "L2");
        t.main->selectEntry(StoreList::Lessons, 1);
        QString said;
        onModal<QMessageBox>([&](QMessageBox* box) {
            said = box->text();
            shot(box, "formatter-stays");
            box->accept();
        });
        t.f->Doit();
        QCOMPARE(said, shownInWindows(PayamText(kNoticeFormatterStays) + "\r\n" +
                                      texts::kFormatterLessonLine.arg("L", "F") + QChar(0x200F)));
        QCOMPARE(control<QLabel>(t.f, "BookLabel")->text(), bookHeading("L", "F"));
    }

    // The preview beside the editor: the entry drawn by the player's own page as the author
    // types, formulas left to right in the right-to-left question, a broken one shown as
    // such; the palette writes at the caret of the box last in focus. The button stands on
    // the empty left of the question's caption, clear of its text and of the check box.
    void formulaPreviewAndPalette() {
        Editing t;
        t.fileQuestion(u8("سؤال"), "a" + CRLF + "b", u8("چون"));
        t.open(0, [&](QuestionEditor* e) {
            auto* button = control<QPushButton>(e, "FormulaPreviewB");
            const QLabel* caption = control<QLabel>(e, "Label1");
            const QRect captionText = QStyle::alignedRect(
                Qt::RightToLeft, caption->alignment(),
                caption->fontMetrics().boundingRect(caption->text()).size(), caption->geometry());
            QVERIFY(!button->geometry().intersects(captionText));
            QVERIFY(!button->geometry().intersects(control<QWidget>(e, "Cancelled")->geometry()));
            QVERIFY(button->geometry().bottom() < control<QWidget>(e, "Soal")->geometry().top());
            QTest::mouseClick(button, Qt::LeftButton);
            FormulaPreview* preview = e->preview();
            QVERIFY(preview && preview->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(preview->drawn() == 0, 60000);
            // Typed into the question: drawn once the typing pauses.
            e->Soal()->setFocus();
            e->Soal()->setCaret(e->Soal()->textLength());
            QTest::keyClicks(e->Soal(), QStringLiteral(" \\(x^2\\)"));
            QTRY_COMPARE_WITH_TIMEOUT(preview->drawn(), 1, 20000);
            // The palette into the answers, at the caret, then a broken formula.
            e->Javab()->setFocus();
            e->Javab()->setCaret(1);
            QTest::mouseClick(control<QPushButton>(preview, "PalFrac"), Qt::LeftButton);
            // The keyboard stays with the box: the next key goes into the formula's first place.
            QVERIFY(preview->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
            QCOMPARE(e->focusWidget(), static_cast<QWidget*>(e->Javab()));
            QTest::keyClicks(e->focusWidget(), QStringLiteral("1"));
            QCOMPARE(e->Javab()->text().section(CRLF, 0, 0), QStringLiteral("a\\(\\frac{1}{}\\)"));
            QTRY_COMPARE_WITH_TIMEOUT(preview->drawn(), 2, 20000);
            e->Tozih()->setFocus();
            QTest::keyClicks(e->Tozih(), QStringLiteral(" \\(\\frac{\\)"));
            QTRY_COMPARE_WITH_TIMEOUT(preview->broken(), 1, 20000);
            // How the page lays it out: the question right to left, its formula isolated
            // left to right, x before its power.
            QString layout;
            preview->runScript(
                "(() => { const q = document.querySelector('#question');"
                " const f = q.querySelector('.formula');"
                " const x = f.querySelector('.mathnormal').getBoundingClientRect();"
                " const two = f.querySelector('.msupsub').getBoundingClientRect();"
                " return [getComputedStyle(q).direction, getComputedStyle(f).direction,"
                " getComputedStyle(f).unicodeBidi, String(x.right <= two.left + 1)].join(' '); "
                "})()",
                [&](const QVariant& v) { layout = v.toString(); });
            QTRY_COMPARE_WITH_TIMEOUT(layout, QStringLiteral("rtl ltr isolate true"), 20000);
            // A picture's mark in an answer is shown as its picture, not as "{0}".
            writeBytes(t.p.path("seen.png"), pngOf(40, 20));
            t.f->table().ImagePaths[0] = t.p.path("seen.png");
            e->Javab()->setCaret(e->Javab()->textLength());
            QTest::keyClicks(e->Javab(), QStringLiteral("{0}"));
            QTRY_COMPARE_WITH_TIMEOUT(preview->pictures(), 1, 20000);
            // Asked again until the picture has loaded: a busy machine decodes it later.
            QString shown;
            QElapsedTimer asking;
            asking.start();
            while (shown != QLatin1String("40 false") && asking.elapsed() < 20000) {
                bool answered = false;
                preview->runScript(
                    "document.querySelector('img.answer-image').naturalWidth + ' ' +"
                    " document.querySelector('.answers').textContent.includes('{0}')",
                    [&](const QVariant& v) {
                        shown = v.toString();
                        answered = true;
                    });
                QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
                if (shown != QLatin1String("40 false"))
                    QTest::qWait(50);
            }
            QCOMPARE(shown, QStringLiteral("40 false"));
            if (const QString folder = qEnvironmentVariable("TAVRIN_SHOTS"); !folder.isEmpty()) {
                QTest::qWait(300);
                QGuiApplication::primaryScreen()->grabWindow(0).save(folder +
                                                                     "/formula-preview.png");
            }
            e->Javab()->setText("a" + CRLF + "b"); // nothing left to ask about on closing
            e->Soal()->setText(u8("سؤال"));
            e->Tozih()->setText(u8("چون"));
            e->markClean();
            // The preview goes with the editor.
            e->hide();
            QVERIFY(!preview->isVisible());
        });
    }

    // Message 5 when there is no entry to show.
    // A question of an analysed exam shows how it did beside the editor's caption; one the
    // project never analysed shows nothing there.
    void aQuestionTellsHowItDid() {
        Editing t;
        const QString project = t.main->session().projectPath;
        const QString asked = u8("كدام عدد بزرگتر است؟");
        saveUtf16File(project + "/_xml/quiz0-0.xml",
                      quizHeadLine("0-0", "L") +
                          quizBlock(1, asked, {"60", "120", "240", "30"}, 3, QString(), {}));
        QDir().mkpath(project + "/Analysis");
        saveWholeFile(project + "/Analysis/e1.json",
                      R"({"when": "2026-12-01T10:00:00", "questions": {"1-1-1":
                          {"facility": 62.4, "discrimination": 0.381, "wrongKey": false}}})");
        t.fileQuestion(asked, "60" + CRLF + "120" + CRLF + "240" + CRLF + "30", u8("زيرا"));
        t.fileQuestion(u8("سؤال ديگر؟"), "1" + CRLF + "2" + CRLF + "3" + CRLF + "4", u8("چون"));
        for (const auto& [row, told] :
             {std::pair{0, u8("دشواری ۶۲٪ · تمیز ۰٫۳۸ · ۱ آزمون")}, std::pair{1, QString()}})
            t.open(row, [&, told = told](QuestionEditor* e) {
                const auto* history = control<QLabel>(e, "QuestionHistory");
                QCOMPARE(history->text(), told);
                QCOMPARE(history->isVisible(), !told.isEmpty());
                // Beside the caption's other controls, never over them.
                if (!told.isEmpty())
                    QVERIFY(history->x() >
                            control<QPushButton>(e, "FormulaPreviewB")->geometry().right());
                e->reject();
            });
    }

    void noEntryToShow() {
        Editing t;
        t.f->table().CurrentEntry = -1;
        QuestionEditor lone(t.p.context(), *t.f, t.f);
        QCOMPARE(t.p.prompts.shown.last().text,
                 QStringLiteral(u"پاراگرافي براي ويرايش وجود ندارد!\u200F"));
    }

    // A full table of 257: removing the first, the last entry becomes empty.
    void removingFromAFullTable() {
        Editing t;
        EntryTable& table = t.f->table();
        for (int i = 0; i < EntryTable::kEntries; ++i)
            table.SoalText[i] = QString("e%1").arg(i);
        table.EntryCount = EntryTable::kEntries;
        table.CurrentEntry = 0;
        QuestionEditor e(t.p.context(), *t.f, t.f);
        t.f->Ohazf(e);
        QCOMPARE(table.SoalText[0], QStringLiteral("e1"));
        QCOMPARE(table.SoalText[255], QStringLiteral("e256"));
        QVERIFY(table.SoalText[256].isEmpty());
        QCOMPARE(table.EntryCount, 256);
    }
};

QTEST_MAIN(QuestionEditorTest)
#include "tst_question_editor.moc"
