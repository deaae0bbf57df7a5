#include "formatter/text_procedures.h"

#include "app/messages.h"
#include "platform/blanks.h"

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kRlm(0x200F);

} // namespace

QString Rep(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    t.replace(QStringLiteral("<ircMAIN>"), QStringLiteral(" "));
    t.replace(QStringLiteral("</ircMAIN>"), kCrLf);
    t.replace(QStringLiteral(" \r\n"), kCrLf);
    for (int pass = 0; pass < 2; ++pass)
        t.replace(QStringLiteral("\r\n "), kCrLf);
    t.replace(QChar(0x0649), QChar(0x064A));
    QString out;
    out.reserve(t.size() + t.size() / 16);
    for (const QChar c : t) {
        out.append(c);
        if (c == u'!' || c == u'.' || c == u':')
            out.append(kRlm);
    }
    return out;
}

QString reflowText(QString t, int wordsPerLine, bool joinLines, bool breakAtMarks) {
    if (joinLines) {
        t.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("#0#"));
        t.replace(kCrLf, QStringLiteral(" "));
        t.replace(QStringLiteral("#0#"), kCrLf);
        while (t.contains(QStringLiteral("  ")))
            t.replace(QStringLiteral("  "), QStringLiteral(" "));
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
    const QString rlmBlank = kCrLf + kRlm + u' ';
    while (result.contains(rlmBlank))
        result.replace(rlmBlank, kCrLf);
    return result;
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

QString BeBor(const QString& text, int length) {
    if (text.size() <= length)
        return text;
    const qsizetype blank = text.indexOf(u' ', std::max(length - 1, 0));
    if (blank >= 0)
        return text.left(blank + 1) + QStringLiteral("...");
    return text.left(length) + QStringLiteral("...");
}

} // namespace tavrin
