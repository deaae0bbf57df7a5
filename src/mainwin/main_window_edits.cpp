// The main window's undo and redo: each edit of the catalogue, the fields, the lessons and
// the project's settings is a step of its history, undone by its files.
#include "app/context.h"
#include "app/messages.h"
#include "formatter/formatter_window.h"
#include "mainwin/main_window.h"
#include "platform/project_folders.h"
#include "platform/ui_metrics.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "undo/edit_names.h"
#include "widgets/edit_menu.h"
#include "widgets/persian_ui.h"

#include <QAction>
#include <memory>

namespace tavrin {

void MainWindow::buildEdits() {
    // In the title strip, right of the minimise mark, where nothing stood.
    const EditMenu menu =
        makeEditMenu(this, this, {72, 5, 76, 24}, 9, [this](bool undo) { undoEdit(undo); });
    undoAction_ = menu.undo;
    redoAction_ = menu.redo;
    editMenu_ = menu.button;
    QUndoStack& stack = history_.stack();
    connect(&stack, &QUndoStack::indexChanged, this, [this] { showEditTexts(); });
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { showEditTexts(); });
    showEditTexts();
}

void MainWindow::showEditTexts() {
    QUndoStack& stack = history_.stack();
    undoAction_->setEnabled(stack.canUndo());
    redoAction_->setEnabled(stack.canRedo());
    undoAction_->setText(
        shownInWindows(editUndoText(stack.canUndo() ? stack.undoText() : QString())));
    redoAction_->setText(
        shownInWindows(editRedoText(stack.canRedo() ? stack.redoText() : QString())));
}

void MainWindow::undoEdit(bool undo) {
    QUndoStack& stack = history_.stack();
    if (undo ? !stack.canUndo() : !stack.canRedo())
        return;
    // As a delete is refused: renumbering under the formatter would file into another lesson.
    if (formatter_ && formatter_->isVisible() && history_.nextRenumbers(undo)) {
        bepayam(context_, kNoticeCloseFormatterFirst);
        return;
    }
    // The formatter's steps were taken in lessons whose numbers move now.
    if (formatter_ && history_.nextRenumbers(undo))
        formatter_->forgetEdits();
    undo ? stack.undo() : stack.redo();
    ChekSelect();
}

MainWindow::Places MainWindow::places() const {
    return {selectedIndex(StoreList::Projects), selectedIndex(StoreList::Fields),
            selectedIndex(StoreList::Lessons)};
}

void MainWindow::showPlaces(const Places& at) {
    ReadProj(context_, *this);
    if (at.project >= 0)
        selectEntry(StoreList::Projects, at.project);
    if (at.field >= 0)
        selectEntry(StoreList::Fields, at.field);
    if (at.lesson >= 0)
        selectEntry(StoreList::Lessons, at.lesson);
    ChekSelect();
}

void MainWindow::recordEdit(const QString& name, Touches touches, const std::function<void()>& edit,
                            const QString& kind) {
    const bool catalogue = touches == Touches::Catalogue;
    const bool renumbers = touches == Touches::Numbering || touches == Touches::LessonsFiles;
    EditHistory::Files files;
    files.kind = kind;
    if (catalogue) {
        files.root = context_.programFolder();
        files.scope = {QStringLiteral("Projects.xml")};
        files.newFolders = true; // a new project's folder
    } else {
        if (session_.projectPath.isEmpty()) {
            edit();
            return;
        }
        files.root = session_.projectPath;
        files.scope = {touches == Touches::LessonsFiles ? QStringLiteral(".")
                                                        : folders::kProjectFile};
    }
    files.renumbers = renumbers;
    if (renumbers && formatter_)
        formatter_->forgetEdits();
    const Places before = places();
    auto after = std::make_shared<Places>();
    history_.record(
        name, files,
        [&] {
            edit();
            *after = places();
        },
        [this, before, after](bool back) { showPlaces(back ? before : *after); });
}

} // namespace tavrin
