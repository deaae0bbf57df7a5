// Questions that travel: the sample project out as GIFT and Moodle XML and back into its
// lessons (the same entries), foreign files read with their other kinds listed, the Moodle
// XML's structure and pictures, and the command line's answers.
#include "commands/question_commands.h"
#include "export/disc_check.h"
#include "export/quiz_data.h"
#include "export/scorm_package.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "interchange/travel_questions.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "support/documents.h"
#include "support/kill_test.h"
#include "support/test_program.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

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
        for (const auto& [name, bytes] :
             test::filesUnder(test::sourceFile("dist/catalogue/Sample")).asKeyValueRange()) {
            QDir().mkpath(QFileInfo(project + u'/' + name).path());
            test::writeBytes(project + u'/' + name, bytes);
        }
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

const QString kSpecial = QStringLiteral("~ = # { } : :: \\");

} // namespace

class QuestionInterchangeTest : public QObject {
    Q_OBJECT
private slots:
    void sampleTravelsBothWays_data();
    void sampleTravelsBothWays();
    void foreignFiles_data();
    void foreignFiles();
    void moodleXmlIsWhatPlatformsRead();
    void giftEscapesEverySpecialCharacter();
    void unmarkedQuestionTravelsAsText();
    void manifestKeepsItsDigits();
    void packageIsForOthersToRead();
    void packagesTellThemselvesApart();
    void controlCharactersLeaveTheXml();
    void moreThanFourChoices();
    void labelsAndDirections();
    void giftPictureAnswers();
    void moodleLinkedFilesComeAlong();
    void arrowsKeepTheirQuestion();
    void onePictureNamedOftenIsWrittenOnce();
    void importOnAFullDiskLeavesNothing();
    void exportsKeepToTheProject();
    void verbsSettleAnInterruptedRenumbering();
    void killedPackagesLeaveNothingBehind();
    void commandLineAnswers_data();
    void commandLineAnswers();
};

void QuestionInterchangeTest::sampleTravelsBothWays_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("lesson");
    QTest::newRow("gift, the lesson with a group and a picture") << "gift" << 1;
    QTest::newRow("gift, the second lesson") << "gift" << 2;
    QTest::newRow("moodle, the lesson with a group and a picture") << "moodle" << 1;
    QTest::newRow("moodle, the second lesson") << "moodle" << 2;
}

// Each lesson out and back into its own place: every question's text, answers, mark and
// explanation the same (in the letters the file carries), the group lines the same, and for
// Moodle XML the pictures the same bytes under the same names.
void QuestionInterchangeTest::sampleTravelsBothWays() {
    QFETCH(QString, format);
    QFETCH(int, lesson);
    Sample s;
    const QString id = QStringLiteral("0-%1").arg(lesson - 1);
    // The first question gets an attachment and a background picture of its own.
    const QString quizPath = s.project + "/_xml/" + folders::quizName(id);
    QString quizText = decodeUtf16Le(test::readBytes(quizPath));
    const qsizetype firstEnd = quizText.indexOf("\t</question");
    quizText.insert(firstEnd, QStringLiteral("\t\t<attach>quiz%1-1.pdf</attach>\r\n\t\t<back>"
                                             "quiz%1-1.jpg</back>\r\n")
                                  .arg(id));
    test::writeBytes(quizPath, encodeUtf16Le(quizText));
    const QByteArray attach("%PDF-1.4 attached"), back("\xff\xd8\xff\xe0 back");
    test::writeBytes(s.project + "/BookTXT/quiz" + id + "-1.pdf", attach);
    test::writeBytes(s.project + "/BookTXT/quiz" + id + "-1.jpg", back);
    const QList<QuizQuestion> before = s.quiz(id);
    const QByteArray groupsBefore = test::readBytes(s.project + "/_xml/" + folders::groupsName(id));
    const QByteArray picture = test::readBytes(s.project + "/BookTXT/quiz0-0-0.png");
    const QString file = s.out("lesson." + format);
    QCOMPARE(s.run(true, {"--project", s.project, "--field", "1", "--lesson",
                          QString::number(lesson), "--format", format, "--out", file}),
             0);
    for (const QString& name : {QStringLiteral("0-0-0.png"), id + "-1.pdf", id + "-1.jpg"})
        QFile::remove(s.project + "/BookTXT/quiz" + name);
    QCOMPARE(s.run(false, {"--project", s.project, "--field", "1", "--lesson",
                           QString::number(lesson), "--format", format, "--replace", file}),
             0);
    const QList<QuizQuestion> after = s.quiz(id);
    QCOMPARE(after.size(), before.size());
    for (qsizetype n = 0; n < before.size(); ++n) {
        const QuizQuestion& b = before[n];
        const QuizQuestion& a = after[n];
        QCOMPARE(a.number, b.number);
        QCOMPARE(a.text, persianLetters(b.text));
        // GIFT carries no picture: its mark comes back as the words that name it.
        QStringList answers;
        for (QString answer : b.answers) {
            if (format == "gift")
                answer.replace(QRegularExpression("\\{(\\d+)\\}"),
                               test::u8("[تصویر: quiz0-0-\\1.png]"));
            answers.append(persianLetters(answer));
        }
        QCOMPARE(a.answers, answers);
        QCOMPARE(a.marked, b.marked);
        QCOMPARE(a.explanation, persianLetters(b.explanation));
        const QMap<int, QString> images = format == "moodle" ? b.images : QMap<int, QString>();
        QCOMPARE(a.images, images);
    }
    // Moodle XML carries the attachments: the made lesson names copies that are there.
    const QString bookTxt = s.project + "/BookTXT/";
    QCOMPARE(after.first().attach.isEmpty(), format == "gift");
    QCOMPARE(after.first().back.isEmpty(), format == "gift");
    if (format == "moodle") {
        QCOMPARE(test::readBytes(bookTxt + after.first().attach), attach);
        QCOMPARE(test::readBytes(bookTxt + after.first().back), back);
    }
    // The group titles come back in Persian letters, at the same places.
    QCOMPARE(test::readBytes(s.project + "/_xml/" + folders::groupsName(id)),
             QString::fromUtf8(groupsBefore)
                 .replace(QChar(0x064A), QChar(0x06CC))
                 .replace(QChar(0x0643), QChar(0x06A9))
                 .toUtf8());
    if (format == "moodle" && lesson == 1)
        QCOMPARE(test::readBytes(s.project + "/BookTXT/quiz0-0-0.png"), picture);
    // The import's own files went when the lesson was made.
    QCOMPARE(QDir(s.project + "/BookTXT").entryList({"*-import-*"}, QDir::Files), QStringList());
}

