#include "store/quiz_file.h"

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/text_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <optional>

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
QuizQuestion question(Lines& lines, int after) {
    static const QRegularExpression open(QStringLiteral("^\t<question(\\d{1,3})>$"));
    static const QRegularExpression image(QStringLiteral("^\t\t<img(\\d{1,3})>(.*)</img\\1>$"));
    const auto head = lines.match(open);
    if (!head)
        lines.fail();
    const QString n = head->captured(1);
    if (n.toInt() <= after || n.toInt() >= kQuizEntries)
        lines.failTaken();
    QuizQuestion q;
    q.number = n.toInt();
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
    if (lines.take(QStringLiteral("\t\t<") + kUnmarkedTag + u'>',
                   QStringLiteral("</") + kUnmarkedTag + u'>'))
        q.marked = 0;
    q.cancelled = lines
                      .take(QStringLiteral("\t\t<") + kCancelledTag + u'>',
                            QStringLiteral("</") + kCancelledTag + u'>')
                      .has_value();
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
    return q;
}

QMap<int, QuizGroupLine> parseGroupLines(const QByteArray& bytes) {
    QMap<int, QuizGroupLine> groups;
    for (const QJsonValue& v : QJsonDocument::fromJson(bytes).array()) {
        const QJsonObject o = v.toObject();
        const int entry = o.value(QStringLiteral("entry")).toInt(-1);
        if (entry < 0 || entry >= kQuizEntries)
            return {};
        groups.insert(entry, {o.value(QStringLiteral("end")).toBool(),
                              o.value(QStringLiteral("title")).toString()});
    }
    return groups;
}

} // namespace

QList<QuizQuestion> parseQuizFile(const QString& text, const QString& id, const QString& name) {
    QStringList all = text.split(kCrLf);
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
    QList<QuizQuestion> questions;
    while (!lines.atEnd())
        questions.append(question(lines, questions.isEmpty() ? -1 : questions.last().number));
    if (!whole)
        lines.failTaken();
    return questions;
}

QString quizHeadLine(const QString& id, const QString& title) {
    return QStringLiteral("<quiz qNo='") + id + QStringLiteral("' IDname='") + title +
           QStringLiteral("'>") + kCrLf;
}

namespace {
QString line(const QString& tag, const QString& value) {
    return QStringLiteral("\t\t<") + tag + u'>' + value + QStringLiteral("</") + tag + u'>' + kCrLf;
}
} // namespace

QString quizBlock(int number, const QString& text, const QStringList& answers, int marked,
                  const QString& explanation, const QList<QuizCopyLine>& copies, bool cancelled) {
    const QString n = QString::number(number);
    QString block = QStringLiteral("\t<question") + n + u'>' + kCrLf;
    block += QStringLiteral("\t\t<question No='") + n + QStringLiteral("'>") + text +
             QStringLiteral("</question>") + kCrLf;
    static const char* const letters[] = {"A", "B", "C", "D"};
    for (int a = 0; a < 4 && a < answers.size(); ++a)
        block += line(QLatin1String(letters[a]), answers[a]);
    block += line(QStringLiteral("chk"), QString::number(marked > 0 ? marked : 2));
    // The player of old reads a "2" there; this tool's readers learn it stands for no mark.
    if (marked <= 0)
        block += line(kUnmarkedTag, QStringLiteral("1"));
    if (cancelled)
        block += line(kCancelledTag, QStringLiteral("1"));
    block += line(QStringLiteral("rslt"), explanation);
    for (const QuizCopyLine& copy : copies)
        block += line(copy.element, copy.name);
    return block + QStringLiteral("\t</question") + n + u'>' + kCrLf;
}

QByteArray groupLinesBytes(const QMap<int, QuizGroupLine>& groups) {
    QJsonArray lines;
    for (auto it = groups.begin(); it != groups.end(); ++it)
        lines.append(QJsonObject{{QStringLiteral("entry"), it.key()},
                                 {QStringLiteral("end"), it->end},
                                 {QStringLiteral("title"), it->title}});
    return lines.isEmpty() ? QByteArray() : QJsonDocument(lines).toJson(QJsonDocument::Indented);
}

