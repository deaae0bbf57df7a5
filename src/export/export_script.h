#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tavrin {

// One "source => target" entry of a copy section, each side trimmed of spaces.
struct ExportCopy {
    QString source;
    QString target;
};

// The export script, cut exactly as stored scripts rely on: a section runs from its header
// to two characters before the next "[" after it; its text is split at CR LF and the first
// and last pieces are dropped, so a section's last entry needs an empty line after it.
// Entries stay as written until they are carried out: a copy entry without "=>" fails
// at its turn, after what came before it was made.
struct ExportScript {
    QStringList makeFolders;
    QStringList copyFolders;
    QStringList copyFiles;
};

// The entries of one section; nullopt when its header is missing or no "[" follows it.
std::optional<QStringList> scriptSection(const QString& script, const QString& header);

// An entry split at its first "=>"; nullopt when it has none.
std::optional<ExportCopy> splitCopyEntry(const QString& entry);

// The three sections; throws ScriptFault when one cannot be cut.
struct ScriptFault {
    QString description;
};
ExportScript cutExportScript(const QString& script);

// A script edited where lines end in LF alone (or CR alone) read as one ending in CR LF.
QString scriptWithCrLf(QString text);

} // namespace tavrin
