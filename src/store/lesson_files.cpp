#include "store/lesson_files.h"

#include "app/context.h"
#include "platform/file_copy.h"
#include "platform/file_journal.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/project_settings.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <optional>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A name a quiz file gives for a copy in BookTXT: a plain file name, nothing that leaves it.
bool plainName(const QString& name) {
    return isPlainFileName(name) && name != QLatin1String("CDProperty.xml");
}

// The copies a quiz file names (attachments, sound, film, background, images).
QStringList namedCopies(const QString& quiz) {
    static const QRegularExpression line(
        QStringLiteral("^\t\t<(attach|sound|film|back|img\\d+)>([^\r\n]*)</\\1>\r?$"),
        QRegularExpression::MultilineOption);
    QStringList names;
    auto it = line.globalMatch(quiz);
    while (it.hasNext()) {
        const QString name = it.next().captured(2);
        if (plainName(name))
            names.append(name);
    }
    return names;
}

// The quiz file under its new id: the header's qNo and the image copies' names.
QString renamedQuiz(const QString& quiz, const QString& from, const QString& to) {
    QStringList lines = quiz.split(kCrLf);
    const QString head = QStringLiteral("<quiz qNo='") + from + u'\'';
    if (!lines.isEmpty() && lines[0].startsWith(head))
        lines[0] = QStringLiteral("<quiz qNo='") + to + u'\'' + lines[0].mid(head.size());
    static const QRegularExpression image(QStringLiteral("^\t\t<img(\\d+)>quiz(\\d+-\\d+)-"));
    for (QString& line : lines) {
        const QRegularExpressionMatch m = image.match(line);
        if (m.hasMatch() && m.captured(2) == from)
            line.replace(m.capturedStart(2), from.size(), to);
    }
    return lines.join(kCrLf);
}

// The lesson index with every line moved to its new id or gone.
QString renumberedIndex(const QString& index, const Renumbering& r) {
    static const QRegularExpression entry(
        QStringLiteral("^\t<quiz(\\d+)-(\\d+)>(.*)</quiz\\1-\\2>$"));
    QStringList out;
    for (const QString& line : index.split(kCrLf)) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch()) {
            out.append(line);
            continue;
        }
        int f = m.captured(1).toInt(), l = m.captured(2).toInt();
        if (!r.apply(f, l))
            continue;
        const QString id = QStringLiteral("%1-%2").arg(f).arg(l);
        out.append(QStringLiteral("\t<quiz") + id + u'>' + m.captured(3) +
                   QStringLiteral("</quiz") + id + u'>');
    }
    return out.join(kCrLf);
}

// The journal of one delete: files staged by their paths inside the project.
class Switch {
public:
    Switch(const QString& projectPath) : journal_(projectPath) {}

    void stage(const QString& contents, const QString& target) {
        journal_.write(encodeUtf16Le(contents), target);
    }
    void stageBytes(const QByteArray& contents, const QString& target) {
        journal_.write(contents, target);
    }
    void stageLink(const QString& from, const QString& target) {
        journal_.link(project() + from, target);
    }
    void remove(const QString& relative) { journal_.remove(relative); }
    FileJournal& journal() { return journal_; }
    const QString& project() const { return journal_.root(); }

private:
    FileJournal journal_;
};

} // namespace

bool Renumbering::apply(int& f, int& l) const {
    if (lesson < 0) {
        if (f == field)
            return false;
        if (f > field)
            --f;
        return true;
    }
    if (f != field)
        return true;
    if (l == lesson)
        return false;
    if (l > lesson)
        --l;
    return true;
}

QList<LessonRef> projectLessons(Context& context, const QString& projectText) {
    QList<LessonRef> lessons;
    if (projectText.isEmpty())
        return lessons;
    try {
        const QString fields = Wsre(context, projectText, QStringLiteral("Reshteh"));
        const int fieldCount =
            store::readCount(context, fields, projectText.size(), QStringLiteral("Reshteh"));
        for (int f = 1; f <= fieldCount; ++f) {
            const QString tag = QStringLiteral("Resh%1 ").arg(f);
            const QString block = Wsre(context, projectText, tag);
            if (block.isEmpty())
                continue;
            const int count = store::readCount(context, block, projectText.size(), tag.trimmed());
            for (int l = 1; l <= count; ++l)
                lessons.append({f - 1, l - 1,
                                Wste(context, block, QStringLiteral("Dars%1").arg(l),
                                     QStringLiteral("Name"))});
        }
    } catch (const store::Failure& f) {
        throw FsError(QStringLiteral("Project file damaged: ") + f.description);
    }
    return lessons;
}

QStringList projectFieldTitles(Context& context, const QString& projectText) {
    if (projectText.isEmpty())
        return {};
    try {
        const QString fields = Wsre(context, projectText, QStringLiteral("Reshteh"));
        const int count =
            store::readCount(context, fields, projectText.size(), QStringLiteral("Reshteh"));
        // The list's names without the two empty lines the window's list ends with.
        return store::listNames(context, fields, QStringLiteral("Resh"), count).mid(0, count);
    } catch (const store::Failure& f) {
        throw FsError(QStringLiteral("Project file damaged: ") + f.description);
    }
}

QStringList lessonCopies(const QString& projectPath, const QString& id) {
    const QString quiz = DoSlash(projectPath) + folders::kXml + u'/' + folders::quizName(id);
    if (!fileExists(quiz))
        return {};
    QStringList names = namedCopies(withoutLoneSurrogates(readUtf16File(quiz)));
    const QString own = QStringLiteral("quiz") + id + u'-';
    for (const QString& name : QDir(DoSlash(projectPath) + folders::kBookTxt)
                                   .entryList({own + u'*'}, QDir::Files | QDir::Hidden))
        if (!folders::isAuthoringFile(name))
            names.append(name);
    names.removeDuplicates();
    return names;
}

