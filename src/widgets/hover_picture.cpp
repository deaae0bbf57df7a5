#include "widgets/hover_picture.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tavrin {

HoverPicture::HoverPicture(QWidget* parent, const char* restName, const char* hoverName,
                           PictureIcon icon, const QString& tip, QRect at)
    : QObject(parent), rest_(new QLabel(parent)), hover_(new QLabel(parent)) {
    rest_->setObjectName(QLatin1String(restName));
    hover_->setObjectName(QLatin1String(hoverName));
    for (QLabel* l : {rest_, hover_}) {
        l->setGeometry(at);
        l->setToolTip(tip);
        l->setAccessibleName(tip);
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }
    rest_->setFocusPolicy(Qt::StrongFocus);
    rest_->setPixmap(drawPictureIcon(icon, false, at.width()));
    hover_->setPixmap(drawPictureIcon(icon, true, at.width()));
    hover_->setCursor(Qt::PointingHandCursor);
    hover_->hide();
}

void HoverPicture::setEnabled(bool enabled) {
    rest_->setEnabled(enabled);
    hover_->setEnabled(enabled);
}

void HoverPicture::hideHover() {
    if (hover_->isVisible())
        hover_->hide();
}

bool HoverPicture::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == rest_)
            hover_->show();
        break;
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (watched == hover_ && me->button() == Qt::LeftButton &&
            hover_->rect().contains(me->position().toPoint()) && hover_->isEnabled()) {
            emit clicked();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (watched == rest_)
            hover_->show();
        break;
    case QEvent::FocusOut:
        if (watched == rest_ && !hover_->underMouse())
            hover_->hide();
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == rest_ &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            if (rest_->isEnabled())
                emit clicked();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrin
