#include "export/export_command.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "export/output_folders.h"
#include "platform/file_system.h"
#include "platform/paths.h"

#include <QDir>

namespace tavrin {

std::optional<ExportRequest> prepareExport(Context& context, ExportCommand& command) {
    const QString app = DoSlash(context.programFolder());
    const QString defaultTarget = app + QStringLiteral("Export");
    // The bare word and the program folder's own Export folder (a new project's box holds
    // it whole) are made on first use; any other target must exist.
    if ((command.exportBox == QLatin1String("Export") ||
         QDir::cleanPath(fromStoredPath(command.exportBox)) == QDir::cleanPath(defaultTarget)) &&
        !folderExists(defaultTarget))
        makeFolder(defaultTarget);
    if (!isAbsolutePath(command.exportBox))
        command.exportBox = app + command.exportBox;
    if (!isAbsolutePath(command.projectPath))
        command.projectPath = app + command.projectPath;
    const QString target = fromStoredPath(command.exportBox);
    if (!folderExists(target)) {
        bepayam(context, kNoticeNoExportTarget);
        return std::nullopt;
    }
    if (!folderExists(command.projectPath)) {
        bepayam(context, kNoticeNoProjectFolder);
        return std::nullopt;
    }
    // A project never opened for data entry still gets its settings and media onto the CD;
    // settings that cannot be written stop the export, which would carry the old ones.
    MakeDirs(context, command.projectPath, command.bookTxtDir, command.xmlDir);
    if (!SaveThings(context, command.settings, command.projectPath, command.bookTxtDir) ||
        !confirmExportWithoutLessons(context, command.projectPath))
        return std::nullopt;
    ExportRequest request;
    request.target = target;
    request.projectPath = command.projectPath;
    request.printable = command.printable;
    return request;
}

} // namespace tavrin
