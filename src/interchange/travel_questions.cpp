#include "interchange/travel_questions.h"

#include "app/context.h"
#include "platform/file_system.h"
#include "platform/formula_text.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <stdexcept>

namespace tavrin {

namespace {

// A copy in BookTXT a quiz file names: within the project, after links, or refused.
TravelFile copyIn(const QString& pages, const QString& name, FileBytes files) {
    if (name.isEmpty())
        return {};
    const QString path = pages + name;
    if (!isInside(path, pages + QStringLiteral(".."))) // the project folder
        throw FsError::at(QStringLiteral("Leaves the project folder"), path);
    return {name, files == FileBytes::Read ? readWholeFile(path) : QByteArray()};
}

TravelQuestion travelQuestion(const QuizQuestion& q, const QString& pages, FileBytes files) {
    TravelQuestion t;
    t.text = q.text;
    t.answers = q.answers;
    t.correct = q.answers.isEmpty() ? 0 : q.marked;
    t.explanation = q.explanation;
    for (auto i = q.images.begin(); i != q.images.end(); ++i)
        t.pictures.insert(i.key(), copyIn(pages, i.value(), files));
    t.attach = copyIn(pages, q.attach, files);
    t.sound = copyIn(pages, q.sound, files);
    t.film = copyIn(pages, q.film, files);
    t.back = copyIn(pages, q.back, files);
    return t;
}

void addCategory(TravelSet& set, const QStringList& category) {
    if (!set.categories.contains(category))
        set.categories.append(category);
}

// A lesson's questions with the groups they lie in.
void addLesson(TravelSet& set, const QString& project, const QStringList& lessonCategory,
               const QString& id, FileBytes files) {
    const QString xml = project + folders::kXml + u'/';
    const QString pages = project + folders::kBookTxt + u'/';
    const QString name = folders::quizName(id);
    if (!fileExists(xml + name))
        return;
    const QList<QuizQuestion> questions =
        parseQuizFile(withoutLoneSurrogates(readUtf16File(xml + name)), id, name);
    QList<int> numbers;
    for (const QuizQuestion& q : questions)
        numbers.append(q.number);
    const QMap<int, QuizGroupLine> groups =
        lessonGroupLines(xml + folders::groupsName(id), numbers);
    addCategory(set, lessonCategory);
    QStringList open;
    auto line = groups.begin();
    int place = 0;
    for (const QuizQuestion& q : questions) {
        for (; line != groups.end() && line.key() < q.number; ++line) {
            if (!line->end)
                open.append(line->title);
            else if (!open.isEmpty())
                open.removeLast();
        }
        TravelQuestion t = travelQuestion(q, pages, files);
        t.category = lessonCategory + open;
        t.title = lessonCategory.last() + u' ' + QString::number(++place);
        addCategory(set, t.category);
        set.questions.append(std::move(t));
    }
}

} // namespace

TravelSet projectQuestions(Context& context, const QString& projectPath, TravelScope scope,
                           FileBytes files) {
    const QString project = QDir(QDir::fromNativeSeparators(projectPath)).absolutePath() + u'/';
    const QString file = store::projectFilePath(projectPath);
    if (!fileExists(file))
        throw FsError::at(QStringLiteral("File not found"), file);
    const QString document = readUtf16File(file);
    const QList<LessonRef> lessons = projectLessons(context, document);
    const QString block = Wsre(context, document, QStringLiteral("Reshteh"));
    QStringList fields;
    try {
        fields = store::listNames(
            context, block, QStringLiteral("Resh"),
            store::readCount(context, block, document.size(), QStringLiteral("Reshteh")));
    } catch (const store::Failure& f) {
        throw FsError(QStringLiteral("Project file damaged: ") + f.description);
    }
    const qsizetype fieldCount = fields.size() - 2; // the list ends in two empty names
    const bool lessonThere =
        scope.lesson < 0 || std::any_of(lessons.begin(), lessons.end(), [&](const LessonRef& l) {
            return l.field == scope.field && l.lesson == scope.lesson;
        });
    if (scope.field >= fieldCount || !lessonThere)
        throw std::invalid_argument(scope.field >= fieldCount ? "the project has no such field"
                                                              : "the project has no such lesson");
    TravelSet set;
    for (const LessonRef& l : lessons) {
        if ((scope.field >= 0 && l.field != scope.field) ||
            (scope.lesson >= 0 && l.lesson != scope.lesson))
            continue;
        addLesson(set, project, {fields.value(l.field), l.title}, l.id(), files);
    }
    return set;
}

QList<QList<QStringList>> categoriesBefore(const TravelSet& set) {
    QList<QList<QStringList>> before;
    QList<QStringList> written;
    const QStringList* current = nullptr;
    for (const TravelQuestion& q : set.questions) {
        QList<QStringList> declared;
        if (!current || q.category != *current) {
            for (const QStringList& c : set.categories) {
                if (c.size() < q.category.size() && q.category.mid(0, c.size()) == c &&
                    !written.contains(c)) {
                    declared.append(c);
                    written.append(c);
                }
            }
            declared.append(q.category);
            written.append(q.category);
            current = &q.category;
        }
        before.append(declared);
    }
    return before;
}

QString penaltyFoundNote(const QStringList& found) {
    if (found.isEmpty())
        return {};
    QStringList shown;
    for (const QString& f : found)
        shown.append(QChar(0x2066) + f + u'%' + QChar(0x2069));
    return QStringLiteral(
               u"پاسخ‌هاي نادرست اين فايل نمره منفي دارند (%1)؛ "
               u"اين "
               u"نمره "
               u"آورده "
               u"نشد. "
               u"نمره منفي پروژه در «آزمون و نمره‌دهي…» "
               u"تعيين "
               u"مي‌شود.")
        .arg(shown.join(QStringLiteral(u"، ")));
}

QString partialCreditNote(const QString& title) {
    return QStringLiteral(
               u"نمره بخشي گزينه‌هاي «%1» آورده نشد؛ تنها "
               u"پاسخ "
               u"كامل "
               u"علامت "
               u"خورد.")
        .arg(title);
}

QString questionKindName(const QString& type) {
    if (type == QLatin1String("shortanswer"))
        return QStringLiteral(u"كوتاه‌پاسخ");
    if (type == QLatin1String("essay"))
        return QStringLiteral(u"تشريحي");
    if (type == QLatin1String("matching"))
        return QStringLiteral(u"جوركردني");
    if (type == QLatin1String("numerical"))
        return QStringLiteral(u"عددي");
    if (type == QLatin1String("multichoice"))
        return QStringLiteral(u"چندپاسخي");
    return type;
}

QString answerFeedbackNote(const QString& title) {
    return QStringLiteral(u"بازخورد گزينه‌هاي «%1» آورده نشد.")
        .arg(title);
}

QString persianLetters(const QString& text) {
    return persianShown(text, Digits::InPersianText);
}

QString textLetters(const QString& text) {
    // A formula keeps its letters and digits (persianShown leaves it); only its delimiters
    // become the canonical ones that the platforms' filters read.
    return persianShown(canonicalFormulas(text), Digits::InPersianText);
}

QString categoryPath(const QStringList& category) {
    QStringList parts{QStringLiteral("$course$"), QStringLiteral("top")};
    for (QString name : category)
        parts.append(name.replace(u'/', QStringLiteral("//")));
    return parts.join(u'/');
}

QStringList categoryNames(const QString& path) {
    QStringList names;
    QString name;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] != u'/') {
            name += path[i];
        } else if (i + 1 < path.size() && path[i + 1] == u'/') {
            name += u'/';
            ++i;
        } else {
            names.append(name.trimmed());
            name.clear();
        }
    }
    names.append(name.trimmed());
    names.removeAll(QString());
    if (!names.isEmpty() && names.first().startsWith(u'$') && names.first().endsWith(u'$'))
        names.removeFirst();
    if (!names.isEmpty() && names.first() == QLatin1String("top"))
        names.removeFirst();
    return names;
}

} // namespace tavrin
