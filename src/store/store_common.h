#pragma once

#include "app/messages.h"
#include "platform/fs_error.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tavrin {

class Context;
class StoreView;
enum class StoreList;

// Helpers the catalogue, field and lesson procedures share.
namespace store {

// A failed step inside a store procedure; its trap logs the procedure's own code.
struct Failure {
    QString description;
};

// Runs a procedure's body under its trap: a failure is logged with the procedure's code.
template <typename Body> void trapped(Context& context, int code, Body body) {
    try {
        body();
    } catch (const Failure& f) {
        reportFailure(context, code, f.description);
    } catch (const FsError& e) {
        reportFailure(context, code, e.description());
    }
}

// A UTF-16 data file's text, or an empty text when there is no such file.
QString readIfThere(const QString& path);
// The project file of a project folder.
QString projectFilePath(const QString& projectPath);

// The count of a block (its first Count element); throws Failure when it is no number or
// larger than the document could hold.
int readCount(Context& context, const QString& block, qsizetype documentSize);
// Names of prefix1 ... prefixN in the block (a missing element gives an empty entry),
// then the list's two trailing empty entries.
QStringList listNames(Context& context, const QString& block, const QString& prefix, int count);
// A title holding a double quote, "<" or ">" would be cut short when read back: notice 30.
bool refuseTitle(Context& context, const QString& title);
// The Yes/No question before a delete; No is logged.
bool confirmDelete(Context& context, const QString& question, const QString& name);
// How every delete inside a project file starts: the file must be there and the selected
// entry named, and the user says Yes. The file's text, or nothing when the delete stops.
struct ProjectDocument {
    QString file;
    QString text;
};
std::optional<ProjectDocument> documentToDeleteFrom(Context& context, const StoreView& view,
                                                    StoreList list, const QString& question);
// Removes the lines a field or lesson delete leaves holding only tabs.
QString removeEmptiedLines(QString text);
// Throws Failure when a delete found nothing to remove.
void requireChanged(const QString& before, const QString& after, const QString& what);

} // namespace store
} // namespace tavrin
