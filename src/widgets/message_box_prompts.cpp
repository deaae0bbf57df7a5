#include "widgets/message_box_prompts.h"

#include "app/identity.h"
#include "platform/ui_metrics.h"
#include "widgets/busy_cursor.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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

// The program's own caption in Persian; a box without one would show a stray mark.
QString shownCaption(const QString& caption) {
    return shownInWindows(caption.isEmpty() || caption == kMainCaption ? kShownCaption : caption);
}

QMessageBox::StandardButton run(QWidget* owner, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton start = QMessageBox::NoButton) {
    preparePersianUi();
    const ArrowCursor arrow;
    QMessageBox box(QMessageBox::NoIcon, shownCaption(caption), shownInWindows(text), buttons,
                    ownerFor(owner));
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

Answer MessageBoxPrompts::askYesNoCancel(const QString& caption, const QString& text,
                                         Answer start) {
    switch (run(owner_, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                start == Answer::Yes  ? QMessageBox::Yes
                : start == Answer::No ? QMessageBox::No
                                      : QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void MessageBoxPrompts::showList(const QString& caption, const QString& heading,
                                 const QList<Line>& lines, const QString& closing) {
    preparePersianUi();
    const ArrowCursor arrow;
    QDialog box(ownerFor(owner_));
    box.setObjectName(QStringLiteral("ListBox"));
    box.setWindowTitle(shownCaption(caption));
    box.setLayoutDirection(Qt::RightToLeft);
    box.resize(640, 360);
    auto* title = new QLabel(heading, &box);
    title->setFont(persianFont(10, true));
    auto* list = new QListWidget(&box);
    list->setObjectName(QStringLiteral("Findings"));
    list->setFont(persianFont(10));
    list->setWordWrap(true);
    QStringList texts;
    for (const Line& l : lines) {
        const QStyle::StandardPixmap icon = l.mark == Mark::Error ? QStyle::SP_MessageBoxCritical
                                            : l.mark == Mark::Warning
                                                ? QStyle::SP_MessageBoxWarning
                                                : QStyle::SP_MessageBoxInformation;
        auto* item = new QListWidgetItem(box.style()->standardIcon(icon), l.text + QChar(0x200F));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        list->addItem(item);
        texts.append(l.text);
    }
    auto* copy = new QPushButton(QStringLiteral(u"رونوشت"), &box);
    copy->setObjectName(QStringLiteral("Copy"));
    QObject::connect(copy, &QPushButton::clicked, &box, [texts] {
        QApplication::clipboard()->setText(texts.join(QStringLiteral("\r\n")));
    });
    auto* close = new QPushButton(QStringLiteral(u"بستن"), &box);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, &box, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(title);
    layout->addWidget(list);
    if (!closing.isEmpty()) {
        auto* last = new QLabel(closing, &box);
        last->setObjectName(QStringLiteral("Closing"));
        last->setFont(persianFont(10, true));
        last->setWordWrap(true);
        layout->addWidget(last);
    }
    layout->addLayout(buttons);
    box.exec();
}

} // namespace tavrin
