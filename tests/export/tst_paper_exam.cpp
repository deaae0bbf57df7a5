// Exams on paper, as the teacher and other programs meet them: the PDFs read back by
// poppler (text in reading order, fonts), the answer sheet's QR code by zbar, the keys
// against the booklets, the command line against the window, and filled sheets scored
// through the exam's record as the same answers in the bank's order.
#include "exam/paper_answers.h"
#include "exam/paper_draw.h"
#include "exam/paper_record.h"
#include "exam/sheet_code.h"
#include "exam/sheet_layout.h"
#include "exam/sheet_scoring.h"
#include "mainwin/main_window.h"
#include "mainwin/paper_dialog.h"
#include "paper/paper_exam.h"
#include "paper/paper_pages.h"
#include "paper/pdf_printer.h"
#include "platform/fs_error.h"
#include "platform/persian_text.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/paper_project.h"
#include "support/test_program.h"
#include "widgets/message_box_prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <optional>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// A program's standard output; fails the test when it does not run cleanly.
QString run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s %s: %s", qPrintable(program), qPrintable(arguments.join(u' ')),
                 p.readAllStandardError().constData());
        return QStringLiteral("<failed>");
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What a call that must refuse says (its reason, whatever it throws), or "done".
template <typename Call> QString refusal(Call&& call) {
    try {
        call();
    } catch (const NothingToPrint& n) {
        return n.why();
    } catch (const BadSheet& bad) {
        return bad.why();
    } catch (const FsError& e) {
        return e.description();
    }
    return QStringLiteral("done");
}

QString plain(QString text) {
    return text.remove(QChar(0x0654));
}

QString pdfText(const QString& pdf, int page = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    // The bidi embedding marks poppler puts around runs say nothing of the order, and it
    // puts a hamza above before the letter that carries it.
    return plain(run(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"))
                     .remove(QRegularExpression(QStringLiteral("[\\x{202A}-\\x{202E}]"))));
}

QString persianDigits(const QString& text) {
    return persianShown(text, Digits::AlsoBare);
}

// How a bank question of the test project is named in its own text, "ریاضی ۳:", as poppler
// gives it back (the colon may come before the number).
QRegularExpression marker(const QString& bank) {
    const QStringList p = bank.split(u'-');
    const QString subject = p[0] == QLatin1String("1")
                                ? (p[1] == QLatin1String("1") ? u8("ریاضی") : u8("علوم"))
                                : u8("جغرافیا");
    return QRegularExpression(subject + QStringLiteral("\\s*:?\\s*") + persianDigits(p[2]) +
                              QStringLiteral("(?![۰-۹])"));
}

// A number standing alone in the text: not part of a longer one.
QRegularExpression number(int n) {
    return QRegularExpression(QStringLiteral("(?<![۰-۹])") + persianDigits(QString::number(n)) +
                              QStringLiteral("(?![۰-۹])"));
}

QJsonObject readJson(const QString& path) {
    return QJsonDocument::fromJson(readBytes(path)).object();
}

// An exam's record less the digests of its PDFs, which carry the time they were printed.
QJsonObject drawnRecord(const QString& folder) {
    QJsonObject record = readJson(folder + QStringLiteral("/exam.json"));
    if (record.take(QStringLiteral("files")).toObject().size() < 4)
        qFatal("exam.json names fewer files than an exam has");
    return record;
}

} // namespace

class PaperExamTest : public QObject {
    Q_OBJECT

    TestProgram program_;
    QString project_, out_;
    QJsonObject record_;
    static constexpr quint32 kSeed = 4242;

    QJsonArray version(int v) const {
        return record_[QStringLiteral("versions")]
            .toArray()[v - 1][QStringLiteral("questions")]
            .toArray();
    }

private slots:
    void initTestCase() {
        project_ = program_.path(QStringLiteral("Project 1"));
        copyShippedResources(program_.folder());
        makePaperProject(program_.context(), project_);
        out_ = program_.path(QStringLiteral("exam"));
        PaperChoices c;
        c.versions = 4;
        c.seed = kSeed;
        c.title = u8("آزمون نوبت اول");
        c.school = u8("دبیرستان نمونه");
        c.date = QStringLiteral("1405/9/17");
        c.minutes = 60;
        const PaperWritten written =
            writePaperExam(program_.context(), project_, QStringLiteral("Project 1"), out_, c);
        QCOMPARE(written.versions, 4);
        QCOMPARE(written.questions, 12);
        // The geography questions' own number and labels, taken off once, each named.
        QCOMPARE(written.labelsTaken.size(), 4);
        QCOMPARE(written.labelsTaken.first(), u8("2-1-1: «۹-»، «الف)»، «ب)»، «ج)»، «د)»"));
        record_ = readJson(out_ + QStringLiteral("/exam.json"));
    }

