#pragma once

#include "exam/sheet_code.h"
#include "exam/sheet_layout.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrin {

struct ScanPage;

// A reading a person must look at: a doubtful question, a double mark, an unreadable digit of
// the student's number (question "number") or a refused page (question empty), with a crop of
// its row from the scan.
struct ReviewRow {
    QString file;
    int page = 0;
    QString name;
    int version = 0;  // 0: not known (a page refused before its code was read)
    QString question; // the printed number, "number", or empty for a whole page
    QString read;     // what went into the sheets: an option, "" for blank, "*" for several
    QString why, persian;
    QImage crop;
    int sheet = -1;     // the sheet row it belongs to, -1 for none
    QList<int> options; // the options the question has (1 to n), for settling it
};

// One student's sheet as read: the printed answers in the printed order, "" blank, "*" several.
struct SheetRow {
    QString name;
    QString number; // the student number read or settled; "" while not known
    int version = 0;
    QStringList answers;
    QString file; // where its first page was read
    int page = 0;
};

struct SheetsReading {
    QList<SheetRow> sheets;
    QList<ReviewRow> review;
    int pagesRead = 0;
    int pagesRefused = 0;
    QStringList unreadable; // "file: why" of the files that could not be read at all
    QStringList unreadablePersian;
};

// Reads scanned answer sheets of one printed exam, page by page, in the order given: each page
// placed by its marks, its QR code checked against the exam's record (another printing's page
// is refused), every bubble decided on the page's own scale, doubts kept for review, and the
// pages of one student joined by the code and the number.
class SheetReader {
public:
    // The exam's record as checked (checkedExamRecord). Throws BadSheet (line 0) when it has
    // no sheet layout (printed before sheets were read back).
    explicit SheetReader(const QByteArray& examRecord);
    void read(const ScanPage& page);
    // A whole file or folder (its scans in name order); an unreadable file is listed.
    void readPath(const QString& path);
    // Told after every page read or refused, so a window can show how far the reading is.
    void setOnPage(std::function<void(int pages)> onPage) { onPage_ = std::move(onPage); }
    // After the last page: a sheet of several pages lacking one is listed, its questions
    // left blank.
    SheetsReading finish();
    // The record's versions' question counts and each question's options.
    int questions(int version) const { return int(options_.value(version - 1).size()); }

private:
    void refuse(const ScanPage& page, int version, const QString& why, const QString& persian,
                const QImage& crop = {});
    QString project_, digest_;
    quint32 seed_ = 0;
    QList<SheetLayout> layouts_;
    QList<QList<int>> options_;
    QHash<QString, int> joined_;       // version|number → sheet row
    QHash<int, QList<int>> pagesSeen_; // sheet row → pages read
    SheetsReading result_;
    std::function<void(int)> onPage_;
};

} // namespace tavrin
