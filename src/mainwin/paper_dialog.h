#pragma once

#include "exam/question_history.h"
#include "paper/paper_exam.h"

#include <QDialog>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tavrin {

class Prompts;

// "Exam on paper": which questions (the comprehensive exam, this field, this lesson), how
// many versions, the seed, the booklet's header and layout, and the folder to write into.
// It only asks; the main window writes.
class PaperDialog : public QDialog {
    Q_OBJECT
public:
    struct Request {
        PaperChoices choices;
        QString folder;
    };
    // budget: the project sets a comprehensive exam; field and lesson: what the main window
    // has selected (-1: none, then that choice is off).
    PaperDialog(const PaperChoices& first, const QString& folder, bool budget, int field,
                int lesson, QWidget* parent = nullptr);
    Request request() const;
    static std::optional<Request> ask(QWidget* parent, const PaperChoices& first,
                                      const QString& folder, bool budget, int field, int lesson,
                                      const QMap<QString, QuestionHistory>& history = {});
    // How the project's questions did in its analysed exams, and the choice to leave out
    // those whose key the last analysis doubted; hidden while there is none.
    void showHistory(const QMap<QString, QuestionHistory>& history);

private:
    QWidget* whatBox(const PaperChoices& first, bool budget);
    QWidget* layoutBox(const PaperChoices& first);
    QWidget* headerBox(const PaperChoices& first);
    void browse();

    int field_, lesson_;
    QButtonGroup* what_ = nullptr;
    QSpinBox* versions_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QCheckBox* shuffle_ = nullptr;
    QButtonGroup* columns_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QLineEdit* school_ = nullptr;
    QLineEdit* className_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* date_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QLineEdit* teacher_ = nullptr;
    QLineEdit* out_ = nullptr;
    QLabel* history_ = nullptr;
    QCheckBox* leaveOut_ = nullptr;
    QStringList doubted_;
};

} // namespace tavrin
