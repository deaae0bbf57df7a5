#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <memory>
#include <stdexcept>

class QIODevice;

namespace tavrin {

// A CSV file that does not read: what is wrong and on which line (1-based).
class CsvError : public std::runtime_error {
public:
    // What is wrong in English (scripts and the log read it) and in Persian (a person does).
    CsvError(int line, QString why, QString persian)
        : std::runtime_error("bad CSV"), line_(line), why_(std::move(why)),
          persian_(std::move(persian)) {}
    int line() const { return line_; }
    const QString& why() const { return why_; }
    const QString& persian() const { return persian_; }

private:
    int line_;
    QString why_;
    QString persian_;
};

// RFC 4180 rows read one at a time, so a file of any size costs one row of memory: quotes,
// doubled quotes, commas and line breaks inside quotes; CR LF or LF; a byte order mark at the
// start passed by. A device is read as UTF-8. Throws CsvError on an unclosed quote or bytes
// that are not UTF-8.
class CsvReader {
public:
    explicit CsvReader(QIODevice& device);
    explicit CsvReader(const QString& text);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The next row; false at the end.
    bool next(QStringList& row);
    // The line the last row started on.
    int line() const { return rowLine_; }

private:
    bool refill();

    QIODevice* device_ = nullptr;
    std::unique_ptr<QStringDecoder> utf8_;
    QString buffer_;
    qsizetype at_ = 0;
    bool started_ = false;
    int lineNow_ = 1;
    int rowLine_ = 0;
};

// Every row of a text.
QList<QStringList> csvRows(const QString& text);
// One row written back: fields quoted where they must be, ended by CR LF.
QString csvRow(const QStringList& fields);
// A cell of text (a name, a title) a spreadsheet shows as text: one beginning with '=', '+',
// '-' or '@' would be run as a formula, so it is written after a "'", as spreadsheets
// themselves do.
QString csvText(const QString& text);

} // namespace tavrin
