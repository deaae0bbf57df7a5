#pragma once

#include "exam/question_bank.h"

#include <QDialog>
#include <QMap>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace tavrin {

class Prompts;

// "Exams and scoring": the penalty of a wrong answer, the comprehensive exam (on or off, its
// title, its time and the questions it draws from each lesson), each field's weight and the
// pass mark. It only asks; a choice that cannot be kept (a budget above what a lesson has, a
// fraction that is not one, a title the file cannot hold) is refused with a notice and the
// dialog stays. The main window writes what it returns.
class ScoringDialog : public QDialog {
    Q_OBJECT
public:
    ScoringDialog(Prompts& prompts, const ScoringSettings& current,
                  const QList<BudgetField>& fields, QWidget* parent = nullptr);
    // What the author chose (valid once accepted).
    ScoringSettings chosen() const;
    static std::optional<ScoringSettings> ask(QWidget* parent, Prompts& prompts,
                                              const ScoringSettings& current,
                                              const QList<BudgetField>& fields);
    void accept() override;

protected:
    // Whole on the screen, even over a small main window.
    void showEvent(QShowEvent* event) override;

private:
    QWidget* penaltyRow(const Penalty& penalty);
    QWidget* budgetTable(const ScoringSettings& current);
    void showTotal();
    // The first refusal of the choice, said to the author; true when there is none.
    bool acceptable();

    Prompts& prompts_;
    QList<BudgetField> fields_;
    QComboBox* penalty_ = nullptr;
    QLineEdit* fraction_ = nullptr;
    QString typedFraction_; // the author's own fraction, kept while a choice is shown
    QCheckBox* fullExam_ = nullptr;
    QLineEdit* title_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QSpinBox* passMark_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* total_ = nullptr;
    QMap<QString, QSpinBox*> budget_; // lesson id -> questions drawn
    QList<QSpinBox*> weights_;        // by field
};

} // namespace tavrin
