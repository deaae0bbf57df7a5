// The formatter window for real: opened from the main window, a lesson text loaded, the
// capture commands by button and function key, groups, the quiz file, the layout rules.
#include "app/messages.h"
#include "app/texts.h"
#include "dialogs/pickers.h"
#include "editor/question_editor.h"
#include "formatter/formatter_window.h"
#include "lesson/lesson_draft.h"
#include "lesson/question_check.h"
#include "lesson/quiz_book.h"
#include "lesson/text_procedures.h"
#include "mainwin/main_window.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "support/documents.h"
#include "support/docx_fixture.h"
#include "support/test_program.h"
#include "widgets/busy_cursor.h"
#include "widgets/message_box_prompts.h"
#include "widgets/rich_text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>
#include <future>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString CRLF = QStringLiteral("\r\n");

struct Formatter {
    TestProgram p;
    std::unique_ptr<MainWindow> main;
    FormatterWindow* f = nullptr;
    RichTextBox* matn = nullptr;
    QListWidget* bindex = nullptr;
    explicit Formatter(Prompts* real = nullptr) : p(real) {
        copyShippedResources(p.folder());
        QDir().mkpath(p.path("Zar"));
        for (const QString& name : QDir(sourceFile("dist/Zar")).entryList(QDir::Files))
            QFile::copy(sourceFile("dist/Zar/" + name), p.path("Zar/" + name));
        writeBytes(p.path("Zar/notes.text"), "not a lesson");
        writeBytes(p.path("Projects.xml"),
                   encodeUtf16Le("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
        main = std::make_unique<MainWindow>(p.context());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        NewProj(p.context(), *main, "P");
        NewResh(p.context(), *main, u8("علوم"));
        NewDars(p.context(), *main, u8("درس يك"));
        main->session().inputFolder = p.path("Zar");
        dataEntry();
        f = main->formatter();
        QVERIFY(f->isVisible());
        matn = control<RichTextBox>(f, "matn");
        bindex = control<QListWidget>(f, "bindex");
    }
    // The main window's data-entry button, as the pointer reaches and clicks it.
    void dataEntry() {
        auto* rest = control<QLabel>(main.get(), "Picture13");
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), rest->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rest, &move);
        QTest::mouseClick(control<QLabel>(main.get(), "Picture16"), Qt::LeftButton);
    }
    // A click on a row of the main window's lesson list.
    void pickLesson(int row) {
        auto* list = control<QListWidget>(main.get(), "DarsB");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    QListWidget* books() { return control<QListWidget>(f, "books"); }
    void load(const QString& name) {
        QListWidget* list = books();
        const auto hit = list->findItems(name, Qt::MatchExactly);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(hit.value(0)).center());
    }
    // Selects the paragraph holding this text, as a drag over it would.
    void select(const QString& what) {
        const QString text = matn->text();
        const qsizetype at = text.indexOf(what);
        QVERIFY2(at >= 0, qPrintable(what));
        matn->setSelection(int(at), int(what.size()));
    }
    void click(int index) {
        QTest::mouseClick(control<QPushButton>(f, qPrintable(QString("Com%1").arg(index))),
                          Qt::LeftButton);
    }
    QStringList outline() const {
        QStringList lines;
        for (int i = 0; i < bindex->count(); ++i)
            lines << bindex->item(i)->text();
        return lines;
    }
    // The pointer as a hand moves it: a pixel at a time through the window system, so each
    // move reaches the control under it and whatever that control passes on.
    void moveByHand(QPoint from, QPoint to, const std::function<void()>& eachStep = {}) {
        const int steps = std::max({std::abs(to.x() - from.x()), std::abs(to.y() - from.y()), 1});
        for (int i = 0; i <= steps; ++i) {
            QTest::mouseMove(f->windowHandle(), from + (to - from) * i / steps);
            if (eachStep)
                eachStep();
        }
    }
    QPoint at(QWidget* w) const { return w->mapTo(f, w->rect().center()); }
};

} // namespace

class FormatterWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensAndLoadsALessonText() {
        Formatter t;
        QCOMPARE(t.f->windowTitle(), QStringLiteral("Format data"));
        QCOMPARE(control<QLabel>(t.f, "BookLabel")->text(), u8("سؤالات درس درس يك در رشته علوم"));
        QStringList listed;
        for (int i = 0; i < t.books()->count(); ++i)
            listed << t.books()->item(i)->text();
        listed.sort();
        QCOMPARE(listed,
                 (QStringList{"01-Olum-Madde.txt", "02-Joghrafia-Iran.txt", "03-Riazi-Kasr.txt"}));
        t.load("01-Olum-Madde.txt");
        const QString text = t.matn->text();
        // Rep put an RLM after the colon.
        QVERIFY(text.startsWith(u8(" درس اول:\u200F حالت\u200Cهاي ماده")));
        QVERIFY(!text.contains("ircMAIN") && !text.contains("&nbsp;"));
        QVERIFY(!text.contains(QChar(0x0649))); // alef maksura became yeh
        // Every paragraph right-aligned, right to left.
        for (QTextBlock b = t.matn->document()->begin(); b.isValid(); b = b.next())
            QCOMPARE(b.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
        QCOMPARE(t.matn->layoutDirection(), Qt::RightToLeft);
        const QStringList log = t.p.entries();
        QVERIFY(log.contains("Format started."));
        QCOMPARE(log.last(), QStringLiteral("Opening a text file..."));
    }