void QuestionInterchangeTest::foreignFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("format");
    // text|answer/answer|right|explanation per question; then the skipped titles.
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QList<QStringList>>("categories");
    // The questions the notes name (what of them did not come).
    QTest::addColumn<QStringList>("noted");
    QTest::newRow("gift: every kind")
        << QByteArray("// comment\n$CATEGORY: $course$/top/Science//Lab/Week 1\n\n"
                      "::mc::[html]<p>Which <b>gas</b>?</p>{\n=<b>N\\=2</b> #yes\n~O #no\n"
                      "####<p>most <i>air</i></p>\n}\n\n"
                      "::tf::The earth is round.{T}\n\n::tf2::Water is dry.{FALSE####it is wet}\n\n"
                      "::tff::Ice is hot.{F#no, cold#yes}\n\n"
                      "::essay::Explain.{}\n\n::short::Capital {=Tehran =tehran}\n\n"
                      "::match::Pair.{=a -> b\n=c -> d}\n\n::num::Pi?{#3.14:0.01}\n\n"
                      "::multi::Two right{~%50%a ~%50%b ~%-100%c}\n\n"
                      "::fill::The sky is {=blue ~red ~green} today.\n\n"
                      "Read this first.\n\n"
                      "::weighted::One right{~%100%yes ~no}\n\n"
                      "::partial::Mostly{=a ~%50%b ~c}\n\n::two::Both{=a =b ~c}\n\n"
                      "::frog::What hops?{=Frog =%50%Cat =%0%*}\n")
        << "gift"
        << QStringList{"Which gas?|N=2/O|1|most air",
                       "The earth is round.|درست/نادرست|1|",
                       "Water is dry.|درست/نادرست|2|it is wet",
                       "Ice is hot.|درست/نادرست|2|",
                       "The sky is _____ today.|blue/red/green|1|",
                       "Read this first.|||",
                       "One right|yes/no|1|",
                       "Mostly|a/b/c|1|"}
        << QStringList{"essay", "short", "match", "num", "multi", "two", "frog"}
        << QList<QStringList>{{"Science/Lab", "Week 1"}} << QStringList{"mc", "tff", "partial"};
    QTest::newRow("moodle: every kind")
        << QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
<question type="category"><category><text>$course$/top/A</text></category></question>
<question type="multichoice"><name><text>mc</text></name>
 <questiontext format="html"><text><![CDATA[<p>Pick &amp; <i>choose</i></p><p>line two</p>]]></text></questiontext>
 <generalfeedback format="html"><text><![CDATA[<p>because</p>]]></text></generalfeedback>
 <single>true</single>
 <answer fraction="0" format="html"><text><![CDATA[<p>one</p>]]></text></answer>
 <answer fraction="100" format="html"><text><![CDATA[<p>two <img src="@@PLUGINFILE@@/p%20q.png"></p>]]></text>
  <file name="p q.png" path="/" encoding="base64">iVBORw0KGgo=</file></answer>
</question>
<question type="category"><category><text>$course$/top/A/B</text></category></question>
<question type="truefalse"><name><text>tf</text></name>
 <questiontext format="moodle_auto_format"><text>Fire is cold.</text></questiontext>
 <answer fraction="0"><text>true</text><feedback><text>No.</text></feedback></answer><answer fraction="100"><text>false</text></answer>
</question>
<question type="shortanswer"><name><text>sa</text></name><questiontext><text>x</text></questiontext></question>
<question type="multichoice"><name><text>many</text></name><questiontext><text>y</text></questiontext>
 <single>false</single><answer fraction="50"><text>a</text></answer><answer fraction="50"><text>b</text></answer></question>
<question type="multichoice"><name><text>part</text></name><questiontext><text>w</text></questiontext>
 <single>true</single><answer fraction="100"><text>a</text></answer><answer fraction="33.3"><text>b</text></answer></question>
<question type="essay"><name><text>es</text></name><questiontext><text>z</text></questiontext></question>
<question type="description"><name><text>d</text></name><questiontext format="html"><text>Just read.</text></questiontext></question>
</quiz>)")
        << "moodle"
        << QStringList{"Pick & choose\r\nline two|one/two {0}|2|because",
                       "Fire is cold.|درست/نادرست|2|", "w|a/b|1|", "Just read.|||"}
        << QStringList{"sa", "many", "es"} << QList<QStringList>{{"A"}, {"A", "B"}}
        << QStringList{"tf", "part"};
}

