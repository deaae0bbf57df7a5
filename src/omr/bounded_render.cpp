#include "omr/bounded_render.h"

#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin {

namespace {

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// The child's resident bytes, from /proc; 0 when it cannot be read.
qint64 residentBytes(pid_t pid) {
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

DrawingEnd ended(pid_t child, DrawingEnd why) {
    if (why != DrawingEnd::Drawn)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (why == DrawingEnd::Drawn && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        return DrawingEnd::Failed;
    return why;
}

} // namespace

DrawingEnd drawApart(const std::function<QImage()>& draw, qint64 bytes, int seconds,
                     QImage& drawn) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return DrawingEnd::Failed;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return DrawingEnd::Failed;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        const QImage image = draw().convertToFormat(QImage::Format_Grayscale8);
        const qint32 size[2] = {image.width(), image.height()};
        bool ok = !image.isNull() &&
                  writeAll(pipeFds[1], reinterpret_cast<const char*>(size), sizeof size);
        for (int y = 0; ok && y < image.height(); ++y)
            ok = writeAll(pipeFds[1], reinterpret_cast<const char*>(image.constScanLine(y)),
                          size_t(image.width()));
        ::_exit(ok ? 0 : 1); // nothing of the parent's is run down in the child
    }
    ::close(pipeFds[1]);
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    DrawingEnd why = DrawingEnd::Drawn;
    char buffer[1 << 16];
    for (;;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready > 0) {
            const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
            if (n > 0) {
                got.append(buffer, n);
                continue;
            }
            if (n == 0)
                break; // the child is done
            if (errno != EINTR) {
                why = DrawingEnd::Failed;
                break;
            }
        }
        if (clock.elapsed() > qint64(seconds) * 1000) {
            why = DrawingEnd::TooLong;
            break;
        }
        if (residentBytes(child) > bytes) {
            why = DrawingEnd::TooLarge;
            break;
        }
    }
    ::close(pipeFds[0]);
    why = ended(child, why);
    if (why != DrawingEnd::Drawn)
        return why;
    qint32 size[2] = {0, 0};
    if (got.size() < qsizetype(sizeof size))
        return DrawingEnd::Failed;
    std::memcpy(size, got.constData(), sizeof size);
    if (size[0] <= 0 || size[1] <= 0 ||
        got.size() != qsizetype(sizeof size) + qsizetype(size[0]) * size[1])
        return DrawingEnd::Failed;
    drawn = QImage(size[0], size[1], QImage::Format_Grayscale8);
    for (int y = 0; y < size[1]; ++y)
        std::memcpy(drawn.scanLine(y), got.constData() + sizeof size + qsizetype(y) * size[0],
                    size_t(size[0]));
    return DrawingEnd::Drawn;
}

} // namespace tavrin
