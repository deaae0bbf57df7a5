#include "interchange/html_text.h"
#include "interchange/moodle_files.h"
#include "interchange/moodle_xml.h"
#include "platform/text_codec.h"
#include "platform/xml_guard.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <memory>
#include <stdexcept>

namespace tavrin {

namespace {

using moodle::isPicture;
using moodle::kPluginFile;

struct Node {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    std::vector<std::unique_ptr<Node>> children;
    const Node* child(const QString& n) const {
        for (const auto& c : children) {
            if (c->name == n)
                return c.get();
        }
        return nullptr;
    }
    QString attribute(const QString& n) const { return attributes.value(n).toString(); }
    // The text of its "text" child.
    QString textChild() const {
        const Node* t = child(QStringLiteral("text"));
        return t ? t->text : QString();
    }
};

// The element the reader stands on, with all it holds; walked without a call a level, and
// refused deeper than any Moodle file goes.
std::unique_ptr<Node> readTree(QXmlStreamReader& xml) {
    auto root = std::make_unique<Node>();
    root->name = xml.name().toString();
    root->attributes = xml.attributes();
    std::vector<Node*> open{root.get()};
    while (!xml.atEnd() && !open.empty()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (open.size() >= size_t(kDeepestXml))
                throw std::invalid_argument(
                    QStringLiteral("the XML is nested too deeply (over %1 levels, line %2)")
                        .arg(kDeepestXml)
                        .arg(xml.lineNumber())
                        .toStdString());
            auto child = std::make_unique<Node>();
            child->name = xml.name().toString();
            child->attributes = xml.attributes();
            Node* at = child.get();
            open.back()->children.push_back(std::move(child));
            open.push_back(at);
        } else if (xml.isCharacters()) {
            open.back()->text += xml.text();
        } else if (xml.isEndElement()) {
            open.pop_back();
        }
    }
    return root;
}

// A text area's files, by name.
QMap<QString, QByteArray> filesOf(const Node* area) {
    QMap<QString, QByteArray> files;
    if (!area)
        return files;
    for (const auto& c : area->children) {
        if (c->name == QLatin1String("file"))
            files.insert(c->attribute(QStringLiteral("name")),
                         QByteArray::fromBase64(c->text.simplified().remove(u' ').toLatin1()));
    }
    return files;
}

// The file a picture's address names: one of the area's files, or data in the address.
TravelFile fileAt(const QString& src, const QMap<QString, QByteArray>& files) {
    if (src.startsWith(kPluginFile)) {
        const QString name = QUrl::fromPercentEncoding(src.mid(kPluginFile.size()).toUtf8());
        const QString plain = name.section(u'/', -1);
        if (files.contains(plain))
            return {plain, files.value(plain)};
        if (files.contains(name))
            return {plain, files.value(name)};
        return {};
    }
    static const QRegularExpression data(QStringLiteral("^data:image/([a-z+]+);base64,(.*)$"));
    const QRegularExpressionMatch m = data.match(src);
    if (m.hasMatch())
        return {QStringLiteral("picture.") + m.captured(1).section(u'+', 0, 0),
                QByteArray::fromBase64(m.captured(2).toLatin1())};
    return {};
}

QString textOf(const Node* area, const QMap<QString, QByteArray>& files,
               std::function<QString(const TravelFile&)> picture, const QString& joint) {
    if (!area)
        return {};
    const QString format = area->attribute(QStringLiteral("format"));
    const QString text = area->textChild();
    if (format != QLatin1String("html") && format != QLatin1String("moodle_auto_format") &&
        !format.isEmpty()) {
        QStringList lines;
        for (const QString& line : text.split(u'\n'))
            if (!line.trimmed().isEmpty())
                lines.append(line.trimmed());
        return lines.join(joint);
    }
    return htmlPlainText(text, joint,
                         [&](const QString& src) { return picture(fileAt(src, files)); });
}

enum class Slot { Attach, Sound, Film, Back };

// Which of a question's places a linked file goes to, by its name.
Slot slotByName(const QString& name) {
    static const QRegularExpression sound(
        QStringLiteral("\\.(mp3|wav|ogg|oga|m4a|aac|wma|flac|midi?)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression film(
        QStringLiteral("\\.(mp4|m4v|webm|ogv|avi|wmv|mov|mpe?g|flv|mkv)$"),
        QRegularExpression::CaseInsensitiveOption);
    return sound.match(name).hasMatch()  ? Slot::Sound
           : film.match(name).hasMatch() ? Slot::Film
                                         : Slot::Attach;
}

TravelFile& slotOf(TravelQuestion& q, Slot slot) {
    switch (slot) {
    case Slot::Sound:
        return q.sound;
    case Slot::Film:
        return q.film;
    case Slot::Back:
        return q.back;
    case Slot::Attach:
        break;
    }
    return q.attach;
}

// Puts a file in its place of the question; a place already taken leaves it out, named.
void place(TravelQuestion& q, Slot slot, const TravelFile& file, QStringList& leftOut) {
    if (file.isEmpty())
        return;
    TravelFile& into = slotOf(q, slot);
    if (into.isEmpty())
        into = file;
    else if (into.name != file.name || into.bytes != file.bytes)
        leftOut.append(file.name);
}

// The tool's own attachments, any sound or film, and files linked with <a href>, taken out
// of a question's HTML into their places; used names the area's files that found one.
QString takeAttachments(QString html, const QMap<QString, QByteArray>& files, TravelQuestion& q,
                        QStringList& leftOut, QSet<QString>& used) {
    static const QRegularExpression element(QStringLiteral("<(img|a|audio|video)\\b([^>]*)>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression source(QStringLiteral("\\b(?:src|href)\\s*=\\s*\"([^\"]*)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kind(
        QStringLiteral("\\bclass\\s*=\\s*\"tavrin-(attach|sound|film|back)\""));
    QString out;
    qsizetype from = 0;
    auto it = element.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() < from)
            continue;
        const QString tag = m.captured(1).toLower();
        const QString attributes = m.captured(2);
        const QRegularExpressionMatch own = kind.match(attributes);
        const TravelFile file = fileAt(source.match(attributes).captured(1), files);
        const bool media = tag == QLatin1String("audio") || tag == QLatin1String("video");
        // A link to one of the question's own files brings that file; other links stay text.
        const bool link = tag == QLatin1String("a") && !file.isEmpty();
        if (!own.hasMatch() && !media && !link)
            continue;
        const QString which = own.captured(1);
        const Slot slot = which == QLatin1String("attach")  ? Slot::Attach
                          : which == QLatin1String("sound") ? Slot::Sound
                          : which == QLatin1String("film")  ? Slot::Film
                          : which == QLatin1String("back")  ? Slot::Back
                          : tag == QLatin1String("audio")   ? Slot::Sound
                          : tag == QLatin1String("video")   ? Slot::Film
                                                            : slotByName(file.name);
        place(q, slot, file, leftOut);
        if (!file.isEmpty())
            used.insert(file.name);
        out += html.mid(from, m.capturedStart() - from);
        qsizetype end = m.capturedEnd();
        if (tag != QLatin1String("img")) {
            const qsizetype close =
                html.indexOf(QStringLiteral("</") + tag, end, Qt::CaseInsensitive);
            if (close >= 0)
                end = html.indexOf(u'>', close) + 1;
        }
        from = end;
    }
    return out + html.mid(from);
}

// An older export's picture: <image> names it, <image_base64> holds its bytes.
TravelFile legacyPicture(const Node& node) {
    const Node* name = node.child(QStringLiteral("image"));
    const Node* data = node.child(QStringLiteral("image_base64"));
    if (!data || data->text.trimmed().isEmpty())
        return {};
    QString file = name ? name->text.trimmed().section(u'/', -1) : QString();
    if (file.isEmpty())
        file = QStringLiteral("picture.png");
    return {file, QByteArray::fromBase64(data->text.simplified().remove(u' ').toLatin1())};
}

// The question's text, its files in their places (a picture in the text becomes the
// attachment, which the CD shows as a picture); files the text carries but never shows are
// left out, named.
void readQuestionText(const Node* questionText, TravelQuestion& q, QStringList& leftOut) {
    if (!questionText)
        return;
    const QMap<QString, QByteArray> textFiles = filesOf(questionText);
    Node shown;
    shown.attributes = questionText->attributes;
    auto text = std::make_unique<Node>();
    text->name = QStringLiteral("text");
    QSet<QString> used;
    text->text = takeAttachments(questionText->textChild(), textFiles, q, leftOut, used);
    shown.children.push_back(std::move(text));
    q.text = textOf(
        &shown, textFiles,
        [&](const TravelFile& f) {
            if (f.isEmpty())
                return QString();
            used.insert(f.name);
            place(q, Slot::Attach, f, leftOut);
            return QString();
        },
        QStringLiteral("\r\n"));
    for (const QString& name : textFiles.keys())
        if (!used.contains(name) && !used.contains(name.section(u'/', -1)))
            leftOut.append(name);
}

// One answer's text: "true" and "false" in Persian, a picture as an image mark.
QString answerText(const Node& answer, bool truth, TravelQuestion& q) {
    if (truth) {
        const QString value = answer.textChild().trimmed().toLower();
        return value == QLatin1String("true")    ? QStringLiteral(u"درست")
               : value == QLatin1String("false") ? QStringLiteral(u"نادرست")
                                                 : answer.textChild().trimmed();
    }
    return textOf(
        &answer, filesOf(&answer),
        [&](const TravelFile& f) {
            if (f.isEmpty())
                return QString();
            const int n = int(q.pictures.size());
            q.pictures.insert(n, f);
            return QStringLiteral("{%1}").arg(n);
        },
        QStringLiteral(" "));
}

// The answers of a multiple-choice or true-false question; false when the question has more
// than one right answer (or only partly right ones), which the lesson cannot hold.
bool readAnswers(const Node& node, bool truth, const QString& shownTitle, TravelQuestion& q,
                 TravelSet& set) {
    int rights = 0, partial = 0;
    bool answerFeedback = false; // the lesson has no place for it: said, not lost silently
    for (const auto& c : node.children) {
        if (c->name != QLatin1String("answer"))
            continue;
        const QString fractionText = c->attribute(QStringLiteral("fraction")).trimmed();
        const double fraction = fractionText.toDouble();
        if (fraction < 0 && !set.penaltiesFound.contains(fractionText))
            set.penaltiesFound.append(fractionText);
        rights += fraction >= 100 ? 1 : 0;
        partial += fraction > 0 && fraction < 100 ? 1 : 0;
        q.answers.append(answerText(*c, truth, q));
        if (fraction >= 100 && q.correct == 0)
            q.correct = int(q.answers.size());
        const Node* said = c->child(QStringLiteral("feedback"));
        answerFeedback =
            answerFeedback || (said && !textOf(
                                            said, {}, [](const TravelFile&) { return QString(); },
                                            QStringLiteral(" "))
                                            .trimmed()
                                            .isEmpty());
    }
    if (rights > 1 || (rights == 0 && partial > 0))
        return false;
    if (partial > 0)
        set.notes.append(partialCreditNote(shownTitle));
    if (answerFeedback)
        set.notes.append(answerFeedbackNote(shownTitle));
    return true;
}

void readQuestion(const Node& node, const QStringList& category, TravelSet& set) {
    const QString type = node.attribute(QStringLiteral("type"));
    TravelQuestion q;
    q.category = category;
    const Node* name = node.child(QStringLiteral("name"));
    q.title = name ? name->textChild().trimmed() : QString();
    QStringList leftOut;
    readQuestionText(node.child(QStringLiteral("questiontext")), q, leftOut);
    place(q, Slot::Attach, legacyPicture(node), leftOut);
    const QString shownTitle = q.title.isEmpty() ? q.text.left(40) : q.title;
    const Node* feedback = node.child(QStringLiteral("generalfeedback"));
    q.explanation = textOf(
        feedback, filesOf(feedback),
        [&](const TravelFile& f) {
            if (!f.isEmpty())
                leftOut.append(f.name);
            return QString();
        },
        QStringLiteral(" "));
    const bool truth = type == QLatin1String("truefalse");
    const bool held =
        type == QLatin1String("description") || ((type == QLatin1String("multichoice") || truth) &&
                                                 readAnswers(node, truth, shownTitle, q, set));
    if (!held) {
        set.skipped.append({shownTitle, questionKindName(type)});
        return;
    }
    for (const QString& file : leftOut)
        set.notes.append((isPicture(file) ? QStringLiteral(u"تصوير «%1» از «%2» آورده نشد.")
                                          : QStringLiteral(u"پرونده «%1» از «%2» آورده نشد."))
                             .arg(file, shownTitle));
    set.questions.append(std::move(q));
}

} // namespace