    // Each booklet read back in reading order: its questions in its version's order, numbered
    // in Persian digits, each row of options with option ۱ at the right and ۴ at the left.
    void bookletsReadInTheirVersionsOrder() {
        for (int v = 1; v <= 4; ++v) {
            const QString text = pdfText(out_ + QStringLiteral("/booklet-%1.pdf").arg(v));
            qsizetype at = 0;
            const QJsonArray questions = version(v);
            QCOMPARE(questions.size(), 12);
            for (int k = 0; k < questions.size(); ++k) {
                const QString bank = questions[k][QStringLiteral("bank")].toString();
                const qsizetype found = text.indexOf(marker(bank), at);
                QVERIFY2(found > at || (k == 0 && found >= 0),
                         qPrintable(QStringLiteral("version %1, question %2 (%3) out of order")
                                        .arg(v)
                                        .arg(k + 1)
                                        .arg(bank)));
                // Its number in Persian digits begins its line.
                const qsizetype lineStart = text.lastIndexOf(u'\n', found) + 1;
                QVERIFY2(text.mid(lineStart, found - lineStart).contains(number(k + 1)),
                         qPrintable(text.mid(lineStart, found - lineStart + 12)));
                at = found;
                // A geography question's four short options share the next line, printed
                // option 1 rightmost: poppler writes the line from the left.
                if (bank.startsWith(QLatin1String("2-1-"))) {
                    const qsizetype next = text.indexOf(u'\n', found) + 1;
                    const QString row = text.mid(next, text.indexOf(u'\n', next) - next);
                    const QStringList names{u8("دماوند"), u8("سهند"), u8("علم‌کوه"),
                                            u8("تفتان")};
                    QList<qsizetype> places;
                    for (const QJsonValue o : questions[k][QStringLiteral("options")].toArray())
                        places.append(row.indexOf(names[o.toInt() - 1]));
                    QVERIFY2(!places.contains(-1), qPrintable(row));
                    QVERIFY2(places[0] > places[1] && places[1] > places[2] &&
                                 places[2] > places[3],
                             qPrintable(row));
                }
            }
            // The tool numbers and letters: the author's own "۹-" and "الف)" are not printed.
            QVERIFY(!text.contains(u8("۹-")) && !text.contains(u8("الف)")) &&
                    !text.contains(u8("(الف")));
            // Persian digits stay Persian: no Arabic-Indic digit comes out.
            QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[\\x{0660}-\\x{0669}]"))));
            // The rule in words and the header's date in Persian digits.
            QVERIFY(text.contains(u8("پاسخ درست را خنثی می‌کند")));
            QVERIFY(text.contains(u8("۱۴۰۵/۹/۱۷")));
        }
    }

    // No question is parted between pages: each starts and ends on one page.
    void pagesBreakBetweenQuestions() {
        const QString booklet = out_ + QStringLiteral("/booklet-1.pdf");
        const int pages = pdfPages(booklet);
        QVERIFY2(pages >= 2, "the exam must run over a page to show its breaks");
        QMap<QString, int> pageOf;
        for (int p = 1; p <= pages; ++p) {
            const QString text = pdfText(booklet, p);
            QVERIFY(text.contains(QRegularExpression(persianDigits(QString::number(p)) +
                                                     QStringLiteral("\\s*از\\s*·?\\s*") +
                                                     persianDigits(QString::number(pages)))));
            for (const QJsonValue q : version(1)) {
                const QString bank = q[QStringLiteral("bank")].toString();
                if (text.contains(marker(bank)))
                    pageOf[bank] = p;
            }
        }
        QCOMPARE(pageOf.size(), 12);
        // Each page ends with a whole question and begins with one: its four option labels
        // ("۳)" as poppler may turn it) after its last question, none before its first.
        const QRegularExpression label(QStringLiteral("\\)[۱-۴]|[۱-۴]\\)"));
        for (int p = 1; p <= pages; ++p) {
            const QString text = pdfText(booklet, p);
            qsizetype first = text.size(), last = -1;
            for (const QJsonValue q : version(1)) {
                const auto m = marker(q[QStringLiteral("bank")].toString()).match(text);
                if (m.hasMatch()) {
                    first = std::min(first, m.capturedStart());
                    last = std::max(last, m.capturedStart());
                }
            }
            QVERIFY(last >= 0);
            QCOMPARE(text.mid(last).count(label), 4);
            QCOMPARE(text.left(first).count(label), 0);
        }
    }

    // A question longer than a page is the one thing parted, at a line: every word once.
    void aQuestionLongerThanAPageGoesOn() {
        const QString out = program_.path(QStringLiteral("long"));
        PaperChoices c;
        c.scope = {PaperScope::Kind::Lesson, 1, 1};
        c.seed = 9;
        writePaperExam(program_.context(), project_, QStringLiteral("Project 1"), out, c);
        const QString booklet = out + QStringLiteral("/booklet-1.pdf");
        QVERIFY(pdfPages(booklet) >= 2);
        const QString text = pdfText(booklet);
        for (int w : {1, 2, 450, 899, 900}) {
            const QRegularExpression word(u8("واژه") + QStringLiteral("\\s*") +
                                          number(w).pattern());
            QCOMPARE(text.count(word), 1);
        }
        QVERIFY(text.contains(u8("چهار")));
    }

