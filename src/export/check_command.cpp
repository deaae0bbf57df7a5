#include "export/check_command.h"

#include "export/disc_check.h"
#include "platform/fs_error.h"

namespace tavrin {

int checkCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() != 1) {
        std::fputs("usage: tavrin check EXPORT_FOLDER\n", err);
        return 2;
    }
    try {
        const DiscCheck check = checkExport(arguments.first());
        for (const QString& line : check.lines())
            std::fprintf(out, "%s\n", line.toUtf8().constData());
        return check.hasErrors() ? 1 : 0;
    } catch (const FsError& e) {
        std::fprintf(err, "tavrin check: %s\n", e.description().toUtf8().constData());
        return 2;
    }
}

} // namespace tavrin
