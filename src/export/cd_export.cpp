#include "export/cd_export.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "export/export_script.h"
#include "export/exported_files.h"
#include "export/quiz_data.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_file.h"
#include "store/lesson_files.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <optional>

namespace tavrin {

namespace {

struct Cancelled {};

const QString kWorking = QStringLiteral(".partial");

const QString kAskExportWithoutLessons =
    QStringLiteral(u"فايل آزمون هيچ درسي از اين پروژه ساخته نشده است و لوح درسي نخواهد داشت."
                   u"\r\nآيا خروجي گرفته شود؟\u200F");

// A failing step: logged with the entry that failed, then message 28.
struct StepFault {
    QString description;
};

class Export {
public:
    Export(Context& context, const ExportRequest& request, ExportProgress* progress)
        : context_(context), request_(request), progress_(progress),
          app_(DoSlash(context.programFolder())), project_(DoSlash(request.projectPath)) {}

    ExportResult run();

private:
    // The check before the disc, its findings logged and shown, then 29 or 111.
    void checkForDisc();
    Context& context_;
    const ExportRequest& request_;
    ExportProgress* progress_;
    QString app_;
    QString project_;
    QString folder_;                // being made: "Export N.partial"
    QString final_;                 // "Export N", once whole
    std::optional<DiskFlush> disk_; // watched from the folder's making to its flush
    qint64 bytesDone_ = 0, bytesTotal_ = 0;
    int filesDone_ = 0, filesTotal_ = 0;

