#include "dialogs/findings_window.h"

#include "export/disc_check.h"
#include "platform/ui_metrics.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tavrin {

FindingsWindow::FindingsWindow(const DiscCheck& check, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("FindingsWindow"));
    setWindowTitle(QStringLiteral(u"بررسي لوح"));
    setLayoutDirection(Qt::RightToLeft);
    resize(640, 360);
    auto* heading =
        new QLabel(check.hasErrors() ? QStringLiteral(u"اين خروجي پيش از رايت بايد درست شود:")
                                     : QStringLiteral(u"نكته\u200Cهاي بررسي خروجي پيش از رايت:"),
                   this);
    heading->setFont(persianFont(10, true));
    list_->setObjectName(QStringLiteral("Findings"));
    list_->setFont(persianFont(10));
    list_->setWordWrap(true);
    const QStringList lines = check.lines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Finding::Kind kind = check.findings[i].kind;
        const QStyle::StandardPixmap icon = kind == Finding::Error ? QStyle::SP_MessageBoxCritical
                                            : kind == Finding::Warning
                                                ? QStyle::SP_MessageBoxWarning
                                                : QStyle::SP_MessageBoxInformation;
        auto* item = new QListWidgetItem(style()->standardIcon(icon), lines[i] + QChar(0x200F));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        list_->addItem(item);
    }
    auto* copy = new QPushButton(QStringLiteral(u"رونوشت"), this);
    copy->setObjectName(QStringLiteral("Copy"));
    connect(copy, &QPushButton::clicked, this,
            [lines] { QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n"))); });
    auto* close = new QPushButton(QStringLiteral(u"بستن"), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

} // namespace tavrin
