#include "dialogs/help_window.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"

#include <QVBoxLayout>

namespace tavrin {

HelpWindow::HelpWindow(Context& context, QWidget* parent)
    : QDialog(parent), context_(context), box1_(new RichTextBox(this)) {
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral(u"راهنما"));
    preparePersianUi();
    setLayoutDirection(Qt::RightToLeft);
    resize(640, 520);
    box1_->setObjectName(QStringLiteral("Box1"));
    box1_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box1_);
    load();
}

QString HelpWindow::documentPath(const QString& programFolder) {
    const QChar sep = nativeSeparator();
    return DoSlashStrict(programFolder) + QStringLiteral("Resources") + sep +
           QStringLiteral("Help.rtf");
}

void HelpWindow::load() {
    try {
        const QString path = documentPath(context_.programFolder());
        if (fileExists(path)) {
            box1_->loadFile(path);
            showDocumentInPersian(box1_->document());
        }
        box1_->moveCursor(QTextCursor::Start);
    } catch (const std::exception& e) {
        reportFailure(context_, kFailHelpViewer, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFailure(context_, kFailHelpViewer, QStringLiteral("Unexpected error"));
    }
}

} // namespace tavrin
