#pragma once

#include <QDialog>

class QListWidget;

namespace tavrin {

struct DiscCheck;

// The check before the disc: one Persian list, errors first, then warnings and notes, each
// with what it is about; Copy puts every line on the clipboard, Close closes.
class FindingsWindow : public QDialog {
    Q_OBJECT
public:
    FindingsWindow(const DiscCheck& check, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

} // namespace tavrin
