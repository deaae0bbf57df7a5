#include "app/identity.h"
#include "app/instance_lock.h"
#include "export/output_folders.h"
#include "mainwin/main_window.h"
#include "support/test_program.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;
using tavrin::test::TestProgram;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    // One running tool per program folder; a holder that died frees it.
    void secondStartOnTheSameFolderIsRefused() {
        TestProgram p;
        {
            InstanceLock first(p.folder());
            QVERIFY(first.acquire());
            InstanceLock second(p.folder());
            QVERIFY(!second.acquire());
        }
        {
            InstanceLock afterExit(p.folder());
            QVERIFY(afterExit.acquire());
        }

        // A holder killed without releasing leaves a lock file that is taken over.
        const pid_t child = fork();
        if (child == 0) {
            InstanceLock dying(p.folder());
            _exit(dying.acquire() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QFile::exists(InstanceLock::lockPath(p.folder())));
        InstanceLock next(p.folder());
        QVERIFY(next.acquire());
    }

    // The window takes the book's settings as it opens. (Its title and the run's start in both
    // logs: tests/data/mainwin/the_window_opens_the_run.steps.)
    void loadSetsTheBooksValues() {
        TestProgram p;
        QCOMPARE(MainWindow(p.context()).bookConfig(), LoadBookConfig());
    }

    // Closing the main window ends the run even while another window is open.
    void closingEndsTheProgram() {
        TestProgram p;
        auto* w = new MainWindow(p.context());
        w->show();
        QWidget other;
        other.show();
        QTimer::singleShot(0, w, [w] { w->close(); });
        // A safety net so a broken close cannot hang the suite.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(p.entries().contains("Moxaly ended."));
        QCOMPARE(p.entries().constLast(), QStringLiteral("Moxaly ended."));
        // A second close event does not log twice.
        w->close();
        QCOMPARE(p.log1().count("Moxaly ended."), 1);
        delete w;
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
