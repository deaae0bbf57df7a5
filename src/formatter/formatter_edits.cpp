// The formatter's undo and redo: each filing, each editor session, each import and each
// making of the quiz file is a step of the window's history; the lesson box keeps its own
// undo for typing, taken first.
#include "app/context.h"
#include "app/messages.h"
#include "formatter/formatter_host.h"
#include "formatter/formatter_window.h"
#include "lesson/capture_commands.h"
#include "platform/ui_metrics.h"
#include "undo/edit_names.h"
#include "widgets/busy_cursor.h"
#include "widgets/edit_menu.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"

#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>
#include <climits>

namespace tavrin {

void FormatterWindow::buildEdits() {
    // Beside the import button, left of the outline's heading, where nothing stood.
    const EditMenu edit = makeEditMenu(
        this, frame2_,
        {twipsToPixels(2880), twipsToPixels(285), twipsToPixels(1050), twipsToPixels(285)}, 8,
        [this](bool undo) { undoEdit(undo); });
    undoAction_ = edit.undo;
    redoAction_ = edit.redo;
    editMenu_ = edit.button;
    // The names follow the box's typing too, so they are made as the menu opens.
    connect(edit.menu, &QMenu::aboutToShow, this, [this] { showEditTexts(); });
    connect(&history_.stack(), &QUndoStack::indexChanged, this, [this] { showEditTexts(); });
    connect(matn_, &QTextEdit::undoAvailable, this, [this] { showEditTexts(); });
    connect(matn_, &QTextEdit::redoAvailable, this, [this] { showEditTexts(); });
    // Emptying the box's stacks (a text opened) says nothing of itself.
    connect(matn_, &QTextEdit::textChanged, this, [this] { showEditTexts(); });
    showEditTexts();
}

void FormatterWindow::showEditTexts() {
    const QUndoStack& stack = history_.stack();
    const bool boxUndo = boxTakesNext(true), boxRedo = boxTakesNext(false);
    undoAction_->setEnabled(boxUndo || stack.canUndo());
    redoAction_->setEnabled(boxRedo || stack.canRedo());
    undoAction_->setText(shownInWindows(editUndoText(boxUndo           ? edits::kBoxTyping
                                                     : stack.canUndo() ? stack.undoText()
                                                                       : QString())));
    redoAction_->setText(shownInWindows(editRedoText(boxRedo           ? edits::kBoxTyping
                                                     : stack.canRedo() ? stack.redoText()
                                                                       : QString())));
}

bool FormatterWindow::boxTakesNext(bool undo) const {
    const QUndoStack& stack = history_.stack();
    const QTextDocument* box = matn_->document();
    const int below = box->availableUndoSteps();
    if (undo) {
        if (!box->isUndoAvailable())
            return false;
        // Typing since the last step, or since a text was opened that its mark knows nothing of.
        const BoxMark last =
            marks_.value(stack.command(stack.index() - 1), BoxMark{-1, INT_MAX, -1});
        return !stack.canUndo() || last.generation != boxGeneration_ || below > last.steps;
    }
    if (!box->isRedoAvailable())
        return false;
    const BoxMark next = marks_.value(stack.command(stack.index()), BoxMark{-1, INT_MAX, -1});
    return !stack.canRedo() || next.generation != boxGeneration_ || below < next.before;
}

void FormatterWindow::undoEdit(bool undo) {
    if (boxTakesNext(undo))
        undo ? matn_->undo() : matn_->redo();
    else if (undo)
        history_.stack().undo();
    else
        history_.stack().redo();
    showEditTexts();
}

void FormatterWindow::forgetEdits() {
    history_.stack().clear();
    marks_.clear();
}

FormatterWindow::LessonState FormatterWindow::state() const {
    return {table_, outline_, unmade_};
}

void FormatterWindow::showState(const LessonState& s, bool writeDraft) {
    table_ = s.table;
    outline_ = s.outline;
    com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
    showOutline();
    if (!outline_.isEmpty())
        bindex_->setCurrentRow(int(std::min<qsizetype>(table_.EntryCount, outline_.size()) - 1));
    if (writeDraft) {
        if (s.unmade)
            tableChanged();
        else if (!lessonId().isEmpty()) // made: as the making left it, without a draft
            removeDraftFile(lesson_.projectPath, lessonId());
    }
    unmade_ = s.unmade;
}

FormatterWindow::BoxMark FormatterWindow::boxMark(int before) const {
    const int steps = matn_->document()->availableUndoSteps();
    return {steps, before < 0 ? steps : before, boxGeneration_};
}

void FormatterWindow::markPushed(const BoxMark& mark) {
    const QUndoStack& stack = history_.stack();
    marks_.insert(stack.command(stack.count() - 1), mark);
    showEditTexts();
}

void FormatterWindow::moveBox(const BoxMark& mark, bool back) {
    if (mark.before == mark.steps)
        return;
    // The text goes back, or out again, by the box's own steps, so the box's undo of the
    // typing around it stays whole.
    QTextDocument* box = matn_->document();
    if (mark.generation == boxGeneration_ &&
        box->availableUndoSteps() == (back ? mark.steps : mark.before)) {
        while (back && box->isUndoAvailable() && box->availableUndoSteps() > mark.before)
            matn_->undo();
        while (!back && box->isRedoAvailable() && box->availableUndoSteps() < mark.steps)
            matn_->redo();
        return;
    }
    context_.log().LogMe(QStringLiteral("The lesson box has changed since: its text stays."));
}

void FormatterWindow::putWholeBox(const WholeBox& box, bool back) {
    const BusyCursor busy;
    if (back && box.rich)
        matn_->setRtf(box.text);
    else
        matn_->setText(back ? box.text : QString(), Qt::AlignRight | Qt::AlignAbsolute);
    Mright();
    matn_->document()->clearUndoRedoStacks();
    ++boxGeneration_;
    showEditTexts();
}

void FormatterWindow::pushFiling(const QString& name, const LessonState& before,
                                 const BoxMark& mark) {
    const LessonState after = state();
    history_.push(name, [this, before, after, mark](bool back) {
        showState(back ? before : after, true);
        moveBox(mark, back);
    });
    markPushed(mark);
}

} // namespace tavrin
