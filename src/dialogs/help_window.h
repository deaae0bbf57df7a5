#pragma once

#include <QDialog>

namespace tavrin {

class Context;
class RichTextBox;

// "Help": the help document of the Resources folder in one read-only rich text box. A missing
// document leaves the box empty without a word; a failure to load it is logged (69).
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(Context& context, QWidget* parent = nullptr);

    RichTextBox* box() const { return box1_; }
    // Resources/Help.rtf under the program folder.
    static QString documentPath(const QString& programFolder);

private:
    void load();

    Context& context_;
    RichTextBox* box1_;
};

} // namespace tavrin
