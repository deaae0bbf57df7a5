// The RTF engine: reading what other editors write, writing what it reads back, surviving
// bad input.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_writer.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <utility>

using namespace tavrin;
using namespace tavrin::test;

namespace {

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

QString alignment(Qt::Alignment a) {
    QStringList words;
    for (const auto& [flag, word] : {std::pair{Qt::AlignRight, "right"},
                                     {Qt::AlignLeft, "left"},
                                     {Qt::AlignHCenter, "centre"},
                                     {Qt::AlignJustify, "justified"},
                                     {Qt::AlignAbsolute, "absolute"}})
        if (a & flag)
            words << QString::fromLatin1(word);
    return words.isEmpty() ? QStringLiteral("none") : words.join(u' ');
}

// A document as the reader makes it, every part said: the plain text and the document's text,
// each paragraph's direction, alignment and list, each run's format, each picture's sizes and
// first pixels, and whether the writer writes list labels back.
QString described(const QByteArray& rtf) {
    QTextDocument doc;
    setDocumentRtf(&doc, rtfTextFromBytes(rtf), true);
    QStringList out{"plain: " + visible(rtfBytesToPlainText(rtf)), "text: " + visible(textOf(doc))};
    const QHash<int, QString> styles{{QTextListFormat::ListDisc, "disc"},
                                     {QTextListFormat::ListDecimal, "decimal"},
                                     {QTextListFormat::ListLowerAlpha, "lower-alpha"}};
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        QString line = "paragraph: " +
                       QString(!f.hasProperty(QTextFormat::LayoutDirection) ? "no direction"
                               : f.layoutDirection() == Qt::RightToLeft     ? "right to left"
                                                                            : "left to right") +
                       ", aligned " + alignment(f.alignment());
        if (QTextList* list = b.textList())
            line += QStringLiteral(", %1 list item %2 of %3")
                        .arg(styles.value(list->format().style(), "other"))
                        .arg(list->itemNumber(b) + 1)
                        .arg(list->count());
        out << line;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            if (c.isImageFormat()) {
                const QTextImageFormat image = c.toImageFormat();
                const QImage held =
                    doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
                QStringList pixels;
                for (const QPoint at : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                    if (held.valid(at))
                        pixels << held.pixelColor(at).name();
                const QByteArray data = pictureOf(&doc, image).data;
                out << QStringLiteral("  picture shown %1x%2, held %3x%4, pixels %5, data %6")
                           .arg(image.width())
                           .arg(image.height())
                           .arg(held.width())
                           .arg(held.height())
                           .arg(pixels.join(u' '))
                           .arg(data.size() <= 8 ? QString::fromLatin1(data.toHex())
                                                 : QString::number(data.size()) + " bytes");
                continue;
            }
            QStringList format;
            if (c.fontWeight() >= QFont::Bold)
                format << "bold";
            if (c.fontItalic())
                format << "italic";
            if (c.fontUnderline())
                format << "underlined";
            if (c.hasProperty(QTextFormat::FontFamilies))
                format << c.fontFamilies().toStringList().join(u',');
            if (c.hasProperty(QTextFormat::FontPointSize))
                format << QString::number(c.fontPointSize()) + "pt";
            if (c.hasProperty(QTextFormat::ForegroundBrush))
                format << c.foreground().color().name();
            out << "  \"" + visible(it.fragment().text()) + "\" " + format.join(u' ');
        }
    }
    out << QStringLiteral("labels written: %1")
               .arg(documentToRtf(&doc).contains(QStringLiteral("{\\pntext ")) ? "yes" : "no");
    return out.join(u'\n') + u'\n';
}

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
            const QByteArray rtf = readBytes(folder + name);
            name.chop(4);
            QTest::newRow(qPrintable(name))
                << rtf << QString::fromUtf8(readBytes(folder + name + ".txt"));
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

    // Each tests/data/rtf/read/NAME.rtf as the reader makes it (NAME.expected): paragraph
    // and character formats, every kind of picture (a metafile or damaged data held as a
    // placeholder of its size, the bytes kept), lists whose labels are drawn, not text.
    void documentsAsRead_data() { fileRows("rtf/read", ".rtf"); }
    void documentsAsRead() {
        QFETCH(QString, name);
        const QString text = described(readBytes(sourceFile("tests/data/rtf/read/" + name)));
        QCOMPARE(text, QString::fromUtf8(
                           golden("rtf/read/" + QFileInfo(name).completeBaseName() + ".expected",
                                  text.toUtf8())));
    }

    // ---- writing --------------------------------------------------------------------

    // Typed text as the writer writes it (tests/data/rtf/written.rtf): 1256 and its Persian
    // charset declared, the letters as \u escapes (nothing above ASCII), the markers and
    // braces escaped, the paragraph right to left on its visible side.
    void writerStatesWhatTheBoxShows() {
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Tahoma"))); // not the machine's own
        QTextCursor(&doc).insertText(u8("سلام %%% {a}\\b\t"));
        const QByteArray rtf = documentToRtf(&doc).toUtf8();
        QCOMPARE(rtf, golden("rtf/written.rtf", rtf));
    }

    // Each tests/data/rtf/round/NAME.rtf reads, writes and reads back as itself.
    void roundTrips_data() {
        QTest::addColumn<QString>("rtf");
        const QString folder = sourceFile("tests/data/rtf/round/");
        for (const QString& name : QDir(folder).entryList({"*.rtf"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << QString::fromUtf8(readBytes(folder + name));
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

    // A big photo (3000 by 2000 pixels) is held at the size it is shown, and written back
    // byte for byte.
    void picturesAreHeldAtTheirShownSize() {
        const QByteArray png = readBytes(sourceFile("tests/data/rtf/pictures/blue_3000x2000.png"));
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
        // JPEG too, scaled while it is decoded (800 pixels shown as 200).
        const QByteArray jpeg = readBytes(sourceFile("tests/data/rtf/pictures/red_800.jpg"));
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
