#pragma once

#include <opencv2/core/mat.hpp>

namespace tavrin {

// How dark a page's marks are against its own paper: the paper's brightness is taken around
// every point (the brightest near it), so uneven light, a phone's shadow and grey paper read
// as white, and ink is measured as the share of that light it takes away (0 to 1).
class PageInk {
public:
    PageInk(const cv::Mat& gray, double pxPerMm);
    // The mean ink inside a circle, and the share of its pixels that are clearly inked.
    struct Inside {
        double ink = 0;
        double cover = 0;
    };
    Inside inside(cv::Point2d centre, double radius) const;
    // The mean ink along a circle: how well a printed ring stands there.
    double along(cv::Point2d centre, double radius) const;

private:
    double at(int x, int y) const;
    cv::Mat gray_;
    cv::Mat paper_; // the paper's brightness, a pixel each
};

} // namespace tavrin
