// The formatter's text procedures: the examples of their rules, and seeded random texts
// against a straightforward reading of the rules written here with 1-based string steps.
#include "lesson/text_procedures.h"
#include "lessontext/docx_text.h"
#include "richtext/rich_text_plain.h"
#include "support/documents.h"
#include "support/docx_fixture.h"
#include "support/golden.h"
#include "support/reflow_reference.h"
#include "support/test_program.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString RLM = QString(QChar(0x200F));

QString randomText(QRandomGenerator& g, int words) {
    static const QStringList pieces{u8("سؤال"), u8("پاسخ"),        u8("درس"), u8("كتاب"),
                                    "Qt",       u8("مي\u200Cشود"), "#0#",     "1/2",
                                    u8("آب"),   u8("نور")};
    static const QStringList marks{".", "!", u8("؟"), ":", "", "", "", ""};
    QString t;
    for (int i = 0; i < words; ++i) {
        t += pieces[g.bounded(int(pieces.size()))] + marks[g.bounded(int(marks.size()))];
        const int gap = g.bounded(12);
        t += gap == 0 ? CRLF : gap == 1 ? CRLF + CRLF : gap == 2 ? QStringLiteral("  ") : " ";
        if (gap == 3)
            t += RLM + " ";
    }
    return t;
}

// Parts beside a Word document's main part, by name.
using Parts = QMap<QString, QString>;

// The words of a text, without table rules and list marks: what must not be lost.
QStringList wordsOf(const QString& text) {
    static const QRegularExpression rule(QStringLiteral("^[-+|=:]+$"));
    static const QRegularExpression mark(
        QStringLiteral("^(\\d+|[a-zA-Z]|[ivxlcdmIVXLCDM]+|[\\x{06F0}-\\x{06F9}]+)[.)]$"));
    QStringList words;
    for (const QString& w :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (!rule.match(w).hasMatch() && !mark.match(w).hasMatch())
            words.append(w);
    words.sort();
    return words;
}

} // namespace

class TextProceduresTest : public QObject {
    Q_OBJECT
private slots:
    // Word texts as Word shows them, with no word that pandoc finds in the same file lost:
    // notes after their paragraph, content controls in tables, list numbers in their formats
    // and starts (shared by the lists of one abstract list, from a style, in Persian digits
    // for a Persian list, in table cells), and a cell's paragraphs kept apart.
    // Each folder of tests/data/word: body.xml (the document's body), the parts beside it,
    // expected.txt (the lines as Word shows them), and main.txt if the main part is not
    // word/document.xml (found through the package's relationships, its parts beside it).
    // Every document holds a picture, "rIdPic1"; a notes part's own relationships are beside
    // it (footnotes.xml.rels).
    void wordTextsAsWordShowsThem_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<Parts>("beside");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("main");
        const QString word = sourceFile("tests/data/word/");
        for (const QString& name : QDir(word).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            Parts beside;
            for (const QString& part :
                 QDir(word + name)
                     .entryList({"*notes.xml", "*notes.xml.rels", "numbering.xml", "styles.xml"}))
                beside.insert(part,
                              QString::fromUtf8(readBytes(word + name + '/' + part)).trimmed());
            QTest::newRow(qPrintable(name))
                << QString::fromUtf8(readBytes(word + name + "/body.xml")).trimmed() << beside
                << QString::fromUtf8(readBytes(word + name + "/expected.txt")).trimmed().split('\n')
                << (QFile::exists(word + name + "/main.txt")
                        ? QString::fromUtf8(readBytes(word + name + "/main.txt")).trimmed()
                        : QStringLiteral("word/document.xml"));
        }
    }

    void wordTextsAsWordShowsThem() {
        QFETCH(QString, body);
        QFETCH(Parts, beside);
        QFETCH(QStringList, lines);
        QFETCH(QString, main);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.docx");
        writeDocx(path, body, pngOf(4, 4), main, beside);
        const QString rtf = docxToRtf(readBytes(path));
        // Every picture it shows, a note's through the note part's own relationships.
        qsizetype pictures = body.count(QStringLiteral("r:embed="));
        for (const QString& part : beside)
            pictures += part.count(QStringLiteral("r:embed="));
        QCOMPARE(rtf.count(QStringLiteral("\\pngblip")), pictures);
        const QString text = rtfToPlainText(rtf);
        QCOMPARE(text.split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts), lines);
        // pandoc reads the same file: every word it finds is here too.
        QProcess pandoc;
        pandoc.start("pandoc", {"-f", "docx", "-t", "plain", "--wrap=none", path});
        QVERIFY2(pandoc.waitForFinished(60000) && pandoc.exitCode() == 0,
                 "pandoc is needed (scripts/setup.sh installs it)");
        QStringList ours = wordsOf(text);
        for (const QString& word : wordsOf(QString::fromUtf8(pandoc.readAllStandardOutput()))) {
            QVERIFY2(ours.removeOne(word), qPrintable(word + " in pandoc's text, not in ours"));
        }
    }

    // The rules by example: tests/data/text/procedures.tsv.
    void examples_data() { tableData("text/procedures.tsv", {"call", "text", "gives"}); }
    void examples() {
        QFETCH(QString, call);
        QFETCH(QString, text);
        QFETCH(QString, gives);
        const QStringList words = call.split(u' ');
        const QString made =
            words[0] == "Rep"       ? Rep(text)
            : words[0] == "RemCrLf" ? RemCrLf(text)
            : words[0] == "DelCrLf" ? DelCrLf(text)
            : words[0] == "BeBor"
                ? BeBor(text, words[1].toInt())
                : reflowText(text, words[1].toInt(), words[2] == "yes", words[3] == "yes");
        QCOMPARE(made, gives);
    }

    // Seeded random texts of every kind against the reading above, W from 10 to 30.
    void reflowAgainstTheRules() {
        QRandomGenerator g(20261206);
        for (int round = 0; round < 600; ++round) {
            const int w = 10 + g.bounded(21);
            const QString text = randomText(g, 1 + g.bounded(round % 50 == 0 ? 3000 : 120));
            const bool hazP = g.bounded(2), noghte = g.bounded(2);
            QCOMPARE(reflowText(text, w, hazP, noghte), reflowReference(text, w, hazP, noghte));
        }
    }
};

QTEST_GUILESS_MAIN(TextProceduresTest)
#include "tst_text_procedures.moc"
