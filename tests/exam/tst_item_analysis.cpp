// Item analysis against an independent reader: simulated classes checked by R's psych
// (facility, item-rest correlation, KR-20) and base R (the 27% groups, option counts, taraz,
// the moments), questions made to misbehave flagged as such, and the verb end to end on a
// printed exam: its CSVs, its report read back by poppler, the project's memory of it.
#include "exam/analysis_csv.h"
#include "exam/analysis_models.h"
#include "exam/item_analysis.h"
#include "exam/paper_record.h"
#include "exam/question_history.h"
#include "mainwin/analysis_dialog.h"
#include "mainwin/paper_dialog.h"
#include "paper/paper_exam.h"
#include "platform/csv.h"
#include "platform/fs_error.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/paper_project.h"
#include "support/test_program.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <random>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// How a simulated question behaves: as a good one; keyed on an option the stronger students
// avoid; answered by nearly all or nearly none; with a wrong option nobody takes.
enum class Kind { Good, Reversed, Easy, Hard, DeadDistractor };

struct Simulated {
    QuestionBank bank;
    QString sheets; // "name,1-1-1,…" then a row a student, the bank's answers
    QList<Kind> kinds;
};

// Students of normal ability answering by a logistic model, the same for a seed.
Simulated simulate(const QList<Kind>& kinds, int students, unsigned seed) {
    Simulated s;
    s.kinds = kinds;
    s.bank.scoring.penalty = {1, 3};
    s.bank.fieldTitles = {u8("ریاضی")};
    BankLesson lesson;
    lesson.id = QStringLiteral("0-0");
    lesson.made = true;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> ability(0, 1);
    QList<double> difficulty;
    QStringList header{QStringLiteral("name")};
    for (int j = 0; j < kinds.size(); ++j) {
        BankQuestion q;
        q.id = QStringLiteral("1-1-%1").arg(j + 1);
        q.answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d")};
        q.marked = j % 4 + 1;
        q.text = QStringLiteral(u"پرسش %1: اگر \\(x^2 = 4\\)، x کدام است؟").arg(j + 1);
        lesson.questions.append(q);
        header.append(q.id);
        difficulty.append(kinds[j] == Kind::Easy   ? -3.5
                          : kinds[j] == Kind::Hard ? 3.0
                                                   : -1.2 + 2.4 * unit(random));
    }
    s.bank.lessons.append(lesson);
    s.sheets = csvRow(header);
    for (int i = 0; i < students; ++i) {
        const double theta = ability(random);
        QStringList row{QStringLiteral("s%1").arg(i + 1, 3, 10, QLatin1Char('0'))};
        for (int j = 0; j < kinds.size(); ++j) {
            const int key = j % 4 + 1;
            const double sign = kinds[j] == Kind::Reversed ? -1 : 1;
            const double right = 1 / (1 + std::exp(-1.7 * sign * (theta - difficulty[j])));
            int chosen = 0;
            if (unit(random) < 0.04)
                chosen = 0; // a blank now and then
            else if (unit(random) < right)
                chosen = key;
            else {
                // A wrong option; the dead question's last wrong one is never taken.
                const int wrongs = kinds[j] == Kind::DeadDistractor ? 2 : 3;
                const int pick = int(unit(random) * wrongs);
                chosen = (key + pick) % 4 + 1;
            }
            row.append(chosen ? QString::number(chosen) : QString());
        }
        s.sheets += csvRow(row);
    }
    return s;
}

Analysis analysed(const Simulated& s) {
    CsvSheetRows rows(s.sheets);
    return analyseSheets(readSheetMatrix(s.bank, rows, s.bank.scoring.penalty));
}

QString rscript() {
    return QStandardPaths::findExecutable(QStringLiteral("Rscript"));
}

int runProgram(const QString& program, const QStringList& arguments, QString* said = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(240000))
        return -1;
    if (said)
        *said = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QList<QStringList> csvFile(const QString& path) {
    return csvRows(QString::fromUtf8(readBytes(path)));
}

} // namespace

class ItemAnalysisTest : public QObject {
    Q_OBJECT

    TestProgram program_;
    QString project_;

private slots:
    void initTestCase() {
        copyShippedResources(program_.folder());
        project_ = program_.path(QStringLiteral("Project 1"));
        makePaperProject(program_.context(), project_);
    }

