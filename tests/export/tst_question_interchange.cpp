// Questions that travel: the sample project out as GIFT and Moodle XML and back into its
// lessons (the same entries), foreign files read with their other kinds listed, the Moodle
// XML's structure and pictures, and the command line's answers.
#include "commands/question_commands.h"
#include "export/scorm_package.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "interchange/travel_questions.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/kill_test.h"
#include "support/program_steps.h"
#include "support/test_program.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <cstdio>
#include <optional>
#include <sys/stat.h>

using namespace tavrin;

namespace {

// A program folder with the shipped Resources and the shipped sample project in "Sample".
struct Sample {
    test::TestProgram p;
    QString project = p.path("Sample");
    QTemporaryDir away; // where exports go: outside the project and the program folder
    QString out(const QString& name) const { return away.filePath(name); }
    Sample() {
        test::copyShippedResources(p.folder());
        test::putFiles(project, test::filesUnder(test::sourceFile("dist/catalogue/Sample")));
    }
    QList<QuizQuestion> quiz(const QString& id) const {
        return parseQuizFile(
            decodeUtf16Le(test::readBytes(project + "/_xml/" + folders::quizName(id))), id,
            folders::quizName(id));
    }
    // A command's exit code, with what it wrote to err.
    int run(bool exporting, const QStringList& arguments, QString* err = nullptr) {
        std::FILE* out = std::tmpfile();
        std::FILE* errors = std::tmpfile();
        const int code = exporting ? exportQuestionsCommand(p.context(), arguments, out, errors)
                                   : importQuestionsCommand(p.context(), arguments, out, errors);
        if (err) {
            std::rewind(errors);
            char buffer[4096] = {};
            const size_t n = std::fread(buffer, 1, sizeof buffer - 1, errors);
            *err = QString::fromUtf8(buffer, qsizetype(n));
        }
        std::fclose(out);
        std::fclose(errors);
        return code;
    }
};

// The set a file reads as, every part of it shown, control characters written out.
QString dump(const TravelSet& set) {
    const auto v = [](const QString& text) { return test::visible(text); };
    QStringList categories;
    for (const QStringList& c : set.categories)
        categories.append(v(c.join(QStringLiteral(" > "))));
    QStringList out{"categories: " + categories.join(QStringLiteral("; "))};
    const auto file = [](const QString& what, const TravelFile& f) {
        return f.isEmpty()
                   ? QStringList()
                   : QStringList{QStringLiteral("  %1: %2 (%3)")
                                     .arg(what, f.name, QString::fromLatin1(f.bytes.toHex()))};
    };
    for (const TravelQuestion& q : set.questions) {
        out << QStringLiteral("question «%1» in %2")
                   .arg(v(q.title), v(q.category.join(QStringLiteral(" > "))))
            << "  text: " + v(q.text);
        for (qsizetype n = 0; n < q.answers.size(); ++n)
            out << QStringLiteral("  answer%1: %2")
                       .arg(q.correct == n + 1 ? QStringLiteral("*") : QString(), v(q.answers[n]));
        out << "  explanation: " + v(q.explanation);
        for (auto it = q.pictures.begin(); it != q.pictures.end(); ++it)
            out << file(QStringLiteral("picture %1").arg(it.key()), it.value());
        out << file("attach", q.attach) << file("sound", q.sound) << file("film", q.film)
            << file("back", q.back);
    }
    for (const SkippedQuestion& k : set.skipped)
        out << QStringLiteral("skipped «%1»: %2").arg(v(k.title), k.reason);
    for (const QString& note : set.notes)
        out << "note: " + v(note);
    return out.join(u'\n') + u'\n';
}

} // namespace

class QuestionInterchangeTest : public QObject {
    Q_OBJECT
private slots:
    // A NUL is no GIFT text; a question whose answers show nothing is left out of the file it
    // is written to, and only that one.
    void giftRefusesANulAndLeavesOutEmptyAnswers() {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 readGift(QByteArray("::q::The earth\0 is{=a ~b}\n", 25)));
        const TravelSet read =
            readGift("::a::[html]<p>Which?</p>{=<b></b> ~<i></i>}\n\n::b::Round?{=yes ~no}\n");
        QCOMPARE(read.questions.size(), 2);
        QVERIFY(!giftCarries(read.questions[0]) && giftCarries(read.questions[1]));
        QCOMPARE(readGift(giftText(read)).questions.size(), 1);
    }

    void filesReadAndWrittenAsExpected_data();
    void filesReadAndWrittenAsExpected();
    void ownLabels();
    void manifestKeepsItsDigits();
    void verbsSettleAnInterruptedRenumbering();
    void scenarios_data();
    void scenarios();
};

