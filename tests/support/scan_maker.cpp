#include "support/scan_maker.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <cstring>
#include <opencv2/imgproc.hpp>

namespace tavrin::test {

namespace {

QImage imageOf(const cv::Mat& gray) {
    QImage out(gray.cols, gray.rows, QImage::Format_Grayscale8);
    for (int y = 0; y < gray.rows; ++y)
        std::memcpy(out.scanLine(y), gray.ptr(y), size_t(gray.cols));
    return out;
}

double uniform(std::mt19937& random, double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
}

} // namespace

cv::Mat drawnSheet(const QString& pdf, int page, double dpi) {
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None)
        qFatal("the sheet %s does not load", qPrintable(pdf));
    const QSizeF points = document.pagePointSize(page - 1);
    const QImage image = document
                             .render(page - 1, QSize(int(points.width() * dpi / 72),
                                                     int(points.height() * dpi / 72)))
                             .convertToFormat(QImage::Format_Grayscale8);
    cv::Mat out(image.height(), image.width(), CV_8UC1);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.ptr(y), image.constScanLine(y), size_t(image.width()));
    return out;
}

void fillBubble(cv::Mat& page, double px, QPointF at, double r, Fill fill, std::mt19937& random) {
    // A hand's fill: not quite centred, not quite round, not quite to the ring.
    const cv::Point2d c((at.x() + uniform(random, -0.25, 0.25)) * px,
                        (at.y() + uniform(random, -0.25, 0.25)) * px);
    const cv::Size axes(int(r * uniform(random, 0.8, 0.98) * px),
                        int(r * uniform(random, 0.8, 0.98) * px));
    const double tilt = uniform(random, 0, 180);
    // Pencil is grey and grainy: each pixel darkened towards `grey`, never lightened.
    const auto blend = [](cv::Mat& target, const cv::Mat& mask, double grey) {
        cv::Mat noise(target.size(), CV_32F);
        cv::randn(noise, 0, 18);
        for (int y = 0; y < target.rows; ++y)
            for (int x = 0; x < target.cols; ++x)
                if (mask.at<uchar>(y, x)) {
                    const double g = std::clamp(grey + noise.at<float>(y, x), 0.0, 255.0);
                    target.at<uchar>(y, x) = uchar(std::min<double>(target.at<uchar>(y, x), g));
                }
    };
    const cv::Rect near(int(c.x - 2 * r * px), int(c.y - 2 * r * px), int(4 * r * px),
                        int(4 * r * px));
    cv::Mat roi = page(near & cv::Rect(0, 0, page.cols, page.rows));
    const cv::Point2d local = c - cv::Point2d(near.x, near.y);
    cv::Mat mask = cv::Mat::zeros(roi.size(), CV_8UC1);
    switch (fill) {
    case Fill::None:
        return;
    case Fill::Dark:
    case Fill::Light:
    case Fill::Erased:
        cv::ellipse(mask, local, axes, tilt, 0, 360, 255, cv::FILLED, cv::LINE_AA);
        break;
    case Fill::Short: // half of it, as a hurried hand leaves it
        cv::ellipse(mask, local, axes, tilt, 0, uniform(random, 150, 210), 255, cv::FILLED,
                    cv::LINE_AA);
        break;
    case Fill::Cross: {
        const double d = r * 0.85 * px;
        const int w = std::max(1, int(0.45 * px));
        cv::line(mask, local + cv::Point2d(-d, -d), local + cv::Point2d(d, d), 255, w, cv::LINE_AA);
        cv::line(mask, local + cv::Point2d(-d, d), local + cv::Point2d(d, -d), 255, w, cv::LINE_AA);
        break;
    }
    }
    const double grey = fill == Fill::Light    ? uniform(random, 120, 150)
                        : fill == Fill::Erased ? uniform(random, 195, 215)
                                               : uniform(random, 25, 60);
    blend(roi, mask, grey);
}