void QuestionInterchangeTest::foreignFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, format);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, skipped);
    QFETCH(QList<QStringList>, categories);
    QFETCH(QStringList, noted);
    const TravelSet set = format == "gift" ? readGift(file) : readMoodleXml(file);
    QStringList got;
    for (const TravelQuestion& q : set.questions)
        got.append(QStringList{q.text, q.answers.join(u'/'),
                               q.correct ? QString::number(q.correct) : QString(), q.explanation}
                       .join(u'|'));
    QCOMPARE(got, questions);
    QStringList titles;
    for (const SkippedQuestion& s : set.skipped)
        titles.append(s.title);
    QCOMPARE(titles, skipped);
    QCOMPARE(set.categories, categories);
    QCOMPARE(set.notes.size(), noted.size());
    for (qsizetype n = 0; n < noted.size(); ++n)
        QVERIFY2(set.notes[n].contains(u'«' + noted[n] + u'»'), qPrintable(set.notes[n]));
    if (format == "moodle") {
        QCOMPARE(set.questions.first().pictures.value(0).name, QStringLiteral("p q.png"));
        QCOMPARE(set.questions.first().pictures.value(0).bytes, QByteArray("\x89PNG\r\n\x1a\n"));
        QCOMPARE(set.questions[1].category, (QStringList{"A", "B"}));
    }
}

// The structure a platform reads, parsed strictly: a category per lesson and group, a
// single-answer multichoice per question with fraction 100 on the marked answer only, RTL
// HTML in CDATA, shuffling as the project's exam setting, and each picture a base64 file
// that decodes to the picture's bytes and that the answer's HTML names.
void QuestionInterchangeTest::moodleXmlIsWhatPlatformsRead() {
    Sample s;
    for (const bool examOn : {true, false}) {
        QByteArray project = test::readBytes(s.project + "/Project.xml");
        const QString file = s.out("all.xml");
        if (!examOn) {
            QString text = decodeUtf16Le(project);
            text.replace("</Settings>", "\t<ExamOn>0</ExamOn>\r\n</Settings>");
            test::writeBytes(s.project + "/Project.xml", encodeUtf16Le(text));
        }
        QCOMPARE(
            s.run(true, {"--project", s.project, "--format", "moodle", "--out", file, "--force"}),
            0);
        const QByteArray bytes = test::readBytes(file);
        QVERIFY(!QString::fromUtf8(bytes).contains(QRegularExpression("[\u064A\u0643]")));
        QXmlStreamReader xml(bytes);
        QStringList categories;
        int questions = 0, pictures = 0;
        QString type, element, text;
        QList<double> fractions;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                element = xml.name().toString();
                if (element == "question") {
                    type = xml.attributes().value("type").toString();
                    QVERIFY2(type == "category" || type == "multichoice", qPrintable(type));
                    questions += type == "multichoice";
                    fractions.clear();
                } else if (element == "answer") {
                    fractions.append(xml.attributes().value("fraction").toDouble());
                } else if (element == "file") {
                    QCOMPARE(xml.attributes().value("encoding"), QStringLiteral("base64"));
                    const QString name = xml.attributes().value("name").toString();
                    QCOMPARE(QByteArray::fromBase64(xml.readElementText().toLatin1()),
                             test::readBytes(s.project + "/BookTXT/" + name));
                    QVERIFY(text.contains("@@PLUGINFILE@@/" + name));
                    ++pictures;
                }
            } else if (xml.isCDATA()) {
                text = xml.text().toString();
                QVERIFY2(text.startsWith("<p dir=\"rtl\""), qPrintable(text));
            } else if (xml.isCharacters() && !xml.isWhitespace()) {
                if (type == "category" && element == "text")
                    categories.append(xml.text().toString());
                if (element == "single")
                    QCOMPARE(xml.text(), QStringLiteral("true"));
                // The sample's answers carry their own labels ("الف)"): never shuffled.
                if (element == "shuffleanswers")
                    QCOMPARE(xml.text(), QStringLiteral("false"));
            } else if (xml.isEndElement() && xml.name() == QLatin1String("question") &&
                       type == "multichoice") {
                QCOMPARE(fractions.count(100.0), 1);
                QCOMPARE(fractions.count(0.0), fractions.size() - 1);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(questions, 8);
        QCOMPARE(pictures, 1);
        QCOMPARE(categories,
                 (QStringList{
                     QString::fromUtf8(
                         "$course$/top/پایه هفتم/علوم: حالت‌های ماده"),
                     QString::fromUtf8("$course$/top/پایه هفتم/علوم: حالت‌های "
                                       "ماده/حالت‌های ماده"),
                     QString::fromUtf8("$course$/top/پایه هفتم/جغرافیا: ایران")}));
        test::writeBytes(s.project + "/Project.xml", project);
    }
}

