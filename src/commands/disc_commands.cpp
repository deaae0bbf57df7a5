#include "commands/disc_commands.h"

#include "app/messages.h"
#include "commands/command_output.h"
#include "export/disc_check.h"
#include "export/disc_image.h"
#include "export/quiz_data.h"
#include "platform/fs_error.h"
#include "platform/persian_text.h"

#include <QFileInfo>

namespace tavrin {

int checkCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() != 1) {
        std::fputs("usage: tavrin check EXPORT_FOLDER\n", err);
        return 2;
    }
    try {
        const DiscCheck check = checkExport(arguments.first());
        // Persian letters as the windows show them; the figures stay as scripts read them.
        for (const QString& line : check.lines())
            std::fprintf(out, "%s\n", persianShown(line, Digits::Untouched).toUtf8().constData());
        return check.hasErrors() ? 1 : 0;
    } catch (const FsError& e) {
        printFailure(err, "check", e.description());
        return 2;
    }
}

int imageCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() != 2) {
        std::fputs("usage: tavrin image EXPORT_FOLDER OUT.iso\n", err);
        return 2;
    }
    const int checked = checkCommand({arguments[0]}, out, err);
    if (checked != 0)
        return checked;
    // The label the window gives: the project's title the export carries.
    const QString title = exportTitle(arguments[0]);
    const ImageResult image =
        makeDiscImage(arguments[0], arguments[1],
                      volumeLabel(title.isEmpty() ? QFileInfo(arguments[0]).fileName() : title));
    for (const QString& left : image.leftoversRemoved)
        std::fprintf(err, "tavrin image: a killed image's working file removed: %s\n",
                     left.toUtf8().constData());
    if (image.outcome != ImageOutcome::Made) {
        printFailure(err, "image", image.description);
        return 2;
    }
    if (!image.readBackMatched) {
        std::fprintf(err, "tavrin image: read back: %s\n", image.description.toUtf8().constData());
        return 1;
    }
    std::fprintf(out, "%s: %d files, read back the same (SHA-256)\n",
                 arguments[1].toUtf8().constData(), image.files);
    return 0;
}

} // namespace tavrin
