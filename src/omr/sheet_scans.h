#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tavrin {

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
    int sheet = -1;      // the sheet row it belongs to, -1 for none
    QList<int> options;  // the options the question has (1 to n), for settling it
    int missingPage = 0; // for a sheet's page not among the scans: its printed page
    QString asRead;      // what the scan gave, before the teacher settled it
};

// One student's sheet as read: the printed answers in the printed order, "" blank, "*" several.
struct SheetRow {
    QString name;
    QString number; // the student number read or settled; "" while not known
    int version = 0;
    QStringList answers;
    QString file; // where its first page was read
    int page = 0;
    QList<int> pages; // the printed pages read for it
};

struct SheetsReading {
    QList<SheetRow> sheets;
    QList<ReviewRow> review;
    int pagesRead = 0;
    int pagesRefused = 0;
    QStringList unreadable; // "file: why" of the files that could not be read at all
    QStringList unreadablePersian;
};

// The reader of scanned sheets as the window and the verb use it. The reader itself, with the
// image libraries it links (OpenCV, ZXing, Qt PDF), lives in libtavrin_omr.so, loaded the first
// time sheets are read, so the program starts without those libraries.
class SheetScans {
public:
    virtual ~SheetScans() = default;
    // A whole file or folder (its scans in name order); an unreadable file is listed.
    virtual void readPath(const QString& path) = 0;
    // Told after every page read or refused, so a window can show how far the reading is.
    virtual void setOnPage(std::function<void(int pages)> onPage) = 0;
    // After the last page: a sheet of several pages lacking one is listed, its questions
    // left blank.
    virtual SheetsReading finish() = 0;
    // The number of questions the record gives the version.
    virtual int questions(int version) const = 0;
};

// What the module hands out: a reader for one exam's record.
class SheetScansMaker {
public:
    virtual std::unique_ptr<SheetScans> open(const QByteArray& examRecord) const = 0;

protected:
    ~SheetScansMaker() = default;
};

// A reader of the exam's record as checked (checkedExamRecord), made by the module. Throws
// BadSheet (line 0) when the record has no sheet layout, FsError when the module is missing
// or cannot be loaded.
std::unique_ptr<SheetScans> openSheetScans(const QByteArray& examRecord);

} // namespace tavrin
