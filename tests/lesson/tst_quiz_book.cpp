// The quiz file, the lesson index and the copies, byte for byte, on temporary projects.
#include "app/messages.h"
#include "app/texts.h"
#include "export/output_folders.h"
#include "lesson/capture_commands.h"
#include "lesson/entry_table.h"
#include "lesson/lesson_draft.h"
#include "lesson/outline_editing.h"
#include "lesson/question_check.h"
#include "lesson/quiz_book.h"
#include "lesson/quiz_reopen.h"
#include "platform/file_copy.h"
#include "platform/text_codec.h"
#include "store/quiz_file.h"
#include "support/documents.h"
#include "support/kill_test.h"
#include "support/test_program.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString kCredit = QStringLiteral("<aBook0>Designed by: Orvanta</aBook0>");

QString snippet(const char* name) {
    return decodeAnsi(readBytes(sourceFile(QStringLiteral("resources/") + QLatin1String(name))));
}

struct Book {
    TestProgram p;
    EntryTable table;
    QString project;
    int notices4 = 0;
    Book() {
        project = p.path("Project 1");
        QDir().mkpath(project);
        MakeDirs(p.context(), project, "BookTXT", "_xml");
    }
    BookOutcome make(int field = 1, int lesson = 3, const QString& title = u8("درس <اول> 'الف'")) {
        BookRequest r;
        r.projectPath = project;
        r.fieldIndex = field;
        r.lessonIndex = lesson;
        r.lessonTitle = title;
        r.creditElement = kCredit;
        r.checkSnippet = snippet("check.bin");
        r.beforeNotice = [this] { ++notices4; };
        return MakeBook(p.context(), table, r);
    }
    QString quiz(const QString& id = "1-3") const {
        return decodeUtf16Le(readBytes(project + "/_xml/quiz" + id + ".xml"));
    }
    QString index() const { return decodeUtf16Le(readBytes(project + "/_xml/BookTitle.xml")); }
    QStringList pages() const {
        return QDir(project + "/BookTXT").entryList(QDir::Files, QDir::Name);
    }
};

// Answers as a word processor gives them: four paragraphs, the second holding an image
// mark, the third marked right and holding an image mark too.
QString answersRtf() {
    return u8("{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr "
              "\\'c7\\'e1\\'dd\\par \\'c8 \\{1\\}\\par ") +
           snippet("check.bin") + u8("\\'cc \\{0\\}\\par \\'cf}");
}

// Question 1: answers with two image marks and the mark, and all four attachments.
void fillRichQuestion(Book& b, const QString& explanation) {
    QDir().mkpath(b.p.path("media"));
    for (const char* f : {"media/one.png", "media/zero.jpg", "media/att.pdf", "media/s.mp3",
                          "media/f.avi", "media/back.jpg"})
        writeBytes(b.p.path(f), f);
    auto& t = b.table;
    t.JavabRtf[1] = answersRtf();
    t.TozihRtf[1] = explanation;
    t.AttachPath[1] = b.p.path("media/att.pdf");
    t.SoundPath[1] = b.p.path("media/s.mp3");
    t.FilmPath[1] = b.p.path("media/f.avi");
    t.BackPath[1] = b.p.path("media/back.jpg");
    t.ImagePaths[0] = b.p.path("media/zero.jpg");
    t.ImagePaths[1] = b.p.path("media/one.png");
}

// The table of quizFileByteForByte's quiz file, with blanks that RemCrLf halves, a question
// without answers and a group that ends after the last question.
void fillEveryKind(Book& b) {
    fillRichQuestion(b, u8("{\\rtf1 because\\par  twice  over}"));
    auto& t = b.table;
    const QStringList soal{kMainTitleEntry, u8("كدام <درست>  است؟\r\n'دوم'"),
                           kEndTitleEntry,  "plain    four  blanks",
                           kMainTitleEntry, "no answers",
                           kEndTitleEntry};
    for (int i = 0; i < soal.size(); ++i)
        t.SoalText[i] = soal[i];
    t.JavabRtf[0] = t.JavabRtf[2] = u8("فصل يك");
    t.JavabRtf[3] = " a \r\n\r\nc {x}\\\r\nd\r\ne";
    t.JavabRtf[4] = t.JavabRtf[6] = u8("فصل دو");
}

} // namespace

