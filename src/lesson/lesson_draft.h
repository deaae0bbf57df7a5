#pragma once

#include "lesson/entry_table.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <optional>

namespace tavrin {

// A lesson's filed entries that are not yet made into its quiz file: the whole table, its
// outline and when it was saved. Written after every change, so a crash loses nothing.
struct Draft {
    EntryTable table;
    QStringList outline;
    QDateTime saved;
    // The lesson box as it was: the text less what was filed (RTF when rich), and the lesson
    // text file it came from. Empty in a draft of an earlier version.
    struct Box {
        QString file;
        QString text;
        bool rich = false;
    } box;
    int questions() const; // entries that are not group lines
};

QByteArray draftBytes(const Draft& draft);
// Throws FsError when the bytes are not a draft this tool wrote.
Draft draftFromBytes(const QByteArray& bytes);

// "<project>/_xml/quizF-L.draft".
QString draftPath(const QString& projectPath, const QString& id);
// A safe save. Throws FsError.
void saveDraft(const QString& projectPath, const QString& id, const Draft& draft);
// Nothing when the lesson has no draft; throws FsError when it cannot be read.
std::optional<Draft> readDraft(const QString& projectPath, const QString& id);
// The draft file alone (a made lesson taken back to where its making left it).
void removeDraftFile(const QString& projectPath, const QString& id);
// The draft and the files of the questions imported into it (BookTXT "quizF-L-import-*").
void removeDraft(const QString& projectPath, const QString& id);
// A draft that cannot be read is renamed, not lost: "quizF-L.draft.damaged". Throws FsError.
void putDraftAside(const QString& projectPath, const QString& id);

} // namespace tavrin
