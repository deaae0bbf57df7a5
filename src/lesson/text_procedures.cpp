#include "lesson/text_procedures.h"

#include "app/messages.h"
#include "platform/blanks.h"
#include "platform/persian_text.h"
#include "platform/formula_text.h"

#include <algorithm>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kRlm(0x200F);

} // namespace

namespace {

// Every match of before, left to right and not overlapping, replaced by an after no longer
// than it, in one pass over the text in place: QString::replace moves the tail again every
// thousand matches, which a text of many short lines makes superlinear.
void shrinkInPlace(QString& t, QStringView before, QStringView after) {
    Q_ASSERT(after.size() <= before.size());
    qsizetype at = t.indexOf(before);
    if (at < 0)
        return;
    QChar* data = t.data();
    qsizetype to = at;
    qsizetype from = at;
    while (at >= 0) {
        std::copy(data + from, data + at, data + to);
        to += at - from;
        std::copy(after.begin(), after.end(), data + to);
        to += after.size();
        from = at + before.size();
        at = t.indexOf(before, from);
    }
    std::copy(data + from, data + t.size(), data + to);
    to += t.size() - from;
    t.truncate(to);
}

} // namespace

QString Rep(QString t) {
    // In place: every replacement is no longer than what it replaces, and the marks are put
    // in from the end, so a 5 MB lesson is never held twice.
    shrinkInPlace(t, u"&nbsp;", u" ");
    shrinkInPlace(t, u"<ircMAIN>", u" ");
    shrinkInPlace(t, u"</ircMAIN>", kCrLf);
    shrinkInPlace(t, u" \r\n", kCrLf);
    for (int pass = 0; pass < 2; ++pass)
        shrinkInPlace(t, u"\r\n ", kCrLf);
    t.replace(QChar(0x0649), QChar(0x064A));
    const auto marked = [](QChar c) { return c == u'!' || c == u'.' || c == u':'; };
    // A formula keeps its TeX as written: a mark after "n!" or "3.14" would break it.
    if (hasFormula(t)) {
        QString out;
        out.reserve(t.size() + t.size() / 16);
        for (const TextPiece& p : formulaPieces(t)) {
            if (p.kind != TextPiece::Text) {
                out += p.source;
                continue;
            }
            for (const QChar c : p.source) {
                out += c;
                if (marked(c))
                    out += kRlm;
            }
        }
        return out;
    }
    const qsizetype marks = std::count_if(t.cbegin(), t.cend(), marked);
    if (marks == 0)
        return t;
    qsizetype from = t.size();
    t.resize(from + marks);
    QChar* data = t.data();
    for (qsizetype to = t.size(); from > 0;) {
        const QChar c = data[--from];
        if (marked(c))
            data[--to] = kRlm;
        data[--to] = c;
    }
    return t;
}

namespace {

// Every match of before, left to right and not overlapping, replaced: one pass, where
// QString::replace moves the tail once per thousand matches.
QString replacedAll(const QString& text, QStringView before, QStringView after) {
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(before); at >= 0; at = text.indexOf(before, from)) {
        out.append(QStringView(text).mid(from, at - from));
        out.append(after);
        from = at + before.size();
    }
    out.append(QStringView(text).mid(from));
    return out;
}

// Runs of blanks made one: what replacing "  " by " " until none is left gives.
QString singleBlanks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' || out.isEmpty() || out.back() != u' ')
            out.append(c);
    }
    return out;
}

// CR LF, RLM, blank made CR LF until none is left: every such pair after a line end goes.
QString withoutRlmBlanksAfterLineEnds(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        out.append(text[i]);
        if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r') {
            while (i + 2 < n && text[i + 1] == kRlm && text[i + 2] == u' ')
                i += 2;
        }
    }
    return out;
}

} // namespace

QString reflowText(QString t, int wordsPerLine, bool joinLines, bool breakAtMarks) {
    if (joinLines) {
        t = replacedAll(t, u"\r\n\r\n", u"#0#");
        t = replacedAll(t, kCrLf, u" ");
        t = singleBlanks(replacedAll(t, u"#0#", kCrLf));
    }
    if (breakAtMarks) {
        QString marked;
        marked.reserve(t.size() + t.size() / 8);
        for (const QChar c : t) {
            marked.append(c);
            if (c == u'.' || c == u'!') {
                marked.append(kRlm);
                marked.append(kCrLf);
            } else if (c == QChar(0x061F)) {
                marked.append(kCrLf);
            }
        }
        t = marked;
    }
    QString result;
    result.reserve(t.size() + t.size() / 16);
    qsizetype from = 0;
    while (from <= t.size()) {
        qsizetype end = t.indexOf(kCrLf, from);
        if (end < 0)
            end = t.size();
        const QStringView p = QStringView(t).mid(from, end - from);
        // Words are the pieces between blanks; more than W + 1 of them are wrapped.
        if (p.count(u' ') + 1 > wordsPerLine + 1) {
            // The original counts 1-based positions in the paragraph as it changes, against
            // the last blank's position taken before any change: each line break put in
            // pushes the later blanks one further, so the last few may not be reached.
            // Walking the blanks once with that shift keeps it linear.
            const qsizetype last = p.lastIndexOf(u' ') + 1;
            qsizetype pos = 1, shift = 0, copied = 0;
            int count = 1;
            for (qsizetype b = p.indexOf(u' ', 1); b >= 0 && pos < last;
                 b = p.indexOf(u' ', b + 1)) {
                pos = b + 1 + shift;
                if (count >= wordsPerLine) {
                    result += p.mid(copied, b - copied);
                    result += kCrLf;
                    copied = b + 1;
                    count = 0;
                    ++shift;
                }
                ++count;
            }
            result += p.mid(copied);
        } else {
            result += p;
        }
        if (!result.isEmpty() && !result.endsWith(kCrLf))
            result += kCrLf;
        if (end >= t.size())
            break;
        from = end + 2;
    }
    return withoutRlmBlanksAfterLineEnds(result);
}

QString RemCrLf(const QString& text) {
    QString t = text;
    t.replace(kCrLf, QStringLiteral(" "));
    t.replace(QStringLiteral("  "), QStringLiteral(" "));
    return trimBlanks(t);
}

QString DelCrLf(const QString& text) {
    qsizetype from = 0;
    while (text.mid(from, 2) == kCrLf)
        from += 2;
    return text.mid(from);
}

WordsPerLine readWordsPerLine(const QString& typed) {
    const QString digits = latinDigits(typed.trimmed());
    bool ok = false;
    const int words = digits.toInt(&ok);
    if (!ok)
        return {0, QStringLiteral(u"تعداد كلمات هر سطر بايد عددي از 10 تا 30 باشد.")};
    if (words < 10 || words > 30)
        return {22, QStringLiteral(u"تعداد كلمات هر سطر بايد از 10 تا 30 باشد؛ 22 گذاشته شد.")};
    return {words, {}};
}

QString BeBor(const QString& text, int length) {
    if (text.size() <= length)
        return text;
    const qsizetype blank = text.indexOf(u' ', std::max(length - 1, 0));
    if (blank >= 0)
        return text.left(blank + 1) + QStringLiteral("...");
    return text.left(length) + QStringLiteral("...");
}

} // namespace tavrin
