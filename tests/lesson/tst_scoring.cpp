// Exams scored by the published rules: the table of tests/data/scoring/cases.tsv through the
// engine and through the "score" verb over a project made for each row (the player's exam in
// Chromium runs the same rows); the penalty's forms; answer sheets that do not read.
#include "commands/score_command.h"
#include "exam/scoring.h"
#include "exam/scoring_settings.h"
#include "exam/seeded_draw.h"
#include "exam/sheet_scoring.h"
#include "platform/text_file.h"
#include "store/quiz_file.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace tavrin;
using namespace tavrin::test;

namespace {

struct Asked {
    Given given;
    bool cancelled;
};

// "R10W2|b1": a field a group, a letter a question (with a count after it).
QList<QList<Asked>> answersOf(const QString& text) {
    QList<QList<Asked>> fields;
    for (const QString& group : text.split(u'|')) {
        QList<Asked> field;
        for (qsizetype i = 0; i < group.size();) {
            const QChar letter = group[i++];
            qsizetype j = i;
            while (j < group.size() && group[j].isDigit())
                ++j;
            const int count = j > i ? group.mid(i, j - i).toInt() : 1;
            i = j;
            const QChar upper = letter.toUpper();
            const Given g = upper == u'R'   ? Given::Right
                            : upper == u'W' ? Given::Wrong
                                            : Given::Blank;
            for (int n = 0; n < count; ++n)
                field.append({g, letter.isLower()});
        }
        fields.append(field);
    }
    return fields;
}

QString tallyText(const FieldTally& t, qint64 hundredths) {
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(t.questions)
        .arg(t.right)
        .arg(t.wrong)
        .arg(t.blank)
        .arg(hundredthsText(hundredths));
}

QList<int> weightsOf(const QString& text, int fields) {
    QList<int> weights;
    for (const QString& w : text.split(u','))
        weights.append(w.toInt());
    while (weights.size() < fields)
        weights.append(1);
    return weights;
}

// A project of one lesson a field (its title in the Arabic yeh a 1256 keyboard gives), its
// questions with four answers, the first right; the penalty and the weights in its settings.
void makeProject(const QString& folder, const QList<QList<Asked>>& fields, const QString& penalty,
                 const QList<int>& weights, const QString& passMark = {}) {
    QDir().mkpath(folder + "/_xml");
    const QString crlf = "\r\n";
    QString reshteh =
        "<Reshteh>" + crlf + QStringLiteral("\t<Count Adad=\"%1\">").arg(fields.size()) + crlf;
    QStringList weightItems;
    for (int f = 0; f < fields.size(); ++f) {
        reshteh += QStringLiteral("\t<Resh%1 Name=\"درسي %1\" DateCreated=\"1405/9/15 10:00\">")
                       .arg(f + 1) +
                   crlf + "\t\t<Count Adad=\"1\">" + crlf +
                   "\t<Dars1 Name=\"فصل\" DateCreated=\"1405/9/15 10:00\">" + crlf +
                   QStringLiteral("</Resh%1 >").arg(f + 1) + crlf;
        if (weights[f] != 1)
            weightItems.append(QStringLiteral("%1:%2").arg(f).arg(weights[f]));
        const QString id = QStringLiteral("%1-0").arg(f);
        QString quiz = quizHeadLine(id, "فصل");
        for (int q = 0; q < fields[f].size(); ++q)
            quiz += quizBlock(q, QStringLiteral("سؤال %1").arg(q + 1), {"a", "b", "c", "d"}, 1,
                              QString(), {}, fields[f][q].cancelled);
        saveUtf16File(folder + "/_xml/quiz" + id + ".xml", quiz);
    }
    reshteh += "</Reshteh>" + crlf;
    QString settings = "<Settings>" + crlf + "\t<Music>1</Music>" + crlf;
    if (!penalty.isEmpty())
        settings += "\t<Penalty>" + penalty + "</Penalty>" + crlf;
    if (!passMark.isEmpty())
        settings += "\t<PassMark>" + passMark + "</PassMark>" + crlf;
    settings += "\t<FieldWeights>" + weightItems.join(u' ') + "</FieldWeights>" + crlf +
                "</Settings>" + crlf;
    saveUtf16File(folder + "/Project.xml",
                  "<XML:? Project: Tavrin CD Maker/>" + crlf + "<Project>" + crlf +
                      "\t<Proj Name=\"P\" DateCreated=\"1405/9/15 10:00\">" + crlf + "</Project>" +
                      crlf + reshteh + settings);
}

struct Run {
    int code = -1;
    QString out, err;
};

Run score(TestProgram& p, const QStringList& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Run run;
    run.code = scoreCommand(p.context(), arguments, out, err);
    for (auto [file, text] : {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
        std::rewind(file);
        QByteArray bytes;
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, file))
            bytes.append(buffer, qsizetype(n));
        *text = QString::fromUtf8(bytes);
        std::fclose(file);
    }
    return run;
}

} // namespace