void QuestionInterchangeTest::filesReadAndWrittenAsExpected_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : test::dataFiles("interchange", {".gift", ".xml"}))
        QTest::newRow(qPrintable(name)) << name;
}

// Each file of tests/data/interchange as it reads (its questions, the kinds skipped, what
// could not come), as the tool writes it in GIFT and in Moodle XML, and as each reads back.
// The XML written is well-formed, whatever characters the author typed.
void QuestionInterchangeTest::filesReadAndWrittenAsExpected() {
    QFETCH(QString, name);
    const QByteArray input = test::readBytes(test::sourceFile("tests/data/interchange/" + name));
    const TravelSet set = name.endsWith(".gift") ? readGift(input) : readMoodleXml(input);
    const QByteArray gift = giftText(set);
    const QByteArray xml = moodleXml(set, true);
    QXmlStreamReader strict(xml);
    while (!strict.atEnd())
        strict.readNext();
    QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));
    const QByteArray actual = ("== read\n" + dump(set) + "== as GIFT\n").toUtf8() + gift +
                              ("== GIFT read back\n" + dump(readGift(gift))).toUtf8() +
                              "== as Moodle XML\n" + xml +
                              ("== Moodle XML read back\n" + dump(readMoodleXml(xml))).toUtf8();
    const QByteArray expected = test::golden("interchange/" + name + ".expected", actual);
    QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(expected));
}

// A question's own number and its answers' own labels ("۱-", "الف)", "2)") are what the CD,
// the paper exam and GIFT leave out where they number and letter themselves; a number that
// goes on, a word, or a label among plain answers is text.
void QuestionInterchangeTest::ownLabels() {
    for (const QStringList& row : test::tableRows("store/own_labels.tsv")) {
        QString text = row.value(0);
        QStringList answers = row.value(1).split(u'|', Qt::SkipEmptyParts);
        const OwnLabels taken = takeOwnLabels(text, answers);
        QCOMPARE(text, row.value(2));
        QCOMPARE(answers.join(u'|'), row.value(3));
        QCOMPARE(ownLabelsText(taken), row.value(4));
        QCOMPARE(taken.any(), !row.value(4).isEmpty());
    }
}

// A manifest is a platform's machinery: Persian letters in its titles, but digits as written.
void QuestionInterchangeTest::manifestKeepsItsDigits() {
    const QString manifest = QString::fromUtf8(scormManifest(
        "tavrin-1", test::u8("فيزيك 10"), {test::u8("درس 2"), "Physics 3"}, true, 50, {}));
    for (const QString& title :
         {test::u8("فیزیک 10"), test::u8("درس 2"), QStringLiteral("Physics 3")})
        QVERIFY2(manifest.contains("<title>" + title + "</title>"), qPrintable(manifest));
    QVERIFY(!manifest.contains(QRegularExpression(QStringLiteral("[\\x{06F0}-\\x{06F9}]"))));
}

// A renumbering that a kill cut short after its plan was committed is finished (or undone)
// by the next verb, as opening the project does: none is left for a later opening to carry
// out over the verb's work.
void QuestionInterchangeTest::verbsSettleAnInterruptedRenumbering() {
    Sample s;
    const QMap<QString, QByteArray> before = test::filesUnder(s.project);
    const QString document = decodeUtf16Le(test::readBytes(s.project + "/Project.xml"));
    const auto restore = [&] {
        QDir(s.project).removeRecursively();
        test::putFiles(s.project, before);
    };
    int pending = 0;
    test::killAtRandomMoments(
        "renumbering",
        [&] {
            switchLessonFiles(s.p.context(), s.project, document, Renumbering{0, 1});
        },
        restore,
        [&](int i) {
            pending += QFileInfo::exists(s.project + "/.switch/plan") ? 1 : 0;
            QCOMPARE(s.run(true, {"--project", s.project, "--field", "1", "--lesson", "1",
                                  "--format", "gift", "--out", s.out("g.gift"), "--force"}),
                     0);
            QVERIFY2(!finishSwitch(s.p.context(), s.project), qPrintable(QString::number(i)));
        });
    qInfo("%d kills left a committed plan", pending);
}

