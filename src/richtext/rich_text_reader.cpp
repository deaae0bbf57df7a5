#include "richtext/rich_text_reader.h"

#include "richtext/rich_text_codepage.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace tavrin {

bool looksLikeRtf(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' ||
                               text[i] == u'\n' || text[i] == QChar(0xFEFF)))
        ++i;
    return i + 1 < text.size() && text[i] == u'{' && text[i + 1] == u'\\';
}

bool looksLikeRtf(const QByteArray& bytes) {
    const QByteArray head = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3, 64) : bytes.left(64);
    return looksLikeRtf(QString::fromLatin1(head));
}

namespace {

enum class Word : quint8 {
    Unknown,
    // document
    Rtf,
    Ansicpg,
    Deff,
    Uc,
    U,
    Bin,
    // destinations
    Fonttbl,
    Colortbl,
    Pict,
    Shppict,
    Upr,
    Ud,
    SkipDest,
    TextDest,
    ListText, // \pntext, \listtext: the label a list paragraph starts with
    Pn,       // the paragraph numbering group
    PnStyle,  // \pnlvlblt, \pndec ... inside it
    Ls,
    Ilvl,
    // tables
    F,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    // breaks and characters
    Par,
    Line,
    Tab,
    Cell,
    Symbol,
    // paragraph
    Pard,
    Rtlpar,
    Ltrpar,
    Ql,
    Qr,
    Qc,
    Qj,
    // character
    Plain,
    B,
    I,
    Ul,
    Ulnone,
    Strike,
    Fs,
    Cf,
    Cb,
    Super,
    Sub,
    Nosupersub,
    V,
    // picture
    Pngblip,
    Jpegblip,
    Dibitmap,
    Wbitmap,
    Wmetafile,
    Emfblip,
    Macpict,
    Pmmetafile,
    Picw,
    Pich,
    Picwgoal,
    Pichgoal,
    Picscalex,
    Picscaley,
    Wbmbitspixel,
    Wbmplanes,
    Wbmwidthbytes,
};

struct WordEntry {
    std::string_view name;
    Word word;
    char16_t symbol = 0; // the character a Symbol word stands for
};

// Sorted by name for binary search; the static_assert below keeps it so.
constexpr std::array kWords{
    WordEntry{"aftncn", Word::SkipDest},
    WordEntry{"aftnsep", Word::SkipDest},
    WordEntry{"aftnsepc", Word::SkipDest},
    WordEntry{"annotation", Word::SkipDest},
    WordEntry{"ansicpg", Word::Ansicpg},
    WordEntry{"atnauthor", Word::SkipDest},
    WordEntry{"atndate", Word::SkipDest},
    WordEntry{"atnid", Word::SkipDest},
    WordEntry{"atnref", Word::SkipDest},
    WordEntry{"author", Word::SkipDest},
    WordEntry{"b", Word::B},
    WordEntry{"background", Word::SkipDest},
    WordEntry{"bin", Word::Bin},
    WordEntry{"bkmkend", Word::SkipDest},
    WordEntry{"bkmkstart", Word::SkipDest},
    WordEntry{"blue", Word::Blue},
    WordEntry{"bullet", Word::Symbol, 0x2022},
    WordEntry{"buptim", Word::SkipDest},
    WordEntry{"cb", Word::Cb},
    WordEntry{"cell", Word::Cell},
    WordEntry{"cf", Word::Cf},
    WordEntry{"colortbl", Word::Colortbl},
    WordEntry{"comment", Word::SkipDest},
    WordEntry{"cpg", Word::Cpg},
    WordEntry{"creatim", Word::SkipDest},
    WordEntry{"datafield", Word::SkipDest},
    WordEntry{"deff", Word::Deff},
    WordEntry{"dibitmap", Word::Dibitmap},
    WordEntry{"do", Word::SkipDest},
    WordEntry{"doccomm", Word::SkipDest},
    WordEntry{"emdash", Word::Symbol, 0x2014},
    WordEntry{"emfblip", Word::Emfblip},
    WordEntry{"emspace", Word::Symbol, 0x2003},
    WordEntry{"endash", Word::Symbol, 0x2013},
    WordEntry{"enspace", Word::Symbol, 0x2002},
    WordEntry{"f", Word::F},
    WordEntry{"fcharset", Word::Fcharset},
    WordEntry{"filetbl", Word::SkipDest},
    WordEntry{"fldinst", Word::SkipDest},
    WordEntry{"fldrslt", Word::TextDest},
    WordEntry{"fonttbl", Word::Fonttbl},
    WordEntry{"footer", Word::SkipDest},
    WordEntry{"footerf", Word::SkipDest},
    WordEntry{"footerl", Word::SkipDest},
    WordEntry{"footerr", Word::SkipDest},
    WordEntry{"footnote", Word::SkipDest},
    WordEntry{"fs", Word::Fs},
    WordEntry{"ftncn", Word::SkipDest},
    WordEntry{"ftnsep", Word::SkipDest},
    WordEntry{"ftnsepc", Word::SkipDest},
    WordEntry{"green", Word::Green},
    WordEntry{"header", Word::SkipDest},
    WordEntry{"headerf", Word::SkipDest},
    WordEntry{"headerl", Word::SkipDest},
    WordEntry{"headerr", Word::SkipDest},
    WordEntry{"highlight", Word::Cb},
    WordEntry{"i", Word::I},
    WordEntry{"ilvl", Word::Ilvl},
    WordEntry{"info", Word::SkipDest},
    WordEntry{"jpegblip", Word::Jpegblip},
    WordEntry{"keywords", Word::SkipDest},
    WordEntry{"ldblquote", Word::Symbol, 0x201C},
    WordEntry{"line", Word::Line},
    WordEntry{"listoverridetable", Word::SkipDest},
    WordEntry{"listtable", Word::SkipDest},
    WordEntry{"listtext", Word::ListText},
    WordEntry{"lquote", Word::Symbol, 0x2018},
    WordEntry{"ls", Word::Ls},
    WordEntry{"ltrmark", Word::Symbol, 0x200E},
    WordEntry{"ltrpar", Word::Ltrpar},
    WordEntry{"macpict", Word::Macpict},
    WordEntry{"nestcell", Word::Cell},
    WordEntry{"nonesttables", Word::SkipDest},
    WordEntry{"nonshppict", Word::SkipDest},
    WordEntry{"nosupersub", Word::Nosupersub},
    WordEntry{"objdata", Word::SkipDest},
    WordEntry{"operator", Word::SkipDest},
    WordEntry{"page", Word::Par},
    WordEntry{"par", Word::Par},
    WordEntry{"pard", Word::Pard},
    WordEntry{"pgdsctbl", Word::SkipDest},
    WordEntry{"pich", Word::Pich},
    WordEntry{"pichgoal", Word::Pichgoal},
    WordEntry{"picscalex", Word::Picscalex},
    WordEntry{"picscaley", Word::Picscaley},
    WordEntry{"pict", Word::Pict},
    WordEntry{"picw", Word::Picw},
    WordEntry{"picwgoal", Word::Picwgoal},
    WordEntry{"plain", Word::Plain},
    WordEntry{"pmmetafile", Word::Pmmetafile},
    WordEntry{"pn", Word::Pn},
    WordEntry{"pndec", Word::PnStyle, 2}, // RtfList
    WordEntry{"pngblip", Word::Pngblip},
    WordEntry{"pnlcltr", Word::PnStyle, 3},  // RtfList
    WordEntry{"pnlcrm", Word::PnStyle, 5},   // RtfList
    WordEntry{"pnlvlblt", Word::PnStyle, 1}, // RtfList
    WordEntry{"pntext", Word::ListText},
    WordEntry{"pnucltr", Word::PnStyle, 4}, // RtfList
    WordEntry{"pnucrm", Word::PnStyle, 6},  // RtfList
    WordEntry{"printim", Word::SkipDest},
    WordEntry{"private", Word::SkipDest},
    WordEntry{"qc", Word::Qc},
    WordEntry{"qd", Word::Qj},
    WordEntry{"qj", Word::Qj},
    WordEntry{"ql", Word::Ql},
    WordEntry{"qmspace", Word::Symbol, 0x2005},
    WordEntry{"qr", Word::Qr},
    WordEntry{"rdblquote", Word::Symbol, 0x201D},
    WordEntry{"red", Word::Red},
    WordEntry{"revtbl", Word::SkipDest},
    WordEntry{"revtim", Word::SkipDest},
    WordEntry{"rquote", Word::Symbol, 0x2019},
    WordEntry{"rtf", Word::Rtf},
    WordEntry{"rtlmark", Word::Symbol, 0x200F},
    WordEntry{"rtlpar", Word::Rtlpar},
    WordEntry{"sect", Word::Par},
    WordEntry{"shppict", Word::Shppict},
    WordEntry{"strike", Word::Strike},
    WordEntry{"striked", Word::Strike},
    WordEntry{"stylesheet", Word::SkipDest},
    WordEntry{"sub", Word::Sub},
    WordEntry{"subject", Word::SkipDest},
    WordEntry{"super", Word::Super},
    WordEntry{"tab", Word::Tab},
    WordEntry{"tc", Word::SkipDest},
    WordEntry{"template", Word::SkipDest},
    WordEntry{"title", Word::SkipDest},
    WordEntry{"txe", Word::SkipDest},
    WordEntry{"u", Word::U},
    WordEntry{"uc", Word::Uc},
    WordEntry{"ud", Word::Ud},
    WordEntry{"ul", Word::Ul},
    WordEntry{"uld", Word::Ul},
    WordEntry{"uldash", Word::Ul},
    WordEntry{"uldb", Word::Ul},
    WordEntry{"ulnone", Word::Ulnone},
    WordEntry{"ulth", Word::Ul},
    WordEntry{"ulw", Word::Ul},
    WordEntry{"ulwave", Word::Ul},
    WordEntry{"upr", Word::Upr},
    WordEntry{"userprops", Word::SkipDest},
    WordEntry{"v", Word::V},
    WordEntry{"wbitmap", Word::Wbitmap},
    WordEntry{"wbmbitspixel", Word::Wbmbitspixel},
    WordEntry{"wbmplanes", Word::Wbmplanes},
    WordEntry{"wbmwidthbytes", Word::Wbmwidthbytes},
    WordEntry{"wmetafile", Word::Wmetafile},
    WordEntry{"xe", Word::SkipDest},
    WordEntry{"zwj", Word::Symbol, 0x200D},
    WordEntry{"zwnj", Word::Symbol, 0x200C},
};
static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const WordEntry& a, const WordEntry& b) {
                                 return a.name < b.name;
                             }));

