#include "app/new_title_box.h"

#include "app/texts.h"
#include "platform/ui_metrics.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin {

NewTitleBox::NewTitleBox(std::function<void()> tupd, QWidget* parent)
    : QDialog(parent), tupd_(std::move(tupd)) {
    setObjectName(QStringLiteral("NewTitle"));
    setWindowTitle(texts::kNewTitleCaption);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    setFont(persianFont(9));

    label3_ = new QLabel(texts::kNewTitleLabel, this);
    label3_->setObjectName(QStringLiteral("Label3"));
    jadid_ = new QLineEdit(this);
    jadid_->setObjectName(QStringLiteral("jadid"));
    jadid_->setAlignment(Qt::AlignRight);
    btn_ = new QPushButton(texts::kNewTitleButton, this);
    btn_->setObjectName(QStringLiteral("btn"));
    btn_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label3_);
    layout->addWidget(jadid_);
    layout->addWidget(btn_, 0, Qt::AlignLeft);
    setFixedWidth(twipsToPixels(5400));

    connect(btn_, &QPushButton::clicked, this, [this] {
        if (tupd_)
            tupd_();
        accept();
    });
}

QString NewTitleBox::title() const {
    return jadid_->text();
}

void NewTitleBox::clearTitle() {
    jadid_->clear();
}

} // namespace tavrin
