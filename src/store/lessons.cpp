#include "store/lessons.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/texts.h"
#include "platform/calendar.h"
#include "platform/text_file.h"
#include "store/lesson_files.h"
#include "store/store_common.h"
#include "store/store_view.h"
#include "store/tag_text.h"

namespace tavrin {
namespace {

const QString kDars = QStringLiteral("Dars");

// The selected field's tag, with the trailing space that finds its whole block.
QString fieldTag(const StoreView& view) {
    return QStringLiteral("Resh%1 ").arg(view.selectedIndex(StoreList::Fields) + 1);
}

} // namespace

void ReadDars(Context& context, StoreView& view) {
    view.setEntries(StoreList::Lessons, {});
    context.log().LogMe(QStringLiteral("Reading this Reshteh..."));
    store::trapped(context, kFailReadLessons, [&] {
        const QString document = store::readIfThere(store::projectFilePath(view.projectPath()));
        if (document.isEmpty())
            return;
        const QString block = Wsre(context, document, fieldTag(view));
        const int count =
            store::readCount(context, block, document.size(), fieldTag(view).trimmed());
        view.setEntries(StoreList::Lessons, store::listNames(context, block, kDars, count));
    });
}

bool NewDars(Context& context, StoreView& view, const QString& title) {
    context.log().LogMe(QStringLiteral("Creating dars..."));
    if (store::refuseTitle(context, title))
        return false;
    store::trapped(context, kFailNewLesson, [&] {
        const QString file = store::projectFilePath(view.projectPath());
        const QString document = store::readIfThere(file);
        if (document.isEmpty() || title.isEmpty())
            return;
        const QString parent = fieldTag(view);
        const QString fields = Wsre(context, document, QStringLiteral("Reshteh"));
        const int count = store::readCount(context, Wsre(context, fields, parent), document.size(),
                                           parent.trimmed());
        const QString tag = kDars + QString::number(count + 1);
        QString text = AddNode(context, document, parent, tag, QStringLiteral("Name"), title);
        text = AddNode(context, text, parent, tag, QStringLiteral("DateCreated"),
                       ShamsiDate(context.now()));
        text = AddNode(context, text, parent, QStringLiteral("Count"), QStringLiteral("Adad"),
                       QString::number(count + 1));
        store::requireChanged(document, text, parent.trimmed());
        saveUtf16File(file, text);
        ReadDars(context, view);
        view.selectEntry(StoreList::Lessons, count);
        context.log().LogMe(QStringLiteral("Dars number %1 created.").arg(count + 1));
    });
    return true;
}

void DelDars(Context& context, StoreView& view, int number) {
    const int field = view.selectedIndex(StoreList::Fields);
    store::deleteNumbered(context, view, number,
                          {kFailDeleteLesson, StoreList::Lessons, texts::kAskDeleteLesson,
                           fieldTag(view), kDars, false, QStringLiteral("dars"), field, number - 1,
                           [&] { ReadDars(context, view); }});
}

} // namespace tavrin