const WordEntry& lookup(std::string_view name) {
    static constexpr WordEntry unknown{"", Word::Unknown};
    auto it = std::lower_bound(kWords.begin(), kWords.end(), name,
                               [](const WordEntry& e, std::string_view n) { return e.name < n; });
    return it != kWords.end() && it->name == name ? *it : unknown;
}

enum class Dest : quint8 { Text, Skip, FontTable, ColorTable, Pict, ListLabel, PnGroup };

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

struct State {
    RtfCharFormat chr;
    RtfParaFormat para;
    Dest dest = Dest::Text;
    Dest beforeUpr = Dest::Text;
    bool hidden = false;
    int uc = 1;
};

// Deeper nesting than this is counted but shares one state, so hostile input cannot make the
// stack grow without bound; every group closing down there returns to the state the first
// of them opened with, so what they set (hidden text, a skipped destination) ends with them.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kMaxWordLength = 32;

bool isHex(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u <= '9')
        return u - '0';
    return (u | 0x20) - 'a' + 10;
}

bool isLetter(char16_t u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

class Reader {
public:
    Reader(QStringView in, bool raw, RtfSink& sink, RtfTables& tables)
        : p_(in.data()), end_(in.data() + in.size()), raw_(raw), sink_(sink), tables_(tables) {}

    void run();

private:
    // input
    const QChar* p_;
    const QChar* end_;
    bool raw_;
    RtfSink& sink_;
    RtfTables& tables_;

    std::vector<State> stack_;
    std::size_t overflow_ = 0;
    State overflowBase_; // the state at the cap, restored as those groups close
    bool rootClosed_ = false;
    State st_;
    int docCodePage_ = 1252;
    CodePages codePages_;

    QString run_;
    RtfCharFormat runFormat_;
    QByteArray pendingBytes_;
    int pendingCodePage_ = 0;
    int skip_ = 0;
    bool starNext_ = false;
    const QChar* openedAt_ = nullptr; // just after the last "{"; "\*" counts only there

    int fontNumber_ = -1;
    int fontCodePage_ = 0;
    QByteArray fontName_;  // bytes not yet decoded
    QString fontNameText_; // what is decoded so far
    int red_ = -1, green_ = -1, blue_ = -1;

    QString listLabel_;               // the label of the paragraph being read
    RtfList pnStyle_ = RtfList::None; // what the open numbering group asks for

    RtfPicture pict_;
    std::size_t pictDepth_ = 0;
    int nibble_ = -1;

    bool inText() const { return st_.dest == Dest::Text && !st_.hidden; }
    int currentCodePage() const;

    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(QChar c);
    void apply(Word w, bool hasParam, int param);
    void plainChars();
    void pictChars();

    void addByte(uchar b);
    void addChar(QChar c);
    void appendText(QStringView text);
    void flushBytes();
    void flushRun();
    void paragraph();
    RtfParaFormat paragraphFormat();
    void readBin(int count);

    void decodeFontName();
    void commitFont();
    void commitColor();
    void startPicture();
    void finishPicture();
};

int Reader::currentCodePage() const {
    const int font = st_.chr.font >= 0 ? st_.chr.font : tables_.defaultFont;
    if (auto it = tables_.fonts.constFind(font); it != tables_.fonts.constEnd() && it->codePage)
        return it->codePage;
    return docCodePage_;
}

void Reader::run() {
    while (p_ < end_ && !rootClosed_) {
        const QChar c = *p_;
        switch (c.unicode()) {
        case u'{':
            ++p_;
            openGroup();
            break;
        case u'}':
            ++p_;
            closeGroup();
            break;
        case u'\\':
            ++p_;
            if (p_ >= end_)
                break;
            if (isLetter(p_->unicode()))
                controlWord();
            else
                controlSymbol(*p_++);
            break;
        case u'\r':
        case u'\n':
            ++p_;
            break;
        default:
            if (st_.dest == Dest::Pict && skip_ == 0)
                pictChars();
            else
                plainChars();
        }
    }
    flushBytes();
    flushRun();
    if (!rootClosed_)
        sink_.finish(paragraphFormat());
}

void Reader::openGroup() {
    flushBytes();
    skip_ = 0;
    starNext_ = false;
    openedAt_ = p_;
    if (stack_.size() >= kMaxDepth) {
        if (overflow_++ == 0)
            overflowBase_ = st_;
        return;
    }
    stack_.push_back(st_);
}

void Reader::closeGroup() {
    flushBytes();
    skip_ = 0;
    starNext_ = false;
    if (overflow_ > 0) {
        --overflow_;
        const Dest leaving = st_.dest;
        st_ = overflowBase_;
        if (leaving == Dest::FontTable && st_.dest != Dest::FontTable)
            commitFont();
        if (leaving == Dest::Pict && st_.dest != Dest::Pict)
            finishPicture();
        return;
    }
    if (stack_.empty())
        return; // a stray brace: keep reading what follows
    const Dest leaving = st_.dest;
    const RtfParaFormat para = st_.para;
    st_ = stack_.back();
    stack_.pop_back();
    if (leaving == Dest::FontTable && st_.dest != Dest::FontTable)
        commitFont();
    if (leaving == Dest::Pict && stack_.size() < pictDepth_)
        finishPicture();
    if (leaving == Dest::PnGroup && st_.dest != Dest::PnGroup) {
        // The numbering group speaks for the paragraph it stands in.
        st_.para.list = pnStyle_ == RtfList::None ? RtfList::Decimal : pnStyle_;
        st_.para.listId = 0;
    }
    if (stack_.empty()) {
        // The document's own group has closed; what follows it is not part of it.
        flushRun();
        RtfParaFormat last = para;
        if (last.listId > 0)
            last.list = listOfLabel(listLabel_);
        sink_.finish(last);
        rootClosed_ = true;
    }
}

void Reader::controlWord() {
    const QChar* start = p_;
    while (p_ < end_ && isLetter(p_->unicode()))
        ++p_;
    const qsizetype length = p_ - start;
    std::array<char, kMaxWordLength> name{};
    const auto kept = std::min<qsizetype>(length, kMaxWordLength);
    for (qsizetype i = 0; i < kept; ++i)
        name[std::size_t(i)] = char(start[i].unicode());

    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (p_ < end_ && *p_ == u'-' && p_ + 1 < end_ && p_[1].isDigit()) {
        negative = true;
        ++p_;
    }
    int digits = 0;
    while (p_ < end_ && p_->unicode() >= '0' && p_->unicode() <= '9') {
        if (digits < 10)
            value = value * 10 + (p_->unicode() - '0');
        ++digits;
        ++p_;
        hasParam = true;
    }
    if (p_ < end_ && *p_ == u' ')
        ++p_;
    value = std::clamp<qint64>(negative ? -value : value, INT32_MIN, INT32_MAX);

    const std::string_view word(name.data(), std::size_t(kept));
    const WordEntry& entry = lookup(length > kMaxWordLength ? std::string_view() : word);
    const Word w = entry.word;
    if (skip_ > 0) {
        // A fallback after \uN: the whole control word counts as one character.
        --skip_;
        if (w == Word::Bin && hasParam)
            p_ += std::min<qint64>(std::max<qint64>(value, 0), end_ - p_);
        return;
    }
    if (w == Word::Symbol) {
        flushBytes();
        starNext_ = false;
        if (inText())
            addChar(QChar(entry.symbol));
        return;
    }
    if (w == Word::PnStyle) {
        apply(w, true, int(entry.symbol));
        return;
    }
    apply(w, hasParam, int(value));
}

void Reader::controlSymbol(QChar c) {
    if (c == u'\'') {
        int value = -1;
        if (p_ + 1 < end_ && isHex(p_[0]) && isHex(p_[1])) {
            value = hexValue(p_[0]) * 16 + hexValue(p_[1]);
            p_ += 2;
        } else if (p_ < end_ && isHex(*p_)) {
            ++p_; // a truncated escape: its one digit is dropped
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        if (value < 0)
            return;
        if (st_.dest == Dest::FontTable)
            fontName_.append(char(value));
        else if (st_.dest == Dest::ListLabel && !st_.hidden)
            listLabel_ += QChar(value < 0x80 ? value : 0x2022);
        else if (inText())
            addByte(uchar(value));
        return;
    }
    if (c == u'*') {
        // Only "{\*" marks a destination; a star elsewhere is an ignorable symbol.
        starNext_ = openedAt_ == p_ - 2;
        return;
    }
    if (skip_ > 0) {
        --skip_;
        return;
    }
    switch (c.unicode()) {
    case u'\\':
    case u'{':
    case u'}':
        if (inText())
            addChar(c);
        else if (st_.dest == Dest::FontTable)
            fontName_.append(char(c.unicode()));
        break;
    case u'~':
        if (inText())
            addChar(QChar(0x00A0));
        break;
    case u'_':
        if (inText())
            addChar(QChar(0x2011));
        break;
    case u'-':
        if (inText())
            addChar(QChar(0x00AD));
        break;
    case u'\t':
        if (inText())
            addChar(u'\t');
        break;
    case u'\r':
    case u'\n':
        if (inText())
            paragraph();
        break;
    default: // \: index subentry, \| formula: nothing to show
        break;
    }
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

void Reader::plainChars() {
    // Runs of ordinary characters are taken in one step; this is where the time goes.
    const QChar* start = p_;
    auto special = [this](char16_t u) {
        return u == '\\' || u == '{' || u == '}' || u == '\r' || u == '\n' || (raw_ && u >= 0x80) ||
               u < 0x20 || u == 0x2028 || u == 0x2029 || u == 0xFFFC;
    };
    if (skip_ > 0) {
        --skip_;
        ++p_;
        return;
    }
    if (st_.dest == Dest::Text && !st_.hidden && pendingBytes_.isEmpty()) {
        while (p_ < end_ && !special(p_->unicode()))
            ++p_;
        if (p_ > start) {
            appendText(QStringView(start, p_));
            return;
        }
    }
    const QChar c = *p_++;
    switch (st_.dest) {
    case Dest::Text:
        if (st_.hidden)
            return;
        if (raw_ && c.unicode() < 0x100)
            addByte(uchar(c.unicode()));
        else
            addChar(c);
        return;
    case Dest::FontTable:
        if (c == u';') {
            commitFont();
        } else if (raw_ || c.unicode() < 0x80) {
            fontName_.append(char(c.unicode()));
        } else {
            decodeFontName();
            fontNameText_ += c;
        }
        return;
    case Dest::ColorTable:
        if (c == u';')
            commitColor();
        return;
    case Dest::ListLabel:
        if (!st_.hidden && listLabel_.size() < 16)
            listLabel_ += c;
        return;
    case Dest::Pict:
    case Dest::Skip:
    case Dest::PnGroup:
        return;
    }
}

void Reader::pictChars() {
    while (p_ < end_) {
        const QChar c = *p_;
        if (isHex(c)) {
            const int v = hexValue(c);
            if (nibble_ < 0) {
                nibble_ = v;
            } else {
                pict_.data.append(char(nibble_ * 16 + v));
                nibble_ = -1;
            }
        } else if (c != u' ' && c != u'\r' && c != u'\n' && c != u'\t') {
            if (c != u'\\' && c != u'{' && c != u'}')
                ++p_; // stray characters in hex data are dropped
            return;
        }
        ++p_;
    }
}

void Reader::addByte(uchar b) {
    const int cp = currentCodePage();
    if (!pendingBytes_.isEmpty() && pendingCodePage_ != cp)
        flushBytes();
    pendingCodePage_ = cp;
    pendingBytes_.append(char(b));
}

void Reader::addChar(QChar c) {
    flushBytes();
    appendText(QStringView(&c, 1));
}

void Reader::appendText(QStringView text) {
    if (!run_.isEmpty() && !(runFormat_ == st_.chr))
        flushRun();
    runFormat_ = st_.chr;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool control = u < 0x20 && u != '\t';
        if (!control && u != 0x2028 && u != 0x2029 && u != 0xFFFC)
            continue;
        run_.append(text.mid(from, i - from));
        from = i + 1;
        // Breaks written as characters become paragraphs; other controls and object marks
        // would confuse positions and pictures, so they are dropped.
        if (u == 0x2028 || u == 0x2029 || u == '\r' || u == '\n')
            paragraph();
    }
    run_.append(text.mid(from));
}

void Reader::flushBytes() {
    if (pendingBytes_.isEmpty())
        return;
    QString decoded;
    codePages_.append(pendingCodePage_, pendingBytes_, decoded);
    pendingBytes_.clear();
    appendText(decoded);
}

void Reader::flushRun() {
    if (run_.isEmpty())
        return;
    // A \uN surrogate without its partner is no letter; show the replacement character.
    for (qsizetype i = 0; i < run_.size(); ++i) {
        const QChar c = run_[i];
        if (c.isHighSurrogate() && i + 1 < run_.size() && run_[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            run_[i] = QChar::ReplacementCharacter;
    }
    sink_.text(run_, runFormat_);
    run_.clear();
}

RtfParaFormat Reader::paragraphFormat() {
    RtfParaFormat format = st_.para;
    if (format.listId > 0)
        format.list = listOfLabel(listLabel_);
    listLabel_.clear();
    return format;
}

void Reader::paragraph() {
    flushBytes();
    flushRun();
    sink_.paragraphEnd(paragraphFormat());
}

void Reader::readBin(int count) {
    const qsizetype n = std::min<qsizetype>(std::max(count, 0), end_ - p_);
    if (st_.dest == Dest::Pict) {
        pict_.data.reserve(pict_.data.size() + n);
        for (qsizetype i = 0; i < n; ++i)
            pict_.data.append(char(p_[i].unicode() & 0xFF));
    }
    p_ += n;
}

void Reader::decodeFontName() {
    codePages_.append(fontCodePage_ ? fontCodePage_ : docCodePage_, fontName_, fontNameText_);
    fontName_.clear();
}

void Reader::commitFont() {
    decodeFontName();
    if (fontNumber_ >= 0)
        tables_.fonts.insert(fontNumber_, RtfFont{fontNameText_.trimmed(), fontCodePage_});
    fontNumber_ = -1;
    fontNameText_.clear();
    fontCodePage_ = 0;
}

void Reader::commitColor() {
    if (red_ < 0 && green_ < 0 && blue_ < 0)
        tables_.colors.append(QColor());
    else
        tables_.colors.append(QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
    red_ = green_ = blue_ = -1;
}

void Reader::startPicture() {
    flushBytes();
    flushRun();
    st_.dest = Dest::Pict;
    pict_ = RtfPicture();
    pictDepth_ = stack_.size();
    nibble_ = -1;
}

void Reader::finishPicture() {
    pictDepth_ = 0;
    if (st_.dest == Dest::Text && !st_.hidden)
        sink_.picture(pict_, st_.chr);
    pict_ = RtfPicture();
}

} // namespace

void readRtf(QStringView text, bool rawBytes, RtfSink& sink, RtfTables& tables) {
    Reader(text, rawBytes, sink, tables).run();
}

QString rtfTextFromBytes(const QByteArray& bytes) {
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    return QString::fromLatin1(bom ? bytes.mid(3) : bytes);
}

void readRtfBytes(const QByteArray& bytes, RtfSink& sink, RtfTables& tables) {
    readRtf(rtfTextFromBytes(bytes), true, sink, tables);
}

} // namespace tavrin
