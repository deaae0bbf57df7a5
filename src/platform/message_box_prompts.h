#pragma once

#include "platform/prompts.h"

class QWidget;

namespace tavrin {

// Prompts as right-to-left message boxes without icon.
class MessageBoxPrompts final : public Prompts {
public:
    explicit MessageBoxPrompts(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void notice(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;

private:
    QWidget* owner_;
};

} // namespace tavrin
