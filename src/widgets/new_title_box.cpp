#include "widgets/new_title_box.h"

#include "app/texts.h"
#include "platform/ui_metrics.h"
#include "widgets/persian_ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin {

NewTitleBox::NewTitleBox(std::function<bool()> tupd, QWidget* parent)
    : QDialog(parent), tupd_(std::move(tupd)) {
    preparePersianUi();
    setObjectName(QStringLiteral("NewTitle"));
    setWindowTitle(texts::kNewTitleCaption);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    setFont(persianFont(9));

    label3_ = new QLabel(texts::kNewTitleLabel, this);
    label3_->setObjectName(QStringLiteral("Label3"));
    label3_->setAlignment(kAlignRight | Qt::AlignVCenter);
    jadid_ = new QLineEdit(this);
    jadid_->setObjectName(QStringLiteral("jadid"));
    jadid_->setLayoutDirection(Qt::RightToLeft);
    jadid_->setAlignment(kAlignRight | Qt::AlignVCenter);
    btn_ = new QPushButton(texts::kNewTitleButton, this);
    btn_->setObjectName(QStringLiteral("btn"));
    btn_->setDefault(true);
    btn_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label3_);
    layout->addWidget(jadid_);
    layout->addWidget(btn_, 0, Qt::AlignLeft | Qt::AlignAbsolute);
    setFixedWidth(twipsToPixels(5400));

    // Pasted line breaks and tabs show as blanks at once, so what is seen is what is kept.
    connect(jadid_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString line = singleLine(text);
        if (line == text)
            return;
        const int cursor = jadid_->cursorPosition() - int(text.size() - line.size());
        jadid_->setText(line);
        jadid_->setCursorPosition(qMax(0, cursor));
    });
    connect(btn_, &QPushButton::clicked, this, [this] {
        if (tupd_ && !tupd_()) {
            jadid_->setFocus();
            return;
        }
        accept();
    });
}

QString NewTitleBox::singleLine(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : out) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return out;
}

QString NewTitleBox::title() const {
    return singleLine(jadid_->text());
}

void NewTitleBox::clearTitle() {
    jadid_->clear();
}

void NewTitleBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Typing goes to the title on every opening, not to the button that had it last.
    jadid_->setFocus(Qt::OtherFocusReason);
}

} // namespace tavrin
