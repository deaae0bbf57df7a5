#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// Text files as the tool stores them. The text is written exactly as given: callers hold
// CR LF line ends in their strings. Every function throws FsError on failure.

QByteArray readWholeFile(const QString& path);
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
