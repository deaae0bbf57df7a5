#include "support/full_disk.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

void limitFileSize(qint64 limit) {
    std::signal(SIGXFSZ, limit < 0 ? SIG_DFL : SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = limit < 0 ? r.rlim_max : rlim_t(limit);
    setrlimit(RLIMIT_FSIZE, &r);
}

int underFileSizeLimit(qint64 limit, const std::function<int()>& step) {
    const pid_t pid = fork();
    if (pid == 0) {
        limitFileSize(limit);
        _exit(step());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

} // namespace tavrin::test
