// The RTF engine: reading what other editors write, writing what it reads back, surviving
// bad input.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_writer.h"
#include "support/documents.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// A one-colour picture in an image file format.
QByteArray imageBytes(int w, int h, QColor colour, const char* format,
                      QImage::Format pixels = QImage::Format_RGB32) {
    QImage image(w, h, pixels);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray pngBytes(int w, int h, QColor colour) {
    return imageBytes(w, h, colour, "PNG");
}

// A 2x2 24-bit DIB: the BMP file without its 14-byte header.
QByteArray dibBytes() {
    return imageBytes(2, 2, Qt::red, "BMP", QImage::Format_RGB888).mid(14);
}

// The side a paragraph is aligned to on screen.
Qt::Alignment sideOf(const QTextBlock& block) {
    const bool rtl = block.textDirection() == Qt::RightToLeft;
    if (!block.blockFormat().hasProperty(QTextFormat::BlockAlignment))
        return rtl ? Qt::AlignRight : Qt::AlignLeft;
    Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (rtl && !(block.blockFormat().alignment() & Qt::AlignAbsolute)) {
        if (a == Qt::AlignLeft)
            return Qt::AlignRight;
        if (a == Qt::AlignRight)
            return Qt::AlignLeft;
    }
    return a & ~Qt::AlignAbsolute;
}

// Malformed input: whatever can be read, nothing more.
void addBadInputRows() {
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 abc{\\b def") << u8("abcdef");
    QTest::newRow("stray closing brace") << QByteArray("{\\rtf1 a}}} b") << u8("a");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'4") << u8("a");
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << u8("azzb");
    QTest::newRow("huge bin count") << QByteArray("{\\rtf1 a\\bin2147483647 xyz}") << u8("a");
    QTest::newRow("bin count beyond int")
        << QByteArray("{\\rtf1 a\\bin99999999999999 x}") << u8("a");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << u8("ab");
    QTest::newRow("endless control word")
        << QByteArray("{\\rtf1 \\") + QByteArray(5000, 'a') + "1 x}" << u8("x");
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u8("a");
    QTest::newRow("unclosed picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip 0a0") << u8("a");
    QTest::newRow("huge picture goal")
        << QByteArray("{\\rtf1 {\\pict\\wmetafile8\\picwgoal2147483647\\pichgoal-9 00}b}")
        << u8("b");
    QTest::newRow("huge uc") << QByteArray("{\\rtf1\\uc2147483647\\u1587 abc}") << u8("س");
}

const char* const kHeader = "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 "
                            "Tahoma;}{\\f1\\fnil\\fcharset0 Arial;}}";

} // namespace

class TestRichText : public QObject {
    Q_OBJECT

private slots:
    // ---- reading what other editors write ------------------------------------------

    void plainTextOfSamples_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const QByteArray h(kHeader);
        QTest::newRow("1256 hex") << h + "\\f0 \\'d3\\'e1\\'c7\\'e3}" << u8("سلام");
        QTest::newRow("1256 persian letters")
            << h + "\\f0 \\'81\\'8d\\'8e\\'90\\'98 \\'9d}" << u8("پچژگک \u200c");
        QTest::newRow("raw 8-bit bytes as RichEdit writes them")
            << h + "\\f0 \xd3\xe1\xc7\xe3 abc}" << u8("سلام abc");
        QTest::newRow("font charsets decide")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}"
                          "{\\f1\\fcharset178 B;}{\\f2\\fcharset204 C;}{\\f3\\fcharset177 D;}"
                          "{\\f4\\fcharset180 E;}{\\f5\\fcharset1 F;}{\\f6\\cpg1253 G;}}"
                          "\\f0\\'e9 \\f1\\'c7 \\f2\\'c0 \\f3\\'e0 \\f4\\'c8 \\f5\\'e9 \\f6\\'e1}")
            << u8("é ا А א ب é α");
        QTest::newRow("ansicpg when the font names none")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fnil Tahoma;}}\\f0 \\'c8}")
            << u8("ب");
        QTest::newRow("double-byte code page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS;}}"
                          "\\f0 \\'82\\'b1\\'82\\'f1}")
            << u8("こん");
        QTest::newRow("u with one fallback") << h + "\\u1587?\\u1604?}" << u8("سل");
        QTest::newRow("uc2 skips two") << h + "\\uc2\\u1587\\'3f\\'3f x}" << u8("س x");
        QTest::newRow("uc0 skips none") << h + "\\uc0\\u1587 x}" << u8("سx");
        QTest::newRow("uc in a group ends with it")
            << h + "{\\uc2\\u228\\'E8a}\\u1587?b}" << u8("äسb");
        QTest::newRow("control word counts as one fallback")
            << h + "\\u1587\\'3f\\par x}" << u8("س\r\nx");
        QTest::newRow("negative u") << h + "\\u-3913?\\u-1?}" << u8("\uf0b7\uffff");
        QTest::newRow("surrogate pair") << h + "\\u-10179?\\u-8704?}" << u8("\U0001F600");
        QTest::newRow("ignorable destination") << h + "a{\\*\\unknown {b{c}} d}e}" << u8("ae");
        QTest::newRow("known skipped destinations")
            << h + "{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                   "{\\header H}{\\footnote F}x}"
            << u8("x");
        QTest::newRow("field result only")
            << h + "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} y}"
            << u8("link y");
        QTest::newRow("upr prefers ud") << h + "{\\upr{ansi}{\\*\\ud{uni\\u1587?}}}}" << u8("uniس");
        QTest::newRow("star after text is no destination") << h + "{a\\*\\cs7 b}}" << u8("ab");
        QTest::newRow("bin bytes may hold braces")
            << h + "a{\\pict\\pngblip\\bin5 {}}\\{}b}" << u8("ab");
        QTest::newRow("bin outside a picture is skipped") << h + "a\\bin3 x}yb}" << u8("ab");
        QTest::newRow("escapes and symbols")
            << h + "\\\\ \\{\\} \\~\\_\\-\\tab\\emdash\\endash\\bullet\\lquote\\rquote"
                   "\\ldblquote\\rdblquote\\zwnj\\rtlmark}"
            << u8("\\ {} \u00a0\u2011\u00ad\t—–•‘’“”\u200c\u200f");
        QTest::newRow("par line cell and a final paragraph")
            << h + "a\\par b\\line c\\cell d\\par }" << u8("a\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("hidden text") << h + "a{\\v secret}b\\v c\\v0 d}" << u8("abd");
        QTest::newRow("shppict shown, nonshppict skipped")
            << h + "x{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}y}"
            << u8("xy");
        QTest::newRow("text after the document") << h + "a} trailing" << u8("a");
        QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QString();
        addBadInputRows();
    }

    void plainTextOfSamples() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(rtfBytesToPlainText(rtf), text);
        // The box's path (a document) gives the same text, pictures aside.
        QTextDocument doc;
        setDocumentRtf(&doc, rtfTextFromBytes(rtf), true);
        QCOMPARE(textOf(doc).remove(QChar::ObjectReplacementCharacter), text);
        for (const QTextImageFormat& image : imagesOf(doc))
            QVERIFY(image.width() <= 4000 && image.height() <= 4000);
    }

    void notRtfComesBackAsItIs() {
        QCOMPARE(rtfToPlainText(u8("سلام\r\ndunya")), u8("سلام\r\ndunya"));
        QCOMPARE(rtfToPlainText(u8("{not rtf}")), u8("{not rtf}"));
        // RTF held in a string (not bytes): letters above ASCII are taken as they are.
        QCOMPARE(rtfToPlainText(u8("{\\rtf1 سلام\\par é}")), u8("سلام\r\né"));
    }

    void paragraphAndCharacterFormats() {
        const QByteArray rtf = QByteArray(kHeader) + "{\\colortbl ;\\red255\\green0\\blue0;}"
                                                     "\\pard\\rtlpar\\qr\\b ab\\b0\\par"
                                                     "\\pard\\ltrpar\\ql\\i\\ul c\\plain\\par"
                                                     "\\pard\\qc\\f1\\fs40\\cf1 d\\par"
                                                     "\\pard\\qj e}";
        QTextDocument doc;
        setDocumentRtf(&doc, rtfTextFromBytes(rtf), true);
        QCOMPARE(doc.blockCount(), 4);
        const QTextBlock b0 = doc.findBlockByNumber(0);
        QCOMPARE(b0.blockFormat().layoutDirection(), Qt::RightToLeft);
        QCOMPARE(b0.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
        QVERIFY(b0.begin().fragment().charFormat().fontWeight() >= QFont::Bold);
        const QTextBlock b1 = doc.findBlockByNumber(1);
        QCOMPARE(b1.blockFormat().layoutDirection(), Qt::LeftToRight);
        QCOMPARE(b1.blockFormat().alignment(), Qt::AlignLeft | Qt::AlignAbsolute);
        QVERIFY(b1.begin().fragment().charFormat().fontItalic());
        QVERIFY(b1.begin().fragment().charFormat().fontUnderline());
        QVERIFY(b1.begin().fragment().charFormat().fontWeight() < QFont::Bold);
        const QTextBlock b2 = doc.findBlockByNumber(2);
        QCOMPARE(b2.blockFormat().alignment(), Qt::AlignHCenter);
        const QTextCharFormat f2 = b2.begin().fragment().charFormat();
        QCOMPARE(f2.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
        QCOMPARE(f2.fontPointSize(), 20.0);
        QCOMPARE(f2.foreground().color(), QColor(255, 0, 0));
        // \pard drops the direction; the last paragraph keeps its format without \par.
        const QTextBlock b3 = doc.findBlockByNumber(3);
        QVERIFY(!b3.blockFormat().hasProperty(QTextFormat::LayoutDirection));
        QCOMPARE(b3.blockFormat().alignment(), Qt::AlignJustify);
    }

    void pictureKinds() {
        const QByteArray png = pngBytes(4, 3, Qt::blue);
        const QByteArray jpeg = imageBytes(5, 5, Qt::green, "JPEG");
        const QByteArray rtf =
            QByteArray(kHeader) + "{\\pict\\pngblip\\picw4\\pich3 " + png.toHex() + "}" +
            "{\\pict\\jpegblip\\picwgoal150\\pichgoal300 " + jpeg.toHex() + "}" +
            "{\\pict\\dibitmap0\\picscalex200\\picscaley100\\picwgoal30\\pichgoal30 " +
            dibBytes().toHex() + "}" + "{\\pict\\wmetafile8\\picw2540\\pich1270 0102030405}" +
            "{\\pict\\pngblip\\picwgoal90\\pichgoal90 deadbeef}" +
            // 2x2 device bitmaps: monochrome (rows padded to two bytes) and 24-bit.
            "{\\pict\\wbitmap0\\picw2\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
            "80004000}"
            "{\\pict\\wbitmap0\\picw2\\pich2\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes6 "
            "0000ff00ff00ff00000000ff}}";
        QTextDocument doc;
        setDocumentRtf(&doc, rtfTextFromBytes(rtf), true);
        const QList<QTextImageFormat> images = imagesOf(doc);
        QCOMPARE(images.size(), 7);
        auto shown = [&](int i) {
            return doc.resource(QTextDocument::ImageResource, QUrl(images[i].name()))
                .value<QImage>();
        };
        QCOMPARE(shown(0).size(), QSize(4, 3));
        QCOMPARE(shown(0).pixelColor(1, 1), QColor(Qt::blue));
        QCOMPARE(QSizeF(images[0].width(), images[0].height()), QSizeF(4, 3));
        QCOMPARE(shown(1).size(), QSize(5, 5));
        QCOMPARE(QSizeF(images[1].width(), images[1].height()), QSizeF(10, 20));
        QCOMPARE(shown(2).size(), QSize(2, 2));
        QCOMPARE(shown(2).pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(QSizeF(images[2].width(), images[2].height()), QSizeF(4, 2));
        // A metafile cannot be drawn here: a placeholder of its own size (1 x 0.5 inch).
        QVERIFY(!shown(3).isNull());
        QCOMPARE(QSizeF(images[3].width(), images[3].height()), QSizeF(96, 48));
        // Damaged data: a placeholder too, and the bytes are kept.
        QVERIFY(!shown(4).isNull());
        QCOMPARE(pictureOf(&doc, images[4]).data, QByteArray::fromHex("deadbeef"));
        QCOMPARE(shown(5).pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(shown(5).pixelColor(1, 0), QColor(Qt::black));
        QCOMPARE(shown(5).pixelColor(1, 1), QColor(Qt::white));
        QCOMPARE(shown(6).pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(shown(6).pixelColor(1, 0), QColor(Qt::green));
        QCOMPARE(shown(6).pixelColor(0, 1), QColor(Qt::blue));
        // The text has one object character per picture; plain text has none.
        QCOMPARE(textOf(doc), QString(7, QChar::ObjectReplacementCharacter));
        QCOMPARE(rtfBytesToPlainText(rtf), QString());
    }

    // ---- writing --------------------------------------------------------------------

    void writerStatesWhatTheBoxShows() {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(u8("سلام %%% {a}\\b\t"));
        const QString rtf = documentToRtf(&doc);
        QVERIFY(rtf.startsWith(u8("{\\rtf1\\ansi\\ansicpg1256")));
        QVERIFY(rtf.contains(u8("\\fcharset178")));
        QVERIFY(rtf.contains(u8("\\u1587?\\u1604?\\u1575?\\u1605?")));
        QVERIFY(rtf.contains(u8(" %%% \\{a\\}\\\\b\\tab ")));
        // Persian text reads right to left: the paragraph says so, with its visible side.
        QVERIFY(rtf.contains(u8("\\pard\\rtlpar\\qr")));
        for (const QChar ch : rtf)
            QVERIFY(ch.unicode() < 0x80);
    }

    void roundTrips_data() {
        QTest::addColumn<QString>("rtf");
        const QString h = QString::fromLatin1(kHeader);
        const QString png = QString::fromLatin1(pngBytes(3, 3, Qt::darkGreen).toHex());
        QTest::newRow("persian paragraphs")
            << h + u8("\\pard\\rtlpar\\qr سلام دنیا\\par\\pard\\rtlpar\\qr درس دوم}");
        QTest::newRow("mixed persian and latin")
            << h + u8("\\pard\\rtlpar\\qr کتاب Qt 6 و RTF\\par\\pard\\ltrpar\\ql Latin ایران}");
        QTest::newRow("empty paragraphs") << h + u8("\\pard\\rtlpar a\\par\\par\\par b\\par}");
        QTest::newRow("pictures")
            << h + u8("\\pard\\rtlpar\\qr الف{\\pict\\pngblip\\picw3\\pich3 ") + png +
                   u8("}ب{\\pict\\wmetafile8\\picw100\\pich100 0a0b}}");
        QTest::newRow("bold italic colour size")
            << h + u8("{\\colortbl ;\\red0\\green0\\blue255;}\\pard\\rtlpar\\qc\\b پر\\b0 رنگ "
                      "\\cf1\\fs28\\i آبی\\plain  ساده\\par\\pard\\qj\\ul x\\ulnone y}");
        QTest::newRow("persian font name")
            << u8("{\\rtf1{\\fonttbl{\\f0 Tahoma;}{\\f1\\fcharset178 ب نازنین;}}\\f1 متن\\f0 x}");
        QTest::newRow("alignment sides")
            << h + u8("\\pard\\ltrpar\\qr a\\par\\pard\\rtlpar\\ql ب}");
        QTest::newRow("font names holding semicolons")
            << u8("{\\rtf1{\\fonttbl{\\f0 Tahoma;}{\\f1 A\\'3bB;}}\\f1 x\\f0 y}");
        QTest::newRow("lists")
            << h + u8("\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\rtlpar\\qr "
                      "الف\\par{\\pntext\\'b7\\tab}ب\\par\\pard\\rtlpar\\qr "
                      "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}یک\\par"
                      "{\\pntext 2.\\tab}دو\\par\\pard پایان}");
    }

    void roundTrips() {
        QFETCH(QString, rtf);
        QTextDocument first;
        setDocumentRtf(&first, rtf);
        const QString written = documentToRtf(&first);
        QTextDocument second;
        setDocumentRtf(&second, written);
        QCOMPARE(documentToRtf(&second), written);
        // The writer states every format it knows, so equal RTF means equal documents; the
        // text and the paragraphs are checked besides.
        QCOMPARE(textOf(second), textOf(first));
        for (int i = 0; i < first.blockCount(); ++i)
            QCOMPARE(sideOf(second.findBlockByNumber(i)), sideOf(first.findBlockByNumber(i)));
    }

    void insertingRtfKeepsTheSurroundingParagraph() {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(u8("XYZ"));
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
        c.setPosition(2);
        insertRtf(c, u8("{\\rtf1\\pard\\qr ab\\par cd}"));
        QCOMPARE(textOf(doc), u8("XYab\r\ncdZ"));
        QCOMPARE(doc.firstBlock().blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
        QCOMPARE(doc.lastBlock().blockFormat().alignment(), Qt::AlignHCenter);
    }

    // Answers pasted from a word processor as a list: the labels are drawn by the list and
    // are neither text nor positions.
    void listsAreListsNotText() {
        struct Case {
            const char* name;
            QByteArray rtf;
            QTextListFormat::Style style;
        };
        const QList<Case> cases{
            {"edit control bullets",
             "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}{\\f2\\fcharset2 "
             "Symbol;}}\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{"
             "\\pntxtb\\'B7}}"
             "\\rtlpar\\qr\\f0 \\'c7\\'e1\\'dd\\par{\\pntext\\f2\\'B7\\tab}\\'c8}",
             QTextListFormat::ListDisc},
            {"word processor numbers",
             "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list\\listid7{\\listlevel"
             "\\levelnfc0{\\leveltext\\'02\\'00.;}}}}\\pard\\ls1\\ilvl0{\\listtext\\pard\\plain "
             "1.\\tab}first\\par{\\listtext\\pard\\plain 2.\\tab}second}",
             QTextListFormat::ListDecimal},
            {"word processor letters",
             "{\\rtf1\\ansi\\pard{\\listtext a)\\tab}\\ls2 first\\par{\\listtext "
             "b)\\tab}second\\par}",
             QTextListFormat::ListLowerAlpha},
        };
        for (const Case& c : cases) {
            const QString plain = rtfBytesToPlainText(c.rtf);
            QVERIFY2(!plain.contains(u'\t') && !plain.contains(u'.') &&
                         !plain.contains(u'\u2022') && !plain.contains(u')'),
                     c.name);
            QTextDocument doc;
            setDocumentRtf(&doc, rtfTextFromBytes(c.rtf), true);
            QCOMPARE(textOf(doc), plain);
            const QTextBlock first = doc.firstBlock();
            QVERIFY2(first.textList(), c.name);
            QCOMPARE(first.textList()->format().style(), c.style);
            QCOMPARE(first.next().textList(), first.textList()); // one list, two items
            QCOMPARE(first.textList()->count(), 2);
            // A reader that knows no lists still sees the labels the writer wrote.
            QVERIFY(documentToRtf(&doc).contains(u8("{\\pntext ")));
        }
        // A list ends where a plain paragraph follows.
        QTextDocument doc;
        setDocumentRtf(&doc, u8("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pndec}a\\par\\pard b}"));
        QVERIFY(doc.firstBlock().textList());
        QVERIFY(!doc.lastBlock().textList());
        QCOMPARE(textOf(doc), u8("a\r\nb"));
    }

    // A big photo is held at the size it is shown, and written back byte for byte.
    void picturesAreHeldAtTheirShownSize() {
        const QByteArray png = pngBytes(3000, 2000, Qt::blue);
        const QString rtf =
            u8("{\\rtf1{\\pict\\pngblip\\picw3000\\pich2000\\picwgoal1500\\pichgoal1000 ") +
            QString::fromLatin1(png.toHex()) + u8("}}");
        QTextDocument doc;
        setDocumentRtf(&doc, rtf);
        const QList<QTextImageFormat> images = imagesOf(doc);
        QCOMPARE(images.size(), 1);
        QCOMPARE(int(images[0].width()), 100);
        const QImage held =
            doc.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
        QCOMPARE(held.size(), QSize(100, 67));
        QCOMPARE(QColor(held.pixel(50, 30)), QColor(Qt::blue));
        QTextDocument back;
        setDocumentRtf(&back, documentToRtf(&doc));
        QCOMPARE(pictureOf(&back, imagesOf(back).value(0)).data, png);
        // JPEG too, scaled while it is decoded.
        const QByteArray jpeg = imageBytes(1600, 1600, Qt::red, "JPEG");
        RtfPicture picture;
        picture.kind = RtfPictureKind::Jpeg;
        picture.data = jpeg;
        picture.goalWidth = picture.goalHeight = 3000;
        QCOMPARE(pictureImage(picture).size(), QSize(200, 200));
    }

    // ---- bad input --------------------------------------------------------------------

    void deepNesting() {
        const int depth = 100000;
        const QByteArray rtf =
            "{\\rtf1 " + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " after}";
        QCOMPARE(rtfBytesToPlainText(rtf), u8("deep after"));
        QTextDocument doc;
        setDocumentRtf(&doc, rtfTextFromBytes(rtf), true);
        QCOMPARE(textOf(doc), u8("deep after"));
        // Never closed at all.
        QCOMPARE(rtfBytesToPlainText("{\\rtf1 " + QByteArray(depth, '{') + "x"), u8("x"));
        // What a group beyond the cap sets ends with it: hidden text, a skipped
        // destination, a picture.
        const QByteArray open(5000, '{'), close(5000, '}');
        for (const QByteArray& inner :
             {QByteArray("{\\v hidden}"), QByteArray("{\\*\\foo skipped}"),
              QByteArray("{\\fonttbl{\\f9 X;}}"), QByteArray("{\\pict\\pngblip 00}")}) {
            const QByteArray deep = "{\\rtf1 a" + open + inner + " shown" + close + " after}";
            QCOMPARE(rtfBytesToPlainText(deep), u8("a shown after"));
            QTextDocument d;
            setDocumentRtf(&d, rtfTextFromBytes(deep), true);
            QVERIFY(textOf(d).endsWith(u8(" shown after")));
        }
    }
};

QTEST_MAIN(TestRichText)
#include "tst_rich_text.moc"
