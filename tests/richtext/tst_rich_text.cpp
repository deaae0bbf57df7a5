// The RTF engine: reading what other editors write, writing what it reads back, surviving
// bad input.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_writer.h"
#include "support/documents.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* const kHeader = "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 "
                            "Tahoma;}{\\f1\\fnil\\fcharset0 Arial;}}";

} // namespace

class TestRichText : public QObject {
    Q_OBJECT

private slots:
    // ---- reading what other editors write ------------------------------------------

    // Each tests/data/rtf/plain/NAME.rtf, as other editors write it or broken, and the plain
    // text it holds (NAME.txt): whatever can be read, nothing more.
    void plainTextOfSamples_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const QString folder = sourceFile("tests/data/rtf/plain/");
        for (QString name : QDir(folder).entryList({"*.rtf"}, QDir::Files, QDir::Name)) {
            const QByteArray rtf = readFile(folder + name);
            name.chop(4);
            QTest::newRow(qPrintable(name))
                << rtf << QString::fromUtf8(readFile(folder + name + ".txt"));
        }
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

    // Each tests/data/rtf/round/NAME.rtf reads, writes and reads back as itself.
    void roundTrips_data() {
        QTest::addColumn<QString>("rtf");
        const QString folder = sourceFile("tests/data/rtf/round/");
        for (const QString& name : QDir(folder).entryList({"*.rtf"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << QString::fromUtf8(readFile(folder + name));
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
