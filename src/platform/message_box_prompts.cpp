#include "platform/message_box_prompts.h"

#include "platform/busy_cursor.h"
#include "platform/persian_ui.h"
#include "platform/ui_metrics.h"

#include <QApplication>
#include <QMessageBox>

namespace tavrin {
namespace {

// The window the author is in: a modal one first, then the active window.
QWidget* ownerFor(QWidget* fallback) {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return fallback;
}

QMessageBox::StandardButton run(QWidget* owner, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton start = QMessageBox::NoButton) {
    preparePersianUi();
    const ArrowCursor arrow;
    QMessageBox box(QMessageBox::NoIcon, caption, text, buttons, ownerFor(owner));
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setLayoutDirection(Qt::RightToLeft);
    box.setFont(persianFont(9));
    box.setTextFormat(Qt::PlainText);
    if (start != QMessageBox::NoButton)
        box.setDefaultButton(start);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void MessageBoxPrompts::notice(const QString& caption, const QString& text) {
    run(owner_, caption, text, QMessageBox::Ok);
}

bool MessageBoxPrompts::askYesNo(const QString& caption, const QString& text, Default start) {
    return run(owner_, caption, text, QMessageBox::Yes | QMessageBox::No,
               start == Default::No ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

Answer MessageBoxPrompts::askYesNoCancel(const QString& caption, const QString& text) {
    switch (run(owner_, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace tavrin
