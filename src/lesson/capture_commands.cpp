#include "lesson/capture_commands.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "lesson/entry_table.h"
#include "lesson/question_check.h"
#include "lesson/text_procedures.h"

namespace tavrin {

namespace {

const QString kSeparator = QStringLiteral("   =>   ");

// A command may not write beyond the last entry; nothing of it changes then.
bool beyondTable(Context& context, const EntryTable& table) {
    if (table.EntryCount < EntryTable::kEntries)
        return false;
    reportFailure(context, kFailCaptureCommand,
                  QStringLiteral("Subscript out of range (entry %1)").arg(table.EntryCount));
    return true;
}

// Puts the first part of line k: a new line, or in place of the open question's line.
void startLine(QStringList& outline, int k, const QString& part, bool replace) {
    if (replace && k < outline.size())
        outline[k] = part;
    else
        outline.insert(std::min<qsizetype>(k, outline.size()), part);
}

void appendPart(QStringList& outline, int k, const QString& text) {
    if (k < outline.size())
        outline[k] += kSeparator + BeBor(text, 50);
}

} // namespace

QString groupButtonCaption(int openGroups) {
    return QStringLiteral(u"ايجاد گروه جديدي از سؤالات (%1)\u200F").arg(openGroups);
}

CaptureResult fileQuestion(Context& context, EntryTable& table, QStringList& outline,
                           const Selection& selection) {
    if (beyondTable(context, table))
        return {CaptureOutcome::Failed};
    const int k = table.EntryCount;
    table.SoalText[k] = DelCrLf(selection.text.trimmed());
    startLine(outline, k, BeBor(table.SoalText[k], 20), table.questionOpen);
    table.JavabRtf[k].clear();
    table.TozihRtf[k].clear();
    table.questionOpen = true;
    return {CaptureOutcome::Filed, k};
}

namespace {

// Answers and explanation go into the open question; the explanation closes it.
CaptureResult fileIntoQuestion(Context& context, EntryTable& table, QStringList& outline,
                               const Selection& selection, bool explanation) {
    if (!table.questionOpen) {
        bepayam(context, kNoticeFileQuestionFirst);
        return {CaptureOutcome::QuestionFirst};
    }
    const int k = table.EntryCount;
    (explanation ? table.TozihRtf : table.JavabRtf)[k] = selection.rtf.trimmed();
    appendPart(outline, k, selection.text);
    // Every paragraph is kept; the author learns that the quiz file takes four.
    if (!explanation && moreThanFourAnswers(answerLines(context, table.JavabRtf[k])))
        bepayam(context, kNoticeMoreThanFour);
    if (explanation) {
        table.EntryCount = k + 1;
        table.questionOpen = false;
    }
    return {CaptureOutcome::Filed};
}

} // namespace

CaptureResult fileAnswers(Context& context, EntryTable& table, QStringList& outline,
                          const Selection& selection) {
    return fileIntoQuestion(context, table, outline, selection, false);
}

CaptureResult fileExplanation(Context& context, EntryTable& table, QStringList& outline,
                              const Selection& selection) {
    return fileIntoQuestion(context, table, outline, selection, true);
}

namespace {

CaptureResult groupLine(EntryTable& table, QStringList& outline, const QString& marker,
                        const QString& title) {
    const int k = table.EntryCount;
    table.SoalText[k] = marker;
    // A question left open here gives its place, and its line, to the group line.
    startLine(outline, k, BeBor(marker, 20), table.questionOpen);
    table.questionOpen = false;
    table.JavabRtf[k] = title;
    table.TozihRtf[k].clear();
    appendPart(outline, k, title);
    table.EntryCount = k + 1;
    return {CaptureOutcome::Filed, k};
}

} // namespace

CaptureResult openGroup(Context& context, EntryTable& table, QStringList& outline,
                        const Selection& selection) {
    if (beyondTable(context, table))
        return {CaptureOutcome::Failed};
    const QString title = selection.text.trimmed();
    table.GroupTitle = title;
    const CaptureResult r = groupLine(table, outline, kMainTitleEntry, title);
    ++table.OpenGroups;
    return r;
}

CaptureResult closeGroup(Context& context, EntryTable& table, QStringList& outline) {
    if (table.OpenGroups <= 0) {
        context.prompts().notice(kMainCaption, kNothingToClose);
        return {CaptureOutcome::NothingToClose};
    }
    if (beyondTable(context, table))
        return {CaptureOutcome::Failed};
    const CaptureResult r = groupLine(table, outline, kEndTitleEntry, table.GroupTitle);
    --table.OpenGroups;
    return r;
}

} // namespace tavrin