QList<QuizBlock> quizBlocks(const QString& text) {
    static const QRegularExpression open(QStringLiteral("<question(\\d{1,3})>"));
    QMap<int, QuizBlock> blocks;
    auto it = open.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int n = m.captured(1).toInt();
        if (n >= kQuizEntries || blocks.contains(n) || (m.captured(1).startsWith(u'0') && n > 0))
            continue;
        const qsizetype start = m.capturedEnd();
        const qsizetype close = text.indexOf(QStringLiteral("</question%1>").arg(n), start);
        blocks.insert(n, close < 0 ? QuizBlock{n, QString(), false}
                                   : QuizBlock{n, text.mid(start, close - start), true});
    }
    return blocks.values();
}

QString quizLine(const QString& block, const QString& tag, bool* found) {
    const QString open = QStringLiteral("\t\t<") + tag + u'>';
    const qsizetype at = block.indexOf(open);
    if (found)
        *found = at >= 0;
    if (at < 0)
        return {};
    const qsizetype start = at + open.size();
    const QString close = QStringLiteral("</") + tag + u'>' + kCrLf;
    qsizetype end = block.indexOf(close, start);
    if (end < 0)
        end = block.indexOf(kCrLf, start);
    return block.mid(start, (end < 0 ? block.size() : end) - start);
}

BlockAnswers blockAnswers(const QString& block) {
    BlockAnswers read;
    for (const char* letter : {"A", "B", "C", "D"}) {
        bool found = false;
        const QString value = quizLine(block, QLatin1String(letter), &found);
        if (found)
            read.answers.append(value);
    }
    quizLine(block, kUnmarkedTag, &read.unmarked);
    read.marked = read.unmarked ? 0 : quizLine(block, QStringLiteral("chk")).toInt();
    quizLine(block, kCancelledTag, &read.cancelled);
    return read;
}

QMap<int, QuizGroupLine> lessonGroupLines(const QString& groupsPath,
                                          const QList<int>& questionNumbers) {
    QMap<int, QuizGroupLine> groups;
    if (fileExists(groupsPath))
        groups = parseGroupLines(readWholeFile(groupsPath));
    const QSet<int> questions(questionNumbers.begin(), questionNumbers.end());
    const int last = questionNumbers.isEmpty() ? -1 : questionNumbers.last();
    int count = last + 1;
    while (groups.contains(count))
        ++count;
    bool fits = groups.size() + questions.size() == count;
    for (int k = 0; k <= last && fits; ++k)
        fits = questions.contains(k) != groups.contains(k);
    if (fits)
        return groups;
    groups.clear();
    for (int k = 0; k < last; ++k) {
        if (!questions.contains(k))
            groups.insert(k, QuizGroupLine{true, QString()});
    }
    return groups;
}

QuizQuestion blockQuestion(const QuizBlock& read) {
    QuizQuestion q;
    q.number = read.number;
    const QString& block = read.body;
    // "\t\t<question No='n'>text</question>": up to the last closing tag on its line.
    const QString head = QStringLiteral("\t\t<question No='%1'>").arg(read.number);
    const qsizetype at = block.indexOf(head);
    if (at >= 0) {
        const qsizetype start = at + head.size();
        const qsizetype lineEnd = block.indexOf(kCrLf, start);
        q.text = block.mid(start, (lineEnd < 0 ? block.size() : lineEnd) - start);
        if (q.text.endsWith(QStringLiteral("</question>")))
            q.text.chop(11);
    }
    const BlockAnswers marks = blockAnswers(block);
    q.answers = marks.answers;
    q.marked = marks.marked;
    q.cancelled = marks.cancelled;
    q.explanation = quizLine(block, QStringLiteral("rslt"));
    static const QRegularExpression image(QStringLiteral("\t\t<img(\\d+)>"));
    auto it = image.globalMatch(block);
    while (it.hasNext()) {
        const QString number = it.next().captured(1);
        q.images.insert(number.toInt(), quizLine(block, QStringLiteral("img") + number));
    }
    q.attach = quizLine(block, QStringLiteral("attach"));
    q.sound = quizLine(block, QStringLiteral("sound"));
    q.film = quizLine(block, QStringLiteral("film"));
    q.back = quizLine(block, QStringLiteral("back"));
    return q;
}

} // namespace tavrin
