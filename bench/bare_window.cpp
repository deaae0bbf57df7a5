// The start-up benchmark's peer: a bare Qt window, told on standard output when it is first
// painted with the memory in use, as the tool's window tells it; then it ends.
#include <QApplication>
#include <QFile>
#include <QWidget>
#include <cstdio>

namespace {

class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (told_)
            return;
        told_ = true;
        QByteArray rss = "0";
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    rss = line.mid(6).simplified().split(' ').value(0);
        std::printf("shown %s\n", rss.constData());
        std::fflush(stdout);
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }

private:
    bool told_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Bare window;
    window.resize(800, 600);
    window.show();
    return app.exec();
}