    // Every figure psych and base R compute, on a few hundred simulated students.
    void agreesWithPsych() {
        if (rscript().isEmpty() ||
            runProgram(rscript(), {QStringLiteral("-e"), QStringLiteral("library(psych)")}) != 0)
            QSKIP("R's psych is not installed (r-cran-psych)");
        QList<Kind> kinds(24, Kind::Good);
        kinds[5] = Kind::Reversed;
        kinds[9] = Kind::DeadDistractor;
        const Simulated s = simulate(kinds, 317, 7);
        const Analysis a = analysed(s);
        QTemporaryDir dir;
        const auto write = [&](const char* name, const QByteArray& bytes) {
            saveWholeFile(dir.filePath(QLatin1String(name)), bytes);
            return dir.filePath(QLatin1String(name));
        };
        QString key = QStringLiteral("key\n");
        for (const BankQuestion& q : s.bank.lessons[0].questions)
            key += QString::number(q.marked) + u'\n';
        QString said;
        const int code =
            runProgram(rscript(),
                       {sourceFile(QStringLiteral("tests/data/analysis/psych_check.R")),
                        write("sheets.csv", s.sheets.toUtf8()), write("key.csv", key.toUtf8()),
                        write("items.csv", itemsCsv(a)), write("test.csv", testCsv(a)),
                        write("students.csv", studentsCsv(a))},
                       &said);
        QVERIFY2(code == 0, qPrintable(said));
        QVERIFY2(said.contains(QLatin1String("agreed on 24 questions and 317 students")),
                 qPrintable(said));
    }

