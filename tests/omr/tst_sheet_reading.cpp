// Answer sheets read back as a class fills them and scanners, copiers and phones pass them:
// nothing read wrong without a review row, double marks always listed, full marks on a clean
// scan read without review, pages of another printing refused, bad files refused with their
// cause, and the verb's sheets scored by `score --exam`.

#include "exam/paper_record.h"
#include "omr/scan_pages.h"
#include "omr/sheets_output.h"
#include "omr/sheets_results.h"
#include "paper/paper_exam.h"
#include "platform/csv.h"
#include "sheet_batch.h"
#include "support/paper_project.h"
#include "support/test_program.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

class SheetReadingTest : public QObject {
    Q_OBJECT

    TestProgram program_;
    QString project_, exam_, other_;
    QJsonObject record_;

    QString printed(const QString& name, quint32 seed) {
        const QString out = program_.path(name);
        PaperChoices c;
        c.versions = 2;
        c.seed = seed;
        c.scope = {PaperScope::Kind::Field, 0, 0};
        writePaperExam(program_.context(), project_, QStringLiteral("Project 1"), out, c);
        return out;
    }

    // Sheets filled, passed and written as files; what each meant.
    QList<FilledSheet> batch(int sheets, Passage how, bool plain, std::mt19937& random) {
        QList<FilledSheet> filled;
        QList<cv::Mat> pages;
        const QString base = program_.path(QStringLiteral("scan-%1-%2").arg(int(how)).arg(plain));
        for (int s = 0; s < sheets; ++s) {
            FilledSheet sheet;
            sheet.version = 1 + s % 2;
            pages.append(passed(filledPage(exam_, record_, sheet, random, plain), how, random));
            if (how == Passage::Scan300 || how == Passage::Copy200) { // one PDF, a page each
                sheet.file = base + QStringLiteral(".pdf");
                sheet.page = s + 1;
            } else {
                sheet.file = base + QStringLiteral("-%1.%2").arg(s).arg(
                                        how == Passage::Phone ? QStringLiteral("jpg")
                                                              : QStringLiteral("png"));
                writeImage(sheet.file, pages.last(), how == Passage::Phone ? 70 : 0);
            }
            filled.append(sheet);
        }
        if (how == Passage::Scan300 || how == Passage::Copy200)
            writePdf(base + QStringLiteral(".pdf"), pages, how == Passage::Scan300 ? 300 : 200);
        // For a person to look at what was read: TAVRIN_KEEP_SCANS names a folder.
        if (const QString keep = qEnvironmentVariable("TAVRIN_KEEP_SCANS"); !keep.isEmpty())
            for (const FilledSheet& s : std::as_const(filled))
                QFile::copy(s.file, keep + u'/' + QFileInfo(s.file).fileName());
        return filled;
    }

    SheetsReading readBack(const QList<FilledSheet>& filled) {
        SheetReader reader(checkedExamRecord(exam_));
        QStringList files;
        for (const FilledSheet& s : filled)
            if (!files.contains(s.file))
                files.append(s.file);
        for (const QString& f : files)
            reader.readPath(f);
        return reader.finish();
    }

    static QByteArray pdfBomb(int megabytes) {
        const QByteArray drawing = QByteArray("0 0 m 1 1 l S\n").repeated(megabytes << 16);
        const QByteArray packed = qCompress(drawing, 9).mid(4); // the zlib stream alone
        const QList<QByteArray> objects = {
            "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R >>",
            "<< /Length " + QByteArray::number(packed.size()) +
                " /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream"};
        QByteArray out = "%PDF-1.4\n";
        QList<qsizetype> at;
        for (int i = 0; i < objects.size(); ++i) {
            at.append(out.size());
            out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 5\n0000000000 65535 f \n";
        for (const qsizetype a : at)
            out += QByteArray::number(a).rightJustified(10, '0') + " 00000 n \n";
        out += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) +
               "\n%%EOF\n";
        return out;
    }

private slots:
    void initTestCase() {
        project_ = program_.path(QStringLiteral("Project 1"));
        copyShippedResources(program_.folder());
        makePaperProject(program_.context(), project_, 20);
        exam_ = printed(QStringLiteral("exam"), 11);
        other_ = printed(QStringLiteral("other"), 12);
        record_ = QJsonDocument::fromJson(checkedExamRecord(exam_)).object();
        QVERIFY(optionsOf(record_, 1).size() >= 30);
    }

