// Formulas in question texts: how a text divides into text and TeX (tests/data/formulas/
// pieces.tsv), Word's equations turned into TeX (tests/data/formulas/omml.tsv: equations as
// Word wrote them in other projects' test files, and ours; the player renders both TeX
// columns and compares them), and a Word lesson with equations read into the lesson box.
#include "lesson/formula_palette.h"
#include "lesson/text_procedures.h"
#include "lessontext/docx_text.h"
#include "lessontext/lesson_texts.h"
#include "lessontext/omml_tex.h"
#include "platform/formula_text.h"
#include "richtext/rich_text_plain.h"
#include "support/docx_fixture.h"
#include "support/formula_pieces.h"
#include "support/golden.h"
#include "widgets/persian_ui.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace tavrin;

namespace {

// Line ends in a table's cell ("⏎", "␍"), where "\\n" would be TeX.
QString unescaped(QString text) {
    return text.replace(QChar(0x23CE), u'\n').replace(QChar(0x240D), u'\r');
}

} // namespace

class FormulasTest : public QObject {
    Q_OBJECT

private slots:
    void textDividesIntoPieces_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pieces");
        QTest::addColumn<QString>("marks");
        for (const QStringList& row : test::tableRows(QStringLiteral("formulas/pieces.tsv")))
            QTest::newRow(qPrintable(row[0])) << unescaped(row[1]) << row[2] << row.value(3);
    }
    // Each text's pieces, and the picture marks found outside its formulas.
    void textDividesIntoPieces() {
        QFETCH(QString, text);
        QFETCH(QString, pieces);
        QFETCH(QString, marks);
        QCOMPARE(test::piecesText(text), unescaped(pieces));
        QStringList found;
        for (const ImageMark& m : imageMarks(text))
            found.append(QString::number(m.number));
        QCOMPARE(found.join(u','), marks);
        // The canonical form holds the same pieces, each in \( \) or \[ \].
        const QString canonical = canonicalFormulas(text);
        QCOMPARE(formulaPieces(canonical).size(), formulaPieces(text).size());
        QCOMPARE(canonicalFormulas(canonical), canonical);
    }

    void wordEquationsTurnIntoTex_data() {
        QTest::addColumn<QString>("omml");
        QTest::addColumn<QString>("tex");
        for (const QStringList& row : test::tableRows(QStringLiteral("formulas/omml.tsv")))
            QTest::newRow(qPrintable(row[0])) << row[2] << row[3];
    }
    void wordEquationsTurnIntoTex() {
        QFETCH(QString, omml);
        QFETCH(QString, tex);
        const docx::OmmlTex turned = docx::ommlToTex(omml);
        QCOMPARE(turned.tex, tex);
        // Only a part with no TeX is named, and it leaves its mark.
        QCOMPARE(turned.lost.isEmpty(), !tex.contains(QString::fromUtf16(docx::kLostMark)));
    }

    // The editor's palette: each button's TeX at the caret, in \( \) outside a formula.
    void paletteInsertsAtTheCaret_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        for (const QStringList& row : test::tableRows(QStringLiteral("formulas/palette.tsv")))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
    }
    void paletteInsertsAtTheCaret() {
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(QString, after);
        const int open = int(text.indexOf(u'['));
        const int caret = open >= 0 ? open : int(text.indexOf(u'|'));
        const int selected = open >= 0 ? int(text.indexOf(u']')) - open - 1 : 0;
        text.remove(u'|').remove(u'[').remove(u']');
        const auto item = std::find_if(formulaPalette().begin(), formulaPalette().end(),
                                       [&](const PaletteItem& i) { return button == i.name; });
        QVERIFY(item != formulaPalette().end());
        const PaletteInsert insert = paletteInsert(text, caret, selected, *item);
        QString made = text;
        made.replace(caret, selected, insert.text);
        made.insert(caret + insert.caret, u'|');
        QCOMPARE(made, after);
    }

    // Where the windows draw a text (the outline, a notice), a formula is its source, isolated
    // left to right; the rest as Persian text.
    void windowsDrawTheSource() {
        QCOMPARE(shownInWindows(QStringLiteral(u"سرعت 2 و \\(x^2\\) يا $5$")),
                 QStringLiteral(u"سرعت ۲ و \u2066\\(x^2\\)\u2069 یا \u2066$5$\u2069"));
    }

    // A Persian lesson in Word with an inline equation, a display one, a part no reader
    // knows and an older equation object: each formula in its place in the sentence, the
    // lost part marked, the object's picture kept, and both named for the author.
    void wordLessonKeepsItsEquations() {
        const QString m = QStringLiteral(
            "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"");
        const QString body =
            QStringLiteral("<w:p><w:pPr><w:bidi/></w:pPr><w:r><w:rPr><w:rtl/></w:rPr>"
                           "<w:t xml:space=\"preserve\">سرعت برابر </w:t></w:r>"
                           "<m:oMath %1><m:r><m:t>𝑣</m:t></m:r><m:r><m:t>=</m:t></m:r><m:f>"
                           "<m:num><m:r><m:t>𝑑</m:t></m:r></m:num><m:den><m:r><m:t>𝑡</m:t>"
                           "</m:r></m:den></m:f></m:oMath><w:r><w:rPr><w:rtl/></w:rPr>"
                           "<w:t xml:space=\"preserve\"> است. فاکتوریل: </w:t></w:r>"
                           "<m:oMath %1><m:r><m:t>n!</m:t></m:r><m:r><m:t>+</m:t></m:r>"
                           "<m:strange><m:r><m:t>q</m:t></m:r></m:strange></m:oMath></w:p>"
                           "<w:p><m:oMathPara %1><m:oMath><m:r><m:t>3.14</m:t></m:r>"
                           "</m:oMath></m:oMathPara></w:p>"
                           "<w:p><w:r><w:t>شیء: </w:t></w:r><w:r><w:object><v:shape "
                           "xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:imagedata "
                           "r:id=\"rIdPic1\"/></v:shape></w:object></w:r></w:p>")
                .arg(m);
        QTemporaryDir dir;
        test::writeDocx(dir.filePath(QStringLiteral("lesson.docx")), body, test::pngOf(4, 4));
        const LessonText text = readLessonText(dir.path(), QStringLiteral("lesson.docx"));
        const QString plain = rtfToPlainText(text.text);
        const QStringList lines =
            plain.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral(u"سرعت برابر \\(v=\\frac{d}{t}\\) است. فاکتوریل: "
                                                u"\\(n!+\\boxed{?}\\)")
                                     .trimmed());
        QCOMPARE(lines.value(1), QStringLiteral("\\[3.14\\]"));
        QVERIFY(text.text.contains(QStringLiteral("\\pngblip")));
        QCOMPARE(text.notes.size(), 2);
        QVERIFY(text.notes[0].endsWith(QStringLiteral("m:strange")));
        QVERIFY(text.notes[1].endsWith(u'1'));
    }
};

QTEST_GUILESS_MAIN(FormulasTest)
#include "tst_formulas.moc"
