#include "export/output_folders.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"

#include <QStringList>

namespace tavrin {

void MakeDirs(Context& context, const QString& projectPath, const QString& bookTxtDir,
              const QString& xmlDir) {
    context.log().LogMe(QStringLiteral("Directories making..."));
    try {
        // An empty project path would put the folders in the current folder.
        if (projectPath.isEmpty())
            throw FsError(QStringLiteral("Path not found"));
        const QStringList names{bookTxtDir, xmlDir, folders::kBookImg, folders::kFlashImg};
        for (const QString& name : names) {
            const QString folder = DoSlash(projectPath) + name;
            if (!folderExists(folder))
                makeFolder(folder);
        }
    } catch (const FsError& e) {
        reportFailure(context, kFailMakeDirs, e.description());
    }
}

} // namespace tavrin