    QString scriptPath() const {
        return app_ + QStringLiteral("Resources") + nativeSeparator() +
               QStringLiteral("Export.inf");
    }
    QString resources() const { return app_ + QStringLiteral("Resources"); }
    // Every target lies in the new export folder, every source in Resources or the
    // project, after "..", links and other spellings: anything else is the script's fault.
    static QString confined(const QString& path, const QString& folder, const char* what) {
        if (!isInside(path, folder))
            throw FsError::at(QStringLiteral("Leaves the %1").arg(QLatin1String(what)), path);
        return path;
    }
    QString inExport(const QString& relative) const {
        return confined(folder_ + nativeSeparator() + fromStoredPath(relative), folder_,
                        "export folder");
    }
    QString copyFileTarget(const ExportCopy& copy) const {
        QString target = copy.target;
        target.remove(QStringLiteral("root"));
        return confined(folder_ + fromStoredPath(target) + nativeSeparator() +
                            fromStoredPath(copy.source),
                        folder_, "export folder");
    }
    QString resource(const QString& file) const {
        return confined(resources() + nativeSeparator() + fromStoredPath(file), resources(),
                        "Resources folder");
    }
    QString inProject(const QString& relative) const {
        return confined(project_ + fromStoredPath(relative), project_, "project folder");
    }
    void plan(const ExportScript& script);
    void makeExportFolder();
    void carryOut(const ExportScript& script);
    void copy(const QString& from, const QString& to);
    void printablePages();
    void finish() {
        if (progress_)
            progress_->finished();
    }
    // What was made stays, under its working name, until the next export removes it.
    ExportResult failed(const QString& description) {
        finish();
        context_.log().LogMe(QStringLiteral("Export stopped at %1").arg(description));
        bepayamBecause(context_, kNoticeExportFailed, description);
        return {ExportOutcome::Failed, folder_};
    }
    // The disk may take seconds to take everything; the window is told meanwhile.
    // Throws FsError when the disk says a write failed.
    void flush() {
        if (!request_.flushToDisk || !disk_)
            return;
        auto done = std::async(std::launch::async, [this] { disk_->flush(); });
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            if (progress_)
                progress_->flushing();
        }
        done.get();
    }
};

void Export::plan(const ExportScript& script) {
    const auto count = [&](const QFileInfo& info) {
        if (info.isFile()) {
            bytesTotal_ += info.size();
            ++filesTotal_;
        }
    };
    for (const QString& entry : script.copyFolders) {
        const auto copy = splitCopyEntry(entry);
        if (!copy)
            continue;
        const QDir source(project_ + fromStoredPath(copy->source));
        for (const QFileInfo& f : source.entryInfoList(QDir::Files | QDir::Hidden)) {
            if (!isWorkingName(f.fileName()) && !folders::isAuthoringFile(f.fileName()))
                count(f);
        }
    }
    for (const QString& entry : script.copyFiles) {
        if (const auto copy = splitCopyEntry(entry))
            count(QFileInfo(resources() + nativeSeparator() + fromStoredPath(copy->source)));
    }
}

// The export is made under a working name and takes its own only when it is whole; the
// working folders a kill left behind are removed first and never counted.
void Export::makeExportFolder() {
    const QDir target(request_.target);
    for (const QString& name :
         target.entryList({QStringLiteral("Export *.partial")}, QDir::Dirs | QDir::Hidden)) {
        if (QDir(target.filePath(name)).removeRecursively())
            context_.log().LogMe(QStringLiteral("Unfinished export removed: %1")
                                     .arg(QDir::toNativeSeparators(target.filePath(name))));
    }
    const QString base = DoSlash(request_.target) + QStringLiteral("Export ");
    for (int n = 1;; ++n) {
        const QString candidate = base + QString::number(n);
        if (!QFileInfo::exists(candidate)) {
            makeFolder(candidate + kWorking);
            final_ = candidate;
            folder_ = candidate + kWorking;
            disk_.emplace(folder_);
            return;
        }
    }
}

void Export::copy(const QString& from, const QString& to) {
    const QString name = QFileInfo(from).fileName();
    if (progress_ && !progress_->advance(name, bytesDone_, bytesTotal_, filesDone_, filesTotal_))
        throw Cancelled{};
    // The folder being made is the working copy: it takes its name only when whole and
    // flushed, so its files need no working names nor flushes of their own.
    const bool whole = copyIntoWorkingFolder(from, to, [&](qint64 bytes) {
        bytesDone_ += bytes;
        return !progress_ ||
               progress_->advance(name, bytesDone_, bytesTotal_, filesDone_, filesTotal_);
    });
    if (!whole)
        throw Cancelled{};
    ++filesDone_;
}

void Export::carryOut(const ExportScript& script) {
    const auto step = [&](const QString& entry, auto body) {
        try {
            body();
        } catch (const FsError& e) {
            throw StepFault{QStringLiteral("\"%1\": %2").arg(entry, e.description())};
        }
    };
    for (const QString& entry : script.makeFolders)
        step(entry, [&] { makeFolder(inExport(entry)); });
    for (const QString& entry : script.copyFolders) {
        const auto pair = splitCopyEntry(entry);
        if (!pair)
            throw StepFault{QStringLiteral("\"%1\": no \"=>\"").arg(entry)};
        step(entry, [&] {
            const QString target = inExport(pair->target);
            makeFolder(target);
            const QString source = inProject(pair->source);
            for (const ExportedFile& f : exportedFiles(source)) {
                const QString file = source + nativeSeparator() + f.name;
                copy(f.link ? confined(file, project_, "project folder") : file,
                     target + nativeSeparator() + f.name);
            }
        });
    }
    for (const QString& entry : script.copyFiles) {
        const auto pair = splitCopyEntry(entry);
        if (!pair)
            throw StepFault{QStringLiteral("\"%1\": no \"=>\"").arg(entry)};
        step(entry, [&] { copy(resource(pair->source), copyFileTarget(*pair)); });
    }
}

void Export::printablePages() {
    const QString pages = inExport(QStringLiteral("Data\\BookTXT"));
    const QString templatePath = resource(QStringLiteral("Default.html"));
    QStringList names;
    try {
        names = fileNames(pages);
    } catch (const FsError& e) {
        throw StepFault{QStringLiteral("printable pages: %1").arg(e.description())};
    }
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString extension = dot < 0 ? name : name.mid(dot + 1);
        if (extension.toLower() != QLatin1String("htm"))
            continue;
        const QString page = pages + nativeSeparator() + name;
        try {
            const QString text = readUtf16File(page);
            // Read afresh for every page, as a page may be the template's neighbour.
            const QString templateText = readUtf16File(templatePath);
            saveUtf16File(page + QLatin1Char('l'), printablePage(context_, text, templateText));
        } catch (const FsError& e) {
            throw StepFault{QStringLiteral("printable page %1: %2").arg(name, e.description())};
        }
    }
}

