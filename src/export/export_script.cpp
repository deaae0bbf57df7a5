#include "export/export_script.h"

#include "platform/blanks.h"

namespace tavrin {

std::optional<QStringList> scriptSection(const QString& script, const QString& header) {
    const qsizetype start = script.indexOf(header);
    if (start < 0)
        return std::nullopt;
    const qsizetype next = script.indexOf(u'[', start + 1);
    if (next < 0 || next - 2 < start)
        return std::nullopt;
    QStringList pieces = script.mid(start, next - 2 - start).split(QStringLiteral("\r\n"));
    pieces.removeFirst();
    if (!pieces.isEmpty())
        pieces.removeLast();
    return pieces;
}

std::optional<ExportCopy> splitCopyEntry(const QString& entry) {
    const qsizetype arrow = entry.indexOf(QStringLiteral("=>"));
    if (arrow < 0)
        return std::nullopt;
    return ExportCopy{trimBlanks(entry.left(arrow)), trimBlanks(entry.mid(arrow + 2))};
}

ExportScript cutExportScript(const QString& script) {
    const auto section = [&](const char* header) {
        const QString name = QString::fromLatin1(header);
        auto entries = scriptSection(script, name);
        if (!entries)
            throw ScriptFault{
                QStringLiteral("Section %1 not found or not followed by \"[\"").arg(name)};
        return *entries;
    };
    ExportScript cut;
    cut.makeFolders = section("[ Make Folder ]");
    cut.copyFolders = section("[ Copy Folder ]");
    cut.copyFiles = section("[ Copy File ]");
    return cut;
}

QString scriptWithCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace tavrin