    // Lesson texts as authors have them: 1256, UTF-8 and UTF-16 text, RTF (also saved as
    // .txt) and Word documents; each cleaned by Rep and right-aligned. One that cannot be
    // read leaves the box as it was and says why in Persian.
    void lessonTextsAsAuthorsHaveThem() {
        Formatter t;
        const QString zar = t.p.path("Zar/");
        const QString persian = u8("سلام دنيا: می\u200Cخواهيم 25 را");
        const QByteArray be = QStringEncoder(QStringEncoder::Utf16BE).encode(persian);
        const QByteArray utf8 = persian.toUtf8();
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1256 {\\b \\'d3\\'e1\\'c7\\'e3}: x\\par}";
        struct Text {
            const char* name;
            QByteArray bytes;
            QString shown; // what the box starts with
        };
        const QList<Text> texts{
            {"utf8.txt", utf8, u8("سلام دنيا:\u200F می\u200Cخواهيم 25 را")},
            {"utf8bom.txt", "\xEF\xBB\xBF" + utf8, u8("سلام دنيا:\u200F می")},
            {"utf16le.txt", encodeUtf16Le(persian), u8("سلام دنيا:\u200F می")},
            {"utf16be.txt", "\xFE\xFF" + be, u8("سلام دنيا:\u200F می")},
            {"ansi.txt", "\xD3\xE1\xC7\xE3: 25", u8("سلام:\u200F 25")},
            {"rtf-as.txt", rtf, u8("سلام:\u200F x")},
            {"lesson.rtf", rtf, u8("سلام:\u200F x")},
        };
        for (const Text& x : texts)
            writeBytes(zar + x.name, x.bytes);
        writeDocx(zar + u8("درس.docx"),
                  QString::fromUtf8(readBytes(sourceFile("tests/data/word_lesson_body.xml"))),
                  pngOf(40, 20));
        writeBytes(zar + "damaged.docx", "PK\x03\x04 not really a zip");
        writeBytes(zar + "binary.txt", QByteArray("MZ\0\0\x90\0binary", 12));
        writeBytes(zar + u8("پ.txt"), "p");
        writeBytes(zar + u8("ت.txt"), "t");
        t.f->FileList();
        QStringList listed;
        for (int i = 0; i < t.books()->count(); ++i)
            listed << t.books()->item(i)->text();
        QVERIFY(listed.contains(u8("درس.docx")) && listed.contains("lesson.rtf"));
        QVERIFY(!listed.contains("notes.text"));
        // Persian order: peh before teh (by code, teh comes first).
        QVERIFY(listed.indexOf(u8("پ.txt")) < listed.indexOf(u8("ت.txt")));
        QVERIFY(listed.indexOf(u8("ت.txt")) < listed.indexOf(u8("درس.docx")));

        const auto rightAligned = [&] {
            for (QTextBlock b = t.matn->document()->begin(); b.isValid(); b = b.next()) {
                if (b.blockFormat().alignment() != (Qt::AlignRight | Qt::AlignAbsolute))
                    return false;
            }
            return true;
        };
        for (const Text& x : texts) {
            t.load(x.name);
            QVERIFY2(t.matn->text().startsWith(x.shown), x.name);
            QVERIFY2(rightAligned(), x.name);
        }
        QVERIFY(t.matn->document()->begin().begin().fragment().charFormat().fontWeight() >=
                QFont::Bold);

        t.load(u8("درس.docx"));
        const QString text = t.matn->text();
        const QStringList paragraphs = text.split(CRLF);
        QCOMPARE(paragraphs.mid(0, 8),
                 (QStringList{
                     u8("درس سوم:\u200F می‌خواهيم ۳ و 25 را جمع كنيم"),
                     u8("۱.\u200F اول"), u8("۲.\u200F دوم"), u8("\u2022 نكته"), u8("عدد | نام"),
                     u8("۱ | يك"), u8("English line, left to right.\u200F"),
                     u8("شكل ") + QChar(QChar::ObjectReplacementCharacter)}));
        QCOMPARE(paragraphs.value(8), u8("صفحه 7 افزوده"));
        QCOMPARE(imagesOf(*t.matn->document()).size(), 1);
        QVERIFY(rightAligned());
        const QTextDocument* doc = t.matn->document();
        QCOMPARE(doc->findBlockByNumber(0).blockFormat().layoutDirection(), Qt::RightToLeft);
        QCOMPARE(doc->findBlockByNumber(6).blockFormat().layoutDirection(), Qt::LeftToRight);
        const auto formatAt = [&](const QString& word) {
            QTextCursor c(t.matn->document());
            c.setPosition(t.matn->toDocumentPosition(int(text.indexOf(word))) + 1);
            return c.charFormat();
        };
        QVERIFY(formatAt(u8("جمع")).fontWeight() >= QFont::Bold);
        QVERIFY(formatAt(u8("كنيم")).fontItalic() && formatAt(u8("كنيم")).fontUnderline());
        QCOMPARE(formatAt(u8("كنيم")).foreground().color(), QColor(0xC0, 0, 0));
        QVERIFY(!formatAt(u8("سوم")).fontItalic() &&
                formatAt(u8("سوم")).fontWeight() < QFont::Bold);

