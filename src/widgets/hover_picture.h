#pragma once

#include "widgets/picture_icons.h"

#include <QObject>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace tavrin {

// A picture button made of two pictures in one place: the rest picture takes the keyboard
// focus; the hover picture shows over it while the pointer is on it or it has the focus.
// A left click released on the hover picture, or Enter or Space on the rest picture,
// clicks it (while it is enabled).
class HoverPicture : public QObject {
    Q_OBJECT
public:
    HoverPicture(QWidget* parent, const char* restName, const char* hoverName, PictureIcon icon,
                 const QString& tip, QRect at);
    QLabel* rest() const { return rest_; }
    QLabel* hover() const { return hover_; }
    void setEnabled(bool enabled);
    // The pointer left the buttons for the strip around them.
    void hideHover();

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* rest_;
    QLabel* hover_;
};

} // namespace tavrin