    // A clean scan of dark fills reads without review, every answer as filled.
    void fullMarksReadWithoutReview() {
        std::mt19937 random(1);
        const QList<FilledSheet> filled = batch(6, Passage::Scan300, true, random);
        const SheetsReading read = readBack(filled);
        const BatchFigures f = compare(filled, read);
        QVERIFY2(f.silent.isEmpty(), qPrintable(f.silent.join(u'\n')));
        QCOMPARE(read.pagesRefused, 0);
        QCOMPARE(read.sheets.size(), 6);
        QVERIFY2(f.reviewed * 100 <= f.questions, qPrintable(QString::number(f.reviewed)));
        QCOMPARE(f.numbersRead, 6);
    }

    // Every way a sheet reaches the reader, every way a class marks it: wrong only with a row
    // to review, double marks all listed, numbers read or listed.
    void degradedSheetsAreNeverWrongInSilence_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("a 300 dpi scan") << int(Passage::Scan300);
        QTest::newRow("a 200 dpi black and white copy") << int(Passage::Copy200);
        QTest::newRow("upside down") << int(Passage::UpsideDown);
        QTest::newRow("a phone's photo, JPEG 70") << int(Passage::Phone);
    }
    void degradedSheetsAreNeverWrongInSilence() {
        QFETCH(int, how);
        std::mt19937 random(100 + how);
        const QList<FilledSheet> filled = batch(4, Passage(how), false, random);
        const SheetsReading read = readBack(filled);
        const BatchFigures f = compare(filled, read);
        qInfo("%d questions, %d marks: %d reviewed, %d of %d double marks listed, %d of %d "
              "numbers read",
              f.questions, f.marks, f.reviewed, f.severalListed, f.several, f.numbersRead,
              f.numbers);
        QVERIFY2(read.pagesRefused == 0, qPrintable(read.review.value(0).why));
        QVERIFY2(f.silent.isEmpty(), qPrintable(f.silent.join(u'\n')));
        QCOMPARE(f.severalListed, f.several);
        QVERIFY(f.several > 0);
    }

    // A page of another printing is refused with its file and page, never scored; the rest
    // of the batch is read.
    void anotherPrintingIsRefused() {
        std::mt19937 random(7);
        FilledSheet theirs;
        const QJsonObject otherRecord = QJsonDocument::fromJson(checkedExamRecord(other_)).object();
        const QString file = program_.path(QStringLiteral("other.png"));
        writeImage(file, filledPage(other_, otherRecord, theirs, random, true));
        QList<FilledSheet> ours = batch(1, Passage::UpsideDown, true, random);
        SheetReader reader(checkedExamRecord(exam_));
        reader.readPath(file);
        reader.readPath(ours[0].file);
        const SheetsReading read = reader.finish();
        QCOMPARE(read.pagesRefused, 1);
        QCOMPARE(read.sheets.size(), 1);
        QCOMPARE(read.review.first().file, file);
        QCOMPARE(read.review.first().page, 1);
        QVERIFY2(read.review.first().why.startsWith(QStringLiteral("a sheet of another printing")),
                 qPrintable(read.review.first().why));
        QVERIFY(!read.review.first().crop.isNull());
    }

    // Files that are no scan are refused with their cause, in bounded time and memory.
    void badFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QByteArray pdf;
        {
            QFile f(exam_ + QStringLiteral("/sheet-1.pdf"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            pdf = f.readAll();
        }
        QTest::newRow("a PDF cut short") << pdf.left(pdf.size() / 3) << QStringLiteral("the PDF");
        QTest::newRow("no picture")
            << QByteArray("name,version\n1,2\n") << QStringLiteral("neither a PDF nor a picture");
        // A PNG's header that claims 50,000 x 50,000 pixels.
        const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"
                                                   "0000c3500000c35008000000006ec46216"
                                                   "0000000949444154789c630000000100015eff7df9"
                                                   "0000000049454e44ae426082");
        QTest::newRow("50,000 x 50,000 pixels") << png << QStringLiteral("pixels, more than");
        // A page of an ordinary size whose drawing of 200 MB of lines is compressed to 0.4 MB.
        QTest::newRow("a PDF bomb") << pdfBomb(200) << QStringLiteral("to draw");
    }
    void badFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        const QString file = program_.path(QStringLiteral("bad.bin"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        try {
            readScanPages(file, [](ScanPage&&) {});
            QFAIL("read");
        } catch (const ScanUnreadable& e) {
            QVERIFY2(e.why.contains(why), qPrintable(e.why));
            QVERIFY(!e.persian.isEmpty());
        }
    }

    // A number settled by the teacher names the sheet and joins it to the student's other
    // page, and the rows that called either page missing go; a settled answer replaces what
    // was read; neither touches another sheet. A page the student's sheet already holds is
    // another student's of the same number: kept apart, as the reading keeps them.
    void settlingMendsTheSheets() {
        SheetsReading r;
        r.sheets = {
            {QStringLiteral("11"), QStringLiteral("11"), 1, {"1", "", ""}, "a", 1, {1}},
            {QStringLiteral("a#2"), QString(), 1, {"", "*", "3"}, "a", 2, {2}},
            {QStringLiteral("12345678"), QStringLiteral("12345678"), 1, {"", "", ""}, "a", 3, {1}},
            {QStringLiteral("a#4"), QString(), 1, {"2", "", ""}, "a", 4, {1}}};
        r.review = {{"a", 2, "a#2", 1, "number", "1?", {}, {}, {}, 1, {}, 0, "1?"},
                    {"a", 2, "a#2", 1, "2", "*", {}, {}, {}, 1, {1, 2, 3, 4}, 0, "*"},
                    {"a", 3, "12345678", 1, "1", "", {}, {}, {}, 2, {1, 2, 3, 4}, 0, ""},
                    {"a", 4, "a#4", 1, "number", "?", {}, {}, {}, 3, {}, 0, "?"},
                    {"a", 1, "11", 1, {}, {}, "page 2", {}, {}, 0, {}, 2, {}},
                    {"a", 2, "a#2", 1, {}, {}, "page 1", {}, {}, 1, {}, 1, {}},
                    {"a", 3, "12345678", 1, {}, {}, "page 2", {}, {}, 2, {}, 2, {}},
                    {"a", 4, "a#4", 1, {}, {}, "page 2", {}, {}, 3, {}, 2, {}}};
        QVERIFY(!settleNumber(r, 0, QStringLiteral("1x")));
        QVERIFY(!settleNumber(r, 1, QStringLiteral("11")));
        QCOMPARE(r.sheets.size(), 4);
        settleReview(r, 1, QStringLiteral("2"));
        QVERIFY(settleNumber(r, 0, QStringLiteral("11")));
        QCOMPARE(r.sheets.size(), 3);
        QCOMPARE(r.sheets[0].answers, (QStringList{"1", "2", "3"}));
        QCOMPARE(r.sheets[0].number, QStringLiteral("11"));
        QCOMPARE(r.sheets[0].pages, (QList<int>{1, 2}));
        QCOMPARE(r.review.size(), 6);
        QCOMPARE(r.review[1].sheet, 0);
        QCOMPARE(r.review[2].sheet, 1);
        QCOMPARE(r.review[4].why, QStringLiteral("page 2")); // the other student's, kept
        QCOMPARE(r.review[4].sheet, 1);
        settleReview(r, 2, QStringLiteral("4"));
        QCOMPARE(r.sheets[1].answers.first(), QStringLiteral("4"));
        // Page 1 of a second sheet numbered 11: two students, both listed.
        QVERIFY(settleNumber(r, 3, QStringLiteral("11")));
        QCOMPARE(r.sheets.size(), 3);
        QCOMPARE(r.sheets[2].name, QStringLiteral("11"));
        QCOMPARE(r.review.size(), 6);
        QCOMPARE(sheetsCsv(r, 3), QByteArray("\xEF\xBB\xBFname,version,1,2,3\r\n11,1,1,2,3\r\n"
                                             "12345678,1,4,,\r\n11,1,2,,\r\n"));
        // An earlier reading is any of its files, asked about before one is replaced.
        const QString folder = program_.path(QStringLiteral("earlier"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/review")));
        QCOMPARE(sheetsResultsIn(folder), QStringList{QStringLiteral("review")});
        QVERIFY(QFile(folder + QStringLiteral("/scores.csv")).open(QIODevice::WriteOnly));
        QCOMPARE(sheetsResultsIn(folder), (QStringList{"review", "scores.csv"}));
    }

    // The verb: the sheets it writes are what `score --exam` reads, the review folder holds a
    // row and a crop for each doubt, and its exit says what happened.
    void theVerbWritesWhatScoreReads() {
        const QString binary = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary.isEmpty())
            QSKIP("TAVRIN_BINARY names the program");
        std::mt19937 random(3);
        const QList<FilledSheet> filled = batch(2, Passage::Scan300, false, random);
        const QString sheets = program_.path(QStringLiteral("sheets.csv"));
        const QString review = program_.path(QStringLiteral("review"));
        QProcess p;
        p.start(binary, {QStringLiteral("read-sheets"), QStringLiteral("--exam"), exam_,
                         QStringLiteral("--out"), sheets, QStringLiteral("--review"), review,
                         filled[0].file});
        QVERIFY(p.waitForFinished(300000));
        QCOMPARE(p.exitCode(), 0);
        const QList<QStringList> rows =
            csvRows(QString::fromUtf8(readBytes(review + QStringLiteral("/review.csv"))));
        QCOMPARE(rows.first(), (QStringList{QStringLiteral("file"), QStringLiteral("page"),
                                            QStringLiteral("name"), QStringLiteral("version"),
                                            QStringLiteral("question"), QStringLiteral("read"),
                                            QStringLiteral("why"), QStringLiteral("crop")}));
        QVERIFY(rows.size() > 1);
        for (const QStringList& row : rows.mid(1))
            if (row.value(7).size() > 0)
                QVERIFY2(QImage(review + u'/' + row[7]).width() > 50, qPrintable(row[7]));
        QProcess score;
        score.start(binary, {QStringLiteral("score"), QStringLiteral("--project"), project_,
                             QStringLiteral("--exam"), exam_, QStringLiteral("--answers"), sheets,
                             QStringLiteral("--out"), program_.path(QStringLiteral("result.csv"))});
        QVERIFY(score.waitForFinished(60000));
        QVERIFY2(score.exitCode() == 0, score.readAllStandardError().constData());
        // A page refused is exit 1; a file that is no scan, exit 2.
        QProcess refused;
        refused.start(binary,
                      {QStringLiteral("read-sheets"), QStringLiteral("--exam"), other_,
                       QStringLiteral("--out"), sheets, QStringLiteral("--force"), filled[0].file});
        QVERIFY(refused.waitForFinished(300000));
        QCOMPARE(refused.exitCode(), 1);
        QVERIFY(QString::fromUtf8(refused.readAllStandardError())
                    .contains(QStringLiteral("another printing")));
        QProcess bad;
        bad.start(binary, {QStringLiteral("read-sheets"), QStringLiteral("--exam"), exam_,
                           QStringLiteral("--out"), sheets, QStringLiteral("--force"), sheets});
        QVERIFY(bad.waitForFinished(60000));
        QCOMPARE(bad.exitCode(), 2);
        const QString said = QString::fromUtf8(bad.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("neither a PDF nor a picture")) &&
                     said.contains(QStringLiteral(u"نه PDF است")),
                 qPrintable(said));
        // The reader's module that does not load is named, and the sheets already written stay.
        const QByteArray before = readBytes(sheets);
        QProcess broken;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAVRIN_OMR_MODULE"), sheets);
        broken.setProcessEnvironment(env);
        broken.start(binary,
                     {QStringLiteral("read-sheets"), QStringLiteral("--exam"), exam_,
                      QStringLiteral("--out"), sheets, QStringLiteral("--force"), filled[0].file});
        QVERIFY(broken.waitForFinished(60000));
        QCOMPARE(broken.exitCode(), 2);
        const QString why = QString::fromUtf8(broken.readAllStandardError());
        QVERIFY2(why.contains(QFileInfo(sheets).fileName()), qPrintable(why));
        QCOMPARE(readBytes(sheets), before);
    }
};

QTEST_MAIN(SheetReadingTest)
#include "tst_sheet_reading.moc"
