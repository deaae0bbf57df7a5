#pragma once

// Kills at random moments of a step, in a child process.
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

// Runs the step in a child process, killed at a random moment of a whole run's time; the
// check sees what it left (after the next opening's clean-up), restore puts it back. The
// moments come from a seed, printed, and taken from TAVRIN_KILL_SEED when it is set, so a
// failing run's moments can be asked for again.
inline void killAtRandomMoments(const char* what, const std::function<void()>& step,
                                const std::function<void()>& restore,
                                const std::function<void(int)>& check) {
    const auto child = [&] {
        const pid_t pid = fork();
        if (pid == 0) {
            step();
            _exit(0);
        }
        return pid;
    };
    int status = 0;
    QElapsedTimer clock;
    restore();
    clock.start();
    waitpid(child(), &status, 0);
    const qint64 whole = std::max<qint64>(clock.nsecsElapsed() / 1000, 500);
    const int kills = qEnvironmentVariableIntValue("TAVRIN_KILLS") > 0
                          ? qEnvironmentVariableIntValue("TAVRIN_KILLS")
                          : 24;
    const quint32 seed = qEnvironmentVariableIsSet("TAVRIN_KILL_SEED")
                             ? quint32(qEnvironmentVariableIntValue("TAVRIN_KILL_SEED"))
                             : QRandomGenerator::system()->generate() & 0x7fffffff;
    QRandomGenerator moments(seed);
    int cut = 0;
    for (int i = 0; i < kills; ++i) {
        restore();
        const pid_t pid = child();
        usleep(useconds_t(moments.bounded(whole)));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        cut += WIFSIGNALED(status) ? 1 : 0;
        check(i);
        if (QTest::currentTestFailed()) {
            qWarning("%s: failed at kill %d; TAVRIN_KILL_SEED=%u asks for these moments again",
                     what, i, seed);
            return;
        }
    }
    qInfo("%s: %d kills (seed %u), %d of them before the step ended (a whole run %lld us)", what,
          kills, seed, cut, whole);
}

} // namespace tavrin::test
