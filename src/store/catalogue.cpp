#include "store/catalogue.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "platform/calendar.h"
#include "platform/file_journal.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/text_file.h"
#include "store/store_common.h"
#include "store/store_view.h"
#include "store/tag_text.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin {
namespace {

const QString kProjects = QStringLiteral("Projects");
const QString kProj = QStringLiteral("Proj");

// The four entries of a new catalogue element, then the new count.
QString addEntry(Context& context, QString text, int count, const QString& title,
                 const QString& folder) {
    const QString tag = kProj + QString::number(count + 1);
    text = AddNode(context, text, kProjects, tag, QStringLiteral("Name"), title);
    text = AddNode(context, text, kProjects, tag, QStringLiteral("Path"), folder);
    text = AddNode(context, text, kProjects, tag, QStringLiteral("DateCreated"),
                   ShamsiDate(context.now()));
    return AddNode(context, text, kProjects, QStringLiteral("Count"), QStringLiteral("Adad"),
                   QString::number(count + 1));
}

} // namespace

QString cataloguePath(const Context& context) {
    return DoSlash(context.programFolder()) + QStringLiteral("Projects.xml");
}

void ReadProj(Context& context, StoreView& view) {
    view.setEntries(StoreList::Projects, {});
    view.setEntries(StoreList::Fields, {});
    view.setEntries(StoreList::Lessons, {});
    context.log().LogMe(QStringLiteral("Reading projects..."));
    store::trapped(context, kFailReadCatalogue, [&] {
        // An undo of the catalogue that a kill cut short is finished (or undone) first.
        bool committed = false;
        if (FileJournal::finish(context.programFolder(), &committed))
            context.log().LogMe(committed ? QStringLiteral("Interrupted undo finished.")
                                          : QStringLiteral("Interrupted undo undone."));
        const QString text = store::readIfThere(cataloguePath(context));
        if (text.isEmpty())
            return;
        const QString block = Wsre(context, text, kProjects);
        const int count = store::readCount(context, block, text.size(), kProjects);
        view.setEntries(StoreList::Projects, store::listNames(context, block, kProj, count));
    });
}

bool NewProj(Context& context, StoreView& view, const QString& title) {
    context.log().LogMe(QStringLiteral("Creating project..."));
    if (store::refuseTitle(context, title) || store::refusePath(context, context.programFolder()))
        return false;
    store::trapped(context, kFailNewProject, [&] {
        const QString catalogue = cataloguePath(context);
        if (!fileExists(catalogue))
            return;
        QString text = readUtf16File(catalogue);
        if (text.isEmpty() || title.isEmpty())
            return;
        const int count =
            store::readCount(context, Wsre(context, text, kProjects), text.size(), kProjects);
        int k = count + 1;
        QString folder;
        do {
            folder = DoSlash(context.programFolder()) + QStringLiteral("Project %1").arg(k++);
        } while (folderExists(folder) || fileExists(folder));
        const QString changed = addEntry(context, text, count, title, folder);
        store::requireChanged(text, changed, kProjects + QStringLiteral(" block"));
        makeFolder(folder);
        NewProjXml(context, folder, title);
        saveUtf16File(catalogue, changed);
        ReadProj(context, view);
        view.selectEntry(StoreList::Projects, count);
        context.log().LogMe(QStringLiteral("Project number %1 created.").arg(count + 1));
    });
    return true;
}

void NewProjXml(Context& context, const QString& folder, const QString& title) {
    store::trapped(context, kFailNewProjectFile, [&] {
        if (!folderExists(folder))
            return;
        const QString crlf = QStringLiteral("\r\n");
        const QString app = DoSlash(context.programFolder());
        const QString resources = app + QStringLiteral("Resources") + nativeSeparator();
        const auto path = [&](const QString& tag, const QString& value) {
            return QStringLiteral("\t<%1 Path=\"%2\">").arg(tag, value) + crlf;
        };
        const QString text =
            QStringLiteral("<XML:? Project: Tavrin CD Maker/>") + crlf +
            QStringLiteral("<Project>") + crlf +
            QStringLiteral("\t<Proj Name=\"%1\" DateCreated=\"%2\">")
                .arg(title, ShamsiDate(context.now())) +
            crlf + QStringLiteral("</Project>") + crlf + QStringLiteral("<Reshteh>") + crlf +
            QStringLiteral("\t<Count Adad=\"0\">") + crlf + QStringLiteral("</Reshteh>") + crlf +
            QStringLiteral("<Settings>") + crlf + QStringLiteral("\t<Music>1</Music>") + crlf +
            path(QStringLiteral("Music1"), resources + QStringLiteral("MySound1.mp3")) +
            path(QStringLiteral("Music2"), resources + QStringLiteral("MySound2.mp3")) +
            QStringLiteral("\t<Olgoo>1</Olgoo>") + crlf +
            path(QStringLiteral("BackPic"), resources + QStringLiteral("MyBack.jpg")) +
            QStringLiteral("\t<Printable>0</Printable>") + crlf +
            path(QStringLiteral("Export"), app + QStringLiteral("Export")) +
            path(QStringLiteral("Import"), app + QStringLiteral("Zar")) +
            QStringLiteral("</Settings>") + crlf;
        saveUtf16File(DoSlash(folder) + QStringLiteral("Project.xml"), text);
        context.log().LogMe(QStringLiteral("Project file created."));
    });
}

