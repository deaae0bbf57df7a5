#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

// The small modal box where a new title is typed. Its button hands over to the main
// window's title handler, which says whether the title was taken; a refused title keeps
// the box open with what was typed. The box itself returns nothing.
class NewTitleBox : public QDialog {
    Q_OBJECT
public:
    explicit NewTitleBox(std::function<bool()> tupd, QWidget* parent = nullptr);

    // The typed title; line breaks and tabs pasted into it have become blanks.
    QString title() const;
    void clearTitle();

    // A line break or tab, or a CR LF pair, becomes one blank.
    static QString singleLine(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool()> tupd_;
    QLabel* label3_;
    QLineEdit* jadid_;
    QPushButton* btn_;
};

} // namespace tavrin
