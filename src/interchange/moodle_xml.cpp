#include "interchange/moodle_xml.h"

#include "interchange/html_text.h"
#include "interchange/moodle_files.h"
#include "platform/text_codec.h"
#include "platform/xml_guard.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <memory>
#include <stdexcept>

namespace tavrin {

namespace {

using moodle::fileUrl;
using moodle::isPicture;

void writeFiles(QXmlStreamWriter& xml, const QList<TravelFile>& files) {
    for (const TravelFile& f : files) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("name"), xmlSafe(f.name));
        xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        xml.writeCharacters(QString::fromLatin1(f.bytes.toBase64()));
        xml.writeEndElement();
    }
}

void writeText(QXmlStreamWriter& xml, const QString& element, const QString& html,
               const QList<TravelFile>& files = {}) {
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeStartElement(QStringLiteral("text"));
    if (!html.isEmpty())
        xml.writeCDATA(xmlSafe(html));
    xml.writeEndElement();
    writeFiles(xml, files);
    xml.writeEndElement();
}

void writeCategory(QXmlStreamWriter& xml, const QStringList& category) {
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    xml.writeStartElement(QStringLiteral("category"));
    xml.writeTextElement(QStringLiteral("text"), xmlSafe(persianLetters(categoryPath(category))));
    xml.writeEndElement();
    xml.writeEndElement();
}

// The question's text with its background picture and attachments after it, each marked
// by its class so that it comes back as the same attachment.
QString questionHtml(const TravelQuestion& q, QList<TravelFile>& files) {
    QString html = textHtml(textLetters(q.text), [](int) { return QString(); });
    const auto add = [&](const TravelFile& f, const QString& kind, const QString& element) {
        if (f.isEmpty())
            return;
        files.append(f);
        html += QStringLiteral("<p>") +
                element.arg(QStringLiteral("tavrin-") + kind, fileUrl(f.name).toHtmlEscaped()) +
                QStringLiteral("</p>");
    };
    add(q.back, QStringLiteral("back"),
        QStringLiteral(u"<img class=\"%1\" src=\"%2\" alt=\"تصویر زمینه\">"));
    add(q.attach, QStringLiteral("attach"),
        isPicture(q.attach.name)
            ? QStringLiteral(u"<img class=\"%1\" src=\"%2\" alt=\"پیوست سؤال\">")
            : QStringLiteral(u"<a class=\"%1\" href=\"%2\">پیوست سؤال</a>"));
    add(q.sound, QStringLiteral("sound"),
        QStringLiteral("<audio class=\"%1\" controls src=\"%2\"></audio>"));
    add(q.film, QStringLiteral("film"),
        QStringLiteral("<video class=\"%1\" controls src=\"%2\"></video>"));
    return html;
}

void writeQuestion(QXmlStreamWriter& xml, const TravelQuestion& q, bool shuffleAnswers,
                   const QString& wrongFraction) {
    const bool choice = q.scored();
    if (!q.answers.isEmpty() && !choice) {
        // A comment may not hold "--": a title's dashes are parted.
        QString comment = xmlSafe(QStringLiteral(u" «") + persianLetters(q.title) +
                                  kUnmarkedComment.chopped(1) + u' ');
        xml.writeComment(comment.replace(QStringLiteral("--"), QStringLiteral("- -")));
    }
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"),
                       choice ? QStringLiteral("multichoice") : QStringLiteral("description"));
    xml.writeStartElement(QStringLiteral("name"));
    xml.writeTextElement(QStringLiteral("text"), xmlSafe(persianLetters(q.title)));
    xml.writeEndElement();
    QList<TravelFile> files;
    const QString text = questionHtml(q, files);
    writeText(xml, QStringLiteral("questiontext"), text, files);
    writeText(xml, QStringLiteral("generalfeedback"),
              q.explanation.isEmpty() ? QString() : textHtml(textLetters(q.explanation), [](int) {
                  return QString();
              }));
    xml.writeTextElement(QStringLiteral("defaultgrade"),
                         choice ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    if (choice) {
        xml.writeTextElement(QStringLiteral("single"), QStringLiteral("true"));
        // Answers that carry their own labels ("الف)", "1-") keep their order.
        const bool labelled = std::any_of(q.answers.begin(), q.answers.end(), [](const QString& a) {
            return !answerLabel(a).isEmpty();
        });
        xml.writeTextElement(QStringLiteral("shuffleanswers"), shuffleAnswers && !labelled
                                                                   ? QStringLiteral("true")
                                                                   : QStringLiteral("false"));
        // The answers carry their own letters, as on the CD.
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("none"));
        for (int a = 0; a < q.answers.size(); ++a) {
            QList<TravelFile> pictures;
            const QString html = textHtml(textLetters(q.answers[a]), [&](int n) {
                const auto p = q.pictures.find(n);
                if (p == q.pictures.end() || p->isEmpty())
                    return QString();
                if (std::none_of(pictures.begin(), pictures.end(),
                                 [&](const TravelFile& f) { return f.name == p->name; }))
                    pictures.append(*p);
                return fileUrl(p->name);
            });
            xml.writeStartElement(QStringLiteral("answer"));
            xml.writeAttribute(QStringLiteral("fraction"),
                               a + 1 == q.correct        ? QStringLiteral("100")
                               : wrongFraction.isEmpty() ? QStringLiteral("0")
                                                         : wrongFraction);
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
            xml.writeStartElement(QStringLiteral("text"));
            xml.writeCDATA(xmlSafe(html));
            xml.writeEndElement();
            writeFiles(xml, pictures);
            xml.writeEndElement();
        }
    }
    xml.writeEndElement();
}

} // namespace

QByteArray moodleXml(const TravelSet& set, bool shuffleAnswers) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    const QList<QList<QStringList>> categories = categoriesBefore(set);
    for (qsizetype n = 0; n < set.questions.size(); ++n) {
        for (const QStringList& c : categories[n])
            writeCategory(xml, c);
        writeQuestion(xml, set.questions[n], shuffleAnswers, set.wrongFraction);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace tavrin
