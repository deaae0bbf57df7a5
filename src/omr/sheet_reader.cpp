#include "omr/sheet_reader.h"

#include "exam/paper_draw.h"
#include "exam/sheet_scoring.h"
#include "omr/mark_decision.h"
#include "omr/page_ink.h"
#include "omr/page_place.h"
#include "omr/scan_pages.h"
#include "platform/persian_text.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace tavrin {

namespace {

constexpr double kCropPxPerMm = 8;

QImage imageOf(const cv::Mat& gray) {
    QImage out(gray.cols, gray.rows, QImage::Format_Grayscale8);
    for (int y = 0; y < gray.rows; ++y)
        std::memcpy(out.scanLine(y), gray.ptr(y), size_t(gray.cols));
    return out;
}

// The sheet's rectangle (mm) cut from the scan as it would stand on the paper.
QImage cropOf(const cv::Mat& gray, const PagePlace& place, const QRectF& mm) {
    const cv::Mat fromCrop = (cv::Mat_<double>(3, 3) << 1 / kCropPxPerMm, 0, mm.left(), 0,
                              1 / kCropPxPerMm, mm.top(), 0, 0, 1);
    const cv::Mat toScan = place.toScan * fromCrop;
    cv::Mat out;
    cv::warpPerspective(gray, out, toScan,
                        cv::Size(int(mm.width() * kCropPxPerMm), int(mm.height() * kCropPxPerMm)),
                        cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT, 255);
    return imageOf(out);
}

// A whole page, small, for a page refused before it was placed.
QImage thumbnailOf(const cv::Mat& gray) {
    cv::Mat small;
    const double scale = std::min(1.0, 700.0 / std::max(1, gray.cols));
    cv::resize(gray, small, cv::Size(), scale, scale, cv::INTER_AREA);
    return imageOf(small);
}

template <typename Bubble> QRectF around(const QList<Bubble>& bubbles, double margin) {
    QRectF box;
    for (const Bubble& b : bubbles)
        box |= QRectF(b.at.x() - b.r, b.at.y() - b.r, 2 * b.r, 2 * b.r);
    return box.adjusted(-margin, -margin, margin, margin);
}

// The scale at a point of the sheet: scan pixels a millimetre.
double pxPerMmAt(const PagePlace& place, cv::Point2d mm) {
    return cv::norm(onScan(place, mm + cv::Point2d(0.5, 0)) -
                    onScan(place, mm - cv::Point2d(0.5, 0)));
}

// A row of bubbles measured where their rings best stand: the print, the scan and the paper's
// curl move a row by a millimetre or so from where the corners put it.
template <typename Bubble>
QList<MarkFigures> measureRow(const PageInk& ink, const PagePlace& place,
                              const QList<Bubble>& row) {
    const auto at = [&](const Bubble& b, cv::Point2d shift) {
        return onScan(place, cv::Point2d(b.at.x(), b.at.y()) + shift);
    };
    const double scale = pxPerMmAt(place, cv::Point2d(row.first().at.x(), row.first().at.y()));
    cv::Point2d best(0, 0);
    double bestRing = -1;
    for (double dy = -1.2; dy <= 1.21; dy += 0.3)
        for (double dx = -1.2; dx <= 1.21; dx += 0.3) {
            double ring = 0;
            for (const Bubble& b : row)
                ring += ink.along(at(b, {dx, dy}), (b.r - 0.17) * scale);
            // Of equal rings the nearer place: the corners' own is the likelier.
            ring -= 0.01 * std::hypot(dx, dy);
            if (ring > bestRing) {
                bestRing = ring;
                best = {dx, dy};
            }
        }
    QList<MarkFigures> out;
    for (const Bubble& b : row) {
        const PageInk::Inside in = ink.inside(at(b, best), b.r * 0.62 * scale);
        out.append({in.ink, in.cover});
    }
    return out;
}

QString readText(const RowReading& r) {
    if (r.state == RowState::Several)
        return QStringLiteral("*");
    return r.chosen ? QString::number(r.chosen) : QString();
}

} // namespace