    // Each kind of misbehaving question gets its flag; only the reversed one is told as a
    // key that may be wrong.
    void misbehavingQuestionsAreFlagged_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("flag");
        QTest::newRow("reversed") << int(Kind::Reversed) << int(ItemFlag::NegativeDiscrimination);
        QTest::newRow("easy") << int(Kind::Easy) << int(ItemFlag::TooEasy);
        QTest::newRow("hard") << int(Kind::Hard) << int(ItemFlag::TooHard);
        QTest::newRow("dead distractor")
            << int(Kind::DeadDistractor) << int(ItemFlag::UnchosenDistractor);
    }
    void misbehavingQuestionsAreFlagged() {
        QFETCH(int, kind);
        QFETCH(int, flag);
        QList<Kind> kinds(16, Kind::Good);
        kinds[3] = Kind(kind);
        const Analysis a = analysed(simulate(kinds, 400, 11));
        for (int j = 0; j < a.items.size(); ++j) {
            const ItemFigures& i = a.items[j];
            if (j == 3)
                QVERIFY2(i.flags.contains(ItemFlag(flag)), qPrintable(i.question.id));
            QCOMPARE(i.wrongKey(), j == 3 && Kind(kind) == Kind::Reversed);
        }
    }

    // A question everyone got right has no correlation: said, an empty cell, never NaN; a
    // single student is refused.
    void undefinedFiguresAreSaid() {
        Simulated s = simulate({Kind::Good, Kind::Good, Kind::Good}, 30, 3);
        QStringList lines = s.sheets.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i) {
            QStringList cells = lines[i].split(u',');
            cells[2] = QStringLiteral("2"); // question 2's key, for everyone
            lines[i] = cells.join(u',');
        }
        s.sheets = lines.join(QStringLiteral("\r\n"));
        const Analysis a = analysed(s);
        QVERIFY(!a.items[1].discrimination);
        QVERIFY(a.items[1].flags.contains(ItemFlag::Undefined));
        const QList<QStringList> rows = csvRows(QString::fromUtf8(itemsCsv(a)));
        QCOMPARE(rows[2][6], QString());
        QVERIFY(!QString::fromUtf8(itemsCsv(a) + testCsv(a)).contains(QLatin1String("nan")));
        s.sheets = lines.mid(0, 2).join(QStringLiteral("\r\n"));
        QVERIFY_THROWS_EXCEPTION(BadSheet, analysed(s));
    }

    // The verb on a printed exam of two versions: the sheets in printed order mapped to the
    // bank, the CSVs, the report's text in order and its fonts embedded, and the figures
    // remembered by the project once however often the exam is analysed.
    void theVerbAnalysesAPrintedExam() {
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY is not set");
        const QString project = project_;
        const QString exam = program_.path(QStringLiteral("exam"));
        PaperChoices c;
        c.versions = 2;
        c.seed = 99;
        writePaperExam(program_.context(), project, QStringLiteral("Project 1"), exam, c);
        const QJsonArray versions = QJsonDocument::fromJson(readBytes(exam + "/exam.json"))
                                        .object()[QStringLiteral("versions")]
                                        .toArray();
        const QuestionBank bank = readQuestionBank(program_.context(), project);
        // Twenty students, the stronger ones (later) answering more right.
        QString sheets = QStringLiteral("name,version\r\n");
        std::mt19937 random(5);
        for (int i = 0; i < 20; ++i) {
            const int v = i % 2 + 1;
            QStringList row{u8("دانش‌آموز %1").arg(i + 1), QString::number(v)};
            for (const QJsonValue q : versions[v - 1][QStringLiteral("questions")].toArray()) {
                const QJsonArray options = q[QStringLiteral("options")].toArray();
                const int marked = bank.find(q[QStringLiteral("bank")].toString())->marked;
                int right = 1;
                for (int o = 0; o < options.size(); ++o)
                    if (options[o].toInt() == marked)
                        right = o + 1;
                const bool knows = int(random() % 20) < i;
                row.append(QString::number(knows ? right : int(random() % 4) + 1));
            }
            sheets += csvRow(row);
        }
        const QString answers = program_.path(QStringLiteral("sheets.csv"));
        saveWholeFile(answers, sheets.toUtf8());
        const QString out = program_.path(QStringLiteral("report"));
        const QStringList args{QStringLiteral("analyse"),
                               QStringLiteral("--project"),
                               project,
                               QStringLiteral("--exam"),
                               exam,
                               QStringLiteral("--answers"),
                               answers,
                               QStringLiteral("--out"),
                               out};
        QString said;
        QVERIFY2(runProgram(binary, args, &said) == 0, qPrintable(said));
        QVERIFY2(said.contains(QLatin1String("20 students, 12 questions analysed")),
                 qPrintable(said));
        const QList<QStringList> students = csvFile(out + "/students.csv");
        QCOMPARE(students.size(), 21);
        QCOMPARE(students[0].mid(0, 6),
                 (QStringList{"name", "version", "right", "wrong", "blank", "percent"}));
        QCOMPARE(students[1][1], QStringLiteral("1"));
        QCOMPARE(students[2][1], QStringLiteral("2"));
        const QList<QStringList> items = csvFile(out + "/items.csv");
        QCOMPARE(items.size(), 13);
        for (const QStringList& row : items.mid(1)) // every student chose something
            QCOMPARE(row[2].toInt() + row[3].toInt() + row[4].toInt(), 20);

        QString fonts;
        QCOMPARE(runProgram(QStringLiteral("pdffonts"), {out + "/report.pdf"}, &fonts), 0);
        QVERIFY2(fonts.contains(QLatin1String("Vazirmatn")), qPrintable(fonts));
        QVERIFY2(!fonts.contains(QLatin1String(" no  ")), qPrintable(fonts)); // all embedded
        QString text;
        QCOMPARE(runProgram(QStringLiteral("pdftotext"), {out + "/report.pdf", "-"}, &text), 0);
        // Poppler's bidi marks say nothing of the order, and it puts a hamza above apart.
        text.remove(QRegularExpression(QStringLiteral("[\\x{202A}-\\x{202E}\\x{0654}]")));
        qsizetype at = 0;
        for (const char* heading :
             {"تحلیل سؤال‌های آزمون", "شاخص‌های آزمون",
              "پایایی KR-20", "نقشهٔ سؤال‌ها", "همهٔ سؤال‌ها",
              "به ترتیب رتبه"}) {
            const qsizetype found = text.indexOf(u8(heading).remove(QChar(0x0654)), at);
            QVERIFY2(found >= at, heading);
            at = found;
        }

        // The window's way in refuses a report among the project's files as the verb does.
        QVERIFY_THROWS_EXCEPTION(FsError, analyseExam(program_.context(), project, exam, answers,
                                                      project + QStringLiteral("/report")));
        QVERIFY(!QFileInfo::exists(project + QStringLiteral("/report")));

        // Remembered once per exam, and shown as the question editor shows it.
        QCOMPARE(QDir(analysisFolder(project)).entryList(QDir::Files).size(), 1);
        QVERIFY2(runProgram(binary, args, &said) == 1 && said.contains("--force"),
                 qPrintable(said));
        QCOMPARE(runProgram(binary, args + QStringList{QStringLiteral("--force")}, &said), 0);
        QCOMPARE(QDir(analysisFolder(project)).entryList(QDir::Files).size(), 1);
        const QMap<QString, QuestionHistory> history = questionHistory(project);
        QCOMPARE(history.size(), 12);
        const QuestionHistory h = history.first();
        QCOMPARE(h.exams, 1);
        QCOMPARE(h.facility, items[1][5].toDouble());
        QVERIFY(historyText(h).startsWith(u8("دشواری ")));
        QVERIFY(historyText(h).contains(u8(" · ۱ آزمون")));
        // The question editor finds it by the question's text.
        const auto byText = historyOfQuestion(program_.context(), project, 0, 0,
                                              bank.find(history.firstKey())->text);
        QVERIFY(byText && byText->facility == h.facility);

        // The paper exam's dialog tells the doubted keys and leaves them out when asked; the
        // next printing draws none of them.
        QMap<QString, QuestionHistory> doubted = history;
        doubted[QStringLiteral("1-1-2")].wrongKey = true;
        PaperDialog dialog(c, exam, false, 0, -1);
        QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("PLeaveOut"))->isHidden());
        dialog.showHistory(doubted);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto* told = dialog.findChild<QLabel*>(QStringLiteral("PHistory"));
        QVERIFY2(told->text().contains(u8("کلید ۱ سؤال مشکوک است")) &&
                     told->text().contains(QLatin1String("1-1-2")),
                 qPrintable(told->text()));
        auto* leave = dialog.findChild<QCheckBox*>(QStringLiteral("PLeaveOut"));
        QVERIFY(!leave->isHidden());
        QTest::mouseClick(leave, Qt::LeftButton);
        PaperChoices left = dialog.request().choices;
        QCOMPARE(left.leaveOut, QStringList{QStringLiteral("1-1-2")});
        left.scope = {PaperScope::Kind::Lesson, 0, 0};
        const QString second = program_.path(QStringLiteral("second"));
        writePaperExam(program_.context(), project, QStringLiteral("Project 1"), second, left);
        const QByteArray record = readBytes(second + "/exam.json");
        QVERIFY(record.contains("\"1-1-1\"") && !record.contains("\"1-1-2\""));
    }

    void refusals_data() {
        tableData(QStringLiteral("analysis/refusals.tsv"),
                  {"sheets", "arguments", "said", "persian"});
    }
    void refusals() {
        QFETCH(QString, sheets);
        QFETCH(QString, arguments);
        QFETCH(QString, said);
        QFETCH(QString, persian);
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY is not set");
        const QString file = program_.path(QStringLiteral("refused.csv"));
        saveWholeFile(file, sheets.toUtf8());
        const QString out = program_.path(QStringLiteral("refused"));
        QStringList given = arguments.split(u' ');
        for (QString& a : given)
            a.replace(QStringLiteral("@project"), project_)
                .replace(QStringLiteral("@sheets"), file)
                .replace(QStringLiteral("@out"), out);
        const QStringList memory = QDir(analysisFolder(project_)).entryList(QDir::Files);
        QProcess p;
        p.start(binary,
                QStringList{QStringLiteral("analyse"), QStringLiteral("--project"), project_} +
                    given);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split(u'\n');
        QVERIFY2(lines[0].contains(said), qPrintable(lines[0]));
        if (!persian.isEmpty())
            QVERIFY2(lines.value(1).startsWith(persian), qPrintable(lines.value(1)));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(project_ + QStringLiteral("/report")));
        QCOMPARE(QDir(analysisFolder(project_)).entryList(QDir::Files), memory);
    }

    // The window's tables: sortable by the figure itself, right to left, the report's button
    // enabled once analysed.
    void theWindowShowsTheTables() {
        QList<Kind> kinds(10, Kind::Good);
        kinds[2] = Kind::Reversed;
        const Simulated s = simulate(kinds, 120, 21);
        AnalysisDialog dialog(
            {QString(), QStringLiteral("/tmp/sheets.csv"), QStringLiteral("/tmp/report")},
            [&](const AnalysisDialog::Request& r) {
                return std::optional<AnalysedExam>({s.bank, analysed(s), r.answers});
            });
        auto* report = dialog.findChild<QPushButton*>(QStringLiteral("AReport"));
        QVERIFY(!report->isEnabled());
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("AOk")), Qt::LeftButton);
        QVERIFY(report->isEnabled());
        auto* items = dialog.findChild<QTableView*>(QStringLiteral("AItems"));
        QCOMPARE(items->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(items->model()->rowCount(), 10);
        items->sortByColumn(2, Qt::AscendingOrder); // discrimination: the reversed one first
        QCOMPARE(items->model()->index(0, 0).data().toString(), QStringLiteral("1-1-3"));
        QVERIFY(items->model()->index(0, 8).data().toString().contains(u8("تمیز منفی")));
        auto* students = dialog.findChild<QTableView*>(QStringLiteral("AClass"));
        QCOMPARE(students->model()->rowCount(), 120);
        QCOMPARE(students->model()->index(0, 0).data().toString(), u8("۱"));
    }
};

QTEST_MAIN(ItemAnalysisTest)
#include "tst_item_analysis.moc"
