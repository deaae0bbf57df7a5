// The start-up benchmark's peers: a bare Qt window, or with --persian one that shows a line
// of Persian in the tool's font (the fonts' loading and shaping every Persian window pays);
// told on standard output when first painted, with the memory in use, as the tool's window
// tells it; then it ends.
#include "platform/ui_metrics.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QWidget>
#include <cstdio>

namespace {

class Bare : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (told_)
            return;
        told_ = true;
        // Told once the whole window, its children too, has been painted.
        QMetaObject::invokeMethod(
            qApp,
            [] {
                QByteArray rss = "0";
                QFile status(QStringLiteral("/proc/self/status"));
                if (status.open(QIODevice::ReadOnly))
                    for (const QByteArray& line : status.readAll().split('\n'))
                        if (line.startsWith("VmRSS:"))
                            rss = line.mid(6).simplified().split(' ').value(0);
                std::printf("shown %s\n", rss.constData());
                std::fflush(stdout);
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    }

private:
    bool told_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Bare window;
    window.resize(800, 600);
    if (app.arguments().contains(QStringLiteral("--persian"))) {
        auto* line = new QLabel(
            QStringLiteral(u"پروژه‌ها، رشته‌ها و درس‌ها"), &window);
        line->setFont(tavrin::persianFont(9, true));
        line->setLayoutDirection(Qt::RightToLeft);
        line->setGeometry(20, 20, 400, 30);
    }
    window.show();
    return app.exec();
}
