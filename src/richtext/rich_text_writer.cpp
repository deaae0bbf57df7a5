#include "richtext/rich_text_writer.h"

#include "richtext/author_letters.h"
#include "richtext/rich_text_format.h"
#include "richtext/rich_text_picture.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

constexpr int kHexLine = 128;

class Writer {
public:
    explicit Writer(const QTextDocument* document) : document_(document) {
        const QStringList families = document->defaultFont().families();
        defaultFamily_ = families.isEmpty() ? document->defaultFont().family() : families.first();
        if (defaultFamily_.isEmpty())
            defaultFamily_ = QStringLiteral("Tahoma");
        fonts_.append(defaultFamily_);
    }

    QString write(int from, int to);

private:
    const QTextDocument* document_;
    QString defaultFamily_;
    QStringList fonts_;
    QList<QColor> colors_;
    QString body_;
    RtfCharFormat current_;
    bool needSpace_ = false;

    void word(QLatin1StringView text, int param);
    void word(QLatin1StringView text);
    void paragraphStart(const QTextBlock& block);
    void listParagraph(const QTextList& list, const QTextBlock& block);
    void characters(QStringView text);
    void picture(const QTextImageFormat& format);
    RtfCharFormat target(const QTextCharFormat& format);
    void switchTo(const RtfCharFormat& wanted);
    int colorIndex(const QBrush& brush);
    static void escape(QStringView text, QString& out);
};

void Writer::word(QLatin1StringView text, int param) {
    body_ += u'\\';
    body_ += text;
    body_ += QString::number(param);
    needSpace_ = true;
}

void Writer::word(QLatin1StringView text) {
    body_ += u'\\';
    body_ += text;
    needSpace_ = true;
}

void Writer::escape(QStringView text, QString& out) {
    appendRtfText(text, out);
}

void Writer::characters(QStringView text) {
    if (text.isEmpty())
        return;
    // A control word ends at the first character that cannot continue it; a space is the
    // safe delimiter before text.
    if (needSpace_)
        body_ += u' ';
    needSpace_ = false;
    escape(text, body_);
}

int Writer::colorIndex(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QColor color = brush.color().toRgb();
    const QColor plain(color.red(), color.green(), color.blue());
    qsizetype at = colors_.indexOf(plain);
    if (at < 0) {
        colors_.append(plain);
        at = colors_.size() - 1;
    }
    return int(at) + 1;
}