class QuizBookTest : public QObject {
    Q_OBJECT
private slots:
    void quizFileByteForByte() {
        Book b;
        fillRichQuestion(b, u8("{\\rtf1 because\\par  twice}"));
        auto& t = b.table;
        t.SoalText[0] = kMainTitleEntry;
        t.JavabRtf[0] = u8("فصل يك");
        t.SoalText[1] = u8("كدام <درست> است؟\r\n'دوم'");
        t.SoalText[2] = kEndTitleEntry;
        t.SoalText[3] = "plain";
        t.JavabRtf[3] = "a\r\nb\r\nc\r\nd\r\ne"; // the fifth answer is lost
        t.TozihRtf[3] = "";
        QCOMPARE(b.make(), BookOutcome::Made);

        // The page name of question 1 is in its attachment lines.
        const QString quiz = b.quiz();
        const QRegularExpressionMatch m =
            QRegularExpression("<attach>([0-9A-Y]{14})\\.pdf</attach>").match(quiz);
        QVERIFY(m.hasMatch());
        const QString page = m.captured(1);
        const QString expected =
            u8("<quiz qNo='1-3' IDname='درس <اول> 'الف''>\r\n"
               "\t<question1>\r\n"
               "\t\t<question No='1'>كدام <درست> است؟ 'دوم'</question>\r\n"
               "\t\t<A>الف</A>\r\n\t\t<B>ب {1}</B>\r\n\t\t<C>ج {0}</C>\r\n\t\t<D>د</D>\r\n"
               "\t\t<chk>3</chk>\r\n\t\t<rslt>because twice</rslt>\r\n"
               "\t\t<img1>quiz1-3-1.png</img1>\r\n\t\t<img0>quiz1-3-0.jpg</img0>\r\n") +
            "\t\t<attach>" + page + ".pdf</attach>\r\n\t\t<sound>" + page +
            ".mp3</sound>\r\n\t\t<film>" + page + ".avi</film>\r\n\t\t<back>" + page +
            u8(".jpg</back>\r\n\t</question1>\r\n"
               "\t<question3>\r\n\t\t<question No='3'>plain</question>\r\n"
               "\t\t<A>a</A>\r\n\t\t<B>b</B>\r\n\t\t<C>c</C>\r\n\t\t<D>d</D>\r\n"
               "\t\t<chk>2</chk>\r\n\t\t<nochk>1</nochk>\r\n\t\t<rslt></rslt>\r\n"
               "\t</question3>\r\n");
        QCOMPARE(quiz.split("\r\n"), expected.split("\r\n"));
        QCOMPARE(readBytes(b.project + "/_xml/quiz1-3.xml"), encodeUtf16Le(expected));
        QCOMPARE(readBytes(b.project + "/_xml/BookTitle.xml"),
                 encodeUtf16Le("<strings>\r\n\t" + kCredit +
                               u8("\r\n\t<quiz1-3>درس <اول> 'الف'</quiz1-3>\r\n")));
        QCOMPARE(b.pages(), (QStringList{page + ".avi", page + ".jpg", page + ".mp3", page + ".pdf",
                                         "quiz1-3-0.jpg", "quiz1-3-1.png"}));
        QCOMPARE(readBytes(b.project + "/BookTXT/" + page + ".jpg"), QByteArray("media/back.jpg"));
        QCOMPARE(readBytes(b.project + "/BookTXT/quiz1-3-1.png"), QByteArray("media/one.png"));
        // Done: message 4 with the note of the question without explanation, the table emptied.
        QCOMPARE(b.notices4, 1);
        QCOMPARE(
            b.p.prompts.shown.last().text,
            QStringLiteral(u"فايل ساخته شد!\u200F\r\nيادداشت: اين سؤالها توضيح ندارند: 2\u200F"));
        QVERIFY(b.table.SoalText[1].isEmpty());
        QCOMPARE(b.p.entries().last(), QStringLiteral("Book is made."));
    }

