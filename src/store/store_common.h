#pragma once

#include "app/messages.h"
#include "platform/fs_error.h"

#include <QString>
#include <QStringList>
#include <functional>
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

// The count of a block (its first Count element); throws Failure when the block (named
// by what) is missing, its count is no number or larger than the document could hold.
int readCount(Context& context, const QString& block, qsizetype documentSize, const QString& what);
// Names of prefix1 ... prefixN in the block (a missing element gives an empty entry),
// then the list's two trailing empty entries.
QStringList listNames(Context& context, const QString& block, const QString& prefix, int count);
// Characters that would damage the tag text when held in a value: a double quote, "<" or
// ">" cut the value short, "=" can pass for another attribute, and line breaks or tabs
// break the line layout that deletes rely on.
bool damagesTagText(const QString& value);
// Refuses such a title or folder path with notice 30; true when refused.
bool refuseTitle(Context& context, const QString& title);
bool refusePath(Context& context, const QString& path);
// The Yes/No question before a delete; No is logged.
bool confirmDelete(Context& context, const QString& question, const QString& name,
                   const QString& after = {});
// How every delete inside a project file starts: the file must be there and the selected
// entry named, and the user says Yes. The file's text, or nothing when the delete stops.
struct ProjectDocument {
    QString file;
    QString text;
};
// The name at the selected position must still be the one the list shows (another
// instance, or an edit outside the tool, may have changed the file since the list was
// read); nameInFile gives the name the document holds there.
std::optional<ProjectDocument>
documentToDeleteFrom(Context& context, StoreView& view, StoreList list, const QString& question,
                     const std::function<QString(const QString&)>& nameInFile);
// When the name the list shows is not the one the file holds at that position: the
// lists are read again, nothing is deleted and the user is told. True when stale.
bool refuseStaleDelete(Context& context, StoreView& view, StoreList list, const QString& shown,
                       const QString& inFile);
// A field or a lesson delete: which list, the question, where its element stands, and
// what the delete does to the lessons' files.
struct NumberedDelete {
    int code = 0;              // the failure code of the procedure
    StoreList list;            // the list the deleted entry is selected in
    QString question;          // the Yes/No question before the name
    QString parent;            // the block holding the numbered elements
    QString prefix;            // "Resh" or "Dars"
    bool wholeElement = false; // a field closes its element, a lesson does not
    QString logName;           // "reshteh", "dars"
    int fieldIndex = 0;        // the renumbering of the lessons' files
    int lessonIndex = -1;
    std::function<void()> reread; // the list read again after the delete
};
// Deletes element number of the project file, renumbers the later ones, sets the block's
// count, takes the lessons' files along, reads the list again and selects its last entry.
void deleteNumbered(Context& context, StoreView& view, int number, const NumberedDelete& d);

// Removes the lines a field or lesson delete leaves holding only tabs.
QString removeEmptiedLines(QString text);
// Throws Failure when a delete found nothing to remove.
void requireChanged(const QString& before, const QString& after, const QString& what);

} // namespace store
} // namespace tavrin
