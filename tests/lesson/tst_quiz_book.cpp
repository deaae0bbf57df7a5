// The quiz file, the lesson index and the copies, byte for byte, on temporary projects.
#include "app/messages.h"
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
#include "support/golden.h"
#include "support/kill_test.h"
#include "support/program_steps.h"
#include "support/test_program.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString kCredit = QStringLiteral("<aBook0>Designed by: Orvanta</aBook0>");

struct Book {
    TestProgram p;
    EntryTable table;
    QString project;
    QStringList outline; // the last reopened lesson's
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
        r.checkSnippet = shippedSnippet("check.bin");
        r.beforeNotice = [this] { ++notices4; };
        return MakeBook(p.context(), table, r);
    }
    QString quiz(const QString& id = "1-3") const {
        return decodeUtf16Le(readBytes(project + "/_xml/quiz" + id + ".xml"));
    }
};

// Answers as a word processor gives them: four paragraphs, the second holding an image
// mark, the third marked right and holding an image mark too.
QString answersRtf() {
    return u8("{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr "
              "\\'c7\\'e1\\'dd\\par \\'c8 \\{1\\}\\par ") +
           shippedSnippet("check.bin") + u8("\\'cc \\{0\\}\\par \\'cf}");
}

// The verbs of a lesson's table and its making, on this book. "@check" and "@img" in an entry
// stand for the shipped snippets, "@answers" for answersRtf().
OwnStep bookSteps(Book& b) {
    return [&](const QString& verb, const QString& a, const QString& c1, const QString& c2,
               const QString&, qsizetype&, bool& known) {
        known = true;
        EntryTable& t = b.table;
        const int n = a.toInt();
        const auto field = [&](const QString& name) -> QString& {
            return name == "question"      ? t.SoalText[n]
                   : name == "answers"     ? t.JavabRtf[n]
                   : name == "explanation" ? t.TozihRtf[n]
                   : name == "attach"      ? t.AttachPath[n]
                   : name == "sound"       ? t.SoundPath[n]
                   : name == "film"        ? t.FilmPath[n]
                   : name == "image"       ? t.ImagePaths[n]
                                           : t.BackPath[n];
        };
        if (verb == "entry" || verb == "entry-is") { // entry N's field ("image": picture N)
            const QString text = withSnippets(QString(c2).replace("@answers", answersRtf()));
            if (verb == "entry")
                field(c1) = text;
            else
                QCOMPARE(field(c1), text);
        } else if (verb == "media") { // files named by their own bytes
            QDir().mkpath(b.p.path("media"));
            for (const char* f : {"media/one.png", "media/zero.jpg", "media/att.pdf", "media/s.mp3",
                                  "media/f.avi", "media/back.jpg"})
                writeBytes(b.p.path(f), f);
        } else if (verb == "no-project") {
            b.project.clear();
        } else if (verb == "clear") {
            t.clear();
        } else if (verb == "make") { // the outcome; "field-lesson" and title if not 1-3
            const QStringList outcomes{"made", "no-folders", "declined", "failed"};
            const BookOutcome made = c1.isEmpty() ? b.make()
                                                  : b.make(c1.section('-', 0, 0).toInt(),
                                                           c1.section('-', 1).toInt(), c2);
            QCOMPARE(outcomes.value(int(made)), a);
        } else if (verb == "reopen") { // lesson a's quiz file into the table; "bare": no marks
            const bool bare = c1 == "bare";
            const auto book = reopenBook(b.p.context(), b.project, a,
                                         bare ? QString() : shippedSnippet("check.bin"),
                                         bare ? QString() : shippedSnippet("img.bin"));
            QVERIFY(book.has_value());
            QCOMPARE(book->outline.size(), book->table.EntryCount);
            t = book->table;
            b.outline = book->outline;
        } else if (verb == "counts") { // entries, images, groups left open
            QCOMPARE(QList<int>({t.EntryCount, t.ImageCounter, t.OpenGroups}),
                     QList<int>({n, c1.toInt(), c2.toInt()}));
        } else if (verb == "outline-starts") {
            QVERIFY2(b.outline.value(n).startsWith(c1), qPrintable(c1));
        } else if (verb == "project") { // a folder of the program folder
            b.project = b.p.path(a);
        } else if (verb == "notices-before") { // the made notices announced first
            QCOMPARE(b.notices4, n);
        } else if (verb == "read-marks") { // each question's mark as the readers take it
            QStringList marks;
            for (const QuizQuestion& q : parseQuizFile(b.quiz(a), a, "quiz" + a + ".xml"))
                marks << QString::number(q.marked);
            QCOMPARE(marks.join(u'|'), c1);
        } else {
            known = false;
        }
    };
}

} // namespace

class QuizBookTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("quizbook", ".steps"); }
    // The lesson's table made into its quiz file: tests/data/quizbook.
    void scenarios() {
        QFETCH(QString, name);
        Book b;
        runProgramSteps(
            b.p, "quizbook/" + name, [&] { return b.project; }, bookSteps(b));
    }

    // A made lesson reopened and made again unchanged gives every file back byte for byte:
    // tests/data/quizbook/made.
    void reopenedLessonMakesTheSameFiles() {
        Book b;
        for (const char* steps :
             {"quizbook/made/every_kind.steps", "quizbook/made/made_again.steps"})
            runProgramSteps(
                b.p, steps, [&] { return b.project; }, bookSteps(b));
    }

    // A quiz file whose lines do not read back: their number; the file is left as it is.
    void damagedQuizFiles() {
        Book b;
        runProgramSteps(
            b.p, "quizbook/made/every_kind.steps", [&] { return b.project; }, bookSteps(b));
        const QString path = b.project + "/_xml/quiz1-3.xml";
        const QString text = decodeUtf16Le(readBytes(path));
        for (const QStringList& d : tableRows("quizbook/damages.tsv")) {
            QString damaged = text;
            if (d[1] == "cut")
                damaged = text.left(text.indexOf(d[2]) + d[3].toInt());
            else if (d[1] == "chop")
                damaged.chop(d[2].toInt());
            else if (d[1] == "pattern")
                damaged.replace(QRegularExpression(d[2]), d[3]);
            else
                damaged.replace(invisible(d[2]), d[3]);
            writeBytes(path, encodeUtf16Le(damaged));
            try {
                reopenBook(b.p.context(), b.project, "1-3", {}, {});
                QFAIL(qPrintable(d[0]));
            } catch (const UnreadableQuiz& e) {
                QCOMPARE(e.line(), d[4].toInt());
                QCOMPARE(e.name(), QStringLiteral("quiz1-3.xml"));
            }
            QCOMPARE(readBytes(path), encodeUtf16Le(damaged));
        }
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

    void correctAnswerMark_data() { tableData("quizbook/marks.tsv", {"rtf", "marked"}); }
    void correctAnswerMark() {
        QFETCH(QString, rtf);
        QFETCH(QString, marked);
        TestProgram p;
        rtf = withSnippets(rtf.replace("@answers", answersRtf()));
        QCOMPARE(readAnswers(p.context(), rtf, markPicture(shippedSnippet("check.bin"))).marked,
                 marked.toInt());
    }

    // A page's name: 14 of the letters a file name keeps on any disc. (Names never
    // overwrite: tests/data/quizbook/page_names_never_overwrite.steps.)
    void pageNames() {
        Book b;
        for (int i = 0; i < 50; ++i) {
            const QString name = NewN(b.p.context());
            QCOMPARE(name.size(), 14);
            QVERIFY(QRegularExpression("^[0-9A-Y]+$").match(name).hasMatch());
        }
    }
};

QTEST_GUILESS_MAIN(QuizBookTest)
#include "tst_quiz_book.moc"
