#include "platform/message_box_prompts.h"

#include "platform/persian_ui.h"
#include "platform/ui_metrics.h"

#include <QMessageBox>

namespace tavrin {
namespace {

QMessageBox::StandardButton run(QWidget* owner, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    preparePersianUi();
    QMessageBox box(QMessageBox::NoIcon, caption, text, buttons, owner);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setFont(persianFont(9));
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void MessageBoxPrompts::notice(const QString& caption, const QString& text) {
    run(owner_, caption, text, QMessageBox::Ok);
}

bool MessageBoxPrompts::askYesNo(const QString& caption, const QString& text) {
    return run(owner_, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace tavrin
