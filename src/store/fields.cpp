#include "store/fields.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/texts.h"
#include "platform/calendar.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/text_file.h"
#include "store/catalogue.h"
#include "store/lesson_files.h"
#include "store/store_common.h"
#include "store/store_view.h"
#include "store/tag_text.h"

namespace tavrin {
namespace {

const QString kReshteh = QStringLiteral("Reshteh");
const QString kResh = QStringLiteral("Resh");

// The text of the element itself: "<Music>" is not the start of "<Music1 ...>", whichever
// comes first in the block.
QString elementText(const QString& block, const QString& tag) {
    const QString open = u'<' + tag + u'>';
    const qsizetype at = block.indexOf(open);
    if (at < 0)
        return {};
    const qsizetype start = at + open.size();
    const qsizetype end = block.indexOf(QStringLiteral("</") + tag + u'>', start);
    return end < 0 ? QString() : block.mid(start, end - start);
}

} // namespace

ProjectSettings readSettings(Context& context, const QString& document) {
    const QString block = Wsre(context, document, QStringLiteral("Settings"));
    const auto path = [&](const char* tag) {
        return Wste(context, block, QLatin1String(tag), QStringLiteral("Path"));
    };
    ProjectSettings s;
    s.music1 = path("Music1");
    s.music2 = path("Music2");
    s.backPic = path("BackPic");
    s.exportPath = path("Export");
    s.importPath = path("Import");
    // The plain elements, each the text between its tags.
    for (const auto& [member, tag] :
         {std::pair{&ProjectSettings::olgoo, "Olgoo"}, std::pair{&ProjectSettings::music, "Music"},
          std::pair{&ProjectSettings::printable, "Printable"},
          std::pair{&ProjectSettings::examOn, "ExamOn"},
          std::pair{&ProjectSettings::examMinutes, "ExamMinutes"},
          std::pair{&ProjectSettings::examCount, "ExamCount"},
          std::pair{&ProjectSettings::penalty, "Penalty"},
          std::pair{&ProjectSettings::fullExam, "FullExam"},
          std::pair{&ProjectSettings::fullExamTitle, "FullExamTitle"},
          std::pair{&ProjectSettings::fullExamMinutes, "FullExamMinutes"},
          std::pair{&ProjectSettings::fullExamBudget, "FullExamBudget"},
          std::pair{&ProjectSettings::fieldWeights, "FieldWeights"},
          std::pair{&ProjectSettings::passMark, "PassMark"}})
        s.*member = elementText(block, QLatin1String(tag));
    return s;
}

void ReadResh(Context& context, StoreView& view) {
    view.setEntries(StoreList::Fields, {});
    view.setEntries(StoreList::Lessons, {});
    context.log().LogMe(QStringLiteral("Reading this project..."));
    store::trapped(context, kFailReadProject, [&] {
        const QString catalogue = store::readIfThere(cataloguePath(context));
        if (catalogue.isEmpty())
            return;
        const QString projects = Wsre(context, catalogue, QStringLiteral("Projects"));
        const int selected = view.selectedIndex(StoreList::Projects);
        view.setProjectPath(
            findMovedProject(context, selected + 1,
                             Wste(context, projects, QStringLiteral("Proj%1").arg(selected + 1),
                                  QStringLiteral("Path"))));
        if (view.projectPath().isEmpty())
            return;
        // A delete that a kill cut short is finished (or undone) before anything is read,
        // and what a kill left of a save or a copy goes.
        finishSwitch(context, view.projectPath());
        removeLeftovers(context, view.projectPath());
        const QString file = store::projectFilePath(view.projectPath());
        if (!fileExists(file))
            throw FsError::at(QStringLiteral("File not found"), file);
        const QString document = readUtf16File(file);
        const QString block = Wsre(context, document, kReshteh);
        const int count = store::readCount(context, block, document.size(), kReshteh);
        view.setEntries(StoreList::Fields, store::listNames(context, block, kResh, count));
        const ProjectSettings settings = readSettings(context, document);
        view.setInputFolder(settings.importPath);
        view.showSettings(settings);
    });
}

bool NewResh(Context& context, StoreView& view, const QString& title) {
    context.log().LogMe(QStringLiteral("Creating reshteh..."));
    if (store::refuseTitle(context, title))
        return false;
    store::trapped(context, kFailNewField, [&] {
        const QString file = store::projectFilePath(view.projectPath());
        const QString document = store::readIfThere(file);
        if (document.isEmpty() || title.isEmpty())
            return;
        const int count =
            store::readCount(context, Wsre(context, document, kReshteh), document.size(), kReshteh);
        const QString tag = kResh + QString::number(count + 1);
        QString text = AddNode(context, document, kReshteh, tag, QStringLiteral("Name"), title);
        text = AddNode(context, text, kReshteh, tag, QStringLiteral("DateCreated"),
                       ShamsiDate(context.now()));
        text = AddNode(context, text, kReshteh, QLatin1Char('/') + tag, QString(), QString());
        text = AddNode(context, text, kReshteh, QStringLiteral("Count"), QStringLiteral("Adad"),
                       QString::number(count + 1));
        text = AddNode(context, text, tag + QLatin1Char(' '), QStringLiteral("Count"),
                       QStringLiteral("Adad"), QStringLiteral("0"));
        store::requireChanged(document, text, kReshteh + QStringLiteral(" block"));
        saveUtf16File(file, text);
        ReadResh(context, view);
        view.selectEntry(StoreList::Fields, count);
        context.log().LogMe(QStringLiteral("Reshteh number %1 created.").arg(count + 1));
    });
    return true;
}

void DelResh(Context& context, StoreView& view, int number) {
    store::deleteNumbered(context, view, number,
                          {kFailDeleteField, StoreList::Fields, texts::kAskDeleteField, kReshteh,
                           kResh, true, QStringLiteral("reshteh"), number - 1, -1,
                           [&] { ReadResh(context, view); }});
}

} // namespace tavrin