cv::Mat passed(const cv::Mat& page300, Passage how, std::mt19937& random) {
    cv::Mat out;
    const cv::Point2f middle(page300.cols / 2.0f, page300.rows / 2.0f);
    switch (how) {
    case Passage::Scan300:
    case Passage::UpsideDown: {
        const double skew = uniform(random, -1.5, 1.5) + (how == Passage::UpsideDown ? 180 : 0);
        cv::warpAffine(page300, out, cv::getRotationMatrix2D(middle, skew, 1), page300.size(),
                       cv::INTER_LINEAR, cv::BORDER_CONSTANT, 250);
        cv::GaussianBlur(out, out, {3, 3}, 0.6);
        cv::Mat noise(out.size(), CV_16S);
        cv::randn(noise, 0, 6);
        cv::Mat wide;
        out.convertTo(wide, CV_16S);
        wide += noise;
        wide.convertTo(out, CV_8U);
        return out;
    }
    case Passage::Copy200: {
        cv::resize(page300, out, cv::Size(), 2.0 / 3, 2.0 / 3, cv::INTER_AREA);
        const double skew = uniform(random, -1, 1);
        cv::warpAffine(out, out,
                       cv::getRotationMatrix2D({out.cols / 2.0f, out.rows / 2.0f}, skew, 1),
                       out.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, 255);
        // A copier's black and white: error diffused, as its halftone keeps grey as dots.
        cv::Mat f;
        out.convertTo(f, CV_32F);
        for (int y = 0; y < f.rows; ++y)
            for (int x = 0; x < f.cols; ++x) {
                const float old = f.at<float>(y, x);
                const float now = old < 128 ? 0 : 255;
                f.at<float>(y, x) = now;
                const float e = old - now;
                if (x + 1 < f.cols)
                    f.at<float>(y, x + 1) += e * 7 / 16;
                if (y + 1 < f.rows) {
                    if (x > 0)
                        f.at<float>(y + 1, x - 1) += e * 3 / 16;
                    f.at<float>(y + 1, x) += e * 5 / 16;
                    if (x + 1 < f.cols)
                        f.at<float>(y + 1, x + 1) += e * 1 / 16;
                }
            }
        f.convertTo(out, CV_8U);
        return out;
    }
    case Passage::Phone: {
        // The page on a desk, seen from above at a slant by a 12-megapixel camera.
        const cv::Size frame(3000, 4000);
        const double s = 0.82 * frame.height / page300.rows;
        const float w = float(page300.cols * s), h = float(page300.rows * s);
        const float x0 = (frame.width - w) / 2, y0 = (frame.height - h) / 2;
        const auto jitter = [&] { return float(uniform(random, -0.07, 0.07) * w); };
        const std::vector<cv::Point2f> from{{0, 0},
                                            {float(page300.cols), 0},
                                            {float(page300.cols), float(page300.rows)},
                                            {0, float(page300.rows)}};
        const std::vector<cv::Point2f> to{{x0 + jitter(), y0 + jitter()},
                                          {x0 + w + jitter(), y0 + jitter()},
                                          {x0 + w + jitter(), y0 + h + jitter()},
                                          {x0 + jitter(), y0 + h + jitter()}};
        cv::warpPerspective(page300, out, cv::getPerspectiveTransform(from, to), frame,
                            cv::INTER_LINEAR, cv::BORDER_CONSTANT, 70);
        // Light from one side: the far corner half as bright.
        const double angle = uniform(random, 0, 2 * M_PI);
        cv::Mat lit(out.size(), CV_8UC1);
        for (int y = 0; y < out.rows; ++y)
            for (int x = 0; x < out.cols; ++x) {
                const double along = ((x - frame.width / 2.0) * std::cos(angle) +
                                      (y - frame.height / 2.0) * std::sin(angle)) /
                                     frame.height;
                lit.at<uchar>(y, x) =
                    uchar(std::clamp(out.at<uchar>(y, x) * (0.78 + 0.45 * along), 0.0, 255.0));
            }
        cv::GaussianBlur(lit, out, {5, 5}, 1.1);
        cv::Mat noise(out.size(), CV_16S);
        cv::randn(noise, 0, 5);
        cv::Mat wide;
        out.convertTo(wide, CV_16S);
        wide += noise;
        wide.convertTo(out, CV_8U);
        return out;
    }
    }
    return page300.clone();
}

void writePdf(const QString& path, const QList<cv::Mat>& pages, double dpi) {
    QPdfWriter writer(path);
    writer.setResolution(int(dpi));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins({});
    QPainter painter(&writer);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawImage(QRect(0, 0, pages[i].cols, pages[i].rows), imageOf(pages[i]));
    }
}

void writeImage(const QString& path, const cv::Mat& page, int jpegQuality) {
    const bool jpeg = jpegQuality > 0;
    if (!imageOf(page).save(path, jpeg ? "JPG" : "PNG", jpeg ? jpegQuality : -1))
        qFatal("%s could not be written", qPrintable(path));
}

} // namespace tavrin::test
