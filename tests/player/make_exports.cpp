// Makes the CD exports the browser tests play: a program folder with the shipped
// Resources and the shipped sample project, whose two lessons are made into quiz files by
// MakeBook (answers as rich text with the correct-answer mark, an image answer, an
// attached picture, a question holding markup), exported twice: template 1 with music and
// printing and a minute's exam, template 2 without either and two questions an exam; and the
// shipped sample with no exam offered.
// The same project's questions as a GIFT file and SCORM packages (a SCO a lesson, and one
// for all), and a GIFT file of every special character with what it must read back as, go
// into <folder>/interchange for the tests of the exchange formats.
// Usage: make_exports <folder>; prints the export folders.
#include "app/context.h"
#include "exam/paper_draw.h"
#include "export/cd_export.h"
#include "export/output_folders.h"
#include "export/player_settings.h"
#include "export/question_export.h"
#include "export/scorm_package.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_source.h"
#include "platform/safe_save.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/project_settings.h"
#include "support/answers_rtf.h"
#include "support/documents.h"
#include "support/formula_pieces.h"
#include "support/golden.h"
#include "support/silent_prompts.h"
#include "support/test_program.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <random>

using namespace tavrin;

namespace {

QString snippet(const QString& program, const char* name) {
    return decodeAnsi(test::readBytes(program + "/Resources/" + QLatin1String(name)));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_exports <folder>\n");
        return 2;
    }
    const QString program = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir(program).removeRecursively();
    QDir().mkpath(program);
    test::copyShippedResources(program);
    SystemClock clock;
    test::SilentPrompts prompts;
    SystemRandom random(11);
    Context context(program, program + "/Vonk.log", clock, prompts, random);
    // The sample project the tool ships, its lessons made from the sample lesson texts.
    const QString project = program + "/Sample";
    QDir().mkpath(project);
    QFile::copy(test::sourceFile("dist/catalogue/Sample/Project.xml"), project + "/Project.xml");
    MakeDirs(context, project, "BookTXT", "_xml");
    const QString mark = snippet(program, "check.bin");

    // The lessons as tests/data/player/lessons.tsv files them.
    EntryTable table;
    BookRequest request;
    request.projectPath = project;
    request.fieldIndex = 0;
    request.lessonIndex = -1;
    request.creditElement = "<aBook0>Designed by: Orvanta</aBook0>";
    request.checkSnippet = mark;
    for (const QStringList& row : test::tableRows("player/lessons.tsv")) {
        const int n = row[0].toInt();
        const QString what = row.value(1);
        if (row[0] == "lesson") {
            request.lessonTitle = row[1];
            ++request.lessonIndex;
        } else if (row[0] == "made") {
            if (MakeBook(context, table, request) != BookOutcome::Made)
                return 1;
        } else if (what == "group" || what == "end") {
            table.SoalText[n] = what == "group" ? kMainTitleEntry : kEndTitleEntry;
            table.JavabRtf[n] = row[2];
        } else if (what == "question") {
            table.SoalText[n] = row[2];
            table.JavabRtf[n] =
                test::answersRtf(mark, row[3].split(u'|', Qt::SkipEmptyParts), row[4].toInt());
            table.TozihRtf[n] = row.value(5);
        } else if (what == "image") {
            table.ImagePaths[n] = program + '/' + row[2];
        } else if (what == "attach") {
            table.AttachPath[n] = program + '/' + row[2];
        }
    }

