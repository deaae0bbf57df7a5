// The formatter's text procedures: the examples of their rules, and seeded random texts
// against a straightforward reading of the rules written here with 1-based string steps.
#include "lesson/text_procedures.h"
#include "lessontext/docx_text.h"
#include "richtext/rich_text_plain.h"
#include "support/documents.h"
#include "support/docx_fixture.h"
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

// A paragraph of one run, with its properties.
QString para(const QString& text, const QString& properties = {}) {
    return "<w:p>" + (properties.isEmpty() ? QString() : "<w:pPr>" + properties + "</w:pPr>") +
           "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}
QString listed(int list, int level = 0) {
    return QStringLiteral("<w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"%2\"/></w:numPr>")
        .arg(level)
        .arg(list);
}
QString cell(const QString& inside) {
    return "<w:tc>" + inside + "</w:tc>";
}
QString tableOf(const QString& rows) {
    return "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>" +
           rows + "</w:tbl>";
}
QString control(const QString& inside) {
    return "<w:sdt><w:sdtPr/><w:sdtContent>" + inside + "</w:sdtContent></w:sdt>";
}
// A notes part's separators and one note whose text follows its own number.
QString notes(const QString& kind, const QString& text, const QString& properties = {}) {
    return QStringLiteral("<w:%1 w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r>"
                          "</w:p></w:%1><w:%1 w:id=\"1\"><w:p>%3<w:r><w:%1Ref/></w:r><w:r>"
                          "<w:t xml:space=\"preserve\"> %2</w:t></w:r></w:p></w:%1>")
        .arg(kind, text, properties.isEmpty() ? QString() : "<w:pPr>" + properties + "</w:pPr>");
}

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
    // A package whose main part is not word/document.xml is found through its relationships,
    // with its numbering and pictures beside it.
    void wordMainPartFromRelationships() {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.docx");
        writeDocx(path,
                  "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>"
                  "</w:pPr><w:r><w:t>first</w:t></w:r></w:p><w:p><w:r><w:drawing><wp:inline>"
                  "<wp:extent cx=\"95250\" cy=\"95250\"/><a:graphic><a:graphicData><a:blip "
                  "r:embed=\"rIdPic1\"/></a:graphicData></a:graphic></wp:inline></w:drawing>"
                  "</w:r></w:p>",
                  pngOf(4, 4), "doc/main.xml");
        const QString rtf = docxToRtf(readBytes(path));
        QVERIFY2(rtf.contains("first"), qPrintable(rtf));
        QVERIFY(rtf.contains("\\pngblip"));
        QVERIFY(rtf.contains(QStringLiteral("\\u8226")) || rtf.contains(QChar(0x2022)));
    }

    // Word texts as Word shows them, with no word that pandoc finds in the same file lost:
    // notes after their paragraph, content controls in tables, list numbers in their formats
    // and starts (shared by the lists of one abstract list, from a style, in Persian digits
    // for a Persian list, in table cells), and a cell's paragraphs kept apart.
    void wordTextsAsWordShowsThem_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<Parts>("beside");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("notes")
            << "<w:p><w:r><w:t>Water boils</w:t></w:r><w:r><w:footnoteReference w:id=\"1\"/>"
               "</w:r><w:r><w:t xml:space=\"preserve\"> at 100 degrees.</w:t></w:r></w:p>"
               "<w:p><w:pPr><w:bidi/></w:pPr><w:r><w:t>" +
                   u8("آب") +
                   "</w:t></w:r><w:r><w:endnoteReference w:id=\"1\"/></w:r><w:r><w:t "
                   "xml:space=\"preserve\">" +
                   u8(" مایع است.") + "</w:t></w:r></w:p>" + para("Last line.")
            << Parts{{"footnotes.xml", notes("footnote", "At sea level.")},
                     {"endnotes.xml", notes("endnote", u8("در دمای اتاق."), "<w:bidi/>")}}
            << QStringList{"Water boils[1] at 100 degrees.", "[1] At sea level.",
                           u8("آب[2] مایع است."), u8("[2] در دمای اتاق."), "Last line."};
        QTest::newRow("content controls in a table")
            << tableOf("<w:tr>" + cell(para("a")) + cell(control(para("b"))) + "</w:tr>" +
                       control("<w:tr>" + cell(para("c")) + control(cell(para("d"))) + "</w:tr>"))
            << Parts{} << QStringList{"a | b", "c | d"};
        const QString numbering =
            "<w:abstractNum w:abstractNumId=\"30\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
            "<w:numFmt w:val=\"lowerLetter\"/><w:lvlText w:val=\"%1)\"/></w:lvl>"
            "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"lowerRoman\"/>"
            "<w:lvlText w:val=\"%2.\"/></w:lvl></w:abstractNum>"
            "<w:abstractNum w:abstractNumId=\"40\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"3\"/>"
            "<w:numFmt w:val=\"upperRoman\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
            "<w:abstractNum w:abstractNumId=\"50\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
            "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
            "<w:abstractNum w:abstractNumId=\"60\"><w:lvl w:ilvl=\"0\"><w:numFmt "
            "w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl><w:lvl w:ilvl=\"1\"><w:numFmt "
            "w:val=\"decimal\"/><w:lvlText w:val=\"%1.%2.\"/></w:lvl></w:abstractNum>"
            "<w:abstractNum w:abstractNumId=\"70\"><w:lvl w:ilvl=\"0\"><w:numFmt "
            "w:val=\"arabicAbjad\"/><w:lvlText w:val=\"%1)\"/></w:lvl></w:abstractNum>"
            "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"30\"/></w:num>"
            "<w:num w:numId=\"4\"><w:abstractNumId w:val=\"40\"/></w:num>"
            "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"50\"/></w:num>"
            "<w:num w:numId=\"6\"><w:abstractNumId w:val=\"50\"/></w:num>"
            "<w:num w:numId=\"7\"><w:abstractNumId w:val=\"50\"/><w:lvlOverride w:ilvl=\"0\">"
            "<w:startOverride w:val=\"1\"/></w:lvlOverride></w:num>"
            "<w:num w:numId=\"8\"><w:abstractNumId w:val=\"60\"/></w:num>"
            "<w:num w:numId=\"9\"><w:abstractNumId w:val=\"70\"/></w:num>";
        const QString styles =
            "<w:style w:type=\"paragraph\" w:styleId=\"ListBase\"><w:pPr><w:numPr><w:numId "
            "w:val=\"4\"/></w:numPr></w:pPr></w:style><w:style w:type=\"paragraph\" "
            "w:styleId=\"ListNum\"><w:basedOn w:val=\"ListBase\"/></w:style>";
        const QString style = "<w:pStyle w:val=\"ListNum\"/>";
        QTest::newRow("list numbers")
            << para("apple", listed(3)) + para("seed", listed(3, 1)) + para("core", listed(3, 1)) +
                   para("pear", listed(3)) + para("first", style) + para("second", style) +
                   para(u8("یک"), "<w:bidi/>" + listed(5)) +
                   para(u8("دو"), "<w:bidi/>" + listed(6)) +
                   para(u8("سه"), "<w:bidi/>" + listed(7)) + para("one", listed(8)) +
                   para("one.one", listed(8, 1)) + para("two", listed(8)) +
                   para(u8("الف"), "<w:bidi/>" + listed(9)) +
                   para(u8("ب"), "<w:bidi/>" + listed(9)) +
                   tableOf("<w:tr>" + cell(para("x", listed(4))) + cell(para("y")) + "</w:tr>")
            << Parts{{"numbering.xml", numbering}, {"styles.xml", styles}}
            << QStringList{"a) apple",     "i. seed",   "ii. core",   "b) pear",   "III. first",
                           "IV. second",   u8("۱. یک"), u8("۲. دو"),  u8("۱. سه"), "1. one",
                           "1.1. one.one", "2. two",    u8("ا) الف"), u8("ب) ب"),  "V. x | y"};
        QTest::newRow("paragraphs in cells")
            << tableOf("<w:tr>" + cell(para("q1") + para("q2")) + cell(para("r")) +
                       "</w:tr><w:tr>" + cell(para("s")) +
                       cell(para("t1") + para("") + para("t2")) + "</w:tr>")
            << Parts{} << QStringList{"q1", "q2 | r", "s | t1", "t2"};
    }

    void wordTextsAsWordShowsThem() {
        QFETCH(QString, body);
        QFETCH(Parts, beside);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.docx");
        writeDocx(path, body, {}, "word/document.xml", beside);
        const QString text = rtfToPlainText(docxToRtf(readBytes(path)));
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

    void repExamples() {
        QCOMPARE(Rep("a&nbsp;b"), QStringLiteral("a b"));
        QCOMPARE(Rep("<ircMAIN>x</ircMAIN><ircMAIN>y</ircMAIN>"), " x" + CRLF + "y" + CRLF);
        QCOMPARE(Rep(u8("علىي\u06CC")), u8("عليي\u06CC")); // Persian yeh stays
        QCOMPARE(Rep("a. b! c: d"), "a." + RLM + " b!" + RLM + " c:" + RLM + " d");
        QCOMPARE(Rep("a \r\n   b"), "a" + CRLF + " b"); // step 5 runs twice only
    }

    void reflowExamples() {
        QCOMPARE(reflowText("a\r\nb\r\n\r\nc", 20, true, false), "a b" + CRLF + "c" + CRLF);
        const QString eleven = "w1 w2 w3 w4 w5 w6 w7 w8 w9 w10 w11";
        const QString twelve = eleven + " w12";
        QCOMPARE(reflowText(eleven, 10, false, false), eleven + CRLF);
        QCOMPARE(reflowText(twelve, 10, false, false),
                 "w1 w2 w3 w4 w5 w6 w7 w8 w9 w10" + CRLF + "w11 w12" + CRLF);
        QCOMPARE(reflowText("a#0#b", 20, true, false), "a" + CRLF + "b" + CRLF);
        // A sentence ends its line with "." and RLM; the RLM and blank after it go.
        QCOMPARE(reflowText(Rep("one. two"), 20, true, true), "one." + RLM + CRLF + "two" + CRLF);
        QCOMPARE(reflowText(u8("چرا؟ بله"), 20, false, true),
                 u8("چرا؟") + CRLF + u8(" بله") + CRLF);
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

    void shortForms() {
        TestProgram p;
        QCOMPARE(RemCrLf("  x\r\ny"), QStringLiteral("x y"));
        QCOMPARE(RemCrLf("a   b"), QStringLiteral("a  b")); // one pass
        QCOMPARE(DelCrLf("\r\n\r\nq"), QStringLiteral("q"));
        const QString word30(30, u'ب');
        QCOMPARE(BeBor(word30, 20), word30.left(20) + "...");
        QCOMPARE(BeBor("short", 20), QStringLiteral("short"));
        const QString text = "0123456789012345678 9 tail";
        QCOMPARE(BeBor(text, 20), QStringLiteral("0123456789012345678 ..."));
        QCOMPARE(BeBor("0123456789012345678901234 x", 20),
                 QStringLiteral("0123456789012345678901234 ..."));
    }
};

QTEST_GUILESS_MAIN(TextProceduresTest)
#include "tst_text_procedures.moc"
