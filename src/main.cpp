#include "app/context.h"
#include "app/instance_lock.h"
#include "app/messages.h"
#include "app/program_folder.h"
#include "commands/analyse_command.h"
#include "commands/disc_commands.h"
#include "commands/paper_command.h"
#include "commands/question_commands.h"
#include "commands/read_sheets_command.h"
#include "commands/score_command.h"
#include "commands/usage.h"
#include "mainwin/main_window.h"
#include "platform/clock.h"
#include "platform/console_prompts.h"
#include "platform/random_source.h"
#include "platform/web_module.h"
#include "widgets/message_box_prompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace {

// Without a display Qt would abort with a terse message; say plainly what is missing.
bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
#else
    return true;
#endif
}

bool helpAsked(int argc, char* argv[], int from) {
    for (int i = from; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "--help" || a == "-h" || a == "-?")
            return true;
        if (a == "--")
            break;
    }
    return false;
}

// Usage and version need no display, no application and no lock; an unknown verb is an
// error, never the window.
std::optional<int> answeredAtOnce(int argc, char* argv[]) {
    if (argc < 2)
        return std::nullopt;
    const std::string_view first(argv[1]);
    const auto say = [](std::FILE* to, const QString& text, int code) {
        std::fputs(text.toUtf8().constData(), to);
        return code;
    };
    if (first == "--help" || first == "-h" || first == "help")
        return say(stdout, tavrin::programUsage(), 0);
    if (first == "--version" || first == "-v")
        return say(stdout, tavrin::programVersion(), 0);
    const QString verb = QString::fromLocal8Bit(argv[1]);
    if (tavrin::verbNames().contains(verb))
        return helpAsked(argc, argv, 2)
                   ? std::optional<int>(say(stdout, tavrin::verbUsage(verb), 0))
                   : std::nullopt;
    // Qt's own options for the window (-platform, -style, …) start with a dash.
    if (first.starts_with("-"))
        return std::nullopt;
    return say(stderr,
               QStringLiteral("tavrin: no verb \"%1\"\n\n").arg(verb) + tavrin::programUsage(), 2);
}