// A question made without a marked answer: its "2" is for the old player only. The tool's
// readers take it as unmarked: the player data carries no right answer, GIFT and Moodle XML
// carry it as a text with a comment saying why, and the check before the disc warns of it.
void QuestionInterchangeTest::unmarkedQuestionTravelsAsText() {
    Sample s;
    const QString quizPath = s.project + "/_xml/quiz0-0.xml";
    QString quiz = decodeUtf16Le(test::readBytes(quizPath));
    const QString chk = "\t\t<chk>2</chk>\r\n";
    QVERIFY(quiz.indexOf(chk) > 0);
    quiz.replace(quiz.indexOf(chk), chk.size(), chk + "\t\t<nochk>1</nochk>\r\n");
    test::writeBytes(quizPath, encodeUtf16Le(quiz));
    QCOMPARE(s.quiz("0-0").first().marked, 0);

    const QString gift = s.out("all.gift"), moodle = s.out("all.xml");
    QCOMPARE(s.run(true, {"--project", s.project, "--format", "gift", "--out", gift}), 0);
    QCOMPARE(s.run(true, {"--project", s.project, "--format", "moodle", "--out", moodle}), 0);
    const QString giftText = QString::fromUtf8(test::readBytes(gift));
    const qsizetype comment = giftText.indexOf(kUnmarkedComment);
    QVERIFY(comment > 0);
    const QString item = giftText.mid(comment).section("\n\n", 0, 0);
    QVERIFY2(!item.contains(u'{') && !item.contains(test::u8("آهن")), qPrintable(item));
    const TravelSet back = readGift(test::readBytes(gift));
    QVERIFY(back.questions.first().answers.isEmpty());
    const TravelSet moodleBack = readMoodleXml(test::readBytes(moodle));
    QVERIFY(moodleBack.questions.first().answers.isEmpty());
    QVERIFY(QString::fromUtf8(test::readBytes(moodle)).contains(kUnmarkedComment.chopped(1)));

    // The player data and the check before the disc, on a copy laid out as a CD's Data.
    const QString cd = s.p.path("cd");
    for (const auto& [name, bytes] : test::filesUnder(s.project).asKeyValueRange()) {
        QDir().mkpath(QFileInfo(cd + "/Data/" + name).path());
        test::writeBytes(cd + "/Data/" + name, bytes);
    }
    writeQuizData(s.p.context(), cd, s.project);
    const QString data = QString::fromUtf8(test::readBytes(cd + "/Data/quizdata.js"));
    QVERIFY(data.contains("\"correct\":0") && data.contains("\"unmarked\":true"));
    const DiscCheck check = checkExport(cd);
    const auto unmarked =
        std::find_if(check.findings.begin(), check.findings.end(), [](const Finding& f) {
            return f.text.contains(test::u8("پاسخ صحيح معين نشده"));
        });
    QVERIFY(unmarked != check.findings.end());
    QCOMPARE(unmarked->kind, Finding::Warning);
    QVERIFY(unmarked->about.endsWith(test::u8("سؤال 1")));
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

// A SCORM package unpacked on a platform, and a lesson made by an import, are read by others:
// every entry 0644 whatever the disk says, the files written under the umask's modes.
void QuestionInterchangeTest::packageIsForOthersToRead() {
    const mode_t before = ::umask(022);
    Sample s;
    const QString package = s.out("p.zip");
    QCOMPARE(s.run(true, {"--project", s.project, "--format", "scorm", "--out", package}), 0);
    QCOMPARE(QFileInfo(package).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ReadGroup | QFile::ReadOther |
                                                            QFile::ReadUser | QFile::WriteUser);
    QProcess zipinfo;
    zipinfo.start("zipinfo", {package});
    QVERIFY(zipinfo.waitForFinished(30000) && zipinfo.exitCode() == 0);
    const QStringList lines = QString::fromUtf8(zipinfo.readAllStandardOutput()).split('\n');
    const QStringList entries = lines.filter(QRegularExpression("^[-d][rwx-]{9} "));
    QVERIFY(entries.size() >= 9);
    for (const QString& line : entries)
        QVERIFY2(line.startsWith("-rw-r--r--"), qPrintable(line));
    // The lesson an import makes: its quiz file too.
    const QString gift = s.p.path("in.gift");
    test::writeBytes(gift, "::t::Q {=a ~b}\n");
    QCOMPARE(s.run(false, {"--project", s.project, "--field", "1", "--lesson", "1", "--format",
                           "gift", "--replace", gift}),
             0);
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(s.project + "/_xml/quiz0-0.xml").constData(), &st) == 0);
    QCOMPARE(st.st_mode & 0777, 0644u);
    ::umask(before);
}

// Each package a platform receives is its own: its identifier from its lessons, its shape and
// its time; the schemas its manifest names are inside it.
void QuestionInterchangeTest::packagesTellThemselvesApart() {
    Sample s;
    const auto identifier = [&](const QStringList& choice) {
        const QString package = s.out("p.zip");
        QFile::remove(package);
        if (s.run(true, QStringList{"--project", s.project, "--format", "scorm", "--out", package} +
                            choice) != 0)
            return QString();
        QProcess unzip;
        unzip.start("unzip", {"-p", package, "imsmanifest.xml"});
        unzip.waitForFinished(30000);
        const QString manifest = QString::fromUtf8(unzip.readAllStandardOutput());
        unzip.start("unzip", {"-Z1", package});
        unzip.waitForFinished(30000);
        const QStringList held = QString::fromUtf8(unzip.readAllStandardOutput()).split('\n');
        const QRegularExpression location(QStringLiteral("schemaLocation=\"([^\"]*)\""));
        const QStringList parts = location.match(manifest).captured(1).split(' ');
        for (qsizetype n = 1; n < parts.size(); n += 2)
            if (!held.contains(parts[n]))
                return QStringLiteral("missing ") + parts[n];
        return QRegularExpression(QStringLiteral("<manifest identifier=\"([^\"]+)\""))
            .match(manifest)
            .captured(1);
    };
    const QString all = identifier({});
    const QString lesson = identifier({"--field", "1", "--lesson", "1"});
    const QString one = identifier({"--one-sco"});
    s.p.clock.time = s.p.clock.time.addSecs(1);
    const QString later = identifier({});
    QVERIFY2(all.startsWith("tavrin-"), qPrintable(all));
    QCOMPARE(QSet<QString>({all, lesson, one, later}).size(), 4);
}

// An author's vertical tab or form feed, anywhere in a question, is left out of the XML (one
// such character made a platform refuse the whole file); a title's "--" parted in a comment.
void QuestionInterchangeTest::controlCharactersLeaveTheXml() {
    TravelSet set;
    TravelQuestion q;
    q.category = {QStringLiteral("a\vb")};
    q.title = QStringLiteral("t--\x0C");
    q.text = QStringLiteral("q\vtext");
    q.answers = {QStringLiteral("x\x01"), QStringLiteral("y")};
    q.correct = 1;
    q.explanation = QStringLiteral("why\x1F");
    TravelQuestion unmarked = q;
    unmarked.correct = 0;
    set.categories = {q.category};
    set.questions = {q, unmarked};
    const QByteArray xml = moodleXml(set, false);
    QXmlStreamReader strict(xml);
    while (!strict.atEnd())
        strict.readNext();
    QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));
    const TravelSet back = readMoodleXml(xml);
    QCOMPARE(back.questions.first().text, QStringLiteral("qtext"));
    QCOMPARE(back.questions.first().answers, (QStringList{"x", "y"}));
    QCOMPARE(back.questions.first().explanation, QStringLiteral("why"));
}