class ScoringTest : public QObject {
    Q_OBJECT
private slots:
    void cases_data() {
        tableData("scoring/cases.tsv",
                  {"penalty", "weights", "answers", "fields", "overall", "pass"});
    }

    void cases() {
        QFETCH(QString, penalty);
        QFETCH(QString, weights);
        QFETCH(QString, answers);
        QFETCH(QString, fields);
        QFETCH(QString, overall);
        QFETCH(QString, pass);
        const QList<QList<Asked>> asked = answersOf(answers);
        const QList<int> weight = weightsOf(weights, int(asked.size()));
        const auto rule = parsePenalty(penalty);
        QVERIFY(rule);

        // The engine.
        QStringList got;
        QList<WeightedField> weighted;
        for (int f = 0; f < asked.size(); ++f) {
            FieldTally t;
            for (const Asked& a : asked[f])
                t.add(a.given, a.cancelled);
            const qint64 h = rawHundredths(t, *rule);
            got.append(tallyText(t, h));
            weighted.append({weight[f], t});
        }
        QCOMPARE(got.join(u';'), fields);
        QCOMPARE(hundredthsText(overallHundredths(weighted, *rule)), overall);

        // The command line, over a project made for the row: a third from the project's own
        // settings, any other penalty given on the line (over a project's quarter).
        TestProgram p;
        QTemporaryDir desk; // the teacher's files, outside the program folder
        const QString project = p.path("project");
        const bool fromProject = penalty == QLatin1String("1/3");
        makeProject(project, asked, fromProject ? penalty : QStringLiteral("1/4"), weight,
                    pass.section(u' ', 0, 0));
        QStringList header{"name"}, row{"دانش‌آموز, یک"};
        for (int f = 0; f < asked.size(); ++f) {
            for (int q = 0; q < asked[f].size(); ++q) {
                header.append(QStringLiteral("%1-1-%2").arg(f + 1).arg(q + 1));
                const Given g = asked[f][q].given;
                row.append(g == Given::Right   ? "1"
                           : g == Given::Wrong ? QString::number(2 + q % 3)
                                               : "");
            }
        }
        writeBytes(desk.filePath("answers.csv"), (csvRow(header) + csvRow(row)).toUtf8());
        QStringList arguments{"--project", project,
                              "--answers", desk.filePath("answers.csv"),
                              "--out",     desk.filePath("result.csv")};
        if (!fromProject)
            arguments << "--penalty" << penalty;
        const Run run = score(p, arguments);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QStringList expected{"name,field,questions,right,wrong,blank,percent,passed"};
        QStringList totals{"0", "0", "0", "0"};
        const QStringList fieldRows = fields.split(u';');
        for (int f = 0; f < fieldRows.size(); ++f) {
            const QStringList cells = fieldRows[f].split(u' ');
            expected.append(QStringLiteral("\"دانش‌آموز, یک\",درسی %1,")
                                .arg(QChar(0x06F1 + f)) +
                            cells.join(u',') + u',');
            for (int c = 0; c < 4; ++c)
                totals[c] = QString::number(totals[c].toInt() + cells[c].toInt());
        }
        expected.append("\"دانش‌آموز, یک\",overall," + totals.join(u',') + u',' +
                        overall + u',' + pass.section(u' ', 1));
        // A byte order mark first, which the reading drops.
        QVERIFY(readBytes(desk.filePath("result.csv")).startsWith("\xEF\xBB\xBFname,"));
        QCOMPARE(QString::fromUtf8(readBytes(desk.filePath("result.csv"))),
                 expected.join("\r\n") + "\r\n");
        QVERIFY(run.out.contains(
            QStringLiteral("1 students scored, penalty %1").arg(penaltyText(*rule))));
    }

    // The penalty as the author or the command line gives it, and as the platforms write it.
    void penaltyForms_data() { tableData("scoring/penalties.tsv", {"given", "read", "platform"}); }
    void penaltyForms() {
        QFETCH(QString, given);
        QFETCH(QString, read);
        QFETCH(QString, platform);
        const auto penalty = parsePenalty(given);
        QCOMPARE(penalty ? penaltyText(*penalty) : QString(), read);
        if (penalty) {
            const PlatformFraction f = platformFraction(*penalty);
            QCOMPARE(f.text + (f.exact ? "" : "~"), platform);
        }
    }

