#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QVector>

namespace tavrin {

// What the reader hands to its sink: formats as RTF states them, before any mapping onto a
// document, so a plain-text sink pays nothing for formats it drops.

enum class RtfAlign : quint8 { None, Left, Right, Center, Justify };
enum class RtfDirection : quint8 { None, LeftToRight, RightToLeft };
enum class RtfVertical : quint8 { Normal, Super, Sub };
// A paragraph of a bulleted or numbered list. The label ("•", "1.") is drawn by the list,
// never part of the text.
enum class RtfList : quint8 {
    None,
    Bullet,
    Decimal,
    LowerAlpha,
    UpperAlpha,
    LowerRoman,
    UpperRoman
};

struct RtfCharFormat {
    int font = -1;       // index into the font table; -1 when no font is named
    int halfPoints = -1; // \fs; -1 when not given
    int color = 0;       // \cf; 0 is the automatic colour
    int background = 0;  // \highlight or \cb; 0 is none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    RtfVertical vertical = RtfVertical::Normal;

    bool operator==(const RtfCharFormat&) const = default;
};

struct RtfParaFormat {
    RtfAlign align = RtfAlign::None;
    RtfDirection direction = RtfDirection::None;
    RtfList list = RtfList::None;
    int listId = 0;    // \ls: paragraphs of one list share it; 0 for \pn lists
    int listLevel = 0; // \ilvl or \pnlvlN

    bool operator==(const RtfParaFormat&) const = default;
};

struct RtfFont {
    QString name;
    int codePage = 0; // 0: the document's code page
};

// The picture kinds RTF names. Only PNG, JPEG and DIB are decoded; the others are kept as
// they came so they can be written back.
enum class RtfPictureKind : quint8 {
    Png,
    Jpeg,
    Dib,
    DeviceBitmap,
    WindowsMetafile,
    Emf,
    MacPict,
    Os2Metafile
};

struct RtfPicture {
    RtfPictureKind kind = RtfPictureKind::WindowsMetafile; // RTF's default kind
    QByteArray data;
    int picw = 0, pich = 0;                           // source size as the producer wrote it
    int goalWidth = 0, goalHeight = 0;                // twips
    int scaleX = 100, scaleY = 100;                   // percent
    int metafileMode = 0;                             // \wmetafileN, \dibitmapN, \wbitmapN
    int bitsPerPixel = 0, widthBytes = 0, planes = 0; // \wbmbitspixel, \wbmwidthbytes, \wbmplanes
};

class RtfSink {
public:
    virtual ~RtfSink() = default;
    // The tables are complete before any text arrives in well-formed RTF; sinks read them
    // when they need a font or colour.
    virtual void text(const QString& run, const RtfCharFormat& format) = 0;
    virtual void paragraphEnd(const RtfParaFormat& format) = 0;
    virtual void picture(const RtfPicture& picture, const RtfCharFormat& format) = 0;
    // The last paragraph has no \par; its format still belongs to it.
    virtual void finish(const RtfParaFormat& lastParagraph) = 0;
};

struct RtfTables {
    QHash<int, RtfFont> fonts; // by font number; Word numbers them up to 31506 and beyond
    QVector<QColor> colors;    // index 0 is the automatic colour (invalid)
    int defaultFont = 0;
};

} // namespace tavrin
