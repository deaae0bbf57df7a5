#include "interchange/gift_format.h"

#include "interchange/html_text.h"
#include "platform/formula_text.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <stdexcept>

namespace tavrin {

namespace {

const QString kSpecial = QStringLiteral("\\~=#{}:");

const QString kCannotTravel = QStringLiteral(
    u"// تصویرها، صدا، فیلم، پیوست‌ها و تصویر زمینه در "
    u"قالب GIFT جا نمی‌گیرند و "
    u"در این "
    u"پرونده نیستند.");

// The comment before a question whose answers' own labels were left behind; the labels
// stand in it, each in «», so that the tool puts them back on reading.
const QString kLabelsLeft = QStringLiteral(
    u"»: برچسب گزینه‌ها برداشته شد؛ سکو خود آنها را "
    u"با حرف می‌نویسد: ");

// The labels such a comment names; none for any other line.
QStringList labelsLeft(const QString& comment) {
    const qsizetype at = comment.indexOf(kLabelsLeft);
    if (at < 0)
        return {};
    static const QRegularExpression quoted(QStringLiteral(u"«([^»]*)»"));
    QStringList labels;
    for (auto it = quoted.globalMatch(comment, at + kLabelsLeft.size()); it.hasNext();)
        labels.append(it.next().captured(1) + u' ');
    return labels;
}

const QString kWeightOutOfRange = QStringLiteral(u"وزن يك گزينه بيرون از -100 تا 100 درصد است");

QString lettersEscaped(const QString& text) {
    return giftEscaped(persianLetters(text));
}

// ---- reading ------------------------------------------------------------------------------

// One character of a GIFT text: escaped ones are never control characters.
struct Char {
    QChar c;
    bool escaped = false;
};

QList<Char> chars(const QString& text) {
    QList<Char> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() &&
            (kSpecial.contains(text[i + 1]) || text[i + 1] == u'n')) {
            out.append({text[i + 1] == u'n' ? QChar(u'\n') : text[i + 1], true});
            ++i;
        } else {
            out.append({text[i], false});
        }
    }
    return out;
}

QString textOf(const QList<Char>& cs, qsizetype from, qsizetype to) {
    QString s;
    for (qsizetype i = from; i < to && i < cs.size(); ++i)
        s += cs[i].c;
    return s;
}

qsizetype findPlain(const QList<Char>& cs, QChar c, qsizetype from) {
    for (qsizetype i = from; i < cs.size(); ++i) {
        if (!cs[i].escaped && cs[i].c == c)
            return i;
    }
    return -1;
}

const QRegularExpression& formatMark() {
    static const QRegularExpression format(
        QStringLiteral("^\\s*\\[(html|markdown|plain|moodle)\\]"));
    return format;
}

// Whether a question's text is HTML: its answers and feedback are too unless marked.
bool isHtml(const QString& text) {
    const QRegularExpressionMatch m = formatMark().match(text);
    return m.hasMatch() && m.captured(1) == QLatin1String("html");
}

// A text part: its own "[format]" read, else the question's; HTML made plain; lines joined
// by CR LF.
QString plain(QString text, bool questionHtml = false) {
    const QRegularExpressionMatch m = formatMark().match(text);
    const bool html = m.hasMatch() ? m.captured(1) == QLatin1String("html") : questionHtml;
    if (m.hasMatch())
        text = text.mid(m.capturedEnd());
    if (html)
        return htmlPlainText(text, QStringLiteral("\r\n"),
                             [](const QString&) { return QString(); });
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines.join(QStringLiteral("\r\n"));
}

struct Choice {
    bool right = false;
    int weight = 0; // percent; "=" is 100
    QString text;
    bool equals = false;     // introduced by "=": every answer so is a short answer's
    bool outOfRange = false; // a weight outside -100..100 percent
    QString weightText;      // as written, when given
};