    // A made lesson reopened and made again unchanged gives every file back byte for byte:
    // the quiz files of these tests and of the shipped sample.
    void reopenedLessonMakesTheSameFiles() {
        Book b;
        fillEveryKind(b);
        QCOMPARE(b.make(), BookOutcome::Made);
        QVERIFY(QFile::exists(b.project + "/_xml/quiz1-3.groups"));
        const QString sample = b.p.path("Sample");
        for (const auto& [name, bytes] :
             filesUnder(sourceFile("dist/catalogue/Sample")).asKeyValueRange()) {
            QDir().mkpath(QFileInfo(sample + "/" + name).path());
            writeBytes(sample + "/" + name, bytes);
        }
        struct Lesson {
            QString project, id;
        };
        for (const Lesson& l :
             {Lesson{b.project, "1-3"}, Lesson{sample, "0-0"}, Lesson{sample, "0-1"}}) {
            const auto before = filesUnder(l.project);
            const QString head = decodeUtf16Le(before.value("_xml/quiz" + l.id + ".xml"));
            const QString title = head.section(u8("IDname='"), 1).section(u8("'>\r\n"), 0, 0);
            auto book = reopenBook(b.p.context(), l.project, l.id, snippet("check.bin"),
                                   snippet("img.bin"));
            QVERIFY2(book.has_value(), qPrintable(l.project + " " + l.id));
            QCOMPARE(book->outline.size(), book->table.EntryCount);
            b.table = book->table;
            b.project = l.project;
            QCOMPARE(b.make(l.id.section('-', 0, 0).toInt(), l.id.section('-', 1).toInt(), title),
                     BookOutcome::Made);
            const auto after = filesUnder(l.project);
            QCOMPARE(QStringList(after.keys()).join(' '), QStringList(before.keys()).join(' '));
            for (const QString& name : before.keys())
                QVERIFY2(after[name] == before[name], qPrintable(name));
        }
        // What came back: the groups with their titles, the mark, the images, the copies.
        b.project = b.p.path("Project 1");
        const auto book =
            *reopenBook(b.p.context(), b.project, "1-3", snippet("check.bin"), snippet("img.bin"));
        QCOMPARE(book.table.SoalText[4], kMainTitleEntry);
        QCOMPARE(book.table.JavabRtf[6], u8("فصل دو"));
        QCOMPARE(book.table.OpenGroups, 0);
        QCOMPARE(book.table.EntryCount, 7);
        QCOMPARE(
            readAnswers(b.p.context(), book.table.JavabRtf[1], markPicture(snippet("check.bin")))
                .marked,
            3);
        QCOMPARE(book.table.ImageCounter, 2);
        QVERIFY(book.table.ImagePaths[1].endsWith("BookTXT/quiz1-3-1.png"));
        QVERIFY(book.table.AttachPath[1].contains("/BookTXT/"));
        QVERIFY(book.outline[0].startsWith(kMainTitleEntry));

        // Lines that do not read back: their number; the file is left as it is.
        const QString path = b.project + "/_xml/quiz1-3.xml";
        const QByteArray made = readBytes(path);
        const QString text = decodeUtf16Le(made);
        struct Damage {
            QString made;
            int line;
        };
        const QList<Damage> damages{
            {text.left(text.indexOf("<chk>") + 3), 8},
            {QString(text).replace("<chk>3</chk>", "<chk>x</chk>"), 8},
            {QString(text).replace("qNo='1-3'", "qNo='1-4'"), 1},
            {QString(text).replace("<question3>", "<question0>"), 17},
            {QString(text).replace("\t\t<rslt></rslt>", "<rslt/>"), 25},
            {text.chopped(2), 32},
            {QString(text).replace(QRegularExpression("<sound>[^<]*"), "<sound>../x.mp3"), 13},
        };
        for (const Damage& d : damages) {
            writeBytes(path, encodeUtf16Le(d.made));
            try {
                reopenBook(b.p.context(), b.project, "1-3", {}, {});
                QFAIL(qPrintable(d.made.right(40)));
            } catch (const UnreadableQuiz& e) {
                QCOMPARE(e.line(), d.line);
                QCOMPARE(e.name(), QStringLiteral("quiz1-3.xml"));
            }
            QCOMPARE(readBytes(path), encodeUtf16Le(d.made));
        }
        // Without its group file the places between questions stay, as untitled ends.
        writeBytes(path, made);
        QFile::remove(b.project + "/_xml/quiz1-3.groups");
        const auto bare = *reopenBook(b.p.context(), b.project, "1-3", {}, {});
        QCOMPARE(bare.table.EntryCount, 6);
        QCOMPARE(bare.table.SoalText[4], kEndTitleEntry);
    }

