#include "platform/formula_text.h"

namespace tavrin {

namespace {

// The player reads the same text by the same two rules (player-formula.js): a space is what
// a script's \s matches, a digit a Latin, Arabic-Indic or Persian one.
bool isSpace(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0xA0 || u == 0x1680 ||
           (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F ||
           u == 0x205F || u == 0x3000 || u == 0xFEFF;
}
bool isDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= 0x0660 && u <= 0x0669) || (u >= 0x06F0 && u <= 0x06F9);
}

// No formula is longer: a text full of openers without closers is read in linear time.
constexpr qsizetype kLongestFormula = 2000;

// A blank line starts at i (a line end, another right after it, CR LF or LF).
bool blankLineAt(const QString& text, qsizetype i) {
    if (text[i] != u'\n')
        return false;
    const qsizetype next = i + 1 < text.size() && text[i + 1] == u'\r' ? i + 2 : i + 1;
    return next < text.size() && text[next] == u'\n';
}

// The end of a "$" formula opened at `at`, or -1: the opening "$" has no space after it, the
// closing one none before it and no digit after it (so "$5 and $6" stays text), and a formula
// does not run over a blank line.
qsizetype dollarEnd(const QString& text, qsizetype at) {
    const qsizetype from = at + 1;
    if (from >= text.size() || isSpace(text[from]) || text[from] == u'$')
        return -1;
    const qsizetype last = qMin(text.size(), from + kLongestFormula);
    for (qsizetype i = from; i < last; ++i) {
        const QChar c = text[i];
        if (c == u'\\') {
            ++i;
            continue;
        }
        if (blankLineAt(text, i))
            return -1;
        if (c != u'$')
            continue;
        if (isSpace(text[i - 1]) || (i + 1 < text.size() && isDigit(text[i + 1])))
            continue;
        return i;
    }
    return -1;
}

// The end of a formula opened by `open` at `at` and closed by `close`, or -1.
qsizetype closedAt(const QString& text, qsizetype at, QStringView close) {
    const qsizetype last = qMin(text.size(), at + kLongestFormula);
    for (qsizetype i = at; i + close.size() <= last; ++i) {
        if (QStringView(text).mid(i, close.size()) == close)
            return i;
        // An escaped character is one: "\\)" is a line break then ")".
        if (text[i] == u'\\' && close[0] != u'\\')
            ++i;
        else if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'\\')
            ++i;
    }
    return -1;
}

struct Found {
    TextPiece::Kind kind = TextPiece::Text;
    qsizetype texStart = 0;
    qsizetype texEnd = 0; // exclusive
    qsizetype end = 0;    // after the closing delimiter
};

// Where the last closer of each kind stands (-1: none), found once a text: an opener after it
// cannot close, whatever the text before, so a text of openers alone is read in linear time.
class LastClosers {
public:
    explicit LastClosers(const QString& text) : text_(text) {}
    qsizetype of(QStringView close) {
        const int k = close == u"\\)" ? 0 : close == u"\\]" ? 1 : 2;
        if (last_[k] == kUnknown)
            last_[k] = text_.lastIndexOf(close);
        return last_[k];
    }
    // The last "$" that may close a formula: no blank before it, no digit after it.
    qsizetype dollar() {
        if (last_[3] != kUnknown)
            return last_[3];
        last_[3] = -1;
        for (qsizetype i = text_.size() - 1; i > 0; --i)
            if (text_[i] == u'$' && !isSpace(text_[i - 1]) &&
                !(i + 1 < text_.size() && isDigit(text_[i + 1]))) {
                last_[3] = i;
                break;
            }
        return last_[3];
    }

private:
    static constexpr qsizetype kUnknown = -2;
    const QString& text_;
    qsizetype last_[4] = {kUnknown, kUnknown, kUnknown, kUnknown};
};

// A formula that starts at `at`, if one does.
bool formulaAt(const QString& text, qsizetype at, Found& f, LastClosers& last) {
    const QChar c = text[at];
    const QChar next = at + 1 < text.size() ? text[at + 1] : QChar();
    if (c == u'\\' && (next == u'(' || next == u'[')) {
        const bool display = next == u'[';
        const QStringView closer = display ? u"\\]" : u"\\)";
        if (last.of(closer) < at + 2)
            return false;
        const qsizetype close = closedAt(text, at + 2, closer);
        if (close < 0)
            return false;
        f = {display ? TextPiece::Display : TextPiece::Inline, at + 2, close, close + 2};
        return close > at + 2;
    }
    if (c != u'$')
        return false;
    if (next == u'$') {
        if (last.of(u"$$") < at + 2)
            return false;
        const qsizetype close = closedAt(text, at + 2, u"$$");
        if (close <= at + 2)
            return false;
        f = {TextPiece::Display, at + 2, close, close + 2};
        return true;
    }
    if (last.dollar() <= at + 1)
        return false;
    const qsizetype close = dollarEnd(text, at);
    if (close < 0)
        return false;
    f = {TextPiece::Inline, at + 1, close, close + 1};
    return true;
}

} // namespace

QList<TextPiece> formulaPieces(const QString& text) {
    QList<TextPiece> pieces;
    LastClosers last(text);
    qsizetype plainFrom = 0;
    const auto flush = [&](qsizetype to) {
        if (to > plainFrom)
            pieces.append(
                {TextPiece::Text, text.mid(plainFrom, to - plainFrom), QString(), plainFrom});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size() && text[i + 1] == u'$') {
            ++i; // "\$" is a dollar sign
            continue;
        }
        if (c != u'\\' && c != u'$')
            continue;
        Found f;
        if (!formulaAt(text, i, f, last))
            continue;
        flush(i);
        pieces.append(
            {f.kind, text.mid(i, f.end - i), text.mid(f.texStart, f.texEnd - f.texStart), i});
        plainFrom = f.end;
        i = f.end - 1;
    }
    flush(text.size());
    return pieces;
}

bool hasFormula(const QString& text) {
    if (!text.contains(u'$') && !text.contains(u'\\'))
        return false;
    for (const TextPiece& p : formulaPieces(text))
        if (p.kind != TextPiece::Text)
            return true;
    return false;
}

QString canonicalFormulas(const QString& text) {
    if (!hasFormula(text))
        return text;
    QString out;
    for (const TextPiece& p : formulaPieces(text)) {
        if (p.kind == TextPiece::Text)
            out += p.source;
        else if (p.kind == TextPiece::Inline)
            out += QStringLiteral("\\(") + p.tex + QStringLiteral("\\)");
        else
            out += QStringLiteral("\\[") + p.tex + QStringLiteral("\\]");
    }
    return out;
}

QList<ImageMark> imageMarks(const QString& text, int maxDigits) {
    QList<ImageMark> marks;
    const QList<TextPiece> pieces =
        hasFormula(text) ? formulaPieces(text) : QList<TextPiece>{{TextPiece::Text, text, {}, 0}};
    for (const TextPiece& p : pieces) {
        if (p.kind != TextPiece::Text)
            continue;
        const QString& s = p.source;
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] != u'{')
                continue;
            qsizetype j = i + 1;
            while (j < s.size() && s[j] >= u'0' && s[j] <= u'9')
                ++j;
            const qsizetype digits = j - i - 1;
            if (digits == 0 || digits > maxDigits || j >= s.size() || s[j] != u'}')
                continue;
            marks.append({p.start + i, p.start + j + 1, s.mid(i + 1, digits).toInt()});
            i = j;
        }
    }
    return marks;
}

} // namespace tavrin