// The answers part "=a ~b ~%50%c #feedback ####general": choices and the general feedback.
// Per-answer feedback is left out (the tool has none).
void readChoices(const QList<Char>& cs, bool html, QList<Choice>& choices, QString& general,
                 bool& feedback) {
    static const QRegularExpression weight(QStringLiteral("^%(-?\\d+(?:\\.\\d+)?)%"));
    qsizetype i = 0;
    const auto atGeneral = [&](qsizetype k) {
        return k + 3 < cs.size() && !cs[k].escaped && cs[k].c == u'#' && !cs[k + 1].escaped &&
               cs[k + 1].c == u'#' && !cs[k + 2].escaped && cs[k + 2].c == u'#' &&
               !cs[k + 3].escaped && cs[k + 3].c == u'#';
    };
    Choice* current = nullptr;
    bool inFeedback = false;
    while (i < cs.size()) {
        if (atGeneral(i)) {
            general = plain(textOf(cs, i + 4, cs.size()), html);
            break;
        }
        const Char ch = cs[i];
        if (!ch.escaped && (ch.c == u'=' || ch.c == u'~')) {
            choices.append({ch.c == u'=', ch.c == u'=' ? 100 : 0, {}, ch.c == u'=', false, {}});
            current = &choices.last();
            inFeedback = false;
        } else if (!ch.escaped && ch.c == u'#' && current) {
            inFeedback = true;
            feedback = true;
        } else if (current && !inFeedback) {
            current->text += ch.c;
        }
        ++i;
    }
    for (Choice& c : choices) {
        const QRegularExpressionMatch m = weight.match(c.text.trimmed());
        if (m.hasMatch()) {
            const double w = m.captured(1).toDouble();
            c.outOfRange = !(w >= -100 && w <= 100);
            c.weight = c.outOfRange ? 0 : int(w);
            c.weightText = m.captured(1);
            c.right = c.weight == 100;
            c.text = c.text.trimmed().mid(m.capturedEnd());
        }
        c.text = plain(c.text, html);
    }
}

QString shortTitle(const QString& title, const QString& text) {
    return title.isEmpty() ? text.left(40) : title;
}

// A "::title::" where the item starts: its text, with at moved past it; empty without one.
QString readTitle(const QList<Char>& cs, qsizetype& at) {
    while (at < cs.size() && cs[at].c.isSpace())
        ++at;
    const auto colons = [&](qsizetype i) {
        return !cs[i].escaped && cs[i].c == u':' && !cs[i + 1].escaped && cs[i + 1].c == u':';
    };
    if (at + 1 >= cs.size() || !colons(at))
        return {};
    qsizetype end = at + 2;
    while (end + 1 < cs.size() && !colons(end))
        ++end;
    if (end + 1 >= cs.size())
        throw std::invalid_argument("a question title is not closed");
    const QString title = textOf(cs, at + 2, end).trimmed();
    at = end + 2;
    return title;
}

