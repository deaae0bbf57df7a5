#pragma once

#include "platform/prompts.h"

class QWidget;

namespace tavrin {

// Prompts as right-to-left message boxes without icon. A box belongs to the window the
// author is working in (the active one), so it never brings another window to the front;
// the owner serves when no window of the tool is active.
class MessageBoxPrompts final : public Prompts {
public:
    explicit MessageBoxPrompts(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void notice(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text, Default start) override;
    Answer askYesNoCancel(const QString& caption, const QString& text,
                          Answer start = Answer::Cancel) override;
    // A list window: the lines with their marks' icons, Copy (every line to the clipboard)
    // and Close; the closing line under the list.
    void showList(const QString& caption, const QString& heading, const QList<Line>& lines,
                  const QString& closing) override;

private:
    QWidget* owner_;
};

} // namespace tavrin