void AddProj(Context& context, StoreView& view, const QString& folder) {
    context.log().LogMe(QStringLiteral("Adding project..."));
    if (store::refusePath(context, folder))
        return;
    store::trapped(context, kFailAddProject, [&] {
        const QString projectFile = DoSlash(folder) + QStringLiteral("Project.xml");
        if (!fileExists(projectFile))
            return;
        const QString project = readUtf16File(projectFile);
        const QString title = project.isEmpty()
                                  ? QString()
                                  : Wste(context, Wsre(context, project, QStringLiteral("Project")),
                                         kProj, QStringLiteral("Name"));
        // The title comes from a file the title box never saw.
        if (store::refuseTitle(context, title))
            return;
        const QString catalogue = cataloguePath(context);
        const QString text = store::readIfThere(catalogue);
        // A missing or empty catalogue fails here, before anything is written.
        const int count =
            store::readCount(context, Wsre(context, text, kProjects), text.size(), kProjects);
        const QString changed = addEntry(context, text, count, title, folder);
        store::requireChanged(text, changed, kProjects + QStringLiteral(" block"));
        saveUtf16File(catalogue, changed);
        ReadProj(context, view);
        view.selectEntry(StoreList::Projects, count);
        context.log().LogMe(QStringLiteral("Project number %1 added.").arg(count + 1));
    });
}

QString findMovedProject(Context& context, int number, const QString& path) {
    const QString folder = fromStoredPath(path);
    if (path.isEmpty() || fileExists(store::projectFilePath(folder)))
        return path;
    const QString shown = pathInLine(folder);
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    const QString here = DoSlash(context.programFolder()) + name;
    context.log().LogMe(QStringLiteral("Project folder not found: %1").arg(folder));
    if (name.isEmpty() || !fileExists(store::projectFilePath(here)) ||
        QFileInfo(here).canonicalFilePath() == QFileInfo(folder).canonicalFilePath()) {
        bepayamWithLine(context, kNoticeProjectFolderMissing, shown);
        return {};
    }
    const QString hereShown = pathInLine(here);
    if (!context.prompts().askYesNo(kMainCaption, texts::kAskProjectFoundHere.arg(shown, hereShown),
                                    Default::Yes)) {
        context.log().LogMe(QStringLiteral("Aborted by user!"));
        return {};
    }
    const QString catalogue = cataloguePath(context);
    const QString text = readUtf16File(catalogue);
    const QString changed = AddNode(context, text, kProjects, kProj + QString::number(number),
                                    QStringLiteral("Path"), here);
    store::requireChanged(text, changed, kProj + QString::number(number));
    saveUtf16File(catalogue, changed);
    context.log().LogMe(QStringLiteral("Project number %1 found at %2.").arg(number).arg(here));
    return here;
}

void DelProj(Context& context, StoreView& view, int number) {
    context.log().LogMe(QStringLiteral("Deleting project..."));
    store::trapped(context, kFailDeleteProject, [&] {
        const QString catalogue = cataloguePath(context);
        if (!fileExists(catalogue))
            return;
        const QString text = readUtf16File(catalogue);
        const QString name = view.selectedText(StoreList::Projects);
        if (name.isEmpty() || text.isEmpty())
            return;
        const QString projects = Wsre(context, text, kProjects);
        const QString inFile =
            Wste(context, projects, kProj + QString::number(number), QStringLiteral("Name"));
        if (store::refuseStaleDelete(context, view, StoreList::Projects, name, inFile))
            return;
        // The question says the folder stays: only the catalogue forgets the project.
        const QString folder = fromStoredPath(
            Wste(context, projects, kProj + QString::number(number), QStringLiteral("Path")));
        if (!store::confirmDelete(context, texts::kAskDeleteProject, name,
                                  texts::kProjectFolderStays + pathInLine(folder)))
            return;
        const int count = store::readCount(context, projects, text.size(), kProjects);
        QString changed = DelNode(context, text, kProjects, kProj, number, count - 1);
        store::requireChanged(text, changed, kProj + QString::number(number));
        changed = AddNode(context, changed, kProjects, QStringLiteral("Count"),
                          QStringLiteral("Adad"), QString::number(count - 1));
        const QString crlf = QStringLiteral("\r\n");
        const qsizetype emptied = changed.indexOf(QStringLiteral("\r\n\t\r\n"));
        if (emptied >= 0)
            changed.replace(emptied, 5, crlf);
        changed.replace(QStringLiteral("\r\n\t\t\r\n"), crlf);
        saveUtf16File(catalogue, changed);
        ReadProj(context, view);
        if (count - 1 > 0)
            view.selectEntry(StoreList::Projects, count - 2);
        context.log().LogMe(QStringLiteral("Project number %1 deleted.").arg(number));
    });
}

} // namespace tavrin