ExportResult Export::run() {

    context_.log().LogMe(QStringLiteral("Exporting files..."));
    if (!fileExists(scriptPath())) {
        bepayam(context_, kNoticeNoExportScript);
        return {ExportOutcome::NoScript, {}};
    }
    try {
        ExportScript script;
        try {
            script = cutExportScript(scriptWithCrLf(readAnsiFile(scriptPath())));
        } catch (const ScriptFault& f) {
            throw StepFault{f.description};
        } catch (const FsError& e) {
            throw StepFault{e.description()};
        }
        plan(script);
        try {
            makeExportFolder();
        } catch (const FsError& e) {
            throw StepFault{e.description()};
        }
        carryOut(script);
        if (request_.printable)
            printablePages();
        try {
            writeQuizData(context_, folder_, request_.projectPath);
        } catch (const FsError& e) {
            throw StepFault{QStringLiteral("quizdata.js: %1").arg(e.description())};
        }
        try {
            flush();
        } catch (const FsError& e) {
            throw StepFault{QStringLiteral("flushing to the disk: %1").arg(e.description())};
        }
        if (QFileInfo::exists(final_))
            throw StepFault{QStringLiteral("The folder already exists: %1").arg(final_)};
        renameFile(folder_, final_);
        folder_ = final_;
        if (request_.flushToDisk)
            flushFolderEntry(final_);
    } catch (const StepFault& f) {
        return failed(f.description);
    } catch (const FsError& e) {
        return failed(e.description());
    } catch (const Cancelled&) {
        try {
            flush();
        } catch (const FsError&) {
            // nothing was to be kept
        }
        finish();
        context_.log().LogMe(QStringLiteral("Export cancelled by user."));
        return {ExportOutcome::Cancelled, folder_};
    }
    finish();
    checkForDisc();
    context_.log().LogMe(QStringLiteral("Files exported."));
    // The player: a program where the script ships one, else the web page.
    const QString program = folder_ + nativeSeparator() + QStringLiteral("main.exe");
    const QString page = folder_ + nativeSeparator() + QStringLiteral("index.html");
    // Said only when the player was started: the program, or the page in its place.
    const QString player = fileExists(program) ? program : (fileExists(page) ? page : QString());
    if (request_.runFile && !player.isEmpty()) {
        request_.runFile(player);
        context_.log().LogMe(QStringLiteral("Exported Main.exe played."));
    }
    return {ExportOutcome::Exported, folder_};
}

} // namespace

namespace {

QList<Prompts::Line> listLines(const DiscCheck& check) {
    QList<Prompts::Line> lines;
    const QStringList texts = check.lines();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const Finding::Kind kind = check.findings[i].kind;
        lines.append({kind == Finding::Error     ? Prompts::Mark::Error
                      : kind == Finding::Warning ? Prompts::Mark::Warning
                                                 : Prompts::Mark::Note,
                      texts[i]});
    }
    return lines;
}

} // namespace