SheetReader::SheetReader(const QByteArray& examRecord) {
    const QJsonObject record = QJsonDocument::fromJson(examRecord).object();
    project_ = record.value(QStringLiteral("project")).toString();
    seed_ = quint32(record.value(QStringLiteral("seed")).toInteger());
    digest_ = record.value(QStringLiteral("digest")).toString();
    if (digest_.isEmpty())
        digest_ = examDigest(record);
    for (const QJsonValue& v : record.value(QStringLiteral("versions")).toArray()) {
        QList<int> options;
        for (const QJsonValue& q : v[QStringLiteral("questions")].toArray())
            options.append(int(q[QStringLiteral("options")].toArray().size()));
        const QJsonObject sheet = v[QStringLiteral("sheet")].toObject();
        if (sheet.isEmpty())
            throw BadSheet(
                0,
                QStringLiteral("exam.json records no answer sheet's layout (printed "
                               "by an older version): print the exam again to read "
                               "its sheets"),
                QStringLiteral(
                    u"exam.json چیدمان پاسخ‌برگ را ندارد (با نسخهٔ "
                    u"قدیمی‌تری چاپ شده است)؛ برای خواندن "
                    u"پاسخ‌برگ‌ها "
                    u"آزمون را دوباره چاپ کنید."));
        layouts_.append(sheetLayoutOf(sheet, options));
        options_.append(options);
    }
}

void SheetReader::refuse(const ScanPage& page, int version, const QString& why,
                         const QString& persian, const QImage& crop) {
    ++result_.pagesRefused;
    result_.review.append({page.file,
                           page.page,
                           QString(),
                           version,
                           QString(),
                           QString(),
                           why,
                           persianShown(persian, Digits::InPersianText),
                           crop.isNull() ? thumbnailOf(page.gray) : crop,
                           -1,
                           {},
                           0,
                           QString()});
}