RtfCharFormat Writer::target(const QTextCharFormat& f) {
    RtfCharFormat t;
    QString family;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        family = families.first();
    t.font = 0;
    if (!family.isEmpty() && family != defaultFamily_) {
        qsizetype at = fonts_.indexOf(family);
        if (at < 0) {
            fonts_.append(family);
            at = fonts_.size() - 1;
        }
        t.font = int(at);
    }
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        t.halfPoints = int(std::lround(f.fontPointSize() * 2));
    t.bold = f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::DemiBold;
    t.italic = f.fontItalic();
    t.underline = f.fontUnderline();
    t.strike = f.fontStrikeOut();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        t.vertical = RtfVertical::Super;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        t.vertical = RtfVertical::Sub;
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        t.color = colorIndex(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        t.background = colorIndex(f.background());
    return t;
}

void Writer::switchTo(const RtfCharFormat& w) {
    if (w == current_)
        return;
    if (w.halfPoints < 0 && current_.halfPoints >= 0) {
        // Only \plain takes a size back to "not given".
        word(QLatin1StringView("plain"));
        current_ = RtfCharFormat();
        current_.font = 0;
    }
    if (w.font != current_.font)
        word(QLatin1StringView("f"), w.font);
    if (w.halfPoints != current_.halfPoints)
        word(QLatin1StringView("fs"), w.halfPoints);
    if (w.color != current_.color)
        word(QLatin1StringView("cf"), w.color);
    if (w.background != current_.background)
        word(QLatin1StringView("highlight"), w.background);
    if (w.bold != current_.bold)
        w.bold ? word(QLatin1StringView("b")) : word(QLatin1StringView("b"), 0);
    if (w.italic != current_.italic)
        w.italic ? word(QLatin1StringView("i")) : word(QLatin1StringView("i"), 0);
    if (w.underline != current_.underline)
        word(QLatin1StringView(w.underline ? "ul" : "ulnone"));
    if (w.strike != current_.strike)
        w.strike ? word(QLatin1StringView("strike")) : word(QLatin1StringView("strike"), 0);
    if (w.vertical != current_.vertical)
        word(QLatin1StringView(w.vertical == RtfVertical::Super ? "super"
                               : w.vertical == RtfVertical::Sub ? "sub"
                                                                : "nosupersub"));
    current_ = w;
}

void Writer::paragraphStart(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    const bool rtl = block.textDirection() == Qt::RightToLeft;
    word(QLatin1StringView("pard"));
    word(QLatin1StringView(rtl ? "rtlpar" : "ltrpar"));
    Qt::Alignment align = format.hasProperty(QTextFormat::BlockAlignment)
                              ? format.alignment()
                              : document_->defaultTextOption().alignment();
    // What the reader sees is what is written: leading and trailing become sides.
    if (!(align & Qt::AlignAbsolute) && rtl) {
        if (align & Qt::AlignLeft)
            align = (align & ~Qt::AlignLeft) | Qt::AlignRight;
        else if (align & Qt::AlignRight)
            align = (align & ~Qt::AlignRight) | Qt::AlignLeft;
    }
    if (align & Qt::AlignJustify)
        word(QLatin1StringView("qj"));
    else if (align & Qt::AlignHCenter)
        word(QLatin1StringView("qc"));
    else if (align & Qt::AlignRight)
        word(QLatin1StringView("qr"));
    else
        word(QLatin1StringView("ql"));
    if (const QTextList* list = block.textList())
        listParagraph(*list, block);
}

// The label as a reader that knows no lists shows it, then the numbering that tells ours
// which list the paragraph belongs to.
void Writer::listParagraph(const QTextList& list, const QTextBlock& block) {
    const QTextListFormat::Style style = list.format().style();
    const char* styleWord = "pnlvlblt";
    switch (style) {
    case QTextListFormat::ListDecimal:
        styleWord = "pndec";
        break;
    case QTextListFormat::ListLowerAlpha:
        styleWord = "pnlcltr";
        break;
    case QTextListFormat::ListUpperAlpha:
        styleWord = "pnucltr";
        break;
    case QTextListFormat::ListLowerRoman:
        styleWord = "pnlcrm";
        break;
    case QTextListFormat::ListUpperRoman:
        styleWord = "pnucrm";
        break;
    default:
        break;
    }
    const bool bullet = styleWord == std::string_view("pnlvlblt");
    if (list.format().indent() > 1)
        word(QLatin1StringView("ilvl"), list.format().indent() - 1);
    QString label = bullet ? QStringLiteral(u"\u2022") : list.itemText(block);
    body_ += QLatin1StringView("{\\pntext ");
    escape(label, body_);
    body_ += QLatin1StringView("\\tab}{\\*\\pn\\pnlvlbody\\");
    body_ += QLatin1StringView(styleWord);
    body_ += QLatin1StringView(bullet ? "}" : "{\\pntxta .}}");
    needSpace_ = false;
}

void Writer::picture(const QTextImageFormat& format) {
    const RtfPicture p = pictureOf(document_, format);
    body_ += QLatin1StringView("{\\pict");
    switch (p.kind) {
    case RtfPictureKind::Png:
        body_ += QLatin1StringView("\\pngblip");
        break;
    case RtfPictureKind::Jpeg:
        body_ += QLatin1StringView("\\jpegblip");
        break;
    case RtfPictureKind::Dib:
        body_ += QStringLiteral("\\dibitmap%1").arg(p.metafileMode);
        break;
    case RtfPictureKind::DeviceBitmap:
        body_ += QStringLiteral("\\wbitmap%1\\wbmbitspixel%2\\wbmplanes%3\\wbmwidthbytes%4")
                     .arg(p.metafileMode)
                     .arg(p.bitsPerPixel)
                     .arg(p.planes)
                     .arg(p.widthBytes);
        break;
    case RtfPictureKind::WindowsMetafile:
        body_ += QStringLiteral("\\wmetafile%1").arg(p.metafileMode);
        break;
    case RtfPictureKind::Emf:
        body_ += QLatin1StringView("\\emfblip");
        break;
    case RtfPictureKind::MacPict:
        body_ += QLatin1StringView("\\macpict");
        break;
    case RtfPictureKind::Os2Metafile:
        body_ += QStringLiteral("\\pmmetafile%1").arg(p.metafileMode);
        break;
    }
    body_ += QStringLiteral("\\picw%1\\pich%2").arg(p.picw).arg(p.pich);
    if (p.goalWidth > 0 || p.goalHeight > 0)
        body_ += QStringLiteral("\\picwgoal%1\\pichgoal%2").arg(p.goalWidth).arg(p.goalHeight);
    if (p.scaleX != 100 || p.scaleY != 100)
        body_ += QStringLiteral("\\picscalex%1\\picscaley%2").arg(p.scaleX).arg(p.scaleY);
    const QByteArray hex = p.data.toHex();
    for (qsizetype at = 0; at < hex.size(); at += kHexLine) {
        body_ += QLatin1StringView("\r\n");
        body_ +=
            QLatin1StringView(hex.constData() + at, std::min<qsizetype>(kHexLine, hex.size() - at));
    }
    body_ += u'}';
    needSpace_ = false;
}

QString Writer::write(int from, int to) {
    const int last = std::max(0, document_->characterCount() - 1);
    from = std::clamp(from, 0, last);
    to = to < 0 ? last : std::clamp(to, from, last);
    current_.font = 0;

    // Written in the author's letters, whatever the document shows.
    const AuthorLetters* letters = AuthorLetters::of(document_);
    QTextBlock block = document_->findBlock(from);
    const QTextBlock end = document_->findBlock(to);
    while (block.isValid()) {
        paragraphStart(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int stop = std::min(fragment.position() + fragment.length(), to);
            if (start >= stop)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            QString text = fragment.text().mid(start - fragment.position(), stop - start);
            if (letters)
                letters->restore(start, text);
            if (format.isImageFormat()) {
                switchTo(target(format));
                for (const QChar c : text) {
                    if (c == QChar::ObjectReplacementCharacter)
                        picture(format.toImageFormat());
                }
                continue;
            }
            switchTo(target(format));
            characters(text);
        }
        if (block == end)
            break;
        body_ += QLatin1StringView("\\par\r\n");
        needSpace_ = false;
        block = block.next();
    }

    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl");
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out += QStringLiteral("{\\f%1\\fnil\\fcharset178 ").arg(i);
        // ";" ends a font name in the table; inside one it goes as a hex escape.
        QString name;
        escape(fonts_[i], name);
        out += name.replace(u';', QLatin1StringView("\\'3b"));
        out += QLatin1StringView(";}");
    }
    out += u'}';
    if (!colors_.isEmpty()) {
        out += QLatin1StringView("\r\n{\\colortbl ;");
        for (const QColor& c : colors_)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg(c.red())
                       .arg(c.green())
                       .arg(c.blue());
        out += u'}';
    }
    out += QLatin1StringView("\r\n\\viewkind4\\uc1");
    out += body_;
    out += QLatin1StringView("\r\n}\r\n");
    return out;
}

} // namespace

void appendRtfText(QStringView text, QString& out) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += u'\\';
            out += c;
        } else if (u == '\t') {
            out += QLatin1StringView("\\tab ");
        } else if (u == 0x2028) {
            // A line break inside a paragraph is read back as a paragraph end; writing it
            // as one keeps the text and its positions the same after a save and reload.
            out += QLatin1StringView("\\par ");
        } else if (u < 0x20) {
            continue;
        } else if (u < 0x80) {
            out += c;
        } else {
            out += QLatin1StringView("\\u");
            out += QString::number(u > 32767 ? int(u) - 65536 : int(u));
            out += u'?';
        }
    }
}

QString documentToRtf(const QTextDocument* document, int from, int to) {
    return Writer(document).write(from, to);
}

} // namespace tavrin