        // Unreadable: the box keeps the Word document, the notice says why.
        for (const char* bad : {"damaged.docx", "binary.txt"}) {
            t.load(bad);
            QCOMPARE(t.matn->text(), text);
            const QStringList said = t.p.prompts.shown.last().text.split(CRLF);
            QCOMPARE(said.value(0), u8("فايل متن درس خوانده نشد؛ متن قبلي دست نخورد!\u200F"));
            QVERIFY2(
                said.value(1).startsWith(u8("علت: فايل آسيب ديده است يا از نوع درستي نيست («")),
                qPrintable(said.value(1)));
            QVERIFY(t.p.entries().join('\n').contains("Error number is 55 ("));
        }
        // Plain text after a Word document takes none of its formats, not even the caret's.
        t.matn->setCaret(int(text.indexOf(u8("جمع"))) + 1);
        t.load("utf8.txt");
        QTextCursor first(t.matn->document());
        first.setPosition(1);
        QVERIFY(first.charFormat().fontWeight() < QFont::Bold);
    }

    void filingByButtonsAndKeys() {
        Formatter t;
        t.load("01-Olum-Madde.txt");
        auto* chek = control<QCheckBox>(t.f, "Chek");
        QVERIFY(chek->isChecked());
        // A group, then a question by buttons: question, answers, explanation.
        t.select(u8("حالت\u200Cهاي ماده"));
        t.click(9);
        QCOMPARE(control<QPushButton>(t.f, "Com9")->text(),
                 QStringLiteral(u"ايجاد گروه جديدي از سؤالات (1)\u200F"));
        t.select(u8("كدام يك از مواد زير"));
        // A double click: the first files the question and takes the text away, the second
        // finds nothing selected and says so; the question stays as filed.
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(control<QPushButton>(t.f, "Com2"), Qt::LeftButton);
        QCOMPARE(t.p.prompts.shown.last().text, PayamText(kNoticeSelectTextFirst));
        QCOMPARE(t.f->table().SoalText[1], u8("كدام يك از مواد زير"));
        t.select(u8("آهن"));
        t.click(3);
        t.select(u8("جيوه تنها فلزي")); // the alef maksura became yeh
        const int filedAt = t.matn->selectionStart();
        t.click(0);
        QCOMPARE(t.f->table().EntryCount, 2);
        QStringList lines = t.outline();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], u8(">>> عنوان اصلي   =>   حالت\u200Cهاي ماده"));
        QCOMPARE(lines[1], u8("كدام يك از مواد زير   =>   آهن   =>   جيوه تنها فلزي"));
        // Chek took the filed text out of the lesson text; the caret stays where it was.
        QVERIFY(!t.matn->text().contains(u8("كدام يك از مواد زير")));
        QCOMPARE(t.matn->selectionStart(), filedAt);
        // F7 unticks Chek; F2, F3, F5 file the next question and the text stays.
        t.matn->setFocus();
        QTest::keyClick(t.matn, Qt::Key_F7);
        QVERIFY(!chek->isChecked());
        t.select(u8("تبديل مستقيم جامد"));
        QTest::keyClick(t.matn, Qt::Key_F2);
        t.select(u8("تصعيد"));
        QTest::keyClick(t.matn, Qt::Key_F3);
        t.select(u8("بي\u200Cآن\u200Cكه مايع شود"));
        QTest::keyClick(t.matn, Qt::Key_F5);
        QVERIFY(t.matn->text().contains(u8("تبديل مستقيم جامد")));
        // F4 closes the group; F2 and its button with nothing selected say so, file nothing.
        QTest::keyClick(t.matn, Qt::Key_F4);
        const int before = t.f->table().EntryCount;
        const int notices = int(t.p.prompts.shown.size());
        t.matn->setCaret(0);
        QTest::keyClick(t.matn, Qt::Key_F2);
        t.click(2);
        QCOMPARE(t.f->table().EntryCount, before);
        QCOMPARE(t.p.prompts.shown.size(), notices + 2);
        QCOMPARE(t.p.prompts.shown.last().text, PayamText(kNoticeSelectTextFirst));
        lines = t.outline();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[3], u8(">>> پايان عنوان   =>   حالت\u200Cهاي ماده"));
        QCOMPARE(control<QPushButton>(t.f, "Com9")->text(),
                 QStringLiteral(u"ايجاد گروه جديدي از سؤالات (0)\u200F"));
        // Closing with nothing open: the message, nothing filed.
        t.click(10);
        QCOMPARE(t.p.prompts.shown.last().text,
                 QStringLiteral(u"عنواني براي بستن وجود ندارد!\u200F"));
        QCOMPARE(t.outline().size(), 4);
        QVERIFY(t.p.entries().contains("Format number 10 clicked."));
    }

    void outlineAndTableAlwaysMatch() {
        Formatter t;
        t.load("03-Riazi-Kasr.txt");
        control<QCheckBox>(t.f, "Chek")->setChecked(false);
        // Answers before any question: notice 31, nothing filed, the text kept.
        t.select(u8("2/5"));
        t.click(3);
        QCOMPARE(t.p.prompts.shown.last().text,
                 QStringLiteral(u"ابتدا متن سؤال را ثبت كنيد!\u200F"));
        QCOMPARE(t.outline().size(), 0);
        QVERIFY(t.f->table().JavabRtf[0].isEmpty());
        t.select(u8("مخرج مشترك 6"));
        t.click(0);
        QCOMPARE(t.outline().size(), 0);
        // A second question while the first is open replaces it and its line.
        t.select(u8("حاصل 1/2 + 1/3"));
        t.click(2);
        t.select(u8("20 درصد عدد 150"));
        t.click(2);
        QCOMPARE(t.outline(), QStringList{u8("20 درصد عدد 150")});
        QCOMPARE(t.f->table().SoalText[0], u8("20 درصد عدد 150"));
        t.select(u8("30"));
        t.click(3);
        t.select(u8("150 × 20 ÷ 100 = 30"));
        t.click(0);
        QCOMPARE(t.outline().size(), 1);
        QCOMPARE(t.f->table().EntryCount, 1);
    }

    void makingTheQuizFile() {
        Formatter t;
        t.load("02-Joghrafia-Iran.txt");
        t.select(u8("بلندترين قله ايران كدام است؟"));
        t.click(2);
        // Five paragraphs filed as answers: all kept, the author told; then the four.
        control<QCheckBox>(t.f, "Chek")->setChecked(false);
        const QString text = t.matn->text();
        const qsizetype from = text.indexOf(u8("الف) سبلان"));
        const qsizetype to = text.indexOf(u8("د) تفتان")) + QString(u8("د) تفتان")).size();
        const qsizetype fifth = text.indexOf(u8("گزينه ب"), to) + 7;
        t.matn->setSelection(int(from), int(fifth - from));
        t.click(3);
        QVERIFY(t.p.prompts.shown.last().text.contains(u8("بيش از چهار پاراگراف")));
        QCOMPARE(answerLines(t.p.context(), t.f->table().JavabRtf[0]).size(), 5);
        const qsizetype notices = t.p.prompts.shown.size();
        t.matn->setSelection(int(from), int(to - from));
        t.click(3);
        QCOMPARE(t.p.prompts.shown.size(), notices);
        control<QCheckBox>(t.f, "Chek")->setChecked(true);
        t.select(u8("دماوند با بلندي"));
        t.click(0);
        t.f->table().AttachPath[0] = t.p.path("Resources/MyBack.jpg");
        const QString project = t.main->session().projectPath;
        t.click(11);
        QVERIFY(!t.f->isVisible()); // hidden when the file is made
        QCOMPARE(t.p.prompts.shown.last().text, QStringLiteral(u"فايل ساخته شد!\u200F"));
        QCOMPARE(t.outline().size(), 0);
        const QString quiz = decodeUtf16Le(readBytes(project + "/_xml/quiz0-0.xml"));
        QVERIFY(
            quiz.startsWith(u8("<quiz qNo='0-0' IDname='درس يك'>\r\n\t<question0>\r\n"
                               "\t\t<question No='0'>بلندترين قله ايران كدام است؟</question>\r\n"
                               "\t\t<A>الف) سبلان</A>\r\n\t\t<B>ب) دماوند</B>\r\n"
                               "\t\t<C>ج) علم\u200Cكوه</C>\r\n\t\t<D>د) تفتان</D>\r\n"
                               "\t\t<chk>2</chk>\r\n")));
        QVERIFY(quiz.contains("<attach>"));
        // Made again and No to the overwrite: the window, its text and its table stay.
        const QByteArray made = readBytes(project + "/_xml/quiz0-0.xml");
        t.main->formatter()->Doit();
        QCOMPARE(t.outline().size(), 1); // the made lesson, reopened
        t.load("02-Joghrafia-Iran.txt");
        t.select(u8("پرآب\u200Cترين رود ايران"));
        t.click(2);
        const QString kept = t.matn->text();
        t.p.prompts.answers = {true, false}; // Yes to "incomplete", No to the overwrite
        t.click(11);
        QCOMPARE(t.matn->text(), kept);
        QVERIFY(t.f->isVisible());
        QCOMPARE(t.outline().size(), 2);
        QCOMPARE(readBytes(project + "/_xml/quiz0-0.xml"), made);
        // A missing attachment: error 57, the window opened again stays, with its table.
        t.f->table().AttachPath[0] = t.p.path("none.pdf");
        t.click(11); // Yes
        QVERIFY(t.p.entries().join('\n').contains("Error occurred => Error number is 57 ("));
        QCOMPARE(t.p.entries().last(), QStringLiteral("Payam number 107 displayed."));
        QVERIFY(t.f->isVisible());
        QCOMPARE(t.outline().size(), 2);
        QCOMPARE(readBytes(project + "/_xml/quiz0-0.xml"), made);
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

    // The formatter belongs to the lesson it was opened for: the main window's list moving to
    // another lesson changes neither its heading nor the quiz file it makes; opened again it
    // says so while its work is unmade, and takes the new lesson once it is made.
    void keepsItsLessonWhenTheListMoves() {
        Formatter t;
        const auto heading = [&] { return control<QLabel>(t.f, "BookLabel")->text(); };
        t.load("01-Olum-Madde.txt");
        t.select(u8("كدام يك از مواد زير"));
        t.click(2);
        t.select(u8("جيوه تنها فلزي"));
        t.click(0);
        t.click(11); // lesson A made (Yes to the incomplete question)
        const QString xml = t.main->session().projectPath + "/_xml/";
        const QByteArray lessonA = readBytes(xml + "quiz0-0.xml");
        NewDars(t.p.context(), *t.main, u8("درس دو"));
        t.pickLesson(1);
        t.dataEntry();
        QCOMPARE(heading(), u8("سؤالات درس درس دو در رشته علوم"));
        t.load("02-Joghrafia-Iran.txt");
        t.select(u8("پرآب‌ترين رود ايران"));
        t.click(2);
        t.pickLesson(0);
        QCOMPARE(t.main->session().lessonTitle, u8("درس يك"));
        t.dataEntry();
        QCOMPARE(t.p.prompts.shown.last().text,
                 PayamText(kNoticeFormatterStays) + "\r\n" +
                     texts::kFormatterLessonLine.arg(u8("درس دو"), u8("علوم")) + QChar(0x200F));
        QCOMPARE(heading(), u8("سؤالات درس درس دو در رشته علوم"));
        t.click(11);
        QCOMPARE(readBytes(xml + "quiz0-0.xml"), lessonA);
        QVERIFY(decodeUtf16Le(readBytes(xml + "quiz0-1.xml"))
                    .contains(u8("پرآب‌ترين رود")));
        // Made: the next opening is for the lesson the list shows.
        t.dataEntry();
        QCOMPARE(heading(), u8("سؤالات درس درس يك در رشته علوم"));
        QCOMPARE(t.outline().size(), 1);
    }

    // Every change of the lesson box's text undoes and redoes as one step: filing with
    // "remove", the remove command, the reflow; a text just opened has nothing to undo.
    void lessonBoxUndo() {
        Formatter t;
        t.load("03-Riazi-Kasr.txt");
        const QString opened = t.matn->text();
        t.matn->setFocus();
        const auto undo = [&] { QTest::keyClick(t.matn, Qt::Key_Z, Qt::ControlModifier); };
        const auto redo = [&] { QTest::keyClick(t.matn, Qt::Key_Y, Qt::ControlModifier); };
        undo();
        QCOMPARE(t.matn->text(), opened);
        t.select(u8("حاصل 1/2 + 1/3"));
        t.click(2); // filed and removed
        const QString filed = t.matn->text();
        QVERIFY(filed != opened);
        t.select(u8("مخرج مشترك 6"));
        t.click(4); // removed only
        const QString removed = t.matn->text();
        QVERIFY(removed != filed);
        control<QCheckBox>(t.f, "Noghte")->setChecked(false);
        QTest::mouseClick(t.f->findChild<QWidget*>("HazC"), Qt::LeftButton);
        const QString reflowed = t.matn->text();
        QVERIFY(reflowed != removed);
        t.matn->setFocus();
        for (const QString& before : {removed, filed, opened}) {
            undo();
            QCOMPARE(t.matn->text(), before);
        }
        redo();
        QCOMPARE(t.matn->text(), filed);
        QTest::keyClick(t.matn, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(t.matn->text(), removed);
        redo();
        QCOMPARE(t.matn->text(), reflowed);
        // Still right-aligned after the reflow and its undo.
        undo();
        for (QTextBlock b = t.matn->document()->begin(); b.isValid(); b = b.next())
            QCOMPARE(b.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
    }

    // A made lesson comes back when the formatter opens for it. Filed entries live in a
    // draft from the first change until the quiz file is made, and come back after a crash.
    void theWorkComesBack() {
        Formatter t;
        const QString xml = t.main->session().projectPath + "/_xml/";
        const QString draft = xml + "quiz0-0.draft";
        t.load("01-Olum-Madde.txt");
        t.select(u8("حالت\u200Cهاي ماده"));
        t.click(9);
        t.select(u8("كدام يك از مواد زير"));
        t.click(2);
        QVERIFY(QFile::exists(draft));
        t.select(u8("آهن"));
        t.click(3);
        t.select(u8("جيوه تنها فلزي"));
        t.click(0);
        const QStringList filed = t.outline();
        const EntryTable before = t.f->table();
        // A crash: the window goes without a word, then the formatter opens again.
        t.f->hide();
        t.main->formatter()->Doit();
        const auto asked = t.p.prompts.shown.last();
        QCOMPARE(asked.text, u8("براي اين درس پيش\u200Cنويسي از 1386/9/13 9:05 با 1 سؤال ذخيره شده "
                                "است.\r\nكار از همان پيش\u200Cنويس ادامه داده شود؟ (خير: "
                                "پيش\u200Cنويس دور ريخته مي\u200Cشود)\u200F"));
        QCOMPARE(asked.start, Default::Yes);
        QCOMPARE(t.outline(), filed);
        QCOMPARE(t.f->table().JavabRtf[1], before.JavabRtf[1]);
        QCOMPARE(t.f->table().TozihRtf[1], before.TozihRtf[1]);
        QCOMPARE(t.f->table().EntryCount, before.EntryCount);
        QCOMPARE(control<QPushButton>(t.f, "Com9")->text(),
                 QStringLiteral(u"ايجاد گروه جديدي از سؤالات (1)\u200F"));
        // No: the draft goes and the formatter opens empty.
        t.f->hide();
        t.p.prompts.answers = {false};
        t.main->formatter()->Doit();
        QCOMPARE(t.outline().size(), 0);
        QVERIFY(!QFile::exists(draft));

        // Made: no draft; opened again, the lesson is back and nothing is asked, not even on
        // closing, as nothing changed.
        t.load("01-Olum-Madde.txt");
        t.select(u8("حالت\u200Cهاي ماده"));
        t.click(9);
        t.select(u8("كدام يك از مواد زير"));
        t.click(2);
        t.select(u8("آهن"));
        t.click(3);
        t.click(11); // Yes to the unmarked question
        QVERIFY(!QFile::exists(draft));
        const QByteArray made = readBytes(xml + "quiz0-0.xml");
        const qsizetype shown = t.p.prompts.shown.size();
        t.main->formatter()->Doit();
        QCOMPARE(t.outline().size(), 2);
        QVERIFY(t.outline()[0].startsWith(u8(">>> عنوان اصلي   =>   حالت\u200Cهاي ماده")));
        QVERIFY(t.outline()[1].startsWith(u8("كدام يك از مواد زير")));
        t.f->close();
        QCOMPARE(t.p.prompts.shown.size(), shown);
        QCOMPARE(readBytes(xml + "quiz0-0.xml"), made);

        // A quiz file that does not read back stays as it is; the formatter opens empty.
        const QByteArray cut = encodeUtf16Le("<quiz qNo='0-0' IDname='x'>\r\n\t<question1>\r\n");
        writeBytes(xml + "quiz0-0.xml", cut);
        t.main->formatter()->Doit();
        QCOMPARE(t.p.prompts.shown.last().text,
                 u8("فايل آزمون اين درس خوانده نشد؛ فايل دست نخورد و فرم خالي باز شد!\u200F\r\n"
                    "سطر 3 فايل «quiz0-0.xml» خوانا نيست\u200F"));
        QCOMPARE(t.outline().size(), 0);
        QCOMPARE(readBytes(xml + "quiz0-0.xml"), cut);
        // A draft that does not read is put aside, not lost (then the quiz file is told of).
        t.f->hide();
        writeBytes(draft, "{ not a draft");
        t.main->formatter()->Doit();
        QVERIFY(t.p.prompts.shown[t.p.prompts.shown.size() - 2].text.startsWith(
            u8("پيش\u200Cنويس اين درس خوانده نشد؛ با نام ديگري كنار گذاشته شد!\u200F")));
        QCOMPARE(readBytes(draft + ".damaged"), QByteArray("{ not a draft"));
        QVERIFY(!QFile::exists(draft));
    }

    // Closing with filed entries not made into a quiz file asks: Cancel stays, No
    // discards, Yes makes the file first; the main window's close asks the same.
    void nothingLostOnClose() {
        Formatter t;
        t.load("03-Riazi-Kasr.txt");
        t.select(u8("حاصل 1/2 + 1/3"));
        t.click(2);
        const QString question = u8("سؤالهاي ثبت\u200Cشده هنوز در فايل آزمون ساخته نشده\u200Cاند."
                                    "\r\nپيش از بستن، فايل ساخته شود؟\u200F");
        t.p.prompts.choices = {Answer::Cancel};
        t.f->close();
        QVERIFY(t.f->isVisible());
        QCOMPARE(t.p.prompts.shown.last().text, question);
        QCOMPARE(t.outline().size(), 1);
        t.p.prompts.choices = {Answer::Cancel};
        t.main->close();
        QVERIFY(t.main->isVisible() && t.f->isVisible());
        // Yes: the file is made, then the window closes.
        t.p.prompts.choices = {Answer::Yes};
        t.f->close();
        QVERIFY(!t.f->isVisible());
        QVERIFY(QFile::exists(t.main->session().projectPath + "/_xml/quiz0-0.xml"));
        // No: discarded, closed; nothing made.
        t.main->formatter()->Doit();
        t.load("03-Riazi-Kasr.txt");
        t.select(u8("20 درصد عدد 150"));
        t.click(2);
        const QByteArray made = readBytes(t.main->session().projectPath + "/_xml/quiz0-0.xml");
        t.p.prompts.choices = {Answer::No};
        t.f->close();
        QVERIFY(!t.f->isVisible());
        QCOMPARE(readBytes(t.main->session().projectPath + "/_xml/quiz0-0.xml"), made);
        QVERIFY(t.p.entries().contains("Filed entries discarded."));
        // Nothing filed: no question.
        const qsizetype shown = t.p.prompts.shown.size();
        t.main->formatter()->Doit();
        t.f->close();
        QCOMPARE(t.p.prompts.shown.size(), shown);
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

    // A Moodle XML file's questions through the import button and the program's file
    // picker: appended as entries with the right answer marked and the answer's picture as
    // an image mark, the kinds the tool cannot hold listed by title, the draft written; made,
    // the picture is the lesson's and the import's files are gone.
    void questionsFromOtherPlatforms() {
        Formatter t;
        const QByteArray picture = pngOf(12, 8);
        QDir().mkpath(t.p.path("in"));
        writeBytes(t.p.path("in/q.xml"),
                   "<?xml version=\"1.0\"?><quiz>"
                   "<question "
                   "type=\"category\"><category><text>$course$/top/X</text></category></question>"
                   "<question type=\"multichoice\"><name><text>m</text></name>"
                   "<questiontext format=\"html\"><text><![CDATA[<p>Which "
                   "one?</p>]]></text></questiontext>"
                   "<generalfeedback format=\"html\"><text>Because.</text></generalfeedback>"
                   "<answer fraction=\"0\" format=\"html\"><text>A</text></answer>"
                   "<answer fraction=\"100\" format=\"html\"><text><![CDATA[B <img "
                   "src=\"@@PLUGINFILE@@/b.png\">]]></text>"
                   "<file name=\"b.png\" path=\"/\" encoding=\"base64\">" +
                       picture.toBase64() +
                       "</file></answer></question>"
                       "<question "
                       "type=\"truefalse\"><name><text>t</text></name><questiontext><text>Sure?</"
                       "text></questiontext>"
                       "<answer fraction=\"100\"><text>true</text></answer><answer "
                       "fraction=\"0\"><text>false</text></answer></question>"
                       "<question "
                       "type=\"essay\"><name><text>es</text></name><questiontext><text>Write.</"
                       "text></questiontext></question>"
                       "</quiz>");
        auto* import = control<QToolButton>(t.f, "ImportQ");
        // Where nothing stood: left of the outline's heading, above the outline.
        QVERIFY(import->geometry().right() < control<QLabel>(t.f, "Label3")->geometry().left());
        QVERIFY(import->geometry().bottom() < t.bindex->geometry().top());
        QVERIFY(laidOutRightToLeft(import));
        // The import's picker is answered with "in/q.xml".
        const auto importFile = [&] {
            onModal<FilePicker>([&](FilePicker* picker) {
                picker->prime(t.p.path("in"));
                auto* list = picker->findChild<QListWidget*>("File1");
                list->setCurrentItem(list->findItems("q.xml", Qt::MatchExactly).value(0));
                QTest::mouseClick(picker->findChild<QPushButton*>("btn"), Qt::LeftButton);
            });
            QTest::mouseClick(import, Qt::LeftButton);
        };
        importFile();
        QCOMPARE(
            t.p.prompts.shown.last().text,
            u8("2 سؤال از فايل «q.xml» به فهرست افزوده شد.\u200F\r\nآورده نشد: «es» (تشريحي)"));
        QCOMPARE(t.outline().size(), 2);
        // Each answer apart from the next, so numbers in a row do not read as one.
        QVERIFY2(t.outline()[0].startsWith(u8("Which one?   =>   A، B {0}   =>   Because.")),
                 qPrintable(t.outline()[0]));
        QVERIFY(t.outline()[1].startsWith(u8("Sure?   =>   درست، نادرست")));
        const EntryTable& table = t.f->table();
        const QByteArray mark = markPicture(readBytes(t.p.path("Resources/check.bin")));
        QCOMPARE(readAnswers(t.p.context(), table.JavabRtf[0], mark).marked, 2);
        QCOMPARE(readAnswers(t.p.context(), table.JavabRtf[1], mark).marked, 1);
        QCOMPARE(readBytes(table.ImagePaths[0]), picture);
        const QString project = t.main->session().projectPath;
        QVERIFY(QFile::exists(project + "/_xml/quiz0-0.draft"));
        t.click(11);
        const QString quiz = decodeUtf16Le(readBytes(project + "/_xml/quiz0-0.xml"));
        QVERIFY(
            quiz.contains("\t\t<B>B {0}</B>\r\n\t\t<chk>2</chk>\r\n\t\t<rslt>Because.</rslt>\r\n"
                          "\t\t<img0>quiz0-0-0.png</img0>\r\n"));
        QCOMPARE(readBytes(project + "/BookTXT/quiz0-0-0.png"), picture);
        QCOMPARE(QDir(project + "/BookTXT").entryList({"*-import-*"}, QDir::Files), QStringList());
        // A file that is neither: nothing is added, and the author is told why.
        writeBytes(t.p.path("in/q.xml"), "<html></html>");
        t.main->formatter()->Doit();
        const qsizetype entries = t.outline().size();
        importFile();
        QVERIFY(t.p.prompts.shown.last().text.startsWith(u8("سؤالهاي فايل آورده نشد!\u200F\r\n")));
        QCOMPARE(t.outline().size(), entries);
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
        // The words-per-line box keeps 10 to 30 (Persian digits too) and says why beside
        // itself when it changed what was typed.
        auto* chnd = control<QLineEdit>(t.f, "chnd");
        QCOMPARE(chnd->text(), u8("۲۰"));
        struct Typed {
            QString typed, kept;
            bool said;
        };
        for (const Typed& row : {Typed{"5", u8("۲۲"), true}, Typed{"45", u8("۲۲"), true},
                                 Typed{"10", "10", false}, Typed{u8("۳۰"), u8("۳۰"), false}}) {
            QToolTip::hideText();
            chnd->setText(row.typed);
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(chnd, &out);
            QCOMPARE(chnd->text(), row.kept);
            QCOMPARE(QToolTip::isVisible(), row.said);
            if (row.said)
                QCOMPARE(QToolTip::text(), readWordsPerLine(row.typed).why);
        }
    }

    // The input-path panel fades in on the main window's timer; its link picks a folder
    // whose text files are listed at once.
    void inputFolderPanel() {
        Formatter t;
        auto* frame7 = control<QFrame>(t.f, "Frame7");
        auto* label6 = control<QLabel>(t.f, "Label6");
        const auto hover = [](QWidget* w) {
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &move);
        };
        QVERIFY(!frame7->isVisible());
        hover(t.books()->viewport());
        QCOMPARE(t.main->popupPanel(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(frame7->isVisible(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(frame7->palette().color(QPalette::WindowText),
                                  QColor(135, 135, 135), 3000);
        // From the list down onto the link by hand: the panel stays, the link lights up.
        t.moveByHand(t.at(t.books()), t.at(label6), [&] { QVERIFY(frame7->isVisible()); });
        QCOMPARE(label6->palette().color(QPalette::WindowText), QColor(100, 100, 100));
        // The frame's own margin below the link hides it.
        t.moveByHand(t.at(label6),
                     label6->mapTo(t.f, QPoint(label6->width() / 2, frame7->height() - 1)));
        QVERIFY(!frame7->isVisible());
        hover(t.books()->viewport());
        QTRY_VERIFY_WITH_TIMEOUT(frame7->isVisible(), 3000);
        hover(t.bindex->viewport());
        QVERIFY(!frame7->isVisible());
        // A folder of A.TXT, b.txt, c.text and a file named just "txt".
        QDir().mkpath(t.p.path("other"));
        for (const char* name : {"other/A.TXT", "other/b.txt", "other/c.text", "other/txt"})
            writeBytes(t.p.path(name), "x");
        t.moveByHand(t.at(t.bindex), t.at(t.books()));
        QTRY_VERIFY_WITH_TIMEOUT(frame7->isVisible(), 3000);
        t.moveByHand(t.at(t.books()), t.at(label6));
        QTimer::singleShot(0, [&t] {
            QWidget* picker = QApplication::activeModalWidget();
            QVERIFY(picker);
            static_cast<FolderPicker*>(picker)->prime(t.p.path("other"));
            QTest::mouseClick(picker->findChild<QPushButton*>("btn"), Qt::LeftButton);
        });
        QTest::mouseClick(t.f->windowHandle(), Qt::LeftButton, {}, t.at(label6));
        QCOMPARE(t.main->pickPurpose(), QStringLiteral("zarin"));
        QCOMPARE(t.main->session().inputFolder, t.p.path("other"));
        QStringList listed;
        for (int i = 0; i < t.books()->count(); ++i)
            listed << t.books()->item(i)->text();
        listed.sort();
        QCOMPARE(listed, (QStringList{"A.TXT", "b.txt", "txt"}));
        // The folder is kept as the project's input folder.
        QVERIFY(decodeUtf16Le(readBytes(t.main->session().projectPath + "/Project.xml"))
                    .contains("<Import Path=\"" + t.p.path("other") + "\">"));
        // An empty folder: message 1.
        QDir().mkpath(t.p.path("empty"));
        t.main->session().inputFolder = t.p.path("empty");
        QCOMPARE(t.f->FileList(), 0);
        QCOMPARE(t.p.prompts.shown.last().text,
                 QStringLiteral(u"فايل\u200Fهاي ورودي پيدا نشد!\u200F"));
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

    void reflowFromTheWindow() {
        Formatter t;
        t.matn->setText(u8("يك\r\nدو\r\n\r\nسه"));
        control<QCheckBox>(t.f, "Noghte")->setChecked(false);
        QTest::mouseClick(t.f->findChild<QWidget*>("HazC"), Qt::LeftButton);
        QCOMPARE(t.matn->text(), u8("يك دو\r\nسه\r\n"));
        control<QLineEdit>(t.f, "chnd")->setText("x");
        QTest::mouseClick(t.f->findChild<QWidget*>("HazC"), Qt::LeftButton);
        QVERIFY(t.p.entries().last().startsWith("Error occurred => Error number is 80"));
        QCOMPARE(t.matn->text(), u8("يك دو\r\nسه\r\n"));
        // Not only in the log: the author reads why beside the box.
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), u8("تعداد كلمات هر سطر بايد عددي از 10 تا 30 باشد."));
    }
};

QTEST_MAIN(FormatterWindowTest)
#include "tst_formatter_window.moc"
