#pragma once

#include <QRect>
#include <functional>

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace tavrin {

// A window's undo and redo: Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y anywhere in the window, and the
// "ویرایش" button whose menu lists both (the window sets their texts and states).
struct EditMenu {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QToolButton* button = nullptr;
    QMenu* menu = nullptr;
};
EditMenu makeEditMenu(QWidget* window, QWidget* parent, const QRect& place, qreal pointSize,
                      const std::function<void(bool undo)>& step);

} // namespace tavrin
