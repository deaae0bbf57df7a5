// The browser engine's module: printing pages to PDF and the windows' views. Loaded by the
// program on first use; it links Qt WebEngine and none of the tool's code.
#include "paper/page_printer.h"
#include "widgets/web_view.h"

#include <QDir>
#include <QEventLoop>
#include <QOpenGLContext>
#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <list>
#include <memory>

// Qt's own (QtGui), declared in its private header: the contexts every other one shares.
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace tavrin {

namespace {

constexpr int kAtOnce = 4;
constexpr int kPollMs = 40;

// A page reads files of its allowed folders and nothing else: no other file, no network.
class Confined : public QWebEngineUrlRequestInterceptor {
public:
    explicit Confined(const QStringList& folders) {
        for (const QString& f : folders)
            folders_.append(QDir::cleanPath(QDir(f).absolutePath()) + u'/');
    }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.scheme() == QLatin1String("data"))
            return;
        if (url.isLocalFile()) {
            const QString path = QDir::cleanPath(url.toLocalFile());
            for (const QString& f : folders_)
                if (path.startsWith(f))
                    return;
        }
        info.block(true);
    }

private:
    QStringList folders_;
};

// One page: load, wait for the layout, print.
class PrintRun {
public:
    // A page not printed within mostSeconds is stopped from here, whatever its scripts are
    // doing (a page busy laying out answers no question, so it cannot be asked to stop).
    PrintRun(QWebEngineProfile* profile, const QString& html, int mostSeconds,
             std::function<void(const QByteArray&, const QByteArray&, const QString&)> done)
        : page_(std::make_unique<QWebEnginePage>(profile)), done_(std::move(done)) {
        deadline_.setSingleShot(true);
        QObject::connect(&deadline_, &QTimer::timeout, page_.get(), [this, mostSeconds] {
            finish({},
                   QStringLiteral("The page was not printed within %1 seconds").arg(mostSeconds));
        });
        deadline_.start(mostSeconds * 1000);
        QObject::connect(page_.get(), &QWebEnginePage::renderProcessTerminated, page_.get(),
                         [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                             finish({}, status == QWebEnginePage::CrashedTerminationStatus ||
                                                status == QWebEnginePage::KilledTerminationStatus
                                            ? QStringLiteral("The page's renderer ended (out "
                                                             "of memory, or killed)")
                                            : QStringLiteral("The page's renderer ended"));
                         });
        QObject::connect(page_.get(), &QWebEnginePage::loadFinished, page_.get(), [this](bool ok) {
            if (!ok)
                return finish({}, QStringLiteral("The page did not load"));
            poll();
        });
        page_->load(QUrl::fromLocalFile(html));
    }
    // A page stopped by the deadline may still owe an answer, which the engine gives (empty)
    // as the page goes: it must find this run gone, not call into it.
    ~PrintRun() {
        alive_.reset();
        page_.reset();
    }

private:
    void poll() {
        page_->runJavaScript(
            QStringLiteral("window.paperFailed ? 'failed: ' + window.paperFailed : "
                           "(window.paperDone ? 'done' + (window.paperLayout || '') : '')"),
            [this, alive = std::weak_ptr<int>(alive_)](const QVariant& answer) {
                if (alive.expired())
                    return;
                const QString said = answer.toString();
                if (said.startsWith(QLatin1String("done"))) {
                    layout_ = said.mid(4).toUtf8();
                    return print();
                }
                if (!said.isEmpty())
                    return finish({}, QStringLiteral("The page was not laid out (%1)").arg(said));
                if (!done_)
                    return;
                QTimer::singleShot(kPollMs, page_.get(), [this] { poll(); });
            });
    }
    void print() {
        page_->printToPdf(
            [this, alive = std::weak_ptr<int>(alive_)](const QByteArray& pdf) {
                if (alive.expired())
                    return;
                finish(pdf, pdf.isEmpty() ? QStringLiteral("The page did not print") : QString());
            },
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    }
    void finish(const QByteArray& pdf, const QString& failure) {
        deadline_.stop();
        // Told once; the caller drops this run after the event loop turns.
        if (auto done = std::exchange(done_, nullptr))
            done(pdf, failure.isEmpty() ? layout_ : QByteArray(), failure);
    }

    std::unique_ptr<QWebEnginePage> page_;
    std::function<void(const QByteArray&, const QByteArray&, const QString&)> done_;
    QByteArray layout_;
    QTimer deadline_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

class Printer : public PagePrinter {
public:
    void print(const QStringList& pages, const QStringList& readable, int mostSeconds,
               const std::function<bool(int, const QByteArray&, const QByteArray&, const QString&)>&
                   done) override {
        if (pages.isEmpty())
            return;
        {
            // Off the record: nothing of these pages is kept in the user's profile.
            QWebEngineProfile profile;
            Confined confined(readable);
            profile.setUrlRequestInterceptor(&confined);
            profile.settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
            profile.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                                             false);
            // The pages are files that load their scripts, fonts and pictures as files, which
            // the engine allows only with file access on; what they may read is bounded by
            // the interceptor above, which refuses every file outside their folders (a
            // script's fetch of any other file included).
            QEventLoop loop;
            bool stop = false;
            std::list<std::unique_ptr<PrintRun>> running;
            qsizetype next = 0;
            std::function<void()> startMore = [&] {
                while (!stop && next < pages.size() && qsizetype(running.size()) < kAtOnce) {
                    const int index = int(next++);
                    running.push_back(nullptr);
                    const auto at = std::prev(running.end());
                    *at = std::make_unique<PrintRun>(
                        &profile, pages[index], mostSeconds,
                        [&, at, index](const QByteArray& pdf, const QByteArray& layout,
                                       const QString& failure) {
                            if (!done(index, pdf, layout, failure))
                                stop = true;
                            // Dropped once its own callback has returned.
                            QTimer::singleShot(0, &loop, [&, at] {
                                running.erase(at);
                                if ((stop || next >= pages.size()) && running.empty())
                                    loop.quit();
                                else
                                    startMore();
                            });
                        });
                }
            };
            startMore();
            loop.exec();
        }
    }
};

class Views : public WebViews {
public:
    QWidget* make(QWidget* parent, const QUrl& url,
                  const std::function<void(bool)>& loaded) override {
        auto* view = new QWebEngineView(parent);
        QObject::connect(view, &QWebEngineView::loadFinished, view, loaded);
        view->load(url);
        return view;
    }
    void run(QWidget* view, const QString& script,
             const std::function<void(const QVariant&)>& answer) override {
        if (auto* web = qobject_cast<QWebEngineView*>(view))
            web->page()->runJavaScript(script, answer);
    }
};

// The engine draws through OpenGL contexts shared with the application's, a share the
// application makes at its start only when asked before it starts. The program asks nothing
// of the engine at its start, so the share is made here, the first time the engine is used,
// as the application would have made it.
void shareContexts() {
    if (qt_gl_global_share_context())
        return;
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

} // namespace

} // namespace tavrin

extern "C" Q_DECL_EXPORT void* tavrin_page_printer() {
    tavrin::shareContexts();
    static tavrin::Printer printer;
    return static_cast<tavrin::PagePrinter*>(&printer);
}

extern "C" Q_DECL_EXPORT void* tavrin_web_views() {
    tavrin::shareContexts();
    static tavrin::Views views;
    return static_cast<tavrin::WebViews*>(&views);
}
