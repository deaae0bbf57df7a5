#pragma once

#include "exam/sheet_code.h"
#include "exam/sheet_layout.h"
#include "omr/sheet_scans.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrin {

struct ScanPage;

// Reads scanned answer sheets of one printed exam, page by page, in the order given: each page
// placed by its marks, its QR code checked against the exam's record (another printing's page
// is refused), every bubble decided on the page's own scale, doubts kept for review, and the
// pages of one student joined by the code and the number.
class SheetReader : public SheetScans {
public:
    // The exam's record as checked (checkedExamRecord). Throws BadSheet (line 0) when it has
    // no sheet layout (printed before sheets were read back).
    explicit SheetReader(const QByteArray& examRecord);
    void read(const ScanPage& page);
    void readPath(const QString& path) override;
    void setOnPage(std::function<void(int pages)> onPage) override { onPage_ = std::move(onPage); }
    SheetsReading finish() override;
    int questions(int version) const override { return int(options_.value(version - 1).size()); }

private:
    void refuse(const ScanPage& page, int version, const QString& why, const QString& persian,
                const QImage& crop = {});
    QString project_, digest_;
    quint32 seed_ = 0;
    QList<SheetLayout> layouts_;
    QList<QList<int>> options_;
    QHash<QString, int> joined_; // version|number → sheet row
    SheetsReading result_;
    std::function<void(int)> onPage_;
};

} // namespace tavrin