void Export::checkForDisc() {
    DiscCheck check;
    try {
        check = checkExport(folder_);
    } catch (const FsError& e) {
        check.findings.append({Finding::Error, folder_, e.description()});
    }
    for (const QString& line : check.lines())
        context_.log().LogMe(QStringLiteral("Disc check: ") + line);
    const bool worth = std::any_of(check.findings.begin(), check.findings.end(),
                                   [](const Finding& f) { return f.kind != Finding::Note; });
    const int notice = check.hasErrors() ? kNoticeExportNotReady : kNoticeExportReady;
    if (!worth) {
        bepayam(context_, notice);
        return;
    }
    // The notice stands under the list, not in a box after it was closed.
    context_.prompts().showList(texts::kCheckCaption,
                                check.hasErrors() ? texts::kCheckErrors : texts::kCheckWarnings,
                                listLines(check), PayamText(notice));
    context_.log().LogMe(QStringLiteral("Payam number %1 displayed.").arg(notice));
}

QString printablePage(Context& context, const QString& page, const QString& templateText) {
    const QString title = Wsre(context, page, QStringLiteral("pgTitle"));
    const QString closing = QStringLiteral("</pgTitle>");
    // A page without a title gives its whole text as the body.
    const qsizetype after = page.indexOf(closing);
    QString body = after < 0 ? page : page.mid(after + closing.size());
    body.replace(QStringLiteral("<pgMain>"), QStringLiteral("<p align=\"right\">"));
    body.replace(QStringLiteral("</pgMain>"), QStringLiteral("</p>"));
    QString out = templateText;
    out.replace(QStringLiteral("%Title%"), title);
    out.replace(QStringLiteral("%Matn%"), body);
    return out;
}

QString lastExportFolder(const QString& target) {
    static const QRegularExpression name(QStringLiteral("^Export (\\d+)$"));
    QString last;
    int highest = 0;
    for (const QString& entry : QDir(target).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch m = name.match(entry);
        if (m.hasMatch() && m.captured(1).toInt() > highest) {
            highest = m.captured(1).toInt();
            last = QDir(target).filePath(entry);
        }
    }
    return last;
}

bool confirmExportWithoutLessons(Context& context, const QString& projectPath) {
    const QString xml = DoSlash(projectPath) + folders::kXml + nativeSeparator();
    QList<LessonRef> lessons;
    try {
        lessons = projectLessons(context, store::readIfThere(store::projectFilePath(projectPath)));
    } catch (const FsError&) {
        return true; // the export itself stops on it, and says why
    }
    for (const LessonRef& lesson : lessons) {
        if (fileExists(xml + QStringLiteral("quiz") + lesson.id() + QStringLiteral(".xml")))
            return true;
    }
    if (context.prompts().askYesNo(kMainCaption, kAskExportWithoutLessons, Default::No))
        return true;
    context.log().LogMe(QStringLiteral("Aborted by user!"));
    return false;
}

bool confirmImageDespiteCheck(Context& context, const QString& exportFolder) {
    DiscCheck check;
    try {
        check = checkExport(exportFolder);
    } catch (const FsError& e) {
        check.findings.append({Finding::Error, exportFolder, e.description()});
    }
    if (!check.hasErrors())
        return true;
    constexpr int kNamed = 10;
    QStringList errors;
    for (const Finding& f : check.findings) {
        if (f.kind == Finding::Error)
            errors.append(f.about + QStringLiteral(u" — ") + f.text);
    }
    const qsizetype count = errors.size();
    if (count > kNamed) {
        errors = errors.mid(0, kNamed);
        errors.append(texts::kAndMoreErrors.arg(count - kNamed));
    }
    for (const QString& e : errors)
        context.log().LogMe(QStringLiteral("Disc check: ") + e);
    if (context.prompts().askYesNo(
            kMainCaption, texts::kAskImageWithErrors.arg(errors.join(QStringLiteral("\u200F\r\n"))),
            Default::No))
        return true;
    context.log().LogMe(QStringLiteral("Aborted by user!"));
    return false;
}

ExportResult ExportAll(Context& context, const ExportRequest& request, ExportProgress* progress) {
    return Export(context, request, progress).run();
}

} // namespace tavrin
