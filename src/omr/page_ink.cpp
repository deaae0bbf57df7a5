#include "omr/page_ink.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace tavrin {

PageInk::PageInk(const cv::Mat& gray, double pxPerMm) : gray_(gray) {
    // Worked out small (two pixels a millimetre): the paper's light changes slowly.
    const double scale = std::min(1.0, 2.0 / pxPerMm);
    cv::Mat small;
    cv::resize(gray, small, cv::Size(), scale, scale, cv::INTER_AREA);
    // The brightest within 9 mm, wider than any bubble, so a filled one is not taken for paper.
    const int reach = std::max(3, int(9 * pxPerMm * scale) | 1);
    cv::dilate(small, small, cv::getStructuringElement(cv::MORPH_RECT, {reach, reach}));
    cv::blur(small, small, {reach, reach});
    cv::resize(small, paper_, gray.size(), 0, 0, cv::INTER_LINEAR);
}

double PageInk::at(int x, int y) const {
    x = std::clamp(x, 0, gray_.cols - 1);
    y = std::clamp(y, 0, gray_.rows - 1);
    const double paper = std::max(40, int(paper_.at<uchar>(y, x)));
    return std::clamp(1.0 - gray_.at<uchar>(y, x) / paper, 0.0, 1.0);
}

PageInk::Inside PageInk::inside(cv::Point2d centre, double radius) const {
    Inside out;
    int count = 0, inked = 0;
    double sum = 0;
    const int r = int(std::ceil(radius));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            if (dx * dx + dy * dy > radius * radius)
                continue;
            const double ink = at(int(std::lround(centre.x)) + dx, int(std::lround(centre.y)) + dy);
            sum += ink;
            inked += ink > 0.3;
            ++count;
        }
    if (count > 0) {
        out.ink = sum / count;
        out.cover = double(inked) / count;
    }
    return out;
}

double PageInk::along(cv::Point2d centre, double radius) const {
    constexpr int kSteps = 32;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i) {
        const double a = i * 2 * M_PI / kSteps;
        sum += at(int(std::lround(centre.x + radius * std::cos(a))),
                  int(std::lround(centre.y + radius * std::sin(a))));
    }
    return sum / kSteps;
}

} // namespace tavrin
