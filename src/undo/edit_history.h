#pragma once

#include "undo/file_change.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <functional>
#include <optional>

namespace tavrin {

class Context;

// One window's edits that can be taken back and done again, newest last. A step may hold what
// the edit did to files (FileChange) and what the window shows (show(true) puts the window as
// it was before the step, show(false) as after). Each undo and redo is its own log line; one
// that cannot be carried out is said in Persian, changes nothing and leaves the history.
class EditHistory {
public:
    // A window's history beside another's over the same folders leaves the clearing of a
    // killed run's trash to that one (the main window's), so neither clears the other's.
    explicit EditHistory(Context& context, EditHistory* leftovers = nullptr);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    // Where an edit's files are and which of them it may touch (paths relative to root; a
    // folder holds everything under it); with newFolders, folders it makes in the root.
    struct Files {
        QString root;
        QStringList scope;
        bool newFolders = false;
        bool renumbers = false; // the step moves lessons' numbers (a delete, a new entry)
        // Steps of one kind made one after another are one step (a number box's keystrokes).
        QString kind;
    };
    // The step an undo (or a redo) would take next moves lessons' numbers.
    bool nextRenumbers(bool undo) const;
    // Runs the edit, keeping its files before and after; a step when it changed any. When
    // the files cannot be kept (a read-only trash), the edit is still made, without a step.
    void record(const QString& name, const Files& files, const std::function<void()>& edit,
                const std::function<void(bool before)>& show);
    // A step that changed only what the window holds: show(true) and show(false) put it.
    void push(const QString& name, const std::function<void(bool before)>& show);
    // A step that changed what the window holds and perhaps files, which keep() kept before
    // the edit (let go when the edit changed none of them).
    void push(const QString& name, std::optional<FileChange> files,
              const std::function<void(bool before)>& show);

    // Keeps files before an edit whose step is pushed later (nothing when they cannot be kept).
    std::optional<FileChange> keep(const Files& files);

    // The trash a run that ended without emptying it (a kill) left under root, once a run:
    // none of this history's steps can hold an entry there yet.
    void forgetLeftovers(const QString& root);

private:
    // The files after the edit; false when it changed none (or they cannot be kept).
    bool finish(FileChange& files);

    Context& context_;
    EditHistory* leftovers_;
    QUndoStack stack_;
    int serial_ = 0;
    QSet<QString> cleaned_;
};

} // namespace tavrin