void QuestionInterchangeTest::scenarios_data() {
    test::fileRows("questions", ".steps");
}

// The verbs on the shipped sample: tests/data/questions. "@away" is a folder outside the
// project and the program folder; the verbs' arguments name the sample's project themselves.
void QuestionInterchangeTest::scenarios() {
    QFETCH(QString, name);
    Sample s;
    QString err;
    std::optional<QMap<QString, QByteArray>> kept;
    QStringList ids; // the packages' identifiers
    const auto state = [&] {
        QMap<QString, QByteArray> files = test::filesUnder(s.project);
        for (const QString& name : QDir(s.away.path()).entryList(QDir::Files))
            if (name != "fifo")
                files.insert("@away/" + name, test::readBytes(s.out(name)));
        return files;
    };
    test::runProgramSteps(
        s.p, "questions/" + name, [&] { return s.project; },
        [&](const QString& verb, const QString& a, const QString& b, const QString& c,
            const QString&, qsizetype&, bool& known) {
            known = true;
            if (verb == "export-questions" || verb == "import-questions") { // exit code, arguments
                QCOMPARE(s.run(verb == "export-questions", b.split(u' ', Qt::SkipEmptyParts), &err),
                         a.toInt());
                // After "keep-project" a refused verb changes nothing, here or where it writes.
                if (kept && a != "0")
                    QCOMPARE(state(), *kept);
                else if (kept)
                    kept = state();
            } else if (verb == "keep-project") {
                kept = state();
            } else if (verb == "away-fifo") {
                QVERIFY(::mkfifo(QFile::encodeName(s.out(a)).constData(), 0600) == 0);
            } else if (verb == "package") { // its identifier, for packages-apart
                QProcess unzip;
                unzip.start("unzip", {"-p", a, "imsmanifest.xml"});
                QVERIFY(unzip.waitForFinished(30000));
                ids << QRegularExpression("<manifest identifier=\"(tavrin-[^\"]+)\"")
                           .match(QString::fromUtf8(unzip.readAllStandardOutput()))
                           .captured(1);
            } else if (verb == "packages-apart") { // this many, each its own identifier
                QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), a.toInt());
                QVERIFY(!ids.contains(QString()));
            } else if (verb == "said") { // what the last verb wrote to its error output
                QVERIFY2(err.contains(a), qPrintable(err));
            } else if (verb == "quiz") { // the first question's answers and its mark
                const QuizQuestion first = s.quiz(a).value(0);
                QCOMPARE(first.answers.join(u'|'), b);
                QCOMPARE(first.marked, c.toInt());
            } else if (verb == "quiz-golden") { // lesson a's questions, files and groups; file b
                QString back;
                for (const QuizQuestion& q : s.quiz(a)) {
                    back += QStringLiteral("question %1: %2\n  answers: %3 (marked %4)\n  "
                                           "explanation: %5\n")
                                .arg(q.number)
                                .arg(q.text, q.answers.join(" | "))
                                .arg(q.marked)
                                .arg(test::visible(q.explanation));
                    for (auto [n, copy] : q.images.asKeyValueRange())
                        back += QStringLiteral("  picture %1: %2 bytes\n")
                                    .arg(n)
                                    .arg(test::readBytes(s.project + "/BookTXT/" + copy).size());
                    for (const QString& copy : {q.attach, q.back})
                        if (!copy.isEmpty())
                            back += "  file: " +
                                    test::readBytes(s.project + "/BookTXT/" + copy).toHex() + '\n';
                }
                back +=
                    "groups: " + test::readBytes(s.project + "/_xml/" + folders::groupsName(a)) +
                    '\n';
                QCOMPARE(back, QString::fromUtf8(test::golden(b, back.toUtf8())));
            } else if (verb == "quiz-size") {
                QCOMPARE(s.quiz(a).size(), b.toInt());
            } else {
                known = false;
            }
        },
        {{"@away", s.away.path()}, {"@project", s.project}});
}

QTEST_MAIN(QuestionInterchangeTest)
#include "tst_question_interchange.moc"