// Five or six choices: four come when the right one is among them, and the rest are named;
// a right fifth keeps the question out, said why, on the command line too.
void QuestionInterchangeTest::moreThanFourChoices() {
    Sample s;
    const QString gift = s.p.path("five.gift");
    test::writeBytes(gift, "::kept::Q1 {~a =b ~c ~d ~e ~f}\n\n::out::Q2 {~a ~b ~c ~d =e}\n");
    QString err;
    QCOMPARE(s.run(false,
                   {"--project", s.project, "--field", "1", "--lesson", "1", "--format", "gift",
                    "--replace", gift},
                   &err),
             0);
    const QList<QuizQuestion> made = s.quiz("0-0");
    QCOMPARE(made.size(), 1);
    QCOMPARE(made.first().answers, (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(made.first().marked, 2);
    QVERIFY2(err.contains(test::u8("«kept» چهار گزينه اول آمد؛ اين گزينه\u200Cها نيامد: e، f")),
             qPrintable(err));
    QVERIFY2(err.contains(test::u8("skipped: out (پاسخ درست پس از گزينه چهارم است")),
             qPrintable(err));
}

// A picture answer in GIFT is words a student reads; a question of picture answers only stays
// out, with a comment saying why.
void QuestionInterchangeTest::giftPictureAnswers() {
    TravelSet set;
    TravelQuestion q;
    q.title = "p";
    q.text = "which?";
    q.answers = {"{0}", "b {1}"};
    q.correct = 2;
    q.pictures = {{0, TravelFile{"a.png", "x"}}, {1, TravelFile{"b.png", "y"}}};
    TravelQuestion all = q;
    all.title = "all";
    all.answers = {"{0}", "{1}"};
    set.questions = {q, all};
    const QString text = QString::fromUtf8(giftText(set));
    const TravelSet back = readGift(text.toUtf8());
    QCOMPARE(back.questions.size(), 1);
    QCOMPARE(back.questions[0].answers,
             (QStringList{test::u8("[تصویر: a.png]"), test::u8("b [تصویر: b.png]")}));
    QVERIFY(text.contains(
        test::u8("// «all»: همه گزینه‌های این سؤال تصویرند")));
    QVERIFY(!text.contains("::all::"));
}

// Files a Moodle question links or carries in the older way come into the lesson's places
// (a linked sound is the question's sound, a legacy picture its picture); what finds no place
// is named in the notes, and a link to the web stays text.
void QuestionInterchangeTest::moodleLinkedFilesComeAlong() {
    const QByteArray file = R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
<question type="multichoice"><name><text>linked</text></name>
 <questiontext format="html"><text><![CDATA[<p>Listen <a href="@@PLUGINFILE@@/song.mp3">here</a></p>
 <p><a href="@@PLUGINFILE@@/clip%20one.mp4">film</a> <a href="@@PLUGINFILE@@/notes.pdf">notes</a>
 <a href="https://example.org/">site</a></p>]]></text>
  <file name="song.mp3" path="/" encoding="base64">SUQz</file>
  <file name="clip one.mp4" path="/" encoding="base64">AAAA</file>
  <file name="notes.pdf" path="/" encoding="base64">JVBERg==</file>
  <file name="extra.wav" path="/" encoding="base64">UklGRg==</file></questiontext>
 <answer fraction="100"><text>a</text></answer><answer fraction="0"><text>b</text></answer>
</question>
<question type="multichoice"><name><text>legacy</text></name>
 <questiontext format="html"><text>Look.</text></questiontext>
 <image>images/old.png</image><image_base64>iVBORw0KGgo=</image_base64>
 <answer fraction="100"><text>a</text></answer><answer fraction="0"><text>b</text></answer>
</question>
<question type="multichoice"><name><text>two sounds</text></name>
 <questiontext format="html"><text><![CDATA[<a href="@@PLUGINFILE@@/a.mp3">1</a><a href="@@PLUGINFILE@@/b.ogg">2</a><img src="@@PLUGINFILE@@/p.png"><img src="@@PLUGINFILE@@/q.png">]]></text>
  <file name="a.mp3" encoding="base64">SUQz</file><file name="b.ogg" encoding="base64">T2dnUw==</file>
  <file name="p.png" encoding="base64">iVBO</file><file name="q.png" encoding="base64">iVBO</file></questiontext>
 <image>r.png</image><image_base64>iVBORw==</image_base64>
 <answer fraction="100"><text>a</text></answer><answer fraction="0"><text>b</text></answer>
</question>
</quiz>)";
    const TravelSet set = readMoodleXml(file);
    QCOMPARE(set.questions.size(), 3);
    const TravelQuestion& linked = set.questions[0];
    QCOMPARE(linked.text, QStringLiteral("Listen\r\nsite"));
    QCOMPARE(linked.sound.name, QStringLiteral("song.mp3"));
    QCOMPARE(linked.sound.bytes, QByteArray("ID3"));
    QCOMPARE(linked.film.name, QStringLiteral("clip one.mp4"));
    QCOMPARE(linked.attach.name, QStringLiteral("notes.pdf"));
    QCOMPARE(linked.attach.bytes, QByteArray("%PDF"));
    const TravelQuestion& legacy = set.questions[1];
    QCOMPARE(legacy.attach.name, QStringLiteral("old.png"));
    QCOMPARE(legacy.attach.bytes, QByteArray("\x89PNG\r\n\x1a\n"));
    const TravelQuestion& two = set.questions[2];
    QCOMPARE(two.sound.name, QStringLiteral("a.mp3"));
    QCOMPARE(two.attach.name, QStringLiteral("p.png"));
    QCOMPARE(set.notes, (QStringList{test::u8("پرونده «extra.wav» از «linked» آورده نشد."),
                                     test::u8("پرونده «b.ogg» از «two sounds» آورده نشد."),
                                     test::u8("تصوير «q.png» از «two sounds» آورده نشد."),
                                     test::u8("تصوير «r.png» از «two sounds» آورده نشد.")}));
}

// Answers with their own labels keep their order on the platform; unlabelled ones follow the
// exam's shuffling. Each text reads in the direction of its first strong letter.
void QuestionInterchangeTest::labelsAndDirections() {
    for (const bool labelled : {false, true}) {
        TravelSet set;
        TravelQuestion q;
        q.title = "t";
        q.text = test::u8("كدام؟");
        q.answers = labelled ? QStringList{test::u8("الف) يك"), test::u8("ب) دو")}
                             : QStringList{"Newton", test::u8("دو")};
        q.correct = 1;
        set.questions = {q};
        const QString xml = QString::fromUtf8(moodleXml(set, true));
        QVERIFY(xml.contains(labelled ? "<shuffleanswers>false</shuffleanswers>"
                                      : "<shuffleanswers>true</shuffleanswers>"));
        QVERIFY(xml.contains("<answernumbering>none</answernumbering>"));
        QCOMPARE(xml.contains("<p dir=\"ltr\" style=\"white-space:pre-wrap\">Newton"), !labelled);
        QVERIFY(xml.contains(QStringLiteral("<p dir=\"rtl\" style=\"white-space:pre-wrap\">") +
                             test::u8("کدام؟")));
        // GIFT cannot say "no numbering": the platform's a/b/c replace the answers' own.
        const QString gift = QString::fromUtf8(giftText(set));
        QCOMPARE(gift.contains(test::u8("::t::کدام؟{\n=یک\n~دو\n")), labelled);
        QCOMPARE(gift.contains(test::u8("// «t»: برچسب گزینه‌ها برداشته شد؛ سکو خود "
                                        "آنها "
                                        "را "
                                        "با "
                                        "حرف می‌نویسد: «الف)»، «ب)»\n")),
                 labelled);
        // The tool reads its own labels back; the platform shows its letters alone.
        QCOMPARE(readGift(gift.toUtf8()).questions.value(0).answers,
                 (labelled ? QStringList{test::u8("الف) یک"), test::u8("ب) دو")}
                           : QStringList{"Newton", test::u8("دو")}));
    }
    // Numbers are not labels, and a text that merely starts with a letter keeps it.
    const QStringList kept = {"3.14", test::u8("۲.۷"), "a-b", "B 12", test::u8("بله")};
    for (const QString& answer : kept)
        QVERIFY2(answerLabel(answer).isEmpty(), qPrintable(answer));
    QCOMPARE(answerLabel(test::u8("ج - سه")), test::u8("ج - "));
    QCOMPARE(answerLabel("2) two"), QStringLiteral("2) "));
}

// Every special character of GIFT, in every part of a question, reads back as it was.
void QuestionInterchangeTest::giftEscapesEverySpecialCharacter() {
    TravelSet set;
    TravelQuestion q;
    q.category = {"a/b:c", "d"};
    q.title = "t " + kSpecial;
    q.text = "q " + kSpecial + " {7}";
    q.answers = {"=" + kSpecial, "~x#", "y"};
    q.correct = 3;
    q.explanation = "####" + kSpecial;
    set.categories = {q.category};
    set.questions = {q};
    const TravelSet back = readGift(giftText(set));
    QCOMPARE(back.questions.size(), 1);
    QCOMPARE(back.questions[0].title, q.title);
    QCOMPARE(back.questions[0].text, q.text);
    QCOMPARE(back.questions[0].answers, q.answers);
    QCOMPARE(back.questions[0].correct, 3);
    QCOMPARE(back.questions[0].explanation, q.explanation);
    QCOMPARE(back.categories, QList<QStringList>{q.category});
}

// "->" in an answer is what makes a platform read a matching question: the question goes as
// HTML, where the arrow is an entity, and comes back whole.
void QuestionInterchangeTest::arrowsKeepTheirQuestion() {
    TravelSet set;
    TravelQuestion q;
    q.title = "r";
    q.text = "Which <one> & why?";
    q.answers = {"2H2 + O2 -> 2H2O", "H2O -> H2 + O"};
    q.correct = 1;
    q.explanation = "a -> b";
    set.questions = {q};
    const QByteArray gift = giftText(set);
    QVERIFY(gift.contains("::r::[html]"));
    QVERIFY(gift.contains("2H2 + O2 -&gt; 2H2O"));
    QVERIFY(!gift.contains("->"));
    const TravelSet back = readGift(gift);
    QCOMPARE(back.skipped.size(), 0);
    QCOMPARE(back.questions.size(), 1);
    QCOMPARE(back.questions[0].text, q.text);
    QCOMPARE(back.questions[0].answers, q.answers);
    QCOMPARE(back.questions[0].explanation, q.explanation);
}

// The same picture in every question of a file is one file in BookTXT, and a lesson imported
// again with --replace leaves no copy of the old one behind.
void QuestionInterchangeTest::onePictureNamedOftenIsWrittenOnce() {
    Sample s;
    QByteArray xml = "<quiz>";
    for (int n = 0; n < 60; ++n)
        xml += "<question type=\"multichoice\"><name><text>q" + QByteArray::number(n) +
               "</text></name><questiontext format=\"html\"><text><![CDATA[<p>Look <img "
               "src=\"@@PLUGINFILE@@/p.png\"></p>]]></text><file name=\"p.png\" "
               "encoding=\"base64\">iVBORw0KGgo=</file></questiontext><answer fraction=\"100\">"
               "<text>a</text></answer><answer fraction=\"0\"><text>b</text></answer></question>";
    xml += "</quiz>";
    test::writeBytes(s.out("pictures.xml"), xml);
    const auto pages = [&] {
        return QDir(s.project + "/BookTXT").entryList(QDir::Files | QDir::Hidden);
    };
    const QStringList before = pages();
    const QStringList import{
        "--project", s.project,  "--field", "1",         "--lesson",
        "2",         "--format", "moodle",  "--replace", s.out("pictures.xml")};
    QCOMPARE(s.run(false, import), 0);
    const QStringList once = pages();
    QCOMPARE(once.size(), before.size() + 1);
    QCOMPARE(s.quiz("0-1").size(), 60);
    for (int again = 0; again < 3; ++again)
        QCOMPARE(s.run(false, import), 0);
    // The new copy has a name of its own; the old ones are gone.
    QCOMPARE(pages().size(), once.size());
    QCOMPARE(s.quiz("0-1").size(), 60);
}

// A disk that fills during an import (here: a file may grow no more, as for root too) leaves
// the lesson and BookTXT as they were, and the command says so.
void QuestionInterchangeTest::importOnAFullDiskLeavesNothing() {
    Sample s;
    QByteArray xml = "<quiz>";
    for (int n = 0; n < 6; ++n)
        xml += "<question type=\"multichoice\"><name><text>q" + QByteArray::number(n) +
               "</text></name><questiontext format=\"html\"><text><![CDATA[<p>Look <img "
               "src=\"@@PLUGINFILE@@/p.png\"></p>]]></text><file name=\"p.png\" "
               "encoding=\"base64\">" +
               QByteArray(n < 4 ? 8 : 4000, char('A' + n)).toBase64() +
               "</file></questiontext><answer fraction=\"100\"><text>a</text></answer><answer "
               "fraction=\"0\"><text>b</text></answer></question>";
    xml += "</quiz>";
    test::writeBytes(s.out("big.xml"), xml);
    const QMap<QString, QByteArray> before = test::filesUnder(s.project);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit full{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &full);
        _exit(s.run(false, {"--project", s.project, "--field", "1", "--lesson", "2", "--format",
                            "moodle", "--replace", s.out("big.xml")}));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 2);
    QCOMPARE(test::filesUnder(s.project), before);
}

