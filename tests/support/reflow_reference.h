#pragma once

// The reflow as its rules read, with 1-based string steps and one replace at a time: the
// oracle the tool's one-pass reflow must match (a test and a fuzz target compare them).
#include <QString>
#include <QStringList>

namespace tavrin::test::reflow {

inline const QString CRLF = QStringLiteral("\r\n");
inline const QString RLM = QString(QChar(0x200F));

// 1-based helpers in the manner the rules are stated.
inline qsizetype instr(qsizetype start, const QString& text, const QString& what) {
    const qsizetype at = text.indexOf(what, start - 1);
    return at < 0 ? 0 : at + 1;
}
inline QString mid(const QString& text, qsizetype start, qsizetype length = -1) {
    return text.mid(start - 1, length);
}
inline QString replaceAll(QString text, const QString& from, const QString& to) {
    QString out;
    qsizetype pos = 1;
    for (;;) {
        const qsizetype at = instr(pos, text, from);
        if (at == 0)
            break;
        out += mid(text, pos, at - pos) + to;
        pos = at + from.size();
    }
    return out + mid(text, pos);
}

// The reflow exactly as its steps read.
inline QString reflowReference(QString t, int w, bool hazP, bool noghte) {
    if (hazP) {
        t = replaceAll(t, CRLF + CRLF, "#0#");
        t = replaceAll(t, CRLF, " ");
        t = replaceAll(t, "#0#", CRLF);
        while (instr(1, t, "  ") > 0)
            t = replaceAll(t, "  ", " ");
    }
    if (noghte) {
        t = replaceAll(t, ".", "." + RLM + CRLF);
        t = replaceAll(t, "!", "!" + RLM + CRLF);
        t = replaceAll(t, QString(QChar(0x061F)), QString(QChar(0x061F)) + CRLF);
    }
    QStringList paragraphs;
    qsizetype pos = 1;
    for (;;) {
        const qsizetype at = instr(pos, t, CRLF);
        if (at == 0) {
            paragraphs << mid(t, pos);
            break;
        }
        paragraphs << mid(t, pos, at - pos);
        pos = at + 2;
    }
    QString r;
    for (QString p : paragraphs) {
        if (p.split(' ').size() > w + 1) {
            const qsizetype l = p.lastIndexOf(' ') + 1;
            qsizetype at = 1;
            int count = 1;
            while (at < l) {
                const qsizetype blank = instr(at + 1, p, " ");
                if (blank == 0)
                    break;
                at = blank;
                if (count >= w) {
                    p = mid(p, 1, at - 1) + CRLF + mid(p, at + 1);
                    count = 0;
                }
                ++count;
            }
        }
        r += p;
        if (!r.isEmpty() && mid(r, r.size() - 1) != CRLF)
            r += CRLF;
    }
    while (instr(1, r, CRLF + RLM + " ") > 0)
        r = replaceAll(r, CRLF + RLM + " ", CRLF);
    return r;
}

} // namespace tavrin::test::reflow

namespace tavrin::test {
using reflow::reflowReference;
} // namespace tavrin::test
