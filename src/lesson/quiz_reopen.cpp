#include "lesson/quiz_reopen.h"

#include "lesson/outline_editing.h"
#include "lesson/text_procedures.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "richtext/rich_text_writer.h"
#include "platform/formula_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QString kRtfHead = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil"
                                        "\\fcharset178 Tahoma;}}\r\n\\pard\\rtlpar\\qr\\f0 ");

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

QString paragraphsRtf(const QStringList& paragraphs, int marked, const QString& checkSnippet,
                      const QMap<int, QString>& images, const QString& imgSnippet) {
    QString rtf = kRtfHead;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            rtf += QStringLiteral("\\par ");
        if (i + 1 == marked)
            rtf += checkSnippet;
        const QString& text = paragraphs[i];
        qsizetype from = 0;
        for (const ImageMark& m : imageMarks(text, 3)) {
            if (!images.contains(m.number))
                continue;
            appendRtfText(QStringView(text).mid(from, m.start - from), rtf);
            rtf += imgSnippet;
            from = m.start;
        }
        appendRtfText(QStringView(text).mid(from), rtf);
    }
    return rtf + u'}';
}

QByteArray groupsBytes(const EntryTable& table) {
    QMap<int, QuizGroupLine> groups;
    for (int k = 0; k < EntryTable::kEntries && !table.SoalText[k].isEmpty(); ++k) {
        if (isGroupLine(table.SoalText[k]))
            groups.insert(k, {table.SoalText[k] == kEndTitleEntry, table.JavabRtf[k]});
    }
    return groupLinesBytes(groups);
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
    QMap<int, QuizQuestion> questions;
    for (QuizQuestion& q :
         parseQuizFile(withoutLoneSurrogates(readUtf16File(xml + name)), id, name))
        questions.insert(q.number, std::move(q));

    // The group lines fill the places between the questions. Without their file (or with one
    // that does not fit) each place becomes a group end without a title: it opens nothing,
    // and the questions keep their numbers.
    const QMap<int, QuizGroupLine> groups =
        lessonGroupLines(xml + folders::groupsName(id), questions.keys());
    const int count = int(questions.size() + groups.size());

    ReopenedBook book;
    EntryTable& t = book.table;
    for (int k = 0; k < count; ++k) {
        const auto q = questions.find(k);
        if (q == questions.end()) {
            const QuizGroupLine g = groups.value(k, QuizGroupLine{true, QString()});
            t.SoalText[k] = g.end ? kEndTitleEntry : kMainTitleEntry;
            t.JavabRtf[k] = g.title;
            t.OpenGroups = std::max(0, t.OpenGroups + (g.end ? -1 : 1));
            if (!g.end)
                t.GroupTitle = g.title;
            book.outline.append(groupLineOf(t, k));
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
        t.Cancelled[k] = q->cancelled ? QStringLiteral("1") : QString();
        book.outline.append(outlineLineOf(context, t, k));
    }
    t.EntryCount = count;
    return book;
}

} // namespace tavrin
