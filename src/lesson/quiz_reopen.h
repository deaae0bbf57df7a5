#pragma once

#include "lesson/entry_table.h"
#include "store/quiz_file.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <optional>

namespace tavrin {

class Context;

// The group lines of a table, for the file beside its quiz file ("quizF-L.groups"): the quiz
// file keeps only questions. Empty when the table has none.
QByteArray groupsBytes(const EntryTable& table);

struct ReopenedBook {
    EntryTable table;
    QStringList outline;
};

// A made lesson's entries back from its quiz file, its group lines and its copies in
// BookTXT: questions; answers one paragraph each, the marked one with the check mark at its
// start and each image mark "{N}" after its picture; explanation; the four attachments as
// the copies. Made again unchanged, they give the same quiz file byte for byte. Nothing when
// the lesson has no quiz file; throws UnreadableQuiz for a line that does not read back and
// FsError when the file cannot be read.
std::optional<ReopenedBook> reopenBook(Context& context, const QString& projectPath,
                                       const QString& id, const QString& checkSnippet,
                                       const QString& imgSnippet);

// Paragraphs as RTF whose plain text is exactly them joined by CR LF: no \par after the last.
// The marked paragraph (1-based) starts with the check mark; an image mark "{N}" whose
// number images holds follows the image mark's picture.
QString paragraphsRtf(const QStringList& paragraphs, int marked, const QString& checkSnippet,
                      const QMap<int, QString>& images, const QString& imgSnippet);

// The text that RemCrLf turns back into this one-line text: each run of two or more blanks
// doubled, as RemCrLf halves them.
QString beforeRemCrLf(const QString& line);

} // namespace tavrin
