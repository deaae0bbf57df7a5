#include "app/activity_log.h"
#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "exam/paper_draw.h"
#include "exam/sheet_scoring.h"
#include "mainwin/analysis_dialog.h"
#include "mainwin/main_window.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "store/quiz_file.h"
#include "widgets/busy_cursor.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace tavrin {

std::optional<MainWindow::ProjectOutput> MainWindow::projectOutput() {
    const Session& chosen = session();
    if (chosen.projectPath.isEmpty()) {
        bepayam(context_, kNoticeChooseAProject);
        return std::nullopt;
    }
    const QString project = chosen.projectPath;
    // A relative output folder is the program folder's, as the export takes it.
    return ProjectOutput{project, QFileInfo(QDir::cleanPath(project)).fileName(),
                         QDir(QDir(fromStoredPath(context_.programFolder()))
                                  .absoluteFilePath(fromStoredPath(exBox_->text())))};
}

void MainWindow::analysisCommand() {
    context_.log().LogMe(QStringLiteral("Item analysis..."));
    const auto output = projectOutput();
    if (!output)
        return;
    const auto& [project, name, exports] = *output;
    // The paper exam's folder as the paper exam's dialog offers it, when it holds one.
    const QString paper = exports.filePath(QStringLiteral("paper-") + name);
    AnalysisDialog::Request first;
    if (QFileInfo::exists(paper + QStringLiteral("/exam.json")))
        first.exam = paper;
    first.out = exports.filePath(QStringLiteral("analysis-") + name);
    AnalysisDialog dialog(
        first,
        [&](const AnalysisDialog::Request& r) -> std::optional<AnalysedExam> {
            // An earlier analysis in the folder is replaced only when the author says so.
            if (!analysisFilesIn(r.out).isEmpty() &&
                !context_.prompts().askYesNo(
                    kMainCaption,
                    QStringLiteral(u"در پوشهٔ\r\n") + pathInLine(r.out) +
                        QStringLiteral(u"\r\nتحلیل دیگری هست.\r\n\r\nآیا جایگزین شود؟\u200F"),
                    Default::No)) {
                context_.log().LogMe(QStringLiteral("Aborted by user!"));
                return std::nullopt;
            }
            QString why, persian;
            try {
                const BusyCursor busy;
                return analyseExam(context_, project, r.exam, r.answers, r.out);
            } catch (const BadSheet& bad) {
                why = bad.line() > 0 ? QStringLiteral("line %1 of the answers: %2")
                                           .arg(bad.line())
                                           .arg(bad.why())
                                     : bad.why();
                persian = bad.line() > 0 ? QStringLiteral(u"سطر %1 پاسخ‌برگ‌ها: %2")
                                               .arg(bad.line())
                                               .arg(bad.persian())
                                         : bad.persian();
            } catch (const UnreadableQuiz& e) {
                why = QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name());
            } catch (const FsError& e) {
                why = e.description();
            }
            reportFailure(context_, kFailAnalysis, why);
            bepayamWithLine(context_, kNoticeAnalysisNotWritten,
                            persian.isEmpty() ? persianCause(why) : persian);
            return std::nullopt;
        },
        this);
    dialog.exec();
}

} // namespace tavrin
