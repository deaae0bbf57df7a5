#include "interchange/html_text.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace tavrin {

QString textHtml(const QString& text, const std::function<QString(int)>& picture) {
    static const QRegularExpression mark(QStringLiteral("\\{(\\d+)\\}"));
    // The text's own direction, by its first strong letter: a Latin answer reads left to
    // right on the platform's page too.
    QString dir = QStringLiteral("rtl");
    for (const QChar c : text) {
        const QChar::Direction d = c.direction();
        if (d == QChar::DirL) {
            dir = QStringLiteral("ltr");
            break;
        }
        if (d == QChar::DirR || d == QChar::DirAL)
            break;
    }
    QString html =
        QStringLiteral("<p dir=\"") + dir + QStringLiteral("\" style=\"white-space:pre-wrap\">");
    qsizetype from = 0;
    auto it = mark.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString src = picture(m.captured(1).toInt());
        if (src.isEmpty())
            continue;
        html += text.mid(from, m.capturedStart() - from).toHtmlEscaped();
        html +=
            QStringLiteral("<img src=\"") + src.toHtmlEscaped() + QStringLiteral("\" alt=\"\">");
        from = m.capturedEnd();
    }
    return html + text.mid(from).toHtmlEscaped() + QStringLiteral("</p>");
}

QString htmlPlainText(const QString& html, const QString& joint,
                      const std::function<QString(const QString&)>& picture) {
    QTextDocument document;
    document.setHtml(html);
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString text;
        for (auto f = block.begin(); !f.atEnd(); ++f) {
            const QTextFragment fragment = f.fragment();
            if (fragment.charFormat().isImageFormat()) {
                // One fragment holds a run of pictures with the same format.
                const QString shown = picture(fragment.charFormat().toImageFormat().name());
                for (int i = 0; i < fragment.length(); ++i)
                    text += shown;
            } else {
                text += fragment.text();
            }
        }
        text.replace(QChar::LineSeparator, joint);
        text.replace(QChar::Nbsp, u' ');
        if (!text.trimmed().isEmpty())
            paragraphs.append(text.trimmed());
    }
    return paragraphs.join(joint);
}

QString cdata(const QString& text) {
    QString inside = text;
    inside.replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
    return QStringLiteral("<![CDATA[") + inside + QStringLiteral("]]>");
}

} // namespace tavrin