void SheetReader::read(const ScanPage& page) {
    const std::optional<FoundCode> found = findSheetCode(page.gray);
    if (!found)
        return refuse(
            page, 0, QStringLiteral("no answer sheet's QR code was found on the page"),
            QStringLiteral(u"کد QR پاسخ‌برگ در این صفحه پیدا نشد."));
    const std::optional<SheetCode> code = decodeSheetCode(found->text);
    if (!code)
        return refuse(
            page, 0, QStringLiteral("the page's QR code is not an answer sheet's"),
            QStringLiteral(u"کد QR این صفحه از آنِ پاسخ‌برگ نیست."));
    if (code->digest != digest_ || code->seed != seed_ || code->project != project_)
        return refuse(
            page, code->version,
            QStringLiteral("a sheet of another printing (%1, seed %2, digest %3), not "
                           "of this exam (%4, seed %5, digest %6)")
                .arg(code->project)
                .arg(code->seed)
                .arg(code->digest, project_)
                .arg(seed_)
                .arg(digest_),
            QStringLiteral(
                u"پاسخ‌برگ چاپ دیگری است (\u2066%1\u2069، بذر %2)، نه "
                u"این "
                u"آزمون (\u2066%3\u2069، بذر %4)؛ با کلید آن چاپ بخوانیدش.")
                .arg(code->project)
                .arg(code->seed)
                .arg(project_)
                .arg(seed_));
    if (code->version > layouts_.size() || code->page > layouts_[code->version - 1].pages.size())
        return refuse(
            page, 0,
            QStringLiteral("the QR code names version %1 page %2, which this exam "
                           "does not have")
                .arg(code->version)
                .arg(code->page),
            QStringLiteral(
                u"کد QR نسخهٔ %1 صفحهٔ %2 را نام می‌برد که این "
                u"آزمون "
                u"ندارد.")
                .arg(code->version)
                .arg(code->page));
    const int version = code->version;
    const SheetPage& layout = layouts_[version - 1].pages[code->page - 1];
    QString why, persian;
    const std::optional<PagePlace> place = placePage(page.gray, layout, *found, why, persian);
    if (!place)
        return refuse(page, version, QStringLiteral("the page cannot be placed: ") + why,
                      QStringLiteral(u"جای برگه معلوم نشد: ") + persian + u'.');
    const double scale = pxPerMmAt(*place, {105, 148});
    const PageInk ink(page.gray, scale);

    // Every question's row, then the page's scale from all of them.
    QMap<int, QList<SheetBubble>> rows;
    for (const SheetBubble& b : layout.bubbles)
        rows[b.question].append(b);
    for (QList<SheetBubble>& row : rows)
        std::sort(row.begin(), row.end(),
                  [](const SheetBubble& a, const SheetBubble& b) { return a.option < b.option; });
    QMap<int, QList<MarkFigures>> measured;
    std::vector<double> inks;
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        measured[it.key()] = measureRow(ink, *place, it.value());
        for (const MarkFigures& m : measured[it.key()])
            inks.push_back(m.ink);
    }
    const PageScale pageMarks = pageScale(inks);
    QList<QList<NumberBubble>> columns(kNumberDigits);
    for (const NumberBubble& b : layout.number)
        columns[b.digit].append(b);
    QList<QList<MarkFigures>> digitMarks;
    std::vector<double> numberInks;
    for (QList<NumberBubble>& column : columns) {
        std::sort(column.begin(), column.end(),
                  [](const NumberBubble& a, const NumberBubble& b) { return a.value < b.value; });
        digitMarks.append(measureRow(ink, *place, column));
        for (const MarkFigures& m : digitMarks.last())
            numberInks.push_back(m.ink);
    }
    // The number's bubbles are smaller, their digits too: their own empty level, and the
    // page's fills when it has any.
    PageScale numberMarks = pageScale(numberInks);
    if (pageMarks.fillsSeen && !numberMarks.fillsSeen) {
        numberMarks.full = numberMarks.empty + (pageMarks.full - pageMarks.empty);
    }

    // The student's number, its first digit at the left; a shorter number leaves the last
    // columns empty. A column that does not read is a '?', never a guess.
    QString number;
    QStringList numberDoubts, numberDoubtsPersian;
    int lastFilled = -1;
    QList<RowReading> digits;
    for (int d = 0; d < kNumberDigits; ++d) {
        digits.append(readRow(digitMarks[d], numberMarks, 0));
        if (digits.last().state != RowState::Blank)
            lastFilled = d;
    }
    for (int d = 0; d <= lastFilled; ++d) {
        const RowReading& r = digits[d];
        if (r.state == RowState::Answer) {
            number += QString::number(r.chosen);
            continue;
        }
        number += u'?';
        const QString place_ = QStringLiteral("digit %1: ").arg(d + 1);
        numberDoubts.append(place_ + (r.state == RowState::Blank ? QStringLiteral("empty before "
                                                                                  "later digits")
                                                                 : r.why));
        numberDoubtsPersian.append(
            QStringLiteral(u"رقم %1: ").arg(d + 1) +
            (r.state == RowState::Blank
                 ? QStringLiteral(u"خالی، با رقم‌هایی پس از آن")
                 : r.persian));
    }
    const QRectF numberBox = around(layout.number, 2.5);
    if (number.isEmpty()) {
        numberDoubts.append(QStringLiteral("no student number was marked"));
        numberDoubtsPersian.append(QStringLiteral(u"شماره‌ای پر نشده است"));
    }
    const bool numberRead = numberDoubts.isEmpty();
    const QString name =
        number.isEmpty()
            ? QStringLiteral("%1#%2").arg(QFileInfo(page.file).fileName()).arg(page.page)
            : number;

    // Joined to the student's other pages by the code and the number.
    const QString key = QStringLiteral("%1|%2").arg(version).arg(number);
    int sheet = numberRead ? joined_.value(key, -1) : -1;
    if (sheet >= 0 && result_.sheets[sheet].pages.contains(code->page))
        sheet = -1; // the same page twice: two students of one number, each kept
    if (sheet < 0) {
        sheet = int(result_.sheets.size());
        result_.sheets.append({name,
                               numberRead ? number : QString(),
                               version,
                               QStringList(questions(version)),
                               page.file,
                               page.page,
                               {}});
        if (numberRead && !joined_.contains(key))
            joined_.insert(key, sheet);
    }
    result_.sheets[sheet].pages.append(code->page);
    ++result_.pagesRead;
    if (!numberRead)
        result_.review.append(
            {page.file,
             page.page,
             name,
             version,
             QStringLiteral("number"),
             number,
             numberDoubts.join(QStringLiteral("; ")),
             persianShown(numberDoubtsPersian.join(QStringLiteral(u"؛ ")), Digits::InPersianText),
             cropOf(page.gray, *place, numberBox),
             sheet,
             {},
             0,
             number});
    SheetRow& row = result_.sheets[sheet];
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        const RowReading r = readRow(measured[it.key()], pageMarks, 1);
        row.answers[it.key() - 1] = readText(r);
        if (r.state == RowState::Answer || r.state == RowState::Blank)
            continue;
        QList<int> options;
        for (int o = 1; o <= options_[version - 1][it.key() - 1]; ++o)
            options.append(o);
        // The row as the teacher sees it, its printed number at the right.
        QRectF box = around(it.value(), 1.6);
        box.setRight(box.right() + 9);
        result_.review.append({page.file, page.page, name, version, QString::number(it.key()),
                               row.answers[it.key() - 1], r.why, r.persian,
                               cropOf(page.gray, *place, box), sheet, options, 0,
                               row.answers[it.key() - 1]});
    }
}

