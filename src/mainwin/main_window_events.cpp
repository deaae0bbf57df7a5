// The main window's pointer, focus and key behaviour: the fading action panels, the
// title strip, the picture buttons and the keyboard.
#include "app/message_numbers.h"
#include "app/messages.h"
#include "formatter/formatter_window.h"
#include "mainwin/main_window.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "undo/edit_names.h"
#include "widgets/hover_picture.h"
#include "widgets/widget_colours.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>

namespace tavrin {

using namespace colours;

// ---- action panels -----------------------------------------------------------------

MainWindow::Panel* MainWindow::panelOfLabel(const QLabel* label) {
    for (Panel& p : panels_) {
        for (const QLabel* l : p.labels) {
            if (l == label)
                return &p;
        }
    }
    return nullptr;
}

void MainWindow::pointerOverList(Panel& panel) {
    if (!panel.fade.isVisible()) {
        PopupPanel = panel.number;
        if (!timer2_.isActive())
            timer2_.start();
    } else if (panel.fade.atRest(NormalGrey)) {
        for (QLabel* l : panel.labels)
            setTextColor(l, grey(NormalGrey));
    }
}

void MainWindow::pointerOverLabel(QLabel* label) {
    Panel* panel = panelOfLabel(label);
    if (!panel || !panel->fade.atRest(NormalGrey) || textColor(label) == grey(HoverGrey))
        return;
    for (QLabel* l : panel->labels)
        setTextColor(l, l == label ? grey(HoverGrey) : grey(NormalGrey));
}

void MainWindow::closePanel(Panel& panel) {
    panel.fade.hide();
}

void MainWindow::pointerOverFrame1() {
    timer2_.stop();
    for (Panel& p : panels_)
        closePanel(p);
    for (HoverPicture* picture : {output_, dataEntry_, help_})
        picture->hideHover();
}

void MainWindow::timer1Tick() {
    runTrapped(context_, kFailMinimiseLink, [this] {
        if (isMinimized())
            return;
        timer1_.stop();
        if (formatter_)
            formatter_->restoreWithMain();
    });
}

void MainWindow::timer2Tick() {
    timer2_.stop();
    if (PopupPanel == kInputPathPanel && formatter_ && formatter_->isVisible()) {
        formatter_->inputPanel().fadeIn(FadeStartGrey);
        fadeTimer_.start();
        return;
    }
    if (PopupPanel < kProjectsPanel || PopupPanel > kLessonsPanel)
        return;
    Panel& panel = panels_[PopupPanel - 1];
    if (!panel.list->isEnabled())
        return;
    panel.fade.fadeIn(FadeStartGrey);
    fadeTimer_.start();
}

// One grey step of every running fade: 235, 221, ... 137, then the rest level 135.
void MainWindow::fadeStep() {
    bool running = false;
    for (Panel& panel : panels_)
        running = panel.fade.step(NormalGrey) || running;
    if (formatter_)
        running = formatter_->inputPanel().step(NormalGrey) || running;
    if (!running)
        fadeTimer_.stop();
}

void MainWindow::actionClicked(QLabel* label) {
    // The panel of a list that ChekSelect has disabled offers nothing.
    if (const Panel* panel = panelOfLabel(label); !panel || !panel->list->isEnabled())
        return;
    const QString name = label->objectName();
    // The formatter keeps its lesson by its place in the lists: renumbering under it would
    // file its work into another lesson.
    const bool deletesLessons =
        name == QLatin1String("Label16") || name == QLatin1String("Label12");
    if (deletesLessons && formatter_ && formatter_->isVisible()) {
        bepayam(context_, kNoticeCloseFormatterFirst);
        return;
    }
    runTrapped(context_, kFailActionLabel, [&] {
        if (name == QLatin1String("Label6"))
            askTitle(QStringLiteral("newproj"));
        else if (name == QLatin1String("Label15"))
            askTitle(QStringLiteral("newresh"));
        else if (name == QLatin1String("Label13"))
            askTitle(QStringLiteral("newdars"));
        else if (name == QLatin1String("Label3")) {
            if (const auto folder = pickFolder(QStringLiteral("addproj")))
                recordEdit(edits::kAddProject + quoted(QFileInfo(*folder).fileName()),
                           Touches::Catalogue, [&] { AddProj(context_, *this, *folder); });
        } else if (name == QLatin1String("Label4"))
            recordEdit(edits::kDeleteProject + quoted(selectedText(StoreList::Projects)),
                       Touches::Catalogue,
                       [&] { DelProj(context_, *this, selectedIndex(StoreList::Projects) + 1); });
        else if (name == QLatin1String("Label16"))
            recordEdit(edits::kDeleteField + quoted(selectedText(StoreList::Fields)),
                       Touches::LessonsFiles,
                       [&] { DelResh(context_, *this, selectedIndex(StoreList::Fields) + 1); });
        else if (name == QLatin1String("Label12"))
            recordEdit(edits::kDeleteLesson + quoted(selectedText(StoreList::Lessons)),
                       Touches::LessonsFiles,
                       [&] { DelDars(context_, *this, selectedIndex(StoreList::Lessons) + 1); });
    });
    // A delete that leaves nothing selected must not leave data entry enabled.
    ChekSelect();
}

// ---- keyboard ----------------------------------------------------------------------

MainWindow::Panel* MainWindow::panelOfList(const QObject* list) {
    for (Panel& p : panels_) {
        if (p.list == list)
            return &p;
    }
    return nullptr;
}

bool MainWindow::listKey(QListWidget* list, int key) {
    Panel* panel = panelOfList(list);
    if (!panel || !list->isEnabled())
        return false;
    static constexpr StoreList kinds[] = {StoreList::Projects, StoreList::Fields,
                                          StoreList::Lessons};
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        keyMoved_ = false;
        listClicked(kinds[panel->number - 1]);
        return true;
    case Qt::Key_Insert: // new project, new field, new lesson
        actionClicked(panel->labels[0]);
        return true;
    case Qt::Key_Delete:
        actionClicked(panel->labels[1]);
        return true;
    default:
        return false;
    }
}