    const QString out = program + "/out";
    QDir().mkpath(out);
    const auto exportWith = [&](bool first, bool music, Qt::CheckState print) {
        SettingsChoice choice;
        choice.firstTemplate = first;
        choice.musicOn = music;
        choice.print = print;
        choice.music1 = program + "/Resources/MySound1.mp3";
        choice.music2 = program + "/Resources/MySound2.mp3";
        choice.back = program + "/Resources/MyBack.jpg";
        SaveThings(context, choice, project, "BookTXT");
        ExportRequest r;
        r.target = out;
        r.projectPath = project;
        r.printable = print == Qt::Checked;
        return ExportAll(context, r);
    };
    // The exam: a minute a lesson in the first, two questions an exam in the second.
    KeepSetting(context, project, "ExamMinutes", "1");
    const ExportResult one = exportWith(true, true, Qt::Checked);
    KeepSetting(context, project, "ExamMinutes", "0");
    KeepSetting(context, project, "ExamCount", "2");
    const ExportResult two = exportWith(false, false, Qt::Unchecked);
    // The sample as it ships, made lessons and all, exported as a newcomer's first export.
    const QString shipped = program + "/ShippedSample";
    QDir().mkpath(shipped + "/_xml");
    QDir().mkpath(shipped + "/BookTXT");
    for (const char* file : {"Project.xml", "_xml/BookTitle.xml", "_xml/quiz0-0.xml",
                             "_xml/quiz0-1.xml", "BookTXT/quiz0-0-0.png"})
        QFile::copy(test::sourceFile(QStringLiteral("dist/catalogue/Sample/") + file),
                    shipped + u'/' + QLatin1String(file));
    MakeDirs(context, shipped, "BookTXT", "_xml");
    SaveThings(context, SettingsChoice{}, shipped, "BookTXT");
    KeepSetting(context, shipped, "ExamOn", "0"); // no exam offered
    ExportRequest first;
    first.target = out;
    first.projectPath = shipped;
    const ExportResult three = ExportAll(context, first);
    if (one.outcome != ExportOutcome::Exported || two.outcome != ExportOutcome::Exported ||
        three.outcome != ExportOutcome::Exported)
        return 1;
    // The exchange formats, from the first project as the exports left it (a minute's exam
    // is off again: the exam shows every question).
    const QString travel = program + "/interchange";
    QDir().mkpath(travel);
    const TravelSet set = projectQuestions(context, project, {});
    test::writeBytes(travel + "/sample.gift", giftText(set));
    test::writeBytes(travel + "/sample.xml", moodleXml(set, true));
    KeepSetting(context, project, "ExamCount", "0");
    for (const bool perLesson : {true, false})
        makeScormPackage(
            context,
            {project, {}, perLesson, 60, travel + (perLesson ? "/lessons.zip" : "/all.zip")});
    // Questions whose every part holds what GIFT escapes (tests/data/platforms).
    TravelSet special;
    const QJsonArray questions =
        QJsonDocument::fromJson(
            test::readBytes(test::sourceFile("tests/data/platforms/special_questions.json")))
            .array();
    for (const QJsonValue& v : questions) {
        const QJsonObject o = v.toObject();
        TravelQuestion q;
        q.category = {QStringLiteral("a:b"), QStringLiteral("c")};
        q.title = o["title"].toString();
        q.text = o["text"].toString();
        for (const QJsonValue& a : o["answers"].toArray())
            q.answers.append(a.toString());
        q.correct = o["correct"].toInt();
        q.explanation = o["explanation"].toString();
        special.questions.append(q);
        special.categories.append(q.category);
    }
    test::writeBytes(travel + "/special.gift", giftText(special));
    // A project scored as Iranian exams are: the sample's two lessons in a first field and the
    // first again as a second field's lesson, one of its questions cancelled; a third off each
    // wrong answer, the first field of weight 2, a comprehensive exam drawing 2, 2 and 3 in
    // half an hour.
    // Exported into <folder>/scoring/out, and its questions as Moodle XML, GIFT and a SCORM
    // package into interchange.
    const QString scored = program + "/Scored";
    QDir().mkpath(scored + "/_xml");
    QDir().mkpath(scored + "/BookTXT");
    QString projectText = readUtf16File(shipped + "/Project.xml");
    projectText.replace("\t<Count Adad=\"1\">\r\n\t<Resh1 ", "\t<Count Adad=\"2\">\r\n\t<Resh1 ");
    projectText.replace("</Resh1 >\r\n",
                        "</Resh1 >\r\n\t<Resh2 Name=\"پایه هشتم\" "
                        "DateCreated=\"1405/9/15 10:04\">\r\n\t\t<Count Adad=\"1\">\r\n"
                        "\t<Dars1 Name=\"علوم دوباره\" "
                        "DateCreated=\"1405/9/15 10:05\">\r\n</Resh2 >\r\n");
    saveUtf16File(scored + "/Project.xml", projectText);
    for (const char* file :
         {"_xml/BookTitle.xml", "_xml/quiz0-0.xml", "_xml/quiz0-1.xml", "BookTXT/quiz0-0-0.png"})
        QFile::copy(shipped + u'/' + QLatin1String(file), scored + u'/' + QLatin1String(file));
    QFile::copy(shipped + "/BookTXT/quiz0-0-0.png", scored + "/BookTXT/quiz1-0-0.png");
    QString again = readUtf16File(shipped + "/_xml/quiz0-0.xml");
    again.replace("qNo='0-0'", "qNo='1-0'").replace("quiz0-0-", "quiz1-0-");
    const qsizetype firstMark = again.indexOf("</chk>\r\n");
    again.insert(firstMark + 8, "\t\t<cancel>1</cancel>\r\n");
    saveUtf16File(scored + "/_xml/quiz1-0.xml", again);
    MakeDirs(context, scored, "BookTXT", "_xml");
    SaveThings(context, SettingsChoice{}, scored, "BookTXT");
    for (const auto& [tag, value] :
         {std::pair{"Penalty", "1/3"}, std::pair{"FullExam", "1"},
          std::pair{"FullExamTitle", "آزمون جامع نوبت اول"},
          std::pair{"FullExamBudget", "0-0:2 0-1:2 1-0:3"}, std::pair{"FieldWeights", "0:2"},
          std::pair{"PassMark", "40"}, std::pair{"FullExamMinutes", "30"}})
        KeepSetting(context, scored, tag, QString::fromUtf8(value));
    // A project exported into <folder>/<out>/out, and its questions into interchange as
    // <name>.xml, .gift and .zip.
    const auto exportAndTravel = [&](const QString& project, const char* out, const char* name) {
        ExportRequest request;
        request.target = program + u'/' + QLatin1String(out) + "/out";
        request.projectPath = project;
        QDir().mkpath(request.target);
        if (ExportAll(context, request).outcome != ExportOutcome::Exported)
            return false;
        for (const auto& [format, ending] :
             {std::pair{QuestionFormat::Moodle, ".xml"}, std::pair{QuestionFormat::Gift, ".gift"},
              std::pair{QuestionFormat::Scorm, ".zip"}})
            writeQuestions(context, {project,
                                     {},
                                     format,
                                     travel + u'/' + QLatin1String(name) + QLatin1String(ending),
                                     false,
                                     40});
        return true;
    };
    if (!exportAndTravel(scored, "scoring", "scored"))
        return 1;
    // The paper exam's record of the same project for seed 5, shuffled answers and all: its
    // version 1 is what the player draws for ?seed=5.
    {
        const PaperExam paper = drawPaperExam(
            readQuestionBank(context, scored, QStringLiteral("Scored")), {}, 2, 5, true);
        saveWholeFile(program + "/scoring/paper-exam.json",
                      QJsonDocument(examRecord(paper, QStringLiteral("Scored"))).toJson());
    }
    // A lesson of formulas (tests/data/formulas/quiz0-0.txt) in place of the sample's first:
    // exported into <folder>/formulas/out, and as Moodle XML, GIFT and a SCORM package.
    const QString formulas = program + "/Formulas";
    QDir().mkpath(formulas + "/_xml");
    QDir().mkpath(formulas + "/BookTXT");
    for (const char* file :
         {"Project.xml", "_xml/BookTitle.xml", "_xml/quiz0-1.xml", "BookTXT/quiz0-0-0.png"})
        QFile::copy(shipped + u'/' + QLatin1String(file), formulas + u'/' + QLatin1String(file));
    saveUtf16File(
        formulas + "/_xml/quiz0-0.xml",
        QString::fromUtf8(test::readBytes(test::sourceFile("tests/data/formulas/quiz0-0.txt")))
            .replace(u'\n', QStringLiteral("\r\n")));
    MakeDirs(context, formulas, "BookTXT", "_xml");
    SaveThings(context, SettingsChoice{}, formulas, "BookTXT");
    if (!exportAndTravel(formulas, "formulas", "formulas"))
        return 1;
    // Random texts of the characters the two splitters could read differently, each with
    // the tool's pieces: the player must find the same.
    {
        const QString alphabet = QStringLiteral(u"$$$\\()[]x2۲٢ \u00a0\ufeff\u0085\u2009\n\r{}1و");
        std::mt19937 random(20261209);
        QJsonArray rows;
        for (int n = 0; n < 4000; ++n) {
            QString text;
            const int length = 1 + int(random() % 24);
            for (int k = 0; k < length; ++k)
                text += alphabet[qsizetype(random() % alphabet.size())];
            rows.append(QJsonArray{text, test::piecesText(text)});
        }
        saveWholeFile(program + "/formulas/random-pieces.json", QJsonDocument(rows).toJson());
    }
    std::printf("%s\n%s\n%s\n", qPrintable(one.folder), qPrintable(two.folder),
                qPrintable(three.folder));
    return 0;
}
