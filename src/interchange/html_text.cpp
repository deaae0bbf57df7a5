#include "interchange/html_text.h"

#include "platform/formula_text.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace tavrin {

QString textHtml(const QString& text, const std::function<QString(int)>& picture) {
    const QList<TextPiece> pieces = formulaPieces(text);
    // The text's own direction, by its first strong letter outside a formula: a Latin answer
    // reads left to right on the platform's page too.
    const auto direction = [&] {
        for (const TextPiece& p : pieces) {
            if (p.kind != TextPiece::Text)
                continue;
            for (const QChar c : p.source) {
                const QChar::Direction d = c.direction();
                if (d == QChar::DirL)
                    return QStringLiteral("ltr");
                if (d == QChar::DirR || d == QChar::DirAL)
                    return QStringLiteral("rtl");
            }
        }
        return QStringLiteral("rtl");
    };
    QString html = QStringLiteral("<p dir=\"") + direction() +
                   QStringLiteral("\" style=\"white-space:pre-wrap\">");
    for (const TextPiece& p : pieces) {
        // A formula is isolated left to right, or a right-to-left page reverses it.
        if (p.kind != TextPiece::Text) {
            html += QStringLiteral("<span dir=\"ltr\">") + p.source.toHtmlEscaped() +
                    QStringLiteral("</span>");
            continue;
        }
        qsizetype from = 0;
        for (const ImageMark& m : imageMarks(p.source)) {
            const QString src = picture(m.number);
            if (src.isEmpty())
                continue;
            html += p.source.mid(from, m.start - from).toHtmlEscaped();
            html += QStringLiteral("<img src=\"") + src.toHtmlEscaped() +
                    QStringLiteral("\" alt=\"\">");
            from = m.end;
        }
        html += p.source.mid(from).toHtmlEscaped();
    }
    return html + QStringLiteral("</p>");
}

namespace {

// Imported HTML is only read for its text: nothing it names (a style sheet, a picture, a
// link) is ever fetched, so a file cannot make the tool open a private file, a device or a
// pipe of the machine it is imported on.
class NothingLoaded : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

} // namespace

QString htmlPlainText(const QString& html, const QString& joint,
                      const std::function<QString(const QString&)>& picture) {
    NothingLoaded document;
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