    // Killed at random moments while entries are filed and edited: every entry filed before
    // the kill comes back from the draft, and the draft is always whole.
    void draftsOutliveKills() {
        Book b;
        const QString progress = b.p.path("progress");
        const QString id = "1-3";
        const auto question = [](int k, bool edited) {
            return u8("سؤال %1 كدام است؟").arg(k) + (edited ? u8(" (ويرايش)") : QString());
        };
        const int entries = 120;
        killAtRandomMoments(
            "draft",
            [&] {
                Context& c = b.p.context();
                Draft d;
                QFile done(progress);
                done.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
                for (int k = 0; k < entries; ++k) {
                    fileQuestion(c, d.table, d.outline, {question(k, false), {}});
                    fileAnswers(c, d.table, d.outline, {"a\r\nb", "a\r\nb"});
                    fileExplanation(c, d.table, d.outline, {u8("چون"), u8("چون")});
                    saveDraft(b.project, id, d);
                    if (k > 0) {
                        saveEntry(c, d.table, d.outline, k - 1,
                                  {question(k - 1, true), "a\r\nb", u8("چون"), {}, {}, {}, {}});
                        saveDraft(b.project, id, d);
                    }
                    done.write(QByteArray::number(k) + "\n");
                }
            },
            [&] {
                QFile::remove(draftPath(b.project, id));
                QFile::remove(progress);
            },
            [&](int) {
                removeWorkingFiles(b.project + "/_xml");
                const QList<QByteArray> done = readBytes(progress).split('\n');
                const int filed = done.size() - 1;       // entries whose draft was saved
                const auto d = readDraft(b.project, id); // never throws: always whole
                QVERIFY(d || filed == 0);
                if (!d)
                    return;
                QVERIFY(d->questions() >= filed);
                QCOMPARE(d->outline.size(), d->table.EntryCount);
                // The last one may have been edited already, after its line was written.
                for (int k = 0; k + 1 < filed; ++k)
                    QCOMPARE(d->table.SoalText[k], question(k, true));
                if (filed > 0)
                    QVERIFY(d->table.SoalText[filed - 1].startsWith(question(filed - 1, false)));
                QCOMPARE(QDir(b.project + "/_xml").entryList(QDir::Files),
                         QStringList{"quiz" + id + ".draft"});
            });
    }

    // The mark is found by its picture wherever the answers carry it.
    void correctAnswerMark() {
        TestProgram p;
        const auto markedAnswer = [&](const QString& rtf, const QByteArray& mark) {
            return readAnswers(p.context(), rtf, mark).marked;
        };
        const QByteArray mark = markPicture(snippet("check.bin"));
        QCOMPARE(markedAnswer(answersRtf(), mark), 3);
        QCOMPARE(markedAnswer(u8("{\\rtf1 a\\par b\\par c\\par ") + snippet("check.bin") + u8("d}"),
                              mark),
                 4);
        // Not at the start of its paragraph, another picture, or none: no mark.
        QCOMPARE(
            markedAnswer(u8("{\\rtf1 a\\par b ") + snippet("check.bin") + u8("\\par c}"), mark), 0);
        QCOMPARE(markedAnswer(u8("{\\rtf1 ") + snippet("img.bin") + u8("a\\par b}"), mark), 0);
        QCOMPARE(markedAnswer("plain", mark), 0);
    }

