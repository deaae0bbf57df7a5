#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// Text files as the tool stores them. The text is written exactly as given: callers hold
// CR LF line ends in their strings. Every function throws FsError on failure.

QByteArray readWholeFile(const QString& path);

// The largest inputs an author names: far above real files, low enough that no file can
// fill the memory.
inline constexpr qint64 kLargestLessonText = 100LL * 1024 * 1024;
inline constexpr qint64 kLargestQuestionsFile = 128LL * 1024 * 1024;
// A school's answer sheets: a million students of a hundred questions are about 250 MB.
inline constexpr qint64 kLargestAnswerSheets = 256LL * 1024 * 1024;

// A file an author names as input: a regular file (a folder, a device or a pipe is refused
// before it is opened, as it could block or never end) of at most limit bytes; "Is a
// folder", "Not a regular file" or "Larger than N MB" otherwise.
QByteArray readInputFile(const QString& path, qint64 limit);
// A small file the tool keeps for itself (a remembered choice): its bytes, or none when it
// is missing, is no regular file (a pipe there would block) or is larger than limit. It is
// only a convenience: never throws.
QByteArray readKeptFile(const QString& path, qint64 limit);
// The same checks for a file read a piece at a time. Throws FsError.
void checkInputFile(const QString& path, qint64 limit);
QString readUtf16File(const QString& path);
QString readAnsiFile(const QString& path);

// Whole-file replacement through saveWholeFile.
void saveUtf16File(const QString& path, const QString& text);
void saveAnsiFile(const QString& path, const QString& text);

// Appends to an existing file only; a missing file is a failure.
void appendAnsiFile(const QString& path, const QString& text);
// Appends, creating the file with its byte-order mark when there is none.
void appendUtf16File(const QString& path, const QString& text);

} // namespace tavrin