    // A project in a folder of any name (Persian letters, "#", "%", spaces) shows its picture.
    void aFolderOfAnyNameShowsItsPictures() {
        const QString odd = program_.path(u8("پروژهٔ #۱ 100%"));
        run(QStringLiteral("cp"), {QStringLiteral("-r"), project_, odd});
        const QString out = program_.path(QStringLiteral("odd"));
        PaperChoices c;
        c.scope = {PaperScope::Kind::Lesson, 0, 1};
        writePaperExam(program_.context(), odd, QStringLiteral("odd"), out, c);
        const QStringList images =
            run(QStringLiteral("pdfimages"),
                {QStringLiteral("-list"), out + QStringLiteral("/booklet-1.pdf")})
                .split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 3); // the header's two lines and the picture
    }

    void everyFontIsEmbedded() {
        for (const QString& name : QDir(out_).entryList({QStringLiteral("*.pdf")})) {
            const QStringList rows = run(QStringLiteral("pdffonts"), {out_ + u'/' + name})
                                         .split(u'\n', Qt::SkipEmptyParts)
                                         .mid(2);
            QVERIFY2(!rows.isEmpty(), qPrintable(name));
            for (const QString& row : rows) {
                const QStringList cells = row.split(QRegularExpression(QStringLiteral("\\s+")));
                QVERIFY2(cells.size() >= 7 && cells[cells.size() - 5] == QLatin1String("yes"),
                         qPrintable(name + QStringLiteral(": ") + row));
            }
        }
    }

    // Each sheet's QR code, drawn at a scanner's resolution, says its version and the seed.
    // Each sheet's QR code, read by zbar, names its printing; every bubble the record places
    // is drawn there: a ring around its centre on the page rasterised by poppler.
    void sheetCodesDecode() {
        const QString digest = record_[QStringLiteral("digest")].toString();
        QCOMPARE(digest.size(), 16);
        for (int v = 1; v <= 4; ++v) {
            const QString png = program_.path(QStringLiteral("sheet-%1").arg(v));
            run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"),
                                             QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                             out_ + QStringLiteral("/sheet-%1.pdf").arg(v), png});
            const std::optional<SheetCode> code = decodeSheetCode(
                run(QStringLiteral("zbarimg"),
                    {QStringLiteral("--raw"), QStringLiteral("-q"), png + QStringLiteral(".png")})
                    .trimmed());
            QVERIFY(code);
            QCOMPARE(code->project, QStringLiteral("Project 1"));
            QCOMPARE(code->version, v);
            QCOMPARE(code->seed, kSeed);
            QCOMPARE(code->page, 1);
            QCOMPARE(code->digest, digest);
            const QString text = pdfText(out_ + QStringLiteral("/sheet-%1.pdf").arg(v));
            QVERIFY(text.contains(persianDigits(QStringLiteral("12"))));
            QList<int> options;
            for (const QJsonValue& q : version(v))
                options.append(int(q[QStringLiteral("options")].toArray().size()));
            const SheetLayout layout = sheetLayoutOf(
                record_[QStringLiteral("versions")][v - 1][QStringLiteral("sheet")].toObject(),
                options);
            QCOMPARE(layout.pages.size(), 1);
            QCOMPARE(layout.pages[0].bubbles.size(), 12 * 4);
            const QImage page =
                QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
            const double px = page.width() / layout.width;
            const auto dark = [&](QPointF mm) { // a pixel covers [i, i + 1)
                return qGray(page.pixel(int(mm.x() * px), int(mm.y() * px))) < 160;
            };
            for (const SheetMark& m : layout.pages[0].marks)
                QVERIFY2(dark(m.at), qPrintable(m.corner));
            const auto ringed = [&](QPointF at, double r) {
                int on = 0;
                for (int a = 0; a < 16; ++a) {
                    const QPointF d(std::cos(a * M_PI / 8), std::sin(a * M_PI / 8));
                    const bool ring =
                        dark(at + d * (r - 0.2)) || dark(at + d * r) || dark(at + d * (r + 0.1));
                    on += ring && !dark(at + d * (r + 0.6));
                }
                return on >= 14;
            };
            for (const SheetBubble& b : layout.pages[0].bubbles)
                QVERIFY2(ringed(b.at, b.r),
                         qPrintable(QStringLiteral("%1/%2").arg(b.question).arg(b.option)));
            for (const NumberBubble& b : layout.pages[0].number)
                QVERIFY2(ringed(b.at, b.r),
                         qPrintable(QStringLiteral("%1/%2").arg(b.digit).arg(b.value)));
        }
    }

    // The keys: each version's right options as its booklet prints them, and the master key
    // placing every bank question in every version.
    void keysAgreeWithTheBooklets() {
        const QString key = pdfText(out_ + QStringLiteral("/key.pdf"));
        for (int v = 1; v <= 4; ++v) {
            // The key's grid as poppler reads it: a line of numbers over a line of options,
            // each written from the left, so read from the right.
            const qsizetype from = key.indexOf(plain(u8("کلید نسخهٔ ")) + versionName(v));
            QVERIFY(from >= 0);
            const qsizetype to = key.indexOf(u8("کلید"), from + 5);
            QStringList rows;
            for (const QString& line : key.mid(from, to - from).split(u'\n').mid(1))
                if (!line.trimmed().isEmpty())
                    rows.append(line);
            QMap<int, int> read;
            for (qsizetype r = 0; r + 1 < rows.size(); r += 2) {
                QStringList numbers =
                    rows[r].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
                QStringList options = rows[r + 1].split(QRegularExpression(QStringLiteral("\\s+")),
                                                        Qt::SkipEmptyParts);
                QCOMPARE(numbers.size(), options.size());
                for (qsizetype i = 0; i < numbers.size(); ++i)
                    read.insert(latinDigits(numbers[i]).toInt(), latinDigits(options[i]).toInt());
            }
            QCOMPARE(read.size(), 12);
            for (int k = 0; k < 12; ++k) {
                const QJsonObject q = version(v)[k].toObject();
                const QStringList p = q[QStringLiteral("bank")].toString().split(u'-');
                // The marks of the test project: formulas 1, science 2 or 1 for the long
                // ones, geography going round.
                const int n = p[2].toInt();
                const int marked = p[0] == QLatin1String("2")   ? (n - 1) % 4 + 1
                                   : p[1] == QLatin1String("1") ? 1
                                                                : (n % 3 == 0 ? 1 : 2);
                const int printed =
                    int(q[QStringLiteral("options")].toArray().toVariantList().indexOf(marked)) + 1;
                QVERIFY2(read.value(k + 1) == printed,
                         qPrintable(QStringLiteral("version %1, question %2").arg(v).arg(k + 1)));
            }
        }
        // The master key: a row a bank question, its place in each version from the right.
        for (const QJsonValue q : version(1)) {
            const QString bank = q[QStringLiteral("bank")].toString();
            const QRegularExpression row(
                QStringLiteral("^.*%1.*$").arg(QRegularExpression::escape(bank)),
                QRegularExpression::MultilineOption);
            const QString line = row.match(key).captured(0);
            QVERIFY2(!line.isEmpty(), qPrintable(bank));
            QList<int> places;
            auto found = QRegularExpression(u8("سؤال") + QStringLiteral("\\s*،?\\s*([۰-۹]+)"))
                             .globalMatch(line);
            while (found.hasNext())
                places.prepend(latinDigits(found.next().captured(1)).toInt());
            QList<int> expected;
            for (int v = 1; v <= 4; ++v)
                for (int k = 0; k < 12; ++k)
                    if (version(v)[k][QStringLiteral("bank")].toString() == bank)
                        expected.append(k + 1);
            QCOMPARE(places, expected);
        }
        const QString explanations = pdfText(out_ + QStringLiteral("/explanations.pdf"));
        QVERIFY(explanations.contains(plain(u8("پاسخ‌نامهٔ تشریحی"))));
        QVERIFY(explanations.contains(u8("توضیح پرسش")));
    }

    // The draw: the same questions in every version, fields in order in each, version 1 the
    // seed's own; a new seed, a new order.
    void versionsHoldOneExam() {
        QStringList first;
        for (const QJsonValue q : version(1))
            first.append(q[QStringLiteral("bank")].toString());
        for (int v = 2; v <= 4; ++v) {
            QStringList these;
            for (const QJsonValue q : version(v))
                these.append(q[QStringLiteral("bank")].toString());
            QVERIFY(these != first);
            QStringList fields;
            for (const QString& b : these)
                fields.append(b.left(1));
            QVERIFY2(std::is_sorted(fields.begin(), fields.end()), qPrintable(these.join(u' ')));
            std::sort(these.begin(), these.end());
            QStringList sorted = first;
            std::sort(sorted.begin(), sorted.end());
            QCOMPARE(these, sorted);
        }
        // Four from each lesson of the budget.
        QMap<QString, int> perLesson;
        for (const QString& b : first)
            perLesson[b.section(u'-', 0, 1)] += 1;
        QCOMPARE(perLesson, (QMap<QString, int>{{"1-1", 4}, {"1-2", 4}, {"2-1", 4}}));
    }

    // What cannot be printed is refused, not printed empty; the choices hold as asked.
    void drawsAsAsked() {
        const QuestionBank bank =
            readQuestionBank(program_.context(), project_, QStringLiteral("P"));
        QuestionBank none = bank;
        none.scoring.fullExam = false;
        QVERIFY_THROWS_EXCEPTION(NothingToPrint, drawPaperExam(none, {}, 1, 1, true));
        QVERIFY_THROWS_EXCEPTION(NothingToPrint,
                                 drawPaperExam(bank, {PaperScope::Kind::Field, 5, 0}, 1, 1, true));
        QVERIFY_THROWS_EXCEPTION(NothingToPrint,
                                 drawPaperExam(bank, {PaperScope::Kind::Lesson, 0, 7}, 1, 1, true));
        // Options in the quiz's order when not shuffled; at most four versions.
        const PaperExam kept = drawPaperExam(bank, {PaperScope::Kind::Field, 1, 0}, 9, 3, false);
        QCOMPARE(kept.versions.size(), 4);
        QCOMPARE(kept.questions.size(), 9); // geography's 8 and the long one
        for (const PaperVersion& v : kept.versions)
            for (const QList<int>& options : v.options)
                QCOMPARE(options, (QList<int>{1, 2, 3, 4}));
        // One lesson: its questions, all of them, the cancelled one too.
        const PaperExam lesson = drawPaperExam(bank, {PaperScope::Kind::Lesson, 1, 0}, 1, 3, true);
        QCOMPARE(lesson.questions.size(), 8);
        QVERIFY(lesson.questions[1].cancelled);
        // The same seed, the same exam; another seed, another order.
        QCOMPARE(drawPaperExam(bank, {}, 2, 11, true).versions[1].order,
                 drawPaperExam(bank, {}, 2, 11, true).versions[1].order);
        QVERIFY(drawPaperExam(bank, {}, 1, 11, true).versions[0].order !=
                drawPaperExam(bank, {}, 1, 12, true).versions[0].order);
    }

    void commandLineRefusals_data() {
        test::tableData("paper/print_refusals.tsv", {"arguments", "said", "persian"});
    }
    void commandLineRefusals() {
        QFETCH(QString, arguments);
        QFETCH(QString, said);
        QFETCH(QString, persian);
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY names the program");
        QStringList given = arguments.split(u' ');
        for (QString& a : given)
            a.replace(QStringLiteral("@project"), project_)
                .replace(QStringLiteral("@printed"), out_)
                .replace(QStringLiteral("@long"), QString(201, u'ب'));
        const QStringList before = QDir(out_).entryList(QDir::Files);
        QProcess p;
        p.start(binary,
                QStringList{QStringLiteral("print-exam"), QStringLiteral("--project"), project_} +
                    given);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split(u'\n');
        QVERIFY2(lines[0].contains(said), qPrintable(lines[0]));
        if (!persian.isEmpty()) // the Persian line, where the verb says one
            QVERIFY2(lines.value(1).startsWith(persian), qPrintable(lines.value(1)));
        QVERIFY(!QFile::exists(QStringLiteral("x")));
        QVERIFY(!QFile::exists(project_ + QStringLiteral("/paper")));
        QVERIFY(!QFile::exists(project_ + QStringLiteral("/BookTXT/pages")));
        QCOMPARE(QDir(out_).entryList(QDir::Files), before);
    }

    // The command line, with no display, writes what the window's call writes.
    void theCommandLineWritesTheSame() {
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY names the program");
        const QString out = program_.path(QStringLiteral("cli"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        const QString said =
            run(binary,
                {QStringLiteral("print-exam"), QStringLiteral("--project"), project_,
                 QStringLiteral("--out"), out, QStringLiteral("--versions"), QStringLiteral("4"),
                 QStringLiteral("--seed"), QString::number(kSeed), QStringLiteral("--title"),
                 u8("آزمون نوبت اول"), QStringLiteral("--school"), u8("دبیرستان نمونه"),
                 QStringLiteral("--date"), QStringLiteral("1405/9/17"), QStringLiteral("--minutes"),
                 QStringLiteral("60")},
                env);
        QVERIFY2(said.contains(QStringLiteral("4 versions of 12 questions")), qPrintable(said));
        QCOMPARE(drawnRecord(out), drawnRecord(out_));
        for (const QString& name : QDir(out_).entryList({QStringLiteral("*.pdf")}))
            QCOMPARE(pdfText(out + u'/' + name), pdfText(out_ + u'/' + name));
    }

    // The main window's button, worked as an author does (on a display: the real notice),
    // writes what the command line and the call below it write; it stands where nothing
    // stood and moves nothing.
    void theButtonWritesTheSame() {
        MessageBoxPrompts boxes;
        const bool display = QGuiApplication::platformName() == QLatin1String("xcb");
        LessonWindows g{LessonWindows::Projects{{"Paper"}, display ? &boxes : nullptr}};
        boxes.setOwner(g.main.get());
        makePaperProject(g.p.context(), g.p.path(QStringLiteral("Project 1")));
        auto* button = control<QToolButton>(g.main.get(), "PaperExam");
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), u8("آزمون کاغذی (PDF)…"));
        QCOMPARE(button->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(overlapped(button), QStringList());
        auto* projects = control<QListWidget>(g.main.get(), "ProjB");
        QTest::mouseClick(projects->viewport(), Qt::LeftButton, {},
                          projects->visualItemRect(projects->item(0)).center());
        const QString out = g.p.path(QStringLiteral("paper"));
        bool asked = false, noticeAlone = true;
        onModal<PaperDialog>([&](PaperDialog* d) {
            QVERIFY(QTest::qWaitForWindowExposed(d));
            asked = d->layoutDirection() == Qt::RightToLeft &&
                    control<QAbstractButton>(d, "PWhat0")->isChecked() &&
                    !control<QAbstractButton>(d, "PWhat2")->isEnabled();
            const auto type = [&](const char* name, const QString& text) {
                auto* box = d->findChild<QWidget*>(QLatin1String(name));
                box->setFocus();
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                typeText(box, text);
            };
            type("PVersions", QStringLiteral("4"));
            type("PSeed", QString::number(kSeed));
            type("PSchool", u8("دبیرستان نمونه"));
            type("PDate", QStringLiteral("1405/9/17"));
            type("PMinutes", QStringLiteral("60"));
            type("POut", out);
            if (display)
                onModal<QMessageBox>([&](QMessageBox* box) {
                    QVERIFY(QTest::qWaitForWindowExposed(box));
                    // The progress window is gone before the notice comes up.
                    for (auto* progress : g.main->findChildren<QProgressDialog*>())
                        noticeAlone = noticeAlone && !progress->isVisible();
                    noticeAlone = noticeAlone && box->layoutDirection() == Qt::RightToLeft;
                    box->buttons().first()->click();
                });
            QTest::mouseClick(control<QAbstractButton>(d, "POk"), Qt::LeftButton);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(noticeAlone);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out + QStringLiteral("/exam.json")), 60000);
        if (!display) {
            QVERIFY(!g.p.prompts.shown.isEmpty());
            QVERIFY(g.p.prompts.shown.last().text.contains(out.section(u'/', -1)));
        }
        QVERIFY(g.p.entries().contains(QStringLiteral("Payam number 127 displayed.")));
        QCOMPARE(drawnRecord(out), drawnRecord(out_));
        for (const QString& name : QDir(out_).entryList({QStringLiteral("*.pdf")}))
            QCOMPARE(pdfText(out + u'/' + name), pdfText(out_ + u'/' + name));
        if (display)
            return;
        // Again into the same folder: asked first, and a No keeps the exam there.
        QFile::remove(out + QStringLiteral("/key.pdf"));
        g.p.prompts.answers = {false};
        onModal<PaperDialog>([&](PaperDialog* d) {
            // The project's last exam: its school, versions and folder are offered again.
            QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("PSchool"))->text(),
                     u8("دبیرستان نمونه"));
            QCOMPARE(d->findChild<QSpinBox*>(QStringLiteral("PVersions"))->value(), 4);
            QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("POut"))->text().remove(QChar(0x200E)),
                     QDir::toNativeSeparators(out));
            auto* seed = d->findChild<QSpinBox*>(QStringLiteral("PSeed"));
            seed->setValue(7);
            auto* where = d->findChild<QLineEdit*>(QStringLiteral("POut"));
            where->setText(out);
            QTest::mouseClick(control<QAbstractButton>(d, "POk"), Qt::LeftButton);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(g.p.prompts.shown.last().kind, QStringLiteral("question"));
        QCOMPARE(g.p.prompts.shown.last().start, Default::No);
        QVERIFY(!QFile::exists(out + QStringLiteral("/key.pdf")));
        QVERIFY(g.p.entries().contains(QStringLiteral("Aborted by user!")));
    }

    // Sheets of two versions, mapped through exam.json, score as the same answers in the
    // bank's order.
    void filledSheetsScoreAsTheBankOrder() {
        const QJsonArray one = version(1), two = version(2);
        // Three students' answers by bank question: 0 blank, else the bank's answer.
        QMap<QString, QList<int>> byBank;
        QStringList bank;
        for (const QJsonValue q : one)
            bank.append(q[QStringLiteral("bank")].toString());
        std::sort(bank.begin(), bank.end(), [](const QString& a, const QString& b) {
            return a.split(u'-')[0].toInt() * 10000 + a.split(u'-')[1].toInt() * 100 +
                       a.split(u'-')[2].toInt() <
                   b.split(u'-')[0].toInt() * 10000 + b.split(u'-')[1].toInt() * 100 +
                       b.split(u'-')[2].toInt();
        });
        for (int i = 0; i < bank.size(); ++i)
            byBank[bank[i]] = {1, (i % 4) + 1, i % 5 == 4 ? 9 : i % 3 ? 2 : 0}; // 9: several
        QString inBank = QStringLiteral("name,") + bank.join(u',') + QStringLiteral("\r\n");
        QString printed = QStringLiteral("name,version");
        for (int k = 1; k <= 12; ++k)
            printed += QStringLiteral(",%1").arg(k);
        printed += QStringLiteral("\r\n");
        const QStringList students{u8("علی"), u8("مریم"), u8("رضا")};
        for (int s = 0; s < 3; ++s) {
            QStringList row{students[s]};
            for (const QString& b : bank)
                row.append(byBank[b][s] == 9 ? QStringLiteral("*")
                           : byBank[b][s]    ? QString::number(byBank[b][s])
                                             : QString());
            inBank += row.join(u',') + QStringLiteral("\r\n");
            const QJsonArray& v = s == 1 ? two : one;
            QStringList sheet{students[s], s == 1 ? QStringLiteral("2") : QStringLiteral("1")};
            for (const QJsonValue q : v) {
                const int answer = byBank[q[QStringLiteral("bank")].toString()][s];
                const int at =
                    int(q[QStringLiteral("options")].toArray().toVariantList().indexOf(answer)) + 1;
                // Persian digits, as a teacher's sheet may hold them.
                sheet.append(answer == 9 ? QStringLiteral("*")
                             : answer    ? persianDigits(QString::number(at))
                                         : QString());
            }
            printed += sheet.join(u',') + QStringLiteral("\r\n");
        }
        const QuestionBank sheetBankRead = readQuestionBank(program_.context(), project_);
        const QString mapped =
            sheetsInBankOrder(readBytes(out_ + QStringLiteral("/exam.json")), printed);
        const QString direct = resultCsv(
            sheetBankRead, scoreSheets(sheetBankRead, inBank, sheetBankRead.scoring.penalty));
        QCOMPARE(resultCsv(sheetBankRead,
                           scoreSheets(sheetBankRead, mapped, sheetBankRead.scoring.penalty)),
                 direct);
        QVERIFY(direct.contains(QStringLiteral("overall")));
        // Several marked counts as a wrong answer: the third student's sheet scores as if each
        // "*" were a wrong option.
        QString wrongInstead = inBank;
        for (int i = int(bank.size()) - 1; i >= 0; --i) // from the row's end, as replaced
            if (byBank[bank[i]][2] == 9) {
                const BankQuestion* q = sheetBankRead.find(bank[i]);
                wrongInstead.replace(wrongInstead.lastIndexOf(u'*'), 1,
                                     QString::number(q->marked == 1 ? 2 : 1));
            }
        QVERIFY(wrongInstead != inBank);
        QCOMPARE(resultCsv(sheetBankRead,
                           scoreSheets(sheetBankRead, wrongInstead, sheetBankRead.scoring.penalty)),
                 direct);
        // The first student answered every question with the bank's answer 1: right on the
        // formulas and long science ones, wrong elsewhere.
        QVERIFY(direct.split(QStringLiteral("\r\n"))[1].startsWith(students[0]));

        // The command line reads the same sheets the same way.
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            return;
        const QString sheets = program_.path(QStringLiteral("sheets.csv"));
        const QString bankSheets = program_.path(QStringLiteral("bank.csv"));
        writeBytes(sheets, printed.toUtf8());
        writeBytes(bankSheets, inBank.toUtf8());
        run(binary, {QStringLiteral("score"), QStringLiteral("--project"), project_,
                     QStringLiteral("--exam"), out_, QStringLiteral("--answers"), sheets,
                     QStringLiteral("--out"), program_.path(QStringLiteral("a.csv"))});
        run(binary, {QStringLiteral("score"), QStringLiteral("--project"), project_,
                     QStringLiteral("--answers"), bankSheets, QStringLiteral("--out"),
                     program_.path(QStringLiteral("b.csv"))});
        QCOMPARE(readBytes(program_.path(QStringLiteral("a.csv"))),
                 "\xEF\xBB\xBF" + direct.toUtf8());
        QCOMPARE(readBytes(program_.path(QStringLiteral("b.csv"))),
                 "\xEF\xBB\xBF" + direct.toUtf8());
        // The record of another bank is blamed, not the sheet: a project whose lessons hold
        // one question each lacks most of the record's.
        const QString other = program_.path(QStringLiteral("Other bank"));
        makePaperProject(program_.context(), other, 1);
        QProcess p;
        p.start(binary, {QStringLiteral("score"), QStringLiteral("--project"), other,
                         QStringLiteral("--exam"), out_, QStringLiteral("--answers"), sheets,
                         QStringLiteral("--out"), program_.path(QStringLiteral("c.csv"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        const QString said = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("exam.json names question")) &&
                     !said.contains(QStringLiteral("line ")),
                 qPrintable(said));
    }

    // A printing goes in place whole or not at all, and touches only what it writes: one that
    // fails half way leaves no record to score by, a record never stands beside another
    // printing's booklets, the working folder goes with the printing; a link among the exam's
    // names is refused with its target as it was, a teacher's own file stays, and of an
    // earlier exam only what its record names goes.
    void aPrintingIsWholeAndConfined() {
        // Its folder is made with the folders above it, as the dialog's default needs.
        const QString out = program_.path(QStringLiteral("Export/paper-whole"));
        const auto print = [&](int versions, int seed) {
            PaperChoices c;
            c.versions = versions;
            c.seed = quint32(seed);
            return refusal([&] { writePaperExam(program_.context(), project_, u8("P"), out, c); });
        };
        QCOMPARE(print(3, 1), QStringLiteral("done"));
        writeBytes(out + QStringLiteral("/sheet-9.pdf"), "the teacher's own");
        // key.pdf cannot be replaced: the second printing fails, and nothing scores.
        QFile::remove(out + QStringLiteral("/key.pdf"));
        QVERIFY(QDir(out).mkpath(QStringLiteral("key.pdf/kept")));
        QVERIFY(print(2, 2).contains(QStringLiteral("key.pdf")));
        QVERIFY_THROWS_EXCEPTION(FsError, checkedExamRecord(out));
        QVERIFY(!QFileInfo::exists(out + QStringLiteral("/.tavrin-printing")));
        QVERIFY(QDir(out + QStringLiteral("/key.pdf")).removeRecursively());
        QCOMPARE(print(3, 2), QStringLiteral("done"));
        const QString outside = program_.path(QStringLiteral("outside.json"));
        for (const QString& name : {QStringLiteral("exam.json"), QStringLiteral("key.pdf")}) {
            writeBytes(outside, "kept");
            const QByteArray before = readBytes(out + u'/' + name);
            QFile::remove(out + u'/' + name);
            QVERIFY(QFile::link(outside, out + u'/' + name));
            QVERIFY(print(2, 3).startsWith(QStringLiteral("A link stands where")));
            QCOMPARE(readBytes(outside), QByteArray("kept"));
            QFile::remove(out + u'/' + name);
            writeBytes(out + u'/' + name, before);
        }
        QCOMPARE(print(2, 3), QStringLiteral("done"));
        QCOMPARE(readJson(out + QStringLiteral("/exam.json"))[QStringLiteral("seed")].toInt(), 3);
        QVERIFY(!QFile::exists(out + QStringLiteral("/booklet-3.pdf")));
        QCOMPARE(readBytes(out + QStringLiteral("/sheet-9.pdf")), QByteArray("the teacher's own"));
        QCOMPARE(paperExamFilesIn(out).size(), 8); // 2 booklets, 2 sheets, key, explanations,
                                                   // the record, the teacher's sheet-9
        // A record changed since its sheets were printed no longer has their digest: a key
        // edited by hand (or an older record put back) is refused, the sheets not scored by it.
        const QByteArray printed = readBytes(out + QStringLiteral("/exam.json"));
        QByteArray edited = printed;
        edited.replace("\"options\": [\n", "\"options\": [\n 9,\n");
        QVERIFY(edited != printed);
        writeBytes(out + QStringLiteral("/exam.json"), edited);
        QVERIFY(refusal([&] {
                    checkedExamRecord(out);
                }).contains(QStringLiteral("was changed after it was printed")));
        writeBytes(out + QStringLiteral("/exam.json"), printed);
        QCOMPARE(checkedExamRecord(out), printed);
        // A booklet of another printing beside the record is named, never scored.
        writeBytes(out + QStringLiteral("/booklet-2.pdf"),
                   readBytes(out_ + QStringLiteral("/booklet-2.pdf")));
        QVERIFY(refusal([&] {
                    checkedExamRecord(out);
                }).contains(QStringLiteral("booklet-2.pdf is not the one")));
        // A picture reached through a link out of the project is refused as the exports
        // refuse it.
        const QString project = program_.path(QStringLiteral("Linked picture"));
        makePaperProject(program_.context(), project);
        const QString picture = project + QStringLiteral("/BookTXT/quiz0-1-0.png");
        QVERIFY(QFile::rename(picture, program_.path(QStringLiteral("private.png"))));
        QVERIFY(QFile::link(program_.path(QStringLiteral("private.png")), picture));
        PaperChoices c;
        c.scope = {PaperScope::Kind::Lesson, 0, 1};
        QVERIFY(refusal([&] {
                    writePaperExam(program_.context(), project, QStringLiteral("P"),
                                   program_.path(QStringLiteral("linked")), c);
                }).contains(QStringLiteral("leaves the project folder")));
    }

    // A page reads its own folders and nothing else, a script's fetch included; a page that
    // never ends is stopped from outside at its time and the printing refused.
    void aPageIsConfinedAndBounded() {
        QTemporaryDir pages;
        writeBytes(pages.filePath("own.txt"), "own words");
        writeBytes(pages.filePath("reads.html"),
                   "<!doctype html><meta charset=utf-8><p id=r>none</p><script>"
                   "const tries = ['file:///etc/passwd', location.href.replace(/[^/]*$/, "
                   "'own.txt')];"
                   "Promise.all(tries.map((u) => fetch(u).then((r) => r.text())"
                   ".catch(() => 'blocked'))).then((t) => {"
                   "document.getElementById('r').textContent = t.join(' | ');"
                   "window.paperDone = true; });</script>");
        writeBytes(pages.filePath("endless.html"), "<!doctype html><script>for (;;) {}</script>");
        printPages({{pages.filePath("reads.html"), pages.filePath("reads.pdf")}}, {pages.path()});
        QCOMPARE(pdfText(pages.filePath("reads.pdf")).trimmed(),
                 QStringLiteral("blocked | own words"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(refusal([&] {
                    printPages({{pages.filePath("endless.html"), pages.filePath("endless.pdf")}},
                               {pages.path()}, {}, 3);
                }).startsWith(QStringLiteral("The page was not printed within 3 seconds")));
        QVERIFY2(timer.elapsed() < 30000, "stopped at its time");
        QVERIFY(!QFile::exists(pages.filePath("endless.pdf")));
    }

    // A missing picture is named and nothing printed, as the disc's check names it; a sheet
    // whose code cannot be made is refused, never printed blank.
    void whatCannotPrintIsRefused() {
        const QString project = program_.path(QStringLiteral("No picture"));
        makePaperProject(program_.context(), project);
        QVERIFY(QFile::remove(project + QStringLiteral("/BookTXT/quiz0-1-0.png")));
        const QString out = program_.path(QStringLiteral("no-picture"));
        PaperChoices c;
        c.scope = {PaperScope::Kind::Lesson, 0, 1};
        QVERIFY(refusal([&] {
                    writePaperExam(program_.context(), project, QStringLiteral("P"), out, c);
                }).startsWith(QStringLiteral("Picture 0 of question 1-2-1 is missing: ")));
        QVERIFY(
            QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        // What one exam may hold, each refused before anything is printed: a picture of 64
        // megapixels (its header says so), a question of 20,001 letters, questions of over
        // 2,000,000 letters together, 1,001 questions.
        {
            QFile png(project + QStringLiteral("/BookTXT/quiz0-1-0.png"));
            QVERIFY(png.open(QIODevice::WriteOnly));
            QImage(8000, 8000, QImage::Format_Mono).save(&png, "PNG");
        }
        QuestionBank large = readQuestionBank(program_.context(), project, QStringLiteral("P"));
        const auto refused = [&](const QuestionBank& b, const PaperScope& scope) {
            PaperChoices choices;
            choices.scope = scope;
            return refusal([&] { writePaperExam(program_.context(), b, out, choices); });
        };
        QVERIFY2(refused(large, c.scope).contains(QStringLiteral("larger than 40 megapixels")),
                 qPrintable(refused(large, c.scope)));
        large.lessons[0].questions[0].text = QString(20001, u'ک');
        QCOMPARE(refused(large, {PaperScope::Kind::Lesson, 0, 0}),
                 QStringLiteral("Question 1-1-1 is longer than 20000 characters"));
        large.lessons[0].questions[0].text = QString(kLongestPaperQuestion - 100, u'ک');
        for (int k = 0; k < 100; ++k)
            large.lessons[0].questions.append(large.lessons[0].questions[0]);
        QVERIFY(refused(large, {PaperScope::Kind::Lesson, 0, 0})
                    .startsWith(QStringLiteral("The exam's questions are longer than 2000000")));
        for (int k = 0; large.lessons[0].questions.size() <= kMostPaperQuestions; ++k)
            large.lessons[0].questions.append(large.lessons[0].questions[1 + k % 7]);
        QVERIFY(refused(large, {PaperScope::Kind::Lesson, 0, 0})
                    .startsWith(QStringLiteral("1001 questions are more than an exam may hold")));
        QVERIFY(
            QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        QuestionBank bank = readQuestionBank(program_.context(), project_, QString(3000, u'x'));
        const PaperExam exam = drawPaperExam(bank, {}, 1, 1, true);
        QVERIFY_THROWS_EXCEPTION(NothingToPrint, sheetData(bank, exam, c, 1));
        QVERIFY(!sheetData(readQuestionBank(program_.context(), project_, QStringLiteral("P")),
                           exam, c, 1)[QStringLiteral("qr")][0]
                     .toString()
                     .isEmpty());
    }

    void badSheetsAreNamed_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("why");
        QTest::newRow("version 5") << "a,5,1" << 2 << "\"5\" is not a version from 1 to 4";
        QTest::newRow("no version") << "a,,1" << 2 << "\"\" is not a version from 1 to 4";
        QTest::newRow("option 5") << "a,1,,5,,,,,,,,,," << 2
                                  << "question 2: \"5\" is not an option from 1 to 4 or empty";
        QTest::newRow("a word") << "a,2,x,,,,,,,,,,," << 2
                                << "question 1: \"x\" is not an option from 1 to 4 or empty";
        QTest::newRow("too long")
            << "a,1,1,1,1,1,1,1,1,1,1,1,1,1,1" << 2
            << "15 cells, the exam has 12 questions after the name and the version";
        // A row cut short is not scored as blanks.
        QTest::newRow("too short")
            << "a,1,1,2" << 2
            << "4 cells, the exam has 12 questions after the name and the version";
        QTest::newRow("a name alone") // found by fuzz_exam_sheets: it read past the row
            << "a" << 2 << "1 cells, the exam has 12 questions after the name and the version";
    }
    void badSheetsAreNamed() {
        QFETCH(QString, row);
        QFETCH(int, line);
        QFETCH(QString, why);
        try {
            sheetsInBankOrder(readBytes(out_ + QStringLiteral("/exam.json")),
                              QStringLiteral("name,version\r\n") + row + QStringLiteral("\r\n"));
            QFAIL("read");
        } catch (const BadSheet& bad) {
            QCOMPARE(QStringLiteral("line %1: %2").arg(bad.line()).arg(bad.why()),
                     QStringLiteral("line %1: %2").arg(line).arg(why));
        }
    }
};

QTEST_MAIN(PaperExamTest)
#include "tst_paper_exam.moc"