    // Nothing to make (no entry, or group lines only): said, and nothing is written.
    void emptyTableAndTheSameLessonAgain() {
        Book b;
        for (const QString& only : {QString(), kMainTitleEntry}) {
            b.table.SoalText[0] = only;
            QCOMPARE(b.make(0, 0, "L"), BookOutcome::Declined);
            QCOMPARE(b.p.prompts.shown.last().text, PayamText(kNoticeNothingToMake));
            QVERIFY(!QFile::exists(b.project + "/_xml/quiz0-0.xml"));
            QVERIFY(!QFile::exists(b.project + "/_xml/BookTitle.xml"));
        }
        b.table.clear();
        b.table.SoalText[0] = "q";
        b.table.TozihRtf[0] = "why";
        QCOMPARE(b.make(0, 0, "L"), BookOutcome::Made);
        b.table.SoalText[0] = "q";
        // Yes to the incomplete question, No to the overwrite: nothing is written at all.
        b.p.prompts.answers = {true, false};
        const QByteArray index = readBytes(b.project + "/_xml/BookTitle.xml");
        const QByteArray made = readBytes(b.project + "/_xml/quiz0-0.xml");
        QCOMPARE(b.make(0, 0, "L2"), BookOutcome::Declined);
        QCOMPARE(readBytes(b.project + "/_xml/quiz0-0.xml"), made);
        QCOMPARE(readBytes(b.project + "/_xml/BookTitle.xml"), index);
        // The question names the lesson by its title, not by the file's name.
        QCOMPARE(b.p.prompts.shown.last().text, texts::kAskReplaceLessonQuiz.arg("L2"));
        QCOMPARE(b.make(0, 1, "Other"), BookOutcome::Made);
        b.table.SoalText[0] = "q";
        QCOMPARE(b.make(0, 0, "L3"), BookOutcome::Made); // Yes
        QVERIFY(b.quiz("0-0").contains("<question No='0'>q</question>"));
        QCOMPARE(b.index(), "<strings>\r\n\t" + kCredit +
                                "\r\n\t<quiz0-0>L3</quiz0-0>\r\n\t<quiz0-1>Other</quiz0-1>\r\n");
    }

    // Questions the CD would play wrong are listed in one question before anything is
    // written: No writes nothing, Yes writes them as they are.
    void incompleteQuestionsAsked() {
        Book b;
        const QString check = snippet("check.bin");
        EntryTable& t = b.table;
        const QStringList soal{kMainTitleEntry,
                               "no answers at all",
                               "unmarked",
                               "marked",
                               "five answers with a long text that the list cuts short",
                               kEndTitleEntry,
                               "blank fifth"};
        const QStringList javab{"group",
                                "",
                                "a\r\nb",
                                u8("{\\rtf1 a\\par ") + check + u8("b}"),
                                u8("{\\rtf1 ") + check + u8("a\\par b\\par c\\par d\\par e}"),
                                "group",
                                u8("{\\rtf1 ") + check + u8("a\\par b\\par c\\par d\\par }")};
        for (int i = 0; i < soal.size(); ++i) {
            t.SoalText[i] = soal[i];
            t.JavabRtf[i] = javab[i];
        }
        b.p.prompts.answers = {false};
        QCOMPARE(b.make(), BookOutcome::Declined);
        QVERIFY(!QFile::exists(b.project + "/_xml/quiz1-3.xml"));
        QVERIFY(!QFile::exists(b.project + "/_xml/BookTitle.xml"));
        QCOMPARE(t.SoalText[1], QStringLiteral("no answers at all"));
        const auto& asked = b.p.prompts.shown.last();
        QCOMPARE(asked.start, Default::No);
        QCOMPARE(asked.text.split("\r\n"),
                 (QStringList{u8("اين سؤالها كامل نيستند:"),
                              u8("سؤال 1 «no answers at all»: بدون گزينه پاسخ\u200F"),
                              u8("سؤال 2 «unmarked»: بدون پاسخ صحيح\u200F"),
                              u8("سؤال 4 «five answers with a long text that the list ...»: بيش از "
                                 "چهار گزينه\u200F"),
                              "", u8("آيا فايل با همين وضع ساخته شود؟\u200F")}));
        QCOMPARE(b.p.entries().last(), QStringLiteral("Aborted by user!"));
        // Yes: the unmarked question with the player's constant 2 and the line that says it
        // stands for no mark, which the tool's readers take back as unmarked.
        QCOMPARE(b.make(), BookOutcome::Made);
        const QString quiz = b.quiz("1-3");
        QVERIFY(quiz.contains("\t\t<question No='1'>no answers at all</question>\r\n\t\t<chk>2"));
        QVERIFY(
            quiz.contains("<A>a</A>\r\n\t\t<B>b</B>\r\n\t\t<chk>2</chk>\r\n\t\t<nochk>1</nochk>"));
        QVERIFY(quiz.contains("<D>d</D>\r\n\t\t<chk>1</chk>\r\n\t\t<rslt>"));
        const QList<QuizQuestion> read = parseQuizFile(quiz, "1-3", "quiz1-3.xml");
        QCOMPARE(read[1].marked, 0);
        QCOMPARE(read[2].marked, 2);
        // A missing explanation is not asked about: the made notice names those questions.
        QCOMPARE(b.p.prompts.shown.last().text, PayamText(kNoticeBookMade) +
                                                    u8("\r\nيادداشت: اين سؤالها توضيح ندارند: ") +
                                                    u8("1، 2، 3، 4، 5\u200F"));
    }

