#include "mainwin/main_window.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "app/new_title_box.h"
#include "app/run_log.h"
#include "platform/ui_metrics.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

MainWindow::MainWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
    buildWindow();
    load();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainCaption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont());
    auto* title = new QLabel(QStringLiteral(u"Tavrin ـ نگارش 1"), this);
    title->setObjectName(QStringLiteral("Label20"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addStretch();
    resize(twipsToPixels(10000), twipsToPixels(7000));
    titleBox_ = new NewTitleBox([this] { tupd(); }, this);
}

void MainWindow::load() {
    // Our file functions need no object to be created first; the log opens the run.
    logRunStart(context_);
    bookConfig_ = LoadBookConfig();
    try {
        BookTxtDir = QStringLiteral("BookTXT");
        XmlDir = QStringLiteral("_xml");
        NormalGrey = 135;
        HoverGrey = 100;
        FadeStartGrey = 235;
    } catch (const std::exception& e) {
        reportFailure(context_, 39, QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::tupd() {}

void MainWindow::askTitle(const QString& mode) {
    TitleMode = mode;
    titleBox_->exec();
    titleBox_->clearTitle();
}

void MainWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    logRunEnd(context_);
    // Every other window goes with the main one; nothing is saved here.
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

} // namespace tavrin
