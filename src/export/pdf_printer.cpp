#include "export/pdf_printer.h"

#include "platform/fs_error.h"
#include "platform/safe_save.h"

#include <QEventLoop>
#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <list>
#include <memory>
#include <optional>

namespace tavrin {

namespace {

constexpr int kAtOnce = 4;
constexpr int kPollMs = 40;
constexpr int kMostWaitMs = 120000;

// One job on its own page: load, wait for the layout, print, save.
class PrintRun {
public:
    PrintRun(QWebEngineProfile* profile, const PrintJob& job,
             std::function<void(std::optional<FsError>)> done)
        : page_(std::make_unique<QWebEnginePage>(profile)), job_(job), done_(std::move(done)) {
        QObject::connect(page_.get(), &QWebEnginePage::loadFinished, page_.get(), [this](bool ok) {
            if (!ok)
                return finish(FsError::at(QStringLiteral("The page did not load"), job_.html));
            poll();
        });
        page_->load(QUrl::fromLocalFile(job_.html));
    }

private:
    void poll() {
        page_->runJavaScript(
            QStringLiteral("window.paperFailed ? 'failed: ' + window.paperFailed : "
                           "(window.paperDone ? 'done' : '')"),
            [this](const QVariant& answer) {
                const QString said = answer.toString();
                if (said == QLatin1String("done"))
                    return print();
                if (!said.isEmpty())
                    return finish(FsError::at(
                        QStringLiteral("The page was not laid out (%1)").arg(said), job_.html));
                if ((waited_ += kPollMs) > kMostWaitMs)
                    return finish(FsError::at(QStringLiteral("The page took too long to lay out"),
                                              job_.html));
                QTimer::singleShot(kPollMs, page_.get(), [this] { poll(); });
            });
    }
    void print() {
        page_->printToPdf(
            [this](const QByteArray& pdf) {
                if (pdf.isEmpty())
                    return finish(FsError::at(QStringLiteral("The page did not print"), job_.html));
                try {
                    saveWholeFile(job_.pdf, pdf);
                } catch (const FsError& e) {
                    return finish(e);
                }
                finish(std::nullopt);
            },
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    }
    void finish(std::optional<FsError> error) {
        // Told once; the caller drops this run after the event loop turns.
        if (auto done = std::exchange(done_, nullptr))
            done(std::move(error));
    }

    std::unique_ptr<QWebEnginePage> page_;
    PrintJob job_;
    std::function<void(std::optional<FsError>)> done_;
    int waited_ = 0;
};

} // namespace

void printPages(const QList<PrintJob>& jobs, const std::function<void(int)>& progress) {
    if (jobs.isEmpty())
        return;
    // Off the record: nothing of these pages is kept in the user's profile.
    QWebEngineProfile profile;
    profile.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    profile.settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    QEventLoop loop;
    std::optional<FsError> failed;
    std::list<std::unique_ptr<PrintRun>> running;
    qsizetype next = 0;
    int done = 0;
    std::function<void()> startMore = [&] {
        while (!failed && next < jobs.size() && qsizetype(running.size()) < kAtOnce) {
            const PrintJob& job = jobs[next++];
            running.push_back(nullptr);
            const auto at = std::prev(running.end());
            *at = std::make_unique<PrintRun>(&profile, job, [&, at](std::optional<FsError> error) {
                if (error && !failed)
                    failed = std::move(error);
                ++done;
                if (progress)
                    progress(done);
                // Dropped once its own callback has returned.
                QTimer::singleShot(0, &loop, [&, at] {
                    running.erase(at);
                    if ((failed || next >= jobs.size()) && running.empty())
                        loop.quit();
                    else
                        startMore();
                });
            });
        }
    };
    startMore();
    loop.exec();
    if (failed)
        throw *failed;
}

} // namespace tavrin