    // The seeded draw follows the table the player's twin follows too (scoring.test.mjs).
    void drawsFollowTheTable_data() { tableData("exam/draws.tsv", {"seed", "questions", "order"}); }
    void drawsFollowTheTable() {
        QFETCH(QString, seed);
        QFETCH(QString, questions);
        QFETCH(QString, order);
        SeededRandom random(quint32(seed.toUInt()));
        QList<int> places;
        for (int i = 0; i < questions.toInt(); ++i)
            places.append(i);
        QStringList drawn;
        for (const QString& part : order.split(QStringLiteral(" | "))) {
            QStringList one;
            for (const int n : shuffled(places, random))
                one.append(QString::number(n));
            drawn.append(one.join(u' '));
            Q_UNUSED(part);
        }
        QCOMPARE(drawn.join(QStringLiteral(" | ")), order);
    }

    // Sheets that do not read are refused with the line and what is wrong; nothing written.
    void badSheets_data() {
        tableData("scoring/bad_sheets.tsv", {"sheet", "given", "code", "said", "persian"});
    }
    void badSheets() {
        QFETCH(QString, sheet);
        QFETCH(QString, given);
        QFETCH(QString, code);
        QFETCH(QString, said);
        QFETCH(QString, persian);
        const QStringList arguments = given.split(u' ', Qt::SkipEmptyParts);
        TestProgram p;
        QTemporaryDir desk; // the teacher's files, outside the program folder
        makeProject(p.path("project"), answersOf("R1W1"), QString(), {1});
        QByteArray bytes = sheet.toUtf8();
        if (sheet == QLatin1String("<no UTF-8>"))
            bytes = QByteArray("name,1-1-1\r\n\xff\xfe,1\r\n");
        writeBytes(desk.filePath("answers.csv"), bytes);
        QStringList all{"--project", p.path("project"),
                        "--answers", desk.filePath("answers.csv"),
                        "--out",     desk.filePath("result.csv")};
        for (int i = 0; i + 1 < arguments.size(); i += 2) {
            const QString value = arguments[i + 1].startsWith(u'@')
                                      ? desk.filePath(arguments[i + 1].mid(1))
                                      : arguments[i + 1];
            const qsizetype at = all.indexOf(arguments[i]);
            if (at >= 0)
                all[at + 1] = value;
            else
                all << arguments[i] << value;
        }
        const Run run = score(p, all);
        QCOMPARE(run.code, code.toInt());
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        // The same in Persian, on its own line, for the teacher.
        QVERIFY2(run.err.section(u'\n', 1).contains(persian), qPrintable(run.err));
        QVERIFY(!QFile::exists(desk.filePath("result.csv")));
    }

    // A sheet of two students and two fields, quoted names (one a spreadsheet would run), Persian
    // digits (in answers and in the header, which may pad its numbers) and an empty line; the out
    // file is not written over without --force, nor inside the project.
    void sheetsOfAClass() {
        TestProgram p;
        QTemporaryDir desk; // the teacher's files, outside the program folder
        makeProject(p.path("project"), answersOf("R3|R2"), QStringLiteral("1/3"), {2, 1});
        writeBytes(desk.filePath("answers.csv"),
                   QByteArray("\xEF\xBB\xBF") +
                       QStringLiteral("نام,1-1-1,01-1-2, 1 - 1 - 3 ,۲-۱-۱,2-1-2\r\n"
                                      "\"Sara \"\"S\"\"\",۱,2,,1,1\r\n\r\n=Reza,,,,٢,\r\n")
                           .toUtf8());
        const QStringList arguments{"--project", p.path("project"),
                                    "--answers", desk.filePath("answers.csv"),
                                    "--out",     desk.filePath("result.csv")};
        QCOMPARE(score(p, arguments).code, 0);
        QCOMPARE(QString::fromUtf8(readBytes(desk.filePath("result.csv"))),
                 QStringLiteral("name,field,questions,right,wrong,blank,percent,passed\r\n"
                                "\"Sara \"\"S\"\"\",درسی ۱,3,1,1,1,22.22,\r\n"
                                "\"Sara \"\"S\"\"\",درسی ۲,2,2,0,0,100.00,\r\n"
                                "\"Sara \"\"S\"\"\",overall,5,3,1,1,48.15,\r\n"
                                "'=Reza,درسی ۱,3,0,0,3,0.00,\r\n"
                                "'=Reza,درسی ۲,2,0,1,1,-16.67,\r\n"
                                "'=Reza,overall,5,0,1,4,-5.56,\r\n"));
        QVERIFY(p.entries().contains("Answer sheets scored: 2 students, penalty 1/3"));
        const Run again = score(p, arguments);
        QCOMPARE(again.code, 1);
        QVERIFY(again.err.contains("--force"));
        QCOMPARE(score(p, QStringList(arguments) << "--force").code, 0);
        QStringList inside = arguments;
        inside[5] = p.path("project/result.csv");
        QVERIFY(score(p, inside).err.contains("inside the project"));
        inside[5] = p.path("result.csv");
        QVERIFY(score(p, inside).err.contains("inside the program"));
    }
};

QTEST_GUILESS_MAIN(ScoringTest)
#include "tst_scoring.moc"
