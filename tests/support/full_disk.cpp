#include "support/full_disk.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

// The limit, with the signal a write past it sends ignored: the write fails instead.
void limitFiles(qint64 limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = rlim_t(limit);
    setrlimit(RLIMIT_FSIZE, &r);
}

} // namespace

int underFileSizeLimit(qint64 limit, const std::function<int()>& step) {
    const pid_t pid = fork();
    if (pid == 0) {
        limitFiles(limit);
        _exit(step());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

void withFileSizeLimit(qint64 limit, const std::function<void()>& step) {
    rlimit was{};
    getrlimit(RLIMIT_FSIZE, &was);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    limitFiles(limit);
    step();
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, handler);
}

} // namespace tavrin::test
