// The question editor on the real windows: opening an entry from the outline, editing and
// saving it, the attachment markers, removing entries, the pop-up menu, the file check,
// the image and correct-answer marks through to the quiz file.
#include "app/identity.h"
#include "app/messages.h"
#include "app/texts.h"
#include "dialogs/picker_lists.h"
#include "dialogs/pickers.h"
#include "editor/question_editor.h"
#include "export/output_folders.h"
#include "formatter/formatter_window.h"
#include "lesson/question_check.h"
#include "lesson/quiz_book.h"
#include "lessontext/lesson_texts.h"
#include "mainwin/main_window.h"
#include "mainwin/questions_dialog.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "support/documents.h"
#include "support/drawn_text.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/test_program.h"
#include "widgets/message_box_prompts.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
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

void rightClick(RichTextBox* box) {
    QTest::mouseClick(box->viewport(), Qt::RightButton, {}, QPoint(20, 10));
}

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

    void groupRowsAndNoSelection() {
        Editing t;
        auto* matn = control<RichTextBox>(t.f, "matn");
        matn->setText(u8("عنوان گروه"));
        matn->selectAll();
        QTest::mouseClick(control<QPushButton>(t.f, "Com9"), Qt::LeftButton);
        t.fileQuestion("q", "a", "w");
        QTest::mouseClick(control<QPushButton>(t.f, "Com10"), Qt::LeftButton);
        // A group-open row: its text read-only, the rest editable.
        t.open(0, [&](QuestionEditor* e) {
            QVERIFY(e->Soal()->isReadOnly());
            QVERIFY(!e->Javab()->isReadOnly());
        });
        // A group-close row opens nothing.
        bool opened = false;
        QTimer* watch = onModal<QuestionEditor>([&](QuestionEditor* e) {
            opened = true;
            e->reject();
        });
        // An editor opened by the click would be answered before the click returned.
        QTest::mouseClick(t.bindex->viewport(), Qt::LeftButton, {},
                          t.bindex->visualItemRect(t.bindex->item(2)).center());
        QVERIFY(!opened);
        delete watch;
        // Message 5 when there is no entry to show.
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

    void menuStatesForEachBox() {
        Editing t;
        t.fileQuestion("question", "answer", "why");
        t.open(0, [&](QuestionEditor* e) {
            QMenu* menu = e->popM();
            const auto action = [&](const char* name) { return menu->findChild<QAction*>(name); };
            QApplication::clipboard()->clear();
            for (RichTextBox* box : {e->Soal(), e->Javab(), e->Tozih()}) {
                box->setCaret(0);
                rightClick(box);
                QTRY_VERIFY(menu->isVisible());
                QCOMPARE(action("CorM")->isVisible(), box == e->Javab());
                QVERIFY(!action("copyM")->isEnabled() && !action("cutM")->isEnabled() &&
                        !action("delM")->isEnabled());
                QVERIFY(!action("pasteM")->isEnabled());
                QVERIFY(action("picM")->isEnabled());
                menu->hide();
            }
            // With a selection and text on the clipboard: copy, cut, delete and paste.
            QApplication::clipboard()->setText("clip");
            e->Tozih()->selectAll();
            rightClick(e->Tozih());
            QTRY_VERIFY(menu->isVisible());
            QVERIFY(action("copyM")->isEnabled() && action("pasteM")->isEnabled());
            menu->hide();
            action("pasteM")->trigger();
            QCOMPARE(e->Tozih()->text(), QStringLiteral("clip"));
        });
        const QStringList log = t.p.entries();
        QVERIFY(log.contains("Soal clicked.") && log.contains("Javab clicked.") &&
                log.contains("Menue opened."));
        // Without img.bin the image item cannot be chosen.
        QFile::remove(t.p.path("Resources/img.bin"));
        t.open(0, [&](QuestionEditor* e) {
            QVERIFY(!e->popM()->findChild<QAction*>("picM")->isEnabled());
        });
    }

    // The mark goes to the answer under the pointer: a left click in answer 4, a right click
    // in answer 1, "انتخاب پاسخ صحيح" from the menu.
    void markGoesWhereTheRightClickWas() {
        Editing t;
        t.fileQuestion("q", u8("الف") + CRLF + u8("ب") + CRLF + u8("ج") + CRLF + u8("د"), "w");
        t.open(0, [&](QuestionEditor* e) {
            RichTextBox* javab = e->Javab();
            const auto at = [&](const QString& answer) {
                QTextCursor c(javab->document());
                c.setPosition(javab->toDocumentPosition(int(javab->text().indexOf(answer))) + 1);
                return javab->cursorRect(c).center();
            };
            QTest::mouseClick(javab->viewport(), Qt::LeftButton, {}, at(u8("د")));
            QTest::mouseClick(javab->viewport(), Qt::RightButton, {}, at(u8("الف")));
            QMenu* menu = e->popM();
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            if (const QString shots = qEnvironmentVariable("TAVRIN_SHOTS"); !shots.isEmpty())
                QGuiApplication::primaryScreen()->grabWindow(0).save(shots + "/mark-menu.png");
            QAction* cor = menu->findChild<QAction*>("CorM");
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(cor).center());
            const QByteArray mark = markPicture(readSnippet(t.p.folder(), "check.bin"));
            QCOMPARE(readAnswers(t.p.context(), javab->rtf(), mark).marked, 1);
        });
    }

    // Two images and a correct-answer mark, saved and made into the quiz file.
    void marksEndToEnd() {
        Editing t;
        t.fileQuestion("q", u8("الف") + CRLF + u8("ب") + CRLF + u8("ج") + CRLF + u8("د"), "w");
        const auto pickImage = [&](const QString& file) {
            onModal<FilePicker>([file](FilePicker* picker) {
                picker->prime(QFileInfo(file).absolutePath());
                // Every picture the player shows can be chosen.
                const auto* files = picker->findChild<class FileList*>("File1");
                QCOMPARE(files->pattern(), folders::kPicturePattern);
                auto* list = picker->findChild<QListWidget*>("File1");
                const auto hit = list->findItems(QFileInfo(file).fileName(), Qt::MatchExactly);
                list->setCurrentItem(hit.value(0));
                QTest::mouseClick(picker->findChild<QPushButton*>("btn"), Qt::LeftButton);
            });
        };
        t.open(0, [&](QuestionEditor* e) {
            RichTextBox* javab = e->Javab();
            javab->setCaret(int(javab->text().indexOf(u8("ج")))); // caret in answer 3
            pickImage(t.p.path("media/p1.jpg"));
            t.f->DoIMG(*e);
            javab->setCaret(int(javab->text().indexOf(u8("ب"))));
            pickImage(t.p.path("media/p2.gif"));
            t.f->DoIMG(*e);
            QCOMPARE(javab->text(), u8("الف") + CRLF + QChar(0xFFFC) + "{1}" + CRLF + u8("ب") +
                                        CRLF + QChar(0xFFFC) + "{0}" + CRLF + u8("ج") + CRLF +
                                        u8("د"));
            // Closing the picker without a choice inserts nothing.
            onModal<FilePicker>([](FilePicker* picker) { picker->reject(); });
            t.f->DoIMG(*e);
            QCOMPARE(javab->text().count(QChar(0xFFFC)), 2);
            QCOMPARE(t.f->table().ImageCounter, 2);
            // The correct answer: the third one; the image pictures stay. Marking another
            // moves the one mark.
            const QString marked = u8("الف") + CRLF + QChar(0xFFFC) + "{1}" + CRLF + QChar(0xFFFC) +
                                   u8("ب") + CRLF + QChar(0xFFFC) + "{0}" + CRLF + u8("ج") + CRLF +
                                   u8("د");
            javab->setCaret(int(javab->text().indexOf(u8("د"))));
            t.f->DoCor(*e);
            javab->setCaret(int(javab->text().indexOf(u8("ب"))));
            t.f->DoCor(*e);
            QCOMPARE(javab->text(), marked);
            QTest::mouseClick(control<QPushButton>(e, "Dokme4"), Qt::LeftButton);
        });
        auto* matn = control<RichTextBox>(t.f, "matn");
        matn->setFocus();
        QTest::keyClick(matn, Qt::Key_F12);
        const QString project = t.main->session().projectPath;
        const QString quiz = decodeUtf16Le(readBytes(project + "/_xml/quiz0-0.xml"));
        QVERIFY2(quiz.contains(
                     u8("\t\t<A>الف</A>\r\n\t\t<B>{1}</B>\r\n\t\t<C>ب</C>\r\n\t\t<D>{0}</D>\r\n"
                        "\t\t<chk>3</chk>\r\n")),
                 qPrintable(quiz));
        QVERIFY(
            quiz.contains("\t\t<img1>quiz0-0-1.gif</img1>\r\n\t\t<img0>quiz0-0-0.jpg</img0>\r\n"));
        QCOMPARE(readBytes(project + "/BookTXT/quiz0-0-0.jpg"), QByteArray("media/p1.jpg"));
        QCOMPARE(readBytes(project + "/BookTXT/quiz0-0-1.gif"), QByteArray("media/p2.gif"));
        // Reopened, the entry opens with its marks and pictures as it was made; saved and
        // made again unchanged, the quiz file is the same.
        const QByteArray made = readBytes(project + "/_xml/quiz0-0.xml");
        t.f->Doit();
        t.open(0, [&](QuestionEditor* e) {
            QCOMPARE(e->Javab()->text(), u8("الف") + CRLF + QChar(0xFFFC) + "{1}" + CRLF +
                                             QChar(0xFFFC) + u8("ب") + CRLF + QChar(0xFFFC) +
                                             "{0}");
            QCOMPARE(e->Soal()->text(), QStringLiteral("q"));
            QTest::mouseClick(control<QPushButton>(e, "Dokme4"), Qt::LeftButton);
        });
        matn->setFocus();
        QTest::keyClick(matn, Qt::Key_F12);
        QCOMPARE(readBytes(project + "/_xml/quiz0-0.xml"), made);
    }

    void imageCounterLimit() {
        Editing t;
        t.fileQuestion("q", "a", "w");
        t.f->table().ImageCounter = EntryTable::kImages;
        t.open(0, [&](QuestionEditor* e) {
            onModal<FilePicker>([&](FilePicker* picker) {
                picker->prime(t.p.path("media"));
                auto* list = picker->findChild<QListWidget*>("File1");
                list->setCurrentItem(list->findItems("p1.jpg", Qt::MatchExactly).value(0));
                QTest::mouseClick(picker->findChild<QPushButton*>("btn"), Qt::LeftButton);
            });
            const QString before = e->Javab()->text();
            t.f->DoIMG(*e);
            QCOMPARE(e->Javab()->text(), before);
        });
        QVERIFY(t.p.entries().join('\n').contains("Error occurred => Error number is 56"));
    }
};

QTEST_MAIN(QuestionEditorTest)
#include "tst_question_editor.moc"
