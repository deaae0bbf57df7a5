#include "omr/scan_pages.h"

#include "omr/bounded_render.h"
#include "platform/persian_text.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPdfDocument>
#include <cmath>
#include <cstring>
#include <opencv2/core.hpp>

namespace tavrin {

namespace {

[[noreturn]] void unreadable(const QString& why, const QString& persian) {
    throw ScanUnreadable{why, persianShown(persian, Digits::InPersianText)};
}

cv::Mat grayOf(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat out(gray.height(), gray.width(), CV_8UC1);
    for (int y = 0; y < gray.height(); ++y)
        std::memcpy(out.ptr(y), gray.constScanLine(y), size_t(gray.width()));
    return out;
}

void checkPixels(qint64 width, qint64 height, int page) {
    if (width <= 0 || height <= 0)
        unreadable(QStringLiteral("page %1 has no size").arg(page),
                   QStringLiteral(u"صفحهٔ %1 اندازه ندارد.").arg(page));
    if (width * height > kMostScanPixels)
        unreadable(QStringLiteral("page %1 is %2 x %3 pixels, more than %4 million")
                       .arg(page)
                       .arg(width)
                       .arg(height)
                       .arg(kMostScanPixels / 1000000),
                   QStringLiteral(u"صفحهٔ %1 با %2 × %3 نقطه از %4 میلیون نقطه "
                                  u"بزرگ‌تر "
                                  u"است.")
                       .arg(page)
                       .arg(width)
                       .arg(height)
                       .arg(kMostScanPixels / 1000000));
}

void readPdf(const QString& path, const std::function<void(ScanPage&&)>& each) {
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None || pdf.pageCount() < 1)
        unreadable(
            QStringLiteral("the PDF does not read (damaged, cut short or locked)"),
            QStringLiteral(
                u"این PDF خوانده نمی‌شود (آسیب‌دیده، ناقص یا "
                u"قفل‌شده "
                u"است)."));
    if (pdf.pageCount() > kMostScanPages)
        unreadable(QStringLiteral("the PDF has %1 pages, more than %2")
                       .arg(pdf.pageCount())
                       .arg(kMostScanPages),
                   QStringLiteral(u"این PDF %1 صفحه دارد، بیش از %2.")
                       .arg(pdf.pageCount())
                       .arg(kMostScanPages));
    for (int p = 0; p < pdf.pageCount(); ++p) {
        const QSizeF points = pdf.pagePointSize(p);
        // A page of any size is drawn at the scanner's resolution, or less to stay bounded.
        double dpi = kPdfDpi;
        const double pixels = points.width() * points.height() * (dpi / 72) * (dpi / 72);
        if (!(pixels > 0))
            checkPixels(0, 0, p + 1);
        if (pixels > kMostScanPixels / 2)
            dpi *= std::sqrt(double(kMostScanPixels / 2) / pixels);
        const QSize size(int(std::lround(points.width() * dpi / 72)),
                         int(std::lround(points.height() * dpi / 72)));
        checkPixels(size.width(), size.height(), p + 1);
        QImage image;
        switch (drawApart([&] { return pdf.render(p, size); }, kMostDrawingBytes,
                          kMostDrawingSeconds, image)) {
        case DrawingEnd::Drawn:
            break;
        case DrawingEnd::TooLong:
            unreadable(QStringLiteral("page %1 of the PDF takes more than %2 seconds to draw")
                           .arg(p + 1)
                           .arg(kMostDrawingSeconds),
                       QStringLiteral(u"کشیدن صفحهٔ %1 این PDF بیش از %2 ثانیه "
                                      u"طول می‌کشد.")
                           .arg(p + 1)
                           .arg(kMostDrawingSeconds));
        case DrawingEnd::TooLarge:
            unreadable(QStringLiteral("page %1 of the PDF needs more than %2 MB to draw")
                           .arg(p + 1)
                           .arg(kMostDrawingBytes >> 20),
                       QStringLiteral(u"کشیدن صفحهٔ %1 این PDF بیش از %2 مگابایت "
                                      u"حافظه می‌خواهد.")
                           .arg(p + 1)
                           .arg(kMostDrawingBytes >> 20));
        case DrawingEnd::Failed:
            break;
        }
        if (image.isNull())
            unreadable(
                QStringLiteral("page %1 of the PDF does not draw").arg(p + 1),
                QStringLiteral(u"صفحهٔ %1 این PDF کشیده نمی‌شود.").arg(p + 1));
        each(ScanPage{path, p + 1, grayOf(image)});
    }
}

void readImages(const QString& path, const std::function<void(ScanPage&&)>& each) {
    QImageReader reader(path);
    reader.setAutoTransform(true); // a phone's photo stands as it was taken
    reader.setAllocationLimit(int(kMostScanPixels * 4 / (1 << 20)) + 1);
    if (!reader.canRead())
        unreadable(QStringLiteral("the file is neither a PDF nor a picture (PNG, JPEG, TIFF)"),
                   QStringLiteral(u"این پرونده نه PDF است و نه تصویر (PNG، JPEG، TIFF)."));
    int page = 0;
    do {
        ++page;
        if (page > kMostScanPages)
            unreadable(QStringLiteral("the file has more than %1 pages").arg(kMostScanPages),
                       QStringLiteral(u"این پرونده بیش از %1 صفحه دارد.").arg(kMostScanPages));
        const QSize size = reader.size();
        checkPixels(size.width(), size.height(), page);
        const QImage image = reader.read();
        if (image.isNull())
            unreadable(
                QStringLiteral("page %1 does not read (%2)").arg(page).arg(reader.errorString()),
                QStringLiteral(
                    u"صفحهٔ %1 خوانده نمی‌شود (تصویر آسیب‌دیده "
                    u"یا "
                    u"ناقص "
                    u"است).")
                    .arg(page));
        each(ScanPage{path, page, grayOf(image)});
    } while (reader.jumpToNextImage());
}

} // namespace

void readScanPages(const QString& path, const std::function<void(ScanPage&&)>& each) {
    const QFileInfo info(path);
    if (!info.isFile())
        unreadable(QStringLiteral("no such file"),
                   QStringLiteral(u"چنین پرونده‌ای نیست."));
    if (info.size() > kLargestScanFile)
        unreadable(QStringLiteral("the file is larger than 2 GB"),
                   QStringLiteral(
                       u"این پرونده از ۲ گیگابایت بزرگ‌تر است."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(file.errorString(),
                   QStringLiteral(u"این پرونده باز نمی‌شود."));
    const QByteArray head = file.read(1024);
    file.close();
    if (head.contains("%PDF-"))
        readPdf(path, each);
    else
        readImages(path, each);
}

} // namespace tavrin
