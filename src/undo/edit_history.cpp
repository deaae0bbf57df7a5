#include "undo/edit_history.h"

#include "app/context.h"
#include "app/messages.h"

#include <QFile>
#include <QUndoCommand>
#include <filesystem>
#include <utility>

namespace tavrin {
namespace {

// One step; its trash entry goes with it (when the history is cleared, or the window closes).
class EditCommand : public QUndoCommand {
public:
    EditCommand(Context& context, const QString& name, std::optional<FileChange> files,
                std::function<void(bool)> show, bool renumbers)
        : QUndoCommand(name), renumbers(renumbers), context_(context), files_(std::move(files)),
          show_(std::move(show)) {}
    ~EditCommand() override {
        if (files_)
            files_->discard();
    }
    // Steps of one kind (a setting's tag) in a row are one: a number typed key by key.
    int id() const override { return kind_.isEmpty() ? -1 : int(qHash(kind_) & 0x7fffffff); }
    bool mergeWith(const QUndoCommand* other) override {
        auto* later = dynamic_cast<const EditCommand*>(other);
        if (!later || later->kind_ != kind_ || !files_ || !later->files_ ||
            later->files_->root() != files_->root())
            return false;
        files_->absorb(*const_cast<EditCommand*>(later)->files_);
        const_cast<EditCommand*>(later)->files_.reset();
        show_ = [before = show_, after = later->show_](bool back) {
            if (const auto& show = back ? before : after)
                show(back);
        };
        return true;
    }
    QString kind_;
    void undo() override { step(true); }
    void redo() override {
        // The edit itself made the first state after it.
        if (std::exchange(fresh_, false))
            return;
        step(false);
    }
    const bool renumbers;

private:
    void step(bool back) {
        const QString what = back ? QStringLiteral("Undone: ") : QStringLiteral("Redone: ");
        try {
            if (files_)
                back ? files_->undo() : files_->redo();
        } catch (const FsError& e) {
            // Nothing changed; the step cannot be taken any more and leaves the history.
            context_.log().LogMe(
                (back ? QStringLiteral("Undo refused: ") : QStringLiteral("Redo refused: ")) +
                text() + QStringLiteral(" (") + e.description() + QStringLiteral(")"));
            // The step's name quotes its own subject ("حذف درس «…»"): not quoted again.
            bepayamWithLine(context_, kNoticeEditNotUndone,
                            text() + QStringLiteral(u" — ") + persianCause(e.description()));
            setObsolete(true);
            return;
        }
        if (show_)
            show_(back);
        context_.log().LogMe(what + text());
    }

    Context& context_;
    std::optional<FileChange> files_;
    std::function<void(bool)> show_;
    bool fresh_ = true;
};

} // namespace

EditHistory::EditHistory(Context& context, EditHistory* leftovers)
    : context_(context), leftovers_(leftovers) {}

bool EditHistory::nextRenumbers(bool undo) const {
    const auto* next = dynamic_cast<const EditCommand*>(
        stack_.command(undo ? stack_.index() - 1 : stack_.index()));
    return next && next->renumbers;
}

EditHistory::~EditHistory() {
    // The steps' trash entries go now, while the context is still there.
    stack_.clear();
}

std::optional<FileChange> EditHistory::keep(const Files& files) {
    forgetLeftovers(files.root);
    try {
        return FileChange::before(
            files.root, files.scope,
            QStringLiteral("%1-%2").arg(reinterpret_cast<quintptr>(this), 0, 16).arg(++serial_),
            files.newFolders);
    } catch (const FsError& e) {
        context_.log().LogMe(QStringLiteral("This edit cannot be undone: ") + e.description());
        return std::nullopt;
    }
}

void EditHistory::record(const QString& name, const Files& files, const std::function<void()>& edit,
                         const std::function<void(bool before)>& show) {
    std::optional<FileChange> kept = keep(files);
    // A step only when the edit changed files: one that was declined or refused is none.
    const auto pushChanged = [&] {
        if (kept && finish(*kept)) {
            auto* step = new EditCommand(context_, name, std::move(kept), show, files.renumbers);
            step->kind_ = files.kind;
            stack_.push(step);
        }
    };
    try {
        edit();
    } catch (...) {
        // What the edit did before it failed can still be taken back.
        pushChanged();
        throw;
    }
    pushChanged();
}

void EditHistory::push(const QString& name, const std::function<void(bool before)>& show) {
    stack_.push(new EditCommand(context_, name, std::nullopt, show, false));
}

void EditHistory::push(const QString& name, std::optional<FileChange> files,
                       const std::function<void(bool before)>& show) {
    if (files && !finish(*files))
        files.reset();
    stack_.push(new EditCommand(context_, name, std::move(files), show, false));
}

bool EditHistory::finish(FileChange& files) {
    try {
        return files.after();
    } catch (const FsError& e) {
        files.discard();
        context_.log().LogMe(QStringLiteral("This edit cannot be undone: ") + e.description());
        return false;
    }
}

void EditHistory::forgetLeftovers(const QString& root) {
    if (leftovers_) {
        leftovers_->forgetLeftovers(root);
        return;
    }
    const QString trash = FileChange::trashOf(root);
    if (root.isEmpty() || cleaned_.contains(trash))
        return;
    cleaned_.insert(trash);
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(trash).toStdString()), ec);
}

} // namespace tavrin
