#include "formatter/quiz_reopen.h"

#include "formatter/outline_editing.h"
#include "formatter/text_procedures.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "richtext/rich_text_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The lines of a quiz file, read in MakeBook's order; a line out of it ends the reading.
class Lines {
public:
    Lines(QStringList lines, QString name) : lines_(std::move(lines)), name_(std::move(name)) {}
    bool atEnd() const { return at_ >= lines_.size(); }
    [[noreturn]] void fail() const { throw UnreadableQuiz(int(at_) + 1, name_); }
    [[noreturn]] void failTaken() const { throw UnreadableQuiz(int(at_), name_); }
    // The text between open and close on the next line, which is then taken; or nothing.
    std::optional<QString> take(const QString& open, const QString& close) {
        if (atEnd())
            return std::nullopt;
        const QString& line = lines_[at_];
        if (!line.startsWith(open) || !line.endsWith(close) ||
            line.size() < open.size() + close.size())
            return std::nullopt;
        ++at_;
        return line.mid(open.size(), line.size() - open.size() - close.size());
    }
    QString must(const QString& open, const QString& close) {
        if (auto inner = take(open, close))
            return *inner;
        fail();
    }
    std::optional<QRegularExpressionMatch> match(const QRegularExpression& re) {
        if (atEnd())
            return std::nullopt;
        QRegularExpressionMatch m = re.match(lines_[at_]);
        if (!m.hasMatch())
            return std::nullopt;
        ++at_;
        return m;
    }

private:
    QStringList lines_;
    QString name_;
    qsizetype at_ = 0;
};

struct Question {
    QString text, explanation;
    QStringList answers;
    int marked = 0;
    QMap<int, QString> images; // image number -> copy name
    QString attach, sound, film, back;
};

// An attachment's copy: a plain name in BookTXT, or nothing.
QString copyName(const QString& tag, Lines& lines) {
    const QString name =
        lines.take(QStringLiteral("\t\t<") + tag + u'>', QStringLiteral("</") + tag + u'>')
            .value_or(QString());
    if (!name.isEmpty() && !isPlainFileName(name))
        lines.failTaken();
    return name;
}

// The next question; its number must be above the one before and within the table.
std::pair<int, Question> question(Lines& lines, int after) {
    static const QRegularExpression open(QStringLiteral("^\t<question(\\d{1,3})>$"));
    static const QRegularExpression image(QStringLiteral("^\t\t<img(\\d{1,3})>(.*)</img\\1>$"));
    const auto head = lines.match(open);
    if (!head)
        lines.fail();
    const QString n = head->captured(1);
    if (n.toInt() <= after || n.toInt() >= EntryTable::kEntries)
        lines.failTaken();
    Question q;
    q.text = lines.must(QStringLiteral("\t\t<question No='") + n + QStringLiteral("'>"),
                        QStringLiteral("</question>"));
    for (const char* letter : {"A", "B", "C", "D"}) {
        const QString l = QLatin1StringView(letter);
        const auto answer =
            lines.take(QStringLiteral("\t\t<") + l + u'>', QStringLiteral("</") + l + u'>');
        if (!answer)
            break;
        q.answers.append(*answer);
    }
    bool ok = false;
    q.marked = lines.must(QStringLiteral("\t\t<chk>"), QStringLiteral("</chk>")).toInt(&ok);
    if (!ok)
        lines.failTaken();
    q.explanation = lines.must(QStringLiteral("\t\t<rslt>"), QStringLiteral("</rslt>"));
    while (const auto m = lines.match(image)) {
        if (!isPlainFileName(m->captured(2)))
            lines.failTaken();
        q.images.insert(m->captured(1).toInt(), m->captured(2));
    }
    q.attach = copyName(QStringLiteral("attach"), lines);
    q.sound = copyName(QStringLiteral("sound"), lines);
    q.film = copyName(QStringLiteral("film"), lines);
    q.back = copyName(QStringLiteral("back"), lines);
    lines.must(QStringLiteral("\t</question") + n + u'>', QString());
    return {n.toInt(), q};
}

const QString kRtfHead = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil"
                                        "\\fcharset178 Tahoma;}}\r\n\\pard\\rtlpar\\qr\\f0 ");

// Paragraphs as RTF whose plain text is exactly them joined by CR LF: no \par after the last.
// The marked paragraph (1-based) starts with the check mark; an image mark "{N}" of a
// picture the quiz file names follows the image mark's picture.
QString paragraphsRtf(const QStringList& paragraphs, int marked, const QString& checkSnippet,
                      const QMap<int, QString>& images, const QString& imgSnippet) {
    static const QRegularExpression imageMark(QStringLiteral("\\{(\\d{1,3})\\}"));
    QString rtf = kRtfHead;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            rtf += QStringLiteral("\\par ");
        if (i + 1 == marked)
            rtf += checkSnippet;
        const QString& text = paragraphs[i];
        qsizetype from = 0;
        auto it = imageMark.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (!images.contains(m.captured(1).toInt()))
                continue;
            appendRtfText(QStringView(text).mid(from, m.capturedStart() - from), rtf);
            rtf += imgSnippet;
            from = m.capturedStart();
        }
        appendRtfText(QStringView(text).mid(from), rtf);
    }
    return rtf + u'}';
}

struct GroupLine {
    bool end = false;
    QString title;
};