    // A missing attachment: error 57, the previous quiz file whole, the table kept.
    void failureKeepsThePreviousQuizFile() {
        Book b;
        b.table.SoalText[0] = "old";
        QCOMPARE(b.make(), BookOutcome::Made);
        const QByteArray before = readBytes(b.project + "/_xml/quiz1-3.xml");
        b.table.SoalText[0] = "new";
        b.table.AttachPath[0] = b.p.path("gone.pdf");
        QCOMPARE(b.make(), BookOutcome::Failed);
        QCOMPARE(readBytes(b.project + "/_xml/quiz1-3.xml"), before);
        QCOMPARE(b.table.SoalText[0], QStringLiteral("new"));
        const QStringList log = b.p.entries();
        QVERIFY(log[log.size() - 2].startsWith(
            "Error occurred => Error number is 57 (File not found: "));
        QCOMPARE(log.last(), QStringLiteral("Payam number 107 displayed."));
        QVERIFY(b.p.prompts.shown.last().text.split("\r\n").value(1).startsWith(
            u8("علت: فايل پيدا نشد")));
        // No project folder: 57 before anything is written; no output folders: the message.
        b.project.clear();
        QCOMPARE(b.make(), BookOutcome::Failed);
        Book empty;
        QDir(empty.project + "/_xml").removeRecursively();
        QDir(empty.project + "/BookTXT").removeRecursively();
        QCOMPARE(empty.make(), BookOutcome::NoFolders);
        QCOMPARE(empty.p.prompts.shown.last().text,
                 QStringLiteral("Folder _xml or BookTXT doesn't exist!"));
    }

    // Names are drawn until none of the entry's files would land on an earlier one.
    void pageNamesNeverOverwrite() {
        Book b;
        for (int i = 0; i < 50; ++i) {
            const QString name = NewN(b.p.context());
            QCOMPARE(name.size(), 14);
            QVERIFY(QRegularExpression("^[0-9A-Y]+$").match(name).hasMatch());
        }
        // The names this source draws next are taken: by a page and by an earlier copy.
        SystemRandom probe(99);
        TestProgram names;
        Context drawing(names.folder(), names.path("x.log"), names.clock, names.prompts, probe);
        const QString first = NewN(drawing), second = NewN(drawing);
        writeBytes(b.project + "/BookTXT/" + first + ".htm", "page");
        writeBytes(b.project + "/BookTXT/" + second + ".pdf", "earlier lesson");
        writeBytes(b.p.path("a.pdf"), "new");
        b.table.SoalText[0] = "q";
        b.table.AttachPath[0] = b.p.path("a.pdf");
        SystemRandom same(99);
        Context seeded(b.p.folder(), b.p.path("y.log"), b.p.clock, b.p.prompts, same);
        BookRequest r;
        r.projectPath = b.project;
        r.fieldIndex = 0;
        r.lessonIndex = 0;
        QCOMPARE(MakeBook(seeded, b.table, r), BookOutcome::Made);
        QCOMPARE(readBytes(b.project + "/BookTXT/" + second + ".pdf"),
                 QByteArray("earlier lesson"));
        QCOMPARE(readBytes(b.project + "/BookTXT/" + first + ".htm"), QByteArray("page"));
        QCOMPARE(b.pages().size(), 3);
    }
};

QTEST_GUILESS_MAIN(QuizBookTest)
#include "tst_quiz_book.moc"