bool MainWindow::browseKey(QLabel* picture, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return false;
    for (QLabel* browse : browse_) {
        if (picture == browse) {
            if (browse->isEnabled())
                pictureClicked(browse);
            return true;
        }
    }
    return false;
}

// ---- pointer and focus events ------------------------------------------------------

void MainWindow::pointerMoved(QObject* watched, const QMouseEvent* me) {
    for (Panel& p : panels_) {
        if (watched == p.list->viewport() || watched == p.list)
            pointerOverList(p);
        else if (watched == p.heading)
            closePanel(p);
    }
    if (watched == frame1_) {
        pointerOverFrame1();
    } else if (watched == label21_) {
        if (textColor(label18_) != kCloseRest)
            setTextColor(label18_, kCloseRest);
        if (textColor(label19_) != kMinRest)
            setTextColor(label19_, kMinRest);
        if (Dragging)
            move(pos() + me->position().toPoint() - dragStart_);
    } else if (watched == label18_) {
        if (textColor(label18_) != kCloseHover)
            setTextColor(label18_, kCloseHover);
    } else if (watched == label19_) {
        if (textColor(label19_) != kMinHover)
            setTextColor(label19_, kMinHover);
    } else if (auto* label = qobject_cast<QLabel*>(watched); label && panelOfLabel(label)) {
        pointerOverLabel(label);
    }
}

// A left button released over a label: the title strip's targets, an action or a picture.
bool MainWindow::buttonReleased(QObject* watched, const QMouseEvent* me) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool inside = widget && widget->rect().contains(me->position().toPoint());
    if (watched == label21_) {
        Dragging = false;
        return false;
    }
    if (!inside || me->button() != Qt::LeftButton)
        return false;
    if (watched == label18_) {
        close();
        return true;
    }
    if (watched == label19_) {
        showMinimized();
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(watched)) {
        if (panelOfLabel(label))
            actionClicked(label);
        else if (widget->isEnabled())
            pictureClicked(label);
    }
    return false;
}

void MainWindow::focusChanged(QObject* watched, bool in) {
    if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        // Path boxes: white while edited, caret at the end; grey at rest, caret at 0.
        setBase(box, in ? Qt::white : kDisabledList);
        box->setCursorPosition(in ? int(box->text().size()) : 0);
        if (in)
            box->deselect();
    } else if (watched == projB_) {
        ChekSelect();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        pointerMoved(watched, static_cast<QMouseEvent*>(event));
    } else if (type == QEvent::MouseButtonPress && watched == label21_) {
        Dragging = true;
        dragStart_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    } else if (type == QEvent::MouseButtonRelease) {
        if (buttonReleased(watched, static_cast<QMouseEvent*>(event)))
            return true;
    } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        focusChanged(watched, type == QEvent::FocusIn);
    } else if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (auto* list = qobject_cast<QListWidget*>(watched); list && listKey(list, key))
            return true;
        if (auto* picture = qobject_cast<QLabel*>(watched); picture && browseKey(picture, key))
            return true;
    } else if (type == QEvent::KeyRelease && (watched == bMus_[0] || watched == bMus_[1])) {
        musicOptionChanged();
    } else if (type == QEvent::KeyRelease && keyMoved_) {
        for (StoreList kind : {StoreList::Projects, StoreList::Fields, StoreList::Lessons}) {
            if (watched == listOf(kind)) {
                keyMoved_ = false;
                listClicked(kind);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavrin
