#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavrin {

class Context;

// The lesson text files of the input texts folder: names whose extension (after the last
// ".", the whole name when there is none) is "txt" in any case, in the folder's order.
// Nothing when the folder cannot be read (logged, 64); message 1 when none is there.
std::optional<QStringList> FileList(Context& context, const QString& folder);

// A lesson text read as ANSI and cleaned by Rep; nothing when it cannot be read (55).
std::optional<QString> loadLessonText(Context& context, const QString& folder, const QString& name);
// The same without the report: throws FsError. Touches nothing shared, so it may run on
// another thread.
QString readLessonText(const QString& folder, const QString& name);

// A snippet file of the Resources folder (img.bin, check.bin) read whole as ANSI text;
// empty when it is missing.
QString readSnippet(const QString& programFolder, const QString& name);

} // namespace tavrin