// The window's first painting told on standard output with the memory in use, and the
// program ended: the start-up benchmark times the whole start of the process by it.
class ShownReport : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose || event->type() == QEvent::Paint) {
            if (!told_) {
                told_ = true;
                // Told once the whole window, its children too, has been painted.
                QMetaObject::invokeMethod(
                    qApp,
                    [] {
                        std::printf("shown %s\n", residentKib().constData());
                        std::fflush(stdout);
                        QCoreApplication::quit();
                    },
                    Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static QByteArray residentKib() {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    return line.mid(6).simplified().split(' ').value(0);
        return "0";
    }
    bool told_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    // A file that may grow no more (a size limit) is a failed write the tool reports and
    // recovers from, like a full disk, not a reason to end the program and lose the work.
    std::signal(SIGXFSZ, SIG_IGN);
    if (const auto answered = answeredAtOnce(argc, argv))
        return *answered;
    // Verbs of the command line need no display and take no lock.
    if (argc >= 2 &&
        (std::string_view(argv[1]) == "check" || std::string_view(argv[1]) == "image")) {
        QCoreApplication app(argc, argv);
        const QStringList arguments = QCoreApplication::arguments().mid(2);
        return std::string_view(argv[1]) == "check"
                   ? tavrin::checkCommand(arguments, stdout, stderr)
                   : tavrin::imageCommand(arguments, stdout, stderr);
    }
    if (argc >= 2 &&
        (std::string_view(argv[1]) == "export-questions" ||
         std::string_view(argv[1]) == "import-questions" || std::string_view(argv[1]) == "score" ||
         std::string_view(argv[1]) == "print-exam" || std::string_view(argv[1]) == "analyse" ||
         std::string_view(argv[1]) == "read-sheets")) {
        // Rich text and pictures need Qt's GUI types, never a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Paper exams are printed by the browser engine, as the window does it.
        const bool printing =
            std::string_view(argv[1]) == "print-exam" || std::string_view(argv[1]) == "analyse";
        if (printing) {
            if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
                qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        }
        // A root shell without a session has no runtime folder; the verbs need none, so
        // Qt's remark about it is noise among their own messages.
        static const QtMessageHandler qtDefault = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& where, const QString& message) {
                // The browser engine's report on its graphics, where none is needed.
                const bool engine =
                    where.category && std::string_view(where.category).starts_with("qt.webengine");
                if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")) &&
                    !message.startsWith(QLatin1String("WebEngineContext used before")) &&
                    !message.startsWith(QLatin1String("No suitable graphics backend")) &&
                    !message.startsWith(QLatin1String("Qt WebEngine seems to be initialized")) &&
                    !engine)
                    qtDefault(type, where, message);
            });
        const int code = [&] {
            QGuiApplication app(argc, argv);
            const QString programFolder =
                tavrin::programFolderFor(QCoreApplication::applicationDirPath());
            tavrin::SystemClock clock;
            tavrin::ConsolePrompts prompts(stderr);
            tavrin::SystemRandom random;
            tavrin::Context context(QDir::toNativeSeparators(programFolder),
                                    tavrin::defaultSecondLogPath(), clock, prompts, random);
            const QStringList arguments = QCoreApplication::arguments().mid(2);
            if (std::string_view(argv[1]) == "score")
                return tavrin::scoreCommand(context, arguments, stdout, stderr);
            if (std::string_view(argv[1]) == "read-sheets")
                return tavrin::readSheetsCommand(context, arguments, stdout, stderr);
            if (std::string_view(argv[1]) == "analyse")
                return tavrin::analyseCommand(context, arguments, stdout, stderr);
            if (printing)
                return tavrin::printExamCommand(context, arguments, stdout, stderr);
            return std::string_view(argv[1]) == "export-questions"
                       ? tavrin::exportQuestionsCommand(context, arguments, stdout, stderr)
                       : tavrin::importQuestionsCommand(context, arguments, stdout, stderr);
        }();
        // The browser engine's helpers end with the application: none is left defunct.
        if (printing)
            tavrin::reapWebHelpers();
        return code;
    }
    if (!displayAvailable()) {
        std::fprintf(stderr, "Tavrin needs a graphical display, and none was found "
                             "(DISPLAY is not set).\nStart it from a desktop session, or under "
                             "a virtual display such as xvfb-run.\n");
        return 2;
    }
    // The preview's browser engine will not start its sandbox for root (a test machine, a
    // live disc); it shows only the program's own pages.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser engine is loaded when first used and shares the windows' OpenGL contexts
    // then; its remark that it was loaded late says nothing to a user.
    static const QtMessageHandler windowDefault = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& where, const QString& m) {
        if (!m.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin")))
            windowDefault(type, where, m);
    });
    QApplication app(argc, argv);
    const QString programFolder = tavrin::programFolderFor(QCoreApplication::applicationDirPath());
    // Relative paths in settings resolve against the program folder.
    QDir::setCurrent(programFolder);

    tavrin::SystemClock clock;
    tavrin::MessageBoxPrompts prompts;
    tavrin::SystemRandom random;
    tavrin::Context context(QDir::toNativeSeparators(programFolder), tavrin::defaultSecondLogPath(),
                            clock, prompts, random);
    tavrin::InstanceLock lock(programFolder);
    if (!lock.acquire()) {
        tavrin::bepayam(context, tavrin::kNoticeSecondInstance);
        return 1;
    }
    tavrin::MainWindow window(context);
    prompts.setOwner(&window);
    // For the start-up benchmark: say when the window is first on screen, then end.
    ShownReport shown;
    if (qEnvironmentVariableIsSet("TAVRIN_QUIT_WHEN_SHOWN"))
        window.installEventFilter(&shown);
    window.show();
    return app.exec();
}