QMap<int, GroupLine> groupsFrom(const QByteArray& bytes) {
    QMap<int, GroupLine> groups;
    for (const QJsonValue& v : QJsonDocument::fromJson(bytes).array()) {
        const QJsonObject o = v.toObject();
        const int entry = o.value(QStringLiteral("entry")).toInt(-1);
        if (entry < 0 || entry >= EntryTable::kEntries)
            return {};
        groups.insert(entry, {o.value(QStringLiteral("end")).toBool(),
                              o.value(QStringLiteral("title")).toString()});
    }
    return groups;
}

} // namespace

QString beforeRemCrLf(const QString& line) {
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size();) {
        qsizetype run = 0;
        while (i + run < line.size() && line[i + run] == u' ')
            ++run;
        if (run == 0) {
            out += line[i++];
            continue;
        }
        out += QString(run >= 2 ? run * 2 : run, u' ');
        i += run;
    }
    return out;
}

QByteArray groupsBytes(const EntryTable& table) {
    QJsonArray groups;
    for (int k = 0; k < EntryTable::kEntries && !table.SoalText[k].isEmpty(); ++k) {
        if (isGroupLine(table.SoalText[k]))
            groups.append(QJsonObject{{QStringLiteral("entry"), k},
                                      {QStringLiteral("end"), table.SoalText[k] == kEndTitleEntry},
                                      {QStringLiteral("title"), table.JavabRtf[k]}});
    }
    return groups.isEmpty() ? QByteArray() : QJsonDocument(groups).toJson(QJsonDocument::Indented);
}

std::optional<ReopenedBook> reopenBook(Context& context, const QString& projectPath,
                                       const QString& id, const QString& checkSnippet,
                                       const QString& imgSnippet) {
    const QString o = DoSlashStrict(projectPath);
    const QString sep = nativeSeparator();
    const QString xml = o + folders::kXml + sep;
    const QString pages = o + folders::kBookTxt + sep;
    const QString name = folders::quizName(id);
    if (!fileExists(xml + name))
        return std::nullopt;
    QStringList all = withoutLoneSurrogates(readUtf16File(xml + name)).split(kCrLf);
    // A whole file ends with a line break; a truncated one does not.
    const bool whole = all.size() > 1 && all.last().isEmpty();
    if (whole)
        all.removeLast();
    Lines lines(all, name);
    static const QRegularExpression head(QStringLiteral("^<quiz qNo='([^']*)' IDname='.*'>$"));
    const auto h = lines.match(head);
    if (!h)
        lines.fail();
    if (h->captured(1) != id)
        lines.failTaken();

    QMap<int, Question> questions;
    while (!lines.atEnd()) {
        const auto [n, q] = question(lines, questions.isEmpty() ? -1 : questions.lastKey());
        questions.insert(n, q);
    }
    if (!whole)
        lines.failTaken();

    // The group lines fill the places between the questions. Without their file (or with one
    // that does not fit) each place becomes a group end without a title: it opens nothing,
    // and the questions keep their numbers.
    QMap<int, GroupLine> groups;
    if (fileExists(xml + folders::groupsName(id)))
        groups = groupsFrom(readWholeFile(xml + folders::groupsName(id)));
    const int last = questions.isEmpty() ? -1 : questions.lastKey();
    int count = last + 1;
    while (groups.contains(count))
        ++count;
    bool fits = groups.size() + questions.size() == count;
    for (int k = 0; k <= last && fits; ++k)
        fits = questions.contains(k) != groups.contains(k);
    if (!fits) {
        groups.clear();
        count = last + 1;
    }

    ReopenedBook book;
    EntryTable& t = book.table;
    const QString separator = QStringLiteral("   =>   ");
    for (int k = 0; k < count; ++k) {
        const auto q = questions.find(k);
        if (q == questions.end()) {
            const GroupLine g = groups.value(k, GroupLine{true, QString()});
            t.SoalText[k] = g.end ? kEndTitleEntry : kMainTitleEntry;
            t.JavabRtf[k] = g.title;
            t.OpenGroups = std::max(0, t.OpenGroups + (g.end ? -1 : 1));
            if (!g.end)
                t.GroupTitle = g.title;
            book.outline.append(BeBor(t.SoalText[k], 20) + separator + BeBor(g.title, 50));
            continue;
        }
        QMap<int, QString> images;
        for (auto i = q->images.begin(); i != q->images.end(); ++i) {
            if (i.key() >= EntryTable::kImages)
                continue;
            t.ImagePaths[i.key()] = pages + i.value();
            t.ImageCounter = std::max(t.ImageCounter, i.key() + 1);
            images.insert(i.key(), i.value());
        }
        t.SoalText[k] = beforeRemCrLf(q->text);
        if (!q->answers.isEmpty())
            t.JavabRtf[k] = paragraphsRtf(q->answers, q->marked, checkSnippet, images, imgSnippet);
        if (!q->explanation.isEmpty())
            t.TozihRtf[k] =
                paragraphsRtf({beforeRemCrLf(q->explanation)}, 0, QString(), {}, QString());
        const auto copy = [&](const QString& n) { return n.isEmpty() ? n : pages + n; };
        t.AttachPath[k] = copy(q->attach);
        t.SoundPath[k] = copy(q->sound);
        t.FilmPath[k] = copy(q->film);
        t.BackPath[k] = copy(q->back);
        book.outline.append(outlineLineOf(context, t, k));
    }
    t.EntryCount = count;
    return book;
}

} // namespace tavrin