// "{T}", "{FALSE#...####general}": a true-false question, taken; false for other answers.
bool readTrueFalse(const QString& raw, bool html, const QString& shown, TravelQuestion& q,
                   TravelSet& set) {
    static const QRegularExpression truth(QStringLiteral("^(T|TRUE|F|FALSE)\\s*(#|$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = truth.match(raw);
    if (!m.hasMatch())
        return false;
    const bool isTrue = m.captured(1).startsWith(u'T', Qt::CaseInsensitive);
    q.answers = QStringList{QStringLiteral(u"درست"), QStringLiteral(u"نادرست")};
    q.correct = isTrue ? 1 : 2;
    const qsizetype general = raw.indexOf(QStringLiteral("####"));
    if (general >= 0)
        q.explanation = plain(raw.mid(general + 4), html);
    // "{T#for a wrong answer#for a right one}": feedback the lesson has no place for.
    if (raw.left(general < 0 ? raw.size() : general).contains(u'#'))
        set.notes.append(answerFeedbackNote(shown));
    set.questions.append(q);
    return true;
}

// Answers given with "=" and "~": a question of one right answer is taken, any other kind is
// skipped and listed.
void readChoiceQuestion(const QList<Char>& answers, const QString& raw, bool html,
                        const QString& shown, TravelQuestion& q, TravelSet& set) {
    const auto skip = [&](const QString& reason) { set.skipped.append({shown, reason}); };
    QList<Choice> choices;
    QString general;
    bool feedback = false;
    readChoices(answers, html, choices, general, feedback);
    if (raw.contains(QStringLiteral("->")))
        return skip(questionKindName(QStringLiteral("matching")));
    if (std::any_of(choices.begin(), choices.end(), [](const Choice& c) { return c.outOfRange; }))
        return skip(kWeightOutOfRange);
    const bool anyWrong = std::any_of(choices.begin(), choices.end(),
                                      [](const Choice& c) { return !c.right && c.weight <= 0; });
    // Answers all given with "=" (weighted or not) are the accepted texts of a short answer.
    const bool allEquals =
        std::all_of(choices.begin(), choices.end(), [](const Choice& c) { return c.equals; });
    if (!anyWrong || choices.isEmpty() || allEquals)
        return skip(questionKindName(QStringLiteral("shortanswer")));
    // One full-credit answer is a question the tool holds (partial credit aside); several,
    // or only partial ones, make a question of many right answers.
    int rights = 0, partial = 0;
    for (const Choice& c : choices) {
        rights += c.right ? 1 : 0;
        partial += !c.right && c.weight > 0 ? 1 : 0;
    }
    if (rights != 1)
        return skip(questionKindName(QStringLiteral("multichoice")));
    for (const Choice& c : choices) {
        q.answers.append(c.text);
        if (c.right)
            q.correct = int(q.answers.size());
        if (!c.outOfRange && c.weightText.toDouble() < 0 &&
            !set.penaltiesFound.contains(c.weightText))
            set.penaltiesFound.append(c.weightText);
    }
    q.explanation = general;
    if (partial)
        set.notes.append(partialCreditNote(shown));
    if (feedback)
        set.notes.append(answerFeedbackNote(shown));
    set.questions.append(q);
}

// One question item; nothing when it was skipped (then listed).
void readQuestion(const QString& item, const QStringList& category, TravelSet& set) {
    QList<Char> cs = chars(item);
    qsizetype at = 0;
    TravelQuestion q;
    q.category = category;
    q.title = readTitle(cs, at);
    const qsizetype open = findPlain(cs, u'{', at);
    if (open < 0) {
        q.text = plain(textOf(cs, at, cs.size()));
        set.questions.append(q);
        return;
    }
    const qsizetype close = findPlain(cs, u'}', open + 1);
    if (close < 0)
        throw std::invalid_argument("a question's answers are not closed");
    const bool html = isHtml(textOf(cs, at, open));
    const QString before = plain(textOf(cs, at, open));
    const QString after = plain(textOf(cs, close + 1, cs.size()), html);
    q.text = after.isEmpty() ? before : before + QStringLiteral(" _____ ") + after;
    const QList<Char> answers = cs.mid(open + 1, close - open - 1);
    const QString raw = textOf(answers, 0, answers.size()).trimmed();
    const QString shown = shortTitle(q.title, q.text);
    if (raw.isEmpty())
        return set.skipped.append({shown, questionKindName(QStringLiteral("essay"))});
    if (!answers.isEmpty() && !answers.first().escaped && raw.startsWith(u'#'))
        return set.skipped.append({shown, questionKindName(QStringLiteral("numerical"))});
    if (!readTrueFalse(raw, html, shown, q, set))
        readChoiceQuestion(answers, raw, html, shown, q, set);
}

} // namespace

QString giftEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (kSpecial.contains(c))
            out += u'\\';
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        if (c != u'\r')
            out += c;
    }
    return out;
}

