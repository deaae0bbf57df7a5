#pragma once

#include "export/question_export.h"

#include <QDialog>
#include <optional>

class QButtonGroup;
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
    // lesson and field: what the main window has selected (-1: none, then that choice is off).
    QuestionsDialog(const QString& projectPath, int field, int lesson, const QString& folder,
                    const QString& name, QWidget* parent = nullptr);
    // The request as the author left it (the project's path and the scope filled in).
    QuestionsOut request() const;
    static std::optional<QuestionsOut> ask(QWidget* parent, const QString& projectPath, int field,
                                           int lesson, const QString& folder, const QString& name);

private:
    void formatChanged();
    void browse();
    QString projectPath_;
    int field_, lesson_;
    QButtonGroup* what_;
    QButtonGroup* format_;
    QCheckBox* scoEach_;
    QSpinBox* passMark_;
    QLabel* giftNote_;
    QLineEdit* out_;
};

} // namespace tavrin
