#include "platform/persian_text.h"

#include "platform/formula_text.h"

#include <QDir>
#include <QRegularExpression>
#include <array>

namespace tavrin {
namespace {

bool arabicScript(char16_t c) {
    return (c >= 0x0600 && c <= 0x06FF) || (c >= 0xFB50 && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF);
}

bool asciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

enum class Side { None, Persian, Latin };

// The script of the nearest letter from i going by step, inside [from, to); digits and marks
// are passed.
Side nearestLetter(const QString& text, qsizetype i, int step, qsizetype from, qsizetype to) {
    for (; i >= from && i < to; i += step) {
        const QChar c = text[i];
        if (!c.isLetter())
            continue;
        return arabicScript(c.unicode()) ? Side::Persian : Side::Latin;
    }
    return Side::None;
}

// Words of the tool's own texts written without their non-joiner: the prefix "مي" and
// "نمي", and compounds. Applied as whole-word replacements.
QString withNonJoiners(QString text) {
    static const QRegularExpression inWord(
        QStringLiteral("(?<=[\\x{0620}-\\x{064A}\\x{067E}-\\x{06D3}])\\x{200F}(?=[\\x{0620}-"
                       "\\x{064A}\\x{067E}-\\x{06D3}])"));
    text.replace(inWord, QStringLiteral("\u200C"));
    // A plural after a final heh: "رشتهها" is "رشته‌ها".
    static const QRegularExpression plural(QStringLiteral("\\x{0647}(?=\\x{0647}\\x{0627})"));
    text.replace(plural, QStringLiteral("\u0647\u200C"));
    static const QRegularExpression prefix(QStringLiteral(
        "(?<![\\x{0620}-\\x{06D3}\\x{200C}])(\\x{0646}?\\x{0645}[\\x{064A}\\x{06CC}])(?=("
        "\\x{0628}\\x{0627}\\x{0634}|\\x{0634}\\x{0648}|"
        "[\\x{0643}\\x{06A9}]\\x{0646}|\\x{062A}\\x{0648}\\x{0627}\\x{0646}|"
        "\\x{0622}|\\x{0627}\\x{0641}\\x{062A}|\\x{062F}\\x{0647}|"
        "\\x{062E}\\x{0648}\\x{0627}\\x{0647}|\\x{0631}\\x{0648}|\\x{06AF}\\x{0631}\\x{062F}|"
        "\\x{0645}\\x{0627}\\x{0646}|\\x{0633}\\x{0627}\\x{0632}|\\x{067E}\\x{0630}\\x{064A}"
        "))"));
    text.replace(prefix, QStringLiteral("\\1\u200C"));
    struct Compound {
        const char16_t* plain;
        const char16_t* spelled;
    };
    static constexpr std::array<Compound, 6> compounds{{
        {u"نرمافزار", u"نرم\u200Cافزار"},
        {u"پسزمينه", u"پس\u200Cزمينه"},
        {u"پيشزمينه", u"پيش\u200Cزمينه"},
        {u"شيوهنامه", u"شيوه\u200Cنامه"},
        {u"پخشكننده", u"پخش\u200Cكننده"},
        {u"هماكنون", u"هم\u200Cاكنون"},
    }};
    for (const Compound& c : compounds)
        text.replace(QString::fromUtf16(c.plain), QString::fromUtf16(c.spelled));
    return text;
}

} // namespace

namespace {

// Yeh, kaf and digits as Persian ones in [from, to), one character for one; image marks keep
// theirs. Works in place: what lies before i is mapped already, which changes no letter's
// script, and what lies after is not yet.
void persianLettersIn(QString& out, qsizetype from, qsizetype to, Digits digits,
                      std::vector<LetterChange>* changed) {
    static const QRegularExpression mark(QStringLiteral("\\{\\d+\\}"));
    const auto put = [&](qsizetype at, char16_t shown) {
        if (changed)
            changed->push_back({int(at), out[at].unicode()});
        out[at] = QChar(shown);
    };
    qsizetype i = from;
    while (i < to) {
        const char16_t c = out[i].unicode();
        // A left-to-right isolate (a path, an identifier) is shown as it is written.
        if (c == 0x2066) {
            const qsizetype end = out.indexOf(QChar(0x2069), i);
            i = end < 0 || end >= to ? to : end + 1;
            continue;
        }
        if (c == u'{') {
            const QRegularExpressionMatch m =
                mark.match(out, i, QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch() && m.capturedEnd() <= to) {
                i = m.capturedEnd();
                continue;
            }
        }
        if (c == 0x064A || c == 0x0649)
            put(i, 0x06CC);
        else if (c == 0x0643)
            put(i, 0x06A9);
        else if (c >= 0x0660 && c <= 0x0669)
            put(i, char16_t(0x06F0 + (c - 0x0660)));
        if (!asciiDigit(c) || digits == Digits::Untouched) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < to && asciiDigit(out[end].unicode()))
            ++end;
        const Side before = nearestLetter(out, i - 1, -1, from, to);
        const Side after = nearestLetter(out, end, 1, from, to);
        const bool persian =
            before != Side::Latin && after != Side::Latin &&
            (before == Side::Persian || after == Side::Persian || digits == Digits::AlsoBare);
        if (persian) {
            for (qsizetype d = i; d < end; ++d)
                put(d, char16_t(0x06F0 + (out[d].unicode() - u'0')));
        }
        i = end;
    }
}

} // namespace

