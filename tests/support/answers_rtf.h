#pragma once

#include <QString>
#include <QStringList>

namespace tavrin::test {

// Answers as the formatter files them: rich text, one answer a paragraph, the marked one
// starting with the correct-answer mark (0: none marked).
inline QString answersRtf(const QString& mark, const QStringList& answers, int right) {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\pard\\rtlpar\\qr ");
    for (int i = 0; i < answers.size(); ++i) {
        if (i > 0)
            rtf += QStringLiteral("\\par ");
        if (i + 1 == right)
            rtf += mark;
        for (const QChar c : answers[i]) {
            if (c == u'{' || c == u'}' || c == u'\\')
                rtf += u'\\';
            rtf += c.unicode() < 0x80 ? QString(c) : QStringLiteral("\\u%1?").arg(c.unicode());
        }
    }
    return rtf + u'}';
}

} // namespace tavrin::test