SheetsReading SheetReader::finish() {
    SheetsReading out = result_;
    for (int s = 0; s < out.sheets.size(); ++s) {
        const SheetRow& sheet = out.sheets[s];
        const qsizetype pages = layouts_[sheet.version - 1].pages.size();
        for (int p = 1; p <= pages; ++p)
            if (!sheet.pages.contains(p))
                out.review.append(
                    {sheet.file,
                     sheet.page,
                     sheet.name,
                     sheet.version,
                     QString(),
                     QString(),
                     QStringLiteral("page %1 of this sheet was not among the scans: its "
                                    "questions are blank")
                         .arg(p),
                     persianShown(
                         QStringLiteral(u"صفحهٔ %1 این پاسخ‌برگ در میان "
                                        u"پویش‌ها "
                                        u"نبود: "
                                        u"سؤال‌هایش خالی مانده است.")
                             .arg(p),
                         Digits::InPersianText),
                     QImage(),
                     s,
                     {},
                     p,
                     QString()});
    }
    return out;
}

void SheetReader::readPath(const QString& path) {
    QStringList files;
    const QFileInfo info(path);
    if (info.isDir()) {
        for (const QFileInfo& f : QDir(path).entryInfoList(QDir::Files | QDir::Readable,
                                                           QDir::Name | QDir::IgnoreCase)) {
            static const QStringList kinds{QStringLiteral("pdf"), QStringLiteral("png"),
                                           QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                           QStringLiteral("tif"), QStringLiteral("tiff"),
                                           QStringLiteral("bmp")};
            if (kinds.contains(f.suffix().toLower()))
                files.append(f.filePath());
        }
    } else {
        files.append(path);
    }
    for (const QString& file : std::as_const(files)) {
        try {
            readScanPages(file, [this](ScanPage&& p) {
                read(p);
                if (onPage_)
                    onPage_(result_.pagesRead + result_.pagesRefused);
            });
        } catch (const ScanUnreadable& e) {
            result_.unreadable.append(QDir::toNativeSeparators(file) + QStringLiteral(": ") +
                                      e.why);
            result_.unreadablePersian.append(leftToRight(QDir::toNativeSeparators(file)) +
                                             QStringLiteral(u": ") + e.persian);
        }
    }
}

} // namespace tavrin
