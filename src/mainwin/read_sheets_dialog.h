#pragma once

#include "omr/sheet_scans.h"

#include <QDialog>
#include <functional>
#include <optional>

class QAbstractTableModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace tavrin {

// "Read answer sheets": the printed exam's folder, the scans (files or folders) and the
// folder the sheets and scores go to. Once read, each doubtful row is shown as its crop
// from the scan with its choices, settled by a click or the keys 1-4, 0 (blank) and Enter
// (keep what was read), Backspace going back a row; then the class's scores. The main window does
// the work: `read` gives the reading (or nothing when it failed and said why), `finish` writes the
// settled reading and gives the class's table (or nullptr when it failed).
class ReadSheetsDialog : public QDialog {
    Q_OBJECT
public:
    struct Request {
        QString exam, scans, out; // scans: paths separated by ';'
        QStringList scanPaths() const;
    };
    using Read = std::function<std::optional<SheetsReading>(const Request&)>;
    using Finish =
        std::function<QAbstractTableModel*(const Request&, const SheetsReading&, QObject* owner)>;
    ReadSheetsDialog(const Request& first, Read read, Finish finish, QWidget* parent = nullptr);
    Request request() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildRequest(const Request& first);
    QWidget* buildReview();
    QWidget* buildResults();
    void browse(QLineEdit* box, bool file);
    void run();
    void showRow();
    void settle(const QString& answer); // "" blank, "1"…, or a student number typed
    void keep();                        // the row as first read
    void next();
    void back(); // to the row before, settled again or kept as first read
    void finishReading();

    Read read_;
    Finish finish_;
    QStackedWidget* pages_ = nullptr;
    QLineEdit* exam_ = nullptr;
    QLineEdit* scans_ = nullptr;
    QLineEdit* out_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* where_ = nullptr;
    QLabel* crop_ = nullptr;
    QLabel* why_ = nullptr;
    QList<QPushButton*> choices_;
    QPushButton* blank_ = nullptr;
    QPushButton* keep_ = nullptr;
    QPushButton* back_ = nullptr;
    QLineEdit* number_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* written_ = nullptr;
    SheetsReading reading_;
    int at_ = 0; // the review row shown
    Request running_;
};

} // namespace tavrin
