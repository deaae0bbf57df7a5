#pragma once

#include "exam/sheet_scoring.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace tavrin {

// Answer sheets of an exam printed in versions, turned into the bank's order: the sheets
// are CSV rows "name, version (1 to N), then printed question 1..n with the printed option
// (1 to 4, or Persian digits) or empty", every cell there, after an optional header starting
// "name"; the exam's record (exam.json) says which bank question and answer each printed one
// is. The rows given are those scoreSheets reads ("name,F-L-Q,…" in the bank's order, the
// answers in quiz order), one printed row at a time. Throws BadSheet naming the sheet's line,
// or line 0 for a record that does not read.
class ExamSheetRows : public SheetRows {
public:
    ExamSheetRows(const QByteArray& examRecord, SheetRows& printed);
    bool next(QStringList& row) override;
    int line() const override { return printed_.line(); }
    // The bank's questions the record names ("F-L-Q"), in the bank's order.
    const QStringList& bankQuestions() const { return bank_; }
    // The version (from 1) of the last row given; 0 before the first.
    int version() const { return version_; }

private:
    struct Printed {
        QString bank;
        QList<int> options; // bank answer of printed option 1, 2, …
    };
    SheetRows& printed_;
    QList<QList<Printed>> versions_;
    QStringList bank_; // the bank's questions, in the bank's order
    QMap<QString, int> column_;
    bool headerGiven_ = false;
    bool first_ = true;
    int version_ = 0;
};

// The same of a whole text.
QString sheetsInBankOrder(const QByteArray& examRecord, const QString& sheets);

} // namespace tavrin