// Every reader of the project's files keeps to the project, as the CD export does: a copy in
// BookTXT that is a link to a file outside stops the Moodle and SCORM exports; GIFT, which
// carries no file, reads none and so is not stopped by one that is missing.
void QuestionInterchangeTest::exportsKeepToTheProject() {
    Sample s;
    const QString picture = s.project + "/BookTXT/quiz0-0-0.png";
    QVERIFY(QFile::remove(picture));
    QString err;
    QCOMPARE(
        s.run(true, {"--project", s.project, "--format", "gift", "--out", s.out("a.gift")}, &err),
        0);
    test::writeBytes(s.out("secret.png"), "outside the project");
    QVERIFY(QFile::link(s.out("secret.png"), picture));
    for (const QString format : {"moodle", "scorm"}) {
        const QString out = s.out("b." + format);
        QCOMPARE(s.run(true, {"--project", s.project, "--format", format, "--out", out}, &err), 2);
        QVERIFY2(err.contains("Leaves the project folder") &&
                     err.contains(
                         test::u8("مسیر به بیرون از شاخه خود می‌رود")),
                 qPrintable(err));
        QVERIFY(!QFileInfo::exists(out));
    }
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
        for (auto it = before.begin(); it != before.end(); ++it) {
            QDir().mkpath(QFileInfo(s.project + "/" + it.key()).path());
            test::writeBytes(s.project + "/" + it.key(), it.value());
        }
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

// What killed packages left beside the package is removed by the next one, logged.
void QuestionInterchangeTest::killedPackagesLeaveNothingBehind() {
    Sample s;
    const QString package = s.out("p.zip");
    test::writeBytes(package + ".partial", "cut");
    test::writeBytes(package + ".partial.Ab12Cd", "cut");
    test::writeBytes(s.out("other.zip.partial.Ab12Cd"), "another's");
    QCOMPARE(s.run(true, {"--project", s.project, "--format", "scorm", "--out", package}), 0);
    QVERIFY(!QFileInfo::exists(package + ".partial"));
    QVERIFY(!QFileInfo::exists(package + ".partial.Ab12Cd"));
    QVERIFY(QFileInfo::exists(s.out("other.zip.partial.Ab12Cd")));
    QVERIFY(s.p.entries().join('\n').contains("A killed package's working file removed: " +
                                              QDir::toNativeSeparators(package + ".partial")));
}

void QuestionInterchangeTest::commandLineAnswers_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    const QString project = "@project";
    QTest::newRow("export gift") << true << QStringList{"--project", project, "--format",
                                                        "gift",      "--out", "@out"}
                                 << 0 << "";
    QTest::newRow("export a field as scorm")
        << true
        << QStringList{"--project", project, "--field", "1", "--format", "scorm", "--out", "@out"}
        << 0 << "";
    QTest::newRow("unknown format")
        << true << QStringList{"--project", project, "--format", "qti", "--out", "@out"} << 1
        << "--format";
    QTest::newRow("lesson without field")
        << true
        << QStringList{"--project", project, "--lesson", "1", "--format", "gift", "--out", "@out"}
        << 1 << "--field";
    QTest::newRow("no such field")
        << true
        << QStringList{"--project", project, "--field", "9", "--format", "gift", "--out", "@out"}
        << 1 << "no such field";
    QTest::newRow("field zero") << true << QStringList{"--project", project, "--field", "0",
                                                       "--format",  "gift",  "--out",   "@out"}
                                << 1 << "from 1";
    QTest::newRow("no project file")
        << true << QStringList{"--project", "@missing", "--format", "gift", "--out", "@out"} << 2
        << "No project file";
    QTest::newRow("out where nothing can be written")
        << true << QStringList{"--project", project, "--format", "moodle", "--out", "/proc/x/y.xml"}
        << 2 << "";
    QTest::newRow("import over a made lesson")
        << false << QStringList{"--project", project,    "--field", "1",    "--lesson",
                                "1",         "--format", "gift",    "@file"}
        << 1 << "--replace";
    QTest::newRow("import into no such lesson")
        << false << QStringList{"--project", project,    "--field", "1",    "--lesson",
                                "5",         "--format", "gift",    "@file"}
        << 1 << "no lesson 5";
    QTest::newRow("import a missing file")
        << false << QStringList{"--project", project,    "--field", "1",         "--lesson",
                                "2",         "--format", "gift",    "--replace", "@missing"}
        << 2 << "File not found";
    QTest::newRow("import what is not GIFT")
        << false << QStringList{"--project", project,    "--field", "1",         "--lesson",
                                "2",         "--format", "gift",    "--replace", "@binary"}
        << 1 << "UTF-8";
    QTest::newRow("import what is not Moodle XML")
        << false << QStringList{"--project", project,    "--field", "1",         "--lesson",
                                "2",         "--format", "moodle",  "--replace", "@file"}
        << 1 << "<quiz>";
    QTest::newRow("import with nothing to hold")
        << false << QStringList{"--project", project,    "--field", "1",         "--lesson",
                                "2",         "--format", "gift",    "--replace", "@essay"}
        << 1 << "skipped: e";
    QTest::newRow("import with --replace")
        << false << QStringList{"--project", project,    "--field", "1",         "--lesson",
                                "2",         "--format", "gift",    "--replace", "@file"}
        << 0 << "";
    // Outputs that would replace what is not the author's to replace.
    const auto out = [&](const QString& where) {
        return QStringList{"--project", project, "--format", "gift", "--out", where};
    };
    QTest::newRow("out onto the project's own quiz file")
        << true << out("@project/_xml/quiz0-0.xml") << 1 << "inside the project's folder";
    QTest::newRow("out inside the program folder")
        << true << out("@program/q.gift") << 1 << "inside the program's folder";
    QTest::newRow("out through a link") << true << out("@link") << 1 << "symbolic link";
    QTest::newRow("out onto a folder") << true << out("@away") << 1 << "is a folder";
    QTest::newRow("out onto a file") << true << out("@existing") << 1 << "--force";
    QTest::newRow("out onto a file with --force")
        << true << out("@existing") + QStringList{"--force"} << 0 << "";
    // Inputs that are not files, each said with its cause, in Persian too.
    const auto import = [&](const QString& file) {
        return QStringList{"--project", project,    "--field", "1",         "--lesson",
                           "2",         "--format", "gift",    "--replace", file};
    };
    QTest::newRow("import a folder")
        << false << import("@away") << 2
        << test::u8("Is a folder: @away\nعلت: این یک شاخه است، نه فایل («@away»)");
    QTest::newRow("import a pipe") << false << import("@fifo") << 2 << "Not a regular file";
    QTest::newRow("import an endless device")
        << false << import("/dev/zero") << 2 << "Not a regular file";
}