QString persianShown(const QString& source, Digits digits) {
    // A formula is shown as its source: its letters and digits are TeX, not Persian text.
    if (hasFormula(source)) {
        QString out;
        for (const TextPiece& p : formulaPieces(source))
            out += p.kind == TextPiece::Text ? persianShown(p.source, digits) : p.source;
        return out;
    }
    QString out = withNonJoiners(source);
    persianLettersIn(out, 0, out.size(), digits, nullptr);
    return out;
}

QString persianSameLength(QString text, std::vector<LetterChange>* changed) {
    if (changed)
        changed->clear();
    if (hasFormula(text)) {
        const QList<TextPiece> pieces = formulaPieces(text);
        qsizetype joined = 0;
        for (const TextPiece& p : pieces)
            joined += p.start == joined ? p.source.size() : text.size() + 1;
        // Pieces that do not join back to the text (a formula left open) are shown as typed.
        if (joined != text.size())
            return text;
        for (const TextPiece& p : pieces)
            if (p.kind == TextPiece::Text)
                persianLettersIn(text, p.start, p.start + p.source.size(), Digits::InPersianText,
                                 changed);
        return text;
    }
    persianLettersIn(text, 0, text.size(), Digits::InPersianText, changed);
    return text;
}

QString leftToRight(const QString& text) {
    return QChar(0x2066) + text + QChar(0x2069);
}

QString pathInLine(const QString& path) {
    return leftToRight(QDir::toNativeSeparators(path));
}

QString pathShown(const QString& path) {
    constexpr QChar lrm(0x200E);
    QString out;
    out.reserve(path.size() * 2);
    const qsizetype dot = path.lastIndexOf(u'.');
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == u'/' || c == u'\\') {
            out += lrm;
            out += c;
            out += lrm;
        } else if (i == dot) {
            out += lrm;
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

QString pathTyped(QString shown) {
    return shown.remove(QChar(0x200E));
}

QString latinDigits(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x06F0 && u <= 0x06F9)
            c = QChar(u'0' + (u - 0x06F0));
        else if (u >= 0x0660 && u <= 0x0669)
            c = QChar(u'0' + (u - 0x0660));
    }
    return text;
}

char32_t nearestAnsiLetter(char32_t c) {
    if (c == 0x06CC || c == 0x06D0 || c == 0x06D2)
        return 0x064A;
    if (c == 0x06A9)
        return 0x0643;
    if (c >= 0x06F0 && c <= 0x06F9)
        return u'0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return u'0' + (c - 0x0660);
    if (c == 0x06C0 || c == 0x06C1 || c == 0x06D5)
        return 0x0647;
    if (c == 0x066B) // Arabic decimal separator
        return u'.';
    if (c == 0x066C)
        return u',';
    return c;
}

} // namespace tavrin
