#pragma once

#include "export/disc_check.h"

#include <QString>
#include <functional>

namespace tavrin {

class Context;

// Told as the export copies: the file being copied, bytes and files done of the totals.
// Answers false to cancel; the export then stops before the next piece.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual bool advance(const QString& file, qint64 bytesDone, qint64 bytesTotal, int filesDone,
                         int filesTotal) = 0;
    // Everything is copied and is being written out to the disk; told again and again
    // until that is done.
    virtual void flushing() {}
    // The copying is over, before any message: a dialog closes here.
    virtual void finished() {}
};

struct ExportRequest {
    QString target;          // the ExBox folder the numbered export folder goes into
    QString projectPath;     // absolute
    bool printable = false;  // Pcheck plainly checked; the grey state makes no pages
    bool flushToDisk = true; // off only where nothing needs to survive a power cut
    std::function<void(const QString&)> runFile; // starts the exported player
};

enum class ExportOutcome { Exported, NoScript, Failed, Cancelled };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Failed;
    QString folder; // the "Export N" folder made, empty when none was
};

// Makes a new "Export N" folder by the script Resources/Export.inf: its folders, the
// project's folders, the player's files, printable pages and Data/quizdata.js; then checks
// it for a disc (the findings logged, and shown as a list when there is an error or a
// warning); then message 29, or 111 when the check found errors, and the player (main.exe,
// or else the page index.html).
// Message 27 when there is no script, 28 at the first failing step (what was made stays).
ExportResult ExportAll(Context& context, const ExportRequest& request,
                       ExportProgress* progress = nullptr);

// The export made last in a target folder: its "Export N" with the highest N; empty when
// there is none.
QString lastExportFolder(const QString& target);

// A project of which no lesson has a quiz file makes a CD without lessons: the author is
// asked first (No is logged). True when the export goes on.
bool confirmExportWithoutLessons(Context& context, const QString& projectPath);

// Before a disc image of an export: the check runs again, and an export with errors is made
// into an image only when the author says so (the question names the errors and starts on
// No). True when the image goes on.
bool confirmImageDespiteCheck(Context& context, const QString& exportFolder);

// A printable page from a lesson page and the template: the title from pgTitle, the
// body after "</pgTitle>" with pgMain made a right-aligned paragraph.
QString printablePage(Context& context, const QString& page, const QString& templateText);

} // namespace tavrin