namespace {

const QString kPicturesOnly = QStringLiteral(
    u"»: همه گزینه‌های این سؤال تصویرند و تصویر در این "
    u"پرونده جا نمی‌گیرد؛ سؤال "
    u"نیامد.\n");

const QString kPictureWord = QStringLiteral(u"تصویر");

// An answer with its image marks as "[تصویر: name]".
QString pictureWords(const QString& answer, const TravelQuestion& q) {
    QString out;
    qsizetype from = 0;
    for (const ImageMark& m : imageMarks(answer)) {
        const TravelFile picture = q.pictures.value(m.number);
        out += answer.mid(from, m.start - from) + u'[' + kPictureWord +
               (picture.isEmpty() ? QString() : QStringLiteral(": ") + picture.name) + u']';
        from = m.end;
    }
    return out + answer.mid(from);
}

} // namespace

QList<PictureWords> pictureWordsIn(const QString& text) {
    // The Arabic yeh too: the words may have passed through a program that wrote it.
    static const QRegularExpression words(
        QStringLiteral(u"\\[تصو[یي]ر(?::\\s*([^\\]\\[]+?))?\\s*\\]"));
    QList<PictureWords> found;
    for (auto m = words.globalMatch(text); m.hasNext();) {
        const QRegularExpressionMatch w = m.next();
        found.append({w.capturedStart(), w.capturedEnd(), w.captured(1)});
    }
    return found;
}

bool giftCarries(const TravelQuestion& q) {
    if (!q.scored())
        return true;
    return std::any_of(q.answers.begin(), q.answers.end(), [](const QString& a) {
        QString shown = a;
        const QList<ImageMark> marks = imageMarks(a);
        for (auto m = marks.rbegin(); m != marks.rend(); ++m)
            shown.remove(m->start, m->end - m->start);
        return !shown.trimmed().isEmpty();
    });
}

QByteArray giftText(const TravelSet& set) {
    QString out = QStringLiteral("// Tavrin\n") + kCannotTravel + u'\n';
    const QList<QList<QStringList>> categories = categoriesBefore(set);
    for (qsizetype n = 0; n < set.questions.size(); ++n) {
        const TravelQuestion& q = set.questions[n];
        for (const QStringList& c : categories[n])
            out += QStringLiteral("\n$CATEGORY: ") + persianLetters(categoryPath(c)) + u'\n';
        out += u'\n';
        if (!q.pictures.isEmpty() || q.hasAttachments())
            out += QStringLiteral(u"// «") + persianLetters(q.title) +
                   QStringLiteral(u"»: تصویر یا پیوست این سؤال در این پرونده نیست.\n");
        if (!q.answers.isEmpty() && !q.scored())
            out += QStringLiteral(u"// «") + persianLetters(q.title) + kUnmarkedComment;
        if (!q.scored()) {
            out += QStringLiteral("::") + lettersEscaped(q.title) + QStringLiteral("::") +
                   giftEscaped(textLetters(q.text)) + u'\n';
            continue;
        }
        // A picture cannot travel in GIFT: its mark becomes words a student can read, and a
        // question whose every answer is only a picture stays out, said why.
        if (!giftCarries(q)) {
            out += QStringLiteral(u"// «") + persianLetters(q.title) + kPicturesOnly;
            continue;
        }
        QStringList answers;
        for (const QString& a : q.answers)
            // Letters as the whole answer reads them, before a label may leave it.
            answers.append(textLetters(pictureWords(a, q)));
        // The platform letters a GIFT question's answers itself: answers that all carry their
        // own labels leave them behind rather than show two.
        if (std::all_of(answers.begin(), answers.end(),
                        [](const QString& a) { return !answerLabel(a).isEmpty(); })) {
            QStringList labels;
            for (QString& a : answers) {
                labels.append(u'«' + answerLabel(a).trimmed() + u'»');
                a = a.mid(answerLabel(a).size());
            }
            out += QStringLiteral(u"// «") + persianLetters(q.title) + kLabelsLeft +
                   labels.join(QStringLiteral(u"، ")) + u'\n';
        }
        // "->" among the answers makes a platform read a matching question: such a question
        // is written as HTML, where the arrow is "-&gt;" and reads back as it was.
        const QString explanation = textLetters(q.explanation);
        const bool arrow = explanation.contains(QStringLiteral("->")) ||
                           std::any_of(answers.begin(), answers.end(), [](const QString& a) {
                               return a.contains(QStringLiteral("->"));
                           });
        const auto part = [&](const QString& text) {
            if (!arrow)
                return giftEscaped(text);
            QString html = text.toHtmlEscaped();
            html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
            html.replace(u'\n', QStringLiteral("<br>"));
            return giftEscaped(html);
        };
        out += QStringLiteral("::") + lettersEscaped(q.title) + QStringLiteral("::") +
               (arrow ? QStringLiteral("[html]") : QString()) + part(textLetters(q.text));
        out += QStringLiteral("{\n");
        // A text that begins as a weight does ("%50%…") is given its own weight in front, so
        // that it reads back as the text it is.
        static const QRegularExpression weighted(QStringLiteral("^%-?\\d+(?:\\.\\d+)?%"));
        for (int a = 0; a < answers.size(); ++a) {
            const QString written = part(answers[a]);
            const bool right = a + 1 == q.correct;
            // A wrong answer that takes marks away carries its weight; so does any answer whose
            // text begins as a weight.
            const QString mark = !right && !set.wrongFraction.isEmpty()
                                     ? QStringLiteral("~%") + set.wrongFraction + u'%'
                                 : weighted.match(written.trimmed()).hasMatch()
                                     ? (right ? QStringLiteral("~%100%") : QStringLiteral("~%0%"))
                                     : QString(right ? u'=' : u'~');
            out += mark + written + u'\n';
        }
        if (!q.explanation.isEmpty())
            out += QStringLiteral("####") + part(explanation) + u'\n';
        out += QStringLiteral("}\n");
    }
    return out.toUtf8();
}

