#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace tavrin::colours {

// A grey level g is the colour with red, green and blue all g.
inline QColor grey(int level) {
    return QColor(level, level, level);
}

inline QColor textColor(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

inline void setTextColor(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

inline void setBase(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

inline const QColor kCloseRest(255, 128, 128), kCloseHover(255, 0, 0);
inline const QColor kMinRest(128, 128, 255), kMinHover(0, 0, 255);
inline const QColor kDisabledList(224, 224, 224);

} // namespace tavrin::colours
