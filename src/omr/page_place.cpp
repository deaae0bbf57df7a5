#include "omr/page_place.h"

// ZXing 1.4 gives text as UTF-8 when asked, as its next release always will.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <cmath>
#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

namespace tavrin {

namespace {

// The symbol's share of the QR's printed box: a code of 33 to 41 modules inside a quiet zone
// of four on each side. Only the scale's first guess rests on it.
constexpr double kSymbolShare = 0.81;

std::optional<FoundCode> decodeAt(const cv::Mat& gray, double scale) {
    cv::Mat image = gray;
    if (scale != 1)
        cv::resize(gray, image, cv::Size(), scale, scale, cv::INTER_AREA);
    const ZXing::ImageView view(image.data, image.cols, image.rows, ZXing::ImageFormat::Lum,
                                int(image.step));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::Result found = ZXing::ReadBarcode(view, hints);
    if (!found.isValid())
        return std::nullopt;
    const ZXing::Position& at = found.position();
    const auto point = [scale](ZXing::PointI p) { return cv::Point2d(p.x / scale, p.y / scale); };
    FoundCode code;
    code.text = QString::fromStdString(found.text());
    code.centre = (point(at.topLeft()) + point(at.topRight()) + point(at.bottomRight()) +
                   point(at.bottomLeft())) /
                  4;
    code.across = point(at.topRight()) - point(at.topLeft());
    return code;
}

struct Square {
    cv::Point2d centre;
    double area = 0;
};

// Solid dark squares of about the corner marks' size.
std::vector<Square> darkSquares(const cv::Mat& gray, double pxPerMm, double markMm) {
    cv::Mat ink;
    int block = int(markMm * 2.2 * pxPerMm) | 1;
    block = std::max(block, 3);
    cv::adaptiveThreshold(gray, ink, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, block,
                          12);
    std::vector<std::vector<cv::Point>> contours;
    // Every contour, not only the outermost: a desk around the page encloses the whole page.
    cv::findContours(ink, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
    const double expected = markMm * markMm * pxPerMm * pxPerMm;
    std::vector<Square> found;
    for (const auto& contour : contours) {
        const double area = cv::contourArea(contour);
        if (area < expected * 0.3 || area > expected * 3)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contour);
        const double w = box.size.width, h = box.size.height;
        if (w <= 0 || h <= 0 || area / (w * h) < 0.85 || w / h < 0.55 || w / h > 1.8)
            continue;
        // Solid, not the outline of a box: the inside is ink too.
        const cv::Rect bounds = cv::boundingRect(contour) & cv::Rect(0, 0, ink.cols, ink.rows);
        cv::Mat mask = cv::Mat::zeros(bounds.size(), CV_8UC1);
        cv::drawContours(mask, std::vector<std::vector<cv::Point>>{contour}, 0, 255, cv::FILLED,
                         cv::LINE_8, cv::noArray(), 0, -bounds.tl());
        if (cv::mean(ink(bounds), mask)[0] < 255 * 0.85)
            continue;
        const cv::Moments m = cv::moments(contour);
        found.push_back({cv::Point2d(m.m10 / m.m00, m.m01 / m.m00), area});
    }
    return found;
}

double quadArea(const std::array<cv::Point2d, 4>& q) {
    double twice = 0;
    for (int i = 0; i < 4; ++i)
        twice += q[i].x * q[(i + 1) % 4].y - q[(i + 1) % 4].x * q[i].y;
    return std::abs(twice) / 2;
}

} // namespace

std::optional<FoundCode> findSheetCode(const cv::Mat& gray) {
    // A page is first looked at small, as most codes read there; then as it was scanned.
    const double small = std::min(1.0, 1600.0 / std::max(gray.cols, gray.rows));
    if (small < 1)
        if (auto code = decodeAt(gray, small))
            return code;
    return decodeAt(gray, 1);
}

cv::Point2d onScan(const PagePlace& place, cv::Point2d mm) {
    const cv::Mat& h = place.toScan;
    const double w = h.at<double>(2, 0) * mm.x + h.at<double>(2, 1) * mm.y + h.at<double>(2, 2);
    return {(h.at<double>(0, 0) * mm.x + h.at<double>(0, 1) * mm.y + h.at<double>(0, 2)) / w,
            (h.at<double>(1, 0) * mm.x + h.at<double>(1, 1) * mm.y + h.at<double>(1, 2)) / w};
}

std::optional<PagePlace> placePage(const cv::Mat& gray, const SheetPage& layout,
                                   const FoundCode& code, QString& why, QString& persian) {
    const double across = std::hypot(code.across.x, code.across.y);
    const double pxPerMm = across / (layout.qr.width() * kSymbolShare);
    const double markMm = layout.marks.first().size;
    std::vector<Square> squares = darkSquares(gray, pxPerMm, markMm);
    if (squares.size() < 4) {
        why = QStringLiteral("its four corner marks were not found (%1 seen)").arg(squares.size());
        persian = QStringLiteral(u"چهار نشانهٔ گوشهٔ آن پیدا نشد (%1 پیدا شد)").arg(squares.size());
        return std::nullopt;
    }
    // The corners are the widest quadrilateral of such squares; of many, the largest few.
    std::sort(squares.begin(), squares.end(),
              [](const Square& a, const Square& b) { return a.area > b.area; });
    if (squares.size() > 14)
        squares.resize(14);
    std::array<cv::Point2d, 4> best{};
    double bestArea = 0;
    const size_t n = squares.size();
    for (size_t a = 0; a < n; ++a)
        for (size_t b = a + 1; b < n; ++b)
            for (size_t c = b + 1; c < n; ++c)
                for (size_t d = c + 1; d < n; ++d) {
                    std::array<cv::Point2d, 4> q{squares[a].centre, squares[b].centre,
                                                 squares[c].centre, squares[d].centre};
                    const cv::Point2d mid = (q[0] + q[1] + q[2] + q[3]) / 4;
                    std::sort(q.begin(), q.end(), [&](cv::Point2d u, cv::Point2d v) {
                        return std::atan2(u.y - mid.y, u.x - mid.x) <
                               std::atan2(v.y - mid.y, v.x - mid.x);
                    });
                    if (const double area = quadArea(q); area > bestArea) {
                        bestArea = area;
                        best = q;
                    }
                }
    // Clockwise as the scan shows it; the corner nearest the QR code is the top-left one.
    const auto nearest = std::min_element(best.begin(), best.end(), [&](auto u, auto v) {
        return cv::norm(u - code.centre) < cv::norm(v - code.centre);
    });
    std::rotate(best.begin(), nearest, best.end());
    std::vector<cv::Point2f> from, to;
    for (int i = 0; i < 4; ++i) {
        from.emplace_back(float(layout.marks[i].at.x()), float(layout.marks[i].at.y()));
        to.emplace_back(float(best[i].x), float(best[i].y));
    }
    PagePlace place;
    place.toScan = cv::getPerspectiveTransform(from, to);
    const QPointF qrMiddle = layout.qr.center();
    const cv::Point2d predicted = onScan(place, {qrMiddle.x(), qrMiddle.y()});
    place.residual = cv::norm(predicted - code.centre) / pxPerMm;
    // The page's own size in the scan agrees with the QR code's, and the code stands where
    // the marks put it: else the squares were not the sheet's corners.
    const double width = cv::norm(best[1] - best[0]) / pxPerMm;
    const double expectedWidth = layout.marks[1].at.x() - layout.marks[0].at.x();
    if (place.residual > 4 || width < expectedWidth * 0.6 || width > expectedWidth * 1.6) {
        why = QStringLiteral("its corner marks and QR code do not agree (%1 mm apart): folded, "
                             "cut or not the whole page")
                  .arg(place.residual, 0, 'f', 1);
        persian =
            QStringLiteral(
                u"نشانه‌های گوشه و کد QR آن با هم نمی‌خوانند (%1 "
                u"میلی‌متر "
                u"فاصله)؛ برگه تاخورده، بریده یا ناقص است")
                .arg(QString::number(place.residual, 'f', 1).replace(u'.', u'\u066B'));
        return std::nullopt;
    }
    return place;
}

} // namespace tavrin
