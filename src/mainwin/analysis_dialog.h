#pragma once

#include "paper/analysis_report.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace tavrin {

// "Analyse the questions": the printed exam's folder (or none, for sheets in the bank's
// order), the sheets and the report's folder; once analysed, the class and the questions as
// sortable tables and a button that opens the report. The main window does the work through
// `analyse`, which returns the analysis or nothing when it failed (and said why).
class AnalysisDialog : public QDialog {
    Q_OBJECT
public:
    struct Request {
        QString exam, answers, out;
    };
    using Analyse = std::function<std::optional<AnalysedExam>(const Request&)>;
    AnalysisDialog(const Request& first, Analyse analyse, QWidget* parent = nullptr);
    Request request() const;
    // Shows an analysis in the tables and lets the report be opened.
    void showAnalysis(const AnalysedExam& done);

private:
    void browse(QLineEdit* box, bool file);
    void run();

    Analyse analyse_;
    QLineEdit* exam_ = nullptr;
    QLineEdit* answers_ = nullptr;
    QLineEdit* out_ = nullptr;
    QTabWidget* tables_ = nullptr;
    QTableView* items_ = nullptr;
    QTableView* class_ = nullptr;
    QPushButton* report_ = nullptr;
    QString reportPath_;
};

} // namespace tavrin