namespace {

// A file named by a book id: the id it has, and the one it gets (nothing when nothing
// changes for it; stays false when the lesson goes).
struct Move {
    QString from, to;
    bool stays = false;
};

std::optional<Move> moveOf(const QRegularExpressionMatch& m, const Renumbering& renumbering) {
    if (!m.hasMatch())
        return std::nullopt;
    int f = m.captured(1).toInt(), l = m.captured(2).toInt();
    Move mv{QStringLiteral("%1-%2").arg(m.captured(1), m.captured(2)), {}, false};
    mv.stays = renumbering.apply(f, l);
    mv.to = QStringLiteral("%1-%2").arg(f).arg(l);
    if (mv.stays && mv.to == mv.from)
        return std::nullopt;
    return mv;
}

QStringList namesIn(const Switch& step, const QString& folder) {
    return QDir(step.project() + folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The _xml folder's files of the lessons that move or go: quiz files, drafts and group lines.
// A draft's image copies get their new names, as the quiz file's do; the attachments of a
// lesson that goes go with it (its image copies go by their names in BookTXT).
void stageXmlFiles(Switch& step, const Renumbering& renumbering) {
    const QString xml = folders::kXml + u'/';
    static const QRegularExpression quizName(QStringLiteral("^quiz(\\d+)-(\\d+)\\.xml$"));
    static const QRegularExpression ownName(
        QStringLiteral("^quiz(\\d+)-(\\d+)(\\.(draft|groups)(\\.damaged)?)$"));
    for (const QString& name : namesIn(step, xml)) {
        const QRegularExpressionMatch own = ownName.match(name);
        if (const auto mv = moveOf(own, renumbering)) {
            step.remove(xml + name);
            if (!mv->stays)
                continue;
            QByteArray bytes = readWholeFile(step.project() + xml + name);
            bytes.replace((folders::kBookTxt + QStringLiteral("/quiz") + mv->from + u'-').toUtf8(),
                          (folders::kBookTxt + QStringLiteral("/quiz") + mv->to + u'-').toUtf8());
            step.stageBytes(bytes, xml + QStringLiteral("quiz") + mv->to + own.captured(3));
            continue;
        }
        const auto mv = moveOf(quizName.match(name), renumbering);
        if (!mv)
            continue;
        const QString quiz = readUtf16File(step.project() + xml + name);
        step.remove(xml + name);
        if (mv->stays) {
            step.stage(renamedQuiz(quiz, mv->from, mv->to),
                       xml + QStringLiteral("quiz%1.xml").arg(mv->to));
            continue;
        }
        for (const QString& copy : namedCopies(withoutLoneSurrogates(quiz))) {
            if (!copy.startsWith(QStringLiteral("quiz")))
                step.remove(folders::kBookTxt + u'/' + copy);
        }
    }
}

// BookTXT's copies named by a lesson's id: renamed with it, or gone with it.
void stageCopies(Switch& step, const Renumbering& renumbering) {
    const QString pages = folders::kBookTxt + u'/';
    static const QRegularExpression copyName(QStringLiteral("^quiz(\\d+)-(\\d+)(-.*)$"));
    for (const QString& name : namesIn(step, pages)) {
        const QRegularExpressionMatch m = copyName.match(name);
        const auto mv = moveOf(m, renumbering);
        if (!mv)
            continue;
        step.remove(pages + name);
        if (mv->stays)
            step.stageLink(pages + name, pages + QStringLiteral("quiz") + mv->to + m.captured(3));
    }
}

} // namespace

void switchLessonFiles(Context& context, const QString& projectPath, const QString& projectText,
                       const Renumbering& renumbering) {
    finishSwitch(context, projectPath);
    Switch step(projectPath);
    step.journal().open();
    try {
        stageXmlFiles(step, renumbering);
        stageCopies(step, renumbering);
        const QString indexPath = folders::kXml + u'/' + folders::kBookTitle;
        if (fileExists(step.project() + indexPath)) {
            const QString index = readUtf16File(step.project() + indexPath);
            const QString renumbered = renumberedIndex(index, renumbering);
            if (renumbered != index)
                step.stage(renumbered, indexPath);
        }
        step.stage(renumberedScoring(projectText, renumbering), folders::kProjectFile);
    } catch (...) {
        // Nothing has changed yet: the staged files go, the project stays as it was.
        step.journal().abandon();
        throw;
    }
    step.journal().commit();
    context.log().LogMe(QStringLiteral("Lesson files renumbered."));
}

bool finishSwitch(Context& context, const QString& projectPath) {
    bool committed = false;
    if (!FileJournal::finish(projectPath, &committed))
        return false;
    const QString project = QDir(projectPath).absolutePath() + u'/';
    context.log().LogMe((committed ? QStringLiteral("Interrupted renumbering finished: ")
                                   : QStringLiteral("Interrupted renumbering undone: ")) +
                        project);
    return true;
}

void removeLeftovers(Context& context, const QString& projectPath) {
    if (projectPath.isEmpty() || !QFileInfo(projectPath).isDir())
        return;
    const QDir project(projectPath);
    for (const QString& folder :
         {QStringLiteral("."), folders::kXml, folders::kBookTxt, folders::kFlashImg}) {
        for (const QString& removed : removeWorkingFiles(project.filePath(folder)))
            context.log().LogMe(QStringLiteral("Unfinished file removed: ") +
                                QDir::toNativeSeparators(QDir::cleanPath(removed)));
    }
}

} // namespace tavrin
