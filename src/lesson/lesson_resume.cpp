#include "lesson/lesson_resume.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "lesson/lesson_draft.h"
#include "lesson/quiz_reopen.h"
#include "platform/calendar.h"
#include "platform/fs_error.h"

namespace tavrin {

std::optional<ResumedLesson> resumeDraft(Context& context, const QString& projectPath,
                                         const QString& id) {
    std::optional<Draft> draft;
    try {
        draft = readDraft(projectPath, id);
    } catch (const FsError& e) {
        reportFailure(context, kFailReadDraft, e.description());
        try {
            putDraftAside(projectPath, id);
        } catch (const FsError& aside) {
            reportFailure(context, kFailReadDraft, aside.description());
        }
        bepayamBecause(context, kNoticeDraftNotRead, e.description());
        return std::nullopt;
    }
    if (!draft)
        return std::nullopt;
    const QString ask =
        texts::kAskGoOnFromDraft.arg(ShamsiDate(draft->saved)).arg(draft->questions());
    if (!context.prompts().askYesNo(kMainCaption, ask, Default::Yes)) {
        context.log().LogMe(QStringLiteral("Draft discarded."));
        removeDraft(projectPath, id);
        return std::nullopt;
    }
    context.log().LogMe(QStringLiteral("Draft restored: %1 entries.").arg(draft->questions()));
    return ResumedLesson{std::move(draft->table), std::move(draft->outline), true,
                         std::move(draft->box)};
}

std::optional<ResumedLesson> reopenLesson(Context& context, const QString& projectPath,
                                          const QString& id, const QString& checkSnippet,
                                          const QString& imgSnippet) {
    try {
        auto book = reopenBook(context, projectPath, id, checkSnippet, imgSnippet);
        if (!book)
            return std::nullopt;
        context.log().LogMe(
            QStringLiteral("Made lesson reopened: %1 entries.").arg(book->table.EntryCount));
        return ResumedLesson{std::move(book->table), std::move(book->outline), false, {}};
    } catch (const UnreadableQuiz& e) {
        reportFailure(context, kFailReopenBook,
                      QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name()));
        bepayamWithLine(context, kNoticeQuizNotReopened,
                        texts::kBadQuizLine.arg(e.line()).arg(e.name()));
    } catch (const FsError& e) {
        reportFailure(context, kFailReopenBook, e.description());
        bepayamBecause(context, kNoticeQuizNotReopened, e.description());
    }
    return ResumedLesson{};
}

} // namespace tavrin
