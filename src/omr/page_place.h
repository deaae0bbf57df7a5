#pragma once

#include "exam/sheet_layout.h"

#include <QString>
#include <opencv2/core/mat.hpp>
#include <optional>

namespace tavrin {

// The QR code found on a scanned page: its text and where it stands (its centre, and the
// direction of its top edge, which says which way up the page is).
struct FoundCode {
    QString text;
    cv::Point2d centre;
    cv::Point2d across; // from its top-left corner to its top-right, in pixels
};
std::optional<FoundCode> findSheetCode(const cv::Mat& gray);

// Where a page lies in its scan: a perspective transform from the sheet's millimetres to the
// scan's pixels, from its four corner marks, and how far the QR code stands from where the
// transform puts it (mm).
struct PagePlace {
    cv::Mat toScan; // 3x3, CV_64F
    double residual = 0;
};
// The page placed by its corner marks, told apart from other dark squares by their size and
// the QR code's place; nullopt with `why` (English, Persian) when they cannot be found or do
// not agree.
std::optional<PagePlace> placePage(const cv::Mat& gray, const SheetPage& layout,
                                   const FoundCode& code, QString& why, QString& persian);

// The scan's point of a sheet's point (mm).
cv::Point2d onScan(const PagePlace& place, cv::Point2d mm);

} // namespace tavrin
