// The reader's control words: what each one does to the state, the tables and the text.
#include "richtext/rich_text_reading.h"

#include <algorithm>

namespace tavrin::rtf {

// The list a paragraph belongs to, read off its label when nothing else says: "1." is
// numbered, "a)" lettered, "iv." Roman, anything else a bullet.
RtfList listOfLabel(const QString& label) {
    QString core = label.trimmed();
    while (!core.isEmpty() && (core.back() == u'.' || core.back() == u')'))
        core.chop(1);
    if (core.startsWith(u'('))
        core.remove(0, 1);
    if (core.isEmpty())
        return RtfList::Bullet;
    const auto all = [&](auto test) { return std::all_of(core.begin(), core.end(), test); };
    if (all([](QChar c) { return c.isDigit(); }))
        return RtfList::Decimal;
    if (all([](QChar c) { return QStringView(u"ivxlcdm").contains(c); }))
        return RtfList::LowerRoman;
    if (all([](QChar c) { return QStringView(u"IVXLCDM").contains(c); }))
        return RtfList::UpperRoman;
    if (core.size() == 1 && core[0] >= u'a' && core[0] <= u'z')
        return RtfList::LowerAlpha;
    if (core.size() == 1 && core[0] >= u'A' && core[0] <= u'Z')
        return RtfList::UpperAlpha;
    return RtfList::Bullet;
}

void Reader::apply(Word w, bool hasParam, int param) {
    // Bytes waiting for decoding belong to the format in force before this word.
    flushBytes();
    const bool starred = starNext_;
    starNext_ = false;
    if (starred && w != Word::Shppict && w != Word::Ud && w != Word::Pn) {
        st_.dest = Dest::Skip;
        return;
    }
    const bool on = !hasParam || param != 0;
    switch (w) {
    case Word::Unknown:
    case Word::Symbol:
    case Word::Rtf:
        break;
    case Word::Ansicpg:
        if (hasParam && param > 0)
            docCodePage_ = param;
        break;
    case Word::Deff:
        tables_.defaultFont = param;
        break;
    case Word::Uc:
        st_.uc = std::clamp(param, 0, 16);
        break;
    case Word::U: {
        const QChar c(char16_t(param < 0 ? param + 65536 : param));
        if (inText()) {
            addChar(c);
        } else if (st_.dest == Dest::FontTable) {
            decodeFontName();
            fontNameText_ += c; // a font name beyond the code page, as our writer writes it
        }
        skip_ = st_.uc;
        break;
    }
    case Word::Bin:
        readBin(hasParam ? param : 0);
        break;
    case Word::Fonttbl:
        st_.dest = Dest::FontTable;
        fontNumber_ = -1;
        fontName_.clear();
        fontNameText_.clear();
        fontCodePage_ = 0;
        break;
    case Word::Colortbl:
        st_.dest = Dest::ColorTable;
        red_ = green_ = blue_ = -1;
        tables_.colors.clear();
        break;
    case Word::Pict:
        if (st_.dest == Dest::Text)
            startPicture();
        break;
    case Word::Shppict:
    case Word::TextDest:
        break;
    case Word::Upr:
        st_.beforeUpr = st_.dest;
        st_.dest = Dest::Skip;
        break;
    case Word::Ud:
        st_.dest = st_.beforeUpr;
        break;
    case Word::ListText:
        flushRun();
        st_.dest = Dest::ListLabel;
        listLabel_.clear();
        break;
    case Word::Pn:
        st_.dest = Dest::PnGroup;
        pnStyle_ = RtfList::None;
        break;
    case Word::PnStyle:
        if (st_.dest == Dest::PnGroup)
            pnStyle_ = RtfList(param);
        break;
    case Word::Ls:
        st_.para.listId = std::max(param, 1);
        if (st_.para.list == RtfList::None)
            st_.para.list = RtfList::Bullet; // the label says more at the paragraph's end
        break;
    case Word::Ilvl:
        st_.para.listLevel = std::clamp(param, 0, 8);
        break;
    case Word::SkipDest:
        st_.dest = Dest::Skip;
        break;
    case Word::F:
        if (st_.dest == Dest::FontTable) {
            commitFont();
            fontNumber_ = param;
        } else {
            st_.chr.font = param;
        }
        break;
    case Word::Fcharset:
        if (st_.dest == Dest::FontTable && !fontCodePage_)
            fontCodePage_ = codePageForCharset(param);
        break;
    case Word::Cpg:
        if (st_.dest == Dest::FontTable && param > 0)
            fontCodePage_ = param;
        break;
    case Word::Red:
        red_ = std::clamp(param, 0, 255);
        break;
    case Word::Green:
        green_ = std::clamp(param, 0, 255);
        break;
    case Word::Blue:
        blue_ = std::clamp(param, 0, 255);
        break;
    case Word::Par:
    case Word::Line:
    case Word::Cell:
        if (inText())
            paragraph();
        break;
    case Word::Tab:
        if (inText())
            addChar(u'\t');
        break;
    case Word::Pard:
        st_.para = {};
        break;
    case Word::Rtlpar:
        st_.para.direction = RtfDirection::RightToLeft;
        break;
    case Word::Ltrpar:
        st_.para.direction = RtfDirection::LeftToRight;
        break;
    case Word::Ql:
        st_.para.align = RtfAlign::Left;
        break;
    case Word::Qr:
        st_.para.align = RtfAlign::Right;
        break;
    case Word::Qc:
        st_.para.align = RtfAlign::Center;
        break;
    case Word::Qj:
        st_.para.align = RtfAlign::Justify;
        break;
    case Word::Plain:
        st_.chr = {};
        st_.hidden = false;
        break;
    case Word::B:
        st_.chr.bold = on;
        break;
    case Word::I:
        st_.chr.italic = on;
        break;
    case Word::Ul:
        st_.chr.underline = on;
        break;
    case Word::Ulnone:
        st_.chr.underline = false;
        break;
    case Word::Strike:
        st_.chr.strike = on;
        break;
    case Word::Fs:
        st_.chr.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : -1;
        break;
    case Word::Cf:
        st_.chr.color = std::max(param, 0);
        break;
    case Word::Cb:
        st_.chr.background = std::max(param, 0);
        break;
    case Word::Super:
        st_.chr.vertical = RtfVertical::Super;
        break;
    case Word::Sub:
        st_.chr.vertical = RtfVertical::Sub;
        break;
    case Word::Nosupersub:
        st_.chr.vertical = RtfVertical::Normal;
        break;
    case Word::V:
        st_.hidden = on;
        break;
    case Word::Pngblip:
        pict_.kind = RtfPictureKind::Png;
        break;
    case Word::Jpegblip:
        pict_.kind = RtfPictureKind::Jpeg;
        break;
    case Word::Dibitmap:
        pict_.kind = RtfPictureKind::Dib;
        pict_.metafileMode = param;
        break;
    case Word::Wbitmap:
        pict_.kind = RtfPictureKind::DeviceBitmap;
        pict_.metafileMode = param;
        break;
    case Word::Wmetafile:
        pict_.kind = RtfPictureKind::WindowsMetafile;
        pict_.metafileMode = param;
        break;
    case Word::Emfblip:
        pict_.kind = RtfPictureKind::Emf;
        break;
    case Word::Macpict:
        pict_.kind = RtfPictureKind::MacPict;
        break;
    case Word::Pmmetafile:
        pict_.kind = RtfPictureKind::Os2Metafile;
        pict_.metafileMode = param;
        break;
    case Word::Picw:
        pict_.picw = param;
        break;
    case Word::Pich:
        pict_.pich = param;
        break;
    case Word::Picwgoal:
        pict_.goalWidth = param;
        break;
    case Word::Pichgoal:
        pict_.goalHeight = param;
        break;
    case Word::Picscalex:
        pict_.scaleX = param;
        break;
    case Word::Picscaley:
        pict_.scaleY = param;
        break;
    case Word::Wbmbitspixel:
        pict_.bitsPerPixel = param;
        break;
    case Word::Wbmplanes:
        pict_.planes = param;
        break;
    case Word::Wbmwidthbytes:
        pict_.widthBytes = param;
        break;
    }
}

} // namespace tavrin::rtf