// Exit 0 on success, 1 on bad input with the reason, 2 when a file cannot be read or
// written; a refused import leaves the lesson's files as they were.
void QuestionInterchangeTest::commandLineAnswers() {
    QFETCH(bool, exporting);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, says);
    Sample s;
    test::writeBytes(s.p.path("in.gift"), "::q::Which?{=a ~b}\n");
    test::writeBytes(s.p.path("essay.gift"), "::e::Explain.{}\n");
    test::writeBytes(s.p.path("binary.gift"), QByteArray("\xff\xfe\x00\x01", 4));
    QMap<QString, QString> paths{{"@project", s.project},
                                 {"@out", s.out("out.file")},
                                 {"@missing", s.p.path("none")},
                                 {"@file", s.p.path("in.gift")},
                                 {"@essay", s.p.path("essay.gift")},
                                 {"@binary", s.p.path("binary.gift")}};
    QDir().mkpath(s.out("away"));
    test::writeBytes(s.out("existing.gift"), "old");
    QFile::link(s.out("target.gift"), s.out("link.gift"));
    test::writeBytes(s.out("target.gift"), "outside");
    QVERIFY(::mkfifo(QFile::encodeName(s.out("fifo")).constData(), 0600) == 0);
    paths.insert("@program", s.p.folder());
    paths.insert("@link", s.out("link.gift"));
    paths.insert("@away", s.out("away"));
    paths.insert("@existing", s.out("existing.gift"));
    paths.insert("@fifo", s.out("fifo"));
    for (QString& a : arguments) {
        for (auto p = paths.begin(); p != paths.end(); ++p)
            if (a.startsWith(p.key()))
                a = p.value() + a.mid(p.key().size());
    }
    says.replace("@away", s.out("away"));
    const QMap<QString, QByteArray> before = test::filesUnder(s.project);
    QString err;
    QCOMPARE(s.run(exporting, arguments, &err), code);
    QVERIFY2(err.contains(says), qPrintable(err));
    if (exporting && code == 0)
        QVERIFY(QFileInfo(arguments[arguments.indexOf("--out") + 1]).size() > 10);
    if (code != 0) {
        QCOMPARE(test::filesUnder(s.project), before);
        QCOMPARE(test::readBytes(s.out("target.gift")), QByteArray("outside"));
        QCOMPARE(test::readBytes(s.out("existing.gift")), QByteArray("old"));
    }
    if (!exporting && code == 0)
        QCOMPARE(s.quiz("0-1").size(), 1);
}

QTEST_MAIN(QuestionInterchangeTest)
#include "tst_question_interchange.moc"
