#pragma once

#include "app/messages.h"

#include <QString>
#include <QStringList>

namespace tavrin {

class Context;
struct EntryTable;

// The formatter's commands by the number of their button (Com0 to Com11) and in the log
// ("Format number N clicked."); 1 is given by F6 and does nothing.
enum FormatterCommand : int {
    kExplanation = 0,
    kQuestion = 2,
    kAnswers = 3,
    kRemoveText = 4,
    kOpenGroup = 9,
    kCloseGroup = 10,
    kMakeFile = 11,
};

// What a capture command leaves for the window to do.
enum class CaptureOutcome {
    Filed,          // the table and the outline changed
    QuestionFirst,  // answers or explanation with no question open: notice 31
                    // (kNoticeFileQuestionFirst), nothing filed
    NothingToClose, // close with no open group: its message, nothing filed
    Failed,         // beyond the last entry: logged (59), nothing changed
};

// The selection a command files: its plain text and its rich text.
struct Selection {
    QString text;
    QString rtf;
};

// The outline lines mirror the table one to one: line i shows entry i. A command returns
// the outline line to select, or -1.
struct CaptureResult {
    CaptureOutcome outcome = CaptureOutcome::Filed;
    int selectLine = -1;
};

// Question (2): a question still open (no explanation yet) is replaced with its line.
CaptureResult fileQuestion(Context& context, EntryTable& table, QStringList& outline,
                           const Selection& selection);
// Answers (3) and explanation (0) go into the open question; the explanation closes it.
CaptureResult fileAnswers(Context& context, EntryTable& table, QStringList& outline,
                          const Selection& selection);
CaptureResult fileExplanation(Context& context, EntryTable& table, QStringList& outline,
                              const Selection& selection);
// Group lines (9 opens with the selection as title, 10 closes the group opened last).
CaptureResult openGroup(Context& context, EntryTable& table, QStringList& outline,
                        const Selection& selection);
CaptureResult closeGroup(Context& context, EntryTable& table, QStringList& outline);

// "ايجاد گروه جديدي از سؤالات (" + count + ")" + RLM.
QString groupButtonCaption(int openGroups);

// The text of the close-group message.
inline const QString kNothingToClose = QStringLiteral(u"عنواني براي بستن وجود ندارد!\u200F");

} // namespace tavrin
