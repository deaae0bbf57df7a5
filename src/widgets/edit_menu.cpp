#include "widgets/edit_menu.h"

#include "platform/ui_metrics.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace tavrin {

EditMenu makeEditMenu(QWidget* window, QWidget* parent, const QRect& place, qreal pointSize,
                      const std::function<void(bool undo)>& step) {
    EditMenu m;
    m.undo = new QAction(window);
    m.undo->setObjectName(QStringLiteral("UndoEdit"));
    m.undo->setShortcut(QKeySequence::Undo);
    m.redo = new QAction(window);
    m.redo->setObjectName(QStringLiteral("RedoEdit"));
    m.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* a : {m.undo, m.redo}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window->addAction(a);
        QObject::connect(a, &QAction::triggered, window,
                         [step, undo = a == m.undo] { step(undo); });
    }
    m.button = new QToolButton(parent);
    m.button->setObjectName(QStringLiteral("EditMenu"));
    m.button->setText(QStringLiteral(u"ویرایش"));
    m.button->setAccessibleName(QStringLiteral(u"ویرایش"));
    m.button->setGeometry(place);
    m.button->setFont(persianFont(pointSize));
    m.button->setPopupMode(QToolButton::InstantPopup);
    m.button->setFocusPolicy(Qt::NoFocus);
    m.menu = new QMenu(m.button);
    m.menu->setObjectName(QStringLiteral("EditMenuList"));
    m.menu->setLayoutDirection(Qt::RightToLeft);
    m.menu->addAction(m.undo);
    m.menu->addAction(m.redo);
    m.button->setMenu(m.menu);
    return m;
}

} // namespace tavrin
