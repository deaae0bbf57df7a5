#include "platform/text_codec.h"

#include "platform/persian_text.h"

#include <QHash>
#include <QStringDecoder>
#include <QtEndian>
#include <array>

namespace tavrin {
namespace {

// Built once from the system converter, so no table is written by hand.
struct AnsiTable {
    bool available = false;
    std::array<char16_t, 256> toUnicode{};
    QHash<char32_t, char> fromUnicode;

    AnsiTable() {
        QStringDecoder decoder("windows-1256", QStringDecoder::Flag::Stateless);
        available = decoder.isValid();
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            QString one;
            if (available)
                one = decoder.decode(QByteArrayView(&byte, 1));
            char16_t unit = b < 0x80 ? char16_t(b) : char16_t(0xFFFD);
            if (one.size() == 1)
                unit = one.at(0).unicode();
            toUnicode[b] = unit;
            if (unit != 0xFFFD && !fromUnicode.contains(unit))
                fromUnicode.insert(unit, byte);
        }
    }
};

const AnsiTable& ansiTable() {
    static const AnsiTable table;
    return table;
}

} // namespace

bool ansiCodecAvailable() {
    return ansiTable().available;
}

QString decodeAnsi(const QByteArray& bytes) {
    const AnsiTable& t = ansiTable();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return out;
}

QByteArray encodeAnsi(const QString& text) {
    const AnsiTable& t = ansiTable();
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        auto it = t.fromUnicode.constFind(cp);
        // A Persian keyboard's yeh and kaf, and Persian digits, have no byte of their own:
        // the nearest letter the code page holds is written, not "?".
        if (it == t.fromUnicode.constEnd())
            it = t.fromUnicode.constFind(nearestAnsiLetter(cp));
        out.append(it == t.fromUnicode.constEnd() ? '?' : it.value());
    }
    return out;
}

QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
            continue;
        }
        const bool forbidden = (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                               c == 0xFFFE || c == 0xFFFF || QChar::isSurrogate(c);
        if (!forbidden)
            out += text[i];
    }
    return out;
}

QByteArray encodeUtf16Le(const QString& text) {
    QByteArray out(2 + text.size() * 2, Qt::Uninitialized);
    out[0] = char(0xFF);
    out[1] = char(0xFE);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), out.data() + 2);
    return out;
}

QString decodeUtf16Le(const QByteArray& bytes) {
    qsizetype start = 0;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        start = 2;
    const qsizetype units = (bytes.size() - start) / 2;
    QString out(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData() + start, units, out.data());
    return out;
}

QString withoutLoneSurrogates(QString text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

} // namespace tavrin
