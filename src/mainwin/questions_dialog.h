#pragma once

#include "export/question_export.h"

#include <QDialog>
#include <optional>

class QButtonGroup;
class QLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tavrin {

// "Questions for learning platforms": what (this lesson, this field or the whole project),
// as what (GIFT, Moodle XML or a SCORM 1.2 package with its options) and where. It only
// asks; the main window writes.
class QuestionsDialog : public QDialog {
    Q_OBJECT
public:
    // chosen: what the main window has selected (-1: none, then that choice is off); first:
    // what the dialog offers first (defaultQuestionsOut).
    QuestionsDialog(const QuestionsOut& first, TravelScope chosen, QWidget* parent = nullptr);
    // The request as the author left it (the project's path and the scope filled in).
    QuestionsOut request() const;
    static std::optional<QuestionsOut> ask(QWidget* parent, const QuestionsOut& first,
                                           TravelScope chosen);

private:
    QWidget* whatBox(const QuestionsOut& first);
    QWidget* formatBox();
    QLayout* whereRow(const QString& path);
    QLayout* buttonRow();
    void formatChanged();
    void browse();
    QString projectPath_;
    TravelScope chosen_;
    QButtonGroup* what_;
    QButtonGroup* format_;
    QCheckBox* scoEach_;
    QSpinBox* passMark_;
    QLabel* giftNote_;
    QLineEdit* out_;
};

} // namespace tavrin
