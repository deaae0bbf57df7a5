#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextDocument;

namespace tavrin {

class Context;

// The lesson text files of the input texts folder: ".txt", ".rtf" and ".docx" in any case,
// sorted by name as Persian sorts. Nothing when the folder cannot be read (logged, 64);
// message 1 when none is there.
std::optional<QStringList> FileList(Context& context, const QString& folder);

// A lesson text as the lesson box takes it. Plain text is already cleaned by Rep; rich
// text is cleaned once it is in a document (repDocument).
struct LessonText {
    QString text;
    bool rich = false;     // text is RTF
    bool rawBytes = false; // RTF as the file's bytes, one character each
    QStringList notes;     // for the author: equations kept as marks or pictures
};

// A lesson text file: ".txt" as Windows-1256, unless it starts with a UTF-8 or UTF-16
// byte-order mark or is UTF-8 holding letters beyond ASCII, and as RTF when it starts with
// "{\rtf"; ".rtf" as RTF; ".docx" as a Word document. Throws FsError when it cannot be read
// (missing, refused, binary, damaged). Touches nothing shared, so it may run on another
// thread.
LessonText readLessonText(const QString& folder, const QString& name);
// The same, reported (55) and nothing when it cannot be read.
std::optional<LessonText> loadLessonText(Context& context, const QString& folder,
                                         const QString& name);

// Rep on the text of a rich document, formats and pictures kept, as one edit block.
void repDocument(QTextDocument* document);

// A snippet file of the Resources folder (img.bin, check.bin) read whole as ANSI text;
// empty when it is missing.
QString readSnippet(const QString& programFolder, const QString& name);

} // namespace tavrin
