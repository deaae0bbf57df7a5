// Reads the real-world RTF corpus when it is present and compares plain text with what its
// sources expect. Prints a table of every file; known differences carry their reason.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

using namespace tavrin;
using namespace tavrin::test;

namespace {

QString corpusDir() {
    const QByteArray env = qgetenv("TAVRIN_RTF_CORPUS");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QString::fromLocal8Bit(qgetenv("TAVRIN_SOURCE_DIR")) +
           QStringLiteral("/../shared/rtf-corpus");
}

// Line ends unified; white space at the very end dropped.
QString normalised(QString text) {
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// The letters alone: blind to spacing, indents and line layout (LibreOffice pads RTL runs
// with U+2006 and indents list items).
QString lettersOf(const QString& text) {
    static const QRegularExpression space(QStringLiteral("[\\s\\x{2006}]+"));
    return normalised(text).remove(space);
}

QString expectedFor(const QString& dir, const QString& rtfPath) {
    const QFileInfo info(rtfPath);
    const QString base = info.completeBaseName();
    QString candidate = info.dir().filePath(base + QStringLiteral(".txt"));
    if (QFile::exists(candidate))
        return QString::fromUtf8(readBytes(candidate));
    candidate = dir + QStringLiteral("/_reference-libreoffice-7.4/") + info.dir().dirName() +
                QStringLiteral("__") + base + QStringLiteral(".lo.txt");
    if (QFile::exists(candidate))
        return QString::fromUtf8(readBytes(candidate));
    return QString();
}

// Where our text and the expected text differ by design, and why.
const QHash<QString, QString>& knownDifferences() {
    static const QHash<QString, QString> reasons = [] {
        QHash<QString, QString> out;
        for (const QStringList& row : tableRows("rtf/corpus_known_differences.tsv"))
            out.insert(row.value(0), invisible(row.value(1)));
        return out;
    }();
    return reasons;
}

enum class Verdict { Match, SameLetters, Differs, NoExpectation };

} // namespace

class TestRtfCorpus : public QObject {
    Q_OBJECT

    QString dir_;

    QString plain(const QString& relative) {
        return rtfBytesToPlainText(readBytes(dir_ + u'/' + relative));
    }

private slots:
    void init() {
        dir_ = corpusDir();
        // The real-world corpus is read only when it is beside the project; files of our own
        // are read by the RTF engine's test (tests/data/rtf/plain).
        if (!QFileInfo(dir_).isDir())
            QSKIP("the RTF corpus is not present");
    }

    void everyFileReadsAndMatchesWhereExpected() {
        QDirIterator it(dir_, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList files;
        while (it.hasNext())
            files << QDir(dir_).relativeFilePath(it.next());
        files.sort();
        QVERIFY(files.size() >= 70);
        QHash<Verdict, int> counts;
        for (const QString& file : files) {
            const QString got = plain(file);
            const QString expected = expectedFor(dir_, dir_ + u'/' + file);
            Verdict verdict = Verdict::NoExpectation;
            if (!expected.isNull()) {
                if (normalised(got) == normalised(expected))
                    verdict = Verdict::Match;
                else if (lettersOf(got) == lettersOf(expected))
                    verdict = Verdict::SameLetters;
                else
                    verdict = Verdict::Differs;
            }
            ++counts[verdict];
            static const char* const names[] = {"match", "same letters, other spacing", "differs",
                                                "no plain text expected"};
            qInfo().noquote() << "|" << file << "|" << got.size() << "|" << names[int(verdict)]
                              << "|" << knownDifferences().value(file) << "|";
            if (verdict == Verdict::Differs)
                QVERIFY2(knownDifferences().contains(file), qPrintable(file));
            else
                QVERIFY2(!knownDifferences().contains(file) || verdict != Verdict::Match,
                         qPrintable(file + QStringLiteral(" now matches: update the table")));
        }
        qInfo() << "match" << counts[Verdict::Match] << "same letters"
                << counts[Verdict::SameLetters] << "differs" << counts[Verdict::Differs]
                << "no expectation" << counts[Verdict::NoExpectation];
    }

    // The assertions other readers' suites make about their files.
    void substringsOtherReadersAssert_data() {
        tableData("rtf/corpus_substrings.tsv", {"present", "absent"});
    }
    void substringsOtherReadersAssert() {
        QFETCH(QString, present);
        QFETCH(QString, absent);
        const QString text = plain(QString::fromUtf8(QTest::currentDataTag()));
        for (const QString& p : present.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(text.contains(p), qPrintable(p));
        for (const QString& a : absent.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(!text.contains(a), qPrintable(a));
    }

    void binaryPictureDataMayHoldBraces() {
        QTextDocument doc;
        const QString path = dir_ + QStringLiteral("/tika/testBinControlWord.rtf");
        setDocumentRtf(&doc, rtfTextFromBytes(readBytes(path)), true);
        const QList<QTextImageFormat> images = imagesOf(doc);
        QCOMPARE(images.size(), 1);
        const QByteArray data = pictureOf(&doc, images.first()).data;
        QCOMPARE(data.size(), 10);
        QCOMPARE(data.at(4), '}');
        QCOMPARE(uchar(data.at(9)), uchar(0xFF));
        QVERIFY(!textOf(doc).contains(u'}'));
    }
};

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtf_corpus.moc"
