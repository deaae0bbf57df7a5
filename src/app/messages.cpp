#include "app/messages.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/texts.h"
#include "platform/persian_text.h"

#include <iterator>

namespace tavrin {

bool isFailureCode(int number) {
    return number > kNoticeFileQuestionFirst && (number < 101 || number > kNoticeLast);
}

QString PayamText(int number) {
    if (number <= 0)
        return texts::kPayamUncontrollable;
    if (number <= kNoticeFileQuestionFirst)
        return QString::fromUtf16(texts::kPayam[number]);
    if (number == 101 || number == 102)
        return texts::kPayamNoOutputFolder;
    // The tool's own notices, 103 and up, in their numbers' order.
    const QString* const own[] = {
        &texts::kPayamStaleList,
        &texts::kPayamSecondInstance,
        &texts::kPayamMoreThanFour,
        &texts::kPayamSettingsNotSaved,
        &texts::kPayamBookNotMade,
        &texts::kPayamLessonTextNotRead,
        &texts::kPayamQuizNotReopened,
        &texts::kPayamDraftNotRead,
        &texts::kPayamExportNotReady,
        &texts::kPayamImageMade,
        &texts::kPayamImageNotMade,
        &texts::kPayamNoExportYet,
        &texts::kPayamQuestionsWritten,
        &texts::kPayamQuestionsNotWritten,
        &texts::kPayamQuestionsNotImported,
        &texts::kPayamSelectTextFirst,
        &texts::kPayamNothingToMake,
        &texts::kPayamFormatterStays,
        &texts::kPayamProjectFolderMissing,
        &texts::kPayamCloseFormatterFirst,
        &texts::kPayamAttachmentNotFound,
        &texts::kPayamChooseAFile,
        &texts::kPayamSettingNotKept,
        &texts::kPayamEquationsKept,
        &texts::kPayamPaperWritten,
        &texts::kPayamPaperNotWritten,
        &texts::kPayamAnalysisNotWritten,
        &texts::kPayamChooseAProject,
        &texts::kPayamEditNotUndone,
        &texts::kPayamSheetsNotRead,
    };
    static_assert(std::size(own) == kNoticeLast - kNoticeStaleList + 1);
    if (number >= kNoticeStaleList && number <= kNoticeLast)
        return *own[number - kNoticeStaleList];
    return {};
}

void bepayam(Context& context, int number) {
    if (isFailureCode(number)) {
        context.log().LogErr(number);
        return;
    }
    const QString text = PayamText(number);
    if (text.isEmpty())
        return;
    context.prompts().notice(kMainCaption, text);
    context.log().LogMe(QStringLiteral("Payam number %1 displayed.").arg(number));
}

void bepayamBecause(Context& context, int number, const QString& description) {
    bepayamWithLine(context, number, persianCause(description));
}

void bepayamWithLine(Context& context, int number, const QString& line) {
    const QString text = PayamText(number);
    if (text.isEmpty())
        return;
    context.prompts().notice(kMainCaption, text + QStringLiteral("\r\n") + line + QChar(0x200F));
    context.log().LogMe(QStringLiteral("Payam number %1 displayed.").arg(number));
}

QString persianCause(const QString& description) {
    struct Kind {
        const char* english;
        const QString& persian;
    };
    // Most particular first: "Path not found" before a bare "not found".
    const Kind kinds[] = {{"no \"=>\"", texts::kCauseScript},
                          {"no project file", texts::kCauseNoProject},
                          {"no exam record", texts::kCauseNoExamRecord},
                          {"changed since", texts::kCauseChangedSince},
                          {"file too large", texts::kCauseDiskFull},
                          {"is a folder", texts::kCauseIsFolder},
                          {"is a directory", texts::kCauseIsFolder},
                          {"not a regular file", texts::kCauseNotAFile},
                          {"larger than", texts::kCauseTooLarge},
                          {"part too large", texts::kCauseTooLarge},
                          {"too large:", texts::kCauseTooLarge},
                          {"nested too deeply", texts::kCauseTooDeep},
                          {"entit", texts::kCauseEntities},
                          {"outside", texts::kCauseOutside},
                          {"leaves the", texts::kCauseOutside},
                          {"symbolic link", texts::kCauseLink},
                          {"a link stands", texts::kCauseLink},
                          {"not printed within", texts::kCausePageTimedOut},
                          {"renderer ended", texts::kCauseRenderer},
                          {"not enough memory", texts::kCauseMemory},
                          {"section", texts::kCauseScript},
                          {"permission denied", texts::kCausePermission},
                          {"access denied", texts::kCausePermission},
                          {"read-only", texts::kCauseReadOnly},
                          {"disk full", texts::kCauseDiskFull},
                          {"no space left", texts::kCauseDiskFull},
                          {"quota", texts::kCauseDiskFull},
                          {"file too large", texts::kCauseDiskFull},
                          {"path not found", texts::kCauseFolderMissing},
                          {"already exists", texts::kCauseExists},
                          {"not a ", texts::kCauseNotReadable},
                          {"not an ", texts::kCauseNotReadable},
                          {"damaged", texts::kCauseNotReadable},
                          {"not found", texts::kCauseFileMissing},
                          {"no such file", texts::kCauseFileMissing}};
    // The kind is read from the reason alone: a path may hold any word.
    const qsizetype reasonEnd = description.lastIndexOf(QStringLiteral(": "));
    const QString tail = reasonEnd < 0 ? QString() : description.mid(reasonEnd + 2);
    const bool path = tail.contains(u'/') || tail.contains(u'\\');
    const QString lower = (path ? description.left(reasonEnd) : description).toLower();
    const QString* found = &texts::kCauseUnknown;
    for (const Kind& k : kinds) {
        if (lower.contains(QLatin1String(k.english))) {
            found = &k.persian;
            break;
        }
    }
    const QString& why = *found;
    // What it happened to: the path after the last ": ", or the script's entry.
    const qsizetype colon = description.lastIndexOf(QStringLiteral(": "));
    QString subject = colon < 0 ? QString() : description.mid(colon + 2).trimmed();
    if (&why == &texts::kCauseScript || subject.isEmpty())
        subject = description.startsWith(u'"') ? description.section(u'"', 1, 1) : subject;
    QString line = texts::kCausePrefix + why;
    // A path reads left to right, in its own order, inside the Persian line.
    if (subject.contains(u'/') || subject.contains(u'\\'))
        subject = pathInLine(subject);
    if (!subject.isEmpty())
        line += QStringLiteral(u" («") + subject + QStringLiteral(u"»)");
    return line;
}

void reportFailure(Context& context, int code, const QString& description) {
    context.log().setErrText(description);
    // A handler's failure code is logged, also where the number names a notice too (31);
    // 101 and 102 are failures reported by their message box.
    if (isFailureCode(code) || code == kNoticeFileQuestionFirst) {
        context.log().LogErr(code);
        return;
    }
    bepayam(context, code);
}

void runTrapped(Context& context, int code, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        reportFailure(context, code, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFailure(context, code, QStringLiteral("Unexpected error"));
    }
}

} // namespace tavrin
