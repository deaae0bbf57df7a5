#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

// The small modal box where a new title is typed. Its button hands over to the main
// window's title handler; the box itself returns nothing.
class NewTitleBox : public QDialog {
    Q_OBJECT
public:
    explicit NewTitleBox(std::function<void()> tupd, QWidget* parent = nullptr);

    QString title() const;
    void clearTitle();

private:
    std::function<void()> tupd_;
    QLabel* label3_;
    QLineEdit* jadid_;
    QPushButton* btn_;
};

} // namespace tavrin
