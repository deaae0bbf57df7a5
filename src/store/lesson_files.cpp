#include "store/lesson_files.h"

#include "app/context.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/safe_save.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/project_settings.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <filesystem>
#include <optional>
#include <system_error>

namespace tavrin {

namespace {

namespace fs = std::filesystem;

const QString kCrLf = QStringLiteral("\r\n");
// Beside the project's own folders, so neither the export nor a lesson sees it.
const QString kStaging = QStringLiteral(".switch");
const QString kPlan = QStringLiteral("plan");

fs::path native(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

// A plan line: "D\tpath" removes, "M\tstaged\tpath" moves; paths relative to the project.
struct Plan {
    QStringList removes;
    QList<QPair<QString, QString>> moves;
    QString text() const {
        QString out;
        for (const QString& r : removes)
            out += QStringLiteral("D\t") + r + QStringLiteral("\n");
        for (const auto& m : moves)
            out += QStringLiteral("M\t") + m.first + u'\t' + m.second + QStringLiteral("\n");
        return out;
    }
    static Plan read(const QString& text) {
        Plan plan;
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(u'\t');
            if (parts.size() == 2 && parts[0] == QLatin1String("D"))
                plan.removes.append(parts[1]);
            else if (parts.size() == 3 && parts[0] == QLatin1String("M"))
                plan.moves.append({parts[1], parts[2]});
        }
        return plan;
    }
};

void removeTree(const QString& folder) {
    std::error_code ec;
    fs::remove_all(native(folder), ec);
}

void carryOut(const QString& project, const Plan& plan) {
    for (const QString& relative : plan.removes) {
        std::error_code ec;
        fs::remove(native(project + relative), ec);
        if (ec)
            throw FsError::at(QString::fromStdString(ec.message()), project + relative);
    }
    const QString staging = project + kStaging + u'/';
    for (const auto& [staged, target] : plan.moves) {
        // Moved already by a run that a kill cut short.
        if (!QFileInfo::exists(staging + staged))
            continue;
        std::error_code ec;
        fs::rename(native(staging + staged), native(project + target), ec);
        if (ec)
            throw FsError::at(QString::fromStdString(ec.message()), project + target);
    }
    std::error_code ec;
    fs::remove(native(staging + kPlan), ec);
    removeTree(project + kStaging);
}

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

class Switch {
public:
    Switch(const QString& projectPath) : project_(QDir(projectPath).absolutePath() + u'/') {}

    void stage(const QString& contents, const QString& target) {
        stageBytes(encodeUtf16Le(contents), target);
    }
    void stageBytes(const QByteArray& contents, const QString& target) {
        const QString name = QString::number(plan_.moves.size());
        saveWholeFile(staging() + name, contents);
        plan_.moves.append({name, target});
    }
    void stageLink(const QString& from, const QString& target) {
        const QString name = QString::number(plan_.moves.size());
        std::error_code ec;
        fs::create_hard_link(native(project_ + from), native(staging() + name), ec);
        if (ec) // a file system without hard links: a copy serves
            fs::copy_file(native(project_ + from), native(staging() + name), ec);
        if (ec)
            throw FsError::at(QString::fromStdString(ec.message()), project_ + from);
        plan_.moves.append({name, target});
    }
    void remove(const QString& relative) { removes_.append(relative); }
    void commit() {
        // What is moved over needs no removing; a replay must not remove what it moved.
        QSet<QString> targets;
        for (const auto& m : plan_.moves)
            targets.insert(m.second);
        for (const QString& r : removes_) {
            if (!targets.contains(r) && !plan_.removes.contains(r))
                plan_.removes.append(r);
        }
        saveWholeFile(staging() + kPlan, plan_.text().toUtf8());
        carryOut(project_, plan_);
    }
    QString staging() const { return project_ + kStaging + u'/'; }
    const QString& project() const { return project_; }

private:
    QString project_;
    Plan plan_;
    QStringList removes_;
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
    removeTree(step.staging());
    if (!QDir().mkpath(step.staging()))
        throw FsError::at(QStringLiteral("Permission denied"), step.staging());
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
        removeTree(step.staging());
        throw;
    }
    step.commit();
    context.log().LogMe(QStringLiteral("Lesson files renumbered."));
}

bool finishSwitch(Context& context, const QString& projectPath) {
    if (projectPath.isEmpty())
        return false;
    const QString project = QDir(projectPath).absolutePath() + u'/';
    const QString staging = project + kStaging;
    if (!QFileInfo(staging).isDir())
        return false;
    const QString planPath = staging + u'/' + kPlan;
    if (fileExists(planPath)) {
        carryOut(project, Plan::read(QString::fromUtf8(readWholeFile(planPath))));
        context.log().LogMe(QStringLiteral("Interrupted renumbering finished: ") + project);
    } else {
        removeTree(staging);
        context.log().LogMe(QStringLiteral("Interrupted renumbering undone: ") + project);
    }
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
