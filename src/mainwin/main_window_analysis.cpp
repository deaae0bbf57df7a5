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

bool MainWindow::replacesEarlier(const QString& folder, const QString& earlier) {
    if (context_.prompts().askYesNo(kMainCaption,
                                    QStringLiteral(u"در پوشهٔ\r\n") + pathInLine(folder) +
                                        QStringLiteral(u"\r\n") + earlier +
                                        QStringLiteral(u" هست.\r\n\r\nآیا جایگزین شود؟\u200F"),
                                    Default::No))
        return true;
    context_.log().LogMe(QStringLiteral("Aborted by user!"));
    return false;
}

void MainWindow::examFailed(int failure, int notice, const QString& why, const QString& persian) {
    reportFailure(context_, failure, why);
    bepayamWithLine(context_, notice, persian.isEmpty() ? persianCause(why) : persian);
}

bool MainWindow::examStep(int failure, int notice, const std::function<void()>& step) {
    QString why, persian;
    try {
        step();
        return true;
    } catch (const BadSheet& bad) {
        why = answersWhy(bad);
        persian = answersWhyPersian(bad);
    } catch (const UnreadableQuiz& e) {
        why = QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name());
    } catch (const FsError& e) {
        why = e.description();
    }
    examFailed(failure, notice, why, persian);
    return false;
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
                !replacesEarlier(r.out, QStringLiteral(u"تحلیل دیگری")))
                return std::nullopt;
            std::optional<AnalysedExam> done;
            examStep(kFailAnalysis, kNoticeAnalysisNotWritten, [&] {
                const BusyCursor busy;
                done = analyseExam(context_, project, r.exam, r.answers, r.out);
            });
            return done;
        },
        this);
    dialog.exec();
}

} // namespace tavrin