TravelSet readGift(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        throw std::invalid_argument("the file is not UTF-8 text");
    // A NUL is no letter of a text file: read on, it would end a question's text in one
    // program and not in another.
    if (bytes.contains('\0'))
        throw std::invalid_argument("the file holds a NUL byte: it is not GIFT text");
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    TravelSet set;
    QStringList category;
    QStringList item;
    // Whether the item has opened its answers with "{" and not yet closed them: kept line by
    // line, so that a blank line costs no walk over the whole item.
    bool opened = false, closed = false;
    const auto follow = [&](const QString& line) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            if (c == u'\\' && i + 1 < line.size() &&
                (kSpecial.contains(line[i + 1]) || line[i + 1] == u'n')) {
                ++i;
            } else if (c == u'{' && !opened) {
                opened = true;
            } else if (c == u'}' && opened) {
                closed = true;
            }
        }
    };
    QSet<QStringList> declared;
    QStringList labels; // the answers' own labels the tool's comment names, put back
    const auto finish = [&] {
        const QString whole = item.join(u'\n');
        item.clear();
        opened = closed = false;
        if (whole.trimmed().isEmpty())
            return;
        const qsizetype before = set.questions.size();
        readQuestion(whole, category, set);
        if (set.questions.size() > before && set.questions.last().answers.size() == labels.size())
            for (qsizetype a = 0; a < labels.size(); ++a)
                set.questions.last().answers[a].prepend(labels[a]);
        labels.clear();
    };
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("//"))) {
            if (item.isEmpty() && !labelsLeft(trimmed).isEmpty())
                labels = labelsLeft(trimmed);
            continue;
        }
        if (trimmed.startsWith(QStringLiteral("$CATEGORY:"))) {
            finish();
            category = categoryNames(trimmed.mid(10));
            if (!declared.contains(category)) {
                declared.insert(category);
                set.categories.append(category);
            }
            continue;
        }
        if (trimmed.isEmpty()) {
            // A blank line inside an answers part does not end the question.
            if (!opened || closed)
                finish();
            continue;
        }
        item.append(line);
        follow(line);
    }
    finish();
    if (const QString note = penaltyFoundNote(set.penaltiesFound); !note.isEmpty())
        set.notes.append(note);
    return set;
}

} // namespace tavrin
