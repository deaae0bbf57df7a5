#pragma once

#include <QString>
#include <functional>
#include <opencv2/core/mat.hpp>

namespace tavrin {

// A page of a scan as the reader sees it: grey levels, one byte a pixel.
struct ScanPage {
    QString file;
    int page = 1; // from 1, within its file
    cv::Mat gray;
};

// What a scan may be: past these it is refused before it is decoded, as a bomb would be.
inline constexpr qint64 kMostScanPixels = 120'000'000; // an A3 page at 600 dpi is 70 M
inline constexpr int kMostScanPages = 2000;
inline constexpr qint64 kLargestScanFile = 2ll << 30;
inline constexpr int kPdfDpi = 300; // a scanned PDF's pages are drawn at a scanner's resolution
// A PDF page's drawing may ask for far more than its file's size says (a compressed stream of
// gigabytes): it is drawn apart, within these.
inline constexpr qint64 kMostDrawingBytes = 1536ll << 20;
inline constexpr int kMostDrawingSeconds = 20;

// A file that cannot be read as a scan: why, in English and in Persian.
struct ScanUnreadable {
    QString why, persian;
};

// Reads a scan's pages one at a time into `each` (so a batch holds one page in memory):
// PDF of any number of pages, PNG, JPEG, TIFF (every page of it), BMP. Throws ScanUnreadable
// for a file that is no scan, is damaged, or is larger than the bounds; pages read before the
// damage have been given.
void readScanPages(const QString& path, const std::function<void(ScanPage&&)>& each);

} // namespace tavrin
