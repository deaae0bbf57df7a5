#include "store/store_common.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_file.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/lessons.h"
#include "store/store_view.h"
#include "store/tag_text.h"

namespace tavrin::store {

QString readIfThere(const QString& path) {
    return fileExists(path) ? readUtf16File(path) : QString();
}

QString projectFilePath(const QString& projectPath) {
    return DoSlash(projectPath) + folders::kProjectFile;
}

int readCount(Context& context, const QString& block, qsizetype documentSize, const QString& what) {
    if (block.isEmpty())
        throw Failure{QStringLiteral("%1 not found").arg(what)};
    const QString text = Wste(context, block, QStringLiteral("Count"), QStringLiteral("Adad"));
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    if (!ok)
        throw Failure{QStringLiteral("The count of %1 is missing or not a number").arg(what)};
    // Every element takes more than one character, so a larger count is damage, and
    // listing it would hang the window.
    if (count < 0 || count > documentSize)
        throw Failure{QStringLiteral("Count %1 is out of range").arg(count)};
    return count;
}

QStringList listNames(Context& context, const QString& block, const QString& prefix, int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(Wste(context, block, prefix + QString::number(i), QStringLiteral("Name")));
    names << QString() << QString();
    return names;
}

bool damagesTagText(const QString& value) {
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'"':
        case u'<':
        case u'>':
        case u'=':
        case u'\r':
        case u'\n':
        case u'\t':
            return true;
        default:
            break;
        }
    }
    return false;
}

bool refuseTitle(Context& context, const QString& title) {
    if (!damagesTagText(title))
        return false;
    bepayam(context, kNoticeUnsafeTitle);
    return true;
}

bool refusePath(Context& context, const QString& path) {
    if (!damagesTagText(path))
        return false;
    context.log().setErrText(QStringLiteral("Unsafe folder path: %1").arg(path));
    bepayam(context, kNoticeUnsafeTitle);
    return true;
}

bool confirmDelete(Context& context, const QString& question, const QString& name,
                   const QString& after) {
    if (context.prompts().askYesNo(kAppTitle, question + name + texts::kAskDeleteEnd + after))
        return true;
    context.log().LogMe(QStringLiteral("Aborted by user!"));
    return false;
}

std::optional<ProjectDocument>
documentToDeleteFrom(Context& context, StoreView& view, StoreList list, const QString& question,
                     const std::function<QString(const QString&)>& nameInFile) {
    ProjectDocument document{projectFilePath(view.projectPath()), {}};
    document.text = readIfThere(document.file);
    const QString name = view.selectedText(list);
    if (name.isEmpty() || document.text.isEmpty())
        return std::nullopt;
    if (refuseStaleDelete(context, view, list, name, nameInFile(document.text)))
        return std::nullopt;
    if (!confirmDelete(context, question, name))
        return std::nullopt;
    return document;
}

bool refuseStaleDelete(Context& context, StoreView& view, StoreList list, const QString& shown,
                       const QString& inFile) {
    if (shown == inFile)
        return false;
    context.log().LogMe(
        QStringLiteral("The list was out of date (\"%1\" is now \"%2\"); nothing deleted.")
            .arg(shown, inFile));
    switch (list) {
    case StoreList::Projects:
        ReadProj(context, view);
        break;
    case StoreList::Fields:
        ReadResh(context, view);
        break;
    case StoreList::Lessons:
        ReadDars(context, view);
        break;
    }
    bepayam(context, kNoticeStaleList);
    return true;
}

QString removeEmptiedLines(QString text) {
    const QString crlf = QStringLiteral("\r\n");
    for (int pass = 0; pass < 2; ++pass)
        text.replace(QStringLiteral("\r\n\t\r\n"), crlf);
    text.replace(QStringLiteral("\r\n\t\t\r\n"), crlf);
    return text;
}

void requireChanged(const QString& before, const QString& after, const QString& what) {
    if (before == after)
        throw Failure{QStringLiteral("%1 not found").arg(what)};
}

void deleteNumbered(Context& context, StoreView& view, int number, const NumberedDelete& d) {
    context.log().LogMe(QStringLiteral("Deleting %1...").arg(d.logName));
    trapped(context, d.code, [&] {
        const QString element = d.prefix + QString::number(number);
        const auto target =
            documentToDeleteFrom(context, view, d.list, d.question, [&](const QString& text) {
                return Wste(context, Wsre(context, text, d.parent), element,
                            QStringLiteral("Name"));
            });
        if (!target)
            return;
        const QString& document = target->text;
        const int count = readCount(context, Wsre(context, document, d.parent), document.size(),
                                    d.parent.trimmed());
        QString text = d.wholeElement
                           ? DelFullNode(context, document, d.parent, d.prefix, number, count - 1)
                           : DelNode(context, document, d.parent, d.prefix, number, count - 1);
        requireChanged(document, text, element);
        text = AddNode(context, text, d.parent, QStringLiteral("Count"), QStringLiteral("Adad"),
                       QString::number(count - 1));
        // The lessons' files go with them, and the later lessons' files follow their numbers.
        switchLessonFiles(context, view.projectPath(), removeEmptiedLines(text),
                          {d.fieldIndex, d.lessonIndex});
        d.reread();
        if (count - 1 > 0)
            view.selectEntry(d.list, count - 2);
        QString name = d.logName;
        name[0] = name[0].toUpper();
        context.log().LogMe(QStringLiteral("%1 number %2 deleted.").arg(name).arg(number));
    });
}

} // namespace tavrin::store
