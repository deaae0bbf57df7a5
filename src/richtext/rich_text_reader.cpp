#include "richtext/rich_text_reader.h"

#include "richtext/rich_text_codepage.h"
#include "richtext/rich_text_reading.h"
#include "richtext/rich_text_words.h"

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

using rtf::Dest;
using rtf::listOfLabel;
using rtf::lookup;
using rtf::Reader;
using rtf::State;
using rtf::Word;
using rtf::WordEntry;

namespace {

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

} // namespace

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