TravelSet readMoodleXml(const QByteArray& bytes) {
    if (declaresEntities(bytes))
        throw std::invalid_argument("the XML declares entities, which a Moodle file never does");
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    if (xml.hasError() || xml.name() != QLatin1String("quiz"))
        throw std::invalid_argument("the file is not Moodle XML (no <quiz> element)");
    const std::unique_ptr<Node> quiz = readTree(xml);
    if (xml.hasError())
        throw std::invalid_argument(QStringLiteral("the XML does not read (line %1: %2)")
                                        .arg(xml.lineNumber())
                                        .arg(xml.errorString())
                                        .toStdString());
    TravelSet set;
    QStringList category;
    QSet<QStringList> declared; // a look-up a category, not a walk of all before it
    for (const auto& node : quiz->children) {
        if (node->name != QLatin1String("question"))
            continue;
        if (node->attribute(QStringLiteral("type")) == QLatin1String("category")) {
            const Node* c = node->child(QStringLiteral("category"));
            category = categoryNames(c ? c->textChild().trimmed() : QString());
            if (!declared.contains(category)) {
                declared.insert(category);
                set.categories.append(category);
            }
            continue;
        }
        readQuestion(*node, category, set);
    }
    if (const QString note = penaltyFoundNote(set.penaltiesFound); !note.isEmpty())
        set.notes.append(note);
    return set;
}

} // namespace tavrin
